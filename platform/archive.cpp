#include "platform/archive.h"

#include <cstring>

namespace {

constexpr uint8_t kByteLengthEscape = 0xFF;
constexpr uint16_t kWordLengthEscape = 0xFFFF;

}  // namespace

const uint8_t* ArchiveReader::Take(size_t count) {
  static const uint8_t kNothing = 0;
  if (failed_ || count > Remaining()) {
    failed_ = true;
    return nullptr;
  }
  // An empty buffer may have no storage; a zero-length take still succeeds.
  const uint8_t* at = bytes_.empty() ? &kNothing : bytes_.data() + position_;
  position_ += count;
  return at;
}

bool ArchiveReader::ReadU8(uint8_t& value) {
  const uint8_t* p = Take(1);
  value = p ? p[0] : 0;
  return p != nullptr;
}

bool ArchiveReader::ReadU16(uint16_t& value) {
  const uint8_t* p = Take(2);
  value = p ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
  return p != nullptr;
}

bool ArchiveReader::ReadU32(uint32_t& value) {
  const uint8_t* p = Take(4);
  value = p ? (static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24))
            : 0;
  return p != nullptr;
}

bool ArchiveReader::ReadI32(int32_t& value) {
  uint32_t bits = 0;
  const bool ok = ReadU32(bits);
  value = static_cast<int32_t>(bits);
  return ok;
}

bool ArchiveReader::ReadDouble(double& value) {
  const uint8_t* p = Take(8);
  uint64_t bits = 0;
  if (p) {
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  }
  std::memcpy(&value, &bits, sizeof value);
  return p != nullptr;
}

bool ArchiveReader::ReadBytes(void* buffer, size_t count) {
  const uint8_t* p = Take(count);
  if (count == 0) return p != nullptr;
  if (p) {
    std::memcpy(buffer, p, count);
  } else {
    std::memset(buffer, 0, count);
  }
  return p != nullptr;
}

bool ArchiveReader::Skip(size_t count) { return Take(count) != nullptr; }

bool ArchiveReader::ReadString(CString& text) {
  text.Empty();
  uint8_t byte_length = 0;
  if (!ReadU8(byte_length)) return false;
  size_t length = byte_length;
  if (byte_length == kByteLengthEscape) {
    uint16_t word_length = 0;
    if (!ReadU16(word_length)) return false;
    length = word_length;
    if (word_length == kWordLengthEscape) {
      uint32_t long_length = 0;
      if (!ReadU32(long_length)) return false;
      length = long_length;
    }
  }
  const uint8_t* p = Take(length);
  if (!p) return false;
  text = CString(std::string(reinterpret_cast<const char*>(p), length));
  return true;
}

bool ArchiveReader::CheckCount(int64_t count, size_t min_record_bytes) {
  if (failed_) return false;
  if (count <= 0) return true;
  const size_t per_record = min_record_bytes == 0 ? 1 : min_record_bytes;
  if (static_cast<uint64_t>(count) > Remaining() / per_record) {
    failed_ = true;
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------

void ArchiveWriter::WriteU8(uint8_t value) { bytes_.push_back(value); }

void ArchiveWriter::WriteU16(uint16_t value) {
  bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
  bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void ArchiveWriter::WriteU32(uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
}

void ArchiveWriter::WriteI32(int32_t value) { WriteU32(static_cast<uint32_t>(value)); }

void ArchiveWriter::WriteDouble(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 64; shift += 8) bytes_.push_back(static_cast<uint8_t>((bits >> shift) & 0xFF));
}

void ArchiveWriter::WriteBytes(const void* data, size_t count) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + count);
}

void ArchiveWriter::WriteString(const CString& text) {
  const size_t length = static_cast<size_t>(text.GetLength());
  if (length < kByteLengthEscape) {
    WriteU8(static_cast<uint8_t>(length));
  } else if (length < kWordLengthEscape) {
    WriteU8(kByteLengthEscape);
    WriteU16(static_cast<uint16_t>(length));
  } else {
    WriteU8(kByteLengthEscape);
    WriteU16(kWordLengthEscape);
    WriteU32(static_cast<uint32_t>(length));
  }
  WriteBytes(text.c_str(), length);
}
