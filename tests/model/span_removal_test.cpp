// Removing a stretch of the outline with what hangs on it: notches re-anchored
// or removed, two-point lines, V shapes and segment chains removed.
#include <gtest/gtest.h>

#include <vector>

#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "support/model_fixture.h"

namespace {

class SpanRemovalTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    AddSizes(2);
    piece_.AllowEdit = 1;
  }

  // Appends a vertex with its size-1 copy at the same place.
  static CVertexNode* Vertex(CPieceItem* item, int x, int y, uint32_t flags) {
    CVertexNode* node = item->AddTailVertex(x, y, flags);
    item->AddTailVertex(x, y, kVertexKindCopy);
    return node;
  }

  // The outline (0,0) (1000,0) (2000,0) (2000,1000) (1000,1000) (0,1000),
  // corners only; `marks[i]` is or-ed into vertex i's flags.
  CPieceItem0* Outline(std::vector<uint32_t> marks = {}) {
    marks.resize(6, 0);
    auto* outline = new CPieceItem0(nullptr, nullptr);
    const CPoint corners[] = {{0, 0}, {1000, 0}, {2000, 0}, {2000, 1000}, {1000, 1000}, {0, 1000}};
    for (int i = 0; i < 6; ++i) v_[i] = Vertex(outline, corners[i].x, corners[i].y, marks[static_cast<size_t>(i)]);
    outline->SmoothCurves();
    piece_.AddItem(outline);
    return outline;
  }

  // One notch: its point on the outline, an inner end 50 inside, width 40,
  // and its anchor (kind 104, direction code 3) at an outline vertex.
  static void AddNotch(CPieceItem* notches, CPoint point, CPoint anchor) {
    Vertex(notches, point.x, point.y, 0);
    Vertex(notches, point.x, point.y + 50, 0x101);
    notches->AddTailVertex(40, 900, kVertexKindFixedSingle);
    notches->AddTailVertex(anchor.x, anchor.y, (3u << 8) | kVertexKindMovedSingle);
  }

  // The anchors (kind 104) of the notch item, with their flags' low 16 bits.
  static std::vector<std::pair<CPoint, uint32_t>> Anchors(const CPieceItem* notches) {
    std::vector<std::pair<CPoint, uint32_t>> anchors;
    CVertexNode* node = notches->VertexHead;
    for (int i = 0; i < notches->VertexCount; ++i, node = node->Next) {
      if (node->Kind() == kVertexKindMovedSingle) anchors.emplace_back(CPoint(node->X, node->Y), node->Flags & 0xFFFF);
    }
    return anchors;
  }

  CPieceItem* Find(int type) { return Item(&piece_, type); }

  CPieceRecord piece_;
  CVertexNode* v_[6] = {};
};

TEST_F(SpanRemovalTest, NotchesOnTheRemovedStretchGoAndOthersMoveToAKeptVertex) {
  CPieceItem0* outline = Outline();
  auto* notches = new CPieceItem13(nullptr, nullptr);
  AddNotch(notches, {1500, 1000}, {2000, 1000});  // on the stretch that goes
  AddNotch(notches, {2000, 500}, {2000, 1000});   // before it, same anchor
  AddNotch(notches, {500, 0}, {0, 0});            // far from it
  piece_.AddItem(notches);

  piece_.RemoveOutlineSpan(outline, v_[4], v_[4]);
  EXPECT_EQ(outline->MainVertexPositions(0),
            (std::vector<CPoint>{{0, 0}, {1000, 0}, {2000, 0}, {2000, 1000}, {0, 1000}}));
  EXPECT_EQ(outline->VertexCount, 10);
  // The second notch now belongs to (2000, 0), the vertex that starts the
  // edge it sits on, with direction code 4; the third is untouched.
  EXPECT_EQ(Anchors(notches), (std::vector<std::pair<CPoint, uint32_t>>{{{2000, 0}, 0x468}, {{0, 0}, 0x368}}));
  const std::vector<CPoint> points = notches->MainVertexPositions(0);  // point, inner end, ...
  ASSERT_EQ(points.size(), 4u);
  EXPECT_EQ(points[0], CPoint(2000, 500));
  EXPECT_EQ(points[2], CPoint(500, 0));
  // The curves follow the shorter outline.
  EXPECT_EQ(outline->GetCurveCount(g_Style.SizeRing), 5);
}

TEST_F(SpanRemovalTest, ItemsMarkedOnTheRemovedVerticesGo) {
  CPieceItem0* outline = Outline({0, 0, 0, 0x800, 0x800 | 0x1000 | 0x2000, 0x1000});
  auto* line = new CPieceItem5(nullptr, nullptr);  // starts on (1000,1000)
  Vertex(line, 1000, 1000, 0);
  Vertex(line, 1000, 500, 1);
  piece_.AddItem(line);
  auto* shape = new CPieceItem6(nullptr, nullptr);  // legs end on (2000,1000) and (1000,1000)
  Vertex(shape, 2000, 1000, 2);
  Vertex(shape, 1500, 800, 5);
  Vertex(shape, 1000, 1000, 2);
  shape->AddTailVertex(0, 0, kVertexKindMovedSingle2);
  piece_.AddItem(shape);
  auto* segments = new CPieceItem7(nullptr, nullptr);  // one chain from (1000,1000) to (0,1000)
  Vertex(segments, 1000, 1000, 0);
  Vertex(segments, 500, 1000, 1);
  Vertex(segments, 400, 1000, 3);
  Vertex(segments, 0, 1000, 1);
  piece_.AddItem(segments);

  piece_.RemoveOutlineSpan(outline, v_[4], v_[4]);
  EXPECT_EQ(piece_.ItemCount, 1);
  EXPECT_EQ(Find(0), outline);
  // The marks the removed items left on kept vertices are gone.
  EXPECT_EQ(outline->FindVertex(2000, 1000)->Flags, 0u);
  EXPECT_EQ(outline->FindVertex(0, 1000)->Flags, 0u);
}

TEST_F(SpanRemovalTest, AnOutlineLeftWithTwoVerticesIsNeitherRegradedNorRefitted) {
  auto* outline = new CPieceItem0(nullptr, nullptr);
  CVertexNode* a = Vertex(outline, 0, 0, 0);
  CVertexNode* b = Vertex(outline, 1000, 0, 0);
  Vertex(outline, 1000, 1000, 0);
  outline->SmoothCurves();
  piece_.AddItem(outline);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  AddNotch(notches, {1000, 500}, {1000, 1000});  // on the edge that goes
  piece_.AddItem(notches);

  piece_.RemoveOutlineSpan(outline, b, b);
  EXPECT_EQ(outline->MainVertexPositions(0), (std::vector<CPoint>{{0, 0}, {1000, 1000}}));
  EXPECT_EQ(outline->VertexHead, a);
  EXPECT_EQ(outline->GetCurveCount(g_Style.SizeRing), 3);  // not smoothed again
  EXPECT_EQ(notches->VertexCount, 6);                      // not refitted
  EXPECT_EQ(Anchors(notches), (std::vector<std::pair<CPoint, uint32_t>>{{{1000, 1000}, 0x368}}));
}

TEST_F(SpanRemovalTest, RemovingEveryVertexEmptiesTheOutline) {
  CPieceItem0* outline = Outline();
  outline->InsertVertexAfter(v_[5]->Next, 0x00050005, 6, kVertexKindParameter);
  piece_.RemoveOutlineSpan(outline, v_[0], v_[5]);
  EXPECT_EQ(outline->VertexCount, 0);
  EXPECT_EQ(outline->VertexHead, nullptr);
}

TEST_F(SpanRemovalTest, WithoutEditingTheDependantsStayAndNothingHangs) {
  piece_.AllowEdit = 0;
  CPieceItem0* outline = Outline({0, 0, 0, 0, 0x2000, 0});
  auto* line = new CPieceItem5(nullptr, nullptr);
  Vertex(line, 1000, 1000, 0);
  Vertex(line, 1000, 500, 1);
  piece_.AddItem(line);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  AddNotch(notches, {1500, 1000}, {2000, 1000});
  piece_.AddItem(notches);

  piece_.RemoveOutlineSpan(outline, v_[4], v_[4]);
  EXPECT_EQ(outline->CountMainVertices(), 5);
  EXPECT_EQ(Find(5), line);
  EXPECT_EQ(line->VertexCount, 4);
}

TEST_F(SpanRemovalTest, DetachingKeepsTheOutlineAndReleasesItsDependants) {
  CPieceItem0* outline = Outline({0, 0, 0, 0x2000, 0x2000, 0});
  auto* line = new CPieceItem5(nullptr, nullptr);
  Vertex(line, 2000, 1000, 0);
  Vertex(line, 1000, 1000, 1);
  piece_.AddItem(line);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  AddNotch(notches, {1500, 1000}, {2000, 1000});  // on the fold line
  AddNotch(notches, {500, 0}, {0, 0});
  piece_.AddItem(notches);

  piece_.DetachOutlineSpan(outline, v_[3], v_[4]);
  EXPECT_EQ(outline->CountMainVertices(), 6);
  EXPECT_EQ(outline->VertexCount, 12);
  EXPECT_EQ(Find(5), nullptr);
  EXPECT_EQ(v_[3]->Flags, 0u);
  EXPECT_EQ(Anchors(notches), (std::vector<std::pair<CPoint, uint32_t>>{{{0, 0}, 0x368}}));
}

TEST_F(SpanRemovalTest, PreparingWithoutCurvesLeavesTheNotchesAlone) {
  CPieceItem0* outline = Outline({0, 0, 0, 0, 0x2000, 0});
  outline->DeleteCurveRings();
  auto* line = new CPieceItem5(nullptr, nullptr);
  Vertex(line, 1000, 1000, 0);
  Vertex(line, 1000, 500, 1);
  piece_.AddItem(line);
  auto* notches = new CPieceItem13(nullptr, nullptr);
  AddNotch(notches, {1500, 1000}, {2000, 1000});
  piece_.AddItem(notches);

  piece_.PrepareSpanRemoval(outline, v_[4], v_[4]);
  EXPECT_EQ(outline->CountMainVertices(), 6);
  EXPECT_EQ(notches->VertexCount, 6);
  EXPECT_EQ(Find(5), nullptr);
}

TEST_F(SpanRemovalTest, ASegmentChainGoesWholeFromAnyOfItsNodes) {
  Outline({0x1000, 0x1000, 0x1000, 0x1000, 0, 0});
  for (int given = 0; given < 12; ++given) {
    SCOPED_TRACE(given);
    // Three pairs along the bottom, then one more chain on the right.
    auto* segments = new CPieceItem7(nullptr, nullptr);
    Vertex(segments, 0, 0, 0);
    Vertex(segments, 500, 0, 1);
    Vertex(segments, 600, 0, 2);
    Vertex(segments, 1000, 0, 1);
    Vertex(segments, 1100, 0, 3);
    Vertex(segments, 2000, 0, 1);
    piece_.AddItem(segments);
    CPieceItem* item = segments;
    piece_.RemoveSegmentChain(&item, NodeAt(segments, given));
    EXPECT_EQ(item, nullptr);  // that was its only chain
    EXPECT_EQ(Find(7), nullptr);
    EXPECT_EQ(v_[0]->Flags, 0u);
    EXPECT_EQ(v_[2]->Flags, 0u);
    EXPECT_EQ(v_[3]->Flags, 0x1000u);  // no segment item was on it
    v_[0]->Flags = v_[1]->Flags = v_[2]->Flags = 0x1000;
  }
}

}  // namespace
