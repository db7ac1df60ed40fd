// Records of the band elements (element type 64, subtypes 1, 2, 4, 8, 16 and
// 32), for the design loader's tests. All six store the same record after
// the loader's envelope: two point positions, two formulas and six integers,
// with no version gate.
//
// Written from the record layout alone; it shares no code and no constant
// with the loader.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

inline constexpr int32_t kBandElementType = 64;
inline constexpr int32_t kBandSubtypes[] = {1, 2, 4, 8, 16, 32};

inline bool IsBandSubtype(int32_t subtype) {
  for (int32_t s : kBandSubtypes) {
    if (s == subtype) return true;
  }
  return false;
}

struct BandFields {
  int32_t first = -1;
  int32_t second = -1;
  FormulaFields first_value;
  FormulaFields second_value;
  std::array<int32_t, 6> params{};

  std::string Body() const {
    ArchiveBytes out;
    out.I32(first).I32(second).Raw(first_value.Bytes()).Raw(second_value.Bytes());
    for (int32_t p : params) out.I32(p);
    return out.Bytes();
  }

  ElementFields Element(int32_t subtype) const {
    ElementFields e;
    e.type = kBandElementType;
    e.subtype = subtype;
    e.body = Body();
    return e;
  }
};

// The sample band of a subtype: from the first to the second point of
// `refs`, widths of 40 and 60 units, parameters 1 to 6 = subtype + 1 ..
// subtype + 6.
inline BandFields SampleBandFields(int32_t subtype, const SampleRefs& refs) {
  BandFields band;
  band.first = refs.points[0];
  band.second = refs.points[1];
  band.first_value = FormulaFields::Constant(40);
  band.second_value = FormulaFields::Constant(60);
  for (int i = 0; i < 6; ++i) band.params[static_cast<size_t>(i)] = subtype + i + 1;
  return band;
}

// A sample band element of `subtype` for a fixture of any version (the
// record has no version gate); an element of type 0 with no body when the
// subtype is none of the six.
inline ElementFields SampleBandElement(const DesignArchiveWriter& w, int32_t subtype, const SampleRefs& refs) {
  (void)w;
  if (!IsBandSubtype(subtype)) {
    ElementFields none;
    none.type = 0;
    return none;
  }
  return SampleBandFields(subtype, refs).Element(subtype);
}

}  // namespace design_fixture
