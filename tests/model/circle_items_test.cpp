// Circle items (types 10 and 16): hollow circles per size, their extents, and
// the single-circle drawing of type 16.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "model/items/circle_items.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "support/model_fixture.h"

std::string StrokeText(const RecordingDC& dc);  // marker_items_test.cpp

namespace {

class CircleItemsTest : public ModelTest {
 protected:
  // A circle: its centre graded (size s at x + 10 s, y + 100 s) and its
  // radius graded (size s: radius + 10 s).
  static void AddCircle(CPieceItem* item, int32_t x, int32_t y, int32_t radius) {
    AddGraded(item, x, y, 0);
    AddGraded(item, radius, 0, kVertexKindGraded);
  }
};

TEST_F(CircleItemsTest, DottedOrSolidHollowCirclesPerVisibleSizeLastFirst) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  struct Case {
    int type;
    int penStyle;
  };
  const Case kCases[] = {{10, PS_DOT}, {16, PS_SOLID}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.type);
    CPieceItem10 dotted(nullptr, nullptr);
    CPieceItem16 solid(nullptr, nullptr);
    CPieceItem* item = c.type == 10 ? static_cast<CPieceItem*>(&dotted) : &solid;
    AddCircle(item, 100, 100, 20);
    AddCircle(item, 400, 0, 5);
    RecordingDC dc;
    CBrush grey(0x808080);
    dc.SelectObject(&grey);
    dc.SetBkColor(0x123456);
    item->Draw(&dc, 2.0, 0, 0, nullptr);
    // Size 2: centres (120,300) and (420,200), radii 40 and 25 (12.5 pixels
    // round up); then size 0.
    EXPECT_EQ(StrokeText(dc), "E40,130,81,171 E197,87,224,114 E40,40,61,61 E197,-3,204,4");
    ASSERT_EQ(dc.calls().size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
      const DrawCall& call = dc.calls()[i];
      EXPECT_EQ(call.state.pen.style(), c.penStyle);
      EXPECT_EQ(call.state.pen.color(), i < 2 ? 0x30u : 0x10u);
      EXPECT_TRUE(call.state.brush.hollow());
      EXPECT_EQ(call.state.bk_color, 0xFFFFFFu);
    }
    // The brush and background colour in force before are back.
    EXPECT_EQ(dc.state().brush.color(), 0x808080u);
    EXPECT_FALSE(dc.state().brush.hollow());
    EXPECT_EQ(dc.GetBkColor(), 0x123456u);
    // Shown selected, a circle looks the same.
    RecordingDC selected;
    selected.SelectObject(&grey);
    selected.SetBkColor(0x123456);
    item->DrawSelected(&selected, 2.0, 0, 0, nullptr);
    EXPECT_EQ(selected.Lines(), dc.Lines());
  }
}

TEST_F(CircleItemsTest, TinyCirclesAreOnePixelBoxesAndHiddenSizesDrawNothing) {
  auto sizes = AddSizes(1);
  CPieceItem10 item(nullptr, nullptr);
  AddCircle(&item, 100, 100, 1);
  RecordingDC dc;
  item.Draw(&dc, 4.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "E25,25,26,26");
  sizes[0]->Visible = 0;
  dc.Clear();
  item.Draw(&dc, 4.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(CircleItemsTest, IncompleteRingsDrawOnlyWholeCircles) {
  AddSizes(2);
  CPieceItem16 item(nullptr, nullptr);
  AddCircle(&item, 0, 0, 10);
  AddGraded(&item, 500, 500, 0);  // a centre without its radius
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "E-10,80,31,121 E-10,-10,11,11");
  CPieceItem10 empty(nullptr, nullptr);
  dc.Clear();
  empty.Draw(&dc, 1.0, 0, 0, nullptr);
  empty.Draw(nullptr, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  // A radius beyond the device and no scale give clamped boxes.
  CPieceItem10 huge(nullptr, nullptr);
  AddCircle(&huge, INT_MAX - 20, INT_MIN + 20, INT_MAX - 20);
  huge.Draw(&dc, 0.0, 0, 0, nullptr);
  huge.Draw(&dc, 1.0, INT_MIN, INT_MAX, nullptr);
  EXPECT_EQ(dc.calls().size(), 4u);
}

TEST_F(CircleItemsTest, ExtentsAreTheSquaresAroundTheCountedSizes) {
  auto sizes = AddSizes(3);
  sizes[0]->Visible = 0;
  CPieceItem10 dotted(nullptr, nullptr);
  CPieceItem16 solid(nullptr, nullptr);
  for (CPieceItem* item : {static_cast<CPieceItem*>(&dotted), static_cast<CPieceItem*>(&solid)}) {
    SCOPED_TRACE(item->Type);
    // Centres (0,0) (10,100) (20,200), radii 5, 15, 25.
    AddCircle(item, 0, 0, 5);
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    // The first size counts with `all` 0 though it is hidden.
    item->GetExtent(0, &minX, &maxX, &minY, &maxY);
    EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({-5, 5, -5, 5}));
    item->GetExtent(1, &minX, &maxX, &minY, &maxY);
    EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({-5, 45, 85, 225}));
    // Leaving out size 1 counts the hidden first size.
    item->GetDrawExtent(sizes[1], &minX, &maxX, &minY, &maxY);
    EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({-5, 45, -5, 225}));
    sizes[1]->Visible = sizes[2]->Visible = 0;
    item->GetExtent(1, &minX, &maxX, &minY, &maxY);
    EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({INT_MAX, INT_MIN, INT_MAX, INT_MIN}));
    sizes[1]->Visible = sizes[2]->Visible = 1;
  }
}

TEST_F(CircleItemsTest, ExtentOfOneSizeLeftOutAndOfDamagedRings) {
  auto sizes = AddSizes(1);
  CPieceItem16 item(nullptr, nullptr);
  AddCircle(&item, 0, 0, 5);
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  item.GetDrawExtent(sizes[0], &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({INT_MAX, INT_MIN, INT_MAX, INT_MIN}));

  ClearStyle();
  AddSizes(3);
  // A centre group short of size 2, and a radius held once for every size.
  CPieceItem10 damaged(nullptr, nullptr);
  damaged.AddTailVertex(0, 0, 0);
  damaged.AddTailVertex(10, 100, 64);
  damaged.AddTailVertex(7, 0, kVertexKindMovedSingle);
  damaged.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({-7, 17, -7, 107}));
  // Parameter nodes only: no circle.
  CPieceItem10 noCircle(nullptr, nullptr);
  noCircle.AddTailVertex(5, 5, kVertexKindParameter);
  noCircle.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, INT_MAX);
  RecordingDC dc;
  noCircle.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(CircleItemsTest, OneCircleDrawnStraightFromTheRing) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  CPieceItem16 item(nullptr, nullptr);
  AddCircle(&item, 100, 100, 20);
  AddCircle(&item, 400, 0, 5);
  CVertexNode* second = item.NextMainVertex(item.VertexHead);
  RecordingDC dc;
  item.DrawCircle(&dc, 1.0, 0, 0, second);
  // Size 2: centre (420,200), radius 25; size 0: (400,0), radius 5.
  EXPECT_EQ(StrokeText(dc), "E395,175,446,226 E395,-5,406,6");
  EXPECT_EQ(dc.calls()[0].state.pen.color(), 0x30u);
  EXPECT_EQ(dc.calls()[0].state.pen.style(), PS_SOLID);
  EXPECT_TRUE(dc.calls()[0].state.brush.hollow());
  EXPECT_FALSE(dc.state().brush.hollow());
  dc.Clear();
  item.DrawCircle(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
}

}  // namespace
