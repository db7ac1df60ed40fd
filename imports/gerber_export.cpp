#include "imports/gerber_export.h"

#include <cstddef>
#include <cstring>
#include <deque>
#include <map>
#include <set>

#include "platform/binary_file.h"
#include "platform/byte_cursor.h"
#include "platform/file_system.h"

namespace {

// Export files stay far below this; a larger one is refused unread, as the
// storage folder's data files are.
constexpr size_t kMaxExportFileBytes = size_t{256} << 20;

constexpr std::string_view kSignature = "GGT IXPORT";
constexpr size_t kNameOffset = 21;
constexpr size_t kNameBytes = 20;
constexpr size_t kTypeOffset = 42;
// A file of this length or shorter holds nothing after its header.
constexpr int64_t kMaxIgnoredFileBytes = 64;
// The scan reads no more of a file than this.
constexpr size_t kScannedHeadBytes = 64;
// A style file of this length or shorter holds no piece entry.
constexpr int64_t kMaxEmptyStyleFileBytes = 144;

// Style files: three 16-bit values, then the piece entries and model codes.
constexpr size_t kStyleValuesOffset = 134;
constexpr size_t kStyleEntriesOffset = 154;
constexpr size_t kModelCodeBytes = 7;

bool HasSignature(std::string_view bytes) {
  return bytes.size() >= kSignature.size() && CompareNoCase(bytes.substr(0, kSignature.size()), kSignature) == 0;
}

// Loads the whole export file at `path` when it opens, fits the bound and is
// an export file of `type`.
bool LoadExportFile(const CString& path, int type, std::vector<uint8_t>& bytes) {
  if (ReadWholeFile(path, kMaxExportFileBytes, bytes) != FileReadStatus::kOk) return false;
  GgtExportHeader header;
  return ParseGgtExportHeader(ByteView(bytes), static_cast<int64_t>(bytes.size()), header) && header.type == type;
}

}  // namespace

bool ParseGgtExportHeader(std::string_view bytes, int64_t fileLength, GgtExportHeader& header) {
  if (fileLength <= kMaxIgnoredFileBytes || bytes.size() < kTypeOffset + 1 || !HasSignature(bytes)) return false;
  header.name = GgtFieldText(bytes.substr(kNameOffset, kNameBytes));
  header.type = static_cast<uint8_t>(bytes[kTypeOffset]);
  return true;
}

GgtExportFolder ScanGgtExportFolder(const CString& folder) {
  GgtExportFolder found;
  for (const CString& fileName : ListFolder(folder, "*.tmp", ListKind::kFiles)) {
    GgtExportFile file;
    file.path = JoinPath(folder, fileName);
    CFile in;
    if (!in.Open(file.path, CFile::Mode::kRead)) continue;
    file.length = in.GetLength();
    char head[kScannedHeadBytes];
    size_t read = in.ReadUpTo(head, sizeof head);
    GgtExportHeader header;
    if (!ParseGgtExportHeader(std::string_view(head, read), file.length, header)) continue;
    file.name = header.name;
    switch (header.type) {
      case kGgtStyleFile:
        if (file.length > kMaxEmptyStyleFileBytes) found.styles.push_back(std::move(file));
        break;
      case kGgtPieceFile:
        found.pieces.push_back(std::move(file));
        break;
      case kGgtRuleTableFile:
        found.ruleTables.push_back(std::move(file));
        break;
      default:
        break;
    }
  }
  return found;
}

void LoadPieceRuleTable(CPiece& piece, CGgtImportContext& context, const std::vector<GgtExportFile>& ruleTables) {
  if (!piece.body) return;
  // A later file replaces an earlier one, and a table cut short is not
  // taken: the last matching file that reads whole wins, so the files are
  // tried from the last and the first whole one ends the search.
  for (auto file = ruleTables.rbegin(); file != ruleTables.rend(); ++file) {
    if (file->name.view() != piece.body->ruleTableName.view()) continue;
    std::vector<uint8_t> bytes;
    if (!LoadExportFile(file->path, kGgtRuleTableFile, bytes)) continue;
    ByteCursor in(ByteView(bytes));
    if (!in.Seek(kGgtExportDataOffset)) continue;
    std::unique_ptr<CGgtRuleTable> table = CModel::ReadRuleTableRecord(in);
    if (!table) continue;
    piece.ruleTable = std::move(table);
    piece.ruleTableFound = 1;
    context.currentRuleTable = piece.ruleTable.get();
    return;
  }
}

int ReadPieceFile(CModel& /*model*/, CPiece& piece, const CString& path, CGgtImportContext& context,
                  const std::vector<GgtExportFile>& ruleTables) {
  std::vector<uint8_t> bytes;
  if (!LoadExportFile(path, kGgtPieceFile, bytes)) return 0;
  ByteCursor in(ByteView(bytes));
  // The piece is kept even when its record is cut short, as the storage
  // folder's reader keeps a piece it found without a readable record.
  if (!in.Seek(kGgtExportDataOffset) || !CModel::ReadPieceData(in, piece)) return 1;
  LoadPieceRuleTable(piece, context, ruleTables);
  CModel::ConvertReadPiece(context, piece);
  return 1;
}

void BuildModelFromPieceFiles(CModel& model, const std::vector<GgtExportFile>& pieceFiles,
                              const std::vector<GgtExportFile>& ruleTables) {
  CGgtImportContext context;
  for (const GgtExportFile& file : pieceFiles) {
    auto piece = std::make_unique<CPiece>();
    piece->name = file.name;
    if (!ReadPieceFile(model, *piece, file.path, context, ruleTables)) continue;
    model.pieces.push_back(std::move(piece));
    if (model.pieceCount < UINT16_MAX) ++model.pieceCount;
    ++context.pieceCounter;
  }
  model.BuildPieces(context);
}

bool ReadGgtStyleEntries(std::string_view bytes, GgtStyleEntries& entries) {
  if (bytes.size() < kStyleEntriesOffset) return false;
  ByteCursor in(bytes);
  in.Seek(kStyleValuesOffset);
  for (uint16_t& value : entries.values) in.ReadU16(value);
  // Both counts are signed: a negative one reads nothing. Neither is trusted:
  // every entry is read whole or ends the list, so a count larger than the
  // bytes hold stops at the last whole entry.
  const int pieceEntries = static_cast<int16_t>(entries.values[0]);
  const int modelCodes = static_cast<int16_t>(entries.values[1]);
  in.Seek(kStyleEntriesOffset);
  for (int i = 0; i < pieceEntries; ++i) {
    auto piece = std::make_unique<CPiece>();
    if (!CModel::ReadPieceEntry(in, *piece)) break;
    entries.pieces.push_back(std::move(piece));
  }
  // The model codes follow the entries only in a style with pieces.
  if (pieceEntries >= 1) {
    for (int i = 0; i < modelCodes; ++i) {
      char code[kModelCodeBytes];
      if (!in.ReadBytes(code, sizeof code)) break;
      entries.modelCodes.push_back(CGgtModelCode{GgtFieldText(std::string_view(code, sizeof code))});
    }
  }
  return true;
}

int ReadStyle(CModel& model, const GgtExportFile& style, const CString& styleName, const GgtExportFolder& files) {
  std::vector<uint8_t> bytes;
  if (!LoadExportFile(style.path, kGgtStyleFile, bytes)) return 0;
  model.modelName = styleName;
  // A style file too short for its entries gives a model without pieces.
  GgtStyleEntries entries;
  ReadGgtStyleEntries(ByteView(bytes), entries);
  model.pieces = std::move(entries.pieces);
  model.modelCodes = std::move(entries.modelCodes);
  model.pieceCount = static_cast<uint16_t>(model.pieces.size());
  model.modelCodeCount = static_cast<uint16_t>(model.modelCodes.size());
  model.value84 = entries.values[2];

  // Every entry gets at most one piece file of its name, and no file serves
  // two entries: with two entries of one name and one file, the second entry
  // goes without a file and is dropped. A path listed twice is taken once.
  // The entries waiting for a file are found by name.
  std::map<std::string_view, std::deque<size_t>> waiting;
  for (size_t i = 0; i < model.pieces.size(); ++i) waiting[model.pieces[i]->name.view()].push_back(i);
  std::vector<const GgtExportFile*> slots(model.pieces.size(), nullptr);
  std::set<std::string_view> taken;
  for (const GgtExportFile& file : files.pieces) {
    auto entries = waiting.find(file.name.view());
    if (entries == waiting.end() || entries->second.empty()) continue;
    if (!taken.insert(file.path.view()).second) continue;
    slots[entries->second.front()] = &file;
    entries->second.pop_front();
  }

  CGgtImportContext context;
  std::vector<std::unique_ptr<CPiece>> kept;
  kept.reserve(model.pieces.size());
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i] && ReadPieceFile(model, *model.pieces[i], slots[i]->path, context, files.ruleTables)) {
      kept.push_back(std::move(model.pieces[i]));
      ++context.pieceCounter;
    }
  }
  model.pieces = std::move(kept);
  model.pieceCount = static_cast<uint16_t>(model.pieces.size());
  model.BuildPieces(context);
  return 1;
}

std::unique_ptr<CModel> ReadGgtExportFiles(const CString& folder) {
  GgtExportFolder files = ScanGgtExportFolder(folder);
  if (files.pieces.empty()) return nullptr;
  auto model = std::make_unique<CModel>();
  BuildModelFromPieceFiles(*model, files.pieces, files.ruleTables);
  return model;
}
