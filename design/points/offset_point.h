// The offset point (kind 2): a reference point moved by a graded horizontal
// and vertical offset, x = reference x + dx and y = reference y - dy. Each
// offset has a dimension label that shows its formula along the horizontal
// or the vertical leg from the reference point to this point.
//
// Files of data version 100 and older store the offsets as two plain
// integers and no labels: the offsets become constant formulas, dx as stored
// and dy negated, and the labels keep their defaults.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindOffset = 2;

class COffsetPoint : public CGradedPoint {
 public:
  // For the loaders: no reference, both offsets empty formulas of the owner,
  // both labels linear labels of this point standing on the measured legs
  // (offset distance 0).
  COffsetPoint(CPatternData* owner, uint16_t status);
  // As above, then the definition set (SetDefinition): every size is
  // computed at once.
  COffsetPoint(CPatternData* owner, uint16_t status, CGradedPoint* reference, const CFormula& dx,
               const CFormula& dy);

  // Stores the reference and both offsets, then computes every size again.
  void SetDefinition(CGradedPoint* reference, const CFormula& dx, const CFormula& dy);
  void GetDefinition(CGradedPoint** reference, CFormula* dx, CFormula* dy) const;
  // Stores both offsets; every size is computed again when next asked.
  void SetOffsets(const CFormula& dx, const CFormula& dy);
  void GetOffsets(CFormula* dx, CFormula* dy) const;
  // Takes over a label's settings; the label stays bound to this point.
  void SetLabel1(const CDimLabel& label) { m_Label1.CopyFrom(label); }
  void SetLabel2(const CDimLabel& label) { m_Label2.CopyFrom(label); }

  CGradedPoint* GetReference() const { return static_cast<CGradedPoint*>(m_Reference.object); }
  const CFormula& GetDx() const { return m_Dx; }
  const CFormula& GetDy() const { return m_Dy; }
  const CDimLabel& GetLabel1() const { return m_Label1; }
  const CDimLabel& GetLabel2() const { return m_Label2; }

  // Reads the record of the owner's data version (see above). 0 when it is
  // cut short.
  BOOL Load(ArchiveReader& archive) override;

  // ---- Labels: the first shows dx, the second dy --------------------------
  // Both labels show only while this point and its reference are in use;
  // hiding is always allowed.
  void SetLabelVisible(BOOL show) override;
  // The first label edits dx, the second dy; any other label nothing. GetFormula
  // hands out dx for the first label and dy for any other.
  void SetFormula(CDimLabel* label, const CFormula& value) override;
  CFormula GetFormula(CDimLabel* label) const override;
  // The leg a label stands on, at the base size: from the reference to this
  // point, made horizontal (first label, dx's text) or vertical (second
  // label, dy's text) by moving the reference's end level with this point.
  // Any other label is given nothing.
  void GetLabelText(CDimLabel* label, CString& text, CPoint* from, CPoint* to) const override;

 protected:
  // A clone starts with fresh labels.
  bool ClonesLabels() const override { return false; }
  // Both offsets are frozen when their row or measure goes away (Release*),
  // but a change of a row's or measure's values is not reported as a use.
  bool ReportsFormulaUse() const override { return false; }
  // The reference's position at the size moved by (dx, -dy). The reference
  // is asked through its own computation (not GetPoint), so a chain of
  // offset points follows its references' positions as computed; a
  // reference that fails (a cycle included) lends its cached position and
  // the result 0. Without a reference the point is (dx, -dy) with result 0.
  // The sums saturate at the int32 range, and GetPoint reports a position
  // that far out as out of range.
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override;

 private:
  BOOL LoadIntegerOffsets(ArchiveReader& archive);

  Reference m_Reference{kObjectKindPoint};
  CFormula m_Dx;
  CFormula m_Dy;
  CDimLabel m_Label1;
  CDimLabel m_Label2;
};

// Joins kind 2 to the point-kind table; the loader makes it with status 0.
void RegisterOffsetPoints();
