#include "platform/byte_writer.h"

#include <bit>
#include <string_view>

void ByteWriter::WriteDouble(double value) { WriteUnsigned(std::bit_cast<uint64_t>(value), 8); }

void ByteWriter::WriteBytes(const void* data, size_t count) {
  const auto* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + count);
}

void ByteWriter::WriteCountedText(const CString& text) {
  const std::string_view bytes = text.view();
  WriteI32(static_cast<int32_t>(bytes.size()));
  WriteBytes(bytes.data(), bytes.size());
}

void ByteWriter::Append(const ByteWriter& other) {
  bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
}

void ByteWriter::PatchU32(size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4 && offset + i < bytes_.size(); ++i) {
    bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  }
}
