// The main window's menu, accelerator table and toolbar.

#include <utility>
#include <vector>

#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

MenuItem Command(int id, const char* text) { return MenuItem{id, text, {}}; }
MenuItem Separator() { return MenuItem{}; }
MenuItem Popup(const char* text, std::vector<MenuItem> children) { return MenuItem{0, text, std::move(children)}; }

const std::vector<MenuItem>& MainMenu() {
  static const std::vector<MenuItem> menu = {
      Popup("文件(&F)",
            {
                Command(ID_FILE_NEW_STYLE, "新建(&N)\tCtrl+N"),
                Separator(),
                Command(ID_FILE_OPEN_PTN, "打开泽维文档(*.ptn,*.pds,*.pdf)\tCtrl+O"),
                Command(ID_FILE_OPEN_DXF, "打开DXF格式文档(*.dxf)\tCtrl+D"),
                Command(ID_FILE_OPEN_AAMA, "打开AAMA格式文档(*.dxf,*.rul,*.aam)\tCtrl+A"),
                Command(ID_FILE_OPEN_GGT, "打开一个格伯(GGT)款式\tCtrl+G"),
                Command(ID_FILE_OPEN_IBA, "打开力克IBA纸样文件(*.IBA)\tCtrl+I"),
                Separator(),
                Command(ID_FILE_SAVE_PTN, "保存为泽维文档(*.ptn)\tCtrl+S"),
                Command(ID_FILE_SAVE_DXF, "保存为DXF文档(*.dxf)\tCtrl+F"),
                Command(ID_FILE_SAVE_AAMA, "保存为AAMA文档(*.dxf,*.rul)\tCtrl+E"),
                Separator(),
                Command(ID_FILE_MRU_FILE1, "最近文件"),
                Separator(),
                Command(ID_APP_EXIT, "退出(&X)"),
            }),
      Popup("查看(&V)",
            {
                Command(ID_VIEW_TOOLBAR, "工具栏(&T)"),
                Command(ID_VIEW_STATUS_BAR, "状态栏(&S)"),
                Separator(),
                Command(ID_VIEW_FULL_SCREEN, "全屏显示(&A)"),
                Command(ID_VIEW_REMOVE_PIECE, "移去一个衣片(&R)"),
                Separator(),
                Command(ID_VIEW_DEFAULT_FONT, "默认字体(&F)"),
            }),
      Popup("帮助(&H)",
            {
                Command(ID_APP_ABOUT, "关于 ZV-KOV(&A)..."),
            }),
  };
  return menu;
}

Accelerator Ctrl(int key, int command) { return Accelerator{key, true, false, false, command}; }
Accelerator Shift(int key, int command) { return Accelerator{key, false, true, false, command}; }
Accelerator Alt(int key, int command) { return Accelerator{key, false, false, true, command}; }
Accelerator Plain(int key, int command) { return Accelerator{key, false, false, false, command}; }

// Ctrl+N, Ctrl+O and Ctrl+S run the commands whose menu entries show those
// keys. (Bound to the framework's document commands instead, they would
// leave the style alone while the user believes it cleared, loaded or saved.)
const std::vector<Accelerator>& MainAccelerators() {
  static const std::vector<Accelerator> table = {
      Ctrl('N', ID_FILE_NEW_STYLE),
      Ctrl('O', ID_FILE_OPEN_PTN),
      Ctrl('S', ID_FILE_SAVE_PTN),
      Ctrl('D', ID_FILE_OPEN_DXF),
      Ctrl('A', ID_FILE_OPEN_AAMA),
      Ctrl('G', ID_FILE_OPEN_GGT),
      Ctrl('I', ID_FILE_OPEN_IBA),
      Ctrl('F', ID_FILE_SAVE_DXF),
      Ctrl('E', ID_FILE_SAVE_AAMA),
      Plain(vk::kAdd, ID_VIEW_ZOOM_IN),
      Plain(vk::kSubtract, ID_VIEW_ZOOM_OUT),
      Ctrl('P', ID_FILE_PRINT),
      Ctrl('C', ID_EDIT_COPY),
      Ctrl(vk::kInsert, ID_EDIT_COPY),
      Ctrl('V', ID_EDIT_PASTE),
      Shift(vk::kInsert, ID_EDIT_PASTE),
      Ctrl('X', ID_EDIT_CUT),
      Shift(vk::kDelete, ID_EDIT_CUT),
      Ctrl('Z', ID_EDIT_UNDO),
      Alt(vk::kBack, ID_EDIT_UNDO),
      Plain(vk::kF1, ID_HELP),
      Shift(vk::kF1, ID_CONTEXT_HELP),
      Plain(vk::kF1 + 5, ID_NEXT_PANE),   // F6
      Shift(vk::kF1 + 5, ID_PREV_PANE),   // Shift+F6
  };
  return table;
}

// Buttons in order; 0 leaves a gap between groups.
const std::vector<int>& MainToolbar() {
  static const std::vector<int> buttons = {
      ID_FILE_NEW_STYLE, 0,
      ID_FILE_OPEN_PTN, ID_FILE_OPEN_AAMA, ID_FILE_OPEN_GGT, ID_FILE_OPEN_IBA, 0,
      ID_FILE_SAVE_PTN, ID_FILE_SAVE_AAMA, 0,
      ID_VIEW_FULL_SCREEN, ID_VIEW_REMOVE_PIECE, ID_VIEW_DEFAULT_FONT, ID_APP_ABOUT,
  };
  return buttons;
}

}  // namespace

const std::vector<MenuItem>* FindMenu(int id) { return id == IDR_MAINFRAME ? &MainMenu() : nullptr; }

const std::vector<Accelerator>* FindAccelerators(int id) {
  return id == IDR_MAINFRAME ? &MainAccelerators() : nullptr;
}

const std::vector<int>* FindToolbar(int id) { return id == IDR_MAINFRAME ? &MainToolbar() : nullptr; }
