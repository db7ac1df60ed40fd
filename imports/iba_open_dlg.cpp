#include "imports/iba_open_dlg.h"

#include "imports/gerber_dialogs.h"
#include "platform/file_system.h"
#include "platform/text_file.h"
#include "res/resource_ids.h"

CString g_IbaFolder;

CIbaOpenDlg::CIbaOpenDlg(void* /*parent*/) : CDialog(IDD_IBA_OPEN) {}

void CIbaOpenDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_IBA_FOLDER, m_strFolder);
}

BOOL CIbaOpenDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_strFolder = g_IbaFolder;
  UpdateData(FALSE);
  ListIbaFiles();
  return TRUE;
}

void CIbaOpenDlg::OnBrowse() {
  CString initial = g_IbaFolder;
  while (initial.GetLength() > 1 && initial.Right(1) == "/") initial = initial.Left(initial.GetLength() - 1);
  CBrowseFolderDlg chooser(initial, 0, nullptr);
  if (chooser.DoModal() != IDOK) return;
  m_strFolder = chooser.GetSelectedPath();
  if (m_strFolder.Right(1) != "/") m_strFolder += "/";
  UpdateData(FALSE);
  ListIbaFiles();
  g_IbaFolder = m_strFolder;
}

void CIbaOpenDlg::ListIbaFiles() {
  ResetContent(IDC_IBA_FILES);
  for (const CString& name : ListFolder(m_strFolder, "*.IBA")) AddString(IDC_IBA_FILES, name);
  InvalidateControl(IDC_IBA_FILES);
}

void CIbaOpenDlg::OnAllPieces() { SetSel(IDC_IBA_FILES, -1, true); }

void CIbaOpenDlg::OnOK() {
  // The converter finds its list in "ACTCONFIG/" beside the program; a
  // fresh program folder does not have it yet.
  MakeFolder(ProgramPath("ACTCONFIG\\"));
  TextFileWriter list;
  if (!list.Open(ProgramPath("ACTCONFIG\\AAMA.LST"))) return;
  for (int index : GetSelItems(IDC_IBA_FILES)) {
    list.Write((JoinPath(m_strFolder, GetItemText(IDC_IBA_FILES, index)) + " \r\n").view());
  }
  if (!list.Commit()) return;
  CDialog::OnOK();
}

void CIbaOpenDlg::OnControlChanged(int id) {
  if (id == IDC_IBA_BROWSE) {
    OnBrowse();
  } else if (id == IDC_IBA_ALL_FILES) {
    OnAllPieces();
  }
}
