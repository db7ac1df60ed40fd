// The internal lines: closed (types 8, 14) and open (types 9, 15) curves,
// the pen that the line attribute picks, their vertex marks when selected,
// and turning an open line round.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/items/all_items.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class InternalLineTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    sizes_ = AddSizes(2);
  }

  // A line through (0,0) and (100,50), corners that are key vertices, and
  // (100,0), a corner that is a curve vertex (no spline anywhere); size 1
  // lies 10 right and 100 lower. Its curves are built.
  template <typename Item>
  static std::unique_ptr<Item> MakeLine(int32_t tag = 1) {
    auto item = std::make_unique<Item>(nullptr, nullptr);
    item->Tag = tag;
    AddGraded(item.get(), 0, 0, 0);
    AddGraded(item.get(), 100, 0, 2);
    AddGraded(item.get(), 100, 50, 0);
    item->SmoothCurves();
    return item;
  }

  static std::unique_ptr<CPieceCurveItem> MakeOfType(int type, int32_t tag) {
    switch (type) {
      case 8: return MakeLine<CPieceItem8>(tag);
      case 9: return MakeLine<CPieceItem9>(tag);
      case 14: return MakeLine<CPieceItem14>(tag);
      default: return MakeLine<CPieceItem15>(tag);
    }
  }

  std::vector<CSizeRecord*> sizes_;
};

TEST_F(InternalLineTest, TheLineAttributePicksThePenOfTypes8And9) {
  struct Case {
    int32_t attribute;
    int curveMode;
    int pen;
  };
  const Case kCases[] = {
      {0, 1, PS_DOT},   {0, 0, PS_SOLID}, {1, 1, PS_SOLID}, {2, 1, PS_DASH},     {3, 0, PS_DOT},
      {4, 1, PS_DASHDOT}, {5, 1, PS_SOLID}, {6, 0, PS_DOT},   {15, 0, PS_DOT},
      // Only the low four bits are the line attribute: 44 (a grade reference
      // line) is attribute 12, 0x32 attribute 2.
      {44, 0, PS_DOT},  {0x32, 1, PS_DASH},
  };
  for (const Case& c : kCases) {
    for (int type : {8, 9}) {
      SCOPED_TRACE(std::to_string(type) + " attribute " + std::to_string(c.attribute) + " mode " +
                   std::to_string(c.curveMode));
      g_OptCurveMode = c.curveMode;
      auto item = MakeOfType(type, c.attribute);
      RecordingDC dc;
      item->Draw(&dc, 1.0, 0, 0, nullptr);
      ASSERT_EQ(dc.calls().size(), 2u);
      for (const DrawCall& call : dc.calls()) EXPECT_EQ(call.state.pen.style(), c.pen);
    }
  }
}

TEST_F(InternalLineTest, Types14And15AreAlwaysSolid) {
  for (int32_t attribute : {0, 2, 3, 4, 9}) {
    for (int type : {14, 15}) {
      SCOPED_TRACE(std::to_string(type) + " attribute " + std::to_string(attribute));
      auto item = MakeOfType(type, attribute);
      RecordingDC dc;
      item->Draw(&dc, 1.0, 0, 0, nullptr);
      ASSERT_EQ(dc.calls().size(), 2u);
      for (const DrawCall& call : dc.calls()) EXPECT_EQ(call.state.pen.style(), PS_SOLID);
    }
  }
}

TEST_F(InternalLineTest, ClosedLinesArePolygonsAndOpenLinesPolylinesInEachVisibleSize) {
  struct Case {
    int type;
    const char* figure;
  };
  for (const Case& c : {Case{8, "Polygon"}, Case{14, "Polygon"}, Case{9, "Polyline"}, Case{15, "Polyline"}}) {
    SCOPED_TRACE(c.type);
    auto item = MakeOfType(c.type, 1);
    RecordingDC dc;
    dc.SetBkColor(0x123456);
    item->Draw(&dc, 1.0, 0, 0, nullptr);
    const std::string figure = c.figure;
    const std::string brush = c.type == 8 || c.type == 14 ? " brush=hollow" : "";
    EXPECT_EQ(dc.Lines(), (Lines{
                              figure + " (10,100)-(110,100)-(110,150) pen=solid/1/0x000020" + brush,
                              figure + " (0,0)-(100,0)-(100,50) pen=solid/1/0x000010" + brush,
                          }));
    for (const DrawCall& call : dc.calls()) EXPECT_EQ(call.state.bk_color, 0xFFFFFFu);
    EXPECT_EQ(dc.GetBkColor(), 0x123456u) << "the device context is restored";
    EXPECT_EQ(dc.state().pen.color(), 0u);
  }
}

TEST_F(InternalLineTest, HiddenSizesEmptyCurvesAndUnbuiltCurvesAreSkipped) {
  auto item = MakeLine<CPieceItem8>();
  sizes_[1]->Visible = 0;
  RecordingDC dc;
  item->Draw(&dc, 1.0, 0, 0, nullptr);
  ASSERT_EQ(dc.calls().size(), 1u);
  EXPECT_EQ(dc.calls()[0].state.pen.color(), 0x10u);

  CPieceItem9 unbuilt(nullptr, nullptr);
  AddGraded(&unbuilt, 0, 0, 0);
  AddGraded(&unbuilt, 10, 0, 0);
  CPieceItem9 empty(nullptr, nullptr);
  empty.SmoothCurves();
  dc.Clear();
  unbuilt.Draw(&dc, 1.0, 0, 0, nullptr);
  unbuilt.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  empty.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(InternalLineTest, SelectedLinesShowTheVertexMarksTheSwitchesAllow) {
  FakeShell shell;  // the work window's client area holds every point
  sizes_[1]->Visible = 0;
  struct Case {
    int type;
    int keyMarks, curveMarks, marks8And9;
    Lines marks;  // after the line itself
  };
  const std::string key0 = "Rectangle (-2,-2,3,3) pen=solid/1/0x000010 brush=0x000010";
  const std::string key2 = "Rectangle (98,48,103,53) pen=solid/1/0x000010 brush=0x000010";
  const std::string curve1 = "Ellipse (98,-2,102,2) pen=solid/1/0x000010 brush=0x000010";
  const Case kCases[] = {
      {8, 1, 1, 1, {key0, curve1, key2}},
      {9, 1, 0, 1, {key0, key2}},
      {9, 0, 1, 1, {curve1}},
      {8, 1, 1, 0, {}},  // types 8 and 9 keep their marks to themselves
      {9, 0, 0, 1, {}},  // no mark switch: the plain line
      {14, 1, 1, 0, {key0, curve1, key2}},
      {15, 0, 1, 0, {curve1}},
      {15, 0, 0, 1, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.keyMarks) + std::to_string(c.curveMarks) +
                 std::to_string(c.marks8And9));
    g_DrawFlagKeyVertexMarks = c.keyMarks;
    g_DrawFlagCurveVertexMarks = c.curveMarks;
    g_DrawFlagMarksType8And9 = c.marks8And9;
    auto item = MakeOfType(c.type, 1);
    RecordingDC dc;
    item->DrawSelected(&dc, 1.0, 0, 0, nullptr);
    Lines lines = dc.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].find(c.type == 8 || c.type == 14 ? "Polygon" : "Polyline"), 0u);
    EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), c.marks);
    RecordingDC plain;
    item->Draw(&plain, 1.0, 0, 0, nullptr);
    EXPECT_EQ(plain.Lines()[0], lines[0]);
  }
}

TEST_F(InternalLineTest, CurveVertexCirclesOutsideTheWorkWindowShowOnlyWhenPrinting) {
  FakeShell shell;
  shell.client = CRect(0, 0, 50, 50);  // (100, 0) lies outside
  sizes_[1]->Visible = 0;
  g_DrawFlagKeyVertexMarks = 0;
  g_DrawFlagCurveVertexMarks = 1;
  auto item = MakeLine<CPieceItem15>();
  RecordingDC screen;
  item->DrawSelected(&screen, 1.0, 0, 0, nullptr);
  EXPECT_EQ(screen.calls().size(), 1u);
  RecordingDC printer;
  printer.SetPrinting(TRUE);
  item->DrawSelected(&printer, 1.0, 0, 0, nullptr);
  ASSERT_EQ(printer.calls().size(), 2u);
  EXPECT_EQ(printer.calls()[1].op, DrawCall::Op::kEllipse);
}

TEST_F(InternalLineTest, ReversingAnOpenLineKeepsEachVertexWithItsSizes) {
  CPieceItem9 line(nullptr, nullptr);
  AddGraded(&line, 0, 0, 0);
  AddGraded(&line, 50, 5, 1);
  AddGraded(&line, 100, 0, 3);
  line.ReverseDirection();
  struct Node {
    int kind;
    int32_t x, y;
  };
  const Node kExpected[] = {{3, 100, 0}, {64, 110, 100}, {1, 50, 5}, {64, 60, 105}, {0, 0, 0}, {64, 10, 100}};
  ASSERT_EQ(line.VertexCount, 6);
  CVertexNode* node = line.VertexHead;
  for (const Node& e : kExpected) {
    EXPECT_EQ(node->Kind(), e.kind);
    EXPECT_EQ(node->X, e.x);
    EXPECT_EQ(node->Y, e.y);
    EXPECT_EQ(node->Next->Prev, node);
    node = node->Next;
  }
  EXPECT_EQ(node, line.VertexHead) << "the ring is closed";

  // Turned round twice it is the line it was.
  line.ReverseDirection();
  const Node kOriginal[] = {{0, 0, 0}, {64, 10, 100}, {1, 50, 5}, {64, 60, 105}, {3, 100, 0}, {64, 110, 100}};
  node = line.VertexHead;
  for (const Node& e : kOriginal) {
    EXPECT_EQ(node->Kind(), e.kind);
    EXPECT_EQ(node->X, e.x);
    EXPECT_EQ(node->Y, e.y);
    node = node->Next;
  }

  CPieceItem9 empty(nullptr, nullptr);
  empty.ReverseDirection();
  EXPECT_EQ(empty.VertexHead, nullptr);
}

}  // namespace
