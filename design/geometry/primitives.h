// The few numeric rules that the pattern model and the design model share:
// how a double becomes a model coordinate, how a direction is measured, and
// the quadratic solver. They live here, in the lowest geometry library, so
// that both models use one definition; model/geometry.h re-exports them.
// As everywhere in the geometry code, an output argument is a pointer that
// must not be null.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/win_types.h"

// Turns a double back into model units, rounding half away from zero:
// 2.5 -> 3, -2.5 -> -3, -0.4 -> 0. A value beyond the int32 range is clamped
// to it, and NaN (from a degenerate division upstream) gives 0, so that no
// undefined conversion can reach a coordinate.
// Inline: the curve sampling calls it for every point it makes.
inline int32_t RoundToNearest(double v) {
  if (v != v) return 0;
  const double r = std::trunc(v >= 0 ? v + 0.5 : v - 0.5);
  if (r >= 2147483647.0) return INT32_MAX;
  if (r <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(r);
}

// The same rule under the name the piece operations use.
inline int32_t RoundToInt(double v) { return RoundToNearest(v); }

// True when `v` counts as zero where it would divide or scale: its magnitude
// is not above the smallest normal double.
inline bool IsZeroDivisor(double v) { return !(std::fabs(v) > 2.2250738585072014e-308); }

// True when `v` is too small to change 1.0: the zero test of the solvers and
// the spline (|v| + 1.0 == 1.0).
inline bool IsNegligible(double v) { return (v < 0 ? -v : v) + 1.0 == 1.0; }

// Direction of the vector (x1, y1) -> (x2, y2) in radians, in [0, 2 pi),
// counter-clockwise from +x in model coordinates. Uses pi = 3.1415926 for its
// quadrant corrections, which stored angles were computed with; a point with
// itself gives 0.
double VectorAngle(int x1, int y1, int x2, int y2);

// Seen from the centre (cx, cy), whether the counter-clockwise sweep from p1
// to p2 is at least the sweep from p1 to p3 (each sweep wrapped into [0, 2 pi)
// by adding 6.2832). Tells which way an arc through p1, p2, p3 turns.
BOOL IsSweepNotLess(int x1, int y1, int x2, int y2, int x3, int y3, int cx, int cy);

// Solves a x^2 + b x + c = 0. Returns 3 when a, b and c are all negligible
// (every x solves) or when the discriminant is negative (no real root: callers
// treat that like 0); 2 with two roots r1 = (-b + sqrt D) / 2a and
// r2 = (-b - sqrt D) / 2a; 1 with one root in both outputs (a double root, or
// the linear case b x + c = 0); 0 when only c is not negligible. The outputs
// are written only for results 1 and 2.
int SolveQuadratic(double a, double b, double c, double* r1, double* r2);
