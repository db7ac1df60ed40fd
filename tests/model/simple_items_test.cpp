// Corner items: the V shape (type 6) and the derived corner mark (type 19),
// drawn per size with their apex circle and drill hole, and the V shape's
// leg move.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/simple_items.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

std::string StrokeText(const RecordingDC& dc);  // marker_items_test.cpp

namespace {

// At 10 units per pixel and scale 40 the apex and hole circles have a radius
// of 12 pixels and the hole cross a half-length of 20.
constexpr double kZoom = 10.0;

class SimpleItemsTest : public ModelTest {
 protected:
  // A right-angled corner at the apex (0,0) with legs to (800,0) and
  // (0,800), graded (size s moved by (10 s, 100 s)); the hole 283 units from
  // the apex when `holeCode` asks for one; `packed` the end-mark sizes.
  static void AddCorner(CPieceItem* item, uint32_t holeCode = kCornerHoleCode, int32_t holeDistance = 283,
                        int32_t packed = 0, CPoint p0 = {800, 0}, CPoint p2 = {0, 800}) {
    AddGraded(item, p0.x, p0.y, holeCode);
    AddGraded(item, 0, 0, kVShapeApexKind);
    AddGraded(item, p2.x, p2.y, 0);
    item->AddTailVertex(holeDistance, packed, kVertexKindMovedSingle);
  }

  FakeShell shell_;
};

// Size 0 of the corner: legs, apex circle, hole circle at (20,20) and cross.
constexpr const char* kCornerSize0 =
    "M80,0 L0,0 L0,80 L0,81 E-12,-12,13,13 E8,8,33,33 M0,20 L41,20 M20,0 L20,41";
// Size 1: moved by (1,10) pixels; the hole by the same (the legs are alike).
constexpr const char* kCornerSize1 =
    "M81,10 L1,10 L1,90 L1,91 E-11,-2,14,23 E9,18,34,43 M1,30 L42,30 M21,10 L21,51";

TEST_F(SimpleItemsTest, VShapePerVisibleSizeDashedWithHollowCirclesAndTheHole) {
  auto sizes = AddSizes(3);
  sizes[2]->Visible = 0;
  CPieceItem6 item(nullptr, nullptr);
  AddCorner(&item);
  RecordingDC dc;
  CBrush grey(0x808080);
  dc.SelectObject(&grey);
  item.Draw(&dc, kZoom, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), std::string(kCornerSize1) + " " + kCornerSize0);
  ASSERT_EQ(dc.calls().size(), 20u);
  for (size_t i = 0; i < dc.calls().size(); ++i) {
    const DrawCall& call = dc.calls()[i];
    EXPECT_EQ(call.state.pen.style(), PS_DASH);
    EXPECT_EQ(call.state.pen.color(), i < 10 ? 0x20u : 0x10u);
    EXPECT_TRUE(call.state.brush.hollow());
  }
  EXPECT_EQ(dc.state().brush.color(), 0x808080u);
  RecordingDC selected;
  selected.SelectObject(&grey);
  item.DrawSelected(&selected, kZoom, 0, 0, nullptr);
  EXPECT_EQ(selected.Lines(), dc.Lines());
}

TEST_F(SimpleItemsTest, CornerMarkShowsOnlyWithDerivedItemsAndLikeAVShapeWhileLinesAreShown) {
  AddSizes(2);
  CPieceItem19 item(nullptr, nullptr);
  AddCorner(&item);
  RecordingDC dc;
  item.Draw(&dc, kZoom, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), std::string(kCornerSize1) + " " + kCornerSize0);
  EXPECT_EQ(dc.calls()[0].state.pen.style(), PS_DASH);
  RecordingDC selected;
  item.DrawSelected(&selected, kZoom, 0, 0, nullptr);
  EXPECT_EQ(selected.Lines(), dc.Lines());

  g_DrawFlagDerivedItems = 0;
  dc.Clear();
  item.Draw(&dc, kZoom, 0, 0, nullptr);
  item.DrawSelected(&dc, kZoom, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(SimpleItemsTest, CornerMarkWithoutLinesHasShortLegsAndEndMarks) {
  AddSizes(1);
  g_DrawFlagLines = 0;
  struct Case {
    int32_t packed;
    const char* strokes;
  };
  const Case kCases[] = {
      // Stub 200, crossbar 140: each end mark 20 pixels in with a 14-pixel bar.
      {(140 << 16) | 200,
       "E-12,-12,13,13 M0,0 L40,0 M0,0 L0,40 M80,0 L60,0 M60,7 L60,-7 L60,-6 "
       "M0,80 L0,60 M-7,60 L7,60 L7,61 E8,8,33,33 M0,20 L41,20 M20,0 L20,41"},
      // The stub length is unsigned, the crossbar width signed.
      {static_cast<int32_t>(0xFF74FFFFu),
       "E-12,-12,13,13 M0,0 L40,0 M0,0 L0,40 M80,0 L-6474,0 M-6474,-7 L-6474,7 L-6474,8 "
       "M0,80 L0,-6474 M7,-6474 L-7,-6474 L-7,-6473 E8,8,33,33 M0,20 L41,20 M20,0 L20,41"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.packed);
    CPieceItem19 item(nullptr, nullptr);
    AddCorner(&item, kCornerHoleCode, 283, c.packed);
    RecordingDC dc;
    item.Draw(&dc, kZoom, 0, 0, nullptr);
    EXPECT_EQ(StrokeText(dc), c.strokes);
  }
}

TEST_F(SimpleItemsTest, HoleOnlyWhenAskedAndOnlyWhereTheBisectorHasADirection) {
  AddSizes(1);
  struct Case {
    const char* what;
    uint32_t code;
    int32_t distance;
    CPoint p0, p2;
    const char* strokes;
  };
  const Case kCases[] = {
      {"another shape code", 0x200, 283, {800, 0}, {0, 800}, "M80,0 L0,0 L0,80 L0,81 E-12,-12,13,13"},
      {"no distance: on the apex", kCornerHoleCode, 0, {800, 0}, {0, 800},
       "M80,0 L0,0 L0,80 L0,81 E-12,-12,13,13 E-12,-12,13,13 M-20,0 L21,0 M0,-20 L0,21"},
      {"second leg of no length", kCornerHoleCode, 283, {800, 0}, {0, 0},
       "M80,0 L0,0 L0,0 L0,1 E-12,-12,13,13"},
      {"first leg of no length", kCornerHoleCode, 283, {0, 0}, {0, 800},
       "M0,0 L0,0 L0,80 L0,81 E-12,-12,13,13"},
      {"legs in opposite directions", kCornerHoleCode, 283, {800, 0}, {-400, 0},
       "M80,0 L0,0 L-40,0 L-40,1 E-12,-12,13,13"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    for (bool derived : {false, true}) {
      CPieceItem6 vShape(nullptr, nullptr);
      CPieceItem19 corner(nullptr, nullptr);
      CPieceItem* item = derived ? static_cast<CPieceItem*>(&corner) : &vShape;
      AddCorner(item, c.code, c.distance, 0, c.p0, c.p2);
      RecordingDC dc;
      item->Draw(&dc, kZoom, 0, 0, nullptr);
      EXPECT_EQ(StrokeText(dc), c.strokes);
    }
  }
  // Without lines, a leg of no length has neither leg nor end mark.
  g_DrawFlagLines = 0;
  CPieceItem19 corner(nullptr, nullptr);
  AddCorner(&corner, kCornerHoleCode, 283, (140 << 16) | 200, {0, 0}, {0, 800});
  RecordingDC dc;
  corner.Draw(&dc, kZoom, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "E-12,-12,13,13 M0,0 L0,40 M0,80 L0,60 M-7,60 L7,60 L7,61");
}

TEST_F(SimpleItemsTest, CirclesOutsideTheWorkWindowAreLeftOutUnlessPrinting) {
  AddSizes(1);
  shell_.client = CRect(30, 30, 400, 400);
  CPieceItem6 item(nullptr, nullptr);
  AddCorner(&item);
  RecordingDC dc;
  item.Draw(&dc, kZoom, 0, 0, nullptr);
  // The apex (0,0) and the hole (20,20) lie outside; the cross is drawn.
  EXPECT_EQ(StrokeText(dc), "M80,0 L0,0 L0,80 L0,81 M0,20 L41,20 M20,0 L20,41");
  RecordingDC printer;
  printer.SetPrinting(true);
  item.Draw(&printer, kZoom, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(printer), kCornerSize0);
}

TEST_F(SimpleItemsTest, CircleAndCrossNeverBelowThreePixels) {
  AddSizes(1);
  CPieceItem6 item(nullptr, nullptr);
  AddCorner(&item, kCornerHoleCode, 2830, 0, {8000, 0}, {0, 8000});
  RecordingDC dc;
  item.Draw(&dc, 1000.0, 0, 0, nullptr);
  EXPECT_EQ(StrokeText(dc), "M8,0 L0,0 L0,8 L0,9 E-3,-3,4,4 E-1,-1,6,6 M-1,2 L6,2 M2,-1 L2,6");
}

TEST_F(SimpleItemsTest, OnlyExactlyFourPointsDraw) {
  AddSizes(2);
  for (int points : {0, 3, 5}) {
    SCOPED_TRACE(points);
    CPieceItem6 vShape(nullptr, nullptr);
    CPieceItem19 corner(nullptr, nullptr);
    for (int i = 0; i < points; ++i) {
      AddGraded(&vShape, 100 * i, 0, i == 1 ? kVShapeApexKind : 0);
      AddGraded(&corner, 100 * i, 0, 0);
    }
    RecordingDC dc;
    vShape.Draw(&dc, 1.0, 0, 0, nullptr);
    corner.Draw(&dc, 1.0, 0, 0, nullptr);
    EXPECT_TRUE(dc.calls().empty());
    EXPECT_FALSE(dc.state().brush.hollow());
  }
  CPieceItem6 item(nullptr, nullptr);
  AddCorner(&item);
  item.Draw(nullptr, kZoom, 0, 0, nullptr);
  RecordingDC dc;
  item.Draw(&dc, 0.0, 0, 0, nullptr);  // no scale: clamped pixels, no fault
  EXPECT_FALSE(dc.calls().empty());
}

TEST_F(SimpleItemsTest, MovingALegEndShiftsTheApexByTheMidpointsMove) {
  AddSizes(2);
  CPieceItem6 item(nullptr, nullptr);
  AddCorner(&item);
  CVertexNode* first = item.VertexHead;
  CVertexNode* apex = item.NextMainVertex(first);
  CVertexNode* second = item.NextMainVertex(apex);
  CPieceItem6 source(nullptr, nullptr);
  CVertexNode* to = AddGraded(&source, 1000, 200, 0);
  CVertexNode* to2 = AddGraded(&source, 0, 1000, 0);

  item.MoveLegEnd(to, first);
  // Size 0: the midpoint moves from (400,400) to (500,500); size 1 alike.
  EXPECT_EQ(CPoint(first->X, first->Y), CPoint(1000, 200));
  EXPECT_EQ(CPoint(first->Next->X, first->Next->Y), CPoint(1010, 300));
  EXPECT_EQ(CPoint(apex->X, apex->Y), CPoint(100, 100));
  EXPECT_EQ(CPoint(apex->Next->X, apex->Next->Y), CPoint(110, 200));

  // The second leg's end: the apex is the main vertex before it.
  item.MoveLegEnd(to2, second);
  EXPECT_EQ(CPoint(second->X, second->Y), CPoint(0, 1000));
  EXPECT_EQ(CPoint(apex->X, apex->Y), CPoint(100, 200));
  EXPECT_EQ(CPoint(apex->Next->X, apex->Next->Y), CPoint(110, 300));
  // Nothing happens without nodes.
  item.MoveLegEnd(nullptr, first);
  item.MoveLegEnd(to, nullptr);
  EXPECT_EQ(CPoint(first->X, first->Y), CPoint(1000, 200));
}

}  // namespace
