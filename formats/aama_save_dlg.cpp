#include "formats/aama_save_dlg.h"

#include "model/settings.h"
#include "model/style.h"
#include "res/resource_ids.h"

CAamaSaveDlg::CAamaSaveDlg(void* /*parent*/) : CDialog(IDD_AAMA_SAVE) {}

std::array<std::pair<int CAamaSaveDlg::*, int32_t*>, 8> CAamaSaveDlg::Remembered() {
  return {{{&CAamaSaveDlg::m_nPieces, &g_AamaOptPieces},
           {&CAamaSaveDlg::m_nSizes, &g_AamaOptSizes},
           {&CAamaSaveDlg::m_nNotch, &g_AamaOptNotch},
           {&CAamaSaveDlg::m_nText, &g_AamaOptText},
           {&CAamaSaveDlg::m_bGradeToRul, &g_AamaOptGradeToRul},
           {&CAamaSaveDlg::m_bControlPoints, &g_AamaOptControlPoints},
           {&CAamaSaveDlg::m_bGradePoints, &g_AamaOptGradePoints},
           {&CAamaSaveDlg::m_bDescAsName, &g_AamaOptDescAsName}}};
}

BOOL CAamaSaveDlg::OnInitDialog() {
  for (const auto& [member, setting] : Remembered()) this->*member = *setting;
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
  for (const auto& [member, setting] : Remembered()) *setting = this->*member;
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
