// Marker symbols (types 2 and 4) and slot symbols (type 3): their drawing per
// size on the recording device context, the shapes, and their extents.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "model/items/marker_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

// The drawing calls in a compact form, to compare whole symbols at once:
// "M x,y" MoveTo, "L x,y" LineTo (its end), "E l,t,r,b" Ellipse, "R l,t,r,b"
// Rectangle, "A l,t,r,b sx,sy ex,ey" Arc, "T x,y text" TextOut; space
// separated. The other symbol item tests use it too.
std::string StrokeText(const RecordingDC& dc) {
  auto pt = [](CPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
  auto box = [](const CRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  };
  std::string text;
  for (const DrawCall& call : dc.calls()) {
    if (!text.empty()) text += ' ';
    switch (call.op) {
      case DrawCall::Op::kMoveTo: text += "M" + pt(call.points[0]); break;
      case DrawCall::Op::kLineTo: text += "L" + pt(call.points[1]); break;
      case DrawCall::Op::kEllipse: text += "E" + box(call.rect); break;
      case DrawCall::Op::kRectangle: text += "R" + box(call.rect); break;
      case DrawCall::Op::kArc: text += "A" + box(call.rect) + " " + pt(call.points[0]) + " " + pt(call.points[1]); break;
      case DrawCall::Op::kTextOut: text += "T" + pt(call.points[0]) + " " + call.text.str(); break;
      default: text += "?"; break;
    }
  }
  return text;
}

namespace {

class MarkerItemsTest : public ModelTest {
 protected:
  // One symbol: graded centre (size s at x + 10 s, y + 100 s), a radius node
  // and a rectangle node held once.
  static void AddMarker(CPieceItem* item, int32_t x, int32_t y, uint32_t flags, int32_t radius, int32_t width,
                        int32_t height) {
    AddGraded(item, x, y, flags);
    item->AddTailVertex(radius, 0, kVertexKindMovedSingle);
    item->AddTailVertex(width, height, kVertexKindMovedSingle);
  }
};

TEST_F(MarkerItemsTest, ShapesByTheCentresCode) {
  struct Case {
    uint32_t shape;
    const char* strokes;
  };
  // Centre (100,100), radius 10, rectangle 20 x 12, one pixel per unit: the
  // long cross reaches 2 mm (80 units at scale 40) beyond the circle.
  const Case kCases[] = {
      {kMarkerCircle, "E90,90,111,111"},
      {kMarkerCross, "M90,100 L111,100 M100,90 L100,111"},
      {kMarkerCircleCross, "E90,90,111,111 M90,100 L111,100 M100,90 L100,111"},
      {kMarkerCircleLongCross, "E90,90,111,111 M10,100 L190,100 M100,10 L100,190"},
      {kMarkerRectangle, "M90,94 L110,94 L110,106 L90,106 L90,94"},
      {0x500, ""},
      {0x800, ""},
      {0xF00, ""},
  };
  AddSizes(1);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.shape);
    CPieceItem2 item(nullptr, nullptr);
    AddMarker(&item, 100, 100, c.shape, 10, 20, 12);
    RecordingDC dc;
    item.Draw(&dc, 1.0, 0, 0, nullptr);
    EXPECT_EQ(StrokeText(dc), c.strokes);
  }
}

TEST_F(MarkerItemsTest, SizesDrawLastFirstInTheirColoursAndHiddenSizesAreSkipped) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  CPieceItem2 item(nullptr, nullptr);
  AddMarker(&item, 100, 100, kMarkerCircle, 10, 0, 0);
  AddMarker(&item, 300, 100, kMarkerCross, 10, 0, 0);
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc),
            "E110,290,131,311 M310,300 L331,300 M320,290 L320,311 "
            "E90,90,111,111 M290,100 L311,100 M300,90 L300,111");
  ASSERT_EQ(dc.calls().size(), 10u);
  for (size_t i = 0; i < dc.calls().size(); ++i) {
    const CPen& pen = dc.calls()[i].state.pen;
    EXPECT_EQ(pen.style(), PS_SOLID);
    EXPECT_EQ(pen.width(), 1);
    EXPECT_EQ(pen.color(), i < 5 ? 0x30u : 0x10u);
  }
}

TEST_F(MarkerItemsTest, FilledMarkersKeepTheBrushHollowMarkersUseNone) {
  AddSizes(1);
  CPieceItem2 filled(nullptr, nullptr);
  CPieceItem4 hollow(nullptr, nullptr);
  AddMarker(&filled, 100, 100, kMarkerCircle, 10, 0, 0);
  AddMarker(&hollow, 100, 100, kMarkerCircle, 10, 0, 0);
  CBrush grey(0x808080);
  {
    RecordingDC dc;
    dc.SelectObject(&grey);
    filled.Draw(&dc, 1.0, 0, 0, nullptr);
    ASSERT_EQ(dc.calls().size(), 1u);
    EXPECT_FALSE(dc.calls()[0].state.brush.hollow());
    EXPECT_EQ(dc.calls()[0].state.brush.color(), 0x808080u);
  }
  {
    RecordingDC dc;
    dc.SelectObject(&grey);
    hollow.Draw(&dc, 1.0, 0, 0, nullptr);
    ASSERT_EQ(dc.calls().size(), 1u);
    EXPECT_TRUE(dc.calls()[0].state.brush.hollow());
    EXPECT_EQ(StrokeText(dc), "E90,90,111,111");
    // The caller's brush is selected again.
    EXPECT_FALSE(dc.state().brush.hollow());
    EXPECT_EQ(dc.state().brush.color(), 0x808080u);
  }
}

TEST_F(MarkerItemsTest, SmallSymbolsKeepThreePixelsAndTruncatedRectangles) {
  AddSizes(1);
  struct Case {
    uint32_t shape;
    int32_t radius, width, height;
    double unitsPerPixel;
    const char* strokes;
  };
  const Case kCases[] = {
      // Radius 0 and a radius under a pixel both draw 3 pixels.
      {kMarkerCircle, 0, 0, 0, 1.0, "E97,97,104,104"},
      {kMarkerCircle, 40, 0, 0, 100.0, "E-2,-2,5,5"},
      // 2 mm is 0.8 pixel at 100 units per pixel: the long cross does not
      // reach past the circle.
      {kMarkerCircleLongCross, 0, 0, 0, 100.0, "E-2,-2,5,5 M-2,1 L4,1 M1,-2 L1,4"},
      // A rectangle under two pixels wide is a vertical line at the centre.
      {kMarkerRectangle, 0, 1, 20, 1.0, "M100,90 L100,90 L100,110 L100,110 L100,90"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.strokes);
    CPieceItem4 item(nullptr, nullptr);
    AddMarker(&item, 100, 100, c.shape, c.radius, c.width, c.height);
    RecordingDC dc;
    item.Draw(&dc, c.unitsPerPixel, 0, 0, nullptr);
    EXPECT_EQ(StrokeText(dc), c.strokes);
  }
}

TEST_F(MarkerItemsTest, PointNumbersShowEvenWhenNoShapeOrSizeIs) {
  auto sizes = AddSizes(2);
  g_DrawFlagPointNumbers = 1;
  CPieceItem2 item(nullptr, nullptr);
  AddMarker(&item, 100, 100, (7u << 18) | 0x500, 10, 0, 0);
  AddMarker(&item, 200, 100, (9u << 18) | kMarkerCircle, 10, 0, 0);
  sizes[0]->Visible = 0;
  sizes[1]->Visible = 0;
  RecordingDC dc;
  item.Draw(&dc, 2.0, 0, 0, nullptr);
  // Numbers at the first-size centres, in red, once; the radius and
  // rectangle nodes carry none.
  EXPECT_EQ(StrokeText(dc), "T50,50 7 T100,50 9");
  EXPECT_EQ(dc.calls()[0].state.text_color, 0x0000FFu);
  g_DrawFlagPointNumbers = 0;
  dc.Clear();
  item.Draw(&dc, 2.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(MarkerItemsTest, SelectedMarkersAndSlotsLookTheSame) {
  AddSizes(2);
  g_DrawFlagPointNumbers = 1;
  CPieceItem2 filled(nullptr, nullptr);
  CPieceItem4 hollow(nullptr, nullptr);
  CPieceItem3 slot(nullptr, nullptr);
  AddMarker(&filled, 100, 100, (3u << 18) | kMarkerCircleCross, 10, 0, 0);
  AddMarker(&hollow, 100, 100, kMarkerRectangle, 10, 30, 30);
  slot.Style = kSlotKeyhole;
  slot.EyeRadius = 4;
  slot.EyeOuterRadius = 8;
  AddGraded(&slot, 0, 0, 1u << 18);
  AddGraded(&slot, 100, 0, 0);
  CPieceItem* items[] = {&filled, &hollow, &slot};
  for (CPieceItem* item : items) {
    SCOPED_TRACE(item->Type);
    RecordingDC plain, selected;
    item->Draw(&plain, 1.0, 0, 0, nullptr);
    item->DrawSelected(&selected, 1.0, 0, 0, nullptr);
    EXPECT_FALSE(plain.calls().empty());
    EXPECT_EQ(plain.Lines(), selected.Lines());
  }
}

TEST_F(MarkerItemsTest, IncompleteOrEmptyItemsDrawSafely) {
  AddSizes(2);
  CPieceItem2 empty(nullptr, nullptr);
  CPieceItem4 partial(nullptr, nullptr);
  AddMarker(&partial, 100, 100, kMarkerCircle, 10, 0, 0);
  AddGraded(&partial, 200, 200, kMarkerCircle);  // a centre without its radius and rectangle
  RecordingDC dc;
  empty.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  partial.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "E100,190,121,211 E90,90,111,111");
  // No scale at all, and points at the edge of the coordinate range, give
  // clamped pixels rather than undefined arithmetic.
  CPieceItem4 far(nullptr, nullptr);
  AddMarker(&far, INT_MAX - 50, INT_MIN + 50, kMarkerCircleLongCross, INT_MAX, INT_MAX, INT_MAX);
  AddMarker(&far, 0, 0, kMarkerRectangle, INT_MIN, INT_MIN, INT_MIN);
  dc.Clear();
  far.Draw(&dc, 0.0, 0, 0, nullptr);
  far.Draw(&dc, 1e-300, 0, 0, nullptr);
  far.Draw(&dc, 1.0, INT_MIN, INT_MAX, nullptr);
  EXPECT_FALSE(dc.calls().empty());
  far.Draw(nullptr, 1.0, 0, 0, nullptr);
}

TEST_F(MarkerItemsTest, ExtentsOfCentresAndOfHollowMarkersGrownByTheirRadius) {
  auto sizes = AddSizes(3);
  sizes[2]->Visible = 0;
  CPieceItem2 filled(nullptr, nullptr);
  CPieceItem4 hollow(nullptr, nullptr);
  for (CPieceItem* item : {static_cast<CPieceItem*>(&filled), static_cast<CPieceItem*>(&hollow)}) {
    // Centres (0,0) (10,100) (20,200) with radius 5; (500,0) (510,100)
    // (520,200) with radius 50.
    AddMarker(item, 0, 0, kMarkerCircle, 5, 0, 0);
    AddMarker(item, 500, 0, kMarkerCircle, 50, 0, 0);
  }
  struct Box {
    int minX, maxX, minY, maxY;
  };
  auto extent = [](const CPieceItem& item, int all) {
    Box b{};
    item.GetExtent(all, &b.minX, &b.maxX, &b.minY, &b.maxY);
    return b;
  };
  auto drawExtent = [](const CPieceItem& item, CSizeRecord* skip) {
    Box b{};
    item.GetDrawExtent(skip, &b.minX, &b.maxX, &b.minY, &b.maxY);
    return b;
  };
  struct Case {
    const char* what;
    Box filled, hollow;
  } const kCases[] = {
      {"first size", {0, 500, 0, 0}, {-5, 550, -50, 50}},
      {"visible sizes", {0, 510, 0, 100}, {-5, 560, -50, 150}},
      {"all but the first", {10, 520, 100, 200}, {5, 570, 50, 250}},
  };
  const Box got[3][2] = {{extent(filled, 0), extent(hollow, 0)},
                         {extent(filled, -1), extent(hollow, -1)},
                         {drawExtent(filled, sizes[0]), drawExtent(hollow, sizes[0])}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(kCases[i].what);
    const Box* want[2] = {&kCases[i].filled, &kCases[i].hollow};
    for (int k = 0; k < 2; ++k) {
      EXPECT_EQ(got[i][k].minX, want[k]->minX);
      EXPECT_EQ(got[i][k].maxX, want[k]->maxX);
      EXPECT_EQ(got[i][k].minY, want[k]->minY);
      EXPECT_EQ(got[i][k].maxY, want[k]->maxY);
    }
  }
  // With every size hidden the hollow extent stays empty.
  sizes[0]->Visible = sizes[1]->Visible = 0;
  const Box none = extent(hollow, 1);
  EXPECT_EQ(none.minX, INT_MAX);
  EXPECT_EQ(none.maxX, INT_MIN);
  EXPECT_EQ(none.minY, INT_MAX);
  EXPECT_EQ(none.maxY, INT_MIN);
}

TEST_F(MarkerItemsTest, HollowExtentStopsAtAShortGroupAndClampsHugeRadii) {
  AddSizes(3);
  CPieceItem4 item(nullptr, nullptr);
  item.AddTailVertex(0, 0, kMarkerCircle);  // centre of size 0
  item.AddTailVertex(10, 100, 64);          // size 1; size 2 is missing
  item.AddTailVertex(1000, 0, kVertexKindMovedSingle);
  item.AddTailVertex(0, 0, kVertexKindMovedSingle);
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  item.GetExtent(1, &minX, &maxX, &minY, &maxY);
  // The radius node after the short group is not taken for size 2's centre.
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({-1000, 1010, -1000, 1100}));

  CPieceItem4 huge(nullptr, nullptr);
  AddMarker(&huge, -100, 0, kMarkerCircle, INT_MAX, 0, 0);
  huge.GetExtent(0, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({INT_MIN, INT_MAX - 100, -INT_MAX, INT_MAX}));

  CPieceItem4 empty(nullptr, nullptr);
  empty.GetDrawExtent(nullptr, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, INT_MAX);
  EXPECT_EQ(maxY, INT_MIN);
}

// ---- Slot symbols -----------------------------------------------------------

class SlotItemTest : public ModelTest {
 protected:
  // A slot from (0,0) to (100,0) on a style of one size, drawn at one pixel
  // per unit: bars 20, slot end 30, width 10, eye radii 4 and 8.
  static std::string DrawSlot(int32_t style, CPoint a = {0, 0}, CPoint b = {100, 0}, int32_t width = 10,
                              double unitsPerPixel = 1.0) {
    CPieceItem3 item(nullptr, nullptr);
    item.Style = style;
    item.BarLength = 20;
    item.SlotEndOffset = 30;
    item.SlotWidth = width;
    item.EyeRadius = 4;
    item.EyeOuterRadius = 8;
    item.AddTailVertex(a.x, a.y, 0);
    item.AddTailVertex(b.x, b.y, 0);
    RecordingDC dc;
    item.Draw(&dc, unitsPerPixel, 0, 0, nullptr);
    return StrokeText(dc);
  }
};

TEST_F(SlotItemTest, TheTenStyles) {
  AddSizes(1);
  struct Case {
    int32_t style;
    const char* strokes;
  };
  const Case kCases[] = {
      {kSlotPlainBars, "M0,0 L100,0 L100,1 M0,5 L0,-5 L0,-4 M100,-5 L100,5 L100,6"},
      {kSlotEndBars, "M0,0 L100,0 L100,1 M0,10 L0,-10 M100,-10 L100,10"},
      {kSlotKeyhole, "M4,0 L100,0 L100,1 A-4,-4,4,4 -4,-4 -4,-4 A-8,-8,8,8 0,-8 0,8 M0,7 L100,0 L0,-8"},
      {kSlotClosedKeyhole,
       "M100,-5 L100,5 L70,5 L70,-5 L100,-5 M4,0 L70,0 A-4,-4,4,4 -4,-4 -4,-4 A-8,-8,8,8 0,-8 0,8 "
       "M70,5 L0,7 M70,-5 L0,-8"},
      {kSlotKeyholeCrossBar,
       "M4,0 L100,0 L100,1 A-4,-4,4,4 -4,-4 -4,-4 A-8,-8,8,8 0,-8 0,8 M0,7 L100,0 L0,-8 M70,-5 L70,5"},
      {kSlotOpenKeyhole,
       "M4,0 L100,0 M100,-10 L100,10 M100,-5 L6,-5 M100,5 L6,5 A-4,-4,4,4 -4,-4 -4,-4 A-8,-8,8,8 6,-5 6,5"},
      {kSlotDoubleKeyhole,
       "M4,0 L96,0 M94,5 L5,5 M94,-5 L5,-5 A-4,-4,4,4 -4,-4 -4,-4 A-8,-8,8,8 6,-5 6,5 "
       "A96,-4,104,4 96,-4 96,-4 A92,-8,108,8 94,5 94,-5"},
      {kSlotLine, "M0,0 L100,0 L100,1"},
      {kSlotRectangle, "M0,0 L100,0 L100,1 M0,20 L0,-20 L100,-20 L100,20 L0,20"},
      {kSlotEyelet, "A-4,-4,4,4 -4,-4 -4,-4 A-8,-8,8,8 -8,-8 -8,-8"},
      {3, ""},
      {5, ""},
      {-1, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.style);
    EXPECT_EQ(DrawSlot(c.style), c.strokes);
  }
}

TEST_F(SlotItemTest, PlainBarsKeepTheirSizeAndNeedFivePixels) {
  AddSizes(1);
  // Four pixels long: a bare line; five pixels (3,4): bars.
  EXPECT_EQ(DrawSlot(kSlotPlainBars, {0, 0}, {4, 0}), "M0,0 L4,0 L4,1");
  EXPECT_EQ(DrawSlot(kSlotPlainBars, {0, 0}, {3, 4}), "M0,0 L3,4 L3,5 M-4,3 L4,-3 L4,-2 M7,1 L-1,7 L-1,8");
  // At two units per pixel style 0's bars stay 5 pixels, style 1's halve.
  EXPECT_EQ(DrawSlot(kSlotPlainBars, {0, 0}, {200, 0}, 10, 2.0),
            "M0,0 L100,0 L100,1 M0,5 L0,-5 L0,-4 M100,-5 L100,5 L100,6");
  EXPECT_EQ(DrawSlot(kSlotEndBars, {0, 0}, {200, 0}, 10, 2.0), "M0,0 L100,0 L100,1 M0,5 L0,-5 M100,-5 L100,5");
}

TEST_F(SlotItemTest, SymbolsThatCannotBeBuiltAreTheirBareLine) {
  AddSizes(1);
  const int32_t kBuilt[] = {kSlotEndBars,     kSlotKeyhole,       kSlotClosedKeyhole, kSlotKeyholeCrossBar,
                            kSlotOpenKeyhole, kSlotDoubleKeyhole, kSlotRectangle};
  for (int32_t style : kBuilt) {
    SCOPED_TRACE(style);
    // A and B on one pixel.
    EXPECT_EQ(DrawSlot(style, {7, 7}, {7, 7}), "M7,7 L7,7 L7,8");
    // Less than a pixel apart on the screen.
    EXPECT_EQ(DrawSlot(style, {0, 0}, {1, 0}, 10, 4.0), "M0,0 L0,0 L0,1");
  }
  // The eyelet needs no direction; a plain slot is its line anyway.
  EXPECT_EQ(DrawSlot(kSlotEyelet, {7, 7}, {7, 7}), "A3,3,11,11 3,3 3,3 A-1,-1,15,15 -1,-1 -1,-1");
  EXPECT_EQ(DrawSlot(kSlotPlainBars, {7, 7}, {7, 7}), "M7,7 L7,7 L7,8");
  // A slot wider than the outer eye (or exactly as wide, leaving its sides
  // no length into the eye) cannot meet it.
  for (int32_t style : {kSlotOpenKeyhole, kSlotDoubleKeyhole}) {
    SCOPED_TRACE(style);
    EXPECT_EQ(DrawSlot(style, {0, 0}, {100, 0}, 18), "M0,0 L100,0 L100,1");
    EXPECT_EQ(DrawSlot(style, {0, 0}, {100, 0}, 16), "M0,0 L100,0 L100,1");
  }
  // The closed end on the eye centre.
  CPieceItem3 item(nullptr, nullptr);
  item.Style = kSlotClosedKeyhole;
  item.SlotEndOffset = 100;
  item.AddTailVertex(0, 0, 0);
  item.AddTailVertex(100, 0, 0);
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "M0,0 L100,0 L100,1");
}

TEST_F(SlotItemTest, GradedSlotsPerSizeWithNumbersAndTheUnusedWord) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  g_DrawFlagPointNumbers = 1;
  CPieceItem3 item(nullptr, nullptr);
  item.Style = kSlotLine;
  AddGraded(&item, 0, 0, 4u << 18);
  AddGraded(&item, 50, 0, 5u << 18);
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "T0,0 4 T50,0 5 M20,200 L70,200 L70,201 M0,0 L50,0 L50,1");
  EXPECT_EQ(dc.calls()[2].state.pen.color(), 0x30u);
  EXPECT_EQ(dc.calls()[5].state.pen.color(), 0x10u);
  // The first word is carried, never drawn.
  item.Param0 = 12345;
  RecordingDC again;
  item.Draw(&again, 1.0, 0, 0, nullptr);
  EXPECT_EQ(again.Lines(), dc.Lines());
  // A style that draws nothing still numbers its points.
  item.Style = 3;
  again.Clear();
  item.Draw(&again, 1.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(again), "T0,0 4 T50,0 5");
}

TEST_F(SlotItemTest, ExtentsAreTheSymbolPoints) {
  auto sizes = AddSizes(2);
  CPieceItem3 item(nullptr, nullptr);
  item.Style = kSlotEyelet;
  item.EyeOuterRadius = 1000;  // the eye does not widen the extent
  AddGraded(&item, 0, 0, 0);
  AddGraded(&item, 50, -20, 0);
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  item.GetExtent(0, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({0, 50, -20, 0}));
  item.GetDrawExtent(sizes[0], &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(std::vector<int>({minX, maxX, minY, maxY}), std::vector<int>({10, 60, 80, 100}));
}

}  // namespace
