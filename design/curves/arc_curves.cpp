#include "design/curves/arc_curves.h"

#include <memory>

#include "design/core/factories.h"
#include "design/geometry/arcs.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"

CThreePointArc::CThreePointArc(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
    : CThreePointCurve(kCurveKindThreePointArc, owner, status, attribute1, attribute2) {}

CCenterArc::CCenterArc(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
    : CCircularCurve(kCurveKindCenterArc, owner, status, attribute1, attribute2) {}

void CCenterArc::GetRefs(CGradedPoint*& centre, CGradedPoint*& from, CGradedPoint*& to, int32_t& direction,
                         CGradedPoint*& start, CGradedPoint*& end) const {
  centre = m_Centre;
  from = m_From;
  to = m_To;
  direction = m_Direction;
  GetEnds(start, end);
}

void CCenterArc::GetDefiningRefs(CGradedObjectList& refs) const { refs = {m_From, m_To}; }

void CCenterArc::GetFirstLastRefs(CGradedPoint*& first, CGradedPoint*& last) const {
  first = m_From;
  last = m_To;
}

void CCenterArc::GetPointRefs(CGradedObjectList& refs) const { refs.insert(refs.end(), {m_Centre, m_From, m_To}); }

BOOL CCenterArc::RebuildFullPoints(int32_t size, PointList& out) {
  CPoint c, a, b;
  if (!PositionAt(m_Centre, size, c) || !PositionAt(m_From, size, a) || !PositionAt(m_To, size, b)) {
    return FailedSize(size, out);
  }
  if (size == BaseSize()) SetBaseCircle(c, PointDistance(c.x, c.y, a.x, a.y));
  // Both angles lie in [0, 2 pi), so each loop turns at most once; the sweep
  // is never negative for direction 1 and never positive for direction 0.
  const double from = LineAngle(c.x, c.y, a.x, a.y);
  double to = LineAngle(c.x, c.y, b.x, b.y);
  if (m_Direction != 0) {
    while (from < to) to -= kTwoPi;
  } else {
    while (from > to) to += kTwoPi;
  }
  ArcPolyline(c.x, c.y, a.x, a.y, from - to, out);
  if (out.empty() || out.front() != b) out.push_back(b);
  return TRUE;
}

void CCenterArc::ResolveIds() {
  m_Centre = ResolvePoint(m_CentreId);
  m_From = ResolvePoint(m_FromId);
  m_To = ResolvePoint(m_ToId);
  ResolveEnds(m_StoredLink);
}

BOOL CCenterArc::Load(ArchiveReader& archive) {
  HeadRecord head;
  if (!ReadHead(archive, HeadGates::kAlways, head)) return FALSE;
  int32_t centre = -1, from = -1, to = -1, direction = kDefaultDirection, link = -1, start = -1, end = -1;
  if (!archive.ReadI32(centre) || !archive.ReadI32(from) || !archive.ReadI32(to) || !archive.ReadI32(direction) ||
      !archive.ReadI32(link) || !archive.ReadI32(start) || !archive.ReadI32(end)) {
    return FALSE;
  }
  ApplyHead(head);
  m_CentreId = centre;
  m_FromId = from;
  m_ToId = to;
  m_Direction = direction;
  m_StoredLink = link;
  const bool full = (start == from && end == to) || (start == to && end == from);
  SetStoredEnds(start, end, full ? TRUE : FALSE);
  return TRUE;
}

void RegisterArcCurves() {
  CurveKindFactory& table = GetCurveKindFactory();
  table.Register(kCurveKindThreePointArc, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CThreePointArc>(owner, 0, 0, kDefaultCurveAttribute2);
  });
  table.Register(kCurveKindCenterArc, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<CCenterArc>(owner, 0, 0, kDefaultCurveAttribute2);
  });
}
