// The cross marker: a fixed-size symbol at the ring's head point, its centre
// dot, and its discs kept to the work window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/cross_marker_item.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class CrossMarkerTest : public ModelTest {
 protected:
  FakeShell shell_;  // client area (0, 0, 800, 600)
};

// The symbol's calls about the device point (x, y), without the centre dot.
std::vector<std::string> Symbol(int x, int y) {
  const std::string pen = " pen=solid/1/0xFF4000";
  const auto p = [](int px, int py) { return "(" + std::to_string(px) + "," + std::to_string(py) + ")"; };
  const int strokes[][4] = {
      {-12, 0, 13, 0},  {0, -12, 0, 13}, {-12, 0, -8, 4},  {-12, 0, -8, -4}, {12, 0, 8, 4},
      {12, 0, 8, -4},   {0, -12, 4, -8}, {0, -12, -4, -8}, {0, 12, 4, 8},    {0, 12, -4, 8},
  };
  std::vector<std::string> lines;
  for (const auto& s : strokes) {
    lines.push_back("MoveTo " + p(x + s[0], y + s[1]));
    lines.push_back("LineTo " + p(x + s[0], y + s[1]) + "-" + p(x + s[2], y + s[3]) + pen);
  }
  lines.push_back("Ellipse (" + std::to_string(x - 7) + "," + std::to_string(y - 7) + "," + std::to_string(x + 7) +
                  "," + std::to_string(y + 7) + ")" + pen + " brush=0xFFFF00");
  return lines;
}

TEST_F(CrossMarkerTest, DrawsTheArrowCrossOverAFilledDiscAtTheHeadPoint) {
  AddSizes(3);
  CPieceItem27 marker(nullptr, nullptr);
  marker.AddTailVertex(400, 200, 0);
  marker.AddTailVertex(0, 0, 0);  // further nodes are not drawn
  RecordingDC dc;
  dc.SetBkColor(0x123456);
  marker.Draw(&dc, 2.0, 0, 0, nullptr);
  EXPECT_EQ(dc.Lines(), Symbol(200, 100));
  // Drawn on a white background, then the device context is as it was.
  EXPECT_EQ(dc.calls()[0].state.bk_color, 0xFFFFFFu);
  EXPECT_EQ(dc.state().bk_color, 0x123456u);
  EXPECT_EQ(dc.state().pen.color(), 0u);
  EXPECT_FALSE(dc.state().brush.hollow());
  EXPECT_EQ(dc.state().brush.color(), 0xFFFFFFu);
}

TEST_F(CrossMarkerTest, TheDotAddsARedDiscInTheCentre) {
  AddSizes(1);
  CPieceItem27 marker(nullptr, nullptr);
  marker.AddTailVertex(100, 100, 0);
  marker.Dot = 1;
  RecordingDC dc;
  marker.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  std::vector<std::string> expected = Symbol(100, 100);
  expected.push_back("Ellipse (96,96,104,104) pen=solid/1/0xFF4000 brush=0x0000FF");
  EXPECT_EQ(dc.Lines(), expected);
}

TEST_F(CrossMarkerTest, KeepsItsPixelSizeAtEveryScale) {
  AddSizes(1);
  CPieceItem27 marker(nullptr, nullptr);
  marker.AddTailVertex(1000, 2000, 0);
  for (double unitsPerPixel : {5.0, 10.0, 20.0}) {
    SCOPED_TRACE(unitsPerPixel);
    RecordingDC dc;
    marker.Draw(&dc, unitsPerPixel, 0, 0, nullptr);
    EXPECT_EQ(dc.Lines(), Symbol(static_cast<int>(1000 / unitsPerPixel), static_cast<int>(2000 / unitsPerPixel)));
  }
}

TEST_F(CrossMarkerTest, OffTheWorkWindowTheDiscsAreLeftOutUnlessPrinting) {
  AddSizes(1);
  CPieceItem27 marker(nullptr, nullptr);
  marker.AddTailVertex(900, 100, 0);  // right of the 800-pixel client area
  marker.Dot = 1;
  RecordingDC screen;
  marker.Draw(&screen, 1.0, 0, 0, nullptr);
  std::vector<std::string> cross = Symbol(900, 100);
  cross.pop_back();
  EXPECT_EQ(screen.Lines(), cross);

  RecordingDC printer;
  printer.SetPrinting(true);
  marker.Draw(&printer, 1.0, 0, 0, nullptr);
  EXPECT_EQ(printer.calls().size(), cross.size() + 2);
}

TEST_F(CrossMarkerTest, WithoutVerticesNothingIsDrawnAndTheDeviceIsUnchanged) {
  AddSizes(1);
  CPieceItem27 marker(nullptr, nullptr);
  RecordingDC dc;
  dc.SetBkColor(0x123456);
  marker.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  EXPECT_EQ(dc.state().bk_color, 0x123456u);
  // It adds nothing to an extent.
  int minX = 7, maxX = 7, minY = 7, maxY = 7;
  marker.GetExtent(1, &minX, &maxX, &minY, &maxY);
  EXPECT_EQ(minX + maxX + minY + maxY, 28);
}

}  // namespace

namespace {

TEST_F(CrossMarkerTest, ExtremePointsDrawSafely) {
  AddSizes(1);
  for (int32_t v : {INT32_MIN, INT32_MAX}) {
    CPieceItem27 marker(nullptr, nullptr);
    marker.AddTailVertex(v, v, 0);
    marker.Dot = 1;
    RecordingDC dc;
    dc.SetPrinting(true);
    const int32_t far = v == INT32_MIN ? INT32_MAX : INT32_MIN;
    marker.Draw(&dc, 1e-9, far, far, nullptr);
    EXPECT_EQ(dc.calls().size(), 22u);
  }
}

}  // namespace
