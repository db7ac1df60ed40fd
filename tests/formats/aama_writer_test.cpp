#include "formats/aama_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <bit>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/aama_reader.h"
#include "formats/aama_rul_writer.h"
#include "formats/dxf_output.h"
#include "model/item_factory.h"
#include "model/items/text_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/clock.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/model/support/all_items_fixture.h"
#include "tests/support/clean_style.h"
#include "tests/support/dxf_audit.h"
#include "tests/support/file_bytes.h"
#include "tests/support/message_texts.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"

namespace {

namespace fs = std::filesystem;

constexpr time_t kFeb3rd2001 = 981173106;  // 02-03-2001 04:05:06 UTC

// The lines of a file written with CR LF endings; a line that ends without
// CR is reported as "<no CR>".
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t lf = bytes.find('\n', at);
    const size_t end = lf == std::string::npos ? bytes.size() : lf;
    if (end == at || bytes[end - 1] != '\r') {
      lines.push_back("<no CR>");
    } else {
      lines.push_back(bytes.substr(at, end - 1 - at));
    }
    at = end + 1;
  }
  return lines;
}

// One DXF entity: its type and its group-code/value pairs.
struct Entity {
  std::string type;
  std::vector<std::pair<int, std::string>> groups;
  std::string Value(int code, int nth = 0) const {
    for (const auto& [c, v] : groups) {
      if (c == code && nth-- == 0) return v;
    }
    return "";
  }
  double Number(int code, int nth = 0) const { return std::stod(Value(code, nth)); }
};

// The entities of a DXF file, each with the name of the block it is in
// (empty in the entities section).
std::vector<std::pair<std::string, Entity>> Entities(const std::string& bytes) {
  const std::vector<std::string> lines = Lines(bytes);
  std::vector<std::pair<std::string, Entity>> entities;
  std::string block;
  for (size_t i = 0; i + 1 < lines.size(); i += 2) {
    const int code = std::stoi(lines[i]);
    if (code == 0) {
      if (lines[i + 1] == "ENDBLK") block.clear();
      entities.push_back({block, Entity{lines[i + 1], {}}});
    } else if (!entities.empty()) {
      entities.back().second.groups.emplace_back(code, lines[i + 1]);
      if (code == 2 && entities.back().second.type == "BLOCK") block = lines[i + 1];
    }
  }
  return entities;
}

// The texts (group 1) of the TEXT entities of a block.
std::vector<std::string> TextsOf(const std::string& bytes, const std::string& block) {
  std::vector<std::string> texts;
  for (const auto& [in, e] : Entities(bytes)) {
    if (in == block && e.type == "TEXT") texts.push_back(e.Value(1));
  }
  return texts;
}

int CountEntities(const std::string& bytes, const std::string& type) {
  int n = 0;
  for (const auto& [in, e] : Entities(bytes)) n += e.type == type;
  return n;
}

// A style with sizes appended to the ring in this order (the first is the
// base size) with these sort keys.
void AddSizes(const std::vector<std::pair<const char*, double>>& sizes) {
  for (const auto& [name, key] : sizes) g_Style.AddSize(new CSizeRecord(name, key, 0, 0, 1));
  g_Style.SortSizes();
}

// A graded vertex: size s of the ring at (x, y) + (SortKey1 of s − SortKey1
// of the base) × grade.
CVertexNode* AddGraded(CPieceItem* item, int x, int y, int kind, int gradeX = 0, int gradeY = 0) {
  CVertexNode* main = item->AddTailVertex(x, y, static_cast<uint32_t>(kind));
  const double base = g_Style.SizeRing->SortKey1;
  CSizeRecord* size = g_Style.SizeRing->Next;
  for (int s = 1; s < g_Style.SizeCount; ++s, size = size->Next) {
    const int steps = static_cast<int>(size->SortKey1 - base);
    item->AddTailVertex(x + steps * gradeX, y + steps * gradeY, kVertexKindCopy);
  }
  return main;
}

struct GradedCorner {
  int x, y, kind, gx, gy;
};

// A piece with an outline through the corners and, unless `grainFrom` equals
// `grainTo`, a grain line between the two points (graded too, which the file
// does not carry).
CPieceRecord* AddPiece(const char* name, const std::vector<GradedCorner>& outline, CPoint grainFrom = {},
                       CPoint grainTo = {}, int quantity = 1) {
  auto* piece = new CPieceRecord;
  piece->PieceName = name;
  piece->Quantity = quantity;
  std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(0);
  CPieceItem* item = ownedItem.get();
  for (const GradedCorner& c : outline) AddGraded(item, c.x, c.y, c.kind, c.gx, c.gy);
  piece->AddItem(ownedItem.release());
  if (grainFrom.x != grainTo.x || grainFrom.y != grainTo.y) {
    std::unique_ptr<CPieceItem> ownedGrain = CreatePieceItem(1);
    CPieceItem* grain = ownedGrain.get();
    AddGraded(grain, grainFrom.x, grainFrom.y, 0, 4, 0);
    AddGraded(grain, grainTo.x, grainTo.y, 0, 4, 10);
    piece->AddItem(ownedGrain.release());
  }
  piece->UpdateCurveItems();
  piece->Recalc(1);
  g_Style.AddPiece(piece);
  return piece;
}

// A front of 100 x 160 mm with a curved hem, graded by 0.5 mm and 1 mm a
// size, and a plain back of 80 x 80 mm; five sizes with the base (M) third in
// sorted order, or M alone.
void BuildGradedStyle(bool oneSize = false) {
  g_Style.StyleName = "SHIRT";
  if (oneSize) {
    AddSizes({{"M", 3}});
  } else {
    AddSizes({{"M", 3}, {"XS", 1}, {"S", 2}, {"L", 4}, {"XL", 5}});
  }
  AddPiece("FRONT",
           {{0, 0, 0, -20, -20}, {4000, 0, 0, 20, -20}, {4000, 6400, 0, 20, 40}, {2000, 6800, 3, 0, 40},
            {0, 6400, 0, -20, 40}},
           {2000, 1000}, {2000, 5000}, 2);
  AddPiece("BACK", {{0, 0, 0, 0, 0}, {3200, 0, 0, 40, 0}, {3200, 3200, 0, 40, 40}, {0, 3200, 0, 0, 40}},
           {1600, 400}, {1600, 2800});
}

// Puts a copy of `piece` in the work area, linked both ways to it, as picking
// the piece into the work area does.
CPieceRecord* AddLinkedWorkCopy(CPieceRecord* piece) {
  CPieceRecord* copy = DuplicatePiece(piece).release();
  g_Style.AddWorkPiece(copy);
  piece->Linked = 1;
  piece->Link = copy;
  copy->Link = piece;
  return copy;
}

class AamaWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStyleAndSettings();
    SetFixedCurrentTime(kFeb3rd2001);
    previous_ = SetPrompts(&prompts_);
  }
  void TearDown() override {
    SetPrompts(previous_);
    ClearFixedCurrentTime();
    ResetStyleAndSettings();
  }

  int Save(const std::string& path, DialogScript script = DialogScript(IDD_AAMA_SAVE)) {
    prompts_.RunOptionsDialog(std::move(script));
    return SaveAamaFile(path.c_str());
  }

  std::vector<CString> Messages() const { return MessageTexts(prompts_); }

  ScriptedPrompts prompts_;
  IPrompts* previous_ = nullptr;
  TempFolder folder_{"zv_aama_out"};
};

// What a round trip keeps of a piece: its quantity and, for each size name,
// the outline's main vertices relative to the base size's lowest corner,
// sorted (the reader may start the ring elsewhere and moves pieces).
struct PieceShape {
  int quantity = 0;
  std::map<std::string, std::vector<std::pair<int, int>>> sizes;
};

std::map<std::string, PieceShape> ShapesOfStyle() {
  std::map<std::string, PieceShape> shapes;
  CPieceRecord* piece = g_Style.PieceRing;
  for (int p = 0; p < g_Style.PieceCount && piece; ++p, piece = piece->Next) {
    PieceShape& shape = shapes[piece->PieceName.str()];
    shape.quantity = piece->Quantity;
    CPieceItem* outline = nullptr;
    if (!piece->FindItem(0, &outline)) continue;
    int minX = INT32_MAX, minY = INT32_MAX;
    for (const CPoint& pt : outline->MainVertexPositions(0)) {
      minX = std::min(minX, pt.x);
      minY = std::min(minY, pt.y);
    }
    for (int k = 0; k < g_Style.SizeCount; ++k) {
      std::vector<std::pair<int, int>>& points = shape.sizes[g_Style.SizeAt(k)->Name.str()];
      for (const CPoint& pt : outline->MainVertexPositions(k)) points.emplace_back(pt.x - minX, pt.y - minY);
      std::sort(points.begin(), points.end());
    }
  }
  return shapes;
}

std::vector<std::string> SortedSizeNames() {
  std::vector<std::string> names;
  for (const CSizeRecord* size : g_Style.SizeArray) names.push_back(size->Name.str());
  return names;
}

// A graded style written with its rule table and read back by the AAMA
// reader has the same sizes, pieces, quantities and outlines in every size.
//
// What the format does not carry, and the reader therefore cannot give back:
// the grading of the grain line (it is written where the base size has it,
// for every size); the piece's category and description (written as block
// texts that the reader keeps as text items only when asked to); the vertex
// kinds of curve points without a rule number; the sizes' sort keys and
// colours (the reader makes its own from the size list); the smoothed curve
// between vertices (written only with "add control points", as plain
// vertices then).
TEST_F(AamaWriterTest, RoundTripThroughTheReader) {
  BuildGradedStyle();
  g_Style.PieceRing->Category = "SHELL";
  const std::map<std::string, PieceShape> written = ShapesOfStyle();
  const std::vector<std::string> sizeNames = SortedSizeNames();
  ASSERT_EQ(sizeNames, (std::vector<std::string>{"XS", "S", "M", "L", "XL"}));

  const std::string path = folder_ / "shirt.dxf";
  ASSERT_EQ(Save(path), 1);
  EXPECT_TRUE(fs::exists(folder_ / "shirt.rul"));
  EXPECT_DXF_AUDIT_OK(path);

  ClearStyle();
  prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN));
  ASSERT_EQ(ReadAamaFile(path.c_str(), 0, 0), AamaReadResult::kSuccess);
  EXPECT_EQ(prompts_.unscripted_count(), 0);
  EXPECT_EQ(g_Style.StyleName, "SHIRT");
  EXPECT_EQ(g_Style.SizeRing->Name, "M");
  EXPECT_EQ(SortedSizeNames(), sizeNames);
  const std::map<std::string, PieceShape> read = ShapesOfStyle();
  ASSERT_EQ(read.size(), written.size());
  for (const auto& [name, shape] : written) {
    SCOPED_TRACE(name);
    ASSERT_EQ(read.count(name), 1u);
    const PieceShape& back = read.at(name);
    EXPECT_EQ(back.quantity, shape.quantity);
    for (const auto& [size, points] : shape.sizes) {
      SCOPED_TRACE(size);
      ASSERT_EQ(back.sizes.count(size), 1u);
      const std::vector<std::pair<int, int>>& got = back.sizes.at(size);
      ASSERT_EQ(got.size(), points.size());
      for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(got[i].first, points[i].first, 1) << i;
        EXPECT_NEAR(got[i].second, points[i].second, 1) << i;
      }
    }
  }
  // Not carried: the category.
  EXPECT_TRUE(g_Style.PieceRing->Category.IsEmpty());
}


// The vertices (x, y) of the first POLYLINE of a block.
std::vector<std::pair<double, double>> FirstPolyline(const std::string& bytes, const std::string& block) {
  std::vector<std::pair<double, double>> points;
  bool in = false;
  for (const auto& [name, e] : Entities(bytes)) {
    if (name != block) continue;
    if (e.type == "POLYLINE") {
      if (in) break;
      in = true;
    } else if (e.type == "SEQEND" && in) {
      break;
    } else if (e.type == "VERTEX" && in) {
      points.emplace_back(e.Number(10), e.Number(20));
    }
  }
  return points;
}

std::vector<std::string> BlockNames(const std::string& bytes) {
  std::vector<std::string> names;
  for (const auto& [in, e] : Entities(bytes)) {
    if (e.type == "BLOCK") names.push_back(e.Value(2));
  }
  return names;
}

std::vector<std::string> InsertNames(const std::string& bytes) {
  std::vector<std::string> names;
  for (const auto& [in, e] : Entities(bytes)) {
    if (e.type == "INSERT") names.push_back(e.Value(2));
  }
  return names;
}

// The options for the sizes: what the dialog remembered, and what is then
// written.
TEST_F(AamaWriterTest, SizesAndTheRuleTable) {
  struct Case {
    const char* what;
    bool oneSize;
    int sizes;
    int gradeToRul;
    int controlPoints;
    std::vector<std::string> blocks;
    bool ruleFile;
    const char* tableLine;
    bool smoothed;  // the outline written through its smoothed curve
  };
  const std::vector<std::string> kBase = {"FRONT_M", "BACK_M"};
  const std::vector<std::string> kAll = {"FRONT_XS", "FRONT_S", "FRONT_M", "FRONT_L", "FRONT_XL",
                                         "BACK_XS",  "BACK_S",  "BACK_M",  "BACK_L",  "BACK_XL"};
  const Case kCases[] = {
      {"all sizes to the rule table", false, 0, 1, 0, kBase, true, "Grade Rule Table: shirt", false},
      {"all sizes drawn out", false, 0, 0, 1, kAll, false, "Grade Rule Table: ", false},
      {"base size only", false, 1, 1, 1, kBase, false, "Grade Rule Table: ", true},
      {"one size, all sizes", true, 0, 1, 1, kBase, false, "Grade Rule Table: ", true},
      {"one size, base size only", true, 1, 0, 1, kBase, false, "Grade Rule Table: ", true},
      {"rule table with control points", false, 0, 1, 1, kBase, true, "Grade Rule Table: shirt", true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ClearStyle();
    RestoreDefaultSettings();
    BuildGradedStyle(c.oneSize);
    g_AamaOptSizes = c.sizes;
    g_AamaOptGradeToRul = c.gradeToRul;
    g_AamaOptControlPoints = c.controlPoints;
    TempFolder folder("zv_aama_sizes");
    const std::string path = folder / "shirt.dxf";
    ASSERT_EQ(Save(path), 1);
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(BlockNames(bytes), c.blocks);
    EXPECT_EQ(InsertNames(bytes), c.blocks);
    EXPECT_EQ(fs::exists(folder / "shirt.rul"), c.ruleFile);
    const std::vector<std::string> header = TextsOf(bytes, "");
    EXPECT_NE(std::find(header.begin(), header.end(), c.tableLine), header.end());
    // The front's outline has five vertices; its smoothed hem has more points.
    EXPECT_EQ(FirstPolyline(bytes, "FRONT_M").size() > 5, c.smoothed);
    // The options as chosen are what is remembered, whatever the rules made of them.
    EXPECT_EQ(g_AamaOptSizes, c.sizes);
    EXPECT_EQ(g_AamaOptControlPoints, c.controlPoints);
    EXPECT_DXF_AUDIT_OK(path);
  }
}

TEST_F(AamaWriterTest, BlockTextsAndHeaderTexts) {
  BuildGradedStyle();
  CPieceRecord* front = g_Style.PieceRing;
  front->Annotation = "LEFT";
  front->Category = "SHELL";
  const std::string path = folder_ / "s.dxf";
  ASSERT_EQ(Save(path), 1);
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(TextsOf(bytes, "FRONT_M"), (std::vector<std::string>{"PIECE NAME: FRONT", "ANNOTATION: LEFT",
                                                                  "CATEGORY: SHELL", "QUANTITY: 2", "SIZE: M",
                                                                  "# 2", "# 6", "# 5", "# 4", "# 3"}));
  EXPECT_EQ(TextsOf(bytes, "BACK_M")[2], "CATEGORY: A");
  EXPECT_EQ(TextsOf(bytes, ""),
            (std::vector<std::string>{"Style Name: SHIRT", "Creation Date: 02-03-2001", "Creation Time: 04:05:06",
                                      "Author: ZORVEK TECHNOLOGY", "PRODUCT: ZV-KOV", "VERSION: V5.0",
                                      "Sample Size: M", "Grade Rule Table: s", "Units: METRIC",
                                      "TOLERANCE: .0001"}));
  // Every line ends in CR LF.
  for (const std::string& line : Lines(bytes)) ASSERT_NE(line, "<no CR>");
  const std::string end = "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
  EXPECT_DXF_AUDIT_OK(path);
}

// Texts from the style keep their GBK bytes unless the dialog asks for plain
// characters; block names always lose the high bits. Bytes that lose their
// high bit to become a line end or a zero byte are dropped, so that no name
// or text splits its line.
TEST_F(AamaWriterTest, TextMode) {
  struct Case {
    const char* name;
    int mode;
    const char* block;
    const char* pieceText;
  };
  const Case kCases[] = {
      // 前片, front piece.
      {"\xC7\xB0\xC6\xAC", 0, "G0F,_M", "PIECE NAME: \xC7\xB0\xC6\xAC"},
      {"\xC7\xB0\xC6\xAC", 1, "G0F,_M", "PIECE NAME: G0F,"},
      // 鐘實個 (E7 8A, 8C 8D, 82 80): LF, CR and NUL once stripped.
      {"\xE7\x8A\x8C\x8D\x82\x80", 0, "g\x0C\x02_M", "PIECE NAME: \xE7\x8A\x8C\x8D\x82\x80"},
      {"\xE7\x8A\x8C\x8D\x82\x80", 1, "g\x0C\x02_M", "PIECE NAME: g\x0C\x02"},
      // A line break in a name.
      {"FRONT\r\nLEFT", 0, "FRONTLEFT_M", "PIECE NAME: FRONTLEFT"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.block << " mode " << c.mode);
    ClearStyle();
    BuildGradedStyle(true);
    g_Style.PieceRing->PieceName = c.name;
    g_Style.StyleName = c.name;
    g_AamaOptText = c.mode;
    const std::string path = folder_ / "t.dxf";
    ASSERT_EQ(Save(path), 1);
    const std::string bytes = ReadFile(path);
    for (const std::string& line : Lines(bytes)) ASSERT_NE(line, "<no CR>");
    ASSERT_EQ(BlockNames(bytes)[0], c.block);
    EXPECT_EQ(InsertNames(bytes)[0], c.block);
    ASSERT_FALSE(TextsOf(bytes, c.block).empty());
    EXPECT_EQ(TextsOf(bytes, c.block)[0], c.pieceText);
    EXPECT_EQ(TextsOf(bytes, "")[0], "Style Name: " + std::string(c.pieceText).substr(12));
    EXPECT_DXF_AUDIT_OK(path);
  }
}

// Inches while the screen shows inches, else millimetres: the divisor, the
// text height and line step, the units texts and where the INSERTs start.
TEST_F(AamaWriterTest, UnitsOfTheFile) {
  struct Case {
    int unitMode;
    const char* unitsText;
    const char* rulUnits;
    const char* height;
    const char* firstInsertX;
    // The front spans 102 mm over all its sizes (XS 1 mm further left, XL 1
    // mm further right); its base corner lies 101 mm from that left edge;
    // the grain line's middle lies 97 mm up, the piece name 3 + 1 steps
    // above it.
    const char* secondInsertX;
    const char* cornerX;
    const char* pieceNameY;
  };
  const Case kCases[] = {
      {3, "Units: METRIC", "UNITS: METRIC", "2.0000", "127.0000", "229.0000", "101.0000", "109.0000"},
      {2, "Units: METRIC", "UNITS: METRIC", "2.0000", "127.0000", "229.0000", "101.0000", "109.0000"},
      {4, "Units: METRIC", "UNITS: METRIC", "2.0000", "127.0000", "229.0000", "101.0000", "109.0000"},
      {1, "Units: ENGLISH", "UNITS: ENGLISH", "0.1000", "5.0000", "9.0157", "3.9764", "4.3789"},
      {0, "Units: ENGLISH", "UNITS: ENGLISH", "0.1000", "5.0000", "9.0157", "3.9764", "4.3789"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.unitMode);
    ClearStyle();
    BuildGradedStyle();
    g_UnitMode = c.unitMode;
    const std::string path = folder_ / "u.dxf";
    ASSERT_EQ(Save(path), 1);
    const std::string bytes = ReadFile(path);
    const std::vector<std::string> header = TextsOf(bytes, "");
    ASSERT_EQ(header.size(), 10u);
    EXPECT_EQ(header[8], c.unitsText);
    EXPECT_NE(ReadFile(folder_ / "u.rul").find(std::string(c.rulUnits) + "\r\n"), std::string::npos);
    std::vector<Entity> inserts;
    for (const auto& [in, e] : Entities(bytes)) {
      if (e.type == "INSERT") inserts.push_back(e);
      if (e.type == "TEXT" && e.Value(1) == "PIECE NAME: FRONT") {
        EXPECT_EQ(e.Value(40), c.height);
        EXPECT_EQ(e.Value(20), c.pieceNameY);
      }
    }
    ASSERT_EQ(inserts.size(), 2u);
    EXPECT_EQ(inserts[0].Value(10), c.firstInsertX);
    EXPECT_EQ(inserts[1].Value(10), c.secondInsertX);
    const std::vector<std::pair<double, double>> outline = FirstPolyline(bytes, "FRONT_M");
    ASSERT_FALSE(outline.empty());
    double maxX = 0;
    for (const auto& [x, y] : outline) maxX = std::max(maxX, x);
    EXPECT_EQ(FormatDxfNumber(static_cast<float>(maxX)), c.cornerX);
    EXPECT_DXF_AUDIT_OK(path);
  }
}

TEST_F(AamaWriterTest, SizeNames) {
  struct Case {
    std::vector<const char*> names;  // ring order = sorted order here
    std::vector<const char*> fixed;
  };
  const Case kCases[] = {
      {{"M", "M"}, {"M", "M2"}},
      {{"", "", ""}, {"SIZE1", "SIZE2", "SIZE3"}},
      {{"", "", "", "", "", "", "", "", "", "", ""},
       {"SIZE1", "SIZE2", "SIZE3", "SIZE4", "SIZE5", "SIZE6", "SIZE7", "SIZE8", "SIZE9", "SIZEa", "SIZEb"}},
      {{"M", "M", "M2"}, {"M", "M2", "M23"}},
      {{"S", "M", "S", "M"}, {"S", "M", "S3", "M4"}},
      {{"SIZE2", ""}, {"SIZE2", "SIZE22"}},
  };
  for (const Case& c : kCases) {
    ClearStyle();
    for (size_t i = 0; i < c.names.size(); ++i) g_Style.AddSize(new CSizeRecord(c.names[i], i, 0, 0, 1));
    g_Style.SortSizes();
    FixAamaSizeNames();
    std::vector<std::string> got;
    for (const CSizeRecord* size : g_Style.SizeArray) got.push_back(size->Name.str());
    EXPECT_EQ(got, std::vector<std::string>(c.fixed.begin(), c.fixed.end()));
  }
  // A sorted array that lists a size twice (and so misses one) is rebuilt
  // from the ring before any name is looked at.
  ClearStyle();
  AddSizes({{"", 1}, {"", 2}});
  g_Style.SizeArray[1] = g_Style.SizeArray[0];
  FixAamaSizeNames();
  std::vector<std::string> got;
  for (const CSizeRecord* size : g_Style.SizeArray) got.push_back(size->Name.str());
  EXPECT_EQ(got, (std::vector<std::string>{"SIZE1", "SIZE2"}));
}

TEST_F(AamaWriterTest, PieceNames) {
  AddSizes({{"M", 1}});
  const char* kNames[] = {"Front", "", "Back", "Front", ""};
  for (const char* name : kNames) AddPiece(name, {{0, 0, 0, 0, 0}, {400, 0, 0, 0, 0}, {400, 400, 0, 0, 0}});
  // The fourth piece has a work-area copy.
  CPieceRecord* fourth = g_Style.PieceRing->Next->Next->Next;
  CPieceRecord* copy = AddLinkedWorkCopy(fourth);
  fourth->Annotation = "Back";
  g_Style.PieceRing->Next->Next->Annotation = "Back";

  FixAamaPieceNames(false);
  std::vector<std::string> names;
  CPieceRecord* piece = g_Style.PieceRing;
  for (int i = 0; i < g_Style.PieceCount; ++i, piece = piece->Next) names.push_back(piece->PieceName.str());
  EXPECT_EQ(names, (std::vector<std::string>{"Front", "Piece2", "Back", "Front4", "Piece5"}));
  EXPECT_EQ(copy->PieceName, "Front4");

  // With the description as name the descriptions are named and made
  // distinct too; the names stay distinct.
  FixAamaPieceNames(true);
  std::vector<std::string> descriptions;
  piece = g_Style.PieceRing;
  for (int i = 0; i < g_Style.PieceCount; ++i, piece = piece->Next) descriptions.push_back(piece->Annotation.str());
  EXPECT_EQ(descriptions, (std::vector<std::string>{"Piece1", "Piece2", "Back", "Back4", "Piece5"}));
  EXPECT_EQ(copy->Annotation, "Back4");
  EXPECT_EQ(copy->PieceName, "Front4");

  // A count larger than the ring names each piece once and ends.
  g_Style.PieceCount += 3;
  FixAamaPieceNames(false);
  g_Style.PieceCount -= 3;
  EXPECT_EQ(g_Style.PieceRing->PieceName, "Front");
  EXPECT_EQ(g_Style.PieceRing->Next->PieceName, "Piece2");
}

// The names a save makes distinct, or gives to unnamed pieces, are the
// file's only: the style keeps every piece's name and description, its
// work-area copies' too. The file is the one a style renamed beforehand
// writes.
TEST_F(AamaWriterTest, PieceNamesAreMadeDistinctInTheFileOnly) {
  struct Case {
    int descAsName;
    int allPieces;
    std::vector<std::string> blocks;
  };
  const Case kCases[] = {
      {0, 1, {"SLEEVE_M", "SLEEVE2_M", "G0F,_M", "Piece4_M"}},
      {1, 1, {"CUFF_M", "CUFF2_M", "Piece3_M", "Piece4_M"}},
      {0, 0, {"SLEEVE2_M"}},
  };
  // 前片, front piece, in GBK.
  const std::string kGbkName = "\xC7\xB0\xC6\xAC";
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "description as name " << c.descAsName << ", all pieces " << c.allPieces);
    ClearStyle();
    AddSizes({{"M", 1}, {"L", 2}});
    const std::vector<GradedCorner> square = {{0, 0, 0, 0, 0}, {400, 0, 0, 40, 0}, {400, 400, 0, 40, 40}};
    const char* kNames[] = {"SLEEVE", "SLEEVE", kGbkName.c_str(), ""};
    const char* kDescriptions[] = {"CUFF", "CUFF", "", ""};
    for (size_t i = 0; i < 4; ++i) AddPiece(kNames[i], square)->Annotation = kDescriptions[i];
    CPieceRecord* second = g_Style.PieceRing->Next;
    CPieceRecord* copy = AddLinkedWorkCopy(second);
    auto labels = [&] {
      std::vector<std::string> texts;
      CPieceRecord* piece = g_Style.PieceRing;
      for (int i = 0; i < g_Style.PieceCount; ++i, piece = piece->Next) {
        texts.push_back(piece->PieceName.str());
        texts.push_back(piece->Annotation.str());
      }
      texts.push_back(copy->PieceName.str());
      texts.push_back(copy->Annotation.str());
      return texts;
    };
    const std::vector<std::string> before = labels();
    ASSERT_EQ(before[4], kGbkName);

    g_AamaOptDescAsName = c.descAsName;
    g_AamaOptPieces = c.allPieces;
    const std::string path = folder_ / "n.dxf";
    ASSERT_EQ(Save(path), 1);
    EXPECT_EQ(labels(), before);
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(BlockNames(bytes), c.blocks);
    EXPECT_EQ(InsertNames(bytes), c.blocks);
    if (c.allPieces && !c.descAsName) {
      EXPECT_EQ(TextsOf(bytes, "G0F,_M")[0], "PIECE NAME: " + kGbkName);
      EXPECT_EQ(TextsOf(bytes, "SLEEVE2_M")[1], "ANNOTATION: CUFF");
    }
    const std::string rules = ReadFile(folder_ / "n.rul");

    // The style renamed in place, as the save once left it, writes the same
    // files.
    FixAamaPieceNames(c.descAsName != 0);
    ASSERT_NE(labels(), before);
    ASSERT_EQ(Save(path), 1);
    EXPECT_EQ(ReadFile(path), bytes);
    EXPECT_EQ(ReadFile(folder_ / "n.rul"), rules);
    EXPECT_DXF_AUDIT_OK(path);
  }
}

TEST_F(AamaWriterTest, DescriptionAsName) {
  BuildGradedStyle(true);
  g_Style.PieceRing->Annotation = "LEFT FRONT";
  g_AamaOptDescAsName = 1;
  const std::string path = folder_ / "d.dxf";
  ASSERT_EQ(Save(path), 1);
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(BlockNames(bytes), (std::vector<std::string>{"LEFT FRONT_M", "Piece2_M"}));
  const std::vector<std::string> texts = TextsOf(bytes, "LEFT FRONT_M");
  EXPECT_EQ(texts[0], "PIECE NAME: LEFT FRONT");
  EXPECT_EQ(texts[1], "CATEGORY: A");  // no annotation line
  EXPECT_DXF_AUDIT_OK(path);
}

// The grain line on layer 7 and the grade reference line on layer 5: along
// the grain line when it lies level, else a level line 2 units long from its
// start.
TEST_F(AamaWriterTest, GrainAndGradeReferenceLines) {
  struct Case {
    CPoint from, to;
    double referenceLength;
  };
  const Case kCases[] = {{{400, 2000}, {3600, 2000}, 80.0}, {{2000, 400}, {2000, 3600}, 2.0},
                         {{400, 400}, {3600, 3600}, 2.0}};
  for (const Case& c : kCases) {
    ClearStyle();
    AddSizes({{"M", 1}});
    AddPiece("P", {{0, 0, 0, 0, 0}, {4000, 0, 0, 0, 0}, {4000, 4000, 0, 0, 0}, {0, 4000, 0, 0, 0}}, c.from, c.to);
    const std::string path = folder_ / "g.dxf";
    ASSERT_EQ(Save(path), 1);
    const std::string bytes = ReadFile(path);
    std::vector<Entity> grain, reference;
    for (const auto& [in, e] : Entities(bytes)) {
      if (e.type == "LINE" && e.Value(8) == "7") grain.push_back(e);
      if (e.type == "LINE" && e.Value(8) == "5") reference.push_back(e);
    }
    ASSERT_EQ(grain.size(), 1u);
    ASSERT_EQ(reference.size(), 1u);
    EXPECT_EQ(reference[0].Value(10), grain[0].Value(10));
    EXPECT_EQ(reference[0].Value(20), grain[0].Value(20));
    EXPECT_EQ(reference[0].Value(21), reference[0].Value(20));
    EXPECT_DOUBLE_EQ(reference[0].Number(11) - reference[0].Number(10), c.referenceLength);
    EXPECT_DXF_AUDIT_OK(path);
  }
}

// Without a grain line the block texts start at the middle of the piece.
TEST_F(AamaWriterTest, NoGrainLineAnchorsTheTextsAtTheMiddle) {
  AddSizes({{"M", 1}});
  AddPiece("P", {{0, 0, 0, 0, 0}, {4000, 0, 0, 0, 0}, {4000, 2000, 0, 0, 0}, {0, 2000, 0, 0, 0}});
  const std::string path = folder_ / "n.dxf";
  ASSERT_EQ(Save(path), 1);
  const std::string bytes = ReadFile(path);
  for (const auto& [in, e] : Entities(bytes)) {
    if (in == "P_M" && e.type == "TEXT") {
      EXPECT_EQ(e.Value(1), "PIECE NAME: P");
      EXPECT_EQ(e.Value(10), "50.0000");
      EXPECT_EQ(e.Value(20), "28.0000");  // 25 mm up, then one line step
      break;
    }
  }
  EXPECT_DXF_AUDIT_OK(path);
}

// Two neighbouring vertices at one place would make an edge of no length:
// the second is moved 0.1 mm along x in the file (and only there). Each size
// is looked at on its own: in the second style the third vertex meets the
// second in size L only, where the vertices are 1 mm further right.
TEST_F(AamaWriterTest, CoincidentVerticesAreNudged) {
  struct Case {
    bool twoSizes;
    const char* block;
    double corner;  // x of the second vertex, in millimetres
    double other;   // where the third vertex is written
  };
  const Case kCases[] = {{false, "P_M", 100.0, 100.1}, {true, "P_M", 100.0, 99.0}, {true, "P_L", 101.0, 101.1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.block << (c.twoSizes ? " of two sizes" : ""));
    ClearStyle();
    CPieceRecord* piece = nullptr;
    if (c.twoSizes) {
      AddSizes({{"M", 1}, {"L", 2}});
      piece = AddPiece("P", {{0, 0, 0, 0, 0}, {4000, 0, 0, 40, 0}, {3960, 0, 0, 80, 0}, {4000, 2000, 0, 40, 0}});
    } else {
      AddSizes({{"M", 1}});
      piece = AddPiece("P", {{0, 0, 0, 0, 0}, {4000, 0, 0, 0, 0}, {4000, 0, 0, 0, 0}, {4000, 2000, 0, 0, 0}});
    }
    g_AamaOptGradeToRul = 0;
    const std::string path = folder_ / "c.dxf";
    ASSERT_EQ(Save(path), 1);
    const std::vector<std::pair<double, double>> points = FirstPolyline(ReadFile(path), c.block);
    ASSERT_EQ(points.size(), 4u);
    int atCorner = 0, other = 0;
    for (const auto& [x, y] : points) {
      if (y == 50.0 && std::abs(x - c.corner) < 1e-4) ++atCorner;
      if (y == 50.0 && std::abs(x - c.other) < 1e-4) ++other;
    }
    EXPECT_EQ(atCorner, 1);
    EXPECT_EQ(other, 1);
    // The style keeps its vertices.
    CPieceItem* outline = nullptr;
    ASSERT_TRUE(piece->FindItem(0, &outline));
    EXPECT_EQ(outline->MainVertexPositions(0)[2].x, c.twoSizes ? 3960 : 4000);
    EXPECT_DXF_AUDIT_OK(path);
  }
}

// A notch: its point on layer 4 with its depth (30) and width (39), or a
// line on layer 8, or nothing.
TEST_F(AamaWriterTest, NotchModes) {
  struct Case {
    int mode;
    int points;
    int lines;
  };
  const Case kCases[] = {{0, 1, 0}, {1, 0, 1}, {2, 0, 0}, {3, 0, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mode);
    ClearStyle();
    RestoreDefaultSettings();
    AddSizes({{"M", 1}, {"L", 2}});
    CPieceRecord* piece = AddPiece("P", {{0, 0, 0, 0, 0}, {4000, 0, 0, 40, 0}, {4000, 4000, 0, 40, 40},
                                         {0, 4000, 0, 0, 40}});
    std::unique_ptr<CPieceItem> ownedNotches = CreatePieceItem(13);
    CPieceItem* notches = ownedNotches.get();
    AddGraded(notches, 2000, 0, 0, 20, 0);
    AddGraded(notches, 2000, 200, 1, 20, 0);
    notches->AddTailVertex(120, 0, kVertexKindFixedSingle);
    notches->AddTailVertex(0, 0, 0x400 | kVertexKindMovedSingle);
    piece->AddItem(ownedNotches.release());
    g_AamaOptNotch = c.mode;
    const std::string path = folder_ / "notch.dxf";
    ASSERT_EQ(Save(path), 1);
    const std::string bytes = ReadFile(path);
    std::vector<Entity> points;
    int lines = 0;
    for (const auto& [in, e] : Entities(bytes)) {
      if (e.type == "POINT" && e.Value(8) == "4") points.push_back(e);
      if (e.type == "LINE" && e.Value(8) == "8") ++lines;
    }
    ASSERT_EQ(static_cast<int>(points.size()), c.points);
    EXPECT_EQ(lines, c.lines);
    if (c.mode == 0) {
      EXPECT_EQ(points[0].Value(10), "50.0000");
      EXPECT_EQ(points[0].Value(30), "5.0000");
      EXPECT_EQ(points[0].Value(39), "3.0000");
    }
    EXPECT_DXF_AUDIT_OK(path);
  }
}

// Every item type, in every notch mode and with the curves' own points or
// their smoothed ones: a file that outside readers take, with no number that
// is not finite.
TEST_F(AamaWriterTest, EveryItemTypePassesTheAudit) {
  struct Case {
    int notch;
    int sizes;
    int gradeToRul;
    int controlPoints;
    int text;
  };
  const Case kCases[] = {{0, 0, 1, 0, 0}, {1, 0, 0, 0, 1}, {2, 1, 0, 1, 0}, {3, 0, 1, 0, 0}, {3, 0, 1, 1, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "notch " << c.notch << " sizes " << c.sizes << " rul " << c.gradeToRul
                                    << " control points " << c.controlPoints);
    ClearStyle();
    all_items::AddSizes();
    g_Style.AddPiece(all_items::BuildPiece().release());
    g_AamaOptNotch = c.notch;
    g_AamaOptSizes = c.sizes;
    g_AamaOptGradeToRul = c.gradeToRul;
    g_AamaOptControlPoints = c.controlPoints;
    g_AamaOptText = c.text;
    const std::string path = folder_ / "all.dxf";
    ASSERT_EQ(Save(path), 1);
    const std::string bytes = ReadFile(path);
    for (const char* bad : {"nan", "inf", "NAN", "INF"}) EXPECT_EQ(bytes.find(bad), std::string::npos) << bad;
    EXPECT_GT(CountEntities(bytes, "CIRCLE"), 0);
    EXPECT_DXF_AUDIT_OK(path);
  }
}

// The entities of a block after its five texts, each as TYPE:layer, with
// "/closed flag" for a POLYLINE and "(text)" for a TEXT.
std::string EntitiesAfterTheTexts(const std::string& bytes, const std::string& block) {
  std::string out;
  int texts = 0;
  for (const auto& [in, e] : Entities(bytes)) {
    if (in != block || e.type == "BLOCK") continue;
    if (e.type == "TEXT" && ++texts <= 5) continue;
    if (!out.empty()) out += " ";
    out += e.type;
    if (!e.Value(8).empty()) out += ":" + e.Value(8);
    if (e.type == "POLYLINE") out += "/" + e.Value(70);
    if (e.type == "TEXT") out += "(" + e.Value(1) + ")";
  }
  return out;
}

// Each item type alone in a piece of two sizes, written for the base size
// with the rule table: its entities and their layers, the points of its
// vertices and their rule labels. The vertices are 10 mm apart, too close
// for a curve point to become a grade point; closed rings are written turned
// round, as the mirrored piece has them.
TEST_F(AamaWriterTest, EntitiesAndLayersOfEachItemType) {
  struct Vertex {
    int x, y;
    uint32_t flags;
  };
  struct Case {
    int type;
    std::vector<Vertex> vertices;
    const char* entities;
  };
  const std::vector<Vertex> kSquare = {{0, 0, 0}, {400, 0, 1}, {400, 400, 2}, {0, 400, 3}};
  const std::vector<Vertex> kThree = {{0, 0, 0}, {400, 0, 1}, {400, 400, 2}};
  const Case kCases[] = {
      {0, kSquare,
       "POLYLINE:1/1 VERTEX:1 VERTEX:1 VERTEX:1 VERTEX:1 SEQEND POINT:2 TEXT:2(# 2) POINT:3 TEXT:3(# 3) POINT:2 "
       "POINT:3"},
      {8, kThree, "POLYLINE:8/1 VERTEX:8 VERTEX:8 VERTEX:8 SEQEND POINT:2 TEXT:2(# 2) POINT:2 POINT:3"},
      {21, kThree, "POLYLINE:8/1 VERTEX:8 VERTEX:8 VERTEX:8 SEQEND POINT:2 TEXT:2(# 2) POINT:2 POINT:3"},
      {12, kThree, "POLYLINE:14/1 VERTEX:14 VERTEX:14 VERTEX:14 SEQEND POINT:2 TEXT:2(# 2) POINT:2 POINT:3"},
      // An open line of two vertices is a LINE; its curve point has no rule.
      {9, {{0, 0, 0}, {400, 0, 1}}, "LINE:8 POINT:2 TEXT:2(# 2) POINT:2 TEXT:2(# 0)"},
      {9, kThree, "POLYLINE:8/0 VERTEX:8 VERTEX:8 VERTEX:8 SEQEND POINT:2 TEXT:2(# 2) POINT:3 POINT:2"},
      {6, kSquare,
       "POLYLINE:8/0 VERTEX:8 VERTEX:8 VERTEX:8 VERTEX:8 SEQEND POINT:2 TEXT:2(# 2) POINT:3 TEXT:3(# 3) POINT:2 "
       "TEXT:2(# 4) POINT:3 TEXT:3(# 5)"},
      {1, {{0, 0, 0}, {400, 400, 0}}, "LINE:7 LINE:5"},
      // A point mark of sub-kind 8 is no drill hole; its rule stays unused.
      {2, {{0, 0, 0}, {400, 0, 0x800}, {400, 400, 0x100}}, "POINT:13 TEXT:13(# 2) POINT:13 TEXT:13(# 4)"},
      {3, kSquare,
       "LINE:8 POINT:2 TEXT:2(# 2) POINT:2 TEXT:2(# 3) LINE:8 POINT:2 TEXT:2(# 4) POINT:2 TEXT:2(# 5)"},
      {5, {{0, 0, 0}, {400, 0, 1}}, "LINE:8 POINT:2 TEXT:2(# 2) POINT:2 TEXT:2(# 3)"},
      {14, kThree, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.type);
    ClearStyle();
    AddSizes({{"M", 1}, {"L", 2}});
    auto* piece = new CPieceRecord;
    piece->PieceName = "P";
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(c.type);
    CPieceItem* item = ownedItem.get();
    for (const Vertex& v : c.vertices) AddGraded(item, v.x, v.y, static_cast<int>(v.flags), 4, 4);
    piece->AddItem(ownedItem.release());
    piece->UpdateCurveItems();
    piece->Recalc(1);
    g_Style.AddPiece(piece);
    const std::string path = folder_ / "item.dxf";
    ASSERT_EQ(Save(path), 1);
    EXPECT_EQ(EntitiesAfterTheTexts(ReadFile(path), "P_M"), c.entities);
    EXPECT_DXF_AUDIT_OK(path);
  }
}

// Items with nothing to measure: one vertex, no width node, a circle of no
// radius, a text of no height, a piece of no extent, a style of no scale.
TEST_F(AamaWriterTest, DegenerateItemsWriteNoNonFiniteNumber) {
  for (int scale : {40, 0}) {
    SCOPED_TRACE(scale);
    ClearStyle();
    AddSizes({{"M", 1}, {"L", 2}});
    CPieceRecord* piece = AddPiece("P", {{100, 100, 0, 0, 0}, {100, 100, 0, 0, 0}, {100, 100, 3, 0, 0}},
                                   {100, 100}, {100, 101});
    for (int type : {5, 9, 3, 6, 17}) {
      std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(type);
      CPieceItem* item = ownedItem.get();
      AddGraded(item, 100, 100, 0);
      piece->AddItem(ownedItem.release());
    }
    std::unique_ptr<CPieceItem> ownedCircle = CreatePieceItem(10);
    CPieceItem* circle = ownedCircle.get();
    AddGraded(circle, 100, 100, 0);
    circle->AddTailVertex(0, 0, kVertexKindSkipRun);
    circle->AddTailVertex(0, 0, kVertexKindCopy);
    piece->AddItem(ownedCircle.release());
    std::unique_ptr<CPieceItem> ownedNotches = CreatePieceItem(13);
    CPieceItem* notches = ownedNotches.get();
    AddGraded(notches, 100, 100, 0);
    piece->AddItem(ownedNotches.release());
    std::unique_ptr<CPieceItem> ownedText = CreatePieceItem(11);
    auto* text = static_cast<CPieceItem11*>(ownedText.get());
    text->SetText("T");
    text->Font.lfHeight = 0;
    piece->AddItem(ownedText.release());
    piece->AddItem(CreatePieceItem(8).release());  // no vertex at all
    g_Style.SetScale(scale);
    const std::string path = folder_ / "degenerate.dxf";
    ASSERT_EQ(Save(path), 1);
    const std::string bytes = ReadFile(path);
    for (const char* bad : {"nan", "inf", "NAN", "INF"}) EXPECT_EQ(bytes.find(bad), std::string::npos) << bad;
    EXPECT_DXF_AUDIT_OK(path);
  }
}

TEST_F(AamaWriterTest, CancelWritesNothing) {
  BuildGradedStyle();
  g_Style.SizeArray[0]->Name = "";
  const std::string path = folder_ / "x.dxf";
  EXPECT_EQ(Save(path, DialogScript(IDD_AAMA_SAVE).ChooseRadio(IDC_AAMA_SAVE_BASE_SIZE).Press(IDCANCEL)), 1);
  EXPECT_TRUE(folder_.Names().empty());
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(g_AamaOptSizes, 0);
  // The sizes were named before the dialog.
  EXPECT_EQ(g_Style.SizeArray[0]->Name, "SIZE1");
}

// The writer's rule numbers do not stay in the style: a second save writes
// the same files.
TEST_F(AamaWriterTest, RuleNumbersAreTakenBack) {
  BuildGradedStyle();
  g_AamaOptGradeToRul = 0;  // no rule table, which would clear the numbers it writes
  ASSERT_EQ(Save(folder_ / "a.dxf"), 1);
  CPieceRecord* piece = g_Style.PieceRing;
  for (int p = 0; p < g_Style.PieceCount; ++p, piece = piece->Next) {
    CPieceItem* item = piece->ItemRing;
    for (int i = 0; i < piece->ItemCount; ++i, item = item->Next) {
      CVertexNode* node = item->VertexHead;
      for (int n = 0; n < item->VertexCount; ++n, node = node->Next) EXPECT_EQ(node->Value, 0);
    }
  }
  g_AamaOptGradeToRul = 1;
  fs::create_directory(folder_ / "b");
  fs::create_directory(folder_ / "c");
  ASSERT_EQ(Save(folder_ / "b/s.dxf"), 1);
  ASSERT_EQ(Save(folder_ / "c/s.dxf"), 1);
  EXPECT_EQ(ReadFile(folder_ / "b/s.rul"), ReadFile(folder_ / "c/s.rul"));
  EXPECT_EQ(ReadFile(folder_ / "b/s.dxf"), ReadFile(folder_ / "c/s.dxf"));
  EXPECT_DXF_AUDIT_OK(folder_ / "a.dxf");
}

// A fourth word left in a curve point by earlier work is no rule number: the
// point is neither labelled with it nor written as a second rule of that
// number, and it gets its word back after the save.
TEST_F(AamaWriterTest, LeftoverWordsAreNoRuleNumbers) {
  AddSizes({{"M", 1}, {"L", 2}});
  CPieceRecord* piece = AddPiece("P", {{0, 0, 0, 0, 0}, {400, 0, 1, 40, 0}, {4000, 0, 0, 40, 0},
                                       {4000, 4000, 0, 40, 40}, {0, 4000, 0, 0, 40}});
  CPieceItem* outline = nullptr;
  ASSERT_TRUE(piece->FindItem(0, &outline));
  CVertexNode* curvePoint = outline->NextMainVertex(outline->VertexHead);
  ASSERT_EQ(curvePoint->Kind(), 1);
  const int32_t leftover = std::bit_cast<int32_t>(5.0f);
  curvePoint->Value = leftover;
  const std::string path = folder_ / "l.dxf";
  ASSERT_EQ(Save(path), 1);
  // The four corners carry rules 2 to 5; the curve point, 10 mm from a
  // corner, none.
  const std::string rules = ReadFile(folder_ / "l.rul");
  EXPECT_EQ(rules.find("RULE: DELTA 5\r\n"), rules.rfind("RULE: DELTA 5\r\n"));
  EXPECT_EQ(rules.find("RULE: DELTA 6\r\n"), std::string::npos);
  const std::vector<std::string> texts = TextsOf(ReadFile(path), "P_M");
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "# 5"), 1);
  EXPECT_EQ(curvePoint->Value, leftover);
  EXPECT_DXF_AUDIT_OK(path);
}

// A save that cannot be completed says so, returns 0 and leaves the files
// that were there as they were, with no temporary file left behind.
TEST_F(AamaWriterTest, FailedSaves) {
  BuildGradedStyle();
  const CString failed = LoadString(IDS_SAVE_PTN_FAILED);

  // The folder does not exist.
  EXPECT_EQ(Save(folder_ / "missing/x.dxf"), 0);
  EXPECT_EQ(Messages(), std::vector<CString>{failed});
  EXPECT_TRUE(folder_.Names().empty());

  // The rule table cannot be put in place (its name is taken by a folder):
  // neither file changes.
  folder_.AddFile("x.dxf", "old");
  fs::create_directory(folder_ / "x.rul");
  EXPECT_EQ(Save(folder_ / "x.dxf"), 0);
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_EQ(ReadFile(folder_ / "x.dxf"), "old");
  EXPECT_TRUE(fs::is_directory(folder_ / "x.rul"));
  std::vector<std::string> names = folder_.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"x.dxf", "x.rul"}));

  // A folder in the DXF file's place: nothing is written, the rule table
  // beside it included.
  fs::create_directory(folder_ / "y.dxf");
  folder_.AddFile("y.rul", "old rules");
  EXPECT_EQ(Save(folder_ / "y.dxf"), 0);
  EXPECT_EQ(Messages().size(), 3u);
  EXPECT_TRUE(fs::is_directory(folder_ / "y.dxf"));
  EXPECT_EQ(ReadFile(folder_ / "y.rul"), "old rules");
  EXPECT_EQ(folder_.Names().size(), 4u);

  // A DXF file named as its own rule table: neither could be kept.
  folder_.AddFile("z.rul", "old rules");
  EXPECT_EQ(Save(folder_ / "z.rul"), 0);
  EXPECT_EQ(Messages().size(), 4u);
  EXPECT_EQ(ReadFile(folder_ / "z.rul"), "old rules");
  EXPECT_EQ(folder_.Names().size(), 5u);
}

// Only the work-area pieces, with an empty work area: nothing to write.
TEST_F(AamaWriterTest, EmptyWorkArea) {
  BuildGradedStyle();
  g_AamaOptPieces = 0;
  EXPECT_EQ(Save(folder_ / "w.dxf"), 0);
  EXPECT_EQ(Messages(), std::vector<CString>{LoadString(IDS_SAVE_PTN_FAILED)});
  EXPECT_TRUE(folder_.Names().empty());
}

TEST_F(AamaWriterTest, WorkAreaPiecesOnly) {
  BuildGradedStyle();
  CPieceRecord* back = g_Style.PieceRing->Next;
  AddLinkedWorkCopy(back);
  g_AamaOptPieces = 0;
  const std::string path = folder_ / "w.dxf";
  ASSERT_EQ(Save(path), 1);
  EXPECT_EQ(BlockNames(ReadFile(path)), std::vector<std::string>{"BACK_M"});
  const std::string rules = ReadFile(folder_ / "w.rul");
  // The back's four corners and two grain line ends.
  EXPECT_NE(rules.find("RULE: DELTA 7\r\n"), std::string::npos);
  EXPECT_EQ(rules.find("RULE: DELTA 8\r\n"), std::string::npos);
  EXPECT_DXF_AUDIT_OK(path);
}

// The whole output for a small graded style, byte for byte: a square front
// in two sizes with a curve point, grain line, notch, drill hole and an
// internal line, written for the base size with its rule table.
TEST_F(AamaWriterTest, SmallStyleGoldenFiles) {
  g_Style.StyleName = " JACKET ";
  AddSizes({{"M", 1}, {"L", 2}});
  CPieceRecord* piece =
      AddPiece("FRONT", {{0, 0, 0, 0, 0}, {800, 0, 1, 20, 0}, {1600, 0, 0, 40, 0}, {1600, 1600, 0, 40, 40},
                         {0, 1600, 0, 0, 40}},
               {800, 200}, {800, 1400}, 2);
  piece->Annotation = "LEFT";
  piece->Category = "SHELL";
  std::unique_ptr<CPieceItem> ownedNotches = CreatePieceItem(13);
  CPieceItem* notches = ownedNotches.get();
  AddGraded(notches, 400, 0, 0, 10, 0);
  AddGraded(notches, 400, 120, 1, 10, 0);
  notches->AddTailVertex(120, 0, kVertexKindFixedSingle);
  notches->AddTailVertex(0, 0, 0x400 | kVertexKindMovedSingle);
  piece->AddItem(ownedNotches.release());
  std::unique_ptr<CPieceItem> ownedHole = CreatePieceItem(2);
  CPieceItem* hole = ownedHole.get();
  AddGraded(hole, 800, 800, 0, 20, 20);
  piece->AddItem(ownedHole.release());
  std::unique_ptr<CPieceItem> ownedLine = CreatePieceItem(9);
  CPieceItem* line = ownedLine.get();
  AddGraded(line, 200, 1200, 0, 0, 40);
  AddGraded(line, 1400, 1200, 0, 40, 40);
  piece->AddItem(ownedLine.release());
  piece->UpdateCurveItems();
  piece->Recalc(1);

  const std::string path = folder_ / "small.dxf";
  ASSERT_EQ(Save(path), 1);
  if (const char* update = std::getenv("ZV_UPDATE_GOLDEN"); update && std::string(update) == "1") {
    fs::copy_file(path, TestDataPath("aama_small.dxf"), fs::copy_options::overwrite_existing);
    fs::copy_file(folder_ / "small.rul", TestDataPath("aama_small.rul"), fs::copy_options::overwrite_existing);
  }
  EXPECT_EQ(ReadFile(path), ReadFile(TestDataPath("aama_small.dxf")));
  EXPECT_EQ(ReadFile(folder_ / "small.rul"), ReadFile(TestDataPath("aama_small.rul")));
  EXPECT_DXF_AUDIT_OK(path);
}

}  // namespace
