#include "design/points/rotated_points.h"

#include <cmath>
#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/geometry/point_line.h"
#include "model/settings.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> MakePoint(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

constexpr double kFullTurn = 6.28318530718;
// Below this radius a circle has no arc to walk.
constexpr double kMinArcRadius = 1.0;

// A graded size whose construction fails holds the point's base-size result
// and reports the failure; the base size itself goes on with the positions
// its references handed out. The base size is asked through the frame, so a
// cycle still ends.
bool HoldsBaseSizeResult(CGradedPoint& point, int32_t size, int32_t* x, int32_t* y) {
  const CPatternData* owner = point.GetOwner();
  if (!owner || size == owner->GetBaseSize()) return false;
  point.CalcPoint(owner->GetBaseSize(), x, y);
  return true;
}

// The angle, in radians, of an arc of `length` on a circle of `radius` (at
// least kMinArcRadius). A length beyond the circumference wraps round to its
// remainder in one step, staying in (0, circumference], so whole turns keep
// a full turn; a negative length is not wrapped.
double ArcAngle(double radius, double length) {
  const double circumference = kFullTurn * radius;
  if (circumference < length) {
    length = std::fmod(length, circumference);
    if (length <= 0.0) length = circumference;
  }
  return length / radius;
}

double Radius(const CPoint& centre, const CPoint& point) {
  const double dx = static_cast<double>(point.x) - centre.x;
  const double dy = static_cast<double>(point.y) - centre.y;
  return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

// ---- Kind 47 ----------------------------------------------------------------

CRotateToDirectionPoint::CRotateToDirectionPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindRotateToDirection, owner, status) {
  DeclareFields({&m_Centre, &m_Point, &m_DirectionPoint});
}

CRotateToDirectionPoint::CRotateToDirectionPoint(CPatternData* owner, uint16_t status, CGradedPoint* centre,
                                                 CGradedPoint* point, CGradedPoint* directionPoint, int32_t turnFlag)
    : CRotateToDirectionPoint(owner, status) {
  SetRefs(centre, point, directionPoint, turnFlag);
}

void CRotateToDirectionPoint::SetRefs(CGradedPoint* centre, CGradedPoint* point, CGradedPoint* directionPoint,
                                      int32_t turnFlag) {
  m_Centre.object = centre;
  m_Point.object = point;
  m_DirectionPoint.object = directionPoint;
  m_TurnFlag = turnFlag;
  RecalcAll();
}

void CRotateToDirectionPoint::GetRefs(CGradedPoint** centre, CGradedPoint** point, CGradedPoint** directionPoint,
                                      int32_t* turnFlag) const {
  if (centre) *centre = PointOf(m_Centre);
  if (point) *point = PointOf(m_Point);
  if (directionPoint) *directionPoint = PointOf(m_DirectionPoint);
  if (turnFlag) *turnFlag = m_TurnFlag;
}

BOOL CRotateToDirectionPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* centre = PointOf(m_Centre);
  CGradedPoint* turned = PointOf(m_Point);
  CGradedPoint* direction = PointOf(m_DirectionPoint);
  if (!centre || !turned || !direction) return FALSE;
  CPoint c, q, d;
  const BOOL hasCentre = PositionOf(centre, size, &c);
  const BOOL hasPoint = PositionOf(turned, size, &q);
  const BOOL hasDirection = PositionOf(direction, size, &d);
  const BOOL ok = hasCentre && hasPoint && hasDirection ? TRUE : FALSE;
  if (!ok && HoldsBaseSizeResult(*this, size, x, y)) return FALSE;
  const double from = LineAngle(c.x, c.y, q.x, q.y);
  double to = LineAngle(c.x, c.y, d.x, d.y);
  // Both angles lie in [0, 2 pi): one turn at most brings `to` round.
  if (m_TurnFlag == kTurnCounterClockwise) {
    while (to < from) to += kFullTurn;
  } else {
    while (from < to) to -= kFullTurn;
  }
  const double turn = to - from;
  // Positions handed out lie within the coordinate bound, so the turned
  // point stays inside the int32 range.
  RotatePointInPlace(&q, c.x, c.y, std::sin(turn), std::cos(turn));
  *x = q.x;
  *y = q.y;
  return ok;
}

BOOL CRotateToDirectionPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base, /*statusAlways=*/true) || !ReadReference(archive, m_Centre) ||
      !ReadReference(archive, m_Point) || !ReadReference(archive, m_DirectionPoint) ||
      !archive.ReadI32(m_TurnFlag)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Kind 46 ----------------------------------------------------------------

CArcLengthPoint::CArcLengthPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindArcLength, owner, status) {
  m_ArcLength.Reset(owner);
  m_Label.SetLinear(owner, this);
  DeclareFields({&m_Centre, &m_StartPoint}, {&m_ArcLength}, {&m_Label});
}

CArcLengthPoint::CArcLengthPoint(CPatternData* owner, uint16_t status, CGradedPoint* centre, CGradedPoint* startPoint,
                                 int32_t direction, CFormula arcLength)
    : CArcLengthPoint(owner, status) {
  SetRefs(centre, startPoint, direction, std::move(arcLength));
}

void CArcLengthPoint::SetRefs(CGradedPoint* centre, CGradedPoint* startPoint, int32_t direction,
                              CFormula arcLength) {
  m_Centre.object = centre;
  m_StartPoint.object = startPoint;
  m_Direction = direction;
  m_ArcLength = std::move(arcLength);
  RecalcAll();
}

void CArcLengthPoint::GetRefs(CGradedPoint** centre, CGradedPoint** startPoint, int32_t* direction,
                              CFormula* arcLength) const {
  if (centre) *centre = PointOf(m_Centre);
  if (startPoint) *startPoint = PointOf(m_StartPoint);
  if (direction) *direction = m_Direction;
  if (arcLength) *arcLength = m_ArcLength;
}

void CArcLengthPoint::SetArcLength(CFormula arcLength) {
  m_ArcLength = std::move(arcLength);
  Invalidate(-1);
}

void CArcLengthPoint::SetLabel(const CDimLabel& label) { m_Label.CopyFrom(label); }

BOOL CArcLengthPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* centre = PointOf(m_Centre);
  CGradedPoint* start = PointOf(m_StartPoint);
  if (!centre || !start) return FALSE;
  CPoint c, s;
  const BOOL hasCentre = PositionOf(centre, size, &c);
  const BOOL hasStart = PositionOf(start, size, &s);
  const BOOL ok = hasCentre && hasStart ? TRUE : FALSE;
  if (!ok && HoldsBaseSizeResult(*this, size, x, y)) return FALSE;
  const double radius = Radius(c, s);
  if (radius < kMinArcRadius) {
    *x = c.x;
    *y = c.y;
    return FALSE;
  }
  double angle = ArcAngle(radius, static_cast<double>(m_ArcLength.Evaluate(size)));
  if (m_Direction != kTurnCounterClockwise) angle = -angle;
  // Positions handed out lie within the coordinate bound, so the turned
  // point stays inside the int32 range.
  RotateXY(s.x, s.y, c.x, c.y, std::sin(angle), std::cos(angle), x, y);
  return ok;
}

double CArcLengthPoint::GetSweepAngle(int32_t size) {
  CGradedPoint* centre = PointOf(m_Centre);
  CGradedPoint* start = PointOf(m_StartPoint);
  if (!centre || !start) return 0.0;
  CPoint c, s;
  PositionOf(centre, size, &c);
  PositionOf(start, size, &s);
  const double radius = Radius(c, s);
  if (radius < kMinArcRadius) return 0.0;
  const double angle = ArcAngle(radius, static_cast<double>(m_ArcLength.Evaluate(size)));
  return m_Direction == kTurnCounterClockwise ? -angle : angle;
}

void CArcLengthPoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, PointOf(m_StartPoint))); }

void CArcLengthPoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_Label) m_ArcLength = value;
}

CFormula CArcLengthPoint::GetFormula(CDimLabel*) const { return m_ArcLength; }

void CArcLengthPoint::GetLabelText(CDimLabel*, CString& text, CPoint* from, CPoint* to) const {
  if (!from || !to) return;
  BasePositionOf(PointOf(m_StartPoint), from);
  OwnBasePosition(to);
  text = m_ArcLength.GetDisplayText(g_UnitMode, g_UnitPrecision);
}

BOOL CArcLengthPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base, /*statusAlways=*/true) || !ReadReference(archive, m_Centre) ||
      !ReadReference(archive, m_StartPoint) || !archive.ReadI32(m_Direction) ||
      !ReadFormula(archive, m_ArcLength) || !m_Label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Kind 38 ----------------------------------------------------------------

CLinkedPoint::CLinkedPoint(CPatternData* owner, uint16_t status) : CLinkedPoint(owner, status, CPoint()) {}

CLinkedPoint::CLinkedPoint(CPatternData* owner, uint16_t status, int32_t x, int32_t y)
    : CLinkedPoint(owner, status, CPoint(x, y)) {}

CLinkedPoint::CLinkedPoint(CPatternData* owner, uint16_t status, CPoint point)
    : CGradedPoint(kPointKindLinked, owner, status), m_Point(point) {}

void CLinkedPoint::SetPoint(int32_t x, int32_t y) {
  m_Point = CPoint(x, y);
  Invalidate(-1);
}

BOOL CLinkedPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  CPoint point;
  int32_t linkIndex = -1;
  if (!ReadBaseRecord(archive, base) || !archive.ReadI32(point.x) || !archive.ReadI32(point.y) ||
      !archive.ReadI32(linkIndex)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Point = point;
  m_LinkIndex = linkIndex;
  return TRUE;
}

BOOL CLinkedPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  *x = m_Point.x;
  *y = m_Point.y;
  const CPatternData* owner = GetOwner();
  auto* curve = dynamic_cast<CGradedCurve*>(GetLink());
  if (!curve || !owner || size == owner->GetBaseSize()) return TRUE;
  CPoint owned;
  if (curve->CalcLinkedPoint(size, this, owned)) {
    *x = owned.x;
    *y = owned.y;
  }
  return TRUE;
}

CGradedPoint::SizeOutcome CLinkedPoint::OutcomeOf(BOOL) const { return SizeOutcome::kCacheOnly; }

void CLinkedPoint::ResolveIds() {
  const CPatternData* owner = GetOwner();
  SetLink(owner ? ResolveObjectOfKind(*owner, m_LinkIndex, kObjectKindCurve) : nullptr);
}

void RegisterRotatedPoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindLinked, &MakePoint<CLinkedPoint>);
  table.Register(kPointKindArcLength, &MakePoint<CArcLengthPoint>);
  table.Register(kPointKindRotateToDirection, &MakePoint<CRotateToDirectionPoint>);
}

void CRotateToDirectionPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CRotateToDirectionPoint&>(source);
  m_TurnFlag = from.m_TurnFlag;
}

void CArcLengthPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CArcLengthPoint&>(source);
  m_Direction = from.m_Direction;
}

void CLinkedPoint::ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) {
  if (!GetLink() || GetLink() != oldObject) return;
  SetLink(newObject);
  InvalidateWithDependents(TRUE);
}

void CLinkedPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CLinkedPoint&>(source);
  m_Point = from.m_Point;
  if (intoOtherOwner) {
    const CPatternData* sourceOwner = from.GetOwner();
    m_LinkIndex = sourceOwner && from.GetLink() ? sourceOwner->GetElementIndex(from.GetLink()) : -1;
    SetLink(nullptr);
  } else {
    m_LinkIndex = from.m_LinkIndex;
    SetLink(from.GetLink());
  }
}
