#include "platform/archive.h"

#include <algorithm>
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

bool ArchiveReader::ReadFont(LOGFONT& font) {
  LOGFONT read;
  uint8_t flags[8] = {};
  CString face;
  if (!ReadI32(read.lfHeight) || !ReadI32(read.lfWidth) || !ReadI32(read.lfEscapement) ||
      !ReadI32(read.lfOrientation) || !ReadI32(read.lfWeight) || !ReadBytes(flags, sizeof flags) ||
      !ReadString(face)) {
    return false;
  }
  read.lfItalic = flags[0];
  read.lfUnderline = flags[1];
  read.lfStrikeOut = flags[2];
  read.lfCharSet = flags[3];
  read.lfOutPrecision = flags[4];
  read.lfClipPrecision = flags[5];
  read.lfQuality = flags[6];
  read.lfPitchAndFamily = flags[7];
  // Keep whole characters only: a two-byte character that would straddle
  // the last byte before the terminator is left out.
  const std::string_view name = face.view();
  size_t kept = 0;
  while (kept < name.size()) {
    const size_t width = IsGbkLeadByte(static_cast<unsigned char>(name[kept])) ? 2 : 1;
    if (kept + width > LF_FACESIZE - 1) break;
    kept += width;
  }
  kept = std::min(kept, name.size());
  std::memset(read.lfFaceName, 0, sizeof read.lfFaceName);
  std::memcpy(read.lfFaceName, name.data(), kept);
  font = read;
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
