// The graded-point items whose extents are the graded vertex groups: the
// segment item base and its siblings for simple shapes, filled lines and
// notches. All four bases share one pair of extent rules: GetExtent takes the
// first size (all = 0) or every visible size, GetDrawExtent every size except
// the one given. The segment items proper: segment pairs (type 7) and dashed
// segments (type 20); the end ticks of type 25 are in derived_items.h.
#pragma once

#include <cstdint>

#include "model/piece_item.h"

// The graded extents of the four bases below.
void GradedItemExtent(const CPieceItem& item, int all, int* minX, int* maxX, int* minY, int* maxY);
void GradedItemDrawExtent(const CPieceItem& item, CSizeRecord* skip, int* minX, int* maxX, int* minY,
                          int* maxY);

class CPieceSegmentItem : public CPieceItem {
 public:
  CPieceSegmentItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceItem(type, prev, next) {}
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  // The class's own word: for type 7 the off-outline flag; type 25 does not
  // use it. Copied with the item.
  int32_t SegmentWord = 0;
};

class CPieceSimpleItem : public CPieceItem {
 public:
  CPieceSimpleItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceItem(type, prev, next) {}
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};

class CPieceFillItem : public CPieceItem {
 public:
  CPieceFillItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceItem(type, prev, next) {}
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};

// One notch is two graded groups (the point on the outline, a main vertex of
// kind 0; the inner end, whose flags byte 1 is the mark shape 1..5) and two
// single parameter nodes (width and angle; the outline vertex it belongs to).
class CPieceNotchItem : public CPieceItem {
 public:
  CPieceNotchItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceItem(type, prev, next) {}
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;
};

// Segment pairs: points 2k and 2k + 1 of a size are the ends of segment k.
class CPieceItem7 : public CPieceSegmentItem {
 public:
  CPieceItem7(CPieceItem* prev, CPieceItem* next) : CPieceSegmentItem(7, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// Dashed segments, two points per segment.
class CPieceItem20 : public CPieceSegmentItem {
 public:
  CPieceItem20(CPieceItem* prev, CPieceItem* next) : CPieceSegmentItem(20, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
