#include "design/points/direction_line_points.h"

#include <memory>

#include "design/core/factories.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> MakePoint(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

}  // namespace

// ---- Kind 32 ----------------------------------------------------------------

CRelativeAngleLinePoint::CRelativeAngleLinePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindRelativeAngleLine, owner, status) {
  m_Label.SetAngle(owner, this);
  DeclareFields({&m_Through, &m_DirectionStart, &m_DirectionEnd, &m_Line}, {}, {&m_Label});
}

BOOL CRelativeAngleLinePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !archive.ReadDouble(m_Angle) || !ReadReference(archive, m_Through) ||
      !ReadReference(archive, m_DirectionStart) || !ReadReference(archive, m_DirectionEnd) ||
      !ReadReference(archive, m_Line) || !m_Label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Kind 39 ----------------------------------------------------------------

CTwoPointCurveIntersectPoint::CTwoPointCurveIntersectPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindTwoPointCurveIntersect, owner, status) {
  DeclareFields({&m_Through, &m_DirectionStart, &m_DirectionEnd, &m_Curve});
}

BOOL CTwoPointCurveIntersectPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base, /*statusAlways=*/true) || !archive.ReadI32(m_Crossing) ||
      !ReadReference(archive, m_Through) || !ReadReference(archive, m_DirectionStart) ||
      !ReadReference(archive, m_DirectionEnd) || !ReadReference(archive, m_Curve)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Kinds 40 to 42 -----------------------------------------------------------

CAngleCurveBase::CAngleCurveBase(int32_t kind, CPatternData* owner, uint16_t status)
    : CGradedPoint(kind, owner, status) {
  DeclareFields({&m_Through, &m_Curve});
}

BOOL CAngleCurveBase::ReadCurveCrossing(ArchiveReader& archive) {
  return ReadReference(archive, m_Through) && ReadReference(archive, m_Curve) && archive.ReadI32(m_Crossing);
}

BOOL CAngleCurveBase::LoadWithFixedAngle(ArchiveReader& archive, double angle) {
  m_Angle = angle;
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadCurveCrossing(archive)) return FALSE;
  ApplyBaseRecord(base);
  return TRUE;
}

CAngleCurvePoint::CAngleCurvePoint(CPatternData* owner, uint16_t status)
    : CAngleCurveBase(kPointKindAngleCurve, owner, status) {
  m_Label.SetAngle(owner, this);
  DeclareFields({&m_Through, &m_Curve}, {}, {&m_Label});
}

BOOL CAngleCurvePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !archive.ReadDouble(m_Angle) || !ReadCurveCrossing(archive) ||
      !m_Label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

CVerticalCurvePoint::CVerticalCurvePoint(CPatternData* owner, uint16_t status)
    : CAngleCurveBase(kPointKindVerticalCurve, owner, status) {
  m_Angle = kVerticalAngleDegrees;
}

BOOL CVerticalCurvePoint::Load(ArchiveReader& archive) { return LoadWithFixedAngle(archive, kVerticalAngleDegrees); }

CHorizontalCurvePoint::CHorizontalCurvePoint(CPatternData* owner, uint16_t status)
    : CAngleCurveBase(kPointKindHorizontalCurve, owner, status) {
  m_Angle = kHorizontalAngleDegrees;
}

BOOL CHorizontalCurvePoint::Load(ArchiveReader& archive) {
  return LoadWithFixedAngle(archive, kHorizontalAngleDegrees);
}

// ---- Kind 43 ----------------------------------------------------------------

CRelativeAngleCurvePoint::CRelativeAngleCurvePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindRelativeAngleCurve, owner, status) {
  m_Label.SetAngle(owner, this);
  DeclareFields({&m_Through, &m_DirectionStart, &m_DirectionEnd, &m_Curve}, {}, {&m_Label});
}

BOOL CRelativeAngleCurvePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !archive.ReadDouble(m_Angle) || !ReadReference(archive, m_Through) ||
      !ReadReference(archive, m_DirectionStart) || !ReadReference(archive, m_DirectionEnd) ||
      !ReadReference(archive, m_Curve) || !archive.ReadI32(m_Crossing) || !m_Label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

void RegisterDirectionLinePoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindRelativeAngleLine, &MakePoint<CRelativeAngleLinePoint>);
  table.Register(kPointKindTwoPointCurveIntersect, &MakePoint<CTwoPointCurveIntersectPoint>);
  table.Register(kPointKindAngleCurve, &MakePoint<CAngleCurvePoint>);
  table.Register(kPointKindVerticalCurve, &MakePoint<CVerticalCurvePoint>);
  table.Register(kPointKindHorizontalCurve, &MakePoint<CHorizontalCurvePoint>);
  table.Register(kPointKindRelativeAngleCurve, &MakePoint<CRelativeAngleCurvePoint>);
}
