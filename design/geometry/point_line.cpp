#include "design/geometry/point_line.h"
#include "design/geometry/measure.h"
#include "platform/numbers.h"

#include <cfloat>
#include <cmath>
#include <iterator>


void LineFromPoints(int x1, int y1, int x2, int y2, double* a, double* b, double* c) {
  // Differences in double: two coordinates far apart would overflow int32.
  *a = static_cast<double>(y2) - y1;
  *b = static_cast<double>(x1) - x2;
  *c = -*a * x1 - *b * y1;
}

int IntersectLines(double a1, double b1, double c1, double a2, double b2, double c2,
                   double* x, double* y) {
  const double det = a1 * b2 - a2 * b1;
  if (IsNegligible(det)) {
    double n = c1 * b2 - c2 * b1;
    if (std::fabs(b1) < DBL_MIN && std::fabs(b2) < DBL_MIN) n = c1 * a2 - c2 * a1;
    return IsNegligible(n) ? 2 : 0;
  }
  *x = (c2 * b1 - c1 * b2) / det;
  *y = (a2 * c1 - a1 * c2) / det;
  return 1;
}

int IntersectLinesInt(double a1, double b1, double c1, double a2, double b2, double c2,
                      int* x, int* y) {
  double fx = 0;
  double fy = 0;
  const int code = IntersectLines(a1, b1, c1, a2, b2, c2, &fx, &fy);
  if (code == 1) {
    *x = RoundToNearest(fx);
    *y = RoundToNearest(fy);
  }
  return code;
}

int ProjectPointOntoLine(int px, int py, double a, double b, double c, int* x, int* y) {
  // The perpendicular through P: B x - A y + (A py - B px) = 0.
  const int code = IntersectLinesInt(a, b, c, b, -a, a * py - b * px, x, y);
  if (code != 1) {
    *x = px;
    *y = py;
  }
  return code;
}

CPoint ProjectPointOntoLine2P(int px, int py, int x1, int y1, int x2, int y2) {
  double a = 0;
  double b = 0;
  double c = 0;
  LineFromPoints(x1, y1, x2, y2, &a, &b, &c);
  CPoint foot;
  ProjectPointOntoLine(px, py, a, b, c, &foot.x, &foot.y);
  return foot;
}

double PointLineDistance(int x, int y, double a, double b, double c) {
  const double norm2 = a * a + b * b;
  if (norm2 <= DBL_MIN) return 0;
  return std::fabs(a * x + b * y + c) / std::sqrt(norm2);
}

double PointLine2PDistance(int x, int y, int x1, int y1, int x2, int y2) {
  double a = 0;
  double b = 0;
  double c = 0;
  LineFromPoints(x1, y1, x2, y2, &a, &b, &c);
  return PointLineDistance(x, y, a, b, c);
}

BOOL PointInSegmentBox(int px, int py, int x1, int y1, int x2, int y2) {
  const bool in_x = (x1 <= x2) ? (x1 <= px && px <= x2) : (x2 <= px && px <= x1);
  const bool in_y = (y1 <= y2) ? (y1 <= py && py <= y2) : (y2 <= py && py <= y1);
  return in_x && in_y ? TRUE : FALSE;
}

double PointSegmentDistance(CPoint point, int x1, int y1, int x2, int y2) {
  const CPoint foot = ProjectPointOntoLine2P(point.x, point.y, x1, y1, x2, y2);
  if (PointInSegmentBox(foot.x, foot.y, x1, y1, x2, y2)) {
    return PointLine2PDistance(point.x, point.y, x1, y1, x2, y2);
  }
  const double d1 = SqrtDistance(point.x, point.y, x1, y1);
  const double d2 = SqrtDistance(point.x, point.y, x2, y2);
  return d2 < d1 ? d2 : d1;
}

void RotateXY(int x, int y, int cx, int cy, double sinA, double cosA, int* rx, int* ry) {
  const double dx = static_cast<double>(x) - cx;
  const double dy = static_cast<double>(y) - cy;
  *rx = SaturateToInt32(static_cast<int64_t>(RoundToNearest(dx * cosA - dy * sinA)) + cx);
  *ry = SaturateToInt32(static_cast<int64_t>(RoundToNearest(dx * sinA + dy * cosA)) + cy);
}

void RotatePointInPlace(CPoint* point, int cx, int cy, double sinA, double cosA) {
  RotateXY(point->x, point->y, cx, cy, sinA, cosA, &point->x, &point->y);
}

namespace {

// pi and the full turn of the horizontal-first angle and of AngleBetween.
constexpr double kHorzPi = 3.14159265359;
constexpr double kFullTurn = 6.28318530718;

bool SamePoint(int x1, int y1, int x2, int y2) { return x1 == x2 && y1 == y2; }

// Sign class of a difference: zero agrees with both.
bool SignsAgree(double a, double b) { return !((a > 0 && b < 0) || (a < 0 && b > 0)); }

}  // namespace

void LineCoefficients(int x1, int y1, int x2, int y2, double* a, double* b, double* c) {
  LineFromPoints(x1, y1, x2, y2, a, b, c);
}

int ProjectPointOntoLinePt(int px, int py, double a, double b, double c, CPoint* foot) {
  return ProjectPointOntoLine(px, py, a, b, c, &foot->x, &foot->y);
}

void MirrorPointAcrossLine(int px, int py, double a, double b, double c, int* x, int* y) {
  int fx = 0;
  int fy = 0;
  ProjectPointOntoLine(px, py, a, b, c, &fx, &fy);
  *x = RoundToNearest(2.0 * fx - px);
  *y = RoundToNearest(2.0 * fy - py);
}

void MirrorPointAcrossLinePt(int px, int py, double a, double b, double c, CPoint* out) {
  MirrorPointAcrossLine(px, py, a, b, c, &out->x, &out->y);
}

void MirrorPointAcrossLine2P(int px, int py, int x1, int y1, int x2, int y2, int* x, int* y) {
  if (SamePoint(x1, y1, x2, y2)) return;
  double a = 0;
  double b = 0;
  double c = 0;
  LineFromPoints(x1, y1, x2, y2, &a, &b, &c);
  MirrorPointAcrossLine(px, py, a, b, c, x, y);
}

void MirrorPointAcrossLine2PPt(int px, int py, int x1, int y1, int x2, int y2, CPoint* out) {
  MirrorPointAcrossLine2P(px, py, x1, y1, x2, y2, &out->x, &out->y);
}

void MirrorPointList(const std::list<CPoint>& in, int x1, int y1, int x2, int y2,
                     std::list<CPoint>* out) {
  std::list<CPoint> result;
  for (CPoint p : in) {
    MirrorPointAcrossLine2PPt(p.x, p.y, x1, y1, x2, y2, &p);
    result.push_back(p);
  }
  *out = std::move(result);
}

void MirrorPointAxes(CPoint* point, int cx, BOOL flipX, int cy, BOOL flipY) {
  if (flipX) point->x = RoundToNearest(2.0 * cx - point->x);
  if (flipY) point->y = RoundToNearest(2.0 * cy - point->y);
}

void MirrorPointListAxes(const std::list<CPoint>& in, int cx, BOOL flipX, int cy, BOOL flipY,
                         std::list<CPoint>* out) {
  std::list<CPoint> result;
  for (CPoint p : in) {
    MirrorPointAxes(&p, cx, flipX, cy, flipY);
    result.push_back(p);
  }
  *out = std::move(result);
}

void RotatePointList(const std::list<CPoint>& in, int cx, int cy, double sinA, double cosA,
                     std::list<CPoint>* out) {
  std::list<CPoint> result;
  for (CPoint p : in) {
    RotatePointInPlace(&p, cx, cy, sinA, cosA);
    result.push_back(p);
  }
  *out = std::move(result);
}

void OffsetPointList(const std::list<CPoint>& in, int dx, int dy, std::list<CPoint>* out) {
  std::list<CPoint> result;
  for (const CPoint& p : in) result.emplace_back(SaturateToInt32(static_cast<int64_t>(p.x) + dx), SaturateToInt32(static_cast<int64_t>(p.y) + dy));
  *out = std::move(result);
}

BOOL IsPointRightOfLine(int px, int py, int x1, int y1, int x2, int y2) {
  const double angle = -LineAngle(x1, y1, x2, y2);
  int rx = 0;
  int ry = 0;
  RotateXY(px, py, x1, y1, std::sin(angle), std::cos(angle), &rx, &ry);
  return ry <= y1 ? TRUE : FALSE;
}

int IntersectLines2P(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int* x,
                     int* y) {
  double a1 = 0, b1 = 0, c1 = 0, a2 = 0, b2 = 0, c2 = 0;
  LineFromPoints(x1, y1, x2, y2, &a1, &b1, &c1);
  LineFromPoints(x3, y3, x4, y4, &a2, &b2, &c2);
  return IntersectLinesInt(a1, b1, c1, a2, b2, c2, x, y);
}

int IntersectLines2PPt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                       CPoint* out) {
  CPoint p(x1, y1);
  const int code = IntersectLines2P(x1, y1, x2, y2, x3, y3, x4, y4, &p.x, &p.y);
  if (code == 1 || code == 2) *out = p;
  return code;
}

int IntersectLineSegment(double a, double b, double c, int x1, int y1, int x2, int y2, int* x,
                         int* y) {
  double a2 = 0, b2 = 0, c2 = 0;
  LineFromPoints(x1, y1, x2, y2, &a2, &b2, &c2);
  const double det = a2 * b - a * b2;
  if (std::fabs(det) < 1.0) return std::fabs(c * b2 - c2 * b) < 1.0 ? 3 : 0;
  const int ix = RoundToNearest((c * b2 - c2 * b) / det);
  const int iy = RoundToNearest((a * c2 - a2 * c) / det);
  *x = ix;
  *y = iy;
  const auto within = [](int v, int e1, int e2) {
    const double lo = e1 < e2 ? e1 : e2;
    const double hi = e1 < e2 ? e2 : e1;
    return lo - 1.0 <= v && v <= hi + 1.0;
  };
  return within(ix, x1, x2) && within(iy, y1, y2) ? 1 : 2;
}

int IntersectLineSegmentPt(double a, double b, double c, int x1, int y1, int x2, int y2,
                           CPoint* out) {
  return IntersectLineSegment(a, b, c, x1, y1, x2, y2, &out->x, &out->y);
}

int IntersectLine2PSegment(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int* x,
                           int* y) {
  double a = 0, b = 0, c = 0;
  LineFromPoints(x1, y1, x2, y2, &a, &b, &c);
  return IntersectLineSegment(a, b, c, x3, y3, x4, y4, x, y);
}

int IntersectLine2PSegmentPt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                             CPoint* out) {
  return IntersectLine2PSegment(x1, y1, x2, y2, x3, y3, x4, y4, &out->x, &out->y);
}

BOOL ParallelLineAt(int x1, int y1, int x2, int y2, int offset, double* a, double* b, double* c) {
  if (SamePoint(x1, y1, x2, y2)) return FALSE;
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double length = std::sqrt(dx * dx + dy * dy);
  const double qx = x1 + offset * dy / length;
  const double qy = y1 - offset * dx / length;
  *a = dy;
  *b = -dx;
  *c = -*a * qx - *b * qy;
  return TRUE;
}

BOOL ParallelLineAt2(int x1, int y1, int x2, int y2, int offset, double* a, double* b, double* c) {
  return ParallelLineAt(x1, y1, x2, y2, offset, a, b, c);
}

double PointPolylineDistance(CPoint point, const std::list<CPoint>& points) {
  double best = DBL_MAX;
  if (points.size() < 2) return best;
  for (auto it = points.begin(), next = std::next(it); next != points.end(); ++it, ++next) {
    const double d = PointSegmentDistance(point, it->x, it->y, next->x, next->y);
    if (d < best) best = d;
  }
  return best;
}

BOOL NearestPointOnSegment(int x1, int y1, int x2, int y2, double tolerance, int px, int py,
                           CPoint* foot, double* distance) {
  if (SamePoint(px, py, x1, y1) || SamePoint(px, py, x2, y2)) {
    *foot = CPoint(px, py);
    *distance = 0.0;
    return TRUE;
  }
  CPoint f(x1, y1);
  double d = 0;
  if (SamePoint(x1, y1, x2, y2)) {
    // No direction to project on: the segment is its one point.
    d = SqrtDistance(px, py, x1, y1);
  } else {
    const double a = static_cast<double>(y2) - y1;
    const double b = static_cast<double>(x1) - x2;
    const double c = -b * y1 - a * x1;
    const double norm2 = a * a + b * b;
    f.x = x1 == x2 ? x1 : RoundToNearest((px * b * b - py * a * b - a * c) / norm2);
    f.y = y1 == y2 ? y1 : RoundToNearest((py * a * a - px * a * b - b * c) / norm2);
    if (PointInSegmentBox(f.x, f.y, x1, y1, x2, y2)) {
      const double s = a * px + b * py + c;
      d = std::sqrt(s * s / norm2);
    } else {
      const double d1 = SqrtDistance(px, py, x1, y1);
      const double d2 = SqrtDistance(px, py, x2, y2);
      f = d2 < d1 ? CPoint(x2, y2) : CPoint(x1, y1);
      d = d2 < d1 ? d2 : d1;
    }
  }
  if (!(d <= tolerance)) return FALSE;
  *foot = f;
  *distance = d;
  return TRUE;
}

double PointToSegmentDistance(int x1, int y1, int x2, int y2, CPoint point, CPoint* foot) {
  if (point == CPoint(x1, y1) || point == CPoint(x2, y2)) {
    *foot = point;
    return 0.0;
  }
  if (SamePoint(x1, y1, x2, y2)) {
    *foot = CPoint(x1, y1);
    return SqrtDistance(point.x, point.y, x1, y1);
  }
  *foot = ProjectPointOntoLine2P(point.x, point.y, x1, y1, x2, y2);
  return PointLine2PDistance(point.x, point.y, x1, y1, x2, y2);
}

int PointDistance(int x1, int y1, int x2, int y2) {
  return RoundToNearest(SqrtDistance(x1, y1, x2, y2));
}

int PointDistanceEx(int x1, int y1, int x2, int y2, double* exact) {
  *exact = SqrtDistance(x1, y1, x2, y2);
  return RoundToNearest(*exact);
}

double LineAngle(int x1, int y1, int x2, int y2) { return VectorAngle(x1, y1, x2, y2); }

double VectorAngleHorz(int x1, int y1, int x2, int y2) {
  if (SamePoint(x1, y1, x2, y2)) return 0.0;
  if (x1 == x2) return y2 > y1 ? kHorzPi / 2 : 3 * kHorzPi / 2;
  if (y1 == y2) return x2 > x1 ? 0.0 : kHorzPi;
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  double angle = std::atan(dy / dx);
  if (dx < 0) angle += kHorzPi;
  else if (dy < 0) angle += 2 * kHorzPi;
  return angle;
}

double AngleBetween(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  const double a = LineAngle(x1, y1, x2, y2);
  const double b = LineAngle(x3, y3, x4, y4);
  return b >= a ? b - a : b + kFullTurn - a;
}

void ScaledDirection(CPoint* out, int x1, int y1, double length, int x2, int y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double norm = std::sqrt(dx * dx + dy * dy);
  if (norm == 0) {
    *out = CPoint(0, 0);
    return;
  }
  *out = CPoint(RoundToNearest(dx * length / norm), RoundToNearest(dy * length / norm));
}

int Quadrant(int dx, int dy) {
  if (dx >= 0) return dy >= 0 ? 1 : 4;
  return dy >= 0 ? 2 : 3;
}

BOOL SameQuadrantDirection(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3) {
  const double ax = static_cast<double>(x0) - x1;
  const double ay = static_cast<double>(y0) - y1;
  const double bx = static_cast<double>(x2) - x3;
  const double by = static_cast<double>(y2) - y3;
  return SignsAgree(ax, bx) && SignsAgree(ay, by) ? TRUE : FALSE;
}

BOOL SameSideOfLine(int px1, int py1, int px2, int py2, int x1, int y1, int x2, int y2) {
  double a = 0, b = 0, c = 0;
  LineFromPoints(x1, y1, x2, y2, &a, &b, &c);
  const double s1 = a * px1 + b * py1 + c;
  const double s2 = a * px2 + b * py2 + c;
  return SignsAgree(s1, s2) ? TRUE : FALSE;
}

BOOL PointInSegmentBox2(int px, int py, int x1, int y1, int x2, int y2) {
  return PointInSegmentBox(px, py, x1, y1, x2, y2);
}

void ExtendBounds(int x, int y, int* minX, int* minY, int* maxX, int* maxY) {
  if (x < *minX) *minX = x;
  if (y < *minY) *minY = y;
  if (x > *maxX) *maxX = x;
  if (y > *maxY) *maxY = y;
}
