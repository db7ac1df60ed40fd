#include "formats/aama_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/aama_rules.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/support/message_texts.h"
#include "tests/support/piece_items.h"
#include "tests/support/public_testdata.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The start of an AAMA file up to its blocks section, with an author line.
std::string Head(const std::string& author, const std::string& units = "UNITS: METRIC") {
  std::string head = "0\nSECTION\n2\nHEADER\n";
  if (!author.empty()) head += "999\nAuthor: " + author + "\n";
  if (!units.empty()) head += "999\n" + units + "\n";
  return head + "0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n";
}

std::string Text(const std::string& text, double x = 0, double y = 0) {
  return "0\nTEXT\n8\n1\n10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) + "\n1\n" + text + "\n";
}

// A closed boundary polyline on layer 1 through the given corners.
std::string Boundary(const std::vector<std::pair<double, double>>& corners) {
  std::string s = "0\nPOLYLINE\n8\n1\n66\n1\n70\n1\n";
  for (const auto& [x, y] : corners) s += "0\nVERTEX\n8\n1\n10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) + "\n";
  return s + "0\nSEQEND\n";
}

std::string Square(double size, double at = 0) {
  return Boundary({{at, at}, {at + size, at}, {at + size, at + size}, {at, at + size}});
}

std::string Point(double x, double y, int layer = 2) {
  return "0\nPOINT\n8\n" + std::to_string(layer) + "\n10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) + "\n";
}

std::string Block(const std::string& name, const std::string& body) {
  return "0\nBLOCK\n8\n1\n2\n" + name + "\n" + body + "0\nENDBLK\n";
}

const char kTail[] = "0\nENDSEC\n0\nEOF\n";

class AamaReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStyle();
    previous_ = SetPrompts(&prompts_);
  }
  void TearDown() override {
    SetPrompts(previous_);
    ClearStyle();
  }

  std::string Write(const std::string& name, const std::string& text) {
    return folder_.AddFile(name, text);
  }

  // Runs the open command's read with the dialog answered by `script`.
  AamaReadResult Open(const std::string& path, DialogScript script = DialogScript(IDD_AAMA_OPEN)) {
    prompts_.RunOptionsDialog(std::move(script));
    return ReadAamaFile(path.c_str(), 0, 0);
  }

  // The failure messages shown, by their text.
  std::vector<CString> Messages() const { return MessageTexts(prompts_); }

  static CPieceItem* Outline(const CPieceRecord* piece) { return Item(piece, 0); }

  // The longest side of the outline, from its main vertices in the base size.
  static int OutlineWidth(const CPieceRecord* piece) {
    const CPieceItem* outline = Outline(piece);
    if (!outline) return -1;
    const std::vector<CPoint> pts = outline->MainVertexPositions(0);
    int width = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
      const CPoint& a = pts[i];
      const CPoint& b = pts[(i + 1) % pts.size()];
      width = std::max(width, std::abs(static_cast<int>(WrapSub(b.x, a.x))));
    }
    return width;
  }

  static int RingLength() {
    int n = 0;
    CSizeRecord* s = g_Style.SizeRing;
    if (!s) return 0;
    do {
      ++n;
      s = s->Next;
    } while (s && s != g_Style.SizeRing && n < 10000);
    return n;
  }

  ScriptedPrompts prompts_;
  IPrompts* previous_ = nullptr;
  TempFolder folder_{"zv_aama"};
};

TEST_F(AamaReaderTest, UnitsAndTheDialogScale) {
  struct Case {
    const char* units;
    const char* scale;
    int width;  // of a 10-unit square, in model units (40 per millimetre)
  };
  const Case kCases[] = {
      {"UNITS: METRIC", "10.0", 4000}, {"UNITS: METRIC", "1.0", 400},  {"UNITS: METRIC", "2", 800},
      {"UNITS: ENGLISH", "1.0", 10160}, {"", "10.0", 400},             {"units:metric", "1/25.4", 15},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.units) + " x " + c.scale);
    ClearStyle();
    const std::string path = Write("units.dxf", Head("", c.units) + Block("P1", Square(10)) + kTail);
    DialogScript script(IDD_AAMA_OPEN);
    script.SetText(IDC_AAMA_OPEN_SCALE, c.scale);
    ASSERT_EQ(Open(path, script), AamaReadResult::kSuccess);
    ASSERT_EQ(g_Style.PieceCount, 1);
    EXPECT_EQ(OutlineWidth(g_Style.PieceRing), c.width);
  }
}

TEST_F(AamaReaderTest, SizeBlocksSMLMergeIntoOneGradedPiece) {
  const std::string path =
      Write("blocks.dxf", Head("GERBER") + Block("S", Text("Piece Name: FRONT") + Text("Size: S") + Square(9)) +
                              Block("M", Text("Piece Name: FRONT") + Text("Size: M") + Square(10) + Text("Sample Size: M")) +
                              Block("L", Text("Piece Name: FRONT") + Text("Size: L") + Square(11)) + kTail);
  ASSERT_EQ(Open(path), AamaReadResult::kSuccess);
  ASSERT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(g_Style.PieceRing->PieceName, "FRONT");
  ASSERT_EQ(g_Style.SizeCount, 3);
  EXPECT_EQ(g_Style.SizeAt(0)->Name, "M");
  EXPECT_EQ(g_Style.SizeAt(1)->Name, "S");
  EXPECT_EQ(g_Style.SizeAt(1)->SortKey1, -1.0);
  EXPECT_EQ(g_Style.SizeAt(2)->Name, "L");
  EXPECT_EQ(g_Style.SizeAt(2)->SortKey1, 1.0);
  // Each outline vertex holds M, then S and L.
  const CPieceItem* outline = Outline(g_Style.PieceRing);
  ASSERT_NE(outline, nullptr);
  const CVertexNode* v = outline->VertexHead;
  ASSERT_TRUE(v->IsMain());
  EXPECT_EQ(v->Next->Kind(), kVertexKindCopy);
  EXPECT_EQ(v->Next->Next->Kind(), kVertexKindCopy);
  EXPECT_TRUE(v->Next->Next->Next->IsMain() || v->Next->Next->Next->Kind() >= 100);
}

TEST_F(AamaReaderTest, RuleTableWithFiveSizesGradesEachGradePoint) {
  // A square whose corner (0, 0) carries rule 2 and corner (10, 0) rule 3.
  const std::string path = Write(
      "style.dxf", Head("GERBER") +
                       Block("P1", Text("Piece Name: FRONT") + Text("Size: M") + Square(10) + Point(0, 0) +
                                       Text("# 2", 0, 0) + Point(10, 0) + Text("#3", 10, 0)) +
                       kTail);
  Write("style.rul",
        "UNITS: METRIC\nNUMBER OF SIZES: 5\nSIZE LIST: XS S M L XL\nSAMPLE SIZE: M\n"
        "RULE: DELTA 2\n-2,1 -1,0.5 0,0 1,-0.5\n2,-1\n"
        "RULE: DELTA 3\n-4,0 -2,0 0,0 2,0 4,0\nEND\n");
  ASSERT_EQ(Open(path), AamaReadResult::kSuccess);
  ASSERT_EQ(g_Style.PieceCount, 1);
  ASSERT_EQ(g_Style.SizeCount, 5);
  const char* kNames[] = {"M", "XS", "S", "L", "XL"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(g_Style.SizeAt(i)->Name, kNames[i]);
  const CPieceItem* outline = Outline(g_Style.PieceRing);
  ASSERT_NE(outline, nullptr);
  // Offsets of each size from the base, by the base vertex's place; y turned
  // downwards as the piece was mirrored.
  const std::vector<std::pair<int, int>> rule2 = {{-80, -40}, {-40, -20}, {40, 20}, {80, 40}};
  const std::vector<std::pair<int, int>> rule3 = {{-160, 0}, {-80, 0}, {80, 0}, {160, 0}};
  int graded = 0;
  const CVertexNode* v = outline->VertexHead;
  for (int i = 0; i < outline->VertexCount; ++i, v = v->Next) {
    if (!v->IsMain()) continue;
    std::vector<std::pair<int, int>> offsets;
    const CVertexNode* c = v->Next;
    for (int k = 0; k < 4; ++k, c = c->Next) {
      ASSERT_EQ(c->Kind(), kVertexKindCopy);
      offsets.emplace_back(c->X - v->X, c->Y - v->Y);
    }
    // The grade points move by their rules; the curve points between them
    // follow by the curve's grading.
    if (v->Kind() == 0) {
      EXPECT_TRUE(offsets == rule2 || offsets == rule3);
      ++graded;
    }
  }
  EXPECT_EQ(graded, 2);
}

TEST_F(AamaReaderTest, RuleFileIsFoundWhateverTheCaseOfItsName) {
  for (const char* rule : {"a.rul", "A.RUL"}) {
    SCOPED_TRACE(rule);
    ClearStyle();
    const std::string path = Write("a.dxf", Head("GERBER") + Block("P1", Text("Size: M") + Square(10)) + kTail);
    const std::string rulePath =
        Write(rule, "NUMBER OF SIZES: 2\nSIZE LIST: M L\nSAMPLE SIZE: M\nRULE: DELTA 1\n0,0 1,1\n");
    ASSERT_EQ(Open(path), AamaReadResult::kSuccess);
    EXPECT_EQ(g_Style.SizeCount, 2);
    fs::remove(rulePath);
  }
}

TEST_F(AamaReaderTest, AppendModeKeepsTheSizeCountEqualToTheSizeRing) {
  const std::string rules =
      "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 1\n-100,0 0,0 100,0\n";
  const std::string first = Write("one.dxf", Head("") + Block("P1", Text("Size: M") + Square(1000)) + kTail);
  Write("one.rul", rules);
  ASSERT_EQ(ReadAamaFile(first.c_str(), 1, 1), AamaReadResult::kSuccess);
  ASSERT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(g_Style.SizeCount, 3);
  EXPECT_EQ(RingLength(), 3);

  // A second file with its rule table, and a third without one: the sizes
  // stay those of the first, and every piece has a place for each of them.
  const std::string second = Write("two.dxf", Head("") + Block("P2", Text("Size: M") + Square(2000)) + kTail);
  Write("two.rul", rules);
  ASSERT_EQ(ReadAamaFile(second.c_str(), 1, 1), AamaReadResult::kSuccess);
  const std::string third = Write("three.dxf", Head("") + Block("P3", Text("Size: M") + Square(3000)) + kTail);
  ASSERT_EQ(ReadAamaFile(third.c_str(), 1, 1), AamaReadResult::kSuccess);
  EXPECT_EQ(g_Style.PieceCount, 3);
  EXPECT_EQ(g_Style.SizeCount, 3);
  EXPECT_EQ(RingLength(), 3);
  CPieceRecord* piece = g_Style.PieceRing;
  for (int i = 0; i < 3; ++i, piece = piece->Next) {
    SCOPED_TRACE(i);
    const CVertexNode* v = Outline(piece)->VertexHead;
    EXPECT_EQ(v->Next->Kind(), kVertexKindCopy);
    EXPECT_EQ(v->Next->Next->Kind(), kVertexKindCopy);
  }
  // Loose shapes of a file that makes no piece become a piece of their own.
  const std::string loose = Write("loose.dxf", Head("") + "0\nLINE\n8\n1\n10\n0\n20\n0\n11\n5\n21\n0\n" + kTail);
  ASSERT_EQ(ReadAamaFile(loose.c_str(), 1, 1), AamaReadResult::kSuccess);
  EXPECT_EQ(g_Style.PieceCount, 4);
  EXPECT_EQ(g_Style.SizeCount, 3);
  EXPECT_EQ(RingLength(), 3);

  // A data error clears the style: no size is left behind in the count.
  const std::string broken = Write("broken.dxf", Head("GERBER") + "0\nBLOCK\n0\nPOLYLINE\n8\n1\n70\n1\n0\nVERTEX\n10\n1\n");
  ASSERT_EQ(ReadAamaFile(broken.c_str(), 1, 1), AamaReadResult::kFailed);
  EXPECT_EQ(g_Style.SizeCount, 0);
  EXPECT_EQ(RingLength(), 0);
}

TEST_F(AamaReaderTest, Refusals) {
  // A binary DXF starts with a line that is no group code.
  const std::string binary = Write("bin.dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0\x00\x01", 25));
  EXPECT_EQ(Open(binary), AamaReadResult::kRefused);
  EXPECT_EQ(AamaReadReturnValue(AamaReadResult::kRefused), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], LoadString(40007));

  // No "SECTION" pair: a first line "SECTION" is not one.
  const std::string noSection = Write("nosection.dxf", "SECTION\n0\nEOF\n");
  EXPECT_EQ(Open(noSection), AamaReadResult::kRefused);
  // Sections but no piece at all.
  const std::string empty = Write("empty.dxf", Head("GERBER") + kTail);
  EXPECT_EQ(Open(empty), AamaReadResult::kRefused);
  // A file that is not there.
  EXPECT_EQ(ReadAamaFile((folder_ / "missing.dxf").c_str(), 0, 0), AamaReadResult::kFailed);
  EXPECT_EQ(Messages().back(), LoadString(40002));
}

TEST_F(AamaReaderTest, FileEndingInsideAnEntity) {
  struct Case {
    const char* author;
    AamaReadResult result;
    int pieces;
  };
  const Case kCases[] = {
      {"", AamaReadResult::kSuccess, 1},        // no author line: ended there
      {"assyst 6.0", AamaReadResult::kSuccess, 1},
      {"GERBER", AamaReadResult::kFailed, 0},
      {"ZORVEK", AamaReadResult::kFailed, 0},
  };
  const std::string cuts[] = {
      "0\nPOLYLINE\n8\n1\n70\n1\n0\nVERTEX\n10\n1\n",  // inside a vertex
      "0\nPOLYLINE\n8\n1\n70\n1\n0\nVERTEX\n10\n1\n20\n",  // a code without its value
      "0\nLINE\n8\n1\n10\n0\n20\n",
      "0\nTEXT\n8\n1\n10\n0\n20\n0\n",
  };
  for (const Case& c : kCases) {
    for (const std::string& cut : cuts) {
      SCOPED_TRACE(std::string(c.author) + " | " + cut);
      ClearStyle();
      const size_t before = Messages().size();
      const std::string path =
          Write("cut.dxf", Head(c.author) + Block("P1", Square(10)) + "0\nBLOCK\n8\n1\n2\nP2\n" + cut);
      EXPECT_EQ(Open(path), c.result);
      EXPECT_EQ(g_Style.PieceCount, c.pieces);
      if (c.result == AamaReadResult::kFailed) {
        ASSERT_EQ(Messages().size(), before + 1);
        EXPECT_EQ(Messages().back(), LoadString(40004));
        EXPECT_EQ(g_Style.SizeCount, 0);
      } else {
        // What was read is kept, with the warning that the file is cut short.
        ASSERT_EQ(Messages().size(), before + 1);
        EXPECT_EQ(Messages().back(), LoadString(IDS_FILE_INCOMPLETE));
      }
    }
  }
}

TEST_F(AamaReaderTest, CancelChangesNothing) {
  const std::string path = Write("style.dxf", Head("") + Block("P1", Square(10)) + kTail);
  ASSERT_EQ(Open(path), AamaReadResult::kSuccess);
  g_Style.StyleName = "kept";
  CPieceRecord* piece = g_Style.PieceRing;
  DialogScript cancel(IDD_AAMA_OPEN);
  cancel.SetCheck(IDC_AAMA_OPEN_TEXT_INFO).Press(IDCANCEL);
  EXPECT_EQ(Open(path, cancel), AamaReadResult::kCancelled);
  EXPECT_EQ(AamaReadReturnValue(AamaReadResult::kCancelled), 1);
  EXPECT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(g_Style.PieceRing, piece);
  EXPECT_EQ(g_Style.StyleName, "kept");
  EXPECT_EQ(g_Style.SizeCount, 1);
}

TEST_F(AamaReaderTest, EntitiesAndTexts) {
  const std::string path = Write(
      "things.dxf",
      Head("GERBER") + "0\nBLOCK\n8\n1\n2\nP1\n" + Text("PIECE NAME: FRONT") + Text("QUANTITY: 2") +
          Text("STYLE NAME: Shirt") + Square(100) +
          // a LINE whose 10 is followed by 30 gives nothing; lower-case names are passed over
          "0\nLINE\n8\n1\n10\n1\n30\n0\n11\n2\n21\n2\n0\nline\n8\n1\n10\n1\n20\n1\n11\n2\n21\n2\n"
          // a layer named "10" and a handle "8" do not derail the pairs
          "0\nLINE\n5\n8\n8\n10\n10\n20\n20\n20\n11\n30\n21\n20\n" +
          "0\nENDBLK\n" + kTail);
  ASSERT_EQ(Open(path), AamaReadResult::kSuccess);
  ASSERT_EQ(g_Style.PieceCount, 1);
  CPieceRecord* piece = g_Style.PieceRing;
  EXPECT_EQ(piece->PieceName, "FRONT");
  EXPECT_EQ(piece->Quantity, 2);
  EXPECT_EQ(g_Style.StyleName, "Shirt");
  int openLines = 0;
  CPieceItem* item = piece->ItemRing;
  for (int i = 0; i < piece->ItemCount; ++i, item = item->Next) openLines += item->Type == 9 ? 1 : 0;
  EXPECT_EQ(openLines, 1);
}

TEST_F(AamaReaderTest, AuthorCodes) {
  const std::pair<const char*, int> kCases[] = {
      {"Author: GERBER and LECTRA", 4}, {"AUTHOR: ZORVEK TECHNOLOGY", 1}, {"Author: gerber", 0},
      {"Author: assyst", 9},            {"Author: Yuka", 11},             {"Author:", 0},
  };
  for (const auto& [line, code] : kCases) EXPECT_EQ(AamaAuthorCode(line), code) << line;
}

TEST_F(AamaReaderTest, EveryTruncationAndDamagedByteReadsSafely) {
  // A file with every entity kind, cut at every byte and with single bytes
  // changed: each read ends in one of its results with a consistent style.
  const std::string full =
      Head("GERBER") +
      Block("P1", Text("Piece Name: FRONT") + Text("Size: M") + Text("Sample Size: M") + Text("QUANTITY: 2") +
                      Square(10) + Point(0, 0) + Text("#2", 0, 0) + Point(10, 5, 4) + Point(5, 5, 3) +
                      "0\nLINE\n8\n7\n10\n2\n20\n5\n11\n8\n21\n5\n"
                      "0\nLINE\n8\n5\n10\n1\n20\n1\n11\n1\n21\n9\n"
                      "0\nCIRCLE\n8\n1\n10\n5\n20\n5\n40\n1\n"
                      "0\nARC\n8\n1\n10\n5\n20\n5\n40\n2\n50\n350\n51\n10\n" +
                      Boundary({{2, 2}, {3, 2}, {3, 3}, {2, 2}})) +
      kTail;
  Write("cut.rul", "UNITS: METRIC\nNUMBER OF SIZES: 3\nSIZE LIST: S M L\nSAMPLE SIZE: M\nRULE: DELTA 2\n-1,1 0,0 1,-1\n");
  auto check = [&](const std::string& bytes) {
    ClearStyle();
    const std::string path = Write("cut.dxf", bytes);
    const AamaReadResult result = Open(path);
    EXPECT_NE(result, AamaReadResult::kCancelled);
    EXPECT_EQ(g_Style.SizeCount, RingLength());
    if (result == AamaReadResult::kSuccess) {
      EXPECT_GT(g_Style.PieceCount, 0);
    }
  };
  for (size_t n = 0; n <= full.size(); ++n) {
    SCOPED_TRACE(n);
    check(full.substr(0, n));
  }
  for (size_t n = 0; n < full.size(); n += 5) {
    SCOPED_TRACE(n);
    std::string damaged = full;
    damaged[n] = damaged[n] == '\n' ? '9' : '\n';
    check(damaged);
  }
}

TEST_F(AamaReaderTest, StylesThatOnceBrokeTheReaderReadSafely) {
  // Inputs the reader fuzzer found, cut down to what matters. Each read ends
  // in a result, the style's size count matches its size ring, and every main
  // vertex of an outline carries one copy per size after the base.
  struct Case {
    const char* what;
    std::string dxf;
    std::string scale;
    bool allGradePoints;
  };
  const Case kCases[] = {
      // Three blocks that all take the sample size's empty name: evening out
      // the size copies removed copies a snapshot of the outline still held.
      {"blocks sharing the empty sample size",
       "0\nSECTION\n0\nTEXT\n10\n\n20\n\n1\nPiece\n0\nENDBLK\n0\nENDBLK\n0\nENDBLK\n", "0.1", true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ClearStyle();
    DialogScript script(IDD_AAMA_OPEN);
    script.SetText(IDC_AAMA_OPEN_SCALE, c.scale);
    if (c.allGradePoints) script.SetCheck(IDC_AAMA_OPEN_ALL_GRADE);
    const AamaReadResult result = Open(Write("found.dxf", c.dxf), script);
    EXPECT_NE(result, AamaReadResult::kCancelled);
    EXPECT_EQ(g_Style.SizeCount, RingLength());
    CPieceRecord* piece = g_Style.PieceRing;
    for (int p = 0; piece && p < g_Style.PieceCount; ++p, piece = piece->Next) {
      const CPieceItem* outline = Outline(piece);
      if (!outline) continue;
      int copies = 0;
      const CVertexNode* node = outline->VertexHead;
      for (int i = 0; i < outline->VertexCount; ++i, node = node->Next) {
        if (node->IsMain()) {
          if (i > 0) {
            EXPECT_EQ(copies, g_Style.SizeCount - 1) << "piece " << p << " before node " << i;
          }
          copies = 0;
        } else if (node->Kind() == kVertexKindCopy) {
          ++copies;
        }
      }
      EXPECT_EQ(copies, g_Style.SizeCount - 1) << "piece " << p << " at its last vertex";
    }
  }
}

TEST_F(AamaReaderTest, PolylinesBecomeTheItemsTheirLayersAndFlagsSay) {
  auto polyline = [](int layer, int flags, const std::vector<std::pair<double, double>>& pts) {
    std::string s = "0\nPOLYLINE\n8\n" + std::to_string(layer) + "\n66\n1\n70\n" + std::to_string(flags) + "\n";
    for (const auto& [x, y] : pts) s += "0\nVERTEX\n8\n1\n10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) + "\n";
    return s + "0\nSEQEND\n";
  };
  const std::vector<std::pair<double, double>> inner = {{2, 2}, {4, 2}, {4, 4}, {2, 4}};
  struct Case {
    const char* name;
    std::string body;
    int outlines, closedLines, openLines;
  };
  const Case kCases[] = {
      {"closed on layer 11, no outline yet: the outline", polyline(11, 1, inner), 1, 0, 0},
      {"closed on layer 11 after the outline: a closed line", Square(10) + polyline(11, 1, inner), 1, 1, 0},
      {"open, last vertex repeats the first: a closed line", Square(10) + polyline(11, 0, {{2, 2}, {4, 2}, {4, 4}, {2, 2}}), 1, 1, 0},
      {"open line", Square(10) + polyline(11, 0, {{2, 2}, {4, 2}, {5, 5}}), 1, 0, 1},
      {"open line of one vertex: nothing", Square(10) + polyline(11, 0, {{2, 2}}), 1, 0, 0},
      {"closed of two vertices: nothing", Square(10) + polyline(11, 1, {{2, 2}, {4, 2}}), 1, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ClearStyle();
    const std::string path = Write("poly.dxf", Head("GERBER") + Block("P1", c.body) + kTail);
    ASSERT_EQ(Open(path), AamaReadResult::kSuccess);
    ASSERT_EQ(g_Style.PieceCount, 1);
    int counts[3] = {0, 0, 0};
    CPieceItem* item = g_Style.PieceRing->ItemRing;
    for (int i = 0; i < g_Style.PieceRing->ItemCount; ++i, item = item->Next) {
      if (item->Type == 0) ++counts[0];
      if (item->Type == 8) ++counts[1];
      if (item->Type == 9) ++counts[2];
    }
    EXPECT_EQ(counts[0], c.outlines);
    EXPECT_EQ(counts[1], c.closedLines);
    EXPECT_EQ(counts[2], c.openLines);
  }
}

TEST_F(AamaReaderTest, CoordinatesAreTruncatedTowardZero) {
  // At 1 model unit per file unit: 1.99 gives 1 and -1.99 gives -1.
  const std::string path = Write(
      "trunc.dxf", Head("GERBER") + Block("P1", Boundary({{-1.99, 0}, {1.99, 0}, {1.99, 5}, {-1.99, 5}})) + kTail);
  DialogScript script(IDD_AAMA_OPEN);
  script.SetText(IDC_AAMA_OPEN_SCALE, "0.025");
  ASSERT_EQ(Open(path, script), AamaReadResult::kSuccess);
  const std::vector<CPoint> pts = Outline(g_Style.PieceRing)->MainVertexPositions(0);
  int minX = pts[0].x, maxX = pts[0].x;
  for (const CPoint& p : pts) {
    minX = std::min(minX, static_cast<int>(p.x));
    maxX = std::max(maxX, static_cast<int>(p.x));
  }
  EXPECT_EQ(maxX - minX, 2);
}

TEST_F(AamaReaderTest, GradeReferenceLineTurnsTheDeltasUnlessZorvekWroteTheFile) {
  // The reference line runs down the file's y axis, which is the model's
  // +y direction once the piece is mirrored: 90 degrees.
  struct Case {
    const char* author;
    std::pair<int, int> offset;
  };
  const Case kCases[] = {{"GERBER", {0, 10}}, {"", {0, 10}}, {"ZORVEK TECHNOLOGY", {10, 0}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.author);
    ClearStyle();
    const std::string path =
        Write("turn.dxf", Head(c.author) +
                              Block("P1", Text("Size: M") + Square(100) + Point(0, 0) + Text("#1", 0, 0) +
                                              "0\nLINE\n8\n5\n10\n5\n20\n90\n11\n5\n21\n10\n") +
                              kTail);
    Write("turn.rul", "NUMBER OF SIZES: 2\nSIZE LIST: M L\nSAMPLE SIZE: M\nRULE: DELTA 1\n0,0 0.25,0\n");
    ASSERT_EQ(Open(path), AamaReadResult::kSuccess);
    ASSERT_EQ(g_Style.SizeCount, 2);
    const CPieceItem* outline = Outline(g_Style.PieceRing);
    ASSERT_NE(outline, nullptr);
    int checked = 0;
    const CVertexNode* v = outline->VertexHead;
    for (int i = 0; i < outline->VertexCount; ++i, v = v->Next) {
      if (v->Kind() != 0) continue;
      EXPECT_EQ(std::make_pair(static_cast<int>(v->Next->X - v->X), static_cast<int>(v->Next->Y - v->Y)), c.offset);
      ++checked;
    }
    EXPECT_EQ(checked, 1);
  }
}

TEST_F(AamaReaderTest, PublicFilesOpenWithoutACrash) {
  ZV_SKIP_WITHOUT_PUBLIC_TESTDATA();
  struct Case {
    const char* file;
    AamaReadResult result;
    int pieces;
    int sizes;
  };
  // Plain DXF files of other programs, not AAMA ones. Their blocks are empty
  // layout blocks or anonymous ones ("*U1"), which make no piece. Shapes
  // outside any block make a piece only when they hold an outline
  // (POLI-ALL210_12); otherwise the file is refused as not AAMA, and so is
  // the binary file, and the style stays as it was (empty here).
  const Case kCases[] = {
      {"ezdxf/AC1003_LINE_Example.dxf", AamaReadResult::kRefused, 0, 0},
      {"ezdxf/ASCII_R12.dxf", AamaReadResult::kRefused, 0, 0},
      {"ezdxf/Minimal_DXF_AC1009.dxf", AamaReadResult::kRefused, 0, 0},
      {"ezdxf/POLI-ALL210_12.DXF", AamaReadResult::kSuccess, 1, 1},
      {"ezdxf/R12_with_trash_beyond_EOF.dxf", AamaReadResult::kRefused, 0, 0},
      {"ezdxf/bin_dxf_r12.dxf", AamaReadResult::kRefused, 0, 0},
      {"ezdxf/caret_encoding.dxf", AamaReadResult::kRefused, 0, 0},
      {"ezdxf/cc_dxflib.dxf", AamaReadResult::kRefused, 0, 0},
      {"ezdxf/dxf_unicode.dxf", AamaReadResult::kRefused, 0, 0},
      {"ezdxf/r12_blocks_with_no_names.dxf", AamaReadResult::kRefused, 0, 0},
      {"jblockcreator/Bodice_Main_Block.dxf", AamaReadResult::kRefused, 0, 0},
      {"jblockcreator/Skirt_Front_Block.dxf", AamaReadResult::kRefused, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    ClearStyle();
    EXPECT_EQ(Open(PublicTestDataDir() + "/" + c.file), c.result);
    EXPECT_EQ(g_Style.PieceCount, c.pieces);
    EXPECT_EQ(g_Style.SizeCount, c.sizes);
    EXPECT_EQ(g_Style.SizeCount, RingLength());
  }
}

}  // namespace
