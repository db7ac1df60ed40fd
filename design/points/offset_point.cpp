#include "design/points/offset_point.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "model/settings.h"
#include "platform/numbers.h"

namespace {

// Up to this data version the offsets are stored as two integers, with
// neither a status word nor labels.
constexpr int32_t kLastVersionWithIntegerOffsets = 100;

// A formula of a fixed value: no terms, the value as its offset.
CFormula FixedFormula(CPatternData* owner, int32_t value) { return CFormula(owner, {}, value, 1.0, 1.0, 0); }

}  // namespace

COffsetPoint::COffsetPoint(CPatternData* owner, uint16_t status) : CGradedPoint(kPointKindOffset, owner, status) {
  m_Dx.Reset(owner);
  m_Dy.Reset(owner);
  // The labels stand directly on the legs they measure.
  m_Label1.SetLinear(owner, this);
  m_Label2.SetLinear(owner, this);
  m_Label1.SetOffsetDistance(0);
  m_Label2.SetOffsetDistance(0);
  DeclareFields({&m_Reference}, {&m_Dx, &m_Dy}, {&m_Label1, &m_Label2});
}

COffsetPoint::COffsetPoint(CPatternData* owner, uint16_t status, CGradedPoint* reference, const CFormula& dx,
                           const CFormula& dy)
    : COffsetPoint(owner, status) {
  SetDefinition(reference, dx, dy);
}

void COffsetPoint::SetDefinition(CGradedPoint* reference, const CFormula& dx, const CFormula& dy) {
  m_Reference.object = reference;
  m_Dx = dx;
  m_Dy = dy;
  RecalcAll();
}

void COffsetPoint::GetDefinition(CGradedPoint** reference, CFormula* dx, CFormula* dy) const {
  if (reference) *reference = GetReference();
  GetOffsets(dx, dy);
}

void COffsetPoint::SetOffsets(const CFormula& dx, const CFormula& dy) {
  m_Dx = dx;
  m_Dy = dy;
  Invalidate(-1);
}

void COffsetPoint::GetOffsets(CFormula* dx, CFormula* dy) const {
  if (dx) *dx = m_Dx;
  if (dy) *dy = m_Dy;
}

BOOL COffsetPoint::ComputePoint(int32_t size, int32_t* x, int32_t* y) {
  const int64_t dx = m_Dx.Evaluate(size);
  const int64_t dy = m_Dy.Evaluate(size);
  int32_t fromX = 0;
  int32_t fromY = 0;
  BOOL result = FALSE;
  if (CGradedPoint* reference = PointOf(m_Reference)) result = reference->CalcPoint(size, &fromX, &fromY);
  *x = SaturateToInt32(fromX + dx);
  *y = SaturateToInt32(fromY - dy);
  return result;
}

void COffsetPoint::SetLabelVisible(BOOL show) { ShowLabels(MayShowLabels(show, GetReference())); }

void COffsetPoint::SetFormula(CDimLabel* label, const CFormula& value) {
  if (label == &m_Label1) {
    m_Dx = value;
  } else if (label == &m_Label2) {
    m_Dy = value;
  }
}

CFormula COffsetPoint::GetFormula(CDimLabel* label) const { return label == &m_Label1 ? m_Dx : m_Dy; }

void COffsetPoint::GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const {
  const bool horizontal = label == &m_Label1;
  if ((!horizontal && label != &m_Label2) || !from || !to) return;
  BasePositionOf(GetReference(), from);
  OwnBasePosition(to);
  if (horizontal) {
    from->y = to->y;
    text = m_Dx.GetDisplayText(g_UnitMode, g_UnitPrecision);
  } else {
    from->x = to->x;
    text = m_Dy.GetDisplayText(g_UnitMode, g_UnitPrecision);
  }
}

BOOL COffsetPoint::Load(ArchiveReader& archive) {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  if (owner->GetVersion() <= kLastVersionWithIntegerOffsets) return LoadIntegerOffsets(archive);
  BaseRecord base;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Reference) || !ReadFormula(archive, m_Dx) ||
      !ReadFormula(archive, m_Dy) || !m_Label1.Load(archive) || !m_Label2.Load(archive)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  return TRUE;
}

BOOL COffsetPoint::LoadIntegerOffsets(ArchiveReader& archive) {
  BaseRecord base;
  int32_t dx = 0;
  int32_t dy = 0;
  if (!ReadBaseRecord(archive, base) || !ReadReference(archive, m_Reference) || !archive.ReadI32(dx) ||
      !archive.ReadI32(dy)) {
    return FALSE;
  }
  ApplyBaseRecord(base);
  m_Dx = FixedFormula(GetOwner(), dx);
  // The stored value is the upward offset; the formula holds it negated (the
  // lowest int32 has no negation and stays at the top of the range).
  m_Dy = FixedFormula(GetOwner(), SaturateToInt32(-static_cast<int64_t>(dy)));
  return TRUE;
}

void RegisterOffsetPoints() {
  GetPointKindFactory().Register(kPointKindOffset, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
    return std::make_unique<COffsetPoint>(owner, 0);
  });
}
