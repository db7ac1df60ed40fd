#include <gtest/gtest.h>

#include "platform/dialog.h"
#include "platform/dialog_template.h"

namespace {

// Ids far from the program's own templates, which the test programs' start-up
// registers too.
constexpr int kFirstId = 9001;
constexpr int kUnregisteredId = 9002;

DialogTemplate OneEdit(int id, const char* caption, const char* text) {
  ControlTemplate edit;
  edit.id = 1000;
  edit.kind = ControlKind::kEdit;
  edit.text = text;
  return DialogTemplate{id, caption, 100, 50, {edit}};
}

TEST(DialogTemplateRegistryTest, ADialogBuiltOnAnIdGetsTheTemplateRegisteredLastForIt) {
  static const DialogTemplate first = OneEdit(kFirstId, "first", "one");
  static const DialogTemplate second = OneEdit(kFirstId, "second", "two");

  RegisterDialogTemplate(first);
  EXPECT_EQ(RegisteredDialogTemplate(kFirstId), &first);
  const CDialog on_first(kFirstId);
  EXPECT_EQ(on_first.GetTemplate(), &first);
  EXPECT_EQ(on_first.GetDlgItemText(1000), CString("one"));

  RegisterDialogTemplate(second);
  EXPECT_EQ(RegisteredDialogTemplate(kFirstId), &second);
  const CDialog on_second(kFirstId);
  EXPECT_EQ(on_second.GetTemplate(), &second);
  EXPECT_EQ(on_second.GetDlgItemText(1000), CString("two"));
  // A dialog keeps the template it was built on.
  EXPECT_EQ(on_first.GetTemplate(), &first);
}

TEST(DialogTemplateRegistryTest, AnIdNothingRegisteredGivesADialogWithoutControls) {
  EXPECT_EQ(RegisteredDialogTemplate(kUnregisteredId), nullptr);
  const CDialog dialog(kUnregisteredId);
  EXPECT_EQ(dialog.GetTemplateId(), kUnregisteredId);
  EXPECT_EQ(dialog.GetTemplate(), nullptr);
  EXPECT_TRUE(dialog.Controls().empty());
}

}  // namespace
