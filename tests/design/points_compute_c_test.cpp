// How the angle-line points (kinds 28 to 31) and the direction-line points
// (kinds 32, 39 to 43) place themselves at every size: the crossing they
// take, what a graded size gets when the lines or the curve miss, the
// crossing number, the closing segment of closed curves, and the angles a
// damaged file can hold. The points they build on are placed per size by the
// test; the curves are scripted.
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/curves/graded_line.h"
#include "design/points/angle_line_points.h"
#include "design/points/direction_line_points.h"
#include "design/points/graded_point.h"
#include "tests/design/support/scripted_curve.h"
#include "tests/support/finishes_in_time.h"

namespace {

using design_test::AddScriptedCurve;
using design_test::ScriptedCurve;

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;
constexpr int kGradedSize = 2;
// What a size holds before it is computed in these tests, so that a kept
// cached position shows.
const CPoint kCached(7, 7);
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

// A construction point at a position of the test's choosing, the same at
// every size unless a size is given its own; it fails at the sizes named.
class PlacedPoint : public CGradedPoint {
 public:
  PlacedPoint(CPatternData* owner, CPoint at) : CGradedPoint(kPointKindFree, owner, 0), at(at) { SetState(1); }

  CPoint at;
  std::map<int32_t, CPoint> atSize;
  std::set<int32_t> failsAt;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (failsAt.count(size)) return FALSE;
    const auto own = atSize.find(size);
    const CPoint p = own != atSize.end() ? own->second : at;
    *x = p.x;
    *y = p.y;
    return TRUE;
  }
};

// A design of three sizes (base size 1) to build points in.
class Design {
 public:
  Design() {
    for (int i = 0; i < kSizeCount; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data.SetBaseSize(kBaseSize);
  }

  PlacedPoint* Point(int x, int y) {
    return static_cast<PlacedPoint*>(data.AddElement(std::make_unique<PlacedPoint>(&data, CPoint(x, y))));
  }
  CGradedLine* Line(CGradedPoint* a, CGradedPoint* b) {
    return static_cast<CGradedLine*>(data.AddElement(std::make_unique<CGradedLine>(&data, 0, 0, 1, a, b)));
  }
  CGradedLine* Line(CPoint a, CPoint b) { return Line(Point(a.x, a.y), Point(b.x, b.y)); }
  ScriptedCurve* Curve(PointList polyline, bool closed = false) {
    return AddScriptedCurve(data, std::move(polyline), closed);
  }
  template <class Kind, class... Args>
  Kind* Add(Args&&... args) {
    return static_cast<Kind*>(data.AddElement(std::make_unique<Kind>(&data, 0, std::forward<Args>(args)...)));
  }

  CPatternData data;
};

// The answer of a size computed afresh from kCached.
struct Answer {
  BOOL result;
  CPoint point;
};

Answer Recompute(CGradedPoint& point, int32_t size) {
  point.SetSizePoint(size, kCached.x, kCached.y);
  point.Invalidate(size);
  Answer answer{FALSE, CPoint()};
  answer.result = point.GetPoint(size, &answer.point);
  return answer;
}

void ExpectAnswer(const Answer& got, BOOL result, CPoint point) {
  EXPECT_EQ(got.result, result);
  EXPECT_EQ(got.point, point);
}

// ---- Kinds 29 to 31 ----------------------------------------------------------

TEST(AngleLinePoints, CrossTheTwoPointLineOrKeepTheCachedPosition) {
  struct Case {
    const char* name;
    std::function<CGradedPoint*(Design&)> build;
    BOOL result;
    CPoint point;
  };
  const Case kCases[] = {
      {"45 degrees through the origin onto x = 100",
       [](Design& d) { return d.Add<CAngleLinePoint>(d.Point(0, 0), 45.0, d.Line({100, 0}, {100, 50})); }, TRUE,
       CPoint(100, 100)},
      {"-45 degrees",
       [](Design& d) { return d.Add<CAngleLinePoint>(d.Point(0, 0), -45.0, d.Line({100, 0}, {100, 50})); }, TRUE,
       CPoint(100, -100)},
      {"horizontal onto a vertical line",
       [](Design& d) { return d.Add<CHorizontalLinePoint>(d.Point(10, 20), d.Line({50, 0}, {50, 100})); }, TRUE,
       CPoint(50, 20)},
      {"vertical onto a horizontal line",
       [](Design& d) { return d.Add<CVerticalLinePoint>(d.Point(10, 20), d.Line({0, 70}, {100, 70})); }, TRUE,
       CPoint(10, 70)},
      {"vertical and a vertical line are parallel",
       [](Design& d) { return d.Add<CVerticalLinePoint>(d.Point(10, 20), d.Line({50, 0}, {50, 100})); }, FALSE,
       kCached},
      {"the straight line lies on the line",
       [](Design& d) { return d.Add<CHorizontalLinePoint>(d.Point(10, 50), d.Line({0, 50}, {100, 50})); }, FALSE,
       kCached},
      {"a line of coinciding through points",
       [](Design& d) { return d.Add<CAngleLinePoint>(d.Point(0, 0), 45.0, d.Line({60, 60}, {60, 60})); }, FALSE,
       kCached},
      {"no through point",
       [](Design& d) { return d.Add<CAngleLinePoint>(nullptr, 45.0, d.Line({100, 0}, {100, 50})); }, FALSE,
       kCached},
      {"no line", [](Design& d) { return d.Add<CVerticalLinePoint>(d.Point(10, 20), nullptr); }, FALSE, kCached},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Design design;
    CGradedPoint* point = c.build(design);
    for (int32_t size = 0; size < kSizeCount; ++size) {
      SCOPED_TRACE(size);
      ExpectAnswer(Recompute(*point, size), c.result, c.point);
    }
  }
}

TEST(AngleLinePoints, AThroughPointOrLinePointNotHadFailsTheSize) {
  Design design;
  PlacedPoint* through = design.Point(0, 0);
  PlacedPoint* linePoint = design.Point(100, 50);
  auto* point = design.Add<CAngleLinePoint>(through, 45.0, design.Line(design.Point(100, 0), linePoint));
  through->failsAt = {0};
  linePoint->failsAt = {2};
  through->Invalidate(-1);
  linePoint->Invalidate(-1);
  ExpectAnswer(Recompute(*point, 0), FALSE, kCached);
  ExpectAnswer(Recompute(*point, 1), TRUE, CPoint(100, 100));
  ExpectAnswer(Recompute(*point, 2), FALSE, kCached);
}

// ---- Kind 28 -----------------------------------------------------------------

TEST(PerpendicularLinePoint, CrossesAtRightAnglesToTheDirection) {
  struct Case {
    const char* name;
    CPoint through, start, end, line1, line2;
    CPoint point;
  };
  const Case kCases[] = {
      {"across (0, 0) -> (100, 0) onto y = 50", {30, 0}, {0, 0}, {100, 0}, {0, 50}, {100, 50}, {30, 50}},
      {"the direction reversed", {30, 0}, {100, 0}, {0, 0}, {0, 50}, {100, 50}, {30, 50}},
      {"across a diagonal onto x = 100", {0, 0}, {0, 0}, {10, -10}, {100, 0}, {100, 1}, {100, 100}},
      {"beyond the drawn segment of the line", {500, 0}, {0, 0}, {100, 0}, {0, 50}, {100, 50}, {500, 50}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Design d;
    auto* point = d.Add<CPerpendicularLinePoint>(d.Point(c.through.x, c.through.y), d.Point(c.start.x, c.start.y),
                                                 d.Point(c.end.x, c.end.y), d.Line(c.line1, c.line2));
    for (int32_t size = 0; size < kSizeCount; ++size) ExpectAnswer(Recompute(*point, size), TRUE, c.point);
  }
}

TEST(PerpendicularLinePoint, AGradedSizeWithoutACrossingHoldsTheBaseSizePosition) {
  struct Case {
    const char* name;
    // Moves references at the graded size so that nothing crosses there.
    std::function<void(PlacedPoint* end, PlacedPoint* lineStart, PlacedPoint* lineEnd)> breakGradedSize;
  };
  const Case kCases[] = {
      {"the direction points coincide",
       [](PlacedPoint* end, PlacedPoint*, PlacedPoint*) { end->atSize[kGradedSize] = CPoint(0, 0); }},
      {"the straight line runs parallel to the line",
       [](PlacedPoint*, PlacedPoint*, PlacedPoint* lineEnd) { lineEnd->atSize[kGradedSize] = CPoint(0, 100); }},
      {"the straight line lies on the line",
       [](PlacedPoint* end, PlacedPoint* lineStart, PlacedPoint* lineEnd) {
         // A direction along y: the straight line becomes y = 0, the line too.
         end->atSize[kGradedSize] = CPoint(0, 100);
         lineStart->atSize[kGradedSize] = CPoint(0, 0);
         lineEnd->atSize[kGradedSize] = CPoint(100, 0);
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Design d;
    PlacedPoint* end = d.Point(100, 0);
    PlacedPoint* lineStart = d.Point(0, 50);
    PlacedPoint* lineEnd = d.Point(100, 50);
    c.breakGradedSize(end, lineStart, lineEnd);
    auto* point = d.Add<CPerpendicularLinePoint>(d.Point(30, 0), d.Point(0, 0), end, d.Line(lineStart, lineEnd));
    ExpectAnswer(Recompute(*point, kGradedSize), FALSE, CPoint(30, 50));
    // Only the first caller sees the failure.
    Answer again{FALSE, CPoint()};
    again.result = point->GetPoint(kGradedSize, &again.point);
    ExpectAnswer(again, TRUE, CPoint(30, 50));
    ExpectAnswer(Recompute(*point, 0), TRUE, CPoint(30, 50));
  }
}

TEST(PerpendicularLinePoint, FailsWithTheCachedPositionAtTheBaseSizeOrWithoutAReference) {
  Design d;
  PlacedPoint* end = d.Point(100, 0);
  end->atSize[kBaseSize] = CPoint(0, 0);  // no direction at the base size
  CGradedLine* line = d.Line({0, 50}, {100, 50});
  auto* point = d.Add<CPerpendicularLinePoint>(d.Point(30, 0), d.Point(0, 0), end, line);
  ExpectAnswer(Recompute(*point, kBaseSize), FALSE, kCached);
  ExpectAnswer(Recompute(*point, 0), TRUE, CPoint(30, 50));

  auto* withoutLine = d.Add<CPerpendicularLinePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), nullptr);
  for (int32_t size = 0; size < kSizeCount; ++size) ExpectAnswer(Recompute(*withoutLine, size), FALSE, kCached);
}

// A reference that fails its size still hands out its cached position; the
// crossing alone decides.
TEST(PerpendicularLinePoint, UsesTheHandedOutPositionOfAFailedReference) {
  Design d;
  PlacedPoint* through = d.Point(30, 0);
  through->failsAt = {0};
  through->SetSizePoint(0, 60, 0);
  auto* point = d.Add<CPerpendicularLinePoint>(through, d.Point(0, 0), d.Point(100, 0), d.Line({0, 50}, {100, 50}));
  CPoint p;
  EXPECT_TRUE(point->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(60, 50));
}

// ---- Kind 32 -----------------------------------------------------------------

TEST(RelativeAngleLinePoint, TurnsTheDirectionAndCrossesTheLine) {
  struct Case {
    const char* name;
    CPoint through, start, end;
    double angle;
    CPoint line1, line2;
    BOOL result;
    CPoint point;
  };
  const Case kCases[] = {
      {"a quarter turn of (0, 0) -> (100, 0)", {30, 0}, {0, 0}, {100, 0}, 90.0, {0, 50}, {100, 50}, TRUE, {30, 50}},
      {"45 degrees", {0, 0}, {0, 0}, {100, 0}, 45.0, {0, 50}, {100, 50}, TRUE, {50, 50}},
      {"the turn is about the direction start", {0, 0}, {500, 500}, {600, 500}, 45.0, {0, 50}, {100, 50}, TRUE,
       {50, 50}},
      {"no turn: parallel to the line", {30, 0}, {0, 0}, {100, 0}, 0.0, {0, 50}, {100, 50}, FALSE, kCached},
      {"no turn, through a point of the line", {30, 50}, {0, 0}, {100, 0}, 0.0, {0, 50}, {100, 50}, FALSE, kCached},
      {"coinciding direction points", {30, 0}, {20, 20}, {20, 20}, 90.0, {0, 50}, {100, 50}, FALSE, kCached},
      {"an angle of NaN", {30, 0}, {0, 0}, {100, 0}, kNaN, {0, 50}, {100, 50}, FALSE, kCached},
      {"an infinite angle", {30, 0}, {0, 0}, {100, 0}, -kInfinity, {0, 50}, {100, 50}, FALSE, kCached},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Design d;
    auto* point = d.Add<CRelativeAngleLinePoint>(d.Point(c.through.x, c.through.y), d.Point(c.start.x, c.start.y),
                                                 d.Point(c.end.x, c.end.y), c.angle, d.Line(c.line1, c.line2));
    for (int32_t size = 0; size < kSizeCount; ++size) ExpectAnswer(Recompute(*point, size), c.result, c.point);
  }
}

TEST(RelativeAngleLinePoint, AReferenceMissingOrNotHadFailsWithTheCachedPosition) {
  Design d;
  CGradedLine* line = d.Line({0, 50}, {100, 50});
  auto* withoutEnd = d.Add<CRelativeAngleLinePoint>(d.Point(30, 0), d.Point(0, 0), nullptr, 90.0, line);
  ExpectAnswer(Recompute(*withoutEnd, kBaseSize), FALSE, kCached);

  PlacedPoint* start = d.Point(0, 0);
  start->failsAt = {0};
  start->SetSizePoint(0, 0, 0);
  auto* point = d.Add<CRelativeAngleLinePoint>(d.Point(30, 0), start, d.Point(100, 0), 90.0, line);
  start->Invalidate(0);
  ExpectAnswer(Recompute(*point, 0), FALSE, kCached);
}

// ---- Kinds 29 to 32 at a graded size ----------------------------------------

// Unlike kind 28 and the curve kinds, these take no position from the base
// size: a graded size without a crossing keeps what it held.
TEST(AngleLinePoints, AGradedSizeWithoutACrossingKeepsItsCachedPosition) {
  struct Case {
    int32_t kind;
    std::function<CGradedPoint*(Design&, CGradedLine*)> build;
    CPoint atBase;
  };
  // The line is y = 50 at the base size and vertical (x = 0) at the graded
  // size, where the vertical straight lines miss it.
  const Case kCases[] = {
      {29, [](Design& d, CGradedLine* l) { return d.Add<CAngleLinePoint>(d.Point(30, 0), 90.0, l); }, {30, 50}},
      {30, [](Design& d, CGradedLine* l) { return d.Add<CVerticalLinePoint>(d.Point(30, 0), l); }, {30, 50}},
      {32,
       [](Design& d, CGradedLine* l) {
         return d.Add<CRelativeAngleLinePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), 90.0, l);
       },
       {30, 50}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    Design d;
    PlacedPoint* lineEnd = d.Point(100, 50);
    lineEnd->atSize[kGradedSize] = CPoint(0, 100);
    CGradedPoint* point = c.build(d, d.Line(d.Point(0, 50), lineEnd));
    ExpectAnswer(Recompute(*point, kBaseSize), TRUE, c.atBase);
    ExpectAnswer(Recompute(*point, kGradedSize), FALSE, kCached);
  }
  // Kind 31 the other way round: a horizontal line at the graded size.
  Design d;
  PlacedPoint* lineEnd = d.Point(50, 100);
  lineEnd->atSize[kGradedSize] = CPoint(100, 0);
  auto* point = d.Add<CHorizontalLinePoint>(d.Point(0, 30), d.Line(d.Point(50, 0), lineEnd));
  ExpectAnswer(Recompute(*point, kBaseSize), TRUE, CPoint(50, 30));
  ExpectAnswer(Recompute(*point, kGradedSize), FALSE, kCached);
}

// ---- Kinds 39 to 43 ----------------------------------------------------------

// An open U lying on its side: (0, 50) -> (100, 50) -> (100, 150) -> (0, 150).
PointList SidewaysU() { return {{0, 50}, {100, 50}, {100, 150}, {0, 150}}; }

CGradedPoint* BuildCurveKind(Design& d, int32_t kind, CPoint through, CGradedCurve* curve, int32_t crossing,
                             double angle) {
  CGradedPoint* p = d.Point(through.x, through.y);
  switch (kind) {
    case 39:  // at right angles to a direction: vertical (90) or horizontal (0) only
      return d.Add<CTwoPointCurveIntersectPoint>(p, d.Point(0, 0), angle == 90 ? d.Point(1000, 0) : d.Point(0, -1000),
                                                 curve, crossing);
    case 40:
      return d.Add<CAngleCurvePoint>(p, angle, curve, crossing);
    case 41:
      return d.Add<CVerticalCurvePoint>(p, curve, crossing);
    case 42:
      return d.Add<CHorizontalCurvePoint>(p, curve, crossing);
    default:  // 43: (0, 0) -> (1000, 0) turned by the angle
      return d.Add<CRelativeAngleCurvePoint>(p, d.Point(0, 0), d.Point(1000, 0), angle, curve, crossing);
  }
}

TEST(DirectionCurvePoints, TakeTheNumberedCrossingInCurveOrder) {
  struct Case {
    int32_t kind;
    double angle;  // for 39, 40 and 43; 41 and 42 have theirs
    CPoint through;
    int32_t crossing;
    BOOL result;
    CPoint point;
  };
  const Case kCases[] = {
      {41, 0, {30, 0}, 1, TRUE, {30, 50}},     {41, 0, {30, 0}, 2, TRUE, {30, 150}},
      {41, 0, {30, 0}, 0, TRUE, {30, 50}},     {41, 0, {30, 0}, -7, TRUE, {30, 50}},
      {41, 0, {30, 0}, 3, TRUE, {30, 150}},    {41, 0, {30, 0}, INT32_MAX, TRUE, {30, 150}},
      {41, 0, {300, 0}, 1, FALSE, kCached},    {42, 0, {0, 100}, 1, TRUE, {100, 100}},
      {42, 0, {0, 100}, 2, TRUE, {100, 100}},  {42, 0, {0, 0}, 1, FALSE, kCached},
      {40, 90, {30, 0}, 2, TRUE, {30, 150}},   {40, 45, {0, 0}, 1, TRUE, {50, 50}},
      {40, 45, {0, 0}, 2, TRUE, {100, 100}},   {40, 225, {0, 0}, 2, TRUE, {100, 100}},
      {39, 90, {30, 0}, 1, TRUE, {30, 50}},    {39, 90, {30, 0}, 2, TRUE, {30, 150}},
      {39, 0, {0, 100}, 1, TRUE, {100, 100}},  {43, 90, {30, 0}, 2, TRUE, {30, 150}},
      {43, 45, {0, 0}, 1, TRUE, {50, 50}},     {43, -90, {30, 500}, 1, TRUE, {30, 50}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " angle " << c.angle << " crossing " << c.crossing
                                      << " through " << c.through.x << "," << c.through.y);
    Design d;
    CGradedPoint* point = BuildCurveKind(d, c.kind, c.through, d.Curve(SidewaysU()), c.crossing, c.angle);
    ExpectAnswer(Recompute(*point, kBaseSize), c.result, c.point);
  }
}

// The closed square (0, 0), (100, 0), (100, 100), (0, 100): the horizontal
// through (200, 50) meets its right side and, across the closing segment,
// its left side.
TEST(DirectionCurvePoints, OnlyKinds39And43CrossTheClosingSegmentOfAClosedCurve) {
  struct Case {
    int32_t kind;
    double angle;
    CPoint last;
  };
  const Case kCases[] = {
      {39, 0, {0, 50}}, {43, 0, {0, 50}}, {40, 0, {100, 50}}, {42, 0, {100, 50}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    Design d;
    ScriptedCurve* square = d.Curve({{0, 0}, {100, 0}, {100, 100}, {0, 100}}, /*closed=*/true);
    CGradedPoint* point = BuildCurveKind(d, c.kind, CPoint(200, 50), square, 99, c.angle);
    ExpectAnswer(Recompute(*point, kBaseSize), TRUE, c.last);
  }
}

TEST(DirectionCurvePoints, AGradedSizeWithoutACrossingHoldsTheBaseSizePosition) {
  struct Case {
    int32_t kind;
    double angle;
    CPoint atBase;
  };
  const Case kCases[] = {
      {39, 90, {30, 50}}, {40, 90, {30, 50}}, {41, 0, {30, 50}}, {42, 0, {100, 70}}, {43, 90, {30, 50}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    for (bool curveFails : {false, true}) {
      SCOPED_TRACE(curveFails ? "the curve gives no polyline" : "the line misses the curve");
      Design d;
      ScriptedCurve* curve = d.Curve(SidewaysU());
      if (curveFails) {
        curve->failsAt[kGradedSize] = true;
      } else {
        curve->polylineAt[kGradedSize] = {{1000, 1000}, {1100, 1000}};
      }
      const CPoint through = c.kind == 42 ? CPoint(0, 70) : CPoint(30, 0);
      CGradedPoint* point = BuildCurveKind(d, c.kind, through, curve, 1, c.angle);
      ExpectAnswer(Recompute(*point, kGradedSize), FALSE, c.atBase);
      Answer again{FALSE, CPoint()};
      again.result = point->GetPoint(kGradedSize, &again.point);
      ExpectAnswer(again, TRUE, c.atBase);
      ExpectAnswer(Recompute(*point, 0), TRUE, c.atBase);
    }
  }
}

TEST(DirectionCurvePoints, AMissingReferenceFailsWithTheCachedPositionAtEverySize) {
  struct Case {
    const char* name;
    std::function<CGradedPoint*(Design&, CGradedCurve*)> build;
  };
  const Case kCases[] = {
      {"39 without a direction end",
       [](Design& d, CGradedCurve* c) {
         return d.Add<CTwoPointCurveIntersectPoint>(d.Point(30, 0), d.Point(0, 0), nullptr, c, 1);
       }},
      {"39 without a curve",
       [](Design& d, CGradedCurve*) {
         return d.Add<CTwoPointCurveIntersectPoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), nullptr, 1);
       }},
      {"40 without a through point",
       [](Design& d, CGradedCurve* c) { return d.Add<CAngleCurvePoint>(nullptr, 90.0, c, 1); }},
      {"41 without a curve",
       [](Design& d, CGradedCurve*) { return d.Add<CVerticalCurvePoint>(d.Point(30, 0), nullptr, 1); }},
      {"43 without a direction start",
       [](Design& d, CGradedCurve* c) {
         return d.Add<CRelativeAngleCurvePoint>(d.Point(30, 0), nullptr, d.Point(100, 0), 90.0, c, 1);
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Design d;
    ScriptedCurve* curve = d.Curve(SidewaysU());
    CGradedPoint* point = c.build(d, curve);
    for (int32_t size = 0; size < kSizeCount; ++size) ExpectAnswer(Recompute(*point, size), FALSE, kCached);
  }
}

// ---- Angles a damaged file can hold -----------------------------------------

TEST(DirectionLinePoints, NaNAndHugeAnglesEndSafely) {
  const double kAngles[] = {kNaN, kInfinity, -kInfinity, 1e300, -1e308, std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::denorm_min()};
  for (double angle : kAngles) {
    SCOPED_TRACE(angle);
    Design d;
    // The line y = 50 and a curve along it.
    CGradedLine* line = d.Line({-1000, 50}, {1000, 50});
    ScriptedCurve* curve = d.Curve({{-1000, 50}, {1000, 50}});
    CGradedPoint* points[] = {
        d.Add<CAngleLinePoint>(d.Point(30, 0), angle, line),
        d.Add<CRelativeAngleLinePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), angle, line),
        d.Add<CAngleCurvePoint>(d.Point(30, 0), angle, curve, 1),
        d.Add<CRelativeAngleCurvePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), angle, curve, 1),
    };
    for (CGradedPoint* point : points) {
      SCOPED_TRACE(point->GetSubtype());
      const Answer answer = Recompute(*point, kBaseSize);
      if (std::isfinite(angle)) {
        // A direction it has: where it crosses, the point is on the line.
        if (answer.result) {
          EXPECT_EQ(answer.point.y, 50);
        }
      } else {
        ExpectAnswer(answer, FALSE, kCached);
      }
    }
  }
}

// ---- Cycles ----------------------------------------------------------------

// Kinds 28 and 39 to 43 take the positions their references hand out, so a
// cycle of them ends on cached positions; kinds 29 to 32 fail the size.
TEST(DirectionLinePoints, PointsThroughEachOtherEnd) {
  EXPECT_TRUE(FinishesInTime([] {
    Design d;
    CGradedLine* line = d.Line({0, 50}, {100, 50});
    ScriptedCurve* curve = d.Curve(SidewaysU());
    auto* a = d.Add<CPerpendicularLinePoint>(nullptr, d.Point(0, 0), d.Point(100, 0), line);
    auto* b = d.Add<CTwoPointCurveIntersectPoint>(a, d.Point(0, 0), d.Point(100, 0), curve, 1);
    // a runs through b, b through a: every size of each waits on the other.
    a->SetParams(b, a->GetDirectionStart(), a->GetDirectionEnd(), line);
    for (int32_t size = 0; size < kSizeCount; ++size) {
      a->Invalidate(-1);
      b->Invalidate(-1);
      CPoint p;
      a->GetPoint(size, &p);
      b->GetPoint(size, &p);
    }
    // Through itself.
    auto* self = d.Add<CAngleLinePoint>(nullptr, 90.0, line);
    self->SetParams(self, 90.0, line);
    self->Invalidate(-1);
    CPoint p;
    EXPECT_FALSE(self->GetPoint(kGradedSize, &p));
    auto* selfOnCurve = d.Add<CAngleCurvePoint>(nullptr, 90.0, curve, 1);
    selfOnCurve->SetRefs(selfOnCurve, 90.0, curve, 1);
    selfOnCurve->Invalidate(-1);
    selfOnCurve->GetPoint(kGradedSize, &p);
  }));
}

// ---- Lines and curves the points are defined on ------------------------------

TEST(DirectionLinePoints, AnswerForTheLineOrCurveTheyAreDefinedOn) {
  Design d;
  CGradedLine* line = d.Line({0, 50}, {100, 50});
  CGradedLine* otherLine = d.Line({0, 60}, {100, 60});
  ScriptedCurve* curve = d.Curve(SidewaysU());
  ScriptedCurve* otherCurve = d.Curve(SidewaysU());
  CGradedPoint* onLine[] = {
      d.Add<CPerpendicularLinePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), line),
      d.Add<CAngleLinePoint>(d.Point(30, 0), 90.0, line),
      d.Add<CVerticalLinePoint>(d.Point(30, 0), line),
      d.Add<CHorizontalLinePoint>(d.Point(30, 0), line),
      d.Add<CRelativeAngleLinePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), 90.0, line),
  };
  for (CGradedPoint* point : onLine) {
    SCOPED_TRACE(point->GetSubtype());
    EXPECT_TRUE(point->UsesLine(line));
    EXPECT_FALSE(point->UsesLine(otherLine));
    EXPECT_FALSE(point->UsesLine(nullptr));
    EXPECT_FALSE(point->UsesCurve(curve));
    EXPECT_TRUE(line->IsRelatedTo(point)) << "the line finds the points defined on it";
    EXPECT_FALSE(otherLine->IsRelatedTo(point));
  }
  CGradedPoint* onCurve[] = {
      d.Add<CTwoPointCurveIntersectPoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), curve, 1),
      d.Add<CAngleCurvePoint>(d.Point(30, 0), 90.0, curve, 1),
      d.Add<CVerticalCurvePoint>(d.Point(30, 0), curve, 1),
      d.Add<CHorizontalCurvePoint>(d.Point(30, 0), curve, 1),
      d.Add<CRelativeAngleCurvePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), 90.0, curve, 1),
  };
  for (CGradedPoint* point : onCurve) {
    SCOPED_TRACE(point->GetSubtype());
    EXPECT_TRUE(point->UsesCurve(curve));
    EXPECT_FALSE(point->UsesCurve(otherCurve));
    EXPECT_FALSE(point->UsesCurve(nullptr));
    EXPECT_FALSE(point->UsesLine(line));
  }
}

TEST(TwoPointCurveIntersectPoint, IsTheCrossingOfItsCurveWithALineThroughItAndItsThroughPoint) {
  Design d;
  ScriptedCurve* curve = d.Curve(SidewaysU());
  ScriptedCurve* otherCurve = d.Curve(SidewaysU());
  PlacedPoint* through = d.Point(30, 0);
  auto* point = d.Add<CTwoPointCurveIntersectPoint>(through, d.Point(0, 0), d.Point(100, 0), curve, 1);
  CPoint at;
  ASSERT_TRUE(point->GetPoint(kBaseSize, &at));
  ASSERT_EQ(at, CPoint(30, 50));
  CGradedLine* line = d.Line(through, point);
  CGradedLine* reversed = d.Line(point, through);
  CGradedLine* elsewhere = d.Line(through, d.Point(30, 50));
  struct Case {
    const char* name;
    const CGradedObject* a;
    const CGradedObject* b;
    CPoint at;
    BOOL same;
  };
  const Case kCases[] = {
      {"line and curve", line, curve, {30, 50}, TRUE},
      {"curve and line", curve, line, {30, 50}, TRUE},
      {"the line drawn the other way", reversed, curve, {30, 50}, TRUE},
      {"another position", line, curve, {30, 51}, FALSE},
      {"another curve", line, otherCurve, {30, 50}, FALSE},
      {"a line through another point", elsewhere, curve, {30, 50}, FALSE},
      {"two lines", line, reversed, {30, 50}, FALSE},
      {"two curves", curve, curve, {30, 50}, FALSE},
      {"a point for the line", through, curve, {30, 50}, FALSE},
      {"nothing", nullptr, nullptr, {30, 50}, FALSE},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(point->IsSameIntersection(c.a, c.b, c.at.x, c.at.y), c.same);
  }
  // The other kinds on lines and curves find no crossing of their own.
  auto* relative = d.Add<CRelativeAngleCurvePoint>(through, d.Point(0, 0), d.Point(100, 0), 90.0, curve, 1);
  CGradedLine* relativeLine = d.Line(through, relative);
  EXPECT_FALSE(relative->IsSameIntersection(relativeLine, curve, 30, 50));
}

// ---- Setters -----------------------------------------------------------------

TEST(DirectionLinePoints, SettersStoreTheDefinitionAndComputeEverySize) {
  Design d;
  PlacedPoint* through = d.Point(30, 0);
  through->atSize[0] = CPoint(20, 0);
  through->atSize[2] = CPoint(40, 0);
  PlacedPoint* start = d.Point(0, 0);
  PlacedPoint* end = d.Point(100, 0);
  CGradedLine* line = d.Line({0, 50}, {100, 50});
  ScriptedCurve* curve = d.Curve(SidewaysU());

  auto expectEverySizeCached = [&](const CGradedPoint& point, int y) {
    for (int32_t size = 0; size < kSizeCount; ++size) {
      SCOPED_TRACE(size);
      EXPECT_FALSE(point.IsDirty(size));
      CPoint p;
      ASSERT_TRUE(point.GetSizePoint(size, &p));
      EXPECT_EQ(p, CPoint(20 + 10 * size, y));
    }
  };

  CPerpendicularLinePoint perpendicular(&d.data, 0);
  perpendicular.SetParams(through, start, end, line);
  expectEverySizeCached(perpendicular, 50);
  CGradedPoint *t = nullptr, *s = nullptr, *e = nullptr;
  CGradedLine* l = nullptr;
  perpendicular.GetParams(&t, &s, &e, &l);
  EXPECT_EQ(t, through);
  EXPECT_EQ(s, start);
  EXPECT_EQ(e, end);
  EXPECT_EQ(l, line);

  CAngleLinePoint angled(&d.data, 0);
  angled.SetParams(through, 90.0, line);
  expectEverySizeCached(angled, 50);
  double angle = 0;
  angled.GetParams(&t, &angle, &l);
  EXPECT_EQ(t, through);
  EXPECT_EQ(angle, 90.0);
  EXPECT_EQ(l, line);

  CRelativeAngleLinePoint relative(&d.data, 0);
  relative.SetRefs(through, start, end, 90.0, line);
  expectEverySizeCached(relative, 50);
  relative.GetRefs(&t, &s, &e, &angle, &l);
  EXPECT_EQ(t, through);
  EXPECT_EQ(s, start);
  EXPECT_EQ(e, end);
  EXPECT_EQ(angle, 90.0);
  EXPECT_EQ(l, line);

  CTwoPointCurveIntersectPoint across(&d.data, 0);
  across.SetRefs(through, start, end, curve, 2);
  expectEverySizeCached(across, 150);
  CGradedCurve* c = nullptr;
  int32_t crossing = 0;
  across.GetRefs(&t, &s, &e, &c, &crossing);
  EXPECT_EQ(t, through);
  EXPECT_EQ(s, start);
  EXPECT_EQ(e, end);
  EXPECT_EQ(c, curve);
  EXPECT_EQ(crossing, 2);

  CAngleCurvePoint angledOnCurve(&d.data, 0);
  angledOnCurve.SetRefs(through, 90.0, curve, 2);
  expectEverySizeCached(angledOnCurve, 150);
  angledOnCurve.GetRefs(&t, &angle, &c, &crossing);
  EXPECT_EQ(t, through);
  EXPECT_EQ(angle, 90.0);
  EXPECT_EQ(c, curve);
  EXPECT_EQ(crossing, 2);

  CRelativeAngleCurvePoint relativeOnCurve(&d.data, 0);
  relativeOnCurve.SetRefs(through, start, end, 90.0, curve, 1);
  expectEverySizeCached(relativeOnCurve, 50);
  relativeOnCurve.GetRefs(&t, &s, &e, &angle, &c, &crossing);
  EXPECT_EQ(t, through);
  EXPECT_EQ(s, start);
  EXPECT_EQ(e, end);
  EXPECT_EQ(angle, 90.0);
  EXPECT_EQ(c, curve);
  EXPECT_EQ(crossing, 1);
}

// A set reference keeps its stored position in step, so resolving the
// stored positions again finds the same objects.
TEST(DirectionLinePoints, ASetReferenceSurvivesResolvingAgain) {
  Design d;
  PlacedPoint* through = d.Point(30, 0);
  ScriptedCurve* curve = d.Curve(SidewaysU());
  auto* point = d.Add<CVerticalCurvePoint>(through, curve, 1);
  point->ResolveIds();
  EXPECT_EQ(point->GetThroughPoint(), through);
  EXPECT_EQ(point->GetCurve(), curve);
  CPoint p;
  EXPECT_TRUE(point->GetPoint(kBaseSize, &p));
  EXPECT_EQ(p, CPoint(30, 50));
}

TEST(DirectionLinePoints, AngleSettersInvalidateAsEachKindDoes) {
  Design d;
  CGradedLine* line = d.Line({0, 50}, {100, 50});
  ScriptedCurve* curve = d.Curve(SidewaysU());
  PlacedPoint* through = d.Point(0, 0);
  CPoint p;

  // Kinds 29 to 31 and 40 to 42: a new angle computes every size again.
  auto* onLine = d.Add<CAngleLinePoint>(through, 45.0, line);
  onLine->SetAngle(135.0);
  EXPECT_TRUE(onLine->GetPoint(kBaseSize, &p));
  EXPECT_EQ(p, CPoint(-50, 50));
  // The horizontal through (30, 0) misses the U, the vertical meets it.
  auto* onCurve = d.Add<CAngleCurvePoint>(d.Point(30, 0), 0.0, curve, 1);
  onCurve->SetAngle(90.0);
  EXPECT_TRUE(onCurve->GetPoint(kBaseSize, &p));
  EXPECT_EQ(p, CPoint(30, 50));

  // Kinds 32 and 43: the angle alone, the cached positions stand.
  auto* relative = d.Add<CRelativeAngleLinePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), 90.0, line);
  relative->SetAngle(45.0);
  EXPECT_EQ(relative->GetAngle(), 45.0);
  EXPECT_TRUE(relative->GetPoint(kBaseSize, &p));
  EXPECT_EQ(p, CPoint(30, 50));
  relative->Invalidate(kBaseSize);
  EXPECT_TRUE(relative->GetPoint(kBaseSize, &p));
  EXPECT_EQ(p, CPoint(80, 50));
  auto* relativeOnCurve =
      d.Add<CRelativeAngleCurvePoint>(d.Point(30, 0), d.Point(0, 0), d.Point(100, 0), 90.0, curve, 1);
  relativeOnCurve->SetAngle(45.0);
  EXPECT_TRUE(relativeOnCurve->GetPoint(kBaseSize, &p));
  EXPECT_EQ(p, CPoint(30, 50));
}

TEST(DirectionLinePoints, LabelSettersTakeTheLookAndStayBoundToThePoint) {
  Design d;
  CDimLabel look;
  look.SetAngle(nullptr, nullptr);
  look.SetOffsetDistance(1234);
  look.SetVisible(1);
  CGradedLine* line = d.Line({0, 50}, {100, 50});
  ScriptedCurve* curve = d.Curve(SidewaysU());

  auto* angled = d.Add<CAngleLinePoint>(d.Point(0, 0), 45.0, line);
  angled->SetAngleLabel(look);
  auto* relative = d.Add<CRelativeAngleLinePoint>(d.Point(0, 0), d.Point(0, 0), d.Point(1, 0), 45.0, line);
  relative->SetLabel(look);
  auto* angledOnCurve = d.Add<CAngleCurvePoint>(d.Point(0, 0), 45.0, curve, 1);
  angledOnCurve->SetLabel(look);
  auto* relativeOnCurve = d.Add<CRelativeAngleCurvePoint>(d.Point(0, 0), d.Point(0, 0), d.Point(1, 0), 45.0, curve, 1);
  relativeOnCurve->SetLabel(look);
  const std::pair<const CGradedObject*, CDimLabel> kLabels[] = {
      {angled, angled->GetAngleLabel()},
      {relative, relative->GetLabel()},
      {angledOnCurve, angledOnCurve->GetLabel()},
      {relativeOnCurve, relativeOnCurve->GetLabel()},
  };
  for (const auto& [point, label] : kLabels) {
    EXPECT_EQ(label.GetOffsetDistance(), 1234);
    EXPECT_EQ(label.IsVisible(), 1);
    EXPECT_EQ(label.GetMode(), kLabelModeAngle);
    EXPECT_EQ(label.GetLabelledObject(), point);
    EXPECT_EQ(label.GetOwner(), &d.data);
  }
}

}  // namespace
