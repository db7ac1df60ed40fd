#include "design/points/span_points.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/points/distance_points.h"
#include "model/settings.h"

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

CCurveSpanRatioPoint::CCurveSpanRatioPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve,
                                           CGradedPoint* start, CGradedPoint* end, int32_t direction,
                                           int32_t parts, int32_t part)
    : CCurveSpanRatioPoint(owner, status) {
  SetParamsFraction(curve, start, end, direction, parts, part);
}

CCurveSpanRatioPoint::CCurveSpanRatioPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve,
                                           CGradedPoint* start, CGradedPoint* end, int32_t direction, double ratio)
    : CCurveSpanRatioPoint(owner, status) {
  SetParamsRatio(curve, start, end, direction, ratio);
}

void CCurveSpanRatioPoint::SetParamsFraction(CGradedCurve* curve, CGradedPoint* start, CGradedPoint* end,
                                             int32_t direction, int32_t parts, int32_t part) {
  m_Curve.object = curve;
  m_StartPoint.object = start;
  m_EndPoint.object = end;
  m_Direction = direction;
  m_Ratio.SetFraction(parts, part);
  RecalcAll();
}

void CCurveSpanRatioPoint::SetParamsRatio(CGradedCurve* curve, CGradedPoint* start, CGradedPoint* end,
                                          int32_t direction, double ratio) {
  m_Curve.object = curve;
  m_StartPoint.object = start;
  m_EndPoint.object = end;
  m_Direction = direction;
  m_Ratio.SetRatio(ratio);
  RecalcAll();
}

void CCurveSpanRatioPoint::SetFraction(int32_t parts, int32_t part) {
  m_Ratio.SetFraction(parts, part);
  Invalidate(-1);
}

void CCurveSpanRatioPoint::SetRatio(double ratio) {
  m_Ratio.SetRatio(ratio);
  Invalidate(-1);
}

void CCurveSpanRatioPoint::GetParams(CGradedCurve** curve, CGradedPoint** start, CGradedPoint** end,
                                     int32_t* direction, int32_t* parts, int32_t* part, double* ratio,
                                     int32_t* fraction) const {
  if (curve) *curve = CurveOf(m_Curve);
  if (start) *start = GetStartPoint();
  if (end) *end = GetEndPoint();
  if (direction) *direction = m_Direction;
  GetFraction(parts, part);
  if (ratio) *ratio = m_Ratio.ratio;
  if (fraction) *fraction = m_Ratio.fraction;
}

void CCurveSpanRatioPoint::UpdateDirection() {
  SetDirectionFromOrder(GetCurve(), GetEndPoint(), GetStartPoint(), m_Direction);
}

BOOL CCurveSpanRatioPoint::UsesCurve(const CGradedCurve* curve) const {
  return curve && m_Curve.object == curve;
}

BOOL CCurveSpanRatioPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedCurve* curve = CurveOf(m_Curve);
  CGradedPoint* start = PointOf(m_StartPoint);
  CGradedPoint* end = PointOf(m_EndPoint);
  if (!curve || !start || !end) return FALSE;
  return curve->PointAtRatioBetween(size, start, end, m_Direction, m_Ratio.InForce(), x, y);
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

CCurveSpanDistancePoint::CCurveSpanDistancePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve,
                                                 CGradedPoint* start, CGradedPoint* end, int32_t direction,
                                                 const CFormula& distance)
    : CCurveSpanDistancePoint(owner, status) {
  SetParams(curve, start, end, direction, distance);
}

void CCurveSpanDistancePoint::SetParams(CGradedCurve* curve, CGradedPoint* start, CGradedPoint* end,
                                        int32_t direction, const CFormula& distance) {
  m_Curve.object = curve;
  m_StartPoint.object = start;
  m_EndPoint.object = end;
  m_Direction = direction;
  m_Distance = distance;
  RecalcAll();
}

void CCurveSpanDistancePoint::SetDistance(const CFormula& distance) {
  m_Distance = distance;
  Invalidate(-1);
}

void CCurveSpanDistancePoint::UpdateDirection() {
  SetDirectionFromOrder(GetCurve(), GetStartPoint(), GetEndPoint(), m_Direction);
}

BOOL CCurveSpanDistancePoint::UsesCurve(const CGradedCurve* curve) const {
  return curve && m_Curve.object == curve;
}

BOOL CCurveSpanDistancePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedCurve* curve = CurveOf(m_Curve);
  CGradedPoint* start = PointOf(m_StartPoint);
  CGradedPoint* end = PointOf(m_EndPoint);
  if (!curve || !start || !end) return FALSE;
  return curve->PointAtLengthFormula(size, start, m_Direction, m_Distance, x, y);
}

void CCurveSpanDistancePoint::SetLabelVisible(BOOL show) {
  const CGradedCurve* curve = CurveOf(m_Curve);
  ShowLabels(MayShowLabels(show, GetStartPoint()) && curve && curve->GetState() != 0 ? TRUE : FALSE);
}

void CCurveSpanDistancePoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_Label) m_Distance = value;
}

CFormula CCurveSpanDistancePoint::GetFormula(CDimLabel* label) const {
  return label == &m_Label ? m_Distance : CFormula();
}

void CCurveSpanDistancePoint::GetCurveLabelText(CDimLabel*, CString& text, std::vector<CPoint>& path) const {
  CPoint from, to;
  BasePositionOf(GetStartPoint(), &from);
  OwnBasePosition(&to);
  CurvePathBetween(CurveOf(m_Curve), GetOwner() ? GetOwner()->GetBaseSize() : 0, from, to, path);
  text = m_Distance.GetDisplayText(g_UnitMode, g_UnitPrecision);
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

void CCurveSpanRatioPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CCurveSpanRatioPoint&>(source);
  m_Direction = from.m_Direction;
  m_Ratio = from.m_Ratio;
}

void CCurveSpanDistancePoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CCurveSpanDistancePoint&>(source);
  m_Direction = from.m_Direction;
}
