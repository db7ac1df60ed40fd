// A graded value of a parametric design: a signed, weighted sum of terms,
// each reading one size's value from a size-table row or a measure of the
// design, then an offset, a factor, a divisor and a constant. Evaluated for
// a size it gives one integer in model units. Points and design elements
// hold formulas by value as their distances, offsets and widths.
//
// A formula belongs to one design container, its owner, through which stored
// references resolve and the base size and scale are found. The rows and
// measures a term names are not owned.
#pragma once

#include <cstdint>
#include <list>

#include "platform/archive.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CGradedObject;
class CPatternData;
class CPieceMeasure;
class CSizeTableRow;

// One term: the value of a row (or, without a row, a measure) at a size,
// multiplied (or divided) by numerator / denominator, added or subtracted.
class CFormulaTerm {
 public:
  // Subtracted, no reference, multiplying by 1/1.
  CFormulaTerm() = default;

  // A term on a row (measure null) or on a measure (row null). A negative
  // numerator, then a negative denominator, is made positive with the sign
  // flag flipped, so that two negative parts leave the sign as given.
  static CFormulaTerm OnRow(int32_t sign, CSizeTableRow* row, int32_t multiply, double numerator,
                            double denominator);
  static CFormulaTerm OnMeasure(int32_t sign, CPieceMeasure* measure, int32_t multiply, double numerator,
                                double denominator);

  int32_t sign = 0;  // non-zero: added; 0: subtracted
  CSizeTableRow* row = nullptr;
  CPieceMeasure* measure = nullptr;
  int32_t multiply = 1;  // non-zero: multiplied by the fraction; 0: divided by it
  double numerator = 1.0;
  double denominator = 1.0;
};

class CFormula {
 public:
  // No owner, no terms; offset 0, divisor 1.0, factor 1.0, constant 0.
  CFormula() = default;
  explicit CFormula(CPatternData* owner) : m_Owner(owner) {}
  virtual ~CFormula() = default;
  CFormula(const CFormula&) = default;
  CFormula& operator=(const CFormula&) = default;

  // Sets the owner and empties the formula.
  void Reset(CPatternData* owner);
  CPatternData* GetOwner() const { return m_Owner; }
  void SetOwner(CPatternData* owner) { m_Owner = owner; }

  const std::list<CFormulaTerm>& GetTerms() const { return m_Terms; }
  int32_t GetOffset() const { return m_Offset; }
  double GetDivisor() const { return m_Divisor; }
  double GetFactor() const { return m_Factor; }
  int32_t GetConstant() const { return m_Constant; }

  // Reads the formula's record: the term count (checked against the bytes
  // left, 32 per term, before anything is made), each term's sign, row
  // index, measure index, multiply flag, numerator and denominator, then the
  // offset (0x31323334 reads as 0), the divisor, the factor and the
  // constant. Row and measure indices resolve through the owner at once
  // (none for -1 or a position outside its lists). 0 when the record is cut
  // short or its count does not fit; the formula is then empty.
  virtual BOOL Load(ArchiveReader& archive);

  // Whether a measure that a term uses refers to `object`.
  BOOL DependsOnElement(const CGradedObject* object) const;

 protected:
  CPatternData* m_Owner = nullptr;
  std::list<CFormulaTerm> m_Terms;
  int32_t m_Offset = 0;
  double m_Divisor = 1.0;
  double m_Factor = 1.0;
  int32_t m_Constant = 0;
};
