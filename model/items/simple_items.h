// Simple shapes on the graded-point extents: the V shape (type 6: leg end,
// apex of kind 5, leg end, parameter point with the hole distance) and the
// derived corner mark (type 19: leg end, apex, leg end, parameter point with
// the hole distance and the packed end-mark sizes).
#pragma once

#include "model/items/segment_items.h"

class CPieceItem6 : public CPieceSimpleItem {
 public:
  CPieceItem6(CPieceItem* prev, CPieceItem* next) : CPieceSimpleItem(6, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem19 : public CPieceSimpleItem {
 public:
  CPieceItem19(CPieceItem* prev, CPieceItem* next) : CPieceSimpleItem(19, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
