#include "design/geometry/list_helpers.h"

#include <list>

#include <gtest/gtest.h>

namespace {

TEST(MapPointListByPivot, SimilarityAboutThePivot) {
  struct Case {
    const char* name;
    CPoint p0, p1, p2;
    std::list<CPoint> in, out;
  };
  const Case kCases[] = {
      {"p1 goes to p2", {0, 0}, {10, 0}, {0, 20}, {{10, 0}}, {{0, 20}}},
      {"quarter turn, doubled", {0, 0}, {10, 0}, {0, 20}, {{0, 0}, {5, 0}, {3, 4}},
       {{0, 0}, {0, 10}, {-8, 6}}},
      {"about a pivot off the origin", {100, 100}, {110, 100}, {90, 100}, {{100, 105}, {120, 100}},
       {{100, 95}, {80, 100}}},
      {"same length and direction: unchanged", {5, 5}, {9, 8}, {9, 8}, {{-7, 3}, {40, 41}},
       {{-7, 3}, {40, 41}}},
      {"halved, coordinates rounded", {0, 0}, {4, 0}, {2, 0}, {{3, -3}, {1, 1}}, {{2, -2}, {1, 1}}},
      {"p1 on p0: copied unchanged", {3, 3}, {3, 3}, {50, 0}, {{1, 2}, {3, 4}}, {{1, 2}, {3, 4}}},
      {"empty list", {0, 0}, {1, 0}, {0, 1}, {}, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::list<CPoint> out{{999, 999}};
    MapPointListByPivot(c.p0.x, c.p0.y, c.p1.x, c.p1.y, c.p2.x, c.p2.y, c.in, out);
    EXPECT_EQ(out, c.out);
    std::list<CPoint> same = c.in;
    MapPointListByPivot(c.p0.x, c.p0.y, c.p1.x, c.p1.y, c.p2.x, c.p2.y, same, same);
    EXPECT_EQ(same, c.out);
  }
}

TEST(SortRectsByBand, RightEdgeThenBottomWithinTolerance) {
  struct Case {
    const char* name;
    int tolerance;
    std::list<CRect> in, out;
  };
  const CRect a(0, 0, 10, 50), b(0, 0, 12, 20), c(0, 0, 30, 10), d(0, 0, 11, 21);
  const Case kCases[] = {
      {"exact order by right edge", 1, {c, b, a}, {a, b, c}},
      {"close right edges: the bottom decides", 5, {c, a, b}, {b, a, c}},
      {"equal on both: the earlier first", 5, {d, c, b}, {d, b, c}},
      {"tolerance 0: nothing counts as equal", 0, {b, d, a}, {a, d, b}},
      {"empty", 3, {}, {}},
  };
  for (const Case& k : kCases) {
    SCOPED_TRACE(k.name);
    std::list<CRect> in = k.in;
    std::list<CRect> out{CRect(7, 7, 7, 7)};  // kept: sorted rectangles follow it
    SortRectsByBand(in, k.tolerance, out);
    EXPECT_TRUE(in.empty());
    std::list<CRect> expected{CRect(7, 7, 7, 7)};
    expected.insert(expected.end(), k.out.begin(), k.out.end());
    EXPECT_EQ(out, expected);
  }
}

TEST(ConstantTwo, IsTwo) { EXPECT_EQ(ConstantTwo(), 2.0); }

}  // namespace
