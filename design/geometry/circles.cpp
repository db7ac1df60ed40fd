#include "design/geometry/circles.h"

#include <cmath>

#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"

namespace {

// The greatest centre coordinate or radius a circle may have and still be
// handed back in model units.
constexpr double kCoordinateLimit = 2147483646.0;
constexpr double kMinRadius = 1.0;

void Put(CPoint p, int* x, int* y) {
  *x = p.x;
  *y = p.y;
}

}  // namespace

int IntersectLineCircle(double a, double b, double c, int cx, int cy, double r, CPoint* p1,
                        CPoint* p2) {
  const double x0 = cx;
  const double y0 = cy;
  double r1 = 0;
  double r2 = 0;
  CPoint q1;
  CPoint q2;
  if (std::fabs(b) < std::fabs(a)) {
    // Steep line: solve for y, then x from the line.
    const double qa = a * a + b * b;
    const double qb = 2 * b * c + 2 * a * b * x0 - 2 * a * a * y0;
    const double qc = c * c + 2 * x0 * a * c + a * a * x0 * x0 + a * a * y0 * y0 - a * a * r * r;
    const int code = SolveQuadratic(qa, qb, qc, &r1, &r2);
    if (code != 1 && code != 2) return 0;
    q1 = CPoint(RoundToNearest(-(b * r1 + c) / a), RoundToNearest(r1));
    q2 = CPoint(RoundToNearest(-(b * r2 + c) / a), RoundToNearest(r2));
  } else {
    const double qa = a * a + b * b;
    const double qb = 2 * a * c + 2 * a * b * y0 - 2 * b * b * x0;
    const double qc = c * c + 2 * y0 * b * c + b * b * y0 * y0 + b * b * x0 * x0 - b * b * r * r;
    const int code = SolveQuadratic(qa, qb, qc, &r1, &r2);
    if (code != 1 && code != 2) return 0;
    q1 = CPoint(RoundToNearest(r1), RoundToNearest(-(a * r1 + c) / b));
    q2 = CPoint(RoundToNearest(r2), RoundToNearest(-(a * r2 + c) / b));
  }
  *p1 = q1;
  *p2 = q2;
  return q1 == q2 ? 1 : 2;
}

int IntersectLine2PCirclePt(int x1, int y1, int x2, int y2, int cx, int cy, double r, CPoint* p1,
                            CPoint* p2) {
  if ((x1 == x2 && y1 == y2) || r < kMinRadius) return 0;
  double a = 0, b = 0, c = 0;
  LineFromPoints(x1, y1, x2, y2, &a, &b, &c);
  return IntersectLineCircle(a, b, c, cx, cy, r, p1, p2);
}

int IntersectLine2PCircle(int x1, int y1, int x2, int y2, int cx, int cy, double r, int* ix1,
                          int* iy1, int* ix2, int* iy2) {
  CPoint p1;
  CPoint p2;
  const int n = IntersectLine2PCirclePt(x1, y1, x2, y2, cx, cy, r, &p1, &p2);
  if (n != 0) {
    Put(p1, ix1, iy1);
    Put(p2, ix2, iy2);
  }
  return n;
}

int IntersectSegmentCirclePt(int x1, int y1, int x2, int y2, int cx, int cy, double r, CPoint* p1,
                             CPoint* p2) {
  CPoint found[2];
  const int n = IntersectLine2PCirclePt(x1, y1, x2, y2, cx, cy, r, &found[0], &found[1]);
  if (n == 0) return 0;
  CPoint kept[2];
  int count = 0;
  for (const CPoint& p : found) {
    if (PointInSegmentBox(p.x, p.y, x1, y1, x2, y2)) kept[count++] = p;
  }
  if (count > n) count = n;
  if (count > 0) *p1 = kept[0];
  if (count > 1) *p2 = kept[1];
  return count;
}

int IntersectSegmentCircle(int x1, int y1, int x2, int y2, int cx, int cy, double r, int* ix1,
                           int* iy1, int* ix2, int* iy2) {
  CPoint p1(*ix1, *iy1);
  CPoint p2(*ix2, *iy2);
  const int n = IntersectSegmentCirclePt(x1, y1, x2, y2, cx, cy, r, &p1, &p2);
  if (n > 0) Put(p1, ix1, iy1);
  if (n > 1) Put(p2, ix2, iy2);
  return n;
}

int IntersectCirclesPt(int cx1, int cy1, double r1, int cx2, int cy2, double r2, CPoint* p1,
                       CPoint* p2) {
  const double x1 = cx1, y1 = cy1, x2 = cx2, y2 = cy2;
  const double a = 2 * x2 - 2 * x1;
  const double b = 2 * y2 - 2 * y1;
  const double c = x1 * x1 + y1 * y1 - r1 * r1 - x2 * x2 - y2 * y2 + r2 * r2;
  return IntersectLineCircle(a, b, c, cx1, cy1, r1, p1, p2);
}

int IntersectCircles(int cx1, int cy1, double r1, int cx2, int cy2, double r2, int* x1, int* y1,
                     int* x2, int* y2) {
  CPoint p1;
  CPoint p2;
  const int n = IntersectCirclesPt(cx1, cy1, r1, cx2, cy2, r2, &p1, &p2);
  if (n != 0) {
    Put(p1, x1, y1);
    Put(p2, x2, y2);
  }
  return n;
}

int IntersectCirclesPt2(CPoint c1, double r1, CPoint c2, double r2, CPoint* p1, CPoint* p2) {
  return IntersectCirclesPt(c1.x, c1.y, r1, c2.x, c2.y, r2, p1, p2);
}

BOOL CircleThrough3Points(int x1, int y1, int x2, int y2, int x3, int y3, int* cx, int* cy,
                          int* r) {
  const CPoint p1(x1, y1), p2(x2, y2), p3(x3, y3);
  if (p1 == p2 || p2 == p3 || p1 == p3) return FALSE;
  // The perpendicular bisectors of p1p2 and p2p3.
  const double a1 = static_cast<double>(x1) - x2;
  const double b1 = static_cast<double>(y1) - y2;
  const double c1 = -a1 * (static_cast<double>(x1) + x2) / 2 - b1 * (static_cast<double>(y1) + y2) / 2;
  const double a2 = static_cast<double>(x3) - x2;
  const double b2 = static_cast<double>(y3) - y2;
  const double c2 = -a2 * (static_cast<double>(x2) + x3) / 2 - b2 * (static_cast<double>(y2) + y3) / 2;
  double fx = 0;
  double fy = 0;
  if (IntersectLines(a1, b1, c1, a2, b2, c2, &fx, &fy) != 1) return FALSE;
  const double radius = SqrtDistance(x1, y1, fx, fy);
  if (!(radius >= kMinRadius && radius < kCoordinateLimit)) return FALSE;
  if (!(std::fabs(fx) < kCoordinateLimit && std::fabs(fy) < kCoordinateLimit)) return FALSE;
  *cx = RoundToNearest(fx);
  *cy = RoundToNearest(fy);
  const int rounded = RoundToNearest(radius);
  *r = IsSweepNotLess(x1, y1, x2, y2, x3, y3, *cx, *cy) ? rounded : -rounded;
  return TRUE;
}
