#include "design/geometry/spline_fit.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/finishes_in_time.h"

namespace {

const PointList kWave{{0, 0}, {300, 400}, {700, -200}, {1000, 0}};
const PointList kTriangleRing{{0, 0}, {1000, 0}, {500, 800}, {0, 0}};

PointList Sample(const PointList& controls, BOOL closed, double tol) {
  PointList out;
  EXPECT_TRUE(FitCubicSpline(controls, closed, tol, &out));
  return out;
}

// Whether every point of `part` occurs in `whole`, in the same order.
bool IsSubsequence(const PointList& part, const PointList& whole) {
  auto w = whole.begin();
  for (const CPoint& p : part) {
    w = std::find(w, whole.end(), p);
    if (w == whole.end()) return false;
    ++w;
  }
  return true;
}

}  // namespace

TEST(FitCubicSpline, AcceptsAndRefusesControlLists) {
  struct Case {
    const char* what;
    PointList controls;
    BOOL closed;
    BOOL ok;
  };
  const Case cases[] = {
      {"two controls", {{0, 0}, {100, 0}}, FALSE, FALSE},
      {"three controls, two of them repeats", {{0, 0}, {0, 0}, {100, 0}}, FALSE, FALSE},
      {"three distinct controls", {{0, 0}, {50, 40}, {100, 0}}, FALSE, TRUE},
      {"closed ring of three with its repeat", kTriangleRing, TRUE, TRUE},
      {"closed list of two and the repeat", {{0, 0}, {100, 0}, {0, 0}}, TRUE, FALSE},
      {"empty", {}, FALSE, FALSE},
  };
  for (const Case& c : cases) {
    PointList out{{9, 9}};
    EXPECT_EQ(FitCubicSpline(c.controls, c.closed, 1.0, &out), c.ok) << c.what;
    if (!c.ok) {
      EXPECT_TRUE(out.empty()) << c.what;
    }
  }
}

TEST(FitCubicSpline, CollinearControlsGiveAStraightRun) {
  EXPECT_EQ(Sample({{0, 0}, {50, 0}, {100, 0}}, FALSE, 0.5),
            (PointList{{0, 0}, {50, 0}, {100, 0}}));
  // Unevenly spaced on a slant: still no sample between the controls.
  EXPECT_EQ(Sample({{0, 0}, {10, 20}, {300, 600}}, FALSE, 0.5),
            (PointList{{0, 0}, {10, 20}, {300, 600}}));
}

TEST(FitCubicSpline, RepeatedControlIsIgnored) {
  EXPECT_EQ(Sample({{0, 0}, {300, 400}, {300, 400}, {700, -200}, {1000, 0}}, FALSE, 1.0),
            Sample(kWave, FALSE, 1.0));
}

TEST(FitCubicSpline, ToleranceBelowHalfSamplesAsHalf) {
  const PointList fine = Sample(kWave, FALSE, 0.5);
  EXPECT_EQ(Sample(kWave, FALSE, 0.1), fine);
  EXPECT_LT(Sample(kWave, FALSE, 20.0).size(), fine.size());
}

TEST(FitCubicSpline, SamplesKeepControlsAndStayNearTheCurve) {
  const PointList out = Sample(kWave, FALSE, 2.0);
  EXPECT_GT(out.size(), kWave.size());
  EXPECT_TRUE(IsSubsequence(kWave, out));
  // A finer sampling never lies farther than the tolerance (and the rounding
  // of both) from the coarse polyline.
  double dev = 0;
  FindMaxDeviation(Sample(kWave, FALSE, 0.5), out, &dev);
  EXPECT_LE(dev, 2.0 + 1.5);
}

TEST(FitCubicSpline, SymmetricControlsGiveASymmetricCurve) {
  const PointList out = Sample({{0, 0}, {500, 500}, {1000, 0}}, FALSE, 1.0);
  PointList mirrored;
  for (const CPoint& p : out) mirrored.emplace_front(1000 - p.x, p.y);
  EXPECT_EQ(out, mirrored);
}

TEST(FitCubicSpline, ClosedRingDoesNotRepeatItsHead) {
  const PointList ring = Sample(kTriangleRing, TRUE, 1.0);
  ASSERT_GT(ring.size(), 3u);
  EXPECT_EQ(ring.front(), CPoint(0, 0));
  EXPECT_NE(ring.back(), ring.front());
  EXPECT_TRUE(IsSubsequence({{0, 0}, {1000, 0}, {500, 800}}, ring));
  // The missing repeat is supplied.
  EXPECT_EQ(Sample({{0, 0}, {1000, 0}, {500, 800}}, TRUE, 1.0), ring);
}

TEST(FindMaxDeviation, WorstPointAndDistance) {
  struct Case {
    const char* what;
    PointList dense, fitted;
    CPoint worst;
    double dist;
  };
  const Case cases[] = {
      {"bump over a straight fit", {{0, 0}, {500, 100}, {1000, 0}}, {{0, 0}, {1000, 0}}, {500, 100},
       100.0},
      {"on the fit", {{0, 0}, {500, 0}, {1000, 0}}, {{0, 0}, {1000, 0}}, {0, 0}, 0.0},
      {"first of equal deviations", {{0, 0}, {300, 50}, {700, -50}, {1000, 0}},
       {{0, 0}, {1000, 0}}, {300, 50}, 50.0},
      {"no fitted points", {{0, 0}, {5, 5}}, {}, {0, 0}, 0.0},
  };
  for (const Case& c : cases) {
    double dist = -1;
    EXPECT_EQ(FindMaxDeviation(c.dense, c.fitted, &dist), c.worst) << c.what;
    EXPECT_NEAR(dist, c.dist, 1.0) << c.what;
  }
}

TEST(FitSplineControlPoints, TooFewDensePoints) {
  PointList controls;
  EXPECT_FALSE(FitSplineControlPoints({{0, 0}, {10, 0}}, 1.0, controls));
  EXPECT_FALSE(FitSplineControlPoints2({{0, 0}, {10, 0}}, 1.0, controls));
}

TEST(FitSplineControlPoints, StraightDenseRunKeepsOnlyItsEnds) {
  PointList dense;
  for (int x = 0; x <= 100; x += 10) dense.emplace_back(x, 0);
  PointList controls;
  ASSERT_TRUE(FitSplineControlPoints(dense, 1.0, controls));
  EXPECT_EQ(controls, (PointList{{0, 0}, {100, 0}}));
}

TEST(FitSplineControlPoints, RecoversASampledSpline) {
  const PointList dense = Sample(kWave, FALSE, 0.5);
  PointList controls;
  ASSERT_TRUE(FitSplineControlPoints(dense, 3.0, controls));
  EXPECT_EQ(controls.front(), dense.front());
  EXPECT_EQ(controls.back(), dense.back());
  EXPECT_GE(controls.size(), 3u);
  EXPECT_LT(controls.size(), dense.size() / 2);
  EXPECT_TRUE(IsSubsequence(controls, dense));
  double dev = 0;
  FindMaxDeviation(dense, Sample(controls, FALSE, 0.5), &dev);
  EXPECT_LE(dev, 3.0);
}

TEST(FitSplineControlPoints, EndsWhenTheWorstPointHugsAControl) {
  // (-2, 5) lies 5.4 from the head, beyond the tolerance of 5.2 as a
  // deviation, but rounds to 5 as a distance, so no span may take it.
  const PointList dense{{0, 0}, {-2, 5}, {1000, 0}};
  double dev = 0;
  EXPECT_EQ(FindMaxDeviation(dense, {{0, 0}, {1000, 0}}, &dev), CPoint(-2, 5));
  EXPECT_GT(dev, 5.2);
  PointList controls;
  BOOL ok = FALSE;
  ASSERT_TRUE(FinishesInTime([&] { ok = FitSplineControlPoints(dense, 5.2, controls); }));
  EXPECT_TRUE(ok);
  EXPECT_EQ(controls, (PointList{{0, 0}, {1000, 0}}));
  PointList ring;
  ASSERT_TRUE(FinishesInTime([&] { ok = FitSplineControlPoints2(dense, 5.2, ring); }));
  EXPECT_TRUE(ok);
}

TEST(FitSplineControlPoints2, RecoversASampledRing) {
  const PointList dense = Sample(kTriangleRing, TRUE, 0.5);
  PointList controls;
  ASSERT_TRUE(FitSplineControlPoints2(dense, 3.0, controls));
  EXPECT_EQ(controls.front(), dense.front());
  EXPECT_EQ(controls.back(), dense.front());
  EXPECT_GE(controls.size(), 4u);
  EXPECT_LT(controls.size(), dense.size() / 2);
  PointList closedDense = dense;
  closedDense.push_back(dense.front());
  EXPECT_TRUE(IsSubsequence(controls, closedDense));
}

TEST(FitCurveVertices, FlagsEndsZeroAndAddedOnes) {
  VertexList in;
  for (const CPoint& p : Sample(kWave, FALSE, 0.5)) in.push_back({p.x, p.y, 5});
  auto kept = std::next(in.begin(), static_cast<long>(in.size() / 3));
  kept->flag = kControlVertexFlag2;
  VertexList out;
  ASSERT_TRUE(FitCurveVertices(in, 3.0, &out));
  ASSERT_GE(out.size(), 3u);
  EXPECT_EQ(out.front().flag, kPlainVertexFlag);
  EXPECT_EQ(out.back().flag, kPlainVertexFlag);
  EXPECT_EQ(out.front().x, in.front().x);
  EXPECT_EQ(out.back().x, in.back().x);
  int keptSeen = 0;
  for (auto v = std::next(out.begin()); v != std::prev(out.end()); ++v) {
    if (v->x == kept->x && v->y == kept->y) {
      ++keptSeen;
      EXPECT_EQ(v->flag, kControlVertexFlag2);
    } else {
      EXPECT_EQ(v->flag, kControlVertexFlag);
    }
  }
  EXPECT_EQ(keptSeen, 1);
  EXPECT_LT(out.size(), in.size());
}

TEST(FitCurveVertices, ShortInputIsCopiedWithPlainEnds) {
  const VertexList in{{0, 0, 3}, {10, 0, 1}};
  for (auto fit : {FitCurveVertices, FitCurveVertices2}) {
    VertexList out;
    ASSERT_TRUE(fit(in, 1.0, &out));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out.front().flag, kPlainVertexFlag);
    EXPECT_EQ(out.back().flag, kPlainVertexFlag);
    EXPECT_EQ(out.back().x, 10);
  }
}

TEST(FitCurveVertices2, RingKeepsItsHeadOnce) {
  VertexList in;
  for (const CPoint& p : Sample(kTriangleRing, TRUE, 0.5)) in.push_back({p.x, p.y, 0});
  VertexList out;
  ASSERT_TRUE(FitCurveVertices2(in, 3.0, &out));
  ASSERT_GE(out.size(), 4u);
  EXPECT_EQ(out.front().flag, kPlainVertexFlag);
  EXPECT_EQ(out.back().flag, kPlainVertexFlag);
  EXPECT_EQ(out.back().x, in.back().x);
  EXPECT_EQ(out.back().y, in.back().y);
  const auto heads = std::count_if(out.begin(), out.end(), [&](const CVertex& v) {
    return v.x == in.front().x && v.y == in.front().y;
  });
  EXPECT_EQ(heads, 1);
}

TEST(FollowMovedAnchors, Cases) {
  constexpr UINT kFree = 1;
  struct Case {
    const char* what;
    std::vector<CPoint> orig;
    std::vector<UINT> flags;
    std::vector<CPoint> moved;  // in: anchors moved, others as before
    std::vector<CPoint> expected;
  };
  std::vector<CPoint> line, shifted;
  std::vector<UINT> ends(11, kFree);
  ends[0] = ends[10] = kAnchorFlag;
  for (int i = 0; i <= 10; ++i) {
    line.emplace_back(i * 10, i * i);
    shifted.emplace_back(i * 10 + 7, i * i - 3);
  }
  std::vector<CPoint> endsMoved = line;
  endsMoved[0] = shifted[0];
  endsMoved[10] = shifted[10];
  const Case cases[] = {
      {"translation of anchors 0 and 10", line, ends, endsMoved, shifted},
      {"quarter turn about the first anchor",
       {{0, 0}, {50, 10}, {100, 0}},
       {kAnchorFlag, kFree, kAnchorFlag},
       {{0, 0}, {50, 10}, {0, 100}},
       {{0, 0}, {-10, 50}, {0, 100}}},
      {"doubled",
       {{0, 0}, {50, 10}, {100, 0}},
       {kAnchorFlag, kFree, kAnchorFlag},
       {{0, 0}, {50, 10}, {200, 0}},
       {{0, 0}, {100, 20}, {200, 0}}},
      {"one anchor carries every point",
       {{0, 0}, {5, 5}, {9, 1}},
       {kFree, kAnchorFlag, kFree},
       {{0, 0}, {6, 3}, {9, 1}},
       {{1, -2}, {6, 3}, {10, -1}}},
      {"no anchor",
       {{0, 0}, {5, 5}},
       {kFree, kFree},
       {{1, 1}, {2, 2}},
       {{1, 1}, {2, 2}}},
      {"first pair carries the points before it, last pair those after it",
       {{-10, 0}, {0, 0}, {5, 5}, {10, 0}, {20, 0}},
       {kFree, kAnchorFlag, kFree, kAnchorFlag, kFree},
       {{-10, 0}, {3, 4}, {5, 5}, {13, 4}, {20, 0}},
       {{-7, 4}, {3, 4}, {8, 9}, {13, 4}, {23, 4}}},
      {"adjacent anchors move nothing",
       {{0, 0}, {10, 0}, {20, 0}},
       {kAnchorFlag, kAnchorFlag, kFree},
       {{1, 1}, {11, 1}, {20, 0}},
       {{1, 1}, {11, 1}, {20, 0}}},
      {"coinciding anchors translate by the first",
       {{0, 0}, {5, 5}, {10, 0}, {0, 0}},
       {kAnchorFlag, kFree, kFree, kAnchorFlag},
       {{3, 4}, {5, 5}, {10, 0}, {8, 9}},
       {{3, 4}, {8, 9}, {13, 4}, {8, 9}}},
      {"lengths that differ are refused",
       {{0, 0}, {5, 5}},
       {kAnchorFlag},
       {{1, 1}, {5, 5}},
       {{1, 1}, {5, 5}}},
  };
  for (const Case& c : cases) {
    std::vector<CPoint> moved = c.moved;
    FollowMovedAnchors(c.orig, c.flags, moved);
    EXPECT_EQ(moved, c.expected) << c.what;
  }
}
