// Numbers as the labels and formula texts show them: "%f" with the zeros
// after the decimal point that carry nothing left out.
#pragma once

#include "platform/text.h"

// When the text holds a '.', removes its trailing '0' characters and then a
// trailing '.': "12.500" -> "12.5", "12.000" -> "12". A text without a point
// ("1200", "inf") is left as it is.
void TrimNumberText(CString& text);

// `value` formatted with "%f" (six decimals, a decimal point whatever the
// locale) and trimmed by TrimNumberText: 0.5 -> "0.5", -2.0 -> "-2".
CString FormatTrimmedNumber(double value);
