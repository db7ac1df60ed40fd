// The curve items: per-size curve rings, their smoothing, extents, mapping
// between curve and vertex rings, nearest-point and hit tests, and the
// per-size drawing of their curves.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "design/geometry/point_line.h"
#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/lookup.h"
#include "platform/parallel.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class CurveItemTest : public ModelTest {
 protected:
  // A square of side 1000 from (0, 0), counter-clockwise, all of one kind;
  // size s shifted by (10 s, 100 s).
  static std::vector<CVertexNode*> AddSquare(CPieceItem* item, uint32_t kind) {
    return {AddGraded(item, 0, 0, kind), AddGraded(item, 1000, 0, kind), AddGraded(item, 1000, 1000, kind),
            AddGraded(item, 0, 1000, kind)};
  }

  static std::vector<CPoint> Points(const CPieceCurveItem& item, CSizeRecord* size) {
    return item.GetCurvePoints(size);
  }

  static int CountKind(const CPieceCurveItem& item, CSizeRecord* size, int kind) {
    int n = 0;
    CVertexNode* node = item.GetCurveHead(size);
    for (int i = 0; i < item.GetCurveCount(size); ++i, node = node->Next) n += node->Kind() == kind ? 1 : 0;
    return n;
  }
};

TEST_F(CurveItemTest, EachSizeGetsItsOwnCurveOfTheMainVertices) {
  auto sizes = AddSizes(3);
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 0);
  outline.AddTailVertex(0x00050005, 7, 128);  // corner data is no vertex of the curve
  outline.SmoothCurves();
  for (int s = 0; s < 3; ++s) {
    SCOPED_TRACE(s);
    const int dx = 10 * s;
    const int dy = 100 * s;
    EXPECT_EQ(Points(outline, sizes[s]),
              (std::vector<CPoint>{{dx, dy}, {1000 + dx, dy}, {1000 + dx, 1000 + dy}, {dx, 1000 + dy}}));
  }
}

TEST_F(CurveItemTest, TwoVerticesAreNotSmoothed) {
  auto sizes = AddSizes(2);
  CPieceItem8 line(nullptr, nullptr);
  AddGraded(&line, 0, 0, 1);
  AddGraded(&line, 500, 300, 1);
  line.SmoothCurves();
  EXPECT_EQ(line.GetCurveCount(sizes[0]), 2);
  EXPECT_EQ(line.GetCurveCount(sizes[1]), 2);
}

TEST_F(CurveItemTest, AStraightSmoothRunGainsNoSplinePoint) {
  auto sizes = AddSizes(1);
  CPieceItem0 outline(nullptr, nullptr);
  AddGraded(&outline, 0, 0, 0);
  AddGraded(&outline, 300, 0, 1);
  AddGraded(&outline, 600, 0, 3);
  AddGraded(&outline, 900, 0, 1);
  AddGraded(&outline, 1200, 0, 0);
  AddGraded(&outline, 600, 800, 0);
  outline.SmoothCurves();
  EXPECT_EQ(outline.GetCurveCount(sizes[0]), 6);
  EXPECT_EQ(CountKind(outline, sizes[0], 100), 0);
}

TEST_F(CurveItemTest, AllSmoothVerticesMakeOneClosedSplineThroughThem) {
  auto sizes = AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 1);
  outline.SmoothCurves();
  for (CSizeRecord* size : sizes) {
    // The vertices stay, in order, with spline points bulging out between
    // every pair of them, the closing pair included.
    const int s = g_Style.IndexOfSize(size);
    SCOPED_TRACE(s);
    ASSERT_GT(outline.GetCurveCount(size), 8);
    std::vector<CPoint> vertices;
    int pointsAfterVertex = 0;
    CVertexNode* node = outline.GetCurveHead(size);
    for (int i = 0; i < outline.GetCurveCount(size); ++i, node = node->Next) {
      if (node->Kind() == 1) {
        vertices.emplace_back(node->X, node->Y);
        EXPECT_EQ(node->Next->Kind(), 100);
        ++pointsAfterVertex;
      } else {
        EXPECT_EQ(node->Kind(), 100);
        const bool outside = node->X < 10 * s || node->X > 1000 + 10 * s || node->Y < 100 * s ||
                             node->Y > 1000 + 100 * s;
        EXPECT_TRUE(outside) << node->X << "," << node->Y;
      }
    }
    EXPECT_EQ(pointsAfterVertex, 4);
    EXPECT_EQ(vertices, (std::vector<CPoint>{{10 * s, 100 * s},
                                              {1000 + 10 * s, 100 * s},
                                              {1000 + 10 * s, 1000 + 100 * s},
                                              {10 * s, 1000 + 100 * s}}));
  }
}

// Smoothing again keeps the rings only when they are what a fresh smoothing
// would make: after any change of the vertices, of the number of sizes or of
// the rings themselves, the rings are made anew.
TEST_F(CurveItemTest, SmoothingAgainGivesWhatAFreshSmoothingGives) {
  struct Case {
    const char* name;
    std::function<void(CPieceItem0&, std::vector<CVertexNode*>&)> change;
  };
  const std::vector<Case> cases = {
      {"nothing", [](CPieceItem0&, std::vector<CVertexNode*>&) {}},
      {"a vertex moved", [](CPieceItem0&, std::vector<CVertexNode*>& v) { v[1]->X += 7; }},
      {"a size copy moved", [](CPieceItem0&, std::vector<CVertexNode*>& v) { v[2]->Next->Y -= 3; }},
      {"a kind changed", [](CPieceItem0&, std::vector<CVertexNode*>& v) { v[3]->Flags = 0; }},
      {"a curve node moved",
       [](CPieceItem0& o, std::vector<CVertexNode*>&) { o.CurveRingAt(0)->Head->Next->X += 1; }},
      {"a curve node's value set",
       [](CPieceItem0& o, std::vector<CVertexNode*>&) { o.CurveRingAt(1)->Head->Value = 9; }},
      {"a curve node removed",
       [](CPieceItem0& o, std::vector<CVertexNode*>&) { o.CurveRingAt(1)->RemoveAt(o.CurveRingAt(1)->Head->Next); }},
      {"rings rebuilt without spline", [](CPieceItem0& o, std::vector<CVertexNode*>&) { o.BuildCurveRings(); }},
      {"rings deleted", [](CPieceItem0& o, std::vector<CVertexNode*>&) { o.DeleteCurveRings(); }},
  };
  const std::vector<CSizeRecord*> sizes = AddSizes(2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CPieceItem0 outline(nullptr, nullptr);
    std::vector<CVertexNode*> vertices = AddSquare(&outline, 1);
    outline.SmoothCurves();
    c.change(outline, vertices);
    outline.SmoothCurves();

    CPieceItem0 fresh(nullptr, nullptr);
    for (CVertexNode* node : NodesOf(&outline)) fresh.AddTailVertex(node->X, node->Y, node->Flags);
    fresh.SmoothCurves();
    for (CSizeRecord* size : sizes) {
      EXPECT_EQ(Points(outline, size), Points(fresh, size));
      EXPECT_EQ(CountKind(outline, size, 100), CountKind(fresh, size, 100));
    }
  }
}

TEST_F(CurveItemTest, AddingASizeMakesTheRingsAnew) {
  AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 1);
  outline.SmoothCurves();
  ASSERT_NE(outline.CurveRingAt(1), nullptr);
  ASSERT_EQ(outline.CurveRingAt(2), nullptr);
  // A third size with no copies yet: the walk now reads the next vertex as
  // the third size's node, as a fresh smoothing does.
  AddSizes(1);
  outline.SmoothCurves();
  EXPECT_NE(outline.CurveRingAt(2), nullptr);
}

// The curves are those of the vertices as they were smoothed, whenever they
// are first read.
TEST_F(CurveItemTest, CurvesReadLaterShowTheVerticesAsSmoothed) {
  auto sizes = AddSizes(1);
  CPieceItem0 outline(nullptr, nullptr);
  std::vector<CVertexNode*> vertices = AddSquare(&outline, 0);
  outline.SmoothCurves();
  vertices[1]->X = 5000;
  EXPECT_EQ(Points(outline, sizes[0]), (std::vector<CPoint>{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}));
  outline.SmoothCurves();
  EXPECT_EQ(Points(outline, sizes[0]), (std::vector<CPoint>{{0, 0}, {5000, 0}, {1000, 1000}, {0, 1000}}));
}

TEST_F(CurveItemTest, AClonedCurveHasTheSourcesRingsAndItsOwnNodes) {
  auto sizes = AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 1);
  outline.SmoothCurves();
  const std::unique_ptr<CPieceItem> copy = ClonePieceItem(&outline);
  auto* curve = dynamic_cast<CPieceCurveItem*>(copy.get());
  ASSERT_NE(curve, nullptr);
  for (CSizeRecord* size : sizes) {
    EXPECT_EQ(Points(*curve, size), Points(outline, size));
    EXPECT_NE(curve->GetCurveHead(size), outline.GetCurveHead(size));
  }
  // A change of the source's curve after the copy is not the copy's.
  outline.CurveRingAt(0)->Head->X = -5;
  EXPECT_EQ(curve->GetCurveHead(sizes[0])->X, 0);
}

// Curves fitted ahead, on worker threads, are the curves fitted when read.
TEST_F(CurveItemTest, CurvesPreparedOnWorkersAreTheCurvesMadeWhenRead) {
  const std::vector<CSizeRecord*> sizes = AddSizes(3);
  std::vector<std::unique_ptr<CPieceItem0>> prepared;
  std::vector<std::unique_ptr<CPieceItem0>> plain;
  for (int i = 0; i < 40; ++i) {
    for (auto* list : {&prepared, &plain}) {
      auto outline = std::make_unique<CPieceItem0>(nullptr, nullptr);
      // Squares of growing size with one corner, so that each spline differs.
      AddGraded(outline.get(), 0, 0, 0);
      AddGraded(outline.get(), 1000 + 37 * i, 0, 1);
      AddGraded(outline.get(), 1000 + 37 * i, 1000 + 11 * i, 1);
      AddGraded(outline.get(), 0, 1000 + 11 * i, 3);
      outline->SmoothCurves();
      list->push_back(std::move(outline));
    }
  }
  ParallelFor(prepared.size(), [&prepared](size_t i) { prepared[i]->PrepareCurves(); });
  for (size_t i = 0; i < prepared.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(prepared[i]->HasPendingCurves());
    for (CSizeRecord* size : sizes) {
      EXPECT_EQ(Points(*prepared[i], size), Points(*plain[i], size));
      EXPECT_EQ(CountKind(*prepared[i], size, 100), CountKind(*plain[i], size, 100));
    }
    EXPECT_FALSE(prepared[i]->HasPendingCurves());
  }
}

// A smoothing after the preparation replaces what was prepared.
TEST_F(CurveItemTest, SmoothingAgainDropsWhatWasPrepared) {
  auto sizes = AddSizes(1);
  CPieceItem0 outline(nullptr, nullptr);
  std::vector<CVertexNode*> vertices = AddSquare(&outline, 0);
  outline.SmoothCurves();
  outline.PrepareCurves();
  vertices[2]->Y = 3000;
  outline.SmoothCurves();
  EXPECT_EQ(Points(outline, sizes[0]), (std::vector<CPoint>{{0, 0}, {1000, 0}, {1000, 3000}, {0, 1000}}));
}

TEST_F(CurveItemTest, ASingleCornerMakesOneOpenRunRoundTheRing) {
  auto sizes = AddSizes(1);
  CPieceItem0 outline(nullptr, nullptr);
  AddGraded(&outline, 0, 0, 0);
  AddGraded(&outline, 1000, 0, 1);
  AddGraded(&outline, 1000, 1000, 1);
  AddGraded(&outline, 0, 1000, 1);
  outline.SmoothCurves();
  CVertexNode* head = outline.GetCurveHead(sizes[0]);
  ASSERT_EQ(head->Kind(), 0);
  EXPECT_EQ(CPoint(head->X, head->Y), CPoint(0, 0));
  // Spline points on both sides of the corner: the run leaves it and comes
  // back to it.
  EXPECT_EQ(head->Next->Kind(), 100);
  EXPECT_EQ(head->Prev->Kind(), 100);
}

TEST_F(CurveItemTest, CoincidentNeighboursLoseTheirSmoothness) {
  AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  CVertexNode* a = AddGraded(&outline, 0, 0, 1);
  CVertexNode* b = AddGraded(&outline, 0, 0, 0x203);  // notch bits survive
  CVertexNode* c = AddGraded(&outline, 1000, 0, 1);
  CVertexNode* d = AddGraded(&outline, 500, 900, 3);
  outline.SmoothCurves();
  EXPECT_EQ(a->Flags, 2u);
  EXPECT_EQ(b->Flags, 0x200u);
  EXPECT_EQ(c->Flags, 1u);
  EXPECT_EQ(d->Flags, 3u);
  EXPECT_EQ(outline.CountMainVertices(), 4);
}

TEST_F(CurveItemTest, ACutLineDropsADoubledVertexOnlyWhenEverySizeCoincides) {
  auto sizes = AddSizes(2);
  CPieceItem12 cut(nullptr, nullptr);
  AddGraded(&cut, 0, 0, 1);
  AddGraded(&cut, 0, 0, 1);  // the same in both sizes
  CVertexNode* apart = AddGraded(&cut, 1000, 0, 1);
  CVertexNode* second = cut.AddTailVertex(1000, 0, 1);
  cut.AddTailVertex(1010, 150, 64);  // size 1 differs
  AddGraded(&cut, 500, 900, 0);
  cut.SmoothCurves();
  EXPECT_EQ(cut.CountMainVertices(), 4);
  EXPECT_EQ(apart->Kind(), 1);
  EXPECT_EQ(second->Kind(), 1);
  // The last vertex's pair with the head is the last pair looked at.
  CPieceItem12 round(nullptr, nullptr);
  AddGraded(&round, 0, 0, 0);
  AddGraded(&round, 500, 0, 0);
  AddGraded(&round, 0, 0, 0);
  round.SmoothCurves();
  EXPECT_EQ(round.CountMainVertices(), 2);
  EXPECT_EQ(round.GetCurveCount(sizes[1]), 2);
}

TEST_F(CurveItemTest, ExtentsReadTheCurveRings) {
  auto sizes = AddSizes(3);
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 0);
  int minX = 1, maxX = 2, minY = 3, maxY = 4;
  outline.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({1, 2, 3, 4})) << "not built yet";
  outline.SmoothCurves();

  struct Case {
    int all;
    std::vector<int> visible;
    std::vector<int> extent;  // min x, max x, min y, max y
  };
  const Case kCases[] = {
      {0, {0, 0, 0}, {0, 1000, 0, 1000}},          // the first size, hidden or not
      {1, {1, 1, 1}, {0, 1020, 0, 1200}},
      {1, {0, 1, 0}, {10, 1010, 100, 1100}},
      {-1, {1, 0, 1}, {0, 1020, 0, 1200}},
      {1, {0, 0, 0}, {INT_MAX, INT_MIN, INT_MAX, INT_MIN}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.all);
    for (int s = 0; s < 3; ++s) sizes[s]->Visible = c.visible[s];
    outline.GetExtent(c.all, &minX, &maxX, &minY, &maxY);
    EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), c.extent);
  }
  outline.GetDrawExtent(sizes[1], &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({10, 1010, 100, 1100}));
  CSizeRecord stranger;
  minX = 7;
  outline.GetDrawExtent(&stranger, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, 7);
}

TEST_F(CurveItemTest, CurveAndVertexNodesMapBothWays) {
  auto sizes = AddSizes(3);
  CPieceItem0 outline(nullptr, nullptr);
  std::vector<CVertexNode*> mains = AddSquare(&outline, 1);
  outline.SmoothCurves();
  for (int s = 0; s < 3; ++s) {
    SCOPED_TRACE(s);
    for (size_t v = 0; v < mains.size(); ++v) {
      CVertexNode* sizeNode = CPieceCurveItem::NodeOfSize(mains[v], s);
      CVertexNode* curve = outline.MapToCurveVertex(sizes[s], sizeNode);
      ASSERT_NE(curve, nullptr);
      EXPECT_EQ(CPoint(curve->X, curve->Y), CPoint(sizeNode->X, sizeNode->Y));
      EXPECT_EQ(outline.MapToMainVertex(sizes[s], curve), sizeNode);
      // Over the spline points to the neighbouring vertices, as main vertices.
      EXPECT_EQ(outline.NextKeyVertexOnCurve(sizes[s], curve), mains[(v + 1) % 4]);
      EXPECT_EQ(outline.PrevKeyVertexOnCurve(sizes[s], curve), mains[(v + 3) % 4]);
    }
  }
  // A node that is no vertex of the item is found by its position, or not.
  CVertexNode loose;
  loose.X = 1010;
  loose.Y = 100;
  CVertexNode* byPosition = outline.MapToCurveVertex(sizes[1], &loose);
  ASSERT_NE(byPosition, nullptr);
  EXPECT_EQ(CPoint(byPosition->X, byPosition->Y), CPoint(1010, 100));
  EXPECT_EQ(byPosition->Kind(), 1);
  loose.X = 5;
  EXPECT_EQ(outline.MapToCurveVertex(sizes[1], &loose), nullptr);
}

TEST_F(CurveItemTest, NearestCurvePointTakesTheLaterOfTwoEquallyNearSegments) {
  auto sizes = AddSizes(1);
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 0);
  outline.SmoothCurves();
  CVertexNode* head = outline.GetCurveHead(sizes[0]);
  struct Case {
    CPoint point;
    CVertexNode* expected;
  };
  const Case kCases[] = {
      {{500, -30}, head},                          // below the first edge
      {{1200, 500}, head->Next},                   // beside the second
      {{500, 500}, head->Prev},                    // the middle: all four tie, the last wins
      {{1000, 0}, head->Next},                     // exactly on a vertex: that vertex
      {{0, 0}, head},
      {{-50, -50}, head->Prev},                    // beyond a corner: the later segment at it
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
    CVertexNode* node = nullptr;
    outline.NearestCurvePoint(sizes[0], c.point.x, c.point.y, &node);
    EXPECT_EQ(node, c.expected);
  }
}

TEST_F(CurveItemTest, HitTestFindsTheCurveWithinTheTolerance) {
  auto sizes = AddSizes(1);  // scale 40 units per millimetre
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 0);
  outline.SmoothCurves();
  CVertexNode* head = outline.GetCurveHead(sizes[0]);
  struct Case {
    CPoint point;
    bool hit;
    CVertexNode* node;
    CPoint foot;
  };
  const Case kCases[] = {
      {{400, 39}, true, head, {400, 0}},
      {{400, -39}, true, head, {400, 0}},
      {{400, 40}, false, nullptr, {}},              // 1 mm is not within 1 mm
      {{1000, 0}, true, head->Next, {1000, 0}},     // on a segment's end: the end
      {{1030, 500}, true, head->Next, {1000, 500}},
      {{-20, 500}, true, head->Prev, {0, 500}},     // the closing segment counts
      {{1100, 1100}, false, nullptr, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
    CVertexNode* node = nullptr;
    int fx = -7, fy = -7;
    EXPECT_EQ(outline.HitTest(sizes[0], c.point.x, c.point.y, 1.0, &node, &fx, &fy) != 0, c.hit);
    EXPECT_EQ(node, c.node);
    EXPECT_EQ(CPoint(fx, fy), c.hit ? c.foot : CPoint(-7, -7));
  }
}

TEST_F(CurveItemTest, HitTestAgreesWithAPlainSearchOnADenseCurve) {
  // A wavy closed curve of many sampled points, probed all round it: the hit
  // test, which passes over segments that cannot be nearer, finds what a
  // plain search over every segment finds.
  auto sizes = AddSizes(1);
  CPieceItem0 outline(nullptr, nullptr);
  for (int i = 0; i < 64; ++i) {
    const double a = i * 2 * 3.14159265358979 / 64;
    const double r = 4000 + (i % 2 ? 300 : -300);
    AddGraded(&outline, static_cast<int32_t>(r * std::cos(a)), static_cast<int32_t>(r * std::sin(a)), 1);
  }
  outline.SmoothCurves();
  const CVertexRing* ring = outline.CurveRingOf(sizes[0]);
  ASSERT_GT(ring->Count, 200);
  std::vector<const CVertexNode*> nodes;
  const CVertexNode* n = ring->Head;
  for (int i = 0; i < ring->Count; ++i, n = n->Next) nodes.push_back(n);

  const double tolerance = 3.0;  // millimetres
  int hits = 0;
  for (int y = -5000; y <= 5000; y += 173) {
    for (int x = -5000; x <= 5000; x += 131) {
      double bound = g_Style.GetScale() * (tolerance + 1.0);
      const CVertexNode* expected = nullptr;
      for (const CVertexNode* a : nodes) {
        const CVertexNode* b = a->Next;
        const double d = PointSegmentDistance(CPoint(x, y), a->X, a->Y, b->X, b->Y);
        if (d < bound) {
          bound = d;
          expected = (x == b->X && y == b->Y) ? b : a;
        }
      }
      if (!(bound / g_Style.GetScale() < tolerance)) expected = nullptr;
      CVertexNode* node = nullptr;
      int fx = 0, fy = 0;
      const bool hit = outline.HitTest(sizes[0], x, y, tolerance, &node, &fx, &fy) != 0;
      ASSERT_EQ(hit, expected != nullptr) << x << "," << y;
      if (hit) {
        ASSERT_EQ(node, expected) << x << "," << y;
        ++hits;
      }
    }
  }
  EXPECT_GT(hits, 20);
}

TEST_F(CurveItemTest, AnOpenLineNeverHitsItsClosingSegment) {
  auto sizes = AddSizes(1);
  CPieceItem9 open(nullptr, nullptr);
  CPieceItem8 closed(nullptr, nullptr);
  for (CPieceItem* item : {static_cast<CPieceItem*>(&open), static_cast<CPieceItem*>(&closed)}) {
    AddGraded(item, 0, 0, 0);
    AddGraded(item, 1000, 0, 0);
    AddGraded(item, 1000, 1000, 0);
  }
  open.SmoothCurves();
  closed.SmoothCurves();
  CVertexNode* node = nullptr;
  int fx = 0, fy = 0;
  // Beside the diagonal from the last vertex back to the first.
  EXPECT_FALSE(open.HitTest(sizes[0], 480, 520, 1.0, &node, &fx, &fy));
  EXPECT_TRUE(closed.HitTest(sizes[0], 480, 520, 1.0, &node, &fx, &fy));
  EXPECT_EQ(node, closed.GetCurveHead(sizes[0])->Prev);
  // Elsewhere the open line is hit as the closed one is; the foot is the
  // nearest point of the segment.
  EXPECT_TRUE(open.HitTest(sizes[0], 1020, 300, 1.0, &node, &fx, &fy));
  EXPECT_EQ(node, open.GetCurveHead(sizes[0])->Next);
  EXPECT_EQ(CPoint(fx, fy), CPoint(1000, 300));
  // Nearest point: the closing segment does not count either.
  open.NearestCurvePoint(sizes[0], 480, 520, &node);
  EXPECT_NE(node, open.GetCurveHead(sizes[0])->Prev);
}

TEST_F(CurveItemTest, AnOpenLineOfOneNodeIsThatPoint) {
  auto sizes = AddSizes(1);
  CPieceItem15 dot(nullptr, nullptr);
  AddGraded(&dot, 100, 100, 0);
  dot.SmoothCurves();
  CVertexNode* node = nullptr;
  int fx = 0, fy = 0;
  ASSERT_TRUE(dot.HitTest(sizes[0], 120, 110, 1.0, &node, &fx, &fy));
  EXPECT_EQ(node, dot.GetCurveHead(sizes[0]));
  EXPECT_EQ(CPoint(fx, fy), CPoint(100, 100));
  EXPECT_FALSE(dot.HitTest(sizes[0], 150, 100, 1.0, &node, &fx, &fy));
}

TEST_F(CurveItemTest, HitTestMainVertexGoesBackOverSplinePointsToTheVertex) {
  AddSizes(2);
  for (bool openLine : {false, true}) {
    SCOPED_TRACE(openLine);
    std::unique_ptr<CPieceCurveItem> item;
    if (openLine) {
      item = std::make_unique<CPieceItem9>(nullptr, nullptr);
    } else {
      item = std::make_unique<CPieceItem0>(nullptr, nullptr);
    }
    std::vector<CVertexNode*> mains = AddSquare(item.get(), 1);
    item->SmoothCurves();
    // Find a spline point well inside the first span and aim just beside it.
    CVertexNode* sample = g_Style.SizeRing ? item->GetCurveHead(g_Style.SizeRing)->Next->Next : nullptr;
    ASSERT_EQ(sample->Kind(), 100);
    CVertexNode* node = nullptr;
    int fx = 0, fy = 0;
    ASSERT_TRUE(item->HitTestMainVertex(sample->X, sample->Y + 5, 1.0, &node, &fx, &fy));
    EXPECT_EQ(node, mains[0]);
    EXPECT_FALSE(item->HitTestMainVertex(500, 500, 1.0, &node, &fx, &fy));
  }
}

TEST_F(CurveItemTest, HitTestInSpanAcceptsOnlyTheStretchBetweenItsEnds) {
  auto sizes = AddSizes(1);
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 0);
  outline.SmoothCurves();
  CVertexNode* v0 = outline.GetCurveHead(sizes[0]);
  CVertexNode* v2 = v0->Next->Next;
  int fx = 0, fy = 0;
  EXPECT_TRUE(outline.HitTestInSpan(sizes[0], 500, 10, 1.0, v0, v2, &fx, &fy));
  EXPECT_TRUE(outline.HitTestInSpan(sizes[0], 1010, 500, 1.0, v0, v2, &fx, &fy));
  EXPECT_FALSE(outline.HitTestInSpan(sizes[0], 500, 990, 1.0, v0, v2, &fx, &fy));
  EXPECT_EQ(CPoint(fx, fy), CPoint(500, 1000)) << "the foot is written all the same";
  EXPECT_TRUE(outline.HitTestInSpan(sizes[0], 1000, 1000, 1.0, v0, v2, &fx, &fy)) << "exactly on the end";
  EXPECT_FALSE(outline.HitTestInSpan(sizes[0], 500, 10, 1.0, nullptr, v2, &fx, &fy));
}

TEST_F(CurveItemTest, ContainsPointTestsTheFirstSizesCurve) {
  AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  EXPECT_FALSE(outline.ContainsPoint(500, 500)) << "no curve yet";
  AddSquare(&outline, 0);
  outline.SmoothCurves();
  EXPECT_TRUE(outline.ContainsPoint(500, 500));
  EXPECT_TRUE(outline.ContainsPoint(5, 50));
  EXPECT_FALSE(outline.ContainsPoint(1005, 1050)) << "inside size 1 only";
  EXPECT_FALSE(outline.ContainsPoint(-500, 500));
}

TEST_F(CurveItemTest, EmptyAndUnbuiltCurvesFindNothing) {
  auto sizes = AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  CVertexNode* node = nullptr;
  int fx = 0, fy = 0;
  outline.NearestCurvePoint(sizes[0], 0, 0, &node);
  EXPECT_EQ(node, nullptr);
  EXPECT_FALSE(outline.HitTest(sizes[0], 0, 0, 1.0, &node, &fx, &fy));
  outline.SmoothCurves();  // no vertex: empty rings
  EXPECT_EQ(outline.GetCurveCount(sizes[1]), 0);
  outline.NearestCurvePoint(sizes[1], 0, 0, &node);
  EXPECT_EQ(node, nullptr);
  EXPECT_FALSE(outline.HitTestMainVertex(0, 0, 1.0, &node, &fx, &fy));
  EXPECT_EQ(outline.FindCurveVertex(sizes[0], 0, 0), nullptr);
  // A style without a scale hits nothing.
  AddSquare(&outline, 0);
  outline.SmoothCurves();
  g_Style.SetScale(0);
  EXPECT_FALSE(outline.HitTest(sizes[0], 0, 0, 1.0, &node, &fx, &fy));
  CPieceItem9 open(nullptr, nullptr);
  AddSquare(&open, 0);
  open.SmoothCurves();
  EXPECT_FALSE(open.HitTest(sizes[0], 0, 0, 1.0, &node, &fx, &fy));
}

TEST_F(CurveItemTest, ShortVertexGroupsAndHugeCoordinatesAreReadSafely) {
  AddSizes(3);
  CPieceItem0 outline(nullptr, nullptr);
  // Main vertices without their per-size copies, at the far ends of the
  // coordinate range, as a damaged file can give.
  outline.AddTailVertex(INT_MIN, INT_MIN, 0);
  outline.AddTailVertex(INT_MAX, INT_MIN, 2);
  outline.AddTailVertex(INT_MAX, INT_MAX, 0);
  outline.AddTailVertex(INT_MIN, INT_MAX, 2);
  outline.SmoothCurves();
  CSizeRecord* last = g_Style.SizeRing->Prev;
  EXPECT_EQ(outline.GetCurveCount(last) > 0, true);
  CVertexNode* node = nullptr;
  int fx = 0, fy = 0;
  outline.NearestCurvePoint(last, 0, 0, &node);
  EXPECT_NE(node, nullptr);
  outline.HitTest(last, INT_MAX, 0, 1.0, &node, &fx, &fy);
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  outline.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, INT_MIN);
  EXPECT_EQ(maxY, INT_MAX);
}

// The drawing frame on curve items.

class CurveDrawingTest : public CurveItemTest {};

TEST_F(CurveDrawingTest, AnOutlineDrawsOnePolygonPerSizeFromTheLastSize) {
  AddSizes(3);
  CPieceItem0 outline(nullptr, nullptr);
  AddSquare(&outline, 0);
  outline.SmoothCurves();
  RecordingDC dc;
  outline.Draw(&dc, 10.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const int s = 2 - i;
    SCOPED_TRACE(s);
    const DrawCall& call = dc.calls()[i];
    EXPECT_EQ(call.op, DrawCall::Op::kPolygon);
    EXPECT_EQ(call.state.pen.style(), PS_SOLID);
    EXPECT_EQ(call.state.pen.width(), 1);
    EXPECT_EQ(call.state.pen.color(), static_cast<COLORREF>(0x10 * (s + 1)));
    EXPECT_TRUE(call.state.brush.hollow());
    EXPECT_EQ(call.state.bk_color, 0xFFFFFFu);
    EXPECT_EQ(call.points, (std::vector<CPoint>{{s, 10 * s}, {100 + s, 10 * s}, {100 + s, 100 + 10 * s},
                                                {s, 100 + 10 * s}}));
  }
  // The device context is left as it was.
  EXPECT_EQ(dc.state().pen.color(), 0u);
  EXPECT_FALSE(dc.state().brush.hollow());
}

TEST_F(CurveDrawingTest, HiddenSizesAndEmptyCurvesAreSkipped) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  CPieceItem0 outline(nullptr, nullptr);
  RecordingDC dc;
  outline.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty()) << "curves not built";
  outline.SmoothCurves();
  outline.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty()) << "empty curves";
  AddSquare(&outline, 0);
  outline.SmoothCurves();
  outline.Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 2u);
  EXPECT_EQ(dc.calls()[0].state.pen.color(), 0x30u);
  EXPECT_EQ(dc.calls()[1].state.pen.color(), 0x10u);
}

TEST_F(CurveDrawingTest, OpenCurvesDrawAsPolylinesWithTheirOwnPen) {
  AddSizes(1);
  CPieceItem9 line(nullptr, nullptr);
  AddGraded(&line, 0, 0, 0);
  AddGraded(&line, 100, 0, 0);
  AddGraded(&line, 100, 50, 0);
  line.SmoothCurves();
  RecordingDC dc;
  line.DrawCurveRings(&dc, 1.0, 50, 0, PS_DOT, FALSE, FALSE, FALSE);
  ASSERT_EQ(dc.calls().size(), 1u);
  EXPECT_EQ(dc.calls()[0].ToString(), "Polyline (-50,0)-(50,0)-(50,50) pen=dot/1/0x000010");
}

}  // namespace
