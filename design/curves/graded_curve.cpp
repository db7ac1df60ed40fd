#include "design/curves/graded_curve.h"

#include <algorithm>

#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/points/graded_point.h"

namespace {

// The spline kinds store the status word and the first attribute from these
// data versions on.
constexpr int32_t kFirstVersionWithCurveStatus = 104;
constexpr int32_t kFirstVersionWithCurveAttribute1 = 109;

}  // namespace

CGradedCurve::CGradedCurve(int32_t subtype, CPatternData* owner, uint16_t status, int32_t attribute1,
                           int32_t attribute2, BOOL closed)
    : CGradedObject(kObjectKindCurve, owner, status),
      m_Subtype(subtype),
      m_Attribute1(attribute1),
      m_Attribute2(attribute2),
      m_Closed(closed) {
  const size_t sizes = owner ? static_cast<size_t>(std::max(owner->GetSizeCount(), 0)) : 0;
  m_WholeLists.resize(sizes);
  m_PartLists.resize(sizes);
  m_PartDirty.assign(sizes, 0);
}

CGradedCurve::~CGradedCurve() = default;

BOOL CGradedCurve::IsFirstStoredRef(int32_t) const { return FALSE; }

BOOL CGradedCurve::IsStoredRefBefore(int32_t, int32_t) const { return TRUE; }

BOOL CGradedCurve::GetReferences(CGradedObjectList& references) const {
  references.clear();
  GetPointRefs(references);
  return TRUE;
}

void CGradedCurve::GetUsedObjects(CGradedObjectList& used) const {
  GetPointRefs(used);
  used.push_back(m_Start);
  used.push_back(m_End);
}

BOOL CGradedCurve::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  CGradedObjectList used;
  GetUsedObjects(used);
  return std::find(used.begin(), used.end(), object) != used.end() ? TRUE : FALSE;
}

void CGradedCurve::InsertSize(int32_t index) {
  CGradedObject::InsertSize(index);
  if (index < 0 || static_cast<size_t>(index) > m_WholeLists.size()) return;
  // The new size starts as a copy of the size that was at `index` (empty at
  // the end), and its part is cut again.
  const auto copyOf = [index](const std::vector<PointList>& lists) {
    return static_cast<size_t>(index) < lists.size() ? lists[static_cast<size_t>(index)] : PointList();
  };
  m_WholeLists.insert(m_WholeLists.begin() + index, copyOf(m_WholeLists));
  m_PartLists.insert(m_PartLists.begin() + index, copyOf(m_PartLists));
  m_PartDirty.insert(m_PartDirty.begin() + index, 1);
}

void CGradedCurve::RemoveSize(int32_t index) {
  CGradedObject::RemoveSize(index);
  if (index < 0 || static_cast<size_t>(index) >= m_WholeLists.size()) return;
  m_WholeLists.erase(m_WholeLists.begin() + index);
  m_PartLists.erase(m_PartLists.begin() + index);
  m_PartDirty.erase(m_PartDirty.begin() + index);
}

BOOL CGradedCurve::IsPartDirty(int32_t size) const {
  if (size < 0 || static_cast<size_t>(size) >= m_PartDirty.size()) return FALSE;
  return m_PartDirty[static_cast<size_t>(size)] != 0 ? TRUE : FALSE;
}

BOOL CGradedCurve::ReadHead(ArchiveReader& archive, HeadGates gates, HeadRecord& head) const {
  const CPatternData* owner = GetOwner();
  if (!owner) return FALSE;
  const int32_t version = owner->GetVersion();
  const bool spline = gates == HeadGates::kSpline;
  head = HeadRecord();
  if (!archive.ReadU32(head.state)) return FALSE;
  if ((!spline || version >= kFirstVersionWithCurveStatus) && !archive.ReadU16(head.status)) return FALSE;
  if ((!spline || version >= kFirstVersionWithCurveAttribute1) && !archive.ReadI32(head.attribute1)) return FALSE;
  if (version >= kFirstVersionWithCurveAttribute2 && !archive.ReadI32(head.attribute2)) return FALSE;
  if (spline && version < kFirstVersionWithCurveAttribute1) head.attribute1 = m_Attribute1;
  return TRUE;
}

void CGradedCurve::ApplyHead(const HeadRecord& head) {
  SetState(static_cast<int32_t>(head.state));
  SetStatus(head.status);
  m_Attribute1 = head.attribute1;
  m_Attribute2 = head.attribute2;
}

void CGradedCurve::SetStoredEnds(int32_t start, int32_t end, BOOL full) {
  m_StoredStart = start;
  m_StoredEnd = end;
  m_Full = full;
}

void CGradedCurve::ResolveEnds(int32_t linkIndex) {
  m_Start = ResolvePoint(m_StoredStart);
  m_End = ResolvePoint(m_StoredEnd);
  const CPatternData* owner = GetOwner();
  SetLink(owner ? owner->GetElementAt(linkIndex) : nullptr);
}

CGradedPoint* CGradedCurve::ResolvePoint(int32_t position) const {
  const CPatternData* owner = GetOwner();
  return owner ? ResolveObject<CGradedPoint>(*owner, position) : nullptr;
}

BOOL CGradedCurve::GetPoints(int32_t, PointList&) { return FALSE; }
BOOL CGradedCurve::GetFullPoints(int32_t, PointList&) { return FALSE; }
BOOL CGradedCurve::PointAtRatioBetween(int32_t, CGradedPoint*, CGradedPoint*, int32_t, double, int32_t*, int32_t*) {
  return FALSE;
}
BOOL CGradedCurve::PointAtRatio(int32_t, CGradedPoint*, int32_t, double, int32_t*, int32_t*) { return FALSE; }
BOOL CGradedCurve::PointAtLength(int32_t, CGradedPoint*, int32_t, int32_t, int32_t*, int32_t*) { return FALSE; }

BOOL CGradedCurve::PointAtLengthFormula(int32_t size, CGradedPoint* start, int32_t direction, const CFormula& length,
                                        int32_t* x, int32_t* y) {
  return PointAtLength(size, start, direction, length.Evaluate(size), x, y);
}

int32_t CGradedCurve::GetSection(int32_t, CGradedObject*, CGradedObject*, int32_t) { return 0; }
BOOL CGradedCurve::CalcLinkedPoint(int32_t, CGradedPoint*, CPoint&) { return FALSE; }
void CGradedCurve::StoreBasePoints() {}
BOOL CGradedCurve::UpdateOwnedPoints() { return FALSE; }
BOOL CGradedCurve::IsRelatedTo(const CGradedObject*) const { return FALSE; }

void CGradedCurve::InvalidatePoints(int32_t size) {
  if (size == -1) {
    std::fill(m_PartDirty.begin(), m_PartDirty.end(), 1);
  } else if (size >= 0 && size < static_cast<int32_t>(m_PartDirty.size())) {
    m_PartDirty[static_cast<size_t>(size)] = 1;
  }
}

PointList* CGradedCurve::WholeListAt(int32_t size) {
  if (size < 0 || size >= static_cast<int32_t>(m_WholeLists.size())) return nullptr;
  return &m_WholeLists[static_cast<size_t>(size)];
}

PointList* CGradedCurve::PartListAt(int32_t size) {
  if (size < 0 || size >= static_cast<int32_t>(m_PartLists.size())) return nullptr;
  return &m_PartLists[static_cast<size_t>(size)];
}

void CGradedCurve::SetPartDirty(int32_t size, BOOL dirty) {
  if (size < 0 || size >= static_cast<int32_t>(m_PartDirty.size())) return;
  m_PartDirty[static_cast<size_t>(size)] = dirty ? 1 : 0;
}
