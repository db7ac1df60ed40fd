// The container's searches by position and its point dragging: finding the
// object, label, text or measure under the cursor, the extent of the shown
// construction, and moving a point by moving the point it is copied from.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <list>
#include <utility>
#include <unordered_set>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/core/text_element.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"
#include "design/points/free_point.h"
#include "design/points/graded_point.h"
#include "design/points/mirror_points.h"
#include "design/points/offset_point.h"
#include "design/points/rotated_points.h"
#include "platform/numbers.h"

namespace {

// Degrees to radians as the rotated point turns its source.
constexpr double kDegreesToRadians = 3.14159265359 / 180.0;

bool IsShown(const CGradedObject* object) { return object->GetState() != 0; }

CGradedPoint* AsPoint(CGradedObject* object) {
  return object && object->GetKind() == kObjectKindPoint ? dynamic_cast<CGradedPoint*>(object) : nullptr;
}

// Base-size positions of the references a copy is made from; false when any
// is missing or has no position, so that the walk stops rather than carry
// the target through a motion it cannot know.
bool BasePositions(int32_t base, std::initializer_list<std::pair<CGradedPoint*, CPoint*>> points) {
  for (const auto& [point, out] : points) {
    if (!point || !point->GetPoint(base, out)) return false;
  }
  return true;
}

// `target` turned about `centre` by `radians` (counter-clockwise).
CPoint TurnedAbout(CPoint target, CPoint centre, double radians) {
  RotatePointInPlace(&target, centre.x, centre.y, std::sin(radians), std::cos(radians));
  return target;
}

// One step down a chain of copies: when `point` copies a source, `target`
// (where the copy should stand) becomes where the source must stand for the
// copy to land there, and the source is handed back; null when `point` is no
// copy or its motion cannot be had at the base size.
CGradedPoint* CarryBack(CGradedPoint* point, int32_t base, CPoint& target) {
  if (auto* mirror = dynamic_cast<CLineMirrorPoint*>(point)) {
    CPoint l1, l2;
    if (!BasePositions(base, {{mirror->GetMirrorLinePoint1(), &l1}, {mirror->GetMirrorLinePoint2(), &l2}})) {
      return nullptr;
    }
    // A reflection is its own inverse; coincident line points leave the
    // target where it is.
    MirrorPointAcrossLine2PPt(target.x, target.y, l1.x, l1.y, l2.x, l2.y, &target);
    return mirror->GetSourcePoint();
  }
  if (auto* mirror = dynamic_cast<CPointMirrorPoint*>(point)) {
    CPoint c;
    if (!BasePositions(base, {{mirror->GetCentre(), &c}})) return nullptr;
    target = CPoint(SaturateToInt32(2 * static_cast<int64_t>(c.x) - target.x),
                    SaturateToInt32(2 * static_cast<int64_t>(c.y) - target.y));
    return mirror->GetSourcePoint();
  }
  if (auto* rotated = dynamic_cast<CRotatedPoint*>(point)) {
    CPoint c;
    if (!BasePositions(base, {{rotated->GetCentre(), &c}})) return nullptr;
    target = TurnedAbout(target, c, -rotated->GetAngle() * kDegreesToRadians);
    return rotated->GetSourcePoint();
  }
  if (auto* mirror = dynamic_cast<CAxisMirrorPoint*>(point)) {
    // The copy is the source reflected, then shifted: take the shift off and
    // reflect again.
    CPoint axis, from, to;
    if (!BasePositions(base, {{mirror->GetAxisPoint(), &axis}, {mirror->GetShiftStart(), &from},
                              {mirror->GetShiftEnd(), &to}})) {
      return nullptr;
    }
    target = CPoint(SaturateToInt32(static_cast<int64_t>(target.x) - (static_cast<int64_t>(to.x) - from.x)),
                    SaturateToInt32(static_cast<int64_t>(target.y) - (static_cast<int64_t>(to.y) - from.y)));
    const int32_t mode = mirror->GetMode();
    MirrorPointAxes(&target, axis.x, mode == kAxisMirrorVertical || mode == kAxisMirrorBoth, axis.y,
                    mode == kAxisMirrorHorizontal || mode == kAxisMirrorBoth);
    return mirror->GetSourcePoint();
  }
  if (auto* rotated = dynamic_cast<CDirectionRotatedPoint*>(point)) {
    CPoint c, from, to;
    if (!BasePositions(base, {{rotated->GetCentre(), &c}, {rotated->GetFromDirectionPoint(), &from},
                              {rotated->GetToDirectionPoint(), &to}})) {
      return nullptr;
    }
    const double turn = LineAngle(c.x, c.y, to.x, to.y) - LineAngle(c.x, c.y, from.x, from.y);
    target = TurnedAbout(target, c, -turn);
    return rotated->GetSourcePoint();
  }
  if (auto* transferred = dynamic_cast<CTransferredPoint*>(point)) {
    // The copy is the source's offset from the segment start, turned onto
    // the target direction and added to the target start: take the offset
    // from the target start, turn it back and add it to the segment start.
    CPoint start, end, targetStart, direction;
    if (!BasePositions(base, {{transferred->GetSegmentStart(), &start}, {transferred->GetSegmentEnd(), &end},
                              {transferred->GetTargetStart(), &targetStart},
                              {transferred->GetTargetDirectionPoint(), &direction}})) {
      return nullptr;
    }
    const double turn = LineAngle(targetStart.x, targetStart.y, direction.x, direction.y) -
                        LineAngle(start.x, start.y, end.x, end.y);
    const double dx = static_cast<double>(target.x) - targetStart.x;
    const double dy = static_cast<double>(target.y) - targetStart.y;
    const double sinA = std::sin(-turn);
    const double cosA = std::cos(-turn);
    target = CPoint(SaturateToInt32(start.x + static_cast<int64_t>(RoundToNearest(dx * cosA - dy * sinA))),
                    SaturateToInt32(start.y + static_cast<int64_t>(RoundToNearest(dx * sinA + dy * cosA))));
    return transferred->GetSourcePoint();
  }
  return nullptr;
}

// The formula moved by `delta`: into its offset when the offset is in use and
// passes unscaled (divisor and factor 1), else into its constant, so that the
// value at every size moves by `delta`.
void ShiftFormula(CFormula& formula, int64_t delta) {
  CPatternData* owner = nullptr;
  std::list<CFormulaTerm> terms;
  int32_t offset = 0;
  double divisor = 1.0;
  double factor = 1.0;
  int32_t constant = 0;
  formula.GetFields(&owner, terms, &offset, &divisor, &factor, &constant);
  if (offset != 0 && divisor == 1.0 && factor == 1.0) {
    offset = SaturateToInt32(offset + delta);
  } else {
    constant = SaturateToInt32(constant + delta);
  }
  formula.Set(owner, terms, offset, divisor, factor, constant);
}

// Best-distance bookkeeping shared by the nearest-object searches.
struct Nearest {
  double distance = DBL_MAX;
  bool Found(double tolerance) const { return distance < tolerance; }
};

template <typename T>
void Give(T* out, T value) {
  if (out) *out = value;
}

}  // namespace

CRect CPatternData::GetExtent(int32_t size) {
  CRect extent;
  for (const auto& object : m_Objects) {
    if (IsShown(object.get())) extent.UnionRect(CRect(extent), object->GetBoundRect(size));
    if (object->GetKind() == kObjectKindPoint && object->IsLabelVisible()) {
      extent.UnionRect(CRect(extent), object->GetLabelRect());
    }
  }
  return extent;
}

CGradedPoint* CPatternData::GetUltimateSource(CGradedPoint* point) const {
  std::unordered_set<const CGradedPoint*> met;
  while (point && met.insert(point).second) {
    CGradedPoint* source = nullptr;
    if (auto* p = dynamic_cast<CLineMirrorPoint*>(point)) {
      source = p->GetSourcePoint();
    } else if (auto* p = dynamic_cast<CPointMirrorPoint*>(point)) {
      source = p->GetSourcePoint();
    } else if (auto* p = dynamic_cast<CRotatedPoint*>(point)) {
      source = p->GetSourcePoint();
    } else if (auto* p = dynamic_cast<CAxisMirrorPoint*>(point)) {
      source = p->GetSourcePoint();
    } else if (auto* p = dynamic_cast<CTransferredPoint*>(point)) {
      source = p->GetSourcePoint();
    } else if (auto* p = dynamic_cast<CDirectionRotatedPoint*>(point)) {
      // A turn whose source is its own from-direction point ends the chain.
      if (p->GetSourcePoint() != p->GetFromDirectionPoint()) source = p->GetSourcePoint();
    }
    if (!source) break;
    point = source;
  }
  return point;
}

void CPatternData::MovePointTo(CGradedPoint* point, int32_t x, int32_t y) {
  if (!point) return;
  const int32_t base = GetBaseSize();
  CPoint target(x, y);
  CGradedPoint* source = point;
  std::unordered_set<const CGradedPoint*> met{point};
  while (true) {
    CPoint carried = target;
    CGradedPoint* next = CarryBack(source, base, carried);
    if (!next || !met.insert(next).second) break;
    target = carried;
    source = next;
  }

  // A source that stands where the dragged point does (within a unit) takes
  // the target unchanged, so that rounding in the chain cannot move it off.
  CPoint sourceAt, pointAt;
  source->GetPoint(base, &sourceAt);
  point->GetPoint(base, &pointAt);
  if (std::llabs(static_cast<int64_t>(sourceAt.x) - pointAt.x) <= 1 &&
      std::llabs(static_cast<int64_t>(sourceAt.y) - pointAt.y) <= 1) {
    target = CPoint(x, y);
  }

  if (auto* free = dynamic_cast<CFreePointBase*>(source)) {
    free->SetPoint(target.x, target.y);
  } else if (auto* linked = dynamic_cast<CLinkedPoint*>(source)) {
    linked->SetPoint(target.x, target.y);
  } else if (auto* offset = dynamic_cast<COffsetPoint*>(source)) {
    // y = reference y - dy: dy takes the vertical move with its sign turned.
    CFormula dx(this), dy(this);
    offset->GetOffsets(&dx, &dy);
    ShiftFormula(dx, static_cast<int64_t>(target.x) - sourceAt.x);
    ShiftFormula(dy, -(static_cast<int64_t>(target.y) - sourceAt.y));
    offset->SetOffsets(dx, dy);
  } else {
    return;
  }
  InvalidateDependents(source, TRUE);
}

BOOL CPatternData::FindTextAt(int32_t x, int32_t y, CTextElement** text) const {
  for (const auto& object : m_Objects) {
    if (object->GetKind() != kObjectKindText) continue;
    auto* candidate = dynamic_cast<CTextElement*>(object.get());
    if (!candidate) continue;
    if (candidate->ContainsPoint(x, y)) {
      Give(text, candidate);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternData::FindTextsInRect(const CRect& rect, std::vector<CTextElement*>& texts) const {
  texts.clear();
  for (const auto& object : m_Objects) {
    if (object->GetKind() != kObjectKindText) continue;
    auto* candidate = dynamic_cast<CTextElement*>(object.get());
    if (!candidate) continue;
    CRect common;
    if (common.IntersectRect(candidate->GetBoundRect(GetBaseSize()), rect)) texts.push_back(candidate);
  }
  return texts.empty() ? FALSE : TRUE;
}

BOOL CPatternData::FindMeasureAt(int32_t x, int32_t y, CPieceMeasure** measure) const {
  for (const auto& candidate : m_Measures) {
    if (candidate->HitTestLabel(x, y)) {
      Give(measure, candidate.get());
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternData::FindMeasureLineAt(int32_t x, int32_t y, double tolerance, CPieceMeasure** measure,
                                     double* distance) const {
  for (const auto& candidate : m_Measures) {
    double d = 0.0;
    if (candidate->HitTestLine(x, y, tolerance, &d)) {
      Give(measure, candidate.get());
      Give(distance, d);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternData::HitLabelAt(int32_t x, int32_t y, CGradedPoint** point, CDimLabel** label) const {
  for (const auto& object : m_Objects) {
    CGradedPoint* candidate = AsPoint(object.get());
    CDimLabel* hit = nullptr;
    if (candidate && candidate->HitLabel(x, y, &hit)) {
      Give(point, candidate);
      Give(label, hit);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternData::PickLabelNearest(int32_t x, int32_t y, double tolerance, CGradedPoint** point,
                                    CDimLabel** label, double* distance) const {
  Nearest best;
  CGradedPoint* bestPoint = nullptr;
  CDimLabel* bestLabel = nullptr;
  for (const auto& object : m_Objects) {
    CGradedPoint* candidate = AsPoint(object.get());
    CDimLabel* hit = nullptr;
    if (!candidate || !candidate->PickLabel(x, y, tolerance, GetBaseSize(), &hit) || !hit) continue;
    // The point names the label; the label tells how far its dimension is.
    double d = DBL_MAX;
    if (!hit->Pick(x, y, tolerance, &d)) continue;
    if (d < best.distance) {
      best.distance = d;
      bestPoint = candidate;
      bestLabel = hit;
    }
  }
  if (!best.Found(tolerance)) return FALSE;
  Give(point, bestPoint);
  Give(label, bestLabel);
  Give(distance, best.distance);
  return TRUE;
}

BOOL CPatternData::HitTestBaseSizeNearest(int32_t x, int32_t y, double tolerance, CGradedPoint** point,
                                          double* distance) const {
  Nearest best;
  CGradedPoint* bestPoint = nullptr;
  for (const auto& object : m_Objects) {
    CGradedPoint* candidate = AsPoint(object.get());
    double d = DBL_MAX;
    if (!candidate || !candidate->HitTestAtBaseSize(x, y, tolerance, &d)) continue;
    if (d < best.distance) {
      best.distance = d;
      bestPoint = candidate;
    }
  }
  if (!best.Found(tolerance)) return FALSE;
  Give(point, bestPoint);
  Give(distance, best.distance);
  return TRUE;
}

BOOL CPatternData::FindIntersectionPoint(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y,
                                         CGradedPoint** point) const {
  for (const auto& object : m_Objects) {
    CGradedPoint* candidate = AsPoint(object.get());
    if (candidate && candidate->IsSameIntersection(a, b, x, y)) {
      Give(point, candidate);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CPatternData::PickNearest(int32_t x, int32_t y, double tolerance, CGradedObject** object,
                               CGradedObject** part, double* distance) const {
  Nearest best;
  CGradedObject* bestObject = nullptr;
  CGradedObject* bestPart = nullptr;
  // Points first, so that on equal distance a point keeps the place.
  for (const bool points : {true, false}) {
    for (const auto& candidate : m_Objects) {
      if (!IsShown(candidate.get()) || (candidate->GetKind() == kObjectKindPoint) != points) continue;
      CGradedObject* picked = nullptr;
      double d = DBL_MAX;
      if (!candidate->PickIfValid(x, y, tolerance, GetBaseSize(), &picked, &d)) continue;
      if (d < best.distance) {
        best.distance = d;
        bestObject = candidate.get();
        bestPart = picked;
      }
    }
  }
  if (!best.Found(tolerance)) return FALSE;
  Give(object, bestObject);
  Give(part, bestPart);
  Give(distance, best.distance);
  return TRUE;
}

BOOL CPatternData::PickNearestAny(int32_t x, int32_t y, double tolerance, CGradedObject** object,
                                  CGradedObject** part, double* distance) const {
  Nearest best;
  CGradedObject* bestObject = nullptr;
  CGradedObject* bestPart = nullptr;
  for (const auto& candidate : m_Objects) {
    if (!IsShown(candidate.get())) continue;
    CGradedObject* picked = nullptr;
    double d = DBL_MAX;
    if (!candidate->Pick(x, y, tolerance, GetBaseSize(), &picked, &d)) continue;
    if (d < best.distance) {
      best.distance = d;
      bestObject = candidate.get();
      bestPart = picked;
    } else if (best.distance != 0.0 && bestPart && bestPart->GetState() == 0) {
      bestObject = candidate.get();
      bestPart = picked;
    }
  }
  if (!best.Found(tolerance)) return FALSE;
  Give(object, bestObject);
  Give(part, bestPart);
  Give(distance, best.distance);
  return TRUE;
}

namespace {

// The one search of HitTestLinesAndCurves and its twin; `drawn` measures a
// line by its drawn segment instead of its through points.
BOOL HitLinesAndCurves(const CPatternData& data, int32_t x, int32_t y, double tolerance, int32_t kindMask,
                       bool drawn, CGradedObject** object, CPoint* point, double* distance) {
  const int32_t base = data.GetBaseSize();
  const int32_t r = RoundToNearest(tolerance);
  const CRect search(SaturateToInt32(static_cast<int64_t>(x) - r), SaturateToInt32(static_cast<int64_t>(y) - r),
                     SaturateToInt32(static_cast<int64_t>(x) + r), SaturateToInt32(static_cast<int64_t>(y) + r));
  double bestDistance = DBL_MAX;
  CGradedObject* bestObject = nullptr;
  CPoint bestPoint;
  // Only a line that holds the best place has a length to compare with.
  bool bestHasLength = false;
  double bestLength = 0.0;
  for (int32_t i = 0; i < data.GetElementCount(); ++i) {
    CGradedObject* candidate = data.GetElementAt(i);
    if (!IsShown(candidate) || (candidate->GetKind() & kindMask) == 0) continue;
    if (candidate->GetKind() == kObjectKindLine) {
      auto* line = dynamic_cast<CGradedLine*>(candidate);
      if (!line) continue;
      CPoint hit;
      double d = DBL_MAX;
      if (!line->HitTest(x, y, tolerance, base, &hit, &d)) continue;
      CPoint p1, p2;
      if (drawn) {
        line->GetEndPoints(base, &p1, &p2);
      } else {
        line->GetThroughPoints(base, &p1, &p2);
      }
      const double length = std::hypot(static_cast<double>(p2.x) - p1.x, static_cast<double>(p2.y) - p1.y);
      const bool nearer = d < bestDistance;
      const bool shorterOnTie = !nearer && bestHasLength && RoundToNearest(d) == RoundToNearest(bestDistance) &&
                                length < bestLength;
      if (nearer || shorterOnTie) {
        bestDistance = d;
        bestObject = line;
        bestPoint = hit;
        bestHasLength = true;
        bestLength = length;
      }
    } else if (candidate->GetKind() == kObjectKindCurve) {
      auto* curve = dynamic_cast<CGradedCurve*>(candidate);
      if (!curve) continue;
      CRect common;
      if (!common.IntersectRect(curve->GetBaseBoundRect(), search)) continue;
      CPoint hit;
      double d = DBL_MAX;
      if (!curve->HitTest(x, y, tolerance, base, &hit, &d) || !(d < bestDistance)) continue;
      bestDistance = d;
      bestObject = curve;
      bestPoint = hit;
      bestHasLength = false;
    }
  }
  if (!(bestDistance < tolerance)) return FALSE;
  Give(object, bestObject);
  Give(point, bestPoint);
  Give(distance, bestDistance);
  return TRUE;
}

}  // namespace

BOOL CPatternData::HitTestLinesAndCurves(int32_t x, int32_t y, double tolerance, int32_t kindMask,
                                         CGradedObject** object, CPoint* point, double* distance) const {
  return HitLinesAndCurves(*this, x, y, tolerance, kindMask, false, object, point, distance);
}

BOOL CPatternData::HitTestLinesAndCurvesDrawn(int32_t x, int32_t y, double tolerance, int32_t kindMask,
                                              CGradedObject** object, CPoint* point, double* distance) const {
  return HitLinesAndCurves(*this, x, y, tolerance, kindMask, true, object, point, distance);
}
