#include "design/construct/construct_element.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"
#include "design/points/graded_point.h"
#include "platform/numbers.h"

namespace {

// The flag word's stored value that the element keeps as 1: both mean "set".
constexpr int32_t kStoredFlagAlsoSet = 2;
constexpr int32_t kFlagSet = 1;

}  // namespace

int32_t OwnerSizeCount(const CDesignElement& element) {
  const CPatternData* data = element.GetPatternData();
  return data ? data->GetSizeCount() : 0;
}

CRect PointRecordBoundRect(const CPoint* points, int count, bool onePast) {
  if (count <= 0) return CRect();
  int64_t left = points[0].x, top = points[0].y, right = points[0].x, bottom = points[0].y;
  for (int i = 1; i < count; ++i) {
    left = std::min<int64_t>(left, points[i].x);
    top = std::min<int64_t>(top, points[i].y);
    right = std::max<int64_t>(right, points[i].x);
    bottom = std::max<int64_t>(bottom, points[i].y);
  }
  if (onePast) {
    ++right;
    ++bottom;
  }
  return CRect(SaturateToInt32(left), SaturateToInt32(top), SaturateToInt32(right), SaturateToInt32(bottom));
}

void PointRecordTurn(CPoint* point, int32_t cx, int32_t cy, double sinA, double cosA) {
  RotatePointInPlace(point, cx, cy, sinA, cosA);
}

BOOL HitTestRecordPoints(const CPoint* points, int32_t count, const PointList& shape, int32_t x, int32_t y,
                         double tolerance, double* distance) {
  if (count <= 0) return FALSE;
  double nearest = std::numeric_limits<double>::infinity();
  for (int32_t i = 0; i < count; ++i) {
    const double d = PointDistance(x, y, points[i].x, points[i].y);
    if (d < nearest) nearest = d;
  }
  if (nearest <= tolerance) {
    if (distance) *distance = nearest;
    return TRUE;
  }
  if (IsPointInPointList(x, y, shape)) {
    if (distance) *distance = tolerance;
    return TRUE;
  }
  return FALSE;
}

// ---- CConstructElement ---------------------------------------------------------

CConstructElement::CConstructElement(CPatternRecord* owner, uint32_t subtype)
    : CConstructElement(owner, subtype, ConstructLayout{}) {}

CConstructElement::CConstructElement(CPatternRecord* owner, uint32_t subtype, const ConstructLayout& layout)
    : CDesignElement(owner, kElementTypeConstruct),
      m_Subtype(subtype),
      m_Layout(layout),
      m_References(static_cast<size_t>(std::max(layout.references, 0)), nullptr),
      m_Words(static_cast<size_t>(std::max(layout.words, 0)), 0),
      m_Had(static_cast<size_t>(OwnerSizeCount(*this)), 0) {
  CPatternData* data = GetPatternData();
  m_Formulas.assign(static_cast<size_t>(std::max(layout.formulas, 0)), CFormula(data));
}

// Hidden construction points that only a dart used are not deleted here:
// the container owns them and frees every object after its pieces, so a
// dart freed with its container never reaches into objects or elements
// already gone.
CConstructElement::~CConstructElement() {
  // The hidden points kept only for this element go with it.
  if (CPatternData* data = GetPatternData()) {
    for (CGradedPoint* reference : m_References) data->DeleteIfHidden(reference);
  }
}

void CConstructElement::SetReferences(const std::vector<CGradedPoint*>& references) {
  for (size_t i = 0; i < m_References.size() && i < references.size(); ++i) m_References[i] = references[i];
  Invalidate(-1);
}

void CConstructElement::SetFormula(int32_t index, const CFormula& formula) {
  if (index < 0 || index >= GetFormulaCount()) return;
  CFormula& own = m_Formulas[static_cast<size_t>(index)];
  own.Reset(GetPatternData());
  own.CopyFrom(formula);
  Invalidate(-1);
}

void CConstructElement::SetWords(const std::vector<int32_t>& words) {
  for (size_t i = 0; i < m_Words.size() && i < words.size(); ++i) m_Words[i] = words[i];
  Invalidate(-1);
}

void CConstructElement::SetTrailingWords(const std::vector<int32_t>& words) {
  for (size_t i = 1; i < m_Words.size() && i - 1 < words.size(); ++i) m_Words[i] = words[i - 1];
}

void CConstructElement::SetAll(const std::vector<CGradedPoint*>& references, const std::vector<CFormula>& formulas,
                               const std::vector<int32_t>& words) {
  for (size_t i = 0; i < m_References.size() && i < references.size(); ++i) m_References[i] = references[i];
  for (size_t i = 0; i < m_Formulas.size() && i < formulas.size(); ++i) {
    m_Formulas[i].Reset(GetPatternData());
    m_Formulas[i].CopyFrom(formulas[i]);
  }
  for (size_t i = 0; i < m_Words.size() && i < words.size(); ++i) m_Words[i] = words[i];
  m_Had.assign(static_cast<size_t>(OwnerSizeCount(*this)), 0);
  ResizeRecords();
  Invalidate(-1);
}

BOOL CConstructElement::HadPoints(int32_t size) {
  if (size < 0 || size >= static_cast<int32_t>(m_Had.size())) return FALSE;
  if (IsDirty(size)) Calculate(size);
  return m_Had[static_cast<size_t>(size)] ? TRUE : FALSE;
}

int32_t CConstructElement::FetchPoints(int32_t size, int32_t count, CPoint* points) {
  int32_t had = 0;
  for (int32_t i = 0; i < count; ++i) points[i] = CPoint(0, 0);
  for (; had < count; ++had) {
    CGradedPoint* point = GetReference(had);
    if (!point || !point->GetPoint(size, &points[had])) {
      points[had] = CPoint(0, 0);
      break;
    }
  }
  if (size >= 0 && size < static_cast<int32_t>(m_Had.size())) m_Had[static_cast<size_t>(size)] = had == count ? 1 : 0;
  return had;
}

int32_t CConstructElement::Evaluate(int32_t index, int32_t size) const {
  const CFormula* formula = GetFormula(index);
  return formula ? formula->Evaluate(size) : 0;
}

double CConstructElement::Unit() const {
  const CPatternData* data = GetPatternData();
  return data ? static_cast<double>(data->GetScale()) : 1.0;
}

void CConstructElement::OutlineAt(int32_t size, PointList& outline) const {
  outline.clear();
  if (CPatternRecord* owner = GetOwner()) owner->GetOutline(size, outline);
}

BOOL CConstructElement::SeamLineAt(int32_t size, PointList& seamLine) const {
  seamLine.clear();
  CPatternRecord* owner = GetOwner();
  if (!owner || !owner->HasSeamLine()) return FALSE;
  owner->GetSeamLine(size, seamLine);
  return TRUE;
}

int32_t CConstructElement::BaseSize() const {
  const CPatternData* data = GetPatternData();
  return data ? data->GetBaseSize() : 0;
}

BOOL CConstructElement::MakeBand(CPoint end1, CPoint end2, int32_t width, CPoint* c1, CPoint* c2, CPoint* c3,
                                 CPoint* c4) {
  const double dx = static_cast<double>(end1.x) - end2.x;
  const double dy = static_cast<double>(end1.y) - end2.y;
  const double len = std::sqrt(dx * dx + dy * dy);
  if (!(len > std::numeric_limits<double>::min())) {
    *c1 = *c2 = *c3 = *c4 = end1;
    return FALSE;
  }
  const double hx = width * dx / 2.0 / len;
  const double hy = width * dy / 2.0 / len;
  *c3 = CPoint(RoundToNearest(end2.x - hy), RoundToNearest(end2.y + hx));
  *c4 = CPoint(RoundToNearest(end2.x + hy), RoundToNearest(end2.y - hx));
  *c1 = CPoint(RoundToNearest(c4->x + dx), RoundToNearest(c4->y + dy));
  *c2 = CPoint(RoundToNearest(c3->x + dx), RoundToNearest(c3->y + dy));
  return TRUE;
}

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

void CConstructElement::GetShapePoints(int32_t, PointList& list) { list.clear(); }

void CConstructElement::MergeIntoOutline(int32_t, PointList&) {}

void CConstructElement::MergeIntoSeamLine(int32_t, PointList&) {}

BOOL CConstructElement::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  return std::find(m_References.begin(), m_References.end(), object) != m_References.end() ? TRUE : FALSE;
}

void CConstructElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  used.insert(used.end(), m_References.begin(), m_References.end());
}

void CConstructElement::ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) {
  bool replaced = false;
  for (CGradedPoint*& reference : m_References) {
    if (reference && reference == oldObject) {
      reference = dynamic_cast<CGradedPoint*>(newObject);
      replaced = true;
    }
  }
  if (replaced) Invalidate(-1);
}

BOOL CConstructElement::FreezeIfUsesSizeRow(CSizeTableRow* row) {
  BOOL used = FALSE;
  for (CFormula& formula : m_Formulas) {
    if (formula.UsesSizeRow(row)) {
      formula.Freeze();
      used = TRUE;
    }
  }
  return used;
}

BOOL CConstructElement::InvalidateIfUsesSizeRow(CSizeTableRow* row) {
  for (const CFormula& formula : m_Formulas) {
    if (formula.UsesSizeRow(row)) {
      Invalidate(-1);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CConstructElement::FreezeIfUsesMeasure(CPieceMeasure* measure) {
  BOOL used = FALSE;
  for (CFormula& formula : m_Formulas) {
    if (formula.UsesMeasure(measure)) {
      formula.Freeze();
      used = TRUE;
    }
  }
  return used;
}

BOOL CConstructElement::InvalidateIfUsesMeasure(CPieceMeasure* measure) {
  for (const CFormula& formula : m_Formulas) {
    if (formula.UsesMeasure(measure)) {
      Invalidate(-1);
      return TRUE;
    }
  }
  return FALSE;
}

void CConstructElement::InsertSize(int32_t index) {
  if (index >= 0 && index <= static_cast<int32_t>(m_Had.size())) m_Had.insert(m_Had.begin() + index, 0);
  CDesignElement::InsertSize(index);
}

void CConstructElement::RemoveSize(int32_t index) {
  if (index >= 0 && index < static_cast<int32_t>(m_Had.size())) m_Had.erase(m_Had.begin() + index);
  CDesignElement::RemoveSize(index);
}

void CConstructElement::CopyFrom(const CDesignElement& other) {
  const auto* source = dynamic_cast<const CConstructElement*>(&other);
  if (!source || source == this || source->m_Subtype != m_Subtype) return;
  CPatternData* data = GetPatternData();
  const CPatternData* sourceData = source->GetPatternData();
  m_Words = source->m_Words;
  for (size_t i = 0; i < m_Formulas.size() && i < source->m_Formulas.size(); ++i) {
    m_Formulas[i].Reset(data);
    m_Formulas[i].CopyFrom(source->m_Formulas[i]);
  }
  for (size_t i = 0; i < m_References.size() && i < source->m_References.size(); ++i) {
    const CGradedPoint* theirs = source->m_References[i];
    const int32_t index = theirs && sourceData ? sourceData->GetElementIndex(theirs) : -1;
    m_References[i] = data ? ResolveObject<CGradedPoint>(*data, index) : nullptr;
  }
  Invalidate(-1);
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

namespace {

constexpr uint32_t kItemDartOnOutline = 6;
constexpr uint32_t kItemFreeDart = 9;
constexpr uint32_t kFlagFirstLegEnd = 0x102;
constexpr uint32_t kFlagFirstLegEndMarked = 0x002;
constexpr uint32_t kFlagApex = 5;
constexpr uint32_t kFlagLegEnd = 2;
constexpr uint32_t kFlagParameters = 0x69;
constexpr uint32_t kFlagSideStep = 0x100;
// The physical words the export of the outline darts reads.
constexpr int32_t kWordSide = 0;
constexpr int32_t kWordMarked = 1;
constexpr int32_t kWordParamX = 4;
constexpr int32_t kWordParamLow = 9;
constexpr int32_t kWordParamHigh = 10;

void LineOf(const CFivePointRec& record, PointList& line) { line = {record.points[2], record.points[3], record.points[4]}; }

void ShapeOf(const CFivePointRec& record, PointList& shape) {
  shape = {record.points[2], record.points[3], record.points[4], record.points[1]};
}

BOOL HitTestFivePoints(const CFivePointRec& record, int32_t x, int32_t y, double tolerance, double* distance) {
  const CPoint order[] = {record.points[2], record.points[3], record.points[4], record.points[0], record.points[1]};
  PointList shape;
  ShapeOf(record, shape);
  return HitTestRecordPoints(order, 5, shape, x, y, tolerance, distance);
}

}  // namespace

CConstructElementTwoRec::CConstructElementTwoRec(CPatternRecord* owner, uint32_t subtype,
                                                 const ConstructLayout& layout)
    : CConstructElement(owner, subtype, layout),
      m_OutlineRecords(OwnerSizeCount(*this)),
      m_SeamRecords(OwnerSizeCount(*this)) {}

BOOL CConstructElementTwoRec::GetRecord(int32_t size, CFivePointRec& out) {
  if (size < 0 || size >= m_OutlineRecords.Count()) return FALSE;
  if (IsDirty(size)) Calculate(size);
  m_OutlineRecords.Get(size, out);
  return HadPoints(size);
}

BOOL CConstructElementTwoRec::GetSecondRecord(int32_t size, CFivePointRec& out) {
  CPatternRecord* owner = GetOwner();
  if (!owner || !owner->HasSeamLine()) return FALSE;
  if (size < 0 || size >= m_SeamRecords.Count()) return FALSE;
  if (IsDirty(size)) Calculate(size);
  m_SeamRecords.Get(size, out);
  return HadPoints(size);
}

void CConstructElementTwoRec::GetShapePoints(int32_t size, PointList& list) {
  list.clear();
  CFivePointRec record;
  if (GetRecord(size, record)) ShapeOf(record, list);
}

void CConstructElementTwoRec::MergeIntoOutline(int32_t size, PointList& outline) {
  CFivePointRec record;
  if (!GetRecord(size, record)) return;
  PointList line;
  LineOf(record, line);
  ReplaceRingSection(outline, line);
}

void CConstructElementTwoRec::MergeIntoSeamLine(int32_t size, PointList& seamLine) {
  CFivePointRec record;
  if (!GetSecondRecord(size, record)) return;
  PointList line;
  LineOf(record, line);
  ReplaceRingSection(seamLine, line);
}

BOOL CConstructElementTwoRec::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  CFivePointRec record;
  if (!GetRecord(BaseSize(), record)) return FALSE;
  return HitTestFivePoints(record, x, y, tolerance, distance);
}

CRect CConstructElementTwoRec::GetBoundRect(int32_t size) const {
  return UnionOfRecordBoxes<CFivePointRec>(*const_cast<CConstructElementTwoRec*>(this), size,
                                   [](const CFivePointRec& record) { return record.GetBoundRect(); });
}

CRect CConstructElementTwoRec::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  return UnionOfRecordBoxes<CFivePointRec>(*const_cast<CConstructElementTwoRec*>(this), size, [&](const CFivePointRec& record) {
    return record.GetBoundRectAt(cx, cy, sinA, cosA);
  });
}

BOOL CConstructElementTwoRec::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (vertices) vertices->clear();
  CFivePointRec record;
  if (!GetRecord(BaseSize(), record) || !vertices) return FALSE;
  if (itemType) *itemType = static_cast<int32_t>(kItemDartOnOutline);
  const auto& p = record.points;
  uint32_t parameterFlag = kFlagParameters;
  const int32_t side = GetWord(kWordSide);
  if (side == 1 || side == 2) parameterFlag += kFlagSideStep * static_cast<uint32_t>(side);
  const uint32_t packed =
      (static_cast<uint32_t>(GetWord(kWordParamLow)) & 0xFFFFu) | (static_cast<uint32_t>(GetWord(kWordParamHigh)) << 16);
  vertices->push_back({p[2].x, p[2].y, GetWord(kWordMarked) == 0 ? kFlagFirstLegEnd : kFlagFirstLegEndMarked});
  vertices->push_back({p[1].x, p[1].y, kFlagApex});
  vertices->push_back({p[4].x, p[4].y, kFlagLegEnd});
  vertices->push_back({GetWord(kWordParamX), static_cast<int32_t>(packed), parameterFlag});
  return TRUE;
}

BOOL CConstructElementTwoRec::Store(int32_t size, const CFivePointRec& outline, const CFivePointRec& seam, BOOL ok) {
  m_OutlineRecords.Set(size, outline);
  m_SeamRecords.Set(size, seam);
  ClearDirty(size);
  return ok;
}

void CConstructElementTwoRec::ResizeRecords() {
  m_OutlineRecords.Resize(OwnerSizeCount(*this));
  m_SeamRecords.Resize(OwnerSizeCount(*this));
}

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

BOOL CConstructElementOneRec::GetRecord(int32_t size, CFivePointRec& out) {
  if (size < 0 || size >= m_Records.Count()) return FALSE;
  if (IsDirty(size)) Calculate(size);
  m_Records.Get(size, out);
  return HadPoints(size);
}

BOOL CConstructElementOneRec::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  CFivePointRec record;
  if (!GetRecord(BaseSize(), record)) return FALSE;
  return HitTestFivePoints(record, x, y, tolerance, distance);
}

CRect CConstructElementOneRec::GetBoundRect(int32_t size) const {
  CFivePointRec record;
  if (!const_cast<CConstructElementOneRec*>(this)->GetRecord(size, record)) return CRect();
  return record.GetBoundRect();
}

CRect CConstructElementOneRec::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  CFivePointRec record;
  if (!const_cast<CConstructElementOneRec*>(this)->GetRecord(size, record)) return CRect();
  return record.GetBoundRectAt(cx, cy, sinA, cosA);
}

BOOL CConstructElementOneRec::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (vertices) vertices->clear();
  CFivePointRec record;
  if (!GetRecord(BaseSize(), record) || !vertices) return FALSE;
  if (itemType) *itemType = static_cast<int32_t>(kItemFreeDart);
  const auto& p = record.points;
  vertices->push_back({p[2].x, p[2].y, 0});
  vertices->push_back({p[1].x, p[1].y, 0});
  vertices->push_back({p[4].x, p[4].y, 0});
  return TRUE;
}

BOOL CConstructElementOneRec::Store(int32_t size, const CFivePointRec& record, BOOL ok) {
  m_Records.Set(size, record);
  ClearDirty(size);
  return ok;
}

void CConstructElementOneRec::ResizeRecords() { m_Records.Resize(OwnerSizeCount(*this)); }

void CConstructElementOneRec::InsertSize(int32_t index) {
  m_Records.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElementOneRec::RemoveSize(int32_t index) {
  m_Records.Remove(index);
  CConstructElement::RemoveSize(index);
}
