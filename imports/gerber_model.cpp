#include "imports/gerber_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "platform/binary_file.h"
#include "platform/file_system.h"

namespace {

// Data files of a storage folder stay far below this; a larger one is refused
// unread.
constexpr size_t kMaxDataFileBytes = size_t{256} << 20;

// Byte sizes of the fixed parts of the records.
constexpr size_t kModelRecordBytes = 100;
constexpr size_t kPieceEntryBytes = 29;
constexpr size_t kModelCodeBytes = 7;
constexpr size_t kBlockHeadBytes = 28;
constexpr size_t kPieceHeadBytes = 98;
constexpr size_t kRuleTableHeadBytes = 90;
constexpr size_t kSizeEntryBytes = 10;
constexpr size_t kGradeRuleHeadBytes = 26;
constexpr size_t kDeltaPairBytes = 8;
constexpr size_t kOutlinePointHeadBytes = 14;
constexpr size_t kInternalLineHeadBytes = 10;
constexpr size_t kExtraBlockHeadBytes = 6;

bool ReadText(ByteCursor& in, size_t width, CString& text) {
  uint8_t field[40] = {};
  if (width > sizeof field || !in.ReadBytes(field, width)) return false;
  text = GgtFieldText(field, width);
  return true;
}

uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32At(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// Loads a whole data file of the folder, found by name in any case.
bool LoadDataFile(const CString& folder, const CString& name, std::vector<uint8_t>& bytes) {
  CString path = FindFileNoCase(folder, name);
  return !path.IsEmpty() && ReadWholeFile(path, kMaxDataFileBytes, bytes) == FileReadStatus::kOk;
}

// Follows an item's block head (data offset, a 32-bit value, a 20-byte name)
// to the record it points at.
bool SeekToRecord(ByteCursor& in, int blockIndex) {
  int64_t block = DataBlockOffset(blockIndex);
  if (block < 0 || !in.Seek(static_cast<size_t>(block))) return false;
  uint8_t head[kBlockHeadBytes];
  if (!in.ReadBytes(head, sizeof head)) return false;
  return in.Seek(U32At(head));
}

// A rule code loses every "X", "P" and "A"; the rest moves up and spaces fill
// the end, so "XPA1" becomes "1   ". A code shorter than its field ends at
// its first 0 byte and is filled up the same way.
CString CleanRuleCode(const uint8_t* code) {
  std::string cleaned;
  for (int i = 0; i < 4 && code[i] != 0; ++i) {
    char ch = static_cast<char>(code[i]);
    if (ch != 'X' && ch != 'P' && ch != 'A') cleaned += ch;
  }
  cleaned.resize(4, ' ');
  return CString(cleaned);
}

// The bytes one grade rule takes in the file with `steps` grade steps.
size_t GradeRuleBytes(int steps) {
  return kGradeRuleHeadBytes + (steps >= 0 ? (static_cast<size_t>(steps) + 1) * kDeltaPairBytes : 0);
}

}  // namespace

bool CModel::ReadGradeRule(ByteCursor& in, int steps, CGgtGradeRule& rule) {
  uint8_t head[kGradeRuleHeadBytes];
  if (!in.ReadBytes(head, sizeof head)) return false;
  rule.number = U16At(head);
  rule.code = CleanRuleCode(head + 2);
  if (head[6] == 1) rule.name = GgtFieldText(head + 7, 18);
  if (steps < 0) return true;
  rule.deltas.resize(static_cast<size_t>(steps) + 1);
  for (CGgtDelta& delta : rule.deltas) {
    if (!in.ReadI32(delta.dx) || !in.ReadI32(delta.dy)) return false;
  }
  return true;
}

namespace {

// Reads `count` grade rules. Each is checked to fit before it is read.
bool ReadGradeRules(ByteCursor& in, int count, int steps, std::vector<CGgtGradeRule>& rules) {
  if (!in.CheckCount(count, GradeRuleBytes(steps))) return false;
  rules.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    CGgtGradeRule rule;
    if (!CModel::ReadGradeRule(in, steps, rule)) return false;
    rules.push_back(std::move(rule));
  }
  return true;
}

bool ReadOutlinePoint(ByteCursor& in, CGgtOutlinePoint& point) {
  uint8_t head[kOutlinePointHeadBytes];
  if (!in.ReadBytes(head, sizeof head)) return false;
  point.number = U16At(head);
  point.x = static_cast<int32_t>(U32At(head + 2));
  point.y = static_cast<int32_t>(U32At(head + 6));
  point.noRuleSwitch = head[10];
  point.hasExtension = (head[11] & 8) != 0;
  point.flags = static_cast<uint8_t>(head[11] & ~8);
  point.attributeCount = U16At(head + 12);
  if (point.hasExtension && (!in.ReadI32(point.extension[0]) || !in.ReadI32(point.extension[1]))) return false;
  if (point.noRuleSwitch == 0) {
    point.hasRuleReference = true;
    if (!in.ReadU16(point.ruleNumber) || !in.ReadBytes(point.ruleBytes, 4)) return false;
  }
  if (!in.CheckCount(point.attributeCount, 1)) return false;
  point.attributes.resize(point.attributeCount);
  return point.attributeCount == 0 || in.ReadBytes(point.attributes.data(), point.attributes.size());
}

}  // namespace

bool CModel::ReadOutlinePoints(ByteCursor& in, int count, std::vector<CGgtOutlinePoint>& points) {
  if (!in.CheckCount(count, kOutlinePointHeadBytes)) return false;
  points.resize(static_cast<size_t>(count));
  for (CGgtOutlinePoint& point : points) {
    if (!ReadOutlinePoint(in, point)) return false;
  }
  return true;
}

namespace {

bool ReadSizeTable(ByteCursor& in, int count, std::vector<uint8_t>& table) {
  if (!in.CheckCount(count, kSizeEntryBytes)) return false;
  table.resize(static_cast<size_t>(count) * kSizeEntryBytes);
  return table.empty() || in.ReadBytes(table.data(), table.size());
}

// A table keeps its rules sorted by number: a rule below the last one goes
// before the first rule whose number is not smaller than its own.
void InsertSorted(std::vector<CGgtGradeRule>& rules, CGgtGradeRule rule) {
  if (rules.empty() || rule.number >= rules.back().number) {
    rules.push_back(std::move(rule));
    return;
  }
  auto at = std::find_if(rules.begin(), rules.end(),
                         [&](const CGgtGradeRule& other) { return other.number >= rule.number; });
  rules.insert(at, std::move(rule));
}

}  // namespace

bool CModel::ReadPieceEntry(ByteCursor& in, CPiece& piece) {
  uint8_t entry[kPieceEntryBytes];
  if (!in.ReadBytes(entry, sizeof entry)) return false;
  piece.byteA = entry[0];
  piece.byteB = entry[1];
  piece.code = GgtFieldText(entry + 2, 6);
  piece.name = GgtFieldText(entry + 9, 20);
  if (piece.byteB != '+') return true;
  uint8_t extended = 0;
  if (!in.ReadU8(extended)) return false;
  if (extended != 0) return true;
  return in.ReadBytes(piece.extension, sizeof piece.extension) && ReadText(in, 4, piece.text4);
}

CString CGgtPieceBody::SizeName(int index) const {
  if (index < 0 || index >= sizeCount || sizeTable.size() < (static_cast<size_t>(index) + 1) * kSizeEntryBytes) {
    return CString();
  }
  return GgtFieldText(sizeTable.data() + static_cast<size_t>(index) * kSizeEntryBytes, kSizeEntryBytes);
}

int CGgtPieceBody::SizeNumber(int index) const {
  if (index < 0 || index >= sizeCount || sizeTable.size() < (static_cast<size_t>(index) + 1) * kSizeEntryBytes) {
    return 0;
  }
  return U16At(sizeTable.data() + static_cast<size_t>(index) * kSizeEntryBytes);
}

int CPiece::CopyCount() const {
  int count = static_cast<int8_t>(extension[0]);
  return count < 1 ? 1 : count;
}

std::unique_ptr<CGgtPieceBody> CModel::ReadPieceRecord(ByteCursor& in) {
  uint8_t head[kPieceHeadBytes];
  if (!in.ReadBytes(head, sizeof head)) return nullptr;
  auto body = std::make_unique<CGgtPieceBody>();
  body->text1 = GgtFieldText(head, 20);
  body->text2 = GgtFieldText(head + 20, 20);
  body->sizeCount = U16At(head + 42);
  body->gradeSteps = static_cast<int16_t>(U16At(head + 44));
  std::memcpy(body->baseSize, head + 46, sizeof body->baseSize);
  body->sizeIndex = U16At(head + 54);
  body->namedSizes = head[56];
  body->byte57 = head[57];
  body->byte58 = head[58];
  body->ruleTableName = GgtFieldText(head + 59, 20);
  body->pieceRuleCount = U16At(head + 80);
  body->value82 = U16At(head + 82);
  body->outlinePointCount = U16At(head + 84);
  body->internalLineCount = U16At(head + 88);
  body->value90 = U32At(head + 90);
  body->value94 = U32At(head + 94);

  if (!ReadSizeTable(in, body->sizeCount, body->sizeTable)) return nullptr;
  // The piece's own rules keep their file order.
  if (!ReadGradeRules(in, body->pieceRuleCount, body->gradeSteps, body->rules)) return nullptr;
  if (!ReadOutlinePoints(in, body->outlinePointCount, body->outline)) return nullptr;
  if (!in.CheckCount(body->internalLineCount, kInternalLineHeadBytes)) return nullptr;
  body->lines.reserve(body->internalLineCount);
  for (int i = 0; i < body->internalLineCount; ++i) {
    uint8_t lineHead[kInternalLineHeadBytes];
    if (!in.ReadBytes(lineHead, sizeof lineHead)) return nullptr;
    CGgtInternalLine& line = body->lines.emplace_back();
    line.number = U16At(lineHead);
    line.type = static_cast<char>(lineHead[2]);
    line.pointCount = U16At(lineHead + 4);
    line.switchByte = lineHead[6];
    line.value = U16At(lineHead + 8);
    if (!ReadOutlinePoints(in, line.pointCount, line.points)) return nullptr;
    if (line.switchByte != 0) {
      // Further parts of an unknown layout follow this line's points: the
      // line is whole, but nothing after it can be found. Reading on would
      // take those bytes for points.
      body->unreadLineCount = static_cast<uint16_t>(body->internalLineCount - i - 1);
      break;
    }
  }
  DropUngradedRules(*body);
  return body;
}

void CModel::DropUngradedRules(CGgtPieceBody& body) {
  std::vector<CGgtOutlinePoint*> points;
  for (CGgtOutlinePoint& point : body.outline) points.push_back(&point);
  for (CGgtInternalLine& line : body.lines) {
    for (CGgtOutlinePoint& point : line.points) points.push_back(&point);
  }
  // How many points name each rule; a point that loses its reference no
  // longer counts, so of two marks on one otherwise unused rule the second
  // removes it. Counting keeps this linear in the points of a large piece.
  std::unordered_map<uint16_t, size_t> references;
  for (const CGgtOutlinePoint* point : points) {
    if (point->hasRuleReference) ++references[point->ruleNumber];
  }
  auto isMark = [](uint8_t code) { return code == 4 || code == 5 || code == 6; };
  std::unordered_set<uint16_t> unused;
  for (CGgtOutlinePoint* point : points) {
    if (!point->hasRuleReference || std::none_of(point->attributes.begin(), point->attributes.end(), isMark)) {
      continue;
    }
    size_t& count = references[point->ruleNumber];
    if (count == 1) unused.insert(point->ruleNumber);
    --count;
    point->hasRuleReference = false;
    point->ruleNumber = 0;
    std::memset(point->ruleBytes, 0, sizeof point->ruleBytes);
    point->noRuleSwitch = 1;
  }
  // The first rule of each unused number goes.
  std::erase_if(body.rules, [&](const CGgtGradeRule& rule) {
    if (unused.erase(rule.number) == 0) return false;
    if (body.pieceRuleCount > 0) --body.pieceRuleCount;
    return true;
  });
}

bool CModel::IsSmoothPoint(const std::vector<CGgtOutlinePoint>& chain, size_t index) {
  if (index + 1 >= chain.size()) return true;
  const CGgtOutlinePoint& point = chain[index];
  for (uint8_t code : point.attributes) {
    if (code == 9 || code == 10) return false;
  }
  // A neighbour whose no-rule switch is 2 does not count as one: the point
  // before it, or the first point of the chain, takes its place.
  size_t prev = index > 0 ? index - 1 : chain.size() - 1;
  if (chain[prev].noRuleSwitch == 2) prev = prev > 0 ? prev - 1 : chain.size() - 1;
  size_t next = index + 1;
  if (chain[next].noRuleSwitch == 2) next = 0;
  const double toNext = std::atan2(static_cast<double>(chain[next].y) - point.y,
                                   static_cast<double>(chain[next].x) - point.x);
  const double toPrev = std::atan2(static_cast<double>(chain[prev].y) - point.y,
                                   static_cast<double>(chain[prev].x) - point.x);
  double angle = (toNext - toPrev) * 180 / 3.14159265;
  if (angle > 180) angle -= 360;
  if (angle < -180) angle += 360;
  return std::fabs(angle) > 120;
}

void CModel::ClassifyCorners(CGgtPieceBody& body) {
  auto classify = [](std::vector<CGgtOutlinePoint>& chain) {
    for (size_t i = 0; i < chain.size(); ++i) {
      uint8_t code = IsSmoothPoint(chain, i) ? 10 : 9;
      CGgtOutlinePoint& point = chain[i];
      if (std::find(point.attributes.begin(), point.attributes.end(), code) != point.attributes.end()) continue;
      point.attributes.push_back(code);
      if (point.attributeCount < UINT16_MAX) ++point.attributeCount;
    }
  };
  classify(body.outline);
  for (CGgtInternalLine& line : body.lines) classify(line.points);
}

std::unique_ptr<CGgtExtraBlock> CModel::ReadExtraBlock(ByteCursor& in) {
  uint8_t head[kExtraBlockHeadBytes];
  if (!in.ReadBytes(head, sizeof head)) return nullptr;
  auto block = std::make_unique<CGgtExtraBlock>();
  block->itemCount = U16At(head);
  block->flags = head[2];
  block->recordCount = head[3];
  size_t needed = ((block->flags & 1) ? 34 : 0) + size_t{block->recordCount} * 30 +
                  size_t{block->itemCount} * CGgtExtraBlock::kItemBytes;
  if (needed > in.Remaining()) {
    in.CheckCount(1, in.Remaining() + 1);  // marks the cursor failed
    return nullptr;
  }
  auto take = [&](size_t bytes) {
    std::string text(bytes, '\0');
    in.ReadBytes(text.data(), bytes);
    return CString(std::move(text));
  };
  if (block->flags & 1) block->record34 = take(34);
  for (int i = 0; i < block->recordCount; ++i) block->records30.push_back(take(30));
  for (int i = 0; i < block->itemCount; ++i) block->items.push_back(take(CGgtExtraBlock::kItemBytes));
  return block;
}

std::unique_ptr<CGgtRuleTable> CModel::ReadRuleTableRecord(ByteCursor& in) {
  uint8_t head[kRuleTableHeadBytes];
  if (!in.ReadBytes(head, sizeof head)) return nullptr;
  auto table = std::make_unique<CGgtRuleTable>();
  table->text1 = GgtFieldText(head, 40);
  table->text2 = GgtFieldText(head + 40, 40);
  table->sizeCount = U16At(head + 80);
  table->gradeSteps = static_cast<int16_t>(U16At(head + 82));
  table->value84 = U16At(head + 84);
  table->namedSizes = head[86];
  table->byte87 = head[87];
  table->ruleCount = U16At(head + 88);
  if (!ReadSizeTable(in, table->sizeCount, table->sizeTable)) return nullptr;
  std::vector<CGgtGradeRule> read;
  if (!ReadGradeRules(in, table->ruleCount, table->gradeSteps, read)) return nullptr;
  table->rules.reserve(read.size());
  for (CGgtGradeRule& rule : read) InsertSorted(table->rules, std::move(rule));
  return table;
}

RuleTableSearch CModel::FindRuleTable(const CString& folder, const CString& name) {
  RuleTableSearch search;
  CString path = FindFileNoCase(folder, "rutab.ctl");
  CFile file;
  if (path.IsEmpty() || !file.Open(path, CFile::Mode::kRead)) return search;
  int64_t length = file.GetLength();
  if (length <= 0) return search;
  const int64_t records = length / kCatalogueRecordBytes;
  char bytes[kCatalogueRecordBytes];
  auto readRecord = [&](int64_t index, CatalogueRecord& record) {
    ++search.reads;
    if (!file.Seek(index * kCatalogueRecordBytes, CFile::SeekFrom::kBegin) || !file.Read(bytes, sizeof bytes)) {
      return false;
    }
    record = ParseCatalogueRecord(std::string_view(bytes, sizeof bytes));
    return true;
  };
  auto take = [&](const CatalogueRecord& record) {
    search.found = true;
    search.code = record.code;
    search.blockIndex = record.blockIndex;
  };

  int64_t low = 0;
  int64_t high = records - 1;
  while (low <= high) {
    int64_t middle = (low + high) / 2;
    CatalogueRecord record;
    if (!readRecord(middle, record)) return search;
    if (record.deleted) {
      // A deleted record says nothing about the order around it: look at
      // every live record instead, from the first.
      for (int64_t i = 0; i < records; ++i) {
        CatalogueRecord candidate;
        if (!readRecord(i, candidate)) return search;
        if (!candidate.deleted && candidate.name.view() == name.view()) {
          take(candidate);
          return search;
        }
      }
      return search;
    }
    int order = record.name.view().compare(name.view());
    if (order == 0) {
      take(record);
      return search;
    }
    if (order > 0) {
      high = middle - 1;
    } else {
      low = middle + 1;
    }
  }
  return search;
}

void CModel::ReadRuleTable(CPiece& piece, CGgtImportContext& context) {
  RuleTableSearch search = FindRuleTable(folder, piece.body->ruleTableName);
  if (!search.found || search.blockIndex < 0) return;
  piece.ruleTableCode = search.code;
  piece.ruleTableBlockIndex = search.blockIndex;
  piece.ruleTableFound = 1;
  const std::vector<uint8_t>* bytes = DataFile("rutab" + search.code + ".rtb");
  if (bytes == nullptr) return;
  ByteCursor in(ByteView(*bytes));
  if (!SeekToRecord(in, search.blockIndex)) return;
  piece.ruleTable = ReadRuleTableRecord(in);
  if (piece.ruleTable) context.currentRuleTable = piece.ruleTable.get();
}

bool CModel::ReadPieceData(ByteCursor& in, CPiece& piece) {
  piece.body = ReadPieceRecord(in);
  if (!piece.body) return false;
  piece.body->name = piece.name;
  if (piece.body->unreadLineCount == 0) piece.extraBlock = ReadExtraBlock(in);
  ClassifyCorners(*piece.body);
  return true;
}

const std::vector<uint8_t>* CModel::DataFile(const CString& name) {
  auto [at, added] = dataFiles_.try_emplace(name.c_str());
  if (added && !LoadDataFile(folder, name, at->second.bytes)) at->second.missing = true;
  return at->second.missing ? nullptr : &at->second.bytes;
}

void CModel::ReadPieceFiles(CPiece& piece, CGgtImportContext& context) {
  const std::vector<uint8_t>* catalogue = DataFile("piece.ctl");
  if (catalogue == nullptr) return;
  std::string_view all = ByteView(*catalogue);
  for (size_t at = 0; at + kCatalogueRecordBytes <= all.size(); at += kCatalogueRecordBytes) {
    CatalogueRecord record = ParseCatalogueRecord(all.substr(at, kCatalogueRecordBytes));
    if (record.deleted || record.name.view() != piece.name.view()) continue;
    // A block before the start of the file cannot hold the piece.
    if (record.blockIndex < 0) return;
    piece.pieceCode = record.code;
    piece.pieceBlockIndex = record.blockIndex;
    piece.found = 1;
    break;
  }
  if (!piece.found) return;

  const std::vector<uint8_t>* bytes = DataFile("piece" + piece.pieceCode + ".pce");
  if (bytes == nullptr) return;
  ByteCursor in(ByteView(*bytes));
  if (!SeekToRecord(in, piece.pieceBlockIndex)) return;
  // Many entries may name one large record; past the budget the rest of the
  // model is left unread and the model says it is incomplete.
  const size_t start = in.Position();
  if (recordBytesLeft_ == 0 || !ReadPieceData(in, piece)) return;
  const size_t used = in.Position() - start;
  if (used > recordBytesLeft_) {
    piece.body.reset();
    piece.extraBlock.reset();
    piece.found = 0;
    recordBytesLeft_ = 0;
    incomplete = true;
    return;
  }
  recordBytesLeft_ -= used;
  ReadRuleTable(piece, context);
  ConvertReadPiece(context, piece);
}

int CModel::ReadModelFile(const CString& storageFolder, const CDataBase& entry) {
  folder = storageFolder;
  modelName = entry.name;
  int64_t block = DataBlockOffset(entry.blockIndex);
  if (block < 0) return 0;
  std::vector<uint8_t> bytes;
  if (!LoadDataFile(folder, "model" + entry.code + ".mod", bytes)) return 0;
  ByteCursor in(ByteView(bytes));
  if (!in.Seek(static_cast<size_t>(block))) return 0;
  uint8_t head[kModelRecordBytes];
  if (!in.ReadBytes(head, sizeof head)) return 0;
  text1 = GgtFieldText(head, 40);
  text2 = GgtFieldText(head + 40, 40);
  uint16_t entries = U16At(head + 80);
  modelCodeCount = U16At(head + 82);
  value84 = U16At(head + 84);

  // The list of pieces stops at its last whole entry.
  for (int i = 0; i < entries; ++i) {
    auto piece = std::make_unique<CPiece>();
    if (!ReadPieceEntry(in, *piece)) break;
    pieces.push_back(std::move(piece));
  }
  if (!pieces.empty()) {
    for (int i = 0; i < modelCodeCount; ++i) {
      CString code;
      if (!ReadText(in, kModelCodeBytes, code)) break;
      modelCodes.push_back(CGgtModelCode{code});
    }
  }

  CGgtImportContext context;
  recordBytesLeft_ = maxRecordBytes;
  for (auto& piece : pieces) {
    if (recordBytesLeft_ == 0) break;
    ReadPieceFiles(*piece, context);
    if (piece->found) ++context.pieceCounter;
  }
  dataFiles_.clear();
  std::erase_if(pieces, [](const std::unique_ptr<CPiece>& piece) { return !piece->found; });
  pieceCount = static_cast<uint16_t>(pieces.size());

  BuildPieces(context);
  return 0;
}
