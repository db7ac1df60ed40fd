// Starting an external program by its absolute path in a working folder and
// waiting for it with a bound, as the Lectra import runs its converter.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/process.h"
#include "tests/support/file_bytes.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(ExternalProcess, RunsInTheWorkingFolderWithArgumentsAsGiven) {
  TempFolder dir;
  ExternalProcess process;
  // The converter's own command line carries a quoted Windows path; arguments
  // reach the program byte for byte, GBK included, with no shell in between.
  const CString argument = ".\\ACTCONFIG\\AAMA.ACT \xC7\xB0\xC6\xAC";
  ASSERT_TRUE(process.Start("/bin/sh", {"-c", "pwd > out; printf %s \"$1\" > arg", "sh", argument},
                            CString(dir.path())));
  EXPECT_TRUE(process.IsStarted());
  ASSERT_EQ(process.Wait(10000, 10), ExternalProcess::WaitResult::kExited);
  EXPECT_EQ(process.ExitCode(), 0);
  EXPECT_EQ(ReadFile(dir / "out"), fs::canonical(dir.path()).string() + "\n");
  EXPECT_EQ(ReadFile(dir / "arg"), argument.str());
  // Waiting again finds nothing running.
  EXPECT_EQ(process.Wait(0), ExternalProcess::WaitResult::kNotRunning);
}

struct ExitCase {
  const char* script;
  int exit_code;
  int signal;
};

TEST(ExternalProcess, ReportsHowTheProgramEnded) {
  const ExitCase kCases[] = {
      {"exit 0", 0, 0},
      {"exit 3", 3, 0},
      {"kill -9 $$", -1, 9},
  };
  TempFolder dir;
  for (const ExitCase& c : kCases) {
    SCOPED_TRACE(c.script);
    ExternalProcess process;
    ASSERT_TRUE(process.Start("/bin/sh", {"-c", c.script}, CString(dir.path())));
    ASSERT_EQ(process.Wait(10000, 10), ExternalProcess::WaitResult::kExited);
    EXPECT_EQ(process.ExitCode(), c.exit_code);
    EXPECT_EQ(process.TermSignal(), c.signal);
  }
}

// True once the process is gone or only a zombie waiting to be collected.
bool HasEnded(const std::string& pid) {
  const std::string stat = ReadFile("/proc/" + pid + "/stat");
  const size_t close = stat.rfind(')');
  return stat.empty() || (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z');
}

TEST(ExternalProcess, TimeoutLeavesItRunningUntilKilled) {
  TempFolder dir;
  ExternalProcess process;
  // The shell starts a child of its own; killing must reach that one too, or
  // it would go on running in the work folder.
  ASSERT_TRUE(process.Start("/bin/sh", {"-c", "sleep 30 & echo $! > child; wait"}, CString(dir.path())));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(process.Wait(300, 50), ExternalProcess::WaitResult::kTimedOut);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_EQ(process.Wait(0), ExternalProcess::WaitResult::kTimedOut);
  std::string child = ReadFile(dir / "child");
  for (int i = 0; i < 500 && child.find('\n') == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    child = ReadFile(dir / "child");
  }
  while (!child.empty() && child.back() == '\n') child.pop_back();
  ASSERT_FALSE(child.empty());
  EXPECT_FALSE(HasEnded(child));

  EXPECT_TRUE(process.Kill());
  EXPECT_EQ(process.TermSignal(), 9);
  EXPECT_EQ(process.Wait(0), ExternalProcess::WaitResult::kNotRunning);
  bool ended = false;
  for (int i = 0; i < 200 && !(ended = HasEnded(child)); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(ended);
}

TEST(ExternalProcess, StepCallbackCanStopTheWait) {
  TempFolder dir;
  ExternalProcess process;
  ASSERT_TRUE(process.Start("/bin/sleep", {"30"}, CString(dir.path())));
  int steps = 0;
  EXPECT_EQ(process.Wait(30000, 10, [&steps] { return ++steps < 3; }), ExternalProcess::WaitResult::kCancelled);
  EXPECT_EQ(steps, 3);
  // The destructor ends what is still running (the default).
}

TEST(ExternalProcess, RefusesWhatCannotBeRun) {
  TempFolder dir;
  {
    ExternalProcess process;
    EXPECT_FALSE(process.Start("/nonexistent/convert", {}, CString(dir.path())));
    EXPECT_FALSE(process.IsStarted());
    EXPECT_EQ(process.Wait(0), ExternalProcess::WaitResult::kNotRunning);
    EXPECT_FALSE(process.Kill());
  }
  {
    // Never a PATH lookup: a bare name is refused even where PATH has it.
    ExternalProcess process;
    EXPECT_FALSE(process.Start("sh", {"-c", "true"}, CString(dir.path())));
    EXPECT_FALSE(process.Start("", {}, CString(dir.path())));
  }
  {
    ExternalProcess process;
    EXPECT_FALSE(process.Start("/bin/sh", {"-c", "true"}, CString(dir / "missing")));
    EXPECT_FALSE(process.Start("/bin", {}, CString(dir.path())));
  }
  {
    // A file that is not a program.
    std::ofstream(dir / "convert") << "not a program";
    fs::permissions(dir / "convert", fs::perms::owner_all);
    ExternalProcess process;
    EXPECT_FALSE(process.Start(CString(dir / "convert"), {}, CString(dir.path())));
  }
  {
    // One program per object.
    ExternalProcess process;
    ASSERT_TRUE(process.Start("/bin/sh", {"-c", "exit 0"}, CString(dir.path())));
    EXPECT_FALSE(process.Start("/bin/sh", {"-c", "exit 0"}, CString(dir.path())));
    EXPECT_EQ(process.Wait(10000, 10), ExternalProcess::WaitResult::kExited);
  }
}

TEST(ExternalProcess, LeftRunningOutlivesTheObject) {
  TempFolder dir;
  {
    ExternalProcess process;
    process.SetOnDestroy(ExternalProcess::OnDestroy::kLeaveRunning);
    ASSERT_TRUE(process.Start("/bin/sh", {"-c", "sleep 0.3; echo done > done"}, CString(dir.path())));
  }
  for (int i = 0; i < 200 && ReadFile(dir / "done").empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  EXPECT_EQ(ReadFile(dir / "done"), "done\n");
}

}  // namespace
