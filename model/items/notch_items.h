// Notch marks on the outline (type 13) and the derived notch marks (type 18).
// Mark shapes (flags AND 0x700 of the inner end): 0x100 T, 0x200 V, 0x300 U,
// 0x400 slit, 0x500 box; any other value draws no mark.
#pragma once

#include "model/items/segment_items.h"

class CPieceItem13 : public CPieceNotchItem {
 public:
  CPieceItem13(CPieceItem* prev, CPieceItem* next) : CPieceNotchItem(13, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem18 : public CPieceNotchItem {
 public:
  CPieceItem18(CPieceItem* prev, CPieceItem* next) : CPieceNotchItem(18, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
