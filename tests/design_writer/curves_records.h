// Records of the curves (object kind 4, curve kinds 1 to 8), for the design
// loader's tests: one field struct per record layout, whose Body() writes the
// record after the kind words as the writer's data version stores it.
//
// Written from the record layouts alone; it shares no code and no constant
// with the loader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/design_writer/archive_writer.h"

namespace design_fixture {

// Curve kinds.
inline constexpr int32_t kSplineCurveKind = 1;
inline constexpr int32_t kClosedSplineCurveKind = 2;
inline constexpr int32_t kThreePointArcKind = 3;
inline constexpr int32_t kThreePointCircleKind = 4;
inline constexpr int32_t kPolylineCurveKind = 5;
inline constexpr int32_t kClosedPolylineCurveKind = 6;
inline constexpr int32_t kCenterArcKind = 7;
inline constexpr int32_t kCenterCircleKind = 8;
inline constexpr int32_t kCurveObjectKind = 4;

// The spline records store the status word from version 104 and the first
// attribute from 109 on; every curve record stores the second attribute from
// 114 on.
inline constexpr int32_t kSplineStatusVersion = 104;
inline constexpr int32_t kSplineAttribute1Version = 109;
inline constexpr int32_t kCurveAttribute2Version = 114;

// The head every curve record starts with.
struct CurveHeadFields {
  uint32_t state = 1;
  uint16_t status = 0;
  int32_t attribute1 = 0;
  int32_t attribute2 = 1;

  // `gated`: the spline layout, whose status and first attribute depend on
  // the version.
  void WriteTo(ArchiveBytes& out, int32_t version, bool gated) const {
    out.U32(state);
    if (!gated || version >= kSplineStatusVersion) out.U16(status);
    if (!gated || version >= kSplineAttribute1Version) out.I32(attribute1);
    if (version >= kCurveAttribute2Version) out.I32(attribute2);
  }
};

// Kinds 1, 2 (spline layout) and 5, 6 (polyline layout): a counted list of
// point positions, the link, the start and the end.
struct PointListCurveFields {
  CurveHeadFields head;
  std::vector<int32_t> points;
  // Written in place of points.size() when set (a hostile count).
  bool use_count = false;
  int32_t count = 0;
  int32_t link = -1;
  int32_t start = -1;
  int32_t end = -1;

  std::string Body(const DesignArchiveWriter& w, int32_t curveKind) const {
    ArchiveBytes out;
    const bool gated = curveKind == kSplineCurveKind || curveKind == kClosedSplineCurveKind;
    head.WriteTo(out, w.version(), gated);
    out.I32(use_count ? count : static_cast<int32_t>(points.size()));
    for (int32_t p : points) out.I32(p);
    out.I32(link).I32(start).I32(end);
    return out.Bytes();
  }
};

// Kinds 3 and 4: three point positions, the link, the start and the end.
struct ThreePointCurveFields {
  CurveHeadFields head;
  int32_t points[3] = {-1, -1, -1};
  int32_t link = -1;
  int32_t start = -1;
  int32_t end = -1;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    head.WriteTo(out, w.version(), false);
    out.I32(points[0]).I32(points[1]).I32(points[2]).I32(link).I32(start).I32(end);
    return out.Bytes();
  }
};

// Kind 7: centre, from- and to-point, direction, link, start, end.
struct CenterArcFields {
  CurveHeadFields head;
  int32_t centre = -1;
  int32_t from = -1;
  int32_t to = -1;
  int32_t direction = 1;
  int32_t link = -1;
  int32_t start = -1;
  int32_t end = -1;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    head.WriteTo(out, w.version(), false);
    out.I32(centre).I32(from).I32(to).I32(direction).I32(link).I32(start).I32(end);
    return out.Bytes();
  }
};

// Kind 8: centre, circle point, link, start, end.
struct CenterCircleFields {
  CurveHeadFields head;
  int32_t centre = -1;
  int32_t point = -1;
  int32_t link = -1;
  int32_t start = -1;
  int32_t end = -1;

  std::string Body(const DesignArchiveWriter& w) const {
    ArchiveBytes out;
    head.WriteTo(out, w.version(), false);
    out.I32(centre).I32(point).I32(link).I32(start).I32(end);
    return out.Bytes();
  }
};

inline int AddCurve(DesignArchiveWriter& w, int32_t curveKind, const std::string& body) {
  return w.AddObject(kCurveObjectKind, curveKind, body);
}

// Appends a sample curve of `curveKind` on the points of `refs` (the list
// kinds all four, the three-point kinds the first three, the centre arc
// centre 0 from 1 to 2, the centre circle centre 0 through 1), linked to
// refs.lines[0], running from its first to its last defining point.
// `expected` receives the positions its GetReferences must report; -1 (and
// no record) for a kind that is no curve kind. Files before version 109
// store no curve kind: every curve of them is read as kind 1.
inline int AddSampleCurve(DesignArchiveWriter& w, int32_t curveKind, const SampleRefs& refs,
                          ExpectedReferences& expected) {
  const int32_t* p = refs.points;
  CurveHeadFields head;
  head.state = refs.state;
  switch (curveKind) {
    case kSplineCurveKind:
    case kClosedSplineCurveKind:
    case kPolylineCurveKind:
    case kClosedPolylineCurveKind: {
      PointListCurveFields f;
      f.head = head;
      f.points = {p[0], p[1], p[2], p[3]};
      f.link = refs.lines[0];
      const bool closed = curveKind % 2 == 0;
      f.start = p[0];
      f.end = closed ? p[0] : p[3];
      expected = {p[0], p[1], p[2], p[3]};
      return AddCurve(w, curveKind, f.Body(w, curveKind));
    }
    case kThreePointArcKind:
    case kThreePointCircleKind: {
      ThreePointCurveFields f;
      f.head = head;
      f.points[0] = p[0];
      f.points[1] = p[1];
      f.points[2] = p[2];
      f.link = refs.lines[0];
      f.start = p[0];
      f.end = curveKind == kThreePointCircleKind ? p[0] : p[2];
      expected = {p[0], p[1], p[2]};
      return AddCurve(w, curveKind, f.Body(w));
    }
    case kCenterArcKind: {
      CenterArcFields f;
      f.head = head;
      f.centre = p[0];
      f.from = p[1];
      f.to = p[2];
      f.link = refs.lines[0];
      f.start = p[1];
      f.end = p[2];
      expected = {p[0], p[1], p[2]};
      return AddCurve(w, curveKind, f.Body(w));
    }
    case kCenterCircleKind: {
      CenterCircleFields f;
      f.head = head;
      f.centre = p[0];
      f.point = p[1];
      f.link = refs.lines[0];
      f.start = p[1];
      f.end = p[1];
      expected = {p[0], p[1]};
      return AddCurve(w, curveKind, f.Body(w));
    }
    default:
      return -1;
  }
}

}  // namespace design_fixture
