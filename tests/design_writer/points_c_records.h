// Records of the direction-line, curve tangent, rotated, arc-length and
// linked points (point kinds 32, 37 to 47), for the tests of their loaders.
//
// Written from the record layouts alone, sharing nothing with the loaders:
// each function lays out one record body (everything after the object and
// point kind words) from explicit field values, as a file of the writer's
// version stores it. Kinds 39 and 44 to 47 store their status at every
// version; the others only from version 104 on (DesignArchiveWriter's
// PointBase).
#pragma once

#include <cstdint>
#include <string>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

// The point kinds these records are for.
inline constexpr int32_t kSampleKindRelativeAngleLine = 32;
inline constexpr int32_t kSampleKindTangentDistance = 37;
inline constexpr int32_t kSampleKindLinked = 38;
inline constexpr int32_t kSampleKindTwoPointCurve = 39;
inline constexpr int32_t kSampleKindAngleCurve = 40;
inline constexpr int32_t kSampleKindVerticalCurve = 41;
inline constexpr int32_t kSampleKindHorizontalCurve = 42;
inline constexpr int32_t kSampleKindRelativeAngleCurve = 43;
inline constexpr int32_t kSampleKindTangentCurve = 44;
inline constexpr int32_t kSampleKindTangentLine = 45;
inline constexpr int32_t kSampleKindArcLength = 46;
inline constexpr int32_t kSampleKindRotateToDirection = 47;

// Every point kind of this group, in kind order.
inline constexpr int32_t kSampleCKinds[] = {32, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47};

// The state and status of a record that stores its status at every version.
inline std::string PointBaseAlways(uint32_t state, uint16_t status) {
  return ArchiveBytes().U32(state).U16(status).Bytes();
}

// Kind 32 (kind 43 with a curve and a crossing number).
struct RelativeAngleFields {
  uint32_t state = 1;
  uint16_t status = 0;
  double angle = 0.0;
  int32_t through = -1;
  int32_t start = -1;
  int32_t end = -1;
  int32_t target = -1;  // kind 32: the line; kind 43: the curve
  int32_t crossing = 1;  // kind 43 only
  LabelFields label;
};

inline std::string RelativeAngleLineRecord(const DesignArchiveWriter& w, const RelativeAngleFields& f) {
  ArchiveBytes out;
  out.Raw(w.PointBase(f.state, f.status)).Double(f.angle);
  out.I32(f.through).I32(f.start).I32(f.end).I32(f.target);
  return out.Raw(f.label.Bytes()).Bytes();
}

inline std::string RelativeAngleCurveRecord(const DesignArchiveWriter& w, const RelativeAngleFields& f) {
  ArchiveBytes out;
  out.Raw(w.PointBase(f.state, f.status)).Double(f.angle);
  out.I32(f.through).I32(f.start).I32(f.end).I32(f.target).I32(f.crossing);
  return out.Raw(f.label.Bytes()).Bytes();
}

// Kind 39: the crossing number comes before the references.
struct TwoPointCurveFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t crossing = 1;
  int32_t through = -1;
  int32_t start = -1;
  int32_t end = -1;
  int32_t curve = -1;
};

inline std::string TwoPointCurveRecord(const TwoPointCurveFields& f) {
  ArchiveBytes out;
  out.Raw(PointBaseAlways(f.state, f.status)).I32(f.crossing);
  return out.I32(f.through).I32(f.start).I32(f.end).I32(f.curve).Bytes();
}

// Kinds 40 to 42; the angle and the label are stored by kind 40 only.
struct AngleCurveFields {
  uint32_t state = 1;
  uint16_t status = 0;
  double angle = 0.0;
  int32_t through = -1;
  int32_t curve = -1;
  int32_t crossing = 1;
  LabelFields label;
};

inline std::string AngleCurveRecord(const DesignArchiveWriter& w, const AngleCurveFields& f) {
  ArchiveBytes out;
  out.Raw(w.PointBase(f.state, f.status)).Double(f.angle).I32(f.through).I32(f.curve).I32(f.crossing);
  return out.Raw(f.label.Bytes()).Bytes();
}

inline std::string AxisCurveRecord(const DesignArchiveWriter& w, const AngleCurveFields& f) {
  ArchiveBytes out;
  out.Raw(w.PointBase(f.state, f.status)).I32(f.through).I32(f.curve).I32(f.crossing);
  return out.Bytes();
}

// Kinds 44 and 45 (`target` the second curve or the line).
struct TangentFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t curve = -1;
  int32_t point = -1;
  int32_t target = -1;
  int32_t crossing = 1;  // kind 44 only
};

inline std::string TangentCurveRecord(const TangentFields& f) {
  ArchiveBytes out;
  out.Raw(PointBaseAlways(f.state, f.status)).I32(f.curve).I32(f.point).I32(f.target).I32(f.crossing);
  return out.Bytes();
}

inline std::string TangentLineRecord(const TangentFields& f) {
  return ArchiveBytes().Raw(PointBaseAlways(f.state, f.status)).I32(f.curve).I32(f.point).I32(f.target).Bytes();
}

// Kind 37 (curve and point) and kind 46 (centre and start point): two
// references, a direction flag, a formula and a label.
struct FlagFormulaFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t first = -1;
  int32_t second = -1;
  int32_t flag = 1;
  FormulaFields formula;
  LabelFields label;
};

inline std::string TangentDistanceRecord(const DesignArchiveWriter& w, const FlagFormulaFields& f) {
  ArchiveBytes out;
  out.Raw(w.PointBase(f.state, f.status)).I32(f.first).I32(f.second).I32(f.flag);
  return out.Raw(f.formula.Bytes()).Raw(f.label.Bytes()).Bytes();
}

inline std::string ArcLengthRecord(const FlagFormulaFields& f) {
  ArchiveBytes out;
  out.Raw(PointBaseAlways(f.state, f.status)).I32(f.first).I32(f.second).I32(f.flag);
  return out.Raw(f.formula.Bytes()).Raw(f.label.Bytes()).Bytes();
}

// Kind 47.
struct RotateToDirectionFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t centre = -1;
  int32_t point = -1;
  int32_t direction = -1;
  int32_t turn = 1;
};

inline std::string RotateToDirectionRecord(const RotateToDirectionFields& f) {
  ArchiveBytes out;
  out.Raw(PointBaseAlways(f.state, f.status)).I32(f.centre).I32(f.point).I32(f.direction).I32(f.turn);
  return out.Bytes();
}

// Kind 38.
struct LinkedFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t link = -1;
};

inline std::string LinkedRecord(const DesignArchiveWriter& w, const LinkedFields& f) {
  return ArchiveBytes().Raw(w.PointBase(f.state, f.status)).Point(f.x, f.y).I32(f.link).Bytes();
}

// The values of a sample point: distinct from each other and from the
// positions of a small fixture, so that a field read out of place shows.
inline constexpr uint16_t kSampleStatus = 7;
inline constexpr double kSampleAngle = 37.5;
inline constexpr int32_t kSampleCrossing = 3;
inline constexpr int32_t kSampleFlag = 0;
inline constexpr int32_t kSampleFormulaConstant = 250;
inline constexpr int32_t kSampleLabelOffset = 321;
inline constexpr int32_t kSampleX = 1234;
inline constexpr int32_t kSampleY = -567;

// A shown label of the given mode with distinct values in every field.
inline LabelFields SampleLabel(uint32_t mode) {
  LabelFields label;
  label.mode = mode;
  label.orientation = 2;
  label.offset = kSampleLabelOffset;
  label.text_x = 5;
  label.text_y = -6;
  label.parts = 4;
  label.lines[0] = 0.5;
  label.lines[3] = -0.25;
  label.visible = 1;
  return label;
}

// Appends a sample point of `kind` (a kind of this group) referring to
// objects of `refs`; `expected` receives the positions its GetReferences
// must report, in field order.
// Kind 38 reports no references: its link (refs.curves[0]) is not one.
// Returns the point's position; -1 for a kind that is not of this group.
inline int AddSampleCPoint(DesignArchiveWriter& w, int32_t kind, const SampleRefs& refs,
                           ExpectedReferences& expected) {
  const uint32_t state = refs.state;
  constexpr uint32_t kAngleMode = 2;
  constexpr uint32_t kLinearMode = 0;
  const int* p = refs.points;
  const int line = refs.lines[0];
  const int curve = refs.curves[0];
  const int secondCurve = refs.curves[1];
  std::string body;
  switch (kind) {
    case kSampleKindRelativeAngleLine:
    case kSampleKindRelativeAngleCurve: {
      const bool onLine = kind == kSampleKindRelativeAngleLine;
      RelativeAngleFields f{state, kSampleStatus, kSampleAngle, p[0], p[1], p[2], onLine ? line : curve,
                            kSampleCrossing, SampleLabel(kAngleMode)};
      body = onLine ? RelativeAngleLineRecord(w, f) : RelativeAngleCurveRecord(w, f);
      expected = {p[0], p[1], p[2], f.target};
      break;
    }
    case kSampleKindTwoPointCurve: {
      body = TwoPointCurveRecord({state, kSampleStatus, kSampleCrossing, p[0], p[1], p[2], curve});
      expected = {p[0], p[1], p[2], curve};
      break;
    }
    case kSampleKindAngleCurve:
    case kSampleKindVerticalCurve:
    case kSampleKindHorizontalCurve: {
      AngleCurveFields f{state, kSampleStatus, kSampleAngle, p[0], curve, kSampleCrossing, SampleLabel(kAngleMode)};
      body = kind == kSampleKindAngleCurve ? AngleCurveRecord(w, f) : AxisCurveRecord(w, f);
      expected = {p[0], curve};
      break;
    }
    case kSampleKindTangentCurve:
      body = TangentCurveRecord({state, kSampleStatus, curve, p[0], secondCurve, kSampleCrossing});
      expected = {curve, p[0], secondCurve};
      break;
    case kSampleKindTangentLine:
      body = TangentLineRecord({state, kSampleStatus, curve, p[0], line});
      expected = {curve, p[0], line};
      break;
    case kSampleKindTangentDistance:
    case kSampleKindArcLength: {
      const bool tangent = kind == kSampleKindTangentDistance;
      FlagFormulaFields f{state, kSampleStatus, tangent ? curve : p[0], tangent ? p[0] : p[1], kSampleFlag,
                          FormulaFields::Constant(kSampleFormulaConstant), SampleLabel(kLinearMode)};
      body = tangent ? TangentDistanceRecord(w, f) : ArcLengthRecord(f);
      expected = {f.first, f.second};
      break;
    }
    case kSampleKindRotateToDirection:
      body = RotateToDirectionRecord({state, kSampleStatus, p[0], p[1], p[2], kSampleFlag});
      expected = {p[0], p[1], p[2]};
      break;
    case kSampleKindLinked:
      body = LinkedRecord(w, {state, kSampleStatus, kSampleX, kSampleY, curve});
      expected = {};
      break;
    default:
      expected = {};
      return -1;
  }
  return w.AddObject(1, kind, body);
}

}  // namespace design_fixture
