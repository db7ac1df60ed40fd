#include "design/points/free_point.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"

CFreePointBase::CFreePointBase(int32_t kind, CPatternData* owner, uint16_t status, CPoint point)
    : CGradedPoint(kind, owner, status), m_Point(point) {}

void CFreePointBase::SetPoint(int32_t x, int32_t y) {
  m_Point = CPoint(x, y);
  Invalidate(-1);
}

BOOL CFreePointBase::ComputePoint(int32_t, int32_t* x, int32_t* y) {
  *x = m_Point.x;
  *y = m_Point.y;
  return TRUE;
}

BOOL CFreePointBase::Load(ArchiveReader& archive) {
  // Everything is read before anything is stored, so a short record leaves
  // the point untouched.
  BaseRecord base;
  if (!ReadBaseRecord(archive, base)) return FALSE;
  CPoint point;
  if (!archive.ReadI32(point.x) || !archive.ReadI32(point.y)) return FALSE;
  SizePointsBlock block;
  if (!ReadSizePointsBlock(archive, block)) return FALSE;
  ApplyBaseRecord(base);
  m_Point = point;
  ApplySizePointsBlock(block);
  return TRUE;
}

CFreePoint::CFreePoint(CPatternData* owner, uint16_t status)
    : CFreePointBase(kPointKindFree, owner, status, CPoint()) {}

CFreePoint::CFreePoint(CPatternData* owner, uint16_t status, int32_t x, int32_t y)
    : CFreePointBase(kPointKindFree, owner, status, CPoint(x, y)) {}

CFreePoint::CFreePoint(CPatternData* owner, uint16_t status, CPoint point)
    : CFreePointBase(kPointKindFree, owner, status, point) {}

CFreeVertexPoint::CFreeVertexPoint(CPatternData* owner, uint16_t status)
    : CFreePointBase(kPointKindFreeVertex, owner, status, CPoint()) {}

CFreeVertexPoint::CFreeVertexPoint(CPatternData* owner, uint16_t status, int32_t x, int32_t y)
    : CFreePointBase(kPointKindFreeVertex, owner, status, CPoint(x, y)) {}

CFreeVertexPoint::CFreeVertexPoint(CPatternData* owner, uint16_t status, CPoint point)
    : CFreePointBase(kPointKindFreeVertex, owner, status, point) {}

BOOL CFreeVertexPoint::IsRealPoint() const { return FALSE; }

BOOL CFreeVertexPoint::Pick(int32_t, int32_t, double, int32_t, CGradedObject**, double*) { return FALSE; }

void RegisterFreePoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindFree, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CFreePoint>(owner, 0);
  });
  table.Register(kPointKindFreeVertex, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CFreeVertexPoint>(owner, 0);
  });
}

void CFreePointBase::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CFreePointBase&>(source);
  m_Point = from.m_Point;
}
