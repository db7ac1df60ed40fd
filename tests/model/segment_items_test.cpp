// Segment pairs (type 7) and dashed segments (type 20): what they draw on a
// recording device context, size by size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/segment_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "support/model_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class SegmentItemsTest : public ModelTest {
 protected:
  // A one-segment item (0,0)-(1000,0) in every size, so that the drawing
  // shows the same geometry once per size.
  template <typename Item>
  static void AddFlatSegment(Item* item, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    for (auto [x, y] : {std::pair{x0, y0}, std::pair{x1, y1}}) {
      item->AddTailVertex(x, y, 0);
      for (int s = 1; s < g_Style.SizeCount; ++s) item->AddTailVertex(x, y, kVertexKindCopy);
    }
  }
};

TEST_F(SegmentItemsTest, SegmentPairsDrawOneDashedLinePerVisibleSizeLastSizeFirst) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  CPieceItem7 item(nullptr, nullptr);
  AddGraded(&item, 0, 0, 0);
  AddGraded(&item, 40, 0, 0);
  RecordingDC dc;
  dc.SetBkColor(0x123456);
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), (Lines{
                            "MoveTo (20,200)",
                            "LineTo (20,200)-(60,200) pen=dash/1/0x000030",
                            "MoveTo (0,0)",
                            "LineTo (0,0)-(40,0) pen=dash/1/0x000010",
                        }));
  // Drawn on a white background; the caller's colour comes back afterwards.
  for (const DrawCall& call : dc.calls()) EXPECT_EQ(call.state.bk_color, 0xFFFFFFu);
  EXPECT_EQ(dc.GetBkColor(), 0x123456u);
}

TEST_F(SegmentItemsTest, AnOddLastPointPairsWithTheFirst) {
  AddSizes(1);
  CPieceItem7 item(nullptr, nullptr);
  item.AddTailVertex(0, 0, 0);
  item.AddTailVertex(100, 0, 0);
  item.AddTailVertex(100, 50, 0);
  RecordingDC dc;
  item.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), (Lines{
                            "MoveTo (0,0)",
                            "LineTo (0,0)-(100,0) pen=dash/1/0x000010",
                            "MoveTo (100,50)",
                            "LineTo (100,50)-(0,0) pen=dash/1/0x000010",
                        }));
}

TEST_F(SegmentItemsTest, WithLinesOffEachEndGetsAStubAndACrossbarSizedLikeANotch) {
  AddSizes(1);
  g_Style.SetScale(40);
  g_DrawFlagLines = 0;
  CPieceItem7 item(nullptr, nullptr);
  AddFlatSegment(&item, 0, 0, 1000, 0);
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  // Stub 5.0 mm = 200 units towards the other end, crossbar 3.5 mm = 140
  // units across its inner end, the crossbar's last pixel drawn.
  EXPECT_EQ(dc.Lines(), (Lines{
                            "MoveTo (0,0)",
                            "LineTo (0,0)-(200,0) pen=dash/1/0x000010",
                            "MoveTo (200,-70)",
                            "LineTo (200,-70)-(200,70) pen=dash/1/0x000010",
                            "LineTo (200,70)-(200,71) pen=dash/1/0x000010",
                            "MoveTo (1000,0)",
                            "LineTo (1000,0)-(800,0) pen=dash/1/0x000010",
                            "MoveTo (800,70)",
                            "LineTo (800,70)-(800,-70) pen=dash/1/0x000010",
                            "LineTo (800,-70)-(800,-69) pen=dash/1/0x000010",
                        }));
}

TEST_F(SegmentItemsTest, EndMarksGoToTheScreenAtTheViewScaleAndOrigin) {
  AddSizes(1);
  g_Style.SetScale(10);
  g_DrawFlagLines = 0;
  CPieceItem7 item(nullptr, nullptr);
  AddFlatSegment(&item, 100, 100, 100, 500);
  RecordingDC dc;
  item.Draw(&dc, 2.0, 100, 100, nullptr);
  // Stub 50 units, crossbar 35 (17.5 each side, rounded away from zero).
  ASSERT_EQ(dc.Lines().size(), 10u);
  EXPECT_EQ(dc.Lines()[1], "LineTo (0,0)-(0,25) pen=dash/1/0x000010");
  EXPECT_EQ(dc.Lines()[2], "MoveTo (9,25)");
  EXPECT_EQ(dc.Lines()[3], "LineTo (9,25)-(-9,25) pen=dash/1/0x000010");
}

TEST_F(SegmentItemsTest, ASegmentWithoutLengthDrawsNoEndMarks) {
  AddSizes(2);
  g_DrawFlagLines = 0;
  CPieceItem7 item(nullptr, nullptr);
  AddFlatSegment(&item, 300, 300, 300, 300);
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  // With lines on it is the bare (empty) line of each size.
  g_DrawFlagLines = 1;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.calls().size(), 4u);
}

TEST_F(SegmentItemsTest, EndMarksFarOffTheDeviceDrawWithoutOverflow) {
  AddSizes(1);
  g_DrawFlagLines = 0;
  constexpr int kMax = 0x7FFFFFFF;
  constexpr int kMin = -kMax - 1;
  CPieceItem7 item(nullptr, nullptr);
  AddFlatSegment(&item, kMin, kMin, kMax, kMax);
  AddFlatSegment(&item, kMax, kMax, kMax, kMax - 1);
  RecordingDC dc;
  for (double unitsPerPixel : {1.0, 0.001}) item.Draw(&dc, unitsPerPixel, kMin, kMax, nullptr);
  EXPECT_EQ(dc.calls().size(), 40u);  // two segments, two ends, five calls each, twice
}

TEST_F(SegmentItemsTest, EmptyItemsDrawNothingAndLeaveTheBackgroundAlone) {
  AddSizes(2);
  CPieceItem7 seven(nullptr, nullptr);
  CPieceItem20 twenty(nullptr, nullptr);
  RecordingDC dc;
  dc.SetBkColor(0x0000FF);
  seven.Draw(&dc, 1.0, 0, 0, nullptr);
  twenty.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  EXPECT_EQ(dc.GetBkColor(), 0x0000FFu);
}

TEST_F(SegmentItemsTest, DashedSegmentsDrawPairsAndLeaveAnUnpairedLastPoint) {
  AddSizes(2);
  CPieceItem20 item(nullptr, nullptr);
  AddGraded(&item, 0, 0, 0);
  AddGraded(&item, 40, 0, 0);
  AddGraded(&item, 0, 40, 0);
  AddGraded(&item, 40, 40, 0);
  AddGraded(&item, 99, 99, 0);
  RecordingDC dc;
  item.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), (Lines{
                            "MoveTo (10,100)",
                            "LineTo (10,100)-(50,100) pen=dash/1/0x000020",
                            "MoveTo (10,140)",
                            "LineTo (10,140)-(50,140) pen=dash/1/0x000020",
                            "MoveTo (0,0)",
                            "LineTo (0,0)-(40,0) pen=dash/1/0x000010",
                            "MoveTo (0,40)",
                            "LineTo (0,40)-(40,40) pen=dash/1/0x000010",
                        }));
  for (const DrawCall& call : dc.calls()) EXPECT_EQ(call.state.bk_color, 0xFFFFFFu);
}

TEST_F(SegmentItemsTest, DashedSegmentsTakeASingleNodeAsTheSamePointInEverySize) {
  AddSizes(2);
  CPieceItem20 item(nullptr, nullptr);
  AddGraded(&item, 0, 0, 0);
  item.AddTailVertex(500, 0, kVertexKindMovedSingle);
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), (Lines{
                            "MoveTo (10,100)",
                            "LineTo (10,100)-(500,0) pen=dash/1/0x000020",
                            "MoveTo (0,0)",
                            "LineTo (0,0)-(500,0) pen=dash/1/0x000010",
                        }));
}

TEST_F(SegmentItemsTest, DashedSegmentsAreHiddenWithTheDerivedItems) {
  AddSizes(2);
  g_DrawFlagDerivedItems = 0;
  CPieceItem20 item(nullptr, nullptr);
  AddGraded(&item, 0, 0, 0);
  AddGraded(&item, 40, 0, 0);
  RecordingDC dc;
  dc.SetBkColor(0x00FF00);
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  item.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  EXPECT_EQ(dc.GetBkColor(), 0x00FF00u);
}

}  // namespace
