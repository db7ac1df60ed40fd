// Piece recalculation: clean-ups, one node per size for every outline vertex,
// the bounding box with the placed rectangle moved along, and the change of
// an outline vertex's kind.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "support/model_fixture.h"

namespace {

struct Box {
  int32_t minX;
  int32_t maxX;
  int32_t minY;
  int32_t maxY;
  bool operator==(const Box& o) const { return minX == o.minX && maxX == o.maxX && minY == o.minY && maxY == o.maxY; }
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "{" << b.minX << ", " << b.maxX << ", " << b.minY << ", " << b.maxY << "}";
}

class RecalcTest : public ModelTest {
 protected:
  static CPieceItem0* AddOutline(CPieceRecord* piece, const std::vector<CPoint>& points, int width = 0) {
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (const CPoint& p : points) {
      AddGraded(outline, p.x, p.y, 0);
      if (width != 0) outline->AddTailVertex((width << 16) | width, 6, 128);
    }
    outline->SmoothCurves();
    piece->AddItem(outline);
    return outline;
  }

  static Box BoxOf(const CPieceRecord& piece) { return {piece.BoxMinX, piece.BoxMaxX, piece.BoxMinY, piece.BoxMaxY}; }
  static Box PlacedOf(const CPieceRecord& piece) {
    return {piece.PlacedLeft, piece.PlacedRight, piece.PlacedTop, piece.PlacedBottom};
  }
  static void SetBox(CPieceRecord* piece, Box box, Box placed) {
    piece->BoxMinX = box.minX;
    piece->BoxMaxX = box.maxX;
    piece->BoxMinY = box.minY;
    piece->BoxMaxY = box.maxY;
    piece->PlacedLeft = placed.minX;
    piece->PlacedRight = placed.maxX;
    piece->PlacedTop = placed.minY;
    piece->PlacedBottom = placed.maxY;
  }
};

const std::vector<CPoint> kSquare = {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}};

TEST_F(RecalcTest, EveryOutlineVertexEndsWithOneNodePerSize) {
  AddSizes(3);
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  // (0, 0) with four copies, (4000, 0) with none, then a parameter node;
  // (4000, 4000) and (0, 4000) as they should be.
  outline->AddTailVertex(0, 0, 0);
  for (int i = 1; i <= 4; ++i) outline->AddTailVertex(i, i, 64);
  outline->AddTailVertex(4000, 0, 2);
  outline->AddTailVertex(0, 6, 128);
  AddGraded(outline, 4000, 4000, 0);
  AddGraded(outline, 0, 4000, 0);
  outline->SmoothCurves();
  piece.AddItem(outline);
  piece.Recalc(1);
  EXPECT_EQ(Kinds(outline), (std::vector<int>{0, 64, 64, 2, 64, 64, 128, 0, 64, 64, 0, 64, 64}));
  EXPECT_EQ(NodeAt(outline, 2)->X, 2);  // the first copies stay, the last go
  EXPECT_EQ(NodeAt(outline, 4)->X, 4000);
  EXPECT_EQ(NodeAt(outline, 5)->X, 4000);  // new copies at the vertex's own place
  EXPECT_EQ(NodeAt(outline, 5)->Flags, 64u);
}

TEST_F(RecalcTest, ThePlacedRectangleMovesWithTheBox) {
  AddSizes(1);
  CPieceRecord piece;
  AddOutline(&piece, {{-100, -50}, {4000, 0}, {4300, 4000}, {0, 4200}});
  SetBox(&piece, {0, 4000, 0, 4000}, {1000, 5000, 2000, 6000});
  piece.Recalc(1);
  EXPECT_EQ(BoxOf(piece), (Box{-100, 4300, -50, 4200}));
  EXPECT_EQ(PlacedOf(piece), (Box{900, 5300, 1950, 6200}));
}

TEST_F(RecalcTest, AnEmptyPieceEndsWithTheEmptyMarkersAndItsRectangleWraps) {
  AddSizes(1);
  CPieceRecord piece;
  piece.AddItem(new CPieceItem2(nullptr, nullptr));
  SetBox(&piece, {0, 4000, 0, 4000}, {10, 4010, 20, 4020});
  piece.Recalc(1);
  EXPECT_EQ(BoxOf(piece), (Box{0x7FFFFFFF, static_cast<int32_t>(0x80000000u), 0x7FFFFFFF,
                               static_cast<int32_t>(0x80000000u)}));
  // Each edge moved by its difference to the markers, wrapping in 32 bits.
  EXPECT_EQ(PlacedOf(piece), (Box{static_cast<int32_t>(0x80000009u), static_cast<int32_t>(0x8000000Au),
                                  static_cast<int32_t>(0x80000013u), static_cast<int32_t>(0x80000014u)}));
}

TEST_F(RecalcTest, AMarkedLineCountsOnlyWhileItIsShown) {
  AddSizes(1);
  struct Case {
    int32_t shown;
    int32_t maxX;
  };
  const Case kCases[] = {{1, 9000}, {0, 4000}};
  for (const Case& c : kCases) {
    g_DrawFlagType26 = c.shown;
    CPieceRecord piece;
    AddOutline(&piece, kSquare);
    auto* marked = new CPieceItem26(nullptr, nullptr);
    marked->AddTailVertex(1000, 1000, 2);
    marked->AddTailVertex(9000, 1000, 2);
    marked->RebuildRing();
    piece.AddItem(marked);
    piece.Recalc(1);
    EXPECT_EQ(piece.BoxMaxX, c.maxX);
  }
}

TEST_F(RecalcTest, DimensionsLoseTheirPlaceWhenTheirPointsGo) {
  AddSizes(1);
  CPieceRecord piece;
  AddOutline(&piece, kSquare);
  auto* line = new CPieceItem8(nullptr, nullptr);
  for (const CPoint& p : {CPoint(1000, 1000), CPoint(3000, 1000), CPoint(2000, 3000)}) line->AddTailVertex(p.x, p.y, 0);
  piece.AddItem(line);
  auto* dimension = new CPieceItem28(nullptr, nullptr);
  dimension->FirstItemType = 0;
  dimension->SecondItemType = 8;
  for (const CPoint& p : {CPoint(4000, 0), CPoint(3000, 1000), CPoint(4000, -500), CPoint(3000, -500)}) {
    dimension->AddTailVertex(p.x, p.y, 0);
  }
  piece.AddItem(dimension);
  piece.Recalc(1);
  EXPECT_EQ(ItemTypes(piece), (std::vector<int>{0, 8, 28}));
  line->VertexHead->Next->X = 3001;
  piece.Recalc(1);
  EXPECT_EQ(ItemTypes(piece), (std::vector<int>{0, 8}));
}

TEST_F(RecalcTest, AnEmptyNotchItemIsRemoved) {
  AddSizes(1);
  CPieceRecord piece;
  AddOutline(&piece, kSquare);
  piece.AddItem(new CPieceItem13(nullptr, nullptr));
  piece.Recalc(1);
  EXPECT_EQ(ItemTypes(piece), (std::vector<int>{0}));
}

TEST_F(RecalcTest, ChangingAVertexKindRegradesAndRebuildsThePiece) {
  AddSizes(2);
  CPieceRecord piece;
  CPieceItem0* outline = AddOutline(&piece, kSquare, 400);
  // An intermediate graded vertex left from an earlier grading between
  // (0, 0) and (4000, 0), and a notch far from the outline.
  outline->InsertVertexBefore(NodeAt(outline, 3), 2000, 10, 100);
  outline->InsertVertexBefore(NodeAt(outline, 4), 2010, 110, 64);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  AddGraded(notches, 9000, 9000, 0);
  AddGraded(notches, 9000, 9200, 0x200);
  notches->AddTailVertex(80, 0, 0x68);
  notches->AddTailVertex(0, 0, 0x368);
  piece.AddItem(notches);
  piece.Recalc(1);

  CVertexNode* corner = NodeAt(outline, 5);
  ASSERT_EQ(corner->X, 4000);
  ASSERT_EQ(corner->Y, 0);
  piece.SetOutlineVertexKind(corner, 0x801);
  EXPECT_EQ(corner->Flags, 0x801u);
  EXPECT_EQ(Kinds(outline), (std::vector<int>{0, 64, 128, 1, 64, 128, 0, 64, 128, 0, 64, 128}));
  auto* curve = dynamic_cast<CPieceCurveItem*>(outline);
  EXPECT_GT(curve->GetCurveCount(g_Style.SizeRing), 4);  // the smooth vertex brought spline points
  EXPECT_EQ(ItemTypes(piece), (std::vector<int>{0, 12}));
  // The box takes in the new cut line.
  EXPECT_LE(piece.BoxMinX, -400);
  EXPECT_GE(piece.BoxMaxY, 4400);
}

}  // namespace
