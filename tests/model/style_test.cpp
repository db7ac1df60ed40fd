#include <gtest/gtest.h>

#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/style.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class StyleTest : public ModelTest {};

CPieceRecord* AddNamedPiece(const char* name) {
  auto* piece = new CPieceRecord;
  piece->PieceName = name;
  g_Style.AddPiece(piece);
  return piece;
}

// A listed piece and its work-area copy, linked both ways.
CPieceRecord* PlaceCopy(CPieceRecord* listed) {
  std::unique_ptr<CPieceRecord> ownedCopy = DuplicatePiece(listed);
  CPieceRecord* copy = ownedCopy.get();
  copy->Link = listed;
  listed->Link = copy;
  listed->Linked = 1;
  g_Style.AddWorkPiece(ownedCopy.release());
  return copy;
}

TEST_F(StyleTest, SortSizesIsTheUnstableExchangeSort) {
  // Sizes with equal keys may change places: stored size orders depend on it.
  auto* b1 = new CSizeRecord("B1", 2, 0, 0, 1);
  auto* b2 = new CSizeRecord("B2", 2, 0, 0, 1);
  auto* a = new CSizeRecord("A", 1, 0, 0, 1);
  g_Style.AddSize(b1);
  g_Style.AddSize(b2);
  g_Style.AddSize(a);
  g_Style.SortSizes();
  ASSERT_EQ(g_Style.SizeArray.size(), 3u);
  EXPECT_EQ(g_Style.SizeArray[0], a);
  EXPECT_EQ(g_Style.SizeArray[1], b2);
  EXPECT_EQ(g_Style.SizeArray[2], b1);
  // The ring keeps the order of adding.
  EXPECT_EQ(g_Style.SizeRing, b1);
  EXPECT_EQ(g_Style.SizeAt(2), a);
}

TEST_F(StyleTest, SortSizesOrdersTiesBySecondKey) {
  struct Case {
    std::vector<std::pair<double, double>> keys;
    std::vector<int> order;  // ring indices in sorted order
  };
  const Case kCases[] = {
      {{}, {}},
      {{{5, 5}}, {0}},
      {{{1, 2}, {1, 1}}, {1, 0}},
      {{{3, 0}, {1, 9}, {2, 0}, {1, 3}}, {3, 1, 2, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.keys.size());
    ClearStyle();
    std::vector<CSizeRecord*> sizes;
    for (auto [k1, k2] : c.keys) {
      sizes.push_back(new CSizeRecord("", k1, k2, 0, 1));
      g_Style.AddSize(sizes.back());
    }
    g_Style.SortSizes();
    ASSERT_EQ(g_Style.SizeArray.size(), c.order.size());
    for (size_t i = 0; i < c.order.size(); ++i) EXPECT_EQ(g_Style.SizeArray[i], sizes[c.order[i]]) << i;
  }
}

TEST_F(StyleTest, RemovingTheHeadPieceMakesTheSecondTheHead) {
  CPieceRecord* first = AddNamedPiece("a");
  CPieceRecord* second = AddNamedPiece("b");
  CPieceRecord* third = AddNamedPiece("c");
  g_Style.RemovePiece(first);
  EXPECT_EQ(g_Style.PieceCount, 2);
  EXPECT_EQ(g_Style.PieceRing, second);
  EXPECT_EQ(second->Next, third);
  EXPECT_EQ(third->Next, second);
  EXPECT_EQ(second->Prev, third);

  g_Style.RemovePiece(third);
  EXPECT_EQ(second->Next, second);
  EXPECT_EQ(second->Prev, second);
  g_Style.RemovePiece(second);
  EXPECT_EQ(g_Style.PieceRing, nullptr);
  EXPECT_EQ(g_Style.PieceCount, 0);
}

TEST_F(StyleTest, InsertPieceBeforeKeepsTheHead) {
  CPieceRecord* first = AddNamedPiece("a");
  CPieceRecord* second = AddNamedPiece("b");
  auto* inserted = new CPieceRecord;
  EXPECT_EQ(g_Style.InsertPieceBefore(first, inserted), 3);
  EXPECT_EQ(g_Style.PieceRing, first);
  EXPECT_EQ(second->Next, inserted);
  EXPECT_EQ(inserted->Next, first);
}

TEST_F(StyleTest, RemovingAListedPieceTakesItsWorkAreaCopy) {
  CPieceRecord* listed = AddNamedPiece("a");
  CPieceRecord* other = AddNamedPiece("b");
  PlaceCopy(listed);
  CPieceRecord* otherCopy = PlaceCopy(other);
  EXPECT_FALSE(g_Style.IsEmpty());
  g_Style.RemovePiece(listed);
  EXPECT_EQ(g_Style.WorkPieceCount, 1);
  EXPECT_EQ(g_Style.WorkPieceRing, otherCopy);

  g_Style.RemoveWorkPiece(otherCopy);
  EXPECT_EQ(other->Linked, 0);
  EXPECT_EQ(other->Link, nullptr);
  EXPECT_TRUE(g_Style.IsEmpty());
  EXPECT_EQ(g_Style.PieceCount, 1);
}

TEST_F(StyleTest, ClearStyleEmptiesEverythingAndRestoresDefaults) {
  FakeShell shell;
  AddSizes(3);
  g_Style.SortSizes();
  for (const char* name : {"a", "b", "c"}) {
    CPieceRecord* piece = AddNamedPiece(name);
    auto* outline = new CPieceItem0(nullptr, nullptr);
    ModelTest::AddGraded(outline, 0, 0, 0);
    piece->AddItem(outline);
    PlaceCopy(piece);
  }
  g_Style.StyleName = "style";
  g_Style.HeaderText5 = "h5";
  g_Style.Reserved = 7;
  g_Style.DataVersion = 150;
  g_Style.Mode = 3;
  g_Style.SetScale(100);
  g_Selection.SelectMode = 5;
  g_Selection.SelectEnabled = 0;
  g_Selection.SetCurrent(g_Style.WorkPieceRing, nullptr, nullptr, nullptr);
  shell.calls.clear();

  ClearStyle();

  EXPECT_EQ(g_Style.PieceRing, nullptr);
  EXPECT_EQ(g_Style.PieceCount, 0);
  EXPECT_EQ(g_Style.WorkPieceRing, nullptr);
  EXPECT_EQ(g_Style.WorkPieceCount, 0);
  EXPECT_EQ(g_Style.SizeRing, nullptr);
  EXPECT_EQ(g_Style.SizeCount, 0);
  EXPECT_TRUE(g_Style.SizeArray.empty());
  EXPECT_EQ(g_Style.GetScale(), 40);
  EXPECT_EQ(g_Style.DataVersion, 121);
  EXPECT_EQ(g_Style.Mode, 0);
  EXPECT_EQ(g_Style.Reserved, 0);
  EXPECT_TRUE(g_Style.StyleName.IsEmpty());
  EXPECT_TRUE(g_Style.HeaderText5.IsEmpty());
  EXPECT_EQ(g_Selection.GetCurrentPiece(), nullptr);
  EXPECT_EQ(g_Selection.SelectMode, 0);
  EXPECT_EQ(g_Selection.SelectEnabled, 1);
  // The selection let go first; the list pane is emptied last.
  ASSERT_FALSE(shell.calls.empty());
  EXPECT_EQ(shell.calls.front(), "SelectPiece");
  EXPECT_EQ(shell.calls.back(), "ResetContent");
}

TEST_F(StyleTest, ClearStyleTakesTheChangedDefaultVersion) {
  g_DefaultDataVersion = 130;
  ClearStyle();
  EXPECT_EQ(g_Style.DataVersion, 130);
  g_DefaultDataVersion = kDefaultDataVersion;
}

TEST_F(StyleTest, RemoveSizeClearsItsSortedEntry) {
  auto sizes = AddSizes(2);
  g_Style.SortSizes();
  g_Style.RemoveSize(sizes[0]);
  EXPECT_EQ(g_Style.SizeRing, sizes[1]);
  EXPECT_EQ(g_Style.SizeCount, 1);
  EXPECT_EQ(g_Style.SizeArray[0], nullptr);
  EXPECT_EQ(g_Style.SizeArray[1], sizes[1]);
  EXPECT_EQ(g_Style.IndexOfSize(sizes[1]), 0);
  EXPECT_EQ(g_Style.SizeAt(1), nullptr);
}

TEST_F(StyleTest, WorkPieceItemRemovalNeedsEditingAndTakesAnEmptiedPiece) {
  CPieceRecord* listed = AddNamedPiece("a");
  listed->AddItem(new CPieceItem1(nullptr, nullptr));
  CPieceRecord* copy = PlaceCopy(listed);
  CPieceItem* item = copy->ItemRing;
  CPieceRecord* piece = copy;

  g_Style.RemoveWorkPieceItem(item, piece);
  EXPECT_EQ(copy->ItemCount, 1) << "AllowEdit is 0: nothing happens";

  copy->AllowEdit = 1;
  g_Style.RemoveWorkPieceItem(item, piece);
  EXPECT_EQ(item, nullptr);
  EXPECT_EQ(piece, nullptr);
  EXPECT_EQ(g_Style.WorkPieceCount, 0);
  EXPECT_EQ(listed->Linked, 0);
}

}  // namespace
