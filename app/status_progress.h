// The status bar's progress bars: a QProgressBar laid over the status bar
// while a long task runs, in the place the readers have always used (the bar's
// client area less 5 pixels on the left, 4 at the top and bottom, ending at
// 155 pixels, or 5 short of the right edge on a narrower bar). Each new
// position repaints the status bar at once, so the bar moves while the task
// holds the thread.
#pragma once

#include <memory>

#include "platform/progress.h"

class QStatusBar;

class CStatusProgressHost : public IProgressHost {
 public:
  // Installs itself as the progress host until destroyed.
  explicit CStatusProgressHost(QStatusBar* statusBar);
  ~CStatusProgressHost() override;
  CStatusProgressHost(const CStatusProgressHost&) = delete;
  CStatusProgressHost& operator=(const CStatusProgressHost&) = delete;

  std::unique_ptr<IProgressBar> CreateStatusProgress() override;

 private:
  QStatusBar* status_bar_;  // not owned
  IProgressHost* previous_;
};
