// The DXF and AAMA reader cores on bytes in memory: where and why a damaged
// file stops them, and a read into a style other than the process-wide one.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "formats/aama_reader.h"
#include "formats/dxf_reader.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "res/resource_ids.h"
#include "tests/model/support/model_fixture.h"

namespace {

// One 100 mm square piece FRONT of size M, drawn by GERBER, whose corner
// (0, 0) carries rule 2.
constexpr char kAamaSquare[] = R"(0
SECTION
2
HEADER
999
Author: GERBER
999
UNITS: METRIC
0
ENDSEC
0
SECTION
2
BLOCKS
0
BLOCK
8
1
2
P1
0
TEXT
8
1
10
0
20
0
1
Piece Name: FRONT
0
TEXT
8
1
10
0
20
0
1
Size: M
0
POLYLINE
8
1
66
1
70
1
0
VERTEX
8
1
10
0
20
0
0
VERTEX
8
1
10
100
20
0
0
VERTEX
8
1
10
100
20
100
0
VERTEX
8
1
10
0
20
100
0
SEQEND
0
POINT
8
2
10
0
20
0
0
TEXT
8
1
10
0
20
0
1
# 2
0
ENDBLK
0
ENDSEC
0
EOF
)";

constexpr char kThreeSizeRules[] = R"(UNITS: METRIC
NUMBER OF SIZES: 3
SIZE LIST: S M L
SAMPLE SIZE: M
RULE: DELTA 2
-1,0 0,0 1,0
END
)";

// A 50 mm square drawn as one closed polyline.
constexpr char kDxfSquare[] = R"(  0
SECTION
  2
ENTITIES
  0
POLYLINE
  8
0
 66
1
 70
1
  0
VERTEX
 10
0
 20
0
  0
VERTEX
 10
50
 20
0
  0
VERTEX
 10
50
 20
50
  0
VERTEX
 10
0
 20
50
  0
SEQEND
  0
ENDSEC
  0
EOF
)";

using ReaderCoresTest = ModelTest;

// The process-wide style before a read into another style: named, with one
// piece and one size, all of which the read must leave as they are.
struct StyleMark {
  CPieceRecord* piece;
  CSizeRecord* size;
};

StyleMark MarkProcessStyle() {
  g_Style.StyleName = "kept";
  auto* piece = new CPieceRecord;
  g_Style.AddPiece(piece);
  auto* size = new CSizeRecord(CString("S0"), 0.0, 0.0, 0, 1);
  g_Style.AddSize(size);
  return {piece, size};
}

void ExpectProcessStyleKept(const StyleMark& mark) {
  EXPECT_EQ(g_Style.StyleName, CString("kept"));
  EXPECT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(g_Style.PieceRing, mark.piece);
  EXPECT_EQ(g_Style.SizeCount, 1);
  EXPECT_EQ(g_Style.SizeRing, mark.size);
}

TEST_F(ReaderCoresTest, DamagedDxfFilesTellTheLineAndWhy) {
  struct Case {
    const char* name;
    std::string bytes;
    DxfReadResult outcome;
    UINT message;
    int line;
    const char* reason;
  };
  const Case kCases[] = {
      {"empty file", "", DxfReadResult::kRefused, IDS_NOT_ASCII_DXF, 0, "not an ASCII DXF file"},
      {"binary DXF", std::string("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0", 29), DxfReadResult::kRefused,
       IDS_NOT_ASCII_DXF, 1, "not an ASCII DXF file"},
      {"no SECTION", "  0\nEOF\n", DxfReadResult::kRefused, IDS_NOT_ASCII_DXF, 2, "not an ASCII DXF file"},
      {"code without its value", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n1.0\n 20\n", DxfReadResult::kFailed,
       IDS_FILE_DATA_ERROR, 9, "group code without a value inside LINE"},
      {"ends inside a POLYLINE", "  0\nSECTION\n  0\nPOLYLINE\n 70\n1\n  0\nVERTEX\n 10\n0\n 20\n0\n",
       DxfReadResult::kFailed, IDS_FILE_DATA_ERROR, 12, "ends inside POLYLINE"},
      {"damaged code in an ARC", "  0\nSECTION\n  0\nARC\n 10\n0\n 2O\n0\n  0\nEOF\n", DxfReadResult::kFailed,
       IDS_FILE_DATA_ERROR, 7, "bad group code line inside ARC"},
      {"blank line between entities", "  0\nSECTION\n  2\nENTITIES\n\n  0\nEOF\n", DxfReadResult::kFailed,
       IDS_FILE_DATA_ERROR, 5, "bad group code line"},
      {"text beyond all bounds", "  0\nSECTION\n  0\nTEXT\n  1\n" + std::string(size_t{5} << 20, 'x') + "\n",
       DxfReadResult::kFailed, IDS_FILE_DATA_ERROR, 6, "line too long inside TEXT"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const DxfReadReport report = ReadDxfBytes(c.bytes, g_Style, DxfReadOptions{});
    EXPECT_EQ(report.outcome, c.outcome);
    EXPECT_EQ(report.messageId, c.message);
    EXPECT_EQ(report.line, c.line);
    EXPECT_EQ(report.reason, c.reason);
    EXPECT_EQ(g_Style.PieceCount, 0);
  }
}

TEST_F(ReaderCoresTest, DamagedAamaFilesTellTheLineAndWhy) {
  // Lines 1 to 14: a GERBER header and the start of a block.
  const std::string gerberBlock =
      "0\nSECTION\n2\nHEADER\n999\nAuthor: GERBER\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n";
  struct Case {
    const char* name;
    std::string bytes;
    AamaReadResult outcome;
    UINT message;
    int line;
    const char* reason;
  };
  const Case kCases[] = {
      {"binary DXF", std::string("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0", 29), AamaReadResult::kRefused, 40007,
       1, "not an AAMA file: no SECTION"},
      {"no SECTION", "0\nEOF\n", AamaReadResult::kRefused, 40007, 2, "not an AAMA file: no SECTION"},
      {"no piece", "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n", AamaReadResult::kRefused, 40007, 8,
       "no piece found"},
      {"ends inside a POLYLINE", gerberBlock + "0\nPOLYLINE\n8\n1\n70\n1\n0\nVERTEX\n10\n0\n20\n0\n",
       AamaReadResult::kFailed, 40004, 26, "ends inside POLYLINE"},
      {"damaged code in a LINE", gerberBlock + "0\nLINE\n10\n0\n2O\n0\n0\nEOF\n", AamaReadResult::kFailed, 40004,
       19, "bad group code line inside LINE"},
      // Without a known author a file that breaks off is read up to there,
      // with the warning that it is cut short.
      {"unknown author",
       "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n0\nLINE\n10\n0\n20\n0\n11\n5\n21\n0\n0\nENDBLK\n0\nLINE\n10\n0\n",
       AamaReadResult::kSuccess, IDS_FILE_INCOMPLETE, 22, "ends inside LINE, taken as the end"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const AamaReadReport report = ReadAamaBytes(c.bytes, std::nullopt, g_Style, AamaReadOptions{});
    EXPECT_EQ(report.outcome, c.outcome);
    EXPECT_EQ(report.messageId, c.message);
    EXPECT_EQ(report.file, AamaReadReport::File::kDxf);
    EXPECT_EQ(report.line, c.line);
    EXPECT_EQ(report.reason, c.reason);
    ClearStyle();
  }
}

TEST_F(ReaderCoresTest, ARuleTablePassedOverIsNamedWithItsLine) {
  struct Case {
    const char* rules;
    int line;
    const char* reason;
  };
  const Case kCases[] = {
      {"\n\nNUMBER OF SIZES: 1\nRULE: DELTA 2\n", 3, "rule table: fewer than two sizes"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.rules);
    const AamaReadReport report = ReadAamaBytes(kAamaSquare, std::string_view(c.rules), g_Style, AamaReadOptions{});
    EXPECT_EQ(report.outcome, AamaReadResult::kSuccess);
    EXPECT_EQ(report.messageId, 0u);
    EXPECT_EQ(report.file, AamaReadReport::File::kRules);
    EXPECT_EQ(report.line, c.line);
    EXPECT_EQ(report.reason, c.reason);
    EXPECT_EQ(g_Style.PieceCount, 1);
    EXPECT_EQ(g_Style.SizeCount, 1) << "the piece stays ungraded";
    ClearStyle();
  }
}

// Every size the style holds has a name: a rule table never leaves one blank.
void ExpectEverySizeNamed() {
  const CSizeRecord* size = g_Style.SizeRing;
  for (int i = 0; i < g_Style.SizeCount && size; ++i, size = size->Next) {
    EXPECT_FALSE(size->Name.IsEmpty()) << "size " << i;
  }
}

TEST_F(ReaderCoresTest, ARuleTableThatCannotNameItsSizesOrIsCutShortFailsTheRead) {
  struct Case {
    const char* name;
    const char* rules;
    int line;
    const char* reason;
  };
  const Case kCases[] = {
      {"300 sizes, three names",
       "UNITS: METRIC\nNUMBER OF SIZES: 300\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n-1,0 0,0 1,0\n", 3,
       "rule table: size list holds 3 names for 300 sizes"},
      {"fewer names than sizes",
       "UNITS: METRIC\nNUMBER OF SIZES: 4\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n-1,0 0,0 1,0 2,0\n", 3,
       "rule table: size list holds 3 names for 4 sizes"},
      {"more names than sizes",
       "UNITS: METRIC\nNUMBER OF SIZES: 2\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n0,0 1,0\n", 3,
       "rule table: size list holds 3 names for 2 sizes"},
      {"sample size not in the list",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: XL\nRULE: DELTA 2\n-1,0 0,0 1,0\n", 4,
       "rule table: sample size XL is not in the size list"},
      {"1001 sizes", "UNITS: METRIC\nNUMBER OF SIZES: 1001\nSIZE LIST: S M L\n", 2,
       "rule table: 1001 sizes, more than 1000"},
      {"5000 sizes", "UNITS: METRIC\nNUMBER OF SIZES: 5000\n", 2, "rule table: 5000 sizes, more than 1000"},
      {"cut inside the last rule's pairs",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n-1,0 0,0 1,0\n"
       "RULE: DELTA 3\n-1,0\n   0,0\n",
       9, "rule table: ends inside the values of rule 3"},
      {"cut inside the last pair",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n-1,0 0,0 1,", 6,
       "rule table: ends inside the values of rule 2"},
      {"cut right after a rule line",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n", 5,
       "rule table: ends inside the values of rule 2"},
      // The list is used at the first rule: a sample size after it comes too late.
      {"sample size after the first rule",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nRULE: DELTA 2\n-1,0 0,0 1,0\nSAMPLE SIZE: M\n", 4,
       "rule table: no sample size"},
      // Without a rule the list is checked at the end of the file.
      {"no size list and no rule", "UNITS: METRIC\nNUMBER OF SIZES: 3\nSAMPLE SIZE: M\nEND\n", 4,
       "rule table: size list holds 0 names for 3 sizes"},
      {"short list and no rule", "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: M\nSAMPLE SIZE: M\n", 3,
       "rule table: size list holds 1 name for 3 sizes"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const AamaReadReport report = ReadAamaBytes(kAamaSquare, std::string_view(c.rules), g_Style, AamaReadOptions{});
    EXPECT_EQ(report.outcome, AamaReadResult::kFailed);
    EXPECT_EQ(report.messageId, static_cast<UINT>(40004));
    EXPECT_EQ(report.file, AamaReadReport::File::kRules);
    EXPECT_EQ(report.line, c.line);
    EXPECT_EQ(report.reason, c.reason);
    ExpectEverySizeNamed();
    ClearStyle();
  }
}

TEST_F(ReaderCoresTest, RuleTablesThatStillRead) {
  struct Case {
    const char* name;
    std::optional<std::string_view> rules;
    int sizes;
  };
  const Case kCases[] = {
      {"an unreadable pair in a whole file counts as zero",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n-1,0 x,y 1,0\nEND\n", 3},
      {"a rule short of pairs before the next one",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n-1,0\n"
       "RULE: DELTA 3\n-1,0 0,0 1,0",
       3},
      {"the last rule's pairs end the file",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n-1,0 0,0 1,0", 3},
      {"sample size before the size list",
       "UNITS: METRIC\nNUMBER OF SIZES: 3\nSAMPLE SIZE: m\nSIZE LIST: S  M L\nRULE: DELTA 2\n-1,0 0,0 1,0\n", 3},
      {"one size", "UNITS: METRIC\nNUMBER OF SIZES: 1\nSIZE LIST: S M L\n", 1},
      {"no rule file", std::nullopt, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const AamaReadReport report = ReadAamaBytes(kAamaSquare, c.rules, g_Style, AamaReadOptions{});
    EXPECT_EQ(report.outcome, AamaReadResult::kSuccess);
    EXPECT_EQ(report.messageId, 0u);
    EXPECT_EQ(g_Style.PieceCount, 1);
    EXPECT_EQ(g_Style.SizeCount, c.sizes);
    ExpectEverySizeNamed();
    ClearStyle();
  }
}

TEST_F(ReaderCoresTest, AamaReadIntoAnotherStyleLeavesTheProcessStyleAlone) {
  const StyleMark mark = MarkProcessStyle();
  CStyle other;
  const AamaReadReport report = ReadAamaBytes(kAamaSquare, std::string_view(kThreeSizeRules), other, {});
  EXPECT_EQ(report.outcome, AamaReadResult::kSuccess);
  EXPECT_EQ(report.reason, "");
  ExpectProcessStyleKept(mark);
  ASSERT_EQ(other.PieceCount, 1);
  EXPECT_EQ(other.PieceRing->PieceName, CString("FRONT"));
  ASSERT_EQ(other.SizeCount, 3);
  EXPECT_EQ(other.SizeRing->Name, CString("M"));

  // A refusal and a data error hand both styles back as well.
  EXPECT_EQ(ReadAamaBytes("0\nEOF\n", std::nullopt, other, {}).outcome, AamaReadResult::kRefused);
  ExpectProcessStyleKept(mark);
  const std::string cut = "0\nSECTION\n999\nAuthor: GERBER\n0\nSECTION\n0\nBLOCK\n0\nLINE\n10\n0\n";
  EXPECT_EQ(ReadAamaBytes(cut, std::nullopt, other, {}).outcome, AamaReadResult::kFailed);
  EXPECT_EQ(other.PieceCount, 0);
  ExpectProcessStyleKept(mark);
}

TEST_F(ReaderCoresTest, DxfReadIntoAnotherStyleLeavesTheProcessStyleAlone) {
  const StyleMark mark = MarkProcessStyle();
  CStyle other;
  other.StyleName = "replaced";
  const DxfReadReport report = ReadDxfBytes(kDxfSquare, other, DxfReadOptions{});
  EXPECT_EQ(report.outcome, DxfReadResult::kSuccess);
  EXPECT_EQ(report.messageId, 0u);
  ExpectProcessStyleKept(mark);
  ASSERT_EQ(other.PieceCount, 1);
  EXPECT_EQ(other.SizeCount, 1);
  EXPECT_EQ(other.StyleName, CString("")) << "the style read into is cleared first";

  // A refused file leaves the style read into as it was.
  EXPECT_EQ(ReadDxfBytes("  0\nEOF\n", other, DxfReadOptions{}).outcome, DxfReadResult::kRefused);
  EXPECT_EQ(other.PieceCount, 1);
  ExpectProcessStyleKept(mark);
}

}  // namespace
