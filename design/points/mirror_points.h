// The points that copy another point of the construction, their source, to a
// new place by a rigid motion built from further points: a reflection in a
// line (kind 13) or in a point (kind 14), a turn about a centre by a fixed
// angle (kind 26), a reflection in the vertical and horizontal lines through
// a point followed by a shift (kind 27), a turn by the angle between two
// directions (kind 33), and the transfer that moves a segment onto another
// and carries the source along (kind 34). A pattern maker mirrors, turns or
// moves part of a construction with them so that the copy follows its source
// at every size.
//
// Every reference is a point of the same container, not owned; the source is
// always the first. None of these kinds holds a formula or a label. A copy is
// a point of the design in its own right exactly when its source is: the copy
// of a curve's vertex point is part of a copied curve.
//
// Records: the base part, then the stored object positions (and the angle of
// kind 26, the mode of kind 27). Kinds 26 and 33 store the centre before the
// source, while their fields (and so GetReferences) list the source first.
//
// Computing a size: every referenced point is asked for the same size, and
// the copy is defined (1) only when all of them are. A missing reference gives
// 0 and no position (the size keeps the one it had). Sums of positions are
// formed in 64 bits and kept in the int32 range, so that a position read from
// a damaged file shows as out of bounds (GetPoint's status 13) instead of
// wrapping back into the plane.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindLineMirror = 13;
inline constexpr int32_t kPointKindPointMirror = 14;
inline constexpr int32_t kPointKindRotated = 26;
inline constexpr int32_t kPointKindAxisMirror = 27;
inline constexpr int32_t kPointKindDirectionRotated = 33;
inline constexpr int32_t kPointKindTransferred = 34;

// Which axes through its axis point a CAxisMirrorPoint reflects its source
// in; any other mode reflects nothing and only shifts.
inline constexpr int32_t kAxisMirrorVertical = 1;    // the vertical line x = axis.x
inline constexpr int32_t kAxisMirrorHorizontal = 2;  // the horizontal line y = axis.y
inline constexpr int32_t kAxisMirrorBoth = 3;

// Kind 13: the source reflected in the line through two points.
class CLineMirrorPoint : public CGradedPoint {
 public:
  // For the loaders: no references until Load and ResolveIds.
  CLineMirrorPoint(CPatternData* owner, uint16_t status);
  // With every field, through SetParams.
  CLineMirrorPoint(CPatternData* owner, uint16_t status, CGradedPoint* source, CGradedPoint* linePoint1,
                   CGradedPoint* linePoint2);

  // Stores the references and computes every size again.
  void SetParams(CGradedPoint* source, CGradedPoint* linePoint1, CGradedPoint* linePoint2);

  CGradedPoint* GetSourcePoint() const { return static_cast<CGradedPoint*>(m_Source.object); }
  CGradedPoint* GetMirrorLinePoint1() const { return static_cast<CGradedPoint*>(m_LinePoint1.object); }
  CGradedPoint* GetMirrorLinePoint2() const { return static_cast<CGradedPoint*>(m_LinePoint2.object); }
  void GetRefs(CGradedPoint** source, CGradedPoint** linePoint1, CGradedPoint** linePoint2) const;
  // Whether `object` is one of the two points of the mirror line.
  BOOL IsMirrorLinePoint(const CGradedObject* object) const;
  // When the source is `oldSource` it becomes `newSource`; every size is
  // computed again and so is what is built on this point. Otherwise
  // nothing changes.
  void ReplaceSourcePoint(CGradedObject* oldSource, CGradedObject* newSource);

  // Reads the base part and the positions of the source and the two
  // mirror-line points. 0 when the record is cut short; the point then stays
  // hidden and is discarded by its loader.
  BOOL Load(ArchiveReader& archive) override;
  // What the source answers.
  BOOL IsRealPoint() const override;

 protected:
  // The source reflected in the line through the two points. A failed
  // reference still lets the reflection of the positions it gave be made
  // (result 0). Two mirror-line points at one place give no line: the
  // source's own position, result 0.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Source{kObjectKindPoint};
  Reference m_LinePoint1{kObjectKindPoint};
  Reference m_LinePoint2{kObjectKindPoint};
};

// Kind 14: the source reflected in a centre point.
class CPointMirrorPoint : public CGradedPoint {
 public:
  CPointMirrorPoint(CPatternData* owner, uint16_t status);
  CPointMirrorPoint(CPatternData* owner, uint16_t status, CGradedPoint* source, CGradedPoint* centre);

  void SetParams(CGradedPoint* source, CGradedPoint* centre);

  CGradedPoint* GetSourcePoint() const { return static_cast<CGradedPoint*>(m_Source.object); }
  CGradedPoint* GetCentre() const { return static_cast<CGradedPoint*>(m_Centre.object); }
  void GetRefs(CGradedPoint** source, CGradedPoint** centre) const;

  // The base part, the source's position, the centre's. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;
  BOOL IsRealPoint() const override;

 protected:
  // 2 centre - source; made also from the positions a failed reference gave
  // (result 0).
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Source{kObjectKindPoint};
  Reference m_Centre{kObjectKindPoint};
};

// Kind 26: the source turned about a centre by a fixed angle (degrees,
// counter-clockwise).
class CRotatedPoint : public CGradedPoint {
 public:
  CRotatedPoint(CPatternData* owner, uint16_t status);
  CRotatedPoint(CPatternData* owner, uint16_t status, CGradedPoint* source, CGradedPoint* centre, double angle);

  // Stores the references and the angle and computes every size again.
  void SetParams(CGradedPoint* source, CGradedPoint* centre, double angle);

  CGradedPoint* GetSourcePoint() const { return static_cast<CGradedPoint*>(m_Source.object); }
  CGradedPoint* GetCentre() const { return static_cast<CGradedPoint*>(m_Centre.object); }
  void GetParams(CGradedPoint** source, CGradedPoint** centre, double* angle) const;
  // A new angle makes every size dirty.
  void SetAngle(double angle);
  double GetAngle() const { return m_Angle; }
  BOOL IsCentre(const CGradedObject* object) const;

  // The base part, the angle, the centre's position, then the source's (the
  // record keeps the centre first). 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;
  BOOL IsRealPoint() const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The source turned about the centre. Nothing is made when a reference
  // fails. An angle that is no number (a damaged file) gives the centre: the
  // turned offset rounds to 0.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Source{kObjectKindPoint};
  Reference m_Centre{kObjectKindPoint};
  double m_Angle = 0.0;
};

// Kind 27: the source reflected in the vertical and/or horizontal line through
// the axis point (the mode says which), then shifted by the vector from the
// shift start to the shift end.
class CAxisMirrorPoint : public CGradedPoint {
 public:
  CAxisMirrorPoint(CPatternData* owner, uint16_t status);
  CAxisMirrorPoint(CPatternData* owner, uint16_t status, CGradedPoint* source, CGradedPoint* axisPoint,
                   CGradedPoint* shiftStart, CGradedPoint* shiftEnd, int32_t mode);

  void SetParams(CGradedPoint* source, CGradedPoint* axisPoint, CGradedPoint* shiftStart, CGradedPoint* shiftEnd,
                 int32_t mode);

  CGradedPoint* GetSourcePoint() const { return static_cast<CGradedPoint*>(m_Source.object); }
  CGradedPoint* GetAxisPoint() const { return static_cast<CGradedPoint*>(m_AxisPoint.object); }
  CGradedPoint* GetShiftStart() const { return static_cast<CGradedPoint*>(m_ShiftStart.object); }
  CGradedPoint* GetShiftEnd() const { return static_cast<CGradedPoint*>(m_ShiftEnd.object); }
  int32_t GetMode() const { return m_Mode; }
  void GetRefs(CGradedPoint** source, CGradedPoint** axisPoint, CGradedPoint** shiftStart,
               CGradedPoint** shiftEnd, int32_t* mode) const;
  BOOL IsAxisPoint(const CGradedObject* object) const;

  // The base part, the mode, then the positions of the source, the axis
  // point, the shift start and the shift end. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;
  BOOL IsRealPoint() const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // Nothing is made when a reference fails.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;
  // Unlike the other kinds, a size that failed keeps its old position and
  // stays dirty, so every later request tries it again.
  SizeOutcome OutcomeOf(BOOL result) const override;

 private:
  Reference m_Source{kObjectKindPoint};
  Reference m_AxisPoint{kObjectKindPoint};
  Reference m_ShiftStart{kObjectKindPoint};
  Reference m_ShiftEnd{kObjectKindPoint};
  int32_t m_Mode = 0;
};

// Kind 33: the source turned about a centre by the angle from the direction
// centre -> from-point to the direction centre -> to-point.
class CDirectionRotatedPoint : public CGradedPoint {
 public:
  CDirectionRotatedPoint(CPatternData* owner, uint16_t status);
  CDirectionRotatedPoint(CPatternData* owner, uint16_t status, CGradedPoint* source, CGradedPoint* centre,
                         CGradedPoint* fromDirection, CGradedPoint* toDirection);

  void SetParams(CGradedPoint* source, CGradedPoint* centre, CGradedPoint* fromDirection,
                 CGradedPoint* toDirection);

  CGradedPoint* GetSourcePoint() const { return static_cast<CGradedPoint*>(m_Source.object); }
  CGradedPoint* GetCentre() const { return static_cast<CGradedPoint*>(m_Centre.object); }
  CGradedPoint* GetFromDirectionPoint() const { return static_cast<CGradedPoint*>(m_FromDirection.object); }
  CGradedPoint* GetToDirectionPoint() const { return static_cast<CGradedPoint*>(m_ToDirection.object); }
  void GetRefs(CGradedPoint** source, CGradedPoint** centre, CGradedPoint** fromDirection,
               CGradedPoint** toDirection) const;

  // The base part, then the positions of the centre, the source (the record
  // keeps the centre first), the from-point and the to-point. 0 when cut
  // short.
  BOOL Load(ArchiveReader& archive) override;
  BOOL IsRealPoint() const override;

 protected:
  // Nothing is made when a reference fails. A direction point at the centre
  // has the direction 0.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Source{kObjectKindPoint};
  Reference m_Centre{kObjectKindPoint};
  Reference m_FromDirection{kObjectKindPoint};
  Reference m_ToDirection{kObjectKindPoint};
};

// Kind 34: the source carried along when the segment start -> segment end is
// moved so that its start lands on the target start and it points at the
// target direction point.
class CTransferredPoint : public CGradedPoint {
 public:
  CTransferredPoint(CPatternData* owner, uint16_t status);
  CTransferredPoint(CPatternData* owner, uint16_t status, CGradedPoint* source, CGradedPoint* segmentStart,
                    CGradedPoint* segmentEnd, CGradedPoint* targetStart, CGradedPoint* targetDirection);

  void SetParams(CGradedPoint* source, CGradedPoint* segmentStart, CGradedPoint* segmentEnd,
                 CGradedPoint* targetStart, CGradedPoint* targetDirection);

  CGradedPoint* GetSourcePoint() const { return static_cast<CGradedPoint*>(m_Source.object); }
  CGradedPoint* GetSegmentStart() const { return static_cast<CGradedPoint*>(m_SegmentStart.object); }
  CGradedPoint* GetSegmentEnd() const { return static_cast<CGradedPoint*>(m_SegmentEnd.object); }
  CGradedPoint* GetTargetStart() const { return static_cast<CGradedPoint*>(m_TargetStart.object); }
  CGradedPoint* GetTargetDirectionPoint() const { return static_cast<CGradedPoint*>(m_TargetDirection.object); }
  void GetRefs(CGradedPoint** source, CGradedPoint** segmentStart, CGradedPoint** segmentEnd,
               CGradedPoint** targetStart, CGradedPoint** targetDirection) const;

  // The base part, then the positions of the five points in field order. 0
  // when cut short.
  BOOL Load(ArchiveReader& archive) override;
  BOOL IsRealPoint() const override;

 protected:
  // Nothing is made when a reference fails.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Source{kObjectKindPoint};
  Reference m_SegmentStart{kObjectKindPoint};
  Reference m_SegmentEnd{kObjectKindPoint};
  Reference m_TargetStart{kObjectKindPoint};
  Reference m_TargetDirection{kObjectKindPoint};
};

// Joins kinds 13, 14, 26, 27, 33 and 34 to the point-kind table; the loader
// makes them with status 0.
void RegisterMirrorPoints();
