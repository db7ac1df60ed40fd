// An AAMA save that runs out of room on the disk between its two files
// changes neither: the DXF file and its rule table are written out whole
// before either is put in place.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/aama_writer.h"
#include "model/item_factory.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/clock.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/support/clean_style.h"
#include "tests/support/file_bytes.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/message_texts.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr time_t kFeb3rd2001 = 981173106;  // 02-03-2001 04:05:06 UTC

// A piece with a rectangular outline of `w` x `h` (0.1 mm), its corners
// graded by `grade` a size away from the base, in every size of the style.
void AddGradedRectangle(const char* name, int w, int h, int grade) {
  auto* piece = new CPieceRecord;
  piece->PieceName = name;
  piece->Quantity = 1;
  std::unique_ptr<CPieceItem> outline = CreatePieceItem(0);
  const int corners[4][4] = {{0, 0, -1, -1}, {w, 0, 1, -1}, {w, h, 1, 1}, {0, h, -1, 1}};
  const double base = g_Style.SizeRing->SortKey1;
  for (const auto& [x, y, gx, gy] : corners) {
    outline->AddTailVertex(x, y, 0);
    CSizeRecord* size = g_Style.SizeRing->Next;
    for (int s = 1; s < g_Style.SizeCount; ++s, size = size->Next) {
      const int steps = static_cast<int>(size->SortKey1 - base);
      outline->AddTailVertex(x + steps * gx * grade, y + steps * gy * grade, kVertexKindCopy);
    }
  }
  piece->AddItem(outline.release());
  piece->UpdateCurveItems();
  piece->Recalc(1);
  g_Style.AddPiece(piece);
}

// Three sizes, the base first, and a few graded pieces: the DXF file (blocks
// with their texts, the header texts) is several times the size of its rule
// table (a few deltas for three sizes).
void BuildGradedStyle() {
  g_Style.StyleName = "COAT";
  const std::pair<const char*, double> sizes[] = {{"M", 2}, {"S", 1}, {"L", 3}};
  for (const auto& [name, key] : sizes) g_Style.AddSize(new CSizeRecord(name, key, 0, 0, 1));
  g_Style.SortSizes();
  AddGradedRectangle("FRONT", 4000, 6400, 20);
  AddGradedRectangle("BACK", 3600, 6400, 20);
  AddGradedRectangle("SLEEVE", 2000, 5000, 10);
}

class AamaWriterFullDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStyleAndSettings();
    SetFixedCurrentTime(kFeb3rd2001);
    previous_ = SetPrompts(&prompts_);
    BuildGradedStyle();
    g_AamaOptGradeToRul = 1;
  }
  void TearDown() override {
    SetPrompts(previous_);
    ClearFixedCurrentTime();
    ResetStyleAndSettings();
  }

  int Save(const std::string& path) {
    prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_SAVE));
    return SaveAamaFile(path.c_str());
  }

  static std::vector<std::string> SortedNames(const TempFolder& folder) {
    std::vector<std::string> names = folder.Names();
    std::sort(names.begin(), names.end());
    return names;
  }

  ScriptedPrompts prompts_;
  IPrompts* previous_ = nullptr;
};

// A limit that lets the whole rule table through and stops the DXF file: the
// save fails with message 40001, the old DXF file and the old rule table (or
// its absence) stay byte for byte, and no temporary file is left. The limits
// run from the rule table's size, where the DXF file fails early, to one byte
// short of the DXF file, where only its last buffered bytes, written out when
// the file is finished, fail: after the rule table was written whole.
TEST_F(AamaWriterFullDiskTest, NeitherFileChangesWhenTheDxfFileDoesNotFit) {
  // The sizes of the two files this save writes, from a save with room.
  size_t dxfSize = 0, rulSize = 0;
  {
    TempFolder room("zv_aama_room");
    ASSERT_EQ(Save(room / "coat.dxf"), 1);
    dxfSize = ReadFile(room / "coat.dxf").size();
    rulSize = ReadFile(room / "coat.rul").size();
    ASSERT_GT(rulSize, 0u);
    ASSERT_GT(dxfSize, 2 * rulSize);
  }
  const struct {
    const char* what;
    size_t limit;
  } kLimits[] = {
      {"the rule table just fits", rulSize},
      {"halfway between the two", (dxfSize + rulSize) / 2},
      {"the DXF file's last byte does not fit", dxfSize - 1},
  };

  const std::string oldDxf = "  0\r\nSECTION\r\n  2\r\nBLOCKS\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  const std::string oldRul = "ASTM/D13Proposal 1 Version: D 6673-04\r\nEND\r\n";
  for (const auto& [what, limit] : kLimits) {
    for (const bool hadRules : {true, false}) {
      SCOPED_TRACE(testing::Message() << what << (hadRules ? ", an old rule table" : ", no old rule table"));
      const size_t messagesBefore = MessageTexts(prompts_).size();
      TempFolder folder("zv_aama_full");
      folder.AddFile("coat.dxf", oldDxf);
      if (hadRules) folder.AddFile("coat.rul", oldRul);
      int result = -1;
      {
        FileSizeLimit full(static_cast<rlim_t>(limit));
        result = Save(folder / "coat.dxf");
      }
      EXPECT_EQ(result, 0);
      const std::vector<CString> messages = MessageTexts(prompts_);
      ASSERT_EQ(messages.size(), messagesBefore + 1);
      EXPECT_EQ(messages.back(), LoadString(IDS_SAVE_PTN_FAILED));
      EXPECT_EQ(ReadFile(folder / "coat.dxf"), oldDxf);
      if (hadRules) {
        EXPECT_EQ(ReadFile(folder / "coat.rul"), oldRul);
        EXPECT_EQ(SortedNames(folder), (std::vector<std::string>{"coat.dxf", "coat.rul"}));
      } else {
        EXPECT_EQ(SortedNames(folder), std::vector<std::string>{"coat.dxf"});
      }
    }
  }
}

}  // namespace
