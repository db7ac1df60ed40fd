#include "design/geometry/text_extent.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "platform/numbers.h"

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
// The first byte value that opens a two-byte character.
constexpr unsigned char kFirstLeadByte = 0x80;

bool IsLineBreak(char c) { return c == kCarriageReturn || c == kLineFeed; }

// Bytes of the character that starts at `at`: two for a lead byte with a byte
// after it, else one.
size_t CharacterBytes(std::string_view text, size_t at) {
  const bool lead = static_cast<unsigned char>(text[at]) >= kFirstLeadByte;
  return lead && at + 1 < text.size() ? 2 : 1;
}

}  // namespace

CSize GetMultilineTextExtent(const CDC& dc, std::string_view text, int* lineCount) {
  int64_t widest = 0;
  int64_t tallest = 0;
  int64_t lines = 0;
  int64_t lineWidth = 0;
  bool lineHasCharacter = false;
  size_t at = 0;
  while (at < text.size()) {
    if (IsLineBreak(text[at])) {
      ++lines;
      widest = std::max(widest, lineWidth);
      lineWidth = 0;
      lineHasCharacter = false;
      ++at;
      if (at < text.size() && IsLineBreak(text[at])) ++at;
      continue;
    }
    const size_t bytes = CharacterBytes(text, at);
    const CSize extent = dc.GetTextExtent(text.data() + at, static_cast<int>(bytes));
    lineWidth += extent.cx;
    tallest = std::max<int64_t>(tallest, extent.cy);
    lineHasCharacter = true;
    at += bytes;
  }
  widest = std::max(widest, lineWidth);
  if (lineHasCharacter) ++lines;
  if (lineCount) *lineCount = SaturateToInt32(lines);
  // Clamped before multiplying: the line count of a huge text times a tall
  // font must not overflow.
  const int64_t height = tallest > 0 && lines > INT32_MAX / tallest ? INT32_MAX : tallest * lines;
  return CSize(SaturateToInt32(widest), SaturateToInt32(height));
}

CSize GetMultilineTextExtentByValue(const CDC& dc, CString text, int* lineCount) {
  return GetMultilineTextExtent(dc, text.view(), lineCount);
}
