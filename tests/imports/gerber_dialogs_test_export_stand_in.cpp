// STAND-IN, removed when the export readers land (imports/gerber_export.cpp).
//
// Minimal definitions of the export readers the dialog tests reach, written
// to the comments of imports/gerber_export.h so that the dialogs see real
// scans and style entries. Only the test program links them.
#include <filesystem>
#include <string>

#include "imports/gerber_export.h"
#include "platform/binary_file.h"
#include "platform/file_system.h"

namespace {

constexpr size_t kMaxBytes = size_t{16} << 20;

uint16_t U16At(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

CString FieldText(std::string_view field) { return CString(field.substr(0, field.find('\0'))); }

bool LoadFile(const CString& path, std::string& out) {
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(path, kMaxBytes, bytes) != FileReadStatus::kOk) return false;
  out.assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace

bool ParseGgtExportHeader(std::string_view bytes, int64_t fileLength, GgtExportHeader& header) {
  if (fileLength <= 64 || bytes.size() < 54) return false;
  if (CString(bytes.substr(0, 10)).CompareNoCase("GGT IXPORT") != 0) return false;
  header.name = FieldText(bytes.substr(21, 20));
  header.type = static_cast<uint8_t>(bytes[42]);
  return true;
}

GgtExportFolder ScanGgtExportFolder(const CString& folder) {
  GgtExportFolder found;
  for (const CString& name : ListFolder(folder, "*.tmp")) {
    const CString path = JoinPath(folder, name);
    std::string bytes;
    GgtExportHeader header;
    if (!LoadFile(path, bytes) || !ParseGgtExportHeader(bytes, static_cast<int64_t>(bytes.size()), header)) continue;
    GgtExportFile file{path, header.name, static_cast<int64_t>(bytes.size())};
    if (header.type == kGgtStyleFile && file.length > 144) found.styles.push_back(file);
    if (header.type == kGgtPieceFile) found.pieces.push_back(file);
    if (header.type == kGgtRuleTableFile) found.ruleTables.push_back(file);
  }
  return found;
}

bool ReadGgtStyleEntries(std::string_view bytes, GgtStyleEntries& entries) {
  if (bytes.size() < 140) return false;
  for (int i = 0; i < 3; ++i) entries.values[i] = U16At(bytes, 134 + 2 * static_cast<size_t>(i));
  size_t at = 154;
  for (int i = 0; i < entries.values[0]; ++i) {
    if (bytes.size() < at + 29) return true;
    auto piece = std::make_unique<CPiece>();
    piece->byteA = static_cast<uint8_t>(bytes[at]);
    piece->byteB = static_cast<uint8_t>(bytes[at + 1]);
    piece->name = FieldText(bytes.substr(at + 9, 20));
    size_t next = at + 29;
    if (piece->byteB == '+') {
      if (bytes.size() < next + 1) return true;
      if (bytes[next++] == 0) next += 11;
      if (bytes.size() < next) return true;
    }
    at = next;
    entries.pieces.push_back(std::move(piece));
  }
  for (int i = 0; i < entries.values[1] && bytes.size() >= at + 7; ++i, at += 7) {
    entries.modelCodes.push_back(CGgtModelCode{FieldText(bytes.substr(at, 7))});
  }
  return true;
}

int ReadStyle(CModel& model, const GgtExportFile& style, const CString& styleName, const GgtExportFolder& files) {
  std::string bytes;
  if (!LoadFile(style.path, bytes)) return 0;
  model.modelName = styleName;
  GgtStyleEntries entries;
  ReadGgtStyleEntries(bytes, entries);
  std::vector<bool> used(files.pieces.size(), false);
  for (std::unique_ptr<CPiece>& piece : entries.pieces) {
    for (size_t i = 0; i < files.pieces.size(); ++i) {
      if (!used[i] && files.pieces[i].name == piece->name) {
        used[i] = true;
        model.pieces.push_back(std::move(piece));
        break;
      }
    }
  }
  model.modelCodes = entries.modelCodes;
  return 1;
}

void BuildModelFromPieceFiles(CModel& model, const std::vector<GgtExportFile>& pieceFiles,
                              const std::vector<GgtExportFile>& /*ruleTables*/) {
  for (const GgtExportFile& file : pieceFiles) {
    auto piece = std::make_unique<CPiece>();
    piece->name = file.name;
    model.pieces.push_back(std::move(piece));
  }
}
