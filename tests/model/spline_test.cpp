#include "model/spline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "model/vertex_node.h"

namespace {

using Points = std::vector<CFlaggedPoint>;

Points Sample(const Points& in, int tolerance, int closed) {
  return SampleCubicSpline(in.data(), static_cast<int>(in.size()), tolerance, closed);
}

bool SamePlace(const CFlaggedPoint& a, const CFlaggedPoint& b) { return a.X == b.X && a.Y == b.Y; }

bool SamePoints(const Points& a, const Points& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!SamePlace(a[i], b[i]) || a[i].Flags != b[i].Flags) return false;
  }
  return true;
}

// Every output point is a knot, in input order, or an added sample.
void ExpectKnotsInOrderAndSamplesFlagged(const Points& in, const Points& out) {
  size_t next_knot = 0;
  for (const CFlaggedPoint& p : out) {
    if (next_knot < in.size() && SamePlace(p, in[next_knot]) && p.Flags == in[next_knot].Flags) {
      ++next_knot;
    } else {
      EXPECT_EQ(p.Flags, kSplineSampleFlags) << p.X << "," << p.Y;
    }
  }
  EXPECT_EQ(next_knot, in.size());
}

// Points of a circle of radius r about (cx, cy), every `step` degrees.
Points Arc(int cx, int cy, double r, int from_deg, int to_deg, int step, uint32_t flags) {
  Points out;
  for (int a = from_deg; a <= to_deg; a += step) {
    const double rad = a * 3.14159265358979 / 180;
    out.push_back({flags, static_cast<int32_t>(std::lround(cx + r * std::cos(rad))),
                   static_cast<int32_t>(std::lround(cy + r * std::sin(rad)))});
  }
  return out;
}

size_t CountSamples(const Points& out) {
  return static_cast<size_t>(std::count_if(
      out.begin(), out.end(), [](const CFlaggedPoint& p) { return p.Flags == kSplineSampleFlags; }));
}

}  // namespace

TEST(SampleCubicSpline, StraightRunsAddNothing) {
  const Points kRuns[] = {
      {{1, 0, 0}, {1, 100, 0}, {1, 200, 0}, {1, 300, 0}},
      {{1, 0, 0}, {3, 10, 10}, {1, 400, 400}},  // uneven spacing
      {{0, 5, 0}, {1, 5, 70}, {1, 5, 80}, {2, 5, 1000}},
  };
  for (const Points& run : kRuns) {
    EXPECT_TRUE(SamePoints(Sample(run, 1, 0), run));
    EXPECT_TRUE(SamePoints(Sample(run, 0, 0), run));
  }
}

TEST(SampleCubicSpline, CurvesGainFlaggedSamplesBetweenOrderedKnots) {
  const Points arc = Arc(0, 0, 2000, 0, 90, 30, 1);
  const Points out = Sample(arc, 1, 0);
  EXPECT_GT(out.size(), arc.size());
  ExpectKnotsInOrderAndSamplesFlagged(arc, out);
  // No two neighbours coincide.
  for (size_t i = 1; i < out.size(); ++i) EXPECT_FALSE(SamePlace(out[i - 1], out[i])) << i;
}

TEST(SampleCubicSpline, ClosedCircleFollowsTheCircle) {
  // Twelve knots round a circle: the periodic spline stays within a unit or
  // two of it, and the polyline's chords within the tolerance of the spline.
  const Points circle = Arc(0, 0, 2000, 0, 360, 30, 1);
  ASSERT_TRUE(SamePlace(circle.front(), circle.back()));
  const Points out = Sample(circle, 1, 1);
  ExpectKnotsInOrderAndSamplesFlagged(circle, out);
  EXPECT_GT(out.size(), 3 * circle.size());
  for (const CFlaggedPoint& p : out) EXPECT_NEAR(std::hypot(p.X, p.Y), 2000.0, 2.0);
  for (size_t i = 1; i < out.size(); ++i) {
    const double mid_x = (out[i - 1].X + out[i].X) / 2.0;
    const double mid_y = (out[i - 1].Y + out[i].Y) / 2.0;
    EXPECT_NEAR(std::hypot(mid_x, mid_y), 2000.0, 3.5) << i;
  }
}

TEST(SampleCubicSpline, ToleranceControlsTheDensity) {
  const Points arc = Arc(0, 0, 5000, 0, 180, 45, 3);
  const size_t half = CountSamples(Sample(arc, 0, 0));
  EXPECT_EQ(CountSamples(Sample(arc, -7, 0)), half);  // below 1: half a unit
  const size_t one = CountSamples(Sample(arc, 1, 0));
  const size_t three = CountSamples(Sample(arc, 3, 0));
  EXPECT_GT(half, one);
  EXPECT_GT(one, three);
  EXPECT_GT(three, 0u);
}

TEST(SampleCubicSpline, TooFewPointsComeBackUnchanged) {
  const Points two = {{0, 0, 0}, {0, 10, 10}};
  EXPECT_TRUE(SamePoints(Sample(two, 1, 0), two));
  const Points two_with_repeat = {{0, 0, 0}, {0, 0, 0}, {0, 10, 10}};
  EXPECT_TRUE(SamePoints(Sample(two_with_repeat, 1, 0), two_with_repeat));
  const Points closed_two = {{1, 0, 0}, {1, 1000, 0}, {1, 0, 0}};
  EXPECT_TRUE(SamePoints(Sample(closed_two, 1, 1), closed_two));
  // Three distinct points open are enough.
  EXPECT_GT(Sample({{1, 0, 0}, {1, 1000, 0}, {1, 0, 1000}}, 1, 0).size(), 3u);
  EXPECT_TRUE(Sample({}, 1, 0).empty());
  EXPECT_TRUE(SampleCubicSpline(nullptr, 5, 1, 0).empty());
}

TEST(SampleCubicSpline, RepeatedPointsSurviveAfterTheirKnot) {
  Points arc = Arc(0, 0, 3000, 0, 120, 30, 1);
  const CFlaggedPoint repeat{3, arc[2].X, arc[2].Y};
  arc.insert(arc.begin() + 3, repeat);
  const Points out = Sample(arc, 1, 0);
  auto knot = std::find_if(out.begin(), out.end(), [&](const CFlaggedPoint& p) {
    return SamePlace(p, repeat) && p.Flags == 1;
  });
  ASSERT_NE(knot, out.end());
  ASSERT_NE(knot + 1, out.end());
  EXPECT_TRUE(SamePlace(knot[1], repeat));
  EXPECT_EQ(knot[1].Flags, 3u);  // the repeat keeps its own flags
  ExpectKnotsInOrderAndSamplesFlagged(arc, out);
}

TEST(SampleCubicSpline, ClosedRunsArePeriodic) {
  // A closed spline through the corners of a square is the same after a
  // quarter turn about the centre; an open one through the same points is not.
  const Points square = {{1, 0, 0}, {1, 1000, 0}, {1, 1000, 1000}, {1, 0, 1000}, {1, 0, 0}};
  auto turned_is_in = [](const Points& out) {
    for (const CFlaggedPoint& p : out) {
      const int tx = 1000 - p.Y;  // (x, y) -> (500 - (y - 500), 500 + (x - 500))
      const int ty = p.X;
      const bool found = std::any_of(out.begin(), out.end(), [&](const CFlaggedPoint& q) {
        return std::abs(q.X - tx) <= 1 && std::abs(q.Y - ty) <= 1;
      });
      if (!found) return false;
    }
    return true;
  };
  const Points closed = Sample(square, 1, 1);
  ExpectKnotsInOrderAndSamplesFlagged(square, closed);
  EXPECT_TRUE(SamePlace(closed.front(), closed.back()));
  EXPECT_TRUE(turned_is_in(closed));
  EXPECT_FALSE(turned_is_in(Sample(square, 1, 0)));
}

TEST(SampleCubicSpline, HostileCoordinatesStayBounded) {
  const Points wild = {{1, INT_MIN, INT_MIN}, {1, INT_MAX, INT_MIN}, {1, INT_MAX, INT_MAX},
                       {1, INT_MIN, INT_MAX}, {1, 0, 0}};
  const Points out = Sample(wild, 0, 0);
  EXPECT_LE(out.size(), wild.size() + 4u * 65536u);
  ExpectKnotsInOrderAndSamplesFlagged(wild, out);
}

TEST(InterpolateCubicSpline, BuildsAClosedRingTheCallerOwns) {
  const Points arc = Arc(0, 0, 2000, 0, 90, 30, 1);
  const Points expected = Sample(arc, 1, 0);
  CVertexNode* head = nullptr;
  int count = -1;
  EXPECT_EQ(InterpolateCubicSpline(arc.data(), static_cast<int>(arc.size()), 1, 0, &head, &count), 1);
  ASSERT_EQ(count, static_cast<int>(expected.size()));
  CVertexNode* node = head;
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(node->Flags, expected[i].Flags);
    EXPECT_EQ(node->X, expected[i].X);
    EXPECT_EQ(node->Y, expected[i].Y);
    EXPECT_EQ(node->Next->Prev, node);
    node = node->Next;
  }
  EXPECT_EQ(node, head);
  for (int i = 0; i < count; ++i) {
    CVertexNode* next = node->Next;
    delete node;
    node = next;
  }

  EXPECT_EQ(InterpolateCubicSpline(nullptr, 0, 1, 0, &head, &count), 1);
  EXPECT_EQ(head, nullptr);
  EXPECT_EQ(count, 0);
}

namespace {

// A ring of nodes of the given kinds, freed with the fixture.
class RunRing {
 public:
  explicit RunRing(std::initializer_list<int> kinds) {
    for (int kind : kinds) ring_.AddTail(0, 0, static_cast<uint32_t>(kind));
  }
  CVertexNode* at(int i) const {
    CVertexNode* n = ring_.GetHead();
    while (i-- > 0) n = n->Next;
    return n;
  }

 private:
  CVertexRing ring_;
};

}  // namespace

TEST(FindSplineRun, Cases) {
  struct Case {
    const char* what;
    std::initializer_list<int> kinds;
    int from;
    int result;
    int start;
    int end;
  };
  const Case kCases[] = {
      {"all smooth: one closed run", {1, 3, 1, 3}, 2, 1, 2, 2},
      {"copies and samples only", {64, 100, 64}, 0, 1, 0, 0},
      {"corners only", {0, 2, 0}, 0, 0, -1, -1},
      {"one corner, nothing smooth", {0, 64, 100}, 1, 1, 0, 0},
      {"a run between corners", {0, 1, 1, 2, 0}, 0, 1, 0, 3},
      {"from inside a run", {0, 1, 1, 2, 0}, 1, 1, 0, 3},
      {"the run closes on its own start", {0, 1}, 0, 1, 0, 0},
      {"copies inside the run", {2, 64, 1, 64, 0, 64}, 0, 1, 0, 4},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    RunRing ring(c.kinds);
    CVertexNode* start = nullptr;
    CVertexNode* end = nullptr;
    EXPECT_EQ(FindSplineRun(ring.at(c.from), &start, &end), c.result);
    if (c.result == 1) {
      EXPECT_EQ(start, ring.at(c.start));
      EXPECT_EQ(end, ring.at(c.end));
    }
  }
}
