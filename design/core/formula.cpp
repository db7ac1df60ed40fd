#include "design/core/formula.h"

#include "design/core/pattern_data.h"
#include "design/core/piece_measure.h"

namespace {

// A term record: sign, row index, measure index, multiply flag, numerator
// and denominator.
constexpr size_t kTermRecordBytes = 4 * sizeof(int32_t) + 2 * sizeof(double);
// The offset word that older files wrote where no offset was set: the bytes
// "4321" in file order, read as 0.
constexpr int32_t kUnsetOffsetWord = 0x31323334;

}  // namespace

void CFormula::Reset(CPatternData* owner) {
  m_Owner = owner;
  m_Terms.clear();
  m_Offset = 0;
  m_Divisor = 1.0;
  m_Factor = 1.0;
  m_Constant = 0;
}

BOOL CFormula::Load(ArchiveReader& archive) {
  std::list<CFormulaTerm> terms;
  int32_t count = 0;
  if (!archive.ReadI32(count) || !archive.CheckCount(count, kTermRecordBytes)) {
    Reset(m_Owner);
    return FALSE;
  }
  for (int32_t i = 0; i < count; ++i) {
    CFormulaTerm term;
    int32_t rowIndex = -1;
    int32_t measureIndex = -1;
    archive.ReadI32(term.sign);
    archive.ReadI32(rowIndex);
    archive.ReadI32(measureIndex);
    archive.ReadI32(term.multiply);
    archive.ReadDouble(term.numerator);
    archive.ReadDouble(term.denominator);
    if (m_Owner) {
      term.row = m_Owner->GetSizeRowAt(rowIndex);
      term.measure = m_Owner->GetMeasureAt(measureIndex);
    }
    terms.push_back(term);
  }
  int32_t offset = 0;
  double divisor = 1.0;
  double factor = 1.0;
  int32_t constant = 0;
  archive.ReadI32(offset);
  archive.ReadDouble(divisor);
  archive.ReadDouble(factor);
  if (!archive.ReadI32(constant)) {
    Reset(m_Owner);
    return FALSE;
  }
  m_Terms = std::move(terms);
  m_Offset = offset == kUnsetOffsetWord ? 0 : offset;
  m_Divisor = divisor;
  m_Factor = factor;
  m_Constant = constant;
  return TRUE;
}

BOOL CFormula::DependsOnElement(const CGradedObject* object) const {
  for (const CFormulaTerm& term : m_Terms) {
    if (term.measure && term.measure->RefersTo(object)) return TRUE;
  }
  return FALSE;
}
