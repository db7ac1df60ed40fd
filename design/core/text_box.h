// The box a text of the design takes: the text measured in its font through
// the platform's text metrics, and the box turned by the font's escapement
// about the text's position. The free texts of the construction and the
// label elements of the pieces lay their boxes out alike.
#pragma once

#include "platform/geometry_types.h"
#include "platform/text.h"

// The extent of `text` (lines ended by CR or LF) in `font`: measured on the
// work window's device context when a window is installed, else on one with
// fixed metrics. The device context's state is left as it was found.
CSize MeasureTextInFont(const CString& text, const LOGFONT& font);

// The corners of a text box of `extent` at `position`, turned by
// `escapement` (tenths of a degree, counter-clockwise as the text is seen).
struct TextBoxCorners {
  CPoint a;  // the end of the baseline side: position + (width, 0) turned
  CPoint b;  // position + (0, height) turned
  CPoint c;  // position + (width, height) turned
};
TextBoxCorners TurnTextBox(CPoint position, CSize extent, int32_t escapement);
