#include "formats/dxf_save_dlg.h"

#include "res/resource_ids.h"

CDxfSaveDlg::CDxfSaveDlg(void* /*parent*/) : CDialog(IDD_DXF_SAVE) {}

BOOL CDxfSaveDlg::OnInitDialog() { return CDialog::OnInitDialog(); }

void CDxfSaveDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_DXF_SAVE_WORK_PIECES, m_nPieceSet);
  DDX_Radio(pDX, IDC_DXF_SAVE_SIZES_APART, m_nSizeLayout);
  DDX_Check(pDX, IDC_DXF_SAVE_NOTCH_BUMP, m_bNotchBump);
  DDX_Check(pDX, IDC_DXF_SAVE_CONTROL_POINTS, m_bAddControlPoints);
}

void CDxfSaveDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  CDialog::OnOK();
}
