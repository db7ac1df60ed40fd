// Points that turn a point about a centre, and the point that takes its
// graded positions from the curve that owns it.
//
//   kind 47  CRotateToDirectionPoint  a point turned about a centre onto the ray towards a direction point
//   kind 46  CArcLengthPoint          a graded arc length from a start point, on the circle about a centre
//   kind 38  CLinkedPoint             a stored base-size coordinate whose other sizes come from its curve
//
// Kinds 46 and 47 came with the later files: their records carry the status
// at every version. References and the link are plain pointers into the
// container's list, never owned; they are set by ResolveIds once the whole
// file is read, or by the full constructors and SetRefs.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindLinked = 38;
inline constexpr int32_t kPointKindArcLength = 46;
inline constexpr int32_t kPointKindRotateToDirection = 47;

// The turn flags of kinds 46 and 47: 0 turns counter-clockwise in model
// coordinates (a positive angle), any other value clockwise.
inline constexpr int32_t kTurnCounterClockwise = 0;
inline constexpr int32_t kTurnClockwise = 1;

// Kind 47: the point keeps its distance from the centre and ends on the ray
// from the centre through the direction point.
class CRotateToDirectionPoint : public CGradedPoint {
 public:
  // For the loaders: no references, turning clockwise.
  CRotateToDirectionPoint(CPatternData* owner, uint16_t status);
  // A point with every field, through SetRefs (every size computed).
  CRotateToDirectionPoint(CPatternData* owner, uint16_t status, CGradedPoint* centre, CGradedPoint* point,
                          CGradedPoint* directionPoint, int32_t turnFlag);

  // Stores the fields, then computes every size again.
  void SetRefs(CGradedPoint* centre, CGradedPoint* point, CGradedPoint* directionPoint, int32_t turnFlag);
  // The fields in the same order; a null out pointer is skipped.
  void GetRefs(CGradedPoint** centre, CGradedPoint** point, CGradedPoint** directionPoint, int32_t* turnFlag) const;

  CGradedPoint* GetCentre() const { return static_cast<CGradedPoint*>(m_Centre.object); }
  CGradedPoint* GetTurnedPoint() const { return static_cast<CGradedPoint*>(m_Point.object); }
  CGradedPoint* GetDirectionPoint() const { return static_cast<CGradedPoint*>(m_DirectionPoint.object); }
  int32_t GetTurnFlag() const { return m_TurnFlag; }

  // The state and the status (at every version), the centre, the turned
  // point, the direction point and the turn flag. 0 when the record is cut
  // short.
  BOOL Load(ArchiveReader& archive) override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The turned point, rounded to model units. The turn runs the flag's way
  // round, so it covers [0, 2 pi) counter-clockwise or (-2 pi, 0] clockwise;
  // both reach the same ray. Without a reference: 0, the cached position
  // kept. When a position cannot be had: 0, with the base-size result at
  // another size and the turn of the positions handed out at the base size.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Centre{kObjectKindPoint};
  Reference m_Point{kObjectKindPoint};
  Reference m_DirectionPoint{kObjectKindPoint};
  int32_t m_TurnFlag = kTurnClockwise;
};

// Kind 46: the start point's distance from the centre is the radius; the
// graded arc length is walked along that circle. Its label shows the arc
// length as a dimension from the start point to this point.
class CArcLengthPoint : public CGradedPoint {
 public:
  // For the loaders: no references, turning clockwise, an empty arc length,
  // the label hidden.
  CArcLengthPoint(CPatternData* owner, uint16_t status);
  // A point with every field, through SetRefs (every size computed).
  CArcLengthPoint(CPatternData* owner, uint16_t status, CGradedPoint* centre, CGradedPoint* startPoint,
                  int32_t direction, CFormula arcLength);

  // Stores the fields, then computes every size again.
  void SetRefs(CGradedPoint* centre, CGradedPoint* startPoint, int32_t direction, CFormula arcLength);
  // The fields in the same order (the arc length as a copy); a null out
  // pointer is skipped.
  void GetRefs(CGradedPoint** centre, CGradedPoint** startPoint, int32_t* direction, CFormula* arcLength) const;
  // Assigns the arc length and invalidates every size.
  void SetArcLength(CFormula arcLength);
  // Copies a label's settings in; the label stays bound to this point.
  void SetLabel(const CDimLabel& label);
  // The signed angle of the arc at a size, for drawing it: the angle the
  // point is turned by, with the opposite sign (negative for a
  // counter-clockwise walk). 0 without a centre or start point, or when the
  // radius is below one unit.
  double GetSweepAngle(int32_t size);

  CGradedPoint* GetCentre() const { return static_cast<CGradedPoint*>(m_Centre.object); }
  CGradedPoint* GetStartPoint() const { return static_cast<CGradedPoint*>(m_StartPoint.object); }
  int32_t GetDirection() const { return m_Direction; }
  CFormula GetArcLength() const { return m_ArcLength; }
  const CDimLabel& GetLabel() const { return m_Label; }

  // The state and the status (at every version), the centre, the start
  // point, the direction flag, the arc length and the label. 0 when the
  // record is cut short.
  BOOL Load(ArchiveReader& archive) override;

  // ---- The arc length label -------------------------------------------------
  // Shows only while this point and the start point are in use.
  void SetLabelVisible(BOOL show) override;
  // The label edits the arc length (no size is computed again here); GetFormula
  // hands out the arc length whatever label is asked.
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  // The arc length's dimension at the base size, from the start point to this
  // point.
  void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;
  // A clone starts with a fresh label.
  bool ClonesLabels() const override { return false; }

  // The start point turned about the centre by arc length over radius. A
  // length beyond the circumference wraps round (a length of whole turns
  // gives the start point); a negative length walks the other way and is
  // not wrapped. Without a reference: 0, the cached position kept. When a
  // position cannot be had: 0, with the base-size result at another size.
  // A radius below one unit has no arc: the centre with 0.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Centre{kObjectKindPoint};
  Reference m_StartPoint{kObjectKindPoint};
  int32_t m_Direction = kTurnClockwise;
  CFormula m_ArcLength;
  CDimLabel m_Label;
};

// Kind 38: a point that a curve owns. The stored coordinate is its base-size
// position; the other sizes ask the linked curve, and fall back to the
// coordinate without one. The link is kept in the root's link (SetLink,
// GetLink) and is not one of the point's references: the point lists none and
// refers to nothing, so it never keeps its curve in use.
class CLinkedPoint : public CGradedPoint {
 public:
  // For the loaders: coordinate (0, 0) until Load reads it, no link.
  CLinkedPoint(CPatternData* owner, uint16_t status);
  // A point at (x, y) with no link, hidden until its creator sets the state.
  CLinkedPoint(CPatternData* owner, uint16_t status, int32_t x, int32_t y);
  CLinkedPoint(CPatternData* owner, uint16_t status, CPoint point);

  // Stores the coordinate and invalidates every size.
  void SetPoint(int32_t x, int32_t y);
  CPoint GetStoredPoint() const { return m_Point; }

  // The base part (status from version 104 on), the coordinate and the
  // link's stored position. 0 when the record is cut short.
  BOOL Load(ArchiveReader& archive) override;
  // The link takes the curve at its stored position: none for -1, a
  // position outside the list or any other kind of object.
  void ResolveIds() override;
  // A link equal to `oldObject` becomes `newObject`, and the point and what
  // is built on it are computed again.
  void ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) override;

 protected:
  // The coordinate and the link: the same link for a clone, the link's
  // position in the source's owner for CopyFrom (ResolveIds follows).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;
  // The coordinate at the base size and without a link; at another size the
  // position the linked curve gives for this point, or the coordinate when
  // it gives none. Always 1.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;
  // The position is cached but the size stays dirty: the curve is asked
  // again at every request, since it moves its own points without telling
  // them.
  SizeOutcome OutcomeOf(BOOL result) const override;

 private:
  CPoint m_Point;
  int32_t m_LinkIndex = -1;
};

// Joins kinds 38, 46 and 47 to the point-kind table; the loader makes them
// with status 0.
void RegisterRotatedPoints();
