// The options dialogs of the readers and writers as the program shows them:
// real Qt dialogs built from their templates, showing the members, running
// their enable rules, and handing the user's choices back on OK.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QComboBox>

#include "formats/aama_open_dlg.h"
#include "formats/aama_save_dlg.h"
#include "formats/dxf_open_dlg.h"
#include "formats/dxf_save_dlg.h"
#include "model/settings.h"
#include "platform/qt/qt_prompts.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

class FormatDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { RestoreDefaultSettings(); }
  void TearDown() override { RestoreDefaultSettings(); }

  ScriptedPrompts prompts_;  // catches any message a dialog shows
  ScopedPrompts installed_{&prompts_};
};

bool Checked(const QtDialogHost& host, int id) {
  auto* button = qobject_cast<QAbstractButton*>(host.WidgetFor(id));
  return button && button->isChecked();
}

TEST_F(FormatDialogsTest, EveryControlOfTheTemplateIsAWidgetShowingTheDefaults) {
  struct Case {
    const char* name;
    int template_id;
    std::function<std::unique_ptr<CDialog>()> make;
    std::vector<int> checked;    // radio buttons and checks on at the start
    std::vector<int> unchecked;  // off at the start
  };
  const std::vector<Case> cases = {
      {"DXF open", IDD_DXF_OPEN, [] { return std::make_unique<CDxfOpenDlg>(); },
       {IDC_DXF_OPEN_MM, IDC_DXF_OPEN_ONE}, {IDC_DXF_OPEN_CM, IDC_DXF_OPEN_INCH, IDC_DXF_OPEN_MANY}},
      {"AAMA open", IDD_AAMA_OPEN, [] { return std::make_unique<CAamaOpenDlg>(); }, {},
       {IDC_AAMA_OPEN_TEXT_INFO, IDC_AAMA_OPEN_ALL_GRADE, IDC_AAMA_OPEN_SIZES_APART}},
      {"DXF save", IDD_DXF_SAVE, [] { return std::make_unique<CDxfSaveDlg>(); },
       {IDC_DXF_SAVE_ALL_PIECES, IDC_DXF_SAVE_SIZES_OVERLAID},
       {IDC_DXF_SAVE_WORK_PIECES, IDC_DXF_SAVE_SIZES_APART, IDC_DXF_SAVE_NOTCH_BUMP, IDC_DXF_SAVE_CONTROL_POINTS}},
      {"AAMA save", IDD_AAMA_SAVE, [] { return std::make_unique<CAamaSaveDlg>(); },
       {IDC_AAMA_SAVE_ALL_PIECES, IDC_AAMA_SAVE_ALL_SIZES, IDC_AAMA_SAVE_NOTCH, IDC_AAMA_SAVE_TEXT_NORMAL,
        IDC_AAMA_SAVE_GRADE_TO_RUL, IDC_AAMA_SAVE_GRADE_POINTS},
       {IDC_AAMA_SAVE_WORK_PIECES, IDC_AAMA_SAVE_BASE_SIZE, IDC_AAMA_SAVE_CONTROL_POINTS,
        IDC_AAMA_SAVE_DESC_AS_NAME}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CDialog> dialog = c.make();
    QtDialogHost host(*dialog);
    host.Start();
    const DialogTemplate* layout = FindDialogTemplate(c.template_id);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(host.windowTitle(), QString::fromUtf8(layout->caption));
    for (const ControlTemplate& control : layout->controls) {
      if (control.id != 65535) {
        EXPECT_NE(host.WidgetFor(control.id), nullptr) << control.id;
      }
    }
    for (int id : c.checked) EXPECT_TRUE(Checked(host, id)) << id;
    for (int id : c.unchecked) EXPECT_FALSE(Checked(host, id)) << id;
  }
}

TEST_F(FormatDialogsTest, TheAamaOpenScaleStartsAtOne) {
  CAamaOpenDlg dialog;
  QtDialogHost host(dialog);
  host.Start();
  auto* scale = qobject_cast<QComboBox*>(host.WidgetFor(IDC_AAMA_OPEN_SCALE));
  ASSERT_NE(scale, nullptr);
  EXPECT_TRUE(scale->isEditable());
  EXPECT_EQ(scale->currentText(), QString("1.0"));
}

TEST_F(FormatDialogsTest, AamaSaveEnableRulesReachTheWidgetsAndOkKeepsTheChoices) {
  CAamaSaveDlg dialog;
  QtDialogHost host(dialog);
  host.Start();
  QWidget* gradeToRul = host.WidgetFor(IDC_AAMA_SAVE_GRADE_TO_RUL);
  ASSERT_NE(gradeToRul, nullptr);
  EXPECT_TRUE(gradeToRul->isEnabled());
  // Only the base size: no rule table to write.
  qobject_cast<QAbstractButton*>(host.WidgetFor(IDC_AAMA_SAVE_BASE_SIZE))->click();
  EXPECT_FALSE(gradeToRul->isEnabled());
  qobject_cast<QAbstractButton*>(host.WidgetFor(IDC_AAMA_SAVE_NOTCH_BUMP))->click();
  host.accept();
  EXPECT_EQ(dialog.m_nSizes, 1);
  EXPECT_EQ(dialog.m_nNotch, 3);
  // The choices are remembered for the next save.
  EXPECT_EQ(g_AamaOptSizes, 1);
  EXPECT_EQ(g_AamaOptNotch, 3);
}

}  // namespace
