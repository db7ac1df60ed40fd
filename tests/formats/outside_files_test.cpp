// Files written by other pattern systems: layout and anonymous blocks, pieces
// named only by their blocks, empty blocks, size blocks without piece-name
// texts, and straight-edged polylines that mark none of their points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formats/aama_reader.h"
#include "formats/aama_writer.h"
#include "formats/dxf_reader.h"
#include "model/items/curve_item.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/clock.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "tests/support/temp_folder.h"

namespace {

using Corners = std::vector<std::pair<int, int>>;

std::string Num(int v) { return std::to_string(v); }

std::string Head() {
  return "0\nSECTION\n2\nHEADER\n999\nUNITS: METRIC\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n";
}

std::string Block(const std::string& name, const std::string& body) {
  return "0\nBLOCK\n8\n0\n2\n" + name + "\n70\n0\n10\n0.0\n20\n0.0\n" + body + "0\nENDBLK\n";
}

// A block as DXF 2000 writes it: handles and subclass markers before the
// name, the name again in group 3.
std::string Block2000(const std::string& name, const std::string& body) {
  return "0\nBLOCK\n5\n1F\n330\n1E\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockBegin\n2\n" + name +
         "\n70\n0\n10\n0.0\n20\n0.0\n30\n0.0\n3\n" + name + "\n1\n\n" + body +
         "0\nENDBLK\n5\n20\n330\n1E\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockEnd\n";
}

using BlockMaker = std::string (*)(const std::string&, const std::string&);

// A polyline on `layer`, closed when `closed`; `vertexExtra` goes before each
// vertex's x (a 999 comment, say).
std::string Polyline(int layer, bool closed, const Corners& corners, const std::string& vertexExtra = "") {
  std::string s = "0\nPOLYLINE\n8\n" + Num(layer) + "\n66\n1\n70\n" + (closed ? "1" : "0") + "\n";
  for (const auto& [x, y] : corners) {
    s += "0\nVERTEX\n8\n" + Num(layer) + "\n" + vertexExtra + "10\n" + Num(x) + "\n20\n" + Num(y) + "\n";
  }
  return s + "0\nSEQEND\n";
}

std::string Points(int layer, const Corners& at) {
  std::string s;
  for (const auto& [x, y] : at) s += "0\nPOINT\n8\n" + Num(layer) + "\n10\n" + Num(x) + "\n20\n" + Num(y) + "\n";
  return s;
}

std::string Text(const std::string& text) { return "0\nTEXT\n8\n1\n10\n0\n20\n0\n40\n2\n1\n" + text + "\n"; }

std::string Entities(const std::vector<std::string>& blocks, const std::string& texts = "") {
  std::string s = "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
  for (const std::string& b : blocks) s += "0\nINSERT\n8\n1\n2\n" + b + "\n10\n0.0\n20\n0.0\n";
  return s + texts + "0\nENDSEC\n0\nEOF\n";
}

struct PieceFields {
  const char* name;
  Corners outline;
};

// Three pieces of different shapes, in millimetres.
const PieceFields kPieces[] = {
    {"FRONT", {{0, 0}, {300, 0}, {300, 500}, {0, 500}}},
    {"BACK", {{20, 10}, {220, 10}, {260, 410}, {20, 410}}},
    {"SLEEVE", {{0, 0}, {400, 0}, {300, 250}, {100, 250}, {50, 120}}},
};

std::string PieceBlock(const PieceFields& p, BlockMaker block = Block) {
  const auto [x0, y0] = p.outline.front();
  return block(p.name, Polyline(1, true, p.outline) + Polyline(8, false, {{x0 + 10, y0 + 10}, {x0 + 50, y0 + 40}}));
}

// The file as another system writes it: two empty layout blocks, the three
// pieces (an empty block of its own after the first when asked), an INSERT
// per block and a few loose texts.
std::string LayoutFile(const std::string& model, const std::string& paper, bool emptyBlock,
                       BlockMaker block = Block) {
  std::string s = Head() + block(model, "") + block(paper, "");
  std::vector<std::string> inserts;
  for (const PieceFields& p : kPieces) {
    s += PieceBlock(p, block);
    inserts.push_back(p.name);
    if (emptyBlock && inserts.size() == 1) s += block("SPARE", "");
  }
  return s + Entities(inserts, Text("Style Name: TEE") + Text("Cut 2"));
}

std::vector<CPieceRecord*> Pieces() {
  std::vector<CPieceRecord*> pieces;
  CPieceRecord* p = g_Style.PieceRing;
  for (int i = 0; i < g_Style.PieceCount && p; ++i, p = p->Next) pieces.push_back(p);
  return pieces;
}

std::vector<std::string> PieceNames() {
  std::vector<std::string> names;
  for (CPieceRecord* p : Pieces()) names.push_back(p->PieceName.str());
  return names;
}

CPieceItem* Outline(const CPieceRecord* piece) {
  CPieceItem* item = nullptr;
  return piece->FindItem(0, &item) ? item : nullptr;
}

// The file's corners as the reader places them: in model units, moved so
// that the box starts at (0, 0) and mirrored top to bottom; sorted.
std::vector<std::pair<int, int>> PlacedCorners(const Corners& corners) {
  const int scale = g_Style.GetScale();
  int minX = INT32_MAX, minY = INT32_MAX, maxY = INT32_MIN;
  for (const auto& [x, y] : corners) {
    minX = std::min(minX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  std::vector<std::pair<int, int>> placed;
  for (const auto& [x, y] : corners) placed.emplace_back((x - minX) * scale, (maxY - y) * scale);
  std::sort(placed.begin(), placed.end());
  return placed;
}

std::vector<std::pair<int, int>> OutlineCorners(const CPieceRecord* piece) {
  std::vector<std::pair<int, int>> got;
  for (const CPoint& p : Outline(piece)->MainVertexPositions(0)) got.emplace_back(p.x, p.y);
  std::sort(got.begin(), got.end());
  return got;
}

// Area and perimeter of a corner ring, in model units.
std::pair<double, double> AreaAndPerimeter(const std::vector<std::pair<double, double>>& ring) {
  double twice = 0, perimeter = 0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const auto& [ax, ay] = ring[i];
    const auto& [bx, by] = ring[(i + 1) % ring.size()];
    twice += ax * by - bx * ay;
    perimeter += std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
  }
  return {std::fabs(twice) / 2, perimeter};
}

// The area and perimeter the piece's outline is drawn with (its curve).
std::pair<double, double> DrawnAreaAndPerimeter(const CPieceRecord* piece) {
  auto* curve = dynamic_cast<CPieceCurveItem*>(Outline(piece));
  std::vector<std::pair<double, double>> ring;
  for (const CPoint& p : curve->GetCurvePoints(g_Style.SizeAt(0))) ring.emplace_back(p.x, p.y);
  return AreaAndPerimeter(ring);
}

std::pair<double, double> FileAreaAndPerimeter(const Corners& corners) {
  const double scale = g_Style.GetScale();
  std::vector<std::pair<double, double>> ring;
  for (const auto& [x, y] : corners) ring.emplace_back(x * scale, y * scale);
  return AreaAndPerimeter(ring);
}

// The piece holds the file's outline exactly: its corners, box, area and
// perimeter, every vertex a corner.
void ExpectFileOutline(const CPieceRecord* piece, const Corners& corners) {
  ASSERT_NE(Outline(piece), nullptr);
  const std::vector<std::pair<int, int>> expected = PlacedCorners(corners);
  EXPECT_EQ(Outline(piece)->CountMainVertices(), static_cast<int>(corners.size()));
  EXPECT_EQ(OutlineCorners(piece), expected);
  for (CVertexNode* v : MainVerticesOf(Outline(piece))) EXPECT_TRUE(v->IsCorner()) << v->X << "," << v->Y;
  int maxX = 0, maxY = 0;
  for (const auto& [x, y] : expected) {
    maxX = std::max(maxX, x);
    maxY = std::max(maxY, y);
  }
  EXPECT_EQ(piece->BoxMinX, 0);
  EXPECT_EQ(piece->BoxMinY, 0);
  EXPECT_EQ(piece->BoxMaxX, maxX);
  EXPECT_EQ(piece->BoxMaxY, maxY);
  const auto [area, perimeter] = FileAreaAndPerimeter(corners);
  const auto [drawnArea, drawnPerimeter] = DrawnAreaAndPerimeter(piece);
  EXPECT_NEAR(drawnArea, area, area * 1e-9);
  EXPECT_NEAR(drawnPerimeter, perimeter, 1e-6 * perimeter);
}

class OutsideFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStyle();
    RestoreDefaultSettings();
    previous_ = SetPrompts(&prompts_);
  }
  void TearDown() override {
    SetPrompts(previous_);
    ClearStyle();
    RestoreDefaultSettings();
  }

  static AamaReadResult Read(const std::string& bytes) {
    ClearStyle();
    return ReadAamaBytes(bytes, std::nullopt, g_Style, AamaReadOptions{}).outcome;
  }

  ScriptedPrompts prompts_;
  IPrompts* previous_ = nullptr;
  TempFolder folder_{"zv_outside"};
};

TEST_F(OutsideFilesTest, LayoutBlocksMakeNoPieceAndPiecesTakeTheirBlockNames) {
  struct Case {
    const char* label;
    const char* model;
    const char* paper;
    bool emptyBlock;
    BlockMaker block;
  };
  const Case kCases[] = {
      {"R12 layout blocks", "*MODEL_SPACE", "*PAPER_SPACE", false, Block},
      {"DXF 2000 layout blocks", "*Model_Space", "*Paper_Space", false, Block},
      {"DXF 2000 blocks", "*Model_Space", "*Paper_Space", true, Block2000},
      {"an empty block among the pieces", "*MODEL_SPACE", "*PAPER_SPACE", true, Block},
      {"an anonymous block", "*U12", "*PAPER_SPACE", false, Block},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    ASSERT_EQ(Read(LayoutFile(c.model, c.paper, c.emptyBlock, c.block)), AamaReadResult::kSuccess);
    EXPECT_EQ(PieceNames(), (std::vector<std::string>{"FRONT", "BACK", "SLEEVE"}));
    EXPECT_EQ(g_Style.SizeCount, 1);
    EXPECT_EQ(g_Style.StyleName, "TEE");
    const std::vector<CPieceRecord*> pieces = Pieces();
    for (size_t i = 0; i < pieces.size() && i < std::size(kPieces); ++i) {
      SCOPED_TRACE(kPieces[i].name);
      ExpectFileOutline(pieces[i], kPieces[i].outline);
    }
  }
}

TEST_F(OutsideFilesTest, WhatALayoutBlockHoldsIsDropped) {
  // Shapes inside a layout block go nowhere, not into the next piece.
  const std::string layout = Polyline(8, false, {{0, 0}, {900, 900}}) + Text("Piece Name: X");
  const std::string file = Head() + Block("*MODEL_SPACE", layout) + PieceBlock(kPieces[0]) + Entities({"FRONT"});
  ASSERT_EQ(Read(file), AamaReadResult::kSuccess);
  ASSERT_EQ(PieceNames(), std::vector<std::string>{"FRONT"});
  ExpectFileOutline(Pieces()[0], kPieces[0].outline);
}

TEST_F(OutsideFilesTest, APieceTextWinsOverTheBlockName) {
  const std::string file = Head() + Block("B1", Text("Piece Name: YOKE") + Polyline(1, true, kPieces[0].outline)) +
                           Block("B2", Text("Piece Name:") + Polyline(1, true, kPieces[1].outline)) +
                           Block("B3", Polyline(1, true, kPieces[2].outline)) + Entities({"B1", "B2", "B3"});
  ASSERT_EQ(Read(file), AamaReadResult::kSuccess);
  EXPECT_EQ(PieceNames(), (std::vector<std::string>{"YOKE", "", "B3"}));
}

TEST_F(OutsideFilesTest, BlocksOfEqualNamesStayApart) {
  struct Case {
    const char* label;
    std::vector<std::string> names;
  };
  const Case kCases[] = {
      {"four blocks named alike", {"??????", "??????", "??????", "??????"}},
      {"two blocks without a name", {"", ""}},
      {"a name in bytes of another code page", {"\xC4RMEL", "\xC4RMEL"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    std::string file = Head();
    for (size_t i = 0; i < c.names.size(); ++i) file += Block(c.names[i], Polyline(1, true, kPieces[i % 3].outline));
    ASSERT_EQ(Read(file + Entities({})), AamaReadResult::kSuccess);
    EXPECT_EQ(PieceNames(), c.names);
    EXPECT_EQ(g_Style.SizeCount, 1);
    const std::vector<CPieceRecord*> pieces = Pieces();
    for (size_t i = 0; i < pieces.size(); ++i) ExpectFileOutline(pieces[i], kPieces[i % 3].outline);
  }
}

TEST_F(OutsideFilesTest, OnlyPiecesWithASizeNameAreSizeBlocks) {
  const Corners small = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
  const Corners medium = {{0, 0}, {110, 0}, {110, 110}, {0, 110}};
  const Corners large = {{0, 0}, {120, 0}, {120, 120}, {0, 120}};
  auto sized = [](const std::string& block, const std::string& texts, const Corners& c) {
    return Block(block, texts + Polyline(1, true, c));
  };
  struct Case {
    const char* label;
    std::string blocks;
    std::string entityTexts;
    std::vector<std::string> names;
    int sizes;
  };
  const Case kCases[] = {
      {"named only by their blocks",
       sized("FRONT_S", Text("Size: S"), small) + sized("FRONT_M", Text("Size: M"), medium) +
           sized("FRONT_L", Text("Size: L"), large) + sized("LABEL", "", small),
       Text("Sample Size: M"),
       {"FRONT_S", "FRONT_M", "FRONT_L", "LABEL"},
       1},
      {"a piece of the same name without a size stays apart",
       sized("P1", Text("Piece Name: FRONT") + Text("Size: S"), small) +
           sized("P2", Text("Piece Name: FRONT") + Text("Size: M"), medium) +
           sized("P3", Text("Piece Name: FRONT"), large),
       Text("Sample Size: M"),
       {"FRONT", "FRONT"},
       2},
      {"no sample size text: the first piece with a size name gives it",
       sized("LABEL", "", small) + sized("P1", Text("Piece Name: FRONT") + Text("Size: S"), small) +
           sized("P2", Text("Piece Name: FRONT") + Text("Size: M"), medium) +
           sized("P3", Text("Piece Name: FRONT") + Text("Size: L"), large),
       "",
       {"LABEL", "FRONT"},
       3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    ASSERT_EQ(Read(Head() + c.blocks + Entities({}, c.entityTexts)), AamaReadResult::kSuccess);
    EXPECT_EQ(PieceNames(), c.names);
    EXPECT_EQ(g_Style.SizeCount, c.sizes);
  }
}

TEST_F(OutsideFilesTest, PolylinesThatMarkNoPointAreStraight) {
  const Corners rect = {{0, 0}, {200, 0}, {200, 100}, {0, 100}};
  struct Case {
    const char* label;
    std::string marks;       // entities after the outline
    std::string vertexExtra;  // groups of each vertex before its x
    bool straight;
  };
  const Case kCases[] = {
      {"no point", "", "", true},
      {"turn points on the vertices", Points(2, rect), "", true},
      {"a drill hole inside only", Points(13, {{100, 50}}), "", true},
      {"curve points on the vertices", Points(3, rect), "", false},
      {"a curve point on one vertex", Points(3, {{200, 100}}), "", false},
      {"999 comments on the vertices", "", "999\n1\n", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    ASSERT_EQ(Read(Head() + Block("P", Polyline(1, true, rect, c.vertexExtra) + c.marks) + Entities({"P"})),
              AamaReadResult::kSuccess);
    ASSERT_EQ(g_Style.PieceCount, 1);
    const CPieceRecord* piece = g_Style.PieceRing;
    if (c.straight) {
      ExpectFileOutline(piece, rect);
    } else {
      // Read as before: a curve through the corners, bulging past the box.
      int smooth = 0;
      for (CVertexNode* v : MainVerticesOf(Outline(piece))) smooth += v->IsSmooth() ? 1 : 0;
      EXPECT_GE(smooth, 3);
      EXPECT_GT(DrawnAreaAndPerimeter(piece).first, FileAreaAndPerimeter(rect).first);
    }
  }
}

TEST_F(OutsideFilesTest, PlainDxfPolylinesThatMarkNoPointAreStraight) {
  const Corners rect = {{10, 20}, {210, 20}, {210, 120}, {10, 120}};
  struct Case {
    const char* label;
    std::string marks;
    bool straight;
  };
  const Case kCases[] = {
      {"no point", "", true},
      {"a point off the vertices", Points(0, {{100, 70}}), true},
      {"curve points on the vertices", Points(3, rect), false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    std::string polyline = Polyline(0, true, rect);
    const std::string file = "0\nSECTION\n2\nENTITIES\n" + polyline + c.marks + "0\nENDSEC\n0\nEOF\n";
    ClearStyle();
    ASSERT_EQ(ReadDxfBytes(file, g_Style, DxfReadOptions{}).outcome, DxfReadResult::kSuccess);
    ASSERT_EQ(g_Style.PieceCount, 1);
    const CPieceRecord* piece = g_Style.PieceRing;
    const auto [area, perimeter] = FileAreaAndPerimeter(rect);
    if (c.straight) {
      EXPECT_EQ(OutlineCorners(piece), PlacedCorners(rect));
      EXPECT_NEAR(DrawnAreaAndPerimeter(piece).first, area, area * 1e-9);
      EXPECT_NEAR(DrawnAreaAndPerimeter(piece).second, perimeter, perimeter * 1e-9);
    } else {
      EXPECT_GT(DrawnAreaAndPerimeter(piece).first, area);
    }
  }
}

TEST_F(OutsideFilesTest, SavedAsAamaAndOpenedAgainKeepsNamesAndOutlines) {
  SetFixedCurrentTime(981173106);
  ASSERT_EQ(Read(LayoutFile("*MODEL_SPACE", "*PAPER_SPACE", false)), AamaReadResult::kSuccess);
  const std::string path = folder_ / "tee.dxf";
  prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_SAVE));
  ASSERT_EQ(SaveAamaFile(path.c_str()), 1);
  ClearFixedCurrentTime();

  ClearStyle();
  prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN));
  ASSERT_EQ(ReadAamaFile(path.c_str(), 0, 0), AamaReadResult::kSuccess);
  EXPECT_EQ(prompts_.unscripted_count(), 0);
  EXPECT_EQ(PieceNames(), (std::vector<std::string>{"FRONT", "BACK", "SLEEVE"}));
  const std::vector<CPieceRecord*> pieces = Pieces();
  for (size_t i = 0; i < pieces.size() && i < std::size(kPieces); ++i) {
    SCOPED_TRACE(kPieces[i].name);
    ExpectFileOutline(pieces[i], kPieces[i].outline);
  }
}

}  // namespace
