#include "design/core/design_element.h"

#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"

CDesignElement::CDesignElement(CPatternRecord* owner, int32_t type) : m_Owner(owner), m_Type(type) {
  const CPatternData* data = GetPatternData();
  m_Dirty = CSizeFlags(data ? data->GetSizeCount() : 0);
  Invalidate(-1);
}

CDesignElement::~CDesignElement() = default;

CPatternData* CDesignElement::GetPatternData() const { return m_Owner ? m_Owner->GetPatternData() : nullptr; }

void CDesignElement::Recalc(int32_t size) {
  if (size != -1) {
    Calculate(size);
    return;
  }
  const CPatternData* data = GetPatternData();
  const int32_t count = data ? data->GetSizeCount() : 0;
  for (int32_t i = 0; i < count; ++i) Calculate(i);
}

BOOL CDesignElement::IsDirty(int32_t size) const { return m_Dirty.IsDirty(size) ? TRUE : FALSE; }

void CDesignElement::Invalidate(int32_t size) {
  m_Dirty.Mark(size);
}

void CDesignElement::ClearDirty(int32_t size) {
  m_Dirty.Clear(size);
}

void CDesignElement::LinkReferences() {}

BOOL CDesignElement::HitTestEdge(int32_t, int32_t, double, CGradedObject**, CGradedObject**, CPoint*, double*) {
  return FALSE;
}

BOOL CDesignElement::HitTest(int32_t, int32_t, double, CPoint*, double*) { return FALSE; }
BOOL CDesignElement::HitTestPoint(int32_t, int32_t, double, double*) { return FALSE; }
BOOL CDesignElement::RefersTo(const CGradedObject*) const { return FALSE; }

void CDesignElement::GetUsedObjects(std::vector<CGradedObject*>&) const {}
void CDesignElement::ReplaceReference(CGradedObject*, CGradedObject*) {}
BOOL CDesignElement::FreezeIfUsesSizeRow(CSizeTableRow*) { return FALSE; }
BOOL CDesignElement::InvalidateIfUsesSizeRow(CSizeTableRow*) { return FALSE; }
BOOL CDesignElement::FreezeIfUsesMeasure(CPieceMeasure*) { return FALSE; }
BOOL CDesignElement::InvalidateIfUsesMeasure(CPieceMeasure*) { return FALSE; }

BOOL CDesignElement::Calculate(int32_t size) {
  ClearDirty(size);
  return TRUE;
}

void CDesignElement::InsertSize(int32_t index) {
  m_Dirty.Insert(index);
}

void CDesignElement::RemoveSize(int32_t index) {
  m_Dirty.Remove(index);
}

CRect CDesignElement::GetBoundRect(int32_t) const { return CRect(0, 0, 1, 1); }

CRect CDesignElement::GetBoundRectAt(int32_t, int32_t, int32_t, double, double) const { return CRect(0, 0, 1, 1); }

BOOL CDesignElement::Load(ArchiveReader&) { return FALSE; }

BOOL CDesignElement::ExportItem(double, int32_t*, std::vector<CVertex>*) { return FALSE; }

void CDesignElement::CopyFrom(const CDesignElement&) {}
