// A bounded little-endian reader over bytes held elsewhere: the binary files
// (native pattern files and their header preview, the archive layout) are
// read into memory whole and then taken apart field by field through it.
//
// Every read takes its field whole or fails: a read that does not fit in the
// bytes left fails, leaves its output zero (or empty) and sets the sticky
// failure flag, after which every further read fails too. A length or count
// from the file is never used to allocate more than the bytes left hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/text.h"

// Bytes loaded into a vector, seen as the view a cursor reads.
inline std::string_view ByteView(const std::vector<uint8_t>& bytes) {
  return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

class ByteCursor {
 public:
  // The bytes are not copied: they must outlive the cursor.
  explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}

  bool ReadU8(uint8_t& value);
  bool ReadU16(uint16_t& value);
  bool ReadU32(uint32_t& value);
  bool ReadI32(int32_t& value);
  bool ReadDouble(double& value);
  // Copies the next `count` bytes into `buffer`; zero-fills it on failure.
  bool ReadBytes(void* buffer, size_t count);
  bool Skip(size_t count);
  // Moves to an absolute offset; an offset past the end fails.
  bool Seek(size_t offset);
  // A text stored as an int32 byte count and that many bytes, kept as they
  // are. A count of 0 or less is an empty text and reads no bytes; a count
  // larger than what is left fails before anything is allocated. `count`,
  // when given, gets the stored count.
  bool ReadCountedText(CString& text, int32_t* count = nullptr);

  // Whether `count` records of at least `recordBytes` each can still be in
  // the bytes left; a count of 0 or less always can. A count that cannot
  // fails the cursor: the caller stops there, before it makes anything from
  // it.
  bool CheckCount(int64_t count, size_t recordBytes);

  bool Failed() const { return failed_; }
  size_t Position() const { return position_; }
  size_t Remaining() const { return bytes_.size() - position_; }
  size_t Size() const { return bytes_.size(); }

 protected:
  // The next `count` bytes, or null (and the failure flag set) when fewer are
  // left or the cursor has failed before.
  const char* Take(size_t count);

 private:
  std::string_view bytes_;
  size_t position_ = 0;
  bool failed_ = false;
};
