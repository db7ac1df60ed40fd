#include "platform/text.h"

#include <algorithm>
#include <cstdio>

#include "platform/numbers.h"

namespace {

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Length in bytes of the character that starts at `i`.
size_t CharLength(std::string_view s, size_t i) {
  return (IsGbkLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  // Both texts agree up to `i`, so their characters start at the same places;
  // the trail byte of a double-byte character is compared as it is, never
  // folded as if it were a letter.
  bool trail = false;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char ca = static_cast<unsigned char>(trail ? a[i] : AsciiLower(a[i]));
    const unsigned char cb = static_cast<unsigned char>(trail ? b[i] : AsciiLower(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    trail = !trail && IsGbkLeadByte(ca);
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

char CString::GetAt(int index) const {
  if (index < 0 || index >= GetLength()) return '\0';
  return bytes_[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch) {
  if (index < 0 || index >= GetLength()) return;
  bytes_[static_cast<size_t>(index)] = ch;
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (count < 0) count = 0;
  if (first >= GetLength()) return CString();
  if (count > GetLength() - first) count = GetLength() - first;
  return CString(bytes_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  if (count < 0) count = 0;
  if (count > GetLength()) count = GetLength();
  return Mid(GetLength() - count, count);
}

int CString::Find(char ch, int start) const {
  if (start < 0) start = 0;
  for (size_t i = 0; i < bytes_.size(); i += CharLength(bytes_, i)) {
    if (static_cast<int>(i) >= start && bytes_[i] == ch) return static_cast<int>(i);
  }
  return -1;
}

int CString::Find(std::string_view sub, int start) const {
  if (start < 0) start = 0;
  if (start > GetLength()) return -1;
  for (size_t i = 0; i <= bytes_.size(); i += (i < bytes_.size() ? CharLength(bytes_, i) : 1)) {
    if (static_cast<int>(i) >= start && bytes_.compare(i, sub.size(), sub) == 0 &&
        i + sub.size() <= bytes_.size()) {
      return static_cast<int>(i);
    }
    if (i == bytes_.size()) break;
  }
  return -1;
}

int CString::ReverseFind(char ch) const {
  int found = -1;
  for (size_t i = 0; i < bytes_.size(); i += CharLength(bytes_, i)) {
    if (bytes_[i] == ch) found = static_cast<int>(i);
  }
  return found;
}

int CString::FindOneOf(std::string_view set) const {
  for (size_t i = 0; i < bytes_.size(); i += CharLength(bytes_, i)) {
    if (CharLength(bytes_, i) == 1 && set.find(bytes_[i]) != std::string_view::npos) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < bytes_.size() && IsAsciiSpace(bytes_[i])) ++i;
  bytes_.erase(0, i);
  return *this;
}

CString& CString::TrimRight() {
  // Walk forward so that a trail byte is never mistaken for white space.
  size_t keep = 0;
  for (size_t i = 0; i < bytes_.size(); i += CharLength(bytes_, i)) {
    if (CharLength(bytes_, i) == 2 || !IsAsciiSpace(bytes_[i])) keep = i + CharLength(bytes_, i);
  }
  bytes_.erase(keep);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimLeft(std::string_view chars) {
  size_t i = 0;
  while (i < bytes_.size() && CharLength(bytes_, i) == 1 &&
         chars.find(bytes_[i]) != std::string_view::npos) {
    ++i;
  }
  bytes_.erase(0, i);
  return *this;
}

CString& CString::TrimRight(std::string_view chars) {
  size_t keep = 0;
  for (size_t i = 0; i < bytes_.size(); i += CharLength(bytes_, i)) {
    if (CharLength(bytes_, i) == 2 || chars.find(bytes_[i]) == std::string_view::npos) {
      keep = i + CharLength(bytes_, i);
    }
  }
  bytes_.erase(keep);
  return *this;
}

CString& CString::Trim(std::string_view chars) { return TrimRight(chars).TrimLeft(chars); }

CString& CString::MakeUpper() {
  for (size_t i = 0; i < bytes_.size(); i += CharLength(bytes_, i)) bytes_[i] = AsciiUpper(bytes_[i]);
  return *this;
}

CString& CString::MakeLower() {
  for (size_t i = 0; i < bytes_.size(); i += CharLength(bytes_, i)) bytes_[i] = AsciiLower(bytes_[i]);
  return *this;
}

int CString::Compare(std::string_view other) const {
  const int c = std::string_view(bytes_).compare(other);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CString::CompareNoCase(std::string_view other) const { return ::CompareNoCase(bytes_, other); }

int CString::Replace(std::string_view from, std::string_view to) {
  if (from.empty()) return 0;
  int count = 0;
  std::string out;
  size_t i = 0;
  while (i < bytes_.size()) {
    if (bytes_.compare(i, from.size(), from) == 0 && i + from.size() <= bytes_.size()) {
      out += to;
      i += from.size();
      ++count;
    } else {
      const size_t n = CharLength(bytes_, i);
      out.append(bytes_, i, n);
      i += n;
    }
  }
  bytes_ = std::move(out);
  return count;
}

int CString::Replace(char from, char to) {
  int count = 0;
  for (size_t i = 0; i < bytes_.size(); i += CharLength(bytes_, i)) {
    if (CharLength(bytes_, i) == 1 && bytes_[i] == from) {
      bytes_[i] = to;
      ++count;
    }
  }
  return count;
}

int CString::Remove(char ch) {
  std::string out;
  int count = 0;
  for (size_t i = 0; i < bytes_.size();) {
    const size_t n = CharLength(bytes_, i);
    if (n == 1 && bytes_[i] == ch) {
      ++count;
    } else {
      out.append(bytes_, i, n);
    }
    i += n;
  }
  bytes_ = std::move(out);
  return count;
}

int CString::Insert(int index, std::string_view text) {
  if (index < 0) index = 0;
  if (index > GetLength()) index = GetLength();
  bytes_.insert(static_cast<size_t>(index), text);
  return GetLength();
}

int CString::Delete(int index, int count) {
  if (index < 0) index = 0;
  if (count > 0 && index < GetLength()) {
    bytes_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  }
  return GetLength();
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::FormatV(const char* format, va_list args) { bytes_ = FormatNumberTextV(format, args); }
