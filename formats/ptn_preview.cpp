#include "formats/ptn_preview.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/ptn_layout.h"
#include "platform/archive.h"
#include "platform/binary_file.h"

namespace {

// Archive files carry a description from this version on.
constexpr int32_t kArchiveFirstVersionWithDescription = 109;
// Flat files carry a description from the version that added the fifth
// header text on; older ones keep the description shown before.
constexpr int32_t kFlatFirstVersionWithDescription = kPtnFirstVersionWithFifthText;
// Flat-magic files from this version on hold one more word after the version.
constexpr int32_t kFlatFirstVersionWithLateExtraWord = 158;
// The header words the flat layout keeps after the reserved word (scale,
// filler) and the archive layout after its version, each 17 words long.
constexpr size_t kHeaderWordBlock = 17 * 4;
// The text after the description is read only this far.
constexpr int32_t kTrailingTextLimit = 255;

// A flat layout text, read no further than `limit` bytes (the rest of a
// longer text is not looked at). False when the bytes end before it does.
bool ReadFlatText(ArchiveReader& in, CString* text, int32_t limit = INT32_MAX) {
  if (limit == INT32_MAX) {
    CString skipped;
    return in.ReadCountedText(text ? *text : skipped);
  }
  int32_t count = 0;
  if (!in.ReadI32(count)) return false;
  const size_t length = count <= 0 ? 0 : static_cast<size_t>(std::min(count, limit));
  return in.Skip(length);
}

PreviewHeader ReadArchiveHeader(ArchiveReader& in) {
  int32_t version = 0;
  if (!in.ReadI32(version)) return {PreviewOutcome::kCutShort, {}};
  if (version < kArchiveFirstVersionWithDescription) return {PreviewOutcome::kNoDescription, {}};
  uint32_t word = 0;
  uint16_t half = 0;
  uint32_t block = 0;
  in.ReadU32(word);
  in.ReadU16(half);
  in.Skip(kHeaderWordBlock);
  in.ReadU32(block);
  in.Skip(block);  // fails, and fails every later read, when the block runs past the end
  in.ReadU32(word);
  CString skipped;
  for (int i = 0; i < 3; ++i) in.ReadString(skipped);
  CString description;
  in.ReadString(description);
  in.ReadString(skipped);
  if (in.Failed()) return {PreviewOutcome::kCutShort, {}};
  return {PreviewOutcome::kNewDescription, description};
}

PreviewHeader ReadFlatHeader(ArchiveReader& in) {
  int32_t version = 0;
  if (!in.ReadI32(version)) return {PreviewOutcome::kCutShort, {}};
  uint32_t word = 0;
  if (version >= kPtnFirstVersionWithExtraWord && version < kPtnFirstVersionArchive) in.ReadU32(word);
  if (version >= kFlatFirstVersionWithLateExtraWord) in.ReadU32(word);
  if (version < kFlatFirstVersionWithDescription) {
    if (in.Failed()) return {PreviewOutcome::kCutShort, {}};
    return {PreviewOutcome::kKeepDescription, {}};
  }
  // Reserved word, scale, sub-version, the filler words and the piece-block
  // offset; then the style's header texts: three skipped, the description,
  // and the fifth, which is read only as far as a short text goes.
  uint16_t half = 0;
  in.ReadU32(word);
  in.ReadU32(word);
  in.ReadU16(half);
  in.Skip(kHeaderWordBlock);
  in.ReadU32(word);
  if (in.Failed()) return {PreviewOutcome::kCutShort, {}};
  for (int i = 0; i < 3; ++i) {
    if (!ReadFlatText(in, nullptr)) return {PreviewOutcome::kCutShort, {}};
  }
  CString description;
  if (!ReadFlatText(in, &description) || !ReadFlatText(in, nullptr, kTrailingTextLimit)) {
    return {PreviewOutcome::kCutShort, {}};
  }
  // The text is shown as a C string: it ends at its first NUL byte.
  const std::string_view stored = description.view();
  const std::string shown(stored.substr(0, std::min(stored.find('\0'), stored.size())));
  return {PreviewOutcome::kNewDescription, CString(shown)};
}

}  // namespace

PreviewHeader ReadPreviewHeader(std::string_view headerBytes) {
  if (headerBytes.size() > kPreviewReadLimit) headerBytes = headerBytes.substr(0, kPreviewReadLimit);
  ArchiveReader in(headerBytes);
  uint32_t magic = 0;
  if (!in.ReadU32(magic)) return {PreviewOutcome::kNotNative, {}};
  if (magic == kPtnMagicArchive || magic == kPtnMagicArchiveOld) return ReadArchiveHeader(in);
  if (magic == kPtnMagicFlat || magic == kPtnMagicFlatAlias || magic == kPtnMagicOldFlat) {
    return ReadFlatHeader(in);
  }
  return {PreviewOutcome::kNotNative, {}};
}

bool ReadPreviewBytes(const CString& path, std::string& bytes) {
  bytes.clear();
  CFile file;
  if (!file.Open(path, CFile::Mode::kRead)) return false;
  bytes.resize(kPreviewReadLimit);
  size_t filled = 0;
  while (filled < bytes.size()) {
    const size_t got = file.ReadUpTo(bytes.data() + filled, bytes.size() - filled);
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return true;
}
