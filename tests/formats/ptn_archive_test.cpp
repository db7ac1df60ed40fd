// Native files of the archive layout through the open command: the design is
// loaded, newer designs are warned about, and from version 150 on the stored
// pieces become the style. A file that fails leaves the loaded style as it
// was; the style read into is left empty, or untouched where the file was
// refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "formats/ptn_reader.h"
#include "model/item_types.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/every_object_design.h"
#include "tests/design_writer/pinned_file.h"
#include "tests/design_writer/sample_points.h"
#include "tests/model/support/fake_shell.h"
#include "tests/model/support/model_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/message_texts.h"
#include "tests/support/temp_folder.h"

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::DesignArchiveWriter;
using design_fixture::ExpectedReferences;
using design_fixture::PatternRecordFields;
using design_fixture::SampleRefs;
using design_fixture::StoredItemFields;
using design_fixture::StoredPieceFields;

std::string PinnedFile() {
  return std::string(reinterpret_cast<const char*>(design_fixture::kPinnedFile), sizeof design_fixture::kPinnedFile);
}

// A design of `version` with one size, one free point, a record "A" on it
// and, from 150 on, one stored piece "A" with a square outline.
DesignArchiveWriter Archive(int32_t version, bool withRecord = true) {
  DesignArchiveWriter w(version);
  w.header().scale = 10;
  w.header().names[1] = "ST";
  w.AddSize({"M", 3, 0});
  w.SetBaseSize(0);
  const int point = w.AddFreePoint(100, 200);
  if (withRecord) {
    PatternRecordFields record;
    record.name = "A";
    record.ref_point = point;
    w.AddRecord(record);
  }
  w.AddStoredSize({"M", 0.0, 0.0, 0x0000FF});
  StoredPieceFields piece;
  piece.strings[0] = "A";
  StoredItemFields outline;
  outline.code = 0;
  outline.vertices = {{1, 0, 0, 0, 0}, {1, 1000, 0, 0, 0}, {1, 1000, 1000, 0, 0}, {1, 0, 1000, 0, 0}};
  piece.items.push_back(outline);
  w.AddStoredPiece(piece);
  return w;
}

class PtnArchiveTest : public ModelTest {
 protected:
  std::vector<CString> Messages() const { return MessageTexts(prompts_); }
  int Open(const std::string& bytes) { return OpenPtnFile(CString(folder_.AddFile("style.ptn", bytes))); }

  // Loads a style that a failed open must leave in place.
  void LoadKnownStyle() {
    ASSERT_EQ(Open(PinnedFile()), 1);
    g_Style.StyleName = "LOADED";
    shell_.entries.clear();
  }

  FakeShell shell_;
  ScriptedPrompts prompts_;
  ScopedPrompts scoped_{&prompts_};
  TempFolder folder_{"ptn_archive"};
};

TEST_F(PtnArchiveTest, ThePinnedFileOpensWithItsStoredPiece) {
  ASSERT_EQ(Open(PinnedFile()), 1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(LastPtnReadReport().outcome, PtnReadResult::kSuccess);
  EXPECT_EQ(LastPtnReadReport().offset, sizeof design_fixture::kPinnedFile);
  EXPECT_EQ(g_Style.StyleName, "ST");
  EXPECT_EQ(g_Style.GetScale(), 10);
  EXPECT_EQ(g_Style.DataVersion, g_DefaultDataVersion);
  ASSERT_EQ(g_Style.SizeCount, 1);
  ASSERT_EQ(g_Style.PieceCount, 1);
  CPieceRecord* piece = g_Style.PieceRing;
  EXPECT_EQ(piece->PieceName, "A");
  CPieceItem* outline = nullptr;
  ASSERT_TRUE(piece->FindItem(kItemTypeOutline, &outline));
  EXPECT_EQ(outline->VertexCount, 3);
  EXPECT_EQ(shell_.entries, std::vector<CPieceRecord*>{piece});
}

// Versions above the newest known one read as it, with the warning; 163
// carries one more word per size and is no newer than 162.
TEST_F(PtnArchiveTest, NewerVersionsWarnAndOpen) {
  struct Case {
    int32_t version;
    UINT message;
  };
  for (const Case& c : {Case{162, 0}, Case{163, 0}, Case{164, IDS_NEWER_FILE_VERSION}}) {
    SCOPED_TRACE(c.version);
    const size_t before = Messages().size();
    DesignArchiveWriter w = Archive(c.version);
    ASSERT_EQ(Open(w.Bytes()), 1);
    EXPECT_EQ(LastPtnReadReport().messageId, c.message);
    EXPECT_EQ(Messages().size() - before, c.message ? 1u : 0u);
    EXPECT_EQ(g_Style.PieceCount, 1);
  }
}

// How a file that does not open ends: the message, and what the style read
// into holds (the loaded style stays through OpenPtnFile in every case).
TEST_F(PtnArchiveTest, RefusalsAndFailures) {
  DesignArchiveWriter cut = Archive(162);
  const std::string whole = cut.Bytes();
  DesignArchiveWriter unknown = Archive(162);
  unknown.AddRawObject(ArchiveBytes().I32(3).Bytes());
  DesignArchiveWriter noRecord = Archive(162, false);
  DesignArchiveWriter newerNoRecord = Archive(164, false);
  DesignArchiveWriter zeroScale = Archive(162);
  zeroScale.stored_scale() = 0;
  DesignArchiveWriter old = Archive(149);
  DesignArchiveWriter itemCode30 = Archive(162);
  StoredPieceFields withCode30;
  StoredItemFields item;
  item.code = 30;
  withCode30.items.push_back(item);
  itemCode30.AddStoredPiece(withCode30);

  struct Case {
    const char* name;
    std::string bytes;
    PtnReadResult outcome;
    UINT message;
    UINT warning;
  };
  const Case kCases[] = {
      {"cut short", whole.substr(0, whole.size() - 5), PtnReadResult::kFailed, IDS_NOT_PTN_FILE, 0},
      {"unknown object kind", unknown.Bytes(), PtnReadResult::kFailed, IDS_NOT_PTN_FILE, 0},
      {"stored scale 0", zeroScale.Bytes(), PtnReadResult::kFailed, IDS_NOT_PTN_FILE, 0},
      {"item code 30", itemCode30.Bytes(), PtnReadResult::kFailed, IDS_NOT_PTN_FILE, 0},
      {"no pattern record", noRecord.Bytes(), PtnReadResult::kFailed, IDS_NO_PIECE_IN_FILE, 0},
      {"newer, no pattern record", newerNoRecord.Bytes(), PtnReadResult::kFailed, IDS_NO_PIECE_IN_FILE,
       IDS_NEWER_FILE_VERSION},
      {"pieces from records (below 150)", old.Bytes(), PtnReadResult::kRefused, IDS_NEWER_FILE_VERSION, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CStyle style;
    style.StyleName = "untouched";
    const PtnReadReport report = ReadPtnBytes(c.bytes, style);
    EXPECT_EQ(report.outcome, c.outcome);
    EXPECT_EQ(report.messageId, c.message);
    EXPECT_EQ(report.warningId, c.warning);
    EXPECT_FALSE(report.reason.empty());
    EXPECT_LE(report.offset, c.bytes.size());
    if (c.outcome == PtnReadResult::kRefused) {
      EXPECT_EQ(style.StyleName, "untouched");
    } else {
      EXPECT_EQ(style.PieceCount, 0);
      EXPECT_EQ(style.SizeCount, 0);
    }

    LoadKnownStyle();
    const size_t before = Messages().size();
    EXPECT_EQ(Open(c.bytes), 0);
    EXPECT_EQ(g_Style.StyleName, "LOADED");
    EXPECT_EQ(g_Style.PieceCount, 1);
    EXPECT_TRUE(shell_.entries.empty());
    EXPECT_EQ(Messages().size() - before, c.warning ? 2u : 1u);
  }
}

TEST_F(PtnArchiveTest, TheReasonNamesTheRecord) {
  DesignArchiveWriter w = Archive(162);
  PatternRecordFields record;
  record.name = "Back";
  record.elements.push_back({3, 0, "", 0, 0});
  w.AddRecord(record);
  CStyle style;
  const PtnReadReport report = ReadPtnBytes(w.Bytes(), style);
  EXPECT_EQ(report.outcome, PtnReadResult::kFailed);
  EXPECT_NE(report.reason.find("pattern record 1 \"Back\": element 0: element type 3"), std::string::npos)
      << report.reason;
}

// A design with an object of every kind the layout knows (points of every
// kind, a text, a line, a curve of every kind, and a record with an element
// of every type and subtype) opens with its stored piece; cut short anywhere
// it fails, leaving the loaded style in place.
TEST_F(PtnArchiveTest, ADesignOfEveryObjectOpensAndEveryPrefixFails) {
  const std::string whole = design_fixture::EveryObjectDesign(150);
  ASSERT_EQ(Open(whole), 1) << LastPtnReadReport().reason;
  EXPECT_EQ(LastPtnReadReport().offset, whole.size());
  EXPECT_EQ(g_Style.StyleName, "EVERY");
  ASSERT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(g_Style.PieceRing->PieceName, "EVERY");
  EXPECT_EQ(g_Style.SizeCount, 2);

  for (size_t n = 8; n < whole.size(); ++n) {
    CStyle style;
    style.StyleName = "untouched";
    const PtnReadReport report = ReadPtnBytes(whole.substr(0, n), style);
    ASSERT_NE(report.outcome, PtnReadResult::kSuccess) << n;
    EXPECT_FALSE(report.reason.empty()) << n;
    if (report.outcome == PtnReadResult::kFailed) {
      EXPECT_EQ(style.PieceCount, 0) << n;
    } else {
      EXPECT_EQ(style.StyleName, "untouched") << n;
    }
  }
}

// The fuzz seeds: designs either side of each version gate, each of which
// opens whole.
std::vector<std::pair<std::string, std::string>> SeedFiles() {
  std::vector<std::pair<std::string, std::string>> seeds;
  seeds.emplace_back("pinned_v150", PinnedFile());
  for (int32_t version : {150, 151, 152, 153, 154, 155, 157, 158, 159, 160, 161, 162, 163}) {
    DesignArchiveWriter w = Archive(version);
    w.header().magic = version % 2 ? design_fixture::kMagicAAAAAAAA : design_fixture::kMagicB5686E9D;
    w.header().label_font.face = "Song";
    w.AddSizeRow("chest", {900});
    StoredPieceFields piece;
    piece.strings[0] = "B";
    StoredItemFields line;
    line.code = 8;
    line.vertices = {{1, 0, 0, 3, 0}, {1, 10, 0, 3, 0}, {1, 10, 10, 3, 0}};
    StoredItemFields text;
    text.code = 11;
    text.text = "T";
    text.font.face = "Song";
    StoredItemFields marker;
    marker.code = 3;
    marker.vertices = {{1, 5, 5, 0, 0}};
    piece.items = {line, text, marker};
    w.AddStoredPiece(piece);
    seeds.emplace_back("v" + std::to_string(version), w.Bytes());
  }
  // A design with a point of every kind and a text, at the first version
  // that stores pieces and the newest; it holds no line or curve, so the
  // samples' line and curve fields name none.
  for (int32_t version : {150, 162}) {
    DesignArchiveWriter w = Archive(version);
    SampleRefs refs;
    for (int i = 0; i < 4; ++i) refs.points[i] = w.AddFreePoint(10 * i, 20 * i);
    design_fixture::ArchiveFont font;
    font.face = "Song";
    refs.text = w.AddText(5, 5, "T", font);
    ExpectedReferences expected;
    for (int32_t kind = 2; kind <= 47; ++kind) {
      if (kind == 20) continue;
      design_fixture::AddSamplePoint(w, kind, refs, expected);
    }
    seeds.emplace_back("every_point_kind_v" + std::to_string(version), w.Bytes());
  }
  for (int32_t version : {150, 162}) {
    seeds.emplace_back("every_object_v" + std::to_string(version), design_fixture::EveryObjectDesign(version));
  }
  return seeds;
}

TEST_F(PtnArchiveTest, SeedFilesOpen) {
  for (const auto& [name, bytes] : SeedFiles()) {
    SCOPED_TRACE(name);
    CStyle style;
    const PtnReadReport report = ReadPtnBytes(bytes, style);
    EXPECT_EQ(report.outcome, PtnReadResult::kSuccess) << report.reason;
    EXPECT_EQ(report.offset, bytes.size());
    EXPECT_GE(style.PieceCount, 1);
  }
}

// Writes the seed files into the folder named by ZV_PTN_ARCHIVE_SEED_FOLDER
// (the fuzz corpus, fuzz/corpus/ptn_archive); run on purpose only.
TEST(PtnArchiveSeeds, DISABLED_WriteSeedFiles) {
  const char* folder = std::getenv("ZV_PTN_ARCHIVE_SEED_FOLDER");
  ASSERT_NE(folder, nullptr);
  for (const auto& [name, bytes] : SeedFiles()) WriteFile(std::string(folder) + "/" + name, bytes);
}

}  // namespace
