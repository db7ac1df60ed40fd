#include "formats/dxf_open_dlg.h"

#include "res/resource_ids.h"

CDxfOpenDlg::CDxfOpenDlg(void* /*parent*/) : CDialog(IDD_DXF_OPEN) {}

void CDxfOpenDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_DXF_OPEN_MM, m_nDataUnit);
  DDX_Radio(pDX, IDC_DXF_OPEN_MANY, m_nPatternCount);
}

void CDxfOpenDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  CDialog::OnOK();
}
