#include "design/construct/darts.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/pattern_record.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"
#include "design/geometry/primitives.h"

namespace {

// ---- Geometry shared by the darts --------------------------------------------

// How near to an outline a point must lie to be put on it.
constexpr double kOnRing = 5.0;
// Lengths at or below this have no direction.
constexpr double kNoLength = std::numeric_limits<double>::min();
// The outline is followed this many millimetres beyond a leg end to find
// its direction there (fold points of the darts that fold along a leg, cap
// points) and this many for the contoured dart.
constexpr double kFoldWalk = 2.0;
constexpr double kContouredFoldWalk = 1.0;

constexpr int32_t kItemDoublePointedDart = 8;
constexpr int32_t kItemFreeDart = 9;

CFivePointRec Five(CPoint p0, CPoint p1, CPoint p2, CPoint p3, CPoint p4) {
  CFivePointRec record;
  record.points = {p0, p1, p2, p3, p4};
  return record;
}

bool Same(CPoint p, CPoint q) { return p.x == q.x && p.y == q.y; }

CPoint Midpoint(CPoint a, CPoint b) {
  return CPoint(RoundToNearest((static_cast<double>(a.x) + b.x) / 2.0),
                RoundToNearest((static_cast<double>(a.y) + b.y) / 2.0));
}

// The two ends of a segment `width` long across the line from `at` to `to`,
// centred on `at`: p1 on the left of the direction, p2 on the right. Points
// that coincide have no direction: both ends at `at`, false.
bool Across(CPoint at, CPoint to, int32_t width, CPoint* p1, CPoint* p2) {
  const double dx = static_cast<double>(to.x) - at.x;
  const double dy = static_cast<double>(to.y) - at.y;
  const double len = std::sqrt(dx * dx + dy * dy);
  if (!(len > kNoLength)) {
    *p1 = *p2 = at;
    return false;
  }
  const double hx = width * dx / 2.0 / len;
  const double hy = width * dy / 2.0 / len;
  *p1 = CPoint(RoundToNearest(at.x - hy), RoundToNearest(at.y + hx));
  *p2 = CPoint(RoundToNearest(at.x + hy), RoundToNearest(at.y - hx));
  return true;
}

// A ring with its head repeated at its tail, for the intersections that
// must see the closing segment.
PointList Closed(const PointList& ring) {
  PointList closed = ring;
  if (!closed.empty()) closed.push_back(closed.front());
  return closed;
}

// Carries `point` along the line from `from` through it to the ring: to the
// crossing nearest to it ahead of `from`. A line that never meets the ring
// (or has no direction) leaves the point; false only when the line meets
// the ring but nowhere ahead, the point then left as it was.
bool CarryAhead(CPoint from, CPoint& point, const PointList& ring) {
  if (Same(from, point)) return true;
  PointList hits;
  if (IntersectLine2PPolyline(from.x, from.y, point.x, point.y, ring, &hits) <= 0) return true;
  return NearestPointAhead(from.x, from.y, point.x, point.y, hits, &point) != FALSE;
}

// Makes `p` a vertex of the ring when it lies on a segment of it.
void MakeVertex(PointList& ring, CPoint p) {
  CPoint nearest;
  double distance = 0.0;
  PointPos prev = ring.end(), at = ring.end(), next = ring.end();
  if (!HitTestClosedPolyline(ring, kOnRing, p.x, p.y, &nearest, &distance, &prev, &at, &next)) return;
  if (at != ring.end() || prev == ring.end()) return;
  ring.insert(std::next(prev), p);
}

double RunLength(const PointList& ring, CPoint from, CPoint to) {
  PointList run;
  if (!GetRingSection(ring, from.x, from.y, to.x, to.y, &run)) return 0.0;
  return PolylineLength(run);
}

// Whether the ends must change places so that the ring run from the first
// to the second is the shorter one.
bool LongerFirst(const PointList& ring, CPoint first, CPoint second) {
  return RunLength(ring, second, first) < RunLength(ring, first, second);
}

struct Line {
  double a = 0.0, b = 0.0, c = 0.0;
};

Line Through(CPoint p, CPoint q) {
  Line line;
  LineCoefficients(p.x, p.y, q.x, q.y, &line.a, &line.b, &line.c);
  return line;
}

bool Meet(const Line& l, const Line& m, CPoint* out) {
  int x = 0, y = 0;
  if (IntersectLinesInt(l.a, l.b, l.c, m.a, m.b, m.c, &x, &y) != 1) return false;
  *out = CPoint(x, y);
  return true;
}

// The line through `apex` halfway between its directions to a and b.
Line Bisector(CPoint apex, CPoint a, CPoint b) {
  const double m = (LineAngle(apex.x, apex.y, a.x, a.y) + LineAngle(apex.x, apex.y, b.x, b.y)) / 2.0;
  return Line{std::sin(m), -std::cos(m), -std::sin(m) * apex.x + std::cos(m) * apex.y};
}

// Folding along a leg: `far` turned about `pivot` by the angle between the
// leg (pivot -> far) and the ring's direction beyond the pivot (the point
// `walk` along the ring from it; the first vertex that far, or the point
// itself), then the line from the turned point to the pivot met with
// `centre`. False when the walk or the meeting fails.
bool FoldedMeet(const PointList& ring, CPoint pivot, CPoint far, double walk, bool atVertex, const Line& centre,
                CPoint* out) {
  CPoint beyond;
  const BOOL walked = atVertex ? VertexAlongClosedPolyline(ring, pivot.x, pivot.y, walk, &beyond)
                               : PointAlongClosedPolyline(ring, pivot.x, pivot.y, walk, &beyond);
  if (!walked) return false;
  const double turn = LineAngle(pivot.x, pivot.y, far.x, far.y) - LineAngle(pivot.x, pivot.y, beyond.x, beyond.y);
  CPoint turned = far;
  RotatePointInPlace(&turned, pivot.x, pivot.y, std::sin(turn), std::cos(turn));
  return Meet(centre, Through(turned, pivot), out);
}

// The fold point of the darts folded on the line A-B (subtype 1): A for
// side 0 and any side but 1 and 2; folded about Q2 (side 1) or Q1 (side 2)
// otherwise, the fallbacks taken when that fails.
CPoint FoldOnCentre(int32_t side, const PointList& ring, CPoint a, CPoint b, CPoint q1, CPoint q2, double unit,
                    CPoint fallback1, CPoint fallback2) {
  CPoint c = a;
  if (side == 1) {
    if (!FoldedMeet(ring, q2, b, kFoldWalk * unit, true, Through(a, b), &c)) c = fallback1;
  } else if (side == 2) {
    if (!FoldedMeet(ring, q1, b, -kFoldWalk * unit, true, Through(a, b), &c)) c = fallback2;
  }
  return c;
}

// The apex of a dart of depth h between its leg ends: from their midpoint
// across the chord. Coincident ends have no chord: apex at a, false.
bool ApexFromDepth(CPoint a, CPoint b, int32_t h, CPoint* p0, CPoint* apex) {
  const double mx = (static_cast<double>(a.x) + b.x) / 2.0;
  const double my = (static_cast<double>(a.y) + b.y) / 2.0;
  *p0 = CPoint(RoundToNearest(mx), RoundToNearest(my));
  const double ux = a.y - my;
  const double uy = -(a.x - mx);
  const double d = std::sqrt(ux * ux + uy * uy);
  if (!(d > kNoLength)) {
    *apex = a;
    return false;
  }
  *apex = CPoint(RoundToNearest(mx + h / d * ux), RoundToNearest(my + h / d * uy));
  return true;
}

// The cap point: where the outline beyond a leg end, folded onto the leg,
// meets `centre`. Mode 1 folds at b, mode 2 at a, each falling back to that
// end; any other mode gives `plain`.
CPoint CapPoint(int32_t mode, const PointList& ring, CPoint a, CPoint b, CPoint apex, const Line& centre,
                CPoint plain, double unit) {
  CPoint cap = plain;
  if (mode == 1) {
    if (!FoldedMeet(ring, b, apex, kFoldWalk * unit, true, centre, &cap)) cap = b;
  } else if (mode == 2) {
    if (!FoldedMeet(ring, a, apex, -kFoldWalk * unit, true, centre, &cap)) cap = a;
  }
  return cap;
}

// Which word is the flag: the second on the outline-bound subtypes, which
// keep a fold side or cap mode first; the first on the others.
constexpr int32_t kFlagFirst = 0;
constexpr int32_t kFlagSecond = 1;

constexpr int32_t kTwoWords = CConstructElementTwoRec::kWordCount;
constexpr int32_t kOneWords = CConstructElementOneRec::kWordCount;

// references, formulas, words, flag word
constexpr ConstructLayout kLayout1{2, 1, kTwoWords, kFlagSecond};
constexpr ConstructLayout kLayout2{2, 1, kOneWords, kFlagFirst};
constexpr ConstructLayout kLayout4{2, 1, kTwoWords, kFlagSecond};
constexpr ConstructLayout kLayout8{2, 1, kOneWords, kFlagFirst};
constexpr ConstructLayout kLayout16{3, 0, kTwoWords, kFlagSecond};
constexpr ConstructLayout kLayout32{3, 0, kOneWords, kFlagFirst};
constexpr ConstructLayout kLayout64{2, 1, kTwoWords, kFlagSecond};
constexpr ConstructLayout kLayout128{3, 1, CConstructElement128::kWordCount, kFlagFirst};
constexpr ConstructLayout kLayout256{3, 2, CConstructElement256::kWordCount, kFlagSecond};
constexpr ConstructLayout kLayout512{3, 2, CConstructElement512::kWordCount, kFlagFirst};

template <class Dart>
std::unique_ptr<CDesignElement> MakeDart(CPatternRecord* owner) {
  return std::make_unique<Dart>(owner);
}

}  // namespace

CConstructElement1::CConstructElement1(CPatternRecord* owner)
    : CConstructElementTwoRec(owner, kConstructSubtype1, kLayout1) {}
CConstructElement2::CConstructElement2(CPatternRecord* owner)
    : CConstructElementOneRec(owner, kConstructSubtype2, kLayout2) {}
CConstructElement4::CConstructElement4(CPatternRecord* owner)
    : CConstructElementTwoRec(owner, kConstructSubtype4, kLayout4) {}
CConstructElement8::CConstructElement8(CPatternRecord* owner)
    : CConstructElementOneRec(owner, kConstructSubtype8, kLayout8) {}
CConstructElement16::CConstructElement16(CPatternRecord* owner)
    : CConstructElementTwoRec(owner, kConstructSubtype16, kLayout16) {}
CConstructElement32::CConstructElement32(CPatternRecord* owner)
    : CConstructElementOneRec(owner, kConstructSubtype32, kLayout32) {}
CConstructElement64::CConstructElement64(CPatternRecord* owner)
    : CConstructElementTwoRec(owner, kConstructSubtype64, kLayout64) {}

// ---- Subtype 1 -----------------------------------------------------------------

BOOL CConstructElement1::Calculate(int32_t size) {
  PointList outline;
  OutlineAt(size, outline);
  CPoint pts[2];
  const bool had = FetchPoints(size, 2, pts) == 2;
  const CPoint a = pts[0];
  const CPoint b = pts[1];
  // The dart shut at the centre: what a size that cannot be built keeps.
  const CFivePointRec shut = Five(a, b, a, a, a);
  CPoint p1, p2;
  if (!had || !Across(a, b, Evaluate(0, size), &p1, &p2)) return Store(size, shut, shut, FALSE);

  CPoint q1 = p1, q2 = p2;
  const PointList closed = Closed(outline);
  bool ok = CarryAhead(b, q1, closed) && CarryAhead(b, q2, closed);
  CFivePointRec first = shut;
  if (ok) {
    MakeVertex(outline, q1);
    MakeVertex(outline, q2);
    if (LongerFirst(outline, q1, q2)) std::swap(q1, q2);
    first = Five(a, b, q1, FoldOnCentre(GetFoldSide(), outline, a, b, q1, q2, Unit(), a, a), q2);
  }

  CFivePointRec second = first;
  PointList seam;
  if (SeamLineAt(size, seam)) {
    seam = Closed(seam);
    CPoint sa = a, sq1 = first.points[2], sq2 = first.points[4];
    ok = CarryAhead(b, sq1, seam) && ok;
    ok = CarryAhead(b, sa, seam) && ok;
    ok = CarryAhead(b, sq2, seam) && ok;
    const int32_t side = GetFoldSide();
    const CPoint c = side == 1 || side == 2 ? FoldOnCentre(side, seam, sa, b, sq1, sq2, Unit(), sq2, sq1) : sa;
    second = Five(sa, b, sq1, c, sq2);
  }
  return Store(size, first, second, ok ? TRUE : FALSE);
}

// ---- Subtype 2 -----------------------------------------------------------------

BOOL CConstructElement2::Calculate(int32_t size) {
  CPoint pts[2];
  const bool had = FetchPoints(size, 2, pts) == 2;
  const CPoint a = pts[0];
  const CPoint b = pts[1];
  if (!had) return Store(size, Five(a, b, a, a, a), FALSE);
  CPoint p1, p2;
  Across(a, b, Evaluate(0, size), &p1, &p2);
  return Store(size, Five(a, b, p1, a, p2), TRUE);
}

// ---- Subtypes 4 and 8 --------------------------------------------------------------

BOOL CConstructElement4::Calculate(int32_t size) {
  PointList outline;
  OutlineAt(size, outline);
  CPoint pts[2];
  const bool had = FetchPoints(size, 2, pts) == 2;
  CPoint a = pts[0];
  CPoint b = pts[1];
  if (!had) {
    const CFivePointRec none = Five(a, a, a, a, a);
    return Store(size, none, none, FALSE);
  }
  MakeVertex(outline, a);
  MakeVertex(outline, b);
  if (LongerFirst(outline, a, b)) std::swap(a, b);
  CPoint p0, apex;
  bool ok = ApexFromDepth(a, b, Evaluate(0, size), &p0, &apex);
  const int32_t mode = GetCapMode();
  const CPoint cap = ok ? CapPoint(mode, outline, a, b, apex, Through(p0, apex), p0, Unit()) : a;
  const CFivePointRec first = Five(p0, apex, a, cap, b);

  CFivePointRec second = first;
  PointList seam;
  if (SeamLineAt(size, seam)) {
    seam = Closed(seam);
    const bool shaped = ok;
    CPoint sa = a, sp0 = p0, sb = b;
    ok = CarryAhead(apex, sa, seam) && ok;
    ok = CarryAhead(apex, sp0, seam) && ok;
    ok = CarryAhead(apex, sb, seam) && ok;
    const CPoint scap = shaped ? CapPoint(mode, seam, sa, sb, apex, Through(sp0, apex), sp0, Unit()) : sa;
    second = Five(sp0, apex, sa, scap, sb);
  }
  return Store(size, first, second, ok ? TRUE : FALSE);
}

BOOL CConstructElement8::Calculate(int32_t size) {
  CPoint pts[2];
  if (FetchPoints(size, 2, pts) != 2) {
    // Keeps the record it had; the size shows nothing.
    ClearDirty(size);
    return FALSE;
  }
  CPoint p0, apex;
  const bool ok = ApexFromDepth(pts[0], pts[1], Evaluate(0, size), &p0, &apex);
  return Store(size, Five(p0, apex, pts[0], p0, pts[1]), ok ? TRUE : FALSE);
}

// ---- Subtypes 16 and 32 ------------------------------------------------------------

namespace {

// The cap point of a dart whose apex is given: on the apex's bisector, by
// the cap mode (0 on the chord, falling back to b).
CPoint BisectorCap(int32_t mode, const PointList& ring, CPoint a, CPoint b, CPoint apex, double unit) {
  const Line centre = Bisector(apex, a, b);
  CPoint cap = b;
  if (mode == 1 || mode == 2) return CapPoint(mode, ring, a, b, apex, centre, b, unit);
  if (!Meet(centre, Through(a, b), &cap)) cap = b;
  return cap;
}

}  // namespace

BOOL CConstructElement16::Calculate(int32_t size) {
  PointList outline;
  OutlineAt(size, outline);
  CPoint pts[3];
  const bool had = FetchPoints(size, 3, pts) == 3;
  CPoint a = pts[0];
  CPoint b = pts[1];
  const CPoint apex = pts[2];
  if (!had) {
    const CFivePointRec none = Five(a, a, a, a, a);
    return Store(size, none, none, FALSE);
  }
  MakeVertex(outline, a);
  MakeVertex(outline, b);
  if (LongerFirst(outline, a, b)) std::swap(a, b);
  const int32_t mode = GetCapMode();
  const bool onLeg = Same(apex, a) || Same(apex, b);

  CFivePointRec first = Five(Midpoint(a, b), apex, a, a, b);
  if (!onLeg) {
    const CPoint cap = BisectorCap(mode, outline, a, b, apex, Unit());
    CPoint p0 = cap;
    PointList hits;
    if (IntersectSegmentPolyline(apex.x, apex.y, cap.x, cap.y, Closed(outline), &hits) > 0) {
      NearestPointAhead(apex.x, apex.y, cap.x, cap.y, hits, &p0);
    }
    first = Five(p0, apex, a, cap, b);
  }

  bool ok = true;
  CFivePointRec second = first;
  PointList seam;
  if (SeamLineAt(size, seam) && !onLeg) {
    seam = Closed(seam);
    CPoint sa = a, sp0 = first.points[0], sb = b;
    ok = CarryAhead(apex, sa, seam) && ok;
    ok = CarryAhead(apex, sp0, seam) && ok;
    ok = CarryAhead(apex, sb, seam) && ok;
    second = Five(sp0, apex, sa, BisectorCap(mode, seam, sa, sb, apex, Unit()), sb);
  }
  return Store(size, first, second, ok ? TRUE : FALSE);
}

BOOL CConstructElement32::Calculate(int32_t size) {
  CPoint pts[3];
  const bool had = FetchPoints(size, 3, pts) == 3;
  const CPoint a = pts[0];
  const CPoint b = pts[1];
  const CPoint apex = pts[2];
  if (!had) return Store(size, Five(a, a, a, a, a), FALSE);
  CPoint p = b;
  if (!Meet(Bisector(apex, a, b), Through(a, b), &p)) p = b;
  return Store(size, Five(p, apex, a, p, b), TRUE);
}

// ---- Subtype 64 ------------------------------------------------------------------

namespace {

// The fold point of the dart between two outline points, on its centre line:
// on the chord (sides 0 and any but 1 and 2, falling back to q2), or folded
// about q2 (side 1) or q1 (side 2), falling back to that end.
CPoint ChordFold(int32_t side, const PointList& ring, CPoint apex, CPoint q1, CPoint q2, const Line& centre,
                 double unit) {
  CPoint c = q2;
  if (side == 1) {
    if (!FoldedMeet(ring, q2, apex, kFoldWalk * unit, true, centre, &c)) c = q2;
  } else if (side == 2) {
    if (!FoldedMeet(ring, q1, apex, -kFoldWalk * unit, true, centre, &c)) c = q1;
  } else if (!Meet(centre, Through(q1, q2), &c)) {
    c = q2;
  }
  return c;
}

}  // namespace

BOOL CConstructElement64::Calculate(int32_t size) {
  PointList outline;
  OutlineAt(size, outline);
  const int32_t length = Evaluate(0, size);
  CPoint pts[2];
  const bool had = FetchPoints(size, 2, pts) == 2;
  const CPoint start = pts[0];
  const CPoint b = pts[1];
  // Every point at the start: what a size that cannot be built keeps.
  const CFivePointRec still = Five(start, start, start, start, start);
  if (!had) return Store(size, still, still, FALSE);
  CPoint q1 = start, q2 = start;
  const BOOL walked = length < 0 ? PointAlongClosedPolyline(outline, start.x, start.y, length, &q1)
                                 : PointAlongClosedPolyline(outline, start.x, start.y, length, &q2);
  if (!walked) return Store(size, still, still, FALSE);

  const int32_t side = GetFoldSide();
  const CPoint c = ChordFold(side, outline, b, q1, q2, Bisector(b, q1, q2), Unit());
  CPoint a = c;
  PointList hits;
  if (IntersectSegmentPolyline(b.x, b.y, c.x, c.y, Closed(outline), &hits) > 0) {
    NearestPointAhead(b.x, b.y, c.x, c.y, hits, &a);
  }
  const CFivePointRec first = Five(a, b, q1, c, q2);

  bool ok = true;
  CFivePointRec second = first;
  PointList seam;
  if (SeamLineAt(size, seam)) {
    seam = Closed(seam);
    CPoint sq1 = q1, sa = a, sq2 = q2;
    ok = CarryAhead(b, sq1, seam) && ok;
    ok = CarryAhead(b, sa, seam) && ok;
    ok = CarryAhead(b, sq2, seam) && ok;
    second = Five(sa, b, sq1, ChordFold(side, seam, b, sq1, sq2, Bisector(b, sq1, sq2), Unit()), sq2);
  }
  return Store(size, first, second, ok ? TRUE : FALSE);
}

// ---- CConstructElement128 --------------------------------------------------------

CConstructElement128::CConstructElement128(CPatternRecord* owner)
    : CConstructElement(owner, kConstructSubtype128, kLayout128), m_Records(OwnerSizeCount(*this)) {}

BOOL CConstructElement128::GetRecord(int32_t size, CShapeRecord5& out) {
  if (size < 0 || size >= m_Records.Count()) return FALSE;
  if (IsDirty(size)) Calculate(size);
  m_Records.Get(size, out);
  return HadPoints(size);
}

BOOL CConstructElement128::Calculate(int32_t size) {
  CPoint pts[3];
  const bool had = FetchPoints(size, 3, pts) == 3;
  const CPoint p = pts[0];
  const CPoint m = pts[1];
  const CPoint n = pts[2];
  CShapeRecord5 record;
  if (!had) {
    record.points = {p, m, n, p, p};
    m_Records.Set(size, record);
    ClearDirty(size);
    return FALSE;
  }
  CPoint e1 = m, e2 = m;
  const double d1 = std::hypot(static_cast<double>(m.x) - n.x, static_cast<double>(m.y) - n.y);
  const double d2 = std::hypot(static_cast<double>(m.x) - p.x, static_cast<double>(m.y) - p.y);
  const double sum = d1 + d2;
  if (sum > kNoLength) {
    // Where the bisector of the angle at M meets N-P.
    const double fx = n.x + (static_cast<double>(p.x) - n.x) * d1 / sum;
    const double fy = n.y + (static_cast<double>(p.y) - n.y) * d1 / sum;
    const double ux = n.x - fx;
    const double uy = n.y - fy;
    const double len = std::sqrt(ux * ux + uy * uy);
    if (len > kNoLength) {
      const double w = Evaluate(0, size);
      const double hx = w * ux / 2.0 / len;
      const double hy = w * uy / 2.0 / len;
      e1 = CPoint(RoundToNearest(fx - hy), RoundToNearest(fy + hx));
      e2 = CPoint(RoundToNearest(fx + hy), RoundToNearest(fy - hx));
    } else {
      // M on N puts the widest place on N, where the cross has no direction.
      e1 = e2 = CPoint(RoundToNearest(fx), RoundToNearest(fy));
    }
  }
  record.points = {p, m, n, e1, e2};
  m_Records.Set(size, record);
  ClearDirty(size);
  return TRUE;
}

BOOL CConstructElement128::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  CShapeRecord5 record;
  if (!GetRecord(BaseSize(), record)) return FALSE;
  const auto& r = record.points;
  const PointList shape = {r[3], r[0], r[4], r[2]};
  return HitTestRecordPoints(r.data(), 5, shape, x, y, tolerance, distance);
}

CRect CConstructElement128::GetBoundRect(int32_t size) const {
  CShapeRecord5 record;
  if (!const_cast<CConstructElement128*>(this)->GetRecord(size, record)) return CRect();
  return record.GetBoundRect();
}

CRect CConstructElement128::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  CShapeRecord5 record;
  if (!const_cast<CConstructElement128*>(this)->GetRecord(size, record)) return CRect();
  return record.GetBoundRectAt(cx, cy, sinA, cosA);
}

BOOL CConstructElement128::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (vertices) vertices->clear();
  CShapeRecord5 record;
  if (!GetRecord(BaseSize(), record) || !vertices) return FALSE;
  if (itemType) *itemType = kItemDoublePointedDart;
  const auto& r = record.points;
  for (const CPoint& q : {r[0], r[3], r[2], r[4]}) vertices->push_back({q.x, q.y, 0});
  return TRUE;
}

void CConstructElement128::InsertSize(int32_t index) {
  m_Records.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElement128::RemoveSize(int32_t index) {
  m_Records.Remove(index);
  CConstructElement::RemoveSize(index);
}

// ---- Contoured darts ---------------------------------------------------------------

namespace {

// The eight points of a contoured dart.
CShapeRecord8 Eight(CPoint a, CPoint a2, CPoint b, CPoint q1, CPoint p3, CPoint q2, CPoint p4, CPoint c) {
  CShapeRecord8 record;
  record.points = {a, a2, b, q1, p3, q2, p4, c};
  return record;
}

// The fold point of the contoured dart on the line A-B: folded about Q2
// along its bend leg (side 1) or about Q1 (side 2), A otherwise or when that
// fails.
CPoint ContouredFold(int32_t side, const PointList& ring, CPoint a, CPoint b, CPoint q1, CPoint p3, CPoint q2,
                     CPoint p4, double unit) {
  CPoint c = a;
  if (side == 1) {
    if (!FoldedMeet(ring, q2, p4, kContouredFoldWalk * unit, false, Through(a, b), &c)) c = a;
  } else if (side == 2) {
    if (!FoldedMeet(ring, q1, p3, -kContouredFoldWalk * unit, false, Through(a, b), &c)) c = a;
  }
  return c;
}

}  // namespace

// ---- CConstructElement256 --------------------------------------------------------

CConstructElement256::CConstructElement256(CPatternRecord* owner)
    : CConstructElement(owner, kConstructSubtype256, kLayout256),
      m_OutlineRecords(OwnerSizeCount(*this)),
      m_SeamRecords(OwnerSizeCount(*this)) {}

BOOL CConstructElement256::GetExtraMarkParams(ExtraMarkParams& extra) const {
  extra.fill(std::nullopt);
  for (int32_t i = 0; i < kStoredExtraMarkParams; ++i) {
    extra[static_cast<size_t>(i)] = GetWord(kFirstExtraMarkWord + i);
  }
  return TRUE;
}

BOOL CConstructElement256::GetRecord(int32_t size, CShapeRecord8& out) {
  if (size < 0 || size >= m_OutlineRecords.Count()) return FALSE;
  if (IsDirty(size)) Calculate(size);
  m_OutlineRecords.Get(size, out);
  return HadPoints(size);
}

BOOL CConstructElement256::GetSecondRecord(int32_t size, CShapeRecord8& out) {
  CPatternRecord* owner = GetOwner();
  if (!owner || !owner->HasSeamLine()) return FALSE;
  if (size < 0 || size >= m_SeamRecords.Count()) return FALSE;
  if (IsDirty(size)) Calculate(size);
  m_SeamRecords.Get(size, out);
  return HadPoints(size);
}

BOOL CConstructElement256::Calculate(int32_t size) {
  PointList outline;
  OutlineAt(size, outline);
  CPoint pts[3];
  const bool had = FetchPoints(size, 3, pts) == 3;
  CPoint a = pts[0];
  const CPoint a2 = pts[1];
  const CPoint b = pts[2];
  if (!had) {
    const CShapeRecord8 none = Eight(a, a2, b, a, a2, a, a2, a);
    m_OutlineRecords.Set(size, none);
    m_SeamRecords.Set(size, none);
    ClearDirty(size);
    return FALSE;
  }
  bool ok = true;
  CPoint q1, q2;
  if (Across(a, b, Evaluate(0, size), &q1, &q2)) {
    const PointList closed = Closed(outline);
    ok = CarryAhead(b, q1, closed) && CarryAhead(b, q2, closed);
  }
  CPoint p3, p4;
  Across(a2, b, Evaluate(1, size), &p3, &p4);
  MakeVertex(outline, q1);
  MakeVertex(outline, q2);
  if (LongerFirst(outline, q1, q2)) {
    std::swap(q1, q2);
    std::swap(p3, p4);
  }
  const int32_t side = GetFoldSide();
  const CPoint c = ContouredFold(side, outline, a, b, q1, p3, q2, p4, Unit());
  const CShapeRecord8 first = Eight(a, a2, b, q1, p3, q2, p4, c);

  CShapeRecord8 second = first;
  PointList seam;
  if (SeamLineAt(size, seam)) {
    seam = Closed(seam);
    CPoint sq1 = q1, sq2 = q2;
    ok = CarryAhead(p3, sq1, seam) && ok;
    ok = CarryAhead(p4, sq2, seam) && ok;
    ok = CarryAhead(b, a, seam) && ok;
    second = Eight(a, a2, b, sq1, p3, sq2, p4, ContouredFold(side, seam, a, b, sq1, p3, sq2, p4, Unit()));
  }
  m_OutlineRecords.Set(size, first);
  m_SeamRecords.Set(size, second);
  ClearDirty(size);
  return ok ? TRUE : FALSE;
}

void CConstructElement256::GetShapePoints(int32_t size, PointList& list) {
  list.clear();
  CShapeRecord8 record;
  if (!GetRecord(size, record)) return;
  const auto& r = record.points;
  list = {r[3], r[7], r[5], r[6], r[2], r[4]};
}

void CConstructElement256::MergeIntoOutline(int32_t size, PointList& outline) {
  CShapeRecord8 record;
  if (!GetRecord(size, record)) return;
  ReplaceRingSection(outline, {record.points[3], record.points[7], record.points[5]});
}

void CConstructElement256::MergeIntoSeamLine(int32_t size, PointList& seamLine) {
  CShapeRecord8 record;
  if (!GetSecondRecord(size, record)) return;
  ReplaceRingSection(seamLine, {record.points[3], record.points[7], record.points[5]});
}

BOOL CConstructElement256::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  CShapeRecord8 record;
  if (!GetRecord(BaseSize(), record)) return FALSE;
  const auto& r = record.points;
  const PointList shape = {r[3], r[7], r[5], r[6], r[2], r[4]};
  return HitTestRecordPoints(r.data(), 8, shape, x, y, tolerance, distance);
}

CRect CConstructElement256::GetBoundRect(int32_t size) const {
  return UnionOfRecordBoxes<CShapeRecord8>(*const_cast<CConstructElement256*>(this), size,
                                   [](const CShapeRecord8& record) { return record.GetBoundRect(); });
}

CRect CConstructElement256::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  return UnionOfRecordBoxes<CShapeRecord8>(*const_cast<CConstructElement256*>(this), size, [&](const CShapeRecord8& record) {
    return record.GetBoundRectAt(cx, cy, sinA, cosA);
  });
}

BOOL CConstructElement256::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (vertices) vertices->clear();
  CShapeRecord8 record;
  if (!GetRecord(BaseSize(), record) || !vertices) return FALSE;
  if (itemType) *itemType = kItemFreeDart;
  const auto& r = record.points;
  for (const CPoint& q : {r[3], r[4], r[2], r[6], r[5]}) vertices->push_back({q.x, q.y, 0});
  return TRUE;
}

void CConstructElement256::InsertSize(int32_t index) {
  m_OutlineRecords.Insert(index);
  m_SeamRecords.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElement256::RemoveSize(int32_t index) {
  m_OutlineRecords.Remove(index);
  m_SeamRecords.Remove(index);
  CConstructElement::RemoveSize(index);
}

// ---- CConstructElement512 --------------------------------------------------------

CConstructElement512::CConstructElement512(CPatternRecord* owner)
    : CConstructElement(owner, kConstructSubtype512, kLayout512), m_Records(OwnerSizeCount(*this)) {}

BOOL CConstructElement512::GetRecord(int32_t size, CShapeRecord8& out) {
  if (size < 0 || size >= m_Records.Count()) return FALSE;
  if (IsDirty(size)) Calculate(size);
  m_Records.Get(size, out);
  return HadPoints(size);
}

BOOL CConstructElement512::Calculate(int32_t size) {
  CPoint pts[3];
  const bool had = FetchPoints(size, 3, pts) == 3;
  const CPoint a = pts[0];
  const CPoint a2 = pts[1];
  const CPoint b = pts[2];
  CPoint p1 = a, p2 = a, p3 = a2, p4 = a2;
  if (had) {
    Across(a, b, Evaluate(0, size), &p1, &p2);
    Across(a2, b, Evaluate(1, size), &p3, &p4);
  }
  m_Records.Set(size, Eight(a, a2, b, p1, p3, p2, p4, a));
  ClearDirty(size);
  return had ? TRUE : FALSE;
}

BOOL CConstructElement512::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  CShapeRecord8 record;
  if (!GetRecord(BaseSize(), record)) return FALSE;
  const auto& r = record.points;
  const PointList shape = {r[3], r[0], r[5], r[6], r[2], r[4]};
  return HitTestRecordPoints(r.data(), 7, shape, x, y, tolerance, distance);
}

CRect CConstructElement512::GetBoundRect(int32_t size) const {
  CShapeRecord8 record;
  if (!const_cast<CConstructElement512*>(this)->GetRecord(size, record)) return CRect();
  return record.GetBoundRect();
}

CRect CConstructElement512::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  CShapeRecord8 record;
  if (!const_cast<CConstructElement512*>(this)->GetRecord(size, record)) return CRect();
  return record.GetBoundRectAt(cx, cy, sinA, cosA);
}

BOOL CConstructElement512::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (vertices) vertices->clear();
  CShapeRecord8 record;
  if (!GetRecord(BaseSize(), record) || !vertices) return FALSE;
  if (itemType) *itemType = kItemFreeDart;
  const auto& r = record.points;
  for (const CPoint& q : {r[3], r[4], r[2], r[6], r[5]}) vertices->push_back({q.x, q.y, 0});
  return TRUE;
}

void CConstructElement512::InsertSize(int32_t index) {
  m_Records.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElement512::RemoveSize(int32_t index) {
  m_Records.Remove(index);
  CConstructElement::RemoveSize(index);
}

// ---- Registration ----------------------------------------------------------------

void RegisterDarts() {
  ElementFactory& elements = GetElementFactory();
  auto join = [&elements](uint32_t subtype, ElementFactory::CreateFunction create) {
    elements.Register(ElementCode{kElementTypeConstruct, static_cast<int32_t>(subtype)}, create);
  };
  join(kConstructSubtype1, &MakeDart<CConstructElement1>);
  join(kConstructSubtype2, &MakeDart<CConstructElement2>);
  join(kConstructSubtype4, &MakeDart<CConstructElement4>);
  join(kConstructSubtype8, &MakeDart<CConstructElement8>);
  join(kConstructSubtype16, &MakeDart<CConstructElement16>);
  join(kConstructSubtype32, &MakeDart<CConstructElement32>);
  join(kConstructSubtype64, &MakeDart<CConstructElement64>);
  join(kConstructSubtype128, &MakeDart<CConstructElement128>);
  join(kConstructSubtype256, &MakeDart<CConstructElement256>);
  join(kConstructSubtype512, &MakeDart<CConstructElement512>);
}
