// External programs: the Lectra converter, which the IBA import starts in the
// program's folder and waits for. A program is always named by its absolute
// path; nothing is looked up on PATH, where a program of the same name may be
// something else entirely.
#pragma once

#include <sys/types.h>

#include <functional>
#include <vector>

#include "platform/text.h"

class ExternalProcess {
 public:
  enum class WaitResult {
    kExited,     // the program has ended; ExitCode() tells how
    kTimedOut,   // still running after the time allowed
    kCancelled,  // the caller's step callback asked to stop waiting
    kNotRunning, // nothing was started, or it was already waited for
  };
  // What the destructor does with a program still running.
  enum class OnDestroy { kKill, kLeaveRunning };

  ExternalProcess() = default;
  ~ExternalProcess();
  ExternalProcess(const ExternalProcess&) = delete;
  ExternalProcess& operator=(const ExternalProcess&) = delete;

  // Starts `program` (an absolute path) with `arguments` (without the
  // program's own name) in `working_folder`, with the program's environment
  // and no standard input. False when the path is not absolute, the program
  // or the folder does not exist, or the program cannot be run; nothing is
  // then running. Only one program per object.
  bool Start(const CString& program, const std::vector<CString>& arguments, const CString& working_folder);
  bool IsStarted() const { return pid_ > 0; }

  // Waits for the program to end, looking every `step_ms` milliseconds, at
  // most `timeout_ms` in all (0: just look). `on_step`, when given, runs
  // after each step that found the program still running; returning false
  // stops the wait (kCancelled). On kTimedOut or kCancelled the program keeps
  // running: the caller may wait again, Kill() it or leave it.
  WaitResult Wait(int timeout_ms, int step_ms = 500, const std::function<bool()>& on_step = nullptr);

  // Ends the program and everything it started (its process group) at once,
  // and collects it. True when the program has ended.
  bool Kill();

  // After kExited: the exit code, or -1 when a signal ended the program.
  int ExitCode() const { return exit_code_; }
  // After kExited: the signal that ended the program, or 0.
  int TermSignal() const { return term_signal_; }

  void SetOnDestroy(OnDestroy what) { on_destroy_ = what; }

 private:
  // Collects the program if it has ended; true when it has.
  bool Reap(bool block);

  pid_t pid_ = 0;
  bool reaped_ = false;
  int exit_code_ = -1;
  int term_signal_ = 0;
  OnDestroy on_destroy_ = OnDestroy::kKill;
};
