// The curve-span points: a point on the part of a curve between two of the
// curve's own points, at a ratio of that part's length (kind 35,
// CCurveSpanRatioPoint, the span form of kind 5) or at a graded distance
// from the start point (kind 36, CCurveSpanDistancePoint, the span form of
// kind 8; the end point takes no part in placing it, but must be set and
// fixes the direction flag of older files). Kind 36 shows its distance in a
// path beside the curve; kind 35 has no label.
//
// Files below data version 109 store no direction flag for kinds 5, 8, 35
// and 36; UpdatePointDirections derives it after such a load.
#pragma once

#include <cstdint>
#include <vector>

#include "design/core/formula.h"
#include "design/points/curve_direction.h"
#include "design/points/graded_point.h"
#include "design/points/ratio_points.h"

class CGradedCurve;
class CPatternData;

inline constexpr int32_t kPointKindCurveSpanRatio = 35;
inline constexpr int32_t kPointKindCurveSpanDistance = 36;

class CCurveSpanRatioPoint : public CGradedPoint {
 public:
  // For the loaders: no curve, direction flag 1, no ratio.
  CCurveSpanRatioPoint(CPatternData* owner, uint16_t status);
  // The point `part` of `parts` equal parts (or the fixed `ratio`) of the
  // length of the curve's part between `start` and `end`, walked in the
  // sense `direction` gives; every size is computed at once.
  CCurveSpanRatioPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* start,
                       CGradedPoint* end, int32_t direction, int32_t parts, int32_t part);
  CCurveSpanRatioPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* start,
                       CGradedPoint* end, int32_t direction, double ratio);

  // Reads the base part, the direction flag (from version 109 on), the
  // curve, start point and end point positions and the ratio. 0 when the
  // record is cut short; the point is then left as it was.
  BOOL Load(ArchiveReader& archive) override;

  // The curve (an object of kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  // The two points of the curve's definition that bound the part.
  CGradedPoint* GetStartPoint() const { return static_cast<CGradedPoint*>(m_StartPoint.object); }
  CGradedPoint* GetEndPoint() const { return static_cast<CGradedPoint*>(m_EndPoint.object); }
  int32_t GetDirection() const { return m_Direction; }
  void GetFraction(int32_t* parts, int32_t* part) const;
  double GetRatio() const { return m_Ratio.ratio; }
  int32_t IsFraction() const { return m_Ratio.fraction; }

  // Store the references, the direction and the fraction (fixed ratio),
  // then compute every size again.
  void SetParamsFraction(CGradedCurve* curve, CGradedPoint* start, CGradedPoint* end, int32_t direction,
                         int32_t parts, int32_t part);
  void SetParamsRatio(CGradedCurve* curve, CGradedPoint* start, CGradedPoint* end, int32_t direction,
                      double ratio);
  // Store the fraction (fixed ratio) and mark every size dirty.
  void SetFraction(int32_t parts, int32_t part);
  void SetRatio(double ratio);
  // Every field; a null out pointer is skipped.
  void GetParams(CGradedCurve** curve, CGradedPoint** start, CGradedPoint** end, int32_t* direction,
                 int32_t* parts, int32_t* part, double* ratio, int32_t* fraction) const;

  // For files that did not store the direction flag, once references are
  // resolved: walking the curve's defining points, 1 when the end point
  // comes first or neither occurs, 0 when the start point comes first.
  // Without a curve, or a curve that names no points, the flag stays.
  void UpdateDirection();

  // Whether `curve` is its curve.
  BOOL UsesCurve(const CGradedCurve* curve) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The curve's point at the ratio of the part between the two points
  // (PointAtRatioBetween), with its result; 0 without the curve or either
  // point.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Curve{kObjectKindCurve};
  Reference m_StartPoint{kObjectKindPoint};
  Reference m_EndPoint{kObjectKindPoint};
  int32_t m_Direction = kDefaultCurveDirection;
  PointRatio m_Ratio;
};

class CCurveSpanDistancePoint : public CGradedPoint {
 public:
  // For the loaders: no curve, direction flag 1, an empty distance, the
  // label bound to this point.
  CCurveSpanDistancePoint(CPatternData* owner, uint16_t status);
  // The point at `distance` along the curve from `start` in the sense
  // `direction` gives; `end` bounds the part but does not place the point.
  // Every size is computed at once.
  CCurveSpanDistancePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* start,
                          CGradedPoint* end, int32_t direction, const CFormula& distance);

  // Reads the base part, the direction flag (from version 109 on), the
  // curve, start point and end point positions, the distance and, from
  // version 102 on, the label. 0 when the record is cut short; the point is
  // then left as it was.
  BOOL Load(ArchiveReader& archive) override;

  CGradedObject* GetCurve() const { return m_Curve.object; }
  CGradedPoint* GetStartPoint() const { return static_cast<CGradedPoint*>(m_StartPoint.object); }
  CGradedPoint* GetEndPoint() const { return static_cast<CGradedPoint*>(m_EndPoint.object); }
  int32_t GetDirection() const { return m_Direction; }
  // Stores the flag; nothing is invalidated.
  void SetDirection(int32_t direction) { m_Direction = direction; }
  CFormula GetDistance() const { return m_Distance; }
  // Takes the look of `label`; the label stays this point's.
  void SetLabel(const CDimLabel& label) { m_Label.CopyFrom(label); }
  const CDimLabel& GetLabel() const { return m_Label; }

  // Store the references, the direction and the distance, then compute
  // every size again.
  void SetParams(CGradedCurve* curve, CGradedPoint* start, CGradedPoint* end, int32_t direction,
                 const CFormula& distance);
  // Stores the distance and marks every size dirty.
  void SetDistance(const CFormula& distance);

  // As kind 35 with the two points in the other order: 1 when the start
  // point comes first or neither occurs, 0 when the end point comes first.
  void UpdateDirection();

  // Whether `curve` is its curve.
  BOOL UsesCurve(const CGradedCurve* curve) const override;

  // ---- The distance label: as kind 8's (distance_points.h) ---------------
  void SetLabelVisible(BOOL show) override;
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  void GetCurveLabelText(CDimLabel* label, CString& text, std::vector<CPoint>& path) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The curve's point at the distance from the start point
  // (PointAtLengthFormula), with its result; 0 without the curve or either
  // point, although the end point takes no part in placing it.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Curve{kObjectKindCurve};
  Reference m_StartPoint{kObjectKindPoint};
  Reference m_EndPoint{kObjectKindPoint};
  int32_t m_Direction = kDefaultCurveDirection;
  CFormula m_Distance;
  CDimLabel m_Label;
};

// Joins kinds 35 and 36 to the point-kind table; the loader makes them with
// status 0.
void RegisterSpanPoints();

// For a design read from a file below data version 109, once every
// reference is resolved: walks the object list from the head and has every
// point of kind 5, 8, 35 or 36 derive its direction flag (UpdateDirection).
void UpdatePointDirections(CPatternData& data);
