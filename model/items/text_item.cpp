#include "model/items/text_item.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "model/geometry.h"
#include "model/items/marker_items.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "platform/dc.h"
#include "platform/recording_dc.h"
#include "design/geometry/measure.h"

namespace {
constexpr double kMaxFontPixels = 32000.0;
constexpr COLORREF kWhite = 0xFFFFFF;

// The colour of a text that serves every size: that of the only visible
// size, else (none or several visible) that of the first size.
COLORREF TextColour() {
  const CSizeRecord* first = g_Style.SizeRing;
  if (!first) return 0;
  const CSizeRecord* visible = nullptr;
  int visibleCount = 0;
  const CSizeRecord* size = first;
  for (int i = 0; i < g_Style.SizeCount && size; ++i, size = size->Next) {
    if (size->Visible != 0) {
      visible = size;
      ++visibleCount;
    }
  }
  return visibleCount == 1 ? visible->Color : first->Color;
}

// The text split at line feeds; the last line is the rest of the text. A
// line feed is never part of a two-byte GBK character, so the bytes are
// split as they are.
std::vector<CString> TextLines(const CString& text) {
  std::vector<CString> lines;
  const std::string_view bytes = text.view();
  size_t start = 0;
  for (size_t feed = bytes.find('\n'); feed != std::string_view::npos; feed = bytes.find('\n', start)) {
    lines.emplace_back(bytes.substr(start, feed - start));
    start = feed + 1;
  }
  lines.emplace_back(bytes.substr(start));
  return lines;
}
}  // namespace

int32_t ClampFontHeight(double pixels) {
  if (std::isnan(pixels)) return 0;
  if (pixels >= kMaxFontPixels) return static_cast<int32_t>(kMaxFontPixels);
  if (pixels <= -kMaxFontPixels) return -static_cast<int32_t>(kMaxFontPixels);
  return RoundToNearest(pixels);
}

CPieceItem11::CPieceItem11(CPieceItem* prev, CPieceItem* next)
    : CPieceItem(kItemTypeText, prev, next), Font(g_DefaultFont) {}

LOGFONT CPieceItem11::ScreenFont(double unitsPerPixel) const {
  LOGFONT font = Font;
  double h = Font.lfHeight / unitsPerPixel;
  // Below a pixel the text still shows one pixel high, with its sign; a
  // height of 0 (or one with no value at a zero scale) has no sign to keep
  // and is drawn one pixel high.
  if (std::isnan(h) || h == 0.0) {
    h = 1.0;
  } else if (std::fabs(h) < 1.0) {
    h = h < 0 ? -1.0 : 1.0;
  }
  font.lfHeight = ClampFontHeight(h);
  return font;
}

void CPieceItem11::GetTextBox(CDC* dc, double unitsPerPixel, int originX, int originY, int margin,
                              CPoint corners[4]) const {
  const LOGFONT logfont = ScreenFont(unitsPerPixel);
  CFont font;
  font.CreateFontIndirect(&logfont);
  CFont* oldFont = dc->SelectObject(&font);
  const CSize extent = dc->GetTextExtent(GetLongestTextLine(Text));
  dc->SelectObject(oldFont);
  const double w = extent.cx;
  const double h = static_cast<double>(extent.cy) * CountTextLines(Text);

  const double a = Font.lfEscapement / 1800.0 * kPi;
  const double c = std::cos(a);
  const double s = -std::sin(a);
  const CPoint p = ScreenPoint(AnchorX, AnchorY, unitsPerPixel, originX, originY);
  const double m = margin;
  const double box[4][2] = {{-m, -m}, {w + m, -m}, {w + m, h + m}, {-m, h + m}};
  for (int i = 0; i < 4; ++i) {
    const double u = box[i][0];
    const double v = box[i][1];
    corners[i] = CPoint(WrapAdd(p.x, RoundToNearest(u * c - v * s)), WrapAdd(p.y, RoundToNearest(v * c + u * s)));
  }
}

void CPieceItem11::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc) return;
  const LOGFONT logfont = ScreenFont(unitsPerPixel);
  CFont font;
  font.CreateFontIndirect(&logfont);
  CFont* oldFont = dc->SelectObject(&font);
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  dc->SetBkColor(kWhite);
  dc->SetTextColor(TextColour());

  const int lines = CountTextLines(Text);
  if (lines < 2) {
    const CPoint anchor = ScreenPoint(AnchorX, AnchorY, unitsPerPixel, originX, originY);
    dc->TextOut(anchor.x, anchor.y, Text);
  } else {
    CPoint corners[4];
    GetTextBox(dc, unitsPerPixel, originX, originY, 1, corners);
    const CPoint& top = corners[0];
    const CPoint& bottom = corners[3];
    const std::vector<CString> texts = TextLines(Text);
    for (int i = 0; i < lines && i < static_cast<int>(texts.size()); ++i) {
      const double t = static_cast<double>(i) / lines;
      const int x = TruncateTowardZero((1.0 - t) * top.x + t * bottom.x);
      const int y = TruncateTowardZero((1.0 - t) * top.y + t * bottom.y);
      dc->TextOut(x, y, texts[static_cast<size_t>(i)]);
    }
  }

  dc->SetBkMode(oldMode);
  dc->SelectObject(oldFont);
}

void CPieceItem11::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem11::GetDrawExtent(CSizeRecord*, int* minX, int* maxX, int* minY, int* maxY) const {
  GetExtent(0, minX, maxX, minY, maxY);
}

void CPieceItem11::GetExtent(int, int* minX, int* maxX, int* minY, int* maxY) const {
  CDC* dc = g_pWorkWindow ? g_pWorkWindow->GetDC() : nullptr;
  CPoint corners[4];
  if (dc) {
    GetTextBox(dc, 1.0, 0, 0, 1, corners);
    g_pWorkWindow->ReleaseDC(dc);
  } else {
    // Headless (a reader run without windows): the fixed metrics still give
    // the text a box of the right order of size.
    RecordingDC measure;
    GetTextBox(&measure, 1.0, 0, 0, 1, corners);
  }
  *minX = *maxX = corners[0].x;
  *minY = *maxY = corners[0].y;
  for (const CPoint& p : corners) {
    *minX = std::min(*minX, p.x);
    *maxX = std::max(*maxX, p.x);
    *minY = std::min(*minY, p.y);
    *maxY = std::max(*maxY, p.y);
  }
}

// A text has no vertices to remove or step over.
CVertexNode* CPieceItem11::RemoveVertex(CVertexNode*) { return nullptr; }
CVertexNode* CPieceItem11::RemoveGradedVertex(CVertexNode*) { return nullptr; }
CVertexNode* CPieceItem11::NextMainVertex(CVertexNode*) const { return nullptr; }
CVertexNode* CPieceItem11::PrevMainVertex(CVertexNode*) const { return nullptr; }
