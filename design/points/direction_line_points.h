// The direction-line points: a construction point where a straight line of a
// given direction, drawn through a point, crosses a two-point line or a
// curve. The direction is an absolute angle, a fixed axis, or the direction
// between two other points turned by an angle or by a right angle. Each size
// is computed from the positions its references have at that size, so the
// point follows the grading of what it is built from.
//
//   kind 32  CRelativeAngleLinePoint       direction of two points turned by an angle, on a two-point line
//   kind 39  CTwoPointCurveIntersectPoint  at right angles to two points, n-th crossing with a curve
//   kind 40  CAngleCurvePoint              at an angle from the x axis, n-th crossing with a curve
//   kind 41  CVerticalCurvePoint           vertical, n-th crossing with a curve
//   kind 42  CHorizontalCurvePoint         horizontal, n-th crossing with a curve
//   kind 43  CRelativeAngleCurvePoint      direction of two points turned by an angle, n-th crossing with a curve
//
// Angles are in degrees, counter-clockwise from the positive x axis in model
// coordinates. Crossing numbers count from 1; the computation takes the
// first crossing for 0 or less and the last one for a number past the
// crossings found, so any stored value is kept as read.
//
// Where the direction line misses its line or curve at a graded size, the
// curve kinds (39 to 43) hold the position the same construction gives at
// the base size and report the failure; kind 32 reports it with the
// position cached before. A missing reference fails every size alike, so it
// reports 0 with the cached position and no base-size position is sought.
// An angle read as NaN or infinity gives no direction, hence no crossing.
//
// References are plain pointers into the container's list, never owned;
// they are set by ResolveIds once the whole file is read, or by the full
// constructors and setters, which then compute every size.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindRelativeAngleLine = 32;
inline constexpr int32_t kPointKindTwoPointCurveIntersect = 39;
inline constexpr int32_t kPointKindAngleCurve = 40;
inline constexpr int32_t kPointKindVerticalCurve = 41;
inline constexpr int32_t kPointKindHorizontalCurve = 42;
inline constexpr int32_t kPointKindRelativeAngleCurve = 43;

// The fixed directions of kinds 41 and 42, in degrees.
inline constexpr double kVerticalAngleDegrees = 90.0;
inline constexpr double kHorizontalAngleDegrees = 0.0;

// Kind 32: the line through the through point in the direction from the
// direction start to the direction end, turned about the start by the angle,
// crossed with a two-point line. Its angle label marks the turn.
class CRelativeAngleLinePoint : public CGradedPoint {
 public:
  // For the loaders: no references, angle 0, the label hidden.
  CRelativeAngleLinePoint(CPatternData* owner, uint16_t status);
  CRelativeAngleLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, CGradedPoint* directionStart,
                          CGradedPoint* directionEnd, double angle, CGradedLine* line);

  // Stores the definition, then computes every size afresh.
  void SetRefs(CGradedPoint* through, CGradedPoint* directionStart, CGradedPoint* directionEnd, double angle,
               CGradedLine* line);
  void GetRefs(CGradedPoint** through, CGradedPoint** directionStart, CGradedPoint** directionEnd, double* angle,
               CGradedLine** line) const;
  // Stores the angle alone: the cached positions stand until the sizes are
  // made dirty by something else.
  void SetAngle(double angle) { m_Angle = angle; }
  // Takes the look of `label`; the label stays bound to this point and its
  // owner.
  void SetLabel(CDimLabel label);
  BOOL UsesLine(const CGradedLine* line) const override;

  CGradedPoint* GetThroughPoint() const { return static_cast<CGradedPoint*>(m_Through.object); }
  CGradedPoint* GetDirectionStart() const { return static_cast<CGradedPoint*>(m_DirectionStart.object); }
  CGradedPoint* GetDirectionEnd() const { return static_cast<CGradedPoint*>(m_DirectionEnd.object); }
  double GetAngle() const { return m_Angle; }
  // A two-point line (object kind 2).
  CGradedObject* GetLine() const { return m_Line.object; }
  const CDimLabel& GetLabel() const { return m_Label; }

  // The base part (status from version 104 on), the angle, the through
  // point, the two direction points, the line and the label. 0 when the
  // record is cut short.
  BOOL Load(ArchiveReader& archive) override;

  // ---- The angle label ----------------------------------------------------
  // Shows only while this point and the through point are in use.
  void SetLabelVisible(BOOL show) override;
  // The label edits the angle (no size is computed again here);
  // GetLabelValue hands out the angle whatever label is asked.
  void SetLabelValue(CDimLabel* label, double value) override;
  double GetLabelValue(CDimLabel* label) const override;
  // The arc at the base size about the through point, from the unturned
  // direction (the through point moved by direction end - direction start)
  // to this point, with the angle's text (AngleLabelText).
  void GetAngleLabelText(CDimLabel* label, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                         BOOL* positive) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The crossing with the line at the size; 0 with the cached position when
  // a reference is missing, a position was not had or the lines do not
  // cross in one point (coinciding direction points give no direction).
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Through{kObjectKindPoint};
  Reference m_DirectionStart{kObjectKindPoint};
  Reference m_DirectionEnd{kObjectKindPoint};
  double m_Angle = 0.0;
  Reference m_Line{kObjectKindLine};
  CDimLabel m_Label;
};

// Kind 39: the line through the through point at right angles to the
// direction between two points, crossed with a curve (the closing segment of
// a closed curve included). A kind of the later files: its record carries
// the status at every version, and stores the crossing number first.
class CTwoPointCurveIntersectPoint : public CGradedPoint {
 public:
  CTwoPointCurveIntersectPoint(CPatternData* owner, uint16_t status);
  CTwoPointCurveIntersectPoint(CPatternData* owner, uint16_t status, CGradedPoint* through,
                               CGradedPoint* directionStart, CGradedPoint* directionEnd, CGradedCurve* curve,
                               int32_t crossing);

  // Stores the definition, then computes every size afresh.
  void SetRefs(CGradedPoint* through, CGradedPoint* directionStart, CGradedPoint* directionEnd, CGradedCurve* curve,
               int32_t crossing);
  void GetRefs(CGradedPoint** through, CGradedPoint** directionStart, CGradedPoint** directionEnd,
               CGradedCurve** curve, int32_t* crossing) const;
  BOOL UsesCurve(const CGradedCurve* curve) const override;
  // Whether this point, at (x, y) at the base size, is the crossing of the
  // curve with a two-point line drawn through this point and its through
  // point (a and b are the line and the curve, in either order).
  BOOL IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y) override;

  CGradedPoint* GetThroughPoint() const { return static_cast<CGradedPoint*>(m_Through.object); }
  CGradedPoint* GetDirectionStart() const { return static_cast<CGradedPoint*>(m_DirectionStart.object); }
  CGradedPoint* GetDirectionEnd() const { return static_cast<CGradedPoint*>(m_DirectionEnd.object); }
  // A curve (object kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  int32_t GetCrossing() const { return m_Crossing; }

  // The state and the status (at every version), the crossing number, the
  // through point, the two direction points and the curve. 0 when the
  // record is cut short.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The chosen crossing at the size; see the top of this file for the
  // failures.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  // The crossing from the references' positions at `size`.
  BOOL CrossingAt(int32_t size, int32_t* x, int32_t* y);

  Reference m_Through{kObjectKindPoint};
  Reference m_DirectionStart{kObjectKindPoint};
  Reference m_DirectionEnd{kObjectKindPoint};
  Reference m_Curve{kObjectKindCurve};
  int32_t m_Crossing = 0;
};

// Kinds 40 to 42: the line through the through point at an angle from the x
// axis, crossed with a curve as it stands (a closed curve is not closed up).
// Never stored as such: the base reads no record (the point base's Load).
class CAngleCurveBase : public CGradedPoint {
 public:
  CGradedPoint* GetThroughPoint() const { return static_cast<CGradedPoint*>(m_Through.object); }
  double GetAngle() const { return m_Angle; }
  // A curve (object kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  int32_t GetCrossing() const { return m_Crossing; }
  // Stores the definition, then computes every size afresh.
  void SetRefs(CGradedPoint* through, double angle, CGradedCurve* curve, int32_t crossing);
  void GetRefs(CGradedPoint** through, double* angle, CGradedCurve** curve, int32_t* crossing) const;
  // A new angle makes every size dirty.
  void SetAngle(double angle);
  BOOL UsesCurve(const CGradedCurve* curve) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // No references; the angle is left to the kind (its constructor or Load).
  CAngleCurveBase(int32_t kind, CPatternData* owner, uint16_t status);

  // The chosen crossing at the size; see the top of this file for the
  // failures.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

  // The through point, the curve and the crossing number, in record order.
  BOOL ReadCurveCrossing(ArchiveReader& archive);
  // The record of a kind whose angle is fixed: the base part and the curve
  // crossing; the angle is `angle` whatever the record holds.
  BOOL LoadWithFixedAngle(ArchiveReader& archive, double angle);

  Reference m_Through{kObjectKindPoint};
  double m_Angle = 0.0;
  Reference m_Curve{kObjectKindCurve};
  int32_t m_Crossing = 0;

 private:
  BOOL CrossingAt(int32_t size, int32_t* x, int32_t* y);
};

// Kind 40: any angle, stored in the record and marked by an angle label.
class CAngleCurvePoint : public CAngleCurveBase {
 public:
  CAngleCurvePoint(CPatternData* owner, uint16_t status);
  CAngleCurvePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, double angle, CGradedCurve* curve,
                   int32_t crossing);

  const CDimLabel& GetLabel() const { return m_Label; }
  // Takes the look of `label`; the label stays bound to this point and its
  // owner.
  void SetLabel(CDimLabel label);

  // The base part (status from version 104 on), the angle, the through
  // point, the curve, the crossing number and the label.
  BOOL Load(ArchiveReader& archive) override;

  // ---- The angle label ----------------------------------------------------
  // As kind 32's, but the arc runs from the x axis (an arm as long as the
  // way from the through point to this point).
  void SetLabelVisible(BOOL show) override;
  void SetLabelValue(CDimLabel* label, double value) override;
  double GetLabelValue(CDimLabel* label) const override;
  void GetAngleLabelText(CDimLabel* label, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                         BOOL* positive) const override;

 private:
  CDimLabel m_Label;
};

// Kind 41: the vertical through the through point (90 degrees, not stored).
class CVerticalCurvePoint : public CAngleCurveBase {
 public:
  CVerticalCurvePoint(CPatternData* owner, uint16_t status);
  CVerticalCurvePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, CGradedCurve* curve,
                      int32_t crossing);

  // The base part (status from version 104 on), the through point, the
  // curve and the crossing number; the angle is set to 90 degrees first.
  BOOL Load(ArchiveReader& archive) override;
};

// Kind 42: the horizontal through the through point (0 degrees, not stored).
class CHorizontalCurvePoint : public CAngleCurveBase {
 public:
  CHorizontalCurvePoint(CPatternData* owner, uint16_t status);
  CHorizontalCurvePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, CGradedCurve* curve,
                        int32_t crossing);

  // As kind 41, with the angle set to 0 degrees.
  BOOL Load(ArchiveReader& archive) override;
};

// Kind 43: as kind 32, with the turned direction crossed with a curve (the
// closing segment of a closed curve included) instead of a two-point line.
class CRelativeAngleCurvePoint : public CGradedPoint {
 public:
  CRelativeAngleCurvePoint(CPatternData* owner, uint16_t status);
  CRelativeAngleCurvePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, CGradedPoint* directionStart,
                           CGradedPoint* directionEnd, double angle, CGradedCurve* curve, int32_t crossing);

  // Stores the definition, then computes every size afresh.
  void SetRefs(CGradedPoint* through, CGradedPoint* directionStart, CGradedPoint* directionEnd, double angle,
               CGradedCurve* curve, int32_t crossing);
  void GetRefs(CGradedPoint** through, CGradedPoint** directionStart, CGradedPoint** directionEnd, double* angle,
               CGradedCurve** curve, int32_t* crossing) const;
  // Stores the angle alone, as kind 32's.
  void SetAngle(double angle) { m_Angle = angle; }
  // Takes the look of `label`, as kind 32's.
  void SetLabel(CDimLabel label);
  BOOL UsesCurve(const CGradedCurve* curve) const override;

  CGradedPoint* GetThroughPoint() const { return static_cast<CGradedPoint*>(m_Through.object); }
  CGradedPoint* GetDirectionStart() const { return static_cast<CGradedPoint*>(m_DirectionStart.object); }
  CGradedPoint* GetDirectionEnd() const { return static_cast<CGradedPoint*>(m_DirectionEnd.object); }
  double GetAngle() const { return m_Angle; }
  // A curve (object kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  int32_t GetCrossing() const { return m_Crossing; }
  const CDimLabel& GetLabel() const { return m_Label; }

  // The base part (status from version 104 on), the angle, the through
  // point, the two direction points, the curve, the crossing number and the
  // label. 0 when the record is cut short.
  BOOL Load(ArchiveReader& archive) override;

  // ---- The angle label: as kind 32's ------------------------------------
  void SetLabelVisible(BOOL show) override;
  void SetLabelValue(CDimLabel* label, double value) override;
  double GetLabelValue(CDimLabel* label) const override;
  void GetAngleLabelText(CDimLabel* label, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                         BOOL* positive) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The chosen crossing at the size; see the top of this file for the
  // failures.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  BOOL CrossingAt(int32_t size, int32_t* x, int32_t* y);

  Reference m_Through{kObjectKindPoint};
  Reference m_DirectionStart{kObjectKindPoint};
  Reference m_DirectionEnd{kObjectKindPoint};
  double m_Angle = 0.0;
  Reference m_Curve{kObjectKindCurve};
  int32_t m_Crossing = 0;
  CDimLabel m_Label;
};

// Joins kinds 32 and 39 to 43 to the point-kind table; the loader makes them
// with status 0.
void RegisterDirectionLinePoints();
