// The plain DXF reader: entities to items, the piece's outline and grain
// line, splitting into several patterns, and its refusals and failures.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/dxf_reader.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/model/support/fake_shell.h"
#include "tests/model/support/model_fixture.h"
#include "tests/support/dxf_text.h"
#include "tests/support/message_texts.h"
#include "tests/support/public_testdata.h"
#include "tests/support/temp_text.h"

namespace {


std::string Line(double x1, double y1, double x2, double y2) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "  0\nLINE\n  8\n0\n 10\n%.5f\n 20\n%.5f\n 11\n%.5f\n 21\n%.5f\n", x1, y1, x2, y2);
  return buf;
}

// A closed polyline of the given corners (mm).
std::string ClosedPolyline(const std::vector<std::pair<double, double>>& corners) {
  std::string s = "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n1\n";
  for (auto [x, y] : corners) {
    char buf[120];
    std::snprintf(buf, sizeof buf, "  0\nVERTEX\n  8\n0\n 10\n%.3f\n 20\n%.3f\n", x, y);
    s += buf;
  }
  return s + "  0\nSEQEND\n";
}

std::vector<std::pair<double, double>> Square(double x, double y, double side) {
  return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
}

class DxfReaderTest : public ModelTest {
 protected:
  // Reads `text` answering the options dialog with `unit` and `pattern`
  // radio buttons (0: leave the default) and `button`.
  DxfReadResult Read(const std::string& text, int unit = 0, int pattern = 0, int button = IDOK) {
    TempText file(text);
    DialogScript script(IDD_DXF_OPEN);
    if (unit) script.ChooseRadio(unit);
    if (pattern) script.ChooseRadio(pattern);
    script.Press(button);
    prompts_.RunOptionsDialog(script);
    return ReadDxfFile(file.Path());
  }
  // The texts of the message boxes shown so far.
  std::vector<CString> Messages() const { return MessageTexts(prompts_); }

  FakeShell shell_;
  ScriptedPrompts prompts_;
  ScopedPrompts scoped_{&prompts_};
};

TEST_F(DxfReaderTest, SingleLineGetsSquareOutlineAndGrainLine) {
  ASSERT_EQ(Read(Dxf(Line(0, 0, 100, 0))), DxfReadResult::kSuccess);
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(g_Style.PieceCount, 1);
  CPieceRecord* piece = g_Style.PieceRing;
  EXPECT_EQ(ItemTypes(*piece), (std::vector<int>{9, 0, 1}));
  EXPECT_EQ(g_Style.SizeCount, 1);
  EXPECT_EQ(piece->BoxMinX, 0);
  EXPECT_EQ(piece->BoxMinY, 0);
  // 100 mm at 40 units per mm.
  std::vector<CVertexNode*> line = Mains(Item(piece, 9));
  ASSERT_EQ(line.size(), 2u);
  EXPECT_EQ(std::abs(line[1]->X - line[0]->X), 4000);
  std::vector<CVertexNode*> square = Mains(Item(piece, 0));
  ASSERT_EQ(square.size(), 4u);
  for (CVertexNode* v : square) EXPECT_EQ(v->Kind(), 2);
  EXPECT_EQ(shell_.entries.size(), 1u) << "the piece is listed";
}

TEST_F(DxfReaderTest, CrLfAndLoneCrReadAsLf) {
  const std::string lf = Dxf(Line(0, 0, 100, 0) + ClosedPolyline(Square(0, 0, 50)));
  ASSERT_EQ(Read(lf), DxfReadResult::kSuccess);
  const std::vector<int> types = ItemTypes(*g_Style.PieceRing);
  std::vector<std::pair<int, int>> points;
  for (CVertexNode* v : Mains(Item(g_Style.PieceRing, 0))) points.emplace_back(v->X, v->Y);
  for (const char* eol : {"\r\n", "\r"}) {
    std::string other;
    for (char c : lf) {
      if (c == '\n') other += eol;
      else other += c;
    }
    ASSERT_EQ(Read(other), DxfReadResult::kSuccess);
    EXPECT_EQ(ItemTypes(*g_Style.PieceRing), types);
    std::vector<std::pair<int, int>> again;
    for (CVertexNode* v : Mains(Item(g_Style.PieceRing, 0))) again.emplace_back(v->X, v->Y);
    EXPECT_EQ(again, points);
  }
}

TEST_F(DxfReaderTest, ArcThroughZeroDegreesGivesFiveVerticesFiveDegreesApart) {
  const std::string arc = "  0\nARC\n  8\n0\n 10\n0.0\n 20\n0.0\n 40\n10.0\n 50\n350.0\n 51\n10.0\n";
  ASSERT_EQ(Read(Dxf(arc)), DxfReadResult::kSuccess);
  CPieceItem* item = Item(g_Style.PieceRing, 9);
  ASSERT_NE(item, nullptr);
  std::vector<CVertexNode*> v = Mains(item);
  ASSERT_EQ(v.size(), 5u);
  EXPECT_EQ(v[0]->Kind(), 0);
  EXPECT_EQ(v[4]->Kind(), 0);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(v[i]->Kind(), 1);
  // Radius 400 units: chords of 5 degrees between neighbours, 20 end to end.
  const double r = 400.0;
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(std::hypot(v[i + 1]->X - v[i]->X, v[i + 1]->Y - v[i]->Y), 2 * r * std::sin(2.5 * M_PI / 180), 2.0);
  }
  EXPECT_NEAR(std::hypot(v[4]->X - v[0]->X, v[4]->Y - v[0]->Y), 2 * r * std::sin(10 * M_PI / 180), 2.0);
}

TEST_F(DxfReaderTest, CoordinatesAreTruncatedNotRounded) {
  // 2.49975 mm is 99.99 units: it is stored as 99.
  ASSERT_EQ(Read(Dxf(Line(0, 0, 2.49975, 0))), DxfReadResult::kSuccess);
  std::vector<CVertexNode*> line = Mains(Item(g_Style.PieceRing, 9));
  ASSERT_EQ(line.size(), 2u);
  EXPECT_EQ(std::abs(line[1]->X - line[0]->X), 99);
}

TEST_F(DxfReaderTest, UnitsOfTheFile) {
  struct Case {
    int radio;
    int length;  // of a 10-unit line, in model units
  };
  const Case kCases[] = {{IDC_DXF_OPEN_MM, 400}, {IDC_DXF_OPEN_CM, 4000}, {IDC_DXF_OPEN_INCH, 10160}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.radio);
    ASSERT_EQ(Read(Dxf(Line(0, 0, 10, 0)), c.radio), DxfReadResult::kSuccess);
    std::vector<CVertexNode*> line = Mains(Item(g_Style.PieceRing, 9));
    ASSERT_EQ(line.size(), 2u);
    EXPECT_EQ(std::abs(line[1]->X - line[0]->X), c.length);
  }
}

TEST_F(DxfReaderTest, MeasurementHeaderOverridesMillimetresOnly) {
  struct Case {
    int radio;
    const char* measurement;
    int length;  // of a 10-unit line
  };
  const Case kCases[] = {{IDC_DXF_OPEN_MM, "0", 10160},
                         {IDC_DXF_OPEN_MM, "1", 400},
                         {IDC_DXF_OPEN_CM, "0", 4000},
                         {IDC_DXF_OPEN_INCH, "1", 10160}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.measurement) + " " + std::to_string(c.radio));
    const std::string text = std::string("  0\nSECTION\n  2\nHEADER\n  9\n$MEASUREMENT\n 70\n") + c.measurement +
                             "\n  0\nENDSEC\n" + Dxf(Line(0, 0, 10, 0));
    ASSERT_EQ(Read(text, c.radio), DxfReadResult::kSuccess);
    std::vector<CVertexNode*> line = Mains(Item(g_Style.PieceRing, 9));
    ASSERT_EQ(line.size(), 2u);
    EXPECT_EQ(std::abs(line[1]->X - line[0]->X), c.length);
  }
}

TEST_F(DxfReaderTest, TextsOutsideTheOutlineAreLinedUpBesideIt) {
  const std::string texts = "  0\nTEXT\n 10\n500\n 20\n0\n  1\nA\n  0\nTEXT\n 10\n600\n 20\n0\n  1\nB\n"
                            "  0\nTEXT\n 10\n10\n 20\n10\n  1\nC\n";
  ASSERT_EQ(Read(Dxf(ClosedPolyline(Square(0, 0, 50)) + texts)), DxfReadResult::kSuccess);
  CPieceRecord* piece = g_Style.PieceRing;
  std::vector<CPieceItem11*> found;
  CPieceItem* item = piece->ItemRing;
  for (int i = 0; i < piece->ItemCount; ++i, item = item->Next) {
    if (item->Type == kItemTypeText) found.push_back(static_cast<CPieceItem11*>(item));
  }
  ASSERT_EQ(found.size(), 3u);
  std::vector<CVertexNode*> corners = Mains(Item(piece, 0));
  int maxX = corners[0]->X;
  for (CVertexNode* v : corners) maxX = std::max(maxX, v->X);
  EXPECT_EQ(found[0]->AnchorX, found[1]->AnchorX);
  EXPECT_EQ(found[1]->AnchorY - found[0]->AnchorY, 8 * 40) << "one 8 mm step per text";
  EXPECT_LT(found[2]->AnchorX, maxX) << "a text inside stays";
}

TEST_F(DxfReaderTest, ManyPatternsSplitAtClosedPolylinesAboveTheAreaThreshold) {
  // Three 50 mm squares and one of 5 mm (25 mm², under the 400 mm² of a 20 mm
  // square).
  const std::string text = Dxf(ClosedPolyline(Square(0, 0, 50)) + ClosedPolyline(Square(100, 0, 50)) +
                               ClosedPolyline(Square(200, 0, 50)) + ClosedPolyline(Square(300, 0, 5)));
  ASSERT_EQ(Read(text, 0, IDC_DXF_OPEN_MANY), DxfReadResult::kSuccess);
  std::vector<CPieceRecord*> pieces = StylePieces();
  ASSERT_EQ(pieces.size(), 3u);
  // The first square is the main piece, listed last; it keeps the small one.
  CPieceRecord* main = pieces.back();
  EXPECT_EQ(ItemTypes(*main), (std::vector<int>{8, 0, 1}));
  for (CPieceRecord* piece : {pieces[0], pieces[1]}) {
    EXPECT_EQ(ItemTypes(*piece), (std::vector<int>{0, 1}));
    std::vector<CVertexNode*> corners = Mains(Item(piece, 0));
    ASSERT_EQ(corners.size(), 4u);
    auto [lo, hi] = std::minmax_element(corners.begin(), corners.end(),
                                        [](CVertexNode* a, CVertexNode* b) { return a->X < b->X; });
    EXPECT_EQ((*hi)->X - (*lo)->X, 2000);
  }
  EXPECT_EQ(shell_.entries.size(), 3u);
}

TEST_F(DxfReaderTest, OnePatternKeepsEveryPolylineInOnePiece) {
  const std::string text = Dxf(ClosedPolyline(Square(0, 0, 50)) + ClosedPolyline(Square(100, 0, 50)));
  ASSERT_EQ(Read(text), DxfReadResult::kSuccess);
  ASSERT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(ItemTypes(*g_Style.PieceRing), (std::vector<int>{8, 0, 1}));
}

TEST_F(DxfReaderTest, PolylineShapes) {
  struct Case {
    const char* name;
    std::string entities;
    std::vector<int> types;
  };
  const std::string openRepeating =
      "  0\nPOLYLINE\n 70\n0\n"
      "  0\nVERTEX\n 10\n0\n 20\n0\n  0\nVERTEX\n 10\n50\n 20\n0\n  0\nVERTEX\n 10\n50\n 20\n50\n"
      "  0\nVERTEX\n 10\n0\n 20\n50\n  0\nVERTEX\n 10\n0\n 20\n0\n  0\nSEQEND\n";
  const std::string twoCornersClosed =
      "  0\nPOLYLINE\n 70\n1\n  0\nVERTEX\n 10\n0\n 20\n0\n  0\nVERTEX\n 10\n50\n 20\n0\n  0\nSEQEND\n";
  const Case kCases[] = {
      {"closed with three vertices becomes the outline",
       ClosedPolyline({{0, 0}, {50, 0}, {0, 50}}), {0, 1}},
      {"closed with two vertices is dropped", twoCornersClosed, {0, 1}},
      {"open, ending where it starts, becomes the outline", openRepeating, {0, 1}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Read(Dxf(c.entities)), DxfReadResult::kSuccess);
    EXPECT_EQ(ItemTypes(*g_Style.PieceRing), c.types);
  }
  // Only the two-vertex case falls back to the square.
  ASSERT_EQ(Read(Dxf(twoCornersClosed)), DxfReadResult::kSuccess);
  EXPECT_EQ(Mains(Item(g_Style.PieceRing, 0))[0]->Kind(), 2);
  ASSERT_EQ(Read(Dxf(openRepeating)), DxfReadResult::kSuccess);
  EXPECT_EQ(Mains(Item(g_Style.PieceRing, 0)).size(), 4u);
}

TEST_F(DxfReaderTest, CommentWithTwoCommasMakesAPolylineVertexACorner) {
  const std::string poly =
      "  0\nPOLYLINE\n 70\n1\n"
      "  0\nVERTEX\n 10\n0\n 20\n0\n  0\nVERTEX\n999\n1,,2\n 10\n50\n 20\n0\n  0\nVERTEX\n 10\n50\n 20\n50\n"
      "  0\nVERTEX\n999\n1,2\n 10\n0\n 20\n50\n  0\nSEQEND\n";
  ASSERT_EQ(Read(Dxf(poly)), DxfReadResult::kSuccess);
  std::vector<int> kinds;
  for (CVertexNode* v : Mains(Item(g_Style.PieceRing, 0))) kinds.push_back(v->Kind());
  ASSERT_EQ(kinds.size(), 4u);
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 0), 1);
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 1), 3);
}

TEST_F(DxfReaderTest, OpenPolylineOfThreeKeepsCornerEnds) {
  // The curve point on the middle vertex keeps the line a curve.
  const std::string poly =
      "  0\nPOLYLINE\n 70\n0\n"
      "  0\nVERTEX\n 10\n0\n 20\n0\n  0\nVERTEX\n 10\n50\n 20\n10\n  0\nVERTEX\n 10\n0\n 20\n0\n  0\nSEQEND\n"
      "  0\nPOINT\n  8\n3\n 10\n50\n 20\n10\n";
  ASSERT_EQ(Read(Dxf(ClosedPolyline(Square(-10, -10, 100)) + poly)), DxfReadResult::kSuccess);
  CPieceItem* line = Item(g_Style.PieceRing, 9);
  ASSERT_NE(line, nullptr);
  std::vector<CVertexNode*> v = Mains(line);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0]->Kind(), 0);
  EXPECT_EQ(v[1]->Kind(), 1);
  EXPECT_EQ(v[2]->Kind(), 0);
}

TEST_F(DxfReaderTest, TextKeepsItsBytesAndHandlesDoNotDerailThePairs) {
  // A handle "8" and a height "1.0" must not be taken for group codes.
  const std::string text = "  0\nTEXT\n  5\n8\n  8\n10\n 10\n10.0\n 20\n10.0\n 40\n1.0\n  1\n\xc7\xb0\xc6\xac\n";
  ASSERT_EQ(Read(Dxf(ClosedPolyline(Square(0, 0, 50)) + text)), DxfReadResult::kSuccess);
  auto* item = static_cast<CPieceItem11*>(Item(g_Style.PieceRing, kItemTypeText));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Text, CString("\xc7\xb0\xc6\xac"));
}

TEST_F(DxfReaderTest, CancelChangesNothing) {
  AddSizes(2);
  g_Style.StyleName = "keep";
  auto* piece = new CPieceRecord;
  g_Style.AddPiece(piece);
  EXPECT_EQ(Read(Dxf(Line(0, 0, 100, 0)), 0, 0, IDCANCEL), DxfReadResult::kCancelled);
  EXPECT_EQ(DxfReadResultCode(DxfReadResult::kCancelled), 1);
  EXPECT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(g_Style.PieceRing, piece);
  EXPECT_EQ(g_Style.SizeCount, 2);
  EXPECT_EQ(g_Style.StyleName, CString("keep"));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(DxfReaderTest, RefusalsAndFailures) {
  struct Case {
    const char* name;
    std::string text;
    DxfReadResult result;
    UINT message;
  };
  const Case kCases[] = {
      {"binary DXF", std::string("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0", 29), DxfReadResult::kRefused,
       IDS_NOT_ASCII_DXF},
      {"empty file", "", DxfReadResult::kRefused, IDS_NOT_ASCII_DXF},
      {"no SECTION", "  0\nEOF\n", DxfReadResult::kRefused, IDS_NOT_ASCII_DXF},
      {"ends inside a LINE", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n1.0\n 20\n", DxfReadResult::kFailed,
       IDS_FILE_DATA_ERROR},
      {"ends inside a POLYLINE", "  0\nSECTION\n  0\nPOLYLINE\n 70\n1\n  0\nVERTEX\n 10\n0\n 20\n0\n",
       DxfReadResult::kFailed, IDS_FILE_DATA_ERROR},
      {"damaged code inside an ARC", "  0\nSECTION\n  0\nARC\n 10\n0\n 2O\n0\n  0\nEOF\n", DxfReadResult::kFailed,
       IDS_FILE_DATA_ERROR},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ScriptedPrompts prompts;
    ScopedPrompts scoped(&prompts);
    prompts.RunOptionsDialog(DialogScript(IDD_DXF_OPEN));
    AddSizes(1);
    CPieceRecord* loaded = new CPieceRecord;
    g_Style.AddPiece(loaded);
    TempText file(c.text);
    EXPECT_EQ(ReadDxfFile(file.Path()), c.result);
    EXPECT_EQ(DxfReadResultCode(c.result), 0);
    ASSERT_FALSE(prompts.records().empty());
    EXPECT_EQ(prompts.records().back().text, LoadString(c.message));
    if (c.result == DxfReadResult::kRefused) {
      EXPECT_EQ(prompts.records().size(), 1u) << "no options asked";
    }
    // Refused or failed, the style is left as it was.
    EXPECT_EQ(g_Style.PieceCount, 1);
    EXPECT_EQ(g_Style.PieceRing, loaded);
    EXPECT_EQ(g_Style.SizeCount, 1);
    ClearStyle();
  }
}

// The list pane follows the read only when it succeeds: then it has seen
// every call of the read (emptied, then each piece added as it was listed);
// after a failed read it has seen none.
TEST_F(DxfReaderTest, TheListPaneFollowsOnlyASuccessfulRead) {
  const std::string two = Dxf(ClosedPolyline(Square(0, 0, 50)) + ClosedPolyline(Square(100, 0, 50)));
  shell_.calls.clear();
  ASSERT_EQ(Read(two, 0, IDC_DXF_OPEN_MANY), DxfReadResult::kSuccess);
  auto listed = [] {
    std::vector<CPieceRecord*> pieces;
    CPieceRecord* piece = g_Style.PieceRing;
    for (int i = 0; i < g_Style.PieceCount; ++i, piece = piece->Next) pieces.push_back(piece);
    return pieces;
  };
  const std::vector<CPieceRecord*> pieces = listed();
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(shell_.entries, pieces);
  EXPECT_EQ(shell_.calls, (std::vector<std::string>{"ResetContent", "AddPiece", "AddPiece"}));

  shell_.calls.clear();
  EXPECT_EQ(Read("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n1.0\n 20\n"), DxfReadResult::kFailed);
  EXPECT_TRUE(shell_.calls.empty());
  EXPECT_EQ(shell_.entries, pieces);
  EXPECT_EQ(listed(), pieces);
}

TEST_F(DxfReaderTest, MissingFile) {
  EXPECT_EQ(ReadDxfFile("/nonexistent/zv/none.dxf"), DxfReadResult::kFailed);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], LoadString(IDS_FILE_MISSING));
}

TEST_F(DxfReaderTest, PointsOnVerticesSetTheirKind) {
  // A point on layer "3" at a polyline vertex keeps it a curve vertex; one on
  // another layer makes it a corner; a point on no vertex stays a mark.
  const std::string poly =
      "  0\nPOLYLINE\n 70\n1\n"
      "  0\nVERTEX\n 10\n0\n 20\n0\n  0\nVERTEX\n 10\n50\n 20\n0\n  0\nVERTEX\n 10\n50\n 20\n50\n"
      "  0\nVERTEX\n 10\n0\n 20\n50\n  0\nSEQEND\n";
  const std::string points = "  0\nPOINT\n  8\n3\n 10\n50\n 20\n0\n"
                             "  0\nPOINT\n  8\n1\n 10\n50\n 20\n50\n"
                             "  0\nPOINT\n  8\n1\n 10\n25\n 20\n25\n";
  ASSERT_EQ(Read(Dxf(poly + points)), DxfReadResult::kSuccess);
  CPieceRecord* piece = g_Style.PieceRing;
  CPieceItem* marks = Item(piece, 2);
  ASSERT_NE(marks, nullptr);
  EXPECT_EQ(Mains(marks).size(), 1u) << "only the free point stays";
  std::vector<int> kinds;
  for (CVertexNode* v : Mains(Item(piece, 0))) kinds.push_back(v->Kind());
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 0), 1);
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 1), 3);
}

// A drawing with every entity the reader knows, cut at every line end and
// inside every line: each cut is read whole, refused or failed, never
// misread into a crash.
TEST_F(DxfReaderTest, EveryTruncationIsHandled) {
  const std::string full = Dxf(
      Line(0, 0, 100, 0) + ClosedPolyline(Square(0, 0, 50)) +
      "  0\nARC\n 10\n0\n 20\n0\n 40\n10\n 50\n90\n 51\n0\n  0\nCIRCLE\n 10\n5\n 20\n5\n 40\n2\n"
      "  0\nTEXT\n 10\n1\n 20\n1\n  1\nA\n  0\nPOINT\n  8\n3\n 10\n0\n 20\n0\n");
  std::vector<size_t> cuts = {0};
  for (size_t i = 0; i < full.size(); ++i) {
    if (full[i] == '\n') cuts.insert(cuts.end(), {i, i + 1});
  }
  for (size_t cut : cuts) {
    SCOPED_TRACE(cut);
    ScriptedPrompts prompts;
    ScopedPrompts scoped(&prompts);
    prompts.RunOptionsDialog(DialogScript(IDD_DXF_OPEN).ChooseRadio(IDC_DXF_OPEN_MANY));
    TempText file(full.substr(0, cut));
    const DxfReadResult result = ReadDxfFile(file.Path());
    EXPECT_NE(result, DxfReadResult::kCancelled);
    if (result != DxfReadResult::kSuccess) {
      EXPECT_EQ(g_Style.PieceCount, 0);
    }
    ClearStyle();
  }
}

// A coordinate that is no finite number or beyond what the model holds is a
// data error; a tiny one is 0.
TEST_F(DxfReaderTest, HostileNumbersStayInRange) {
  for (const char* v : {"1e309", "-1e309", "nan", "inf", "2147483648", "1e-320", ""}) {
    SCOPED_TRACE(v);
    const bool fits = std::string(v) == "1e-320";
    const std::string n = std::string(v) + "\n";
    const std::string text =
        Dxf("  0\nLINE\n 10\n" + n + " 20\n" + n + " 11\n0\n 21\n0\n" + "  0\nARC\n 10\n0\n 20\n0\n 40\n" + n +
            " 50\n" + n + " 51\n" + n + "  0\nCIRCLE\n 10\n" + n + " 20\n0\n 40\n" + n);
    ASSERT_EQ(Read(text, 0, IDC_DXF_OPEN_MANY), fits ? DxfReadResult::kSuccess : DxfReadResult::kFailed);
    EXPECT_EQ(LastDxfReadReport().messageId, fits ? 0u : IDS_FILE_DATA_ERROR);
    ClearStyle();
  }
}

// Every outside file opens without harm, with the result it should have.
TEST_F(DxfReaderTest, PublicFiles) {
  ZV_SKIP_WITHOUT_PUBLIC_TESTDATA();
  struct Case {
    const char* file;
    DxfReadResult result;
  };
  const Case kCases[] = {
      {"ezdxf/AC1003_LINE_Example.dxf", DxfReadResult::kSuccess},
      {"ezdxf/ASCII_R12.dxf", DxfReadResult::kSuccess},
      {"ezdxf/Minimal_DXF_AC1009.dxf", DxfReadResult::kSuccess},
      {"ezdxf/POLI-ALL210_12.DXF", DxfReadResult::kSuccess},
      {"ezdxf/R12_with_trash_beyond_EOF.dxf", DxfReadResult::kSuccess},
      {"ezdxf/bin_dxf_r12.dxf", DxfReadResult::kRefused},
      {"ezdxf/caret_encoding.dxf", DxfReadResult::kSuccess},
      {"ezdxf/cc_dxflib.dxf", DxfReadResult::kSuccess},
      {"ezdxf/dxf_unicode.dxf", DxfReadResult::kSuccess},
      {"ezdxf/r12_blocks_with_no_names.dxf", DxfReadResult::kSuccess},
      {"jblockcreator/Bodice_Main_Block.dxf", DxfReadResult::kSuccess},
      {"jblockcreator/Skirt_Front_Block.dxf", DxfReadResult::kSuccess},
  };
  for (const Case& c : kCases) {
    for (int pattern : {IDC_DXF_OPEN_ONE, IDC_DXF_OPEN_MANY}) {
      SCOPED_TRACE(std::string(c.file) + (pattern == IDC_DXF_OPEN_MANY ? " many" : " one"));
      ScriptedPrompts prompts;
      ScopedPrompts scoped(&prompts);
      prompts.RunOptionsDialog(DialogScript(IDD_DXF_OPEN).ChooseRadio(pattern));
      EXPECT_EQ(ReadDxfFile(CString(PublicTestDataDir() + "/" + c.file)), c.result);
      if (c.result == DxfReadResult::kSuccess) {
        EXPECT_GE(g_Style.PieceCount, 1);
        EXPECT_EQ(prompts.records().size(), 1u) << "no message";
      }
      ClearStyle();
    }
  }
}

}  // namespace
