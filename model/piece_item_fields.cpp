#include "model/piece_item_fields.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>

#include "model/geometry.h"
#include "model/items/all_items.h"
#include "model/vertex_node.h"

namespace {

// One triple of the marked line per size.
constexpr size_t kTripleBytes = 12;
// How far from 1 a factor may be and still keep the stored values.
constexpr double kUnscaledTolerance = 0.01;

// Corner codes (low 16 bits of a parameter node's y word, file numbering)
// whose high 16 bits carry a length that scales with the coordinates.
bool CornerCodeCarriesLength(uint32_t code) { return code == 13 || code == 14 || (code >= 18 && code <= 21); }

// Multiplies a signed 16-bit half, the fraction dropped, and keeps the low
// 16 bits of the result for packing.
uint32_t ScaledHalf(uint32_t half, double factor) {
  const int32_t value = static_cast<int16_t>(static_cast<uint16_t>(half));
  return static_cast<uint32_t>(TruncateTowardZero(value * factor)) & 0xFFFFu;
}

}  // namespace

bool ScalesCoordinates(double factor) { return std::fabs(factor - 1.0) > kUnscaledTolerance; }

int32_t ScaledCoordinate(int32_t value, double factor) { return RoundToInt(static_cast<double>(value) * factor); }

void ScaleNode(CVertexNode* node, double factor) {
  if (node->Kind() != kVertexKindParameter) {
    node->X = ScaledCoordinate(node->X, factor);
    node->Y = ScaledCoordinate(node->Y, factor);
    return;
  }
  const uint32_t x = static_cast<uint32_t>(node->X);
  node->X = static_cast<int32_t>((ScaledHalf(x >> 16, factor) << 16) | ScaledHalf(x & 0xFFFFu, factor));
  const uint32_t y = static_cast<uint32_t>(node->Y);
  const uint32_t code = y & 0xFFFFu;
  if (CornerCodeCarriesLength(code)) node->Y = static_cast<int32_t>((ScaledHalf(y >> 16, factor) << 16) | code);
}

bool ReadStoredVertex(ByteCursor& in, bool withAttributeWord, StoredVertexRecord& vertex) {
  in.ReadU32(vertex.flags);
  in.ReadI32(vertex.x);
  in.ReadI32(vertex.y);
  if (withAttributeWord) in.ReadU32(vertex.attributes);
  return !in.Failed();
}

bool ReadStoredPoint(ByteCursor& in, CPoint& point) {
  int32_t x = 0;
  int32_t y = 0;
  in.ReadI32(x);
  const bool ok = in.ReadI32(y);
  point = CPoint(x, y);
  return ok;
}

bool ReadMarkedLineTail(ByteCursor& in, CPieceItem26* line, int32_t sizeCount) {
  if (!in.CheckCount(sizeCount, kTripleBytes)) return false;
  const size_t sizes = static_cast<size_t>(std::max(sizeCount, 0));
  line->SizeArrayA.assign(sizes, 0);
  line->SizeArrayB.assign(sizes, 0);
  line->SizeArrayC.assign(sizes, 0);
  for (size_t s = 0; s < sizes; ++s) {
    in.ReadI32(line->SizeArrayA[s]);
    in.ReadI32(line->SizeArrayB[s]);
    in.ReadI32(line->SizeArrayC[s]);
  }
  int32_t flag = 0;
  if (!in.ReadI32(flag)) return false;
  if (flag != 0) {
    auto node = std::make_unique<CVertexNode>();
    in.ReadU32(node->Flags);
    in.ReadI32(node->X);
    if (!in.ReadI32(node->Y)) return false;
    node->Prev = node.get();
    node->Next = node.get();
    line->MarkedNode = std::move(node);
  }
  return in.ReadI32(line->MarkShape);
}

bool ReadSlotFields(ByteCursor& in, CPieceItem3* slot, double factor) {
  int32_t* const stored[] = {&slot->SlotEndOffset, &slot->SlotWidth, &slot->Param0, &slot->EyeOuterRadius,
                             &slot->EyeRadius, &slot->BarLength};
  const bool scaled = ScalesCoordinates(factor);
  in.ReadI32(slot->Style);
  for (int32_t* field : stored) {
    in.ReadI32(*field);
    if (scaled) *field = ScaledCoordinate(*field, factor);
  }
  return !in.Failed();
}

bool ReadDimensionTail(ByteCursor& in, CPieceItem28* dimension) {
  in.ReadI32(dimension->Kind);
  in.ReadI32(dimension->FirstItemType);
  in.ReadI32(dimension->SecondItemType);
  return in.ReadCountedText(dimension->Text);
}
