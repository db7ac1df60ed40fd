#include "design/core/piece_measure.h"

#include <cmath>
#include <cstdint>

#include "design/core/graded_object.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/geometry/primitives.h"
#include "design/points/graded_point.h"
#include "platform/numbers.h"

namespace {

// Files from this version on store the display fields of a measure.
constexpr int32_t kFirstVersionWithMeasureDisplay = 102;

// The default distance of the dimension line from the measured part.
constexpr int64_t kDefaultOffsetMillimetres = 10;

// 10 mm in the owner's model units. The scale comes from the file, so the
// product is kept inside the int range.
int32_t DefaultOffset(const CPatternData* owner) {
  if (!owner) return 0;
  return SaturateToInt32(kDefaultOffsetMillimetres * owner->GetScale());
}

// The polyline curve kinds: a measure along one of them skips the end-point
// test of its points.
bool IsPolylineCurve(const CGradedCurve& curve) {
  return curve.GetSubtype() == kCurveKindPolyline || curve.GetSubtype() == kCurveKindClosedPolyline;
}

}  // namespace

CPieceMeasure::CPieceMeasure(CPatternData* owner) : m_Owner(owner), m_OffsetDistance(DefaultOffset(owner)) {}

CPieceMeasure::CPieceMeasure(CPatternData* owner, int32_t kind, CGradedObject* ref1, CGradedObject* ref2,
                             CGradedObject* ref3, const char* name)
    : m_Name(name),
      m_Owner(owner),
      m_Kind(kind),
      m_Refs{ref1, ref2, ref3},
      m_OffsetDistance(DefaultOffset(owner)) {}

void CPieceMeasure::GetRefs(CGradedObject** ref1, CGradedObject** ref2, CGradedObject** ref3) const {
  if (ref1) *ref1 = m_Refs[0];
  if (ref2) *ref2 = m_Refs[1];
  if (ref3) *ref3 = m_Refs[2];
}

void CPieceMeasure::SetRefs(CGradedObject* ref1, CGradedObject* ref2, CGradedObject* ref3) {
  m_Refs[0] = ref1;
  m_Refs[1] = ref2;
  m_Refs[2] = ref3;
}

int32_t CPieceMeasure::GetLength(int32_t size) const {
  if (m_Kind == kMeasureKindDistance) {
    auto* first = dynamic_cast<CGradedPoint*>(m_Refs[0]);
    auto* second = dynamic_cast<CGradedPoint*>(m_Refs[1]);
    if (!first || !second) return 0;
    CPoint p1, p2;
    first->GetPoint(size, &p1);
    second->GetPoint(size, &p2);
    // Differences of int32 coordinates are formed in doubles, where they
    // cannot overflow.
    const double dx = static_cast<double>(p1.x) - static_cast<double>(p2.x);
    const double dy = static_cast<double>(p1.y) - static_cast<double>(p2.y);
    return RoundToNearest(std::sqrt(dx * dx + dy * dy));
  }
  if (m_Kind == kMeasureKindCurve) {
    auto* curve = dynamic_cast<CGradedCurve*>(m_Refs[2]);
    if (!m_Refs[0] || !m_Refs[1] || !curve) return 0;
    constexpr int32_t kForwards = 1;
    return curve->GetSection(size, m_Refs[0], m_Refs[1], kForwards);
  }
  return 0;
}

void CPieceMeasure::UpdateValidity(BOOL check) {
  if (!check) {
    m_Valid = 0;
    return;
  }
  if (m_Kind == kMeasureKindDistance) {
    m_Valid = m_Owner && m_Owner->IsLineEndPoint(m_Refs[0]) && m_Owner->IsLineEndPoint(m_Refs[1]) ? 1 : 0;
  } else if (m_Kind == kMeasureKindCurve) {
    const auto* curve = dynamic_cast<const CGradedCurve*>(m_Refs[2]);
    bool valid = m_Owner && curve && curve->GetState() != 0;
    if (valid && !IsPolylineCurve(*curve)) {
      valid = m_Owner->IsLineEndPoint(m_Refs[0]) && m_Owner->IsLineEndPoint(m_Refs[1]);
    }
    m_Valid = valid ? 1 : 0;
  }
}

BOOL CPieceMeasure::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  for (const CGradedObject* ref : m_Refs) {
    if (ref == object) return TRUE;
  }
  return FALSE;
}

void CPieceMeasure::GetDisplay(int32_t* textMode, int32_t* offsetDistance, CPoint* labelOffset) const {
  if (textMode) *textMode = m_TextMode;
  if (offsetDistance) *offsetDistance = m_OffsetDistance;
  if (labelOffset) *labelOffset = m_LabelOffset;
}

void CPieceMeasure::SetDisplay(int32_t textMode, int32_t offsetDistance, CPoint labelOffset) {
  m_TextMode = textMode;
  m_OffsetDistance = offsetDistance;
  m_LabelOffset = labelOffset;
}

void CPieceMeasure::ResolveIds() {
  if (!m_Owner) {
    SetRefs(nullptr, nullptr, nullptr);
    return;
  }
  m_Refs[0] = ResolveObjectOfKind(*m_Owner, m_RefIds[0], kObjectKindPoint);
  m_Refs[1] = ResolveObjectOfKind(*m_Owner, m_RefIds[1], kObjectKindPoint);
  m_Refs[2] = ResolveObjectOfKind(*m_Owner, m_RefIds[2], kObjectKindCurve);
}

BOOL CPieceMeasure::Load(ArchiveReader& archive) {
  const int32_t version = m_Owner ? m_Owner->GetVersion() : kNewestDataVersion;
  CString name;
  int32_t kind = 0;
  int32_t ids[3] = {-1, -1, -1};
  if (!archive.ReadString(name) || !archive.ReadI32(kind)) return FALSE;
  for (int32_t& id : ids) {
    if (!archive.ReadI32(id)) return FALSE;
  }
  int32_t valid = m_Valid;
  int32_t textMode = m_TextMode;
  int32_t offset = m_OffsetDistance;
  CPoint labelOffset = m_LabelOffset;
  if (version >= kFirstVersionWithMeasureDisplay) {
    if (!archive.ReadI32(valid) || !archive.ReadI32(textMode) || !archive.ReadI32(offset) ||
        !archive.ReadI32(labelOffset.x) || !archive.ReadI32(labelOffset.y)) {
      return FALSE;
    }
  }
  m_Name = name;
  m_Kind = kind;
  for (int i = 0; i < 3; ++i) m_RefIds[i] = ids[i];
  m_Valid = valid;
  m_TextMode = textMode;
  m_OffsetDistance = offset;
  m_LabelOffset = labelOffset;
  return TRUE;
}
