#include "design/geometry/polyline_queries.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

constexpr double kNear = 1e-6;

struct SnapResult {
  BOOL found;
  CPoint point;
  double distance;
};

void ExpectSnap(BOOL found, CPoint point, double distance, const SnapResult& expected) {
  EXPECT_EQ(found, expected.found);
  if (!expected.found) return;
  EXPECT_EQ(point, expected.point);
  EXPECT_NEAR(distance, expected.distance, kNear);
}

TEST(SnapSegmentIntersection, OnlySinglePointMeetingsWithinTheRadius) {
  struct Case {
    const char* name;
    CPoint query;
    double radius;
    CPoint a1, a2, b1, b2;
    SnapResult result;
  };
  const Case kCases[] = {
      {"crossing within", {6, 0}, 2, {0, 0}, {10, 0}, {5, -5}, {5, 5}, {TRUE, {5, 0}, 1}},
      {"crossing beyond the radius", {9, 0}, 2, {0, 0}, {10, 0}, {5, -5}, {5, 5}, {FALSE, {}, 0}},
      {"lines meet beyond an end", {15, 0}, 100, {0, 0}, {10, 0}, {15, -5}, {15, 5}, {FALSE, {}, 0}},
      {"touching end to end", {10, 1}, 2, {0, 0}, {10, 0}, {10, 0}, {20, 0}, {TRUE, {10, 0}, 1}},
      {"common run from one end", {5, 0}, 1, {0, 0}, {10, 0}, {0, 0}, {5, 0}, {TRUE, {5, 0}, 0}},
      {"overlapping stretch", {5, 0}, 100, {0, 0}, {10, 0}, {5, 0}, {15, 0}, {FALSE, {}, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPoint point(-1, -1);
    double distance = -1;
    const BOOL found = SnapSegmentIntersection(c.query.x, c.query.y, c.radius, c.a1.x, c.a1.y, c.a2.x,
                                               c.a2.y, c.b1.x, c.b1.y, c.b2.x, c.b2.y, &point, &distance);
    ExpectSnap(found, point, distance, c.result);
  }
}

TEST(SnapCircles, NearestOfTwoCrossingsBoundedByTheRadius) {
  struct Case {
    const char* name;
    CPoint query;
    double radius;
    SnapResult segmentCircle;  // (-20, 0)-(20, 0) against radius 10 about the origin
    SnapResult circles;        // radius 5 about (0, 0) and about (8, 0)
  };
  const Case kCases[] = {
      {"near the second crossing", {-9, 1}, 2, {TRUE, {-10, 0}, std::sqrt(2.0)}, {FALSE, {}, 0}},
      {"nearer crossing still too far", {-9, 1}, 0.5, {FALSE, {}, 0}, {FALSE, {}, 0}},
      {"near the lower circle crossing", {4, -2}, 2, {FALSE, {}, 0}, {TRUE, {4, -3}, 1}},
      {"near the upper circle crossing", {5, 3}, 1, {FALSE, {}, 0}, {TRUE, {4, 3}, 1}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPoint point;
    double distance = 0;
    BOOL found = SnapSegmentCircleIntersection(c.query.x, c.query.y, c.radius, -20, 0, 20, 0, 0, 0,
                                               10, &point, &distance);
    ExpectSnap(found, point, distance, c.segmentCircle);
    found = SnapCircleIntersection(c.query.x, c.query.y, c.radius, {0, 0}, 5, {8, 0}, 5, &point,
                                   &distance);
    ExpectSnap(found, point, distance, c.circles);
  }
  CPoint point;
  double distance = 0;
  EXPECT_FALSE(SnapCircleIntersection(0, 0, 1000, {0, 0}, 5, {100, 0}, 5, &point, &distance));
}

TEST(SnapPolylines, NearestCrossingAndItsPlaceFromOne) {
  // The zigzag is crossed at (5, 5), (15, 5) and (25, 5) by the level line.
  const PointList zigzag{{0, 0}, {10, 10}, {20, 0}, {30, 10}};
  const PointList level{{0, 5}, {30, 5}};
  struct Case {
    CPoint query;
    double radius;
    SnapResult result;
    int index;
  };
  const Case kCases[] = {
      {{16, 6}, 3, {TRUE, {15, 5}, std::sqrt(2.0)}, 2},
      {{26, 4}, 2, {TRUE, {25, 5}, std::sqrt(2.0)}, 3},
      {{5, 5}, 0, {TRUE, {5, 5}, 0}, 1},
      {{10, 5}, 4, {FALSE, {}, 0}, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.query.x << "," << c.query.y);
    CPoint point;
    double distance = 0;
    int index = 0;
    BOOL found = SnapSegmentPolylineIntersection(c.query.x, c.query.y, c.radius, 0, 5, 30, 5, zigzag,
                                                 &point, &distance, &index);
    ExpectSnap(found, point, distance, c.result);
    if (c.result.found) {
      EXPECT_EQ(index, c.index);
    }
    index = 0;
    found = SnapPolylineIntersection(c.query.x, c.query.y, c.radius, zigzag, level, &point, &distance,
                                     &index);
    ExpectSnap(found, point, distance, c.result);
    if (c.result.found) {
      EXPECT_EQ(index, c.index);
    }
  }
}

// An L: along x to the corner, then along y.
const PointList kCorner{{0, 0}, {100, 0}, {100, 100}};

TEST(PolylineSection, PointOnItAndItsLength) {
  struct Case {
    const char* name;
    CPoint query;
    BOOL on;
  };
  const Case kCases[] = {
      {"inside the section", {100, 20}, TRUE},
      {"before the section", {20, 0}, FALSE},
      {"3 units past its end", {100, 53}, TRUE},
      {"10 units past its end", {100, 60}, FALSE},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PointList section;
    EXPECT_EQ(IsPointOnPolylineSection(c.query.x, c.query.y, 50, 0, 100, 50, kCorner, &section), c.on);
    EXPECT_EQ(section, (PointList{{50, 0}, {100, 0}, {100, 50}}));
  }
  PointList section;
  EXPECT_FALSE(IsPointOnPolylineSection(100, 20, 50, 30, 100, 50, kCorner, &section));

  EXPECT_EQ(PolylineSectionLength(50, 0, 100, 50, kCorner), 100);
  EXPECT_EQ(PolylineSectionLength(100, 50, 50, 0, kCorner), 100);
  EXPECT_EQ(PolylineSectionLength(50, 30, 100, 50, kCorner), 0);
}

TEST(IsPointRightOfPolyline, SegmentOverTheFootElseNearestVertex) {
  struct Case {
    const char* name;
    PointList polyline;
    CPoint query;
    BOOL right;
  };
  const Case kCases[] = {
      {"below a segment going +x", {{0, 0}, {100, 0}}, {50, -10}, TRUE},
      {"above it", {{0, 0}, {100, 0}}, {50, 10}, FALSE},
      {"on it", {{0, 0}, {100, 0}}, {50, 0}, TRUE},
      {"the second segment holds the foot", kCorner, {110, 50}, TRUE},
      {"inside the corner", kCorner, {90, 50}, FALSE},
      {"before the head: the first segment", {{0, 0}, {100, 0}}, {-50, -10}, TRUE},
      {"past the tail: the last segment taken backwards", {{0, 0}, {100, 0}}, {150, -10}, FALSE},
      {"a segment of no length is passed over", {{0, 0}, {0, 0}, {100, 0}}, {50, -10}, TRUE},
      {"one point", {{0, 0}}, {0, -10}, FALSE},
      {"every vertex the same", {{7, 7}, {7, 7}}, {0, -10}, FALSE},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsPointRightOfPolyline(c.query.x, c.query.y, c.polyline), c.right);
  }
}

TEST(ComparePolylineOrder, InsertsBothPointsAndTellsWhichComesFirst) {
  struct Case {
    const char* name;
    CPoint first, second;
    BOOL result;
    PointList after;
  };
  const Case kCases[] = {
      {"first is first", {50, 2}, {100, 50}, TRUE, {{0, 0}, {50, 2}, {100, 0}, {100, 50}, {100, 100}}},
      {"second is first", {100, 50}, {50, 2}, FALSE, {{0, 0}, {50, 2}, {100, 0}, {100, 50}, {100, 100}}},
      {"vertices are not inserted", {100, 0}, {0, 0}, FALSE, kCorner},
      {"the same point", {30, 0}, {30, 0}, TRUE, {{0, 0}, {30, 0}, {100, 0}, {100, 100}}},
      {"a point off the polyline", {50, 0}, {50, 30}, FALSE, kCorner},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    PointList polyline = kCorner;
    EXPECT_EQ(ComparePolylineOrder(polyline, c.first.x, c.first.y, c.second.x, c.second.y), c.result);
    EXPECT_EQ(polyline, c.after);
  }
}

TEST(PolylineBisectorLine, LineThroughThePointHalfwayBetweenTheDirections) {
  struct Case {
    const char* name;
    PointList polyline;
    CPoint query;
    double distance;
    CPoint other;  // a second point of the expected line
  };
  const Case kCases[] = {
      {"straight: the normal", {{0, 0}, {100, 0}}, {50, 0}, 10, {50, 37}},
      {"corner: the inner bisector", kCorner, {100, 0}, 10, {90, 10}},
      {"near an end the end is taken", {{0, 0}, {100, 0}}, {5, 0}, 10, {5, -20}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    for (auto* bisector : {&PolylineBisectorLine, &PolylineBisectorLine2}) {
      PointList polyline = c.polyline;
      double a = 0, b = 0, cc = 0;
      ASSERT_TRUE(bisector(polyline, c.query.x, c.query.y, c.distance, &a, &b, &cc));
      EXPECT_NEAR(std::hypot(a, b), 1.0, kNear);
      EXPECT_NEAR(a * c.query.x + b * c.query.y + cc, 0.0, kNear);
      EXPECT_NEAR(a * c.other.x + b * c.other.y + cc, 0.0, 1e-4);
    }
  }
}

TEST(PolylineBisectorLine, InsertsAPointNearTheLineAndRefusesOthers) {
  PointList polyline{{0, 0}, {100, 0}};
  double a = 0, b = 0, c = 0;
  ASSERT_TRUE(PolylineBisectorLine(polyline, 50, 1, 10, &a, &b, &c));
  EXPECT_EQ(polyline, (PointList{{0, 0}, {50, 1}, {100, 0}}));

  polyline = {{0, 0}, {100, 0}};
  EXPECT_FALSE(PolylineBisectorLine(polyline, 50, 20, 10, &a, &b, &c));  // off the polyline
  EXPECT_EQ(polyline, (PointList{{0, 0}, {100, 0}}));
  EXPECT_FALSE(PolylineBisectorLine(polyline, 50, 0, 0, &a, &b, &c));    // no direction
  EXPECT_FALSE(PolylineBisectorLine(polyline, 0, 0, 10, &a, &b, &c));    // nothing behind the head
}

}  // namespace
