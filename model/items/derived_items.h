// The dotted derived items that mark features of the outline: the closed
// contour (21), two-point lines (22), notches (23), corner marks with an
// optional drill hole (24) and point pairs drawn as lines or end ticks (25).
// The readers and the item factory make them; the derived-item rebuild only
// deletes them.
//
// All five draw only while g_DrawFlagDerivedItems is set. Shown selected they
// draw only while g_DrawFlagFill22to25 is set (type 21: while
// g_DrawFlagType21Marks is set), and type 22 then draws whatever the derived
// items switch says. Each visible size is drawn in its own colour, the last
// size first; a size whose figure has no direction (coincident points) draws
// its bare line or nothing.
#pragma once

#include "model/items/curve_item.h"
#include "model/items/segment_items.h"

// Dotted closed contour, drawn from its curve rings. Shown selected (while
// g_DrawFlagType21Marks is set) it also gets the vertex marks that the mark
// switches ask for: 5-pixel squares at key vertices, small circles at curve
// vertices.
class CPieceItem21 : public CPiecePolylineItem {
 public:
  CPieceItem21(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(kItemTypeContour, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// A dotted line between two graded points (exactly two per size, else
// nothing); shown selected, a filled 5-pixel square marks the second point.
class CPieceItem22 : public CPieceFillItem {
 public:
  CPieceItem22(CPieceItem* prev, CPieceItem* next) : CPieceFillItem(kItemTypeDottedLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// Dotted notch marks in the notch layout of CPieceNotchItem, with the point
// numbers of the main vertices while point numbers are shown.
class CPieceItem23 : public CPieceNotchItem {
 public:
  CPieceItem23(CPieceItem* prev, CPieceItem* next) : CPieceNotchItem(kItemTypeDottedNotches, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// A corner mark as the derived corner mark (type 19) draws it: four graded
// points per size, P0 and P2 the ends of the two legs, P1 the corner and P3 a
// parameter point (x: the drill hole's distance from the corner; y: low 16
// bits the end tick's stem length, high 16 bits, signed, its crossbar
// length). Full legs while lines are shown, else 10 mm legs with an end tick
// at each leg end; a 3 mm circle at the corner; and a drill hole on the
// corner's bisector when the first size's P0 has the hole code. Nothing for
// an item that does not hold exactly four points per size.
class CPieceItem24 : public CPieceSimpleItem {
 public:
  CPieceItem24(CPieceItem* prev, CPieceItem* next) : CPieceSimpleItem(kItemTypeCornerMarks, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// Pairs (P, Q) of graded points, points 2k and 2k + 1 of each size; an odd
// last point is left out. Drawn dashed: while lines are shown a line from P
// to Q, else an end tick at each end sized like a notch (stem
// g_NotchSizeB, crossbar g_NotchSizeA, in tenths of a millimetre). The base's
// own word is not read.
class CPieceItem25 : public CPieceSegmentItem {
 public:
  CPieceItem25(CPieceItem* prev, CPieceItem* next) : CPieceSegmentItem(kItemTypeEndTicks, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
