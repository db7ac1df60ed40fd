#include "design/points/tangent_points.h"

#include <cmath>
#include <iterator>
#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/geometry/circles.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"
#include "model/settings.h"
#include "platform/numbers.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> MakePoint(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

constexpr double kFullTurn = 6.28318530718;
constexpr double kQuarterTurn = 1.570796326795;

// The tangent of a curve at a touching point, at one size: the touching
// point, its neighbours a tenth of a millimetre back and ahead along the
// curve (each with whether the walk reached its length; one that ran past an
// end holds that end), and the line a x + b y + c = 0.
struct Tangent {
  CPoint touching;
  CPoint before;
  CPoint after;
  bool hasBefore = false;
  bool hasAfter = false;
  double a = 0.0;
  double b = 0.0;
  double c = 0.0;
};

// Fills `tangent` for the size; false when there is none (neither neighbour
// could be had, or both are the touching point itself), `tangent.touching`
// being set in every case.
bool FindTangent(CGradedCurve& curve, CGradedPoint& point, const CPatternData* owner, int32_t size,
                 Tangent& tangent) {
  PointList polyline;
  curve.GetFullPoints(size, polyline);
  // The touching point's own failure is not looked at: the point it hands out
  // is the one its size holds.
  point.GetPoint(size, &tangent.touching);
  const CPoint p = tangent.touching;
  const double step = (owner ? static_cast<double>(owner->GetScale()) : 0.0) * 0.1;
  tangent.before = p;
  tangent.after = p;
  tangent.hasBefore = PointAlongPolyline(polyline, p.x, p.y, -step, &tangent.before) != FALSE;
  tangent.hasAfter = PointAlongPolyline(polyline, p.x, p.y, step, &tangent.after) != FALSE;
  if (!tangent.hasBefore && !tangent.hasAfter) return false;
  if (tangent.before == p && tangent.after == p) return false;
  const double angleBefore = LineAngle(p.x, p.y, tangent.before.x, tangent.before.y);
  const double angleAfter = LineAngle(p.x, p.y, tangent.after.x, tangent.after.y);
  double angle = 0.0;
  if (tangent.before == p) {
    angle = angleAfter;
  } else if (tangent.after == p) {
    angle = angleBefore;
  } else {
    angle = (angleBefore + angleAfter) / 2.0 + kQuarterTurn;
  }
  // Both chord angles lie in [0, 2 pi), so one turn at most is taken off.
  while (angle >= kFullTurn) angle -= kFullTurn;
  while (angle + 1.0 < 1.0) angle += kFullTurn;
  tangent.a = std::sin(angle);
  tangent.b = -std::cos(angle);
  tangent.c = -tangent.a * p.x - p.y * tangent.b;
  return true;
}

// A graded size whose construction fails holds the point's base-size result
// and reports the failure; the base size itself keeps its cached position.
// The base size is asked through the frame, so a cycle still ends.
BOOL HoldBaseSizeResult(CGradedPoint& point, int32_t size, int32_t* x, int32_t* y) {
  const CPatternData* owner = point.GetOwner();
  if (owner && size != owner->GetBaseSize()) point.CalcPoint(owner->GetBaseSize(), x, y);
  return FALSE;
}

void Write(const CPoint& p, int32_t* x, int32_t* y) {
  *x = p.x;
  *y = p.y;
}

// `from` moved by `length` along the unit vector from `tail` to `head`,
// rounded; (0, 0) is added when the two coincide. Kept in the int32 range.
CPoint MovedAlong(const CPoint& from, const CPoint& tail, const CPoint& head, double length) {
  const double dx = static_cast<double>(head.x) - tail.x;
  const double dy = static_cast<double>(head.y) - tail.y;
  const double norm = std::sqrt(dx * dx + dy * dy);
  if (IsZeroDivisor(norm)) return from;
  const int64_t x = static_cast<int64_t>(from.x) + RoundToNearest(length * dx / norm);
  const int64_t y = static_cast<int64_t>(from.y) + RoundToNearest(length * dy / norm);
  return CPoint(SaturateToInt32(x), SaturateToInt32(y));
}

}  // namespace

CCurveTangentCurvePoint::CCurveTangentCurvePoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveTangentCurve, owner, status) {
  DeclareFields({&m_Curve, &m_Point, &m_SecondCurve});
}

CCurveTangentCurvePoint::CCurveTangentCurvePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve,
                                                 CGradedPoint* point, CGradedCurve* secondCurve, int32_t crossing)
    : CCurveTangentCurvePoint(owner, status) {
  SetRefs(curve, point, secondCurve, crossing);
}

void CCurveTangentCurvePoint::SetRefs(CGradedCurve* curve, CGradedPoint* point, CGradedCurve* secondCurve,
                                      int32_t crossing) {
  m_Curve.object = curve;
  m_Point.object = point;
  m_SecondCurve.object = secondCurve;
  m_Crossing = crossing;
}

void CCurveTangentCurvePoint::GetRefs(CGradedCurve** curve, CGradedPoint** point, CGradedCurve** secondCurve,
                                      int32_t* crossing) const {
  if (curve) *curve = CurveOf(m_Curve);
  if (point) *point = PointOf(m_Point);
  if (secondCurve) *secondCurve = CurveOf(m_SecondCurve);
  if (crossing) *crossing = m_Crossing;
}

BOOL CCurveTangentCurvePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedCurve* curve = CurveOf(m_Curve);
  CGradedPoint* touching = PointOf(m_Point);
  CGradedCurve* secondCurve = CurveOf(m_SecondCurve);
  if (!curve || !touching || !secondCurve) return FALSE;
  Tangent tangent;
  if (!FindTangent(*curve, *touching, GetOwner(), size, tangent)) {
    Write(tangent.touching, x, y);
    return FALSE;
  }
  PointList polyline;
  secondCurve->GetFullPoints(size, polyline);
  if (secondCurve->IsClosed() && !polyline.empty()) polyline.push_back(polyline.front());
  PointList crossings;
  const int count = IntersectLinePolyline(tangent.a, tangent.b, tangent.c, polyline, &crossings);
  if (count <= 0 || crossings.empty()) return HoldBaseSizeResult(*this, size, x, y);
  PointPos chosen = std::prev(crossings.end());
  if (m_Crossing <= 0) {
    chosen = crossings.begin();
  } else if (m_Crossing <= count) {
    chosen = std::next(crossings.begin(), m_Crossing - 1);
  }
  Write(*chosen, x, y);
  return TRUE;
}

BOOL CCurveTangentCurvePoint::UsesCurve(const CGradedCurve* curve) const {
  return curve && curve == m_SecondCurve.object ? TRUE : FALSE;
}

BOOL CCurveTangentCurvePoint::IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x,
                                                 int32_t y) {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  CPoint here;
  GetPoint(owner->GetBaseSize(), &here);
  if (here != CPoint(x, y)) return FALSE;
  const auto* line = dynamic_cast<const CGradedLine*>(a);
  const auto* curve = dynamic_cast<const CGradedCurve*>(b);
  if (!line || !curve) {
    line = dynamic_cast<const CGradedLine*>(b);
    curve = dynamic_cast<const CGradedCurve*>(a);
  }
  if (!line || !curve || curve != m_SecondCurve.object) return FALSE;
  return line->IsThrough(this, m_Point.object);
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

CCurveTangentLinePoint::CCurveTangentLinePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve,
                                               CGradedPoint* point, CGradedLine* line)
    : CCurveTangentLinePoint(owner, status) {
  SetRefs(curve, point, line);
}

void CCurveTangentLinePoint::SetRefs(CGradedCurve* curve, CGradedPoint* point, CGradedLine* line) {
  m_Curve.object = curve;
  m_Point.object = point;
  m_Line.object = line;
}

void CCurveTangentLinePoint::GetRefs(CGradedCurve** curve, CGradedPoint** point, CGradedLine** line) const {
  if (curve) *curve = CurveOf(m_Curve);
  if (point) *point = PointOf(m_Point);
  if (line) *line = LineOf(m_Line);
}

BOOL CCurveTangentLinePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedCurve* curve = CurveOf(m_Curve);
  CGradedPoint* touching = PointOf(m_Point);
  CGradedLine* line = LineOf(m_Line);
  if (!curve || !touching || !line) return FALSE;
  Tangent tangent;
  if (!FindTangent(*curve, *touching, GetOwner(), size, tangent)) {
    Write(tangent.touching, x, y);
    return FALSE;
  }
  // As with the other kinds built on a line, the line's own result is not
  // looked at: its through points hand out the positions their sizes hold.
  CPoint s1, s2;
  line->GetThroughPoints(size, &s1, &s2);
  CPoint crossing;
  const int code = IntersectLineSegmentPt(tangent.a, tangent.b, tangent.c, s1.x, s1.y, s2.x, s2.y, &crossing);
  if (code != 1 && code != 2) return HoldBaseSizeResult(*this, size, x, y);
  Write(crossing, x, y);
  return TRUE;
}

BOOL CCurveTangentLinePoint::UsesLine(const CGradedLine* line) const {
  return line && line == m_Line.object ? TRUE : FALSE;
}

BOOL CCurveTangentLinePoint::IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x,
                                                int32_t y) {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  CPoint here;
  GetPoint(owner->GetBaseSize(), &here);
  if (here != CPoint(x, y)) return FALSE;
  const auto* lineA = dynamic_cast<const CGradedLine*>(a);
  const auto* lineB = dynamic_cast<const CGradedLine*>(b);
  if (!lineA || !lineB || !m_Line.object) return FALSE;
  if (lineA == m_Line.object && lineB->IsThrough(this, m_Point.object)) return TRUE;
  if (lineB == m_Line.object && lineA->IsThrough(this, m_Point.object)) return TRUE;
  return FALSE;
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

CCurveTangentDistancePoint::CCurveTangentDistancePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve,
                                                       CGradedPoint* point, int32_t direction, CFormula distance)
    : CCurveTangentDistancePoint(owner, status) {
  SetRefs(curve, point, direction, std::move(distance));
}

void CCurveTangentDistancePoint::SetRefs(CGradedCurve* curve, CGradedPoint* point, int32_t direction,
                                         CFormula distance) {
  m_Curve.object = curve;
  m_Point.object = point;
  m_Direction = direction;
  m_Distance = std::move(distance);
  RecalcAll();
}

void CCurveTangentDistancePoint::GetRefs(CGradedCurve** curve, CGradedPoint** point, int32_t* direction,
                                         CFormula* distance) const {
  if (curve) *curve = CurveOf(m_Curve);
  if (point) *point = PointOf(m_Point);
  if (direction) *direction = m_Direction;
  if (distance) *distance = m_Distance;
}

void CCurveTangentDistancePoint::SetDistance(CFormula distance) {
  m_Distance = std::move(distance);
  Invalidate(-1);
}

void CCurveTangentDistancePoint::SetLabel(const CDimLabel& label) { m_Label.CopyFrom(label); }

BOOL CCurveTangentDistancePoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedCurve* curve = CurveOf(m_Curve);
  CGradedPoint* touching = PointOf(m_Point);
  if (!curve || !touching) return FALSE;
  Tangent tangent;
  const bool hasTangent = FindTangent(*curve, *touching, GetOwner(), size, tangent);
  const CPoint p = tangent.touching;
  Write(p, x, y);
  if (!hasTangent) return TRUE;
  const double distance = static_cast<double>(m_Distance.Evaluate(size));
  CPoint q1, q2;
  const int code = IntersectLineCircle(tangent.a, tangent.b, tangent.c, p.x, p.y, std::fabs(distance), &q1, &q2);
  if (code == 0) return TRUE;
  if (code == 1) {
    Write(q1, x, y);
    return TRUE;
  }
  // Two candidates, one either side of the touching point: the touching
  // point moved by the signed distance along the curve's direction there
  // (ahead) or against it (behind) tells them apart. A neighbour that could
  // not be had, or that is the touching point, lends its direction to the
  // other side.
  const bool aheadFromAfter = (!tangent.hasBefore && tangent.hasAfter && tangent.after != p) || tangent.before == p;
  const bool behindFromBefore = (!tangent.hasAfter && tangent.hasBefore && tangent.before != p) || tangent.after == p;
  const CPoint guideAhead =
      aheadFromAfter ? MovedAlong(p, p, tangent.after, distance) : MovedAlong(p, tangent.before, p, distance);
  const CPoint guideBehind =
      behindFromBefore ? MovedAlong(p, p, tangent.before, distance) : MovedAlong(p, tangent.after, p, distance);
  const CPoint guide = m_Direction == kTangentBehind ? guideBehind : guideAhead;
  const int d1 = PointDistance(q1.x, q1.y, guide.x, guide.y);
  const int d2 = PointDistance(q2.x, q2.y, guide.x, guide.y);
  Write(d2 < d1 ? q2 : q1, x, y);
  return TRUE;
}

void CCurveTangentDistancePoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, PointOf(m_Point))); }

void CCurveTangentDistancePoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_Label) m_Distance = value;
}

CFormula CCurveTangentDistancePoint::GetFormula(CDimLabel*) const { return m_Distance; }

void CCurveTangentDistancePoint::GetLabelText(CDimLabel*, CString& text, CPoint* from, CPoint* to) const {
  if (!from || !to) return;
  BasePositionOf(PointOf(m_Point), from);
  OwnBasePosition(to);
  text = m_Distance.GetDisplayText(g_UnitMode, g_UnitPrecision);
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

void CCurveTangentCurvePoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CCurveTangentCurvePoint&>(source);
  m_Crossing = from.m_Crossing;
}

void CCurveTangentDistancePoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CCurveTangentDistancePoint&>(source);
  m_Direction = from.m_Direction;
}
