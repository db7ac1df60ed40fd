// Rebuilding a V shape at a new depth: the apex on the mouth's bisector, the
// outline between the leg ends replaced by one closing vertex.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "model/grading.h"
#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "support/model_fixture.h"

namespace {

class VShapeRebuildTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    AddSizes(2);
  }

  struct Corner {
    CPoint at;
    uint32_t flags;
    CPoint size1Offset;  // the vertex's grading in size 1
  };

  // The outline (0,0) (4000,0) (4000,4000), the first leg end A (3000,2000),
  // `between` (vertices of the mouth), the second leg end B (1000,2000) and
  // (0,4000). A and B carry the leg-end mark unless told otherwise. The
  // piece is made editable.
  static CPieceItem0* Outline(CPieceRecord* piece, const std::vector<CPoint>& between,
                              uint32_t aFlags = 0x800 | 3, uint32_t bFlags = 0x800 | 3) {
    std::vector<Corner> corners = {{{0, 0}, 0, {0, 0}}, {{4000, 0}, 0, {0, 0}}, {{4000, 4000}, 0, {0, 0}},
                                   {{3000, 2000}, aFlags, {10, 20}}};
    for (CPoint p : between) corners.push_back({p, 0, {0, 0}});
    corners.push_back({{1000, 2000}, bFlags, {-10, 40}});
    corners.push_back({{0, 4000}, 0, {0, 0}});
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (const Corner& c : corners) {
      outline->AddTailVertex(c.at.x, c.at.y, c.flags);
      outline->AddTailVertex(c.at.x + c.size1Offset.x, c.at.y + c.size1Offset.y, kVertexKindCopy);
    }
    outline->SmoothCurves();
    piece->AllowEdit = 1;
    piece->AddItem(outline);
    return outline;
  }

  // The V: legs from `first` and `second` to the apex (2000,1200), graded
  // like the outline's leg ends, and its fourth point.
  static CPieceItem6* VShape(CPieceRecord* piece, CPoint first = {3000, 2000}, CPoint second = {1000, 2000}) {
    auto* shape = new CPieceItem6(nullptr, nullptr);
    shape->AddTailVertex(first.x, first.y, 2);
    shape->AddTailVertex(first.x + 10, first.y + 20, kVertexKindCopy);
    shape->AddTailVertex(2000, 1200, 5);
    shape->AddTailVertex(2000, 1200, kVertexKindCopy);
    shape->AddTailVertex(second.x, second.y, 2);
    shape->AddTailVertex(second.x - 10, second.y + 40, kVertexKindCopy);
    shape->AddTailVertex(99, 99, kVertexKindMovedSingle2);
    piece->AddItem(shape);
    return shape;
  }

  static std::vector<std::pair<CPoint, uint32_t>> Nodes(const CPieceItem* item) {
    std::vector<std::pair<CPoint, uint32_t>> nodes;
    CVertexNode* node = item->VertexHead;
    for (int i = 0; i < item->VertexCount; ++i, node = node->Next) {
      nodes.emplace_back(CPoint(node->X, node->Y), node->Flags);
    }
    return nodes;
  }

  static CPoint Apex(const CPieceItem* shape) {
    const CVertexNode* apex = shape->NextMainVertex(shape->VertexHead);
    return CPoint(apex->X, apex->Y);
  }
};

const std::vector<CPoint> kClosedAtTheMiddle = {{0, 0},       {4000, 0},    {4000, 4000}, {3000, 2000},
                                                {2000, 2000}, {1000, 2000}, {0, 4000}};

TEST_F(VShapeRebuildTest, TheMouthClosesAtItsMiddleAndTheApexMovesToTheDepth) {
  CPieceRecord piece;
  CPieceItem0* outline = Outline(&piece, {{2000, 2100}, {1500, 2300}});
  CPieceItem6* shape = VShape(&piece);
  shape->RebuildOnOutline(&piece, 1000, 77, 0x12345, -1, 0x1234, 0);

  EXPECT_EQ(outline->MainVertexPositions(0), kClosedAtTheMiddle);
  // The leg ends became corners, their marks kept; the closing vertex is one.
  EXPECT_EQ(outline->FindVertex(3000, 2000)->Flags, 0x800u);
  EXPECT_EQ(outline->FindVertex(1000, 2000)->Flags, 0x800u);
  EXPECT_EQ(outline->FindVertex(2000, 2000)->Kind(), 2);

  const std::vector<std::pair<CPoint, uint32_t>> expected = {
      {{3000, 2000}, 0x1202}, {{3010, 2020}, 64},  // the first leg end and its grading
      {{2000, 1000}, 5},      {{2010, 1020}, 64},  // the apex, graded like the first leg end
      {{1000, 2000}, 0x1202}, {{990, 2040}, 64},   // the second leg end
      {{77, static_cast<int>(0xFFFF2345u)}, 105},  // low halves of 0x12345 and -1
  };
  EXPECT_EQ(Nodes(shape), expected);
}

TEST_F(VShapeRebuildTest, NeighbouringLegEndsGetTheClosingVertexBetweenThem) {
  CPieceRecord piece;
  CPieceItem0* outline = Outline(&piece, {}, 0x800 | 3, 0x800 | 1);
  CPieceItem6* shape = VShape(&piece);
  shape->RebuildOnOutline(&piece, 500, 0, 0, 0, 0, 0x300);  // both bits: the middle
  EXPECT_EQ(outline->MainVertexPositions(0), kClosedAtTheMiddle);
  EXPECT_EQ(outline->FindVertex(1000, 2000)->Flags, 0x802u);  // smooth 1 became corner 2
  EXPECT_EQ(Apex(shape), CPoint(2000, 1500));
  EXPECT_EQ(shape->VertexHead->Prev->Flags, 0x300u | 105);
}

TEST_F(VShapeRebuildTest, AFoldedClosingPointLiesOnTheBisector) {
  // The outline 2 mm beyond the first leg end runs to (4000,4000), beyond
  // the second to (0,4000); folded about its leg, either runs from the leg
  // end towards (2000, 1500) on the line through the mouth's middle and the
  // apex.
  for (uint32_t mode : {0x100u, 0x200u}) {
    SCOPED_TRACE(mode);
    CPieceRecord piece;
    CPieceItem0* outline = Outline(&piece, {{2000, 2100}});
    CPieceItem6* shape = VShape(&piece);
    shape->RebuildOnOutline(&piece, 1000, 0, 0, 0, 0, mode);
    const std::vector<CPoint> points = outline->MainVertexPositions(0);
    ASSERT_EQ(points.size(), 7u);
    EXPECT_EQ(points[4].x, 2000);
    EXPECT_LE(std::abs(points[4].y - 1500), 1);
    EXPECT_EQ(Apex(shape), CPoint(2000, 1000));
  }
}

TEST_F(VShapeRebuildTest, GradingTheApexAlongTheV) {
  CPieceRecord plainPiece;
  Outline(&plainPiece, {{2000, 2100}});
  CPieceItem6* plain = VShape(&plainPiece);
  plain->RebuildOnOutline(&plainPiece, 1000, 0, 0, 0, 0, 0);
  std::unique_ptr<CPieceItem> graded(ClonePieceItem(plain));
  GradeFirstCurveRun(graded.get());
  graded->VertexHead->Prev->Flags = 0x400 | 105;

  CPieceRecord piece;
  Outline(&piece, {{2000, 2100}});
  CPieceItem6* shape = VShape(&piece);
  shape->RebuildOnOutline(&piece, 1000, 0, 0, 0, 0, 0x400);
  EXPECT_EQ(Nodes(shape), Nodes(graded.get()));
  EXPECT_NE(Nodes(shape), Nodes(plain));
}

TEST_F(VShapeRebuildTest, NothingChangesWithoutAMarkedLegEndOrAWideEnoughMouth) {
  struct Case {
    const char* what;
    uint32_t aFlags;
    CPoint second;
  };
  const Case kCases[] = {
      {"first leg end unmarked", 3, {1000, 2000}},
      {"mouth 1 mm wide", 0x800 | 3, {3040, 2000}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPieceRecord piece;
    CPieceItem0* outline = Outline(&piece, {{2000, 2100}}, c.aFlags);
    if (c.second.x == 3040) {
      CVertexNode* end = outline->InsertVertexAfter(outline->FindVertex(3000, 2000)->Next, 3040, 2000, 0x800);
      outline->InsertVertexAfter(end, 3030, 2040, kVertexKindCopy);
    }
    CPieceItem6* shape = VShape(&piece, {3000, 2000}, c.second);
    const auto outlineBefore = Nodes(outline);
    const auto shapeBefore = Nodes(shape);
    shape->RebuildOnOutline(&piece, 1000, 0, 0, 0, 0, 0);
    EXPECT_EQ(Nodes(outline), outlineBefore);
    EXPECT_EQ(Nodes(shape), shapeBefore);
  }
}

TEST_F(VShapeRebuildTest, AnUnmarkedVertexOnTheSamePointIsPassedOver) {
  // Two outline vertices on the first leg end; only the second is marked.
  CPieceRecord piece;
  CPieceItem0* outline = Outline(&piece, {{2000, 2100}}, 3);
  CVertexNode* marked = outline->InsertVertexAfter(outline->FindVertex(3000, 2000)->Next, 3000, 2000, 0x800);
  outline->InsertVertexAfter(marked, 3010, 2020, kVertexKindCopy);
  CPieceItem6* shape = VShape(&piece);
  shape->RebuildOnOutline(&piece, 1000, 0, 0, 0, 0, 0);
  EXPECT_EQ(outline->MainVertexPositions(0), (std::vector<CPoint>{{0, 0}, {4000, 0}, {4000, 4000}, {3000, 2000},
                                                                   {3000, 2000}, {2000, 2000}, {1000, 2000},
                                                                   {0, 4000}}));
  EXPECT_EQ(Apex(shape), CPoint(2000, 1000));
}

}  // namespace
