#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

extern char** environ;

namespace {

// Frees the spawn records on every path out of Start().
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  bool actions_ready = false;
  bool attributes_ready = false;
  ~SpawnSetup() {
    if (actions_ready) posix_spawn_file_actions_destroy(&actions);
    if (attributes_ready) posix_spawnattr_destroy(&attributes);
  }
};

}  // namespace

ExternalProcess::~ExternalProcess() {
  if (pid_ <= 0 || reaped_) return;
  if (on_destroy_ == OnDestroy::kKill) {
    Kill();
    return;
  }
  if (Reap(false)) return;
  // Left running: someone must still collect it when it ends, or it would
  // linger as a zombie until the program exits.
  const pid_t pid = pid_;
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

bool ExternalProcess::Start(const CString& program, const std::vector<CString>& arguments,
                            const CString& working_folder) {
  if (pid_ > 0) return false;
  if (program.IsEmpty() || program[0] != '/') return false;
  struct stat info;
  if (::stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (::stat(working_folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;

  SpawnSetup setup;
  if (posix_spawn_file_actions_init(&setup.actions) != 0) return false;
  setup.actions_ready = true;
  if (posix_spawnattr_init(&setup.attributes) != 0) return false;
  setup.attributes_ready = true;

  if (posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) != 0 ||
      posix_spawn_file_actions_addchdir_np(&setup.actions, working_folder.c_str()) != 0) {
    return false;
  }
  // Its own process group, so that Kill() reaches whatever it starts; default
  // signal handling and no blocked signals, whatever this program changed.
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int sig : {SIGPIPE, SIGXFSZ, SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGCHLD}) sigaddset(&defaults, sig);
  sigset_t no_mask;
  sigemptyset(&no_mask);
  if (posix_spawnattr_setpgroup(&setup.attributes, 0) != 0 ||
      posix_spawnattr_setsigdefault(&setup.attributes, &defaults) != 0 ||
      posix_spawnattr_setsigmask(&setup.attributes, &no_mask) != 0 ||
      posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF |
                                                      POSIX_SPAWN_SETSIGMASK) != 0) {
    return false;
  }

  std::vector<std::string> words;
  words.reserve(arguments.size() + 1);
  words.push_back(program.str());
  for (const CString& argument : arguments) words.push_back(argument.str());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  // posix_spawn, not posix_spawnp: the path is taken as it is.
  if (posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ) != 0) {
    return false;
  }
  pid_ = pid;
  reaped_ = false;
  exit_code_ = -1;
  term_signal_ = 0;
  return true;
}

bool ExternalProcess::Reap(bool block) {
  if (pid_ <= 0) return false;
  if (reaped_) return true;
  int status = 0;
  pid_t done;
  do {
    done = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
  } while (done < 0 && errno == EINTR);
  if (done == 0) return false;
  reaped_ = true;
  if (done < 0) return true;  // collected elsewhere; how it ended is unknown
  if (WIFEXITED(status)) {
    exit_code_ = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    term_signal_ = WTERMSIG(status);
  }
  return true;
}

ExternalProcess::WaitResult ExternalProcess::Wait(int timeout_ms, int step_ms, const std::function<bool()>& on_step) {
  if (pid_ <= 0 || reaped_) return WaitResult::kNotRunning;
  using Clock = std::chrono::steady_clock;
  const auto step = std::chrono::milliseconds(step_ms > 0 ? step_ms : 1);
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms > 0 ? timeout_ms : 0);
  if (Reap(false)) return WaitResult::kExited;
  for (;;) {
    const auto now = Clock::now();
    if (now >= deadline) return WaitResult::kTimedOut;
    std::this_thread::sleep_for(std::min<Clock::duration>(step, deadline - now));
    if (Reap(false)) return WaitResult::kExited;
    if (on_step && !on_step()) return WaitResult::kCancelled;
  }
}

bool ExternalProcess::Kill() {
  if (pid_ <= 0) return false;
  if (reaped_) return true;
  ::kill(-pid_, SIGKILL);
  ::kill(pid_, SIGKILL);
  return Reap(true);
}
