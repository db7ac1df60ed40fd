// How the ratio, distance and curve-span points (kinds 3 to 8, 35 and 36)
// place themselves at each size: between two points, along a two-point line,
// or along a curve. The points they build on are a placed double of the
// test's own (so what is seen is the kind's computation, not another kind's);
// lines are real two-point lines; curves are the scripted double, which
// records what a point asks of it and answers what the test says.
#include <cmath>
#include <cstdint>
#include <limits>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_line.h"
#include "design/points/distance_points.h"
#include "design/points/graded_point.h"
#include "design/points/ratio_points.h"
#include "design/points/span_points.h"
#include "tests/design/support/scripted_curve.h"
#include "tests/support/finishes_in_time.h"

namespace {

using design_test::AddScriptedCurve;
using design_test::CurveAnswer;
using design_test::CurveCall;
using design_test::ScriptedCurve;

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

void SetUpSizes(CPatternData& data) {
  for (int i = 0; i < kSizeCount; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
  data.SetBaseSize(kBaseSize);
}

// A point at `at`, moved by `grade` for each size above size 0; it fails at
// the sizes in `failsAt` (handing out its cached position).
class PlacedPoint : public CGradedPoint {
 public:
  explicit PlacedPoint(CPatternData* owner) : CGradedPoint(kPointKindFree, owner, 0) { SetState(1); }

  CPoint at;
  CPoint grade;
  std::set<int32_t> failsAt;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (failsAt.count(size)) return FALSE;
    *x = at.x + grade.x * size;
    *y = at.y + grade.y * size;
    return TRUE;
  }
};

PlacedPoint* AddPoint(CPatternData& data, CPoint at, CPoint grade = CPoint()) {
  auto point = std::make_unique<PlacedPoint>(&data);
  point->at = at;
  point->grade = grade;
  return static_cast<PlacedPoint*>(data.AddElement(std::move(point)));
}

CGradedLine* AddLine(CPatternData& data, CGradedPoint* a, CGradedPoint* b) {
  return static_cast<CGradedLine*>(data.AddElement(std::make_unique<CGradedLine>(&data, 0, 0, 1, a, b)));
}

template <class T, class... Args>
T* AddKind(CPatternData& data, Args&&... args) {
  auto point = std::make_unique<T>(&data, 0, std::forward<Args>(args)...);
  point->SetState(1);
  return static_cast<T*>(data.AddElement(std::move(point)));
}

CFormula Constant(CPatternData& data, int32_t value) { return CFormula(&data, {}, 0, 1.0, 1.0, value); }

// The position at `size` computed afresh, with its result.
struct Outcome {
  BOOL result;
  CPoint point;
};
Outcome Recompute(CGradedPoint& point, int32_t size) {
  point.Invalidate(size);
  Outcome out{FALSE, CPoint()};
  out.result = point.GetPoint(size, &out.point);
  return out;
}

// ---- Kind 3: between two points ------------------------------------------------

TEST(PointsComputeE, SegmentRatioPlacesTheFractionOrFixedRatioBetweenItsPoints) {
  struct Case {
    const char* name;
    CPoint from, to;
    bool fraction;
    int32_t parts, part;
    double ratio;
    CPoint expected;
  };
  const Case kCases[] = {
      {"1 of 4", {0, 0}, {100, 0}, true, 4, 1, 0, {25, 0}},
      {"3 of 3", {0, 0}, {100, 0}, true, 3, 3, 0, {100, 0}},
      {"0 of 5", {0, 0}, {100, 0}, true, 5, 0, 0, {0, 0}},
      {"5 of 4 falls on the start", {0, 0}, {100, 0}, true, 4, 5, 0, {0, 0}},
      {"1 of 0 falls on the start", {0, 0}, {100, 0}, true, 0, 1, 0, {0, 0}},
      {"-1 of 4 falls on the start", {0, 0}, {100, 0}, true, 4, -1, 0, {0, 0}},
      {"1 of -4 falls on the start", {0, 0}, {100, 0}, true, -4, 1, 0, {0, 0}},
      {"1 of 3", {0, 0}, {100, 0}, true, 3, 1, 0, {33, 0}},
      {"1 of 3 backwards", {0, 0}, {-100, 0}, true, 3, 1, 0, {-33, 0}},
      {"1 of 2 of a unit backwards rounds away from zero", {0, 0}, {-1, 0}, true, 2, 1, 0, {-1, 0}},
      {"1 of 2 from an offset start", {10, 20}, {-11, -41}, true, 2, 1, 0, {-1, -11}},
      {"fixed 1.5 extrapolates", {0, 0}, {100, 0}, false, 0, 0, 1.5, {150, 0}},
      {"fixed -0.5 extrapolates", {0, 0}, {100, 0}, false, 0, 0, -0.5, {-50, 0}},
      {"fixed NaN stays on the start", {7, 9}, {100, 0}, false, 0, 0, kNaN, {7, 9}},
      {"infinity between coinciding points", {7, 9}, {7, 9}, false, 0, 0, kInfinity, {7, 9}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    PlacedPoint* a = AddPoint(data, c.from);
    PlacedPoint* b = AddPoint(data, c.to);
    CSegmentRatioPoint* point = c.fraction ? AddKind<CSegmentRatioPoint>(data, a, b, c.parts, c.part)
                                           : AddKind<CSegmentRatioPoint>(data, a, b, c.ratio);
    const Outcome out = Recompute(*point, kBaseSize);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.point, c.expected);
  }
}

TEST(PointsComputeE, SegmentRatioFollowsItsPointsFromSizeToSize) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0), CPoint(0, 10));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0), CPoint(100, 10));
  CSegmentRatioPoint* point = AddKind<CSegmentRatioPoint>(data, a, b, 4, 1);
  // The full constructor computed every size already.
  for (int32_t size = 0; size < kSizeCount; ++size) {
    SCOPED_TRACE(size);
    EXPECT_FALSE(point->IsDirty(size));
    CPoint p;
    EXPECT_TRUE(point->GetPoint(size, &p));
    EXPECT_EQ(p, CPoint(25 * (size + 1), 10 * size));
  }
}

TEST(PointsComputeE, AHugeRatioOrDistanceStopsAtTheRangeAndIsReportedAsOutOfBounds) {
  // Start points at the edge of the allowed range, with offsets that reach
  // the int32 range: the sum saturates instead of wrapping, and the point's
  // bound test reports the position.
  struct Case {
    const char* name;
    CPoint from, to;
    double ratio;
    CPoint cached;
  };
  const Case kCases[] = {
      {"1e300 forwards", {49'999'999, 0}, {50'000'000, 0}, 1e300, {INT32_MAX, 0}},
      {"1e300 backwards", {-49'999'999, 5}, {-50'000'000, 5}, 1e300, {INT32_MIN, 5}},
      {"-1e300", {0, 49'999'900}, {0, 50'000'000}, -1e300, {0, 49'999'900 + INT32_MIN}},
      {"infinity", {1, 1}, {2, 2}, kInfinity, {INT32_MAX, INT32_MAX}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    PlacedPoint* a = AddPoint(data, c.from);
    PlacedPoint* b = AddPoint(data, c.to);
    CSegmentRatioPoint* point = nullptr;
    ASSERT_TRUE(FinishesInTime([&] { point = AddKind<CSegmentRatioPoint>(data, a, b, c.ratio); }));
    CPoint p;
    EXPECT_TRUE(point->GetPoint(kBaseSize, &p));
    EXPECT_EQ(p, CPoint(0, 0));
    EXPECT_EQ(point->GetStatus(), kPointStatusOverflow);
    CPoint cached;
    ASSERT_TRUE(point->GetSizePoint(kBaseSize, &cached));
    EXPECT_EQ(cached, c.cached);
  }
}

TEST(PointsComputeE, SegmentRatioWithoutBothPointsKeepsItsCachedPosition) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0));
  struct Case {
    const char* name;
    CGradedPoint* first;
    CGradedPoint* second;
  };
  const Case kCases[] = {{"no point 1", nullptr, b}, {"no point 2", a, nullptr}, {"neither", nullptr, nullptr}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CSegmentRatioPoint* point = AddKind<CSegmentRatioPoint>(data, c.first, c.second, 4, 1);
    point->SetSizePoint(0, 7, 8);
    const Outcome out = Recompute(*point, 0);
    EXPECT_FALSE(out.result);
    EXPECT_EQ(out.point, CPoint(7, 8));
    // The failure is cached with the size: the next caller gets 1.
    CPoint p;
    EXPECT_TRUE(point->GetPoint(0, &p));
    EXPECT_EQ(p, CPoint(7, 8));
  }
}

TEST(PointsComputeE, AFailedPointOfASegmentIsPassedOn) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0));
  CSegmentRatioPoint* ratio = AddKind<CSegmentRatioPoint>(data, a, b, 4, 1);
  CDistanceTowardsPoint* towards = AddKind<CDistanceTowardsPoint>(data, a, b, Constant(data, 30));

  // Point 2 fails at size 0 with its cached (100, 0): the point is placed
  // from it, and the failure reported.
  b->failsAt = {0};
  b->Invalidate(0);
  Outcome out = Recompute(*ratio, 0);
  EXPECT_FALSE(out.result);
  EXPECT_EQ(out.point, CPoint(25, 0));
  b->Invalidate(0);
  out = Recompute(*towards, 0);
  EXPECT_FALSE(out.result);
  EXPECT_EQ(out.point, CPoint(30, 0));

  // Point 1 fails at size 2 with its cached (0, 0) moved to (40, 40): point 2
  // is not asked, and the point stays on point 1.
  a->failsAt = {2};
  a->SetSizePoint(2, 40, 40);
  a->Invalidate(2);
  b->SetSizePoint(2, -1, -1);
  b->Invalidate(2);
  out = Recompute(*ratio, 2);
  EXPECT_FALSE(out.result);
  EXPECT_EQ(out.point, CPoint(40, 40));
  EXPECT_TRUE(b->IsDirty(2)) << "point 2 is not asked";
  a->Invalidate(2);
  out = Recompute(*towards, 2);
  EXPECT_FALSE(out.result);
  EXPECT_EQ(out.point, CPoint(40, 40));
  EXPECT_TRUE(b->IsDirty(2));
}

// ---- Kind 4: along a two-point line -----------------------------------------------

TEST(PointsComputeE, LineRatioMeasuresFromTheEndThatIsItsStart) {
  struct Case {
    const char* name;
    bool fromSecond;
    bool fraction;
    int32_t parts, part;
    double ratio;
    CPoint expected;
  };
  const Case kCases[] = {
      {"0.25 from the first", false, false, 0, 0, 0.25, {25, 0}},
      {"0.25 from the second", true, false, 0, 0, 0.25, {75, 0}},
      {"1 of 4 from the second", true, true, 4, 1, 0, {75, 0}},
      {"an invalid fraction lies on the start", true, true, 4, 9, 0, {100, 0}},
      {"-1 beyond the first", false, false, 0, 0, -1.0, {-100, 0}},
      {"1e300 stops at the range", false, false, 0, 0, 1e300, {0, 0}},
      {"NaN lies on the start", true, false, 0, 0, kNaN, {100, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    PlacedPoint* a = AddPoint(data, CPoint(0, 0));
    PlacedPoint* b = AddPoint(data, CPoint(100, 0));
    CGradedLine* line = AddLine(data, a, b);
    CGradedPoint* start = c.fromSecond ? b : a;
    CLineRatioPoint* point = c.fraction ? AddKind<CLineRatioPoint>(data, line, start, c.parts, c.part)
                                        : AddKind<CLineRatioPoint>(data, line, start, c.ratio);
    const Outcome out = Recompute(*point, kBaseSize);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.point, c.expected);
  }
}

TEST(PointsComputeE, LineRatioWithoutLineOrStartKeepsItsCachedPosition) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0));
  CGradedLine* line = AddLine(data, a, b);
  for (auto [line_, start] : {std::pair<CGradedLine*, CGradedPoint*>{nullptr, a}, {line, nullptr}}) {
    CLineRatioPoint* ratio = AddKind<CLineRatioPoint>(data, line_, start, 0.5);
    CLineDistancePoint* distance = AddKind<CLineDistancePoint>(data, line_, start, Constant(data, 10));
    for (CGradedPoint* point : {static_cast<CGradedPoint*>(ratio), static_cast<CGradedPoint*>(distance)}) {
      point->SetSizePoint(0, 7, 8);
      const Outcome out = Recompute(*point, 0);
      EXPECT_FALSE(out.result);
      EXPECT_EQ(out.point, CPoint(7, 8));
    }
  }
}

TEST(PointsComputeE, AFailedThroughPointOfTheLineIsPassedOn) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0));
  CGradedLine* line = AddLine(data, a, b);
  CLineRatioPoint* ratio = AddKind<CLineRatioPoint>(data, line, a, 0.5);
  CLineDistancePoint* distance = AddKind<CLineDistancePoint>(data, line, a, Constant(data, 10));
  b->failsAt = {0};
  b->Invalidate(0);
  EXPECT_FALSE(Recompute(*ratio, 0).result);
  b->Invalidate(0);
  EXPECT_FALSE(Recompute(*distance, 0).result);
}

TEST(PointsComputeE, OnlyTheKindsDefinedOnALineUseIt) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0));
  PlacedPoint* c = AddPoint(data, CPoint(0, 100));
  CGradedLine* ab = AddLine(data, a, b);
  CGradedLine* ac = AddLine(data, a, c);
  CGradedLine* bc = AddLine(data, b, c);

  // Kinds 3 and 6 lie on every line that runs through both their points.
  CSegmentRatioPoint* segment = AddKind<CSegmentRatioPoint>(data, a, b, 0.5);
  CDistanceTowardsPoint* towards = AddKind<CDistanceTowardsPoint>(data, a, b, Constant(data, 10));
  for (CGradedPoint* point : {static_cast<CGradedPoint*>(segment), static_cast<CGradedPoint*>(towards)}) {
    SCOPED_TRACE(point->GetSubtype());
    EXPECT_TRUE(point->UsesLine(ab));
    EXPECT_FALSE(point->UsesLine(ac));
    EXPECT_FALSE(point->UsesLine(bc));
    EXPECT_FALSE(point->UsesLine(nullptr));
  }
  // A segment that misses a point uses no line.
  EXPECT_FALSE(AddKind<CSegmentRatioPoint>(data, a, nullptr, 0.5)->UsesLine(ab));

  // Kinds 4 and 7 use their own line only.
  CLineRatioPoint* lineRatio = AddKind<CLineRatioPoint>(data, ac, a, 0.5);
  CLineDistancePoint* lineDistance = AddKind<CLineDistancePoint>(data, ac, a, Constant(data, 10));
  for (CGradedPoint* point : {static_cast<CGradedPoint*>(lineRatio), static_cast<CGradedPoint*>(lineDistance)}) {
    SCOPED_TRACE(point->GetSubtype());
    EXPECT_TRUE(point->UsesLine(ac));
    EXPECT_FALSE(point->UsesLine(ab));
    EXPECT_FALSE(point->UsesCurve(nullptr));
  }
}

// ---- Kind 6: towards a point --------------------------------------------------

TEST(PointsComputeE, DistanceTowardsAPointRunsAlongTheRayThroughIt) {
  struct Case {
    const char* name;
    CPoint from, to;
    int32_t distance;
    CPoint expected;
  };
  const Case kCases[] = {
      {"100", {0, 0}, {300, 400}, 100, {60, 80}},
      {"1000 passes the point", {0, 0}, {300, 400}, 1000, {600, 800}},
      {"-100 points away", {0, 0}, {300, 400}, -100, {-60, -80}},
      {"0", {5, 5}, {300, 400}, 0, {5, 5}},
      {"from an offset start", {100, 100}, {100, 50}, 25, {100, 75}},
      {"coinciding points give point 1", {10, 10}, {10, 10}, 500, {10, 10}},
      {"coinciding points, negative distance", {10, 10}, {10, 10}, -500, {10, 10}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    PlacedPoint* a = AddPoint(data, c.from);
    PlacedPoint* b = AddPoint(data, c.to);
    CDistanceTowardsPoint* point = AddKind<CDistanceTowardsPoint>(data, a, b, Constant(data, c.distance));
    const Outcome out = Recompute(*point, kBaseSize);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.point, c.expected);
  }
}

TEST(PointsComputeE, DistanceTowardsAPointWithoutBothPointsKeepsItsCachedPosition) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  for (auto [first, second] : {std::pair<CGradedPoint*, CGradedPoint*>{nullptr, a}, {a, nullptr}}) {
    CDistanceTowardsPoint* point = AddKind<CDistanceTowardsPoint>(data, first, second, Constant(data, 10));
    point->SetSizePoint(0, 7, 8);
    const Outcome out = Recompute(*point, 0);
    EXPECT_FALSE(out.result);
    EXPECT_EQ(out.point, CPoint(7, 8));
  }
}

TEST(PointsComputeE, AHugeDistanceFromTheEdgeOfTheRangeSaturates) {
  // Start points at the edge of the allowed range, with distances that reach
  // the int32 range: the sum saturates instead of wrapping, and the point's
  // bound test reports the position.
  struct Case {
    const char* name;
    CPoint from, to;
    int32_t distance;
    CPoint cached;
  };
  const Case kCases[] = {
      {"forwards", {49'999'999, 7}, {50'000'000, 7}, INT32_MAX, {INT32_MAX, 7}},
      {"backwards", {-49'999'999, 7}, {-49'999'998, 7}, INT32_MIN, {INT32_MIN, 7}},
      {"away from a point behind", {49'999'999, 7}, {49'999'998, 7}, INT32_MIN, {INT32_MAX, 7}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    PlacedPoint* a = AddPoint(data, c.from);
    PlacedPoint* b = AddPoint(data, c.to);
    CDistanceTowardsPoint* point = AddKind<CDistanceTowardsPoint>(data, a, b, Constant(data, c.distance));
    CPoint p;
    EXPECT_TRUE(point->GetPoint(kBaseSize, &p));
    EXPECT_EQ(p, CPoint(0, 0));
    EXPECT_EQ(point->GetStatus(), kPointStatusOverflow);
    CPoint cached;
    ASSERT_TRUE(point->GetSizePoint(kBaseSize, &cached));
    EXPECT_EQ(cached, c.cached);
  }
}

TEST(PointsComputeE, AGradedDistanceIsTakenAtTheSizeComputed) {
  CPatternData data;
  SetUpSizes(data);
  CSizeTableRow* row = data.AddSizeRow("W");
  const int32_t kValues[kSizeCount] = {100, 200, -300};
  for (int32_t size = 0; size < kSizeCount; ++size) row->SetValue(size, kValues[size]);
  const CFormula graded(&data, {CFormulaTerm::OnRow(1, row, 1, 1.0, 1.0)}, 0, 1.0, 1.0, 0);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(300, 400));
  ScriptedCurve* curve = AddScriptedCurve(data, {CPoint(0, 0), CPoint(300, 400)});
  CDistanceTowardsPoint* towards = AddKind<CDistanceTowardsPoint>(data, a, b, graded);
  CCurveDistancePoint* along = AddKind<CCurveDistancePoint>(data, curve, a, 1, graded);
  const CPoint kExpected[kSizeCount] = {{60, 80}, {120, 160}, {-180, -240}};
  for (int32_t size = 0; size < kSizeCount; ++size) {
    SCOPED_TRACE(size);
    CPoint p;
    EXPECT_TRUE(towards->GetPoint(size, &p));
    EXPECT_EQ(p, kExpected[size]);
    Recompute(*along, size);
    EXPECT_EQ(curve->lengthCall.size, size);
    EXPECT_EQ(curve->lengthCall.length, kValues[size]);
  }
}

// ---- Kind 7: a distance along a line -----------------------------------------

TEST(PointsComputeE, LineDistanceStopsAtTheFarEnd) {
  struct Case {
    const char* name;
    bool fromSecond;
    int32_t distance;
    CPoint expected;
  };
  const Case kCases[] = {
      {"30 from the first", false, 30, {30, 0}},
      {"150 gives the far end", false, 150, {100, 0}},
      {"100 gives the far end", false, 100, {100, 0}},
      {"30 from the second", true, 30, {70, 0}},
      {"-30 from the first", false, -30, {-30, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    PlacedPoint* a = AddPoint(data, CPoint(0, 0));
    PlacedPoint* b = AddPoint(data, CPoint(100, 0));
    CGradedLine* line = AddLine(data, a, b);
    CLineDistancePoint* point =
        AddKind<CLineDistancePoint>(data, line, c.fromSecond ? b : a, Constant(data, c.distance));
    const Outcome out = Recompute(*point, kBaseSize);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.point, c.expected);
  }
}

// ---- Curve kinds 5, 8, 35 and 36 ---------------------------------------------------

// What a curve point asked of the scripted curve: which operation, and with
// which arguments.
class PointsComputeECurves : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpSizes(data_);
    start_ = AddPoint(data_, CPoint(0, 0));
    end_ = AddPoint(data_, CPoint(100, 0));
    curve_ = AddScriptedCurve(data_, {CPoint(0, 0), CPoint(100, 0)});
  }

  // Forgets the calls of the full constructor's computation of every size.
  void ForgetCalls() { curve_->ratioCall = curve_->ratioBetweenCall = curve_->lengthCall = CurveCall(); }

  CPatternData data_;
  PlacedPoint* start_ = nullptr;
  PlacedPoint* end_ = nullptr;
  ScriptedCurve* curve_ = nullptr;
};

TEST_F(PointsComputeECurves, CurveRatioAsksForThePointAtItsRatioFromItsStart) {
  struct Case {
    const char* name;
    bool fraction;
    int32_t parts, part;
    double ratio;
    int32_t direction;
    double asked;
  };
  const Case kCases[] = {
      {"1 of 2 forwards", true, 2, 1, 0, 1, 0.5},
      {"1 of 4 backwards", true, 4, 1, 0, 0, 0.25},
      {"an invalid fraction asks for the start", true, 4, 5, 0, 1, 0.0},
      {"a fixed ratio as it stands", false, 0, 0, 1.75, 0, 1.75},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    curve_->ratioAnswer = CurveAnswer{TRUE, CPoint(12, 34)};
    CCurveRatioPoint* point = c.fraction
                                  ? AddKind<CCurveRatioPoint>(data_, curve_, start_, c.direction, c.parts, c.part)
                                  : AddKind<CCurveRatioPoint>(data_, curve_, start_, c.direction, c.ratio);
    ForgetCalls();
    const Outcome out = Recompute(*point, 2);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.point, CPoint(12, 34));
    const CurveCall& call = curve_->ratioCall;
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.size, 2);
    EXPECT_EQ(call.start, start_);
    EXPECT_EQ(call.direction, c.direction);
    EXPECT_EQ(call.ratio, c.asked);
  }
}

TEST_F(PointsComputeECurves, SpanRatioAsksForThePointAtItsRatioBetweenItsPoints) {
  struct Case {
    const char* name;
    bool fraction;
    int32_t parts, part;
    double ratio;
    int32_t direction;
    double asked;
  };
  const Case kCases[] = {
      {"1 of 2", true, 2, 1, 0, 1, 0.5},
      {"0 of 2", true, 2, 0, 0, 0, 0.0},
      {"part above parts", true, 2, 3, 0, 1, 0.0},
      {"negative part", true, 2, -1, 0, 1, 0.0},
      {"no parts", true, 0, 0, 0, 1, 0.0},
      {"fixed -0.5", false, 0, 0, -0.5, 0, -0.5},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    curve_->ratioBetweenAnswer = CurveAnswer{TRUE, CPoint(-5, 6)};
    CCurveSpanRatioPoint* point =
        c.fraction ? AddKind<CCurveSpanRatioPoint>(data_, curve_, start_, end_, c.direction, c.parts, c.part)
                   : AddKind<CCurveSpanRatioPoint>(data_, curve_, start_, end_, c.direction, c.ratio);
    ForgetCalls();
    const Outcome out = Recompute(*point, 0);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.point, CPoint(-5, 6));
    const CurveCall& call = curve_->ratioBetweenCall;
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.size, 0);
    EXPECT_EQ(call.start, start_);
    EXPECT_EQ(call.end, end_);
    EXPECT_EQ(call.direction, c.direction);
    EXPECT_EQ(call.ratio, c.asked);
  }
}

TEST_F(PointsComputeECurves, CurveDistancesAskForThePointAtTheirLengthAtTheSize) {
  curve_->lengthAnswer = CurveAnswer{TRUE, CPoint(70, 80)};
  CCurveDistancePoint* distance = AddKind<CCurveDistancePoint>(data_, curve_, start_, 0, Constant(data_, 250));
  CCurveSpanDistancePoint* span =
      AddKind<CCurveSpanDistancePoint>(data_, curve_, start_, end_, 1, Constant(data_, -40));
  struct Case {
    CGradedPoint* point;
    int32_t direction;
    int32_t length;
  };
  for (const Case& c : {Case{distance, 0, 250}, Case{span, 1, -40}}) {
    SCOPED_TRACE(c.point->GetSubtype());
    ForgetCalls();
    const Outcome out = Recompute(*c.point, 2);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(out.point, CPoint(70, 80));
    const CurveCall& call = curve_->lengthCall;
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.size, 2);
    EXPECT_EQ(call.start, start_);
    EXPECT_EQ(call.direction, c.direction);
    EXPECT_EQ(call.length, c.length);
  }
}

TEST_F(PointsComputeECurves, ACurveThatFindsNoPointLeavesTheCachedPositionWithZero) {
  curve_->ratioAnswer = curve_->ratioBetweenAnswer = curve_->lengthAnswer = CurveAnswer{FALSE, CPoint(1, 1)};
  CGradedPoint* points[] = {
      AddKind<CCurveRatioPoint>(data_, curve_, start_, 1, 2, 1),
      AddKind<CCurveDistancePoint>(data_, curve_, start_, 1, Constant(data_, 10)),
      AddKind<CCurveSpanRatioPoint>(data_, curve_, start_, end_, 1, 2, 1),
      AddKind<CCurveSpanDistancePoint>(data_, curve_, start_, end_, 1, Constant(data_, 10)),
  };
  for (CGradedPoint* point : points) {
    SCOPED_TRACE(point->GetSubtype());
    point->SetSizePoint(1, 7, 8);
    const Outcome out = Recompute(*point, 1);
    EXPECT_FALSE(out.result);
    EXPECT_EQ(out.point, CPoint(7, 8));
  }
}

TEST_F(PointsComputeECurves, AMissingReferenceAsksTheCurveNothing) {
  curve_->ratioAnswer = curve_->ratioBetweenAnswer = curve_->lengthAnswer = CurveAnswer{TRUE, CPoint(1, 1)};
  CGradedPoint* points[] = {
      AddKind<CCurveRatioPoint>(data_, nullptr, start_, 1, 2, 1),
      AddKind<CCurveRatioPoint>(data_, curve_, nullptr, 1, 0.5),
      AddKind<CCurveDistancePoint>(data_, nullptr, start_, 1, Constant(data_, 10)),
      AddKind<CCurveDistancePoint>(data_, curve_, nullptr, 1, Constant(data_, 10)),
      AddKind<CCurveSpanRatioPoint>(data_, nullptr, start_, end_, 1, 2, 1),
      AddKind<CCurveSpanRatioPoint>(data_, curve_, nullptr, end_, 1, 2, 1),
      AddKind<CCurveSpanRatioPoint>(data_, curve_, start_, nullptr, 1, 2, 1),
      AddKind<CCurveSpanDistancePoint>(data_, nullptr, start_, end_, 1, Constant(data_, 10)),
      AddKind<CCurveSpanDistancePoint>(data_, curve_, nullptr, end_, 1, Constant(data_, 10)),
      // The end point places nothing, but must be there.
      AddKind<CCurveSpanDistancePoint>(data_, curve_, start_, nullptr, 1, Constant(data_, 10)),
  };
  for (CGradedPoint* point : points) {
    SCOPED_TRACE(point->GetSubtype());
    point->SetSizePoint(1, 7, 8);
    const Outcome out = Recompute(*point, 1);
    EXPECT_FALSE(out.result);
    EXPECT_EQ(out.point, CPoint(7, 8));
  }
  EXPECT_EQ(curve_->ratioCall.calls + curve_->ratioBetweenCall.calls + curve_->lengthCall.calls, 0);
}

TEST_F(PointsComputeECurves, OnlyTheirOwnCurveIsUsed) {
  ScriptedCurve* other = AddScriptedCurve(data_, {CPoint(0, 0), CPoint(0, 100)});
  CGradedLine* line = AddLine(data_, start_, end_);
  CGradedPoint* points[] = {
      AddKind<CCurveRatioPoint>(data_, curve_, start_, 1, 2, 1),
      AddKind<CCurveDistancePoint>(data_, curve_, start_, 1, Constant(data_, 10)),
      AddKind<CCurveSpanRatioPoint>(data_, curve_, start_, end_, 1, 2, 1),
      AddKind<CCurveSpanDistancePoint>(data_, curve_, start_, end_, 1, Constant(data_, 10)),
  };
  for (CGradedPoint* point : points) {
    SCOPED_TRACE(point->GetSubtype());
    EXPECT_TRUE(point->UsesCurve(curve_));
    EXPECT_FALSE(point->UsesCurve(other));
    EXPECT_FALSE(point->UsesCurve(nullptr));
    EXPECT_FALSE(point->UsesLine(line));
  }
}

// ---- Setters ---------------------------------------------------------------------

TEST(PointsComputeE, TheSettersChangeWhereThePointLiesAtItsNextComputation) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0));
  CGradedLine* line = AddLine(data, a, b);
  CSegmentRatioPoint* segment = AddKind<CSegmentRatioPoint>(data, a, b, 4, 1);
  CLineRatioPoint* lineRatio = AddKind<CLineRatioPoint>(data, line, a, 4, 1);
  CDistanceTowardsPoint* towards = AddKind<CDistanceTowardsPoint>(data, a, b, Constant(data, 10));
  CLineDistancePoint* lineDistance = AddKind<CLineDistancePoint>(data, line, a, Constant(data, 10));

  segment->SetRatio(0.5);
  lineRatio->SetFraction(4, 3);
  towards->SetDistance(Constant(data, 40));
  lineDistance->SetDistance(Constant(data, 60));
  struct Case {
    CGradedPoint* point;
    CPoint expected;
  };
  for (const Case& c : {Case{segment, {50, 0}}, Case{lineRatio, {75, 0}}, Case{towards, {40, 0}},
                        Case{lineDistance, {60, 0}}}) {
    SCOPED_TRACE(c.point->GetSubtype());
    for (int32_t size = 0; size < kSizeCount; ++size) EXPECT_TRUE(c.point->IsDirty(size));
    CPoint p;
    EXPECT_TRUE(c.point->GetPoint(kBaseSize, &p));
    EXPECT_EQ(p, c.expected);
  }

  // SetParams computes every size at once.
  segment->SetParamsFraction(b, a, 4, 1);
  CPoint p;
  for (int32_t size = 0; size < kSizeCount; ++size) EXPECT_FALSE(segment->IsDirty(size));
  ASSERT_TRUE(segment->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(75, 0));
}

TEST(PointsComputeE, AFixedRatioHidesTheDivisionLabel) {
  CPatternData data;
  SetUpSizes(data);
  PlacedPoint* a = AddPoint(data, CPoint(0, 0));
  PlacedPoint* b = AddPoint(data, CPoint(100, 0));
  CGradedLine* line = AddLine(data, a, b);
  CSegmentRatioPoint* segment = AddKind<CSegmentRatioPoint>(data, a, b, 4, 1);
  CLineRatioPoint* lineRatio = AddKind<CLineRatioPoint>(data, line, a, 4, 1);
  CDimLabel shown;
  shown.SetVisible(1);
  shown.SetOffsetDistance(77);
  segment->SetLabel(shown);
  lineRatio->SetLabel(shown);
  for (CDimLabel label : {segment->GetLabel(), lineRatio->GetLabel()}) {
    // The label takes the look it was given, but stays bound to its point.
    EXPECT_EQ(label.IsVisible(), 1);
    EXPECT_EQ(label.GetOffsetDistance(), 77);
    EXPECT_EQ(label.GetOwner(), &data);
  }
  EXPECT_EQ(segment->GetLabel().GetLabelledObject(), segment);
  EXPECT_EQ(lineRatio->GetLabel().GetLabelledObject(), lineRatio);

  segment->SetRatio(0.5);
  lineRatio->SetRatio(0.5);
  EXPECT_EQ(segment->GetLabel().IsVisible(), 0);
  EXPECT_EQ(lineRatio->GetLabel().IsVisible(), 0);
}

}  // namespace
