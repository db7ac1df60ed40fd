// Unfolding the current half piece about its fold line into a whole piece.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/unfold.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class UnfoldTest : public ModelTest {
 protected:
  // A listed half piece with its work-area copy made current. The outline
  // runs (0,0) (500,0) (500,1000) (0,1000) and then `fold` (vertices on the
  // fold line x = 0), size s shifted by s x `grading`. (0,0) carries corner
  // widths 5 and 9, (0,1000) 7 and 3 (arriving and leaving); their vertex
  // kinds are `bottomKind` and `topKind`, every other vertex is a corner.
  CPieceRecord* HalfPiece(const std::vector<CPoint>& fold = {}, CPoint grading = {0, 0}, uint32_t bottomKind = 0,
                          uint32_t topKind = 0) {
    auto* listed = new CPieceRecord;
    std::unique_ptr<CPieceItem> outline = CreatePieceItem(0);
    std::vector<CPoint> corners = {{0, 0}, {500, 0}, {500, 1000}, {0, 1000}};
    corners.insert(corners.end(), fold.begin(), fold.end());
    for (CPoint p : corners) {
      outline->AddTailVertex(p.x, p.y, p == CPoint(0, 0) ? bottomKind : p == CPoint(0, 1000) ? topKind : 0);
      for (int s = 1; s < g_Style.SizeCount; ++s) {
        outline->AddTailVertex(p.x + s * grading.x, p.y + s * grading.y, kVertexKindCopy);
      }
      if (p == CPoint(0, 0)) outline->AddTailVertex(0x00050009, 0, kVertexKindParameter);
      if (p == CPoint(0, 1000)) outline->AddTailVertex(0x00070003, 0, kVertexKindParameter);
    }
    listed->AddItem(outline.release());
    listed->UpdateCurveItems();
    g_Style.AddPiece(listed);
    std::unique_ptr<CPieceRecord> ownedWork = DuplicatePiece(listed);
    CPieceRecord* work = ownedWork.get();
    listed->Linked = 1;
    listed->Link = work;
    work->Link = listed;
    work->AllowEdit = 1;
    g_Style.AddWorkPiece(ownedWork.release());
    return work;
  }

  // Selects the outline vertices at `a` and `b` on the work piece.
  static void Select(CPieceRecord* work, CPoint a, CPoint b) {
    CPieceItem* outline = Item(work, 0);
    g_Selection.SetCurrent(work, outline, outline->FindVertex(a.x, a.y), outline->FindVertex(b.x, b.y));
  }

  static std::vector<CPoint> Outline(const CPieceRecord* piece, int size = 0) {
    return Item(piece, 0)->MainVertexPositions(size);
  }

  static std::vector<std::pair<int32_t, int32_t>> Params(const CPieceRecord* piece) {
    std::vector<std::pair<int32_t, int32_t>> params;
    const CPieceItem* outline = Item(piece, 0);
    const CVertexNode* node = outline->VertexHead;
    for (int i = 0; i < outline->VertexCount; ++i, node = node->Next) {
      if (node->Kind() == kVertexKindParameter) params.emplace_back(node->X, node->Y);
    }
    return params;
  }

  // The whole piece, as the last work-area piece.
  static CPieceRecord* Whole() { return g_Style.WorkPieceRing ? g_Style.WorkPieceRing->Prev : nullptr; }

  FakeShell shell_;
};

const std::vector<CPoint> kWhole = {{0, 0}, {500, 0}, {500, 1000}, {0, 1000}, {-500, 1000}, {-500, 0}};

TEST_F(UnfoldTest, TheMirrorImageIsJoinedAtTheFoldLineAsANewPiece) {
  AddSizes(2);
  CPieceRecord* work = HalfPiece();
  CPieceRecord* listed = work->Link;
  const std::vector<CPoint> source = Outline(work);
  const int nodes = Item(work, 0)->VertexCount;
  // Picked the other way round: the fold line still runs from (0,1000) to
  // (0,0), the way the outline goes.
  Select(work, {0, 0}, {0, 1000});

  UnfoldCurrentPiece();
  ASSERT_EQ(g_Style.PieceCount, 2);
  ASSERT_EQ(g_Style.WorkPieceCount, 2);
  CPieceRecord* whole = Whole();
  CPieceRecord* wholeListed = g_Style.PieceRing->Prev;
  EXPECT_EQ(Outline(whole), kWhole);
  EXPECT_EQ(Outline(wholeListed), kWhole);
  EXPECT_EQ(Outline(whole, 1), kWhole);
  // New plain corners after the fold line's ends, with their widths.
  EXPECT_EQ(Params(whole), (std::vector<std::pair<int32_t, int32_t>>{{0x00090009, 6}, {0x00070007, 6}}));

  EXPECT_EQ(whole->Link, wholeListed);
  EXPECT_EQ(wholeListed->Link, whole);
  EXPECT_EQ(whole->Linked, 1);
  EXPECT_EQ(wholeListed->Linked, 1);
  EXPECT_EQ(whole->AllowEdit, 1);
  EXPECT_EQ(wholeListed->AllowEdit, 0);
  EXPECT_EQ(shell_.entries, (std::vector<CPieceRecord*>{wholeListed}));
  const auto& calls = shell_.calls;
  const auto place = std::find(calls.begin(), calls.end(), "PlacePiece");
  ASSERT_NE(place, calls.end());
  EXPECT_NE(std::find(place, calls.end(), "ZoomToFit"), calls.end());

  // The half it started from is as it was, and still current.
  EXPECT_EQ(Outline(work), source);
  EXPECT_EQ(Item(work, 0)->VertexCount, nodes);
  EXPECT_EQ(listed->Link, work);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), work);
}

TEST_F(UnfoldTest, VerticesOnTheFoldLineAreDropped) {
  AddSizes(1);
  CPieceRecord* work = HalfPiece({{0, 700}, {0, 300}});
  Select(work, {0, 1000}, {0, 0});
  UnfoldCurrentPiece();
  ASSERT_EQ(g_Style.WorkPieceCount, 2);
  EXPECT_EQ(Outline(Whole()), kWhole);
  EXPECT_EQ(Outline(work).size(), 6u);
}

TEST_F(UnfoldTest, SmoothEndsOfTheFoldLineBecomeCorners) {
  AddSizes(1);
  CPieceRecord* work = HalfPiece({}, {0, 0}, 1, 3);
  Select(work, {0, 1000}, {0, 0});
  UnfoldCurrentPiece();
  ASSERT_EQ(g_Style.WorkPieceCount, 2);
  CPieceItem* outline = Item(Whole(), 0);
  EXPECT_EQ(outline->MainVertexPositions(0), kWhole);
  EXPECT_EQ(outline->FindVertex(0, 0)->Kind(), 2);
  EXPECT_EQ(outline->FindVertex(0, 1000)->Kind(), 0);
  EXPECT_EQ(Item(work, 0)->FindVertex(0, 0)->Kind(), 1);  // the half keeps its own
}

TEST_F(UnfoldTest, AGradedFoldLineCentresEverySizeOnTheFirstSizesFoldLine) {
  AddSizes(2);
  // Size 1 is size 0 moved by (100, 50): its fold line is x = 100.
  CPieceRecord* work = HalfPiece({}, {100, 50});
  Select(work, {0, 1000}, {0, 0});
  UnfoldCurrentPiece();
  ASSERT_EQ(g_Style.WorkPieceCount, 2);
  EXPECT_EQ(Outline(Whole()), kWhole);
  EXPECT_EQ(Outline(Whole(), 1),
            (std::vector<CPoint>{{0, 50}, {500, 50}, {500, 1050}, {0, 1050}, {-500, 1050}, {-500, 50}}));
}

TEST_F(UnfoldTest, TheMirrorsItemsJoinTheWholePiece) {
  AddSizes(1);
  CPieceRecord* work = HalfPiece();
  std::unique_ptr<CPieceItem> ownedGrain = CreatePieceItem(1);
  auto* grain = ownedGrain.get();
  grain->AddTailVertex(250, 200, 0);
  grain->AddTailVertex(250, 800, 0);
  work->AddItem(ownedGrain.release());
  std::unique_ptr<CPieceItem> notches = CreatePieceItem(13);
  notches->AddTailVertex(500, 500, 0);
  notches->AddTailVertex(450, 500, 0x101);
  notches->AddTailVertex(40, 900, kVertexKindFixedSingle);
  notches->AddTailVertex(500, 0, (3u << 8) | kVertexKindMovedSingle);
  work->AddItem(notches.release());
  auto* text = new CPieceItem11(nullptr, nullptr);
  text->AnchorX = 100;
  text->AnchorY = 600;
  work->AddItem(text);
  Select(work, {0, 1000}, {0, 0});

  UnfoldCurrentPiece();
  ASSERT_EQ(g_Style.WorkPieceCount, 2);
  CPieceRecord* whole = Whole();
  EXPECT_EQ(CountItems(whole, 1), 1);  // the mirror's grain line is left out
  EXPECT_EQ(CountItems(whole, 13), 1);
  EXPECT_EQ(CountItems(whole, 11), 2);
  std::vector<CPoint> points = Item(whole, 13)->MainVertexPositions(0);
  ASSERT_EQ(points.size(), 4u);
  EXPECT_EQ(points[0], CPoint(500, 500));
  EXPECT_EQ(points[2], CPoint(-500, 500));
}

TEST_F(UnfoldTest, NothingHappensWithoutAValidFoldLine) {
  AddSizes(1);
  CPieceRecord* work = HalfPiece();
  CPieceItem* outline = Item(work, 0);
  CVertexNode* a = outline->FindVertex(0, 1000);
  CVertexNode* b = outline->FindVertex(0, 0);
  std::unique_ptr<CPieceItem> other = CreatePieceItem(8);
  CVertexNode* stray = other->AddTailVertex(0, 0, 0);
  work->AddItem(other.release());
  CVertexNode* param = b->Next;  // b's parameter node
  CVertexNode* twin = outline->InsertVertexAfter(param, 0, 0, 0);  // a second vertex on (0,0)
  struct Case {
    const char* what;
    CPieceRecord* piece;
    CVertexNode* a;
    CVertexNode* b;
  };
  const Case kCases[] = {
      {"no current piece", nullptr, a, b},
      {"one vertex twice", work, a, a},
      {"one vertex only", work, a, nullptr},
      {"a vertex of another item", work, a, stray},
      {"a parameter node", work, a, param},
      {"two vertices on one place", work, b, twin},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    g_Selection.Reset();
    g_Selection.CurrentPiece = c.piece;
    g_Selection.Value1 = outline;
    g_Selection.Value2 = c.a;
    g_Selection.Value3 = c.b;
    UnfoldCurrentPiece();
    EXPECT_EQ(g_Style.PieceCount, 1);
    EXPECT_EQ(g_Style.WorkPieceCount, 1);
    EXPECT_TRUE(shell_.entries.empty());
  }
}

}  // namespace
