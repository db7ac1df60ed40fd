#include "design/geometry/primitives.h"
#include "design/geometry/measure.h"

#include <cmath>

namespace {

// The full turn the sweep test wraps with.
constexpr double kSweepTurn = 6.2832;

}  // namespace

double VectorAngle(int x1, int y1, int x2, int y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  if (dx != 0) {
    const double a = std::atan(dy / dx);
    if (dx < 0) return a + kPiShort;
    if (dy < 0) return a + 2 * kPiShort;
    return a;
  }
  if (dy > 0) return kPiShort / 2;
  if (dy < 0) return 1.5 * kPiShort;
  return 0;
}

BOOL IsSweepNotLess(int x1, int y1, int x2, int y2, int x3, int y3, int cx, int cy) {
  const double a1 = VectorAngle(cx, cy, x1, y1);
  double d2 = VectorAngle(cx, cy, x2, y2) - a1;
  double d3 = VectorAngle(cx, cy, x3, y3) - a1;
  if (d2 < 0) d2 += kSweepTurn;
  if (d3 < 0) d3 += kSweepTurn;
  return d2 >= d3 ? TRUE : FALSE;
}

int SolveQuadratic(double a, double b, double c, double* r1, double* r2) {
  if (IsNegligible(a) && IsNegligible(b) && IsNegligible(c)) return 3;
  if (!IsNegligible(a)) {
    const double q = b * b - 4 * a * c;
    if (q + 1.0 < 1.0) return 3;
    // A discriminant a hair below zero passes the test above; it is a double
    // root, not a NaN.
    const double s = q > 0 ? std::sqrt(q) : 0.0;
    *r1 = (-b + s) / (2 * a);
    *r2 = (-b - s) / (2 * a);
    return IsNegligible(s) ? 1 : 2;
  }
  if (!IsNegligible(b)) {
    *r1 = *r2 = -c / b;
    return 1;
  }
  return 0;
}
