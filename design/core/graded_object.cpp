#include "design/core/graded_object.h"

#include <unordered_set>

#include "design/core/pattern_data.h"

CGradedObject::CGradedObject(int32_t kind, CPatternData* owner, uint16_t status)
    : m_Kind(kind), m_Owner(owner), m_Status(status) {
  m_Dirty = CSizeFlags(owner ? owner->GetSizeCount() : 0);
  Invalidate(-1);
}

CGradedObject::~CGradedObject() = default;

void CGradedObject::SetState(int32_t state) {
  m_State = state;
  if (state == 0) SetLabelVisible(IsLabelVisible());
  // A measure between points is valid only while its points are in use.
  if (m_Owner) m_Owner->UpdateMeasures(this);
}

BOOL CGradedObject::IsDirty(int32_t size) const { return m_Dirty.IsDirty(size) ? TRUE : FALSE; }

BOOL CGradedObject::IsAllDirty() const { return m_Dirty.IsAllDirty() ? TRUE : FALSE; }

void CGradedObject::Invalidate(int32_t size) {
  m_Dirty.Mark(size);
  if (size == -1 || (m_Owner && size == m_Owner->GetBaseSize())) UpdateLabel();
}

void CGradedObject::ClearDirty(int32_t size) {
  m_Dirty.Clear(size);
}

BOOL CGradedObject::DependsOn(const CGradedObject* object) const {
  // Depth-first over the references, each object once. The answer is the same
  // as walking the references recursively in list order, since nothing is
  // changed on the way.
  std::unordered_set<const CGradedObject*> visited{this};
  std::vector<const CGradedObject*> pending{this};
  CGradedObjectList references;
  while (!pending.empty()) {
    const CGradedObject* current = pending.back();
    pending.pop_back();
    if (current->RefersTo(object)) return TRUE;
    references.clear();
    if (!current->GetReferences(references)) continue;
    for (auto it = references.rbegin(); it != references.rend(); ++it) {
      if (*it && visited.insert(*it).second) pending.push_back(*it);
    }
  }
  return FALSE;
}

CRect CGradedObject::GetBoundRect(int32_t) const { return CRect(); }

BOOL CGradedObject::GetReferences(CGradedObjectList&) const { return FALSE; }

void CGradedObject::GetUsedObjects(CGradedObjectList& used) const {
  CGradedObjectList references;
  if (GetReferences(references)) used.insert(used.end(), references.begin(), references.end());
}

void CGradedObject::InsertSize(int32_t index) {
  m_Dirty.Insert(index);
}

void CGradedObject::RemoveSize(int32_t index) {
  m_Dirty.Remove(index);
}

BOOL CGradedObject::RefersTo(const CGradedObject*) const { return FALSE; }
void CGradedObject::ReplaceReference(CGradedObject*, CGradedObject*) {}
void CGradedObject::ReplaceMeasure(CPieceMeasure*, CPieceMeasure*) {}
void CGradedObject::ReplaceSizeRow(CSizeTableRow*, CSizeTableRow*) {}
void CGradedObject::SetOwner(CPatternData* owner) { m_Owner = owner; }
BOOL CGradedObject::ReleaseSizeRow(CSizeTableRow*, BOOL) { return FALSE; }
BOOL CGradedObject::UsesSizeRow(CSizeTableRow*, BOOL) { return FALSE; }
BOOL CGradedObject::ReleaseMeasure(CPieceMeasure*, BOOL) { return FALSE; }
BOOL CGradedObject::UsesMeasure(CPieceMeasure*, BOOL) { return FALSE; }
void CGradedObject::RecalcAll() {}

BOOL CGradedObject::HitTest(int32_t, int32_t, double, int32_t, CPoint*, double*) { return FALSE; }
BOOL CGradedObject::Pick(int32_t, int32_t, double, int32_t, CGradedObject**, double*) { return FALSE; }
BOOL CGradedObject::PickPoint(int32_t, int32_t, double, int32_t, CGradedObject**, CPoint*) { return FALSE; }
BOOL CGradedObject::HitTestIfValid(int32_t, int32_t, double, int32_t, CPoint*, double*) { return FALSE; }
BOOL CGradedObject::PickIfValid(int32_t, int32_t, double, int32_t, CGradedObject**, double*) { return FALSE; }
BOOL CGradedObject::PickPointIfValid(int32_t, int32_t, double, int32_t, CGradedObject**, CPoint*) {
  return FALSE;
}

std::unique_ptr<CGradedObject> CGradedObject::Clone() const { return nullptr; }

CRect CGradedObject::GetLabelRect() const { return CRect(); }
void CGradedObject::SetLabelVisible(BOOL) {}
BOOL CGradedObject::IsLabelVisible() const { return FALSE; }
void CGradedObject::SetLabelValue(CDimLabel*, double) {}
double CGradedObject::GetLabelValue(CDimLabel*) const { return 0.0; }
BOOL CGradedObject::HitLabel(int32_t, int32_t, CDimLabel**) { return FALSE; }
BOOL CGradedObject::PickLabel(int32_t, int32_t, double, int32_t, CDimLabel**) { return FALSE; }
BOOL CGradedObject::HitTestAtBaseSize(int32_t, int32_t, double, double*) { return FALSE; }
void CGradedObject::UpdateLabel() {}
void CGradedObject::GetLabelText(CDimLabel*, CString&, CPoint*, CPoint*) const {}
void CGradedObject::GetAngleLabelText(CDimLabel*, CString&, CPoint*, CPoint*, CPoint*, BOOL*) const {}
void CGradedObject::GetRatioSpan(CDimLabel*, double*, CPoint*, CPoint*) const {}
void CGradedObject::GetCurveLabelText(CDimLabel*, CString&, std::vector<CPoint>&) const {}

void CGradedObject::ResolveIds() {}
BOOL CGradedObject::Load(ArchiveReader&) { return TRUE; }
void CGradedObject::CopyFrom(const CGradedObject&) {}
