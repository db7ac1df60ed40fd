// The native pattern file reader on flat files: what it refuses and where it
// fails, what a failed open leaves, and the hostile counts it must not trust.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "formats/ptn_layout.h"
#include "formats/ptn_reader.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/style.h"
#include "platform/progress.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/formats/ptn_reader_fixture.h"
#include "tests/model/support/fake_shell.h"
#include "tests/model/support/model_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/message_texts.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace ptn_fixture;

// Prompts that note the style name loaded when each message shows.
class StyleAtMessage : public ScriptedPrompts {
 public:
  int MessageBox(const CString& text, const CString& caption, UINT type) override {
    names.push_back(g_Style.StyleName);
    return ScriptedPrompts::MessageBox(text, caption, type);
  }
  std::vector<CString> names;
};

class PtnReaderTest : public ModelTest {
 protected:
  std::vector<CString> Messages() const { return MessageTexts(prompts_); }

  // Opens `bytes` as a file through OpenPtnFile.
  int Open(const std::string& bytes) { return OpenPtnFile(CString(folder_.AddFile("style.ptn", bytes))); }

  FakeShell shell_;
  StyleAtMessage prompts_;
  ScopedPrompts scoped_{&prompts_};
  TempFolder folder_{"ptn_reader"};
};

std::string WithU32At(std::string bytes, size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(v >> (8 * i));
  return bytes;
}

// A file whose first piece record ends in `record` (after the piece header).
std::string FileWithItemBody(const std::string& record, int32_t type) {
  FlatFile file;
  PieceRec piece;
  ItemRec item{type};
  item.body = record;
  piece.items.push_back(item);
  file.pieces.push_back(piece);
  return file.Bytes();
}

TEST_F(PtnReaderTest, ReadsTheSmallFileWithItsSizesAndPiece) {
  FlatFile file = SmallFile();
  file.sizes = {"S", "M", "L"};
  ASSERT_EQ(Open(file.Bytes()), 1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(g_Style.StyleName, "STYLE");
  EXPECT_EQ(g_Style.HeaderText5, "T5");
  EXPECT_EQ(g_Style.SizeCount, 3);
  EXPECT_EQ(g_Style.DataVersion, 121);
  ASSERT_EQ(g_Style.PieceCount, 1);
  CPieceRecord* piece = g_Style.PieceRing;
  EXPECT_EQ(piece->PieceName, "P");
  EXPECT_EQ(piece->Category, "category");
  EXPECT_EQ(piece->PointB, CPoint(3, 4));
  EXPECT_EQ(piece->Option4, 10);
  EXPECT_EQ(piece->DoubleValue, 9.5);
  EXPECT_EQ(piece->AuxX, 0);
  EXPECT_EQ(piece->AuxY, 0);
  auto* text = static_cast<CPieceItem11*>(Item(piece, kItemTypeText));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text, "FRONT");
  EXPECT_EQ(shell_.entries, std::vector<CPieceRecord*>{piece});
  EXPECT_EQ(LastPtnReadReport().outcome, PtnReadResult::kSuccess);
}

// Every way a file is turned away before or while it is read, and what each
// leaves: a refusal leaves the style it was read into as it was; a failure
// inside the piece block leaves it empty with the list pane reset.
TEST_F(PtnReaderTest, RefusalsAndFailuresTable) {
  const std::string small = SmallFile().Bytes();
  FlatFile oldFlat = SmallFile();
  oldFlat.magic = kPtnMagicOldFlat;
  oldFlat.version = 118;
  FlatFile archive = SmallFile();
  archive.version = 150;
  FlatFile reserved = SmallFile();
  reserved.reserved = 1;
  FlatFile zeroScale = SmallFile();
  zeroScale.scale = 0;
  FlatFile negativeScale = SmallFile();
  negativeScale.scale = -40;
  FlatFile pastEnd = SmallFile();
  pastEnd.pieceBlockOffset = 1u << 20;
  LeBytes archiveMagic;
  archiveMagic.U32(kPtnMagicArchive).I32(102).Zeros(100);

  struct Case {
    const char* name;
    std::string bytes;
    PtnReadResult outcome;
    UINT message;
  };
  const Case kCases[] = {
      {"seven bytes", small.substr(0, 7), PtnReadResult::kRefused, 0},
      {"unknown magic", WithU32At(small, 0, 0x12345678u), PtnReadResult::kRefused, IDS_NOT_PTN_FILE},
      {"old flat magic at 118", oldFlat.Bytes(), PtnReadResult::kRefused, 0},
      {"flat magic at 150: a damaged archive", archive.Bytes(), PtnReadResult::kFailed, IDS_NOT_PTN_FILE},
      {"archive magic below 150", archiveMagic.Bytes(), PtnReadResult::kRefused, IDS_NEWER_FILE_VERSION},
      {"reserved word", reserved.Bytes(), PtnReadResult::kRefused, IDS_NOT_PTN_FILE},
      {"scale 0", zeroScale.Bytes(), PtnReadResult::kRefused, IDS_NOT_PTN_FILE},
      {"scale -40", negativeScale.Bytes(), PtnReadResult::kRefused, IDS_NOT_PTN_FILE},
      {"header cut short", small.substr(0, 60), PtnReadResult::kRefused, IDS_NOT_PTN_FILE},
      {"piece block past the end", pastEnd.Bytes(), PtnReadResult::kRefused, IDS_NOT_PTN_FILE},
      {"ends inside the piece block", small.substr(0, small.size() - 10), PtnReadResult::kFailed,
       IDS_NOT_PTN_FILE},
      {"item type 29", FileWithItemBody(LeBytes().I32(0).Bytes(), 29), PtnReadResult::kFailed, IDS_NOT_PTN_FILE},
      {"item type -1", FileWithItemBody(LeBytes().I32(0).Bytes(), -1), PtnReadResult::kFailed, IDS_NOT_PTN_FILE},
  };
  CPieceRecord* loadedBefore = nullptr;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CStyle target;
    target.StyleName = "KEEP";
    target.AddSize(new CSizeRecord("K", 0, 0, 0, 1));
    shell_.calls.clear();
    const PtnReadReport report = ReadPtnBytes(c.bytes, target);
    EXPECT_EQ(report.outcome, c.outcome);
    EXPECT_EQ(report.messageId, c.message);
    EXPECT_FALSE(report.reason.empty());
    EXPECT_LE(report.offset, c.bytes.size());
    if (c.outcome == PtnReadResult::kRefused) {
      EXPECT_EQ(target.StyleName, "KEEP");
      EXPECT_EQ(target.SizeCount, 1);
      EXPECT_TRUE(shell_.calls.empty());
    } else {
      EXPECT_EQ(target.StyleName, "");
      EXPECT_EQ(target.SizeCount, 0);
      EXPECT_EQ(target.PieceCount, 0);
      EXPECT_FALSE(shell_.calls.empty());
      EXPECT_EQ(shell_.calls.back(), "ResetContent");
    }
    EXPECT_EQ(g_Style.PieceRing, loadedBefore) << "g_Style is not the style read into";

    // Opened as a file: 0, its message, the loaded style and list as they were.
    ASSERT_EQ(Open(small), 1);
    loadedBefore = g_Style.PieceRing;
    CPieceRecord* loaded = g_Style.PieceRing;
    g_Selection.CurrentPiece = loaded;
    const size_t before = Messages().size();
    EXPECT_EQ(Open(c.bytes), 0);
    const std::vector<CString> shown = Messages();
    ASSERT_EQ(shown.size(), before + (c.message ? 1 : 0));
    if (c.message) {
      EXPECT_EQ(shown.back(), LoadString(c.message));
      EXPECT_EQ(prompts_.names.back(), "STYLE") << "the message shows over the loaded style";
    }
    EXPECT_EQ(g_Style.PieceRing, loaded);
    EXPECT_EQ(g_Style.StyleName, "STYLE");
    EXPECT_EQ(shell_.entries, std::vector<CPieceRecord*>{loaded});
    EXPECT_EQ(g_Selection.CurrentPiece, loaded);
    EXPECT_EQ(LastPtnReadReport().outcome, c.outcome);
  }
}

TEST_F(PtnReaderTest, MissingFileGivesItsMessage) {
  EXPECT_EQ(OpenPtnFile(CString(folder_ / "none.ptn")), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], LoadString(IDS_FILE_MISSING));
  EXPECT_EQ(OpenPtnFile(CString(folder_.path())), 0) << "a folder is no file";
}

TEST_F(PtnReaderTest, VersionWarningOnlyAbove122AndTheFileIsStillRead) {
  struct Case {
    int32_t version;
    bool warned;
  };
  const Case kCases[] = {{105, false}, {121, false}, {122, false}, {123, true}, {149, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    FlatFile file = SmallFile();
    file.version = c.version;
    file.scale = c.version;
    g_Style.StyleName = "LOADED";
    const size_t before = Messages().size();
    ASSERT_EQ(Open(file.Bytes()), 1);
    ASSERT_EQ(Messages().size(), before + (c.warned ? 1 : 0));
    if (c.warned) {
      EXPECT_EQ(Messages().back(), LoadString(IDS_NEWER_FILE_VERSION));
      EXPECT_EQ(prompts_.names.back(), "LOADED") << "shown before the file's style replaces the loaded one";
    }
    EXPECT_EQ(g_Style.GetScale(), c.version);
    EXPECT_EQ(g_Style.PieceCount, 1);
    EXPECT_EQ(g_Style.StyleName, "STYLE");
    EXPECT_EQ(g_Style.DataVersion, 121);
  }
}

TEST_F(PtnReaderTest, NewerFileThatFailsShowsBothMessages) {
  FlatFile file = SmallFile();
  file.version = 130;
  const std::string bytes = file.Bytes();
  EXPECT_EQ(Open(bytes.substr(0, bytes.size() - 1)), 0);
  EXPECT_EQ(Messages(), (std::vector<CString>{LoadString(IDS_NEWER_FILE_VERSION), LoadString(IDS_NOT_PTN_FILE)}));
}

// Every prefix of a valid file is refused or fails; none reads as a style,
// none crashes (the sanitizers watch every read).
TEST_F(PtnReaderTest, EveryTruncationIsRefusedOrFails) {
  FlatFile file = SmallFile();
  file.sizes = {"S", "M"};
  PieceRec second;
  second.items.push_back(SquareOutline(0, 0, 2000));
  ItemRec marked{26, {{0, 0, 0, 0}, {0, 100, 100, 0}}};
  marked.tail = LeBytes().I32(1).I32(2).I32(3).I32(4).I32(5).I32(6).I32(1).U32(0).I32(7).I32(8).I32(3).Bytes();
  second.items.push_back(marked);
  ItemRec dimension{28, {{0, 0, 0}, {0, 2000, 0}}};
  dimension.tail = LeBytes().I32(1).I32(0).I32(0).Str("20").Bytes();
  second.items.push_back(dimension);
  file.pieces.push_back(second);
  const std::string bytes = file.Bytes();
  {
    CStyle whole;
    ASSERT_EQ(ReadPtnBytes(bytes, whole).outcome, PtnReadResult::kSuccess);
    EXPECT_EQ(whole.PieceCount, 2);
  }
  for (size_t n = 0; n < bytes.size(); ++n) {
    SCOPED_TRACE(n);
    CStyle style;
    const PtnReadReport report = ReadPtnBytes(bytes.substr(0, n), style);
    ASSERT_NE(report.outcome, PtnReadResult::kSuccess);
    EXPECT_EQ(style.PieceCount, 0);
    EXPECT_LE(report.offset, n);
  }
}

// Counts that no file of that length can hold fail at once, before anything
// is made from them.
TEST_F(PtnReaderTest, HostileCountsFailWithoutAllocating) {
  const std::string small = SmallFile().Bytes();
  const size_t block = kPtnHeaderBytes;
  // The offsets of the counts in the small file's piece block.
  const size_t afterTexts = block + 5 * 4 + 2 + 5 + 2 + 2 + 2;  // "T1" "STYLE" "T3" "T4" "T5"
  const size_t piecesAt = afterTexts;
  const size_t sizesAt = afterTexts + 4;
  const size_t firstPiece = sizesAt + 4 + 4 + 1 + 8 + 8 + 4;
  const size_t itemsAt = firstPiece + (4 + 1) + (4 + 10) + (4 + 5) + 4 + (4 + 8) + 8 + 8 + 16 + 8 + 4;
  const size_t firstVertexCount = itemsAt + 4 + 4;
  struct Case {
    const char* name;
    size_t at;
    size_t stop;  // where the read stops: right after the count that cannot be
  };
  const Case kCases[] = {
      {"first style text", block, block + 4},
      {"piece count", piecesAt, sizesAt + 4},  // checked with the size count
      {"size count", sizesAt, sizesAt + 4},
      {"size name", sizesAt + 4, sizesAt + 8},
      {"piece name", firstPiece, firstPiece + 4},
      {"item count", itemsAt, itemsAt + 4},
      {"vertex count", firstVertexCount, firstVertexCount + 4},
  };
  for (const Case& c : kCases) {
    for (uint32_t count : {0x7FFFFFFFu, 0x40000000u, 0x10000000u}) {
      SCOPED_TRACE(std::string(c.name) + " " + std::to_string(count));
      CStyle style;
      const PtnReadReport report = ReadPtnBytes(WithU32At(small, c.at, count), style);
      EXPECT_EQ(report.outcome, PtnReadResult::kFailed);
      EXPECT_EQ(report.messageId, IDS_NOT_PTN_FILE);
      EXPECT_EQ(report.offset, c.stop);
    }
  }
}

// Every stored vertex gets a copy per size: many sizes times many vertices
// would grow the style far beyond the file, and the read fails instead.
TEST_F(PtnReaderTest, ManySizesTimesManyVerticesFails) {
  FlatFile file;
  file.sizes.assign(1000, "S");
  PieceRec piece;
  ItemRec outline{0};
  for (int32_t i = 0; i < 17000; ++i) outline.vertices.push_back({1, i, (i % 2) * 100});
  piece.items.push_back(outline);
  file.pieces.push_back(piece);
  CStyle style;
  const PtnReadReport report = ReadPtnBytes(file.Bytes(), style);
  EXPECT_EQ(report.outcome, PtnReadResult::kFailed);
  EXPECT_EQ(report.messageId, IDS_NOT_PTN_FILE);
  EXPECT_EQ(style.SizeCount, 0);
}

TEST_F(PtnReaderTest, NegativeCountsReadNothing) {
  FlatFile file = SmallFile();
  file.texts = {"", "", "", "", ""};
  std::string bytes = file.Bytes();
  // The first style text's count -5: an empty text, no bytes.
  bytes = WithU32At(bytes, kPtnHeaderBytes, static_cast<uint32_t>(-5));
  CStyle style;
  ASSERT_EQ(ReadPtnBytes(bytes, style).outcome, PtnReadResult::kSuccess);
  EXPECT_EQ(style.HeaderText1, "");
  EXPECT_EQ(style.PieceCount, 1);

  // The piece count at its most negative: no pieces, and nothing computed
  // from it overflows.
  const size_t pieceCountAt = kPtnHeaderBytes + 5 * 4;
  CStyle none;
  const PtnReadReport report = ReadPtnBytes(WithU32At(bytes, pieceCountAt, 0x80000000u), none);
  EXPECT_EQ(none.PieceCount, 0) << report.reason;
}

TEST_F(PtnReaderTest, ListPaneGetsTheCallsOfOneRead) {
  FlatFile file = SmallFile();
  file.pieces.push_back(file.pieces[0]);
  file.pieces[1].name = "Q";
  ASSERT_EQ(Open(file.Bytes()), 1);
  ASSERT_EQ(g_Style.PieceCount, 2);
  EXPECT_EQ(shell_.entries, (std::vector<CPieceRecord*>{g_Style.PieceRing, g_Style.PieceRing->Next}));
  EXPECT_EQ(g_Style.PieceRing->Next->PieceName, "Q");
}

// Notes the range and each position the status bar's bar is moved to, with
// the number of pieces the style being read held then.
class RecordingProgress : public IProgressHost {
 public:
  std::unique_ptr<IProgressBar> CreateStatusProgress() override { return std::make_unique<Bar>(this); }
  std::vector<std::pair<int, int>> ranges;
  std::vector<std::pair<int, int>> steps;

 private:
  class Bar : public IProgressBar {
   public:
    explicit Bar(RecordingProgress* host) : host_(host) {}
    void SetRange(int lower, int upper) override { host_->ranges.emplace_back(lower, upper); }
    void SetPos(int position) override { host_->steps.emplace_back(position, g_Style.PieceCount); }

   private:
    RecordingProgress* host_;
  };
};

TEST_F(PtnReaderTest, ProgressBarStepsPieceByPiece) {
  FlatFile file = SmallFile();
  for (int i = 0; i < 3; ++i) file.pieces.push_back(file.pieces[0]);
  RecordingProgress host;
  IProgressHost* previous = SetProgressHost(&host);
  CStyle style;
  const PtnReadReport report = ReadPtnBytes(file.Bytes(), style);
  SetProgressHost(previous);
  ASSERT_EQ(report.outcome, PtnReadResult::kSuccess);
  EXPECT_EQ(host.ranges, (std::vector<std::pair<int, int>>{{0, 3}}));
  // Position i as piece i is read: i pieces already in the style.
  EXPECT_EQ(host.steps, (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
}

// The fuzz seeds are valid files of every layout: each reads whole.
TEST_F(PtnReaderTest, SeedFilesRead) {
  for (const auto& [name, file] : SeedFiles()) {
    SCOPED_TRACE(name);
    CStyle style;
    const PtnReadReport report = ReadPtnBytes(file.Bytes(), style);
    EXPECT_EQ(report.outcome, PtnReadResult::kSuccess) << report.reason;
    EXPECT_EQ(report.offset, file.Bytes().size());
    EXPECT_EQ(style.PieceCount, static_cast<int32_t>(file.pieces.size()));
  }
}

// Writes the seed files into the folder named by ZV_PTN_SEED_FOLDER (the fuzz
// corpus, fuzz/corpus/ptn_reader); run on purpose only.
TEST(PtnReaderSeeds, DISABLED_WriteSeedFiles) {
  const char* folder = std::getenv("ZV_PTN_SEED_FOLDER");
  ASSERT_NE(folder, nullptr);
  for (const auto& [name, file] : SeedFiles()) WriteFile(std::string(folder) + "/" + name, file.Bytes());
}

}  // namespace
