#include "design/geometry/number_text.h"

#include <cmath>

#include <gtest/gtest.h>

TEST(TrimNumberText, DropsZerosAfterThePointOnly) {
  struct Case { const char* in; const char* out; };
  const Case kCases[] = {
      {"12.500", "12.5"}, {"12.000", "12"}, {"1200", "1200"}, {"100.", "100"},
      {"0.000000", "0"},  {"-2.000000", "-2"}, {".000", ""},   {"", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    CString text(c.in);
    TrimNumberText(text);
    EXPECT_EQ(text, c.out);
  }
}

TEST(FormatTrimmedNumber, SixDecimalsTrimmed) {
  EXPECT_EQ(FormatTrimmedNumber(0.5), "0.5");
  EXPECT_EQ(FormatTrimmedNumber(-2.0), "-2");
  EXPECT_EQ(FormatTrimmedNumber(1.0 / 3.0), "0.333333");
  EXPECT_EQ(FormatTrimmedNumber(1e-7), "0");  // below the six decimals
  EXPECT_EQ(FormatTrimmedNumber(1e20), "100000000000000000000");
  EXPECT_EQ(FormatTrimmedNumber(NAN), "nan");
}
