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

void CPointElemBase::SetParams(CGradedObject* reference1, CGradedObject* reference2, int32_t value) {
  m_Reference1.object = reference1;
  m_Reference2.object = reference2;
  m_Value = value;
  RecalcAll();
}

void CPointElemBase::GetParams(CGradedObject** reference1, CGradedObject** reference2, int32_t* value) const {
  if (reference1) *reference1 = m_Reference1.object;
  if (reference2) *reference2 = m_Reference2.object;
  if (value) *value = m_Value;
}

BOOL CPointElemBase::IsRealPoint() const { return FALSE; }

BOOL CPointElemBase::CalcPoint(int32_t size, int32_t* x, int32_t* y) {
  CPoint held;
  GetSizePoint(size, &held);
  *x = held.x;
  *y = held.y;
  return FALSE;
}

BOOL CPointElemBase::HitTest(int32_t, int32_t, double, int32_t, CPoint*, double*) { return FALSE; }

BOOL CPointElemBase::Pick(int32_t, int32_t, double, int32_t, CGradedObject**, double*) { return FALSE; }

BOOL CPointElemBase::PickPoint(int32_t, int32_t, double, int32_t, CGradedObject**, CPoint*) { return FALSE; }

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

void CPointElemBase::CopyValues(const CGradedPoint& source, bool intoOtherOwner) {
  CGradedPoint::CopyValues(source, intoOtherOwner);
  const auto& from = static_cast<const CPointElemBase&>(source);
  m_Value = from.m_Value;
}
