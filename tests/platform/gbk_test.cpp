#include "platform/gbk.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kFrontPieceGbk = "\xC7\xB0\xC6\xAC";  // 前片, the front piece
const std::string kReplacement = "\xEF\xBF\xBD";       // U+FFFD

TEST(GbkTest, ChineseTextRoundTrips) {
  EXPECT_EQ(GbkToUtf8(kFrontPieceGbk), "前片");
  EXPECT_EQ(Utf8ToGbk("前片"), kFrontPieceGbk);
  EXPECT_EQ(Utf8ToGbk(GbkToUtf8("PIECE NAME: " + kFrontPieceGbk + "\r\n")), "PIECE NAME: " + kFrontPieceGbk + "\r\n");
}

TEST(GbkTest, AsciiAndEmbeddedZerosPassUnchanged) {
  const std::string ascii("  0\nSECTION\r\n\t~\x7F", 17);
  EXPECT_EQ(GbkToUtf8(ascii), ascii);
  EXPECT_EQ(Utf8ToGbk(ascii), ascii);
  const std::string with_zero("a\0" "\xC7\xB0", 4);
  EXPECT_EQ(GbkToUtf8(with_zero), std::string("a\0", 2) + "前");
  EXPECT_EQ(GbkToUtf8(""), "");
  EXPECT_EQ(Utf8ToGbk(""), "");
}

TEST(GbkTest, BadGbkBytesBecomeReplacementCharacters) {
  struct Case {
    const char* name;
    std::string gbk;
    std::string utf8;
  };
  const Case kCases[] = {
      {"lone lead byte at the end", "AB\xC7", "AB" + kReplacement},
      {"lone lead byte only", "\xC7", kReplacement},
      {"character then lone lead byte", kFrontPieceGbk + "\xB0", "前片" + kReplacement},
      {"byte 0xFF", "a\xFF" "b", "a" + kReplacement + "b"},
      {"lead byte before a control byte keeps the control byte", "\xC7\n", kReplacement + "\n"},
      {"lead byte before 0xFF", "\xC7\xFF" "x", kReplacement + kReplacement + "x"},
      {"good text after bad bytes", "\xFF\xFF" + kFrontPieceGbk, kReplacement + kReplacement + "前片"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
  }
}

TEST(GbkTest, UnencodableOrMalformedUtf8BecomesQuestionMarks) {
  struct Case {
    const char* name;
    std::string utf8;
    std::string gbk;
  };
  const Case kCases[] = {
      {"character outside GBK", "a\xF0\x9F\x98\x80" "b", "a?b"},            // an emoji
      {"Hangul outside GBK", "\xED\x95\x9C", "?"},                           // 한
      {"stray continuation byte", "\x80" "前片", "?" + kFrontPieceGbk},
      {"truncated sequence at the end", "x\xE5\x89", "x??"},
      {"encoded surrogate", "\xED\xA0\x80", "???"},
      {"overlong slash", "\xC0\xAF", "??"},
      {"mixed", "前\xFF片", "\xC7\xB0?\xC6\xAC"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
  }
}

TEST(GbkTest, EveryByteStringDecodesWithoutHarm) {
  // All pairs of bytes, and each byte alone, decode to valid UTF-8 that
  // encodes back to something no longer than twice the input.
  std::string all;
  for (int a = 0; a < 256; ++a) {
    std::string one(1, static_cast<char>(a));
    EXPECT_FALSE(GbkToUtf8(one).empty());
    for (int b = 0; b < 256; b += 7) {
      all += static_cast<char>(a);
      all += static_cast<char>(b);
    }
  }
  std::string utf8 = GbkToUtf8(all);
  EXPECT_LE(Utf8ToGbk(utf8).size(), all.size());
  EXPECT_EQ(Utf8ToGbk(utf8).find('\xFF'), std::string::npos);
}

}  // namespace
