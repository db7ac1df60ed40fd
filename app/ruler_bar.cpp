#include "app/ruler_bar.h"

#include <QEvent>
#include <QPainter>
#include <QPalette>

#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/qt/canvas_dc.h"

namespace {

COLORREF ToColorRef(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

}  // namespace

CRulerBar::CRulerBar(RulerOrientation orientation, IWorkWindow* view, QWidget* parent)
    : QWidget(parent),
      orientation_(orientation),
      view_(view),
      scale_(InitialRulerScale(g_Style.GetScale(), g_UnitMode, g_UnitPrecision)),
      render_(this, kRulerRenderIntervalMs, [this] {
        RenderCanvas();
        update();
      }) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (orientation_ == RulerOrientation::kHorizontal) {
    setFixedHeight(kRulerThickness);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  } else {
    setFixedWidth(kRulerThickness);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  }
}

CRulerBar::~CRulerBar() = default;

QSize CRulerBar::sizeHint() const { return QSize(kRulerThickness, kRulerThickness); }

IWorkWindow* CRulerBar::View() const { return view_ ? view_ : g_pWorkWindow; }

RulerView CRulerBar::CurrentView() const {
  RulerView v;
  v.scale = view_scale_;
  const IWorkWindow* view = View();
  if (view) {
    v.originX = view->GetOriginX();
    v.originY = view->GetOriginY();
    v.refX = view->Extent.left;
    v.refY = view->Extent.top;
  }
  // With a current piece the numbers count from its reference point, taken
  // into work-area units.
  if (const CPieceRecord* piece = g_Selection.GetCurrentPiece()) {
    v.refX = WrapAdd(WrapSub(piece->AuxX, piece->OriginX), v.originX);
    v.refY = WrapAdd(WrapSub(piece->AuxY, piece->OriginY), v.originY);
  }
  return v;
}

RulerColors CRulerBar::Colors() const {
  RulerColors c;
  const QPalette& p = palette();
  c.text = ToColorRef(p.color(QPalette::WindowText));
  c.grayText = ToColorRef(p.color(QPalette::Disabled, QPalette::WindowText));
  c.window = ToColorRef(p.color(QPalette::Base));
  return c;
}

void CRulerBar::DrawScale() {
  const IWorkWindow* view = View();
  const double scale = view ? view->GetScale() : 0.0;
  view_scale_ = scale == 0.0 ? kRulerIdleScale : scale;
  RulerScale s;
  if (ComputeRulerScale(view_scale_, g_Style.GetScale(), g_UnitMode, &s)) scale_ = s;
  Render();
}

void CRulerBar::Refresh() { Render(); }

void CRulerBar::Render() { render_.Request(); }

const QImage& CRulerBar::canvas() const {
  // Rendering changes only the canvas, a cache of the ruler's picture.
  if (render_.Pending()) const_cast<CRulerBar*>(this)->RenderCanvas();
  return canvas_;
}

void CRulerBar::RenderCanvas() {
  render_.Served();
  if (canvas_.size() != size()) canvas_ = QImage(size(), QImage::Format_RGB32);
  if (!canvas_.isNull()) {
    canvas_.fill(palette().color(QPalette::Button));
    QtCanvasDC dc(canvas_);
    DrawRuler(&dc, orientation_, width(), height(), scale_, CurrentView(), Colors(), mark_x_, mark_y_);
  }
}

void CRulerBar::SetMark(int x, int y) {
  const bool horizontal = orientation_ == RulerOrientation::kHorizontal;
  int32_t& mark = horizontal ? mark_x_ : mark_y_;
  const int32_t position = horizontal ? x : y;
  if (position == mark) return;
  if (!canvas_.isNull()) {
    QtCanvasDC dc(canvas_);
    const COLORREF window = Colors().window;
    DrawRulerMark(&dc, orientation_, mark, window);
    DrawRulerMark(&dc, orientation_, position, window);
  }
  mark = position;
  update();
}

void CRulerBar::ToggleVisible() { setVisible(!isVisible()); }

void CRulerBar::paintEvent(QPaintEvent*) {
  if (render_.Pending()) RenderCanvas();
  QPainter painter(this);
  painter.drawImage(0, 0, canvas_);
}

void CRulerBar::resizeEvent(QResizeEvent*) { Render(); }

void CRulerBar::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) Render();
}
