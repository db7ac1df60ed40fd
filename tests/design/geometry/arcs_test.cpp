#include "design/geometry/arcs.h"
#include "design/geometry/measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

namespace {

constexpr double kHalfTurn = kTwoPi / 2;
constexpr double kQuarterTurn = kTwoPi / 4;
constexpr double kOneDegree = 0.017453292519944444;

// A list the routines under test must leave alone when they fail.
const PointList kUntouched = {CPoint(-7, -7), CPoint(-8, -8)};

// The place of `p` in the list counted from 0, or -1.
int IndexOf(const PointList& list, CPoint p) {
  int i = 0;
  for (const CPoint& q : list) {
    if (q == p) return i;
    ++i;
  }
  return -1;
}

// Every point lies on the circle to within rounding and no two neighbours
// are equal.
void ExpectOnCircleWithoutRepeats(const PointList& list, CPoint centre, double radius) {
  for (const CPoint& p : list) {
    EXPECT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), radius, 1.0) << p.x << "," << p.y;
  }
  for (auto it = list.begin(); it != list.end() && std::next(it) != list.end(); ++it) {
    EXPECT_NE(*it, *std::next(it));
  }
}

}  // namespace

TEST(ArcSampleStep, HalfUnitSagittaBoundedByOneDegree) {
  struct Case { const char* what; double radius; double step; };
  const Case kCases[] = {
      {"radius 1000", 1000, 2 * std::acos(999.5 / 1000)},
      {"radius 10", 10, 2 * std::acos(9.5 / 10)},
      {"radius 1", 1, 2 * std::acos(0.5)},
      {"just below the one-degree radius", 13131, 2 * std::acos(13130.5 / 13131)},
      {"one-degree radius", 13132, kOneDegree},
      {"large radius", 1e6, kOneDegree},
      {"a quarter unit", 0.25, kOneDegree},
      {"no radius", 0, kOneDegree},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_DOUBLE_EQ(ArcSampleStep(c.radius), c.step);
  }
  EXPECT_NEAR(ArcSampleStep(1000), 0.0632, 1e-4);
  EXPECT_NEAR(ArcSampleStep(10), 0.635, 1e-3);
  EXPECT_GT(ArcSampleStep(13131), kOneDegree);
}

TEST(ArcPolyline, SamplesInEqualPartsTowardsDecreasingAngles) {
  // The parts: round(|sweep| / step) + 1; the list holds the start and the
  // end of every part.
  struct Case {
    const char* what;
    int radius; double sweep;
    size_t count; int second_y_sign; CPoint last;  // sign of the second point's y
  };
  const Case kCases[] = {
      {"radius 1000, quarter turn: 26 parts", 1000, kQuarterTurn, 27, -1, {0, -1000}},
      {"radius 10, half turn: 6 parts", 10, kHalfTurn, 7, -1, {-10, 0}},
      {"radius 20000, every degree", 20000, kQuarterTurn, 92, -1, {0, -20000}},
      {"negative sweep runs the other way", 1000, -kQuarterTurn, 27, 1, {0, 1000}},
      {"full turn closes on the start", 1000, kTwoPi, 101, -1, {1000, 0}},
      {"negative full turn stays one", 1000, -kTwoPi, 101, 1, {1000, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PointList out = kUntouched;
    EXPECT_TRUE(ArcPolyline(0, 0, c.radius, 0, c.sweep, out));
    ASSERT_EQ(out.size(), c.count);
    EXPECT_EQ(out.front(), CPoint(c.radius, 0));
    EXPECT_EQ(out.back(), c.last);
    const CPoint second = *std::next(out.begin());
    EXPECT_EQ(second.y > 0 ? 1 : -1, c.second_y_sign);
    ExpectOnCircleWithoutRepeats(out, {0, 0}, c.radius);
  }
}

TEST(ArcPolyline, SweepBeyondAFullTurnLosesWholeTurns) {
  struct Case { const char* what; double sweep; double reduced; };
  const Case kCases[] = {
      {"3 pi is pi", 3 * kHalfTurn, kHalfTurn},
      {"-3 pi is -pi", -3 * kHalfTurn, -kHalfTurn},
      {"five and a quarter turns", 5 * kTwoPi + kQuarterTurn, kQuarterTurn},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PointList wide;
    PointList reduced;
    ArcPolyline(100, 200, 1100, 200, c.sweep, wide);
    ArcPolyline(100, 200, 1100, 200, c.reduced, reduced);
    EXPECT_EQ(wide, reduced);
  }
}

TEST(ArcPolyline, DegenerateInputsEndWithTheStartPoint) {
  struct Case { const char* what; int x, y; double sweep; size_t count; };
  const Case kCases[] = {
      {"start on the centre", 5, 5, kHalfTurn, 1},
      {"not a number", 105, 5, std::nan(""), 1},
      {"infinite", 105, 5, INFINITY, 1},
      {"huge sweep ends", 105, 5, 1e300, 0},  // some list; must not stall
      {"no sweep", 105, 5, 0, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PointList out = kUntouched;
    EXPECT_TRUE(ArcPolyline(5, 5, c.x, c.y, c.sweep, out));
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front(), CPoint(c.x, c.y));
    if (c.count != 0) {
      EXPECT_EQ(out.size(), c.count);
    }
  }
}

TEST(CirclePolyline, WholeRingTowardsIncreasingAnglesWithoutClosingRepeat) {
  struct Case { const char* what; int radius; size_t count; };
  const Case kCases[] = {
      {"radius 1000", 1000, 100},
      {"radius 10", 10, 11},
      {"radius 20000, every degree", 20000, 361},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PointList out = kUntouched;
    EXPECT_TRUE(CirclePolyline(50, -50, 50 + c.radius, -50, out));
    ASSERT_EQ(out.size(), c.count);
    EXPECT_EQ(out.front(), CPoint(50 + c.radius, -50));
    EXPECT_NE(out.back(), out.front());
    EXPECT_GT(std::next(out.begin())->y, -50);  // counter-clockwise, y up
    ExpectOnCircleWithoutRepeats(out, {50, -50}, c.radius);
  }
}

TEST(CirclePolyline, RadiusZeroGivesThePoint) {
  PointList out = kUntouched;
  EXPECT_TRUE(CirclePolyline(3, 4, 3, 4, out));
  EXPECT_EQ(out, PointList{CPoint(3, 4)});
}

namespace {

struct ThreePoints {
  const char* what;
  CPoint p1, p2, p3;
  int side_x, side_y;  // the sign every x (y) of the arc keeps, or 0
};

// Arcs of the circle of radius 1000 about the origin, both ways round and
// across angle 0.
const ThreePoints kArcs[] = {
    {"over the top, increasing angles", {1000, 0}, {0, 1000}, {-1000, 0}, 0, 1},
    {"over the top, decreasing angles", {-1000, 0}, {0, 1000}, {1000, 0}, 0, 1},
    {"under, increasing angles", {-1000, 0}, {0, -1000}, {1000, 0}, 0, -1},
    {"right, across angle 0", {0, 1000}, {1000, 0}, {0, -1000}, 1, 0},
    {"right, the other way", {0, -1000}, {1000, 0}, {0, 1000}, 1, 0},
    {"uneven spacing", {1000, 0}, {600, 800}, {-800, 600}, 0, 0},
};

}  // namespace

TEST(ArcThrough3PointsPolyline, RunsFromP1ThroughP2ToP3KeepingThePoints) {
  for (const ThreePoints& c : kArcs) {
    SCOPED_TRACE(c.what);
    PointList out;
    ASSERT_TRUE(ArcThrough3PointsPolyline(c.p1.x, c.p1.y, c.p2.x, c.p2.y, c.p3.x, c.p3.y, out));
    EXPECT_EQ(out.front(), c.p1);
    EXPECT_EQ(out.back(), c.p3);
    const int middle = IndexOf(out, c.p2);
    EXPECT_GT(middle, 0);
    EXPECT_LT(middle, static_cast<int>(out.size()) - 1);
    // A half circle of radius 1000 in parts of about 0.0632 rad: 26 each way.
    if (c.side_x != 0 || c.side_y != 0) {
      EXPECT_EQ(out.size(), 53u);
    }
    for (const CPoint& p : out) {
      if (c.side_x != 0) {
        EXPECT_GE(p.x * c.side_x, 0);
      }
      if (c.side_y != 0) {
        EXPECT_GE(p.y * c.side_y, 0);
      }
    }
    ExpectOnCircleWithoutRepeats(out, {0, 0}, 1000);
  }
}

TEST(CircleThrough3PointsPolyline, RingInTheOrderP1P2P3KeepingThePoints) {
  for (const ThreePoints& c : kArcs) {
    SCOPED_TRACE(c.what);
    PointList out;
    ASSERT_TRUE(CircleThrough3PointsPolyline(c.p1.x, c.p1.y, c.p2.x, c.p2.y, c.p3.x, c.p3.y, out));
    const int i1 = IndexOf(out, c.p1);
    const int i2 = IndexOf(out, c.p2);
    const int i3 = IndexOf(out, c.p3);
    ASSERT_GE(i1, 0);
    ASSERT_GE(i2, 0);
    ASSERT_GE(i3, 0);
    // Cyclic order p1, p2, p3: the ring starts at p1 (p3 after p2) or at p3
    // (p1 before p2).
    const bool from_p1 = i1 == 0 && i1 < i2 && i2 < i3;
    const bool from_p3 = i3 == 0 && i1 < i2;
    EXPECT_TRUE(from_p1 || from_p3) << i1 << " " << i2 << " " << i3;
    EXPECT_NE(out.back(), out.front());
    EXPECT_GE(out.size(), 100u);
    ExpectOnCircleWithoutRepeats(out, {0, 0}, 1000);
  }
}

TEST(CircleThrough3PointsPolyline, StartDependsOnTheTurn) {
  PointList out;
  // p1 -> p2 -> p3 towards decreasing angles: the ring begins at p1.
  CircleThrough3PointsPolyline(-1000, 0, 0, 1000, 1000, 0, out);
  EXPECT_EQ(out.front(), CPoint(-1000, 0));
  // Towards increasing angles: it begins at p3, then p1 follows going round.
  CircleThrough3PointsPolyline(1000, 0, 0, 1000, -1000, 0, out);
  EXPECT_EQ(out.front(), CPoint(-1000, 0));
  EXPECT_LT(IndexOf(out, CPoint(1000, 0)), IndexOf(out, CPoint(0, 1000)));
  EXPECT_LT(std::next(out.begin())->y, 0);
}

TEST(ThreePointArcs, NoCircleThroughThePoints) {
  struct Case { const char* what; CPoint p1, p2, p3; };
  const Case kCases[] = {
      {"collinear", {0, 0}, {5, 5}, {10, 10}},
      {"two coincide", {0, 0}, {0, 0}, {10, 10}},
      {"radius below 1", {0, 0}, {1, 0}, {1, 1}},
      {"beyond the int range", {0, 0}, {1000000000, 1}, {2000000000, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PointList arc = kUntouched;
    EXPECT_FALSE(ArcThrough3PointsPolyline(c.p1.x, c.p1.y, c.p2.x, c.p2.y, c.p3.x, c.p3.y, arc));
    EXPECT_EQ(arc, kUntouched);
    PointList ring = kUntouched;
    EXPECT_FALSE(
        CircleThrough3PointsPolyline(c.p1.x, c.p1.y, c.p2.x, c.p2.y, c.p3.x, c.p3.y, ring));
    EXPECT_EQ(ring, (PointList{c.p1, c.p2, c.p3}));
  }
}
