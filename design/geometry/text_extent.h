// The size of a label text that may run over several lines, measured with the
// font selected in a device context. Texts are GBK bytes: a byte of 128 or
// more with a byte after it is one two-byte character. Lines end at CR or LF,
// and two break characters in a row (CR LF, but also LF LF) make one break.
#pragma once

#include <string_view>

#include "platform/dc.h"
#include "platform/geometry_types.h"
#include "platform/text.h"

// Width of the widest line and, as height, the tallest character times the
// number of lines. Every character is measured on its own and a line's width
// is the sum of its characters' widths, so the result does not depend on how
// the font would join neighbouring characters (the device context keeps no
// spacing between characters to add). `lineCount`, when not null,
// gets the number of lines: every break ends one, and a last line without a
// break counts when it holds a character ("ab" CR LF has one line, "ab" CR LF
// "c" two). An empty text is (0, 0) with no lines. Sums too large for 32 bits
// are clamped.
CSize GetMultilineTextExtent(const CDC& dc, std::string_view text, int* lineCount);

// The same for a text passed by value.
CSize GetMultilineTextExtentByValue(const CDC& dc, CString text, int* lineCount);
