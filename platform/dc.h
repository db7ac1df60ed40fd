// The device context every drawing routine draws on, with the screen
// conventions the pattern drawing was written for:
// - boxes (Rectangle, Ellipse, Arc) leave out their right and bottom edges;
// - LineTo does not paint its end pixel;
// - Arc runs counter-clockwise on screen from the start radial to the end
//   radial; equal radials give the full ellipse;
// - text escapement is in tenths of a degree counter-clockwise;
// - SetROP2(R2_XORPEN) makes every primitive invert what it covers, so that
//   drawing the same figure twice restores the canvas.
//
// The base class keeps the selection and mode state (objects selected, colours,
// modes, current position, SaveDC/RestoreDC); implementations draw. Selected
// objects are copied when selected, so a pen that goes out of scope while
// still selected never dangles; SelectObject returns the pointer given before,
// for the caller to select back, as usual.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_NULL = 5;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Raster operations.
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_COPYPEN = 13;

// Text alignment flags.
inline constexpr UINT TA_NOUPDATECP = 0;
inline constexpr UINT TA_UPDATECP = 1;
inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
inline constexpr UINT TA_TOP = 0;
inline constexpr UINT TA_BOTTOM = 8;
inline constexpr UINT TA_BASELINE = 24;

// Mapping modes: only device pixels are used.
inline constexpr int MM_TEXT = 1;

// Stock objects.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEFAULT_GUI_FONT = 17;

// What SetPixel returns for a pixel off the device.
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Device capabilities.
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

class CGdiObject {
 public:
  enum class Kind { kPen, kBrush, kFont };
  explicit CGdiObject(Kind kind) : kind_(kind) {}
  virtual ~CGdiObject() = default;
  Kind GetKind() const { return kind_; }

 private:
  Kind kind_;
};

class CPen : public CGdiObject {
 public:
  CPen() : CGdiObject(Kind::kPen) {}
  CPen(int style, int width, COLORREF color) : CGdiObject(Kind::kPen) { CreatePen(style, width, color); }
  BOOL CreatePen(int style, int width, COLORREF color) {
    style_ = style;
    width_ = width;
    color_ = color;
    return TRUE;
  }
  int style() const { return style_; }
  int width() const { return width_; }
  COLORREF color() const { return color_; }

 private:
  int style_ = PS_SOLID;
  int width_ = 1;
  COLORREF color_ = 0;
};

class CBrush : public CGdiObject {
 public:
  CBrush() : CGdiObject(Kind::kBrush) {}
  explicit CBrush(COLORREF color) : CGdiObject(Kind::kBrush) { CreateSolidBrush(color); }
  BOOL CreateSolidBrush(COLORREF color) {
    hollow_ = false;
    color_ = color;
    return TRUE;
  }
  // A brush that fills nothing (the null brush).
  static CBrush Hollow() {
    CBrush b;
    b.hollow_ = true;
    return b;
  }
  bool hollow() const { return hollow_; }
  COLORREF color() const { return color_; }

 private:
  bool hollow_ = false;
  COLORREF color_ = 0xFFFFFF;
};

class CFont : public CGdiObject {
 public:
  CFont() : CGdiObject(Kind::kFont) {}
  BOOL CreateFontIndirect(const LOGFONT* font) {
    if (!font) return FALSE;
    logfont_ = *font;
    return TRUE;
  }
  const LOGFONT& logfont() const { return logfont_; }
  // Fills `out` with the font's description, as GetLogFont does.
  int GetLogFont(LOGFONT* out) const {
    if (out) *out = logfont_;
    return out ? 1 : 0;
  }

 private:
  LOGFONT logfont_;
};

// Measures text in device pixels for a font. Tests use FixedTextMetrics so
// that extents do not depend on the fonts installed.
class ITextMetrics {
 public:
  virtual ~ITextMetrics() = default;
  // Width and height of one line of GBK text.
  virtual CSize Extent(const LOGFONT& font, std::string_view gbk_text) const = 0;
  // Distance from the top of a line to its baseline, and below the baseline.
  virtual int Ascent(const LOGFONT& font) const = 0;
  virtual int Descent(const LOGFONT& font) const = 0;
};

// Every byte is half the font height wide (at least 1 pixel); a line is the
// font height high (at least 1 pixel), with a quarter of it below the baseline.
class FixedTextMetrics : public ITextMetrics {
 public:
  CSize Extent(const LOGFONT& font, std::string_view gbk_text) const override;
  int Ascent(const LOGFONT& font) const override;
  int Descent(const LOGFONT& font) const override;
};

class CDC {
 public:
  // The drawing state that SaveDC keeps and RestoreDC gives back.
  struct State {
    CPen pen{PS_SOLID, 1, 0};
    CBrush brush{0xFFFFFF};
    CFont font;
    // What SelectObject returns next: the objects given, never dereferenced,
    // since the caller may have destroyed them while they were selected.
    CPen* selected_pen = nullptr;
    CBrush* selected_brush = nullptr;
    CFont* selected_font = nullptr;
    COLORREF bk_color = 0xFFFFFF;
    int bk_mode = OPAQUE;
    COLORREF text_color = 0;
    UINT text_align = TA_LEFT | TA_TOP;
    int map_mode = MM_TEXT;
    int rop2 = R2_COPYPEN;
    CPoint position;
  };

  // `metrics` must outlive the device context; null means FixedTextMetrics.
  explicit CDC(const ITextMetrics* metrics = nullptr);
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  // Selects a pen, brush or font given through its base, as returned by
  // SelectStockObject; returns the previously selected object of that kind.
  CGdiObject* SelectObject(CGdiObject* object);
  CGdiObject* SelectStockObject(int index);
  // The shared stock object, or null for an unknown index.
  static CGdiObject* GetStockObject(int index);

  CPoint MoveTo(int x, int y);
  CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(CPoint p) { return LineTo(p.x, p.y); }
  BOOL Polyline(const CPoint* points, int count);
  BOOL Polygon(const CPoint* points, int count);
  BOOL Ellipse(int left, int top, int right, int bottom);
  BOOL Ellipse(const CRect& r) { return Ellipse(r.left, r.top, r.right, r.bottom); }
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
  BOOL Arc(int left, int top, int right, int bottom, int start_x, int start_y, int end_x, int end_y);
  COLORREF SetPixel(int x, int y, COLORREF color);
  BOOL TextOut(int x, int y, const CString& text);
  // Fills a box (right and bottom edges excluded) with a colour, ignoring the
  // selected pen, brush and raster operation.
  void FillSolidRect(const CRect& r, COLORREF color);

  COLORREF SetBkColor(COLORREF color);
  int SetBkMode(int mode);
  COLORREF SetTextColor(COLORREF color);
  UINT SetTextAlign(UINT align);
  int SetMapMode(int mode);
  int SetROP2(int mode);
  COLORREF GetBkColor() const { return state_.bk_color; }
  int GetBkMode() const { return state_.bk_mode; }
  COLORREF GetTextColor() const { return state_.text_color; }
  UINT GetTextAlign() const { return state_.text_align; }
  int GetMapMode() const { return state_.map_mode; }
  int GetROP2() const { return state_.rop2; }
  CPoint GetCurrentPosition() const { return state_.position; }

  // Saves the state on a stack; returns its level (1 for the first save).
  int SaveDC();
  // Restores the state saved at `level` (-1: the last saved) and drops it and
  // every later save. FALSE when there is no such level.
  BOOL RestoreDC(int level);

  CSize GetTextExtent(const CString& text) const;
  CSize GetTextExtent(const char* text, int count) const;
  BOOL IsPrinting() const { return printing_; }
  void SetPrinting(bool printing) { printing_ = printing; }
  // LOGPIXELSY and LOGPIXELSX: 96 unless set; anything else 0.
  int GetDeviceCaps(int index) const;
  void SetLogPixels(int dpi) { log_pixels_ = dpi; }

  const State& state() const { return state_; }
  const ITextMetrics& metrics() const { return *metrics_; }

 protected:
  // The drawing primitives, in device pixels, with state() describing pen,
  // brush, font, colours and modes. Implementations follow the conventions at
  // the top of this file.
  virtual void DoLine(CPoint from, CPoint to) = 0;
  virtual void DoPolyline(const CPoint* points, int count) = 0;
  virtual void DoPolygon(const CPoint* points, int count) = 0;
  virtual void DoEllipse(const CRect& box) = 0;
  virtual void DoRectangle(const CRect& box) = 0;
  virtual void DoArc(const CRect& box, CPoint start, CPoint end) = 0;
  virtual COLORREF DoSetPixel(CPoint p, COLORREF color) = 0;
  virtual void DoTextOut(CPoint p, const CString& text) = 0;
  virtual void DoFillSolidRect(const CRect& box, COLORREF color) = 0;
  // Told of MoveTo, for implementations that record calls.
  virtual void OnMoveTo(CPoint) {}

 private:
  State state_;
  std::vector<State> saved_;
  const ITextMetrics* metrics_;
  bool printing_ = false;
  int log_pixels_ = 96;
};
