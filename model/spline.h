// Spline smoothing of curve items. A curve item draws and exports each run
// of smooth vertices as an interpolating cubic spline through them: the
// spline's parameter is the chord length between knots, its second derivative
// is continuous at every inner knot, and an open run has free ends while a
// closed run (last point repeating the first) is periodic. Each span is then
// sampled adaptively: a point of the curve is inserted wherever the polyline
// strays from it by the tolerance or more.
#pragma once

#include <cstdint>
#include <vector>

#include "design/geometry/tridiagonal.h"
#include "platform/win_types.h"

struct CVertexNode;
class CVertexRing;

// One input vertex: its flags word (the vertex kind in the low byte) and its
// position in model units.
struct CFlaggedPoint {
  uint32_t Flags = 0;
  int32_t X = 0;
  int32_t Y = 0;
};

// The flags word of every point that sampling adds between two knots.
inline constexpr uint32_t kSplineSampleFlags = 100;

// Samples the spline through `count` points as a polyline; knots keep their
// flags, added points carry kSplineSampleFlags. `tolerance` is the largest
// distance in model units the polyline may keep from the curve; below 1 it
// is half a unit. With `closed` non-zero the last point must repeat the first.
//
// Points equal to the one before them take no part in the fit and are put
// back, with their own flags, right after their knot. Fewer than 3 distinct
// points (4 when closed), two knots at the same place, or a system that cannot
// be solved give the input back unchanged. A span adds at most 65536 points,
// so that hostile coordinates cannot exhaust memory.
std::vector<CFlaggedPoint> SampleCubicSpline(const CFlaggedPoint* points, int count, int tolerance,
                                             int closed);

// SampleCubicSpline as a ring of new vertex nodes (flags, x and y set),
// linked circularly by Prev and Next. `*head` receives the first node (null
// for no points) and `*outCount` the number of nodes; the caller owns the
// nodes and frees them. Always returns 1.
int InterpolateCubicSpline(const CFlaggedPoint* points, int count, int tolerance, int closed,
                           CVertexNode** head, int* outCount);

// Finds the next run of smooth vertices in a ring, starting at `from`. Kinds
// 0 and 2 are corners, kinds 1 and 3 smooth vertices; other nodes are passed
// over.
//  - No corner in the ring: the whole ring is one run; start = end = from; 1.
//  - A corner, but no smooth vertex: start = end = that corner and 1 when it
//    is the only corner, else 0 (no run).
//  - Otherwise start is the last corner before the first smooth vertex after
//    the first corner, end the first corner after that smooth vertex (start
//    itself when there is no other); 1.
// Every walk ends when it comes round to where it began.
int FindSplineRun(CVertexNode* from, CVertexNode** start, CVertexNode** end);

// Inserts the spline points of every smooth run of `ring` (FindSplineRun)
// between its vertices; the vertices themselves stay where they are. A run
// from a smooth vertex round to itself is sampled as a closed curve. Each run
// starts at another corner, so a damaged ring cannot make the walk go on.
void SmoothRing(CVertexRing& ring);
