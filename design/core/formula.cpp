#include "design/core/formula.h"

#include <cfloat>
#include <cmath>
#include <utility>

#include "design/core/pattern_data.h"
#include "design/core/piece_measure.h"
#include "design/core/size_table.h"
#include "design/geometry/number_text.h"
#include "design/geometry/primitives.h"
#include "model/length_text.h"

namespace {

// A term record: sign, row index, measure index, multiply flag, numerator
// and denominator.
constexpr size_t kTermRecordBytes = 4 * sizeof(int32_t) + 2 * sizeof(double);
// The offset word that older files wrote where no offset was set: the bytes
// "4321" in file order, read as 0.
constexpr int32_t kUnsetOffsetWord = 0x31323334;

// A divisor or fraction this small is skipped rather than divided by, and a
// factor this small is skipped rather than multiplied by.
bool IsUsable(double v) { return std::fabs(v) > DBL_MIN; }

// Makes a negative part positive and flips the sign flag with it.
void NormaliseSign(int32_t& sign, double& part) {
  if (part < 0.0) {
    part = -part;
    sign = sign ? 0 : 1;
  }
}

// The fuzzy equality of the stored doubles: each side plus 1.0.
bool NearlyEqual(double a, double b) { return a + 1.0 == b + 1.0; }

// A number of the texts: written only when it says something.
bool IsShownNumber(const CString& text) { return !text.IsEmpty() && text != "0" && text != "1"; }

// `op` and the trimmed number when it is shown; otherwise nothing.
CString NumberPart(const char* op, double value) {
  const CString text = FormatTrimmedNumber(value);
  return IsShownNumber(text) ? CString(op) + text : CString();
}

// The lengths of the texts are model units over the owner's scale; a scale
// that cannot divide reads as 1.
int32_t TextDivisor(const CPatternData* owner) {
  const int32_t scale = owner ? owner->GetScale() : 0;
  return scale > 0 ? scale : 1;
}

int32_t BaseSize(const CPatternData* owner) { return owner ? owner->GetBaseSize() : 0; }

// A signed length appended to an expression: a positive one after "+"
// (none at the start), a negative one with its own minus sign.
void AppendSignedLength(CString& text, int32_t value, int32_t divisor, int32_t unitMode, int32_t precision) {
  if (value == 0) return;
  const CString length = FormatLength(value, divisor, unitMode, precision);
  if (value > 0 && !text.IsEmpty()) text += '+';
  text += length;
}

}  // namespace

CFormulaTerm CFormulaTerm::OnRow(int32_t sign, CSizeTableRow* row, int32_t multiply, double numerator,
                                 double denominator) {
  CFormulaTerm term;
  term.sign = sign;
  term.row = row;
  term.multiply = multiply;
  term.numerator = numerator;
  term.denominator = denominator;
  NormaliseSign(term.sign, term.numerator);
  NormaliseSign(term.sign, term.denominator);
  return term;
}

CFormulaTerm CFormulaTerm::OnMeasure(int32_t sign, CPieceMeasure* measure, int32_t multiply, double numerator,
                                     double denominator) {
  CFormulaTerm term = OnRow(sign, nullptr, multiply, numerator, denominator);
  term.measure = measure;
  return term;
}

double CFormulaTerm::Evaluate(int32_t size) const {
  double v = 0.0;
  if (row) {
    v = row->GetValue(size);
  } else if (measure) {
    v = measure->GetLength(size);
  }
  double fraction = numerator;
  if (IsUsable(denominator)) fraction = numerator / denominator;
  if (multiply) {
    v *= fraction;
  } else if (IsUsable(fraction)) {
    v /= fraction;
  }
  return sign ? v : -v;
}

CString CFormulaTerm::GetText(BOOL notFirst) const {
  CString text;
  if (!sign) {
    text += '-';
  } else if (notFirst) {
    text += '+';
  }
  if (row) text += row->GetName();
  if (measure) text += measure->GetName();
  if (!row && !measure) return text;
  // Dividing by n/d multiplies by d/n.
  const double first = multiply ? numerator : denominator;
  const double second = multiply ? denominator : numerator;
  text += NumberPart("*", first);
  text += NumberPart("/", second);
  return text;
}

void CFormulaTerm::GetParts(int32_t* signFlag, CString& name, int32_t* multiplyFlag, CString& fraction) const {
  if (signFlag) *signFlag = sign;
  if (multiplyFlag) *multiplyFlag = multiply;
  if (measure) {
    name = measure->GetName();
  } else if (row) {
    name = row->GetName();
  } else {
    name.Empty();
  }
  fraction = FormatTrimmedNumber(numerator);
  if (denominator != 1.0) fraction += NumberPart("/", denominator);
}

BOOL CFormulaTerm::DependsOnElement(const CGradedObject* object) const {
  return measure && measure->RefersTo(object);
}

BOOL CFormulaTerm::ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure) {
  if (!measure || measure != oldMeasure) return FALSE;
  measure = newMeasure;
  return TRUE;
}

BOOL CFormulaTerm::ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow) {
  if (!row || row != oldRow) return FALSE;
  row = newRow;
  return TRUE;
}

bool CFormulaTerm::operator==(const CFormulaTerm& other) const {
  return sign == other.sign && (multiply != 0) == (other.multiply != 0) &&
         NearlyEqual(numerator, other.numerator) && NearlyEqual(denominator, other.denominator) &&
         row == other.row && measure == other.measure;
}

CFormula::CFormula(CPatternData* owner, const std::list<CFormulaTerm>& terms, int32_t offset, double divisor,
                   double factor, int32_t constant) {
  Set(owner, terms, offset, divisor, factor, constant);
}

void CFormula::Reset(CPatternData* owner) {
  m_Owner = owner;
  m_Terms.clear();
  m_Offset = 0;
  m_Divisor = 1.0;
  m_Factor = 1.0;
  m_Constant = 0;
}

void CFormula::Set(CPatternData* owner, const std::list<CFormulaTerm>& terms, int32_t offset, double divisor,
                   double factor, int32_t constant) {
  std::list<CFormulaTerm> copy(terms);
  m_Owner = owner;
  m_Terms = std::move(copy);
  m_Offset = offset;
  m_Divisor = divisor;
  m_Factor = factor;
  m_Constant = constant;
}

void CFormula::GetFields(CPatternData** owner, std::list<CFormulaTerm>& terms, int32_t* offset, double* divisor,
                         double* factor, int32_t* constant) const {
  if (owner) *owner = m_Owner;
  if (&terms != &m_Terms) terms = m_Terms;
  if (offset) *offset = m_Offset;
  if (divisor) *divisor = m_Divisor;
  if (factor) *factor = m_Factor;
  if (constant) *constant = m_Constant;
}

bool CFormula::operator==(const CFormula& other) const {
  return m_Owner == other.m_Owner && m_Offset == other.m_Offset && NearlyEqual(m_Divisor, other.m_Divisor) &&
         NearlyEqual(m_Factor, other.m_Factor) && m_Constant == other.m_Constant && m_Terms == other.m_Terms;
}

BOOL CFormula::ReplaceMeasure(CPieceMeasure* oldMeasure, CPieceMeasure* newMeasure) {
  BOOL changed = FALSE;
  for (CFormulaTerm& term : m_Terms) {
    if (term.ReplaceMeasure(oldMeasure, newMeasure)) changed = TRUE;
  }
  return changed;
}

BOOL CFormula::ReplaceSizeRow(CSizeTableRow* oldRow, CSizeTableRow* newRow) {
  BOOL changed = FALSE;
  for (CFormulaTerm& term : m_Terms) {
    if (term.ReplaceSizeRow(oldRow, newRow)) changed = TRUE;
  }
  return changed;
}

BOOL CFormula::UsesSizeRow(const CSizeTableRow* row) const {
  if (!row) return FALSE;
  for (const CFormulaTerm& term : m_Terms) {
    if (term.row == row) return TRUE;
  }
  return FALSE;
}

BOOL CFormula::UsesMeasure(const CPieceMeasure* measure) const {
  if (!measure) return FALSE;
  for (const CFormulaTerm& term : m_Terms) {
    if (term.measure == measure) return TRUE;
  }
  return FALSE;
}

int32_t CFormula::Evaluate(int32_t size) const {
  double s = 0.0;
  for (const CFormulaTerm& term : m_Terms) s += term.Evaluate(size);
  s += m_Offset;
  if (IsUsable(m_Factor)) s *= m_Factor;
  if (IsUsable(m_Divisor)) s /= m_Divisor;
  s += m_Constant;
  if (!std::isfinite(s)) return 0;
  return RoundToNearest(s);
}

void CFormula::Freeze() {
  const int32_t value = Evaluate(BaseSize(m_Owner));
  Reset(m_Owner);
  m_Constant = value;
}

CString CFormula::GetExpression(int32_t unitMode, int32_t precision) const {
  const int32_t divisor = TextDivisor(m_Owner);
  CString text;
  bool notFirst = false;
  for (const CFormulaTerm& term : m_Terms) {
    text += term.GetText(notFirst ? TRUE : FALSE);
    notFirst = true;
  }
  AppendSignedLength(text, m_Offset, divisor, unitMode, precision);
  const bool scaled = IsUsable(m_Factor) || IsUsable(m_Divisor);
  const bool notIdentity = !(m_Factor == 1.0 && m_Divisor == 1.0);
  const bool severalParts = m_Terms.size() >= 2 || (m_Terms.size() == 1 && m_Offset != 0);
  if (scaled && notIdentity && severalParts) text = "(" + text + ")";
  if (IsUsable(m_Factor) && !text.IsEmpty()) text += NumberPart("*", std::fabs(m_Factor));
  if (IsUsable(m_Divisor) && !text.IsEmpty()) text += NumberPart("/", std::fabs(m_Divisor));
  AppendSignedLength(text, m_Constant, divisor, unitMode, precision);
  return text;
}

CString CFormula::GetDisplayText(int32_t unitMode, int32_t precision) const {
  CString text = GetExpression(unitMode, precision);
  if (m_Terms.empty() && m_Factor == 1.0 && m_Divisor == 1.0) return text;
  text += '=';
  text += FormatLength(Evaluate(BaseSize(m_Owner)), TextDivisor(m_Owner), unitMode, precision);
  return text;
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
    if (term.DependsOnElement(object)) return TRUE;
  }
  return FALSE;
}

void CFormula::CopyFrom(const CFormula& source) {
  // A copy first: the source may be this formula, whose list grows below.
  const std::list<CFormulaTerm> sourceTerms = source.m_Terms;
  const CPatternData* sourceOwner = source.m_Owner;
  m_Offset = source.m_Offset;
  m_Divisor = source.m_Divisor;
  m_Factor = source.m_Factor;
  m_Constant = source.m_Constant;
  for (const CFormulaTerm& from : sourceTerms) {
    CFormulaTerm term;
    term.sign = from.sign;
    term.multiply = from.multiply;
    term.numerator = from.numerator;
    term.denominator = from.denominator;
    if (sourceOwner && m_Owner) {
      if (from.row) {
        term.row = m_Owner->GetSizeRowAt(sourceOwner->GetSizeRowIndex(from.row));
      } else if (from.measure) {
        term.measure = m_Owner->GetMeasureAt(sourceOwner->GetMeasureIndex(from.measure));
      }
    }
    m_Terms.push_back(term);
  }
}
