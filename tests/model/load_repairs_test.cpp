// Repairs and conversions around loading: the old vertex layout, old corner
// parameters, the tidying of curve items, graded key vertices carried
// between lines, two-leg ends, the nearest curve segment, and the
// style-wide repair of loaded pieces.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class LoadRepairsTest : public ModelTest {
 protected:
  // An outline of the points with the kinds given, one node per size at
  // the same place, smoothed.
  static CPieceItem0* Outline(CPieceRecord* piece, const std::vector<CPoint>& points,
                              const std::vector<uint32_t>& flags = {}) {
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (size_t i = 0; i < points.size(); ++i) {
      outline->AddTailVertex(points[i].x, points[i].y, i < flags.size() ? flags[i] : 0);
      for (int s = 1; s < g_Style.SizeCount; ++s) outline->AddTailVertex(points[i].x, points[i].y, 64);
    }
    outline->SmoothCurves();
    piece->AddItem(outline);
    return outline;
  }
};

const std::vector<CPoint> kSquare = {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}};

TEST_F(LoadRepairsTest, OldLayoutGetsItsCopiesAndNewCornerCodes) {
  AddSizes(4);
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  outline->AddTailVertex(0, 0, 0);
  outline->AddTailVertex(0x00050000, 3, 0x1080);  // code 3, an old flags word
  outline->AddTailVertex(100, 0, 1);
  outline->AddTailVertex(0, 12, 128);       // code 12, its further value in the next node
  outline->AddTailVertex(0x7FFF0003, 0, 128);
  outline->AddTailVertex(9, 9, 128);        // one more: dropped
  outline->AddTailVertex(100, 100, 2);
  outline->AddTailVertex(0, (4u << 16) | 10u, 128);  // code 10 without a further value
  piece.AddItem(outline);
  auto* text = new CPieceItem11(nullptr, nullptr);
  text->AddTailVertex(5, 5, 0);
  piece.AddItem(text);
  piece.ConvertOldVertexLayout();
  EXPECT_EQ(Nodes(outline), (std::vector<NodeState>{{0, 0, 0},
                                               {0, 0, 0x40},
                                               {0, 0, 0x40},
                                               {0, 0, 0x40},
                                               {0x00050000, 8, 0x80},
                                               {100, 0, 1},
                                               {100, 0, 0x40},
                                               {100, 0, 0x40},
                                               {100, 0, 0x40},
                                               {0, (3 << 16) | 18, 0x80},
                                               {100, 100, 2},
                                               {100, 100, 0x40},
                                               {100, 100, 0x40},
                                               {100, 100, 0x40},
                                               {0, 13, 0x80}}));
  EXPECT_EQ(text->VertexCount, 1);  // texts keep their layout
}

TEST_F(LoadRepairsTest, OldCornerParametersTakeTheWidthBeforeThemAsIncoming) {
  AddSizes(1);
  struct Case {
    int version;
    std::vector<int32_t> x;
  };
  const Case kCases[] = {{105, {0x00000028, 0x00280050, 0x00500014}}, {106, {0x00000028, 0x00000050, 0x00000014}}};
  for (const Case& c : kCases) {
    g_Style.DataVersion = c.version;
    CPieceRecord piece;
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (int32_t x : {0x00000028, 0x00000050, 0x00000014}) {
      outline->AddTailVertex(0, 0, 0);
      outline->AddTailVertex(x, 6, 128);
    }
    piece.AddItem(outline);
    piece.UpgradeCornerParams();
    // The first node takes the last one's outgoing width, round the ring.
    std::vector<int32_t> x;
    for (const NodeState& n : Nodes(outline)) {
      if (n.flags == 128) x.push_back(n.x);
    }
    std::vector<int32_t> expected = c.x;
    if (c.version < 106) expected[0] = 0x00140028;
    EXPECT_EQ(x, expected);
  }
}

TEST_F(LoadRepairsTest, TidyingDropsShortCutLinesAndLeavesSmallItems) {
  AddSizes(1);
  CPieceRecord piece;
  auto* cut = new CPieceItem12(nullptr, nullptr);
  cut->AddTailVertex(0, 0, 0);
  cut->AddTailVertex(10, 0, 0);
  piece.AddItem(cut);
  // Three vertices far apart and close together: not tidied.
  CPieceItem0* outline = Outline(&piece, {{0, 0}, {10, 0}, {0, 800000000}}, {1, 1, 1});
  auto* open = new CPieceItem9(nullptr, nullptr);
  open->AddTailVertex(0, 0, 0);
  open->AddTailVertex(5, 0, 0);
  piece.AddItem(open);
  piece.NormalizeVertexKinds();
  EXPECT_EQ(ItemTypes(piece), (std::vector<int>{0, 9}));
  EXPECT_EQ(outline->CountMainVertices(), 3);
  EXPECT_EQ(open->CountMainVertices(), 2);
}

TEST_F(LoadRepairsTest, FarSmoothVerticesGoAndFarCornersStay) {
  AddSizes(1);
  struct Case {
    uint32_t kind;
    int mains;
  };
  const Case kCases[] = {{1, 4}, {0, 5}, {3, 4}, {2, 5}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    CPieceRecord piece;
    CPieceItem0* outline =
        Outline(&piece, {{0, 0}, {4000, 0}, {4000, 4000}, {5004000, 4000}, {0, 4000}}, {0, 0, 0, c.kind, 0});
    piece.NormalizeVertexKinds();
    EXPECT_EQ(outline->CountMainVertices(), c.mains);
  }
}

TEST_F(LoadRepairsTest, OfTwoVerticesTooCloseTheOneThatSaysLessGoes) {
  AddSizes(1);
  struct Case {
    const char* name;
    std::vector<CPoint> points;
    std::vector<uint32_t> flags;
    int mains;
  };
  // A corner followed half a millimetre later by a smooth vertex.
  const Case kCases[] = {
      {"smooth after corner", {{0, 0}, {4000, 0}, {4020, 0}, {4000, 4000}, {0, 4000}}, {0, 0, 1, 0, 0}, 4},
      {"marked", {{0, 0}, {4000, 0}, {4020, 0}, {4000, 4000}, {0, 4000}}, {0, 0, 0x801, 0, 0}, 5},
      {"head", {{4020, 0}, {4000, 4000}, {0, 4000}, {0, 0}, {4000, 0}}, {1, 0, 0, 0, 0}, 5},
      {"same kind", {{0, 0}, {4000, 0}, {4020, 0}, {4000, 4000}, {0, 4000}}, {0, 2, 2, 0, 0}, 4},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPieceRecord piece;
    CPieceItem0* outline = Outline(&piece, c.points, c.flags);
    piece.NormalizeVertexKinds();
    EXPECT_EQ(outline->CountMainVertices(), c.mains);
    if (c.mains == 4) {
      EXPECT_EQ(outline->MainVertexPositions(0), kSquare);
    }
  }
}

TEST_F(LoadRepairsTest, ARepeatedVertexLosesTheShorterLoop) {
  AddSizes(2);
  g_OptCornerRebuild = 1;
  CPieceRecord piece;
  // A small loop at (4000, 4000): out to (4200, 4000), (4200, 4200) and back.
  CPieceItem0* outline =
      Outline(&piece, {{0, 0}, {4000, 0}, {4000, 4000}, {4200, 4000}, {4200, 4200}, {4000, 4000}, {0, 4000}},
              {0, 0, 1, 0, 0, 0, 0});
  piece.NormalizeVertexKinds();
  EXPECT_EQ(outline->MainVertexPositions(0), kSquare);
  EXPECT_EQ(outline->VertexCount, 8);
  // The vertex kept took the corner kind of its repeat.
  EXPECT_EQ(outline->VertexHead->Next->Next->Next->Next->Kind(), 0);

  g_OptCornerRebuild = 0;
  CPieceRecord kept;
  CPieceItem0* loop =
      Outline(&kept, {{0, 0}, {4000, 0}, {4000, 4000}, {4200, 4000}, {4200, 4200}, {4000, 4000}, {0, 4000}});
  kept.NormalizeVertexKinds();
  EXPECT_EQ(loop->CountMainVertices(), 7);
}

TEST_F(LoadRepairsTest, ALaterDuplicateOfAnOpenLineIsNeverItsHead) {
  AddSizes(1);
  auto* open = new CPieceItem9(nullptr, nullptr);
  CVertexNode* head = open->AddTailVertex(0, 0, 0);
  CVertexNode* middle = open->AddTailVertex(10, 0, 0);
  CVertexNode* end = open->AddTailVertex(0, 0, 0);
  CVertexNode* found = nullptr;
  EXPECT_EQ(open->FindLaterDuplicate(end, &found), 0);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(open->FindLaterDuplicate(head, &found), 1);
  EXPECT_EQ(found, end);
  EXPECT_EQ(open->FindLaterDuplicate(middle, &found), 0);
  CPieceRecord piece;
  piece.AddItem(open);
  auto* closed = new CPieceItem8(nullptr, nullptr);
  CVertexNode* first = closed->AddTailVertex(0, 0, 0);
  closed->AddTailVertex(10, 0, 0);
  CVertexNode* last = closed->AddTailVertex(0, 0, 0);
  piece.AddItem(closed);
  EXPECT_EQ(closed->FindLaterDuplicate(last, &found), 1);
  EXPECT_EQ(found, first);
}

TEST_F(LoadRepairsTest, KeyVerticesOfLinesTakeTheOutlinesGrading) {
  AddSizes(2);
  CPieceRecord piece;
  // Size 1 of the outline is size 0 moved by (100, 0) at the left and by
  // (300, 0) at the right.
  auto* outline = new CPieceItem0(nullptr, nullptr);
  for (const CPoint& p : kSquare) {
    outline->AddTailVertex(p.x, p.y, 0);
    outline->AddTailVertex(p.x + (p.x == 0 ? 100 : 300), p.y, 64);
  }
  outline->SmoothCurves();
  piece.AddItem(outline);
  auto* line = new CPieceItem9(nullptr, nullptr);
  line->AddTailVertex(0, 0, 0);  // on an outline vertex
  line->AddTailVertex(0, 0, 64);
  line->AddTailVertex(1000, 20, 0);  // half a millimetre off the bottom edge, a quarter along
  line->AddTailVertex(1000, 20, 64);
  line->AddTailVertex(2000, 2000, 0);  // nowhere near
  line->AddTailVertex(2000, 2000, 64);
  piece.AddItem(line);
  auto* other = new CPieceItem9(nullptr, nullptr);
  other->AddTailVertex(1000, 20, 3);
  other->AddTailVertex(1000, 20, 64);
  other->AddTailVertex(1000, 3000, 0);
  other->AddTailVertex(1000, 3000, 64);
  piece.AddItem(other);

  piece.CarryGradedKeyVertices();
  EXPECT_EQ(Nodes(line)[1], (NodeState{0, 0, 64}));  // nothing happens while the check is off

  g_OptGradedCheck = 1;
  piece.CarryGradedKeyVertices();
  EXPECT_EQ(Nodes(line)[1], (NodeState{100, 0, 64}));
  EXPECT_EQ(Nodes(line)[3], (NodeState{1150, 0, 64}));
  EXPECT_EQ(Nodes(line)[5], (NodeState{2000, 2000, 64}));
  // The line passed its graded key vertex on to the other line.
  EXPECT_EQ(Nodes(other)[1], (NodeState{1150, 0, 64}));
}

TEST_F(LoadRepairsTest, AnUngradedKeyVertexBorrowsFromAnotherLine) {
  AddSizes(2);
  g_OptGradedCheck = 1;
  CPieceRecord piece;
  auto* ungraded = new CPieceItem9(nullptr, nullptr);
  for (const CPoint& p : {CPoint(500, 500), CPoint(1500, 500)}) {
    ungraded->AddTailVertex(p.x, p.y, 0);
    ungraded->AddTailVertex(p.x, p.y, 64);
  }
  piece.AddItem(ungraded);
  auto* lender = new CPieceItem8(nullptr, nullptr);
  for (const CPoint& p : {CPoint(0, 0), CPoint(1500, 500), CPoint(0, 900)}) {
    lender->AddTailVertex(p.x, p.y, 0);
    lender->AddTailVertex(p.x + 70, p.y + 30, 64);
  }
  piece.AddItem(lender);
  piece.ShareGradedKeyVertices();
  EXPECT_EQ(Nodes(ungraded), (std::vector<NodeState>{{500, 500, 0}, {500, 500, 64}, {1500, 500, 0}, {1570, 530, 64}}));

  // With one size there is nothing to share.
  ClearStyle();
  AddSizes(1);
  CPieceRecord single;
  auto* a = new CPieceItem9(nullptr, nullptr);
  a->AddTailVertex(0, 0, 0);
  single.AddItem(a);
  single.ShareGradedKeyVertices();
  single.CarryGradedKeyVertices();
  EXPECT_EQ(Nodes(a), (std::vector<NodeState>{{0, 0, 0}}));
}

TEST_F(LoadRepairsTest, TwoLegItemsExchangeTheirEnds) {
  AddSizes(2);
  CPieceRecord piece;
  for (int type : {6, 19, 24, 5}) {
    CPieceItem* item = type == 6    ? static_cast<CPieceItem*>(new CPieceItem6(nullptr, nullptr))
                       : type == 19 ? static_cast<CPieceItem*>(new CPieceItem19(nullptr, nullptr))
                       : type == 24 ? static_cast<CPieceItem*>(new CPieceItem24(nullptr, nullptr))
                                    : static_cast<CPieceItem*>(new CPieceItem5(nullptr, nullptr));
    AddGraded(item, 0, 0, 0x100);
    AddGraded(item, 50, 50, 5);
    AddGraded(item, 100, 0, 0);
    AddGraded(item, 30, 0, 0);
    piece.AddItem(item);
  }
  piece.SwapSimpleItemEnds();
  CPieceItem* item = piece.ItemRing;
  for (int i = 0; i < 3; ++i, item = item->Next) {
    SCOPED_TRACE(item->Type);
    EXPECT_EQ(Nodes(item), (std::vector<NodeState>{{100, 0, 0},
                                              {110, 100, 64},
                                              {50, 50, 5},
                                              {60, 150, 64},
                                              {0, 0, 0x100},
                                              {10, 100, 64},
                                              {30, 0, 0},
                                              {40, 100, 64}}));
  }
  EXPECT_EQ(Nodes(item)[0], (NodeState{0, 0, 0x100}));  // a two-point line keeps its ends
}

TEST_F(LoadRepairsTest, TheNearestSegmentNamesTheVertexEndingItsSpan) {
  AddSizes(2);
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  for (const CPoint& p : kSquare) AddGraded(outline, p.x, p.y, 0);
  outline->SmoothCurves();
  piece.AddItem(outline);
  struct Case {
    CPoint p;
    int size;
    int distance;
    CPoint end;  // the first size's position of the vertex ending the span
  };
  const Case kCases[] = {
      {{2000, 0}, 0, 0, {4000, 0}},        {{2000, 300}, 0, 300, {4000, 0}},    {{4300, 4300}, 0, 424, {4000, 4000}},
      {{2010, 100}, 1, 0, {4000, 0}},      {{-50, 2000}, 0, 50, {0, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.distance);
    CVertexNode* node = nullptr;
    EXPECT_EQ(outline->FindNearestSegment(c.p.x, c.p.y, c.size, &node), c.distance);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(CPoint(node->X, node->Y), c.end);
  }
  CVertexNode* node = nullptr;
  EXPECT_EQ(outline->FindNearestSegment(0, 0, 5, &node), 2147483647);
  EXPECT_EQ(node, nullptr);
}

// A list pane that checks the piece it lets go of still belongs to the style.
class CheckingListPane : public IPatternListBox {
 public:
  int AddPiece(CPieceRecord*) override { return 0; }
  void RemovePiece(CPieceRecord* piece) override {
    CPieceRecord* listed = g_Style.PieceRing;
    for (int i = 0; i < g_Style.PieceCount; ++i, listed = listed->Next) stillListed = stillListed || listed == piece;
    removed.push_back(piece);
  }
  void ResetContent() override {}
  void SelectPiece(CPieceRecord*) override {}
  bool stillListed = false;
  std::vector<CPieceRecord*> removed;
};

TEST_F(LoadRepairsTest, APieceWithoutOutlineLeavesTheListPaneBeforeTheStyle) {
  CheckingListPane pane;
  IPatternListBox* saved = g_pListPane;
  g_pListPane = &pane;
  AddSizes(1);
  auto* piece = new CPieceRecord;
  piece->AddItem(new CPieceItem2(nullptr, nullptr));
  g_Style.AddPiece(piece);
  EXPECT_EQ(g_Style.RepairLoadedPieces(), 0);
  g_pListPane = saved;
  EXPECT_EQ(g_Style.PieceCount, 0);
  EXPECT_EQ(pane.removed, std::vector<CPieceRecord*>{piece});
  EXPECT_TRUE(pane.stillListed);

  // A piece with an outline stays, and so does the style's answer.
  auto* kept = new CPieceRecord;
  Outline(kept, kSquare);
  g_Style.AddPiece(kept);
  auto* dropped = new CPieceRecord;
  g_Style.AddPiece(dropped);
  EXPECT_EQ(g_Style.RepairLoadedPieces(), 1);
  EXPECT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(g_Style.PieceRing, kept);
}

TEST_F(LoadRepairsTest, MarkersMergeIntoTheFirstItem) {
  AddSizes(1);
  auto* piece = new CPieceRecord;
  Outline(piece, kSquare);
  auto* first = new CPieceItem2(nullptr, nullptr);
  first->AddTailVertex(10, 10, 0);
  piece->AddItem(first);
  auto* second = new CPieceItem2(nullptr, nullptr);
  CVertexNode* carried = second->AddTailVertex(20, 20, 0x104);
  carried->Value = 7;
  second->AddTailVertex(30, 30, 0);
  piece->AddItem(second);
  g_Style.AddPiece(piece);
  EXPECT_EQ(g_Style.RepairLoadedPieces(), 1);
  EXPECT_EQ(ItemTypes(*piece), (std::vector<int>{0, 2}));
  EXPECT_EQ(Nodes(first), (std::vector<NodeState>{{10, 10, 0}, {20, 20, 0x104}, {30, 30, 0}}));
  EXPECT_EQ(first->VertexHead->Next->Value, 0);  // only place and flags travel
}

TEST_F(LoadRepairsTest, NotchItemsMergeAndTakeTheirOutlineVertex) {
  AddSizes(2);
  auto* piece = new CPieceRecord;
  Outline(piece, kSquare);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  for (const CPoint& p : {CPoint(2000, 0), CPoint(4000, 2000)}) {
    AddGraded(notches, p.x, p.y, 0);
    AddGraded(notches, p.x, p.y + 200, 0x200);
    notches->AddTailVertex(80, 0, 0x68);
    notches->AddTailVertex(1, 2, 0x168);
  }
  piece->AddItem(notches);
  auto* later = new CPieceItem23(nullptr, nullptr);
  AddGraded(later, 2000, 4100, 0);  // 2.5 mm off the outline
  AddGraded(later, 2000, 3800, 0x100);
  later->AddTailVertex(60, 5, 0x68);
  later->AddTailVertex(9, 9, 0x268);
  piece->AddItem(later);
  g_Style.AddPiece(piece);
  EXPECT_EQ(g_Style.RepairLoadedPieces(), 1);
  EXPECT_EQ(ItemTypes(*piece), (std::vector<int>{0, 13}));
  const std::vector<NodeState> nodes = Nodes(notches);
  ASSERT_EQ(nodes.size(), 18u);
  EXPECT_EQ(nodes[5], (NodeState{0, 0, 0x368}));        // on the bottom edge, from (0, 0)
  EXPECT_EQ(nodes[11], (NodeState{4000, 0, 0x368}));    // on the right edge, from (4000, 0)
  EXPECT_EQ(nodes[12], (NodeState{2000, 4100, 0}));     // the merged notch's point group
  EXPECT_EQ(nodes[15], (NodeState{2010, 3900, 64}));    // its inner end's copy
  EXPECT_EQ(nodes[16], (NodeState{60, 5, 0x68}));       // its width
  EXPECT_EQ(nodes[17], (NodeState{0, 0, 0x368}));       // off the outline: at the outline's head
}

TEST_F(LoadRepairsTest, VShapeEndsOnOutlineVerticesMarkThemAndMakeCorners) {
  AddSizes(1);
  auto* piece = new CPieceRecord;
  CPieceItem0* outline = Outline(piece, {{0, 0}, {2000, 0}, {4000, 0}, {4000, 4000}, {2000, 4000}, {0, 4000}},
                                 {3, 3, 3, 3, 3, 3});
  auto* shape = new CPieceItem6(nullptr, nullptr);
  shape->AddTailVertex(4000, 4000, 0);
  shape->AddTailVertex(3000, 3000, 5);
  shape->AddTailVertex(2000, 0, 0);
  shape->AddTailVertex(300, 0, 0);
  piece->AddItem(shape);
  g_Style.AddPiece(piece);
  EXPECT_EQ(g_Style.RepairLoadedPieces(), 1);
  // First end at (4000, 4000): marked, a corner, and the next vertex
  // (2000, 4000) a corner. Second end at (2000, 0): marked, a corner, and
  // the previous vertex (0, 0) a corner.
  EXPECT_EQ(Nodes(outline), (std::vector<NodeState>{{0, 0, 0},
                                               {2000, 0, 0x800},
                                               {4000, 0, 3},
                                               {4000, 4000, 0x800},
                                               {2000, 4000, 0},
                                               {0, 4000, 3}}));
}

TEST_F(LoadRepairsTest, AVShapeEndNearTheOutlineAddsAMarkedVertex) {
  AddSizes(2);
  auto* piece = new CPieceRecord;
  CPieceItem0* outline = Outline(piece, kSquare);
  auto* shape = new CPieceItem6(nullptr, nullptr);
  AddGraded(shape, 2000, 40, 0);     // 1 mm inside the bottom edge
  AddGraded(shape, 1000, 2000, 5);
  AddGraded(shape, -400, 2000, 0);   // beyond the left edge: carried back onto it
  AddGraded(shape, 0, 0, 0);
  piece->AddItem(shape);
  g_Style.AddPiece(piece);
  EXPECT_EQ(g_Style.RepairLoadedPieces(), 1);
  EXPECT_EQ(outline->MainVertexPositions(0),
            (std::vector<CPoint>{{0, 0}, {2000, 40}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 2000}}));
  EXPECT_EQ(Kinds(outline), (std::vector<int>{0, 64, 2, 64, 0, 64, 0, 64, 0, 64, 2, 64}));
  EXPECT_EQ(NodeAt(outline, 2)->Flags, 0x802u);
  EXPECT_EQ(NodeAt(outline, 3)->Y, 40);  // the new vertex stands still in every size
  EXPECT_EQ(NodeAt(outline, 10)->Flags, 0x802u);
  // The second end moved onto the outline in both sizes.
  EXPECT_EQ(Nodes(shape)[4], (NodeState{0, 2000, 0}));
  EXPECT_EQ(Nodes(shape)[5], (NodeState{0, 2000, 64}));
}

TEST_F(LoadRepairsTest, PointPairsNearTheOutlineAddAVertexAndLeaveTheNeighbours) {
  AddSizes(1);
  auto* piece = new CPieceRecord;
  CPieceItem0* outline = Outline(piece, kSquare, {1, 3, 0, 0});
  auto* pairs = new CPieceItem7(nullptr, nullptr);
  pairs->AddTailVertex(2000, 3960, 0);  // 1 mm inside the top edge
  pairs->AddTailVertex(4000, 0, 0);     // on a vertex: marked and made a corner
  pairs->AddTailVertex(2000, 2000, 0);  // nowhere near
  piece->AddItem(pairs);
  g_Style.AddPiece(piece);
  EXPECT_EQ(g_Style.RepairLoadedPieces(), 1);
  EXPECT_EQ(Nodes(outline), (std::vector<NodeState>{{0, 0, 1},
                                               {4000, 0, 0x1000},
                                               {4000, 4000, 0},
                                               {2000, 3960, 0x1002},
                                               {0, 4000, 0}}));
}

}  // namespace
