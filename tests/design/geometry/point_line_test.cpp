#include "design/geometry/point_line.h"

#include <climits>
#include <cmath>

#include <gtest/gtest.h>

TEST(ProjectPointOntoLine2P, FootOfThePerpendicular) {
  struct Case { int px, py, x1, y1, x2, y2; CPoint foot; };
  const Case kCases[] = {
      {5, 5, 0, 0, 10, 0, {5, 0}},
      {-7, 3, 0, 0, 10, 0, {-7, 0}},     // beyond the end: the line is unbounded
      {4, 9, 2, -5, 2, 50, {2, 9}},      // vertical line
      {0, 10, 0, 0, 10, 10, {5, 5}},
      {0, 1, 0, 0, 10, 10, {1, 1}},      // (0.5, 0.5) rounds away from zero
      {0, -1, 0, 0, 10, 10, {-1, -1}},   // (-0.5, -0.5)
      {8, 3, 4, 4, 4, 4, {8, 3}},        // no line: the point itself
      {0, 2000000000, -2000000000, 0, 2000000000, 0, {0, 0}},  // far apart ends
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "P(" << c.px << "," << c.py << ")");
    const CPoint foot = ProjectPointOntoLine2P(c.px, c.py, c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(foot.x, c.foot.x);
    EXPECT_EQ(foot.y, c.foot.y);
  }
}

TEST(IntersectLines, ParallelSameAndCrossing) {
  double x = 7;
  double y = 7;
  // y = 1 and y = 2: parallel and apart.
  EXPECT_EQ(IntersectLines(0, 1, -1, 0, 1, -2, &x, &y), 0);
  // Two equations of one line.
  EXPECT_EQ(IntersectLines(1, 1, -2, 2, 2, -4, &x, &y), 2);
  // Two vertical lines, apart and the same.
  EXPECT_EQ(IntersectLines(1, 0, -3, 2, 0, -8, &x, &y), 0);
  EXPECT_EQ(IntersectLines(1, 0, -3, 2, 0, -6, &x, &y), 2);
  EXPECT_EQ(x, 7);  // not written for codes 0 and 2
  // x = 3 and y = -4.
  EXPECT_EQ(IntersectLines(1, 0, -3, 0, 1, 4, &x, &y), 1);
  EXPECT_DOUBLE_EQ(x, 3);
  EXPECT_DOUBLE_EQ(y, -4);
}

TEST(PointSegmentDistance, PerpendicularInsideElseNearerEnd) {
  struct Case { CPoint p; int x1, y1, x2, y2; double d; };
  const Case kCases[] = {
      {{5, 5}, 0, 0, 10, 0, 5.0},
      {{-3, 4}, 0, 0, 10, 0, 5.0},          // before the first end
      {{13, 4}, 0, 0, 10, 0, 5.0},          // past the second end
      {{13, 4}, 10, 0, 0, 0, 5.0},          // ends given the other way round
      {{10, 5}, 0, 0, 10, 0, 5.0},          // foot on the end: box edges count
      {{0, 10}, 0, 0, 10, 10, std::sqrt(50.0)},
      {{3, 12}, 0, 0, 0, 10, std::sqrt(13.0)},  // vertical, past the end
      {{5, 6}, 2, 2, 2, 2, 5.0},            // a segment of one point
      {{2, 2}, 2, 2, 2, 2, 0.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "P(" << c.p.x << "," << c.p.y << ")");
    const double d = PointSegmentDistance(c.p, c.x1, c.y1, c.x2, c.y2);
    EXPECT_FALSE(std::isnan(d));
    EXPECT_DOUBLE_EQ(d, c.d);
  }
}

TEST(PointSegmentDistance, ExtremeCoordinatesStayFinite) {
  const double d = PointSegmentDistance({INT_MAX, INT_MAX}, INT_MIN, INT_MIN, INT_MIN, INT_MAX);
  EXPECT_TRUE(std::isfinite(d));
  EXPECT_NEAR(d, 4294967295.0, 1.0);
}
