// The grain line: its arrow styles, the offset of the heads, drawing once or
// per size, and its extent.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/grain_line_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "support/model_fixture.h"

namespace {

class GrainLineTest : public ModelTest {
 protected:
  // A grain line from (ax, ay) to (bx, by) in every size.
  static void AddUngraded(CPieceItem1* item, CPoint a, CPoint b) {
    for (CPoint p : {a, b}) {
      item->AddTailVertex(p.x, p.y, 0);
      for (int s = 1; s < g_Style.SizeCount; ++s) item->AddTailVertex(p.x, p.y, 64);
    }
  }

  // The strokes drawn, as "(x1,y1)-(x2,y2)".
  static std::vector<std::string> Strokes(const RecordingDC& dc) {
    std::vector<std::string> strokes;
    for (const DrawCall& call : dc.calls()) {
      if (call.op != DrawCall::Op::kLineTo) continue;
      const CPoint a = call.points[0];
      const CPoint b = call.points[1];
      strokes.push_back("(" + std::to_string(a.x) + "," + std::to_string(a.y) + ")-(" + std::to_string(b.x) + "," +
                        std::to_string(b.y) + ")");
    }
    return strokes;
  }

  CPieceRecord piece_;
};

TEST_F(GrainLineTest, DefaultStyleDrawsTheLineThenHeadsAtBothEnds) {
  AddSizes(3);
  CPieceItem1 line(nullptr, nullptr);
  AddUngraded(&line, {0, 0}, {2400, 0});
  RecordingDC dc;
  line.Draw(&dc, 1.0, 0, 0, &piece_);
  // 60 mm at 40 units per mm: the heads open over a sixth of the line, and
  // 400 units at just under 30 degrees truncate to (346, 199).
  const std::vector<std::string> expected = {
      "MoveTo (0,0)",    "LineTo (0,0)-(2400,0) pen=solid/1/0x000010",
      "MoveTo (0,0)",    "LineTo (0,0)-(346,199) pen=solid/1/0x000010",
      "MoveTo (0,0)",    "LineTo (0,0)-(346,-199) pen=solid/1/0x000010",
      "MoveTo (2400,0)", "LineTo (2400,0)-(2054,-199) pen=solid/1/0x000010",
      "MoveTo (2400,0)", "LineTo (2400,0)-(2054,199) pen=solid/1/0x000010",
  };
  EXPECT_EQ(dc.Lines(), expected);
  EXPECT_EQ(dc.state().pen.color(), 0u);  // the previous pen is back
}

TEST_F(GrainLineTest, ArrowStylesFollowThePiece) {
  AddSizes(1);
  struct Case {
    int option;
    std::vector<std::string> arms;
  };
  // Line (0,0)-(2400,0): C = (400,0), D = (2000,0).
  const Case kCases[] = {
      {0, {"(400,0)-(54,-199)", "(400,0)-(54,199)", "(2000,0)-(2346,199)", "(2000,0)-(2346,-199)"}},
      {1, {"(2400,0)-(2054,-199)", "(2400,0)-(2054,199)"}},
      {2, {"(0,0)-(346,199)", "(0,0)-(346,-199)", "(2400,0)-(2054,-199)", "(2400,0)-(2054,199)"}},
      {3,
       {"(0,0)-(346,199)", "(400,0)-(746,199)", "(0,0)-(346,-199)", "(400,0)-(746,-199)", "(2400,0)-(2054,-199)",
        "(2000,0)-(1654,-199)", "(2400,0)-(2054,199)", "(2000,0)-(1654,199)"}},
      {4, {}},
      {-1, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.option);
    CPieceItem1 line(nullptr, nullptr);
    AddUngraded(&line, {0, 0}, {2400, 0});
    piece_.Option2 = c.option;
    RecordingDC dc;
    line.Draw(&dc, 1.0, 0, 0, &piece_);
    std::vector<std::string> expected = {"(0,0)-(2400,0)"};
    expected.insert(expected.end(), c.arms.begin(), c.arms.end());
    EXPECT_EQ(Strokes(dc), expected);
  }
}

TEST_F(GrainLineTest, HeadsSitTwentyMillimetresInFromLinesOfAHundredAndTwenty) {
  AddSizes(1);
  piece_.Option2 = 0;  // the heads' tips are C and D
  struct Case {
    int length;
    int offset;
  };
  // Scale 40: 120 mm are 4800 units.
  const Case kCases[] = {{2400, 400}, {4799, 800}, {4800, 800}, {9600, 800}, {60, 10}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    CPieceItem1 line(nullptr, nullptr);
    AddUngraded(&line, {0, 0}, {0, c.length});
    RecordingDC dc;
    line.Draw(&dc, 1.0, 0, 0, &piece_);
    ASSERT_EQ(dc.calls().size(), 10u);
    EXPECT_EQ(dc.calls()[3].points[0], CPoint(0, c.offset));
    EXPECT_EQ(dc.calls()[7].points[0], CPoint(0, c.length - c.offset));
  }
}

TEST_F(GrainLineTest, ALineTheSameInEverySizeIsDrawnOnceInTheFirstVisibleFromTheTop) {
  auto sizes = AddSizes(3);
  sizes[0]->Visible = 0;
  CPieceItem1 line(nullptr, nullptr);
  AddUngraded(&line, {0, 0}, {2400, 0});
  RecordingDC dc;
  line.Draw(&dc, 1.0, 0, 0, &piece_);
  ASSERT_EQ(dc.calls().size(), 10u);
  for (const DrawCall& call : dc.calls()) {
    if (call.op == DrawCall::Op::kLineTo) {
      EXPECT_EQ(call.state.pen.color(), 0x30u);
    }
  }

  // With no size visible nothing is drawn.
  for (CSizeRecord* size : sizes) size->Visible = 0;
  dc.Clear();
  line.Draw(&dc, 1.0, 0, 0, &piece_);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(GrainLineTest, AGradedLineIsDrawnForEveryVisibleSizeLastSizeFirst) {
  auto sizes = AddSizes(3);
  CPieceItem1 line(nullptr, nullptr);
  AddGraded(&line, 0, 0, 0);       // size s at (10 s, 100 s)
  AddGraded(&line, 2400, 0, 0);
  piece_.Option2 = 4;               // the bare line
  RecordingDC dc;
  line.Draw(&dc, 1.0, 0, 0, &piece_);
  EXPECT_EQ(Strokes(dc), (std::vector<std::string>{"(20,200)-(2420,200)", "(10,100)-(2410,100)", "(0,0)-(2400,0)"}));
  const COLORREF colours[] = {0x30, 0x20, 0x10};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(dc.calls()[2 * i + 1].state.pen.color(), colours[i]);

  sizes[1]->Visible = 0;
  dc.Clear();
  line.Draw(&dc, 1.0, 0, 0, &piece_);
  EXPECT_EQ(Strokes(dc), (std::vector<std::string>{"(20,200)-(2420,200)", "(0,0)-(2400,0)"}));
}

TEST_F(GrainLineTest, DrawingUsesTheViewScaleAndOrigin) {
  AddSizes(1);
  CPieceItem1 line(nullptr, nullptr);
  AddUngraded(&line, {100, 200}, {2500, 200});
  piece_.Option2 = 1;
  RecordingDC dc;
  line.Draw(&dc, 4.0, 100, 0, &piece_);
  EXPECT_EQ(Strokes(dc), (std::vector<std::string>{"(0,50)-(600,50)", "(600,50)-(514,0)", "(600,50)-(514,100)"}));
}

TEST_F(GrainLineTest, ALineOfNoLengthHasArmsOfNoLength) {
  AddSizes(2);
  CPieceItem1 line(nullptr, nullptr);
  AddUngraded(&line, {500, 500}, {500, 500});
  RecordingDC dc;
  line.Draw(&dc, 1.0, 0, 0, &piece_);
  EXPECT_EQ(Strokes(dc), std::vector<std::string>(5, "(500,500)-(500,500)"));

  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  line.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, 500);
  EXPECT_EQ(maxX, 500);
  EXPECT_EQ(minY, 500);
  EXPECT_EQ(maxY, 500);
}

TEST_F(GrainLineTest, ExtentTakesTheFirstSizeWithRoundedHeadsAtTwentyMillimetres) {
  auto sizes = AddSizes(2);
  sizes[0]->Visible = 0;  // the first size counts, visible or not
  struct Case {
    int scale;
    int reach;  // how far the heads reach across the line
    int minX;
    int maxX;
  };
  // Scale 20: the 20 mm offset is 400 units and its arm 199.99... rounds to
  // 200. Scale 40: a 60 mm line still gets the 800-unit offset (wider than
  // the sixth that is drawn): 400 across, 693 along.
  const Case kCases[] = {{20, 200, 0, 2400}, {40, 400, 0, 2400}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.scale);
    g_Style.SetScale(c.scale);
    CPieceItem1 line(nullptr, nullptr);
    AddGraded(&line, 0, 0, 0);
    AddGraded(&line, 2400, 0, 0);
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    line.GetDrawExtent(sizes[1], &minX, &maxX, &minY, &maxY);
    EXPECT_EQ(minX, c.minX);
    EXPECT_EQ(maxX, c.maxX);
    EXPECT_EQ(minY, -c.reach);
    EXPECT_EQ(maxY, c.reach);
  }
}

TEST_F(GrainLineTest, AnEmptyRingDrawsNothingAndHasTheEmptyExtent) {
  AddSizes(1);
  CPieceItem1 line(nullptr, nullptr);
  RecordingDC dc;
  line.Draw(&dc, 1.0, 0, 0, &piece_);
  EXPECT_TRUE(dc.calls().empty());
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  line.GetExtent(0, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, kBoxEmptyMin);
  EXPECT_EQ(maxX, kExtentEmptyMax);
  EXPECT_EQ(minY, kBoxEmptyMin);
  EXPECT_EQ(maxY, kExtentEmptyMax);
}

}  // namespace

namespace {

TEST_F(GrainLineTest, ExtremeOrDamagedRingsDrawAndMeasureSafely) {
  AddSizes(2);
  const int32_t lo = INT32_MIN;
  const int32_t hi = INT32_MAX;
  for (int option : {0, 1, 2, 3}) {
    piece_.Option2 = option;
    CPieceItem1 line(nullptr, nullptr);
    AddUngraded(&line, {lo, lo}, {hi, hi});
    line.AddTailVertex(hi, lo, 64);  // a stray copy
    for (double unitsPerPixel : {1.0, 1e-9, 0.0}) {
      RecordingDC dc;
      line.Draw(&dc, unitsPerPixel, hi, lo, &piece_);
      EXPECT_FALSE(dc.calls().empty());
    }
    int minX = 0, maxX = 0, minY = 0, maxY = 0;
    line.GetExtent(0, &minX, &maxX, &minY, &maxY);
    EXPECT_LE(minX, maxX);
  }
}

}  // namespace
