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
// A plain record copied by value.
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

  // The term's value at a size: the row's value there (else the measure's
  // length, else 0), multiplied or divided by the fraction, negated when
  // subtracted. A denominator or fraction of |x| <= DBL_MIN is skipped as if
  // it were 1, so nothing divides by zero.
  double Evaluate(int32_t size) const;

  // The term as text: "-" when subtracted, "+" when added after another
  // term; the row's name and the measure's name; then "*" and "/" with the
  // numbers of the fraction (numerator first when multiplying, denominator
  // first when dividing), a number left out when it reads "0" or "1". With
  // neither reference only the sign is written.
  CString GetText(BOOL notFirst) const;

  // The parts an editor shows: the sign and multiply flags, the name (the
  // measure's when set, else the row's, else empty) and the fraction as
  // "numerator" or "numerator/denominator" (the denominator only when it is
  // not exactly 1.0 and does not read "0" or "1").
  void GetParts(int32_t* sign, CString& name, int32_t* multiplyFlag, CString& fraction) const;

  // Whether the term's measure refers to `object`.
  BOOL DependsOnElement(const CGradedObject* object) const;

  // When the term's measure (row) is set and is `oldMeasure` (`oldRow`), it
  // becomes the new one and the result is TRUE.
  BOOL ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure);
  BOOL ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow);

  // Equal: the same sign flag, both multiplying or both dividing, the same
  // row and measure, and numerators and denominators that agree once 1.0 is
  // added to each (differences below a double's precision near 1.0 vanish).
  bool operator==(const CFormulaTerm& other) const;
  bool operator!=(const CFormulaTerm& other) const { return !(*this == other); }

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
  // A formula with all its fields, through Set.
  CFormula(CPatternData* owner, const std::list<CFormulaTerm>& terms, int32_t offset, double divisor,
           double factor, int32_t constant);
  virtual ~CFormula() = default;
  CFormula(const CFormula&) = default;
  CFormula& operator=(const CFormula&) = default;

  // Sets the owner and empties the formula.
  void Reset(CPatternData* owner);
  CPatternData* GetOwner() const { return m_Owner; }
  void SetOwner(CPatternData* owner) { m_Owner = owner; }

  // Sets every field; the terms are copied in order (`terms` may be this
  // formula's own list).
  void Set(CPatternData* owner, const std::list<CFormulaTerm>& terms, int32_t offset, double divisor,
           double factor, int32_t constant);
  // Every field; `terms` is emptied and receives copies of the terms. A null
  // out pointer is skipped.
  void GetFields(CPatternData** owner, std::list<CFormulaTerm>& terms, int32_t* offset, double* divisor,
                 double* factor, int32_t* constant) const;

  const std::list<CFormulaTerm>& GetTerms() const { return m_Terms; }
  int32_t GetOffset() const { return m_Offset; }
  double GetDivisor() const { return m_Divisor; }
  double GetFactor() const { return m_Factor; }
  int32_t GetConstant() const { return m_Constant; }

  // Equal: the same owner, offset and constant, divisors and factors that
  // agree once 1.0 is added to each, and pairwise equal terms in order.
  bool operator==(const CFormula& other) const;
  bool operator!=(const CFormula& other) const { return !(*this == other); }

  // Runs the replacement on every term; TRUE when any term changed.
  BOOL ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure);
  BOOL ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow);
  // Whether some term reads the row (measure); never for null.
  BOOL UsesSizeRow(const CSizeTableRow* row) const;
  BOOL UsesMeasure(const CPieceMeasure* measure) const;

  // The value at a size in model units: the sum of the terms plus the
  // offset, times the factor, over the divisor, plus the constant, rounded
  // half away from zero. A factor or divisor of |x| <= DBL_MIN is skipped.
  // A value that is not finite (an overflow or NaN from the fractions) gives
  // 0; one beyond the int32 range stops at its end.
  int32_t Evaluate(int32_t size) const;

  // Replaces the formula by its value at the owner's base size (size 0
  // without an owner): the constant takes that value and the terms, the
  // offset, the divisor and the factor become those of an empty formula.
  // Called when a row or measure that the formula uses goes away.
  void Freeze();

  // The formula as text: the term texts, the offset and the constant as
  // lengths in `unitMode` at `precision` over the owner's scale (1 when the
  // scale is not positive or there is no owner), the factor as "*" and the
  // divisor as "/" (both as absolute values, left out when they read "0" or
  // "1" or nothing precedes them). The terms and offset are put in
  // parentheses when a factor or divisor applies to more than one part.
  CString GetExpression(int32_t unitMode, int32_t precision) const;
  // The expression, then "=" and the value at the base size as a length,
  // unless the formula is a plain constant (no terms, factor and divisor
  // 1.0), whose text is its expression alone.
  CString GetDisplayText(int32_t unitMode, int32_t precision) const;

  // Reads the formula's record: the term count (checked against the bytes
  // left, 32 per term, before anything is made), each term's sign, row
  // index, measure index, multiply flag, numerator and denominator, then the
  // offset (0x31323334 reads as 0), the divisor, the factor and the
  // constant. Row and measure indices resolve through the owner at once
  // (none for -1 or a position outside its lists). 0 when the record is cut
  // short or its count does not fit; the formula is then empty.
  virtual BOOL Load(ArchiveReader& archive);

  // Takes over the source's numbers and appends copies of its terms, each
  // row (or, without a row, measure) mapped by its position in the source's
  // owner to the one at that position in this formula's owner (none where
  // this owner has no such position). The owner stays; callers Reset first.
  virtual void CopyFrom(const CFormula& source);

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
