#include "design/elements/reference_elements.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/curves/graded_curve.h"
#include "design/elements/boundary.h"
#include "design/geometry/point_line.h"
#include "design/geometry/spline_fit.h"
#include "design/points/graded_point.h"
#include "platform/numbers.h"

namespace {

// A point at a stored position of the element's container; none without a
// container or for anything but a point there.
CGradedPoint* ResolvePoint(const CPatternData* data, int32_t position) {
  return data ? ResolveObject<CGradedPoint>(*data, position) : nullptr;
}

CGradedObject* ResolveCurve(const CPatternData* data, int32_t position) {
  return data ? ResolveObjectOfKind(*data, position, kObjectKindCurve) : nullptr;
}

bool IsOneOf(const CGradedObject* object, std::initializer_list<const CGradedObject*> references) {
  if (!object) return false;
  for (const CGradedObject* reference : references) {
    if (reference == object) return true;
  }
  return false;
}

// The position of `point` at `size`; 0 for no point, a size outside the
// container or a point that cannot be had there.
bool PositionAt(const CDesignElement& element, CGradedPoint* point, int32_t size, CPoint* at) {
  const CPatternData* data = element.GetPatternData();
  if (!point || !data || size < 0 || size >= data->GetSizeCount()) return false;
  return point->GetPoint(size, at) != FALSE;
}

int32_t BaseSizeOf(const CDesignElement& element) {
  const CPatternData* data = element.GetPatternData();
  return data ? data->GetBaseSize() : -1;
}

// The least and greatest x and y of `points` turned about (cx, cy); empty
// for no points. The boxes of the unturned element turn by the angle 0
// (sine 0, cosine 1), which leaves every point where it is.
CRect ExtentOf(PointList points, int32_t cx, int32_t cy, double sinA, double cosA) {
  for (CPoint& p : points) RotatePointInPlace(&p, cx, cy, sinA, cosA);
  CRect rect;
  GetPointListExtent(&rect, points);
  return rect;
}

constexpr int32_t kOpenItemType = 9;
constexpr int32_t kClosedItemType = 8;
constexpr uint32_t kEndFlag = 0;
constexpr uint32_t kStraightInnerFlag = 2;
constexpr uint32_t kCurveSampleFlag = 100;

}  // namespace

// ---- Point element -----------------------------------------------------------

CPiecePointElement::CPiecePointElement(CPatternRecord* owner, uint16_t attribute)
    : CDesignElement(owner, kElementTypePiecePoint), m_Attribute(attribute) {}

CPiecePointElement::CPiecePointElement(CPatternRecord* owner, uint16_t attribute, CGradedPoint* point)
    : CDesignElement(owner, kElementTypePiecePoint), m_Point(point), m_Attribute(attribute) {}

BOOL CPiecePointElement::RefersTo(const CGradedObject* object) const {
  return IsOneOf(object, {m_Point}) ? TRUE : FALSE;
}

void CPiecePointElement::GetUsedObjects(std::vector<CGradedObject*>& used) const { used.push_back(m_Point); }

BOOL CPiecePointElement::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  CPoint at;
  if (!PositionAt(*this, m_Point, BaseSizeOf(*this), &at)) return FALSE;
  const double d = PointDistance(x, y, at.x, at.y);
  if (!(d <= tolerance)) return FALSE;
  if (distance) *distance = d;
  return TRUE;
}

CRect CPiecePointElement::GetBoundRect(int32_t size) const {
  CPoint at;
  if (!PositionAt(*this, m_Point, size, &at)) return CRect();
  return CRect(at.x, at.y, SaturateToInt32(static_cast<int64_t>(at.x) + 1), SaturateToInt32(static_cast<int64_t>(at.y) + 1));
}

CRect CPiecePointElement::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  CPoint at;
  if (!PositionAt(*this, m_Point, size, &at)) return CRect();
  RotatePointInPlace(&at, cx, cy, sinA, cosA);
  return CRect(at.x, at.y, SaturateToInt32(static_cast<int64_t>(at.x) + 1), SaturateToInt32(static_cast<int64_t>(at.y) + 1));
}

BOOL CPiecePointElement::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (!vertices) return FALSE;
  vertices->clear();
  CPoint at;
  if (!PositionAt(*this, m_Point, BaseSizeOf(*this), &at)) return FALSE;
  vertices->assign(2, CVertex{at.x, at.y, kEndFlag});
  if (itemType) *itemType = kOpenItemType;
  return TRUE;
}

BOOL CPiecePointElement::Load(ArchiveReader& archive) {
  uint16_t attribute = 0;
  int32_t point = -1;
  if (!archive.ReadU16(attribute) || !archive.ReadI32(point)) return FALSE;
  m_Attribute = attribute;
  m_Point = ResolvePoint(GetPatternData(), point);
  return TRUE;
}

// ---- Line element ------------------------------------------------------------

CPieceLineElement::CPieceLineElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType)
    : CDesignElement(owner, kElementTypePieceLine), m_Attribute(attribute), m_LineType(lineType) {}

CPieceLineElement::CPieceLineElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType,
                                     CGradedPoint* first, CGradedPoint* second)
    : CDesignElement(owner, kElementTypePieceLine),
      m_First(first),
      m_Second(second),
      m_Attribute(attribute),
      m_LineType(lineType) {}

void CPieceLineElement::GetRefs(CGradedPoint** first, CGradedPoint** second) const {
  if (first) *first = m_First;
  if (second) *second = m_Second;
}

void CPieceLineElement::SetRefs(CGradedPoint* first, CGradedPoint* second) {
  m_First = first;
  m_Second = second;
}

BOOL CPieceLineElement::RefersTo(const CGradedObject* object) const {
  return IsOneOf(object, {m_First, m_Second}) ? TRUE : FALSE;
}

void CPieceLineElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  used.insert(used.end(), {m_First, m_Second});
}

BOOL CPieceLineElement::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  const int32_t base = BaseSizeOf(*this);
  CPoint p1, p2;
  if (!PositionAt(*this, m_First, base, &p1) || !PositionAt(*this, m_Second, base, &p2)) return FALSE;
  CPoint foot;
  double d = 0;
  if (!NearestPointOnSegment(p1.x, p1.y, p2.x, p2.y, tolerance, x, y, &foot, &d)) return FALSE;
  if (distance) *distance = d;
  return TRUE;
}

CRect CPieceLineElement::GetBoundRect(int32_t size) const { return GetBoundRectAt(size, 0, 0, 0.0, 1.0); }

CRect CPieceLineElement::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  CPoint p1, p2;
  if (!PositionAt(*this, m_First, size, &p1) || !PositionAt(*this, m_Second, size, &p2)) return CRect();
  return ExtentOf({p1, p2}, cx, cy, sinA, cosA);
}

BOOL CPieceLineElement::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (!vertices) return FALSE;
  vertices->clear();
  const int32_t base = BaseSizeOf(*this);
  CPoint p1, p2;
  if (!PositionAt(*this, m_First, base, &p1) || !PositionAt(*this, m_Second, base, &p2)) return FALSE;
  *vertices = {CVertex{p1.x, p1.y, kEndFlag}, CVertex{p2.x, p2.y, kEndFlag}};
  if (itemType) *itemType = kOpenItemType;
  return TRUE;
}

BOOL CPieceLineElement::Load(ArchiveReader& archive) {
  uint16_t attribute = 0;
  int32_t lineType = 0;
  int32_t first = -1;
  int32_t second = -1;
  if (!archive.ReadU16(attribute) || !archive.ReadI32(lineType) || !archive.ReadI32(first) ||
      !archive.ReadI32(second)) {
    return FALSE;
  }
  m_Attribute = attribute;
  m_LineType = lineType;
  const CPatternData* data = GetPatternData();
  m_First = ResolvePoint(data, first);
  m_Second = ResolvePoint(data, second);
  return TRUE;
}

// ---- Curve element -----------------------------------------------------------

CPieceCurveElement::CPieceCurveElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType)
    : CDesignElement(owner, kElementTypePieceCurve), m_Attribute(attribute), m_LineType(lineType) {
  ResetSections();
}

CPieceCurveElement::CPieceCurveElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType,
                                       CGradedObject* curve, CGradedPoint* first, CGradedPoint* second)
    : CPieceCurveElement(owner, attribute, lineType) {
  SetRefs(curve, first, second);
}

void CPieceCurveElement::GetRefs(CGradedObject** curve, CGradedPoint** first, CGradedPoint** second) const {
  if (curve) *curve = m_Curve;
  if (first) *first = m_First;
  if (second) *second = m_Second;
}

void CPieceCurveElement::SetRefs(CGradedObject* curve, CGradedPoint* first, CGradedPoint* second) {
  m_Curve = curve;
  m_First = first;
  m_Second = second;
  Invalidate(-1);
  ResetSections();
}

void CPieceCurveElement::ResetSections() {
  const CPatternData* data = GetPatternData();
  m_Sections.assign(data ? static_cast<size_t>(data->GetSizeCount()) : 0, {});
}

BOOL CPieceCurveElement::RefersTo(const CGradedObject* object) const {
  return IsOneOf(object, {m_First, m_Second, m_Curve}) ? TRUE : FALSE;
}

void CPieceCurveElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  used.insert(used.end(), {m_First, m_Second, m_Curve});
}

void CPieceCurveElement::InsertSize(int32_t index) {
  CDesignElement::InsertSize(index);
  ResetSections();
  Invalidate(-1);
}

void CPieceCurveElement::RemoveSize(int32_t index) {
  CDesignElement::RemoveSize(index);
  ResetSections();
  Invalidate(-1);
}

BOOL CPieceCurveElement::GetCurveAndPoints(int32_t size, CGradedCurve** curve, CPoint* p1, CPoint* p2) const {
  auto* asCurve = m_Curve && m_Curve->GetKind() == kObjectKindCurve ? dynamic_cast<CGradedCurve*>(m_Curve) : nullptr;
  if (!asCurve || !PositionAt(*this, m_First, size, p1) || !PositionAt(*this, m_Second, size, p2)) return FALSE;
  *curve = asCurve;
  return TRUE;
}

BOOL CPieceCurveElement::ComputeSection(int32_t size, PointList& out) const {
  out.clear();
  CGradedCurve* curve = nullptr;
  CPoint p1, p2;
  if (!GetCurveAndPoints(size, &curve, &p1, &p2)) return FALSE;
  GetCurveSection(*curve, m_First, m_Second, p1, p2, size, WholeCurveEnds::kKeep, out);
  return TRUE;
}

BOOL CPieceCurveElement::GetSectionPoints(int32_t size, PointList& out) {
  out.clear();
  if (size < 0 || size >= GetSectionCount()) return FALSE;
  if (!ComputeSection(size, out)) return FALSE;
  m_Sections[static_cast<size_t>(size)].assign(out.begin(), out.end());
  return TRUE;
}

BOOL CPieceCurveElement::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  const int32_t base = BaseSizeOf(*this);
  CGradedCurve* curve = nullptr;
  CPoint p1, p2;
  if (!GetCurveAndPoints(base, &curve, &p1, &p2)) return FALSE;
  PointList whole;
  curve->GetFullPoints(base, whole);
  CPoint nearest;
  double d = 0;
  PointPos prev, at, next;
  if (!HitTestPolyline(whole, tolerance, x, y, &nearest, &d, &prev, &at, &next)) return FALSE;
  if (distance) *distance = d;
  return TRUE;
}

CRect CPieceCurveElement::GetBoundRect(int32_t size) const { return GetBoundRectAt(size, 0, 0, 0.0, 1.0); }

CRect CPieceCurveElement::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  PointList section;
  if (!ComputeSection(size, section)) return CRect();
  return ExtentOf(std::move(section), cx, cy, sinA, cosA);
}

namespace {

bool IsStraightKind(int32_t subtype) {
  return subtype == kCurveKindPolyline || subtype == kCurveKindClosedPolyline;
}

// Drops the closing copy of a ring's first point.
void DropClosingPoint(PointList& list) {
  if (list.size() >= 2 && list.back() == list.front()) list.pop_back();
}

}  // namespace

BOOL CPieceCurveElement::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (!vertices) return FALSE;
  vertices->clear();
  const int32_t base = BaseSizeOf(*this);
  CGradedCurve* curve = nullptr;
  CPoint p1, p2;
  PointList list;
  if (!GetCurveAndPoints(base, &curve, &p1, &p2) || !GetSectionPoints(base, list)) return FALSE;

  // The whole ring of a closed curve; a ring of two points or fewer is
  // no outline of its own and goes out open.
  bool closed = curve->IsClosed() && m_First == m_Second;
  if (closed) {
    PointList ring = list;
    DropClosingPoint(ring);
    if (ring.size() <= 2) closed = false;
  }
  if (closed) DropClosingPoint(list);
  int32_t type = closed ? kClosedItemType : kOpenItemType;

  VertexList out;
  if (IsStraightKind(curve->GetSubtype())) {
    if (!closed && list.size() == 1) list.push_back(list.front());
    for (auto it = list.begin(); it != list.end(); ++it) {
      const bool end = it == list.begin() || std::next(it) == list.end();
      out.push_back(CVertex{it->x, it->y, end ? kEndFlag : kStraightInnerFlag});
    }
  } else {
    if (!closed && (list.size() == 1 || (list.size() == 2 && list.front() == list.back()))) list.clear();
    VertexList samples;
    for (const CPoint& p : list) samples.push_back(CVertex{p.x, p.y, kCurveSampleFlag});
    CGradedObjectList refs;
    curve->GetDefiningRefs(refs);
    for (CGradedObject* ref : refs) {
      CPoint at;
      if (!PositionAt(*this, dynamic_cast<CGradedPoint*>(ref), base, &at)) continue;
      const auto found = std::find_if(samples.begin(), samples.end(),
                                      [at](const CVertex& v) { return v.x == at.x && v.y == at.y; });
      if (found != samples.end()) found->flag = kControlVertexFlag;
    }
    if (samples.size() >= 2) {
      if (closed) {
        samples.front().flag = kControlVertexFlag2;
      } else {
        samples.front().flag = kEndFlag;
        samples.back().flag = kEndFlag;
      }
    } else {
      samples = {CVertex{p1.x, p1.y, kEndFlag}, CVertex{p2.x, p2.y, kEndFlag}};
      closed = false;
      type = kOpenItemType;
    }
    // A tenth of a millimetre in model units.
    const CPatternData* data = GetPatternData();
    const double tolerance = data ? data->GetScale() / 10.0 : 0.0;
    if (closed) {
      FitCurveVertices2(samples, tolerance, &out);
    } else {
      FitCurveVertices(samples, tolerance, &out);
    }
  }
  if (out.empty()) return FALSE;
  vertices->assign(out.begin(), out.end());
  if (itemType) *itemType = type;
  return TRUE;
}

BOOL CPieceCurveElement::Load(ArchiveReader& archive) {
  uint16_t attribute = 0;
  int32_t lineType = 0;
  int32_t curve = -1;
  int32_t first = -1;
  int32_t second = -1;
  if (!archive.ReadU16(attribute) || !archive.ReadI32(lineType) || !archive.ReadI32(curve) ||
      !archive.ReadI32(first) || !archive.ReadI32(second)) {
    return FALSE;
  }
  m_Attribute = attribute;
  m_LineType = lineType;
  const CPatternData* data = GetPatternData();
  m_Curve = ResolveCurve(data, curve);
  m_First = ResolvePoint(data, first);
  m_Second = ResolvePoint(data, second);
  return TRUE;
}

// ---- Registration ------------------------------------------------------------

void RegisterReferenceElements() {
  ElementFactory& elements = GetElementFactory();
  elements.Register({kElementTypePiecePoint, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CPiecePointElement>(owner, 0);
  });
  elements.Register({kElementTypePieceLine, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CPieceLineElement>(owner, 0, 0);
  });
  elements.Register({kElementTypePieceCurve, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CPieceCurveElement>(owner, 0, 0);
  });
}
