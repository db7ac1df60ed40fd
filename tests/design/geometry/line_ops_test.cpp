#include "design/geometry/point_line.h"
#include "design/geometry/segments.h"

#include <cfloat>
#include <cstdint>
#include <cmath>

#include <gtest/gtest.h>

TEST(SegmentIntersection, ResultCodes) {
  struct Case { const char* what; int x3, y3, x4, y4; int code; CPoint at; };
  const CPoint untouched(-9, -9);
  // Segment a is always (0,0)-(10,0).
  const Case kCases[] = {
      {"crossing", 5, -5, 5, 5, 1, {5, 0}},
      {"one unit beyond the end", 11, -5, 11, 5, 1, {11, 0}},
      {"two units beyond the end", 12, -5, 12, 5, 2, {12, 0}},
      {"collinear end to end", 10, 0, 20, 0, 4, {10, 0}},
      {"collinear end to end, before", -10, 0, 0, 0, 4, {0, 0}},
      {"collinear from the common low end", 0, 0, 5, 0, 5, {5, 0}},
      {"collinear to the common high end", 5, 0, 10, 0, 5, {5, 0}},
      {"collinear overlap", 5, 0, 15, 0, 3, untouched},
      {"collinear apart", 20, 0, 30, 0, 0, untouched},
      {"parallel apart", 0, 5, 10, 5, 0, untouched},
      {"identical, reversed", 10, 0, 0, 0, 5, {0, 0}},
      {"one-point segment on it", 5, 0, 5, 0, 1, {5, 0}},
      {"one-point segment on the line beyond", 13, 0, 13, 0, 2, {13, 0}},
      {"one-point segment 2 units off", 5, 2, 5, 2, 0, untouched},
      {"one-point segment on an end", 0, 0, 0, 0, 1, {0, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPoint p = untouched;
    EXPECT_EQ(SegmentIntersectionPt(0, 0, 10, 0, c.x3, c.y3, c.x4, c.y4, &p), c.code);
    EXPECT_EQ(p, c.at);
  }
  CPoint p = untouched;
  EXPECT_EQ(SegmentIntersectionPt(0, 0, 0, 10, 0, 10, 0, 20, &p), 4);
  EXPECT_EQ(p, CPoint(0, 10));
  EXPECT_EQ(SegmentIntersectionPt(3, 3, 3, 3, 3, 3, 3, 3, &p), 1);
  EXPECT_EQ(SegmentIntersectionPt(3, 3, 3, 3, 4, 3, 4, 3, &p), 0);
}

TEST(IntersectLineSegment, ResultCodes) {
  struct Case { const char* what; double a, b, c; int code; CPoint at; };
  const Case kCases[] = {
      {"crosses", 1, 0, -5, 1, {5, 0}},
      {"one unit past the end", 1, 0, -11, 1, {11, 0}},
      {"misses the segment", 1, 0, -15, 2, {15, 0}},
      {"segment on the line", 0, 1, 0, 3, {-9, -9}},
      {"parallel", 0, 1, -5, 0, {-9, -9}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPoint p(-9, -9);
    EXPECT_EQ(IntersectLineSegmentPt(c.a, c.b, c.c, 0, 0, 10, 0, &p), c.code);
    EXPECT_EQ(p, c.at);
  }
  CPoint p;
  EXPECT_EQ(IntersectLine2PSegmentPt(5, -100, 5, 100, 0, 0, 10, 0, &p), 1);
  EXPECT_EQ(p, CPoint(5, 0));
  EXPECT_EQ(IntersectLines2PPt(0, 0, 10, 0, 3, -1, 3, 1, &p), 1);
  EXPECT_EQ(p, CPoint(3, 0));
  EXPECT_EQ(IntersectLines2PPt(0, 5, 10, 5, 0, 7, 10, 7, &p), 0);
}

TEST(NearestPointOnSegment, FootEndsAndZeroLength) {
  struct Case { const char* what; int x1, y1, x2, y2; double tol; int px, py; BOOL hit; CPoint foot; double d; };
  const Case kCases[] = {
      {"query on an end", 0, 0, 10, 0, 0, 10, 0, TRUE, {10, 0}, 0},
      {"perpendicular foot", 0, 0, 10, 0, 5, 4, 3, TRUE, {4, 0}, 3},
      {"beyond the tolerance", 0, 0, 10, 0, 2, 4, 3, FALSE, {-9, -9}, -9},
      {"foot beyond the end: nearer end", 0, 0, 10, 0, 10, 13, 4, TRUE, {10, 0}, 5},
      {"zero-length segment: distance to it", 5, 5, 5, 5, 10, 8, 9, TRUE, {5, 5}, 5},
      {"zero-length segment out of reach", 5, 5, 5, 5, 4, 8, 9, FALSE, {-9, -9}, -9},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPoint foot(-9, -9);
    double d = -9;
    EXPECT_EQ(NearestPointOnSegment(c.x1, c.y1, c.x2, c.y2, c.tol, c.px, c.py, &foot, &d), c.hit);
    EXPECT_EQ(foot, c.foot);
    EXPECT_DOUBLE_EQ(d, c.d);
  }
}

TEST(LineOps, MirrorsRotationsAndOffsets) {
  int x = -1, y = -1;
  MirrorPointAcrossLine2P(3, 4, 0, 0, 10, 0, &x, &y);
  EXPECT_EQ(CPoint(x, y), CPoint(3, -4));
  MirrorPointAcrossLine2P(3, 4, 2, 2, 2, 2, &x, &y);  // no line: untouched
  EXPECT_EQ(CPoint(x, y), CPoint(3, -4));
  CPoint p(3, 4);
  MirrorPointAxes(&p, 10, TRUE, 0, FALSE);
  EXPECT_EQ(p, CPoint(17, 4));

  const std::list<CPoint> in{{0, 1}, {2, 3}};
  std::list<CPoint> out{{9, 9}};
  MirrorPointList(in, 0, 0, 0, 10, &out);
  EXPECT_EQ(out, (std::list<CPoint>{{0, 1}, {-2, 3}}));
  MirrorPointListAxes(in, 0, FALSE, 5, TRUE, &out);
  EXPECT_EQ(out, (std::list<CPoint>{{0, 9}, {2, 7}}));
  RotatePointList(in, 0, 0, 1.0, 0.0, &out);  // a quarter turn
  EXPECT_EQ(out, (std::list<CPoint>{{-1, 0}, {-3, 2}}));
  OffsetPointList(in, 10, -1, &out);
  EXPECT_EQ(out, (std::list<CPoint>{{10, 0}, {12, 2}}));
  // A shift past the int range stops at its ends instead of wrapping back in.
  OffsetPointList({{INT32_MAX - 1, INT32_MIN + 1}}, 10, -10, &out);
  EXPECT_EQ(out, (std::list<CPoint>{{INT32_MAX, INT32_MIN}}));
}

TEST(LineOps, AnglesSidesAndDistances) {
  EXPECT_DOUBLE_EQ(VectorAngleHorz(0, 0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(VectorAngleHorz(0, 0, 0, 5), 3.14159265359 / 2);
  EXPECT_DOUBLE_EQ(VectorAngleHorz(0, 0, 0, -5), 3 * 3.14159265359 / 2);
  EXPECT_DOUBLE_EQ(VectorAngleHorz(0, 0, -5, 0), 3.14159265359);
  EXPECT_DOUBLE_EQ(VectorAngleHorz(0, 0, 5, -5), std::atan(-1.0) + 2 * 3.14159265359);
  EXPECT_DOUBLE_EQ(LineAngle(0, 0, 0, 5), 3.1415926 / 2);
  EXPECT_DOUBLE_EQ(AngleBetween(0, 0, 0, 5, 0, 0, 5, 0), 6.28318530718 - 3.1415926 / 2);
  EXPECT_DOUBLE_EQ(AngleBetween(0, 0, 5, 0, 0, 0, 0, 5), 3.1415926 / 2);

  EXPECT_TRUE(IsPointRightOfLine(5, -3, 0, 0, 10, 0));
  EXPECT_TRUE(IsPointRightOfLine(5, 0, 0, 0, 10, 0));
  EXPECT_FALSE(IsPointRightOfLine(5, 3, 0, 0, 10, 0));
  EXPECT_TRUE(SameSideOfLine(1, 1, 5, 9, 0, 0, 10, 0));
  EXPECT_TRUE(SameSideOfLine(1, 0, 5, -9, 0, 0, 10, 0));
  EXPECT_FALSE(SameSideOfLine(1, 1, 5, -9, 0, 0, 10, 0));
  EXPECT_TRUE(SameQuadrantDirection(5, 5, 0, 0, 1, 0, 0, 0));
  EXPECT_FALSE(SameQuadrantDirection(5, 5, 0, 0, -1, 0, 0, 0));

  struct QuadrantCase { int dx, dy, q; };
  for (const QuadrantCase& c : {QuadrantCase{0, 0, 1}, {-1, 0, 2}, {-1, -1, 3}, {0, -1, 4}}) {
    EXPECT_EQ(Quadrant(c.dx, c.dy), c.q);
  }

  double a = 0, b = 0, c = 0;
  EXPECT_TRUE(ParallelLineAt(0, 0, 10, 0, 5, &a, &b, &c));
  EXPECT_DOUBLE_EQ(PointLineDistance(0, -5, a, b, c), 0.0);
  EXPECT_DOUBLE_EQ(PointLineDistance(0, 0, a, b, c), 5.0);
  EXPECT_FALSE(ParallelLineAt2(4, 4, 4, 4, 5, &a, &b, &c));

  double exact = 0;
  EXPECT_EQ(PointDistanceEx(0, 0, 3, 4, &exact), 5);
  EXPECT_EQ(PointDistance(0, 0, 1, 1), 1);
  CPoint v;
  ScaledDirection(&v, 0, 0, 5, 10, 0);
  EXPECT_EQ(v, CPoint(5, 0));
  ScaledDirection(&v, 3, 3, 5, 3, 3);
  EXPECT_EQ(v, CPoint(0, 0));

  CPoint foot;
  EXPECT_DOUBLE_EQ(PointToSegmentDistance(0, 0, 10, 0, {20, 5}, &foot), 5.0);
  EXPECT_EQ(foot, CPoint(20, 0));  // not clamped to the segment
  EXPECT_DOUBLE_EQ(PointToSegmentDistance(0, 0, 10, 0, {10, 0}, &foot), 0.0);
  EXPECT_EQ(foot, CPoint(10, 0));

  EXPECT_DOUBLE_EQ(PointPolylineDistance({5, 3}, {{0, 0}, {10, 0}, {10, 10}}), 3.0);
  EXPECT_DOUBLE_EQ(PointPolylineDistance({5, 3}, {{0, 0}}), DBL_MAX);

  int x0 = 5, y0 = 5, x1 = 5, y1 = 5;
  ExtendBounds(-2, 9, &x0, &y0, &x1, &y1);
  EXPECT_EQ(CRect(x0, y0, x1, y1), CRect(-2, 5, 5, 9));
}
