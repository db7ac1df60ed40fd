#include "design/points/intersection_points.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"

namespace {

// Whether both referenced objects are there and shown.
bool BothShown(const CGradedObject* a, const CGradedObject* b) {
  return a && b && a->GetState() != 0 && b->GetState() != 0;
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
