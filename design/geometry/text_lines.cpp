#include "design/geometry/text_lines.h"

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr std::string_view kLineBreakBytes = "\r\n";
// The first byte value that opens a two-byte character.
constexpr unsigned char kFirstLeadByte = 0x80;

// Where the line that starts at `at` ends: the first break byte at or after
// `at` outside a two-byte character, or the end of the text.
size_t LineEnd(std::string_view text, size_t at) {
  while (at < text.size() && !IsLineBreakByte(text[at])) at += TextCharacterBytes(text, at);
  return at;
}

}  // namespace

bool IsLineBreakByte(char c) { return c == kCarriageReturn || c == kLineFeed; }

size_t TextCharacterBytes(std::string_view text, size_t at) {
  const bool lead = static_cast<unsigned char>(text[at]) >= kFirstLeadByte;
  return lead && at + 1 < text.size() ? 2 : 1;
}

size_t LineBreakBytes(std::string_view text, size_t at) {
  return at + 1 < text.size() && IsLineBreakByte(text[at + 1]) ? 2 : 1;
}

CString TrimLeadingLineBreaks(const CString& text) {
  CString trimmed(text);
  trimmed.TrimLeft(kLineBreakBytes);
  return trimmed;
}

CString TrimTrailingLineBreaks(const CString& text) {
  CString trimmed(text);
  trimmed.TrimRight(kLineBreakBytes);
  return trimmed;
}

int CountTextLinesCrLf(const CString& text) {
  const std::string_view bytes = text.view();
  int lines = 0;
  size_t at = 0;
  while (at < bytes.size()) {
    at = LineEnd(bytes, at);
    ++lines;  // ended by a break, or the last line holding a character
    if (at < bytes.size()) at += LineBreakBytes(bytes, at);
  }
  return lines;
}

CString GetTextLineCrLf(const CString& text, int index) {
  if (index < 0) return CString();
  const std::string_view bytes = text.view();
  size_t at = 0;
  for (int line = 0; line < index; ++line) {
    at = LineEnd(bytes, at);
    if (at >= bytes.size()) return CString();
    at += LineBreakBytes(bytes, at);
  }
  if (at >= bytes.size()) return CString();
  const size_t end = LineEnd(bytes, at);
  return CString(bytes.substr(at, end - at));
}
