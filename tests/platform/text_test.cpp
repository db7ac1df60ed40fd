// CString: GBK bytes kept as they are, positions clamped as the original
// framework did, and searches that never stop inside a double-byte character.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace {

// 前片 (front piece) and a character whose trail byte is '\' (0x5C).
const char kFrontPiece[] = "\xC7\xB0\xC6\xAC";
const char kTrailBackslash[] = "\x95\x5C";

struct SubCase {
  const char* what;
  CString got;
  const char* expected;
};

TEST(CStringText, MidLeftRightClampToTheText) {
  const CString s = "ABCDE";
  const SubCase kCases[] = {
      {"Mid(1,2)", s.Mid(1, 2), "BC"},
      {"Mid(3)", s.Mid(3), "DE"},
      {"Mid(-2,3)", s.Mid(-2, 3), "ABC"},
      {"Mid(4,100)", s.Mid(4, 100), "E"},
      {"Mid(5)", s.Mid(5), ""},
      {"Mid(99,1)", s.Mid(99, 1), ""},
      {"Mid(1,-1)", s.Mid(1, -1), ""},
      {"Mid(1,INT_MAX)", s.Mid(1, 0x7FFFFFFF), "BCDE"},
      {"Left(2)", s.Left(2), "AB"},
      {"Left(-1)", s.Left(-1), ""},
      {"Left(9)", s.Left(9), "ABCDE"},
      {"Right(2)", s.Right(2), "DE"},
      {"Right(0)", s.Right(0), ""},
      {"Right(-3)", s.Right(-3), ""},
      {"Right(9)", s.Right(9), "ABCDE"},
  };
  for (const SubCase& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.got, c.expected);
  }
  EXPECT_EQ(s.GetAt(-1), '\0');
  EXPECT_EQ(s.GetAt(5), '\0');
  CString t = s;
  t.SetAt(7, 'x');
  EXPECT_EQ(t, "ABCDE");
}

TEST(CStringText, FindStepsOverTrailBytes) {
  // The path "前片\片\x.dxf" with a 0x5C trail byte inside: only the real
  // separators are found.
  const CString path = CString(kFrontPiece) + "\\" + kTrailBackslash + "\\x.dxf";
  EXPECT_EQ(path.Find('\\'), 4);
  EXPECT_EQ(path.Find('\\', 5), 7);
  EXPECT_EQ(path.ReverseFind('\\'), 7);
  EXPECT_EQ(CString(kTrailBackslash).Find('\\'), -1);
  EXPECT_EQ(CString(kTrailBackslash).ReverseFind('\\'), -1);
  EXPECT_EQ(CString(kTrailBackslash).FindOneOf("\\/"), -1);
  EXPECT_EQ(path.FindOneOf("/\\"), 4);
  // A substring that starts on a trail byte is not a match.
  EXPECT_EQ(CString("\x81\x41" "A").Find("A"), 2);
  EXPECT_EQ(path.Find(".dxf"), 9);
  EXPECT_EQ(path.Find(".dxf", 10), -1);
  EXPECT_EQ(path.Find("x", -5), 8);
  EXPECT_EQ(CString("abc").Find("abcd"), -1);
}

TEST(CStringText, TrimKeepsDoubleByteCharacters) {
  CString s = " \t\r\n" + CString(kFrontPiece) + " \r\n";
  s.Trim();
  EXPECT_EQ(s, kFrontPiece);
  // A trail byte equal to a trimmed character stays with its lead byte.
  CString t = CString("xx") + "\x81x";
  t.Trim("x");
  EXPECT_EQ(t, "\x81x");
  CString u = "--name--";
  u.TrimLeft("-");
  EXPECT_EQ(u, "name--");
  u.TrimRight("-");
  EXPECT_EQ(u, "name");
  CString blank = " \t ";
  blank.Trim();
  EXPECT_TRUE(blank.IsEmpty());
}

struct CompareCase {
  const char* a;
  const char* b;
  int sign;
};

TEST(CStringText, CompareNoCaseFoldsOnlyAsciiLetters) {
  const CompareCase kCases[] = {
      {"MODEL.CTL", "model.ctl", 0},
      {"abc", "ABD", -1},
      {"abd", "ABC", 1},
      {"ab", "abc", -1},
      {"", "", 0},
      // Trail bytes 0x41 ('A') and 0x61 ('a') belong to different characters.
      {"\x81\x41", "\x81\x61", -1},
      {"\x81\x61", "\x81\x41", 1},
      {"x\x81\x41Y", "X\x81\x41y", 0},
      {"\xC7\xB0", "\xC7\xB0", 0},
  };
  for (const CompareCase& c : kCases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    const int got = CompareNoCase(c.a, c.b);
    EXPECT_EQ((got > 0) - (got < 0), c.sign);
    EXPECT_EQ(CString(c.a).CompareNoCase(c.b), got);
  }
  EXPECT_LT(CString("a").Compare("b"), 0);
  EXPECT_EQ(CString("a").Compare("a"), 0);
}

TEST(CStringText, CaseChangesLeaveTrailBytes) {
  CString s = CString("ab") + "\x81\x61" + "Z";
  s.MakeUpper();
  EXPECT_EQ(s, "AB\x81\x61Z");
  s.MakeLower();
  EXPECT_EQ(s, "ab\x81\x61z");
}

TEST(CStringText, ReplaceRemoveInsertDelete) {
  CString s = CString(kTrailBackslash) + "\\a\\";
  EXPECT_EQ(s.Replace('\\', '/'), 2);
  EXPECT_EQ(s, "\x95\x5C/a/");
  CString t = "a.dxf.dxf";
  EXPECT_EQ(t.Replace(".dxf", ".rul"), 2);
  EXPECT_EQ(t, "a.rul.rul");
  EXPECT_EQ(t.Replace("", "x"), 0);
  CString r = CString(kTrailBackslash) + "\\";
  EXPECT_EQ(r.Remove('\\'), 1);
  EXPECT_EQ(r, kTrailBackslash);
  CString i = "ac";
  EXPECT_EQ(i.Insert(1, "b"), 3);
  EXPECT_EQ(i.Insert(99, "d"), 4);
  EXPECT_EQ(i, "abcd");
  EXPECT_EQ(i.Delete(1, 2), 2);
  EXPECT_EQ(i, "ad");
  EXPECT_EQ(i.Delete(5), 2);
  EXPECT_EQ(i.Delete(0, 100), 0);
}

TEST(CStringText, FormatWritesAnyLength) {
  CString s;
  s.Format("%s%d", "piece", 7);
  EXPECT_EQ(s, "piece7");
  s.Format("%.4f", 1.5);
  EXPECT_EQ(s, "1.5000");
  const std::string long_text(1000, 'q');
  s.Format("<%s>", long_text.c_str());
  EXPECT_EQ(s.GetLength(), 1002);
  EXPECT_EQ(s.Mid(1, 1000).str(), long_text);
}

TEST(CStringText, BytesAreKeptIncludingNul) {
  const std::string bytes("a\0\xFF\xC7", 4);
  const CString s(bytes);
  EXPECT_EQ(s.GetLength(), 4);
  EXPECT_EQ(s.str(), bytes);
  EXPECT_EQ(CString("abc", 2), "ab");
  EXPECT_EQ(CString("abc", -1), "");
  EXPECT_EQ(CString('-', 3), "---");
  EXPECT_EQ(CString(static_cast<const char*>(nullptr)), "");
}

}  // namespace
