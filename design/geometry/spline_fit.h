// Curves drawn through a few control points: the interpolating cubic spline
// through them sampled as a polyline, the reverse (thinning a dense polyline
// to the few controls whose spline reproduces it within a tolerance), and
// moving the points of a curve along with anchor points that were moved.
//
// The spline is parameterised by chord length, its second derivative is
// continuous at every inner control, an open curve has natural ends and a
// closed one (last control repeating the first) is periodic. Output lists are
// emptied before use; output pointers must not be null. Rounded values are
// rounded half away from zero.
#pragma once

#include <vector>

#include "design/geometry/polyline.h"
#include "design/geometry/vertex.h"

// The flag of a vertex that thinning keeps as a curve break point, and of
// the vertices it adds; the ends of a thinned curve carry kPlainVertexFlag.
inline constexpr uint32_t kPlainVertexFlag = 0;
inline constexpr uint32_t kControlVertexFlag = 1;
inline constexpr uint32_t kControlVertexFlag2 = 3;

// The flag of an anchor in FollowMovedAnchors.
inline constexpr UINT kAnchorFlag = 0;

// Samples the spline through `controls` into `out`: each span is split until
// no chord strays from the curve by `tolerance` or more (below 0.5 it is
// taken as 0.5); straight runs get no inner samples. Consecutive equal
// controls count once; the controls themselves appear unchanged in the
// output. A closed list ends with a repeat of its first control (supplied
// when missing); the output ring does not repeat it. FALSE, `out` emptied, for fewer than 3
// distinct controls (4 with the repeat when closed) or a slope system that
// cannot be solved.
BOOL FitCubicSpline(const PointList& controls, BOOL closed, double tolerance, PointList* out);

// The dense point that lies farthest from the fitted polyline (the first on
// ties), its distance in *maxDist. Each dense point is measured along a probe
// line through it, across the dense curve (the bisector of the directions to
// its neighbours at least 10 units away, or the normal of the chord where the
// curve runs straight); the distance is the least to a fitted vertex or to
// where the probe crosses a fitted segment. Either list empty: (0, 0) and 0.
CPoint FindMaxDeviation(const PointList& dense, const PointList& fitted, double* maxDist);

// Thins the open dense polyline: `controls` is made to start with its head
// and end with its tail, then, pass by pass, for every span between two
// neighbouring controls whose spline strays from the dense run between them
// by more than `tolerance`, the worst dense point is inserted as a control,
// unless it lies within the tolerance of a span end. Ends when a pass inserts
// nothing, after at most as many passes as there are dense points. Controls
// that are not dense points bound no span. FALSE for fewer than 3 dense
// points.
BOOL FitSplineControlPoints(const PointList& dense, double tolerance, PointList& controls);

// The same for a closed dense polyline (its head is appended when its tail
// differs): the controls start and end with the head, and with fewer than 3
// of them are seeded as head, the dense point farthest from the head, head.
BOOL FitSplineControlPoints2(const PointList& dense, double tolerance, PointList& controls);

// Thins a curve given as vertices: the output keeps the first and last input
// vertices and those flagged kControlVertexFlag or kControlVertexFlag2, and
// receives each control that thinning adds as a vertex flagged
// kControlVertexFlag. With two vertices or fewer the input is copied. The
// first and last output vertices are then flagged kPlainVertexFlag. TRUE.
BOOL FitCurveVertices(const VertexList& in, double tolerance, VertexList* out);
// The closed-curve twin; a control repeating the head at the end of the ring
// is not added again.
BOOL FitCurveVertices2(const VertexList& in, double tolerance, VertexList* out);

// Moves the points of a curve with its anchors (flag kAnchorFlag), of which
// `moved` holds the new places. One anchor: every point follows its
// translation. Between two consecutive anchors a and b the points follow the
// similarity that takes orig[a], orig[b] to moved[a], moved[b]; the first
// pair also carries the points before it and the last those after it. A pair
// with no point between its anchors moves nothing; a pair at one place before
// the move carries its points by the translation of a. Nothing happens for
// fewer than 2 points, no anchor or arrays of different lengths.
void FollowMovedAnchors(const std::vector<CPoint>& orig, const std::vector<UINT>& flags,
                        std::vector<CPoint>& moved);
