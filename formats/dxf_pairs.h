// Group-code/value pairs of an ASCII DXF file, and the plain line reader that
// the text formats beside DXF (grade-rule tables) use.
//
// A DXF file is a sequence of pairs: a line holding an integer group code,
// then a line holding that code's value. The pairs are read strictly in step:
// a value line is never taken for a code line, so a handle "8", a layer named
// "10" or a text "0" cannot derail the reader. Entity names are therefore
// only ever the value of group code 0.
#pragma once

#include "platform/text.h"
#include "platform/text_file.h"

// Reads the next non-empty line of `in` into `line`, without its line end.
// Empty lines are skipped and never handed on. False at the end of the file
// or when the file can no longer be read (`line` is then empty).
bool ReadTextLine(TextFileReader& in, CString& line);

// Reads one DXF file pair by pair.
class DxfPairReader {
 public:
  enum class Status {
    kPair,       // a pair was read: Code() and Value() hold it
    kEof,        // the file ended cleanly between two pairs
    kTruncated,  // the file ended after a code line, before its value line
    kBadCode,    // a code line is not an integer: the file is damaged
    kReadError,  // the file could not be read, or a line is beyond all bounds
  };

  // Opens `path`; false when it cannot be opened.
  bool Open(const CString& path);
  void Close() { in_.Close(); }

  // Reads the next pair. After anything but kPair every further call gives the
  // same status again. Blank lines where a code is due are allowed only when
  // nothing but blank lines follows them (a file padded at its end); a blank
  // line followed by more data is a bad code line.
  Status Next();
  Status LastStatus() const { return status_; }

  // The current pair. The code line may hold blanks around its number
  // ("  0"); the value keeps its bytes exactly, blanks included, without the
  // line end, and may be empty.
  int Code() const { return code_; }
  const CString& Value() const { return value_; }
  // The value with leading and trailing blanks removed, as names and keywords
  // are compared.
  CString TrimmedValue() const;

  // 1-based line number of the current pair's code line (after kBadCode: of
  // the line that is not a code), for diagnostics.
  int CodeLine() const { return code_line_; }

  // True when the current pair is group code 0 with the entity or section
  // name `name` (compared exactly after trimming blanks).
  bool IsEntity(const char* name) const;

  // Parses a code line: optional blanks, optional sign, digits, optional
  // blanks, nothing else. False for an empty line, a number with other
  // characters ("10A", "1.0") or one outside the int range.
  static bool ParseCode(std::string_view text, int& code);

 private:
  bool ReadRawLine(CString& line);

  TextFileReader in_;
  Status status_ = Status::kEof;
  int code_ = 0;
  CString value_;
  int line_number_ = 0;  // lines read so far
  int code_line_ = 0;
};
