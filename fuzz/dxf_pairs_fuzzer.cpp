// Fuzzes the DXF pair reader and the plain line reader beside it: the whole
// input is one file, read to its end pair by pair and then line by line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/dxf_pairs.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path =
      WriteFuzzFile("pairs.dxf", std::string_view(reinterpret_cast<const char*>(data), size));

  DxfPairReader pairs;
  if (!pairs.Open(CString(path))) __builtin_trap();
  size_t count = 0;
  while (pairs.Next() == DxfPairReader::Status::kPair) {
    // Every pair is looked at as the readers look at it.
    (void)pairs.TrimmedValue();
    (void)pairs.IsEntity("SECTION");
    (void)pairs.CodeLine();
    ++count;
  }
  // A finished reader keeps its final status; it never starts over.
  const DxfPairReader::Status last = pairs.LastStatus();
  if (pairs.Next() != last || last == DxfPairReader::Status::kPair) __builtin_trap();
  pairs.Close();
  // Each pair takes at least two lines, each at least one byte.
  if (count > size / 2 + 1) __builtin_trap();

  TextFileReader lines;
  if (!lines.Open(CString(path))) __builtin_trap();
  CString line;
  while (ReadTextLine(lines, line)) {
    int code = 0;
    (void)DxfPairReader::ParseCode(line.view(), code);
  }
  lines.Close();
  return 0;
}
