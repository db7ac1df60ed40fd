#include "design/points/mirror_points.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"

namespace {

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

// ---- Kind 14 -------------------------------------------------------------------

CPointMirrorPoint::CPointMirrorPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindPointMirror, owner, status) {
  DeclareFields({&m_Source, &m_Centre});
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

// ---- Kind 26 -------------------------------------------------------------------

CRotatedPoint::CRotatedPoint(CPatternData* owner, uint16_t status) : CGradedPoint(kPointKindRotated, owner, status) {
  DeclareFields({&m_Source, &m_Centre});
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

// ---- Kind 27 -------------------------------------------------------------------

CAxisMirrorPoint::CAxisMirrorPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindAxisMirror, owner, status) {
  DeclareFields({&m_Source, &m_AxisPoint, &m_ShiftStart, &m_ShiftEnd});
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

// ---- Kind 33 -------------------------------------------------------------------

CDirectionRotatedPoint::CDirectionRotatedPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindDirectionRotated, owner, status) {
  DeclareFields({&m_Source, &m_Centre, &m_FromDirection, &m_ToDirection});
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

// ---- Kind 34 -------------------------------------------------------------------

CTransferredPoint::CTransferredPoint(CPatternData* owner, uint16_t status)
    : CGradedPoint(kPointKindTransferred, owner, status) {
  DeclareFields({&m_Source, &m_SegmentStart, &m_SegmentEnd, &m_TargetStart, &m_TargetDirection});
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

void RegisterMirrorPoints() {
  PointKindFactory& table = GetPointKindFactory();
  table.Register(kPointKindLineMirror, Make<CLineMirrorPoint>);
  table.Register(kPointKindPointMirror, Make<CPointMirrorPoint>);
  table.Register(kPointKindRotated, Make<CRotatedPoint>);
  table.Register(kPointKindAxisMirror, Make<CAxisMirrorPoint>);
  table.Register(kPointKindDirectionRotated, Make<CDirectionRotatedPoint>);
  table.Register(kPointKindTransferred, Make<CTransferredPoint>);
}
