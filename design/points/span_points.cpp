#include "design/points/span_points.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/points/distance_points.h"

// ---- Kind 35 ------------------------------------------------------------------

CCurveSpanRatioPoint::CCurveSpanRatioPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveSpanRatio, owner, status) {
  DeclareFields({&m_Curve, &m_StartPoint, &m_EndPoint});
}

BOOL CCurveSpanRatioPoint::Load(ArchiveReader& archive) {
  // Everything is read before anything is stored, so a short record leaves
  // the point untouched.
  BaseRecord base;
  int32_t direction = m_Direction;
  Reference curve = m_Curve;
  Reference start = m_StartPoint;
  Reference end = m_EndPoint;
  PointRatio ratio;
  if (!ReadBaseRecord(archive, base) || !ReadCurveDirection(archive, GetOwner()->GetVersion(), direction) ||
      !ReadReference(archive, curve) || !ReadReference(archive, start) || !ReadReference(archive, end) ||
      !ratio.Read(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Direction = direction;
  m_Curve = curve;
  m_StartPoint = start;
  m_EndPoint = end;
  m_Ratio = ratio;
  return TRUE;
}

void CCurveSpanRatioPoint::GetFraction(int32_t* parts, int32_t* part) const {
  if (parts) *parts = m_Ratio.parts;
  if (part) *part = m_Ratio.part;
}

void CCurveSpanRatioPoint::UpdateDirection() {
  SetDirectionFromOrder(GetCurve(), GetEndPoint(), GetStartPoint(), m_Direction);
}

// ---- Kind 36 ------------------------------------------------------------------

CCurveSpanDistancePoint::CCurveSpanDistancePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveSpanDistance, owner, status) {
  m_Distance.Reset(owner);
  m_Label.SetAlongCurve(owner, this);
  DeclareFields({&m_Curve, &m_StartPoint, &m_EndPoint}, {&m_Distance}, {&m_Label});
}

BOOL CCurveSpanDistancePoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  int32_t direction = m_Direction;
  Reference curve = m_Curve;
  Reference start = m_StartPoint;
  Reference end = m_EndPoint;
  CFormula distance;
  CDimLabel label = m_Label;
  if (!ReadBaseRecord(archive, base) || !ReadCurveDirection(archive, GetOwner()->GetVersion(), direction) ||
      !ReadReference(archive, curve) || !ReadReference(archive, start) || !ReadReference(archive, end) ||
      !ReadFormula(archive, distance)) {
    return FALSE;
  }
  if (GetOwner()->GetVersion() >= kFirstVersionWithCurveDistanceLabel && !label.Load(archive)) return FALSE;
  ApplyBaseRecord(base);
  m_Direction = direction;
  m_Curve = curve;
  m_StartPoint = start;
  m_EndPoint = end;
  m_Distance = distance;
  m_Label = label;
  return TRUE;
}

void CCurveSpanDistancePoint::UpdateDirection() {
  SetDirectionFromOrder(GetCurve(), GetStartPoint(), GetEndPoint(), m_Direction);
}

void RegisterSpanPoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindCurveSpanRatio, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CCurveSpanRatioPoint>(owner, 0);
  });
  table.Register(kPointKindCurveSpanDistance, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CCurveSpanDistancePoint>(owner, 0);
  });
}

// ---- Direction flags of older files ----------------------------------------------

void UpdatePointDirections(CPatternData& data) {
  for (int32_t i = 0; i < data.GetElementCount(); ++i) {
    CGradedObject* object = data.GetElementAt(i);
    if (!object || object->GetKind() != kObjectKindPoint) continue;
    // The class is asked for, not the kind code alone: a table of other
    // classes may stand behind these codes.
    if (auto* ratio = dynamic_cast<CCurveRatioPoint*>(object)) {
      ratio->UpdateDirection();
    } else if (auto* distance = dynamic_cast<CCurveDistancePoint*>(object)) {
      distance->UpdateDirection();
    } else if (auto* spanRatio = dynamic_cast<CCurveSpanRatioPoint*>(object)) {
      spanRatio->UpdateDirection();
    } else if (auto* spanDistance = dynamic_cast<CCurveSpanDistancePoint*>(object)) {
      spanDistance->UpdateDirection();
    }
  }
}
