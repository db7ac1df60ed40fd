#include "design/points/ratio_points.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/points/curve_direction.h"

BOOL PointRatio::Read(ArchiveReader& archive) {
  uint32_t flag = 0;
  if (!archive.ReadI32(parts) || !archive.ReadI32(part) || !archive.ReadDouble(ratio) || !archive.ReadU32(flag)) {
    return FALSE;
  }
  fraction = static_cast<int32_t>(flag);
  return TRUE;
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

void CSegmentRatioPoint::GetPoints(CGradedPoint** point1, CGradedPoint** point2) const {
  if (point1) *point1 = GetPoint1();
  if (point2) *point2 = GetPoint2();
}

void CSegmentRatioPoint::GetFraction(int32_t* parts, int32_t* part) const {
  if (parts) *parts = m_Ratio.parts;
  if (part) *part = m_Ratio.part;
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
