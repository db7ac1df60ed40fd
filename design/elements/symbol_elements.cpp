#include "design/elements/symbol_elements.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"
#include "design/geometry/primitives.h"
#include "design/geometry/segments.h"
#include "design/points/graded_point.h"
#include "platform/numbers.h"

namespace {

// The value of pi the stored designs were laid out with.
constexpr double kPi = 3.14159265359;

// ---- Laying out ----------------------------------------------------------------
// Parameters come from files: sums are taken in 64 bits and stop at the int32
// range's ends, and a trigonometric value without a real result is never
// rounded into a coordinate.

// q + (dx, dy).
CPoint Offset(CPoint q, int64_t dx, int64_t dy) {
  return CPoint(SaturateToInt32(q.x + dx), SaturateToInt32(q.y + dy));
}

// The angle whose cosine (or sine) is `ratio`, when it has one.
bool ArcCosine(double ratio, double* angle) {
  if (!(std::fabs(ratio) <= 1.0)) return false;
  *angle = std::acos(ratio);
  return true;
}
bool ArcSine(double ratio, double* angle) {
  if (!(std::fabs(ratio) <= 1.0)) return false;
  *angle = std::asin(ratio);
  return true;
}

// The two points where the lines from a point on the axis touch the circle
// of radius r about q, at the angle alpha from the axis: q + (round(r cos
// alpha), +-round(r sin alpha)), the + one first. Without an angle both
// fall on the circle's near side, q + (r, 0).
void TangentPoints(CPoint q, int64_t r, const double* alpha, CPoint* plus, CPoint* minus) {
  if (!alpha) {
    *plus = *minus = Offset(q, r, 0);
    return;
  }
  const double rd = static_cast<double>(r);
  const int64_t dx = RoundToNearest(rd * std::cos(*alpha));
  const int64_t dy = RoundToNearest(rd * std::sin(*alpha));
  *plus = Offset(q, dx, dy);
  *minus = Offset(q, dx, -dy);
}

// The points where a bar of half width s / 2 along the axis meets the circle
// of radius r about `centre`, on the side `sign` (+1 towards +x, -1 towards
// -x): (round(c.x + sign r cos beta), round(c.y -+ r sin beta)), the one
// above the axis (minus y) first. Without an angle both fall on the axis at
// c + (sign r, 0).
void EdgePoints(CPoint centre, int64_t r, int sign, const double* beta, CPoint* upper, CPoint* lower) {
  if (!beta) {
    *upper = *lower = Offset(centre, sign * r, 0);
    return;
  }
  const double rd = static_cast<double>(r);
  const int32_t x = RoundToNearest(centre.x + sign * rd * std::cos(*beta));
  *upper = CPoint(x, RoundToNearest(centre.y - rd * std::sin(*beta)));
  *lower = CPoint(x, RoundToNearest(centre.y + rd * std::sin(*beta)));
}

// The angle of the edge points of a bar s wide on a circle of radius r, when
// there is one: asin((s / 2) / r).
bool EdgeAngle(int64_t s, int64_t r, double* beta) {
  if (r == 0) return false;
  return ArcSine(static_cast<double>(s) / 2.0 / static_cast<double>(r), beta);
}

// The tangent angle from a point at `distance` along the axis to a circle of
// radius r, when there is one: acos(r / distance).
bool TangentAngle(int64_t r, int64_t distance, double* alpha) {
  if (distance == 0) return false;
  return ArcCosine(static_cast<double>(r) / static_cast<double>(distance), alpha);
}

// A bar of `length` from `offset` behind q with a cross bar of `width` at
// each end: S, E, S - (0, w/2), S + (0, w/2), E - (0, w/2), E + (0, w/2),
// the half truncated (an odd width leaves the cross bars one unit short).
void LayOutBars(CPoint q, int64_t length, int64_t width, int64_t offset, CSymbolShape& shape) {
  const int64_t half = width / 2;
  shape = {Offset(q, -offset, 0),        Offset(q, length - offset, 0),  Offset(q, -offset, -half),
           Offset(q, -offset, half),     Offset(q, length - offset, -half), Offset(q, length - offset, half)};
}

// ---- Hit tests and boxes -----------------------------------------------------------

// A circle of a kind: its centre and rim points in the shape and, for the
// hit test, its radius as a parameter index (or, with kRadiusFromRim, the
// distance to the rim point).
constexpr int kRadiusFromRim = -1;
struct ShapeCircle {
  size_t centre;
  size_t rim;
  int radiusParam;
};
using ShapeSegment = std::pair<size_t, size_t>;

// How a kind is hit and boxed, by indices into its shape.
struct ShapeGeometry {
  std::vector<ShapeCircle> circles;
  std::vector<size_t> outline;         // a closed outline whose inside hits
  std::vector<ShapeSegment> segments;  // in test order
  bool segmentsByFoot;                 // NearestPointOnSegment, else PointSegmentDistance
  std::vector<size_t> boxPoints;
};

const ShapeGeometry& GeometryOf(uint32_t subCode) {
  // Sub-code 1: S, E, the bar at S, the bar at E.
  static const ShapeGeometry k1{{}, {}, {{0, 1}, {2, 3}, {4, 5}}, false, {0, 1, 2, 3, 4, 5}};
  // Sub-code 2: Q, T1, T2, P, F: an eye with tangents to P and a slit from F.
  static const ShapeGeometry k2{{{0, 2, 1}}, {1, 2, 3}, {{1, 3}, {2, 3}, {4, 3}}, true, {1, 2, 3, 4}};
  // Sub-code 4: Q, T1, T2, C, A1, A2, B1, B2, R.
  static const ShapeGeometry k4{
      {{0, 2, 1}}, {1, 2, 5, 7, 6, 4}, {{1, 4}, {4, 6}, {6, 7}, {7, 5}, {5, 2}}, true, {1, 2, 3, 4, 5, 6, 7}};
  // Sub-code 8: Q, T1, T2, C, R, D1, D2.
  static const ShapeGeometry k8{{{0, 2, 1}}, {1, 2, 3}, {{1, 3}, {2, 3}, {5, 6}}, true, {1, 2, 3, 5, 6}};
  // Sub-code 16: Q, R, T2, T1, F1, C, F2, E1, E2.
  static const ShapeGeometry k16{
      {{0, 2, 1}}, {2, 3, 4, 6}, {{3, 4}, {2, 6}, {7, 8}}, true, {2, 3, 4, 5, 6, 7, 8}};
  // Sub-code 32: Q, C2, R, T2, T1, G, U2, U1.
  static const ShapeGeometry k32{{{0, 3, 1}, {1, 6, 1}}, {3, 4, 7, 6}, {{4, 7}, {3, 6}}, true, {3, 4, 6, 7}};
  // Sub-code 64: S, E.
  static const ShapeGeometry k64{{}, {}, {{0, 1}}, true, {0, 1}};
  // Sub-code 128: S, E and the box's corners S-, S+, E-, E+.
  static const ShapeGeometry k128{{}, {2, 4, 5, 3}, {{2, 4}, {4, 5}, {5, 3}, {3, 2}}, false, {0, 1, 2, 3, 4, 5}};
  // Sub-code 256: Q and the rim points of two circles about it.
  static const ShapeGeometry k256{
      {{0, 1, kRadiusFromRim}, {0, 2, kRadiusFromRim}}, {}, {}, true, {0}};
  switch (subCode) {
    case kSymbolSubCode1: return k1;
    case kSymbolSubCode2: return k2;
    case kSymbolSubCode4: return k4;
    case kSymbolSubCode8: return k8;
    case kSymbolSubCode16: return k16;
    case kSymbolSubCode32: return k32;
    case kSymbolSubCode64: return k64;
    case kSymbolSubCode128: return k128;
    default: return k256;
  }
}

// The exact distance between two points.
double Distance(CPoint a, CPoint b) {
  double exact = 0.0;
  PointDistanceEx(a.x, a.y, b.x, b.y, &exact);
  return exact;
}

// Widens the box (min and max inclusive) by the square of half side rho
// about c.
void ExtendBySquare(CPoint c, int32_t rho, CRect* box) {
  const int32_t x0 = SaturateToInt32(static_cast<int64_t>(c.x) - rho);
  const int32_t y0 = SaturateToInt32(static_cast<int64_t>(c.y) - rho);
  const int32_t x1 = SaturateToInt32(static_cast<int64_t>(c.x) + rho);
  const int32_t y1 = SaturateToInt32(static_cast<int64_t>(c.y) + rho);
  ExtendBounds(x0, y0, &box->left, &box->top, &box->right, &box->bottom);
  ExtendBounds(x1, y1, &box->left, &box->top, &box->right, &box->bottom);
}

int32_t SizeCountOf(const CPatternRecord* owner) {

  const CPatternData* data = owner ? owner->GetPatternData() : nullptr;
  return data ? data->GetSizeCount() : 0;
}

// Each kind: its parameter count and the points of its shape.
struct SymbolLayout {
  size_t params;
  size_t points;
};
constexpr SymbolLayout kLayout1{3, 6};
constexpr SymbolLayout kLayout2{3, 5};
constexpr SymbolLayout kLayout4{5, 9};
constexpr SymbolLayout kLayout8{5, 7};
constexpr SymbolLayout kLayout16{5, 9};
constexpr SymbolLayout kLayout32{4, 8};
constexpr SymbolLayout kLayout64{2, 2};
constexpr SymbolLayout kLayout128{3, 6};
constexpr SymbolLayout kLayout256{2, 3};

template <class Symbol>
void RegisterSymbol(ElementFactory& factory, uint32_t subCode) {
  factory.Register(
      ElementCode{kElementTypeSymbol, static_cast<int32_t>(subCode)},
      [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> { return std::make_unique<Symbol>(owner); });
}

}  // namespace

// ---- Common base ---------------------------------------------------------------

CSymbolElem::CSymbolElem(CPatternRecord* owner, uint32_t subCode, size_t paramCount, size_t shapePoints)
    : CDesignElement(owner, kElementTypeSymbol),
      m_SubCode(subCode),
      m_ShapePoints(shapePoints),
      m_Params(paramCount, 0),
      m_Shapes(static_cast<size_t>(SizeCountOf(owner)), CSymbolShape(shapePoints)),
      m_Placed(m_Shapes.size(), 0) {}

void CSymbolElem::SetAngle(double angle) {
  m_Angle = angle;
  Invalidate(-1);
}

void CSymbolElem::SetAll(CGradedPoint* anchor, std::vector<int32_t> params, double angle) {
  params.resize(m_Params.size(), 0);
  m_Anchor = anchor;
  m_Params = std::move(params);
  m_Angle = angle;
  const size_t sizes = static_cast<size_t>(SizeCountOf(GetOwner()));
  m_Shapes.assign(sizes, CSymbolShape(m_ShapePoints));
  m_Placed.assign(sizes, 0);
  Invalidate(-1);
}

BOOL CSymbolElem::GetShape(int32_t size, CSymbolShape* shape) {
  if (IsDirty(size)) Calculate(size);
  return GetStoredShape(size, shape);
}

BOOL CSymbolElem::GetPlacedShape(int32_t size, CSymbolShape* shape) {
  if (!GetShape(size, shape)) return FALSE;
  return m_Placed[static_cast<size_t>(size)] ? TRUE : FALSE;
}

BOOL CSymbolElem::Calculate(int32_t size) {
  if (size < 0 || size >= GetShapeCount()) {
    CDesignElement::Calculate(size);
    return FALSE;
  }
  const size_t at = static_cast<size_t>(size);
  CPoint q;
  if (!m_Anchor || !m_Anchor->GetPoint(size, &q)) {
    m_Shapes[at].assign(m_ShapePoints, CPoint());
    m_Placed[at] = 0;
    CDesignElement::Calculate(size);
    return FALSE;
  }
  CSymbolShape shape(m_ShapePoints);
  LayOut(q, shape);
  // As drawn, with y growing downwards, a symbol turns counter-clockwise as
  // its angle grows; the rotation turns the other way there, hence the minus.
  const double turn = -m_Angle / 180.0 * kPi;
  const double sinA = std::sin(turn);
  const double cosA = std::cos(turn);
  for (CPoint& point : shape) RotatePointInPlace(&point, q.x, q.y, sinA, cosA);
  m_Shapes[at] = std::move(shape);
  m_Placed[at] = 1;
  CDesignElement::Calculate(size);
  return TRUE;
}

BOOL CSymbolElem::HitTest(int32_t x, int32_t y, double tolerance, CPoint* point, double* distance) {
  const CPatternData* data = GetPatternData();
  if (!m_Anchor || !data) return FALSE;
  return m_Anchor->HitTest(x, y, tolerance, data->GetBaseSize(), point, distance);
}

BOOL CSymbolElem::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  const CPatternData* data = GetPatternData();
  CSymbolShape shape;
  if (!data || !GetPlacedShape(data->GetBaseSize(), &shape)) return FALSE;
  const ShapeGeometry& geometry = GeometryOf(m_SubCode);
  const CPoint position(x, y);
  auto hit = [distance](double d) {
    if (distance) *distance = d;
    return TRUE;
  };

  for (const ShapeCircle& circle : geometry.circles) {
    const CPoint centre = shape[circle.centre];
    const double radius = circle.radiusParam == kRadiusFromRim ? Distance(centre, shape[circle.rim])
                                                               : m_Params[static_cast<size_t>(circle.radiusParam)];
    const double d = std::max(0.0, Distance(position, centre) - radius);
    if (d < tolerance) return hit(d);
  }
  if (!geometry.outline.empty()) {
    PointList outline;
    for (size_t index : geometry.outline) outline.push_back(shape[index]);
    if (IsPointInPointList(x, y, outline)) return hit(0.0);
  }
  for (const ShapeSegment& segment : geometry.segments) {
    const CPoint a = shape[segment.first];
    const CPoint b = shape[segment.second];
    if (geometry.segmentsByFoot) {
      CPoint foot;
      double d = 0.0;
      if (NearestPointOnSegment(a.x, a.y, b.x, b.y, tolerance, x, y, &foot, &d)) return hit(d);
    } else {
      const double d = PointSegmentDistance(position, a.x, a.y, b.x, b.y);
      if (d <= tolerance) return hit(d);
    }
  }
  return FALSE;
}

CRect CSymbolElem::ShapeRect(int32_t size, bool turn, int32_t cx, int32_t cy, double sinA, double cosA) const {
  CSymbolShape shape;
  // The shapes are computed on demand; the box changes nothing the caller
  // can see but that cache.
  if (!const_cast<CSymbolElem*>(this)->GetPlacedShape(size, &shape)) return CRect();
  const ShapeGeometry& geometry = GeometryOf(m_SubCode);
  CSymbolShape moved = shape;
  if (turn) {
    for (CPoint& point : moved) RotatePointInPlace(&point, cx, cy, sinA, cosA);
  }
  const CPoint first = moved[geometry.boxPoints.front()];
  CRect box(first.x, first.y, first.x, first.y);
  for (size_t index : geometry.boxPoints) {
    ExtendBounds(moved[index].x, moved[index].y, &box.left, &box.top, &box.right, &box.bottom);
  }
  for (const ShapeCircle& circle : geometry.circles) {
    const int32_t rho = RoundToNearest(Distance(shape[circle.centre], shape[circle.rim]));
    ExtendBySquare(moved[circle.centre], rho, &box);
  }
  box.right = SaturateToInt32(static_cast<int64_t>(box.right) + 1);
  box.bottom = SaturateToInt32(static_cast<int64_t>(box.bottom) + 1);
  return box;
}

CRect CSymbolElem::GetBoundRect(int32_t size) const { return ShapeRect(size, false, 0, 0, 0.0, 1.0); }

CRect CSymbolElem::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  return ShapeRect(size, true, cx, cy, sinA, cosA);
}

BOOL CSymbolElem::GetStoredShape(int32_t size, CSymbolShape* shape) const {
  if (size < 0 || size >= GetShapeCount()) return FALSE;
  if (shape) *shape = m_Shapes[static_cast<size_t>(size)];
  return TRUE;
}

BOOL CSymbolElem::RefersTo(const CGradedObject* object) const { return object && object == m_Anchor ? TRUE : FALSE; }

void CSymbolElem::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  if (m_Anchor) used.push_back(m_Anchor);
}

void CSymbolElem::InsertSize(int32_t index) {
  if (index < 0 || index > GetShapeCount()) return;
  m_Shapes.insert(m_Shapes.begin() + index, CSymbolShape(m_ShapePoints));
  m_Placed.insert(m_Placed.begin() + index, 0);
  CDesignElement::InsertSize(index);
}

void CSymbolElem::RemoveSize(int32_t index) {
  if (index >= 0 && index < GetShapeCount()) {
    m_Shapes.erase(m_Shapes.begin() + index);
    m_Placed.erase(m_Placed.begin() + index);
  }
  CDesignElement::RemoveSize(index);
}

BOOL CSymbolElem::Load(ArchiveReader& archive) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  int32_t anchor = -1;
  std::vector<int32_t> params(m_Params.size(), 0);
  double angle = 0.0;
  if (!archive.ReadI32(anchor)) return FALSE;
  for (int32_t& param : params) {
    if (!archive.ReadI32(param)) return FALSE;
  }
  if (!archive.ReadDouble(angle)) return FALSE;
  m_Anchor = ResolveObject<CGradedPoint>(*data, anchor);
  m_Params = std::move(params);
  m_Angle = angle;
  return TRUE;
}

// ---- The kinds -----------------------------------------------------------------

CSymbolElem1::CSymbolElem1(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode1, kLayout1.params, kLayout1.points) {}

CSymbolParams1 CSymbolElem1::GetParams() const { return {GetAnchor(), Param(0), Param(1), Param(2), GetAngle()}; }

void CSymbolElem1::SetParams(const CSymbolParams1& p) { SetAll(p.anchor, {p.length, p.width, p.offset}, p.angle); }

void CSymbolElem1::LayOut(CPoint q, CSymbolShape& shape) const { LayOutBars(q, Param(0), Param(1), Param(2), shape); }

CSymbolElem2::CSymbolElem2(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode2, kLayout2.params, kLayout2.points) {}

CSymbolParams2 CSymbolElem2::GetParams() const { return {GetAnchor(), Param(0), Param(1), Param(2), GetAngle()}; }

void CSymbolElem2::SetParams(const CSymbolParams2& p) { SetAll(p.anchor, {p.a, p.radius, p.c}, p.angle); }

void CSymbolElem2::LayOut(CPoint q, CSymbolShape& shape) const {
  const int64_t a = Param(0);
  const int64_t r = Param(1);
  const int64_t tip = static_cast<int64_t>(Param(2)) - r;
  double alpha = 0.0;
  const bool touches = TangentAngle(r, tip, &alpha);
  CPoint t1, t2;
  TangentPoints(q, r, touches ? &alpha : nullptr, &t1, &t2);
  shape = {q, t1, t2, Offset(q, tip, 0), Offset(q, a, 0)};
}

CSymbolElem4::CSymbolElem4(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode4, kLayout4.params, kLayout4.points) {}

CSymbolParams4 CSymbolElem4::GetParams() const {
  return {GetAnchor(), Param(0), Param(1), Param(2), Param(3), Param(4), GetAngle()};
}

void CSymbolElem4::SetParams(const CSymbolParams4& p) {
  SetAll(p.anchor, {p.offset, p.radius, p.length, p.boxLength, p.boxWidth}, p.angle);
}

void CSymbolElem4::LayOut(CPoint q, CSymbolShape& shape) const {
  const int64_t o = Param(0);
  const int64_t r = Param(1);
  const int64_t m = Param(3);
  const double halfWidth = Param(4) / 2.0;
  // The box is as wide as its half width rounded, while the tangents aim
  // at the corner of the exact half width.
  const int64_t h = RoundToNearest(halfWidth);
  const int64_t d = static_cast<int64_t>(Param(2)) - r - m;
  const double dd = static_cast<double>(d);
  const double reach = std::sqrt(dd * dd + halfWidth * halfWidth);
  double toCorner = 0.0, toTangent = 0.0;
  const bool touches = !IsZeroDivisor(reach) && ArcCosine(std::clamp(dd / reach, -1.0, 1.0), &toCorner) &&
                       ArcCosine(static_cast<double>(r) / reach, &toTangent);
  const double alpha = toCorner + toTangent;
  CPoint t1, t2;
  TangentPoints(q, r, touches ? &alpha : nullptr, &t1, &t2);
  shape = {q,
           t1,
           t2,
           Offset(q, d, 0),
           Offset(q, d, h),
           Offset(q, d, -h),
           Offset(q, d + m, h),
           Offset(q, d + m, -h),
           Offset(q, o, 0)};
}

CSymbolElem8::CSymbolElem8(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode8, kLayout8.params, kLayout8.points) {}

CSymbolParams8 CSymbolElem8::GetParams() const {
  return {GetAnchor(), Param(0), Param(1), Param(2), Param(3), Param(4), GetAngle()};
}

void CSymbolElem8::SetParams(const CSymbolParams8& p) {
  SetAll(p.anchor, {p.offset, p.radius, p.length, p.barWidth, p.barDistance}, p.angle);
}

void CSymbolElem8::LayOut(CPoint q, CSymbolShape& shape) const {
  const int64_t o = Param(0);
  const int64_t r = Param(1);
  const int64_t tip = static_cast<int64_t>(Param(2)) - r;
  const int64_t halfBar = Param(3) / 2;
  const int64_t bar = tip - Param(4);
  double alpha = 0.0;
  const bool touches = TangentAngle(r, tip, &alpha);
  CPoint t1, t2;
  TangentPoints(q, r, touches ? &alpha : nullptr, &t1, &t2);
  shape = {q, t1, t2, Offset(q, tip, 0), Offset(q, o, 0), Offset(q, bar, -halfBar), Offset(q, bar, halfBar)};
}

CSymbolElem16::CSymbolElem16(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode16, kLayout16.params, kLayout16.points) {}

CSymbolParams16 CSymbolElem16::GetParams() const {
  return {GetAnchor(), Param(0), Param(1), Param(2), Param(3), Param(4), GetAngle()};
}

void CSymbolElem16::SetParams(const CSymbolParams16& p) {
  SetAll(p.anchor, {p.offset, p.radius, p.length, p.stemWidth, p.barWidth}, p.angle);
}

void CSymbolElem16::LayOut(CPoint q, CSymbolShape& shape) const {
  const int64_t o = Param(0);
  const int64_t r = Param(1);
  const int64_t s = Param(3);
  const int64_t halfBar = Param(4) / 2;
  const CPoint c = Offset(q, static_cast<int64_t>(Param(2)) - r, 0);
  const CPoint e1 = Offset(c, 0, -halfBar);
  const CPoint e2 = Offset(c, 0, halfBar);
  CPoint t1, t2, f1 = e1, f2 = e2;
  if (s < 2 * r) {
    // The stem meets the circle where its edges cross it.
    f1 = Offset(c, 0, -(s / 2));
    f2 = Offset(c, 0, s / 2);
    double beta = 0.0;
    EdgePoints(q, r, 1, EdgeAngle(s, r, &beta) ? &beta : nullptr, &t1, &t2);
  } else {
    // A stem as wide as the circle runs from its top and bottom.
    t1 = Offset(q, 0, -r);
    t2 = Offset(q, 0, r);
  }
  shape = {q, Offset(q, o, 0), t2, t1, f1, c, f2, e1, e2};
}

CSymbolElem32::CSymbolElem32(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode32, kLayout32.params, kLayout32.points) {}

CSymbolParams32 CSymbolElem32::GetParams() const {
  return {GetAnchor(), Param(0), Param(1), Param(2), Param(3), GetAngle()};
}

void CSymbolElem32::SetParams(const CSymbolParams32& p) {
  SetAll(p.anchor, {p.offset, p.radius, p.length, p.barWidth}, p.angle);
}

void CSymbolElem32::LayOut(CPoint q, CSymbolShape& shape) const {
  const int64_t o = Param(0);
  const int64_t r = Param(1);
  const int64_t s = Param(3);
  const int64_t second = static_cast<int64_t>(Param(2)) - 2 * r;
  const CPoint c2 = Offset(q, second, 0);
  CPoint t1, t2, u1, u2;
  if (s < 2 * r) {
    double beta = 0.0;
    const double* angle = EdgeAngle(s, r, &beta) ? &beta : nullptr;
    EdgePoints(q, r, 1, angle, &t1, &t2);
    EdgePoints(c2, r, -1, angle, &u1, &u2);
  } else {
    t1 = Offset(q, 0, -r);
    t2 = Offset(q, 0, r);
    u1 = Offset(c2, 0, -r);
    u2 = Offset(c2, 0, r);
  }
  shape = {q, c2, Offset(q, o, 0), t2, t1, Offset(q, second - o, 0), u2, u1};
}

CSymbolElem64::CSymbolElem64(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode64, kLayout64.params, kLayout64.points) {}

CSymbolParams64 CSymbolElem64::GetParams() const { return {GetAnchor(), Param(0), Param(1), GetAngle()}; }

void CSymbolElem64::SetParams(const CSymbolParams64& p) { SetAll(p.anchor, {p.length, p.offset}, p.angle); }

void CSymbolElem64::LayOut(CPoint q, CSymbolShape& shape) const {
  const int64_t start = -static_cast<int64_t>(Param(1));
  shape = {Offset(q, start, 0), Offset(q, start + Param(0), 0)};
}

CSymbolElem128::CSymbolElem128(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode128, kLayout128.params, kLayout128.points) {}

CSymbolParams128 CSymbolElem128::GetParams() const { return {GetAnchor(), Param(0), Param(1), Param(2), GetAngle()}; }

void CSymbolElem128::SetParams(const CSymbolParams128& p) {
  SetAll(p.anchor, {p.length, p.width, p.offset}, p.angle);
}

void CSymbolElem128::LayOut(CPoint q, CSymbolShape& shape) const {
  LayOutBars(q, Param(0), Param(1), Param(2), shape);
}

CSymbolElem256::CSymbolElem256(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode256, kLayout256.params, kLayout256.points) {}

CSymbolParams256 CSymbolElem256::GetParams() const { return {GetAnchor(), Param(0), Param(1), GetAngle()}; }

void CSymbolElem256::SetParams(const CSymbolParams256& p) { SetAll(p.anchor, {p.a, p.b}, p.angle); }

void CSymbolElem256::LayOut(CPoint q, CSymbolShape& shape) const {
  shape = {q, Offset(q, Param(0), 0), Offset(q, Param(1), 0)};
}

// ---- Registration --------------------------------------------------------------

void RegisterSymbolElements() {
  ElementFactory& factory = GetElementFactory();
  RegisterSymbol<CSymbolElem1>(factory, kSymbolSubCode1);
  RegisterSymbol<CSymbolElem2>(factory, kSymbolSubCode2);
  RegisterSymbol<CSymbolElem4>(factory, kSymbolSubCode4);
  RegisterSymbol<CSymbolElem8>(factory, kSymbolSubCode8);
  RegisterSymbol<CSymbolElem16>(factory, kSymbolSubCode16);
  RegisterSymbol<CSymbolElem32>(factory, kSymbolSubCode32);
  RegisterSymbol<CSymbolElem64>(factory, kSymbolSubCode64);
  RegisterSymbol<CSymbolElem128>(factory, kSymbolSubCode128);
  RegisterSymbol<CSymbolElem256>(factory, kSymbolSubCode256);
}
