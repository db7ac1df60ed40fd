// Lines of a label text. Texts are GBK bytes: a byte of 128 or more with a
// byte after it is one two-byte character, whatever that second byte is. A
// line ends at CR or LF, and a break character right after another belongs
// to the same break (CR LF, LF CR, but also LF LF make one break).
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/text.h"

// True for the two bytes that end a line, CR and LF.
bool IsLineBreakByte(char c);

// Bytes of the character that starts at `at` (which must be inside `text`):
// two for a lead byte with a byte after it, else one.
size_t TextCharacterBytes(std::string_view text, size_t at);

// Bytes of the line break that starts at `at` (a break byte inside `text`):
// two when a second break byte follows, else one.
size_t LineBreakBytes(std::string_view text, size_t at);

// The text without the CR and LF bytes it starts with.
CString TrimLeadingLineBreaks(const CString& text);

// The text without the CR and LF bytes it ends with.
CString TrimTrailingLineBreaks(const CString& text);

// The number of lines: every break ends one, and a last line without a break
// counts when it holds a character. "ab" CR LF "c" has two lines, "ab" CR LF
// one, an empty text none.
int CountTextLinesCrLf(const CString& text);

// The characters of line `index` (0 first) without its break; an empty text
// when there is no such line.
CString GetTextLineCrLf(const CString& text, int index);
