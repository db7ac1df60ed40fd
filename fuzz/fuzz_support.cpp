#include "fuzz/fuzz_support.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(FuzzFolder(), ignored);
}

}  // namespace

const std::string& FuzzFolder() {
  // Never destroyed: the exit handler that removes the folder still needs its
  // name after static objects are gone.
  static const std::string* const folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "zv_fuzz_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("zv fuzz: cannot make a temporary folder");
      std::abort();
    }
    auto* made = new std::string(pattern);
    std::atexit(RemoveFolder);
    return made;
  }();
  return *folder;
}

std::string WriteFuzzFile(const std::string& name, std::string_view bytes) {
  const std::string path = FuzzFolder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "zv fuzz: cannot write %s\n", path.c_str());
    std::abort();
  }
  return path;
}

void RemoveFuzzFile(const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove(FuzzFolder() + "/" + name, ignored);
}

FuzzInput SplitOptions(const uint8_t* data, size_t size) {
  FuzzInput input;
  if (size == 0) return input;
  input.options = data[0];
  input.rest = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
  return input;
}
