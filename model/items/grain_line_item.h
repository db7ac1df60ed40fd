// The grain line (type 1): two graded vertices, start A and end B, with arrow
// heads chosen by the owning piece's Option2 (0 .. 3).
#pragma once

#include "model/piece_item.h"

class CPieceItem1 : public CPieceItem {
 public:
  CPieceItem1(CPieceItem* prev, CPieceItem* next) : CPieceItem(kItemTypeGrainLine, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};
