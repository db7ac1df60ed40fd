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
//
// Each size is computed from the positions the references have at that
// size. Where the straight line misses the two-point line (parallel, or
// lying on it), kinds 29 to 31 report the size as failed and keep the
// position cached before; kind 28 takes the crossing of the base size
// instead, still reporting the failure.
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
  // Stores the definition, then computes every size afresh.
  void SetParams(CGradedPoint* through, double angle, CGradedLine* line);
  // The definition as stored; the line is null when the field holds none.
  void GetParams(CGradedPoint** through, double* angle, CGradedLine** line) const;
  // A new angle makes every size dirty.
  void SetAngle(double angle);
  double GetAngle() const { return m_Angle; }
  // Whether `line` is the line the point lies on; the second form takes
  // any graded object, so that a caller holding one asks without a cast.
  BOOL UsesLine(const CGradedLine* line) const override;
  BOOL UsesLine(const CGradedObject* line) const;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // For the leaves' loader constructors: no references until Load and
  // ResolveIds; a leaf with an angle label names it, the others pass null.
  CAngleLineBase(int32_t kind, CPatternData* owner, uint16_t status, CDimLabel* angleLabel);

  // Reads the positions of the through point and the line.
  BOOL ReadThroughAndLine(ArchiveReader& archive);
  // The record of the kinds with a fixed angle: the angle is set first,
  // whatever the point held; then the base part and the two positions.
  BOOL LoadWithFixedAngle(ArchiveReader& archive, double angle);
  void StoreAngle(double angle) { m_Angle = angle; }

  // The crossing at the size. 0, the cached position kept, when a
  // reference is missing, a position of one was not had, the angle is not a
  // number or infinite, or the lines do not cross in one point. Directions
  // less than 1e-12 radians apart count as parallel, so that the vertical
  // of kind 30 misses a vertical line, whatever the rounding of 90 degrees.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Through{kObjectKindPoint};
  Reference m_Line{kObjectKindLine};
  double m_Angle = 0.0;
};

// Kind 29: the angle is stored, and shown in an arc label.
class CAngleLinePoint : public CAngleLineBase {
 public:
  CAngleLinePoint(CPatternData* owner, uint16_t status);
  // A point of the given definition, every size computed.
  CAngleLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, double angle, CGradedLine* line);

  const CDimLabel& GetAngleLabel() const { return m_AngleLabel; }
  // Takes the look of `label`; the label stays bound to this point and its
  // owner.
  void SetAngleLabel(CDimLabel label);

  // Reads the base part, the angle, the positions of the through point and
  // the line, and the angle label. 0 when the record is cut short; the point
  // then stays hidden and is discarded by its loader.
  BOOL Load(ArchiveReader& archive) override;

  // ---- The angle label ----------------------------------------------------
  // Shows only while this point and the through point are in use.
  void SetLabelVisible(BOOL show) override;
  // The angle label edits the angle (no size is computed again here);
  // GetLabelValue hands out the angle whatever label is asked.
  void SetLabelValue(CDimLabel* label, double value) override;
  double GetLabelValue(CDimLabel* label) const override;
  // The arc at the base size about the through point, from the x axis (an
  // arm as long as the way to this point) to this point, with the angle's
  // text (AngleLabelText).
  void GetAngleLabelText(CDimLabel* label, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                         BOOL* positive) const override;

 private:
  CDimLabel m_AngleLabel;
};

// Kind 30: the vertical line through the through point.
class CVerticalLinePoint : public CAngleLineBase {
 public:
  CVerticalLinePoint(CPatternData* owner, uint16_t status);
  // A point of the given definition at 90 degrees, every size computed.
  CVerticalLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, CGradedLine* line);
  // The angle becomes 90 degrees; then the base part and the positions of
  // the through point and the line. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;
};

// Kind 31: the horizontal line through the through point.
class CHorizontalLinePoint : public CAngleLineBase {
 public:
  CHorizontalLinePoint(CPatternData* owner, uint16_t status);
  // A point of the given definition at 0 degrees, every size computed.
  CHorizontalLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, CGradedLine* line);
  // The angle becomes 0 degrees; then as kind 30.
  BOOL Load(ArchiveReader& archive) override;
};

// Kind 28: on the two-point line, where the straight line through the
// through point at right angles to the direction start -> direction end
// meets it.
class CPerpendicularLinePoint : public CGradedPoint {
 public:
  CPerpendicularLinePoint(CPatternData* owner, uint16_t status);
  // A point of the given definition, every size computed.
  CPerpendicularLinePoint(CPatternData* owner, uint16_t status, CGradedPoint* through, CGradedPoint* directionStart,
                          CGradedPoint* directionEnd, CGradedLine* line);

  CGradedPoint* GetThroughPoint() const { return static_cast<CGradedPoint*>(m_Through.object); }
  CGradedPoint* GetDirectionStart() const { return static_cast<CGradedPoint*>(m_DirectionStart.object); }
  CGradedPoint* GetDirectionEnd() const { return static_cast<CGradedPoint*>(m_DirectionEnd.object); }
  CGradedObject* GetLine() const { return m_Line.object; }
  // Stores the definition, then computes every size afresh.
  void SetParams(CGradedPoint* through, CGradedPoint* directionStart, CGradedPoint* directionEnd, CGradedLine* line);
  void GetParams(CGradedPoint** through, CGradedPoint** directionStart, CGradedPoint** directionEnd,
                 CGradedLine** line) const;
  // Whether `line` is the line the point lies on (both forms as kind 29's).
  BOOL UsesLine(const CGradedLine* line) const override;
  BOOL UsesLine(const CGradedObject* line) const;

  // Reads the base part and the positions of the through point, the
  // direction start, the direction end and the line. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // The crossing at the size. Without one (parallel lines, the straight
  // line on the two-point line, coinciding direction points) a graded size
  // takes the base size's position and reports 0. A missing reference
  // reports 0 with the cached position. The positions of the references
  // are used as they are handed out, whether or not their sizes failed: a
  // failed point hands out its cached position.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  // The crossing from the references' positions at `size`, written for a
  // single crossing only.
  BOOL CrossingAt(int32_t size, int32_t* x, int32_t* y);

  Reference m_Through{kObjectKindPoint};
  Reference m_DirectionStart{kObjectKindPoint};
  Reference m_DirectionEnd{kObjectKindPoint};
  Reference m_Line{kObjectKindLine};
};

// Joins kinds 28 to 31 to the point-kind table; the loader makes them with
// status 0.
void RegisterAngleLinePoints();
