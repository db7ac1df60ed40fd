#include "design/geometry/text_lines.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/geometry/text_extent.h"
#include "platform/recording_dc.h"

namespace {

struct LinesCase {
  std::string text;
  std::vector<std::string> lines;
};

// Every case's lines, in order; the count is their number.
const LinesCase kLineCases[] = {
    {"", {}},
    {"ab", {"ab"}},
    {"ab\r\nc", {"ab", "c"}},
    {"ab\r\n", {"ab"}},                      // a text ending in a break: as many lines as breaks
    {"ab\r\n\r\n", {"ab", ""}},
    {"\r\n", {""}},
    {"a\n\rb", {"a", "b"}},                  // LF CR is one break too
    {"a\r\r\rb", {"a", "", "b"}},            // three breaks in a row are two
    {"\r\nab", {"", "ab"}},
    {"\xd6\xd0\nx", {"\xd6\xd0", "x"}},      // a two-byte character
    {"\xd6\r\nx", {"\xd6\r", "x"}},          // a lead byte takes the next byte whatever it is
};

TEST(CountTextLinesCrLf, CountsBreaksAndATrailingLine) {
  for (const LinesCase& c : kLineCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(CountTextLinesCrLf(CString(c.text)), static_cast<int>(c.lines.size()));
  }
}

TEST(CountTextLinesCrLf, AgreesWithTheMeasuredLineCount) {
  RecordingDC dc;
  for (const LinesCase& c : kLineCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    int measured = -1;
    GetMultilineTextExtent(dc, c.text, &measured);
    EXPECT_EQ(CountTextLinesCrLf(CString(c.text)), measured);
  }
}

TEST(GetTextLineCrLf, EveryLineThenEmptyPastTheEnd) {
  for (const LinesCase& c : kLineCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    const CString text(c.text);
    const int count = static_cast<int>(c.lines.size());
    for (int i = 0; i < count; ++i) EXPECT_EQ(GetTextLineCrLf(text, i), c.lines[i]) << "line " << i;
    EXPECT_EQ(GetTextLineCrLf(text, count), "");
    EXPECT_EQ(GetTextLineCrLf(text, count + 5), "");
    EXPECT_EQ(GetTextLineCrLf(text, -1), "");
  }
}

TEST(TrimLineBreaks, RemovesBreakBytesAtOneEndOnly) {
  struct Case {
    const char* text;
    const char* leading;
    const char* trailing;
  };
  const Case kCases[] = {
      {"\r\n\nab\r\ncd\n\r", "ab\r\ncd\n\r", "\r\n\nab\r\ncd"},
      {"ab", "ab", "ab"},
      {"\r\n\r", "", ""},
      {"", "", ""},
      {" \nab\n ", " \nab\n ", " \nab\n "},  // spaces are not breaks
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(TrimLeadingLineBreaks(c.text), c.leading);
    EXPECT_EQ(TrimTrailingLineBreaks(c.text), c.trailing);
  }
}

}  // namespace
