// Points and lines in integer model units: line equations, feet of
// perpendiculars and distances. The design model places its construction
// points with these, and the curve items of the pattern model use the
// segment distance for picking.
//
// A line is the equation A x + B y + C = 0 in doubles. Coordinates handed back
// as integers are rounded half away from zero (RoundToNearest). An output
// argument is a pointer that must not be null; it is written only for the
// result codes each function names, and keeps its old contents otherwise.
#pragma once

#include <list>

#include "design/geometry/primitives.h"
#include "platform/geometry_types.h"

// The line through (x1, y1) and (x2, y2), always formed as A = y2 - y1,
// B = x1 - x2, C = -A x1 - B y1. Two equal points give A = B = C = 0.
void LineFromPoints(int x1, int y1, int x2, int y2, double* a, double* b, double* c);

// Where two lines meet. 1: one point, written to (x, y). 2: the same line.
// 0: parallel and apart. Lines count as parallel when |det| + 1 == 1; whether
// they coincide is then judged on C1 B2 - C2 B1, or on C1 A2 - C2 A1 when both
// are vertical.
int IntersectLines(double a1, double b1, double c1, double a2, double b2, double c2,
                   double* x, double* y);

// IntersectLines with the point rounded to model units, written for code 1
// only.
int IntersectLinesInt(double a1, double b1, double c1, double a2, double b2, double c2,
                      int* x, int* y);

// Foot of the perpendicular from (px, py) onto the line A x + B y + C = 0,
// rounded. Returns the IntersectLinesInt code of the line and its
// perpendicular through the point: 1 normally; for a line without direction
// (A = B = 0, codes 0 and 2) the foot is the point itself.
int ProjectPointOntoLine(int px, int py, double a, double b, double c, int* x, int* y);

// Foot of the perpendicular from (px, py) onto the unbounded line through the
// two points, rounded; the point itself when the two points coincide.
CPoint ProjectPointOntoLine2P(int px, int py, int x1, int y1, int x2, int y2);

// Distance from (x, y) to the line A x + B y + C = 0; 0 when the line has no
// direction (A^2 + B^2 <= DBL_MIN).
double PointLineDistance(int x, int y, double a, double b, double c);

// Distance from (x, y) to the line through the two points; 0 when they
// coincide.
double PointLine2PDistance(int x, int y, int x1, int y1, int x2, int y2);

// Whether (px, py) lies in the box spanned by the two points, edges included.
BOOL PointInSegmentBox(int px, int py, int x1, int y1, int x2, int y2);

// Distance from `point` to the segment (x1, y1)-(x2, y2): the distance to its
// line when the rounded foot of the perpendicular lies within the segment's
// box, else the distance to the nearer end. Never fails; a segment of one
// point gives the distance to that point.
double PointSegmentDistance(CPoint point, int x1, int y1, int x2, int y2);

// Turns (x, y) about (cx, cy) by the angle whose sine is `sinA` and cosine
// `cosA`: with d = point - centre in doubles, x' = round(dx cosA - dy sinA) +
// cx and y' = round(dx sinA + dy cosA) + cy. Each offset is rounded before
// the centre is added back; a result beyond the int32 range stops at its
// end, so that a point far out of range is never taken for one inside it.
void RotateXY(int x, int y, int cx, int cy, double sinA, double cosA, int* rx, int* ry);

// RotateXY of `point` in place.
void RotatePointInPlace(CPoint* point, int cx, int cy, double sinA, double cosA);

// ---------------------------------------------------------------------------
// Point-list forms, mirrors, angles and the remaining line tests. A variant
// whose name ends in Pt fills CPoint values instead of two ints.

// LineFromPoints under the name the construction code uses.
void LineCoefficients(int x1, int y1, int x2, int y2, double* a, double* b, double* c);

// ProjectPointOntoLine filling a CPoint.
int ProjectPointOntoLinePt(int px, int py, double a, double b, double c, CPoint* foot);

// The mirror image of (px, py) across the line: 2 foot - point, with the foot
// rounded first.
void MirrorPointAcrossLine(int px, int py, double a, double b, double c, int* x, int* y);
void MirrorPointAcrossLinePt(int px, int py, double a, double b, double c, CPoint* out);

// The mirror image across the line through the two points; nothing is written
// when the two points coincide.
void MirrorPointAcrossLine2P(int px, int py, int x1, int y1, int x2, int y2, int* x, int* y);
void MirrorPointAcrossLine2PPt(int px, int py, int x1, int y1, int x2, int y2, CPoint* out);

// Every point of `in` mirrored across the line through the two points; the
// result replaces `out` (which may be `in`).
void MirrorPointList(const std::list<CPoint>& in, int x1, int y1, int x2, int y2,
                     std::list<CPoint>* out);

// x := 2 cx - x when flipX, y := 2 cy - y when flipY.
void MirrorPointAxes(CPoint* point, int cx, BOOL flipX, int cy, BOOL flipY);
void MirrorPointListAxes(const std::list<CPoint>& in, int cx, BOOL flipX, int cy, BOOL flipY,
                         std::list<CPoint>* out);

// RotateXY of every point; the result replaces `out`.
void RotatePointList(const std::list<CPoint>& in, int cx, int cy, double sinA, double cosA,
                     std::list<CPoint>* out);

// Every point translated by (dx, dy), stopping at the int32 range's ends;
// the result replaces `out`.
void OffsetPointList(const std::list<CPoint>& in, int dx, int dy, std::list<CPoint>* out);

// Whether (px, py), turned about p1 by minus the direction of p1 -> p2, ends
// at or below p1 (y <= y1): right of the line, or on it, looking from p1.
BOOL IsPointRightOfLine(int px, int py, int x1, int y1, int x2, int y2);

// IntersectLinesInt of the lines through (p1, p2) and (p3, p4). The point is
// written for code 1 only; the Pt form also writes p1 for code 2 (the same
// line), a point of both.
int IntersectLines2P(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int* x,
                     int* y);
int IntersectLines2PPt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                       CPoint* out);

// The line A x + B y + C = 0 against the segment p1p2. 1: they meet within
// the segment (1 unit of slack at the ends); 2: the line meets the segment's
// line outside it; 3: the segment lies on the line; 0: parallel and apart.
// The rounded point is written for codes 1 and 2.
int IntersectLineSegment(double a, double b, double c, int x1, int y1, int x2, int y2, int* x,
                         int* y);
int IntersectLineSegmentPt(double a, double b, double c, int x1, int y1, int x2, int y2,
                           CPoint* out);

// IntersectLineSegment of the line through (x1, y1), (x2, y2) and the segment
// (x3, y3)-(x4, y4).
int IntersectLine2PSegment(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int* x,
                           int* y);
int IntersectLine2PSegmentPt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                             CPoint* out);

// The line parallel to p1 -> p2 at `offset` units to its right (y up); FALSE,
// nothing written, when the points coincide.
BOOL ParallelLineAt(int x1, int y1, int x2, int y2, int offset, double* a, double* b, double* c);
BOOL ParallelLineAt2(int x1, int y1, int x2, int y2, int offset, double* a, double* b, double* c);

// The least PointSegmentDistance from `point` to the segments of the list (a
// later one replaces the best only when smaller); DBL_MAX for fewer than two
// points.
double PointPolylineDistance(CPoint point, const std::list<CPoint>& points);

// The point of the segment p1p2 nearest to (px, py) when it lies within
// `tolerance`: TRUE with the rounded foot and the distance, else FALSE and
// nothing written. A foot beyond the segment is replaced by the nearer end (p1
// on a tie); a query on an end gives that end at distance 0; a segment of one
// point gives the distance to that point.
BOOL NearestPointOnSegment(int x1, int y1, int x2, int y2, double tolerance, int px, int py,
                           CPoint* foot, double* distance);

// Distance from `point` to the line of the segment, with the rounded foot of
// the perpendicular (not clamped to the segment). A query on an end gives 0
// and that end; a segment of one point gives the distance to it and p1.
double PointToSegmentDistance(int x1, int y1, int x2, int y2, CPoint point, CPoint* foot);

// The distance between two points rounded to model units, and (Ex) exact.
int PointDistance(int x1, int y1, int x2, int y2);
int PointDistanceEx(int x1, int y1, int x2, int y2, double* exact);

// Direction of p1 -> p2 in [0, 2 pi): VectorAngle.
double LineAngle(int x1, int y1, int x2, int y2);

// Direction of p1 -> p2 in [0, 2 pi) with pi = 3.14159265359: 0 for a point
// with itself, exact quarter turns for vertical and horizontal vectors.
double VectorAngleHorz(int x1, int y1, int x2, int y2);

// The counter-clockwise angle from the direction p1 -> p2 to p3 -> p4, in
// [0, 2 pi).
double AngleBetween(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

// The vector of `length` from p1 towards p2, rounded; (0, 0) when the points
// coincide (no direction).
void ScaledDirection(CPoint* out, int x1, int y1, double length, int x2, int y2);

// 1 (dx >= 0, dy >= 0), 2 (dx < 0, dy >= 0), 3 (both < 0), 4 (dx >= 0, dy < 0).
int Quadrant(int dx, int dy);

// Whether p0 - p1 and p2 - p3 point into the same quadrant: their x
// differences have the same sign and so do their y differences, a zero
// agreeing with either sign.
BOOL SameQuadrantDirection(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3);

// Whether the two points lie on one side of the line through (x1, y1) and
// (x2, y2), or either lies on it.
BOOL SameSideOfLine(int px1, int py1, int px2, int py2, int x1, int y1, int x2, int y2);

// PointInSegmentBox under its second name.
BOOL PointInSegmentBox2(int px, int py, int x1, int y1, int x2, int y2);

// Widens the box (min, max inclusive) to hold (x, y).
void ExtendBounds(int x, int y, int* minX, int* minY, int* maxX, int* maxY);
