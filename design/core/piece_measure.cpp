#include "design/core/piece_measure.h"

#include <cstdint>

#include "design/core/graded_object.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
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
