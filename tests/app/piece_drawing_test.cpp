// Drawing a whole piece: the order of its items, its label texts along the
// grain line, and the label templates.
#include "app/piece_drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/grain_line_item.h"
#include "model/items/outline_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/recording_dc.h"
#include "tests/support/clean_style.h"

namespace {

class PieceDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetStyleAndDrawingSettings(); }
  void TearDown() override {
    delete piece_;
    piece_ = nullptr;
    ResetStyleAndDrawingSettings();
  }

  void AddSizes(int count) {
    for (int i = 0; i < count; ++i) {
      CString name;
      name.Format("S%d", i);
      g_Style.AddSize(new CSizeRecord(name, i, 0, 0x000080, 1));
    }
  }

  // Appends a vertex that stays put in every size.
  static void AddVertex(CPieceItem* item, int x, int y, uint32_t kind) {
    item->AddTailVertex(x, y, kind);
    for (int s = 1; s < g_Style.SizeCount; ++s) item->AddTailVertex(x, y, 64);
  }

  // A piece whose ring holds the outline (a w x h rectangle at the origin)
  // first and then, when `grain` is set, a grain line from `a` to `b`.
  CPieceRecord* MakePiece(int w, int h, bool grain, CPoint a = {}, CPoint b = {}) {
    piece_ = new CPieceRecord;
    piece_->PieceName = "AB";
    auto* outline = new CPieceItem0(nullptr, nullptr);
    AddVertex(outline, 0, 0, 0);
    AddVertex(outline, w, 0, 0);
    AddVertex(outline, w, h, 0);
    AddVertex(outline, 0, h, 0);
    outline->SmoothCurves();
    piece_->AddItem(outline);
    if (grain) {
      auto* line = new CPieceItem1(nullptr, nullptr);
      AddVertex(line, a.x, a.y, 0);
      AddVertex(line, b.x, b.y, 0);
      piece_->AddItem(line);
    }
    return piece_;
  }

  static std::vector<const DrawCall*> TextCalls(const RecordingDC& dc) {
    std::vector<const DrawCall*> out;
    for (const DrawCall& c : dc.calls()) {
      if (c.op == DrawCall::Op::kTextOut) out.push_back(&c);
    }
    return out;
  }

  CPieceRecord* piece_ = nullptr;
};

TEST_F(PieceDrawingTest, ExpandLabelTemplate) {
  AddSizes(1);
  g_Style.StyleName = "Coat";
  g_Style.HeaderText1 = "Head";
  g_Style.HeaderText4 = "Info";
  CPieceRecord piece;
  piece.PieceName = "A";
  piece.Annotation = "note";
  piece.Category = "wool";
  piece.Quantity = 2;
  const CSizeRecord* size = g_Style.SizeRing;
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"&P&N", "A X 2 "},
      {"&T &P&N", "Coat A X 2 "},
      {"&m &u", "wool Info"},
      {"&C/&S/&O", "note/S0/Head"},
      {"&", "&"},
      {"50&", "50&"},
      {"&x&&P", "&x&&P"},
      {"&&P", "&&P"},
      {"a&&", "a&&"},
      {"", ""},
      // GBK text passes unchanged: "前片" then the piece name.
      {"\xC7\xB0\xC6\xAC&p", "\xC7\xB0\xC6\xAC" "A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(ExpandLabelTemplate(piece, c.in, size).str(), c.out);
  }
  EXPECT_EQ(ExpandLabelTemplate(piece, "[&S]", nullptr).str(), "[]");
}

TEST_F(PieceDrawingTest, OutlineIsDrawnLastOverTheInternalItems) {
  AddSizes(2);
  g_PtnDisplayFlag = 0;
  CPieceRecord* piece = MakePiece(800, 400, true, {100, 200}, {700, 200});
  for (const bool selected : {false, true}) {
    SCOPED_TRACE(selected ? "DrawPiece" : "DrawPieceItems");
    RecordingDC dc;
    if (selected) {
      DrawPiece(&dc, piece, 4.0, 0, 0);
    } else {
      DrawPieceItems(&dc, piece, 4.0, 0, 0);
    }
    // The outline is first in the ring, the grain line second; the grain
    // line's strokes come first and the outline's polygons after them.
    int first_polygon = -1, last_line = -1;
    for (size_t i = 0; i < dc.calls().size(); ++i) {
      const DrawCall& c = dc.calls()[i];
      if (c.op == DrawCall::Op::kPolygon && first_polygon < 0) first_polygon = static_cast<int>(i);
      if (c.op == DrawCall::Op::kLineTo) last_line = static_cast<int>(i);
    }
    ASSERT_GE(first_polygon, 0);
    ASSERT_GE(last_line, 0);
    EXPECT_LT(last_line, first_polygon);
    // The outline maps through (model - origin) / scale.
    EXPECT_EQ(dc.calls()[first_polygon].points.at(2), CPoint(200, 100));
  }
}

TEST_F(PieceDrawingTest, SelectedDrawingAddsTheVertexMarks) {
  AddSizes(1);
  g_PtnDisplayFlag = 0;
  CPieceRecord* piece = MakePiece(800, 400, false);
  RecordingDC plain, selected;
  DrawPieceItems(&plain, piece, 4.0, 0, 0);
  DrawPiece(&selected, piece, 4.0, 0, 0);
  EXPECT_GT(selected.calls().size(), plain.calls().size());
}

TEST_F(PieceDrawingTest, APieceWithoutItemsDrawsNothing) {
  AddSizes(1);
  CPieceRecord empty;
  RecordingDC dc;
  DrawPiece(&dc, &empty, 1.0, 0, 0);
  DrawPieceItems(&dc, &empty, 1.0, 0, 0);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(PieceDrawingTest, LabelTextsStandAboveAndBelowTheGrainLine) {
  AddSizes(1);
  g_PtnText1 = "&P";
  g_PtnText2 = "&M";
  CPieceRecord* piece = MakePiece(6000, 2000, true, {0, 0}, {4800, 0});  // a 120 mm grain line
  piece->Category = "C";
  RecordingDC dc;
  DrawPieceLabelTexts(&dc, piece, 4.0, 0, 0);
  const auto texts = TextCalls(dc);
  ASSERT_EQ(texts.size(), 2u);
  // Font height 1 mm (40 units) is 10 pixels at 4 units per pixel; with the
  // fixed metrics each byte is 5 pixels wide. "AB" (10 pixels, 40 units) is
  // centred: x = (4800 - 40) / 2; its line ends 1 mm and a pixel above the
  // grain line: y = -40 - 40 - 4.
  EXPECT_EQ(texts[0]->text.str(), "AB");
  EXPECT_EQ(texts[0]->points[0], CPoint(595, -21));
  EXPECT_EQ(texts[0]->state.font.logfont().lfHeight, -10);
  EXPECT_EQ(texts[0]->state.font.logfont().lfEscapement, 0);
  EXPECT_EQ(texts[0]->state.bk_mode, TRANSPARENT);
  // "C" below: x = (4800 - 20) / 2 = 2390 (597.5 pixels, rounded away from
  // zero), y = 40 + 4.
  EXPECT_EQ(texts[1]->text.str(), "C");
  EXPECT_EQ(texts[1]->points[0], CPoint(598, 11));
  // The device context's state is given back.
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
}

TEST_F(PieceDrawingTest, MultiLineLabelsStackAwayFromTheLine) {
  AddSizes(1);
  g_PtnText1 = "&P";
  g_PtnText2 = "&P";
  CPieceRecord* piece = MakePiece(6000, 2000, true, {0, 0}, {4800, 0});
  piece->PieceName = "L1\nLONG2";
  RecordingDC dc;
  DrawPieceLabelTexts(&dc, piece, 4.0, 0, 0);
  const auto texts = TextCalls(dc);
  ASSERT_EQ(texts.size(), 4u);
  // Above: the first line highest, the last just above the line; every line
  // starts where the longest (5 bytes, 25 pixels) is centred.
  EXPECT_EQ(texts[0]->text.str(), "L1");
  EXPECT_EQ(texts[1]->text.str(), "LONG2");
  EXPECT_EQ(texts[0]->points[0].y, texts[1]->points[0].y - 10);
  EXPECT_EQ(texts[0]->points[0].x, texts[1]->points[0].x);
  // x = (4800 - 100) / 2 = 2350 units, 587.5 pixels: 588.
  EXPECT_EQ(texts[1]->points[0], CPoint(588, -21));
  // Below: the first line nearest the line.
  EXPECT_EQ(texts[2]->points[0].y, 11);
  EXPECT_EQ(texts[3]->points[0].y, 21);
}

TEST_F(PieceDrawingTest, LabelTextsShrinkToFitAShortGrainLine) {
  AddSizes(1);
  g_PtnText1 = "&P";
  g_PtnText2 = "";
  // A 10 mm line: margins of a sixth (66.7 units); 20 bytes at 20 units each
  // are 400 units, more than 400 - 133: the height shrinks to
  // 40 x 400 / 533.3 = 30 units.
  CPieceRecord* piece = MakePiece(1000, 1000, true, {0, 0}, {400, 0});
  piece->PieceName = "ABCDEFGHIJKLMNOPQRST";
  RecordingDC dc;
  DrawPieceLabelTexts(&dc, piece, 1.0, 0, 0);
  const auto texts = TextCalls(dc);
  ASSERT_GE(texts.size(), 1u);
  EXPECT_EQ(texts[0]->state.font.logfont().lfHeight, -30);
}

TEST_F(PieceDrawingTest, LabelTextsReadFromTheLeftEndOfTheGrainLine) {
  AddSizes(1);
  g_PtnText1 = "&P";
  g_PtnText2 = "";
  struct Case {
    CPoint a, b;
    int escapement;
  };
  const Case cases[] = {
      // Drawn up-left or down-right, the text turns with the line as it goes
      // down to the right on the screen (clockwise): -45 degrees.
      {{1000, 1000}, {0, 0}, -450},
      {{0, 0}, {1000, 1000}, -450},
      // Rising to the right on the screen.
      {{1000, 0}, {0, 1000}, -3150},
      {{0, 500}, {1000, 500}, 0},
      // A vertical line, from either end.
      {{0, 0}, {0, 1000}, -900},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.escapement);
    CPieceRecord* piece = MakePiece(1000, 1000, true, c.a, c.b);
    RecordingDC dc;
    DrawPieceLabelTexts(&dc, piece, 1.0, 0, 0);
    const auto texts = TextCalls(dc);
    ASSERT_GE(texts.size(), 1u);
    EXPECT_EQ(texts[0]->state.font.logfont().lfEscapement, c.escapement);
    EXPECT_EQ(texts[0]->state.font.logfont().lfOrientation, c.escapement);
    delete piece_;
    piece_ = nullptr;
  }
}

TEST_F(PieceDrawingTest, NoLabelsWithoutVisibleSizeOrGrainLine) {
  AddSizes(2);
  {
    CPieceRecord* piece = MakePiece(6000, 2000, false);
    RecordingDC dc;
    DrawPieceLabelTexts(&dc, piece, 4.0, 0, 0);
    EXPECT_TRUE(TextCalls(dc).empty());
    delete piece_;
    piece_ = nullptr;
  }
  CPieceRecord* piece = MakePiece(6000, 2000, true, {0, 0}, {4800, 0});
  for (CSizeRecord* s = g_Style.SizeRing; s;) {
    s->Visible = 0;
    s = s->Next == g_Style.SizeRing ? nullptr : s->Next;
  }
  RecordingDC dc;
  DrawPiece(&dc, piece, 4.0, 0, 0);
  EXPECT_TRUE(TextCalls(dc).empty());
  // The display switch off: no labels either.
  g_Style.SizeRing->Visible = 1;
  g_PtnDisplayFlag = 0;
  RecordingDC dc2;
  DrawPiece(&dc2, piece, 4.0, 0, 0);
  EXPECT_TRUE(TextCalls(dc2).empty());
}

TEST_F(PieceDrawingTest, PrintedLabelsAreAtLeastThreeMillimetresAndThirtyPixels) {
  AddSizes(1);
  g_PtnText1 = "&P";
  g_PtnText2 = "";
  CPieceRecord* piece = MakePiece(6000, 2000, true, {0, 0}, {4800, 0});
  RecordingDC screen;
  DrawPieceLabelTexts(&screen, piece, 8.0, 0, 0);
  ASSERT_GE(TextCalls(screen).size(), 1u);
  EXPECT_EQ(TextCalls(screen)[0]->state.font.logfont().lfHeight, -5);
  RecordingDC printer;
  printer.SetPrinting(true);
  DrawPieceLabelTexts(&printer, piece, 8.0, 0, 0);
  ASSERT_GE(TextCalls(printer).size(), 1u);
  // 3 mm are 120 units, 15 pixels at 8 units per pixel: raised to 30.
  EXPECT_EQ(TextCalls(printer)[0]->state.font.logfont().lfHeight, -30);
}

}  // namespace
