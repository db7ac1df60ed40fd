// Records of the two-point element (type 2), the label (type 8) and the
// symbols (type 1024, subtypes 1 to 256), for the design loader's tests: one
// field struct per record layout, whose Body() writes the element's record
// after its envelope as the writer's data version stores it.
//
// Written from the record layouts alone; it shares no code and no constant
// with the loader.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

inline constexpr int32_t kTwoPointElementType = 2;
inline constexpr int32_t kLabelElementType = 8;
inline constexpr int32_t kSymbolElementType = 1024;

// The symbol subtypes and how many integer words each stores between the
// anchor and the angle.
struct SymbolKind {
  int32_t subtype;
  int32_t words;
};
inline constexpr SymbolKind kSymbolKinds[] = {{1, 3},  {2, 3},  {4, 5},   {8, 5},  {16, 5},
                                              {32, 4}, {64, 2}, {128, 3}, {256, 2}};

inline int32_t SymbolWordCount(int32_t subtype) {
  for (const SymbolKind& kind : kSymbolKinds) {
    if (kind.subtype == subtype) return kind.words;
  }
  return 0;
}

// From this version a two-point element stores a start and an end point per
// size; from the next one also its two point references.
inline constexpr int32_t kTwoPointSizePairs = 121;
inline constexpr int32_t kTwoPointReferences = 122;

// Type 2.
struct TwoPointElementFields {
  int32_t ax = 0, ay = 0;
  int32_t bx = 0, by = 0;
  int32_t ref_a = -1;
  int32_t ref_b = -1;
  // One {start x, start y, end x, end y} per size of the writer, in size
  // order; missing ones are written as zeros, extra ones dropped.
  std::vector<std::array<int32_t, 4>> per_size;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    out.Point(ax, ay).Point(bx, by);
    if (w.version() >= kTwoPointReferences) out.I32(ref_a).I32(ref_b);
    if (w.version() >= kTwoPointSizePairs) {
      for (int32_t i = 0; i < w.SizeCount(); ++i) {
        const std::array<int32_t, 4> pair =
            static_cast<size_t>(i) < per_size.size() ? per_size[static_cast<size_t>(i)] : std::array<int32_t, 4>{};
        out.Point(pair[0], pair[1]).Point(pair[2], pair[3]);
      }
    }
    return out.Bytes();
  }
};

// Type 8: the same at every version.
struct LabelElementFields {
  int32_t x = 0, y = 0;
  std::string text;
  ArchiveFont font;

  std::string Body() const {
    ArchiveBytes out;
    out.Point(x, y).CStr(text);
    font.WriteTo(out);
    return out.Bytes();
  }
};

// Type 1024: the anchor, the subtype's words, the angle; the same at every
// version. `words` is written as given, so a test can store too few.
struct SymbolElementFields {
  int32_t anchor = -1;
  std::vector<int32_t> words;
  double angle = 0.0;

  std::string Body() const {
    ArchiveBytes out;
    out.I32(anchor);
    for (int32_t word : words) out.I32(word);
    out.Double(angle);
    return out.Bytes();
  }
};

// ---- Samples ----------------------------------------------------------------

// The words of a sample symbol: 11, 12, ... for its subtype's count.
inline std::vector<int32_t> SampleSymbolWords(int32_t subtype) {
  std::vector<int32_t> words;
  for (int32_t i = 0; i < SymbolWordCount(subtype); ++i) words.push_back(11 + i);
  return words;
}

// One element of the group with every field set: a two-point element on
// points 0 and 1 (end points differing per size), a label "AB" in "Arial",
// or a symbol of `subtype` on point 0 turned by 30.5 degrees. Any other type
// (or a symbol subtype that does not exist) gives type 0, which no element
// has.
inline ElementFields SampleSymbolGroupElement(const DesignArchiveWriter& w, int32_t type, int32_t subtype,
                                              const SampleRefs& refs) {
  if (type == kTwoPointElementType) {
    TwoPointElementFields f;
    f.ax = 10, f.ay = 20, f.bx = 30, f.by = 40;
    f.ref_a = refs.points[0];
    f.ref_b = refs.points[1];
    for (int32_t i = 0; i < w.SizeCount(); ++i) f.per_size.push_back({i, 100 + i, 200 + i, 300 + i});
    return ElementFields{type, 0, f.Body(w)};
  }
  if (type == kLabelElementType) {
    LabelElementFields f;
    f.x = 50, f.y = 60;
    f.text = "AB";
    f.font.height = 20;
    f.font.face = "Arial";
    return ElementFields{type, 0, f.Body()};
  }
  if (type == kSymbolElementType && SymbolWordCount(subtype) > 0) {
    SymbolElementFields f;
    f.anchor = refs.points[0];
    f.words = SampleSymbolWords(subtype);
    f.angle = 30.5;
    return ElementFields{type, subtype, f.Body()};
  }
  return ElementFields{0, 0, {}};
}

}  // namespace design_fixture
