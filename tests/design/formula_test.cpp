// The formula: its value at a size (rounding, skipped divisions, values
// that overflow), its texts, the sign rule of new terms, its record cut at
// every byte, the remapping of its references into another design, freezing,
// and the replacement and equality rules.
#include "design/core/formula.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/piece_measure.h"
#include "design/core/size_table.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"

namespace {

using design_fixture::FormulaFields;
using design_fixture::FormulaTermFields;

constexpr int32_t kUnitMm = 3;
constexpr int32_t kTenths = 10;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A design of scale 10 (lengths show in mm with one decimal) with three
// sizes, base size 1, and the rows W = {5, 80, 100} and H = {20, 30, 40}.
struct Design {
  explicit Design(int32_t rowCount = 2) {
    data.SetScale(10);
    data.InsertSize(0, "S", 0, 1);
    data.InsertSize(1, "M", 0, 1);
    data.InsertSize(2, "L", 0, 1);
    data.SetBaseSize(1);
    const char* names[] = {"W", "H", "X"};
    const int32_t values[][3] = {{5, 80, 100}, {20, 30, 40}, {7, 7, 7}};
    for (int32_t r = 0; r < rowCount; ++r) {
      CSizeTableRow* row = data.AddSizeRow(names[r]);
      for (int32_t size = 0; size < 3; ++size) row->SetValue(size, values[r][size]);
    }
  }
  CSizeTableRow* Row(int32_t index) const { return data.GetSizeRowAt(index); }
  CPatternData data;
};

// A term in a table: the row by position (-1 for none).
struct TermCase {
  int32_t sign;
  int32_t row;
  int32_t multiply;
  double numerator;
  double denominator;
};

struct FormulaCase {
  std::vector<TermCase> terms;
  int32_t offset = 0;
  double divisor = 1.0;
  double factor = 1.0;
  int32_t constant = 0;
};

CFormula Build(const Design& design, const FormulaCase& formula) {
  std::list<CFormulaTerm> terms;
  for (const TermCase& t : formula.terms) {
    CFormulaTerm term;
    term.sign = t.sign;
    term.row = design.Row(t.row);
    term.multiply = t.multiply;
    term.numerator = t.numerator;
    term.denominator = t.denominator;
    terms.push_back(term);
  }
  return CFormula(const_cast<CPatternData*>(&design.data), terms, formula.offset, formula.divisor, formula.factor,
                  formula.constant);
}

TEST(FormulaEvaluate, Cases) {
  struct Case {
    const char* what;
    FormulaCase fields;
    int32_t size;
    int32_t value;
  };
  const Case kCases[] = {
      {"empty", {}, 1, 0},
      {"2.5 rounds up", {{{1, 0, 1, 1.0, 2.0}}}, 0, 3},
      {"-2.5 rounds down", {{{0, 0, 1, 1.0, 2.0}}}, 0, -3},
      {"divide mode", {{{1, 0, 0, 1.0, 2.0}}}, 0, 10},
      {"zero denominator skipped", {{{1, 0, 1, 2.0, 0.0}}}, 0, 10},
      {"zero fraction skipped in divide mode", {{{1, 0, 0, 0.0, 3.0}}}, 0, 5},
      {"all numbers", {{{1, 0, 1, 1.0, 1.0}}, 3, 4.0, 2.0, 7}, 0, 11},
      {"zero factor and divisor skipped", {{{1, 0, 1, 1.0, 1.0}}, 1, 0.0, 0.0, 0}, 0, 6},
      {"two terms", {{{1, 0, 1, 1.0, 1.0}, {0, 1, 1, 1.0, 1.0}}}, 2, 60},
      {"no reference", {{{1, -1, 1, 3.0, 1.0}}, 0, 1.0, 1.0, 4}, 0, 4},
      {"beyond int32", {{{1, 2, 1, 1e300, 1.0}}}, 0, INT32_MAX},
      {"below int32", {{{0, 2, 1, 1e300, 1.0}}}, 0, INT32_MIN},
      {"infinite", {{{1, 2, 1, 1e300, 1.0}}, 0, 1.0, 1e300, 0}, 0, 0},
      {"infinite minus infinite", {{{1, 2, 1, 1e300, 1e-300}, {0, 2, 1, 1e300, 1e-300}}}, 0, 0},
      {"NaN numerator", {{{1, 0, 1, kNaN, 1.0}}, 0, 1.0, 1.0, 9}, 0, 0},
      {"NaN divisor skipped", {{{1, 0, 1, 1.0, 1.0}}, 0, kNaN, 1.0, 0}, 0, 5},
  };
  Design design(3);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Build(design, c.fields).Evaluate(c.size), c.value);
  }
}

TEST(FormulaEvaluate, MeasureTermReadsItsLength) {
  Design design;
  CPieceMeasure* measure =
      design.data.AddMeasure(std::make_unique<CPieceMeasure>(&design.data, kMeasureKindDistance, nullptr,
                                                             nullptr, nullptr, "M1"));
  CFormula formula(&design.data, {CFormulaTerm::OnMeasure(1, measure, 1, 2.0, 1.0)}, 0, 1.0, 1.0, 3);
  EXPECT_EQ(formula.Evaluate(1), 2 * measure->GetLength(1) + 3);
}

TEST(FormulaText, Cases) {
  struct Case {
    const char* what;
    FormulaCase fields;
    const char* expression;
    const char* display;
  };
  const Case kCases[] = {
      {"empty", {}, "", ""},
      {"one term and a factor", {{{1, 0, 1, 1.0, 1.0}}, 0, 1.0, 0.5, 0}, "W*0.5", "W*0.5=4"},
      {"two terms and a factor", {{{1, 0, 1, 1.0, 1.0}, {1, 1, 1, 1.0, 1.0}}, 0, 1.0, 0.5, 0},
       "(W+H)*0.5", "(W+H)*0.5=5.5"},
      {"negative factor", {{{1, 0, 1, 1.0, 1.0}}, 0, 1.0, -2.0, 0}, "W*2", "W*2=-16"},
      {"negative divisor", {{{1, 0, 1, 1.0, 1.0}}, 0, -4.0, 1.0, 0}, "W/4", "W/4=-2"},
      {"multiply mode", {{{0, 1, 1, 1.0, 1.0}, {1, 0, 1, 3.0, 2.0}}}, "-H+W*3/2", "-H+W*3/2=9"},
      {"divide mode", {{{0, 1, 1, 1.0, 1.0}, {1, 0, 0, 3.0, 2.0}}}, "-H+W*2/3", "-H+W*2/3=2.3"},
      {"no reference", {{{0, -1, 1, 3.0, 2.0}}}, "-", "-=0"},
      {"positive offset", {{{1, 0, 1, 1.0, 1.0}}, 25}, "W+2.5", "W+2.5=10.5"},
      {"negative offset", {{{1, 0, 1, 1.0, 1.0}}, -25}, "W-2.5", "W-2.5=5.5"},
      {"offset in parentheses", {{{1, 0, 1, 1.0, 1.0}}, 20, 1.0, 2.0, 0}, "(W+2)*2", "(W+2)*2=20"},
      {"factor before nothing", {{}, 0, 1.0, 2.0, 50}, "5", "5=5"},
      {"plain constant", {{}, 0, 1.0, 1.0, 50}, "5", "5"},
      {"plain offset and negative constant", {{}, 30, 1.0, 1.0, -10}, "3-1", "3-1"},
  };
  Design design;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const CFormula formula = Build(design, c.fields);
    EXPECT_EQ(formula.GetExpression(kUnitMm, kTenths), c.expression);
    EXPECT_EQ(formula.GetDisplayText(kUnitMm, kTenths), c.display);
  }
}

TEST(FormulaText, ScaleThatCannotDivideReadsAsOne) {
  for (int32_t scale : {0, -5}) {
    Design design;
    design.data.SetScale(scale);
    const CFormula formula = Build(design, {{}, 0, 1.0, 1.0, 50});
    EXPECT_EQ(formula.GetDisplayText(kUnitMm, kTenths), "50");
  }
}

TEST(FormulaText, HugeNumbersPrintInFull) {
  Design design;
  const CFormula formula = Build(design, {{{1, 0, 1, 1e300, 1.0}}});
  const CString text = formula.GetExpression(kUnitMm, kTenths);
  EXPECT_EQ(text.Left(3), "W*1");
  EXPECT_EQ(text.GetLength(), 3 + 300);
}

TEST(FormulaTerm, SignsAreNormalised) {
  struct Case { int32_t sign; double numerator, denominator; int32_t outSign; };
  const Case kCases[] = {
      {1, -2.0, -4.0, 1}, {1, -2.0, 4.0, 0}, {0, 2.0, -4.0, 1}, {0, -2.0, -4.0, 0}, {7, 2.0, 4.0, 7},
  };
  Design design;
  CSizeTableRow* row = design.Row(0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.sign << " " << c.numerator << "/" << c.denominator);
    const CFormulaTerm term = CFormulaTerm::OnRow(c.sign, row, 1, c.numerator, c.denominator);
    EXPECT_EQ(term.sign, c.outSign);
    EXPECT_EQ(term.numerator, 2.0);
    EXPECT_EQ(term.denominator, 4.0);
    EXPECT_EQ(term.row, row);
    EXPECT_EQ(term.measure, nullptr);
  }
  CPieceMeasure measure(&design.data);
  const CFormulaTerm onMeasure = CFormulaTerm::OnMeasure(1, &measure, 0, -3.0, 1.0);
  EXPECT_EQ(onMeasure.sign, 0);
  EXPECT_EQ(onMeasure.measure, &measure);
  EXPECT_EQ(onMeasure.row, nullptr);
  EXPECT_EQ(onMeasure.multiply, 0);
}

TEST(FormulaTerm, PartsPreferTheMeasureName) {
  Design design;
  CPieceMeasure measure(&design.data, kMeasureKindDistance, nullptr, nullptr, nullptr, "Arm");
  struct Case { CSizeTableRow* row; CPieceMeasure* measure; double denominator; const char* name, *fraction; };
  const Case kCases[] = {
      {design.Row(0), nullptr, 3.0, "W", "2/3"},
      {design.Row(0), &measure, 1.0, "Arm", "2"},
      {nullptr, nullptr, 0.0, "", "2"},  // a denominator reading "0" is left out
      {nullptr, nullptr, 1.0000001, "", "2"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.fraction);
    CFormulaTerm term;
    term.sign = 1;
    term.row = c.row;
    term.measure = c.measure;
    term.multiply = 0;
    term.numerator = 2.0;
    term.denominator = c.denominator;
    int32_t sign = -1;
    int32_t multiply = -1;
    CString name("old");
    CString fraction;
    term.GetParts(&sign, name, &multiply, fraction);
    EXPECT_EQ(sign, 1);
    EXPECT_EQ(multiply, 0);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(fraction, c.fraction);
  }
  CFormulaTerm both;
  both.sign = 1;
  both.row = design.Row(1);
  both.measure = &measure;
  EXPECT_EQ(both.GetText(FALSE), "HArm");  // the row is the one evaluated
  EXPECT_EQ(both.Evaluate(1), 30.0);
}

TEST(FormulaTerm, EqualityToleratesDifferencesBelowOne) {
  Design design;
  const CFormulaTerm base = CFormulaTerm::OnRow(1, design.Row(0), 1, 2.0, 3.0);
  EXPECT_EQ(base, base);
  CFormulaTerm zero = CFormulaTerm::OnRow(1, design.Row(0), 1, 0.0, 3.0);
  CFormulaTerm tiny = zero;
  tiny.numerator = 1e-20;  // vanishes next to 1.0
  EXPECT_EQ(zero, tiny);
  CFormulaTerm multiply = base;
  multiply.multiply = 5;  // both multiply
  EXPECT_EQ(base, multiply);
  CFormulaTerm other = base;
  other.denominator = 3.001;
  EXPECT_NE(base, other);
  other = base;
  other.row = design.Row(1);
  EXPECT_NE(base, other);
  other = base;
  other.sign = 2;
  EXPECT_NE(base, other);
}

TEST(FormulaLoad, ReadsTheRecordAndResolvesRows) {
  Design design;
  FormulaFields fields;
  fields.terms = {{0, 1, -1, 1, 1.0, 2.0}, {1, 7, -1, 1, 1.0, 1.0}};  // row 7 does not exist
  fields.offset = 0x31323334;
  fields.divisor = 2.0;
  fields.factor = 4.0;
  fields.constant = 9;
  const std::string bytes = fields.Bytes();
  CFormula formula;
  formula.Reset(&design.data);
  ArchiveReader archive{std::string_view(bytes)};
  ASSERT_TRUE(formula.Load(archive));
  EXPECT_EQ(formula.GetOffset(), 0);
  ASSERT_EQ(formula.GetTerms().size(), 2u);
  EXPECT_EQ(formula.GetTerms().front().row, design.Row(1));
  EXPECT_EQ(formula.GetTerms().back().row, nullptr);
  EXPECT_EQ(formula.Evaluate(1), -30 + 9);  // (-15 + 0) * 4 / 2 + 9
}

TEST(FormulaLoad, EveryPrefixFailsAndEmpties) {
  Design design;
  FormulaFields fields;
  fields.terms = {{1, 0, -1, 1, 3.0, 2.0}, {0, 1, -1, 0, 1.0, 1.0}};
  fields.offset = 5;
  fields.constant = 6;
  const std::string bytes = fields.Bytes();
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    CFormula formula = Build(design, {{{1, 0, 1, 1.0, 1.0}}, 1, 2.0, 3.0, 4});
    ArchiveReader archive{std::string_view(bytes.data(), cut)};
    EXPECT_FALSE(formula.Load(archive));
    EXPECT_TRUE(formula.GetTerms().empty());
    EXPECT_EQ(formula.GetConstant(), 0);
    EXPECT_EQ(formula.GetOwner(), &design.data);
  }
}

TEST(FormulaLoad, CountIsCheckedAgainstTheBytesLeft) {
  Design design;
  const std::string tail = FormulaFields::Constant(3).Bytes().substr(4);  // the 24 bytes after the count
  struct Case { int32_t count; bool loads; };
  const Case kCases[] = {{1, false}, {INT32_MAX, false}, {-1, true}, {0, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.count);
    const std::string bytes = design_fixture::ArchiveBytes().I32(c.count).Bytes() + tail;
    CFormula formula(&design.data);
    ArchiveReader archive{std::string_view(bytes)};
    EXPECT_EQ(formula.Load(archive), c.loads ? TRUE : FALSE);
    EXPECT_TRUE(formula.GetTerms().empty());
    EXPECT_EQ(formula.GetConstant(), c.loads ? 3 : 0);
  }
}

TEST(FormulaCopyFrom, MapsReferencesByPosition) {
  Design source(3);
  CPieceMeasure* sourceMeasure = nullptr;
  for (const char* name : {"m0", "m1"}) {
    sourceMeasure = source.data.AddMeasure(std::make_unique<CPieceMeasure>(
        &source.data, kMeasureKindDistance, nullptr, nullptr, nullptr, name));
  }
  const CFormula from(&source.data,
                      {CFormulaTerm::OnRow(1, source.Row(2), 1, 2.0, 1.0),
                       CFormulaTerm::OnMeasure(0, sourceMeasure, 0, 1.0, 3.0)},
                      1, 3.0, 2.0, 4);

  struct Case { int32_t rows; bool rowMapped; int32_t value; };
  const Case kCases[] = {{3, true, 14}, {2, false, 5}};  // (14 + 1) * 2 / 3 + 4; (0 + 1) * 2 / 3 + 4
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.rows);
    Design target(c.rows);
    CPieceMeasure* targetMeasure = nullptr;
    for (const char* name : {"t0", "t1"}) {
      targetMeasure = target.data.AddMeasure(std::make_unique<CPieceMeasure>(
          &target.data, kMeasureKindDistance, nullptr, nullptr, nullptr, name));
    }
    CFormula formula;
    formula.Reset(&target.data);
    formula.CopyFrom(from);
    EXPECT_EQ(formula.GetOwner(), &target.data);
    ASSERT_EQ(formula.GetTerms().size(), 2u);
    const CFormulaTerm& rowTerm = formula.GetTerms().front();
    EXPECT_EQ(rowTerm.row, c.rowMapped ? target.Row(2) : nullptr);
    EXPECT_EQ(rowTerm.sign, 1);
    EXPECT_EQ(rowTerm.numerator, 2.0);
    const CFormulaTerm& measureTerm = formula.GetTerms().back();
    EXPECT_EQ(measureTerm.measure, targetMeasure);
    EXPECT_EQ(measureTerm.multiply, 0);
    EXPECT_EQ(measureTerm.denominator, 3.0);
    EXPECT_EQ(formula.GetOffset(), 1);
    EXPECT_EQ(formula.GetDivisor(), 3.0);
    EXPECT_EQ(formula.GetFactor(), 2.0);
    EXPECT_EQ(formula.GetConstant(), 4);
    EXPECT_EQ(formula.Evaluate(2), c.value);
  }
}

TEST(FormulaCopyFrom, AppendsAndCopiesItselfOnce) {
  Design design;
  CFormula formula = Build(design, {{{1, 0, 1, 1.0, 1.0}}});
  formula.CopyFrom(formula);
  ASSERT_EQ(formula.GetTerms().size(), 2u);
  EXPECT_EQ(formula.Evaluate(1), 160);
}

TEST(FormulaFreeze, KeepsTheValueAtTheBaseSize) {
  Design design;
  CFormula formula = Build(design, {{{1, 0, 1, 1.0, 2.0}}, 10, 2.0, 3.0, 1});
  const int32_t atBase = formula.Evaluate(1);
  ASSERT_TRUE(formula.UsesSizeRow(design.Row(0)));
  formula.Freeze();
  EXPECT_EQ(formula.GetConstant(), atBase);
  EXPECT_EQ(atBase, 76);  // (40 + 10) * 3 / 2 + 1
  EXPECT_TRUE(formula.GetTerms().empty());
  EXPECT_EQ(formula.GetOffset(), 0);
  EXPECT_EQ(formula.GetDivisor(), 1.0);
  EXPECT_EQ(formula.GetFactor(), 1.0);
  EXPECT_FALSE(formula.UsesSizeRow(design.Row(0)));
  for (int32_t size = 0; size < 3; ++size) EXPECT_EQ(formula.Evaluate(size), atBase);
  EXPECT_EQ(formula.GetDisplayText(kUnitMm, kTenths), "7.6");
}

TEST(FormulaReferences, ReplaceVisitsEveryTerm) {
  Design design;
  CPieceMeasure measure(&design.data);
  CPieceMeasure other(&design.data);
  CFormula formula(&design.data,
                   {CFormulaTerm::OnRow(1, design.Row(0), 1, 1.0, 1.0), CFormulaTerm::OnRow(1, design.Row(0), 1, 1.0, 1.0),
                    CFormulaTerm::OnMeasure(1, &measure, 1, 1.0, 1.0), CFormulaTerm()},
                   0, 1.0, 1.0, 0);
  EXPECT_FALSE(formula.UsesSizeRow(nullptr));
  EXPECT_FALSE(formula.UsesMeasure(nullptr));
  EXPECT_FALSE(formula.ReplaceSizeRow(nullptr, design.Row(1)));  // an unset row is never replaced
  EXPECT_TRUE(formula.ReplaceSizeRow(design.Row(0), design.Row(1)));
  EXPECT_FALSE(formula.UsesSizeRow(design.Row(0)));
  for (const CFormulaTerm& term : formula.GetTerms()) EXPECT_NE(term.row, design.Row(0));
  EXPECT_TRUE(formula.UsesSizeRow(design.Row(1)));
  EXPECT_TRUE(formula.UsesMeasure(&measure));
  EXPECT_TRUE(formula.ReplaceMeasure(&measure, &other));
  EXPECT_FALSE(formula.ReplaceMeasure(&measure, &other));
  EXPECT_TRUE(formula.UsesMeasure(&other));
}

TEST(FormulaReferences, DependsOnTheObjectsOfItsMeasures) {
  Design design;
  CGradedObject point(kObjectKindPoint, &design.data, 0);
  CGradedObject elsewhere(kObjectKindPoint, &design.data, 0);
  CPieceMeasure measure(&design.data, kMeasureKindDistance, &point, nullptr, nullptr, "d");
  const CFormula formula(&design.data, {CFormulaTerm::OnMeasure(1, &measure, 1, 1.0, 1.0)}, 0, 1.0, 1.0, 0);
  EXPECT_TRUE(formula.DependsOnElement(&point));
  EXPECT_FALSE(formula.DependsOnElement(&elsewhere));
  EXPECT_FALSE(formula.DependsOnElement(nullptr));
}

TEST(FormulaSetGet, FieldsAndEquality) {
  Design design;
  Design other;
  const CFormula a = Build(design, {{{1, 0, 1, 1.0, 2.0}}, 1, 2.0, 3.0, 4});
  CPatternData* owner = nullptr;
  std::list<CFormulaTerm> terms = {CFormulaTerm(), CFormulaTerm()};
  int32_t offset = 0;
  double divisor = 0.0;
  double factor = 0.0;
  int32_t constant = 0;
  a.GetFields(&owner, terms, &offset, &divisor, &factor, &constant);
  EXPECT_EQ(owner, &design.data);
  ASSERT_EQ(terms.size(), 1u);
  EXPECT_EQ(terms.front(), a.GetTerms().front());

  CFormula b;
  b.Set(owner, terms, offset, divisor, factor, constant);
  EXPECT_EQ(a, b);
  b.Set(owner, b.GetTerms(), offset, divisor, factor, constant);  // its own list
  EXPECT_EQ(a, b);
  CFormula copy = a;
  EXPECT_EQ(copy, a);
  copy.SetOwner(&other.data);
  EXPECT_NE(copy, a);
  b.Set(owner, {}, offset, divisor, factor, constant);
  EXPECT_NE(a, b);
  b.Set(owner, terms, offset, divisor, factor, constant + 1);
  EXPECT_NE(a, b);
}

}  // namespace
