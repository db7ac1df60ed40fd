// What every curve kind shares once it has its whole curve per size: the
// per-size caches and their flags, the used part between the start and the
// end, the boxes, the hit tests and measuring along open and closed curves,
// with the failures a damaged design brings (a size whose curve cannot be
// built, an end without a position). Shown on a curve kind of the test's own
// whose whole curve per size the test scripts, so that what is seen is the
// base's and the branches', not a kind's. Then the two-point line.
#include <climits>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/curves/graded_curve.h"
#include "design/curves/graded_line.h"
#include "design/geometry/polyline.h"
#include "design/points/graded_point.h"

namespace {

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;

void SetUpSizes(CPatternData& data, int sizes = kSizeCount, int base = kBaseSize) {
  for (int i = 0; i < sizes; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
  data.SetBaseSize(base);
}

// A point at `position` (or at its own position for a size), failing at the
// sizes told; it says it is defined on the curve or line named.
class TestPoint : public CGradedPoint {
 public:
  explicit TestPoint(CPatternData* owner) : CGradedPoint(kPointKindFree, owner, 0) { SetState(1); }

  CPoint position;
  std::map<int32_t, CPoint> positionAt;
  std::set<int32_t> failsAt;
  const CGradedCurve* onCurve = nullptr;
  const CGradedLine* onLine = nullptr;
  int computations = 0;

  BOOL UsesCurve(const CGradedCurve* curve) const override { return curve && curve == onCurve; }
  BOOL UsesLine(const CGradedLine* line) const override { return line && line == onLine; }

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    ++computations;
    if (failsAt.count(size)) return FALSE;
    const auto own = positionAt.find(size);
    const CPoint p = own != positionAt.end() ? own->second : position;
    *x = p.x;
    *y = p.y;
    return TRUE;
  }
};

TestPoint* AddPoint(CPatternData& data, CPoint position) {
  auto point = std::make_unique<TestPoint>(&data);
  point->position = position;
  return static_cast<TestPoint*>(data.AddElement(std::move(point)));
}

// A curve kind whose whole curve is a scripted polyline (one per size, or
// one for every size), built as every kind builds: a clean size gives its
// cached list, a dirty one is rebuilt (empty when told to fail), cleaned and
// its used part marked to be cut again.
template <class Branch>
class TestCurve : public Branch {
 public:
  explicit TestCurve(CPatternData* owner)
      : Branch(Branch::IsClosedBranch ? kCurveKindClosedPolyline : kCurveKindPolyline, owner, 0, 0,
               kDefaultCurveAttribute2) {}

  PointList polyline;
  std::map<int32_t, PointList> polylineAt;
  std::set<int32_t> failsAt;
  std::vector<CGradedPoint*> defining;
  int rebuilds = 0;

  using Branch::PartListAt;
  using Branch::WholeListAt;

  BOOL GetFullPoints(int32_t size, PointList& out) override {
    out.clear();
    PointList* whole = this->WholeListAt(size);
    if (!whole) return FALSE;
    if (!this->IsDirty(size)) {
      out = *whole;
      return TRUE;
    }
    ++rebuilds;
    const bool ok = failsAt.count(size) == 0;
    const auto own = polylineAt.find(size);
    *whole = !ok ? PointList() : own != polylineAt.end() ? own->second : polyline;
    this->ClearDirty(size);
    this->SetPartDirty(size, TRUE);
    out = *whole;
    return ok ? TRUE : FALSE;
  }
  void GetDefiningRefs(CGradedObjectList& refs) const override {
    refs.clear();
    refs.insert(refs.end(), defining.begin(), defining.end());
  }
  void GetFirstLastRefs(CGradedPoint*& first, CGradedPoint*& last) const override {
    if (defining.empty()) return;
    first = defining.front();
    last = defining.back();
  }

 protected:
  void GetPointRefs(CGradedObjectList& refs) const override {
    refs.insert(refs.end(), defining.begin(), defining.end());
  }
};

// The branches with what the test curve needs to know of them.
struct OpenBranch : CGradedOpenCurve {
  static constexpr bool IsClosedBranch = false;
  using CGradedOpenCurve::CGradedOpenCurve;
};
struct ClosedBranch : CGradedClosedCurve {
  static constexpr bool IsClosedBranch = true;
  using CGradedClosedCurve::CGradedClosedCurve;
};
using OpenCurve = TestCurve<OpenBranch>;
using ClosedCurve = TestCurve<ClosedBranch>;

template <class Curve>
Curve* AddCurve(CPatternData& data, PointList polyline) {
  auto curve = std::make_unique<Curve>(&data);
  curve->polyline = std::move(polyline);
  return static_cast<Curve*>(data.AddElement(std::move(curve)));
}

PointList Points(std::initializer_list<CPoint> points) { return PointList(points); }

// ---- Caches, sizes and boxes -------------------------------------------------------------

TEST(CurveCaches, EverySizeHasItsListsAndTheyFollowInsertionAndRemoval) {
  CPatternData data;
  SetUpSizes(data);
  auto* curve = AddCurve<OpenCurve>(data, {});
  ASSERT_EQ(curve->GetSizeListCount(), kSizeCount);
  for (int32_t size = 0; size < kSizeCount; ++size) {
    SCOPED_TRACE(size);
    ASSERT_NE(curve->WholeListAt(size), nullptr);
    ASSERT_NE(curve->PartListAt(size), nullptr);
    EXPECT_TRUE(curve->WholeListAt(size)->empty());
    EXPECT_TRUE(curve->PartListAt(size)->empty());
    EXPECT_FALSE(curve->IsPartDirty(size));
  }
  EXPECT_EQ(curve->WholeListAt(kSizeCount), nullptr);
  EXPECT_EQ(curve->PartListAt(-1), nullptr);

  const PointList lists[kSizeCount] = {Points({{0, 0}, {10, 0}}), Points({{0, 0}, {20, 0}}),
                                       Points({{0, 0}, {30, 0}})};
  for (int32_t size = 0; size < kSizeCount; ++size) curve->polylineAt[size] = lists[size];
  PointList out;
  for (int32_t size = 0; size < kSizeCount; ++size) ASSERT_TRUE(curve->GetPoints(size, out));

  curve->InsertSize(0);
  ASSERT_EQ(curve->GetSizeListCount(), kSizeCount + 1);
  EXPECT_EQ(curve->GetDirtyCount(), kSizeCount + 1);
  EXPECT_EQ(*curve->WholeListAt(0), lists[0]);
  EXPECT_EQ(*curve->PartListAt(0), lists[0]);
  EXPECT_TRUE(curve->IsPartDirty(0));
  EXPECT_EQ(*curve->WholeListAt(1), lists[0]);
  EXPECT_FALSE(curve->IsPartDirty(1));
  EXPECT_EQ(*curve->WholeListAt(3), lists[2]);

  curve->InsertSize(kSizeCount + 1);
  ASSERT_EQ(curve->GetSizeListCount(), kSizeCount + 2);
  EXPECT_TRUE(curve->WholeListAt(kSizeCount + 1)->empty());
  EXPECT_TRUE(curve->IsPartDirty(kSizeCount + 1));

  for (int32_t outside : {-1, kSizeCount + 2}) {
    curve->RemoveSize(outside);
    EXPECT_EQ(curve->GetSizeListCount(), kSizeCount + 2);
  }
  EXPECT_EQ(*curve->WholeListAt(3), lists[2]);
  curve->RemoveSize(1);
  EXPECT_EQ(curve->GetSizeListCount(), kSizeCount + 1);
  EXPECT_EQ(*curve->WholeListAt(1), lists[1]);
}

TEST(CurveCaches, SetEndsCutsThePartAgainAndTheBoxesFollowIt) {
  CPatternData data;
  SetUpSizes(data);
  auto* curve = AddCurve<OpenCurve>(data, Points({{0, 0}, {100, 0}, {100, 100}}));
  TestPoint* first = AddPoint(data, {0, 0});
  TestPoint* middle = AddPoint(data, {100, 0});
  TestPoint* last = AddPoint(data, {100, 100});
  TestPoint* half = AddPoint(data, {100, 50});
  curve->defining = {first, middle, last};
  curve->SetEnds(last, first);
  EXPECT_TRUE(curve->IsFull());
  EXPECT_EQ(curve->GetBaseBoundRect(), CRect(-1, -1, 102, 102));

  curve->SetEnds(first, half);
  EXPECT_FALSE(curve->IsFull());
  for (int32_t size = 0; size < kSizeCount; ++size) EXPECT_TRUE(curve->IsPartDirty(size));
  // Only the part is to be cut again; the box of the base size follows it
  // all the same.
  EXPECT_FALSE(curve->IsDirty(kBaseSize));
  EXPECT_EQ(curve->GetBaseBoundRect(), CRect(-1, -1, 102, 52));
  EXPECT_EQ(curve->GetBoundRect(kBaseSize), CRect(0, 0, 101, 51));
  PointList out;
  ASSERT_TRUE(curve->GetPoints(kBaseSize, out));
  EXPECT_EQ(out, Points({{0, 0}, {100, 0}, {100, 50}}));

  // Cut backwards when the end comes first.
  curve->SetEnds(half, middle);
  ASSERT_TRUE(curve->GetPoints(0, out));
  EXPECT_EQ(out, Points({{100, 50}, {100, 0}}));
}

TEST(CurveCaches, ABoxAtTheEdgeOfTheCoordinateRangeDoesNotWrap) {
  CPatternData data;
  SetUpSizes(data);
  auto* curve = AddCurve<OpenCurve>(data, Points({{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}}));
  EXPECT_EQ(curve->GetBoundRect(0), CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_EQ(curve->GetBaseBoundRect(), CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
}

TEST(CurveCaches, RecalcAllRebuildsEveryWholeCurveAndLeavesThePartsToTheirNextUse) {
  CPatternData data;
  SetUpSizes(data);
  auto* curve = AddCurve<OpenCurve>(data, Points({{0, 0}, {10, 0}}));
  PointList out;
  for (int32_t size = 0; size < kSizeCount; ++size) curve->GetPoints(size, out);
  ASSERT_EQ(curve->rebuilds, kSizeCount);
  curve->polyline = Points({{0, 0}, {0, 10}});
  curve->RecalcAll();
  EXPECT_EQ(curve->rebuilds, 2 * kSizeCount);
  EXPECT_FALSE(curve->IsDirty(-1));
  EXPECT_EQ(*curve->PartListAt(2), Points({{0, 0}, {10, 0}}));
  EXPECT_TRUE(curve->IsPartDirty(2));
  ASSERT_TRUE(curve->GetPoints(2, out));
  EXPECT_EQ(out, Points({{0, 0}, {0, 10}}));
  EXPECT_EQ(curve->rebuilds, 2 * kSizeCount);
}

TEST(CurveCaches, RelatedAreTheDefiningPointsTheEndsAndThePointsOnTheCurve) {
  CPatternData data;
  SetUpSizes(data);
  auto* curve = AddCurve<OpenCurve>(data, Points({{0, 0}, {10, 0}}));
  TestPoint* defining = AddPoint(data, {0, 0});
  TestPoint* start = AddPoint(data, {5, 0});
  TestPoint* onIt = AddPoint(data, {7, 0});
  TestPoint* elsewhere = AddPoint(data, {7, 7});
  auto* other = AddCurve<OpenCurve>(data, {});
  curve->defining = {defining};
  curve->SetEnds(start, defining);
  onIt->onCurve = curve;
  elsewhere->onCurve = other;
  curve->SetLink(other);
  EXPECT_TRUE(curve->IsRelatedTo(defining));
  EXPECT_TRUE(curve->IsRelatedTo(start));
  EXPECT_TRUE(curve->IsRelatedTo(onIt));
  EXPECT_FALSE(curve->IsRelatedTo(elsewhere));
  EXPECT_FALSE(curve->IsRelatedTo(other));
  EXPECT_FALSE(curve->IsRelatedTo(nullptr));
}

// ---- The open branch -----------------------------------------------------------------------

class OpenMeasure : public ::testing::Test {
 public:
  OpenMeasure() {
    SetUpSizes(data_);
    curve_ = AddCurve<OpenCurve>(data_, Points({{0, 0}, {100, 0}, {100, 100}}));
    first_ = AddPoint(data_, {0, 0});
    corner_ = AddPoint(data_, {100, 0});
    last_ = AddPoint(data_, {100, 100});
    nearFirstLeg_ = AddPoint(data_, {50, 1});
    off_ = AddPoint(data_, {0, 50});
  }

  CPatternData data_;
  OpenCurve* curve_;
  TestPoint* first_;
  TestPoint* corner_;
  TestPoint* last_;
  TestPoint* nearFirstLeg_;
  TestPoint* off_;
};

TEST_F(OpenMeasure, PointAtLengthWalksEitherWayAndStopsAtTheEnd) {
  struct Case {
    TestPoint* OpenMeasure::*start;
    int32_t direction;
    int32_t length;
    CPoint expected;
  };
  const Case kCases[] = {
      {&OpenMeasure::first_, 1, 150, {100, 50}},
      {&OpenMeasure::first_, 1, 500, {100, 100}},  // beyond the end: the last point
      {&OpenMeasure::first_, 0, 150, {100, 50}},   // from the first point always forwards
      {&OpenMeasure::corner_, 1, -100, {0, 0}},
      {&OpenMeasure::corner_, 0, 50, {50, 0}},
      {&OpenMeasure::corner_, 0, -50, {100, 50}},
      {&OpenMeasure::corner_, 1, INT_MIN, {0, 0}},
      {&OpenMeasure::nearFirstLeg_, 1, 25, {75, 0}},  // placed at (50, 0) on the curve
      {&OpenMeasure::nearFirstLeg_, 1, 0, {50, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.direction << " " << c.length);
    int32_t x = -1, y = -1;
    ASSERT_TRUE(curve_->PointAtLength(kBaseSize, this->*c.start, c.direction, c.length, &x, &y));
    EXPECT_EQ(CPoint(x, y), c.expected);
  }
}

TEST_F(OpenMeasure, PointAtRatioHoldsTheRatioToTheCurve) {
  struct Case {
    TestPoint* OpenMeasure::*start;
    double ratio;
    CPoint expected;
  };
  const Case kCases[] = {
      {&OpenMeasure::first_, 0.75, {100, 50}},
      {&OpenMeasure::first_, 1.5, {100, 100}},
      {&OpenMeasure::first_, -0.2, {0, 0}},
      {&OpenMeasure::first_, std::numeric_limits<double>::quiet_NaN(), {0, 0}},
      {&OpenMeasure::first_, 1e308, {100, 100}},
      {&OpenMeasure::last_, 0.25, {100, 50}},  // from anywhere else: back from the last point
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.ratio);
    int32_t x = -1, y = -1;
    ASSERT_TRUE(curve_->PointAtRatio(kBaseSize, this->*c.start, 1, c.ratio, &x, &y));
    EXPECT_EQ(CPoint(x, y), c.expected);
  }
}

TEST_F(OpenMeasure, SectionsAreMeasuredFromTheirFirstPoint) {
  EXPECT_EQ(curve_->GetSection(kBaseSize, first_, last_, 1), 200);
  EXPECT_EQ(curve_->GetSection(kBaseSize, last_, nearFirstLeg_, 1), 150);
  // No section between a point off the curve and one on it: the straight
  // distance.
  EXPECT_EQ(curve_->GetSection(kBaseSize, off_, first_, 1), 50);

  int32_t x = -1, y = -1;
  ASSERT_TRUE(curve_->PointAtRatioBetween(kBaseSize, first_, last_, 1, 0.75, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(100, 50));
  ASSERT_TRUE(curve_->PointAtRatioBetween(kBaseSize, last_, first_, 1, 0.25, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(100, 50));
  ASSERT_TRUE(curve_->PointAtRatioBetween(kBaseSize, off_, first_, 1, 0.5, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(0, 25));

  int32_t total = -1, part = -1;
  curve_->MeasureSection(kBaseSize, first_, 100, 50, 1, total, part);
  EXPECT_EQ(total, 200);
  EXPECT_EQ(part, 150);
}

TEST_F(OpenMeasure, ACurveThatEndsWhereItBeginsIsWalkedFromThatPointEitherWay) {
  curve_->polyline = Points({{0, 0}, {100, 0}, {100, 100}, {0, 0}});
  curve_->Invalidate(-1);
  EXPECT_EQ(curve_->GetSection(kBaseSize, first_, first_, 1), 341);
  EXPECT_EQ(curve_->GetSection(kBaseSize, first_, corner_, 1), 100);
  EXPECT_EQ(curve_->GetSection(kBaseSize, first_, corner_, 0), 241);
  int32_t x = -1, y = -1;
  ASSERT_TRUE(curve_->PointAtLength(kBaseSize, first_, 0, 100, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(71, 71));
  ASSERT_TRUE(curve_->PointAtRatioBetween(kBaseSize, first_, corner_, 0, 0.5, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(85, 85));
}

TEST_F(OpenMeasure, APointOffTheCurveOrWithoutAPositionGivesNothing) {
  int32_t x = -1, y = -1;
  EXPECT_FALSE(curve_->PointAtLength(kBaseSize, off_, 1, 10, &x, &y));
  EXPECT_FALSE(curve_->PointAtLength(kBaseSize, nullptr, 1, 10, &x, &y));
  EXPECT_FALSE(curve_->PointAtRatio(kBaseSize, nullptr, 1, 0.5, &x, &y));
  EXPECT_FALSE(curve_->PointAtRatioBetween(kBaseSize, first_, nullptr, 1, 0.5, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(-1, -1));
  EXPECT_EQ(curve_->GetSection(kBaseSize, first_, nullptr, 1), 0);
  EXPECT_EQ(curve_->GetSection(kBaseSize, first_, curve_, 1), 0);
}

TEST_F(OpenMeasure, HitTestsTakeTheWholeCurveOrTheVisiblePart) {
  TestPoint* half = AddPoint(data_, {100, 50});
  curve_->defining = {first_, last_};
  curve_->SetEnds(first_, half);
  CPoint at;
  double distance = -1;
  ASSERT_TRUE(curve_->HitTest(103, 80, 5.0, kBaseSize, &at, &distance));
  EXPECT_EQ(at, CPoint(100, 80));
  EXPECT_DOUBLE_EQ(distance, 3.0);
  EXPECT_FALSE(curve_->HitTestIfValid(103, 80, 5.0, kBaseSize, &at, &distance));
  EXPECT_TRUE(curve_->HitTestIfValid(103, 40, 5.0, kBaseSize, &at, &distance));
  // No closing segment on an open curve.
  EXPECT_FALSE(curve_->HitTest(52, 48, 5.0, kBaseSize, &at, &distance));
  curve_->SetState(0);
  EXPECT_FALSE(curve_->HitTestIfValid(103, 40, 5.0, kBaseSize, &at, &distance));
  EXPECT_TRUE(curve_->HitTest(103, 40, 5.0, kBaseSize, &at, &distance));
}

// ---- The closed branch ---------------------------------------------------------------------

class ClosedMeasure : public ::testing::Test {
 public:
  ClosedMeasure() {
    SetUpSizes(data_);
    curve_ = AddCurve<ClosedCurve>(data_, Points({{0, 0}, {100, 0}, {100, 100}, {0, 100}}));
    origin_ = AddPoint(data_, {0, 0});
    corner_ = AddPoint(data_, {100, 0});
    far_ = AddPoint(data_, {100, 100});
  }

  CPatternData data_;
  ClosedCurve* curve_;
  TestPoint* origin_;
  TestPoint* corner_;
  TestPoint* far_;
};

TEST_F(ClosedMeasure, RatiosAndLengthsGoRoundTheRing) {
  struct Case {
    bool byRatio;
    int32_t direction;
    double amount;
    CPoint expected;
  };
  const Case kCases[] = {
      {true, 1, 0.5, {100, 100}},
      {true, 1, 1.5, {100, 100}},
      {true, 0, 0.25, {0, 100}},
      {true, 1, -0.3, {0, 0}},
      {true, 1, 1e12 + 0.125, {50, 0}},
      {false, 1, 1'000'000'050, {50, 0}},
      {false, 0, 50, {0, 50}},
      {false, 1, -50, {0, 50}},
      {false, 1, INT_MIN, {0, 48}},
      {false, 1, 400, {0, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.byRatio << " " << c.direction << " " << c.amount);
    int32_t x = -1, y = -1;
    const BOOL found =
        c.byRatio ? curve_->PointAtRatio(kBaseSize, origin_, c.direction, c.amount, &x, &y)
                  : curve_->PointAtLength(kBaseSize, origin_, c.direction, static_cast<int32_t>(c.amount), &x, &y);
    ASSERT_TRUE(found);
    EXPECT_EQ(CPoint(x, y), c.expected);
  }
  int32_t x = -1, y = -1;
  EXPECT_FALSE(curve_->PointAtRatio(kBaseSize, origin_, 1, std::numeric_limits<double>::infinity(), &x, &y));
  EXPECT_FALSE(curve_->PointAtRatio(kBaseSize, origin_, 1, std::numeric_limits<double>::quiet_NaN(), &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(-1, -1));
}

TEST_F(ClosedMeasure, SmallAndEmptyRingsEndAtOnce) {
  int32_t x = -1, y = -1;
  curve_->polyline = Points({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  curve_->Invalidate(-1);
  ASSERT_TRUE(curve_->PointAtLength(kBaseSize, origin_, 1, INT_MAX, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(0, 1));

  TestPoint* repeated = AddPoint(data_, {5, 5});
  curve_->polyline = Points({{5, 5}, {5, 5}});
  curve_->Invalidate(-1);
  EXPECT_FALSE(curve_->PointAtLength(kBaseSize, repeated, 1, 10, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(0, 1));
  ASSERT_TRUE(curve_->PointAtLength(kBaseSize, repeated, 1, 0, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(5, 5));
  ASSERT_TRUE(curve_->PointAtRatio(kBaseSize, repeated, 1, 1e300, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(5, 5));
}

TEST_F(ClosedMeasure, SectionsRunForwardsOrBackwardsRoundTheRing) {
  EXPECT_EQ(curve_->GetSection(kBaseSize, origin_, far_, 1), 200);
  EXPECT_EQ(curve_->GetSection(kBaseSize, origin_, corner_, 0), 300);
  int32_t x = -1, y = -1;
  ASSERT_TRUE(curve_->PointAtRatioBetween(kBaseSize, origin_, corner_, 0, 0.5, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(50, 100));
  ASSERT_TRUE(curve_->PointAtRatioBetween(kBaseSize, origin_, far_, 1, 2.0, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(100, 100));
  int32_t total = -1, part = -1;
  curve_->MeasureSection(kBaseSize, corner_, 0, 50, 1, total, part);
  EXPECT_EQ(total, 400);
  EXPECT_EQ(part, 250);
}

TEST_F(ClosedMeasure, TheClosingSegmentHitsAndAHiddenCurveNeverDoesWhenValidIsAsked) {
  CPoint at;
  double distance = -1;
  ASSERT_TRUE(curve_->HitTest(2, 50, 5.0, kBaseSize, &at, &distance));
  EXPECT_EQ(at, CPoint(0, 50));
  EXPECT_DOUBLE_EQ(distance, 2.0);
  EXPECT_TRUE(curve_->HitTestIfValid(2, 50, 5.0, kBaseSize, &at, &distance));

  // A part of the ring is tested as it is cut, without closing it.
  curve_->defining = {origin_, far_};
  curve_->SetEnds(origin_, far_);
  ASSERT_FALSE(curve_->IsFull());
  EXPECT_FALSE(curve_->HitTestIfValid(2, 50, 5.0, kBaseSize, &at, &distance));
  EXPECT_TRUE(curve_->HitTestIfValid(50, 2, 5.0, kBaseSize, &at, &distance));
  PointList out;
  ASSERT_TRUE(curve_->GetPoints(kBaseSize, out));
  EXPECT_EQ(out, Points({{0, 0}, {100, 0}, {100, 100}}));

  curve_->SetEnds(origin_, origin_);
  ASSERT_TRUE(curve_->IsFull());
  curve_->SetState(0);
  EXPECT_FALSE(curve_->HitTestIfValid(2, 50, 5.0, kBaseSize, &at, &distance));
  EXPECT_TRUE(curve_->HitTest(2, 50, 5.0, kBaseSize, &at, &distance));
}

// ---- Failures ------------------------------------------------------------------------------

// A size whose whole curve cannot be built, or whose start has no position:
// 0 at the first call, then 1 with an empty list until the size is
// invalidated; everything that measures or walks there ends with no point.
template <class Curve>
void ExpectAFailedSizeGivesNothing(bool failStart) {
  SCOPED_TRACE(failStart ? "start without a position" : "no whole curve");
  constexpr int32_t kFailing = 2;
  CPatternData data;
  SetUpSizes(data);
  auto* curve = AddCurve<Curve>(data, Points({{0, 0}, {100, 0}, {100, 100}}));
  TestPoint* start = AddPoint(data, {0, 0});
  TestPoint* end = AddPoint(data, {100, 100});
  curve->defining = {start, AddPoint(data, {7, 7})};
  curve->SetEnds(start, end);
  ASSERT_FALSE(curve->IsFull());
  if (failStart) {
    start->failsAt.insert(kFailing);
  } else {
    curve->failsAt.insert(kFailing);
  }

  PointList out = Points({{1, 1}});
  EXPECT_FALSE(curve->GetPoints(kFailing, out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(curve->GetPoints(kFailing, out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(curve->PartListAt(kFailing)->empty());
  EXPECT_EQ(curve->GetBoundRect(kFailing), CRect());
  CPoint at;
  double distance = -1;
  EXPECT_FALSE(curve->HitTestIfValid(50, 0, 5.0, kFailing, &at, &distance));

  if (!failStart) {
    EXPECT_TRUE(curve->GetFullPoints(kFailing, out));
    EXPECT_TRUE(out.empty());
    int32_t x = -1, y = -1;
    EXPECT_FALSE(curve->PointAtLength(kFailing, start, 1, 1'000'000, &x, &y));
    EXPECT_FALSE(curve->PointAtRatio(kFailing, start, 1, 0.5, &x, &y));
    EXPECT_FALSE(curve->PointAtRatioBetween(kFailing, start, end, 1, 0.5, &x, &y));
    EXPECT_EQ(CPoint(x, y), CPoint(-1, -1));
    EXPECT_EQ(curve->GetSection(kFailing, start, end, 1), 0);
    int32_t total = -1, part = -1;
    curve->MeasureSection(kFailing, start, 50, 0, 1, total, part);
    EXPECT_EQ(total, 0);
    EXPECT_EQ(part, 0);
    EXPECT_FALSE(curve->HitTest(50, 0, 5.0, kFailing, &at, &distance));
  }

  // The other sizes are untouched, and the size comes back once it can.
  EXPECT_TRUE(curve->GetPoints(0, out));
  EXPECT_FALSE(out.empty());
  curve->failsAt.clear();
  start->failsAt.clear();
  start->Invalidate(kFailing);
  curve->Invalidate(kFailing);
  EXPECT_TRUE(curve->GetPoints(kFailing, out));
  EXPECT_FALSE(out.empty());
}

TEST(CurveFailures, AFailedSizeGivesAnEmptyListAndNoPoint) {
  ExpectAFailedSizeGivesNothing<OpenCurve>(false);
  ExpectAFailedSizeGivesNothing<OpenCurve>(true);
  ExpectAFailedSizeGivesNothing<ClosedCurve>(false);
  ExpectAFailedSizeGivesNothing<ClosedCurve>(true);
}

TEST(CurveFailures, AMissingOrStrayEndLeavesNoPart) {
  CPatternData data;
  SetUpSizes(data);
  auto* curve = AddCurve<OpenCurve>(data, Points({{0, 0}, {100, 0}}));
  TestPoint* start = AddPoint(data, {0, 0});
  TestPoint* stray = AddPoint(data, {50, 50});
  curve->defining = {start, AddPoint(data, {100, 0})};
  struct Case {
    CGradedPoint* start;
    CGradedPoint* end;
  };
  const Case kCases[] = {{nullptr, start}, {start, nullptr}, {start, stray}};
  for (const Case& c : kCases) {
    curve->SetEnds(c.start, c.end);
    PointList out;
    EXPECT_FALSE(curve->GetPoints(kBaseSize, out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(curve->GetBaseBoundRect(), CRect());
  }
}

// ---- The two-point line --------------------------------------------------------------------

class LineTest : public ::testing::Test {
 protected:
  LineTest() {
    SetUpSizes(data_);
    a_ = AddPoint(data_, {3, 7});
    b_ = AddPoint(data_, {1003, -1993});
    line_ = AddLine(a_, b_);
  }
  CGradedLine* AddLine(CGradedPoint* a, CGradedPoint* b) {
    return static_cast<CGradedLine*>(
        data_.AddElement(std::make_unique<CGradedLine>(&data_, 0, 0, kDefaultCurveAttribute2, a, b)));
  }

  CPatternData data_;
  TestPoint* a_;
  TestPoint* b_;
  CGradedLine* line_;
};

TEST_F(LineTest, RatiosAndDistancesFromEitherThroughPoint) {
  int32_t x = 0, y = 0;
  ASSERT_TRUE(line_->PointAtRatio(0, a_, 0.0, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(3, 7));
  ASSERT_TRUE(line_->PointAtRatio(0, a_, 1.0, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(1003, -1993));
  ASSERT_TRUE(line_->PointAtRatio(0, b_, 1.0, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(3, 7));

  TestPoint* c = AddPoint(data_, {0, 0});
  TestPoint* d = AddPoint(data_, {100, 0});
  CGradedLine* horizontal = AddLine(c, d);
  struct Case {
    CGradedPoint* from;
    int32_t distance;
    CPoint expected;
  };
  const Case kCases[] = {{d, 30, {70, 0}}, {c, 100, {100, 0}}, {c, 250, {100, 0}}, {c, -50, {-50, 0}}};
  for (const Case& k : kCases) {
    SCOPED_TRACE(k.distance);
    ASSERT_TRUE(horizontal->PointAtDistance(0, k.from, k.distance, &x, &y));
    EXPECT_EQ(CPoint(x, y), k.expected);
  }
  int32_t total = -1, part = -1;
  horizontal->MeasureAlong(0, d, 40, 30, total, part);
  EXPECT_EQ(total, 100);
  EXPECT_EQ(part, 67);
}

TEST_F(LineTest, AZeroLengthLineGivesItsPointForEveryDistance) {
  b_->position = a_->position;
  for (int32_t d : {5, -5, 0, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(d);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(line_->PointAtDistance(1, a_, d, &x, &y));
    EXPECT_EQ(CPoint(x, y), CPoint(3, 7));
  }
}

TEST_F(LineTest, AThroughPointWithoutAPositionCountsAsTheOrigin) {
  // Each size fails once: a point reports its failure to its first caller.
  // The point is still placed, from the positions handed out ((0, 0) here:
  // the failing point never had one, and the second through point is not
  // asked once the first fails), and the result says the line could not be
  // had.
  a_->failsAt = {1, 2};
  b_->failsAt.insert(0);
  int32_t x = -1, y = -1;
  EXPECT_FALSE(line_->PointAtRatio(2, a_, 0.5, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(0, 0));
  // From (3, 7) towards (0, 0): 10 is beyond the segment, so its far end.
  x = y = -1;
  EXPECT_FALSE(line_->PointAtDistance(0, a_, 10, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(0, 0));
  EXPECT_FALSE(line_->HitTest(3, 7, 5.0, 1, nullptr, nullptr));
  a_->failsAt.insert(0);
  a_->Invalidate(0);
  int32_t total = -1, part = -1;
  line_->MeasureAlong(0, a_, 0, 0, total, part);
  EXPECT_EQ(total, 0);
  EXPECT_EQ(part, 0);
}

TEST_F(LineTest, ComputedPositionsPassTheRangeCheckBy) {
  // GetPoint hands a point beyond the coordinate range out as (0, 0); the
  // line's own computation of its points takes them as computed.
  b_->position = CPoint(60'000'000, 0);
  line_->Invalidate(1);
  CPoint p1, p2;
  EXPECT_TRUE(line_->CalcThroughPoints(1, &p1, &p2));
  EXPECT_EQ(p2, CPoint(60'000'000, 0));
  EXPECT_FALSE(line_->IsDirty(1));
  EXPECT_TRUE(line_->CalcEndPoints(1, &p1, &p2));
  EXPECT_EQ(p1, CPoint(3, 7));
  EXPECT_EQ(p2, CPoint(60'000'000, 0));
  EXPECT_TRUE(line_->GetThroughPoints(1, &p1, &p2));
  EXPECT_EQ(p2, CPoint(0, 0));
}

TEST_F(LineTest, BoxAndHitTestsOfTheSegment) {
  TestPoint* c = AddPoint(data_, {110, 20});
  TestPoint* d = AddPoint(data_, {10, 20});
  CGradedLine* horizontal = AddLine(c, d);
  EXPECT_EQ(horizontal->GetBoundRect(0), CRect(10, 20, 111, 21));
  // Drawn between other ends: the box and the visible hit follow them.
  TestPoint* e = AddPoint(data_, {60, 20});
  horizontal->SetEnds(c, e);
  EXPECT_EQ(horizontal->GetBoundRect(0), CRect(60, 20, 111, 21));
  CPoint at;
  double distance = -1;
  ASSERT_TRUE(horizontal->HitTest(30, 23, 5.0, 0, &at, &distance));
  EXPECT_EQ(at, CPoint(30, 20));
  EXPECT_DOUBLE_EQ(distance, 3.0);
  EXPECT_FALSE(horizontal->HitTestIfValid(30, 23, 5.0, 0, &at, &distance));
  EXPECT_TRUE(horizontal->HitTestIfValid(80, 23, 5.0, 0, &at, &distance));
  horizontal->SetState(0);
  EXPECT_FALSE(horizontal->HitTestIfValid(80, 23, 5.0, 0, &at, &distance));
  e->failsAt.insert(1);
  EXPECT_EQ(horizontal->GetBoundRect(1), CRect());
}

TEST_F(LineTest, ReferencesAndRelations) {
  EXPECT_TRUE(line_->IsThrough(b_, a_));
  EXPECT_TRUE(line_->IsThrough(a_, b_));
  EXPECT_FALSE(line_->IsThrough(a_, a_));
  TestPoint* end = AddPoint(data_, {5, 5});
  TestPoint* onLine = AddPoint(data_, {6, 6});
  TestPoint* unrelated = AddPoint(data_, {6, 6});
  CGradedLine* other = AddLine(onLine, unrelated);
  onLine->onLine = line_;
  unrelated->onLine = other;
  line_->SetEnds(a_, end);
  line_->SetLink(other);
  EXPECT_TRUE(line_->IsRelatedTo(a_));
  EXPECT_TRUE(line_->IsRelatedTo(end));
  EXPECT_TRUE(line_->IsRelatedTo(onLine));
  EXPECT_FALSE(line_->IsRelatedTo(unrelated));
  EXPECT_FALSE(line_->IsRelatedTo(other));

  CGradedPoint* p = nullptr;
  CGradedPoint* q = nullptr;
  line_->GetEndRefs(&p, &q);
  EXPECT_EQ(p, a_);
  EXPECT_EQ(q, end);
  line_->SetThroughRefs(end, a_);
  line_->GetThroughRefs(&p, &q);
  EXPECT_EQ(p, end);
  EXPECT_EQ(q, a_);
  line_->SetEnds(a_, end);
  EXPECT_TRUE(line_->IsFull());
  line_->GetEndRefs(&p, &q);
  EXPECT_EQ(p, end);
  EXPECT_EQ(q, a_);
  CGradedLine empty(&data_, 0, 0, kDefaultCurveAttribute2);
  EXPECT_FALSE(empty.IsThrough(nullptr, nullptr));
}

TEST_F(LineTest, RecalcAllComputesTheThroughPointsAndSizesFollowTheTable) {
  const int before = a_->computations + b_->computations;
  line_->RecalcAll();
  EXPECT_EQ(a_->computations + b_->computations, before + 2 * kSizeCount);
  line_->InsertSize(0);
  EXPECT_EQ(line_->GetDirtyCount(), kSizeCount + 1);
  EXPECT_TRUE(line_->IsDirty(0));
  line_->RemoveSize(kSizeCount + 1);
  EXPECT_EQ(line_->GetDirtyCount(), kSizeCount + 1);
  line_->RemoveSize(0);
  EXPECT_EQ(line_->GetDirtyCount(), kSizeCount);
}

}  // namespace
