// The dimension (type 28): two measured points of a piece, two extension
// lines, a dimension line with arrow heads (straight, or following the
// outline or an internal line between the two points) and a text along it.
// It shows only while g_DrawFlagType28 is set, in fixed colours (not per
// size), and draws the same whether selected or not.
//
// Vertices, from the ring's head: A the first measured point, B the second,
// C the end of the dimension line on A's side, D its end on B's side; A-C and
// B-D are the extension lines.
#pragma once

#include <cstdint>

#include "model/piece_item.h"
#include "platform/text.h"

class CPieceItem28 : public CPieceItem {
 public:
  CPieceItem28(CPieceItem* prev, CPieceItem* next) : CPieceItem(kItemTypeDimension, prev, next) {}
  // Calls DrawSelected: a dimension looks the same selected or not.
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Draws the dimension on its own piece (null: a straight dimension only).
  // The dimension line stops 8 pixels short of C and D on their extension
  // lines. Its text, Text as stored, is centred along the dimension line,
  // or turned along the extension line when the line is too short for it.
  // The device context is left as it was.
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;

  // The measured length in size `sizeIndex` (an index of the size ring; one
  // outside it measures size 0), truncated to model units. The measured
  // points are the vertices at A and B of the piece's items of
  // FirstItemType and SecondItemType, taken in that size; a point the piece
  // does not hold is A or B itself. Kind 1 measures across (x), 2 down (y),
  // 3 straight, 4 along the curve of the first item of FirstItemType that
  // holds both points (0 when none does, or it is no curve).
  int32_t Measure(int sizeIndex, CPieceRecord* piece) const;

  // 1 horizontal, 2 vertical, 3 straight, 4 along a line of the piece;
  // 0x101 .. 0x104 measure as 1 .. 4.
  int32_t Kind = 0;
  // Type codes of the items that hold the two measured points (0 the
  // outline, 8 or 9 an internal line).
  int32_t FirstItemType = 0;
  int32_t SecondItemType = 0;
  CString Text;
};

// Dimension kinds.
inline constexpr int32_t kDimensionAcross = 1;
inline constexpr int32_t kDimensionDown = 2;
inline constexpr int32_t kDimensionStraight = 3;
inline constexpr int32_t kDimensionAlongLine = 4;
