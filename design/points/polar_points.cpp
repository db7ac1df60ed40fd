#include "design/points/polar_points.h"

#include <cmath>
#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/geometry/measure.h"
#include "design/geometry/primitives.h"
#include "model/settings.h"
#include "platform/numbers.h"

namespace {

double Radians(double degrees) { return degrees / 180.0 * kPi; }

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

CPolarPoint::CPolarPoint(int32_t kind, CPatternData* owner, uint16_t status, CGradedPoint* reference,
                         CFormula distance, double angle)
    : CPolarPoint(kind, owner, status) {
  SetParams(reference, std::move(distance), angle);
}

void CPolarPoint::SetParams(CGradedPoint* reference, CFormula distance, double angle) {
  m_Reference.object = reference;
  m_Distance = std::move(distance);
  m_Angle = angle;
  RecalcAll();
}

void CPolarPoint::GetParams(CGradedPoint** reference, CFormula* distance, double* angle) const {
  *reference = GetReferencePoint();
  *distance = m_Distance;
  *angle = m_Angle;
}

void CPolarPoint::SetDistanceAndAngle(CFormula distance, double angle) {
  m_Distance = std::move(distance);
  m_Angle = angle;
  Invalidate(-1);
}

void CPolarPoint::SetDistance(CFormula distance) {
  m_Distance = std::move(distance);
  Invalidate(-1);
}

void CPolarPoint::SetAngle(double angle) {
  m_Angle = angle;
  Invalidate(-1);
}

void CPolarPoint::GetDistanceAndAngle(CFormula* distance, double* angle) const {
  *distance = m_Distance;
  *angle = m_Angle;
}

void CPolarPoint::SetDistanceLabel(CDimLabel label) { m_DistanceLabel.CopyFrom(label); }

void CPolarPoint::SetAngleLabel(CDimLabel label) { m_AngleLabel.CopyFrom(label); }

BOOL CPolarPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* reference = GetReferencePoint();
  if (!reference) return FALSE;
  CPoint p;
  const BOOL result = reference->GetPoint(size, &p);
  const double d = m_Distance.Evaluate(size);
  const double r = Radians(m_Angle);
  *x = SaturateToInt32(static_cast<int64_t>(RoundToNearest(std::cos(r) * d)) + p.x);
  *y = SaturateToInt32(static_cast<int64_t>(RoundToNearest(std::sin(r) * d)) + p.y);
  return result;
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

void CPolarPoint::SetLabelVisible(BOOL show) {
  const BOOL shown = MayShowLabels(show, GetReferencePoint());
  m_DistanceLabel.SetVisible(shown);
  m_AngleLabel.SetVisible(GetSubtype() == kPointKindPolar15 ? shown : 0);
}

void CPolarPoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_DistanceLabel) m_Distance = value;
}

CFormula CPolarPoint::GetFormula(CDimLabel*) const { return m_Distance; }

void CPolarPoint::SetLabelValue(CDimLabel* label, double value) {
  if (label == &m_AngleLabel) m_Angle = value;
}

double CPolarPoint::GetLabelValue(CDimLabel*) const { return m_Angle; }

void CPolarPoint::GetLabelText(CDimLabel*, CString& text, CPoint* from, CPoint* to) const {
  if (!from || !to) return;
  BasePositionOf(GetReferencePoint(), from);
  OwnBasePosition(to);
  text = m_Distance.GetDisplayText(g_UnitMode, g_UnitPrecision);
}

void CPolarPoint::GetAngleLabelText(CDimLabel*, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                                    BOOL* positive) const {
  if (!vertex || !arm1 || !arm2) return;
  text = AngleLabelText(m_Angle, positive);
  BasePositionOf(GetReferencePoint(), vertex);
  OwnBasePosition(arm2);
  const int32_t distance = GetOwner() ? m_Distance.Evaluate(GetOwner()->GetBaseSize()) : 0;
  *arm1 = Shifted(*vertex, distance, 0);
}

CPolarPoint15::CPolarPoint15(CPatternData* owner, uint16_t status) : CPolarPoint(kPointKindPolar15, owner, status) {}

CPolarPoint15::CPolarPoint15(CPatternData* owner, uint16_t status, CGradedPoint* reference, CFormula distance,
                             double angle)
    : CPolarPoint(kPointKindPolar15, owner, status, reference, std::move(distance), angle) {}

CPolarPoint16::CPolarPoint16(CPatternData* owner, uint16_t status) : CPolarPoint(kPointKindPolar16, owner, status) {}

CPolarPoint16::CPolarPoint16(CPatternData* owner, uint16_t status, CGradedPoint* reference, CFormula distance,
                             double angle)
    : CPolarPoint(kPointKindPolar16, owner, status, reference, std::move(distance), angle) {}

CPolarPoint17::CPolarPoint17(CPatternData* owner, uint16_t status) : CPolarPoint(kPointKindPolar17, owner, status) {}

CPolarPoint17::CPolarPoint17(CPatternData* owner, uint16_t status, CGradedPoint* reference, CFormula distance,
                             double angle)
    : CPolarPoint(kPointKindPolar17, owner, status, reference, std::move(distance), angle) {}

CDirectionDistancePoint::CDirectionDistancePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindDirectionDistance, owner, status), m_Distance(owner) {
  m_Distance.Reset(owner);
  m_DistanceLabel.SetLinear(owner, this);
  m_AngleLabel.SetAngle(owner, this);
  DeclareFields({&m_Base, &m_DirectionStart, &m_DirectionEnd}, {&m_Distance}, {&m_DistanceLabel, &m_AngleLabel});
}

CDirectionDistancePoint::CDirectionDistancePoint(CPatternData* owner, uint16_t status, CGradedPoint* base,
                                                 CFormula distance, CGradedPoint* directionStart,
                                                 CGradedPoint* directionEnd, double angle)
    : CDirectionDistancePoint(owner, status) {
  SetParams(base, std::move(distance), directionStart, directionEnd, angle);
}

void CDirectionDistancePoint::SetParams(CGradedPoint* base, CFormula distance, CGradedPoint* directionStart,
                                        CGradedPoint* directionEnd, double angle) {
  m_Base.object = base;
  m_Distance = std::move(distance);
  m_DirectionStart.object = directionStart;
  m_DirectionEnd.object = directionEnd;
  m_Angle = angle;
  RecalcAll();
}

void CDirectionDistancePoint::GetParams(CGradedPoint** base, CFormula* distance, CGradedPoint** directionStart,
                                        CGradedPoint** directionEnd, double* angle) const {
  *base = GetBasePoint();
  *distance = m_Distance;
  *directionStart = GetDirectionStart();
  *directionEnd = GetDirectionEnd();
  *angle = m_Angle;
}

void CDirectionDistancePoint::SetDistanceAndAngle(CFormula distance, double angle) {
  m_Distance = std::move(distance);
  m_Angle = angle;
  Invalidate(-1);
}

void CDirectionDistancePoint::SetDistance(CFormula distance) {
  m_Distance = std::move(distance);
  Invalidate(-1);
}

void CDirectionDistancePoint::SetAngle(double angle) {
  m_Angle = angle;
  Invalidate(-1);
}

void CDirectionDistancePoint::GetDistanceAndAngle(CFormula* distance, double* angle) const {
  *distance = m_Distance;
  *angle = m_Angle;
}

void CDirectionDistancePoint::SetDistanceLabel(CDimLabel label) { m_DistanceLabel.CopyFrom(label); }

void CDirectionDistancePoint::SetAngleLabel(CDimLabel label) { m_AngleLabel.CopyFrom(label); }

BOOL CDirectionDistancePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* base = GetBasePoint();
  CGradedPoint* directionStart = GetDirectionStart();
  CGradedPoint* directionEnd = GetDirectionEnd();
  if (!base || !directionStart || !directionEnd) return FALSE;
  CPoint a, b;
  BOOL result = directionStart->GetPoint(size, &a);
  result = directionEnd->GetPoint(size, &b) && result;
  // The end turned about the start lands on whole model units; the direction
  // is what that rounded turn leaves of the offset from the start.
  const double r = Radians(m_Angle);
  const double sinR = std::sin(r);
  const double cosR = std::cos(r);
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  const double vx = RoundToNearest(dx * cosR - dy * sinR);
  const double vy = RoundToNearest(dx * sinR + dy * cosR);
  const double length = std::sqrt(vx * vx + vy * vy);
  const double d = m_Distance.Evaluate(size);
  CPoint p;
  result = base->GetPoint(size, &p) && result;
  if (IsZeroDivisor(length)) {
    *x = p.x;
    *y = p.y;
    return FALSE;
  }
  *x = RoundToNearest(d / length * vx + p.x);
  *y = RoundToNearest(d / length * vy + p.y);
  return result;
}

void CDirectionDistancePoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, GetBasePoint())); }

void CDirectionDistancePoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_DistanceLabel) m_Distance = value;
}

CFormula CDirectionDistancePoint::GetFormula(CDimLabel*) const { return m_Distance; }

void CDirectionDistancePoint::SetLabelValue(CDimLabel* label, double value) {
  if (label == &m_AngleLabel) m_Angle = value;
}

double CDirectionDistancePoint::GetLabelValue(CDimLabel*) const { return m_Angle; }

void CDirectionDistancePoint::GetLabelText(CDimLabel*, CString& text, CPoint* from, CPoint* to) const {
  if (!from || !to) return;
  BasePositionOf(GetBasePoint(), from);
  OwnBasePosition(to);
  text = m_Distance.GetDisplayText(g_UnitMode, g_UnitPrecision);
}

void CDirectionDistancePoint::GetAngleLabelText(CDimLabel*, CString& text, CPoint* vertex, CPoint* arm1,
                                                CPoint* arm2, BOOL* positive) const {
  if (!vertex || !arm1 || !arm2) return;
  text = AngleLabelText(m_Angle, positive);
  BasePositionOf(GetBasePoint(), vertex);
  OwnBasePosition(arm2);
  CPoint start, end;
  BasePositionOf(GetDirectionStart(), &start);
  BasePositionOf(GetDirectionEnd(), &end);
  *arm1 = Shifted(*vertex, static_cast<int64_t>(end.x) - start.x, static_cast<int64_t>(end.y) - start.y);
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

void CPolarPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CPolarPoint&>(source);
  m_Angle = from.m_Angle;
}

void CDirectionDistancePoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CDirectionDistancePoint&>(source);
  m_Angle = from.m_Angle;
}
