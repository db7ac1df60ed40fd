// The geometry helpers the whole pattern model shares: model <-> screen
// transforms, angles, feet of perpendiculars, intersections, small solvers
// and two text helpers. Coordinates are int32 model units; intermediate values
// are doubles, and every double that becomes a coordinate is rounded half
// away from zero (RoundToNearest) unless a function says it truncates.
//
// "Zero" in the solvers is |v| + 1.0 == 1.0 (IsNegligible). Output arguments
// are pointers that must not be null. The helpers that need the work window,
// the work-area pieces or vertex rings are in model/work_area.h.
//
// Rounding, VectorAngle, IsSweepNotLess, SolveQuadratic, IntersectSegments
// and IsPointInPolygon are shared with the design model's geometry and live
// in design/geometry/; they come with this header.
#pragma once

#include <cstdint>

#include "design/geometry/primitives.h"
#include "design/geometry/segments.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

// Screen pixel -> model units at a view scale of `unitsPerPixel` model units
// per pixel with the view origin (originX, originY) in model units.
void ScreenToModel(int x, int y, int* mx, int* my, double unitsPerPixel, int originX, int originY);

// Model units -> screen pixel: (x - origin) / unitsPerPixel, rounded. A zero
// scale gives no meaningful pixel; it clamps instead of failing.
void ModelToScreen(int x, int y, int* sx, int* sy, double unitsPerPixel, int originX, int originY);

// Truncates toward zero into the int32 range; NaN gives 0. Where a position,
// length or pixel size is truncated rather than rounded (the grading's
// intermediate positions, the lookups' lengths, the symbols' pixel sizes),
// it goes through this.
int32_t TruncateTowardZero(double v);

// Whether the angle from the direction a -> c to the direction a -> b,
// counter-clockwise as seen on the screen (model y pointing down) and wrapped
// into [0, 2 pi), exceeds pi. Takes the positions of three vertex nodes.
BOOL IsTurnAbovePi(CPoint a, CPoint b, CPoint c);

// The circle through three points. FALSE with r = 0 when two of the points
// coincide, they are collinear, or the radius is below 1 or above 500000
// units. Otherwise the rounded centre and the rounded radius, negated when the
// way p1 -> p2 -> p3 turns counter-clockwise about the centre (the sweep from
// p1 to p2 is less than that to p3); TRUE.
BOOL CircleThroughPoints(int x1, int y1, int x2, int y2, int x3, int y3, int* cx, int* cy,
                         int* r);

// Foot of the perpendicular from P on the perpendicular bisector of AB, when
// AB is longer than 1 mm (the style's scale); returns 1. Otherwise the foot is
// P itself and the result 0.
int ProjectPointOntoBisector(int px, int py, int ax, int ay, int bx, int by, int* fx, int* fy);

// The line a x + b y = c parallel to the segment p1 -> p2 at distance `d` to
// the right of the direction of travel (model y up). FALSE, nothing written,
// when the points coincide or the segment is shorter than a tenth of a
// millimetre (the style's scale x 0.1).
BOOL ParallelLineAtDistance(int x1, int y1, int x2, int y2, int d, double* a, double* b,
                            double* c);

// Solves a1 x + b1 y = c1, a2 x + b2 y = c2. 1: the rounded solution is
// written. 2: the two equations are one line. 0: parallel lines. Nothing is
// written for 0 and 2.
int SolveLinear2(double a1, double b1, double c1, double a2, double b2, double c2, int* x, int* y);

// Foot of the perpendicular from P on a x + b y = c; returns the SolveLinear2
// code, and P itself as the foot when that is 0 or 2 (a line without
// direction).
int PerpendicularFoot(int px, int py, double a, double b, double c, int* fx, int* fy);

// Foot of P on the line through p1 and p2 (P itself when they coincide).
// Returns the distance from P to the foot, truncated toward zero.
int PointLineFoot(int px, int py, int x1, int y1, int x2, int y2, int* fx, int* fy);

// Turns (x, y) about (cx, cy) by the angle whose sine is `s` and cosine `c`:
// each offset is rounded before the centre is added back (in 32 bits).
void RotatePoint(int x, int y, int cx, int cy, double s, double c, int* rx, int* ry);

// The point at distance `d` from the middle of AB on its perpendicular
// bisector, on the side nearer to P (the left of A -> B on a tie). FALSE,
// nothing written, when AB is not longer than 1 mm (the style's scale).
BOOL BisectorPointAtDistance(int d, int ax, int ay, int bx, int by, int px, int py, int* x,
                             int* y);

// Whether turning A about C the short way toward B is a positive
// (counter-clockwise) turn: A turned by +theta ends strictly nearer to B than
// A turned by -theta.
BOOL IsRotationToward(int ax, int ay, int cx, int cy, int bx, int by);

// Area of a closed polygon whose last point repeats the first, as the sum of
// the fan triangles (p0, p[i+1], p[i+2]) by Heron's formula, each counted
// positive; 0 for fewer than 4 points. Used to compare the two loops a
// self-crossing outline splits into.
double PolygonAreaHeron(const CPoint* points, int n);

// The four corners of a band of width `w` around the segment A-B: A - n,
// A + n, B + n, B - n, with n the rounded half-width normal. Two equal points
// give a band of no width (all corners on the point).
void SegmentToRectangle(int ax, int ay, int bx, int by, int w, CPoint corners[4]);

// The pen colour of a size. The program's size colour table holds black in
// every entry, so every size index, in range or not, gives black.
COLORREF GetSizeColor(int sizeIndex);

// The longest line of a text split at line feeds (code 10); an earlier line
// wins a tie. A text without line feed, or whose lines are all empty, is
// returned whole.
CString GetLongestTextLine(const CString& text);

// Number of line feeds (code 10) plus one: an empty text has one line.
int CountTextLines(const CString& text);
