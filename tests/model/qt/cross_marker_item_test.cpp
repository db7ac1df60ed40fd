// The cross marker on a real canvas: the arrow cross in its blue pen, the
// cyan disc over its middle and the red centre dot on top.
#include <gtest/gtest.h>

#include <QImage>

#include "../support/model_fixture.h"
#include "model/items/cross_marker_item.h"
#include "platform/qt/canvas_dc.h"

namespace {

class CrossMarkerCanvasTest : public ModelTest {};

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kPen = 0xFF0040FF;   // COLORREF 0xFF4000
constexpr QRgb kDisc = 0xFF00FFFF;  // COLORREF 0xFFFF00
constexpr QRgb kDot = 0xFFFF0000;   // COLORREF 0x0000FF

TEST_F(CrossMarkerCanvasTest, CrossOverADiscWithTheDotOnTop) {
  AddSizes(1);
  CPieceItem27 marker(nullptr, nullptr);
  marker.AddTailVertex(400, 400, 0);
  QImage image(80, 80, QImage::Format_RGB32);
  image.fill(kWhite);
  QtCanvasDC dc(image);
  marker.Draw(&dc, 10.0, 0, 0, nullptr);  // the point lands on pixel (40, 40)
  // The disc, outlined in the pen, covers the middle of the cross.
  EXPECT_EQ(image.pixel(40, 40), kDisc);
  EXPECT_EQ(image.pixel(43, 43), kDisc);
  EXPECT_EQ(image.pixel(33, 40), kPen) << "the disc's outline";

  marker.Dot = 1;
  marker.Draw(&dc, 10.0, 0, 0, nullptr);
  EXPECT_EQ(image.pixel(40, 40), kDot);
  EXPECT_EQ(image.pixel(50, 40), kPen) << "the right arm";
  EXPECT_EQ(image.pixel(40, 29), kPen) << "the upper arm";
  EXPECT_EQ(image.pixel(50, 42), kPen) << "a stroke of the right arrow head";
  EXPECT_EQ(image.pixel(53, 40), kWhite) << "the arm ends before its last pixel";
  EXPECT_EQ(image.pixel(20, 20), kWhite);
}

}  // namespace
