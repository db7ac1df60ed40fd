#include "app/work_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "app/piece_drawing.h"
#include "app/placement.h"
#include "app/ruler_bar.h"
#include "model/geometry.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "model/work_area.h"
#include "platform/qt/canvas_dc.h"

namespace {

constexpr int kFitMargin = 10;           // pixels left free on each side by show all
constexpr double kZoomOutPixels = 20.0;  // zoom out widens the view by this much each side
constexpr double kZoomOutLimit = 1e9;    // zoom out stops when the view would reach this far
constexpr double kScrollMarginPixels = 9.0;
constexpr double kScrollPageFactor = 10.0;
constexpr int kScrollLimit = 32766;

int32_t ClampToInt32(double v) {
  if (!(v > -2147483648.0)) return INT32_MIN;
  if (v >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(v);
}

bool IsUsableScale(double s) { return std::isfinite(s) && s > 0.0 && std::isnormal(s); }

}  // namespace

CWorkWindow::CWorkWindow(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::ArrowCursor);
  render_timer_ = new QTimer(this);
  render_timer_->setSingleShot(true);
  render_timer_->setInterval(kRenderSettleMs);
  QObject::connect(render_timer_, &QTimer::timeout, this, [this] { OnRenderSettled(); });
  g_pWorkWindow = this;
}

CWorkWindow::~CWorkWindow() {
  if (g_pWorkWindow == this) g_pWorkWindow = nullptr;
}

void CWorkWindow::SetRulers(CRulerBar* top, CRulerBar* left) {
  top_ruler_ = top;
  left_ruler_ = left;
}

// ---------------------------------------------------------------------------
// View state

void CWorkWindow::RedrawRulerScales() {
  if (top_ruler_) top_ruler_->DrawScale();
  if (left_ruler_) left_ruler_->DrawScale();
}

void CWorkWindow::RefreshRulers() {
  if (top_ruler_) top_ruler_->Refresh();
  if (left_ruler_) left_ruler_->Refresh();
}

void CWorkWindow::SetOriginX(int32_t x) {
  if (x == origin_x_) return;
  origin_x_ = x;
  RedrawRulerScales();
}

void CWorkWindow::SetOriginY(int32_t y) {
  if (y == origin_y_) return;
  origin_y_ = y;
  RedrawRulerScales();
}

void CWorkWindow::SetScale(double scale) {
  if (scale == scale_) return;
  scale_ = scale;
  RedrawRulerScales();
}

// ---------------------------------------------------------------------------
// Drawing

void CWorkWindow::OnDraw(CDC* dc) {
  if (!dc) return;
  CRect client;
  GetClientRect(&client);
  const int saved = dc->SaveDC();
  dc->FillSolidRect(client, kWorkAreaBackground);
  dc->SetROP2(R2_COPYPEN);
  CPieceRecord* piece = g_Style.WorkPieceRing;
  for (int32_t i = 0; i < g_Style.WorkPieceCount && piece != nullptr; ++i, piece = piece->Next) {
    DrawPiece(dc, piece, scale_, piece->OriginX, piece->OriginY);
  }
  if (CPieceRecord* current = g_Selection.GetCurrentPiece(); current && marking_) {
    DrawPieceSelectionFrame(dc, current);
  }
  dc->RestoreDC(saved);
}

void CWorkWindow::Render() {
  const bool joins = render_pending_;
  render_pending_ = true;
  const bool quiet = !last_render_end_.isValid() || last_render_end_.elapsed() >= SettleMs();
  if (!joins && quiet) {
    // The first redraw after a quiet spell is shown at the next turn of the
    // event loop, as an invalidated window is: a pick made by hand shows at
    // once. Redraws that follow a render closely wait for the view to settle.
    render_timer_->stop();
    update();
    return;
  }
  render_timer_->start(SettleMs());
}

int CWorkWindow::SettleMs() const {
  // A view that takes long to render waits as long for the view to settle:
  // picks that come slower than kRenderSettleMs but faster than a render
  // still share one.
  return static_cast<int>(std::clamp<int64_t>(last_render_ms_, kRenderSettleMs, kMaxRenderSettleMs));
}

void CWorkWindow::RenderNow() {
  RenderCanvas();
  update();
}

void CWorkWindow::RenderCanvas() {
  render_pending_ = false;
  render_timer_->stop();
  QElapsedTimer took;
  took.start();
  if (canvas_.size() != size()) canvas_ = QImage(size(), QImage::Format_RGB32);
  if (!canvas_.isNull()) {
    QtCanvasDC dc(canvas_);
    OnDraw(&dc);
  }
  last_render_ms_ = took.elapsed();
  last_render_end_.start();
}

void CWorkWindow::OnRenderSettled() {
  // The paint event renders; a hidden window renders when next asked.
  if (render_pending_) update();
}

const QImage& CWorkWindow::canvas() const {
  // Rendering changes only the canvas, a cache of what OnDraw draws.
  if (render_pending_) const_cast<CWorkWindow*>(this)->RenderNow();
  return canvas_;
}

void CWorkWindow::Redraw() { Redraw(TRUE); }

void CWorkWindow::Redraw(BOOL) {
  RefreshRulers();
  Render();
}

void CWorkWindow::InvalidateViewRect(const CRect&, BOOL) {
  // The canvas is rendered whole; a changed part repaints everything.
  RefreshRulers();
  Render();
}

void CWorkWindow::InvalidateModelRect(int, int, int, int, double, int, int) { Render(); }

void CWorkWindow::InvalidateModelRects(const CRect&, const CRect&, double, int, int) { Render(); }

void CWorkWindow::GetClientRect(CRect* rect) const {
  if (rect) *rect = CRect(0, 0, width(), height());
}

CDC* CWorkWindow::GetDC() {
  if (canvas_.size() != size()) RenderNow();
  if (render_pending_) {
    // The pending render draws the view as it will then be, superseding
    // whatever is drawn now: hand out a context on an empty image, which
    // draws nothing, and wait for the view to settle before rendering.
    render_timer_->start(SettleMs());
    dcs_.push_back(std::make_unique<QtCanvasDC>(discarded_));
  } else {
    dcs_.push_back(std::make_unique<QtCanvasDC>(canvas_));
  }
  return dcs_.back().get();
}

void CWorkWindow::ReleaseDC(CDC* dc) {
  auto it = std::find_if(dcs_.begin(), dcs_.end(), [dc](const std::unique_ptr<CDC>& d) { return d.get() == dc; });
  if (it != dcs_.end()) dcs_.erase(it);
  // A stale canvas is repainted when its render is served.
  if (!render_pending_) update();
}

void CWorkWindow::paintEvent(QPaintEvent*) {
  if (render_pending_) RenderCanvas();
  QPainter painter(this);
  painter.drawImage(0, 0, canvas_);
}

void CWorkWindow::resizeEvent(QResizeEvent*) { RenderNow(); }

void CWorkWindow::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  mouse_ = CPoint(p.x(), p.y());
  QWidget::mouseMoveEvent(event);
}

void CWorkWindow::keyPressEvent(QKeyEvent* event) {
  // Keypad + and - zoom, also while no menu shortcut is installed.
  if (event->modifiers() & Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Plus) {
      OnZoomIn();
      return;
    }
    if (event->key() == Qt::Key_Minus) {
      OnZoomOut();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

int CWorkWindow::UsableWidth() const { return std::max(width(), kMinClientPixels); }
int CWorkWindow::UsableHeight() const { return std::max(height(), kMinClientPixels); }

// ---------------------------------------------------------------------------
// Work area

void CWorkWindow::RecalcExtent() {
  int left = 0, right = 0, top = 0, bottom = 0;
  CalcWorkAreaExtent(&left, &right, &top, &bottom);
  Extent = CRect(left, top, right, bottom);
}

void CWorkWindow::PlacePiece(CPieceRecord* piece) {
  if (!piece) return;
  piece->Recalc(1);  // the bounding box up to date
  PlacementInput in;
  in.minX = piece->BoxMinX;
  in.maxX = piece->BoxMaxX;
  in.minY = piece->BoxMinY;
  in.maxY = piece->BoxMaxY;
  in.hasCurrentPiece = g_Selection.GetCurrentPiece() != nullptr;
  in.clientWidth = width();
  in.clientHeight = height();
  const int64_t gap = int64_t{kPlacementGapMm} * g_Style.GetScale();
  in.gap = static_cast<int32_t>(std::clamp<int64_t>(gap, INT32_MIN, INT32_MAX));
  if (g_Style.WorkPieceCount > 0 && g_Style.WorkPieceRing != nullptr) {
    int left = 0, right = 0, top = 0, bottom = 0;
    CalcWorkAreaExtent(&left, &right, &top, &bottom);
    in.extent = PlaceRect{left, top, right, bottom};
    const CPieceRecord* p = g_Style.WorkPieceRing;
    for (int32_t i = 0; i < g_Style.WorkPieceCount && p != nullptr; ++i, p = p->Next) {
      in.placed.push_back(PlaceRect{p->PlacedLeft, p->PlacedTop, p->PlacedRight, p->PlacedBottom});
    }
  }
  const PlaceRect r = PlacePieceRect(in, &placement_cache_);
  piece->PlacedLeft = r.left;
  piece->PlacedTop = r.top;
  piece->PlacedRight = r.right;
  piece->PlacedBottom = r.bottom;
}

void CWorkWindow::ZoomToFit() {
  const CRect e = Extent;
  // An inside-out extent (nothing placed yet) gives no view to fit.
  if (e.right < e.left || e.bottom < e.top) return;
  const double w = UsableWidth();
  const double h = UsableHeight();
  const double sx = (static_cast<double>(e.right) - e.left + 1) / (w + 1 - 2 * kFitMargin);
  const double sy = (static_cast<double>(e.bottom) - e.top + 1) / (h + 1 - 2 * kFitMargin);
  const double scale = sx > sy ? sx : sy;
  const int32_t ox = RoundToInt((static_cast<double>(e.right) + e.left) / 2.0 - (w + 1) / 2.0 * scale);
  const int32_t oy = RoundToInt((static_cast<double>(e.bottom) + e.top) / 2.0 - (h + 1) / 2.0 * scale);
  if (scale == scale_ && ox == origin_x_ && oy == origin_y_) return;
  scale_ = scale;
  origin_x_ = ox;
  origin_y_ = oy;
  RedrawRulerScales();
}

// ---------------------------------------------------------------------------
// View commands

bool CWorkWindow::CanShowAll() { return g_Style.WorkPieceCount >= 1; }
bool CWorkWindow::CanRemovePiece() { return g_Style.WorkPieceCount >= 1; }

void CWorkWindow::OnZoomIn() {
  CPieceRecord* current = g_Selection.GetCurrentPiece();
  if (!current) return;
  const double old_scale = scale_;
  int mx = 0, my = 0;
  ScreenToModel(mouse_.x, mouse_.y, &mx, &my, scale_, current->OriginX, current->OriginY);
  const double new_scale = scale_ * 7.0 / 8.0;
  // A scale that has run down to nothing maps nothing anywhere.
  if (!IsUsableScale(new_scale)) return;
  SetScale(new_scale);
  if (!CanZoomIn()) {
    SetScale(old_scale);
    return;
  }
  // The model point under the mouse stays under it.
  const int32_t new_x = ClampToInt32((static_cast<double>(mx) + 7.0 * current->OriginX) / 8.0);
  const int32_t new_y = ClampToInt32((static_cast<double>(my) + 7.0 * current->OriginY) / 8.0);
  const int32_t dx = WrapSub(new_x, current->OriginX);
  const int32_t dy = WrapSub(new_y, current->OriginY);
  current->OriginX = new_x;
  current->OriginY = new_y;
  CPieceRecord* piece = current->Next;
  for (int32_t i = 1; i < g_Style.WorkPieceCount && piece != nullptr; ++i, piece = piece->Next) {
    piece->OriginX = WrapAdd(piece->OriginX, dx);
    piece->OriginY = WrapAdd(piece->OriginY, dy);
  }
  Redraw(TRUE);
}

void CWorkWindow::OnZoomOut() {
  if (g_Style.WorkPieceCount == 0) return;
  const int w = UsableWidth();
  const int h = UsableHeight();
  int l = 0, t = 0, r = 0, b = 0;
  ScreenToModel(0, 0, &l, &t, scale_, origin_x_, origin_y_);
  ScreenToModel(w - 1, h - 1, &r, &b, scale_, origin_x_, origin_y_);
  const int64_t margin = RoundToInt(scale_ * kZoomOutPixels);
  const int64_t left = l - margin, top = t - margin, right = r + margin, bottom = b + margin;
  for (const int64_t v : {left, top, right, bottom}) {
    if (std::llabs(v) > static_cast<int64_t>(kZoomOutLimit)) return;
  }
  const double sx = static_cast<double>(right - left) / w;
  const double sy = static_cast<double>(bottom - top) / h;
  const double scale = sx > sy ? sx : sy;
  const int64_t ox = left + (right - left + 1) / 2 - RoundToInt(scale * w / 2.0);
  const int64_t oy = top + (bottom - top + 1) / 2 - RoundToInt(scale * h / 2.0);
  SetScale(scale);
  SetOriginX(static_cast<int32_t>(std::clamp<int64_t>(ox, INT32_MIN, INT32_MAX)));
  SetOriginY(static_cast<int32_t>(std::clamp<int64_t>(oy, INT32_MIN, INT32_MAX)));
  SyncWorkPieceOrigins();
  Redraw(TRUE);
}

void CWorkWindow::OnShowAll() {
  SetScrollRange(SB_HORZ, 0, 0, TRUE);
  SetScrollRange(SB_VERT, 0, 0, TRUE);
  if (g_Style.WorkPieceCount < 1) return;
  RecalcExtent();
  ZoomToFit();
  SyncWorkPieceOrigins();
  Redraw(TRUE);
}

void CWorkWindow::OnRemovePiece() {
  CPieceRecord* current = g_Selection.GetCurrentPiece();
  if (!current) return;
  SelectCurrentPiece(g_Style.WorkPieceCount > 1 ? current->Next : nullptr);
  g_Style.RemoveWorkPiece(current);
  g_Selection.SetCurrent(g_Selection.GetCurrentPiece(), nullptr, nullptr, nullptr);
  Redraw(TRUE);
}

// ---------------------------------------------------------------------------
// Scrolling

void CWorkWindow::SetScrollRange(int bar, int minPos, int maxPos, BOOL) {
  if (bar != SB_HORZ && bar != SB_VERT) return;
  bars_[bar].min = minPos;
  bars_[bar].max = maxPos;
  bars_[bar].pos = std::clamp(bars_[bar].pos, std::min(minPos, maxPos), std::max(minPos, maxPos));
}

void CWorkWindow::GetScrollRange(int bar, int* minPos, int* maxPos) const {
  if (bar != SB_HORZ && bar != SB_VERT) return;
  if (minPos) *minPos = bars_[bar].min;
  if (maxPos) *maxPos = bars_[bar].max;
}

void CWorkWindow::SetScrollPos(int bar, int pos, BOOL) {
  if (bar != SB_HORZ && bar != SB_VERT) return;
  bars_[bar].pos = pos;
}

int CWorkWindow::GetScrollPos(int bar) const { return bar == SB_HORZ || bar == SB_VERT ? bars_[bar].pos : 0; }

void CWorkWindow::OnHScroll(int code, int thumb) { Scroll(SB_HORZ, code, thumb); }
void CWorkWindow::OnVScroll(int code, int thumb) { Scroll(SB_VERT, code, thumb); }

void CWorkWindow::Scroll(int bar, int code, int thumb) {
  ScrollBar& sb = bars_[bar];
  const int old = sb.pos;
  int p = sb.pos;
  const int64_t page = (int64_t{sb.max} - sb.min + 1) / 40;
  switch (code) {
    case SB_LINELEFT: p = std::max(p - 1, sb.min); break;
    case SB_LINERIGHT: p = std::min(p + 1, sb.max); break;
    case SB_PAGELEFT: p = static_cast<int>(std::max<int64_t>(int64_t{p} - (page < 1 ? 1 : page), sb.min)); break;
    case SB_PAGERIGHT: p = static_cast<int>(std::min<int64_t>(int64_t{p} + (page < 1 ? 1 : page), sb.max)); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: p = thumb; break;
    default: break;
  }
  if (p == old) return;
  const bool horizontal = bar == SB_HORZ;
  const double step = horizontal ? scroll_step_x_ : scroll_step_y_;
  const int32_t edge = horizontal ? Extent.left : Extent.top;
  const int64_t origin =
      int64_t{edge} - RoundToInt(kScrollPageFactor * scale_) + RoundToInt(static_cast<double>(p) * step);
  const int32_t o = static_cast<int32_t>(std::clamp<int64_t>(origin, INT32_MIN, INT32_MAX));
  if (horizontal) {
    origin_x_ = o;
  } else {
    origin_y_ = o;
  }
  sb.pos = p;
  SyncWorkPieceOrigins();
  // Dragging the thumb follows the mouse: this render is not deferred.
  RenderNow();
  CRulerBar* ruler = horizontal ? top_ruler_ : left_ruler_;
  if (ruler) ruler->Refresh();
}

void CWorkWindow::UpdateScrollBars() {
  if (!IsUsableScale(scale_)) {
    SetScrollRange(SB_HORZ, 0, 0);
    SetScrollRange(SB_VERT, 0, 0);
    return;
  }
  const int64_t margin = RoundToInt(kScrollMarginPixels * scale_);
  int vl = 0, vt = 0, vr = 0, vb = 0;
  ScreenToModel(0, 0, &vl, &vt, scale_, origin_x_, origin_y_);
  ScreenToModel(width(), height(), &vr, &vb, scale_, origin_x_, origin_y_);

  auto one_bar = [&](int bar, int64_t visible_lo, int64_t visible_hi, int64_t extent_lo, int64_t extent_hi,
                     int32_t origin, bool floor_of_ten, double* step_out) {
    if (visible_lo <= extent_lo - margin && visible_hi >= extent_hi + margin) {
      SetScrollRange(bar, 0, 0);
      return;
    }
    const double lo = static_cast<double>(std::min(visible_lo, extent_lo - margin));
    const double hi = static_cast<double>(std::max(visible_hi, extent_hi + margin));
    const double base = static_cast<double>(extent_lo - margin);
    double step = 0.0;
    double max = 0.0, min = 0.0;
    // The step grows by 40 pixels' worth until the range fits a scroll bar;
    // the growth is bounded so that no view scale keeps it going.
    for (int i = 0; i < 1000000; ++i) {
      step += 40.0 * scale_;
      max = std::ceil((hi - base) / step);
      max = std::min(max, static_cast<double>(kScrollLimit));
      if (floor_of_ten) max = std::max(max, 10.0);
      min = std::max(std::floor((lo - base) / step), -static_cast<double>(kScrollLimit));
      if (max - min < 32767) break;
    }
    if (!(max - min < 32767)) {
      SetScrollRange(bar, 0, 0);
      return;
    }
    SetScrollRange(bar, static_cast<int>(min), static_cast<int>(max));
    *step_out = (hi - lo) / (max - min + 1);
    SetScrollPos(bar, RoundToNearest((static_cast<double>(origin) - base) / *step_out));
  };
  one_bar(SB_HORZ, vl, vr, Extent.left, Extent.right, origin_x_, true, &scroll_step_x_);
  one_bar(SB_VERT, vt, vb, Extent.top, Extent.bottom, origin_y_, false, &scroll_step_y_);
}
