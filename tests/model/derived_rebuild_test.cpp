// The cut line rebuilt from the outline and its corner parameters. Scale 40:
// a width of 400 units is 10 mm.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "support/model_fixture.h"

namespace {

int32_t Widths(int incoming, int outgoing) {
  return static_cast<int32_t>((static_cast<uint32_t>(incoming) << 16) | (static_cast<uint32_t>(outgoing) & 0xFFFFu));
}

// An outline vertex and, unless `param` is false, its corner parameters.
struct Vertex {
  CPoint p;
  int32_t incoming = 400;
  int32_t outgoing = 400;
  uint32_t yWord = 6;
  bool param = true;
};

const std::vector<CPoint> kSquare = {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}};

double ShoelaceArea(const std::vector<CPoint>& ring) {
  double twice = 0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const CPoint& a = ring[i];
    const CPoint& b = ring[(i + 1) % ring.size()];
    twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
  }
  return twice / 2;
}

class DerivedRebuildTest : public ModelTest {
 protected:
  // A one-size outline of the vertices (kind 0), counter-clockwise.
  CPieceItem0* AddOutline(const std::vector<Vertex>& vertices) {
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (const Vertex& v : vertices) {
      outline->AddTailVertex(v.p.x, v.p.y, 0);
      if (v.param) outline->AddTailVertex(Widths(v.incoming, v.outgoing), static_cast<int32_t>(v.yWord), 128);
    }
    outline->SmoothCurves();
    piece->AddItem(outline);
    return outline;
  }

  static std::vector<Vertex> Square(int width = 400) {
    std::vector<Vertex> vertices;
    for (const CPoint& p : kSquare) vertices.push_back({p, width, width});
    return vertices;
  }

  CPieceItem* CutLine() { return Item(piece.get(), 12); }

  std::vector<int> ItemTypes() const { return ::ItemTypes(*piece); }

  std::unique_ptr<CPieceRecord> piece = std::make_unique<CPieceRecord>();
};

TEST_F(DerivedRebuildTest, ASquareGetsItsMitredCutLineOutside) {
  AddSizes(1);
  AddOutline(Square());
  ASSERT_GT(ShoelaceArea(kSquare), 0.0);  // counter-clockwise
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  CPieceItem* cut = CutLine();
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->MainVertexPositions(0), (std::vector<CPoint>{{-400, -400}, {4400, -400}, {4400, 4400}, {-400, 4400}}));
  EXPECT_EQ(Kinds(cut), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(ItemTypes(), (std::vector<int>{0, 12}));
}

TEST_F(DerivedRebuildTest, NoWidthMeansNoCutLineAndNoParameterNodes) {
  AddSizes(1);
  CPieceItem0* outline = AddOutline(Square(0));
  auto* oldCut = new CPieceItem12(nullptr, nullptr);
  piece->AddItem(oldCut);
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  EXPECT_EQ(CutLine(), nullptr);
  EXPECT_EQ(Kinds(outline), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(DerivedRebuildTest, DerivedItemsAreDeletedFirst) {
  AddSizes(1);
  struct Case {
    BOOL withCornerItems;
    std::vector<int> left;
  };
  const Case kCases[] = {{TRUE, {0}}, {FALSE, {0, 21, 24}}};
  for (const Case& c : kCases) {
    piece = std::make_unique<CPieceRecord>();
    AddOutline(Square(0));
    for (CPieceItem* item : {static_cast<CPieceItem*>(new CPieceItem17(nullptr, nullptr)),
                             static_cast<CPieceItem*>(new CPieceItem21(nullptr, nullptr)),
                             static_cast<CPieceItem*>(new CPieceItem20(nullptr, nullptr)),
                             static_cast<CPieceItem*>(new CPieceItem24(nullptr, nullptr)),
                             static_cast<CPieceItem*>(new CPieceItem18(nullptr, nullptr))}) {
      piece->AddItem(item);
    }
    EXPECT_EQ(piece->RebuildDerivedItems(c.withCornerItems), 1);
    EXPECT_EQ(ItemTypes(), c.left);
  }
}

TEST_F(DerivedRebuildTest, TooFewPositionsGiveNoCutLine) {
  AddSizes(1);
  // A single vertex has no segment to offset.
  AddOutline({{{0, 0}}});
  piece->AddItem(new CPieceItem19(nullptr, nullptr));
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 0);
  EXPECT_EQ(ItemTypes(), (std::vector<int>{0}));
  CPieceRecord empty;
  EXPECT_EQ(empty.RebuildDerivedItems(TRUE), 0);
}

TEST_F(DerivedRebuildTest, CornerCodesShapeTheCorner) {
  AddSizes(1);
  struct Case {
    uint32_t code;
    std::vector<CPoint> corner;  // the cut line's points for the corner at (4000, 0)
  };
  const Case kCases[] = {
      {0, {{4000, 0}, {4400, 0}}},
      {1, {{4000, 0}, {4400, -400}, {4400, 0}}},
      {3, {{4000, -400}, {4000, 0}}},
      {6, {{4400, -400}}},
      {9, {{4000, -400}, {4400, -400}, {4400, 0}}},
      {11, {{4000, -400}, {4400, 0}}},
      {12, {{4000, -400}, {4166, -400}, {4400, -166}, {4400, 0}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    piece = std::make_unique<CPieceRecord>();
    std::vector<Vertex> square = Square();
    square[1].yWord = c.code;
    AddOutline(square);
    EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
    CPieceItem* cut = CutLine();
    ASSERT_NE(cut, nullptr);
    std::vector<CPoint> expected{{-400, -400}};
    expected.insert(expected.end(), c.corner.begin(), c.corner.end());
    expected.insert(expected.end(), {{4400, 4400}, {-400, 4400}});
    EXPECT_EQ(cut->MainVertexPositions(0), expected);
  }
}

TEST_F(DerivedRebuildTest, AWidthChangeOnAStraightStretchStepsSquare) {
  AddSizes(1);
  // The vertex in the middle of the bottom edge asks for a mirrored corner
  // (code 7), but the edge runs straight on through it: the width steps
  // from 10 mm to 20 mm with a square step.
  std::vector<Vertex> vertices = Square();
  vertices.insert(vertices.begin() + 1, Vertex{{2000, 0}, 400, 800, 7});
  vertices[2].incoming = 800;
  AddOutline(vertices);
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  CPieceItem* cut = CutLine();
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->MainVertexPositions(0), (std::vector<CPoint>{{-400, -400}, {2000, -400}, {2000, -800}, {4400, -800},
                                                             {4400, 4400}, {-400, 4400}}));
}

TEST_F(DerivedRebuildTest, AReflexCornerTakesThePlainMitre) {
  AddSizes(1);
  // An L: the inner corner at (2000, 2000) asks for code 7 and gets a mitre.
  AddOutline({{{0, 0}}, {{4000, 0}}, {{4000, 2000}}, {{2000, 2000}, 400, 400, 7}, {{2000, 4000}}, {{0, 4000}}});
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  CPieceItem* cut = CutLine();
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->MainVertexPositions(0), (std::vector<CPoint>{{-400, -400}, {4400, -400}, {4400, 2400}, {2400, 2400},
                                                             {2400, 4400}, {-400, 4400}}));
}

TEST_F(DerivedRebuildTest, OutlineVerticesNearerThanTwentyUnitsAreOne) {
  AddSizes(1);
  struct Case {
    int apart;
    size_t corners;
  };
  const Case kCases[] = {{19, 4}, {20, 5}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.apart);
    piece = std::make_unique<CPieceRecord>();
    std::vector<Vertex> vertices = Square();
    Vertex extra{{4000, c.apart}};
    extra.param = false;
    vertices.insert(vertices.begin() + 2, extra);
    CPieceItem0* outline = AddOutline(vertices);
    const int before = outline->VertexCount;
    EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
    EXPECT_EQ(outline->VertexCount, before);  // the outline itself keeps every vertex
    ASSERT_NE(CutLine(), nullptr);
    EXPECT_EQ(CutLine()->MainVertexPositions(0).size(), c.corners);
  }
}

TEST_F(DerivedRebuildTest, ANeedleGetsBothFeetAtItsTip) {
  AddSizes(1);
  AddOutline({{{0, 0}}, {{4000, 0}}, {{4000, 4000}}, {{2000, 4000}}, {{2000, 6000}}, {{2000, 4000}}, {{0, 4000}}});
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  ASSERT_NE(CutLine(), nullptr);
  EXPECT_EQ(CutLine()->MainVertexPositions(0),
            (std::vector<CPoint>{{-400, -400}, {4400, -400}, {4400, 4400}, {2400, 4400}, {2400, 6000}, {1600, 6000},
                                 {1600, 4400}, {-400, 4400}}));
}

TEST_F(DerivedRebuildTest, ASizeWithoutAUsableSegmentKeepsItsOutlineWhileTheOthersAreOffset) {
  AddSizes(3);
  // Size 1 is a square of 2 units: no segment reaches a tenth of a
  // millimetre. Sizes 0 and 2 are squares of 100 and 200 mm.
  auto* outline = new CPieceItem0(nullptr, nullptr);
  for (const CPoint& p : kSquare) {
    outline->AddTailVertex(p.x, p.y, 0);
    outline->AddTailVertex(p.x / 2000, p.y / 2000, 64);
    outline->AddTailVertex(2 * p.x, 2 * p.y, 64);
    outline->AddTailVertex(Widths(400, 400), 6, 128);
  }
  outline->SmoothCurves();
  piece->AddItem(outline);
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  CPieceItem* cut = CutLine();
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->MainVertexPositions(0), (std::vector<CPoint>{{-400, -400}, {4400, -400}, {4400, 4400}, {-400, 4400}}));
  EXPECT_EQ(cut->MainVertexPositions(1), (std::vector<CPoint>{{0, 0}, {2, 0}, {2, 2}, {0, 2}}));
  EXPECT_EQ(cut->MainVertexPositions(2), (std::vector<CPoint>{{-400, -400}, {8400, -400}, {8400, 8400}, {-400, 8400}}));
}

TEST_F(DerivedRebuildTest, InsideTheOutlineWideCutPointsNearTheOutlineGo) {
  AddSizes(1);
  // Widths of -10 mm: the code-0 corner would put two points on the outline
  // itself; both go, and the cut line cuts the corner.
  std::vector<Vertex> square = Square(-400);
  square[1].yWord = 0;
  AddOutline(square);
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  ASSERT_NE(CutLine(), nullptr);
  EXPECT_EQ(CutLine()->MainVertexPositions(0), (std::vector<CPoint>{{400, 400}, {3600, 3600}, {400, 3600}}));

  // A plain square inside stays whole.
  piece = std::make_unique<CPieceRecord>();
  AddOutline(Square(-400));
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  ASSERT_NE(CutLine(), nullptr);
  EXPECT_EQ(CutLine()->MainVertexPositions(0), (std::vector<CPoint>{{400, 400}, {3600, 400}, {3600, 3600}, {400, 3600}}));
}

TEST_F(DerivedRebuildTest, EveryCornerWithItsLongestConstructionFitsTheTables) {
  AddSizes(2);
  // Sixteen corners round a circle, each a code-13 corner of five points
  // with a step of 2 mm.
  std::vector<Vertex> vertices;
  for (int i = 0; i < 16; ++i) {
    const double angle = 6.283185307179586 * i / 16;
    Vertex v{{static_cast<int>(4000 * std::cos(angle)), static_cast<int>(4000 * std::sin(angle))}};
    v.yWord = (80u << 16) | 13u;
    vertices.push_back(v);
  }
  AddOutline(vertices);
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  ASSERT_NE(CutLine(), nullptr);
  EXPECT_GE(CutLine()->CountMainVertices(), 16);
}

TEST_F(DerivedRebuildTest, CornerItemsAreBuiltOnTheNewCutLine) {
  AddSizes(1);
  AddOutline(Square());
  auto* line = new CPieceItem5(nullptr, nullptr);
  line->AddTailVertex(3000, 0, 0);
  line->AddTailVertex(3000, 800, 0);
  piece->AddItem(line);
  EXPECT_EQ(piece->RebuildDerivedItems(TRUE), 1);
  EXPECT_EQ(ItemTypes(), (std::vector<int>{0, 5, 12, 17}));
  EXPECT_EQ(CutLine()->MainVertexPositions(0),
            (std::vector<CPoint>{{-400, -400}, {3000, -400}, {4400, -400}, {4400, 4400}, {-400, 4400}}));
}

}  // namespace
