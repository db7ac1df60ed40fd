#include "app/pattern_list.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include "app/piece_drawing.h"
#include "app/splitter.h"
#include "app/work_window.h"
#include "model/geometry.h"
#include "model/items/curve_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/style.h"
#include "model/work_area.h"
#include "platform/dc.h"
#include "platform/qt/canvas_dc.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kLightGrey = 0xC0C0C0;
constexpr COLORREF kRed = 0x0000FF;
// The band at the top of a thumbnail, where the outline is drawn.
constexpr int kBandBottom = 29;
// Text rows at the bottom of a thumbnail.
constexpr int kTextHeight = 16;

int32_t ClampToInt32(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// The piece's 1-based place in the style's ring of all pieces; 0 when the
// piece is not in it (an entry left behind by a piece already freed).
int PositionInStyle(const CPieceRecord* piece) {
  const CPieceRecord* p = g_Style.PieceRing;
  for (int32_t i = 0; i < g_Style.PieceCount && p != nullptr; ++i, p = p->Next) {
    if (p == piece) return i + 1;
  }
  return 0;
}

bool IsListedPiece(const CPieceRecord* piece) { return piece != nullptr && PositionInStyle(piece) > 0; }

// The first line of a text, cut to the whole characters that fit `width`
// pixels in the device context's font.
CString FitText(const CDC& dc, const CString& text, int width) {
  int end = 0;
  const int length = text.GetLength();
  while (end < length && text[end] != '\n' && text[end] != '\r') {
    const int step = IsGbkLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < length ? 2 : 1;
    if (dc.GetTextExtent(text.c_str(), end + step).cx > width) break;
    end += step;
  }
  return text.Left(end);
}

// Moves `piece` in front of `before` in the style's ring of all pieces. The
// head follows: a piece taken from the head hands it to its successor, and a
// piece put in front of the head becomes the head.
void MovePieceBefore(CPieceRecord* piece, CPieceRecord* before) {
  if (piece == before || g_Style.PieceCount < 2) return;
  if (g_Style.PieceRing == piece) g_Style.PieceRing = piece->Next;
  piece->Prev->Next = piece->Next;
  piece->Next->Prev = piece->Prev;
  piece->Next = before;
  piece->Prev = before->Prev;
  before->Prev->Next = piece;
  before->Prev = piece;
  if (g_Style.PieceRing == before) g_Style.PieceRing = piece;
}

CWorkWindow* WorkWindow() { return dynamic_cast<CWorkWindow*>(g_pWorkWindow); }

void HideWorkWindowScrollBars() {
  if (CWorkWindow* view = WorkWindow()) {
    view->SetScrollRange(SB_HORZ, 0, 0, TRUE);
    view->SetScrollRange(SB_VERT, 0, 0, TRUE);
  }
}

void RedrawWorkWindow() {
  if (CWorkWindow* view = WorkWindow()) {
    view->Redraw(TRUE);
  } else if (g_pWorkWindow) {
    g_pWorkWindow->Redraw();
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// CPatternListBox

CPatternListBox::CPatternListBox(QWidget* parent)
    : QWidget(parent), render_(this, kListRenderIntervalMs, [this] { RenderNow(); }) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  scroll_bar_ = new QScrollBar(Qt::Horizontal, this);
  scroll_bar_->hide();
  QObject::connect(scroll_bar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (!syncing_scroll_bar_) SetTopIndex(value);
  });
  g_pListPane = this;
}

CPatternListBox::~CPatternListBox() {
  if (g_pListPane == this) g_pListPane = nullptr;
}

int CPatternListBox::AddPiece(CPieceRecord* piece) {
  items_.push_back(piece);
  RecalcLayout();
  return GetCount() - 1;
}

int CPatternListBox::InsertPiece(int index, CPieceRecord* piece) {
  if (index < 0 || index > GetCount()) index = GetCount();
  items_.insert(items_.begin() + index, piece);
  if (cur_sel_ >= index) ++cur_sel_;
  RecalcLayout();
  return index;
}

void CPatternListBox::RemovePiece(CPieceRecord* piece) {
  const auto it = std::find(items_.begin(), items_.end(), piece);
  if (it != items_.end()) DeleteString(static_cast<int>(it - items_.begin()));
  RecalcLayout();
}

void CPatternListBox::ResetContent() {
  items_.clear();
  cur_sel_ = -1;
  top_index_ = 0;
  RecalcLayout();
}

void CPatternListBox::SelectPiece(CPieceRecord* piece) {
  if (items_.empty()) return;
  const auto it = piece ? std::find(items_.begin(), items_.end(), piece) : items_.end();
  if (it == items_.end()) {
    SetCurSel(-1);
    return;
  }
  const int index = static_cast<int>(it - items_.begin());
  if (index != cur_sel_) SetCurSel(index);
}

CPieceRecord* CPatternListBox::GetItemData(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)] : nullptr;
}

int CPatternListBox::SetCurSel(int index) {
  if (index < 0 || index >= GetCount()) {
    cur_sel_ = -1;
    Render();
    return -1;
  }
  cur_sel_ = index;
  // Scroll the selected thumbnail into view.
  const int columns = std::max(VisibleColumns(), 1);
  if (index < top_index_) {
    top_index_ = index;
  } else if (index >= top_index_ + columns) {
    top_index_ = index - columns + 1;
  }
  UpdateScrollBar();
  Render();
  return index;
}

void CPatternListBox::SetTopIndex(int index) {
  const int highest = std::max(GetCount() - std::max(VisibleColumns(), 1), 0);
  const int top = std::clamp(index, 0, highest);
  if (top == top_index_) return;
  top_index_ = top;
  UpdateScrollBar();
  Render();
}

int CPatternListBox::DeleteString(int index) {
  if (index < 0 || index >= GetCount()) return -1;
  items_.erase(items_.begin() + index);
  if (cur_sel_ == index) {
    cur_sel_ = -1;
  } else if (cur_sel_ > index) {
    --cur_sel_;
  }
  const int highest = std::max(GetCount() - std::max(VisibleColumns(), 1), 0);
  top_index_ = std::clamp(top_index_, 0, highest);
  UpdateScrollBar();
  Render();
  return GetCount();
}

CRect CPatternListBox::GetItemRect(int index) const {
  const int left = (index - top_index_) * kListItemWidth;
  return CRect(left, 0, left + kListItemWidth, kListItemHeight);
}

int CPatternListBox::ItemFromPoint(CPoint point) const {
  if (point.x < 0 || point.y < 0 || point.y >= ItemAreaHeight()) return -1;
  const int index = top_index_ + point.x / kListItemWidth;
  return index < GetCount() ? index : -1;
}

int CPatternListBox::VisibleColumns() const { return width() / kListItemWidth; }

int CPatternListBox::ScrollBarExtent() const { return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this); }

int CPatternListBox::ItemAreaHeight() const {
  const int bar = scroll_bar_->isVisibleTo(this) ? scroll_bar_->height() : 0;
  return std::max(height() - bar, 0);
}

int CPatternListBox::RowHeightFor(int width) const {
  const int columns = width / kListItemWidth;
  return columns < GetCount() ? kListItemHeight + ScrollBarExtent() : kListItemHeight;
}

void CPatternListBox::RecalcLayout() {
  // The client rectangle's right edge is its width; a thumbnail that reaches
  // it exactly still counts as fitting.
  const int height = RowHeightFor(width() + 1);
  if (splitter_) {
    splitter_->SetMaxBarPos(height);
    splitter_->SetRowInfo(0, height, 0);
    splitter_->RecalcLayout();
  }
  UpdateScrollBar();
  Render();
}

void CPatternListBox::UpdateScrollBar() {
  const int columns = std::max(VisibleColumns(), 1);
  const bool needed = (width() + 1) / kListItemWidth < GetCount();
  syncing_scroll_bar_ = true;
  scroll_bar_->setRange(0, std::max(GetCount() - columns, 0));
  scroll_bar_->setPageStep(columns);
  scroll_bar_->setSingleStep(1);
  scroll_bar_->setValue(top_index_);
  syncing_scroll_bar_ = false;
  const int extent = ScrollBarExtent();
  scroll_bar_->setGeometry(0, std::max(height() - extent, 0), width(), extent);
  scroll_bar_->setVisible(needed);
}

void CPatternListBox::Invalidate() { Render(); }

void CPatternListBox::Render() { render_.Request(); }

void CPatternListBox::RenderNow() {
  RenderCanvas();
  update();
}

const QImage& CPatternListBox::canvas() const {
  // Rendering changes only the canvas, a cache of the thumbnails' picture.
  if (render_.Pending()) const_cast<CPatternListBox*>(this)->RenderCanvas();
  return canvas_;
}

void CPatternListBox::RenderCanvas() {
  render_.Served();
  const QSize size(std::max(width(), 1), std::max(ItemAreaHeight(), 1));
  if (canvas_.size() != size) canvas_ = QImage(size, QImage::Format_RGB32);
  canvas_.fill(Qt::white);
  QtCanvasDC dc(canvas_);
  for (int index = top_index_; index < GetCount(); ++index) {
    const CRect rect = GetItemRect(index);
    if (rect.left >= canvas_.width()) break;
    CPieceRecord* piece = items_[static_cast<size_t>(index)];
    if (IsListedPiece(piece)) DrawPiece(&dc, rect, piece, index == cur_sel_);
  }
  if (outline_drawn_) XorDragOutline();
}

void CPatternListBox::XorDragOutline() {
  QtCanvasDC dc(canvas_);
  dc.SetROP2(R2_XORPEN);
  CPen dotted(PS_DOT, 1, kBlack);
  dc.SelectObject(&dotted);
  dc.SetBkColor(kWhite);
  const CRect& r = drag_rect_;
  dc.MoveTo(r.left, r.top);
  dc.LineTo(r.right - 1, r.top);
  dc.LineTo(r.right - 1, r.bottom - 1);
  dc.LineTo(r.left, r.bottom - 1);
  dc.LineTo(r.left, r.top);
  update();
}

void CPatternListBox::paintEvent(QPaintEvent* event) {
  // The scroll bar's repaints reach only the strip under the thumbnails,
  // which needs no render.
  if (render_.Pending() && event->region().intersects(QRect(0, 0, width(), ItemAreaHeight()))) RenderCanvas();
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.drawImage(0, 0, canvas_);
}

void CPatternListBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int cx = width();
  if (splitter_) {
    const int height = RowHeightFor(cx);
    splitter_->SetMaxBarPos(height);
    if (cx != last_width_) {
      splitter_->SetRowInfo(0, height, 0);
      splitter_->RecalcLayout();
    }
  }
  last_width_ = cx;
  UpdateScrollBar();
  Render();
}

// ---------------------------------------------------------------------------
// Drawing

COLORREF CPatternListBox::BandColor(const CString& category, const CString& firstCategory) {
  if (category == firstCategory) return kWhite;
  // Sizes and variants are often written after an 'X' ("A12X3"): only the
  // part before it counts, so that such pieces share a colour.
  int n = category.GetLength();
  const int x = category.Find('X');
  if (!category.IsEmpty() && x > 2) n = x;
  int64_t sum = 0;
  for (int i = 0; i < n; ++i) sum += static_cast<signed char>(category[i]);
  uint32_t c = static_cast<uint32_t>(sum < 0 ? -sum : sum) << 5;
  if (c < 32) c = 0xC000;
  return RGB(static_cast<int>((c & 0xFF) | 0x80), static_cast<int>(((c >> 8) & 0xFF) | 0x80),
             static_cast<int>(((c >> 16) & 0xFF) | 0x80));
}

void CPatternListBox::DrawOutline(CDC* dc, const CRect& rect, CPieceRecord* piece, bool selected) {
  if (!dc || !piece) return;
  CPieceItem* item = nullptr;
  if (!piece->FindItem(kItemTypeOutline, &item)) return;
  const auto* outline = dynamic_cast<const CPieceCurveItem*>(item);
  CSizeRecord* first = g_Style.SizeRing;
  if (!outline || !first || g_Style.SizeCount <= 0) return;
  const std::vector<CPoint> points = outline->GetCurvePoints(first);
  if (points.empty()) return;

  // Fit the piece's box into the band: 7 pixels spare on each side, 24 rows.
  const double boxWidth = static_cast<double>(piece->BoxMaxX) - piece->BoxMinX;
  const double boxHeight = static_cast<double>(piece->BoxMaxY) - piece->BoxMinY;
  if (boxWidth < 0 || boxHeight < 0) return;  // an empty box
  const double sx = boxWidth / (rect.right - rect.left - 14.0);
  const double sy = boxHeight / 24.0;
  const double s = sx > sy ? sx : sy;
  if (!(s > 0.0) || !std::isfinite(s)) return;  // an outline of no size
  const double centreX = piece->BoxMinX + std::floor((boxWidth + 1) / 2);
  const double centreY = piece->BoxMinY + std::floor((boxHeight + 1) / 2);
  const int originX = ClampToInt32(centreX - std::trunc((rect.left + (rect.right - rect.left - 4.0) / 2.0 - 1.0) * s));
  const int originY = ClampToInt32(centreY - std::trunc(14.0 * s));

  CPen pen(PS_SOLID, 1, selected ? kWhite : kBlack);
  CPen* old = dc->SelectObject(&pen);
  int x = 0, y = 0;
  ModelToScreen(points[0].x, points[0].y, &x, &y, s, originX, originY);
  dc->MoveTo(x, y);
  const size_t n = points.size();
  for (size_t i = 1; i <= n; ++i) {
    const CPoint& p = points[i % n];
    ModelToScreen(p.x, p.y, &x, &y, s, originX, originY);
    dc->LineTo(x, y);
  }
  dc->SelectObject(old);
}

void CPatternListBox::DrawPiece(CDC* dc, const CRect& r, CPieceRecord* piece, bool selected) {
  if (!dc || !piece) return;
  const int saved = dc->SaveDC();
  dc->SetROP2(R2_COPYPEN);

  // The white cell.
  CPen whitePen(PS_SOLID, 1, kWhite);
  CBrush whiteBrush(kWhite);
  dc->SelectObject(&whitePen);
  dc->SelectObject(&whiteBrush);
  dc->Rectangle(r.left, r.top, r.right, r.bottom);

  // Separators on its right.
  CPen blackPen(PS_SOLID, 1, kBlack);
  CPen greyPen(PS_SOLID, 1, kLightGrey);
  dc->SelectObject(&blackPen);
  dc->MoveTo(r.right - 1, r.top);
  dc->LineTo(r.right - 1, r.bottom);
  dc->SelectObject(&greyPen);
  dc->MoveTo(r.right - 2, r.top);
  dc->LineTo(r.right - 2, r.bottom);
  dc->MoveTo(r.right - 4, r.top);
  dc->LineTo(r.right - 4, r.bottom);

  // The band.
  CBrush blackBrush(kBlack);
  const CPieceRecord* head = g_Style.PieceRing;
  CBrush bandBrush(BandColor(piece->Category, head ? head->Category : CString()));
  dc->SelectObject(selected ? &blackPen : &whitePen);
  dc->SelectObject(selected ? &blackBrush : &bandBrush);
  dc->Rectangle(r.left + 1, r.top + 1, r.right - 5, r.top + kBandBottom);

  DrawOutline(dc, r, piece, selected);

  // Number in the style, then quantity and name of the placed copy.
  LOGFONT lf = g_DefaultFontInitial;
  lf.lfHeight = kTextHeight;
  lf.lfWidth = 0;
  CFont font;
  font.CreateFontIndirect(&lf);
  dc->SelectObject(&font);
  dc->SetBkColor(kWhite);
  CString text;
  text.Format("%d", PositionInStyle(piece));
  dc->SetTextColor(kRed);
  dc->SetTextAlign(TA_RIGHT | TA_TOP);
  dc->TextOut(r.right - 7, r.bottom - kTextHeight, text);

  const CPieceRecord* shown = piece->Linked && piece->Link ? piece->Link : piece;
  text.Format("%d", shown->Quantity);
  dc->SetTextColor(kBlack);
  dc->SetTextAlign(TA_LEFT | TA_TOP);
  dc->TextOut(r.left + 2, r.bottom - kTextHeight, text);
  const CString name = FitText(*dc, shown->PieceName, (r.right - 5) - (r.left + 2));
  if (!name.IsEmpty()) dc->TextOut(r.left + 2, r.bottom - 2 * kTextHeight, name);

  dc->RestoreDC(saved);
}

// ---------------------------------------------------------------------------
// Picking

void CPatternListBox::OnSelchange() {
  if (cur_sel_ < 0) return;
  CPieceRecord* piece = GetItemData(cur_sel_);
  if (!IsListedPiece(piece)) return;

  if (piece->Linked && piece->Link) {
    SelectCurrentPiece(piece->Link);
    NotifyChange();
    return;
  }

  const bool firstInWorkArea = g_Style.IsEmpty() != FALSE;
  if (firstInWorkArea && g_pWorkWindow) {
    g_pWorkWindow->Extent = CRect(kBoxEmptyMin, kBoxEmptyMin, kExtentEmptyMax, kExtentEmptyMax);
  }
  std::unique_ptr<CPieceRecord> owned = DuplicatePiece(piece);
  if (!owned) return;
  CPieceRecord* const copy = owned.get();
  copy->Linked = 1;
  copy->Link = piece;
  piece->Linked = 1;
  piece->Link = copy;
  if (g_pWorkWindow) g_pWorkWindow->PlacePiece(copy);
  g_Style.AddWorkPiece(owned.release());
  HideWorkWindowScrollBars();

  if (firstInWorkArea) {
    g_Selection.SetCurrent(nullptr, nullptr, nullptr, nullptr);
    if (UpdateWorkAreaExtent()) {
      g_pWorkWindow->ZoomToFit();
      SyncWorkPieceOrigins();
      RedrawWorkWindow();
    }
    SelectCurrentPiece(copy);
  } else if (UpdateWorkAreaExtent()) {
    g_pWorkWindow->ZoomToFit();
    SyncWorkPieceOrigins();
    SelectCurrentPiece(copy);
    RedrawWorkWindow();
  } else if (g_pWorkWindow) {
    // The view stays as it is: draw the new piece into it at once.
    const double scale = g_pWorkWindow->GetScale();
    const int64_t fourPixels = 4 * static_cast<int64_t>(ClampToInt32(std::trunc(scale)));
    copy->OriginX = Wrap32(int64_t{copy->BoxMinX} - (int64_t{copy->PlacedLeft} + fourPixels - g_pWorkWindow->GetOriginX()));
    copy->OriginY = Wrap32(int64_t{copy->BoxMinY} - (int64_t{copy->PlacedTop} + fourPixels - g_pWorkWindow->GetOriginY()));
    if (CWorkWindow* view = WorkWindow(); view && view->RenderPending()) {
      // The view's pending render draws the piece with the others.
      view->InvalidateModelRect(copy->PlacedLeft, copy->PlacedTop, copy->PlacedRight, copy->PlacedBottom, scale,
                                copy->OriginX, copy->OriginY);
    } else if (CDC* dc = g_pWorkWindow->GetDC()) {
      dc->SetROP2(R2_COPYPEN);
      ::DrawPiece(dc, copy, scale, copy->OriginX, copy->OriginY);
      g_pWorkWindow->ReleaseDC(dc);
    }
    SelectCurrentPiece(copy);
  } else {
    SelectCurrentPiece(copy);
  }
  Render();
  NotifyChange();
}

void CPatternListBox::NotifyChange() {
  if (on_change_) on_change_();
}

// ---------------------------------------------------------------------------
// Dragging

void CPatternListBox::OnLButtonDown(CPoint point) {
  // A press ends a drag still in progress.
  if (dragging_) {
    dragging_ = 0;
    if (outline_drawn_) XorDragOutline();
    outline_drawn_ = 0;
  }
  const int before = cur_sel_;
  // A press on a thumbnail selects it, and a new selection is a pick.
  const int hit = ItemFromPoint(point);
  if (hit >= 0 && hit != cur_sel_) {
    cur_sel_ = hit;
    Render();
    OnSelchange();
  }
  // A press on the thumbnail that was already selected starts a drag.
  if (GetCount() == 0 || hit < 0 || hit != before || hit != cur_sel_) return;
  drag_rect_ = GetItemRect(hit);
  outline_drawn_ = 0;
  last_point_ = point;
  dragging_ = 1;
}

void CPatternListBox::OnMouseMove(CPoint point) {
  if (!dragging_) return;
  if (outline_drawn_) XorDragOutline();
  outline_drawn_ = 0;
  drag_rect_.OffsetRect(point.x - last_point_.x, 0);
  if (drag_rect_.left < 0 && top_index_ > 0) {
    SetTopIndex(top_index_ - 1);
  }
  if (drag_rect_.right - 1 > width() && top_index_ + (width() + 1) / kListItemWidth < GetCount()) {
    SetTopIndex(top_index_ + 1);
  }
  XorDragOutline();
  outline_drawn_ = 1;
  last_point_ = point;
}

void CPatternListBox::OnLButtonUp(CPoint) {
  if (!dragging_) return;
  dragging_ = 0;
  if (outline_drawn_) XorDragOutline();
  outline_drawn_ = 0;
  if (GetCount() == 0) return;
  int target = 0;
  if (drag_rect_.left < 0) {
    target = std::max(top_index_ - 1, 0);
  } else {
    target = std::min(top_index_ + (drag_rect_.right - 1) / kListItemWidth, GetCount() - 1);
  }
  if (cur_sel_ >= 0 && cur_sel_ != target) MoveEntry(cur_sel_, target);
  Render();
}

void CPatternListBox::MoveEntry(int from, int to) {
  CPieceRecord* moved = GetItemData(from);
  CPieceRecord* before = GetItemData(to);
  if (!IsListedPiece(moved) || !IsListedPiece(before) || moved == before) return;
  MovePieceBefore(moved, before);
  InsertPiece(to, moved);
  SetCurSel(to);
  // The entry's old place, after the insertion.
  DeleteString(from >= to ? from + 1 : from);
  NotifyChange();
}

void CPatternListBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  OnLButtonDown(CPoint(p.x(), p.y()));
}

void CPatternListBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  OnMouseMove(CPoint(p.x(), p.y()));
}

void CPatternListBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->position().toPoint();
  OnLButtonUp(CPoint(p.x(), p.y()));
}

// ---------------------------------------------------------------------------
// CPatternListFormView

CPatternListFormView::CPatternListFormView(QWidget* parent) : QWidget(parent) {
  list_box_ = new CPatternListBox(this);
  OnInitialUpdate();
}

void CPatternListFormView::OnInitialUpdate() {
  if (list_box_) {
    list_box_->setGeometry(rect());
    list_box_->show();
  }
}

void CPatternListFormView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (list_box_) list_box_->setGeometry(rect());
}
