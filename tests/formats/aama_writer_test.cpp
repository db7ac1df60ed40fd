#include "formats/aama_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/aama_reader.h"
#include "formats/aama_rul_writer.h"
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
#include "tests/support/dxf_audit.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr time_t kFeb3rd2001 = 981173106;  // 02-03-2001 04:05:06 UTC

void RestoreAamaOptions() {
  g_AamaOptPieces = 1;
  g_AamaOptSizes = 0;
  g_AamaOptNotch = 0;
  g_AamaOptText = 0;
  g_AamaOptGradeToRul = 1;
  g_AamaOptControlPoints = 0;
  g_AamaOptGradePoints = 1;
  g_AamaOptDescAsName = 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

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
  CPieceItem* item = CreatePieceItem(0);
  for (const GradedCorner& c : outline) AddGraded(item, c.x, c.y, c.kind, c.gx, c.gy);
  piece->AddItem(item);
  if (grainFrom.x != grainTo.x || grainFrom.y != grainTo.y) {
    CPieceItem* grain = CreatePieceItem(1);
    AddGraded(grain, grainFrom.x, grainFrom.y, 0, 4, 0);
    AddGraded(grain, grainTo.x, grainTo.y, 0, 4, 10);
    piece->AddItem(grain);
  }
  piece->UpdateCurveItems();
  piece->Recalc(1);
  g_Style.AddPiece(piece);
  return piece;
}

// A front of 100 x 160 mm with a curved hem, graded by 0.5 mm and 1 mm a
// size, and a plain back of 80 x 80 mm.
void BuildGradedStyle() {
  g_Style.StyleName = "SHIRT";
  AddSizes({{"M", 3}, {"XS", 1}, {"S", 2}, {"L", 4}, {"XL", 5}});
  AddPiece("FRONT",
           {{0, 0, 0, -20, -20}, {4000, 0, 0, 20, -20}, {4000, 6400, 0, 20, 40}, {2000, 6800, 3, 0, 40},
            {0, 6400, 0, -20, 40}},
           {2000, 1000}, {2000, 5000}, 2);
  AddPiece("BACK", {{0, 0, 0, 0, 0}, {3200, 0, 0, 40, 0}, {3200, 3200, 0, 40, 40}, {0, 3200, 0, 0, 40}},
           {1600, 400}, {1600, 2800});
}

class AamaWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStyle();
    RestoreDefaultSettings();
    RestoreAamaOptions();
    SetFixedCurrentTime(kFeb3rd2001);
    previous_ = SetPrompts(&prompts_);
  }
  void TearDown() override {
    SetPrompts(previous_);
    ClearFixedCurrentTime();
    ClearStyle();
    RestoreDefaultSettings();
    RestoreAamaOptions();
  }

  int Save(const std::string& path, DialogScript script = DialogScript(IDD_AAMA_SAVE)) {
    prompts_.RunOptionsDialog(std::move(script));
    return SaveAamaFile(path.c_str());
  }

  std::vector<CString> Messages() const {
    std::vector<CString> texts;
    for (const PromptRecord& r : prompts_.records()) {
      if (r.kind == PromptKind::kMessageBox) texts.push_back(r.text);
    }
    return texts;
  }

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

}  // namespace
