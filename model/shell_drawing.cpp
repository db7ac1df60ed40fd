// The two drawings the model asks of the shell: the selection frame of the
// current piece and the point numbers beside vertices.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/geometry.h"
#include "model/piece_record.h"
#include "model/shell_services.h"
#include "platform/dc.h"
#include "platform/text.h"

namespace {
constexpr int64_t kFrameGap = 6;      // pixels between the piece's box and its frame
constexpr int64_t kDashPeriod = 6;    // three pixels on, three off
constexpr int64_t kDashOn = 3;
// No device is larger than this; the frame is walked only within it.
constexpr int64_t kWalkLimit = 32768;
constexpr COLORREF kWhite = 0xFFFFFF;

// Sets every on-pixel of one side, `along` running from `from` to `to`
// (either direction) at the fixed coordinate `across`; the dash phase counts
// from `from`.
void DashSide(CDC* dc, bool horizontal, int64_t across, int64_t from, int64_t to) {
  if (across < -kWalkLimit || across > kWalkLimit) return;
  const int64_t step = to >= from ? 1 : -1;
  const int64_t lo = std::max(std::min(from, to), -kWalkLimit);
  const int64_t hi = std::min(std::max(from, to), kWalkLimit);
  if (lo > hi) return;
  int64_t start = step > 0 ? lo : hi;
  const int64_t end = step > 0 ? hi : lo;
  for (int64_t along = start;; along += step) {
    const int64_t distance = (along - from) * step;
    if (distance % kDashPeriod < kDashOn) {
      const int x = static_cast<int>(horizontal ? along : across);
      const int y = static_cast<int>(horizontal ? across : along);
      dc->SetPixel(x, y, kWhite);
    }
    if (along == end) break;
  }
}
}  // namespace

void DrawPieceSelectionFrame(CDC* dc, CPieceRecord* piece) {
  if (!dc || !piece || !g_pWorkWindow) return;
  const double scale = g_pWorkWindow->GetScale();
  if (scale == 0.0 || !std::isfinite(scale)) return;
  const int oldRop = dc->SetROP2(R2_XORPEN);
  int left = 0, top = 0, right = 0, bottom = 0;
  ModelToScreen(piece->BoxMinX, piece->BoxMinY, &left, &top, scale, piece->OriginX, piece->OriginY);
  ModelToScreen(piece->BoxMaxX, piece->BoxMaxY, &right, &bottom, scale, piece->OriginX, piece->OriginY);
  const int64_t x1 = int64_t{left} - kFrameGap;
  const int64_t y1 = int64_t{top} - kFrameGap;
  const int64_t x2 = int64_t{right} + kFrameGap;
  const int64_t y2 = int64_t{bottom} + kFrameGap;
  // Clockwise from the top-left corner; a box given inside out walks nothing.
  if (x1 <= x2 && y1 <= y2) {
    DashSide(dc, true, y1, x1, x2);
    DashSide(dc, false, x2, y1, y2);
    DashSide(dc, true, y2, x2, x1);
    DashSide(dc, false, x1, y2, y1);
  }
  dc->SetROP2(oldRop);
}

void DrawPointNumber(CDC* dc, int x, int y, COLORREF colour, int number) {
  if (!dc || number <= 0) return;
  const int saved = dc->SaveDC();
  dc->SetMapMode(MM_TEXT);
  LOGFONT logfont;
  CGdiObject* stock = CDC::GetStockObject(DEFAULT_GUI_FONT);
  if (!stock || stock->GetKind() != CGdiObject::Kind::kFont) stock = CDC::GetStockObject(ANSI_VAR_FONT);
  if (stock && stock->GetKind() == CGdiObject::Kind::kFont) static_cast<CFont*>(stock)->GetLogFont(&logfont);
  logfont.lfHeight = -14;
  logfont.lfWidth = 0;
  CFont font;
  font.CreateFontIndirect(&logfont);
  CFont* oldFont = dc->SelectObject(&font);
  dc->SetTextColor(colour);
  dc->SetTextAlign(0);
  CString text;
  text.Format("%d", number);
  dc->TextOut(x, y, text);
  if (oldFont) dc->SelectObject(oldFont);
  dc->RestoreDC(saved);
}
