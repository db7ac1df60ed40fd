// The graded-point items whose extents are the graded vertex groups: the
// segment item base and its siblings for simple shapes, filled lines and
// notches. All four bases share one pair of extent rules: GetExtent takes the
// first size (all = 0) or every visible size, GetDrawExtent every size except
// the one given. The segment items proper: segment pairs (type 7) and dashed
// segments (type 20); the end ticks of type 25 are in derived_items.h.
//
// A graded vertex group is a main vertex (kind below 64) followed by the
// nodes of the other sizes, NUMBER OF SIZES nodes in all; node k of a group is
// the vertex in the k-th size of the style's size ring. A damaged ring may
// hold a short group (the next main vertex comes early) or no main vertex at
// all: the walks below stop at the next main vertex and never take more nodes
// than the ring holds.
#pragma once

#include <cstdint>

#include "model/piece_item.h"

// The graded extents of the four bases below. Both start the bounds at
// 0x7FFFFFFF (minima) and 0x80000000 (maxima) and widen them by the counted
// nodes; with nothing counted the bounds stay there. GradedItemExtent counts
// node 0 of every group when `all` is 0 (visible or not), else the nodes of
// the visible sizes. GradedItemDrawExtent counts every size's node except the
// one of `skip` (hidden sizes included; every size when `skip` is none of the
// style's sizes).
void GradedItemExtent(const CPieceItem& item, int all, int* minX, int* maxX, int* minY, int* maxY);
void GradedItemDrawExtent(const CPieceItem& item, CSizeRecord* skip, int* minX, int* maxX, int* minY,
                          int* maxY);

// The end mark of a segment drawn at its end `end`, pointing to its other end
// `toward`: a stub of `stub` model units along the segment and a crossbar of
// `bar` model units across the stub's inner end, in the pen the caller
// selected. The crossbar ends with one pixel more below its end so that its
// last pixel shows. Nothing is drawn when the two ends coincide (the segment
// has no direction).
void DrawSegmentEndMark(CDC* dc, CPoint end, CPoint toward, int stub, int bar, double unitsPerPixel,
                        int originX, int originY);

// The stub and crossbar of the segment end marks from the notch settings
// (tenths of a millimetre, g_NotchSizeB and g_NotchSizeA), truncated to model
// units as the marks were always drawn.
struct SegmentEndMarkSizes {
  int Stub = 0;
  int Bar = 0;
};
SegmentEndMarkSizes CurrentSegmentEndMarkSizes();

// One segment p-q of a marked item: a plain line while g_DrawFlagLines is set,
// else an end mark at each end (DrawSegmentEndMark), in the caller's pen.
void DrawMarkedSegment(CDC* dc, CPoint p, CPoint q, SegmentEndMarkSizes marks, double unitsPerPixel, int originX,
                       int originY);

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

// Mark shapes of a notch: the flags of its inner end AND 0x700.
inline constexpr uint32_t kNotchShapeMask = 0x700;
inline constexpr uint32_t kNotchShapeT = 0x100;     // a cut with a bar across its inner end
inline constexpr uint32_t kNotchShapeV = 0x200;     // a V from the outline to the inner end
inline constexpr uint32_t kNotchShapeU = 0x300;     // a U, round at the inner end
inline constexpr uint32_t kNotchShapeSlit = 0x400;  // a single cut
inline constexpr uint32_t kNotchShapeBox = 0x500;   // a box open towards the outline

// One notch is two graded groups (the point on the outline, a main vertex of
// kind 0; the inner end, a main vertex whose flags byte 1 is the mark shape)
// and two single parameter nodes: the first holds the width in X (one value
// for every size) and the notch's angle in tenths of a degree in Y; the
// second the position of the outline vertex the notch belongs to, with the
// direction code in its flags byte 1 (how the notch's place along the outline
// is measured from that vertex: 0 and 3 as a ratio of the span, 1 and 4 as a
// distance forward, 2 and 5 as a distance backward; 0 to 2 to the next
// corner, 3 to 5 to the next main vertex). The next notch starts at the next
// main vertex of kind 0.
class CPieceNotchItem : public CPieceItem {
 public:
  CPieceNotchItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceItem(type, prev, next) {}
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  // The rectangle of a notch of `width` model units centred on the segment
  // from its base (the inner end) to its tip (the point on the outline), in
  // the order right tip, left tip, left base, right base ("right" of the
  // direction base -> tip). A tip on its base gives four corners on that
  // point.
  static void NotchMarkGeometry(int tipX, int tipY, int baseX, int baseY, int width, CPoint corners[4]);
  // Draws one mark of `shape` (flags of the inner end; only bits 0x700 are
  // read) over the corners NotchMarkGeometry gives, with the pen the caller
  // selected. Line figures end with one pixel more below their last point.
  // Any shape other than the five draws nothing.
  static void DrawNotchMark(CDC* dc, uint32_t shape, const CPoint corners[4], double unitsPerPixel,
                            int originX, int originY);

  // Draws the notch whose point group starts at `point` (a main vertex of
  // kind 0) once for every visible size, last size first, with a pen of
  // `penStyle` in each size's colour. Nothing for any other node, or when the
  // ring is too short to hold the notch's two groups and its width node.
  void DrawNotchEachSize(CDC* dc, double unitsPerPixel, int originX, int originY, CVertexNode* point,
                         int penStyle) const;
  // Draws every notch of the item: DrawNotchEachSize for each main vertex of
  // kind 0. (The point numbers are DrawVertexPointNumbers' work.)
  void DrawNotches(CDC* dc, double unitsPerPixel, int originX, int originY, int penStyle) const;
};

// Segment pairs: points 2k and 2k + 1 of a size are the ends of segment k; an
// odd last point pairs with the first. Drawn dashed, or, while
// g_DrawFlagLines is clear, as an end mark at each end sized like a notch.
class CPieceItem7 : public CPieceSegmentItem {
 public:
  CPieceItem7(CPieceItem* prev, CPieceItem* next) : CPieceSegmentItem(kItemTypeSegmentPairs, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};

// Dashed segments, two points per segment (an odd last point is not drawn);
// shown only while g_DrawFlagDerivedItems is set.
class CPieceItem20 : public CPieceSegmentItem {
 public:
  CPieceItem20(CPieceItem* prev, CPieceItem* next) : CPieceSegmentItem(kItemTypeDerivedSegments, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
