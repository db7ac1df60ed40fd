#include "formats/dxf_output.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "model/piece_record.h"
#include "model/vertex_node.h"

namespace {

// The lines of a CR LF text; fails the test on a bare LF or a missing end.
std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text does not end in CR LF";
      break;
    }
    std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF in " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

using Lines = std::vector<std::string>;

TEST(DxfOutputTest, EntityWritersPinTheirGroupCodeSpacing) {
  struct Case {
    const char* name;
    void (*write)(DxfOutput&);
    Lines expected;
  };
  const Case kCases[] = {
      {"point", [](DxfOutput& o) { WriteDxfPoint(o, 2, 1.5f, 2.25f); },
       {"  0", "POINT", "  8", "2", " 10", "1.5000", " 20", "2.2500"}},
      {"vertex", [](DxfOutput& o) { WriteDxfVertex(o, 11, -3.0f, 0.125f); },
       {"  0", "VERTEX", "  8", "11", " 10", "-3.0000", " 20", "0.1250"}},
      {"line", [](DxfOutput& o) { WriteDxfLine(o, 11, 0.0f, 1.0f, 2.5f, -4.0f); },
       {"  0", "LINE", "  8", "11", " 10", "0.0000", " 20", "1.0000", " 11", "2.5000", " 21", "-4.0000"}},
      {"numbered text",
       [](DxfOutput& o) {
         int n = 17;
         WriteDxfTextEntity(o, &n, -3, 1.0f, 2.0f, 0.5f);
       },
       {" 0", "TEXT", " 8", "-3", "  10", "1.0000", "  20", "2.0000", "  40", "0.5000", "  1", "# 17", "  7",
        "STANDARD"}},
      {"text", [](DxfOutput& o) { WriteDxfText(o, 7, 10.0f, 20.0f, 3.0f, "PIECE NAME: A", 0); },
       {"  0", "TEXT", "  8", "1", " 10", "10.0000", " 20", "20.0000", " 40", "3.0000", " 50", "0.0000", "  1",
        "PIECE NAME: A", "  7", "STANDARD"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DxfOutput out;
    c.write(out);
    EXPECT_EQ(CrLfLines(out.Text()), c.expected);
  }
}

TEST(DxfOutputTest, TextLosesLineBreaksAndOptionallyItsHighBits) {
  struct Case {
    std::string in;
    int strip;
    std::string line;
  };
  const Case kCases[] = {
      {"AB\r\n", 0, "AB"},
      {"A\rB\nC", 0, "ABC"},
      {"", 0, ""},
      {"\xC4\xE3", 1, "Dc"},
      {"\xC4\xE3", 0, "\xC4\xE3"},
      {"\xC4\xE3", 2, "\xC4\xE3"},
      // No DXF line carries a zero byte, nor the CR and LF that stripping
      // makes of 0x8D and 0x8A (the trail bytes of 實 8C 8D and 鐘 E7 8A).
      {"\x80\xFF\x7F", 1, "\x7F\x7F"},
      {std::string("A\0B\r\nC", 6), 0, "ABC"},
      {"\xE7\x8A\x8C\x8D", 1, "g\x0C"},
      {"\xE7\x8A\x8C\x8D", 0, "\xE7\x8A\x8C\x8D"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    DxfOutput out;
    WriteDxfText(out, 1, 0.0f, 0.0f, 1.0f, CString(c.in), c.strip);
    Lines lines = CrLfLines(out.Text());
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[12], "  1");
    EXPECT_EQ(lines[13], c.line);
    EXPECT_EQ(lines[14], "  7");
  }
}

TEST(DxfOutputTest, StripHighBitKeepsLengthAndLowBytes) {
  CString text(std::string("a\xB0\x01\xFF", 4));
  CString stripped = StripHighBit(text);
  ASSERT_EQ(stripped.GetLength(), 4);
  EXPECT_EQ(stripped.str(), std::string("a\x30\x01\x7F", 4));
  EXPECT_EQ(text.str(), std::string("a\xB0\x01\xFF", 4));  // the argument is a copy
}

TEST(DxfOutputTest, NumbersUseFloatPrecisionAPointAndNeverNanOrInf) {
  struct Case {
    float in;
    const char* out;
  };
  const Case kCases[] = {
      {1.5f, "1.5000"},
      {-0.00004f, "-0.0000"},
      {0.1f, "0.1000"},
      {123456.789f, "123456.7891"},  // float precision shows through
      {std::numeric_limits<float>::quiet_NaN(), "0.0000"},
      {std::numeric_limits<float>::infinity(), "0.0000"},
      {-std::numeric_limits<float>::infinity(), "0.0000"},
  };
  // A decimal-comma locale must not leak into the file.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.out);
    EXPECT_EQ(FormatDxfNumber(c.in), c.out);
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(DxfOutputTest, ModelPointsRelativeToOffsetsOriginAndBox) {
  CPieceRecord piece;
  piece.OriginX = 1000;
  piece.OriginY = 200;
  piece.BoxMinX = 4000;
  piece.BoxMinY = -800;
  CVertexNode node;
  node.X = 4000;
  node.Y = -800;
  float x = -1, y = -1;

  ModelToDxfPoint(1, &x, &y, &node, &piece, 400, 0, 40.0);
  EXPECT_FLOAT_EQ(x, 110.0f);
  EXPECT_FLOAT_EQ(y, -20.0f);
  ModelToDxfPoint(0, &x, &y, &node, &piece, 400, 0, 40.0);
  EXPECT_FLOAT_EQ(x, 85.0f);
  EXPECT_FLOAT_EQ(y, -25.0f);
  ModelToAamaPoint(&x, &y, &node, &piece, 40.0);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, 0.0f);

  // Offsets beyond 32 bits (many wide pieces side by side) are kept whole.
  ModelToDxfPoint(1, &x, &y, &node, &piece, int64_t{1} << 33, -(int64_t{1} << 32), 40.0);
  EXPECT_FLOAT_EQ(x, static_cast<float>((4000.0 + 8589934592.0) / 40.0));
  EXPECT_FLOAT_EQ(y, static_cast<float>((-800.0 - 4294967296.0) / 40.0));

  // Sums beyond 32 bits and a zero divisor stay finite and never overflow.
  node.X = 0x7FFFFFFF;
  piece.OriginX = -0x7FFFFFFF;
  ModelToDxfPoint(0, &x, &y, &node, &piece, 0x7FFFFFFF, 0, 1.0);
  EXPECT_FLOAT_EQ(x, 3.0f * 2147483647.0f);
  ModelToDxfPoint(1, &x, &y, &node, &piece, 0, 0, 0.0);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, 0.0f);
  ModelToAamaPoint(&x, &y, &node, &piece, 0.0);
  EXPECT_TRUE(std::isfinite(x) && std::isfinite(y));
}

// Integers are plain "%d" text at either end of the range; Append adds bytes
// to the line being built, which Line then ends.
TEST(DxfOutputTest, IntegersAndLinesBuiltInPieces) {
  DxfOutput out;
  out.Integer(std::numeric_limits<int>::min());
  out.Integer(0);
  out.Integer(-3);
  out.Integer(std::numeric_limits<int>::max());
  out.Append("RULE: ");
  out.Append("");
  out.Append("DELTA");
  out.Line(" 2");
  WriteDxfTextEntity(out, nullptr, 4, 0.0f, 0.0f, 1.0f);
  int number = std::numeric_limits<int>::min();
  WriteDxfTextEntity(out, &number, 4, 0.0f, 0.0f, 1.0f);
  const Lines lines = CrLfLines(out.Text());
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5), Lines({"-2147483648", "0", "-3", "2147483647", "RULE: DELTA 2"}));
  EXPECT_EQ(lines[5 + 11], "# 0");
  EXPECT_EQ(lines[5 + 14 + 11], "# -2147483648");
}

TEST(DxfOutputTest, SinkGetsEverythingOnceAndAFailureIsRemembered) {
  std::string received;
  int calls = 0;
  bool accept = true;
  DxfOutput out([&](const char* data, size_t count) {
    ++calls;
    if (!accept) return false;
    received.append(data, count);
    return true;
  });
  DxfOutput memory;
  for (int i = 0; i < 20000; ++i) {
    WriteDxfPoint(out, 2, static_cast<float>(i), 0.0f);
    WriteDxfPoint(memory, 2, static_cast<float>(i), 0.0f);
  }
  EXPECT_TRUE(out.Flush());
  EXPECT_GT(calls, 1);  // handed over in blocks, not all at the end
  EXPECT_EQ(received, memory.Text());
  EXPECT_TRUE(out.Text().empty());

  accept = false;
  out.Line("  0");
  EXPECT_FALSE(out.Flush());
  EXPECT_TRUE(out.Failed());
  accept = true;
  const size_t before = received.size();
  out.Line("EOF");
  EXPECT_FALSE(out.Flush());  // still failed: a file with a hole is no file
  EXPECT_EQ(received.size(), before);
}

}  // namespace

#include "platform/binary_file.h"
#include "tests/support/dxf_audit.h"
#include "tests/support/temp_folder.h"

namespace {

// The outside reader the writers' tests rely on: it must accept a small file
// of our entities and refuse a damaged one, or its approval means nothing.
TEST(DxfOutputTest, OutsideAuditAcceptsOurEntitiesAndRefusesDamage) {
  TempFolder folder("zv_dxf_output");
  const std::string good = folder / "good.dxf";
  {
    AtomicFileWriter file;
    ASSERT_TRUE(file.Open(CString(good)));
    DxfOutput out(file);
    for (const char* line : {"  0", "SECTION", "  2", "ENTITIES"}) out.Line(line);
    WriteDxfPoint(out, 2, 1.5f, 2.25f);
    WriteDxfLine(out, 11, 0.0f, 0.0f, 10.0f, 0.0f);
    WriteDxfText(out, 1, 1.0f, 1.0f, 3.0f, "CATEGORY: \xC7\xB0", 0);
    for (const char* line : {"  0", "ENDSEC", "  0", "EOF"}) out.Line(line);
    ASSERT_TRUE(out.Flush());
    ASSERT_TRUE(file.Commit());
  }
  DxfAuditResult audit = AuditDxfWithEzdxf(good);
  if (audit.skipped) GTEST_SKIP() << audit.message;
  EXPECT_TRUE(audit.ok) << audit.message;

  const std::string bad = folder / "bad.dxf";
  folder.AddFile("bad.dxf", "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n  8\r\n11\r\n 10\r\nnot a number\r\n");
  audit = AuditDxfWithEzdxf(bad);
  EXPECT_FALSE(audit.ok) << audit.message;
  EXPECT_FALSE(audit.message.empty());
}

}  // namespace
