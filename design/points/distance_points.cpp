#include "design/points/distance_points.h"

#include <cmath>
#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/geometry/polyline.h"
#include "design/geometry/primitives.h"
#include "model/settings.h"
#include "platform/numbers.h"

namespace {

// from + the rounded offset, kept in the int32 range: positions and
// distances come from files, and a sum must not wrap a coordinate (the
// point's bound test then reports it).
int32_t AddRounded(int32_t from, double offset) {
  return SaturateToInt32(static_cast<int64_t>(from) + RoundToNearest(offset));
}

}  // namespace

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

CDistanceTowardsPoint::CDistanceTowardsPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1,
                                             CGradedPoint* point2, const CFormula& distance)
    : CDistanceTowardsPoint(owner, status) {
  SetParams(point1, point2, distance);
}

void CDistanceTowardsPoint::SetParams(CGradedPoint* point1, CGradedPoint* point2, const CFormula& distance) {
  m_Point1.object = point1;
  m_Point2.object = point2;
  m_Distance = distance;
  RecalcAll();
}

void CDistanceTowardsPoint::SetDistance(const CFormula& distance) {
  m_Distance = distance;
  Invalidate(-1);
}

BOOL CDistanceTowardsPoint::UsesLine(const CGradedLine* line) const { return LineHoldsPair(line); }

BOOL CDistanceTowardsPoint::GetLinePair(const CGradedObject** first, const CGradedObject** second) const {
  *first = m_Point1.object;
  *second = m_Point2.object;
  return TRUE;
}

BOOL CDistanceTowardsPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* point1 = PointOf(m_Point1);
  CGradedPoint* point2 = PointOf(m_Point2);
  if (!point1 || !point2) return FALSE;
  const int32_t d = m_Distance.Evaluate(size);
  CPoint p1, p2;
  if (!point1->GetPoint(size, &p1)) {
    // Without point 1 there is no ray; the point stays with it.
    *x = p1.x;
    *y = p1.y;
    return FALSE;
  }
  const BOOL result = point2->GetPoint(size, &p2);
  const double dx = static_cast<double>(p2.x) - p1.x;
  const double dy = static_cast<double>(p2.y) - p1.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (IsZeroDivisor(length)) {
    *x = p1.x;
    *y = p1.y;
    return result;
  }
  const double f = d / length;
  *x = AddRounded(p1.x, dx * f);
  *y = AddRounded(p1.y, dy * f);
  return result;
}

void CDistanceTowardsPoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, PointOf(m_Point1))); }

void CDistanceTowardsPoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_Label) m_Distance = value;
}

CFormula CDistanceTowardsPoint::GetFormula(CDimLabel* label) const {
  return label == &m_Label ? m_Distance : CFormula();
}

void CDistanceTowardsPoint::GetLabelText(CDimLabel*, CString& text, CPoint* from, CPoint* to) const {
  if (!from || !to) return;
  BasePositionOf(PointOf(m_Point1), from);
  OwnBasePosition(to);
  text = m_Distance.GetDisplayText(g_UnitMode, g_UnitPrecision);
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

CLineDistancePoint::CLineDistancePoint(CPatternData* owner, uint16_t status, CGradedLine* line, CGradedPoint* start,
                                       const CFormula& distance)
    : CLineDistancePoint(owner, status) {
  SetParams(line, start, distance);
}

void CLineDistancePoint::SetParams(CGradedLine* line, CGradedPoint* start, const CFormula& distance) {
  m_Line.object = line;
  m_StartPoint.object = start;
  m_Distance = distance;
  RecalcAll();
}

void CLineDistancePoint::SetDistance(const CFormula& distance) {
  m_Distance = distance;
  Invalidate(-1);
}

BOOL CLineDistancePoint::UsesLine(const CGradedLine* line) const { return line && m_Line.object == line; }

BOOL CLineDistancePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedLine* line = LineOf(m_Line);
  CGradedPoint* start = PointOf(m_StartPoint);
  if (!line || !start) return FALSE;
  return line->PointAtDistanceFormula(size, start, m_Distance, x, y);
}

void CLineDistancePoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, PointOf(m_StartPoint))); }

void CLineDistancePoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_Label) m_Distance = value;
}

CFormula CLineDistancePoint::GetFormula(CDimLabel* label) const {
  return label == &m_Label ? m_Distance : CFormula();
}

void CLineDistancePoint::GetLabelText(CDimLabel*, CString& text, CPoint* from, CPoint* to) const {
  if (!from || !to) return;
  BasePositionOf(PointOf(m_StartPoint), from);
  OwnBasePosition(to);
  text = m_Distance.GetDisplayText(g_UnitMode, g_UnitPrecision);
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

CCurveDistancePoint::CCurveDistancePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve,
                                         CGradedPoint* start, int32_t direction, const CFormula& distance)
    : CCurveDistancePoint(owner, status) {
  SetParams(curve, start, direction, distance);
}

void CCurveDistancePoint::SetParams(CGradedCurve* curve, CGradedPoint* start, int32_t direction,
                                    const CFormula& distance) {
  m_Curve.object = curve;
  m_StartPoint.object = start;
  m_Direction = direction;
  m_Distance = distance;
  RecalcAll();
}

void CCurveDistancePoint::SetDistance(const CFormula& distance) {
  m_Distance = distance;
  Invalidate(-1);
}

void CCurveDistancePoint::UpdateDirection() {
  SetDirectionFromFirstPoint(GetCurve(), GetStartPoint(), m_Direction);
}

BOOL CCurveDistancePoint::UsesCurve(const CGradedCurve* curve) const { return curve && m_Curve.object == curve; }

BOOL CCurveDistancePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedCurve* curve = CurveOf(m_Curve);
  CGradedPoint* start = PointOf(m_StartPoint);
  if (!curve || !start) return FALSE;
  return curve->PointAtLengthFormula(size, start, m_Direction, m_Distance, x, y);
}

void CCurveDistancePoint::SetLabelVisible(BOOL show) {
  const CGradedCurve* curve = CurveOf(m_Curve);
  ShowLabels(MayShowLabels(show, GetStartPoint()) && curve && curve->GetState() != 0 ? TRUE : FALSE);
}

void CCurveDistancePoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_Label) m_Distance = value;
}

CFormula CCurveDistancePoint::GetFormula(CDimLabel* label) const {
  return label == &m_Label ? m_Distance : CFormula();
}

void CCurveDistancePoint::GetCurveLabelText(CDimLabel*, CString& text, std::vector<CPoint>& path) const {
  CPoint from, to;
  BasePositionOf(GetStartPoint(), &from);
  OwnBasePosition(&to);
  CurvePathBetween(CurveOf(m_Curve), GetOwner() ? GetOwner()->GetBaseSize() : 0, from, to, path);
  text = m_Distance.GetDisplayText(g_UnitMode, g_UnitPrecision);
}

void CurvePathBetween(CGradedCurve* curve, int32_t size, CPoint from, CPoint to, std::vector<CPoint>& path) {
  path.clear();
  PointList polyline;
  PointList section;
  if (!curve || !curve->GetFullPoints(size, polyline) ||
      !GetPolylineSection(polyline, from.x, from.y, to.x, to.y, &section)) {
    return;
  }
  path.assign(section.begin(), section.end());
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

void CCurveDistancePoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CCurveDistancePoint&>(source);
  m_Direction = from.m_Direction;
}
