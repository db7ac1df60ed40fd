// The Lectra IBA dialog: the folder's *.IBA files, and the list file it
// leaves for the converter under the program's folder.
#include "imports/iba_open_dlg.h"

#include <gtest/gtest.h>


#include <filesystem>
#include <string>
#include <vector>

#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "tests/support/control_table.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scoped_home.h"
#include "tests/support/temp_folder.h"

namespace {

// A private program folder (ZVAAMA_HOME) for one test, and the IBA folder
// the dialog opens on.
class IbaOpenDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { g_IbaFolder = CString(ibas.path() + "/"); }
  void TearDown() override { g_IbaFolder.Empty(); }

  std::string ListFile() const { return home / "ACTCONFIG/AAMA.LST"; }

  TempFolder home{"zv_iba_home"};
  ScopedProgramHome useHome{home.path()};
  TempFolder ibas{"zv_iba_files"};
  ScriptedPrompts prompts;
  ScopedPrompts use{&prompts};
};

TEST_F(IbaOpenDlgTest, NoIbaFilesGiveAnEmptyListAndAnEmptyListFile) {
  ibas.AddFile("notes.txt", "x");
  ibas.AddFile("a.IBA.bak", "x");
  prompts.RunOptionsDialog(DialogScript(IDD_IBA_OPEN));
  CIbaOpenDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(Items(Control(prompts.records()[0].controls_at_open, IDC_IBA_FILES)).empty());
  EXPECT_EQ(Control(prompts.records()[0].controls_at_open, IDC_IBA_FOLDER).text, CString(ibas.path() + "/"));
  ASSERT_TRUE(std::filesystem::is_regular_file(ListFile())) << "ACTCONFIG is made when missing";
  EXPECT_EQ(ReadFile(ListFile()), "");
}

TEST_F(IbaOpenDlgTest, ListFileHoldsTheSelectedFilesInListOrder) {
  ibas.AddFile("b.IBA", "x");
  ibas.AddFile("A.iba", "x");
  ibas.AddFile("c.Iba", "x");
  ibas.AddFile("d.txt", "x");
  std::filesystem::create_directory(ibas / "folder.IBA");
  const std::string f = ibas.path() + "/";
  struct Case {
    const char* what;
    DialogScript script;
    std::string lines;
  };
  const Case kCases[] = {
      {"all patterns", DialogScript(IDD_IBA_OPEN).Click(IDC_IBA_ALL_FILES),
       f + "A.iba \r\n" + f + "b.IBA \r\n" + f + "c.Iba \r\n"},
      {"picked backwards",
       DialogScript(IDD_IBA_OPEN).SelectItem(IDC_IBA_FILES, 2).SelectItem(IDC_IBA_FILES, 0),
       f + "A.iba \r\n" + f + "c.Iba \r\n"},
      {"none", DialogScript(IDD_IBA_OPEN), ""},
  };
  std::filesystem::create_directory(home / "ACTCONFIG");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ScriptedPrompts local;
    ScopedPrompts use_local(&local);
    local.RunOptionsDialog(c.script);
    CIbaOpenDlg dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(Items(Control(local.records()[0].controls_at_open, IDC_IBA_FILES)),
              (std::vector<std::string>{"A.iba", "b.IBA", "c.Iba"}));
    EXPECT_EQ(ReadFile(ListFile()), c.lines);
  }
}

TEST_F(IbaOpenDlgTest, ListFileThatCannotBeWrittenKeepsTheDialogOpen) {
  ibas.AddFile("a.IBA", "x");
  home.AddFile("ACTCONFIG", "a file where the folder should be");
  prompts.RunOptionsDialog(DialogScript(IDD_IBA_OPEN).Click(IDC_IBA_ALL_FILES));
  CIbaOpenDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  const PromptRecord& r = prompts.records()[0];
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_NE(r.notes[0].Find("stayed open"), -1) << r.notes[0].str();
  EXPECT_EQ(prompts.records().size(), 1u) << "no message";
}

TEST_F(IbaOpenDlgTest, BrowsingListsTheChosenFolderAndRemembersIt) {
  TempFolder other("zv_iba_other");
  other.AddFile("x.iba", "x");
  prompts.RunOptionsDialog(DialogScript(IDD_IBA_OPEN).Click(IDC_IBA_BROWSE).Click(IDC_IBA_ALL_FILES))
      .ChooseFolder(other.path());
  CIbaOpenDlg dlg;
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(g_IbaFolder, CString(other.path() + "/"));
  ASSERT_EQ(prompts.records().size(), 2u);
  EXPECT_EQ(prompts.records()[1].caption, CString(ibas.path())) << "starts at the remembered folder";
  EXPECT_EQ(prompts.records()[1].text, "Current Selection");
  EXPECT_EQ(Items(Control(prompts.records()[0].controls_at_close, IDC_IBA_FILES)), (std::vector<std::string>{"x.iba"}));
  EXPECT_EQ(ReadFile(ListFile()), other.path() + "/x.iba \r\n");

  // Cancel in the chooser changes nothing.
  prompts.RunOptionsDialog(DialogScript(IDD_IBA_OPEN).Click(IDC_IBA_BROWSE).Press(IDCANCEL)).CancelFolderDialog();
  CIbaOpenDlg again;
  EXPECT_EQ(again.DoModal(), IDCANCEL);
  EXPECT_EQ(g_IbaFolder, CString(other.path() + "/"));
  EXPECT_EQ(again.m_strFolder, CString(other.path() + "/"));
}

}  // namespace
