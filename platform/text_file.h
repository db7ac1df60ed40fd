// Text files: DXF and AAMA files, *.rul grade-rule tables, the Lectra list
// file. Lines are GBK bytes and are handed on unchanged; files written here
// end every line in CR LF, as they did on the system these files come from.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/binary_file.h"
#include "platform/text.h"

// Reads a text file line by line. A line ends at LF, at CR LF or at a lone
// CR; the line handed back holds no line end. An empty line is a line: "a\n\nb"
// gives "a", "", "b"; the end of the file after a final line end gives no
// extra empty line, so "a\n" gives just "a".
//
// Reading is streamed through a fixed buffer; a line may be long, but one
// longer than the limit given at Open() is refused as a damaged file (the
// reader stops with LineTooLong()) rather than grown without end.
class TextFileReader {
 public:
  static constexpr size_t kDefaultMaxLineBytes = size_t{4} << 20;

  bool Open(const CString& path, size_t max_line_bytes = kDefaultMaxLineBytes);
  bool IsOpen() const { return file_.IsOpen(); }
  void Close();

  // The next line into `line`. False when there is none: at the end of the
  // file (IsEof()), after a read error (HasError()) or when the line is too
  // long (LineTooLong()); `line` is then empty.
  bool ReadLine(CString& line);
  // Whether the last line read was ended by a line end (false only for a last
  // line that runs to the end of the file).
  bool LineHadEnd() const { return line_had_end_; }

  bool IsEof() const { return eof_; }
  bool HasError() const { return error_; }
  bool LineTooLong() const { return too_long_; }

 private:
  bool Refill();

  CFile file_;
  std::vector<char> buffer_;
  size_t begin_ = 0;  // first unread byte in buffer_
  size_t end_ = 0;    // one past the last valid byte in buffer_
  size_t max_line_bytes_ = kDefaultMaxLineBytes;
  bool skip_lf_ = false;  // the last line ended in CR: a following LF belongs to it
  bool line_had_end_ = false;
  bool eof_ = false;
  bool error_ = false;
  bool too_long_ = false;
};

// Writes a text file. By default the file is replaced only when everything
// was written (see AtomicFileWriter): a full disk or any other failure leaves
// an existing file as it was. Every write reports failure, and a failure is
// sticky: Commit() then fails too.
class TextFileWriter {
 public:
  enum class Mode {
    kReplaceOnCommit,  // write beside the target, rename into place on Commit()
    kDirect,           // write into the target itself (devices, pipes)
  };

  ~TextFileWriter();

  bool Open(const CString& path, Mode mode = Mode::kReplaceOnCommit);
  bool IsOpen() const;

  // `text` followed by CR LF.
  bool WriteLine(std::string_view text);
  // `text` exactly as given; a "\n" in it is not turned into CR LF.
  bool Write(std::string_view text);

  // Finishes the file: flush, close and (in the default mode) rename into
  // place. True only when every write and the finish succeeded.
  bool Commit();
  // Drops the file: in the default mode the target stays as it was; in direct
  // mode what was written stays written.
  void Abandon();

  bool Failed() const { return failed_; }

 private:
  Mode mode_ = Mode::kReplaceOnCommit;
  AtomicFileWriter atomic_;
  CFile direct_;
  bool failed_ = false;
};
