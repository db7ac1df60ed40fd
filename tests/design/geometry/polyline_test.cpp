#include "design/geometry/polyline.h"

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/finishes_in_time.h"

namespace {

const PointList kSquare{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}};
const PointList kElbow{{0, 0}, {10, 0}, {10, 10}};

// The index of a position, -1 for none.
int Index(const PointList& list, PointPos p) {
  return p == list.end() ? -1 : static_cast<int>(std::distance(list.begin(), p));
}

}  // namespace

TEST(HitTestPolyline, VertexSegmentToleranceAndTies) {
  struct Case {
    const char* what;
    PointList list;
    double tol;
    int x, y;
    BOOL hit;
    CPoint nearest;
    double distance;
    int prev, at, next;
  };
  const Case kCases[] = {
      {"on a middle vertex", kElbow, 2.0, 10, 0, TRUE, {10, 0}, 0, 1, 1, 2},
      {"on the tail", kElbow, 2.0, 10, 10, TRUE, {10, 10}, 0, 1, 2, 2},
      {"3 off a middle, tolerance 2", kElbow, 2.0, 5, 3, FALSE, {}, 0, -1, -1, -1},
      {"3 off a middle, tolerance 5", kElbow, 5.0, 5, 3, TRUE, {5, 0}, 3, 0, -1, 1},
      {"two segments equally near: the later", kElbow, 5.0, 8, 2, TRUE, {10, 2}, 2, 1, -1, 2},
      {"foot on a vertex, not the query", kElbow, 5.0, 12, -1, TRUE, {10, 0}, 2.23606797749979,
       1, -1, 2},
      {"segment of no length is hit", {{3, 3}, {3, 3}}, 5.0, 3, 6, TRUE, {3, 3}, 3, 0, -1, 1},
      {"one point", {{3, 3}}, 5.0, 3, 3, FALSE, {}, 0, -1, -1, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPoint nearest;
    double distance = -1;
    PointPos prev = c.list.end(), at = c.list.end(), next = c.list.end();
    ASSERT_EQ(HitTestPolyline(c.list, c.tol, c.x, c.y, &nearest, &distance, &prev, &at, &next),
              c.hit);
    if (!c.hit) continue;
    EXPECT_EQ(nearest, c.nearest);
    EXPECT_DOUBLE_EQ(distance, c.distance);
    EXPECT_EQ(Index(c.list, prev), c.prev);
    EXPECT_EQ(Index(c.list, at), c.at);
    EXPECT_EQ(Index(c.list, next), c.next);
  }
}

TEST(HitTestClosedPolyline, ClosingSegmentGivesTailAndHead) {
  CPoint nearest;
  double distance = 0;
  PointPos prev, at, next;
  ASSERT_TRUE(HitTestClosedPolyline(kSquare, 5.0, 2, 500, &nearest, &distance, &prev, &at, &next));
  EXPECT_EQ(nearest, CPoint(0, 500));
  EXPECT_EQ(Index(kSquare, prev), 3);
  EXPECT_EQ(Index(kSquare, at), -1);
  EXPECT_EQ(Index(kSquare, next), 0);
  ASSERT_TRUE(HitTestClosedPolyline(kSquare, 5.0, 0, 1000, &nearest, &distance, &prev, &at, &next));
  EXPECT_EQ(Index(kSquare, at), 3);
  EXPECT_EQ(Index(kSquare, next), 0);
}

TEST(PointAtLength, ForwardsBackwardsAndTooLong) {
  struct Case { double length; BOOL ok; CPoint point; int at; };
  const Case kCases[] = {
      {15, TRUE, {10, 5}, -1}, {-5, TRUE, {10, 5}, -1}, {10, TRUE, {10, 0}, 1},
      {0, TRUE, {0, 0}, 0},    {25, FALSE, {}, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    CPoint p;
    PointPos prev, at = kElbow.end(), next;
    ASSERT_EQ(PointAtLength(kElbow, c.length, &p, &prev, &at, &next), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(p, c.point);
    EXPECT_EQ(Index(kElbow, at), c.at);
  }
}

TEST(PointAlongPolyline, WalksBothWaysAndStopsAtTheEnds) {
  struct Case { bool vertex; int x, y; double length; BOOL ok; CPoint point; };
  const Case kCases[] = {
      {false, 5, 0, 10, TRUE, {10, 5}},   {false, 5, 0, -3, TRUE, {2, 0}},
      {false, 5, 1, 0, TRUE, {5, 1}},     {false, 5, 0, 100, FALSE, {10, 10}},
      {false, 5, 0, -100, FALSE, {0, 0}}, {true, 5, 0, 3, TRUE, {10, 0}},
      {false, 5, 20, 1, FALSE, {-1, -1}},  // not on the polyline
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    CPoint p(-1, -1);
    const auto walk = c.vertex ? VertexAlongPolyline : PointAlongPolyline;
    EXPECT_EQ(walk(kElbow, c.x, c.y, c.length, &p), c.ok);
    EXPECT_EQ(p, c.point);
  }
}

TEST(PointAlongClosedPolyline, WrapsRoundBothWays) {
  struct Case { const char* what; bool vertex; int x, y; double length; CPoint point; };
  const Case kCases[] = {
      {"along the first side", false, 0, 0, 500, {500, 0}},
      {"backwards over the closing side", false, 0, 0, -500, {0, 500}},
      {"past the perimeter wraps", false, 0, 0, 4500, {500, 0}},
      {"backwards past the perimeter", false, 0, 0, -4500, {0, 500}},
      {"exactly to a vertex", false, 0, 0, 1000, {1000, 0}},
      {"from a point inside a side", false, 500, 0, 1000, {1000, 500}},
      {"from near the ring", false, 500, 3, 500, {1000, 0}},
      {"a whole lap", false, 0, 0, 4000, {0, 0}},
      {"first vertex beyond", true, 0, 0, 500, {1000, 0}},
      {"first vertex beyond, backwards", true, 500, 0, -600, {0, 1000}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPoint p(-1, -1);
    const auto walk = c.vertex ? VertexAlongClosedPolyline : PointAlongClosedPolyline;
    EXPECT_TRUE(walk(kSquare, c.x, c.y, c.length, &p));
    EXPECT_EQ(p, c.point);
  }
  CPoint p(-1, -1);
  EXPECT_FALSE(PointAlongClosedPolyline(kSquare, 500, 500, 10, &p));
  EXPECT_EQ(p, CPoint(-1, -1));
}

TEST(PointAlongClosedPolyline, DegenerateRingsAndHugeLengthsEnd) {
  const PointList still{{7, 7}, {7, 7}, {7, 7}};
  const PointList tiny{{0, 0}, {1, 0}, {1, 1}, {0, 1}};  // perimeter 4
  struct Case { const char* what; const PointList* ring; double length; BOOL ok; CPoint point; };
  const Case kCases[] = {
      {"no length, asked for 10", &still, 10, FALSE, {-1, -1}},
      {"no length, asked for -10", &still, -10, FALSE, {-1, -1}},
      {"no length, asked for 0", &still, 0, TRUE, {7, 7}},
      {"2e9 on perimeter 4", &tiny, 2000000000.0, TRUE, {0, 0}},
      {"2e9 + 1 on perimeter 4", &tiny, 2000000001.0, TRUE, {1, 0}},
      {"-2e9 - 1 on perimeter 4", &tiny, -2000000001.0, TRUE, {0, 1}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const CPoint start = c.ring->front();
    for (const auto walk : {PointAlongClosedPolyline, VertexAlongClosedPolyline}) {
      auto result = std::make_shared<std::pair<BOOL, CPoint>>(FALSE, CPoint(-1, -1));
      const PointList ring = *c.ring;
      ASSERT_TRUE(FinishesInTime([=] {
        result->first = walk(ring, start.x, start.y, c.length, &result->second);
      }));
      EXPECT_EQ(result->first, c.ok);
      EXPECT_EQ(result->second, c.point);
    }
  }
}

TEST(PolylineMeasures, LengthAreaRectsAndOrientation) {
  double exact = 0;
  EXPECT_EQ(PolylineLengthEx(kElbow, &exact), 20);
  EXPECT_EQ(ClosedPolylineLengthEx(kElbow, &exact), 34);
  EXPECT_NEAR(exact, 20 + 14.142135623730951, 1e-12);
  EXPECT_EQ(ClosedPolylineLength(kSquare), 4000);
  EXPECT_DOUBLE_EQ(PolygonArea(kSquare), 1000000.0);
  EXPECT_DOUBLE_EQ(PolygonArea({{0, 0}, {5, 5}}), 0.0);

  CRect r;
  GetPointListRect(&r, kSquare);
  EXPECT_EQ(r, CRect(0, 0, 1001, 1001));
  GetPointListExtent(&r, kSquare);
  EXPECT_EQ(r, CRect(0, 0, 1000, 1000));
  GetPointListRect(&r, {});
  EXPECT_TRUE(r.IsRectEmpty());
  GetSegmentRect(&r, 10, 3, -2, 8);
  EXPECT_EQ(r, CRect(-2, 3, 11, 9));

  PointList reversed;
  ReverseRing(kSquare, &reversed);
  EXPECT_EQ(reversed, (PointList{{0, 0}, {0, 1000}, {1000, 1000}, {1000, 0}}));
  EXPECT_EQ(GetRingOrientation(kSquare), FALSE);
  EXPECT_EQ(GetRingOrientation(reversed), TRUE);
  // A lowest vertex with a spike back along one side is dropped and retried.
  EXPECT_EQ(GetRingOrientation({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}, {0, 500}}),
            FALSE);
  EXPECT_EQ(GetRingOrientation({{0, 0}, {1, 1}}), TRUE);
}

TEST(PolylineSearch, FindNearestAndInside) {
  PointPos prev, at, next;
  ASSERT_TRUE(FindPointNeighbours(kElbow, 0, 0, &prev, &at, &next));
  EXPECT_EQ(Index(kElbow, prev), -1);
  EXPECT_EQ(Index(kElbow, next), 1);
  ASSERT_TRUE(FindPointNeighboursAlt(kElbow, 10, 10, &prev, &at, &next));
  EXPECT_EQ(Index(kElbow, prev), 1);
  EXPECT_EQ(Index(kElbow, next), 2);
  EXPECT_FALSE(FindPointNeighbours(kElbow, 1, 1, &prev, &at, &next));

  int d = 0;
  EXPECT_EQ(NearestListPoint(9, 8, kElbow, &d), CPoint(10, 10));
  EXPECT_EQ(d, 2);
  EXPECT_EQ(NearestListPoint(9, 8, {}, &d), CPoint(0, 0));
  EXPECT_EQ(d, 2147483647);

  CPoint ahead;
  EXPECT_TRUE(NearestPointAhead(5, -1, 6, 0, kElbow, &ahead));
  EXPECT_EQ(ahead, CPoint(10, 0));
  EXPECT_FALSE(NearestPointAhead(20, 20, 30, 30, kElbow, &ahead));

  EXPECT_EQ(IsPointInPointList(500, 500, kSquare), 1);
  EXPECT_EQ(IsPointInPointList(1500, 500, kSquare), 0);
  EXPECT_EQ(IsPointInPointList(5, 5, {{0, 0}, {10, 10}}), 0);

  std::list<PointList> runs;
  CollectSegmentsNearPoint(0, 0, 3, {{-10, 0}, {10, 0}, {20, 20}, {0, 2}, {-10, 2}}, &runs);
  EXPECT_EQ(runs, (std::list<PointList>{{{-10, 0}, {10, 0}}, {{20, 20}, {0, 2}, {-10, 2}}}));
}

TEST(PolylineEditing, DuplicatesAndInsertionByCoordinate) {
  PointList l{{0, 0}, {0, 0}, {5, 5}, {0, 0}};
  RemoveDuplicatePoints(l);
  EXPECT_EQ(l, (PointList{{0, 0}, {5, 5}}));
  l = {{0, 0}, {0, 0}, {5, 5}, {0, 0}};
  EXPECT_EQ(RemoveDuplicatePoints2(l), 3);

  struct Case { const char* what; PointList list; CPoint q; int result; PointList after; };
  const Case kCases[] = {
      {"into a segment", {{0, 0}, {10, 0}, {20, 0}}, {15, 1}, 2,
       {{0, 0}, {10, 0}, {15, 1}, {20, 0}}},
      {"keyed by y", {{0, 0}, {1, 10}, {0, 20}}, {3, 5}, 1, {{0, 0}, {3, 5}, {1, 10}, {0, 20}}},
      {"before a falling head", {{20, 0}, {10, 0}}, {5, 0}, 0, {{5, 0}, {20, 0}, {10, 0}}},
      {"beyond the tail", {{0, 0}, {10, 0}}, {30, 0}, 3, {{0, 0}, {10, 0}, {30, 0}}},
      {"into one point", {{4, 4}}, {30, 0}, 1, {{4, 4}, {30, 0}}},
  };
  for (Case c : kCases) {
    SCOPED_TRACE(c.what);
    PointPos pos = c.list.end();
    EXPECT_EQ(InsertPointByCoordinate(c.list, c.q.x, c.q.y, &pos), c.result);
    EXPECT_EQ(c.list, c.after);
  }
  PointList empty;
  PointPos pos = empty.end();
  EXPECT_EQ(InsertPointByCoordinate(empty, 1, 2, &pos), 0);
  EXPECT_EQ(pos, empty.begin());
}

TEST(PolylineSections, RingAndOpenSections) {
  struct Case {
    const char* what;
    BOOL (*section)(const PointList&, int, int, int, int, PointList*);
    const PointList* ring;
    BOOL ok;
    PointList out;
  };
  PointList clockwise;
  ReverseRing(kSquare, &clockwise);
  const Case kCases[] = {
      {"forward", GetRingSectionForward, &kSquare, TRUE, {{1000, 500}, {1000, 1000}, {500, 1000}}},
      {"backward", GetRingSectionBackward, &kSquare, TRUE,
       {{1000, 500}, {1000, 0}, {0, 0}, {0, 1000}, {500, 1000}}},
      {"counter-clockwise on a counter-clockwise ring", GetRingSection, &kSquare, TRUE,
       {{1000, 500}, {1000, 1000}, {500, 1000}}},
      {"counter-clockwise on a clockwise ring", GetRingSection, &clockwise, TRUE,
       {{1000, 500}, {1000, 1000}, {500, 1000}}},
      {"alt walks forwards", GetRingSectionAlt, &clockwise, TRUE,
       {{1000, 500}, {1000, 0}, {0, 0}, {0, 1000}, {500, 1000}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PointList out;
    EXPECT_EQ(c.section(*c.ring, 1000, 500, 500, 1000, &out), c.ok);
    EXPECT_EQ(out, c.out);
  }
  PointList out;
  EXPECT_FALSE(GetRingSection(kSquare, 500, 500, 500, 1000, &out));

  const PointList line{{0, 0}, {10, 0}, {20, 0}};
  EXPECT_TRUE(GetPolylineSection(line, 15, 1, 5, 0, &out));
  EXPECT_EQ(out, (PointList{{15, 1}, {10, 0}, {5, 0}}));
  EXPECT_TRUE(GetPolylineSection2(5, 0, 15, 0, line, &out));
  EXPECT_EQ(out, (PointList{{5, 0}, {10, 0}, {15, 0}}));
  EXPECT_FALSE(GetPolylineSection(line, 5, 3, 15, 0, &out));
  EXPECT_TRUE(GetPolylineStart(line, 15, 0, &out));
  EXPECT_EQ(out, (PointList{{0, 0}, {10, 0}, {15, 0}}));
  EXPECT_TRUE(GetPolylineEnd(line, 15, 0, &out));
  EXPECT_EQ(out, (PointList{{15, 0}, {20, 0}}));
  const PointList closed{{0, 0}, {10, 0}, {10, 10}, {0, 0}};
  EXPECT_TRUE(GetPolylineStart(closed, 0, 0, &out));
  EXPECT_EQ(out, closed);
}

TEST(ReplaceRingSection, KeepsTheLongerArcClosedByTheLine) {
  struct Case { const char* what; PointList line; BOOL ok; PointList ring; };
  const Case kCases[] = {
      {"both ends on the ring", {{0, 200}, {200, 0}}, TRUE,
       {{0, 200}, {0, 1000}, {1000, 1000}, {1000, 0}, {200, 0}}},
      {"ends beyond the ring cut back", {{-100, 300}, {100, 100}, {300, -100}}, TRUE,
       {{0, 200}, {0, 1000}, {1000, 1000}, {1000, 0}, {200, 0}, {100, 100}}},
      {"one point", {{0, 200}}, FALSE, kSquare},
      {"never meets the ring", {{2000, 0}, {3000, 0}}, FALSE, kSquare},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    PointList ring = kSquare;
    EXPECT_EQ(ReplaceRingSection(ring, c.line), c.ok);
    EXPECT_EQ(ring, c.ring);
  }
}

TEST(PolylineIntersections, SegmentsLinesRaysCirclesAndClipping) {
  PointList out;
  EXPECT_EQ(IntersectSegmentPolyline(5, -5, 5, 5, kElbow, &out), 1);
  EXPECT_EQ(out, (PointList{{5, 0}}));
  EXPECT_EQ(IntersectSegmentPolyline(10, -5, 10, 5, kElbow, &out), 1);  // touching, once
  EXPECT_EQ(out, (PointList{{10, 0}}));

  const PointList zigzag{{0, 0}, {10, 10}, {20, 0}, {30, 10}};
  EXPECT_EQ(IntersectLine2PPolyline(0, 5, 1, 5, zigzag, &out), 3);
  EXPECT_EQ(out, (PointList{{5, 5}, {15, 5}, {25, 5}}));
  EXPECT_EQ(IntersectRayPolyline(16, 5, 17, 5, zigzag, &out), 1);
  EXPECT_EQ(out, (PointList{{25, 5}}));
  EXPECT_EQ(IntersectRayPolyline(16, 5, 15, 5, zigzag, &out), 2);

  CPoint p;
  EXPECT_TRUE(IntersectLineNearStart(0, 5, 1, 5, zigzag, 1, &p));
  EXPECT_EQ(p, CPoint(5, 5));
  EXPECT_TRUE(IntersectLineNearEnd(0, 5, 1, 5, zigzag, 1, &p));
  EXPECT_EQ(p, CPoint(25, 5));

  EXPECT_EQ(IntersectPolylines(zigzag, {{0, 5}, {30, 5}}, &out), 3);
  EXPECT_EQ(out, (PointList{{5, 5}, {15, 5}, {25, 5}}));

  // The circle passes through the elbow's corner: reported once.
  EXPECT_EQ(IntersectPolylineCircle(kElbow, 10, 0, 5, &out), 2);
  EXPECT_EQ(out, (PointList{{5, 0}, {10, 5}}));

  struct ClipCase { const char* what; CPoint p1, p2; BOOL ok; CPoint c1, c2; };
  const ClipCase kClips[] = {
      {"across", {-50, 50}, {150, 50}, TRUE, {0, 50}, {100, 50}},
      {"inside", {10, 10}, {20, 30}, TRUE, {10, 10}, {20, 30}},
      {"diagonal corner to corner", {-10, -10}, {110, 110}, TRUE, {0, 0}, {100, 100}},
      {"box misses", {200, 0}, {300, 50}, FALSE, {200, 0}, {300, 50}},
      {"box meets, line misses", {-50, 40}, {40, -50}, FALSE, {-50, 40}, {40, -50}},
      {"one point inside", {5, 5}, {5, 5}, TRUE, {5, 5}, {5, 5}},
  };
  const CRect rect(0, 0, 100, 100);
  for (const ClipCase& c : kClips) {
    SCOPED_TRACE(c.what);
    CPoint a = c.p1;
    CPoint b = c.p2;
    EXPECT_EQ(ClipSegmentToRectPt(rect, &a, &b), c.ok);
    EXPECT_EQ(a, c.c1);
    EXPECT_EQ(b, c.c2);
  }
}
