#include "design/points/graded_point.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/geometry/number_text.h"
#include "design/points/point_kinds.h"
#include "platform/numbers.h"

namespace {

// 2 × near − far, kept in the int32 range: stored positions come from files,
// and a position near the limit must not wrap to the other side.
int32_t Extrapolate(int32_t nearValue, int32_t farValue) {
  const int64_t value = 2 * static_cast<int64_t>(nearValue) - static_cast<int64_t>(farValue);
  return SaturateToInt32(value);
}

}  // namespace

CGradedPoint::CGradedPoint(int32_t kind, CPatternData* owner, uint16_t status)
    : CGradedObject(kObjectKindPoint, owner, status), m_Subtype(kind) {
  SetState(0);
  m_SizePoints.assign(static_cast<size_t>(owner ? owner->GetSizeCount() : 0), CPoint());
}

CGradedPoint::~CGradedPoint() = default;

void CGradedPoint::SetSizePoint(int32_t size, int32_t x, int32_t y) {
  if (size < 0 || size >= GetSizePointCount()) return;
  m_SizePoints[static_cast<size_t>(size)] = CPoint(x, y);
}

BOOL CGradedPoint::GetSizePoint(int32_t size, CPoint* out) const {
  if (size < 0 || size >= GetSizePointCount() || !out) return FALSE;
  *out = m_SizePoints[static_cast<size_t>(size)];
  return TRUE;
}

void CGradedPoint::InsertSize(int32_t index) {
  CGradedObject::InsertSize(index);
  const int32_t n = GetSizePointCount();
  if (index < 0 || index > n) return;
  CPoint added;
  if (m_ComputeAll == 0) {
    if (index == 0 && n >= 1) {
      const CPoint first = m_SizePoints[0];
      added = first;
      if (n >= 2) {
        const CPoint second = m_SizePoints[1];
        added = CPoint(Extrapolate(first.x, second.x), Extrapolate(first.y, second.y));
      }
    } else if (index == n && n >= 1) {
      const CPoint last = m_SizePoints[static_cast<size_t>(n - 1)];
      added = last;
      if (n >= 2) {
        const CPoint before = m_SizePoints[static_cast<size_t>(n - 2)];
        added = CPoint(Extrapolate(last.x, before.x), Extrapolate(last.y, before.y));
      }
    } else if (index > 0 && index < n) {
      added = m_SizePoints[static_cast<size_t>(index)];
    }
  }
  m_SizePoints.insert(m_SizePoints.begin() + index, added);
}

void CGradedPoint::RemoveSize(int32_t index) {
  CGradedObject::RemoveSize(index);
  if (index < 0 || index >= GetSizePointCount()) return;
  m_SizePoints.erase(m_SizePoints.begin() + index);
}

BOOL CGradedPoint::Load(ArchiveReader&) { return FALSE; }

BOOL CGradedPoint::IsRealPoint() const { return TRUE; }

BOOL CGradedPoint::ReadBaseRecord(ArchiveReader& archive, BaseRecord& record, bool statusAlways) const {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  if (!archive.ReadU32(record.state)) return FALSE;
  record.status = 0;
  if (statusAlways || owner->GetVersion() >= kFirstVersionWithPointStatus) {
    if (!archive.ReadU16(record.status)) return FALSE;
  }
  return TRUE;
}

void CGradedPoint::ApplyBaseRecord(const BaseRecord& record) {
  SetState(static_cast<int32_t>(record.state));
  SetStatus(record.status);
}

BOOL CGradedPoint::ReadSizePointsBlock(ArchiveReader& archive, SizePointsBlock& block) const {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  block = SizePointsBlock();
  if (owner->GetVersion() < kFirstVersionWithSizePoints || owner->GetMode() != kModeWithSizePoints) {
    return TRUE;
  }
  uint32_t flag = 0;
  if (!archive.ReadU32(flag)) return FALSE;
  block.present = true;
  block.computeAll = static_cast<int32_t>(flag);
  if (block.computeAll != 0) return TRUE;
  const int32_t count = owner->GetSizeCount();
  if (!archive.CheckCount(count, 8)) return FALSE;
  block.points.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int32_t i = 0; i < count; ++i) {
    CPoint p;
    if (!archive.ReadI32(p.x) || !archive.ReadI32(p.y)) return FALSE;
    block.points.push_back(p);
  }
  return TRUE;
}

void CGradedPoint::ApplySizePointsBlock(const SizePointsBlock& block) {
  if (!block.present) return;
  m_ComputeAll = block.computeAll;
  if (block.computeAll != 0) return;
  // The block holds one position per size of the owner; the per-size
  // positions follow the owner's size count.
  m_SizePoints = block.points;
  for (int32_t i = 0; i < static_cast<int32_t>(block.points.size()); ++i) ClearDirty(i);
}

CGradedPoint* CGradedPoint::ResolvePointRef(int32_t position) const {
  const CPatternData* owner = GetOwner();
  if (!owner) return nullptr;
  return ResolveObject<CGradedPoint>(*owner, position);
}

BOOL CGradedPoint::IsDefined() const { return GetState(); }

void CGradedPoint::DeclareFields(std::initializer_list<Reference*> references,
                                 std::initializer_list<CFormula*> formulas, std::initializer_list<CDimLabel*> labels) {
  m_HasReferenceFields = references.size() != 0;
  m_References.assign(references.begin(), references.end());
  m_Formulas.assign(formulas.begin(), formulas.end());
  m_Labels.assign(labels.begin(), labels.end());
}

BOOL CGradedPoint::ReadReference(ArchiveReader& archive, Reference& reference) {
  return archive.ReadI32(reference.index) ? TRUE : FALSE;
}

BOOL CGradedPoint::ReadFormula(ArchiveReader& archive, CFormula& formula) const {
  formula.Reset(GetOwner());
  return formula.Load(archive);
}

BOOL CGradedPoint::GetReferences(CGradedObjectList& references) const {
  if (!m_HasReferenceFields) return FALSE;
  references.clear();
  for (const Reference* reference : m_References) references.push_back(reference->object);
  return TRUE;
}

BOOL CGradedPoint::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  for (const Reference* reference : m_References) {
    if (reference->object == object) return TRUE;
  }
  return FALSE;
}

void CGradedPoint::ResolveIds() {
  const CPatternData* owner = GetOwner();
  for (Reference* reference : m_References) {
    if (!owner) {
      reference->object = nullptr;
    } else if (reference->kind == 0) {
      reference->object = owner->GetElementAt(reference->index);
    } else {
      reference->object = ResolveObjectOfKind(*owner, reference->index, reference->kind);
    }
  }
}

void CGradedPoint::SetOwner(CPatternData* owner) {
  CGradedObject::SetOwner(owner);
  for (CFormula* formula : m_Formulas) formula->SetOwner(owner);
  for (CDimLabel* label : m_Labels) label->SetOwner(owner);
}

BOOL CGradedPoint::DependsOn(const CGradedObject* object) const {
  if (CGradedObject::DependsOn(object)) return TRUE;
  for (const CFormula* formula : m_Formulas) {
    if (formula->DependsOnElement(object)) return TRUE;
  }
  return FALSE;
}

void CGradedPoint::InvalidateWithDependents(BOOL update) {
  Invalidate(-1);
  // With `update`, the objects built on this point follow through the
  // container's CPatternData::InvalidateDependents(this, update), called here once the container offers it.
  (void)update;
}

void CGradedPoint::ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) {
  bool changed = false;
  for (Reference* reference : m_References) {
    if (reference->object && reference->object == oldObject) {
      reference->object = newObject;
      changed = true;
    }
  }
  if (changed) InvalidateWithDependents(TRUE);
}

void CGradedPoint::ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure) {
  for (CFormula* formula : m_Formulas) {
    if (formula->ReplaceMeasure(oldMeasure, newMeasure)) Invalidate(-1);
  }
}

void CGradedPoint::ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow) {
  for (CFormula* formula : m_Formulas) {
    if (formula->ReplaceSizeRow(oldRow, newRow)) Invalidate(-1);
  }
}

namespace {

// Freezes each formula for which `uses` holds; whether any was.
template <typename Uses>
bool FreezeFormulas(const std::vector<CFormula*>& formulas, Uses uses) {
  bool frozen = false;
  for (CFormula* formula : formulas) {
    if (uses(*formula)) {
      formula->Freeze();
      frozen = true;
    }
  }
  return frozen;
}

template <typename Uses>
bool AnyFormula(const std::vector<CFormula*>& formulas, Uses uses) {
  return std::any_of(formulas.begin(), formulas.end(), [&](const CFormula* formula) { return uses(*formula); });
}

}  // namespace

BOOL CGradedPoint::ReleaseSizeRow(CSizeTableRow* row, BOOL update) {
  if (!FreezeFormulas(m_Formulas, [row](const CFormula& f) { return f.UsesSizeRow(row) != FALSE; })) return FALSE;
  if (update) {
    // A point with two formulas recomputes its own sizes before its
    // dependents are told.
    if (m_Formulas.size() > 1) RecalcAll();
    InvalidateWithDependents(update);
  }
  return TRUE;
}

BOOL CGradedPoint::ReleaseMeasure(CPieceMeasure* measure, BOOL update) {
  if (!FreezeFormulas(m_Formulas, [measure](const CFormula& f) { return f.UsesMeasure(measure) != FALSE; })) {
    return FALSE;
  }
  if (update) {
    if (m_Formulas.size() > 1) RecalcAll();
    InvalidateWithDependents(update);
  }
  return TRUE;
}

BOOL CGradedPoint::UsesSizeRow(CSizeTableRow* row, BOOL update) {
  if (!ReportsFormulaUse()) return FALSE;
  if (!AnyFormula(m_Formulas, [row](const CFormula& f) { return f.UsesSizeRow(row) != FALSE; })) return FALSE;
  if (m_Formulas.size() == 1 || update) InvalidateWithDependents(update);
  return TRUE;
}

BOOL CGradedPoint::UsesMeasure(CPieceMeasure* measure, BOOL update) {
  if (!ReportsFormulaUse()) return FALSE;
  if (!AnyFormula(m_Formulas, [measure](const CFormula& f) { return f.UsesMeasure(measure) != FALSE; })) {
    return FALSE;
  }
  if (m_Formulas.size() == 1 || update) InvalidateWithDependents(update);
  return TRUE;
}

void CGradedPoint::CopyValues(const CGradedPoint&, bool) {}

std::unique_ptr<CGradedObject> CGradedPoint::Clone() const {
  // The copy is made from the point-kind table, which holds every kind once
  // joined.
  static const bool registered = (RegisterPointKinds(), true);
  (void)registered;
  std::unique_ptr<CGradedObject> made = GetPointKindFactory().Create(m_Subtype, GetOwner());
  auto* copy = dynamic_cast<CGradedPoint*>(made.get());
  if (!copy || copy->m_Subtype != m_Subtype || copy->m_References.size() != m_References.size() ||
      copy->m_Formulas.size() != m_Formulas.size() || copy->m_Labels.size() != m_Labels.size()) {
    return nullptr;
  }
  copy->SetStatus(GetStatus());
  for (size_t i = 0; i < m_References.size(); ++i) {
    copy->m_References[i]->object = m_References[i]->object;
    copy->m_References[i]->index = m_References[i]->index;
  }
  for (size_t i = 0; i < m_Formulas.size(); ++i) *copy->m_Formulas[i] = *m_Formulas[i];
  if (ClonesLabels()) {
    for (size_t i = 0; i < m_Labels.size(); ++i) copy->m_Labels[i]->CopyFrom(*m_Labels[i]);
  }
  copy->CopyValues(*this, false);
  copy->RecalcAll();
  copy->SetState(GetState());
  return made;
}

void CGradedPoint::CopyFrom(const CGradedObject& other) {
  const auto* source = dynamic_cast<const CGradedPoint*>(&other);
  if (!source || source == this || source->m_Subtype != m_Subtype ||
      source->m_References.size() != m_References.size() || source->m_Formulas.size() != m_Formulas.size() ||
      source->m_Labels.size() != m_Labels.size()) {
    return;
  }
  SetState(source->GetState());
  SetStatus(source->GetStatus());
  const CPatternData* sourceOwner = source->GetOwner();
  for (size_t i = 0; i < m_References.size(); ++i) {
    const CGradedObject* object = source->m_References[i]->object;
    m_References[i]->index = sourceOwner && object ? sourceOwner->GetElementIndex(object) : -1;
    // The pointer may belong to another container: it waits for ResolveIds.
    m_References[i]->object = nullptr;
  }
  for (size_t i = 0; i < m_Formulas.size(); ++i) {
    // Rows and measures are mapped into this owner by position, never
    // shared with a container that may go away first.
    m_Formulas[i]->Reset(GetOwner());
    m_Formulas[i]->CopyFrom(*source->m_Formulas[i]);
  }
  for (size_t i = 0; i < m_Labels.size(); ++i) m_Labels[i]->CopyFrom(*source->m_Labels[i]);
  CopyValues(*source, true);
  Invalidate(-1);
}

BOOL CGradedPoint::GetLinePair(const CGradedObject**, const CGradedObject**) const { return FALSE; }

BOOL CGradedPoint::LineHoldsPair(const CGradedLine* line) const {
  if (!line) return FALSE;
  CGradedPoint* end1 = nullptr;
  CGradedPoint* end2 = nullptr;
  line->GetEndRefs(&end1, &end2);
  // The line's own test without asking the point (a reference or an end).
  auto direct = [&](const CGradedObject* object) {
    return line->RefersTo(object) || object == end1 || object == end2;
  };
  // One frame per pair point being asked, as the nested questions would
  // stand on the call stack: the point, its pair, which of the two is asked
  // next, and whether the answer met a point still being asked (a cycle).
  struct Frame {
    const CGradedPoint* point;
    const CGradedObject* pair[2];
    int next;
    bool metCycle;
  };
  std::vector<Frame> frames;
  std::unordered_set<const CGradedObject*> asking;
  // Answers found without meeting a cycle hold wherever the point is asked
  // from again: a design whose points share their pair points (each point
  // built on the one before, twice) is then answered once per point instead
  // of once per path to it.
  std::unordered_map<const CGradedObject*, BOOL> known;
  auto enter = [&](const CGradedPoint* point) {
    Frame frame{point, {nullptr, nullptr}, 0, false};
    point->GetLinePair(&frame.pair[0], &frame.pair[1]);
    frames.push_back(frame);
    asking.insert(point);
  };
  enter(this);
  BOOL answer = FALSE;
  bool answered = false;
  while (!frames.empty()) {
    Frame& frame = frames.back();
    // Both points must be related: a no ends the frame at once, and so does
    // a yes for the second.
    if (answered && (!answer || frame.next == 2)) {
      const Frame done = frame;
      asking.erase(done.point);
      frames.pop_back();
      if (done.metCycle) {
        if (!frames.empty()) frames.back().metCycle = true;
      } else {
        known[done.point] = answer;
      }
      continue;
    }
    const CGradedObject* object = frame.pair[frame.next++];
    answered = true;
    if (!object) {
      answer = FALSE;
    } else if (direct(object)) {
      answer = TRUE;
    } else if (asking.count(object)) {
      answer = FALSE;
      frame.metCycle = true;
    } else if (auto found = known.find(object); found != known.end()) {
      answer = found->second;
    } else if (const auto* point = dynamic_cast<const CGradedPoint*>(object)) {
      const CGradedObject* first = nullptr;
      const CGradedObject* second = nullptr;
      if (point->GetLinePair(&first, &second)) {
        enter(point);
        answered = false;
      } else {
        answer = line->IsRelatedTo(point);
      }
    } else {
      answer = FALSE;
    }
  }
  return answer;
}

void CGradedPoint::UpdateLabel() {
  for (CDimLabel* label : m_Labels) label->Invalidate();
}

// ---- Dimension labels ----------------------------------------------------------

CRect CGradedPoint::GetLabelRect() const {
  CRect r;
  for (CDimLabel* label : m_Labels) {
    if (!label->IsVisible()) continue;
    const CRect sofar = r;
    r.UnionRect(sofar, label->GetRect());
  }
  return r;
}

BOOL CGradedPoint::IsLabelVisible() const { return !m_Labels.empty() && m_Labels.front()->IsVisible() ? TRUE : FALSE; }

BOOL CGradedPoint::HitLabel(int32_t x, int32_t y, CDimLabel** label) {
  for (CDimLabel* candidate : m_Labels) {
    if (candidate->HitText(x, y)) {
      if (label) *label = candidate;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CGradedPoint::PickLabel(int32_t x, int32_t y, double tolerance, int32_t, CDimLabel** label) {
  for (CDimLabel* candidate : m_Labels) {
    double distance = 0.0;
    if (candidate->Pick(x, y, tolerance, &distance)) {
      if (label) *label = candidate;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CGradedPoint::HitTestAtBaseSize(int32_t x, int32_t y, double tolerance, double* distance) {
  const CPatternData* owner = GetOwner();
  if (m_Labels.empty() || !owner) return FALSE;
  return HitTest(x, y, tolerance, owner->GetBaseSize(), nullptr, distance);
}

void CGradedPoint::SetFormula(CDimLabel*, const CFormula&) {}

CFormula CGradedPoint::GetFormula(CDimLabel*) const { return CFormula(); }

BOOL CGradedPoint::MayShowLabels(BOOL show, const CGradedObject* reference) const {
  const CPatternData* owner = GetOwner();
  return show && owner && owner->IsLineEndPoint(this) && owner->IsLineEndPoint(reference) ? TRUE : FALSE;
}

void CGradedPoint::ShowLabels(BOOL visible) {
  for (CDimLabel* label : m_Labels) label->SetVisible(visible ? 1 : 0);
}

BOOL CGradedPoint::BasePositionOf(CGradedPoint* point, CPoint* out) const {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  return PositionOf(point, owner->GetBaseSize(), out);
}

BOOL CGradedPoint::OwnBasePosition(CPoint* out) const {
  // A label lays itself out from a question that changes nothing the caller
  // can see but this point's cache.
  return BasePositionOf(const_cast<CGradedPoint*>(this), out);
}

CString CGradedPoint::AngleLabelText(double angle, BOOL* positive) {
  if (positive) *positive = angle > 0.0 ? TRUE : FALSE;
  // The label reads the turn the other way round. 0 - angle rather than
  // -angle, so that an angle of 0 reads "0", not "-0".
  return FormatTrimmedNumber(0.0 - angle);
}

CPoint CGradedPoint::Shifted(CPoint from, int64_t dx, int64_t dy) {
  return CPoint(SaturateToInt32(from.x + dx), SaturateToInt32(from.y + dy));
}

void CGradedPoint::TurnedDirectionLabel(double angle, CGradedPoint* through, CGradedPoint* start, CGradedPoint* end,
                                       CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                                       BOOL* positive) const {
  if (!vertex || !arm1 || !arm2) return;
  text = AngleLabelText(angle, positive);
  BasePositionOf(through, vertex);
  OwnBasePosition(arm2);
  CPoint from, to;
  BasePositionOf(start, &from);
  BasePositionOf(end, &to);
  *arm1 = Shifted(*vertex, static_cast<int64_t>(to.x) - from.x, static_cast<int64_t>(to.y) - from.y);
}

// ---- Positions ---------------------------------------------------------------

namespace {

// Nested point computations under way, over every point: a chain of
// references computes from its end down to its roots by recursion.
int32_t g_PointNesting = 0;

bool WithinCoordinateBound(const CPoint& p) {
  return p.x >= -kMaxPointCoordinate && p.x <= kMaxPointCoordinate && p.y >= -kMaxPointCoordinate &&
         p.y <= kMaxPointCoordinate;
}

}  // namespace

BOOL CGradedPoint::GetPoint(int32_t size, CPoint* out) {
  CPoint p;
  BOOL result = TRUE;
  if (IsDirty(size)) {
    int32_t x = 0, y = 0;
    result = CalcPoint(size, &x, &y);
    p = CPoint(x, y);
    SetSizePoint(size, p.x, p.y);
  } else {
    GetSizePoint(size, &p);
  }
  if (!WithinCoordinateBound(p)) {
    p = CPoint();
    SetState(1);
    SetStatus(kPointStatusOverflow);
  }
  if (out) *out = p;
  return result;
}

BOOL CGradedPoint::CalcPoint(int32_t size, int32_t* x, int32_t* y) {
  CPoint cached;
  GetSizePoint(size, &cached);
  *x = cached.x;
  *y = cached.y;
  if (size < 0 || size >= GetSizePointCount()) return FALSE;
  if (!IsDirty(size)) return TRUE;
  const CPatternData* owner = GetOwner();
  if (m_ComputeAll == 0 && owner && size != owner->GetBaseSize()) {
    ClearDirty(size);
    return TRUE;
  }
  if (m_Computing.size() != m_SizePoints.size()) m_Computing.assign(m_SizePoints.size(), 0);
  uint8_t& computing = m_Computing[static_cast<size_t>(size)];
  if (computing || g_PointNesting >= kMaxPointNesting) return FALSE;
  computing = 1;
  ++g_PointNesting;
  const BOOL result = ComputePoint(size, x, y);
  --g_PointNesting;
  // The kind's computation may have inserted or removed sizes of this very
  // point only through the container, which never happens during a
  // computation; the flag is still looked up afresh.
  if (size < static_cast<int32_t>(m_Computing.size())) m_Computing[static_cast<size_t>(size)] = 0;
  switch (OutcomeOf(result)) {
    case SizeOutcome::kCacheAndClean:
      SetSizePoint(size, *x, *y);
      ClearDirty(size);
      break;
    case SizeOutcome::kCacheOnly:
      SetSizePoint(size, *x, *y);
      break;
    case SizeOutcome::kNothing:
      *x = cached.x;
      *y = cached.y;
      break;
  }
  return result;
}

BOOL CGradedPoint::ComputePoint(int32_t, int32_t*, int32_t*) { return FALSE; }

CGradedPoint::SizeOutcome CGradedPoint::OutcomeOf(BOOL) const { return SizeOutcome::kCacheAndClean; }

void CGradedPoint::RecalcAll() {
  Invalidate(-1);
  if (!GetOwner()) return;
  for (int32_t size = 0; size < GetSizePointCount(); ++size) GetPoint(size, nullptr);
}

BOOL CGradedPoint::HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point, double* distance) {
  if (size < 0 || size >= GetSizePointCount()) return FALSE;
  CPoint p;
  if (!GetPoint(size, &p)) return FALSE;
  const double dx = static_cast<double>(p.x) - x;
  const double dy = static_cast<double>(p.y) - y;
  const double d2 = dx * dx + dy * dy;
  if (!(tolerance * tolerance > d2)) return FALSE;
  if (distance) *distance = std::sqrt(d2);
  if (point) *point = p;
  return TRUE;
}

BOOL CGradedPoint::Pick(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                        double* distance) {
  CPoint p;
  double d = 0.0;
  if (!HitTest(x, y, tolerance, size, &p, &d)) return FALSE;
  if (object) *object = this;
  if (distance) *distance = d;
  return TRUE;
}

BOOL CGradedPoint::PickPoint(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                             CPoint* point) {
  CPoint p;
  double d = 0.0;
  if (!HitTest(x, y, tolerance, size, &p, &d)) return FALSE;
  if (object) *object = this;
  if (point) *point = p;
  return TRUE;
}

BOOL CGradedPoint::HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                                  double* distance) {
  return GetState() ? HitTest(x, y, tolerance, size, point, distance) : FALSE;
}

BOOL CGradedPoint::PickIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                               double* distance) {
  return GetState() ? Pick(x, y, tolerance, size, object, distance) : FALSE;
}

BOOL CGradedPoint::PickPointIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                                    CPoint* point) {
  return GetState() ? PickPoint(x, y, tolerance, size, object, point) : FALSE;
}

CRect CGradedPoint::GetBoundRect(int32_t size) const {
  CRect r;
  CPoint p;
  // The position is computed on demand; the box itself is a question that
  // changes nothing the caller can see but the cache.
  auto* self = const_cast<CGradedPoint*>(this);
  if (GetState() != 0 && size >= 0 && size < GetSizePointCount() && self->GetPoint(size, &p)) {
    r = CRect(p.x, p.y, p.x + 1, p.y + 1);
  }
  const CPatternData* owner = GetOwner();
  if (owner && size == owner->GetBaseSize()) {
    const CRect point = r;
    r.UnionRect(point, GetLabelRect());
  }
  return r;
}

BOOL CGradedPoint::UsesLine(const CGradedLine*) const { return FALSE; }
BOOL CGradedPoint::UsesCurve(const CGradedCurve*) const { return FALSE; }
BOOL CGradedPoint::IsSameIntersection(const CGradedObject*, const CGradedObject*, int32_t, int32_t) {
  return FALSE;
}

CGradedPoint* CGradedPoint::PointOf(const Reference& reference) {
  return dynamic_cast<CGradedPoint*>(reference.object);
}
CGradedLine* CGradedPoint::LineOf(const Reference& reference) { return dynamic_cast<CGradedLine*>(reference.object); }
CGradedCurve* CGradedPoint::CurveOf(const Reference& reference) {
  return dynamic_cast<CGradedCurve*>(reference.object);
}

BOOL CGradedPoint::PositionOf(CGradedPoint* point, int32_t size, CPoint* out) {
  return point ? point->GetPoint(size, out) : FALSE;
}
