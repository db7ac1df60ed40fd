// The corner item builders: marks that touch the outline carried on to the
// cut line. The pieces here have a square outline of 100 mm (scale 40) and a
// cut line 10 mm outside it (or inside, for the inward cases), built by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

int32_t Widths(int incoming, int outgoing) {
  return static_cast<int32_t>((static_cast<uint32_t>(incoming) << 16) | (static_cast<uint32_t>(outgoing) & 0xFFFFu));
}

class CornerBuildersTest : public ModelTest {
 protected:
  // The square outline, every corner with a parameter node of `width` on
  // both edges (or none for width 0 with `params` false).
  CPieceItem0* AddOutline(int width, bool params = true) {
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (const CPoint& p : {CPoint(0, 0), CPoint(4000, 0), CPoint(4000, 4000), CPoint(0, 4000)}) {
      AddGraded(outline, p.x, p.y, 0);
      if (params) outline->AddTailVertex(Widths(width, width), 6, 128);
    }
    outline->SmoothCurves();
    piece->AddItem(outline);
    return outline;
  }

  // The cut line `offset` units outside the outline (inside when negative),
  // its corners of the given kinds from the bottom left, counter-clockwise.
  CPieceItem12* AddCutLine(int offset, std::vector<uint32_t> kinds = {0, 0, 0, 0}) {
    auto* cut = new CPieceItem12(nullptr, nullptr);
    const int lo = -offset;
    const int hi = 4000 + offset;
    const CPoint corners[] = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}};
    for (int i = 0; i < 4; ++i) AddGraded(cut, corners[i].x, corners[i].y, kinds[static_cast<size_t>(i)]);
    cut->SmoothCurves();
    piece->AddItem(cut);
    return cut;
  }

  CPieceItem* FirstOfType(int type) { return Item(piece.get(), type); }

  std::unique_ptr<CPieceRecord> piece = std::make_unique<CPieceRecord>();
};

TEST_F(CornerBuildersTest, VShapeLegsMeetTheCutLineInTheirOrderAlongIt) {
  AddSizes(2);  // size 1 is size 0 moved by (10, 100) everywhere
  struct Case {
    CPoint firstEnd;
    CPoint secondEnd;
    CPoint firstCrossing;
    CPoint secondCrossing;
  };
  const Case kCases[] = {
      {{1800, 0}, {2200, 0}, {1700, -400}, {2300, -400}},
      {{2200, 0}, {1800, 0}, {2300, -400}, {1700, -400}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.firstEnd.x);
    piece = std::make_unique<CPieceRecord>();
    AddOutline(400);
    CPieceItem12* cut = AddCutLine(400);
    auto* shape = new CPieceItem6(nullptr, nullptr);
    AddGraded(shape, c.firstEnd.x, c.firstEnd.y, 0x100);
    AddGraded(shape, 2000, 800, 5);
    AddGraded(shape, c.secondEnd.x, c.secondEnd.y, 0);
    AddGraded(shape, 300, 0, 0);
    piece->AddItem(shape);

    piece->BuildVShapeExtensions(1);
    CPieceItem* extension = FirstOfType(19);
    ASSERT_NE(extension, nullptr);
    EXPECT_EQ(Nodes(extension), (std::vector<NodeState>{{c.firstCrossing.x, c.firstCrossing.y, 0x100},
                                                   {c.firstCrossing.x + 10, c.firstCrossing.y + 100, 64},
                                                   {2000, 800, 5},
                                                   {2010, 900, 64},
                                                   {c.secondCrossing.x, c.secondCrossing.y, 0},
                                                   {c.secondCrossing.x + 10, c.secondCrossing.y + 100, 64},
                                                   {310, 100, 64}}));
    // Both crossings are on the cut line's bottom edge, in their order.
    EXPECT_EQ(Nodes(cut), (std::vector<NodeState>{{-400, -400, 0},
                                             {-390, -300, 64},
                                             {1700, -400, 0x802},
                                             {1710, -300, 64},
                                             {2300, -400, 0x802},
                                             {2310, -300, 64},
                                             {4400, -400, 0},
                                             {4410, -300, 64},
                                             {4400, 4400, 0},
                                             {4410, 4500, 64},
                                             {-400, 4400, 0},
                                             {-390, 4500, 64}}));
  }
}

TEST_F(CornerBuildersTest, AMarkBeyondThreeWidthsOrWithoutWidthGetsNoItem) {
  AddSizes(1);
  struct Case {
    int width;
    bool params;
    bool extended;
  };
  // The crossing lies 10 mm beyond the outline point: within three widths
  // of 3.5 mm (reach 420 units), not within three of 3.25 mm (390), and
  // without any parameter node only a crossing on the outline point counts.
  const Case kCases[] = {{140, true, true}, {130, true, false}, {0, false, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.width);
    piece = std::make_unique<CPieceRecord>();
    AddOutline(c.width, c.params);
    CPieceItem12* cut = AddCutLine(400);
    auto* line = new CPieceItem5(nullptr, nullptr);
    line->AddTailVertex(3000, 0, 0);
    line->AddTailVertex(3000, 800, 0);
    piece->AddItem(line);
    piece->BuildType5Extensions(1);
    CPieceItem* extension = FirstOfType(17);
    EXPECT_EQ(extension != nullptr, c.extended);
    EXPECT_EQ(cut->VertexCount, c.extended ? 5 : 4);
    if (extension) {
      EXPECT_EQ(Nodes(extension), (std::vector<NodeState>{{3000, -400, 0}, {3000, 800, 0}}));
      EXPECT_EQ(Nodes(cut)[1], (NodeState{3000, -400, 0x2002}));
    }
  }
}

TEST_F(CornerBuildersTest, SegmentPairsMeetTheCutLineAtBothEnds) {
  AddSizes(1);
  struct Case {
    std::vector<CPoint> points;
    std::vector<CPoint> crossings;
  };
  // Wide corners (25 mm) let the crossings lie up to 75 mm out.
  const Case kCases[] = {
      // Four points: the pairs (M1, M2) and (M3, M4).
      {{{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}}, {{-400, 0}, {4400, 0}, {4400, 4000}, {-400, 4000}}},
      // Five points: every neighbouring pair, the walk going round twice.
      {{{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 2000}},
       {{-400, 0}, {4400, 0}, {4400, 4000}, {-400, 4000}, {0, 4400}, {0, -400}, {4000, -400}, {4000, 4400},
        {0, 4400}, {0, -400}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.points.size());
    piece = std::make_unique<CPieceRecord>();
    AddOutline(1000);
    AddCutLine(400);
    auto* segments = new CPieceItem7(nullptr, nullptr);
    for (const CPoint& p : c.points) segments->AddTailVertex(p.x, p.y, 0);
    piece->AddItem(segments);
    piece->BuildSegmentExtensions(1);
    CPieceItem* extension = FirstOfType(20);
    ASSERT_NE(extension, nullptr);
    std::vector<CPoint> crossings;
    for (const NodeState& n : Nodes(extension)) crossings.emplace_back(n.x, n.y);
    EXPECT_EQ(crossings, c.crossings);
  }
}

TEST_F(CornerBuildersTest, InwardSegmentEndsMustReachTheCutLineWhileMarksNeedNot) {
  AddSizes(1);
  AddOutline(-400);
  CPieceItem12* cut = AddCutLine(-400);
  // Both marks stop 5 mm short of the cut line, 10 mm inside.
  auto* line = new CPieceItem5(nullptr, nullptr);
  line->AddTailVertex(2000, 0, 0);
  line->AddTailVertex(2000, 200, 0);
  piece->AddItem(line);
  auto* segments = new CPieceItem7(nullptr, nullptr);
  segments->AddTailVertex(1000, 0, 0);
  segments->AddTailVertex(1000, 200, 0);
  piece->AddItem(segments);
  piece->BuildType5Extensions(0);
  piece->BuildSegmentExtensions(0);
  CPieceItem* extension = FirstOfType(17);
  ASSERT_NE(extension, nullptr);
  EXPECT_EQ(Nodes(extension), (std::vector<NodeState>{{2000, 400, 0}, {2000, 200, 0}}));
  EXPECT_EQ(FirstOfType(20), nullptr);
  EXPECT_EQ(cut->VertexCount, 5);
}

TEST_F(CornerBuildersTest, ASegmentItemWhoseSecondEndFailsLosesItsFirstEndToo) {
  AddSizes(1);
  CPieceItem0* outline = AddOutline(1000);
  CPieceItem12* cut = AddCutLine(400);
  // The pair runs along the bottom edge. Its first end, at (0, 0), is
  // measured against the corner before it (25 mm); the second, at
  // (4000, 0), against the corner at (0, 0), narrowed here to one unit, so
  // that its crossing 10 mm out is too far.
  CVertexNode* param = outline->VertexHead->Next;
  ASSERT_EQ(param->Kind(), 128);
  param->X = Widths(1, 1);
  auto* segments = new CPieceItem7(nullptr, nullptr);
  segments->AddTailVertex(0, 0, 0);
  segments->AddTailVertex(4000, 0, 0);
  piece->AddItem(segments);
  piece->BuildSegmentExtensions(1);
  EXPECT_EQ(FirstOfType(20), nullptr);
  // The first end's vertex stays on the cut line's left edge.
  ASSERT_EQ(cut->VertexCount, 5);
  EXPECT_EQ(Nodes(cut).back(), (NodeState{-400, 0, 0x1002}));
}

TEST_F(CornerBuildersTest, NotchesMoveOntoTheCutLineWithTheirOutlineVertex) {
  FakeShell shell;  // view scale 1: the pick tolerance is 5 units
  AddSizes(1);
  struct Case {
    uint32_t direction;
    std::vector<uint32_t> cutKinds;
    NodeState anchor;
  };
  const Case kCases[] = {
      {0x000, {2, 2, 0, 2}, {4400, 4400, 0x068}},
      {0x100, {2, 2, 0, 2}, {4400, 4400, 0x168}},
      {0x200, {2, 2, 0, 2}, {4400, 4400, 0x268}},
      {0x300, {2, 2, 0, 2}, {-400, -400, 0x368}},
      {0x400, {2, 2, 0, 2}, {-400, -400, 0x468}},
      {0x500, {2, 2, 0, 2}, {4400, -400, 0x568}},
      {0x700, {2, 2, 0, 2}, {4400, 4400, 0x068}},  // an unknown code counts as 0
      {0x000, {2, 2, 2, 2}, {-400, -400, 0x368}},  // no key vertex: the next vertex
      {0x200, {2, 2, 2, 2}, {4400, -400, 0x568}},
      {0x000, {0, 2, 2, 2}, {-400, -400, 0x068}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.direction);
    piece = std::make_unique<CPieceRecord>();
    AddOutline(400);
    AddCutLine(400, c.cutKinds);
    auto* notches = new CPieceItem13(nullptr, nullptr);
    notches->AddTailVertex(2000, 0, 0);
    notches->AddTailVertex(2000, 200, 0x200);
    notches->AddTailVertex(80, 0, 0x68);
    notches->AddTailVertex(0, 0, 0x68 | c.direction);
    piece->AddItem(notches);
    piece->BuildCutLineNotches(1);
    CPieceItem* moved = FirstOfType(18);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(Nodes(moved), (std::vector<NodeState>{{2000, -400, 0}, {2000, -200, 0x200}, {80, 0, 0x68}, c.anchor}));
  }
}

TEST_F(CornerBuildersTest, ANotchOffTheOutlineOrAPieceWithoutMarksGetsNothing) {
  FakeShell shell;
  AddSizes(1);
  AddOutline(400);
  CPieceItem12* cut = AddCutLine(400);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  notches->AddTailVertex(2000, 10, 0);  // 10 units inside: beyond the pick tolerance
  notches->AddTailVertex(2000, 200, 0x200);
  notches->AddTailVertex(80, 0, 0x68);
  notches->AddTailVertex(0, 0, 0x368);
  piece->AddItem(notches);
  piece->BuildVShapeExtensions(1);
  piece->BuildType5Extensions(1);
  piece->BuildSegmentExtensions(1);
  piece->BuildCutLineNotches(1);
  EXPECT_EQ(piece->ItemCount, 3);
  EXPECT_EQ(cut->VertexCount, 4);
}

}  // namespace
