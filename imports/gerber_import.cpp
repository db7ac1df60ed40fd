#include "imports/gerber_import.h"

#include "imports/gerber_dialogs.h"
#include "imports/gerber_export.h"
#include "imports/gerber_style.h"
#include "imports/work_files.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "platform/file_system.h"
#include "platform/prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"

std::unique_ptr<CModel> g_pGgtModel;
int g_bGgtModelRead = 1;

namespace {

enum GgtSource { kStorageFolder = 0, kExportFiles = 1, kZipArchive = 2 };

// The model of the storage folder and catalogue entry the user picks; null
// when the dialog is cancelled or closed with no model chosen.
std::unique_ptr<CModel> ReadChosenStorageModel() {
  CGgtStyleFolderDlg dialog;
  if (dialog.DoModal() != IDOK) return nullptr;
  const int chosen = dialog.m_nSelectedModel;
  if (chosen < 0 || chosen >= static_cast<int>(dialog.m_Entries.size())) return nullptr;
  auto model = std::make_unique<CModel>();
  g_bGgtModelRead = 0;
  model->ReadModelFile(dialog.m_strFolder, dialog.m_Entries[static_cast<size_t>(chosen)]);
  g_bGgtModelRead = 1;
  return model;
}

std::unique_ptr<CModel> ReadChosenExportFiles() {
  CGgtTmpOpenDlg dialog;
  if (dialog.DoModal() != IDOK) return nullptr;
  return std::move(dialog.m_pModel);
}

// What the zip form ends with: a model, or why there is none.
struct ZipOutcome {
  bool chosen = false;  // false: the file dialog was cancelled
  UINT messageId = 0;   // the archive could not be unpacked
  std::unique_ptr<CModel> model;
};

ZipOutcome ReadChosenZipArchive() {
  ZipOutcome outcome;
  FileDialogRequest request;
  request.open = true;
  request.default_extension = "zip";
  request.filter = "zip file(*.zip)|*.zip|";
  request.title = "Open zip file";
  std::optional<FileDialogResult> answer = Prompts().FileDialog(request);
  if (!answer || answer->paths.empty()) return outcome;
  outcome.chosen = true;

  const CString folder = ProgramPath("TMP\\");
  if (!IsFolder(folder)) MakeFolder(folder);
  DeleteWorkFiles(folder);
  switch (UnpackZip(answer->paths.front(), folder)) {
    case UnpackResult::kOk: break;
    case UnpackResult::kCannotOpen: outcome.messageId = IDS_FILE_MISSING; break;
    case UnpackResult::kBadArchive:
    case UnpackResult::kBadName: outcome.messageId = IDS_FILE_DATA_ERROR; break;
    case UnpackResult::kWriteFailed: outcome.messageId = IDS_ZIP_UNPACK_FAILED; break;
  }
  // A failed unpack has removed what it wrote, and the files of an earlier
  // import went before it: "TMP/" holds nothing half-done.
  if (outcome.messageId != 0) return outcome;
  g_bGgtModelRead = 0;
  outcome.model = ReadGgtExportFiles(folder);
  g_bGgtModelRead = 1;
  return outcome;
}

// The style is replaced by the model's pieces; the model stays as the last
// import's. A model whose sizes and points are beyond what the style can
// hold (a hostile size count) is refused first, and nothing changes.
void ReplaceStyleWith(std::unique_ptr<CModel> model) {
  if (model && !GgtModelFitsStyle(*model)) {
    ShowFailureMessage(IDS_FILE_DATA_ERROR);
    return;
  }
  ClearStyle();
  g_pGgtModel = std::move(model);
  if (g_pWorkWindow != nullptr) g_pWorkWindow->Redraw();
  if (g_pGgtModel) ConvertGgtModel(*g_pGgtModel);
}

}  // namespace

void GgtImportCommand() {
  CGgtFileTypeDlg typeDialog;
  if (typeDialog.DoModal() != IDOK) return;
  switch (typeDialog.m_nType) {
    case kStorageFolder: {
      std::unique_ptr<CModel> model = ReadChosenStorageModel();
      if (model) ReplaceStyleWith(std::move(model));
      return;
    }
    case kExportFiles: {
      std::unique_ptr<CModel> model = ReadChosenExportFiles();
      if (model) ReplaceStyleWith(std::move(model));
      return;
    }
    case kZipArchive: {
      ZipOutcome outcome = ReadChosenZipArchive();
      if (!outcome.chosen) return;
      if (outcome.messageId != 0) {
        ShowFailureMessage(outcome.messageId);
        return;
      }
      // An archive without piece files gives an empty style and no model.
      ReplaceStyleWith(std::move(outcome.model));
      return;
    }
    default:
      return;
  }
}
