// Builds little-endian binary files in memory, field by field: the native
// pattern files and the archive layout. The caller writes the bytes out
// (AtomicFileWriter, WriteWholeFile). The counterpart of ByteCursor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/text.h"

class ByteWriter {
 public:
  void WriteU8(uint8_t value) { bytes_.push_back(value); }
  void WriteU16(uint16_t value) { WriteUnsigned(value, 2); }
  void WriteU32(uint32_t value) { WriteUnsigned(value, 4); }
  void WriteI32(int32_t value) { WriteUnsigned(static_cast<uint32_t>(value), 4); }
  void WriteDouble(double value);
  void WriteBytes(const void* data, size_t count);
  // A text as an int32 byte count and its bytes as they stand (GBK), no
  // terminator; an empty text is the count 0 alone (ByteCursor::ReadCountedText).
  void WriteCountedText(const CString& text);
  // Appends everything `other` holds.
  void Append(const ByteWriter& other);
  // Overwrites the u32 at `offset` (an offset filled in once known); bytes
  // beyond what was written are left out.
  void PatchU32(size_t offset, uint32_t value);

  size_t Size() const { return bytes_.size(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }

 private:
  void WriteUnsigned(uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }

  std::vector<uint8_t> bytes_;
};
