// The quadrilateral frame: its dashed corners and the circle pairs on its
// diagonals, per size, and its extent over every stored position.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/frame_item.h"
#include "model/settings.h"
#include "platform/recording_dc.h"
#include "support/model_fixture.h"

namespace {

class FrameItemTest : public ModelTest {
 protected:
  // The square (0,0)-(1000,1000) with circles 200 units in from the ends of
  // the diagonal P0-P2 (radius 30) and 100 units in on P1-P3 (radius 10),
  // each group graded by AddGraded. `circleBits` are the notch bits of P5 and
  // P6; `groups` cuts or extends the seven groups.
  static void Build(CPieceItem29* frame, uint32_t circleBits = 0x100, int groups = 7) {
    const int points[][3] = {{0, 0, 0},     {1000, 0, 0},        {1000, 1000, 0},     {0, 1000, 0},
                             {5, 5, 0},     {200, 30, 1},        {100, 10, 1},        {7, 7, 0}};
    for (int i = 0; i < groups; ++i) {
      AddGraded(frame, points[i][0], points[i][1], points[i][2] ? circleBits : 0);
    }
  }

  static std::vector<std::string> FrameLines(const char* colour) {
    const std::string pen = std::string(" pen=dash/1/") + colour;
    return {"MoveTo (0,0)", "LineTo (0,0)-(500,0)" + pen, "LineTo (500,0)-(500,500)" + pen,
            "LineTo (500,500)-(0,500)" + pen, "LineTo (0,500)-(0,0)" + pen};
  }

  static std::vector<std::string> Circles(const char* colour) {
    const std::string tail = std::string(" pen=solid/1/") + colour + " brush=hollow";
    // P0-P2: centres (141,141) and (859,859), radius 15 pixels at 2 units
    // per pixel; P1-P3: (930,70) and (70,930), radius 5.
    return {"Ellipse (56,56,87,87)" + tail, "Ellipse (415,415,446,446)" + tail, "Ellipse (460,30,471,41)" + tail,
            "Ellipse (30,460,41,471)" + tail};
  }
};

TEST_F(FrameItemTest, DrawsTheDashedFrameThenTheCirclesOnBothDiagonals) {
  AddSizes(1);
  CPieceItem29 frame(nullptr, nullptr);
  Build(&frame);
  RecordingDC dc;
  frame.Draw(&dc, 2.0, 0, 0, nullptr);
  std::vector<std::string> expected = FrameLines("0x000010");
  for (const std::string& line : Circles("0x000010")) expected.push_back(line);
  EXPECT_EQ(dc.Lines(), expected);
  EXPECT_FALSE(dc.state().brush.hollow());  // the brush in force before is back

  dc.Clear();
  frame.DrawSelected(&dc, 2.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), expected);
}

TEST_F(FrameItemTest, WhatIsDrawnFollowsTheLineSwitchAndTheCircleBits) {
  AddSizes(1);
  struct Case {
    int drawLines;
    uint32_t circleBits;
    bool frameDrawn;
    bool circlesDrawn;
  };
  const Case kCases[] = {{1, 0x100, true, true}, {0, 0x100, false, true}, {1, 0x200, true, false},
                         {1, 0x000, true, false}, {0, 0x300, false, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.drawLines) + "/" + std::to_string(c.circleBits));
    g_DrawFlagLines = c.drawLines;
    CPieceItem29 frame(nullptr, nullptr);
    Build(&frame, c.circleBits);
    RecordingDC dc;
    frame.Draw(&dc, 2.0, 0, 0, nullptr);
    std::vector<std::string> expected;
    if (c.frameDrawn) expected = FrameLines("0x000010");
    if (c.circlesDrawn) {
      for (const std::string& line : Circles("0x000010")) expected.push_back(line);
    }
    EXPECT_EQ(dc.Lines(), expected);
  }
}

TEST_F(FrameItemTest, OnlyARingOfSevenPointsPerSizeIsDrawn) {
  AddSizes(2);
  for (int groups : {6, 8}) {
    SCOPED_TRACE(groups);
    CPieceItem29 frame(nullptr, nullptr);
    Build(&frame, 0x100, groups);
    RecordingDC dc;
    frame.Draw(&dc, 2.0, 0, 0, nullptr);
    EXPECT_TRUE(dc.calls().empty());
  }
}

TEST_F(FrameItemTest, EachVisibleSizeIsDrawnInItsColourLastSizeFirst) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  CPieceItem29 frame(nullptr, nullptr);
  Build(&frame);
  RecordingDC dc;
  frame.Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 18u);
  // Size 2 sits 20 units right and 200 down (AddGraded).
  EXPECT_EQ(dc.Lines()[0], "MoveTo (20,200)");
  EXPECT_EQ(dc.calls()[1].state.pen.color(), 0x30u);
  EXPECT_EQ(dc.calls()[5].state.pen.color(), 0x30u);
  EXPECT_EQ(dc.Lines()[9], "MoveTo (0,0)");
  EXPECT_EQ(dc.calls()[17].state.pen.color(), 0x10u);
}

TEST_F(FrameItemTest, ADiagonalOfNoLengthPutsBothCirclesOnItsPoint) {
  AddSizes(1);
  CPieceItem29 frame(nullptr, nullptr);
  for (int i = 0; i < 5; ++i) AddGraded(&frame, 50, 50, 0);
  AddGraded(&frame, 200, 10, 0x100);
  AddGraded(&frame, 200, 10, 0x100);
  g_DrawFlagLines = 0;
  RecordingDC dc;
  frame.Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 4u);
  for (const DrawCall& call : dc.calls()) EXPECT_EQ(call.rect, CRect(40, 40, 61, 61));
}

TEST_F(FrameItemTest, ExtentCoversEveryStoredPositionOfEverySize) {
  auto sizes = AddSizes(2);
  sizes[1]->Visible = 0;
  CPieceItem29 frame(nullptr, nullptr);
  Build(&frame);
  // Graded and parameter nodes take no part.
  frame.AddTailVertex(-500, -500, kVertexKindGraded);
  frame.AddTailVertex(5000, 5000, kVertexKindParameter);
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  frame.GetDrawExtent(sizes[0], &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, 0);
  EXPECT_EQ(maxX, 1010);  // size 1 of P1 and P2
  EXPECT_EQ(minY, 0);
  EXPECT_EQ(maxY, 1100);

  // An empty ring leaves the values alone.
  CPieceItem29 empty(nullptr, nullptr);
  empty.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(maxY, 1100);
}

}  // namespace

namespace {

TEST_F(FrameItemTest, ExtremeValuesDrawSafely) {
  AddSizes(2);
  CPieceItem29 frame(nullptr, nullptr);
  const auto add = [&](int32_t x, int32_t y, uint32_t flags) {
    frame.AddTailVertex(x, y, flags);
    frame.AddTailVertex(~x, ~y, 64);
  };
  for (int32_t v : {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, 0}) add(v, ~v, 0);
  add(INT32_MIN, INT32_MAX, 0x100);
  add(INT32_MAX, INT32_MIN, 0x100);
  for (double unitsPerPixel : {1.0, 1e-9, 0.0}) {
    RecordingDC dc;
    frame.Draw(&dc, unitsPerPixel, INT32_MAX, INT32_MIN, nullptr);
    EXPECT_FALSE(dc.calls().empty());
  }
}

}  // namespace
