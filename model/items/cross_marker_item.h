// The cross marker (type 27): a fixed-size screen symbol at the head node of
// the ring, with a red centre dot while Dot is non-zero.
#pragma once

#include <cstdint>

#include "model/piece_item.h"

class CPieceItem26;

class CPieceItem27 : public CPieceItem {
 public:
  CPieceItem27(CPieceItem* prev, CPieceItem* next) : CPieceItem(kItemTypeCrossMarker, prev, next) {}
  ~CPieceItem27() override { Dot = 0; }
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;

  // Non-zero: the red centre dot is drawn. Readers set it from the file;
  // tying the marker to its marked line sets it too.
  int32_t Dot = 0;
  // The marked line (type 26) of the same piece that this marker belongs to,
  // set when a piece is copied; not owned. Not copied by cloning: the piece
  // copy ties it again.
  CPieceItem26* MarkLink = nullptr;
};
