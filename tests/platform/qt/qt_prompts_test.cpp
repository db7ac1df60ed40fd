// The Qt prompts: the translations of message-box flags, file filters and
// fonts, and options dialogs built as real widgets (offscreen, never exec'd).
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "platform/dialog.h"
#include "platform/qt/qt_prompts.h"
#include "platform/scripted_prompts.h"

namespace {

enum : int {
  kTextInfo = 1756, kSeparate = 1040, kScale = 1026, kCount = 1100,
  kMm = 1479, kCm = 1008, kInch = 1481, kPieces = 1020, kAll = 1021,
};

ControlTemplate Make(int id, ControlKind kind, const char* text = "") {
  ControlTemplate c;
  c.id = id;
  c.kind = kind;
  c.text = text;
  c.cx = 40;
  c.cy = 10;
  return c;
}

DialogTemplate MakeTemplate() {
  DialogTemplate t;
  t.id = 9100;
  t.caption = "打开AAMA格式文件";
  t.cx = 160;
  t.cy = 140;
  ControlTemplate first_radio = Make(kMm, ControlKind::kRadioButton, "毫米");
  first_radio.group_start = true;
  ControlTemplate combo = Make(kScale, ControlKind::kComboDropDown);
  combo.items = {"1.0", "0.1", "25.4"};
  ControlTemplate pieces = Make(kPieces, ControlKind::kListBox);
  pieces.multi_select = true;
  ControlTemplate separate = Make(kSeparate, ControlKind::kCheckBox, "各码分开");
  separate.group_start = true;
  t.controls = {
      Make(65535, ControlKind::kGroupBox, "文件数据单位"),
      first_radio,
      Make(kCm, ControlKind::kRadioButton, "厘米"),
      Make(kInch, ControlKind::kRadioButton, "英寸"),
      Make(65535, ControlKind::kStatic, "比例参数(&S)"),
      combo,
      separate,
      Make(kTextInfo, ControlKind::kCheckBox, "文字说明信息"),
      Make(kCount, ControlKind::kEdit),
      pieces,
      Make(kAll, ControlKind::kPushButton, "全部纸样"),
      Make(IDOK, ControlKind::kDefPushButton, "确定(&O)"),
      Make(IDCANCEL, ControlKind::kPushButton, "取消(&C)"),
  };
  return t;
}

const DialogTemplate kTemplate = MakeTemplate();

// "Sizes separate" enables the text-information check box; the all-pieces
// button selects every entry of the piece list.
class OpenDialog : public CDialog {
 public:
  OpenDialog() : CDialog(kTemplate.id, &kTemplate) {}

  int m_nUnit = 0;
  int m_bSeparate = 0;
  int m_bTextInfo = 0;
  CString m_strScale = "1.0";
  int m_nCount = 4;
  std::vector<int> changed;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    EnableControl(kTextInfo, m_bSeparate != 0);
    // Entries are the program's texts, GBK bytes: 前片 first.
    for (const char* p : {"\xC7\xB0\xC6\xAC", "back", "sleeve"}) AddString(kPieces, p);
    return TRUE;
  }
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Radio(pDX, kMm, m_nUnit);
    DDX_CBString(pDX, kScale, m_strScale);
    DDX_Check(pDX, kSeparate, m_bSeparate);
    DDX_Check(pDX, kTextInfo, m_bTextInfo);
    DDX_Text(pDX, kCount, m_nCount);
  }
  void OnControlChanged(int id) override {
    changed.push_back(id);
    if (id == kSeparate) EnableControl(kTextInfo, IsDlgButtonChecked(kSeparate) == BST_CHECKED);
    if (id == kAll) SetSel(kPieces, -1, true);
  }
};

TEST(QtPromptsTranslation, MessageBoxFlags) {
  struct Case {
    UINT type;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    int closed;  // the answer when the box is closed without a button
  };
  const Case kCases[] = {
      {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Warning, QMessageBox::Ok, IDOK},
      {MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel, IDCANCEL},
      {MB_YESNOCANCEL | MB_ICONQUESTION, QMessageBox::Question,
       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, IDCANCEL},
      {MB_YESNO | MB_ICONHAND, QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No, IDNO},
      {MB_OK, QMessageBox::NoIcon, QMessageBox::Ok, IDOK},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(QtPrompts::IconFor(c.type), c.icon);
    EXPECT_EQ(QtPrompts::ButtonsFor(c.type), c.buttons);
    EXPECT_EQ(QtPrompts::AnswerFor(-1, c.type), c.closed);
  }
  EXPECT_EQ(QtPrompts::AnswerFor(QMessageBox::Yes, MB_YESNO), IDYES);
  EXPECT_EQ(QtPrompts::AnswerFor(QMessageBox::No, MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(QtPrompts::AnswerFor(QMessageBox::Ok, MB_OKCANCEL), IDOK);
  EXPECT_EQ(QtPrompts::AnswerFor(QMessageBox::Cancel, MB_OKCANCEL), IDCANCEL);
}

TEST(QtPromptsTranslation, FileFiltersKeepTheirNamesAndOrder) {
  struct Case { const char* filter; QStringList expected; };
  const Case kCases[] = {
      {"Ptn Files (*.ptn)|*.ptn|Pdf Files (*.pdf)|*.pdf|All Files (*.*)|*.*|",
       {"Ptn Files (*.ptn) (*.ptn)", "Pdf Files (*.pdf) (*.pdf)", "All Files (*.*) (*)"}},
      {"DXF Files (*.dxf,*.aam)|*.dxf;*.aam|All Files (*.*)|*.*|",
       {"DXF Files (*.dxf,*.aam) (*.dxf *.aam)", "All Files (*.*) (*)"}},
      {"AAMA Files (*.dxf,*.aam,*.rul)|*.dxf;*.aam;*.rul|", {"AAMA Files (*.dxf,*.aam,*.rul) (*.dxf *.aam *.rul)"}},
      {"IBA|*.IBA", {"IBA (*.IBA)"}},  // no closing "|"
      {"Dangling name|", {}},
      {"", {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.filter);
    EXPECT_EQ(QtPrompts::NameFilters(c.filter), c.expected);
  }
}

TEST(QtPromptsTranslation, FontDialogRoundTripKeepsTheStoredFields) {
  LOGFONT lf;
  lf.lfHeight = -16;
  lf.lfWidth = 7;
  lf.lfEscapement = 900;
  lf.lfWeight = 700;
  lf.lfItalic = 1;
  lf.lfCharSet = 1;
  lf.lfQuality = 2;
  std::strcpy(lf.lfFaceName, "WenQuanYi Micro Hei");

  const QFont shown = QtPrompts::DialogFontFor(lf);
  EXPECT_DOUBLE_EQ(shown.pointSizeF(), 12.0);
  EXPECT_TRUE(shown.italic());
  EXPECT_EQ(shown.weight(), 700);

  const LOGFONT back = QtPrompts::LogFontFrom(shown, lf);
  EXPECT_EQ(back.lfHeight, -16);
  EXPECT_EQ(back.lfWidth, 0);
  EXPECT_EQ(back.lfWeight, 700);
  EXPECT_EQ(back.lfItalic, 1);
  EXPECT_EQ(back.lfEscapement, 900);
  EXPECT_EQ(back.lfCharSet, 1);
  EXPECT_EQ(back.lfQuality, 2);
  EXPECT_STREQ(back.lfFaceName, "WenQuanYi Micro Hei");
}

TEST(QtPromptsTranslation, LongFaceNamesAreCutOnWholeCharacters) {
  QFont font;
  font.setFamily(QString(20, QChar(0x5B8B)));  // 宋 x 20: 40 GBK bytes
  font.setPixelSize(20);
  const LOGFONT lf = QtPrompts::LogFontFrom(font, LOGFONT{});
  EXPECT_EQ(std::strlen(lf.lfFaceName), 30u);
  EXPECT_EQ(static_cast<unsigned char>(lf.lfFaceName[0]), 0xCB);
  EXPECT_EQ(static_cast<unsigned char>(lf.lfFaceName[1]), 0xCE);
  EXPECT_EQ(lf.lfHeight, -20);
}

class QtDialogHostTest : public ::testing::Test {
 protected:
  ScriptedPrompts prompts;  // catches the messages the dialogs show
  ScopedPrompts installed{&prompts};
};

TEST_F(QtDialogHostTest, WidgetsComeFromTheTemplateAndShowTheMembers) {
  OpenDialog dialog;
  dialog.m_nUnit = 2;
  dialog.m_strScale = "25.4";
  QtDialogHost host(dialog);
  host.Start();

  EXPECT_EQ(host.windowTitle(), QString("打开AAMA格式文件"));
  EXPECT_EQ(host.width(), 280);
  EXPECT_EQ(host.height(), 263);
  auto* frame = qobject_cast<QGroupBox*>(host.WidgetFor(65535));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->title(), QString("文件数据单位"));
  auto* inch = qobject_cast<QRadioButton*>(host.WidgetFor(kInch));
  auto* mm = qobject_cast<QRadioButton*>(host.WidgetFor(kMm));
  ASSERT_TRUE(inch && mm);
  EXPECT_TRUE(inch->isChecked());
  EXPECT_FALSE(mm->isChecked());
  auto* combo = qobject_cast<QComboBox*>(host.WidgetFor(kScale));
  ASSERT_NE(combo, nullptr);
  EXPECT_TRUE(combo->isEditable());
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->currentText(), QString("25.4"));
  auto* count = qobject_cast<QLineEdit*>(host.WidgetFor(kCount));
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->text(), QString("4"));
  auto* info = qobject_cast<QCheckBox*>(host.WidgetFor(kTextInfo));
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->text(), QString("文字说明信息"));
  EXPECT_FALSE(info->isEnabled()) << "OnInitDialog's enable state reaches the widget";
  auto* pieces = qobject_cast<QListWidget*>(host.WidgetFor(kPieces));
  ASSERT_NE(pieces, nullptr);
  ASSERT_EQ(pieces->count(), 3);
  EXPECT_EQ(pieces->item(0)->text(), QString("前片"));
  auto* ok = qobject_cast<QPushButton*>(host.WidgetFor(IDOK));
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(ok->text(), QString("确定(&O)"));
  // Labels drop the mnemonic marker.
  bool label_found = false;
  for (QLabel* label : host.findChildren<QLabel*>()) {
    label_found |= label->text() == QString("比例参数(S)");
  }
  EXPECT_TRUE(label_found);
}

TEST_F(QtDialogHostTest, UserChangesRunTheEnableRulesAndReachTheWidgets) {
  OpenDialog dialog;
  QtDialogHost host(dialog);
  host.Start();
  auto* separate = qobject_cast<QCheckBox*>(host.WidgetFor(kSeparate));
  auto* info = qobject_cast<QCheckBox*>(host.WidgetFor(kTextInfo));
  ASSERT_TRUE(separate && info);

  separate->click();
  EXPECT_EQ(dialog.changed, std::vector<int>{kSeparate});
  EXPECT_EQ(dialog.IsDlgButtonChecked(kSeparate), 1u);
  EXPECT_TRUE(info->isEnabled());
  info->click();
  EXPECT_EQ(dialog.IsDlgButtonChecked(kTextInfo), 1u);
  separate->click();
  EXPECT_FALSE(info->isEnabled());
  EXPECT_TRUE(info->isChecked()) << "disabling keeps the check";

  // A radio button clears the others of its group in the table too.
  qobject_cast<QRadioButton*>(host.WidgetFor(kCm))->click();
  EXPECT_EQ(dialog.IsDlgButtonChecked(kCm), 1u);
  EXPECT_EQ(dialog.IsDlgButtonChecked(kMm), 0u);

  // The all-pieces button selects every entry, on screen as well.
  qobject_cast<QPushButton*>(host.WidgetFor(kAll))->click();
  auto* pieces = qobject_cast<QListWidget*>(host.WidgetFor(kPieces));
  EXPECT_EQ(pieces->selectedItems().size(), 3);
  pieces->item(1)->setSelected(false);
  EXPECT_EQ(dialog.GetSelItems(kPieces), (std::vector<int>{0, 2}));
  EXPECT_EQ(dialog.changed.back(), kPieces);
}

TEST_F(QtDialogHostTest, AcceptRunsTheDataExchange) {
  OpenDialog dialog;
  QtDialogHost host(dialog);
  host.Start();
  auto* combo = qobject_cast<QComboBox*>(host.WidgetFor(kScale));
  combo->lineEdit()->selectAll();
  combo->lineEdit()->insert("2.54");
  auto* count = qobject_cast<QLineEdit*>(host.WidgetFor(kCount));
  count->selectAll();
  count->insert(" 12");
  qobject_cast<QRadioButton*>(host.WidgetFor(kInch))->click();
  qobject_cast<QCheckBox*>(host.WidgetFor(kSeparate))->click();

  qobject_cast<QPushButton*>(host.WidgetFor(IDOK))->click();
  EXPECT_TRUE(dialog.IsEnded());
  EXPECT_EQ(dialog.GetResult(), IDOK);
  EXPECT_EQ(host.result(), IDOK);
  EXPECT_EQ(dialog.m_strScale, "2.54");
  EXPECT_EQ(dialog.m_nCount, 12);
  EXPECT_EQ(dialog.m_nUnit, 2);
  EXPECT_EQ(dialog.m_bSeparate, 1);
  EXPECT_TRUE(prompts.records().empty());
}

TEST_F(QtDialogHostTest, ABadNumberKeepsTheDialogOpenOnTheField) {
  OpenDialog dialog;
  QtDialogHost host(dialog);
  host.show();
  host.Start();
  auto* count = qobject_cast<QLineEdit*>(host.WidgetFor(kCount));
  count->selectAll();
  count->insert("zwölf");
  host.accept();
  EXPECT_FALSE(dialog.IsEnded());
  EXPECT_TRUE(host.isVisible());
  EXPECT_EQ(dialog.m_nCount, 4);
  ASSERT_EQ(prompts.records().size(), 1u);
  EXPECT_EQ(prompts.records()[0].text, "Please enter an integer.");
  EXPECT_EQ(dialog.GetDlgItemText(kCount), CString("zw?lf")) << "typed text is stored as GBK";

  host.reject();
  EXPECT_TRUE(dialog.IsEnded());
  EXPECT_EQ(dialog.GetResult(), IDCANCEL);
  EXPECT_FALSE(host.isVisible());
}

TEST_F(QtDialogHostTest, NoChosenRadioShowsNoneAndTheSelectionFollowsTheTable) {
  OpenDialog dialog;
  dialog.m_nUnit = -1;
  dialog.m_strScale = "0.1";
  QtDialogHost host(dialog);
  host.Start();
  for (int id : {kMm, kCm, kInch}) {
    EXPECT_FALSE(qobject_cast<QRadioButton*>(host.WidgetFor(id))->isChecked()) << id;
  }
  auto* combo = qobject_cast<QComboBox*>(host.WidgetFor(kScale));
  EXPECT_EQ(combo->currentIndex(), 1);
  combo->setCurrentIndex(2);
  emit combo->activated(2);  // what a choice from the list sends
  EXPECT_EQ(dialog.GetCurSel(kScale), 2);
  EXPECT_EQ(dialog.GetDlgItemText(kScale), "25.4");
  EXPECT_EQ(dialog.changed, std::vector<int>{kScale});
}

ControlTemplate At(ControlTemplate c, int x, int y, int cx, int cy) {
  c.x = x;
  c.y = y;
  c.cx = cx;
  c.cy = cy;
  return c;
}

// The native open dialog's kind of pane: a preview column beside the file
// list and a description row below it.
const DialogTemplate kPaneTemplate{
    9200, "", 350, 160,
    {At(Make(CFileDialogPane::kFileListPlaceholder, ControlKind::kStatic), 0, 0, 240, 130),
     At(Make(1387, ControlKind::kPicture), 246, 4, 100, 100),
     At(Make(1388, ControlKind::kCheckBox, "显示款式图(&P)"), 246, 108, 100, 10),
     At(Make(1684, ControlKind::kStatic), 4, 134, 342, 22)}};

class DescribingPane : public CFileDialogPane {
 public:
  DescribingPane() : CFileDialogPane(kPaneTemplate.id, &kPaneTemplate) {}
  std::vector<CString> seen;
  BOOL OnInitDialog() override {
    CheckDlgButton(1388, BST_CHECKED);
    return TRUE;
  }
  void OnFileNameChange() override {
    seen.push_back(GetPathName());
    if (IsDlgButtonChecked(1388)) SetDlgItemText(1684, "about " + GetPathName());
  }
  void OnFolderChange() override { seen.push_back("folder " + GetFolderPath()); }
};

TEST(QtPromptsFileDialog, APaneSitsBesideAndBelowTheFileListAndFollowsTheSelection) {
  QFileDialog dialog(nullptr, "open");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  DescribingPane pane;
  QtPrompts::AddPane(dialog, pane);

  QCheckBox* show = nullptr;
  QLabel* description = nullptr;
  for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
    if (box->text() == QString("显示款式图(&P)")) show = box;
  }
  ASSERT_NE(show, nullptr);
  EXPECT_TRUE(show->isChecked());
  QWidget* beside = show->parentWidget();
  for (QLabel* label : beside->parentWidget()->findChildren<QLabel*>()) {
    if (label->parentWidget() != beside && label->parentWidget()->parentWidget() == &dialog &&
        dynamic_cast<QtControlPane*>(label->parentWidget())) {
      description = label;
    }
  }
  ASSERT_NE(description, nullptr) << "the description row is a pane of its own";
  // The placeholder itself is not shown: the beside-pane holds the picture and the check box only.
  EXPECT_EQ(beside->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 2);

  emit dialog.currentChanged(QString("/p/a.ptn"));
  EXPECT_EQ(description->text(), QString("about /p/a.ptn"));
  show->click();
  emit dialog.directoryEntered(QString("/q"));
  emit dialog.currentChanged(QString("/p/b.ptn"));
  EXPECT_EQ(description->text(), QString("about /p/a.ptn"));
  EXPECT_EQ(pane.seen, (std::vector<CString>{"/p/a.ptn", "folder /q", "/p/b.ptn"}));
}

TEST(QtPromptsRun, DialogsThatCannotOrNeedNotShowReturnAtOnce) {
  QtPrompts qt;
  CDialog missing(4711, nullptr);
  EXPECT_EQ(qt.RunDialog(missing), -1);

  class EndsAtOnce : public OpenDialog {
    BOOL OnInitDialog() override {
      OpenDialog::OnInitDialog();
      EndDialog(IDOK);
      return TRUE;
    }
  };
  EndsAtOnce dialog;
  EXPECT_EQ(qt.RunDialog(dialog), IDOK);
}

}  // namespace
