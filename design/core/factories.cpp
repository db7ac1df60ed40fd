#include "design/core/factories.h"

#include "design/core/design_element.h"
#include "design/core/graded_object.h"
#include "model/piece_item.h"

// Each table is made on first use, so that a registration from any setup
// code finds it built.

ObjectKindFactory& GetObjectKindFactory() {
  static ObjectKindFactory table;
  return table;
}

PointKindFactory& GetPointKindFactory() {
  static PointKindFactory table;
  return table;
}

CurveKindFactory& GetCurveKindFactory() {
  static CurveKindFactory table;
  return table;
}

ElementFactory& GetElementFactory() {
  static ElementFactory table;
  return table;
}

ItemCodeFactory& GetItemCodeFactory() {
  static ItemCodeFactory table;
  return table;
}

namespace {

// Whether `value` is one bit between 1 and `highest` (itself one bit).
bool IsSingleBitUpTo(int32_t value, int32_t highest) {
  return value >= 1 && value <= highest && (value & (value - 1)) == 0;
}

// The last data version in which object kind 5 is a text.
constexpr int32_t kLastVersionWithTextKind5 = 118;

}  // namespace

bool IsLayoutObjectKind(int32_t kind, int32_t version) {
  switch (kind) {
    case kObjectKindPoint:
    case kObjectKindLine:
    case kObjectKindCurve:
    case kObjectKindText: return true;
    case kObjectKindOldText: return version <= kLastVersionWithTextKind5;
    default: return false;
  }
}

bool IsLayoutPointKind(int32_t pointKind) { return pointKind >= 1 && pointKind <= 47; }

bool IsLayoutCurveKind(int32_t curveKind) { return curveKind >= 1 && curveKind <= 8; }

bool IsLayoutElementCode(const ElementCode& code) {
  switch (code.type) {
    case kElementTypeConstruct: return IsSingleBitUpTo(code.subtype, 512);
    case kElementTypeShape: return IsSingleBitUpTo(code.subtype, 32);
    case kElementTypeSymbol: return IsSingleBitUpTo(code.subtype, 256);
    case kElementTypeBoundary:
    case 2:
    case 4:
    case 8:
    case 16:
    case 128:
    case 256:
    case 512: return code.subtype == 0;
    default: return false;
  }
}

bool IsLayoutItemCode(int32_t code) { return code >= 0 && code <= 29; }
