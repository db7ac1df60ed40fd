// Notch marks: the rectangle of a notch, its five shapes, its drawing per
// size, and keeping the notches on the outline when the outline changes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "model/items/all_items.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class NotchBaseTest : public ModelTest {
 protected:
  // Appends one notch: the point and the inner end given per size, the
  // mark shape, the width and angle node and the anchor node (the outline
  // vertex the notch belongs to, with its direction code).
  static CVertexNode* AddNotch(CPieceItem* item, const std::vector<CPoint>& points, const std::vector<CPoint>& inners,
                               uint32_t shape, int width, int angle, CPoint anchor, int code) {
    CVertexNode* first = item->AddTailVertex(points[0].x, points[0].y, 0);
    for (size_t s = 1; s < points.size(); ++s) item->AddTailVertex(points[s].x, points[s].y, kVertexKindCopy);
    item->AddTailVertex(inners[0].x, inners[0].y, shape | 1);
    for (size_t s = 1; s < inners.size(); ++s) item->AddTailVertex(inners[s].x, inners[s].y, kVertexKindCopy);
    item->AddTailVertex(width, angle, kVertexKindFixedSingle);
    item->AddTailVertex(anchor.x, anchor.y, static_cast<uint32_t>(code << 8) | kVertexKindMovedSingle);
    return first;
  }

  // A closed outline of corners; `sizes[s]` gives each vertex's position in
  // size s. Its curves are built, as they are before any notch upkeep.
  static void BuildOutline(CPieceItem0* outline, const std::vector<std::vector<CPoint>>& sizes) {
    for (size_t v = 0; v < sizes[0].size(); ++v) {
      outline->AddTailVertex(sizes[0][v].x, sizes[0][v].y, 0);
      for (size_t s = 1; s < sizes.size(); ++s) {
        outline->AddTailVertex(sizes[s][v].x, sizes[s][v].y, kVertexKindCopy);
      }
    }
    outline->SmoothCurves();
  }

  static CPoint PointOf(const CVertexNode* node) { return CPoint(node->X, node->Y); }

  static Lines Mark(uint32_t shape, const CPoint corners[4], double unitsPerPixel = 1.0) {
    RecordingDC dc;
    CPieceNotchItem::DrawNotchMark(&dc, shape, corners, unitsPerPixel, 0, 0);
    return dc.Lines();
  }
};

TEST_F(NotchBaseTest, TheNotchRectangleStandsOnTheSegmentFromBaseToTip) {
  struct Case {
    CPoint tip, base;
    int width;
    CPoint rightTip, leftTip, leftBase, rightBase;
  };
  const Case kCases[] = {
      {{0, 100}, {0, 0}, 40, {20, 100}, {-20, 100}, {-20, 0}, {20, 0}},
      {{100, 0}, {0, 0}, 40, {100, -20}, {100, 20}, {0, 20}, {0, -20}},
      // Half the width across a diagonal: 20 / sqrt 2 = 14.14 rounds to 14.
      {{110, 110}, {10, 10}, 40, {124, 96}, {96, 124}, {-4, 24}, {24, -4}},
      // No length: no direction to stand across, every corner on the point.
      {{7, 7}, {7, 7}, 40, {7, 7}, {7, 7}, {7, 7}, {7, 7}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.tip.x << "," << c.tip.y);
    CPoint corners[4];
    CPieceNotchItem::NotchMarkGeometry(c.tip.x, c.tip.y, c.base.x, c.base.y, c.width, corners);
    EXPECT_EQ(corners[0], c.rightTip);
    EXPECT_EQ(corners[1], c.leftTip);
    EXPECT_EQ(corners[2], c.leftBase);
    EXPECT_EQ(corners[3], c.rightBase);
  }
}

TEST_F(NotchBaseTest, FiveMarkShapes) {
  CPoint corners[4];
  CPieceNotchItem::NotchMarkGeometry(0, 100, 0, 0, 40, corners);
  const std::string pen = " pen=solid/1/0x000000";
  struct Case {
    uint32_t shape;
    Lines lines;
  };
  const Case kCases[] = {
      {0x100,
       {"MoveTo (0,100)", "LineTo (0,100)-(0,0)" + pen, "LineTo (0,0)-(0,1)" + pen, "MoveTo (-20,0)",
        "LineTo (-20,0)-(20,0)" + pen, "LineTo (20,0)-(20,1)" + pen}},
      {0x200,
       {"MoveTo (-20,100)", "LineTo (-20,100)-(0,0)" + pen, "LineTo (0,0)-(20,100)" + pen,
        "LineTo (20,100)-(20,101)" + pen}},
      // Deeper than half its width: sides shortened by half the width and a
      // half circle between their ends, round towards the inner end.
      {0x300,
       {"MoveTo (20,100)", "LineTo (20,100)-(20,20)" + pen, "LineTo (20,20)-(20,21)" + pen, "MoveTo (-20,100)",
        "LineTo (-20,100)-(-20,20)" + pen, "LineTo (-20,20)-(-20,21)" + pen,
        "Arc (-20,0,20,40) (20,20)-(-20,20)" + pen}},
      {0x400, {"MoveTo (0,100)", "LineTo (0,100)-(0,0)" + pen, "LineTo (0,0)-(0,1)" + pen}},
      {0x500,
       {"MoveTo (-20,100)", "LineTo (-20,100)-(-20,0)" + pen, "LineTo (-20,0)-(20,0)" + pen,
        "LineTo (20,0)-(20,100)" + pen, "LineTo (20,100)-(20,101)" + pen}},
      // Only bits 0x700 choose the shape; the rest of the flags are ignored.
      {0x400 | 0x41, {"MoveTo (0,100)", "LineTo (0,100)-(0,0)" + pen, "LineTo (0,0)-(0,1)" + pen}},
      {0x000, {}},
      {0x600, {}},
      {0x700, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.shape);
    EXPECT_EQ(Mark(c.shape, corners), c.lines);
  }
}

TEST_F(NotchBaseTest, AShallowUMarkIsOneArcThroughTheTipCornersAndTheInnerEnd) {
  CPoint corners[4];
  CPieceNotchItem::NotchMarkGeometry(0, 10, 0, 0, 40, corners);
  // The circle through (-20,10), (0,0) and (20,10) has its centre at (0,25).
  EXPECT_EQ(Mark(kNotchShapeU, corners), (Lines{"Arc (-25,0,25,50) (20,10)-(-20,10) pen=solid/1/0x000000"}));
}

TEST_F(NotchBaseTest, AUMarkNarrowerThanFourPixelsIsASingleLine) {
  CPoint corners[4];
  CPieceNotchItem::NotchMarkGeometry(0, 100, 0, 0, 40, corners);
  // 40 units at 20 units per pixel: two pixels wide.
  EXPECT_EQ(Mark(kNotchShapeU, corners, 20.0),
            (Lines{"MoveTo (0,5)", "LineTo (0,5)-(0,0) pen=solid/1/0x000000", "LineTo (0,0)-(0,1) pen=solid/1/0x000000"}));
}

TEST_F(NotchBaseTest, ANotchWithoutLengthDrawsEveryShapeSafely) {
  CPoint corners[4];
  CPieceNotchItem::NotchMarkGeometry(50, 50, 50, 50, 40, corners);
  for (uint32_t shape = 0x100; shape <= 0x500; shape += 0x100) {
    SCOPED_TRACE(shape);
    RecordingDC dc;
    CPieceNotchItem::DrawNotchMark(&dc, shape, corners, 1.0, 0, 0);
    ASSERT_FALSE(dc.calls().empty());
    // Every figure collapses onto the point (and the pixel below it).
    for (const DrawCall& call : dc.calls()) {
      EXPECT_NE(call.op, DrawCall::Op::kArc);
      for (CPoint p : call.points) {
        EXPECT_EQ(p.x, 50);
        EXPECT_TRUE(p.y == 50 || p.y == 51) << p.y;
      }
    }
  }
}

TEST_F(NotchBaseTest, MarksFarOffTheDeviceDrawWithoutOverflow) {
  AddSizes(2);
  constexpr int kMax = 0x7FFFFFFF;
  constexpr int kMin = -kMax - 1;
  CPieceItem13 item(nullptr, nullptr);
  for (uint32_t shape = 0x100; shape <= 0x500; shape += 0x100) {
    AddNotch(&item, {{kMax, kMax}, {kMin, kMax}}, {{kMin, kMin}, {kMax, kMin}}, shape, kMax, 0, {0, 0}, 3);
    AddNotch(&item, {{kMax, kMax}, {kMax, kMax}}, {{kMax - 30, kMax}, {kMax, kMax - 3}}, shape, 40, 0, {0, 0}, 3);
  }
  RecordingDC dc;
  for (double unitsPerPixel : {1.0, 0.001, 1e9}) item.DrawNotches(&dc, unitsPerPixel, kMin, kMax, PS_SOLID);
  EXPECT_FALSE(dc.calls().empty());
}

TEST_F(NotchBaseTest, EachVisibleSizeGetsItsMarkLastSizeFirst) {
  auto sizes = AddSizes(3);
  sizes[1]->Visible = 0;
  CPieceItem13 item(nullptr, nullptr);
  AddNotch(&item, {{0, 100}, {0, 200}, {0, 300}}, {{0, 0}, {0, 50}, {0, 60}}, kNotchShapeSlit, 40, 0, {0, 100}, 3);
  // A second notch with no mark shape draws nothing.
  AddNotch(&item, {{500, 100}, {500, 200}, {500, 300}}, {{500, 0}, {500, 50}, {500, 60}}, 0, 40, 0, {0, 100}, 3);
  RecordingDC dc;
  item.DrawNotches(&dc, 1.0, 0, 0, PS_DOT);
  EXPECT_EQ(dc.Lines(), (Lines{
                            "MoveTo (0,300)",
                            "LineTo (0,300)-(0,60) pen=dot/1/0x000030",
                            "LineTo (0,60)-(0,61) pen=dot/1/0x000030",
                            "MoveTo (0,100)",
                            "LineTo (0,100)-(0,0) pen=dot/1/0x000010",
                            "LineTo (0,0)-(0,1) pen=dot/1/0x000010",
                        }));
}

TEST_F(NotchBaseTest, ANotchCutShortByTheRingIsNotDrawn) {
  AddSizes(2);
  CPieceItem13 item(nullptr, nullptr);
  // The point group and the inner end, but no copy of the inner end and no
  // width node.
  CVertexNode* point = item.AddTailVertex(0, 100, 0);
  item.AddTailVertex(0, 200, kVertexKindCopy);
  item.AddTailVertex(0, 0, kNotchShapeT | 1);
  RecordingDC dc;
  item.DrawNotchEachSize(&dc, 1.0, 0, 0, point, PS_SOLID);
  item.DrawNotches(&dc, 1.0, 0, 0, PS_SOLID);
  EXPECT_TRUE(dc.calls().empty());
}

// A square outline (0,0) (1000,0) (1000,1000) (0,1000), in one size.
class NotchOutlineTest : public NotchBaseTest {
 protected:
  void SetUp() override {
    NotchBaseTest::SetUp();
    AddSizes(1);
    g_Style.SetScale(40);
    BuildOutline(&outline_, {{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}});
  }

  CPieceItem0 outline_{nullptr, nullptr};
};

TEST_F(NotchOutlineTest, TrimmingRemovesTheNotchesThatLeftTheOutline) {
  FakeShell shell;
  CPieceItem13 notches(nullptr, nullptr);
  AddNotch(&notches, {{500, 5}}, {{500, 105}}, kNotchShapeT, 40, 0, {0, 0}, 1);       // on it (5 < 8 units)
  AddNotch(&notches, {{500, 100}}, {{500, 200}}, kNotchShapeT, 40, 0, {0, 0}, 1);     // 2.5 mm inside
  AddNotch(&notches, {{1000, 300}}, {{900, 300}}, kNotchShapeT, 40, 0, {7, 7}, 1);    // no such outline vertex
  AddNotch(&notches, {{1000, 600}}, {{900, 600}}, kNotchShapeT, 40, 0, {1000, 0}, 1); // on it
  EXPECT_EQ(notches.TrimAgainstOutline(&outline_), 2);
  EXPECT_EQ(notches.VertexCount, 8);
  EXPECT_EQ(PointOf(notches.VertexHead), CPoint(500, 5));
  EXPECT_EQ(PointOf(NodeAt(&notches, 4)), CPoint(1000, 600));
  EXPECT_EQ(shell.calls, (std::vector<std::string>{"Redraw", "Redraw"}));
  // Nothing left to remove.
  EXPECT_EQ(notches.TrimAgainstOutline(&outline_), 0);
}

TEST_F(NotchOutlineTest, TrimmingTheLastNotchLeavesAnEmptyRing) {
  CPieceItem13 notches(nullptr, nullptr);
  AddNotch(&notches, {{500, 500}}, {{500, 600}}, kNotchShapeT, 40, 0, {0, 0}, 1);
  EXPECT_EQ(notches.TrimAgainstOutline(&outline_), 1);
  EXPECT_EQ(notches.VertexCount, 0);
  EXPECT_EQ(notches.VertexHead, nullptr);
  EXPECT_EQ(notches.TrimAgainstOutline(&outline_), 0);
}

TEST_F(NotchOutlineTest, TrimmingWithoutAnOutlineRemovesNothing) {
  CPieceItem13 notches(nullptr, nullptr);
  AddNotch(&notches, {{500, 500}}, {{500, 600}}, kNotchShapeT, 40, 0, {0, 0}, 1);
  EXPECT_EQ(notches.TrimAgainstOutline(nullptr), 0);
  CPieceItem7 notAnOutline(nullptr, nullptr);
  EXPECT_EQ(notches.TrimAgainstOutline(&notAnOutline), 0);
  EXPECT_EQ(notches.VertexCount, 4);
}

TEST_F(NotchOutlineTest, NotchesMeasuredOnTheOldOutlineArePlacedOnTheNewOne) {
  // The square is stretched to twice its width; vertex (0,0) stays.
  CPieceItem0 wider(nullptr, nullptr);
  BuildOutline(&wider, {{{0, 0}, {2000, 0}, {2000, 1000}, {0, 1000}}});
  CPieceItem13 notches(nullptr, nullptr);
  // By ratio (code 0) and by distance forward (code 1) from (0,0) to the
  // next corner, 300 of 1000 units along the bottom edge.
  const int inset = 100;
  CPoint inner;
  outline_.CalcNotchEndPoint(g_Style.SizeRing, 300, 0, inset, 0, &inner.x, &inner.y);
  CVertexNode* byRatio = AddNotch(&notches, {{300, 0}}, {inner}, kNotchShapeT, 40, 0, {0, 0}, 0);
  CVertexNode* byDistance = AddNotch(&notches, {{300, 0}}, {inner}, kNotchShapeT, 40, 0, {0, 0}, 1);

  notches.UpdateNotchesFromOutline(&outline_, &wider, 0);

  ASSERT_EQ(notches.VertexCount, 8);
  struct Expect {
    CVertexNode* point;
    CPoint at;
  };
  for (const Expect& e : {Expect{byRatio, {600, 0}}, Expect{byDistance, {300, 0}}}) {
    SCOPED_TRACE(e.at.x);
    EXPECT_EQ(PointOf(e.point), e.at);
    CPoint expectedInner;
    wider.CalcNotchEndPoint(g_Style.SizeRing, e.at.x, e.at.y, inset, 0, &expectedInner.x, &expectedInner.y);
    EXPECT_EQ(PointOf(e.point->Next), expectedInner);
    EXPECT_NEAR(std::hypot(expectedInner.x - e.at.x, expectedInner.y - e.at.y), inset, 1.0);
    // The anchor holds the outline vertex as found on the new outline.
    EXPECT_EQ(PointOf(e.point->Next->Next->Next), CPoint(0, 0));
  }
}

TEST_F(NotchOutlineTest, ByPlaceTheNotchFollowsItsVertexToItsNewPosition) {
  // The outline moved 5000 units to the right: no vertex keeps its
  // position, each keeps its place in the ring.
  CPieceItem0 moved(nullptr, nullptr);
  BuildOutline(&moved, {{{5000, 0}, {6000, 0}, {6000, 1000}, {5000, 1000}}});
  CPieceItem13 notches(nullptr, nullptr);
  CPoint inner;
  outline_.CalcNotchEndPoint(g_Style.SizeRing, 1000, 400, 100, 0, &inner.x, &inner.y);
  CVertexNode* point = AddNotch(&notches, {{1000, 400}}, {inner}, kNotchShapeV, 40, 0, {1000, 0}, 4);

  notches.UpdateNotchesFromOutline(&outline_, &moved, 1);

  ASSERT_EQ(notches.VertexCount, 4);
  EXPECT_EQ(PointOf(point), CPoint(6000, 400));
  EXPECT_EQ(PointOf(point->Next), CPoint(inner.x + 5000, inner.y));
  EXPECT_EQ(PointOf(point->Next->Next->Next), CPoint(6000, 0));
  // Width, angle and shape are the notch's own and stay.
  EXPECT_EQ(point->Next->Next->X, 40);
  EXPECT_EQ(point->Next->Flags & kNotchShapeMask, kNotchShapeV);
}

TEST_F(NotchOutlineTest, NotchesOffTheOldOutlineOrWithoutTheirVertexOnTheNewOneAreRemoved) {
  FakeShell shell;
  // The new outline has lost vertex (1000,1000).
  CPieceItem0 triangle(nullptr, nullptr);
  BuildOutline(&triangle, {{{0, 0}, {1000, 0}, {0, 1000}}});
  CPieceItem13 notches(nullptr, nullptr);
  AddNotch(&notches, {{400, 0}}, {{400, 100}}, kNotchShapeT, 40, 0, {0, 0}, 1);          // stays
  AddNotch(&notches, {{600, 1000}}, {{600, 900}}, kNotchShapeT, 40, 0, {1000, 1000}, 1); // its vertex is gone
  AddNotch(&notches, {{300, 300}}, {{300, 200}}, kNotchShapeT, 40, 0, {0, 0}, 1);        // never on the outline
  notches.UpdateNotchesFromOutline(&outline_, &triangle, 0);
  ASSERT_EQ(notches.VertexCount, 4);
  EXPECT_EQ(PointOf(notches.VertexHead), CPoint(400, 0));
  EXPECT_EQ(shell.calls.size(), 2u);
}

TEST_F(NotchOutlineTest, DamagedNotchesAreLeftAloneByThePlacingAndJudgedOnTheOutline) {
  CPieceItem13 notches(nullptr, nullptr);
  // A notch whose anchor carries no direction code the outline knows, and
  // a notch cut short by the end of the ring (no anchor node).
  CVertexNode* odd = AddNotch(&notches, {{400, 0}}, {{400, 100}}, kNotchShapeT, 40, 0, {0, 0}, 9);
  notches.AddTailVertex(700, 0, 0);
  notches.AddTailVertex(700, 100, kNotchShapeT | 1);
  notches.AddTailVertex(40, 0, kVertexKindFixedSingle);
  notches.UpdateNotchesFromOutline(&outline_, &outline_, 0);
  // The first stays as it was; the second has no anchor to be found by.
  ASSERT_EQ(notches.VertexCount, 4);
  EXPECT_EQ(PointOf(odd), CPoint(400, 0));
  EXPECT_EQ(PointOf(odd->Next), CPoint(400, 100));
}

TEST_F(NotchOutlineTest, EveryGradedSizeKeepsItsPlaceOnItsOwnCurve) {
  ClearStyle();
  AddSizes(2);
  g_Style.SetScale(40);
  // Size 1 of both outlines is twice as large; the new outline stretches
  // the bottom edge of each size to twice its length.
  CPieceItem0 before(nullptr, nullptr);
  BuildOutline(&before, {{{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}, {{0, 0}, {2000, 0}, {2000, 2000}, {0, 2000}}});
  CPieceItem0 after(nullptr, nullptr);
  BuildOutline(&after, {{{0, 0}, {2000, 0}, {2000, 1000}, {0, 1000}}, {{0, 0}, {4000, 0}, {4000, 2000}, {0, 2000}}});
  CPieceItem13 notches(nullptr, nullptr);
  CPoint inner0, inner1;
  CSizeRecord* size0 = g_Style.SizeRing;
  CSizeRecord* size1 = size0->Next;
  before.CalcNotchEndPoint(size0, 250, 0, 100, 0, &inner0.x, &inner0.y);
  before.CalcNotchEndPoint(size1, 500, 0, 100, 0, &inner1.x, &inner1.y);
  CVertexNode* point = AddNotch(&notches, {{250, 0}, {500, 0}}, {inner0, inner1}, kNotchShapeT, 40, 0, {0, 0}, 0);

  notches.UpdateNotchesFromOutline(&before, &after, 0);

  ASSERT_EQ(notches.VertexCount, 6);
  EXPECT_EQ(PointOf(point), CPoint(500, 0));
  EXPECT_EQ(PointOf(point->Next), CPoint(1000, 0));
}

}  // namespace
