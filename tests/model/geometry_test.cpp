#include "model/geometry.h"

#include <climits>
#include <cmath>

#include <gtest/gtest.h>

#include "model/style.h"

namespace {

// The helpers measured in millimetres read the style's scale; these tests
// pin it at the default 40 units per millimetre.
class GeometryTest : public testing::Test {
 protected:
  void SetUp() override { saved_scale_ = g_Style.GetScale(); g_Style.SetScale(40); }
  void TearDown() override { g_Style.SetScale(saved_scale_); }

 private:
  int saved_scale_ = 40;
};

}  // namespace

TEST(ModelToScreen, RoundsAndRoundTrips) {
  struct Case { int mx, my; double scale; int ox, oy; int sx, sy; };
  const Case kCases[] = {
      {100, 200, 1.0, 0, 0, 100, 200},
      {100, 200, 4.0, 20, -40, 20, 60},
      {-10, 10, 4.0, 0, 0, -3, 3},   // -2.5 and 2.5 round away from zero
      {7, -7, 2.0, 0, 0, 4, -4},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.mx << "," << c.my << " at " << c.scale);
    int sx = 0;
    int sy = 0;
    ModelToScreen(c.mx, c.my, &sx, &sy, c.scale, c.ox, c.oy);
    EXPECT_EQ(sx, c.sx);
    EXPECT_EQ(sy, c.sy);
    int mx = 0;
    int my = 0;
    ScreenToModel(sx, sy, &mx, &my, c.scale, c.ox, c.oy);
    EXPECT_LE(std::abs(mx - c.mx), c.scale / 2 + 0.5);
    EXPECT_LE(std::abs(my - c.my), c.scale / 2 + 0.5);
  }
}

TEST(ModelToScreen, ZeroScaleAndFarOriginsStayDefined) {
  int sx = 1;
  int sy = 1;
  ModelToScreen(5, -5, &sx, &sy, 0.0, 0, 0);
  EXPECT_EQ(sx, INT_MAX);
  EXPECT_EQ(sy, INT_MIN);
  ModelToScreen(0, 0, &sx, &sy, 0.0, 0, 0);  // 0 / 0
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 0);
  ModelToScreen(INT_MAX, INT_MIN, &sx, &sy, 1.0, INT_MIN, INT_MAX);
  EXPECT_EQ(sx, INT_MAX);
  EXPECT_EQ(sy, INT_MIN);
}

TEST(CircleThroughPoints, CentreRadiusAndTurningSign) {
  struct Case { int x1, y1, x2, y2, x3, y3; BOOL ok; int cx, cy, r; };
  const Case kCases[] = {
      // Counter-clockwise about the centre: negative radius.
      {10, 0, 0, 10, -10, 0, TRUE, 0, 0, -10},
      {-10, 0, 0, 10, 10, 0, TRUE, 0, 0, 10},
      {110, 50, 100, 60, 90, 50, TRUE, 100, 50, -10},
      {0, 0, 5, 5, 10, 10, FALSE, 0, 0, 0},                         // collinear
      {3, 3, 3, 3, 10, 0, FALSE, 0, 0, 0},                          // two equal points
      {1, 2, 5, 5, 1, 2, FALSE, 0, 0, 0},
      {600000, 0, 0, 600000, -600000, 0, FALSE, 0, 0, 0},           // too large
      {0, 0, 1, 0, 0, 1, FALSE, 0, 0, 0},                           // radius below 1
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2 << " "
                                    << c.x3 << "," << c.y3);
    int cx = -1;
    int cy = -1;
    int r = -1;
    EXPECT_EQ(CircleThroughPoints(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, &cx, &cy, &r), c.ok);
    EXPECT_EQ(r, c.r);
    if (c.ok) {
      EXPECT_EQ(cx, c.cx);
      EXPECT_EQ(cy, c.cy);
    }
  }
}

TEST(SolveLinear2, ResultCodes) {
  struct Case { double a1, b1, c1, a2, b2, c2; int code; int x, y; };
  const Case kCases[] = {
      {1, 1, 10, 1, -1, 2, 1, 6, 4},
      {2, 0, 5, 0, 2, -5, 1, 3, -3},   // 2.5 and -2.5 round away from zero
      {1, 1, 2, 2, 2, 4, 2, 0, 0},     // one line twice
      {1, 1, 2, 1, 1, 3, 0, 0, 0},     // parallel
      {0, 1, 2, 0, 3, 6, 2, 0, 0},     // one horizontal line twice
      {1, 0, 1, 1, 0, 2, 0, 0, 0},     // two vertical lines apart
      {1, 0, 1, 2, 0, 2, 2, 0, 0},     // one vertical line twice
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.a1 << "x+" << c.b1 << "y=" << c.c1 << ", " << c.a2 << "x+"
                                    << c.b2 << "y=" << c.c2);
    int x = 99;
    int y = 99;
    EXPECT_EQ(SolveLinear2(c.a1, c.b1, c.c1, c.a2, c.b2, c.c2, &x, &y), c.code);
    EXPECT_EQ(x, c.code == 1 ? c.x : 99);
    EXPECT_EQ(y, c.code == 1 ? c.y : 99);
  }
}

TEST(PointLineFoot, FootAndTruncatedDistance) {
  struct Case { int px, py, x1, y1, x2, y2; CPoint foot; int distance; };
  const Case kCases[] = {
      {3, 4, 0, 0, 10, 0, {3, 0}, 4},
      {3, 4, -5, 0, -1, 0, {3, 0}, 4},     // the line is unbounded
      {0, 3, 0, 0, 10, 10, {2, 2}, 2},     // foot (1.5, 1.5) rounds; 2.236 truncates
      {7, 7, 0, 0, 10, 10, {7, 7}, 0},
      {6, 8, 2, 2, 2, 2, {6, 8}, 0},       // no line: the point is its own foot
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.px << "," << c.py);
    int fx = 0;
    int fy = 0;
    EXPECT_EQ(PointLineFoot(c.px, c.py, c.x1, c.y1, c.x2, c.y2, &fx, &fy), c.distance);
    EXPECT_EQ(fx, c.foot.x);
    EXPECT_EQ(fy, c.foot.y);
  }
}

TEST(PerpendicularFoot, LineWithoutDirectionGivesThePoint) {
  int fx = 0;
  int fy = 0;
  EXPECT_NE(PerpendicularFoot(4, 5, 0, 0, 3, &fx, &fy), 1);
  EXPECT_EQ(fx, 4);
  EXPECT_EQ(fy, 5);
  EXPECT_EQ(PerpendicularFoot(4, 5, 0, 1, 1, &fx, &fy), 1);  // y = 1
  EXPECT_EQ(fx, 4);
  EXPECT_EQ(fy, 1);
}

TEST(RotatePoint, RoundsEachOffset) {
  const double s45 = std::sqrt(0.5);
  struct Case { int x, y, cx, cy; double s, c; int rx, ry; };
  const Case kCases[] = {
      {10, 0, 0, 0, 1, 0, 0, 10},
      {15, 5, 5, 5, 1, 0, 5, 15},
      {10, 0, 0, 0, s45, s45, 7, 7},
      {10, 0, 0, 0, -s45, s45, 7, -7},
      {-3, 0, 0, 0, 0, 0.5, -2, 0},              // -1.5 rounds to -2
      {INT_MAX, INT_MIN, INT_MAX, INT_MIN, 0.6, 0.8, INT_MAX, INT_MIN},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    int rx = 0;
    int ry = 0;
    RotatePoint(c.x, c.y, c.cx, c.cy, c.s, c.c, &rx, &ry);
    EXPECT_EQ(rx, c.rx);
    EXPECT_EQ(ry, c.ry);
  }
}

TEST_F(GeometryTest, BisectorHelpersNeedASegmentLongerThanAMillimetre) {
  int x = -1;
  int y = -1;
  EXPECT_EQ(ProjectPointOntoBisector(10, 30, 0, 0, 100, 0, &x, &y), 1);
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, 30);
  EXPECT_EQ(ProjectPointOntoBisector(10, 30, 0, 0, 40, 0, &x, &y), 0);  // exactly 1 mm
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 30);

  x = y = -1;
  EXPECT_FALSE(BisectorPointAtDistance(20, 0, 0, 40, 0, 0, 0, &x, &y));
  EXPECT_EQ(x, -1);
  struct Case { int px, py; CPoint expected; };
  const Case kCases[] = {
      {50, -100, {50, -20}},
      {50, 100, {50, 20}},
      {50, 0, {50, 20}},  // a tie takes the side left of A -> B
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.px << "," << c.py);
    ASSERT_TRUE(BisectorPointAtDistance(20, 0, 0, 100, 0, c.px, c.py, &x, &y));
    EXPECT_EQ(x, c.expected.x);
    EXPECT_EQ(y, c.expected.y);
  }
}

TEST_F(GeometryTest, BisectorPointWithADamagedScale) {
  g_Style.SetScale(-5);
  int x = -1;
  int y = -1;
  EXPECT_FALSE(BisectorPointAtDistance(20, 7, 7, 7, 7, 0, 0, &x, &y));
  EXPECT_EQ(x, -1);
  EXPECT_EQ(ProjectPointOntoBisector(3, 4, 7, 7, 7, 7, &x, &y), 0);  // no bisector: P itself
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);
}

TEST_F(GeometryTest, ParallelLineLiesRightOfTheTravel) {
  double a = 0;
  double b = 0;
  double c = 0;
  ASSERT_TRUE(ParallelLineAtDistance(0, 0, 100, 0, 10, &a, &b, &c));
  // Every point of the line satisfies a x + b y = c; (37, -10) lies on it.
  EXPECT_DOUBLE_EQ(a * 37 + b * -10, c);
  EXPECT_NE(a * 37 + b * 10, c);  // not the line to the left
  ASSERT_TRUE(ParallelLineAtDistance(0, 0, 0, 100, 10, &a, &b, &c));  // going up: right is +x
  EXPECT_DOUBLE_EQ(a * 10 + b * 55, c);
  a = b = c = 7;
  EXPECT_FALSE(ParallelLineAtDistance(5, 5, 5, 5, 10, &a, &b, &c));
  EXPECT_FALSE(ParallelLineAtDistance(0, 0, 3, 0, 10, &a, &b, &c));  // under a tenth of a millimetre
  EXPECT_TRUE(ParallelLineAtDistance(0, 0, 4, 0, 10, &a, &b, &c));
}

TEST(IsRotationToward, ShortWayIsPositive) {
  EXPECT_TRUE(IsRotationToward(10, 0, 0, 0, 0, 10));
  EXPECT_FALSE(IsRotationToward(10, 0, 0, 0, 0, -10));
  EXPECT_TRUE(IsRotationToward(0, -10, 0, 0, 10, 0));
  EXPECT_FALSE(IsRotationToward(10, 0, 0, 0, 10, -1));
}

TEST(IsTurnAbovePi, MeasuredOnTheScreen) {
  // With y pointing down, (0, 10) is below the corner on the screen.
  EXPECT_FALSE(IsTurnAbovePi({0, 0}, {10, 0}, {0, 10}));
  EXPECT_TRUE(IsTurnAbovePi({0, 0}, {0, 10}, {10, 0}));
}

TEST(PolygonAreaHeron, ClosedFans) {
  const CPoint square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
  EXPECT_NEAR(PolygonAreaHeron(square, 5), 100.0, 1e-9);
  EXPECT_NEAR(PolygonAreaHeron(square, 4), 50.0, 1e-9);  // the closed triangle 0, 1, 2
  EXPECT_EQ(PolygonAreaHeron(square, 3), 0.0);
  EXPECT_EQ(PolygonAreaHeron(nullptr, 5), 0.0);
  // Clockwise counts the same.
  const CPoint clockwise[] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
  EXPECT_NEAR(PolygonAreaHeron(clockwise, 5), 100.0, 1e-9);
}

TEST(SegmentToRectangle, BandAroundTheSegment) {
  CPoint corners[4];
  SegmentToRectangle(0, 0, 10, 0, 4, corners);
  EXPECT_EQ(corners[0], CPoint(0, 2));
  EXPECT_EQ(corners[1], CPoint(0, -2));
  EXPECT_EQ(corners[2], CPoint(10, -2));
  EXPECT_EQ(corners[3], CPoint(10, 2));
  SegmentToRectangle(5, 5, 5, 5, 4, corners);  // no direction: no NaN, a band of no width
  for (const CPoint& p : corners) EXPECT_EQ(p, CPoint(5, 5));
}

TEST(GetSizeColor, EverySizeIsBlack) {
  for (int index : {0, 1, 255, 256, 70000, -1}) EXPECT_EQ(GetSizeColor(index), RGB(0, 0, 0));
}

TEST(TextLines, LongestLineAndCount) {
  struct Case { const char* text; const char* longest; int lines; };
  const Case kCases[] = {
      {"ab\nabc\nab", "abc", 3},
      {"abc", "abc", 1},
      {"", "", 1},
      {"abc\nxyz", "abc", 2},      // an earlier line keeps its place on a tie
      {"a\n", "a", 2},
      {"\n\n", "\n\n", 3},         // all lines empty: the whole text
      {"\xC7\xB0\xC6\xAC\nab", "\xC7\xB0\xC6\xAC", 2},  // GBK bytes count as bytes
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GetLongestTextLine(c.text).str(), c.longest);
    EXPECT_EQ(CountTextLines(c.text), c.lines);
  }
}
