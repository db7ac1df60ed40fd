// The piece outline (type 0): a closed curve of main vertices of kinds 0 to 3
// with their per-size copies, and the corner parameter nodes (kind 128) after
// the vertices that carry corner data. It is drawn once for every visible size
// in that size's colour, and it measures and places points along its curve for
// the notches of the piece: the AAMA and Gerber readers turn a stored notch
// into a position on the outline and back with it.
//
// Every length here is a curve length in model units along the curve ring of
// the size given (sums of segment lengths in doubles); the curve rings must be
// built (SmoothCurves) before anything is drawn or measured. A size record
// that is not in the style, or a vertex without a curve node, leaves the
// outputs untouched.
//
// Notch placement codes (the notch kind of a flags word, bits 8 to 10) say how
// a position along the outline is given:
//   0x000  ratio a : b     from the start node forward, span to the next key vertex
//   0x100  distance a      from the start node forward, span to the next key vertex
//   0x200  distance b      from the span's end backward, span from the previous key vertex
//   0x300  ratio a : b     as 0x000, span to the next vertex that is no spline point
//   0x400  distance a      as 0x100, span to the next vertex that is no spline point
//   0x500  distance b      as 0x200, span from the previous vertex that is no spline point
// Key vertices are kinds 0 and 3.
#pragma once

#include "model/items/curve_item.h"

inline constexpr int kNotchRatioToKey = 0x000;
inline constexpr int kNotchFromStartToKey = 0x100;
inline constexpr int kNotchFromEndToKey = 0x200;
inline constexpr int kNotchRatioToVertex = 0x300;
inline constexpr int kNotchFromStartToVertex = 0x400;
inline constexpr int kNotchFromEndToVertex = 0x500;

class CPieceItem0 : public CPiecePolylineItem {
 public:
  CPieceItem0(CPieceItem* prev, CPieceItem* next) : CPiecePolylineItem(kItemTypeOutline, prev, next) {}

  // Every visible size's curve as a closed polygon, hollow, with a solid pen
  // in the size's colour; the first size ends on top. `piece` is not read.
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Nothing while g_DrawFlagOutlineMarks is 0. Otherwise the curves as Draw
  // draws them, with the vertex marks that g_DrawFlagKeyVertexMarks (key
  // vertices: squares) and g_DrawFlagCurveVertexMarks (curve vertices:
  // circles) switch on.
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;

  // End point of a notch mark of `length` model units at the outline point
  // (x, y) of that size: the mark runs along the bisector of the outline's
  // directions before and after the point (each taken over up to 5 mm of
  // curve, or up to the first vertex at least 1 mm away), into the piece,
  // then turned by `angle` tenths of a degree. When the curve offers no
  // direction (it ends where it starts) the end point is the point itself.
  void CalcNotchEndPoint(CSizeRecord* size, int x, int y, int length, int angle, int* outX, int* outY) const;
  // The point at a position between two main vertices on that size's curve,
  // given by a notch placement code with its values a and b (see above).
  // Nothing is written for another code or when a vertex has no curve node.
  void PointBetweenVertices(int a, int b, int code, CVertexNode* from, CVertexNode* to, CSizeRecord* size,
                            int* outX, int* outY) const;
  // PointBetweenVertices once its two vertices are mapped to their curve
  // nodes of the size (MapToCurveVertex, both non-null), for callers that
  // have mapped them already.
  void PointBetweenCurveNodes(int a, int b, int code, CVertexNode* curveFrom, CVertexNode* curveTo, int* outX,
                              int* outY) const;
  // The same from one main vertex, the span ending where the code says.
  void PointAtRatio(int a, int b, int code, CVertexNode* vertex, CSizeRecord* size, int* outX, int* outY) const;
  // Where the point (x, y) lies on its span: the span starts at the curve
  // node at (startX, startY); see MeasureSpan. The readers pass the notch
  // item being placed as `notchItem`; it is not read.
  void MeasureNotchPosition(int x, int y, int startX, int startY, int code, const CPieceItem* notchItem,
                            CSizeRecord* size, int* d1, int* d2, int* total) const;
  // Distances of the point (x, y), whose nearest curve node is `nearest`, on
  // the span that starts at the curve node `start` as the code says: `d1`
  // from the span's first end, `d2` from its last end, `total` the span's
  // length, corrected so that d1 + d2 = total. Nothing is written for another
  // code or when the span has no end.
  void MeasureSpan(int x, int y, CVertexNode* nearest, CVertexNode* start, int code, int* d1, int* d2,
                   int* total) const;
};
