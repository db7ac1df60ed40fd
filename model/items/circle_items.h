// Circles: each circle is a centre group (a main vertex with its per-size
// copies) followed by a radius group whose first node is not a main vertex
// (its x the radius of that size). Type 10 (drawn dotted) is read by the
// readers, type 16 (drawn solid) is a plain item of the piece. Both draw every
// circle hollow in each visible size's colour, and their extents are the
// squares centre +- radius of the sizes counted.
#pragma once

#include "model/piece_item.h"

// The drawing and extents both circle types share; they differ in the pen
// style of their circles only.
class CPieceCircleItem : public CPieceItem {
 public:
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

 protected:
  CPieceCircleItem(int32_t type, int penStyle, CPieceItem* prev, CPieceItem* next)
      : CPieceItem(type, prev, next), penStyle_(penStyle) {}

 private:
  int penStyle_;
};

class CPieceItem10 : public CPieceCircleItem {
 public:
  CPieceItem10(CPieceItem* prev, CPieceItem* next);
};

class CPieceItem16 : public CPieceCircleItem {
 public:
  CPieceItem16(CPieceItem* prev, CPieceItem* next);

  // Draws the one circle whose centre group starts at the main vertex
  // `centre` of this item's ring, straight from the ring: size s takes the
  // centre group's node s and the radius group's node s. Nothing for a null
  // centre.
  void DrawCircle(CDC* dc, double unitsPerPixel, int originX, int originY, CVertexNode* centre);
};
