// Walking along a piece's outline, and putting notches into it.
//
// Before a piece is written, the DXF and AAMA writers can cut each notch into
// the cut line itself: the notch becomes two vertices of the curve, half the
// notch's width along the curve on either side of the point where the notch
// sits. The walk measures arc length on one size's curve ring (the curve
// item's smoothed ring, model/items/curve_item.h); the inserted vertices go
// into the item's own ring with per-size copies graded like the notch mark,
// or, for one size only, straight into that size's curve ring.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

class CPieceItem;
class CSizeRecord;
struct CVertexNode;

// The point at signed arc length `d` from `start` along its ring: forward
// (Next) for d > 0, backward (Prev) for d < 0, `start` itself for 0. Segment
// lengths add up as doubles until the total, truncated toward zero, reaches
// |d|. On an exact hit the point is the node reached and `*node` is that node;
// otherwise the point lies on the last segment, each coordinate truncated
// toward zero, and `*node` is the segment's node that comes first in ring
// order (the node before the point). A distance longer than the ring wraps
// round; on a ring of no length the walk ends at `start`. FALSE, nothing
// written, only for a null start.
BOOL WalkAlongOutline(CVertexNode* start, int d, CVertexNode** node, int* x, int* y);

// Inserts a main vertex at (x, y) into the ring of `curve` (type 0, 12 or
// 21), with flags `flags` and Value `value`, followed by NUMBER OF SIZES - 1
// copies (kind 64) shifted from (x, y) as `model`'s copies are shifted from
// `model`. `node` is a node of `size`'s curve ring; the new vertex goes in
// front of the main vertex that ends the curve segment holding it. Returns
// the new vertex; null, and nothing changed, when `curve`, `size` or `model`
// is missing, the curve is of another type, or no main vertex ends the
// segment.
CVertexNode* InsertVertexWithSizeOffsets(CSizeRecord* size, CVertexNode* node, CPieceItem* curve, int value,
                                         int x, int y, uint32_t flags, CVertexNode* model);

// Gives an existing main vertex `target` the Value of `model`, kind 0 (the
// rest of its flags kept), and per-size copies shifted from the target as
// `model`'s copies are shifted from `model`; the target's own position stays.
// Only the per-size copies (kind 64) that follow the target are written.
void CopySizeOffsets(CVertexNode* target, int ignored, CVertexNode* model);

// Puts the two ends of every notch mark of `notches` (a notch item, model/
// items/segment_items.h) into `curve` (type 0, 12 or 21): each mark is found
// on the curve within 1 mm, and its ends lie half the notch width along the
// curve on either side. With `size` -1 the ends become graded main vertices
// of the curve (an existing vertex on the spot is kept and graded like the
// mark); with a size index they become nodes of that size's curve ring. The
// curve rings are not rebuilt afterwards. Any other curve type, or a size
// index the style does not have, changes nothing.
void InsertNotchesIntoCurve(CPieceItem* curve, CPieceItem* notches, int size);
