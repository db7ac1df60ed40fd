// The curves defined by a list of points: the spline kinds (1 open, 2
// closed) and the polyline kinds (5 open, 6 closed). They share their record
// and their references; they differ in how the record's head is gated and in
// how missing positions and ends are read:
// - the spline kinds store the status word from data version 104 and the
//   first attribute from 109 on; files before 109 store no usable ends, so
//   the open spline takes its first and last point as ends there;
// - the open polyline replaces a missing point position (-1 or below) by the
//   one before it (0 for the first) and missing ends by its first and last
//   point; the closed polyline keeps what it reads.
// In a design of mode 2 the stored ends are ignored: an open curve runs from
// its first to its last point, a closed one starts and ends at its first.
//
// Grading. At the base size the curve runs through the base positions of its
// defining points. At any other size it is never drawn through points graded
// one by one: the points with a grading of their own (anchors) take their
// positions at the size, and the points the curve keeps for itself
// (followers: its free vertex points of kind 20 and the linked points of kind
// 38 it owns) are carried along by the similarity of the anchor span they lie
// in (FollowMovedAnchors). A spline is then fitted through the result; a
// polyline is the result. The open kinds tell a linked point by its link: one
// that another curve owns is an anchor, one this curve owns a follower; the
// closed kinds only ask whether a point is real.
//
// A defining point that is missing (a position that named no point) or whose
// position cannot be had fails the size: its whole list is empty and only
// the first caller of that size sees the 0, as with points.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/geometry/spline_fit.h"
#include "design/points/free_point.h"
#include "design/points/rotated_points.h"

// The design mode in which the ends of a curve follow its point list.
inline constexpr int32_t kModeWithEndsFromPoints = 2;
// Before this data version a spline's stored ends are not used.
inline constexpr int32_t kFirstVersionWithSplineEnds = 109;

enum class PointListKind { kSpline, kPolyline };

template <class Branch>
class CPointListCurve : public Branch {
 public:
  // The stored positions of the defining points, in record order (kept after
  // ResolveIds), and of the link.
  const std::vector<int32_t>& GetStoredRefs() const { return m_StoredIds; }
  int32_t GetStoredLinkIndex() const { return m_StoredLink; }
  // The defining points as resolved (null where a position names no point).
  const std::vector<CGradedPoint*>& GetPoints() const { return m_Points; }

  void GetDefiningRefs(CGradedObjectList& refs) const override {
    refs.clear();
    refs.insert(refs.end(), m_Points.begin(), m_Points.end());
  }
  void GetFirstLastRefs(CGradedPoint*& first, CGradedPoint*& last) const override {
    if (m_Points.empty()) return;
    first = m_Points.front();
    last = m_Points.back();
  }

  BOOL IsFirstStoredRef(int32_t index) const override {
    return !m_StoredIds.empty() && m_StoredIds.front() == index ? TRUE : FALSE;
  }
  BOOL IsStoredRefBefore(int32_t a, int32_t b) const override {
    for (int32_t id : m_StoredIds) {
      if (id == a) return TRUE;
      if (id == b) return FALSE;
    }
    return TRUE;
  }

  // ---- Geometry per size ----------------------------------------------------

  // The whole curve at a size (see the top of this file). A size outside the
  // lists: 0 and nothing. A clean size: its cached list and 1, also when its
  // rebuild failed (the list is then empty). A dirty size is rebuilt and its
  // used part marked to be cut again; the result is the rebuild's. A spline
  // fit that has too few distinct points to work with leaves the list empty
  // without failing the size.
  BOOL GetFullPoints(int32_t size, PointList& out) override {
    if (m_BaseStored) UpdateOwnedPoints();
    return this->CachedFullPoints(size, out, [&](PointList& rebuilt) {
      std::vector<CPoint> through;
      const BOOL ok = PositionsAt(size, Rule::kWholeCurve, through);
      if (ok) BuildWholeList(through, rebuilt);
      return ok;
    });
  }

  // The position at a size of a linked point that is the first or the last
  // defining point of an open curve: the base shape morphed onto the anchors
  // of the size, where every linked point follows (whichever curve owns it),
  // so that a linked point never asks itself. 0 for an empty list, a point
  // that is no end, a size outside the lists, a point that cannot be had,
  // and always for the closed kinds.
  BOOL CalcLinkedPoint(int32_t size, CGradedPoint* point, CPoint& out) override {
    if (this->IsClosed() || !point) return FALSE;
    if (m_BaseStored) UpdateOwnedPoints();
    if (m_Points.empty() || !this->WholeListAt(size)) return FALSE;
    const bool first = point == m_Points.front();
    if (!first && point != m_Points.back()) return FALSE;
    std::vector<CPoint> moved;
    if (!PositionsAt(size, Rule::kOwnedPoints, moved)) return FALSE;
    out = first ? moved.front() : moved.back();
    return TRUE;
  }

  // Keeps the base-size positions of the defining points before an edit
  // moves the anchors at the base size. Nothing is kept when one of them
  // cannot be had: the curve's own points are then left where they are.
  void StoreBasePoints() override {
    m_BaseStored = FALSE;
    m_BasePoints.clear();
    std::vector<CPoint> base;
    if (!BasePositions(base)) return;
    m_BasePoints = std::move(base);
    m_BaseStored = TRUE;
  }

  // After the anchors moved at the base size, moves the curve's own points
  // (its free vertex points, and for the open kinds the linked points it
  // owns) with them. 0 and nothing done without a kept shape, and (the shape
  // kept for a later try) when the defining points changed in number; when a
  // position cannot be had the shape is dropped and nothing moves. 1 when a
  // point was moved.
  BOOL UpdateOwnedPoints() override {
    if (!m_BaseStored || m_BasePoints.size() != m_Points.size()) return FALSE;
    m_BaseStored = FALSE;
    std::vector<CPoint> moved;
    if (!BasePositions(moved)) return FALSE;
    std::vector<UINT> flags(m_Points.size());
    for (size_t i = 0; i < m_Points.size(); ++i) flags[i] = IsAnchor(m_Points[i], Rule::kOwnedPoints) ? kAnchorFlag : 1;
    FollowMovedAnchors(m_BasePoints, flags, moved);
    BOOL any = FALSE;
    for (size_t i = 0; i < m_Points.size(); ++i) {
      if (MoveOwnedPoint(m_Points[i], moved[i])) any = TRUE;
    }
    return any;
  }

  void ResolveIds() override {
    m_Points.clear();
    m_Points.reserve(m_StoredIds.size());
    for (int32_t id : m_StoredIds) m_Points.push_back(this->ResolvePoint(id));
    this->ResolveEnds(m_StoredLink);
  }

  // Reads the whole record before anything is kept: a record cut short, or a
  // point count the bytes left cannot hold, fails and leaves the curve empty.
  BOOL Load(ArchiveReader& archive) override {
    const CPatternData* owner = this->GetOwner();
    if (!owner) return FALSE;
    const bool spline = m_ListKind == PointListKind::kSpline;
    const bool closed = this->IsClosed() != FALSE;
    typename Branch::HeadRecord head;
    if (!this->ReadHead(archive, spline ? Branch::HeadGates::kSpline : Branch::HeadGates::kAlways, head)) {
      return FALSE;
    }
    int32_t count = 0;
    if (!archive.ReadI32(count) || !archive.CheckCount(count, sizeof(int32_t))) return FALSE;
    const bool fillGaps = !spline && !closed;
    std::vector<int32_t> ids;
    ids.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int32_t i = 0; i < count; ++i) {
      int32_t id = -1;
      if (!archive.ReadI32(id)) return FALSE;
      if (fillGaps && id < 0) id = ids.empty() ? 0 : ids.back();
      ids.push_back(id);
    }
    int32_t link = -1;
    int32_t start = -1;
    int32_t end = -1;
    if (!archive.ReadI32(link) || !archive.ReadI32(start) || !archive.ReadI32(end)) return FALSE;

    // With no points the polylines take position 0 as both ends.
    const int32_t none = spline ? -1 : 0;
    const int32_t first = ids.empty() ? none : ids.front();
    const int32_t last = ids.empty() ? none : ids.back();
    const bool endsFromPoints = owner->GetMode() == kModeWithEndsFromPoints;
    BOOL full = FALSE;
    if (closed) {
      if (endsFromPoints) start = end = first;
      full = start == first && end == first ? TRUE : FALSE;
    } else {
      if (fillGaps) {
        if (start < 0) start = first;
        if (end < 0) end = last;
      }
      if (endsFromPoints || (spline && owner->GetVersion() < kFirstVersionWithSplineEnds)) {
        start = first;
        end = last;
      }
      full = (start == first && end == last) || (start == last && end == first) ? TRUE : FALSE;
    }

    this->ApplyHead(head);
    m_StoredIds = std::move(ids);
    m_StoredLink = link;
    this->SetStoredEnds(start, end, full);
    return TRUE;
  }

 protected:
  CPointListCurve(PointListKind listKind, int32_t subtype, CPatternData* owner, uint16_t status,
                  int32_t attribute1, int32_t attribute2)
      : Branch(subtype, owner, status, attribute1, attribute2), m_ListKind(listKind) {}

  void GetPointRefs(CGradedObjectList& refs) const override {
    refs.insert(refs.end(), m_Points.begin(), m_Points.end());
  }

 private:
  // Which points take their own position at a size: the whole curve lets a
  // linked point that another curve owns lead; moving the curve's own points
  // and placing a linked point let every linked point follow. The closed
  // kinds make every real point an anchor either way.
  enum class Rule { kWholeCurve, kOwnedPoints };

  bool IsAnchor(const CGradedPoint* point, Rule rule) const {
    if (!this->IsClosed() && point->GetSubtype() == kPointKindLinked) {
      return rule == Rule::kWholeCurve && point->GetLink() != this;
    }
    return point->IsRealPoint() != FALSE;
  }

  // The base size of the owner, or -1 when it names no size of the lists.
  int32_t BaseSize() const {
    const CPatternData* owner = this->GetOwner();
    const int32_t base = owner ? owner->GetBaseSize() : -1;
    return base >= 0 && base < this->GetSizeListCount() ? base : -1;
  }

  // The base-size position of every defining point; 0 at the first that is
  // missing or cannot be had.
  BOOL BasePositions(std::vector<CPoint>& out) const {
    out.clear();
    const int32_t base = BaseSize();
    if (base < 0) return FALSE;
    for (CGradedPoint* point : m_Points) {
      CPoint p;
      if (!point || !point->GetPoint(base, &p)) return FALSE;
      out.push_back(p);
    }
    return TRUE;
  }

  // The positions of the defining points at `size`: their base positions at
  // the base size, elsewhere the anchors at the size and the followers
  // carried along from the base shape. Stops at the first point that is
  // missing or cannot be had (0).
  BOOL PositionsAt(int32_t size, Rule rule, std::vector<CPoint>& out) const {
    const int32_t base = BaseSize();
    if (!BasePositions(out)) return FALSE;
    if (size == base) return TRUE;
    std::vector<CPoint> moved = out;
    std::vector<UINT> flags(m_Points.size(), 1);
    for (size_t i = 0; i < m_Points.size(); ++i) {
      if (!IsAnchor(m_Points[i], rule)) continue;
      flags[i] = kAnchorFlag;
      if (!m_Points[i]->GetPoint(size, &moved[i])) return FALSE;
    }
    FollowMovedAnchors(out, flags, moved);
    out = std::move(moved);
    return TRUE;
  }

  // The whole list from the positions the curve runs through.
  void BuildWholeList(const std::vector<CPoint>& through, PointList& out) const {
    out.assign(through.begin(), through.end());
    if (m_ListKind == PointListKind::kPolyline) return;
    // Sampled finely enough that no chord strays a tenth of a millimetre.
    const CPatternData* owner = this->GetOwner();
    const double tolerance = (owner ? owner->GetScale() : 0) * 0.1;
    const bool closed = this->IsClosed() != FALSE;
    if (closed && !out.empty()) out.push_back(out.front());
    PointList fitted;
    FitCubicSpline(out, closed ? TRUE : FALSE, tolerance, &fitted);
    out = std::move(fitted);
  }

  // Moves a point the curve keeps for itself; 1 when it was one.
  BOOL MoveOwnedPoint(CGradedPoint* point, CPoint to) {
    if (point->GetSubtype() == kPointKindFreeVertex) {
      if (auto* vertex = dynamic_cast<CFreePointBase*>(point)) {
        vertex->SetPoint(to.x, to.y);
        return TRUE;
      }
    } else if (!this->IsClosed() && point->GetSubtype() == kPointKindLinked && point->GetLink() == this) {
      if (auto* linked = dynamic_cast<CLinkedPoint*>(point)) {
        linked->SetPoint(to.x, to.y);
        return TRUE;
      }
    }
    return FALSE;
  }

  PointListKind m_ListKind;
  std::vector<CGradedPoint*> m_Points;
  std::vector<int32_t> m_StoredIds;
  int32_t m_StoredLink = -1;
  // The base shape StoreBasePoints kept, one position per defining point.
  std::vector<CPoint> m_BasePoints;
  BOOL m_BaseStored = FALSE;
};
