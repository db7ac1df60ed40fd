// Grading the curve vertices of an item per size from its graded key
// vertices.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "model/graded_expansion.h"
#include "model/grading.h"
#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "support/model_fixture.h"

namespace {

class GradingTest : public ModelTest {
 protected:
  // Appends a vertex with one node per size at the given positions.
  static CVertexNode* AddVertex(CPieceItem* item, uint32_t flags, std::vector<CPoint> sizes) {
    CVertexNode* main = item->AddTailVertex(sizes[0].x, sizes[0].y, flags);
    for (size_t s = 1; s < sizes.size(); ++s) item->AddTailVertex(sizes[s].x, sizes[s].y, 64);
    return main;
  }

  // The position of a vertex in size s.
  static CPoint InSize(const CVertexNode* main, int s) {
    for (int i = 0; i < s; ++i) main = main->Next;
    return CPoint(main->X, main->Y);
  }
};

TEST_F(GradingTest, CurveVertexFollowsTheGradedKeyVertices) {
  AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  CVertexNode* s = AddVertex(&outline, 0, {{0, 0}, {0, 0}});
  CVertexNode* m = AddVertex(&outline, 1, {{50, 50}, {50, 50}});
  CVertexNode* e = AddVertex(&outline, 0, {{100, 0}, {200, 0}});
  GradePiece(&outline);
  EXPECT_EQ(InSize(m, 1), CPoint(100, 100));
  // The key vertices and the first size stay where they were.
  EXPECT_EQ(InSize(s, 1), CPoint(0, 0));
  EXPECT_EQ(InSize(e, 1), CPoint(200, 0));
  EXPECT_EQ(InSize(m, 0), CPoint(50, 50));
  EXPECT_EQ(outline.VertexCount, 6);
}

TEST_F(GradingTest, SingleAndParameterNodesNeverMove) {
  AddSizes(2);
  CPieceItem8 line(nullptr, nullptr);
  AddVertex(&line, 0, {{0, 0}, {0, 0}});
  CVertexNode* param = line.AddTailVertex(0x000A0014, 5, 128);
  CVertexNode* m = AddVertex(&line, 1, {{50, 50}, {50, 50}});
  CVertexNode* fixed = line.AddTailVertex(60, 40, 102);
  CVertexNode* fixed2 = line.AddTailVertex(70, 30, 103);
  CVertexNode* anchor = line.AddTailVertex(80, 20, 104);
  CVertexNode* skip = AddVertex(&line, 101, {{90, 10}, {91, 11}});
  AddVertex(&line, 0, {{100, 0}, {200, 0}});
  GradePiece(&line);
  EXPECT_EQ(InSize(m, 1), CPoint(100, 100));
  EXPECT_EQ(CPoint(param->X, param->Y), CPoint(0x000A0014, 5));
  EXPECT_EQ(CPoint(fixed->X, fixed->Y), CPoint(60, 40));
  EXPECT_EQ(CPoint(fixed2->X, fixed2->Y), CPoint(70, 30));
  EXPECT_EQ(CPoint(anchor->X, anchor->Y), CPoint(80, 20));
  EXPECT_EQ(InSize(skip, 1), CPoint(91, 11));
}

TEST_F(GradingTest, OnlyCurveItemTypesAreGraded) {
  AddSizes(2);
  for (int type : {0, 8, 9, 14, 15, 1, 11, 12, 21}) {
    SCOPED_TRACE(type);
    const std::unique_ptr<CPieceItem> owned = CreatePieceItem(type);
    CPieceItem* item = owned.get();
    AddVertex(item, 0, {{0, 0}, {0, 0}});
    CVertexNode* m = AddVertex(item, 1, {{50, 50}, {7, 7}});
    AddVertex(item, 0, {{100, 0}, {200, 0}});
    GradePiece(item);
    const bool graded = type == 0 || type == 8 || type == 9 || type == 14 || type == 15;
    EXPECT_EQ(InSize(m, 1), graded ? CPoint(100, 100) : CPoint(7, 7));
  }
}

TEST_F(GradingTest, RingsWithoutARun) {
  AddSizes(3);
  struct Case {
    const char* what;
    uint32_t headKind, nextKind;
    bool spread;  // every size takes the first size's shape
  };
  const Case kCases[] = {
      {"key vertices only", 0, 3, false},
      {"a key vertex after the head", 5, 0, false},
      {"another kind after the head", 0, 5, true},
      {"no key vertex at all", 1, 2, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPieceItem9 line(nullptr, nullptr);
    CVertexNode* a = AddVertex(&line, c.headKind, {{0, 0}, {5, 5}, {9, 9}});
    CVertexNode* b = AddVertex(&line, c.nextKind, {{30, 0}, {35, 5}, {39, 9}});
    GradePiece(&line);
    EXPECT_EQ(InSize(a, 2), c.spread ? CPoint(0, 0) : CPoint(9, 9));
    EXPECT_EQ(InSize(b, 1), c.spread ? CPoint(30, 0) : CPoint(35, 5));
  }
}

TEST_F(GradingTest, SingleKeyVertexMovesTheWholeRingByItsOffset) {
  AddSizes(3);
  CPieceItem8 line(nullptr, nullptr);
  CVertexNode* k = AddVertex(&line, 3, {{0, 0}, {10, -5}, {20, -10}});
  CVertexNode* a = AddVertex(&line, 1, {{50, 0}, {0, 0}, {0, 0}});
  CVertexNode* b = AddVertex(&line, 2, {{25, 40}, {0, 0}, {0, 0}});
  GradePiece(&line);
  EXPECT_EQ(InSize(k, 1), CPoint(10, -5));
  EXPECT_EQ(InSize(a, 1), CPoint(60, -5));
  EXPECT_EQ(InSize(b, 2), CPoint(45, 30));
}

TEST_F(GradingTest, TurnedRunKeepsItsCurveOnTheSameSideOfTheChord) {
  // The chord turns a quarter counter-clockwise: the bulge on its left side
  // (half the chord's length above its middle) stays on its left.
  AddSizes(2);
  CPieceItem9 line(nullptr, nullptr);
  AddVertex(&line, 0, {{0, 0}, {0, 0}});
  CVertexNode* m = AddVertex(&line, 1, {{50, 50}, {0, 0}});
  AddVertex(&line, 0, {{100, 0}, {0, 100}});
  GradePiece(&line);
  const CPoint got = InSize(m, 1);
  EXPECT_LE(std::abs(got.x + 50), 1) << got.x;
  EXPECT_LE(std::abs(got.y - 50), 1) << got.y;
}

TEST_F(GradingTest, IntermediateVerticesAreTruncated) {
  // The run is stretched by 1.29 about its fixed end: 12.9 -> 12, -12.9 -> -12.
  AddSizes(2);
  CPieceItem9 line(nullptr, nullptr);
  AddVertex(&line, 0, {{0, 0}, {0, 0}});
  CVertexNode* m = AddVertex(&line, 2, {{90, 10}, {0, 0}});
  AddVertex(&line, 0, {{100, 0}, {129, 0}});
  GradePiece(&line);
  EXPECT_EQ(InSize(m, 1), CPoint(129 - 12, 12));
}

TEST_F(GradingTest, EveryRunIsGradedFromItsOwnKeyVertices) {
  AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  AddVertex(&outline, 0, {{0, 0}, {0, 0}});
  CVertexNode* m1 = AddVertex(&outline, 1, {{50, 50}, {0, 0}});
  AddVertex(&outline, 3, {{100, 0}, {200, 0}});
  CVertexNode* m2 = AddVertex(&outline, 2, {{150, -50}, {0, 0}});
  AddVertex(&outline, 0, {{200, 0}, {200, 0}});
  GradePiece(&outline);
  EXPECT_EQ(InSize(m1, 1), CPoint(100, 100));
  // The second run shrinks from length 100 to 0 toward its fixed end.
  EXPECT_EQ(InSize(m2, 1), CPoint(200, 0));
}

TEST_F(GradingTest, AxisBlendRunsTheOffsetAlongAnAxisParallelChord) {
  // Start offset (10, 0), end offset (30, 20): halfway along the chord the
  // curve vertex moves by their mean. The mode bits on either key vertex
  // choose the blend; the end mode also regrades from the end, to the same.
  for (uint32_t startMode : {0x200u, 0u}) {
    SCOPED_TRACE(startMode);
    ClearStyle();
    AddSizes(2);
    CPieceItem9 line(nullptr, nullptr);
    AddVertex(&line, startMode, {{0, 0}, {10, 0}});
    CVertexNode* m = AddVertex(&line, 1, {{50, 50}, {0, 0}});
    CVertexNode* q = AddVertex(&line, 1, {{25, 50}, {0, 0}});
    AddVertex(&line, startMode == 0 ? 0x200u : 0u, {{100, 0}, {130, 20}});
    GradePiece(&line);
    EXPECT_EQ(InSize(m, 1), CPoint(70, 60));
    EXPECT_EQ(InSize(q, 1), CPoint(40, 55));
  }
}

TEST_F(GradingTest, AxisBlendOnAShortChordWithoutExtentDoesNotDivideByZero) {
  // The chord is 30 units along x and none along y: the x ratio is measured
  // on the empty y extent and counts as 0.
  AddSizes(2);
  CPieceItem9 line(nullptr, nullptr);
  AddVertex(&line, 0x200, {{0, 0}, {5, 0}});
  CVertexNode* m = AddVertex(&line, 1, {{15, 10}, {0, 0}});
  AddVertex(&line, 0, {{30, 0}, {40, 0}});
  GradePiece(&line);
  EXPECT_EQ(InSize(m, 1), CPoint(20, 10));
}

TEST_F(GradingTest, AxisBlendOnADiagonalChordWorksInTheChordFrame) {
  // A chord at 45 degrees is turned onto the x axis and back. The offset
  // still runs from the start's (0, 0) to the end's (10, 20): about 0.4 of
  // the way at this vertex, give or take the rounding of the turns.
  for (uint32_t endMode : {0x200u, 0x100u}) {
    SCOPED_TRACE(endMode);
    ClearStyle();
    AddSizes(2);
    CPieceItem9 line(nullptr, nullptr);
    CVertexNode* s = AddVertex(&line, 0x200, {{0, 0}, {0, 0}});
    CVertexNode* m = AddVertex(&line, 1, {{20, 60}, {0, 0}});
    CVertexNode* skip = AddVertex(&line, 101, {{300, 300}, {301, 302}});
    CVertexNode* e = AddVertex(&line, endMode, {{100, 100}, {110, 120}});
    GradePiece(&line);
    const CPoint got = InSize(m, 1);
    EXPECT_LE(std::abs(got.x - 24), 2) << got.x;
    EXPECT_LE(std::abs(got.y - 68), 2) << got.y;
    EXPECT_EQ(InSize(s, 1), CPoint(0, 0));
    EXPECT_EQ(InSize(e, 1), CPoint(110, 120));
    EXPECT_EQ(InSize(m, 0), CPoint(20, 60));
    EXPECT_EQ(InSize(skip, 1), CPoint(301, 302));
  }
}

TEST_F(GradingTest, KeepFrameModeBlendsADiagonalChordUnturned) {
  // Mode 0x100 on the end (the start having none) keeps the run in model
  // axes: x ratio 0.2, y ratio 0.6 of the end's offset (10, 20).
  AddSizes(2);
  CPieceItem9 line(nullptr, nullptr);
  AddVertex(&line, 0, {{0, 0}, {0, 0}});
  CVertexNode* m = AddVertex(&line, 1, {{20, 60}, {0, 0}});
  AddVertex(&line, 0x100, {{100, 100}, {110, 120}});
  GradePiece(&line);
  EXPECT_EQ(InSize(m, 1), CPoint(22, 72));
}

TEST_F(GradingTest, FindCurveRunPicksTheLastKeyVertexBeforeTheCurve) {
  AddSizes(1);
  CPieceItem9 line(nullptr, nullptr);
  CVertexNode* k1 = line.AddTailVertex(0, 0, 0);
  CVertexNode* k2 = line.AddTailVertex(1, 0, 3);
  line.AddTailVertex(2, 0, 100);
  CVertexNode* k3 = line.AddTailVertex(3, 0, 0);
  CVertexNode* start = nullptr;
  CVertexNode* end = nullptr;
  ASSERT_TRUE(FindCurveRun(k1, &start, &end));
  EXPECT_EQ(start, k2);
  EXPECT_EQ(end, k3);
  // From the end the next run wraps round to the same start.
  ASSERT_TRUE(FindCurveRun(k3, &start, &end));
  EXPECT_EQ(start, k2);

  CPieceItem9 keys(nullptr, nullptr);
  CVertexNode* only = keys.AddTailVertex(0, 0, 0);
  keys.AddTailVertex(1, 0, 3);
  start = end = nullptr;
  EXPECT_FALSE(FindCurveRun(only, &start, &end));
  EXPECT_EQ(start, nullptr);
  EXPECT_FALSE(FindCurveRun(nullptr, &start, &end));
}

TEST_F(GradingTest, FirstCurveRunIsGradedFromTheHead) {
  AddSizes(2);
  CPieceItem9 line(nullptr, nullptr);
  // Kinds that GradePiece would not take as a run: all curve vertices.
  AddVertex(&line, 2, {{0, 0}, {0, 0}});
  CVertexNode* m = AddVertex(&line, 1, {{50, 50}, {0, 0}});
  AddVertex(&line, 2, {{100, 0}, {200, 0}});
  GradeFirstCurveRun(&line);
  EXPECT_EQ(InSize(m, 1), CPoint(100, 100));
}

TEST_F(GradingTest, EndOffsetGradingTurnsAndScalesAboutTheStart) {
  // The end key vertex's offset (100, 0) stretches the run about its start.
  AddSizes(2);
  CPieceItem9 line(nullptr, nullptr);
  CVertexNode* s = AddVertex(&line, 0, {{0, 0}, {0, 0}});
  CVertexNode* m = AddVertex(&line, 1, {{50, 50}, {0, 0}});
  CVertexNode* e = AddVertex(&line, 0, {{100, 0}, {200, 0}});
  CPerSizeRings rings;
  ASSERT_EQ(ExpandRunPerSize(rings.Heads(), &line, s, e), 3);
  const CPoint offsets[] = {{100, 0}, {100, 0}};
  GradeRunByEndOffset(rings.Heads(), offsets);
  WriteBackRunPerSize(rings.Heads(), &line, s);
  EXPECT_EQ(InSize(m, 1), CPoint(100, 100));
  EXPECT_EQ(InSize(e, 1), CPoint(200, 0));

  // A run of one node has nothing to grade.
  CPieceItem9 dot(nullptr, nullptr);
  CVertexNode* only = AddVertex(&dot, 104, {{5, 5}});
  rings.Free();
  ASSERT_EQ(ExpandGradedPoints(rings.Heads(), &dot), 1);
  GradeRunByStartOffset(rings.Heads(), offsets);
  EXPECT_EQ(rings.Head(1)->X, 5);
  EXPECT_EQ(only->X, 5);
}

TEST_F(GradingTest, HostileCoordinatesStayDefined) {
  // Far-apart key vertices make huge ratios and offsets; every result is a
  // clamped or wrapped integer, never undefined.
  AddSizes(3);
  for (uint32_t mode : {0u, 0x200u}) {
    SCOPED_TRACE(mode);
    CPieceItem9 line(nullptr, nullptr);
    AddVertex(&line, mode, {{INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MIN}, {0, 0}});
    AddVertex(&line, 1, {{INT32_MAX, INT32_MAX}, {0, 0}, {0, 0}});
    AddVertex(&line, 2, {{-1, 1}, {0, 0}, {0, 0}});
    AddVertex(&line, 0, {{INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, {1, 1}});
    GradePiece(&line);
    EXPECT_EQ(line.VertexCount, 12);
  }
}

}  // namespace
