#include "design/geometry/segments.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// How far apart two directions may be and still count as one, in radians.
constexpr double kDirectionSlack = 0.005;
// Slack of the crossing test at the segments' ends, in model units.
constexpr double kEndSlack = 1.0;
// Where the ray of the polygon test stops beyond the polygon, and how close
// two crossings, or a crossing and the tested point, count as one.
constexpr int kRayOvershoot = 100;
constexpr int64_t kNearCrossing = 2;

bool Same(int x1, int y1, int x2, int y2) { return x1 == x2 && y1 == y2; }

void Put(int x, int y, int* ix, int* iy) {
  *ix = x;
  *iy = y;
}

// v lies in the closed range between a and b, whichever is lower.
bool Between(double v, double a, double b) {
  return a <= b ? (a <= v && v <= b) : (b <= v && v <= a);
}

bool BetweenWithSlack(double v, double a, double b) {
  const double lo = a <= b ? a : b;
  const double hi = a <= b ? b : a;
  return lo - kEndSlack <= v && v <= hi + kEndSlack;
}

// The one-point segment P against the segment S1S2 (not a point).
int PointAgainstSegment(int px, int py, int sx1, int sy1, int sx2, int sy2, int* ix, int* iy) {
  // The ends themselves: the direction from a point to itself is undefined,
  // and an end is on its segment.
  if (Same(px, py, sx1, sy1) || Same(px, py, sx2, sy2)) {
    Put(px, py, ix, iy);
    return 1;
  }
  const double alpha = std::atan2(static_cast<double>(py) - sy1, static_cast<double>(px) - sx1);
  const double beta = std::atan2(static_cast<double>(sy2) - py, static_cast<double>(sx2) - px);
  // Wrapped into (-pi, pi], so that two directions just either side of the
  // -x axis are seen as close.
  double turn = alpha - beta;
  if (turn > kPi) turn -= 2 * kPi;
  if (turn < -kPi) turn += 2 * kPi;
  const double size = std::fabs(turn);
  if (size < kDirectionSlack) {
    Put(px, py, ix, iy);
    return 1;
  }
  if (std::fabs(size - kPi) < kDirectionSlack) {
    Put(px, py, ix, iy);
    return 2;
  }
  return 0;
}

}  // namespace

int IntersectSegments(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int* ix,
                      int* iy) {
  const bool first_is_point = Same(x1, y1, x2, y2);
  const bool second_is_point = Same(x3, y3, x4, y4);
  if (first_is_point && second_is_point) {
    if (!Same(x1, y1, x3, y3)) return 0;
    Put(x1, y1, ix, iy);
    return 1;
  }
  if (first_is_point) return PointAgainstSegment(x1, y1, x3, y3, x4, y4, ix, iy);
  if (second_is_point) return PointAgainstSegment(x3, y3, x1, y1, x2, y2, ix, iy);

  if ((Same(x1, y1, x3, y3) && Same(x2, y2, x4, y4)) ||
      (Same(x1, y1, x4, y4) && Same(x2, y2, x3, y3))) {
    Put(x1, y1, ix, iy);
    return 4;
  }
  if (Same(x1, y1, x3, y3) || Same(x1, y1, x4, y4)) {
    Put(x1, y1, ix, iy);
    return 1;
  }
  if (Same(x2, y2, x3, y3) || Same(x2, y2, x4, y4)) {
    Put(x2, y2, ix, iy);
    return 1;
  }

  // Each line as dy x - dx y = c; all in double, as differences of far-apart
  // coordinates overflow int32.
  const double dxa = static_cast<double>(x2) - x1;
  const double dya = static_cast<double>(y2) - y1;
  const double dxb = static_cast<double>(x4) - x3;
  const double dyb = static_cast<double>(y4) - y3;
  const double ca = x1 * dya - y1 * dxa;
  const double cb = x3 * dyb - y3 * dxb;
  const double det = dyb * dxa - dya * dxb;
  const double num_x = cb * dxa - ca * dxb;
  const double num_y = dya * cb - dyb * ca;

  if (std::fabs(det) < 1.0) {
    // Parallel. On one line only when both numerators vanish: either alone
    // vanishes for every pair of horizontal (or vertical) lines.
    if (std::fabs(num_x) < 1.0 && std::fabs(num_y) < 1.0) {
      const bool vertical = x1 == x2 && x2 == x3 && x3 == x4;
      const double a1 = vertical ? y1 : x1;
      const double a2 = vertical ? y2 : x2;
      const double b1 = vertical ? y3 : x3;
      const double b2 = vertical ? y4 : x4;
      if (Between(a1, b1, b2)) { Put(x1, y1, ix, iy); return 3; }
      if (Between(a2, b1, b2)) { Put(x2, y2, ix, iy); return 3; }
      if (Between(b1, a1, a2)) { Put(x3, y3, ix, iy); return 3; }
      if (Between(b2, a1, a2)) { Put(x4, y4, ix, iy); return 3; }
    }
    Put(x1, y1, ix, iy);
    return 0;
  }

  const int x = RoundToNearest(num_x / det);
  const int y = RoundToNearest(num_y / det);
  Put(x, y, ix, iy);
  const bool on_first = BetweenWithSlack(x, x1, x2) && BetweenWithSlack(y, y1, y2);
  const bool on_second = BetweenWithSlack(x, x3, x4) && BetweenWithSlack(y, y3, y4);
  return on_first && on_second ? 1 : 2;
}

namespace {

// Which side of the horizontal ray through y a point lies on: -1, 0 (on its
// line) or 1. The ray runs toward +x, so its cross product with the point
// has the sign of the point's y offset.
int SideOfRay(double ray_dx, int y, CPoint q) {
  const double cross = ray_dx * (static_cast<double>(q.y) - y);
  if (IsNegligible(cross)) return 0;
  return cross > 0 ? 1 : -1;
}

bool Near(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  const int64_t dx = x1 - x2;
  const int64_t dy = y1 - y2;
  return (dx < 0 ? -dx : dx) <= kNearCrossing && (dy < 0 ? -dy : dy) <= kNearCrossing;
}

}  // namespace

int IsPointInPolygon(int x, int y, const CPoint* points, int count) {
  if (points == nullptr || count < 1) return 0;
  int min_x = INT32_MAX;
  int min_y = INT32_MAX;
  int max_x = INT32_MIN;
  int max_y = INT32_MIN;
  for (int i = 0; i < count; ++i) {
    if (points[i].x < min_x) min_x = points[i].x;
    if (points[i].y < min_y) min_y = points[i].y;
    if (points[i].x > max_x) max_x = points[i].x;
    if (points[i].y > max_y) max_y = points[i].y;
  }
  if (x < min_x || x > max_x || y < min_y || y > max_y) return 0;

  // The ray ends beyond the polygon; near the top of the int32 range it stops
  // at the range's end instead of wrapping round.
  const int ray_x = max_x > INT32_MAX - kRayOvershoot ? INT32_MAX : max_x + kRayOvershoot;
  const double ray_dx = static_cast<double>(ray_x) - x;
  // The last counted crossing starts far from any outline.
  int64_t last_x = 55555555;
  int64_t last_y = 55555555;
  int crossings = 0;
  auto count_crossing = [&](int cx, int cy) {
    if (!Near(cx, cy, last_x, last_y)) ++crossings;
    last_x = cx;
    last_y = cy;
  };
  auto passes_through = [&](CPoint before, CPoint after) {
    const int s1 = SideOfRay(ray_dx, y, before);
    const int s2 = SideOfRay(ray_dx, y, after);
    return s1 != 0 && s2 != 0 && s1 != s2;
  };

  for (int i = 0; i < count; ++i) {
    const CPoint start = points[i];
    const CPoint end = points[(i + 1) % count];
    int cx = 0;
    int cy = 0;
    const int code = IntersectSegments(x, y, ray_x, y, start.x, start.y, end.x, end.y, &cx, &cy);
    if (code == 1) {
      if (Near(cx, cy, x, y)) return 1;
      // A vertex on the ray is judged once, with the edge that leaves it.
      if (cx == end.x && cy == end.y) continue;
      if (cx == start.x && cy == start.y) {
        if (passes_through(points[(i + count - 1) % count], end)) count_crossing(cx, cy);
        continue;
      }
      count_crossing(cx, cy);
    } else if (code == 3) {
      // An edge lying along the ray.
      if (Between(x, start.x, end.x) && Between(y, start.y, end.y)) return 1;
      if (passes_through(points[(i + count - 1) % count], points[(i + 2) % count])) {
        count_crossing(cx, cy);
      }
      ++i;  // the edge after it starts on the ray: already judged
    }
  }
  return crossings % 2 == 1 ? 1 : 0;
}

namespace {

// A one-point segment farther than this from the other's line misses it.
constexpr double kPointOffLine = 1.5;

bool InWidened(int v, int e1, int e2) {
  const double lo = e1 < e2 ? e1 : e2;
  const double hi = e1 < e2 ? e2 : e1;
  return lo - kEndSlack <= v && v <= hi + kEndSlack;
}

// The one-point segment P near the segment S1S2: on its line within 1.5
// units, 1 inside its widened box and 2 outside.
int PointNearSegment(int px, int py, int sx1, int sy1, int sx2, int sy2, int* ix, int* iy) {
  if (PointLine2PDistance(px, py, sx1, sy1, sx2, sy2) >= kPointOffLine) return 0;
  Put(px, py, ix, iy);
  return InWidened(px, sx1, sx2) && InWidened(py, sy1, sy2) ? 1 : 2;
}

// Collinear segments compared along one axis, each ordered low end first.
int CollinearSegments(CPoint a1, CPoint a2, CPoint b1, CPoint b2, int* ix, int* iy) {
  const bool along_y = a1.x == a2.x && a2.x == b1.x && b1.x == b2.x;
  const auto key = [along_y](CPoint p) { return along_y ? p.y : p.x; };
  CPoint la = a1, ha = a2, lb = b1, hb = b2;
  if (key(ha) < key(la)) std::swap(la, ha);
  if (key(hb) < key(lb)) std::swap(lb, hb);
  const auto put = [ix, iy](CPoint p) { Put(p.x, p.y, ix, iy); };
  if (key(ha) == key(lb)) { put(ha); return 4; }
  if (key(hb) == key(la)) { put(la); return 4; }
  if (key(la) == key(lb)) { put(key(ha) <= key(hb) ? ha : hb); return 5; }
  if (key(ha) == key(hb)) { put(key(la) >= key(lb) ? la : lb); return 5; }
  const auto inside = [&](CPoint p, CPoint lo, CPoint hi) {
    return key(lo) < key(p) && key(p) < key(hi);
  };
  if (inside(lb, la, ha) || inside(hb, la, ha) || inside(la, lb, hb) || inside(ha, lb, hb)) return 3;
  return 0;
}

}  // namespace

int SegmentIntersection(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int* ix,
                        int* iy) {
  const bool a_point = Same(x1, y1, x2, y2);
  const bool b_point = Same(x3, y3, x4, y4);
  if (a_point && b_point) {
    if (!Same(x1, y1, x3, y3)) return 0;
    Put(x1, y1, ix, iy);
    return 1;
  }
  if (a_point) return PointNearSegment(x1, y1, x3, y3, x4, y4, ix, iy);
  if (b_point) return PointNearSegment(x3, y3, x1, y1, x2, y2, ix, iy);
  if ((Same(x1, y1, x3, y3) && Same(x2, y2, x4, y4)) ||
      (Same(x1, y1, x4, y4) && Same(x2, y2, x3, y3))) {
    Put(x1, y1, ix, iy);
    return 5;
  }
  const double dya = static_cast<double>(y2) - y1;
  const double dxa = static_cast<double>(x2) - x1;
  const double ca = x1 * dya - y1 * dxa;
  const double dyb = static_cast<double>(y4) - y3;
  const double dxb = static_cast<double>(x4) - x3;
  const double cb = x3 * dyb - y3 * dxb;
  const double det = dyb * dxa - dya * dxb;
  if (std::fabs(det) >= 1.0) {
    const int x = RoundToNearest((cb * dxa - ca * dxb) / det);
    const int y = RoundToNearest((dya * cb - dyb * ca) / det);
    Put(x, y, ix, iy);
    const bool inside = InWidened(x, x1, x2) && InWidened(x, x3, x4) && InWidened(y, y1, y2) &&
                        InWidened(y, y3, y4);
    return inside ? 1 : 2;
  }
  if (std::fabs(cb * dxa - ca * dxb) >= 1.0) return 0;
  const bool touch = InWidened(x1, x3, x4) || InWidened(x2, x3, x4) || InWidened(x3, x1, x2) ||
                     InWidened(x4, x1, x2);
  if (!touch) return 0;
  return CollinearSegments({x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}, ix, iy);
}

int SegmentIntersectionPt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                          CPoint* out) {
  return SegmentIntersection(x1, y1, x2, y2, x3, y3, x4, y4, &out->x, &out->y);
}
