// Group-code/value pairs of an ASCII DXF file, the plain line reader that
// the text formats beside DXF (grade-rule tables) use, and what the readers
// of these files share: the bytes of a whole file, and the style they fill.
//
// A DXF file is a sequence of pairs: a line holding an integer group code,
// then a line holding that code's value. The pairs are read strictly in step:
// a value line is never taken for a code line, so a handle "8", a layer named
// "10" or a text "0" cannot derail the reader. Entity names are therefore
// only ever the value of group code 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "platform/text_file.h"

class CStatusProgress;
class CStyle;

// The largest DXF, AAMA or rule file the readers take in. A style of a whole
// collection is tens of megabytes; a bigger file is not a pattern and is not
// held in memory.
inline constexpr size_t kMaxPatternFileBytes = size_t{256} << 20;

// Reads the file at `path` whole into `bytes` for the byte readers. False
// when it is not a regular file (a folder, a named pipe, a device: never
// opened), cannot be opened or read, or is larger than kMaxPatternFileBytes
// (`bytes` is then empty).
bool ReadPatternFile(const CString& path, std::vector<uint8_t>& bytes);

// A coordinate already scaled to model units as the model holds it,
// truncated toward zero; none when it is not finite or lies beyond the
// model's 32-bit range.
std::optional<int32_t> ModelUnits(double scaled);

// The bytes of a file as the byte readers take them.
inline std::string_view BytesOf(const std::vector<uint8_t>& bytes) {
  return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Reads a text held in memory line by line, with the line ends of
// TextFileReader: a line ends at LF, CR LF or a lone CR, an empty line is a
// line, and the end of the text after a final line end gives no extra line.
// A line longer than the limit stops the reading (LineTooLong()) as a damaged
// file would. The bytes are not copied: they must outlive the reader.
class ByteLineReader {
 public:
  ByteLineReader() = default;
  explicit ByteLineReader(std::string_view bytes,
                          size_t max_line_bytes = TextFileReader::kDefaultMaxLineBytes)
      : bytes_(bytes), max_line_bytes_(max_line_bytes) {}

  // The next line into `line`; false at the end of the text or after a line
  // too long (`line` is then empty).
  bool ReadLine(CString& line);
  bool LineTooLong() const { return too_long_; }
  // Lines handed out so far: the 1-based number of the last one.
  int LinesRead() const { return lines_read_; }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
  size_t max_line_bytes_ = TextFileReader::kDefaultMaxLineBytes;
  int lines_read_ = 0;
  bool too_long_ = false;
};

// Reads the next non-empty line of `in` into `line`, without its line end.
// Empty lines are skipped and never handed on. False at the end of the file
// or when the file can no longer be read (`line` is then empty).
bool ReadTextLine(TextFileReader& in, CString& line);
bool ReadTextLine(ByteLineReader& in, CString& line);

// Lends `style` to the model for one read: the model's code works on the
// process-wide g_Style, so a style other than g_Style is swapped into it for
// the lifetime of the guard and swapped back when it ends, on every path out
// of the read. Passing g_Style itself changes nothing. While the guard lives,
// `style` holds what g_Style held and must not be used.
class ScopedStyleInUse {
 public:
  explicit ScopedStyleInUse(CStyle& style);
  ~ScopedStyleInUse();
  ScopedStyleInUse(const ScopedStyleInUse&) = delete;
  ScopedStyleInUse& operator=(const ScopedStyleInUse&) = delete;

 private:
  CStyle& style_;
};

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

  // Reads the file at `path` whole (see ReadPatternFile) and starts at its
  // first pair; false when it cannot be opened. A file that cannot be read
  // to its end gives kReadError at once.
  bool Open(const CString& path);
  // Starts at the first pair of `bytes`, which must outlive the reading.
  void OpenBytes(std::string_view bytes);
  void Close();

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
  // 1-based line where the reading stands, for telling the user where a file
  // went wrong: the line that is no code (kBadCode), the code line left
  // without its value (kTruncated), the line too long to read (kReadError),
  // else the last line read (0 before any).
  int StopLine() const;
  // A few words on why the reading stopped, inside the entity `entity` when
  // one is named: "bad group code line", "group code without a value", "line
  // too long", or "ends" for the end of the file ("ends inside POLYLINE").
  std::string StopReason(std::string_view entity = {}) const;

  // True when the current pair is group code 0 with the entity or section
  // name `name` (compared exactly after trimming blanks).
  bool IsEntity(const char* name) const;

  // Parses a code line: optional blanks, optional sign, digits, optional
  // blanks, nothing else. False for an empty line, a number with other
  // characters ("10A", "1.0") or one outside the int range.
  static bool ParseCode(std::string_view text, int& code);

  // From here on, moves `progress` one step every `linesPerStep` lines read
  // (at least one); null stops it. Not owned: it must outlive the reading or
  // be taken back first.
  void FollowWith(CStatusProgress* progress, int linesPerStep);

 private:
  bool ReadRawLine(CString& line);

  std::vector<uint8_t> owned_;  // the file's bytes when opened from a path
  ByteLineReader in_;
  Status status_ = Status::kEof;
  int code_ = 0;
  CString value_;
  int line_number_ = 0;  // lines read so far
  int code_line_ = 0;
  CStatusProgress* progress_ = nullptr;
  int lines_per_step_ = 1;
  int next_step_line_ = 0;
};
