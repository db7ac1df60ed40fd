#include "design/construct/construct_element.h"

#include <algorithm>
#include <cstddef>

#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/points/graded_point.h"

namespace {

// The flag word's stored value that the element keeps as 1: both mean "set".
constexpr int32_t kStoredFlagAlsoSet = 2;
constexpr int32_t kFlagSet = 1;

}  // namespace

int32_t OwnerSizeCount(const CDesignElement& element) {
  const CPatternData* data = element.GetPatternData();
  return data ? data->GetSizeCount() : 0;
}

// ---- CConstructElement ---------------------------------------------------------

CConstructElement::CConstructElement(CPatternRecord* owner, uint32_t subtype)
    : CConstructElement(owner, subtype, ConstructLayout{}) {}

CConstructElement::CConstructElement(CPatternRecord* owner, uint32_t subtype, const ConstructLayout& layout)
    : CDesignElement(owner, kElementTypeConstruct),
      m_Subtype(subtype),
      m_Layout(layout),
      m_References(static_cast<size_t>(std::max(layout.references, 0)), nullptr),
      m_Words(static_cast<size_t>(std::max(layout.words, 0)), 0) {
  CPatternData* data = GetPatternData();
  m_Formulas.assign(static_cast<size_t>(std::max(layout.formulas, 0)), CFormula(data));
}

CConstructElement::~CConstructElement() = default;

CGradedPoint* CConstructElement::GetReference(int32_t index) const {
  if (index < 0 || index >= GetReferenceCount()) return nullptr;
  return m_References[static_cast<size_t>(index)];
}

const CFormula* CConstructElement::GetFormula(int32_t index) const {
  if (index < 0 || index >= GetFormulaCount()) return nullptr;
  return &m_Formulas[static_cast<size_t>(index)];
}

int32_t CConstructElement::GetWord(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(m_Words.size())) return 0;
  return m_Words[static_cast<size_t>(index)];
}

CConstructElement::MarkParams CConstructElement::GetMarkParams() const {
  MarkParams params{};
  for (int32_t i = 0; i < kMarkParamCount; ++i) params[static_cast<size_t>(i)] = GetWord(i);
  return params;
}

BOOL CConstructElement::GetExtraMarkParams(ExtraMarkParams& extra) const {
  extra.fill(std::nullopt);
  return FALSE;
}

void CConstructElement::MergeIntoOutline(int32_t, PointList&) {}

void CConstructElement::MergeIntoSeamLine(int32_t, PointList&) {}

BOOL CConstructElement::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  return std::find(m_References.begin(), m_References.end(), object) != m_References.end() ? TRUE : FALSE;
}

void CConstructElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  used.insert(used.end(), m_References.begin(), m_References.end());
}

BOOL CConstructElement::Load(ArchiveReader& archive) {
  // A subtype without a class stores nothing that could be read.
  if (m_Layout.words <= 0) return FALSE;
  CPatternData* data = GetPatternData();

  std::vector<int32_t> positions(m_References.size(), -1);
  for (int32_t& position : positions) {
    if (!archive.ReadI32(position)) return FALSE;
  }
  std::vector<CFormula> formulas(m_Formulas.size());
  for (CFormula& formula : formulas) {
    formula.Reset(data);
    if (!formula.Load(archive)) return FALSE;
  }
  std::vector<int32_t> words(m_Words.size(), 0);
  for (int32_t& word : words) {
    if (!archive.ReadI32(word)) return FALSE;
  }

  for (size_t i = 0; i < positions.size(); ++i) {
    m_References[i] = data ? ResolveObject<CGradedPoint>(*data, positions[i]) : nullptr;
  }
  m_Formulas = std::move(formulas);
  const int32_t flag = m_Layout.flagWord;
  if (flag >= 0 && flag < static_cast<int32_t>(words.size()) && words[static_cast<size_t>(flag)] == kStoredFlagAlsoSet) {
    words[static_cast<size_t>(flag)] = kFlagSet;
  }
  m_Words = std::move(words);
  Invalidate(-1);
  return TRUE;
}

// ---- CConstructElementTwoRec -------------------------------------------------------

CConstructElementTwoRec::CConstructElementTwoRec(CPatternRecord* owner, uint32_t subtype,
                                                 const ConstructLayout& layout)
    : CConstructElement(owner, subtype, layout),
      m_OutlineRecords(OwnerSizeCount(*this)),
      m_SeamRecords(OwnerSizeCount(*this)) {}

void CConstructElementTwoRec::InsertSize(int32_t index) {
  m_OutlineRecords.Insert(index);
  m_SeamRecords.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElementTwoRec::RemoveSize(int32_t index) {
  m_OutlineRecords.Remove(index);
  m_SeamRecords.Remove(index);
  CConstructElement::RemoveSize(index);
}

// ---- CConstructElementOneRec -------------------------------------------------------

CConstructElementOneRec::CConstructElementOneRec(CPatternRecord* owner, uint32_t subtype,
                                                 const ConstructLayout& layout)
    : CConstructElement(owner, subtype, layout), m_Records(OwnerSizeCount(*this)) {}

void CConstructElementOneRec::InsertSize(int32_t index) {
  m_Records.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElementOneRec::RemoveSize(int32_t index) {
  m_Records.Remove(index);
  CConstructElement::RemoveSize(index);
}
