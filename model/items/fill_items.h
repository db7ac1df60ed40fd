// Straight lines between two graded points on the graded-point extents: the
// two-point line (type 5) and the derived straight line (type 17). Each draws,
// in every visible size, one line from its first point to its second; shown
// selected, a 5 x 5 pixel square in the size's colour marks the second point.
// An item that does not hold exactly two points per size draws nothing.
#pragma once

#include "model/items/segment_items.h"

// Draws the two-point line of `item` in every visible size with a pen of
// `penStyle` (and a solid brush of the size's colour when `withBrush`), and
// with `endSquare` the filled square (x - 2, y - 2, x + 3, y + 3) at the end
// point. Shared by the straight-line items.
void DrawTwoPointLine(const CPieceItem& item, CDC* dc, double unitsPerPixel, int originX, int originY,
                      int penStyle, bool withBrush, bool endSquare);

// A solid line.
class CPieceItem5 : public CPieceFillItem {
 public:
  CPieceItem5(CPieceItem* prev, CPieceItem* next) : CPieceFillItem(kItemTypeTwoPointLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// A dotted line made from the outline; Draw shows it only while derived
// items are shown, DrawSelected always.
class CPieceItem17 : public CPieceFillItem {
 public:
  CPieceItem17(CPieceItem* prev, CPieceItem* next) : CPieceFillItem(kItemTypeDerivedLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
