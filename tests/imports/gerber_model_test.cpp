// Reading a model of a Gerber storage folder: its pieces, their records and
// their grade-rule tables.
#include "imports/gerber_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/imports/gerber_fixture.h"
#include "tests/imports/gerber_points.h"
#include "tests/support/le_bytes.h"
#include "tests/support/temp_folder.h"

namespace {

namespace gf = gerber_fixture;

// The record of the piece "FRONT": two numbered sizes, its own rules 5, 3, 9
// (one coded "XPA1"), three outline points, one internal line, an extra
// block; its table is "TAB2".
std::string FrontRecord() {
  gf::PieceRecordFields fields;
  fields.sizeCount = 2;
  fields.steps = 1;
  fields.ruleTable = "TAB2";
  fields.ruleCount = 3;
  fields.pointCount = 3;
  fields.lineCount = 1;
  LeBytes b;
  b.Raw(gf::PieceHead(fields));
  b.U8(0x22).U8(0x00).Zeros(8).U8(0x24).U8(0x00).Zeros(8);  // sizes 34 and 36
  b.Raw(gf::GradeRule(5, "XPA1", {10, 20, 30, 40}, "five"));
  b.Raw(gf::GradeRule(3, "G3", {-1, -2, -3, -4}));
  b.Raw(gf::GradeRule(9, "PX9A", {7, 8, 9, 10}));
  b.Raw(gf::OutlinePoint(1, 0, 0, {1, 9}, 5));
  b.Raw(gf::OutlinePoint(2, 1000, -2000, {}, -1, true));
  b.Raw(gf::OutlinePoint(3, 1000, 500, {2}));
  b.Raw(gf::LineHead(1, 'S', 2)).Raw(gf::OutlinePoint(10, 1, 2)).Raw(gf::OutlinePoint(11, 3, 4, {4}, 5));
  b.Raw(gf::ExtraHead(1, 1, 2)).Raw(std::string(34, 'r')).Raw(std::string(60, 's')).Raw(std::string(78, 'i'));
  return b.Bytes();
}

std::string BackRecord() {
  gf::PieceRecordFields fields;
  fields.ruleTable = "NONE";
  fields.pointCount = 1;
  LeBytes b;
  b.Raw(gf::PieceHead(fields)).Raw(gf::OutlinePoint(1, 5, 6)).Raw(gf::ExtraHead(0, 0, 0));
  return b.Bytes();
}

// A rule table whose rules are stored as 5, 3, 9.
std::string TableRecord() {
  LeBytes b;
  b.Raw(gf::RuleTableHead(1, 0, 3)).U16(40).Zeros(8);
  b.Raw(gf::GradeRule(5, "T5", {5, 50})).Raw(gf::GradeRule(3, "T3", {3, 30})).Raw(gf::GradeRule(9, "T9", {9, 90}));
  return b.Bytes();
}

// A folder with the model "STYLE" of three pieces: FRONT (extended entry of
// 41 bytes), SLEEVE (missing from "piece.ctl", extended entry of 30 bytes)
// and BACK (plain entry of 29 bytes).
struct StorageFolder {
  StorageFolder() {
    folder.AddFile("MODEL.CTL", gf::CatalogueRecord("STYLE", "001", 1) + gf::CatalogueRecord("END", "000", 0));
    std::string model = gf::ModelRecord(
        "model text one", "model text two", 3,
        {gf::PieceEntry("FRONT", '+', 0, 2), gf::PieceEntry("SLEEVE", '+', 5), gf::PieceEntry("BACK")},
        {"CODE123", "CODE456"});
    folder.AddFile("Model001.Mod", gf::DataFile({"", model}));
    folder.AddFile("piece.ctl", gf::CatalogueRecord("BACK", "PA1", 1) + gf::CatalogueRecord("FRONT", "PA1", 0) +
                                    gf::CatalogueRecord("SLEEVES", "PA1", 0));
    folder.AddFile("PIECEPA1.PCE", gf::RecordFile({FrontRecord(), BackRecord()}));
    folder.AddFile("rutab.ctl", gf::CatalogueRecord("TAB1", "R01", 0) + gf::CatalogueRecord("TAB2", "R01", 1));
    folder.AddFile("rutabR01.rtb", gf::RecordFile({"", TableRecord()}));
  }
  CString Path() const { return CString(folder.path()); }
  TempFolder folder{"zv_gerber_model"};
};

std::vector<uint16_t> RuleNumbers(const std::vector<CGgtGradeRule>& rules) {
  std::vector<uint16_t> numbers;
  for (const CGgtGradeRule& rule : rules) numbers.push_back(rule.number);
  return numbers;
}

TEST(GerberModelTest, ReadsTheModelAndDropsThePieceMissingFromTheCatalogue) {
  StorageFolder storage;
  CModel model;
  EXPECT_EQ(model.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", 1}), 0);
  EXPECT_EQ(model.modelName, CString("STYLE"));
  EXPECT_EQ(model.text1, CString("model text one"));
  EXPECT_EQ(model.text2, CString("model text two"));
  EXPECT_EQ(model.value84, 77);
  ASSERT_EQ(model.modelCodes.size(), 2u);
  EXPECT_EQ(model.modelCodes[0].code, CString("CODE123"));
  EXPECT_EQ(model.modelCodes[1].code, CString("CODE456"));
  ASSERT_EQ(model.pieces.size(), 2u);
  EXPECT_EQ(model.pieceCount, 2);
  EXPECT_EQ(model.pieces[0]->name, CString("FRONT"));
  EXPECT_EQ(model.pieces[0]->CopyCount(), 2);
  EXPECT_EQ(model.pieces[0]->text4, CString("T4T4"));
  EXPECT_EQ(model.pieces[1]->name, CString("BACK"));
  EXPECT_EQ(model.pieces[1]->CopyCount(), 1);
  EXPECT_EQ(model.pieces[1]->pieceBlockIndex, 1);
  ASSERT_TRUE(model.pieces[1]->body);
  ASSERT_EQ(model.pieces[1]->body->outline.size(), 1u);
  EXPECT_EQ(model.pieces[1]->body->outline[0].x, 5);
  EXPECT_EQ(model.pieces[1]->ruleTableFound, 0);
  EXPECT_FALSE(model.pieces[1]->ruleTable);
}

TEST(GerberModelTest, ReadsAPieceRecordFieldByField) {
  StorageFolder storage;
  CModel model;
  model.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", 1});
  ASSERT_FALSE(model.pieces.empty());
  const CPiece& front = *model.pieces[0];
  ASSERT_TRUE(front.body);
  const CGgtPieceBody& body = *front.body;
  EXPECT_EQ(body.name, CString("FRONT"));
  EXPECT_EQ(body.text1, CString("piece text 1"));
  EXPECT_EQ(body.sizeIndex, 3);
  EXPECT_EQ(body.ruleTableName, CString("TAB2"));
  EXPECT_EQ(body.value82, 0x82);
  EXPECT_EQ(body.value90, 90u);
  EXPECT_EQ(body.value94, 94u);
  EXPECT_EQ(body.SizeNumber(0), 34);
  EXPECT_EQ(body.SizeNumber(1), 36);

  // The piece's own rules keep file order; codes lose X, P and A.
  EXPECT_EQ(RuleNumbers(body.rules), (std::vector<uint16_t>{5, 3, 9}));
  struct RuleCase {
    size_t index;
    const char* code;
    const char* name;
    int32_t lastDy;
  };
  const RuleCase kRules[] = {{0, "1   ", "five", 40}, {1, "G3  ", "", -4}, {2, "9   ", "", 10}};
  for (const RuleCase& c : kRules) {
    SCOPED_TRACE(c.index);
    const CGgtGradeRule& rule = body.rules[c.index];
    EXPECT_EQ(rule.code, CString(c.code));
    EXPECT_EQ(rule.name, CString(c.name));
    ASSERT_EQ(rule.deltas.size(), 2u);
    EXPECT_EQ(rule.deltas[1].dy, c.lastDy);
  }

  ASSERT_EQ(body.outline.size(), 3u);
  const CGgtOutlinePoint& first = body.outline[0];
  EXPECT_TRUE(first.hasRuleReference);
  EXPECT_EQ(first.ruleNumber, 5);
  EXPECT_EQ(first.attributes, (std::vector<uint8_t>{1, 9}));
  const CGgtOutlinePoint& second = body.outline[1];
  EXPECT_EQ(second.x, 1000);
  EXPECT_EQ(second.y, -2000);
  EXPECT_TRUE(second.hasExtension);
  EXPECT_EQ(second.flags, 0x01);  // the extension's bit is cleared
  EXPECT_EQ(second.extension[1], 222);
  EXPECT_FALSE(second.hasRuleReference);
  // Corner (9) and smooth (10) marks: a point marked 9 keeps its marks, the
  // last point of a chain is smooth.
  EXPECT_EQ(second.attributes, (std::vector<uint8_t>{9}));
  EXPECT_EQ(second.attributeCount, 1);
  EXPECT_EQ(body.outline[2].attributes, (std::vector<uint8_t>{2, 10}));

  ASSERT_EQ(body.lines.size(), 1u);
  EXPECT_EQ(body.lines[0].type, 'S');
  ASSERT_EQ(body.lines[0].points.size(), 2u);
  // A notch point is not graded; rule 5 stays, the outline's first point uses it.
  EXPECT_FALSE(body.lines[0].points[1].hasRuleReference);
  EXPECT_EQ(body.lines[0].points[1].noRuleSwitch, 1);
  EXPECT_EQ(body.lines[0].points[0].attributes, (std::vector<uint8_t>{9}));
  EXPECT_EQ(body.lines[0].points[1].attributes, (std::vector<uint8_t>{4, 10}));

  ASSERT_TRUE(front.extraBlock);
  EXPECT_EQ(front.extraBlock->record34, CString(std::string(34, 'r')));
  EXPECT_EQ(front.extraBlock->records30.size(), 2u);
  EXPECT_EQ(front.extraBlock->items.size(), 1u);

  // Its table, found in "rutab.ctl", keeps its rules sorted.
  EXPECT_EQ(front.ruleTableFound, 1);
  EXPECT_EQ(front.ruleTableCode, CString("R01"));
  ASSERT_TRUE(front.ruleTable);
  EXPECT_EQ(RuleNumbers(front.ruleTable->rules), (std::vector<uint16_t>{3, 5, 9}));
  EXPECT_EQ(front.ruleTable->rules[0].deltas[0].dy, 30);
}

TEST(GerberModelTest, UngradedPointDropsItsRuleUnlessAnotherPointUsesIt) {
  CGgtPieceBody body;
  body.rules.resize(3);
  body.rules[0].number = 7;
  body.rules[1].number = 8;
  body.rules[2].number = 9;
  body.pieceRuleCount = 3;
  body.outline = {GgtPoint(0, 0, {1, 5}, 7), GgtPoint(1, 0, {6}, 8), GgtPoint(2, 0, {2}, 9)};
  CGgtInternalLine line;
  line.points = {GgtPoint(5, 5, {}, 8)};
  body.lines.push_back(line);
  CModel::DropUngradedRules(body);
  EXPECT_EQ(RuleNumbers(body.rules), (std::vector<uint16_t>{8, 9}));
  EXPECT_EQ(body.pieceRuleCount, 2);
  EXPECT_FALSE(body.outline[0].hasRuleReference);
  EXPECT_EQ(body.outline[0].noRuleSwitch, 1);
  EXPECT_FALSE(body.outline[1].hasRuleReference);  // its rule stays: the line's point uses it
  EXPECT_TRUE(body.outline[2].hasRuleReference);
  EXPECT_TRUE(body.lines[0].points[0].hasRuleReference);
}

TEST(GerberModelTest, SmoothPointTurnsMoreThan120Degrees) {
  struct Case {
    int32_t thirdX, thirdY;
    bool smooth;
  };
  const Case kCases[] = {{200, 1, true}, {100, 100, false}, {0, 1, false}, {200, -50, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.thirdX) + "," + std::to_string(c.thirdY));
    std::vector<CGgtOutlinePoint> chain = {GgtPoint(0, 0), GgtPoint(100, 0), GgtPoint(c.thirdX, c.thirdY)};
    EXPECT_EQ(CModel::IsSmoothPoint(chain, 1), c.smooth);
  }
  std::vector<CGgtOutlinePoint> marked = {GgtPoint(0, 0), GgtPoint(100, 0, {10}), GgtPoint(200, 1)};
  EXPECT_FALSE(CModel::IsSmoothPoint(marked, 1));
  EXPECT_TRUE(CModel::IsSmoothPoint(marked, 2));
  // A neighbour whose switch is 2 is passed over: here the first point
  // stands in for the next one.
  std::vector<CGgtOutlinePoint> skipped = {GgtPoint(0, 0), GgtPoint(100, 0), GgtPoint(200, 1), GgtPoint(300, 0)};
  skipped[2].noRuleSwitch = 2;
  EXPECT_FALSE(CModel::IsSmoothPoint(skipped, 1));

  CGgtPieceBody body;
  body.outline = {GgtPoint(0, 0), GgtPoint(100, 0, {10}), GgtPoint(200, 1)};
  CModel::ClassifyCorners(body);
  EXPECT_EQ(body.outline[0].attributes, (std::vector<uint8_t>{9}));
  EXPECT_EQ(body.outline[1].attributes, (std::vector<uint8_t>{10, 9}));
  EXPECT_EQ(body.outline[2].attributes, (std::vector<uint8_t>{10}));
  EXPECT_EQ(body.outline[1].attributeCount, 2);
}

TEST(GerberModelTest, DeletedCatalogueRecordIsInvisibleEvenWhenItsNameMatches) {
  StorageFolder storage;
  // The first "FRONT" record is deleted and points at BACK's record.
  storage.folder.AddFile("piece.ctl", gf::CatalogueRecord("FRONT", "PA1", 1, true) +
                                          gf::CatalogueRecord("FRONT", "PA1", 0) +
                                          gf::CatalogueRecord("BACK", "PA1", 1, true));
  CModel model;
  model.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", 1});
  ASSERT_EQ(model.pieces.size(), 1u);
  EXPECT_EQ(model.pieces[0]->name, CString("FRONT"));
  EXPECT_EQ(model.pieces[0]->pieceBlockIndex, 0);
  ASSERT_TRUE(model.pieces[0]->body);
  EXPECT_EQ(model.pieces[0]->body->outline.size(), 3u);
}

TEST(GerberModelTest, BlockIndexFrom128UpRefusesTheItem) {
  StorageFolder storage;
  CModel refused;
  refused.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", -56});
  EXPECT_TRUE(refused.pieces.empty());

  storage.folder.AddFile("piece.ctl", gf::CatalogueRecord("BACK", "PA1", 200) + gf::CatalogueRecord("FRONT", "PA1", 0));
  storage.folder.AddFile("rutab.ctl", gf::CatalogueRecord("TAB2", "R01", 128));
  CModel model;
  model.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", 1});
  ASSERT_EQ(model.pieces.size(), 1u);
  EXPECT_EQ(model.pieces[0]->name, CString("FRONT"));
  EXPECT_EQ(model.pieces[0]->ruleTableFound, 0);
  EXPECT_FALSE(model.pieces[0]->ruleTable);
}

TEST(GerberModelTest, ModelStopsAtItsLastWholePieceEntry) {
  StorageFolder storage;
  std::string model = gf::ModelRecord("t1", "t2", 3, {gf::PieceEntry("FRONT", '+', 0, 2), gf::PieceEntry("BACK")}, {});
  model.resize(model.size() - 1);  // BACK's entry cut short, the third missing
  storage.folder.AddFile("MODEL001.MOD", gf::DataFile({"", model}));
  CModel read;
  read.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", 1});
  ASSERT_EQ(read.pieces.size(), 1u);
  EXPECT_EQ(read.pieces[0]->name, CString("FRONT"));
  EXPECT_TRUE(read.modelCodes.empty());
}

TEST(GerberModelTest, PieceRecordCutShortAnywhereIsDropped) {
  std::string record = FrontRecord();
  size_t whole = record.size() - (6 + 34 + 60 + 78);  // the record without its extra block
  for (size_t length = 0; length < whole; ++length) {
    SCOPED_TRACE(length);
    std::string bytes = record.substr(0, length);
    ByteCursor in(bytes);
    EXPECT_FALSE(CModel::ReadPieceRecord(in));
  }
  ByteCursor in(record);
  EXPECT_TRUE(CModel::ReadPieceRecord(in));
}

TEST(GerberModelTest, HostileCountsAreRefusedBeforeAnythingIsMade) {
  struct Case {
    const char* what;
    gf::PieceRecordFields fields;
    std::string after;
  };
  gf::PieceRecordFields rules;
  rules.ruleCount = 1000;
  rules.steps = 30000;
  gf::PieceRecordFields sizes;
  sizes.sizeCount = 65535;
  gf::PieceRecordFields points;
  points.pointCount = 65535;
  gf::PieceRecordFields lines;
  lines.lineCount = 65535;
  gf::PieceRecordFields attributes;
  attributes.pointCount = 1;
  LeBytes hostilePoint;
  hostilePoint.U16(1).I32(0).I32(0).U8(1).U8(0).U16(65535).Zeros(20);
  gf::PieceRecordFields linePoints;
  linePoints.lineCount = 1;
  const Case kCases[] = {
      {"rules", rules, std::string(200, '\0')},
      {"sizes", sizes, std::string(200, '\0')},
      {"points", points, std::string(200, '\0')},
      {"lines", lines, std::string(200, '\0')},
      {"attributes", attributes, hostilePoint.Bytes()},
      {"line points", linePoints, gf::LineHead(1, 'S', 60000) + std::string(100, '\0')},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::string bytes = gf::PieceHead(c.fields) + c.after;
    ByteCursor in(bytes);
    EXPECT_FALSE(CModel::ReadPieceRecord(in));
  }
}

TEST(GerberModelTest, PieceWithACutRecordKeepsItsPlaceButNotItsRecord) {
  StorageFolder storage;
  std::string front = FrontRecord();
  storage.folder.AddFile("PIECEPA1.PCE", gf::RecordFile({front.substr(0, 150)}));
  CModel model;
  model.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", 1});
  ASSERT_EQ(model.pieces.size(), 2u);
  EXPECT_EQ(model.pieces[0]->found, 1);
  EXPECT_FALSE(model.pieces[0]->body);
  EXPECT_FALSE(model.pieces[1]->body);  // BACK's block head lies past the end
}

TEST(GerberModelTest, LineWithFurtherPartsIsTheLastLineRead) {
  // What follows a line whose switch byte is set has no known layout: the
  // line itself is kept, and nothing after it is taken for points.
  gf::PieceRecordFields fields;
  fields.pointCount = 1;
  fields.lineCount = 3;
  LeBytes b;
  b.Raw(gf::PieceHead(fields)).Raw(gf::OutlinePoint(1, 0, 0));
  b.Raw(gf::LineHead(1, 'X', 1)).Raw(gf::OutlinePoint(2, 10, 20));
  b.Raw(gf::LineHead(2, 'B', 2, 3)).Raw(gf::OutlinePoint(3, 30, 40)).Raw(gf::OutlinePoint(4, 50, 60));
  b.Raw("further parts of an unknown layout").Raw(gf::ExtraHead(0, 0, 0));
  CPiece piece;
  std::string bytes = b.Bytes();
  ByteCursor in(bytes);
  ASSERT_TRUE(CModel::ReadPieceData(in, piece));
  ASSERT_EQ(piece.body->lines.size(), 2u);
  EXPECT_EQ(piece.body->lines[1].points[1].y, 60);
  EXPECT_EQ(piece.body->unreadLineCount, 1);
  EXPECT_FALSE(piece.extraBlock);
}

TEST(GerberModelTest, PiecesPastTheRecordBudgetAreLeftUnreadAndTheModelSaysSo) {
  // FRONT's record is read whole; BACK's would pass what is left.
  StorageFolder storage;
  const size_t front = FrontRecord().size();
  const size_t back = BackRecord().size();
  struct Case {
    size_t budget;
    size_t pieces;
    bool incomplete;
  };
  const Case kCases[] = {{front + back, 2, false}, {front + back - 1, 1, true}, {front - 1, 0, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.budget);
    CModel model;
    model.maxRecordBytes = c.budget;
    model.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", 1});
    EXPECT_EQ(model.pieces.size(), c.pieces);
    EXPECT_EQ(model.pieceCount, c.pieces);
    EXPECT_EQ(model.incomplete, c.incomplete);
  }
}

TEST(GerberModelTest, ExtraBlockIsReadWholeOrNotAtAll) {
  std::string block = gf::ExtraHead(2, 1, 1) + std::string(34, 'a') + std::string(30, 'b') + std::string(156, 'c');
  ByteCursor whole(block);
  auto read = CModel::ReadExtraBlock(whole);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->items.size(), 2u);
  EXPECT_EQ(whole.Remaining(), 0u);
  for (size_t length = 0; length < block.size(); ++length) {
    SCOPED_TRACE(length);
    std::string cut = block.substr(0, length);
    ByteCursor in(cut);
    EXPECT_FALSE(CModel::ReadExtraBlock(in));
  }
  std::string hostile = gf::ExtraHead(65535, 1, 255);
  ByteCursor in(hostile);
  EXPECT_FALSE(CModel::ReadExtraBlock(in));
}

TEST(GerberModelTest, RuleTableRecordSortsItsRulesAndRefusesACutOne) {
  std::string record = TableRecord();
  ByteCursor in(record);
  auto table = CModel::ReadRuleTableRecord(in);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->text2, CString("table text 2"));
  EXPECT_EQ(table->ruleCount, 3);
  EXPECT_EQ(table->sizeTable.size(), 10u);
  EXPECT_EQ(RuleNumbers(table->rules), (std::vector<uint16_t>{3, 5, 9}));
  for (size_t length = 0; length < record.size(); ++length) {
    SCOPED_TRACE(length);
    std::string cut = record.substr(0, length);
    ByteCursor cutIn(cut);
    EXPECT_FALSE(CModel::ReadRuleTableRecord(cutIn));
  }
  // Numbers arriving in other orders.
  LeBytes b;
  b.Raw(gf::RuleTableHead(0, 0, 5));
  for (uint16_t n : {7, 2, 7, 1, 4}) b.Raw(gf::GradeRule(n, "C" + std::to_string(n), {0, 0}));
  ByteCursor mixed(b.Bytes());
  table = CModel::ReadRuleTableRecord(mixed);
  ASSERT_TRUE(table);
  EXPECT_EQ(RuleNumbers(table->rules), (std::vector<uint16_t>{1, 2, 4, 7, 7}));
}

TEST(GerberModelTest, CutRuleTableIsNotTaken) {
  StorageFolder storage;
  std::string table = TableRecord();
  storage.folder.AddFile("rutabR01.rtb", gf::RecordFile({"", table.substr(0, table.size() - 1)}));
  CModel model;
  model.ReadModelFile(storage.Path(), CDataBase{"STYLE", "001", 1});
  ASSERT_FALSE(model.pieces.empty());
  EXPECT_EQ(model.pieces[0]->ruleTableFound, 1);
  EXPECT_FALSE(model.pieces[0]->ruleTable);
  ASSERT_TRUE(model.pieces[0]->body);
  EXPECT_EQ(model.pieces[0]->body->rules.size(), 3u);
}

TEST(GerberModelTest, RuleTableSearchProbesLikeABinarySearch) {
  TempFolder folder("zv_gerber_rutab");
  folder.AddFile("RUTAB.CTL", gf::CatalogueRecord("A", "R01", 1) + gf::CatalogueRecord("B", "R02", 2) +
                                  gf::CatalogueRecord("C", "R03", 3) + gf::CatalogueRecord("D", "R04", 4) +
                                  gf::CatalogueRecord("E", "R05", 5));
  struct Case {
    const char* name;
    bool found;
    int block;
    int reads;
  };
  const Case kCases[] = {{"C", true, 3, 1}, {"E", true, 5, 3}, {"A", true, 1, 2}, {"D", true, 4, 2},
                         {"B", true, 2, 3}, {"CC", false, 0, 2}, {"0", false, 0, 2}, {"c", false, 0, 3}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RuleTableSearch search = CModel::FindRuleTable(CString(folder.path()), c.name);
    EXPECT_EQ(search.found, c.found);
    EXPECT_EQ(search.blockIndex, c.block);
    EXPECT_EQ(search.reads, c.reads);
  }
}

TEST(GerberModelTest, RuleTableSearchPastADeletedRecordScansTheLiveOnes) {
  TempFolder folder("zv_gerber_rutab");
  folder.AddFile("rutab.ctl", gf::CatalogueRecord("A", "R01", 1) + gf::CatalogueRecord("B", "R02", 2) +
                                  gf::CatalogueRecord("C", "R03", 3, true) + gf::CatalogueRecord("D", "R04", 4) +
                                  gf::CatalogueRecord("E", "R05", 5));
  struct Case {
    const char* name;
    bool found;
    int block;
  };
  const Case kCases[] = {{"A", true, 1}, {"D", true, 4}, {"E", true, 5}, {"C", false, 0}, {"F", false, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RuleTableSearch search = CModel::FindRuleTable(CString(folder.path()), c.name);
    EXPECT_EQ(search.found, c.found);
    EXPECT_EQ(search.blockIndex, c.block);
  }
}

}  // namespace
