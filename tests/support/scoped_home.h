// A private program folder for one test: ZVAAMA_HOME names `folder` while
// the object lives, and is put back as it was afterwards.
#pragma once

#include <stdlib.h>

#include <string>

class ScopedProgramHome {
 public:
  explicit ScopedProgramHome(const std::string& folder) {
    if (const char* old = ::getenv("ZVAAMA_HOME")) {
      had_home_ = true;
      old_home_ = old;
    }
    ::setenv("ZVAAMA_HOME", folder.c_str(), 1);
  }
  ~ScopedProgramHome() {
    if (had_home_) {
      ::setenv("ZVAAMA_HOME", old_home_.c_str(), 1);
    } else {
      ::unsetenv("ZVAAMA_HOME");
    }
  }
  ScopedProgramHome(const ScopedProgramHome&) = delete;
  ScopedProgramHome& operator=(const ScopedProgramHome&) = delete;

 private:
  bool had_home_ = false;
  std::string old_home_;
};
