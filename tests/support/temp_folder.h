// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the object goes. Tests that read, write, list or
// run files work inside it so that no test sees another's files.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

class TempFolder {
 public:
  // `prefix` starts the folder's name, so that a folder left by a crashed
  // test shows which tests made it.
  explicit TempFolder(const std::string& prefix = "zv_test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

  // Writes a file of these bytes into the folder; returns its path.
  std::string AddFile(const std::string& name, const std::string& bytes = "") const {
    WriteFile(*this / name, bytes);
    return *this / name;
  }

  // The names of the entries in the folder, in the order the system lists them.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

 private:
  std::string path_;
};

// The names of the entries of `folder` in byte order; none when it is not a
// folder.
inline std::vector<std::string> SortedNames(const std::string& folder) {
  std::vector<std::string> names;
  if (!std::filesystem::is_directory(folder)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
