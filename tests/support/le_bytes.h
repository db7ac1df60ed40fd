// A little-endian byte builder for hand-made binary fixtures: the native
// pattern files' headers, records and strings, built field by field in the
// test that reads them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class LeBytes {
 public:
  LeBytes& U8(uint8_t v) {
    bytes_.push_back(static_cast<char>(v));
    return *this;
  }
  LeBytes& U16(uint16_t v) { return Unsigned(v, 2); }
  LeBytes& U32(uint32_t v) { return Unsigned(v, 4); }
  LeBytes& I32(int32_t v) { return Unsigned(static_cast<uint32_t>(v), 4); }
  LeBytes& Double(double v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return Unsigned(bits, 8);
  }
  LeBytes& Raw(std::string_view bytes) {
    bytes_.append(bytes);
    return *this;
  }
  LeBytes& Zeros(size_t count) {
    bytes_.append(count, '\0');
    return *this;
  }
  // A counted string: int32 byte count, then the bytes, no terminator.
  LeBytes& Str(std::string_view text) {
    I32(static_cast<int32_t>(text.size()));
    return Raw(text);
  }
  // Overwrites the u32 at `offset` (an offset filled in once known).
  LeBytes& PatchU32(size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<char>(v >> (8 * i));
    return *this;
  }

  size_t Size() const { return bytes_.size(); }
  const std::string& Bytes() const { return bytes_; }

 private:
  LeBytes& Unsigned(uint64_t v, int width) {
    for (int i = 0; i < width; ++i) bytes_.push_back(static_cast<char>(v >> (8 * i)));
    return *this;
  }

  std::string bytes_;
};
