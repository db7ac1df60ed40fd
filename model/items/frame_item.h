// The quadrilateral frame (type 29): seven graded points, the corners P0..P3,
// an undrawn P4, and P5 and P6 describing the circles on the two diagonals
// (present when their flags AND 0xF00 is 0x100; x the distance from the
// diagonal's ends, y the radius).
#pragma once

#include "model/piece_item.h"

class CPieceItem29 : public CPieceItem {
 public:
  CPieceItem29(CPieceItem* prev, CPieceItem* next) : CPieceItem(kItemTypeFrame, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};
