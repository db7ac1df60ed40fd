// The corner constructions of the cut line, one function per family of
// corner codes. Each returns the points in order along the cut line; where
// the lines it needs do not meet it repeats a foot so that the corner still
// fills its positions.
#include "model/cut_line_corners.h"
#include "design/geometry/measure.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace cut_line {
namespace {

constexpr double kHalfPi = kPi / 2;

// What every construction starts from: the feet of C on the incoming and
// outgoing cut lines, the angle between the edges at C (radians, from the
// way to the next point round to the way to the previous one) and the lines
// of the two outline edges.
struct CornerBase {
  CPoint footA;
  CPoint footB;
  double theta = 0;
  Line incomingEdge;
  Line outgoingEdge;
};

CornerBase BaseOf(const Corner& k) {
  CornerBase base;
  base.footA = Foot(k.c, k.a);
  base.footB = Foot(k.c, k.b);
  base.theta = VectorAngle(k.c.x, k.c.y, k.prev.x, k.prev.y) - VectorAngle(k.c.x, k.c.y, k.next.x, k.next.y);
  base.incomingEdge = Through(k.prev, k.c);
  base.outgoingEdge = Through(k.c, k.next);
  return base;
}

// The turn test of the corners with a step: negative when the outline turns
// one way at C (the step is made), positive the other.
double TurnSign(const Corner& k) {
  return (static_cast<double>(k.c.y) - k.prev.y) * k.next.x + (static_cast<double>(k.prev.y) - k.next.y) * k.c.x +
         (static_cast<double>(k.next.y) - k.c.y) * k.prev.x;
}

// Codes 1 and 4: the cut line steps square at C, on the outgoing side (1) or
// the incoming side (4), to where the cut lines meet.
std::vector<CornerPoint> MitreStepCorner(bool incomingSide, const Corner& k, const CornerBase& base) {
  CPoint x;
  if (incomingSide) {
    if (Meet(k.a, k.b, &x)) return {{base.footA}, {x}, {k.c}};
    return {{base.footA}, {base.footA}, {k.c}};
  }
  if (Meet(k.a, k.b, &x)) return {{k.c}, {x}, {base.footB}};
  return {{k.c}, {base.footB}, {base.footB}};
}

// Codes 2 and 5: the incoming edge mirrored about the outgoing one (2), or
// the outgoing edge about the incoming one (5), cut by the other cut line.
std::vector<CornerPoint> MirroredEdgeCorner(bool mirrorOutgoing, const Corner& k, const CornerBase& base) {
  CPoint x;
  if (!mirrorOutgoing) {
    const CPoint r = Turned(Minus(k.next, k.c), -base.theta);
    if (Meet(k.b, Through(k.c, Plus(k.c, r)), &x)) return {{k.c}, {x}, {base.footB}};
    return {{k.c}, {base.footB}, {base.footB}};
  }
  const CPoint r = Turned(Minus(k.prev, k.c), base.theta);
  if (Meet(k.a, Through(k.c, Plus(k.c, r)), &x)) return {{x}, {base.footB}, {k.c}};
  return {{base.footA}, {base.footA}, {k.c}};
}

// Codes 7 and 8: where one cut line crosses the other edge's line, and from
// there the mirrored edge back to the first cut line.
std::vector<CornerPoint> MirroredStepCorner(bool outgoingSide, const Corner& k, const CornerBase& base) {
  CPoint x1;
  CPoint x2;
  if (!outgoingSide) {
    if (!Meet(k.b, base.incomingEdge, &x1)) return {{base.footA}, {base.footA}, {base.footA}, {base.footB, true}};
    const CPoint r = Turned(Minus(k.prev, k.c), base.theta);
    if (!Meet(k.a, Through(x1, Plus(x1, r)), &x2)) x2 = Foot(x1, k.a);
    return {{base.footA}, {x2}, {x1}, {base.footB, true}};
  }
  if (!Meet(k.a, base.outgoingEdge, &x1)) return {{base.footA, true}, {base.footB}, {base.footB}, {base.footB}};
  const CPoint r = Turned(Minus(k.next, k.c), -base.theta);
  if (!Meet(k.b, Through(x1, Plus(x1, r)), &x2)) x2 = Foot(x1, k.b);
  return {{base.footA, true}, {x1}, {x2}, {base.footB}};
}

// Codes 9 and 10: where one cut line crosses the other edge's line, with the
// foot from there on the first cut line.
std::vector<CornerPoint> SquareStepCorner(bool outgoingSide, const Corner& k, const CornerBase& base) {
  CPoint x;
  if (!outgoingSide) {
    if (Meet(k.b, base.incomingEdge, &x)) return {{base.footA}, {Foot(x, k.a)}, {x}, {base.footB, true}};
    return {{base.footA}, {base.footA}, {base.footA}, {base.footB, true}};
  }
  if (Meet(k.a, base.outgoingEdge, &x)) return {{base.footA, true}, {x}, {Foot(x, k.b)}, {base.footB}};
  return {{base.footA, true}, {base.footB}, {base.footB}, {base.footB}};
}

// Code 12: squared off square to the mitre, as far out as the wider edge.
std::vector<CornerPoint> SquaredMitreCorner(const Corner& k, const CornerBase& base) {
  const int32_t w = std::max(std::abs(k.incoming), std::abs(k.outgoing));
  CPoint x;
  if (!Meet(k.a, k.b, &x) || Distance(x, k.c) <= 1.0) {
    return {{base.footA}, {base.footA}, {base.footA}, {base.footB, true}};
  }
  const double dx = static_cast<double>(x.x) - k.c.x;
  const double dy = static_cast<double>(x.y) - k.c.y;
  const double len = std::hypot(dx, dy);
  const CPoint t(RoundToInt(k.c.x + w * dx / len), RoundToInt(k.c.y + w * dy / len));
  const Line square = SquareTo(t, dx, dy);
  CPoint y1;
  CPoint y2;
  if (!Meet(square, k.a, &y1)) {
    y1 = Foot(t, k.a);
    y2 = Foot(t, k.b);
  } else if (!Meet(square, k.b, &y2)) {
    y2 = Foot(y1, k.b);
  }
  return {{base.footA}, {y1}, {y2}, {base.footB, true}};
}

// Codes 13 and 14: a step of the further value's length beyond C along the
// incoming edge (13) or, mirrored, the outgoing one (14).
std::vector<CornerPoint> FurtherStepCorner(bool mirrored, const Corner& k, const CornerBase& base) {
  const double t = TurnSign(k);
  if (mirrored ? !(t > 0) : !(t < 0)) {
    return mirrored ? std::vector<CornerPoint>{{base.footA}, {base.footA}, {base.footA}, {base.footA}, {base.footB}}
                    : std::vector<CornerPoint>{{base.footA}, {base.footB}, {base.footB}, {base.footB}, {base.footB}};
  }
  const CPoint from = mirrored ? k.next : k.prev;
  const CPoint e = MovedAlong(k.c, static_cast<double>(k.c.x) - from.x, static_cast<double>(k.c.y) - from.y,
                              static_cast<double>(k.further));
  CPoint x;
  if (mirrored) {
    if (!Meet(k.a, base.outgoingEdge, &x)) x = base.footA;
    return {{base.footA}, {x}, {e}, {Foot(e, k.b)}, {base.footB}};
  }
  if (!Meet(k.b, base.incomingEdge, &x)) x = base.footB;
  return {{base.footA}, {Foot(e, k.a)}, {e}, {x}, {base.footB}};
}

// Code 15: each cut line runs on to the other edge's line.
std::vector<CornerPoint> BothEdgesSquaredCorner(const Corner& k, const CornerBase& base) {
  CPoint x1;
  CPoint x2;
  if (!Meet(k.a, base.outgoingEdge, &x1)) x1 = base.footA;
  if (!Meet(k.b, base.incomingEdge, &x2)) x2 = base.footB;
  return {{base.footA, true}, {x1}, {x2}, {base.footB, true}};
}

// The corners of codes 16, 17 and 18: squared off at the distance `w` out
// from C on the corner's bisector.
std::vector<CornerPoint> BisectorSquareCorner(const Corner& k, CPoint footA, CPoint footB, int32_t w) {
  // M: halfway between the previous point and the point of the outgoing
  // edge as far from C as the previous point.
  const CPoint along = MovedAlong(k.c, static_cast<double>(k.next.x) - k.c.x, static_cast<double>(k.next.y) - k.c.y,
                                  Distance(k.c, k.prev));
  const CPoint m(static_cast<int32_t>((static_cast<int64_t>(k.prev.x) + along.x) / 2),
                 static_cast<int32_t>((static_cast<int64_t>(k.prev.y) + along.y) / 2));
  const CPoint t = MovedAlong(k.c, static_cast<double>(k.c.x) - m.x, static_cast<double>(k.c.y) - m.y, w);
  CPoint y1 = footA;
  CPoint y2 = footB;
  if (!SamePoint(t, k.c)) {
    const Line square = SquareTo(t, static_cast<double>(t.x) - k.c.x, static_cast<double>(t.y) - k.c.y);
    if (!Meet(square, k.a, &y1)) y1 = footA;
    if (!Meet(square, k.b, &y2)) y2 = footB;
  }
  return {{footA, true}, {y1}, {y2}, {footB, true}};
}

// Code 19: the cut line stepped in by the further value around the point
// where the edges, moved to the other side, meet.
std::vector<CornerPoint> SteppedInCorner(const Corner& k, const CornerBase& base) {
  Line otherA;
  Line otherB;
  CPoint kp = k.c;
  const bool haveA = OffsetLine(k.prev, k.c, -k.incoming, &otherA);
  const bool haveB = OffsetLine(k.c, k.next, -k.outgoing, &otherB);
  if (!(haveA && haveB && Meet(otherA, otherB, &kp))) {
    if (k.incoming == 0 && k.outgoing == 0) {
      kp = k.c;
    } else if (k.incoming == 0) {
      kp = haveB ? Foot(k.c, otherB) : k.c;
    } else {
      kp = haveA ? Foot(k.c, otherA) : k.c;
    }
  }
  const CPoint fa = Foot(kp, k.a);
  const CPoint fb = Foot(kp, k.b);
  const int32_t h = static_cast<int16_t>(k.further & 0xFFFFu);
  Line l1;
  Line l2;
  const bool have1 = OffsetLine(fa, k.c, h, &l1);
  const bool have2 = OffsetLine(k.c, fb, h, &l2);
  CPoint z = k.c;
  if (!(have1 && have2 && Meet(l1, l2, &z))) z = (h == 0 || !have1) ? k.c : Foot(k.c, l1);
  CPoint y1 = base.footA;
  CPoint y2 = base.footB;
  if (!(have1 && Meet(l1, k.a, &y1))) y1 = base.footA;
  if (!(have2 && Meet(l2, k.b, &y2))) y2 = base.footB;
  return {{y1}, {z}, {y2}};
}

// Codes 20 and 21: a step of the further value's length beyond C, with the
// far cut line run on to the other edge only at a corner wider than a right
// angle.
std::vector<CornerPoint> FurtherStepWideCorner(bool mirrored, const Corner& k, const CornerBase& base) {
  const double t = TurnSign(k);
  if (mirrored ? !(t > 0) : !(t < 0)) {
    return mirrored ? std::vector<CornerPoint>{{base.footA}, {base.footA}, {base.footA}, {base.footB}}
                    : std::vector<CornerPoint>{{base.footA}, {base.footB}, {base.footB}, {base.footB}};
  }
  double angle = mirrored ? -base.theta : base.theta;
  if (angle < 0) angle += kTwoPi;
  const CPoint from = mirrored ? k.next : k.prev;
  const CPoint e = MovedAlong(k.c, static_cast<double>(k.c.x) - from.x, static_cast<double>(k.c.y) - from.y,
                              static_cast<double>(k.further));
  if (mirrored) {
    CPoint first = base.footA;
    if (angle > kHalfPi && !Meet(k.a, base.outgoingEdge, &first)) first = base.footA;
    return {{first}, {e}, {Foot(e, k.b)}, {base.footB}};
  }
  CPoint last = base.footB;
  if (angle > kHalfPi && !Meet(k.b, base.incomingEdge, &last)) last = base.footB;
  return {{base.footA}, {Foot(e, k.a)}, {e}, {last}};
}

}  // namespace

size_t CornerPositions(uint32_t code) {
  switch (code) {
    case 0: case 3: case 11: return 2;
    case 1: case 2: case 4: case 5: case 19: return 3;
    case 13: case 14: return 5;
    case 7: case 8: case 9: case 10: case 12: case 15: case 16: case 17: case 18: case 20: case 21: return 4;
    default: return 1;
  }
}

std::vector<CornerPoint> CornerPoints(uint32_t code, const Corner& k) {
  const CornerBase base = BaseOf(k);
  switch (code) {
    case 0: return {{k.c}, {base.footB}};
    case 3: return {{base.footA}, {k.c}};
    case 1: case 4: return MitreStepCorner(code == 4, k, base);
    case 2: case 5: return MirroredEdgeCorner(code == 5, k, base);
    case kSquareStepCode: return {{base.footA}, {base.footB}};
    case 7: case 8: return MirroredStepCorner(code == 8, k, base);
    case 9: case 10: return SquareStepCorner(code == 10, k, base);
    case 12: return SquaredMitreCorner(k, base);
    case 13: case 14: return FurtherStepCorner(code == 14, k, base);
    case 15: return BothEdgesSquaredCorner(k, base);
    case 16: return BisectorSquareCorner(k, base.footA, base.footB, k.incoming);
    case 17: return BisectorSquareCorner(k, base.footA, base.footB, k.outgoing);
    case 18: return BisectorSquareCorner(k, base.footA, base.footB, static_cast<int16_t>(k.further & 0xFFFFu));
    case 19: return SteppedInCorner(k, base);
    case 20: case 21: return FurtherStepWideCorner(code == 21, k, base);
    default: return {{k.c}};
  }
}

}  // namespace cut_line
