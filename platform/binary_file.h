// Binary files: the pattern files, "kov.dat", Gerber catalogues and data
// files, zip archives and the files extracted from them.
//
// Paths are CString byte strings (GBK as the user typed or picked them) and go
// to the operating system unchanged. Every read of a field asks for an exact
// number of bytes: a short read is a failure, never half a value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "platform/text.h"

// One open file, closed by the destructor. Not copyable; movable.
//
// Reads and writes are buffered; Close() (and Sync()) push the buffer to the
// system and report whether that worked, so a full disk shows up as a failed
// Close() even when every Write() seemed to succeed. The destructor closes a
// file that is still open but cannot report: writers call Close() themselves.
class CFile {
 public:
  enum class Mode {
    kRead,             // an existing file, read only
    kWrite,            // created or emptied, write only
    kReadWrite,        // an existing file, read and write, not emptied
    kCreateReadWrite,  // created or emptied, read and write
    kCreateNew,        // created, read and write; fails when the path exists
  };
  enum class SeekFrom { kBegin, kCurrent, kEnd };

  CFile() = default;
  ~CFile();
  CFile(CFile&& other) noexcept;
  CFile& operator=(CFile&& other) noexcept;
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens `path`; a file already open is closed first (its result dropped).
  // Folders are refused. The descriptor is not inherited by programs started
  // later (the external converter).
  bool Open(const CString& path, Mode mode);
  bool IsOpen() const { return stream_ != nullptr; }
  const CString& GetFilePath() const { return path_; }

  // Reads exactly `count` bytes. On a short read or an error returns false and
  // zero-fills `buffer`, so nothing half-read is ever used by mistake; the
  // position is then unspecified.
  bool Read(void* buffer, size_t count);
  // Reads up to `count` bytes and returns how many were read (0 at the end of
  // the file or on an error); for copying data of unknown length.
  size_t ReadUpTo(void* buffer, size_t count);
  bool Write(const void* data, size_t count);

  bool Seek(int64_t offset, SeekFrom from);
  bool SeekToBegin() { return Seek(0, SeekFrom::kBegin); }
  // Current position, or -1 when the file is not open.
  int64_t GetPosition();
  // Length in bytes including everything written so far, or -1.
  int64_t GetLength();

  // Pushes written data to the disk (flush and fsync).
  bool Sync();
  // Closes the file. False when the file was not open or when writing out the
  // buffered data or closing failed: what was written may then be incomplete.
  bool Close();

  // errno of the last failed operation, 0 when none failed.
  int LastError() const { return last_error_; }

 private:
  enum class LastOp { kNone, kRead, kWrite };
  // Streams need a seek between reading and writing; this inserts it.
  bool SwitchTo(LastOp op);
  bool Fail(int error);

  FILE* stream_ = nullptr;
  CString path_;
  LastOp last_op_ = LastOp::kNone;
  bool write_failed_ = false;
  int last_error_ = 0;
};

// Writes a file so that it is either completely replaced or left as it was:
// the data goes to a temporary file beside the target, and only Commit(),
// after every write, the flush to disk and the close have succeeded, renames
// it over the target. On any failure, and when the writer is destroyed or
// abandoned without a successful Commit(), the temporary file is removed and
// the target is untouched. A target that is a symbolic link stays a link: the
// file it points to is replaced. A replaced file keeps its permission bits.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file for `target`. False when the target's folder
  // does not exist or cannot be written.
  bool Open(const CString& target);
  bool IsOpen() const { return file_.IsOpen(); }

  // Writes to the temporary file. A failed write makes Commit() fail.
  bool Write(const void* data, size_t count);
  // The temporary file itself, open for reading and writing, for writers that
  // seek back to fill in an offset. Failures seen through it are noticed by
  // Commit() when the file's buffered data cannot be written out; callers
  // that write through it check each result themselves.
  CFile& File() { return file_; }

  // Flushes, syncs and closes the temporary file, which then waits, whole,
  // for Commit() to put it in place. True only when all of it succeeded and
  // no earlier Write() failed; on failure the temporary file is removed.
  // Calling it again after it succeeded does nothing and returns true.
  bool Finish();
  // Finishes (unless Finish() already did) and renames into place. True only
  // when all of it succeeded and no earlier Write() failed.
  bool Commit();
  // Drops what was written and removes the temporary file.
  void Abandon();

  const CString& TargetPath() const { return target_; }
  const CString& TemporaryPath() const { return temporary_; }

 private:
  CFile file_;
  CString target_;
  CString temporary_;
  bool failed_ = false;
  bool finished_ = false;  // the temporary file is whole and closed
};

// Puts several files in place as one save: every writer is finished first,
// and only when all of them were written out whole are they renamed into
// place, one after the other in the order given. When any of them fails
// before the renames, no target changes and every temporary file is removed.
// A rename that fails after an earlier one succeeded cannot take the earlier
// one back: the rest are abandoned and the result is false, so callers put
// first the file whose rename is the more likely to fail. Writers that are
// not open make it fail.
bool CommitTogether(std::initializer_list<AtomicFileWriter*> writers);

enum class FileReadStatus { kOk, kCannotOpen, kTooLarge, kReadError };

// Reads a whole file of at most `max_bytes` into `bytes`. On any status but
// kOk `bytes` is empty; a larger file is refused before anything is allocated.
FileReadStatus ReadWholeFile(const CString& path, size_t max_bytes, std::vector<uint8_t>& bytes);

// Replaces `path` with `bytes` through AtomicFileWriter.
bool WriteWholeFile(const CString& path, const void* data, size_t count);
inline bool WriteWholeFile(const CString& path, const std::vector<uint8_t>& bytes) {
  return WriteWholeFile(path, bytes.data(), bytes.size());
}
