// The seam allowance of a design piece: the closed line drawn at a distance
// from the piece outline, one per size. Each seam entry of the piece's
// boundary puts an incoming and an outgoing width and a corner shape on one
// outline point; the outline points between two keyed points take widths
// that change evenly with the length along the outline.
//
// The outline handed in runs counter-clockwise with y up (the boundary turns
// it so). A positive width puts the allowance to the right of the direction
// of travel (outside the piece), a negative one to the left. Coordinates are
// int32 model units; the scale (model units per millimetre) sets the few
// thresholds that are lengths. Results are rounded half away from zero and
// every computation stays in doubles, so hostile widths and coordinates
// clamp instead of overflowing.
#pragma once

#include <cstdint>
#include <vector>

#include "design/elements/boundary.h"
#include "design/geometry/polyline.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

// Builds the seam line of one size of `outline` from the seam entries, whose
// points are read at `size`.
// FALSE, `seamLine` untouched, when there is nothing to build: no entry, or
// an outline of fewer than three points (the seam line of the size then
// stays as it was). The caller answers for sizes outside its size table.
// Otherwise TRUE and `seamLine` replaced: empty when no outline point
// carries an entry, else the seam line, not closed by a repeated first
// point and starting at its first point of least x.
BOOL BuildSeamAllowance(const PointList& outline, const std::vector<CSeamEntry>& entries, int32_t size,
                        double scale, PointList& seamLine);

// Appends the one or two points of the plain offset corner at `p`, between
// the outline's neighbours `prev` and `next`: the mitre point of the two
// shifted edges, or the feet of `p` on them where the mitre does not exist,
// lies on the inside of an equal-width corner, or, for different widths,
// lies farther than five times their sum from `p`. `p` alone when it equals
// a neighbour.
void BuildOffsetCorner(CPoint prev, int32_t prevWidthOut, CPoint p, int32_t widthIn, int32_t widthOut,
                       CPoint next, int32_t nextWidthIn, PointList& out);

// Appends the points of the seam line at `p` for one corner kind (1 to 15;
// any other kind appends nothing). `offsetLine` is the plain offset line of
// the whole piece, closed by a repeated first point; the kinds that fold or
// extend the corner search along it. `cornerParam` is the length the kinds
// 10 to 15 take; `scale` sets the ten millimetres of the cut-off corners.
void BuildCorner(CPoint prev, int32_t prevWidthOut, CPoint p, int32_t widthIn, int32_t widthOut,
                 int32_t cornerKind, int32_t cornerParam, CPoint next, int32_t nextWidthIn,
                 const PointList& offsetLine, double scale, PointList& out);

// Cuts the loops out of a ring (lists of at least four points): where two
// segments that are not neighbours meet, the ring is split at the meeting
// point and the part of larger area is kept. Every cut takes at least one
// point away, so the pass ends on any ring.
void RemoveLoops(PointList& ring);

// Drops the middle point of every small zigzag: a segment shorter than one
// millimetre (`scale` units) with acute turns at both of its ends loses its
// far end. Lists of fewer than four points are left alone.
void RemoveSpikes(PointList& ring, double scale);
