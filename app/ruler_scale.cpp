#include "app/ruler_scale.h"

#include <cmath>

#include "model/geometry.h"
#include "model/length_text.h"
#include "platform/dc.h"
#include "platform/text.h"

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kMmPerCun = 33.3333;
// A major interval covers at least this many pixels.
constexpr double kMajorPixels = 40.0;
// Tick lengths in pixels.
constexpr int kMinorTick = 3;
constexpr int kMiddleTick = 5;
constexpr int kMajorTick = 8;
// No ruler is wider than this many ticks; a scale that would ask for more is
// not one the view can show.
constexpr int64_t kMaxTicks = 100000;

// The round length, in units of `q`'s unit, that covers q: a whole number
// above 1, else the next tenth, hundredth or thousandth up.
double RoundUpMetric(double q) {
  if (q > 1) return std::ceil(q);
  if (q > 0.1) return std::ceil(10 * q) / 10;
  if (q > 0.01) return std::ceil(100 * q) / 100;
  return std::ceil(1000 * q) / 1000;
}

// The same in inches with fractions: whole inches above 1, else the first of
// halves .. 32nds that covers q.
double RoundUpFraction(double q) {
  if (q > 1) return std::ceil(q);
  for (int k = 2; k <= 32; k *= 2) {
    if (k * q > 1) return std::ceil(k * q) / k;
  }
  return std::ceil(q);
}

// Builds the ruler's font: variable pitch, Swiss, 10 pixels high; turned to
// run upwards on a vertical ruler.
LOGFONT RulerFont(RulerOrientation orientation) {
  LOGFONT font;
  font.lfHeight = -10;
  font.lfWeight = 400;
  font.lfPitchAndFamily = 34;  // VARIABLE_PITCH | FF_SWISS
  if (orientation == RulerOrientation::kVertical) {
    font.lfEscapement = 900;
    font.lfOrientation = 900;
  }
  return font;
}

int32_t ClampToInt32(double v) {
  if (!(v > -2147483648.0)) return INT32_MIN;
  if (v >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(v);  // toward zero
}

}  // namespace

RulerScale InitialRulerScale(int styleScale, int unitMode, int precision) {
  RulerScale s;
  if (unitMode == 0) {
    s.major = kMmPerInch * styleScale;
    s.minorPerMajor = precision == 1 ? 10 : 8;
  } else {
    s.major = 10.0 * styleScale;
    s.minorPerMajor = 10;
  }
  s.middle = s.major / 2;
  s.minor = s.major / s.minorPerMajor;
  return s;
}

BOOL ComputeRulerScale(double viewScale, int styleScale, int unitMode, RulerScale* out) {
  const double scale = viewScale == 0.0 ? kRulerIdleScale : viewScale;
  const double S = styleScale;
  // Millimetres covered by 40 pixels.
  const double d = scale * kMajorPixels / S;
  RulerScale s;
  switch (unitMode) {
    case 3:
      s.major = S * RoundUpMetric(d);
      break;
    case 2:
      s.major = d > 10 ? S * std::ceil(d / 10) * 10 : S * RoundUpMetric(d);
      break;
    case 1:
      s.major = S * RoundUpMetric(d / kMmPerInch) * kMmPerInch;
      break;
    case 4:
      s.major = S * RoundUpMetric(d / kMmPerCun) * kMmPerCun;
      break;
    case 0:
      s.major = S * kMmPerInch * RoundUpFraction(d / kMmPerInch);
      s.minorPerMajor = 8;
      break;
    default:
      return FALSE;
  }
  s.minor = s.major / s.minorPerMajor;
  s.middle = s.major / 2;
  *out = s;
  return TRUE;
}

bool RulerScaleIsDrawable(const RulerScale& s) {
  return std::isfinite(s.major) && std::isfinite(s.minor) && s.major > 0 && s.minor > 0 && s.minorPerMajor > 0;
}

void DrawRulerMark(CDC* dc, RulerOrientation orientation, int32_t position, COLORREF windowColor) {
  if (!dc || position == kNoRulerMark) return;
  CPen pen(PS_SOLID, 1, windowColor);
  CPen* old_pen = dc->SelectObject(&pen);
  const int old_rop = dc->SetROP2(R2_XORPEN);
  if (orientation == RulerOrientation::kHorizontal) {
    dc->MoveTo(position, 2);
    dc->LineTo(position, 18);
  } else {
    const int y = WrapAdd(position, kRulerThickness);
    dc->MoveTo(2, y);
    dc->LineTo(18, y);
  }
  dc->SetROP2(old_rop);
  dc->SelectObject(old_pen);
}

void DrawRuler(CDC* dc, RulerOrientation orientation, int width, int height, const RulerScale& scale,
               const RulerView& view, const RulerColors& colors, int32_t markX, int32_t markY) {
  if (!dc) return;
  const int saved = dc->SaveDC();
  const bool horizontal = orientation == RulerOrientation::kHorizontal;

  // Border: a dark outer line and a grey inner one along the work window.
  {
    CPen text_pen(PS_SOLID, 1, colors.text);
    CPen gray_pen(PS_SOLID, 1, colors.grayText);
    CPen* old_pen = dc->SelectObject(&text_pen);
    if (horizontal) {
      dc->MoveTo(0, height - 1);
      dc->LineTo(width, height - 1);
      dc->SelectObject(&gray_pen);
      dc->MoveTo(0, height - 2);
      dc->LineTo(width, height - 2);
    } else {
      dc->MoveTo(width - 1, 19);
      dc->LineTo(width - 1, height);
      dc->SelectObject(&gray_pen);
      dc->MoveTo(width - 1, 18);
      dc->LineTo(width - 2, 18);
      dc->LineTo(width - 2, height);
    }
    dc->SelectObject(old_pen);
  }

  if (RulerScaleIsDrawable(scale) && std::isfinite(view.scale) && view.scale != 0.0) {
    CPen tick_pen(PS_SOLID, 0, colors.text);
    CPen* old_pen = dc->SelectObject(&tick_pen);
    dc->SetTextColor(colors.text);
    dc->SetBkMode(TRANSPARENT);
    const LOGFONT logfont = RulerFont(orientation);
    CFont font;
    font.CreateFontIndirect(&logfont);
    CFont* old_font = dc->SelectObject(&font);

    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ScreenToModel(0, 0, &x0, &y0, view.scale, view.originX, view.originY);
    ScreenToModel(width, height, &x1, &y1, view.scale, view.originX, view.originY);
    const double from = horizontal ? x0 : y0;
    const double to = horizontal ? x1 : y1;
    const double ref = horizontal ? view.refX : view.refY;

    const CString suffix = horizontal ? GetUnitSuffix() : CString();
    const int suffix_width = horizontal ? dc->GetTextExtent(suffix).cx : 0;

    // Ticks are counted in minor steps from the reference point, so that
    // whether a tick is a major or middle one never depends on how doubles
    // add up far from the reference.
    const int per_major = scale.minorPerMajor;
    const int per_middle = per_major / 2 > 0 ? per_major / 2 : per_major;
    const double first = std::ceil((from - ref) / scale.minor);
    const bool countable = std::isfinite(first) && std::fabs(first) < 1e15;
    for (int64_t i = 0; countable && i < kMaxTicks; ++i) {
      const double n = first + static_cast<double>(i);
      const double w = n * scale.minor + ref;
      if (!(w < to)) break;
      int sx = 0, sy = 0;
      const int32_t wi = ClampToInt32(w);
      ModelToScreen(wi, wi, &sx, &sy, view.scale, view.originX, view.originY);
      const int64_t index = static_cast<int64_t>(n);
      int length = kMinorTick;
      const bool major = index % per_major == 0;
      if (major) {
        length = kMajorTick;
      } else if (index % per_middle == 0) {
        length = kMiddleTick;
      }
      if (horizontal) {
        dc->MoveTo(sx, height - 2);
        dc->LineTo(sx, height - 2 - length);
      } else {
        const int y = WrapAdd(sy, kRulerThickness);
        dc->MoveTo(width - 2, y);
        dc->LineTo(width - 2 - length, y);
      }
      if (major) {
        const CString number = FormatDisplayLength(RoundToInt(n * scale.minor));
        if (horizontal) {
          const int64_t right = int64_t{sx} + dc->GetTextExtent(number).cx + 3 + suffix_width;
          if (right < width) dc->TextOut(sx + 2, 1, number);
        } else {
          dc->TextOut(1, WrapAdd(sy, kRulerThickness - 1), number);
        }
      }
    }
    if (horizontal) dc->TextOut(width - suffix_width - 1, 1, suffix);

    dc->SelectObject(old_font);
    dc->SelectObject(old_pen);
  }

  DrawRulerMark(dc, orientation, horizontal ? markX : markY, colors.window);
  dc->RestoreDC(saved);
}
