// Records of the two-point line (object kind 2) and of the point, line,
// curve and mark elements of a pattern record, for the design loader's
// tests: one field struct per record layout, whose Body() writes the record
// (after the kind word, or after the element's type code) as the writer's
// data version stores it.
//
// Written from the record layouts alone; it shares no code and no constant
// with the loader.
#pragma once

#include <cstdint>
#include <string>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

inline constexpr int32_t kLineObjectKind = 2;
inline constexpr int32_t kMarkElementType = 4;
inline constexpr int32_t kPointElementType = 128;
inline constexpr int32_t kLineElementType = 256;
inline constexpr int32_t kCurveElementType = 512;

// The versions at which the line's record grows.
inline constexpr int32_t kLineEnds = 103;        // two end positions
inline constexpr int32_t kLineStatus = 104;      // the status word
inline constexpr int32_t kLineAttribute1 = 109;  // attribute 1
inline constexpr int32_t kLineAttribute2 = 114;  // attribute 2
// The versions at which the mark's record grows.
inline constexpr int32_t kMarkExtent = 111;  // width and height
inline constexpr int32_t kMarkAngle = 112;   // the angle

// Kind 2.
struct LineFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t attribute1 = 0;
  int32_t attribute2 = 0;
  int32_t through1 = -1;
  int32_t through2 = -1;
  int32_t end1 = -1;
  int32_t end2 = -1;
  int32_t link = -1;

  std::string Body(const DesignArchiveWriter& w) const {
    const int32_t v = w.version();
    ArchiveBytes out;
    out.U32(state);
    if (v >= kLineStatus) out.U16(status);
    if (v >= kLineAttribute1) out.I32(attribute1);
    if (v >= kLineAttribute2) out.I32(attribute2);
    out.I32(through1).I32(through2);
    if (v >= kLineEnds) out.I32(end1).I32(end2);
    out.I32(link);
    return out.Bytes();
  }
};

// Type 128.
struct PointElementFields {
  uint16_t attribute = 0;
  int32_t point = -1;

  std::string Body() const { return ArchiveBytes().U16(attribute).I32(point).Bytes(); }
};

// Type 256.
struct LineElementFields {
  uint16_t attribute = 0;
  int32_t line_type = 0;
  int32_t first = -1;
  int32_t second = -1;

  std::string Body() const { return ArchiveBytes().U16(attribute).I32(line_type).I32(first).I32(second).Bytes(); }
};

// Type 512.
struct CurveElementFields {
  uint16_t attribute = 0;
  int32_t line_type = 0;
  int32_t curve = -1;
  int32_t first = -1;
  int32_t second = -1;

  std::string Body() const {
    return ArchiveBytes().U16(attribute).I32(line_type).I32(curve).I32(first).I32(second).Bytes();
  }
};

// Type 4.
struct MarkFields {
  int32_t anchor = -1;
  int32_t shape_kind = 0;
  int32_t code2 = 0;
  int32_t code3 = 0;
  int32_t switch_a = 0;
  int32_t switch_b = 0;
  int32_t size = 0;
  int32_t width = 0;
  int32_t height = 0;
  double angle = 0.0;

  std::string Body(const DesignArchiveWriter& w) const {
    const int32_t v = w.version();
    ArchiveBytes out;
    out.I32(anchor).I32(shape_kind).I32(code2).I32(code3).I32(switch_a).I32(switch_b).I32(size);
    if (v >= kMarkExtent) out.I32(width).I32(height);
    if (v >= kMarkAngle) out.Double(angle);
    return out.Bytes();
  }
};

// A sample line through points 0 and 1 of `refs`, ends at points 2 and 3,
// tied to the text; `expected` gets the through points (what GetReferences
// lists).
inline int AddSampleLine(DesignArchiveWriter& w, const SampleRefs& refs, ExpectedReferences& expected) {
  LineFields f;
  f.state = refs.state;
  f.status = 3;
  f.attribute1 = 7;
  f.attribute2 = 2;
  f.through1 = refs.points[0];
  f.through2 = refs.points[1];
  f.end1 = refs.points[2];
  f.end2 = refs.points[3];
  f.link = refs.text;
  expected = {f.through1, f.through2};
  return w.AddObject(kLineObjectKind, 0, f.Body(w));
}

// A sample element of type 4, 128, 256 or 512 referring to objects of
// `refs`; an element of type 0 (no body) for any other type.
inline ElementFields SampleLineGroupElement(const DesignArchiveWriter& w, int32_t type, const SampleRefs& refs) {
  ElementFields e;
  e.type = type;
  switch (type) {
    case kMarkElementType: {
      MarkFields f;
      f.anchor = refs.points[0];
      f.shape_kind = 4;
      f.code2 = 1;
      f.size = 20;
      f.width = 80;
      f.height = 40;
      f.angle = 30.0;
      e.body = f.Body(w);
      break;
    }
    case kPointElementType: {
      PointElementFields f;
      f.attribute = 1;
      f.point = refs.points[1];
      e.body = f.Body();
      break;
    }
    case kLineElementType: {
      LineElementFields f;
      f.line_type = 2;
      f.first = refs.points[0];
      f.second = refs.points[2];
      e.body = f.Body();
      break;
    }
    case kCurveElementType: {
      CurveElementFields f;
      f.line_type = 1;
      f.curve = refs.curves[0];
      f.first = refs.points[0];
      f.second = refs.points[1];
      e.body = f.Body();
      break;
    }
    default:
      e.type = 0;
      break;
  }
  return e;
}

}  // namespace design_fixture
