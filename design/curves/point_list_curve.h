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
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"

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
  PointListKind m_ListKind;
  std::vector<CGradedPoint*> m_Points;
  std::vector<int32_t> m_StoredIds;
  int32_t m_StoredLink = -1;
};
