// The computing side of the points on a curve's tangent (kinds 37, 44, 45),
// the turned, arc-length and linked points (kinds 47, 46, 38) and the
// unplaced reference points (kinds 23 to 25). The points they build on are
// stand-ins placed per size by the test; curves are scripted, so that what is
// seen is the kind's own computation.
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_line.h"
#include "design/points/graded_point.h"
#include "design/points/reference_points.h"
#include "design/points/rotated_points.h"
#include "design/points/tangent_points.h"
#include "tests/design/support/scripted_curve.h"
#include "tests/support/finishes_in_time.h"

namespace {

using design_test::AddScriptedCurve;
using design_test::ScriptedCurve;

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;
constexpr int kGradedSize = 2;
// Units per millimetre: the tangent's neighbours lie one unit either side.
constexpr int kScale = 10;

// A point placed by the test: one position for every size, another for the
// sizes named in `atSize`; it fails the sizes in `failsAt`.
class StubPoint : public CGradedPoint {
 public:
  StubPoint(CPatternData* owner, uint16_t status, CPoint where)
      : CGradedPoint(kPointKindFree, owner, status), at(where) {
    SetState(1);
  }

  CPoint at;
  std::map<int32_t, CPoint> atSize;
  std::set<int32_t> failsAt;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (failsAt.count(size)) return FALSE;
    auto own = atSize.find(size);
    const CPoint p = own != atSize.end() ? own->second : at;
    *x = p.x;
    *y = p.y;
    return TRUE;
  }
};

class PointsComputeDTest : public ::testing::Test {
 protected:
  PointsComputeDTest() {
    for (int i = 0; i < kSizeCount; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data.SetBaseSize(kBaseSize);
    data.SetScale(kScale);
  }

  template <class T, class... Args>
  T* Add(Args&&... args) {
    return static_cast<T*>(data.AddElement(std::make_unique<T>(&data, 0, std::forward<Args>(args)...)));
  }
  StubPoint* Stub(CPoint where) { return Add<StubPoint>(where); }
  CGradedLine* Line(CGradedPoint* a, CGradedPoint* b) { return Add<CGradedLine>(0, 1, a, b); }
  // The line x = `x`, through (x, -100) and (x, 100).
  CGradedLine* VerticalLine(int32_t x) { return Line(Stub(CPoint(x, -100)), Stub(CPoint(x, 100))); }
  CFormula Constant(int32_t value) { return CFormula(&data, {}, 0, 1.0, 1.0, value); }

  // A straight run and then a bend of 45 degrees upwards.
  ScriptedCurve* BentCurve() { return AddScriptedCurve(data, {CPoint(0, 0), CPoint(1000, 0), CPoint(2000, 1000)}); }

  CPatternData data;
};

struct Position {
  BOOL result;
  CPoint point;
};

Position At(CGradedPoint* point, int32_t size) {
  Position p{FALSE, CPoint()};
  p.result = point->GetPoint(size, &p.point);
  return p;
}

// ---- Curve tangent points ---------------------------------------------------------

TEST_F(PointsComputeDTest, TheTangentLineCrossesATwoPointLine) {
  struct Case {
    const char* name;
    CPoint touching;
    int32_t lineX;
    CPoint expected;
  };
  const Case cases[] = {
      {"on a straight run", CPoint(500, 0), 800, CPoint(800, 0)},
      // At the bend the chords back (180 degrees) and ahead (45 degrees) are
      // bisected: the tangent runs at 22.5 degrees.
      {"at the bend", CPoint(1000, 0), 2000, CPoint(2000, 414)},
      {"at the first vertex, the chord ahead", CPoint(0, 0), 500, CPoint(500, 0)},
      {"at the last vertex, the chord behind", CPoint(2000, 1000), 500, CPoint(500, -500)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedCurve* curve = BentCurve();
    auto* point = Add<CCurveTangentLinePoint>(curve, Stub(c.touching), VerticalLine(c.lineX));
    for (int32_t size = 0; size < kSizeCount; ++size) {
      const Position p = At(point, size);
      EXPECT_TRUE(p.result) << size;
      EXPECT_EQ(p.point, c.expected) << size;
    }
  }
}

TEST_F(PointsComputeDTest, TangentLineFailuresAtTheBaseSizeKeepTheCachedPosition) {
  ScriptedCurve* curve = BentCurve();
  StubPoint* touching = Stub(CPoint(500, 0));
  auto* parallel = Add<CCurveTangentLinePoint>(curve, touching, Line(Stub(CPoint(0, 100)), Stub(CPoint(100, 100))));
  auto* noLine = Add<CCurveTangentLinePoint>(curve, touching, nullptr);
  auto* noCurve = Add<CCurveTangentLinePoint>(nullptr, touching, VerticalLine(800));
  for (CCurveTangentLinePoint* point : {parallel, noLine, noCurve}) {
    point->SetSizePoint(kBaseSize, 7, 8);
    EXPECT_TRUE(FinishesInTime([&] {
      const Position first = At(point, kBaseSize);
      EXPECT_FALSE(first.result);
      EXPECT_EQ(first.point, CPoint(7, 8));
      EXPECT_TRUE(At(point, kBaseSize).result) << "clean after the failure";
    }));
  }
}

TEST_F(PointsComputeDTest, TangentPointsAtAGradedSizeHoldTheBaseSizeCrossingOnlyWhenTheTangentExists) {
  ScriptedCurve* curve = BentCurve();
  StubPoint* touching = Stub(CPoint(500, 0));
  // The line turns parallel to the tangent at the graded size.
  StubPoint* lineEnd = Stub(CPoint(800, 100));
  lineEnd->atSize[kGradedSize] = CPoint(900, -100);
  auto* point45 = Add<CCurveTangentLinePoint>(curve, touching, Line(Stub(CPoint(800, -100)), lineEnd));
  // The second curve misses the tangent at the graded size.
  ScriptedCurve* second = AddScriptedCurve(data, {CPoint(100, -10), CPoint(100, 10)});
  second->polylineAt[kGradedSize] = {CPoint(0, 50), CPoint(100, 60)};
  auto* point44 = Add<CCurveTangentCurvePoint>(curve, touching, second, 1);

  const Position p45 = At(point45, kGradedSize);
  EXPECT_FALSE(p45.result);
  EXPECT_EQ(p45.point, CPoint(800, 0));
  const Position p44 = At(point44, kGradedSize);
  EXPECT_FALSE(p44.result);
  EXPECT_EQ(p44.point, CPoint(100, 0));
  EXPECT_EQ(At(point45, 0).point, CPoint(800, 0));

  // Off the curve there is no tangent: the touching point with 0, not the
  // base-size result.
  touching->atSize[0] = CPoint(5000, 5000);
  touching->Invalidate(0);
  point45->Invalidate(0);
  point44->Invalidate(0);
  for (CGradedPoint* point : {static_cast<CGradedPoint*>(point45), static_cast<CGradedPoint*>(point44)}) {
    const Position p = At(point, 0);
    EXPECT_FALSE(p.result);
    EXPECT_EQ(p.point, CPoint(5000, 5000));
  }
}

TEST_F(PointsComputeDTest, TheTangentCrossesASecondCurveAtTheNumberedCrossing) {
  struct Case {
    bool closed;
    int32_t crossing;
    CPoint expected;
  };
  // The tangent at (500, 0) is the x axis. The open curve crosses it at
  // x = 100 and x = 200; the ring crosses it at x = 400 and, across its
  // closing segment, at x = 300.
  const PointList open = {CPoint(100, -10), CPoint(100, 10), CPoint(200, 10), CPoint(200, -10)};
  const PointList ring = {CPoint(300, 10), CPoint(400, 10), CPoint(400, -10), CPoint(300, -10)};
  const Case cases[] = {
      {false, 1, CPoint(100, 0)},  {false, 2, CPoint(200, 0)}, {false, 3, CPoint(200, 0)},
      {false, 0, CPoint(100, 0)},  {false, -5, CPoint(100, 0)}, {true, 2, CPoint(300, 0)},
      {true, 1, CPoint(400, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.closed ? "ring " : "open ") << c.crossing);
    ScriptedCurve* second = AddScriptedCurve(data, c.closed ? ring : open, c.closed);
    auto* point = Add<CCurveTangentCurvePoint>(BentCurve(), Stub(CPoint(500, 0)), second, c.crossing);
    const Position p = At(point, kBaseSize);
    EXPECT_TRUE(p.result);
    EXPECT_EQ(p.point, c.expected);
  }
  // The same four points as an open curve cross the tangent once.
  auto* point = Add<CCurveTangentCurvePoint>(BentCurve(), Stub(CPoint(500, 0)), AddScriptedCurve(data, ring), 2);
  EXPECT_EQ(At(point, kBaseSize).point, CPoint(400, 0));
}

TEST_F(PointsComputeDTest, TheTangentDistancePointTakesTheCandidateOnItsSide) {
  struct Case {
    const char* name;
    CPoint touching;
    int32_t direction;
    int32_t distance;
    CPoint expected;
  };
  const Case cases[] = {
      {"ahead", CPoint(500, 0), kTangentAhead, 100, CPoint(600, 0)},
      {"behind", CPoint(500, 0), kTangentBehind, 100, CPoint(400, 0)},
      {"ahead, negative", CPoint(500, 0), kTangentAhead, -100, CPoint(400, 0)},
      {"behind, negative", CPoint(500, 0), kTangentBehind, -100, CPoint(600, 0)},
      {"another flag counts as ahead", CPoint(500, 0), 7, 100, CPoint(600, 0)},
      {"a distance of 0", CPoint(500, 0), kTangentAhead, 0, CPoint(500, 0)},
      {"first vertex, ahead", CPoint(0, 0), kTangentAhead, 100, CPoint(100, 0)},
      {"first vertex, behind", CPoint(0, 0), kTangentBehind, 100, CPoint(-100, 0)},
      {"last vertex, ahead", CPoint(2000, 1000), kTangentAhead, 100, CPoint(2071, 1071)},
      {"last vertex, behind", CPoint(2000, 1000), kTangentBehind, 100, CPoint(1929, 929)},
      // At the bend the tangent runs at 22.5 degrees; the guide behind
      // follows the chord back from the point ahead, down and to the left.
      {"bend, ahead", CPoint(1000, 0), kTangentAhead, 1000, CPoint(1924, 383)},
      {"bend, behind", CPoint(1000, 0), kTangentBehind, 1000, CPoint(76, -383)},
      {"off the curve: no tangent", CPoint(5000, 5000), kTangentAhead, 100, CPoint(5000, 5000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* point = Add<CCurveTangentDistancePoint>(BentCurve(), Stub(c.touching), c.direction, Constant(c.distance));
    for (int32_t size = 0; size < kSizeCount; ++size) {
      const Position p = At(point, size);
      EXPECT_TRUE(p.result) << size;
      EXPECT_EQ(p.point, c.expected) << size;
    }
  }
}

TEST_F(PointsComputeDTest, ATangentDistancePointWithoutCurveOrTouchingPointFails) {
  auto* noCurve = Add<CCurveTangentDistancePoint>(nullptr, Stub(CPoint(500, 0)), kTangentAhead, Constant(100));
  auto* noPoint = Add<CCurveTangentDistancePoint>(BentCurve(), nullptr, kTangentAhead, Constant(100));
  for (CCurveTangentDistancePoint* point : {noCurve, noPoint}) {
    point->Invalidate(-1);
    point->SetSizePoint(kGradedSize, 7, 8);
    EXPECT_TRUE(FinishesInTime([&] {
      const Position p = At(point, kGradedSize);
      EXPECT_FALSE(p.result);
      EXPECT_EQ(p.point, CPoint(7, 8));
    }));
  }
}

TEST_F(PointsComputeDTest, TangentPointsSurviveHostileValues) {
  ScriptedCurve* curve = BentCurve();
  StubPoint* touching = Stub(CPoint(500, 0));
  curve->failsAt[0] = true;
  EXPECT_TRUE(FinishesInTime([&] {
    auto* extreme = Add<CCurveTangentDistancePoint>(curve, touching, kTangentBehind, Constant(INT32_MIN));
    const Position p = At(extreme, kBaseSize);
    EXPECT_TRUE(p.result);
    EXPECT_EQ(p.point, CPoint(0, 0)) << "beyond the coordinate bound";
    EXPECT_EQ(extreme->GetStatus(), kPointStatusOverflow);
    // A curve without a polyline at a size has no tangent there.
    const Position none = At(Add<CCurveTangentLinePoint>(curve, touching, VerticalLine(800)), 0);
    EXPECT_FALSE(none.result);
    EXPECT_EQ(none.point, CPoint(500, 0));
  }));
}

TEST_F(PointsComputeDTest, TangentPointsKnowTheLinesAndCurvesTheyCross) {
  ScriptedCurve* curve = BentCurve();
  StubPoint* touching = Stub(CPoint(500, 0));
  CGradedLine* line = VerticalLine(800);
  ScriptedCurve* second = AddScriptedCurve(data, {CPoint(100, -10), CPoint(100, 10)});
  auto* point45 = Add<CCurveTangentLinePoint>(curve, touching, line);
  auto* point44 = Add<CCurveTangentCurvePoint>(curve, touching, second, 1);
  auto* point37 = Add<CCurveTangentDistancePoint>(curve, touching, kTangentAhead, Constant(10));
  EXPECT_TRUE(point45->UsesLine(line));
  EXPECT_FALSE(point45->UsesLine(VerticalLine(900)));
  EXPECT_FALSE(point45->UsesLine(nullptr));
  EXPECT_FALSE(point45->UsesCurve(curve));
  EXPECT_TRUE(point44->UsesCurve(second));
  EXPECT_FALSE(point44->UsesCurve(curve)) << "the carrying curve is not reported";
  EXPECT_FALSE(point37->UsesCurve(curve));

  // A line drawn through the crossing and the touching point.
  CGradedLine* along45 = Line(point45, touching);
  CGradedLine* along44 = Line(touching, point44);
  CGradedLine* elsewhere = Line(point45, Stub(CPoint(0, 0)));
  EXPECT_TRUE(point45->IsSameIntersection(line, along45, 800, 0));
  EXPECT_TRUE(point45->IsSameIntersection(along45, line, 800, 0));
  EXPECT_FALSE(point45->IsSameIntersection(line, along45, 801, 0));
  EXPECT_FALSE(point45->IsSameIntersection(line, elsewhere, 800, 0));
  EXPECT_FALSE(point45->IsSameIntersection(line, second, 800, 0));
  EXPECT_TRUE(point44->IsSameIntersection(along44, second, 100, 0));
  EXPECT_TRUE(point44->IsSameIntersection(second, along44, 100, 0));
  EXPECT_FALSE(point44->IsSameIntersection(along44, curve, 100, 0));
  EXPECT_FALSE(point44->IsSameIntersection(along44, second, 100, 1));
  EXPECT_FALSE(point44->IsSameIntersection(along44, along45, 100, 0));
}

TEST_F(PointsComputeDTest, TangentSettersStoreTheirFieldsAndInvalidateAsEachKindDoes) {
  ScriptedCurve* curve = BentCurve();
  StubPoint* touching = Stub(CPoint(500, 0));
  StubPoint* moved = Stub(CPoint(1000, 0));
  CGradedLine* line = VerticalLine(800);
  auto* point45 = Add<CCurveTangentLinePoint>(curve, touching, line);
  EXPECT_EQ(At(point45, 0).point, CPoint(800, 0));
  // Kind 45 (and 44) leave the cache until the sizes are invalidated.
  point45->SetRefs(curve, moved, VerticalLine(2000));
  EXPECT_EQ(At(point45, 0).point, CPoint(800, 0));
  point45->Invalidate(-1);
  EXPECT_EQ(At(point45, 0).point, CPoint(2000, 414));
  CGradedCurve* gotCurve = nullptr;
  CGradedPoint* gotPoint = nullptr;
  CGradedLine* gotLine = nullptr;
  point45->GetRefs(&gotCurve, &gotPoint, &gotLine);
  EXPECT_EQ(gotCurve, curve);
  EXPECT_EQ(gotPoint, moved);
  EXPECT_NE(gotLine, line);

  ScriptedCurve* second = AddScriptedCurve(data, {CPoint(100, -10), CPoint(100, 10)});
  auto* point44 = Add<CCurveTangentCurvePoint>(curve, touching, second, 4);
  EXPECT_TRUE(point44->IsAllDirty()) << "the full constructor computes nothing";
  CGradedCurve* gotSecond = nullptr;
  int32_t crossing = 0;
  point44->GetRefs(&gotCurve, &gotPoint, &gotSecond, &crossing);
  EXPECT_EQ(gotSecond, second);
  EXPECT_EQ(crossing, 4);

  // Kind 37 computes every size when its fields are set; a new distance
  // invalidates them.
  auto* point37 = Add<CCurveTangentDistancePoint>(curve, touching, kTangentAhead, Constant(100));
  EXPECT_FALSE(point37->IsDirty(-1));
  EXPECT_EQ(At(point37, 0).point, CPoint(600, 0));
  point37->SetDistance(Constant(50));
  EXPECT_TRUE(point37->IsAllDirty());
  EXPECT_EQ(At(point37, 0).point, CPoint(550, 0));
  point37->SetRefs(curve, touching, kTangentBehind, Constant(20));
  EXPECT_FALSE(point37->IsDirty(-1));
  EXPECT_EQ(At(point37, 0).point, CPoint(480, 0));
  int32_t direction = -1;
  CFormula distance;
  point37->GetRefs(nullptr, nullptr, &direction, &distance);
  EXPECT_EQ(direction, kTangentBehind);
  EXPECT_EQ(distance.Evaluate(0), 20);

  CDimLabel label;
  label.SetVisible(1);
  label.SetOffsetDistance(77);
  point37->SetLabel(label);
  EXPECT_EQ(point37->GetLabel().IsVisible(), 1);
  EXPECT_EQ(point37->GetLabel().GetOffsetDistance(), 77);
  EXPECT_EQ(point37->GetLabel().GetLabelledObject(), point37);
  EXPECT_EQ(point37->GetLabel().GetOwner(), &data);
}

// ---- Turned and arc-length points -----------------------------------------------

TEST_F(PointsComputeDTest, APointTurnedOntoADirectionKeepsItsDistance) {
  struct Case {
    CPoint direction;
    int32_t flag;
    CPoint expected;
  };
  const Case cases[] = {
      {CPoint(200, 0), kTurnCounterClockwise, CPoint(100, 0)},
      {CPoint(200, 0), kTurnClockwise, CPoint(100, 0)},
      // A quarter turn counter-clockwise, or three quarters the other way.
      {CPoint(0, 50), kTurnCounterClockwise, CPoint(0, 100)},
      {CPoint(0, 50), kTurnClockwise, CPoint(0, 100)},
      {CPoint(-30, -30), kTurnCounterClockwise, CPoint(-71, -71)},
      {CPoint(-30, -30), 5, CPoint(-71, -71)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.direction.x << "," << c.direction.y << " flag " << c.flag);
    auto* point = Add<CRotateToDirectionPoint>(Stub(CPoint(0, 0)), Stub(CPoint(100, 0)), Stub(c.direction), c.flag);
    const Position p = At(point, 0);
    EXPECT_TRUE(p.result);
    EXPECT_EQ(p.point, c.expected);
  }
}

TEST_F(PointsComputeDTest, TheArcLengthPointWalksTheCircleAndWrapsRound) {
  struct Case {
    int32_t flag;
    int32_t length;
    CPoint expected;
  };
  // About (0, 0) from (1000, 0): the circumference is 6283.19.
  const Case cases[] = {
      {kTurnCounterClockwise, 6283, CPoint(1000, 0)},
      {kTurnCounterClockwise, 7854, CPoint(0, 1000)},
      {kTurnClockwise, 7854, CPoint(0, -1000)},
      {kTurnCounterClockwise, 1571, CPoint(0, 1000)},
      {kTurnCounterClockwise, 3142, CPoint(-1000, 0)},
      {kTurnCounterClockwise, 0, CPoint(1000, 0)},
      // Just short of two turns, and a quarter past a thousand turns.
      {kTurnCounterClockwise, 12566, CPoint(1000, 0)},
      {kTurnCounterClockwise, 6284756, CPoint(0, 1000)},
      // A negative length walks the other way round.
      {kTurnCounterClockwise, -1571, CPoint(0, -1000)},
      {kTurnClockwise, -1571, CPoint(0, 1000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.length << " flag " << c.flag);
    auto* point = Add<CArcLengthPoint>(Stub(CPoint(0, 0)), Stub(CPoint(1000, 0)), c.flag, Constant(c.length));
    const Position p = At(point, kBaseSize);
    EXPECT_TRUE(p.result);
    EXPECT_EQ(p.point, c.expected);
  }
}

TEST_F(PointsComputeDTest, TheSweepAngleHasTheOppositeSignOfTheTurn) {
  StubPoint* centre = Stub(CPoint(0, 0));
  StubPoint* start = Stub(CPoint(1000, 0));
  auto* ccw = Add<CArcLengthPoint>(centre, start, kTurnCounterClockwise, Constant(1571));
  auto* cw = Add<CArcLengthPoint>(centre, start, kTurnClockwise, Constant(1571));
  auto* wrapped = Add<CArcLengthPoint>(centre, start, kTurnCounterClockwise, Constant(7854));
  auto* noRadius = Add<CArcLengthPoint>(centre, Stub(CPoint(0, 0)), kTurnCounterClockwise, Constant(1571));
  auto* noCentre = Add<CArcLengthPoint>(nullptr, start, kTurnCounterClockwise, Constant(1571));
  EXPECT_NEAR(ccw->GetSweepAngle(0), -1.571, 1e-9);
  EXPECT_NEAR(cw->GetSweepAngle(0), 1.571, 1e-9);
  EXPECT_NEAR(wrapped->GetSweepAngle(0), -(7854 - 6283.18530718) / 1000, 1e-9);
  EXPECT_EQ(noRadius->GetSweepAngle(0), 0.0);
  EXPECT_EQ(noCentre->GetSweepAngle(0), 0.0);
}

TEST_F(PointsComputeDTest, AnArcLengthPointWithoutARadiusEndsAtTheCentre) {
  struct Case {
    CPoint start;
    BOOL result;
  };
  // Radius 0 would wrap for ever, radius 1 about 10^8 times.
  const Case cases[] = {{CPoint(5, 7), FALSE}, {CPoint(6, 7), TRUE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start.x);
    EXPECT_TRUE(FinishesInTime([&] {
      auto* point =
          Add<CArcLengthPoint>(Stub(CPoint(5, 7)), Stub(c.start), kTurnCounterClockwise, Constant(2'000'000'000));
      point->Invalidate(-1);
      const Position p = At(point, kBaseSize);
      EXPECT_EQ(p.result, c.result);
      const double dx = p.point.x - 5.0;
      const double dy = p.point.y - 7.0;
      EXPECT_LE(std::sqrt(dx * dx + dy * dy), 1.5) << "on the circle, or at its centre";
      if (!c.result) {
        EXPECT_EQ(p.point, CPoint(5, 7));
      }
    }));
  }
}

TEST_F(PointsComputeDTest, TurnedPointsHoldTheBaseSizeResultWhereAPositionFails) {
  StubPoint* centre = Stub(CPoint(0, 0));
  StubPoint* start = Stub(CPoint(1000, 0));
  start->atSize[0] = CPoint(2000, 0);
  start->failsAt.insert(kGradedSize);
  auto* arc = Add<CArcLengthPoint>(centre, start, kTurnCounterClockwise, Constant(1571));
  auto* turned = Add<CRotateToDirectionPoint>(centre, start, Stub(CPoint(0, 50)), kTurnCounterClockwise);
  for (CGradedPoint* point : {static_cast<CGradedPoint*>(arc), static_cast<CGradedPoint*>(turned)}) {
    point->Invalidate(-1);
    start->Invalidate(-1);
    const Position graded = At(point, kGradedSize);
    EXPECT_FALSE(graded.result);
    EXPECT_EQ(graded.point, At(point, kBaseSize).point);
    EXPECT_TRUE(At(point, kGradedSize).result) << "clean after the failure";
    EXPECT_TRUE(At(point, 0).result);
  }
  EXPECT_EQ(At(arc, kGradedSize).point, CPoint(0, 1000));
  EXPECT_EQ(At(arc, 0).point, CPoint(1414, 1414)) << "the same length on twice the radius";
  EXPECT_EQ(At(turned, kGradedSize).point, CPoint(0, 1000));

  // At the base size a failing position is turned as handed out, with 0.
  start->failsAt = {kBaseSize};
  start->Invalidate(-1);
  arc->Invalidate(-1);
  const Position base = At(arc, kBaseSize);
  EXPECT_FALSE(base.result);
  EXPECT_EQ(base.point, CPoint(0, 1000)) << "the start point's cached position";
}

TEST_F(PointsComputeDTest, TurnedPointsWithoutAReferenceKeepTheCachedPosition) {
  StubPoint* p = Stub(CPoint(100, 0));
  CGradedPoint* points[] = {
      Add<CArcLengthPoint>(nullptr, p, kTurnCounterClockwise, Constant(10)),
      Add<CArcLengthPoint>(p, nullptr, kTurnCounterClockwise, Constant(10)),
      Add<CRotateToDirectionPoint>(nullptr, p, p, kTurnClockwise),
      Add<CRotateToDirectionPoint>(p, nullptr, p, kTurnClockwise),
      Add<CRotateToDirectionPoint>(p, p, nullptr, kTurnClockwise),
  };
  for (CGradedPoint* point : points) {
    point->Invalidate(-1);
    point->SetSizePoint(kGradedSize, 7, 8);
    const Position graded = At(point, kGradedSize);
    EXPECT_FALSE(graded.result);
    EXPECT_EQ(graded.point, CPoint(7, 8));
  }
}

TEST_F(PointsComputeDTest, TurnedPointSettersStoreTheirFieldsAndComputeEverySize) {
  StubPoint* centre = Stub(CPoint(0, 0));
  StubPoint* start = Stub(CPoint(1000, 0));
  StubPoint* direction = Stub(CPoint(0, 50));
  auto* turned = Add<CRotateToDirectionPoint>(centre, start, direction, kTurnCounterClockwise);
  EXPECT_FALSE(turned->IsDirty(-1));
  turned->SetRefs(centre, start, Stub(CPoint(-50, 0)), kTurnClockwise);
  EXPECT_FALSE(turned->IsDirty(-1));
  EXPECT_EQ(At(turned, 0).point, CPoint(-1000, 0));
  CGradedPoint* got[3] = {};
  int32_t flag = -1;
  turned->GetRefs(&got[0], &got[1], &got[2], &flag);
  EXPECT_EQ(got[0], centre);
  EXPECT_EQ(got[1], start);
  EXPECT_EQ(flag, kTurnClockwise);

  auto* arc = Add<CArcLengthPoint>(centre, start, kTurnCounterClockwise, Constant(1571));
  EXPECT_FALSE(arc->IsDirty(-1));
  arc->SetArcLength(Constant(3142));
  EXPECT_TRUE(arc->IsAllDirty());
  EXPECT_EQ(At(arc, 0).point, CPoint(-1000, 0));
  arc->SetRefs(centre, start, kTurnClockwise, Constant(1571));
  EXPECT_FALSE(arc->IsDirty(-1));
  EXPECT_EQ(At(arc, 0).point, CPoint(0, -1000));
  CFormula length;
  arc->GetRefs(&got[0], &got[1], &flag, &length);
  EXPECT_EQ(got[1], start);
  EXPECT_EQ(flag, kTurnClockwise);
  EXPECT_EQ(length.Evaluate(0), 1571);
  CDimLabel label;
  label.SetOffsetDistance(-12);
  arc->SetLabel(label);
  EXPECT_EQ(arc->GetLabel().GetOffsetDistance(), -12);
  EXPECT_EQ(arc->GetLabel().GetLabelledObject(), arc);
}

// ---- Linked points ---------------------------------------------------------------

TEST_F(PointsComputeDTest, ALinkedPointAsksItsCurveAtEveryRequestAwayFromTheBaseSize) {
  ScriptedCurve* curve = AddScriptedCurve(data, {CPoint(0, 0), CPoint(10, 0)});
  auto* point = Add<CLinkedPoint>(CPoint(3, 4));
  // Without a link: the coordinate at every size.
  for (int32_t size = 0; size < kSizeCount; ++size) {
    const Position p = At(point, size);
    EXPECT_TRUE(p.result);
    EXPECT_EQ(p.point, CPoint(3, 4));
  }
  EXPECT_TRUE(point->IsAllDirty()) << "no size is ever marked clean";

  point->SetLink(curve);
  curve->linkedAnswer = {TRUE, CPoint(70, 80)};
  EXPECT_EQ(At(point, 0).point, CPoint(70, 80));
  EXPECT_EQ(curve->linkedCall.size, 0);
  EXPECT_EQ(curve->linkedCall.start, point);
  curve->linkedAnswer = {TRUE, CPoint(71, 81)};
  const Position again = At(point, 0);
  EXPECT_TRUE(again.result);
  EXPECT_EQ(again.point, CPoint(71, 81)) << "the curve moved its point: asked again";
  EXPECT_EQ(curve->linkedCall.calls, 2);

  EXPECT_EQ(At(point, kBaseSize).point, CPoint(3, 4));
  EXPECT_EQ(curve->linkedCall.calls, 2) << "the base size is the coordinate";

  curve->linkedAnswer = {FALSE, CPoint(99, 99)};
  const Position none = At(point, kGradedSize);
  EXPECT_TRUE(none.result);
  EXPECT_EQ(none.point, CPoint(3, 4));
}

// ---- Unplaced reference points ------------------------------------------------------

TEST_F(PointsComputeDTest, UnplacedReferencePointsReportNoPositionEver) {
  StubPoint* first = Stub(CPoint(1, 2));
  CGradedLine* second = VerticalLine(5);
  std::unique_ptr<CPointElemBase> points[] = {
      std::make_unique<CPointElem23>(&data, 0, first, second, 2),
      std::make_unique<CPointElem24>(&data, 0, first, second, 2),
      std::make_unique<CPointElem25>(&data, 0, first, second, 2),
  };
  for (auto& point : points) {
    SCOPED_TRACE(point->GetSubtype());
    point->SetState(1);
    CGradedObject* got1 = nullptr;
    CGradedObject* got2 = nullptr;
    int32_t value = 0;
    point->GetParams(&got1, &got2, &value);
    EXPECT_EQ(got1, first);
    EXPECT_EQ(got2, second);
    EXPECT_EQ(value, 2);

    point->SetSizePoint(0, 30, 40);
    point->SetComputeAll(0);
    for (int round = 0; round < 2; ++round) {
      for (int32_t size = 0; size < kSizeCount; ++size) EXPECT_FALSE(At(point.get(), size).result) << size;
    }
    EXPECT_TRUE(point->IsAllDirty());
    EXPECT_EQ(At(point.get(), 0).point, CPoint(30, 40)) << "the position the size holds";

    CPoint hit;
    double distance = -1;
    CGradedObject* picked = nullptr;
    EXPECT_FALSE(point->HitTest(30, 40, 100.0, 0, &hit, &distance));
    EXPECT_FALSE(point->HitTestIfValid(30, 40, 100.0, 0, &hit, &distance));
    EXPECT_FALSE(point->Pick(30, 40, 100.0, 0, &picked, &distance));
    EXPECT_FALSE(point->PickPoint(30, 40, 100.0, 0, &picked, &hit));
    EXPECT_FALSE(point->PickPointIfValid(30, 40, 100.0, 0, &picked, &hit));
    EXPECT_EQ(picked, nullptr);
    EXPECT_EQ(distance, -1);
    EXPECT_TRUE(point->GetBoundRect(0).IsRectEmpty());
    EXPECT_FALSE(point->IsSameIntersection(first, second, 30, 40));
  }
}

}  // namespace
