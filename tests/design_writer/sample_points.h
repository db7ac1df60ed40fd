// A sample point of any kind 2 to 47 (but 20, the free vertex point), from
// the writer of the group that holds the kind.
#pragma once

#include <cstdint>

#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/points_a_records.h"
#include "tests/design_writer/points_b_records.h"
#include "tests/design_writer/points_c_records.h"
#include "tests/design_writer/points_d_records.h"

namespace design_fixture {

// Appends a sample point of `kind` referring to objects of `refs`;
// `expected` receives the positions its GetReferences must report. -1 (and
// no record) for a kind that no group writes.
inline int AddSamplePoint(DesignArchiveWriter& w, int32_t kind, const SampleRefs& refs,
                          ExpectedReferences& expected) {
  for (auto* add : {&AddSampleAPoint, &AddSampleBPoint, &AddSampleCPoint, &AddSampleDPoint}) {
    const int position = add(w, kind, refs, expected);
    if (position >= 0) return position;
  }
  return -1;
}

}  // namespace design_fixture
