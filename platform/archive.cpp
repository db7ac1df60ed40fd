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
