// Records of the darts (design elements of type 32, subtypes 1 to 512) for
// the design loader's tests: the record body of each subtype from explicit
// field values, and a sample element of any subtype for the all-in-one
// fixtures.
//
// Every subtype stores, the same at every data version: its point references
// as object positions, its formulas, then its parameter words.
//
// Written from the record layouts alone; it shares no code and no constant
// with the loader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

inline constexpr int32_t kDartElementType = 32;

// What one subtype's record holds. `flag_word` is the 0-based word whose
// stored 2 the loader keeps as 1.
struct DartLayout {
  int32_t subtype = 0;
  int references = 0;
  int formulas = 0;
  int words = 0;
  int flag_word = -1;
  int bytes = 0;  // the whole record with formulas of no term
};

inline constexpr DartLayout kDartLayouts[] = {
    {1, 2, 1, 11, 1, 80},   {2, 2, 1, 9, 0, 72},    {4, 2, 1, 11, 1, 80},   {8, 2, 1, 9, 0, 72},
    {16, 3, 0, 11, 1, 56},  {32, 3, 0, 9, 0, 48},   {64, 2, 1, 11, 1, 80},  {128, 3, 1, 9, 0, 76},
    {256, 3, 2, 15, 1, 128}, {512, 3, 2, 13, 0, 120},
};

// The layout of a subtype; null for a subtype that is none of the ten.
inline const DartLayout* FindDartLayout(int32_t subtype) {
  for (const DartLayout& layout : kDartLayouts) {
    if (layout.subtype == subtype) return &layout;
  }
  return nullptr;
}

// One dart's record body, written exactly as given: the caller gives as many
// references, formulas and words as the subtype stores (or deliberately
// fewer or more).
struct DartFields {
  std::vector<int32_t> references;
  std::vector<FormulaFields> formulas;
  std::vector<int32_t> words;

  std::string Body() const {
    ArchiveBytes out;
    for (int32_t reference : references) out.I32(reference);
    for (const FormulaFields& formula : formulas) out.Raw(formula.Bytes());
    for (int32_t word : words) out.I32(word);
    return out.Bytes();
  }
};

// Fields of the right shape for `layout`: references to the first points of
// `refs` in order, formulas of the constants 100, 200, words 1, 2, 3, ...
// with the flag word stored as 2.
inline DartFields SampleDartFields(const DartLayout& layout, const SampleRefs& refs) {
  DartFields f;
  for (int i = 0; i < layout.references; ++i) f.references.push_back(refs.points[i]);
  for (int i = 0; i < layout.formulas; ++i) f.formulas.push_back(FormulaFields::Constant(100 * (i + 1)));
  for (int i = 0; i < layout.words; ++i) f.words.push_back(i + 1);
  if (layout.flag_word >= 0) f.words[static_cast<size_t>(layout.flag_word)] = 2;
  return f;
}

// A sample element of type 32 with `subtype`, referring to points of `refs`;
// an element of type 0 (no element the loader knows) when the subtype is
// none of the ten. The record is the same at every version of `w`.
inline ElementFields SampleDartElement(const DesignArchiveWriter& w, int32_t subtype, const SampleRefs& refs) {
  (void)w;
  const DartLayout* layout = FindDartLayout(subtype);
  if (!layout) return ElementFields{0, 0, {}};
  return ElementFields{kDartElementType, subtype, SampleDartFields(*layout, refs).Body()};
}

}  // namespace design_fixture
