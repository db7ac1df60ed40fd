// Queries that combine the intersection and polyline operations: snapping a
// pointer to the nearest crossing of two figures, and locating, measuring and
// orienting against an open polyline. Polylines are PointList; output
// pointers must not be null and are written only when the result says so.
#pragma once

#include "design/geometry/polyline.h"
#include "platform/geometry_types.h"

// ---- Snapping to crossings ----
// Each takes the crossings of two figures and answers TRUE with the one
// nearest to (x, y) (the first on ties) and its distance when that distance
// is at most `radius`; FALSE, nothing written, when there is no crossing or
// the nearest lies farther.

// Two segments: a crossing point, a shared end or the end of a common run
// (SegmentIntersectionPt codes 1, 4 and 5).
BOOL SnapSegmentIntersection(int x, int y, double radius, int x1, int y1, int x2, int y2, int x3,
                             int y3, int x4, int y4, CPoint* out, double* distance);
// A segment and the circle about (cx, cy) of radius r.
BOOL SnapSegmentCircleIntersection(int x, int y, double radius, int x1, int y1, int x2, int y2,
                                   int cx, int cy, double r, CPoint* out, double* distance);
// Two circles.
BOOL SnapCircleIntersection(int x, int y, double radius, CPoint c1, double r1, CPoint c2, double r2,
                            CPoint* out, double* distance);
// A segment and a polyline, and two polylines: `index` gets the place of the
// crossing in the list of crossings, counted from 1.
BOOL SnapSegmentPolylineIntersection(int x, int y, double radius, int x1, int y1, int x2, int y2,
                                     const PointList& polyline, CPoint* out, double* distance,
                                     int* index);
BOOL SnapPolylineIntersection(int x, int y, double radius, const PointList& a, const PointList& b,
                              CPoint* out, double* distance, int* index);

// ---- Sections, sides and order ----

// Whether (x, y) lies within 5 units of the section of the polyline from p1
// to p2 (GetPolylineSection). `section` gets the section whenever both ends
// lie on the polyline; FALSE when one does not.
BOOL IsPointOnPolylineSection(int x, int y, int x1, int y1, int x2, int y2, const PointList& polyline,
                              PointList* section);

// The rounded length of the section from p1 to p2; 0 when an end is off the
// polyline.
int PolylineSectionLength(int x1, int y1, int x2, int y2, const PointList& polyline);

// Whether (x, y) lies right of the polyline (IsPointRightOfLine) or on it.
// The first segment whose box holds the point's perpendicular foot decides;
// segments of no length have no side and are passed over. When no segment
// does, the nearest vertex (the first on ties) and the next vertex apart from
// it decide, or, when only earlier vertices lie apart from it, the segment
// from it back to the nearest of those. FALSE for fewer than two points or
// when every vertex is the same point.
BOOL IsPointRightOfPolyline(int x, int y, const PointList& polyline);

// Locates p1 and p2 on the polyline within 5 units (HitTestPolyline) and
// inserts each query point that is not already a vertex into the segment
// that holds it. TRUE when p1 comes first from the head (or both land on the
// same vertex), FALSE when p2 does or when either point is off the polyline
// (nothing inserted then).
BOOL ComparePolylineOrder(PointList& polyline, int x1, int y1, int x2, int y2);

// The bisector at (x, y) of the polyline: (x, y) is located within 5 units
// and inserted as a vertex when it is not one; the points `distance` forwards
// and backwards along the polyline (PointAlongPolyline, an end where the
// polyline is shorter) give two directions from (x, y), and the result is
// the line A x + B y + C = 0 through (x, y) halfway between them, turned
// from the forward direction counter-clockwise by half of AngleBetween.
// FALSE, nothing written, when (x, y) is off the polyline or either
// direction vanishes. The second form is the same line.
BOOL PolylineBisectorLine(PointList& polyline, int x, int y, double distance, double* a, double* b,
                          double* c);
BOOL PolylineBisectorLine2(PointList& polyline, int x, int y, double distance, double* a, double* b,
                           double* c);
