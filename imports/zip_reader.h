// Reading ZIP archives: the Gerber import unpacks a zipped set of Gerber
// export files into its work folder with this reader.
//
// The reader lists the entries of an archive (its end record, central
// directory and local headers), gives each entry's information and name, and
// delivers an entry's data, stored or deflated, checking the entry's CRC-32
// once every byte of it has been delivered. It never writes into archives.
//
// Unlike every other reader of the program, this one reports errors by
// throwing: a file that does not open throws CFileException, every other
// failure CZipException, both by value. After any throw the reader stays
// usable for Close() and destruction, and leaks nothing.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <unordered_set>

#include "platform/binary_file.h"
#include "platform/text.h"

// A file of the archive could not be opened: the file layer's failure.
class CFileException : public std::runtime_error {
 public:
  CFileException(const CString& fileName, int osError)
      : std::runtime_error("file cannot be opened"), m_strFileName(fileName), m_lOsError(osError) {}

  CString m_strFileName;  // the path that was opened
  int m_lOsError;         // errno of the failed open
};

// A failure of the zip reader: a damaged or foreign archive, a call out of
// order, a failing inflate or a CRC-32 that does not match.
class CZipException : public std::runtime_error {
 public:
  // The reader's own codes; zlib's results (Z_BUF_ERROR ...) are thrown as
  // codes too.
  enum Code {
    kBadCrc = -105,      // a fully read entry's CRC-32 differs
    kBadArchive = -103,  // not a zip archive, or a damaged one
    kWrongCall = -102,   // no current or no open entry, name too long
  };
  // What went wrong, as the caller tests it.
  enum Cause {
    generic = 1,
    streamEnd = 2,
    needDict = 3,
    errNo = 4,
    streamError = 5,
    dataError = 6,
    memError = 7,
    bufError = 8,
    versionError = 9,
    badFuncParam = 10,
    badZipFile = 11,
    badCrc = 12,
  };

  CZipException(int cause, const CString& path, bool flag)
      : std::runtime_error("zip archive error"), m_bFlag(flag), m_szFileName(path), m_iCause(cause) {}

  // The cause for a reader code or a zlib result.
  static int CauseFromCode(int code);
  // Throws the exception for `code`, naming `path` (empty when the archive is
  // not open).
  [[noreturn]] static void ThrowFromCode(int code, const CString& path, bool flag);

  bool m_bFlag;           // the reader's exception flag
  CString m_szFileName;   // the archive; empty when it was not open
  int m_iCause;
};

// The information of one entry as its central directory header holds it.
struct CZipEntryInfo {
  uint32_t version_made_by = 0;
  uint32_t version_needed = 0;
  uint32_t flags = 0;
  uint32_t compression_method = 0;
  uint32_t dos_date_time = 0;  // date in the high 16 bits, time in the low 16
  uint32_t crc = 0;
  uint32_t compressed_size = 0;
  uint32_t uncompressed_size = 0;
  uint32_t name_length = 0;
  uint32_t extra_field_length = 0;
  uint32_t comment_length = 0;
  uint32_t disk_number_start = 0;
  uint32_t internal_attributes = 0;
  uint32_t external_attributes = 0;
  // The modification time, the DOS date and time read as local time with the
  // daylight-saving rule left to the C runtime.
  time_t modified = 0;
};

// The archive's count of entries and the length of its comment.
struct CZipGlobalInfo {
  uint32_t entry_count = 0;
  uint32_t comment_length = 0;
};

// What is needed to deliver the data of the one open entry.
struct CZipReadState;

// The root of the reader: the blocks that zlib allocates through the reader
// are recorded while tracking is on, and the destructor frees any left.
class CZipReaderBase {
 public:
  CZipReaderBase() = default;
  virtual ~CZipReaderBase();
  CZipReaderBase(const CZipReaderBase&) = delete;
  CZipReaderBase& operator=(const CZipReaderBase&) = delete;

  // zlib's allocation functions; `opaque` is the reader's block list while
  // tracking is on, else null.
  static voidpf ZAlloc(voidpf opaque, uInt items, uInt size);
  static void ZFree(voidpf opaque, voidpf address);

 protected:
  // Throws the CZipException for `code`, naming the archive while it is open.
  [[noreturn]] void ThrowError(int code) const;
  // Throws for every zlib result but Z_OK and Z_NEED_DICT.
  void CheckZlibResult(int result) const;

  bool m_bDetectZlibMemoryLeaks = true;
  std::unordered_set<void*> m_list;  // zlib blocks not yet freed
  CFile* m_pFile = nullptr;
  bool m_bExceptionFlag = true;
};

// Reads one archive at a time; not copyable. Every operation but the
// constructor without a path and the destructor may throw; Close() throws
// only the CRC mismatch of an entry read to its end and not yet closed,
// after closing the file.
class CZipReader : public CZipReaderBase {
 public:
  CZipReader();
  // Constructs, then Open(path).
  explicit CZipReader(const CString& path);
  ~CZipReader() override;

  // Opens the archive, reads its end record and makes the first entry
  // current. Does nothing when an archive is already open. On a throw the
  // file is closed again.
  void Open(const CString& path);
  // Closes an open entry (with its CRC check) and the file; does nothing when
  // no archive is open. The file is closed even when the CRC check throws.
  void Close();
  bool IsOpen() const;

  void GoToFirstEntry();
  // False, and the current entry unchanged, when no entry is current or the
  // current one is the last.
  bool GoToNextEntry();

  // Reads the current entry's central directory header again and fills what
  // is asked for (each may be null); the name, extra field and comment are
  // bytes of any length.
  void GetEntryInfo(CZipEntryInfo* info, CString* name = nullptr, CString* extra = nullptr,
                    CString* comment = nullptr);
  // Makes the first entry named `name` current; when none is, the entry that
  // was current stays so and the result is false. A name of 256 bytes or more
  // throws cause 10.
  bool LocateEntry(const CString& name, bool caseSensitive);

  // Prepares the current entry's data for reading; an entry still open is
  // closed first, with its CRC check.
  void OpenEntry();
  // Delivers up to `count` next bytes of the open entry; 0 when it is used up
  // (or `count` is 0). An entry whose data ends before its declared size
  // throws cause 11 (stored) or 8 (deflated data cut short).
  uint32_t ReadEntry(void* buffer, uint32_t count);
  // Drops the open entry. When every byte was delivered and the CRC-32 does
  // not match, throws cause 12 after dropping it. Nothing open: nothing.
  void CloseEntry();

  // The open entry's local extra field.
  CString GetLocalExtraField();
  CZipGlobalInfo GetGlobalInfo() const;
  // The archive comment (needs an open entry, as the original reader did).
  CString GetGlobalComment();
  // Uncompressed bytes delivered so far of the open entry.
  uint32_t Tell() const;
  // True when every uncompressed byte of the open entry has been delivered.
  bool IsEndOfEntry() const;

  // Closes `file`, an entry just extracted, and gives it the entry's
  // modification time. The entry's external attributes are not applied:
  // archives made on Unix keep mode bits there, set-user-id included, and an
  // extracted file keeps ordinary permissions. False when the close (writing
  // out the file) failed or the time could not be set.
  static bool SetFileTime(CFile& file, const CZipEntryInfo& info);

 private:
  int64_t FindEndRecord();
  void ReadEntryHeader(CZipEntryInfo& info, uint32_t& localOffset, CString* name, CString* extra,
                       CString* comment);
  // Checks the current entry's local header against its central directory
  // header; gives the local extra field's length and where the data starts.
  void CheckLocalHeader(uint32_t& extraLength, uint64_t& dataOffset);
  // Reads exactly `count` bytes at `offset`; a short read is a damaged archive.
  void ReadAt(uint64_t offset, void* buffer, size_t count);
  // Drops the open entry's state without any check.
  void DropReadState();
  const CZipReadState& OpenState() const;

  CFile m_file;  // the archive
  uint32_t m_entryCount = 0;
  uint32_t m_commentLength = 0;
  uint64_t m_bytesBeforeZip = 0;
  uint32_t m_currentIndex = 0;
  uint64_t m_currentPosition = 0;
  bool m_currentValid = false;
  int64_t m_endRecordPosition = 0;
  int64_t m_fileLength = 0;
  uint32_t m_centralSize = 0;
  uint32_t m_centralOffset = 0;
  CZipEntryInfo m_currentInfo;
  uint32_t m_localHeaderOffset = 0;
  std::unique_ptr<CZipReadState> m_readState;
};
