// How the free points (kinds 1 and 20), the offset point (kind 2) and the
// intersection and foot points (kinds 9 to 12, 19, 21, 22) compute their
// position at each size: the constructions, the graded sizes at which they
// fail and fall back on the base size, missing references, the cycles and
// long chains a damaged file can hold, and the tests that let a design find
// a crossing it already has.
//
// Three sizes with the base size in the middle. A "graded" point stands at
// one position at the base size (and the largest size) and at another at
// the smallest size, so that a construction can hold at the base size and
// fail at the smallest.
#include <climits>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_line.h"
#include "design/geometry/circles.h"
#include "design/points/free_point.h"
#include "design/points/graded_point.h"
#include "design/points/intersection_points.h"
#include "design/points/offset_point.h"
#include "tests/design/support/scripted_curve.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/support/finishes_in_time.h"

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::DesignArchiveWriter;
using design_fixture::FreePointFields;
using design_fixture::SizeFields;
using design_test::AddScriptedCurve;
using design_test::ScriptedCurve;

constexpr int kSizeCount = 3;
constexpr int kGraded = 0;
constexpr int kBase = 1;

// What GetPoint reports at a size.
struct Answer {
  BOOL result;
  CPoint point;
};

bool operator==(const Answer& a, const Answer& b) { return a.result == b.result && a.point == b.point; }

std::ostream& operator<<(std::ostream& out, const Answer& a) {
  return out << "result " << a.result << " at (" << a.point.x << ", " << a.point.y << ")";
}

Answer At(CGradedPoint* point, int32_t size) {
  Answer answer{FALSE, CPoint(-1, -1)};
  answer.result = point->GetPoint(size, &answer.point);
  return answer;
}

void SetUpSizes(CPatternData& data, int sizes = kSizeCount, int base = kBase) {
  for (int i = 0; i < sizes; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
  data.SetBaseSize(base);
}

template <class Object>
Object* Add(CPatternData& data, std::unique_ptr<Object> object) {
  return static_cast<Object*>(data.AddElement(std::move(object)));
}

// A shown free point at `base`; with `graded`, the smallest size stands
// there instead.
CFreePoint* FreeAt(CPatternData& data, CPoint base, std::optional<CPoint> graded = std::nullopt) {
  auto point = std::make_unique<CFreePoint>(&data, 0, base);
  point->SetState(1);
  if (graded) {
    point->SetComputeAll(0);
    for (int size = 0; size < data.GetSizeCount(); ++size) {
      const CPoint at = size == kGraded ? *graded : base;
      point->SetSizePoint(size, at.x, at.y);
    }
  }
  return Add(data, std::move(point));
}

CGradedLine* LineThrough(CPatternData& data, CGradedPoint* a, CGradedPoint* b) {
  return Add(data, std::make_unique<CGradedLine>(&data, 0, 0, 1, a, b));
}

CFormula Fixed(CPatternData& data, int32_t value) { return CFormula(&data, {}, value, 1.0, 1.0, 0); }

// As a freshly loaded point: every size due, each cached at `cached`, so
// that a failing size shows what it keeps.
void MakeDue(CGradedPoint* point, CPoint cached = CPoint(7, 7)) {
  for (int size = 0; size < point->GetSizePointCount(); ++size) point->SetSizePoint(size, cached.x, cached.y);
  point->Invalidate(-1);
}

constexpr CPoint kCached(7, 7);

// ---- Free points ---------------------------------------------------------------

TEST(PointsComputeA, FreePointGivesItsCoordinateWhereverItComputes) {
  CPatternData data;
  SetUpSizes(data);
  CFreePoint* every = FreeAt(data, CPoint(10, 20));
  CFreePoint* stored = FreeAt(data, CPoint(10, 20), CPoint(5, 6));
  for (int size = 0; size < kSizeCount; ++size) {
    EXPECT_EQ(At(every, size), (Answer{TRUE, CPoint(10, 20)})) << size;
  }
  EXPECT_EQ(At(stored, kGraded), (Answer{TRUE, CPoint(5, 6)}));
  every->SetPoint(-3, 4);
  stored->SetPoint(-3, 4);
  for (int size = 0; size < kSizeCount; ++size) {
    EXPECT_EQ(At(every, size), (Answer{TRUE, CPoint(-3, 4)})) << size;
  }
  EXPECT_EQ(At(stored, kBase), (Answer{TRUE, CPoint(-3, 4)})) << "the base size follows the coordinate";
  EXPECT_EQ(At(stored, kGraded), (Answer{TRUE, CPoint(5, 6)})) << "the other sizes keep their own";
}

TEST(PointsComputeA, LoadedPerSizeFreePointGivesItsCoordinateAtTheBaseSizeOnly) {
  DesignArchiveWriter w(110);
  w.header().mode = 2;
  for (int i = 0; i < kSizeCount; ++i) w.AddSize(SizeFields{"S" + std::to_string(i)});
  w.SetBaseSize(kBase);
  FreePointFields fields;
  fields.x = 1000;
  fields.y = 2000;
  fields.compute_all = 0;
  fields.per_size = {{1, 2}, {3, 4}, {5, 6}};
  const int at = w.AddFreePoint(fields);
  const auto data = design_test::LoadWhole(design_test::Finish(w));
  auto* point = dynamic_cast<CFreePoint*>(data->GetElementAt(at));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(At(point, 0), (Answer{TRUE, CPoint(1, 2)}));
  EXPECT_EQ(At(point, kBase), (Answer{TRUE, CPoint(1000, 2000)}));
  EXPECT_EQ(At(point, 2), (Answer{TRUE, CPoint(5, 6)}));
}

TEST(PointsComputeA, FreeVertexPointIsFoundButNeverPicked) {
  CPatternData data;
  SetUpSizes(data);
  auto* vertex = Add(data, std::make_unique<CFreeVertexPoint>(&data, 0, CPoint(3, 4)));
  vertex->SetState(1);
  CGradedObject* picked = nullptr;
  double distance = -1.0;
  CPoint found;
  EXPECT_FALSE(vertex->Pick(3, 4, 2.0, kBase, &picked, &distance));
  EXPECT_FALSE(vertex->PickIfValid(3, 4, 2.0, kBase, &picked, &distance));
  EXPECT_EQ(picked, nullptr);
  EXPECT_TRUE(vertex->HitTest(3, 4, 2.0, kBase, &found, &distance));
  EXPECT_TRUE(vertex->PickPoint(3, 4, 2.0, kBase, &picked, &found));
  EXPECT_EQ(picked, vertex);
  EXPECT_EQ(found, CPoint(3, 4));
}

// ---- Offset point ----------------------------------------------------------------

TEST(PointsComputeA, OffsetPointMovesItsReferenceRightByDxAndDownByDy) {
  struct Case {
    const char* name;
    std::optional<CPoint> reference;
    int32_t dx;
    int32_t dy;
    Answer expected;
    CPoint cached;  // what the cache holds: GetPoint hands out (0, 0) beyond the bound
  };
  const Case kCases[] = {
      {"offsets", CPoint(100, 200), 30, 50, {TRUE, CPoint(130, 150)}, CPoint(130, 150)},
      {"negative offsets", CPoint(100, 200), -30, -50, {TRUE, CPoint(70, 250)}, CPoint(70, 250)},
      {"no reference", std::nullopt, 30, 50, {FALSE, CPoint(30, -50)}, CPoint(30, -50)},
      {"sum past the int range", CPoint(INT_MAX - 10, 0), 1'000'000, INT_MIN,
       {TRUE, CPoint(0, 0)}, CPoint(INT_MAX, INT_MAX)},
      {"sum below the int range", CPoint(INT_MIN + 10, INT_MAX), -1'000'000, INT_MAX,
       {TRUE, CPoint(0, 0)}, CPoint(INT_MIN, 0)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    CFreePoint* reference = c.reference ? FreeAt(data, *c.reference) : nullptr;
    auto* point = Add(data, std::make_unique<COffsetPoint>(&data, 0, reference, Fixed(data, c.dx), Fixed(data, c.dy)));
    MakeDue(point, CPoint(0, 0));
    EXPECT_EQ(At(point, kGraded), c.expected);
    CPoint cached;
    ASSERT_TRUE(point->GetSizePoint(kGraded, &cached));
    EXPECT_EQ(cached, c.cached);
  }
}

TEST(PointsComputeA, Version100OffsetPointAddsItsStoredUpwardOffset) {
  DesignArchiveWriter w(100);
  w.AddSize(SizeFields{"S0"});
  const int reference = w.AddFreePoint(100, 200);
  ArchiveBytes record;
  record.U32(1).I32(reference).I32(30).I32(50);
  const int at = w.AddObject(kObjectKindPoint, kPointKindOffset, record.Bytes());
  const auto data = design_test::LoadWhole(design_test::Finish(w));
  auto* point = dynamic_cast<COffsetPoint*>(data->GetElementAt(at));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(At(point, 0), (Answer{TRUE, CPoint(130, 250)}));
}

TEST(PointsComputeA, OffsetPointWithComputeAllZeroKeepsItsStoredSizes) {
  CPatternData data;
  SetUpSizes(data);
  CFreePoint* reference = FreeAt(data, CPoint(100, 200));
  auto* point = Add(data, std::make_unique<COffsetPoint>(&data, 0, reference, Fixed(data, 30), Fixed(data, 50)));
  point->SetComputeAll(0);
  point->SetSizePoint(kGraded, 1, 2);
  point->SetOffsets(Fixed(data, 1), Fixed(data, 1));
  EXPECT_EQ(At(point, kGraded), (Answer{TRUE, CPoint(1, 2)}));
  EXPECT_EQ(At(point, kBase), (Answer{TRUE, CPoint(101, 199)}));
}

TEST(PointsComputeA, OffsetPointsThatReferToThemselvesFailForTheirFirstCaller) {
  CPatternData data;
  SetUpSizes(data);
  auto* self = Add(data, std::make_unique<COffsetPoint>(&data, 0));
  auto* a = Add(data, std::make_unique<COffsetPoint>(&data, 0));
  auto* b = Add(data, std::make_unique<COffsetPoint>(&data, 0));
  EXPECT_TRUE(FinishesInTime([&] {
    self->SetDefinition(self, Fixed(data, 1), Fixed(data, 0));
    a->SetDefinition(b, Fixed(data, 1), Fixed(data, 0));
    b->SetDefinition(a, Fixed(data, 1), Fixed(data, 0));
    for (COffsetPoint* point : {self, a, b}) MakeDue(point, CPoint(0, 0));
    EXPECT_FALSE(At(self, kBase).result);
    EXPECT_FALSE(At(a, kBase).result);
    // b met the failure within a's computation: it was b's first caller.
    EXPECT_TRUE(At(b, kBase).result);
    EXPECT_TRUE(At(self, kBase).result) << "clean after the failure";
    EXPECT_TRUE(At(a, kBase).result);
  }));
}

// A root free point at the origin and `count` offset points after it, each
// one unit right of the one before, every size due as after a load.
std::vector<CGradedPoint*> OffsetChain(CPatternData& data, int count) {
  std::vector<CGradedPoint*> chain{FreeAt(data, CPoint(0, 0))};
  for (int i = 0; i < count; ++i) {
    CGradedPoint* previous = chain.back();
    chain.push_back(Add(data, std::make_unique<COffsetPoint>(&data, 0, previous, Fixed(data, 1), Fixed(data, 0))));
  }
  for (CGradedPoint* point : chain) point->Invalidate(-1);
  return chain;
}

TEST(PointsComputeA, OffsetChainAskedFromItsEndComputesUpToTheNestingBound) {
  struct Case {
    int count;
    BOOL result;
  };
  for (const Case& c : {Case{5'000, TRUE}, Case{20'000, FALSE}}) {
    SCOPED_TRACE(c.count);
    CPatternData data;
    SetUpSizes(data, 1, 0);
    const std::vector<CGradedPoint*> chain = OffsetChain(data, c.count);
    EXPECT_TRUE(FinishesInTime([&] {
      const Answer answer = At(chain.back(), 0);
      EXPECT_EQ(answer.result, c.result);
      if (c.result) {
        EXPECT_EQ(answer.point, CPoint(c.count, 0));
      }
    }));
  }
}

TEST(PointsComputeA, OffsetChainAskedFromItsRootHasNoDepth) {
  CPatternData data;
  SetUpSizes(data, 1, 0);
  const std::vector<CGradedPoint*> chain = OffsetChain(data, 20'000);
  Answer answer{};
  for (CGradedPoint* point : chain) {
    answer = At(point, 0);
    ASSERT_TRUE(answer.result);
  }
  EXPECT_EQ(answer.point, CPoint(20'000, 0));
}

// ---- Two lines -------------------------------------------------------------------

TEST(PointsComputeA, LineIntersectionIsTheCrossingOfTheUnboundedLines) {
  struct Case {
    const char* name;
    CPoint a1, a2, b1, b2;
    std::optional<CPoint> b1Graded, b2Graded;  // the second line at the smallest size
    Answer atBase;
    Answer atGraded;
  };
  const Case kCases[] = {
      {"crossing within", {0, 0}, {100, 0}, {50, -50}, {50, 50}, {}, {}, {TRUE, {50, 0}}, {TRUE, {50, 0}}},
      {"crossing outside", {0, 0}, {100, 0}, {200, 10}, {200, 50}, {}, {}, {TRUE, {200, 0}}, {TRUE, {200, 0}}},
      {"collinear, end to end", {0, 0}, {100, 0}, {100, 0}, {300, 0}, {}, {}, {TRUE, {100, 0}}, {TRUE, {100, 0}}},
      {"collinear overlap", {0, 0}, {100, 0}, {50, 0}, {300, 0}, {}, {}, {FALSE, kCached}, {FALSE, kCached}},
      {"parallel at a graded size",
       {0, 0}, {100, 0}, {50, -50}, {50, 50}, CPoint(0, 10), CPoint(100, 10),
       {TRUE, {50, 0}}, {FALSE, {50, 0}}},
      {"parallel everywhere", {0, 0}, {100, 0}, {0, 10}, {100, 10}, {}, {}, {FALSE, kCached}, {FALSE, kCached}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    CGradedLine* line1 = LineThrough(data, FreeAt(data, c.a1), FreeAt(data, c.a2));
    CGradedLine* line2 = LineThrough(data, FreeAt(data, c.b1, c.b1Graded), FreeAt(data, c.b2, c.b2Graded));
    auto* point = Add(data, std::make_unique<CLineIntersectPoint>(&data, 0, line1, line2));
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), c.atGraded);
    EXPECT_EQ(At(point, kBase), c.atBase);
    EXPECT_TRUE(At(point, kGraded).result) << "clean after the first caller";
  }
}

TEST(PointsComputeA, LineIntersectionWithoutALineKeepsItsCachedPoint) {
  CPatternData data;
  SetUpSizes(data);
  CGradedLine* line = LineThrough(data, FreeAt(data, CPoint(0, 0)), FreeAt(data, CPoint(100, 0)));
  auto* point = Add(data, std::make_unique<CLineIntersectPoint>(&data, 0, line, nullptr));
  MakeDue(point);
  EXPECT_EQ(At(point, kGraded), (Answer{FALSE, kCached}));
  EXPECT_EQ(At(point, kBase), (Answer{FALSE, kCached}));
}

TEST(PointsComputeA, LineIntersectionKnowsItsLinesAndItsPlace) {
  CPatternData data;
  SetUpSizes(data);
  CGradedLine* line1 = LineThrough(data, FreeAt(data, CPoint(0, 0)), FreeAt(data, CPoint(100, 0)));
  CGradedLine* line2 = LineThrough(data, FreeAt(data, CPoint(50, -50)), FreeAt(data, CPoint(50, 50)));
  CGradedLine* other = LineThrough(data, FreeAt(data, CPoint(0, 5)), FreeAt(data, CPoint(5, 0)));
  auto* point = Add(data, std::make_unique<CLineIntersectPoint>(&data, 0, line1, line2));
  EXPECT_TRUE(point->UsesLine(line1));
  EXPECT_TRUE(point->UsesLine(line2));
  EXPECT_FALSE(point->UsesLine(other));
  EXPECT_FALSE(point->UsesLine(nullptr));
  EXPECT_TRUE(point->IsSameIntersection(line1, line2, 50, 0));
  EXPECT_TRUE(point->IsSameIntersection(line2, line1, 50, 0));
  EXPECT_FALSE(point->IsSameIntersection(line1, line2, 50, 1));
  EXPECT_FALSE(point->IsSameIntersection(line1, other, 50, 0));
  CGradedLine* got1 = nullptr;
  CGradedLine* got2 = nullptr;
  point->GetLines(&got1, &got2);
  EXPECT_EQ(got1, line1);
  EXPECT_EQ(got2, line2);
}

// ---- Two circles ------------------------------------------------------------------

TEST(PointsComputeA, CircleIntersectionTakesTheCrossingOnItsSide) {
  struct Case {
    const char* name;
    std::optional<CPoint> firstGraded;  // the first centre at the smallest size
    int32_t r1, r2, side;
    Answer atBase;
    Answer atGraded;
  };
  // Centres (0, 0) and (80, 0): the right of the way from the first to the
  // second is below the x axis.
  const Case kCases[] = {
      {"side 0, right", {}, 50, 50, 0, {TRUE, {40, -30}}, {TRUE, {40, -30}}},
      {"side 1, left", {}, 50, 50, 1, {TRUE, {40, 30}}, {TRUE, {40, 30}}},
      {"touching, side 0", {}, 40, 40, 0, {TRUE, {40, 0}}, {TRUE, {40, 0}}},
      {"touching, side 1", {}, 40, 40, 1, {TRUE, {40, 0}}, {TRUE, {40, 0}}},
      {"apart: the midpoint at the base size", {}, 50, 20, 0, {TRUE, {40, 0}}, {FALSE, {40, 0}}},
      {"apart at a graded size", CPoint(-500, 0), 50, 50, 1, {TRUE, {40, 30}}, {FALSE, {40, 30}}},
      {"side 2 keeps its cached point", {}, 50, 50, 2, {TRUE, kCached}, {TRUE, kCached}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    CFreePoint* a = FreeAt(data, CPoint(0, 0), c.firstGraded);
    CFreePoint* b = FreeAt(data, CPoint(80, 0));
    auto* point = Add(data, std::make_unique<CCircleIntersectPoint>(&data, 0, a, Fixed(data, c.r1), b,
                                                                     Fixed(data, c.r2), c.side));
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), c.atGraded);
    EXPECT_EQ(At(point, kBase), c.atBase);
  }
}

TEST(PointsComputeA, CircleIntersectionWithoutAPointKeepsItsCachedPoint) {
  CPatternData data;
  SetUpSizes(data);
  CFreePoint* a = FreeAt(data, CPoint(0, 0));
  auto* point =
      Add(data, std::make_unique<CCircleIntersectPoint>(&data, 0, a, Fixed(data, 50), nullptr, Fixed(data, 50), 0));
  MakeDue(point);
  EXPECT_EQ(At(point, kGraded), (Answer{FALSE, kCached}));
  EXPECT_EQ(At(point, kBase), (Answer{FALSE, kCached}));
  EXPECT_FALSE(point->IsSameIntersection(a, a, 7, 7)) << "circle crossings are never matched";
}

// A point that is not had: an offset point without reference stands at
// (dx, -dy) and reports 0 to its first caller.
CGradedPoint* NotHadAt(CPatternData& data, CPoint at) {
  return Add(data, std::make_unique<COffsetPoint>(&data, 0, nullptr, Fixed(data, at.x), Fixed(data, -at.y)));
}

TEST(PointsComputeA, CircleIntersectionNeedsItsFirstPointToCrossTheCircles) {
  struct Case {
    const char* name;
    bool firstHad;
    bool secondHad;
    Answer atBase;
  };
  const Case kCases[] = {
      // Without the first point the second is not asked: no crossing.
      {"first not had", false, true, {FALSE, kCached}},
      // A second point that is not had still lends its position.
      {"second not had", true, false, {TRUE, {40, -30}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    CGradedPoint* a = c.firstHad ? FreeAt(data, CPoint(0, 0)) : NotHadAt(data, CPoint(0, 0));
    CGradedPoint* b = c.secondHad ? FreeAt(data, CPoint(80, 0)) : NotHadAt(data, CPoint(80, 0));
    auto* point = Add(data, std::make_unique<CCircleIntersectPoint>(&data, 0));
    point->SetDefinition(a, Fixed(data, 50), b, Fixed(data, 50), 0);
    // The definition computed every size; the points are asked afresh.
    a->Invalidate(-1);
    b->Invalidate(-1);
    MakeDue(point);
    EXPECT_EQ(At(point, kBase), c.atBase);
  }
}

TEST(PointsComputeA, CircleIntersectionAboutItselfEnds) {
  CPatternData data;
  SetUpSizes(data);
  CFreePoint* b = FreeAt(data, CPoint(80, 0));
  auto* point = Add(data, std::make_unique<CCircleIntersectPoint>(&data, 0));
  EXPECT_TRUE(FinishesInTime([&] {
    point->SetDefinition(point, Fixed(data, 50), b, Fixed(data, 50), 0);
    MakeDue(point);
    EXPECT_EQ(At(point, kBase), (Answer{FALSE, kCached}));
    EXPECT_EQ(At(point, kGraded), (Answer{FALSE, kCached})) << "the base size it falls back on is no better";
  }));
}

// ---- A line and a curve, two curves ------------------------------------------

// A zigzag up and down again that the line y = 50 crosses twice.
const PointList kZigzag = {CPoint(0, 0), CPoint(100, 100), CPoint(200, 0)};
// The same zigzag too flat to reach y = 50.
const PointList kFlat = {CPoint(0, 0), CPoint(100, 20), CPoint(200, 0)};

TEST(PointsComputeA, LineCurveIntersectionTakesTheNumberedCrossing) {
  struct Case {
    const char* name;
    int32_t number;
    std::optional<PointList> gradedPolyline;
    bool gradedFails;
    PointList basePolyline;
    Answer atBase;
    Answer atGraded;
  };
  const Case kCases[] = {
      {"number 0", 0, {}, false, kZigzag, {TRUE, {50, 50}}, {TRUE, {50, 50}}},
      {"number -5", -5, {}, false, kZigzag, {TRUE, {50, 50}}, {TRUE, {50, 50}}},
      {"number 1", 1, {}, false, kZigzag, {TRUE, {50, 50}}, {TRUE, {50, 50}}},
      {"number 2", 2, {}, false, kZigzag, {TRUE, {150, 50}}, {TRUE, {150, 50}}},
      {"number 3 of 2", 3, {}, false, kZigzag, {TRUE, {150, 50}}, {TRUE, {150, 50}}},
      {"missing at a graded size", 2, kFlat, false, kZigzag, {TRUE, {150, 50}}, {FALSE, {150, 50}}},
      {"no polyline at a graded size", 2, {}, true, kZigzag, {TRUE, {150, 50}}, {FALSE, {150, 50}}},
      {"missing everywhere", 1, {}, false, kFlat, {FALSE, kCached}, {FALSE, kCached}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    CGradedLine* line = LineThrough(data, FreeAt(data, CPoint(0, 50)), FreeAt(data, CPoint(300, 50)));
    ScriptedCurve* curve = AddScriptedCurve(data, c.basePolyline);
    if (c.gradedPolyline) curve->polylineAt[kGraded] = *c.gradedPolyline;
    if (c.gradedFails) curve->failsAt[kGraded] = true;
    auto* point = Add(data, std::make_unique<CLineCurveIntersectPoint>(&data, 0, line, curve, c.number));
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), c.atGraded);
    EXPECT_EQ(At(point, kBase), c.atBase);
  }
}

TEST(PointsComputeA, CrossingsOfAClosedCurveIncludeItsClosingSegment) {
  // A square open on its left side, which only the closed curve has; the
  // line crosses nothing else.
  const PointList square = {CPoint(0, 0), CPoint(100, 0), CPoint(100, 100), CPoint(0, 100)};
  for (const bool closed : {false, true}) {
    SCOPED_TRACE(closed);
    CPatternData data;
    SetUpSizes(data);
    CGradedLine* line = LineThrough(data, FreeAt(data, CPoint(-50, 50)), FreeAt(data, CPoint(50, 50)));
    ScriptedCurve* curve = AddScriptedCurve(data, square, closed);
    // A second curve: a short stroke along the same line, across x = 0.
    ScriptedCurve* stroke = AddScriptedCurve(data, {CPoint(-20, 50), CPoint(20, 50)});
    auto* lineCurve = Add(data, std::make_unique<CLineCurveIntersectPoint>(&data, 0, line, curve, 1));
    auto* curves = Add(data, std::make_unique<CCurveIntersectPoint>(&data, 0, curve, stroke, 1));
    MakeDue(lineCurve);
    MakeDue(curves);
    const Answer expected = closed ? Answer{TRUE, CPoint(0, 50)} : Answer{FALSE, kCached};
    EXPECT_EQ(At(lineCurve, kBase), expected);
    EXPECT_EQ(At(curves, kBase), expected);
  }
}

TEST(PointsComputeA, CurveIntersectionTakesTheNumberedCrossing) {
  struct Case {
    const char* name;
    int32_t number;
    std::optional<PointList> gradedPolyline;
    PointList basePolyline;
    Answer atBase;
    Answer atGraded;
  };
  const Case kCases[] = {
      {"number 1", 1, {}, kZigzag, {TRUE, {50, 50}}, {TRUE, {50, 50}}},
      {"number 2", 2, {}, kZigzag, {TRUE, {150, 50}}, {TRUE, {150, 50}}},
      {"number 9 of 2", 9, {}, kZigzag, {TRUE, {150, 50}}, {TRUE, {150, 50}}},
      {"missing at a graded size", 2, kFlat, kZigzag, {TRUE, {150, 50}}, {FALSE, {150, 50}}},
      {"missing everywhere", 1, {}, kFlat, {FALSE, kCached}, {FALSE, kCached}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    ScriptedCurve* first = AddScriptedCurve(data, c.basePolyline);
    if (c.gradedPolyline) first->polylineAt[kGraded] = *c.gradedPolyline;
    ScriptedCurve* second = AddScriptedCurve(data, {CPoint(0, 50), CPoint(300, 50)});
    auto* point = Add(data, std::make_unique<CCurveIntersectPoint>(&data, 0, first, second, c.number));
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), c.atGraded);
    EXPECT_EQ(At(point, kBase), c.atBase);
  }
}

TEST(PointsComputeA, CrossingPointsWithoutAReferenceKeepTheirCachedPoint) {
  CPatternData data;
  SetUpSizes(data);
  CGradedLine* line = LineThrough(data, FreeAt(data, CPoint(0, 50)), FreeAt(data, CPoint(300, 50)));
  ScriptedCurve* curve = AddScriptedCurve(data, kZigzag);
  std::vector<CGradedPoint*> points = {
      Add(data, std::make_unique<CLineCurveIntersectPoint>(&data, 0, nullptr, curve, 1)),
      Add(data, std::make_unique<CLineCurveIntersectPoint>(&data, 0, line, nullptr, 1)),
      Add(data, std::make_unique<CCurveIntersectPoint>(&data, 0, curve, nullptr, 1)),
  };
  for (CGradedPoint* point : points) {
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), (Answer{FALSE, kCached}));
    EXPECT_EQ(At(point, kBase), (Answer{FALSE, kCached}));
  }
}

TEST(PointsComputeA, CrossingPointsKnowTheirObjectsAndTheirPlace) {
  CPatternData data;
  SetUpSizes(data);
  CGradedLine* line = LineThrough(data, FreeAt(data, CPoint(0, 50)), FreeAt(data, CPoint(300, 50)));
  ScriptedCurve* curve = AddScriptedCurve(data, kZigzag);
  ScriptedCurve* flat = AddScriptedCurve(data, kFlat);
  ScriptedCurve* straight = AddScriptedCurve(data, {CPoint(0, 50), CPoint(300, 50)});
  auto* lineCurve = Add(data, std::make_unique<CLineCurveIntersectPoint>(&data, 0, line, curve, 2));
  auto* curves = Add(data, std::make_unique<CCurveIntersectPoint>(&data, 0, curve, straight, 2));
  auto* missing = Add(data, std::make_unique<CLineCurveIntersectPoint>(&data, 0, line, flat, 1));

  EXPECT_TRUE(lineCurve->UsesLine(line));
  EXPECT_TRUE(lineCurve->UsesCurve(curve));
  EXPECT_FALSE(lineCurve->UsesCurve(straight));
  EXPECT_TRUE(curves->UsesCurve(curve));
  EXPECT_TRUE(curves->UsesCurve(straight));
  EXPECT_FALSE(curves->UsesCurve(flat));
  EXPECT_FALSE(curves->UsesLine(line));

  EXPECT_TRUE(lineCurve->IsSameIntersection(line, curve, 150, 50));
  EXPECT_TRUE(lineCurve->IsSameIntersection(curve, line, 150, 50));
  EXPECT_FALSE(lineCurve->IsSameIntersection(line, curve, 50, 50));
  EXPECT_TRUE(curves->IsSameIntersection(straight, curve, 150, 50));
  EXPECT_FALSE(curves->IsSameIntersection(straight, flat, 150, 50));
  // A crossing that is not had is never the same, not even at its cached
  // point.
  MakeDue(missing);
  EXPECT_FALSE(missing->IsSameIntersection(line, flat, kCached.x, kCached.y));

  CGradedLine* gotLine = nullptr;
  CGradedCurve* gotCurve = nullptr;
  int32_t number = 0;
  lineCurve->GetParams(&gotLine, &gotCurve, &number);
  EXPECT_EQ(gotLine, line);
  EXPECT_EQ(gotCurve, curve);
  EXPECT_EQ(number, 2);
}

// ---- Foot of a perpendicular, line and circle, axis lines -----------------

TEST(PointsComputeA, FootPointDropsThePointOntoTheLine) {
  struct Case {
    const char* name;
    CPoint p, l1, l2;
    Answer expected;
  };
  const Case kCases[] = {
      {"above the line", {30, 40}, {0, 0}, {100, 0}, {TRUE, {30, 0}}},
      {"beyond the segment", {300, 40}, {0, 0}, {100, 0}, {TRUE, {300, 0}}},
      {"on the line", {30, 30}, {0, 0}, {100, 100}, {TRUE, {30, 30}}},
      {"line points coincide", {30, 40}, {5, 5}, {5, 5}, {TRUE, {30, 40}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    auto* point = Add(data, std::make_unique<CPerpendicularFootPoint>(&data, 0, FreeAt(data, c.p),
                                                                       FreeAt(data, c.l1), FreeAt(data, c.l2)));
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), c.expected);
  }
  CPatternData data;
  SetUpSizes(data);
  auto* missing = Add(data, std::make_unique<CPerpendicularFootPoint>(&data, 0, FreeAt(data, CPoint(1, 1)),
                                                                       FreeAt(data, CPoint(0, 0)), nullptr));
  MakeDue(missing);
  EXPECT_EQ(At(missing, kGraded), (Answer{FALSE, kCached}));
  // A point that is not had still lends its position; the result tells.
  CGradedPoint* notHad = NotHadAt(data, CPoint(30, 40));
  auto* foot = Add(data, std::make_unique<CPerpendicularFootPoint>(&data, 0, notHad, FreeAt(data, CPoint(0, 0)),
                                                                    FreeAt(data, CPoint(100, 0))));
  notHad->Invalidate(-1);
  MakeDue(foot);
  EXPECT_EQ(At(foot, kGraded), (Answer{FALSE, CPoint(30, 0)}));
}

TEST(PointsComputeA, FootPointUsesALineThroughBothItsLinePoints) {
  CPatternData data;
  SetUpSizes(data);
  CFreePoint* a = FreeAt(data, CPoint(0, 0));
  CFreePoint* b = FreeAt(data, CPoint(100, 0));
  CFreePoint* c = FreeAt(data, CPoint(0, 100));
  CGradedLine* ab = LineThrough(data, a, b);
  CGradedLine* ac = LineThrough(data, a, c);
  auto* foot = Add(data, std::make_unique<CPerpendicularFootPoint>(&data, 0, FreeAt(data, CPoint(5, 5)), a, b));
  EXPECT_TRUE(foot->UsesLine(ab));
  EXPECT_FALSE(foot->UsesLine(ac)) << "only one of its points is on that line";
  EXPECT_FALSE(foot->UsesLine(nullptr));
}

TEST(PointsComputeA, LineCircleIntersectionTakesTheChosenCrossing) {
  // The line runs along the x axis from (-100, 0) to (100, 0).
  struct Case {
    const char* name;
    CPoint centre;
    std::optional<CPoint> centreGraded;
    int32_t radius;
    int32_t choice;
    Answer atBase;
    Answer atGraded;
  };
  CPoint first, second;
  ASSERT_EQ(IntersectLine2PCirclePt(-100, 0, 100, 0, 0, 0, 50, &first, &second), 2);
  const Case kCases[] = {
      {"through the centre, first", {0, 0}, {}, 50, 1, {TRUE, first}, {TRUE, first}},
      {"through the centre, second", {0, 0}, {}, 50, 2, {TRUE, second}, {TRUE, second}},
      {"tangent, first", {0, 50}, {}, 50, 1, {TRUE, {0, 0}}, {TRUE, {0, 0}}},
      {"tangent, second", {0, 50}, {}, 50, 2, {TRUE, {0, 0}}, {TRUE, {0, 0}}},
      {"radius 0 off the line", {0, 50}, {}, 0, 1, {TRUE, {-100, 0}}, {FALSE, {-100, 0}}},
      {"missing at a graded size", {0, 0}, CPoint(0, 500), 50, 2, {TRUE, second}, {FALSE, second}},
      {"choice 3 keeps its cached point", {0, 0}, {}, 50, 3, {TRUE, kCached}, {TRUE, kCached}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    SetUpSizes(data);
    CGradedLine* line = LineThrough(data, FreeAt(data, CPoint(-100, 0)), FreeAt(data, CPoint(100, 0)));
    CFreePoint* centre = FreeAt(data, c.centre, c.centreGraded);
    auto* point =
        Add(data, std::make_unique<CLineCircleIntersectPoint>(&data, 0, centre, line, Fixed(data, c.radius), c.choice));
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), c.atGraded);
    EXPECT_EQ(At(point, kBase), c.atBase);
    EXPECT_TRUE(point->UsesLine(line));
  }
}

TEST(PointsComputeA, LineCircleIntersectionWithoutCentreOrLineKeepsItsCachedPoint) {
  CPatternData data;
  SetUpSizes(data);
  CGradedLine* line = LineThrough(data, FreeAt(data, CPoint(-100, 0)), FreeAt(data, CPoint(100, 0)));
  CFreePoint* centre = FreeAt(data, CPoint(0, 0));
  auto* withoutCentre =
      Add(data, std::make_unique<CLineCircleIntersectPoint>(&data, 0, nullptr, line, Fixed(data, 50), 1));
  auto* withoutLine =
      Add(data, std::make_unique<CLineCircleIntersectPoint>(&data, 0, centre, nullptr, Fixed(data, 50), 1));
  for (CGradedPoint* point : {withoutCentre, withoutLine}) {
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), (Answer{FALSE, kCached}));
    EXPECT_EQ(At(point, kBase), (Answer{FALSE, kCached}));
  }
}

TEST(PointsComputeA, LineCircleIntersectionKeepsItsRadiusAndLabelSettings) {
  CPatternData data;
  SetUpSizes(data);
  CGradedLine* line = LineThrough(data, FreeAt(data, CPoint(-100, 0)), FreeAt(data, CPoint(100, 0)));
  CFreePoint* centre = FreeAt(data, CPoint(0, 0));
  auto* point = Add(data, std::make_unique<CLineCircleIntersectPoint>(&data, 0, centre, line, Fixed(data, 50), 1));
  point->SetRadius(Fixed(data, 20));
  EXPECT_TRUE(point->IsDirty(kBase)) << "a new radius makes every size due";
  CPoint first, second;
  ASSERT_EQ(IntersectLine2PCirclePt(-100, 0, 100, 0, 0, 0, 20, &first, &second), 2);
  EXPECT_EQ(At(point, kBase), (Answer{TRUE, first}));
  CDimLabel label;
  label.SetOffsetDistance(77);
  point->SetRadiusLabel(label);
  EXPECT_EQ(point->GetRadiusLabel().GetOffsetDistance(), 77);
  EXPECT_EQ(point->GetRadiusLabel().GetLabelledObject(), point) << "the label stays this point's";
}

TEST(PointsComputeA, AxisLinesIntersectionCrossesTheChosenAxisLines) {
  struct Case {
    int32_t flag1, flag2;
    Answer expected;
  };
  const Case kCases[] = {
      {0, 1, {TRUE, {10, 200}}},
      {1, 0, {TRUE, {100, 20}}},
      {0, 0, {FALSE, kCached}},
      {1, 1, {FALSE, kCached}},
      {7, 0, {TRUE, {100, 20}}},  // any flag but 0 is the horizontal line
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.flag1 << ", " << c.flag2);
    CPatternData data;
    SetUpSizes(data);
    auto* point = Add(data, std::make_unique<CAxisLinesIntersectPoint>(&data, 0, FreeAt(data, CPoint(10, 20)), c.flag1,
                                                                        FreeAt(data, CPoint(100, 200)), c.flag2));
    MakeDue(point);
    EXPECT_EQ(At(point, kGraded), c.expected);
  }
  // Coinciding axis lines cross nowhere in particular.
  CPatternData data;
  SetUpSizes(data);
  auto* same = Add(data, std::make_unique<CAxisLinesIntersectPoint>(&data, 0, FreeAt(data, CPoint(10, 20)), 0,
                                                                     FreeAt(data, CPoint(10, 200)), 0));
  MakeDue(same);
  EXPECT_EQ(At(same, kGraded), (Answer{FALSE, kCached}));
  auto* missing = Add(data, std::make_unique<CAxisLinesIntersectPoint>(&data, 0, nullptr, 0,
                                                                        FreeAt(data, CPoint(100, 200)), 1));
  MakeDue(missing);
  EXPECT_EQ(At(missing, kGraded), (Answer{FALSE, kCached}));
}

}  // namespace

namespace {

// Coordinates and graded values come from files: positions at the ends of the
// int range and extreme radii must compute without undefined behaviour (the
// sanitizers watch) and stay within the range.
TEST(PointsComputeA, ExtremeFileValuesComputeWithoutUndefinedBehaviour) {
  const CPoint kFar[] = {CPoint(INT_MIN, INT_MAX), CPoint(INT_MAX, INT_MIN), CPoint(INT_MAX, INT_MAX),
                         CPoint(INT_MIN, INT_MIN), CPoint(0, 0)};
  const int32_t kRadii[] = {INT_MAX, INT_MIN, 0, -50, 1};
  for (const CPoint& far : kFar) {
    for (int32_t radius : kRadii) {
      SCOPED_TRACE(testing::Message() << far.x << ", " << far.y << " radius " << radius);
      CPatternData data;
      SetUpSizes(data);
      CFreePoint* a = FreeAt(data, far);
      CFreePoint* b = FreeAt(data, CPoint(-far.x / 2, far.y / 3 + 1));
      CFreePoint* c = FreeAt(data, CPoint(far.y, far.x));
      CGradedLine* ab = LineThrough(data, a, b);
      CGradedLine* bc = LineThrough(data, b, c);
      std::vector<CGradedPoint*> points = {
          Add(data, std::make_unique<CLineIntersectPoint>(&data, 0, ab, bc)),
          Add(data, std::make_unique<CCircleIntersectPoint>(&data, 0, a, Fixed(data, radius), c,
                                                             Fixed(data, radius), 1)),
          Add(data, std::make_unique<CPerpendicularFootPoint>(&data, 0, c, a, b)),
          Add(data, std::make_unique<CLineCircleIntersectPoint>(&data, 0, c, ab, Fixed(data, radius), 2)),
          Add(data, std::make_unique<CAxisLinesIntersectPoint>(&data, 0, a, 0, c, 1)),
          Add(data, std::make_unique<COffsetPoint>(&data, 0, a, Fixed(data, radius), Fixed(data, radius))),
      };
      for (CGradedPoint* point : points) {
        MakeDue(point);
        for (int size = 0; size < kSizeCount; ++size) At(point, size);
      }
    }
  }
}

}  // namespace
