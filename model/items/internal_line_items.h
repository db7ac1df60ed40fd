// Internal lines of a piece: closed (types 8 and 14) and open (9 and 15)
// curves. Types 8 and 9 take their pen style from the line attribute (the low
// four bits of the attribute word); 14 and 15 are always solid.
#pragma once

#include "model/items/curve_item.h"

class CPieceItem8 : public CPiecePolylineItem {
 public:
  CPieceItem8(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(8, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem9 : public CPieceOpenLineItem {
 public:
  CPieceItem9(CPieceItem* prev, CPieceItem* next) : CPieceOpenLineItem(9, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem14 : public CPiecePolylineItem {
 public:
  CPieceItem14(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(14, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

class CPieceItem15 : public CPieceOpenLineItem {
 public:
  CPieceItem15(CPieceItem* prev, CPieceItem* next) : CPieceOpenLineItem(15, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
