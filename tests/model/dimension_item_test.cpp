// The dimension: its extension lines, dimension line and arrow heads, its
// text placed along the line or turned along an extension line, and the
// lengths it measures on its piece.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/dimension_item.h"
#include "model/items/internal_line_items.h"
#include "model/items/outline_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "platform/recording_dc.h"
#include "support/model_fixture.h"

namespace {

class DimensionTest : public ModelTest {
 protected:
  // A dimension of `kind` measuring A to B with its line from C to D.
  static CPieceItem28* Make(int32_t kind, CPoint a, CPoint b, CPoint c, CPoint d) {
    auto* item = new CPieceItem28(nullptr, nullptr);
    item->Kind = kind;
    for (CPoint p : {a, b, c, d}) item->AddTailVertex(p.x, p.y, 0);
    return item;
  }

  // Appends a main vertex held at (x, y) in size 0 and at `scale` times
  // that in every further size.
  static void AddScaled(CPieceItem* item, int32_t x, int32_t y, int scale) {
    item->AddTailVertex(x, y, 0);
    for (int s = 1; s < g_Style.SizeCount; ++s) item->AddTailVertex(x * scale, y * scale, 64);
  }

  // An outline: the square (0,0)-(1000,1000) in size 0, twice that in size 1.
  static CPieceItem0* Square() {
    auto* outline = new CPieceItem0(nullptr, nullptr);
    for (CPoint p : {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(0, 1000)}) {
      AddScaled(outline, p.x, p.y, 2);
    }
    outline->SmoothCurves();
    return outline;
  }
};

TEST_F(DimensionTest, StraightDimensionDrawsExtensionLinesArrowsAndItsMeasuredLength) {
  AddSizes(1);
  g_DefaultFont.lfHeight = -10;  // fixed metrics: 5 pixels a byte, 10 a line
  std::unique_ptr<CPieceItem28> dim(Make(kDimensionStraight, {0, 0}, {60, 0}, {0, -30}, {60, -30}));
  dim->Text = "1.5";
  RecordingDC dc;
  dc.SetBkMode(TRANSPARENT);
  dim->Draw(&dc, 1.0, 0, 0, nullptr);
  const std::string ext = " pen=solid/1/0xC0C0FF";
  const std::string line = " pen=solid/1/0xC0C0C0";
  // The dimension line stops 8 pixels short of C and D; each arrow's two
  // strokes lean towards points 9 pixels either side of the far end. The
  // text is centred on the line.
  EXPECT_EQ(dc.Lines(), (std::vector<std::string>{
                            "MoveTo (0,0)", "LineTo (0,0)-(0,-30)" + ext,
                            "MoveTo (60,0)", "LineTo (60,0)-(60,-30)" + ext,
                            "MoveTo (0,-22)", "LineTo (0,-22)-(60,-22)" + line,
                            "MoveTo (0,-22)", "LineTo (0,-22)-(8,-21)" + line,
                            "MoveTo (0,-22)", "LineTo (0,-22)-(8,-23)" + line,
                            "MoveTo (60,-22)", "LineTo (60,-22)-(52,-21)" + line,
                            "MoveTo (60,-22)", "LineTo (60,-22)-(52,-23)" + line,
                            "TextOut (23,-27) \"1.5\" font=-10/0 color=0x8080FF bk=0xFFFFFF align=0",
                        }));
  // Everything is put back.
  EXPECT_EQ(dc.state().bk_mode, TRANSPARENT);
  EXPECT_EQ(dc.state().pen.color(), 0u);
  EXPECT_EQ(dc.state().text_color, 0u);

  // Selected, it looks the same.
  RecordingDC selected;
  selected.SetBkMode(TRANSPARENT);
  dim->DrawSelected(&selected, 1.0, 0, 0, nullptr);
  EXPECT_EQ(selected.Lines(), dc.Lines());
}

TEST_F(DimensionTest, TextSitsCentredOnTheLineOnEitherSideAndFollowsItsAngle) {
  AddSizes(1);
  g_DefaultFont.lfHeight = -10;
  struct Case {
    const char* name;
    CPoint a, b, c, d;
    CPoint at;
    int angle;
  };
  // Text "T": 5 x 10 pixels.
  const Case kCases[] = {
      {"above", {0, 0}, {60, 0}, {0, -30}, {60, -30}, {28, -27}, 0},
      {"below", {0, 0}, {60, 0}, {0, 30}, {60, 30}, {28, 17}, 0},
      {"slanted", {0, 0}, {300, 400}, {-160, 120}, {140, 520}, {-1, 311}, -531},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CPieceItem28> dim(Make(kDimensionStraight, c.a, c.b, c.c, c.d));
    dim->Text = "T";
    RecordingDC dc;
    dim->Draw(&dc, 1.0, 0, 0, nullptr);
    const DrawCall& text = dc.calls().back();
    ASSERT_EQ(text.op, DrawCall::Op::kTextOut);
    EXPECT_EQ(text.points[0], c.at);
    EXPECT_EQ(text.state.font.logfont().lfEscapement, c.angle);
    EXPECT_EQ(text.state.font.logfont().lfOrientation, c.angle);
  }
}

TEST_F(DimensionTest, ATextTooLongForItsLineTurnsAlongTheExtensionLine) {
  AddSizes(1);
  std::unique_ptr<CPieceItem28> dim(Make(kDimensionAcross, {0, 0}, {100, 0}, {0, -200}, {100, -200}));
  dim->Text = "ABCDEFGHIJ";  // 200 x 40 pixels in the default font
  RecordingDC dc;
  dim->Draw(&dc, 1.0, 0, 0, nullptr);
  // A quarter turn, truncated with the program's value of pi; the text runs
  // up the middle of the dimension line.
  EXPECT_EQ(dc.Lines().back(), "TextOut (30,-92) \"ABCDEFGHIJ\" font=-40/899 color=0x8080FF bk=0xFFFFFF align=0");
}

TEST_F(DimensionTest, PrintingDrawsInGreyAndBlackWithTheTextAtItsPrintedSize) {
  AddSizes(1);
  std::unique_ptr<CPieceItem28> dim(Make(kDimensionStraight, {0, 0}, {600, 0}, {0, -300}, {600, -300}));
  dim->Text = "15";
  RecordingDC dc;
  dc.SetPrinting(true);
  dim->Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 15u);
  EXPECT_EQ(dc.calls()[1].state.pen.color(), 0xC0C0C0u);
  EXPECT_EQ(dc.calls()[5].state.pen.color(), 0x000000u);
  const DrawCall& text = dc.calls().back();
  EXPECT_EQ(text.state.text_color, 0x000000u);
  // 40 units of 1/40 mm at 96 dots an inch: 3.78 dots, up to 4.
  EXPECT_EQ(text.state.font.logfont().lfHeight, -4);
  EXPECT_EQ(text.text.str(), "15");
}

TEST_F(DimensionTest, NothingIsDrawnWhenSwitchedOffOrEmpty) {
  AddSizes(1);
  std::unique_ptr<CPieceItem28> dim(Make(kDimensionStraight, {0, 0}, {600, 0}, {0, -300}, {600, -300}));
  g_DrawFlagType28 = 0;
  RecordingDC dc;
  dim->Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());

  g_DrawFlagType28 = 1;
  CPieceItem28 empty(nullptr, nullptr);
  empty.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  EXPECT_EQ(empty.Measure(0, nullptr), 0);
}

TEST_F(DimensionTest, ExtensionLinesOfNoLengthLeaveTheLineEndsInPlace) {
  AddSizes(1);
  std::unique_ptr<CPieceItem28> dim(Make(kDimensionStraight, {0, 0}, {600, 0}, {0, 0}, {600, 0}));
  RecordingDC dc;
  dim->Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_GE(dc.calls().size(), 6u);
  EXPECT_EQ(dc.Lines()[5], "LineTo (0,0)-(600,0) pen=solid/1/0xC0C0C0");
}

TEST_F(DimensionTest, MeasuresThePiecesPointsInTheSizeAsked) {
  AddSizes(2);
  CPieceRecord piece;
  auto* outline = new CPieceItem0(nullptr, nullptr);
  AddScaled(outline, 0, 0, 1);
  AddScaled(outline, 5000, 5000, 1);
  piece.AddItem(outline);
  auto* internal = new CPieceItem9(nullptr, nullptr);
  AddScaled(internal, 300, 400, 2);  // size 1 at (600, 800)
  piece.AddItem(internal);
  struct Case {
    int32_t kind;
    int sizeIndex;
    int32_t length;
  };
  const Case kCases[] = {
      {kDimensionAcross, 0, 300},        {kDimensionDown, 0, 400},       {kDimensionStraight, 0, 500},
      {kDimensionAcross, 1, 600},        {kDimensionDown, 1, 800},       {kDimensionStraight, 1, 1000},
      {0x101, 1, 600},                   {0x103, 1, 1000},               {kDimensionStraight, 7, 500},
      {kDimensionStraight, -1, 500},     {0, 0, 0},                      {5, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.kind) + " in size " + std::to_string(c.sizeIndex));
    std::unique_ptr<CPieceItem28> dim(Make(c.kind, {0, 0}, {300, 400}, {0, -100}, {300, 300}));
    dim->FirstItemType = 0;
    dim->SecondItemType = 9;
    EXPECT_EQ(dim->Measure(c.sizeIndex, &piece), c.length);
  }

  // Points the piece does not hold are the dimension's own.
  std::unique_ptr<CPieceItem28> dim(Make(kDimensionAcross, {0, 0}, {300, 400}, {0, -100}, {300, 300}));
  dim->SecondItemType = 8;
  EXPECT_EQ(dim->Measure(1, &piece), 300);
  EXPECT_EQ(dim->Measure(1, nullptr), 300);
}

TEST_F(DimensionTest, AlongALineMeasuresTheCurveOfTheItemHoldingBothPoints) {
  AddSizes(2);
  CPieceRecord piece;
  piece.AddItem(Square());
  std::unique_ptr<CPieceItem28> forward(Make(kDimensionAlongLine, {0, 0}, {1000, 1000}, {0, -200}, {1200, 1000}));
  EXPECT_EQ(forward->Measure(0, &piece), 2000);
  EXPECT_EQ(forward->Measure(1, &piece), 4000);
  // Along the ring's direction, from A round to B.
  std::unique_ptr<CPieceItem28> back(Make(0x104, {1000, 0}, {0, 0}, {0, -200}, {1200, 1000}));
  EXPECT_EQ(back->Measure(0, &piece), 3000);
  // No item of the first type holds both points.
  std::unique_ptr<CPieceItem28> off(Make(kDimensionAlongLine, {0, 0}, {500, 500}, {0, -200}, {1200, 1000}));
  EXPECT_EQ(off->Measure(0, &piece), 0);
  forward->FirstItemType = 8;
  EXPECT_EQ(forward->Measure(0, &piece), 0);
}

TEST_F(DimensionTest, AlongALineTheCurveIsCarriedToTheDimensionLine) {
  AddSizes(1);
  CPieceRecord piece;
  piece.AddItem(Square());
  std::unique_ptr<CPieceItem28> dim(Make(kDimensionAlongLine, {0, 0}, {1000, 1000}, {0, -200}, {1200, 1000}));
  dim->Text = "50";
  RecordingDC dc;
  dim->Draw(&dc, 1.0, 0, 0, &piece);
  const std::string line = " pen=solid/1/0xC0C0C0";
  EXPECT_EQ(dc.Lines(), (std::vector<std::string>{
                            "MoveTo (0,0)", "LineTo (0,0)-(0,-200) pen=solid/1/0xC0C0FF",
                            "MoveTo (1000,1000)", "LineTo (1000,1000)-(1200,1000) pen=solid/1/0xC0C0FF",
                            "Polyline (0,-192)-(1000,-192)-(1000,808)" + line,
                            "MoveTo (0,-192)", "LineTo (0,-192)-(8,-187)" + line,
                            "MoveTo (0,-192)", "LineTo (0,-192)-(8,-197)" + line,
                            "MoveTo (1192,1000)", "LineTo (1192,1000)-(1195,993)" + line,
                            "MoveTo (1192,1000)", "LineTo (1192,1000)-(1187,994)" + line,
                            "TextOut (582,370) \"50\" font=-40/-449 color=0x8080FF bk=0xFFFFFF align=0",
                        }));

  // Points that are not both on one line: extension lines and text only.
  std::unique_ptr<CPieceItem28> off(Make(kDimensionAlongLine, {0, 0}, {500, 500}, {0, -200}, {1200, 1000}));
  off->Text = "0";
  dc.Clear();
  off->Draw(&dc, 1.0, 0, 0, &piece);
  ASSERT_EQ(dc.calls().size(), 5u);
  EXPECT_EQ(dc.calls()[4].op, DrawCall::Op::kTextOut);
  EXPECT_EQ(dc.calls()[4].text.str(), "0");
}

TEST_F(DimensionTest, AStoredTextIsWrittenAsItsBytes) {
  AddSizes(1);
  std::unique_ptr<CPieceItem28> dim(Make(kDimensionStraight, {0, 0}, {600, 0}, {0, -300}, {600, -300}));
  dim->Text = "\xC7\xB0\xC6\xAC";  // GBK text, kept as read
  RecordingDC dc;
  dim->Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_FALSE(dc.calls().empty());
  EXPECT_EQ(dc.calls().back().op, DrawCall::Op::kTextOut);
  EXPECT_EQ(dc.calls().back().text.str(), "\xC7\xB0\xC6\xAC");
}

}  // namespace

namespace {

TEST_F(DimensionTest, ExtremeValuesDrawAndMeasureSafely) {
  AddSizes(2);
  CPieceRecord piece;
  piece.AddItem(Square());
  const int32_t lo = INT32_MIN;
  const int32_t hi = INT32_MAX;
  g_DefaultFont.lfHeight = INT32_MIN;
  for (int32_t kind : {kDimensionAcross, kDimensionDown, kDimensionStraight, kDimensionAlongLine}) {
    std::unique_ptr<CPieceItem28> dim(Make(kind, {lo, lo}, {hi, hi}, {lo, hi}, {hi, lo}));
    for (double unitsPerPixel : {1.0, 1e-9, 0.0}) {
      RecordingDC dc;
      dim->Draw(&dc, unitsPerPixel, hi, lo, &piece);
      EXPECT_FALSE(dc.calls().empty());
    }
    EXPECT_GE(dim->Measure(1, &piece), 0);
  }
  // A ring of fewer than four nodes reads round it.
  CPieceItem28 two(nullptr, nullptr);
  two.AddTailVertex(0, 0, 0);
  two.AddTailVertex(100, 0, 0);
  RecordingDC dc;
  two.Draw(&dc, 1.0, 0, 0, &piece);
  EXPECT_FALSE(dc.calls().empty());
}

}  // namespace
