// The work window: what OnDraw puts on the canvas, the frame of the current
// piece, the view commands, placement of picked pieces, and screenshots of a
// few pieces placed (saved when ZV_SCREENSHOT_DIR names a folder).
#include "app/work_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>

#include "app/child_frame.h"
#include "app/piece_drawing.h"
#include "app/ruler_bar.h"
#include "model/geometry.h"
#include "model/items/grain_line_item.h"
#include "model/items/outline_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "model/work_area.h"
#include "platform/qt/canvas_dc.h"
#include "platform/recording_dc.h"
#include "tests/support/clean_style.h"

namespace {

constexpr QRgb kGrey = 0xFFC0C0C0;

class WorkWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStyleAndDrawingSettings();
    g_Style.AddSize(new CSizeRecord("M", 0, 0, 0x000000, 1));
  }
  void TearDown() override { ResetStyleAndDrawingSettings(); }

  // A listed piece: a w x h rounded outline at (x, y) with a grain line
  // across its middle (rising to the right when `diagonal`); its box is set
  // as a reader leaves it.
  static CPieceRecord* ListPiece(const char* name, int x, int y, int w, int h, bool diagonal = false) {
    auto* piece = new CPieceRecord;
    piece->PieceName = name;
    auto* outline = new CPieceItem0(nullptr, nullptr);
    outline->AddTailVertex(x, y, 0);
    outline->AddTailVertex(x + w, y, 0);
    outline->AddTailVertex(x + w, y + h, 3);
    outline->AddTailVertex(x + w / 2, y + h + h / 5, 1);
    outline->AddTailVertex(x, y + h, 3);
    outline->SmoothCurves();
    piece->AddItem(outline);
    auto* grain = new CPieceItem1(nullptr, nullptr);
    grain->AddTailVertex(x + w / 5, y + (diagonal ? 4 * h / 5 : h / 2), 0);
    grain->AddTailVertex(x + 4 * w / 5, y + (diagonal ? h / 5 : h / 2), 0);
    piece->AddItem(grain);
    piece->BoxMinX = x;
    piece->BoxMinY = y;
    piece->BoxMaxX = x + w;
    piece->BoxMaxY = y + h + h / 5;
    piece->AuxX = x;
    piece->AuxY = y;
    g_Style.AddPiece(piece);
    return piece;
  }

  // What picking a listed piece does: a linked copy, placed, added to the
  // work area, the view fitted when the extent grew, the copy made current.
  static CPieceRecord* Pick(CWorkWindow& view, CPieceRecord* listed) {
    const bool first = g_Style.IsEmpty() != FALSE;
    if (first) view.Extent = CRect(kBoxEmptyMin, kBoxEmptyMin, kExtentEmptyMax, kExtentEmptyMax);
    std::unique_ptr<CPieceRecord> ownedCopy = DuplicatePiece(listed);
    CPieceRecord* copy = ownedCopy.get();
    copy->Linked = 1;
    copy->Link = listed;
    listed->Linked = 1;
    listed->Link = copy;
    view.PlacePiece(copy);
    g_Style.AddWorkPiece(ownedCopy.release());
    if (first) g_Selection.SetCurrent(nullptr, nullptr, nullptr, nullptr);
    if (UpdateWorkAreaExtent()) {
      view.ZoomToFit();
      SyncWorkPieceOrigins();
    } else {
      copy->OriginX = WrapSub(copy->BoxMinX, WrapSub(copy->PlacedLeft, view.GetOriginX()));
      copy->OriginY = WrapSub(copy->BoxMinY, WrapSub(copy->PlacedTop, view.GetOriginY()));
    }
    SelectCurrentPiece(copy);
    view.Redraw(TRUE);
    return copy;
  }

  // The work window of a shown frame, with one piece picked into it.
  static CWorkWindow& ShownViewWithAPiece(CChildFrame& frame) {
    frame.resize(420, 320);
    frame.show();
    CWorkWindow& view = *frame.GetWorkWindow();
    Pick(view, ListPiece("A", 0, 0, 4000, 2000));
    return view;
  }

  static bool AllPixels(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != colour) return false;
      }
    }
    return true;
  }

  // The bounding box of the pixels that are not the background.
  static QRect Drawn(const QImage& image) {
    int l = image.width(), t = image.height(), r = -1, b = -1;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) == kGrey) continue;
        l = std::min(l, x);
        r = std::max(r, x);
        t = std::min(t, y);
        b = std::max(b, y);
      }
    }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
  }

  static void SaveScreenshot(const QImage& image, const char* name) {
    const char* dir = std::getenv("ZV_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    image.save(QString::fromUtf8(dir) + "/" + name);
  }
};

TEST_F(WorkWindowTest, RegistersItselfAsTheWorkWindow) {
  {
    CWorkWindow view;
    EXPECT_EQ(g_pWorkWindow, &view);
  }
  EXPECT_EQ(g_pWorkWindow, nullptr);
}

TEST_F(WorkWindowTest, EmptyWorkAreaIsLightGrey) {
  CWorkWindow view;
  view.resize(120, 80);
  view.Redraw(TRUE);
  ASSERT_EQ(view.canvas().size(), QSize(120, 80));
  EXPECT_TRUE(AllPixels(view.canvas(), kGrey));
}

TEST_F(WorkWindowTest, PiecesAreDrawnAtModelMinusOriginOverScale) {
  CWorkWindow view;
  view.resize(200, 150);
  CPieceRecord* listed = ListPiece("A", 0, 0, 100, 50);
  std::unique_ptr<CPieceRecord> ownedCopy = DuplicatePiece(listed);
  CPieceRecord* copy = ownedCopy.get();
  g_Style.AddWorkPiece(ownedCopy.release());
  copy->OriginX = -15;
  copy->OriginY = 5;
  view.SetScale(2.0);
  g_PtnDisplayFlag = 0;
  RecordingDC dc;
  view.OnDraw(&dc);
  ASSERT_FALSE(dc.calls().empty());
  // The background first, over the whole client area.
  EXPECT_EQ(dc.calls()[0].op, DrawCall::Op::kFillSolidRect);
  EXPECT_EQ(dc.calls()[0].rect, CRect(0, 0, 200, 150));
  EXPECT_EQ(dc.calls()[0].color, kWorkAreaBackground);
  // (0 + 15) / 2 = 7.5 -> 8; (0 - 5) / 2 = -2.5 -> -3; (100 + 15) / 2 = 57.5 -> 58.
  const DrawCall* outline = nullptr;
  for (const DrawCall& c : dc.calls()) {
    if (c.op == DrawCall::Op::kPolygon) outline = &c;
  }
  ASSERT_NE(outline, nullptr);
  EXPECT_EQ(outline->points.at(0), CPoint(8, -3));
  EXPECT_EQ(outline->points.at(1), CPoint(58, -3));
  // The device context's state is handed back.
  EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);

  // On the canvas: the outline's top edge is black from pixel 8 to 57.
  copy->OriginY = -10;  // model y 0 at pixel 5
  view.Redraw(TRUE);
  const QImage& image = view.canvas();
  EXPECT_EQ(image.pixel(30, 5), 0xFF000000u);
  EXPECT_EQ(image.pixel(57, 5), 0xFF000000u);
  EXPECT_EQ(image.pixel(30, 3), kGrey);
  EXPECT_EQ(image.pixel(100, 140), kGrey);
}

TEST_F(WorkWindowTest, CurrentPieceFrameDrawnTwiceLeavesTheImageAsItWas) {
  CChildFrame frame;
  frame.resize(420, 320);
  CWorkWindow& view = *frame.GetWorkWindow();
  CPieceRecord* copy = Pick(view, ListPiece("A", 0, 0, 4000, 2000));
  ASSERT_EQ(g_Selection.GetCurrentPiece(), copy);
  const QImage marked = view.canvas().copy();

  // OnDraw marks the current piece while marking is on.
  view.SetMarking(FALSE);
  view.Redraw(TRUE);
  const QImage unmarked = view.canvas().copy();
  EXPECT_NE(marked, unmarked);
  view.SetMarking(TRUE);
  view.Redraw(TRUE);
  EXPECT_EQ(view.canvas(), marked);

  CDC* dc = view.GetDC();
  DrawPieceSelectionFrame(dc, copy);
  EXPECT_EQ(view.canvas(), unmarked);
  DrawPieceSelectionFrame(dc, copy);
  EXPECT_EQ(view.canvas(), marked);
  view.ReleaseDC(dc);
}

// Redraws only mark the picture stale; it is rendered once, when it is read
// or painted. Drawing through GetDC meanwhile is superseded by that render.
TEST_F(WorkWindowTest, RedrawsAreRenderedOnceWhenThePictureIsNeeded) {
  CWorkWindow view;
  view.resize(200, 150);
  Pick(view, ListPiece("A", 0, 0, 4000, 2000));
  view.Redraw(TRUE);
  view.Redraw(TRUE);
  EXPECT_TRUE(view.RenderPending());
  const QImage rendered = view.canvas().copy();
  EXPECT_FALSE(view.RenderPending());
  EXPECT_FALSE(AllPixels(rendered, kGrey));

  view.Redraw(TRUE);
  CDC* dc = view.GetDC();
  dc->FillSolidRect(CRect(0, 0, 200, 150), RGB(0, 0, 0));
  view.ReleaseDC(dc);
  EXPECT_EQ(view.canvas(), rendered);

  // With nothing pending, GetDC draws on the picture itself.
  dc = view.GetDC();
  dc->FillSolidRect(CRect(0, 0, 200, 150), RGB(0, 0, 0));
  view.ReleaseDC(dc);
  EXPECT_EQ(view.canvas().pixel(100, 75), 0xFF000000u);
}

// A shown window serves a pending render by itself once the view settles.
TEST_F(WorkWindowTest, AShownWindowRendersWhenTheViewSettles) {
  CChildFrame frame;
  CWorkWindow& view = ShownViewWithAPiece(frame);
  ASSERT_TRUE(view.RenderPending());
  QElapsedTimer waited;
  waited.start();
  while (view.RenderPending() && waited.elapsed() < 5000) QApplication::processEvents();
  EXPECT_FALSE(view.RenderPending());
}

// After a quiet spell a redraw is painted at the next turns of the event
// loop, without waiting for the view to settle: a pick by hand shows at once.
TEST_F(WorkWindowTest, ARedrawAfterAQuietSpellIsPaintedAtOnce) {
  CChildFrame frame;
  CWorkWindow& view = ShownViewWithAPiece(frame);
  view.canvas();
  // Quiet for longer than any settle interval: on a loaded machine the last
  // render may have taken long, and the view waits as long as it took.
  QElapsedTimer quiet;
  quiet.start();
  while (quiet.elapsed() <= kMaxRenderSettleMs) {
    QApplication::processEvents();
    QThread::msleep(5);
  }
  view.Redraw(TRUE);
  ASSERT_TRUE(view.RenderPending());
  for (int turn = 0; turn < 5 && view.RenderPending(); ++turn) QApplication::processEvents();
  EXPECT_FALSE(view.RenderPending());
}

TEST_F(WorkWindowTest, FirstPickKeepsItsPlaceAndFillsTheWindow) {
  g_PtnDisplayFlag = 0;
  g_DrawFlagKeyVertexMarks = 0;
  g_DrawFlagCurveVertexMarks = 0;
  CWorkWindow view;
  view.resize(420, 320);
  CPieceRecord* copy = Pick(view, ListPiece("A", 1000, 2000, 4000, 2000));
  // The first piece keeps its model position.
  EXPECT_EQ(CRect(copy->PlacedLeft, copy->PlacedTop, copy->PlacedRight, copy->PlacedBottom),
            CRect(copy->BoxMinX, copy->BoxMinY, copy->BoxMaxX, copy->BoxMaxY));
  // Show all: the piece fills the window less 10 pixels on each side, centred.
  view.OnShowAll();
  const double w = copy->BoxMaxX - copy->BoxMinX + 1.0;
  const double h = copy->BoxMaxY - copy->BoxMinY + 1.0;
  const double expected = std::max(w / (421 - 20), h / (321 - 20));
  EXPECT_DOUBLE_EQ(view.GetScale(), expected);
  g_Selection.Reset();
  view.Redraw(TRUE);
  const QRect drawn = Drawn(view.canvas());
  EXPECT_NEAR(drawn.left(), 10, 2);
  EXPECT_NEAR(drawn.right(), 409, 2);
  EXPECT_NEAR((drawn.top() + drawn.bottom()) / 2.0, 160, 1);
}

TEST_F(WorkWindowTest, LaterPicksArePlacedApartAndShown) {
  CChildFrame frame;
  frame.resize(640, 420);
  CWorkWindow& view = *frame.GetWorkWindow();
  g_Style.StyleName = "Coat";
  g_DefaultFontInitial.lfHeight = -600;  // 15 mm labels, to be read on the screenshot
  std::vector<CPieceRecord*> copies;
  copies.push_back(Pick(view, ListPiece("Front", 0, 0, 12000, 16000, true)));
  copies.push_back(Pick(view, ListPiece("Back", 0, 0, 14000, 16000)));
  copies.push_back(Pick(view, ListPiece("Sleeve", 0, 0, 9000, 14000)));
  copies.push_back(Pick(view, ListPiece("Collar", 0, 0, 11000, 3000)));
  view.OnShowAll();
  ASSERT_EQ(g_Style.WorkPieceCount, 4);
  for (size_t i = 0; i < copies.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      const CPieceRecord* a = copies[i];
      const CPieceRecord* b = copies[j];
      const bool apart = a->PlacedLeft >= b->PlacedRight || b->PlacedLeft >= a->PlacedRight ||
                         a->PlacedTop >= b->PlacedBottom || b->PlacedTop >= a->PlacedBottom;
      EXPECT_TRUE(apart) << i << " and " << j;
    }
  }
  // Every piece is drawn inside the window.
  const QRect drawn = Drawn(view.canvas());
  EXPECT_GE(drawn.left(), 0);
  EXPECT_LE(drawn.right(), view.width() - 1);
  SaveScreenshot(frame.grab().toImage(), "s2_work_window.png");
  view.OnZoomOut();
  view.OnZoomOut();
  SaveScreenshot(frame.grab().toImage(), "s2_work_window_zoomed_out.png");
}

TEST_F(WorkWindowTest, ZoomInNeedsACurrentPieceAndKeepsThePointUnderTheMouse) {
  CWorkWindow view;
  view.resize(400, 300);
  CPieceRecord* a = Pick(view, ListPiece("A", 0, 0, 4000, 2000));
  CPieceRecord* b = Pick(view, ListPiece("B", 0, 0, 4000, 2000));
  view.OnShowAll();
  const double scale = view.GetScale();

  g_Selection.Reset();
  view.OnZoomIn();
  EXPECT_EQ(view.GetScale(), scale);

  SelectCurrentPiece(a);
  view.SetMousePosition(CPoint(100, 50));
  int mx = 0, my = 0;
  ScreenToModel(100, 50, &mx, &my, scale, a->OriginX, a->OriginY);
  const int b_offset = b->OriginX - a->OriginX;
  view.OnZoomIn();
  EXPECT_DOUBLE_EQ(view.GetScale(), scale * 7.0 / 8.0);
  int px = 0, py = 0;
  ModelToScreen(mx, my, &px, &py, view.GetScale(), a->OriginX, a->OriginY);
  EXPECT_NEAR(px, 100, 1);
  EXPECT_NEAR(py, 50, 1);
  // The other pieces move with the current one.
  EXPECT_EQ(b->OriginX - a->OriginX, b_offset);
}

TEST_F(WorkWindowTest, ZoomInStopsWherePiecesWouldLeaveTheDrawableRange) {
  CWorkWindow view;
  view.resize(400, 300);
  Pick(view, ListPiece("A", 0, 0, 4000, 2000));
  view.OnShowAll();
  for (int i = 0; i < 200; ++i) view.OnZoomIn();
  const double scale = view.GetScale();
  EXPECT_GT(scale, 0.0);
  EXPECT_TRUE(CanZoomIn());
  view.OnZoomIn();
  EXPECT_EQ(view.GetScale(), scale);
}

TEST_F(WorkWindowTest, ZoomOutWidensByTwentyPixelsAndKeepsTheCentre) {
  CWorkWindow view;
  view.resize(400, 300);
  view.OnZoomOut();  // empty work area: nothing
  EXPECT_EQ(view.GetScale(), 0.0);

  Pick(view, ListPiece("A", 0, 0, 4000, 2000));
  view.OnShowAll();
  const double scale = view.GetScale();
  int l = 0, t = 0, r = 0, b = 0;
  ScreenToModel(0, 0, &l, &t, scale, view.GetOriginX(), view.GetOriginY());
  ScreenToModel(399, 299, &r, &b, scale, view.GetOriginX(), view.GetOriginY());
  view.OnZoomOut();
  const int margin = RoundToInt(scale * 20.0);
  const double wider = std::max((r - l + 2.0 * margin) / 400, (b - t + 2.0 * margin) / 300);
  EXPECT_DOUBLE_EQ(view.GetScale(), wider);
  int l2 = 0, t2 = 0, r2 = 0, b2 = 0;
  ScreenToModel(0, 0, &l2, &t2, view.GetScale(), view.GetOriginX(), view.GetOriginY());
  ScreenToModel(399, 299, &r2, &b2, view.GetScale(), view.GetOriginX(), view.GetOriginY());
  EXPECT_NEAR((l2 + r2) / 2.0, (l + r) / 2.0, view.GetScale() + 1);
  EXPECT_NEAR((t2 + b2) / 2.0, (t + b) / 2.0, view.GetScale() + 1);
}

TEST_F(WorkWindowTest, TinyOrMinimisedWindowKeepsAFinitePositiveScale) {
  for (const QSize size : {QSize(0, 0), QSize(5, 3), QSize(20, 20), QSize(21, 21)}) {
    SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
    CWorkWindow view;
    view.resize(size);
    Pick(view, ListPiece("A", 0, 0, 4000, 2000));
    view.OnShowAll();
    EXPECT_TRUE(std::isfinite(view.GetScale()));
    EXPECT_GT(view.GetScale(), 0.0);
    view.OnZoomOut();
    EXPECT_TRUE(std::isfinite(view.GetScale()));
    EXPECT_GT(view.GetScale(), 0.0);
    // Picking still places its copy, clear of the first.
    CPieceRecord* second = Pick(view, ListPiece("B", 0, 0, 3000, 1000));
    const CPieceRecord* first = g_Style.WorkPieceRing;
    EXPECT_TRUE(second->PlacedLeft >= first->PlacedRight || second->PlacedTop >= first->PlacedBottom);
    g_Selection.Reset();
    ClearStyle();
    g_Style.AddSize(new CSizeRecord("M", 0, 0, 0x000000, 1));
  }
}

TEST_F(WorkWindowTest, RemovePieceMakesTheSuccessorCurrent) {
  CWorkWindow view;
  view.resize(400, 300);
  CPieceRecord* la = ListPiece("A", 0, 0, 4000, 2000);
  CPieceRecord* lb = ListPiece("B", 0, 0, 4000, 2000);
  CPieceRecord* a = Pick(view, la);
  CPieceRecord* b = Pick(view, lb);
  EXPECT_TRUE(CWorkWindow::CanRemovePiece());
  SelectCurrentPiece(a);
  view.OnRemovePiece();
  EXPECT_EQ(g_Style.WorkPieceCount, 1);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), b);
  EXPECT_EQ(la->Linked, 0);
  EXPECT_EQ(la->Link, nullptr);
  view.OnRemovePiece();
  EXPECT_EQ(g_Style.WorkPieceCount, 0);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), nullptr);
  EXPECT_FALSE(CWorkWindow::CanRemovePiece());
  EXPECT_FALSE(CWorkWindow::CanShowAll());
  view.OnRemovePiece();  // nothing current: nothing happens
  EXPECT_TRUE(AllPixels(view.canvas(), kGrey));
}

TEST_F(WorkWindowTest, ScrollingMovesTheOriginByWholeSteps) {
  CWorkWindow view;
  view.resize(400, 300);
  view.Extent = CRect(1000, 2000, 9000, 8000);
  view.SetScale(10.0);
  view.SetScrollRange(SB_HORZ, 0, 100);
  view.SetScrollPos(SB_HORZ, 10);
  struct Case {
    int code;
    int thumb;
    int pos;
  };
  const Case cases[] = {
      {SB_LINERIGHT, 0, 11}, {SB_LINELEFT, 0, 10}, {SB_PAGERIGHT, 0, 12},
      {SB_PAGELEFT, 0, 10},  {SB_THUMBTRACK, 50, 50}, {SB_THUMBPOSITION, 100, 100},
      {SB_LINERIGHT, 0, 100},  // at the end of the range
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    view.OnHScroll(c.code, c.thumb);
    EXPECT_EQ(view.GetScrollPos(SB_HORZ), c.pos);
    // extent left - 10 pixels + position x step (200 units).
    EXPECT_EQ(view.GetOriginX(), 1000 - 100 + c.pos * 200);
  }
  // A thumb dragged to where it is changes nothing.
  view.SetOriginX(0);
  view.OnHScroll(SB_THUMBTRACK, 100);
  EXPECT_EQ(view.GetOriginX(), 0);
}

}  // namespace
