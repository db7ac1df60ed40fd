#include "app/main_frame.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QStatusBar>
#include <QToolBar>

#include "app/app.h"
#include "app/child_frame.h"
#include "app/status_progress.h"
#include "app/pattern_list.h"
#include "app/piece_drawing.h"
#include "app/settings_file.h"
#include "app/splitter.h"
#include "app/toolbar_icons.h"
#include "app/work_window.h"
#include "formats/aama_reader.h"
#include "formats/aama_writer.h"
#include "formats/dxf_reader.h"
#include "formats/dxf_writer.h"
#include "formats/ptn_preview_dlg.h"
#include "formats/ptn_reader.h"
#include "formats/ptn_writer.h"
#include "imports/gerber_import.h"
#include "imports/iba_import.h"
#include "model/geometry.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "platform/dc.h"
#include "platform/file_system.h"
#include "platform/gbk.h"
#include "platform/prompts.h"
#include "res/command_ids.h"
#include "res/resource_ids.h"
#include "res/resources.h"

namespace {

QString FromUtf8(const char* text) { return QString::fromUtf8(text); }
QString FromGbk(const CString& text) { return QString::fromStdString(GbkToUtf8(text.view())); }

// The prompt (before "\n") and the tooltip (after it) of a command's string.
QString PromptPart(const CString& text, bool tooltip) {
  const int split = text.Find('\n');
  if (split < 0) return tooltip ? QString() : FromGbk(text);
  return FromGbk(tooltip ? text.Mid(split + 1) : text.Left(split));
}

// A key of an accelerator table as Qt names it; an empty sequence for a key
// that has no counterpart.
QKeySequence KeyFor(const Accelerator& a) {
  Qt::KeyboardModifiers modifiers;
  if (a.ctrl) modifiers |= Qt::ControlModifier;
  if (a.shift) modifiers |= Qt::ShiftModifier;
  if (a.alt) modifiers |= Qt::AltModifier;
  int key = 0;
  if (a.key >= 'A' && a.key <= 'Z') {
    key = Qt::Key_A + (a.key - 'A');
  } else if (a.key >= '0' && a.key <= '9') {
    key = Qt::Key_0 + (a.key - '0');
  } else if (a.key >= vk::kF1 && a.key < vk::kF1 + 24) {
    key = Qt::Key_F1 + (a.key - vk::kF1);
  } else {
    switch (a.key) {
      case vk::kAdd: key = Qt::Key_Plus; modifiers |= Qt::KeypadModifier; break;
      case vk::kSubtract: key = Qt::Key_Minus; modifiers |= Qt::KeypadModifier; break;
      case vk::kInsert: key = Qt::Key_Insert; break;
      case vk::kDelete: key = Qt::Key_Delete; break;
      case vk::kBack: key = Qt::Key_Backspace; break;
      case vk::kTab: key = Qt::Key_Tab; break;
      case vk::kReturn: key = Qt::Key_Return; break;
      case vk::kEscape: key = Qt::Key_Escape; break;
      case vk::kSpace: key = Qt::Key_Space; break;
      default: return QKeySequence();
    }
  }
  return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
}

// The commands of the program's own and of the window that something here
// carries out. Accelerators for anything else (print, the clipboard, undo,
// help) have nothing to reach and are left unbound.
bool HasHandler(int id) {
  switch (id) {
    case ID_FILE_NEW_STYLE:
    case ID_FILE_OPEN_PTN:
    case ID_FILE_OPEN_DXF:
    case ID_FILE_OPEN_AAMA:
    case ID_FILE_OPEN_GGT:
    case ID_FILE_OPEN_IBA:
    case ID_FILE_SAVE_PTN:
    case ID_FILE_SAVE_DXF:
    case ID_FILE_SAVE_AAMA:
    case ID_APP_EXIT:
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
    case ID_VIEW_FULL_SCREEN:
    case ID_VIEW_REMOVE_PIECE:
    case ID_VIEW_DEFAULT_FONT:
    case ID_VIEW_ZOOM_IN:
    case ID_VIEW_ZOOM_OUT:
    case ID_APP_ABOUT:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
      return true;
    default:
      return false;
  }
}

}  // namespace

FileCommandHandlers InstalledFileCommands() {
  FileCommandHandlers handlers;
  // A cancelled options dialog counts as nothing opened: title and path stay.
  handlers.openPtn = [](const CString& path) { return OpenPtnFile(path); };
  handlers.openDxf = [](const CString& path) { return ReadDxfFile(path) == DxfReadResult::kSuccess ? 1 : 0; };
  handlers.openAama = [](const CString& path) {
    return ReadAamaFile(path.c_str(), FALSE, FALSE) == AamaReadResult::kSuccess ? 1 : 0;
  };
  handlers.openGgt = [] { GgtImportCommand(); };
  handlers.openIba = [] { IbaImportCommand(); };
  // The writers show their own failure message.
  handlers.savePtn = [](const CString& path) { return SavePtnFile(path); };
  handlers.saveDxf = [](const CString& path) { return SaveDxfFile(path); };
  handlers.saveAama = [](const CString& path) { return SaveAamaFile(path.c_str()); };
  return handlers;
}

// ---------------------------------------------------------------------------
// Building the window

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  RestoreDefaultSettings();
  g_DefaultFontInitial = g_DefaultFont;
  ReadSettingsFile(SettingsFilePath());
  g_Selection.Reset();

  CreateCommands();
  CreateMenus();
  CreateAccelerators();
  CreateToolBar();
  CreateStatusBar();
  progress_host_ = std::make_unique<CStatusProgressHost>(m_wndStatusBar);
  CreateClient();
  file_commands_ = InstalledFileCommands();

  setWindowTitle(FromGbk(LoadString(IDS_APP_TITLE)));
  resize(1000, 700);

  // Enable states follow the style whenever the program waits for the user.
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { UpdateCommandUI(); });
  }
  UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
  // The pieces and sizes go while the panes that show them still exist.
  ClearStyle();
  progress_host_.reset();
}

QAction* CMainFrame::MakeAction(int id, const QString& text) {
  auto* action = new QAction(text, this);
  action->setData(id);
  action->setIconVisibleInMenu(false);
  const CString prompt = LoadString(static_cast<UINT>(id));
  if (!prompt.IsEmpty()) {
    action->setStatusTip(PromptPart(prompt, false));
    const QString tip = PromptPart(prompt, true);
    if (!tip.isEmpty()) action->setToolTip(tip);
  }
  QObject::connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
  actions_[id] = action;
  return action;
}

void CMainFrame::CreateCommands() {
  // The menu's commands come with their texts; commands without a menu item
  // (keypad zoom, pane switching) are actions of the window alone.
  std::vector<const MenuItem*> pending;
  if (const std::vector<MenuItem>* menu = FindMenu(IDR_MAINFRAME)) {
    for (const MenuItem& popup : *menu) pending.push_back(&popup);
  }
  while (!pending.empty()) {
    const MenuItem* item = pending.back();
    pending.pop_back();
    for (const MenuItem& child : item->children) pending.push_back(&child);
    if (item->id > 0 && !actions_.count(item->id)) MakeAction(item->id, FromUtf8(item->text));
  }
  for (const int id : {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_NEXT_PANE, ID_PREV_PANE}) {
    if (!actions_.count(id)) addAction(MakeAction(id, QString()));
  }
  actions_[ID_VIEW_TOOLBAR]->setCheckable(true);
  actions_[ID_VIEW_STATUS_BAR]->setCheckable(true);
}

void CMainFrame::CreateMenus() {
  const std::vector<MenuItem>* menu = FindMenu(IDR_MAINFRAME);
  if (!menu) return;
  for (const MenuItem& popup : *menu) {
    QMenu* qmenu = menuBar()->addMenu(FromUtf8(popup.text));
    QObject::connect(qmenu, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });
    for (const MenuItem& item : popup.children) {
      if (item.id == 0) {
        qmenu->addSeparator();
      } else {
        qmenu->addAction(actions_.at(item.id));
      }
    }
  }
}

void CMainFrame::CreateAccelerators() {
  const std::vector<Accelerator>* table = FindAccelerators(IDR_MAINFRAME);
  if (!table) return;
  std::map<int, QList<QKeySequence>> keys;
  for (const Accelerator& a : *table) {
    if (!HasHandler(a.command) || !actions_.count(a.command)) continue;
    const QKeySequence key = KeyFor(a);
    if (!key.isEmpty()) keys[a.command].append(key);
  }
  for (const auto& [id, sequences] : keys) {
    QAction* action = actions_.at(id);
    action->setShortcuts(sequences);
    action->setShortcutContext(Qt::WindowShortcut);
    // The menu shows the key hint of its text, not Qt's own rendering of it.
    action->setShortcutVisibleInContextMenu(false);
  }
}

void CMainFrame::CreateToolBar() {
  m_wndToolBar = new QToolBar(this);
  m_wndToolBar->setObjectName("toolbar");
  m_wndToolBar->setIconSize(QSize(kToolbarImageWidth, kToolbarImageHeight));
  addToolBar(Qt::TopToolBarArea, m_wndToolBar);
  const std::vector<int>* buttons = FindToolbar(IDR_MAINFRAME);
  if (!buttons) return;
  for (const int id : *buttons) {
    if (id == 0) {
      m_wndToolBar->addSeparator();
      continue;
    }
    auto it = actions_.find(id);
    QAction* action = it != actions_.end() ? it->second : MakeAction(id, QString());
    action->setIcon(QIcon(QPixmap::fromImage(ToolbarImage(id))));
    m_wndToolBar->addAction(action);
    if (QWidget* button = m_wndToolBar->widgetForAction(action)) {
      button->setFixedSize(kToolbarButtonCx, kToolbarButtonCy);
    }
  }
}

void CMainFrame::CreateStatusBar() {
  m_wndStatusBar = new QStatusBar(this);
  setStatusBar(m_wndStatusBar);
  // The message pane: the idle text while no command's prompt is shown.
  auto* message = new QLabel(FromGbk(LoadString(AFX_IDS_IDLEMESSAGE)), m_wndStatusBar);
  m_wndStatusBar->addWidget(message, 1);
  // The key-lock panes. Qt cannot tell the state of the lock keys, so they
  // stay blank, sized for their texts.
  for (const char* text : {"CAP", "NUM", "SCRL"}) {
    auto* pane = new QLabel(m_wndStatusBar);
    pane->setObjectName(text);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(text) + 8);
    m_wndStatusBar->addPermanentWidget(pane);
  }
}

void CMainFrame::CreateClient() {
  m_wndSplitter = new CmySplitter(this);
  list_pane_ = new CPatternListFormView(m_wndSplitter);
  list_pane_->setMinimumHeight(0);
  child_frame_ = new CChildFrame(m_wndSplitter);
  m_wndSplitter->addWidget(list_pane_);
  m_wndSplitter->addWidget(child_frame_);
  m_wndSplitter->setStretchFactor(0, 0);
  m_wndSplitter->setStretchFactor(1, 1);
  m_wndSplitter->SetMaxBarPos(kListPaneInitialHeight);
  m_wndSplitter->SetRowInfo(0, kListPaneInitialHeight, 0);
  m_wndSplitter->setSizes({kListPaneInitialHeight, 600});
  setCentralWidget(m_wndSplitter);

  CPatternListBox* list = list_pane_->GetListBox();
  list->SetSplitter(m_wndSplitter);
  list->SetChangeHandler([this] { UpdateCommandUI(); });
}

CPatternListBox* CMainFrame::GetListBox() const { return list_pane_ ? list_pane_->GetListBox() : nullptr; }

CWorkWindow* CMainFrame::GetWorkWindow() const { return child_frame_ ? child_frame_->GetWorkWindow() : nullptr; }

// ---------------------------------------------------------------------------
// Commands

void CMainFrame::SetFileCommands(const FileCommandHandlers& handlers) {
  file_commands_ = handlers;
  UpdateCommandUI();
}

QAction* CMainFrame::CommandAction(int id) const {
  const auto it = actions_.find(id);
  return it != actions_.end() ? it->second : nullptr;
}

bool CMainFrame::IsCommandEnabled(int id) const {
  const bool hasPieces = g_Style.PieceCount >= 1;
  switch (id) {
    case ID_FILE_OPEN_PTN: return static_cast<bool>(file_commands_.openPtn);
    case ID_FILE_OPEN_DXF: return static_cast<bool>(file_commands_.openDxf);
    case ID_FILE_OPEN_AAMA: return static_cast<bool>(file_commands_.openAama);
    case ID_FILE_OPEN_GGT: return static_cast<bool>(file_commands_.openGgt);
    case ID_FILE_OPEN_IBA: return static_cast<bool>(file_commands_.openIba);
    case ID_FILE_SAVE_PTN: return hasPieces && file_commands_.savePtn;
    case ID_FILE_SAVE_DXF: return hasPieces && file_commands_.saveDxf;
    case ID_FILE_SAVE_AAMA: return hasPieces && file_commands_.saveAama;
    case ID_VIEW_FULL_SCREEN: return CWorkWindow::CanShowAll();
    case ID_VIEW_REMOVE_PIECE: return CWorkWindow::CanRemovePiece();
    default: return HasHandler(id);
  }
}

void CMainFrame::UpdateCommandUI() {
  for (const auto& [id, action] : actions_) action->setEnabled(IsCommandEnabled(id));
  if (m_wndToolBar) actions_.at(ID_VIEW_TOOLBAR)->setChecked(!m_wndToolBar->isHidden());
  if (m_wndStatusBar) actions_.at(ID_VIEW_STATUS_BAR)->setChecked(!m_wndStatusBar->isHidden());
}

bool CMainFrame::RunCommand(int id) {
  if (!actions_.count(id) || !IsCommandEnabled(id)) return false;
  Dispatch(id);
  return true;
}

void CMainFrame::Dispatch(int id) {
  if (!IsCommandEnabled(id)) return;
  switch (id) {
    case ID_FILE_NEW_STYLE: OnFileNew(); break;
    case ID_FILE_OPEN_PTN: OnFileOpenPtn(); break;
    case ID_FILE_OPEN_DXF: OnFileOpenDxf(); break;
    case ID_FILE_OPEN_AAMA: OnFileOpenAama(); break;
    case ID_FILE_OPEN_GGT: OnFileOpenGgt(); break;
    case ID_FILE_OPEN_IBA: OnFileOpenIba(); break;
    case ID_FILE_SAVE_PTN: OnFileSavePtn(); break;
    case ID_FILE_SAVE_DXF: OnFileSaveDxf(); break;
    case ID_FILE_SAVE_AAMA: OnFileSaveAama(); break;
    case ID_APP_EXIT: close(); break;
    case ID_VIEW_TOOLBAR: m_wndToolBar->setVisible(m_wndToolBar->isHidden()); break;
    case ID_VIEW_STATUS_BAR: m_wndStatusBar->setVisible(m_wndStatusBar->isHidden()); break;
    case ID_VIEW_FULL_SCREEN: OnViewFullScreen(); break;
    case ID_VIEW_REMOVE_PIECE: OnViewRemovePiece(); break;
    case ID_VIEW_DEFAULT_FONT: OnViewDefaultFont(); break;
    case ID_VIEW_ZOOM_IN: OnViewZoomIn(); break;
    case ID_VIEW_ZOOM_OUT: OnViewZoomOut(); break;
    case ID_APP_ABOUT: CZvAamaApp::OnAppAbout(); break;
    case ID_NEXT_PANE:
    case ID_PREV_PANE: OnNextPane(); break;
    default: break;
  }
  UpdateCommandUI();
}

// ---------------------------------------------------------------------------
// File menu

void CMainFrame::SetTitleForPath(const CString& path) {
  setWindowTitle(FromGbk(LoadString(IDS_APP_TITLE)) + " - [" + QFile::decodeName(QByteArray::fromStdString(path.str())) +
                 "]");
}

void CMainFrame::ResetWorkWindowView() {
  if (CWorkWindow* view = GetWorkWindow()) {
    view->SetScrollRange(SB_HORZ, 0, 0, TRUE);
    view->SetScrollRange(SB_VERT, 0, 0, TRUE);
    view->Redraw(TRUE);
  }
}

void CMainFrame::RefreshListPane() {
  if (CPatternListBox* list = GetListBox()) list->Invalidate();
}

void CMainFrame::OnFileNew() {
  SetTitleForPath(CString());
  m_strStyleFile.Empty();
  ClearStyle();
  if (CPatternListBox* list = GetListBox()) list->ResetContent();
  ResetWorkWindowView();
}

void CMainFrame::AfterOpen() {
  SetTitleForPath(g_CurrentPath);
  // Keep the path without its extension, whatever its length.
  const PathParts parts = SplitPath(g_CurrentPath);
  g_CurrentPath = parts.folder + parts.name;
  m_strStyleFile = g_CurrentPath;
  ResetWorkWindowView();
  RefreshListPane();
}

void CMainFrame::OpenWith(const std::function<int(const CString&)>& reader, const char* extension,
                          const char* filter, CFileDialogPane* pane) {
  if (!reader) return;
  FileDialogRequest request;
  request.open = true;
  request.default_extension = extension;
  request.initial_name = g_CurrentPath;
  request.filter = filter;
  request.pane = pane;
  const std::optional<FileDialogResult> chosen = Prompts().FileDialog(request);
  if (!chosen || chosen->paths.empty()) return;
  g_CurrentPath = chosen->paths.front();
  if (reader(g_CurrentPath) != 0) AfterOpen();
}

void CMainFrame::SaveWith(const std::function<int(const CString&)>& writer, const char* extension,
                          const char* filter) {
  if (!writer || g_Style.PieceCount < 1) return;
  FileDialogRequest request;
  request.open = false;
  request.default_extension = extension;
  request.initial_name = g_CurrentPath;
  request.filter = filter;
  const std::optional<FileDialogResult> chosen = Prompts().FileDialog(request);
  if (!chosen || chosen->paths.empty()) return;
  writer(chosen->paths.front());
}

void CMainFrame::OnFileOpenPtn() {
  // The dialog shows the description stored in the header of the file selected.
  CPreviewFileDlg preview;
  OpenWith(file_commands_.openPtn, "ptn", kFilterPtnOpen, &preview);
}
void CMainFrame::OnFileOpenDxf() { OpenWith(file_commands_.openDxf, "dxf", kFilterDxfOpen); }
void CMainFrame::OnFileOpenAama() { OpenWith(file_commands_.openAama, "dxf", kFilterAama); }

void CMainFrame::OnFileOpenGgt() {
  if (file_commands_.openGgt) file_commands_.openGgt();
  RefreshListPane();
}

void CMainFrame::OnFileOpenIba() {
  if (file_commands_.openIba) file_commands_.openIba();
  RefreshListPane();
}

void CMainFrame::OnFileSavePtn() { SaveWith(file_commands_.savePtn, "ptn", kFilterPtnSave); }
void CMainFrame::OnFileSaveDxf() { SaveWith(file_commands_.saveDxf, "dxf", kFilterDxfSave); }
void CMainFrame::OnFileSaveAama() { SaveWith(file_commands_.saveAama, "dxf", kFilterAama); }

// ---------------------------------------------------------------------------
// View menu

void CMainFrame::OnViewZoomIn() {
  if (CWorkWindow* view = GetWorkWindow()) view->OnZoomIn();
}

void CMainFrame::OnViewZoomOut() {
  if (CWorkWindow* view = GetWorkWindow()) view->OnZoomOut();
}

void CMainFrame::OnViewFullScreen() {
  if (CWorkWindow* view = GetWorkWindow()) view->OnShowAll();
}

void CMainFrame::OnViewRemovePiece() {
  if (CWorkWindow* view = GetWorkWindow()) view->OnRemovePiece();
  RefreshListPane();
}

void CMainFrame::OnViewDefaultFont() {
  // The font dialog measures in pixels of the work window.
  int dpi = 0;
  if (g_pWorkWindow) {
    if (CDC* dc = g_pWorkWindow->GetDC()) {
      dpi = dc->GetDeviceCaps(LOGPIXELSY);
      g_pWorkWindow->ReleaseDC(dc);
    }
  }
  if (dpi <= 0) dpi = 96;
  // A style without a usable scale still needs one to convert by.
  const double scale = g_Style.GetScale() > 0 ? g_Style.GetScale() : kDefaultScale;

  LOGFONT font = g_DefaultFont;
  font.lfHeight = RoundToNearest(font.lfHeight / scale / 25.4 * dpi);
  if (!Prompts().FontDialog(font)) return;
  font.lfHeight = RoundToNearest(scale * (font.lfHeight / static_cast<double>(dpi) * 25.4));
  g_DefaultFont = font;
  g_DefaultFontInitial = font;
  if (CWorkWindow* view = GetWorkWindow()) view->Redraw(TRUE);
  RefreshListPane();
}

void CMainFrame::OnNextPane() {
  CPatternListBox* list = GetListBox();
  CWorkWindow* view = GetWorkWindow();
  if (!list || !view) return;
  if (list->hasFocus()) {
    view->setFocus(Qt::OtherFocusReason);
  } else {
    list->setFocus(Qt::OtherFocusReason);
  }
}

// ---------------------------------------------------------------------------
// Closing

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Nothing to tell the user when the file cannot be written: the window
  // closes all the same.
  WriteSettingsFile(SettingsFilePath());
  event->accept();
}
