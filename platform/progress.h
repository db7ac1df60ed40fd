// The progress bar a long task shows in the main window's status bar, the
// way a reader shows how far it has read a large file. The window program
// installs a host that makes the bar (a child of the status bar, repainted at
// each new position so that it is seen while the task holds the thread);
// tests install a recording host. With no host installed, a bar does
// nothing, so the readers run alike headless (a command-line tool, fuzzers).
#pragma once

#include <memory>

// One bar, shown from its making to its destruction.
class IProgressBar {
 public:
  virtual ~IProgressBar() = default;
  virtual void SetRange(int lower, int upper) = 0;
  // Moves the bar to `position` and shows it at once.
  virtual void SetPos(int position) = 0;
};

// What makes the bars: the main window's status bar.
class IProgressHost {
 public:
  virtual ~IProgressHost() = default;
  // A new bar in the status bar; null when there is no status bar to hold one.
  virtual std::unique_ptr<IProgressBar> CreateStatusProgress() = 0;
};

// Installs `host` (not owned; null: none) and returns the one it replaces.
IProgressHost* SetProgressHost(IProgressHost* host);

// A status-bar progress bar for the life of the object; every call is a
// no-op when no host is installed or the host made no bar. The position
// only moves forward: SetPos with a smaller or equal value and StepIt past
// the upper end change nothing on the screen.
class CStatusProgress {
 public:
  CStatusProgress(int lower, int upper, int position);
  ~CStatusProgress();
  CStatusProgress(const CStatusProgress&) = delete;
  CStatusProgress& operator=(const CStatusProgress&) = delete;

  void SetPos(int position);
  // One further position.
  void StepIt() { SetPos(position_ + 1); }
  int Position() const { return position_; }

 private:
  std::unique_ptr<IProgressBar> bar_;
  int upper_ = 0;
  int position_ = 0;
};
