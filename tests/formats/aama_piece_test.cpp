// Completing pieces read from AAMA and DXF files: grade numbers from "#"
// texts, point marks onto vertices, outline and grain-line fall-backs, notch
// points to notch marks, and the unfolding of half pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "formats/aama_piece.h"
#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "tests/model/support/fake_shell.h"
#include "tests/model/support/model_fixture.h"
#include "tests/support/piece_items.h"

namespace {

CPieceItem* AddShape(CPieceRecord* piece, int type, const std::vector<std::pair<int, int>>& points, int kind = 0) {
  std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(type);
  CPieceItem* item = ownedItem.get();
  for (auto [x, y] : points) item->AddTailVertex(x, y, static_cast<uint32_t>(kind));
  piece->AddItem(ownedItem.release());
  return item;
}

void AddMark(CPieceItem* points, int x, int y, int kind, uint32_t rule = 0) {
  points->AddTailVertex(x, y, static_cast<uint32_t>(kind))->Attributes = rule;
  points->AddTailVertex(200, 0, 103);
  points->AddTailVertex(200, 200, 103);
}

void AddText(CPieceRecord* piece, int x, int y, const char* text) {
  std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(kItemTypeText);
  auto* item = static_cast<CPieceItem11*>(ownedItem.get());
  item->AnchorX = x;
  item->AnchorY = y;
  item->Text = text;
  piece->AddItem(ownedItem.release());
}

const std::vector<std::pair<int, int>> kSquare = {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}};

class AamaPieceTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    AddSizes(1);
  }
  FakeShell shell_;
};

TEST_F(AamaPieceTest, RuleTextOnACurvePointMakesItACurveGradePoint) {
  auto* piece = new CPieceRecord;
  AddShape(piece, 8, {{0, 0}, {1000, 0}, {2000, 0}, {2000, 2000}, {0, 2000}});
  Mains(Item(piece, 8))[1]->Flags = 1;
  CPieceItem* points = AddShape(piece, 2, {});
  AddMark(points, 1000, 0, 1);
  AddText(piece, 1000, 0, " #12");
  AddText(piece, 500, 500, "front");
  BuildAamaPieceElements(piece, 0, 0, 0);

  ASSERT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(CountItems(piece, kItemTypeText), 0) << "texts go once their numbers are read";
  EXPECT_EQ(Item(piece, 2), nullptr) << "the placed point goes";
  EXPECT_EQ(Item(piece, 8), nullptr) << "the closed line became the outline";
  CPieceItem* outline = Item(piece, 0);
  ASSERT_NE(outline, nullptr);
  CVertexNode* v = outline->FindVertex(1000, 0);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->Kind(), 3);
  EXPECT_EQ(v->Attributes, 12u) << "the working marker is cleared";
  EXPECT_EQ(CountItems(piece, 1), 1) << "a grain line is added";
  EXPECT_EQ(piece->AuxX, outline->VertexHead->X);
  EXPECT_EQ(piece->AuxY, outline->VertexHead->Y);
}

TEST_F(AamaPieceTest, RuleTextAwayFromPointsAddsAFreeMark) {
  auto* piece = new CPieceRecord;
  AddShape(piece, 0, kSquare);
  CPieceItem* points = AddShape(piece, 2, {});
  AddMark(points, 100, 100, 0);
  AddText(piece, 2000, 2000, "#-7");
  BuildAamaPieceElements(piece, 1, 0, 0);
  CPieceItem* marks = Item(piece, 2);
  ASSERT_NE(marks, nullptr);
  std::vector<CVertexNode*> v = Mains(marks);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[1]->X, 2000);
  EXPECT_EQ(v[1]->Attributes & 0xFFFF, 7u) << "made positive";
  EXPECT_EQ(v[1]->Kind(), 0);
  EXPECT_EQ(marks->VertexCount, 6) << "each mark keeps its two size nodes";
  EXPECT_EQ(CountItems(piece, kItemTypeText), 1) << "texts kept on request";
}

TEST_F(AamaPieceTest, OutlineFallBacks) {
  {
    SCOPED_TRACE("circle");
    auto* piece = new CPieceRecord;
    CPieceItem* circle = AddShape(piece, 10, {{1000, 1000}});
    circle->AddTailVertex(400, 0, 101);
    BuildAamaPieceElements(piece, 0, 0, 0);
    EXPECT_EQ(Item(piece, 10), nullptr);
    std::vector<CVertexNode*> v = Mains(Item(piece, 0));
    ASSERT_EQ(v.size(), 8u);
    for (CVertexNode* n : v) {
      EXPECT_EQ(n->Kind(), 3);
      EXPECT_NEAR(std::hypot(n->X - 1000, n->Y - 1000), 400, 1.5);
    }
  }
  {
    SCOPED_TRACE("nothing");
    auto* piece = new CPieceRecord;
    BuildAamaPieceElements(piece, 0, 0, 0);
    std::vector<CVertexNode*> v = Mains(Item(piece, 0));
    ASSERT_EQ(v.size(), 4u);
    std::set<std::pair<int, int>> at;
    for (CVertexNode* n : v) {
      EXPECT_EQ(n->Kind(), 2);
      at.insert({n->X, n->Y});
    }
    EXPECT_EQ(at, (std::set<std::pair<int, int>>{{100, 100}, {200, 100}, {200, 200}, {100, 200}}));
  }
}

TEST_F(AamaPieceTest, MarksGiveVertexKinds) {
  struct Case {
    const char* name;
    int markKind;
    uint32_t rule;
    int append;
    int vertexKind;  // of the open line's middle vertex before
    int end;         // kind of the line's end vertex after
    int middle;      // kind of the line's middle vertex after
  };
  const Case kCases[] = {
      {"plain corner mark", 2, 0, 0, 1, 0, 2},
      {"graded corner mark", 0, 5, 0, 1, 0, 0},
      {"curve mark", 1, 0, 0, 0, 1, 1},
      {"append: corner mark on a curve vertex", 0, 5, 1, 1, 0, 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto* piece = new CPieceRecord;
    AddShape(piece, 0, kSquare);
    CPieceItem* line = AddShape(piece, 9, {{500, 500}, {1000, 600}, {1500, 500}});
    Mains(line)[1]->Flags = static_cast<uint32_t>(c.vertexKind);
    CPieceItem* points = AddShape(piece, 2, {});
    AddMark(points, 500, 500, c.markKind, c.rule);
    AddMark(points, 1000, 600, c.markKind, c.rule);
    BuildAamaPieceElements(piece, 0, 0, c.append);
    CPieceItem* after = Item(piece, 9);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->FindVertex(500, 500)->Kind(), c.end);
    EXPECT_EQ(after->FindVertex(1000, 600)->Kind(), c.middle);
    EXPECT_EQ(after->FindVertex(1000, 600)->Attributes, c.rule);
    EXPECT_EQ(Item(piece, 2), nullptr);
    ClearStyle();
    AddSizes(1);
  }
}

TEST_F(AamaPieceTest, DefaultGrainLineCrossesAtHalfHeightInsetByAFifth) {
  CPieceRecord piece;
  AddShape(&piece, 0, {{0, 0}, {1000, 0}, {1000, 500}, {0, 500}});
  AddShape(&piece, 1, {{0, 0}, {10, 10}});
  piece.UpdateCurveItems();
  AddDefaultGrainLine(&piece);
  EXPECT_EQ(CountItems(&piece, 1), 1) << "the old grain line is replaced";
  std::vector<CVertexNode*> v = Mains(Item(&piece, 1));
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0]->X, 200);
  EXPECT_EQ(v[1]->X, 800);
  EXPECT_EQ(v[0]->Y, 250);
  EXPECT_EQ(v[1]->Y, 250);
}

TEST_F(AamaPieceTest, NotchPointsBecomeNotchMarks) {
  auto* piece = new CPieceRecord;
  AddShape(piece, 0, kSquare);
  AddShape(piece, 13, {{2000, 0}, {2000, 1000}});  // the second lies 25 mm off the outline
  piece->UpdateCurveItems();
  piece->Recalc(1);
  g_Style.AddPiece(piece);
  PlaceAamaPiece(piece);

  EXPECT_EQ(shell_.entries.size(), 1u);
  EXPECT_EQ(CountItems(piece, 13), 1);
  CPieceItem* notches = Item(piece, 13);
  ASSERT_NE(notches, nullptr);
  ASSERT_EQ(notches->VertexCount, 4) << "one notch: point, inner end, width, outline vertex";
  CVertexNode* a = notches->VertexHead;
  CVertexNode* b = a->Next;
  CVertexNode* width = b->Next;
  CVertexNode* ref = width->Next;
  EXPECT_EQ(a->Kind(), 0);
  EXPECT_EQ(b->Flags, 0x101u);
  EXPECT_EQ(width->Kind(), 102);
  EXPECT_EQ(width->X, 140) << "3.5 mm at 40 units per mm";
  // Measured from its outline vertex; the mirror reverses the outline, so
  // the distance then runs from the other end (direction 5).
  EXPECT_EQ(ref->Kind(), 104);
  EXPECT_EQ(ref->Flags & 0xFF00u, 0x500u);
  // Mirrored: the point on the bottom edge is now on the top edge of the
  // model's y-down piece, and the mark runs 5 mm into the piece.
  EXPECT_EQ(a->X, 2000);
  EXPECT_EQ(a->Y, 4000);
  EXPECT_NEAR(std::hypot(b->X - a->X, b->Y - a->Y), 200, 1.5);
  EXPECT_LT(b->Y, a->Y);
}

TEST_F(AamaPieceTest, MirrorLineUnfoldsAHalfPiece) {
  CPieceRecord piece;
  AddShape(&piece, 0, {{0, 0}, {1000, 0}, {1000, 2000}, {0, 2000}});
  CPieceItem* fold = AddShape(&piece, 9, {{0, 0}, {0, 2000}});
  fold->Tag = static_cast<int32_t>(kAamaMirrorLineAttribute);
  piece.UpdateCurveItems();
  piece.Recalc(1);
  FinishAamaPiece(&piece);

  EXPECT_EQ(CountItems(&piece, 9), 0) << "the mirror line goes";
  std::vector<CVertexNode*> v = Mains(Item(&piece, 0));
  std::set<std::pair<int, int>> at;
  for (CVertexNode* n : v) at.insert({n->X, n->Y});
  EXPECT_EQ(at, (std::set<std::pair<int, int>>{{0, 0}, {1000, 0}, {1000, 2000}, {0, 2000}, {-1000, 2000}, {-1000, 0}}));
  EXPECT_EQ(v.size(), 6u);
}

TEST_F(AamaPieceTest, MirrorLineOffTheOutlineIsOnlyRemoved) {
  CPieceRecord piece;
  AddShape(&piece, 0, {{0, 0}, {1000, 0}, {1000, 2000}, {0, 2000}});
  CPieceItem* fold = AddShape(&piece, 9, {{0, 0}, {0, 1500}});
  fold->Tag = static_cast<int32_t>(kAamaMirrorLineAttribute);
  piece.UpdateCurveItems();
  piece.Recalc(1);
  FinishAamaPiece(&piece);
  EXPECT_EQ(CountItems(&piece, 9), 0);
  EXPECT_EQ(Mains(Item(&piece, 0)).size(), 4u);
}

}  // namespace
