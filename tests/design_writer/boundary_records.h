// Records of the piece boundary (element type 1) with its seam entries and
// of the notch (element type 16), for the design loader's tests: one field
// struct per record, whose Body() writes the element's record after the
// loader's envelope as the writer's data version stores it, and samples of
// both for the fixtures that hold one element of every type.
//
// Written from the record layouts alone; it shares no code and no constant
// with the loader.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

inline constexpr int32_t kBoundaryElementType = 1;
inline constexpr int32_t kNotchElementType = 16;

// From this version a seam entry stores its incoming width before the
// outgoing one; before it only the outgoing one.
inline constexpr int32_t kSeamWidthInFrom = 106;
// From this version every seam entry stores a corner parameter; before it
// only corner kinds 10 and 11 do.
inline constexpr int32_t kSeamCornerParamFrom = 117;
// Below this version a notch stores its angle in radians.
inline constexpr int32_t kNotchDegreesFrom = 106;
// From this version a notch record ends with one more word.
inline constexpr int32_t kNotchTrailingWordFrom = 155;

// One outline entry: positions of its line (or curve) and of its two points.
struct BoundaryEntryFields {
  int32_t line = -1;
  int32_t start = -1;
  int32_t end = -1;
};

// One seam entry. `width_in` is not stored below version 106; the corner
// parameter only where the version or the corner kind calls for it.
struct SeamEntryFields {
  int32_t point = -1;
  int32_t width_in = 0;
  int32_t width_out = 0;
  int32_t corner_kind = 1;
  int32_t corner_param = 0;

  bool StoresParam(int32_t version) const {
    return version >= kSeamCornerParamFrom || corner_kind == 10 || corner_kind == 11;
  }
};

// Type 1. The stored counts are the list sizes unless a test sets others
// (the entries written are always the lists).
struct BoundaryFields {
  std::vector<BoundaryEntryFields> entries;
  std::vector<SeamEntryFields> seams;
  std::optional<int32_t> entry_count;
  std::optional<int32_t> seam_count;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    out.I32(entry_count.value_or(static_cast<int32_t>(entries.size())));
    for (const BoundaryEntryFields& e : entries) out.I32(e.line).I32(e.start).I32(e.end);
    out.I32(seam_count.value_or(static_cast<int32_t>(seams.size())));
    for (const SeamEntryFields& s : seams) {
      out.I32(s.point);
      if (w.version() >= kSeamWidthInFrom) out.I32(s.width_in);
      out.I32(s.width_out).I32(s.corner_kind);
      if (s.StoresParam(w.version())) out.I32(s.corner_param);
    }
    return out.Bytes();
  }
};

// Type 16. `angle` is written as given: radians below version 106.
struct NotchFields {
  int32_t point_a = -1;
  int32_t point_b = -1;
  double ratio = 0.0;
  int32_t offset = 0;
  int32_t mode = 0;
  int32_t shape_kind = 0;
  int32_t length = 0;
  int32_t width = 0;
  double angle = 0.0;
  int32_t flags[5] = {};
  uint32_t trailing = 0;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    out.I32(point_a).I32(point_b).Double(ratio);
    out.I32(offset).I32(mode).I32(shape_kind).I32(length).I32(width);
    out.Double(angle);
    for (int32_t f : flags) out.I32(f);
    if (w.version() >= kNotchTrailingWordFrom) out.U32(trailing);
    return out.Bytes();
  }
};

// A boundary round the four points of `refs`, its entries alternating
// between the lines and the curves, with one seam entry (corner kind 10 and
// its parameter) on the first point.
inline BoundaryFields SampleBoundary(const SampleRefs& refs) {
  BoundaryFields b;
  b.entries = {{refs.lines[0], refs.points[0], refs.points[1]},
               {refs.curves[0], refs.points[1], refs.points[2]},
               {refs.lines[1], refs.points[2], refs.points[3]},
               {refs.curves[1], refs.points[3], refs.points[0]}};
  b.seams = {{refs.points[0], 40, 60, 10, 25}};
  return b;
}

// A notch between the first two points of `refs`, at a share of the way.
inline NotchFields SampleNotch(const SampleRefs& refs) {
  NotchFields n;
  n.point_a = refs.points[0];
  n.point_b = refs.points[1];
  n.ratio = 0.25;
  n.offset = 30;
  n.mode = 1;
  n.shape_kind = 2;
  n.length = 200;
  n.width = 40;
  n.angle = 0.5;
  for (int i = 0; i < 5; ++i) n.flags[i] = i + 1;
  return n;
}

// The sample element of `type` (1 or 16) for the writer's version; type 0
// (no element) for any other type.
inline ElementFields SampleBoundaryGroupElement(const DesignArchiveWriter& w, int32_t type, const SampleRefs& refs) {
  ElementFields e;
  e.type = type;
  if (type == kBoundaryElementType) {
    e.body = SampleBoundary(refs).Body(w);
  } else if (type == kNotchElementType) {
    e.body = SampleNotch(refs).Body(w);
  } else {
    e.type = 0;
  }
  return e;
}

}  // namespace design_fixture
