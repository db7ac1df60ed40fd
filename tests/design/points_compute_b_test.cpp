// Computing the points that copy a source point (mirror, rotation, transfer:
// kinds 13, 14, 26, 27, 33, 34) and the polar and direction-distance points
// (15 to 18) for every size: the geometry of each kind as a table, what a
// missing or failing reference leaves, the axis mirror that tries a failed
// size again, cycles of copies, and the hostile values a file can hold
// (angles that are no number, distances and positions at the ends of the
// range).
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/core/size_table.h"
#include "design/points/graded_point.h"
#include "design/points/mirror_points.h"
#include "design/points/polar_points.h"
#include "tests/support/finishes_in_time.h"

namespace {

constexpr int kSizeCount = 2;
constexpr int kBaseSize = 0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A point placed by the test at one position per size. While told to fail,
// it fails every time it is asked (keeping its cached position), so that what
// a copy makes of a failing reference shows however often it is computed.
class PlacedPoint : public CGradedPoint {
 public:
  explicit PlacedPoint(CPatternData* owner) : CGradedPoint(kPointKindFree, owner, 0) { SetState(1); }

  std::vector<CPoint> at;
  bool fails = false;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (fails) return FALSE;
    const CPoint p = at[static_cast<size_t>(size)];
    *x = p.x;
    *y = p.y;
    return TRUE;
  }
  SizeOutcome OutcomeOf(BOOL result) const override {
    return result ? SizeOutcome::kCacheAndClean : SizeOutcome::kNothing;
  }
};

class PointsComputeB : public ::testing::Test {
 protected:
  PointsComputeB() {
    for (int i = 0; i < kSizeCount; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBaseSize);
  }

  // A point at `p` in every size.
  PlacedPoint* At(CPoint p) { return At(std::vector<CPoint>(kSizeCount, p)); }
  // A point at one position per size.
  PlacedPoint* At(std::vector<CPoint> positions) {
    auto point = std::make_unique<PlacedPoint>(&data_);
    point->at = std::move(positions);
    return static_cast<PlacedPoint*>(data_.AddElement(std::move(point)));
  }
  // A point whose every computation fails; its cached position is `cached`.
  PlacedPoint* Failing(CPoint cached) {
    PlacedPoint* point = At(cached);
    point->fails = true;
    for (int i = 0; i < kSizeCount; ++i) point->SetSizePoint(i, cached.x, cached.y);
    return point;
  }

  template <class Point, class... Args>
  Point* Add(Args&&... args) {
    return static_cast<Point*>(data_.AddElement(std::make_unique<Point>(&data_, uint16_t{0}, std::forward<Args>(args)...)));
  }

  // A plain length in model units, the same in every size.
  CFormula Length(int32_t value) { return CFormula(&data_, {}, 0, 1.0, 1.0, value); }
  // A length read from a size-table row: one value per size.
  CFormula Graded(std::vector<int32_t> values) {
    CSizeTableRow* row = data_.AddSizeRow(CString("row"));
    for (int i = 0; i < kSizeCount; ++i) row->SetValue(i, values[static_cast<size_t>(i)]);
    return CFormula(&data_, {CFormulaTerm::OnRow(1, row, 1, 1.0, 1.0)}, 0, 1.0, 1.0, 0);
  }

  CPatternData data_;
};

// The point's answer for a size asked afresh, after it has held `cached`:
// the result and the position.
struct Answer {
  BOOL result;
  CPoint point;
};
Answer AskAfresh(CGradedPoint* point, int32_t size = kBaseSize, CPoint cached = CPoint(7, 9)) {
  point->SetSizePoint(size, cached.x, cached.y);
  point->Invalidate(size);
  Answer answer{FALSE, CPoint()};
  answer.result = point->GetPoint(size, &answer.point);
  return answer;
}

struct Case {
  const char* name;
  std::function<CGradedPoint*()> make;
  BOOL result;
  CPoint point;
};

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CGradedPoint* point = nullptr;
    ASSERT_TRUE(FinishesInTime([&] { point = c.make(); }));
    Answer answer{FALSE, CPoint()};
    ASSERT_TRUE(FinishesInTime([&] { answer = AskAfresh(point); }));
    EXPECT_EQ(answer.result, c.result);
    EXPECT_EQ(answer.point, c.point);
  }
}

// ---- Copies of a source point ------------------------------------------------

TEST_F(PointsComputeB, EachCopyKindMovesItsSourceAsItsMotionSays) {
  const std::vector<Case> cases = {
      {"13: in the x axis", [&] { return Add<CLineMirrorPoint>(At({30, 40}), At({0, 0}), At({100, 0})); }, TRUE,
       CPoint(30, -40)},
      {"13: in y = x", [&] { return Add<CLineMirrorPoint>(At({30, 40}), At({0, 0}), At({10, 10})); }, TRUE,
       CPoint(40, 30)},
      {"13: a source on the line stays",
       [&] { return Add<CLineMirrorPoint>(At({50, 0}), At({0, 0}), At({100, 0})); }, TRUE, CPoint(50, 0)},
      {"13: a vertical line", [&] { return Add<CLineMirrorPoint>(At({30, 40}), At({100, -5}), At({100, 80})); },
       TRUE, CPoint(170, 40)},
      {"13: mirror-line points at one place give the source",
       [&] { return Add<CLineMirrorPoint>(At({30, 40}), At({5, 5}), At({5, 5})); }, FALSE, CPoint(30, 40)},
      {"13: a failed source is still mirrored where it stands",
       [&] { return Add<CLineMirrorPoint>(Failing({30, 40}), At({0, 0}), At({100, 0})); }, FALSE,
       CPoint(30, -40)},
      {"14: in a centre", [&] { return Add<CPointMirrorPoint>(At({10, 20}), At({0, 0})); }, TRUE, CPoint(-10, -20)},
      {"14: a failed centre is still used where it stands",
       [&] { return Add<CPointMirrorPoint>(At({10, 20}), Failing({5, 5})); }, FALSE, CPoint(0, -10)},
      {"26: a quarter turn", [&] { return Add<CRotatedPoint>(At({10, 0}), At({0, 0}), 90.0); }, TRUE,
       CPoint(0, 10)},
      {"26: a quarter turn back", [&] { return Add<CRotatedPoint>(At({10, 0}), At({0, 0}), -90.0); }, TRUE,
       CPoint(0, -10)},
      {"26: about a centre off the origin", [&] { return Add<CRotatedPoint>(At({110, 50}), At({100, 50}), 180.0); },
       TRUE, CPoint(90, 50)},
      {"26: a failed source makes nothing",
       [&] { return Add<CRotatedPoint>(Failing({10, 0}), At({0, 0}), 90.0); }, FALSE, CPoint(7, 9)},
      {"27: mode 1", [&] { return Add<CAxisMirrorPoint>(At({40, 5}), At({100, 0}), At({0, 0}), At({0, 0}), 1); },
       TRUE, CPoint(160, 5)},
      {"27: mode 2", [&] { return Add<CAxisMirrorPoint>(At({40, 5}), At({100, 0}), At({0, 0}), At({0, 0}), 2); },
       TRUE, CPoint(40, -5)},
      {"27: mode 3", [&] { return Add<CAxisMirrorPoint>(At({40, 5}), At({100, 0}), At({0, 0}), At({0, 0}), 3); },
       TRUE, CPoint(160, -5)},
      {"27: mode 0 only shifts",
       [&] { return Add<CAxisMirrorPoint>(At({40, 5}), At({100, 0}), At({1, 1}), At({11, 21}), 0); }, TRUE,
       CPoint(50, 25)},
      {"27: mode 3 and a shift",
       [&] { return Add<CAxisMirrorPoint>(At({40, 5}), At({100, 0}), At({1, 1}), At({11, 21}), 3); }, TRUE,
       CPoint(170, 15)},
      {"33: equal directions leave the source",
       [&] { return Add<CDirectionRotatedPoint>(At({20, 7}), At({0, 0}), At({10, 10}), At({30, 30})); }, TRUE,
       CPoint(20, 7)},
      {"33: from +x to +y turns a quarter",
       [&] { return Add<CDirectionRotatedPoint>(At({20, 0}), At({0, 0}), At({10, 0}), At({0, 10})); }, TRUE,
       CPoint(0, 20)},
      {"33: about a centre off the origin",
       [&] { return Add<CDirectionRotatedPoint>(At({120, 50}), At({100, 50}), At({100, 90}), At({60, 50})); },
       TRUE, CPoint(100, 70)},
      {"34: onto itself leaves the source",
       [&] { return Add<CTransferredPoint>(At({3, 4}), At({0, 0}), At({10, 0}), At({0, 0}), At({50, 0})); }, TRUE,
       CPoint(3, 4)},
      {"34: a pure shift shifts the source",
       [&] {
         return Add<CTransferredPoint>(At({3, 4}), At({0, 0}), At({10, 0}), At({100, 100}), At({200, 100}));
       },
       TRUE, CPoint(103, 104)},
      {"34: a shift and a quarter turn",
       [&] { return Add<CTransferredPoint>(At({5, 2}), At({0, 0}), At({10, 0}), At({100, 0}), At({100, 50})); },
       TRUE, CPoint(98, 5)},
      {"34: a segment that is already turned",
       [&] { return Add<CTransferredPoint>(At({0, 5}), At({0, 0}), At({0, 10}), At({100, 0}), At({150, 0})); },
       TRUE, CPoint(105, 0)},
  };
  ExpectCases(cases);
}

TEST_F(PointsComputeB, ACopyFollowsItsSourceInEverySize) {
  PlacedPoint* source = At(std::vector<CPoint>{{40, 5}, {44, 7}});
  PlacedPoint* axis = At(std::vector<CPoint>{{100, 0}, {110, 0}});
  auto* mirror = Add<CAxisMirrorPoint>(source, axis, At({0, 0}), At(std::vector<CPoint>{{0, 0}, {0, 10}}), 1);
  CPoint p;
  ASSERT_TRUE(mirror->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(160, 5));
  ASSERT_TRUE(mirror->GetPoint(1, &p));
  EXPECT_EQ(p, CPoint(176, 17));
}

TEST_F(PointsComputeB, AMissingReferenceGivesNoPosition) {
  const std::vector<Case> cases = {
      {"13 without source", [&] { return Add<CLineMirrorPoint>(nullptr, At({0, 0}), At({100, 0})); }, FALSE,
       CPoint(7, 9)},
      {"13 without its second line point",
       [&] { return Add<CLineMirrorPoint>(At({30, 40}), At({0, 0}), nullptr); }, FALSE, CPoint(7, 9)},
      {"14 without centre", [&] { return Add<CPointMirrorPoint>(At({10, 20}), nullptr); }, FALSE, CPoint(7, 9)},
      {"26 without centre", [&] { return Add<CRotatedPoint>(At({10, 0}), nullptr, 90.0); }, FALSE, CPoint(7, 9)},
      {"27 without shift end",
       [&] { return Add<CAxisMirrorPoint>(At({40, 5}), At({100, 0}), At({0, 0}), nullptr, 1); }, FALSE,
       CPoint(7, 9)},
      {"33 without to-direction",
       [&] { return Add<CDirectionRotatedPoint>(At({20, 0}), At({0, 0}), At({10, 0}), nullptr); }, FALSE,
       CPoint(7, 9)},
      {"34 without target direction",
       [&] { return Add<CTransferredPoint>(At({3, 4}), At({0, 0}), At({10, 0}), At({0, 0}), nullptr); }, FALSE,
       CPoint(7, 9)},
      {"15 without reference", [&] { return Add<CPolarPoint15>(nullptr, Length(100), 0.0); }, FALSE, CPoint(7, 9)},
      {"18 without base",
       [&] { return Add<CDirectionDistancePoint>(nullptr, Length(100), At({0, 0}), At({10, 0}), 0.0); }, FALSE,
       CPoint(7, 9)},
      {"18 without direction start",
       [&] { return Add<CDirectionDistancePoint>(At({0, 0}), Length(100), nullptr, At({10, 0}), 0.0); }, FALSE,
       CPoint(7, 9)},
      {"18 without direction end",
       [&] { return Add<CDirectionDistancePoint>(At({0, 0}), Length(100), At({0, 0}), nullptr, 0.0); }, FALSE,
       CPoint(7, 9)},
  };
  ExpectCases(cases);
}

TEST_F(PointsComputeB, TheAxisMirrorTriesAFailedSizeAgainWhereOtherCopiesKeepIt) {
  PlacedPoint* source = At({40, 5});
  source->fails = true;
  auto* axisMirror = Add<CAxisMirrorPoint>(source, At({100, 0}), At({0, 0}), At({0, 0}), 1);
  auto* rotated = Add<CRotatedPoint>(source, At({0, 0}), 180.0);
  EXPECT_TRUE(axisMirror->IsDirty(0)) << "a failed size stays dirty";
  EXPECT_FALSE(rotated->IsDirty(0)) << "the frame marks a failed size clean";
  CPoint p;
  EXPECT_FALSE(axisMirror->GetPoint(0, &p)) << "asked again, it fails again";
  EXPECT_EQ(p, CPoint(0, 0)) << "and keeps the position it had";

  // The source is mended; nothing tells the copies.
  source->fails = false;
  ASSERT_TRUE(axisMirror->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(160, 5));
  EXPECT_FALSE(axisMirror->IsDirty(0));
  EXPECT_TRUE(rotated->GetPoint(0, &p)) << "a clean size reports its cached position";
  EXPECT_EQ(p, CPoint(0, 0));
}

TEST_F(PointsComputeB, CopiesInACycleGiveZeroToTheFirstCallerOnly) {
  PlacedPoint* centre = At({10, 0});
  CPointMirrorPoint* first = nullptr;
  CPointMirrorPoint* second = nullptr;
  ASSERT_TRUE(FinishesInTime([&] {
    first = Add<CPointMirrorPoint>(nullptr, centre);
    second = Add<CPointMirrorPoint>(first, centre);
    first->SetParams(second, centre);
  }));
  first->Invalidate(-1);
  second->Invalidate(-1);
  BOOL firstAnswer = TRUE, secondAnswer = FALSE, otherAnswer = FALSE;
  CPoint p;
  ASSERT_TRUE(FinishesInTime([&] {
    firstAnswer = first->GetPoint(0, &p);
    secondAnswer = first->GetPoint(0, &p);
    otherAnswer = second->GetPoint(0, &p);
  }));
  EXPECT_FALSE(firstAnswer);
  EXPECT_TRUE(secondAnswer);
  EXPECT_TRUE(otherAnswer) << "computed on the way, clean since";

  // A copy of itself.
  for (std::function<CGradedPoint*()> make : std::vector<std::function<CGradedPoint*()>>{
           [&]() -> CGradedPoint* {
             auto* self = Add<CLineMirrorPoint>(nullptr, At({0, 0}), At({100, 0}));
             self->SetParams(self, At({0, 0}), At({100, 0}));
             return self;
           },
           [&]() -> CGradedPoint* {
             auto* self = Add<CAxisMirrorPoint>(nullptr, At({100, 0}), At({0, 0}), At({0, 0}), 1);
             self->SetParams(self, At({100, 0}), At({0, 0}), At({0, 0}), 1);
             return self;
           }}) {
    CGradedPoint* self = nullptr;
    ASSERT_TRUE(FinishesInTime([&] { self = make(); }));
    ASSERT_TRUE(FinishesInTime([&] { firstAnswer = AskAfresh(self).result; }));
    EXPECT_FALSE(firstAnswer);
  }
}

TEST_F(PointsComputeB, CopiesThrownBeyondTheBoundAreReportedByIt) {
  constexpr int32_t kFar = kMaxPointCoordinate;
  struct Sum {
    const char* name;
    std::function<CGradedPoint*()> make;
    CPoint cached;
  };
  const std::vector<Sum> sums = {
      {"14", [&] { return Add<CPointMirrorPoint>(At({-kFar, kFar}), At({kFar, -kFar})); },
       CPoint(3 * kFar, -3 * kFar)},
      {"27",
       [&] {
         return Add<CAxisMirrorPoint>(At({kFar, kFar}), At({0, 0}), At({-kFar, -kFar}), At({kFar, kFar}), 0);
       },
       CPoint(3 * kFar, 3 * kFar)},
      {"34",
       [&] {
         return Add<CTransferredPoint>(At({kFar, 0}), At({-kFar, 0}), At({-kFar, 5}), At({kFar, 0}), At({kFar, 9}));
       },
       CPoint(3 * kFar, 0)},
  };
  for (const Sum& s : sums) {
    SCOPED_TRACE(s.name);
    CGradedPoint* point = s.make();
    CPoint p;
    EXPECT_TRUE(point->GetPoint(0, &p));
    EXPECT_EQ(p, CPoint(0, 0));
    EXPECT_EQ(point->GetStatus(), kPointStatusOverflow);
    CPoint cached;
    ASSERT_TRUE(point->GetSizePoint(0, &cached));
    EXPECT_EQ(cached, s.cached);
  }
}

TEST_F(PointsComputeB, AChainOfCopiesDeeperThanTheNestingLimitEndsWithoutACrash) {
  // Each copy is carried along a segment moved onto itself, so it stands on
  // its source; the transfer has the largest computation of these kinds.
  constexpr int kChain = 2 * kMaxPointNesting;
  PlacedPoint* start = At({0, 0});
  PlacedPoint* end = At({10, 0});
  PlacedPoint* direction = At({50, 0});
  std::vector<CGradedPoint*> chain{At({3, 4})};
  for (int i = 0; i < kChain; ++i) {
    chain.push_back(Add<CTransferredPoint>(chain.back(), start, end, start, direction));
  }
  CPoint p;
  ASSERT_TRUE(chain.back()->GetPoint(0, &p)) << "made link by link from the root";
  EXPECT_EQ(p, CPoint(3, 4));

  for (CGradedPoint* point : chain) point->Invalidate(-1);
  BOOL answer = TRUE;
  ASSERT_TRUE(FinishesInTime([&] { answer = chain.back()->GetPoint(0, &p); }));
  EXPECT_FALSE(answer) << "asked from the end, the chain is too deep";
}

TEST_F(PointsComputeB, RotationsByAnglesThatAreNoNumberEndAtTheCentre) {
  for (double angle : {kNaN, kInfinity, -kInfinity}) {
    SCOPED_TRACE(angle);
    CRotatedPoint* point = nullptr;
    ASSERT_TRUE(FinishesInTime([&] { point = Add<CRotatedPoint>(At({110, 0}), At({100, 20}), angle); }));
    const Answer answer = AskAfresh(point);
    EXPECT_EQ(answer.point, CPoint(100, 20));
  }
  CRotatedPoint* huge = Add<CRotatedPoint>(At({110, 20}), At({100, 20}), 1e300);
  const Answer answer = AskAfresh(huge);
  EXPECT_TRUE(answer.result);
  EXPECT_LE(std::hypot(answer.point.x - 100.0, answer.point.y - 20.0), 10.5) << "still a turn about the centre";
}

TEST_F(PointsComputeB, SettersStoreTheirFieldsAndComputeEverySize) {
  PlacedPoint* source = At({10, 0});
  PlacedPoint* centre = At({0, 0});
  auto* rotated = Add<CRotatedPoint>(source, centre, 90.0);
  EXPECT_FALSE(rotated->IsDirty(0));
  EXPECT_FALSE(rotated->IsDirty(1));
  CPoint p;
  ASSERT_TRUE(rotated->GetSizePoint(1, &p));
  EXPECT_EQ(p, CPoint(0, 10));
  rotated->SetParams(centre, source, 180.0);
  ASSERT_TRUE(rotated->GetSizePoint(1, &p));
  EXPECT_EQ(p, CPoint(20, 0));
  CGradedPoint *gotSource = nullptr, *gotCentre = nullptr;
  double angle = 0.0;
  rotated->GetParams(&gotSource, &gotCentre, &angle);
  EXPECT_EQ(gotSource, centre);
  EXPECT_EQ(gotCentre, source);
  EXPECT_EQ(angle, 180.0);

  auto* axisMirror = Add<CAxisMirrorPoint>(source, centre, centre, source, 2);
  CGradedPoint *a = nullptr, *b = nullptr, *c = nullptr, *d = nullptr;
  int32_t mode = 0;
  axisMirror->GetRefs(&a, &b, &c, &d, &mode);
  EXPECT_EQ((std::vector<CGradedPoint*>{a, b, c, d}), (std::vector<CGradedPoint*>{source, centre, centre, source}));
  EXPECT_EQ(mode, 2);
}

// ---- Polar and direction-distance points ----------------------------------------

TEST_F(PointsComputeB, PolarPointsLayTheDistanceOffAlongTheAngle) {
  const std::vector<Case> cases = {
      {"angle 0", [&] { return Add<CPolarPoint15>(At({10, 20}), Length(100), 0.0); }, TRUE, CPoint(110, 20)},
      {"angle 90", [&] { return Add<CPolarPoint15>(At({10, 20}), Length(100), 90.0); }, TRUE, CPoint(10, 120)},
      {"angle 45 rounds each offset", [&] { return Add<CPolarPoint16>(At({10, 20}), Length(100), 45.0); }, TRUE,
       CPoint(81, 91)},
      {"angle 180", [&] { return Add<CPolarPoint17>(At({10, 20}), Length(100), 180.0); }, TRUE, CPoint(-90, 20)},
      {"a negative distance goes the other way",
       [&] { return Add<CPolarPoint15>(At({10, 20}), Length(-100), 90.0); }, TRUE, CPoint(10, -80)},
      {"a negative offset rounds away from zero",
       [&] { return Add<CPolarPoint15>(At({10, 20}), Length(100), 225.0); }, TRUE, CPoint(-61, -51)},
      {"a failed reference is used where it stands",
       [&] { return Add<CPolarPoint15>(Failing({10, 20}), Length(100), 0.0); }, FALSE, CPoint(110, 20)},
      {"an angle that is no number gives the reference point",
       [&] { return Add<CPolarPoint15>(At({10, 20}), Length(100), kNaN); }, TRUE, CPoint(10, 20)},
      {"an infinite angle likewise", [&] { return Add<CPolarPoint15>(At({10, 20}), Length(100), kInfinity); },
       TRUE, CPoint(10, 20)},
  };
  ExpectCases(cases);
}

TEST_F(PointsComputeB, APolarPointGradesWithItsDistance) {
  auto* point = Add<CPolarPoint15>(At(std::vector<CPoint>{{0, 0}, {5, 0}}), Graded({100, 140}), 90.0);
  CPoint p;
  ASSERT_TRUE(point->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(0, 100));
  ASSERT_TRUE(point->GetPoint(1, &p));
  EXPECT_EQ(p, CPoint(5, 140));
}

TEST_F(PointsComputeB, DirectionDistancePointsFollowTheTurnedDirection) {
  const std::vector<Case> cases = {
      {"along the direction",
       [&] { return Add<CDirectionDistancePoint>(At({0, 0}), Length(100), At({50, 50}), At({60, 50}), 0.0); },
       TRUE, CPoint(100, 0)},
      {"turned a quarter",
       [&] { return Add<CDirectionDistancePoint>(At({0, 0}), Length(100), At({50, 50}), At({60, 50}), 90.0); },
       TRUE, CPoint(0, 100)},
      {"from a base off the origin",
       [&] { return Add<CDirectionDistancePoint>(At({5, 5}), Length(30), At({10, 10}), At({10, 20}), 0.0); }, TRUE,
       CPoint(5, 35)},
      {"a slanted direction",
       [&] { return Add<CDirectionDistancePoint>(At({1, 2}), Length(50), At({0, 0}), At({30, 40}), 0.0); }, TRUE,
       CPoint(31, 42)},
      {"a negative distance",
       [&] { return Add<CDirectionDistancePoint>(At({5, 5}), Length(-30), At({10, 10}), At({10, 20}), 0.0); },
       TRUE, CPoint(5, -25)},
      {"direction points at one place give the base point",
       [&] { return Add<CDirectionDistancePoint>(At({5, 5}), Length(30), At({7, 7}), At({7, 7}), 45.0); }, FALSE,
       CPoint(5, 5)},
      {"an angle that is no number gives the base point",
       [&] { return Add<CDirectionDistancePoint>(At({5, 5}), Length(30), At({0, 0}), At({10, 0}), kNaN); }, FALSE,
       CPoint(5, 5)},
      {"a failed direction point is used where it stands",
       [&] { return Add<CDirectionDistancePoint>(At({0, 0}), Length(100), At({0, 0}), Failing({0, 10}), 0.0); },
       FALSE, CPoint(0, 100)},
  };
  ExpectCases(cases);
}

TEST_F(PointsComputeB, DistancesAtTheEndOfTheRangeAreCaughtByTheBound) {
  constexpr int32_t kHuge = std::numeric_limits<int32_t>::max();
  const std::vector<std::function<CGradedPoint*()>> makes = {
      [&] { return Add<CPolarPoint15>(At({kMaxPointCoordinate, 0}), Length(kHuge), 0.0); },
      [&] {
        return Add<CDirectionDistancePoint>(At({kMaxPointCoordinate, 0}), Length(kHuge), At({0, 0}), At({1, 0}),
                                            0.0);
      },
  };
  for (const auto& make : makes) {
    CGradedPoint* point = make();
    CPoint p;
    EXPECT_TRUE(point->GetPoint(0, &p));
    EXPECT_EQ(p, CPoint(0, 0));
    EXPECT_EQ(point->GetStatus(), kPointStatusOverflow);
    CPoint cached;
    ASSERT_TRUE(point->GetSizePoint(0, &cached));
    EXPECT_EQ(cached, CPoint(kHuge, 0)) << "kept at the end of the range, not wrapped";
  }
}

TEST_F(PointsComputeB, PolarSettersStoreAndInvalidate) {
  PlacedPoint* reference = At({10, 20});
  auto* point = Add<CPolarPoint15>(reference, Length(100), 0.0);
  EXPECT_FALSE(point->IsDirty(1)) << "the full constructor computes every size";
  point->SetAngle(90.0);
  EXPECT_TRUE(point->IsDirty(0));
  EXPECT_TRUE(point->IsDirty(1));
  CPoint p;
  ASSERT_TRUE(point->GetPoint(1, &p));
  EXPECT_EQ(p, CPoint(10, 120));
  point->SetDistance(Length(50));
  ASSERT_TRUE(point->GetPoint(1, &p));
  EXPECT_EQ(p, CPoint(10, 70));
  point->SetDistanceAndAngle(Length(30), 180.0);
  ASSERT_TRUE(point->GetPoint(1, &p));
  EXPECT_EQ(p, CPoint(-20, 20));
  CGradedPoint* gotReference = nullptr;
  CFormula distance;
  double angle = 0.0;
  point->GetParams(&gotReference, &distance, &angle);
  EXPECT_EQ(gotReference, reference);
  EXPECT_EQ(distance.Evaluate(0), 30);
  EXPECT_EQ(angle, 180.0);

  auto* direction = Add<CDirectionDistancePoint>(At({0, 0}), Length(100), At({0, 0}), At({10, 0}), 0.0);
  direction->SetAngle(90.0);
  ASSERT_TRUE(direction->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(0, 100));
  direction->SetDistanceAndAngle(Length(40), 180.0);
  ASSERT_TRUE(direction->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(-40, 0));
}

TEST_F(PointsComputeB, ASetLabelStaysBoundToItsPoint) {
  auto* point = Add<CPolarPoint16>(At({0, 0}), Length(100), 0.0);
  auto* other = Add<CDirectionDistancePoint>(At({0, 0}), Length(100), At({0, 0}), At({10, 0}), 0.0);
  CDimLabel label = other->GetAngleLabel();
  label.SetOffsetDistance(-77);
  label.SetVisible(1);
  point->SetAngleLabel(label);
  EXPECT_EQ(point->GetAngleLabel().GetOffsetDistance(), -77);
  EXPECT_EQ(point->GetAngleLabel().IsVisible(), 1);
  EXPECT_EQ(point->GetAngleLabel().GetLabelledObject(), point);
  other->SetDistanceLabel(point->GetDistanceLabel());
  EXPECT_EQ(other->GetDistanceLabel().GetLabelledObject(), other);
}

}  // namespace
