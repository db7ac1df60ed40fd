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
#include <utility>
#include <vector>

#include "platform/text.h"

// Reads values from a buffer of archive bytes. Every read is checked against
// the bytes left: a read that does not fit fails, leaves its output zero (or
// empty), and sets the sticky failure flag, after which every further read
// fails too. A length or count from the file is never used to allocate more
// than what is left in the buffer.
class ArchiveReader {
 public:
  explicit ArchiveReader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  bool ReadU8(uint8_t& value);
  bool ReadU16(uint16_t& value);
  bool ReadU32(uint32_t& value);
  bool ReadI32(int32_t& value);
  bool ReadDouble(double& value);
  // Copies the next `count` bytes into `buffer`; zero-fills it on failure.
  bool ReadBytes(void* buffer, size_t count);
  bool Skip(size_t count);
  // A counted string; on failure `text` is empty.
  bool ReadString(CString& text);

  // Checks, before anything is allocated per entry, that `count` entries of
  // at least `min_record_bytes` each can still be in the buffer. A count of 0
  // or less means no entries and passes. A count that cannot fit fails and
  // sets the failure flag.
  bool CheckCount(int64_t count, size_t min_record_bytes);

  bool Failed() const { return failed_; }
  size_t Position() const { return position_; }
  size_t Remaining() const { return bytes_.size() - position_; }
  size_t Size() const { return bytes_.size(); }

 private:
  // The next `count` bytes, or null (and the failure flag set) when fewer are
  // left or the reader has failed before.
  const uint8_t* Take(size_t count);

  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
  bool failed_ = false;
};

// Builds archive bytes in memory; the caller writes them out with
// WriteWholeFile (platform/binary_file.h).
class ArchiveWriter {
 public:
  void WriteU8(uint8_t value);
  void WriteU16(uint16_t value);
  void WriteU32(uint32_t value);
  void WriteI32(int32_t value);
  void WriteDouble(double value);
  void WriteBytes(const void* data, size_t count);
  // Uses the shortest length prefix, as the original framework did.
  void WriteString(const CString& text);

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};
