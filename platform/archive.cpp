#include "platform/archive.h"

#include <cstring>

namespace {

constexpr uint8_t kByteLengthEscape = 0xFF;
constexpr uint16_t kWordLengthEscape = 0xFFFF;

}  // namespace

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
  const char* p = Take(length);
  if (!p) return false;
  text.Assign(std::string_view(p, length));
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
