#include "design/geometry/polyline_queries.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#include "design/geometry/circles.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"
#include "design/geometry/segments.h"

namespace {

// How far a query point may lie from a polyline and still be on it.
constexpr double kOnPolylineTolerance = 5.0;

// The segment codes that name a single point where two segments meet.
constexpr int kSegmentsCross = 1;
constexpr int kSegmentsTouchEndToEnd = 4;
constexpr int kSegmentsShareRunEnd = 5;

// The nearest of `count` candidates to (x, y), the first on ties; TRUE when
// it lies within `radius`. `index` gets its place counted from 1.
template <typename Iterator>
BOOL SnapNearest(int x, int y, double radius, Iterator first, Iterator last, CPoint* out,
                 double* distance, int* index) {
  double best = std::numeric_limits<double>::infinity();
  CPoint bestPoint;
  int bestIndex = 0;
  int at = 0;
  for (Iterator it = first; it != last; ++it) {
    ++at;
    const double d = Distance(CPoint(x, y), *it);
    if (d < best) {
      best = d;
      bestPoint = *it;
      bestIndex = at;
    }
  }
  if (bestIndex == 0 || !(best <= radius)) return FALSE;
  *out = bestPoint;
  *distance = best;
  if (index) *index = bestIndex;
  return TRUE;
}

// Finds (x, y) on the polyline within the tolerance and makes it a vertex
// when it is not one; returns its position, or end() when it is off.
PointPos LocateAndInsert(PointList& polyline, int x, int y) {
  CPoint nearest;
  double distance = 0;
  PointPos prev = polyline.end(), at = polyline.end(), next = polyline.end();
  if (!HitTestPolyline(polyline, kOnPolylineTolerance, x, y, &nearest, &distance, &prev, &at, &next)) {
    return polyline.end();
  }
  if (at != polyline.end()) return at;
  return polyline.insert(next, CPoint(x, y));
}

// The first vertex after `from` that differs from it, or end().
PointPos NextApart(const PointList& list, PointPos from) {
  for (PointPos it = std::next(from); it != list.end(); ++it) {
    if (*it != *from) return it;
  }
  return list.end();
}

// The last vertex before `from` that differs from it, or end().
PointPos PreviousApart(const PointList& list, PointPos from) {
  for (PointPos it = from; it != list.begin();) {
    --it;
    if (*it != *from) return it;
  }
  return list.end();
}

}  // namespace

BOOL SnapSegmentIntersection(int x, int y, double radius, int x1, int y1, int x2, int y2, int x3,
                             int y3, int x4, int y4, CPoint* out, double* distance) {
  CPoint crossing;
  const int code = SegmentIntersectionPt(x1, y1, x2, y2, x3, y3, x4, y4, &crossing);
  if (code != kSegmentsCross && code != kSegmentsTouchEndToEnd && code != kSegmentsShareRunEnd) {
    return FALSE;
  }
  return SnapNearest(x, y, radius, &crossing, &crossing + 1, out, distance, nullptr);
}

BOOL SnapSegmentCircleIntersection(int x, int y, double radius, int x1, int y1, int x2, int y2,
                                   int cx, int cy, double r, CPoint* out, double* distance) {
  CPoint points[2];
  const int count = IntersectSegmentCirclePt(x1, y1, x2, y2, cx, cy, r, &points[0], &points[1]);
  return SnapNearest(x, y, radius, points, points + count, out, distance, nullptr);
}

BOOL SnapCircleIntersection(int x, int y, double radius, CPoint c1, double r1, CPoint c2, double r2,
                            CPoint* out, double* distance) {
  CPoint points[2];
  const int count = IntersectCirclesPt2(c1, r1, c2, r2, &points[0], &points[1]);
  return SnapNearest(x, y, radius, points, points + count, out, distance, nullptr);
}

BOOL SnapSegmentPolylineIntersection(int x, int y, double radius, int x1, int y1, int x2, int y2,
                                     const PointList& polyline, CPoint* out, double* distance,
                                     int* index) {
  PointList crossings;
  IntersectSegmentPolyline(x1, y1, x2, y2, polyline, &crossings);
  return SnapNearest(x, y, radius, crossings.begin(), crossings.end(), out, distance, index);
}

BOOL SnapPolylineIntersection(int x, int y, double radius, const PointList& a, const PointList& b,
                              CPoint* out, double* distance, int* index) {
  PointList crossings;
  IntersectPolylines(a, b, &crossings);
  return SnapNearest(x, y, radius, crossings.begin(), crossings.end(), out, distance, index);
}

BOOL IsPointOnPolylineSection(int x, int y, int x1, int y1, int x2, int y2, const PointList& polyline,
                              PointList* section) {
  if (!GetPolylineSection(polyline, x1, y1, x2, y2, section)) return FALSE;
  CPoint nearest;
  double distance = 0;
  PointPos prev, at, next;
  return HitTestPolyline(*section, kOnPolylineTolerance, x, y, &nearest, &distance, &prev, &at, &next);
}

int PolylineSectionLength(int x1, int y1, int x2, int y2, const PointList& polyline) {
  PointList section;
  if (!GetPolylineSection(polyline, x1, y1, x2, y2, &section)) return 0;
  return PolylineLength(section);
}

BOOL IsPointRightOfPolyline(int x, int y, const PointList& polyline) {
  if (polyline.size() < 2) return FALSE;
  for (PointPos from = polyline.begin(), to = std::next(from); to != polyline.end(); ++from, ++to) {
    if (*from == *to) continue;
    const CPoint foot = ProjectPointOntoLine2P(x, y, from->x, from->y, to->x, to->y);
    if (PointInSegmentBox(foot.x, foot.y, from->x, from->y, to->x, to->y)) {
      return IsPointRightOfLine(x, y, from->x, from->y, to->x, to->y);
    }
  }
  PointPos nearest = polyline.begin();
  int best = std::numeric_limits<int>::max();
  for (PointPos it = polyline.begin(); it != polyline.end(); ++it) {
    const int d = PointDistance(x, y, it->x, it->y);
    if (d < best) {
      best = d;
      nearest = it;
    }
  }
  PointPos other = NextApart(polyline, nearest);
  if (other == polyline.end()) other = PreviousApart(polyline, nearest);
  if (other == polyline.end()) return FALSE;
  return IsPointRightOfLine(x, y, nearest->x, nearest->y, other->x, other->y);
}

BOOL ComparePolylineOrder(PointList& polyline, int x1, int y1, int x2, int y2) {
  CPoint nearest;
  double distance = 0;
  PointPos prev, at, next;
  // Both must be on the polyline before either is inserted.
  if (!HitTestPolyline(polyline, kOnPolylineTolerance, x1, y1, &nearest, &distance, &prev, &at, &next) ||
      !HitTestPolyline(polyline, kOnPolylineTolerance, x2, y2, &nearest, &distance, &prev, &at, &next)) {
    return FALSE;
  }
  const PointPos first = LocateAndInsert(polyline, x1, y1);
  const PointPos second = LocateAndInsert(polyline, x2, y2);
  if (first == polyline.end() || second == polyline.end()) return FALSE;
  for (PointPos it = polyline.begin(); it != polyline.end(); ++it) {
    if (it == first) return TRUE;
    if (it == second) return FALSE;
  }
  return FALSE;
}

BOOL PolylineBisectorLine(PointList& polyline, int x, int y, double distance, double* a, double* b,
                          double* c) {
  if (LocateAndInsert(polyline, x, y) == polyline.end()) return FALSE;
  // Unwritten walks leave the query point, which counts as no direction.
  const CPoint q(x, y);
  CPoint forward = q, backward = q;
  PointAlongPolyline(polyline, x, y, std::fabs(distance), &forward);
  PointAlongPolyline(polyline, x, y, -std::fabs(distance), &backward);
  if (forward == q || backward == q) return FALSE;
  const double angle = LineAngle(x, y, forward.x, forward.y) +
                       AngleBetween(x, y, forward.x, forward.y, x, y, backward.x, backward.y) / 2;
  *a = std::sin(angle);
  *b = -std::cos(angle);
  *c = -*a * x - *b * y;
  return TRUE;
}

BOOL PolylineBisectorLine2(PointList& polyline, int x, int y, double distance, double* a, double* b,
                           double* c) {
  return PolylineBisectorLine(polyline, x, y, distance, a, b, c);
}
