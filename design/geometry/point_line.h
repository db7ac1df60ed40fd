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
// the centre is added back, in 32 bits (wrapping, never undefined).
void RotateXY(int x, int y, int cx, int cy, double sinA, double cosA, int* rx, int* ry);

// RotateXY of `point` in place.
void RotatePointInPlace(CPoint* point, int cx, int cy, double sinA, double cosA);
