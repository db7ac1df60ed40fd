// The Gerber import command end to end: the user's answers come through
// scripted prompts, the storage folders, export files and zip archives are
// built byte by byte, and "TMP/" lies in a private program folder.
#include "imports/gerber_import.h"

#include <gtest/gtest.h>


#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "imports/gerber_dialogs.h"
#include "imports/gerber_export.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/imports/gerber_fixture.h"
#include "tests/model/support/fake_shell.h"
#include "tests/support/clean_style.h"
#include "tests/support/le_bytes.h"
#include "tests/support/scoped_home.h"
#include "tests/support/temp_folder.h"

namespace {

namespace gf = gerber_fixture;

std::string PieceFile(const std::string& name, int32_t side = 4000) {
  return gf::ExportFile(name, kGgtPieceFile, gf::SquarePieceRecord(side));
}

std::string StyleFile(const std::string& name, const std::vector<std::string>& pieces) {
  std::vector<std::string> entries;
  for (const std::string& piece : pieces) entries.push_back(gf::PieceEntry(piece));
  return gf::ExportFile(name, kGgtStyleFile, gf::StyleData(static_cast<uint16_t>(entries.size()), entries, {}));
}

std::string TableFile(const std::string& name) {
  LeBytes b;
  b.Raw(gf::RuleTableHead(1, 0, 1)).U16(40).Zeros(8).Raw(gf::GradeRule(1, "T", {1, -1}));
  return gf::ExportFile(name, kGgtRuleTableFile, b.Bytes());
}

void AddStorageFolder(const TempFolder& folder) {
  for (const auto& [name, bytes] : gf::TwoModelStorageFiles()) folder.AddFile(name, bytes);
}

std::vector<std::string> StylePieceNames() {
  std::vector<std::string> names;
  const CPieceRecord* piece = g_Style.PieceRing;
  for (int32_t i = 0; i < g_Style.PieceCount && piece; ++i, piece = piece->Next) {
    names.push_back(piece->PieceName.str());
  }
  return names;
}

std::vector<std::string> ModelPieceNames() {
  std::vector<std::string> names;
  if (g_pGgtModel) {
    for (const auto& piece : g_pGgtModel->pieces) names.push_back(piece->name.str());
  }
  return names;
}

class GerberImportTest : public CleanStyleTest {
 protected:
  void SetUp() override {
    CleanStyleTest::SetUp();
    ResetGerberState();
  }
  void TearDown() override {
    ResetGerberState();
    CleanStyleTest::TearDown();
  }
  static void ResetGerberState() {
    g_pGgtModel.reset();
    g_bGgtModelRead = 1;
    g_GgtStorageFolder.Empty();
    g_nGgtModelIndex = -1;
    g_TmpFolder.Empty();
  }

  void ChooseType(int radio) { prompts.RunOptionsDialog(DialogScript(IDD_GGT_FILE_TYPE).ChooseRadio(radio)); }
  // Runs the command on the zip archive `archive`; `refused`: a message is
  // expected after the file dialog.
  void ImportZip(const std::string& archive, bool refused = false) {
    ChooseType(IDC_GGT_TYPE_ZIP);
    prompts.ChooseFile(CString(archive));
    if (refused) prompts.AnswerMessage(IDOK);
    GgtImportCommand();
  }
  std::string AddZip(const std::string& name, const std::vector<std::pair<std::string, std::string>>& entries) {
    return files.AddFile(name, gf::StoredZip(entries));
  }

  std::vector<std::string> WorkFiles() const { return SortedNames(home / "TMP"); }
  std::vector<UINT> Messages() const {
    std::vector<UINT> ids;
    for (const PromptRecord& record : prompts.records()) {
      if (record.kind != PromptKind::kMessageBox) continue;
      ids.push_back(0);
      for (UINT id : {IDS_FILE_MISSING, IDS_FILE_DATA_ERROR, IDS_ZIP_UNPACK_FAILED}) {
        if (record.text == LoadString(id)) ids.back() = id;
      }
    }
    return ids;
  }
  // Every scripted answer was taken, and nothing was asked beyond them.
  void ExpectScriptPlayed() const {
    EXPECT_EQ(prompts.pending(), 0u);
    EXPECT_EQ(prompts.unscripted_count(), 0);
    for (const PromptRecord& record : prompts.records()) {
      EXPECT_TRUE(record.notes.empty()) << record.notes.front().str();
    }
  }

  // What an import that changes nothing leaves as it was.
  struct Snapshot {
    int32_t pieceCount;
    CPieceRecord* pieceRing;
    CModel* model;
    CString styleName;
    std::vector<std::string> workFiles;
    size_t listEntries;
  };
  Snapshot Take() const {
    return {g_Style.PieceCount, g_Style.PieceRing, g_pGgtModel.get(), g_Style.StyleName, WorkFiles(),
            shell.entries.size()};
  }
  void ExpectStyleAndModelAsIn(const Snapshot& before) const {
    EXPECT_EQ(g_Style.PieceCount, before.pieceCount);
    EXPECT_EQ(g_Style.PieceRing, before.pieceRing);
    EXPECT_EQ(g_pGgtModel.get(), before.model);
    EXPECT_EQ(g_Style.StyleName, before.styleName);
    EXPECT_EQ(shell.entries.size(), before.listEntries);
  }

  TempFolder home{"zv_ggt_import_home"};
  ScopedProgramHome useHome{home.path()};
  TempFolder files{"zv_ggt_import_files"};
  FakeShell shell;
  ScriptedPrompts prompts;
  ScopedPrompts use{&prompts};
};

TEST_F(GerberImportTest, CancelOrNothingChosenAtAnyDialogChangesNothing) {
  TempFolder storage("zv_ggt_import_storage");
  AddStorageFolder(storage);
  TempFolder loose("zv_ggt_import_loose");
  loose.AddFile("p1.tmp", PieceFile("FRONT"));
  loose.AddFile("p2.tmp", PieceFile("BACK"));
  const CString storagePath(storage.path() + "/");
  const CString loosePath(loose.path() + "/");

  struct Case {
    const char* what;
    std::function<void()> answer;
  };
  const Case kCases[] = {
      {"file type cancelled",
       [&] {
         prompts.RunOptionsDialog(DialogScript(IDD_GGT_FILE_TYPE).ChooseRadio(IDC_GGT_TYPE_ZIP).Press(IDCANCEL));
       }},
      {"storage folder cancelled",
       [&] {
         ChooseType(IDC_GGT_TYPE_MODEL);
         prompts.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER)
                                        .SetText(IDC_GGT_FOLDER, storagePath)
                                        .Select(IDC_GGT_FOLDER_MODELS, 0)
                                        .Press(IDCANCEL));
       }},
      {"storage folder with no model selected",
       [&] {
         g_GgtStorageFolder = storagePath;
         g_nGgtModelIndex = -1;
         ChooseType(IDC_GGT_TYPE_MODEL);
         prompts.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER));
       }},
      {"export files cancelled",
       [&] {
         g_TmpFolder = loosePath;
         ChooseType(IDC_GGT_TYPE_TMP);
         prompts.RunOptionsDialog(DialogScript(IDD_GGT_TMP_OPEN).Press(IDCANCEL));
       }},
      {"export files with no piece selected",
       [&] {
         g_TmpFolder = loosePath;
         ChooseType(IDC_GGT_TYPE_TMP);
         prompts.RunOptionsDialog(DialogScript(IDD_GGT_TMP_OPEN)
                                        .SetText(IDC_GGT_TMP_STYLE_NAME, "NEW")
                                        .SelectItem(IDC_GGT_TMP_PIECES, 0, false)
                                        .SelectItem(IDC_GGT_TMP_PIECES, 1, false));
       }},
      {"zip file dialog cancelled",
       [&] {
         ChooseType(IDC_GGT_TYPE_ZIP);
         prompts.CancelFileDialog();
       }},
  };

  ImportZip(AddZip("first.zip", {{"p1.tmp", PieceFile("FRONT")}, {"p2.tmp", PieceFile("BACK")}}));
  ASSERT_EQ(StylePieceNames(), (std::vector<std::string>{"FRONT", "BACK"}));
  home.AddFile("TMP/notes.txt", "kept");
  const Snapshot before = Take();
  ASSERT_NE(before.model, nullptr);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    prompts = ScriptedPrompts();
    shell.calls.clear();
    c.answer();
    GgtImportCommand();
    ExpectScriptPlayed();
    EXPECT_EQ(Messages(), std::vector<UINT>{});
    ExpectStyleAndModelAsIn(before);
    EXPECT_EQ(WorkFiles(), before.workFiles);
    EXPECT_EQ(shell.calls, std::vector<std::string>{}) << "neither the list pane nor the work window was touched";
  }
}

TEST_F(GerberImportTest, ZipImportsEmptyTheWorkFolderFirstAndReplaceTheStyleAndModel) {
  home.AddFile("TMP/old.tmp", PieceFile("OLD"));  // an earlier import's piece
  home.AddFile("TMP/notes.txt", "left behind");
  ImportZip(AddZip("jacket.zip", {{"p1.tmp", PieceFile("FRONT", 1000)},
                                  {"p2.tmp", PieceFile("BACK", 2000)},
                                  {"s.tmp", StyleFile("JACKET", {"FRONT", "BACK"})},
                                  {"t.tmp", TableFile("NONE")}}));
  ExpectScriptPlayed();
  EXPECT_EQ(Messages(), std::vector<UINT>{});
  EXPECT_EQ(WorkFiles(), (std::vector<std::string>{"p1.tmp", "p2.tmp", "s.tmp", "t.tmp"}));
  EXPECT_EQ(StylePieceNames(), (std::vector<std::string>{"FRONT", "BACK"}));
  EXPECT_EQ(ModelPieceNames(), (std::vector<std::string>{"FRONT", "BACK"}));
  EXPECT_EQ(shell.entries.size(), 2u);
  EXPECT_EQ(g_Style.StyleName, CString("")) << "the style file in the archive does not name the style";
  EXPECT_EQ(g_bGgtModelRead, 1);

  // A second archive replaces style, model and work files.
  prompts = ScriptedPrompts();
  ImportZip(AddZip("sleeve.zip", {{"q.tmp", PieceFile("SLEEVE")}}));
  EXPECT_EQ(Messages(), std::vector<UINT>{});
  EXPECT_EQ(WorkFiles(), std::vector<std::string>{"q.tmp"});
  EXPECT_EQ(StylePieceNames(), std::vector<std::string>{"SLEEVE"});
  EXPECT_EQ(ModelPieceNames(), std::vector<std::string>{"SLEEVE"});

  // Style and rule-table files alone: an empty style and no model.
  prompts = ScriptedPrompts();
  ImportZip(AddZip("nopieces.zip", {{"s.tmp", StyleFile("JACKET", {"FRONT"})}, {"t.tmp", TableFile("NONE")}}));
  ExpectScriptPlayed();
  EXPECT_EQ(Messages(), std::vector<UINT>{});
  EXPECT_EQ(WorkFiles(), (std::vector<std::string>{"s.tmp", "t.tmp"}));
  EXPECT_EQ(g_Style.PieceCount, 0);
  EXPECT_EQ(g_pGgtModel, nullptr);
}

// A square piece that claims 5000 sizes.
std::string HugePieceRecord() {
  gf::PieceRecordFields fields;
  fields.sizeCount = 5000;
  fields.ruleTable = "NONE";
  fields.pointCount = 4;
  LeBytes b;
  b.Raw(gf::PieceHead(fields)).Zeros(5000 * 10);
  b.Raw(gf::OutlinePoint(1, 0, 0)).Raw(gf::OutlinePoint(2, 100, 0)).Raw(gf::OutlinePoint(3, 100, 100));
  b.Raw(gf::OutlinePoint(4, 0, 100)).Raw(gf::ExtraHead(0, 0, 0));
  return b.Bytes();
}

TEST_F(GerberImportTest, ArchiveThatCannotBeReadShowsItsMessageAndKeepsThePreviousImport) {
  std::string damaged = gf::StoredZip({{"p1.tmp", PieceFile("FRONT")}});
  damaged[30 + 6 + 60] ^= 0x5A;  // a byte of the entry's data: the CRC no longer matches
  struct Case {
    const char* what;
    std::string archive;  // bytes; empty: no such file
    std::string folderInTmp;
    UINT message;
    std::vector<std::string> workFiles;
  };
  const std::vector<Case> kCases = {
      {"entry naming the parent folder",
       gf::StoredZip({{"p1.tmp", PieceFile("FRONT")}, {"../x.tmp", PieceFile("ESCAPE")}}), "", IDS_FILE_DATA_ERROR,
       {}},
      {"entry that cannot be written",
       gf::StoredZip({{"p1.tmp", PieceFile("FRONT")}, {"p2.tmp", PieceFile("BACK")}}), "p2.tmp",
       IDS_ZIP_UNPACK_FAILED, {"p2.tmp"}},
      {"no such archive", "", "", IDS_FILE_MISSING, {}},
      {"damaged entry", damaged, "", IDS_FILE_DATA_ERROR, {}},
      // Every vertex would carry a copy per size: far beyond what a style
      // can hold, so the model is refused before the style is touched.
      {"piece of 5000 sizes", gf::StoredZip({{"p1.tmp", gf::ExportFile("HUGE", 20, HugePieceRecord())}}), "",
       IDS_FILE_DATA_ERROR, {"p1.tmp"}},
  };
  ImportZip(AddZip("first.zip", {{"a.tmp", PieceFile("OLDFRONT")}, {"b.tmp", PieceFile("OLDBACK")}}));
  ASSERT_EQ(StylePieceNames(), (std::vector<std::string>{"OLDFRONT", "OLDBACK"}));
  const Snapshot before = Take();
  int number = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    prompts = ScriptedPrompts();
    if (!c.folderInTmp.empty()) std::filesystem::create_directory(home / ("TMP/" + c.folderInTmp));
    const std::string name = "case" + std::to_string(++number) + ".zip";
    const std::string archive = c.archive.empty() ? files / name : files.AddFile(name, c.archive);
    ImportZip(archive, true);
    ExpectScriptPlayed();
    EXPECT_EQ(Messages(), std::vector<UINT>{c.message});
    ExpectStyleAndModelAsIn(before);
    EXPECT_EQ(WorkFiles(), c.workFiles);
    EXPECT_FALSE(std::filesystem::exists(home / "x.tmp"));
    if (!c.folderInTmp.empty()) std::filesystem::remove(home / ("TMP/" + c.folderInTmp));
  }
}

TEST_F(GerberImportTest, ExportFilesTakeTheChosenStyleNameOrTheTypedOne) {
  TempFolder folder("zv_ggt_import_tmp");
  folder.AddFile("s1.tmp", StyleFile("SHIRT", {"FRONT"}));
  folder.AddFile("s2.tmp", StyleFile("SKIRT", {"PANEL", "BAND"}));
  folder.AddFile("p1.tmp", PieceFile("FRONT"));
  folder.AddFile("p2.tmp", PieceFile("PANEL"));
  folder.AddFile("p3.tmp", PieceFile("BAND"));
  struct Case {
    const char* what;
    DialogScript dialog;
    std::string styleName;
    std::vector<std::string> pieces;
  };
  const Case kCases[] = {
      {"second style chosen", DialogScript(IDD_GGT_TMP_OPEN).Select(IDC_GGT_TMP_STYLES, 1), "SKIRT",
       {"PANEL", "BAND"}},
      {"new style of one piece",
       DialogScript(IDD_GGT_TMP_OPEN)
           .SetCheck(IDC_GGT_TMP_NEW_STYLE, BST_CHECKED)
           .SetText(IDC_GGT_TMP_STYLE_NAME, "TYPED")
           .SelectText(IDC_GGT_TMP_PIECES, "FRONT", false)
           .SelectText(IDC_GGT_TMP_PIECES, "PANEL", false)
           .SelectText(IDC_GGT_TMP_PIECES, "BAND"),
       "TYPED",
       {"BAND"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    prompts = ScriptedPrompts();
    g_TmpFolder = CString(folder.path() + "/");
    ChooseType(IDC_GGT_TYPE_TMP);
    prompts.RunOptionsDialog(c.dialog);
    GgtImportCommand();
    ExpectScriptPlayed();
    EXPECT_EQ(Messages(), std::vector<UINT>{});
    EXPECT_EQ(g_Style.StyleName, CString(c.styleName));
    EXPECT_EQ(StylePieceNames(), c.pieces);
    EXPECT_EQ(ModelPieceNames(), c.pieces);
    EXPECT_EQ(WorkFiles(), std::vector<std::string>{}) << "only the zip form uses the work folder";
  }
}

TEST_F(GerberImportTest, StorageFolderGivesTheChosenModelsPieces) {
  TempFolder storage("zv_ggt_import_storage");
  AddStorageFolder(storage);
  struct Case {
    const char* model;
    std::vector<std::string> pieces;
    std::vector<int32_t> widths;  // of the pieces' boxes, in model units
  };
  const Case kCases[] = {{"SKIRT", {"PANEL"}, {3048}}, {"JACKET", {"FRONT", "BACK"}, {1016, 2032}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.model);
    prompts = ScriptedPrompts();
    ChooseType(IDC_GGT_TYPE_MODEL);
    prompts.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER)
                                 .SetText(IDC_GGT_FOLDER, CString(storage.path() + "/"))
                                 .SelectText(IDC_GGT_FOLDER_MODELS, c.model));
    GgtImportCommand();
    ExpectScriptPlayed();
    EXPECT_EQ(Messages(), std::vector<UINT>{});
    EXPECT_EQ(StylePieceNames(), c.pieces);
    EXPECT_EQ(g_Style.StyleName, CString(c.model));
    std::vector<int32_t> widths;
    const CPieceRecord* piece = g_Style.PieceRing;
    for (int32_t i = 0; i < g_Style.PieceCount && piece; ++i, piece = piece->Next) {
      widths.push_back(piece->BoxMaxX - piece->BoxMinX);
    }
    EXPECT_EQ(widths, c.widths) << "each piece has its own record";
  }
}

}  // namespace
