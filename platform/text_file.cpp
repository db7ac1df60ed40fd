#include "platform/text_file.h"

#include <algorithm>
#include <string>

namespace {

constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

bool TextFileReader::Open(const CString& path, size_t max_line_bytes) {
  Close();
  max_line_bytes_ = max_line_bytes;
  if (!file_.Open(path, CFile::Mode::kRead)) return false;
  buffer_.resize(kReadChunk);
  return true;
}

void TextFileReader::Close() {
  if (file_.IsOpen()) file_.Close();
  buffer_.clear();
  buffer_.shrink_to_fit();
  begin_ = end_ = 0;
  skip_lf_ = false;
  line_had_end_ = false;
  eof_ = false;
  error_ = false;
  too_long_ = false;
}

bool TextFileReader::Refill() {
  begin_ = 0;
  end_ = file_.ReadUpTo(buffer_.data(), buffer_.size());
  if (end_ > 0) return true;
  if (file_.LastError() != 0) {
    error_ = true;
  } else {
    eof_ = true;
  }
  return false;
}

bool TextFileReader::ReadLine(CString& line) {
  line.Empty();
  line_had_end_ = false;
  if (!file_.IsOpen() || eof_ || error_ || too_long_) return false;
  std::string text;
  bool started = false;  // a byte of this line (not a leftover LF) was seen
  for (;;) {
    if (begin_ == end_ && !Refill()) {
      if (error_ || !started) return false;
      line = CString(std::move(text));
      return true;
    }
    if (skip_lf_) {
      skip_lf_ = false;
      if (buffer_[begin_] == '\n') {
        ++begin_;
        continue;
      }
    }
    started = true;
    const auto first = buffer_.begin() + static_cast<std::ptrdiff_t>(begin_);
    const auto last = buffer_.begin() + static_cast<std::ptrdiff_t>(end_);
    const auto stop = std::find_if(first, last, [](char c) { return c == '\n' || c == '\r'; });
    const size_t count = static_cast<size_t>(stop - first);
    if (count > max_line_bytes_ - std::min(text.size(), max_line_bytes_)) {
      too_long_ = true;
      return false;
    }
    text.append(buffer_.data() + begin_, count);
    begin_ += count;
    if (stop != last) {
      skip_lf_ = *stop == '\r';
      ++begin_;
      line_had_end_ = true;
      line = CString(std::move(text));
      return true;
    }
  }
}

// ---------------------------------------------------------------------------

TextFileWriter::~TextFileWriter() { Abandon(); }

bool TextFileWriter::Open(const CString& path, Mode mode) {
  Abandon();
  mode_ = mode;
  failed_ = false;
  const bool opened = mode == Mode::kReplaceOnCommit ? atomic_.Open(path) : direct_.Open(path, CFile::Mode::kWrite);
  failed_ = !opened;
  return opened;
}

bool TextFileWriter::IsOpen() const {
  return mode_ == Mode::kReplaceOnCommit ? atomic_.IsOpen() : direct_.IsOpen();
}

bool TextFileWriter::Write(std::string_view text) {
  if (failed_ || !IsOpen()) {
    failed_ = true;
    return false;
  }
  const bool written = mode_ == Mode::kReplaceOnCommit ? atomic_.Write(text.data(), text.size())
                                                       : direct_.Write(text.data(), text.size());
  if (!written) failed_ = true;
  return written;
}

bool TextFileWriter::WriteLine(std::string_view text) { return Write(text) && Write("\r\n"); }

bool TextFileWriter::Commit() {
  if (!IsOpen()) return false;
  if (mode_ == Mode::kReplaceOnCommit) {
    if (failed_) {
      atomic_.Abandon();
      return false;
    }
    failed_ = !atomic_.Commit();
    return !failed_;
  }
  const bool closed = direct_.Close();
  if (!closed) failed_ = true;
  return closed && !failed_;
}

void TextFileWriter::Abandon() {
  atomic_.Abandon();
  if (direct_.IsOpen()) direct_.Close();
}
