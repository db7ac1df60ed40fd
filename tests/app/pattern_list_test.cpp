// The pattern list pane: picking pieces into the work area, reordering the
// style by dragging, the thumbnails, and a picture of the main window with a
// few pieces placed.
#include <algorithm>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>

#include "app/splitter.h"
#include "app/work_window.h"
#include "main_frame_fixture.h"
#include "model/geometry.h"
#include "platform/qt/canvas_dc.h"
#include "platform/recording_dc.h"
#include "res/command_ids.h"

namespace {

void Mouse(QWidget* w, QEvent::Type type, int x, int y) {
  const QPointF local(x, y);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, local, w->mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

// A click in the middle of a thumbnail.
void ClickItem(CPatternListBox* list, int index) {
  const CRect r = list->GetItemRect(index);
  Mouse(list, QEvent::MouseButtonPress, r.left + 30, 30);
  Mouse(list, QEvent::MouseButtonRelease, r.left + 30, 30);
}

// Presses on a thumbnail, moves the mouse to x and lets go there.
void DragItem(CPatternListBox* list, int index, int toX) {
  const CRect r = list->GetItemRect(index);
  Mouse(list, QEvent::MouseButtonPress, r.left + 30, 30);
  Mouse(list, QEvent::MouseMove, (r.left + 30 + toX) / 2, 30);
  Mouse(list, QEvent::MouseMove, toX, 30);
  Mouse(list, QEvent::MouseButtonRelease, toX, 30);
}

std::vector<std::string> Names(const std::vector<CPieceRecord*>& pieces) {
  std::vector<std::string> names;
  for (const CPieceRecord* p : pieces) names.push_back(p->PieceName.str());
  return names;
}

std::vector<std::string> ListNames(const CPatternListBox* list) {
  std::vector<CPieceRecord*> pieces;
  for (int i = 0; i < list->GetCount(); ++i) pieces.push_back(list->GetItemData(i));
  return Names(pieces);
}

class PatternListTest : public MainFrameFixture {
 protected:
  CPatternListBox* List() { return Frame().GetListBox(); }
  CWorkWindow* View() { return Frame().GetWorkWindow(); }

  // Three pieces A, B, C side by side in model space.
  void AddThreePieces() {
    Frame();
    AddSizes(2);
    AddRectPiece("A", 0, 0, 4000, 8000, "A");
    AddRectPiece("B", 6000, 0, 3000, 5000, "B");
    AddRectPiece("C", 12000, 0, 2000, 9000, "C");
  }
};

// --- picking ----------------------------------------------------------------------

TEST_F(PatternListTest, PickingIntoAnEmptyWorkAreaPlacesALinkedCopyAndFitsTheView) {
  AddThreePieces();
  CPieceRecord* a = StylePieces()[0];
  ClickItem(List(), 0);

  ASSERT_EQ(g_Style.WorkPieceCount, 1);
  CPieceRecord* copy = g_Style.WorkPieceRing;
  EXPECT_NE(copy, a);
  EXPECT_EQ(copy->PieceName, "A");
  EXPECT_EQ(copy->Linked, 1);
  EXPECT_EQ(copy->Link, a);
  EXPECT_EQ(a->Linked, 1);
  EXPECT_EQ(a->Link, copy);
  EXPECT_EQ(copy->ItemCount, a->ItemCount);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), copy);
  EXPECT_EQ(List()->GetCurSel(), 0);

  // The first piece keeps its model position...
  EXPECT_EQ(copy->PlacedLeft, a->BoxMinX);
  EXPECT_EQ(copy->PlacedTop, a->BoxMinY);
  EXPECT_EQ(copy->PlacedRight, a->BoxMaxX);
  EXPECT_EQ(copy->PlacedBottom, a->BoxMaxY);
  // ...and the view is fitted to it: it fills the window less a small margin.
  CWorkWindow* view = View();
  ASSERT_GT(view->GetScale(), 0.0);
  int left = 0, top = 0, right = 0, bottom = 0;
  ModelToScreen(copy->PlacedLeft, copy->PlacedTop, &left, &top, view->GetScale(), view->GetOriginX(),
                view->GetOriginY());
  ModelToScreen(copy->PlacedRight, copy->PlacedBottom, &right, &bottom, view->GetScale(), view->GetOriginX(),
                view->GetOriginY());
  EXPECT_GE(left, 8);
  EXPECT_GE(top, 8);
  EXPECT_LE(right, view->width() - 8);
  EXPECT_LE(bottom, view->height() - 8);
  EXPECT_TRUE(top <= 12 || left <= 12) << "the piece fills the window in one direction";
  EXPECT_TRUE(Frame().CommandAction(ID_VIEW_REMOVE_PIECE)->isEnabled());
}

TEST_F(PatternListTest, PickingAPlacedPieceOnlyMakesItsCopyCurrent) {
  AddThreePieces();
  ClickItem(List(), 0);
  ClickItem(List(), 1);
  ASSERT_EQ(g_Style.WorkPieceCount, 2);
  CPieceRecord* a = StylePieces()[0];
  CPieceRecord* b = StylePieces()[1];
  EXPECT_EQ(g_Selection.GetCurrentPiece(), b->Link);
  // The second copy lies apart from the first.
  const CPieceRecord* ca = a->Link;
  const CPieceRecord* cb = b->Link;
  const bool apart = cb->PlacedLeft >= ca->PlacedRight || cb->PlacedTop >= ca->PlacedBottom ||
                     ca->PlacedLeft >= cb->PlacedRight || ca->PlacedTop >= cb->PlacedBottom;
  EXPECT_TRUE(apart);

  ClickItem(List(), 0);
  EXPECT_EQ(g_Style.WorkPieceCount, 2);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), a->Link);
  EXPECT_EQ(List()->GetCurSel(), 0);
}

TEST_F(PatternListTest, AnEntryWhosePieceLeftTheStyleIsNeitherDrawnNorPicked) {
  AddThreePieces();
  CPieceRecord* b = StylePieces()[1];
  // The style frees the piece without telling the list.
  g_Style.RemovePiece(b);
  List()->Invalidate();
  ClickItem(List(), 1);
  EXPECT_EQ(g_Style.WorkPieceCount, 0);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), nullptr);
}

// --- reordering ---------------------------------------------------------------

TEST_F(PatternListTest, DraggingBeforeTheFirstThumbnailMakesThePieceTheFirst) {
  AddThreePieces();
  ClickItem(List(), 2);  // selects and places C
  DragItem(List(), 2, -20);
  EXPECT_EQ(Names(StylePieces()), (std::vector<std::string>{"C", "A", "B"}));
  EXPECT_EQ(ListNames(List()), (std::vector<std::string>{"C", "A", "B"}));
  EXPECT_EQ(List()->GetCurSel(), 0);
  EXPECT_FALSE(List()->IsDragging());
  // The ring is whole both ways.
  CPieceRecord* head = g_Style.PieceRing;
  EXPECT_EQ(head->Prev->PieceName, "B");
  EXPECT_EQ(head->Next->Next->Next, head);
}

TEST_F(PatternListTest, DroppingOnAThumbnailPutsThePieceInFrontOfIt) {
  AddThreePieces();
  ClickItem(List(), 0);
  DragItem(List(), 0, 2 * kListItemWidth + 20);
  EXPECT_EQ(Names(StylePieces()), (std::vector<std::string>{"B", "A", "C"}));
  EXPECT_EQ(ListNames(List()), (std::vector<std::string>{"B", "A", "C"}));
  EXPECT_EQ(List()->GetCurSel(), 1);
  EXPECT_EQ(List()->GetItemData(1)->PieceName, "A");
}

TEST_F(PatternListTest, PressingOnAnotherThumbnailPicksItWithoutDragging) {
  AddThreePieces();
  ClickItem(List(), 0);
  DragItem(List(), 2, -20);  // C was not selected: this is a pick, not a drag
  EXPECT_EQ(Names(StylePieces()), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(List()->GetCurSel(), 2);
  EXPECT_EQ(g_Style.WorkPieceCount, 2);
}

// --- layout and thumbnails -------------------------------------------------------

TEST_F(PatternListTest, ARowTooLongForThePaneGrowsByAScrollBar) {
  Frame();
  AddSizes(1);
  const int fit = List()->width() / kListItemWidth;
  for (int i = 0; i < fit; ++i) AddRectPiece("P", 0, 0, 100, 100);
  EXPECT_EQ(Frame().GetSplitter()->GetMaxBarPos(), kListItemHeight);
  EXPECT_FALSE(List()->scrollBar()->isVisible());

  AddRectPiece("P", 0, 0, 100, 100);
  AddRectPiece("P", 0, 0, 100, 100);
  QApplication::processEvents();
  const int extent = List()->scrollBar()->height();
  EXPECT_GT(extent, 0);
  EXPECT_EQ(Frame().GetSplitter()->GetMaxBarPos(), kListItemHeight + extent);
  EXPECT_TRUE(List()->scrollBar()->isVisible());
  // Selecting the last thumbnail scrolls it into view.
  List()->SetCurSel(List()->GetCount() - 1);
  EXPECT_EQ(List()->GetTopIndex(), List()->GetCount() - List()->VisibleColumns());
}

TEST_F(PatternListTest, BandColoursComeFromTheCategory) {
  struct Case {
    const char* category;
    COLORREF colour;
  };
  const Case kCases[] = {
      {"FIRST", 0xFFFFFF},  // the first piece's category: white
      {"AB", 0x8090E0},     // 65 + 66 = 131; 131 << 5 = 0x1060
      {"ABCX12", 0x8098C0}, // only "ABC" before the 'X' counts: 198 << 5 = 0x18C0
      {"AX", 0x8093A0},     // an 'X' this early counts as text: 153 << 5 = 0x1320
      {"", 0x80C080},       // nothing to sum: 0xC000
      {"\xC7\xB0", 0x8091A0},  // GBK bytes count as signed: -57 - 80 = -137
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.category);
    EXPECT_EQ(CPatternListBox::BandColor(c.category, "FIRST"), c.colour);
  }
}

TEST_F(PatternListTest, ThumbnailOutlineFitsTheBand) {
  Frame();
  AddSizes(2);
  CPieceRecord* piece = AddRectPiece("A", 1000, 1000, 8000, 4000);
  RecordingDC dc;
  const CRect cell(66, 0, 132, 62);
  CPatternListBox::DrawOutline(&dc, cell, piece, false);
  int lines = 0;
  for (const DrawCall& call : dc.calls()) {
    if (call.op != DrawCall::Op::kLineTo) continue;
    ++lines;
    const CPoint& to = call.points.back();
    EXPECT_GE(to.x, cell.left + 6);
    EXPECT_LE(to.x, cell.right - 6);
    EXPECT_GE(to.y, 1);
    EXPECT_LE(to.y, 28);
    EXPECT_EQ(call.state.pen.color(), 0u);
  }
  EXPECT_EQ(lines, 4);  // a rectangle, closed
}

TEST_F(PatternListTest, ThumbnailsWithoutAUsableOutlineDrawNoOutline) {
  Frame();
  AddSizes(1);
  CPieceRecord* noOutline = new CPieceRecord();
  g_Style.AddPiece(noOutline);
  CPieceRecord* point = AddPiece("dot", {{500, 500}, {500, 500}, {500, 500}});
  CPieceRecord* emptyBox = AddRectPiece("box", 0, 0, 100, 100);
  emptyBox->BoxMinX = emptyBox->BoxMinY = kBoxEmptyMin;
  emptyBox->BoxMaxX = emptyBox->BoxMaxY = kBoxEmptyMax;
  CPieceRecord* fine = AddRectPiece("fine", 0, 0, 100, 100);

  struct Case {
    const char* what;
    CPieceRecord* piece;
  };
  const Case kCases[] = {{"no outline", noOutline}, {"outline of no size", point}, {"empty box", emptyBox}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    RecordingDC dc;
    CPatternListBox::DrawOutline(&dc, CRect(0, 0, 66, 62), c.piece, false);
    EXPECT_TRUE(dc.calls().empty());
    // The whole thumbnail still draws.
    RecordingDC whole;
    CPatternListBox::DrawPiece(&whole, CRect(0, 0, 66, 62), c.piece, true);
    EXPECT_FALSE(whole.calls().empty());
  }

  // A style without sizes has no curve to draw.
  for (CSizeRecord* s = g_Style.SizeRing; g_Style.SizeCount > 0; s = g_Style.SizeRing) g_Style.RemoveSize(s);
  RecordingDC dc;
  CPatternListBox::DrawOutline(&dc, CRect(0, 0, 66, 62), fine, false);
  EXPECT_TRUE(dc.calls().empty());
}

TEST_F(PatternListTest, ThumbnailsShowTheSelectionAndTheBandColours) {
  AddThreePieces();
  ClickItem(List(), 1);
  const QImage& canvas = List()->canvas();
  auto rgb = [&](int x, int y) { return canvas.pixel(x, y) & 0xFFFFFF; };
  // Inside the band, clear of the outline: A shares the first piece's
  // category (white), B is selected (black), C has a colour of its own.
  const COLORREF c = CPatternListBox::BandColor("C", "A");
  const QRgb cQt = qRgb(GetRValue(c), GetGValue(c), GetBValue(c)) & 0xFFFFFF;
  EXPECT_EQ(rgb(3, 3), 0xFFFFFFu);
  EXPECT_EQ(rgb(kListItemWidth + 3, 3), 0x000000u);
  EXPECT_EQ(rgb(2 * kListItemWidth + 3, 3), cQt);
  // The separator at each cell's right edge.
  EXPECT_EQ(rgb(kListItemWidth - 1, 40), 0x000000u);
  EXPECT_EQ(rgb(kListItemWidth - 2, 40), 0xC0C0C0u);
  // The selected thumbnail's outline is white on black.
  bool whiteInBand = false;
  for (int x = kListItemWidth + 2; x < 2 * kListItemWidth - 6; ++x) {
    for (int y = 2; y < 28; ++y) whiteInBand |= rgb(x, y) == 0xFFFFFFu;
  }
  EXPECT_TRUE(whiteInBand);
}

// --- what the user sees ---------------------------------------------------------

TEST_F(PatternListTest, PictureOfTheMainWindowWithPiecesPlaced) {
  CMainFrame& frame = Frame();
  AddSizes(3);
  g_Style.StyleName = "Coat";
  // A bodice front and back with curved armholes, a sleeve and a collar.
  AddPiece("Front", {{0, 0}, {5200, 0}, {5600, 2400}, {6200, 5200}, {6000, 20000}, {0, 20000}},
           {false, false, true, false, false, false}, "CoatX1");
  AddPiece("Back", {{0, 0}, {5400, 600}, {5800, 3000}, {6400, 5400}, {6200, 20000}, {0, 20000}},
           {false, false, true, false, false, false}, "CoatX2");
  AddPiece("Sleeve", {{0, 4000}, {3000, 600}, {6000, 0}, {9000, 600}, {12000, 4000}, {10000, 22000}, {2000, 22000}},
           {false, true, true, true, false, false, false}, "Lining");
  AddPiece("Collar", {{0, 0}, {9000, 0}, {9000, 2600}, {4500, 3400}, {0, 2600}}, {false, false, false, true, false},
           "Trim");
  ClickItem(List(), 0);
  ClickItem(List(), 1);
  ClickItem(List(), 2);
  frame.RunCommand(ID_VIEW_FULL_SCREEN);
  QApplication::processEvents();

  const QImage picture = frame.grab().toImage();
  ASSERT_FALSE(picture.isNull());
  EXPECT_TRUE(picture.save("/tmp/zvaama_main_window.png", "PNG"));
  // The thumbnails, four times as large, to look at their details.
  const QImage& thumbnails = List()->canvas();
  EXPECT_TRUE(thumbnails.copy(0, 0, 4 * kListItemWidth, kListItemHeight)
                  .scaled(16 * kListItemWidth, 4 * kListItemHeight)
                  .save("/tmp/zvaama_list_pane.png", "PNG"));
  EXPECT_EQ(g_Style.WorkPieceCount, 3);
}

}  // namespace
