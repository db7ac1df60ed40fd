#include "design/points/direction_line_points.h"

#include <cmath>
#include <iterator>
#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> MakePoint(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

// Points a reference field at `object`, keeping its stored position in step
// so that a later ResolveIds finds the same object.
template <class Field>
void Refer(Field& field, CGradedObject* object, const CPatternData* owner) {
  field.object = object;
  field.index = object && owner ? owner->GetElementIndex(object) : -1;
}

// A straight line a x + b y + c = 0, in doubles: coordinates far apart
// multiply beyond the int32 range.
struct Line {
  double a = 0.0;
  double b = 0.0;
  double c = 0.0;
};

// The sine and cosine of an angle in degrees; false for an angle that has
// none (NaN or infinity read from a file).
bool TurnOf(double degrees, double* sine, double* cosine) {
  const double radians = degrees / 180.0 * kPi;
  *sine = std::sin(radians);
  *cosine = std::cos(radians);
  return std::isfinite(*sine) && std::isfinite(*cosine);
}

// The line through `through` in the direction from `start` to `end`, turned
// about `start` by the angle. The turned end is rounded to model units
// before the direction is taken, as a turned point always is; the offsets
// from `start` are used without adding `start` back, so no coordinate
// overflows. Coinciding direction points give a line without direction.
Line TurnedDirectionLine(CPoint through, CPoint start, CPoint end, double sine, double cosine) {
  const double dx = static_cast<double>(end.x) - start.x;
  const double dy = static_cast<double>(end.y) - start.y;
  Line line;
  line.a = RoundToNearest(dx * sine + dy * cosine);
  line.b = -static_cast<double>(RoundToNearest(dx * cosine - dy * sine));
  line.c = -line.a * through.x - through.y * line.b;
  return line;
}

// The `crossing`-th crossing (counted from 1, in curve order) of the line
// with the curve's whole polyline at the size; the first for a number of 0
// or less, the last for one past the crossings. A closed curve is closed up
// first when `closeUp`, so that its closing segment counts. 0, nothing
// written, when the line misses the curve.
BOOL NthCrossing(CGradedCurve& curve, int32_t size, bool closeUp, const Line& line, int32_t crossing, int32_t* x,
                 int32_t* y) {
  PointList polyline;
  if (!curve.GetFullPoints(size, polyline)) polyline.clear();
  if (closeUp && curve.IsClosed() && !polyline.empty()) polyline.push_back(polyline.front());
  PointList crossings;
  const int32_t count = IntersectLinePolyline(line.a, line.b, line.c, polyline, &crossings);
  if (count <= 0 || crossings.empty()) return FALSE;
  auto chosen = crossings.begin();
  if (crossing > count) {
    chosen = std::prev(crossings.end());
  } else if (crossing > 1) {
    std::advance(chosen, crossing - 1);
  }
  *x = chosen->x;
  *y = chosen->y;
  return TRUE;
}

// A graded size whose construction fails holds the position of the base
// size, computed through the frame so that a cycle stays guarded; the size
// still reports the failure.
BOOL HoldBaseSize(CGradedPoint& point, int32_t size, int32_t* x, int32_t* y) {
  const CPatternData* owner = point.GetOwner();
  if (owner && size != owner->GetBaseSize()) point.CalcPoint(owner->GetBaseSize(), x, y);
  return FALSE;
}

}  // namespace

// ---- Kind 32 ----------------------------------------------------------------

CRelativeAngleLinePoint::CRelativeAngleLinePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindRelativeAngleLine, owner, status) {
  m_Label.SetAngle(owner, this);
  DeclareFields({&m_Through, &m_DirectionStart, &m_DirectionEnd, &m_Line}, {}, {&m_Label});
}

CRelativeAngleLinePoint::CRelativeAngleLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through,
                                                 CGradedPoint* directionStart, CGradedPoint* directionEnd,
                                                 double angle, CGradedLine* line)
    : CRelativeAngleLinePoint(owner, status) {
  SetRefs(through, directionStart, directionEnd, angle, line);
}

void CRelativeAngleLinePoint::SetRefs(CGradedPoint* through, CGradedPoint* directionStart,
                                      CGradedPoint* directionEnd, double angle, CGradedLine* line) {
  Refer(m_Through, through, GetOwner());
  Refer(m_DirectionStart, directionStart, GetOwner());
  Refer(m_DirectionEnd, directionEnd, GetOwner());
  m_Angle = angle;
  Refer(m_Line, line, GetOwner());
  RecalcAll();
}

void CRelativeAngleLinePoint::GetRefs(CGradedPoint** through, CGradedPoint** directionStart,
                                      CGradedPoint** directionEnd, double* angle, CGradedLine** line) const {
  *through = PointOf(m_Through);
  *directionStart = PointOf(m_DirectionStart);
  *directionEnd = PointOf(m_DirectionEnd);
  *angle = m_Angle;
  *line = LineOf(m_Line);
}

void CRelativeAngleLinePoint::SetLabel(CDimLabel label) {
  m_Label.CopyFrom(label);
  m_Label.SetOwner(GetOwner());
}

BOOL CRelativeAngleLinePoint::UsesLine(const CGradedLine* line) const {
  return line && static_cast<const CGradedObject*>(line) == m_Line.object;
}

BOOL CRelativeAngleLinePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* through = PointOf(m_Through);
  CGradedPoint* start = PointOf(m_DirectionStart);
  CGradedPoint* end = PointOf(m_DirectionEnd);
  CGradedLine* line = LineOf(m_Line);
  if (!through || !start || !end || !line) return FALSE;
  CPoint a;
  CPoint b;
  CPoint p;
  bool had = start->GetPoint(size, &a);
  had = end->GetPoint(size, &b) && had;
  had = through->GetPoint(size, &p) && had;
  CPoint first;
  CPoint second;
  had = line->GetThroughPoints(size, &first, &second) && had;
  double sine = 0.0, cosine = 0.0;
  if (!had || !TurnOf(m_Angle, &sine, &cosine)) return FALSE;
  const Line direction = TurnedDirectionLine(p, a, b, sine, cosine);
  double a2 = 0, b2 = 0, c2 = 0;
  LineCoefficients(first.x, first.y, second.x, second.y, &a2, &b2, &c2);
  int32_t cx = 0, cy = 0;
  if (IntersectLinesInt(direction.a, direction.b, direction.c, a2, b2, c2, &cx, &cy) != 1) return FALSE;
  *x = cx;
  *y = cy;
  return TRUE;
}

void CRelativeAngleLinePoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, GetThroughPoint())); }

void CRelativeAngleLinePoint::SetLabelValue(CDimLabel* label, double value) {
  if (label == &m_Label) m_Angle = value;
}

double CRelativeAngleLinePoint::GetLabelValue(CDimLabel*) const { return m_Angle; }

void CRelativeAngleLinePoint::GetAngleLabelText(CDimLabel*, CString& text, CPoint* vertex, CPoint* arm1,
                                                CPoint* arm2, BOOL* positive) const {
  TurnedDirectionLabel(m_Angle, GetThroughPoint(), GetDirectionStart(), GetDirectionEnd(), text, vertex, arm1, arm2,
                       positive);
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

CTwoPointCurveIntersectPoint::CTwoPointCurveIntersectPoint(CPatternData* owner, uint16_t status,
                                                           CGradedPoint* through, CGradedPoint* directionStart,
                                                           CGradedPoint* directionEnd, CGradedCurve* curve,
                                                           int32_t crossing)
    : CTwoPointCurveIntersectPoint(owner, status) {
  SetRefs(through, directionStart, directionEnd, curve, crossing);
}

void CTwoPointCurveIntersectPoint::SetRefs(CGradedPoint* through, CGradedPoint* directionStart,
                                           CGradedPoint* directionEnd, CGradedCurve* curve, int32_t crossing) {
  Refer(m_Through, through, GetOwner());
  Refer(m_DirectionStart, directionStart, GetOwner());
  Refer(m_DirectionEnd, directionEnd, GetOwner());
  Refer(m_Curve, curve, GetOwner());
  m_Crossing = crossing;
  RecalcAll();
}

void CTwoPointCurveIntersectPoint::GetRefs(CGradedPoint** through, CGradedPoint** directionStart,
                                           CGradedPoint** directionEnd, CGradedCurve** curve,
                                           int32_t* crossing) const {
  *through = PointOf(m_Through);
  *directionStart = PointOf(m_DirectionStart);
  *directionEnd = PointOf(m_DirectionEnd);
  *curve = CurveOf(m_Curve);
  *crossing = m_Crossing;
}

BOOL CTwoPointCurveIntersectPoint::UsesCurve(const CGradedCurve* curve) const {
  return curve && static_cast<const CGradedObject*>(curve) == m_Curve.object;
}

BOOL CTwoPointCurveIntersectPoint::IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x,
                                                      int32_t y) {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  int32_t px = 0, py = 0;
  CalcPoint(owner->GetBaseSize(), &px, &py);
  if (px != x || py != y) return FALSE;
  const auto* line = dynamic_cast<const CGradedLine*>(a);
  const auto* curve = dynamic_cast<const CGradedCurve*>(b);
  if (!line || !curve) {
    line = dynamic_cast<const CGradedLine*>(b);
    curve = dynamic_cast<const CGradedCurve*>(a);
  }
  if (!line || !curve || !UsesCurve(curve)) return FALSE;
  return line->IsThrough(this, m_Through.object);
}

BOOL CTwoPointCurveIntersectPoint::CrossingAt(int32_t size, int32_t* x, int32_t* y) {
  CPoint a;
  CPoint b;
  CPoint p;
  // The positions are taken as handed out: a point that failed at this size
  // still hands out the position cached for it.
  GetDirectionStart()->GetPoint(size, &a);
  GetDirectionEnd()->GetPoint(size, &b);
  GetThroughPoint()->GetPoint(size, &p);
  double da = 0, db = 0, dc = 0;
  LineCoefficients(a.x, a.y, b.x, b.y, &da, &db, &dc);
  // Through P at right angles to A -> B.
  Line line;
  line.a = db;
  line.b = -da;
  line.c = -line.a * p.x - p.y * line.b;
  return NthCrossing(*CurveOf(m_Curve), size, /*closeUp=*/true, line, m_Crossing, x, y);
}

BOOL CTwoPointCurveIntersectPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  if (!PointOf(m_Through) || !PointOf(m_DirectionStart) || !PointOf(m_DirectionEnd) || !CurveOf(m_Curve)) {
    return FALSE;
  }
  if (CrossingAt(size, x, y)) return TRUE;
  return HoldBaseSize(*this, size, x, y);
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

void CAngleCurveBase::SetRefs(CGradedPoint* through, double angle, CGradedCurve* curve, int32_t crossing) {
  Refer(m_Through, through, GetOwner());
  m_Angle = angle;
  Refer(m_Curve, curve, GetOwner());
  m_Crossing = crossing;
  RecalcAll();
}

void CAngleCurveBase::GetRefs(CGradedPoint** through, double* angle, CGradedCurve** curve, int32_t* crossing) const {
  *through = PointOf(m_Through);
  *angle = m_Angle;
  *curve = CurveOf(m_Curve);
  *crossing = m_Crossing;
}

void CAngleCurveBase::SetAngle(double angle) {
  m_Angle = angle;
  Invalidate(-1);
}

BOOL CAngleCurveBase::UsesCurve(const CGradedCurve* curve) const {
  return curve && static_cast<const CGradedObject*>(curve) == m_Curve.object;
}

BOOL CAngleCurveBase::CrossingAt(int32_t size, int32_t* x, int32_t* y) {
  CPoint p;
  GetThroughPoint()->GetPoint(size, &p);
  double sine = 0.0, cosine = 0.0;
  if (!TurnOf(m_Angle, &sine, &cosine)) return FALSE;
  // Through P in the direction of the angle. A closed curve is crossed as
  // it stands, without its closing segment.
  Line line;
  line.a = sine;
  line.b = -cosine;
  line.c = -line.a * p.x - p.y * line.b;
  return NthCrossing(*CurveOf(m_Curve), size, /*closeUp=*/false, line, m_Crossing, x, y);
}

BOOL CAngleCurveBase::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  if (!PointOf(m_Through) || !CurveOf(m_Curve)) return FALSE;
  if (CrossingAt(size, x, y)) return TRUE;
  return HoldBaseSize(*this, size, x, y);
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

CAngleCurvePoint::CAngleCurvePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, double angle,
                                   CGradedCurve* curve, int32_t crossing)
    : CAngleCurvePoint(owner, status) {
  SetRefs(through, angle, curve, crossing);
}

void CAngleCurvePoint::SetLabel(CDimLabel label) {
  m_Label.CopyFrom(label);
  m_Label.SetOwner(GetOwner());
}

void CAngleCurvePoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, GetThroughPoint())); }

void CAngleCurvePoint::SetLabelValue(CDimLabel* label, double value) {
  if (label == &m_Label) m_Angle = value;
}

double CAngleCurvePoint::GetLabelValue(CDimLabel*) const { return m_Angle; }

void CAngleCurvePoint::GetAngleLabelText(CDimLabel*, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                                         BOOL* positive) const {
  if (!vertex || !arm1 || !arm2) return;
  text = AngleLabelText(m_Angle, positive);
  BasePositionOf(GetThroughPoint(), vertex);
  OwnBasePosition(arm2);
  *arm1 = Shifted(*vertex, PointDistance(vertex->x, vertex->y, arm2->x, arm2->y), 0);
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

CVerticalCurvePoint::CVerticalCurvePoint(CPatternData* owner, uint16_t status, CGradedPoint* through,
                                         CGradedCurve* curve, int32_t crossing)
    : CVerticalCurvePoint(owner, status) {
  SetRefs(through, kVerticalAngleDegrees, curve, crossing);
}

BOOL CVerticalCurvePoint::Load(ArchiveReader& archive) { return LoadWithFixedAngle(archive, kVerticalAngleDegrees); }

CHorizontalCurvePoint::CHorizontalCurvePoint(CPatternData* owner, uint16_t status)
    : CAngleCurveBase(kPointKindHorizontalCurve, owner, status) {
  m_Angle = kHorizontalAngleDegrees;
}

CHorizontalCurvePoint::CHorizontalCurvePoint(CPatternData* owner, uint16_t status, CGradedPoint* through,
                                             CGradedCurve* curve, int32_t crossing)
    : CHorizontalCurvePoint(owner, status) {
  SetRefs(through, kHorizontalAngleDegrees, curve, crossing);
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

CRelativeAngleCurvePoint::CRelativeAngleCurvePoint(CPatternData* owner, uint16_t status, CGradedPoint* through,
                                                   CGradedPoint* directionStart, CGradedPoint* directionEnd,
                                                   double angle, CGradedCurve* curve, int32_t crossing)
    : CRelativeAngleCurvePoint(owner, status) {
  SetRefs(through, directionStart, directionEnd, angle, curve, crossing);
}

void CRelativeAngleCurvePoint::SetRefs(CGradedPoint* through, CGradedPoint* directionStart,
                                       CGradedPoint* directionEnd, double angle, CGradedCurve* curve,
                                       int32_t crossing) {
  Refer(m_Through, through, GetOwner());
  Refer(m_DirectionStart, directionStart, GetOwner());
  Refer(m_DirectionEnd, directionEnd, GetOwner());
  m_Angle = angle;
  Refer(m_Curve, curve, GetOwner());
  m_Crossing = crossing;
  RecalcAll();
}

void CRelativeAngleCurvePoint::GetRefs(CGradedPoint** through, CGradedPoint** directionStart,
                                       CGradedPoint** directionEnd, double* angle, CGradedCurve** curve,
                                       int32_t* crossing) const {
  *through = PointOf(m_Through);
  *directionStart = PointOf(m_DirectionStart);
  *directionEnd = PointOf(m_DirectionEnd);
  *angle = m_Angle;
  *curve = CurveOf(m_Curve);
  *crossing = m_Crossing;
}

void CRelativeAngleCurvePoint::SetLabel(CDimLabel label) {
  m_Label.CopyFrom(label);
  m_Label.SetOwner(GetOwner());
}

BOOL CRelativeAngleCurvePoint::UsesCurve(const CGradedCurve* curve) const {
  return curve && static_cast<const CGradedObject*>(curve) == m_Curve.object;
}

BOOL CRelativeAngleCurvePoint::CrossingAt(int32_t size, int32_t* x, int32_t* y) {
  CPoint a;
  CPoint b;
  CPoint p;
  // As kind 39, the positions are taken as handed out.
  GetDirectionStart()->GetPoint(size, &a);
  GetDirectionEnd()->GetPoint(size, &b);
  GetThroughPoint()->GetPoint(size, &p);
  double sine = 0.0, cosine = 0.0;
  if (!TurnOf(m_Angle, &sine, &cosine)) return FALSE;
  const Line line = TurnedDirectionLine(p, a, b, sine, cosine);
  return NthCrossing(*CurveOf(m_Curve), size, /*closeUp=*/true, line, m_Crossing, x, y);
}

BOOL CRelativeAngleCurvePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  if (!PointOf(m_Through) || !PointOf(m_DirectionStart) || !PointOf(m_DirectionEnd) || !CurveOf(m_Curve)) {
    return FALSE;
  }
  if (CrossingAt(size, x, y)) return TRUE;
  return HoldBaseSize(*this, size, x, y);
}

void CRelativeAngleCurvePoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, GetThroughPoint())); }

void CRelativeAngleCurvePoint::SetLabelValue(CDimLabel* label, double value) {
  if (label == &m_Label) m_Angle = value;
}

double CRelativeAngleCurvePoint::GetLabelValue(CDimLabel*) const { return m_Angle; }

void CRelativeAngleCurvePoint::GetAngleLabelText(CDimLabel*, CString& text, CPoint* vertex, CPoint* arm1,
                                                 CPoint* arm2, BOOL* positive) const {
  TurnedDirectionLabel(m_Angle, GetThroughPoint(), GetDirectionStart(), GetDirectionEnd(), text, vertex, arm1, arm2,
                       positive);
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

void CRelativeAngleLinePoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CRelativeAngleLinePoint&>(source);
  m_Angle = from.m_Angle;
}

void CTwoPointCurveIntersectPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CTwoPointCurveIntersectPoint&>(source);
  m_Crossing = from.m_Crossing;
}

void CAngleCurveBase::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CAngleCurveBase&>(source);
  m_Angle = from.m_Angle;
  m_Crossing = from.m_Crossing;
}

void CRelativeAngleCurvePoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CRelativeAngleCurvePoint&>(source);
  m_Angle = from.m_Angle;
  m_Crossing = from.m_Crossing;
}
