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

  CGradedPoint* GetReference() const { return static_cast<CGradedPoint*>(m_Reference.object); }
  const CFormula& GetDx() const { return m_Dx; }
  const CFormula& GetDy() const { return m_Dy; }
  const CDimLabel& GetLabel1() const { return m_Label1; }
  const CDimLabel& GetLabel2() const { return m_Label2; }

  // Reads the record of the owner's data version (see above). 0 when it is
  // cut short.
  BOOL Load(ArchiveReader& archive) override;

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
