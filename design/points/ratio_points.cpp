#include "design/points/ratio_points.h"

#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/geometry/primitives.h"
#include "design/points/curve_direction.h"
#include "platform/numbers.h"

namespace {

// from + the rounded offset, kept in the int32 range: the positions and the
// ratio come from files, and a huge ratio must not wrap a coordinate (the
// point's bound test then reports it).
int32_t AddRounded(int32_t from, double offset) {
  return SaturateToInt32(static_cast<int64_t>(from) + RoundToNearest(offset));
}

}  // namespace

BOOL PointRatio::Read(ArchiveReader& archive) {
  uint32_t flag = 0;
  if (!archive.ReadI32(parts) || !archive.ReadI32(part) || !archive.ReadDouble(ratio) || !archive.ReadU32(flag)) {
    return FALSE;
  }
  fraction = static_cast<int32_t>(flag);
  return TRUE;
}

double PointRatio::InForce() const {
  if (!fraction) return ratio;
  if (parts > 0 && part >= 0 && part <= parts) return static_cast<double>(part) / static_cast<double>(parts);
  return 0.0;
}

void PointRatio::SetFraction(int32_t newParts, int32_t newPart) {
  parts = newParts;
  part = newPart;
  fraction = 1;
}

void PointRatio::SetRatio(double newRatio) {
  ratio = newRatio;
  fraction = 0;
}

// ---- Kind 3 -------------------------------------------------------------------

CSegmentRatioPoint::CSegmentRatioPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindSegmentRatio, owner, status) {
  m_Label.SetDivision(owner, this);
  DeclareFields({&m_Point1, &m_Point2}, {}, {&m_Label});
}

BOOL CSegmentRatioPoint::Load(ArchiveReader& archive) {
  // Everything is read before anything is stored, so a short record leaves
  // the point untouched.
  BaseRecord base;
  Reference point1 = m_Point1;
  Reference point2 = m_Point2;
  PointRatio ratio;
  CDimLabel label = m_Label;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, point1) || !ReadReference(archive, point2) ||
      !ratio.Read(archive) || !label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Point1 = point1;
  m_Point2 = point2;
  m_Ratio = ratio;
  m_Label = label;
  return TRUE;
}

CSegmentRatioPoint::CSegmentRatioPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1,
                                       CGradedPoint* point2, int32_t parts, int32_t part)
    : CSegmentRatioPoint(owner, status) {
  SetParamsFraction(point1, point2, parts, part);
}

CSegmentRatioPoint::CSegmentRatioPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1,
                                       CGradedPoint* point2, double ratio)
    : CSegmentRatioPoint(owner, status) {
  SetParamsRatio(point1, point2, ratio);
}

void CSegmentRatioPoint::SetParamsFraction(CGradedPoint* point1, CGradedPoint* point2, int32_t parts,
                                           int32_t part) {
  m_Point1.object = point1;
  m_Point2.object = point2;
  m_Ratio.SetFraction(parts, part);
  RecalcAll();
}

void CSegmentRatioPoint::SetParamsRatio(CGradedPoint* point1, CGradedPoint* point2, double ratio) {
  m_Point1.object = point1;
  m_Point2.object = point2;
  m_Ratio.SetRatio(ratio);
  RecalcAll();
}

void CSegmentRatioPoint::SetFraction(int32_t parts, int32_t part) {
  m_Ratio.SetFraction(parts, part);
  Invalidate(-1);
}

void CSegmentRatioPoint::SetRatio(double ratio) {
  m_Ratio.SetRatio(ratio);
  m_Label.SetVisible(0);
  Invalidate(-1);
}

void CSegmentRatioPoint::GetParams(CGradedPoint** point1, CGradedPoint** point2, int32_t* parts, int32_t* part,
                                   double* ratio, int32_t* fraction) const {
  GetPoints(point1, point2);
  GetFraction(parts, part);
  if (ratio) *ratio = m_Ratio.ratio;
  if (fraction) *fraction = m_Ratio.fraction;
}

BOOL CSegmentRatioPoint::UsesLine(const CGradedLine* line) const { return LineHoldsPair(line); }

BOOL CSegmentRatioPoint::GetLinePair(const CGradedObject** first, const CGradedObject** second) const {
  *first = m_Point1.object;
  *second = m_Point2.object;
  return TRUE;
}

BOOL CSegmentRatioPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* point1 = PointOf(m_Point1);
  CGradedPoint* point2 = PointOf(m_Point2);
  if (!point1 || !point2) return FALSE;
  CPoint p1, p2;
  if (!point1->GetPoint(size, &p1)) {
    // Without point 1 there is no segment; the point stays with it.
    *x = p1.x;
    *y = p1.y;
    return FALSE;
  }
  const BOOL result = point2->GetPoint(size, &p2);
  const double t = m_Ratio.InForce();
  *x = AddRounded(p1.x, (static_cast<double>(p2.x) - p1.x) * t);
  *y = AddRounded(p1.y, (static_cast<double>(p2.y) - p1.y) * t);
  return result;
}

void CSegmentRatioPoint::GetPoints(CGradedPoint** point1, CGradedPoint** point2) const {
  if (point1) *point1 = GetPoint1();
  if (point2) *point2 = GetPoint2();
}

void CSegmentRatioPoint::GetFraction(int32_t* parts, int32_t* part) const {
  if (parts) *parts = m_Ratio.parts;
  if (part) *part = m_Ratio.part;
}

void CSegmentRatioPoint::SetLabelVisible(BOOL show) {
  ShowLabels(m_Ratio.fraction ? MayShowLabels(show, GetPoint1()) : FALSE);
}

BOOL CSegmentRatioPoint::HitLabel(int32_t, int32_t, CDimLabel**) { return FALSE; }

void CSegmentRatioPoint::GetRatioSpan(CDimLabel*, double* parts, CPoint* from, CPoint* to) const {
  if (!parts || !from || !to) return;
  *parts = m_Ratio.parts;
  BasePositionOf(GetPoint1(), from);
  BasePositionOf(GetPoint2(), to);
}

// ---- Kind 4 -------------------------------------------------------------------

CLineRatioPoint::CLineRatioPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindLineRatio, owner, status) {
  m_Label.SetDivision(owner, this);
  DeclareFields({&m_Line, &m_StartPoint}, {}, {&m_Label});
}

BOOL CLineRatioPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  Reference line = m_Line;
  Reference start = m_StartPoint;
  PointRatio ratio;
  CDimLabel label = m_Label;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, line) || !ReadReference(archive, start) ||
      !ratio.Read(archive) || !label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Line = line;
  m_StartPoint = start;
  m_Ratio = ratio;
  m_Label = label;
  return TRUE;
}

void CLineRatioPoint::GetFraction(int32_t* parts, int32_t* part) const {
  if (parts) *parts = m_Ratio.parts;
  if (part) *part = m_Ratio.part;
}

CLineRatioPoint::CLineRatioPoint(CPatternData* owner, uint16_t status, CGradedLine* line, CGradedPoint* start,
                                 int32_t parts, int32_t part)
    : CLineRatioPoint(owner, status) {
  SetParamsFraction(line, start, parts, part);
}

CLineRatioPoint::CLineRatioPoint(CPatternData* owner, uint16_t status, CGradedLine* line, CGradedPoint* start,
                                 double ratio)
    : CLineRatioPoint(owner, status) {
  SetParamsRatio(line, start, ratio);
}

void CLineRatioPoint::SetParamsFraction(CGradedLine* line, CGradedPoint* start, int32_t parts, int32_t part) {
  m_Line.object = line;
  m_StartPoint.object = start;
  m_Ratio.SetFraction(parts, part);
  RecalcAll();
}

void CLineRatioPoint::SetParamsRatio(CGradedLine* line, CGradedPoint* start, double ratio) {
  m_Line.object = line;
  m_StartPoint.object = start;
  m_Ratio.SetRatio(ratio);
  RecalcAll();
}

void CLineRatioPoint::SetFraction(int32_t parts, int32_t part) {
  m_Ratio.SetFraction(parts, part);
  Invalidate(-1);
}

void CLineRatioPoint::SetRatio(double ratio) {
  m_Ratio.SetRatio(ratio);
  m_Label.SetVisible(0);
  Invalidate(-1);
}

void CLineRatioPoint::GetParams(CGradedLine** line, CGradedPoint** start, int32_t* parts, int32_t* part,
                                double* ratio, int32_t* fraction) const {
  if (line) *line = LineOf(m_Line);
  if (start) *start = GetStartPoint();
  GetFraction(parts, part);
  if (ratio) *ratio = m_Ratio.ratio;
  if (fraction) *fraction = m_Ratio.fraction;
}

BOOL CLineRatioPoint::UsesLine(const CGradedLine* line) const { return line && m_Line.object == line; }

BOOL CLineRatioPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedLine* line = LineOf(m_Line);
  CGradedPoint* start = PointOf(m_StartPoint);
  if (!line || !start) return FALSE;
  return line->PointAtRatio(size, start, m_Ratio.InForce(), x, y);
}

void CLineRatioPoint::SetLabelVisible(BOOL show) {
  ShowLabels(m_Ratio.fraction ? MayShowLabels(show, GetStartPoint()) : FALSE);
}

BOOL CLineRatioPoint::HitLabel(int32_t, int32_t, CDimLabel**) { return FALSE; }

void CLineRatioPoint::GetRatioSpan(CDimLabel*, double* parts, CPoint* from, CPoint* to) const {
  if (!parts || !from || !to) return;
  *parts = m_Ratio.parts;
  const CGradedLine* line = LineOf(m_Line);
  if (!line) return;
  CGradedPoint* a = nullptr;
  CGradedPoint* b = nullptr;
  line->GetThroughRefs(&a, &b);
  // The division runs from the start point, whichever through point it is.
  if (a != GetStartPoint()) std::swap(a, b);
  BasePositionOf(a, from);
  BasePositionOf(b, to);
}

// ---- Kind 5 -------------------------------------------------------------------

CCurveRatioPoint::CCurveRatioPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindCurveRatio, owner, status) {
  DeclareFields({&m_Curve, &m_StartPoint});
}

BOOL CCurveRatioPoint::Load(ArchiveReader& archive) {
  // The direction flag leads the record where it is stored; older files
  // keep the default until the curve's definition is consulted.
  BaseRecord base;
  int32_t direction = m_Direction;
  Reference curve = m_Curve;
  Reference start = m_StartPoint;
  PointRatio ratio;
  if (!ReadBaseRecord(archive, base) || !ReadCurveDirection(archive, GetOwner()->GetVersion(), direction) ||
      !ReadReference(archive, curve) || !ReadReference(archive, start) || !ratio.Read(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Direction = direction;
  m_Curve = curve;
  m_StartPoint = start;
  m_Ratio = ratio;
  return TRUE;
}

void CCurveRatioPoint::GetFraction(int32_t* parts, int32_t* part) const {
  if (parts) *parts = m_Ratio.parts;
  if (part) *part = m_Ratio.part;
}

CCurveRatioPoint::CCurveRatioPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* start,
                                   int32_t direction, int32_t parts, int32_t part)
    : CCurveRatioPoint(owner, status) {
  SetParamsFraction(curve, start, direction, parts, part);
}

CCurveRatioPoint::CCurveRatioPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* start,
                                   int32_t direction, double ratio)
    : CCurveRatioPoint(owner, status) {
  SetParamsRatio(curve, start, direction, ratio);
}

void CCurveRatioPoint::SetParamsFraction(CGradedCurve* curve, CGradedPoint* start, int32_t direction,
                                         int32_t parts, int32_t part) {
  m_Curve.object = curve;
  m_StartPoint.object = start;
  m_Direction = direction;
  m_Ratio.SetFraction(parts, part);
  RecalcAll();
}

void CCurveRatioPoint::SetParamsRatio(CGradedCurve* curve, CGradedPoint* start, int32_t direction, double ratio) {
  m_Curve.object = curve;
  m_StartPoint.object = start;
  m_Direction = direction;
  m_Ratio.SetRatio(ratio);
  RecalcAll();
}

void CCurveRatioPoint::SetFraction(int32_t parts, int32_t part) {
  m_Ratio.SetFraction(parts, part);
  Invalidate(-1);
}

void CCurveRatioPoint::SetRatio(double ratio) {
  m_Ratio.SetRatio(ratio);
  Invalidate(-1);
}

void CCurveRatioPoint::GetParams(CGradedCurve** curve, CGradedPoint** start, int32_t* direction, int32_t* parts,
                                 int32_t* part, double* ratio, int32_t* fraction) const {
  if (curve) *curve = CurveOf(m_Curve);
  if (start) *start = GetStartPoint();
  if (direction) *direction = m_Direction;
  GetFraction(parts, part);
  if (ratio) *ratio = m_Ratio.ratio;
  if (fraction) *fraction = m_Ratio.fraction;
}

BOOL CCurveRatioPoint::UsesCurve(const CGradedCurve* curve) const { return curve && m_Curve.object == curve; }

BOOL CCurveRatioPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedCurve* curve = CurveOf(m_Curve);
  CGradedPoint* start = PointOf(m_StartPoint);
  if (!curve || !start) return FALSE;
  return curve->PointAtRatio(size, start, m_Direction, m_Ratio.InForce(), x, y);
}

void CCurveRatioPoint::UpdateDirection() { SetDirectionFromFirstPoint(GetCurve(), GetStartPoint(), m_Direction); }

void RegisterRatioPoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindSegmentRatio, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CSegmentRatioPoint>(owner, 0);
  });
  table.Register(kPointKindLineRatio, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CLineRatioPoint>(owner, 0);
  });
  table.Register(kPointKindCurveRatio, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CCurveRatioPoint>(owner, 0);
  });
}

void CSegmentRatioPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CSegmentRatioPoint&>(source);
  m_Ratio = from.m_Ratio;
}

void CLineRatioPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CLineRatioPoint&>(source);
  m_Ratio = from.m_Ratio;
}

void CCurveRatioPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CCurveRatioPoint&>(source);
  m_Direction = from.m_Direction;
  m_Ratio = from.m_Ratio;
}
