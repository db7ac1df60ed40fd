// Internal lines of a piece: closed (types 8 and 14, drawn as polygons) and
// open (types 9 and 15, drawn as polylines) curves, graded per size and drawn
// from their curve rings, one figure per visible size in the size's colour.
//
// Types 8 and 9 take their pen style from the line attribute, the low four
// bits of the item's attribute word (`Tag`; the native files carry it in bits
// 16-19 of the head vertex's attribute word and the readers move it here),
// and show their vertex marks only while g_DrawFlagMarksType8And9 is set.
// Types 14 and 15 are always solid and always show their marks.
#pragma once

#include <cstdint>

#include "model/items/curve_item.h"

// The pen style of a type-8 or type-9 line for its line attribute (only the
// low four bits are read): 1 and 5 solid, 2 dash, 3 dot, 4 dash-dot, 6 to 15
// dot, and 0 the curve-mode default: dot while g_OptCurveMode is set, solid
// while it is 0.
int InternalLinePenStyle(int32_t lineAttribute);

// Closed internal line with the line attribute's pen.
class CPieceItem8 : public CPiecePolylineItem {
 public:
  CPieceItem8(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(kItemTypeClosedLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // The line, and while a vertex-mark switch is on its vertex marks: a
  // 5-pixel square at key vertices (kinds 0, 3), a small circle at curve
  // vertices (kinds 1, 2).
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// Open internal line with the line attribute's pen.
class CPieceItem9 : public CPieceOpenLineItem {
 public:
  CPieceItem9(CPieceItem* prev, CPieceItem* next) : CPieceOpenLineItem(kItemTypeOpenLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;

  // Turns the line round in every size: the main vertices run in the opposite
  // order, each still followed by its own per-size copies in size order, and
  // the former last main vertex becomes the head. The curve rings are not
  // rebuilt (SmoothCurves does that). Nothing for an empty ring.
  void ReverseDirection();
};

// Closed internal line, always solid.
class CPieceItem14 : public CPiecePolylineItem {
 public:
  CPieceItem14(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(kItemTypeSolidClosedLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// Open internal line, always solid.
class CPieceItem15 : public CPieceOpenLineItem {
 public:
  CPieceItem15(CPieceItem* prev, CPieceItem* next) : CPieceOpenLineItem(kItemTypeSolidOpenLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
