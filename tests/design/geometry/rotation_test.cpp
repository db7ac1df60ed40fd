#include <climits>
#include <cmath>

#include <gtest/gtest.h>

#include "design/geometry/point_line.h"

namespace {

TEST(RotateXY, TurnsAboutTheCentreAndRoundsTheOffsetBeforeAddingIt) {
  const double r = std::sqrt(0.5);
  struct Case {
    int x, y, cx, cy;
    double sinA, cosA;
    CPoint turned;
  };
  const Case kCases[] = {
      {10, 0, 0, 0, 1.0, 0.0, {0, 10}},          // a quarter turn
      {15, 5, 5, 5, 1.0, 0.0, {5, 15}},          // about another centre
      {15, 5, 5, 5, -1.0, 0.0, {5, -5}},         // the other way
      {7, 9, 7, 9, 0.3, 0.7, {7, 9}},            // the centre stays
      {2, 0, 0, 0, -r, r, {1, -1}},              // (1.41, -1.41)
      {1, 0, 0, 0, 0.0, -0.5, {-1, 0}},          // -0.5 rounds away from zero
      {-9, 0, -10, 0, 0.0, 0.5, {-9, 0}},        // round(0.5) - 10, not round(-9.5)
      {INT_MAX, 0, INT_MAX - 1, 0, 0.0, 2.0, {INT_MAX, 0}},  // stops at the range's end, never wraps
      {INT_MIN, 0, INT_MIN + 1, 0, 0.0, 2.0, {INT_MIN, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "(" << c.x << "," << c.y << ") about (" << c.cx << "," << c.cy << ")");
    int x = 0;
    int y = 0;
    RotateXY(c.x, c.y, c.cx, c.cy, c.sinA, c.cosA, &x, &y);
    EXPECT_EQ(CPoint(x, y), c.turned);
    CPoint p(c.x, c.y);
    RotatePointInPlace(&p, c.cx, c.cy, c.sinA, c.cosA);
    EXPECT_EQ(p, c.turned);
  }
}

}  // namespace
