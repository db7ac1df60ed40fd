#include "formats/dxf_pairs.h"

#include <climits>

bool ReadTextLine(TextFileReader& in, CString& line) {
  while (in.ReadLine(line)) {
    if (!line.IsEmpty()) return true;
  }
  line.Empty();
  return false;
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
  status_ = Status::kEof;
  code_ = 0;
  value_.Empty();
  line_number_ = 0;
  code_line_ = 0;
  if (!in_.Open(path)) return false;
  status_ = Status::kPair;
  return true;
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

bool DxfPairReader::ReadRawLine(CString& line) {
  if (!in_.ReadLine(line)) return false;
  ++line_number_;
  return true;
}

DxfPairReader::Status DxfPairReader::Next() {
  if (status_ != Status::kPair) return status_;
  CString line;
  if (!ReadRawLine(line)) {
    status_ = (in_.HasError() || in_.LineTooLong()) ? Status::kReadError : Status::kEof;
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
    status_ = (in_.HasError() || in_.LineTooLong()) ? Status::kReadError : Status::kEof;
    return status_;
  }
  if (!ParseCode(line.view(), code_)) {
    status_ = Status::kBadCode;
    return status_;
  }
  if (!ReadRawLine(value_)) {
    status_ = (in_.HasError() || in_.LineTooLong()) ? Status::kReadError : Status::kTruncated;
    value_.Empty();
    return status_;
  }
  return status_;
}

CString DxfPairReader::TrimmedValue() const {
  CString v = value_;
  v.Trim();
  return v;
}

bool DxfPairReader::IsEntity(const char* name) const {
  return status_ == Status::kPair && code_ == 0 && TrimmedValue() == name;
}
