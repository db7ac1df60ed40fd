// Arcs and whole circles as point lists. Graded curves, design elements and
// construction elements keep a circle or an arc as a polyline of integer
// model points; the chords of that polyline stay within half a model unit of
// the true circle, and the points that define the figure are kept exactly.
//
// Angles are radians measured as LineAngle does (from +x towards +y), 2 pi
// taken as 6.28318530718. A sample at angle t about the centre (cx, cy) of
// radius R is (round(cx + R cos t), round(cy + R sin t)), rounded half away
// from zero. Each routine empties its output list before it adds the first
// point, except where it fails and says it leaves the list alone.
#pragma once

#include "design/geometry/polyline.h"
#include "platform/geometry_types.h"

// The angle between neighbouring samples of a circle of radius `radius`:
// 2 acos((R - 0.5) / R), the angle of a chord whose sagitta is half a unit,
// but never less than one degree; one degree also for radii from about
// 13131.3 on and for radii of about a quarter unit or less. 1000 gives about
// 0.0632, 10 about 0.635.
double ArcSampleStep(double radius);

// The arc about (cx, cy) that starts at (x, y) and sweeps `sweep` radians:
// a positive sweep runs towards decreasing angles, a negative one towards
// increasing angles. A sweep beyond a full turn is reduced by whole turns
// (3 pi becomes pi, -3 pi becomes -pi; +-2 pi stays a full turn, whose last
// point is the first again). The sweep is cut into equal parts no wider than
// ArcSampleStep of the radius |(x, y) - (cx, cy)|; the list holds the start
// point and the end of every part, consecutive repeats removed. A sweep that
// is not a finite number gives the start point alone. TRUE.
BOOL ArcPolyline(int cx, int cy, int x, int y, double sweep, PointList& out);

// The whole circle about (cx, cy) through (x, y), from that point towards
// increasing angles, in equal parts no wider than ArcSampleStep; the closing
// point is not repeated (RemoveDuplicatePoints). A circle of radius 0 gives
// the point alone. TRUE.
BOOL CirclePolyline(int cx, int cy, int x, int y, PointList& out);

// The arc of the circle through p1, p2 and p3 (CircleThrough3Points) that
// runs from p1 through p2 to p3, sampled as ArcPolyline samples; the three
// points themselves appear in it unchanged. FALSE, with `out` left as it
// was, when no circle passes through the points (two coincide, they are
// collinear, or the radius is below 1 or too large).
BOOL ArcThrough3PointsPolyline(int x1, int y1, int x2, int y2, int x3, int y3, PointList& out);

// The whole circle through p1, p2 and p3 as a ring in the cyclic order p1,
// p2, p3, the three points appearing unchanged and the closing point not
// repeated. When p1 -> p2 -> p3 turns towards decreasing angles the ring
// begins at p1; otherwise it begins at p3 (p3, ..., p1, ..., p2, ...).
// FALSE when no circle passes through the points; `out` then holds p1, p2,
// p3.
BOOL CircleThrough3PointsPolyline(int x1, int y1, int x2, int y2, int x3, int y3, PointList& out);
