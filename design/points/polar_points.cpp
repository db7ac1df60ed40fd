#include "design/points/polar_points.h"

#include <memory>

#include "design/core/factories.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> Make(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

}  // namespace

CPolarPoint::CPolarPoint(int32_t kind, CPatternData* owner, uint16_t status)
    : CGradedPoint(kind, owner, status), m_Distance(owner) {
  m_Distance.Reset(owner);
  m_DistanceLabel.SetLinear(owner, this);
  m_AngleLabel.SetAngle(owner, this);
  DeclareFields({&m_Reference}, {&m_Distance}, {&m_DistanceLabel, &m_AngleLabel});
}

BOOL CPolarPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  double angle = 0.0;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Reference) || !ReadFormula(archive, m_Distance) ||
      !archive.ReadDouble(angle) || !m_DistanceLabel.Load(archive) || !m_AngleLabel.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Angle = angle;
  return TRUE;
}

CPolarPoint15::CPolarPoint15(CPatternData* owner, uint16_t status) : CPolarPoint(kPointKindPolar15, owner, status) {}

CPolarPoint16::CPolarPoint16(CPatternData* owner, uint16_t status) : CPolarPoint(kPointKindPolar16, owner, status) {}

CPolarPoint17::CPolarPoint17(CPatternData* owner, uint16_t status) : CPolarPoint(kPointKindPolar17, owner, status) {}

CDirectionDistancePoint::CDirectionDistancePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindDirectionDistance, owner, status), m_Distance(owner) {
  m_Distance.Reset(owner);
  m_DistanceLabel.SetLinear(owner, this);
  m_AngleLabel.SetAngle(owner, this);
  DeclareFields({&m_Base, &m_DirectionStart, &m_DirectionEnd}, {&m_Distance}, {&m_DistanceLabel, &m_AngleLabel});
}

BOOL CDirectionDistancePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  double angle = 0.0;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Base) || !ReadFormula(archive, m_Distance) ||
      !ReadReference(archive, m_DirectionStart) || !ReadReference(archive, m_DirectionEnd) ||
      !archive.ReadDouble(angle) || !m_DistanceLabel.Load(archive) || !m_AngleLabel.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Angle = angle;
  return TRUE;
}

void RegisterPolarPoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindPolar15, Make<CPolarPoint15>);
  table.Register(kPointKindPolar16, Make<CPolarPoint16>);
  table.Register(kPointKindPolar17, Make<CPolarPoint17>);
  table.Register(kPointKindDirectionDistance, Make<CDirectionDistancePoint>);
}
