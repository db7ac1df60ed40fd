#include "design/geometry/polyline.h"

#include <cfloat>
#include <cmath>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "design/geometry/circles.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"
#include "design/geometry/segments.h"

namespace {

// How near a point must be to a ring, or to an open polyline, for the walkers
// and section routines to take it as on it.
constexpr double kRingTolerance = 5.0;
constexpr double kPolylineTolerance = 2.0;
// A neighbour of the lowest vertex must be this far (squared) to judge the
// ring's turn by.
constexpr double kOrientationReach2 = 40000.0;
constexpr int kNoDistance = 2147483647;

// A rectangle in 64 bits, right and bottom outside it, so that the + 1 of the
// segment boxes cannot overflow.
struct Box {
  int64_t left, top, right, bottom;
};

Box SegmentBox(CPoint a, CPoint b) {
  return {std::min<int64_t>(a.x, b.x), std::min<int64_t>(a.y, b.y),
          std::max<int64_t>(a.x, b.x) + 1, std::max<int64_t>(a.y, b.y) + 1};
}

bool Meets(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

double SegmentLength(CPoint a, CPoint b) { return SqrtDistance(a, b); }

// (prev, next) of the segment that holds the vertex v: (v, successor), or
// (predecessor, v) at the tail.
void SegmentAtVertex(const PointList& list, PointPos v, PointPos* prev, PointPos* next) {
  const PointPos after = std::next(v);
  if (after != list.end()) {
    *prev = v;
    *next = after;
  } else {
    *prev = std::prev(v);
    *next = v;
  }
}

// Where a query was found on a list, as the routines that edit a working copy
// need it.
struct Hit {
  CPoint nearest;
  PointPos prev, at, next;
};

bool Locate(const PointList& list, bool ring, double tolerance, CPoint q, Hit* hit) {
  double distance = 0;
  return (ring ? HitTestClosedPolyline : HitTestPolyline)(list, tolerance, q.x, q.y, &hit->nearest,
                                                          &distance, &hit->prev, &hit->at,
                                                          &hit->next) != FALSE;
}

// Makes q a vertex of `list` at the place found, unless it already is one;
// returns its position. The closing segment of a ring takes it at the tail.
PointPos MakeVertex(PointList& list, const Hit& hit, CPoint q) {
  if (hit.at != list.end()) return hit.at;
  if (*hit.prev == q) return hit.prev;
  if (*hit.next == q) return hit.next;
  if (std::next(hit.prev) == hit.next) return list.insert(hit.next, q);
  return list.insert(list.end(), q);
}

// Locates q and makes it a vertex; end() when it is not on the list.
PointPos PlaceVertex(PointList& list, bool ring, double tolerance, CPoint q) {
  Hit hit;
  if (!Locate(list, ring, tolerance, q, &hit)) return list.end();
  return MakeVertex(list, hit, q);
}

PointPos NextInRing(const PointList& ring, PointPos p) {
  ++p;
  return p == ring.end() ? ring.begin() : p;
}

PointPos PrevInRing(const PointList& ring, PointPos p) {
  if (p == ring.begin()) p = ring.end();
  return --p;
}

// Moves from `reached` back towards `from` by `excess`, rounded.
CPoint StepBack(CPoint from, CPoint reached, double excess, double length) {
  const double f = excess / length;
  return CPoint(RoundToNearest(reached.x + (static_cast<double>(from.x) - reached.x) * f),
                RoundToNearest(reached.y + (static_cast<double>(from.y) - reached.y) * f));
}

// Walks `length` (>= 0) from `start` around the ring `ring` in the given
// direction. Ends within one lap: the length is first reduced below the
// perimeter as walked, and a ring of no length answers only a length of 0.
bool WalkRing(const PointList& ring, PointPos start, double length, bool forwards,
              bool interpolate, CPoint* out) {
  const auto step = [&](PointPos p) { return forwards ? NextInRing(ring, p) : PrevInRing(ring, p); };
  if (length == 0) {
    *out = *start;
    return true;
  }
  double perimeter = 0;
  PointPos p = start;
  for (size_t i = 0; i < ring.size(); ++i) {
    const PointPos q = step(p);
    perimeter += SegmentLength(*p, *q);
    p = q;
  }
  if (!(perimeter > 0)) return false;
  const double target = std::fmod(length, perimeter);
  if (target == 0) {
    *out = *start;
    return true;
  }
  double sum = 0;
  p = start;
  for (size_t i = 0; i < ring.size(); ++i) {
    const PointPos q = step(p);
    const double segment = SegmentLength(*p, *q);
    sum += segment;
    if (sum >= target) {
      *out = (sum == target || !interpolate) ? *q : StepBack(*p, *q, sum - target, segment);
      return true;
    }
    p = q;
  }
  // Rounding left the target a hair short of the lap: the start again.
  *out = *start;
  return true;
}

BOOL AlongClosed(const PointList& ring, int x, int y, double length, bool interpolate,
                 CPoint* out) {
  PointList work = ring;
  const PointPos start = PlaceVertex(work, true, kRingTolerance, CPoint(x, y));
  if (start == work.end()) return FALSE;
  return WalkRing(work, start, std::fabs(length), length >= 0, interpolate, out) ? TRUE : FALSE;
}

BOOL AlongOpen(const PointList& list, int x, int y, double length, bool interpolate,
               CPoint* out) {
  PointList work = list;
  const CPoint q(x, y);
  PointPos p = PlaceVertex(work, false, kRingTolerance, q);
  if (p == work.end()) return FALSE;
  const double target = std::fabs(length);
  if (target < DBL_MIN) {
    *out = q;
    return TRUE;
  }
  const bool forwards = length >= 0;
  double sum = 0;
  while (forwards ? std::next(p) != work.end() : p != work.begin()) {
    const PointPos n = forwards ? std::next(p) : std::prev(p);
    const double segment = SegmentLength(*p, *n);
    sum += segment;
    if (sum >= target) {
      *out = (sum == target || !interpolate) ? *n : StepBack(*p, *n, sum - target, segment);
      return TRUE;
    }
    p = n;
  }
  *out = *p;
  return FALSE;
}

// Both points placed on a copy of the ring; the walk runs from p1 to p2 in
// the copy's order (forwards) or against it.
BOOL RingSection(const PointList& ring, CPoint p1, CPoint p2, bool reverse_if_clockwise,
                 bool forwards, PointList* out) {
  PointList work;
  if (reverse_if_clockwise && GetRingOrientation(ring)) ReverseRing(ring, &work);
  else work = ring;
  const PointPos a = PlaceVertex(work, true, kRingTolerance, p1);
  if (a == work.end()) return FALSE;
  const PointPos b = PlaceVertex(work, true, kRingTolerance, p2);
  if (b == work.end()) return FALSE;
  PointList section;
  PointPos p = a;
  section.push_back(*p);
  for (size_t i = 0; i < work.size() && p != b; ++i) {
    p = forwards ? NextInRing(work, p) : PrevInRing(work, p);
    section.push_back(*p);
  }
  RemoveDuplicatePoints2(section);
  *out = std::move(section);
  return TRUE;
}

int Count(const PointList& list) { return static_cast<int>(list.size()); }

// The first point where `line` (from its head) meets the ring; the crossing
// nearest the start of the first segment that meets it becomes the new head.
bool CutToRing(std::vector<CPoint>& line, const PointList& ring) {
  Hit hit;
  if (Locate(ring, true, kRingTolerance, line.front(), &hit)) return true;
  PointList closed = ring;
  if (!closed.empty()) closed.push_back(closed.front());
  for (size_t k = 0; k + 1 < line.size(); ++k) {
    PointList found;
    if (IntersectSegmentPolyline(line[k].x, line[k].y, line[k + 1].x, line[k + 1].y, closed,
                                 &found) == 0) {
      continue;
    }
    CPoint first = found.front();
    for (const CPoint& c : found) {
      if (SqrtDistance(line[k], c) < SqrtDistance(line[k], first)) first = c;
    }
    line.erase(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(k));
    line.front() = first;
    return true;
  }
  return false;
}

}  // namespace

// ---- Search and hit testing ----

PointPos FindPointInList(const PointList& list, int x, int y) {
  for (PointPos p = list.begin(); p != list.end(); ++p) {
    if (p->x == x && p->y == y) return p;
  }
  return list.end();
}

BOOL FindPointNeighbours(const PointList& list, int x, int y, PointPos* prev, PointPos* at,
                         PointPos* next) {
  const PointPos p = FindPointInList(list, x, y);
  if (p == list.end()) return FALSE;
  *at = p;
  *prev = p == list.begin() ? list.end() : std::prev(p);
  *next = std::next(p);
  return TRUE;
}

BOOL FindPointNeighboursAlt(const PointList& list, int x, int y, PointPos* prev, PointPos* at,
                            PointPos* next) {
  const PointPos p = FindPointInList(list, x, y);
  if (p == list.end()) return FALSE;
  *at = p;
  if (list.size() < 2) {
    *prev = p;
    *next = p;
  } else {
    SegmentAtVertex(list, p, prev, next);
  }
  return TRUE;
}

BOOL HitTestPolyline(const PointList& list, double tolerance, int x, int y, CPoint* nearest,
                     double* distance, PointPos* prev, PointPos* at, PointPos* next) {
  if (list.size() < 2) return FALSE;
  const CPoint q(x, y);
  const PointPos vertex = FindPointInList(list, x, y);
  if (vertex != list.end()) {
    *nearest = q;
    *distance = 0.0;
    *at = vertex;
    SegmentAtVertex(list, vertex, prev, next);
    return TRUE;
  }
  const int64_t half = RoundToNearest(tolerance);
  const Box square{x - half, y - half, x + half + 1, y + half + 1};
  double best = DBL_MAX;
  CPoint best_foot;
  PointPos winner = list.end();
  for (PointPos a = list.begin(), b = std::next(a); b != list.end(); ++a, ++b) {
    if (!Meets(SegmentBox(*a, *b), square)) continue;
    CPoint foot;
    double d = 0;
    if (!NearestPointOnSegment(a->x, a->y, b->x, b->y, tolerance, x, y, &foot, &d)) continue;
    if (d <= best) {  // not greater: the later segment wins a tie
      best = d;
      best_foot = foot;
      winner = a;
    }
  }
  if (winner == list.end() || best > tolerance) return FALSE;
  *nearest = best_foot;
  *distance = best;
  *at = list.end();
  const PointPos after = std::next(winner);
  if (best_foot == *winner) {
    SegmentAtVertex(list, winner, prev, next);
  } else if (best_foot == *after) {
    SegmentAtVertex(list, after, prev, next);
  } else {
    *prev = winner;
    *next = after;
  }
  return TRUE;
}

BOOL HitTestClosedPolyline(const PointList& ring, double tolerance, int x, int y, CPoint* nearest,
                           double* distance, PointPos* prev, PointPos* at, PointPos* next) {
  if (ring.empty()) return FALSE;
  PointList closed = ring;
  closed.push_back(ring.front());
  PointPos cp, ca, cn;
  if (!HitTestPolyline(closed, tolerance, x, y, nearest, distance, &cp, &ca, &cn)) return FALSE;
  // Positions of the copy become positions of the ring at the same index; the
  // appended head maps to the head.
  const auto map = [&](PointPos p) {
    if (p == closed.end()) return ring.end();
    const auto index = std::distance(closed.cbegin(), p);
    if (static_cast<size_t>(index) == ring.size()) return ring.begin();
    return std::next(ring.begin(), index);
  };
  *prev = map(cp);
  *at = map(ca);
  *next = map(cn);
  return TRUE;
}

CPoint NearestListPoint(int x, int y, const PointList& list, int* distance) {
  CPoint nearest(0, 0);
  int best = kNoDistance;
  for (const CPoint& p : list) {
    const int d = PointDistance(x, y, p.x, p.y);
    if (d < best) {
      best = d;
      nearest = p;
    }
  }
  *distance = best;
  return nearest;
}

BOOL NearestPointAhead(int x0, int y0, int x1, int y1, const PointList& list, CPoint* out) {
  const auto same_class = [](int64_t a, int64_t b) { return (a >= 0) == (b >= 0); };
  const int64_t dx = static_cast<int64_t>(x1) - x0;
  const int64_t dy = static_cast<int64_t>(y1) - y0;
  double best = DBL_MAX;
  bool found = false;
  for (const CPoint& q : list) {
    if (!same_class(static_cast<int64_t>(q.x) - x0, dx) ||
        !same_class(static_cast<int64_t>(q.y) - y0, dy)) {
      continue;
    }
    const double d = SqrtDistance(x1, y1, q.x, q.y);
    if (!found || d < best) {
      best = d;
      *out = q;
      found = true;
    }
  }
  return found ? TRUE : FALSE;
}

int IsPointInPointList(int x, int y, const PointList& list) {
  if (list.size() < 3) return 0;
  const std::vector<CPoint> points(list.begin(), list.end());
  return IsPointInPolygon(x, y, points.data(), static_cast<int>(points.size()));
}

void CollectSegmentsNearPoint(int x, int y, int halfSize, const PointList& list,
                              std::list<PointList>* runs) {
  runs->clear();
  if (list.size() < 2) return;
  const int64_t h = halfSize;
  const Box square{x - h, y - h, x + h + 1, y + h + 1};
  bool in_run = false;
  for (PointPos a = list.begin(), b = std::next(a); b != list.end(); ++a, ++b) {
    if (!Meets(SegmentBox(*a, *b), square)) {
      in_run = false;
      continue;
    }
    if (!in_run) runs->push_back({*a});
    runs->back().push_back(*b);
    in_run = true;
  }
}

// ---- Walking and measuring ----

int PolylineLengthEx(const PointList& list, double* exact) {
  double sum = 0;
  if (!list.empty()) {
    for (PointPos a = list.begin(), b = std::next(a); b != list.end(); ++a, ++b) {
      sum += SegmentLength(*a, *b);
    }
  }
  *exact = sum;
  return RoundToNearest(sum);
}

int PolylineLength(const PointList& list) {
  double exact = 0;
  return PolylineLengthEx(list, &exact);
}

int ClosedPolylineLengthEx(const PointList& list, double* exact) {
  double sum = 0;
  PolylineLengthEx(list, &sum);
  if (list.size() >= 2) sum += SegmentLength(list.back(), list.front());
  *exact = sum;
  return RoundToNearest(sum);
}

int ClosedPolylineLength(const PointList& list) {
  double exact = 0;
  return ClosedPolylineLengthEx(list, &exact);
}

BOOL PointAtLength(const PointList& list, double length, CPoint* point, PointPos* prev,
                   PointPos* at, PointPos* next) {
  if (list.size() < 2) return FALSE;
  const bool forwards = length >= 0;
  const double target = std::fabs(length);
  double sum = 0;
  PointPos p = forwards ? list.begin() : std::prev(list.end());
  while (forwards ? std::next(p) != list.end() : p != list.begin()) {
    const PointPos n = forwards ? std::next(p) : std::prev(p);
    const double segment = SegmentLength(*p, *n);
    if (segment > 0 && sum + segment >= target) {
      const double f = (target - sum) / segment;
      const CPoint found(RoundToNearest(p->x + (static_cast<double>(n->x) - p->x) * f),
                         RoundToNearest(p->y + (static_cast<double>(n->y) - p->y) * f));
      *point = found;
      *prev = forwards ? p : n;
      *next = forwards ? n : p;
      *at = found == **prev ? *prev : found == **next ? *next : list.end();
      if (*at != list.end()) SegmentAtVertex(list, *at, prev, next);
      return TRUE;
    }
    sum += segment;
    p = n;
  }
  return FALSE;
}

BOOL PointAlongPolyline(const PointList& list, int x, int y, double length, CPoint* out) {
  return AlongOpen(list, x, y, length, true, out);
}

BOOL VertexAlongPolyline(const PointList& list, int x, int y, double length, CPoint* out) {
  return AlongOpen(list, x, y, length, false, out);
}

BOOL PointAlongClosedPolyline(const PointList& ring, int x, int y, double length, CPoint* out) {
  return AlongClosed(ring, x, y, length, true, out);
}

BOOL VertexAlongClosedPolyline(const PointList& ring, int x, int y, double length, CPoint* out) {
  return AlongClosed(ring, x, y, length, false, out);
}

double PolygonArea(const PointList& list) {
  if (list.size() <= 2) return 0.0;
  double sum = 0;
  CPoint before = list.back();
  for (const CPoint& p : list) {
    sum += (static_cast<double>(p.y) + before.y) / 2 * (static_cast<double>(p.x) - before.x);
    before = p;
  }
  return std::fabs(sum);
}

BOOL GetRingOrientation(const PointList& ring) {
  PointList work = ring;
  RemoveDuplicatePoints(work);
  // Each pass that cannot decide removes a vertex, so the passes are bounded.
  while (work.size() >= 3) {
    PointPos v = work.begin();
    for (PointPos p = work.begin(); p != work.end(); ++p) {
      if (p->y < v->y) v = p;
    }
    const auto reach = [&](bool forwards) {
      PointPos p = v;
      for (size_t i = 1; i < work.size(); ++i) {
        p = forwards ? NextInRing(work, p) : PrevInRing(work, p);
        const double dx = static_cast<double>(p->x) - v->x;
        const double dy = static_cast<double>(p->y) - v->y;
        if (dx * dx + dy * dy >= kOrientationReach2) break;
      }
      return *p;
    };
    const CPoint b = reach(false);
    const CPoint f = reach(true);
    const double ab = LineAngle(v->x, v->y, b.x, b.y);
    const double af = LineAngle(v->x, v->y, f.x, f.y);
    if (std::fabs(ab - af) < DBL_MIN) {
      work.erase(v);
      RemoveDuplicatePoints(work);
      continue;
    }
    if (b.y == v->y && v->x < b.x) return f.y > v->y ? TRUE : FALSE;
    if (f.y == v->y && v->x < f.x) return b.y < v->y ? TRUE : FALSE;
    return ab <= af ? TRUE : FALSE;
  }
  return TRUE;
}

void GetPointListRect(CRect* rect, const PointList& list) {
  if (list.empty()) {
    *rect = CRect();
    return;
  }
  GetPointListExtent(rect, list);
  rect->right = WrapAdd(rect->right, 1);
  rect->bottom = WrapAdd(rect->bottom, 1);
}

void GetPointListExtent(CRect* rect, const PointList& list) {
  if (list.empty()) {
    *rect = CRect();
    return;
  }
  CRect r(list.front().x, list.front().y, list.front().x, list.front().y);
  for (const CPoint& p : list) ExtendBounds(p.x, p.y, &r.left, &r.top, &r.right, &r.bottom);
  *rect = r;
}

void GetSegmentRect(CRect* rect, int x1, int y1, int x2, int y2) {
  *rect = CRect(std::min(x1, x2), std::min(y1, y2), WrapAdd(std::max(x1, x2), 1),
                WrapAdd(std::max(y1, y2), 1));
}

// ---- Editing and sections ----

void RemoveDuplicatePoints(PointList& list) {
  RemoveDuplicatePoints2(list);
  if (list.size() >= 2 && list.back() == list.front()) list.pop_back();
}

int RemoveDuplicatePoints2(PointList& list) {
  list.unique();
  return Count(list);
}

void ReverseRing(const PointList& in, PointList* out) {
  PointList result;
  if (!in.empty()) {
    result.push_back(in.front());
    result.insert(result.end(), in.rbegin(), std::prev(in.rend()));
  }
  *out = std::move(result);
}

int InsertPointByCoordinate(PointList& list, int x, int y, PointPos* pos) {
  const int count = Count(list);
  const CPoint q(x, y);
  if (count < 2) {
    *pos = list.insert(list.end(), q);
    return count;
  }
  const CPoint head = list.front();
  const CPoint tail = list.back();
  const bool by_x = std::fabs(static_cast<double>(tail.x) - head.x) >=
                    std::fabs(static_cast<double>(tail.y) - head.y);
  const auto key = [by_x](CPoint p) { return by_x ? p.x : p.y; };
  if (key(tail) < key(head) && key(q) < key(head)) {
    list.push_front(q);
    return 0;
  }
  int k = 1;
  for (auto a = list.begin(), b = std::next(a); b != list.end(); ++a, ++b, ++k) {
    const int lo = std::min(key(*a), key(*b));
    const int hi = std::max(key(*a), key(*b));
    if (lo <= key(q) && key(q) <= hi) {
      list.insert(b, q);
      return k;
    }
  }
  list.push_back(q);
  return Count(list);
}

BOOL GetRingSection(const PointList& ring, int x1, int y1, int x2, int y2, PointList* out) {
  return RingSection(ring, {x1, y1}, {x2, y2}, true, true, out);
}

BOOL GetRingSectionForward(const PointList& ring, int x1, int y1, int x2, int y2, PointList* out) {
  return RingSection(ring, {x1, y1}, {x2, y2}, false, true, out);
}

BOOL GetRingSectionBackward(const PointList& ring, int x1, int y1, int x2, int y2,
                            PointList* out) {
  return RingSection(ring, {x1, y1}, {x2, y2}, false, false, out);
}

BOOL GetRingSectionAlt(const PointList& ring, int x1, int y1, int x2, int y2, PointList* out) {
  return GetRingSectionForward(ring, x1, y1, x2, y2, out);
}

BOOL GetPolylineSection(const PointList& polyline, int x1, int y1, int x2, int y2,
                        PointList* out) {
  PointList work = polyline;
  const PointPos a = PlaceVertex(work, false, kPolylineTolerance, {x1, y1});
  if (a == work.end()) return FALSE;
  const PointPos b = PlaceVertex(work, false, kPolylineTolerance, {x2, y2});
  if (b == work.end()) return FALSE;
  const bool a_first = std::distance(work.cbegin(), a) <= std::distance(work.cbegin(), b);
  PointList section(a_first ? a : b, std::next(a_first ? b : a));
  if (!a_first) section.reverse();
  RemoveDuplicatePoints2(section);
  *out = std::move(section);
  return TRUE;
}

BOOL GetPolylineSection2(int x1, int y1, int x2, int y2, const PointList& polyline,
                         PointList* out) {
  return GetPolylineSection(polyline, x1, y1, x2, y2, out);
}

BOOL GetPolylineStart(const PointList& polyline, int x, int y, PointList* out) {
  const CPoint q(x, y);
  if (polyline.size() >= 2 && polyline.front() == polyline.back() && polyline.back() == q) {
    *out = polyline;
    return TRUE;
  }
  PointList work = polyline;
  const PointPos p = PlaceVertex(work, false, kPolylineTolerance, q);
  if (p == work.end()) return FALSE;
  *out = PointList(work.cbegin(), std::next(p));
  return TRUE;
}

BOOL GetPolylineEnd(const PointList& polyline, int x, int y, PointList* out) {
  PointList work = polyline;
  const PointPos p = PlaceVertex(work, false, kPolylineTolerance, {x, y});
  if (p == work.end()) return FALSE;
  *out = PointList(p, work.cend());
  return TRUE;
}

BOOL ReplaceRingSection(PointList& ring, const PointList& line) {
  if (line.size() < 2) return FALSE;
  std::vector<CPoint> cut(line.begin(), line.end());
  if (!CutToRing(cut, ring)) return FALSE;
  std::vector<CPoint> reversed(cut.rbegin(), cut.rend());
  if (!CutToRing(reversed, ring)) return FALSE;
  const CPoint head = reversed.back();
  const CPoint tail = reversed.front();
  if (head == tail) return TRUE;
  PointList forward;
  PointList backward;
  if (!GetRingSectionForward(ring, head.x, head.y, tail.x, tail.y, &forward) ||
      !GetRingSectionBackward(ring, head.x, head.y, tail.x, tail.y, &backward)) {
    return FALSE;
  }
  PointList result =
      PolylineLength(forward) >= PolylineLength(backward) ? std::move(forward) : std::move(backward);
  result.insert(result.end(), reversed.begin(), reversed.end());
  RemoveDuplicatePoints(result);
  ring = std::move(result);
  return TRUE;
}

// ---- Intersections with polylines ----

int IntersectSegmentPolyline(int x1, int y1, int x2, int y2, const PointList& polyline,
                             PointList* out) {
  PointList found;
  const Box query = SegmentBox({x1, y1}, {x2, y2});
  if (!polyline.empty()) {
    for (PointPos a = polyline.begin(), b = std::next(a); b != polyline.end(); ++a, ++b) {
      if (!Meets(SegmentBox(*a, *b), query)) continue;
      CPoint p;
      const int code = SegmentIntersectionPt(x1, y1, x2, y2, a->x, a->y, b->x, b->y, &p);
      if (code == 1 || code == 4 || code == 5) found.push_back(p);
    }
  }
  *out = std::move(found);
  return RemoveDuplicatePoints2(*out);
}

int IntersectLinePolyline(double a, double b, double c, const PointList& polyline,
                          PointList* out) {
  PointList found;
  if (!polyline.empty()) {
    for (PointPos p = polyline.begin(), q = std::next(p); q != polyline.end(); ++p, ++q) {
      CPoint point;
      if (IntersectLineSegmentPt(a, b, c, p->x, p->y, q->x, q->y, &point) == 1) {
        found.push_back(point);
      }
    }
  }
  RemoveDuplicatePoints(found);
  *out = std::move(found);
  return Count(*out);
}

int IntersectLine2PPolyline(int x1, int y1, int x2, int y2, const PointList& polyline,
                            PointList* out) {
  double a = 0, b = 0, c = 0;
  LineFromPoints(x1, y1, x2, y2, &a, &b, &c);
  return IntersectLinePolyline(a, b, c, polyline, out);
}

int IntersectRayPolyline(int x1, int y1, int x2, int y2, const PointList& polyline,
                         PointList* out) {
  PointList found;
  IntersectLine2PPolyline(x1, y1, x2, y2, polyline, &found);
  found.remove_if([&](const CPoint& q) {
    return !SameQuadrantDirection(q.x, q.y, x1, y1, x2, y2, x1, y1);
  });
  *out = std::move(found);
  return Count(*out);
}

namespace {

BOOL IntersectLineAtLength(int x1, int y1, int x2, int y2, const PointList& polyline,
                           double length, bool from_head, CPoint* out) {
  if (polyline.size() < 2) return FALSE;
  std::vector<CPoint> points(polyline.begin(), polyline.end());
  if (!from_head) points.assign(polyline.rbegin(), polyline.rend());
  double sum = 0;
  size_t k = 0;
  for (; k + 2 < points.size(); ++k) {
    sum += SegmentLength(points[k], points[k + 1]);
    if (sum >= length) break;
  }
  const CPoint a = points[k];
  const CPoint b = points[k + 1];
  CPoint p;
  const int code = IntersectLine2PSegmentPt(x1, y1, x2, y2, a.x, a.y, b.x, b.y, &p);
  if (code != 1 && code != 2) return FALSE;
  *out = p;
  return TRUE;
}

}  // namespace

BOOL IntersectLineNearStart(int x1, int y1, int x2, int y2, const PointList& polyline,
                            double length, CPoint* out) {
  return IntersectLineAtLength(x1, y1, x2, y2, polyline, length, true, out);
}

BOOL IntersectLineNearEnd(int x1, int y1, int x2, int y2, const PointList& polyline,
                          double length, CPoint* out) {
  return IntersectLineAtLength(x1, y1, x2, y2, polyline, length, false, out);
}

int IntersectPolylines(const PointList& a, const PointList& b, PointList* out) {
  PointList found;
  if (!a.empty() && !b.empty()) {
    for (PointPos a1 = a.begin(), a2 = std::next(a1); a2 != a.end(); ++a1, ++a2) {
      const Box box = SegmentBox(*a1, *a2);
      for (PointPos b1 = b.begin(), b2 = std::next(b1); b2 != b.end(); ++b1, ++b2) {
        if (!Meets(box, SegmentBox(*b1, *b2))) continue;
        CPoint p;
        if (SegmentIntersectionPt(a1->x, a1->y, a2->x, a2->y, b1->x, b1->y, b2->x, b2->y, &p) ==
            1) {
          found.push_back(p);
        }
      }
    }
  }
  *out = std::move(found);
  return RemoveDuplicatePoints2(*out);
}

int IntersectPolylineCircle(const PointList& polyline, int cx, int cy, double r, PointList* out) {
  PointList found;
  const auto add = [&found](CPoint p) {
    if (FindPointInList(found, p.x, p.y) == found.end()) found.push_back(p);
  };
  if (!polyline.empty()) {
    for (PointPos a = polyline.begin(), b = std::next(a); b != polyline.end(); ++a, ++b) {
      CPoint p1;
      CPoint p2;
      const int n = IntersectSegmentCirclePt(a->x, a->y, b->x, b->y, cx, cy, r, &p1, &p2);
      if (n >= 1) add(p1);
      if (n >= 2) add(p2);
    }
  }
  *out = std::move(found);
  return Count(*out);
}

BOOL ClipSegmentToRectPt(const CRect& rect, CPoint* p1, CPoint* p2) {
  const Box area{rect.left, rect.top, rect.right, rect.bottom};
  if (!Meets(SegmentBox(*p1, *p2), area)) return FALSE;
  if (*p1 == *p2) return rect.PtInRect(*p1) ? TRUE : FALSE;
  // The segment as p1 + t (p2 - p1), t in [0, 1], cut to each edge in turn.
  const double x0 = p1->x, y0 = p1->y;
  const double dx = static_cast<double>(p2->x) - p1->x;
  const double dy = static_cast<double>(p2->y) - p1->y;
  double t0 = 0;
  double t1 = 1;
  const auto cut = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
    return true;
  };
  if (!cut(-dx, x0 - rect.left) || !cut(dx, rect.right - x0) || !cut(-dy, y0 - rect.top) ||
      !cut(dy, rect.bottom - y0)) {
    return FALSE;
  }
  const CPoint a(RoundToNearest(x0 + t0 * dx), RoundToNearest(y0 + t0 * dy));
  const CPoint b(RoundToNearest(x0 + t1 * dx), RoundToNearest(y0 + t1 * dy));
  *p1 = a;
  *p2 = b;
  return TRUE;
}

BOOL ClipSegmentToRect(const CRect& rect, int* x1, int* y1, int* x2, int* y2) {
  CPoint p1(*x1, *y1);
  CPoint p2(*x2, *y2);
  if (!ClipSegmentToRectPt(rect, &p1, &p2)) return FALSE;
  *x1 = p1.x;
  *y1 = p1.y;
  *x2 = p2.x;
  *y2 = p2.y;
  return TRUE;
}
