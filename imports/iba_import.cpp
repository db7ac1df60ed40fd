#include "imports/iba_import.h"

#include <string>

#include "formats/aama_reader.h"
#include "imports/iba_open_dlg.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/text_file.h"
#include "res/resource_ids.h"
#include "res/resources.h"

int g_IbaConverterTimeoutMs = kIbaConverterTimeoutMs;

namespace {

// The converter's lines are short; a longer one is cut, never read past.
constexpr size_t kRuleLineBytes = 1000;

void DeleteConverterOutput(const CString& folder) {
  for (const char* pattern : {"*.DXF", "*.RUL"}) {
    for (const CString& name : ListFolder(folder, pattern)) RemoveFile(JoinPath(folder, name));
  }
}

// Runs the converter in the program's folder and waits for it to end.
bool RunConverter() {
  const CString home = ProgramFolder();
  ExternalProcess converter;
  if (!converter.Start(JoinPath(home, "convert"), {"./ACTCONFIG/AAMA.ACT", "graphic"}, home)) return false;
  if (converter.Wait(g_IbaConverterTimeoutMs, 100) == ExternalProcess::WaitResult::kExited) return true;
  converter.Kill();
  return false;
}

}  // namespace

bool IbaRuleFilesAgree(const CString& folder) {
  CString remembered[3];
  for (const CString& name : ListFolder(folder, "*.RUL")) {
    TextFileReader reader;
    if (!reader.Open(JoinPath(folder, name), kRuleLineBytes)) continue;
    CString line;
    for (int number = 1; number <= 9; ++number) {
      // A file that ends early gives empty text for its missing lines.
      if (!reader.ReadLine(line)) line = CString();
      if (number < 7) continue;
      line.Trim();
      CString& text = remembered[number - 7];
      if (text.IsEmpty()) {
        text = line;
      } else if (text.CompareNoCase(line.view()) != 0) {
        return false;
      }
    }
  }
  return true;
}

void IbaImportCommand() {
  CIbaOpenDlg dialog;
  if (dialog.DoModal() != IDOK) return;
  ClearStyle();
  if (g_pWorkWindow != nullptr) g_pWorkWindow->Redraw();

  const CString folder = ProgramPath("DXF\\");
  if (!IsFolder(folder)) MakeFolder(folder);
  DeleteConverterOutput(folder);
  if (!RunConverter()) {
    ShowFailureMessage(IDS_CONVERTER_FAILED);
    DeleteConverterOutput(folder);
    return;
  }
  ClearStyle();
  if (!IbaRuleFilesAgree(folder)) {
    ShowFailureMessage(IDS_IBA_NOT_ONE_STYLE);
    return;
  }
  for (const CString& name : ListFolder(folder, "*.DXF")) {
    const CString path = JoinPath(folder, name);
    if (ReadAamaFile(path.c_str(), TRUE, TRUE) != AamaReadResult::kSuccess) break;
  }
  DeleteConverterOutput(folder);
}
