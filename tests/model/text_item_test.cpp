// The text item: one drawing for every size, its colour, its screen font
// height, the line-by-line layout of a text of several lines in its turned
// box, and its extent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/text_item.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class TextItemTest : public ModelTest {
 protected:
  // A text at (x, y) with a font `height` units high at `angle` tenths of a
  // degree.
  static void Place(CPieceItem11* item, int x, int y, const char* text, int height, int angle) {
    item->AnchorX = x;
    item->AnchorY = y;
    item->SetText(text);
    item->Font.lfHeight = height;
    item->Font.lfEscapement = angle;
  }
};

TEST_F(TextItemTest, OneLineIsWrittenOnceAtItsAnchorAndTheDeviceIsRestored) {
  AddSizes(3);
  CPieceItem11 text(nullptr, nullptr);
  Place(&text, 300, 500, "AB", -40, 0);
  RecordingDC dc;
  const int fontBefore = dc.state().font.logfont().lfHeight;
  text.Draw(&dc, 2.0, 100, 100, nullptr);
  EXPECT_EQ(dc.Lines(), (std::vector<std::string>{
                            "TextOut (100,200) \"AB\" font=-20/0 color=0x000010 bk=transparent align=0"}));
  EXPECT_EQ(dc.state().bk_mode, OPAQUE);
  EXPECT_EQ(dc.state().font.logfont().lfHeight, fontBefore);

  // Selected, it looks the same.
  dc.Clear();
  text.DrawSelected(&dc, 2.0, 100, 100, nullptr);
  EXPECT_EQ(dc.calls().size(), 1u);
}

TEST_F(TextItemTest, ColourIsTheOnlyVisibleSizesElseTheFirstSizes) {
  auto sizes = AddSizes(3);
  struct Case {
    std::vector<int> visible;
    COLORREF colour;
  };
  const Case kCases[] = {
      {{1, 1, 1}, 0x10}, {{0, 1, 0}, 0x20}, {{0, 0, 1}, 0x30}, {{0, 1, 1}, 0x10}, {{0, 0, 0}, 0x10},
  };
  CPieceItem11 text(nullptr, nullptr);
  Place(&text, 0, 0, "A", 10, 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.visible));
    for (int i = 0; i < 3; ++i) sizes[i]->Visible = c.visible[i];
    RecordingDC dc;
    text.Draw(&dc, 1.0, 0, 0, nullptr);
    ASSERT_EQ(dc.calls().size(), 1u);
    EXPECT_EQ(dc.calls()[0].state.text_color, c.colour);
  }
}

TEST_F(TextItemTest, ScreenHeightIsAtLeastOnePixelAndAtMost32000) {
  struct Case {
    int height;
    double unitsPerPixel;
    int pixels;
  };
  const Case kCases[] = {
      {-40, 1.0, -40},      {-45, 2.0, -23},         {-40, 80.0, -1}, {10, 100.0, 1},
      {0, 1.0, 1},          {0, 0.0, 1},             {100000, 1.0, 32000}, {-100000, 1.0, -32000},
      {-40, 0.0, -32000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.height) + " at " + std::to_string(c.unitsPerPixel));
    CPieceItem11 text(nullptr, nullptr);
    text.Font.lfHeight = c.height;
    EXPECT_EQ(text.ScreenFont(c.unitsPerPixel).lfHeight, c.pixels);
  }
}

TEST_F(TextItemTest, SeveralLinesGoDownTheLeftEdgeOfTheBox) {
  AddSizes(1);
  CPieceItem11 text(nullptr, nullptr);
  // Fixed metrics: a byte is 10 pixels wide and a line 20 high, so the box
  // is 30 x 40 inside its one-pixel margin.
  Place(&text, 100, 200, "AB\nCDE", 20, 0);
  RecordingDC dc;
  CPoint corners[4];
  text.GetTextBox(&dc, 1.0, 0, 0, 1, corners);
  EXPECT_EQ(corners[0], CPoint(99, 199));
  EXPECT_EQ(corners[1], CPoint(131, 199));
  EXPECT_EQ(corners[2], CPoint(131, 241));
  EXPECT_EQ(corners[3], CPoint(99, 241));

  text.Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 2u);
  EXPECT_EQ(dc.calls()[0].points[0], CPoint(99, 199));
  EXPECT_EQ(dc.calls()[0].text.str(), "AB");
  EXPECT_EQ(dc.calls()[1].points[0], CPoint(99, 220));
  EXPECT_EQ(dc.calls()[1].text.str(), "CDE");
}

TEST_F(TextItemTest, TurnedTextsTurnTheirBoxAndTheirLines) {
  AddSizes(1);
  struct Case {
    int angle;
    CPoint corners[4];
    std::vector<CPoint> lines;
  };
  // Anchor (100, 200), three lines, the longest of 4 bytes: a box of 40 x 60
  // pixels with a one-pixel margin. Angles count counter-clockwise on the
  // screen (y down), so a quarter turn sends the text's width upwards.
  const Case kCases[] = {
      {0, {{99, 199}, {141, 199}, {141, 261}, {99, 261}}, {{99, 199}, {99, 219}, {99, 240}}},
      {900, {{99, 201}, {99, 159}, {161, 159}, {161, 201}}, {{99, 201}, {119, 201}, {140, 201}}},
      {1800, {{101, 201}, {59, 201}, {59, 139}, {101, 139}}, {{101, 201}, {101, 180}, {101, 159}}},
      {2700, {{101, 199}, {101, 241}, {39, 241}, {39, 199}}, {{101, 199}, {80, 199}, {59, 199}}},
      {450, {{99, 200}, {128, 170}, {172, 214}, {142, 244}}, {{99, 200}, {113, 214}, {127, 229}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.angle);
    CPieceItem11 text(nullptr, nullptr);
    Place(&text, 100, 200, "AB\nCDEF\nG", 20, c.angle);
    RecordingDC dc;
    CPoint corners[4];
    text.GetTextBox(&dc, 1.0, 0, 0, 1, corners);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(corners[i], c.corners[i]) << "corner " << i;
    text.Draw(&dc, 1.0, 0, 0, nullptr);
    ASSERT_EQ(dc.calls().size(), 3u);
    const char* lines[] = {"AB", "CDEF", "G"};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(dc.calls()[i].points[0], c.lines[i]) << "line " << i;
      EXPECT_EQ(dc.calls()[i].text.str(), lines[i]);
      EXPECT_EQ(dc.calls()[i].state.font.logfont().lfEscapement, c.angle);
    }
  }
}

TEST_F(TextItemTest, ExtentIsTheTurnedBoxAtOneUnitPerPixel) {
  AddSizes(2);
  CPieceItem11 text(nullptr, nullptr);
  Place(&text, 100, 200, "AB\nCDE", 20, 900);
  struct Bounds {
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
  };
  const auto extent = [&](bool draw) {
    Bounds b;
    if (draw) {
      text.GetDrawExtent(nullptr, &b.minX, &b.maxX, &b.minY, &b.maxY);
    } else {
      text.GetExtent(1, &b.minX, &b.maxX, &b.minY, &b.maxY);
    }
    return b;
  };
  {
    // Measured on the work window's device context.
    FakeShell shell;
    for (bool draw : {false, true}) {
      const Bounds b = extent(draw);
      EXPECT_EQ(b.minX, 99);
      EXPECT_EQ(b.maxX, 141);
      EXPECT_EQ(b.minY, 169);
      EXPECT_EQ(b.maxY, 201);
    }
    EXPECT_TRUE(shell.dc.calls().empty());
  }
  // Without windows the fixed metrics measure it the same way.
  const Bounds b = extent(false);
  EXPECT_EQ(b.minX, 99);
  EXPECT_EQ(b.maxY, 201);
}

TEST_F(TextItemTest, HasNoVerticesToFindOrRemove) {
  AddSizes(1);
  CPieceItem11 text(nullptr, nullptr);
  CVertexNode* node = text.AddTailVertex(5, 5, 0);
  EXPECT_EQ(text.FindVertex(5, 5), nullptr);
  EXPECT_EQ(text.NextMainVertex(node), nullptr);
  EXPECT_EQ(text.RemoveVertex(node), nullptr);
  EXPECT_EQ(text.VertexCount, 1);
}

}  // namespace

namespace {

TEST_F(TextItemTest, ExtremeValuesDrawAndMeasureSafely) {
  AddSizes(1);
  CPieceItem11 text(nullptr, nullptr);
  Place(&text, INT32_MIN, INT32_MAX, "A\nBB\n\n", INT32_MIN, INT32_MAX);
  for (double unitsPerPixel : {1.0, 1e-9, 0.0}) {
    RecordingDC dc;
    text.Draw(&dc, unitsPerPixel, INT32_MAX, INT32_MIN, nullptr);
    EXPECT_EQ(dc.calls().size(), 4u);
  }
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  text.GetExtent(0, &minX, &maxX, &minY, &maxY);
  EXPECT_LE(minX, maxX);
}

}  // namespace
