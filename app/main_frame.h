// The program's one main window: menus, toolbar, status bar and, in its
// client area, a two-row splitter with the pattern list pane above and the
// child frame (the work window between its rulers) below.
//
// Building the frame sets the whole settings block to its start-up values
// (app/settings_file.h) and then restores the remembered default font and
// AAMA export options from "kov.dat"; closing the frame writes them back.
//
// Commands. Every menu item, accelerator and toolbar button is a QAction
// that carries its command id (QAction::data()). Enable states are worked out
// by IsCommandEnabled and put on the actions by UpdateCommandUI, which runs
// whenever the event loop goes idle, before a menu opens and after every
// command. Ctrl+N, Ctrl+O and Ctrl+S run New, the native open and the native
// save whose menu items show those keys; there is no document to open or
// save behind the style's back.
//
// The File commands that open and save call their readers and writers
// through FileCommandHandlers. A command whose reader or writer is not
// installed stays disabled: nothing pretends to open or save a file.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QMainWindow>

#include "platform/text.h"

class QAction;
class QCloseEvent;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;
class CChildFrame;
class CPatternListBox;
class CPatternListFormView;
class CWorkWindow;
class CmySplitter;
class CStatusProgressHost;
class CFileDialogPane;

// The readers and writers behind the File commands.
struct FileCommandHandlers {
  // Readers: open the file at the path, clear the style and fill it and the
  // list pane; non-zero when the file was read, 0 when the user cancelled the
  // reader's options dialog (nothing changed) or after showing their own
  // message.
  std::function<int(const CString& path)> openPtn;
  std::function<int(const CString& path)> openDxf;
  std::function<int(const CString& path)> openAama;
  // The Gerber and Lectra imports run their whole command, dialogs included.
  std::function<void()> openGgt;
  std::function<void()> openIba;
  // Writers: write the style to the path; non-zero on success.
  std::function<int(const CString& path)> savePtn;
  std::function<int(const CString& path)> saveDxf;
  std::function<int(const CString& path)> saveAama;
};

// The readers and writers the program has. A File command whose function is
// empty here stays disabled.
FileCommandHandlers InstalledFileCommands();

// The file-dialog filters of the File commands.
inline constexpr const char* kFilterPtnOpen =
    "Ptn Files (*.ptn)|*.ptn|Pdf Files (*.pdf)|*.pdf|Pds Files (*.pds)|*.pds|Ggs Files (*.ggs)|*.ggs|All Files (*.*)|*.*|";
inline constexpr const char* kFilterDxfOpen = "DXF Files (*.dxf,*.aam)|*.dxf;*.aam|All Files (*.*)|*.*|";
inline constexpr const char* kFilterAama = "AAMA Files (*.dxf,*.aam,*.rul)|*.dxf;*.aam;*.rul|All Files (*.*)|*.*|";
inline constexpr const char* kFilterPtnSave = "Ptn Files (*.ptn)|*.ptn|All Files (*.*)|*.*|";
inline constexpr const char* kFilterDxfSave = "DXF Files (*.dxf)|*.dxf|All Files (*.*)|*.*|";

// Height of the pattern list pane when the program starts.
inline constexpr int kListPaneInitialHeight = 62;

class CMainFrame : public QMainWindow {
 public:
  // Sets the settings block, reads "kov.dat" from the program's folder, and
  // builds the menus, toolbar, status bar and the two panes.
  explicit CMainFrame(QWidget* parent = nullptr);
  // Empties the style: every piece (with its work-area copy) and every size.
  ~CMainFrame() override;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // --- commands ----------------------------------------------------------
  // Runs a command as its menu item, key or button would: nothing when it is
  // disabled or unknown. Returns whether it ran.
  bool RunCommand(int id);
  bool IsCommandEnabled(int id) const;
  // Puts the enable and check states on every command's action.
  void UpdateCommandUI();
  // The action of a command id (the menu's, the toolbar shares it), or null.
  QAction* CommandAction(int id) const;

  void SetFileCommands(const FileCommandHandlers& handlers);
  const FileCommandHandlers& GetFileCommands() const { return file_commands_; }

  // File menu.
  // Empties the style, the list pane and the work area; the title loses its
  // path. g_CurrentPath is kept for the next file dialog.
  void OnFileNew();
  void OnFileOpenPtn();
  void OnFileOpenDxf();
  void OnFileOpenAama();
  void OnFileOpenGgt();
  void OnFileOpenIba();
  void OnFileSavePtn();
  void OnFileSaveDxf();
  void OnFileSaveAama();

  // View menu and keypad.
  void OnViewZoomIn();
  void OnViewZoomOut();
  void OnViewFullScreen();
  void OnViewRemovePiece();
  // Lets the user choose the default font of new text items and of the
  // label texts. The height goes to the font dialog in pixels of the work
  // window and comes back in model units. Cancel changes nothing.
  void OnViewDefaultFont();
  // F6 and Shift+F6: the keyboard focus goes to the other pane.
  void OnNextPane();

  // --- after a successful open --------------------------------------------
  // Title := application title + " - [" + g_CurrentPath + "]";
  // g_CurrentPath and the style file := that path without its extension
  // ("/d/a.dxf" -> "/d/a", "/d/a.json" -> "/d/a", "/d/a" stays); the work
  // window's scroll bars are hidden and everything is redrawn.
  void AfterOpen();

  // Title := application title + " - [" + path + "]"; the path is shown as
  // the file system names it.
  void SetTitleForPath(const CString& path);
  // The path of the last file opened, without its extension; empty after New.
  const CString& GetStyleFile() const { return m_strStyleFile; }

  // --- panes ---------------------------------------------------------------
  CmySplitter* GetSplitter() const { return m_wndSplitter; }
  CPatternListFormView* GetListPane() const { return list_pane_; }
  CPatternListBox* GetListBox() const;
  CChildFrame* GetChildFrame() const { return child_frame_; }
  CWorkWindow* GetWorkWindow() const;
  QToolBar* GetToolBar() const { return m_wndToolBar; }
  QStatusBar* GetStatusBarWidget() const { return m_wndStatusBar; }

 protected:
  // Writes "kov.dat", then lets the window close (also when it could not be
  // written).
  void closeEvent(QCloseEvent* event) override;

 private:
  // The parts of building the window.
  void CreateCommands();
  void CreateMenus();
  void CreateAccelerators();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateClient();

  QAction* MakeAction(int id, const QString& text);
  void Dispatch(int id);
  // Asks for a file to open with a reader, and opens it.
  // `pane` (may be null): controls of the program's own beside the file list.
  void OpenWith(const std::function<int(const CString&)>& reader, const char* extension, const char* filter,
                CFileDialogPane* pane = nullptr);
  // Asks for a file to save the style to with a writer, and saves it.
  void SaveWith(const std::function<int(const CString&)>& writer, const char* extension, const char* filter);
  // Shows the work window afresh: scroll bars hidden, everything redrawn.
  void ResetWorkWindowView();
  void RefreshListPane();

  QStatusBar* m_wndStatusBar = nullptr;  // child widget, owned by Qt
  std::unique_ptr<CStatusProgressHost> progress_host_;  // the readers' progress bars, in the status bar
  QToolBar* m_wndToolBar = nullptr;      // child widget, owned by Qt
  CmySplitter* m_wndSplitter = nullptr;  // child widget, owned by Qt
  CString m_strStyleFile;

  CPatternListFormView* list_pane_ = nullptr;  // in the splitter, owned by Qt
  CChildFrame* child_frame_ = nullptr;         // in the splitter, owned by Qt
  std::map<int, QAction*> actions_;            // owned by the frame (Qt children)
  FileCommandHandlers file_commands_;
};
