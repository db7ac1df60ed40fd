// Corners on the graded-point extents: the V shape (type 6: leg end, apex of
// kind 5, leg end, parameter point with the hole distance) and the derived
// corner mark (type 19: leg end, apex, leg end, parameter point with the hole
// distance and the packed end-mark sizes). Both draw their legs dashed with a
// 3 mm circle at the apex and, when the first leg end's shape code asks for
// it, a drill hole (3 mm circle and 5 mm cross) on the corner's bisector at
// the parameter point's distance from the apex. An item that does not hold
// exactly four points per size draws nothing.
//
// A corner whose bisector has no direction in a size (a leg of no length, or
// legs that point in opposite directions so that the bisector point falls on
// the apex) draws no hole in that size, and a leg of no length no leg mark.
#pragma once

#include "model/items/segment_items.h"

// The shape code on a corner's first leg end that asks for a drill hole
// (flags AND 0xF00).
inline constexpr uint32_t kCornerHoleCode = 0x100;
// The kind of a V shape's apex vertex.
inline constexpr int kVShapeApexKind = 5;

// Draws the corner of `item` (exactly four points per size: leg end P0, apex
// P1, leg end P2, parameter point P3; anything else draws nothing) once for
// every visible size, last size first, with a dashed pen in the size's colour
// and the null brush: with `fullLegs` the legs P0-P1-P2 (and P2's pixel) and
// the 3 mm apex circle; without, the apex circle, 10 mm legs from the apex
// and an end mark at P0 and at P2 pointing to the apex, sized by P3's y; then
// the drill hole when the first size's P0 asks for it. The circles are vertex
// marks: on the screen they are left out when their centre lies outside the
// work window. Circle radius and cross half-length keep at least 3 pixels.
void DrawCornerEachSize(const CPieceItem& item, CDC* dc, double unitsPerPixel, int originX, int originY,
                        bool fullLegs);

class CPieceItem6 : public CPieceSimpleItem {
 public:
  CPieceItem6(CPieceItem* prev, CPieceItem* next) : CPieceSimpleItem(kItemTypeVShape, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Looks exactly like Draw.
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;

  // Moves the leg end `leg` (a main vertex of this ring) to the positions of
  // `source` and the nodes after it, size by size, and shifts the apex by as
  // much as the midpoint of the two leg ends moved in that size. `leg` is the
  // first leg's end when the main vertex after it is the apex (kind 5), else
  // the second's. Nothing for a null node or an empty ring.
  void MoveLegEnd(CVertexNode* source, CVertexNode* leg);

  // Sets the V's apex again at `depth` model units from the middle of its
  // mouth, on the mouth's perpendicular bisector on the old apex's side, and
  // rebuilds the outline of `piece` between the two leg ends (outline
  // vertices marked 0x800): the vertices between them go, the leg ends
  // become corners, and one closing vertex is put between them (model/
  // vshape_rebuild.cpp). Mode bits 0x300 choose the closing point: 0 the
  // mouth's middle, 0x100 (0x200) where the outline folded about the first
  // (second) leg meets the bisector; both bits count as 0. With bit 0x400 the
  // apex is graded along the V afterwards, else each size's apex follows
  // the first leg end's grading. The V's fourth point gets x `param`, y the
  // low halves of `packLow` and `packHigh`, and kind 105 with the mode's bits
  // 0x700; both leg ends get the flags (legFlags AND 0xFF00) OR 2. Nothing
  // changes when a leg end has no marked outline vertex, the V is not four
  // graded points and a fourth, or its mouth is not longer than 1 mm.
  void RebuildOnOutline(CPieceRecord* piece, int depth, int param, int packLow, int packHigh, uint32_t legFlags,
                        uint32_t mode);
};

// Shown only while derived items are shown. While lines are shown the legs
// run full length; otherwise each leg is 10 mm from the apex and each leg end
// carries an end mark (a stub along the leg with a crossbar), sized by the
// parameter point's y: low 16 bits the stub length, high 16 bits (signed) the
// crossbar width, in model units.
class CPieceItem19 : public CPieceSimpleItem {
 public:
  CPieceItem19(CPieceItem* prev, CPieceItem* next) : CPieceSimpleItem(kItemTypeDerivedCornerMark, prev, next) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Looks exactly like Draw.
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
};
