// Picks Lectra *.IBA pattern files of one folder for the external converter:
// OK writes their paths to the converter's list file "ACTCONFIG/AAMA.LST"
// under the program's folder.
#pragma once

#include "platform/dialog.h"
#include "platform/text.h"
#include "platform/win_types.h"

// The IBA folder chosen last, ending in "/" once set by a browse.
extern CString g_IbaFolder;

class CIbaOpenDlg : public CDialog {
 public:
  explicit CIbaOpenDlg(void* parent = nullptr);

  // The folder of the *.IBA files (edit 1015).
  CString m_strFolder;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Writes the selected files, one "path \r\n" line each in list order, to
  // the list file and ends the dialog; when the list file cannot be written
  // the dialog stays open.
  void OnOK() override;
  void OnControlChanged(int id) override;

  void OnBrowse();
  // Lists the folder's *.IBA files (any letter case) by name.
  void ListIbaFiles();
  void OnAllPieces();
};
