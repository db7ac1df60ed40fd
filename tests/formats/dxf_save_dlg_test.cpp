#include "formats/dxf_save_dlg.h"

#include <gtest/gtest.h>

#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"

namespace {

int CheckAtOpen(const PromptRecord& record, int id) {
  for (const ControlState& c : record.controls_at_open) {
    if (c.id == id) return c.check;
  }
  ADD_FAILURE() << "no control " << id;
  return -1;
}

TEST(DxfSaveDlgTest, OpensWithAllPiecesOverlaidSizesAndNoExtras) {
  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.RunOptionsDialog(DialogScript(IDD_DXF_SAVE));
  CDxfSaveDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nPieceSet, 1);
  EXPECT_EQ(dlg.m_nSizeLayout, 1);
  EXPECT_EQ(dlg.m_bNotchBump, 0);
  EXPECT_EQ(dlg.m_bAddControlPoints, 0);

  ASSERT_EQ(prompts.records().size(), 1u);
  const PromptRecord& record = prompts.records()[0];
  EXPECT_EQ(record.template_id, IDD_DXF_SAVE);
  EXPECT_EQ(CheckAtOpen(record, IDC_DXF_SAVE_WORK_PIECES), BST_UNCHECKED);
  EXPECT_EQ(CheckAtOpen(record, IDC_DXF_SAVE_ALL_PIECES), BST_CHECKED);
  EXPECT_EQ(CheckAtOpen(record, IDC_DXF_SAVE_SIZES_APART), BST_UNCHECKED);
  EXPECT_EQ(CheckAtOpen(record, IDC_DXF_SAVE_SIZES_OVERLAID), BST_CHECKED);
  EXPECT_EQ(CheckAtOpen(record, IDC_DXF_SAVE_NOTCH_BUMP), BST_UNCHECKED);
  EXPECT_EQ(CheckAtOpen(record, IDC_DXF_SAVE_CONTROL_POINTS), BST_UNCHECKED);
}

TEST(DxfSaveDlgTest, EveryChoiceReachesItsMember) {
  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.RunOptionsDialog(DialogScript(IDD_DXF_SAVE)
                               .ChooseRadio(IDC_DXF_SAVE_WORK_PIECES)
                               .ChooseRadio(IDC_DXF_SAVE_SIZES_APART)
                               .SetCheck(IDC_DXF_SAVE_NOTCH_BUMP)
                               .SetCheck(IDC_DXF_SAVE_CONTROL_POINTS));
  CDxfSaveDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nPieceSet, 0);
  EXPECT_EQ(dlg.m_nSizeLayout, 0);
  EXPECT_EQ(dlg.m_bNotchBump, 1);
  EXPECT_EQ(dlg.m_bAddControlPoints, 1);
  EXPECT_TRUE(prompts.records()[0].notes.empty());
}

TEST(DxfSaveDlgTest, CancelKeepsTheMembers) {
  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.RunOptionsDialog(DialogScript(IDD_DXF_SAVE)
                               .ChooseRadio(IDC_DXF_SAVE_WORK_PIECES)
                               .SetCheck(IDC_DXF_SAVE_NOTCH_BUMP)
                               .Press(IDCANCEL));
  CDxfSaveDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_nPieceSet, 1);
  EXPECT_EQ(dlg.m_bNotchBump, 0);
}

}  // namespace
