#include "design/core/pattern_data.h"

#include <algorithm>
#include <utility>

#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/points/graded_point.h"
#include "model/style.h"

namespace {

// Position of `item` in a list of owners, -1 when absent.
template <class T>
int32_t IndexOf(const std::vector<std::unique_ptr<T>>& list, const T* item) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].get() == item) return static_cast<int32_t>(i);
  }
  return -1;
}

// The entry at a stored position; null for -1 and for every position outside
// the list, so that a damaged reference resolves to no entry.
template <class T>
T* EntryAt(const std::vector<std::unique_ptr<T>>& list, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= list.size()) return nullptr;
  return list[static_cast<size_t>(index)].get();
}

// Deletes the entries head first. The list is emptied before the first
// entry goes, so that a destructor that asks the container finds no entry
// that is half destroyed.
template <class T>
void DeleteHeadFirst(std::vector<std::unique_ptr<T>>& list) {
  std::vector<std::unique_ptr<T>> doomed;
  doomed.swap(list);
  for (auto& entry : doomed) entry.reset();
}

}  // namespace

CPatternData::CPatternData() = default;

CPatternData::CPatternData(const char* name1, const char* name2, const char* name3, const char* name4,
                           const char* name5, LOGFONT font, int32_t version, int32_t mode, int32_t scale)
    : m_Version(version),
      m_Mode(mode),
      m_Scale(scale),
      m_Name1(name1),
      m_Name2(name2),
      m_Name3(name3),
      // Crossed on purpose: this constructor keeps its fourth name as name5
      // and its fifth as name4.
      m_Name4(name5),
      m_Name5(name4),
      m_LabelFont(font),
      m_Font2(font) {}

// Frees what Clear frees, in the same order; the header dies with the
// container, so it is not reset (and the style is not read) here.
CPatternData::~CPatternData() { DeleteContents(); }

void CPatternData::Clear() {
  m_Version = kNewestDataVersion;
  m_Mode = g_Style.Mode;
  m_Scale = kClearedScale;
  m_Name1.Empty();
  m_Name2.Empty();
  m_Name3.Empty();
  m_Name4.Empty();
  DeleteContents();
}

void CPatternData::DeleteContents() {
  // Records go before the objects they refer to, objects before the measures
  // and rows their formulas name, and the sizes last.
  m_SecondPieces.clear();
  DeleteHeadFirst(m_Pieces);
  DeleteHeadFirst(m_Objects);
  DeleteHeadFirst(m_Measures);
  DeleteHeadFirst(m_SizeRows);
  DeleteHeadFirst(m_Sizes);
}

CSizeEntry* CPatternData::GetSizeAt(int32_t index) const { return EntryAt(m_Sizes, index); }

void CPatternData::SetBaseSize(int32_t index) {
  m_BaseSize = index;
  UpdateAllLabels();
}

CSizeEntry* CPatternData::InsertSize(int32_t index, const CString& name, uint16_t colorIndex,
                                     int32_t value) {
  const int32_t oldCount = GetSizeCount();
  index = std::clamp(index, 0, oldCount);
  auto entry = std::make_unique<CSizeEntry>(name, colorIndex, value);
  CSizeEntry* added = entry.get();
  m_Sizes.insert(m_Sizes.begin() + index, std::move(entry));
  for (auto& row : m_SizeRows) {
    const int32_t copied = oldCount == 0 ? 0 : row->GetValue(index == 0 ? 0 : index - 1);
    row->InsertValue(index, copied);
  }
  return added;
}

CSizeTableRow* CPatternData::AddSizeRow(const CString& name) {
  m_SizeRows.push_back(std::make_unique<CSizeTableRow>(this, name));
  return m_SizeRows.back().get();
}

int32_t CPatternData::GetSizeRowIndex(const CSizeTableRow* row) const { return IndexOf(m_SizeRows, row); }

CSizeTableRow* CPatternData::GetSizeRowAt(int32_t index) const { return EntryAt(m_SizeRows, index); }

CPieceMeasure* CPatternData::AddMeasure(std::unique_ptr<CPieceMeasure> measure) {
  if (!measure) return nullptr;
  m_Measures.push_back(std::move(measure));
  return m_Measures.back().get();
}

int32_t CPatternData::GetMeasureIndex(const CPieceMeasure* measure) const { return IndexOf(m_Measures, measure); }

CPieceMeasure* CPatternData::GetMeasureAt(int32_t index) const { return EntryAt(m_Measures, index); }

void CPatternData::UpdateMeasures(const CGradedObject* object) {
  for (auto& measure : m_Measures) {
    if (measure->RefersTo(object)) measure->UpdateValidity(TRUE);
  }
}

CGradedObject* CPatternData::AddElement(std::unique_ptr<CGradedObject> object) {
  if (!object) return nullptr;
  m_Objects.push_back(std::move(object));
  return m_Objects.back().get();
}

int32_t CPatternData::GetElementIndex(const CGradedObject* object) const { return IndexOf(m_Objects, object); }

CGradedObject* CPatternData::GetElementAt(int32_t index) const { return EntryAt(m_Objects, index); }

void CPatternData::UpdateAllLabels() {
  for (auto& object : m_Objects) object->UpdateLabel();
}

void CPatternData::ShowAllLabels(BOOL show) {
  for (auto& object : m_Objects) object->SetLabelVisible(show);
}

void CPatternData::SetLabelFont(LOGFONT font) {
  m_LabelFont = font;
  UpdateAllLabels();
  // The measure labels are measured in the same font: a box laid out in the
  // old one would be picked and counted at the wrong size.
  for (auto& measure : m_Measures) measure->SetLayoutDirty();
}

CPatternRecord* CPatternData::AddPiece(std::unique_ptr<CPatternRecord> piece) {
  if (!piece) return nullptr;
  m_Pieces.push_back(std::move(piece));
  return m_Pieces.back().get();
}

int32_t CPatternData::GetPieceIndex(const CPatternRecord* piece) const { return IndexOf(m_Pieces, piece); }

CPatternRecord* CPatternData::GetPieceAt(int32_t index) const { return EntryAt(m_Pieces, index); }

BOOL CPatternData::AddSecondPiece(CPatternRecord* piece) {
  if (!piece || GetPieceIndex(piece) < 0) return FALSE;
  m_SecondPieces.push_back(piece);
  return TRUE;
}

CPatternRecord* CPatternData::GetSecondPieceAt(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_SecondPieces.size()) return nullptr;
  return m_SecondPieces[static_cast<size_t>(index)];
}

void CPatternData::RecalcPieces(int32_t size) {
  for (auto& piece : m_Pieces) piece->Recalc(size);
}

namespace {

// The object as a two-point line; null for any other object, also one that
// names itself kind 2 without being a line.
CGradedLine* AsLine(CGradedObject* object) {
  if (!object || object->GetKind() != kObjectKindLine) return nullptr;
  return dynamic_cast<CGradedLine*>(object);
}

}  // namespace

BOOL CPatternData::FindLineUsing(const CGradedObject* point, CGradedLine** line) const {
  CGradedLine* found = nullptr;
  for (const auto& object : m_Objects) {
    CGradedLine* candidate = AsLine(object.get());
    if (candidate && candidate->RefersTo(point)) {
      found = candidate;
      break;
    }
  }
  if (line) *line = found;
  return found ? TRUE : FALSE;
}

BOOL CPatternData::FindLine(const CGradedObject* a, const CGradedObject* b, CGradedLine** line) const {
  CGradedLine* found = nullptr;
  for (const auto& object : m_Objects) {
    CGradedLine* candidate = AsLine(object.get());
    if (candidate && candidate->IsThrough(a, b)) {
      found = candidate;
      break;
    }
  }
  if (line) *line = found;
  return found ? TRUE : FALSE;
}

BOOL CPatternData::IsLineEndPoint(const CGradedObject* object) const {
  const auto* point = dynamic_cast<const CGradedPoint*>(object);
  if (!point) return FALSE;
  if (point->IsDefined()) return TRUE;
  for (const auto& candidate : m_Objects) {
    if (const CGradedLine* line = AsLine(candidate.get())) {
      CGradedPoint* end1 = nullptr;
      CGradedPoint* end2 = nullptr;
      line->GetEndRefs(&end1, &end2);
      if (end1 == point || end2 == point) return TRUE;
    } else if (candidate->GetKind() == kObjectKindCurve) {
      const auto* curve = dynamic_cast<const CGradedCurve*>(candidate.get());
      if (curve && curve->IsEnd(point)) return TRUE;
    }
  }
  return FALSE;
}
