// Operations on point lists: curves, seam lines and outlines of the design
// model. Locating a point on a curve, walking a length along it, cutting out
// a section, splicing a line into a closed outline, intersecting and
// measuring.
//
// A polyline is a PointList running from head to tail; a ring stores each
// vertex once, the closing segment tail -> head implied. A position is a
// PointPos of the caller's list, its end() standing for "none". Positions
// (prev, at, next) name the two ends of the segment that holds the point
// found (prev before next in the list, the closing segment of a ring being
// (tail, head)); at is the vertex itself when the query equals one, and end()
// otherwise. Output lists are emptied before use; output pointers must not be
// null. Rounded values are rounded half away from zero.
#pragma once

#include <list>

#include "design/geometry/primitives.h"
#include "platform/geometry_types.h"

using PointList = std::list<CPoint>;
using PointPos = PointList::const_iterator;

// ---- Search and hit testing ----

// The first point equal to (x, y), or end().
PointPos FindPointInList(const PointList& list, int x, int y);

// at = the first point equal to (x, y), prev and next its neighbours (end()
// at the ends). FALSE, nothing written, when there is none.
BOOL FindPointNeighbours(const PointList& list, int x, int y, PointPos* prev, PointPos* at,
                         PointPos* next);

// As FindPointNeighbours, but (prev, next) name the segment that holds the
// point: (at, successor), or (predecessor, at) at the tail.
BOOL FindPointNeighboursAlt(const PointList& list, int x, int y, PointPos* prev, PointPos* at,
                            PointPos* next);

// The point of the polyline nearest to (x, y) within `tolerance`. A query on
// a vertex gives that vertex at distance 0. Otherwise each segment near the
// query is tested with NearestPointOnSegment, a later segment winning a tie.
// FALSE for fewer than two points or nothing within the tolerance.
BOOL HitTestPolyline(const PointList& list, double tolerance, int x, int y, CPoint* nearest,
                     double* distance, PointPos* prev, PointPos* at, PointPos* next);

// HitTestPolyline on a ring, the closing segment included.
BOOL HitTestClosedPolyline(const PointList& ring, double tolerance, int x, int y, CPoint* nearest,
                           double* distance, PointPos* prev, PointPos* at, PointPos* next);

// The list point nearest to (x, y) by PointDistance (the first on ties) and
// that distance; (0, 0) and 2147483647 for an empty list.
CPoint NearestListPoint(int x, int y, const PointList& list, int* distance);

// Among the points q whose offset q - p0 lies, coordinate by coordinate, on
// the same side of zero as p1 - p0 (both >= 0 or both < 0), the one nearest
// to p1 (the first on ties). FALSE, nothing written, when there is none.
BOOL NearestPointAhead(int x0, int y0, int x1, int y1, const PointList& list, CPoint* out);

// IsPointInPolygon over the list; 0 for fewer than three points.
int IsPointInPointList(int x, int y, const PointList& list);

// The runs of consecutive segments whose bounding rectangles meet the square
// of half-size `halfSize` about (x, y), each run as a polyline.
void CollectSegmentsNearPoint(int x, int y, int halfSize, const PointList& list,
                              std::list<PointList>* runs);

// ---- Walking and measuring ----

// Sum of the segment lengths, rounded (and exact). The closed forms add the
// segment tail -> head.
int PolylineLength(const PointList& list);
int PolylineLengthEx(const PointList& list, double* exact);
int ClosedPolylineLength(const PointList& list);
int ClosedPolylineLengthEx(const PointList& list, double* exact);

// The point at `length` along the polyline: from the head for length >= 0,
// from the tail for length < 0, segments of no length skipped. (prev, at,
// next) describe the segment reached, at the vertex when the point is one.
// FALSE, nothing written, when the polyline is shorter.
BOOL PointAtLength(const PointList& list, double length, CPoint* point, PointPos* prev,
                   PointPos* at, PointPos* next);

// The point `length` along the open polyline from (x, y), which must lie on
// it within 5 units: forwards for length >= 0, backwards for length < 0.
// Running past an end gives FALSE with that end. The Vertex form gives the
// first vertex at or beyond the length.
BOOL PointAlongPolyline(const PointList& list, int x, int y, double length, CPoint* out);
BOOL VertexAlongPolyline(const PointList& list, int x, int y, double length, CPoint* out);

// The same on a ring, wrapping round; a length of many laps gives the point of
// its remainder. A length of 0 gives (x, y); a ring of no length asked for
// any other length gives FALSE.
BOOL PointAlongClosedPolyline(const PointList& ring, int x, int y, double length, CPoint* out);
BOOL VertexAlongClosedPolyline(const PointList& ring, int x, int y, double length, CPoint* out);

// The area enclosed by the list, closing edge included; 0 for two points or
// fewer.
double PolygonArea(const PointList& list);

// 1 when the ring turns clockwise with y pointing up, 0 when it turns
// counter-clockwise; judged at its lowest vertex against neighbours at least
// 200 units away. 1 for a ring of fewer than three distinct points.
BOOL GetRingOrientation(const PointList& ring);

// The bounding rectangle with right and bottom one past the greatest x and y;
// an empty rectangle for an empty list.
void GetPointListRect(CRect* rect, const PointList& list);
// The least and greatest x and y as a rectangle (no + 1).
void GetPointListExtent(CRect* rect, const PointList& list);
// The bounding rectangle of a segment, right and bottom one past the ends.
void GetSegmentRect(CRect* rect, int x1, int y1, int x2, int y2);

// ---- Editing and sections ----

// Removes the later of each pair of consecutive equal points; then, with two
// or more left, the tail when it equals the head.
void RemoveDuplicatePoints(PointList& list);
// Removes the later of each pair of consecutive equal points only; returns
// the number left.
int RemoveDuplicatePoints2(PointList& list);

// The ring in the opposite direction, its first point kept first.
void ReverseRing(const PointList& in, PointList* out);

// Inserts (x, y) keeping the polyline ordered along its main axis (x when the
// head and tail lie further apart in x, else y). Fewer than two points: added
// at the tail, the old count returned and `pos` set to it. Before the head
// when the keys fall from head to tail and the new key is below the head's:
// 0. Into the first segment k (1 for the first) whose key range holds the new
// key: k, the new point's index. Else at the tail: the new count.
int InsertPointByCoordinate(PointList& list, int x, int y, PointPos* pos);

// The section of the ring between two points on it (within 5 units), both
// included: Forward walks head-to-tail order from p1 to p2, Backward the other
// way, GetRingSection runs counter-clockwise (y up) and Alt forwards. FALSE
// when a point is off the ring.
BOOL GetRingSection(const PointList& ring, int x1, int y1, int x2, int y2, PointList* out);
BOOL GetRingSectionForward(const PointList& ring, int x1, int y1, int x2, int y2, PointList* out);
BOOL GetRingSectionBackward(const PointList& ring, int x1, int y1, int x2, int y2, PointList* out);
BOOL GetRingSectionAlt(const PointList& ring, int x1, int y1, int x2, int y2, PointList* out);

// The section of an open polyline from p1 to p2 (each within 2 units of it),
// backwards through the list when p2 comes first. FALSE when a point is off.
BOOL GetPolylineSection(const PointList& polyline, int x1, int y1, int x2, int y2, PointList* out);
BOOL GetPolylineSection2(int x1, int y1, int x2, int y2, const PointList& polyline, PointList* out);

// The polyline from its head up to (x, y), and from (x, y) to its tail.
BOOL GetPolylineStart(const PointList& polyline, int x, int y, PointList* out);
BOOL GetPolylineEnd(const PointList& polyline, int x, int y, PointList* out);

// Splices `line` into the ring: its ends are placed on the ring (an end off
// the ring is cut back to the line's first crossing with it), the longer of
// the two ring arcs between them is kept and closed with the line. FALSE,
// ring untouched, for a line of fewer than two points or an end that cannot
// be placed.
BOOL ReplaceRingSection(PointList& ring, const PointList& line);

// ---- Intersections with polylines ----

// Where the segment meets the polyline (crossings, touching and shared ends);
// consecutive repeats dropped. Returns the count.
int IntersectSegmentPolyline(int x1, int y1, int x2, int y2, const PointList& polyline,
                             PointList* out);
// Where the line meets the polyline's segments; repeats dropped as by
// RemoveDuplicatePoints. Returns the count.
int IntersectLinePolyline(double a, double b, double c, const PointList& polyline, PointList* out);
int IntersectLine2PPolyline(int x1, int y1, int x2, int y2, const PointList& polyline,
                            PointList* out);
// The points of IntersectLine2PPolyline that lie from p1 towards p2.
int IntersectRayPolyline(int x1, int y1, int x2, int y2, const PointList& polyline, PointList* out);

// The line through the two points against the segment reached `length` along
// the polyline from its head (NearStart) or its tail (NearEnd); the last one
// when the polyline is shorter. TRUE with the point when the line meets that
// segment's line.
BOOL IntersectLineNearStart(int x1, int y1, int x2, int y2, const PointList& polyline,
                            double length, CPoint* out);
BOOL IntersectLineNearEnd(int x1, int y1, int x2, int y2, const PointList& polyline,
                          double length, CPoint* out);

// Where the segments of two polylines cross; consecutive repeats dropped.
int IntersectPolylines(const PointList& a, const PointList& b, PointList* out);
// Where the polyline meets the circle, each point once.
int IntersectPolylineCircle(const PointList& polyline, int cx, int cy, double r, PointList* out);

// Clips the segment to the rectangle (edges at left, top, right, bottom),
// moving each end outside onto an edge. FALSE when nothing of it lies in the
// rectangle.
BOOL ClipSegmentToRect(const CRect& rect, int* x1, int* y1, int* x2, int* y2);
BOOL ClipSegmentToRectPt(const CRect& rect, CPoint* p1, CPoint* p2);
