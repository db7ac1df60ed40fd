// The dimension (type 28): measured points A and B, extension-line ends C
// and D (from the ring's head), a dimension line with arrow heads and a text.
#pragma once

#include <cstdint>

#include "model/piece_item.h"
#include "platform/text.h"

class CPieceItem28 : public CPieceItem {
 public:
  CPieceItem28(CPieceItem* prev, CPieceItem* next) : CPieceItem(28, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;

  // 1 horizontal, 2 vertical, 3 straight, 4 along a line of the piece;
  // 0x101 .. 0x104 measure as 1 .. 4.
  int32_t Kind = 0;
  // Type codes of the items that hold the two measured points (0 the
  // outline, 8 or 9 an internal line).
  int32_t FirstItemType = 0;
  int32_t SecondItemType = 0;
  CString Text;
};
