#include "fuzz/fuzz_support.h"

FuzzInput SplitOptions(const uint8_t* data, size_t size) {
  FuzzInput input;
  if (size == 0) return input;
  input.options = data[0];
  input.rest = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
  return input;
}
