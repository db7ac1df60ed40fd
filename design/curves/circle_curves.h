// The circles: the circle through three points (curve kind 4) and the
// circle about a centre through one point (kind 8). Both are closed curves.
//
// The centre circle's record: the head, the positions of the centre and of
// the circle point, the link's position, then the ends; it is full when both
// ends are the circle point. Its one defining point is the circle point; the
// centre is one of its references too.
//
// The centre circle at a size: the whole circle about the centre that starts
// at the circle point and runs towards increasing angles; a circle point on
// the centre gives that one point.
#pragma once

#include <cstdint>

#include "design/curves/three_point_curve.h"

class CThreePointCircle : public CThreePointCurve<CGradedClosedCurve> {
 public:
  // For the loaders: no points, no ends, full.
  CThreePointCircle(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);
};

class CCenterCircle : public CCircularCurve<CGradedClosedCurve> {
 public:
  // For the loaders: no points, no ends, full.
  CCenterCircle(CPatternData* owner, uint16_t status, int32_t attribute1, int32_t attribute2);

  CGradedPoint* GetCentre() const { return m_Centre; }
  CGradedPoint* GetCirclePoint() const { return m_Point; }
  int32_t GetStoredLinkIndex() const { return m_StoredLink; }

  // The circle point only.
  void GetDefiningRefs(CGradedObjectList& refs) const override;
  // The circle point as both.
  void GetFirstLastRefs(CGradedPoint*& first, CGradedPoint*& last) const override;
  void ResolveIds() override;
  // Nothing is kept unless the whole record is read.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // The centre and the circle point.
  void GetPointRefs(CGradedObjectList& refs) const override;
  BOOL RebuildFullPoints(int32_t size, PointList& out) override;

 private:
  CGradedPoint* m_Centre = nullptr;
  CGradedPoint* m_Point = nullptr;
  int32_t m_CentreId = -1;
  int32_t m_PointId = -1;
  int32_t m_StoredLink = -1;
};

// Joins curve kinds 4 and 8 to the curve-kind table; the loader makes them
// with status 0, attribute 1 0 and attribute 2 1.
void RegisterCircleCurves();
