#include "design/geometry/segments.h"

#include <climits>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct SegmentCase {
  const char* what;
  int x1, y1, x2, y2, x3, y3, x4, y4;
  int code;
  CPoint at;  // checked for every code but "untouched"
  bool written = true;
};

}  // namespace

TEST(IntersectSegments, ResultCodes) {
  const SegmentCase kCases[] = {
      {"crossing", 0, 0, 10, 10, 0, 10, 10, 0, 1, {5, 5}},
      {"same segment reversed", 0, 0, 10, 0, 10, 0, 0, 0, 4, {0, 0}},
      {"same segment", 3, 4, 8, 9, 3, 4, 8, 9, 4, {3, 4}},
      {"collinear overlap", 0, 0, 10, 0, 5, 0, 15, 0, 3, {10, 0}},
      {"collinear overlap, second reversed", 0, 0, 10, 0, 15, 0, 5, 0, 3, {10, 0}},
      {"collinear overlap, first reversed", 10, 0, 0, 0, 5, 0, 15, 0, 3, {10, 0}},
      {"collinear containment", 0, 0, 30, 0, 10, 0, 20, 0, 3, {10, 0}},
      {"vertical collinear overlap", 0, 0, 0, 10, 0, 5, 0, 20, 3, {0, 10}},
      {"sloped collinear overlap", 0, 0, 10, 10, 5, 5, 20, 20, 3, {10, 10}},
      {"collinear apart", 0, 0, 10, 0, 20, 0, 30, 0, 0, {0, 0}},
      {"horizontal parallels apart", 0, 0, 10, 0, 0, 5, 10, 5, 0, {0, 0}},
      {"vertical parallels apart", 0, 0, 0, 10, 5, 0, 5, 10, 0, {0, 0}},
      {"lines meet outside", 0, 0, 10, 0, 20, -5, 20, 5, 2, {20, 0}},
      {"one unit past the end still meets", 0, 0, 10, 0, 11, -5, 11, 5, 1, {11, 0}},
      {"two units past the end", 0, 0, 10, 0, 12, -5, 12, 5, 2, {12, 0}},
      {"shared end P2 = P3", 0, 0, 10, 0, 10, 0, 10, 10, 1, {10, 0}},
      {"shared end P1 = P4", 0, 0, 10, 0, 5, 5, 0, 0, 1, {0, 0}},
      {"collinear from a shared end", 0, 0, 10, 0, 0, 0, 5, 0, 1, {0, 0}},
      {"two equal points", 4, 4, 4, 4, 4, 4, 4, 4, 1, {4, 4}},
      {"two different points", 4, 4, 4, 4, 5, 4, 5, 4, 0, {}, false},
      {"point on the second segment", 5, 0, 5, 0, 0, 0, 10, 0, 1, {5, 0}},
      {"point on the line beyond", 15, 0, 15, 0, 0, 0, 10, 0, 2, {15, 0}},
      {"point off the line", 5, 3, 5, 3, 0, 0, 10, 0, 0, {}, false},
      {"point on the first segment", 0, 0, 10, 0, 5, 0, 5, 0, 1, {5, 0}},
      {"point at an end of the other", 0, 0, 0, 0, 0, 0, 10, 10, 1, {0, 0}},
      {"point at the far end of the other", 10, 10, 10, 10, 0, 0, 10, 10, 1, {10, 10}},
      // The directions P3 -> P and P -> P4 lie either side of the -x axis.
      {"point on a segment along -x", 0, 0, 0, 0, 1000, 0, -1000, -1, 1, {0, 0}},
  };
  for (const SegmentCase& c : kCases) {
    SCOPED_TRACE(c.what);
    int x = -777;
    int y = -777;
    EXPECT_EQ(IntersectSegments(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4, &x, &y), c.code);
    if (c.written) {
      EXPECT_EQ(x, c.at.x);
      EXPECT_EQ(y, c.at.y);
    } else {
      EXPECT_EQ(x, -777);
      EXPECT_EQ(y, -777);
    }
  }
}

TEST(IntersectSegments, FarApartCoordinatesDoNotOverflow) {
  int x = 0;
  int y = 0;
  EXPECT_EQ(IntersectSegments(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX, INT_MAX, INT_MIN,
                              &x, &y),
            1);
  EXPECT_NEAR(x, 0, 1);
  EXPECT_NEAR(y, 0, 1);
}

namespace {

int Inside(int x, int y, const std::vector<CPoint>& polygon) {
  return IsPointInPolygon(x, y, polygon.data(), static_cast<int>(polygon.size()));
}

std::vector<CPoint> Reversed(std::vector<CPoint> points) {
  return {points.rbegin(), points.rend()};
}

}  // namespace

TEST(IsPointInPolygon, SquareInsideOutsideAndBoundary) {
  const std::vector<CPoint> square = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
  struct Case { int x, y, inside; };
  const Case kCases[] = {
      {50, 50, 1}, {150, 50, 0}, {-1, 50, 0}, {50, 101, 0},
      {100, 50, 1}, {50, 0, 1}, {0, 0, 1}, {99, 99, 1}, {1, 50, 1},
  };
  for (const auto& polygon : {square, Reversed(square)}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
      EXPECT_EQ(Inside(c.x, c.y, polygon), c.inside);
    }
  }
}

TEST(IsPointInPolygon, RayThroughVertices) {
  // The ray from (25, 50) leaves through the vertex (100, 50).
  const std::vector<CPoint> diamond = {{50, 0}, {100, 50}, {50, 100}, {0, 50}};
  // A spike from below touches the ray at (70, 50) and turns back.
  const std::vector<CPoint> spike = {{0, 100}, {0, 0}, {60, 0}, {70, 50}, {80, 0}, {120, 0}, {120, 100}};
  for (const auto& polygon : {diamond, Reversed(diamond)}) {
    EXPECT_EQ(Inside(25, 50, polygon), 1);
    EXPECT_EQ(Inside(98, 60, polygon), 0);
  }
  for (const auto& polygon : {spike, Reversed(spike)}) {
    EXPECT_EQ(Inside(20, 50, polygon), 1);
    EXPECT_EQ(Inside(70, 60, polygon), 1);
    EXPECT_EQ(Inside(65, 10, polygon), 0);  // inside the notch under the spike
  }
}

TEST(IsPointInPolygon, EdgesAlongTheRay) {
  // A step whose horizontal edge lies on the ray and which the outline
  // passes through: one crossing.
  const std::vector<CPoint> step = {{0, 0}, {100, 0}, {100, 50}, {150, 50}, {150, 100}, {0, 100}};
  // A dent whose horizontal edge lies on the ray and which the outline
  // touches and leaves on the same side: no crossing there.
  const std::vector<CPoint> dent = {{0, 0},   {100, 0}, {100, 50}, {150, 50},
                                    {150, 0}, {200, 0}, {200, 100}, {0, 100}};
  for (const auto& polygon : {step, Reversed(step)}) {
    EXPECT_EQ(Inside(20, 50, polygon), 1);
    EXPECT_EQ(Inside(120, 50, polygon), 1);  // on that edge
    EXPECT_EQ(Inside(120, 40, polygon), 0);
  }
  for (const auto& polygon : {dent, Reversed(dent)}) {
    EXPECT_EQ(Inside(20, 50, polygon), 1);
    EXPECT_EQ(Inside(125, 25, polygon), 0);
  }
}

TEST(IsPointInPolygon, DegenerateAndExtremeInput) {
  EXPECT_EQ(IsPointInPolygon(0, 0, nullptr, 4), 0);
  const CPoint one[] = {{5, 5}};
  EXPECT_EQ(IsPointInPolygon(5, 5, one, 0), 0);
  EXPECT_EQ(IsPointInPolygon(5, 5, one, -3), 0);
  EXPECT_EQ(IsPointInPolygon(5, 5, one, 1), 1);  // on the only point
  // At the top of the coordinate range the ray cannot overshoot by 100.
  const std::vector<CPoint> corner = {
      {INT_MAX - 100, INT_MAX - 100}, {INT_MAX, INT_MAX - 100}, {INT_MAX, INT_MAX}, {INT_MAX - 100, INT_MAX}};
  EXPECT_EQ(Inside(INT_MAX - 50, INT_MAX - 50, corner), 1);
}
