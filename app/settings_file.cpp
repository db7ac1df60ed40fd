#include "app/settings_file.h"

#include <algorithm>
#include <cstring>

#include "app/piece_drawing.h"
#include "model/settings.h"
#include "platform/binary_file.h"
#include "platform/file_system.h"

namespace {

// The AAMA options in their stored order, with the values the export
// options dialog can give each.
struct AamaOption {
  int32_t* value;
  int32_t lowest;
  int32_t highest;
};

const AamaOption kAamaOptions[] = {
    {&g_AamaOptPieces, 0, 1},       {&g_AamaOptSizes, 0, 1},       {&g_AamaOptNotch, 0, 3},
    {&g_AamaOptText, 0, 1},         {&g_AamaOptGradeToRul, 0, 1},  {&g_AamaOptControlPoints, 0, 1},
    {&g_AamaOptGradePoints, 0, 1},  {&g_AamaOptDescAsName, 0, 1},
};
static_assert(LOGFONT::kStoredSize + 4 * std::size(kAamaOptions) == kSettingsFileSize);

int32_t ReadInt32(const uint8_t* p) {
  const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                     static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  return static_cast<int32_t>(v);
}

void WriteInt32(uint8_t* p, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace

std::array<uint8_t, kSettingsFileSize> EncodeSettingsFile() {
  std::array<uint8_t, kSettingsFileSize> bytes{};
  const auto font = g_DefaultFont.ToBytes();
  std::copy(font.begin(), font.end(), bytes.begin());
  size_t at = LOGFONT::kStoredSize;
  for (const AamaOption& option : kAamaOptions) {
    WriteInt32(bytes.data() + at, *option.value);
    at += 4;
  }
  return bytes;
}

void DecodeSettingsFile(const uint8_t* bytes, size_t count) {
  if (!bytes) return;
  if (count >= LOGFONT::kStoredSize) g_DefaultFont = LOGFONT::FromBytes(bytes);
  size_t at = LOGFONT::kStoredSize;
  for (const AamaOption& option : kAamaOptions) {
    if (count < at + 4) break;
    *option.value = std::clamp(ReadInt32(bytes + at), option.lowest, option.highest);
    at += 4;
  }
}

CString SettingsFilePath() { return ProgramPath(kSettingsFileName); }

bool ReadSettingsFile(const CString& path) {
  CFile file;
  if (!file.Open(path, CFile::Mode::kRead)) return false;
  uint8_t bytes[kSettingsFileSize] = {};
  size_t count = 0;
  // A read may return fewer bytes than asked before the end: keep reading.
  while (count < kSettingsFileSize) {
    const size_t got = file.ReadUpTo(bytes + count, kSettingsFileSize - count);
    if (got == 0) break;
    count += got;
  }
  DecodeSettingsFile(bytes, count);
  return true;
}

bool WriteSettingsFile(const CString& path) {
  const auto bytes = EncodeSettingsFile();
  AtomicFileWriter writer;
  if (!writer.Open(path)) return false;
  if (!writer.Write(bytes.data(), bytes.size())) return false;
  return writer.Commit();
}
