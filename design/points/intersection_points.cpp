#include "design/points/intersection_points.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/geometry/circles.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"
#include "design/geometry/primitives.h"
#include "design/geometry/segments.h"
#include "model/settings.h"

namespace {

// Whether both referenced objects are there and shown.
bool BothShown(const CGradedObject* a, const CGradedObject* b) {
  return a && b && a->GetState() != 0 && b->GetState() != 0;
}

// Whether the pair {first, second} is {a, b} in either order, with neither
// reference missing.
bool SamePair(const CGradedObject* first, const CGradedObject* second, const CGradedObject* a,
              const CGradedObject* b) {
  if (!first || !second) return false;
  return (first == a && second == b) || (first == b && second == a);
}

int32_t BaseSizeOf(const CGradedPoint& point) { return point.GetOwner() ? point.GetOwner()->GetBaseSize() : 0; }

// The fallback of a graded size whose construction fails: the position the
// point has at the base size, computed through the frame (so that a cycle
// still ends), with the result 0.
BOOL BaseSizeResult(CGradedPoint& point, int32_t* x, int32_t* y) {
  point.CalcPoint(BaseSizeOf(point), x, y);
  return FALSE;
}

// Whether the point is had at the base size at (x, y).
bool LiesAtBaseSize(CGradedPoint& point, int32_t x, int32_t y, bool mustSucceed) {
  if (!point.GetOwner()) return false;
  int32_t px = 0;
  int32_t py = 0;
  const BOOL result = point.CalcPoint(BaseSizeOf(point), &px, &py);
  if (mustSucceed && !result) return false;
  return px == x && py == y;
}

// The whole polyline of a curve at a size, a closed curve's first point
// repeated at its end so that its closing segment is crossed too.
bool CrossablePolyline(CGradedCurve& curve, int32_t size, PointList& out) {
  if (!curve.GetFullPoints(size, out)) return false;
  if (curve.IsClosed() && !out.empty()) out.push_back(out.front());
  return true;
}

// The crossing a crossing number names: counted from 1, 1 or less the
// first, beyond the count the last. The list must not be empty.
CPoint ChooseCrossing(const PointList& crossings, int32_t number) {
  if (number <= 1) return crossings.front();
  int32_t index = 1;
  for (const CPoint& p : crossings) {
    if (index == number) return p;
    ++index;
  }
  return crossings.back();
}

// The crossing of two unbounded lines, each through its two points: the
// segment codes that give one point (crossing inside or outside the
// segments, collinear ends that meet or are shared) give it.
bool CrossingOfLines(CGradedLine& line1, CGradedLine& line2, int32_t size, CPoint* out) {
  CPoint a1, a2, b1, b2;
  // Each line's own result is not looked at: a through point that is not
  // had still lends the position it holds.
  line1.GetThroughPoints(size, &a1, &a2);
  line2.GetThroughPoints(size, &b1, &b2);
  switch (SegmentIntersectionPt(a1.x, a1.y, a2.x, a2.y, b1.x, b1.y, b2.x, b2.y, out)) {
    case 1:
    case 2:
    case 4:
    case 5:
      return true;
    default:
      return false;
  }
}

// The chosen crossing of the segment between a line's through points with a
// curve at a size; false when either is not had or they do not meet.
bool CrossingOfLineAndCurve(CGradedLine& line, CGradedCurve& curve, int32_t number, int32_t size, CPoint* out) {
  CPoint p1, p2;
  const BOOL hadLine = line.GetThroughPoints(size, &p1, &p2);
  PointList polyline;
  const bool hadCurve = CrossablePolyline(curve, size, polyline);
  if (!hadLine || !hadCurve) return false;
  PointList crossings;
  if (IntersectSegmentPolyline(p1.x, p1.y, p2.x, p2.y, polyline, &crossings) < 1 || crossings.empty()) return false;
  *out = ChooseCrossing(crossings, number);
  return true;
}

// The chosen crossing of two whole curves at a size.
bool CrossingOfCurves(CGradedCurve& curve1, CGradedCurve& curve2, int32_t number, int32_t size, CPoint* out) {
  PointList first, second;
  const bool hadFirst = CrossablePolyline(curve1, size, first);
  const bool hadSecond = CrossablePolyline(curve2, size, second);
  if (!hadFirst || !hadSecond) return false;
  PointList crossings;
  if (IntersectPolylines(first, second, &crossings) < 1 || crossings.empty()) return false;
  *out = ChooseCrossing(crossings, number);
  return true;
}

// What kinds 11 and 12 give at a size: the crossing there, else (result 0) the
// crossing of the base size when there is one, else the cached position.
template <class Crossing>
BOOL CrossingOrBaseSize(const CGradedPoint& point, int32_t size, int32_t* x, int32_t* y, Crossing crossing) {
  CPoint at;
  if (crossing(size, &at)) {
    *x = at.x;
    *y = at.y;
    return TRUE;
  }
  const int32_t base = BaseSizeOf(point);
  if (size != base && crossing(base, &at)) {
    *x = at.x;
    *y = at.y;
  }
  return FALSE;
}

template <class Point>
void RegisterKind(int32_t kind) {
  GetPointKindFactory().Register(kind, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<Point>(owner, 0);
  });
}

}  // namespace

// ---- Two two-point lines -------------------------------------------------------

CLineIntersectPoint::CLineIntersectPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindLineIntersect, owner, status) {
  DeclareFields({&m_Line1, &m_Line2});
}

CLineIntersectPoint::CLineIntersectPoint(CPatternData* owner, uint16_t status, CGradedLine* line1,
                                         CGradedLine* line2)
    : CLineIntersectPoint(owner, status) {
  SetLines(line1, line2);
}

void CLineIntersectPoint::SetLines(CGradedLine* line1, CGradedLine* line2) {
  m_Line1.object = line1;
  m_Line2.object = line2;
  RecalcAll();
}

void CLineIntersectPoint::GetLines(CGradedLine** line1, CGradedLine** line2) const {
  if (line1) *line1 = LineOf(m_Line1);
  if (line2) *line2 = LineOf(m_Line2);
}

BOOL CLineIntersectPoint::UsesLine(const CGradedLine* line) const {
  return line && (line == m_Line1.object || line == m_Line2.object) ? TRUE : FALSE;
}

BOOL CLineIntersectPoint::IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y) {
  if (!SamePair(m_Line1.object, m_Line2.object, a, b)) return FALSE;
  return LiesAtBaseSize(*this, x, y, false) ? TRUE : FALSE;
}

BOOL CLineIntersectPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedLine* line1 = LineOf(m_Line1);
  CGradedLine* line2 = LineOf(m_Line2);
  if (!line1 || !line2) return FALSE;
  CPoint crossing;
  if (CrossingOfLines(*line1, *line2, size, &crossing)) {
    *x = crossing.x;
    *y = crossing.y;
    return TRUE;
  }
  // Lines that run parallel at a graded size keep where they cross at the
  // base size. The base size is crossed directly, not through this point's
  // cache.
  const int32_t base = BaseSizeOf(*this);
  if (size != base && CrossingOfLines(*line1, *line2, base, &crossing)) {
    *x = crossing.x;
    *y = crossing.y;
  }
  return FALSE;
}

BOOL CLineIntersectPoint::IsDefined() const {
  return GetState() != 0 || BothShown(GetLine1(), GetLine2()) ? TRUE : FALSE;
}

BOOL CLineIntersectPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Line1) || !ReadReference(archive, m_Line2)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Two circles ------------------------------------------------------------------

CCircleIntersectPoint::CCircleIntersectPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCircleIntersect, owner, status) {
  m_Radius1.Reset(owner);
  m_Radius2.Reset(owner);
  DeclareFields({&m_Point1, &m_Point2}, {&m_Radius1, &m_Radius2});
}

CCircleIntersectPoint::CCircleIntersectPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1,
                                             const CFormula& radius1, CGradedPoint* point2,
                                             const CFormula& radius2, int32_t side)
    : CCircleIntersectPoint(owner, status) {
  SetDefinition(point1, radius1, point2, radius2, side);
}

void CCircleIntersectPoint::SetDefinition(CGradedPoint* point1, const CFormula& radius1, CGradedPoint* point2,
                                          const CFormula& radius2, int32_t side) {
  m_Point1.object = point1;
  m_Radius1 = radius1;
  m_Point2.object = point2;
  m_Radius2 = radius2;
  m_Side = side;
  RecalcAll();
}

void CCircleIntersectPoint::GetDefinition(CGradedPoint** point1, CFormula* radius1, CGradedPoint** point2,
                                          CFormula* radius2, int32_t* side) const {
  if (point1) *point1 = PointOf(m_Point1);
  if (radius1) *radius1 = m_Radius1;
  if (point2) *point2 = PointOf(m_Point2);
  if (radius2) *radius2 = m_Radius2;
  if (side) *side = m_Side;
}

BOOL CCircleIntersectPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* point1 = PointOf(m_Point1);
  CGradedPoint* point2 = PointOf(m_Point2);
  if (!point1 || !point2) return FALSE;
  const int32_t base = BaseSizeOf(*this);
  CPoint a;
  CPoint b;
  const BOOL hadA = PositionOf(point1, size, &a);
  const int32_t r1 = m_Radius1.Evaluate(size);
  // The second point is asked only once the first is had; without the first
  // there are no circles to cross. A second point that fails still lends
  // the position it holds.
  if (hadA) PositionOf(point2, size, &b);
  const int32_t r2 = m_Radius2.Evaluate(size);
  if (!hadA) return size != base ? BaseSizeResult(*this, x, y) : FALSE;

  CPoint q1;
  CPoint q2;
  const int crossings = IntersectCirclesPt(a.x, a.y, r1, b.x, b.y, r2, &q1, &q2);
  if (crossings >= 1) {
    // Side 0 takes the crossing on the right of the way from the first point
    // to the second, side 1 the one on its left; a touching point serves
    // both.
    const bool firstOnRight = crossings >= 2 && IsPointRightOfLine(q1.x, q1.y, a.x, a.y, b.x, b.y);
    const CPoint* chosen = nullptr;
    if (m_Side == 0) chosen = crossings < 2 || firstOnRight ? &q1 : &q2;
    if (m_Side == 1) chosen = crossings < 2 || !firstOnRight ? &q1 : &q2;
    if (chosen) {
      *x = chosen->x;
      *y = chosen->y;
    }
    return TRUE;
  }
  if (size == base) {
    // Circles that miss each other at the base size: the midpoint of their
    // centres, rounded half away from zero.
    *x = RoundToNearest((static_cast<double>(a.x) + b.x) / 2.0);
    *y = RoundToNearest((static_cast<double>(a.y) + b.y) / 2.0);
    return TRUE;
  }
  return BaseSizeResult(*this, x, y);
}

BOOL CCircleIntersectPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Point1) || !ReadFormula(archive, m_Radius1) ||
      !ReadReference(archive, m_Point2) || !ReadFormula(archive, m_Radius2) || !archive.ReadI32(m_Side)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- A two-point line and a curve ----------------------------------------------

CLineCurveIntersectPoint::CLineCurveIntersectPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindLineCurveIntersect, owner, status) {
  DeclareFields({&m_Line, &m_Curve});
}

CLineCurveIntersectPoint::CLineCurveIntersectPoint(CPatternData* owner, uint16_t status, CGradedLine* line,
                                                   CGradedCurve* curve, int32_t crossing)
    : CLineCurveIntersectPoint(owner, status) {
  SetParams(line, curve, crossing);
}

void CLineCurveIntersectPoint::SetParams(CGradedLine* line, CGradedCurve* curve, int32_t crossing) {
  m_Line.object = line;
  m_Curve.object = curve;
  m_Crossing = crossing;
  RecalcAll();
}

void CLineCurveIntersectPoint::GetParams(CGradedLine** line, CGradedCurve** curve, int32_t* crossing) const {
  if (line) *line = LineOf(m_Line);
  if (curve) *curve = CurveOf(m_Curve);
  if (crossing) *crossing = m_Crossing;
}

BOOL CLineCurveIntersectPoint::UsesLine(const CGradedLine* line) const {
  return line && line == m_Line.object ? TRUE : FALSE;
}

BOOL CLineCurveIntersectPoint::UsesCurve(const CGradedCurve* curve) const {
  return curve && curve == m_Curve.object ? TRUE : FALSE;
}

BOOL CLineCurveIntersectPoint::IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x,
                                                  int32_t y) {
  if (!SamePair(m_Line.object, m_Curve.object, a, b)) return FALSE;
  return LiesAtBaseSize(*this, x, y, true) ? TRUE : FALSE;
}

BOOL CLineCurveIntersectPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedLine* line = LineOf(m_Line);
  CGradedCurve* curve = CurveOf(m_Curve);
  if (!line || !curve) return FALSE;
  return CrossingOrBaseSize(*this, size, x, y, [&](int32_t at, CPoint* out) {
    return CrossingOfLineAndCurve(*line, *curve, m_Crossing, at, out);
  });
}

BOOL CLineCurveIntersectPoint::IsDefined() const {
  return GetState() != 0 || BothShown(GetLine(), GetCurve()) ? TRUE : FALSE;
}

BOOL CLineCurveIntersectPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Line) || !ReadReference(archive, m_Curve) ||
      !archive.ReadI32(m_Crossing)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Two curves -----------------------------------------------------------------

CCurveIntersectPoint::CCurveIntersectPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveIntersect, owner, status) {
  DeclareFields({&m_Curve1, &m_Curve2});
}

CCurveIntersectPoint::CCurveIntersectPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve1,
                                           CGradedCurve* curve2, int32_t crossing)
    : CCurveIntersectPoint(owner, status) {
  SetParams(curve1, curve2, crossing);
}

void CCurveIntersectPoint::SetParams(CGradedCurve* curve1, CGradedCurve* curve2, int32_t crossing) {
  m_Curve1.object = curve1;
  m_Curve2.object = curve2;
  m_Crossing = crossing;
  RecalcAll();
}

void CCurveIntersectPoint::GetParams(CGradedCurve** curve1, CGradedCurve** curve2, int32_t* crossing) const {
  if (curve1) *curve1 = CurveOf(m_Curve1);
  if (curve2) *curve2 = CurveOf(m_Curve2);
  if (crossing) *crossing = m_Crossing;
}

BOOL CCurveIntersectPoint::UsesCurve(const CGradedCurve* curve) const {
  return curve && (curve == m_Curve1.object || curve == m_Curve2.object) ? TRUE : FALSE;
}

BOOL CCurveIntersectPoint::IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x,
                                              int32_t y) {
  if (!SamePair(m_Curve1.object, m_Curve2.object, a, b)) return FALSE;
  return LiesAtBaseSize(*this, x, y, true) ? TRUE : FALSE;
}

BOOL CCurveIntersectPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedCurve* curve1 = CurveOf(m_Curve1);
  CGradedCurve* curve2 = CurveOf(m_Curve2);
  if (!curve1 || !curve2) return FALSE;
  return CrossingOrBaseSize(*this, size, x, y, [&](int32_t at, CPoint* out) {
    return CrossingOfCurves(*curve1, *curve2, m_Crossing, at, out);
  });
}

BOOL CCurveIntersectPoint::IsDefined() const {
  return GetState() != 0 || BothShown(GetCurve1(), GetCurve2()) ? TRUE : FALSE;
}

BOOL CCurveIntersectPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Curve1) || !ReadReference(archive, m_Curve2) ||
      !archive.ReadI32(m_Crossing)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Foot of a perpendicular ---------------------------------------------------

CPerpendicularFootPoint::CPerpendicularFootPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindPerpendicularFoot, owner, status) {
  DeclareFields({&m_Point, &m_LinePoint1, &m_LinePoint2});
}

CPerpendicularFootPoint::CPerpendicularFootPoint(CPatternData* owner, uint16_t status, CGradedPoint* point,
                                                 CGradedPoint* linePoint1, CGradedPoint* linePoint2)
    : CPerpendicularFootPoint(owner, status) {
  SetParams(point, linePoint1, linePoint2);
}

void CPerpendicularFootPoint::SetParams(CGradedPoint* point, CGradedPoint* linePoint1, CGradedPoint* linePoint2) {
  m_Point.object = point;
  m_LinePoint1.object = linePoint1;
  m_LinePoint2.object = linePoint2;
  RecalcAll();
}

void CPerpendicularFootPoint::GetParams(CGradedPoint** point, CGradedPoint** linePoint1,
                                        CGradedPoint** linePoint2) const {
  if (point) *point = PointOf(m_Point);
  if (linePoint1) *linePoint1 = PointOf(m_LinePoint1);
  if (linePoint2) *linePoint2 = PointOf(m_LinePoint2);
}

BOOL CPerpendicularFootPoint::UsesLine(const CGradedLine* line) const { return LineHoldsPair(line); }

BOOL CPerpendicularFootPoint::GetLinePair(const CGradedObject** first, const CGradedObject** second) const {
  *first = m_LinePoint1.object;
  *second = m_LinePoint2.object;
  return TRUE;
}

BOOL CPerpendicularFootPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* point = PointOf(m_Point);
  CGradedPoint* linePoint1 = PointOf(m_LinePoint1);
  CGradedPoint* linePoint2 = PointOf(m_LinePoint2);
  if (!point || !linePoint1 || !linePoint2) return FALSE;
  CPoint p, l1, l2;
  // Every point is asked, so each is computed whatever the others give.
  const BOOL hadP = PositionOf(point, size, &p);
  const BOOL hadL1 = PositionOf(linePoint1, size, &l1);
  const BOOL hadL2 = PositionOf(linePoint2, size, &l2);
  const CPoint foot = ProjectPointOntoLine2P(p.x, p.y, l1.x, l1.y, l2.x, l2.y);
  *x = foot.x;
  *y = foot.y;
  return hadP && hadL1 && hadL2 ? TRUE : FALSE;
}

BOOL CPerpendicularFootPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Point) || !ReadReference(archive, m_LinePoint1) ||
      !ReadReference(archive, m_LinePoint2)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- A two-point line and a circle ---------------------------------------------

CLineCircleIntersectPoint::CLineCircleIntersectPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindLineCircleIntersect, owner, status) {
  m_Radius.Reset(owner);
  m_RadiusLabel.SetLinear(owner, this);
  DeclareFields({&m_Centre, &m_Line}, {&m_Radius}, {&m_RadiusLabel});
}

CLineCircleIntersectPoint::CLineCircleIntersectPoint(CPatternData* owner, uint16_t status, CGradedPoint* centre,
                                                     CGradedLine* line, const CFormula& radius, int32_t choice)
    : CLineCircleIntersectPoint(owner, status) {
  SetParams(centre, line, radius, choice);
}

void CLineCircleIntersectPoint::SetParams(CGradedPoint* centre, CGradedLine* line, const CFormula& radius,
                                          int32_t choice) {
  m_Centre.object = centre;
  m_Line.object = line;
  m_Radius = radius;
  m_Choice = choice;
  RecalcAll();
}

void CLineCircleIntersectPoint::GetParams(CGradedPoint** centre, CGradedLine** line, CFormula* radius,
                                          int32_t* choice) const {
  if (centre) *centre = PointOf(m_Centre);
  if (line) *line = LineOf(m_Line);
  if (radius) *radius = m_Radius;
  if (choice) *choice = m_Choice;
}

void CLineCircleIntersectPoint::SetRadius(const CFormula& radius) {
  m_Radius = radius;
  Invalidate(-1);
}

BOOL CLineCircleIntersectPoint::UsesLine(const CGradedLine* line) const {
  return line && line == m_Line.object ? TRUE : FALSE;
}

BOOL CLineCircleIntersectPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* centre = PointOf(m_Centre);
  CGradedLine* line = LineOf(m_Line);
  if (!centre || !line) return FALSE;
  const int32_t base = BaseSizeOf(*this);
  CPoint c, l1, l2;
  const BOOL hadCentre = PositionOf(centre, size, &c);
  const BOOL hadLine = line->GetThroughPoints(size, &l1, &l2);
  const int32_t r = m_Radius.Evaluate(size);
  CPoint q1, q2;
  const int crossings = IntersectLine2PCirclePt(l1.x, l1.y, l2.x, l2.y, c.x, c.y, r, &q1, &q2);
  BOOL result = FALSE;
  if (crossings < 1) {
    // A line that misses the circle at the base size still gives a point:
    // its first through point.
    if (size == base) {
      *x = l1.x;
      *y = l1.y;
      return TRUE;
    }
  } else {
    const CPoint* chosen = nullptr;
    if (m_Choice == kFirstCrossing) chosen = &q1;
    if (m_Choice == kSecondCrossing) chosen = crossings == 2 ? &q2 : &q1;
    if (chosen) {
      *x = chosen->x;
      *y = chosen->y;
    }
    result = hadCentre && hadLine ? TRUE : FALSE;
  }
  if (!result && size != base) return BaseSizeResult(*this, x, y);
  return result;
}

void CLineCircleIntersectPoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, GetCentre())); }

void CLineCircleIntersectPoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_RadiusLabel) m_Radius = value;
}

CFormula CLineCircleIntersectPoint::GetFormula(CDimLabel*) const { return m_Radius; }

void CLineCircleIntersectPoint::GetLabelText(CDimLabel*, CString& text, CPoint* from, CPoint* to) const {
  if (!from || !to) return;
  BasePositionOf(GetCentre(), from);
  OwnBasePosition(to);
  text = m_Radius.GetDisplayText(g_UnitMode, g_UnitPrecision);
}

BOOL CLineCircleIntersectPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Centre) || !ReadReference(archive, m_Line) ||
      !ReadFormula(archive, m_Radius) || !archive.ReadI32(m_Choice) || !m_RadiusLabel.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Two axis-parallel lines ---------------------------------------------------

CAxisLinesIntersectPoint::CAxisLinesIntersectPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindAxisLinesIntersect, owner, status) {
  DeclareFields({&m_Point1, &m_Point2});
}

CAxisLinesIntersectPoint::CAxisLinesIntersectPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1,
                                                   int32_t flag1, CGradedPoint* point2, int32_t flag2)
    : CAxisLinesIntersectPoint(owner, status) {
  SetParams(point1, flag1, point2, flag2);
}

void CAxisLinesIntersectPoint::SetParams(CGradedPoint* point1, int32_t flag1, CGradedPoint* point2, int32_t flag2) {
  m_Point1.object = point1;
  m_Flag1 = flag1;
  m_Point2.object = point2;
  m_Flag2 = flag2;
  RecalcAll();
}

void CAxisLinesIntersectPoint::GetParams(CGradedPoint** point1, int32_t* flag1, CGradedPoint** point2,
                                         int32_t* flag2) const {
  if (point1) *point1 = PointOf(m_Point1);
  if (flag1) *flag1 = m_Flag1;
  if (point2) *point2 = PointOf(m_Point2);
  if (flag2) *flag2 = m_Flag2;
}

BOOL CAxisLinesIntersectPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CPoint p1, p2;
  if (!PositionOf(PointOf(m_Point1), size, &p1) || !PositionOf(PointOf(m_Point2), size, &p2)) return FALSE;
  // The vertical line x = p.x is 1 x + 0 y - p.x = 0, the horizontal one
  // 0 x + 1 y - p.y = 0.
  auto axisLine = [](CPoint p, int32_t flag, double* a, double* b, double* c) {
    const bool vertical = flag == kVerticalLine;
    *a = vertical ? 1.0 : 0.0;
    *b = vertical ? 0.0 : 1.0;
    *c = vertical ? -static_cast<double>(p.x) : -static_cast<double>(p.y);
  };
  double a1, b1, c1, a2, b2, c2;
  axisLine(p1, m_Flag1, &a1, &b1, &c1);
  axisLine(p2, m_Flag2, &a2, &b2, &c2);
  int cx = 0;
  int cy = 0;
  if (IntersectLinesInt(a1, b1, c1, a2, b2, c2, &cx, &cy) != 1) return FALSE;
  *x = cx;
  *y = cy;
  return TRUE;
}

BOOL CAxisLinesIntersectPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Point1) || !archive.ReadI32(m_Flag1) ||
      !ReadReference(archive, m_Point2) || !archive.ReadI32(m_Flag2)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

void RegisterIntersectionPoints() {
  RegisterKind<CLineIntersectPoint>(kPointKindLineIntersect);
  RegisterKind<CCircleIntersectPoint>(kPointKindCircleIntersect);
  RegisterKind<CLineCurveIntersectPoint>(kPointKindLineCurveIntersect);
  RegisterKind<CCurveIntersectPoint>(kPointKindCurveIntersect);
  RegisterKind<CPerpendicularFootPoint>(kPointKindPerpendicularFoot);
  RegisterKind<CLineCircleIntersectPoint>(kPointKindLineCircleIntersect);
  RegisterKind<CAxisLinesIntersectPoint>(kPointKindAxisLinesIntersect);
}

void CCircleIntersectPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CCircleIntersectPoint&>(source);
  m_Side = from.m_Side;
}

void CLineCurveIntersectPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CLineCurveIntersectPoint&>(source);
  m_Crossing = from.m_Crossing;
}

void CCurveIntersectPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CCurveIntersectPoint&>(source);
  m_Crossing = from.m_Crossing;
}

void CLineCircleIntersectPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CLineCircleIntersectPoint&>(source);
  m_Choice = from.m_Choice;
}

void CAxisLinesIntersectPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CAxisLinesIntersectPoint&>(source);
  m_Flag1 = from.m_Flag1;
  m_Flag2 = from.m_Flag2;
}
