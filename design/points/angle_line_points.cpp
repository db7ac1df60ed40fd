#include "design/points/angle_line_points.h"

#include <cmath>
#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_line.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> Make(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

// Points a reference field at `object`, keeping its stored position in step
// so that a later ResolveIds finds the same object.
template <class Field>
void Refer(Field& field, CGradedObject* object, const CPatternData* owner) {
  field.object = object;
  field.index = object && owner ? owner->GetElementIndex(object) : -1;
}

// Directions closer than this (the sine of the angle between them) count as
// parallel. Degrees become radians with pi rounded to twelve digits, which
// leaves 90 degrees about 1e-13 off vertical: without this, a vertical
// through a point would "cross" a vertical two-point line some 10^13 units
// away instead of missing it.
constexpr double kParallelSine = 1e-12;

// The coefficients of the two-point line at a size, from its through points
// as they are handed out; the result says whether both were had.
BOOL LineAt(CGradedLine& line, int32_t size, double* a, double* b, double* c) {
  CPoint first;
  CPoint second;
  const BOOL had = line.GetThroughPoints(size, &first, &second);
  LineCoefficients(first.x, first.y, second.x, second.y, a, b, c);
  return had;
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

void CAngleLineBase::SetParams(CGradedPoint* through, double angle, CGradedLine* line) {
  Refer(m_Through, through, GetOwner());
  m_Angle = angle;
  Refer(m_Line, line, GetOwner());
  RecalcAll();
}

void CAngleLineBase::GetParams(CGradedPoint** through, double* angle, CGradedLine** line) const {
  *through = PointOf(m_Through);
  *angle = m_Angle;
  *line = LineOf(m_Line);
}

void CAngleLineBase::SetAngle(double angle) {
  m_Angle = angle;
  Invalidate(-1);
}

BOOL CAngleLineBase::UsesLine(const CGradedLine* line) const {
  return UsesLine(static_cast<const CGradedObject*>(line));
}
BOOL CAngleLineBase::UsesLine(const CGradedObject* line) const { return line && line == m_Line.object; }

BOOL CAngleLineBase::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* through = PointOf(m_Through);
  CGradedLine* line = LineOf(m_Line);
  if (!through || !line) return FALSE;
  CPoint p;
  const BOOL hadThrough = through->GetPoint(size, &p);
  double a2 = 0, b2 = 0, c2 = 0;
  const BOOL hadLine = LineAt(*line, size, &a2, &b2, &c2);
  if (!hadThrough || !hadLine) return FALSE;
  const double radians = m_Angle / 180.0 * kPi;
  const double sine = std::sin(radians);
  const double cosine = std::cos(radians);
  // An angle read as NaN or infinity gives no direction: its line would
  // "cross" anywhere at (0, 0).
  if (!std::isfinite(sine) || !std::isfinite(cosine)) return FALSE;
  // The line through P in the direction (cos r, sin r), in doubles so that
  // no coordinate product overflows.
  const double a1 = sine;
  const double b1 = -cosine;
  const double c1 = -sine * p.x + cosine * p.y;
  // (a1, b1) has length 1, so the cross product over the line's length is
  // the sine of the angle between them; a line without length fails here.
  if (std::fabs(a1 * b2 - a2 * b1) <= kParallelSine * std::hypot(a2, b2)) return FALSE;
  int32_t cx = 0, cy = 0;
  if (IntersectLinesInt(a1, b1, c1, a2, b2, c2, &cx, &cy) != 1) return FALSE;
  *x = cx;
  *y = cy;
  return TRUE;
}

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

CAngleLinePoint::CAngleLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, double angle,
                                 CGradedLine* line)
    : CAngleLinePoint(owner, status) {
  SetParams(through, angle, line);
}

void CAngleLinePoint::SetAngleLabel(CDimLabel label) {
  m_AngleLabel.CopyFrom(label);
  m_AngleLabel.SetOwner(GetOwner());
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

void CAngleLinePoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, GetThroughPoint())); }

void CAngleLinePoint::SetLabelValue(CDimLabel* label, double value) {
  if (label == &m_AngleLabel) StoreAngle(value);
}

double CAngleLinePoint::GetLabelValue(CDimLabel*) const { return GetAngle(); }

void CAngleLinePoint::GetAngleLabelText(CDimLabel*, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                                        BOOL* positive) const {
  if (!vertex || !arm1 || !arm2) return;
  text = AngleLabelText(GetAngle(), positive);
  BasePositionOf(GetThroughPoint(), vertex);
  OwnBasePosition(arm2);
  *arm1 = Shifted(*vertex, PointDistance(vertex->x, vertex->y, arm2->x, arm2->y), 0);
}

CVerticalLinePoint::CVerticalLinePoint(CPatternData* owner, uint16_t status)
    : CAngleLineBase(kPointKindVerticalLine, owner, status, nullptr) {}

CVerticalLinePoint::CVerticalLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through,
                                       CGradedLine* line)
    : CVerticalLinePoint(owner, status) {
  SetParams(through, kVerticalLineAngle, line);
}

BOOL CVerticalLinePoint::Load(ArchiveReader& archive) { return LoadWithFixedAngle(archive, kVerticalLineAngle); }

CHorizontalLinePoint::CHorizontalLinePoint(CPatternData* owner, uint16_t status)
    : CAngleLineBase(kPointKindHorizontalLine, owner, status, nullptr) {}

CHorizontalLinePoint::CHorizontalLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through,
                                           CGradedLine* line)
    : CHorizontalLinePoint(owner, status) {
  SetParams(through, kHorizontalLineAngle, line);
}

BOOL CHorizontalLinePoint::Load(ArchiveReader& archive) { return LoadWithFixedAngle(archive, kHorizontalLineAngle); }

// ---- Kind 28 -------------------------------------------------------------------

CPerpendicularLinePoint::CPerpendicularLinePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindPerpendicularLine, owner, status) {
  DeclareFields({&m_Through, &m_DirectionStart, &m_DirectionEnd, &m_Line});
}

CPerpendicularLinePoint::CPerpendicularLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through,
                                                 CGradedPoint* directionStart, CGradedPoint* directionEnd,
                                                 CGradedLine* line)
    : CPerpendicularLinePoint(owner, status) {
  SetParams(through, directionStart, directionEnd, line);
}

void CPerpendicularLinePoint::SetParams(CGradedPoint* through, CGradedPoint* directionStart,
                                        CGradedPoint* directionEnd, CGradedLine* line) {
  Refer(m_Through, through, GetOwner());
  Refer(m_DirectionStart, directionStart, GetOwner());
  Refer(m_DirectionEnd, directionEnd, GetOwner());
  Refer(m_Line, line, GetOwner());
  RecalcAll();
}

void CPerpendicularLinePoint::GetParams(CGradedPoint** through, CGradedPoint** directionStart,
                                        CGradedPoint** directionEnd, CGradedLine** line) const {
  *through = PointOf(m_Through);
  *directionStart = PointOf(m_DirectionStart);
  *directionEnd = PointOf(m_DirectionEnd);
  *line = LineOf(m_Line);
}

BOOL CPerpendicularLinePoint::UsesLine(const CGradedLine* line) const {
  return UsesLine(static_cast<const CGradedObject*>(line));
}
BOOL CPerpendicularLinePoint::UsesLine(const CGradedObject* line) const { return line && line == m_Line.object; }

BOOL CPerpendicularLinePoint::CrossingAt(int32_t size, int32_t* x, int32_t* y) {
  CPoint start;
  CPoint end;
  CPoint p;
  // The positions are taken as handed out: a point that failed at this size
  // still hands out the position cached for it.
  GetDirectionStart()->GetPoint(size, &start);
  GetDirectionEnd()->GetPoint(size, &end);
  GetThroughPoint()->GetPoint(size, &p);
  double a = 0, b = 0, c = 0;
  LineCoefficients(start.x, start.y, end.x, end.y, &a, &b, &c);
  double a2 = 0, b2 = 0, c2 = 0;
  LineAt(*LineOf(m_Line), size, &a2, &b2, &c2);
  // Through P at right angles to start -> end.
  return IntersectLinesInt(-b, a, b * p.x - a * p.y, a2, b2, c2, x, y) == 1;
}

BOOL CPerpendicularLinePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  if (!PointOf(m_Through) || !PointOf(m_DirectionStart) || !PointOf(m_DirectionEnd) || !LineOf(m_Line)) {
    return FALSE;
  }
  if (CrossingAt(size, x, y)) return TRUE;
  // A graded size whose lines do not cross holds the base size's position.
  const CPatternData* owner = GetOwner();
  if (owner && size != owner->GetBaseSize()) CalcPoint(owner->GetBaseSize(), x, y);
  return FALSE;
}

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

void CAngleLineBase::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CAngleLineBase&>(source);
  m_Angle = from.m_Angle;
}
