#include "design/elements/notch_element.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/geometry/circles.h"
#include "design/geometry/device_mapping.h"
#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"
#include "design/geometry/segments.h"
#include "design/points/graded_point.h"
#include "platform/dc.h"
#include "platform/numbers.h"

namespace {

// Below this data version the angle is stored in radians.
constexpr int32_t kFirstVersionWithDegrees = 106;
// From this data version on the record ends with a word that is not kept.
constexpr int32_t kFirstVersionWithTrailingWord = 155;
// The value of pi the stored designs were made with.
constexpr double kPi = 3.14159265359;
constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr double kTwoPi = 6.28318530718;
constexpr double kHalfPi = 1.570796326795;
// A point counts as on the outline within this many model units.
constexpr double kOnOutline = 5.0;
// The stretch of outline either side of the anchor that sets its normal, in
// millimetres.
constexpr double kNormalReachMm = 1.5;
// A cut of the seam line counts as lying along the notch within this angle
// (a fortieth of a turn) of its direction.
constexpr double kAlongTolerance = 0.1570796326795;
constexpr double kAlongToleranceFar = 6.1261056745005;
// A notch shorter than this many pixels is drawn as a stroke of this length.
constexpr int32_t kShortStroke = 4;
constexpr int32_t kItemTypeNotch = 13;
constexpr uint32_t kNotchWidthFlag = 0x66;
constexpr uint32_t kNotchEndFlag = 0x68;

CPoint Offset(CPoint p, double dx, double dy) {
  return CPoint(RoundToNearest(p.x + dx), RoundToNearest(p.y + dy));
}

// (dx, dy) scaled to `length`; (0, 0) for a vector of no length, which has
// no direction.
void Scaled(double dx, double dy, double length, double* ox, double* oy) {
  const double len = std::hypot(dx, dy);
  if (!(len > 0) || !std::isfinite(len)) {
    *ox = 0;
    *oy = 0;
    return;
  }
  *ox = dx / len * length;
  *oy = dy / len * length;
}

CPoint Device(CPoint p, double scale, int32_t originX, int32_t originY) {
  return ModelToDevicePoint(p.x, p.y, scale, originX, originY);
}

// The pixel below `p`, where the figures set their last pixel.
CPoint Below(CPoint p) { return CPoint(p.x, SaturateToInt32(static_cast<int64_t>(p.y) + 1)); }

CPoint Shifted(CPoint p, int32_t dx, int32_t dy) {
  return CPoint(SaturateToInt32(static_cast<int64_t>(p.x) + dx), SaturateToInt32(static_cast<int64_t>(p.y) + dy));
}

template <class T>
BOOL CopyAt(const std::vector<T>& list, int32_t index, T& out) {
  if (index < 0 || index >= static_cast<int32_t>(list.size())) return FALSE;
  out = list[static_cast<size_t>(index)];
  return TRUE;
}

template <class T>
void InsertAt(std::vector<T>& list, int32_t index) {
  if (index >= 0 && index <= static_cast<int32_t>(list.size())) list.insert(list.begin() + index, T{});
}

template <class T>
void RemoveAt(std::vector<T>& list, int32_t index) {
  if (index >= 0 && index < static_cast<int32_t>(list.size())) list.erase(list.begin() + index);
}

}  // namespace

CRect CShapeRecord6::GetBoundRect() const {
  CRect rect;
  GetPointListRect(&rect, PointList(points.begin(), points.end()));
  return rect;
}

CNotchElement::CNotchElement(CPatternRecord* owner) : CDesignElement(owner, kElementTypeNotch) { ResizeShapes(); }

CNotchElement::CNotchElement(CPatternRecord* owner, CGradedPoint* pointA, int32_t offset, const CNotchShape& shape)
    : CNotchElement(owner) {
  SetPosition(pointA, offset, shape);
}

CNotchElement::CNotchElement(CPatternRecord* owner, CGradedPoint* pointA, CGradedPoint* pointB, double ratio,
                             int32_t mode, const CNotchShape& shape)
    : CNotchElement(owner) {
  SetPosition(pointA, pointB, ratio, mode, shape);
}

CNotchElement::CNotchElement(CPatternRecord* owner, CGradedPoint* pointA, CGradedPoint* pointB, int32_t offset,
                             int32_t mode, const CNotchShape& shape)
    : CNotchElement(owner) {
  SetPosition(pointA, pointB, offset, mode, shape);
}

CNotchElement::~CNotchElement() {
  m_OutlineShapes.clear();
  m_SeamShapes.clear();
  // The hidden points kept only for this notch go with it.
  if (CPatternData* data = GetPatternData()) {
    for (CGradedPoint* point : {m_pPointA, m_pPointB}) data->DeleteIfHidden(point);
  }
}

void CNotchElement::ResizeShapes() {
  const CPatternData* data = GetPatternData();
  const size_t sizes = data && data->GetSizeCount() > 0 ? static_cast<size_t>(data->GetSizeCount()) : 0;
  m_OutlineShapes.resize(sizes);
  m_SeamShapes.resize(sizes);
  m_OutlineSet.resize(sizes, 0);
  m_SeamSet.resize(sizes, 0);
}

void CNotchElement::SetShape(const CNotchShape& shape) {
  m_ShapeKind = shape.shapeKind;
  m_Length = shape.length;
  m_Width = shape.width;
  m_Angle = shape.angle;
  m_Flags = shape.flags;
  ResizeShapes();
  Invalidate(-1);
}

void CNotchElement::SetPosition(CGradedPoint* pointA, int32_t offset, const CNotchShape& shape) {
  m_pPointA = pointA;
  m_Offset = offset;
  m_Mode = 0;
  SetShape(shape);
}

void CNotchElement::SetPosition(CGradedPoint* pointA, CGradedPoint* pointB, double ratio, int32_t mode,
                                const CNotchShape& shape) {
  m_pPointA = pointA;
  m_pPointB = pointB;
  m_Ratio = ratio;
  m_Mode = mode;
  SetShape(shape);
}

void CNotchElement::SetPosition(CGradedPoint* pointA, CGradedPoint* pointB, int32_t offset, int32_t mode,
                                const CNotchShape& shape) {
  m_pPointA = pointA;
  m_pPointB = pointB;
  m_Offset = offset;
  m_Mode = mode;
  SetShape(shape);
}

BOOL CNotchElement::HasOutlineShape(int32_t size) const {
  char set = 0;
  return CopyAt(m_OutlineSet, size, set) && set ? TRUE : FALSE;
}

BOOL CNotchElement::HasSeamShape(int32_t size) const {
  char set = 0;
  return CopyAt(m_SeamSet, size, set) && set ? TRUE : FALSE;
}

int32_t CNotchElement::GetFlag(int32_t index) const {
  if (index < 0 || index >= kFlagCount) return 0;
  return m_Flags[static_cast<size_t>(index)];
}

BOOL CNotchElement::GetOutlineShape(int32_t size, CShapeRecord6& out) const {
  return CopyAt(m_OutlineShapes, size, out);
}

BOOL CNotchElement::GetSeamShape(int32_t size, CShapeRecord6& out) const { return CopyAt(m_SeamShapes, size, out); }

BOOL CNotchElement::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  return object == m_pPointA || object == m_pPointB ? TRUE : FALSE;
}

void CNotchElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  if (m_pPointA) used.push_back(m_pPointA);
  if (m_pPointB) used.push_back(m_pPointB);
}

void CNotchElement::InsertSize(int32_t index) {
  CDesignElement::InsertSize(index);
  InsertAt(m_OutlineShapes, index);
  InsertAt(m_SeamShapes, index);
  InsertAt(m_OutlineSet, index);
  InsertAt(m_SeamSet, index);
}

void CNotchElement::RemoveSize(int32_t index) {
  CDesignElement::RemoveSize(index);
  RemoveAt(m_OutlineShapes, index);
  RemoveAt(m_SeamShapes, index);
  RemoveAt(m_OutlineSet, index);
  RemoveAt(m_SeamSet, index);
}

BOOL CNotchElement::Load(ArchiveReader& archive) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  const int32_t version = data->GetVersion();
  int32_t pointA = -1;
  int32_t pointB = -1;
  double ratio = 0.0;
  int32_t offset = 0;
  int32_t mode = 0;
  int32_t shapeKind = 0;
  int32_t length = 0;
  int32_t width = 0;
  double angle = 0.0;
  std::array<int32_t, kFlagCount> flags{};
  if (!archive.ReadI32(pointA) || !archive.ReadI32(pointB) || !archive.ReadDouble(ratio) ||
      !archive.ReadI32(offset) || !archive.ReadI32(mode) || !archive.ReadI32(shapeKind) ||
      !archive.ReadI32(length) || !archive.ReadI32(width) || !archive.ReadDouble(angle)) {
    return FALSE;
  }
  for (int32_t& flag : flags) {
    if (!archive.ReadI32(flag)) return FALSE;
  }
  uint32_t trailing = 0;
  if (version >= kFirstVersionWithTrailingWord && !archive.ReadU32(trailing)) return FALSE;

  m_pPointA = ResolveObject<CGradedPoint>(*data, pointA);
  m_pPointB = ResolveObject<CGradedPoint>(*data, pointB);
  m_Ratio = ratio;
  m_Offset = offset;
  m_Mode = mode;
  m_ShapeKind = shapeKind;
  m_Length = length;
  m_Width = width;
  m_Angle = version < kFirstVersionWithDegrees ? angle * kDegreesPerRadian : angle;
  m_Flags = flags;
  return TRUE;
}

// ---- Placing the notch --------------------------------------------------------

BOOL CNotchElement::PlaceAnchor(int32_t size, const PointList& outline, CPoint* anchor) const {
  CPoint a;
  if (!m_pPointA || !m_pPointA->GetPoint(size, &a)) return FALSE;
  CPoint b;
  const bool usesB = m_Mode >= 1 && m_Mode <= 4;
  if (usesB && (!m_pPointB || !m_pPointB->GetPoint(size, &b))) return FALSE;

  CPoint from = a;
  double walk = 0;
  switch (m_Mode) {
    case 0:
    case 3:
      walk = m_Offset;
      break;
    case 4:
      from = b;
      walk = -static_cast<double>(m_Offset);
      break;
    case 1:
    case 2: {
      PointList section;
      if (!GetRingSection(outline, a.x, a.y, b.x, b.y, &section)) return FALSE;
      double length = 0;
      PolylineLengthEx(section, &length);
      walk = length * m_Ratio;
      if (m_Mode == 2) {
        from = b;
        walk = -walk;
      }
      break;
    }
    default:
      return FALSE;
  }
  if (!std::isfinite(walk)) return FALSE;
  return PointAlongClosedPolyline(outline, from.x, from.y, walk, anchor);
}

BOOL CNotchElement::ComputeShape(int32_t size, const PointList& outline, CShapeRecord6& shape) const {
  CPoint anchor;
  if (!PlaceAnchor(size, outline, &anchor)) return FALSE;

  // The normal: the bisector of the outline's directions back and forth
  // from the anchor over a millimetre and a half, or the perpendicular to
  // the backward direction where the outline runs nearly straight.
  CPoint onOutline;
  double distance = 0;
  PointPos prev, at, next;
  if (!HitTestClosedPolyline(outline, kOnOutline, anchor.x, anchor.y, &onOutline, &distance, &prev, &at, &next)) {
    return FALSE;
  }
  const CPatternData* data = GetPatternData();
  const double reach = (data ? static_cast<double>(data->GetScale()) : 0.0) * kNormalReachMm;
  CPoint q1;
  CPoint q2;
  if (!VertexAlongClosedPolyline(outline, onOutline.x, onOutline.y, -reach, &q1) ||
      !VertexAlongClosedPolyline(outline, onOutline.x, onOutline.y, reach, &q2)) {
    return FALSE;
  }
  double u1x, u1y, u2x, u2y;
  Scaled(static_cast<double>(q1.x) - anchor.x, static_cast<double>(q1.y) - anchor.y, 100.0, &u1x, &u1y);
  Scaled(static_cast<double>(q2.x) - anchor.x, static_cast<double>(q2.y) - anchor.y, 100.0, &u2x, &u2y);
  const double mx = (u1x + u2x) / 2;
  const double my = (u1y + u2y) / 2;
  double angle = 0;
  if (mx * mx + my * my >= 4.0) {
    const CPoint towards = Offset(anchor, RoundToNearest(mx), RoundToNearest(my));
    angle = LineAngle(anchor.x, anchor.y, towards.x, towards.y);
  } else {
    angle = LineAngle(anchor.x, anchor.y, q1.x, q1.y) - kHalfPi;
  }

  // Into the piece, then turned by the notch's angle.
  double vx = std::cos(angle) * m_Length;
  double vy = std::sin(angle) * m_Length;
  const CPoint guess = Offset(anchor, RoundToNearest(vx), RoundToNearest(vy));
  if (!IsPointInPointList(guess.x, guess.y, outline)) {
    vx = -vx;
    vy = -vy;
  }
  const double turn = m_Angle * kPi / 180.0;
  const double tx = std::cos(turn) * vx - std::sin(turn) * vy;
  const double ty = std::sin(turn) * vx + std::cos(turn) * vy;
  double sx, sy;
  Scaled(RoundToNearest(tx), RoundToNearest(ty), m_Length, &sx, &sy);
  const CPoint tip = Offset(anchor, RoundToNearest(sx), RoundToNearest(sy));

  // The rectangle of the notch's width along anchor to tip; a notch of no
  // length has all its corners on the anchor.
  const double dx = static_cast<double>(anchor.x) - tip.x;
  const double dy = static_cast<double>(anchor.y) - tip.y;
  const double len = std::hypot(dx, dy);
  if (!(len > 0)) {
    shape.Set(anchor, tip, anchor, anchor, anchor, anchor);
    return TRUE;
  }
  const double h = m_Width / 2.0;
  const CPoint tipRight = Offset(tip, RoundToNearest(-dy * h / len), RoundToNearest(dx * h / len));
  const CPoint tipLeft = Offset(tip, RoundToNearest(dy * h / len), RoundToNearest(-dx * h / len));
  const CPoint anchorRight = Offset(tipRight, dx, dy);
  const CPoint anchorLeft = Offset(tipLeft, dx, dy);
  shape.Set(anchor, tip, anchorRight, anchorLeft, tipLeft, tipRight);
  return TRUE;
}

BOOL CNotchElement::FindSeamPoint(int32_t size, const CShapeRecord6& shape, CPoint* onSeam) const {
  const CPatternRecord* piece = GetOwner();
  const CPoint anchor = shape.points[CShapeRecord6::kAnchor];
  const CPoint tip = shape.points[CShapeRecord6::kTip];
  // A notch of no length has no line to follow.
  if (anchor == tip) return FALSE;
  PointList seam;
  if (!piece->GetSeamLine(size, seam) || seam.empty()) return FALSE;
  seam.push_back(seam.front());
  PointList cuts;
  if (IntersectLine2PPolyline(anchor.x, anchor.y, tip.x, tip.y, seam, &cuts) <= 0) return FALSE;
  if (cuts.size() == 1) {
    *onSeam = cuts.front();
    return TRUE;
  }
  // Several cuts: the nearest of those that lie along the notch's own
  // direction (ahead of the tip when the allowance is outside, beyond the
  // anchor when it is inside).
  const double theta = LineAngle(anchor.x, anchor.y, tip.x, tip.y);
  const bool inside = piece->HasNegativeSeamWidth() ? true : false;
  bool found = false;
  double best = 0;
  for (const CPoint& cut : cuts) {
    const double angle =
        inside ? LineAngle(anchor.x, anchor.y, cut.x, cut.y) : LineAngle(cut.x, cut.y, tip.x, tip.y);
    const double diff = std::fmod(std::fabs(angle - theta), kTwoPi);
    if (!(diff < kAlongTolerance || diff > kAlongToleranceFar)) continue;
    const double d = std::hypot(static_cast<double>(cut.x) - anchor.x, static_cast<double>(cut.y) - anchor.y);
    if (!found || d < best) {
      found = true;
      best = d;
      *onSeam = cut;
    }
  }
  return found ? TRUE : FALSE;
}

BOOL CNotchElement::Calculate(int32_t size) {
  if (size < 0 || size >= GetShapeCount()) {
    ClearDirty(size);
    return FALSE;
  }
  const size_t at = static_cast<size_t>(size);
  m_OutlineSet[at] = 0;
  m_SeamSet[at] = 0;
  CPatternRecord* piece = GetOwner();
  PointList outline;
  CShapeRecord6 shape;
  if (!piece || !piece->GetOutline(size, outline) || !ComputeShape(size, outline, shape)) {
    m_OutlineShapes[at] = CShapeRecord6{};
    m_SeamShapes[at] = CShapeRecord6{};
    ClearDirty(size);
    return FALSE;
  }
  m_OutlineShapes[at] = shape;
  m_OutlineSet[at] = 1;
  CPoint onSeam;
  if (piece->HasSeamLine() && FindSeamPoint(size, shape, &onSeam)) {
    const CPoint anchor = shape.points[CShapeRecord6::kAnchor];
    const double mx = static_cast<double>(onSeam.x) - anchor.x;
    const double my = static_cast<double>(onSeam.y) - anchor.y;
    CShapeRecord6 moved;
    for (size_t i = 0; i < moved.points.size(); ++i) moved.points[i] = Offset(shape.points[i], mx, my);
    m_SeamShapes[at] = moved;
    m_SeamSet[at] = 1;
  }
  ClearDirty(size);
  return TRUE;
}

// ---- Questions at the base size -------------------------------------------------

BOOL CNotchElement::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  const int32_t base = data->GetBaseSize();
  if (IsDirty(base)) Calculate(base);
  if (!HasOutlineShape(base)) return FALSE;
  const CShapeRecord6& shape = m_OutlineShapes[static_cast<size_t>(base)];
  const CPoint corners[4] = {shape.points[CShapeRecord6::kAnchorEndRight],
                             shape.points[CShapeRecord6::kAnchorEndLeft],
                             shape.points[CShapeRecord6::kTipEndLeft], shape.points[CShapeRecord6::kTipEndRight]};
  int least = INT32_MAX;
  for (const CPoint& corner : corners) least = std::min(least, PointDistance(x, y, corner.x, corner.y));
  if (distance) *distance = least;
  if (least <= tolerance) return TRUE;
  return IsPointInPolygon(x, y, corners, 4) ? TRUE : FALSE;
}

CRect CNotchElement::GetBoundRect(int32_t size) const {
  CRect bounds;
  if (!HasOutlineShape(size)) return bounds;
  bounds = m_OutlineShapes[static_cast<size_t>(size)].GetBoundRect();
  if (HasSeamShape(size)) {
    CRect joined;
    joined.UnionRect(bounds, m_SeamShapes[static_cast<size_t>(size)].GetBoundRect());
    bounds = joined;
  }
  return bounds;
}

CRect CNotchElement::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  CRect bounds;
  if (!HasOutlineShape(size)) return bounds;
  PointList points(m_OutlineShapes[static_cast<size_t>(size)].points.begin(),
                   m_OutlineShapes[static_cast<size_t>(size)].points.end());
  if (HasSeamShape(size)) {
    const CShapeRecord6& seam = m_SeamShapes[static_cast<size_t>(size)];
    points.insert(points.end(), seam.points.begin(), seam.points.end());
  }
  for (CPoint& point : points) RotatePointInPlace(&point, cx, cy, sinA, cosA);
  GetPointListRect(&bounds, points);
  return bounds;
}

BOOL CNotchElement::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  const CPatternData* data = GetPatternData();
  if (!data || !itemType || !vertices) return FALSE;
  const int32_t base = data->GetBaseSize();
  if (IsDirty(base)) Calculate(base);
  if (!HasOutlineShape(base)) return FALSE;
  const CShapeRecord6& shape = m_OutlineShapes[static_cast<size_t>(base)];
  const CPoint anchor = shape.points[CShapeRecord6::kAnchor];
  const CPoint tip = shape.points[CShapeRecord6::kTip];
  const uint32_t flag1 = static_cast<uint32_t>(m_Flags[0]);
  const uint32_t flag2 = static_cast<uint32_t>(m_Flags[1]);
  const uint32_t flag3 = static_cast<uint32_t>(m_Flags[2]);
  const uint32_t codes = ((flag1 & 0xF) << 8) | ((flag2 & 0xF) << 12) | (m_Flags[3] != 0 ? 0x10000u : 0u) |
                         (m_Flags[4] != 0 ? 0x20000u : 0u) | ((flag3 & 0x3E) << 18);
  vertices->clear();
  vertices->push_back(CVertex{anchor.x, anchor.y, codes});
  vertices->push_back(CVertex{tip.x, tip.y, ((static_cast<uint32_t>(m_ShapeKind) & 7) << 8) | 1});
  vertices->push_back(CVertex{m_Width, RoundToNearest(m_Angle * 10.0), kNotchWidthFlag});
  vertices->push_back(CVertex{anchor.x, anchor.y, kNotchEndFlag});
  *itemType = kItemTypeNotch;
  return TRUE;
}

// ---- Drawing ----------------------------------------------------------------------

void CNotchElement::Draw(CDC* dc, double scale, int32_t originX, int32_t originY,
                         const CShapeRecord6& record) const {
  DrawShape(dc, scale, originX, originY, record, m_ShapeKind);
}

void CNotchElement::DrawTurned(CDC* dc, double scale, int32_t originX, int32_t originY,
                               const CShapeRecord6& record, int32_t kind) const {
  const CPatternRecord* piece = GetOwner();
  const CPatternData* data = GetPatternData();
  if (!piece || !data) return;
  const CRect box = piece->GetBoundRect(data->GetBaseSize());
  const int32_t cx = SaturateToInt32((static_cast<int64_t>(box.left) + box.right) / 2);
  const int32_t cy = SaturateToInt32((static_cast<int64_t>(box.top) + box.bottom) / 2);
  const double angle = -piece->GetDouble2();
  CShapeRecord6 turned = record;
  for (CPoint& point : turned.points) RotatePointInPlace(&point, cx, cy, std::sin(angle), std::cos(angle));
  DrawShape(dc, scale, originX, originY, turned, kind);
}

void CNotchElement::DrawShape(CDC* dc, double scale, int32_t originX, int32_t originY,
                              const CShapeRecord6& record, int32_t kind) const {
  if (!dc || !(scale > 0) || !std::isfinite(scale)) return;
  const CPoint anchorModel = record.points[CShapeRecord6::kAnchor];
  const CPoint tipModel = record.points[CShapeRecord6::kTip];
  const CPoint anchor = Device(anchorModel, scale, originX, originY);
  const CPoint tip = Device(tipModel, scale, originX, originY);
  const CPoint anchorRight = Device(record.points[CShapeRecord6::kAnchorEndRight], scale, originX, originY);
  const CPoint anchorLeft = Device(record.points[CShapeRecord6::kAnchorEndLeft], scale, originX, originY);
  const CPoint tipLeft = Device(record.points[CShapeRecord6::kTipEndLeft], scale, originX, originY);
  const CPoint tipRight = Device(record.points[CShapeRecord6::kTipEndRight], scale, originX, originY);

  const double ddx = static_cast<double>(tip.x) - anchor.x;
  const double ddy = static_cast<double>(tip.y) - anchor.y;
  if (ddx * ddx + ddy * ddy <= static_cast<double>(kShortStroke * kShortStroke)) {
    const double dx = static_cast<double>(tipModel.x) - anchorModel.x;
    const double dy = static_cast<double>(tipModel.y) - anchorModel.y;
    const double len = std::hypot(dx, dy);
    if (!(len > 0)) return;  // anchor and tip coincide: no direction to stroke in
    dc->MoveTo(anchor);
    dc->LineTo(Shifted(anchor, RoundToNearest(dx * kShortStroke / len), RoundToNearest(dy * kShortStroke / len)));
    return;
  }

  const auto line = [&] {
    dc->MoveTo(anchor);
    dc->LineTo(tip);
    dc->LineTo(Below(tip));
  };
  const auto vee = [&] {
    dc->MoveTo(anchorLeft);
    dc->LineTo(tip);
    dc->LineTo(anchorRight);
    dc->LineTo(Below(anchorRight));
  };
  switch (kind) {
    case 1:
      dc->MoveTo(anchor);
      dc->LineTo(tip);
      dc->MoveTo(tipLeft);
      dc->LineTo(tip);
      dc->LineTo(tipRight);
      dc->LineTo(Below(tipRight));
      return;
    case 2:
      return vee();
    case 3: {
      const CPoint aer = record.points[CShapeRecord6::kAnchorEndRight];
      const CPoint ael = record.points[CShapeRecord6::kAnchorEndLeft];
      const CPoint tel = record.points[CShapeRecord6::kTipEndLeft];
      const CPoint ter = record.points[CShapeRecord6::kTipEndRight];
      const double halfWidth =
          std::hypot(static_cast<double>(ael.x) - aer.x, static_cast<double>(ael.y) - aer.y) / 2;
      const double length =
          std::hypot(static_cast<double>(tipModel.x) - anchorModel.x, static_cast<double>(tipModel.y) - anchorModel.y);
      const int32_t hw = RoundToNearest(halfWidth / scale);
      const int32_t dl = RoundToNearest(length / scale);
      if (hw < 2) return line();
      if (dl < hw) {
        // Shorter than wide: an arc through both anchor-end corners and the
        // tip.
        int cx = 0, cy = 0, r = 0;
        if (!CircleThrough3Points(ael.x, ael.y, tipModel.x, tipModel.y, aer.x, aer.y, &cx, &cy, &r)) return vee();
        const int64_t radius = r < 0 ? -static_cast<int64_t>(r) : r;
        const CPoint topLeft = ModelToDevicePoint(SaturateToInt32(cx - radius), SaturateToInt32(cy - radius), scale,
                                                  originX, originY);
        const CPoint bottomRight = ModelToDevicePoint(SaturateToInt32(cx + radius), SaturateToInt32(cy + radius),
                                                      scale, originX, originY);
        dc->Arc(topLeft.x, topLeft.y, SaturateToInt32(static_cast<int64_t>(bottomRight.x) + 1),
                SaturateToInt32(static_cast<int64_t>(bottomRight.y) + 1), anchorLeft.x, anchorLeft.y, anchorRight.x,
                anchorRight.y);
        return;
      }
      // Two long sides shortened at the tip end, joined by a half circle.
      const double vx = (static_cast<double>(ael.x) - tel.x) / length * halfWidth;
      const double vy = (static_cast<double>(ael.y) - tel.y) / length * halfWidth;
      const int32_t mx = RoundToNearest(vx / scale);
      const int32_t my = RoundToNearest(vy / scale);
      const CPoint movedRight = Shifted(tipRight, mx, my);
      const CPoint movedLeft = Shifted(tipLeft, mx, my);
      const CPoint centreModel(RoundToNearest((static_cast<double>(tel.x) + ter.x) / 2 + vx),
                               RoundToNearest((static_cast<double>(tel.y) + ter.y) / 2 + vy));
      const CPoint centre = Device(centreModel, scale, originX, originY);
      dc->MoveTo(anchorRight);
      dc->LineTo(movedRight);
      dc->Arc(Shifted(centre, -hw, 0).x, Shifted(centre, 0, -hw).y, Shifted(centre, hw + 1, 0).x,
              Shifted(centre, 0, hw + 1).y, movedRight.x, movedRight.y, movedLeft.x, movedLeft.y);
      dc->MoveTo(movedLeft);
      dc->LineTo(anchorLeft);
      dc->LineTo(Below(anchorLeft));
      return;
    }
    case 4:
      dc->MoveTo(anchor);
      dc->LineTo(tip);
      return;
    case 5:
      dc->MoveTo(anchorLeft);
      dc->LineTo(tipLeft);
      dc->LineTo(tipRight);
      dc->LineTo(anchorRight);
      return;
    default:
      return;
  }
}

void RegisterNotchElements() {
  GetElementFactory().Register(ElementCode{kElementTypeNotch, 0},
                               [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
                                 return std::make_unique<CNotchElement>(owner);
                               });
}
