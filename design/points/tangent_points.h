// The curve tangent points: each starts from a touching point that lies on a
// curve and uses the straight line that touches the curve there, estimated
// from the curve's polyline a tenth of a millimetre before and after the
// touching point at each size.
//
//   kind 44  CCurveTangentCurvePoint     n-th crossing of the tangent with a second curve
//   kind 45  CCurveTangentLinePoint      crossing of the tangent with a two-point line
//   kind 37  CCurveTangentDistancePoint  on the tangent at a graded distance, ahead of or behind the touching point
//
// Kinds 44 and 45 came with the later files: their records carry the status
// at every version. References are plain pointers into the container's
// list, never owned; they are set by ResolveIds once the whole file is read,
// or by the full constructors and SetRefs.
//
// The tangent is not taken from the curve's own mathematics: the points a
// tenth of a millimetre (in the owner's scale) before and after the touching
// point along the curve's whole polyline give two chords, and the tangent is
// the bisector of the angle between them turned by a right angle; at an end
// of the curve the one chord that exists gives the direction. When neither
// neighbour can be had, or both coincide with the touching point, there is
// no tangent.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindCurveTangentDistance = 37;
inline constexpr int32_t kPointKindCurveTangentCurve = 44;
inline constexpr int32_t kPointKindCurveTangentLine = 45;

// Kind 37's direction flag: which way along the tangent the distance goes.
// Any value other than kTangentBehind counts as ahead.
inline constexpr int32_t kTangentBehind = 0;
inline constexpr int32_t kTangentAhead = 1;

// Kind 44. The crossing number counts from 1; the computation takes the first
// crossing for 0 or less and the last one for a number past the crossings,
// so any stored value is kept as read.
class CCurveTangentCurvePoint : public CGradedPoint {
 public:
  // For the loaders: no references, crossing number 0.
  CCurveTangentCurvePoint(CPatternData* owner, uint16_t status);
  // A point with every field, through SetRefs (nothing is computed yet).
  CCurveTangentCurvePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* point,
                          CGradedCurve* secondCurve, int32_t crossing);

  // Stores the fields; no size is invalidated, so positions already
  // computed stand until their sizes are invalidated.
  void SetRefs(CGradedCurve* curve, CGradedPoint* point, CGradedCurve* secondCurve, int32_t crossing);
  // The fields in the same order; a null out pointer is skipped.
  void GetRefs(CGradedCurve** curve, CGradedPoint** point, CGradedCurve** secondCurve, int32_t* crossing) const;

  // The curve that carries the touching point (object kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  CGradedPoint* GetTouchingPoint() const { return static_cast<CGradedPoint*>(m_Point.object); }
  // The curve the tangent is crossed with (object kind 4).
  CGradedObject* GetSecondCurve() const { return m_SecondCurve.object; }
  int32_t GetCrossing() const { return m_Crossing; }

  // The state and the status (at every version), the curve, the touching
  // point, the second curve and the crossing number. 0 when the record is
  // cut short.
  BOOL Load(ArchiveReader& archive) override;

  // Only the second curve counts: the carrying curve is not reported.
  BOOL UsesCurve(const CGradedCurve* curve) const override;
  // Whether this point, at (x, y) at the base size, is the crossing of its
  // second curve with a two-point line through this point and the touching
  // point (line and curve in either order).
  BOOL IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y) override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The crossing of the tangent with the second curve's whole polyline (a
  // closed curve crossed across its closing segment too). Without a
  // reference: 0, the cached position kept. Without a tangent: the touching
  // point with 0. Without a crossing: 0 with the base-size result at another
  // size, the cached position at the base size.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Curve{kObjectKindCurve};
  Reference m_Point{kObjectKindPoint};
  Reference m_SecondCurve{kObjectKindCurve};
  int32_t m_Crossing = 0;
};

// Kind 45.
class CCurveTangentLinePoint : public CGradedPoint {
 public:
  CCurveTangentLinePoint(CPatternData* owner, uint16_t status);
  // A point with every field, through SetRefs (nothing is computed yet).
  CCurveTangentLinePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* point,
                         CGradedLine* line);

  // Stores the fields; no size is invalidated.
  void SetRefs(CGradedCurve* curve, CGradedPoint* point, CGradedLine* line);
  // The fields in the same order; a null out pointer is skipped.
  void GetRefs(CGradedCurve** curve, CGradedPoint** point, CGradedLine** line) const;

  // The curve that carries the touching point (object kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  CGradedPoint* GetTouchingPoint() const { return static_cast<CGradedPoint*>(m_Point.object); }
  // The two-point line the tangent is crossed with (object kind 2).
  CGradedObject* GetLine() const { return m_Line.object; }

  // The state and the status (at every version), the curve, the touching
  // point and the line. 0 when the record is cut short.
  BOOL Load(ArchiveReader& archive) override;

  BOOL UsesLine(const CGradedLine* line) const override;
  // Whether this point, at (x, y) at the base size, is the crossing of its
  // line with a second two-point line through this point and the touching
  // point (either order).
  BOOL IsSameIntersection(const CGradedObject* a, const CGradedObject* b, int32_t x, int32_t y) override;

 protected:
  // The crossing of the tangent with the line through the line's two
  // through points, on the segment or beyond it. Without the curve, the
  // touching point or the line: 0, the cached position kept. Without a
  // tangent: the touching point with 0. Parallel or lying on the tangent: 0
  // with the base-size result at another size, the cached position at the
  // base size.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Curve{kObjectKindCurve};
  Reference m_Point{kObjectKindPoint};
  Reference m_Line{kObjectKindLine};
};

// Kind 37. The distance is graded; its label shows it as a dimension from
// the touching point to this point.
class CCurveTangentDistancePoint : public CGradedPoint {
 public:
  // For the loaders: no references, ahead, an empty distance, the label
  // hidden.
  CCurveTangentDistancePoint(CPatternData* owner, uint16_t status);
  // A point with every field, through SetRefs (every size computed).
  CCurveTangentDistancePoint(CPatternData* owner, uint16_t status, CGradedCurve* curve, CGradedPoint* point,
                             int32_t direction, CFormula distance);

  // Stores the fields, then computes every size again.
  void SetRefs(CGradedCurve* curve, CGradedPoint* point, int32_t direction, CFormula distance);
  // The fields in the same order (the distance as a copy); a null out
  // pointer is skipped.
  void GetRefs(CGradedCurve** curve, CGradedPoint** point, int32_t* direction, CFormula* distance) const;
  // Assigns the distance and invalidates every size.
  void SetDistance(CFormula distance);
  // Copies a label's settings in; the label stays bound to this point.
  void SetLabel(const CDimLabel& label);

  // The curve that carries the touching point (object kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  CGradedPoint* GetTouchingPoint() const { return static_cast<CGradedPoint*>(m_Point.object); }
  // kTangentAhead or kTangentBehind (any other value as stored).
  int32_t GetDirection() const { return m_Direction; }
  CFormula GetDistance() const { return m_Distance; }
  const CDimLabel& GetLabel() const { return m_Label; }

  // The base part (status from version 104 on), the curve, the touching
  // point, the direction flag, the distance and the label. 0 when the record
  // is cut short.
  BOOL Load(ArchiveReader& archive) override;

  // ---- The distance label -------------------------------------------------
  // Shows only while this point and the touching point are in use.
  void SetLabelVisible(BOOL show) override;
  // The label edits the distance (no size is computed again here); GetFormula
  // hands out the distance whatever label is asked.
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  // The distance's dimension at the base size, from the touching point to this
  // point.
  void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;
  // A clone starts with a fresh label.
  bool ClonesLabels() const override { return false; }

  // The point on the tangent at the distance's absolute value from the
  // touching point: of the two, the one nearer to the touching point moved
  // by the signed distance ahead along the curve (direction ahead) or back
  // along it (behind), so a negative distance picks the other side. A
  // distance of 0 or no tangent gives the touching point. 1 for every
  // position so found; 0, the cached position kept, without the curve or
  // the touching point.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Curve{kObjectKindCurve};
  Reference m_Point{kObjectKindPoint};
  int32_t m_Direction = kTangentAhead;
  CFormula m_Distance;
  CDimLabel m_Label;
};

// Joins kinds 37, 44 and 45 to the point-kind table; the loader makes them
// with status 0.
void RegisterTangentPoints();
