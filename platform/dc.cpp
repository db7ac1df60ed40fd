#include "platform/dc.h"
#include "platform/numbers.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

// The font height in pixels that FixedTextMetrics works with: the magnitude
// of lfHeight (a hostile file may store INT32_MIN), at least 1.
int64_t FixedHeight(const LOGFONT& font) {
  const int64_t h = std::llabs(static_cast<int64_t>(font.lfHeight));
  return h < 1 ? 1 : h;
}

LOGFONT StockLogFont(int32_t height, int32_t weight, uint8_t charset) {
  LOGFONT f;
  f.lfHeight = height;
  f.lfWeight = weight;
  f.lfCharSet = charset;
  return f;  // empty face name: the default family
}

CFont MakeStockFont(int32_t height, int32_t weight, uint8_t charset) {
  CFont font;
  const LOGFONT lf = StockLogFont(height, weight, charset);
  font.CreateFontIndirect(&lf);
  return font;
}

// The shared stock objects. They live for the whole program and are never
// freed, like the system's own.
struct StockObjects {
  CBrush white{RGB(255, 255, 255)};
  CBrush light_gray{RGB(192, 192, 192)};
  CBrush gray{RGB(128, 128, 128)};
  CBrush dark_gray{RGB(64, 64, 64)};
  CBrush black{RGB(0, 0, 0)};
  CBrush null_brush = CBrush::Hollow();
  CPen white_pen{PS_SOLID, 1, RGB(255, 255, 255)};
  CPen black_pen{PS_SOLID, 1, RGB(0, 0, 0)};
  CPen null_pen{PS_NULL, 1, RGB(0, 0, 0)};
  // Character set 134 is the Chinese (GB2312) one: the screen fonts of the
  // system the pattern files come from.
  CFont ansi_var_font = MakeStockFont(12, 400, 0);
  CFont system_font = MakeStockFont(16, 700, 134);
  CFont default_gui_font = MakeStockFont(-12, 400, 134);
};

StockObjects& Stock() {
  static StockObjects stock;
  return stock;
}

const FixedTextMetrics& DefaultMetrics() {
  static const FixedTextMetrics metrics;
  return metrics;
}

}  // namespace

CSize FixedTextMetrics::Extent(const LOGFONT& font, std::string_view gbk_text) const {
  const int64_t h = FixedHeight(font);
  const int64_t per_byte = h / 2 < 1 ? 1 : h / 2;
  return CSize(SaturateToInt32(per_byte * static_cast<int64_t>(gbk_text.size())), SaturateToInt32(h));
}

int FixedTextMetrics::Ascent(const LOGFONT& font) const {
  const int64_t h = FixedHeight(font);
  return SaturateToInt32(h - h / 4);
}

int FixedTextMetrics::Descent(const LOGFONT& font) const {
  return SaturateToInt32(FixedHeight(font) / 4);
}

CDC::CDC(const ITextMetrics* metrics) : metrics_(metrics ? metrics : &DefaultMetrics()) {
  // A new device context starts with the black pen, the white brush and the
  // system font selected, so that the first SelectObject returns an object the
  // caller can select back.
  StockObjects& stock = Stock();
  state_.pen = stock.black_pen;
  state_.brush = stock.white;
  state_.font = stock.system_font;
  state_.selected_pen = &stock.black_pen;
  state_.selected_brush = &stock.white;
  state_.selected_font = &stock.system_font;
}

CDC::~CDC() = default;

namespace {
// Selects `object` into one slot of the drawing state: drawing uses the copy
// in `value`, and the pointer is kept to be given back by the next
// selection. A null object selects nothing and gives null.
template <typename T>
T* SelectInto(T* object, T& value, T*& selected) {
  if (!object) return nullptr;
  value = *object;
  return std::exchange(selected, object);
}
}  // namespace

CPen* CDC::SelectObject(CPen* pen) { return SelectInto(pen, state_.pen, state_.selected_pen); }

CBrush* CDC::SelectObject(CBrush* brush) { return SelectInto(brush, state_.brush, state_.selected_brush); }

CFont* CDC::SelectObject(CFont* font) { return SelectInto(font, state_.font, state_.selected_font); }

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (CPen* pen = dynamic_cast<CPen*>(object)) return SelectObject(pen);
  if (CBrush* brush = dynamic_cast<CBrush*>(object)) return SelectObject(brush);
  if (CFont* font = dynamic_cast<CFont*>(object)) return SelectObject(font);
  return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) {
  CGdiObject* object = GetStockObject(index);
  return object ? SelectObject(object) : nullptr;
}

CGdiObject* CDC::GetStockObject(int index) {
  StockObjects& stock = Stock();
  switch (index) {
    case WHITE_BRUSH: return &stock.white;
    case LTGRAY_BRUSH: return &stock.light_gray;
    case GRAY_BRUSH: return &stock.gray;
    case DKGRAY_BRUSH: return &stock.dark_gray;
    case BLACK_BRUSH: return &stock.black;
    case NULL_BRUSH: return &stock.null_brush;
    case WHITE_PEN: return &stock.white_pen;
    case BLACK_PEN: return &stock.black_pen;
    case NULL_PEN: return &stock.null_pen;
    case ANSI_VAR_FONT: return &stock.ansi_var_font;
    case SYSTEM_FONT: return &stock.system_font;
    case DEFAULT_GUI_FONT: return &stock.default_gui_font;
    default: return nullptr;
  }
}

CPoint CDC::MoveTo(int x, int y) {
  const CPoint previous = state_.position;
  state_.position = CPoint(x, y);
  OnMoveTo(state_.position);
  return previous;
}

BOOL CDC::LineTo(int x, int y) {
  const CPoint from = state_.position;
  const CPoint to(x, y);
  DoLine(from, to);
  state_.position = to;
  return TRUE;
}

BOOL CDC::Polyline(const CPoint* points, int count) {
  if (!points || count < 2) return FALSE;
  DoPolyline(points, count);
  return TRUE;
}

BOOL CDC::Polygon(const CPoint* points, int count) {
  if (!points || count < 2) return FALSE;
  DoPolygon(points, count);
  return TRUE;
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
  DoEllipse(CRect(left, top, right, bottom));
  return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
  DoRectangle(CRect(left, top, right, bottom));
  return TRUE;
}

BOOL CDC::Arc(int left, int top, int right, int bottom, int start_x, int start_y, int end_x, int end_y) {
  DoArc(CRect(left, top, right, bottom), CPoint(start_x, start_y), CPoint(end_x, end_y));
  return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
  return DoSetPixel(CPoint(x, y), color);
}

BOOL CDC::TextOut(int x, int y, const CString& text) {
  if (state_.text_align & TA_UPDATECP) {
    // Text written at the current position moves it past the text.
    DoTextOut(state_.position, text);
    const CSize extent = GetTextExtent(text);
    state_.position.x = WrapAdd(state_.position.x, extent.cx);
    return TRUE;
  }
  DoTextOut(CPoint(x, y), text);
  return TRUE;
}

void CDC::FillSolidRect(const CRect& r, COLORREF color) {
  DoFillSolidRect(r, color);
}

COLORREF CDC::SetBkColor(COLORREF color) {
  return std::exchange(state_.bk_color, color);
}

int CDC::SetBkMode(int mode) {
  return std::exchange(state_.bk_mode, mode);
}

COLORREF CDC::SetTextColor(COLORREF color) {
  return std::exchange(state_.text_color, color);
}

UINT CDC::SetTextAlign(UINT align) {
  return std::exchange(state_.text_align, align);
}

int CDC::SetMapMode(int mode) {
  return std::exchange(state_.map_mode, mode);
}

int CDC::SetROP2(int mode) {
  return std::exchange(state_.rop2, mode);
}

int CDC::SaveDC() {
  saved_.push_back(state_);
  return static_cast<int>(saved_.size());
}

BOOL CDC::RestoreDC(int level) {
  const int count = static_cast<int>(saved_.size());
  // A negative level counts back from the last save: -1 is the last one.
  const int index = level < 0 ? count + level : level - 1;
  if (level == 0 || index < 0 || index >= count) return FALSE;
  state_ = saved_[static_cast<size_t>(index)];
  saved_.resize(static_cast<size_t>(index));
  return TRUE;
}

CSize CDC::GetTextExtent(const CString& text) const {
  return metrics_->Extent(state_.font.logfont(), text.view());
}

CSize CDC::GetTextExtent(const char* text, int count) const {
  if (!text || count <= 0) return metrics_->Extent(state_.font.logfont(), std::string_view());
  return metrics_->Extent(state_.font.logfont(), std::string_view(text, static_cast<size_t>(count)));
}

int CDC::GetDeviceCaps(int index) const {
  if (index == LOGPIXELSX || index == LOGPIXELSY) return log_pixels_;
  return 0;
}
