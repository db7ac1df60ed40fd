// The pattern list pane: the upper row of the main window, one thumbnail per
// piece of the style in a single horizontal row, in the order of the style's
// ring of all pieces.
//
// Picking a thumbnail makes the piece current; the first time, a duplicate of
// it (its work-area copy, linked both ways to the listed piece) is placed in
// the work area. Picking a piece that is already placed only makes its copy
// current. Pressing again on the selected thumbnail and dragging it sideways
// moves the piece in the style's ring: it goes in front of the piece it is
// dropped on (in front of the first one when dropped left of the row), so it
// is numbered and written in that place.
//
// The readers add pieces here as they load them (AddPiece); New and every
// import empty the list. The list box registers itself as g_pListPane, the
// model's view of the list, while it exists.
//
// Thumbnails are drawn on a canvas (QImage) through a device context; the
// paint event shows the canvas. A change asks for a render, served once for
// all the changes of the next kListRenderIntervalMs (or sooner when the
// picture is painted or read): picking many pieces in a row redraws the row
// of thumbnails a few times a second, not once per pick. The list keeps the pieces' pointers and
// never frees them; an entry whose piece is no longer in the style is drawn
// empty and cannot be picked.
#pragma once

#include <functional>
#include <vector>

#include <QImage>
#include <QWidget>

#include "app/render_throttle.h"
#include "model/shell_services.h"
#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class QScrollBar;
class CDC;
class CPieceRecord;
class CmySplitter;

// Size of one thumbnail in pixels.
inline constexpr int kListItemWidth = 66;
inline constexpr int kListItemHeight = 62;
// The longest a change waits for the thumbnails to be rendered again.
inline constexpr int kListRenderIntervalMs = 20;

class CPatternListBox : public QWidget, public IPatternListBox {
 public:
  explicit CPatternListBox(QWidget* parent = nullptr);
  ~CPatternListBox() override;
  CPatternListBox(const CPatternListBox&) = delete;
  CPatternListBox& operator=(const CPatternListBox&) = delete;

  // The splitter whose upper row this list sizes (may be null).
  void SetSplitter(CmySplitter* splitter) { splitter_ = splitter; }
  // Called after a pick or a reorder has changed the work area or the style
  // (the main frame updates its command states).
  void SetChangeHandler(std::function<void()> handler) { on_change_ = std::move(handler); }

  // --- the model's view of the list (IPatternListBox) ----------------------
  // Appends an entry for the piece; returns its index.
  int AddPiece(CPieceRecord* piece) override;
  // Deletes the first entry holding the piece (nothing when none does).
  void RemovePiece(CPieceRecord* piece) override;
  // Deletes every entry.
  void ResetContent() override;
  // Selects the first entry holding the piece (unless it is selected); no
  // entry holds it, or it is null: no selection.
  void SelectPiece(CPieceRecord* piece) override;

  // Inserts an entry at `index` (appends when out of range); returns its index.
  int InsertPiece(int index, CPieceRecord* piece);
  // Gives the splitter's upper row the list's height: one row of thumbnails,
  // and a scroll bar under it when they do not all fit side by side.
  void RecalcLayout();
  // The upper row's height for a list `width` pixels wide.
  int RowHeightFor(int width) const;

  // --- list-box basics -------------------------------------------------------
  int GetCount() const { return static_cast<int>(items_.size()); }
  // The piece of an entry; null for an index out of range.
  CPieceRecord* GetItemData(int index) const;
  // The selected entry, or -1.
  int GetCurSel() const { return cur_sel_; }
  // Selects an entry and scrolls it into view; -1 (or any index out of range)
  // clears the selection. Returns the index selected, or -1. Does not count
  // as a pick.
  int SetCurSel(int index);
  // The first entry shown.
  int GetTopIndex() const { return top_index_; }
  void SetTopIndex(int index);
  // Deletes an entry; returns the number left, or -1 for an index out of range.
  int DeleteString(int index);
  // The entry's rectangle in the list's pixels (left, top, right, bottom).
  CRect GetItemRect(int index) const;
  // The entry under a point of the list, or -1.
  int ItemFromPoint(CPoint point) const;
  // Thumbnails that fit side by side, whole.
  int VisibleColumns() const;
  // Draws the list again (after the pieces' names, quantities or copies have
  // changed).
  void Invalidate();

  // --- picking and dragging ------------------------------------------------
  // The user has picked the selected entry: the piece becomes current, placed
  // in the work area first when it is not there yet.
  void OnSelchange();
  // Mouse actions in the list's pixels, as the widget's mouse events call them.
  void OnLButtonDown(CPoint point);
  void OnMouseMove(CPoint point);
  void OnLButtonUp(CPoint point);
  bool IsDragging() const { return dragging_ != 0; }

  // --- drawing ---------------------------------------------------------------
  // One thumbnail in the rectangle: a white cell with separators on its right,
  // a band coloured after the piece's category (black when selected), the
  // outline of the first size fitted into the cell, the piece's number in the
  // style, and the quantity and name of its work-area copy (else its own).
  static void DrawPiece(CDC* dc, const CRect& rect, CPieceRecord* piece, bool selected);
  // The outline of the style's first size, fitted into the cell. Nothing for
  // a piece without an outline or without a built curve, a style without
  // sizes, or a piece whose box is empty or of zero size.
  static void DrawOutline(CDC* dc, const CRect& rect, CPieceRecord* piece, bool selected);
  // The band colour of a piece of this category: white when it is the
  // category of the style's first piece, else a light colour made from the
  // category's bytes.
  static COLORREF BandColor(const CString& category, const CString& firstCategory);

  // The list's picture, rendered first when a render is waiting.
  const QImage& canvas() const;
  QScrollBar* scrollBar() const { return scroll_bar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Height of the thumbnail row, without the scroll bar.
  int ItemAreaHeight() const;
  int ScrollBarExtent() const;
  void UpdateScrollBar();
  // Asks for the thumbnails to be rendered (see the top of this file).
  void Render();
  // Renders now and schedules a repaint.
  void RenderNow();
  // Draws every visible thumbnail into the canvas, the drag outline on top
  // while one is shown.
  void RenderCanvas();
  // Inverts the dotted outline of the dragged thumbnail.
  void XorDragOutline();
  // Puts the piece of entry `from` in front of the piece of entry `to`, in
  // the style's ring and in the list.
  void MoveEntry(int from, int to);
  void NotifyChange();

  std::vector<CPieceRecord*> items_;
  int cur_sel_ = -1;
  int top_index_ = 0;
  // Dragging state.
  int outline_drawn_ = 0;
  CPoint last_point_;
  CRect drag_rect_;
  int dragging_ = 0;
  int last_width_ = 0;

  QScrollBar* scroll_bar_ = nullptr;  // child widget, owned by Qt
  QImage canvas_;
  CRenderThrottle render_;
  CmySplitter* splitter_ = nullptr;
  bool syncing_scroll_bar_ = false;
  std::function<void()> on_change_;
};

// The upper pane of the main splitter: holds the list box, which always
// fills it.
class CPatternListFormView : public QWidget {
 public:
  explicit CPatternListFormView(QWidget* parent = nullptr);

  CPatternListBox* GetListBox() const { return list_box_; }
  // Sizes the list box to the whole pane.
  void OnInitialUpdate();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  CPatternListBox* list_box_ = nullptr;  // child widget, owned by Qt
};
