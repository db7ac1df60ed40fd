// The points at a graded distance from a reference point in a given
// direction. The distance is a formula, so it grows or shrinks with the size
// table; the direction is an absolute angle (kinds 15 to 17) or the direction
// between two further points turned by an angle (kind 18). Angles are in
// degrees, counter-clockwise from the x axis.
//
// Each carries two dimension labels: one showing the distance (a dimension
// line) and one showing the angle (an arc). Kinds 15, 16 and 17 share every
// field in CPolarPoint and differ only in their kind code and in which labels
// they show. References are points of the same container, not owned.
//
// Computing a size: the distance formula is evaluated for the size and the
// referenced points are asked for the same size. A failed reference still
// lets the point be placed from the position it gave, with the result 0. The
// angle comes from the file as it stands: one that is no number or is huge
// gives a meaningless but finite direction (or none), never undefined
// arithmetic, and every sum is kept in the int32 range so that GetPoint's
// bound reports a point thrown out of the plane.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindPolar15 = 15;
inline constexpr int32_t kPointKindPolar16 = 16;
inline constexpr int32_t kPointKindPolar17 = 17;
inline constexpr int32_t kPointKindDirectionDistance = 18;

// Kinds 15 to 17: at the distance from the reference point along the angle.
class CPolarPoint : public CGradedPoint {
 public:
  CGradedPoint* GetReferencePoint() const { return static_cast<CGradedPoint*>(m_Reference.object); }
  const CFormula& GetDistance() const { return m_Distance; }
  double GetAngle() const { return m_Angle; }
  const CDimLabel& GetDistanceLabel() const { return m_DistanceLabel; }
  const CDimLabel& GetAngleLabel() const { return m_AngleLabel; }

  // Stores the reference point, the distance and the angle and computes
  // every size again.
  void SetParams(CGradedPoint* reference, CFormula distance, double angle);
  void GetParams(CGradedPoint** reference, CFormula* distance, double* angle) const;
  // These store their values and make every size dirty.
  void SetDistanceAndAngle(CFormula distance, double angle);
  void SetDistance(CFormula distance);
  void SetAngle(double angle);
  void GetDistanceAndAngle(CFormula* distance, double* angle) const;
  // Copy a label's settings into the distance or angle label, which stays
  // bound to this point and its owner.
  void SetDistanceLabel(CDimLabel label);
  void SetAngleLabel(CDimLabel label);

  // Reads the base part, the reference point's position, the distance, the
  // angle, the distance label and the angle label. 0 when the record is cut
  // short; the point then stays hidden and is discarded by its loader.
  BOOL Load(ArchiveReader& archive) override;

  // ---- Labels -------------------------------------------------------------
  // The labels show only while this point and its reference point are in
  // use; kinds 16 and 17 never show the angle label.
  void SetLabelVisible(BOOL show) override;
  // The distance label edits the distance, the angle label the angle; no
  // size is computed again here. Whatever label is asked, GetFormula hands
  // out the distance and GetLabelValue the angle.
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  void SetLabelValue(CDimLabel* label, double value) override;
  double GetLabelValue(CDimLabel* label) const override;
  // The distance's dimension, at the base size: from the reference point to
  // this point, with the distance's text.
  void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const override;
  // The angle's arc, at the base size: about the reference point, from the
  // x axis (an arm as long as the distance) to this point, with the angle's
  // text (AngleLabelText).
  void GetAngleLabelText(CDimLabel* label, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                         BOOL* positive) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // For the leaves' loader constructors: an empty distance of the owner, the
  // distance label bound as a dimension line and the angle label as an arc,
  // both to this point; no reference until Load and ResolveIds.
  CPolarPoint(int32_t kind, CPatternData* owner, uint16_t status);
  // For the leaves' full constructors: as above, then SetParams.
  CPolarPoint(int32_t kind, CPatternData* owner, uint16_t status, CGradedPoint* reference, CFormula distance,
              double angle);

  // The reference point moved by the distance along the angle, each offset
  // rounded before it is added. No reference point: 0 and no position.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Reference{kObjectKindPoint};
  CFormula m_Distance;
  double m_Angle = 0.0;
  CDimLabel m_DistanceLabel;
  CDimLabel m_AngleLabel;
};

// Kind 15 shows both labels.
class CPolarPoint15 : public CPolarPoint {
 public:
  CPolarPoint15(CPatternData* owner, uint16_t status);
  CPolarPoint15(CPatternData* owner, uint16_t status, CGradedPoint* reference, CFormula distance, double angle);
};

// Kinds 16 and 17 only ever show the distance label.
class CPolarPoint16 : public CPolarPoint {
 public:
  CPolarPoint16(CPatternData* owner, uint16_t status);
  CPolarPoint16(CPatternData* owner, uint16_t status, CGradedPoint* reference, CFormula distance, double angle);
};

class CPolarPoint17 : public CPolarPoint {
 public:
  CPolarPoint17(CPatternData* owner, uint16_t status);
  CPolarPoint17(CPatternData* owner, uint16_t status, CGradedPoint* reference, CFormula distance, double angle);
};

// Kind 18: at the distance from the base point, along the direction from the
// direction start to the direction end turned about the direction start by
// the angle.
class CDirectionDistancePoint : public CGradedPoint {
 public:
  // For the loaders, as CPolarPoint's.
  CDirectionDistancePoint(CPatternData* owner, uint16_t status);
  // With every field, through SetParams.
  CDirectionDistancePoint(CPatternData* owner, uint16_t status, CGradedPoint* base, CFormula distance,
                          CGradedPoint* directionStart, CGradedPoint* directionEnd, double angle);

  CGradedPoint* GetBasePoint() const { return static_cast<CGradedPoint*>(m_Base.object); }
  CGradedPoint* GetDirectionStart() const { return static_cast<CGradedPoint*>(m_DirectionStart.object); }
  CGradedPoint* GetDirectionEnd() const { return static_cast<CGradedPoint*>(m_DirectionEnd.object); }
  const CFormula& GetDistance() const { return m_Distance; }
  double GetAngle() const { return m_Angle; }
  const CDimLabel& GetDistanceLabel() const { return m_DistanceLabel; }
  const CDimLabel& GetAngleLabel() const { return m_AngleLabel; }

  // Stores every field and computes every size again.
  void SetParams(CGradedPoint* base, CFormula distance, CGradedPoint* directionStart, CGradedPoint* directionEnd,
                 double angle);
  void GetParams(CGradedPoint** base, CFormula* distance, CGradedPoint** directionStart,
                 CGradedPoint** directionEnd, double* angle) const;
  // As CPolarPoint's.
  void SetDistanceAndAngle(CFormula distance, double angle);
  void SetDistance(CFormula distance);
  void SetAngle(double angle);
  void GetDistanceAndAngle(CFormula* distance, double* angle) const;
  void SetDistanceLabel(CDimLabel label);
  void SetAngleLabel(CDimLabel label);

  // Reads the base part, the base point's position, the distance, the
  // positions of the direction start and end, the angle, the distance label
  // and the angle label. 0 when cut short, as CPolarPoint's.
  BOOL Load(ArchiveReader& archive) override;

  // ---- Labels: as CPolarPoint's, from the base point ----------------------
  // Both labels show only while this point and its base point are in use.
  void SetLabelVisible(BOOL show) override;
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  void SetLabelValue(CDimLabel* label, double value) override;
  double GetLabelValue(CDimLabel* label) const override;
  void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const override;
  // The arc about the base point from the unturned direction (the base
  // point moved by direction end - direction start) to this point.
  void GetAngleLabelText(CDimLabel* label, CString& text, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                         BOOL* positive) const override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // The direction start -> end, turned about the start by the angle (the
  // turned end rounded to model units), scaled to the distance and laid off
  // from the base point; the sum is rounded. A missing base or direction
  // point: 0 and no position. Direction points at one place (also once the
  // turn is rounded) give no direction: the base point's position, 0.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  Reference m_Base{kObjectKindPoint};
  CFormula m_Distance;
  Reference m_DirectionStart{kObjectKindPoint};
  Reference m_DirectionEnd{kObjectKindPoint};
  double m_Angle = 0.0;
  CDimLabel m_DistanceLabel;
  CDimLabel m_AngleLabel;
};

// Joins kinds 15 to 18 to the point-kind table; the loader makes them with
// status 0.
void RegisterPolarPoints();
