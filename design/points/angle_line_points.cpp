#include "design/points/angle_line_points.h"

#include <memory>

#include "design/core/factories.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> Make(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

}  // namespace

// ---- Kinds 29 to 31 ------------------------------------------------------------

CAngleLineBase::CAngleLineBase(int32_t kind, CPatternData* owner, uint16_t status, CDimLabel* angleLabel)
    : CGradedPoint(kind, owner, status) {
  // The label is a member of the leaf, not built yet: only its address is
  // kept here, the leaf binds it.
  if (angleLabel) {
    DeclareFields({&m_Through, &m_Line}, {}, {angleLabel});
  } else {
    DeclareFields({&m_Through, &m_Line});
  }
}

void CAngleLineBase::SetAngle(double angle) {
  m_Angle = angle;
  Invalidate(-1);
}

BOOL CAngleLineBase::UsesLine(const CGradedObject* line) const { return line && line == m_Line.object; }

BOOL CAngleLineBase::ReadThroughAndLine(ArchiveReader& archive) {
  return ReadReference(archive, m_Through) && ReadReference(archive, m_Line);
}

BOOL CAngleLineBase::LoadWithFixedAngle(ArchiveReader& archive, double angle) {
  m_Angle = angle;
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadThroughAndLine(archive)) return FALSE;
  ApplyBaseRecord(base);
  return TRUE;
}

CAngleLinePoint::CAngleLinePoint(CPatternData* owner, uint16_t status)
    : CAngleLineBase(kPointKindAngleLine, owner, status, &m_AngleLabel) {
  m_AngleLabel.SetAngle(owner, this);
}

BOOL CAngleLinePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  double angle = 0.0;
  if (!ReadBaseRecord(archive, base) || !archive.ReadDouble(angle) || !ReadThroughAndLine(archive) ||
      !m_AngleLabel.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  StoreAngle(angle);
  return TRUE;
}

CVerticalLinePoint::CVerticalLinePoint(CPatternData* owner, uint16_t status)
    : CAngleLineBase(kPointKindVerticalLine, owner, status, nullptr) {}

BOOL CVerticalLinePoint::Load(ArchiveReader& archive) { return LoadWithFixedAngle(archive, kVerticalLineAngle); }

CHorizontalLinePoint::CHorizontalLinePoint(CPatternData* owner, uint16_t status)
    : CAngleLineBase(kPointKindHorizontalLine, owner, status, nullptr) {}

BOOL CHorizontalLinePoint::Load(ArchiveReader& archive) { return LoadWithFixedAngle(archive, kHorizontalLineAngle); }

// ---- Kind 28 -------------------------------------------------------------------

CPerpendicularLinePoint::CPerpendicularLinePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindPerpendicularLine, owner, status) {
  DeclareFields({&m_Through, &m_DirectionStart, &m_DirectionEnd, &m_Line});
}

BOOL CPerpendicularLinePoint::UsesLine(const CGradedObject* line) const { return line && line == m_Line.object; }

BOOL CPerpendicularLinePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Through) ||
      !ReadReference(archive, m_DirectionStart) || !ReadReference(archive, m_DirectionEnd) ||
      !ReadReference(archive, m_Line)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

void RegisterAngleLinePoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindPerpendicularLine, Make<CPerpendicularLinePoint>);
  table.Register(kPointKindAngleLine, Make<CAngleLinePoint>);
  table.Register(kPointKindVerticalLine, Make<CVerticalLinePoint>);
  table.Register(kPointKindHorizontalLine, Make<CHorizontalLinePoint>);
}
