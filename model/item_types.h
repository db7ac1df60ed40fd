// The item type codes of a piece (the Type word of CPieceItem, stored in
// native files and matched by every reader and writer) and what each type is.
//
// Codes are file data: never renumber them. The class of code N is
// CPieceItemN (model/items/); the names here say what the pattern maker sees.
#pragma once

#include <cstdint>

enum ItemType : int32_t {
  kItemTypeOutline = 0,            // the piece's outline (cut line of a seamless piece)
  kItemTypeGrainLine = 1,          // grain line with its arrows
  kItemTypeFilledMarkers = 2,      // marker symbols, filled
  kItemTypeSlot = 3,               // slot and buttonhole symbols
  kItemTypeHollowMarkers = 4,      // marker symbols, hollow
  kItemTypeTwoPointLine = 5,       // a solid line between two points
  kItemTypeVShape = 6,             // V shape (dart tip) on the outline
  kItemTypeSegmentPairs = 7,       // segment pairs, points 2k and 2k+1
  kItemTypeClosedLine = 8,         // closed internal line, pen from its line attribute
  kItemTypeOpenLine = 9,           // open internal line, pen from its line attribute
  kItemTypeCircles = 10,           // circles, a centre and a radius node per circle
  kItemTypeText = 11,              // one text at an anchor
  kItemTypeCutLine = 12,           // cut line derived from the outline and seam widths
  kItemTypeNotches = 13,           // notch marks on the outline
  kItemTypeSolidClosedLine = 14,   // closed internal line, always solid
  kItemTypeSolidOpenLine = 15,     // open internal line, always solid
  kItemTypeDerivedCircles = 16,    // circles
  kItemTypeDerivedLine = 17,       // straight line derived from the outline
  kItemTypeDerivedNotches = 18,    // notch marks derived from the outline
  kItemTypeDerivedCornerMark = 19, // corner mark derived from the outline
  kItemTypeDerivedSegments = 20,   // dashed segments derived from the outline
  kItemTypeContour = 21,           // dotted closed contour
  kItemTypeDottedLine = 22,        // dotted two-point line
  kItemTypeDottedNotches = 23,     // dotted notch marks
  kItemTypeCornerMarks = 24,       // corner marks
  kItemTypeEndTicks = 25,          // segment pairs or end ticks
  kItemTypeMarkedLine = 26,        // smoothed marked line
  kItemTypeCrossMarker = 27,       // cross marker tied to a marked line
  kItemTypeDimension = 28,         // dimension between two vertices of named item types
  kItemTypeFrame = 29,             // quadrilateral frame
};

inline constexpr int32_t kItemTypeCount = 30;  // codes 0 .. 29

// How the DXF writer draws an item of a type.
enum ItemDxfShape : uint8_t {
  kDxfNone,      // not written
  kDxfPolyline,  // one polyline through the main vertices or the sampled curve; closed rings closed
  kDxfLines,     // lines: the grain line end to end, a notch from its outline point to its inner end
  kDxfPoints,    // a point at every main vertex
  kDxfCircles,   // a circle per centre, radius from the node after it
  kDxfText,      // the text
};

// How the AAMA writers treat an item type's vertices when rule numbers are
// given and written.
enum class AamaRuleItemClass : uint8_t {
  kCurve,    // key vertices, and curve points on request
  kPoints,   // every main vertex
  kNotches,  // the notch vertices (kinds 0 and 3)
  kNone,     // no rule
};

// What an item type is, for the code that treats types alike.
struct ItemTypeTraits {
  bool closedRing = false;     // a closed ring of vertices, kept counter-clockwise after loading and mirroring
  bool curve = false;          // keeps a smoothed curve per size (a CPieceCurveItem)
  bool graded = false;         // a drawn line whose vertices the user grades and picks on: outline and internal lines
  bool derived = false;        // rebuilt from the outline and its corner data; never drawn by hand
  bool cornerDerived = false;  // derived from the outline's corners: rebuilt only with the corner items, and
                               // left in place when a piece moves
  bool oldLayout = false;      // its vertices get per-size copies when an old file is converted
  bool tidied = false;         // its curve is tidied after loading (merged duplicates, far vertices)
  bool notchCurve = false;     // a closed curve that notch ends are walked along
  bool kindWalked = false;     // the transforms walk its ring by vertex kinds (graded runs, skip runs, singles)
  bool vShape = false;         // an end, an apex and an end: the ends change places when the outline turns over
  ItemDxfShape dxf = kDxfNone;
  AamaRuleItemClass aamaRule = AamaRuleItemClass::kNone;
};

inline constexpr ItemTypeTraits kItemTypeTraits[kItemTypeCount] = {
    // ring curve graded derived cornerDerived oldLayout tidied notchCurve kindWalked vShape dxf aamaRule
    {1, 1, 1, 0, 0, 1, 1, 1, 1, 0, kDxfPolyline, AamaRuleItemClass::kCurve},   // 0 outline
    {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, kDxfLines, AamaRuleItemClass::kPoints},     // 1 grain line
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, kDxfPoints, AamaRuleItemClass::kPoints},    // 2 filled markers
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, kDxfPoints, AamaRuleItemClass::kPoints},    // 3 slot
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, kDxfCircles, AamaRuleItemClass::kPoints},   // 4 hollow markers
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, kDxfPolyline, AamaRuleItemClass::kPoints},  // 5 two-point line
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 1, kDxfPolyline, AamaRuleItemClass::kPoints},  // 6 V shape
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, kDxfPolyline, AamaRuleItemClass::kPoints},  // 7 segment pairs
    {1, 1, 1, 0, 0, 1, 1, 0, 1, 0, kDxfPolyline, AamaRuleItemClass::kCurve},   // 8 closed internal line
    {0, 1, 1, 0, 0, 1, 1, 0, 1, 0, kDxfPolyline, AamaRuleItemClass::kCurve},   // 9 open internal line
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, kDxfCircles, AamaRuleItemClass::kPoints},   // 10 circles
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kDxfText, AamaRuleItemClass::kNone},        // 11 text
    {1, 1, 0, 1, 0, 0, 0, 1, 1, 0, kDxfPolyline, AamaRuleItemClass::kCurve},   // 12 cut line
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, kDxfLines, AamaRuleItemClass::kNotches},    // 13 notches
    {1, 1, 1, 0, 0, 1, 1, 0, 1, 0, kDxfNone, AamaRuleItemClass::kNone},        // 14 solid closed internal line
    {0, 1, 1, 0, 0, 1, 1, 0, 1, 0, kDxfNone, AamaRuleItemClass::kNone},        // 15 solid open internal line
    {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, kDxfNone, AamaRuleItemClass::kNone},        // 16 circles
    {0, 0, 0, 1, 0, 0, 0, 0, 1, 0, kDxfPolyline, AamaRuleItemClass::kPoints},  // 17 derived line
    {0, 0, 0, 1, 0, 0, 0, 0, 1, 0, kDxfLines, AamaRuleItemClass::kNotches},    // 18 derived notches
    {0, 0, 0, 1, 0, 0, 0, 0, 1, 1, kDxfPolyline, AamaRuleItemClass::kPoints},  // 19 derived corner mark
    {0, 0, 0, 1, 0, 0, 0, 0, 1, 0, kDxfPolyline, AamaRuleItemClass::kPoints},  // 20 derived segments
    {1, 1, 0, 1, 1, 1, 1, 1, 1, 0, kDxfPolyline, AamaRuleItemClass::kCurve},   // 21 contour
    {0, 0, 0, 1, 1, 1, 0, 0, 1, 0, kDxfPolyline, AamaRuleItemClass::kPoints},  // 22 dotted line
    {0, 0, 0, 1, 1, 1, 0, 0, 1, 0, kDxfLines, AamaRuleItemClass::kNotches},    // 23 dotted notches
    {0, 0, 0, 1, 1, 1, 0, 0, 1, 1, kDxfPolyline, AamaRuleItemClass::kPoints},  // 24 corner marks
    {0, 0, 0, 1, 1, 1, 0, 0, 1, 0, kDxfPolyline, AamaRuleItemClass::kPoints},  // 25 end ticks
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kDxfNone, AamaRuleItemClass::kNone},        // 26 marked line
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kDxfNone, AamaRuleItemClass::kNone},        // 27 cross marker
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kDxfNone, AamaRuleItemClass::kNone},        // 28 dimension
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kDxfNone, AamaRuleItemClass::kNone},        // 29 frame
};

constexpr bool IsKnownItemType(int32_t type) { return type >= 0 && type < kItemTypeCount; }
// The traits of a type code; an unknown code has none of them.
constexpr ItemTypeTraits TraitsOf(int32_t type) {
  return IsKnownItemType(type) ? kItemTypeTraits[type] : ItemTypeTraits{};
}
constexpr bool IsClosedRingType(int32_t type) { return TraitsOf(type).closedRing; }
constexpr bool IsCurveType(int32_t type) { return TraitsOf(type).curve; }
constexpr bool IsGradedType(int32_t type) { return TraitsOf(type).graded; }
constexpr bool IsDerivedType(int32_t type) { return TraitsOf(type).derived; }
constexpr bool IsCornerDerivedType(int32_t type) { return TraitsOf(type).cornerDerived; }
// The cut line and the marks built on it: derived, and rebuilt on every rebuild.
constexpr bool IsRebuiltType(int32_t type) { return IsDerivedType(type) && !IsCornerDerivedType(type); }
constexpr bool IsOldLayoutType(int32_t type) { return TraitsOf(type).oldLayout; }
constexpr bool IsTidiedCurveType(int32_t type) { return TraitsOf(type).tidied; }
constexpr bool IsNotchCurveType(int32_t type) { return TraitsOf(type).notchCurve; }
constexpr bool IsKindWalkedType(int32_t type) { return TraitsOf(type).kindWalked; }
constexpr bool IsVShapeType(int32_t type) { return TraitsOf(type).vShape; }
// The types a vertex lookup over every type passes over: the text and the
// rebuilt items. The nearest-vertex hit test passes over every derived item.
constexpr bool IsPassedOverByLookups(int32_t type) { return type == kItemTypeText || IsRebuiltType(type); }
constexpr bool IsPassedOverByHitTest(int32_t type) { return type == kItemTypeText || IsDerivedType(type); }
constexpr ItemDxfShape DxfShapeOf(int32_t type) { return TraitsOf(type).dxf; }
constexpr bool IsDxfPolylineType(int32_t type) { return DxfShapeOf(type) == kDxfPolyline; }
// A closed ring written as a polyline is written closed.
constexpr bool IsDxfClosedPolylineType(int32_t type) { return IsDxfPolylineType(type) && IsClosedRingType(type); }
// A curve written as a polyline may be written as its sampled curve.
constexpr bool HasDxfSampledCurve(int32_t type) { return IsDxfPolylineType(type) && IsCurveType(type); }
// The three notch item types (plain, derived, dotted) share the notch layout.
constexpr bool IsNotchType(int32_t type) {
  return type == kItemTypeNotches || type == kItemTypeDerivedNotches || type == kItemTypeDottedNotches;
}
