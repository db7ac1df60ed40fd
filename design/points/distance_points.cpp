#include "design/points/distance_points.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"

// ---- Kind 6 -------------------------------------------------------------------

CDistanceTowardsPoint::CDistanceTowardsPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindDistanceTowards, owner, status) {
  m_Distance.Reset(owner);
  m_Label.SetLinear(owner, this);
  DeclareFields({&m_Point1, &m_Point2}, {&m_Distance}, {&m_Label});
}

BOOL CDistanceTowardsPoint::Load(ArchiveReader& archive) {
  // Everything is read before anything is stored, so a short record leaves
  // the point untouched.
  BaseRecord base;
  Reference point1 = m_Point1;
  Reference point2 = m_Point2;
  CFormula distance;
  CDimLabel label = m_Label;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, point1) || !ReadReference(archive, point2) ||
      !ReadFormula(archive, distance) || !label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Point1 = point1;
  m_Point2 = point2;
  m_Distance = distance;
  m_Label = label;
  return TRUE;
}

void CDistanceTowardsPoint::GetPoints(CGradedPoint** point1, CGradedPoint** point2) const {
  if (point1) *point1 = GetPoint1();
  if (point2) *point2 = GetPoint2();
}

// ---- Kind 7 -------------------------------------------------------------------

CLineDistancePoint::CLineDistancePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindLineDistance, owner, status) {
  m_Distance.Reset(owner);
  m_Label.SetLinear(owner, this);
  DeclareFields({&m_Line, &m_StartPoint}, {&m_Distance}, {&m_Label});
}

BOOL CLineDistancePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  Reference line = m_Line;
  Reference start = m_StartPoint;
  CFormula distance;
  CDimLabel label = m_Label;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, line) || !ReadReference(archive, start) ||
      !ReadFormula(archive, distance) || !label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Line = line;
  m_StartPoint = start;
  m_Distance = distance;
  m_Label = label;
  return TRUE;
}

// ---- Kind 8 -------------------------------------------------------------------

CCurveDistancePoint::CCurveDistancePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveDistance, owner, status) {
  m_Distance.Reset(owner);
  m_Label.SetAlongCurve(owner, this);
  DeclareFields({&m_Curve, &m_StartPoint}, {&m_Distance}, {&m_Label});
}

BOOL CCurveDistancePoint::Load(ArchiveReader& archive) {
  // The direction flag leads the record where it is stored; older files
  // keep the default until the curve's definition is consulted.
  BaseRecord base;
  int32_t direction = m_Direction;
  Reference curve = m_Curve;
  Reference start = m_StartPoint;
  CFormula distance;
  CDimLabel label = m_Label;
  if (!ReadBaseRecord(archive, base) || !ReadCurveDirection(archive, GetOwner()->GetVersion(), direction) ||
      !ReadReference(archive, curve) || !ReadReference(archive, start) || !ReadFormula(archive, distance)) {
    return FALSE;
  }
  if (GetOwner()->GetVersion() >= kFirstVersionWithCurveDistanceLabel && !label.Load(archive)) return FALSE;
  ApplyBaseRecord(base);
  m_Direction = direction;
  m_Curve = curve;
  m_StartPoint = start;
  m_Distance = distance;
  m_Label = label;
  return TRUE;
}

void CCurveDistancePoint::UpdateDirection() {
  SetDirectionFromFirstPoint(GetCurve(), GetStartPoint(), m_Direction);
}

void RegisterDistancePoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindDistanceTowards, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CDistanceTowardsPoint>(owner, 0);
  });
  table.Register(kPointKindLineDistance, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CLineDistancePoint>(owner, 0);
  });
  table.Register(kPointKindCurveDistance, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CCurveDistancePoint>(owner, 0);
  });
}
