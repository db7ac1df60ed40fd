// The options asked before the style is written as a plain DXF file: which
// pieces, how the sizes are laid out, whether notches become bumps of the
// edge, and whether curves are written with their sampled points.
#pragma once

#include "platform/dialog.h"

class CDxfSaveDlg : public CDialog {
 public:
  // The parent window is the framework's; the dialog has none of its own.
  explicit CDxfSaveDlg(void* parent = nullptr);

  // 0 only the pieces placed in the work area, at their places there;
  // 1 every piece of the style, side by side from the origin.
  int m_nPieceSet = 1;
  // 0 the sizes of a piece side by side, each with its own labels;
  // 1 all sizes drawn over each other at one place.
  int m_nSizeLayout = 1;
  // 1: each notch is written as an outward bump of the edge it sits on
  // instead of as a separate mark.
  int m_bNotchBump = 0;
  // 1: outlines and internal lines are written with every point of their
  // smoothed curve instead of their main vertices only.
  int m_bAddControlPoints = 0;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
};
