// Fuzzes the Gerber export-file readers. The input holds three files, each
// but the last after a 16-bit little-endian length: they are written as
// "a.tmp", "b.tmp" and "c.tmp" into a private temporary folder (the readers
// read folders), which is then read both ways an import reads it: every
// piece file into a model, and every style file with the piece files its
// entries name.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "imports/gerber_export.h"

namespace {

void WriteFile(const std::string& path, std::string_view bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) __builtin_trap();
  if (!bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) __builtin_trap();
  fclose(file);
}

// Takes the next file of the input: a 16-bit length, then that many bytes
// (fewer when the input ends first).
std::string_view NextFile(std::string_view& rest) {
  if (rest.size() < 2) {
    rest = {};
    return {};
  }
  size_t length = static_cast<uint8_t>(rest[0]) | (static_cast<size_t>(static_cast<uint8_t>(rest[1])) << 8);
  rest.remove_prefix(2);
  std::string_view file = rest.substr(0, length);
  rest.remove_prefix(file.size());
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* tmp = getenv("TMPDIR");
  std::string folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/ggt_fuzz_XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) __builtin_trap();
  folder += '/';
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string names[] = {folder + "a.tmp", folder + "b.tmp", folder + "c.tmp"};
  WriteFile(names[0], NextFile(rest));
  WriteFile(names[1], NextFile(rest));
  WriteFile(names[2], rest);

  const CString path(folder.c_str());
  const GgtExportFolder files = ScanGgtExportFolder(path);
  if (std::unique_ptr<CModel> model = ReadGgtExportFiles(path)) {
    if (model->pieces.size() > files.pieces.size()) __builtin_trap();
  }
  for (const GgtExportFile& style : files.styles) {
    CModel model;
    if (ReadStyle(model, style, style.name, files) != 1) __builtin_trap();
    if (model.pieces.size() > files.pieces.size()) __builtin_trap();
  }

  for (const std::string& name : names) unlink(name.c_str());
  folder.pop_back();
  rmdir(folder.c_str());
  return 0;
}
