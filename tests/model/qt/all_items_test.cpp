// One piece holding an item of every type code, drawn whole on a canvas the
// way the work window draws it (saved as /tmp/zvaama_all_items.png and, with
// every item selected, /tmp/zvaama_all_items_selected.png, for a person to
// look at), and item by item on the recording device context: the primitives
// each type draws, the order and colours of the sizes, and the derived items
// that their switch hides.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../support/all_items_fixture.h"
#include "../support/fake_shell.h"
#include "../support/model_fixture.h"
#include "platform/qt/canvas_dc.h"
#include "platform/recording_dc.h"

namespace {

using Op = DrawCall::Op;

constexpr int kWidth = 1200;
constexpr int kHeight = 900;
// The work window's background.
constexpr COLORREF kBackground = 0xC0C0C0;
// 4 pixels a millimetre; the piece with its cut line and dimension in the
// middle of the canvas.
constexpr double kUnitsPerPixel = 10.0;
constexpr int kOriginX = -1840;
constexpr int kOriginY = -1400;

// A device colour (0x00BBGGRR) as the canvas holds it.
QRgb ToQRgb(COLORREF c) {
  return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

// The kinds of call made, each once, in the order of DrawCall::Op.
std::string OpKinds(const std::vector<DrawCall>& calls) {
  static const char* const kNames[] = {"MoveTo", "LineTo", "Polyline", "Polygon", "Ellipse",
                                       "Rectangle", "Arc", "SetPixel", "TextOut", "FillSolidRect"};
  std::set<Op> kinds;
  for (const DrawCall& call : calls) kinds.insert(call.op);
  std::string text;
  for (Op op : kinds) {
    if (!text.empty()) text += ' ';
    text += kNames[static_cast<size_t>(op)];
  }
  return text;
}

class AllItemsTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    sizes_ = all_items::AddSizes();
    shell_.client = CRect(0, 0, kWidth, kHeight);
    piece_ = all_items::BuildPiece();
  }
  void TearDown() override {
    piece_.reset();
    ModelTest::TearDown();
  }

  CPieceItem* ItemOfType(int type) const { return Item(piece_.get(), type); }

  void DrawItem(CPieceItem* item, CDC* dc, bool selected) {
    if (selected) {
      item->DrawSelected(dc, kUnitsPerPixel, kOriginX, kOriginY, piece_.get());
    } else {
      item->Draw(dc, kUnitsPerPixel, kOriginX, kOriginY, piece_.get());
    }
  }

  // The work window's way: the background, every item but the outline, then
  // the outline over them.
  void DrawPiece(CDC* dc, bool selected) {
    dc->FillSolidRect(CRect(0, 0, kWidth, kHeight), kBackground);
    CPieceItem* item = piece_->ItemRing;
    for (int32_t i = 0; i < piece_->ItemCount; ++i, item = item->Next) {
      if (item->Type != kItemTypeOutline) DrawItem(item, dc, selected);
    }
    DrawItem(ItemOfType(kItemTypeOutline), dc, selected);
  }

  static QImage Canvas() { return QImage(kWidth, kHeight, QImage::Format_RGB32); }

  static int CountPixels(const QImage& image, QRgb colour, bool equal) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) == colour) == equal ? 1 : 0;
    }
    return count;
  }

  // The item's recorded calls, drawn alone.
  std::vector<DrawCall> Record(int type, bool selected = false) {
    RecordingDC dc;
    DrawItem(ItemOfType(type), &dc, selected);
    return dc.calls();
  }

  // The colours of the strokes (texts left out), runs of one colour merged.
  static std::vector<COLORREF> StrokeColourRuns(const std::vector<DrawCall>& calls) {
    std::vector<COLORREF> runs;
    for (const DrawCall& call : calls) {
      if (call.op == Op::kTextOut || call.op == Op::kMoveTo) continue;
      const COLORREF c = call.op == Op::kSetPixel ? call.color : call.state.pen.color();
      if (runs.empty() || runs.back() != c) runs.push_back(c);
    }
    return runs;
  }

  FakeShell shell_;
  std::vector<CSizeRecord*> sizes_;
  std::unique_ptr<CPieceRecord> piece_;
};

TEST_F(AllItemsTest, ScreenshotShowsEveryItemTypeInEverySize) {
  ASSERT_EQ(piece_->ItemCount, kItemTypeCount);
  for (int type = 0; type < kItemTypeCount; ++type) ASSERT_NE(ItemOfType(type), nullptr) << type;

  for (bool selected : {false, true}) {
    QImage image = Canvas();
    QtCanvasDC dc(image);
    DrawPiece(&dc, selected);
    const char* path = selected ? "/tmp/zvaama_all_items_selected.png" : "/tmp/zvaama_all_items.png";
    EXPECT_TRUE(image.save(path)) << path;
    for (int s = 0; s < all_items::kSizeCount; ++s) {
      EXPECT_GT(CountPixels(image, ToQRgb(all_items::kSizeColours[s]), true), 2000) << "size " << s;
    }
  }

  // Each item alone leaves its mark on the canvas.
  for (int type = 0; type < kItemTypeCount; ++type) {
    SCOPED_TRACE(type);
    QImage image = Canvas();
    QtCanvasDC dc(image);
    dc.FillSolidRect(CRect(0, 0, kWidth, kHeight), kBackground);
    DrawItem(ItemOfType(type), &dc, false);
    EXPECT_GT(CountPixels(image, ToQRgb(kBackground), false), 20);
  }
}

TEST_F(AllItemsTest, EachTypeRecordsItsPrimitives) {
  // The kinds of drawing call of each type, plain and selected: selected, the
  // curves add their vertex marks (squares at key vertices, small circles at
  // curve vertices) and the straight lines a square at their second point.
  struct Case {
    int type;
    const char* plain;
    const char* selected;
  };
  const Case kCases[] = {
      {0, "Polygon", "Polygon Ellipse Rectangle"},
      {1, "MoveTo LineTo", "MoveTo LineTo"},
      {2, "MoveTo LineTo Ellipse", "MoveTo LineTo Ellipse"},
      {3, "MoveTo LineTo Arc", "MoveTo LineTo Arc"},
      {4, "MoveTo LineTo Ellipse", "MoveTo LineTo Ellipse"},
      {5, "MoveTo LineTo", "MoveTo LineTo Rectangle"},
      {6, "MoveTo LineTo Ellipse", "MoveTo LineTo Ellipse"},
      {7, "MoveTo LineTo", "MoveTo LineTo"},
      {8, "Polygon", "Polygon Ellipse Rectangle"},
      {9, "Polyline", "Polyline Ellipse Rectangle"},
      {10, "Ellipse", "Ellipse"},
      {11, "TextOut", "TextOut"},
      {12, "Polygon", "Polygon"},
      {13, "MoveTo LineTo Arc", "MoveTo LineTo Arc"},
      {14, "Polygon", "Polygon Ellipse"},  // smooth vertices only: no key squares
      {15, "Polyline", "Polyline Ellipse Rectangle"},
      {16, "Ellipse", "Ellipse"},
      {17, "MoveTo LineTo", "MoveTo LineTo Rectangle"},
      {18, "MoveTo LineTo", "MoveTo LineTo"},
      {19, "MoveTo LineTo Ellipse", "MoveTo LineTo Ellipse"},
      {20, "MoveTo LineTo", "MoveTo LineTo"},
      {21, "Polygon", "Polygon Ellipse Rectangle"},
      {22, "MoveTo LineTo", "MoveTo LineTo Rectangle"},
      {23, "MoveTo LineTo", "MoveTo LineTo"},
      {24, "MoveTo LineTo Ellipse", "MoveTo LineTo Ellipse"},
      {25, "MoveTo LineTo", "MoveTo LineTo"},
      {26, "Polyline Polygon Ellipse TextOut", "Polyline Polygon Ellipse TextOut"},
      {27, "MoveTo LineTo Ellipse", "MoveTo LineTo Ellipse"},
      {28, "MoveTo LineTo TextOut", "MoveTo LineTo TextOut"},
      {29, "MoveTo LineTo Ellipse", "MoveTo LineTo Ellipse"},
  };
  ASSERT_EQ(std::size(kCases), static_cast<size_t>(kItemTypeCount));
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(OpKinds(Record(c.type)), c.plain);
    EXPECT_EQ(OpKinds(Record(c.type, true)), c.selected);
  }
}

TEST_F(AllItemsTest, SizesDrawLastFirstInTheirColours) {
  // Every type but the text (one colour), the marked line, the cross marker
  // and the dimension (fixed colours). The notch items run through the sizes
  // once for each notch, the others once for the whole item.
  const std::set<int> kSingleColour = {11, 26, 27, 28};
  const std::map<int, int> kNotchCounts = {{13, 5}, {18, 4}, {23, 2}};
  const COLORREF* colour = all_items::kSizeColours;
  const auto expected = [&](int type, std::vector<COLORREF> sizes) {
    const auto notches = kNotchCounts.find(type);
    std::vector<COLORREF> runs;
    for (int i = 0; i < (notches == kNotchCounts.end() ? 1 : notches->second); ++i) {
      runs.insert(runs.end(), sizes.begin(), sizes.end());
    }
    return runs;
  };
  for (int type = 0; type < kItemTypeCount; ++type) {
    if (kSingleColour.count(type)) continue;
    SCOPED_TRACE(type);
    EXPECT_EQ(StrokeColourRuns(Record(type)), expected(type, {colour[2], colour[1], colour[0]}));
  }
  sizes_[1]->Visible = 0;
  for (int type = 0; type < kItemTypeCount; ++type) {
    if (kSingleColour.count(type)) continue;
    SCOPED_TRACE(type);
    EXPECT_EQ(StrokeColourRuns(Record(type)), expected(type, {colour[2], colour[0]}));
  }
}

TEST_F(AllItemsTest, HidingDerivedItemsHidesTheCutLineAndTypes17To25Only) {
  g_DrawFlagDerivedItems = 0;
  for (int type = 0; type < kItemTypeCount; ++type) {
    SCOPED_TRACE(type);
    const bool derived = type == 12 || (type >= 17 && type <= 25);
    EXPECT_EQ(Record(type).empty(), derived);
  }
}

}  // namespace
