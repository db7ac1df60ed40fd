// A temporary file holding exactly the given bytes, removed when the object
// goes: the readers' tests build their input files in code.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/text.h"
#include "tests/support/file_bytes.h"

class TempText {
 public:
  explicit TempText(const std::string& bytes, const std::string& prefix = "zv_text") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) ::close(fd);
    path_ = pattern;
    WriteFile(path_, bytes);
  }
  ~TempText() { std::remove(path_.c_str()); }
  TempText(const TempText&) = delete;
  TempText& operator=(const TempText&) = delete;

  CString Path() const { return CString(path_); }

 private:
  std::string path_;
};
