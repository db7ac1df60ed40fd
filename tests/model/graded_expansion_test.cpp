// Expanding an item's interleaved graded ring into one ring per size, and
// writing per-size rings back.
#include <gtest/gtest.h>

#include <vector>

#include "model/graded_expansion.h"
#include "model/items/all_items.h"
#include "support/model_fixture.h"

namespace {

struct Node {
  int32_t x, y;
  uint32_t flags;
  bool operator==(const Node&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Node& n) {
  return out << "(" << n.x << "," << n.y << " k" << (n.flags & 0xFF) << ")";
}

// The nodes of one per-size ring from its head.
std::vector<Node> RingNodes(const CVertexNode* head) {
  std::vector<Node> nodes;
  if (!head) return nodes;
  const CVertexNode* node = head;
  do {
    nodes.push_back({node->X, node->Y, node->Flags});
    EXPECT_EQ(node->Next->Prev, node);
    node = node->Next;
  } while (node != head && nodes.size() < 1000);
  return nodes;
}

std::vector<Node> ItemNodes(const CPieceItem& item) {
  std::vector<Node> nodes;
  const CVertexNode* node = item.VertexHead;
  for (int i = 0; i < item.VertexCount; ++i, node = node->Next) nodes.push_back({node->X, node->Y, node->Flags});
  return nodes;
}

class GradedExpansionTest : public ModelTest {
 protected:
  // The two-vertex item: A at (0,0) kind 0 and B at (100,100) kind 3, each
  // with copies 10 units apart in x per size.
  static void AddTwoGroups(CPieceItem* item) {
    item->AddTailVertex(0, 0, 0);
    item->AddTailVertex(10, 0, 64);
    item->AddTailVertex(20, 0, 64);
    item->AddTailVertex(100, 100, 3);
    item->AddTailVertex(110, 100, 64);
    item->AddTailVertex(120, 100, 64);
  }
};

TEST_F(GradedExpansionTest, GroupsGoOneNodePerSizeWithTheMainVertexKind) {
  AddSizes(3);
  CPieceItem9 item(nullptr, nullptr);
  AddTwoGroups(&item);
  const std::vector<Node> before = ItemNodes(item);

  CPerSizeRings rings;
  ASSERT_EQ(ExpandGradedPoints(rings.Heads(), &item), 2);
  EXPECT_EQ(RingNodes(rings.Head(0)), (std::vector<Node>{{0, 0, 0}, {100, 100, 3}}));
  EXPECT_EQ(RingNodes(rings.Head(1)), (std::vector<Node>{{10, 0, 0}, {110, 100, 3}}));
  EXPECT_EQ(RingNodes(rings.Head(2)), (std::vector<Node>{{20, 0, 0}, {120, 100, 3}}));

  WriteBackRunPerSize(rings.Heads(), &item, item.VertexHead);
  EXPECT_EQ(ItemNodes(item), before);
}

TEST_F(GradedExpansionTest, KindsDecideWhatEachSizeGets) {
  AddSizes(2);
  struct Case {
    const char* what;
    std::vector<Node> ring;
    int count;
    std::vector<Node> size0, size1;
  };
  const Case kCases[] = {
      {"parameter nodes only", {{5, 5, 128}, {6, 6, 128}}, 0, {}, {}},
      {"a moved single node", {{7, 8, 104}}, 1, {{7, 8, 104}}, {{7, 8, 104}}},
      {"fixed single among groups",
       {{0, 0, 1}, {1, 1, 64}, {9, 9, 102}, {5, 5, 128}, {2, 0, 100}, {3, 1, 64}},
       3,
       {{0, 0, 1}, {9, 9, 102}, {2, 0, 100}},
       {{1, 1, 1}, {9, 9, 102}, {3, 1, 100}}},
      {"skip run and marks", {{4, 4, 101}, {5, 5, 64}, {6, 6, 108}}, 1, {{4, 4, 101}}, {{5, 5, 101}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPieceItem9 item(nullptr, nullptr);
    for (const Node& n : c.ring) item.AddTailVertex(n.x, n.y, n.flags);
    CPerSizeRings rings;
    EXPECT_EQ(ExpandGradedPoints(rings.Heads(), &item), c.count);
    EXPECT_EQ(RingNodes(rings.Head(0)), c.size0);
    EXPECT_EQ(RingNodes(rings.Head(1)), c.size1);
  }
}

TEST_F(GradedExpansionTest, TextItemsAndEmptyStylesExpandToNothing) {
  AddSizes(2);
  CPieceItem11 text(nullptr, nullptr);
  text.AddTailVertex(1, 2, 0);
  text.AddTailVertex(3, 4, 64);
  CPerSizeRings rings;
  EXPECT_EQ(ExpandGradedPoints(rings.Heads(), &text), 0);
  EXPECT_EQ(rings.Head(0), nullptr);
  EXPECT_EQ(rings.Head(1), nullptr);
  EXPECT_EQ(ExpandGradedPointLists(text), (std::vector<std::vector<CPoint>>(2)));

  ClearStyle();  // no sizes at all
  CPieceItem9 line(nullptr, nullptr);
  line.AddTailVertex(1, 2, 0);
  CPerSizeRings none;
  EXPECT_EQ(none.SizeCount(), 0);
  EXPECT_EQ(ExpandGradedPoints(none.Heads(), &line), 0);
  EXPECT_TRUE(ExpandGradedPointLists(line).empty());
}

TEST_F(GradedExpansionTest, RunKeepsCopyKindsAndIncludesBothEnds) {
  AddSizes(3);
  CPieceItem9 item(nullptr, nullptr);
  AddTwoGroups(&item);
  CVertexNode* a = item.VertexHead;
  CVertexNode* b = NodeAt(&item, 3);
  item.AddTailVertex(200, 0, 2);
  item.AddTailVertex(210, 0, 64);
  item.AddTailVertex(220, 0, 64);

  CPerSizeRings rings;
  ASSERT_EQ(ExpandRunPerSize(rings.Heads(), &item, a, b), 2);
  EXPECT_EQ(RingNodes(rings.Head(0)), (std::vector<Node>{{0, 0, 0}, {100, 100, 3}}));
  EXPECT_EQ(RingNodes(rings.Head(2)), (std::vector<Node>{{20, 0, 64}, {120, 100, 64}}));

  // A run from a vertex round to itself holds the vertex at both ends.
  rings.Free();
  ASSERT_EQ(ExpandRunPerSize(rings.Heads(), &item, b, b), 4);
  EXPECT_EQ(RingNodes(rings.Head(1)),
            (std::vector<Node>{{110, 100, 64}, {210, 0, 64}, {10, 0, 64}, {110, 100, 64}}));
}

TEST_F(GradedExpansionTest, WriteBackTakesPositionsOnlyAndSinglesFromTheFirstSize) {
  AddSizes(3);
  CPieceItem9 item(nullptr, nullptr);
  AddTwoGroups(&item);
  CVertexNode* single = item.InsertVertexAfter(NodeAt(&item, 2), 50, 50, 104);
  CVertexNode* end = NodeAt(&item, 4);

  CPerSizeRings rings;
  ASSERT_EQ(ExpandRunPerSize(rings.Heads(), &item, item.VertexHead, end), 3);
  // Change every node of sizes 1 and 2, flags included.
  for (int k = 1; k < 3; ++k) {
    CVertexNode* node = rings.Head(k);
    for (int i = 0; i < 3; ++i, node = node->Next) {
      node->X += 1000 * k;
      node->Flags = 77;
    }
  }
  WriteBackRunPerSize(rings.Heads(), &item, item.VertexHead);
  EXPECT_EQ(ItemNodes(item), (std::vector<Node>{{0, 0, 0},
                                                {1010, 0, 64},
                                                {2020, 0, 64},
                                                {50, 50, 104},
                                                {100, 100, 3},
                                                {1110, 100, 64},
                                                {2120, 100, 64}}));
  EXPECT_EQ(single->X, 50);
}

TEST_F(GradedExpansionTest, ShortGroupsReadOnRoundTheRingWithoutLeavingIt) {
  // A damaged ring: one main vertex without the copies three sizes expect.
  AddSizes(3);
  CPieceItem9 item(nullptr, nullptr);
  item.AddTailVertex(4, 5, 2);
  CPerSizeRings rings;
  ASSERT_EQ(ExpandGradedPoints(rings.Heads(), &item), 1);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(RingNodes(rings.Head(k)), (std::vector<Node>{{4, 5, 2}}));
  WriteBackRunPerSize(rings.Heads(), &item, item.VertexHead);
  EXPECT_EQ(ItemNodes(item), (std::vector<Node>{{4, 5, 2}}));

  // A group cut short by the next main vertex reads it as a copy; every size
  // still gets the same number of nodes.
  item.AddTailVertex(6, 7, 0);
  item.AddTailVertex(8, 9, 64);
  rings.Free();
  const int count = ExpandRunPerSize(rings.Heads(), &item, item.VertexHead, NodeAt(&item, 1));
  for (int k = 0; k < 3; ++k) EXPECT_EQ(static_cast<int>(RingNodes(rings.Head(k)).size()), count);
}

TEST_F(GradedExpansionTest, PointListsFollowTheRings) {
  AddSizes(3);
  CPieceItem9 item(nullptr, nullptr);
  AddTwoGroups(&item);
  const std::vector<std::vector<CFlaggedPoint>> flagged = ExpandGradedFlaggedPoints(item);
  ASSERT_EQ(flagged.size(), 3u);
  ASSERT_EQ(flagged[1].size(), 2u);
  EXPECT_EQ(flagged[1][1].Flags, 3u);
  EXPECT_EQ(flagged[1][1].X, 110);
  EXPECT_EQ(ExpandGradedPointLists(item)[2], (std::vector<CPoint>{{20, 0}, {120, 100}}));
}

}  // namespace
