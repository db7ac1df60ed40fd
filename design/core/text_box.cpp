#include "design/core/text_box.h"

#include <cmath>
#include <optional>

#include "design/geometry/point_line.h"
#include "design/geometry/text_extent.h"
#include "model/shell_services.h"
#include "platform/dc.h"
#include "platform/recording_dc.h"

namespace {

// The escapement is in tenths of a degree; half a turn is 1800 of them.
constexpr double kEscapementPerHalfTurn = 1800.0;
// The value of pi the stored designs were laid out with.
constexpr double kPi = 3.14159265359;

// The corner at offset (dx, dy) from the position, turned about the position.
// The offset is turned about the origin and then added, so that a corner far
// out wraps like every other coordinate instead of overflowing.
CPoint TurnedCorner(CPoint position, int32_t dx, int32_t dy, double sinA, double cosA) {
  CPoint offset(dx, dy);
  RotatePointInPlace(&offset, 0, 0, sinA, cosA);
  return CPoint(WrapAdd(position.x, offset.x), WrapAdd(position.y, offset.y));
}

}  // namespace

CSize MeasureTextInFont(const CString& text, const LOGFONT& logfont) {
  IWorkWindow* window = g_pWorkWindow;
  CDC* screen = window ? window->GetDC() : nullptr;
  std::optional<RecordingDC> headless;
  if (!screen) headless.emplace();
  CDC& dc = screen ? *screen : *headless;
  CFont font;
  font.CreateFontIndirect(&logfont);
  const int saved = dc.SaveDC();
  dc.SelectObject(&font);
  const CSize extent = GetMultilineTextExtentByValue(dc, text, nullptr);
  dc.RestoreDC(saved);
  if (screen) window->ReleaseDC(screen);
  return extent;
}

TextBoxCorners TurnTextBox(CPoint position, CSize extent, int32_t escapement) {
  // The escapement turns the text counter-clockwise as seen with y growing
  // downwards, as model coordinates are drawn; the rotation turns the other
  // way there, hence the minus.
  const double angle = -escapement / kEscapementPerHalfTurn * kPi;
  const double sinA = std::sin(angle);
  const double cosA = std::cos(angle);
  return TextBoxCorners{TurnedCorner(position, extent.cx, 0, sinA, cosA),
                        TurnedCorner(position, 0, extent.cy, sinA, cosA),
                        TurnedCorner(position, extent.cx, extent.cy, sinA, cosA)};
}
