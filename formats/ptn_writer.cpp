#include "formats/ptn_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "formats/ptn_layout.h"
#include "model/corner_codes.h"
#include "model/item_types.h"
#include "model/items/dimension_item.h"
#include "model/items/marked_line_item.h"
#include "model/items/marker_items.h"
#include "model/items/text_item.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/binary_file.h"
#include "platform/file_system.h"
#include "platform/progress.h"
#include "platform/prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

// A 12-byte vertex record {u32 flags, int32 x, int32 y}.
void WriteVertex12(ByteWriter& out, uint32_t flags, int32_t x, int32_t y) {
  out.WriteU32(flags);
  out.WriteI32(x);
  out.WriteI32(y);
}

// The header's filler: the values of the C runtime's rand() from its
// start-up seed, so that one style always gives the same file.
class FillerGenerator {
 public:
  uint32_t Next() {
    state_ = state_ * 214013u + 2531011u;
    return (state_ >> 16) & 0x7FFFu;
  }

 private:
  uint32_t state_ = 1;
};

constexpr size_t kFillerWords = kPtnFillerBytes / 4;

// Sub-version word of the header; written 0 (it matters only to files of
// data version 117).
constexpr uint16_t kWrittenSubVersion = 0;

// The slot shape a record carries in place of 0 and of unknown shapes: the
// plain line between the two points.
constexpr int32_t kSlotShapeWrittenForPlain = kSlotLine;

// Grain lines are turned round when they run right to left, or downwards
// with little sideways run, by more than this many millimetres.
constexpr int32_t kGrainLineTurnMm = 2;

// An internal line's attribute is the low 4 bits of its Tag; one of 0 has
// none of its own and is written as 3 while the curve mode is on, else 1.
constexpr int32_t kLineAttributeCurveMode = 3;
constexpr int32_t kLineAttributeDefault = 1;
constexpr uint32_t kItemLineAttributeMask = 15;

// A computed coordinate: truncated towards zero and held to the int32 range;
// a value that is no number gives 0.
int32_t ToCoordinate(double v) {
  if (std::isnan(v)) return 0;
  v = std::trunc(v);
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

// The pieces written: each piece of the ring of all pieces, or its work-area
// copy when it has one.
std::vector<CPieceRecord*> PiecesWritten() {
  std::vector<CPieceRecord*> pieces;
  CPieceRecord* piece = g_Style.PieceRing;
  for (int32_t i = 0; piece && i < g_Style.PieceCount; ++i, piece = piece->Next) {
    pieces.push_back(piece->Linked && piece->Link ? piece->Link : piece);
  }
  return pieces;
}

// The sizes in ring order: the order of every per-size run.
std::vector<const CSizeRecord*> SizesInRingOrder() {
  std::vector<const CSizeRecord*> sizes;
  const CSizeRecord* size = g_Style.SizeRing;
  for (int32_t i = 0; size && i < g_Style.SizeCount; ++i, size = size->Next) sizes.push_back(size);
  return sizes;
}

// NUMBER OF SIZES as the file states it and its per-size runs and groups
// count it: the sizes of the ring, never more than the style's count.
int SizeCount() {
  int count = 0;
  const CSizeRecord* size = g_Style.SizeRing;
  for (; size && count < g_Style.SizeCount; size = size->Next) ++count;
  return count;
}

// ---------------------------------------------------------------------------
// Tidying the pieces before they are written.

// Removes the items too short to be drawn: closed internal lines below 3
// main vertices, open ones below 2, and every item but the grain line and
// the text with no main vertex at all.
void RemoveShortItems(CPieceRecord* piece) {
  for (CPieceItem* item : ItemsOf(piece)) {
    const int32_t mains = item->CountMainVertices();
    bool remove = false;
    switch (item->Type) {
      case kItemTypeClosedLine:
      case kItemTypeSolidClosedLine: remove = mains < 3; break;
      case kItemTypeOpenLine:
      case kItemTypeSolidOpenLine: remove = mains < 2; break;
      case kItemTypeGrainLine:
      case kItemTypeText: break;
      default: remove = mains < 1; break;
    }
    if (remove) piece->RemoveItem(item);
  }
}

// Turns a grain line round so that it runs left to right, or upwards when
// it runs mostly up or down: its first main vertex with the copies after it
// goes to the tail. A grain line of fewer than two main vertices stays.
void TurnGrainLine(CPieceItem* item) {
  if (item->CountMainVertices() < 2) return;
  CVertexNode* first = item->VertexHead;
  if (!first->IsMain()) first = item->NextMainVertex(first);
  CVertexNode* second = item->NextMainVertex(first);
  if (!first || !second || first == second) return;
  const int64_t limit = static_cast<int64_t>(kGrainLineTurnMm) * g_Style.GetScale();
  const int64_t dx = static_cast<int64_t>(first->X) - second->X;
  const int64_t dy = static_cast<int64_t>(second->Y) - first->Y;
  if (!(dx > limit || (std::llabs(dx) <= limit && dy > limit))) return;

  std::vector<CVertexNode*> run{first};
  CVertexNode* node = first->Next;
  for (int32_t i = 1; node != first && i < item->VertexCount && node->Kind() == kVertexKindCopy; ++i) {
    run.push_back(node);
    node = node->Next;
  }
  for (const CVertexNode* moved : run) {
    CVertexNode* copy = item->AddTailVertex(moved->X, moved->Y, moved->Flags);
    if (copy) {
      copy->Value = moved->Value;
      copy->Attributes = moved->Attributes;
    }
  }
  item->RemoveGradedVertex(first);
}

void TidyPiece(CPieceRecord* piece) {
  RemoveShortItems(piece);
  if (piece->Option2 == 1) return;
  for (CPieceItem* item : ItemsOf(piece)) {
    if (item->Type == kItemTypeGrainLine) TurnGrainLine(item);
  }
}

// ---------------------------------------------------------------------------
// Shared parts of the two blocks.

void WriteStyleHead(ByteWriter& out, int32_t pieceCount) {
  out.WriteCountedText(g_Style.HeaderText1);
  out.WriteCountedText(g_Style.StyleName);
  out.WriteCountedText(g_Style.HeaderText3);
  out.WriteCountedText(g_Style.HeaderText4);
  out.WriteCountedText(g_Style.HeaderText5);
  out.WriteI32(pieceCount);
  const std::vector<const CSizeRecord*> sizes = SizesInRingOrder();
  out.WriteI32(static_cast<int32_t>(sizes.size()));
  for (const CSizeRecord* size : sizes) {
    out.WriteCountedText(size->Name);
    out.WriteDouble(size->SortKey1);
    out.WriteDouble(size->SortKey2);
    out.WriteI32(static_cast<int32_t>(size->Color));
  }
}

void WritePieceHead(ByteWriter& out, const CPieceRecord& piece) {
  out.WriteCountedText(piece.PieceName);
  out.WriteCountedText(piece.Annotation);
  out.WriteCountedText(piece.Text3);
  out.WriteI32(piece.Quantity);
  out.WriteCountedText(piece.Category);
  out.WriteI32(piece.PointA.x);
  out.WriteI32(piece.PointA.y);
  out.WriteI32(piece.PointB.x);
  out.WriteI32(piece.PointB.y);
  out.WriteI32(piece.Option1);
  out.WriteI32(piece.Option2);
  out.WriteI32(piece.Flag);
  out.WriteI32(piece.Option3);
  out.WriteDouble(piece.DoubleValue);
  out.WriteI32(piece.Option4);
}

// The items of a piece in the order they are written: round the ring from
// `start` (the head when null).
std::vector<CPieceItem*> ItemsFrom(const CPieceRecord& piece, CPieceItem* start) {
  std::vector<CPieceItem*> items;
  CPieceItem* item = start ? start : piece.ItemRing;
  for (int32_t i = 0; item && i < piece.ItemCount; ++i, item = item->Next) items.push_back(item);
  return items;
}

// Where the walk over a piece's items starts: at the head, except in a style
// of one piece, where it starts after the first item of `type` (when the
// piece has one), so that item comes last.
CPieceItem* WalkStart(const CPieceRecord& piece, int32_t type, bool onePiece) {
  CPieceItem* item = nullptr;
  if (onePiece && piece.FindItem(type, &item)) return item->Next;
  return piece.ItemRing;
}

// The nodes of a curve item that a file holds: every node but the graded
// runs (a kind-100 node and the NUMBER OF SIZES - 1 nodes after it) and,
// when `withParameters` is false, the parameter nodes.
std::vector<const CVertexNode*> CurveNodes(const CPieceItem& item, bool withParameters) {
  std::vector<const CVertexNode*> nodes;
  const int runLength = std::max(SizeCount(), 1);
  const CVertexNode* node = item.VertexHead;
  for (int32_t i = 0; node && i < item.VertexCount;) {
    if (node->Kind() == kVertexKindGraded) {
      for (int k = 0; k < runLength && i < item.VertexCount; ++k, ++i) node = node->Next;
      continue;
    }
    if (withParameters || node->Kind() != kVertexKindParameter) nodes.push_back(node);
    node = node->Next;
    ++i;
  }
  return nodes;
}

std::vector<const CVertexNode*> AllNodes(const CPieceItem& item) {
  std::vector<const CVertexNode*> nodes;
  const CVertexNode* node = item.VertexHead;
  for (int32_t i = 0; node && i < item.VertexCount; ++i, node = node->Next) nodes.push_back(node);
  return nodes;
}

// ---------------------------------------------------------------------------
// The compatibility block.

enum class Variant { kA, kB, kC };

// Whether an item goes into the compatibility block, and under which code.
struct CompatEntry {
  bool written = false;
  int32_t code = 0;
};

// Variant A, a piece with neither a cut line nor a contour: the items of
// the older element set, as stored. Variant C, a piece with a cut line
// (type 12), and variant B, one with a contour (type 21): the older readers
// know one outer line and one family of derived marks, so of the outline
// and the cut line (contour) the outer one goes in as the outline (code 0)
// and the inner one as an internal line (code 8); `n` says which is inner
// (the corner widths of the outline in C, of the contour in B, lie inside).
// The marks of the line written as the outline go in under the codes of the
// older marks (17 -> 5, 19 -> 6, 20 -> 7, 18 -> 13; 22 -> 5, 24 -> 6,
// 25 -> 7, 23 -> 13). g_SaveOptType0 writes the inner line too,
// g_SaveOptType13 both families of marks.
CompatEntry CompatEntryFor(Variant variant, int32_t type, bool n) {
  const bool opt0 = g_SaveOptType0 != 0;
  const bool opt13 = g_SaveOptType13 != 0;
  auto when = [](bool written, int32_t code) { return CompatEntry{written, code}; };
  switch (type) {
    case 1: case 2: case 3: case 4: case 8: case 9: case 10: case 11: case 14: case 15: case 16:
      return when(true, type);
    default: break;
  }
  switch (variant) {
    case Variant::kA:
      return when(type == 0 || (type >= 5 && type <= 7) || type == 13, type);
    case Variant::kB:
      switch (type) {
        case 0: return when(opt0 || !n, n ? 8 : 0);
        case 21: return when(opt0 || n, n ? 0 : 8);
        case 5: case 6: case 7: case 13: return when(opt13 || !n, type);
        case 22: return when(opt13 || n, 5);
        case 24: return when(opt13 || n, 6);
        case 25: return when(opt13 || n, 7);
        case 23: return when(opt13 || n, 13);
        default: return {};
      }
    case Variant::kC:
      switch (type) {
        case 0: return when(opt0 || n, n ? 0 : 8);
        case 12: return when(opt0 || !n, n ? 8 : 0);
        case 5: case 6: case 7: case 13: return when(opt13 || n, type);
        case 17: return when(opt13 || !n, 5);
        case 19: return when(opt13 || !n, 6);
        case 20: return when(opt13 || !n, 7);
        case 18: return when(opt13 || !n, 13);
        default: return {};
      }
  }
  return {};
}

// The line attribute a curve written as an internal line carries.
int32_t CompatLineAttribute(const CPieceItem& item) {
  const int32_t attribute = static_cast<int32_t>(static_cast<uint32_t>(item.Tag) & kItemLineAttributeMask);
  if (attribute != 0) return attribute;
  return g_OptCurveMode ? kLineAttributeCurveMode : kLineAttributeDefault;
}

// Writes the records of one item under `code` into `out`; returns how many
// records were written.
int WriteCompatRecords(ByteWriter& out, const CPieceItem& item, int32_t code) {
  const int sizes = SizeCount();
  switch (code) {
    case 0: case 8: case 9: case 14: case 15: {
      out.WriteI32(code);
      if (code == 8 || code == 9) out.WriteI32(CompatLineAttribute(item));
      const std::vector<const CVertexNode*> nodes = CurveNodes(item, false);
      out.WriteI32(static_cast<int32_t>(nodes.size()));
      for (const CVertexNode* node : nodes) WriteVertex12(out, node->Flags, node->X, node->Y);
      return 1;
    }
    case 1: case 5: case 6: case 7: case 10: case 16: {
      out.WriteI32(code);
      const std::vector<const CVertexNode*> nodes = AllNodes(item);
      out.WriteI32(static_cast<int32_t>(nodes.size()));
      for (const CVertexNode* node : nodes) WriteVertex12(out, node->Flags, node->X, node->Y);
      return 1;
    }
    case 2: case 4: {
      if (sizes == 0) return 0;
      const std::vector<const CVertexNode*> nodes = AllNodes(item);
      const size_t group = static_cast<size_t>(sizes) + 2;
      int records = 0;
      for (size_t start = 0; start + group <= nodes.size(); start += group, ++records) {
        out.WriteI32(code);
        out.WriteI32(static_cast<int32_t>(group));
        for (size_t i = start; i < start + group; ++i) WriteVertex12(out, nodes[i]->Flags, nodes[i]->X, nodes[i]->Y);
      }
      return records;
    }
    case 3: {
      const auto* slot = dynamic_cast<const CPieceItem3*>(&item);
      if (!slot || sizes == 0) return 0;
      const int64_t groups = item.VertexCount / (2 * static_cast<int64_t>(sizes));
      CVertexNode* node = item.VertexHead;
      int index = 0;
      int records = 0;
      for (int64_t g = 0; g < groups; ++g) {
        ByteWriter record;
        record.WriteI32(code);
        record.WriteI32(PtnType3ShapeWord(slot->Style));
        if (!WriteType3Record(node, *slot, record, index)) break;
        out.Append(record);
        ++records;
      }
      return records;
    }
    case 11: {
      const auto* text = dynamic_cast<const CPieceItem11*>(&item);
      if (!text) return 0;
      out.WriteI32(code);
      out.WriteI32(text->AnchorX);
      out.WriteI32(text->AnchorY);
      out.WriteCountedText(text->Text);
      const auto font = text->Font.ToBytes();
      out.WriteBytes(font.data(), font.size());
      return 1;
    }
    case 13: {
      if (sizes == 0) return 0;
      const std::vector<const CVertexNode*> nodes = AllNodes(item);
      const size_t group = 2 * static_cast<size_t>(sizes) + 2;
      int records = 0;
      for (size_t start = 0; start + group <= nodes.size(); start += group, ++records) {
        // The notch's point and inner-end groups and its width node; the
        // nodes the newer layout added after them are left out.
        std::vector<const CVertexNode*> kept;
        for (size_t i = start; i < start + group; ++i) {
          if (nodes[i]->Kind() < kVertexKindFixedSingle2) kept.push_back(nodes[i]);
        }
        out.WriteI32(code);
        out.WriteI32(static_cast<int32_t>(kept.size()));
        for (const CVertexNode* node : kept) WriteVertex12(out, node->Flags, node->X, node->Y);
      }
      return records;
    }
    default: return 0;
  }
}

void WriteCompatPiece(ByteWriter& out, const CPieceRecord& piece, bool onePiece) {
  WritePieceHead(out, piece);
  CPieceItem* found = nullptr;
  Variant variant = Variant::kA;
  int32_t chooser = kItemTypeOutline;
  bool n = false;
  if (piece.FindItem(kItemTypeCutLine, &found)) {
    variant = Variant::kC;
    chooser = kItemTypeCutLine;
    n = piece.IsOutlineParamNegative() != 0;
  } else if (piece.FindItem(kItemTypeContour, &found)) {
    variant = Variant::kB;
    chooser = kItemTypeContour;
    n = piece.IsItem21ParamNegative() != 0;
  }
  ByteWriter records;
  int32_t count = 0;
  for (CPieceItem* item : ItemsFrom(piece, WalkStart(piece, chooser, onePiece))) {
    const CompatEntry entry = CompatEntryFor(variant, item->Type, n);
    if (entry.written) count += WriteCompatRecords(records, *item, entry.code);
  }
  out.WriteI32(count);
  out.Append(records);
}

// ---------------------------------------------------------------------------
// The piece block.

void WriteItemRecord(ByteWriter& out, const CPieceItem& item) {
  out.WriteI32(item.Type);
  if (item.Type == kItemTypeText) {
    const auto* text = dynamic_cast<const CPieceItem11*>(&item);
    const CPieceItem11 empty(nullptr, nullptr);
    const CPieceItem11& t = text ? *text : empty;
    out.WriteI32(t.AnchorX);
    out.WriteI32(t.AnchorY);
    out.WriteCountedText(t.Text);
    const auto font = t.Font.ToBytes();
    out.WriteBytes(font.data(), font.size());
    return;
  }
  const std::vector<const CVertexNode*> nodes =
      PtnItemSkipsGradedRuns(item.Type) ? CurveNodes(item, true) : AllNodes(item);
  out.WriteI32(static_cast<int32_t>(nodes.size()));
  for (const CVertexNode* node : nodes) {
    out.WriteU32(node->Flags);
    out.WriteI32(node->X);
    out.WriteI32(node->Y);
    out.WriteU32(node->Attributes);
  }
  if (item.Type == kItemTypeMarkedLine) {
    const auto* line = dynamic_cast<const CPieceItem26*>(&item);
    auto at = [](const std::vector<int32_t>* values, size_t i) {
      return values && i < values->size() ? (*values)[i] : 0;
    };
    for (size_t s = 0; s < static_cast<size_t>(SizeCount()); ++s) {
      out.WriteI32(at(line ? &line->SizeArrayA : nullptr, s));
      out.WriteI32(at(line ? &line->SizeArrayB : nullptr, s));
      out.WriteI32(at(line ? &line->SizeArrayC : nullptr, s));
    }
    const CVertexNode* marked = line ? line->MarkedNode.get() : nullptr;
    out.WriteI32(marked ? 1 : 0);
    if (marked) WriteVertex12(out, marked->Flags, marked->X, marked->Y);
    out.WriteI32(line ? line->MarkShape : 0);
  } else if (item.Type == kItemTypeDimension) {
    const auto* dimension = dynamic_cast<const CPieceItem28*>(&item);
    out.WriteI32(dimension ? dimension->Kind : 0);
    out.WriteI32(dimension ? dimension->FirstItemType : 0);
    out.WriteI32(dimension ? dimension->SecondItemType : 0);
    out.WriteCountedText(dimension ? dimension->Text : CString());
  } else if (item.Type == kItemTypeSlot) {
    const auto* slot = dynamic_cast<const CPieceItem3*>(&item);
    const CPieceItem3 empty(nullptr, nullptr);
    const CPieceItem3& s = slot ? *slot : empty;
    for (int32_t field : {s.Style, s.SlotEndOffset, s.SlotWidth, s.Param0, s.EyeOuterRadius, s.EyeRadius,
                          s.BarLength}) {
      out.WriteI32(field);
    }
  }
}

void WritePieceRecord(ByteWriter& out, const CPieceRecord& piece, bool onePiece) {
  WritePieceHead(out, piece);
  // The outline goes out in the file's corner-code numbering, from an
  // encoded copy of the piece: the piece itself keeps its own codes.
  std::unique_ptr<CPieceRecord> encoded;
  std::vector<CPieceItem*> encodedItems;
  const std::vector<CPieceItem*> items = ItemsFrom(piece, nullptr);
  CPieceItem* outline = nullptr;
  if (piece.FindItem(kItemTypeOutline, &outline)) {
    encoded = piece.EncodeCornerCodes();
    encodedItems = ItemsFrom(*encoded, nullptr);
  }
  const std::vector<CPieceItem*> walk = ItemsFrom(piece, WalkStart(piece, kItemTypeOutline, onePiece));
  out.WriteI32(static_cast<int32_t>(walk.size()));
  for (CPieceItem* item : walk) {
    const CPieceItem* written = item;
    if (item->Type == kItemTypeOutline && encodedItems.size() == items.size()) {
      const size_t at = static_cast<size_t>(std::find(items.begin(), items.end(), item) - items.begin());
      if (at < encodedItems.size() && encodedItems[at]->Type == kItemTypeOutline) written = encodedItems[at];
    }
    WriteItemRecord(out, *written);
  }
}

// ---------------------------------------------------------------------------
// The slot symbols of the compatibility block.

struct Vec {
  double x = 0;
  double y = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k}; }
Vec Normal(Vec v) { return {-v.y, v.x}; }
Vec At(const CVertexNode* node) { return {static_cast<double>(node->X), static_cast<double>(node->Y)}; }
Vec Truncated(Vec v) { return {std::trunc(v.x), std::trunc(v.y)}; }
double Length(Vec v) { return std::hypot(v.x, v.y); }
// `v` scaled by k / d; nothing when d is 0 (two points at one place give no
// direction, so no offset).
Vec Scaled(Vec v, double k, double d) { return d == 0.0 ? Vec{} : v * (k / d); }
// The truncated square root of a² - b², a negative argument counting as 0.
double RootOfDifference(double a, double b) { return std::trunc(std::sqrt(std::max(0.0, a * a - b * b))); }

}  // namespace

int PtnType3PointsPerSize(int32_t shape) {
  switch (shape) {
    case kSlotPlainBars: return 2;
    case kSlotEndBars: return 6;
    case kSlotKeyhole: return 5;
    case kSlotClosedKeyhole: return 9;
    case kSlotKeyholeCrossBar: return 7;
    case kSlotOpenKeyhole: return 9;
    case kSlotDoubleKeyhole: return 8;
    case kSlotLine: return 2;
    case kSlotRectangle: return 6;
    case kSlotEyelet: return 3;
    default: return 0;
  }
}

int32_t PtnType3ShapeWord(int32_t shape) {
  if (shape == kSlotPlainBars || PtnType3PointsPerSize(shape) == 0) return kSlotShapeWrittenForPlain;
  return shape;
}

int WriteType3Record(CVertexNode*& node, const CPieceItem3& item, ByteWriter& out, int& index) {
  const int sizes = SizeCount();
  if (sizes == 0 || !node || 2 * static_cast<int64_t>(sizes) > item.VertexCount) return 0;
  // The group: S nodes of the first point, then S of the second.
  std::vector<const CVertexNode*> first, second;
  CVertexNode* cursor = node;
  for (int i = 0; i < 2 * sizes; ++i) {
    if (!cursor) return 0;
    (i < sizes ? first : second).push_back(cursor);
    cursor = cursor->Next;
  }

  const int32_t shape = PtnType3ShapeWord(item.Style);
  const int k = PtnType3PointsPerSize(shape);
  out.WriteI32(static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(k) * sizes, 0,
                                                   std::numeric_limits<int32_t>::max())));

  const Vec p0 = At(first[0]);
  const Vec q0 = At(second[0]);
  const Vec u = q0 - p0;
  const double d = Length(u);
  const double f4 = item.SlotEndOffset, f5 = item.SlotWidth, f6 = item.EyeRadius,
               f7 = item.EyeOuterRadius;
  const double halfF3 = item.BarLength / 2;
  const double halfF5 = item.SlotWidth / 2;
  // A(t) runs from the first point towards the second, B(t) back from the
  // second, both in the first size, truncated.
  auto alongA = [&](double t) { return Truncated(p0 + Scaled(u, t, d)); };
  auto alongB = [&](double t) { return Truncated(q0 - Scaled(u, t, d)); };

  // The nodes of one point, as stored; and one computed point for every
  // size, with the flags of that size's first or second point.
  auto asStored = [&](const std::vector<const CVertexNode*>& nodes) {
    for (const CVertexNode* n : nodes) WriteVertex12(out, n->Flags, n->X, n->Y);
  };
  auto perSize = [&](const std::vector<const CVertexNode*>& flagsFrom, auto pointOf) {
    for (int s = 0; s < sizes; ++s) {
      const Vec v = pointOf(s);
      WriteVertex12(out, flagsFrom[s]->Flags, ToCoordinate(v.x), ToCoordinate(v.y));
    }
  };
  auto p = [&](int s) { return At(first[s]); };
  auto q = [&](int s) { return At(second[s]); };
  auto delta = [&](int s) { return p(s) - p0; };

  asStored(first);
  switch (shape) {
    case kSlotEndBars:
    case kSlotRectangle: {
      asStored(second);
      const double h = halfF3;
      const Vec m = d == 0.0 ? Vec{} : Vec{std::trunc(u.y * h / d), -std::trunc(u.x * h / d)};
      perSize(first, [&](int s) { return p(s) + m; });
      perSize(first, [&](int s) { return p(s) - m; });
      perSize(second, [&](int s) { return q(s) + m; });
      perSize(second, [&](int s) { return q(s) - m; });
      break;
    }
    case kSlotKeyhole: {
      const Vec side = Scaled(Normal(u), f7, d);
      perSize(first, [&](int s) { return p(s) + side; });
      perSize(first, [&](int s) { return p(s) - side; });
      asStored(second);
      const Vec a = alongA(f6);
      perSize(second, [&](int s) { return a + delta(s); });
      break;
    }
    case kSlotClosedKeyhole: {
      const Vec side = Scaled(Normal(u), f7, d);
      const Vec c = alongB(f4);
      const Vec w = Scaled(q0 - c, halfF5, d);
      const Vec mouth = Scaled(Normal(u), halfF5, d);
      const Vec a = alongA(f6);
      perSize(first, [&](int s) { return p(s) + side; });
      perSize(first, [&](int s) { return p(s) - side; });
      perSize(second, [&](int s) { return c + delta(s); });
      perSize(second, [&](int s) { return c + delta(s) + Normal(w); });
      perSize(second, [&](int s) { return c + delta(s) - Normal(w); });
      perSize(second, [&](int s) { return q(s) + mouth; });
      perSize(second, [&](int s) { return q(s) - mouth; });
      perSize(second, [&](int s) { return a + delta(s); });
      break;
    }
    case kSlotKeyholeCrossBar: {
      const Vec side = Scaled(Normal(u), f7, d);
      const Vec c = alongB(f4);
      const Vec w = Scaled(q0 - c, halfF5, d);
      const Vec a = alongA(f6);
      perSize(first, [&](int s) { return p(s) + side; });
      perSize(first, [&](int s) { return p(s) - side; });
      asStored(second);
      perSize(first, [&](int s) { return a + delta(s); });
      perSize(second, [&](int s) { return c + delta(s) - Normal(w); });
      perSize(second, [&](int s) { return c + delta(s) + Normal(w); });
      break;
    }
    case kSlotOpenKeyhole: {
      const double h = halfF5;
      const Vec g = alongA(RootOfDifference(f7, h));
      const Vec v = Scaled(p0 - g, h, Length(g - p0));
      const Vec back = p0 - q0;
      const Vec m = Truncated(Scaled(back, h, d));
      const Vec n = Truncated(Scaled(back, halfF3, d));
      const Vec a = alongA(f6);
      perSize(first, [&](int s) { return a + delta(s); });
      perSize(first, [&](int s) { return g + delta(s) - Normal(v); });
      perSize(first, [&](int s) { return g + delta(s) + Normal(v); });
      perSize(second, [&](int s) { return q(s) + Normal(m); });
      asStored(second);
      perSize(second, [&](int s) { return q(s) - Normal(m); });
      perSize(second, [&](int s) { return q(s) + Normal(n); });
      perSize(second, [&](int s) { return q(s) - Normal(n); });
      break;
    }
    case kSlotDoubleKeyhole: {
      asStored(second);
      const Vec g = alongA(RootOfDifference(f7, f5 / 2.0));
      const Vec v = Scaled(p0 - g, halfF5, Length(g - p0));
      const Vec g2 = alongB(RootOfDifference(f7, halfF5));
      const Vec v2 = Scaled(p0 - g2, halfF5, Length(g2 - p0));
      const Vec a = alongA(f6);
      const Vec b = alongB(f6);
      perSize(first, [&](int s) { return a + delta(s); });
      perSize(first, [&](int s) { return g + delta(s) - Normal(v); });
      perSize(first, [&](int s) { return g + delta(s) + Normal(v); });
      perSize(first, [&](int s) { return b + delta(s); });
      perSize(second, [&](int s) { return g2 + delta(s) - Normal(v2); });
      perSize(second, [&](int s) { return g2 + delta(s) + Normal(v2); });
      break;
    }
    case kSlotEyelet: {
      perSize(first, [&](int s) { return p(s) + Vec{f6, 0}; });
      perSize(second, [&](int s) { return q(s) + Vec{f7, 0}; });
      break;
    }
    default:  // the plain line: both points as stored
      asStored(second);
      break;
  }
  node = cursor;
  index += 2 * sizes;
  return 1;
}

std::vector<uint8_t> BuildPtnFileBytes() {
  const std::vector<CPieceRecord*> pieces = PiecesWritten();
  const int32_t pieceCount = static_cast<int32_t>(pieces.size());
  CStatusProgress progress(0, 2 * pieceCount - 1, 0);
  for (CPieceRecord* piece : pieces) TidyPiece(piece);
  PackLineAttributes();

  ByteWriter out;
  out.WriteU32(kPtnMagicFlat);
  out.WriteI32(kPtnWrittenVersion);
  // The reader refuses a file whose reserved word is not 0.
  out.WriteU32(0);
  out.WriteI32(g_Style.GetScale());
  out.WriteU16(kWrittenSubVersion);
  FillerGenerator filler;
  for (size_t i = 0; i < kFillerWords; ++i) out.WriteU32(filler.Next());
  out.WriteU32(0);  // the piece-block offset, filled in below

  const bool onePiece = pieceCount == 1;
  WriteStyleHead(out, pieceCount);
  for (int32_t i = 0; i < pieceCount; ++i) {
    progress.SetPos(i);
    WriteCompatPiece(out, *pieces[static_cast<size_t>(i)], onePiece);
  }

  // The piece block's offset is a u32: a compatibility block beyond it
  // cannot be written.
  if (out.Size() > std::numeric_limits<uint32_t>::max()) return {};
  out.PatchU32(kPtnPieceBlockOffsetAt, static_cast<uint32_t>(out.Size()));
  WriteStyleHead(out, pieceCount);
  for (int32_t i = 0; i < pieceCount; ++i) {
    progress.SetPos(pieceCount + i);
    WritePieceRecord(out, *pieces[static_cast<size_t>(i)], onePiece);
  }
  return out.TakeBytes();
}

int SavePtnFile(const CString& path) {
  // A folder in the file's place cannot be opened as a file: refused before
  // anything is written or changed, like a folder that cannot be written.
  AtomicFileWriter file;
  if (IsFolder(path) || !file.Open(path)) {
    Prompts().MessageBox(LoadString(IDS_SAVE_PTN_FAILED) + "(open)", LoadString(IDS_APP_TITLE), MB_ICONEXCLAMATION);
    return 0;
  }
  const std::vector<uint8_t> bytes = BuildPtnFileBytes();
  if (bytes.empty() || !file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
    file.Abandon();
    ShowFailureMessage(IDS_SAVE_PTN_FAILED);
    return 0;
  }
  return 1;
}
