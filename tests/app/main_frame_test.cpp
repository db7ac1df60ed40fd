// The main window: its menus, toolbar and status bar, the keys that reach
// the commands, the enable states, New, the open and save commands around
// their readers and writers, and the default-font command.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/child_frame.h"
#include "app/piece_drawing.h"
#include "app/settings_file.h"
#include "app/work_window.h"
#include "main_frame_fixture.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"

namespace {

const char* const kAppTitle = "泽维格式转换软件";

// Records which reader or writer ran, with its path.
struct HandlerLog {
  std::vector<std::string> calls;
  int result = 1;

  FileCommandHandlers Handlers() {
    FileCommandHandlers h;
    auto reader = [this](const char* name) {
      return [this, name](const CString& path) {
        calls.push_back(std::string(name) + " " + path.str());
        return result;
      };
    };
    h.openPtn = reader("openPtn");
    h.openDxf = reader("openDxf");
    h.openAama = reader("openAama");
    h.savePtn = reader("savePtn");
    h.saveDxf = reader("saveDxf");
    h.saveAama = reader("saveAama");
    h.openGgt = [this] { calls.push_back("openGgt"); };
    h.openIba = [this] { calls.push_back("openIba"); };
    return h;
  }
};

// Presses and releases a key in the window, as the keyboard would.
void PressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(target, &release);
}

class MainFrameTest : public MainFrameFixture {
 protected:
  // The frame, active, so that its keys work.
  CMainFrame& ActiveFrame() {
    CMainFrame& frame = Frame();
    frame.activateWindow();
    QApplication::setActiveWindow(&frame);
    QApplication::processEvents();
    return frame;
  }

  // A piece in the work area, current.
  CPieceRecord* PlaceOnePiece() {
    if (g_Style.SizeCount == 0) AddSizes(2);
    CPieceRecord* piece = AddRectPiece("P", 0, 0, 4000, 8000);
    CPatternListBox* list = Frame().GetListBox();
    list->SetCurSel(list->GetCount() - 1);
    list->OnSelchange();
    return piece;
  }
};

// --- menus, toolbar, status bar -------------------------------------------

TEST_F(MainFrameTest, MenusHoldTheItemsOfTheProgramWithTheirStates) {
  struct Item {
    int id;  // 0: separator
    const char* text;
    bool enabled;
  };
  struct Popup {
    const char* title;
    std::vector<Item> items;
  };
  // With an empty style and the readers the program has: native, DXF and
  // AAMA open, the Gerber and Lectra imports run, and nothing can be saved
  // from an empty style.
  const std::vector<Popup> expected = {
      {"文件(&F)",
       {{32778, "新建(&N)\tCtrl+N", true},
        {0, "", false},
        {32772, "打开泽维文档(*.ptn,*.pds,*.pdf)\tCtrl+O", true},
        {32774, "打开DXF格式文档(*.dxf)\tCtrl+D", true},
        {32776, "打开AAMA格式文档(*.dxf,*.rul,*.aam)\tCtrl+A", true},
        {32783, "打开一个格伯(GGT)款式\tCtrl+G", true},
        {32785, "打开力克IBA纸样文件(*.IBA)\tCtrl+I", true},
        {0, "", false},
        {32771, "保存为泽维文档(*.ptn)\tCtrl+S", false},
        {32773, "保存为DXF文档(*.dxf)\tCtrl+F", false},
        {32775, "保存为AAMA文档(*.dxf,*.rul)\tCtrl+E", false},
        {0, "", false},
        {57616, "最近文件", false},
        {0, "", false},
        {57665, "退出(&X)", true}}},
      {"查看(&V)",
       {{59392, "工具栏(&T)", true},
        {59393, "状态栏(&S)", true},
        {0, "", false},
        {32780, "全屏显示(&A)", false},
        {32782, "移去一个衣片(&R)", false},
        {0, "", false},
        {32786, "默认字体(&F)", true}}},
      {"帮助(&H)", {{57664, "关于 ZV-KOV(&A)...", true}}},
  };

  CMainFrame& frame = Frame();
  frame.UpdateCommandUI();
  const QList<QAction*> popups = frame.menuBar()->actions();
  ASSERT_EQ(popups.size(), static_cast<int>(expected.size()));
  for (size_t p = 0; p < expected.size(); ++p) {
    SCOPED_TRACE(expected[p].title);
    EXPECT_EQ(popups[p]->text(), QString::fromUtf8(expected[p].title));
    QMenu* menu = popups[p]->menu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), static_cast<int>(expected[p].items.size()));
    for (int i = 0; i < items.size(); ++i) {
      const Item& want = expected[p].items[static_cast<size_t>(i)];
      SCOPED_TRACE(want.text);
      if (want.id == 0) {
        EXPECT_TRUE(items[i]->isSeparator());
        continue;
      }
      EXPECT_FALSE(items[i]->isSeparator());
      EXPECT_EQ(items[i]->data().toInt(), want.id);
      EXPECT_EQ(items[i]->text(), QString::fromUtf8(want.text));
      EXPECT_EQ(items[i]->isEnabled(), want.enabled);
    }
  }
}

TEST_F(MainFrameTest, SaveCommandsNeedAPieceAndShowAllAndRemoveNeedAPlacedOne) {
  CMainFrame& frame = Frame();
  HandlerLog log;
  frame.SetFileCommands(log.Handlers());
  const int saves[] = {ID_FILE_SAVE_PTN, ID_FILE_SAVE_DXF, ID_FILE_SAVE_AAMA};
  const int opens[] = {ID_FILE_OPEN_PTN, ID_FILE_OPEN_DXF, ID_FILE_OPEN_AAMA, ID_FILE_OPEN_GGT, ID_FILE_OPEN_IBA};
  const int placed[] = {ID_VIEW_FULL_SCREEN, ID_VIEW_REMOVE_PIECE};

  frame.UpdateCommandUI();
  for (int id : opens) EXPECT_TRUE(frame.CommandAction(id)->isEnabled()) << id;
  for (int id : saves) EXPECT_FALSE(frame.CommandAction(id)->isEnabled()) << id;
  for (int id : placed) EXPECT_FALSE(frame.CommandAction(id)->isEnabled()) << id;
  // A disabled command does not run, whatever reaches it.
  EXPECT_FALSE(frame.RunCommand(ID_FILE_SAVE_PTN));
  EXPECT_TRUE(log.calls.empty());

  AddSizes(1);
  AddRectPiece("P", 0, 0, 4000, 8000);
  frame.UpdateCommandUI();
  for (int id : saves) EXPECT_TRUE(frame.CommandAction(id)->isEnabled()) << id;
  for (int id : placed) EXPECT_FALSE(frame.CommandAction(id)->isEnabled()) << id;

  CPatternListBox* list = frame.GetListBox();
  list->SetCurSel(0);
  list->OnSelchange();
  for (int id : placed) EXPECT_TRUE(frame.CommandAction(id)->isEnabled()) << id;

  frame.RunCommand(ID_VIEW_REMOVE_PIECE);
  EXPECT_EQ(g_Style.WorkPieceCount, 0);
  for (int id : placed) EXPECT_FALSE(frame.CommandAction(id)->isEnabled()) << id;
}

TEST_F(MainFrameTest, EachCommandShowsItsPromptAndTooltip) {
  struct Tip {
    int id;
    const char* prompt;
    const char* tooltip;
  };
  const Tip kTips[] = {
      {32771, "保存为泽维文档(*.ptn)", "保存为泽维文档"},
      {32772, "打开一个泽维格式文档(*.ptn,*.pdf,*.pds,*.ggs)", "打开泽维文档"},
      {32773, "保存为DXF格式文档(*.dxf)", "保存为DXF格式文档"},
      {32774, "打开一个DXF格式文档(*.dxf)", "打开DXF格式文档"},
      {32775, "保存为AAMA格式文档(*.dxf,*.rul)", "保存为AAMA格式文档(*.dxf,*.rul)"},
      {32776, "打开一个AAMA格式文档(*.dxf,*.rul,*.aam)", "打开AAMA格式文档(*.dxf,*.rul)"},
      {32778, "新建空白文档", "新建空白文档"},
      {32780, "全屏显示", "全屏显示"},
      {32782, "从工作区移去一个衣片", "移去一个衣片"},
      {32783, "打开一个格伯(GGT)款式", "打开格伯(GGT)款式"},
      {32785, "打开一个或多个力克(Lectra)纸样文件(*.IBA)", "打开力克IBA文件"},
      {32786, "选择一个默认字体", "默认字体"},
  };
  CMainFrame& frame = Frame();
  for (const Tip& tip : kTips) {
    SCOPED_TRACE(tip.id);
    QAction* action = frame.CommandAction(tip.id);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->statusTip(), QString::fromUtf8(tip.prompt));
    EXPECT_EQ(action->toolTip(), QString::fromUtf8(tip.tooltip));
  }
}

TEST_F(MainFrameTest, ToolbarAndStatusBarAreLaidOutAsTheProgramHasThem) {
  CMainFrame& frame = Frame();
  std::vector<int> buttons;
  for (QAction* action : frame.GetToolBar()->actions()) {
    buttons.push_back(action->isSeparator() ? 0 : action->data().toInt());
    if (action->isSeparator()) continue;
    EXPECT_FALSE(action->icon().isNull()) << action->data().toInt();
    QWidget* button = frame.GetToolBar()->widgetForAction(action);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->size(), QSize(25, 20));
  }
  const std::vector<int> expected = {32778, 0, 32772, 32776, 32783, 32785, 0, 32771, 32775, 0,
                                     32780, 32782, 32786, 57664};
  EXPECT_EQ(buttons, expected);

  // The message pane with the idle text, then the three key-lock panes.
  const QList<QLabel*> panes = frame.GetStatusBarWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_EQ(panes.size(), 4);
  EXPECT_EQ(panes[0]->text(), QString::fromUtf8(kAppTitle));

  // The toolbar and status bar commands hide and show them.
  frame.RunCommand(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(frame.GetToolBar()->isHidden());
  EXPECT_FALSE(frame.CommandAction(ID_VIEW_TOOLBAR)->isChecked());
  frame.RunCommand(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(frame.GetToolBar()->isHidden());
  frame.RunCommand(ID_VIEW_STATUS_BAR);
  EXPECT_TRUE(frame.GetStatusBarWidget()->isHidden());
}

// --- keys ----------------------------------------------------------------------

TEST_F(MainFrameTest, AcceleratorsReachTheirCommands) {
  CMainFrame& frame = ActiveFrame();
  ASSERT_EQ(QApplication::activeWindow(), &frame);
  HandlerLog log;
  log.result = 0;  // readers "fail": nothing after them changes the style
  frame.SetFileCommands(log.Handlers());
  AddSizes(1);
  AddRectPiece("P", 0, 0, 4000, 8000);
  frame.UpdateCommandUI();

  struct Key {
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* call;
    bool asksForFile;
  };
  const Key kKeys[] = {
      {Qt::Key_O, Qt::ControlModifier, "openPtn /f/a.ptn", true},
      {Qt::Key_D, Qt::ControlModifier, "openDxf /f/a.ptn", true},
      {Qt::Key_A, Qt::ControlModifier, "openAama /f/a.ptn", true},
      {Qt::Key_G, Qt::ControlModifier, "openGgt", false},
      {Qt::Key_I, Qt::ControlModifier, "openIba", false},
      {Qt::Key_S, Qt::ControlModifier, "savePtn /f/a.ptn", true},
      {Qt::Key_F, Qt::ControlModifier, "saveDxf /f/a.ptn", true},
      {Qt::Key_E, Qt::ControlModifier, "saveAama /f/a.ptn", true},
  };
  for (const Key& k : kKeys) {
    SCOPED_TRACE(k.call);
    log.calls.clear();
    if (k.asksForFile) prompts_.ChooseFile("/f/a.ptn");
    PressKey(frame.focusWidget() ? frame.focusWidget() : &frame, k.key, k.modifiers);
    EXPECT_EQ(log.calls, std::vector<std::string>{k.call});
    EXPECT_EQ(prompts_.pending(), 0u);
  }

  // Ctrl+N is New: the style is emptied.
  PressKey(&frame, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(g_Style.PieceCount, 0);
  EXPECT_EQ(frame.windowTitle(), QString::fromUtf8(kAppTitle) + " - []");
}

TEST_F(MainFrameTest, KeypadPlusAndMinusZoomTheWorkWindowOnce) {
  CMainFrame& frame = ActiveFrame();
  PlaceOnePiece();
  CWorkWindow* view = frame.GetWorkWindow();
  view->setFocus();
  QApplication::processEvents();
  const double fitted = view->GetScale();
  ASSERT_GT(fitted, 0.0);

  PressKey(view, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_DOUBLE_EQ(view->GetScale(), fitted * 7.0 / 8.0);  // one step, not two
  PressKey(view, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_GT(view->GetScale(), fitted * 7.0 / 8.0);
  // The plain keys are no zoom keys.
  const double before = view->GetScale();
  PressKey(view, Qt::Key_Plus, Qt::NoModifier);
  EXPECT_DOUBLE_EQ(view->GetScale(), before);
}

TEST_F(MainFrameTest, F6MovesTheFocusToTheOtherPane) {
  CMainFrame& frame = ActiveFrame();
  frame.GetListBox()->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(frame.GetListBox()->hasFocus());
  PressKey(frame.GetListBox(), Qt::Key_F6, Qt::NoModifier);
  EXPECT_TRUE(frame.GetWorkWindow()->hasFocus());
  PressKey(frame.GetWorkWindow(), Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_TRUE(frame.GetListBox()->hasFocus());
}

// --- New, open, save -------------------------------------------------------------

TEST_F(MainFrameTest, NewEmptiesTheStyleAndTheTitleButKeepsTheCurrentPath) {
  CMainFrame& frame = Frame();
  PlaceOnePiece();
  g_CurrentPath = "/patterns/coat";
  ASSERT_EQ(g_Style.WorkPieceCount, 1);

  ASSERT_TRUE(frame.RunCommand(ID_FILE_NEW_STYLE));
  EXPECT_EQ(frame.windowTitle(), QString::fromUtf8(kAppTitle) + " - []");
  EXPECT_EQ(g_Style.PieceCount, 0);
  EXPECT_EQ(g_Style.WorkPieceCount, 0);
  EXPECT_EQ(g_Style.SizeCount, 0);
  EXPECT_EQ(frame.GetListBox()->GetCount(), 0);
  EXPECT_EQ(g_Selection.GetCurrentPiece(), nullptr);
  EXPECT_TRUE(frame.GetStyleFile().IsEmpty());
  EXPECT_EQ(g_CurrentPath, "/patterns/coat");
  EXPECT_FALSE(frame.CommandAction(ID_VIEW_FULL_SCREEN)->isEnabled());
}

TEST_F(MainFrameTest, OpenKeepsThePathWithoutItsExtensionAndShowsItInTheTitle) {
  struct Case {
    const char* chosen;
    const char* kept;
  };
  const Case kCases[] = {
      {"/d/a.dxf", "/d/a"},
      {"/d/a.json", "/d/a"},   // a longer extension goes whole
      {"/d/a.b.aam", "/d/a.b"},
      {"/d/a", "/d/a"},        // no extension: nothing is cut
      {"/d.x/a", "/d.x/a"},    // a dot in a folder name is no extension
  };
  CMainFrame& frame = Frame();
  HandlerLog log;
  frame.SetFileCommands(log.Handlers());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.chosen);
    log.calls.clear();
    prompts_.ChooseFile(c.chosen);
    ASSERT_TRUE(frame.RunCommand(ID_FILE_OPEN_DXF));
    ASSERT_EQ(log.calls.size(), 1u);
    EXPECT_EQ(log.calls[0], std::string("openDxf ") + c.chosen);
    EXPECT_EQ(frame.windowTitle(), QString::fromUtf8(kAppTitle) + " - [" + c.chosen + "]");
    EXPECT_EQ(g_CurrentPath, c.kept);
    EXPECT_EQ(frame.GetStyleFile(), c.kept);
  }
}

TEST_F(MainFrameTest, OpenCommandsAskWithTheirFiltersAndTheCurrentPath) {
  struct Case {
    int id;
    const char* extension;
    const char* filter;
  };
  const Case kCases[] = {
      {ID_FILE_OPEN_PTN, "ptn",
       "Ptn Files (*.ptn)|*.ptn|Pdf Files (*.pdf)|*.pdf|Pds Files (*.pds)|*.pds|Ggs Files (*.ggs)|*.ggs|All Files "
       "(*.*)|*.*|"},
      {ID_FILE_OPEN_DXF, "dxf", "DXF Files (*.dxf,*.aam)|*.dxf;*.aam|All Files (*.*)|*.*|"},
      {ID_FILE_OPEN_AAMA, "dxf", "AAMA Files (*.dxf,*.aam,*.rul)|*.dxf;*.aam;*.rul|All Files (*.*)|*.*|"},
  };
  CMainFrame& frame = Frame();
  HandlerLog log;
  frame.SetFileCommands(log.Handlers());
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    g_CurrentPath = "/d/last";
    prompts_.CancelFileDialog();
    const size_t asked = prompts_.records().size();
    ASSERT_TRUE(frame.RunCommand(c.id));
    ASSERT_EQ(prompts_.records().size(), asked + 1);
    const FileDialogRequest& request = prompts_.records().back().file_request;
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.default_extension, c.extension);
    EXPECT_EQ(request.filter, c.filter);
    EXPECT_EQ(request.initial_name, "/d/last");
    // Only the native open shows the header preview beside the file list.
    EXPECT_EQ(prompts_.records().back().template_id, c.id == ID_FILE_OPEN_PTN ? IDD_PREVIEW_OPEN : 0);
    // Cancel: no reader runs and nothing changes.
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(g_CurrentPath, "/d/last");
    EXPECT_EQ(frame.windowTitle(), QString::fromUtf8(kAppTitle));
  }
}

TEST_F(MainFrameTest, AFailedOpenKeepsTheFullPathAndChangesNothingElse) {
  CMainFrame& frame = Frame();
  HandlerLog log;
  frame.SetFileCommands(log.Handlers());
  prompts_.ChooseFile("/d/good.dxf");
  frame.RunCommand(ID_FILE_OPEN_AAMA);
  log.result = 0;
  prompts_.ChooseFile("/d/bad.dxf");
  frame.RunCommand(ID_FILE_OPEN_AAMA);
  EXPECT_EQ(log.calls.back(), "openAama /d/bad.dxf");
  EXPECT_EQ(g_CurrentPath, "/d/bad.dxf");
  EXPECT_EQ(frame.GetStyleFile(), "/d/good");
  EXPECT_EQ(frame.windowTitle(), QString::fromUtf8(kAppTitle) + " - [/d/good.dxf]");
}

TEST_F(MainFrameTest, SaveCommandsAskWithTheirFiltersAndLeaveTheTitleAndPath) {
  struct Case {
    int id;
    const char* extension;
    const char* filter;
    const char* call;
  };
  const Case kCases[] = {
      {ID_FILE_SAVE_PTN, "ptn", "Ptn Files (*.ptn)|*.ptn|All Files (*.*)|*.*|", "savePtn /out/x.y"},
      {ID_FILE_SAVE_DXF, "dxf", "DXF Files (*.dxf)|*.dxf|All Files (*.*)|*.*|", "saveDxf /out/x.y"},
      {ID_FILE_SAVE_AAMA, "dxf", "AAMA Files (*.dxf,*.aam,*.rul)|*.dxf;*.aam;*.rul|All Files (*.*)|*.*|",
       "saveAama /out/x.y"},
  };
  CMainFrame& frame = Frame();
  HandlerLog log;
  frame.SetFileCommands(log.Handlers());
  AddSizes(1);
  AddRectPiece("P", 0, 0, 100, 100);
  g_CurrentPath = "/d/style";
  const QString title = frame.windowTitle();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.call);
    log.calls.clear();
    prompts_.ChooseFile("/out/x.y");
    ASSERT_TRUE(frame.RunCommand(c.id));
    const FileDialogRequest& request = prompts_.records().back().file_request;
    EXPECT_FALSE(request.open);
    EXPECT_EQ(request.default_extension, c.extension);
    EXPECT_EQ(request.filter, c.filter);
    EXPECT_EQ(request.initial_name, "/d/style");
    EXPECT_EQ(log.calls, std::vector<std::string>{c.call});
    EXPECT_EQ(g_CurrentPath, "/d/style");
    EXPECT_EQ(frame.windowTitle(), title);
  }
}

// --- default font, About ------------------------------------------------------

TEST_F(MainFrameTest, DefaultFontGoesToTheDialogInPixelsAndComesBackInModelUnits) {
  CMainFrame& frame = Frame();
  LOGFONT chosen = g_DefaultFont;
  chosen.lfHeight = -16;  // pixels at 96 per inch
  chosen.lfWeight = 400;
  std::snprintf(chosen.lfFaceName, sizeof chosen.lfFaceName, "%s", "Serif");
  prompts_.ChooseFont(chosen);
  ASSERT_TRUE(frame.RunCommand(ID_VIEW_DEFAULT_FONT));

  // -40 model units at 40 per millimetre is 1 mm: 3.78 pixels at 96 per inch.
  ASSERT_EQ(prompts_.records().size(), 1u);
  EXPECT_EQ(prompts_.records()[0].font.lfHeight, -4);
  // 16 pixels are 4.233 mm: 169.33 model units.
  EXPECT_EQ(g_DefaultFont.lfHeight, -169);
  EXPECT_EQ(g_DefaultFont.lfWeight, 400);
  EXPECT_STREQ(g_DefaultFont.lfFaceName, "Serif");
  EXPECT_EQ(g_DefaultFontInitial.ToBytes(), g_DefaultFont.ToBytes());
}

TEST_F(MainFrameTest, CancellingTheDefaultFontChangesNothing) {
  CMainFrame& frame = Frame();
  // A height that would not survive the trip through pixels.
  g_DefaultFont.lfHeight = -41;
  const auto font = g_DefaultFont.ToBytes();
  const auto label = g_DefaultFontInitial.ToBytes();
  prompts_.CancelFontDialog();
  frame.RunCommand(ID_VIEW_DEFAULT_FONT);
  EXPECT_EQ(prompts_.records().size(), 1u);
  EXPECT_EQ(g_DefaultFont.ToBytes(), font);
  EXPECT_EQ(g_DefaultFontInitial.ToBytes(), label);
}

TEST_F(MainFrameTest, AboutShowsTheAboutBox) {
  CMainFrame& frame = Frame();
  prompts_.RunOptionsDialog(DialogScript(100));
  ASSERT_TRUE(frame.RunCommand(ID_APP_ABOUT));
  ASSERT_EQ(prompts_.records().size(), 1u);
  EXPECT_EQ(prompts_.records()[0].kind, PromptKind::kOptionsDialog);
  EXPECT_EQ(prompts_.records()[0].template_id, 100);
  EXPECT_EQ(prompts_.unscripted_count(), 0);
}

}  // namespace
