// The record the arc and the circle through three points share (curve kinds
// 3 and 4): the head, the positions of the three points and of the link,
// then the ends. The open arc is full when its ends are its first and last
// point in either order, the closed circle when both ends are its first
// point.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "design/curves/graded_curve.h"

template <class Branch>
class CThreePointCurve : public Branch {
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
      : Branch(subtype, owner, status, attribute1, attribute2) {}

  void GetPointRefs(CGradedObjectList& refs) const override {
    refs.insert(refs.end(), std::begin(m_Points), std::end(m_Points));
  }

 private:
  CGradedPoint* m_Points[kPointCount] = {};
  int32_t m_Ids[kPointCount] = {-1, -1, -1};
  int32_t m_StoredLink = -1;
};
