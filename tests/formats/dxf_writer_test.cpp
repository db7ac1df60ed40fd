// The plain DXF writer: the whole file for one piece, the layout of pieces
// and sizes, its entities by item type, what our reader makes of it, what an
// outside reader says, and the failures that must leave the target alone.
#include "formats/dxf_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/dxf_output.h"
#include "formats/dxf_reader.h"
#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/model/support/fake_shell.h"
#include "tests/model/support/model_fixture.h"
#include "tests/support/dxf_audit.h"
#include "tests/support/file_bytes.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kScale = 40;  // model units per millimetre

// One entity of a written file: its name and its group pairs in order.
struct Entity {
  std::string name;
  std::vector<std::pair<std::string, std::string>> pairs;  // code line, value line

  // The value after the first group code whose number is `code`.
  std::string Get(int code) const {
    for (const auto& [c, v] : pairs) {
      if (std::atoi(c.c_str()) == code) return v;
    }
    return "";
  }
  double Number(int code) const { return std::atof(Get(code).c_str()); }
  bool Has(int code) const {
    for (const auto& [c, v] : pairs) {
      if (std::atoi(c.c_str()) == code) return true;
    }
    return false;
  }
};

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "the text does not end in CR LF";
      break;
    }
    lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(lines.back().find('\n'), std::string::npos);
    start = end + 2;
  }
  return lines;
}

// The entities between "ENTITIES" and "ENDSEC".
std::vector<Entity> Entities(const std::string& text) {
  std::vector<std::string> lines = SplitCrLf(text);
  std::vector<Entity> entities;
  for (size_t i = 4; i + 1 < lines.size(); i += 2) {
    if (std::atoi(lines[i].c_str()) == 0 && lines[i].find_first_not_of(' ') != std::string::npos &&
        lines[i][lines[i].find_first_not_of(' ')] == '0') {
      if (lines[i + 1] == "ENDSEC") break;
      entities.push_back({lines[i + 1], {}});
    } else if (!entities.empty()) {
      entities.back().pairs.emplace_back(lines[i], lines[i + 1]);
    }
  }
  return entities;
}

std::vector<Entity> Named(const std::vector<Entity>& all, const std::string& name) {
  std::vector<Entity> result;
  for (const Entity& e : all) {
    if (e.name == name) result.push_back(e);
  }
  return result;
}

// The texts of the TEXT entities.
std::vector<std::string> Texts(const std::vector<Entity>& all) {
  std::vector<std::string> texts;
  for (const Entity& e : Named(all, "TEXT")) texts.push_back(e.Get(1));
  return texts;
}

// The x, y of the VERTEX entities of each POLYLINE, in order.
std::vector<std::vector<std::pair<double, double>>> Polylines(const std::vector<Entity>& all) {
  std::vector<std::vector<std::pair<double, double>>> result;
  bool inside = false;
  for (const Entity& e : all) {
    if (e.name == "POLYLINE") {
      result.emplace_back();
      inside = true;
    } else if (e.name == "VERTEX" && inside) {
      result.back().emplace_back(e.Number(10), e.Number(20));
    } else if (e.name == "SEQEND") {
      inside = false;
    }
  }
  return result;
}

class DxfWriterTest : public ModelTest {
 protected:
  // A graded main vertex: size s at (x + s * dx, y + s * dy).
  static CVertexNode* AddGroup(CPieceItem* item, int x, int y, uint32_t kind, int dx = 0, int dy = 0) {
    CVertexNode* main = item->AddTailVertex(x, y, kind);
    for (int s = 1; s < g_Style.SizeCount; ++s) item->AddTailVertex(x + s * dx, y + s * dy, kVertexKindCopy);
    return main;
  }

  // A rectangle of `widthMm` x `heightMm` from (0, 0) with a grain line
  // across its middle; each further size is `growMm` wider and higher.
  static CPieceRecord* AddRectPiece(const char* name, int widthMm, int heightMm, int growMm = 0,
                                    bool grainLine = true) {
    const int w = widthMm * kScale;
    const int h = heightMm * kScale;
    const int g = growMm * kScale;
    auto* piece = new CPieceRecord;
    piece->PieceName = name;
    std::unique_ptr<CPieceItem> ownedOutline = CreatePieceItem(0);
    CPieceItem* outline = ownedOutline.get();
    AddGroup(outline, 0, 0, 0);
    AddGroup(outline, w, 0, 0, g, 0);
    AddGroup(outline, w, h, 0, g, g);
    AddGroup(outline, 0, h, 0, 0, g);
    piece->AddItem(ownedOutline.release());
    if (grainLine) {
      std::unique_ptr<CPieceItem> ownedGrain = CreatePieceItem(1);
      CPieceItem* grain = ownedGrain.get();
      AddGroup(grain, w / 4, h / 2, 0);
      AddGroup(grain, 3 * w / 4, h / 2, 0);
      piece->AddItem(ownedGrain.release());
    }
    piece->UpdateCurveItems();
    piece->Recalc(1);
    g_Style.AddPiece(piece);
    return piece;
  }

  static void AddOpenLine(CPieceRecord* piece, int x1, int y1, int x2, int y2) {
    std::unique_ptr<CPieceItem> ownedLine = CreatePieceItem(9);
    CPieceItem* line = ownedLine.get();
    AddGroup(line, x1, y1, 0);
    AddGroup(line, x2, y2, 0);
    piece->AddItem(ownedLine.release());
    piece->UpdateCurveItems();
    piece->Recalc(1);
  }

  static void AddText(CPieceRecord* piece, int x, int y, const char* text) {
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(11);
    auto* item = static_cast<CPieceItem11*>(ownedItem.get());
    item->AnchorX = x;
    item->AnchorY = y;
    item->SetText(text);
    item->Font.lfHeight = -4 * kScale;
    piece->AddItem(ownedItem.release());
    piece->Recalc(1);
  }

  // Writes with these options into memory.
  static std::string Write(const DxfSaveOptions& options) {
    DxfOutput out;
    EXPECT_TRUE(WriteDxfStyle(out, options));
    return out.Text();
  }

  // Writes `path` with these options and has ezdxf audit it.
  static std::string WriteAndAudit(const TempFolder& folder, const DxfSaveOptions& options,
                                   const std::string& name = "out.dxf") {
    const std::string path = folder / name;
    ScriptedPrompts prompts;
    ScopedPrompts use(&prompts);
    EXPECT_EQ(SaveDxfFileWithOptions(CString(path), options), 1);
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_DXF_AUDIT_OK(path);
    return ReadFile(path);
  }
};

// One piece of one size with the default options: the whole file, line by
// line. The piece is 100 x 50 mm with a grain line from (25, 10) to (75, 10)
// mm, y down. It is mirrored (DXF's y points up) about its middle: the
// grain line goes to y = 40, the rectangle stays in place with its corners
// turned round to stay counter-clockwise. The labels stand 3 spacings (4 mm
// each) right of the grain line's middle and 4 to 8 spacings above it.
TEST_F(DxfWriterTest, OnePieceOneSizeWithTheDefaultsGivesThisFile) {
  AddSizes(1);
  g_Style.SizeRing->Name = "M";
  CPieceRecord* piece = AddRectPiece("FRONT", 100, 50);
  CPieceItem* grain = FindFirstItem(piece, 1);
  grain->VertexHead->Y = 10 * kScale;
  grain->NextMainVertex(grain->VertexHead)->Y = 10 * kScale;
  piece->Recalc(1);
  piece->Annotation = "\xC7\xB0\xC6\xAC";  // GBK bytes, written as they are
  piece->Quantity = 2;

  TempFolder folder("zv_dxf_writer");
  const std::string text = WriteAndAudit(folder, DxfSaveOptions{});
  const char* kExpected =
      "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
      "  0\r\nTEXT\r\n  8\r\n1\r\n 10\r\n62.0000\r\n 20\r\n56.0000\r\n 40\r\n3.0000\r\n 50\r\n0.0000\r\n"
      "  1\r\nPIECE NAME: FRONT\r\n  7\r\nSTANDARD\r\n"
      "  0\r\nTEXT\r\n  8\r\n1\r\n 10\r\n62.0000\r\n 20\r\n60.0000\r\n 40\r\n3.0000\r\n 50\r\n0.0000\r\n"
      "  1\r\nANNOTATION: \xC7\xB0\xC6\xAC\r\n  7\r\nSTANDARD\r\n"
      "  0\r\nTEXT\r\n  8\r\n1\r\n 10\r\n62.0000\r\n 20\r\n64.0000\r\n 40\r\n3.0000\r\n 50\r\n0.0000\r\n"
      "  1\r\nCATEGORY: A\r\n  7\r\nSTANDARD\r\n"
      "  0\r\nTEXT\r\n  8\r\n1\r\n 10\r\n62.0000\r\n 20\r\n68.0000\r\n 40\r\n3.0000\r\n 50\r\n0.0000\r\n"
      "  1\r\nQUANTITY: 2\r\n  7\r\nSTANDARD\r\n"
      "  0\r\nTEXT\r\n  8\r\n1\r\n 10\r\n62.0000\r\n 20\r\n72.0000\r\n 40\r\n3.0000\r\n 50\r\n0.0000\r\n"
      "  1\r\nSIZE: M\r\n  7\r\nSTANDARD\r\n"
      // The outline, closed, then a corner point at each of its corners.
      "  0\r\nPOLYLINE\r\n  8\r\n11\r\n  70\r\n   1\r\n  66\r\n   1\r\n"
      "  0\r\nVERTEX\r\n  8\r\n11\r\n 10\r\n0.0000\r\n 20\r\n50.0000\r\n"
      "  0\r\nVERTEX\r\n  8\r\n11\r\n 10\r\n0.0000\r\n 20\r\n0.0000\r\n"
      "  0\r\nVERTEX\r\n  8\r\n11\r\n 10\r\n100.0000\r\n 20\r\n0.0000\r\n"
      "  0\r\nVERTEX\r\n  8\r\n11\r\n 10\r\n100.0000\r\n 20\r\n50.0000\r\n"
      "  0\r\nSEQEND\r\n"
      "  0\r\nPOINT\r\n  8\r\n2\r\n 10\r\n0.0000\r\n 20\r\n50.0000\r\n"
      "  0\r\nPOINT\r\n  8\r\n2\r\n 10\r\n0.0000\r\n 20\r\n0.0000\r\n"
      "  0\r\nPOINT\r\n  8\r\n2\r\n 10\r\n100.0000\r\n 20\r\n0.0000\r\n"
      "  0\r\nPOINT\r\n  8\r\n2\r\n 10\r\n100.0000\r\n 20\r\n50.0000\r\n"
      // The grain line there and back, and its two ends.
      "  0\r\nLINE\r\n  8\r\n11\r\n  10\r\n25.0000\r\n  20\r\n40.0000\r\n  11\r\n75.0000\r\n  21\r\n40.0000\r\n"
      "  0\r\nLINE\r\n  8\r\n11\r\n  10\r\n75.0000\r\n  20\r\n40.0000\r\n  11\r\n25.0000\r\n  21\r\n40.0000\r\n"
      "  0\r\nPOINT\r\n  8\r\n2\r\n 10\r\n25.0000\r\n 20\r\n40.0000\r\n"
      "  0\r\nPOINT\r\n  8\r\n2\r\n 10\r\n75.0000\r\n 20\r\n40.0000\r\n"
      "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  EXPECT_EQ(SplitCrLf(text), SplitCrLf(kExpected));
  EXPECT_EQ(text, kExpected);  // every byte, CR LF line ends included
}

// Minimum x of each outline (closed POLYLINE) in file order, in mm.
std::vector<double> OutlineMinX(const std::vector<Entity>& all) {
  std::vector<double> result;
  bool closed = false;
  bool inside = false;
  for (const Entity& e : all) {
    if (e.name == "POLYLINE") {
      closed = e.Get(70) == "   1";
      inside = true;
      if (closed) result.push_back(1e30);
    } else if (e.name == "VERTEX" && inside && closed) {
      result.back() = std::min(result.back(), e.Number(10));
    } else if (e.name == "SEQEND") {
      inside = false;
    }
  }
  return result;
}

// Pieces and sizes side by side, overlaid, or at their work-area places. Two
// pieces, A (100 x 50 mm, with a text) and B (50 x 30 mm), in three sizes
// each 10 mm wider than the one before, so A's box is 120 mm wide and B's
// 70 mm. Work-area copies stand 50 mm (A) and 100 mm (B) right of their own
// coordinates; the work area is 500 mm wide.
TEST_F(DxfWriterTest, PiecesAndSizesAreLaidOutByTheOptions) {
  FakeShell shell;
  shell.Extent = CRect(0, 0, 500 * kScale, 300 * kScale);
  AddSizes(3);
  CPieceRecord* a = AddRectPiece("A", 100, 50, 10);
  AddText(a, 40 * kScale, 20 * kScale, "NOTE");
  CPieceRecord* b = AddRectPiece("B", 50, 30, 10);
  int shift = 50;
  for (CPieceRecord* listed : {a, b}) {
    std::unique_ptr<CPieceRecord> placed = DuplicatePiece(listed);
    placed->OriginX = -shift * kScale;
    placed->OriginY = 0;
    g_Style.AddWorkPiece(placed.release());
    shift += 50;
  }

  struct Case {
    const char* name;
    int pieceSet;
    int sizeLayout;
    std::vector<double> outlineMinX;  // mm, A's sizes then B's
    std::vector<std::string> sizeTexts;
    int noteTexts;
  };
  const std::vector<std::string> kOnce = {"SIZE: S0", "SIZE: S0"};
  const std::vector<std::string> kEach = {"SIZE: S0", "SIZE: S1", "SIZE: S2", "SIZE: S0", "SIZE: S1", "SIZE: S2"};
  const Case kCases[] = {
      // B follows A's box (120 mm) and 1000 units (25 mm).
      {"all, overlaid", 1, 1, {0, 0, 0, 145, 145, 145}, kOnce, 1},
      // Each size follows the one before by the box and 400 units (10 mm);
      // B follows A's three sizes, then A's box again and 25 mm.
      {"all, apart", 1, 0, {0, 130, 260, 535, 615, 695}, kEach, 3},
      // At their work-area places; the offset starts afresh for each piece.
      {"work area, overlaid", 0, 1, {50, 50, 50, 100, 100, 100}, kOnce, 1},
      // Sizes follow each other by the work area's width and 10 mm.
      {"work area, apart", 0, 0, {50, 560, 1070, 100, 610, 1120}, kEach, 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DxfSaveOptions options;
    options.pieceSet = c.pieceSet;
    options.sizeLayout = c.sizeLayout;
    const std::vector<Entity> all = Entities(Write(options));
    const std::vector<double> minX = OutlineMinX(all);
    ASSERT_EQ(minX.size(), c.outlineMinX.size());
    for (size_t i = 0; i < minX.size(); ++i) EXPECT_NEAR(minX[i], c.outlineMinX[i], 1e-3) << "outline " << i;
    std::vector<std::string> sizeTexts;
    int notes = 0;
    for (const std::string& t : Texts(all)) {
      if (t.rfind("SIZE: ", 0) == 0) sizeTexts.push_back(t);
      if (t == "NOTE") ++notes;
    }
    EXPECT_EQ(sizeTexts, c.sizeTexts);
    EXPECT_EQ(notes, c.noteTexts);
  }
  TempFolder folder("zv_dxf_writer");
  DxfSaveOptions apart;
  apart.sizeLayout = 0;
  WriteAndAudit(folder, apart);
  // The style is never changed by writing it.
  EXPECT_EQ(a->BoxMinX, 0);
  EXPECT_EQ(a->BoxMinY, 0);
  EXPECT_EQ(g_Style.PieceCount, 2);
}

// With one size, as in the example of two pieces 100 mm and 50 mm wide: the
// second starts 4000 + 1000 units (125 mm) right of the first, whose box
// starts at (0, 0) wherever the piece lies in the model.
TEST_F(DxfWriterTest, AllPiecesStartAtTheOriginOneAfterTheOther) {
  AddSizes(1);
  CPieceRecord* a = AddRectPiece("A", 100, 40);
  a->Move(7 * kScale, -3 * kScale, -1);
  AddRectPiece("B", 50, 40);
  const std::vector<Entity> all = Entities(Write(DxfSaveOptions{}));
  const auto polylines = Polylines(all);
  ASSERT_EQ(polylines.size(), 2u);
  double minX[2] = {1e30, 1e30}, minY[2] = {1e30, 1e30};
  for (int i = 0; i < 2; ++i) {
    for (auto [x, y] : polylines[i]) {
      minX[i] = std::min(minX[i], x);
      minY[i] = std::min(minY[i], y);
    }
  }
  EXPECT_DOUBLE_EQ(minX[0], 0.0);
  EXPECT_DOUBLE_EQ(minY[0], 0.0);
  EXPECT_DOUBLE_EQ(minX[1], 125.0);
}

// Pieces so wide that laid side by side they reach past the 32-bit range
// still follow each other: the second starts the first's width and 1000
// units on, not at the largest 32-bit offset.
TEST_F(DxfWriterTest, WidePiecesFollowEachOtherPastThe32BitRange) {
  AddSizes(1);
  auto* wide = new CPieceRecord;
  std::unique_ptr<CPieceItem> ownedOutline = CreatePieceItem(0);
  CPieceItem* outline = ownedOutline.get();
  const int32_t half = 1 << 30;
  AddGroup(outline, -half, 0, 0);
  AddGroup(outline, half - 1, 0, 0);
  AddGroup(outline, half - 1, 40 * kScale, 0);
  AddGroup(outline, -half, 40 * kScale, 0);
  wide->AddItem(ownedOutline.release());
  wide->UpdateCurveItems();
  wide->Recalc(1);
  g_Style.AddPiece(wide);
  AddRectPiece("B", 50, 40);

  const std::vector<double> minX = OutlineMinX(Entities(Write(DxfSaveOptions{})));
  ASSERT_EQ(minX.size(), 2u);
  EXPECT_EQ(minX[0], 0.0);
  const double expected = (2147483647.0 + 1000.0) / kScale;
  EXPECT_NEAR(minX[1], expected, expected * 1e-7);
}

// The entities by item type: outline and closed lines carry the closed flag,
// open lines do not; curve vertices are marked on layer 3, corners on 2;
// circles take their radius per size; a piece without a category is
// "CATEGORY: A"; text items keep their GBK bytes and a positive height.
TEST_F(DxfWriterTest, ItemsBecomeTheirEntities) {
  AddSizes(2);
  CPieceRecord* piece = AddRectPiece("P", 100, 60);
  piece->Category = "";
  AddOpenLine(piece, 10 * kScale, 10 * kScale, 30 * kScale, 10 * kScale);
  std::unique_ptr<CPieceItem> ownedClosed = CreatePieceItem(8);
  CPieceItem* closed = ownedClosed.get();
  AddGroup(closed, 50 * kScale, 20 * kScale, 1);
  AddGroup(closed, 60 * kScale, 30 * kScale, 1);
  AddGroup(closed, 50 * kScale, 40 * kScale, 3);
  piece->AddItem(ownedClosed.release());
  std::unique_ptr<CPieceItem> ownedCircle = CreatePieceItem(10);
  CPieceItem* circle = ownedCircle.get();
  AddGroup(circle, 20 * kScale, 40 * kScale, 0);
  circle->AddTailVertex(5 * kScale, 0, kVertexKindSkipRun);      // radius, size 0
  circle->AddTailVertex(6 * kScale, 0, kVertexKindCopy);         // radius, size 1
  piece->AddItem(ownedCircle.release());
  std::unique_ptr<CPieceItem> marks = CreatePieceItem(2);
  marks->AddTailVertex(80 * kScale, 50 * kScale, 0);
  marks->AddTailVertex(80 * kScale, 50 * kScale, kVertexKindCopy);
  marks->AddTailVertex(5 * kScale, 0, kVertexKindFixedSingle2);
  marks->AddTailVertex(5 * kScale, 5 * kScale, kVertexKindFixedSingle2);
  piece->AddItem(marks.release());
  AddText(piece, 70 * kScale, 10 * kScale, "\xC7\xB0\r\n");
  piece->UpdateCurveItems();
  piece->Recalc(1);

  DxfSaveOptions options;
  options.sizeLayout = 0;
  const std::vector<Entity> all = Entities(Write(options));
  const std::vector<Entity> polylines = Named(all, "POLYLINE");
  // Per size: outline, open line, closed line.
  ASSERT_EQ(polylines.size(), 6u);
  for (int s = 0; s < 2; ++s) {
    EXPECT_EQ(polylines[3 * s].Get(70), "   1");
    EXPECT_FALSE(polylines[3 * s + 1].Has(70));
    EXPECT_EQ(polylines[3 * s + 2].Get(70), "   1");
    EXPECT_EQ(polylines[3 * s].Get(66), "   1");
  }
  int layer2 = 0, layer3 = 0;
  for (const Entity& p : Named(all, "POINT")) {
    if (p.Get(8) == "2") ++layer2;
    if (p.Get(8) == "3") ++layer3;
  }
  // Per size: 4 outline corners, 2 open-line corners, 2 grain-line ends and
  // the mark on layer 2; the closed line's 3 curve vertices on layer 3.
  EXPECT_EQ(layer2, 2 * 9);
  EXPECT_EQ(layer3, 2 * 3);
  const std::vector<Entity> circles = Named(all, "CIRCLE");
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_DOUBLE_EQ(circles[0].Number(40), 5.0);
  EXPECT_DOUBLE_EQ(circles[1].Number(40), 6.0);
  const std::vector<std::string> texts = Texts(all);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "CATEGORY: A"), 2);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "\xC7\xB0"), 2);
  for (const Entity& t : Named(all, "TEXT")) {
    if (t.Get(1) == "\xC7\xB0") {
      EXPECT_DOUBLE_EQ(t.Number(40), 4.0);
    }
  }

  piece->Category = "B";
  const std::vector<std::string> again = Texts(Entities(Write(options)));
  EXPECT_EQ(std::count(again.begin(), again.end(), "CATEGORY: B"), 2);

  TempFolder folder("zv_dxf_writer");
  WriteAndAudit(folder, options);
  options.addControlPoints = 1;
  WriteAndAudit(folder, options, "control.dxf");
}

// Items whose size copies are missing, whose centres have no radius, or whose
// ring is empty, in two sizes overlaid. Each case adds one item to a 100 x 60
// mm rectangle at the origin (written mirrored: y becomes 60 - y) and lists
// the numbers of the entities it gives, size 0's then size 1's: a POINT off
// the rectangle's corners {x, y}, a CIRCLE {x, y, r}, an open POLYLINE its
// vertices {x1, y1, x2, y2, ...}, in mm. A vertex without a copy for a size
// is the same point in that size, never the next vertex or a marker's size
// node; each circle takes its own radius.
TEST_F(DxfWriterTest, ShortGroupsCentresAndEmptyRings) {
  const int mm = kScale;
  struct Case {
    const char* name;
    void (*build)(CPieceItem** item);
    int type;
    const char* entity;
    std::vector<std::vector<double>> expected;
  };
  const Case kCases[] = {
      {"a point mark without its copy",
       [](CPieceItem** item) {
         (*item)->AddTailVertex(80 * mm, 50 * mm, 0);
         (*item)->AddTailVertex(5 * mm, 0, kVertexKindFixedSingle2);
         (*item)->AddTailVertex(5 * mm, 5 * mm, kVertexKindFixedSingle2);
       },
       2, "POINT", {{80, 10}, {80, 10}}},
      {"an open line whose second end is ungraded",
       [](CPieceItem** item) {
         AddGroup(*item, 10 * mm, 10 * mm, 0, 5 * mm, 0);
         (*item)->AddTailVertex(30 * mm, 10 * mm, 0);
       },
       9, "POLYLINE", {{10, 50, 30, 50}, {15, 50, 30, 50}}},
      {"a circle whose radius is ungraded",
       [](CPieceItem** item) {
         AddGroup(*item, 20 * mm, 40 * mm, 0, 2 * mm, 0);
         (*item)->AddTailVertex(5 * mm, 0, kVertexKindSkipRun);
       },
       10, "CIRCLE", {{20, 20, 5}, {22, 20, 5}}},
      {"a circle centre without a radius",
       [](CPieceItem** item) { AddGroup(*item, 20 * mm, 40 * mm, 0); }, 10, "CIRCLE", {}},
      {"two hollow markers, each with its own radius",
       [](CPieceItem** item) {
         AddGroup(*item, 30 * mm, 30 * mm, 0);
         (*item)->AddTailVertex(2 * mm, 0, kVertexKindFixedSingle2);
         (*item)->AddTailVertex(2 * mm, 2 * mm, kVertexKindFixedSingle2);
         AddGroup(*item, 60 * mm, 30 * mm, 0);
         (*item)->AddTailVertex(4 * mm, 0, kVertexKindFixedSingle2);
         (*item)->AddTailVertex(4 * mm, 4 * mm, kVertexKindFixedSingle2);
       },
       4, "CIRCLE", {{30, 30, 2}, {60, 30, 4}, {30, 30, 2}, {60, 30, 4}}},
      {"an open line with an empty ring", [](CPieceItem**) {}, 9, "POLYLINE", {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ResetStyleAndSettings();
    AddSizes(2);
    CPieceRecord* piece = AddRectPiece("P", 100, 60, 0, /*grainLine=*/false);
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(c.type);
    CPieceItem* item = ownedItem.get();
    c.build(&item);
    piece->AddItem(ownedItem.release());
    piece->UpdateCurveItems();
    piece->Recalc(1);

    const std::vector<Entity> all = Entities(Write(DxfSaveOptions{}));
    std::vector<std::vector<double>> got;
    for (const Entity& e : all) {
      if (e.name != c.entity) continue;
      if (e.name == "POINT") {
        const double x = e.Number(10), y = e.Number(20);
        if ((x == 0 || x == 100) && (y == 0 || y == 60)) continue;  // the rectangle's corners
        got.push_back({x, y});
      } else if (e.name == "CIRCLE") {
        got.push_back({e.Number(10), e.Number(20), e.Number(40)});
      }
    }
    if (std::string(c.entity) == "POLYLINE") {
      EXPECT_EQ(Named(all, "POLYLINE").size(), 2 + c.expected.size());  // the rectangle in each size
      for (const auto& polyline : Polylines(all)) {
        if (polyline.size() == 4) continue;  // the rectangle
        got.emplace_back();
        for (auto [x, y] : polyline) {
          got.back().push_back(x);
          got.back().push_back(y);
        }
      }
    }
    EXPECT_EQ(got, c.expected);
  }
}

// With control points the smooth closed line is written with its sampled
// curve, more vertices than its three main vertices; corners stay as they
// are.
TEST_F(DxfWriterTest, ControlPointsWriteTheSampledCurve) {
  AddSizes(1);
  CPieceRecord* piece = AddRectPiece("P", 100, 60);
  std::unique_ptr<CPieceItem> ownedClosed = CreatePieceItem(8);
  CPieceItem* closed = ownedClosed.get();
  AddGroup(closed, 50 * kScale, 20 * kScale, 1);
  AddGroup(closed, 70 * kScale, 30 * kScale, 1);
  AddGroup(closed, 50 * kScale, 40 * kScale, 1);
  piece->AddItem(ownedClosed.release());
  piece->UpdateCurveItems();
  piece->Recalc(1);

  DxfSaveOptions options;
  auto plain = Polylines(Entities(Write(options)));
  options.addControlPoints = 1;
  auto sampled = Polylines(Entities(Write(options)));
  ASSERT_EQ(plain.size(), 2u);
  ASSERT_EQ(sampled.size(), 2u);
  EXPECT_EQ(sampled[0], plain[0]);  // the rectangle has corners only
  EXPECT_EQ(plain[1].size(), 3u);
  EXPECT_GT(sampled[1].size(), 3u);
}

// Notches: without bumps each notch is one LINE from its point on the
// outline to its inner end (never joined to the next notch); with bumps the
// notch item is left out and the outline gets the notch's two ends.
TEST_F(DxfWriterTest, NotchesAsMarksOrAsBumpsOfTheOutline) {
  AddSizes(1);
  CPieceRecord* piece = AddRectPiece("P", 100, 60);
  CPieceItem* outline = FindFirstItem(piece, 0);
  std::unique_ptr<CPieceItem> notches = CreatePieceItem(13);
  auto addNotch = [&](int x, CVertexNode* vertex) {
    notches->AddTailVertex(x * kScale, 0, 0);
    notches->AddTailVertex(x * kScale, 5 * kScale, 0x101);
    notches->AddTailVertex(1 * kScale, 0, kVertexKindFixedSingle);
    notches->AddTailVertex(vertex->X, vertex->Y, kVertexKindMovedSingle | 0x400);
  };
  addNotch(30, outline->VertexHead);
  addNotch(70, outline->VertexHead);
  piece->AddItem(notches.release());
  piece->Recalc(1);

  DxfSaveOptions options;
  std::vector<Entity> all = Entities(Write(options));
  const std::vector<Entity> lines = Named(all, "LINE");
  // Two grain-line lines and one per notch.
  ASSERT_EQ(lines.size(), 4u);
  for (size_t i = 2; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(lines[i].Number(10), lines[i].Number(11));  // each notch is vertical
    EXPECT_NEAR(std::abs(lines[i].Number(20) - lines[i].Number(21)), 5.0, 1e-3);
  }
  const size_t plainOutline = Polylines(all)[0].size();

  options.notchBump = 1;
  all = Entities(Write(options));
  EXPECT_EQ(Named(all, "LINE").size(), 2u);  // the grain line only
  EXPECT_GT(Polylines(all)[0].size(), plainOutline);

  TempFolder folder("zv_dxf_writer");
  WriteAndAudit(folder, options);
  options.addControlPoints = 1;
  WriteAndAudit(folder, options, "control.dxf");
}

// A piece without a grain line puts its labels beside the middle of its box:
// the box (after mirroring, at the origin) is 0..80 x 0..40 mm, its middle
// (40, 20); the texts stand 3 line spacings right and 4 .. 8 up from there.
TEST_F(DxfWriterTest, NoGrainLineLabelsAtTheMiddleOfTheBox) {
  AddSizes(1);
  AddRectPiece("P", 80, 40, 0, /*grainLine=*/false);
  const std::vector<Entity> texts = Named(Entities(Write(DxfSaveOptions{})), "TEXT");
  ASSERT_EQ(texts.size(), 5u);
  for (int k = 0; k < 5; ++k) {
    EXPECT_DOUBLE_EQ(texts[k].Number(10), 40.0 + 12.0);
    EXPECT_DOUBLE_EQ(texts[k].Number(20), 20.0 + 4.0 * (4 + k));
  }
  // In inches the labels are smaller and closer.
  g_UnitMode = 1;
  const std::vector<Entity> inch = Named(Entities(Write(DxfSaveOptions{})), "TEXT");
  ASSERT_EQ(inch.size(), 5u);
  EXPECT_NEAR(inch[0].Number(10), 80.0 / 2 / 25.4 + 3 * 0.16, 1e-4);
  EXPECT_NEAR(inch[0].Number(40), 0.14, 1e-6);
}

// Degenerate geometry (a grain line of no length, a circle of radius 0,
// an outline whose vertices all coincide, a notch on it, a text of no height)
// and a scale of 0 never put "nan" or "inf" into the file.
TEST_F(DxfWriterTest, DegenerateItemsWriteOnlyFiniteNumbers) {
  AddSizes(2);
  auto* piece = new CPieceRecord;
  std::unique_ptr<CPieceItem> ownedOutline = CreatePieceItem(0);
  CPieceItem* outline = ownedOutline.get();
  for (int i = 0; i < 3; ++i) AddGroup(outline, 100, 100, 0);
  piece->AddItem(ownedOutline.release());
  std::unique_ptr<CPieceItem> ownedGrain = CreatePieceItem(1);
  CPieceItem* grain = ownedGrain.get();
  AddGroup(grain, 100, 100, 0);
  AddGroup(grain, 100, 100, 0);
  piece->AddItem(ownedGrain.release());
  std::unique_ptr<CPieceItem> ownedCircle = CreatePieceItem(10);
  CPieceItem* circle = ownedCircle.get();
  AddGroup(circle, 100, 100, 0);
  circle->AddTailVertex(0, 0, kVertexKindSkipRun);
  circle->AddTailVertex(0, 0, kVertexKindCopy);
  piece->AddItem(ownedCircle.release());
  std::unique_ptr<CPieceItem> notches = CreatePieceItem(13);
  notches->AddTailVertex(100, 100, 0);
  notches->AddTailVertex(100, 100, kVertexKindCopy);
  notches->AddTailVertex(100, 100, 0x101);
  notches->AddTailVertex(100, 100, kVertexKindCopy);
  notches->AddTailVertex(0, 0, kVertexKindFixedSingle);
  notches->AddTailVertex(100, 100, kVertexKindMovedSingle | 0x400);
  piece->AddItem(notches.release());
  piece->UpdateCurveItems();
  piece->Recalc(1);
  g_Style.AddPiece(piece);
  AddText(piece, 100, 100, "");
  static_cast<CPieceItem11*>(FindFirstItem(piece, 11))->Font.lfHeight = 0;

  TempFolder folder("zv_dxf_writer");
  for (int bump = 0; bump < 2; ++bump) {
    for (int control = 0; control < 2; ++control) {
      for (int scale : {kScale, 0}) {
        SCOPED_TRACE(testing::Message() << "bump " << bump << " control " << control << " scale " << scale);
        g_Style.Scale = scale;
        DxfSaveOptions options;
        options.notchBump = bump;
        options.addControlPoints = control;
        options.sizeLayout = 0;
        const std::string text = WriteAndAudit(folder, options);
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_EQ(lower.find("nan"), std::string::npos);
        EXPECT_EQ(lower.find("inf"), std::string::npos);
      }
    }
  }
}

// Writing a style and reading it back: with sizes apart, each size's outline
// becomes a piece of its own (the reader's many-patterns choice), whose
// outline has the corners of that size's outline. Compared relative to each
// outline's box, within 1 model unit: numbers carry 4 decimals of a
// millimetre and the reader truncates. Not carried: grading (each size is a
// piece of its own size), the piece's texts (read back as text items), the
// grain line (the reader makes its own), and the vertex order (the reader
// starts the ring where it likes).
TEST_F(DxfWriterTest, RoundTripThroughTheReaderKeepsEachSizesOutline) {
  FakeShell shell;
  AddSizes(3);
  // A pentagon: a rectangle with its top right corner cut, graded unevenly.
  auto* piece = new CPieceRecord;
  std::unique_ptr<CPieceItem> ownedOutline = CreatePieceItem(0);
  CPieceItem* outline = ownedOutline.get();
  AddGroup(outline, 0, 0, 0);
  AddGroup(outline, 90 * kScale, 0, 0, 7 * kScale, 0);
  AddGroup(outline, 90 * kScale, 40 * kScale, 0, 7 * kScale, 5 * kScale);
  AddGroup(outline, 60 * kScale, 60 * kScale, 0, 3 * kScale, 7 * kScale);
  AddGroup(outline, 0, 60 * kScale, 0, 0, 7 * kScale);
  piece->AddItem(ownedOutline.release());
  piece->UpdateCurveItems();
  piece->Recalc(1);
  g_Style.AddPiece(piece);

  // The outline of each size relative to its own box.
  std::vector<std::vector<std::pair<int, int>>> expected(3);
  for (int s = 0; s < 3; ++s) {
    std::vector<CPoint> points = outline->MainVertexPositions(s);
    int minX = INT32_MAX, minY = INT32_MAX;
    for (const CPoint& p : points) {
      minX = std::min(minX, p.x);
      minY = std::min(minY, p.y);
    }
    for (const CPoint& p : points) expected[s].emplace_back(p.x - minX, p.y - minY);
    std::sort(expected[s].begin(), expected[s].end());
  }

  TempFolder folder("zv_dxf_writer");
  DxfSaveOptions options;
  options.sizeLayout = 0;
  const std::string path = folder / "apart.dxf";
  WriteAndAudit(folder, options, "apart.dxf");

  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.RunOptionsDialog(DialogScript(IDD_DXF_OPEN).ChooseRadio(IDC_DXF_OPEN_MANY));
  ASSERT_EQ(ReadDxfFile(CString(path)), DxfReadResult::kSuccess);
  // One piece per size, each found by its outline: the first polyline's
  // piece keeps what is left over (the labels) and is listed last.
  ASSERT_GE(g_Style.PieceCount, 3);
  std::vector<std::vector<std::pair<int, int>>> read;
  CPieceRecord* p = g_Style.PieceRing;
  for (int i = 0; i < g_Style.PieceCount; ++i, p = p->Next) {
    CPieceItem* o = FindFirstItem(p, 0);
    ASSERT_NE(o, nullptr);
    std::vector<CPoint> points = o->MainVertexPositions(0);
    int minX = INT32_MAX, minY = INT32_MAX;
    for (const CPoint& q : points) {
      minX = std::min(minX, q.x);
      minY = std::min(minY, q.y);
    }
    std::vector<std::pair<int, int>> rel;
    for (const CPoint& q : points) rel.emplace_back(q.x - minX, q.y - minY);
    std::sort(rel.begin(), rel.end());
    read.push_back(rel);
  }
  auto same = [](const std::vector<std::pair<int, int>>& a, const std::vector<std::pair<int, int>>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (std::abs(a[i].first - b[i].first) > 1 || std::abs(a[i].second - b[i].second) > 1) return false;
    }
    return true;
  };
  for (int s = 0; s < 3; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(std::count_if(read.begin(), read.end(), [&](const auto& r) { return same(r, expected[s]); }), 1);
  }
}

// Failures: nothing to write, a file that cannot be made, a file that cannot
// be put in place, and a disk that fills up while writing. Each gives 0 and
// message 40001, and leaves the target as it was, without a temporary file
// beside it.
TEST_F(DxfWriterTest, FailuresLeaveTheTargetAloneAndSaySo) {
  AddSizes(1);
  TempFolder folder("zv_dxf_writer");
  auto messages = [](const ScriptedPrompts& prompts) {
    std::vector<std::string> texts;
    for (const PromptRecord& r : prompts.records()) {
      if (r.kind == PromptKind::kMessageBox) texts.push_back(r.text.str());
    }
    return texts;
  };
  const std::vector<std::string> kFailed = {LoadString(IDS_SAVE_PTN_FAILED).str()};
  ASSERT_FALSE(kFailed[0].empty());

  {
    SCOPED_TRACE("an empty style, and an empty work area");
    ScriptedPrompts prompts;
    ScopedPrompts use(&prompts);
    EXPECT_EQ(SaveDxfFileWithOptions(CString(folder / "empty.dxf"), DxfSaveOptions{}), 0);
    AddRectPiece("P", 50, 50);
    DxfSaveOptions work;
    work.pieceSet = 0;
    EXPECT_EQ(SaveDxfFileWithOptions(CString(folder / "empty.dxf"), work), 0);
    EXPECT_EQ(messages(prompts), std::vector<std::string>(2, kFailed[0]));
    EXPECT_TRUE(folder.Names().empty());
  }
  {
    SCOPED_TRACE("a folder that does not exist");
    ScriptedPrompts prompts;
    ScopedPrompts use(&prompts);
    EXPECT_EQ(SaveDxfFileWithOptions(CString(folder / "missing/out.dxf"), DxfSaveOptions{}), 0);
    EXPECT_EQ(messages(prompts), kFailed);
    EXPECT_TRUE(folder.Names().empty());
  }
  {
    SCOPED_TRACE("a target that is a folder: written, but cannot be put in place");
    std::filesystem::create_directory(folder / "taken.dxf");
    ScriptedPrompts prompts;
    ScopedPrompts use(&prompts);
    EXPECT_EQ(SaveDxfFileWithOptions(CString(folder / "taken.dxf"), DxfSaveOptions{}), 0);
    EXPECT_EQ(messages(prompts), kFailed);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.dxf"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"taken.dxf"});
    std::filesystem::remove(folder / "taken.dxf");
  }
  {
    SCOPED_TRACE("the disk fills up while writing");
    for (int i = 0; i < 40; ++i) AddRectPiece("MORE", 50, 50);
    folder.AddFile("full.dxf", "old contents");
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ScriptedPrompts prompts;
    ScopedPrompts use(&prompts);
    const int result = SaveDxfFileWithOptions(CString(folder / "full.dxf"), DxfSaveOptions{});
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(messages(prompts), kFailed);
    EXPECT_EQ(ReadFile(folder / "full.dxf"), "old contents");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"full.dxf"});
  }
}

// The command: the dialog's choices reach the file, and Cancel writes
// nothing and is no failure.
TEST_F(DxfWriterTest, SaveAsksItsOptionsFirst) {
  AddSizes(2);
  AddRectPiece("P", 50, 40, 5);
  TempFolder folder("zv_dxf_writer");
  const std::string path = folder / "asked.dxf";
  {
    ScriptedPrompts prompts;
    ScopedPrompts use(&prompts);
    prompts.RunOptionsDialog(DialogScript(IDD_DXF_SAVE).Press(IDCANCEL));
    EXPECT_EQ(SaveDxfFile(CString(path)), 1);
    EXPECT_TRUE(folder.Names().empty());
  }
  ScriptedPrompts prompts;
  ScopedPrompts use(&prompts);
  prompts.RunOptionsDialog(DialogScript(IDD_DXF_SAVE).ChooseRadio(IDC_DXF_SAVE_SIZES_APART));
  EXPECT_EQ(SaveDxfFile(CString(path)), 1);
  EXPECT_EQ(prompts.unscripted_count(), 0);
  const std::vector<std::string> texts = Texts(Entities(ReadFile(path)));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "SIZE: S1"), 1);
  EXPECT_DXF_AUDIT_OK(path);
}

}  // namespace
