// The constants and the plain distance that every geometric computation of
// the pattern model, the readers and the writers shares.
//
// Values here are pinned by stored files and golden outputs: changing a digit
// moves rounded model units, so each precision keeps its own name.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "platform/geometry_types.h"

// pi as the pattern system has always computed with it: angles in tenths of
// a degree, text and dimension directions, grading and transforms.
inline constexpr double kPi = 3.14159265359;
// The shorter pi of the angle primitives (VectorAngle and the sweep tests).
inline constexpr double kPiShort = 3.1415926;
// pi to double precision, for sampling arcs read from DXF files.
inline constexpr double kPiExact = std::numbers::pi;

// Straight-line distance between two points in model units (or pixels).
inline double Distance(double x1, double y1, double x2, double y2) { return std::hypot(x2 - x1, y2 - y1); }
inline double Distance(CPoint a, CPoint b) {
  return Distance(static_cast<double>(a.x), static_cast<double>(a.y), static_cast<double>(b.x),
                  static_cast<double>(b.y));
}
