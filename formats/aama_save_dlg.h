// The options asked before a style is written as an AAMA file: which pieces
// and sizes, how notches and texts are written, whether the grading goes to a
// *.rul rule table, and how curves and piece names are carried.
//
// The eight values live between runs in the g_AamaOpt* settings (model/
// settings.h, kept in "kov.dat"): the dialog copies them in when it opens and
// back only when the user presses OK, so Cancel leaves them as they were.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "platform/dialog.h"
#include "platform/win_types.h"

class CAamaSaveDlg : public CDialog {
 public:
  // The parent window is the framework's; the dialog here has none of its own.
  explicit CAamaSaveDlg(void* parent = nullptr);

  // 0: the work-area pieces only; 1: every piece of the style.
  int m_nPieces = 1;
  // 0: every size; 1: the base size only.
  int m_nSizes = 0;
  // 0: notch points; 1: notch lines; 2: no notches; 3: notches put into the
  // outline, the cut line and the contour as outward bumps.
  int m_nNotch = 0;
  // 0: texts as they are; 1: every text byte above 127 loses its high bit.
  int m_nText = 0;
  // The base size to the DXF file and the other sizes as deltas to the *.rul file.
  BOOL m_bGradeToRul = TRUE;
  // Curves written through their smoothed points rather than their vertices.
  BOOL m_bControlPoints = FALSE;
  // Curve points far enough from every grade point become grade points.
  BOOL m_bGradePoints = TRUE;
  // The piece description names the blocks in place of the piece name.
  BOOL m_bDescAsName = FALSE;

  // Copies the remembered options into the members, then shows them. No
  // enable rule runs here: the controls open all enabled.
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Takes the controls into the members and the members into the settings.
  void OnOK() override;
  void OnControlChanged(int id) override;

  // Enable rules. "All sizes" enables the rule-file check, and the
  // control-points check unless the grading is drawn out size by size (no
  // rule file, two sizes or more); it goes by the rule-file member as last
  // taken from the controls. "Base size only" disables the rule-file check.
  // The rule-file check takes the controls in and applies the control-points
  // rule to them.
  void OnAllSizes();
  void OnBaseSizeOnly();
  void OnGradeToRul();

 private:
  // Each option's member with the setting that keeps it between saves.
  static std::array<std::pair<int CAamaSaveDlg::*, int32_t*>, 8> Remembered();
  // The control-points check is of no use while every size is drawn out.
  void EnableControlPointsFor(int sizes, BOOL gradeToRul);
};
