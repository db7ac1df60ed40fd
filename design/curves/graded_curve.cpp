#include "design/curves/graded_curve.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/geometry/measure.h"
#include "design/geometry/primitives.h"
#include "design/points/graded_point.h"
#include "platform/numbers.h"

namespace {

// The spline kinds store the status word and the first attribute from these
// data versions on.
constexpr int32_t kFirstVersionWithCurveStatus = 104;
constexpr int32_t kFirstVersionWithCurveAttribute1 = 109;

}  // namespace

CGradedCurve::CGradedCurve(int32_t subtype, CPatternData* owner, uint16_t status, int32_t attribute1,
                           int32_t attribute2, BOOL closed)
    : CGradedObject(kObjectKindCurve, owner, status),
      m_Subtype(subtype),
      m_Attribute1(attribute1),
      m_Attribute2(attribute2),
      m_Closed(closed) {
  const size_t sizes = owner ? static_cast<size_t>(std::max(owner->GetSizeCount(), 0)) : 0;
  m_WholeLists.resize(sizes);
  m_PartLists.resize(sizes);
  m_PartDirty.assign(sizes, 0);
}

CGradedCurve::~CGradedCurve() = default;

BOOL CGradedCurve::IsFirstStoredRef(int32_t) const { return FALSE; }

BOOL CGradedCurve::IsStoredRefBefore(int32_t, int32_t) const { return TRUE; }

BOOL CGradedCurve::GetReferences(CGradedObjectList& references) const {
  references.clear();
  GetPointRefs(references);
  return TRUE;
}

void CGradedCurve::GetUsedObjects(CGradedObjectList& used) const {
  GetPointRefs(used);
  used.push_back(m_Start);
  used.push_back(m_End);
}

BOOL CGradedCurve::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  CGradedObjectList used;
  GetUsedObjects(used);
  return std::find(used.begin(), used.end(), object) != used.end() ? TRUE : FALSE;
}

void CGradedCurve::InsertSize(int32_t index) {
  CGradedObject::InsertSize(index);
  if (index < 0 || static_cast<size_t>(index) > m_WholeLists.size()) return;
  // The new size starts as a copy of the size that was at `index` (empty at
  // the end), and its part is cut again.
  const auto copyOf = [index](const std::vector<PointList>& lists) {
    return static_cast<size_t>(index) < lists.size() ? lists[static_cast<size_t>(index)] : PointList();
  };
  m_WholeLists.insert(m_WholeLists.begin() + index, copyOf(m_WholeLists));
  m_PartLists.insert(m_PartLists.begin() + index, copyOf(m_PartLists));
  m_PartDirty.insert(m_PartDirty.begin() + index, 1);
}

void CGradedCurve::RemoveSize(int32_t index) {
  CGradedObject::RemoveSize(index);
  if (index < 0 || static_cast<size_t>(index) >= m_WholeLists.size()) return;
  m_WholeLists.erase(m_WholeLists.begin() + index);
  m_PartLists.erase(m_PartLists.begin() + index);
  m_PartDirty.erase(m_PartDirty.begin() + index);
}

BOOL CGradedCurve::IsPartDirty(int32_t size) const {
  if (size < 0 || static_cast<size_t>(size) >= m_PartDirty.size()) return FALSE;
  return m_PartDirty[static_cast<size_t>(size)] != 0 ? TRUE : FALSE;
}

BOOL CGradedCurve::ReadHead(ArchiveReader& archive, HeadGates gates, HeadRecord& head) const {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  const int32_t version = owner->GetVersion();
  const bool spline = gates == HeadGates::kSpline;
  head = HeadRecord();
  if (!archive.ReadU32(head.state)) return FALSE;
  if ((!spline || version >= kFirstVersionWithCurveStatus) && !archive.ReadU16(head.status)) return FALSE;
  if ((!spline || version >= kFirstVersionWithCurveAttribute1) && !archive.ReadI32(head.attribute1)) return FALSE;
  if (version >= kFirstVersionWithCurveAttribute2 && !archive.ReadI32(head.attribute2)) return FALSE;
  if (spline && version < kFirstVersionWithCurveAttribute1) head.attribute1 = m_Attribute1;
  return TRUE;
}

void CGradedCurve::ApplyHead(const HeadRecord& head) {
  SetState(static_cast<int32_t>(head.state));
  SetStatus(head.status);
  m_Attribute1 = head.attribute1;
  m_Attribute2 = head.attribute2;
}

void CGradedCurve::SetStoredEnds(int32_t start, int32_t end, BOOL full) {
  m_StoredStart = start;
  m_StoredEnd = end;
  m_Full = full;
}

void CGradedCurve::ResolveEnds(int32_t linkIndex) {
  m_Start = ResolvePoint(m_StoredStart);
  m_End = ResolvePoint(m_StoredEnd);
  const CPatternData* owner = GetOwner();
  SetLink(owner ? owner->GetElementAt(linkIndex) : nullptr);
}

CGradedPoint* CGradedCurve::ResolvePoint(int32_t position) const {
  const CPatternData* owner = GetOwner();
  return owner ? ResolveObject<CGradedPoint>(*owner, position) : nullptr;
}

void CGradedCurve::MeasureSection(int32_t, CGradedPoint*, int32_t, int32_t, int32_t, int32_t&, int32_t&) {}

BOOL CGradedCurve::GetPoints(int32_t, PointList&) { return FALSE; }
BOOL CGradedCurve::GetFullPoints(int32_t, PointList&) { return FALSE; }
BOOL CGradedCurve::PointAtRatioBetween(int32_t, CGradedPoint*, CGradedPoint*, int32_t, double, int32_t*, int32_t*) {
  return FALSE;
}
BOOL CGradedCurve::PointAtRatio(int32_t, CGradedPoint*, int32_t, double, int32_t*, int32_t*) { return FALSE; }
BOOL CGradedCurve::PointAtLength(int32_t, CGradedPoint*, int32_t, int32_t, int32_t*, int32_t*) { return FALSE; }

BOOL CGradedCurve::PointAtLengthFormula(int32_t size, CGradedPoint* start, int32_t direction, const CFormula& length,
                                        int32_t* x, int32_t* y) {
  return PointAtLength(size, start, direction, length.Evaluate(size), x, y);
}

int32_t CGradedCurve::GetSection(int32_t, CGradedObject*, CGradedObject*, int32_t) { return 0; }
BOOL CGradedCurve::CalcLinkedPoint(int32_t, CGradedPoint*, CPoint&) { return FALSE; }
void CGradedCurve::StoreBasePoints() {}
BOOL CGradedCurve::UpdateOwnedPoints() { return FALSE; }

void CGradedCurve::InvalidatePoints(int32_t size) {
  if (size == -1) {
    std::fill(m_PartDirty.begin(), m_PartDirty.end(), 1);
  } else if (size >= 0 && size < static_cast<int32_t>(m_PartDirty.size())) {
    m_PartDirty[static_cast<size_t>(size)] = 1;
  }
}

PointList* CGradedCurve::WholeListAt(int32_t size) {
  if (size < 0 || size >= static_cast<int32_t>(m_WholeLists.size())) return nullptr;
  return &m_WholeLists[static_cast<size_t>(size)];
}

PointList* CGradedCurve::PartListAt(int32_t size) {
  if (size < 0 || size >= static_cast<int32_t>(m_PartLists.size())) return nullptr;
  return &m_PartLists[static_cast<size_t>(size)];
}

void CGradedCurve::SetPartDirty(int32_t size, BOOL dirty) {
  if (size < 0 || size >= static_cast<int32_t>(m_PartDirty.size())) return;
  m_PartDirty[static_cast<size_t>(size)] = dirty ? 1 : 0;
}

// ---- The caches, the ends and the boxes ------------------------------------------

namespace {

// Points are placed on a curve within this distance.
constexpr double kPlaceTolerance = 5.0;

// The position of `object` at a size when it is a point that has one.
bool PositionAt(CGradedObject* object, int32_t size, CPoint* out) {
  auto* point = dynamic_cast<CGradedPoint*>(object);
  return point && point->GetPoint(size, out);
}

// The box of a non-empty list grown by `grow` units on every side, right and
// bottom one beyond the greatest coordinates; kept in the int32 range.
CRect GrownBox(const PointList& list, int32_t grow) {
  CRect extent;
  GetPointListExtent(&extent, list);
  return CRect(SaturateToInt32(static_cast<int64_t>(extent.left) - grow),
               SaturateToInt32(static_cast<int64_t>(extent.top) - grow),
               SaturateToInt32(static_cast<int64_t>(extent.right) + 1 + grow),
               SaturateToInt32(static_cast<int64_t>(extent.bottom) + 1 + grow));
}

// The objects whose relation to some curve is being asked, innermost last.
std::vector<const CGradedObject*>& RelationsBeingAsked() {
  static std::vector<const CGradedObject*> asked;
  return asked;
}

}  // namespace

BOOL CGradedCurve::GetCachedPart(int32_t size, PointList& out) {
  out.clear();
  PointList* whole = WholeListAt(size);
  PointList* part = PartListAt(size);
  if (!whole || !part) return FALSE;
  BOOL result = TRUE;
  if (IsDirty(size)) {
    PointList rebuilt;
    result = GetFullPoints(size, rebuilt);
  }
  if (IsPartDirty(size)) {
    PointList cut;
    if (m_Full) {
      cut = *whole;
    } else if (!whole->empty()) {
      CPoint start, end;
      const BOOL had = PositionAt(m_Start, size, &start) && PositionAt(m_End, size, &end);
      const BOOL found =
          had && (m_Closed ? GetRingSectionForward(*whole, start.x, start.y, end.x, end.y, &cut)
                           : GetPolylineSection(*whole, start.x, start.y, end.x, end.y, &cut));
      // An end without a position, or one off the curve, leaves no part.
      if (!found) {
        cut.clear();
        result = FALSE;
      }
    }
    *part = std::move(cut);
    const CPatternData* owner = GetOwner();
    if (owner && size == owner->GetBaseSize()) m_BaseRect = part->empty() ? CRect() : GrownBox(*part, 1);
    SetPartDirty(size, FALSE);
  }
  out = *part;
  return result;
}

void CGradedCurve::SetEnds(CGradedPoint* start, CGradedPoint* end) {
  m_Start = start;
  m_End = end;
  CGradedPoint* first = nullptr;
  CGradedPoint* last = nullptr;
  GetFirstLastRefs(first, last);
  bool full = false;
  if (first && last) {
    full = m_Closed ? start == first && end == first
                    : (start == first && end == last) || (start == last && end == first);
  }
  m_Full = full ? TRUE : FALSE;
  InvalidatePoints(-1);
}

CRect CGradedCurve::GetBoundRect(int32_t size) const {
  // The box is a question that changes nothing the caller can see but the
  // caches.
  PointList list;
  if (!const_cast<CGradedCurve*>(this)->GetPoints(size, list) || list.empty()) return CRect();
  return GrownBox(list, 0);
}

CRect CGradedCurve::GetBaseBoundRect() const {
  const CPatternData* owner = GetOwner();
  if (owner) {
    const int32_t base = owner->GetBaseSize();
    if (IsDirty(base) || IsPartDirty(base)) {
      PointList list;
      const_cast<CGradedCurve*>(this)->GetPoints(base, list);
    }
  }
  return m_BaseRect;
}

void CGradedCurve::RecalcAll() {
  Invalidate(-1);
  const CPatternData* owner = GetOwner();
  if (!owner) return;
  PointList scratch;
  for (int32_t size = 0; size < owner->GetSizeCount(); ++size) GetFullPoints(size, scratch);
}

BOOL CGradedCurve::IsRelatedTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  if (IsEnd(object)) return TRUE;
  CGradedObjectList defining;
  GetDefiningRefs(defining);
  if (std::find(defining.begin(), defining.end(), object) != defining.end()) return TRUE;
  const auto* point = dynamic_cast<const CGradedPoint*>(object);
  if (!point) return FALSE;
  auto& asked = RelationsBeingAsked();
  if (std::find(asked.begin(), asked.end(), object) != asked.end()) return FALSE;
  asked.push_back(object);
  const BOOL uses = point->UsesCurve(this);
  asked.pop_back();
  return uses;
}

// ---- Measuring along the branches -------------------------------------------------

namespace {

// Where a walk along a path of points stopped: the last two points reached
// and the length walked.
struct Walked {
  CPoint previous;
  CPoint current;
  double run = 0.0;
  bool pointsLeft = false;
};

double PathLength(const std::vector<CPoint>& path) {
  double sum = 0.0;
  for (size_t i = 1; i < path.size(); ++i) sum += SqrtDistance(path[i - 1], path[i]);
  return sum;
}

// Walks the path from its first point until the length walked is no longer
// below `target` or the path ends. `path` must not be empty.
Walked Walk(const std::vector<CPoint>& path, double target) {
  Walked w;
  w.previous = w.current = path.front();
  size_t i = 0;
  while (w.run < target && i + 1 < path.size()) {
    w.previous = w.current;
    w.current = path[++i];
    w.run += SqrtDistance(w.previous, w.current);
  }
  w.pointsLeft = i + 1 < path.size();
  return w;
}

// The point `target` along the path: back from the current point towards the
// previous one by what the walk overshot. A segment of no length gives the
// current point itself.
CPoint StepBack(const Walked& w, double target) {
  const double segment = SqrtDistance(w.current, w.previous);
  if (IsZeroDivisor(segment)) return w.current;
  const double f = (w.run - target) / segment;
  return CPoint(RoundToNearest(w.current.x + (static_cast<double>(w.previous.x) - w.current.x) * f),
                RoundToNearest(w.current.y + (static_cast<double>(w.previous.y) - w.current.y) * f));
}

// `ratio` of `length`, held to 0..length; a ratio that is no number gives 0.
double TargetWithin(double length, double ratio) {
  const double t = length * ratio;
  if (!(t > 0)) return 0.0;
  return std::min(t, length);
}

// Places p on the list (a ring when `ring`) within kPlaceTolerance: at the
// vertex it equals, else at the nearest place, which becomes a vertex unless
// it equals the vertex before or after it. The index of the place, or -1
// when p lies off the list.
int64_t PlaceOn(PointList& list, bool ring, CPoint p) {
  const auto index = [&list](PointPos pos) { return static_cast<int64_t>(std::distance(list.cbegin(), pos)); };
  if (list.empty()) return -1;
  const PointPos vertex = FindPointInList(list, p.x, p.y);
  if (vertex != list.end()) return index(vertex);
  CPoint nearest;
  double distance = 0.0;
  PointPos prev, at, next;
  const BOOL hit = ring ? HitTestClosedPolyline(list, kPlaceTolerance, p.x, p.y, &nearest, &distance, &prev, &at, &next)
                        : HitTestPolyline(list, kPlaceTolerance, p.x, p.y, &nearest, &distance, &prev, &at, &next);
  if (!hit) return -1;
  if (at != list.end()) return index(at);
  if (*prev == nearest) return index(prev);
  if (*next == nearest) return index(next);
  // Into the segment (prev, next); a ring's closing segment takes it at the
  // tail.
  const PointPos placed = std::next(prev) == next ? list.insert(next, nearest) : list.insert(list.end(), nearest);
  return index(placed);
}

// The points of an open list from `from` to its last point (forwards) or to
// its first (backwards).
std::vector<CPoint> OpenPath(const std::vector<CPoint>& points, size_t from, bool forwards) {
  if (forwards) return std::vector<CPoint>(points.begin() + static_cast<std::ptrdiff_t>(from), points.end());
  std::vector<CPoint> path(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(from) + 1);
  std::reverse(path.begin(), path.end());
  return path;
}

// One turn round a ring from `from` back to it, forwards or backwards.
std::vector<CPoint> RingLap(const std::vector<CPoint>& points, size_t from, bool forwards) {
  const size_t n = points.size();
  std::vector<CPoint> path;
  path.reserve(n + 1);
  for (size_t k = 0; k <= n; ++k) path.push_back(points[forwards ? (from + k) % n : (from + n - k % n) % n]);
  return path;
}

void Write(CPoint p, int32_t* x, int32_t* y) {
  *x = p.x;
  *y = p.y;
}

// The section of the whole curve from pa to pb as the branches measure it;
// the straight pair when it cannot be found. With `fromA`, a section that
// the list gives from pb (on an open curve that ends where it begins) is
// turned round so that it begins at pa.
PointList SectionBetween(const PointList& whole, CPoint pa, CPoint pb, int32_t direction, bool closed,
                         bool fromA) {
  PointList section;
  BOOL found = FALSE;
  bool reverse = false;
  if (closed) {
    found = direction ? GetRingSectionForward(whole, pa.x, pa.y, pb.x, pb.y, &section)
                      : GetRingSectionBackward(whole, pa.x, pa.y, pb.x, pb.y, &section);
  } else {
    const CPoint ends = whole.front();
    const bool endsMeet = whole.front() == whole.back();
    if (endsMeet && pa == ends && pb == ends) {
      section = whole;
      found = TRUE;
      reverse = direction == 0;
    } else if (endsMeet && pa == ends) {
      found = direction ? GetPolylineStart(whole, pb.x, pb.y, &section) : GetPolylineEnd(whole, pb.x, pb.y, &section);
      reverse = direction == 0;
    } else if (endsMeet && pb == ends) {
      found = direction ? GetPolylineEnd(whole, pa.x, pa.y, &section) : GetPolylineStart(whole, pa.x, pa.y, &section);
      reverse = direction == 0;
    } else {
      found = GetPolylineSection(whole, pa.x, pa.y, pb.x, pb.y, &section);
    }
  }
  if (!found || section.empty()) return PointList{pa, pb};
  if (fromA && reverse) section.reverse();
  return section;
}

// The whole curve of a size, 0 when it is empty.
bool WholeOf(CGradedCurve& curve, int32_t size, PointList& whole) {
  const BOOL result = curve.GetFullPoints(size, whole);
  return result && !whole.empty();
}

BOOL RatioBetween(CGradedCurve& curve, bool closed, int32_t size, CGradedPoint* a, CGradedPoint* b,
                  int32_t direction, double ratio, int32_t* x, int32_t* y) {
  PointList whole;
  CPoint pa, pb;
  if (!WholeOf(curve, size, whole) || !PositionAt(a, size, &pa) || !PositionAt(b, size, &pb)) return FALSE;
  const PointList section = SectionBetween(whole, pa, pb, direction, closed, true);
  const std::vector<CPoint> path(section.begin(), section.end());
  const double t = TargetWithin(PathLength(path), ratio);
  Write(StepBack(Walk(path, t), t), x, y);
  return TRUE;
}

int32_t SectionLength(CGradedCurve& curve, bool closed, int32_t size, CGradedObject* a, CGradedObject* b,
                      int32_t direction) {
  PointList whole;
  CPoint pa, pb;
  if (!WholeOf(curve, size, whole) || !PositionAt(a, size, &pa) || !PositionAt(b, size, &pb)) return 0;
  return PolylineLength(SectionBetween(whole, pa, pb, direction, closed, false));
}

void Measure(CGradedCurve& curve, bool closed, int32_t size, CGradedPoint* ref, int32_t x, int32_t y,
             int32_t direction, int32_t& total, int32_t& part) {
  total = 0;
  part = 0;
  PointList whole;
  CPoint p;
  if (!WholeOf(curve, size, whole) || !PositionAt(ref, size, &p)) return;
  total = closed ? ClosedPolylineLength(whole) : PolylineLength(whole);
  part = PolylineLength(SectionBetween(whole, p, CPoint(x, y), direction, closed, false));
}

// A list hit-tested as a polyline; a ring (or a single point) is closed by a
// copy of its first point.
BOOL HitList(PointList list, bool close, int32_t x, int32_t y, double tolerance, CPoint* point, double* distance) {
  if (list.empty()) return FALSE;
  if (close || list.size() == 1) list.push_back(list.front());
  CPoint nearest;
  double d = 0.0;
  PointPos prev, at, next;
  if (!HitTestPolyline(list, tolerance, x, y, &nearest, &d, &prev, &at, &next)) return FALSE;
  if (point) *point = nearest;
  if (distance) *distance = d;
  return TRUE;
}

}  // namespace

// ---- The open branch ------------------------------------------------------------

BOOL CGradedOpenCurve::GetPoints(int32_t size, PointList& out) { return GetCachedPart(size, out); }

BOOL CGradedOpenCurve::HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                               double* distance) {
  PointList list;
  GetFullPoints(size, list);
  return HitList(std::move(list), false, x, y, tolerance, point, distance);
}

BOOL CGradedOpenCurve::HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                                      double* distance) {
  if (GetState() == 0) return FALSE;
  PointList list;
  GetPoints(size, list);
  return HitList(std::move(list), false, x, y, tolerance, point, distance);
}

BOOL CGradedOpenCurve::PointAtRatioBetween(int32_t size, CGradedPoint* a, CGradedPoint* b, int32_t direction,
                                           double ratio, int32_t* x, int32_t* y) {
  return RatioBetween(*this, false, size, a, b, direction, ratio, x, y);
}

BOOL CGradedOpenCurve::PointAtRatio(int32_t size, CGradedPoint* start, int32_t direction, double ratio, int32_t* x,
                                    int32_t* y) {
  PointList whole;
  const BOOL result = GetFullPoints(size, whole);
  CPoint p;
  if (!result || whole.empty() || !PositionAt(start, size, &p)) return FALSE;
  std::vector<CPoint> points(whole.begin(), whole.end());
  const bool forwards = p == points.front() && (points.front() != points.back() || direction != 0);
  const std::vector<CPoint> path = OpenPath(points, forwards ? 0 : points.size() - 1, forwards);
  const double t = TargetWithin(PathLength(path), ratio);
  Write(StepBack(Walk(path, t), t), x, y);
  return result;
}

BOOL CGradedOpenCurve::PointAtLength(int32_t size, CGradedPoint* start, int32_t direction, int32_t length,
                                     int32_t* x, int32_t* y) {
  PointList work;
  CPoint p;
  if (!WholeOf(*this, size, work) || !PositionAt(start, size, &p)) return FALSE;
  const int64_t placed = PlaceOn(work, false, p);
  if (placed < 0) return FALSE;
  const std::vector<CPoint> points(work.begin(), work.end());
  const size_t at = static_cast<size_t>(placed);
  const bool fromFirst = at == 0;
  const bool endsMeet = points.front() == points.back();
  bool forwards = direction != 0 ? length >= 0 : length < 0;
  if (fromFirst) forwards = !endsMeet || direction != 0;
  size_t from = at;
  if (fromFirst && endsMeet) from = forwards ? 0 : points.size() - 1;
  const std::vector<CPoint> path = OpenPath(points, from, forwards);
  const double d = std::fabs(static_cast<double>(length));
  const Walked w = Walk(path, d);
  // Past the end of the curve: its last point reached, no extrapolation.
  Write(w.pointsLeft || w.run > d ? StepBack(w, d) : w.current, x, y);
  return TRUE;
}

int32_t CGradedOpenCurve::GetSection(int32_t size, CGradedObject* a, CGradedObject* b, int32_t direction) {
  return SectionLength(*this, false, size, a, b, direction);
}

void CGradedOpenCurve::MeasureSection(int32_t size, CGradedPoint* ref, int32_t x, int32_t y, int32_t direction,
                                      int32_t& total, int32_t& part) {
  Measure(*this, false, size, ref, x, y, direction, total, part);
}

// ---- The closed branch ----------------------------------------------------------

namespace {

// The walk round a ring from where `start` lies: the lap from its place, the
// ring's length along it. False when the ring is empty or the start has no
// place on it.
bool LapFrom(CGradedCurve& curve, int32_t size, CGradedPoint* start, bool forwards, std::vector<CPoint>* lap) {
  PointList work;
  CPoint p;
  if (!WholeOf(curve, size, work) || !PositionAt(start, size, &p)) return false;
  const int64_t placed = PlaceOn(work, true, p);
  if (placed < 0) return false;
  const std::vector<CPoint> points(work.begin(), work.end());
  *lap = RingLap(points, static_cast<size_t>(placed), forwards);
  return true;
}

// `target` (>= 0) round a ring of `length` with whole turns taken off; false
// when a ring of no length is asked for more than nothing.
bool WithinOneTurn(double length, double* target) {
  if (!(*target > 0)) return true;
  if (!(length > 0)) return false;
  *target = std::fmod(*target, length);
  return true;
}

}  // namespace

BOOL CGradedClosedCurve::GetPoints(int32_t size, PointList& out) { return GetCachedPart(size, out); }

BOOL CGradedClosedCurve::HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                                 double* distance) {
  PointList list;
  GetFullPoints(size, list);
  return HitList(std::move(list), true, x, y, tolerance, point, distance);
}

BOOL CGradedClosedCurve::HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                                        double* distance) {
  if (GetState() == 0) return FALSE;
  PointList list;
  if (IsFull()) {
    GetFullPoints(size, list);
    return HitList(std::move(list), true, x, y, tolerance, point, distance);
  }
  GetPoints(size, list);
  return HitList(std::move(list), false, x, y, tolerance, point, distance);
}

BOOL CGradedClosedCurve::PointAtRatioBetween(int32_t size, CGradedPoint* a, CGradedPoint* b, int32_t direction,
                                             double ratio, int32_t* x, int32_t* y) {
  return RatioBetween(*this, true, size, a, b, direction, ratio, x, y);
}

BOOL CGradedClosedCurve::PointAtRatio(int32_t size, CGradedPoint* start, int32_t direction, double ratio,
                                      int32_t* x, int32_t* y) {
  std::vector<CPoint> lap;
  if (!LapFrom(*this, size, start, direction != 0, &lap)) return FALSE;
  const double length = PathLength(lap);
  double t = length * ratio;
  // A ratio that is no number, or endless, names no point of the ring.
  if (!std::isfinite(t) || !WithinOneTurn(length, &t)) return FALSE;
  Write(StepBack(Walk(lap, t), t), x, y);
  return TRUE;
}

BOOL CGradedClosedCurve::PointAtLength(int32_t size, CGradedPoint* start, int32_t direction, int32_t length,
                                       int32_t* x, int32_t* y) {
  const bool forwards = direction != 0 ? length >= 0 : length < 0;
  std::vector<CPoint> lap;
  if (!LapFrom(*this, size, start, forwards, &lap)) return FALSE;
  double d = std::fabs(static_cast<double>(length));
  if (!WithinOneTurn(PathLength(lap), &d)) return FALSE;
  const Walked w = Walk(lap, d);
  Write(w.pointsLeft || w.run > d ? StepBack(w, d) : w.current, x, y);
  return TRUE;
}

int32_t CGradedClosedCurve::GetSection(int32_t size, CGradedObject* a, CGradedObject* b, int32_t direction) {
  return SectionLength(*this, true, size, a, b, direction);
}

void CGradedClosedCurve::MeasureSection(int32_t size, CGradedPoint* ref, int32_t x, int32_t y, int32_t direction,
                                        int32_t& total, int32_t& part) {
  Measure(*this, true, size, ref, x, y, direction, total, part);
}
