// Auxiliary drawings: pieces fitted into a rectangle and the small shapes
// drawn from a vertex ring.
#include "app/marking.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/piece_drawing.h"
#include "model/item_factory.h"
#include "model/items/outline_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "tests/support/clean_style.h"

namespace {

class MarkingTest : public CleanStyleTest {
 protected:
  // A ring of nodes at the given points, held by an open line item.
  static std::unique_ptr<CPieceItem> Ring(std::vector<CPoint> points) {
    std::unique_ptr<CPieceItem> item(CreatePieceItem(9));
    for (const CPoint& p : points) item->AddTailVertex(p.x, p.y, 0);
    return item;
  }
};

TEST_F(MarkingTest, FittedTransformCentresTheBoxInTheRectangle) {
  CPieceRecord piece;
  piece.BoxMinX = 0;
  piece.BoxMaxX = 99;
  piece.BoxMinY = 0;
  piece.BoxMaxY = 49;
  const FittedTransform t = FitPieceToRect(piece, 0, 0, 9, 9);
  EXPECT_DOUBLE_EQ(t.scale, 10.0);
  EXPECT_EQ(t.originX, 0);    // 50 - 5 x 10
  EXPECT_EQ(t.originY, -25);  // 25 - 5 x 10
  // The box's centre lands on the rectangle's centre.
  piece.BoxMinX = 1000;
  piece.BoxMaxX = 1199;
  const FittedTransform u = FitPieceToRect(piece, 100, 50, 119, 69);
  EXPECT_DOUBLE_EQ(u.scale, 10.0);
  EXPECT_EQ((1100 - u.originX) / u.scale, 110.0);
}

TEST_F(MarkingTest, RingShapes) {
  auto triangle = Ring({{0, 0}, {40, 0}, {40, 20}});
  struct Case {
    const char* name;
    void (*draw)(CDC*, double, int, int, CVertexNode*);
    std::vector<CPoint> expected;
  };
  const Case cases[] = {
      {"closed", DrawRingClosed, {{0, 0}, {20, 0}, {20, 10}, {0, 0}}},
      {"open", DrawRingOpen, {{0, 0}, {20, 0}, {20, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDC dc;
    c.draw(&dc, 2.0, 0, 0, triangle->VertexHead);
    ASSERT_EQ(dc.calls().size(), 1u);
    EXPECT_EQ(dc.calls()[0].op, DrawCall::Op::kPolyline);
    EXPECT_EQ(dc.calls()[0].points, c.expected);
  }
  RecordingDC none;
  DrawRingClosed(&none, 1.0, 0, 0, nullptr);
  DrawRingOpen(nullptr, 1.0, 0, 0, triangle->VertexHead);
  EXPECT_TRUE(none.calls().empty());
}

TEST_F(MarkingTest, PlusMarker) {
  auto ring = Ring({{100, 60}});
  RecordingDC dc;
  DrawPlusMarker(&dc, 2.0, 0, 0, ring->VertexHead);
  std::vector<std::pair<CPoint, CPoint>> strokes;
  for (const DrawCall& c : dc.calls()) {
    if (c.op == DrawCall::Op::kLineTo) strokes.push_back({c.points[0], c.points[1]});
  }
  const std::vector<std::pair<CPoint, CPoint>> expected{
      {{45, 30}, {56, 30}}, {{50, 25}, {50, 30}}, {{50, 35}, {50, 30}}};
  EXPECT_EQ(strokes, expected);
}

TEST_F(MarkingTest, CircleAndDrillHole) {
  // Centre (40, 40); the next node's x is the radius: 20 units, 10 pixels.
  auto ring = Ring({{40, 40}, {20, 0}});
  {
    RecordingDC dc;
    DrawRingCircle(&dc, 2.0, 0, 0, ring->VertexHead);
    ASSERT_EQ(dc.calls().size(), 1u);
    const DrawCall& arc = dc.calls()[0];
    EXPECT_EQ(arc.op, DrawCall::Op::kArc);
    EXPECT_EQ(arc.rect, CRect(10, 10, 30, 30));
    EXPECT_EQ(arc.points[0], CPoint(10, 10));
    EXPECT_EQ(arc.points[1], CPoint(10, 10));
    EXPECT_TRUE(arc.state.brush.hollow());
  }
  struct Case {
    int radiusUnits;
    int radiusPixels;
  };
  // A radius below 3 pixels is drawn with 3.
  for (const Case c : {Case{20, 10}, Case{2, 3}, Case{0, 3}}) {
    SCOPED_TRACE(c.radiusUnits);
    auto hole = Ring({{40, 40}, {c.radiusUnits, 0}});
    RecordingDC dc;
    DrawDrillHole(&dc, 2.0, 0, 0, hole->VertexHead);
    const int r = c.radiusPixels;
    ASSERT_FALSE(dc.calls().empty());
    EXPECT_EQ(dc.calls()[0].op, DrawCall::Op::kEllipse);
    EXPECT_EQ(dc.calls()[0].rect, CRect(20 - r, 20 - r, 20 + r + 1, 20 + r + 1));
    EXPECT_TRUE(dc.calls()[0].state.brush.hollow());
    std::vector<std::pair<CPoint, CPoint>> strokes;
    for (const DrawCall& call : dc.calls()) {
      if (call.op == DrawCall::Op::kLineTo) strokes.push_back({call.points[0], call.points[1]});
    }
    const std::vector<std::pair<CPoint, CPoint>> expected{{{20 - r, 20}, {20 - r, 21}},
                                                          {{20 - r, 20}, {20 + r + 1, 20}},
                                                          {{20, 20 - r}, {20, 20 + r + 1}}};
    EXPECT_EQ(strokes, expected);
    // The brush is given back.
    EXPECT_FALSE(dc.state().brush.hollow());
  }
}

TEST_F(MarkingTest, FittedOutlineIsFilledThenStroked) {
  for (int i = 0; i < 2; ++i) g_Style.AddSize(new CSizeRecord(i ? "L" : "M", i, 0, 0, 1));
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  for (const CPoint p : {CPoint(0, 0), CPoint(99, 0), CPoint(99, 49), CPoint(0, 49)}) {
    outline->AddTailVertex(p.x, p.y, 0);
    outline->AddTailVertex(p.x + 5, p.y + 5, 64);  // the second size, not drawn here
  }
  piece.AddItem(outline);
  piece.BoxMinX = 0;
  piece.BoxMaxX = 99;
  piece.BoxMinY = 0;
  piece.BoxMaxY = 49;
  CBrush brush(0x00FF00);
  RecordingDC dc;
  DrawPieceOutlineFitted(&dc, 0, 0, 9, 9, &piece, &brush);
  ASSERT_EQ(dc.calls().size(), 2u);
  // Scale 10, origin (0, -25): y 0 -> 2.5 -> 3, y 49 -> 7.4 -> 7.
  const std::vector<CPoint> path{{0, 3}, {10, 3}, {10, 7}, {0, 7}, {0, 3}};
  EXPECT_EQ(dc.calls()[0].op, DrawCall::Op::kPolygon);
  EXPECT_EQ(dc.calls()[0].points, path);
  EXPECT_EQ(dc.calls()[0].state.pen.style(), PS_NULL);
  EXPECT_EQ(dc.calls()[0].state.brush.color(), 0x00FF00u);
  EXPECT_EQ(dc.calls()[1].op, DrawCall::Op::kPolyline);
  EXPECT_EQ(dc.calls()[1].points, path);
  // Without a brush only the path.
  RecordingDC plain;
  DrawPieceOutlineFitted(&plain, 0, 0, 9, 9, &piece, nullptr);
  ASSERT_EQ(plain.calls().size(), 1u);
  EXPECT_EQ(plain.calls()[0].op, DrawCall::Op::kPolyline);
  // A piece without outline draws nothing.
  CPieceRecord empty;
  RecordingDC nothing;
  DrawPieceOutlineFitted(&nothing, 0, 0, 9, 9, &empty, &brush);
  EXPECT_TRUE(nothing.calls().empty());
}

TEST_F(MarkingTest, FittedPieceForOneSizeDrawsThatSizeAlone) {
  const COLORREF colours[] = {0x000011, 0x000022, 0x000033};
  for (int i = 0; i < 3; ++i) g_Style.AddSize(new CSizeRecord("S", i, 0, colours[i], 1));
  g_Style.SizeRing->Next->Next->Visible = 0;  // the third size is hidden
  g_PtnDisplayFlag = 0;
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  for (const CPoint p : {CPoint(0, 0), CPoint(400, 0), CPoint(400, 200), CPoint(0, 200)}) {
    outline->AddTailVertex(p.x, p.y, 0);
    for (int s = 1; s < 3; ++s) outline->AddTailVertex(p.x + 10 * s, p.y + 10 * s, 64);
  }
  outline->SmoothCurves();
  piece.AddItem(outline);
  piece.BoxMinX = 0;
  piece.BoxMaxX = 420;
  piece.BoxMinY = 0;
  piece.BoxMaxY = 220;
  RecordingDC dc;
  CSizeRecord* second = g_Style.SizeRing->Next;
  DrawPieceFittedForSize(&dc, 0, 0, 99, 99, &piece, second);
  ASSERT_FALSE(dc.calls().empty());
  for (const DrawCall& c : dc.calls()) {
    if (c.op == DrawCall::Op::kPolygon) {
      EXPECT_EQ(c.state.pen.color(), colours[1]);
    }
  }
  // Every visible flag is put back.
  EXPECT_EQ(g_Style.SizeRing->Visible, 1);
  EXPECT_EQ(second->Visible, 1);
  EXPECT_EQ(second->Next->Visible, 0);
}

}  // namespace
