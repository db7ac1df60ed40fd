#include "formats/aama_open_dlg.h"

#include <gtest/gtest.h>

#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"

namespace {

TEST(AamaOpenDlgTest, OkUntouchedGivesTheDefaults) {
  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN));
  CAamaOpenDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_strScale, "1.0");
  EXPECT_EQ(dlg.m_bTextInfo, 0);
  EXPECT_EQ(dlg.m_bAllGradePoints, 0);
  EXPECT_EQ(dlg.m_bSizesSeparate, 0);
  // The list comes with the template and shows the default entry.
  const ControlState* combo = prompts.records()[0].controls_at_open.data();
  for (const ControlState& c : prompts.records()[0].controls_at_open) {
    if (c.id == IDC_AAMA_OPEN_SCALE) combo = &c;
  }
  ASSERT_EQ(combo->items.size(), 10u);
  EXPECT_EQ(combo->text, "1.0");
}

TEST(AamaOpenDlgTest, SwitchesAndAListEntryReachTheMembers) {
  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN)
                               .Select(IDC_AAMA_OPEN_SCALE, 6)  // "1/25.4"
                               .SetCheck(IDC_AAMA_OPEN_TEXT_INFO)
                               .SetCheck(IDC_AAMA_OPEN_ALL_GRADE)
                               .SetCheck(IDC_AAMA_OPEN_SIZES_APART));
  CAamaOpenDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_strScale, "1/25.4");
  EXPECT_DOUBLE_EQ(AamaScaleFactor(dlg.m_strScale), 1.0 / 25.4);
  EXPECT_EQ(dlg.m_bTextInfo, 1);
  EXPECT_EQ(dlg.m_bAllGradePoints, 1);
  EXPECT_EQ(dlg.m_bSizesSeparate, 1);
}

TEST(AamaOpenDlgTest, CancelKeepsTheMembers) {
  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.RunOptionsDialog(
      DialogScript(IDD_AAMA_OPEN).SetText(IDC_AAMA_OPEN_SCALE, "2").SetCheck(IDC_AAMA_OPEN_TEXT_INFO).Press(IDCANCEL));
  CAamaOpenDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_strScale, "1.0");
  EXPECT_EQ(dlg.m_bTextInfo, 0);
}

TEST(AamaOpenDlgTest, TypedScales) {
  struct Case {
    const char* text;
    bool accepted;
    double factor;  // when accepted
  };
  const Case kCases[] = {
      {"2", true, 2.0},          {" 0.1", true, 0.1},    {"0.1", true, 0.1},      {"1/2.54", true, 1.0 / 2.54},
      {"25.4 ", true, 25.4},     {"1e1", true, 10.0},    {"abc", false, 0.0},     {"0", false, 0.0},
      {"-2", false, 0.0},        {"", false, 0.0},       {"1/3", false, 0.0},     {"2x", false, 0.0},
      {"1e999", false, 0.0},     {" 1/25.4", false, 0.0}, {".", false, 0.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    ScriptedPrompts prompts;
    ScopedPrompts use(&prompts);
    prompts.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN).SetText(IDC_AAMA_OPEN_SCALE, c.text).SetCheck(IDC_AAMA_OPEN_TEXT_INFO));
    CAamaOpenDlg dlg;
    const int result = dlg.DoModal();
    if (c.accepted) {
      EXPECT_EQ(result, IDOK);
      EXPECT_EQ(dlg.m_strScale, c.text);
      EXPECT_DOUBLE_EQ(AamaScaleFactor(dlg.m_strScale), c.factor);
      EXPECT_EQ(prompts.records().size(), 1u);
    } else {
      // The dialog refuses the text and stays open; the user can only cancel.
      EXPECT_EQ(result, IDCANCEL);
      EXPECT_EQ(dlg.m_strScale, "1.0");
      EXPECT_EQ(dlg.m_bTextInfo, 0);
      ASSERT_EQ(prompts.records().size(), 2u);
      EXPECT_EQ(prompts.records()[1].kind, PromptKind::kMessageBox);
    }
  }
}

}  // namespace
