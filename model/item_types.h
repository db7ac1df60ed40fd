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

// What an item type is, for the code that treats types alike.
struct ItemTypeTraits {
  bool closedRing;  // a closed ring of vertices, kept counter-clockwise after loading and mirroring
  bool curve;       // keeps a smoothed curve per size (a CPieceCurveItem)
  bool graded;      // a drawn line whose vertices the user grades and picks on: outline and internal lines
  bool derived;     // rebuilt from the outline and its corner data; never drawn by hand
};

inline constexpr ItemTypeTraits kItemTypeTraits[kItemTypeCount] = {
    // closedRing curve graded derived
    {true, true, true, false},      // 0 outline
    {false, false, false, false},   // 1 grain line
    {false, false, false, false},   // 2 filled markers
    {false, false, false, false},   // 3 slot
    {false, false, false, false},   // 4 hollow markers
    {false, false, false, false},   // 5 two-point line
    {false, false, false, false},   // 6 V shape
    {false, false, false, false},   // 7 segment pairs
    {true, true, true, false},      // 8 closed internal line
    {false, true, true, false},     // 9 open internal line
    {false, false, false, false},   // 10 circles
    {false, false, false, false},   // 11 text
    {true, true, false, true},      // 12 cut line
    {false, false, false, false},   // 13 notches
    {true, true, true, false},      // 14 solid closed internal line
    {false, true, true, false},     // 15 solid open internal line
    {false, false, false, false},   // 16 circles
    {false, false, false, true},    // 17 derived line
    {false, false, false, true},    // 18 derived notches
    {false, false, false, true},    // 19 derived corner mark
    {false, false, false, true},    // 20 derived segments
    {true, true, false, true},      // 21 contour
    {false, false, false, true},    // 22 dotted line
    {false, false, false, true},    // 23 dotted notches
    {false, false, false, true},    // 24 corner marks
    {false, false, false, true},    // 25 end ticks
    {false, false, false, false},   // 26 marked line
    {false, false, false, false},   // 27 cross marker
    {false, false, false, false},   // 28 dimension
    {false, false, false, false},   // 29 frame
};

constexpr bool IsKnownItemType(int32_t type) { return type >= 0 && type < kItemTypeCount; }
// The traits of a type code; an unknown code has none of them.
constexpr ItemTypeTraits TraitsOf(int32_t type) {
  return IsKnownItemType(type) ? kItemTypeTraits[type] : ItemTypeTraits{false, false, false, false};
}
constexpr bool IsClosedRingType(int32_t type) { return TraitsOf(type).closedRing; }
constexpr bool IsCurveType(int32_t type) { return TraitsOf(type).curve; }
constexpr bool IsGradedType(int32_t type) { return TraitsOf(type).graded; }
constexpr bool IsDerivedType(int32_t type) { return TraitsOf(type).derived; }
// The three notch item types (plain, derived, dotted) share the notch layout.
constexpr bool IsNotchType(int32_t type) {
  return type == kItemTypeNotches || type == kItemTypeDerivedNotches || type == kItemTypeDottedNotches;
}
