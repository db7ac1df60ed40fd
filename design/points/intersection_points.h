// The points where two referenced objects meet, or where a point drops onto
// a line, each computed anew for every size from the positions its objects
// have at that size:
//
//   kind  9  CLineIntersectPoint       the crossing of two two-point lines
//   kind 10  CCircleIntersectPoint     at one graded distance from a first
//                                      point and another from a second, on
//                                      the side a flag chooses
//   kind 11  CLineCurveIntersectPoint  the n-th crossing of a two-point line
//                                      with a curve
//   kind 12  CCurveIntersectPoint      the n-th crossing of two curves
//   kind 19  CPerpendicularFootPoint   the foot of the perpendicular from a
//                                      point on the line through two points
//   kind 21  CLineCircleIntersectPoint a crossing of a two-point line with
//                                      the circle of graded radius about a
//                                      centre, with a label for the radius
//   kind 22  CAxisLinesIntersectPoint  the crossing of the vertical or
//                                      horizontal line through one point with
//                                      that through another
//
// Two-point lines and curves have no classes of their own here yet: their
// fields hold graded objects of the line or curve kind, and resolve to
// nothing else.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindLineIntersect = 9;
inline constexpr int32_t kPointKindCircleIntersect = 10;
inline constexpr int32_t kPointKindLineCurveIntersect = 11;
inline constexpr int32_t kPointKindCurveIntersect = 12;
inline constexpr int32_t kPointKindPerpendicularFoot = 19;
inline constexpr int32_t kPointKindLineCircleIntersect = 21;
inline constexpr int32_t kPointKindAxisLinesIntersect = 22;

class CLineIntersectPoint : public CGradedPoint {
 public:
  // For the loaders: both lines unset.
  CLineIntersectPoint(CPatternData* owner, uint16_t status);

  CGradedObject* GetLine1() const { return m_Line1.object; }
  CGradedObject* GetLine2() const { return m_Line2.object; }

  // Shown, or both lines there and shown: the crossing is then in use even
  // while the point itself is hidden.
  BOOL IsDefined() const override;
  // The base part, then the two line positions. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;

 private:
  Reference m_Line1{kObjectKindLine};
  Reference m_Line2{kObjectKindLine};
};

class CCircleIntersectPoint : public CGradedPoint {
 public:
  // For the loaders: both points unset, both distances empty formulas of
  // the owner, side 0.
  CCircleIntersectPoint(CPatternData* owner, uint16_t status);

  CGradedPoint* GetPoint1() const { return static_cast<CGradedPoint*>(m_Point1.object); }
  const CFormula& GetRadius1() const { return m_Radius1; }
  CGradedPoint* GetPoint2() const { return static_cast<CGradedPoint*>(m_Point2.object); }
  const CFormula& GetRadius2() const { return m_Radius2; }
  // 0: the crossing on the right of the direction from the first point to
  // the second; 1: the one on its left.
  int32_t GetSide() const { return m_Side; }

  // The base part, then each point followed by its distance, then the side.
  // 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;

 private:
  Reference m_Point1{kObjectKindPoint};
  CFormula m_Radius1;
  Reference m_Point2{kObjectKindPoint};
  CFormula m_Radius2;
  int32_t m_Side = 0;
};

// Kinds 11 and 12: two references and which of their crossings is taken,
// counted from 1.
class CLineCurveIntersectPoint : public CGradedPoint {
 public:
  CLineCurveIntersectPoint(CPatternData* owner, uint16_t status);

  CGradedObject* GetLine() const { return m_Line.object; }
  CGradedObject* GetCurve() const { return m_Curve.object; }
  int32_t GetCrossing() const { return m_Crossing; }

  // Shown, or both the line and the curve there and shown.
  BOOL IsDefined() const override;
  // The base part, the line and curve positions, the crossing number.
  BOOL Load(ArchiveReader& archive) override;

 private:
  Reference m_Line{kObjectKindLine};
  Reference m_Curve{kObjectKindCurve};
  int32_t m_Crossing = 0;
};

class CCurveIntersectPoint : public CGradedPoint {
 public:
  CCurveIntersectPoint(CPatternData* owner, uint16_t status);

  CGradedObject* GetCurve1() const { return m_Curve1.object; }
  CGradedObject* GetCurve2() const { return m_Curve2.object; }
  int32_t GetCrossing() const { return m_Crossing; }

  // Shown, or both curves there and shown.
  BOOL IsDefined() const override;
  // The base part, the two curve positions, the crossing number.
  BOOL Load(ArchiveReader& archive) override;

 private:
  Reference m_Curve1{kObjectKindCurve};
  Reference m_Curve2{kObjectKindCurve};
  int32_t m_Crossing = 0;
};

class CPerpendicularFootPoint : public CGradedPoint {
 public:
  CPerpendicularFootPoint(CPatternData* owner, uint16_t status);

  // The point dropped on the line, and the two points the line runs through.
  CGradedPoint* GetPoint() const { return static_cast<CGradedPoint*>(m_Point.object); }
  CGradedPoint* GetLinePoint1() const { return static_cast<CGradedPoint*>(m_LinePoint1.object); }
  CGradedPoint* GetLinePoint2() const { return static_cast<CGradedPoint*>(m_LinePoint2.object); }

  // The base part, then the three point positions.
  BOOL Load(ArchiveReader& archive) override;

 private:
  Reference m_Point{kObjectKindPoint};
  Reference m_LinePoint1{kObjectKindPoint};
  Reference m_LinePoint2{kObjectKindPoint};
};

class CLineCircleIntersectPoint : public CGradedPoint {
 public:
  // Which crossing of the line with the circle is taken.
  static constexpr int32_t kFirstCrossing = 1;
  static constexpr int32_t kSecondCrossing = 2;

  // For the loaders: no centre, no line, an empty radius of the owner, and
  // a linear label of this point for the radius.
  CLineCircleIntersectPoint(CPatternData* owner, uint16_t status);

  CGradedPoint* GetCentre() const { return static_cast<CGradedPoint*>(m_Centre.object); }
  CGradedObject* GetLine() const { return m_Line.object; }
  const CFormula& GetRadius() const { return m_Radius; }
  int32_t GetChoice() const { return m_Choice; }
  const CDimLabel& GetRadiusLabel() const { return m_RadiusLabel; }

  // The base part, the centre and line positions, the radius, the choice
  // and the radius label.
  BOOL Load(ArchiveReader& archive) override;

 private:
  Reference m_Centre{kObjectKindPoint};
  Reference m_Line{kObjectKindLine};
  CFormula m_Radius;
  int32_t m_Choice = kFirstCrossing;
  CDimLabel m_RadiusLabel;
};

class CAxisLinesIntersectPoint : public CGradedPoint {
 public:
  // A flag of 0 takes the vertical line through its point; any other value
  // the horizontal one.
  static constexpr int32_t kVerticalLine = 0;

  CAxisLinesIntersectPoint(CPatternData* owner, uint16_t status);

  CGradedPoint* GetPoint1() const { return static_cast<CGradedPoint*>(m_Point1.object); }
  int32_t GetFlag1() const { return m_Flag1; }
  CGradedPoint* GetPoint2() const { return static_cast<CGradedPoint*>(m_Point2.object); }
  int32_t GetFlag2() const { return m_Flag2; }

  // The base part, then each point followed by its flag.
  BOOL Load(ArchiveReader& archive) override;

 private:
  Reference m_Point1{kObjectKindPoint};
  int32_t m_Flag1 = kVerticalLine;
  Reference m_Point2{kObjectKindPoint};
  int32_t m_Flag2 = kVerticalLine;
};

// Joins kinds 9, 10, 11, 12, 19, 21 and 22 to the point-kind table; the
// loader makes them with status 0.
void RegisterIntersectionPoints();
