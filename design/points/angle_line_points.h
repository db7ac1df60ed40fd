// The points where a straight line through a point of the construction meets
// a two-point line. The straight line runs at an angle (kind 29, which shows
// the angle in a label), vertically (kind 30), horizontally (kind 31), or at
// right angles to the direction between two further points (kind 28). Angles
// are in degrees, counter-clockwise from the x axis.
//
// Kinds 29 to 31 share their fields in CAngleLineBase; kinds 30 and 31 store
// no angle, theirs is fixed. References are points and two-point lines of the
// same container, not owned; the line field resolves to nothing but a
// two-point line.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindPerpendicularLine = 28;
inline constexpr int32_t kPointKindAngleLine = 29;
inline constexpr int32_t kPointKindVerticalLine = 30;
inline constexpr int32_t kPointKindHorizontalLine = 31;

// The fixed directions of kinds 30 and 31, in degrees.
inline constexpr double kVerticalLineAngle = 90.0;
inline constexpr double kHorizontalLineAngle = 0.0;

// Kinds 29 to 31: on the two-point line, where the straight line through the
// through point at the angle meets it. Only the leaves are made and read.
class CAngleLineBase : public CGradedPoint {
 public:
  CGradedPoint* GetThroughPoint() const { return static_cast<CGradedPoint*>(m_Through.object); }
  // The two-point line the point lies on.
  CGradedObject* GetLine() const { return m_Line.object; }
  // A new angle makes every size dirty.
  void SetAngle(double angle);
  double GetAngle() const { return m_Angle; }
  // Whether `line` is the line the point lies on.
  BOOL UsesLine(const CGradedObject* line) const;

 protected:
  // For the leaves' loader constructors: no references until Load and
  // ResolveIds; a leaf with an angle label names it, the others pass null.
  CAngleLineBase(int32_t kind, CPatternData* owner, uint16_t status, CDimLabel* angleLabel);

  // Reads the positions of the through point and the line.
  BOOL ReadThroughAndLine(ArchiveReader& archive);
  // The record of the kinds with a fixed angle: the angle is set first,
  // whatever the point held; then the base part and the two positions.
  BOOL LoadWithFixedAngle(ArchiveReader& archive, double angle);
  void StoreAngle(double angle) { m_Angle = angle; }

 private:
  Reference m_Through{kObjectKindPoint};
  Reference m_Line{kObjectKindLine};
  double m_Angle = 0.0;
};

// Kind 29: the angle is stored, and shown in an arc label.
class CAngleLinePoint : public CAngleLineBase {
 public:
  CAngleLinePoint(CPatternData* owner, uint16_t status);

  const CDimLabel& GetAngleLabel() const { return m_AngleLabel; }

  // Reads the base part, the angle, the positions of the through point and
  // the line, and the angle label. 0 when the record is cut short; the point
  // then stays hidden and is discarded by its loader.
  BOOL Load(ArchiveReader& archive) override;

 private:
  CDimLabel m_AngleLabel;
};

// Kind 30: the vertical line through the through point.
class CVerticalLinePoint : public CAngleLineBase {
 public:
  CVerticalLinePoint(CPatternData* owner, uint16_t status);
  // The angle becomes 90 degrees; then the base part and the positions of
  // the through point and the line. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;
};

// Kind 31: the horizontal line through the through point.
class CHorizontalLinePoint : public CAngleLineBase {
 public:
  CHorizontalLinePoint(CPatternData* owner, uint16_t status);
  // The angle becomes 0 degrees; then as kind 30.
  BOOL Load(ArchiveReader& archive) override;
};

// Kind 28: on the two-point line, where the straight line through the
// through point at right angles to the direction start -> direction end
// meets it.
class CPerpendicularLinePoint : public CGradedPoint {
 public:
  CPerpendicularLinePoint(CPatternData* owner, uint16_t status);

  CGradedPoint* GetThroughPoint() const { return static_cast<CGradedPoint*>(m_Through.object); }
  CGradedPoint* GetDirectionStart() const { return static_cast<CGradedPoint*>(m_DirectionStart.object); }
  CGradedPoint* GetDirectionEnd() const { return static_cast<CGradedPoint*>(m_DirectionEnd.object); }
  CGradedObject* GetLine() const { return m_Line.object; }
  BOOL UsesLine(const CGradedObject* line) const;

  // Reads the base part and the positions of the through point, the
  // direction start, the direction end and the line. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;

 private:
  Reference m_Through{kObjectKindPoint};
  Reference m_DirectionStart{kObjectKindPoint};
  Reference m_DirectionEnd{kObjectKindPoint};
  Reference m_Line{kObjectKindLine};
};

// Joins kinds 28 to 31 to the point-kind table; the loader makes them with
// status 0.
void RegisterAngleLinePoints();
