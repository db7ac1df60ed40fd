#include "design/elements/two_point_elements.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/core/text_box.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"
#include "design/points/graded_point.h"

namespace {

// From this data version on a two-point element stores one pair of end
// points per size, and from the next one also its two construction points.
constexpr int32_t kFirstVersionWithSizePairs = 121;
constexpr int32_t kFirstVersionWithPointRefs = 122;
// A stored pair of end points: two points of two int32.
constexpr size_t kSizePairBytes = 4 * sizeof(int32_t);

// The end of the pair a size gets when the container has no size to copy
// from: a vertical stroke of 1000 units from the origin.
constexpr int32_t kNoSizeEndY = 1000;

int32_t SizeCountOf(const CPatternRecord* owner) {
  const CPatternData* data = owner ? owner->GetPatternData() : nullptr;
  return data ? data->GetSizeCount() : 0;
}

bool ReadPoint(ArchiveReader& archive, CPoint& point) { return archive.ReadI32(point.x) && archive.ReadI32(point.y); }

// The piece items the two elements export.
constexpr int32_t kTwoPointItemType = 1;
constexpr int32_t kLabelItemType = 11;

// The box of a segment's two ends, right and bottom one past the greater.
CRect SegmentBox(CPoint a, CPoint b) {
  CRect rect;
  GetSegmentRect(&rect, a.x, a.y, b.x, b.y);
  return rect;
}

}  // namespace

// ---- Two-point element ---------------------------------------------------------

CTwoPointElement::CTwoPointElement(CPatternRecord* owner) : CTwoPointElement(owner, CPoint(), CPoint()) {}

CTwoPointElement::CTwoPointElement(CPatternRecord* owner, CPoint a, CPoint b)
    : CTwoPointElement(owner, a, b, nullptr, nullptr) {}

CTwoPointElement::CTwoPointElement(CPatternRecord* owner, CPoint a, CPoint b, CGradedPoint* refA, CGradedPoint* refB)
    : CDesignElement(owner, kElementTypeTwoPoint),
      m_A(a),
      m_B(b),
      m_StartPoints(static_cast<size_t>(SizeCountOf(owner)), a),
      m_EndPoints(static_cast<size_t>(SizeCountOf(owner)), b) {
  SetRefPair(refA, refB);
}

void CTwoPointElement::FillSizesWithFixedPoints() {
  std::fill(m_StartPoints.begin(), m_StartPoints.end(), m_A);
  std::fill(m_EndPoints.begin(), m_EndPoints.end(), m_B);
}

void CTwoPointElement::SetRefPair(CGradedPoint* refA, CGradedPoint* refB) {
  const bool pair = refA && refB;
  m_RefA = pair ? refA : nullptr;
  m_RefB = pair ? refB : nullptr;
}

BOOL CTwoPointElement::GetSizePoints(int32_t size, CPoint* start, CPoint* end) const {
  if (size < 0 || size >= GetSizePointCount()) return FALSE;
  if (start) *start = m_StartPoints[static_cast<size_t>(size)];
  if (end) *end = m_EndPoints[static_cast<size_t>(size)];
  return TRUE;
}

BOOL CTwoPointElement::GetReferences(CGradedObjectList& references) const {
  references.clear();
  if (m_RefA && m_RefB) {
    references.push_back(m_RefA);
    references.push_back(m_RefB);
  }
  return TRUE;
}

void CTwoPointElement::GetEndPoints(CPoint* a, CPoint* b) const {
  CPoint start = m_A;
  CPoint end = m_B;
  const CPatternData* data = GetPatternData();
  if (m_RefA && m_RefB && data) {
    m_RefA->GetPoint(data->GetBaseSize(), &start);
    m_RefB->GetPoint(data->GetBaseSize(), &end);
  }
  if (a) *a = start;
  if (b) *b = end;
}

BOOL CTwoPointElement::GetEndPointsAt(int32_t size, CPoint* a, CPoint* b) {
  if (size < 0 || size >= GetSizePointCount()) return FALSE;
  if (IsDirty(size)) Calculate(size);
  return GetSizePoints(size, a, b);
}

void CTwoPointElement::SetPoints(CPoint a, CPoint b) {
  m_A = a;
  m_B = b;
  SetRefPair(nullptr, nullptr);
  FillSizesWithFixedPoints();
  Invalidate(-1);
}

void CTwoPointElement::SetRefs(CGradedPoint* refA, CGradedPoint* refB) {
  SetRefPair(refA, refB);
  Invalidate(-1);
}

void CTwoPointElement::SetSizePoints(int32_t size, CPoint a, CPoint b) {
  const CPatternData* data = GetPatternData();
  const int32_t base = data ? data->GetBaseSize() : -1;
  if (m_RefA) {
    for (int32_t i = 0; i < GetSizePointCount(); ++i) {
      if (IsDirty(i)) Calculate(i);
    }
    GetSizePoints(base, &m_A, &m_B);
    SetRefPair(nullptr, nullptr);
  }
  if (size < 0 || size >= GetSizePointCount()) return;
  m_StartPoints[static_cast<size_t>(size)] = a;
  m_EndPoints[static_cast<size_t>(size)] = b;
  if (size == base) {
    m_A = a;
    m_B = b;
  }
}

BOOL CTwoPointElement::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  const CPatternData* data = GetPatternData();
  CPoint a, b;
  if (!data || !GetEndPointsAt(data->GetBaseSize(), &a, &b)) return FALSE;
  CPoint foot;
  double d = 0.0;
  if (!NearestPointOnSegment(a.x, a.y, b.x, b.y, tolerance, x, y, &foot, &d)) return FALSE;
  if (distance) *distance = d;
  return TRUE;
}

BOOL CTwoPointElement::Calculate(int32_t size) {
  if (size < 0 || size >= GetSizePointCount()) return FALSE;
  BOOL placed = TRUE;
  if (m_RefA && m_RefB) {
    const BOOL hasStart = m_RefA->GetPoint(size, &m_StartPoints[static_cast<size_t>(size)]);
    const BOOL hasEnd = m_RefB->GetPoint(size, &m_EndPoints[static_cast<size_t>(size)]);
    placed = hasStart && hasEnd ? TRUE : FALSE;
  }
  CDesignElement::Calculate(size);
  return placed;
}

CRect CTwoPointElement::GetBoundRect(int32_t size) const {
  CPoint a, b;
  // The pairs are computed on demand; the box changes nothing the caller can
  // see but that cache.
  if (!const_cast<CTwoPointElement*>(this)->GetEndPointsAt(size, &a, &b)) return CRect();
  return SegmentBox(a, b);
}

CRect CTwoPointElement::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  CPoint a, b;
  if (!const_cast<CTwoPointElement*>(this)->GetEndPointsAt(size, &a, &b)) return CRect();
  RotatePointInPlace(&a, cx, cy, sinA, cosA);
  RotatePointInPlace(&b, cx, cy, sinA, cosA);
  return SegmentBox(a, b);
}

BOOL CTwoPointElement::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (vertices) vertices->clear();
  const CPatternData* data = GetPatternData();
  CPoint a, b;
  if (!data || !GetEndPointsAt(data->GetBaseSize(), &a, &b)) return FALSE;
  if (itemType) *itemType = kTwoPointItemType;
  if (vertices) {
    vertices->push_back(CVertex{a.x, a.y, 0});
    vertices->push_back(CVertex{b.x, b.y, 0});
  }
  return TRUE;
}

BOOL CTwoPointElement::RefersTo(const CGradedObject* object) const {
  if (!object || !m_RefA || !m_RefB) return FALSE;
  return object == m_RefA || object == m_RefB ? TRUE : FALSE;
}

void CTwoPointElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  CGradedObjectList references;
  GetReferences(references);
  used.insert(used.end(), references.begin(), references.end());
}

void CTwoPointElement::InsertSize(int32_t index) {
  if (index < 0 || index > GetSizePointCount()) return;
  const CPatternData* data = GetPatternData();
  const int32_t base = data ? data->GetBaseSize() : -1;
  CPoint start(0, 0), end(0, kNoSizeEndY);
  if (data && data->GetSizeCount() > 0 && base >= 0) {
    if (!GetSizePoints(base, &start, &end)) {
      start = m_A;
      end = m_B;
    }
  }
  m_StartPoints.insert(m_StartPoints.begin() + index, start);
  m_EndPoints.insert(m_EndPoints.begin() + index, end);
  CDesignElement::InsertSize(index);
}

void CTwoPointElement::RemoveSize(int32_t index) {
  if (index >= 0 && index < GetSizePointCount()) {
    m_StartPoints.erase(m_StartPoints.begin() + index);
    m_EndPoints.erase(m_EndPoints.begin() + index);
  }
  CDesignElement::RemoveSize(index);
}

BOOL CTwoPointElement::Load(ArchiveReader& archive) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  const int32_t version = data->GetVersion();
  CPoint a, b;
  if (!ReadPoint(archive, a) || !ReadPoint(archive, b)) return FALSE;
  CGradedPoint* refA = nullptr;
  CGradedPoint* refB = nullptr;
  if (version >= kFirstVersionWithPointRefs) {
    int32_t indexA = -1, indexB = -1;
    if (!archive.ReadI32(indexA) || !archive.ReadI32(indexB)) return FALSE;
    refA = ResolveObject<CGradedPoint>(*data, indexA);
    refB = ResolveObject<CGradedPoint>(*data, indexB);
  }
  m_A = a;
  m_B = b;
  SetRefPair(refA, refB);

  const int32_t sizes = GetSizePointCount();
  if (version < kFirstVersionWithSizePairs) {
    for (int32_t i = 0; i < sizes; ++i) {
      m_StartPoints[static_cast<size_t>(i)] = a;
      m_EndPoints[static_cast<size_t>(i)] = b;
    }
    return TRUE;
  }
  if (!archive.CheckCount(sizes, kSizePairBytes)) return FALSE;
  for (int32_t i = 0; i < sizes; ++i) {
    if (!ReadPoint(archive, m_StartPoints[static_cast<size_t>(i)]) ||
        !ReadPoint(archive, m_EndPoints[static_cast<size_t>(i)])) {
      return FALSE;
    }
  }
  return TRUE;
}

// ---- Label -------------------------------------------------------------------

CLabelElement::CLabelElement(CPatternRecord* owner) : CDesignElement(owner, kElementTypeLabel) {}

CLabelElement::CLabelElement(CPatternRecord* owner, int32_t x, int32_t y, const CString& text, const LOGFONT& font)
    : CDesignElement(owner, kElementTypeLabel) {
  SetText(x, y, text, font);
}

void CLabelElement::SetText(int32_t x, int32_t y, const CString& text, const LOGFONT& font) {
  m_Position = CPoint(x, y);
  m_Text = text;
  m_Font = font;
  CalcTextBox();
}

void CLabelElement::GetText(CPoint& position, CString& text, LOGFONT& font) const {
  position = m_Position;
  text = m_Text;
  font = m_Font;
}

void CLabelElement::CalcTextBox() {
  const TextBoxCorners box = TurnTextBox(m_Position, MeasureTextInFont(m_Text, m_Font), m_Font.lfEscapement);
  m_CornerA = box.a;
  m_CornerB = box.b;
  m_CornerC = box.c;
}

BOOL CLabelElement::HitTestPoint(int32_t x, int32_t y, double, double* distance) {
  const std::array<CPoint, 4> box = GetTextBox();
  if (!IsPointInPointList(x, y, PointList(box.begin(), box.end()))) return FALSE;
  if (distance) *distance = 0.0;
  return TRUE;
}

CRect CLabelElement::GetBoundRect(int32_t) const {
  const std::array<CPoint, 4> box = GetTextBox();
  CRect rect;
  GetPointListExtent(&rect, PointList(box.begin(), box.end()));
  return rect;
}

CRect CLabelElement::GetBoundRectAt(int32_t, int32_t cx, int32_t cy, double sinA, double cosA) const {
  std::array<CPoint, 4> box = GetTextBox();
  for (CPoint& corner : box) RotatePointInPlace(&corner, cx, cy, sinA, cosA);
  CRect rect;
  GetPointListExtent(&rect, PointList(box.begin(), box.end()));
  return rect;
}

BOOL CLabelElement::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (vertices) vertices->clear();
  if (itemType) *itemType = kLabelItemType;
  return TRUE;
}

BOOL CLabelElement::Load(ArchiveReader& archive) {
  CPoint position;
  CString text;
  LOGFONT font;
  if (!ReadPoint(archive, position) || !archive.ReadString(text) || !archive.ReadFont(font)) return FALSE;
  SetText(position.x, position.y, text, font);
  return TRUE;
}

// ---- Registration --------------------------------------------------------------

void RegisterTwoPointElements() {
  ElementFactory& factory = GetElementFactory();
  factory.Register(ElementCode{kElementTypeTwoPoint, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CTwoPointElement>(owner);
  });
  factory.Register(ElementCode{kElementTypeLabel, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CLabelElement>(owner);
  });
}
