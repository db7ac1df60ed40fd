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
// list, never owned; they are set by ResolveIds once the whole file is read.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindCurveTangentDistance = 37;
inline constexpr int32_t kPointKindCurveTangentCurve = 44;
inline constexpr int32_t kPointKindCurveTangentLine = 45;

// Kind 37's direction flag: which way along the tangent the distance goes.
inline constexpr int32_t kTangentBehind = 0;
inline constexpr int32_t kTangentAhead = 1;

// Kind 44. The crossing number counts from 1; the computation takes the first
// crossing for 0 or less and the last one for a number past the crossings,
// so any stored value is kept as read.
class CCurveTangentCurvePoint : public CGradedPoint {
 public:
  // For the loaders: no references, crossing number 0.
  CCurveTangentCurvePoint(CPatternData* owner, uint16_t status);

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

  // The curve that carries the touching point (object kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  CGradedPoint* GetTouchingPoint() const { return static_cast<CGradedPoint*>(m_Point.object); }
  // The two-point line the tangent is crossed with (object kind 2).
  CGradedObject* GetLine() const { return m_Line.object; }

  // The state and the status (at every version), the curve, the touching
  // point and the line. 0 when the record is cut short.
  BOOL Load(ArchiveReader& archive) override;

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

  // The curve that carries the touching point (object kind 4).
  CGradedObject* GetCurve() const { return m_Curve.object; }
  CGradedPoint* GetTouchingPoint() const { return static_cast<CGradedPoint*>(m_Point.object); }
  // kTangentAhead or kTangentBehind (any other value as stored).
  int32_t GetDirection() const { return m_Direction; }
  CFormula GetDistance() const { return m_Distance; }
  CDimLabel GetLabel() const { return m_Label; }

  // The base part (status from version 104 on), the curve, the touching
  // point, the direction flag, the distance and the label. 0 when the record
  // is cut short.
  BOOL Load(ArchiveReader& archive) override;

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
