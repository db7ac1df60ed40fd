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

class CGradedCurve;
class CGradedLine;

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

  // The ratio a point is placed at: part / parts for a fraction of at least
  // one part with 0 <= part <= parts, 0.0 for any other fraction (the point
  // falls on its start), the fixed ratio as stored otherwise. A fixed ratio
  // is not limited to 0..1 and may be any double a file holds, NaN and
  // infinities included; the points round what it gives with RoundToNearest.
  double InForce() const;

  // The fraction form (flag 1) and the fixed form (flag 0); the other form's
  // values stay as they are.
  void SetFraction(int32_t newParts, int32_t newPart);
  void SetRatio(double newRatio);
};

class CSegmentRatioPoint : public CGradedPoint {
 public:
  // For the loaders: no points, no ratio, the label bound to this point.
  CSegmentRatioPoint(CPatternData* owner, uint16_t status);
  // The point `part` of `parts` equal parts of the way from point1 to
  // point2, or at the fixed `ratio` of it; every size is computed at once
  // (SetParamsFraction, SetParamsRatio).
  CSegmentRatioPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1, CGradedPoint* point2,
                     int32_t parts, int32_t part);
  CSegmentRatioPoint(CPatternData* owner, uint16_t status, CGradedPoint* point1, CGradedPoint* point2,
                     double ratio);

  // Reads the base part, the two point positions, the ratio and the label.
  // 0 when the record is cut short; the point is then left as it was.
  BOOL Load(ArchiveReader& archive) override;

  // Store the points and the fraction (fixed ratio), then compute every
  // size again.
  void SetParamsFraction(CGradedPoint* point1, CGradedPoint* point2, int32_t parts, int32_t part);
  void SetParamsRatio(CGradedPoint* point1, CGradedPoint* point2, double ratio);
  // Store the fraction (fixed ratio) and mark every size dirty. A fixed
  // ratio shows no division, so SetRatio hides the label.
  void SetFraction(int32_t parts, int32_t part);
  void SetRatio(double ratio);
  // Every field but the label; a null out pointer is skipped.
  void GetParams(CGradedPoint** point1, CGradedPoint** point2, int32_t* parts, int32_t* part, double* ratio,
                 int32_t* fraction) const;

  void GetPoints(CGradedPoint** point1, CGradedPoint** point2) const;
  CGradedPoint* GetPoint1() const { return static_cast<CGradedPoint*>(m_Point1.object); }
  CGradedPoint* GetPoint2() const { return static_cast<CGradedPoint*>(m_Point2.object); }
  void GetFraction(int32_t* parts, int32_t* part) const;
  double GetRatio() const { return m_Ratio.ratio; }
  int32_t IsFraction() const { return m_Ratio.fraction; }
  // Takes the look of `label`; the label stays this point's.
  void SetLabel(const CDimLabel& label) { m_Label.CopyFrom(label); }
  const CDimLabel& GetLabel() const { return m_Label; }

  // Whether both points lie on the line (its IsRelatedTo).
  BOOL UsesLine(const CGradedLine* line) const override;
  // Its two points, which UsesLine asks the line about.
  BOOL GetLinePair(const CGradedObject** first, const CGradedObject** second) const override;

  // ---- The division label -------------------------------------------------
  // A fixed ratio shows no division: the label is hidden. A fraction shows
  // it only while this point and point 1 are in use.
  void SetLabelVisible(BOOL show) override;
  // A division has no text to hit.
  BOOL HitLabel(int32_t x, int32_t y, CDimLabel** label) override;
  // The segment the label divides, at the base size, from point 1 to point
  // 2, and the number of parts as stored (in either form).
  void GetRatioSpan(CDimLabel* label, double* parts, CPoint* from, CPoint* to) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // Point 1 plus the ratio of the way to point 2, the offset rounded half
  // away from zero before it is added. 0 without both points, or when one of
  // them fails at the size (then point 1 itself when point 1 fails, else the
  // point from the positions handed out).
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Point1{kObjectKindPoint};
  Reference m_Point2{kObjectKindPoint};
  PointRatio m_Ratio;
  CDimLabel m_Label;
};

class CLineRatioPoint : public CGradedPoint {
 public:
  CLineRatioPoint(CPatternData* owner, uint16_t status);
  // The point `part` of `parts` equal parts (or the fixed `ratio`) of the
  // way along the line from its through point `start` to the other one;
  // every size is computed at once.
  CLineRatioPoint(CPatternData* owner, uint16_t status, CGradedLine* line, CGradedPoint* start, int32_t parts,
                  int32_t part);
  CLineRatioPoint(CPatternData* owner, uint16_t status, CGradedLine* line, CGradedPoint* start, double ratio);

  // Reads the base part, the line and start point positions, the ratio and
  // the label. 0 when the record is cut short; the point is then left as it
  // was.
  BOOL Load(ArchiveReader& archive) override;

  // As CSegmentRatioPoint's.
  void SetParamsFraction(CGradedLine* line, CGradedPoint* start, int32_t parts, int32_t part);
  void SetParamsRatio(CGradedLine* line, CGradedPoint* start, double ratio);
  void SetFraction(int32_t parts, int32_t part);
  void SetRatio(double ratio);
  void GetParams(CGradedLine** line, CGradedPoint** start, int32_t* parts, int32_t* part, double* ratio,
                 int32_t* fraction) const;

  // The two-point line (an object of kind 2).
  CGradedObject* GetLine() const { return m_Line.object; }
  // The end of the line from which the ratio is measured.
  CGradedPoint* GetStartPoint() const { return static_cast<CGradedPoint*>(m_StartPoint.object); }
  void GetFraction(int32_t* parts, int32_t* part) const;
  double GetRatio() const { return m_Ratio.ratio; }
  int32_t IsFraction() const { return m_Ratio.fraction; }
  void SetLabel(const CDimLabel& label) { m_Label.CopyFrom(label); }
  const CDimLabel& GetLabel() const { return m_Label; }

  // Whether `line` is its line.
  BOOL UsesLine(const CGradedLine* line) const override;

  // ---- The division label: as kind 3's, from the start point -------------
  void SetLabelVisible(BOOL show) override;
  BOOL HitLabel(int32_t x, int32_t y, CDimLabel** label) override;
  // The line between its through points at the base size, from the start
  // point to the other one; nothing is placed without a line.
  void GetRatioSpan(CDimLabel* label, double* parts, CPoint* from, CPoint* to) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The line's point at the ratio from the start point (PointAtRatio), with
  // its result; 0 without a line or start point.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

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
  // The point `part` of `parts` equal parts (or the fixed `ratio`) of the
  // curve's length from `start`, one of its defining points, walked in the
  // sense `direction` gives; every size is computed at once.
  CCurveRatioPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* start,
                   int32_t direction, int32_t parts, int32_t part);
  CCurveRatioPoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* start,
                   int32_t direction, double ratio);

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

  // As CSegmentRatioPoint's, with the direction flag.
  void SetParamsFraction(CGradedCurve* curve, CGradedPoint* start, int32_t direction, int32_t parts, int32_t part);
  void SetParamsRatio(CGradedCurve* curve, CGradedPoint* start, int32_t direction, double ratio);
  void SetFraction(int32_t parts, int32_t part);
  void SetRatio(double ratio);
  void GetParams(CGradedCurve** curve, CGradedPoint** start, int32_t* direction, int32_t* parts, int32_t* part,
                 double* ratio, int32_t* fraction) const;

  // For files that did not store the direction flag, once references are
  // resolved: 1 when the start point is the first of the curve's defining
  // points, else 0. Without a curve, or a curve that names no points, the
  // flag stays as it is.
  void UpdateDirection();

  // Whether `curve` is its curve.
  BOOL UsesCurve(const CGradedCurve* curve) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The curve's point at the ratio of its length (PointAtRatio), with its
  // result; 0 without a curve or start point.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Curve{kObjectKindCurve};
  Reference m_StartPoint{kObjectKindPoint};
  int32_t m_Direction = kDefaultCurveDirection;
  PointRatio m_Ratio;
};

// Joins kinds 3, 4 and 5 to the point-kind table; the loader makes them with
// status 0.
void RegisterRatioPoints();
