#include "platform/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

struct OpenFlags {
  int flags;
  const char* stream_mode;
};

OpenFlags FlagsFor(CFile::Mode mode) {
  switch (mode) {
    case CFile::Mode::kRead: return {O_RDONLY, "rb"};
    case CFile::Mode::kWrite: return {O_WRONLY | O_CREAT | O_TRUNC, "wb"};
    case CFile::Mode::kReadWrite: return {O_RDWR, "r+b"};
    case CFile::Mode::kCreateReadWrite: return {O_RDWR | O_CREAT | O_TRUNC, "w+b"};
    case CFile::Mode::kCreateNew: return {O_RDWR | O_CREAT | O_EXCL, "w+b"};
  }
  return {O_RDONLY, "rb"};
}

}  // namespace

CFile::~CFile() {
  if (stream_ != nullptr) std::fclose(stream_);
}

CFile::CFile(CFile&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)),
      path_(std::move(other.path_)),
      last_op_(other.last_op_),
      write_failed_(other.write_failed_),
      last_error_(other.last_error_) {}

CFile& CFile::operator=(CFile&& other) noexcept {
  if (this != &other) {
    if (stream_ != nullptr) std::fclose(stream_);
    stream_ = std::exchange(other.stream_, nullptr);
    path_ = std::move(other.path_);
    last_op_ = other.last_op_;
    write_failed_ = other.write_failed_;
    last_error_ = other.last_error_;
  }
  return *this;
}

bool CFile::Fail(int error) {
  last_error_ = error != 0 ? error : EIO;
  return false;
}

bool CFile::Open(const CString& path, Mode mode) {
  if (stream_ != nullptr) Close();
  path_ = path;
  last_op_ = LastOp::kNone;
  write_failed_ = false;
  last_error_ = 0;
  const OpenFlags how = FlagsFor(mode);
  const int fd = ::open(path.c_str(), how.flags | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(errno);
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return Fail(error);
  }
  stream_ = ::fdopen(fd, how.stream_mode);
  if (stream_ == nullptr) {
    const int error = errno;
    ::close(fd);
    return Fail(error);
  }
  return true;
}

bool CFile::SwitchTo(LastOp op) {
  if (last_op_ != LastOp::kNone && last_op_ != op) {
    if (::fseeko(stream_, 0, SEEK_CUR) != 0) return Fail(errno);
  }
  last_op_ = op;
  return true;
}

bool CFile::Read(void* buffer, size_t count) {
  if (count == 0) return stream_ != nullptr;
  if (stream_ == nullptr || !SwitchTo(LastOp::kRead)) {
    std::memset(buffer, 0, count);
    return stream_ == nullptr ? Fail(EBADF) : false;
  }
  const size_t got = std::fread(buffer, 1, count, stream_);
  if (got != count) {
    std::memset(buffer, 0, count);
    return Fail(std::ferror(stream_) ? errno : 0);
  }
  return true;
}

size_t CFile::ReadUpTo(void* buffer, size_t count) {
  if (stream_ == nullptr || count == 0 || !SwitchTo(LastOp::kRead)) return 0;
  const size_t got = std::fread(buffer, 1, count, stream_);
  if (got < count && std::ferror(stream_)) Fail(errno);
  return got;
}

bool CFile::Write(const void* data, size_t count) {
  if (stream_ == nullptr) return Fail(EBADF);
  if (count == 0) return true;
  if (!SwitchTo(LastOp::kWrite)) {
    write_failed_ = true;
    return false;
  }
  if (std::fwrite(data, 1, count, stream_) != count) {
    write_failed_ = true;
    return Fail(errno);
  }
  return true;
}

bool CFile::Seek(int64_t offset, SeekFrom from) {
  if (stream_ == nullptr) return Fail(EBADF);
  const int whence = from == SeekFrom::kBegin ? SEEK_SET : (from == SeekFrom::kCurrent ? SEEK_CUR : SEEK_END);
  if (::fseeko(stream_, static_cast<off_t>(offset), whence) != 0) return Fail(errno);
  last_op_ = LastOp::kNone;
  return true;
}

int64_t CFile::GetPosition() {
  if (stream_ == nullptr) return -1;
  const off_t position = ::ftello(stream_);
  if (position < 0) {
    Fail(errno);
    return -1;
  }
  return static_cast<int64_t>(position);
}

int64_t CFile::GetLength() {
  if (stream_ == nullptr) return -1;
  if (last_op_ == LastOp::kWrite && std::fflush(stream_) != 0) {
    write_failed_ = true;
    Fail(errno);
    return -1;
  }
  struct stat info;
  if (::fstat(::fileno(stream_), &info) != 0) {
    Fail(errno);
    return -1;
  }
  return static_cast<int64_t>(info.st_size);
}

bool CFile::Sync() {
  if (stream_ == nullptr) return Fail(EBADF);
  if (std::fflush(stream_) != 0) {
    write_failed_ = true;
    return Fail(errno);
  }
  if (::fsync(::fileno(stream_)) != 0 && errno != EINVAL && errno != EROFS) {
    // EINVAL/EROFS: a device or special file that cannot be synced; the
    // flush above already handed the data over.
    write_failed_ = true;
    return Fail(errno);
  }
  return true;
}

bool CFile::Close() {
  if (stream_ == nullptr) return Fail(EBADF);
  FILE* stream = std::exchange(stream_, nullptr);
  const bool closed = std::fclose(stream) == 0;
  if (!closed) Fail(errno);
  last_op_ = LastOp::kNone;
  return closed && !write_failed_;
}

// ---------------------------------------------------------------------------

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const CString& target) {
  Abandon();
  failed_ = false;
  target_ = target;
  // Replace what a symbolic link points to, not the link itself.
  struct stat link_info;
  if (::lstat(target.c_str(), &link_info) == 0 && S_ISLNK(link_info.st_mode)) {
    if (char* resolved = ::realpath(target.c_str(), nullptr)) {
      target_ = CString(resolved);
      std::free(resolved);
    }
  }
  // The temporary name is short, so that a target whose own name is as long
  // as a name may be still gets one, and ends in ".part", so that a listing
  // for "*.dxf" or "*.rul" never takes a half-written file for a finished one.
  const std::string& target_bytes = target_.str();
  const size_t slash = target_bytes.rfind('/');
  const CString folder(slash == std::string::npos ? std::string() : target_bytes.substr(0, slash + 1));
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    CString name;
    name.Format("%s.zv-%ld-%u.part", folder.c_str(), static_cast<long>(::getpid()), ++counter);
    if (file_.Open(name, CFile::Mode::kCreateNew)) {
      temporary_ = name;
      break;
    }
    if (file_.LastError() != EEXIST) return false;
  }
  if (!file_.IsOpen()) return false;
  // A replaced file keeps its permission bits; a new one gets the usual ones.
  struct stat target_info;
  if (::stat(target_.c_str(), &target_info) == 0) {
    ::chmod(temporary_.c_str(), target_info.st_mode & 07777);
  }
  return true;
}

bool AtomicFileWriter::Write(const void* data, size_t count) {
  if (!file_.Write(data, count)) {
    failed_ = true;
    return false;
  }
  return true;
}

bool AtomicFileWriter::Finish() {
  if (finished_) return true;
  if (!file_.IsOpen()) return false;
  bool ok = !failed_ && file_.Sync();
  ok = file_.Close() && ok;
  if (!ok) {
    Abandon();
    return false;
  }
  finished_ = true;
  return true;
}

bool AtomicFileWriter::Commit() {
  if (!Finish()) return false;
  finished_ = false;
  const bool ok = std::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    std::remove(temporary_.c_str());
  }
  temporary_.Empty();
  return ok;
}

void AtomicFileWriter::Abandon() {
  if (file_.IsOpen()) file_.Close();
  if (!temporary_.IsEmpty()) {
    std::remove(temporary_.c_str());
    temporary_.Empty();
  }
  finished_ = false;
}

bool CommitTogether(std::initializer_list<AtomicFileWriter*> writers) {
  bool ok = true;
  for (AtomicFileWriter* writer : writers) ok = ok && writer->Finish();
  for (AtomicFileWriter* writer : writers) {
    if (ok) {
      ok = writer->Commit();
    } else {
      writer->Abandon();
    }
  }
  return ok;
}

// ---------------------------------------------------------------------------

FileReadStatus ReadWholeFile(const CString& path, size_t max_bytes, std::vector<uint8_t>& bytes) {
  bytes.clear();
  CFile file;
  if (!file.Open(path, CFile::Mode::kRead)) return FileReadStatus::kCannotOpen;
  const int64_t length = file.GetLength();
  if (length < 0) return FileReadStatus::kReadError;
  if (static_cast<uint64_t>(length) > max_bytes) return FileReadStatus::kTooLarge;
  bytes.resize(static_cast<size_t>(length));
  if (!file.Read(bytes.data(), bytes.size())) {
    bytes.clear();
    return FileReadStatus::kReadError;
  }
  // A file that grew while it was read is refused rather than cut short.
  uint8_t extra = 0;
  if (file.ReadUpTo(&extra, 1) != 0) {
    bytes.clear();
    return FileReadStatus::kReadError;
  }
  return FileReadStatus::kOk;
}

bool WriteWholeFile(const CString& path, const void* data, size_t count) {
  AtomicFileWriter writer;
  if (!writer.Open(path)) return false;
  if (!writer.Write(data, count)) return false;
  return writer.Commit();
}
