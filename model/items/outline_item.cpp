#include "model/items/outline_item.h"

#include <cmath>

#include "model/geometry.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/dc.h"
#include "design/geometry/measure.h"

namespace {

double SegmentLength(const CVertexNode* a, const CVertexNode* b) { return Distance(*a, *b); }

double DistanceTo(int x, int y, const CVertexNode* node) {
  return Distance(x, y, node->X, node->Y);
}

CVertexNode* Step(CVertexNode* node, bool forward) { return forward ? node->Next : node->Prev; }


// Curve length from `from` to `to`, following Next (forward) or Prev; 0 when
// they are the same node. A node that is not met ends the walk after one turn
// (the whole ring's length).
double LengthBetween(CVertexNode* from, CVertexNode* to, bool forward) {
  double length = 0;
  CVertexNode* node = from;
  while (node != to) {
    CVertexNode* next = Step(node, forward);
    length += SegmentLength(node, next);
    node = next;
    if (node == from) break;
  }
  return length;
}

// From `from`, at least one step on, the first node that `stop` accepts,
// with the curve length walked; `from` itself once the walk has come round.
// Null when one turn finds none.
template <typename Stop>
CVertexNode* WalkUntil(CVertexNode* from, bool forward, Stop stop, double* length) {
  *length = 0;
  CVertexNode* node = from;
  do {
    CVertexNode* next = Step(node, forward);
    *length += SegmentLength(node, next);
    node = next;
    if (stop(node)) return node;
  } while (node != from);
  return nullptr;
}

// The point `distance` along the curve from `from`: forward for a distance of
// 0 or more, backward for a negative one. A distance longer than the ring
// wraps round it; on a ring of no length the walk ends at its start.
CPoint PointAtDistance(CVertexNode* from, double distance) {
  const bool forward = distance >= 0;
  const double target = std::fabs(distance);
  // Most distances end within the first turn. That walk is the one below
  // without the skip of whole turns, which a distance shorter than the ring
  // never takes, so the ring's length is measured only for a walk that comes
  // round to its start.
  {
    CVertexNode* node = from;
    CVertexNode* previous = from;
    double sum = 0;
    double segment = 0;
    bool turned = false;
    while (sum < target) {
      previous = node;
      node = Step(node, forward);
      segment = SegmentLength(previous, node);
      sum += segment;
      if (node == from) {
        turned = true;
        break;
      }
    }
    if (!turned) {
      if (std::trunc(sum) == target) return CPoint(node->X, node->Y);
      const double back = (sum - target) / segment;
      return CPoint(WrapAdd(node->X, RoundToInt((static_cast<double>(previous->X) - node->X) * back)),
                    WrapAdd(node->Y, RoundToInt((static_cast<double>(previous->Y) - node->Y) * back)));
    }
  }
  double ringLength = 0;
  CVertexNode* node = from;
  do {
    ringLength += SegmentLength(node, node->Next);
    node = node->Next;
  } while (node != from);
  if (target > 0 && !(ringLength > 0)) return CPoint(from->X, from->Y);
  double sum = 0;
  // Whole turns end where they began: skip most of them at once, so that a
  // huge distance cannot keep the walk going round for long.
  if (target > 4 * ringLength) sum = (std::floor(target / ringLength) - 2) * ringLength;
  CVertexNode* previous = from;
  double segment = 0;
  while (sum < target) {
    previous = node;
    node = Step(node, forward);
    segment = SegmentLength(previous, node);
    sum += segment;
  }
  if (std::trunc(sum) == target) return CPoint(node->X, node->Y);
  const double back = (sum - target) / segment;
  return CPoint(WrapAdd(node->X, RoundToInt((static_cast<double>(previous->X) - node->X) * back)),
                WrapAdd(node->Y, RoundToInt((static_cast<double>(previous->Y) - node->Y) * back)));
}

// The share a : b of a span's length rounded to model units; 0 for a ratio
// without parts (a + b = 0).
int RatioOfLength(double total, int a, int b) {
  const double parts = static_cast<double>(a) + b;
  if (parts == 0) return 0;
  return RoundToInt(static_cast<double>(RoundToInt(total)) * a / parts);
}

// Turns the vector (x, y) by `angle` radians, counter-clockwise in model
// coordinates.
void Rotate(double* x, double* y, double angle) {
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double rx = *x * c - *y * s;
  const double ry = *y * c + *x * s;
  *x = rx;
  *y = ry;
}

bool IsPlacementCode(int code) {
  switch (code) {
    case kNotchRatioToKey:
    case kNotchFromStartToKey:
    case kNotchFromEndToKey:
    case kNotchRatioToVertex:
    case kNotchFromStartToVertex:
    case kNotchFromEndToVertex:
      return true;
    default:
      return false;
  }
}

// The end of the direction walk for a notch: from `start` on, adding curve
// length, until 5 mm of curve are behind, or at least 1 mm and a vertex. A
// walk that comes round the whole curve ends at its start.
CVertexNode* DirectionWalk(int x, int y, CVertexNode* start, bool forward, double scale) {
  CVertexNode* node = start;
  double s = DistanceTo(x, y, node);
  while (!(s >= 5 * scale || (node->IsMain() && s >= scale))) {
    CVertexNode* next = Step(node, forward);
    s += SegmentLength(node, next);
    node = next;
    if (node == start) break;
  }
  return node;
}

}  // namespace

void CPieceItem0::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawCurveRings(dc, unitsPerPixel, originX, originY, PS_SOLID, TRUE, FALSE, FALSE);
}

void CPieceItem0::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (g_DrawFlagOutlineMarks == 0) return;
  DrawCurveRings(dc, unitsPerPixel, originX, originY, PS_SOLID, TRUE, g_DrawFlagKeyVertexMarks != 0,
                 g_DrawFlagCurveVertexMarks != 0);
}

void CPieceItem0::CalcNotchEndPoint(CSizeRecord* size, int x, int y, int length, int angle, int* outX,
                                    int* outY) const {
  CVertexNode* node = nullptr;
  NearestCurvePoint(size, x, y, &node);
  if (!node) return;
  const double scale = g_Style.GetScale();
  const CVertexNode* a = DirectionWalk(x, y, node, false, scale);
  const CVertexNode* b = DirectionWalk(x, y, node->Next, true, scale);
  // The mark points into the piece along the bisector of the two directions.
  const double d = VectorAngle(x, y, b->X, b->Y) - VectorAngle(x, y, a->X, a->Y);
  double t = d <= 0 ? -d / 2 : kPiTenDigits - d / 2;
  if (t <= -kTwoPiTenDigits) t += kTwoPiTenDigits;
  if (t >= kTwoPiTenDigits) t -= kTwoPiTenDigits;
  double vx = static_cast<double>(b->X) - x;
  double vy = static_cast<double>(b->Y) - y;
  const double norm = std::hypot(vx, vy);
  if (!(norm > 0)) {
    // The curve gives no direction here: a mark of no length.
    *outX = x;
    *outY = y;
    return;
  }
  Rotate(&vx, &vy, t);
  const double k = length / norm;
  double qx = RoundToInt(vx * k);
  double qy = RoundToInt(vy * k);
  Rotate(&qx, &qy, angle * 0.1 / 180 * kPi);
  *outX = WrapAdd(x, RoundToInt(qx));
  *outY = WrapAdd(y, RoundToInt(qy));
}

void CPieceItem0::PointBetweenVertices(int a, int b, int code, CVertexNode* from, CVertexNode* to,
                                       CSizeRecord* size, int* outX, int* outY) const {
  const int s = g_Style.IndexOfSize(size);
  if (s < 0 || !from || !to || !IsPlacementCode(code)) return;
  CVertexNode* curveFrom = MapToCurveVertex(size, NodeOfSize(from, s));
  CVertexNode* curveTo = MapToCurveVertex(size, NodeOfSize(to, s));
  if (!curveFrom || !curveTo) return;
  PointBetweenCurveNodes(a, b, code, curveFrom, curveTo, outX, outY);
}

void CPieceItem0::PointBetweenCurveNodes(int a, int b, int code, CVertexNode* curveFrom, CVertexNode* curveTo,
                                         int* outX, int* outY) const {
  if (!curveFrom || !curveTo || !IsPlacementCode(code)) return;
  int d1 = a;
  if (code == kNotchRatioToKey || code == kNotchRatioToVertex) {
    d1 = RatioOfLength(LengthBetween(curveFrom, curveTo, true), a, b);
  }
  // Distances from the span's end run backward: the opposite sense.
  const CPoint p = (code == kNotchFromEndToKey || code == kNotchFromEndToVertex)
                       ? PointAtDistance(curveTo, -static_cast<double>(b))
                       : PointAtDistance(curveFrom, d1);
  *outX = p.x;
  *outY = p.y;
}

void CPieceItem0::PointAtRatio(int a, int b, int code, CVertexNode* vertex, CSizeRecord* size, int* outX,
                               int* outY) const {
  const int s = g_Style.IndexOfSize(size);
  if (s < 0 || !vertex || !IsPlacementCode(code)) return;
  CVertexNode* node = MapToCurveVertex(size, NodeOfSize(vertex, s));
  if (!node) return;
  int d1 = a;
  double total = 0;
  if (code == kNotchRatioToKey) {
    if (!WalkUntil(node, true, [](const CVertexNode* n) { return n->IsKey(); }, &total)) return;
    d1 = RatioOfLength(total, a, b);
  } else if (code == kNotchRatioToVertex) {
    if (!WalkUntil(node, true, [](const CVertexNode* n) { return n->Kind() != kVertexKindGraded; }, &total)) {
      return;
    }
    d1 = RatioOfLength(total, a, b);
  }
  const CPoint p = (code == kNotchFromEndToKey || code == kNotchFromEndToVertex)
                       ? PointAtDistance(node, -static_cast<double>(b))
                       : PointAtDistance(node, d1);
  *outX = p.x;
  *outY = p.y;
}

void CPieceItem0::MeasureNotchPosition(int x, int y, int startX, int startY, int code, const CPieceItem*,
                                       CSizeRecord* size, int* d1, int* d2, int* total) const {
  CVertexNode* nearest = nullptr;
  NearestCurvePoint(size, x, y, &nearest);
  CVertexNode* start = FindCurveVertex(size, startX, startY);
  if (!nearest || !start) return;
  MeasureSpan(x, y, nearest, start, code, d1, d2, total);
}

void CPieceItem0::MeasureSpan(int x, int y, CVertexNode* nearest, CVertexNode* start, int code, int* d1,
                              int* d2, int* total) const {
  if (!nearest || !start || !IsPlacementCode(code)) return;
  const bool forward = code != kNotchFromEndToKey && code != kNotchFromEndToVertex;
  const bool toKey = code == kNotchRatioToKey || code == kNotchFromStartToKey || code == kNotchFromEndToKey;
  double spanLength = 0;
  CVertexNode* other =
      toKey ? WalkUntil(start, forward, [](const CVertexNode* n) { return n->IsKey(); }, &spanLength)
            : WalkUntil(start, forward, [](const CVertexNode* n) { return n->IsMain(); }, &spanLength);
  if (!other) return;
  CVertexNode* first = forward ? start : other;
  CVertexNode* last = forward ? other : start;
  const int spanTotal = RoundToInt(spanLength);
  const double offset = DistanceTo(x, y, nearest);
  int fromFirst = RoundToInt(LengthBetween(first, nearest, true) + offset);
  int fromLast = RoundToInt(LengthBetween(last, nearest, false) - offset);
  // A point beyond the span's end is pulled back by correcting the smaller
  // of the two, so that they always add up to the span.
  if (spanTotal >= fromFirst) {
    fromLast = WrapSub(spanTotal, fromFirst);
  } else if (fromLast < fromFirst) {
    fromFirst = WrapSub(spanTotal, fromLast);
  } else {
    fromLast = WrapSub(spanTotal, fromFirst);
  }
  *d1 = fromFirst;
  *d2 = fromLast;
  *total = spanTotal;
}
