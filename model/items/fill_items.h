// Straight lines between two graded points on the graded-point extents: the
// two-point line (type 5) and the derived straight line (type 17).
#pragma once

#include "model/items/segment_items.h"

class CPieceItem5 : public CPieceFillItem {
 public:
  CPieceItem5(CPieceItem* prev, CPieceItem* next) : CPieceFillItem(5, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem17 : public CPieceFillItem {
 public:
  CPieceItem17(CPieceItem* prev, CPieceItem* next) : CPieceFillItem(17, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
