#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/dc.h"
#include "platform/recording_dc.h"
#include "tests/support/font_of_height.h"

namespace {

TEST(RecordingDCTest, RecordsThePenSelectedAtEachCall) {
  RecordingDC dc;
  CPen* original = nullptr;
  {
    CPen red(PS_DASH, 1, RGB(255, 0, 0));
    original = dc.SelectObject(&red);
    dc.MoveTo(0, 0);
    dc.LineTo(10, 0);
    // Changing the pen object after selecting it changes nothing that is drawn.
    red.CreatePen(PS_SOLID, 3, RGB(0, 0, 255));
    dc.LineTo(10, 10);
  }  // the selected pen goes out of scope: the DC keeps its own copy
  dc.LineTo(0, 10);
  dc.SelectObject(original);
  dc.LineTo(0, 0);

  const std::vector<std::string> expected = {
      "MoveTo (0,0)",
      "LineTo (0,0)-(10,0) pen=dash/1/0x0000FF",
      "LineTo (10,0)-(10,10) pen=dash/1/0x0000FF",
      "LineTo (10,10)-(0,10) pen=dash/1/0x0000FF",
      "LineTo (0,10)-(0,0) pen=solid/1/0x000000",
  };
  EXPECT_EQ(dc.Lines(), expected);
  ASSERT_EQ(dc.calls().size(), 5u);
  EXPECT_EQ(dc.calls()[1].op, DrawCall::Op::kLineTo);
  EXPECT_EQ(dc.calls()[1].state.pen.style(), PS_DASH);
  EXPECT_EQ(dc.calls()[1].state.pen.color(), RGB(255, 0, 0));
}

TEST(RecordingDCTest, RecordsShapesWithBrushTextAndModes) {
  RecordingDC dc;
  CBrush green(RGB(0, 255, 0));
  dc.SelectObject(&green);
  dc.Rectangle(0, 0, 5, 5);
  dc.SelectStockObject(NULL_BRUSH);
  dc.SetROP2(R2_XORPEN);
  dc.Ellipse(CRect(1, 2, 3, 4));
  const CPoint triangle[] = {{0, 0}, {4, 0}, {0, 4}};
  dc.Polygon(triangle, 3);
  dc.Arc(0, 0, 10, 10, 10, 5, 5, 0);
  dc.SetPixel(7, 8, RGB(255, 255, 255));
  dc.SetROP2(R2_COPYPEN);
  dc.Polyline(triangle, 2);

  CFont font;
  LOGFONT lf = FontOfHeight(-14);
  lf.lfEscapement = 900;
  font.CreateFontIndirect(&lf);
  dc.SelectObject(&font);
  dc.SetTextColor(RGB(255, 0, 0));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_BASELINE | TA_CENTER);
  dc.TextOut(3, 4, "12");
  dc.SetBkMode(OPAQUE);
  dc.TextOut(5, 6, "\xC7\xB0");  // GBK bytes are kept as they are
  dc.FillSolidRect(CRect(0, 0, 2, 2), RGB(192, 192, 192));

  const std::string expected =
      "Rectangle (0,0,5,5) pen=solid/1/0x000000 brush=0x00FF00\n"
      "Ellipse (1,2,3,4) pen=solid/1/0x000000 brush=hollow rop=xor\n"
      "Polygon (0,0)-(4,0)-(0,4) pen=solid/1/0x000000 brush=hollow rop=xor\n"
      "Arc (0,0,10,10) (10,5)-(5,0) pen=solid/1/0x000000 rop=xor\n"
      "SetPixel (7,8) 0xFFFFFF rop=xor\n"
      "Polyline (0,0)-(4,0) pen=solid/1/0x000000\n"
      "TextOut (3,4) \"12\" font=-14/900 color=0x0000FF bk=transparent align=30\n"
      "TextOut (5,6) \"\xC7\xB0\" font=-14/900 color=0x0000FF bk=0xFFFFFF align=30\n"
      "FillSolidRect (0,0,2,2) 0xC0C0C0\n";
  EXPECT_EQ(dc.Text(), expected);
  EXPECT_EQ(dc.calls()[6].text, CString("12"));
  EXPECT_EQ(dc.calls()[6].state.font.logfont().lfHeight, -14);
}

TEST(CDCTest, SelectObjectReturnsWhatWasSelectedBefore) {
  RecordingDC dc;
  CPen pen(PS_DOT, 1, RGB(1, 2, 3));
  CBrush brush(RGB(4, 5, 6));
  CFont font;

  // A new DC has the stock black pen, white brush and system font selected.
  EXPECT_EQ(dc.SelectObject(&pen), CDC::GetStockObject(BLACK_PEN));
  EXPECT_EQ(dc.SelectObject(&brush), CDC::GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(dc.SelectObject(&font), CDC::GetStockObject(SYSTEM_FONT));

  // Through the base pointer the object's kind decides what is replaced.
  CGdiObject* old_brush = dc.SelectStockObject(NULL_BRUSH);
  EXPECT_EQ(old_brush, &brush);
  EXPECT_TRUE(dc.state().brush.hollow());
  EXPECT_EQ(dc.state().pen.style(), PS_DOT);  // the pen stays
  EXPECT_EQ(dc.SelectObject(old_brush), CDC::GetStockObject(NULL_BRUSH));
  EXPECT_EQ(dc.state().brush.color(), RGB(4, 5, 6));

  // Selecting nothing fails and changes nothing.
  EXPECT_EQ(dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
  EXPECT_EQ(dc.SelectObject(static_cast<CGdiObject*>(nullptr)), nullptr);
  EXPECT_EQ(dc.SelectStockObject(99), nullptr);
  EXPECT_EQ(dc.state().pen.style(), PS_DOT);
  EXPECT_EQ(dc.SelectObject(CDC::GetStockObject(WHITE_PEN)), &pen);
}

TEST(CDCTest, StockObjects) {
  struct Case {
    int index;
    CGdiObject::Kind kind;
    bool hollow;
    COLORREF color;
    int pen_style;
  };
  const Case kCases[] = {
      {WHITE_BRUSH, CGdiObject::Kind::kBrush, false, 0xFFFFFF, 0},
      {LTGRAY_BRUSH, CGdiObject::Kind::kBrush, false, 0xC0C0C0, 0},
      {GRAY_BRUSH, CGdiObject::Kind::kBrush, false, 0x808080, 0},
      {DKGRAY_BRUSH, CGdiObject::Kind::kBrush, false, 0x404040, 0},
      {BLACK_BRUSH, CGdiObject::Kind::kBrush, false, 0x000000, 0},
      {NULL_BRUSH, CGdiObject::Kind::kBrush, true, 0, 0},
      {WHITE_PEN, CGdiObject::Kind::kPen, false, 0xFFFFFF, PS_SOLID},
      {BLACK_PEN, CGdiObject::Kind::kPen, false, 0x000000, PS_SOLID},
      {NULL_PEN, CGdiObject::Kind::kPen, false, 0, PS_NULL},
      {ANSI_VAR_FONT, CGdiObject::Kind::kFont, false, 0, 0},
      {SYSTEM_FONT, CGdiObject::Kind::kFont, false, 0, 0},
      {DEFAULT_GUI_FONT, CGdiObject::Kind::kFont, false, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.index);
    CGdiObject* object = CDC::GetStockObject(c.index);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object, CDC::GetStockObject(c.index));  // shared, not made anew
    EXPECT_EQ(object->GetKind(), c.kind);
    if (auto* brush = dynamic_cast<CBrush*>(object)) {
      EXPECT_EQ(brush->hollow(), c.hollow);
      if (!c.hollow) {
        EXPECT_EQ(brush->color(), c.color);
      }
    } else if (auto* pen = dynamic_cast<CPen*>(object)) {
      EXPECT_EQ(pen->style(), c.pen_style);
      EXPECT_EQ(pen->color(), c.color);
      EXPECT_EQ(pen->width(), 1);
    } else {
      auto* font = dynamic_cast<CFont*>(object);
      ASSERT_NE(font, nullptr);
      EXPECT_NE(font->logfont().lfHeight, 0);  // a real size, usable as a template
    }
  }
  for (int unknown : {-1, 9, 14, 100}) EXPECT_EQ(CDC::GetStockObject(unknown), nullptr);
}

TEST(CDCTest, SaveAndRestoreLevels) {
  RecordingDC dc;
  CPen red(PS_SOLID, 1, RGB(255, 0, 0));
  CPen blue(PS_DASH, 1, RGB(0, 0, 255));

  dc.MoveTo(1, 1);
  EXPECT_EQ(dc.SaveDC(), 1);  // the default state
  dc.SelectObject(&red);
  dc.SetROP2(R2_XORPEN);
  dc.MoveTo(2, 2);
  EXPECT_EQ(dc.SaveDC(), 2);  // red, XOR
  dc.SelectObject(&blue);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_BOTTOM);
  EXPECT_EQ(dc.SaveDC(), 3);  // blue, transparent
  dc.SetBkColor(RGB(1, 1, 1));
  dc.SetTextColor(RGB(2, 2, 2));

  // -1 gives back the last save and drops it.
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.state().pen.color(), RGB(0, 0, 255));
  EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
  EXPECT_EQ(dc.GetBkColor(), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
  EXPECT_EQ(dc.SaveDC(), 3);  // level 3 is free again

  // A level restores that save and drops it and every later one.
  EXPECT_TRUE(dc.RestoreDC(2));
  EXPECT_EQ(dc.state().pen.color(), RGB(255, 0, 0));
  EXPECT_EQ(dc.GetROP2(), R2_XORPEN);
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(dc.GetTextAlign(), TA_TOP);
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(2, 2));
  // What SelectObject returns next is what was selected at the save.
  EXPECT_EQ(dc.SelectObject(&blue), &red);
  EXPECT_FALSE(dc.RestoreDC(2));
  EXPECT_FALSE(dc.RestoreDC(3));

  EXPECT_FALSE(dc.RestoreDC(0));
  EXPECT_FALSE(dc.RestoreDC(-2));  // only one save is left
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.state().pen.color(), RGB(0, 0, 0));
  EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(1, 1));
  EXPECT_FALSE(dc.RestoreDC(-1));
  EXPECT_FALSE(dc.RestoreDC(1));
  EXPECT_FALSE(dc.RestoreDC(INT_MIN));
}

TEST(CDCTest, RestoreDCCountsBackFromTheLastSave) {
  RecordingDC dc;
  for (COLORREF c : {1u, 2u, 3u}) {
    dc.SetTextColor(c);
    dc.SaveDC();
  }
  EXPECT_TRUE(dc.RestoreDC(-2));  // the second of three
  EXPECT_EQ(dc.GetTextColor(), 2u);
  EXPECT_EQ(dc.SaveDC(), 2);
}

TEST(CDCTest, CurrentPositionAndRefusedFigures) {
  RecordingDC dc;
  EXPECT_EQ(dc.MoveTo(5, 6), CPoint(0, 0));
  EXPECT_EQ(dc.MoveTo(CPoint(7, 8)), CPoint(5, 6));
  EXPECT_TRUE(dc.LineTo(9, 9));
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(9, 9));

  // Polylines and polygons need two points; they leave the position alone.
  const CPoint one[] = {{1, 1}};
  const CPoint two[] = {{1, 1}, {2, 2}};
  dc.Clear();
  EXPECT_FALSE(dc.Polyline(one, 1));
  EXPECT_FALSE(dc.Polygon(one, 1));
  EXPECT_FALSE(dc.Polyline(nullptr, 5));
  EXPECT_FALSE(dc.Polygon(two, -3));
  EXPECT_TRUE(dc.calls().empty());
  EXPECT_TRUE(dc.Polyline(two, 2));
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(9, 9));
}

TEST(CDCTest, TextAtTheCurrentPositionMovesIt) {
  RecordingDC dc;
  CFont font;
  const LOGFONT lf = FontOfHeight(-10);
  font.CreateFontIndirect(&lf);
  dc.SelectObject(&font);
  dc.MoveTo(100, 50);
  dc.SetTextAlign(TA_UPDATECP);
  dc.TextOut(0, 0, "abc");
  dc.TextOut(0, 0, "d");
  EXPECT_EQ(dc.calls()[1].points[0], CPoint(100, 50));
  EXPECT_EQ(dc.calls()[2].points[0], CPoint(115, 50));  // 3 bytes of 5 pixels
  EXPECT_EQ(dc.GetCurrentPosition(), CPoint(120, 50));
}

TEST(FixedTextMetricsTest, ExtentsFollowTheFontHeight) {
  struct Case {
    int32_t height;
    const char* text;
    CSize extent;
    int ascent;
    int descent;
  };
  const Case kCases[] = {
      {-16, "ab", {16, 16}, 12, 4},
      {16, "ab", {16, 16}, 12, 4},  // cell or character height: the same here
      {-7, "abc", {9, 7}, 6, 1},
      {-1, "ab", {2, 1}, 1, 0},   // at least one pixel a byte
      {0, "ab", {2, 1}, 1, 0},
      {-12, "", {0, 12}, 9, 3},
      {-12, "\xC7\xB0\xC6\xAC", {24, 12}, 9, 3},  // two GBK characters are four bytes
      {INT_MIN, "ab", {INT_MAX, INT_MAX}, 1610612736, 536870912},  // no overflow
  };
  const FixedTextMetrics metrics;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.height);
    const LOGFONT font = FontOfHeight(c.height);
    EXPECT_EQ(metrics.Extent(font, c.text), c.extent);
    EXPECT_EQ(metrics.Ascent(font), c.ascent);
    EXPECT_EQ(metrics.Descent(font), c.descent);
  }
}

class WideMetrics : public ITextMetrics {
 public:
  CSize Extent(const LOGFONT& font, std::string_view text) const override {
    return CSize(static_cast<int32_t>(text.size()) * 100, font.lfHeight);
  }
  int Ascent(const LOGFONT&) const override { return 1; }
  int Descent(const LOGFONT&) const override { return 1; }
};

TEST(CDCTest, TextExtentUsesTheSelectedFontAndTheGivenMetrics) {
  RecordingDC fixed;
  CFont font;
  const LOGFONT lf = FontOfHeight(-20);
  font.CreateFontIndirect(&lf);
  fixed.SelectObject(&font);
  EXPECT_EQ(fixed.GetTextExtent(CString("abcd")), CSize(40, 20));
  EXPECT_EQ(fixed.GetTextExtent("abcdef", 2), CSize(20, 20));
  EXPECT_EQ(fixed.GetTextExtent(nullptr, 3), CSize(0, 20));
  EXPECT_EQ(fixed.GetTextExtent("abc", -1), CSize(0, 20));

  const WideMetrics wide;
  RecordingDC dc(&wide);
  dc.SelectObject(&font);
  EXPECT_EQ(dc.GetTextExtent(CString("ab")), CSize(200, -20));
  EXPECT_EQ(&dc.metrics(), &wide);
}

TEST(CDCTest, DeviceCapsAndPrinting) {
  RecordingDC dc;
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 96);
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 96);
  EXPECT_EQ(dc.GetDeviceCaps(0), 0);
  dc.SetLogPixels(600);
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 600);
  EXPECT_FALSE(dc.IsPrinting());
  dc.SetPrinting(true);
  EXPECT_TRUE(dc.IsPrinting());
  EXPECT_EQ(dc.SetMapMode(MM_TEXT), MM_TEXT);
}

TEST(CDCTest, SettersReturnThePreviousValue) {
  RecordingDC dc;
  EXPECT_EQ(dc.SetBkColor(RGB(1, 2, 3)), RGB(255, 255, 255));
  EXPECT_EQ(dc.SetBkColor(0), RGB(1, 2, 3));
  EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
  EXPECT_EQ(dc.SetTextColor(RGB(255, 0, 0)), RGB(0, 0, 0));
  EXPECT_EQ(dc.SetTextAlign(TA_RIGHT | TA_BASELINE), TA_LEFT | TA_TOP);
  EXPECT_EQ(dc.SetROP2(R2_XORPEN), R2_COPYPEN);
  EXPECT_EQ(dc.SetROP2(R2_NOT), R2_XORPEN);
  EXPECT_EQ(dc.GetTextAlign(), TA_RIGHT | TA_BASELINE);
}

}  // namespace
