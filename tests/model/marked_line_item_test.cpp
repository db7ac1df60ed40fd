// The smoothed marked line: its derived ring and smoothing, its drawing in
// fixed colours with vertex marks and labels, its extent, and picking on it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/marked_line_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "platform/recording_dc.h"
#include "support/model_fixture.h"

namespace {

class MarkedLineTest : public ModelTest {
 protected:
  // A line along y = 0 with a labelled corner at each end, a curve vertex
  // and a plain corner between; the ring built without smoothing.
  static void BuildStraight(CPieceItem26* line) {
    line->AddTailVertex(0, 0, kMarkedLineCodeOne);
    line->AddTailVertex(100, 0, 1);
    line->AddTailVertex(200, 0, 0);
    line->AddTailVertex(300, 0, kMarkedLineCodeThree);
    line->RebuildRing();
  }

  static std::vector<std::pair<CPoint, int>> Ring(const CPieceItem26& line) {
    std::vector<std::pair<CPoint, int>> nodes;
    const CVertexNode* node = line.DerivedRing->Head;
    for (int i = 0; i < line.DerivedRing->Count; ++i, node = node->Next) {
      nodes.push_back({CPoint(node->X, node->Y), node->Kind()});
    }
    return nodes;
  }
};

TEST_F(MarkedLineTest, DrawsTheLineMarksAndLabelsInFixedColours) {
  AddSizes(3);
  CPieceItem26 line(nullptr, nullptr);
  BuildStraight(&line);
  line.MarkShape = 1;
  line.MarkedNode = std::make_unique<CVertexNode>();
  line.MarkedNode->X = 150;
  line.MarkedNode->Y = 50;
  RecordingDC dc;
  dc.SetBkColor(0x123456);
  line.Draw(&dc, 1.0, 0, 0, nullptr);
  const std::string pen = " pen=solid/1/0xFF4000";
  const std::string fill = pen + " brush=0xFFFF00";
  const std::string label = " font=16/0 color=0x0000FF bk=0xFFFFFF align=2";
  EXPECT_EQ(dc.Lines(), (std::vector<std::string>{
                            "Polyline (0,0)-(100,0)-(200,0)-(300,0)" + pen,
                            "Polygon (0,-3)-(9,0)-(0,3)-(-9,0)" + fill,
                            "TextOut (-10,-10) \"1\"" + label,
                            "Ellipse (98,-2,102,2)" + fill,
                            "Polygon (300,-3)-(309,0)-(300,3)-(291,0)" + fill,
                            "TextOut (290,-10) \"3\"" + label,
                            "Polygon (150,47)-(159,50)-(150,53)-(141,50)" + fill,
                        }));
  // The line is drawn without a fill, and the device context is as it was.
  EXPECT_TRUE(dc.calls()[0].state.brush.hollow());
  EXPECT_EQ(dc.state().bk_color, 0x123456u);
  EXPECT_EQ(dc.state().text_align, TA_LEFT);
  EXPECT_EQ(dc.state().pen.color(), 0u);

  dc.Clear();
  line.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.calls().size(), 7u);
}

TEST_F(MarkedLineTest, MarkShapesAndPenColour) {
  AddSizes(1);
  struct Case {
    int32_t shape;
    int32_t penSelector;
    std::string mark;  // at the corner labelled "1", at (0, 0)
  };
  const Case kCases[] = {
      {1, 1, "Polygon (0,-3)-(9,0)-(0,3)-(-9,0) pen=solid/1/0xFF4000 brush=0xFFFF00"},
      {0x102, 1, "Polygon (3,0)-(0,9)-(-3,0)-(0,-9) pen=solid/1/0xFF4000 brush=0xFFFF00"},
      {3, 0, "Rectangle (-4,-4,5,5) pen=solid/1/0x00FF00 brush=0xFFFF00"},
      {4, 0, ""},
      {0, 1, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.shape);
    CPieceItem26 line(nullptr, nullptr);
    line.AddTailVertex(0, 0, kMarkedLineCodeOne);
    line.AddTailVertex(100, 0, 0);
    line.RebuildRing();
    line.MarkShape = c.shape;
    line.PenSelector = c.penSelector;
    RecordingDC dc;
    line.Draw(&dc, 1.0, 0, 0, nullptr);
    ASSERT_GE(dc.calls().size(), 2u);
    EXPECT_EQ(dc.calls()[0].state.pen.color(), c.penSelector == 0 ? 0x00FF00u : 0xFF4000u);
    const std::string second = dc.Lines()[1];
    if (c.mark.empty()) {
      EXPECT_EQ(second.rfind("TextOut", 0), 0u) << second;
    } else {
      EXPECT_EQ(second, c.mark);
    }
  }
}

TEST_F(MarkedLineTest, NothingIsDrawnWhileSwitchedOffOrBeforeTheRingIsBuilt) {
  AddSizes(1);
  CPieceItem26 line(nullptr, nullptr);
  line.AddTailVertex(0, 0, kMarkedLineCodeOne);
  line.AddTailVertex(100, 0, 1);
  RecordingDC dc;
  line.Draw(&dc, 1.0, 0, 0, nullptr);  // no derived ring yet
  EXPECT_TRUE(dc.calls().empty());

  line.RebuildRing();
  g_DrawFlagType26 = 0;
  line.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  EXPECT_EQ(dc.state().text_color, 0u);
  EXPECT_EQ(dc.state().text_align, TA_LEFT);
}

TEST_F(MarkedLineTest, ExtentLeavesRoomForTheLabelsWhileTheFirstSizeShows) {
  auto sizes = AddSizes(2);
  CPieceItem26 line(nullptr, nullptr);
  int minX = 1, maxX = 2, minY = 3, maxY = 4;
  line.GetExtent(1, &minX, &maxX, &minY, &maxY);  // no ring: untouched
  EXPECT_EQ(minX + maxX + minY + maxY, 10);

  BuildStraight(&line);
  line.GetDrawExtent(sizes[1], &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, -900);
  EXPECT_EQ(maxX, 300);
  EXPECT_EQ(minY, -300);
  EXPECT_EQ(maxY, 0);

  sizes[0]->Visible = 0;
  line.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX, kBoxEmptyMin);
  EXPECT_EQ(maxX, kExtentEmptyMax);
  EXPECT_EQ(minY, kBoxEmptyMin);
  EXPECT_EQ(maxY, kExtentEmptyMax);
}

TEST_F(MarkedLineTest, RebuildTakesTheMainVerticesOnly) {
  AddSizes(2);
  CPieceItem26 line(nullptr, nullptr);
  AddGraded(&line, 0, 0, 0);
  line.AddTailVertex(5, 5, kVertexKindParameter);
  AddGraded(&line, 100, 0, 2);
  line.RebuildRing();
  EXPECT_EQ(Ring(line), (std::vector<std::pair<CPoint, int>>{{{0, 0}, 0}, {{100, 0}, 2}}));
}

TEST_F(MarkedLineTest, SmoothingPutsSplinePointsBetweenTheVerticesOfSmoothRuns) {
  AddSizes(1);
  CPieceItem26 line(nullptr, nullptr);
  line.AddTailVertex(0, 0, 0);
  line.AddTailVertex(1000, 1000, 1);
  line.AddTailVertex(2000, 0, 0);
  line.AddTailVertex(3000, 0, 0);  // the run between the two last corners is straight
  line.Smooth();
  const auto ring = Ring(line);
  ASSERT_GT(ring.size(), 4u);
  // The vertices keep their order, with spline points (kind 100) only
  // between the first three, and every spline point on the arch.
  std::vector<CPoint> vertices;
  size_t lastVertex = 0;
  for (size_t i = 0; i < ring.size(); ++i) {
    if (ring[i].second == kVertexKindGraded) {
      EXPECT_LT(vertices.size(), 3u) << "a spline point past the curve at " << i;
      EXPECT_GT(ring[i].first.y, 0);
      EXPECT_GT(ring[i].first.x, 0);
      EXPECT_LT(ring[i].first.x, 2000);
    } else {
      vertices.push_back(ring[i].first);
      lastVertex = i;
    }
  }
  EXPECT_EQ(vertices, (std::vector<CPoint>{{0, 0}, {1000, 1000}, {2000, 0}, {3000, 0}}));
  EXPECT_EQ(lastVertex, ring.size() - 1);
  // Points go up to the top of the arch, then down.
  bool pastTop = false;
  for (size_t i = 0; i + 1 < ring.size(); ++i) {
    if (ring[i].first == CPoint(1000, 1000)) pastTop = true;
    EXPECT_GT(ring[i + 1].first.x, ring[i].first.x);
    if (!pastTop) {
      EXPECT_GE(ring[i + 1].first.y, ring[i].first.y);
    }
  }
}

TEST_F(MarkedLineTest, RingsOfTwoNodesAreNotSmoothed) {
  AddSizes(1);
  CPieceItem26 line(nullptr, nullptr);
  line.AddTailVertex(0, 0, 1);
  line.AddTailVertex(1000, 1000, 1);
  line.Smooth();
  EXPECT_EQ(line.DerivedRing->Count, 2);

  // Without sizes there is no ring at all.
  ClearStyle();
  line.Smooth();
  EXPECT_EQ(line.DerivedRing, nullptr);
}

TEST_F(MarkedLineTest, PickingOnTheRing) {
  AddSizes(2);  // scale 40: 1 mm plus 1 reaches 80 units
  CPieceItem26 line(nullptr, nullptr);
  CVertexNode* a = AddGraded(&line, 0, 0, 0);
  CVertexNode* b = AddGraded(&line, 1000, 0, 0);
  CVertexNode* c = AddGraded(&line, 1000, 1000, 0);
  line.RebuildRing();
  EXPECT_EQ(line.GetRingPoints(), (std::vector<CPoint>{{0, 0}, {1000, 0}, {1000, 1000}}));

  CVertexNode* ringHead = line.DerivedRing->Head;
  EXPECT_EQ(line.HitTestRing(500, 70, 1.0), ringHead);
  EXPECT_EQ(line.HitTestRing(1070, 500, 1.0), ringHead->Next);
  EXPECT_EQ(line.HitTestRing(500, 90, 1.0), nullptr);
  EXPECT_EQ(line.HitTestRing(500, 500, 1.0), nullptr);  // the line is open: no segment back to the start

  EXPECT_EQ(line.MapRingNodeToMainVertex(ringHead), a);
  EXPECT_EQ(line.MapRingNodeToMainVertex(ringHead->Next), b);
  EXPECT_EQ(line.MapRingNodeToMainVertex(ringHead->Next->Next), c);
  CVertexNode stray;
  stray.X = 1000;
  stray.Y = 0;
  EXPECT_EQ(line.MapRingNodeToMainVertex(&stray), b);  // by position and kind
  stray.Flags = 2;
  EXPECT_EQ(line.MapRingNodeToMainVertex(&stray), nullptr);
}

}  // namespace

namespace {

TEST_F(MarkedLineTest, ExtremeValuesSmoothDrawAndMeasureSafely) {
  AddSizes(1);
  CPieceItem26 line(nullptr, nullptr);
  line.AddTailVertex(INT32_MIN, INT32_MIN, kMarkedLineCodeOne);
  line.AddTailVertex(INT32_MAX, 0, 1);
  line.AddTailVertex(0, INT32_MAX, 1);
  line.AddTailVertex(INT32_MIN, INT32_MAX, kMarkedLineCodeThree);
  line.MarkShape = 3;
  line.MarkedNode = std::make_unique<CVertexNode>();
  line.MarkedNode->X = INT32_MAX;
  line.Smooth();
  ASSERT_NE(line.DerivedRing, nullptr);
  for (double unitsPerPixel : {1.0, 1e-9, 0.0}) {
    RecordingDC dc;
    line.Draw(&dc, unitsPerPixel, INT32_MAX, INT32_MIN, nullptr);
    EXPECT_FALSE(dc.calls().empty());
  }
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  line.GetExtent(0, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(maxX, INT32_MAX);
  EXPECT_NE(line.HitTestRing(0, 0, 1e300), nullptr);
}

}  // namespace
