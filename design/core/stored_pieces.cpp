// The stored pieces of a design file: from data version 150 on, the computed
// pieces of the style follow the design, each with its header and its
// drawable items, so that a reader can show them without computing the
// design. They are read straight into g_Style and the list pane and brought
// up to date by the native readers' per-piece steps (model/piece_load_steps.h).
#include "design/core/stored_pieces.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "model/geometry.h"
#include "model/item_types.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_item_fields.h"
#include "model/piece_load_steps.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/numbers.h"

namespace {

// The data versions at which the stored records grow. Each name says what a
// record of that version or later has.
constexpr int32_t kFirstVersionWithItemAttributes = 151;  // internal lines store their attribute word
constexpr int32_t kFirstVersionWithPieceWordPair = 154;   // two more reserved words per piece
constexpr int32_t kFirstVersionWithOpenLineWord = 159;    // open lines: one more reserved word
constexpr int32_t kFirstVersionWithSecondWordPair = 160;  // two more reserved words per piece
constexpr int32_t kFirstVersionWithIntegerText = 162;     // the piece integer is stored as text
// Only files of exactly this version keep the internal lines' attribute in
// their head vertices; the later ones store it with the item.
constexpr int32_t kVersionWithPackedLineAttributes = 150;

// The magic words whose files store an attribute word in every vertex record.
constexpr uint32_t kMagicWithVertexAttributes = 0xAAAAAAAA;
constexpr uint32_t kMagicWithVertexAttributes2 = 0x99999999;

// Stored item codes 14, 15 and 16 name the classes of types 8, 9 and 10; the
// codes with fields of their own are those of the types below.
constexpr int32_t kCodeClosedLine = kItemTypeClosedLine;
constexpr int32_t kCodeOpenLine = kItemTypeOpenLine;
constexpr int32_t kCodeText = kItemTypeText;
constexpr int32_t kCodeSlot = kItemTypeSlot;
constexpr int32_t kCodeMarkedLine = kItemTypeMarkedLine;
constexpr int32_t kCodeDimension = kItemTypeDimension;

// The smallest a record can be: what a count of them must find left before
// anything is made from it.
constexpr size_t kSizeRecordMinBytes = 1 + 8 + 8 + 4;  // an empty name
constexpr size_t kPieceReservedBytes = 4 + 3 * 4 + 4 + 2 * 4;
constexpr size_t kWordPairBytes = 2 * 4;
constexpr size_t kPieceRecordMinBytes = kPieceReservedBytes + 5 * 4 + 2 * 8 + 4 * 4 + 8 + 4 + 4;
constexpr size_t kItemRecordMinBytes = 4 + 4 + 4;  // code, reserved word, no vertex
constexpr size_t kVertexBytes = 4 + 4 + 4 + 4;
constexpr size_t kVertexWithAttributeBytes = kVertexBytes + 4;

// The grain line arrow styles (the piece's second option word): 0 to 3; any
// other stored value reads as the default, arrows at both ends.
constexpr int32_t kHighestArrowStyle = 3;
constexpr int32_t kDefaultArrowStyle = 2;

// The most vertex nodes the stored pieces may come to once every outline
// vertex has its per-size copies: far above any real style, so that a small
// file of many sizes and many vertices cannot make the style grow far beyond
// itself.
constexpr int64_t kMaxStoredPieceNodes = int64_t{1} << 24;

template <class Item>
std::unique_ptr<CPieceItem> MakeItem() {
  return std::make_unique<Item>(nullptr, nullptr);
}

// Reads the items of one stored piece into it. Every failure is noted on the
// container with what went wrong; the caller adds which item it was.
class StoredItemReader {
 public:
  StoredItemReader(CPatternData& data, ArchiveReader& archive, CPieceRecord* piece, double factor, uint32_t magic,
                   int32_t version)
      : data_(data),
        archive_(archive),
        piece_(piece),
        factor_(factor),
        scaled_(ScalesCoordinates(factor)),
        version_(version),
        vertexAttributes_(magic == kMagicWithVertexAttributes || magic == kMagicWithVertexAttributes2) {}

  bool ReadItem() {
    int32_t code = -1;
    if (!archive_.ReadI32(code)) return CutShort();
    std::unique_ptr<CPieceItem> item = GetItemCodeFactory().Create(code);
    if (!item) {
      const DesignLoadFault fault =
          IsLayoutItemCode(code) ? DesignLoadFault::kCodeNotBuilt : DesignLoadFault::kUnknownCode;
      return Fail(fault, "item code " + std::to_string(code) + " has no class");
    }
    if ((code == kCodeClosedLine || code == kCodeOpenLine) && version_ >= kFirstVersionWithItemAttributes) {
      if (!archive_.ReadI32(item->Tag)) return CutShort();
    }
    if (code == kCodeOpenLine && version_ >= kFirstVersionWithOpenLineWord && !archive_.Skip(sizeof(int32_t))) {
      return CutShort();
    }
    if (!archive_.Skip(sizeof(int32_t))) return CutShort();
    if (code == kCodeText) return ReadText(std::move(item));
    return ReadVertexItem(code, std::move(item));
  }

 private:
  bool Fail(DesignLoadFault fault, std::string_view what) {
    data_.NoteLoadFailure(fault, archive_.Position(), what);
    return false;
  }
  bool CutShort() { return Fail(DesignLoadFault::kMalformed, "cut short"); }
  bool NotItsClass(int32_t code) {
    return Fail(DesignLoadFault::kCodeNotBuilt, "item code " + std::to_string(code) + " has a class of another kind");
  }

  // The text item: its anchor, its text and its font. A text stored with a
  // length of 0 or less is no text: the item goes again once its font is read.
  bool ReadText(std::unique_ptr<CPieceItem> made) {
    auto* text = dynamic_cast<CPieceItem11*>(made.get());
    if (!text) return NotItsClass(kCodeText);
    piece_->AddItem(made.release());
    int32_t x = 0;
    int32_t y = 0;
    int32_t length = 0;
    CString body;
    archive_.ReadI32(x);
    archive_.ReadI32(y);
    archive_.ReadCountedText(body, &length);
    if (!archive_.ReadFont(text->Font)) return CutShort();
    text->AnchorX = scaled_ ? ScaledCoordinate(x, factor_) : x;
    text->AnchorY = scaled_ ? ScaledCoordinate(y, factor_) : y;
    // Kept as the bytes stored: a text may hold any GBK byte.
    text->Text = body;
    if (length <= 0) piece_->RemoveItem(text);
    return true;
  }

  bool ReadVertexItem(int32_t code, std::unique_ptr<CPieceItem> made) {
    int32_t count = 0;
    if (!archive_.ReadI32(count)) return CutShort();
    if (!archive_.CheckCount(count, vertexAttributes_ ? kVertexWithAttributeBytes : kVertexBytes)) {
      return Fail(DesignLoadFault::kMalformed, "vertex count beyond the bytes left");
    }
    // The tails need the item's own class; it is checked before the item
    // joins the piece.
    auto* slot = dynamic_cast<CPieceItem3*>(made.get());
    auto* marked = dynamic_cast<CPieceItem26*>(made.get());
    auto* dimension = dynamic_cast<CPieceItem28*>(made.get());
    if ((code == kCodeSlot && !slot) || (code == kCodeMarkedLine && !marked) ||
        (code == kCodeDimension && !dimension)) {
      return NotItsClass(code);
    }
    CPieceItem* item = made.get();
    piece_->AddItem(made.release());
    for (int32_t i = 0; i < count; ++i) {
      if (!ReadVertex(item)) return CutShort();
    }
    bool whole = true;
    if (code == kCodeSlot) whole = ReadSlotFields(archive_, slot, factor_);
    if (code == kCodeMarkedLine) whole = ReadMarkedLineTail(archive_, marked, g_Style.SizeCount);
    if (code == kCodeDimension) whole = ReadDimensionTail(archive_, dimension);
    return whole ? true : CutShort();
  }

  bool ReadVertex(CPieceItem* item) {
    // The record ends in a reserved word.
    StoredVertexRecord vertex;
    if (!ReadStoredVertex(archive_, vertexAttributes_, vertex) || !archive_.Skip(sizeof(uint32_t))) return false;
    CVertexNode* node = NewVertexNode(vertex.x, vertex.y, vertex.flags);
    if (scaled_) ScaleNode(node, factor_);
    node->Attributes = vertex.attributes;
    item->AddTail(node);
    return true;
  }

  CPatternData& data_;
  ArchiveReader& archive_;
  CPieceRecord* piece_;
  double factor_;
  bool scaled_;
  int32_t version_;
  bool vertexAttributes_;
};

// The piece integer: an int32, or from the version that stores it as text
// that text's number (atoi: "2" is 2, "x" is 0). A text stored with a length
// of 0 or less leaves the field as it was.
bool ReadPieceInteger(ArchiveReader& archive, int32_t version, int32_t& value) {
  if (version < kFirstVersionWithIntegerText) return archive.ReadI32(value);
  CString text;
  int32_t length = 0;
  if (!archive.ReadCountedText(text, &length)) return false;
  if (length > 0) value = ParseInt(text.view());
  return true;
}

// Fields 1 to 7 of a stored piece: the reserved words, the four texts, the
// piece integer and the numeric header fields.
bool ReadPieceHeader(ArchiveReader& archive, CPieceRecord* piece, int32_t version) {
  size_t reserved = kPieceReservedBytes;
  if (version >= kFirstVersionWithPieceWordPair) reserved += kWordPairBytes;
  if (version >= kFirstVersionWithSecondWordPair) reserved += kWordPairBytes;
  archive.Skip(reserved);
  archive.ReadCountedText(piece->PieceName);
  archive.ReadCountedText(piece->Annotation);
  archive.ReadCountedText(piece->Text3);
  ReadPieceInteger(archive, version, piece->Quantity);
  archive.ReadCountedText(piece->Category);
  ReadStoredPoint(archive, piece->PointA);
  ReadStoredPoint(archive, piece->PointB);
  int32_t arrowStyle = 0;
  uint32_t option4 = 0;
  archive.ReadI32(piece->Option1);
  archive.ReadI32(arrowStyle);
  archive.ReadI32(piece->Flag);
  archive.ReadI32(piece->Option3);
  archive.ReadDouble(piece->DoubleValue);
  if (!archive.ReadU32(option4)) return false;
  piece->Option2 = arrowStyle >= 0 && arrowStyle <= kHighestArrowStyle ? arrowStyle : kDefaultArrowStyle;
  piece->Option4 = static_cast<int32_t>(option4);
  return true;
}

// Counts the nodes a piece just read comes to once its outline's main
// vertices have one copy per size, against what the style may still hold.
bool TakePieceNodes(const CPieceRecord* piece, int32_t sizes, int64_t& nodesLeft) {
  int64_t nodes = 0;
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; item && i < piece->ItemCount; ++i, item = item->Next) nodes += item->VertexCount;
  CPieceItem* outline = nullptr;
  if (piece->FindItem(kItemTypeOutline, &outline) && sizes > 1) {
    nodes += static_cast<int64_t>(outline->CountMainVertices()) * (sizes - 1);
  }
  if (nodes > nodesLeft) return false;
  nodesLeft -= nodes;
  return true;
}

std::string Named(const char* record, int32_t index) { return std::string(record) + " " + std::to_string(index); }

}  // namespace

void RegisterPieceItemCodes() {
  struct ItemClass {
    int32_t code;
    ItemCodeFactory::CreateFunction make;
  };
  static constexpr ItemClass kItemClasses[] = {
      {0, &MakeItem<CPieceItem0>},   {1, &MakeItem<CPieceItem1>},   {2, &MakeItem<CPieceItem2>},
      {3, &MakeItem<CPieceItem3>},   {4, &MakeItem<CPieceItem4>},   {5, &MakeItem<CPieceItem5>},
      {6, &MakeItem<CPieceItem6>},   {7, &MakeItem<CPieceItem7>},   {8, &MakeItem<CPieceItem8>},
      {9, &MakeItem<CPieceItem9>},   {10, &MakeItem<CPieceItem10>}, {11, &MakeItem<CPieceItem11>},
      {12, &MakeItem<CPieceItem12>}, {13, &MakeItem<CPieceItem13>},
      // The solid internal lines and the derived circles are stored under
      // codes of their own but read as plain internal lines and circles.
      {14, &MakeItem<CPieceItem8>},  {15, &MakeItem<CPieceItem9>},  {16, &MakeItem<CPieceItem10>},
      {17, &MakeItem<CPieceItem17>}, {18, &MakeItem<CPieceItem18>}, {19, &MakeItem<CPieceItem19>},
      {20, &MakeItem<CPieceItem20>}, {21, &MakeItem<CPieceItem21>}, {22, &MakeItem<CPieceItem22>},
      {23, &MakeItem<CPieceItem23>}, {24, &MakeItem<CPieceItem24>}, {25, &MakeItem<CPieceItem25>},
      {26, &MakeItem<CPieceItem26>}, {27, &MakeItem<CPieceItem27>}, {28, &MakeItem<CPieceItem28>},
      {29, &MakeItem<CPieceItem29>},
  };
  ItemCodeFactory& table = GetItemCodeFactory();
  for (const ItemClass& entry : kItemClasses) table.Register(entry.code, entry.make);
}

BOOL CPatternData::ReadItems(ArchiveReader& archive, double factor, CPieceRecord* piece, uint32_t magic,
                             int32_t version) {
  if (!piece) return FALSE;
  if (!ReadPieceHeader(archive, piece, version)) {
    NoteLoadFailure(DesignLoadFault::kMalformed, archive.Position(), "header cut short");
    return FALSE;
  }
  int32_t count = 0;
  if (!archive.ReadI32(count)) {
    NoteLoadFailure(DesignLoadFault::kMalformed, archive.Position(), "item count cut short");
    return FALSE;
  }
  if (!archive.CheckCount(count, kItemRecordMinBytes)) {
    NoteLoadFailure(DesignLoadFault::kMalformed, archive.Position(), "item count beyond the bytes left");
    return FALSE;
  }
  StoredItemReader items(*this, archive, piece, factor, magic, version);
  for (int32_t i = 0; i < count; ++i) {
    if (!items.ReadItem()) {
      NoteLoadFailure(DesignLoadFault::kMalformed, archive.Position(), Named("item", i));
      return FALSE;
    }
  }
  piece->RemoveDuplicateLines();
  // The reference point is the outline's first vertex; a piece without one
  // starts from the origin.
  const CPieceItem* outline = PtnOutlineOf(piece);
  piece->AuxX = outline ? outline->VertexHead->X : 0;
  piece->AuxY = outline ? outline->VertexHead->Y : 0;
  return TRUE;
}

BOOL CPatternData::ReadPieces(ArchiveReader& archive, int32_t version, uint32_t magic) {
  ClearStyle();
  g_Style.DataVersion = version;
  g_Style.Mode = 0;

  auto fail = [&](const std::string& what) {
    NoteLoadFailure(DesignLoadFault::kMalformed, archive.Position(), what);
    return FALSE;
  };
  constexpr const char* kSection = "stored pieces: ";
  int32_t scale = 0;
  if (!archive.ReadI32(scale)) return fail(std::string(kSection) + "cut short");
  if (scale <= 0) return fail(std::string(kSection) + "scale of 0 or less");
  g_Style.SetScale(scale);
  for (CString* text : {&g_Style.HeaderText1, &g_Style.StyleName, &g_Style.HeaderText3, &g_Style.HeaderText4,
                        &g_Style.HeaderText5}) {
    if (!archive.ReadString(*text)) return fail(std::string(kSection) + "cut short");
  }

  int32_t pieces = 0;
  int32_t sizes = 0;
  archive.ReadI32(pieces);
  if (!archive.ReadI32(sizes)) return fail(std::string(kSection) + "cut short");
  // Both counts are checked before the first size is made; the pieces once
  // more after the sizes, against what is then left.
  if (!archive.CheckCount(sizes, kSizeRecordMinBytes) || !archive.CheckCount(pieces, kPieceRecordMinBytes)) {
    return fail(std::string(kSection) + "count beyond the bytes left");
  }
  for (int32_t i = 0; i < sizes; ++i) {
    CString name;
    double key1 = 0.0;
    double key2 = 0.0;
    uint32_t color = 0;
    archive.ReadString(name);
    archive.ReadDouble(key1);
    archive.ReadDouble(key2);
    if (!archive.ReadU32(color)) return fail(Named("stored size", i) + ": cut short");
    g_Style.AddSize(new CSizeRecord(name, key1, key2, static_cast<COLORREF>(color), 1));
  }
  if (g_Style.SizeCount > 0) g_Style.SortSizes();
  if (!archive.CheckCount(pieces, kPieceRecordMinBytes)) {
    return fail(std::string(kSection) + "piece count beyond the bytes left");
  }

  // The stored pieces carry the in-memory corner codes already: no corner
  // pass. Every magic word gets the outline checks.
  PtnPieceSteps steps;
  steps.cornerPass = PtnCornerPass::kNone;
  steps.loadMagic = static_cast<int32_t>(magic);
  steps.outlineChecks = true;
  int64_t nodesLeft = kMaxStoredPieceNodes;
  for (int32_t i = 0; i < pieces; ++i) {
    auto piece = std::make_unique<CPieceRecord>();
    if (!ReadItems(archive, 1.0, piece.get(), magic, version)) return fail(Named("stored piece", i));
    if (!TakePieceNodes(piece.get(), g_Style.SizeCount, nodesLeft)) {
      return fail(Named("stored piece", i) + ": more vertices than the sizes allow");
    }
    RunPtnPieceSteps(piece.get(), steps);
    g_Style.AddPiece(piece.release());
  }

  PtnClosingPass closing;
  closing.repair = false;
  closing.unpackLineAttributes = version == kVersionWithPackedLineAttributes;
  // Without the repair pass the closing pass cannot fail.
  RunPtnClosingPass(closing);
  return TRUE;
}
