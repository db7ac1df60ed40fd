// The per-size drawing frame of the items and the two shell drawings.
#include <gtest/gtest.h>

#include <string>

#include "model/items/all_items.h"
#include "model/shell_services.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class DrawingFrameTest : public ModelTest {};

// An outline drawn as one closed polygon per size, on the frame every item
// class follows.
class PolygonOutline : public CPieceItem0 {
 public:
  PolygonOutline() : CPieceItem0(nullptr, nullptr) {}
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) override {
    DrawEachSize(dc, PS_SOLID, false, [&](CDC* d, const CSizeRecord&, int size) {
      std::vector<CPoint> points = MainVertexPositions(size);
      for (CPoint& p : points) {
        p = CPoint(static_cast<int>((p.x - originX) / unitsPerPixel), static_cast<int>((p.y - originY) / unitsPerPixel));
      }
      d->Polygon(points.data(), static_cast<int>(points.size()));
    });
  }
};

TEST_F(DrawingFrameTest, SizesDrawFromTheLastToTheFirstInTheirColours) {
  AddSizes(3);
  PolygonOutline outline;
  AddGraded(&outline, 0, 0, 0);
  AddGraded(&outline, 40, 0, 0);
  AddGraded(&outline, 40, 40, 0);
  RecordingDC dc;
  outline.Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 3u);
  const COLORREF colours[] = {0x30, 0x20, 0x10};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const DrawCall& call = dc.calls()[i];
    EXPECT_EQ(call.op, DrawCall::Op::kPolygon);
    EXPECT_EQ(call.state.pen.style(), PS_SOLID);
    EXPECT_EQ(call.state.pen.width(), 1);
    EXPECT_EQ(call.state.pen.color(), colours[i]);
    const int size = 2 - i;
    EXPECT_EQ(call.points, (std::vector<CPoint>{{10 * size, 100 * size}, {40 + 10 * size, 100 * size},
                                                {40 + 10 * size, 40 + 100 * size}}));
  }
  // The pen in force before is selected back.
  EXPECT_EQ(dc.state().pen.color(), 0u);
}

TEST_F(DrawingFrameTest, HiddenSizesAreSkipped) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  PolygonOutline outline;
  AddGraded(&outline, 0, 0, 0);
  AddGraded(&outline, 40, 0, 0);
  AddGraded(&outline, 40, 40, 0);
  RecordingDC dc;
  outline.Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 2u);
  EXPECT_EQ(dc.calls()[0].state.pen.color(), 0x30u);
  EXPECT_EQ(dc.calls()[1].state.pen.color(), 0x10u);
}

TEST_F(DrawingFrameTest, FilledItemsGetABrushOfTheSizeColour) {
  AddSizes(2);
  RecordingDC dc;
  std::vector<std::string> seen;
  CPieceItem::DrawEachSize(&dc, PS_DASH, true, [&](CDC* d, const CSizeRecord& size, int index) {
    EXPECT_EQ(d->state().brush.color(), size.Color);
    EXPECT_FALSE(d->state().brush.hollow());
    EXPECT_EQ(d->state().pen.style(), PS_DASH);
    seen.push_back(size.Name.str() + "#" + std::to_string(index));
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"S1#1", "S0#0"}));
  EXPECT_EQ(dc.state().brush.color(), 0xFFFFFFu);
}

TEST_F(DrawingFrameTest, PointNumberIsRedTextTopLeft) {
  RecordingDC dc;
  DrawPointNumber(&dc, 5, 6, 0x0000FF, 0);
  DrawPointNumber(&dc, 5, 6, 0x0000FF, -3);
  EXPECT_TRUE(dc.calls().empty());
  DrawPointNumber(&dc, 5, 6, 0x0000FF, 12);
  ASSERT_EQ(dc.calls().size(), 1u);
  const DrawCall& call = dc.calls()[0];
  EXPECT_EQ(call.op, DrawCall::Op::kTextOut);
  EXPECT_EQ(call.text, "12");
  EXPECT_EQ(call.points, (std::vector<CPoint>{{5, 6}}));
  EXPECT_EQ(call.state.text_color, 0x0000FFu);
  EXPECT_EQ(call.state.text_align, 0u);
  EXPECT_EQ(call.state.font.logfont().lfHeight, -14);
  EXPECT_EQ(call.state.font.logfont().lfWidth, 0);
  // The state is as before.
  EXPECT_EQ(dc.state().text_color, 0u);
  EXPECT_NE(dc.state().font.logfont().lfHeight, -14);
}

TEST_F(DrawingFrameTest, SelectionFrameDashesOutsideTheBox) {
  FakeShell shell;
  shell.scale = 2.0;
  CPieceRecord piece;
  piece.BoxMinX = 20;
  piece.BoxMinY = 20;
  piece.BoxMaxX = 20;  // one pixel wide
  piece.BoxMaxY = 40;
  piece.OriginX = 0;
  piece.OriginY = 0;
  RecordingDC dc;
  DrawPieceSelectionFrame(&dc, &piece);
  // Box (10,10)-(10,20) on the device; frame (4,4)-(16,26).
  std::vector<CPoint> top, right;
  for (const DrawCall& call : dc.calls()) {
    ASSERT_EQ(call.op, DrawCall::Op::kSetPixel);
    EXPECT_EQ(call.color, 0xFFFFFFu);
    EXPECT_EQ(call.state.rop2, R2_XORPEN);
    if (call.points[0].y == 4) top.push_back(call.points[0]);
    if (call.points[0].x == 16) right.push_back(call.points[0]);
  }
  EXPECT_EQ(top.front(), CPoint(4, 4));
  std::vector<int> topX;
  for (const CPoint& p : top) topX.push_back(p.x);
  // The top side ends on the corner that the right side starts on: where
  // both dashes are on, the corner is inverted twice, as on the original
  // screen.
  EXPECT_EQ(topX, (std::vector<int>{4, 5, 6, 10, 11, 12, 16, 16}));
  EXPECT_EQ(dc.state().rop2, R2_COPYPEN);
  // 13 pixels a horizontal side, 23 a vertical one: 7 + 12 + 7 + 12 set.
  EXPECT_EQ(dc.calls().size(), 38u);
}

TEST_F(DrawingFrameTest, SelectionFrameOfAnEmptyOrHugeBoxEnds) {
  RecordingDC dc;
  CPieceRecord piece;  // empty-box markers
  DrawPieceSelectionFrame(&dc, &piece);
  EXPECT_TRUE(dc.calls().empty()) << "no work window: nothing";
  FakeShell shell;
  DrawPieceSelectionFrame(&dc, nullptr);
  DrawPieceSelectionFrame(&dc, &piece);
  EXPECT_TRUE(dc.calls().empty()) << "an inside-out box walks nothing";
  piece.BoxMinX = piece.BoxMinY = -2000000000;
  piece.BoxMaxX = piece.BoxMaxY = 2000000000;
  piece.OriginX = piece.OriginY = 0;
  shell.scale = 0.01;
  DrawPieceSelectionFrame(&dc, &piece);
  EXPECT_TRUE(dc.calls().empty()) << "every side lies beyond any device";
}

}  // namespace
