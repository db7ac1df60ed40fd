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
// Each computes anew for every size from the positions its objects have at
// that size. Where the objects no longer meet at a graded size, kinds 9, 10,
// 11, 12 and 21 keep the position of the base size with the result 0, so a
// graded pattern keeps a usable point while callers still learn of the
// failure. A missing reference gives no position: the size keeps the one
// cached before, with the result 0.
//
// The full constructors take every field and compute every size at once.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

class CGradedCurve;
class CGradedLine;

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
  CLineIntersectPoint(CPatternData* owner, uint16_t status, CGradedLine* line1, CGradedLine* line2);

  // Stores both lines, then computes every size again.
  void SetLines(CGradedLine* line1, CGradedLine* line2);
  void GetLines(CGradedLine** line1, CGradedLine** line2) const;

  CGradedObject* GetLine1() const { return m_Line1.object; }
  CGradedObject* GetLine2() const { return m_Line2.object; }

  // Shown, or both lines there and shown: the crossing is then in use even
  // while the point itself is hidden.
  BOOL IsDefined() const override;
  // The base part, then the two line positions. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;

  // Whether `line` is one of the two lines.
  BOOL UsesLine(const CGradedLine* line) const override;
  // The two lines are a and b, in either order, and the point lies at
  // (x, y) at the base size, whatever its result there.
  BOOL IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y) override;

 protected:
  // Where the unbounded lines through each line's through points cross:
  // within the segments, outside them, or at an end two collinear lines
  // share. Parallel lines, and collinear ones that overlap, have no
  // crossing.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Line1{kObjectKindLine};
  Reference m_Line2{kObjectKindLine};
};

class CCircleIntersectPoint : public CGradedPoint {
 public:
  // For the loaders: both points unset, both distances empty formulas of
  // the owner, side 0.
  CCircleIntersectPoint(CPatternData* owner, uint16_t status);
  CCircleIntersectPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1, const CFormula& radius1,
                        CGradedPoint* point2, const CFormula& radius2, int32_t side);

  // Stores every field, then computes every size again.
  void SetDefinition(CGradedPoint* point1, const CFormula& radius1, CGradedPoint* point2, const CFormula& radius2,
                     int32_t side);
  void GetDefinition(CGradedPoint** point1, CFormula* radius1, CGradedPoint** point2, CFormula* radius2,
                     int32_t* side) const;

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

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // Where the circles meet, on the chosen side (a lone touching point for
  // either side; another side value keeps the cached position, with the
  // result 1 all the same). Circles that do not meet give, at the base size,
  // the midpoint of the two points with the result 1. The second point is
  // asked only when the first was had; without the first there are no
  // circles to cross, and the size fails as circles that miss do.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

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
  CLineCurveIntersectPoint(CPatternData* owner, uint16_t status, CGradedLine* line, CGradedCurve* curve,
                           int32_t crossing);

  // Stores the fields, then computes every size again.
  void SetParams(CGradedLine* line, CGradedCurve* curve, int32_t crossing);
  void GetParams(CGradedLine** line, CGradedCurve** curve, int32_t* crossing) const;

  CGradedObject* GetLine() const { return m_Line.object; }
  CGradedObject* GetCurve() const { return m_Curve.object; }
  int32_t GetCrossing() const { return m_Crossing; }

  // Shown, or both the line and the curve there and shown.
  BOOL IsDefined() const override;
  // The base part, the line and curve positions, the crossing number.
  BOOL Load(ArchiveReader& archive) override;

  BOOL UsesLine(const CGradedLine* line) const override;
  BOOL UsesCurve(const CGradedCurve* curve) const override;
  // The line and the curve are a and b, in either order, and the point is
  // had at the base size at (x, y).
  BOOL IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y) override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The crossing the number chooses (counted from 1 along the curve; 0 or
  // less the first, beyond the count the last) of the segment between the
  // line's through points with the whole curve, closed curves with their
  // closing segment.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Line{kObjectKindLine};
  Reference m_Curve{kObjectKindCurve};
  int32_t m_Crossing = 0;
};

class CCurveIntersectPoint : public CGradedPoint {
 public:
  CCurveIntersectPoint(CPatternData* owner, uint16_t status);
  CCurveIntersectPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve1, CGradedCurve* curve2,
                       int32_t crossing);

  // Stores the fields, then computes every size again.
  void SetParams(CGradedCurve* curve1, CGradedCurve* curve2, int32_t crossing);
  void GetParams(CGradedCurve** curve1, CGradedCurve** curve2, int32_t* crossing) const;

  CGradedObject* GetCurve1() const { return m_Curve1.object; }
  CGradedObject* GetCurve2() const { return m_Curve2.object; }
  int32_t GetCrossing() const { return m_Crossing; }

  // Shown, or both curves there and shown.
  BOOL IsDefined() const override;
  // The base part, the two curve positions, the crossing number.
  BOOL Load(ArchiveReader& archive) override;

  BOOL UsesCurve(const CGradedCurve* curve) const override;
  // The two curves are a and b, in either order, and the point is had at
  // the base size at (x, y).
  BOOL IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y) override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The crossing the number chooses (as kind 11) of the two whole curves.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Curve1{kObjectKindCurve};
  Reference m_Curve2{kObjectKindCurve};
  int32_t m_Crossing = 0;
};

class CPerpendicularFootPoint : public CGradedPoint {
 public:
  CPerpendicularFootPoint(CPatternData* owner, uint16_t status);
  CPerpendicularFootPoint(CPatternData* owner, uint16_t status, CGradedPoint* point, CGradedPoint* linePoint1,
                          CGradedPoint* linePoint2);

  // Stores the three points, then computes every size again.
  void SetParams(CGradedPoint* point, CGradedPoint* linePoint1, CGradedPoint* linePoint2);
  void GetParams(CGradedPoint** point, CGradedPoint** linePoint1, CGradedPoint** linePoint2) const;

  // The point dropped on the line, and the two points the line runs through.
  CGradedPoint* GetPoint() const { return static_cast<CGradedPoint*>(m_Point.object); }
  CGradedPoint* GetLinePoint1() const { return static_cast<CGradedPoint*>(m_LinePoint1.object); }
  CGradedPoint* GetLinePoint2() const { return static_cast<CGradedPoint*>(m_LinePoint2.object); }

  // The base part, then the three point positions.
  BOOL Load(ArchiveReader& archive) override;

  // Whether both line points are related to `line` (its through points or
  // ends, or points defined on it).
  BOOL UsesLine(const CGradedLine* line) const override;
  // Its two points, which UsesLine asks the line about.
  BOOL GetLinePair(const CGradedObject** first, const CGradedObject** second) const override;

 protected:
  // The foot on the unbounded line through the two line points (the point
  // itself when they coincide), computed from whatever positions the three
  // points give; 1 only when all three were had.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

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
  CLineCircleIntersectPoint(CPatternData* owner, uint16_t status, CGradedPoint* centre, CGradedLine* line,
                            const CFormula& radius, int32_t choice);

  // Stores the fields, then computes every size again.
  void SetParams(CGradedPoint* centre, CGradedLine* line, const CFormula& radius, int32_t choice);
  void GetParams(CGradedPoint** centre, CGradedLine** line, CFormula* radius, int32_t* choice) const;
  // Stores the radius; every size is computed again when next asked.
  void SetRadius(const CFormula& radius);
  // Takes over a label's settings; the label stays bound to this point.
  void SetRadiusLabel(const CDimLabel& label) { m_RadiusLabel.CopyFrom(label); }

  CGradedPoint* GetCentre() const { return static_cast<CGradedPoint*>(m_Centre.object); }
  CGradedObject* GetLine() const { return m_Line.object; }
  const CFormula& GetRadius() const { return m_Radius; }
  int32_t GetChoice() const { return m_Choice; }
  const CDimLabel& GetRadiusLabel() const { return m_RadiusLabel; }

  // The base part, the centre and line positions, the radius, the choice
  // and the radius label.
  BOOL Load(ArchiveReader& archive) override;

  BOOL UsesLine(const CGradedLine* line) const override;

  // ---- The radius label ---------------------------------------------------
  // Shows only while this point and the centre are in use.
  void SetLabelVisible(BOOL show) override;
  // The radius label edits the radius (no size is computed again here);
  // GetFormula hands out the radius whatever label is asked.
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  // The radius's dimension at the base size, from the centre to this point.
  void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // A crossing of the unbounded line through the line's through points with
  // the circle about the centre: the first, or the second (the first again
  // for a tangent); another choice keeps the cached position. 1 only when
  // the centre and both through points were had. Without a crossing the
  // base size takes the line's first through point with the result 1.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

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
  CAxisLinesIntersectPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1, int32_t flag1,
                           CGradedPoint* point2, int32_t flag2);

  // Stores the fields, then computes every size again.
  void SetParams(CGradedPoint* point1, int32_t flag1, CGradedPoint* point2, int32_t flag2);
  void GetParams(CGradedPoint** point1, int32_t* flag1, CGradedPoint** point2, int32_t* flag2) const;

  CGradedPoint* GetPoint1() const { return static_cast<CGradedPoint*>(m_Point1.object); }
  int32_t GetFlag1() const { return m_Flag1; }
  CGradedPoint* GetPoint2() const { return static_cast<CGradedPoint*>(m_Point2.object); }
  int32_t GetFlag2() const { return m_Flag2; }

  // The base part, then each point followed by its flag.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // Where the two axis lines cross; none (result 0, the cached position)
  // when either point is not had or both lines run the same way.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Point1{kObjectKindPoint};
  int32_t m_Flag1 = kVerticalLine;
  Reference m_Point2{kObjectKindPoint};
  int32_t m_Flag2 = kVerticalLine;
};

// Joins kinds 9, 10, 11, 12, 19, 21 and 22 to the point-kind table; the
// loader makes them with status 0.
void RegisterIntersectionPoints();
