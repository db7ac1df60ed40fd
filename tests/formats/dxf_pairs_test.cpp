// The DXF pair reader: pairs in step, empty values kept, every line end, and
// damaged files reported rather than misread.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/dxf_pairs.h"
#include "tests/support/temp_text.h"

namespace {


struct Pair {
  int code;
  std::string value;
  bool operator==(const Pair& o) const { return code == o.code && value == o.value; }
};

// Reads every pair; `end` gets the status that stopped the reading.
std::vector<Pair> ReadAll(const std::string& bytes, DxfPairReader::Status& end, int* end_line = nullptr) {
  TempText file(bytes);
  DxfPairReader in;
  std::vector<Pair> pairs;
  if (!in.Open(file.Path())) {
    ADD_FAILURE() << "cannot open";
    return pairs;
  }
  while ((end = in.Next()) == DxfPairReader::Status::kPair) pairs.push_back({in.Code(), in.Value().str()});
  if (end_line) *end_line = in.CodeLine();
  EXPECT_EQ(in.Next(), end) << "a stopped reader stays stopped";
  return pairs;
}

using S = DxfPairReader::Status;

TEST(DxfPairReader, LineEndsReadAlike) {
  const std::vector<Pair> want = {{0, "SECTION"}, {2, "ENTITIES"}, {8, ""}, {0, "EOF"}};
  for (const char* eol : {"\n", "\r\n", "\r"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(eol)));
    std::string text;
    for (const char* l : {"  0", "SECTION", "  2", "ENTITIES", "8", "", "0", "EOF"}) text += std::string(l) + eol;
    S end;
    EXPECT_EQ(ReadAll(text, end), want);
    EXPECT_EQ(end, S::kEof);
  }
}

TEST(DxfPairReader, ValuesThatLookLikeCodesStayValues) {
  // A handle "8", a layer named "10" and a text "0" must not shift the pairs.
  S end;
  auto pairs = ReadAll("0\nLINE\n5\n8\n8\n10\n1\n0\n10\n1.5\n", end);
  const std::vector<Pair> want = {{0, "LINE"}, {5, "8"}, {8, "10"}, {1, "0"}, {10, "1.5"}};
  EXPECT_EQ(pairs, want);
  EXPECT_EQ(end, S::kEof);
}

TEST(DxfPairReader, DamagedFiles) {
  struct Case {
    const char* name;
    std::string text;
    size_t pairs;
    S end;
    int line;
  };
  const Case kCases[] = {
      {"empty file", "", 0, S::kEof, 0},
      {"ends after a code", "0\nLINE\n10\n", 1, S::kTruncated, 3},
      {"code with letters", "0\nLINE\n10A\n1\n", 1, S::kBadCode, 3},
      {"code with a point", "0\nLINE\n1.0\nx\n", 1, S::kBadCode, 3},
      {"blank line before data", "0\nLINE\n\n10\n1\n", 1, S::kBadCode, 3},
      {"blank padding at the end", "0\nEOF\n\n  \n", 1, S::kEof, 3},
      {"code beyond int", "99999999999\nx\n", 0, S::kBadCode, 1},
      {"binary header", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22), 0, S::kBadCode, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    S end;
    int line = -1;
    EXPECT_EQ(ReadAll(c.text, end, &line).size(), c.pairs);
    EXPECT_EQ(end, c.end);
    EXPECT_EQ(line, c.line);
  }
}

TEST(DxfPairReader, CodeLines) {
  struct Case {
    const char* text;
    bool ok;
    int code;
  };
  const Case kCases[] = {{"  0", true, 0}, {"999", true, 999}, {" 10 ", true, 10}, {"-5", true, -5},
                         {"", false, 0},   {"10A", false, 0},  {"1 0", false, 0},  {"+", false, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    int code = -1;
    EXPECT_EQ(DxfPairReader::ParseCode(c.text, code), c.ok);
    if (c.ok) {
      EXPECT_EQ(code, c.code);
    }
  }
}

TEST(DxfPairReader, EntityNamesOnlyAsCodeZero) {
  TempText file("8\nLINE\n0\n LINE \n");
  DxfPairReader in;
  ASSERT_TRUE(in.Open(file.Path()));
  ASSERT_EQ(in.Next(), S::kPair);
  EXPECT_FALSE(in.IsEntity("LINE"));
  ASSERT_EQ(in.Next(), S::kPair);
  EXPECT_TRUE(in.IsEntity("LINE"));
  EXPECT_EQ(in.Value(), " LINE ") << "the value keeps its bytes";
}

TEST(ReadTextLine, SkipsEmptyLinesAndDropsLineEnds) {
  TempText file("\r\nNUMBER OF SIZES: 3\r\n\r\n\nRULE: DELTA 1\rlast");
  TextFileReader in;
  ASSERT_TRUE(in.Open(file.Path()));
  std::vector<std::string> lines;
  CString line;
  while (ReadTextLine(in, line)) lines.push_back(line.str());
  EXPECT_EQ(lines, (std::vector<std::string>{"NUMBER OF SIZES: 3", "RULE: DELTA 1", "last"}));
}

}  // namespace
