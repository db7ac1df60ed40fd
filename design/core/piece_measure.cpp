#include "design/core/piece_measure.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "design/core/graded_object.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"
#include "design/geometry/primitives.h"
#include "design/points/dim_label.h"
#include "design/points/graded_point.h"
#include "model/length_text.h"
#include "model/settings.h"
#include "platform/numbers.h"

namespace {

// Files from this version on store the display fields of a measure.
constexpr int32_t kFirstVersionWithMeasureDisplay = 102;

// The default distance of the dimension line from the measured part.
constexpr int64_t kDefaultOffsetMillimetres = 10;

// 10 mm in the owner's model units. The scale comes from the file, so the
// product is kept inside the int range.
int32_t DefaultOffset(const CPatternData* owner) {
  if (!owner) return 0;
  return SaturateToInt32(kDefaultOffsetMillimetres * owner->GetScale());
}

// The polyline curve kinds: a measure along one of them skips the end-point
// test of its points.
bool IsPolylineCurve(const CGradedCurve& curve) {
  return curve.GetSubtype() == kCurveKindPolyline || curve.GetSubtype() == kCurveKindClosedPolyline;
}

CPoint AddSaturated(CPoint p, CPoint d) {
  return CPoint(SaturateToInt32(int64_t{p.x} + d.x), SaturateToInt32(int64_t{p.y} + d.y));
}

// The base-size position of a point reference; false for a missing one.
bool BasePosition(const CPatternData* owner, CGradedObject* ref, CPoint* out) {
  auto* point = dynamic_cast<CGradedPoint*>(ref);
  if (!owner || !point) return false;
  point->GetPoint(owner->GetBaseSize(), out);
  return true;
}

}  // namespace

CPieceMeasure::CPieceMeasure(CPatternData* owner) : m_Owner(owner), m_OffsetDistance(DefaultOffset(owner)) {}

CPieceMeasure::CPieceMeasure(CPatternData* owner, int32_t kind, CGradedObject* ref1, CGradedObject* ref2,
                             CGradedObject* ref3, const char* name)
    : m_Name(name),
      m_Owner(owner),
      m_Kind(kind),
      m_Refs{ref1, ref2, ref3},
      m_OffsetDistance(DefaultOffset(owner)) {}

void CPieceMeasure::GetRefs(CGradedObject** ref1, CGradedObject** ref2, CGradedObject** ref3) const {
  if (ref1) *ref1 = m_Refs[0];
  if (ref2) *ref2 = m_Refs[1];
  if (ref3) *ref3 = m_Refs[2];
}

void CPieceMeasure::SetRefs(CGradedObject* ref1, CGradedObject* ref2, CGradedObject* ref3) {
  m_Refs[0] = ref1;
  m_Refs[1] = ref2;
  m_Refs[2] = ref3;
}

int32_t CPieceMeasure::GetLength(int32_t size) const {
  if (m_Kind == kMeasureKindDistance) {
    auto* first = dynamic_cast<CGradedPoint*>(m_Refs[0]);
    auto* second = dynamic_cast<CGradedPoint*>(m_Refs[1]);
    if (!first || !second) return 0;
    CPoint p1, p2;
    first->GetPoint(size, &p1);
    second->GetPoint(size, &p2);
    // Differences of int32 coordinates are formed in doubles, where they
    // cannot overflow.
    const double dx = static_cast<double>(p1.x) - static_cast<double>(p2.x);
    const double dy = static_cast<double>(p1.y) - static_cast<double>(p2.y);
    return RoundToNearest(std::sqrt(dx * dx + dy * dy));
  }
  if (m_Kind == kMeasureKindCurve) {
    auto* curve = dynamic_cast<CGradedCurve*>(m_Refs[2]);
    if (!m_Refs[0] || !m_Refs[1] || !curve) return 0;
    constexpr int32_t kForwards = 1;
    return curve->GetSection(size, m_Refs[0], m_Refs[1], kForwards);
  }
  return 0;
}

void CPieceMeasure::UpdateValidity(BOOL check) {
  if (!check) {
    m_Valid = 0;
    return;
  }
  if (m_Kind == kMeasureKindDistance) {
    m_Valid = m_Owner && m_Owner->IsLineEndPoint(m_Refs[0]) && m_Owner->IsLineEndPoint(m_Refs[1]) ? 1 : 0;
  } else if (m_Kind == kMeasureKindCurve) {
    const auto* curve = dynamic_cast<const CGradedCurve*>(m_Refs[2]);
    bool valid = m_Owner && curve && curve->GetState() != 0;
    if (valid && !IsPolylineCurve(*curve)) {
      valid = m_Owner->IsLineEndPoint(m_Refs[0]) && m_Owner->IsLineEndPoint(m_Refs[1]);
    }
    m_Valid = valid ? 1 : 0;
  }
}

BOOL CPieceMeasure::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  for (const CGradedObject* ref : m_Refs) {
    if (ref == object) return TRUE;
  }
  return FALSE;
}

void CPieceMeasure::GetDisplay(int32_t* textMode, int32_t* offsetDistance, CPoint* labelOffset) const {
  if (textMode) *textMode = m_TextMode;
  if (offsetDistance) *offsetDistance = m_OffsetDistance;
  if (labelOffset) *labelOffset = m_LabelOffset;
}

void CPieceMeasure::SetDisplay(int32_t textMode, int32_t offsetDistance, CPoint labelOffset) {
  m_TextMode = textMode;
  m_OffsetDistance = offsetDistance;
  m_LabelOffset = labelOffset;
}

void CPieceMeasure::ResolveIds() {
  if (!m_Owner) {
    SetRefs(nullptr, nullptr, nullptr);
    return;
  }
  m_Refs[0] = ResolveObjectOfKind(*m_Owner, m_RefIds[0], kObjectKindPoint);
  m_Refs[1] = ResolveObjectOfKind(*m_Owner, m_RefIds[1], kObjectKindPoint);
  m_Refs[2] = ResolveObjectOfKind(*m_Owner, m_RefIds[2], kObjectKindCurve);
}

BOOL CPieceMeasure::Load(ArchiveReader& archive) {
  const int32_t version = m_Owner ? m_Owner->GetVersion() : kNewestDataVersion;
  CString name;
  int32_t kind = 0;
  int32_t ids[3] = {-1, -1, -1};
  if (!archive.ReadString(name) || !archive.ReadI32(kind)) return FALSE;
  for (int32_t& id : ids) {
    if (!archive.ReadI32(id)) return FALSE;
  }
  int32_t valid = m_Valid;
  int32_t textMode = m_TextMode;
  int32_t offset = m_OffsetDistance;
  CPoint labelOffset = m_LabelOffset;
  if (version >= kFirstVersionWithMeasureDisplay) {
    if (!archive.ReadI32(valid) || !archive.ReadI32(textMode) || !archive.ReadI32(offset) ||
        !archive.ReadI32(labelOffset.x) || !archive.ReadI32(labelOffset.y)) {
      return FALSE;
    }
  }
  m_Name = name;
  m_Kind = kind;
  for (int i = 0; i < 3; ++i) m_RefIds[i] = ids[i];
  m_Valid = valid;
  m_TextMode = textMode;
  m_OffsetDistance = offset;
  m_LabelOffset = labelOffset;
  return TRUE;
}

std::list<CPoint> CPieceMeasure::CurveSection() const {
  std::list<CPoint> section;
  auto* curve = dynamic_cast<CGradedCurve*>(m_Refs[2]);
  CPoint p1, p2;
  if (!curve || !BasePosition(m_Owner, m_Refs[0], &p1) || !BasePosition(m_Owner, m_Refs[1], &p2)) {
    return section;
  }
  PointList full;
  curve->GetFullPoints(m_Owner->GetBaseSize(), full);
  const BOOL found = curve->IsClosed() ? GetRingSectionForward(full, p1.x, p1.y, p2.x, p2.y, &section)
                                       : GetPolylineSection(full, p1.x, p1.y, p2.x, p2.y, &section);
  if (!found) section.clear();
  return section;
}

std::list<CPoint> CPieceMeasure::DimensionPath() const {
  std::list<CPoint> path = CurveSection();
  if (path.empty()) return path;
  const CPoint shift(SaturateToInt32(int64_t{m_DimStart.x} - path.front().x),
                     SaturateToInt32(int64_t{m_DimStart.y} - path.front().y));
  for (CPoint& p : path) p = AddSaturated(p, shift);
  return path;
}

void CPieceMeasure::UpdateLayout() {
  CPoint anchor(static_cast<int32_t>((int64_t{m_DimStart.x} + m_DimEnd.x) / 2),
                static_cast<int32_t>((int64_t{m_DimStart.y} + m_DimEnd.y) / 2));
  if (m_Kind == kMeasureKindDistance) {
    CPoint p1, p2;
    if (BasePosition(m_Owner, m_Refs[0], &p1) && BasePosition(m_Owner, m_Refs[1], &p2)) {
      // Two coinciding points give no direction, and the line stays on them.
      const CPoint shift = DimensionOffset(p1, p2, m_OffsetDistance);
      m_DimStart = AddSaturated(p1, shift);
      m_DimEnd = AddSaturated(p2, shift);
      anchor = CPoint(static_cast<int32_t>((int64_t{m_DimStart.x} + m_DimEnd.x) / 2),
                      static_cast<int32_t>((int64_t{m_DimStart.y} + m_DimEnd.y) / 2));
    }
  } else if (m_Kind == kMeasureKindCurve) {
    std::list<CPoint> path = CurveSection();
    if (!path.empty()) {
      const CPoint a = path.front();
      CPoint q = path.back();
      // A section that ends where it starts (a whole closed curve) takes its
      // direction from the point one millimetre along it.
      if (a == q) PointAlongPolyline(path, a.x, a.y, static_cast<double>(m_Owner->GetScale()), &q);
      const CPoint shift = DimensionOffset(a, q, m_OffsetDistance);
      for (CPoint& p : path) p = AddSaturated(p, shift);
      m_DimStart = path.front();
      m_DimEnd = path.back();
      anchor = m_DimStart;
      PointAlongPolyline(path, m_DimStart.x, m_DimStart.y, PolylineLength(path) / 2.0, &anchor);
    }
  }
  if (m_TextMode == kMeasureTextModeAuto) m_TextMode = m_DimStart.x == m_DimEnd.x ? 3 : 0;
  PlaceLabel(anchor.x, anchor.y);
  m_LayoutDirty = 0;
}

CSize CPieceMeasure::GetLabelExtent() const {
  const int32_t base = m_Owner ? m_Owner->GetBaseSize() : 0;
  const int32_t scale = m_Owner ? m_Owner->GetScale() : 0;
  const CString text = m_Name + "=" + FormatLength(GetLength(base), scale, g_UnitMode, g_UnitPrecision);
  return MeasureLabelText(text, m_Owner ? m_Owner->GetLabelFont() : LOGFONT());
}

void CPieceMeasure::PlaceLabel(int32_t x, int32_t y) {
  CSize extent = GetLabelExtent();
  if (m_TextMode == 2 || m_TextMode == 3) {
    std::swap(extent.cx, extent.cy);
  } else if (m_TextMode != 0 && m_TextMode != 1) {
    return;
  }
  // The label offset comes from the file: the sums stop at the int range.
  const CPoint centre = AddSaturated(CPoint(x, y), m_LabelOffset);
  const int64_t left = int64_t{centre.x} - extent.cx / 2;
  const int64_t top = int64_t{centre.y} - extent.cy / 2;
  m_LabelRect = CRect(SaturateToInt32(left), SaturateToInt32(top), SaturateToInt32(left + extent.cx),
                      SaturateToInt32(top + extent.cy));
}

BOOL CPieceMeasure::HitTestLabel(int32_t x, int32_t y) {
  if (!m_Valid) return FALSE;
  if (m_LayoutDirty) UpdateLayout();
  const int64_t cx = (int64_t{m_LabelRect.left} + m_LabelRect.right) / 2;
  const int64_t cy = (int64_t{m_LabelRect.top} + m_LabelRect.bottom) / 2;
  const double width = static_cast<double>(m_LabelRect.right) - m_LabelRect.left;
  const double height = static_cast<double>(m_LabelRect.bottom) - m_LabelRect.top;
  const int64_t hw = RoundToNearest(width * m_LabelZoom / 2.0);
  const int64_t hh = RoundToNearest(height * m_LabelZoom / 2.0);
  return cx - hw <= x && x <= cx + hw && cy - hh <= y && y <= cy + hh ? TRUE : FALSE;
}

BOOL CPieceMeasure::HitTestLine(int32_t x, int32_t y, double tolerance, double* distance) {
  if (!m_Valid) return FALSE;
  if (m_LayoutDirty) UpdateLayout();
  CPoint foot;
  double found = 0.0;
  BOOL hit = FALSE;
  if (m_Kind == kMeasureKindDistance) {
    hit = NearestPointOnSegment(m_DimStart.x, m_DimStart.y, m_DimEnd.x, m_DimEnd.y, tolerance, x, y, &foot, &found);
  } else if (m_Kind == kMeasureKindCurve) {
    const std::list<CPoint> path = DimensionPath();
    PointPos prev, at, next;
    hit = HitTestPolyline(path, tolerance, x, y, &foot, &found, &prev, &at, &next);
  }
  if (hit && distance) *distance = found;
  return hit;
}

CRect CPieceMeasure::GetBoundRect() {
  if (!m_Valid) return CRect();
  if (m_Kind == kMeasureKindCurve && (!m_Refs[2] || m_Refs[2]->GetState() == 0)) return CRect();
  if (m_LayoutDirty) UpdateLayout();
  CRect bound;
  if (!m_Name.IsEmpty()) bound = m_LabelRect;
  CRect part;
  if (m_Kind == kMeasureKindDistance) {
    GetSegmentRect(&part, m_DimStart.x, m_DimStart.y, m_DimEnd.x, m_DimEnd.y);
    bound.UnionRect(bound, part);
  } else if (m_Kind == kMeasureKindCurve) {
    GetPointListExtent(&part, DimensionPath());
    bound.UnionRect(bound, part);
  }
  return bound;
}

void CPieceMeasure::MoveLabel(int32_t dx, int32_t dy) {
  const CPoint shift(dx, dy);
  m_LabelOffset = AddSaturated(m_LabelOffset, shift);
  const CPoint topLeft = AddSaturated(CPoint(m_LabelRect.left, m_LabelRect.top), shift);
  const CPoint bottomRight = AddSaturated(CPoint(m_LabelRect.right, m_LabelRect.bottom), shift);
  m_LabelRect = CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

void CPieceMeasure::SetOffsetFromPoint(int32_t x, int32_t y) {
  if (m_Kind == kMeasureKindDistance) {
    CPoint p1, p2;
    if (!BasePosition(m_Owner, m_Refs[0], &p1) || !BasePosition(m_Owner, m_Refs[1], &p2) || p1 == p2) return;
    const int32_t distance = RoundToNearest(PointLine2PDistance(x, y, p1.x, p1.y, p2.x, p2.y));
    m_OffsetDistance = IsPointRightOfLine(x, y, p1.x, p1.y, p2.x, p2.y) ? distance : -distance;
    m_LayoutDirty = 1;
    return;
  }
  if (m_Kind != kMeasureKindCurve) return;
  const std::list<CPoint> section = CurveSection();
  if (section.empty()) return;
  const CPoint a = section.front();
  CPoint q = section.back();
  // The chord of a whole closed curve has no length: its direction is taken
  // one millimetre along, as the layout does.
  if (a == q) PointAlongPolyline(section, a.x, a.y, static_cast<double>(m_Owner->GetScale()), &q);
  if (a == q) return;
  // The line through (x, y) square to the chord a -> q. Its second point is
  // formed in 64 bits: positions come from files.
  const int32_t toX = SaturateToInt32(int64_t{x} - (int64_t{q.y} - a.y));
  const int32_t toY = SaturateToInt32(int64_t{y} + (int64_t{q.x} - a.x));
  double la = 0.0, lb = 0.0, lc = 0.0;
  LineCoefficients(x, y, toX, toY, &la, &lb, &lc);
  PointList crossings;
  if (IntersectLinePolyline(la, lb, lc, section, &crossings) <= 0) return;
  int32_t nearest = -1;
  for (const CPoint& crossing : crossings) {
    const int32_t d = PointDistance(x, y, crossing.x, crossing.y);
    if (nearest < 0 || d < nearest) nearest = d;
  }
  m_OffsetDistance = IsPointRightOfLine(x, y, a.x, a.y, q.x, q.y) ? nearest : -nearest;
  m_LayoutDirty = 1;
}
