#include "design/core/pattern_data.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/core/design_element.h"
#include "design/points/graded_point.h"
#include "design/points/mirror_points.h"
#include "design/points/rotated_points.h"
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
  // and rows their formulas name, and the sizes last. Everything goes, so
  // the elements' requests to delete their hidden points are not needed and
  // must not walk lists that are being emptied.
  const bool wasClearing = m_Clearing;
  m_Clearing = true;
  m_SecondPieces.clear();
  DeleteHeadFirst(m_Pieces);
  DeleteHeadFirst(m_Objects);
  DeleteHeadFirst(m_Measures);
  DeleteHeadFirst(m_SizeRows);
  DeleteHeadFirst(m_Sizes);
  m_Clearing = wasClearing;
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

// ---- Editing ---------------------------------------------------------------

namespace {

CGradedCurve* AsCurve(CGradedObject* object) {
  if (!object || object->GetKind() != kObjectKindCurve) return nullptr;
  return dynamic_cast<CGradedCurve*>(object);
}

// Calls `visit` on every element of every piece, in list order.
template <class Visit>
void ForEachPieceElement(const std::vector<std::unique_ptr<CPatternRecord>>& pieces, Visit visit) {
  for (const auto& piece : pieces) {
    CPatternRecord::POSITION position = piece->GetFirstElementPosition();
    while (position) {
      if (CDesignElement* element = piece->GetNextElement(position)) visit(element);
    }
  }
}

// The end objects of a line or curve whose state is re-applied once it is
// gone, in the order that is done: the first and second through (defining)
// reference, then each drawn end unless it is that same reference.
std::vector<CGradedObject*> EndObjectsOf(CGradedObject* object) {
  CGradedPoint* first = nullptr;
  CGradedPoint* second = nullptr;
  CGradedPoint* start = nullptr;
  CGradedPoint* end = nullptr;
  if (CGradedLine* line = AsLine(object)) {
    line->GetThroughRefs(&first, &second);
    line->GetEndRefs(&start, &end);
  } else if (CGradedCurve* curve = AsCurve(object)) {
    curve->GetFirstLastRefs(first, second);
    curve->GetEnds(start, end);
  } else {
    return {};
  }
  std::vector<CGradedObject*> ends = {first, second};
  if (start != first) ends.push_back(start);
  if (end != second) ends.push_back(end);
  return ends;
}

}  // namespace

void CPatternData::InsertSizeInObjects(int32_t index) {
  for (auto& object : m_Objects) object->InsertSize(index);
  for (auto& piece : m_Pieces) piece->InsertSize(index);
}

void CPatternData::RemoveSize(int32_t index) {
  if (index < 0 || index >= GetSizeCount()) return;
  m_Sizes.erase(m_Sizes.begin() + index);
  for (auto& row : m_SizeRows) row->RemoveValue(index);
  for (auto& object : m_Objects) object->RemoveSize(index);
  for (auto& piece : m_Pieces) piece->RemoveSize(index);
}

// ---- Size-table rows ----

CSizeTableRow* CPatternData::AddSizeRowHead(const CString& name) { return InsertSizeRowAt(-1, name); }

CSizeTableRow* CPatternData::InsertSizeRowAt(int32_t index, const CString& name) {
  auto row = std::make_unique<CSizeTableRow>(this, name);
  CSizeTableRow* added = row.get();
  if (index == -1) index = 0;
  if (index < 0 || index > GetSizeRowCount()) index = GetSizeRowCount();
  m_SizeRows.insert(m_SizeRows.begin() + index, std::move(row));
  return added;
}

CSizeTableRow* CPatternData::InsertSizeRowBefore(const CString& existing, const CString& name) {
  const int32_t index = FindSizeRowIndex(existing);
  return InsertSizeRowAt(index < 0 ? GetSizeRowCount() : index, name);
}

CSizeTableRow* CPatternData::InsertSizeRowAfter(const CString& existing, const CString& name) {
  const int32_t index = FindSizeRowIndex(existing);
  return InsertSizeRowAt(index < 0 ? GetSizeRowCount() : index + 1, name);
}

int32_t CPatternData::FindSizeRowIndex(const CString& name) const {
  for (size_t i = 0; i < m_SizeRows.size(); ++i) {
    if (m_SizeRows[i]->GetName() == name) return static_cast<int32_t>(i);
  }
  return -1;
}

CSizeTableRow* CPatternData::FindSizeRow(const CString& name, int32_t* index) const {
  const int32_t found = FindSizeRowIndex(name);
  if (index) *index = found;
  return GetSizeRowAt(found);
}

BOOL CPatternData::SetSizeRowValue(const CString& name, int32_t size, int32_t value, BOOL update) {
  CSizeTableRow* row = FindSizeRow(name, nullptr);
  if (!row) return FALSE;
  row->SetValue(size, value);
  if (update) SizeRowChanged(row, TRUE);
  return TRUE;
}

BOOL CPatternData::GetSizeRowValue(const CString& name, int32_t size, int32_t* value) const {
  const CSizeTableRow* row = FindSizeRow(name, nullptr);
  if (!row) return FALSE;
  if (value) *value = row->GetValue(size);
  return TRUE;
}

void CPatternData::MoveSizeRow(int32_t to, int32_t from) {
  if (to == from || from < 0 || from >= GetSizeRowCount()) return;
  std::unique_ptr<CSizeTableRow> row = std::move(m_SizeRows[static_cast<size_t>(from)]);
  m_SizeRows.erase(m_SizeRows.begin() + from);
  const int32_t at = to < 0 ? 0 : std::min(to, GetSizeRowCount());
  m_SizeRows.insert(m_SizeRows.begin() + at, std::move(row));
}

void CPatternData::ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow) {
  for (auto& object : m_Objects) object->ReplaceSizeRow(oldRow, newRow);
}

void CPatternData::SizeRowChanged(CSizeTableRow* row, BOOL update) {
  CGradedObjectList changedObjects;
  for (auto& object : m_Objects) {
    if (object->UsesSizeRow(row, FALSE)) changedObjects.push_back(object.get());
  }
  const bool changed = !changedObjects.empty();
  InvalidateFrom(changedObjects);
  ForEachPieceElement(m_Pieces, [row](CDesignElement* element) { element->InvalidateIfUsesSizeRow(row); });
  if (update && changed) RecalcPieces(-1);
}

void CPatternData::RemoveSizeRow(const CString& name, BOOL update) {
  const int32_t index = FindSizeRowIndex(name);
  if (index < 0) return;
  // The row stays alive until every formula that used it has taken its
  // value as a constant.
  std::unique_ptr<CSizeTableRow> row = std::move(m_SizeRows[static_cast<size_t>(index)]);
  m_SizeRows.erase(m_SizeRows.begin() + index);
  CGradedObjectList changedObjects;
  for (auto& object : m_Objects) {
    if (object->ReleaseSizeRow(row.get(), FALSE)) changedObjects.push_back(object.get());
  }
  const bool changed = !changedObjects.empty();
  InvalidateFrom(changedObjects);
  CSizeTableRow* removed = row.get();
  ForEachPieceElement(m_Pieces, [removed](CDesignElement* element) { element->FreezeIfUsesSizeRow(removed); });
  if (update && changed) RecalcPieces(-1);
}

// ---- Measures ----

std::unique_ptr<CPieceMeasure> CPatternData::RemoveMeasureAt(int32_t index) {
  if (index < 0 || index >= GetMeasureCount()) return nullptr;
  std::unique_ptr<CPieceMeasure> measure = std::move(m_Measures[static_cast<size_t>(index)]);
  m_Measures.erase(m_Measures.begin() + index);
  return measure;
}

void CPatternData::DeleteMeasure(CPieceMeasure* measure, BOOL update) {
  std::unique_ptr<CPieceMeasure> owned = RemoveMeasureAt(GetMeasureIndex(measure));
  if (!owned) return;
  CGradedObjectList changedObjects;
  for (auto& object : m_Objects) {
    if (object->ReleaseMeasure(measure, FALSE)) changedObjects.push_back(object.get());
  }
  const bool changed = !changedObjects.empty();
  InvalidateFrom(changedObjects);
  ForEachPieceElement(m_Pieces, [measure](CDesignElement* element) { element->FreezeIfUsesMeasure(measure); });
  if (update && changed) RecalcPieces(-1);
}

void CPatternData::ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure) {
  for (auto& object : m_Objects) object->ReplaceMeasure(oldMeasure, newMeasure);
}

void CPatternData::MeasureChanged(CPieceMeasure* measure, BOOL update) {
  CGradedObjectList changedObjects;
  for (auto& object : m_Objects) {
    if (object->UsesMeasure(measure, FALSE)) changedObjects.push_back(object.get());
  }
  const bool changed = !changedObjects.empty();
  InvalidateFrom(changedObjects);
  ForEachPieceElement(m_Pieces, [measure](CDesignElement* element) { element->InvalidateIfUsesMeasure(measure); });
  if (update && changed) RecalcPieces(-1);
}

CPieceMeasure* CPatternData::FindMeasure(const CString& name, int32_t* index) const {
  for (size_t i = 0; i < m_Measures.size(); ++i) {
    if (m_Measures[i]->GetName() == name) {
      if (index) *index = static_cast<int32_t>(i);
      return m_Measures[i].get();
    }
  }
  if (index) *index = -1;
  return nullptr;
}

void CPatternData::UpdateAllMeasures(BOOL check) {
  for (auto& measure : m_Measures) measure->UpdateValidity(check);
}

CRect CPatternData::GetMeasuresRect() {
  CRect all;
  all.SetRectEmpty();
  for (auto& measure : m_Measures) {
    const CRect box = measure->GetBoundRect();
    CRect joined;
    joined.UnionRect(all, box);
    all = joined;
  }
  return all;
}

// ---- Graded objects ----

CGradedObject* CPatternData::AddElementHead(std::unique_ptr<CGradedObject> object) {
  if (!object) return nullptr;
  m_Objects.insert(m_Objects.begin(), std::move(object));
  return m_Objects.front().get();
}

std::unique_ptr<CGradedObject> CPatternData::RemoveElementAt(int32_t index) {
  if (index < 0 || index >= GetElementCount()) return nullptr;
  std::unique_ptr<CGradedObject> object = std::move(m_Objects[static_cast<size_t>(index)]);
  m_Objects.erase(m_Objects.begin() + index);
  return object;
}

void CPatternData::ReplaceReferences(CGradedObject* oldObject, CGradedObject* newObject) {
  for (auto& object : m_Objects) object->ReplaceReference(oldObject, newObject);
  for (auto& piece : m_Pieces) {
    if (piece->GetRefPoint() == oldObject) piece->SetRefPoint(newObject);
  }
  ForEachPieceElement(m_Pieces, [oldObject, newObject](CDesignElement* element) {
    element->ReplaceReference(oldObject, newObject);
  });
}

void CPatternData::GetLinkedObjects(const CGradedObject* object, CGradedObjectList& linked) const {
  linked.clear();
  if (!object) return;
  const int32_t kind = object->GetKind();
  if (kind != kObjectKindLine && kind != kObjectKindCurve) return;
  for (const auto& other : m_Objects) {
    if (other.get() != object && other->GetKind() == kind && other->GetLink() == object) linked.push_back(other.get());
  }
}

void CPatternData::ReplaceReferencesInLinked(CGradedObject* oldObject, CGradedObject* newObject,
                                             CGradedObject* object) {
  CGradedObjectList linked;
  GetLinkedObjects(object, linked);
  for (CGradedObject* link : linked) {
    CGradedObjectList references;
    link->GetReferences(references);
    for (CGradedObject* reference : references) {
      if (!reference) continue;
      if (auto* mirror = dynamic_cast<CLineMirrorPoint*>(reference)) {
        // A mirrored point follows a new source; its mirror line stays.
        mirror->ReplaceSourcePoint(oldObject, newObject);
      } else {
        reference->ReplaceReference(oldObject, newObject);
      }
    }
  }
  for (auto& piece : m_Pieces) {
    if (piece->GetRefPoint() == oldObject) piece->SetRefPoint(newObject);
  }
  ForEachPieceElement(m_Pieces, [oldObject, newObject](CDesignElement* element) {
    element->ReplaceReference(oldObject, newObject);
  });
}

void CPatternData::InvalidateDependents(CGradedObject* object, BOOL update) {
  if (object) InvalidateFrom({object});
  if (update) RecalcPieces(-1);
}

void CPatternData::InvalidateFrom(const CGradedObjectList& starts) {
  if (starts.empty()) return;
  // Who uses whom, in list order, counted once for the whole walk: asking
  // every object about every changed one would cost the square of a long
  // chain. GetUsedObjects lists at least every object RefersTo answers for;
  // RefersTo still decides.
  std::unordered_map<const CGradedObject*, std::vector<CGradedObject*>> users;
  std::unordered_map<const CGradedObject*, std::vector<CGradedCurve*>> curvesEndingOn;
  {
    CGradedObjectList used;
    for (auto& object : m_Objects) {
      used.clear();
      object->GetUsedObjects(used);
      std::sort(used.begin(), used.end());
      used.erase(std::unique(used.begin(), used.end()), used.end());
      for (CGradedObject* target : used) {
        if (target && target != object.get()) users[target].push_back(object.get());
      }
      if (CGradedCurve* curve = AsCurve(object.get())) {
        CGradedPoint* start = nullptr;
        CGradedPoint* end = nullptr;
        curve->GetEnds(start, end);
        if (start) curvesEndingOn[start].push_back(curve);
        if (end && end != start) curvesEndingOn[end].push_back(curve);
      }
    }
  }
  static const std::vector<CGradedObject*> kNoUsers;
  auto usersOf = [&users](const CGradedObject* object) -> const std::vector<CGradedObject*>& {
    auto found = users.find(object);
    return found == users.end() ? kNoUsers : found->second;
  };

  // Each frame stands for one call of a depth-first walk: an object frame
  // walks the objects that refer to its object, then the measures on it; a
  // measure frame walks the objects whose formulas use its measure. `next`
  // is where the walk resumes once the frame above it is done. Every object
  // is entered once, so a cycle, also one through a measure, ends.
  struct Frame {
    CGradedObject* object;
    CPieceMeasure* measure;
    size_t next;
    bool inMeasures;
  };
  std::vector<Frame> stack;
  std::unordered_set<const CGradedObject*> reached;
  auto enter = [&](CGradedObject* object) {
    if (!reached.insert(object).second) return;
    object->Invalidate(-1);
    // A curve that starts or ends on the changed object trims itself again.
    if (auto found = curvesEndingOn.find(object); found != curvesEndingOn.end()) {
      for (CGradedCurve* curve : found->second) curve->InvalidatePoints(-1);
    }
    stack.push_back(Frame{object, nullptr, 0, false});
  };
  for (CGradedObject* start : starts) {
    enter(start);
    while (!stack.empty()) {
      const size_t top = stack.size() - 1;
      if (stack[top].measure) {
        CPieceMeasure* measure = stack[top].measure;
        size_t i = stack[top].next;
        while (i < m_Objects.size() && !m_Objects[i]->UsesMeasure(measure, FALSE)) ++i;
        if (i < m_Objects.size()) {
          stack[top].next = i + 1;
          enter(m_Objects[i].get());
          continue;
        }
        stack.pop_back();
        ForEachPieceElement(m_Pieces,
                            [measure](CDesignElement* element) { element->InvalidateIfUsesMeasure(measure); });
        continue;
      }
      CGradedObject* changed = stack[top].object;
      if (!stack[top].inMeasures) {
        const std::vector<CGradedObject*>& dependents = usersOf(changed);
        size_t i = stack[top].next;
        while (i < dependents.size() &&
               (reached.count(dependents[i]) || dependents[i]->IsAllDirty() || !dependents[i]->RefersTo(changed))) {
          ++i;
        }
        if (i < dependents.size()) {
          stack[top].next = i + 1;
          enter(dependents[i]);
          continue;
        }
        stack[top].inMeasures = true;
        stack[top].next = 0;
      }
      size_t j = stack[top].next;
      while (j < m_Measures.size() && !m_Measures[j]->RefersTo(changed)) ++j;
      if (j < m_Measures.size()) {
        stack[top].next = j + 1;
        CPieceMeasure* measure = m_Measures[j].get();
        // Its length follows the object; the label is measured again.
        measure->SetLayoutDirty();
        stack.push_back(Frame{nullptr, measure, 0, false});
        continue;
      }
      stack.pop_back();
    }
  }
}

BOOL CPatternData::IsReferencedExcept(const CGradedObject* except, const CGradedObject* object) const {
  if (!object) return FALSE;
  for (const auto& other : m_Objects) {
    if (other.get() != object && other.get() != except && other->RefersTo(object)) return TRUE;
  }
  for (const auto& record : m_Pieces) {
    if (record->RefersTo(object)) return TRUE;
  }
  return FALSE;
}

BOOL CPatternData::IsLinkTargetExcept(const CGradedObject* except, const CGradedObject* object) const {
  if (!object) return FALSE;
  // Any object a line or curve names as its link is kept, whatever its kind:
  // a damaged file may link a line to a text, and deleting that text would
  // leave the line holding a freed pointer.
  for (const auto& other : m_Objects) {
    const int32_t kind = other->GetKind();
    if (other.get() != object && other.get() != except && (kind == kObjectKindLine || kind == kObjectKindCurve) &&
        other->GetLink() == object) {
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternData::IsOnlyMirrorLinePoint(const CGradedObject* object) const {
  if (!object) return FALSE;
  bool mirrorLine = false;
  for (const auto& other : m_Objects) {
    if (other.get() == object || !other->RefersTo(object)) continue;
    if (const auto* mirror = dynamic_cast<const CLineMirrorPoint*>(other.get())) {
      if (!mirror->IsMirrorLinePoint(object)) return FALSE;
      mirrorLine = true;
    } else if (other->GetKind() != kObjectKindPoint) {
      return FALSE;
    }
  }
  return mirrorLine ? TRUE : FALSE;
}

void CPatternData::DeleteElement(CGradedObject* object) { DeleteElementImpl(nullptr, object); }

void CPatternData::DeleteElementExcept(CGradedObject* except, CGradedObject* object) {
  DeleteElementImpl(except, object);
}

void CPatternData::DeleteIfHidden(CGradedObject* object) {
  // The list is asked first: an object named twice may be gone already.
  if (!object || m_Clearing || GetElementIndex(object) < 0) return;
  if (object->GetState() == 0) DeleteElement(object);
}

void CPatternData::DeleteElementImpl(CGradedObject* except, CGradedObject* object) {
  // While the container frees its contents every object goes anyway.
  if (!object || m_Clearing) return;
  const bool inUse = except ? (IsReferencedExcept(except, object) || IsLinkTargetExcept(except, object) ||
                               IsUsedByMeasure(object))
                            : (IsReferenced(object) || IsLinkTarget(object) || IsUsedByMeasure(object));
  if (inUse) {
    if (except) return;
    // Kept in its place, so that the objects that use it still find it.
    object->SetState(0);
    // A point that only other points use leaves no mark on the drawing; one
    // on a line keeps its label, which tells where the line stands.
    if (!IsOnlyMirrorLinePoint(object) && object->GetKind() == kObjectKindPoint && !FindLineUsing(object, nullptr)) {
      object->SetLabelVisible(FALSE);
    }
    return;
  }
  const int32_t index = GetElementIndex(object);
  if (index < 0) return;
  std::unique_ptr<CGradedObject> owned = RemoveElementAt(index);
  CGradedObjectList references;
  const BOOL hasReferences = object->GetKind() != kObjectKindPoint && object->GetReferences(references);
  // Out of the list, the object no longer keeps its references in use.
  if (hasReferences) DeleteUnusedReferences(references);
  DestroyUnused(std::move(owned));
}

void CPatternData::DestroyUnused(std::unique_ptr<CGradedObject> owned) {
  CGradedObject* object = owned.get();
  for (auto& piece : m_Pieces) {
    if (piece->UsesRefPoint(object)) piece->SetRefPoint(nullptr);
  }
  // Kind-38 points name a curve as their link without referring to it, so
  // no use test keeps the curve for them: every one of them loses the link
  // before the curve goes.
  if (object->GetKind() == kObjectKindCurve) {
    for (auto& other : m_Objects) {
      if (auto* linked = dynamic_cast<CLinkedPoint*>(other.get()); linked && linked->GetLink() == object) {
        linked->SetLink(nullptr);
      }
    }
  }
  const std::vector<CGradedObject*> ends = EndObjectsOf(object);
  owned.reset();
  for (CGradedObject* end : ends) {
    // Only pointers still in the list are touched: an end that went with
    // the object's unused references is gone.
    if (!end || GetElementIndex(end) < 0) continue;
    end->SetState(end->GetState());
    UpdateMeasures(end);
  }
}

void CPatternData::DeleteUnusedReferences(CGradedObjectList& list) {
  bool dropped = true;
  while (dropped) {
    dropped = false;
    for (size_t i = 0; i < list.size(); ++i) {
      CGradedObject* candidate = list[i];
      const bool unused = candidate && candidate->GetState() == 0 && !IsReferenced(candidate) &&
                          !IsLinkTarget(candidate) && !IsUsedByMeasure(candidate);
      if (!unused) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        dropped = true;
        break;
      }
    }
  }
  // Candidates are compared by address only until found in the list, so a
  // duplicate of one already freed is skipped without being touched.
  for (CGradedObject* candidate : list) {
    const int32_t index = GetElementIndex(candidate);
    if (index >= 0) DestroyUnused(RemoveElementAt(index));
  }
  list.clear();
}

void CPatternData::StoreCurveBasePoints() {
  for (auto& object : m_Objects) {
    if (CGradedCurve* curve = AsCurve(object.get())) curve->StoreBasePoints();
  }
}

BOOL CPatternData::UpdateCurveOwnedPoints() {
  std::vector<CGradedCurve*> curves;
  for (auto& object : m_Objects) {
    if (CGradedCurve* curve = AsCurve(object.get())) {
      curve->UpdateOwnedPoints();
      curves.push_back(curve);
    }
  }
  if (curves.empty()) return TRUE;
  for (CGradedCurve* curve : curves) {
    curve->Invalidate(-1);
    InvalidateDependents(curve, FALSE);
  }
  RecalcPieces(-1);
  return TRUE;
}

// ---- Pieces ----

CPatternRecord* CPatternData::AddPieceHead(std::unique_ptr<CPatternRecord> piece) {
  if (!piece) return nullptr;
  m_Pieces.insert(m_Pieces.begin(), std::move(piece));
  return m_Pieces.front().get();
}

CPatternRecord* CPatternData::InsertPieceAfter(int32_t index, std::unique_ptr<CPatternRecord> piece) {
  if (!piece || index < 0 || index >= GetPieceCount()) return nullptr;
  CPatternRecord* added = piece.get();
  m_Pieces.insert(m_Pieces.begin() + index + 1, std::move(piece));
  return added;
}

CPatternRecord* CPatternData::InsertPieceBefore(int32_t index, std::unique_ptr<CPatternRecord> piece) {
  if (!piece || index < 0 || index >= GetPieceCount()) return nullptr;
  CPatternRecord* added = piece.get();
  m_Pieces.insert(m_Pieces.begin() + index, std::move(piece));
  return added;
}

void CPatternData::DeletePiece(CPatternRecord* piece) {
  RemoveSecondPiece(piece);
  DeletePieceAt(GetPieceIndex(piece));
}

void CPatternData::DeletePieceAt(int32_t index) {
  if (index < 0 || index >= GetPieceCount()) return;
  std::unique_ptr<CPatternRecord> piece = std::move(m_Pieces[static_cast<size_t>(index)]);
  m_Pieces.erase(m_Pieces.begin() + index);
  RemoveSecondPiece(piece.get());
  piece.reset();
}

void CPatternData::DeleteAllPieces() {
  while (!m_Pieces.empty()) DeletePieceAt(0);
}

void CPatternData::MovePiece(int32_t from, int32_t to) {
  if (from == to || from < 0 || to < 0 || from >= GetPieceCount() || to >= GetPieceCount()) return;
  // Before the piece at `to` when moving up, after it when moving down:
  // either way the piece ends at index `to`.
  std::unique_ptr<CPatternRecord> piece = std::move(m_Pieces[static_cast<size_t>(from)]);
  m_Pieces.erase(m_Pieces.begin() + from);
  m_Pieces.insert(m_Pieces.begin() + to, std::move(piece));
}

void CPatternData::RecalcAllPieces(int32_t size) {
  for (auto& piece : m_Pieces) {
    piece->Invalidate(size);
    piece->Recalc(size);
  }
}

int32_t CPatternData::FindSecondPiece(const CPatternRecord* piece) const {
  for (size_t i = 0; i < m_SecondPieces.size(); ++i) {
    if (m_SecondPieces[i] == piece) return static_cast<int32_t>(i);
  }
  return -1;
}

void CPatternData::RemoveSecondPiece(const CPatternRecord* piece) {
  const int32_t index = FindSecondPiece(piece);
  if (index >= 0) m_SecondPieces.erase(m_SecondPieces.begin() + index);
}

void CPatternData::MoveInSecondList(CPatternRecord* piece, int32_t index) {
  const int32_t at = FindSecondPiece(piece);
  if (at < 0) return;
  m_SecondPieces.erase(m_SecondPieces.begin() + at);
  const int32_t to = index < 0 ? 0 : std::min<int32_t>(index, GetSecondPieceCount());
  m_SecondPieces.insert(m_SecondPieces.begin() + to, piece);
}
