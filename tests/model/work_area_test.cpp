#include "model/work_area.h"

#include <vector>

#include <gtest/gtest.h>

#include "model/items/all_items.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class WorkAreaTest : public ModelTest {
 protected:
  // A work-area piece with its model box and origin.
  static CPieceRecord* AddWorkPiece(int min_x, int min_y, int max_x, int max_y, int origin_x, int origin_y) {
    auto* piece = new CPieceRecord;
    piece->BoxMinX = min_x;
    piece->BoxMinY = min_y;
    piece->BoxMaxX = max_x;
    piece->BoxMaxY = max_y;
    piece->OriginX = origin_x;
    piece->OriginY = origin_y;
    g_Style.AddWorkPiece(piece);
    return piece;
  }
};

}  // namespace

TEST_F(WorkAreaTest, EmptyWorkAreaResetsTheView) {
  FakeShell shell;
  shell.scale = 3.5;
  shell.origin_x = 10;
  shell.origin_y = 20;
  int l = 1, r = 1, t = 1, b = 1;
  CalcWorkAreaExtent(&l, &r, &t, &b);
  EXPECT_EQ((std::vector<int>{l, r, t, b}), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(shell.scale, 0.0);
  EXPECT_EQ(shell.origin_x, 0);
  EXPECT_EQ(shell.origin_y, 0);
  EXPECT_FALSE(UpdateWorkAreaExtent());
  EXPECT_TRUE(CanZoomIn());
}

TEST_F(WorkAreaTest, PlacedRectanglesAndTheirUnion) {
  FakeShell shell;
  shell.origin_x = 100;
  shell.origin_y = 200;
  CPieceRecord* a = AddWorkPiece(0, 0, 50, 40, 0, 0);
  CPieceRecord* b = AddWorkPiece(1000, 2000, 1100, 2300, 900, 1900);
  int l = 0, r = 0, t = 0, bottom = 0;
  CalcWorkAreaExtent(&l, &r, &t, &bottom);
  EXPECT_EQ((std::vector<int>{a->PlacedLeft, a->PlacedTop, a->PlacedRight, a->PlacedBottom}),
            (std::vector<int>{100, 200, 150, 240}));
  EXPECT_EQ((std::vector<int>{b->PlacedLeft, b->PlacedTop, b->PlacedRight, b->PlacedBottom}),
            (std::vector<int>{200, 300, 300, 600}));
  EXPECT_EQ((std::vector<int>{l, r, t, bottom}), (std::vector<int>{100, 300, 200, 600}));

  EXPECT_TRUE(UpdateWorkAreaExtent());
  EXPECT_EQ(shell.Extent, CRect(100, 200, 300, 600));
  EXPECT_FALSE(UpdateWorkAreaExtent());  // unchanged
  b->PlacedBottom = 700;
  EXPECT_TRUE(UpdateWorkAreaExtent());
  EXPECT_EQ(shell.Extent, CRect(100, 200, 300, 700));
}

TEST_F(WorkAreaTest, SyncedOriginsReproduceThePlacedRectangles) {
  FakeShell shell;
  shell.origin_x = -40;
  shell.origin_y = 60;
  CPieceRecord* piece = AddWorkPiece(500, 700, 800, 900, 0, 0);
  // The placement moves the piece; the origin follows its placed corner.
  piece->PlacedLeft = 10;
  piece->PlacedTop = 20;
  SyncWorkPieceOrigins();
  EXPECT_EQ(piece->OriginX, 500 - (10 - -40));
  EXPECT_EQ(piece->OriginY, 700 - (20 - 60));
  int l = 0, r = 0, t = 0, b = 0;
  CalcWorkAreaExtent(&l, &r, &t, &b);
  EXPECT_EQ(piece->PlacedLeft, 10);
  EXPECT_EQ(piece->PlacedTop, 20);
  EXPECT_EQ(piece->PlacedRight, 310);
  EXPECT_EQ(piece->PlacedBottom, 220);
}

TEST_F(WorkAreaTest, EmptyBoxMarkersWrapInsteadOfOverflowing) {
  FakeShell shell;
  shell.origin_x = 5;
  CPieceRecord* piece = AddWorkPiece(kBoxEmptyMin, kBoxEmptyMin, kBoxEmptyMax, kBoxEmptyMax, -10, -10);
  int l = 0, r = 0, t = 0, b = 0;
  CalcWorkAreaExtent(&l, &r, &t, &b);
  EXPECT_EQ(piece->PlacedLeft, WrapAdd(WrapSub(kBoxEmptyMin, -10), 5));
  SyncWorkPieceOrigins();
  EXPECT_EQ(piece->OriginX, -10);
}

TEST_F(WorkAreaTest, CanZoomInLimits) {
  struct Case { int min, max; double scale; BOOL ok; };
  const Case kCases[] = {
      {-30000, 25000, 1.0, TRUE},
      {-30001, 0, 1.0, FALSE},
      {0, 25001, 1.0, FALSE},
      {-60000, 50000, 2.0, TRUE},
      {-60002, 0, 2.0, FALSE},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " at " << c.scale);
    ClearStyle();
    FakeShell shell;
    shell.scale = c.scale;
    AddWorkPiece(c.min + 100, 100, c.max + 100, 200, 100, 100);
    EXPECT_EQ(CanZoomIn(), c.ok);
    // The same limits apply to y.
    ClearStyle();
    AddWorkPiece(100, c.min + 100, 200, c.max + 100, 100, 100);
    EXPECT_EQ(CanZoomIn(), c.ok);
  }
}

TEST_F(WorkAreaTest, SelectCurrentPieceMovesTheFrame) {
  FakeShell shell;
  CPieceRecord* a = AddWorkPiece(0, 0, 10, 10, 0, 0);
  CPieceRecord* b = AddWorkPiece(100, 100, 110, 110, 0, 0);
  SelectCurrentPiece(a);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), a);
  const size_t frame = shell.dc.calls().size();
  ASSERT_GT(frame, 0u);  // a's frame, and nothing to erase before it
  for (const DrawCall& call : shell.dc.calls()) EXPECT_EQ(call.op, DrawCall::Op::kSetPixel);
  shell.dc.Clear();

  SelectCurrentPiece(a);  // already current: nothing
  EXPECT_TRUE(shell.dc.calls().empty());

  SelectCurrentPiece(b);  // a's frame erased, then b's drawn
  EXPECT_EQ(g_Selection.GetCurrentPiece(), b);
  ASSERT_EQ(shell.dc.calls().size(), 2 * frame);
  EXPECT_EQ(shell.dc.calls().front().points[0], CPoint(-6, -6));
  EXPECT_EQ(shell.dc.calls()[frame].points[0], CPoint(94, 94));
  shell.dc.Clear();

  SelectCurrentPiece(nullptr);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), nullptr);
  EXPECT_EQ(shell.dc.calls().size(), frame);
}

TEST_F(WorkAreaTest, SelectCurrentPieceWithoutAShell) {
  CPieceRecord* a = AddWorkPiece(0, 0, 10, 10, 0, 0);
  SelectCurrentPiece(a);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), a);
}

TEST(DrawEllipseIfVisible, OnlyInsideTheClientAreaUnlessPrinting) {
  FakeShell shell;
  shell.client = CRect(0, 0, 800, 600);
  struct Case { int x, y; bool printing; bool drawn; };
  const Case kCases[] = {
      {400, 300, false, true},  {-1, 300, false, false}, {400, 601, false, false},
      {800, 600, false, true},  // the client rectangle's edges count
      {0, 0, false, true},      {-50, 900, true, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << (c.printing ? " printing" : ""));
    RecordingDC dc;
    dc.SetPrinting(c.printing);
    DrawEllipseIfVisible(&dc, c.x, c.y, c.x - 2, c.y - 2, c.x + 2, c.y + 2);
    ASSERT_EQ(dc.calls().size(), c.drawn ? 1u : 0u);
    if (c.drawn) {
      EXPECT_EQ(dc.calls()[0].op, DrawCall::Op::kEllipse);
      EXPECT_EQ(dc.calls()[0].rect, CRect(c.x - 2, c.y - 2, c.x + 2, c.y + 2));
    }
  }
}

namespace {

// Builds an outline of graded vertices (two sizes: size 1 at +10, +100) and V
// shapes on a piece.
class OutlineTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    AddSizes(2);
    piece_ = new CPieceRecord;
    g_Style.AddPiece(piece_);
  }

  template <typename Item>
  Item* AddItem(const std::vector<CPoint>& vertices, uint32_t kind) {
    auto* item = new Item(nullptr, nullptr);
    for (const CPoint& p : vertices) AddGraded(item, p.x, p.y, kind);
    piece_->AddItem(item);
    return item;
  }

  CPieceRecord* piece_ = nullptr;
};

// Maps a first-size curve node to the main vertex at its place, standing in
// for the curve items' own lookup.
class MappedOutline : public CPieceItem0 {
 public:
  MappedOutline(CPieceItem* prev, CPieceItem* next) : CPieceItem0(prev, next) {}
  CVertexNode* MapToMainVertex(CSizeRecord*, CVertexNode* curveNode) const override {
    return FindVertex(curveNode->X, curveNode->Y);
  }
};

}  // namespace

TEST_F(OutlineTest, AttachType6SnapsLegEndsOrRemovesTheShape) {
  CPieceItem* outline = AddItem<CPieceItem0>({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}, 0);
  // Ends on an outline vertex exactly and 50 units (1.25 mm) from one.
  CPieceItem* held = AddItem<CPieceItem6>({{0, 0}, {300, 300}, {1050, 1000}}, 0);
  // One end 200 units (5 mm) from any vertex.
  CPieceItem* loose = AddItem<CPieceItem6>({{1000, 0}, {500, 500}, {200, 1000}}, 0);
  ASSERT_EQ(piece_->ItemCount, 3);

  AttachType6ItemsToOutline(piece_);

  ASSERT_EQ(piece_->ItemCount, 2);
  EXPECT_EQ(piece_->ItemRing, outline);
  EXPECT_EQ(outline->Next, held);
  (void)loose;  // freed by the piece
  const CVertexNode* far_end = NodeAt(held, 4);
  EXPECT_EQ(CPoint(far_end->X, far_end->Y), CPoint(1000, 1000));
  // Its size-1 copy takes the outline copy's place as well.
  EXPECT_EQ(CPoint(far_end->Next->X, far_end->Next->Y), CPoint(1010, 1100));
  // Marked: the two vertices the kept shape sits on; not the one the removed
  // shape matched before failing.
  std::vector<bool> marked;
  for (int i = 0; i < 4; ++i) marked.push_back((NodeAt(outline, 2 * i)->Flags & 0x800) != 0);
  EXPECT_EQ(marked, (std::vector<bool>{true, false, true, false}));
}

TEST_F(OutlineTest, AttachType6WithoutOutlineKeepsEverything) {
  AddItem<CPieceItem6>({{0, 0}, {300, 300}, {1050, 1000}}, 0);
  AttachType6ItemsToOutline(piece_);
  EXPECT_EQ(piece_->ItemCount, 1);
}

TEST_F(OutlineTest, ExtendLineToOutlineInsertsACornerWhereTheRayLeaves) {
  auto* outline = AddItem<MappedOutline>({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}, 0);
  outline->BuildCurveRings();
  CPieceItem* leg = AddItem<CPieceItem6>({{500, 500}, {500, 800}}, 0);
  CVertexNode* a = NodeAt(leg, 0);
  CVertexNode* b = NodeAt(leg, 2);

  CVertexNode* corner = ExtendLineToOutline(outline, a, b);
  ASSERT_NE(corner, nullptr);
  EXPECT_EQ(CPoint(corner->X, corner->Y), CPoint(500, 1000));
  EXPECT_EQ(corner->Flags, 2u);
  EXPECT_EQ(Kinds(outline), (std::vector<int>{0, 64, 0, 64, 0, 64, 2, 64, 0, 64}));
  EXPECT_EQ(CPoint(corner->Next->X, corner->Next->Y), CPoint(500, 1000));
  EXPECT_EQ(corner->Next->Next, NodeAt(outline, 8));  // in front of (0, 1000)

  // Backwards along the same line it leaves through the bottom edge.
  CVertexNode* other = ExtendLineToOutline(outline, b, a);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(CPoint(other->X, other->Y), CPoint(500, 0));
  EXPECT_EQ(other->Next->Next, NodeAt(outline, 4));  // in front of (1000, 0)
}

TEST_F(OutlineTest, ExtendLineToOutlineMissesWhenTheRayPointsAway) {
  auto* outline = AddItem<MappedOutline>({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}, 0);
  outline->BuildCurveRings();
  CPieceItem* leg = AddItem<CPieceItem6>({{2000, 500}, {3000, 500}}, 0);
  EXPECT_EQ(ExtendLineToOutline(outline, NodeAt(leg, 0), NodeAt(leg, 2)), nullptr);
  EXPECT_EQ(outline->VertexCount, 8);
  // Without curve rings there is nothing to meet.
  outline->DeleteCurveRings();
  EXPECT_EQ(ExtendLineToOutline(outline, NodeAt(leg, 2), NodeAt(leg, 0)), nullptr);
}
