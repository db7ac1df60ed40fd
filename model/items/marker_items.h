// Marker symbols. Types 2 (filled) and 4 (hollow): three points per symbol,
// the centre (a main vertex whose flags bits 8-11 give the shape: circle,
// cross, circle and cross, circle and long cross, rectangle), a single radius
// node and a single rectangle-size node. Type 3: slot symbols, two points per
// symbol (A then B) shaped by the seven words of the item.
#pragma once

#include <cstdint>

#include "model/piece_item.h"

class CPieceItem2 : public CPieceItem {
 public:
  CPieceItem2(CPieceItem* prev, CPieceItem* next) : CPieceItem(2, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};

class CPieceItem4 : public CPieceItem {
 public:
  CPieceItem4(CPieceItem* prev, CPieceItem* next) : CPieceItem(4, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};

class CPieceItem3 : public CPieceItem {
 public:
  CPieceItem3(CPieceItem* prev, CPieceItem* next) : CPieceItem(3, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  // Shape: one of 0, 1, 2, 4, 8, 16, 32, 64, 128, 256; others draw nothing.
  int32_t Style = 0;
  // The other six words are set by whoever makes the item; lengths in model
  // units.
  int32_t Param0 = 0;          // carried and copied, not drawn
  int32_t BarLength = 0;       // end bars (1, 16); half-width of the rectangle (128)
  int32_t SlotEndOffset = 0;   // from B to the slot's closed end or cross bar (4, 8)
  int32_t SlotWidth = 0;       // (4, 8, 16, 32)
  int32_t EyeRadius = 0;       // inner eye circle
  int32_t EyeOuterRadius = 0;  // outer eye arc
};
