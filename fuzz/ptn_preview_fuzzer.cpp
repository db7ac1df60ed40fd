// Fuzzes the open dialog's header preview on bytes in memory: the input is
// the beginning of a native pattern file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/ptn_preview.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const PreviewHeader header = ReadPreviewHeader(bytes);
  // A description is made of the file's own bytes, and only a header that
  // was read through gives one.
  if (static_cast<size_t>(header.description.GetLength()) > size) __builtin_trap();
  if (header.outcome != PreviewOutcome::kNewDescription && !header.description.IsEmpty()) __builtin_trap();
  // Reading is a function of the bytes alone.
  const PreviewHeader again = ReadPreviewHeader(bytes);
  if (again.outcome != header.outcome || !(again.description == header.description)) __builtin_trap();
  return 0;
}
