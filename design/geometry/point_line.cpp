#include "design/geometry/point_line.h"
#include "design/geometry/measure.h"

#include <cfloat>
#include <cmath>


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
  *rx = WrapAdd(RoundToNearest(dx * cosA - dy * sinA), cx);
  *ry = WrapAdd(RoundToNearest(dx * sinA + dy * cosA), cy);
}

void RotatePointInPlace(CPoint* point, int cx, int cy, double sinA, double cosA) {
  RotateXY(point->x, point->y, cx, cy, sinA, cosA, &point->x, &point->y);
}
