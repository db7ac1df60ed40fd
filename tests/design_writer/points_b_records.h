// Record bodies of the mirror, rotation and transfer points (point kinds 13,
// 14, 26, 27, 33, 34), the polar and direction-distance points (15 to 18)
// and the angle-line points (28 to 31), for the tests of their loaders.
//
// Written from the record layouts alone, sharing nothing with the loaders.
// Each function takes the point's base part as bytes (the writer's
// PointBase, which follows the version gate of the status word) and the
// fields by name, and lays them out in record order, which for kinds 26, 27,
// 29 and 33 differs from the order of the fields: kind 26 stores the angle,
// the centre, then the source; kind 33 the centre before the source; kind 27
// its mode and kind 29 its angle before the references. A body is what
// follows the kind words.
#pragma once

#include <cstdint>
#include <string>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

// Kind 13: source, then the two points of the mirror line.
inline std::string LineMirrorPointBody(const std::string& base, int32_t source, int32_t linePoint1,
                                       int32_t linePoint2) {
  return ArchiveBytes().Raw(base).I32(source).I32(linePoint1).I32(linePoint2).Bytes();
}

// Kind 14: source, centre.
inline std::string PointMirrorPointBody(const std::string& base, int32_t source, int32_t centre) {
  return ArchiveBytes().Raw(base).I32(source).I32(centre).Bytes();
}

// Kind 26: stored as angle, centre, source.
inline std::string RotatedPointBody(const std::string& base, int32_t source, int32_t centre, double angle) {
  return ArchiveBytes().Raw(base).Double(angle).I32(centre).I32(source).Bytes();
}

// Kind 27: stored as mode, source, axis point, shift start, shift end.
inline std::string AxisMirrorPointBody(const std::string& base, int32_t source, int32_t axisPoint, int32_t shiftStart,
                                       int32_t shiftEnd, int32_t mode) {
  return ArchiveBytes().Raw(base).I32(mode).I32(source).I32(axisPoint).I32(shiftStart).I32(shiftEnd).Bytes();
}

// Kind 33: stored as centre, source, from-direction point, to-direction point.
inline std::string DirectionRotatedPointBody(const std::string& base, int32_t source, int32_t centre,
                                             int32_t fromDirection, int32_t toDirection) {
  return ArchiveBytes().Raw(base).I32(centre).I32(source).I32(fromDirection).I32(toDirection).Bytes();
}

// Kind 34: source, segment start, segment end, target start, target direction.
inline std::string TransferredPointBody(const std::string& base, int32_t source, int32_t segmentStart,
                                        int32_t segmentEnd, int32_t targetStart, int32_t targetDirection) {
  return ArchiveBytes()
      .Raw(base)
      .I32(source)
      .I32(segmentStart)
      .I32(segmentEnd)
      .I32(targetStart)
      .I32(targetDirection)
      .Bytes();
}

// Kinds 15, 16, 17: reference point, distance formula, angle, distance
// label, angle label.
inline std::string PolarPointBody(const std::string& base, int32_t reference, const FormulaFields& distance,
                                  double angle, const LabelFields& distanceLabel, const LabelFields& angleLabel) {
  return ArchiveBytes()
      .Raw(base)
      .I32(reference)
      .Raw(distance.Bytes())
      .Double(angle)
      .Raw(distanceLabel.Bytes())
      .Raw(angleLabel.Bytes())
      .Bytes();
}

// Kind 18: base point, distance formula, direction start, direction end,
// angle, distance label, angle label.
inline std::string DirectionDistancePointBody(const std::string& base, int32_t basePoint,
                                              const FormulaFields& distance, int32_t directionStart,
                                              int32_t directionEnd, double angle, const LabelFields& distanceLabel,
                                              const LabelFields& angleLabel) {
  return ArchiveBytes()
      .Raw(base)
      .I32(basePoint)
      .Raw(distance.Bytes())
      .I32(directionStart)
      .I32(directionEnd)
      .Double(angle)
      .Raw(distanceLabel.Bytes())
      .Raw(angleLabel.Bytes())
      .Bytes();
}

// Kind 28: through point, direction start, direction end, line.
inline std::string PerpendicularLinePointBody(const std::string& base, int32_t through, int32_t directionStart,
                                              int32_t directionEnd, int32_t line) {
  return ArchiveBytes().Raw(base).I32(through).I32(directionStart).I32(directionEnd).I32(line).Bytes();
}

// Kind 29: stored as angle, through point, line, angle label.
inline std::string AngleLinePointBody(const std::string& base, int32_t through, double angle, int32_t line,
                                      const LabelFields& angleLabel) {
  return ArchiveBytes().Raw(base).Double(angle).I32(through).I32(line).Raw(angleLabel.Bytes()).Bytes();
}

// Kinds 30 and 31: through point, line; no angle.
inline std::string AxisLinePointBody(const std::string& base, int32_t through, int32_t line) {
  return ArchiveBytes().Raw(base).I32(through).I32(line).Bytes();
}

// The body of a sample point of `kind` (one of the kinds above) with the
// given base part, referring to objects of `refs`; `expected` receives the
// positions its loader must report, in field order. The points are taken in
// an order that differs from the order of `refs`, so that fields swapped in
// reading show. Kind 34 has five point fields and names points[0] twice.
// Empty for any other kind.
inline std::string SampleBPointBody(const std::string& base, int32_t kind, const SampleRefs& refs,
                                    ExpectedReferences& expected) {
  const int* p = refs.points;
  const int line = refs.lines[0];
  LabelFields distanceLabel;
  distanceLabel.mode = 0;
  distanceLabel.offset = -250;
  distanceLabel.visible = 1;
  LabelFields angleLabel;
  angleLabel.mode = 2;
  angleLabel.offset = 300;
  switch (kind) {
    case 13:
      expected = {p[2], p[0], p[1]};
      return LineMirrorPointBody(base, p[2], p[0], p[1]);
    case 14:
      expected = {p[1], p[0]};
      return PointMirrorPointBody(base, p[1], p[0]);
    case 26:
      expected = {p[1], p[0]};
      return RotatedPointBody(base, p[1], p[0], 30.0);
    case 27:
      expected = {p[3], p[0], p[1], p[2]};
      return AxisMirrorPointBody(base, p[3], p[0], p[1], p[2], 3);
    case 33:
      expected = {p[1], p[0], p[2], p[3]};
      return DirectionRotatedPointBody(base, p[1], p[0], p[2], p[3]);
    case 34:
      expected = {p[3], p[0], p[1], p[2], p[0]};
      return TransferredPointBody(base, p[3], p[0], p[1], p[2], p[0]);
    case 15:
    case 16:
    case 17:
      expected = {p[2]};
      return PolarPointBody(base, p[2], FormulaFields::Constant(250), 30.0, distanceLabel, angleLabel);
    case 18:
      expected = {p[2], p[0], p[1]};
      return DirectionDistancePointBody(base, p[2], FormulaFields::Constant(-120), p[0], p[1], 45.0, distanceLabel,
                                        angleLabel);
    case 28:
      expected = {p[3], p[0], p[1], line};
      return PerpendicularLinePointBody(base, p[3], p[0], p[1], line);
    case 29:
      expected = {p[1], line};
      return AngleLinePointBody(base, p[1], 60.0, line, angleLabel);
    case 30:
    case 31:
      expected = {p[2], line};
      return AxisLinePointBody(base, p[2], line);
    default:
      expected.clear();
      return std::string();
  }
}

// Appends a sample point of `kind` (one of the kinds above), shown and of
// status 0, referring to objects of `refs`; `expected` receives the positions
// its GetReferences must report, in field order. -1 (and no record) for a
// kind of another group.
inline int AddSampleBPoint(DesignArchiveWriter& w, int32_t kind, const SampleRefs& refs,
                           ExpectedReferences& expected) {
  const std::string body = SampleBPointBody(w.PointBase(refs.state, 0), kind, refs, expected);
  // Another group's kind: nothing is appended.
  if (body.empty()) return -1;
  return w.AddObject(1, kind, body);
}

}  // namespace design_fixture
