// Removing one vertex of an item through the style, by item type.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/style.h"
#include "support/model_fixture.h"

namespace {

class ItemVertexRemovalTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    AddSizes(2);  // n = 2 throughout
    piece_ = new CPieceRecord;
    piece_->AllowEdit = 1;
    g_Style.AddWorkPiece(piece_);
    // A second item keeps the piece alive when the tested one goes.
    piece_->AddItem(new CPieceItem27(nullptr, nullptr));
  }

  CPieceRecord* piece_ = nullptr;
};

struct Case {
  int type;
  const char* what;
  std::function<void(CPieceItem*)> build;
  int node;              // index of the node given
  int remaining;         // nodes left; -1: the item is gone
};

void Single(CPieceItem* item, uint32_t kind) { item->AddTailVertex(1, 1, kind); }

TEST_F(ItemVertexRemovalTest, RemovesByItemType) {
  const auto twoGraded = [](CPieceItem* item) {
    ModelTest::AddGraded(item, 0, 0, 0);
    ModelTest::AddGraded(item, 50, 0, 0);
  };
  const auto outline = [](CPieceItem* item) {
    ModelTest::AddGraded(item, 0, 0, 0);
    Single(item, 128);
    ModelTest::AddGraded(item, 50, 0, 1);
    ModelTest::AddGraded(item, 50, 50, 3);
  };
  const auto markers = [](CPieceItem* item) {
    for (int k = 0; k < 2; ++k) {
      ModelTest::AddGraded(item, 100 * k, 0, 0);
      Single(item, 102);
      Single(item, 103);
    }
  };
  const auto circles = [](CPieceItem* item) {
    for (int k = 0; k < 2; ++k) {
      ModelTest::AddGraded(item, 100 * k, 0, 0);
      ModelTest::AddGraded(item, 30, 0, 102);
    }
  };
  const auto notches = [](CPieceItem* item) {
    for (int k = 0; k < 2; ++k) {
      ModelTest::AddGraded(item, 100 * k, 0, 0);
      ModelTest::AddGraded(item, 100 * k, 20, 0x100 | 102);
      Single(item, 128);
      Single(item, 128);
    }
  };
  const auto line = [](CPieceItem* item) {
    ModelTest::AddGraded(item, 0, 0, 0);
    ModelTest::AddGraded(item, 50, 0, 2);
    ModelTest::AddGraded(item, 90, 0, 101);
    ModelTest::AddGraded(item, 90, 90, 3);
  };
  const auto slots = [](CPieceItem* item) {
    for (int k = 0; k < 4; ++k) ModelTest::AddGraded(item, 10 * k, 0, 5);
  };
  const Case kCases[] = {
      {0, "main vertex, then its corner parameters", outline, 0, 4},
      {0, "a parameter node is no vertex", outline, 2, 7},
      {1, "one graded vertex", twoGraded, 0, 2},
      {12, "one graded vertex", twoGraded, 2, 2},
      {2, "a symbol and its two single nodes", markers, 0, 4},
      {4, "a symbol and its two single nodes", markers, 4, 4},
      {3, "one symbol of two points", slots, 0, 4},
      {5, "the whole line", twoGraded, 2, -1},
      {10, "one circle", circles, 0, 4},
      {16, "one circle", circles, 4, 4},
      {11, "a text has no vertices", twoGraded, 0, 4},
      {13, "one notch", notches, 0, 6},
      {8, "a curve vertex", line, 2, 6},
      {9, "a skip run is kept", line, 4, 8},
      {14, "a key vertex", line, 6, 6},
      {20, "a segment end", twoGraded, 0, 2},
      {29, "a frame corner", twoGraded, 0, 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ": " << c.what);
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(c.type);
    CPieceItem* item = ownedItem.get();
    c.build(item);
    piece_->AddItem(ownedItem.release());
    CVertexNode* node = NodeAt(item, c.node);
    CPieceRecord* piece = piece_;
    g_Style.RemoveItemVertex(node, item, piece);
    EXPECT_EQ(piece, piece_);
    if (c.remaining < 0) {
      EXPECT_EQ(item, nullptr);
      EXPECT_EQ(piece_->ItemCount, 1);
      continue;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->VertexCount, c.remaining);
    piece_->RemoveItem(item);
  }
}

TEST_F(ItemVertexRemovalTest, SlotSymbolsStartOverAtTheHead) {
  auto* item = new CPieceItem3(nullptr, nullptr);
  for (int k = 0; k < 8; ++k) AddGraded(item, 10 * k, 0, 0x40000 | 5);
  piece_->AddItem(item);
  CPieceItem* it = item;
  CVertexNode* node = item->VertexHead;
  CPieceRecord* piece = piece_;
  g_Style.RemoveItemVertex(node, it, piece);
  ASSERT_EQ(item->VertexCount, 12);
  // Head, the vertex after it and the two before it lose their flags.
  const uint32_t expected[] = {0, 0, 0x40005, 0x40005, 0, 0};  // main vertices from the head
  CVertexNode* main = item->VertexHead;
  for (uint32_t flags : expected) {
    EXPECT_EQ(main->Flags, flags);
    main = item->NextMainVertex(main);
  }
}

TEST_F(ItemVertexRemovalTest, NothingHappensWithoutEditing) {
  piece_->AllowEdit = 0;
  CPieceItem* item = new CPieceItem1(nullptr, nullptr);
  AddGraded(item, 0, 0, 0);
  piece_->AddItem(item);
  CVertexNode* node = item->VertexHead;
  CPieceRecord* piece = piece_;
  g_Style.RemoveItemVertex(node, item, piece);
  EXPECT_EQ(item->VertexCount, 2);
  EXPECT_NE(node, nullptr);
}

TEST_F(ItemVertexRemovalTest, LastItemTakesThePieceOutOfTheWorkArea) {
  auto* listed = new CPieceRecord;
  g_Style.AddPiece(listed);
  auto* copy = new CPieceRecord;
  copy->AllowEdit = 1;
  copy->Link = listed;
  listed->Link = copy;
  listed->Linked = 1;
  g_Style.AddWorkPiece(copy);
  CPieceItem* item = new CPieceItem5(nullptr, nullptr);
  AddGraded(item, 0, 0, 0);
  AddGraded(item, 9, 9, 0);
  copy->AddItem(item);
  CVertexNode* node = item->VertexHead;
  CPieceRecord* piece = copy;
  g_Style.RemoveItemVertex(node, item, piece);
  EXPECT_EQ(item, nullptr);
  EXPECT_EQ(piece, nullptr);
  EXPECT_EQ(listed->Linked, 0);
  EXPECT_EQ(g_Style.WorkPieceCount, 1);  // the fixture's piece
}

TEST_F(ItemVertexRemovalTest, VShapeGoesWholeAndFreesItsOutlineMarks) {
  auto* outline = new CPieceItem0(nullptr, nullptr);
  AddGraded(outline, 0, 0, 0x800);
  AddGraded(outline, 100, 0, 0x800 | 1);
  AddGraded(outline, 100, 100, 0x800);
  piece_->AddItem(outline);
  // A second V shape still ends on (100, 100).
  auto* other = new CPieceItem6(nullptr, nullptr);
  AddGraded(other, 100, 100, 2);
  AddGraded(other, 150, 150, 5);
  AddGraded(other, 200, 100, 2);
  AddGraded(other, 10, 0, 102);
  piece_->AddItem(other);
  CPieceItem* shape = new CPieceItem6(nullptr, nullptr);
  AddGraded(shape, 0, 0, 2);
  AddGraded(shape, 50, 50, 5);
  AddGraded(shape, 100, 100, 2);
  AddGraded(shape, 10, 0, 102);
  piece_->AddItem(shape);

  CVertexNode* node = NodeAt(shape, 2);
  CPieceRecord* piece = piece_;
  g_Style.RemoveItemVertex(node, shape, piece);
  EXPECT_EQ(shape, nullptr);
  EXPECT_EQ(piece_->ItemCount, 3);
  EXPECT_EQ(outline->FindVertex(0, 0)->Flags, 0u);
  EXPECT_EQ(outline->FindVertex(100, 100)->Flags, 0x800u);
  EXPECT_EQ(outline->FindVertex(100, 0)->Flags, 0x801u);
}

TEST_F(ItemVertexRemovalTest, SegmentChainGoesWhole) {
  auto* outline = new CPieceItem0(nullptr, nullptr);
  AddGraded(outline, 0, 0, 0x1000);
  AddGraded(outline, 40, 0, 0x1000);
  piece_->AddItem(outline);
  CPieceItem* segments = new CPieceItem7(nullptr, nullptr);
  // Chain one: two pairs, the second starting with kind 3; chain two: the same.
  AddGraded(segments, 0, 0, 0);
  AddGraded(segments, 10, 0, 1);
  AddGraded(segments, 20, 0, 3);
  AddGraded(segments, 40, 0, 1);
  AddGraded(segments, 0, 50, 0);
  AddGraded(segments, 10, 50, 1);
  AddGraded(segments, 20, 50, 3);
  AddGraded(segments, 30, 50, 1);
  piece_->AddItem(segments);

  CVertexNode* node = NodeAt(segments, 2);  // first chain, second vertex
  CPieceRecord* piece = piece_;
  g_Style.RemoveItemVertex(node, segments, piece);
  ASSERT_NE(segments, nullptr);
  EXPECT_EQ(segments->VertexCount, 8);
  EXPECT_EQ(segments->VertexHead->Y, 50);
  EXPECT_EQ(outline->FindVertex(0, 0)->Flags, 0u);
  EXPECT_EQ(outline->FindVertex(40, 0)->Flags, 0u);

  node = segments->VertexHead;
  g_Style.RemoveItemVertex(node, segments, piece);
  EXPECT_EQ(segments, nullptr);
}

}  // namespace
