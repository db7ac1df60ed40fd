#include "design/construct/type64_elements.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"

namespace {

// The container's size count, or none without an owner or container.
size_t SizeCountOf(const CDesignElement& element) {
  const CPatternData* data = element.GetPatternData();
  const int32_t count = data ? data->GetSizeCount() : 0;
  return count > 0 ? static_cast<size_t>(count) : 0;
}

// Inserts a default entry at `index` (0 to the count); false when outside.
template <class T>
bool InsertAt(std::vector<T>& list, int32_t index) {
  if (index < 0 || index > static_cast<int32_t>(list.size())) return false;
  list.insert(list.begin() + index, T{});
  return true;
}

template <class T>
bool RemoveAt(std::vector<T>& list, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(list.size())) return false;
  list.erase(list.begin() + index);
  return true;
}

}  // namespace

// ---- CType64Element ------------------------------------------------------------

CType64Element::CType64Element(CPatternRecord* owner, int32_t subtype)
    : CDesignElement(owner, kElementTypeShape), m_Subtype(subtype) {}

CType64Element::~CType64Element() = default;

void CType64Element::ApplyToOutline(int32_t, PointList&) {}

void CType64Element::ApplyToSeamLine(int32_t, PointList&) {}

// ---- CType64Band -----------------------------------------------------------------

template <class Record>
CType64Band<Record>::CType64Band(CPatternRecord* owner, int32_t subtype) : CType64Element(owner, subtype) {
  CPatternData* data = GetPatternData();
  m_FirstValue.Reset(data);
  m_SecondValue.Reset(data);
  const size_t sizes = SizeCountOf(*this);
  m_OutlineRecords.resize(sizes);
  m_SeamRecords.resize(sizes);
  Invalidate(-1);
}

template <class Record>
CType64Band<Record>::~CType64Band() = default;

template <class Record>
BOOL CType64Band<Record>::RefersTo(const CGradedObject* object) const {
  return object && (object == m_FirstRef || object == m_SecondRef) ? TRUE : FALSE;
}

template <class Record>
void CType64Band<Record>::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  used.push_back(m_FirstRef);
  used.push_back(m_SecondRef);
}

template <class Record>
void CType64Band<Record>::ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) {
  bool replaced = false;
  for (CGradedObject** ref : {&m_FirstRef, &m_SecondRef}) {
    if (*ref == oldObject) {
      *ref = newObject;
      replaced = true;
    }
  }
  if (replaced) Invalidate(-1);
}

template <class Record>
BOOL CType64Band<Record>::FreezeIfUsesSizeRow(CSizeTableRow* row) {
  BOOL frozen = FALSE;
  for (CFormula* value : Values()) {
    if (value->UsesSizeRow(row)) {
      value->Freeze();
      frozen = TRUE;
    }
  }
  return frozen;
}

template <class Record>
BOOL CType64Band<Record>::InvalidateIfUsesSizeRow(CSizeTableRow* row) {
  if (!m_FirstValue.UsesSizeRow(row) && !m_SecondValue.UsesSizeRow(row)) return FALSE;
  Invalidate(-1);
  return TRUE;
}

template <class Record>
BOOL CType64Band<Record>::FreezeIfUsesMeasure(CPieceMeasure* measure) {
  BOOL frozen = FALSE;
  for (CFormula* value : Values()) {
    if (value->UsesMeasure(measure)) {
      value->Freeze();
      frozen = TRUE;
    }
  }
  return frozen;
}

template <class Record>
BOOL CType64Band<Record>::InvalidateIfUsesMeasure(CPieceMeasure* measure) {
  if (!m_FirstValue.UsesMeasure(measure) && !m_SecondValue.UsesMeasure(measure)) return FALSE;
  Invalidate(-1);
  return TRUE;
}

template <class Record>
void CType64Band<Record>::InsertSize(int32_t index) {
  if (!InsertAt(m_OutlineRecords, index)) return;
  InsertAt(m_SeamRecords, index);
  CDesignElement::InsertSize(index);
}

template <class Record>
void CType64Band<Record>::RemoveSize(int32_t index) {
  if (!RemoveAt(m_OutlineRecords, index)) return;
  RemoveAt(m_SeamRecords, index);
  CDesignElement::RemoveSize(index);
}

template <class Record>
BOOL CType64Band<Record>::Load(ArchiveReader& archive) {
  CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  int32_t first = -1;
  int32_t second = -1;
  CFormula firstValue(data);
  CFormula secondValue(data);
  Parameters params{};
  if (!archive.ReadI32(first) || !archive.ReadI32(second) || !firstValue.Load(archive) ||
      !secondValue.Load(archive)) {
    return FALSE;
  }
  for (int32_t& param : params) {
    if (!archive.ReadI32(param)) return FALSE;
  }
  m_FirstRef = ResolveObjectOfKind(*data, first, kObjectKindPoint);
  m_SecondRef = ResolveObjectOfKind(*data, second, kObjectKindPoint);
  m_FirstValue = firstValue;
  m_SecondValue = secondValue;
  m_Params = params;
  Invalidate(-1);
  return TRUE;
}

template class CType64Band<CShapeRecordA>;
template class CType64Band<CShapeRecordB>;

// ---- Registration ------------------------------------------------------------------

namespace {

template <class Element>
void RegisterSubtype(ElementFactory& factory) {
  factory.Register(ElementCode{kElementTypeShape, Element::kSubtype},
                   [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
                     return std::make_unique<Element>(owner);
                   });
}

}  // namespace

void RegisterType64Elements() {
  ElementFactory& factory = GetElementFactory();
  RegisterSubtype<CType64Element1>(factory);
  RegisterSubtype<CType64Element2>(factory);
  RegisterSubtype<CType64Element4>(factory);
  RegisterSubtype<CType64Element8>(factory);
  RegisterSubtype<CType64Element16>(factory);
  RegisterSubtype<CType64Element32>(factory);
}
