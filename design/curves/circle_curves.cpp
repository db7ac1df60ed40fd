#include "design/curves/circle_curves.h"

#include <memory>

#include "design/core/factories.h"
#include "design/geometry/arcs.h"
#include "design/geometry/point_line.h"

CThreePointCircle::CThreePointCircle(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
    : CThreePointCurve(kCurveKindThreePointCircle, owner, status, attribute1, attribute2) {}

CCenterCircle::CCenterCircle(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
    : CCircularCurve(kCurveKindCenterCircle, owner, status, attribute1, attribute2) {}

void CCenterCircle::GetDefiningRefs(CGradedObjectList& refs) const { refs = {m_Point}; }

void CCenterCircle::GetFirstLastRefs(CGradedPoint*& first, CGradedPoint*& last) const {
  first = m_Point;
  last = m_Point;
}

void CCenterCircle::GetPointRefs(CGradedObjectList& refs) const { refs.insert(refs.end(), {m_Centre, m_Point}); }

BOOL CCenterCircle::RebuildFullPoints(int32_t size, PointList& out) {
  CPoint c, p;
  if (!PositionAt(m_Centre, size, c) || !PositionAt(m_Point, size, p)) return FailedSize(size, out);
  if (size == BaseSize()) SetBaseCircle(c, PointDistance(c.x, c.y, p.x, p.y));
  CirclePolyline(c.x, c.y, p.x, p.y, out);
  return TRUE;
}

void CCenterCircle::ResolveIds() {
  m_Centre = ResolvePoint(m_CentreId);
  m_Point = ResolvePoint(m_PointId);
  ResolveEnds(m_StoredLink);
}

BOOL CCenterCircle::Load(ArchiveReader& archive) {
  HeadRecord head;
  if (!ReadHead(archive, HeadGates::kAlways, head)) return FALSE;
  int32_t centre = -1, point = -1, link = -1, start = -1, end = -1;
  if (!archive.ReadI32(centre) || !archive.ReadI32(point) || !archive.ReadI32(link) || !archive.ReadI32(start) ||
      !archive.ReadI32(end)) {
    return FALSE;
  }
  ApplyHead(head);
  m_CentreId = centre;
  m_PointId = point;
  m_StoredLink = link;
  SetStoredEnds(start, end, start == point && end == point ? TRUE : FALSE);
  return TRUE;
}

void RegisterCircleCurves() {
  CurveKindFactory& table = GetCurveKindFactory();
  table.Register(kCurveKindThreePointCircle, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CThreePointCircle>(owner, 0, 0, kDefaultCurveAttribute2);
  });
  table.Register(kCurveKindCenterCircle, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CCenterCircle>(owner, 0, 0, kDefaultCurveAttribute2);
  });
}
