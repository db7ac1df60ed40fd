// What a ruler beside the work window shows, as device-context drawing: the
// tick intervals for the current zoom and unit mode, and the ticks, numbers,
// border and cursor mark of one ruler. The widget (app/ruler_bar.h) keeps the
// canvas; this part has no widget in it, so it draws on any device context.
//
// A ruler counts work-area units from a reference point (the current piece's
// reference point, else the top-left corner of the work-area extent) in the
// display unit. The major interval is the smallest round length in that unit
// that covers at least 40 pixels; every major tick gets a number.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

class CDC;

// Tick intervals in work-area units. `minorPerMajor` minor steps make one
// major step (10, or 8 for inches with fractions); the middle tick is half a
// major step.
struct RulerScale {
  double major = 0.0;
  double middle = 0.0;
  double minor = 0.0;
  int minorPerMajor = 10;
};

// The view scale a ruler assumes while the work window has none yet.
inline constexpr double kRulerIdleScale = 13.3333;
// Ruler thickness in pixels; the left ruler's ticks start this far down, below
// the top ruler.
inline constexpr int kRulerThickness = 20;
// The cursor-mark position meaning "no mark".
inline constexpr int32_t kNoRulerMark = static_cast<int32_t>(0x80000000u);

// The intervals before the first zoom: 1 cm in the decimal units (1 inch,
// in eighths or tenths by the precision, for inches with fractions).
RulerScale InitialRulerScale(int styleScale, int unitMode, int precision);

// The intervals for a view scale (model units per pixel; 0 counts as
// kRulerIdleScale), the style's scale (model units per millimetre) and a unit
// mode (0 inch with fractions, 1 inch, 2 cm, 3 mm, 4 cun). FALSE, `out`
// untouched, for an unknown unit mode.
BOOL ComputeRulerScale(double viewScale, int styleScale, int unitMode, RulerScale* out);

// Whether ticks can be drawn at these intervals: a negative, zero or
// non-finite step would never get across the ruler.
bool RulerScaleIsDrawable(const RulerScale& scale);

// What the ruler maps: the work window's scale and origin (a work-area point
// w shows at pixel (w - origin) / scale) and the reference point numbers
// count from, in work-area units.
struct RulerView {
  double scale = kRulerIdleScale;
  int32_t originX = 0;
  int32_t originY = 0;
  int32_t refX = 0;
  int32_t refY = 0;
};

struct RulerColors {
  COLORREF text = 0x000000;      // ticks, numbers, outer border line
  COLORREF grayText = 0x808080;  // inner border line
  COLORREF window = 0xFFFFFF;    // cursor mark (drawn in XOR)
};

// Horizontal rulers run along the top (ticks up from the bottom edge);
// vertical ones along the left (ticks leftwards from the right edge, shifted
// down by kRulerThickness).
enum class RulerOrientation { kHorizontal, kVertical };

// The border lines, the ticks with their numbers (the unit suffix at the
// right end of a horizontal ruler), and the cursor mark when there is one.
// `width` x `height` is the ruler's size in pixels. The device context's state
// is left as it was.
void DrawRuler(CDC* dc, RulerOrientation orientation, int width, int height, const RulerScale& scale,
               const RulerView& view, const RulerColors& colors, int32_t markX, int32_t markY);

// The cursor mark alone, in XOR, at pixel x of a horizontal ruler or pixel y
// of a vertical one: drawing it twice removes it.
void DrawRulerMark(CDC* dc, RulerOrientation orientation, int32_t position, COLORREF windowColor);
