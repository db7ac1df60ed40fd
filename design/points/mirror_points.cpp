#include "design/points/mirror_points.h"

#include <cmath>
#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"
#include "platform/numbers.h"

namespace {

// base + offset kept in the int32 range. Positions come from files: a sum past
// the range must stop at its end, where GetPoint's bound reports it, rather
// than wrap back into the plane.
int32_t AddSaturated(int64_t base, int64_t offset) { return SaturateToInt32(base + offset); }

// The offset (dx, dy) turned by the angle whose sine and cosine are given,
// each coordinate rounded, then added to `origin` without wrapping.
CPoint TurnOffset(double dx, double dy, CPoint origin, double sinA, double cosA) {
  return CPoint(AddSaturated(origin.x, RoundToNearest(dx * cosA - dy * sinA)),
                AddSaturated(origin.y, RoundToNearest(dx * sinA + dy * cosA)));
}

// `point` turned about `centre` by the angle `radians`, counter-clockwise.
CPoint TurnAbout(CPoint point, CPoint centre, double radians) {
  return TurnOffset(static_cast<double>(point.x) - centre.x, static_cast<double>(point.y) - centre.y, centre,
                    std::sin(radians), std::cos(radians));
}

void WritePoint(CPoint p, int32_t* x, int32_t* y) {
  *x = p.x;
  *y = p.y;
}

// Whether `point` is of one of the kinds of this file, which copy a source;
// that source (null when unset) goes to `source`.
bool GetCopySource(const CGradedPoint* point, const CGradedPoint** source) {
  if (const auto* p = dynamic_cast<const CLineMirrorPoint*>(point)) {
    *source = p->GetSourcePoint();
  } else if (const auto* p = dynamic_cast<const CPointMirrorPoint*>(point)) {
    *source = p->GetSourcePoint();
  } else if (const auto* p = dynamic_cast<const CRotatedPoint*>(point)) {
    *source = p->GetSourcePoint();
  } else if (const auto* p = dynamic_cast<const CAxisMirrorPoint*>(point)) {
    *source = p->GetSourcePoint();
  } else if (const auto* p = dynamic_cast<const CDirectionRotatedPoint*>(point)) {
    *source = p->GetSourcePoint();
  } else if (const auto* p = dynamic_cast<const CTransferredPoint*>(point)) {
    *source = p->GetSourcePoint();
  } else {
    return false;
  }
  return true;
}

// Whether a copy whose source is `source` is a point of the design in its own
// right: what the first point down the chain of sources that is no copy
// answers. The chain is walked, not recursed, so that a long chain cannot
// exhaust the stack; a chain longer than the container's object list closes
// on itself (only a damaged file makes such a cycle) and, ending in no such
// point, counts as real. So does a copy without a source, as any point does.
BOOL ChainIsRealPoint(const CGradedPoint* copy, const CGradedPoint* source) {
  const CPatternData* owner = copy->GetOwner();
  const int64_t limit = owner ? static_cast<int64_t>(owner->GetElementCount()) + 1 : 1;
  for (int64_t step = 0; step < limit && source; ++step) {
    const CGradedPoint* next = nullptr;
    if (!GetCopySource(source, &next)) return source->IsRealPoint();
    source = next;
  }
  return TRUE;
}

template <class Point>
std::unique_ptr<CGradedObject> Make(CPatternData* owner) {
  return std::make_unique<Point>(owner, 0);
}

}  // namespace

// ---- Kind 13 -------------------------------------------------------------------

CLineMirrorPoint::CLineMirrorPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindLineMirror, owner, status) {
  DeclareFields({&m_Source, &m_LinePoint1, &m_LinePoint2});
}

CLineMirrorPoint::CLineMirrorPoint(CPatternData* owner, uint16_t status, CGradedPoint* source,
                                   CGradedPoint* linePoint1, CGradedPoint* linePoint2)
    : CLineMirrorPoint(owner, status) {
  SetParams(source, linePoint1, linePoint2);
}

void CLineMirrorPoint::SetParams(CGradedPoint* source, CGradedPoint* linePoint1, CGradedPoint* linePoint2) {
  m_Source.object = source;
  m_LinePoint1.object = linePoint1;
  m_LinePoint2.object = linePoint2;
  RecalcAll();
}

void CLineMirrorPoint::GetRefs(CGradedPoint** source, CGradedPoint** linePoint1, CGradedPoint** linePoint2) const {
  *source = GetSourcePoint();
  *linePoint1 = GetMirrorLinePoint1();
  *linePoint2 = GetMirrorLinePoint2();
}

BOOL CLineMirrorPoint::IsMirrorLinePoint(const CGradedObject* object) const {
  return object && (object == m_LinePoint1.object || object == m_LinePoint2.object);
}

BOOL CLineMirrorPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Source) || !ReadReference(archive, m_LinePoint1) ||
      !ReadReference(archive, m_LinePoint2)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

BOOL CLineMirrorPoint::IsRealPoint() const { return ChainIsRealPoint(this, GetSourcePoint()); }

BOOL CLineMirrorPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* source = GetSourcePoint();
  CGradedPoint* linePoint1 = GetMirrorLinePoint1();
  CGradedPoint* linePoint2 = GetMirrorLinePoint2();
  if (!source || !linePoint1 || !linePoint2) return FALSE;
  CPoint p, l1, l2;
  BOOL result = source->GetPoint(size, &p);
  result = linePoint1->GetPoint(size, &l1) && result;
  result = linePoint2->GetPoint(size, &l2) && result;
  double a = 0.0, b = 0.0, c = 0.0;
  LineFromPoints(l1.x, l1.y, l2.x, l2.y, &a, &b, &c);
  const double a2 = a * a;
  const double b2 = b * b;
  const double norm = a2 + b2;
  if (IsZeroDivisor(norm)) {
    // The two points of the mirror line coincide: no line to mirror in.
    WritePoint(p, x, y);
    return FALSE;
  }
  const double px = p.x;
  const double py = p.y;
  const double ab = a * b;
  *x = RoundToNearest(-(a2 * px - b2 * px + 2 * ab * py + 2 * a * c) / norm);
  *y = RoundToNearest(-(b2 * py - a2 * py + 2 * ab * px + 2 * b * c) / norm);
  return result;
}

// ---- Kind 14 -------------------------------------------------------------------

CPointMirrorPoint::CPointMirrorPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindPointMirror, owner, status) {
  DeclareFields({&m_Source, &m_Centre});
}

CPointMirrorPoint::CPointMirrorPoint(CPatternData* owner, uint16_t status, CGradedPoint* source,
                                     CGradedPoint* centre)
    : CPointMirrorPoint(owner, status) {
  SetParams(source, centre);
}

void CPointMirrorPoint::SetParams(CGradedPoint* source, CGradedPoint* centre) {
  m_Source.object = source;
  m_Centre.object = centre;
  RecalcAll();
}

void CPointMirrorPoint::GetRefs(CGradedPoint** source, CGradedPoint** centre) const {
  *source = GetSourcePoint();
  *centre = GetCentre();
}

BOOL CPointMirrorPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Source) || !ReadReference(archive, m_Centre)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

BOOL CPointMirrorPoint::IsRealPoint() const { return ChainIsRealPoint(this, GetSourcePoint()); }

BOOL CPointMirrorPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* source = GetSourcePoint();
  CGradedPoint* centre = GetCentre();
  if (!source || !centre) return FALSE;
  CPoint p, m;
  BOOL result = source->GetPoint(size, &p);
  result = centre->GetPoint(size, &m) && result;
  *x = AddSaturated(2 * static_cast<int64_t>(m.x), -static_cast<int64_t>(p.x));
  *y = AddSaturated(2 * static_cast<int64_t>(m.y), -static_cast<int64_t>(p.y));
  return result;
}

// ---- Kind 26 -------------------------------------------------------------------

CRotatedPoint::CRotatedPoint(CPatternData* owner, uint16_t status) : CGradedPoint(kPointKindRotated, owner, status) {
  DeclareFields({&m_Source, &m_Centre});
}

CRotatedPoint::CRotatedPoint(CPatternData* owner, uint16_t status, CGradedPoint* source, CGradedPoint* centre,
                             double angle)
    : CRotatedPoint(owner, status) {
  SetParams(source, centre, angle);
}

void CRotatedPoint::SetParams(CGradedPoint* source, CGradedPoint* centre, double angle) {
  m_Source.object = source;
  m_Centre.object = centre;
  m_Angle = angle;
  RecalcAll();
}

void CRotatedPoint::GetParams(CGradedPoint** source, CGradedPoint** centre, double* angle) const {
  *source = GetSourcePoint();
  *centre = GetCentre();
  *angle = m_Angle;
}

void CRotatedPoint::SetAngle(double angle) {
  m_Angle = angle;
  Invalidate(-1);
}

BOOL CRotatedPoint::IsCentre(const CGradedObject* object) const { return object && object == m_Centre.object; }

BOOL CRotatedPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  double angle = 0.0;
  if (!ReadBaseRecord(archive, base) || !archive.ReadDouble(angle) || !ReadReference(archive, m_Centre) ||
      !ReadReference(archive, m_Source)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Angle = angle;
  return TRUE;
}

BOOL CRotatedPoint::IsRealPoint() const { return ChainIsRealPoint(this, GetSourcePoint()); }

BOOL CRotatedPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* source = GetSourcePoint();
  CGradedPoint* centre = GetCentre();
  if (!source || !centre) return FALSE;
  CPoint p, c;
  if (!source->GetPoint(size, &p) || !centre->GetPoint(size, &c)) return FALSE;
  WritePoint(TurnAbout(p, c, m_Angle / 180.0 * kPi), x, y);
  return TRUE;
}

// ---- Kind 27 -------------------------------------------------------------------

CAxisMirrorPoint::CAxisMirrorPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindAxisMirror, owner, status) {
  DeclareFields({&m_Source, &m_AxisPoint, &m_ShiftStart, &m_ShiftEnd});
}

CAxisMirrorPoint::CAxisMirrorPoint(CPatternData* owner, uint16_t status, CGradedPoint* source,
                                   CGradedPoint* axisPoint, CGradedPoint* shiftStart, CGradedPoint* shiftEnd,
                                   int32_t mode)
    : CAxisMirrorPoint(owner, status) {
  SetParams(source, axisPoint, shiftStart, shiftEnd, mode);
}

void CAxisMirrorPoint::SetParams(CGradedPoint* source, CGradedPoint* axisPoint, CGradedPoint* shiftStart,
                                 CGradedPoint* shiftEnd, int32_t mode) {
  m_Source.object = source;
  m_AxisPoint.object = axisPoint;
  m_ShiftStart.object = shiftStart;
  m_ShiftEnd.object = shiftEnd;
  m_Mode = mode;
  RecalcAll();
}

void CAxisMirrorPoint::GetRefs(CGradedPoint** source, CGradedPoint** axisPoint, CGradedPoint** shiftStart,
                               CGradedPoint** shiftEnd, int32_t* mode) const {
  *source = GetSourcePoint();
  *axisPoint = GetAxisPoint();
  *shiftStart = GetShiftStart();
  *shiftEnd = GetShiftEnd();
  *mode = m_Mode;
}

BOOL CAxisMirrorPoint::IsAxisPoint(const CGradedObject* object) const {
  return object && object == m_AxisPoint.object;
}

BOOL CAxisMirrorPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  int32_t mode = 0;
  if (!ReadBaseRecord(archive, base) || !archive.ReadI32(mode) || !ReadReference(archive, m_Source) ||
      !ReadReference(archive, m_AxisPoint) || !ReadReference(archive, m_ShiftStart) ||
      !ReadReference(archive, m_ShiftEnd)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Mode = mode;
  return TRUE;
}

BOOL CAxisMirrorPoint::IsRealPoint() const { return ChainIsRealPoint(this, GetSourcePoint()); }

BOOL CAxisMirrorPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* source = GetSourcePoint();
  CGradedPoint* axisPoint = GetAxisPoint();
  CGradedPoint* shiftStart = GetShiftStart();
  CGradedPoint* shiftEnd = GetShiftEnd();
  if (!source || !axisPoint || !shiftStart || !shiftEnd) return FALSE;
  CPoint p, axis, from, to;
  if (!source->GetPoint(size, &p) || !axisPoint->GetPoint(size, &axis) || !shiftStart->GetPoint(size, &from) ||
      !shiftEnd->GetPoint(size, &to)) {
    return FALSE;
  }
  const BOOL flipX = m_Mode == kAxisMirrorVertical || m_Mode == kAxisMirrorBoth;
  const BOOL flipY = m_Mode == kAxisMirrorHorizontal || m_Mode == kAxisMirrorBoth;
  MirrorPointAxes(&p, axis.x, flipX, axis.y, flipY);
  *x = AddSaturated(p.x, static_cast<int64_t>(to.x) - from.x);
  *y = AddSaturated(p.y, static_cast<int64_t>(to.y) - from.y);
  return TRUE;
}

CGradedPoint::SizeOutcome CAxisMirrorPoint::OutcomeOf(BOOL result) const {
  return result ? SizeOutcome::kCacheAndClean : SizeOutcome::kNothing;
}

// ---- Kind 33 -------------------------------------------------------------------

CDirectionRotatedPoint::CDirectionRotatedPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindDirectionRotated, owner, status) {
  DeclareFields({&m_Source, &m_Centre, &m_FromDirection, &m_ToDirection});
}

CDirectionRotatedPoint::CDirectionRotatedPoint(CPatternData* owner, uint16_t status, CGradedPoint* source,
                                               CGradedPoint* centre, CGradedPoint* fromDirection,
                                               CGradedPoint* toDirection)
    : CDirectionRotatedPoint(owner, status) {
  SetParams(source, centre, fromDirection, toDirection);
}

void CDirectionRotatedPoint::SetParams(CGradedPoint* source, CGradedPoint* centre, CGradedPoint* fromDirection,
                                       CGradedPoint* toDirection) {
  m_Source.object = source;
  m_Centre.object = centre;
  m_FromDirection.object = fromDirection;
  m_ToDirection.object = toDirection;
  RecalcAll();
}

void CDirectionRotatedPoint::GetRefs(CGradedPoint** source, CGradedPoint** centre, CGradedPoint** fromDirection,
                                     CGradedPoint** toDirection) const {
  *source = GetSourcePoint();
  *centre = GetCentre();
  *fromDirection = GetFromDirectionPoint();
  *toDirection = GetToDirectionPoint();
}

BOOL CDirectionRotatedPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Centre) || !ReadReference(archive, m_Source) ||
      !ReadReference(archive, m_FromDirection) || !ReadReference(archive, m_ToDirection)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

BOOL CDirectionRotatedPoint::IsRealPoint() const { return ChainIsRealPoint(this, GetSourcePoint()); }

BOOL CDirectionRotatedPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* source = GetSourcePoint();
  CGradedPoint* centre = GetCentre();
  CGradedPoint* fromDirection = GetFromDirectionPoint();
  CGradedPoint* toDirection = GetToDirectionPoint();
  if (!source || !centre || !fromDirection || !toDirection) return FALSE;
  CPoint p, c, from, to;
  if (!source->GetPoint(size, &p) || !centre->GetPoint(size, &c) || !fromDirection->GetPoint(size, &from) ||
      !toDirection->GetPoint(size, &to)) {
    return FALSE;
  }
  const double turn = LineAngle(c.x, c.y, to.x, to.y) - LineAngle(c.x, c.y, from.x, from.y);
  WritePoint(TurnAbout(p, c, turn), x, y);
  return TRUE;
}

// ---- Kind 34 -------------------------------------------------------------------

CTransferredPoint::CTransferredPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindTransferred, owner, status) {
  DeclareFields({&m_Source, &m_SegmentStart, &m_SegmentEnd, &m_TargetStart, &m_TargetDirection});
}

CTransferredPoint::CTransferredPoint(CPatternData* owner, uint16_t status, CGradedPoint* source,
                                     CGradedPoint* segmentStart, CGradedPoint* segmentEnd, CGradedPoint* targetStart,
                                     CGradedPoint* targetDirection)
    : CTransferredPoint(owner, status) {
  SetParams(source, segmentStart, segmentEnd, targetStart, targetDirection);
}

void CTransferredPoint::SetParams(CGradedPoint* source, CGradedPoint* segmentStart, CGradedPoint* segmentEnd,
                                  CGradedPoint* targetStart, CGradedPoint* targetDirection) {
  m_Source.object = source;
  m_SegmentStart.object = segmentStart;
  m_SegmentEnd.object = segmentEnd;
  m_TargetStart.object = targetStart;
  m_TargetDirection.object = targetDirection;
  RecalcAll();
}

void CTransferredPoint::GetRefs(CGradedPoint** source, CGradedPoint** segmentStart, CGradedPoint** segmentEnd,
                                CGradedPoint** targetStart, CGradedPoint** targetDirection) const {
  *source = GetSourcePoint();
  *segmentStart = GetSegmentStart();
  *segmentEnd = GetSegmentEnd();
  *targetStart = GetTargetStart();
  *targetDirection = GetTargetDirectionPoint();
}

BOOL CTransferredPoint::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Source) || !ReadReference(archive, m_SegmentStart) ||
      !ReadReference(archive, m_SegmentEnd) || !ReadReference(archive, m_TargetStart) ||
      !ReadReference(archive, m_TargetDirection)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

BOOL CTransferredPoint::IsRealPoint() const { return ChainIsRealPoint(this, GetSourcePoint()); }

BOOL CTransferredPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  CGradedPoint* source = GetSourcePoint();
  CGradedPoint* segmentStart = GetSegmentStart();
  CGradedPoint* segmentEnd = GetSegmentEnd();
  CGradedPoint* targetStart = GetTargetStart();
  CGradedPoint* targetDirection = GetTargetDirectionPoint();
  if (!source || !segmentStart || !segmentEnd || !targetStart || !targetDirection) return FALSE;
  CPoint p, start, end, target, direction;
  if (!source->GetPoint(size, &p) || !segmentStart->GetPoint(size, &start) || !segmentEnd->GetPoint(size, &end) ||
      !targetStart->GetPoint(size, &target) || !targetDirection->GetPoint(size, &direction)) {
    return FALSE;
  }
  // The segment is moved so that its start lands on the target start; the
  // moved segment points the way the segment itself does, and is then turned
  // onto the target direction. The source keeps its place relative to the
  // segment: its offset from the segment start is turned and added to the
  // target start. Taken so, no moved position is formed that could leave the
  // int32 range on its own.
  const double turn =
      LineAngle(target.x, target.y, direction.x, direction.y) - LineAngle(start.x, start.y, end.x, end.y);
  WritePoint(TurnOffset(static_cast<double>(p.x) - start.x, static_cast<double>(p.y) - start.y, target,
                        std::sin(turn), std::cos(turn)),
             x, y);
  return TRUE;
}

void RegisterMirrorPoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindLineMirror, Make<CLineMirrorPoint>);
  table.Register(kPointKindPointMirror, Make<CPointMirrorPoint>);
  table.Register(kPointKindRotated, Make<CRotatedPoint>);
  table.Register(kPointKindAxisMirror, Make<CAxisMirrorPoint>);
  table.Register(kPointKindDirectionRotated, Make<CDirectionRotatedPoint>);
  table.Register(kPointKindTransferred, Make<CTransferredPoint>);
}

void CRotatedPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CRotatedPoint&>(source);
  m_Angle = from.m_Angle;
}

void CAxisMirrorPoint::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CAxisMirrorPoint&>(source);
  m_Mode = from.m_Mode;
}

void CLineMirrorPoint::ReplaceSourcePoint(CGradedObject* oldSource, CGradedObject* newSource) {
  if (m_Source.object != oldSource) return;
  m_Source.object = newSource;
  RecalcAll();
  InvalidateWithDependents(TRUE);
}
