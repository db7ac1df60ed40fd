// What the arcs and circles (curve kinds 3, 4, 7 and 8) share, and the
// record of the arc and the circle through three points (kinds 3 and 4).
//
// CCircularCurve computes the whole list of a size through the kind's
// RebuildFullPoints and keeps the circle of the base size, which the hit
// tests use to turn away a click far from the curve before the polyline is
// looked at.
//
// The three-point record: the head, the positions of the three points and of
// the link, then the ends. The open arc is full when its ends are its first
// and last point in either order, the closed circle when both ends are its
// first point.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/geometry/arcs.h"
#include "design/geometry/circles.h"
#include "design/geometry/spline_fit.h"
#include "design/points/free_point.h"
#include "design/points/rotated_points.h"
#include "platform/numbers.h"

// The arcs (on CGradedOpenCurve) and circles (on CGradedClosedCurve).
//
// A size whose points cannot all be had (a reference that named no point, or
// a point without a position at the size) fails: away from the base size it
// takes the base size's curve, at the base size it is empty; the result is
// 0 for the first caller, 1 with that list afterwards.
template <class Branch>
class CCircularCurve : public Branch {
 public:
  // A size outside the lists: 0 and nothing. A clean size: its cached list
  // and 1. A dirty size is rebuilt (RebuildFullPoints) and its used part
  // marked to be cut again.
  BOOL GetFullPoints(int32_t size, PointList& out) override {
    return this->CachedFullPoints(size, out, [&](PointList& rebuilt) { return RebuildFullPoints(size, rebuilt); });
  }

  // At the base size a click must lie within `tolerance` of the base circle
  // (the last circle a rebuild of the base size found) before the curve is
  // tested; while the base size has never had one, nothing is hit there.
  // Other sizes take the branch's test alone.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point, double* distance) override {
    if (!NearBaseCircle(x, y, tolerance, size)) return FALSE;
    return Branch::HitTest(x, y, tolerance, size, point, distance);
  }
  BOOL HitTestIfValid(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point,
                      double* distance) override {
    if (!NearBaseCircle(x, y, tolerance, size)) return FALSE;
    return Branch::HitTestIfValid(x, y, tolerance, size, point, distance);
  }

 protected:
  using Branch::Branch;

  // The kind's polyline of a dirty size into `out` (empty on entry); the
  // result is the size's.
  virtual BOOL RebuildFullPoints(int32_t size, PointList& out) = 0;

  // The base size of the owner, or -1 when it names no size of the lists.
  int32_t BaseSize() const {
    const CPatternData* owner = this->GetOwner();
    const int32_t base = owner ? owner->GetBaseSize() : -1;
    return base >= 0 && base < this->GetSizeListCount() ? base : -1;
  }

  // The position of a referenced point at a size; 0 for a missing point.
  static BOOL PositionAt(CGradedPoint* point, int32_t size, CPoint& out) {
    return point && point->GetPoint(size, &out) ? TRUE : FALSE;
  }

  // What a failed size holds: the base size's curve (rebuilt first when
  // dirty) away from the base size, nothing at it. Returns 0.
  BOOL FailedSize(int32_t size, PointList& out) {
    out.clear();
    const int32_t base = BaseSize();
    if (base >= 0 && base != size) GetFullPoints(base, out);
    return FALSE;
  }

  // The base size's curve as what a size whose points admit no circle takes
  // away from the base size.
  void BaseSizeCurve(PointList& out) {
    out.clear();
    const int32_t base = BaseSize();
    if (base >= 0) GetFullPoints(base, out);
  }

  void SetBaseCircle(CPoint centre, int64_t radius) {
    m_BaseCentre = centre;
    m_BaseRadius = SaturateToInt32(radius < 0 ? -radius : radius);
    m_HasBaseCircle = TRUE;
  }

 private:
  BOOL NearBaseCircle(int32_t x, int32_t y, double tolerance, int32_t size) {
    const int32_t base = BaseSize();
    if (base < 0 || size != base) return TRUE;
    if (this->IsDirty(base)) {
      PointList scratch;
      GetFullPoints(base, scratch);
    }
    if (!m_HasBaseCircle) return FALSE;
    const double dx = static_cast<double>(x) - m_BaseCentre.x;
    const double dy = static_cast<double>(y) - m_BaseCentre.y;
    const double d2 = dx * dx + dy * dy;
    const double inner = std::max(m_BaseRadius - tolerance, 0.0);
    const double outer = m_BaseRadius + tolerance;
    return inner * inner <= d2 && d2 <= outer * outer ? TRUE : FALSE;
  }

  CPoint m_BaseCentre;
  int32_t m_BaseRadius = 0;
  BOOL m_HasBaseCircle = FALSE;
};

template <class Branch>
class CThreePointCurve : public CCircularCurve<Branch> {
 public:
  // The three points in curve order and the ends.
  void GetRefs(CGradedPoint*& first, CGradedPoint*& middle, CGradedPoint*& last, CGradedPoint*& start,
               CGradedPoint*& end) const {
    first = m_Points[0];
    middle = m_Points[1];
    last = m_Points[2];
    this->GetEnds(start, end);
  }
  int32_t GetStoredLinkIndex() const { return m_StoredLink; }

  void GetDefiningRefs(CGradedObjectList& refs) const override {
    refs.clear();
    refs.insert(refs.end(), std::begin(m_Points), std::end(m_Points));
  }
  void GetFirstLastRefs(CGradedPoint*& first, CGradedPoint*& last) const override {
    first = m_Points[0];
    last = m_Points[2];
  }

  // Keeps the base-size positions of the three points before an edit moves
  // them at the base size; nothing is kept when one cannot be had.
  void StoreBasePoints() override {
    m_BaseStored = BasePositions(m_BasePoints);
  }

  // After an edit at the base size, moves the points the curve keeps for
  // itself (free vertex points, linked points it owns) with the others. 0
  // without a kept shape or when a position cannot be had (the shape is
  // dropped); 1 when a point was moved.
  BOOL UpdateOwnedPoints() override {
    if (!m_BaseStored) return FALSE;
    m_BaseStored = FALSE;
    std::vector<CPoint> moved(kPointCount);
    if (!BasePositions(moved.data())) return FALSE;
    std::vector<CPoint> old(std::begin(m_BasePoints), std::end(m_BasePoints));
    std::vector<UINT> flags(kPointCount);
    for (int i = 0; i < kPointCount; ++i) {
      const bool anchor = m_Points[i]->IsRealPoint() && m_Points[i]->GetSubtype() != kPointKindLinked;
      flags[static_cast<size_t>(i)] = anchor ? kAnchorFlag : 1;
    }
    FollowMovedAnchors(old, flags, moved);
    BOOL any = FALSE;
    for (int i = 0; i < kPointCount; ++i) {
      if (MoveOwnedPoint(m_Points[i], moved[static_cast<size_t>(i)])) any = TRUE;
    }
    return any;
  }

  void ResolveIds() override {
    for (int i = 0; i < kPointCount; ++i) m_Points[i] = this->ResolvePoint(m_Ids[i]);
    this->ResolveEnds(m_StoredLink);
  }

  // Nothing is kept unless the whole record is read.
  BOOL Load(ArchiveReader& archive) override {
    typename Branch::HeadRecord head;
    if (!this->ReadHead(archive, Branch::HeadGates::kAlways, head)) return FALSE;
    int32_t ids[kPointCount] = {-1, -1, -1};
    int32_t link = -1;
    int32_t start = -1;
    int32_t end = -1;
    for (int32_t& id : ids) {
      if (!archive.ReadI32(id)) return FALSE;
    }
    if (!archive.ReadI32(link) || !archive.ReadI32(start) || !archive.ReadI32(end)) return FALSE;
    const int32_t first = ids[0];
    const int32_t last = ids[2];
    const bool full = this->IsClosed() ? start == first && end == first
                                       : (start == first && end == last) || (start == last && end == first);
    this->ApplyHead(head);
    std::copy(std::begin(ids), std::end(ids), std::begin(m_Ids));
    m_StoredLink = link;
    this->SetStoredEnds(start, end, full ? TRUE : FALSE);
    return TRUE;
  }

 protected:
  static constexpr int kPointCount = 3;

  CThreePointCurve(int32_t subtype, CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2)
      : CCircularCurve<Branch>(subtype, owner, status, attribute1, attribute2) {}

  void GetPointRefs(CGradedObjectList& refs) const override {
    refs.insert(refs.end(), std::begin(m_Points), std::end(m_Points));
  }

  // The arc (open) or the whole circle (closed) from the first point through
  // the middle one to the last. Three points that admit no circle (two
  // coincide, they are collinear, the radius is out of range) still give a
  // curve: the three points at the base size, the base size's curve
  // elsewhere. The base size keeps the circle it finds for the hit tests.
  BOOL RebuildFullPoints(int32_t size, PointList& out) override {
    CPoint p[kPointCount];
    for (int i = 0; i < kPointCount; ++i) {
      if (!this->PositionAt(m_Points[i], size, p[i])) return this->FailedSize(size, out);
    }
    const bool base = size == this->BaseSize();
    if (base) {
      int cx = 0, cy = 0, r = 0;
      if (CircleThrough3Points(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, &cx, &cy, &r)) {
        this->SetBaseCircle(CPoint(cx, cy), r);
      }
    }
    const BOOL found = this->IsClosed()
                           ? CircleThrough3PointsPolyline(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, out)
                           : ArcThrough3PointsPolyline(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, out);
    if (!found) {
      if (base) {
        out = {p[0], p[1], p[2]};
      } else {
        this->BaseSizeCurve(out);
      }
    }
    return TRUE;
  }

 private:
  // The base-size positions of the three points; 0 when one is missing or
  // cannot be had.
  BOOL BasePositions(CPoint* out) const {
    const int32_t base = this->BaseSize();
    if (base < 0) return FALSE;
    for (int i = 0; i < kPointCount; ++i) {
      if (!this->PositionAt(m_Points[i], base, out[i])) return FALSE;
    }
    return TRUE;
  }

  // Moves a point the curve keeps for itself; 1 when it was one.
  BOOL MoveOwnedPoint(CGradedPoint* point, CPoint to) {
    if (point->GetSubtype() == kPointKindFreeVertex) {
      if (auto* vertex = dynamic_cast<CFreePointBase*>(point)) {
        vertex->SetPoint(to.x, to.y);
        return TRUE;
      }
    } else if (point->GetSubtype() == kPointKindLinked && point->GetLink() == this) {
      if (auto* linked = dynamic_cast<CLinkedPoint*>(point)) {
        linked->SetPoint(to.x, to.y);
        return TRUE;
      }
    }
    return FALSE;
  }

  CGradedPoint* m_Points[kPointCount] = {};
  int32_t m_Ids[kPointCount] = {-1, -1, -1};
  int32_t m_StoredLink = -1;
  // The shape StoreBasePoints kept.
  CPoint m_BasePoints[kPointCount];
  BOOL m_BaseStored = FALSE;
};
