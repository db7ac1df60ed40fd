// Seed inputs of the Gerber fuzzers, made by the fixture builder: a piece
// record with every kind of internal line and a rule table, and a set of
// export files (style, piece, rule table) that name one another. The
// writer runs on purpose only; the check below keeps the seeds readable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "imports/gerber_model.h"
#include "tests/imports/gerber_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/le_bytes.h"

namespace {

namespace gf = gerber_fixture;

// A piece of three numbered sizes, base size 36, with two own rules, a
// closing outline of five points (one a notch, one a mark) and one line of
// each kind the conversion tells apart.
std::string SeedPieceRecord() {
  gf::PieceRecordFields fields;
  fields.sizeCount = 3;
  fields.steps = 1;
  fields.ruleTable = "TAB";
  fields.ruleCount = 2;
  fields.pointCount = 5;
  const char kTypes[] = {'B', 'D', 'G', 'M', 'S', 'X', '5'};
  fields.lineCount = sizeof kTypes;
  LeBytes b;
  b.Raw(gf::PieceHead(fields));
  for (uint16_t size : {34, 36, 38}) b.U16(size).Zeros(8);
  b.Raw(gf::GradeRule(1, "XPA1", {10, 0, 20, 0})).Raw(gf::GradeRule(2, "R2", {0, 10, 0, 20}, "two"));
  b.Raw(gf::OutlinePoint(1, 0, 0, {1}, 1));
  b.Raw(gf::OutlinePoint(2, 4000, 0, {}, 2, true, 0));
  b.Raw(gf::OutlinePoint(3, 4000, 3000, {2}, 1, false, 4));
  b.Raw(gf::OutlinePoint(4, 0, 3000, {5}, -1, false, 0));
  b.Raw(gf::OutlinePoint(5, 2, -3, {}, 1, false, 0));
  uint16_t number = 10;
  for (char type : kTypes) {
    b.Raw(gf::LineHead(number, type, 3));
    for (int i = 0; i < 3; ++i) b.Raw(gf::OutlinePoint(number++, 500 + i * 700, 900 + type, {}, i == 1 ? 2 : -1));
  }
  b.Raw(gf::ExtraHead(1, 1, 1)).Raw(std::string(34, 'r')).Raw(std::string(30, 's')).Raw(std::string(78, 'i'));
  return b.Bytes();
}

std::string SeedRuleTable() {
  LeBytes b;
  b.Raw(gf::RuleTableHead(3, 1, 2));
  for (uint16_t size : {34, 36, 38}) b.U16(size).Zeros(8);
  b.Raw(gf::GradeRule(2, "T2", {5, 5, 6, 6})).Raw(gf::GradeRule(1, "T1", {-5, 0, -6, 0}));
  return b.Bytes();
}

// Export inputs: files after 16-bit lengths, the last one without.
std::string ExportInput(const std::vector<std::string>& files) {
  std::string input;
  for (size_t i = 0; i < files.size(); ++i) {
    if (i + 1 < files.size()) input += LeBytes().U16(static_cast<uint16_t>(files[i].size())).Bytes();
    input += files[i];
  }
  return input;
}

std::vector<std::pair<std::string, std::string>> Seeds() {
  const std::string piece = SeedPieceRecord();
  const std::string table = SeedRuleTable();
  const std::string style = gf::ExportFile(
      "STYLE", 12,
      gf::StyleData(2, {gf::PieceEntry("FRONT", '+', 0, 2), gf::PieceEntry("BACK", '+', 7)}, {"CODE1", "CODE2"}));
  return {
      {"gerber_records/piece_then_table", std::string(1, '\0') + piece + table},
      {"gerber_records/table_then_piece", std::string(1, '\3') + table + piece},
      {"gerber_export/style_piece_table",
       ExportInput({style, gf::ExportFile("FRONT", 20, piece), gf::ExportFile("TAB", 23, table)})},
      {"gerber_export/two_pieces_lower_case",
       ExportInput({gf::ExportFile("BACK", 20, piece, "ggt ixport"), gf::ExportFile("FRONT", 20, piece),
                    gf::ExportFile("TAB", 23, table)})},
  };
}

TEST(GerberSeeds, PieceRecordSeedsReadWhole) {
  for (const auto& [name, bytes] : Seeds()) {
    if (name.rfind("gerber_records/", 0) != 0) continue;
    SCOPED_TRACE(name);
    ByteCursor in(std::string_view(bytes).substr(1));
    CPiece piece;
    if (bytes[0] & 1) {
      EXPECT_TRUE(CModel::ReadRuleTableRecord(in));
    }
    ASSERT_TRUE(CModel::ReadPieceData(in, piece));
    EXPECT_EQ(piece.body->lines.size(), 7u);
    EXPECT_TRUE(piece.extraBlock);
  }
}

// Writes the seeds under the folder named by ZV_GERBER_SEED_FOLDER (the fuzz
// corpus, fuzz/corpus); run on purpose only.
TEST(GerberSeeds, DISABLED_WriteSeedFiles) {
  const char* folder = std::getenv("ZV_GERBER_SEED_FOLDER");
  ASSERT_NE(folder, nullptr);
  for (const auto& [name, bytes] : Seeds()) WriteFile(std::string(folder) + "/" + name, bytes);
}

}  // namespace
