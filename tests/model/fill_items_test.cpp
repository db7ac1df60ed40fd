// Straight-line items (types 5 and 17): one line per visible size, the
// selection square at the end point, and the derived line's display switch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/fill_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "support/model_fixture.h"

std::string StrokeText(const RecordingDC& dc);  // marker_items_test.cpp

namespace {

class FillItemsTest : public ModelTest {
 protected:
  // Start (0,0) and end (100,40), graded: size s moved by (10 s, 100 s).
  static void AddLine(CPieceItem* item) {
    AddGraded(item, 0, 0, 0);
    AddGraded(item, 100, 40, 0);
  }
};

TEST_F(FillItemsTest, TwoPointLinePerVisibleSizeAndItsSelectionSquare) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  CPieceItem5 item(nullptr, nullptr);
  AddLine(&item);
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "M20,200 L120,240 M0,0 L100,40");
  EXPECT_EQ(dc.calls()[1].state.pen.style(), PS_SOLID);
  EXPECT_EQ(dc.calls()[1].state.pen.color(), 0x30u);
  EXPECT_EQ(dc.calls()[3].state.pen.color(), 0x10u);
  EXPECT_EQ(dc.calls()[3].state.brush.color(), 0xFFFFFFu);  // the device's brush, untouched

  dc.Clear();
  item.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  // The square marks the end point only, filled in the size's colour.
  EXPECT_EQ(StrokeText(dc), "M20,200 L120,240 R118,238,123,243 M0,0 L100,40 R98,38,103,43");
  EXPECT_EQ(dc.calls()[2].state.brush.color(), 0x30u);
  EXPECT_FALSE(dc.calls()[2].state.brush.hollow());
  EXPECT_EQ(dc.calls()[5].state.brush.color(), 0x10u);
  EXPECT_EQ(dc.calls()[5].state.pen.color(), 0x10u);
  EXPECT_EQ(dc.state().brush.color(), 0xFFFFFFu);
}

TEST_F(FillItemsTest, DerivedLineIsDottedAndFollowsTheDisplaySwitchUnlessSelected) {
  AddSizes(2);
  CPieceItem17 item(nullptr, nullptr);
  AddLine(&item);
  RecordingDC dc;
  item.Draw(&dc, 2.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "M5,50 L55,70 M0,0 L50,20");
  EXPECT_EQ(dc.calls()[1].state.pen.style(), PS_DOT);
  EXPECT_EQ(dc.calls()[1].state.brush.color(), 0x20u);

  g_DrawFlagDerivedItems = 0;
  dc.Clear();
  item.Draw(&dc, 2.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  item.DrawSelected(&dc, 2.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "M5,50 L55,70 R53,68,58,73 M0,0 L50,20 R48,18,53,23");
  EXPECT_EQ(dc.calls()[5].state.pen.style(), PS_DOT);
}

TEST_F(FillItemsTest, OnlyExactlyTwoPointsDraw) {
  AddSizes(2);
  for (int points : {0, 1, 3}) {
    SCOPED_TRACE(points);
    CPieceItem5 line(nullptr, nullptr);
    CPieceItem17 derived(nullptr, nullptr);
    for (int i = 0; i < points; ++i) {
      AddGraded(&line, 10 * i, 0, 0);
      AddGraded(&derived, 10 * i, 0, 0);
    }
    RecordingDC dc;
    line.Draw(&dc, 1.0, 0, 0, nullptr);
    line.DrawSelected(&dc, 1.0, 0, 0, nullptr);
    derived.Draw(&dc, 1.0, 0, 0, nullptr);
    derived.DrawSelected(&dc, 1.0, 0, 0, nullptr);
    EXPECT_TRUE(dc.calls().empty());
  }
  // Two points held once draw in every size; a line of no length is a dot.
  CPieceItem5 single(nullptr, nullptr);
  single.AddTailVertex(7, 7, kVertexKindFixedSingle);
  single.AddTailVertex(7, 7, kVertexKindFixedSingle);
  RecordingDC dc;
  single.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "M7,7 L7,7 M7,7 L7,7");
}

TEST_F(FillItemsTest, ExtentsAreTheGradedPoints) {
  auto sizes = AddSizes(2);
  CPieceItem5 item(nullptr, nullptr);
  AddLine(&item);
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  item.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({0, 110, 0, 140}));
  item.GetDrawExtent(sizes[1], &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({0, 100, 0, 40}));
}

}  // namespace
