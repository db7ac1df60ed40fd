#include "design/points/tangent_points.h"

#include <memory>

#include "design/core/factories.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> MakePoint(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

}  // namespace

CCurveTangentCurvePoint::CCurveTangentCurvePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveTangentCurve, owner, status) {
  DeclareFields({&m_Curve, &m_Point, &m_SecondCurve});
}

BOOL CCurveTangentCurvePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base, /*statusAlways=*/true) || !ReadReference(archive, m_Curve) ||
      !ReadReference(archive, m_Point) || !ReadReference(archive, m_SecondCurve) || !archive.ReadI32(m_Crossing)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

CCurveTangentLinePoint::CCurveTangentLinePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveTangentLine, owner, status) {
  DeclareFields({&m_Curve, &m_Point, &m_Line});
}

BOOL CCurveTangentLinePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base, /*statusAlways=*/true) || !ReadReference(archive, m_Curve) ||
      !ReadReference(archive, m_Point) || !ReadReference(archive, m_Line)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

CCurveTangentDistancePoint::CCurveTangentDistancePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveTangentDistance, owner, status) {
  m_Distance.Reset(owner);
  m_Label.SetLinear(owner, this);
  DeclareFields({&m_Curve, &m_Point}, {&m_Distance}, {&m_Label});
}

BOOL CCurveTangentDistancePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Curve) || !ReadReference(archive, m_Point) ||
      !archive.ReadI32(m_Direction) || !ReadFormula(archive, m_Distance) || !m_Label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

void RegisterTangentPoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindCurveTangentDistance, &MakePoint<CCurveTangentDistancePoint>);
  table.Register(kPointKindCurveTangentCurve, &MakePoint<CCurveTangentCurvePoint>);
  table.Register(kPointKindCurveTangentLine, &MakePoint<CCurveTangentLinePoint>);
}
