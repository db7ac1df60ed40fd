// The ratio points: a point at a ratio of a distance, between two points
// (kind 3, CSegmentRatioPoint), along a two-point line from one of its ends
// (kind 4, CLineRatioPoint) or along a curve from one of its points (kind 5,
// CCurveRatioPoint). The ratio is either a fixed number or a fraction, a part
// of so many equal parts; kinds 3 and 4 show the fraction as a row of equal
// arcs, kind 5 has no label.
//
// A curve point also keeps a direction flag, the sense in which the curve is
// walked from its start point. Files below data version 109 do not store it;
// after such a load UpdatePointDirections (span_points.h) derives it from the
// order of the curve's defining points.
#pragma once

#include <cstdint>

#include "design/points/curve_direction.h"
#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindSegmentRatio = 3;
inline constexpr int32_t kPointKindLineRatio = 4;
inline constexpr int32_t kPointKindCurveRatio = 5;

// The ratio of a ratio point: the fraction part / parts when the fraction
// flag is set, the fixed ratio otherwise. Nothing is checked here: an
// impossible fraction is kept as stored (the point then falls on its start).
struct PointRatio {
  int32_t parts = 0;
  int32_t part = 0;
  double ratio = 0.0;
  int32_t fraction = 0;

  // Reads parts, part, the fixed ratio and the fraction flag.
  BOOL Read(ArchiveReader& archive);
};

class CSegmentRatioPoint : public CGradedPoint {
 public:
  // For the loaders: no points, no ratio, the label bound to this point.
  CSegmentRatioPoint(CPatternData* owner, uint16_t status);

  // Reads the base part, the two point positions, the ratio and the label.
  // 0 when the record is cut short; the point is then left as it was.
  BOOL Load(ArchiveReader& archive) override;

  void GetPoints(CGradedPoint** point1, CGradedPoint** point2) const;
  CGradedPoint* GetPoint1() const { return static_cast<CGradedPoint*>(m_Point1.object); }
  CGradedPoint* GetPoint2() const { return static_cast<CGradedPoint*>(m_Point2.object); }
  void GetFraction(int32_t* parts, int32_t* part) const;
  double GetRatio() const { return m_Ratio.ratio; }
  int32_t IsFraction() const { return m_Ratio.fraction; }
  CDimLabel GetLabel() const { return m_Label; }

 private:
  Reference m_Point1{kObjectKindPoint};
  Reference m_Point2{kObjectKindPoint};
  PointRatio m_Ratio;
  CDimLabel m_Label;
};

class CLineRatioPoint : public CGradedPoint {
 public:
  CLineRatioPoint(CPatternData* owner, uint16_t status);

  // Reads the base part, the line and start point positions, the ratio and
  // the label. 0 when the record is cut short; the point is then left as it
  // was.
  BOOL Load(ArchiveReader& archive) override;

  // The two-point line (an object of kind 2).
  CGradedObject* GetLine() const { return m_Line.object; }
  // The end of the line from which the ratio is measured.
  CGradedPoint* GetStartPoint() const { return static_cast<CGradedPoint*>(m_StartPoint.object); }
  void GetFraction(int32_t* parts, int32_t* part) const;
  double GetRatio() const { return m_Ratio.ratio; }
  int32_t IsFraction() const { return m_Ratio.fraction; }
  CDimLabel GetLabel() const { return m_Label; }

 private:
  Reference m_Line{kObjectKindLine};
  Reference m_StartPoint{kObjectKindPoint};
  PointRatio m_Ratio;
  CDimLabel m_Label;
};

class CCurveRatioPoint : public CGradedPoint {
 public:
  // For the loaders: no curve, no ratio, direction flag 1.
  CCurveRatioPoint(CPatternData* owner, uint16_t status);

  // Reads the base part, the direction flag (from version 109 on), the
  // curve and start point positions and the ratio. 0 when the record is cut
  // short; the point is then left as it was.
  BOOL Load(ArchiveReader& archive) override;

  // The curve (an object of kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  // The point of the curve's definition from which the ratio is measured.
  CGradedPoint* GetStartPoint() const { return static_cast<CGradedPoint*>(m_StartPoint.object); }
  int32_t GetDirection() const { return m_Direction; }
  void GetFraction(int32_t* parts, int32_t* part) const;
  double GetRatio() const { return m_Ratio.ratio; }
  int32_t IsFraction() const { return m_Ratio.fraction; }

  // For files that did not store the direction flag, once references are
  // resolved: 1 when the start point is the first of the curve's defining
  // points, else 0. Without a curve, or a curve that names no points, the
  // flag stays as it is.
  void UpdateDirection();

 private:
  Reference m_Curve{kObjectKindCurve};
  Reference m_StartPoint{kObjectKindPoint};
  int32_t m_Direction = kDefaultCurveDirection;
  PointRatio m_Ratio;
};

// Joins kinds 3, 4 and 5 to the point-kind table; the loader makes them with
// status 0.
void RegisterRatioPoints();
