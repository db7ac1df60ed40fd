#include "formats/aama_save_dlg.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/settings.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "tests/support/clean_style.h"

namespace {

class AamaSaveDlgTest : public CleanStyleTest {
 protected:
  static void AddSizes(int count) {
    for (int i = 0; i < count; ++i) g_Style.AddSize(new CSizeRecord("S", i, 0, 0, 1));
    g_Style.SortSizes();
  }

  static const ControlState* Find(const std::vector<ControlState>& controls, int id) {
    for (const ControlState& c : controls) {
      if (c.id == id) return &c;
    }
    return nullptr;
  }

  ScriptedPrompts prompts_;
};

TEST_F(AamaSaveDlgTest, OpensWithTheRememberedOptionsAndNoEnableRule) {
  AddSizes(3);
  g_AamaOptSizes = 1;
  g_AamaOptGradeToRul = 1;
  g_AamaOptNotch = 3;
  g_AamaOptControlPoints = 1;
  ScopedPrompts use(&prompts_);
  prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_SAVE));
  CAamaSaveDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  const std::vector<ControlState>& open = prompts_.records()[0].controls_at_open;
  EXPECT_EQ(Find(open, IDC_AAMA_SAVE_BASE_SIZE)->check, BST_CHECKED);
  EXPECT_EQ(Find(open, IDC_AAMA_SAVE_ALL_SIZES)->check, BST_UNCHECKED);
  EXPECT_EQ(Find(open, IDC_AAMA_SAVE_NOTCH_BUMP)->check, BST_CHECKED);
  EXPECT_EQ(Find(open, IDC_AAMA_SAVE_ALL_PIECES)->check, BST_CHECKED);
  EXPECT_EQ(Find(open, IDC_AAMA_SAVE_GRADE_TO_RUL)->check, BST_CHECKED);
  EXPECT_EQ(Find(open, IDC_AAMA_SAVE_GRADE_POINTS)->check, BST_CHECKED);
  // Base size only would disable the rule-file check, but no rule runs at start.
  for (const ControlState& c : open) EXPECT_TRUE(c.enabled) << c.id;
  EXPECT_EQ(g_AamaOptSizes, 1);
  EXPECT_EQ(g_AamaOptNotch, 3);
  EXPECT_EQ(g_AamaOptControlPoints, 1);
}

TEST_F(AamaSaveDlgTest, OkTakesEveryControlIntoTheSettings) {
  ScopedPrompts use(&prompts_);
  prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_SAVE)
                                .ChooseRadio(IDC_AAMA_SAVE_WORK_PIECES)
                                .ChooseRadio(IDC_AAMA_SAVE_NO_NOTCH)
                                .ChooseRadio(IDC_AAMA_SAVE_TEXT_ASCII)
                                .SetCheck(IDC_AAMA_SAVE_CONTROL_POINTS)
                                .SetCheck(IDC_AAMA_SAVE_GRADE_POINTS, BST_UNCHECKED)
                                .SetCheck(IDC_AAMA_SAVE_DESC_AS_NAME)
                                .ChooseRadio(IDC_AAMA_SAVE_BASE_SIZE));
  CAamaSaveDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(prompts_.records()[0].notes.empty());
  EXPECT_EQ(g_AamaOptPieces, 0);
  EXPECT_EQ(g_AamaOptSizes, 1);
  EXPECT_EQ(g_AamaOptNotch, 2);
  EXPECT_EQ(g_AamaOptText, 1);
  EXPECT_EQ(g_AamaOptGradeToRul, 1);
  EXPECT_EQ(g_AamaOptControlPoints, 1);
  EXPECT_EQ(g_AamaOptGradePoints, 0);
  EXPECT_EQ(g_AamaOptDescAsName, 1);
}

TEST_F(AamaSaveDlgTest, CancelKeepsTheSettingsWhateverTheControlsShowed) {
  ScopedPrompts use(&prompts_);
  prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_SAVE)
                                .ChooseRadio(IDC_AAMA_SAVE_WORK_PIECES)
                                .ChooseRadio(IDC_AAMA_SAVE_NOTCH_MARK)
                                .SetCheck(IDC_AAMA_SAVE_GRADE_TO_RUL, BST_UNCHECKED)
                                .SetCheck(IDC_AAMA_SAVE_DESC_AS_NAME)
                                .Press(IDCANCEL));
  CAamaSaveDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(g_AamaOptPieces, 1);
  EXPECT_EQ(g_AamaOptNotch, 0);
  EXPECT_EQ(g_AamaOptGradeToRul, 1);
  EXPECT_EQ(g_AamaOptDescAsName, 0);
}

TEST_F(AamaSaveDlgTest, EnableRules) {
  struct Case {
    const char* what;
    int sizeCount;
    int rememberedSizes;
    int rememberedGradeToRul;
    DialogScript script;
    bool gradeToRulEnabled;
    bool controlPointsEnabled;
  };
  const Case kCases[] = {
      {"rule file cleared with all sizes of three", 3, 0, 1,
       DialogScript(IDD_AAMA_SAVE).SetCheck(IDC_AAMA_SAVE_GRADE_TO_RUL, BST_UNCHECKED), true, false},
      {"rule file cleared and set again", 3, 0, 1,
       DialogScript(IDD_AAMA_SAVE)
           .SetCheck(IDC_AAMA_SAVE_GRADE_TO_RUL, BST_UNCHECKED)
           .SetCheck(IDC_AAMA_SAVE_GRADE_TO_RUL),
       true, true},
      {"rule file cleared with one size", 1, 0, 1,
       DialogScript(IDD_AAMA_SAVE).SetCheck(IDC_AAMA_SAVE_GRADE_TO_RUL, BST_UNCHECKED), true, true},
      {"rule file cleared with base size only", 3, 1, 1,
       DialogScript(IDD_AAMA_SAVE).SetCheck(IDC_AAMA_SAVE_GRADE_TO_RUL, BST_UNCHECKED), true, true},
      {"base size only", 3, 0, 1, DialogScript(IDD_AAMA_SAVE).ChooseRadio(IDC_AAMA_SAVE_BASE_SIZE), false, true},
      {"base size only keeps the control-points state", 3, 0, 1,
       DialogScript(IDD_AAMA_SAVE)
           .SetCheck(IDC_AAMA_SAVE_GRADE_TO_RUL, BST_UNCHECKED)
           .ChooseRadio(IDC_AAMA_SAVE_BASE_SIZE),
       false, false},
      // All sizes goes by the rule-file value last taken from the controls.
      {"all sizes of one size, rule file off", 1, 1, 0, DialogScript(IDD_AAMA_SAVE).ChooseRadio(IDC_AAMA_SAVE_ALL_SIZES),
       true, true},
      {"all sizes of three, rule file off", 3, 1, 0, DialogScript(IDD_AAMA_SAVE).ChooseRadio(IDC_AAMA_SAVE_ALL_SIZES),
       true, false},
      {"all sizes of three, rule file on", 3, 1, 1, DialogScript(IDD_AAMA_SAVE).ChooseRadio(IDC_AAMA_SAVE_ALL_SIZES),
       true, true},
      {"base size only, then all sizes", 3, 0, 1,
       DialogScript(IDD_AAMA_SAVE).ChooseRadio(IDC_AAMA_SAVE_BASE_SIZE).ChooseRadio(IDC_AAMA_SAVE_ALL_SIZES), true,
       true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ClearStyle();
    RestoreDefaultSettings();
    AddSizes(c.sizeCount);
    g_AamaOptSizes = c.rememberedSizes;
    g_AamaOptGradeToRul = c.rememberedGradeToRul;
    ScriptedPrompts prompts;
    ScopedPrompts use(&prompts);
    prompts.RunOptionsDialog(c.script);
    CAamaSaveDlg dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    const PromptRecord& record = prompts.records()[0];
    EXPECT_TRUE(record.notes.empty());
    EXPECT_EQ(Find(record.controls_at_close, IDC_AAMA_SAVE_GRADE_TO_RUL)->enabled, c.gradeToRulEnabled);
    EXPECT_EQ(Find(record.controls_at_close, IDC_AAMA_SAVE_CONTROL_POINTS)->enabled, c.controlPointsEnabled);
  }
}

}  // namespace
