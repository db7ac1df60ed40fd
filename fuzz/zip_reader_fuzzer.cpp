// Fuzzes the zip archive reader: the whole input is the archive, written to
// a temporary file (the reader reads files), then listed, every entry opened
// and read to its end and closed, as the Gerber import unpacks it. Failures
// must be CZipException; anything else escaping, a crash, a hang or a leak is
// a fault.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imports/zip_reader.h"

namespace {

// Inflating can multiply the input a thousandfold and many central headers
// may share one local header; the fuzzer stops reading after this much.
constexpr uint64_t kMaxDelivered = 8u << 20;

std::string WriteTemporary(const uint8_t* data, size_t size) {
  const char* folder = getenv("TMPDIR");
  std::string path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/zip_fuzz_XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) __builtin_trap();
  size_t written = 0;
  while (written < size) {
    const ssize_t n = write(fd, data + written, size - written);
    if (n <= 0) __builtin_trap();
    written += static_cast<size_t>(n);
  }
  close(fd);
  return path;
}

void ReadArchive(CZipReader& reader, const CString& path) {
  reader.Open(path);
  uint64_t delivered = 0;
  std::vector<char> buffer(2048);
  bool first = true;
  do {
    CZipEntryInfo info;
    CString name;
    CString extra;
    CString comment;
    reader.GetEntryInfo(&info, &name, &extra, &comment);
    if (name.GetLength() != static_cast<int>(info.name_length)) __builtin_trap();
    if (first && name.GetLength() < 256) {
      first = false;
      reader.LocateEntry(name, false);
    }
    try {
      reader.OpenEntry();
      reader.GetLocalExtraField();
      reader.GetGlobalComment();
      uint32_t got = 0;
      uint32_t total = 0;
      do {
        got = reader.ReadEntry(buffer.data(), static_cast<uint32_t>(buffer.size()));
        if (got > buffer.size()) __builtin_trap();
        total += got;
        delivered += got;
      } while (got != 0 && delivered < kMaxDelivered);
      if (reader.Tell() != total) __builtin_trap();
      if (delivered < kMaxDelivered && (total != info.uncompressed_size || !reader.IsEndOfEntry())) __builtin_trap();
      reader.CloseEntry();
    } catch (const CZipException&) {
      // A damaged entry: go on with the next, as a lister would.
    }
  } while (delivered < kMaxDelivered && reader.GoToNextEntry());
  reader.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = WriteTemporary(data, size);
  {
    CZipReader reader;
    try {
      ReadArchive(reader, CString(path.c_str()));
    } catch (const CZipException& e) {
      if (e.m_iCause < 1 || e.m_iCause > 12) __builtin_trap();
    }
    // Closing checks the CRC of an entry read to its end and not yet
    // closed; the file is closed all the same.
    try {
      reader.Close();
    } catch (const CZipException& e) {
      if (e.m_iCause != CZipException::badCrc) __builtin_trap();
    }
    if (reader.IsOpen()) __builtin_trap();
  }
  unlink(path.c_str());
  return 0;
}
