#include "imports/gerber_dialogs.h"

#include <string_view>
#include <utility>

#include "imports/gerber_import.h"
#include "platform/binary_file.h"
#include "platform/file_system.h"
#include "platform/prompts.h"
#include "res/resource_ids.h"

CString g_GgtStorageFolder;
int g_nGgtModelIndex = -1;
CString g_TmpFolder;

namespace {

// The shell's "return only file-system folders" flag.
constexpr UINT kReturnOnlyFileSystemFolders = 1;
// A style file is a few kilobytes; a larger one is no style file.
constexpr size_t kMaxStyleFileBytes = size_t{16} << 20;

CString WithSeparator(const CString& folder) {
  if (folder.IsEmpty() || folder.Right(1) == "/") return folder;
  return folder + "/";
}

CString WithoutSeparators(CString folder) {
  while (folder.GetLength() > 1 && folder.Right(1) == "/") folder = folder.Left(folder.GetLength() - 1);
  return folder;
}

}  // namespace

// --- the file type --------------------------------------------------------

CGgtFileTypeDlg::CGgtFileTypeDlg(void* /*parent*/) : CDialog(IDD_GGT_FILE_TYPE) {}

void CGgtFileTypeDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GGT_TYPE_MODEL, m_nType);
}

void CGgtFileTypeDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

// --- the folder choosers ----------------------------------------------------

CBrowseFolderDlg::CBrowseFolderDlg(const CString& initial, UINT flags, void* parent)
    : m_nFlags(flags), m_pParent(parent), m_strInitialFolder(initial) {}

int CBrowseFolderDlg::DoModal() {
  m_strSelectedPath = m_strInitialFolder;
  m_strSelection = m_strInitialFolder;
  OnInitialized();
  std::optional<CString> chosen =
      Prompts().FolderDialogAccepting(m_strTitle, m_strSelection, [this](const CString& path) {
        OnSelChanged(path);
        return m_bOKEnabled;
      });
  if (!chosen || chosen->IsEmpty()) return IDCANCEL;
  m_strSelectedPath = WithoutSeparators(*chosen);
  return IDOK;
}

CString CBrowseFolderDlg::ShortenPath(const CString& path) { return ShortenStatusPath(path); }

void CBrowseFolderDlg::OnInitialized() {
  SetSelection(m_strInitialFolder);
  SetStatusText(ShortenPath(m_strInitialFolder));
}

void CBrowseFolderDlg::OnSelChanged(const CString& path) {
  m_strSelectedPath = WithSeparator(path);
  SetStatusText(ShortenPath(m_strSelectedPath));
}

CStorageFolderDlg::CStorageFolderDlg(const CString& initial, UINT flags, void* parent, const CString& pattern)
    : CBrowseFolderDlg(initial, flags, parent), m_strPattern(pattern) {}

bool CStorageFolderDlg::IsStorageFolder(const CString& path) { return ::IsStorageFolder(path, &m_nDirect); }

void CStorageFolderDlg::OnSelChanged(const CString& path) {
  CBrowseFolderDlg::OnSelChanged(path);
  EnableOK(IsStorageFolder(m_strSelectedPath));
}

// --- the model list of a storage folder -------------------------------------

CGgtStyleFolderDlg::CGgtStyleFolderDlg(void* /*parent*/) : CDialog(IDD_GGT_STYLE_FOLDER) {}

void CGgtStyleFolderDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GGT_FOLDER, m_strFolder);
}

BOOL CGgtStyleFolderDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  EnableControl(IDOK, false);
  m_strFolder = g_GgtStorageFolder;
  UpdateData(FALSE);
  OnChangeFolder();
  return TRUE;
}

int CGgtStyleFolderDlg::CheckModelCtl(const CString& folder) { return ::CheckModelCtl(folder); }

void CGgtStyleFolderDlg::OnBrowse() {
  CStorageFolderDlg chooser(WithoutSeparators(g_GgtStorageFolder), kReturnOnlyFileSystemFolders, nullptr);
  if (chooser.DoModal() != IDOK) return;
  m_strFolder = WithSeparator(chooser.GetSelectedPath());
  if (chooser.m_nDirect == 0) m_strFolder += "data/";
  g_GgtStorageFolder = m_strFolder;
  UpdateData(FALSE);
  OnChangeFolder();
}

void CGgtStyleFolderDlg::OnChangeFolder() {
  UpdateData(TRUE);
  ResetContent(IDC_GGT_FOLDER_MODELS);
  m_Entries.clear();
  EnableControl(IDOK, false);
  if (CheckModelCtl(m_strFolder) != 0) return;

  // Every record but the last counts for the remembered position, deleted
  // ones included, as the list showed them when the position was taken.
  FileStatus status;
  if (!GetFileStatus(FindFileNoCase(m_strFolder, "model.ctl"), status)) return;
  const int64_t records = static_cast<int64_t>(status.size / kCatalogueRecordBytes) - 1;
  m_Entries = ReadModelCatalogue(m_strFolder);
  for (const CDataBase& entry : m_Entries) AddString(IDC_GGT_FOLDER_MODELS, entry.name);
  if (records <= 0) return;
  SetCurSel(IDC_GGT_FOLDER_MODELS, g_nGgtModelIndex < records ? g_nGgtModelIndex : 0);
  EnableControl(IDOK, true);
}

void CGgtStyleFolderDlg::TakeSelection() {
  const int selected = GetCurSel(IDC_GGT_FOLDER_MODELS);
  g_nGgtModelIndex = selected;
  m_nSelectedModel = -1;
  if (selected < 0) return;
  const CString name = GetItemText(IDC_GGT_FOLDER_MODELS, selected);
  for (size_t i = 0; i < m_Entries.size(); ++i) {
    if (m_Entries[i].name == name) {
      m_nSelectedModel = static_cast<int>(i);
      break;
    }
  }
}

void CGgtStyleFolderDlg::OnOK() {
  TakeSelection();
  CDialog::OnOK();
}

void CGgtStyleFolderDlg::OnDblclkModelList() {
  // A double click ends the dialog as OK does; it cannot while OK is not
  // offered (no catalogue).
  if (!IsControlEnabled(IDOK)) return;
  OnOK();
}

void CGgtStyleFolderDlg::OnControlChanged(int id) {
  if (id == IDC_GGT_FOLDER_BROWSE) {
    OnBrowse();
  } else if (id == IDC_GGT_FOLDER) {
    OnChangeFolder();
  }
}

void CGgtStyleFolderDlg::OnControlDoubleClicked(int id) {
  if (id == IDC_GGT_FOLDER_MODELS) OnDblclkModelList();
}

// --- the export-file dialog -------------------------------------------------

CGgtTmpOpenDlg::CGgtTmpOpenDlg(void* /*parent*/) : CDialog(IDD_GGT_TMP_OPEN) {}

void CGgtTmpOpenDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GGT_TMP_FOLDER, m_strFolder);
  DDX_Check(pDX, IDC_GGT_TMP_NEW_STYLE, m_bNewStyle);
  DDX_Text(pDX, IDC_GGT_TMP_STYLE_NAME, m_strNewStyleName);
}

void CGgtTmpOpenDlg::EnableControlsByMode() {
  const bool newStyle = m_bNewStyle != 0;
  EnableControl(IDC_GGT_TMP_STYLE_NAME, newStyle);
  EnableControl(IDC_GGT_TMP_PIECES, newStyle);
  EnableControl(IDC_GGT_TMP_ALL_PIECES, newStyle);
  EnableControl(IDC_GGT_TMP_STYLES, !newStyle);
}

void CGgtTmpOpenDlg::SwitchToNewStyle() {
  m_bNewStyle = 1;
  UpdateData(FALSE);
  ScanFolder();
  EnableControlsByMode();
  SetSel(IDC_GGT_TMP_PIECES, -1, true);
}

BOOL CGgtTmpOpenDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  EnableControlsByMode();
  m_strFolder = g_TmpFolder;
  UpdateData(FALSE);
  ScanFolder();
  if (GetCount(IDC_GGT_TMP_STYLES) == 0) SwitchToNewStyle();
  return TRUE;
}

void CGgtTmpOpenDlg::OnBrowse() {
  CBrowseFolderDlg chooser(WithoutSeparators(g_TmpFolder), kReturnOnlyFileSystemFolders, nullptr);
  if (chooser.DoModal() != IDOK) return;
  m_bNewStyle = 0;
  EnableControlsByMode();
  m_strFolder = WithSeparator(chooser.GetSelectedPath());
  UpdateData(FALSE);
  ScanFolder();
  g_TmpFolder = m_strFolder;
  if (GetCount(IDC_GGT_TMP_STYLES) == 0) SwitchToNewStyle();
}

void CGgtTmpOpenDlg::OnCreateNewStyle() {
  UpdateData(TRUE);
  ScanFolder();
  EnableControlsByMode();
}

void CGgtTmpOpenDlg::OnAllPieces() { SetSel(IDC_GGT_TMP_PIECES, -1, true); }

void CGgtTmpOpenDlg::ScanFolder() {
  ResetContent(IDC_GGT_TMP_PIECES);
  ResetContent(IDC_GGT_TMP_STYLES);
  m_PieceFiles.clear();
  m_StyleFiles.clear();
  GgtExportFolder files = ScanGgtExportFolder(m_strFolder);
  if (m_bNewStyle) {
    for (GgtExportFile& piece : files.pieces) {
      AddString(IDC_GGT_TMP_PIECES, piece.name);
      m_PieceFiles.push_back(std::move(piece));
    }
  } else {
    for (GgtExportFile& style : files.styles) {
      AddString(IDC_GGT_TMP_STYLES, style.name);
      m_StyleFiles.push_back(std::move(style));
    }
    if (!m_StyleFiles.empty()) {
      SetCurSel(IDC_GGT_TMP_STYLES, 0);
      OnSelchangeStyleList();
    }
  }
  InvalidateControl(IDC_GGT_TMP_PIECES);
  InvalidateControl(IDC_GGT_TMP_STYLES);
}

void CGgtTmpOpenDlg::OnSelchangeStyleList() {
  if (m_bNewStyle) return;
  ResetContent(IDC_GGT_TMP_PIECES);
  const int selected = GetCurSel(IDC_GGT_TMP_STYLES);
  if (selected < 0 || static_cast<size_t>(selected) >= m_StyleFiles.size()) return;
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(m_StyleFiles[static_cast<size_t>(selected)].path, kMaxStyleFileBytes, bytes) !=
      FileReadStatus::kOk) {
    return;
  }
  GgtStyleEntries entries;
  ReadGgtStyleEntries(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), entries);
  m_nPieceCount = entries.values[0];
  m_nModelCodeCount = entries.values[1];
  m_nStyleValue = entries.values[2];
  for (const std::unique_ptr<CPiece>& piece : entries.pieces) AddString(IDC_GGT_TMP_PIECES, piece->name);
}

void CGgtTmpOpenDlg::ScanRuleTableFiles() { m_RuleTableFiles = ScanGgtExportFolder(m_strFolder).ruleTables; }

int CGgtTmpOpenDlg::ReadStyle(CModel& model, int index) {
  if (index < 0 || static_cast<size_t>(index) >= m_StyleFiles.size()) return 0;
  GgtExportFolder files = ScanGgtExportFolder(m_strFolder);
  files.styles = m_StyleFiles;
  files.ruleTables = m_RuleTableFiles;
  return ::ReadStyle(model, m_StyleFiles[static_cast<size_t>(index)], GetItemText(IDC_GGT_TMP_STYLES, index), files);
}

void CGgtTmpOpenDlg::BuildNewStyle(CModel& model) {
  std::vector<GgtExportFile> chosen;
  for (int index : GetSelItems(IDC_GGT_TMP_PIECES)) {
    if (index >= 0 && static_cast<size_t>(index) < m_PieceFiles.size()) {
      chosen.push_back(m_PieceFiles[static_cast<size_t>(index)]);
    }
  }
  BuildModelFromPieceFiles(model, chosen, m_RuleTableFiles);
}

void CGgtTmpOpenDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  m_pModel.reset();
  if (!m_bNewStyle) {
    const int selected = GetCurSel(IDC_GGT_TMP_STYLES);
    if (GetCount(IDC_GGT_TMP_STYLES) > 0 && selected >= 0) {
      auto model = std::make_unique<CModel>();
      g_bGgtModelRead = 0;
      ScanRuleTableFiles();
      ReadStyle(*model, selected);
      g_bGgtModelRead = 1;
      m_pModel = std::move(model);
    }
  } else if (GetSelCount(IDC_GGT_TMP_PIECES) > 0) {
    auto model = std::make_unique<CModel>();
    model->modelName = m_strNewStyleName;
    g_bGgtModelRead = 0;
    ScanRuleTableFiles();
    BuildNewStyle(*model);
    g_bGgtModelRead = 1;
    m_pModel = std::move(model);
  }
  EndDialog(IDOK);
}

void CGgtTmpOpenDlg::OnControlChanged(int id) {
  switch (id) {
    case IDC_GGT_TMP_BROWSE:
      OnBrowse();
      break;
    case IDC_GGT_TMP_NEW_STYLE:
      OnCreateNewStyle();
      break;
    case IDC_GGT_TMP_ALL_PIECES:
      OnAllPieces();
      break;
    case IDC_GGT_TMP_STYLES:
      OnSelchangeStyleList();
      break;
    default:
      break;
  }
}
