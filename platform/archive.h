// The archive layout of the native pattern files: values packed one after the
// other, little-endian, and texts in the counted-string format of the original
// framework:
//   length < 0xFF:        one byte length, then the bytes
//   length < 0xFFFF:      0xFF, a 16-bit length, then the bytes
//   otherwise:            0xFF, 0xFFFF, a 32-bit length, then the bytes
// Texts are GBK bytes, with no terminator, kept exactly as stored.
//
// Files of this layout are small, so the whole file is read into memory first
// and the reader works on that buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/byte_cursor.h"
#include "platform/byte_writer.h"
#include "platform/geometry_types.h"
#include "platform/text.h"

// The bytes an ArchiveReader holds itself; a base of it, so that they are
// in place before the cursor over them is made.
struct ArchiveReaderStorage {
  std::vector<uint8_t> held;
};

// Reads values from archive bytes, held by the reader (moved in) or viewed
// in place. The reads and their bounds are those of ByteCursor; ReadString
// reads the counted-string form above.
class ArchiveReader : private ArchiveReaderStorage, public ByteCursor {
 public:
  explicit ArchiveReader(std::vector<uint8_t> bytes)
      : ArchiveReaderStorage{std::move(bytes)},
        ByteCursor(std::string_view(reinterpret_cast<const char*>(held.data()), held.size())) {}
  // The bytes are not copied: they must outlive the reader.
  explicit ArchiveReader(std::string_view bytes) : ByteCursor(bytes) {}
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // A counted string; on failure `text` is empty.
  bool ReadString(CString& text);
  // A font record: five int32 (height, width, escapement, orientation,
  // weight), eight bytes (italic, underline, strike-out, character set,
  // output precision, clip precision, quality, pitch and family), then the
  // face name as a counted string. A face name longer than a LOGFONT holds
  // with its terminator is cut at 31 bytes, on a GBK character boundary.
  // On failure `font` is left as it was.
  bool ReadFont(LOGFONT& font);
};

// Builds archive bytes in memory; the caller writes them out with
// WriteWholeFile (platform/binary_file.h).
class ArchiveWriter : public ByteWriter {
 public:
  // Uses the shortest length prefix, as the original framework did.
  void WriteString(const CString& text);
};
