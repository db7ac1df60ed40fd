// Records of the offset point, the intersection and foot points and the
// unplaced reference points, for the design loader's tests: one field struct
// per record layout, whose Body() writes the record after the kind words
// (object kind 1 and the point kind) as the writer's data version stores it.
//
// Written from the record layouts alone; it shares no code and no constant
// with the loader.
#pragma once

#include <cstdint>
#include <string>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

// Point kinds of the records below.
inline constexpr int32_t kOffsetPointKind = 2;
inline constexpr int32_t kLineIntersectKind = 9;
inline constexpr int32_t kCircleIntersectKind = 10;
inline constexpr int32_t kLineCurveIntersectKind = 11;
inline constexpr int32_t kCurveIntersectKind = 12;
inline constexpr int32_t kPerpendicularFootKind = 19;
inline constexpr int32_t kLineCircleIntersectKind = 21;
inline constexpr int32_t kAxisLinesIntersectKind = 22;
inline constexpr int32_t kUnplacedKind23 = 23;
inline constexpr int32_t kUnplacedKind24 = 24;
inline constexpr int32_t kUnplacedKind25 = 25;

// Up to this version an offset point stores two integer offsets in place of
// its formulas, no status word and no labels.
inline constexpr int32_t kLastIntegerOffsetVersion = 100;

// Kind 2.
struct OffsetPointFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t reference = -1;
  FormulaFields dx;
  FormulaFields dy;
  LabelFields label1;
  LabelFields label2;
  // The two integers of the old layout.
  int32_t old_dx = 0;
  int32_t old_dy = 0;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    if (w.version() <= kLastIntegerOffsetVersion) {
      out.U32(state).I32(reference).I32(old_dx).I32(old_dy);
      return out.Bytes();
    }
    out.Raw(w.PointBase(state, status)).I32(reference);
    out.Raw(dx.Bytes()).Raw(dy.Bytes()).Raw(label1.Bytes()).Raw(label2.Bytes());
    return out.Bytes();
  }
};

// Kind 9.
struct LineIntersectFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t line1 = -1;
  int32_t line2 = -1;

  std::string Body(const DesignArchiveWriter& w) const {
    return w.PointBase(state, status) + ArchiveBytes().I32(line1).I32(line2).Bytes();
  }
};

// Kind 10: each point is followed by its distance.
struct CircleIntersectFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t point1 = -1;
  FormulaFields distance1;
  int32_t point2 = -1;
  FormulaFields distance2;
  int32_t side = 0;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    out.Raw(w.PointBase(state, status)).I32(point1).Raw(distance1.Bytes());
    out.I32(point2).Raw(distance2.Bytes()).I32(side);
    return out.Bytes();
  }
};

// Kinds 11 (a line, then a curve) and 12 (two curves): two positions and a
// crossing number.
struct CrossingPointFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t first = -1;
  int32_t second = -1;
  int32_t crossing = 1;

  std::string Body(const DesignArchiveWriter& w) const {
    return w.PointBase(state, status) + ArchiveBytes().I32(first).I32(second).I32(crossing).Bytes();
  }
};

// Kind 19.
struct FootPointFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t point = -1;
  int32_t line_point1 = -1;
  int32_t line_point2 = -1;

  std::string Body(const DesignArchiveWriter& w) const {
    return w.PointBase(state, status) + ArchiveBytes().I32(point).I32(line_point1).I32(line_point2).Bytes();
  }
};

// Kind 21.
struct LineCircleIntersectFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t centre = -1;
  int32_t line = -1;
  FormulaFields radius;
  int32_t choice = 1;
  LabelFields label;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    out.Raw(w.PointBase(state, status)).I32(centre).I32(line).Raw(radius.Bytes()).I32(choice).Raw(label.Bytes());
    return out.Bytes();
  }
};

// Kind 22: each point is followed by its flag.
struct AxisLinesIntersectFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t point1 = -1;
  int32_t flag1 = 0;
  int32_t point2 = -1;
  int32_t flag2 = 1;

  std::string Body(const DesignArchiveWriter& w) const {
    return w.PointBase(state, status) + ArchiveBytes().I32(point1).I32(flag1).I32(point2).I32(flag2).Bytes();
  }
};

// Kinds 23, 24 and 25: two positions of objects of any kind and a value.
struct UnplacedPointFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t reference1 = -1;
  int32_t reference2 = -1;
  int32_t value = 0;

  std::string Body(const DesignArchiveWriter& w) const {
    return w.PointBase(state, status) + ArchiveBytes().I32(reference1).I32(reference2).I32(value).Bytes();
  }
};

// Appends a sample point of `kind` (a kind of this group) referring to
// objects of `refs`; `expected` receives the positions its GetReferences
// must report, in field order.
// The kinds are 2, 9, 10, 11, 12, 19, 21, 22, 23, 24 and 25; the sample of
// 23 refers to the text and a point, of 24 to a line and a curve, of 25 to a
// curve and the text. Returns the sample's position, or -1 (and no record)
// for another kind.
inline int AddSampleAPoint(DesignArchiveWriter& w, int32_t kind, const SampleRefs& refs,
                           ExpectedReferences& expected) {
  std::string body;
  switch (kind) {
    case kOffsetPointKind: {
      OffsetPointFields f;
      f.state = refs.state;
      f.reference = refs.points[0];
      f.dx = FormulaFields::Constant(30);
      f.dy = FormulaFields::Constant(50);
      f.label1.visible = 1;
      f.old_dx = 30;
      f.old_dy = 50;
      body = f.Body(w);
      expected = {f.reference};
      break;
    }
    case kLineIntersectKind: {
      LineIntersectFields f;
      f.state = refs.state;
      f.line1 = refs.lines[0];
      f.line2 = refs.lines[1];
      body = f.Body(w);
      expected = {f.line1, f.line2};
      break;
    }
    case kCircleIntersectKind: {
      CircleIntersectFields f;
      f.state = refs.state;
      f.point1 = refs.points[0];
      f.distance1 = FormulaFields::Constant(400);
      f.point2 = refs.points[1];
      f.distance2 = FormulaFields::Constant(300);
      f.side = 1;
      body = f.Body(w);
      expected = {f.point1, f.point2};
      break;
    }
    case kLineCurveIntersectKind:
    case kCurveIntersectKind: {
      CrossingPointFields f;
      f.state = refs.state;
      f.first = kind == kLineCurveIntersectKind ? refs.lines[0] : refs.curves[0];
      f.second = kind == kLineCurveIntersectKind ? refs.curves[0] : refs.curves[1];
      f.crossing = 2;
      body = f.Body(w);
      expected = {f.first, f.second};
      break;
    }
    case kPerpendicularFootKind: {
      FootPointFields f;
      f.state = refs.state;
      f.point = refs.points[2];
      f.line_point1 = refs.points[0];
      f.line_point2 = refs.points[1];
      body = f.Body(w);
      expected = {f.point, f.line_point1, f.line_point2};
      break;
    }
    case kLineCircleIntersectKind: {
      LineCircleIntersectFields f;
      f.state = refs.state;
      f.centre = refs.points[1];
      f.line = refs.lines[0];
      f.radius = FormulaFields::Constant(250);
      f.choice = 2;
      body = f.Body(w);
      expected = {f.centre, f.line};
      break;
    }
    case kAxisLinesIntersectKind: {
      AxisLinesIntersectFields f;
      f.state = refs.state;
      f.point1 = refs.points[3];
      f.point2 = refs.points[0];
      body = f.Body(w);
      expected = {f.point1, f.point2};
      break;
    }
    case kUnplacedKind23:
    case kUnplacedKind24:
    case kUnplacedKind25: {
      UnplacedPointFields f;
      f.state = refs.state;
      f.reference1 = kind == kUnplacedKind23 ? refs.text : kind == kUnplacedKind24 ? refs.lines[1] : refs.curves[1];
      f.reference2 = kind == kUnplacedKind23 ? refs.points[1] : kind == kUnplacedKind24 ? refs.curves[0] : refs.text;
      f.value = kind;
      body = f.Body(w);
      expected = {f.reference1, f.reference2};
      break;
    }
    default:
      expected.clear();
      return -1;
  }
  return w.AddObject(1, kind, body);
}

}  // namespace design_fixture
