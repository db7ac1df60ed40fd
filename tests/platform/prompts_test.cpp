// The prompt seam and the options-dialog framework, run without a window:
// the scripted prompts play the user, the dialogs' own code runs for real.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/dialog.h"
#include "platform/prompts.h"
#include "platform/scripted_prompts.h"
#include "tests/support/control_table.h"

namespace {

// An export options dialog shaped like the program's: two radio groups
// separated by a group box, check boxes, an editable combo with its list,
// a number field, a sorted list and a multi-selection list, and a browse button.
enum : int {
  kAllPieces = 1205, kWorkPieces = 1521,
  kAllSizes = 1002, kBaseSize = 1003,
  kToRul = 1031, kControlPoints = 1032,
  kScale = 1026, kCount = 1100, kFactor = 1101,
  kNames = 1200, kPieces = 1201, kBrowse = 1003 + 1000, kFolder = 1004,
};

ControlTemplate Make(int id, ControlKind kind, const char* text = "") {
  ControlTemplate c;
  c.id = id;
  c.kind = kind;
  c.text = text;
  return c;
}
ControlTemplate GroupStart(ControlTemplate c) {
  c.group_start = true;
  return c;
}
ControlTemplate Disabled(ControlTemplate c) {
  c.disabled = true;
  return c;
}
ControlTemplate WithItems(ControlTemplate c, std::vector<const char*> items) {
  c.items = std::move(items);
  return c;
}

DialogTemplate MakeTemplate() {
  DialogTemplate t;
  t.id = 9001;
  t.caption = "输出选项";
  t.cx = 180;
  t.cy = 170;
  ControlTemplate sorted = Make(kNames, ControlKind::kListBox);
  sorted.sorted = true;
  ControlTemplate multi = Make(kPieces, ControlKind::kListBox);
  multi.multi_select = true;
  t.controls = {
      Make(IDOK, ControlKind::kDefPushButton, "确定(&O)"),
      GroupStart(Make(kAllPieces, ControlKind::kRadioButton, "仅工作区衣片")),
      Make(kWorkPieces, ControlKind::kRadioButton, "输出全部衣片"),
      Make(65535, ControlKind::kGroupBox, "衣片选择"),
      GroupStart(Make(kAllSizes, ControlKind::kRadioButton, "输出所有码")),
      Make(kBaseSize, ControlKind::kRadioButton, "仅输出基码"),
      GroupStart(Make(kToRul, ControlKind::kCheckBox, "放码量输出到*.rul文件")),
      Make(kControlPoints, ControlKind::kCheckBox, "增加控制点"),
      WithItems(Make(kScale, ControlKind::kComboDropDown), {"1.0", "0.1", "25.4"}),
      Make(kCount, ControlKind::kEdit),
      Make(kFactor, ControlKind::kEdit),
      sorted,
      multi,
      Disabled(Make(kFolder, ControlKind::kEdit)),
      Make(kBrowse, ControlKind::kPushButton, "浏览"),
      Make(IDCANCEL, ControlKind::kPushButton, "取消(&C)"),
  };
  return t;
}

const DialogTemplate kTemplate = MakeTemplate();

// Enable rule in the manner of the program's dialogs: choosing "base size
// only" disables the rule-file check box, "all sizes" enables it again;
// the rule-file check enables the control-points check.
class OptionsDialog : public CDialog {
 public:
  OptionsDialog() : CDialog(kTemplate.id, &kTemplate) {}

  int m_nPieces = 1;
  int m_nSizes = 0;
  int m_bToRul = 1;
  int m_bControlPoints = 0;
  CString m_strScale = "1.0";
  int m_nCount = 3;
  double m_dFactor = 2.5;
  int changes = 0;
  int double_clicks = 0;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    AddString(kNames, "b-piece");
    AddString(kNames, "C-piece");
    AddString(kNames, "a-piece");
    for (const char* p : {"front", "back", "sleeve"}) AddString(kPieces, p);
    return TRUE;
  }

  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Radio(pDX, kAllPieces, m_nPieces);
    DDX_Radio(pDX, kAllSizes, m_nSizes);
    DDX_Check(pDX, kToRul, m_bToRul);
    DDX_Check(pDX, kControlPoints, m_bControlPoints);
    DDX_CBString(pDX, kScale, m_strScale);
    DDX_Text(pDX, kCount, m_nCount);
    DDX_Text(pDX, kFactor, m_dFactor);
  }

  void OnControlChanged(int id) override {
    ++changes;
    if (id == kBaseSize) EnableControl(kToRul, false);
    if (id == kAllSizes) EnableControl(kToRul, true);
    if (id == kToRul) EnableControl(kControlPoints, IsDlgButtonChecked(kToRul) == BST_CHECKED);
    if (id == kBrowse) {
      if (std::optional<CString> folder = Prompts().FolderDialog("选择目录", GetDlgItemText(kFolder))) {
        SetDlgItemText(kFolder, *folder);
      }
    }
  }

  void OnControlDoubleClicked(int id) override {
    ++double_clicks;
    if (id == kNames) OnOK();
  }
};

class PromptsTest : public ::testing::Test {
 protected:
  ScriptedPrompts prompts;
  ScopedPrompts installed{&prompts};
};

TEST(DefaultPrompts, AcknowledgeMessagesAndCancelEverythingElse) {
  ASSERT_EQ(SetPrompts(nullptr), nullptr) << "no prompts should be installed outside a test's scope";
  EXPECT_EQ(Prompts().MessageBox("text", "caption", MB_YESNOCANCEL | MB_ICONQUESTION), IDOK);
  EXPECT_FALSE(Prompts().FileDialog(FileDialogRequest{}).has_value());
  LOGFONT font;
  font.lfHeight = -40;
  EXPECT_EQ(Prompts().FontDialog(font), FALSE);
  EXPECT_EQ(font.lfHeight, -40);
  EXPECT_FALSE(Prompts().FolderDialog("title", "/tmp").has_value());
  OptionsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_nPieces, 1);
}

TEST(DefaultPrompts, ScopedPromptsRestoresThePreviousOnes) {
  ScriptedPrompts outer, inner;
  {
    ScopedPrompts a(&outer);
    {
      ScopedPrompts b(&inner);
      EXPECT_EQ(&Prompts(), &inner);
    }
    EXPECT_EQ(&Prompts(), &outer);
  }
  EXPECT_NE(&Prompts(), &outer);
  EXPECT_EQ(SetPrompts(nullptr), nullptr);
}

TEST_F(PromptsTest, AnswersInOrderAndRecordsEveryQuestion) {
  LOGFONT chosen;
  chosen.lfHeight = -12;
  std::strcpy(chosen.lfFaceName, "SimSun");
  prompts.AnswerMessage(IDYES)
      .ChooseFile("/data/a.dxf", 2)
      .ChooseFont(chosen)
      .ChooseFolder("/data/ggt")
      .CancelFileDialog();

  EXPECT_EQ(Prompts().MessageBox("覆盖?", "标题", MB_YESNO | MB_ICONQUESTION), IDYES);
  FileDialogRequest open;
  open.default_extension = "dxf";
  open.filter = "DXF Files (*.dxf)|*.dxf|All Files (*.*)|*.*|";
  open.initial_name = "/data/a";
  std::optional<FileDialogResult> file = Prompts().FileDialog(open);
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->paths, std::vector<CString>{"/data/a.dxf"});
  EXPECT_EQ(file->filter_index, 2);
  LOGFONT font;
  ASSERT_EQ(Prompts().FontDialog(font), TRUE);
  EXPECT_EQ(font.lfHeight, -12);
  EXPECT_STREQ(font.lfFaceName, "SimSun");
  EXPECT_EQ(Prompts().FolderDialog("选择", "/data"), std::optional<CString>("/data/ggt"));
  FileDialogRequest save;
  save.open = false;
  EXPECT_FALSE(Prompts().FileDialog(save).has_value());

  const std::vector<PromptRecord>& r = prompts.records();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(prompts.pending(), 0u);
  EXPECT_EQ(prompts.unscripted_count(), 0);
  EXPECT_EQ(r[0].kind, PromptKind::kMessageBox);
  EXPECT_EQ(r[0].text, "覆盖?");
  EXPECT_EQ(r[0].caption, "标题");
  EXPECT_EQ(r[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(r[1].kind, PromptKind::kFileDialog);
  EXPECT_EQ(r[1].file_request.filter, open.filter);
  EXPECT_EQ(r[1].file_request.initial_name, "/data/a");
  EXPECT_EQ(r[2].kind, PromptKind::kFontDialog);
  EXPECT_EQ(r[3].kind, PromptKind::kFolderDialog);
  EXPECT_EQ(r[3].text, "选择");
  EXPECT_EQ(r[3].caption, "/data");
  EXPECT_EQ(r[4].kind, PromptKind::kFileDialog);
  EXPECT_FALSE(r[4].file_request.open);
  EXPECT_EQ(r[4].answer, IDCANCEL);
  EXPECT_TRUE(r[4].scripted);
}

TEST_F(PromptsTest, UnscriptedQuestionsAreCancelledAndTheScriptWaits) {
  prompts.ChooseFolder("/kept");  // the next entry is for a folder dialog

  struct Case { UINT type; int answer; };
  const Case kCases[] = {{MB_OK | MB_ICONEXCLAMATION, IDOK}, {MB_OKCANCEL, IDCANCEL},
                         {MB_YESNOCANCEL, IDCANCEL}, {MB_YESNO, IDNO}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(Prompts().MessageBox("?", "", c.type), c.answer);
  }
  EXPECT_FALSE(Prompts().FileDialog(FileDialogRequest{}).has_value());
  LOGFONT font;
  font.lfWeight = 700;
  EXPECT_EQ(Prompts().FontDialog(font), FALSE);
  EXPECT_EQ(font.lfWeight, 700);
  OptionsDialog dialog;
  dialog.m_nSizes = 1;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_nSizes, 1);

  EXPECT_EQ(prompts.unscripted_count(), 7);
  EXPECT_EQ(prompts.pending(), 1u);
  // The dialog still opened: its controls showed the members.
  const PromptRecord& opened = prompts.records().back();
  EXPECT_EQ(opened.template_id, 9001);
  EXPECT_EQ(Control(opened.controls_at_open, kBaseSize).check, BST_CHECKED);
  EXPECT_EQ(Prompts().FolderDialog("", ""), std::optional<CString>("/kept"));
}

TEST_F(PromptsTest, OptionsDialogTakesTheUsersChoicesOnOk) {
  prompts.RunOptionsDialog(DialogScript(9001)
                               .ChooseRadio(kAllPieces)
                               .ChooseRadio(kBaseSize)
                               .SetCheck(kControlPoints, BST_CHECKED)
                               .SetText(kScale, " 0.1")
                               .SetText(kCount, " -12 ")
                               .SetText(kFactor, "1.5e1"));
  OptionsDialog dialog;
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_nPieces, 0);
  EXPECT_EQ(dialog.m_nSizes, 1);
  EXPECT_EQ(dialog.m_bToRul, 1);
  EXPECT_EQ(dialog.m_bControlPoints, 1);
  EXPECT_EQ(dialog.m_strScale, " 0.1") << "typed text is kept as typed, not matched to an entry";
  EXPECT_EQ(dialog.m_nCount, -12);
  EXPECT_DOUBLE_EQ(dialog.m_dFactor, 15.0);
  ASSERT_EQ(prompts.records().size(), 1u);
  const PromptRecord& r = prompts.records()[0];
  EXPECT_TRUE(r.scripted);
  EXPECT_TRUE(r.notes.empty());
  EXPECT_EQ(r.answer, IDOK);
  // Choosing a radio button cleared the other one of its group only.
  EXPECT_EQ(Control(r.controls_at_close, kWorkPieces).check, BST_UNCHECKED);
  EXPECT_EQ(Control(r.controls_at_close, kAllSizes).check, BST_UNCHECKED);
  EXPECT_EQ(Control(r.controls_at_close, kAllPieces).check, BST_CHECKED);
}

TEST_F(PromptsTest, CancelKeepsTheMembersWhateverTheControlsShowed) {
  prompts.RunOptionsDialog(
      DialogScript{}.ChooseRadio(kAllPieces).SetText(kCount, "99").Press(IDCANCEL));
  OptionsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_nPieces, 1);
  EXPECT_EQ(dialog.m_nCount, 3);
  EXPECT_TRUE(prompts.records()[0].scripted);
}

TEST_F(PromptsTest, ControlsOpenWithTheMembersAndTheTemplatesLists) {
  prompts.RunOptionsDialog(DialogScript{}.Press(IDCANCEL));
  OptionsDialog dialog;
  dialog.m_nSizes = 1;
  dialog.m_dFactor = 0.1;
  dialog.DoModal();
  const std::vector<ControlState>& c = prompts.records()[0].controls_at_open;
  EXPECT_EQ(Control(c, kWorkPieces).check, BST_CHECKED);
  EXPECT_EQ(Control(c, kBaseSize).check, BST_CHECKED);
  EXPECT_EQ(Control(c, kAllSizes).check, BST_UNCHECKED);
  EXPECT_TRUE(Control(c, kToRul).enabled) << "no enable rule runs when the dialog opens";
  EXPECT_EQ(Control(c, kScale).text, "1.0");
  EXPECT_EQ(Control(c, kScale).cur_sel, 0);
  EXPECT_EQ(Control(c, kScale).items, (std::vector<CString>{"1.0", "0.1", "25.4"}));
  EXPECT_EQ(Control(c, kCount).text, "3");
  EXPECT_EQ(Control(c, kFactor).text, "0.1");
  EXPECT_FALSE(Control(c, kFolder).enabled);
  // Template texts arrive as GBK bytes: 确定 is C8 B7 B6 A8.
  EXPECT_EQ(Control(c, IDOK).text, "\xC8\xB7\xB6\xA8(&O)");
  // A sorted list orders its entries without regard to ASCII case.
  EXPECT_EQ(Control(c, kNames).items, (std::vector<CString>{"a-piece", "b-piece", "C-piece"}));
}

TEST_F(PromptsTest, EnableRulesRunOnEveryChangeAndBlockDisabledControls) {
  prompts.RunOptionsDialog(DialogScript{}
                               .ChooseRadio(kBaseSize)      // disables the rule-file check
                               .SetCheck(kToRul, BST_UNCHECKED)  // refused
                               .ChooseRadio(kAllSizes)      // enables it again
                               .Click(kToRul)               // toggles it off
                               .SetCheck(kControlPoints, BST_CHECKED)  // refused: disabled
                               .SetText(kFolder, "/x"));    // refused: disabled in the template
  OptionsDialog dialog;
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_nSizes, 0);
  EXPECT_EQ(dialog.m_bToRul, 0);
  EXPECT_EQ(dialog.m_bControlPoints, 0);
  EXPECT_EQ(dialog.changes, 3);
  const PromptRecord& r = prompts.records()[0];
  ASSERT_EQ(r.notes.size(), 3u);
  EXPECT_NE(r.notes[0].Find("1031"), -1);
  EXPECT_NE(r.notes[1].Find("1032"), -1);
  EXPECT_NE(r.notes[2].Find("1004"), -1);
  EXPECT_FALSE(Control(r.controls_at_close, kControlPoints).enabled);
}

TEST_F(PromptsTest, ABadNumberKeepsTheDialogOpenAndTellsTheUser) {
  struct Case { int id; const char* text; const char* message; };
  const Case kCases[] = {
      {kCount, "12abc", "Please enter an integer."},
      {kCount, "", "Please enter an integer."},
      {kCount, "2147483648", "Please enter an integer."},
      {kCount, "1.5", "Please enter an integer."},
      {kFactor, "1,5", "Please enter a number."},
      {kFactor, "abc", "Please enter a number."},
      {kFactor, "inf", "Please enter a number."},
      {kFactor, "0x10", "Please enter a number."},
      {kFactor, " ", "Please enter a number."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    ScriptedPrompts p;
    ScopedPrompts scope(&p);
    p.RunOptionsDialog(DialogScript{}.SetText(kFactor, "9").SetText(c.id, c.text));
    OptionsDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    // The exchange stops at the bad field: it and the fields after it keep their values.
    EXPECT_EQ(dialog.m_nCount, 3);
    EXPECT_DOUBLE_EQ(dialog.m_dFactor, 2.5);
    EXPECT_EQ(dialog.GetFailedControl(), c.id);
    ASSERT_EQ(p.records().size(), 2u);
    EXPECT_EQ(p.records()[0].kind, PromptKind::kOptionsDialog);
    EXPECT_EQ(p.records()[0].answer, IDCANCEL);
    ASSERT_EQ(p.records()[0].notes.size(), 1u);
    EXPECT_NE(p.records()[0].notes[0].Find("stayed open"), -1);
    EXPECT_EQ(p.records()[1].kind, PromptKind::kMessageBox);
    EXPECT_EQ(p.records()[1].text, c.message);
    EXPECT_EQ(p.records()[1].type, MB_OK | MB_ICONEXCLAMATION);
  }
}

TEST_F(PromptsTest, NumbersAreReadWithoutRegardToTheLocalesDecimalMark) {
  struct Case { const char* text; double value; };
  const Case kCases[] = {{"1.5", 1.5}, {" -0.25\t", -0.25}, {"+3", 3.0}, {".5", 0.5}, {"2e-3", 0.002}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    ScriptedPrompts p;
    ScopedPrompts scope(&p);
    p.RunOptionsDialog(DialogScript{}.SetText(kFactor, c.text));
    OptionsDialog dialog;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_DOUBLE_EQ(dialog.m_dFactor, c.value);
  }
}

TEST_F(PromptsTest, ListsAndDoubleClicksReachTheDialog) {
  prompts.RunOptionsDialog(DialogScript{}
                               .SelectItem(kPieces, 0)
                               .SelectItem(kPieces, 2)
                               .SelectItem(kPieces, 0, false)
                               .Select(kNames, 2)
                               .DoubleClick(kNames)  // ends the dialog with OK
                               .Click(kBrowse));     // too late: noted
  OptionsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetSelItems(kPieces), (std::vector<int>{2}));
  EXPECT_EQ(dialog.GetSelCount(kPieces), 1);
  EXPECT_EQ(dialog.GetCurSel(kNames), 2);
  EXPECT_EQ(dialog.double_clicks, 1);
  EXPECT_EQ(dialog.changes, 4);
  ASSERT_EQ(prompts.records().size(), 1u);
  ASSERT_EQ(prompts.records()[0].notes.size(), 1u);
  EXPECT_NE(prompts.records()[0].notes[0].Find("already ended"), -1);
}

TEST_F(PromptsTest, ListEntriesAreChosenByTheirText) {
  // kNames keeps its entries sorted, so a text finds its entry wherever the
  // sorting put it; a text that is not listed cannot be chosen.
  prompts.RunOptionsDialog(DialogScript{}
                               .SelectText(kNames, "b-piece")
                               .SelectText(kPieces, "sleeve")
                               .SelectText(kPieces, "back")
                               .SelectText(kPieces, "sleeve", false)
                               .SelectText(kNames, "no-piece"));
  OptionsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  const ControlState* names = dialog.FindControl(kNames);
  ASSERT_NE(dialog.GetCurSel(kNames), LB_ERR);
  EXPECT_EQ(names->items[static_cast<size_t>(dialog.GetCurSel(kNames))], "b-piece");
  EXPECT_EQ(dialog.GetSelItems(kPieces), (std::vector<int>{1}));
  ASSERT_EQ(prompts.records()[0].notes.size(), 1u);
}

TEST_F(PromptsTest, ADialogAsksItsOwnQuestionsInTheMiddleOfItsRun) {
  prompts.RunOptionsDialog(DialogScript{}.Click(kBrowse).Press(IDOK));
  OptionsDialog dialog;
  // Nested questions are taken from the script after the dialog's own entry.
  prompts.ChooseFolder("/styles/a");
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetDlgItemText(kFolder), "/styles/a");
  ASSERT_EQ(prompts.records().size(), 2u);
  EXPECT_EQ(prompts.records()[0].kind, PromptKind::kOptionsDialog);
  EXPECT_EQ(prompts.records()[1].kind, PromptKind::kFolderDialog);
  EXPECT_TRUE(prompts.records()[1].scripted);
  EXPECT_EQ(Control(prompts.records()[0].controls_at_close, kFolder).text, "/styles/a");
}

TEST_F(PromptsTest, AScriptForAnotherDialogIsLeftForIt) {
  prompts.RunOptionsDialog(DialogScript(368).Press(IDOK));
  OptionsDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_FALSE(prompts.records()[0].scripted);
  EXPECT_EQ(prompts.pending(), 1u);
}

TEST_F(PromptsTest, ADisabledOkCannotBePressed) {
  class NoOkDialog : public OptionsDialog {
    BOOL OnInitDialog() override {
      OptionsDialog::OnInitDialog();
      EnableControl(IDOK, false);
      return TRUE;
    }
  };
  prompts.RunOptionsDialog(DialogScript{}.ChooseRadio(kAllPieces).Press(IDOK));
  NoOkDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_nPieces, 1);
  ASSERT_EQ(prompts.records()[0].notes.size(), 1u);
  EXPECT_NE(prompts.records()[0].notes[0].Find("could not be pressed"), -1);
}

// A pane in the manner of the native open dialog: a switch and a text that
// shows what the selected file says about itself.
const DialogTemplate kPaneTemplate{
    9003, "", 200, 100,
    {Make(CFileDialogPane::kFileListPlaceholder, ControlKind::kStatic),
     Make(1388, ControlKind::kCheckBox, "显示款式图(&P)"), Make(1684, ControlKind::kStatic)}};

class DescribingPane : public CFileDialogPane {
 public:
  DescribingPane() : CFileDialogPane(kPaneTemplate.id, &kPaneTemplate) {}
  int m_bShow = 1;
  std::vector<CString> seen;
  BOOL OnInitDialog() override {
    CheckDlgButton(1388, m_bShow);
    return TRUE;
  }
  void OnControlChanged(int id) override {
    if (id == 1388) m_bShow = static_cast<int>(IsDlgButtonChecked(1388));
  }
  void OnFileNameChange() override {
    seen.push_back(GetPathName());
    if (m_bShow) SetDlgItemText(1684, "about " + GetPathName());
  }
  void OnFolderChange() override { seen.push_back("folder " + GetFolderPath()); }
};

TEST_F(PromptsTest, AFileDialogPaneFollowsTheSelection) {
  prompts.ChooseFile("/p/b.ptn", 1,
                     DialogScript{}.SelectFile("/p/a.ptn").Click(1388).EnterFolder("/q").SelectFile("/p/c.ptn"));
  DescribingPane pane;
  FileDialogRequest request;
  request.pane = &pane;
  std::optional<FileDialogResult> chosen = Prompts().FileDialog(request);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(pane.seen, (std::vector<CString>{"/p/a.ptn", "folder /q", "/p/c.ptn", "/p/b.ptn"}))
      << "the confirmed file is selected last";
  EXPECT_EQ(pane.GetDlgItemText(1684), "about /p/a.ptn") << "with the switch off the text stays";
  EXPECT_TRUE(pane.IsEnded());
  EXPECT_EQ(pane.GetResult(), IDOK);
  const PromptRecord& r = prompts.records()[0];
  EXPECT_EQ(r.template_id, 9003);
  EXPECT_EQ(Control(r.controls_at_open, 1388).check, BST_CHECKED);
  EXPECT_EQ(Control(r.controls_at_close, 1388).check, BST_UNCHECKED);
  EXPECT_TRUE(r.notes.empty());

  // Cancelled, and unscripted: the pane still opens and ends with Cancel.
  DescribingPane other;
  request.pane = &other;
  EXPECT_FALSE(Prompts().FileDialog(request).has_value());
  EXPECT_TRUE(other.IsEnded());
  EXPECT_EQ(other.GetResult(), IDCANCEL);
  EXPECT_TRUE(other.seen.empty());
}

TEST_F(PromptsTest, AFolderTheCallerCannotUseIsNeverConfirmed) {
  prompts.ChooseFolder("/data/not-a-store").ChooseFolder("/data/store");
  auto is_store = [](const CString& folder) { return folder.Right(5) == "store" && folder.Find("not") < 0; };
  EXPECT_FALSE(Prompts().FolderDialogAccepting("", "/data", is_store).has_value());
  EXPECT_EQ(Prompts().FolderDialogAccepting("", "/data", is_store), std::optional<CString>("/data/store"));
  ASSERT_EQ(prompts.records().size(), 2u);
  EXPECT_EQ(prompts.records()[0].answer, IDCANCEL);
  EXPECT_EQ(prompts.records()[0].notes.size(), 1u);
  EXPECT_EQ(prompts.records()[1].answer, IDOK);

  // Prompts that only know the plain folder dialog refuse the answer afterwards.
  ScriptedPrompts plain;
  plain.ChooseFolder("/data/not-a-store").ChooseFolder("/data/store");
  IPrompts& base = plain;
  EXPECT_FALSE(base.IPrompts::FolderDialogAccepting("", "", is_store).has_value());
  EXPECT_EQ(base.IPrompts::FolderDialogAccepting("", "", is_store), std::optional<CString>("/data/store"));
}

TEST(DialogControls, ComboAndListHelpersKeepTextAndSelectionTogether) {
  OptionsDialog d;
  EXPECT_EQ(d.GetCount(kScale), 3);
  EXPECT_EQ(d.GetCurSel(kScale), -1);
  EXPECT_EQ(d.SetCurSel(kScale, 2), 2);
  EXPECT_EQ(d.GetDlgItemText(kScale), "25.4");
  d.SetDlgItemText(kScale, "7");
  EXPECT_EQ(d.GetCurSel(kScale), -1) << "typed text no longer shows the entry";
  EXPECT_EQ(d.SetCurSel(kScale, 3), CB_ERR);
  EXPECT_EQ(d.GetDlgItemText(kScale), "");
  EXPECT_EQ(d.AddString(kScale, "0.01"), 3);
  d.ResetContent(kScale);
  EXPECT_EQ(d.GetCount(kScale), 0);
  // A selection stays on its entry when a sorted list takes an entry before it.
  EXPECT_EQ(d.AddString(kNames, "m"), 0);
  EXPECT_EQ(d.SetCurSel(kNames, 0), 0);
  EXPECT_EQ(d.AddString(kNames, "a"), 0);
  EXPECT_EQ(d.GetCurSel(kNames), 1);
  EXPECT_EQ(d.GetItemText(kNames, 1), "m");
  // Multi-selection lists.
  for (const char* p : {"x", "y", "z"}) d.AddString(kPieces, p);
  EXPECT_EQ(d.SetSel(kPieces, -1, true), 0);
  EXPECT_EQ(d.GetSelCount(kPieces), 3);
  EXPECT_EQ(d.SetSel(kPieces, 1, false), 0);
  EXPECT_EQ(d.GetSel(kPieces, 1), 0);
  EXPECT_EQ(d.SetSel(kPieces, 3, true), LB_ERR);
  EXPECT_EQ(d.SetCurSel(kPieces, 0), LB_ERR);
  EXPECT_EQ(d.SetSel(kNames, 0, true), LB_ERR) << "single-selection lists have no per-entry flags";
  // Unknown ids.
  EXPECT_EQ(d.GetCount(4242), CB_ERR);
  EXPECT_EQ(d.GetDlgItemText(4242), "");
  EXPECT_FALSE(d.IsControlEnabled(4242));
  d.SetDlgItemText(4242, "x");
  d.CheckDlgButton(4242, 1);
}

TEST(DialogControls, CheckRadioButtonWorksOnTheIdRange) {
  OptionsDialog d;
  d.CheckDlgButton(kAllSizes, BST_CHECKED);
  d.CheckRadioButton(kAllSizes, kBaseSize, kBaseSize);
  EXPECT_EQ(d.IsDlgButtonChecked(kAllSizes), 0u);
  EXPECT_EQ(d.IsDlgButtonChecked(kBaseSize), 1u);
  EXPECT_EQ(d.IsDlgButtonChecked(kAllPieces), 0u);
}

TEST(DialogExchange, RadioIndexCountsOnlyTheGroupsRadioButtons) {
  OptionsDialog d;
  d.m_nPieces = -1;
  d.m_nSizes = 1;
  d.UpdateData(FALSE);
  EXPECT_EQ(d.IsDlgButtonChecked(kAllPieces), 0u);
  EXPECT_EQ(d.IsDlgButtonChecked(kWorkPieces), 0u);
  EXPECT_EQ(d.IsDlgButtonChecked(kBaseSize), 1u);
  // A value past the group checks nothing, and nothing checked reads as -1.
  d.m_nSizes = 5;
  d.UpdateData(FALSE);
  EXPECT_EQ(d.IsDlgButtonChecked(kAllSizes) + d.IsDlgButtonChecked(kBaseSize), 0u);
  ASSERT_TRUE(d.UpdateData(TRUE));
  EXPECT_EQ(d.m_nSizes, -1);
  EXPECT_EQ(d.m_nPieces, -1);
}

TEST(DialogExchange, ComboTextLoadsByExactEntryOrAsTyped) {
  struct Case { const char* value; int sel; const char* text; };
  const Case kCases[] = {{"0.1", 1, "0.1"}, {"25.40", -1, "25.40"}, {"25", -1, "25"}, {"", -1, ""}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    OptionsDialog d;
    d.m_strScale = c.value;
    d.UpdateData(FALSE);
    EXPECT_EQ(d.GetCurSel(kScale), c.sel);
    EXPECT_EQ(d.GetDlgItemText(kScale), c.text);
  }
}

TEST(DialogExchange, DropListComboSelectsByPrefixOrNothing) {
  static const DialogTemplate kDrop{
      9002, "", 50, 50, {WithItems(Make(10, ControlKind::kComboDropList), {"毫米", "厘米", "inch"})}};
  class DropDialog : public CDialog {
   public:
    DropDialog() : CDialog(kDrop.id, &kDrop) {}
    CString value;
    int index = 0;
    void DoDataExchange(CDataExchange* pDX) override {
      DDX_CBString(pDX, 10, value);
      DDX_CBIndex(pDX, 10, index);
    }
  };
  DropDialog d;
  d.value = "IN";
  d.index = 2;
  d.UpdateData(FALSE);
  EXPECT_EQ(d.GetCurSel(10), 2);
  d.SetDlgItemText(10, "free text");  // a list-only combo has no text of its own
  ASSERT_TRUE(d.UpdateData(TRUE));
  EXPECT_EQ(d.value, "inch");
  EXPECT_EQ(d.index, 2);
  EXPECT_FALSE(d.UserSetText(10, "x"));
  EXPECT_TRUE(d.UserSelect(10, 0));
  ASSERT_TRUE(d.UpdateData(TRUE));
  EXPECT_EQ(d.index, 0);
  EXPECT_EQ(d.value, CString("\xBA\xC1\xC3\xD7"));  // 毫米 in GBK
}

TEST(DialogExchange, DialogWithoutTemplateHasNoControls) {
  CDialog d(77, nullptr);
  EXPECT_TRUE(d.Controls().empty());
  EXPECT_TRUE(d.UpdateData(TRUE));
  EXPECT_FALSE(d.UserClick(IDOK));
}

}  // namespace
