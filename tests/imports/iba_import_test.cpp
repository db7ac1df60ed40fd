// The Lectra import command end to end, with a stub converter in the
// program's folder that turns each listed IBA file into the AAMA pair
// prepared beside it.
#include "imports/iba_import.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imports/iba_open_dlg.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/support/clean_style.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scoped_home.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kAamaData = ZV_IMPORTS_DATA_DIR "/../../formats/data/";

// Copies, for every path the list file names, "<path without .IBA>.dxf" and
// ".rul" into "DXF/" with upper-case extensions; refuses other arguments.
constexpr const char* kCopyingConverter =
    "#!/bin/sh\n"
    "[ \"$1\" = ./ACTCONFIG/AAMA.ACT ] && [ \"$2\" = graphic ] || exit 3\n"
    "tr -d '\\r' < ACTCONFIG/AAMA.LST | while IFS= read -r line; do\n"
    "  path=\"${line% }\"; base=\"${path%.*}\"; name=$(basename \"$base\")\n"
    "  cp \"$base.dxf\" \"DXF/$name.DXF\" && cp \"$base.rul\" \"DXF/$name.RUL\" || exit 4\n"
    "done\n";

class IbaImportTest : public CleanStyleTest {
 protected:
  void SetUp() override {
    CleanStyleTest::SetUp();
    g_IbaFolder = CString(ibas.path() + "/");
    g_IbaConverterTimeoutMs = 20000;
    std::filesystem::create_directories(home / "DXF");
  }
  void TearDown() override {
    g_IbaFolder.Empty();
    g_IbaConverterTimeoutMs = kIbaConverterTimeoutMs;
    CleanStyleTest::TearDown();
  }

  void InstallConverter(const std::string& script) {
    const std::string path = home.AddFile("convert", script);
    ::chmod(path.c_str(), 0755);
  }
  // An IBA file with the AAMA pair the stub makes of it; `rul` replaces
  // the rule table's text when given.
  void AddIbaFile(const std::string& name, const std::string& rul = "") {
    ibas.AddFile(name + ".IBA", "IBA");
    ibas.AddFile(name + ".dxf", ReadFile(kAamaData + "aama_small.dxf"));
    ibas.AddFile(name + ".rul", rul.empty() ? ReadFile(kAamaData + "aama_small.rul") : rul);
  }
  // The user picks every file of the IBA folder and confirms.
  void ChooseAllFiles() {
    prompts.RunOptionsDialog(DialogScript(IDD_IBA_OPEN).Click(IDC_IBA_ALL_FILES));
  }
  std::vector<std::string> WorkFiles() const { return SortedNames(home / "DXF"); }
  std::vector<UINT> Messages() const {
    std::vector<UINT> ids;
    for (const PromptRecord& record : prompts.records()) {
      if (record.kind != PromptKind::kMessageBox) continue;
      for (UINT id : {IDS_IBA_NOT_ONE_STYLE, IDS_CONVERTER_FAILED, IDS_FILE_MISSING, IDS_FILE_DATA_ERROR}) {
        if (record.text == LoadString(id)) ids.push_back(id);
      }
    }
    return ids;
  }

  TempFolder home{"zv_iba_import_home"};
  ScopedProgramHome useHome{home.path()};
  TempFolder ibas{"zv_iba_import_files"};
  ScriptedPrompts prompts;
  ScopedPrompts use{&prompts};
};

// The rule table of aama_small with line `number` (from 1) replaced.
std::string RuleTableWithLine(int number, const std::string& text) {
  std::string rul = ReadFile(kAamaData + "aama_small.rul");
  size_t start = 0;
  for (int i = 1; i < number; ++i) start = rul.find('\n', start) + 1;
  const size_t end = rul.find('\n', start);
  return rul.replace(start, end - start, text);
}

TEST_F(IbaImportTest, TwoIbaFilesBecomeOneStyleAndTheWorkFilesGo) {
  InstallConverter(kCopyingConverter);
  AddIbaFile("b");
  AddIbaFile("a");
  home.AddFile("DXF/OLD.DXF", "0\nSECTION\n");  // an earlier run's output
  home.AddFile("DXF/keep.txt", "not the converter's");
  ChooseAllFiles();
  IbaImportCommand();
  EXPECT_EQ(Messages(), std::vector<UINT>{});
  EXPECT_EQ(ReadFile(home / "ACTCONFIG/AAMA.LST"),
            ibas.path() + "/a.IBA \r\n" + ibas.path() + "/b.IBA \r\n");
  ASSERT_GT(g_Style.PieceCount, 0);
  const int32_t piecesOfTwo = g_Style.PieceCount;
  int ringSizes = 0;
  if (CSizeRecord* size = g_Style.SizeRing) {
    do {
      ++ringSizes;
      size = size->Next;
    } while (size != g_Style.SizeRing);
  }
  EXPECT_EQ(g_Style.SizeCount, ringSizes);
  EXPECT_EQ(WorkFiles(), std::vector<std::string>{"keep.txt"});

  // One file alone gives half the pieces.
  ClearStyle();
  std::filesystem::remove(ibas / "b.IBA");
  ChooseAllFiles();
  IbaImportCommand();
  EXPECT_EQ(g_Style.PieceCount * 2, piecesOfTwo);
}

TEST_F(IbaImportTest, RuleTablesOfAnotherStyleStopTheImportAndStay) {
  struct Case {
    const char* what;
    int line;
    const char* text;
    bool read;
  };
  const Case kCases[] = {
      {"eighth line differs", 8, "GRADE RULE TABLE: other", false},
      {"seventh line differs in case only", 7, "units: metric  ", true},
      {"ninth line differs", 9, "NUMBER OF SIZES: 3", false},
  };
  InstallConverter(kCopyingConverter);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ClearStyle();
    prompts = ScriptedPrompts();
    for (const std::string name : {"a", "b"}) {
      std::filesystem::remove(ibas / (name + ".rul"));
    }
    AddIbaFile("a");
    AddIbaFile("b", RuleTableWithLine(c.line, c.text));
    ChooseAllFiles();
    IbaImportCommand();
    if (c.read) {
      EXPECT_EQ(Messages(), std::vector<UINT>{});
      EXPECT_GT(g_Style.PieceCount, 0);
      EXPECT_EQ(WorkFiles(), std::vector<std::string>{});
    } else {
      EXPECT_EQ(Messages(), std::vector<UINT>{IDS_IBA_NOT_ONE_STYLE});
      EXPECT_EQ(g_Style.PieceCount, 0);
      EXPECT_EQ(WorkFiles(), (std::vector<std::string>{"a.DXF", "a.RUL", "b.DXF", "b.RUL"}));
    }
  }
}

TEST_F(IbaImportTest, ShortRuleTablesCountTheirMissingLinesAsEmpty) {
  const std::string dxf = home / "DXF";
  home.AddFile("DXF/A.RUL", "1\n2\n3\n4\n5\n6\nUNITS: METRIC\n");
  home.AddFile("DXF/B.RUL", "1\n2\n3\n4\n5\n6\nunits: metric\n");
  EXPECT_TRUE(IbaRuleFilesAgree(CString(dxf)));
  // B's missing eighth line is not A's eighth line left over.
  home.AddFile("DXF/A.RUL", "1\n2\n3\n4\n5\n6\nUNITS: METRIC\nTABLE X\n");
  EXPECT_FALSE(IbaRuleFilesAgree(CString(dxf)));
}

TEST_F(IbaImportTest, AConverterThatCannotRunOrRunsOverReadsNothing) {
  struct Case {
    const char* what;
    const char* script;  // null: no converter in the program's folder
  };
  const Case kCases[] = {
      {"no converter", nullptr},
      {"not runnable", "not a program"},
      {"runs over", "#!/bin/sh\nsleep 30\n"},
  };
  g_IbaConverterTimeoutMs = 300;
  AddIbaFile("a");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(home / "convert");
    if (c.script != nullptr) {
      home.AddFile("convert", c.script);
      ::chmod((home / "convert").c_str(), std::string(c.script).rfind("#!", 0) == 0 ? 0755 : 0644);
    }
    prompts = ScriptedPrompts();
    home.AddFile("DXF/OLD.DXF", "old");
    ChooseAllFiles();
    IbaImportCommand();
    EXPECT_EQ(Messages(), std::vector<UINT>{IDS_CONVERTER_FAILED});
    EXPECT_EQ(g_Style.PieceCount, 0);
    EXPECT_EQ(WorkFiles(), std::vector<std::string>{});
  }
}

TEST_F(IbaImportTest, CancelChangesNothing) {
  InstallConverter("#!/bin/sh\ntouch ran\n");
  AddIbaFile("a");
  home.AddFile("DXF/OLD.DXF", "old");
  prompts.RunOptionsDialog(DialogScript(IDD_IBA_OPEN).Press(IDCANCEL));
  IbaImportCommand();
  EXPECT_FALSE(std::filesystem::exists(home / "ran"));
  EXPECT_EQ(WorkFiles(), std::vector<std::string>{"OLD.DXF"});
}

}  // namespace
