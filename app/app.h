// The application object: starts the program, shows its main window and
// runs the event loop until the window closes.
//
// What start-up does here, and what it leaves out:
// - Qt is started (a QApplication, unless one exists already, as in tests)
//   and the Qt dialogs are installed behind the prompt seam. Qt's own texts
//   (message box buttons, file and font dialogs) get its Chinese
//   translation when the file is there.
// - The program's folder is ZVAAMA_HOME when set, else the executable's
//   folder (platform/file_system.h); "kov.dat" lives there.
// - No single-instance lock: the Windows program created a named mutex but
//   never looked at it, so a second copy always started. Nothing stands in
//   for it.
// - No recent-file list and no registry profile: a recent file reached only
//   the framework's empty document and loaded nothing. The menu keeps the
//   entry, disabled.
// - A file named on the command line loads nothing, as before: only the File
//   commands open files.
//
// With ZVAAMA_SCREENSHOT=path in the environment the program, once its window
// is shown, saves a picture of it to that PNG file and closes itself (writing
// "kov.dat" as on any close); the exit code is non-zero when the picture could
// not be saved. Runs without a screen use it to see what a user would.
#pragma once

#include <memory>

#include "platform/win_types.h"

class CMainFrame;
class IPrompts;
class QApplication;
class QString;
class QtPrompts;

class CZvAamaApp {
 public:
  CZvAamaApp();
  ~CZvAamaApp();
  CZvAamaApp(const CZvAamaApp&) = delete;
  CZvAamaApp& operator=(const CZvAamaApp&) = delete;

  // Starts Qt (from main's arguments; they must outlive the application),
  // installs the prompts, builds and shows the main window. FALSE ends the
  // program.
  BOOL InitInstance(int& argc, char** argv);
  // Runs the event loop until the main window has closed; the exit code.
  int Run();

  CMainFrame* GetMainFrame() const { return frame_.get(); }

  // Shows the About box modally, through the prompt seam.
  static void OnAppAbout();

 private:
  // Saves a picture of the main window to `path` and closes it.
  void TakeScreenshotAndClose(const QString& path);

  std::unique_ptr<QApplication> qt_;
  std::unique_ptr<QtPrompts> prompts_;
  IPrompts* previous_prompts_ = nullptr;
  bool prompts_installed_ = false;
  std::unique_ptr<CMainFrame> frame_;
  int exit_code_ = 0;
};
