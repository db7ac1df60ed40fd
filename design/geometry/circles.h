// Circles against lines, segments and circles, and the circle through three
// points. The construction points of the design model and the arc sampling
// use them. Intersection points are rounded to model units and written only
// for the result codes named; output arguments must not be null.
#pragma once

#include "design/geometry/primitives.h"
#include "platform/geometry_types.h"

// The line A x + B y + C = 0 against the circle about (cx, cy) of radius r.
// 2: two points, p1 from the root with the + square root; 1: a tangent, the
// two rounded points equal (both written); 0: they miss.
int IntersectLineCircle(double a, double b, double c, int cx, int cy, double r, CPoint* p1,
                        CPoint* p2);

// IntersectLineCircle of the line through (x1, y1) and (x2, y2); 0 when the
// two points coincide or r < 1.
int IntersectLine2PCircle(int x1, int y1, int x2, int y2, int cx, int cy, double r, int* ix1,
                          int* iy1, int* ix2, int* iy2);
int IntersectLine2PCirclePt(int x1, int y1, int x2, int y2, int cx, int cy, double r, CPoint* p1,
                            CPoint* p2);

// The points of IntersectLine2PCircle that lie in the segment's box (ends
// included), packed to the front; returns how many.
int IntersectSegmentCircle(int x1, int y1, int x2, int y2, int cx, int cy, double r, int* ix1,
                           int* iy1, int* ix2, int* iy2);
int IntersectSegmentCirclePt(int x1, int y1, int x2, int y2, int cx, int cy, double r, CPoint* p1,
                             CPoint* p2);

// Where two circles meet: their radical line against the first circle
// (0, 1 or 2 points as IntersectLineCircle). Pt2 takes the centres as points.
int IntersectCircles(int cx1, int cy1, double r1, int cx2, int cy2, double r2, int* x1, int* y1,
                     int* x2, int* y2);
int IntersectCirclesPt(int cx1, int cy1, double r1, int cx2, int cy2, double r2, CPoint* p1,
                       CPoint* p2);
int IntersectCirclesPt2(CPoint c1, double r1, CPoint c2, double r2, CPoint* p1, CPoint* p2);

// The circle through three points, centre and radius rounded. FALSE, nothing
// written, when two points coincide, the points are collinear, or the radius
// is below 1 or the circle beyond the int range. The radius is positive when
// p1 -> p2 -> p3 runs clockwise about the centre (y up), negative when it
// runs counter-clockwise.
BOOL CircleThrough3Points(int x1, int y1, int x2, int y2, int x3, int y3, int* cx, int* cy,
                          int* r);
