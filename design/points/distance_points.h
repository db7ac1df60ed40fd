// The distance points: a point at a graded distance (a formula, so that it
// follows the size table from size to size) from one point towards another
// (kind 6, CDistanceTowardsPoint), along a two-point line from one of its
// ends (kind 7, CLineDistancePoint) or along a curve from one of its points
// (kind 8, CCurveDistancePoint). Each shows its distance in one label: a
// dimension line for kinds 6 and 7, a path beside the curve for kind 8.
//
// Kind 8 keeps a direction flag as kind 5 does (ratio_points.h); files below
// data version 102 store no label with it.
#pragma once

#include <cstdint>
#include <vector>

#include "design/core/formula.h"
#include "design/points/curve_direction.h"
#include "design/points/graded_point.h"

class CGradedCurve;
class CGradedLine;

inline constexpr int32_t kPointKindDistanceTowards = 6;
inline constexpr int32_t kPointKindLineDistance = 7;
inline constexpr int32_t kPointKindCurveDistance = 8;

// The points that measure a distance along a curve (kinds 8 and 36) store
// their label from this data version on.
inline constexpr int32_t kFirstVersionWithCurveDistanceLabel = 102;

class CDistanceTowardsPoint : public CGradedPoint {
 public:
  // For the loaders: no points, an empty distance, the label bound to this
  // point.
  CDistanceTowardsPoint(CPatternData* owner, uint16_t status);
  // The point at `distance` from point1 towards point2; every size is
  // computed at once (SetParams).
  CDistanceTowardsPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1, CGradedPoint* point2,
                        const CFormula& distance);

  // Reads the base part, the two point positions, the distance and the
  // label. 0 when the record is cut short; the point is then left as it was.
  BOOL Load(ArchiveReader& archive) override;

  // Stores the points and the distance, then computes every size again.
  void SetParams(CGradedPoint* point1, CGradedPoint* point2, const CFormula& distance);
  // Stores the distance and marks every size dirty.
  void SetDistance(const CFormula& distance);

  void GetPoints(CGradedPoint** point1, CGradedPoint** point2) const;
  // Where the distance starts, and the point that gives its direction.
  CGradedPoint* GetPoint1() const { return static_cast<CGradedPoint*>(m_Point1.object); }
  CGradedPoint* GetPoint2() const { return static_cast<CGradedPoint*>(m_Point2.object); }
  CFormula GetDistance() const { return m_Distance; }
  // Takes the look of `label`; the label stays this point's.
  void SetLabel(const CDimLabel& label) { m_Label.CopyFrom(label); }
  const CDimLabel& GetLabel() const { return m_Label; }

  // Whether both points lie on the line (its IsRelatedTo).
  BOOL UsesLine(const CGradedLine* line) const override;
  // Its two points, which UsesLine asks the line about.
  BOOL GetLinePair(const CGradedObject** first, const CGradedObject** second) const override;

  // ---- The distance label -------------------------------------------------
  // Shows only while this point and point 1 are in use.
  void SetLabelVisible(BOOL show) override;
  // The label edits the distance when it is this point's (no size is
  // computed again here); GetFormula hands out the distance for this
  // point's label and an empty formula without owner for any other.
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  // The distance's dimension at the base size, from point 1 to this point.
  void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const override;

 protected:
  // Point 1 plus the distance along the ray through point 2, each offset
  // rounded half away from zero before it is added; the distance is not
  // limited (beyond point 2, or backwards when negative). Coinciding points
  // give point 1. 0 without both points, or when one fails at the size
  // (then point 1 itself when point 1 fails, else the point from the
  // positions handed out).
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Point1{kObjectKindPoint};
  Reference m_Point2{kObjectKindPoint};
  CFormula m_Distance;
  CDimLabel m_Label;
};

class CLineDistancePoint : public CGradedPoint {
 public:
  CLineDistancePoint(CPatternData* owner, uint16_t status);
  // The point at `distance` along the line from its through point `start`
  // towards the other one; every size is computed at once.
  CLineDistancePoint(CPatternData* owner, uint16_t status, CGradedLine* line, CGradedPoint* start,
                     const CFormula& distance);

  // Reads the base part, the line and start point positions, the distance
  // and the label. 0 when the record is cut short; the point is then left
  // as it was.
  BOOL Load(ArchiveReader& archive) override;

  // As CDistanceTowardsPoint's.
  void SetParams(CGradedLine* line, CGradedPoint* start, const CFormula& distance);
  void SetDistance(const CFormula& distance);

  // The two-point line (an object of kind 2).
  CGradedObject* GetLine() const { return m_Line.object; }
  // The end of the line from which the distance is measured.
  CGradedPoint* GetStartPoint() const { return static_cast<CGradedPoint*>(m_StartPoint.object); }
  CFormula GetDistance() const { return m_Distance; }
  void SetLabel(const CDimLabel& label) { m_Label.CopyFrom(label); }
  const CDimLabel& GetLabel() const { return m_Label; }

  // Whether `line` is its line.
  BOOL UsesLine(const CGradedLine* line) const override;

  // ---- The distance label: as kind 6's, from the start point -------------
  void SetLabelVisible(BOOL show) override;
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const override;

 protected:
  // The line's point at the distance from the start point
  // (PointAtDistanceFormula: the other end once the distance reaches the
  // line's length), with its result; 0 without a line or start point.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Line{kObjectKindLine};
  Reference m_StartPoint{kObjectKindPoint};
  CFormula m_Distance;
  CDimLabel m_Label;
};

class CCurveDistancePoint : public CGradedPoint {
 public:
  // For the loaders: no curve, direction flag 1, an empty distance, the
  // label bound to this point.
  CCurveDistancePoint(CPatternData* owner, uint16_t status);
  // The point at `distance` along the curve from `start`, one of its
  // defining points, in the sense `direction` gives; every size is computed
  // at once.
  CCurveDistancePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* start,
                      int32_t direction, const CFormula& distance);

  // Reads the base part, the direction flag (from version 109 on), the curve
  // and start point positions, the distance and, from version 102 on, the
  // label. 0 when the record is cut short; the point is then left as it was.
  BOOL Load(ArchiveReader& archive) override;

  // As CDistanceTowardsPoint's, with the direction flag.
  void SetParams(CGradedCurve* curve, CGradedPoint* start, int32_t direction, const CFormula& distance);
  void SetDistance(const CFormula& distance);

  // The curve (an object of kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  // The point of the curve's definition from which the distance is measured.
  CGradedPoint* GetStartPoint() const { return static_cast<CGradedPoint*>(m_StartPoint.object); }
  int32_t GetDirection() const { return m_Direction; }
  // Stores the flag; nothing is invalidated.
  void SetDirection(int32_t direction) { m_Direction = direction; }
  CFormula GetDistance() const { return m_Distance; }
  void SetLabel(const CDimLabel& label) { m_Label.CopyFrom(label); }
  const CDimLabel& GetLabel() const { return m_Label; }

  // For files that did not store the direction flag, once references are
  // resolved: 1 when the start point is the first of the curve's defining
  // points, else 0. Without a curve, or a curve that names no points, the
  // flag stays as it is.
  void UpdateDirection();

  // Whether `curve` is its curve.
  BOOL UsesCurve(const CGradedCurve* curve) const override;

  // ---- The distance label: a path beside the curve ------------------------
  // Shows only while this point and the start point are in use and the
  // curve is shown.
  void SetLabelVisible(BOOL show) override;
  // As kind 6's.
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  // The part of the curve's whole polyline at the base size from the start
  // point to this point, with the distance's text; the path is empty when
  // the curve gives no polyline or either point lies off it.
  void GetCurveLabelText(CDimLabel* label, CString& text, std::vector<CPoint>& path) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The curve's point at the distance from the start point
  // (PointAtLengthFormula), with its result; 0 without a curve or start
  // point.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Curve{kObjectKindCurve};
  Reference m_StartPoint{kObjectKindPoint};
  int32_t m_Direction = kDefaultCurveDirection;
  CFormula m_Distance;
  CDimLabel m_Label;
};

// The path of the labels that run along a curve (kinds 8 and 36): the part
// of the curve's whole polyline at `size` between the positions `from` and
// `to`, walked from `from`. Empty when there is no curve, it gives no
// polyline, or a position lies off it.
void CurvePathBetween(CGradedCurve* curve, int32_t size, CPoint from, CPoint to, std::vector<CPoint>& path);

// Joins kinds 6, 7 and 8 to the point-kind table; the loader makes them with
// status 0.
void RegisterDistancePoints();
