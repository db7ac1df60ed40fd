// Walking a signed distance along an outline, inserting graded vertices, and
// cutting notch ends into a curve for the writers.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "model/items/all_items.h"
#include "model/outline_walk.h"
#include "support/model_fixture.h"

namespace {

class OutlineWalkTest : public ModelTest {
 protected:
  // One notch: point and inner end per size, the width node (kind 102) and
  // the anchor node (kind 104) with its direction code.
  static CVertexNode* AddNotch(CPieceItem* item, const std::vector<CPoint>& points, CPoint inner, int width,
                               CPoint anchor, int32_t value = 0) {
    CVertexNode* first = item->AddTailVertex(points[0].x, points[0].y, 0);
    first->Value = value;
    for (size_t s = 1; s < points.size(); ++s) item->AddTailVertex(points[s].x, points[s].y, kVertexKindCopy);
    item->AddTailVertex(inner.x, inner.y, kNotchShapeT | 1);
    for (size_t s = 1; s < points.size(); ++s) item->AddTailVertex(inner.x, inner.y, kVertexKindCopy);
    item->AddTailVertex(width, 900, kVertexKindFixedSingle);
    item->AddTailVertex(anchor.x, anchor.y, (3u << 8) | kVertexKindMovedSingle);
    return first;
  }

  // A square outline of corners 0..1000, size s shifted by (0, 100 s).
  static CPieceItem0* Square(CPieceRecord* piece) {
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (CPoint p : {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(0, 1000)}) {
      outline->AddTailVertex(p.x, p.y, 0);
      for (int s = 1; s < g_Style.SizeCount; ++s) outline->AddTailVertex(p.x, p.y + 100 * s, kVertexKindCopy);
    }
    outline->SmoothCurves();
    piece->AddItem(outline);
    return outline;
  }

  static std::vector<CPoint> Positions(const CVertexRing& ring) {
    std::vector<CPoint> points;
    CVertexNode* node = ring.Head;
    for (int32_t i = 0; i < ring.Count; ++i, node = node->Next) points.emplace_back(node->X, node->Y);
    return points;
  }

  static std::vector<CPoint> Positions(const CPieceItem* item) {
    std::vector<CPoint> points;
    CVertexNode* node = item->VertexHead;
    for (int32_t i = 0; i < item->VertexCount; ++i, node = node->Next) points.emplace_back(node->X, node->Y);
    return points;
  }
};

TEST_F(OutlineWalkTest, WalksASignedDistanceAlongTheRing) {
  // A (0,0) -> B (30,40): 50; B -> C (30,100): 60; C -> D (0,100): 30;
  // D -> A: 100. One turn is 240.
  CVertexRing ring;
  CVertexNode* a = ring.AddTail(0, 0, 0);
  CVertexNode* b = ring.AddTail(30, 40, 0);
  ring.AddTail(30, 100, 0);
  CVertexNode* d = ring.AddTail(0, 100, 0);
  struct Case {
    int distance;
    CVertexNode* node;
    CPoint point;
  };
  const Case kCases[] = {
      {0, a, {0, 0}},
      {50, b, {30, 40}},      // the first segment's length: the next node exactly
      {25, a, {15, 20}},      // inside a segment: the node before the point
      {80, b, {30, 70}},
      {-100, d, {0, 100}},    // back by one segment: the previous node
      {-50, d, {0, 50}},      // backward inside a segment: still the node before
      {290, b, {30, 40}},     // longer than the ring: round again
      {240 * 1000 + 50, b, {30, 40}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.distance);
    CVertexNode* node = nullptr;
    int x = -1;
    int y = -1;
    ASSERT_TRUE(WalkAlongOutline(a, c.distance, &node, &x, &y));
    EXPECT_EQ(node, c.node);
    EXPECT_EQ(CPoint(x, y), c.point);
  }
}

TEST_F(OutlineWalkTest, ARingOfNoLengthEndsTheWalkAtItsStart) {
  CVertexRing ring;
  CVertexNode* start = ring.AddTail(5, 7, 0);
  ring.AddTail(5, 7, 0);
  ring.AddTail(5, 7, 100);
  for (int distance : {1, -1, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(distance);
    CVertexNode* node = nullptr;
    int x = 0;
    int y = 0;
    ASSERT_TRUE(WalkAlongOutline(start, distance, &node, &x, &y));
    EXPECT_EQ(node, start);
    EXPECT_EQ(CPoint(x, y), CPoint(5, 7));
  }
  CVertexNode* node = nullptr;
  int x = 0;
  int y = 0;
  EXPECT_FALSE(WalkAlongOutline(nullptr, 10, &node, &x, &y));
}

TEST_F(OutlineWalkTest, InsertsAGradedVertexBeforeTheVertexThatEndsTheSegment) {
  std::vector<CSizeRecord*> sizes = AddSizes(3);
  CPieceRecord piece;
  CPieceItem0* outline = Square(&piece);
  // The model vertex moves by (+7, +3) per size.
  CVertexRing model;
  CVertexNode* m = model.AddTail(100, 100, 0);
  model.AddTail(107, 103, kVertexKindCopy);
  model.AddTail(114, 106, kVertexKindCopy);

  CVertexNode* onFirstSegment = outline->GetCurveHead(sizes[0]);
  CVertexNode* vertex = InsertVertexWithSizeOffsets(sizes[0], onFirstSegment, outline, 42, 500, 0, 2, m);
  ASSERT_NE(vertex, nullptr);
  EXPECT_EQ(vertex->Value, 42);
  EXPECT_EQ(vertex->Flags, 2u);
  EXPECT_EQ(outline->VertexCount, 15);
  const std::vector<CPoint> expected = {{0, 0},   {0, 100},   {0, 200},   {500, 0}, {507, 3},
                                        {514, 6}, {1000, 0},  {1000, 100}, {1000, 200}};
  const std::vector<CPoint> got = Positions(outline);
  EXPECT_EQ(std::vector<CPoint>(got.begin(), got.begin() + 9), expected);
  EXPECT_EQ(Kinds(outline)[3], 2);
  EXPECT_EQ(Kinds(outline)[4], kVertexKindCopy);

  // A node of a later size's curve finds the same place.
  CVertexNode* onLastSegment = outline->GetCurveHead(sizes[2])->Prev;  // (0,1200) -> (0,200)
  CVertexNode* closing = InsertVertexWithSizeOffsets(sizes[2], onLastSegment, outline, 0, 0, 500, 0, m);
  ASSERT_NE(closing, nullptr);
  EXPECT_EQ(outline->NextMainVertex(closing), outline->VertexHead);
}

TEST_F(OutlineWalkTest, InsertingRefusesWhatIsMissingOrNoOutlineCurve) {
  std::vector<CSizeRecord*> sizes = AddSizes(2);
  CPieceRecord piece;
  CPieceItem0* outline = Square(&piece);
  auto* internal = new CPieceItem8(nullptr, nullptr);
  for (CPoint p : {CPoint(0, 0), CPoint(10, 0), CPoint(10, 10)}) {
    internal->AddTailVertex(p.x, p.y, 0);
    internal->AddTailVertex(p.x, p.y, kVertexKindCopy);
  }
  internal->SmoothCurves();
  piece.AddItem(internal);
  CVertexNode* m = outline->VertexHead;

  EXPECT_EQ(InsertVertexWithSizeOffsets(sizes[0], internal->GetCurveHead(sizes[0]), internal, 0, 5, 0, 0, m),
            nullptr);
  EXPECT_EQ(internal->VertexCount, 6);
  CVertexNode* head = outline->GetCurveHead(sizes[0]);
  EXPECT_EQ(InsertVertexWithSizeOffsets(nullptr, head, outline, 0, 5, 0, 0, m), nullptr);
  EXPECT_EQ(InsertVertexWithSizeOffsets(sizes[0], head, outline, 0, 5, 0, 0, nullptr), nullptr);
  EXPECT_EQ(InsertVertexWithSizeOffsets(sizes[0], head, nullptr, 0, 5, 0, 0, m), nullptr);
  EXPECT_EQ(outline->VertexCount, 8);
}

TEST_F(OutlineWalkTest, CopyingSizeOffsetsKeepsTheMainPositionAndMovesTheCopies) {
  AddSizes(3);
  CVertexRing target;
  CVertexNode* t = target.AddTail(50, 60, 0x803);
  target.AddTail(1, 1, kVertexKindCopy);
  target.AddTail(2, 2, kVertexKindCopy);
  CVertexRing model;
  CVertexNode* m = model.AddTail(10, 10, 0);
  m->Value = 9;
  model.AddTail(15, 20, kVertexKindCopy);
  model.AddTail(5, 0, kVertexKindCopy);

  CopySizeOffsets(t, 0, m);
  EXPECT_EQ(Positions(target), (std::vector<CPoint>{{50, 60}, {55, 70}, {45, 50}}));
  EXPECT_EQ(t->Flags, 0x800u);  // kind cleared, the mark kept
  EXPECT_EQ(t->Value, 9);
}

TEST_F(OutlineWalkTest, NotchEndsGoIntoTheOutlineForAllSizes) {
  std::vector<CSizeRecord*> sizes = AddSizes(2);
  CPieceRecord piece;
  CPieceItem0* outline = Square(&piece);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  // One on the bottom edge at x 400 (size 1 at 410, 100), 200 wide; one on
  // the top edge 50 from the corner (1000, 1000), 100 wide, so that one of
  // its ends falls exactly on that corner.
  AddNotch(notches, {{400, 0}, {410, 100}}, {400, 50}, 200, {0, 0}, 11);
  AddNotch(notches, {{950, 1000}, {950, 1100}}, {950, 950}, 100, {1000, 1000}, 12);
  piece.AddItem(notches);

  InsertNotchesIntoCurve(outline, notches, -1);
  // Bottom edge: 300 and 500, graded like the mark (+10, +100). Top edge:
  // the corner is kept and graded like the second mark; 900 is new.
  const std::vector<CPoint> expected = {{0, 0},      {0, 100},    {300, 0},    {310, 100},  {500, 0},
                                        {510, 100},  {1000, 0},   {1000, 100}, {1000, 1000}, {1000, 1100},
                                        {900, 1000}, {900, 1100}, {0, 1000},   {0, 1100}};
  EXPECT_EQ(Positions(outline), expected);
  CVertexNode* corner = outline->FindVertex(1000, 1000);
  ASSERT_NE(corner, nullptr);
  EXPECT_EQ(corner->Value, 12);
  EXPECT_EQ(outline->FindVertex(300, 0)->Value, 11);
  EXPECT_EQ(outline->FindVertex(500, 0)->Value, 11);
  EXPECT_EQ(outline->FindVertex(900, 1000)->Value, 12);
}

TEST_F(OutlineWalkTest, NotchEndsGoIntoOneSizesCurveRing) {
  std::vector<CSizeRecord*> sizes = AddSizes(2);
  CPieceRecord piece;
  CPieceItem0* outline = Square(&piece);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  AddNotch(notches, {{400, 0}, {400, 100}}, {400, 50}, 200, {0, 0}, 5);
  // Off the curve by more than 1 mm in size 1: skipped there.
  AddNotch(notches, {{1000, 500}, {1200, 600}}, {950, 500}, 100, {1000, 0}, 6);
  piece.AddItem(notches);

  InsertNotchesIntoCurve(outline, notches, 1);
  EXPECT_EQ(outline->VertexCount, 8);  // the item's own ring is untouched
  const CVertexRing* ring = outline->CurveRingAt(1);
  EXPECT_EQ(Positions(*ring),
            (std::vector<CPoint>{{0, 100}, {300, 100}, {500, 100}, {1000, 100}, {1000, 1100}, {0, 1100}}));
  EXPECT_EQ(ring->Head->Next->Value, 5);
  EXPECT_EQ(ring->Head->Next->Flags, 0u);
  EXPECT_EQ(Positions(*outline->CurveRingAt(0)).size(), 4u);
}

}  // namespace
