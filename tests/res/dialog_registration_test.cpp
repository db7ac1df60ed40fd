#include <gtest/gtest.h>

#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "res/resources.h"

namespace {

// The test programs register the templates at start-up as the program does:
// a dialog built on any resource id then runs on that very template, and
// registering again changes nothing.
TEST(DialogRegistrationTest, EveryResourceTemplateReachesTheDialogsBuiltOnItsId) {
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) RegisterDialogTemplates();
    for (int id : AllDialogTemplateIds()) {
      SCOPED_TRACE(id);
      const DialogTemplate* resource = FindDialogTemplate(id);
      ASSERT_NE(resource, nullptr);
      EXPECT_EQ(RegisteredDialogTemplate(id), resource);
      const CDialog dialog(id);
      EXPECT_EQ(dialog.GetTemplate(), resource);
      EXPECT_EQ(dialog.Controls().size(), resource->controls.size());
    }
  }
}

}  // namespace
