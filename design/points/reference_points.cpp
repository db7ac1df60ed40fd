#include "design/points/reference_points.h"

#include <memory>

#include "design/core/factories.h"

namespace {

template <class Point>
void RegisterKind(int32_t kind) {
  GetPointKindFactory().Register(kind, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<Point>(owner, 0);
  });
}

}  // namespace

CPointElemBase::CPointElemBase(int32_t kind, CPatternData* owner, uint16_t status)
    : CGradedPoint(kind, owner, status) {
  DeclareFields({&m_Reference1, &m_Reference2});
}

BOOL CPointElemBase::IsRealPoint() const { return FALSE; }

BOOL CPointElemBase::Load(ArchiveReader& archive) {
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Reference1) ||
      !ReadReference(archive, m_Reference2) || !archive.ReadI32(m_Value)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

void RegisterReferencePoints() {
  RegisterKind<CPointElem23>(kPointKindElem23);
  RegisterKind<CPointElem24>(kPointKindElem24);
  RegisterKind<CPointElem25>(kPointKindElem25);
}
