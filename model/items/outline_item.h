// The piece outline (type 0): a closed curve of main vertices of kinds 0 to 3
// with their per-size copies, and the corner parameter nodes (kind 128) after
// the vertices that carry corner data.
#pragma once

#include "model/items/curve_item.h"

class CPieceItem0 : public CPiecePolylineItem {
 public:
  CPieceItem0(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(0, prev, next) {}

  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
