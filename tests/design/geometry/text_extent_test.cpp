#include "design/geometry/text_extent.h"

#include <climits>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/recording_dc.h"

namespace {

// One ASCII character is 3 wide and 10 high ('T' 20 high); one two-byte
// character 7 wide and 12 high. Anything longer than one character is
// answered with a size no sum of those gives, so that measuring more than one
// character at a time shows.
class CharacterMetrics : public ITextMetrics {
 public:
  CSize Extent(const LOGFONT&, std::string_view text) const override {
    if (text.size() == 1) return CSize(3, text == "T" ? 20 : 10);
    if (text.size() == 2) return CSize(7, 12);
    return CSize(1000, 1000);
  }
  int Ascent(const LOGFONT&) const override { return 0; }
  int Descent(const LOGFONT&) const override { return 0; }
};

// Every character as wide and as high as 32 bits hold.
class HugeMetrics : public ITextMetrics {
 public:
  CSize Extent(const LOGFONT&, std::string_view) const override { return CSize(INT_MAX, INT_MAX); }
  int Ascent(const LOGFONT&) const override { return 0; }
  int Descent(const LOGFONT&) const override { return 0; }
};

TEST(GetMultilineTextExtent, WidestLineAndTallestCharacterTimesLines) {
  struct Case {
    std::string text;
    CSize extent;
    int lines;
  };
  const Case kCases[] = {
      {"", {0, 0}, 0},
      {"ab", {6, 10}, 1},
      {"aT", {6, 20}, 1},                 // the tallest character sets the line height
      {"abc\nd", {9, 20}, 2},             // the widest line is the first
      {"a\r\nbcd", {9, 20}, 2},           // or the last
      {"ab\r\nc", {6, 20}, 2},
      {"ab\r\n", {6, 10}, 1},             // a break ends the line; nothing follows
      {"ab\r\n\r\n", {6, 20}, 2},         // an empty line still counts
      {"a\n\nb", {3, 20}, 2},             // two breaks in a row are one
      {"a\r\r\rb", {3, 30}, 3},           // three are two
      {"T\nab", {6, 40}, 2},              // every line as high as the tallest character
      {"\r\n", {0, 0}, 1},                // a line without characters has no height
      {"\xd6\xd0" "a", {10, 12}, 1},      // a two-byte character is measured whole
      {"a\xd6", {6, 10}, 1},              // a lead byte at the end stands alone
      {"\xd6\r", {7, 12}, 1},             // a lead byte takes the next byte whatever it is
  };
  const CharacterMetrics metrics;
  RecordingDC dc(&metrics);
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    int lines = -1;
    EXPECT_EQ(GetMultilineTextExtent(dc, c.text, &lines), c.extent);
    EXPECT_EQ(lines, c.lines);
    lines = -1;
    EXPECT_EQ(GetMultilineTextExtentByValue(dc, CString(c.text), &lines), c.extent);
    EXPECT_EQ(lines, c.lines);
  }
  EXPECT_EQ(GetMultilineTextExtent(dc, "ab\nc", nullptr), CSize(6, 20));
}

TEST(GetMultilineTextExtent, MeasuresInTheSelectedFont) {
  RecordingDC dc;  // fixed metrics: half the font height per byte
  LOGFONT lf;
  lf.lfHeight = -20;
  CFont font;
  font.CreateFontIndirect(&lf);
  dc.SelectObject(&font);
  EXPECT_EQ(GetMultilineTextExtent(dc, "abc\nde", nullptr), CSize(30, 40));
}

TEST(GetMultilineTextExtent, SumsBeyond32BitsAreClamped) {
  const HugeMetrics metrics;
  RecordingDC dc(&metrics);
  int lines = 0;
  EXPECT_EQ(GetMultilineTextExtent(dc, "abc\nd\ne", &lines), CSize(INT_MAX, INT_MAX));
  EXPECT_EQ(lines, 3);
}

}  // namespace
