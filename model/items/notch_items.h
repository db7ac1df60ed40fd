// Notch marks on the outline (type 13) and the derived notch marks (type 18).
// Both hold their notches in the layout of CPieceNotchItem (model/items/
// segment_items.h): the point group on the outline (a main vertex of kind 0
// with the point number in flags bits 18 and up), the inner-end group (mark
// shape in flags AND 0x700: 0x100 T, 0x200 V, 0x300 U, 0x400 slit, 0x500
// box; any other value draws no mark) and the width node right after it.
//
// Drawing writes the point numbers of every main vertex (while point numbers
// are shown) and then one mark per notch for every visible size, last size
// first. Type 13 draws solid and always; type 18 draws dotted and only while
// derived items are shown, numbers included. Selected items look the same.
#pragma once

#include "model/items/segment_items.h"

// The drawing the notch items share: the point numbers of every main vertex
// of `item` (while point numbers are shown), then every notch's mark in each
// visible size with a pen of `penStyle`. Nothing for an item without
// vertices. Types 18 and 23 call it only while derived items are shown.
void DrawNotchItem(const CPieceNotchItem& item, CDC* dc, double unitsPerPixel, int originX, int originY,
                   int penStyle);

class CPieceItem13 : public CPieceNotchItem {
 public:
  CPieceItem13(CPieceItem* prev, CPieceItem* next) : CPieceNotchItem(kItemTypeNotches, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Draws the notch whose point group starts at `node` in every visible size
  // with a solid pen; nothing unless `node` is a main vertex of kind 0 with
  // its whole notch in the ring.
  void DrawNotch(CDC* dc, double unitsPerPixel, int originX, int originY, CVertexNode* node) const;
};

class CPieceItem18 : public CPieceNotchItem {
 public:
  CPieceItem18(CPieceItem* prev, CPieceItem* next) : CPieceNotchItem(kItemTypeDerivedNotches, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // As CPieceItem13::DrawNotch with a dotted pen (not gated by the derived
  // items switch: Draw is).
  void DrawNotch(CDC* dc, double unitsPerPixel, int originX, int originY, CVertexNode* node) const;
};
