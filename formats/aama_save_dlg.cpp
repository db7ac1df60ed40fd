#include "formats/aama_save_dlg.h"

#include "model/settings.h"
#include "model/style.h"
#include "res/resource_ids.h"

CAamaSaveDlg::CAamaSaveDlg(void* /*parent*/) : CDialog(IDD_AAMA_SAVE) {}

BOOL CAamaSaveDlg::OnInitDialog() {
  m_nPieces = g_AamaOptPieces;
  m_nSizes = g_AamaOptSizes;
  m_nNotch = g_AamaOptNotch;
  m_nText = g_AamaOptText;
  m_bGradeToRul = g_AamaOptGradeToRul;
  m_bControlPoints = g_AamaOptControlPoints;
  m_bGradePoints = g_AamaOptGradePoints;
  m_bDescAsName = g_AamaOptDescAsName;
  CDialog::OnInitDialog();
  return TRUE;
}

void CAamaSaveDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_AAMA_SAVE_WORK_PIECES, m_nPieces);
  DDX_Radio(pDX, IDC_AAMA_SAVE_ALL_SIZES, m_nSizes);
  DDX_Radio(pDX, IDC_AAMA_SAVE_NOTCH, m_nNotch);
  DDX_Radio(pDX, IDC_AAMA_SAVE_TEXT_NORMAL, m_nText);
  DDX_Check(pDX, IDC_AAMA_SAVE_GRADE_TO_RUL, m_bGradeToRul);
  DDX_Check(pDX, IDC_AAMA_SAVE_CONTROL_POINTS, m_bControlPoints);
  DDX_Check(pDX, IDC_AAMA_SAVE_GRADE_POINTS, m_bGradePoints);
  DDX_Check(pDX, IDC_AAMA_SAVE_DESC_AS_NAME, m_bDescAsName);
}

void CAamaSaveDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  g_AamaOptPieces = m_nPieces;
  g_AamaOptSizes = m_nSizes;
  g_AamaOptNotch = m_nNotch;
  g_AamaOptText = m_nText;
  g_AamaOptGradeToRul = m_bGradeToRul;
  g_AamaOptControlPoints = m_bControlPoints;
  g_AamaOptGradePoints = m_bGradePoints;
  g_AamaOptDescAsName = m_bDescAsName;
  CDialog::OnOK();
}

void CAamaSaveDlg::OnControlChanged(int id) {
  switch (id) {
    case IDC_AAMA_SAVE_ALL_SIZES: OnAllSizes(); break;
    case IDC_AAMA_SAVE_BASE_SIZE: OnBaseSizeOnly(); break;
    case IDC_AAMA_SAVE_GRADE_TO_RUL: OnGradeToRul(); break;
    default: break;
  }
}

void CAamaSaveDlg::OnAllSizes() {
  EnableControl(IDC_AAMA_SAVE_GRADE_TO_RUL, true);
  EnableControlPointsFor(0, m_bGradeToRul);
}

void CAamaSaveDlg::OnBaseSizeOnly() { EnableControl(IDC_AAMA_SAVE_GRADE_TO_RUL, false); }

void CAamaSaveDlg::OnGradeToRul() {
  UpdateData(TRUE);
  EnableControlPointsFor(m_nSizes, m_bGradeToRul);
}

void CAamaSaveDlg::EnableControlPointsFor(int sizes, BOOL gradeToRul) {
  const bool drawnOut = sizes == 0 && !gradeToRul && g_Style.SizeCount >= 2;
  EnableControl(IDC_AAMA_SAVE_CONTROL_POINTS, !drawnOut);
}
