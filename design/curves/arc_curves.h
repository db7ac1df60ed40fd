// The arcs: the arc through three points (curve kind 3) and the arc about a
// centre (kind 7), which runs from its from-point towards the angle of its
// to-point, clockwise or counter-clockwise as its direction flag says. Both
// are open curves.
//
// The centre arc's record: the head, the positions of the centre, the from-
// and the to-point, the direction flag, the link's position, then the ends;
// it is full when its ends are the from- and the to-point in either order.
// Its defining points are the from- and the to-point; the centre is one of
// its references too.
//
// The centre arc at a size: the arc of radius |centre, from| that starts at
// the from-point and turns, about the centre, to the direction of the
// to-point: direction 1 (or any other non-zero flag) towards decreasing
// angles, 0 towards increasing ones; from- and to-point at one angle give no
// arc. The to-point itself ends the list whenever it is not the list's first
// point, so a to-point off the circle is reached by a straight step, and one
// on it stands at the end twice.
#pragma once

#include <cstdint>

#include "design/curves/three_point_curve.h"

class CThreePointArc : public CThreePointCurve<CGradedOpenCurve> {
 public:
  // For the loaders: no points, no ends, full.
  CThreePointArc(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);
};

class CCenterArc : public CCircularCurve<CGradedOpenCurve> {
 public:
  // The direction of a new arc.
  static constexpr int32_t kDefaultDirection = 1;

  // For the loaders: no points, no ends, full, direction 1.
  CCenterArc(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);

  void GetRefs(CGradedPoint*& centre, CGradedPoint*& from, CGradedPoint*& to, int32_t& direction,
               CGradedPoint*& start, CGradedPoint*& end) const;
  CGradedPoint* GetCentre() const { return m_Centre; }
  int32_t GetDirection() const { return m_Direction; }
  int32_t GetStoredLinkIndex() const { return m_StoredLink; }

  // The from- and the to-point.
  void GetDefiningRefs(CGradedObjectList& refs) const override;
  void GetFirstLastRefs(CGradedPoint*& first, CGradedPoint*& last) const override;
  void ResolveIds() override;
  // Nothing is kept unless the whole record is read.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // The centre, the from- and the to-point.
  void GetPointRefs(CGradedObjectList& refs) const override;
  BOOL RebuildFullPoints(int32_t size, PointList& out) override;

 private:
  CGradedPoint* m_Centre = nullptr;
  CGradedPoint* m_From = nullptr;
  CGradedPoint* m_To = nullptr;
  int32_t m_Direction = kDefaultDirection;
  int32_t m_CentreId = -1;
  int32_t m_FromId = -1;
  int32_t m_ToId = -1;
  int32_t m_StoredLink = -1;
};

// Joins curve kinds 3 and 7 to the curve-kind table; the loader makes them
// with status 0, attribute 1 0 and attribute 2 1.
void RegisterArcCurves();
