// The text item on a real canvas: a text turned a quarter turn runs up from
// its anchor.
#include <gtest/gtest.h>

#include <QImage>

#include "../support/model_fixture.h"
#include "model/items/text_item.h"
#include "platform/qt/canvas_dc.h"

namespace {

class TextCanvasTest : public ModelTest {};

constexpr QRgb kWhite = 0xFFFFFFFF;

// Pixels that are not white in the box [x0, x1) x [y0, y1).
int Inked(const QImage& image, int x0, int y0, int x1, int y1) {
  int count = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) count += image.pixel(x, y) != kWhite ? 1 : 0;
  }
  return count;
}

TEST_F(TextCanvasTest, AQuarterTurnRunsTheTextUpFromItsAnchor) {
  AddSizes(1);
  CPieceItem11 text(nullptr, nullptr);
  text.AnchorX = 40;
  text.AnchorY = 100;
  text.SetText("HHHH");
  text.Font.lfHeight = -20;
  text.Font.lfEscapement = 900;
  QImage image(120, 120, QImage::Format_RGB32);
  image.fill(kWhite);
  QtCanvasDC dc(image);
  text.Draw(&dc, 1.0, 0, 0, nullptr);

  EXPECT_GT(Inked(image, 38, 40, 64, 101), 20) << "above the anchor, below the text's top edge";
  EXPECT_EQ(Inked(image, 0, 104, 120, 120), 0) << "nothing below the anchor";
  EXPECT_EQ(Inked(image, 0, 0, 36, 120), 0) << "nothing left of the text's top edge";
  EXPECT_EQ(Inked(image, 64, 90, 120, 120), 0) << "nothing where an unturned text would run";
}

}  // namespace
