#include "design/geometry/text_extent.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "design/geometry/text_lines.h"
#include "platform/numbers.h"

CSize GetMultilineTextExtent(const CDC& dc, std::string_view text, int* lineCount) {
  int64_t widest = 0;
  int64_t tallest = 0;
  int64_t lines = 0;
  int64_t lineWidth = 0;
  bool lineHasCharacter = false;
  size_t at = 0;
  while (at < text.size()) {
    if (IsLineBreakByte(text[at])) {
      ++lines;
      widest = std::max(widest, lineWidth);
      lineWidth = 0;
      lineHasCharacter = false;
      at += LineBreakBytes(text, at);
      continue;
    }
    const size_t bytes = TextCharacterBytes(text, at);
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
