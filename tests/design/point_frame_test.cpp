// The per-size frame every point kind computes through: the cache of clean
// sizes, the stored positions of compute-all 0, the coordinate bound, the
// hit tests and the guards that end cycles and over-deep chains. The frame is
// shown with a point kind of the test's own, whose computation the test
// scripts, so that what is seen is the frame's and no kind's.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/points/graded_point.h"
#include "tests/design/support/scripted_curve.h"
#include "tests/support/finishes_in_time.h"

namespace {

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;

void SetUpSizes(CPatternData& data, int sizes = kSizeCount, int base = kBaseSize) {
  for (int i = 0; i < sizes; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
  data.SetBaseSize(base);
}

// A point at `offset` from its source point, or at `offset` itself without
// one; it fails when told to. Every computation is counted.
class ScriptedPoint : public CGradedPoint {
 public:
  explicit ScriptedPoint(CPatternData* owner) : CGradedPoint(kPointKindFree, owner, 0) { SetState(1); }

  ScriptedPoint* source = nullptr;
  CPoint offset;
  bool fails = false;
  int computations = 0;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    ++computations;
    if (fails) return FALSE;
    CPoint from;
    if (source && !source->GetPoint(size, &from)) return FALSE;
    *x = from.x + offset.x;
    *y = from.y + offset.y;
    return TRUE;
  }
};

ScriptedPoint* AddScripted(CPatternData& data, CPoint offset, ScriptedPoint* source = nullptr) {
  auto point = std::make_unique<ScriptedPoint>(&data);
  point->offset = offset;
  point->source = source;
  return static_cast<ScriptedPoint*>(data.AddElement(std::move(point)));
}

TEST(PointFrame, ACleanSizeIsNotComputedAgain) {
  CPatternData data;
  SetUpSizes(data);
  ScriptedPoint* root = AddScripted(data, CPoint(10, 20));
  ScriptedPoint* point = AddScripted(data, CPoint(1, 1), root);
  CPoint p;
  ASSERT_TRUE(point->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(11, 21));
  // The root moves, but nothing tells the point: its cache stands.
  root->offset = CPoint(500, 500);
  root->Invalidate(0);
  ASSERT_TRUE(point->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(11, 21));
  EXPECT_EQ(point->computations, 1);
  point->Invalidate(0);
  ASSERT_TRUE(point->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(501, 501));
}

TEST(PointFrame, OnlyTheFirstCallerOfAFailingSizeSeesTheFailure) {
  CPatternData data;
  SetUpSizes(data);
  ScriptedPoint* point = AddScripted(data, CPoint(7, 8));
  point->SetSizePoint(2, 40, 50);
  point->fails = true;
  CPoint p;
  EXPECT_FALSE(point->GetPoint(2, &p));
  EXPECT_EQ(p, CPoint(40, 50)) << "the position cached before stays";
  EXPECT_TRUE(point->GetPoint(2, &p));
  EXPECT_EQ(p, CPoint(40, 50));
  EXPECT_EQ(point->computations, 1);
}

TEST(PointFrame, ComputeAllZeroGivesTheStoredPositionAwayFromTheBaseSize) {
  CPatternData data;
  SetUpSizes(data);
  ScriptedPoint* point = AddScripted(data, CPoint(7, 8));
  point->SetComputeAll(0);
  point->SetSizePoint(0, 100, 10);
  point->SetSizePoint(2, 140, 18);
  CPoint p;
  for (auto [size, expected] : {std::pair{0, CPoint(100, 10)}, {1, CPoint(7, 8)}, {2, CPoint(140, 18)}}) {
    EXPECT_TRUE(point->GetPoint(size, &p)) << size;
    EXPECT_EQ(p, expected) << size;
  }
  EXPECT_EQ(point->computations, 1) << "only the base size is computed";
}

TEST(PointFrame, PositionsBeyondTheBoundAreHandedOutAsTheOrigin) {
  struct Case {
    CPoint computed;
    CPoint handedOut;
    uint16_t status;
  };
  const Case cases[] = {
      {CPoint(60'000'000, 0), CPoint(0, 0), kPointStatusOverflow},
      {CPoint(0, -50'000'001), CPoint(0, 0), kPointStatusOverflow},
      {CPoint(50'000'000, -50'000'000), CPoint(50'000'000, -50'000'000), 0},
  };
  for (const Case& c : cases) {
    CPatternData data;
    SetUpSizes(data);
    ScriptedPoint* point = AddScripted(data, c.computed);
    point->SetState(0);
    CPoint p;
    EXPECT_TRUE(point->GetPoint(0, &p));
    EXPECT_EQ(p, c.handedOut);
    EXPECT_EQ(point->GetStatus(), c.status);
    EXPECT_EQ(point->GetState(), c.status ? 1 : 0) << "an overflowing point is shown";
    CPoint cached;
    ASSERT_TRUE(point->GetSizePoint(0, &cached));
    EXPECT_EQ(cached, c.computed) << "the cache keeps the computed value";
    // Clean now, the size gives the same answer from the cache.
    EXPECT_TRUE(point->GetPoint(0, &p));
    EXPECT_EQ(p, c.handedOut);
  }
}

TEST(PointFrame, AHitNeedsADistanceBelowTheTolerance) {
  struct Case {
    double tolerance;
    bool hit;
  };
  for (const Case& c : {Case{5.0, false}, Case{5.01, true}, Case{4.9, false}}) {
    CPatternData data;
    SetUpSizes(data);
    ScriptedPoint* point = AddScripted(data, CPoint(3, 4));
    CPoint at(-1, -1);
    double distance = -1.0;
    EXPECT_EQ(point->HitTest(0, 0, c.tolerance, 1, &at, &distance), c.hit ? TRUE : FALSE) << c.tolerance;
    if (c.hit) {
      EXPECT_EQ(at, CPoint(3, 4));
      EXPECT_DOUBLE_EQ(distance, 5.0);
    } else {
      EXPECT_EQ(distance, -1.0) << "nothing is stored without a hit";
    }
  }
}

TEST(PointFrame, AHiddenPointIsNeverPickedAndHasNoBox) {
  CPatternData data;
  SetUpSizes(data);
  ScriptedPoint* point = AddScripted(data, CPoint(3, 4));
  CGradedObject* picked = nullptr;
  double distance = 0.0;
  CPoint at;
  EXPECT_TRUE(point->PickIfValid(3, 4, 2.0, 0, &picked, &distance));
  EXPECT_EQ(picked, point);
  EXPECT_EQ(point->GetBoundRect(0), CRect(3, 4, 4, 5));
  point->SetState(0);
  EXPECT_FALSE(point->HitTestIfValid(3, 4, 2.0, 0, &at, &distance));
  EXPECT_FALSE(point->PickIfValid(3, 4, 2.0, 0, &picked, &distance));
  EXPECT_FALSE(point->PickPointIfValid(3, 4, 2.0, 0, &picked, &at));
  EXPECT_TRUE(point->PickPoint(3, 4, 2.0, 0, &picked, &at));
  EXPECT_TRUE(point->GetBoundRect(0).IsRectEmpty());
}

TEST(PointFrame, RecalcAllComputesEverySizeAgain) {
  CPatternData data;
  SetUpSizes(data);
  ScriptedPoint* point = AddScripted(data, CPoint(3, 4));
  point->RecalcAll();
  EXPECT_EQ(point->computations, kSizeCount);
  EXPECT_FALSE(point->IsDirty(-1));
  point->RecalcAll();
  EXPECT_EQ(point->computations, 2 * kSizeCount);
}

TEST(PointFrame, ACycleFailsTheSizeForItsFirstCaller) {
  CPatternData data;
  SetUpSizes(data);
  ScriptedPoint* a = AddScripted(data, CPoint(1, 0));
  ScriptedPoint* b = AddScripted(data, CPoint(0, 1), a);
  a->source = b;
  ScriptedPoint* self = AddScripted(data, CPoint(5, 5));
  self->source = self;
  EXPECT_TRUE(FinishesInTime([&] {
    CPoint p;
    EXPECT_FALSE(a->GetPoint(0, &p));
    EXPECT_FALSE(self->GetPoint(0, &p));
    EXPECT_TRUE(self->GetPoint(0, &p)) << "clean after the failure";
  }));
}

// A chain of points each one unit right of the one before, from a root at
// the origin.
std::vector<ScriptedPoint*> Chain(CPatternData& data, int length) {
  std::vector<ScriptedPoint*> chain{AddScripted(data, CPoint(0, 0))};
  for (int i = 1; i < length; ++i) chain.push_back(AddScripted(data, CPoint(1, 0), chain.back()));
  return chain;
}

TEST(PointFrame, ALongChainComputesFromItsEndUpToTheNestingBound) {
  struct Case {
    int length;
    BOOL result;
  };
  for (const Case& c : {Case{5'000, TRUE}, Case{20'000, FALSE}}) {
    CPatternData data;
    SetUpSizes(data, 1, 0);
    const std::vector<ScriptedPoint*> chain = Chain(data, c.length);
    EXPECT_TRUE(FinishesInTime([&] {
      CPoint p;
      EXPECT_EQ(chain.back()->GetPoint(0, &p), c.result) << c.length;
      if (c.result) {
        EXPECT_EQ(p, CPoint(c.length - 1, 0));
      }
    }));
  }
}

TEST(PointFrame, AChainAskedFromItsRootHasNoDepth) {
  CPatternData data;
  SetUpSizes(data, 1, 0);
  const std::vector<ScriptedPoint*> chain = Chain(data, 20'001);
  CPoint p;
  for (ScriptedPoint* point : chain) ASSERT_TRUE(point->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(20'000, 0));
}

}  // namespace

namespace {

// The stand-in of every curve in the tests of the point kinds answers as
// told.
TEST(ScriptedCurveStandIn, AnswersAsScripted) {
  CPatternData data;
  SetUpSizes(data);
  design_test::ScriptedCurve* curve = design_test::AddScriptedCurve(data, {CPoint(0, 0), CPoint(10, 0)});
  curve->lengthAnswer = {TRUE, CPoint(4, 0)};
  int32_t x = 0, y = 0;
  EXPECT_TRUE(curve->PointAtLength(2, nullptr, 1, 4, &x, &y));
  EXPECT_EQ(CPoint(x, y), CPoint(4, 0));
  EXPECT_EQ(curve->lengthCall.length, 4);
  PointList list;
  EXPECT_TRUE(curve->GetFullPoints(0, list));
  EXPECT_EQ(list.size(), 2u);
}

}  // namespace
