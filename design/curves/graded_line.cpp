#include "design/curves/graded_line.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"
#include "design/points/graded_point.h"
#include "platform/numbers.h"

namespace {

// The data versions at which the line's record grows. Each name says what a
// record of that version or later has.
constexpr int32_t kFirstVersionWithEnds = 103;        // two end positions
constexpr int32_t kFirstVersionWithStatus = 104;      // the status word
constexpr int32_t kFirstVersionWithAttribute1 = 109;  // attribute 1; stored ends count from here
constexpr int32_t kFirstVersionWithAttribute2 = 114;  // attribute 2

// Attribute 2 of a file that predates it.
constexpr int32_t kDefaultAttribute2 = 1;

// The stored positions in record order.
enum StoredId { kThrough1, kThrough2, kEnd1, kEnd2, kLink };

bool SamePair(const CGradedObject* a, const CGradedObject* b, const CGradedObject* x, const CGradedObject* y) {
  return (a == x && b == y) || (a == y && b == x);
}

}  // namespace

CGradedLine::CGradedLine(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
    : CGradedObject(kObjectKindLine, owner, status), m_Attribute1(attribute1), m_Attribute2(attribute2) {}

CGradedLine::CGradedLine(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2,
                         CGradedPoint* a, CGradedPoint* b)
    : CGradedLine(owner, status, attribute1, attribute2) {
  m_Through1 = m_End1 = a;
  m_Through2 = m_End2 = b;
}

CGradedLine::CGradedLine(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2,
                         CGradedPoint* a, CGradedPoint* b, CGradedObject* link, CGradedPoint* end1,
                         CGradedPoint* end2)
    : CGradedLine(owner, status, attribute1, attribute2, a, b) {
  SetLink(link);
  SetEnds(end1, end2);
}

void CGradedLine::GetThroughRefs(CGradedPoint** a, CGradedPoint** b) const {
  if (a) *a = m_Through1;
  if (b) *b = m_Through2;
}

void CGradedLine::SetThroughRefs(CGradedPoint* a, CGradedPoint* b) {
  m_Through1 = a;
  m_Through2 = b;
}

void CGradedLine::GetEndRefs(CGradedPoint** a, CGradedPoint** b) const {
  if (m_Full) {
    GetThroughRefs(a, b);
  } else {
    GetStoredEnds(a, b);
  }
}

void CGradedLine::GetStoredEnds(CGradedPoint** a, CGradedPoint** b) const {
  if (a) *a = m_End1;
  if (b) *b = m_End2;
}

void CGradedLine::SetEnds(CGradedPoint* a, CGradedPoint* b) {
  m_End1 = a;
  m_End2 = b;
  m_Full = SamePair(a, b, m_Through1, m_Through2) ? TRUE : FALSE;
}

BOOL CGradedLine::IsLinkedTo(const CGradedObject* object) const {
  return object && GetLink() == object ? TRUE : FALSE;
}

BOOL CGradedLine::IsThrough(const CGradedObject* a, const CGradedObject* b) const {
  if (!m_Through1 || !m_Through2) return FALSE;
  return SamePair(a, b, m_Through1, m_Through2) ? TRUE : FALSE;
}

BOOL CGradedLine::GetReferences(CGradedObjectList& references) const {
  references.clear();
  references.push_back(m_Through1);
  references.push_back(m_Through2);
  return TRUE;
}

void CGradedLine::GetUsedObjects(CGradedObjectList& used) const {
  used.insert(used.end(), {m_Through1, m_Through2, m_End1, m_End2});
}

BOOL CGradedLine::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  return object == m_Through1 || object == m_Through2 || object == m_End1 || object == m_End2 ? TRUE : FALSE;
}

void CGradedLine::ResolveIds() {
  const CPatternData* owner = GetOwner();
  if (!owner) return;
  m_Through1 = ResolveObject<CGradedPoint>(*owner, m_StoredIds[kThrough1]);
  m_Through2 = ResolveObject<CGradedPoint>(*owner, m_StoredIds[kThrough2]);
  m_End1 = ResolveObject<CGradedPoint>(*owner, m_StoredIds[kEnd1]);
  m_End2 = ResolveObject<CGradedPoint>(*owner, m_StoredIds[kEnd2]);
  SetLink(owner->GetElementAt(m_StoredIds[kLink]));
}

BOOL CGradedLine::Load(ArchiveReader& archive) {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  const int32_t version = owner->GetVersion();
  uint32_t state = 0;
  uint16_t status = GetStatus();
  int32_t attribute1 = m_Attribute1;
  int32_t attribute2 = kDefaultAttribute2;
  int32_t ids[kStoredIdCount] = {-1, -1, -1, -1, -1};
  if (!archive.ReadU32(state)) return FALSE;
  if (version >= kFirstVersionWithStatus && !archive.ReadU16(status)) return FALSE;
  if (version >= kFirstVersionWithAttribute1 && !archive.ReadI32(attribute1)) return FALSE;
  if (version >= kFirstVersionWithAttribute2 && !archive.ReadI32(attribute2)) return FALSE;
  if (!archive.ReadI32(ids[kThrough1]) || !archive.ReadI32(ids[kThrough2])) return FALSE;
  if (version >= kFirstVersionWithEnds && (!archive.ReadI32(ids[kEnd1]) || !archive.ReadI32(ids[kEnd2]))) {
    return FALSE;
  }
  if (!archive.ReadI32(ids[kLink])) return FALSE;
  // Older files either store no ends or ends that were not kept up to date:
  // the line is drawn between its through points.
  if (version < kFirstVersionWithAttribute1) {
    ids[kEnd1] = ids[kThrough1];
    ids[kEnd2] = ids[kThrough2];
  }
  SetState(static_cast<int32_t>(state));
  SetStatus(status);
  m_Attribute1 = attribute1;
  m_Attribute2 = attribute2;
  for (int i = 0; i < kStoredIdCount; ++i) m_StoredIds[i] = ids[i];
  return TRUE;
}

void RegisterGradedLines() {
  GetObjectKindFactory().Register(kObjectKindLine, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CGradedLine>(owner, 0, 0, kDefaultAttribute2);
  });
}

// ---- Positions at a size -----------------------------------------------------

namespace {

// Both positions of a pair, the second asked only when the first was had.
BOOL PairPositions(CGradedPoint* a, CGradedPoint* b, int32_t size, CPoint* p1, CPoint* p2) {
  *p1 = CPoint();
  *p2 = CPoint();
  if (!a || !a->GetPoint(size, p1)) return FALSE;
  return b && b->GetPoint(size, p2) ? TRUE : FALSE;
}

// The same through each point's own computation of the size.
BOOL PairCalculated(CGradedPoint* a, CGradedPoint* b, int32_t size, CPoint* p1, CPoint* p2) {
  *p1 = CPoint();
  *p2 = CPoint();
  if (!a || !a->CalcPoint(size, &p1->x, &p1->y)) return FALSE;
  return b && b->CalcPoint(size, &p2->x, &p2->y) ? TRUE : FALSE;
}

// from + (to - from) * t, each coordinate rounded and kept in the int32
// range.
int32_t Interpolate(int32_t from, int32_t to, double t) {
  const double delta = (static_cast<double>(to) - from) * t;
  return SaturateToInt32(static_cast<int64_t>(from) + RoundToNearest(delta));
}

// The objects whose relation to some line is being asked, innermost last.
std::vector<const CGradedObject*>& RelationsBeingAsked() {
  static std::vector<const CGradedObject*> asked;
  return asked;
}

}  // namespace

BOOL CGradedLine::GetThroughPoints(int32_t size, CPoint* p1, CPoint* p2) {
  CPoint a, b;
  const BOOL result = PairPositions(m_Through1, m_Through2, size, &a, &b);
  if (p1) *p1 = a;
  if (p2) *p2 = b;
  ClearDirty(size);
  return result;
}

BOOL CGradedLine::GetEndPoints(int32_t size, CPoint* p1, CPoint* p2) {
  CGradedPoint* a = nullptr;
  CGradedPoint* b = nullptr;
  GetEndRefs(&a, &b);
  CPoint pa, pb;
  const BOOL result = PairPositions(a, b, size, &pa, &pb);
  if (p1) *p1 = pa;
  if (p2) *p2 = pb;
  return result;
}

BOOL CGradedLine::CalcThroughPoints(int32_t size, CPoint* p1, CPoint* p2) {
  CPoint a, b;
  const BOOL result = PairCalculated(m_Through1, m_Through2, size, &a, &b);
  if (p1) *p1 = a;
  if (p2) *p2 = b;
  ClearDirty(size);
  return result;
}

BOOL CGradedLine::CalcEndPoints(int32_t size, CPoint* p1, CPoint* p2) {
  CGradedPoint* a = nullptr;
  CGradedPoint* b = nullptr;
  GetEndRefs(&a, &b);
  CPoint pa, pb;
  const BOOL result = PairCalculated(a, b, size, &pa, &pb);
  if (p1) *p1 = pa;
  if (p2) *p2 = pb;
  ClearDirty(size);
  return result;
}

BOOL CGradedLine::PointAtRatio(int32_t size, const CGradedPoint* start, double t, int32_t* x, int32_t* y) {
  CPoint p1, p2;
  const BOOL result = GetThroughPoints(size, &p1, &p2);
  const bool fromFirst = start == m_Through1;
  const CPoint from = fromFirst ? p1 : p2;
  const CPoint to = fromFirst ? p2 : p1;
  *x = Interpolate(from.x, to.x, t);
  *y = Interpolate(from.y, to.y, t);
  return result;
}

BOOL CGradedLine::PointAtDistance(int32_t size, const CGradedPoint* start, int32_t d, int32_t* x, int32_t* y) {
  CPoint p1, p2;
  const BOOL result = GetThroughPoints(size, &p1, &p2);
  const bool fromFirst = start == m_Through1;
  const CPoint from = fromFirst ? p1 : p2;
  const CPoint to = fromFirst ? p2 : p1;
  const double dx = static_cast<double>(to.x) - from.x;
  const double dy = static_cast<double>(to.y) - from.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (!IsZeroDivisor(length) && RoundToNearest(length) > d) {
    *x = Interpolate(from.x, to.x, d / length);
    *y = Interpolate(from.y, to.y, d / length);
  } else {
    *x = to.x;
    *y = to.y;
  }
  return result;
}

BOOL CGradedLine::PointAtDistanceFormula(int32_t size, const CGradedPoint* start, const CFormula& distance,
                                         int32_t* x, int32_t* y) {
  return PointAtDistance(size, start, distance.Evaluate(size), x, y);
}

void CGradedLine::MeasureAlong(int32_t size, const CGradedPoint* start, int32_t x, int32_t y, int32_t& total,
                               int32_t& part) {
  total = 0;
  part = 0;
  CPoint p1, p2;
  if (!GetThroughPoints(size, &p1, &p2)) return;
  const CPoint from = start == m_Through1 ? p1 : p2;
  total = RoundToNearest(SqrtDistance(p1, p2));
  part = RoundToNearest(SqrtDistance(from, CPoint(x, y)));
}

BOOL CGradedLine::IsRelatedTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  if (RefersTo(object) || object == m_End1 || object == m_End2) return TRUE;
  const auto* point = dynamic_cast<const CGradedPoint*>(object);
  if (!point) return FALSE;
  auto& asked = RelationsBeingAsked();
  if (std::find(asked.begin(), asked.end(), object) != asked.end()) return FALSE;
  asked.push_back(object);
  const BOOL uses = point->UsesLine(this);
  asked.pop_back();
  return uses;
}

CRect CGradedLine::GetBoundRect(int32_t size) const {
  // The box is a question that changes nothing the caller can see but the
  // points' caches.
  CPoint p1, p2;
  if (!const_cast<CGradedLine*>(this)->GetEndPoints(size, &p1, &p2)) return CRect();
  return CRect(std::min(p1.x, p2.x), std::min(p1.y, p2.y),
               SaturateToInt32(static_cast<int64_t>(std::max(p1.x, p2.x)) + 1),
               SaturateToInt32(static_cast<int64_t>(std::max(p1.y, p2.y)) + 1));
}

namespace {

BOOL HitSegment(CPoint p1, CPoint p2, int32_t x, int32_t y, double tolerance, CPoint* point, double* distance) {
  CPoint foot;
  double d = 0.0;
  if (!NearestPointOnSegment(p1.x, p1.y, p2.x, p2.y, tolerance, x, y, &foot, &d)) return FALSE;
  if (point) *point = foot;
  if (distance) *distance = d;
  return TRUE;
}

}  // namespace

BOOL CGradedLine::HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point, double* distance) {
  CPoint p1, p2;
  if (!GetThroughPoints(size, &p1, &p2)) return FALSE;
  return HitSegment(p1, p2, x, y, tolerance, point, distance);
}

BOOL CGradedLine::HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                                 double* distance) {
  if (GetState() == 0) return FALSE;
  CPoint p1, p2;
  if (!GetEndPoints(size, &p1, &p2)) return FALSE;
  return HitSegment(p1, p2, x, y, tolerance, point, distance);
}

void CGradedLine::RecalcAll() {
  if (m_Through1) m_Through1->RecalcAll();
  if (m_Through2) m_Through2->RecalcAll();
}
