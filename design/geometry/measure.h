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
inline constexpr double kTwoPi = 2 * kPi;  // 6.28318530718
// pi to ten decimals, as the outline's notch directions turn with it.
inline constexpr double kPiTenDigits = 3.1415926536;
inline constexpr double kTwoPiTenDigits = 6.2831853072;
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
template <typename Node>
  requires requires(const Node& n) { n.X; n.Y; }
double Distance(const Node& a, const Node& b) {
  return Distance(static_cast<double>(a.X), static_cast<double>(a.Y), static_cast<double>(b.X),
                  static_cast<double>(b.Y));
}

// The distance as the square root of the sum of squares. Where lengths were
// always computed so (outline walks, dimension texts, the point-line
// primitives) they keep it: it can differ from std::hypot in the last bit,
// which truncation to model units can show.
inline double SqrtDistance(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}
inline double SqrtDistance(CPoint a, CPoint b) {
  return SqrtDistance(static_cast<double>(a.x), static_cast<double>(a.y), static_cast<double>(b.x),
                      static_cast<double>(b.y));
}
