// The dotted derived items 21 to 25: the contour, the two-point line, the
// notches, the corner marks and the point pairs, with the switches that gate
// them and the sizes that degenerate.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/items/all_items.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class DerivedItemsTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    sizes_ = AddSizes(2);
    g_Style.SetScale(10);  // 10 model units per millimetre
  }

  // A graded point given per size.
  static void AddPoint(CPieceItem* item, std::vector<CPoint> perSize, uint32_t flags = 0) {
    item->AddTailVertex(perSize[0].x, perSize[0].y, flags);
    for (size_t s = 1; s < perSize.size(); ++s) item->AddTailVertex(perSize[s].x, perSize[s].y, kVertexKindCopy);
  }
  // A graded point with the same position in both sizes.
  static void AddFixed(CPieceItem* item, CPoint p, uint32_t flags = 0) { AddPoint(item, {p, p}, flags); }

  // The corner mark P0 = (200, 0), P1 = (0, 0), P2 = (0, 300) with a hole
  // 71 units along the bisector and end ticks of stem 40 and crossbar 20.
  static std::unique_ptr<CPieceItem24> MakeCorner(uint32_t holeFlags) {
    auto corner = std::make_unique<CPieceItem24>(nullptr, nullptr);
    AddFixed(corner.get(), {200, 0}, holeFlags);
    AddFixed(corner.get(), {0, 0});
    AddFixed(corner.get(), {0, 300});
    AddFixed(corner.get(), {71, (20 << 16) | 40});
    return corner;
  }

  // One item of each derived type with something to draw in both sizes.
  static std::vector<std::unique_ptr<CPieceItem>> OneOfEach() {
    std::vector<std::unique_ptr<CPieceItem>> items;
    auto cut = std::make_unique<CPieceItem12>(nullptr, nullptr);
    auto contour = std::make_unique<CPieceItem21>(nullptr, nullptr);
    for (CPieceCurveItem* curve : {static_cast<CPieceCurveItem*>(cut.get()),
                                   static_cast<CPieceCurveItem*>(contour.get())}) {
      AddGraded(curve, 0, 0, 0);
      AddGraded(curve, 100, 0, 0);
      AddGraded(curve, 50, 80, 0);
      curve->SmoothCurves();
    }
    auto notches18 = std::make_unique<CPieceItem18>(nullptr, nullptr);
    auto notches23 = std::make_unique<CPieceItem23>(nullptr, nullptr);
    for (CPieceItem* notches : {static_cast<CPieceItem*>(notches18.get()),
                                static_cast<CPieceItem*>(notches23.get())}) {
      AddFixed(notches, {0, 100}, 1u << 18);
      AddFixed(notches, {0, 0}, kNotchShapeT | 1);
      notches->AddTailVertex(20, 0, kVertexKindFixedSingle);
    }
    auto line = std::make_unique<CPieceItem22>(nullptr, nullptr);
    AddGraded(line.get(), 0, 0, 0);
    AddGraded(line.get(), 100, 0, 0);
    auto pairs = std::make_unique<CPieceItem25>(nullptr, nullptr);
    AddGraded(pairs.get(), 0, 0, 0);
    AddGraded(pairs.get(), 200, 0, 0);
    items.push_back(std::move(cut));
    items.push_back(std::move(notches18));
    items.push_back(std::move(contour));
    items.push_back(std::move(line));
    items.push_back(std::move(notches23));
    items.push_back(MakeCorner(0x100));
    items.push_back(std::move(pairs));
    return items;
  }

  std::vector<CSizeRecord*> sizes_;
};

TEST_F(DerivedItemsTest, EachTypeDrawsSomethingWhileDerivedItemsAreShown) {
  FakeShell shell;
  g_DrawFlagPointNumbers = 1;
  for (const auto& item : OneOfEach()) {
    SCOPED_TRACE(item->Type);
    RecordingDC dc;
    item->Draw(&dc, 1.0, 0, 0, nullptr);
    EXPECT_FALSE(dc.calls().empty());
    RecordingDC selected;
    item->DrawSelected(&selected, 1.0, 0, 0, nullptr);
    EXPECT_FALSE(selected.calls().empty());
  }
}

TEST_F(DerivedItemsTest, NothingIsDrawnWhileDerivedItemsAreHidden) {
  FakeShell shell;
  g_DrawFlagPointNumbers = 1;  // not even the point numbers of notches
  g_DrawFlagDerivedItems = 0;
  for (const auto& item : OneOfEach()) {
    SCOPED_TRACE(item->Type);
    RecordingDC dc;
    item->Draw(&dc, 1.0, 0, 0, nullptr);
    EXPECT_TRUE(dc.calls().empty());
    item->DrawSelected(&dc, 1.0, 0, 0, nullptr);
    // A selected two-point line answers to its own switch only.
    EXPECT_EQ(dc.calls().empty(), item->Type != 22);
  }
}

TEST_F(DerivedItemsTest, SelectedDrawingFollowsItsOwnSwitches) {
  FakeShell shell;
  struct Case {
    int type;
    int fill, type21Marks;
    bool drawn;
  };
  const Case kCases[] = {
      {21, 0, 1, true}, {21, 1, 0, false}, {22, 0, 1, false}, {22, 1, 0, true}, {23, 0, 1, false},
      {23, 1, 0, true}, {24, 0, 1, false}, {24, 1, 0, true},  {25, 0, 1, false}, {25, 1, 0, true},
  };
  const auto items = OneOfEach();
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.fill) + std::to_string(c.type21Marks));
    g_DrawFlagFill22to25 = c.fill;
    g_DrawFlagType21Marks = c.type21Marks;
    for (const auto& item : items) {
      if (item->Type != c.type) continue;
      RecordingDC dc;
      item->DrawSelected(&dc, 1.0, 0, 0, nullptr);
      EXPECT_EQ(!dc.calls().empty(), c.drawn);
    }
  }
}

TEST_F(DerivedItemsTest, TheContourIsDottedAndSelectedShowsItsVertexMarks) {
  FakeShell shell;
  sizes_[1]->Visible = 0;
  CPieceItem21 contour(nullptr, nullptr);
  AddGraded(&contour, 0, 0, 0);
  AddGraded(&contour, 100, 0, 2);
  AddGraded(&contour, 50, 80, 0);
  contour.SmoothCurves();
  const std::string polygon = "Polygon (0,0)-(100,0)-(50,80) pen=dot/1/0x000010 brush=hollow";
  RecordingDC dc;
  contour.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), (Lines{polygon}));

  struct Case {
    int keyMarks, curveMarks;
    Lines lines;
  };
  const std::string mark = " pen=solid/1/0x000010 brush=0x000010";
  const Case kCases[] = {
      {0, 0, {polygon}},
      {1, 0, {polygon, "Rectangle (-2,-2,3,3)" + mark, "Rectangle (48,78,53,83)" + mark}},
      {0, 1, {polygon, "Ellipse (98,-2,102,2)" + mark}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.keyMarks) + std::to_string(c.curveMarks));
    g_DrawFlagKeyVertexMarks = c.keyMarks;
    g_DrawFlagCurveVertexMarks = c.curveMarks;
    RecordingDC selected;
    contour.DrawSelected(&selected, 1.0, 0, 0, nullptr);
    EXPECT_EQ(selected.Lines(), c.lines);
  }
}

TEST_F(DerivedItemsTest, TheTwoPointLineIsDottedAndSelectedMarksItsEnd) {
  CPieceItem22 line(nullptr, nullptr);
  AddPoint(&line, {{0, 0}, {0, 100}});
  AddPoint(&line, {{100, 0}, {100, 100}});
  RecordingDC dc;
  line.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), (Lines{
                            "MoveTo (0,100)",
                            "LineTo (0,100)-(100,100) pen=dot/1/0x000020",
                            "MoveTo (0,0)",
                            "LineTo (0,0)-(100,0) pen=dot/1/0x000010",
                        }));
  EXPECT_EQ(dc.calls()[1].state.brush.color(), 0x20u);
  EXPECT_FALSE(dc.calls()[1].state.brush.hollow());

  sizes_[1]->Visible = 0;
  RecordingDC selected;
  line.DrawSelected(&selected, 1.0, 0, 0, nullptr);
  EXPECT_EQ(selected.Lines(), (Lines{
                                  "MoveTo (0,0)",
                                  "LineTo (0,0)-(100,0) pen=dot/1/0x000010",
                                  "Rectangle (98,-2,103,3) pen=dot/1/0x000010 brush=0x000010",
                              }));

  // One or three points per size is no line.
  AddPoint(&line, {{50, 50}, {50, 150}});
  CPieceItem22 single(nullptr, nullptr);
  AddPoint(&single, {{0, 0}, {0, 100}});
  RecordingDC none;
  line.Draw(&none, 1.0, 0, 0, nullptr);
  line.DrawSelected(&none, 1.0, 0, 0, nullptr);
  single.Draw(&none, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(none.calls().empty());
}

TEST_F(DerivedItemsTest, NotchesAreDottedWithTheirPointNumbersFirst) {
  g_DrawFlagPointNumbers = 1;
  CPieceItem23 notches(nullptr, nullptr);
  AddPoint(&notches, {{0, 100}, {10, 200}}, 5u << 18);
  AddPoint(&notches, {{0, 0}, {10, 100}}, kNotchShapeSlit | 1);
  notches.AddTailVertex(20, 0, kVertexKindFixedSingle);
  RecordingDC dc;
  notches.Draw(&dc, 1.0, 0, 0, nullptr);
  const Lines lines = dc.Lines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0].rfind("TextOut (0,100) \"5\"", 0), 0u) << lines[0];
  EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), (Lines{
                                                       "MoveTo (10,200)",
                                                       "LineTo (10,200)-(10,100) pen=dot/1/0x000020",
                                                       "LineTo (10,100)-(10,101) pen=dot/1/0x000020",
                                                       "MoveTo (0,100)",
                                                       "LineTo (0,100)-(0,0) pen=dot/1/0x000010",
                                                       "LineTo (0,0)-(0,1) pen=dot/1/0x000010",
                                                   }));
}

TEST_F(DerivedItemsTest, TheCornerMarkWithLinesShowsBothLegsTheCornerCircleAndTheHole) {
  FakeShell shell;
  sizes_[1]->Visible = 0;
  auto corner = MakeCorner(0x100);
  // 3 mm is 30 pixels at this zoom, 5 mm 50. The hole lies on the bisector
  // (W = (0, 200), B = (100, 100)) 71 units from the corner: (50, 50).
  RecordingDC dc;
  corner->Draw(&dc, 1.0, 0, 0, nullptr);
  const std::string dash = " pen=dash/1/0x000010";
  EXPECT_EQ(dc.Lines(), (Lines{
                            "MoveTo (200,0)",
                            "LineTo (200,0)-(0,0)" + dash,
                            "LineTo (0,0)-(0,300)" + dash,
                            "LineTo (0,300)-(0,301)" + dash,
                            "Ellipse (-30,-30,31,31)" + dash + " brush=hollow",
                            "Ellipse (20,20,81,81)" + dash + " brush=hollow",
                            "MoveTo (0,50)",
                            "LineTo (0,50)-(101,50)" + dash,
                            "MoveTo (50,0)",
                            "LineTo (50,0)-(50,101)" + dash,
                        }));
  // Without the hole code there is no hole.
  RecordingDC plain;
  MakeCorner(0x200)->Draw(&plain, 1.0, 0, 0, nullptr);
  const Lines all = dc.Lines();
  EXPECT_EQ(plain.Lines(), Lines(all.begin(), all.begin() + 5));
}

TEST_F(DerivedItemsTest, TheCornerMarkWithoutLinesShowsShortLegsAndEndTicks) {
  FakeShell shell;
  sizes_[1]->Visible = 0;
  g_DrawFlagLines = 0;
  auto corner = MakeCorner(0);
  RecordingDC dc;
  corner->Draw(&dc, 1.0, 0, 0, nullptr);
  const std::string dash = " pen=dash/1/0x000010";
  EXPECT_EQ(dc.Lines(), (Lines{
                            "Ellipse (-30,-30,31,31)" + dash + " brush=hollow",
                            // 10 mm legs.
                            "MoveTo (0,0)",
                            "LineTo (0,0)-(100,0)" + dash,
                            "MoveTo (0,0)",
                            "LineTo (0,0)-(0,100)" + dash,
                            // At P0 a stem of 40 toward the corner and a crossbar of 20.
                            "MoveTo (200,0)",
                            "LineTo (200,0)-(160,0)" + dash,
                            "MoveTo (160,10)",
                            "LineTo (160,10)-(160,-10)" + dash,
                            "LineTo (160,-10)-(160,-9)" + dash,
                            "MoveTo (0,300)",
                            "LineTo (0,300)-(0,260)" + dash,
                            "MoveTo (-10,260)",
                            "LineTo (-10,260)-(10,260)" + dash,
                            "LineTo (10,260)-(10,261)" + dash,
                        }));
}

TEST_F(DerivedItemsTest, CornerCirclesAndCrossesKeepThreePixelsWhenZoomedOut) {
  FakeShell shell;
  sizes_[1]->Visible = 0;
  auto corner = MakeCorner(0x100);
  RecordingDC dc;
  corner->Draw(&dc, 100.0, 0, 0, nullptr);  // 3 mm = 0.3 pixels
  std::vector<CRect> circles;
  for (const DrawCall& call : dc.calls()) {
    if (call.op == DrawCall::Op::kEllipse) circles.push_back(call.rect);
  }
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_EQ(circles[0], CRect(-3, -3, 4, 4));
  EXPECT_EQ(circles[1], CRect(-2, -2, 5, 5));  // the hole at (0.5, 0.5) pixels rounds to (1, 1)
  EXPECT_EQ(dc.Lines().back(), "LineTo (1,-2)-(1,5) pen=dash/1/0x000010");
}

TEST_F(DerivedItemsTest, DegenerateCornersDrawWhatHasADirectionAndNoHole) {
  FakeShell shell;
  sizes_[1]->Visible = 0;
  struct Case {
    const char* name;
    CPoint p0, p1, p2;
    size_t callsWithLines, callsWithoutLines;
  };
  // With lines: the legs (MoveTo and three LineTo) and the corner circle,
  // never the hole. Without: the circle, and a leg (2 calls) and a tick
  // (5 calls) for each leg that has a length.
  const Case kCases[] = {
      {"first leg on the corner", {0, 0}, {0, 0}, {0, 300}, 5, 1 + 7},
      {"second leg on the corner", {200, 0}, {0, 0}, {0, 0}, 5, 1 + 7},
      {"all three on one point", {0, 0}, {0, 0}, {0, 0}, 5, 1},
      {"legs in opposite directions", {200, 0}, {0, 0}, {-200, 0}, 5, 1 + 14},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPieceItem24 corner(nullptr, nullptr);
    AddFixed(&corner, c.p0, 0x100);
    AddFixed(&corner, c.p1);
    AddFixed(&corner, c.p2);
    AddFixed(&corner, {71, (20 << 16) | 40});
    g_DrawFlagLines = 1;
    RecordingDC withLines;
    corner.Draw(&withLines, 1.0, 0, 0, nullptr);
    EXPECT_EQ(withLines.calls().size(), c.callsWithLines);
    g_DrawFlagLines = 0;
    RecordingDC withoutLines;
    corner.Draw(&withoutLines, 1.0, 0, 0, nullptr);
    EXPECT_EQ(withoutLines.calls().size(), c.callsWithoutLines);
  }
}

TEST_F(DerivedItemsTest, ACornerMarkNeedsExactlyFourPoints) {
  for (int points : {3, 5}) {
    SCOPED_TRACE(points);
    CPieceItem24 corner(nullptr, nullptr);
    for (int i = 0; i < points; ++i) AddFixed(&corner, {100 * i, 0});
    RecordingDC dc;
    corner.Draw(&dc, 1.0, 0, 0, nullptr);
    EXPECT_TRUE(dc.calls().empty());
  }
}

TEST_F(DerivedItemsTest, PointPairsAreDashedLinesOrEndTicksAndAnOddPointIsLeftOut) {
  sizes_[1]->Visible = 0;
  CPieceItem25 pairs(nullptr, nullptr);
  AddFixed(&pairs, {0, 0});
  AddFixed(&pairs, {200, 0});
  AddFixed(&pairs, {0, 50});
  AddFixed(&pairs, {0, 50});  // a pair on one point
  AddFixed(&pairs, {500, 500});
  const std::string dash = " pen=dash/1/0x000010";
  RecordingDC lines;
  lines.SetBkColor(0x123456);
  pairs.Draw(&lines, 1.0, 0, 0, nullptr);
  EXPECT_EQ(lines.Lines(), (Lines{
                               "MoveTo (0,0)",
                               "LineTo (0,0)-(200,0)" + dash,
                               "MoveTo (0,50)",
                               "LineTo (0,50)-(0,50)" + dash,
                           }));
  EXPECT_EQ(lines.calls()[1].state.bk_color, 0xFFFFFFu);
  EXPECT_EQ(lines.GetBkColor(), 0x123456u);

  // Ticks sized like notches: stem 5.0 mm and crossbar 3.5 mm at 10 units per
  // millimetre. The pair on one point has no direction and gets none.
  g_DrawFlagLines = 0;
  RecordingDC ticks;
  pairs.Draw(&ticks, 1.0, 0, 0, nullptr);
  EXPECT_EQ(ticks.Lines(), (Lines{
                               "MoveTo (0,0)",
                               "LineTo (0,0)-(50,0)" + dash,
                               "MoveTo (50,-18)",
                               "LineTo (50,-18)-(50,18)" + dash,
                               "LineTo (50,18)-(50,19)" + dash,
                               "MoveTo (200,0)",
                               "LineTo (200,0)-(150,0)" + dash,
                               "MoveTo (150,18)",
                               "LineTo (150,18)-(150,-18)" + dash,
                               "LineTo (150,-18)-(150,-17)" + dash,
                           }));
}

TEST_F(DerivedItemsTest, PointsAtTheEndsOfTheCoordinateRangeDrawWithoutOverflow) {
  FakeShell shell;
  const int32_t lo = INT32_MIN;
  const int32_t hi = INT32_MAX;
  CPieceItem24 corner(nullptr, nullptr);
  AddPoint(&corner, {{lo, lo}, {hi, hi}}, 0x100);
  AddPoint(&corner, {{hi, lo}, {lo, hi}});
  AddPoint(&corner, {{hi, hi}, {lo, lo}});
  AddPoint(&corner, {{hi, static_cast<int32_t>(0xFFFFFFFFu)}, {lo, static_cast<int32_t>(0x7FFF8000u)}});
  CPieceItem25 pairs(nullptr, nullptr);
  AddPoint(&pairs, {{lo, lo}, {hi, lo}});
  AddPoint(&pairs, {{hi, hi}, {lo, hi}});
  CPieceItem22 line(nullptr, nullptr);
  AddPoint(&line, {{lo, hi}, {hi, lo}});
  AddPoint(&line, {{hi, lo}, {lo, hi}});
  g_Style.SetScale(hi);
  for (int lines : {0, 1}) {
    for (double unitsPerPixel : {1e-9, 1.0, 1e12}) {
      SCOPED_TRACE(std::to_string(lines) + " " + std::to_string(unitsPerPixel));
      g_DrawFlagLines = lines;
      RecordingDC dc;
      for (CPieceItem* item : {static_cast<CPieceItem*>(&corner), static_cast<CPieceItem*>(&pairs),
                               static_cast<CPieceItem*>(&line)}) {
        item->Draw(&dc, unitsPerPixel, hi, lo, nullptr);
        item->DrawSelected(&dc, unitsPerPixel, lo, hi, nullptr);
      }
      EXPECT_FALSE(dc.calls().empty());
    }
  }
}

}  // namespace
