// The dialogs in front of the Gerber import, driven as a user would through
// scripted prompts, on storage folders and export-file folders built byte by
// byte.
#include "imports/gerber_dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imports/gerber_import.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "tests/imports/gerber_fixture.h"
#include "tests/support/control_table.h"
#include "tests/support/temp_folder.h"

namespace {

using gerber_fixture::CatalogueRecord;
using gerber_fixture::ExportFile;
using gerber_fixture::PieceEntry;
using gerber_fixture::StyleData;

std::vector<int> Selected(const ControlState& c) {
  std::vector<int> selected;
  for (size_t i = 0; i < c.selected.size(); ++i) {
    if (c.selected[i]) selected.push_back(static_cast<int>(i));
  }
  return selected;
}

std::string Catalogue(const std::vector<std::string>& names, const std::vector<bool>& deleted = {}) {
  std::string bytes;
  for (size_t i = 0; i < names.size(); ++i) {
    bytes += CatalogueRecord(names[i], "00" + std::to_string(i % 10), static_cast<uint8_t>(i),
                             i < deleted.size() && deleted[i]);
  }
  return bytes + CatalogueRecord("CLOSING", "999", 0);
}

// A storage folder: the catalogues and one model file, in `sub` ("" for the
// folder itself).
void AddStorage(const TempFolder& folder, const std::string& modelCtl, const std::string& sub = "") {
  std::string prefix;
  if (!sub.empty()) {
    std::filesystem::create_directory(folder / sub);
    prefix = sub + "/";
  }
  folder.AddFile(prefix + "model.ctl", modelCtl);
  folder.AddFile(prefix + "piece.ctl", CatalogueRecord("P", "001", 0));
  folder.AddFile(prefix + "model001.mod", std::string(80, 'm'));
}

class GerberDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_GgtStorageFolder.Empty();
    g_nGgtModelIndex = -1;
    g_TmpFolder.Empty();
    g_bGgtModelRead = 1;
  }
  void TearDown() override {
    g_GgtStorageFolder.Empty();
    g_nGgtModelIndex = -1;
    g_TmpFolder.Empty();
    g_pGgtModel.reset();
  }

  ScriptedPrompts prompts;
  ScopedPrompts use{&prompts};
};

// --- the file type ----------------------------------------------------------

TEST_F(GerberDialogsTest, FileTypeIsTheChosenRadioButton) {
  struct Case {
    int radio;  // 0: none chosen
    int button;
    int type;
  };
  const Case kCases[] = {{0, IDOK, 0},
                         {IDC_GGT_TYPE_TMP, IDOK, 1},
                         {IDC_GGT_TYPE_ZIP, IDOK, 2},
                         {IDC_GGT_TYPE_ZIP, IDCANCEL, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.radio);
    DialogScript script(IDD_GGT_FILE_TYPE);
    if (c.radio) script.ChooseRadio(c.radio);
    prompts.RunOptionsDialog(script.Press(c.button));
    CGgtFileTypeDlg dlg;
    EXPECT_EQ(dlg.DoModal(), c.button);
    EXPECT_EQ(dlg.m_nType, c.type);
  }
  EXPECT_EQ(prompts.unscripted_count(), 0);
}

// --- the folder choosers ----------------------------------------------------

TEST_F(GerberDialogsTest, StatusLineShortensPathsBeyond35Characters) {
  const std::string p35(35, 'a');
  struct Case {
    std::string path;
    std::string shown;
  };
  const Case kCases[] = {{"", ""}, {"/tmp/x", "/tmp/x"}, {p35, p35}, {p35 + "b", p35 + "..."},
                         {p35 + "bcdef", p35 + "..."}};
  for (const Case& c : kCases) {
    EXPECT_EQ(CBrowseFolderDlg::ShortenPath(c.path), CString(c.shown)) << c.path;
  }
}

TEST_F(GerberDialogsTest, BrowserAnswersTheChosenFolderWithoutItsSeparator) {
  const std::string chosen = "/" + std::string(35, 'f');  // 36 characters
  prompts.ChooseFolder(chosen + "/").CancelFolderDialog();
  CBrowseFolderDlg browser("/start/here", 1, nullptr);
  ASSERT_EQ(browser.DoModal(), IDOK);
  EXPECT_EQ(browser.GetSelectedPath(), CString(chosen));
  // The selection seen last went into the status line: 36 characters and a
  // separator show as the first 35 and "...".
  EXPECT_EQ(browser.GetStatusText(), CString(chosen.substr(0, 35) + "..."));
  const PromptRecord& r = prompts.records()[0];
  EXPECT_EQ(r.kind, PromptKind::kFolderDialog);
  EXPECT_EQ(r.text, "Current Selection");
  EXPECT_EQ(r.caption, "/start/here");

  CBrowseFolderDlg cancelled("/start", 1, nullptr);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(prompts.unscripted_count(), 0);
}

TEST_F(GerberDialogsTest, StorageChooserOffersOkOnlyOnStorageFolders) {
  struct Case {
    std::vector<std::string> files;
    std::string sub;  // where the files lie
    bool storage;
    int direct;
  };
  const Case kCases[] = {
      {{"model.ctl", "piece.ctl", "model001.mod"}, "", true, 1},
      {{"model.ctl", "piece.ctl", "model001.mod"}, "data", true, 0},
      {{"model.ctl", "piece.ctl", "model12.mod"}, "", false, -1},
      {{"model.ctl", "piece.ctl", "model12.mod"}, "data", false, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.sub + " " + c.files.back());
    TempFolder folder("zv_ggt_chooser");
    if (!c.sub.empty()) std::filesystem::create_directory(folder / c.sub);
    for (const std::string& name : c.files) folder.AddFile(c.sub.empty() ? name : c.sub + "/" + name, "x");

    CStorageFolderDlg probe("", 1, nullptr);
    probe.m_nDirect = -1;
    EXPECT_EQ(probe.IsStorageFolder(CString(folder.path() + "/")), c.storage);
    EXPECT_EQ(probe.m_nDirect, c.direct);

    ScriptedPrompts local;
    ScopedPrompts use_local(&local);
    local.ChooseFolder(folder.path());
    CStorageFolderDlg chooser("", 1, nullptr);
    chooser.m_nDirect = -1;
    EXPECT_EQ(chooser.DoModal(), c.storage ? IDOK : IDCANCEL);
    EXPECT_EQ(chooser.IsOKEnabled(), c.storage);
    EXPECT_EQ(chooser.m_nDirect, c.direct);
    ASSERT_EQ(local.records().size(), 1u);
    EXPECT_EQ(local.records()[0].notes.empty(), c.storage) << "a refused folder could not be confirmed";
  }
}

// --- the model list of a storage folder -------------------------------------

TEST_F(GerberDialogsTest, BrowsingToAFolderWithDataSubfolderShowsItsDataFolder) {
  TempFolder folder("zv_ggt_browse");
  AddStorage(folder, Catalogue({"JACKET", "COAT"}), "data");
  g_GgtStorageFolder = "/old/store/";
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER).Click(IDC_GGT_FOLDER_BROWSE))
      .ChooseFolder(folder.path());
  CGgtStyleFolderDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  const std::string shown = folder.path() + "/data/";
  EXPECT_EQ(dlg.m_strFolder, CString(shown));
  EXPECT_EQ(g_GgtStorageFolder, CString(shown));
  // The chooser started at the remembered folder without its separator.
  ASSERT_EQ(prompts.records().size(), 2u);
  EXPECT_EQ(prompts.records()[1].caption, "/old/store");
  EXPECT_EQ(prompts.records()[1].text, "Current Selection");
  const ControlState& list = Control(prompts.records()[0].controls_at_close, IDC_GGT_FOLDER_MODELS);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"COAT", "JACKET"}));
  EXPECT_EQ(Control(prompts.records()[0].controls_at_close, IDC_GGT_FOLDER).text, CString(shown));
  EXPECT_EQ(dlg.m_Entries.size(), 2u);
  EXPECT_EQ(prompts.unscripted_count(), 0);
}

TEST_F(GerberDialogsTest, BrowsingToAFolderWithoutAModelFileOfThreeCharactersChangesNothing) {
  TempFolder folder("zv_ggt_refused");
  folder.AddFile("model.ctl", Catalogue({"JACKET"}));
  folder.AddFile("piece.ctl", "x");
  folder.AddFile("model12.mod", "x");
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER).Click(IDC_GGT_FOLDER_BROWSE).Press(IDCANCEL))
      .ChooseFolder(folder.path());
  CGgtStyleFolderDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_strFolder, "");
  EXPECT_EQ(g_GgtStorageFolder, "");
  ASSERT_EQ(prompts.records().size(), 2u);
  EXPECT_EQ(prompts.records()[1].answer, IDCANCEL);
  EXPECT_FALSE(prompts.records()[1].notes.empty());
}

TEST_F(GerberDialogsTest, CatalogueThatHoldsNoModelsLeavesTheListEmptyAndOkOff) {
  struct Case {
    size_t length;
    int code;
  };
  const Case kCases[] = {{64, 3}, {65, 2}, {0, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    TempFolder folder("zv_ggt_ctl");
    AddStorage(folder, std::string(c.length, 'c'));
    EXPECT_EQ(CGgtStyleFolderDlg::CheckModelCtl(CString(folder.path() + "/")), c.code);
    g_GgtStorageFolder = CString(folder.path() + "/");
    ScriptedPrompts local;
    ScopedPrompts use_local(&local);
    local.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER));
    CGgtStyleFolderDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "OK cannot be pressed";
    const PromptRecord& r = local.records()[0];
    EXPECT_TRUE(Control(r.controls_at_open, IDC_GGT_FOLDER_MODELS).items.empty());
    EXPECT_FALSE(Control(r.controls_at_open, IDOK).enabled);
    EXPECT_TRUE(dlg.m_Entries.empty());
  }
}

TEST_F(GerberDialogsTest, RememberedModelIsPreselectedWhenItLiesInsideTheCatalogue) {
  // Catalogue records in file order; the last record closes the file. The
  // list shows the live names sorted.
  struct Case {
    std::vector<std::string> names;
    std::vector<bool> deleted;
    int remembered;
    int listSelection;  // -1 none
    int chosenEntry;    // position in the entries, -1 none
  };
  const Case kCases[] = {
      // Three models, remembered beyond them: the first listed.
      {{"ZETA", "ALPHA", "MID"}, {}, 5, 0, 1},
      {{"ZETA", "ALPHA", "MID"}, {}, 2, 2, 0},
      // A deleted record is not listed but still counts: position 1 is
      // inside the catalogue and selects nothing in a list of one.
      {{"KEPT", "GONE"}, {false, true}, 1, -1, -1},
      {{"KEPT", "GONE"}, {false, true}, 2, 0, 0},
      // OK given with nothing selected last time: nothing selected now.
      {{"ZETA", "ALPHA"}, {}, -1, -1, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.remembered);
    TempFolder folder("zv_ggt_preselect");
    AddStorage(folder, Catalogue(c.names, c.deleted));
    g_GgtStorageFolder = CString(folder.path() + "/");
    g_nGgtModelIndex = c.remembered;
    ScriptedPrompts local;
    ScopedPrompts use_local(&local);
    local.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER));
    CGgtStyleFolderDlg dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(Control(local.records()[0].controls_at_open, IDC_GGT_FOLDER_MODELS).cur_sel, c.listSelection);
    EXPECT_EQ(dlg.m_nSelectedModel, c.chosenEntry);
    EXPECT_EQ(g_nGgtModelIndex, c.listSelection);
  }
}

TEST_F(GerberDialogsTest, ChoosingANameTakesTheEntryHoldingIt) {
  TempFolder folder("zv_ggt_choose");
  AddStorage(folder, Catalogue({"ZETA", "ALPHA", "MID"}));
  // Typing the folder lists its models; the first listed is chosen by a
  // double click.
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER)
                               .SetText(IDC_GGT_FOLDER, CString(folder.path() + "/"))
                               .Select(IDC_GGT_FOLDER_MODELS, 0)
                               .DoubleClick(IDC_GGT_FOLDER_MODELS));
  CGgtStyleFolderDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(prompts.records()[0].notes.empty());
  EXPECT_EQ(Items(Control(prompts.records()[0].controls_at_close, IDC_GGT_FOLDER_MODELS)),
            (std::vector<std::string>{"ALPHA", "MID", "ZETA"}));
  ASSERT_EQ(dlg.m_nSelectedModel, 1);
  EXPECT_EQ(dlg.m_Entries[1].name, "ALPHA");
  EXPECT_EQ(dlg.m_Entries[1].code, "001");
  EXPECT_EQ(g_nGgtModelIndex, 0);
  // Typing does not change the remembered folder; browsing does.
  EXPECT_EQ(g_GgtStorageFolder, "");

  // The last one listed.
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_STYLE_FOLDER)
                               .SetText(IDC_GGT_FOLDER, CString(folder.path() + "/"))
                               .Select(IDC_GGT_FOLDER_MODELS, 2));
  CGgtStyleFolderDlg again;
  ASSERT_EQ(again.DoModal(), IDOK);
  EXPECT_EQ(again.m_nSelectedModel, 0);
  EXPECT_EQ(again.m_Entries[0].name, "ZETA");
  EXPECT_EQ(g_nGgtModelIndex, 2);
}

// --- the export-file dialog -------------------------------------------------

std::string StyleFile(const std::string& name, const std::vector<std::string>& pieces) {
  std::vector<std::string> entries;
  for (const std::string& piece : pieces) entries.push_back(PieceEntry(piece));
  return ExportFile(name, 12, StyleData(static_cast<uint16_t>(entries.size()), entries, {"CODE01"}));
}

// A piece file is longer than 64 bytes; its record is not needed here.
std::string PieceFile(const std::string& name) { return ExportFile(name, 20, std::string(16, '\0')); }

TEST_F(GerberDialogsTest, FolderWithoutStylesOpensForANewStyleWithEveryPieceSelected) {
  TempFolder folder("zv_ggt_tmp_new");
  folder.AddFile("b.tmp", PieceFile("SLEEVE"));
  folder.AddFile("a.TMP", PieceFile("FRONT"));
  folder.AddFile("c.tmp", PieceFile("BACK"));
  g_TmpFolder = CString(folder.path() + "/");
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_TMP_OPEN)
                               .SetText(IDC_GGT_TMP_STYLE_NAME, "NEWSTYLE")
                               .SelectItem(IDC_GGT_TMP_PIECES, 1, false));
  CGgtTmpOpenDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  const PromptRecord& r = prompts.records()[0];
  EXPECT_TRUE(r.notes.empty());
  EXPECT_EQ(Control(r.controls_at_open, IDC_GGT_TMP_NEW_STYLE).check, BST_CHECKED);
  const ControlState& pieces = Control(r.controls_at_open, IDC_GGT_TMP_PIECES);
  EXPECT_EQ(Items(pieces), (std::vector<std::string>{"FRONT", "SLEEVE", "BACK"}));
  EXPECT_EQ(Selected(pieces), (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(pieces.enabled);
  EXPECT_TRUE(Control(r.controls_at_open, IDC_GGT_TMP_STYLE_NAME).enabled);
  EXPECT_TRUE(Control(r.controls_at_open, IDC_GGT_TMP_ALL_PIECES).enabled);
  EXPECT_FALSE(Control(r.controls_at_open, IDC_GGT_TMP_STYLES).enabled);

  // The new style holds the pieces still selected, named by their files.
  ASSERT_NE(dlg.m_pModel, nullptr);
  EXPECT_EQ(dlg.m_pModel->modelName, "NEWSTYLE");
  ASSERT_EQ(dlg.m_pModel->pieces.size(), 2u);
  EXPECT_EQ(dlg.m_pModel->pieces[0]->name, "FRONT");
  EXPECT_EQ(dlg.m_pModel->pieces[1]->name, "BACK");
  EXPECT_EQ(g_bGgtModelRead, 1);
  EXPECT_EQ(g_pGgtModel, nullptr) << "the command takes the model, not the dialog";
}

TEST_F(GerberDialogsTest, StyleFileIsListedOnlyWhenLongerThan144Bytes) {
  struct Case {
    size_t length;
    bool listed;
  };
  for (const Case& c : {Case{144, false}, Case{145, true}}) {
    SCOPED_TRACE(c.length);
    TempFolder folder("zv_ggt_tmp_length");
    const std::string header = ExportFile("SHORT", 12, "");
    folder.AddFile("s.tmp", header + std::string(c.length - header.size(), '\0'));
    g_TmpFolder = CString(folder.path() + "/");
    ScriptedPrompts local;
    ScopedPrompts use_local(&local);
    local.RunOptionsDialog(DialogScript(IDD_GGT_TMP_OPEN).Press(IDCANCEL));
    CGgtTmpOpenDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    const PromptRecord& r = local.records()[0];
    EXPECT_EQ(Items(Control(r.controls_at_open, IDC_GGT_TMP_STYLES)),
              c.listed ? std::vector<std::string>{"SHORT"} : std::vector<std::string>{});
    EXPECT_EQ(Control(r.controls_at_open, IDC_GGT_TMP_NEW_STYLE).check, c.listed ? BST_UNCHECKED : BST_CHECKED);
    EXPECT_EQ(dlg.m_pModel, nullptr);
  }
}

TEST_F(GerberDialogsTest, ClearingCreateNewStyleListsTheFirstStylesPiecesByEntryName) {
  TempFolder folder("zv_ggt_tmp_switch");
  folder.AddFile("s1.tmp", StyleFile("SHIRT", {"E-FRONT", "E-BACK"}));
  folder.AddFile("s2.tmp", StyleFile("SKIRT", {"E-PANEL"}));
  folder.AddFile("p1.tmp", PieceFile("E-FRONT"));
  folder.AddFile("p2.tmp", PieceFile("E-BACK"));
  folder.AddFile("p3.tmp", PieceFile("LOOSE"));
  g_TmpFolder = CString(folder.path() + "/");
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_TMP_OPEN)
                               .SetCheck(IDC_GGT_TMP_NEW_STYLE, BST_CHECKED)
                               .SetCheck(IDC_GGT_TMP_NEW_STYLE, BST_UNCHECKED)
                               .Press(IDCANCEL));
  CGgtTmpOpenDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_pModel, nullptr);
  const PromptRecord& r = prompts.records()[0];
  EXPECT_TRUE(r.notes.empty());
  // At open: the styles, the first selected, its pieces by entry name.
  EXPECT_EQ(Items(Control(r.controls_at_open, IDC_GGT_TMP_STYLES)), (std::vector<std::string>{"SHIRT", "SKIRT"}));
  EXPECT_EQ(Control(r.controls_at_open, IDC_GGT_TMP_STYLES).cur_sel, 0);
  EXPECT_EQ(Items(Control(r.controls_at_open, IDC_GGT_TMP_PIECES)),
            (std::vector<std::string>{"E-FRONT", "E-BACK"}));
  EXPECT_FALSE(Control(r.controls_at_open, IDC_GGT_TMP_PIECES).enabled);
  // After checking and clearing the box again: the same.
  EXPECT_EQ(Items(Control(r.controls_at_close, IDC_GGT_TMP_STYLES)), (std::vector<std::string>{"SHIRT", "SKIRT"}));
  EXPECT_EQ(Items(Control(r.controls_at_close, IDC_GGT_TMP_PIECES)),
            (std::vector<std::string>{"E-FRONT", "E-BACK"}));
  EXPECT_TRUE(Control(r.controls_at_close, IDC_GGT_TMP_STYLES).enabled);
  EXPECT_EQ(dlg.m_nPieceCount, 2);
  EXPECT_EQ(dlg.m_nModelCodeCount, 1);

  // Checked only: the folder's piece files by their names, the styles gone.
  prompts.RunOptionsDialog(
      DialogScript(IDD_GGT_TMP_OPEN).SetCheck(IDC_GGT_TMP_NEW_STYLE, BST_CHECKED).Press(IDCANCEL));
  CGgtTmpOpenDlg checked;
  EXPECT_EQ(checked.DoModal(), IDCANCEL);
  const PromptRecord& r2 = prompts.records()[1];
  EXPECT_TRUE(Items(Control(r2.controls_at_close, IDC_GGT_TMP_STYLES)).empty());
  EXPECT_EQ(Items(Control(r2.controls_at_close, IDC_GGT_TMP_PIECES)),
            (std::vector<std::string>{"E-FRONT", "E-BACK", "LOOSE"}));
}

TEST_F(GerberDialogsTest, OkReadsTheSelectedStyle) {
  TempFolder folder("zv_ggt_tmp_style");
  folder.AddFile("s1.tmp", StyleFile("SHIRT", {"E-FRONT"}));
  folder.AddFile("s2.tmp", StyleFile("SKIRT", {"E-PANEL", "E-BAND"}));
  folder.AddFile("p1.tmp", PieceFile("E-PANEL"));
  folder.AddFile("p2.tmp", PieceFile("E-BAND"));
  g_TmpFolder = CString(folder.path() + "/");
  auto previous = std::make_unique<CModel>();
  previous->modelName = "OLD";
  g_pGgtModel = std::move(previous);
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_TMP_OPEN).Select(IDC_GGT_TMP_STYLES, 1));
  CGgtTmpOpenDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(Items(Control(prompts.records()[0].controls_at_close, IDC_GGT_TMP_PIECES)),
            (std::vector<std::string>{"E-PANEL", "E-BAND"}));
  ASSERT_NE(dlg.m_pModel, nullptr);
  EXPECT_EQ(dlg.m_pModel->modelName, "SKIRT");
  ASSERT_EQ(dlg.m_pModel->pieces.size(), 2u);
  EXPECT_EQ(dlg.m_pModel->pieces[0]->name, "E-PANEL");
  EXPECT_EQ(g_bGgtModelRead, 1);
  ASSERT_NE(g_pGgtModel, nullptr);
  EXPECT_EQ(g_pGgtModel->modelName, "OLD");
}

TEST_F(GerberDialogsTest, NothingChosenOrCancelBuildsNoModel) {
  TempFolder folder("zv_ggt_tmp_nothing");
  folder.AddFile("p1.tmp", PieceFile("FRONT"));
  folder.AddFile("p2.tmp", PieceFile("BACK"));
  struct Case {
    const char* what;
    DialogScript script;
    int result;
  };
  TempFolder empty("zv_ggt_tmp_empty");
  const Case kCases[] = {
      {"pieces deselected",
       DialogScript(IDD_GGT_TMP_OPEN).SelectItem(IDC_GGT_TMP_PIECES, 0, false).SelectItem(IDC_GGT_TMP_PIECES, 1, false),
       IDOK},
      {"cancel", DialogScript(IDD_GGT_TMP_OPEN).Press(IDCANCEL), IDCANCEL},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    g_TmpFolder = CString(folder.path() + "/");
    auto previous = std::make_unique<CModel>();
    previous->modelName = "OLD";
    g_pGgtModel = std::move(previous);
    ScriptedPrompts local;
    ScopedPrompts use_local(&local);
    local.RunOptionsDialog(c.script);
    CGgtTmpOpenDlg dlg;
    EXPECT_EQ(dlg.DoModal(), c.result);
    EXPECT_TRUE(local.records()[0].notes.empty());
    EXPECT_EQ(dlg.m_pModel, nullptr);
    ASSERT_NE(g_pGgtModel, nullptr);
    EXPECT_EQ(g_pGgtModel->modelName, "OLD");
  }

  // A folder without export files: both lists empty, OK builds nothing.
  g_TmpFolder = CString(empty.path() + "/");
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_TMP_OPEN));
  CGgtTmpOpenDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_pModel, nullptr);
  EXPECT_TRUE(Items(Control(prompts.records()[0].controls_at_open, IDC_GGT_TMP_PIECES)).empty());
}

TEST_F(GerberDialogsTest, BrowsingRemembersTheExportFolderAndRescans) {
  TempFolder folder("zv_ggt_tmp_browse");
  folder.AddFile("s1.tmp", StyleFile("SHIRT", {"E-FRONT"}));
  TempFolder other("zv_ggt_tmp_other");
  other.AddFile("p1.tmp", PieceFile("FRONT"));
  g_TmpFolder = CString(other.path() + "/");
  // Opens on the pieces of `other`; browsing to `folder` lists its style.
  prompts.RunOptionsDialog(DialogScript(IDD_GGT_TMP_OPEN).Click(IDC_GGT_TMP_BROWSE).Press(IDCANCEL))
      .ChooseFolder(folder.path());
  CGgtTmpOpenDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(g_TmpFolder, CString(folder.path() + "/"));
  EXPECT_EQ(dlg.m_strFolder, CString(folder.path() + "/"));
  EXPECT_EQ(prompts.records()[1].caption, CString(other.path()));
  const PromptRecord& r = prompts.records()[0];
  EXPECT_EQ(Control(r.controls_at_open, IDC_GGT_TMP_NEW_STYLE).check, BST_CHECKED);
  EXPECT_EQ(Control(r.controls_at_close, IDC_GGT_TMP_NEW_STYLE).check, BST_UNCHECKED);
  EXPECT_EQ(Items(Control(r.controls_at_close, IDC_GGT_TMP_STYLES)), (std::vector<std::string>{"SHIRT"}));
  EXPECT_EQ(Items(Control(r.controls_at_close, IDC_GGT_TMP_PIECES)), (std::vector<std::string>{"E-FRONT"}));
  EXPECT_EQ(Control(r.controls_at_close, IDC_GGT_TMP_FOLDER).text, CString(folder.path() + "/"));
}

}  // namespace
