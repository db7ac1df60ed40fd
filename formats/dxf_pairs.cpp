#include "formats/dxf_pairs.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "model/geometry.h"
#include "model/style.h"
#include "platform/binary_file.h"
#include "platform/file_system.h"
#include "platform/numbers.h"
#include "platform/progress.h"

namespace {

// Reads a pattern file whole. Only a regular file is opened: a folder, a
// named pipe or a device is no pattern, and opening a pipe would wait for a
// writer that never comes.
FileReadStatus ReadPatternBytes(const CString& path, std::vector<uint8_t>& bytes) {
  if (!IsFile(path)) {
    bytes.clear();
    return FileReadStatus::kCannotOpen;
  }
  return ReadWholeFile(path, kMaxPatternFileBytes, bytes);
}

}  // namespace

bool ReadPatternFile(const CString& path, std::vector<uint8_t>& bytes) {
  return ReadPatternBytes(path, bytes) == FileReadStatus::kOk;
}

std::optional<int32_t> ModelUnits(double scaled) {
  // -2^31 <= value < 2^31 after truncation toward zero.
  if (!std::isfinite(scaled) || scaled <= -2147483649.0 || scaled >= 2147483648.0) return std::nullopt;
  return TruncateTowardZero(scaled);
}

bool ByteLineReader::ReadLine(CString& line) {
  line.Empty();
  if (too_long_ || pos_ >= bytes_.size()) return false;
  // Lines of a DXF file are mostly a few bytes long: a plain scan finds
  // their end sooner than a search call per line.
  const char* const text = bytes_.data();
  size_t end = pos_;
  while (end < bytes_.size() && text[end] != '\n' && text[end] != '\r') ++end;
  if (end - pos_ > max_line_bytes_) {
    too_long_ = true;
    return false;
  }
  line.Assign(bytes_.substr(pos_, end - pos_));
  pos_ = end;
  if (pos_ < bytes_.size()) {
    const bool cr = bytes_[pos_] == '\r';
    ++pos_;
    if (cr && pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  }
  ++lines_read_;
  return true;
}

namespace {

template <typename Reader>
bool ReadNonEmptyLine(Reader& in, CString& line) {
  while (in.ReadLine(line)) {
    if (!line.IsEmpty()) return true;
  }
  line.Empty();
  return false;
}

}  // namespace

bool ReadTextLine(TextFileReader& in, CString& line) { return ReadNonEmptyLine(in, line); }
bool ReadTextLine(ByteLineReader& in, CString& line) { return ReadNonEmptyLine(in, line); }

ScopedStyleInUse::ScopedStyleInUse(CStyle& style) : style_(style) {
  if (&style_ != &g_Style) g_Style.Swap(style_);
}

ScopedStyleInUse::~ScopedStyleInUse() {
  if (&style_ != &g_Style) g_Style.Swap(style_);
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

bool IsBlankLine(std::string_view text) {
  for (char c : text) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

}  // namespace

bool DxfPairReader::Open(const CString& path) {
  Close();
  switch (ReadPatternBytes(path, owned_)) {
    case FileReadStatus::kOk:
      OpenBytes(BytesOf(owned_));
      return true;
    case FileReadStatus::kCannotOpen:
      return false;
    case FileReadStatus::kTooLarge:
    case FileReadStatus::kReadError:
      status_ = Status::kReadError;
      return true;
  }
  return false;
}

void DxfPairReader::OpenBytes(std::string_view bytes) {
  status_ = Status::kPair;
  code_ = 0;
  value_.Empty();
  line_number_ = 0;
  code_line_ = 0;
  in_ = ByteLineReader(bytes);
}

void DxfPairReader::Close() {
  in_ = ByteLineReader();
  owned_.clear();
  owned_.shrink_to_fit();
  status_ = Status::kEof;
  code_ = 0;
  value_.Empty();
  line_number_ = 0;
  code_line_ = 0;
}

int DxfPairReader::StopLine() const {
  switch (status_) {
    case Status::kBadCode:
    case Status::kTruncated:
      return code_line_;
    case Status::kReadError:
      return line_number_ + 1;
    case Status::kPair:
    case Status::kEof:
      break;
  }
  return line_number_;
}

bool DxfPairReader::ParseCode(std::string_view text, int& code) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return false;
    ++i;
    ++digits;
  }
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (digits == 0 || i != text.size()) return false;
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return false;
  code = static_cast<int>(value);
  return true;
}

void DxfPairReader::FollowWith(CStatusProgress* progress, int linesPerStep) {
  progress_ = progress;
  lines_per_step_ = std::max(1, linesPerStep);
  next_step_line_ = line_number_ + lines_per_step_;
}

bool DxfPairReader::ReadRawLine(CString& line) {
  if (!in_.ReadLine(line)) return false;
  ++line_number_;
  if (progress_ && line_number_ >= next_step_line_) {
    progress_->StepIt();
    next_step_line_ += lines_per_step_;
  }
  return true;
}

DxfPairReader::Status DxfPairReader::Next() {
  if (status_ != Status::kPair) return status_;
  CString line;
  if (!ReadRawLine(line)) {
    status_ = in_.LineTooLong() ? Status::kReadError : Status::kEof;
    return status_;
  }
  code_line_ = line_number_;
  if (IsBlankLine(line.view())) {
    // Padding at the end of a file is harmless; a blank line before more data
    // means the pairs have slipped out of step.
    while (ReadRawLine(line)) {
      if (!IsBlankLine(line.view())) {
        status_ = Status::kBadCode;
        return status_;
      }
    }
    status_ = in_.LineTooLong() ? Status::kReadError : Status::kEof;
    return status_;
  }
  if (!ParseCode(line.view(), code_)) {
    status_ = Status::kBadCode;
    return status_;
  }
  if (!ReadRawLine(value_)) {
    status_ = in_.LineTooLong() ? Status::kReadError : Status::kTruncated;
    value_.Empty();
    return status_;
  }
  return status_;
}

std::string DxfPairReader::StopReason(std::string_view entity) const {
  std::string reason;
  switch (status_) {
    case Status::kTruncated:
      reason = "group code without a value";
      break;
    case Status::kBadCode:
      reason = "bad group code line";
      break;
    case Status::kReadError:
      reason = "line too long";
      break;
    case Status::kPair:
    case Status::kEof:
      reason = "ends";
      break;
  }
  if (!entity.empty()) reason.append(" inside ").append(entity);
  return reason;
}

CString DxfPairReader::TrimmedValue() const {
  CString v = value_;
  v.Trim();
  return v;
}

bool DxfPairReader::IsEntity(const char* name) const {
  return status_ == Status::kPair && code_ == 0 && TrimmedValue() == name;
}
