#include "formats/aama_rul_writer.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "formats/dxf_output.h"
#include "model/item_factory.h"
#include "model/length_text.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/numbers.h"
#include "tests/support/clean_style.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_data.h"

namespace {

constexpr time_t kFeb3rd2001 = 981173106;  // 02-03-2001 04:05:06 UTC

int32_t FloatWord(float value) { return std::bit_cast<int32_t>(value); }

class AamaRulWriterTest : public CleanStyleTest {
 protected:
  // Sizes appended to the ring in this order with these sort keys.
  static void AddSizes(const std::vector<std::pair<const char*, double>>& sizes) {
    for (const auto& [name, key] : sizes) g_Style.AddSize(new CSizeRecord(name, key, 0, 0, 1));
    g_Style.SortSizes();
  }

  // A main vertex of `kind` carrying rule `number`, with one copy per further
  // size of the ring at the given offsets from it.
  static CVertexNode* AddVertex(CPieceItem* item, int x, int y, int kind, float number,
                                const std::vector<std::pair<int, int>>& offsets) {
    CVertexNode* main = item->AddTailVertex(x, y, static_cast<uint32_t>(kind));
    main->Value = FloatWord(number);
    for (const auto& [dx, dy] : offsets) item->AddTailVertex(x + dx, y + dy, kVertexKindCopy);
    return main;
  }

  static CPieceRecord* AddPiece(const char* name) {
    auto* piece = new CPieceRecord;
    piece->PieceName = name;
    g_Style.AddPiece(piece);
    return piece;
  }

  static AamaRuleSource AllPieces(bool gradePoints) {
    AamaRuleSource source;
    source.ring = g_Style.PieceRing;
    source.count = g_Style.PieceCount;
    source.gradePoints = gradePoints;
    source.tableName = "T";
    source.when = kFeb3rd2001;
    return source;
  }

  // The lines of a rule: its "RULE: DELTA" line and the lines of pairs after it.
  static std::string RuleOf(const std::string& text, int number) {
    const std::string head = "RULE: DELTA " + std::to_string(number) + "\r\n";
    const size_t at = text.find(head);
    if (at == std::string::npos) return "";
    size_t end = text.find("RULE:", at + head.size());
    if (end == std::string::npos) end = text.find("END\r\n", at);
    return text.substr(at, end - at);
  }
};

// Five sizes, the base (first of the ring) third in sorted order; pairs in
// sorted order, four to a line; a copy 30 units right of and 60 units below
// its vertex (at 40 units per millimetre) gives 0.75 and -1.50.
TEST_F(AamaRulWriterTest, FiveSizesWithTheBaseThird) {
  AddSizes({{"M", 3}, {"XS", 1}, {"S", 2}, {"L", 4}, {"XL", 5}});
  CPieceRecord* piece = AddPiece("FRONT");
  std::unique_ptr<CPieceItem> ownedOutline = CreatePieceItem(0);
  CPieceItem* outline = ownedOutline.get();
  // Copies in ring order: XS, S, L, XL.
  CVertexNode* a = AddVertex(outline, 0, 0, 0, 2.0f, {{-80, -40}, {-40, -20}, {30, 60}, {60, 120}});
  CVertexNode* b = AddVertex(outline, 400, 0, 1, 0.5f, {{0, 0}, {0, 0}, {0, 0}, {0, 0}});
  CVertexNode* c = AddVertex(outline, 400, 400, 3, 3.0f, {{0, 0}, {0, 0}, {0, 0}, {0, 0}});
  AddVertex(outline, 0, 400, 2, 0.0f, {{0, 0}, {0, 0}, {0, 0}, {0, 0}});
  piece->AddItem(ownedOutline.release());
  std::unique_ptr<CPieceItem> ownedNotches = CreatePieceItem(13);
  CPieceItem* notches = ownedNotches.get();
  CVertexNode* notch = AddVertex(notches, 200, 0, 0, 4.0f, {{8, 4}, {8, 4}, {8, 4}, {8, 4}});
  CVertexNode* end = AddVertex(notches, 200, 200, 1, 9.0f, {{8, 4}, {8, 4}, {8, 4}, {8, 4}});
  notches->AddTailVertex(80, 0, kVertexKindFixedSingle);
  notches->AddTailVertex(200, 0, kVertexKindMovedSingle);
  piece->AddItem(ownedNotches.release());

  AamaRuleSource source = AllPieces(true);
  source.tableName = AamaRuleTableName("/work/my-style 1.dxf");
  EXPECT_EQ(BuildAamaRuleText(source), ReadFile(TestDataPath("aama_five_sizes.rul")));

  // Each number is written once: the candidates are cleared, written or not;
  // the notch's end vertex is no candidate and keeps its number.
  EXPECT_EQ(a->Value, 0);
  EXPECT_EQ(b->Value, 0);
  EXPECT_EQ(c->Value, 0);
  EXPECT_EQ(notch->Value, 0);
  EXPECT_EQ(end->Value, FloatWord(9.0f));
  const std::string again = BuildAamaRuleText(source);
  EXPECT_EQ(again.find("RULE: DELTA 2"), std::string::npos);
  EXPECT_NE(again.find("RULE: DELTA 1\r\n"), std::string::npos);
}

TEST_F(AamaRulWriterTest, TableNameAndPath) {
  struct Case {
    const char* dxf;
    const char* rul;
    const char* table;
  };
  const Case kCases[] = {
      {"/work/my-style 1.dxf", "/work/my-style 1.rul", "myTstyleG1"},
      {"/work/style.DXF", "/work/style.rul", "style"},
      {"/a/b", "/a/b.rul", "b"},
      {"/a.b/c.d.aam", "/a.b/c.d.rul", "cUd"},
      {"/a/ x y .dxf", "/a/ x y .rul", "xGy"},
      {"rel.dxf", "rel.rul", "rel"},
      // GBK bytes are no letters: C7 B0 C6 AC (the piece name "front piece").
      {"/a/\xC7\xB0\xC6\xAC.dxf", "/a/\xC7\xB0\xC6\xAC.rul", "RUQQ"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.dxf);
    EXPECT_EQ(AamaRuleFilePath(c.dxf), c.rul);
    EXPECT_EQ(AamaRuleTableName(c.dxf), c.table);
  }
}

TEST_F(AamaRulWriterTest, WhichVerticesGetARule) {
  struct Case {
    int type;
    int kind;
    bool gradePoints;
    bool written;
  };
  const Case kCases[] = {
      {0, 0, false, true},   {0, 3, false, true},   {0, 1, false, false}, {0, 1, true, true},
      {0, 2, true, true},    {8, 0, false, true},   {9, 2, false, false}, {9, 2, true, true},
      {12, 3, false, true},  {21, 0, false, true},  {13, 0, false, true}, {13, 3, false, true},
      {18, 1, true, false},  {23, 0, false, true},  {1, 0, false, true},  {2, 5, false, true},
      {3, 2, false, true},   {10, 0, false, true},  {25, 1, false, true}, {11, 0, false, false},
      {14, 0, false, false}, {26, 0, false, false}, {0, 100, true, false},
      // A notch vertex of kind 3 is numbered and labelled in the DXF file
      // like one of kind 0, so its rule is written too.
      {18, 3, false, true},  {23, 1, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " kind " << c.kind << " grade points " << c.gradePoints);
    ClearStyle();
    AddSizes({{"M", 1}, {"L", 2}});
    CPieceRecord* piece = AddPiece("P");
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(c.type);
    CPieceItem* item = ownedItem.get();
    ASSERT_NE(item, nullptr);
    CVertexNode* v = AddVertex(item, 0, 0, c.kind, 7.0f, {{4, 0}});
    piece->AddItem(ownedItem.release());
    const std::string text = BuildAamaRuleText(AllPieces(c.gradePoints));
    EXPECT_EQ(RuleOf(text, 7) == "RULE: DELTA 7\r\n   0.00,   0.00   0.10,   0.00\r\n", c.written) << text;
    EXPECT_EQ(v->Value == 0, c.written);
  }
}

TEST_F(AamaRulWriterTest, DeltasAreInTheUnitTheTableNames) {
  struct Case {
    int unitMode;
    bool english;
    int dx;
    const char* pair;
  };
  // 254 units at 40 per millimetre are 6.35 mm, a quarter inch.
  const Case kCases[] = {
      {3, false, 30, "   0.75,   0.00"},  {2, false, 30, "   0.75,   0.00"}, {4, false, 30, "   0.75,   0.00"},
      {1, true, 254, "   0.25,   0.00"},  {0, true, 254, "   0.25,   0.00"}, {3, false, -2, "   -0.05,   0.00"},
      {3, false, 1, "   0.03,   0.00"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.unitMode << " dx " << c.dx);
    ClearStyle();
    g_UnitMode = c.unitMode;
    AddSizes({{"M", 1}, {"L", 2}});
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(0);
    CPieceItem* item = ownedItem.get();
    AddVertex(item, 0, 0, 0, 2.0f, {{c.dx, 0}});
    AddPiece("P")->AddItem(ownedItem.release());
    AamaRuleSource source = AllPieces(false);
    source.english = c.english;
    const std::string text = BuildAamaRuleText(source);
    EXPECT_NE(text.find(c.english ? "UNITS: ENGLISH\r\n" : "UNITS: METRIC\r\n"), std::string::npos);
    EXPECT_EQ(RuleOf(text, 2), "RULE: DELTA 2\r\n   0.00,   0.00" + std::string(c.pair) + "\r\n");
  }
}

// A vertex without its copies (a damaged or ungraded ring) stands still in
// every size instead of taking its neighbour's place.
TEST_F(AamaRulWriterTest, AVertexWithoutCopiesHasZeroDeltas) {
  AddSizes({{"M", 1}, {"L", 2}, {"XL", 3}});
  std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(2);
  CPieceItem* item = ownedItem.get();
  AddVertex(item, 0, 0, 0, 2.0f, {});
  AddVertex(item, 400, 0, 0, 3.0f, {{40, 0}, {80, 0}});
  AddPiece("P")->AddItem(ownedItem.release());
  const std::string text = BuildAamaRuleText(AllPieces(false));
  EXPECT_EQ(RuleOf(text, 2), "RULE: DELTA 2\r\n   0.00,   0.00   0.00,   0.00   0.00,   0.00\r\n");
  EXPECT_EQ(RuleOf(text, 3), "RULE: DELTA 3\r\n   0.00,   0.00   1.00,   0.00   2.00,   0.00\r\n");
}

// The deltas are the two-place length text read back and printed "%4.2f",
// for every unit and scale: a table far past the sink's block size, written
// through a sink that takes small blocks, is the table built whole, and both
// hold the texts of that round trip.
TEST_F(AamaRulWriterTest, StreamedTableMatchesTheLengthTextRoundTrip) {
  struct Case {
    int scale;
    bool english;
  };
  const Case kCases[] = {{40, false}, {40, true}, {1, false}, {7, true}, {254, false}, {1000, true}, {0, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << (c.english ? " inch" : " mm"));
    ClearStyle();
    g_Style.SetScale(c.scale);
    AddSizes({{"M", 1}, {"L", 2}});
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(2);
    CPieceItem* item = ownedItem.get();
    std::vector<CVertexNode*> vertices;
    std::vector<int> deltas;
    for (int i = 0; i < 6000; ++i) {
      const int dx = (i * 7919 % 200003 - 100001) * (i % 3 == 0 ? 1 : 13);
      const int dy = i % 5 == 0 ? -(i % 41) : i * 31;
      vertices.push_back(AddVertex(item, i, -i, 0, static_cast<float>(i + 2), {{dx, -dy}}));
      deltas.push_back(dx);
      deltas.push_back(dy);
    }
    AddPiece("P")->AddItem(ownedItem.release());
    AamaRuleSource source = AllPieces(false);
    source.english = c.english;

    std::string expected;
    {
      const std::string whole = BuildAamaRuleText(source);
      for (size_t i = 0; i < vertices.size(); ++i) vertices[i]->Value = FloatWord(static_cast<float>(i + 2));
      expected = whole;
    }
    std::string streamed;
    size_t blocks = 0;
    DxfOutput out([&](const char* data, size_t count) {
      ++blocks;
      streamed.append(data, count);
      return true;
    });
    WriteAamaRuleText(source, out);
    ASSERT_TRUE(out.Flush());
    EXPECT_GT(blocks, 1u);
    EXPECT_EQ(streamed, expected);

    auto roundTrip = [&](int delta) {
      const CString text = FormatLength(delta, c.scale, c.english ? 1 : 3, 100);
      return FormatNumberText("%4.2f", ParseDouble(text.view()));
    };
    for (size_t i = 0; i < vertices.size(); i += 97) {
      const std::string pair = "   0.00,   0.00   " + roundTrip(deltas[2 * i]) + ",   " + roundTrip(deltas[2 * i + 1]);
      EXPECT_EQ(RuleOf(expected, static_cast<int>(i + 2)),
                "RULE: DELTA " + std::to_string(i + 2) + "\r\n" + pair + "\r\n");
    }
  }
  g_Style.SetScale(kDefaultScale);
}

// A sink that fails stops the table: Flush reports it, and nothing more is
// handed over after the first refusal.
TEST_F(AamaRulWriterTest, AFailingSinkIsReported) {
  AddSizes({{"M", 1}, {"L", 2}});
  std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(2);
  for (int i = 0; i < 5000; ++i) AddVertex(ownedItem.get(), i, 0, 0, static_cast<float>(i + 2), {{i, i}});
  AddPiece("P")->AddItem(ownedItem.release());
  int calls = 0;
  DxfOutput out([&](const char*, size_t) {
    ++calls;
    return false;
  });
  WriteAamaRuleText(AllPieces(false), out);
  EXPECT_FALSE(out.Flush());
  EXPECT_TRUE(out.Failed());
  EXPECT_EQ(calls, 1);
}

}  // namespace
