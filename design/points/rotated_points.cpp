#include "design/points/rotated_points.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"

namespace {

template <class Point>
std::unique_ptr<CGradedObject> MakePoint(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

}  // namespace

// ---- Kind 47 ----------------------------------------------------------------

CRotateToDirectionPoint::CRotateToDirectionPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindRotateToDirection, owner, status) {
  DeclareFields({&m_Centre, &m_Point, &m_DirectionPoint});
}

BOOL CRotateToDirectionPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base, /*statusAlways=*/true) || !ReadReference(archive, m_Centre) ||
      !ReadReference(archive, m_Point) || !ReadReference(archive, m_DirectionPoint) ||
      !archive.ReadI32(m_TurnFlag)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Kind 46 ----------------------------------------------------------------

CArcLengthPoint::CArcLengthPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindArcLength, owner, status) {
  m_ArcLength.Reset(owner);
  m_Label.SetLinear(owner, this);
  DeclareFields({&m_Centre, &m_StartPoint}, {&m_ArcLength}, {&m_Label});
}

BOOL CArcLengthPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base, /*statusAlways=*/true) || !ReadReference(archive, m_Centre) ||
      !ReadReference(archive, m_StartPoint) || !archive.ReadI32(m_Direction) ||
      !ReadFormula(archive, m_ArcLength) || !m_Label.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

// ---- Kind 38 ----------------------------------------------------------------

CLinkedPoint::CLinkedPoint(CPatternData* owner, uint16_t status) : CLinkedPoint(owner, status, CPoint()) {}

CLinkedPoint::CLinkedPoint(CPatternData* owner, uint16_t status, int32_t x, int32_t y)
    : CLinkedPoint(owner, status, CPoint(x, y)) {}

CLinkedPoint::CLinkedPoint(CPatternData* owner, uint16_t status, CPoint point)
    : CGradedPoint(kPointKindLinked, owner, status), m_Point(point) {}

void CLinkedPoint::SetPoint(int32_t x, int32_t y) {
  m_Point = CPoint(x, y);
  Invalidate(-1);
}

BOOL CLinkedPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  CPoint point;
  int32_t linkIndex = -1;
  if (!ReadBaseRecord(archive, base) || !archive.ReadI32(point.x) || !archive.ReadI32(point.y) ||
      !archive.ReadI32(linkIndex)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Point = point;
  m_LinkIndex = linkIndex;
  return TRUE;
}

void CLinkedPoint::ResolveIds() {
  const CPatternData* owner = GetOwner();
  SetLink(owner ? ResolveObjectOfKind(*owner, m_LinkIndex, kObjectKindCurve) : nullptr);
}

void RegisterRotatedPoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindLinked, &MakePoint<CLinkedPoint>);
  table.Register(kPointKindArcLength, &MakePoint<CArcLengthPoint>);
  table.Register(kPointKindRotateToDirection, &MakePoint<CRotateToDirectionPoint>);
}
