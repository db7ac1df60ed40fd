// The dialogs in front of the Gerber import: the form the style comes in,
// the folder chooser (plain, and one that accepts only storage folders), the
// model list of a storage folder, and the export-file dialog that picks one
// style of a folder of "*.tmp" files or a set of its pieces as a new style.
//
// None of them shows a message: a folder that holds nothing usable leaves
// its lists empty.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imports/gerber_catalogue.h"
#include "imports/gerber_export.h"
#include "imports/gerber_model.h"
#include "platform/dialog.h"
#include "platform/text.h"
#include "platform/win_types.h"

// The storage folder chosen last; shown again the next time the model list
// opens.
extern CString g_GgtStorageFolder;
// The list position of the model chosen last (-1: none); preselected the
// next time the model list opens.
extern int g_nGgtModelIndex;
// The export-file folder chosen last, ending in "/" once set by a browse.
extern CString g_TmpFolder;

// Asks in what form the Gerber style comes.
class CGgtFileTypeDlg : public CDialog {
 public:
  explicit CGgtFileTypeDlg(void* parent = nullptr);

  // 0 storage folder (model files), 1 export files (*.tmp), 2 zip archive.
  int m_nType = 0;

  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
};

// A folder chooser with a title line and a status line showing the current
// selection, run through the prompt seam. Subclasses follow the selection
// (OnSelChanged) and decide whether OK is offered (EnableOK).
class CBrowseFolderDlg {
 public:
  // `initial` is the folder selected when the chooser opens (empty: none);
  // the flags and the parent window are the caller's and kept.
  CBrowseFolderDlg(const CString& initial, UINT flags, void* parent);
  virtual ~CBrowseFolderDlg() = default;
  CBrowseFolderDlg(const CBrowseFolderDlg&) = delete;
  CBrowseFolderDlg& operator=(const CBrowseFolderDlg&) = delete;

  // 1 (OK) with the chosen folder in GetSelectedPath(), without a trailing
  // "/"; 2 (Cancel).
  virtual int DoModal();

  CString GetSelectedPath() const { return m_strSelectedPath; }
  // Offers or withdraws the chooser's OK for the current selection.
  void EnableOK(bool enable) { m_bOKEnabled = enable; }
  bool IsOKEnabled() const { return m_bOKEnabled; }
  // The folder the chooser selects when it opens.
  void SetSelection(const CString& path) { m_strSelection = path; }
  void SetStatusText(const CString& text) { m_strStatusText = text; }
  const CString& GetStatusText() const { return m_strStatusText; }
  const CString& GetTitle() const { return m_strTitle; }

  // The path as the status line shows it: longer than 35 characters, its
  // first 35 and "...".
  static CString ShortenPath(const CString& path);

  // The chooser opens: the initial folder is selected and shown.
  virtual void OnInitialized();
  // The user selected the folder `path`: it becomes the selected path with
  // a trailing "/", shown shortened in the status line.
  virtual void OnSelChanged(const CString& path);

 protected:
  CString m_strTitle = "Current Selection";
  UINT m_nFlags = 0;
  void* m_pParent = nullptr;
  CString m_strInitialFolder;
  CString m_strSelectedPath;
  CString m_strSelection;
  CString m_strStatusText;
  bool m_bOKEnabled = true;
};

// A folder chooser whose OK is offered only while the selection is a Gerber
// storage folder, holding the catalogue files itself or in "data/".
class CStorageFolderDlg : public CBrowseFolderDlg {
 public:
  CStorageFolderDlg(const CString& initial, UINT flags, void* parent, const CString& pattern = "*.*");

  // Kept, not used.
  CString m_strPattern;
  // 1 when the last storage folder found holds the catalogues itself, 0
  // when they lie in its "data/" subfolder.
  int m_nDirect = 1;

  // Whether `path` is a storage folder; sets m_nDirect when it is.
  bool IsStorageFolder(const CString& path);
  void OnSelChanged(const CString& path) override;
};

// The storage folder and one model of its catalogue "model.ctl".
class CGgtStyleFolderDlg : public CDialog {
 public:
  explicit CGgtStyleFolderDlg(void* parent = nullptr);

  // The position in m_Entries of the model chosen at OK; -1 when none.
  int m_nSelectedModel = -1;
  // The models of the folder's catalogue, in file order.
  std::vector<CDataBase> m_Entries;
  // The folder holding the catalogues (edit 1004).
  CString m_strFolder;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  void OnControlChanged(int id) override;
  void OnControlDoubleClicked(int id) override;

  // Chooses the folder in a storage-folder chooser.
  void OnBrowse();
  // Lists the models of the folder's catalogue (also when the user types).
  void OnChangeFolder();
  void OnDblclkModelList();
  // 0 when "model.ctl" of `folder` holds models; 1 it cannot be opened, 2
  // its length is not a multiple of 64, 3 it holds one record only.
  static int CheckModelCtl(const CString& folder);

 private:
  // Remembers the chosen list position and the entry it names.
  void TakeSelection();
};

// A folder of Gerber export files: one of its styles, or a set of its pieces
// as a new style. OK builds the model into m_pModel; with nothing chosen it
// stays null.
class CGgtTmpOpenDlg : public CDialog {
 public:
  explicit CGgtTmpOpenDlg(void* parent = nullptr);

  CString m_strFolder;
  // Check box 1017: pick pieces for a new style instead of a style.
  int m_bNewStyle = 0;
  CString m_strNewStyleName;
  // The three 16-bit values of the selected style file: piece entries,
  // model codes, a kept value.
  uint16_t m_nPieceCount = 0;
  uint16_t m_nModelCodeCount = 0;
  uint16_t m_nStyleValue = 0;
  // The files behind the lists: the style list's entries in its order, the
  // piece list's entries (new-style mode) in its order, and the folder's
  // rule-table files (paths and names) as scanned at OK.
  std::vector<GgtExportFile> m_StyleFiles;
  std::vector<GgtExportFile> m_PieceFiles;
  std::vector<GgtExportFile> m_RuleTableFiles;
  // The model built at OK; null when nothing was chosen.
  std::unique_ptr<CModel> m_pModel;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;
  void OnControlChanged(int id) override;

  void OnBrowse();
  void OnCreateNewStyle();
  void OnAllPieces();
  // Fills the lists from the folder's export files, as the mode asks.
  void ScanFolder();
  // Lists the piece entries of the selected style file.
  void OnSelchangeStyleList();
  void ScanRuleTableFiles();
  // Reads the style at `index` of the style list into `model`.
  int ReadStyle(CModel& model, int index);
  // Builds `model` from the selected pieces.
  void BuildNewStyle(CModel& model);

 private:
  // The new-style name and the piece list serve the new-style mode, the
  // style list the other.
  void EnableControlsByMode();
  // A folder without styles: pick pieces, every one selected.
  void SwitchToNewStyle();
};
