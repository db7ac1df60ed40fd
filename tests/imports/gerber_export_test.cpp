// Reading Gerber export files: the folder scan, piece and rule-table files,
// style files and the zip path's model.
#include "imports/gerber_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/imports/gerber_fixture.h"
#include "tests/support/le_bytes.h"
#include "tests/support/temp_folder.h"

namespace {

namespace gf = gerber_fixture;

// A piece record with two outline points, the second at (x, y), naming the
// rule table `table`.
std::string PieceRecord(const std::string& table, int32_t x, int32_t y) {
  gf::PieceRecordFields fields;
  fields.ruleTable = table;
  fields.pointCount = 2;
  LeBytes b;
  b.Raw(gf::PieceHead(fields)).Raw(gf::OutlinePoint(1, 0, 0)).Raw(gf::OutlinePoint(2, x, y));
  b.Raw(gf::ExtraHead(0, 0, 0));
  return b.Bytes();
}

std::string PieceFile(const std::string& name, int32_t x, int32_t y, const std::string& table = "TAB1") {
  return gf::ExportFile(name, kGgtPieceFile, PieceRecord(table, x, y));
}

// A rule-table file holding one rule numbered `rule`; `cut` drops the last
// byte of the record.
std::string TableFile(const std::string& name, uint16_t rule, bool cut = false) {
  LeBytes b;
  b.Raw(gf::RuleTableHead(1, 0, 1)).U16(40).Zeros(8).Raw(gf::GradeRule(rule, "T", {rule, -rule}));
  std::string record = b.Bytes();
  if (cut) record.pop_back();
  return gf::ExportFile(name, kGgtRuleTableFile, record);
}

std::vector<std::string> Names(const std::vector<GgtExportFile>& files) {
  std::vector<std::string> names;
  for (const GgtExportFile& file : files) names.push_back(std::string(file.name.view()));
  return names;
}

std::vector<std::string> PieceNames(const CModel& model) {
  std::vector<std::string> names;
  for (const auto& piece : model.pieces) names.push_back(std::string(piece->name.view()));
  return names;
}

// The x of a piece's second outline point, as its file gave it; -1 without
// a record.
int32_t SecondX(const CPiece& piece) {
  if (!piece.body || piece.body->outline.size() < 2) return -1;
  return piece.body->outline[1].x;
}

GgtExportFile FileAt(const TempFolder& folder, const std::string& fileName, const std::string& name) {
  GgtExportFile file;
  file.path = CString(folder / fileName);
  file.name = CString(name);
  return file;
}

TEST(GerberExportTest, ParsesTheHeader) {
  const std::string piece = PieceFile("FRONT", 1, 2);
  struct Case {
    const char* label;
    std::string bytes;
    int64_t length;
    bool ok;
    const char* name;
    int type;
  };
  const Case kCases[] = {
      {"piece", piece, static_cast<int64_t>(piece.size()), true, "FRONT", kGgtPieceFile},
      {"lower-case signature", gf::ExportFile("X", 23, std::string(20, 'd'), "ggt ixport"), 74, true, "X", 23},
      {"mixed-case signature", gf::ExportFile("X", 12, std::string(20, 'd'), "Ggt iXporT"), 74, true, "X", 12},
      {"other signature", gf::ExportFile("X", 20, std::string(20, 'd'), "GGT EXPORT"), 74, false, "", 0},
      {"20-character name", gf::ExportFile("ABCDEFGHIJKLMNOPQRST", 20, "d"), 65, true, "ABCDEFGHIJKLMNOPQRST", 20},
      {"64-byte file", piece.substr(0, 64), 64, false, "", 0},
      {"65-byte file", piece.substr(0, 65), 65, true, "FRONT", kGgtPieceFile},
      {"head without its type", piece.substr(0, 42), 1000, false, "", 0},
      {"head up to its type", piece.substr(0, 43), 1000, true, "FRONT", kGgtPieceFile},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    GgtExportHeader header;
    ASSERT_EQ(ParseGgtExportHeader(c.bytes, c.length, header), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(header.name, CString(c.name));
    EXPECT_EQ(header.type, c.type);
  }
}

TEST(GerberExportTest, ScanSortsTheExportFilesByTypeInNameOrder) {
  TempFolder folder("zv_gerber_export");
  const std::string piece = PieceFile("P", 1, 2);
  folder.AddFile("a64.tmp", gf::ExportFile("P64", kGgtPieceFile, std::string(10, 'd')));
  folder.AddFile("a65.tmp", gf::ExportFile("P65", kGgtPieceFile, std::string(11, 'd')));
  folder.AddFile("E_UPPER.TMP", gf::ExportFile("UPPER", kGgtPieceFile, std::string(20, 'd')));
  folder.AddFile("b_lower.tmp", gf::ExportFile("LOWER", kGgtPieceFile, std::string(20, 'd'), "ggt ixport"));
  folder.AddFile("c_wrong.tmp", gf::ExportFile("WRONG", kGgtPieceFile, std::string(20, 'd'), "GGT EXPORT"));
  folder.AddFile("d_other.tmp", gf::ExportFile("OTHER", 21, std::string(20, 'd')));
  folder.AddFile("f_piece.txt", piece);
  folder.AddFile("s144.tmp", gf::ExportFile("S144", kGgtStyleFile, std::string(144 - 54, 'd')));
  folder.AddFile("s145.tmp", gf::ExportFile("S145", kGgtStyleFile, std::string(145 - 54, 'd')));
  folder.AddFile("t2.tmp", TableFile("TAB2", 2));
  folder.AddFile("t1.tmp", TableFile("TAB1", 1));
  std::filesystem::create_directory(folder / "g_folder.tmp");

  GgtExportFolder found = ScanGgtExportFolder(CString(folder.path()));
  EXPECT_EQ(Names(found.pieces), (std::vector<std::string>{"P65", "LOWER", "UPPER"}));
  EXPECT_EQ(Names(found.styles), (std::vector<std::string>{"S145"}));
  EXPECT_EQ(Names(found.ruleTables), (std::vector<std::string>{"TAB1", "TAB2"}));
  ASSERT_EQ(found.pieces.size(), 3u);
  EXPECT_EQ(found.pieces[0].path, CString(folder / "a65.tmp"));
  EXPECT_EQ(found.pieces[0].length, 65);
  EXPECT_EQ(found.pieces[2].path, CString(folder / "E_UPPER.TMP"));
}

TEST(GerberExportTest, ScanOfAMissingFolderFindsNothing) {
  TempFolder folder("zv_gerber_export");
  GgtExportFolder found = ScanGgtExportFolder(CString(folder / "missing"));
  EXPECT_TRUE(found.pieces.empty());
  EXPECT_TRUE(found.styles.empty());
  EXPECT_TRUE(found.ruleTables.empty());
}

TEST(GerberExportTest, PieceTakesTheLastWholeTableOfItsExactName) {
  TempFolder folder("zv_gerber_export");
  struct TableFields {
    std::string name;
    uint16_t rule;
    bool cut;
  };
  struct Case {
    const char* label;
    std::vector<TableFields> tables;
    int rule;  // -1: no table
  };
  const Case kCases[] = {
      {"exact name", {{"TAB1", 1, false}}, 1},
      {"name in other case", {{"tab1", 1, false}}, -1},
      {"longer name", {{"TAB11", 1, false}}, -1},
      {"later file wins", {{"TAB1", 1, false}, {"tab1", 3, false}, {"TAB1", 2, false}}, 2},
      {"cut later file does not replace", {{"TAB1", 1, false}, {"TAB1", 2, true}}, 1},
      {"cut only file", {{"TAB1", 1, true}}, -1},
      {"cut then whole", {{"TAB1", 1, true}, {"TAB1", 2, false}}, 2},
  };
  int fileNumber = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    std::vector<GgtExportFile> tables;
    for (const TableFields& given : c.tables) {
      std::string fileName = "t" + std::to_string(++fileNumber) + ".tmp";
      folder.AddFile(fileName, TableFile(given.name, given.rule, given.cut));
      tables.push_back(FileAt(folder, fileName, given.name));
    }
    CPiece piece;
    piece.body = std::make_unique<CGgtPieceBody>();
    piece.body->ruleTableName = "TAB1";
    CGgtImportContext context;
    LoadPieceRuleTable(piece, context, tables);
    if (c.rule < 0) {
      EXPECT_FALSE(piece.ruleTable);
      EXPECT_EQ(piece.ruleTableFound, 0);
      EXPECT_EQ(context.currentRuleTable, nullptr);
      continue;
    }
    ASSERT_TRUE(piece.ruleTable);
    EXPECT_EQ(piece.ruleTableFound, 1);
    EXPECT_EQ(context.currentRuleTable, piece.ruleTable.get());
    ASSERT_EQ(piece.ruleTable->rules.size(), 1u);
    EXPECT_EQ(piece.ruleTable->rules[0].number, c.rule);
  }
}

TEST(GerberExportTest, ReadPieceFileRefusesWhatIsNotAPieceFile) {
  TempFolder folder("zv_gerber_export");
  folder.AddFile("table.tmp", TableFile("FRONT", 1));
  folder.AddFile("short.tmp", PieceFile("FRONT", 1, 2).substr(0, 64));
  folder.AddFile("cut.tmp", PieceFile("FRONT", 1, 2).substr(0, 54 + 98 + 14 + 5));
  std::filesystem::create_directory(folder / "folder.tmp");
  struct Case {
    const char* file;
    int result;
  };
  const Case kCases[] = {{"table.tmp", 0}, {"short.tmp", 0}, {"folder.tmp", 0}, {"missing.tmp", 0}, {"cut.tmp", 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    CModel model;
    CPiece piece;
    piece.name = "FRONT";
    CGgtImportContext context;
    EXPECT_EQ(ReadPieceFile(model, piece, CString(folder / c.file), context, {}), c.result);
    EXPECT_FALSE(piece.body);
  }
}

TEST(GerberExportTest, BuildsAPieceFromEveryPieceFileThatReads) {
  TempFolder folder("zv_gerber_export");
  folder.AddFile("p1.tmp", PieceFile("FRONT", 300, -400, "TAB1"));
  folder.AddFile("p2.tmp", PieceFile("BACK", 500, 600, "TAB2"));
  folder.AddFile("p3.tmp", PieceFile("CUT", 1, 2).substr(0, 54 + 50));
  folder.AddFile("t1.tmp", TableFile("TAB1", 7));
  std::filesystem::create_directory(folder / "dir.tmp");
  const std::vector<GgtExportFile> pieceFiles = {
      FileAt(folder, "p1.tmp", "FRONT"),  FileAt(folder, "dir.tmp", "DIR"), FileAt(folder, "p2.tmp", "BACK"),
      FileAt(folder, "gone.tmp", "GONE"), FileAt(folder, "t1.tmp", "TAB1"), FileAt(folder, "p3.tmp", "CUT")};
  const std::vector<GgtExportFile> tables = {FileAt(folder, "t1.tmp", "TAB1")};

  CModel model;
  BuildModelFromPieceFiles(model, pieceFiles, tables);
  EXPECT_EQ(PieceNames(model), (std::vector<std::string>{"FRONT", "BACK", "CUT"}));
  EXPECT_EQ(model.pieceCount, 3);
  ASSERT_EQ(model.pieces.size(), 3u);
  const CPiece& front = *model.pieces[0];
  ASSERT_TRUE(front.body);
  EXPECT_EQ(front.body->name, CString("FRONT"));
  EXPECT_EQ(front.body->text1, CString("piece text 1"));
  ASSERT_EQ(front.body->outline.size(), 2u);
  EXPECT_EQ(front.body->outline[1].x, 300);
  EXPECT_EQ(front.body->outline[1].y, -400);
  EXPECT_TRUE(front.extraBlock);
  ASSERT_TRUE(front.ruleTable);
  EXPECT_EQ(front.ruleTable->rules[0].number, 7);
  EXPECT_EQ(SecondX(*model.pieces[1]), 500);
  EXPECT_FALSE(model.pieces[1]->ruleTable);
  EXPECT_EQ(model.pieces[1]->ruleTableFound, 0);
  // A record cut short keeps the piece, without its record.
  EXPECT_FALSE(model.pieces[2]->body);
}

// A style file of these entries and model codes; `entryCount` may lie.
std::string StyleFile(uint16_t entryCount, const std::vector<std::string>& entries,
                      const std::vector<std::string>& codes) {
  return gf::ExportFile("STYLE", kGgtStyleFile, gf::StyleData(entryCount, entries, codes));
}

struct StyleFolder {
  // Writes the style file and the piece files (name, x of the second point).
  StyleFolder(const std::string& style, const std::vector<std::pair<std::string, int32_t>>& pieces) {
    folder.AddFile("style.tmp", style);
    for (size_t i = 0; i < pieces.size(); ++i) {
      std::string fileName = "p" + std::to_string(i) + ".tmp";
      folder.AddFile(fileName, PieceFile(pieces[i].first, pieces[i].second, 1));
    }
    files = ScanGgtExportFolder(CString(folder.path()));
  }
  int Read(CModel& model) const {
    GgtExportFile style;
    style.path = CString(folder / "style.tmp");
    style.name = "STYLE";
    return ReadStyle(model, style, "Chosen style", files);
  }
  TempFolder folder{"zv_gerber_export"};
  GgtExportFolder files;
};

TEST(GerberExportTest, ReadsTheStyleEntriesAndDropsTheOneWithoutAFile) {
  StyleFolder style(StyleFile(4,
                              {gf::PieceEntry("FRONT", '+', 0, 2), gf::PieceEntry("SLEEVE", '+', 5),
                               gf::PieceEntry("MISSING"), gf::PieceEntry("BACK")},
                              {"CODE123", "CODE456"}),
                    {{"BACK", 30}, {"FRONT", 10}, {"SLEEVE", 20}});
  CModel model;
  ASSERT_EQ(style.Read(model), 1);
  EXPECT_EQ(model.modelName, CString("Chosen style"));
  EXPECT_EQ(model.value84, 138);
  ASSERT_EQ(model.modelCodes.size(), 2u);
  EXPECT_EQ(model.modelCodes[0].code, CString("CODE123"));
  EXPECT_EQ(model.modelCodes[1].code, CString("CODE456"));
  EXPECT_EQ(PieceNames(model), (std::vector<std::string>{"FRONT", "SLEEVE", "BACK"}));
  EXPECT_EQ(model.pieceCount, 3);
  ASSERT_EQ(model.pieces.size(), 3u);

  // Entries of 41 (extended), 30 (switch not 0) and 29 bytes.
  const CPiece& front = *model.pieces[0];
  EXPECT_EQ(front.byteA, 'a');
  EXPECT_EQ(front.byteB, '+');
  EXPECT_EQ(front.code, CString("PCFRON"));
  EXPECT_EQ(front.CopyCount(), 2);
  EXPECT_EQ(front.text4, CString("T4T4"));
  const CPiece& sleeve = *model.pieces[1];
  EXPECT_EQ(sleeve.byteB, '+');
  EXPECT_EQ(sleeve.extension[0], 0);
  EXPECT_EQ(sleeve.text4, CString(""));
  const CPiece& back = *model.pieces[2];
  EXPECT_EQ(back.byteB, 'N');
  EXPECT_EQ(back.code, CString("PCBACK"));

  // Each piece read its own file.
  EXPECT_EQ(SecondX(front), 10);
  EXPECT_EQ(SecondX(sleeve), 20);
  EXPECT_EQ(SecondX(back), 30);
  EXPECT_EQ(back.body->name, CString("BACK"));
}

TEST(GerberExportTest, StyleWithoutEntriesReadsNoModelCodes) {
  // A style file cut before its entries' offset holds no entries either.
  const std::string kStyles[] = {StyleFile(0, {}, {"CODE123"}),
                                 StyleFile(1, {gf::PieceEntry("FRONT")}, {"CODE123"}).substr(0, 153)};
  for (const std::string& file : kStyles) {
    SCOPED_TRACE(file.size());
    StyleFolder style(file, {{"FRONT", 10}});
    CModel model;
    ASSERT_EQ(style.Read(model), 1);
    EXPECT_EQ(model.modelName, CString("Chosen style"));
    EXPECT_TRUE(model.pieces.empty());
    EXPECT_EQ(model.pieceCount, 0);
    EXPECT_TRUE(model.modelCodes.empty());
  }
}

TEST(GerberExportTest, StyleEntriesStopAtTheLastWholeOne) {
  StyleFolder style(StyleFile(5, {gf::PieceEntry("FRONT", '+', 0, 2), gf::PieceEntry("BACK")}, {"CODE123"}),
                    {{"FRONT", 10}, {"BACK", 30}});
  CModel model;
  ASSERT_EQ(style.Read(model), 1);
  EXPECT_EQ(PieceNames(model), (std::vector<std::string>{"FRONT", "BACK"}));
  EXPECT_EQ(model.pieceCount, 2);
  EXPECT_EQ(SecondX(*model.pieces[1]), 30);
}

TEST(GerberExportTest, EntriesOfOneNameGetOneFileEach) {
  {
    SCOPED_TRACE("two files");
    StyleFolder style(StyleFile(2, {gf::PieceEntry("DUP"), gf::PieceEntry("DUP")}, {}), {{"DUP", 1}, {"DUP", 2}});
    CModel model;
    ASSERT_EQ(style.Read(model), 1);
    ASSERT_EQ(model.pieces.size(), 2u);
    EXPECT_EQ(SecondX(*model.pieces[0]), 1);
    EXPECT_EQ(SecondX(*model.pieces[1]), 2);
  }
  {
    SCOPED_TRACE("one file, listed twice");
    StyleFolder style(StyleFile(3, {gf::PieceEntry("DUP"), gf::PieceEntry("DUP"), gf::PieceEntry("OTHER")}, {}),
                      {{"DUP", 1}, {"OTHER", 3}});
    style.files.pieces.insert(style.files.pieces.begin(), style.files.pieces[0]);
    CModel model;
    ASSERT_EQ(style.Read(model), 1);
    EXPECT_EQ(PieceNames(model), (std::vector<std::string>{"DUP", "OTHER"}));
    EXPECT_EQ(model.pieceCount, 2);
    EXPECT_EQ(SecondX(*model.pieces[0]), 1);
    EXPECT_EQ(SecondX(*model.pieces[1]), 3);
  }
}

TEST(GerberExportTest, StyleThatIsNotAStyleFileIsRefused) {
  StyleFolder style(PieceFile("STYLE", 1, 2), {{"FRONT", 10}});
  CModel model;
  EXPECT_EQ(style.Read(model), 0);
  EXPECT_TRUE(model.pieces.empty());
  GgtExportFile missing;
  missing.path = CString(style.folder / "missing.tmp");
  EXPECT_EQ(ReadStyle(model, missing, "X", style.files), 0);
}

TEST(GerberExportTest, StyleEntriesOfEveryTruncationReadOnlyWholeEntries) {
  const std::string data = StyleFile(3,
                                     {gf::PieceEntry("FRONT", '+', 0, 2), gf::PieceEntry("SLEEVE", '+', 5),
                                      gf::PieceEntry("BACK")},
                                     {"CODE123", "CODE456"});
  // Entries end at 154 + 41, + 30, + 29; the codes follow.
  const size_t kEntryEnds[] = {154 + 41, 154 + 71, 154 + 100};
  for (size_t length = 0; length <= data.size(); ++length) {
    SCOPED_TRACE(length);
    GgtStyleEntries entries;
    bool ok = ReadGgtStyleEntries(std::string_view(data).substr(0, length), entries);
    EXPECT_EQ(ok, length >= 154);
    size_t whole = 0;
    for (size_t end : kEntryEnds) whole += length >= end ? 1 : 0;
    EXPECT_EQ(entries.pieces.size(), whole);
    size_t codes = 0;
    if (whole == 3) codes = (length - kEntryEnds[2]) / 7;
    EXPECT_EQ(entries.modelCodes.size(), codes);
  }
}

TEST(GerberExportTest, NegativeCountsReadNothing) {
  struct Case {
    uint16_t pieces;
    uint16_t codes;
    size_t piecesRead;
    size_t codesRead;
  };
  const Case kCases[] = {{0xFFFF, 1, 0, 0}, {0x8000, 1, 0, 0}, {1, 0xFFFF, 1, 0}, {1, 1, 1, 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.pieces) + " " + std::to_string(c.codes));
    std::string data = StyleFile(c.pieces, {gf::PieceEntry("FRONT")}, {"CODE123"});
    data[136] = static_cast<char>(c.codes & 0xFF);
    data[137] = static_cast<char>(c.codes >> 8);
    GgtStyleEntries entries;
    ASSERT_TRUE(ReadGgtStyleEntries(data, entries));
    EXPECT_EQ(entries.values[0], c.pieces);
    EXPECT_EQ(entries.values[1], c.codes);
    EXPECT_EQ(entries.values[2], 138);
    EXPECT_EQ(entries.pieces.size(), c.piecesRead);
    EXPECT_EQ(entries.modelCodes.size(), c.codesRead);
  }
}

TEST(GerberExportTest, ZipPathBuildsAModelOnlyFromPieceFiles) {
  TempFolder folder("zv_gerber_export");
  folder.AddFile("style.tmp", StyleFile(1, {gf::PieceEntry("FRONT")}, {}));
  folder.AddFile("table.tmp", TableFile("TAB1", 1));
  EXPECT_EQ(ReadGgtExportFiles(CString(folder.path())), nullptr);

  folder.AddFile("P2.TMP", PieceFile("FRONT", 10, 1));
  folder.AddFile("p1.tmp", PieceFile("BACK", 20, 1));
  std::unique_ptr<CModel> model = ReadGgtExportFiles(CString(folder.path()));
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->modelName, CString(""));
  EXPECT_EQ(PieceNames(*model), (std::vector<std::string>{"BACK", "FRONT"}));
  EXPECT_EQ(model->pieceCount, 2);
  ASSERT_EQ(model->pieces.size(), 2u);
  ASSERT_TRUE(model->pieces[0]->ruleTable);
  EXPECT_EQ(model->pieces[0]->ruleTable->rules[0].number, 1);
  EXPECT_EQ(SecondX(*model->pieces[1]), 10);
}

}  // namespace
