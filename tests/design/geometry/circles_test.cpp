#include "design/geometry/circles.h"

#include <gtest/gtest.h>

namespace {

const CPoint kUntouched(-77, -77);

}  // namespace

TEST(IntersectLineCircle, CodesAndPointOrder) {
  struct Case { const char* what; double a, b, c; int cx, cy; double r; int code; CPoint p1, p2; };
  const Case kCases[] = {
      {"two points, p1 from the + root", 0, 1, 0, 0, 0, 10, 2, {10, 0}, {-10, 0}},
      {"steep line solved for y", 1, 0, -3, 0, 0, 5, 2, {3, 4}, {3, -4}},
      {"tangent", 0, 1, -10, 0, 0, 10, 1, {0, 10}, {0, 10}},
      {"miss", 0, 1, -20, 0, 0, 10, 0, kUntouched, kUntouched},
      {"off-centre circle", 0, 1, -7, 100, 7, 3, 2, {103, 7}, {97, 7}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPoint p1 = kUntouched;
    CPoint p2 = kUntouched;
    EXPECT_EQ(IntersectLineCircle(c.a, c.b, c.c, c.cx, c.cy, c.r, &p1, &p2), c.code);
    EXPECT_EQ(p1, c.p1);
    EXPECT_EQ(p2, c.p2);
  }
}

TEST(IntersectLine2PCircle, RefusesNoLineAndNoRadius) {
  struct Case { const char* what; int x1, y1, x2, y2; double r; int code; };
  const Case kCases[] = {
      {"crossing", -20, 0, 20, 0, 10, 2},
      {"radius 0", -20, 0, 20, 0, 0, 0},
      {"radius below 1", -20, 0, 20, 0, 0.9, 0},
      {"two equal points", 5, 5, 5, 5, 10, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    EXPECT_EQ(IntersectLine2PCircle(c.x1, c.y1, c.x2, c.y2, 0, 0, c.r, &x1, &y1, &x2, &y2), c.code);
    if (c.code == 0) {
      EXPECT_EQ(x1, -1);
    }
  }
}

TEST(IntersectSegmentCircle, KeepsPointsWithinTheSegmentPackedToTheFront) {
  struct Case { const char* what; int x1, y1, x2, y2; int count; CPoint p1, p2; };
  const Case kCases[] = {
      {"both within", -20, 0, 20, 0, 2, {10, 0}, {-10, 0}},
      {"only the second kept", -20, 0, 0, 0, 1, {-10, 0}, kUntouched},
      {"only the first kept", 0, 0, 20, 0, 1, {10, 0}, kUntouched},
      {"ends on the circle count", -10, 0, 10, 0, 2, {10, 0}, {-10, 0}},
      {"inside, no point", -5, 0, 5, 0, 0, kUntouched, kUntouched},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPoint p1 = kUntouched;
    CPoint p2 = kUntouched;
    EXPECT_EQ(IntersectSegmentCirclePt(c.x1, c.y1, c.x2, c.y2, 0, 0, 10, &p1, &p2), c.count);
    EXPECT_EQ(p1, c.p1);
    EXPECT_EQ(p2, c.p2);
  }
}

TEST(IntersectCircles, TwoOneOrNone) {
  struct Case { const char* what; int cx2; double r2; int code; CPoint p1, p2; };
  const Case kCases[] = {
      {"two points", 8, 5, 2, {4, 3}, {4, -3}},
      {"touching", 10, 5, 1, {5, 0}, {5, 0}},
      {"apart", 20, 5, 0, kUntouched, kUntouched},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPoint p1 = kUntouched;
    CPoint p2 = kUntouched;
    EXPECT_EQ(IntersectCirclesPt2({0, 0}, 5, {c.cx2, 0}, c.r2, &p1, &p2), c.code);
    EXPECT_EQ(p1, c.p1);
    EXPECT_EQ(p2, c.p2);
    int x1 = -77, y1 = -77, x2 = -77, y2 = -77;
    EXPECT_EQ(IntersectCircles(0, 0, 5, c.cx2, 0, c.r2, &x1, &y1, &x2, &y2), c.code);
    EXPECT_EQ(CPoint(x1, y1), c.p1);
  }
}

TEST(CircleThrough3Points, CentreSignedRadiusAndRefusals) {
  struct Case { const char* what; int x1, y1, x2, y2, x3, y3; BOOL ok; int cx, cy, r; };
  const Case kCases[] = {
      {"counter-clockwise run: negative", 10, 0, 0, 10, -10, 0, TRUE, 0, 0, -10},
      {"clockwise run: positive", -10, 0, 0, 10, 10, 0, TRUE, 0, 0, 10},
      {"off the origin", 110, 50, 100, 60, 90, 50, TRUE, 100, 50, -10},
      {"collinear", 0, 0, 5, 5, 10, 10, FALSE, -1, -1, -1},
      {"radius below 1", 0, 0, 1, 0, 0, 1, FALSE, -1, -1, -1},
      {"two points equal", 3, 3, 3, 3, 10, 0, FALSE, -1, -1, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    int cx = -1, cy = -1, r = -1;
    EXPECT_EQ(CircleThrough3Points(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, &cx, &cy, &r), c.ok);
    EXPECT_EQ(cx, c.cx);
    EXPECT_EQ(cy, c.cy);
    EXPECT_EQ(r, c.r);
  }
}
