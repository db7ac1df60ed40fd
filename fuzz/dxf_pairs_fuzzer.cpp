// Fuzzes the DXF pair reader and the plain line reader beside it on bytes in
// memory: the whole input is one file, read to its end pair by pair and then
// line by line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/dxf_pairs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  DxfPairReader pairs;
  pairs.OpenBytes(bytes);
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
  // Where it stopped is a line of the input: never past the last line break
  // plus the one line after it.
  const size_t breaks = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')) +
                        static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
  if (pairs.StopLine() < 0 || static_cast<size_t>(pairs.StopLine()) > breaks + 1) __builtin_trap();
  (void)pairs.StopReason("LINE");
  pairs.Close();
  // Each pair takes at least two lines, each at least one byte.
  if (count > size / 2 + 1) __builtin_trap();

  ByteLineReader lines(bytes);
  CString line;
  while (ReadTextLine(lines, line)) {
    int code = 0;
    (void)DxfPairReader::ParseCode(line.view(), code);
  }
  return 0;
}
