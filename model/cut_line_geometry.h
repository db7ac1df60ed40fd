// The plain geometry and the table records that the rebuild of a piece's cut
// line shares between its steps (model/cut_line_tables.h): lines beside the
// outline's edges, feet and meeting points, and the codes of the positions.
//
// Coordinates are integer model units; sums and differences wrap in 32 bits
// and moves truncate, as the stored cut lines were computed. Internal to the
// rebuild: nothing outside model/ includes this.
#pragma once

#include <cmath>
#include <cstdint>

#include "design/geometry/measure.h"
#include "model/geometry.h"
#include "model/vertex_node.h"
#include "platform/geometry_types.h"

namespace cut_line {

// A width value that means no width was given at this position.
inline constexpr int32_t kNoWidth = 8888;
// Kind of a point that is to go, and corner code of a position made for a
// corner that needs more than one cut-line point.
inline constexpr uint32_t kDeletedKind = 0xFFFFFFFFu;
inline constexpr uint32_t kInsertedCode = 0xFFFFFFFFu;
inline constexpr uint32_t kSplineKind = kVertexKindGraded;
inline constexpr uint32_t kMitreCode = 6;
inline constexpr uint32_t kSquareStepCode = 11;
inline constexpr uint32_t kHighestCornerCode = 21;

// What an outline position says about the cut line: the widths on either
// side of it and its corner code, from the parameter node after its vertex.
struct Position {
  int32_t outgoing = kNoWidth;  // width on the edge that leaves the vertex
  int32_t incoming = kNoWidth;  // width on the edge that arrives
  uint32_t code = kMitreCode;
  uint32_t further = 0;  // the high half of the parameter node's y word
};

// One size's point at a position, with the vertex kind it carries.
struct Point {
  uint32_t kind = 0;
  CPoint p;
};

// A line a x + b y = c.
struct Line {
  double a = 0;
  double b = 0;
  double c = 0;
};

inline bool SamePoint(CPoint a, CPoint b) { return a.x == b.x && a.y == b.y; }

// The two signed halves of a parameter node's word: outgoing and incoming
// widths in X, corner code and further value in Y.
inline int16_t LowHalf(int32_t word) { return static_cast<int16_t>(static_cast<uint32_t>(word) & 0xFFFFu); }
inline int16_t HighHalf(int32_t word) { return static_cast<int16_t>(static_cast<uint32_t>(word) >> 16); }

// The line beside from -> to at `width` to the right of the way from the
// first point to the second; false for a segment shorter than 0.1 mm.
inline bool OffsetLine(CPoint from, CPoint to, int32_t width, Line* line) {
  return ParallelLineAtDistance(from.x, from.y, to.x, to.y, width, &line->a, &line->b, &line->c) != FALSE;
}

// Where two lines meet; false for parallel lines (x is then unspecified).
inline bool Meet(const Line& l1, const Line& l2, CPoint* x) {
  return SolveLinear2(l1.a, l1.b, l1.c, l2.a, l2.b, l2.c, &x->x, &x->y) == 1;
}

// The foot of the perpendicular from `p` on `line`.
inline CPoint Foot(CPoint p, const Line& line) {
  CPoint foot;
  PerpendicularFoot(p.x, p.y, line.a, line.b, line.c, &foot.x, &foot.y);
  return foot;
}

// The line through two points (no line for two equal points).
inline Line Through(CPoint p, CPoint q) {
  Line line;
  line.a = static_cast<double>(q.y) - p.y;
  line.b = static_cast<double>(p.x) - q.x;
  line.c = line.a * p.x + line.b * p.y;
  return line;
}

// The line through `p` square to the direction (dx, dy).
inline Line SquareTo(CPoint p, double dx, double dy) {
  Line line;
  line.a = dx;
  line.b = dy;
  line.c = dx * p.x + dy * p.y;
  return line;
}

// The vector `v` turned counter-clockwise by `phi` radians, each component
// rounded.
inline CPoint Turned(CPoint v, double phi) {
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  return CPoint(RoundToInt(v.x * c - v.y * s), RoundToInt(v.x * s + v.y * c));
}

inline CPoint Plus(CPoint a, CPoint b) { return CPoint(WrapAdd(a.x, b.x), WrapAdd(a.y, b.y)); }
inline CPoint Minus(CPoint a, CPoint b) { return CPoint(WrapSub(a.x, b.x), WrapSub(a.y, b.y)); }

// `from` moved by `length` in the direction (dx, dy), each coordinate
// truncated; `from` itself for a direction of no length.
inline CPoint MovedAlong(CPoint from, double dx, double dy, double length) {
  const double norm = std::hypot(dx, dy);
  if (norm == 0) return from;
  return CPoint(TruncateTowardZero(from.x + length * dx / norm), TruncateTowardZero(from.y + length * dy / norm));
}

// Angle between the edges at C, from the way to the next point round to the
// way to the previous one, in degrees 0 .. 360.
inline double CornerAngle(CPoint c, CPoint prev, CPoint next) {
  double angle = (VectorAngle(c.x, c.y, prev.x, prev.y) - VectorAngle(c.x, c.y, next.x, next.y)) * 180.0 / kPi;
  if (angle < 0) angle += 360.0;
  return angle;
}

}  // namespace cut_line
