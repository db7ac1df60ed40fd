#include "formats/ptn_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "formats/dxf_pairs.h"
#include "formats/ptn_archive.h"
#include "formats/ptn_layout.h"
#include "formats/ptn_piece_steps.h"
#include "formats/read_report.h"
#include "formats/staged_read.h"
#include "model/geometry.h"
#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/piece_item_fields.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/geometry_types.h"
#include "platform/numbers.h"
#include "platform/progress.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// The smallest a record can be in the file: what a count of them must find
// left before anything is made from it.
constexpr size_t kSizeRecordMinBytes = 4 + 8 + 8 + 4;
constexpr size_t kPieceRecordMinBytes = 4 + 4 + 4 + 4 + 4 + 8 + 8 + 4 * 4 + 8 + 4 + 4;
constexpr size_t kItemRecordMinBytes = 4 + 4;
constexpr size_t kShortVertexBytes = 12;
constexpr size_t kLongVertexBytes = 16;

// A node that files below the version without width nodes kept in place of
// the notch width nodes, which they are rebuilt from.
constexpr uint32_t kDroppedNodeFlags = 103;
// The notch width nodes a marker item of the older records gets: 5 mm.
constexpr int64_t kWidthNodeMillimetres = 5;

bool IsFlatMagic(uint32_t magic) { return magic == kPtnMagicFlat || magic == kPtnMagicFlatAlias; }

bool IsKnownMagic(uint32_t magic) {
  return IsFlatMagic(magic) || magic == kPtnMagicOldFlat || magic == kPtnMagicArchive ||
         magic == kPtnMagicArchiveOld;
}

// The fewest nodes an item of the old flat layout must have to be kept.
int32_t FewestOldFlatNodes(int32_t type) {
  switch (type) {
    case kItemTypeClosedLine:
    case kItemTypeSolidClosedLine: return 3;
    case kItemTypeOpenLine:
    case kItemTypeSolidOpenLine: return 2;
    default: return 1;
  }
}

// Counts an item of `count` stored nodes against the bound of the graded
// nodes: each node with a copy per size, and the nodes the older records
// add (two per run of sizes, the grain line's copies).
bool TakeGradedNodes(const PtnStyleFacts& style, int32_t count) {
  if (!style.gradedNodesLeft) return true;
  const int64_t sizes = std::max<int64_t>(style.sizeCount, 1);
  const int64_t nodes = (std::max<int64_t>(count, 0) + 2) * sizes + 2 * std::max<int64_t>(count, 0);
  if (nodes > *style.gradedNodesLeft) return false;
  *style.gradedNodesLeft -= nodes;
  return true;
}

// The text item: its anchor, text and font record. A text stored with a
// count of 0 or less is no text and is not kept.
bool ReadTextItem(ByteCursor& in, double factor, CPieceRecord* piece, std::unique_ptr<CPieceItem> made) {
  auto* text = static_cast<CPieceItem11*>(made.get());
  piece->AddItem(made.release());
  int32_t x = 0;
  int32_t y = 0;
  int32_t count = 0;
  CString body;
  uint8_t font[kPtnFontRecordBytes];
  in.ReadI32(x);
  in.ReadI32(y);
  in.ReadCountedText(body, &count);
  if (!in.ReadBytes(font, sizeof font)) return false;
  text->AnchorX = ScaledCoordinate(x, factor);
  text->AnchorY = ScaledCoordinate(y, factor);
  text->Text = body;
  text->Font = LOGFONT::FromBytesExact(font);
  if (count <= 0) piece->RemoveItem(text);
  return true;
}

// A grain line of the older records stored one position per end: each end
// gets its per-size copies.
void AddGrainLineCopies(CPieceItem* item, int32_t sizeCount) {
  if (item->VertexCount != 2 || sizeCount <= 1) return;
  CVertexNode* first = item->VertexHead;
  CVertexNode* second = first->Next;
  for (CVertexNode* end : {second, first}) {
    for (int32_t s = 1; s < sizeCount; ++s) item->InsertVertexAfter(end, end->X, end->Y, kVertexKindCopy);
  }
}

bool ReadVertexItem(ByteCursor& in, double factor, CPieceRecord* piece, std::unique_ptr<CPieceItem> made,
                    uint32_t magic, int32_t version, const PtnStyleFacts& style) {
  CPieceItem* item = made.get();
  const int32_t type = item->Type;
  const bool oldFlat = magic == kPtnMagicOldFlat;
  if (oldFlat && version >= kPtnFirstVersionWithLineAttribute &&
      (type == kItemTypeClosedLine || type == kItemTypeOpenLine)) {
    int32_t attribute = 0;
    if (!in.ReadI32(attribute)) return false;
    item->Tag = static_cast<int32_t>(static_cast<uint32_t>(attribute) + 1u);
  }
  int32_t count = 0;
  const bool withAttributeWord = !oldFlat && version >= kPtnFirstVersionWithAttributeWord;
  if (!in.ReadI32(count) || !in.CheckCount(count, withAttributeWord ? kLongVertexBytes : kShortVertexBytes) ||
      !TakeGradedNodes(style, count)) {
    return false;
  }
  piece->AddItem(made.release());

  const bool scaled = ScalesCoordinates(factor);
  const bool olderNodes = version < kPtnFirstVersionWithoutWidthNodes;
  const bool addsWidthNodes =
      olderNodes && (type == kItemTypeFilledMarkers || type == kItemTypeHollowMarkers) && style.sizeCount > 0;
  const int32_t width = SaturateToInt32(kWidthNodeMillimetres * static_cast<int64_t>(style.scale));
  int64_t kept = 0;
  for (int32_t i = 0; i < count; ++i) {
    StoredVertexRecord vertex;
    if (!ReadStoredVertex(in, withAttributeWord, vertex)) return false;
    if (olderNodes && vertex.flags == kDroppedNodeFlags) continue;
    CVertexNode* node = NewVertexNode(vertex.x, vertex.y, vertex.flags);
    node->Attributes = vertex.attributes;
    if (scaled) ScaleNode(node, factor);
    item->AddTail(node);
    ++kept;
    if (addsWidthNodes && kept % style.sizeCount == 0) {
      item->AddTailVertex(width, 0, kDroppedNodeFlags);
      item->AddTailVertex(width, width, kDroppedNodeFlags);
    }
  }

  bool whole = true;
  if (type == kItemTypeMarkedLine) {
    whole = ReadMarkedLineTail(in, static_cast<CPieceItem26*>(item), style.sizeCount);
  } else if (type == kItemTypeDimension) {
    whole = ReadDimensionTail(in, static_cast<CPieceItem28*>(item));
  } else if (type == kItemTypeSlot && version >= kPtnFirstVersionWithShapeFields) {
    whole = ReadSlotFields(in, static_cast<CPieceItem3*>(item), factor);
  }
  if (!whole) return false;

  if (type == kItemTypeGrainLine && version < kPtnFirstVersionWithGradedSingles) {
    AddGrainLineCopies(item, style.sizeCount);
  }
  if (oldFlat && item->VertexCount < FewestOldFlatNodes(type)) piece->RemoveItem(item);
  return true;
}

// The piece quantity: an int32, or from the version that stores it as a
// text that text's number.
bool ReadQuantity(ByteCursor& in, int32_t version, int32_t& quantity) {
  if (version < kPtnFirstVersionQuantityText) return in.ReadI32(quantity);
  CString text;
  const bool ok = in.ReadCountedText(text);
  quantity = ParseInt(text.view());
  return ok;
}

}  // namespace

int ReadPtnElements(ByteCursor& in, double factor, CPieceRecord* piece, uint32_t magic, int32_t version,
                    const PtnStyleFacts& style) {
  in.ReadCountedText(piece->PieceName);
  in.ReadCountedText(piece->Annotation);
  in.ReadCountedText(piece->Text3);
  ReadQuantity(in, version, piece->Quantity);
  in.ReadCountedText(piece->Category);
  ReadStoredPoint(in, piece->PointA);
  ReadStoredPoint(in, piece->PointB);
  in.ReadI32(piece->Option1);
  in.ReadI32(piece->Option2);
  in.ReadI32(piece->Flag);
  in.ReadI32(piece->Option3);
  in.ReadDouble(piece->DoubleValue);
  in.ReadI32(piece->Option4);
  int32_t items = 0;
  if (!in.ReadI32(items) || !in.CheckCount(items, kItemRecordMinBytes)) return 0;
  for (int32_t i = 0; i < items; ++i) {
    int32_t type = -1;
    if (!in.ReadI32(type) || type < 0 || type > kItemTypeDimension) return 0;
    std::unique_ptr<CPieceItem> item = CreatePieceItem(type);
    if (!item) return 0;
    const bool read = type == kItemTypeText
                          ? ReadTextItem(in, factor, piece, std::move(item))
                          : ReadVertexItem(in, factor, piece, std::move(item), magic, version, style);
    if (!read) return 0;
  }
  FinishPtnPieceRecord(piece);
  return 1;
}

namespace {

// The fixed header of a flat file, as read and checked before the style is
// touched.
struct FlatHeader {
  uint32_t magic = 0;
  int32_t version = 0;
  int32_t scale = 0;
  uint16_t subVersion = 0;
  uint32_t pieceBlock = 0;
};

static_assert(4 + 4 + 4 + 4 + 2 + kPtnFillerBytes == kPtnPieceBlockOffsetAt);
static_assert(kPtnPieceBlockOffsetAt + 4 == kPtnHeaderBytes);
static_assert(kPtnHeaderBytes + 4 == kPtnHeaderBytesWithExtraWord);

PtnReadReport Refused(UINT messageId, size_t offset, std::string reason) {
  return PtnReadReport{PtnReadResult::kRefused, messageId, offset, std::move(reason)};
}

// Reads the rest of the header after the first two words. The refusal when
// it is cut short or holds what no file of ours holds.
std::optional<PtnReadReport> ReadFlatHeader(ByteCursor& in, FlatHeader& header) {
  if (header.version >= kPtnFirstVersionWithExtraWord && header.version < kPtnFirstVersionArchive) {
    uint32_t extra = 0;
    in.ReadU32(extra);
  }
  uint32_t reserved = 0;
  const size_t reservedAt = in.Position();
  in.ReadU32(reserved);
  const size_t scaleAt = in.Position();
  in.ReadI32(header.scale);
  in.ReadU16(header.subVersion);
  in.Skip(kPtnFillerBytes);
  const size_t blockAt = in.Position();
  in.ReadU32(header.pieceBlock);
  if (in.Failed()) return Refused(IDS_NOT_PTN_FILE, in.Position(), "header cut short");
  if (reserved != 0) return Refused(IDS_NOT_PTN_FILE, reservedAt, "reserved word not 0");
  if (header.scale <= 0) return Refused(IDS_NOT_PTN_FILE, scaleAt, "scale of 0 or less");
  if (header.pieceBlock > in.Size()) return Refused(IDS_NOT_PTN_FILE, blockAt, "piece block offset past the end");
  return std::nullopt;
}

// The archive layout, told by its first two words. Files that store their
// computed pieces (version 150 on) are read; older ones, whose pieces would
// be built from the design, are refused as files of a newer program before
// the style is touched.
PtnReadReport ReadPtnArchiveLayout(std::string_view bytes, CStyle& style, int32_t version) {
  if (version < kPtnFirstVersionArchive) return Refused(IDS_NEWER_FILE_VERSION, 8, "archive layout below version 150 not read");
  ScopedStyleInUse inUse(style);
  ArchiveReader archive(bytes);
  PtnReadReport report;
  ReadPtnArchive(archive, 1, report);
  return report;
}

// What a 0x55555555 file says about the texts shown with its pieces.
struct DisplayTexts {
  CString text1;
  CString text2;
  int32_t flag = 0;
};

// The style strings, the sizes and the pieces of the piece block into
// g_Style, which the caller cleared. False where the file ends or goes wrong.
bool ReadPieceBlock(ByteCursor& in, const FlatHeader& header, std::optional<DisplayTexts>& display) {
  if (!in.Seek(header.pieceBlock)) return false;
  in.ReadCountedText(g_Style.HeaderText1);
  in.ReadCountedText(g_Style.StyleName);
  in.ReadCountedText(g_Style.HeaderText3);
  in.ReadCountedText(g_Style.HeaderText4);
  if (header.version >= kPtnFirstVersionWithFifthText) in.ReadCountedText(g_Style.HeaderText5);
  if (header.magic == kPtnMagicOldFlat && header.version >= kPtnFirstVersionWithDisplayTexts) {
    DisplayTexts texts;
    in.ReadCountedText(texts.text1);
    in.ReadCountedText(texts.text2);
    in.ReadI32(texts.flag);
    if (g_OpenOptPtn == 0) display = texts;
  }
  int32_t pieces = 0;
  int32_t sizes = 0;
  in.ReadI32(pieces);
  // Both counts are checked before the first size is made; the pieces once
  // more after the sizes, against what is then left.
  if (!in.ReadI32(sizes) || !in.CheckCount(sizes, kSizeRecordMinBytes) ||
      !in.CheckCount(pieces, kPieceRecordMinBytes)) {
    return false;
  }
  for (int32_t i = 0; i < sizes; ++i) {
    CString name;
    double key1 = 0.0;
    double key2 = 0.0;
    int32_t color = 0;
    in.ReadCountedText(name);
    in.ReadDouble(key1);
    in.ReadDouble(key2);
    if (!in.ReadI32(color)) return false;
    g_Style.AddSize(new CSizeRecord(name, key1, key2, static_cast<COLORREF>(color), 1));
  }
  g_Style.SortSizes();
  if (!in.CheckCount(pieces, kPieceRecordMinBytes)) return false;

  const PtnPieceSteps steps = FlatPtnPieceSteps(header.magic, header.version, header.subVersion);
  int64_t gradedNodesLeft = kPtnMaxGradedNodes;
  const PtnStyleFacts facts{g_Style.SizeCount, g_Style.GetScale(), &gradedNodesLeft};
  CStatusProgress progress(0, std::max(pieces, 1) - 1, 0);
  for (int32_t i = 0; i < pieces; ++i) {
    progress.SetPos(i);
    auto piece = std::make_unique<CPieceRecord>();
    if (!ReadPtnElements(in, 1.0, piece.get(), header.magic, header.version, facts)) return false;
    RunPtnPieceSteps(piece.get(), steps);
    g_Style.AddPiece(piece.release());
  }
  return true;
}

PtnReadReport ReadFlat(ByteCursor& in, const FlatHeader& header, CStyle& style) {
  // Version 122 is the program's own next version and gives no warning.
  const bool newer = header.version > std::max(g_DefaultDataVersion, kPtnFirstVersionWithExtraWord);
  const UINT warning = newer ? IDS_NEWER_FILE_VERSION : 0;

  ScopedStyleInUse inUse(style);
  ClearStyle();
  g_Style.DataVersion = header.version;
  g_Style.Reserved = 0;
  g_Style.SetScale(header.scale);

  std::optional<DisplayTexts> display;
  const bool read = ReadPieceBlock(in, header, display);
  const size_t stop = in.Position();
  if (!read || !RunPtnClosingPass(FlatPtnClosingPass(header.magic))) {
    ClearStyle();
    const char* why = read           ? "no piece or no size left after the repair"
                      : in.Failed() ? "piece block cut short, or a count beyond the bytes left"
                                    : "item type outside 0 to 28, or too many vertices for the sizes";
    PtnReadReport failed{PtnReadResult::kFailed, IDS_NOT_PTN_FILE, stop, why};
    failed.warningId = warning;
    return failed;
  }
  if (display) {
    g_PtnText1 = display->text1;
    g_PtnText2 = display->text2;
    g_PtnDisplayFlag = display->flag;
  }
  return PtnReadReport{PtnReadResult::kSuccess, warning, stop, ""};
}

// Keeps the report as the last one and shows its messages: a version warning
// first when the read failed after it, then the report's own.
void KeepAndShowPtnReport(const PtnReadReport& report) {
  LastReportOf<PtnReadReport>() = report;
  if (report.warningId != 0 && report.warningId != report.messageId) ShowFailureMessage(report.warningId);
  if (report.messageId != 0) ShowFailureMessage(report.messageId);
}

}  // namespace

PtnReadReport ReadPtnBytes(std::string_view bytes, CStyle& style) {
  ByteCursor in(bytes);
  FlatHeader header;
  in.ReadU32(header.magic);
  if (!in.ReadI32(header.version)) return Refused(0, in.Position(), "shorter than its first two words");
  if (!IsKnownMagic(header.magic)) return Refused(IDS_NOT_PTN_FILE, 0, "not a pattern file");
  if (IsPtnArchiveLayout(header.magic, header.version)) {
    return ReadPtnArchiveLayout(bytes, style, header.version);
  }
  if (header.magic == kPtnMagicOldFlat && header.version >= kPtnFirstVersionOldFlatRefused) {
    return Refused(0, 4, "old flat layout of a later version");
  }
  if (std::optional<PtnReadReport> refused = ReadFlatHeader(in, header)) return *refused;
  return ReadFlat(in, header, style);
}

const PtnReadReport& LastPtnReadReport() { return LastReportOf<PtnReadReport>(); }

int OpenPtnFile(const CString& path) {
  std::vector<uint8_t> bytes;
  if (!ReadPatternFile(path, bytes)) {
    KeepAndShowPtnReport(PtnReadReport{PtnReadResult::kRefused, IDS_FILE_MISSING, 0, "cannot be opened"});
    return 0;
  }
  // The file replaces the loaded style only when it is read whole; a warning
  // or a failure shows with the loaded style still in place.
  StagedStyleRead staged;
  const PtnReadReport report = ReadPtnBytes(BytesOf(bytes), staged.Style());
  if (report.outcome != PtnReadResult::kSuccess) {
    staged.Drop();
    KeepAndShowPtnReport(report);
    return 0;
  }
  KeepAndShowPtnReport(report);
  staged.Commit();
  return 1;
}
