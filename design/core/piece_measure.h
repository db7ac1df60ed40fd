// A named measurement of a parametric design: the straight distance between
// two construction points (kind 1), or the length along a curve between two
// of its points (kind 2). Formulas use it as a term, so that a distance of
// the design can follow a measured length; it is drawn as a dimension line
// beside the measured part, at the offset distance, with a label of its
// name and length.
//
// The container keeps the measures in its measure list. The loader has each
// read its record, which stores the references as positions in the
// container's object list, and calls ResolveIds once every graded object is
// loaded.
//
// Ownership: the references and the owner are plain pointers into the
// container and are never freed through the measure.
#pragma once

#include <cstdint>
#include <list>

#include "platform/archive.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CGradedObject;
class CPatternData;

// Measure kinds.
inline constexpr int32_t kMeasureKindDistance = 1;  // between two points
inline constexpr int32_t kMeasureKindCurve = 2;     // along a curve between two of its points

// Text modes of the label: 0 and 1 horizontal, 2 and 3 vertical, 4 chosen
// from the dimension line at layout.
inline constexpr int32_t kMeasureTextModeAuto = 4;

class CPieceMeasure {
 public:
  // A measure with no kind, name or references, valid, laid out anew at
  // first use, automatic text mode, the dimension line 10 mm beside the
  // measured part (in the owner's scale; 0 without an owner) and the label
  // at its middle.
  explicit CPieceMeasure(CPatternData* owner);
  // The same defaults with a kind, the two points, the curve (kind 2) and a
  // name.
  CPieceMeasure(CPatternData* owner, int32_t kind, CGradedObject* ref1, CGradedObject* ref2,
                CGradedObject* ref3, const char* name);
  virtual ~CPieceMeasure() = default;
  CPieceMeasure(const CPieceMeasure&) = delete;
  CPieceMeasure& operator=(const CPieceMeasure&) = delete;

  CString GetName() const { return m_Name; }
  void SetName(const CString& name) { m_Name = name; }
  int32_t GetKind() const { return m_Kind; }
  CPatternData* GetOwner() const { return m_Owner; }
  void SetOwner(CPatternData* owner) { m_Owner = owner; }
  // The two points and, for kind 2, the curve; any may be null.
  void GetRefs(CGradedObject** ref1, CGradedObject** ref2, CGradedObject** ref3) const;
  void SetRefs(CGradedObject* ref1, CGradedObject* ref2, CGradedObject* ref3);
  // Whether one of the references is set and is `object`.
  BOOL RefersTo(const CGradedObject* object) const;

  // The measured length at a size in model units, as formulas read it.
  // Kind 1: the straight distance between the positions of the two points
  // at that size, rounded. Kind 2: the length of the curve's part between
  // the two points at that size, walked forwards, as the curve gives it.
  // 0 for a missing reference (or one of the wrong class) and for any
  // other kind.
  int32_t GetLength(int32_t size) const;

  // 1 while the referenced objects can be measured; 0 hides the measure.
  int32_t IsValid() const { return m_Valid; }
  // Decides the valid flag again. With `check` 0 the measure becomes
  // invalid and nothing else is asked. Otherwise kind 1 is valid when both
  // points may carry a measure (CPatternData::IsLineEndPoint); kind 2 when
  // its curve is shown and, except on the polyline curve kinds (5 and 6),
  // both points may carry one too. A missing reference or owner makes
  // either kind invalid; any other kind keeps its flag.
  void UpdateValidity(BOOL check);
  // The dimension line and label must be laid out again before use.
  void SetLayoutDirty() { m_LayoutDirty = 1; }
  BOOL IsLayoutDirty() const { return m_LayoutDirty; }
  void GetDisplay(int32_t* textMode, int32_t* offsetDistance, CPoint* labelOffset) const;
  void SetDisplay(int32_t textMode, int32_t offsetDistance, CPoint labelOffset);
  int32_t GetTextMode() const { return m_TextMode; }
  void SetTextMode(int32_t mode) {
    m_TextMode = mode;
    m_LayoutDirty = 1;
  }
  // Moves the label by (dx, dy): its offset from the middle of the
  // dimension and its laid-out box alike, so no new layout is needed.
  void MoveLabel(int32_t dx, int32_t dy);
  // Stands the dimension off the measured part so that it passes through
  // (x, y) at the base size: kind 1 takes the distance of (x, y) from the
  // line through the two points, kind 2 the distance from (x, y) to the
  // nearest place where the curve's part is crossed by the line through
  // (x, y) square to the part's chord. The sign puts the dimension on the
  // side of (x, y): positive to the right looking from the first point, as
  // the layout reads it. The layout is marked dirty. Nothing changes when
  // the part cannot be had (a missing reference, a point off the curve, a
  // part of no length, no crossing).
  void SetOffsetFromPoint(int32_t x, int32_t y);

  // ---- Layout and picking ------------------------------------------------
  // The dimension is laid out at the owner's base size: a line (kind 1) or a
  // path along the curve (kind 2) stood off the measured part by the offset
  // distance, with the label box centred on its middle moved by the label
  // offset. The picking and extent operations lay out first when the layout
  // is marked dirty.

  // Computes the dimension and the label box and clears the dirty flag.
  // Automatic text mode is decided here once: vertical text for a vertical
  // dimension, horizontal otherwise. A missing reference leaves the
  // dimension where it was.
  void UpdateLayout();
  // The size of the label text "name=length" (the length at the base size
  // in the program-wide unit mode and precision) in the design's label font.
  CSize GetLabelExtent() const;
  // Places the label box centred at (x, y) moved by the label offset, turned
  // for the vertical text modes; any other mode leaves the box as it was.
  void PlaceLabel(int32_t x, int32_t y);
  // Whether (x, y) lies in the label box, edges included. Never for an
  // invalid measure.
  BOOL HitTestLabel(int32_t x, int32_t y);
  // Whether (x, y) lies within `tolerance` of the dimension; `distance` gets
  // how far. Never for an invalid measure.
  BOOL HitTestLine(int32_t x, int32_t y, double tolerance, double* distance);
  // The dimension's box with the label's (left out for a measure without a
  // name); empty for an invalid measure and for one along a hidden curve.
  CRect GetBoundRect();

  // The results of the last layout.
  CPoint GetDimensionStart() const { return m_DimStart; }
  CPoint GetDimensionEnd() const { return m_DimEnd; }
  CRect GetLabelRect() const { return m_LabelRect; }

  // Turns the stored positions into references: the first two must name
  // construction points and the third a curve. A position of -1, one outside
  // the object list, or one that names an object of another kind gives no
  // reference (a curve position that names a point gives no curve).
  virtual void ResolveIds();
  // Reads the measure's record at the container's data version (the newest
  // without a container); files before version 102 store no display fields
  // and the defaults stay. Returns 0 when the record is cut short; the
  // measure is then unchanged.
  virtual BOOL Load(ArchiveReader& archive);

 private:
  // The part of the curve between the two points at the base size, walked
  // forwards on a closed curve; empty when a reference is missing or a
  // point is off the curve.
  std::list<CPoint> CurveSection() const;
  // The curve section moved to the laid-out dimension.
  std::list<CPoint> DimensionPath() const;

  CString m_Name;
  CPatternData* m_Owner;
  int32_t m_Kind = 0;
  CGradedObject* m_Refs[3] = {nullptr, nullptr, nullptr};
  // The references as the record stores them, held from Load to ResolveIds.
  int32_t m_RefIds[3] = {-1, -1, -1};
  int32_t m_Valid = 1;
  int32_t m_LayoutDirty = 1;
  int32_t m_TextMode = kMeasureTextModeAuto;
  CPoint m_DimStart;
  CPoint m_DimEnd;
  int32_t m_OffsetDistance;
  CPoint m_LabelOffset;
  CRect m_LabelRect;
  // Applied to the label box by the label hit test; nothing sets another.
  double m_LabelZoom = 1.0;
};
