// Fuzzes the plain DXF reader on bytes in memory. The first input byte is
// the user's answer to the options dialog: bits 0-1 the unit (millimetres,
// centimetres, inches; 3 is millimetres too), bit 2 many patterns instead of
// one. The rest is the file.
#include <cstddef>
#include <cstdint>

#include "formats/dxf_reader.h"
#include "fuzz/fuzz_support.h"
#include "model/style.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzInput input = SplitOptions(data, size);
  static constexpr int kUnits[] = {0, 1, 2, 0};
  DxfReadOptions options;
  options.dataUnit = kUnits[input.options & 3];
  options.manyPatterns = (input.options & 4) != 0;

  NoPrompts noPrompts;
  ClearStyle();
  const DxfReadReport report = ReadDxfBytes(input.rest, g_Style, options);
  // The reader asks nothing: it never reports a cancel, and a failure always
  // names its message and where the file went wrong.
  if (report.outcome == DxfReadResult::kCancelled) __builtin_trap();
  if (report.outcome != DxfReadResult::kSuccess && (report.messageId == 0 || report.reason.empty())) {
    __builtin_trap();
  }
  if (report.line < 0) __builtin_trap();
  ClearStyle();
  return 0;
}
