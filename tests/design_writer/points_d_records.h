// Records of the ratio, distance and curve-span points (point kinds 3 to 8,
// 35 and 36) for the test-side archive writer. Written from the record
// layout alone, sharing no code or constant with the loader.
#pragma once

#include <cstdint>
#include <string>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {
namespace points_d {

// The version gates of these records, as this writer knows them.
inline constexpr int32_t kDirectionStored = 109;          // kinds 5, 8, 35, 36: a leading direction flag
inline constexpr int32_t kCurveDistanceLabelStored = 102;  // kinds 8 and 36: a label after the distance

// Every field any of these kinds stores; each kind writes the ones it has.
struct Fields {
  uint32_t state = 1;
  uint16_t status = 0;
  // Kinds 5, 8, 35 and 36, from version 109 on.
  uint32_t direction = 0;
  // The references in field order: kinds 3 and 6 two points; 4 and 7 a
  // line and its start point; 5 and 8 a curve and its start point; 35 and
  // 36 a curve, its start point and its end point.
  int32_t refs[3] = {-1, -1, -1};
  // Kinds 3, 4, 5 and 35.
  int32_t parts = 4;
  int32_t part = 1;
  double ratio = 0.25;
  uint32_t fraction = 1;
  // Kinds 6, 7, 8 and 36.
  FormulaFields distance = FormulaFields::Constant(250);
  // Kinds 3, 4, 6 and 7, and 8 and 36 from version 102 on.
  LabelFields label;
};

inline void WriteRatio(ArchiveBytes& out, const Fields& f) {
  out.I32(f.parts).I32(f.part).Double(f.ratio).U32(f.fraction);
}

// The record body (after the kind words) of point kind `kind`, one of 3 to
// 8, 35 and 36, as a file of the writer's version stores it; empty for any
// other kind.
inline std::string Body(const DesignArchiveWriter& w, int32_t kind, const Fields& f) {
  const int32_t v = w.version();
  ArchiveBytes out;
  out.Raw(w.PointBase(f.state, f.status));
  const bool curveKind = kind == 5 || kind == 8 || kind == 35 || kind == 36;
  if (curveKind && v >= kDirectionStored) out.U32(f.direction);
  const int refCount = kind == 35 || kind == 36 ? 3 : 2;
  for (int i = 0; i < refCount; ++i) out.I32(f.refs[i]);
  switch (kind) {
    case 3:
    case 4:
      WriteRatio(out, f);
      out.Raw(f.label.Bytes());
      break;
    case 5:
    case 35:
      WriteRatio(out, f);
      break;
    case 6:
    case 7:
      out.Raw(f.distance.Bytes()).Raw(f.label.Bytes());
      break;
    case 8:
    case 36:
      out.Raw(f.distance.Bytes());
      if (v >= kCurveDistanceLabelStored) out.Raw(f.label.Bytes());
      break;
    default:
      return std::string();
  }
  return out.Bytes();
}

// The label mode each kind's label is stored with.
inline uint32_t LabelMode(int32_t kind) {
  switch (kind) {
    case 3:
    case 4:
      return 3;  // a row of equal arcs
    case 8:
    case 36:
      return 4;  // a path beside the curve
    default:
      return 0;  // a dimension line
  }
}

}  // namespace points_d

// Appends a sample point of `kind` (a kind of this group) referring to objects of
// `refs`; `expected` receives the positions its GetReferences must report,
// in field order.
//
// Kinds 3 to 8, 35 and 36: points from refs.points, lines from refs.lines,
// curves from refs.curves. The sample has the state of refs, status 0,
// direction flag 0 where stored, the fraction 1 of 4 (ratio 0.25), the
// distance 250 and a shown label of the kind's mode. -1 for another kind.
inline int AddSampleDPoint(DesignArchiveWriter& w, int32_t kind, const SampleRefs& refs,
                           ExpectedReferences& expected) {
  points_d::Fields f;
  f.state = refs.state;
  switch (kind) {
    case 3:
    case 6:
      expected = {refs.points[0], refs.points[1]};
      break;
    case 4:
    case 7:
      expected = {refs.lines[0], refs.points[0]};
      break;
    case 5:
    case 8:
      expected = {refs.curves[0], refs.points[0]};
      break;
    case 35:
    case 36:
      expected = {refs.curves[0], refs.points[0], refs.points[1]};
      break;
    default:
      return -1;
  }
  for (size_t i = 0; i < expected.size(); ++i) f.refs[i] = expected[i];
  f.label.mode = points_d::LabelMode(kind);
  f.label.visible = 1;
  return w.AddObject(1, kind, points_d::Body(w, kind, f));
}

}  // namespace design_fixture
