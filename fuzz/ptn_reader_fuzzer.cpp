// Fuzzes the native pattern file reader on the flat layouts, on bytes in
// memory.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/ptn_read_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckPtnRead(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
