// The open options dialogs take Return as OK and Escape as Cancel wherever
// the focus is, the AAMA dialog's editable scale box included.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "formats/aama_open_dlg.h"
#include "formats/dxf_open_dlg.h"
#include "model/settings.h"
#include "platform/qt/qt_prompts.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"

namespace {

// A key pressed on `target`, passed up its parents the way Qt delivers a key
// the widget does not use.
void Press(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// The widget that takes the keys for control `id`: the edit field of an
// editable combo box, else the control itself.
QWidget* KeyTarget(const QtDialogHost& host, int id) {
  QWidget* w = host.WidgetFor(id);
  if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) return combo->lineEdit();
  return w;
}

class FormatDialogKeysTest : public ::testing::Test {
 protected:
  void SetUp() override { RestoreDefaultSettings(); }
  void TearDown() override { RestoreDefaultSettings(); }

  ScriptedPrompts prompts_;
  ScopedPrompts installed_{&prompts_};
};

TEST_F(FormatDialogKeysTest, ReturnIsOkAndEscapeIsCancelFromEveryControl) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<CDialog>()> make;
    int focus;
    int key;
    int result;
  };
  auto aama = [] { return std::make_unique<CAamaOpenDlg>(); };
  auto dxf = [] { return std::make_unique<CDxfOpenDlg>(); };
  const std::vector<Case> cases = {
      {"AAMA scale, Return", aama, IDC_AAMA_OPEN_SCALE, Qt::Key_Return, IDOK},
      {"AAMA scale, keypad Enter", aama, IDC_AAMA_OPEN_SCALE, Qt::Key_Enter, IDOK},
      {"AAMA scale, Escape", aama, IDC_AAMA_OPEN_SCALE, Qt::Key_Escape, IDCANCEL},
      {"AAMA check box, Return", aama, IDC_AAMA_OPEN_ALL_GRADE, Qt::Key_Return, IDOK},
      {"AAMA check box, Escape", aama, IDC_AAMA_OPEN_TEXT_INFO, Qt::Key_Escape, IDCANCEL},
      {"DXF unit, Return", dxf, IDC_DXF_OPEN_CM, Qt::Key_Return, IDOK},
      {"DXF count, Escape", dxf, IDC_DXF_OPEN_ONE, Qt::Key_Escape, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CDialog> dialog = c.make();
    QtDialogHost host(*dialog);
    host.Start();
    host.show();
    QWidget* target = KeyTarget(host, c.focus);
    ASSERT_NE(target, nullptr);
    target->setFocus();
    Press(target, c.key);
    EXPECT_TRUE(dialog->IsEnded());
    EXPECT_EQ(dialog->GetResult(), c.result);
    EXPECT_FALSE(host.isVisible());
  }
}

TEST_F(FormatDialogKeysTest, ReturnInTheScaleBoxTakesTheTypedScale) {
  CAamaOpenDlg dialog;
  QtDialogHost host(dialog);
  host.Start();
  host.show();
  auto* combo = qobject_cast<QComboBox*>(host.WidgetFor(IDC_AAMA_OPEN_SCALE));
  ASSERT_NE(combo, nullptr);
  ASSERT_NE(combo->lineEdit(), nullptr);
  combo->lineEdit()->setFocus();
  combo->lineEdit()->selectAll();
  for (QChar ch : QStringLiteral("2.54")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(combo->lineEdit(), &press);
  }
  EXPECT_EQ(combo->currentText(), QStringLiteral("2.54"));
  Press(combo->lineEdit(), Qt::Key_Return);
  EXPECT_TRUE(dialog.IsEnded());
  EXPECT_EQ(dialog.GetResult(), IDOK);
  EXPECT_EQ(dialog.m_strScale, CString("2.54"));
}

}  // namespace
