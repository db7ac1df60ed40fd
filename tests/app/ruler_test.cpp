// The rulers beside the work window: tick intervals in the five unit modes,
// where ticks and numbers go, the reference point numbers count from, and the
// scales on which no ticks can be drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <QImage>

#include "app/ruler_bar.h"
#include "app/ruler_scale.h"
#include "app/work_window.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/qt/canvas_dc.h"
#include "platform/recording_dc.h"
#include "tests/support/clean_style.h"

namespace {

class RulerTest : public CleanStyleTest {};

struct Texts {
  std::vector<CPoint> at;
  std::vector<std::string> text;
};

Texts TextsOf(const RecordingDC& dc) {
  Texts t;
  for (const DrawCall& c : dc.calls()) {
    if (c.op != DrawCall::Op::kTextOut) continue;
    t.at.push_back(c.points.at(0));
    t.text.push_back(c.text.str());
  }
  return t;
}

// The ticks as (position along the ruler, length in pixels).
std::vector<std::pair<int, int>> TicksOf(const RecordingDC& dc, RulerOrientation o) {
  std::vector<std::pair<int, int>> ticks;
  for (const DrawCall& c : dc.calls()) {
    if (c.op != DrawCall::Op::kLineTo || c.state.pen.width() != 0) continue;
    const CPoint from = c.points.at(0);
    const CPoint to = c.points.at(1);
    if (o == RulerOrientation::kHorizontal) {
      ticks.push_back({from.x, from.y - to.y});
    } else {
      ticks.push_back({from.y, from.x - to.x});
    }
  }
  return ticks;
}

TEST_F(RulerTest, IntervalsAndNumbersInTheFiveUnitModes) {
  struct Case {
    int mode;
    double viewScale;
    double major;
    double minor;
    double middle;
    std::vector<int> numberX;  // the first three numbers' x, one scale unit apart
    const char* secondNumber;  // the number at the first major tick after 0
  };
  // At 40 model units per millimetre and one unit per pixel, 40 pixels cover
  // 1 mm.
  const Case cases[] = {
      {3, 1.0, 40.0, 4.0, 20.0, {2, 42, 82}, "1"},
      {2, 1.0, 40.0, 4.0, 20.0, {2, 42, 82}, "0.1"},
      {1, 1.0, 40.64, 4.064, 20.32, {2, 42, 83}, "0.04"},
      {4, 1.0, 53.33328, 5.333328, 26.66664, {2, 55, 108}, "0.04"},
      // Inches with fractions: a sixteenth of an inch in eighths.
      {0, 1.0, 63.5, 7.9375, 31.75, {2, 65, 129}, "3/50"},
      // Coarser zooms round to whole units, tens of units in cm.
      {3, 10.0, 400.0, 40.0, 200.0, {2, 42, 82}, "10"},
      {2, 20.0, 800.0, 80.0, 400.0, {2, 42, 82}, "2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + " scale " + std::to_string(c.viewScale));
    g_UnitMode = c.mode;
    RulerScale s;
    ASSERT_TRUE(ComputeRulerScale(c.viewScale, 40, c.mode, &s));
    EXPECT_NEAR(s.major, c.major, 1e-9);
    EXPECT_NEAR(s.minor, c.minor, 1e-9);
    EXPECT_NEAR(s.middle, c.middle, 1e-9);

    RecordingDC dc;
    RulerView view;
    view.scale = c.viewScale;
    DrawRuler(&dc, RulerOrientation::kHorizontal, 300, 20, s, view, RulerColors{}, kNoRulerMark, kNoRulerMark);
    const Texts t = TextsOf(dc);
    ASSERT_GE(t.at.size(), 4u);
    for (size_t i = 0; i < c.numberX.size(); ++i) {
      EXPECT_EQ(t.at[i], CPoint(c.numberX[i], 1));
    }
    EXPECT_EQ(t.text[0], "0");
    EXPECT_EQ(t.text[1], c.secondNumber);
    // Every major interval is split into minor ticks with a middle tick.
    const auto ticks = TicksOf(dc, RulerOrientation::kHorizontal);
    const int per_major = c.mode == 0 ? 8 : 10;
    ASSERT_GT(ticks.size(), static_cast<size_t>(per_major));
    EXPECT_EQ(ticks[0].second, 8);
    EXPECT_EQ(ticks[1].second, 3);
    EXPECT_EQ(ticks[per_major / 2].second, 5);
    EXPECT_EQ(ticks[per_major].second, 8);
  }
}

TEST_F(RulerTest, ScaleOfAnIdleViewAndUnknownMode) {
  RulerScale s;
  ASSERT_TRUE(ComputeRulerScale(0.0, 40, 3, &s));
  // 13.3333 units per pixel: 40 pixels are 13.3 mm, rounded up to 14 mm.
  EXPECT_DOUBLE_EQ(s.major, 14 * 40.0);
  RulerScale untouched;
  untouched.major = 123;
  EXPECT_FALSE(ComputeRulerScale(1.0, 40, 7, &untouched));
  EXPECT_EQ(untouched.major, 123);
  // Before any zoom: 1 cm, or an inch in eighths.
  EXPECT_DOUBLE_EQ(InitialRulerScale(40, 3, 100).major, 400.0);
  EXPECT_DOUBLE_EQ(InitialRulerScale(40, 0, 16).minor, 25.4 * 40 / 8);
  EXPECT_DOUBLE_EQ(InitialRulerScale(40, 0, 1).minor, 25.4 * 40 / 10);
}

TEST_F(RulerTest, TopRulerTicksNumbersAndSuffix) {
  RulerScale s;
  ASSERT_TRUE(ComputeRulerScale(1.0, 40, 3, &s));
  RecordingDC dc;
  RulerView view;
  view.scale = 1.0;
  // 175 pixels: the number at 160 would run into the unit suffix.
  DrawRuler(&dc, RulerOrientation::kHorizontal, 175, 20, s, view, RulerColors{}, kNoRulerMark, kNoRulerMark);
  const Texts t = TextsOf(dc);
  ASSERT_EQ(t.text.size(), 5u);
  EXPECT_EQ(t.text, (std::vector<std::string>{"0", "1", "2", "3", "mm"}));
  EXPECT_EQ(t.at[3], CPoint(122, 1));
  EXPECT_EQ(t.at[4], CPoint(175 - 10 - 1, 1));
  const auto ticks = TicksOf(dc, RulerOrientation::kHorizontal);
  ASSERT_EQ(ticks.size(), 44u);  // 0, 4, ... 172
  EXPECT_EQ(ticks[40], std::make_pair(160, 8));
  // Ticks stand on the inner border line.
  for (const DrawCall& c : dc.calls()) {
    if (c.op == DrawCall::Op::kLineTo && c.state.pen.width() == 0) {
      EXPECT_EQ(c.points[0].y, 18);
    }
  }
}

TEST_F(RulerTest, LeftRulerTicksStartBelowTheTopRuler) {
  RulerScale s;
  ASSERT_TRUE(ComputeRulerScale(2.0, 40, 3, &s));  // major 80 units = 40 pixels
  RecordingDC dc;
  RulerView view;
  view.scale = 2.0;
  view.originY = -40;  // work-area y 0 shows 20 pixels down the work window
  DrawRuler(&dc, RulerOrientation::kVertical, 20, 200, s, view, RulerColors{}, kNoRulerMark, kNoRulerMark);
  const Texts t = TextsOf(dc);
  ASSERT_GE(t.at.size(), 2u);
  // No suffix on the left ruler; the first number is that of the first
  // major tick in view: 0 at pixel 20, drawn at 20 + 19.
  EXPECT_EQ(t.text[0], "0");
  EXPECT_EQ(t.at[0], CPoint(1, 20 + 19));
  EXPECT_EQ(t.at[1], CPoint(1, 60 + 19));
  for (const DrawCall& c : dc.calls()) {
    if (c.op == DrawCall::Op::kTextOut) {
      EXPECT_EQ(c.state.font.logfont().lfEscapement, 900);
    }
  }
  const auto ticks = TicksOf(dc, RulerOrientation::kVertical);
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(ticks[0], std::make_pair(20, 5));  // y -40, half a major step, at pixel 0 + 20
}

TEST_F(RulerTest, NumbersCountFromTheReferencePoint) {
  RulerScale s;
  ASSERT_TRUE(ComputeRulerScale(1.0, 40, 3, &s));
  RecordingDC dc;
  RulerView view;
  view.scale = 1.0;
  view.refX = 13;
  DrawRuler(&dc, RulerOrientation::kHorizontal, 300, 20, s, view, RulerColors{}, kNoRulerMark, kNoRulerMark);
  const Texts t = TextsOf(dc);
  ASSERT_GE(t.text.size(), 2u);
  EXPECT_EQ(t.text[0], "0");
  EXPECT_EQ(t.at[0], CPoint(15, 1));
}

TEST_F(RulerTest, ARulerFollowsTheCurrentPiecesReferencePoint) {
  CWorkWindow view;
  view.resize(300, 200);
  CRulerBar ruler(RulerOrientation::kHorizontal, &view);
  view.Extent = CRect(100, 200, 900, 800);
  view.SetOriginX(50);
  view.SetOriginY(60);
  EXPECT_EQ(ruler.CurrentView().refX, 100);
  EXPECT_EQ(ruler.CurrentView().refY, 200);

  auto* piece = new CPieceRecord;
  piece->AuxX = 1000;
  piece->AuxY = 2000;
  piece->OriginX = 700;
  piece->OriginY = 1500;
  g_Style.AddWorkPiece(piece);
  g_Selection.SetCurrent(piece, nullptr, nullptr, nullptr);
  // Reference point - piece origin + view origin.
  EXPECT_EQ(ruler.CurrentView().refX, 1000 - 700 + 50);
  EXPECT_EQ(ruler.CurrentView().refY, 2000 - 1500 + 60);
  g_Selection.Reset();
  g_Style.RemoveWorkPiece(piece);
}

TEST_F(RulerTest, ScalesThatCannotBeDrawnGiveNoTicks) {
  struct Case {
    const char* name;
    double viewScale;
    int styleScale;
  };
  const Case cases[] = {
      {"negative view scale", -2.0, 40},
      {"zero style scale", 1.0, 0},
      {"not a number", std::nan(""), 40},
      {"infinite view scale", INFINITY, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RulerScale s;
    if (ComputeRulerScale(c.viewScale, c.styleScale, 3, &s)) {
      EXPECT_FALSE(RulerScaleIsDrawable(s));
    }
    RecordingDC dc;
    RulerView view;
    view.scale = c.viewScale;
    DrawRuler(&dc, RulerOrientation::kHorizontal, 300, 20, s, view, RulerColors{}, kNoRulerMark, kNoRulerMark);
    EXPECT_TRUE(TextsOf(dc).text.empty());
    EXPECT_TRUE(TicksOf(dc, RulerOrientation::kHorizontal).empty());
  }
}

TEST_F(RulerTest, CursorMarkDrawnTwiceLeavesTheRulerAsItWas) {
  QImage canvas(200, 20, QImage::Format_RGB32);
  canvas.fill(Qt::lightGray);
  const QImage before = canvas.copy();
  QtCanvasDC dc(canvas);
  DrawRulerMark(&dc, RulerOrientation::kHorizontal, 50, 0xFFFFFF);
  EXPECT_NE(canvas, before);
  EXPECT_NE(canvas.pixel(50, 10), before.pixel(50, 10));
  DrawRulerMark(&dc, RulerOrientation::kHorizontal, 50, 0xFFFFFF);
  EXPECT_EQ(canvas, before);

  // The widget moves its mark: the old one is erased as the new one appears.
  CWorkWindow view;
  CRulerBar ruler(RulerOrientation::kHorizontal, &view);
  ruler.resize(200, 20);
  ruler.Refresh();
  const QImage plain = ruler.canvas().copy();
  ruler.SetMark(30, 0);
  ruler.SetMark(60, 0);
  EXPECT_EQ(ruler.canvas().pixel(30, 10), plain.pixel(30, 10));
  EXPECT_NE(ruler.canvas().pixel(60, 10), plain.pixel(60, 10));
}

}  // namespace
