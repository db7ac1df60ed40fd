#include "platform/byte_cursor.h"

#include <cstring>

const char* ByteCursor::Take(size_t count) {
  static const char kNothing = 0;
  if (failed_ || count > Remaining()) {
    failed_ = true;
    return nullptr;
  }
  // Empty bytes may have no storage; a zero-length take still succeeds.
  const char* at = bytes_.empty() ? &kNothing : bytes_.data() + position_;
  position_ += count;
  return at;
}

bool ByteCursor::ReadBytes(void* buffer, size_t count) {
  const char* at = Take(count);
  if (!at) {
    if (count) std::memset(buffer, 0, count);
    return false;
  }
  if (count) std::memcpy(buffer, at, count);
  return true;
}

bool ByteCursor::ReadU8(uint8_t& value) { return ReadBytes(&value, 1); }

bool ByteCursor::ReadU16(uint16_t& value) {
  uint8_t b[2];
  const bool ok = ReadBytes(b, sizeof b);
  value = static_cast<uint16_t>(b[0] | (b[1] << 8));
  return ok;
}

bool ByteCursor::ReadU32(uint32_t& value) {
  uint8_t b[4];
  const bool ok = ReadBytes(b, sizeof b);
  value = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
          (static_cast<uint32_t>(b[3]) << 24);
  return ok;
}

bool ByteCursor::ReadI32(int32_t& value) {
  uint32_t raw = 0;
  const bool ok = ReadU32(raw);
  value = static_cast<int32_t>(raw);
  return ok;
}

bool ByteCursor::ReadDouble(double& value) {
  uint8_t b[8];
  const bool ok = ReadBytes(b, sizeof b);
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(b[i]) << (8 * i);
  std::memcpy(&value, &bits, sizeof value);
  return ok;
}

bool ByteCursor::Skip(size_t count) { return Take(count) != nullptr; }

bool ByteCursor::Seek(size_t offset) {
  if (failed_ || offset > bytes_.size()) {
    failed_ = true;
    return false;
  }
  position_ = offset;
  return true;
}

bool ByteCursor::ReadCountedText(CString& text, int32_t* count) {
  text.Empty();
  int32_t length = 0;
  const bool ok = ReadI32(length);
  if (count) *count = length;
  if (!ok) return false;
  if (length <= 0) return true;
  const char* at = Take(static_cast<size_t>(length));
  if (!at) return false;
  text.Assign(std::string_view(at, static_cast<size_t>(length)));
  return true;
}

bool ByteCursor::CheckCount(int64_t count, size_t recordBytes) {
  if (failed_) return false;
  if (count <= 0) return true;
  const size_t perRecord = recordBytes == 0 ? 1 : recordBytes;
  if (static_cast<uint64_t>(count) > Remaining() / perRecord) {
    failed_ = true;
    return false;
  }
  return true;
}
