#include "platform/qt/canvas_dc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <optional>

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include "platform/qt/qt_text_metrics.h"

namespace {

QRgb ToRgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF ToColorRef(QRgb c) { return RGB(qRed(c), qGreen(c), qBlue(c)); }

const QtTextMetrics& CanvasMetrics() {
  static const QtTextMetrics metrics;
  return metrics;
}

// The raster operations the canvas knows; any other draws as a plain copy.
int KnownRop(int rop) { return rop == R2_XORPEN || rop == R2_NOT ? rop : R2_COPYPEN; }

// Combines a colour into a canvas pixel; the pixel's alpha is kept when it
// is changed in place, and made opaque when it is replaced.
void ApplyRop(QRgb& pixel, QRgb color, int rop) {
  switch (rop) {
    case R2_XORPEN: pixel ^= color & 0x00FFFFFFu; break;
    case R2_NOT: pixel ^= 0x00FFFFFFu; break;
    default: pixel = 0xFF000000u | (color & 0x00FFFFFFu); break;
  }
}

// The dash styles of one-pixel pens, as runs of pixels that start drawn and
// alternate with gaps.
struct DashPattern {
  int runs[4];
  int count;
  int period;
};
constexpr DashPattern kDash{{18, 6, 0, 0}, 2, 24};
constexpr DashPattern kDot{{3, 3, 0, 0}, 2, 6};
constexpr DashPattern kDashDot{{9, 6, 3, 6}, 4, 24};

bool InDrawnRun(const DashPattern& dash, int64_t position) {
  int64_t m = position % dash.period;
  for (int i = 0; i < dash.count; ++i) {
    if (m < dash.runs[i]) return i % 2 == 0;
    m -= dash.runs[i];
  }
  return false;
}

// The selected pen as the canvas draws it.
struct Stroke {
  bool visible = false;
  int width = 1;                      // pixels, at least 1
  QRgb color = 0;
  const DashPattern* dash = nullptr;  // null: solid
  bool fill_gaps = false;             // OPAQUE background: gaps in gap_color
  QRgb gap_color = 0;
};

Stroke StrokeOf(const CDC::State& state) {
  Stroke stroke;
  const CPen& pen = state.pen;
  if (pen.style() == PS_NULL) return stroke;
  stroke.visible = true;
  stroke.width = pen.width() > 1 ? pen.width() : 1;
  stroke.color = ToRgb(pen.color());
  // Only one-pixel pens have styles; a wider pen draws solid, as on the screen.
  if (stroke.width == 1) {
    switch (pen.style()) {
      case PS_DASH: stroke.dash = &kDash; break;
      case PS_DOT: stroke.dash = &kDot; break;
      case PS_DASHDOT: stroke.dash = &kDashDot; break;
      default: break;
    }
  }
  if (stroke.dash && state.bk_mode == OPAQUE) {
    stroke.fill_gaps = true;
    stroke.gap_color = ToRgb(state.bk_color);
  }
  return stroke;
}

// A Qt pen for curves drawn with `stroke`; `gaps` gives the solid pen in the
// gap colour that goes underneath a dashed one.
QPen QtPen(const Stroke& stroke, bool gaps = false) {
  if (stroke.width > 1) return QPen(QColor::fromRgb(stroke.color), stroke.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  QPen pen(QColor::fromRgb(gaps ? stroke.gap_color : stroke.color));
  pen.setWidth(0);  // cosmetic: one pixel whatever the transform
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  if (stroke.dash && !gaps) {
    QList<qreal> runs;
    for (int i = 0; i < stroke.dash->count; ++i) runs << stroke.dash->runs[i];
    pen.setDashPattern(runs);
  }
  return pen;
}

QBrush QtBrush(const CBrush& brush) {
  return brush.hollow() ? QBrush(Qt::NoBrush) : QBrush(QColor::fromRgb(ToRgb(brush.color())));
}

// Rounds num / den half away from zero; den > 0. The product of two 32-bit
// spans does not fit 64 bits, hence the wide numerator.
int64_t RoundDiv(__int128 num, int64_t den) {
  __int128 q = num / den;
  const __int128 r = num % den;
  if (2 * (r < 0 ? -r : r) >= den) q += num < 0 ? -1 : 1;
  return static_cast<int64_t>(q);
}

// A box with its edges put in order, as the screen takes boxes given either way.
struct Box {
  int64_t left, top, right, bottom;
  int64_t width() const { return right - left; }
  int64_t height() const { return bottom - top; }
};

Box Ordered(const CRect& r) {
  return Box{std::min<int64_t>(r.left, r.right), std::min<int64_t>(r.top, r.bottom),
             std::max<int64_t>(r.left, r.right), std::max<int64_t>(r.top, r.bottom)};
}

// The Qt rectangle of an ellipse or arc whose one-pixel outline covers the
// box without its right and bottom edges. Qt strokes curves through the
// pixel centres, hence the half pixel.
QRectF QtCurveBox(const Box& b) {
  return QRectF(static_cast<double>(b.left) + 0.5, static_cast<double>(b.top) + 0.5,
                static_cast<double>(b.width() - 1), static_cast<double>(b.height() - 1));
}

// The Qt rectangle whose fill covers the box without its right and bottom
// edges and one pixel less again each way, as a box drawn without a pen.
QRectF QtPenlessBox(const Box& b) {
  return QRectF(static_cast<double>(b.left), static_cast<double>(b.top), static_cast<double>(b.width() - 1),
                static_cast<double>(b.height() - 1));
}

// Qt's angle, in 1/16 degree, of the ellipse point on the radial from the
// ellipse's centre towards `p`. Qt's angles are parametric: on an ellipse
// that is no circle, the radial angle and the parametric one differ.
int QtArcAngle(const QRectF& ellipse, CPoint p) {
  const double a = ellipse.width() / 2;
  const double b = ellipse.height() / 2;
  const double dx = p.x - ellipse.center().x();
  const double dy = ellipse.center().y() - p.y;  // upwards on the screen
  const double t = std::atan2(dy * a, dx * b);
  return static_cast<int>(std::lround(t * 180.0 / std::numbers::pi * 16.0));
}

QRectF BoundsOf(const CPoint* points, int count, double margin) {
  double left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
  for (int i = 1; i < count; ++i) {
    left = std::min<double>(left, points[i].x);
    right = std::max<double>(right, points[i].x);
    top = std::min<double>(top, points[i].y);
    bottom = std::max<double>(bottom, points[i].y);
  }
  return QRectF(left - margin, top - margin, right - left + 2 * margin, bottom - top + 2 * margin);
}

QRectF BoundsOf(const Box& b, double margin) {
  return QRectF(static_cast<double>(b.left) - margin, static_cast<double>(b.top) - margin,
                static_cast<double>(b.width()) + 2 * margin, static_cast<double>(b.height()) + 2 * margin);
}

// Whether a closed shape in the box `b` leaves any pixel: the box must have
// width and height, and the shape a pen or a brush.
bool ShapeShows(const Box& b, const Stroke& stroke, const CBrush& brush) {
  return b.width() > 0 && b.height() > 0 && (stroke.visible || !brush.hollow());
}

}  // namespace

// Where one primitive draws. With the copying raster operation that is the
// canvas itself. With XOR or NOT the primitive is first drawn opaque on a
// transparent scratch image over its bounds, and every pixel it covered is
// then combined into the canvas once: a figure whose fill and outline
// overlap, or whose strokes cross, still restores the canvas when drawn twice.
class QtCanvasDC::Layer {
 public:
  // `bounds` in device pixels: where the primitive may draw (only needed for
  // XOR and NOT). It may lie partly or wholly off the canvas.
  Layer(QImage& canvas, int rop, const QRectF& bounds) : canvas_(canvas), rop_(KnownRop(rop)) {
    if (canvas_.isNull()) return;  // a view not sized yet
    if (rop_ == R2_COPYPEN) {
      target_ = &canvas_;
      area_ = canvas_.rect();
      return;
    }
    const double left = std::max(std::floor(bounds.left()) - 2, 0.0);
    const double top = std::max(std::floor(bounds.top()) - 2, 0.0);
    const double right = std::min(std::ceil(bounds.right()) + 2, static_cast<double>(canvas_.width()));
    const double bottom = std::min(std::ceil(bounds.bottom()) + 2, static_cast<double>(canvas_.height()));
    if (!(left < right && top < bottom)) return;  // nothing of it on the canvas
    area_ = QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                  static_cast<int>(bottom - top));
    scratch_ = QImage(area_.size(), QImage::Format_ARGB32_Premultiplied);
    scratch_.fill(Qt::transparent);
    target_ = &scratch_;
  }

  ~Layer() {
    EndPainting();
    if (target_ == &scratch_) Compose();
  }

  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;

  // True when nothing the primitive draws can reach the canvas.
  bool empty() const { return target_ == nullptr; }
  // The device pixels this layer covers.
  const QRect& area() const { return area_; }

  // A painter in device coordinates on the layer, aliased.
  QPainter& Painter() {
    if (!painter_) {
      painter_.emplace(target_);
      painter_->setRenderHint(QPainter::Antialiasing, false);
      // Antialiased text has pixels that are only partly covered; those
      // cannot be xored once and exactly.
      painter_->setRenderHint(QPainter::TextAntialiasing, rop_ == R2_COPYPEN);
      if (target_ == &scratch_) painter_->translate(-area_.left(), -area_.top());
    }
    return *painter_;
  }

  // Sets one device pixel through the raster operation; off the layer it is
  // left out.
  void Plot(int64_t x, int64_t y, QRgb color) {
    if (x < area_.left() || x > area_.right() || y < area_.top() || y > area_.bottom()) return;
    EndPainting();
    QRgb& pixel = reinterpret_cast<QRgb*>(target_->scanLine(static_cast<int>(y - Top())))[x - Left()];
    ApplyRop(pixel, color, target_ == &canvas_ ? rop_ : R2_COPYPEN);
  }

  // Fills the box without its right and bottom edges.
  void FillBox(int64_t left, int64_t top, int64_t right, int64_t bottom, QRgb color) {
    left = std::max<int64_t>(left, area_.left());
    top = std::max<int64_t>(top, area_.top());
    right = std::min<int64_t>(right, static_cast<int64_t>(area_.right()) + 1);
    bottom = std::min<int64_t>(bottom, static_cast<int64_t>(area_.bottom()) + 1);
    for (int64_t y = top; y < bottom; ++y) {
      for (int64_t x = left; x < right; ++x) Plot(x, y, color);
    }
  }

 private:
  int64_t Left() const { return target_ == &scratch_ ? area_.left() : 0; }
  int64_t Top() const { return target_ == &scratch_ ? area_.top() : 0; }

  void EndPainting() {
    if (painter_) {
      painter_->end();
      painter_.reset();
    }
  }

  void Compose() {
    for (int y = 0; y < scratch_.height(); ++y) {
      const QRgb* from = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
      QRgb* to = reinterpret_cast<QRgb*>(canvas_.scanLine(y + area_.top())) + area_.left();
      for (int x = 0; x < scratch_.width(); ++x) {
        if (qAlpha(from[x]) >= 128) ApplyRop(to[x], qUnpremultiply(from[x]), rop_);
      }
    }
  }

  QImage& canvas_;
  const int rop_;
  QImage scratch_;
  QImage* target_ = nullptr;
  QRect area_;
  std::optional<QPainter> painter_;
};

namespace {

// Draws a one-pixel stroke from (x0, y0) towards (x1, y1), leaving the end
// pixel out: one pixel for every step along the longer axis, the other
// coordinate rounded half away from zero. `dash_position` is how far the
// dash pattern has run and moves on by the stroke's length. Only the part
// on the layer is walked, so far-off end points cost nothing.
template <typename Target>
void ThinStroke(Target& layer, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Stroke& stroke,
                int64_t& dash_position) {
  const int64_t dx = x1 - x0;
  const int64_t dy = y1 - y0;
  const int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
  if (steps == 0) return;
  const bool x_major = std::llabs(dx) >= std::llabs(dy);
  const int64_t major0 = x_major ? x0 : y0;
  const int64_t minor0 = x_major ? y0 : x0;
  const int64_t step = (x_major ? dx : dy) > 0 ? 1 : -1;
  const int64_t minor_span = x_major ? dy : dx;
  const QRect& area = layer.area();
  const int64_t lo = x_major ? area.left() : area.top();
  const int64_t hi = x_major ? area.right() : area.bottom();
  int64_t first = step > 0 ? lo - major0 : major0 - hi;
  int64_t last = step > 0 ? hi - major0 : major0 - lo;
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, steps - 1);
  for (int64_t i = first; i <= last; ++i) {
    QRgb color = stroke.color;
    if (stroke.dash && !InDrawnRun(*stroke.dash, dash_position + i)) {
      if (!stroke.fill_gaps) continue;
      color = stroke.gap_color;
    }
    const int64_t major = major0 + step * i;
    const int64_t minor = minor0 + RoundDiv(static_cast<__int128>(i) * minor_span, steps);
    if (x_major) {
      layer.Plot(major, minor, color);
    } else {
      layer.Plot(minor, major, color);
    }
  }
  if (stroke.dash) dash_position = (dash_position + steps) % stroke.dash->period;
}

// The strokes between consecutive points, the dash pattern running on; a
// closed path comes back to the first point.
template <typename Target>
void ThinPath(Target& layer, const CPoint* points, int count, bool closed, const Stroke& stroke) {
  int64_t dash_position = 0;
  for (int i = 0; i + 1 < count; ++i) {
    ThinStroke(layer, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, stroke, dash_position);
  }
  if (closed && count > 1) {
    ThinStroke(layer, points[count - 1].x, points[count - 1].y, points[0].x, points[0].y, stroke, dash_position);
  }
}

// The points as Qt takes them: `shift` 0 for fills, whose pixels are those
// with their centres inside; 0.5 for strokes, centred on the pixel centres.
QPolygonF QtPolygon(const CPoint* points, int count, double shift) {
  QPolygonF polygon;
  polygon.reserve(count);
  for (int i = 0; i < count; ++i) polygon << QPointF(points[i].x + shift, points[i].y + shift);
  return polygon;
}

// A pen wider than a pixel: drawn by Qt with round ends and joins.
template <typename Target>
void WidePath(Target& layer, const CPoint* points, int count, bool closed, const Stroke& stroke) {
  QPainter& painter = layer.Painter();
  painter.setPen(QtPen(stroke));
  painter.setBrush(Qt::NoBrush);
  const QPolygonF polygon = QtPolygon(points, count, 0.5);
  if (closed) {
    painter.drawPolygon(polygon);
  } else {
    painter.drawPolyline(polygon);
  }
}

template <typename Target>
void StrokePath(Target& layer, const CPoint* points, int count, bool closed, const Stroke& stroke) {
  if (!stroke.visible) return;
  if (stroke.width == 1) {
    ThinPath(layer, points, count, closed, stroke);
  } else {
    WidePath(layer, points, count, closed, stroke);
  }
}

// Strokes a curve with Qt: for a dashed pen on an OPAQUE background the gaps
// go underneath first, in the background colour.
template <typename Draw>
void StrokeCurve(QPainter& painter, const Stroke& stroke, Draw draw) {
  if (!stroke.visible) return;
  painter.setBrush(Qt::NoBrush);
  if (stroke.dash && stroke.fill_gaps) {
    painter.setPen(QtPen(stroke, true));
    draw();
  }
  painter.setPen(QtPen(stroke));
  draw();
}

}  // namespace

QtCanvasDC::QtCanvasDC(QImage& canvas, const ITextMetrics* metrics)
    : CDC(metrics ? metrics : &CanvasMetrics()), canvas_(canvas) {
  if (canvas_.format() != QImage::Format_RGB32 && canvas_.format() != QImage::Format_ARGB32) {
    canvas_ = canvas_.convertToFormat(QImage::Format_RGB32);
  }
}

void QtCanvasDC::DoLine(CPoint from, CPoint to) {
  const CPoint points[] = {from, to};
  DoPolyline(points, 2);
}

void QtCanvasDC::DoPolyline(const CPoint* points, int count) {
  const Stroke stroke = StrokeOf(state());
  if (!stroke.visible) return;
  Layer layer(canvas_, state().rop2, BoundsOf(points, count, stroke.width));
  if (layer.empty()) return;
  StrokePath(layer, points, count, false, stroke);
}

void QtCanvasDC::DoPolygon(const CPoint* points, int count) {
  const Stroke stroke = StrokeOf(state());
  const CBrush& brush = state().brush;
  if (!stroke.visible && brush.hollow()) return;
  Layer layer(canvas_, state().rop2, BoundsOf(points, count, stroke.width));
  if (layer.empty()) return;
  if (!brush.hollow()) {
    QPainter& painter = layer.Painter();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QtBrush(brush));
    painter.drawPolygon(QtPolygon(points, count, 0), Qt::OddEvenFill);
  }
  StrokePath(layer, points, count, true, stroke);
}

void QtCanvasDC::DoRectangle(const CRect& box) {
  const Box b = Ordered(box);
  const Stroke stroke = StrokeOf(state());
  const CBrush& brush = state().brush;
  if (!ShapeShows(b, stroke, brush)) return;
  Layer layer(canvas_, state().rop2, BoundsOf(b, stroke.width));
  if (layer.empty()) return;
  if (!stroke.visible) {
    // Without a pen the box is one pixel smaller each way.
    layer.FillBox(b.left, b.top, b.right - 1, b.bottom - 1, ToRgb(brush.color()));
    return;
  }
  if (stroke.width > 1) {
    QPainter& painter = layer.Painter();
    QPen pen = QtPen(stroke);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(QtBrush(brush));
    painter.drawRect(QtCurveBox(b));
    return;
  }
  if (b.width() == 1 || b.height() == 1) {
    // A box one pixel thin is all outline: a row or column of pen pixels.
    layer.FillBox(b.left, b.top, b.right, b.bottom, stroke.color);
    return;
  }
  if (!brush.hollow()) layer.FillBox(b.left + 1, b.top + 1, b.right - 1, b.bottom - 1, ToRgb(brush.color()));
  const CPoint corners[] = {
      {static_cast<int32_t>(b.left), static_cast<int32_t>(b.top)},
      {static_cast<int32_t>(b.right - 1), static_cast<int32_t>(b.top)},
      {static_cast<int32_t>(b.right - 1), static_cast<int32_t>(b.bottom - 1)},
      {static_cast<int32_t>(b.left), static_cast<int32_t>(b.bottom - 1)},
  };
  ThinPath(layer, corners, 4, true, stroke);
}

void QtCanvasDC::DoEllipse(const CRect& box) {
  const Box b = Ordered(box);
  const Stroke stroke = StrokeOf(state());
  const CBrush& brush = state().brush;
  if (!ShapeShows(b, stroke, brush)) return;
  Layer layer(canvas_, state().rop2, BoundsOf(b, stroke.width));
  if (layer.empty()) return;
  QPainter& painter = layer.Painter();
  const QRectF ellipse = QtCurveBox(b);
  if (!brush.hollow()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QtBrush(brush));
    painter.drawEllipse(stroke.visible ? ellipse : QtPenlessBox(b));
  }
  StrokeCurve(painter, stroke, [&] { painter.drawEllipse(ellipse); });
}

void QtCanvasDC::DoArc(const CRect& box, CPoint start, CPoint end) {
  const Box b = Ordered(box);
  if (b.width() <= 0 || b.height() <= 0) return;
  const Stroke stroke = StrokeOf(state());
  if (!stroke.visible) return;
  Layer layer(canvas_, state().rop2, BoundsOf(b, stroke.width));
  if (layer.empty()) return;
  const QRectF ellipse = QtCurveBox(b);
  const int from = QtArcAngle(ellipse, start);
  const int to = QtArcAngle(ellipse, end);
  constexpr int kFullTurn = 360 * 16;
  int span = ((to - from) % kFullTurn + kFullTurn) % kFullTurn;
  if (span == 0) span = kFullTurn;  // equal radials: the whole ellipse
  QPainter& painter = layer.Painter();
  StrokeCurve(painter, stroke, [&] { painter.drawArc(ellipse, from, span); });
}

COLORREF QtCanvasDC::DoSetPixel(CPoint p, COLORREF color) {
  if (!canvas_.rect().contains(p.x, p.y)) return CLR_INVALID;
  QRgb& pixel = reinterpret_cast<QRgb*>(canvas_.scanLine(p.y))[p.x];
  ApplyRop(pixel, ToRgb(color), KnownRop(state().rop2));
  return ToColorRef(pixel);
}

void QtCanvasDC::DoFillSolidRect(const CRect& box, COLORREF color) {
  Layer layer(canvas_, R2_COPYPEN, QRectF());
  layer.FillBox(box.left, box.top, box.right, box.bottom, ToRgb(color));
}

void QtCanvasDC::DoTextOut(CPoint p, const CString& text) {
  if (text.IsEmpty()) return;
  const QString line = QtTextMetrics::Decode(text.view());
  const QFont font = QtTextMetrics::FontFor(state().font.logfont());
  const QFontMetrics metrics(font);
  const double advance = metrics.horizontalAdvance(line);
  const double ascent = metrics.ascent();
  const double descent = metrics.descent();

  // The text's own frame: origin at the given point, x along the text.
  const UINT align = state().text_align;
  double x = 0;
  if ((align & TA_CENTER) == TA_CENTER) {
    x = -advance / 2;
  } else if ((align & TA_CENTER) == TA_RIGHT) {
    x = -advance;
  }
  double baseline = ascent;  // TA_TOP
  if ((align & TA_BASELINE) == TA_BASELINE) {
    baseline = 0;
  } else if ((align & TA_BASELINE) == TA_BOTTOM) {
    baseline = -descent;
  }
  const QRectF cell(x, baseline - ascent, advance, ascent + descent);

  // Escapement is counter-clockwise in tenths of a degree; the screen's y
  // runs down, so Qt turns the other way.
  QTransform frame;
  frame.translate(p.x, p.y);
  frame.rotate(-state().font.logfont().lfEscapement / 10.0);
  // Italic and overhanging glyphs may leave the cell a little.
  const double overhang = ascent / 2 + 2;
  const QRectF bounds = frame.mapRect(cell.adjusted(-overhang, -overhang, overhang, overhang));

  Layer layer(canvas_, state().rop2, bounds);
  if (layer.empty()) return;
  QPainter& painter = layer.Painter();
  painter.setTransform(frame, true);
  if (state().bk_mode == OPAQUE) painter.fillRect(cell, QColor::fromRgb(ToRgb(state().bk_color)));
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(ToRgb(state().text_color)));
  painter.drawText(QPointF(x, baseline), line);
}
