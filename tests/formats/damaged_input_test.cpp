// The AAMA and plain DXF readers on input that is no pattern file or holds
// data the model cannot take: paths that are no regular file, coordinates
// that are no finite number or beyond the model's range, and files cut short.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "formats/aama_reader.h"
#include "formats/dxf_reader.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/model/support/fake_shell.h"
#include "tests/model/support/model_fixture.h"
#include "tests/support/dxf_text.h"
#include "tests/support/file_bytes.h"
#include "tests/support/message_texts.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"

namespace {

class DamagedInputTest : public ModelTest {
 protected:
  AamaReadResult OpenAama(const std::string& path) {
    prompts_.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN));
    return ReadAamaFile(path.c_str(), 0, 0);
  }
  DxfReadResult OpenDxf(const std::string& path) {
    DialogScript script(IDD_DXF_OPEN);
    script.Press(IDOK);
    prompts_.RunOptionsDialog(script);
    return ReadDxfFile(CString(path));
  }
  std::vector<CString> Messages() const { return MessageTexts(prompts_); }

  FakeShell shell_;
  ScriptedPrompts prompts_;
  ScopedPrompts scoped_{&prompts_};
  TempFolder folder_{"zv_damaged"};
};

// An AAMA file of one block: a 100 unit square and `entity`.
std::string AamaWith(const std::string& entity, const std::string& author = "GERBER") {
  return "0\nSECTION\n2\nHEADER\n999\nAuthor: " + author +
         "\n999\nUNITS: METRIC\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n1\n2\nP1\n"
         "0\nPOLYLINE\n8\n1\n66\n1\n70\n1\n"
         "0\nVERTEX\n8\n1\n10\n0\n20\n0\n0\nVERTEX\n8\n1\n10\n100\n20\n0\n"
         "0\nVERTEX\n8\n1\n10\n100\n20\n100\n0\nVERTEX\n8\n1\n10\n0\n20\n100\n0\nSEQEND\n" +
         entity + "0\nENDBLK\n0\nENDSEC\n0\nEOF\n";
}

TEST_F(DamagedInputTest, PathThatIsNoRegularFileIsRefusedUnopened) {
  const std::string fifo = folder_ / "pipe.dxf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Opening the pipe for reading would wait for a writer: the reads return
  // only because the pipe is never opened.
  const std::string paths[] = {folder_.path(), fifo, folder_ / "missing.dxf"};
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    EXPECT_EQ(OpenAama(path), AamaReadResult::kFailed);
    EXPECT_EQ(LastAamaReadReport().messageId, IDS_FILE_MISSING);
    EXPECT_EQ(OpenDxf(path), DxfReadResult::kFailed);
    EXPECT_EQ(LastDxfReadReport().messageId, IDS_FILE_MISSING);
  }
  EXPECT_EQ(Messages(), std::vector<CString>(6, LoadString(IDS_FILE_MISSING)));
}

TEST_F(DamagedInputTest, CoordinateThatIsNoFiniteNumberOrOutOfRangeIsADataError) {
  // Each entity with `@` where a number goes: in a coordinate, or in a radius.
  const char* const kAamaEntities[] = {
      "0\nLINE\n8\n1\n10\n@\n20\n0\n11\n10\n21\n0\n",
      "0\nLINE\n8\n1\n10\n0\n20\n0\n11\n10\n21\n@\n",
      "0\nPOLYLINE\n8\n1\n70\n0\n0\nVERTEX\n10\n0\n20\n0\n0\nVERTEX\n10\n@\n20\n5\n0\nSEQEND\n",
      "0\nCIRCLE\n8\n1\n10\n@\n20\n0\n40\n5\n",
      "0\nCIRCLE\n8\n1\n10\n0\n20\n0\n40\n@\n",
  };
  const char* const kDxfEntities[] = {
      "  0\nLINE\n  8\n0\n 10\n@\n 20\n0\n 11\n10\n 21\n0\n",
      "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n10\n 21\n@\n",
      "  0\nPOLYLINE\n  8\n0\n 70\n0\n  0\nVERTEX\n 10\n0\n 20\n0\n  0\nVERTEX\n 10\n@\n 20\n5\n  0\nSEQEND\n",
      "  0\nCIRCLE\n  8\n0\n 10\n@\n 20\n0\n 40\n5\n",
      "  0\nCIRCLE\n  8\n0\n 10\n0\n 20\n0\n 40\n@\n",
  };
  auto with = [](std::string entity, const std::string& value) {
    entity.replace(entity.find('@'), 1, value);
    return entity;
  };
  const char* const kBadValues[] = {"nan", "inf", "-inf", "1e308", "-1e308", "1e999", "abc", ""};
  for (size_t e = 0; e < std::size(kAamaEntities); ++e) {
    SCOPED_TRACE(e);
    // The same entity with a good number reads.
    ClearStyle();
    EXPECT_EQ(ReadAamaBytes(AamaWith(with(kAamaEntities[e], "12.5")), std::nullopt, g_Style, {}).messageId, 0u);
    ClearStyle();
    EXPECT_EQ(ReadDxfBytes(Dxf(with(kDxfEntities[e], "12.5")), g_Style, {}).messageId, 0u);
    for (const char* value : kBadValues) {
      SCOPED_TRACE(value);
      // The authors whose cut files are taken as ended fail here all the same.
      for (const char* author : {"GERBER", "assyst"}) {
        ClearStyle();
        const AamaReadReport aama = ReadAamaBytes(AamaWith(with(kAamaEntities[e], value), author), std::nullopt,
                                                  g_Style, {});
        EXPECT_EQ(aama.outcome, AamaReadResult::kFailed);
        EXPECT_EQ(aama.messageId, IDS_FILE_DATA_ERROR);
        EXPECT_NE(aama.reason.find("coordinate"), std::string::npos) << aama.reason;
        EXPECT_GT(aama.line, 14);
        EXPECT_EQ(g_Style.PieceCount, 0);
      }
      ClearStyle();
      const DxfReadReport dxf = ReadDxfBytes(Dxf(with(kDxfEntities[e], value)), g_Style, {});
      EXPECT_EQ(dxf.outcome, DxfReadResult::kFailed);
      EXPECT_EQ(dxf.messageId, IDS_FILE_DATA_ERROR);
      EXPECT_NE(dxf.reason.find("coordinate"), std::string::npos) << dxf.reason;
      EXPECT_GT(dxf.line, 4);
      EXPECT_EQ(g_Style.PieceCount, 0);
    }
  }
}

// The offsets a file is cut at: after the first line ending at or past each
// tenth of the file, and a byte inside a line there.
std::vector<size_t> CutOffsets(const std::string& file) {
  std::vector<size_t> cuts;
  for (int i = 1; i <= 10; ++i) {
    const size_t at = file.find('\n', file.size() * i / 11);
    cuts.push_back(at + 1);
    cuts.push_back(at + 2);
  }
  return cuts;
}

// A cut file either fails or is refused with `refusals`, or reads with the
// warning; never silently.
template <typename Report, typename Outcome>
void ExpectNotSilent(const Report& report, Outcome success, const std::vector<UINT>& refusals) {
  if (report.outcome == success) {
    EXPECT_EQ(report.messageId, IDS_FILE_INCOMPLETE) << report.reason;
    EXPECT_EQ(report.reason.rfind("file ends before its EOF", 0) == 0 || report.reason.find("taken as the end") !=
                  std::string::npos,
              true)
        << report.reason;
    EXPECT_GT(report.line, 0);
    EXPECT_GT(g_Style.PieceCount, 0);
  } else {
    EXPECT_NE(std::find(refusals.begin(), refusals.end(), report.messageId), refusals.end()) << report.messageId;
    EXPECT_EQ(g_Style.PieceCount, 0);
  }
}

TEST_F(DamagedInputTest, AamaFileCutShortIsRefusedOrReadWithAWarning) {
  const std::string whole = ReadFile(TestDataPath("aama_small.dxf"));
  ASSERT_FALSE(whole.empty());
  std::string lenient = whole;
  lenient.replace(lenient.find("ZORVEK"), 6, "assyst");
  for (const std::string* file : std::vector<const std::string*>{&whole, &lenient}) {
    ClearStyle();
    EXPECT_EQ(ReadAamaBytes(*file, std::nullopt, g_Style, {}).messageId, 0u);
    std::vector<size_t> cuts = CutOffsets(*file);
    cuts.push_back(20);                                   // inside the header
    cuts.push_back(file->find("ENDBLK") + 7);             // between two blocks
    cuts.push_back(file->find("VERTEX") + 7);             // inside a polyline
    cuts.push_back(file->rfind("ENDSEC") + 7);            // before the EOF marker
    int warned = 0;
    for (size_t cut : cuts) {
      SCOPED_TRACE(cut);
      ClearStyle();
      const AamaReadReport report = ReadAamaBytes(file->substr(0, cut), std::nullopt, g_Style, {});
      ExpectNotSilent(report, AamaReadResult::kSuccess, {IDS_FILE_DATA_ERROR, IDS_NOT_AAMA_FILE});
      if (report.messageId == IDS_FILE_INCOMPLETE) ++warned;
    }
    EXPECT_GE(warned, 2);
  }
}

TEST_F(DamagedInputTest, DxfFileCutShortIsRefusedOrReadWithAWarning) {
  auto square = [](int at) {
    std::string s = "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n1\n";
    for (auto [x, y] : {std::pair{0, 0}, {100, 0}, {100, 100}, {0, 100}}) {
      s += "  0\nVERTEX\n  8\n0\n 10\n" + std::to_string(x + at) + ".000\n 20\n" + std::to_string(y) + ".000\n";
    }
    return s + "  0\nSEQEND\n";
  };
  const std::string whole = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n" +
                            Dxf(square(0) + square(300));
  DxfReadOptions many;
  many.manyPatterns = true;
  ClearStyle();
  ASSERT_EQ(ReadDxfBytes(whole, g_Style, many).messageId, 0u);
  EXPECT_EQ(g_Style.PieceCount, 2);
  std::vector<size_t> cuts = CutOffsets(whole);
  cuts.push_back(whole.find("SEQEND") + 7);        // between the two pieces
  cuts.push_back(whole.rfind("ENDSEC") + 7);       // before the EOF marker
  cuts.push_back(whole.rfind("ENDSEC") - 2);       // inside the section
  int warned = 0;
  for (size_t cut : cuts) {
    SCOPED_TRACE(cut);
    ClearStyle();
    const DxfReadReport report = ReadDxfBytes(whole.substr(0, cut), g_Style, many);
    ExpectNotSilent(report, DxfReadResult::kSuccess, {IDS_FILE_DATA_ERROR, IDS_NOT_ASCII_DXF});
    if (report.messageId == IDS_FILE_INCOMPLETE) ++warned;
  }
  EXPECT_GE(warned, 3);

  // A cut before any entity leaves nothing: refused as an empty file is, not
  // opened as the made-up square a complete empty drawing gives.
  ClearStyle();
  const DxfReadReport cut = ReadDxfBytes(whole.substr(0, whole.find("ENTITIES") + 9), g_Style, many);
  EXPECT_EQ(cut.outcome, DxfReadResult::kRefused);
  EXPECT_EQ(cut.messageId, IDS_NOT_ASCII_DXF);
  EXPECT_EQ(cut.reason, "file ends before any entity");
  EXPECT_EQ(g_Style.PieceCount, 0);
  ClearStyle();
  EXPECT_EQ(ReadDxfBytes(Dxf(""), g_Style, many).outcome, DxfReadResult::kSuccess);
  EXPECT_EQ(g_Style.PieceCount, 1);
}

TEST_F(DamagedInputTest, OpeningACutFileShowsTheWarningAfterReading) {
  const std::string aama = ReadFile(TestDataPath("aama_small.dxf"));
  // Up to the line before the EOF marker's code line.
  const size_t eofCode = aama.rfind('\n', aama.rfind("EOF") - 2) + 1;
  const std::string aamaCut = folder_.AddFile("cut_aama.dxf", aama.substr(0, eofCode));
  EXPECT_EQ(OpenAama(aamaCut), AamaReadResult::kSuccess);
  EXPECT_GT(g_Style.PieceCount, 0);
  EXPECT_EQ(LastAamaReadReport().messageId, IDS_FILE_INCOMPLETE);

  const std::string dxf = Dxf("  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n100\n 21\n0\n");
  const std::string dxfCut = folder_.AddFile("cut.dxf", dxf.substr(0, dxf.find("  0\nENDSEC")));
  EXPECT_EQ(OpenDxf(dxfCut), DxfReadResult::kSuccess);
  EXPECT_EQ(g_Style.PieceCount, 1);
  EXPECT_EQ(LastDxfReadReport().messageId, IDS_FILE_INCOMPLETE);
  EXPECT_EQ(Messages(), std::vector<CString>(2, LoadString(IDS_FILE_INCOMPLETE)));
}

}  // namespace
