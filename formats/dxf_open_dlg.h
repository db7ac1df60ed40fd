// The options asked before a plain DXF file is read: the unit its numbers
// are in, and whether the drawing holds one pattern piece or many.
#pragma once

#include "platform/dialog.h"

class CDxfOpenDlg : public CDialog {
 public:
  // The parent window is the framework's; the dialog has none of its own.
  explicit CDxfOpenDlg(void* parent = nullptr);

  // 0 millimetres, 1 centimetres, 2 inches.
  int m_nDataUnit = 0;
  // 0 many patterns (split at the closed polylines), 1 only one pattern.
  int m_nPatternCount = 1;

  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
};
