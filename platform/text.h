// CString: the text type of the whole program. It holds bytes in the Chinese
// ANSI code page (GBK) exactly as read from a file and never re-encodes them;
// conversion to Unicode happens only where text is shown (platform/gbk.h).
//
// Searches, trimming and case operations step over GBK double-byte characters
// (a lead byte 0x81..0xFE and its trail byte), so that a trail byte that looks
// like '\' or 'A' is never taken for one. Case operations touch ASCII letters
// only.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

class CString {
 public:
  CString() = default;
  CString(const char* s) : bytes_(s ? s : "") {}  // NOLINT: texts convert implicitly, as in the original code
  CString(const char* s, int length) : bytes_(s, length > 0 ? static_cast<size_t>(length) : 0) {}
  CString(std::string_view s) : bytes_(s) {}  // NOLINT
  CString(std::string s) : bytes_(std::move(s)) {}  // NOLINT
  CString(char ch, int repeat) : bytes_(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}

  int GetLength() const { return static_cast<int>(bytes_.size()); }
  bool IsEmpty() const { return bytes_.empty(); }
  void Empty() { bytes_.clear(); }
  // Takes these bytes as the whole text, keeping the storage it has.
  void Assign(std::string_view s) { bytes_.assign(s.data(), s.size()); }

  // Bytes by position; out of range reads give '\0' and writes do nothing.
  char GetAt(int index) const;
  void SetAt(int index, char ch);
  char operator[](int index) const { return GetAt(index); }

  const char* c_str() const { return bytes_.c_str(); }
  const std::string& str() const { return bytes_; }
  std::string_view view() const { return bytes_; }

  // Substrings; counts and positions are clamped to the text, as the framework did.
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;

  // Position of the first match at or after `start`, or -1. Matches start on
  // character boundaries only.
  int Find(char ch, int start = 0) const;
  int Find(std::string_view sub, int start = 0) const;
  // Position of the last character equal to `ch`, or -1.
  int ReverseFind(char ch) const;
  // Position of the first character that is one of `set`, or -1.
  int FindOneOf(std::string_view set) const;

  // Trimming removes ASCII white space (space, tab, CR, LF, VT, FF), or the
  // given characters.
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim();
  CString& TrimLeft(std::string_view chars);
  CString& TrimRight(std::string_view chars);
  CString& Trim(std::string_view chars);

  CString& MakeUpper();
  CString& MakeLower();

  // Ordinal compare: < 0, 0, > 0 as strcmp.
  int Compare(std::string_view other) const;
  // Compare without regard to ASCII case.
  int CompareNoCase(std::string_view other) const;

  // Replaces every occurrence; returns how many were replaced.
  int Replace(std::string_view from, std::string_view to);
  int Replace(char from, char to);
  int Remove(char ch);
  int Insert(int index, std::string_view text);
  int Delete(int index, int count = 1);

  // printf-style formatting that ignores the user's locale: "%.4f" always
  // writes a decimal point.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);

  CString& operator+=(const CString& other) { bytes_ += other.bytes_; return *this; }
  CString& operator+=(const char* other) { bytes_ += other ? other : ""; return *this; }
  CString& operator+=(char ch) { bytes_ += ch; return *this; }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.bytes_ + b.bytes_); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.bytes_ + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.bytes_); }
  friend CString operator+(const CString& a, char b) { return CString(a.bytes_ + b); }

  friend bool operator==(const CString& a, const CString& b) { return a.bytes_ == b.bytes_; }
  friend bool operator==(const CString& a, const char* b) { return a.bytes_ == (b ? b : ""); }
  friend bool operator<(const CString& a, const CString& b) { return a.bytes_ < b.bytes_; }

 private:
  std::string bytes_;
};

// True for a GBK lead byte, which starts a two-byte character.
inline bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Compares two texts without regard to ASCII case: < 0, 0, > 0.
int CompareNoCase(std::string_view a, std::string_view b);
