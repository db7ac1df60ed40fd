// The free-standing vertex ring and the ring operations of the item base.
#include <gtest/gtest.h>

#include "model/items/all_items.h"
#include "model/vertex_node.h"
#include "support/model_fixture.h"

namespace {

class VertexRingTest : public ModelTest {};

TEST_F(VertexRingTest, InsertWithoutPositionOnlyOnAnEmptyRing) {
  CVertexRing ring;
  CVertexNode* only = ring.InsertBefore(nullptr, 1, 2, 3);
  ASSERT_NE(only, nullptr);
  EXPECT_EQ(ring.GetCount(), 1);
  EXPECT_EQ(only->Next, only);
  EXPECT_EQ(only->Prev, only);
  EXPECT_EQ(ring.InsertBefore(nullptr, 4, 5, 6), nullptr);
  EXPECT_EQ(ring.InsertAfter(nullptr, 4, 5, 6), nullptr);
  EXPECT_EQ(ring.GetCount(), 1);
}

TEST_F(VertexRingTest, RemovalsReturnWhatFollows) {
  CVertexRing ring;
  CVertexNode* a = ring.AddTail(0, 0, 0);
  CVertexNode* b = ring.AddTail(1, 0, 0);
  CVertexNode* c = ring.AddTail(2, 0, 0);
  EXPECT_EQ(ring.CountBetween(a, a), 1);
  EXPECT_EQ(ring.CountBetween(a, c), 3);
  EXPECT_EQ(ring.CountBetween(b, a), 3);
  EXPECT_EQ(ring.RemoveAt(a), b);
  EXPECT_EQ(ring.GetHead(), b);
  EXPECT_EQ(ring.GetTail(), c);
  EXPECT_EQ(ring.RemoveTail(), b);
  EXPECT_EQ(ring.RemoveHead(), nullptr);
  EXPECT_TRUE(ring.IsEmpty());
  EXPECT_EQ(ring.RemoveAt(nullptr), nullptr);
  EXPECT_EQ(ring.RemoveHead(), nullptr);
  CVertexNode* head = ring.AddHead(5, 5, 0);
  CVertexNode* newHead = ring.AddHead(6, 6, 0);
  EXPECT_EQ(ring.GetHead(), newHead);
  EXPECT_EQ(ring.GetTail(), head);
}

TEST_F(VertexRingTest, FindersTellKindsApart) {
  CVertexRing ring;
  ring.AddTail(7, 7, 64);                      // a per-size copy
  CVertexNode* smooth = ring.AddTail(7, 7, 0x103);  // kind 3, notch bits
  CVertexNode* corner = ring.AddTail(7, 7, 2);
  EXPECT_EQ(ring.Find(7, 7, 0x103), smooth);
  EXPECT_EQ(ring.Find(7, 7, 3), nullptr);
  EXPECT_EQ(ring.FindMain(7, 7), smooth);
  EXPECT_EQ(ring.FindOddKind(7, 7), smooth);
  EXPECT_EQ(ring.FindEvenKind(7, 7), corner);
  EXPECT_EQ(ring.FindMain(7, 8), nullptr);
}

TEST_F(VertexRingTest, MainVertexWalksStayOnTheirNode) {
  AddSizes(3);
  CPieceItem1 item(nullptr, nullptr);
  CVertexNode* a = AddGraded(&item, 0, 0, 0);
  EXPECT_EQ(item.NextMainVertex(a), a);
  EXPECT_EQ(item.PrevMainVertex(a), a);
  EXPECT_EQ(item.NextMainVertex(nullptr), nullptr);
  CVertexNode* b = AddGraded(&item, 10, 0, 3);
  EXPECT_EQ(item.NextMainVertex(a), b);
  EXPECT_EQ(item.NextMainVertex(b), a);
  EXPECT_EQ(item.PrevMainVertex(a), b);
  EXPECT_EQ(item.CountMainVertices(), 2);
  // Copies are passed over by both walks; parameter nodes by the copy walk.
  item.InsertVertexAfter(NodeAt(&item, 2), 0, 0, 128);
  EXPECT_EQ(item.NextVertexSkipCopies(a), b);
  EXPECT_EQ(item.PrevVertexSkipCopies(b), a);
}

TEST_F(VertexRingTest, CopyWalksEndOnARingOfCopiesOnly) {
  // A damaged ring with no vertex that the walk may stop on.
  CPieceItem9 item(nullptr, nullptr);
  CVertexNode* copy = item.AddTailVertex(0, 0, 64);
  item.AddTailVertex(0, 0, 128);
  item.AddTailVertex(0, 0, 64);
  EXPECT_EQ(item.NextVertexSkipCopies(copy), nullptr);
  EXPECT_EQ(item.PrevVertexSkipCopies(copy), nullptr);
  EXPECT_EQ(item.NextMainVertex(copy), copy);
  EXPECT_EQ(item.CountMainVertices(), 1) << "counts as one, as the stored files were counted";
}

TEST_F(VertexRingTest, RemoveGradedVertexTakesItsCopies) {
  AddSizes(3);
  CPieceItem1 item(nullptr, nullptr);
  CVertexNode* a = AddGraded(&item, 0, 0, 0);
  CVertexNode* b = AddGraded(&item, 10, 0, 0);
  EXPECT_EQ(item.RemoveGradedVertex(a), b);
  EXPECT_EQ(item.VertexHead, b);
  EXPECT_EQ(item.VertexCount, 3);
  EXPECT_EQ(b->Prev, NodeAt(&item, 2));
  EXPECT_EQ(item.RemoveGradedVertex(b), nullptr);
  EXPECT_EQ(item.VertexHead, nullptr);
  EXPECT_EQ(item.VertexCount, 0);
  EXPECT_EQ(item.RemoveGradedVertex(b), nullptr) << "empty ring";
}

TEST_F(VertexRingTest, RemoveGradedVerticesAroundLeavesMainVertices) {
  AddSizes(2);
  CPieceItem8 item(nullptr, nullptr);
  AddGraded(&item, 0, 0, 0);
  AddGraded(&item, 5, 0, 100);
  CVertexNode* middle = AddGraded(&item, 10, 0, 1);
  AddGraded(&item, 15, 0, 100);
  AddGraded(&item, 17, 0, 100);
  AddGraded(&item, 20, 0, 0);
  AddGraded(&item, 25, 0, 100);  // beyond the next main vertex: kept
  item.RemoveGradedVerticesAround(middle);
  const std::vector<int> kinds = {0, 64, 1, 64, 0, 64, 100, 64};
  EXPECT_EQ(Kinds(&item), kinds);
}

TEST_F(VertexRingTest, TextItemsHaveNoVertices) {
  CPieceItem11 text(nullptr, nullptr);
  CVertexNode* node = text.AddTailVertex(3, 4, 0);
  EXPECT_EQ(text.FindVertex(3, 4), nullptr);
  EXPECT_EQ(text.FindVertexWithFlags(3, 4, 0), nullptr);
  EXPECT_EQ(text.FindVertexFrom(3, 4, node, node), nullptr);
  EXPECT_EQ(text.RemoveVertex(node), nullptr);
  EXPECT_EQ(text.NextMainVertex(node), nullptr);
  EXPECT_EQ(text.VertexCount, 1);
  CPieceItem1 line(nullptr, nullptr);
  CVertexNode* found = line.AddTailVertex(3, 4, 0x201);
  EXPECT_EQ(line.FindVertex(3, 4), found);
  EXPECT_EQ(line.FindVertexWithFlags(3, 4, 0x201), found);
  EXPECT_EQ(line.FindVertexWithFlags(3, 4, 0x1), nullptr);
}

TEST_F(VertexRingTest, FindFromStopsAtTheStopVertex) {
  CPieceItem8 item(nullptr, nullptr);
  CVertexNode* a = item.AddTailVertex(0, 0, 0);
  CVertexNode* b = item.AddTailVertex(1, 0, 0);
  CVertexNode* c = item.AddTailVertex(2, 0, 0);
  item.AddTailVertex(2, 0, 104);
  EXPECT_EQ(item.FindVertexFrom(2, 0, a, c), c);
  EXPECT_EQ(item.FindVertexFrom(2, 0, a, b), nullptr);
  EXPECT_EQ(item.FindVertexOfKind(2, 0, 104, a), NodeAt(&item, 3));
  EXPECT_EQ(item.FindVertexOfKind(0, 0, 1, a), nullptr);
  EXPECT_EQ(item.FindMainVertexFrom(0, 0, c), a);
}

TEST_F(VertexRingTest, HitTestReachesExactlyTheTolerance) {
  // Scale 40: a tolerance of 0.5 mm reaches 20 model units.
  CPieceItem1 item(nullptr, nullptr);
  CVertexNode* near = item.AddTailVertex(120, 0, 0);
  item.AddTailVertex(0, 300, 64);  // a copy, found only with copies
  struct Case {
    int x, y;
    BOOL withCopies;
    bool hit;
  };
  const Case kCases[] = {{100, 0, FALSE, true}, {99, 0, FALSE, false}, {0, 280, FALSE, false},
                         {0, 280, TRUE, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    CVertexNode* found = nullptr;
    EXPECT_EQ(item.HitTestVertex(c.x, c.y, 0.5, &found, c.withCopies) != 0, c.hit);
    EXPECT_EQ(found != nullptr, c.hit);
  }
  CVertexNode* found = nullptr;
  // The range test has the looser reach of tolerance + 1 mm.
  EXPECT_TRUE(item.HitTestVertexRange(70, 0, 0.5, near, near, &found, FALSE));
  EXPECT_EQ(found, near);
  EXPECT_FALSE(item.HitTestVertexRange(60, 0, 0.5, near, near, &found, FALSE));
}

}  // namespace
