#include "design/geometry/primitives.h"

#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

TEST(RoundToNearest, RoundsHalfAwayFromZero) {
  struct Case { double in; int out; };
  const Case kCases[] = {
      {-0.5, -1}, {0.49, 0}, {1.5, 2}, {2.5, 3}, {-2.5, -3}, {-0.4, 0},
      {0.0, 0},   {2.49, 2}, {-1.49, -1}, {1e6 + 0.5, 1000001},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(RoundToNearest(c.in), c.out);
    EXPECT_EQ(RoundToInt(c.in), c.out);
  }
}

TEST(RoundToNearest, NeverConvertsOutOfRange) {
  // A degenerate division upstream must not become an undefined conversion.
  EXPECT_EQ(RoundToNearest(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundToNearest(1e300), INT_MAX);
  EXPECT_EQ(RoundToNearest(-1e300), INT_MIN);
  EXPECT_EQ(RoundToNearest(std::numeric_limits<double>::infinity()), INT_MAX);
  EXPECT_EQ(RoundToNearest(2147483646.6), INT_MAX);
  EXPECT_EQ(RoundToNearest(-2147483648.4), INT_MIN);
}

TEST(VectorAngle, QuadrantsUseTheStoredPi) {
  const double kPi = 3.1415926;
  struct Case { int x1, y1, x2, y2; double angle; };
  const Case kCases[] = {
      {0, 0, 0, -5, 1.5 * kPi},
      {0, 0, 5, -5, std::atan(-1.0) + 2 * kPi},
      {3, 3, 3, 3, 0.0},
      {0, 0, 0, 7, kPi / 2},
      {0, 0, -4, 0, kPi},
      {0, 0, -5, 5, std::atan(-1.0) + kPi},
      {0, 0, 5, 5, std::atan(1.0)},
      {1, 1, 11, 1, 0.0},
      // Differences that overflow int32 are taken in double.
      {INT_MIN, 0, INT_MAX, 0, 0.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2);
    EXPECT_DOUBLE_EQ(VectorAngle(c.x1, c.y1, c.x2, c.y2), c.angle);
  }
}

TEST(IsSweepNotLess, TellsTheTurningDirectionAboutTheCentre) {
  // Points on a circle about the origin at 0, 90 and 180 degrees.
  EXPECT_TRUE(IsSweepNotLess(10, 0, 0, 10, -10, 0, 0, 0) == FALSE);  // p2 comes first going CCW
  EXPECT_TRUE(IsSweepNotLess(10, 0, -10, 0, 0, 10, 0, 0) == TRUE);
  // Sweeps past the +x axis wrap.
  EXPECT_TRUE(IsSweepNotLess(0, -10, 0, 10, 10, 0, 0, 0) == TRUE);
  EXPECT_TRUE(IsSweepNotLess(10, 0, 10, 0, 10, 0, 0, 0) == TRUE);  // equal sweeps
}

TEST(SolveQuadratic, ResultCodes) {
  struct Case { double a, b, c; int code; double r1, r2; };
  const Case kCases[] = {
      {1, -3, 2, 2, 2, 1},      // (x - 1)(x - 2)
      {1, -2, 1, 1, 1, 1},      // double root
      {1, 0, 1, 3, 0, 0},       // no real root
      {0, 0, 0, 3, 0, 0},       // every x
      {1e-20, 0, 0, 3, 0, 0},   // negligible counts as zero
      {0, 2, -4, 1, 2, 2},      // linear
      {0, 0, 5, 0, 0, 0},       // no x
      {-2, 0, 8, 2, -2, 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.a << " " << c.b << " " << c.c);
    double r1 = -99;
    double r2 = -99;
    EXPECT_EQ(SolveQuadratic(c.a, c.b, c.c, &r1, &r2), c.code);
    if (c.code == 1 || c.code == 2) {
      EXPECT_DOUBLE_EQ(r1, c.r1);
      EXPECT_DOUBLE_EQ(r2, c.r2);
    } else {
      EXPECT_EQ(r1, -99);  // outputs untouched
      EXPECT_EQ(r2, -99);
    }
  }
}

TEST(SolveQuadratic, DiscriminantJustBelowZeroIsADoubleRootNotNaN) {
  // b^2 - 4ac comes out at -5.6e-17 here: too small to count as negative,
  // too negative for a square root.
  const double a = 0.7;
  const double b = 0.6;
  const double c = 0.1285714285714286;
  ASSERT_LT(b * b - 4 * a * c, 0.0);
  double r1 = 0;
  double r2 = 0;
  ASSERT_EQ(SolveQuadratic(a, b, c, &r1, &r2), 1);
  EXPECT_DOUBLE_EQ(r1, -b / (2 * a));
  EXPECT_DOUBLE_EQ(r2, r1);
}
