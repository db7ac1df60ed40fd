#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>

#include "platform/qt/canvas_dc.h"
#include "platform/qt/qt_text_metrics.h"
#include "tests/support/font_of_height.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;  // COLORREF 0x0000FF

QImage Blank(int width, int height, QRgb fill = kWhite) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

// A canvas whose every pixel differs from its neighbours, so that any pixel
// drawn wrongly or restored wrongly shows.
QImage Patterned(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 53) & 0xFF, (x * y * 11) & 0xFF));
  }
  return image;
}

bool IsPainted(const QImage& image, int x, int y, QRgb background = kWhite) {
  return image.rect().contains(x, y) && image.pixel(x, y) != background;
}

struct Painted {
  QRect bounds;  // smallest box of the painted pixels
  int count = 0;
};

Painted PaintedPixels(const QImage& image, QRgb background = kWhite) {
  Painted painted;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == background) continue;
      painted.bounds |= QRect(x, y, 1, 1);
      ++painted.count;
    }
  }
  return painted;
}

// The canvas as rows of '#' (painted) and '.', for failure messages.
std::string Ascii(const QImage& image, QRgb background = kWhite) {
  std::string text = "\n";
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) text += image.pixel(x, y) == background ? '.' : '#';
    text += '\n';
  }
  return text;
}

TEST(QtCanvasDCTest, RectangleLeavesOutItsRightAndBottomEdges) {
  struct Case {
    const char* name;
    int pen_style;
    bool hollow;
    QRect bounds;
    QRgb corner;  // pixel (2, 2)
    QRgb inside;  // pixel (6, 6)
  };
  const Case kCases[] = {
      {"pen only", PS_SOLID, true, QRect(QPoint(2, 2), QPoint(11, 11)), kBlack, kWhite},
      {"pen and brush", PS_SOLID, false, QRect(QPoint(2, 2), QPoint(11, 11)), kBlack, kRed},
      // Without a pen the filled box is one pixel smaller each way.
      {"brush only", PS_NULL, false, QRect(QPoint(2, 2), QPoint(10, 10)), kRed, kRed},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    QImage image = Blank(16, 16);
    QtCanvasDC dc(image);
    CPen pen(c.pen_style, 1, RGB(0, 0, 0));
    CBrush red(RGB(255, 0, 0));
    CBrush hollow = CBrush::Hollow();
    dc.SelectObject(&pen);
    dc.SelectObject(c.hollow ? &hollow : &red);
    dc.Rectangle(2, 2, 12, 12);
    EXPECT_EQ(PaintedPixels(image).bounds, c.bounds) << Ascii(image);
    EXPECT_EQ(image.pixel(2, 2), c.corner);
    EXPECT_EQ(image.pixel(6, 6), c.inside);
  }
}

TEST(QtCanvasDCTest, ThinRectanglesAreAllOutline) {
  struct Case {
    CRect box;
    int painted;
  };
  const Case kCases[] = {{{3, 3, 4, 4}, 1}, {{3, 3, 9, 4}, 6}, {{3, 3, 4, 9}, 6}, {{3, 3, 3, 9}, 0}};
  for (int rop : {R2_COPYPEN, R2_XORPEN}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(testing::Message() << rop << ": " << c.box.right << "," << c.box.bottom);
      QImage image = Blank(12, 12);
      QtCanvasDC dc(image);
      CPen red(PS_SOLID, 1, RGB(255, 0, 0));
      dc.SelectObject(&red);
      dc.SetROP2(rop);
      dc.Rectangle(c.box);
      EXPECT_EQ(PaintedPixels(image).count, c.painted) << Ascii(image);
    }
  }
}

TEST(QtCanvasDCTest, RectangleGivenEitherWayRoundIsTheSame) {
  QImage forward = Blank(16, 16);
  QImage backward = Blank(16, 16);
  QtCanvasDC(forward).Rectangle(1, 2, 11, 9);
  QtCanvasDC(backward).Rectangle(11, 9, 1, 2);
  EXPECT_EQ(forward, backward);
  EXPECT_EQ(PaintedPixels(forward).bounds, QRect(QPoint(1, 2), QPoint(10, 8)));
}

TEST(QtCanvasDCTest, EllipseLeavesOutItsRightAndBottomEdges) {
  struct Case {
    CRect box;
    QRect bounds;
  };
  const Case kCases[] = {
      {{0, 0, 10, 10}, QRect(QPoint(0, 0), QPoint(9, 9))},
      {{3, 2, 23, 9}, QRect(QPoint(3, 2), QPoint(22, 8))},
      {{23, 9, 3, 2}, QRect(QPoint(3, 2), QPoint(22, 8))},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.box.left);
    QImage image = Blank(30, 14);
    QtCanvasDC dc(image);
    CBrush red(RGB(255, 0, 0));
    dc.SelectObject(&red);
    dc.Ellipse(c.box);
    EXPECT_EQ(PaintedPixels(image).bounds, c.bounds) << Ascii(image);
    const QPoint centre = c.bounds.center();
    EXPECT_EQ(image.pixel(centre), kRed);  // the brush fills the inside
  }
}

TEST(QtCanvasDCTest, LineToLeavesOutTheEndPixel) {
  struct Case {
    CPoint from;
    CPoint to;
  };
  const Case kCases[] = {
      {{2, 5}, {12, 5}}, {{12, 5}, {2, 5}}, {{5, 2}, {5, 12}}, {{5, 12}, {5, 2}},
      {{2, 2}, {12, 12}}, {{12, 12}, {2, 2}}, {{2, 3}, {13, 7}}, {{13, 7}, {2, 3}},
      {{3, 13}, {6, 1}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y);
    QImage image = Blank(16, 16);
    QtCanvasDC dc(image);
    dc.MoveTo(c.from);
    dc.LineTo(c.to);
    EXPECT_TRUE(IsPainted(image, c.from.x, c.from.y)) << Ascii(image);
    EXPECT_FALSE(IsPainted(image, c.to.x, c.to.y)) << Ascii(image);
    // One pixel for every step along the longer axis.
    const int steps = std::max(std::abs(c.to.x - c.from.x), std::abs(c.to.y - c.from.y));
    EXPECT_EQ(PaintedPixels(image).count, steps);
    EXPECT_EQ(dc.GetCurrentPosition(), c.to);
  }
}

TEST(QtCanvasDCTest, PolygonPaintsEveryCornerOnce) {
  // Under XOR a corner painted by both of its strokes would vanish.
  QImage image = Blank(16, 16);
  QtCanvasDC dc(image);
  CPen white(PS_SOLID, 1, RGB(255, 255, 255));
  dc.SelectObject(&white);
  dc.SelectStockObject(NULL_BRUSH);
  dc.SetROP2(R2_XORPEN);
  const CPoint corners[] = {{1, 1}, {10, 1}, {10, 8}, {1, 8}};
  dc.Polygon(corners, 4);
  for (const CPoint& p : corners) EXPECT_EQ(image.pixel(p.x, p.y), kBlack) << Ascii(image);
  EXPECT_EQ(PaintedPixels(image).count, 2 * 9 + 2 * 7);
}

// Draws one of every kind of figure, with the pens, brushes and texts the
// pattern drawings use.
void DrawEveryFigure(CDC& dc) {
  CPen dashed(PS_DASH, 1, RGB(0, 128, 255));
  CPen dotted(PS_DOT, 1, RGB(255, 255, 255));
  CPen wide(PS_SOLID, 3, RGB(10, 200, 30));
  CBrush brush(RGB(200, 100, 50));
  dc.SelectObject(&dashed);
  dc.SelectObject(&brush);
  dc.Rectangle(3, 3, 30, 20);
  dc.Ellipse(10, 5, 50, 35);
  const CPoint star[] = {{5, 40}, {45, 42}, {12, 60}, {25, 30}, {38, 60}};
  dc.Polygon(star, 5);
  dc.SelectObject(&dotted);
  dc.Polyline(star, 5);
  dc.Arc(20, 20, 60, 50, 60, 35, 40, 20);
  dc.MoveTo(0, 63);
  dc.LineTo(63, 0);
  dc.SelectObject(&wide);
  dc.LineTo(5, 10);
  for (int x = 0; x < 64; ++x) {
    if (x % 6 < 3) dc.SetPixel(x, 2, RGB(255, 255, 255));
  }
  CFont font;
  LOGFONT lf = FontOfHeight(-14);
  lf.lfEscapement = 300;
  font.CreateFontIndirect(&lf);
  dc.SelectObject(&font);
  dc.SetTextColor(RGB(0, 0, 255));
  dc.TextOut(8, 50, "Ag12");
}

TEST(QtCanvasDCTest, XorFiguresDrawnTwiceRestoreTheCanvas) {
  for (int rop : {R2_XORPEN, R2_NOT}) {
    SCOPED_TRACE(rop);
    const QImage original = Patterned(64, 64);
    QImage image = original;
    QtCanvasDC dc(image);
    dc.SetROP2(rop);
    DrawEveryFigure(dc);
    EXPECT_NE(image, original);
    DrawEveryFigure(dc);
    EXPECT_EQ(image, original);
  }
}

TEST(QtCanvasDCTest, XorFrameOfSinglePixelsRestores) {
  // The dashed frame around the current piece: three pixels on, three off,
  // drawn with SetPixel in white.
  const QImage original = Patterned(40, 30);
  QImage image = original;
  QtCanvasDC dc(image);
  dc.SetROP2(R2_XORPEN);
  auto frame = [&dc] {
    for (int x = 4; x <= 34; ++x) {
      if ((x - 4) % 6 < 3) {
        dc.SetPixel(x, 4, RGB(255, 255, 255));
        dc.SetPixel(x, 24, RGB(255, 255, 255));
      }
    }
  };
  frame();
  // XOR with white inverts: the returned colour is the new pixel.
  EXPECT_EQ(image.pixel(4, 4), original.pixel(4, 4) ^ 0x00FFFFFFu);
  EXPECT_EQ(image.pixel(7, 4), original.pixel(7, 4));
  frame();
  EXPECT_EQ(image, original);
}

TEST(QtCanvasDCTest, XorFillsAndOutlinesEachPixelOnce) {
  // On black, XOR shows exactly which colour reached each pixel.
  QImage image = Blank(20, 20, kBlack);
  QtCanvasDC dc(image);
  CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
  CBrush brush(RGB(0, 255, 0));
  dc.SelectObject(&pen);
  dc.SelectObject(&brush);
  dc.SetROP2(R2_XORPEN);
  dc.Rectangle(2, 2, 12, 12);
  EXPECT_EQ(image.pixel(2, 2), kRed);               // outline: the pen colour
  EXPECT_EQ(image.pixel(11, 11), kRed);
  EXPECT_EQ(image.pixel(6, 6), 0xFF00FF00u);        // inside: the brush colour
  EXPECT_EQ(image.pixel(12, 6), kBlack);
  dc.Ellipse(2, 2, 12, 12);  // over the rectangle: its inside goes back to black
  EXPECT_EQ(image.pixel(6, 6), kBlack);
}

TEST(QtCanvasDCTest, ArcFromTheRightRadialToTheTopCoversTheUpperRightQuarter) {
  struct Case {
    CRect box;
  };
  // A circle and a flat ellipse, both centred on (40, 20).
  const Case kCases[] = {{{20, 0, 61, 41}}, {{0, 10, 81, 31}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.box.left);
    QImage image = Blank(82, 42);
    QtCanvasDC dc(image);
    dc.Arc(c.box.left, c.box.top, c.box.right, c.box.bottom, 70, 20, 40, 5);
    const Painted painted = PaintedPixels(image);
    ASSERT_GT(painted.count, 0);
    EXPECT_GE(painted.bounds.left(), 39) << Ascii(image);
    EXPECT_LE(painted.bounds.bottom(), 21) << Ascii(image);
    EXPECT_GE(painted.bounds.right(), c.box.right - 2);
    EXPECT_LE(painted.bounds.top(), c.box.top + 1);

    // The other way round it is the three other quarters.
    image = Blank(82, 42);
    QtCanvasDC back(image);
    back.Arc(c.box.left, c.box.top, c.box.right, c.box.bottom, 40, 5, 70, 20);
    EXPECT_EQ(PaintedPixels(image).bounds, QRect(QPoint(c.box.left, c.box.top), QPoint(c.box.right - 1, c.box.bottom - 1)))
        << Ascii(image);
    EXPECT_FALSE(IsPainted(image, c.box.right - 8, c.box.top + 3)) << Ascii(image);
  }
}

TEST(QtCanvasDCTest, ArcStartsOnTheRadialNotTheParametricAngle) {
  // A flat ellipse centred on (40, 20); the start radial points up-right at
  // 45 degrees. Every pixel of the arc up to the top lies above that radial.
  QImage image = Blank(82, 42);
  QtCanvasDC dc(image);
  dc.Arc(0, 0, 81, 41, 90, -30, 40, 0);
  const Painted painted = PaintedPixels(image);
  ASSERT_GT(painted.count, 0);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!IsPainted(image, x, y)) continue;
      EXPECT_LE(x - 40, 20 - y + 2) << x << "," << y << Ascii(image);
    }
  }
  EXPECT_GE(painted.bounds.right(), 55);  // and it does reach that radial
}

TEST(QtCanvasDCTest, EqualRadialsGiveTheFullEllipse) {
  QImage arc = Blank(40, 30);
  QImage ellipse = Blank(40, 30);
  QtCanvasDC arc_dc(arc);
  arc_dc.Arc(2, 3, 32, 25, 2, 3, 2, 3);
  QtCanvasDC ellipse_dc(ellipse);
  ellipse_dc.SelectStockObject(NULL_BRUSH);
  ellipse_dc.Ellipse(2, 3, 32, 25);
  const Painted a = PaintedPixels(arc);
  const Painted e = PaintedPixels(ellipse);
  EXPECT_EQ(a.bounds, QRect(QPoint(2, 3), QPoint(31, 24))) << Ascii(arc);
  EXPECT_NEAR(a.count, e.count, e.count / 10);
}

// The pixels of row 1 from x = 0 to 39 after a line from (0, 1) to (40, 1):
// '#' in the pen colour, 'o' in the background colour, '.' untouched.
std::string DashRow(int style, int bk_mode) {
  QImage image = Blank(40, 3);
  QtCanvasDC dc(image);
  CPen pen(style, 1, RGB(0, 0, 0));
  dc.SelectObject(&pen);
  dc.SetBkMode(bk_mode);
  dc.SetBkColor(RGB(255, 0, 0));
  dc.MoveTo(0, 1);
  dc.LineTo(40, 1);
  std::string row;
  for (int x = 0; x < 40; ++x) {
    const QRgb p = image.pixel(x, 1);
    row += p == kBlack ? '#' : p == kRed ? 'o' : '.';
  }
  return row;
}

TEST(QtCanvasDCTest, DashesFollowTheScreensLengths) {
  struct Case {
    int style;
    int bk_mode;
    const char* row;
  };
  const Case kCases[] = {
      {PS_SOLID, TRANSPARENT, "########################################"},
      {PS_DASH, TRANSPARENT, "##################......################"},
      {PS_DOT, TRANSPARENT, "###...###...###...###...###...###...###."},
      {PS_DASHDOT, TRANSPARENT, "#########......###......#########......#"},
      // On an opaque background the gaps take the background colour.
      {PS_DASH, OPAQUE, "##################oooooo################"},
      {PS_DOT, OPAQUE, "###ooo###ooo###ooo###ooo###ooo###ooo###o"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.style);
    EXPECT_EQ(DashRow(c.style, c.bk_mode), c.row);
  }
}

TEST(QtCanvasDCTest, DashesRunOnAlongAPolylineAndRestartWithLineTo) {
  CPen pen(PS_DOT, 1, RGB(0, 0, 0));
  const CPoint path[] = {{0, 1}, {4, 1}, {4, 10}};
  QImage polyline = Blank(8, 12);
  {
    QtCanvasDC dc(polyline);
    dc.SelectObject(&pen);
    dc.SetBkMode(TRANSPARENT);
    dc.Polyline(path, 3);
  }
  // Pattern positions 0..12 along the path: on 0-2, 6-8; off 3-5, 9-11.
  EXPECT_TRUE(IsPainted(polyline, 2, 1));
  EXPECT_FALSE(IsPainted(polyline, 3, 1));
  EXPECT_FALSE(IsPainted(polyline, 4, 1));  // position 4 of the path
  EXPECT_FALSE(IsPainted(polyline, 4, 2));  // position 5
  EXPECT_TRUE(IsPainted(polyline, 4, 3));   // position 6

  QImage lines = Blank(8, 12);
  {
    QtCanvasDC dc(lines);
    dc.SelectObject(&pen);
    dc.SetBkMode(TRANSPARENT);
    dc.MoveTo(path[0]);
    dc.LineTo(path[1]);
    dc.LineTo(path[2]);
  }
  EXPECT_TRUE(IsPainted(lines, 4, 1)) << Ascii(lines);  // the second line starts afresh
  EXPECT_TRUE(IsPainted(lines, 4, 3));
  EXPECT_FALSE(IsPainted(lines, 4, 4));
}

TEST(QtCanvasDCTest, WidePensDrawSolidAndThick) {
  QImage image = Blank(40, 12);
  QtCanvasDC dc(image);
  CPen pen(PS_DASH, 3, RGB(0, 0, 0));
  dc.SelectObject(&pen);
  dc.MoveTo(2, 5);
  dc.LineTo(37, 5);
  for (int x = 4; x < 35; ++x) {
    EXPECT_EQ(image.pixel(x, 5), kBlack) << x << Ascii(image);
  }
  EXPECT_GE(PaintedPixels(image).bounds.height(), 3);
}

TEST(QtCanvasDCTest, NullPenDrawsNoLine) {
  QImage image = Blank(20, 20);
  QtCanvasDC dc(image);
  dc.SelectStockObject(NULL_PEN);
  dc.MoveTo(1, 1);
  dc.LineTo(15, 15);
  const CPoint path[] = {{0, 0}, {10, 3}, {3, 10}};
  dc.Polyline(path, 3);
  dc.Arc(0, 0, 10, 10, 10, 5, 5, 0);
  EXPECT_EQ(PaintedPixels(image).count, 0);
}

TEST(QtCanvasDCTest, SetPixelAndFillSolidRect) {
  QImage image = Blank(10, 10);
  QtCanvasDC dc(image);
  EXPECT_EQ(dc.SetPixel(3, 4, RGB(255, 0, 0)), RGB(255, 0, 0));
  EXPECT_EQ(image.pixel(3, 4), kRed);
  for (CPoint off : {CPoint(-1, 0), CPoint(10, 0), CPoint(0, 10), CPoint(INT_MIN, INT_MAX)}) {
    EXPECT_EQ(dc.SetPixel(off.x, off.y, 0), CLR_INVALID);
  }
  dc.SetROP2(R2_XORPEN);
  EXPECT_EQ(dc.SetPixel(3, 4, RGB(255, 255, 255)), RGB(0, 255, 255));

  // A fill ignores the raster operation and is cut at the canvas edges.
  dc.FillSolidRect(CRect(-5, -5, 2, 3), RGB(0, 0, 0));
  EXPECT_EQ(PaintedPixels(image, kWhite).count, 2 * 3 + 1);
  EXPECT_EQ(image.pixel(1, 2), kBlack);
  EXPECT_EQ(image.pixel(2, 2), kWhite);
  dc.FillSolidRect(CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX), RGB(255, 0, 0));
  EXPECT_EQ(PaintedPixels(image, kRed).count, 0);
}

TEST(QtCanvasDCTest, FarOffCoordinatesAreCutNotWalked) {
  // Coordinates from a damaged file: nothing crashes or hangs, and what
  // crosses the canvas is drawn where it crosses.
  for (int rop : {R2_COPYPEN, R2_XORPEN}) {
    SCOPED_TRACE(rop);
    QImage image = Blank(32, 32);
    QtCanvasDC dc(image);
    dc.SetROP2(rop);
    CPen dashed(PS_DASH, 1, RGB(255, 0, 0));
    dc.SelectObject(&dashed);
    dc.SetBkMode(TRANSPARENT);
    dc.MoveTo(INT_MIN, 5);
    dc.LineTo(INT_MAX, 5);
    // The dashes keep their places: x = 0 is 2^31 pixels into the line,
    // 8 into a dash of 18, and a gap of 6 follows at x = 10.
    EXPECT_TRUE(IsPainted(image, 0, 5)) << Ascii(image);
    EXPECT_TRUE(IsPainted(image, 9, 5));
    EXPECT_FALSE(IsPainted(image, 10, 5));
    EXPECT_FALSE(IsPainted(image, 15, 5));
    EXPECT_TRUE(IsPainted(image, 16, 5));
    EXPECT_TRUE(IsPainted(image, 31, 5));
    dc.SetBkMode(OPAQUE);
    dc.MoveTo(INT_MIN, INT_MIN);
    dc.LineTo(INT_MAX, INT_MAX);
    dc.LineTo(INT_MIN, INT_MAX);
    const CPoint far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}, {INT_MIN, INT_MAX}};
    dc.Polygon(far, 4);
    dc.Polyline(far, 4);
    dc.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    dc.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    dc.Arc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0, 0, INT_MIN);
    dc.Arc(-1000000, -1000000, 1000000, 1000000, 1, 0, 0, 1);
    CPen wide(PS_SOLID, 4, RGB(0, 0, 0));
    dc.SelectObject(&wide);
    dc.LineTo(INT_MAX, INT_MIN);
    dc.Polygon(far, 4);
    CFont font;
    LOGFONT lf = FontOfHeight(INT_MIN);
    lf.lfEscapement = INT_MAX;
    lf.lfWidth = INT_MIN;
    lf.lfWeight = INT_MAX;
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    dc.TextOut(INT_MAX, INT_MIN, "far away");
    dc.TextOut(10, 10, "X");
  }
}

TEST(QtCanvasDCTest, TextAlignmentPlacesThePointOnTheCell) {
  struct Case {
    UINT align;
    bool right_of;  // the text lies right of the point (else left of it)
    bool below;     // below the point (else above)
  };
  const Case kCases[] = {
      {TA_LEFT | TA_TOP, true, true},
      {TA_RIGHT | TA_TOP, false, true},
      {TA_LEFT | TA_BOTTOM, true, false},
      {TA_RIGHT | TA_BOTTOM, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.align);
    QImage image = Blank(120, 80);
    QtCanvasDC dc(image);
    CFont font;
    const LOGFONT lf = FontOfHeight(-20);
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(c.align);
    dc.TextOut(60, 40, "HH");
    const QRect b = PaintedPixels(image).bounds;
    ASSERT_FALSE(b.isEmpty());
    if (c.right_of) {
      EXPECT_GE(b.left(), 60);
    } else {
      EXPECT_LT(b.right(), 60);
    }
    if (c.below) {
      EXPECT_GE(b.top(), 40);
    } else {
      EXPECT_LT(b.bottom(), 40);
    }
  }

  // Centred on the baseline: letters above the point, either side of it.
  QImage image = Blank(120, 80);
  QtCanvasDC dc(image);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_CENTER | TA_BASELINE);
  dc.TextOut(60, 40, "HHHH");
  const QRect b = PaintedPixels(image).bounds;
  EXPECT_LT(b.left(), 55);
  EXPECT_GT(b.right(), 65);
  EXPECT_LE(b.bottom(), 40);
  EXPECT_NEAR(b.left() + b.right(), 120, 4);
}

TEST(QtCanvasDCTest, OpaqueTextFillsItsCellAndEscapementTurnsIt) {
  QImage image = Blank(120, 120);
  QtCanvasDC dc(image);
  CFont font;
  LOGFONT lf = FontOfHeight(-16);
  font.CreateFontIndirect(&lf);
  dc.SelectObject(&font);
  // Text and background in one colour: the cell shows as a solid box.
  dc.SetTextColor(RGB(255, 0, 0));
  dc.SetBkColor(RGB(255, 0, 0));
  dc.TextOut(10, 20, "Hello");
  const CSize extent = dc.GetTextExtent(CString("Hello"));
  const Painted cell = PaintedPixels(image);
  EXPECT_EQ(cell.bounds, QRect(10, 20, extent.cx, extent.cy)) << Ascii(image);
  EXPECT_EQ(cell.count, extent.cx * extent.cy);

  // A quarter turn counter-clockwise: the text runs up from the point, its
  // top to the left.
  image = Blank(120, 120);
  QtCanvasDC turned(image);
  lf.lfEscapement = 900;
  font.CreateFontIndirect(&lf);
  turned.SelectObject(&font);
  turned.SetBkMode(TRANSPARENT);
  turned.TextOut(60, 100, "Hello");
  const QRect b = PaintedPixels(image).bounds;
  EXPECT_GT(b.height(), 2 * b.width()) << Ascii(image);
  EXPECT_GE(b.left(), 60);
  EXPECT_LE(b.bottom(), 100);
  EXPECT_NEAR(b.height(), extent.cx, 4);
}

TEST(QtCanvasDCTest, AChineseFontIsInstalledAndUsed) {
  // Without a Chinese font every character is drawn as the same empty box,
  // and nothing says so.
  bool found = false;
  for (const QString& family : QFontDatabase::families(QFontDatabase::SimplifiedChinese)) {
    if (QFontMetrics(QFont(family)).inFont(QChar(0x524D))) found = true;  // 前
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(QFontDatabase::hasFamily(QtTextMetrics::kCjkFallbackFamily));

  auto draw = [](const char* gbk) {
    QImage image = Blank(40, 30);
    QtCanvasDC dc(image);
    CFont font;
    LOGFONT lf = FontOfHeight(-20);
    std::strcpy(lf.lfFaceName, "\xCB\xCE\xCC\xE5");  // a Windows face name that is not here
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(5, 5, gbk);
    return image;
  };
  const QImage front = draw("\xC7\xB0");  // 前
  const QImage piece = draw("\xC6\xAC");  // 片
  EXPECT_GT(PaintedPixels(front).count, 20);
  EXPECT_NE(front, piece);
}

TEST(QtTextMetricsTest, FontsFromLogicalFonts) {
  LOGFONT lf = FontOfHeight(-24);
  QFont font = QtTextMetrics::FontFor(lf);
  EXPECT_EQ(font.pixelSize(), 24);
  EXPECT_EQ(font.weight(), QFont::Normal);
  EXPECT_FALSE(font.italic());
  ASSERT_EQ(font.families().size(), 2);
  EXPECT_EQ(font.families()[1], QString(QtTextMetrics::kCjkFallbackFamily));

  // A positive height is the whole cell.
  lf = FontOfHeight(30);
  const QFontMetrics cell(QtTextMetrics::FontFor(lf));
  EXPECT_NEAR(cell.ascent() + cell.descent(), 30, 1);

  lf = FontOfHeight(-12);
  lf.lfWeight = 700;
  lf.lfItalic = 1;
  lf.lfUnderline = 1;
  std::strcpy(lf.lfFaceName, "\xBA\xDA\xCC\xE5");  // 黑体
  font = QtTextMetrics::FontFor(lf);
  EXPECT_EQ(font.weight(), QFont::Bold);
  EXPECT_TRUE(font.italic());
  EXPECT_TRUE(font.underline());
  EXPECT_EQ(font.families()[0], QString::fromUtf8("黑体"));

  // Heights a damaged file may hold stay within bounds.
  for (int32_t h : {INT_MIN, INT_MAX, -1000000}) {
    SCOPED_TRACE(h);
    EXPECT_EQ(QtTextMetrics::FontFor(FontOfHeight(h)).pixelSize() <= QtTextMetrics::kMaxPixelHeight, true);
  }
  EXPECT_GT(QtTextMetrics::FontFor(FontOfHeight(0)).pixelSize(), 0);

  // A face name that fills its 32 bytes without an end is cut, not overread.
  lf = FontOfHeight(-12);
  std::memset(lf.lfFaceName, 'A', sizeof lf.lfFaceName);
  EXPECT_EQ(QtTextMetrics::FontFor(lf).families()[0], QString(32, QChar('A')));
}

TEST(QtTextMetricsTest, ExtentsOfGbkText) {
  const QtTextMetrics metrics;
  const LOGFONT lf = FontOfHeight(-20);
  const CSize chinese = metrics.Extent(lf, "\xC7\xB0\xC6\xAC");  // 前片
  EXPECT_NEAR(chinese.cx, 40, 4);  // Chinese characters are square
  EXPECT_EQ(chinese.cy, metrics.Ascent(lf) + metrics.Descent(lf));
  EXPECT_GE(chinese.cy, 20);
  EXPECT_EQ(metrics.Extent(lf, "").cx, 0);
  EXPECT_GT(metrics.Extent(lf, "WW").cx, metrics.Extent(lf, "W").cx);
  // A stray lead byte measures as one replacement character, without harm.
  EXPECT_GT(metrics.Extent(lf, "\xC7").cx, 0);

  // A width asks for narrower or wider characters.
  LOGFONT narrow = lf;
  narrow.lfWidth = 4;
  LOGFONT wide = lf;
  wide.lfWidth = 20;
  EXPECT_LT(metrics.Extent(narrow, "abcdef").cx, metrics.Extent(wide, "abcdef").cx);
}

TEST(QtCanvasDCTest, OtherCanvasFormatsAreConvertedFirst) {
  QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QtCanvasDC dc(image);
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  dc.SetPixel(1, 1, RGB(255, 0, 0));
  EXPECT_EQ(image.pixel(1, 1), kRed);

  // A view that has no size yet has a null canvas: drawing on it does nothing.
  QImage none;
  QtCanvasDC empty(none);
  for (int rop : {R2_COPYPEN, R2_XORPEN}) {
    empty.SetROP2(rop);
    DrawEveryFigure(empty);
    empty.FillSolidRect(CRect(0, 0, 5, 5), 0);
  }
  EXPECT_TRUE(none.isNull());
}

}  // namespace
