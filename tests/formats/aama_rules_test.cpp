#include "formats/aama_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/aama_piece.h"
#include "model/items/internal_line_items.h"
#include "model/items/outline_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class AamaRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStyle();
  }
  void TearDown() override {
    ClearStyle();
  }

  std::string Write(const std::string& name, const std::string& text) {
    return folder_.AddFile(name, text);
  }

  // A piece named `name` for size `size` with a square outline at `offset`;
  // the outline's vertices carry rule numbers 1 .. 4.
  static CPieceRecord* AddSquarePiece(const char* name, const char* size, int offset = 0) {
    auto* piece = new CPieceRecord;
    piece->PieceName = name;
    piece->Annotation = size;
    auto* outline = new CPieceItem0(nullptr, nullptr);
    const int pts[4][2] = {{0, 0}, {400, 0}, {400, 400}, {0, 400}};
    for (int i = 0; i < 4; ++i) {
      CVertexNode* n = outline->AddTailVertex(pts[i][0] + offset, pts[i][1] + offset, 0);
      n->Attributes = static_cast<uint32_t>(i + 1);
    }
    piece->AddItem(outline);
    g_Style.AddPiece(piece);
    return piece;
  }

  static void AddBaseSize() { g_Style.AddSize(new CSizeRecord(CString(), 0, 0, 0, 1)); }

  // The positions after the outline's first main vertex: the vertex and its copies.
  static std::vector<std::pair<int, int>> FirstRun(const CPieceRecord* piece) {
    CPieceItem* outline = nullptr;
    std::vector<std::pair<int, int>> run;
    if (!piece->FindItem(0, &outline)) return run;
    CVertexNode* n = outline->VertexHead;
    run.emplace_back(n->X, n->Y);
    for (n = n->Next; n != outline->VertexHead && n->Kind() == kVertexKindCopy; n = n->Next) run.emplace_back(n->X, n->Y);
    return run;
  }

  TempFolder folder_{"zv_rules"};
};

const char kFiveSizes[] =
    "ANSI/AAMA VERSION: 1.0.0\n"
    "UNITS: METRIC\n"
    "NUMBER OF SIZES: 5\n"
    "SIZE LIST:  XS S M L XL\n"
    "SAMPLE SIZE: M\n"
    "RULE: DELTA 1\n"
    "   -2.0,   1.0   -1.0,   0.5   0.00,   0.00   1.0,   -0.5\n"
    "   2.0,   -1.0\n"
    "END\n";

TEST_F(AamaRulesTest, FiveSizesWithSampleMGradeEachPointByItsRule) {
  AddBaseSize();
  CPieceRecord* piece = AddSquarePiece("FRONT", "");
  const std::string path = Write("style.rul", kFiveSizes);
  double scale = 1.0;
  int author = 0;
  CAamaRuleTable table;
  ASSERT_EQ(table.Read(path.c_str(), scale, "1.0", author, 0, false), CAamaRuleTable::Result::kRead);
  EXPECT_DOUBLE_EQ(scale, 40.0);  // millimetres at 40 units each
  EXPECT_EQ(table.SamplePosition(), 2);

  // Sizes in ring order M, XS, S, L, XL with their places around M.
  struct SizeCase {
    const char* name;
    double key;
  };
  const SizeCase kSizes[] = {{"M", 0}, {"XS", -2}, {"S", -1}, {"L", 1}, {"XL", 2}};
  ASSERT_EQ(g_Style.SizeCount, 5);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const CSizeRecord* size = g_Style.SizeAt(i);
    EXPECT_EQ(size->Name, kSizes[i].name);
    EXPECT_EQ(size->SortKey1, kSizes[i].key);
  }
  ASSERT_EQ(g_Style.SizeArray.size(), 5u);
  EXPECT_EQ(g_Style.SizeArray[0]->Name, "XS");
  EXPECT_EQ(g_Style.SizeArray[4]->Name, "XL");

  GradeAamaPieces(table, 0, 0);
  // Rule 1 on the vertex at (0, 0): copies for XS, S, L, XL in ring order, in
  // model units with y turned downwards.
  const std::vector<std::pair<int, int>> expected = {{0, 0}, {-80, -40}, {-40, -20}, {40, 20}, {80, 40}};
  EXPECT_EQ(FirstRun(piece), expected);
  // Vertices whose rules the file does not hold keep their place in every size.
  CPieceItem* outline = nullptr;
  ASSERT_TRUE(piece->FindItem(0, &outline));
  CVertexNode* second = outline->NextMainVertex(outline->VertexHead);
  for (CVertexNode* n = second->Next; n->Kind() == kVertexKindCopy; n = n->Next) {
    EXPECT_EQ(n->X, 400);
    EXPECT_EQ(n->Y, 0);
    EXPECT_EQ(n->Attributes & 0xFFFF, 0u);
  }
}

TEST_F(AamaRulesTest, GradeReferenceLineTurnsTheDeltasUnlessZorvekWroteTheFile) {
  struct Case {
    int author;
    std::pair<int, int> copy;
  };
  const Case kCases[] = {{0, {0, 10}}, {5, {0, 10}}, {kAamaAuthorZorvek, {10, 0}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.author);
    ClearStyle();
    AddBaseSize();
    CPieceRecord* piece = AddSquarePiece("FRONT", "");
    // A grade reference line pointing straight down the model's y axis: 90 degrees.
    auto* reference = new CPieceItem9(nullptr, nullptr);
    reference->Tag = static_cast<int32_t>(kAamaGradeReferenceAttribute);
    reference->AddTailVertex(100, 100, 0);
    reference->AddTailVertex(100, 300, 0);
    piece->AddItem(reference);
    const std::string path = Write("turn.rul",
                                   "UNITS: METRIC\nNUMBER OF SIZES: 2\nSIZE LIST: M L\nSAMPLE SIZE: M\n"
                                   "RULE: DELTA 1\n0,0 10,0\n");
    double scale = 1.0;
    int author = c.author;
    CAamaRuleTable table;
    ASSERT_EQ(table.Read(path.c_str(), scale, "0.025", author, 0, false), CAamaRuleTable::Result::kRead);
    GradeAamaPieces(table, 0, author);
    const std::vector<std::pair<int, int>> run = FirstRun(piece);
    ASSERT_EQ(run.size(), 2u);
    EXPECT_EQ(run[1], c.copy);
    if (c.author != kAamaAuthorZorvek) {
      EXPECT_EQ(reference->Tag, 0);
    }
  }
}

TEST_F(AamaRulesTest, RuleNumbersAndValuesThatDoNotReadAsWritten) {
  struct Case {
    const char* name;
    const char* rules;  // after the header of two sizes M and L
    int rule;           // looked up for size L (list position 1)
    std::pair<int, int> delta;
  };
  const Case kCases[] = {
      {"negative number", "RULE: DELTA -7\n0,0 1,2\n", 7, {1, -2}},
      {"above 65535 is no rule", "RULE: DELTA 65536\n0,0 1,2\n", 0, {0, 0}},
      {"65535 is the last", "RULE: DELTA 65535\n0,0 3,4\n", 65535, {3, -4}},
      {"fewer pairs count as zero", "RULE: DELTA 3\n5,6\nRULE: DELTA 4\n7,8 9,10\n", 3, {0, 0}},
      {"the next rule is not read into a short one", "RULE: DELTA 3\n5,6\nRULE: DELTA 4\n7,8 9,10\n", 4, {9, -10}},
      {"pairs over several lines", "RULE: DELTA 2\n   0.00,\n   0.00   1.5, -2.5\n", 2, {1, 2}},
      {"an unreadable pair is zero", "RULE: DELTA 2\n0,0 x,y\n", 2, {0, 0}},
      {"above 1000 counts as zero", "RULE: DELTA 2\n0,0 1200.5,3\n", 2, {0, -3}},
      {"a huge number stays in range", "RULE: DELTA 2\n0,0 1e30,-1e30\n", 2, {0, 0}},
      {"no number is rule 0", "RULE: DELTA\n0,0 6,0\n", 0, {6, 0}},
      {"END ends the values", "RULE: DELTA 2\n0,0\nEND\n1,1\n", 2, {0, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ClearStyle();
    AddBaseSize();
    const std::string path =
        Write("r.rul", std::string("UNITS: METRIC\nNUMBER OF SIZES: 2\nSIZE LIST: M L\nSAMPLE SIZE: M\n") + c.rules);
    double scale = 1.0;
    int author = 0;
    CAamaRuleTable table;
    ASSERT_EQ(table.Read(path.c_str(), scale, "0.025", author, 0, false), CAamaRuleTable::Result::kRead);
    int32_t dx = -1;
    int32_t dy = -1;
    table.GetDelta(c.rule, 1, dx, dy);
    EXPECT_EQ(std::make_pair(static_cast<int>(dx), static_cast<int>(dy)), c.delta);
  }
}

TEST_F(AamaRulesTest, RulesBeforeTheSizeCountAndLectraDeltas) {
  AddBaseSize();
  const std::string path = Write("r.rul",
                                 "RULE: DELTA 2\n0,0 5,5\nUNITS: METRIC\nNUMBER OF SIZES: 2\nSIZE LIST: M L\n"
                                 "SAMPLE SIZE: M\nRULE: DELTA 3\n0,0 1200.5,0\n");
  double scale = 1.0;
  int author = 0;
  CAamaRuleTable table;
  // Append mode: hundredths of a millimetre, and large deltas are kept.
  ASSERT_EQ(table.Read(path.c_str(), scale, "1.0", author, 0, true), CAamaRuleTable::Result::kRead);
  EXPECT_EQ(author, kAamaAuthorLectra);
  EXPECT_DOUBLE_EQ(scale, 0.4);
  int32_t dx = -1;
  int32_t dy = -1;
  table.GetDelta(2, 1, dx, dy);
  EXPECT_EQ(dx, 0);
  table.GetDelta(3, 1, dx, dy);
  EXPECT_EQ(dx, 480);  // 1200.5 x 0.4, truncated
}

TEST_F(AamaRulesTest, SizeCountsThatEndTheRuleStage) {
  struct Case {
    const char* count;
    CAamaRuleTable::Result result;
    int sizes;
  };
  // A table refused for its size count or list adds no size to the style.
  const Case kCases[] = {{"1", CAamaRuleTable::Result::kTooFewSizes, 1},
                         {"-3", CAamaRuleTable::Result::kTooFewSizes, 1},
                         {"2000000000", CAamaRuleTable::Result::kDamaged, 1},
                         {"1001", CAamaRuleTable::Result::kDamaged, 1},
                         {"4", CAamaRuleTable::Result::kDamaged, 1},
                         {"2", CAamaRuleTable::Result::kDamaged, 1},
                         {"3", CAamaRuleTable::Result::kRead, 3}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.count);
    ClearStyle();
    AddBaseSize();
    const std::string path =
        Write("n.rul", std::string("NUMBER OF SIZES: ") + c.count + "\nSIZE LIST: A B C\nSAMPLE SIZE: B\n");
    double scale = 1.0;
    int author = 0;
    CAamaRuleTable table;
    EXPECT_EQ(table.Read(path.c_str(), scale, "1.0", author, 0, false), c.result);
    EXPECT_EQ(g_Style.SizeCount, c.sizes);
  }
}

TEST_F(AamaRulesTest, RuleFileIsFoundWhateverTheCaseOfItsName) {
  for (const char* name : {"a.rul", "A.RUL", "a.Rul"}) {
    SCOPED_TRACE(name);
    const std::string rule = Write(name, "END\n");
    EXPECT_EQ(CAamaRuleTable::FindRuleFile((folder_ / "a.dxf").c_str()), CString(rule));
    EXPECT_EQ(CAamaRuleTable::FindRuleFile((folder_ / "A.DXF").c_str()), CString(rule));
    fs::remove(rule);
  }
  EXPECT_TRUE(CAamaRuleTable::FindRuleFile((folder_ / "a.dxf").c_str()).IsEmpty());
  double scale = 1.0;
  int author = 0;
  CAamaRuleTable table;
  EXPECT_EQ(table.Read("", scale, "1.0", author, 0, false), CAamaRuleTable::Result::kNoFile);
}

TEST_F(AamaRulesTest, SizeBlocksSMLMergeIntoOneGradedPiece) {
  AddBaseSize();
  AddSquarePiece("FRONT", "S", -10);
  AddSquarePiece("FRONT", "M", 0);
  AddSquarePiece("FRONT", "L", 10);
  AddSquarePiece("back", "S", -20);
  AddSquarePiece("BACK", "M", 0);
  AddSquarePiece("BACK", "L", 20);
  AddSquarePiece("SLEEVE", "S", 0);  // no M block: stays as it is
  CString sample;
  SetAamaSampleSize(sample, 0, false);
  EXPECT_EQ(sample, "S");  // no sample size text: the first piece's size
  sample = "m";
  SetAamaSampleSize(sample, 0, false);
  MergeAamaSizeBlocks(sample, 0, false);

  ASSERT_EQ(g_Style.PieceCount, 3);
  ASSERT_EQ(g_Style.SizeCount, 3);
  EXPECT_EQ(g_Style.SizeAt(0)->Name, "m");
  EXPECT_EQ(g_Style.SizeAt(1)->Name, "S");
  EXPECT_EQ(g_Style.SizeAt(1)->SortKey1, -1.0);
  EXPECT_EQ(g_Style.SizeAt(1)->Color, AamaSizeColor(1));
  EXPECT_EQ(g_Style.SizeAt(2)->Name, "L");
  EXPECT_EQ(g_Style.SizeAt(2)->SortKey1, 1.0);
  ASSERT_EQ(g_Style.SizeArray.size(), 3u);
  EXPECT_EQ(g_Style.SizeArray[0]->Name, "S");

  CPieceRecord* front = g_Style.PieceRing;
  EXPECT_EQ(front->PieceName, "FRONT");
  EXPECT_TRUE(front->Annotation.IsEmpty());
  const std::vector<std::pair<int, int>> frontRun = {{0, 0}, {-10, -10}, {10, 10}};
  EXPECT_EQ(FirstRun(front), frontRun);
  CPieceRecord* back = front->Next;
  const std::vector<std::pair<int, int>> backRun = {{0, 0}, {-20, -20}, {20, 20}};
  EXPECT_EQ(FirstRun(back), backRun);
  // The piece without a sample block keeps its size name; its vertices get
  // one place per size all the same.
  CPieceRecord* sleeve = back->Next;
  EXPECT_EQ(sleeve->Annotation, "S");
  EXPECT_EQ(FirstRun(sleeve).size(), 3u);
}

TEST_F(AamaRulesTest, SizesSeparateKeepsEveryBlock) {
  AddBaseSize();
  AddSquarePiece("FRONT", "S");
  AddSquarePiece("FRONT", "M");
  CString sample = "M";
  SetAamaSampleSize(sample, 0, false);
  MergeAamaSizeBlocks(sample, 0, true);
  EXPECT_EQ(g_Style.PieceCount, 2);
  EXPECT_EQ(g_Style.SizeCount, 1);
  EXPECT_EQ(FirstRun(g_Style.PieceRing).size(), 1u);
}

TEST_F(AamaRulesTest, SizeColours) {
  const std::pair<int, COLORREF> kCases[] = {{0, RGB(0, 0, 0)},     {1, RGB(0, 255, 0)},    {2, RGB(255, 0, 0)},
                                             {9, RGB(192, 192, 192)}, {15, RGB(0, 255, 0)}, {16, RGB(0, 0, 0)}};
  for (const auto& [held, colour] : kCases) EXPECT_EQ(AamaSizeColor(held), colour) << held;
}

}  // namespace
