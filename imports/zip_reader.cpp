#include "imports/zip_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/file_system.h"

namespace {

constexpr uint32_t kEndRecordSignature = 0x06054b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;
// The end record lies within the last 64 KiB: it is followed by at most its
// comment, whose length is a 16-bit field.
constexpr int64_t kMaxEndRecordDistance = 65535;
constexpr size_t kSearchWindow = 1028;
constexpr uint32_t kInputBufferSize = 16384;
constexpr uint32_t kMethodStored = 0;
constexpr uint32_t kMethodDeflated = 8;
// Flag bit 3: the CRC and sizes follow the data, so the local header may
// hold zeros for them.
constexpr uint32_t kFlagDataDescriptor = 8;
// Names longer than this are refused by LocateEntry.
constexpr int kMaxLocateName = 256;

uint32_t Le16(const uint8_t* p) { return p[0] | (static_cast<uint32_t>(p[1]) << 8); }
uint32_t Le32(const uint8_t* p) { return Le16(p) | (Le16(p + 2) << 16); }

// The DOS date and time of an entry as local time; fields out of range are
// carried over by mktime as it does for any calendar date.
time_t DosTimeToTime(uint32_t dosDateTime) {
  const uint32_t date = dosDateTime >> 16;
  const uint32_t time = dosDateTime & 0xFFFF;
  std::tm tm{};
  tm.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
  tm.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
  tm.tm_mday = static_cast<int>(date & 0x1F);
  tm.tm_hour = static_cast<int>((time >> 11) & 0x1F);
  tm.tm_min = static_cast<int>((time >> 5) & 0x3F);
  tm.tm_sec = static_cast<int>(time & 0x1F) * 2;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

}  // namespace

// One open entry: its input buffer, the inflate stream and where its data is.
struct CZipReadState {
  CZipReadState() : buffer(kInputBufferSize) {}
  ~CZipReadState() {
    if (streamInitialised) inflateEnd(&stream);
  }
  CZipReadState(const CZipReadState&) = delete;
  CZipReadState& operator=(const CZipReadState&) = delete;

  std::vector<uint8_t> buffer;
  z_stream stream{};
  uint64_t dataPosition = 0;  // next unread compressed byte, relative to the archive
  bool streamInitialised = false;
  uint64_t extraOffset = 0;
  uint32_t extraLength = 0;
  uint32_t extraReadPosition = 0;
  uint32_t crc = 0;
  uint32_t expectedCrc = 0;
  uint32_t compressedLeft = 0;
  uint32_t uncompressedLeft = 0;
  uint32_t delivered = 0;
  uint32_t method = 0;
  uint64_t bytesBeforeZip = 0;
};

// --- CZipException -------------------------------------------------------------

int CZipException::CauseFromCode(int code) {
  switch (code) {
    case kBadCrc: return badCrc;
    case kBadArchive: return badZipFile;
    case kWrongCall: return badFuncParam;
    case Z_VERSION_ERROR: return versionError;
    case Z_BUF_ERROR: return bufError;
    case Z_MEM_ERROR: return memError;
    case Z_DATA_ERROR: return dataError;
    case Z_STREAM_ERROR: return streamError;
    case Z_ERRNO: return errNo;
    case Z_STREAM_END: return streamEnd;
    case Z_NEED_DICT: return needDict;
    default: return generic;
  }
}

void CZipException::ThrowFromCode(int code, const CString& path, bool flag) {
  throw CZipException(CauseFromCode(code), path, flag);
}

// --- CZipReaderBase ------------------------------------------------------------

CZipReaderBase::~CZipReaderBase() {
  for (void* block : m_list) std::free(block);
}

voidpf CZipReaderBase::ZAlloc(voidpf opaque, uInt items, uInt size) {
  if (size != 0 && items > SIZE_MAX / size) return Z_NULL;
  void* block = std::malloc(static_cast<size_t>(items) * size);
  if (block != nullptr && opaque != nullptr) {
    try {
      static_cast<std::unordered_set<void*>*>(opaque)->insert(block);
    } catch (...) {
      std::free(block);
      return Z_NULL;
    }
  }
  return block;
}

void CZipReaderBase::ZFree(voidpf opaque, voidpf address) {
  if (opaque != nullptr) static_cast<std::unordered_set<void*>*>(opaque)->erase(address);
  std::free(address);
}

void CZipReaderBase::ThrowError(int code) const {
  const CString path = m_pFile != nullptr && m_pFile->IsOpen() ? m_pFile->GetFilePath() : CString();
  CZipException::ThrowFromCode(code, path, m_bExceptionFlag);
}

void CZipReaderBase::CheckZlibResult(int result) const {
  if (result != Z_OK && result != Z_NEED_DICT) ThrowError(result);
}

// --- CZipReader: opening and closing -----------------------------------------------

CZipReader::CZipReader() {
  m_pFile = &m_file;
  m_bExceptionFlag = false;
}

CZipReader::CZipReader(const CString& path) : CZipReader() { Open(path); }

CZipReader::~CZipReader() {
  DropReadState();
  m_file.Close();
}

bool CZipReader::IsOpen() const { return m_file.IsOpen(); }

void CZipReader::Open(const CString& path) {
  if (m_file.IsOpen()) return;
  if (!m_file.Open(path, CFile::Mode::kRead)) {
    throw CFileException(path, m_file.LastError() != 0 ? m_file.LastError() : errno);
  }
  try {
    m_fileLength = m_file.GetLength();
    m_endRecordPosition = FindEndRecord();
    uint8_t record[kEndRecordSize];
    ReadAt(static_cast<uint64_t>(m_endRecordPosition), record, sizeof record);
    const uint32_t disk = Le16(record + 4);
    const uint32_t centralDisk = Le16(record + 6);
    m_entryCount = Le16(record + 8);
    const uint32_t totalEntries = Le16(record + 10);
    m_centralSize = Le32(record + 12);
    m_centralOffset = Le32(record + 16);
    m_commentLength = Le16(record + 20);
    if (disk != 0 || centralDisk != 0 || totalEntries != m_entryCount) ThrowError(CZipException::kBadArchive);
    const uint64_t centralEnd = static_cast<uint64_t>(m_centralOffset) + m_centralSize;
    if (static_cast<uint64_t>(m_endRecordPosition) < centralEnd) ThrowError(CZipException::kBadArchive);
    m_bytesBeforeZip = static_cast<uint64_t>(m_endRecordPosition) - centralEnd;
    GoToFirstEntry();
  } catch (...) {
    m_currentValid = false;
    m_file.Close();
    throw;
  }
}

void CZipReader::Close() {
  if (!m_file.IsOpen()) return;
  try {
    CloseEntry();
  } catch (...) {
    m_currentValid = false;
    m_file.Close();
    throw;
  }
  m_currentValid = false;
  m_file.Close();
}

int64_t CZipReader::FindEndRecord() {
  const int64_t size = m_fileLength;
  if (size < 0) ThrowError(CZipException::kBadArchive);
  const int64_t maxBack = std::min<int64_t>(size, kMaxEndRecordDistance);
  std::vector<uint8_t> window(kSearchWindow);
  int64_t back = 4;
  int64_t found = 0;
  while (back < maxBack && found == 0) {
    back = std::min<int64_t>(back + (kSearchWindow - 4), maxBack);
    const int64_t readPosition = size - back;
    const size_t length = static_cast<size_t>(std::min<int64_t>(kSearchWindow, size - readPosition));
    ReadAt(static_cast<uint64_t>(readPosition), window.data(), length);
    for (size_t i = length - 3; i-- > 0;) {
      if (Le32(&window[i]) == kEndRecordSignature) {
        found = readPosition + static_cast<int64_t>(i);
        break;
      }
    }
  }
  // An end record at the very start of the file stands for an archive with
  // no entries, which the import refuses like any other useless file.
  if (found == 0) ThrowError(CZipException::kBadArchive);
  return found;
}

void CZipReader::ReadAt(uint64_t offset, void* buffer, size_t count) {
  if (offset > static_cast<uint64_t>(INT64_MAX) || !m_file.Seek(static_cast<int64_t>(offset), CFile::SeekFrom::kBegin) ||
      !m_file.Read(buffer, count)) {
    ThrowError(CZipException::kBadArchive);
  }
}

// --- Entries ---------------------------------------------------------------------

void CZipReader::GoToFirstEntry() {
  if (!m_file.IsOpen()) ThrowError(CZipException::kWrongCall);
  m_currentValid = false;
  m_currentPosition = m_centralOffset;
  m_currentIndex = 0;
  ReadEntryHeader(m_currentInfo, m_localHeaderOffset, nullptr, nullptr, nullptr);
  m_currentValid = true;
}

bool CZipReader::GoToNextEntry() {
  if (!m_currentValid || m_currentIndex + 1 >= m_entryCount) return false;
  const uint64_t previousPosition = m_currentPosition;
  const CZipEntryInfo previousInfo = m_currentInfo;
  const uint32_t previousLocal = m_localHeaderOffset;
  m_currentPosition += kCentralHeaderSize + m_currentInfo.name_length + m_currentInfo.extra_field_length +
                       m_currentInfo.comment_length;
  try {
    ReadEntryHeader(m_currentInfo, m_localHeaderOffset, nullptr, nullptr, nullptr);
  } catch (...) {
    // A damaged next header leaves the entry that was current.
    m_currentPosition = previousPosition;
    m_currentInfo = previousInfo;
    m_localHeaderOffset = previousLocal;
    throw;
  }
  ++m_currentIndex;
  return true;
}

void CZipReader::ReadEntryHeader(CZipEntryInfo& info, uint32_t& localOffset, CString* name, CString* extra,
                                 CString* comment) {
  const uint64_t at = m_bytesBeforeZip + m_currentPosition;
  uint8_t header[kCentralHeaderSize];
  ReadAt(at, header, sizeof header);
  if (Le32(header) != kCentralHeaderSignature) ThrowError(CZipException::kBadArchive);
  CZipEntryInfo read;
  read.version_made_by = Le16(header + 4);
  read.version_needed = Le16(header + 6);
  read.flags = Le16(header + 8);
  read.compression_method = Le16(header + 10);
  read.dos_date_time = Le32(header + 12);
  read.crc = Le32(header + 16);
  read.compressed_size = Le32(header + 20);
  read.uncompressed_size = Le32(header + 24);
  read.name_length = Le16(header + 28);
  read.extra_field_length = Le16(header + 30);
  read.comment_length = Le16(header + 32);
  read.disk_number_start = Le16(header + 34);
  read.internal_attributes = Le16(header + 36);
  read.external_attributes = Le32(header + 38);
  read.modified = DosTimeToTime(read.dos_date_time);
  const uint32_t local = Le32(header + 42);

  // Each variable part is read from its own place, whether or not the parts
  // before it were asked for; each is at most 64 KiB, checked against the
  // file before it is allocated.
  auto readPart = [&](CString* out, uint64_t offset, uint32_t length) {
    if (out == nullptr) return;
    if (offset + length > static_cast<uint64_t>(m_fileLength)) ThrowError(CZipException::kBadArchive);
    std::string bytes(length, '\0');
    if (length != 0) ReadAt(offset, bytes.data(), length);
    *out = CString(std::move(bytes));
  };
  const uint64_t nameAt = at + kCentralHeaderSize;
  readPart(name, nameAt, read.name_length);
  readPart(extra, nameAt + read.name_length, read.extra_field_length);
  readPart(comment, nameAt + read.name_length + read.extra_field_length, read.comment_length);
  info = read;
  localOffset = local;
}

void CZipReader::GetEntryInfo(CZipEntryInfo* info, CString* name, CString* extra, CString* comment) {
  if (!m_currentValid) ThrowError(CZipException::kWrongCall);
  CZipEntryInfo read;
  uint32_t local = 0;
  ReadEntryHeader(read, local, name, extra, comment);
  if (info != nullptr) *info = read;
}

bool CZipReader::LocateEntry(const CString& name, bool caseSensitive) {
  if (name.GetLength() >= kMaxLocateName) ThrowError(CZipException::kWrongCall);
  if (!m_currentValid) return false;
  const uint32_t rememberedIndex = m_currentIndex;
  const uint64_t rememberedPosition = m_currentPosition;
  auto restore = [&] {
    m_currentIndex = rememberedIndex;
    m_currentPosition = rememberedPosition;
    ReadEntryHeader(m_currentInfo, m_localHeaderOffset, nullptr, nullptr, nullptr);
    m_currentValid = true;
  };
  try {
    GoToFirstEntry();
    do {
      CString entryName;
      GetEntryInfo(nullptr, &entryName);
      const int compared = caseSensitive ? entryName.Compare(name.view()) : entryName.CompareNoCase(name.view());
      if (compared == 0) return true;
    } while (GoToNextEntry());
  } catch (...) {
    m_currentIndex = rememberedIndex;
    m_currentPosition = rememberedPosition;
    m_currentValid = false;
    throw;
  }
  restore();
  return false;
}

void CZipReader::CheckLocalHeader(uint32_t& extraLength, uint64_t& dataOffset) {
  uint8_t header[kLocalHeaderSize];
  ReadAt(m_bytesBeforeZip + m_localHeaderOffset, header, sizeof header);
  if (Le32(header) != kLocalHeaderSignature) ThrowError(CZipException::kBadArchive);
  const uint32_t flags = Le16(header + 6);
  const uint32_t method = Le16(header + 8);
  const CZipEntryInfo& central = m_currentInfo;
  if (method != central.compression_method || (method != kMethodStored && method != kMethodDeflated)) {
    ThrowError(CZipException::kBadArchive);
  }
  if ((flags & kFlagDataDescriptor) == 0) {
    if (Le32(header + 14) != central.crc || Le32(header + 18) != central.compressed_size ||
        Le32(header + 22) != central.uncompressed_size) {
      ThrowError(CZipException::kBadArchive);
    }
  }
  if (Le16(header + 26) != central.name_length) ThrowError(CZipException::kBadArchive);
  extraLength = Le16(header + 28);
  dataOffset = static_cast<uint64_t>(m_localHeaderOffset) + kLocalHeaderSize + central.name_length + extraLength;
}

// --- Entry data --------------------------------------------------------------------

void CZipReader::OpenEntry() {
  if (!m_currentValid) ThrowError(CZipException::kWrongCall);
  if (m_readState) CloseEntry();
  uint32_t extraLength = 0;
  uint64_t dataOffset = 0;
  CheckLocalHeader(extraLength, dataOffset);
  auto state = std::make_unique<CZipReadState>();
  state->extraOffset = static_cast<uint64_t>(m_localHeaderOffset) + kLocalHeaderSize + m_currentInfo.name_length;
  state->extraLength = extraLength;
  state->expectedCrc = m_currentInfo.crc;
  state->method = m_currentInfo.compression_method;
  state->bytesBeforeZip = m_bytesBeforeZip;
  if (state->method != kMethodStored && state->method != kMethodDeflated) ThrowError(CZipException::kBadArchive);
  if (state->method == kMethodDeflated) {
    state->stream.zalloc = &CZipReaderBase::ZAlloc;
    state->stream.zfree = &CZipReaderBase::ZFree;
    state->stream.opaque = m_bDetectZlibMemoryLeaks ? static_cast<voidpf>(&m_list) : Z_NULL;
    // Negative window bits: raw deflate data, without a zlib header.
    const int result = inflateInit2(&state->stream, -MAX_WBITS);
    if (result == Z_OK) state->streamInitialised = true;
    CheckZlibResult(result);
  }
  state->compressedLeft = m_currentInfo.compressed_size;
  state->uncompressedLeft = m_currentInfo.uncompressed_size;
  state->dataPosition = dataOffset;
  m_readState = std::move(state);
}

uint32_t CZipReader::ReadEntry(void* buffer, uint32_t count) {
  if (!m_readState) ThrowError(CZipException::kWrongCall);
  if (count == 0 || buffer == nullptr) return 0;
  CZipReadState& s = *m_readState;
  uint8_t* out = static_cast<uint8_t*>(buffer);
  uint32_t space = std::min(count, s.uncompressedLeft);
  uint32_t deliveredNow = 0;
  while (space > 0) {
    if (s.stream.avail_in == 0 && s.compressedLeft > 0) {
      const uint32_t take = std::min(kInputBufferSize, s.compressedLeft);
      ReadAt(s.dataPosition + s.bytesBeforeZip, s.buffer.data(), take);
      s.dataPosition += take;
      s.compressedLeft -= take;
      s.stream.next_in = s.buffer.data();
      s.stream.avail_in = take;
    }
    if (s.method == kMethodStored) {
      // Stored data shorter than its declared size: the archive is damaged,
      // and the read must not wait for input that never comes.
      if (s.stream.avail_in == 0) ThrowError(CZipException::kBadArchive);
      const uint32_t copy = std::min(space, s.stream.avail_in);
      std::memcpy(out, s.stream.next_in, copy);
      s.crc = static_cast<uint32_t>(crc32(s.crc, out, copy));
      s.stream.next_in += copy;
      s.stream.avail_in -= copy;
      out += copy;
      space -= copy;
      s.uncompressedLeft -= copy;
      s.delivered += copy;
      deliveredNow += copy;
    } else {
      s.stream.next_out = out;
      s.stream.avail_out = space;
      const uLong before = s.stream.total_out;
      // Called even with no input left: inflate may still hold output, and
      // data cut short shows up as Z_BUF_ERROR.
      const int result = inflate(&s.stream, Z_SYNC_FLUSH);
      const uint32_t produced = static_cast<uint32_t>(s.stream.total_out - before);
      s.crc = static_cast<uint32_t>(crc32(s.crc, out, produced));
      out += produced;
      space -= produced;
      s.uncompressedLeft -= produced;
      s.delivered += produced;
      deliveredNow += produced;
      if (result == Z_STREAM_END) {
        // A complete deflate stream that delivers less than the declared
        // size: the sizes are wrong and the CRC could never be checked.
        if (s.uncompressedLeft != 0) ThrowError(CZipException::kBadArchive);
        break;
      }
      CheckZlibResult(result);
    }
  }
  return deliveredNow;
}

void CZipReader::CloseEntry() {
  if (!m_readState) return;
  const bool crcWrong = m_readState->uncompressedLeft == 0 && m_readState->crc != m_readState->expectedCrc;
  DropReadState();
  if (crcWrong) ThrowError(CZipException::kBadCrc);
}

void CZipReader::DropReadState() { m_readState.reset(); }

const CZipReadState& CZipReader::OpenState() const {
  if (!m_readState) ThrowError(CZipException::kWrongCall);
  return *m_readState;
}

CString CZipReader::GetLocalExtraField() {
  const CZipReadState& s = OpenState();
  const uint32_t length = s.extraLength - s.extraReadPosition;
  std::string bytes(length, '\0');
  if (length != 0) ReadAt(s.extraOffset + s.extraReadPosition + s.bytesBeforeZip, bytes.data(), length);
  return CString(std::move(bytes));
}

CZipGlobalInfo CZipReader::GetGlobalInfo() const {
  CZipGlobalInfo info;
  info.entry_count = m_entryCount;
  info.comment_length = m_commentLength;
  return info;
}

CString CZipReader::GetGlobalComment() {
  OpenState();
  std::string bytes(m_commentLength, '\0');
  if (m_commentLength != 0) {
    ReadAt(static_cast<uint64_t>(m_endRecordPosition) + kEndRecordSize, bytes.data(), m_commentLength);
  }
  return CString(std::move(bytes));
}

uint32_t CZipReader::Tell() const { return OpenState().delivered; }

bool CZipReader::IsEndOfEntry() const { return OpenState().uncompressedLeft == 0; }

bool CZipReader::SetFileTime(CFile& file, const CZipEntryInfo& info) {
  const CString path = file.GetFilePath();
  if (!file.Close()) return false;
  return SetFileModificationTime(path, info.modified);
}
