// The piece outline drawn on a real canvas: every visible size as a hollow
// outline in its colour, the first size on top.
#include <gtest/gtest.h>

#include <QImage>

#include "../support/model_fixture.h"
#include "model/items/outline_item.h"
#include "platform/qt/canvas_dc.h"

namespace {

class OutlineCanvasTest : public ModelTest {};

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;    // COLORREF 0x0000FF
constexpr QRgb kGreen = 0xFF00FF00;  // COLORREF 0x00FF00

TEST_F(OutlineCanvasTest, SizesAreHollowOutlinesWithTheFirstSizeOnTop) {
  g_Style.AddSize(new CSizeRecord("S", 0, 0, 0x0000FF, 1));
  g_Style.AddSize(new CSizeRecord("M", 1, 0, 0x00FF00, 1));
  // Size 0 a square of 40 pixels, size 1 one of 50 sharing its top-left part.
  CPieceItem0 outline(nullptr, nullptr);
  const CPoint small[] = {{10, 10}, {50, 10}, {50, 50}, {10, 50}};
  const CPoint large[] = {{10, 10}, {60, 10}, {60, 60}, {10, 60}};
  for (int i = 0; i < 4; ++i) {
    outline.AddTailVertex(small[i].x, small[i].y, 0);
    outline.AddTailVertex(large[i].x, large[i].y, 64);
  }
  outline.SmoothCurves();

  QImage image(80, 80, QImage::Format_RGB32);
  image.fill(kWhite);
  QtCanvasDC dc(image);
  outline.Draw(&dc, 1.0, 0, 0, nullptr);

  EXPECT_EQ(image.pixel(30, 10), kRed) << "shared edge: size 0 drawn last";
  EXPECT_EQ(image.pixel(10, 30), kRed);
  EXPECT_EQ(image.pixel(55, 10), kGreen);
  EXPECT_EQ(image.pixel(60, 30), kGreen);
  EXPECT_EQ(image.pixel(50, 30), kRed);
  EXPECT_EQ(image.pixel(30, 30), kWhite) << "the outline is not filled";
  EXPECT_EQ(image.pixel(55, 55), kWhite);
}

}  // namespace
