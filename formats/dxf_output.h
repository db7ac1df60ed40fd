// Writing DXF: the line sink both DXF writers (plain and AAMA) print into, the
// entity writers they share, and the conversion of model vertices into output
// coordinates.
//
// A DXF file is a sequence of group-code/value line pairs. The exact spacing
// of each group-code line differs from entity to entity and is part of what
// the files look like; the writers below pin it, and the tests compare bytes.
// Every line ends in CR LF whatever the platform. Numbers are printed with
// "%.4f" from single-precision values in the "C" locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/text.h"

class AtomicFileWriter;
class CPieceRecord;
struct CVertexNode;

// Where a DXF writer's lines go: into memory, or through a byte sink (the
// temporary file of an AtomicFileWriter). Lines are gathered in a buffer and
// handed to the sink in large blocks. The first failed hand-over is
// remembered; later lines are dropped, and Flush() and Failed() report it, so
// a writer checks once at the end instead of after every line.
class DxfOutput {
 public:
  // Receives `count` bytes; false when they could not be written.
  using Sink = std::function<bool(const char* data, size_t count)>;

  // Keeps everything in memory (Text()).
  DxfOutput() = default;
  // Hands the lines to `sink`.
  explicit DxfOutput(Sink sink);
  // Hands the lines to the temporary file of `file`, which must be open and
  // must outlive this object. Committing the file stays the caller's job,
  // after a successful Flush().
  explicit DxfOutput(AtomicFileWriter& file);

  // One line: the bytes of `text` followed by CR LF. A CR or LF inside `text`
  // is written as it stands; callers that print user text remove them first.
  void Line(std::string_view text);
  // Bytes as they stand, without a line end: for lines built in pieces.
  void Append(std::string_view text);
  // One line with a number: "%.4f" of the float promoted to double. A value
  // that is not finite is written as 0.0000, so that no file ever carries
  // "nan" or "inf", which no DXF reader accepts.
  void Number(float value);
  // One line with a decimal integer.
  void Integer(int value);

  // Hands what is buffered to the sink. True when every hand-over so far
  // succeeded (always true in memory).
  bool Flush();
  bool Failed() const { return failed_; }

  // In memory: everything written. With a sink: what is not yet handed over.
  const std::string& Text() const { return buffer_; }

 private:
  void MaybeFlush();

  Sink sink_;
  std::string buffer_;
  bool failed_ = false;
};

// The "%.4f" text of a float promoted to double, locale-independent; a value
// that is not finite gives "0.0000".
std::string FormatDxfNumber(float value);

// A numbered TEXT entity ("# n") on `layer`:
//   " 0" TEXT " 8" layer "  10" x "  20" y "  40" height "  1" "# n" "  7" STANDARD
void WriteDxfTextEntity(DxfOutput& out, const int* number, int8_t layer, float x, float y, float height);

// A POINT: "  0" POINT "  8" layer " 10" x " 20" y.
void WriteDxfPoint(DxfOutput& out, int8_t layer, float x, float y);

// A TEXT entity on layer 1 with rotation 0:
//   "  0" TEXT "  8" "1" " 10" x " 20" y " 40" height " 50" "0.0000"
//   "  1" text "  7" STANDARD
// The text is written as OneDxfLine(text, strip == 1): other `strip` values
// print the bytes unchanged. `layer` is accepted for the callers' sake; the
// layer printed is always 1.
void WriteDxfText(DxfOutput& out, int layer, float x, float y, float height, CString text, int strip);

// A VERTEX of a POLYLINE: "  0" VERTEX "  8" layer " 10" x " 20" y.
void WriteDxfVertex(DxfOutput& out, int8_t layer, float x, float y);

// A LINE: "  0" LINE "  8" layer " 10" x1 " 20" y1 " 11" x2 " 21" y2.
void WriteDxfLine(DxfOutput& out, int8_t layer, float x1, float y1, float x2, float y2);

// The output position of a model vertex: ((x + xOffset) / divisor,
// (y + yOffset) / divisor) with `absolute` non-zero, else relative to the
// piece's place in the work area ((x - OriginX + xOffset) / divisor, and the
// same for y). The offsets are 64-bit: pieces laid side by side may together
// reach past the 32-bit range. The sums are formed in integers first (in 64
// bits, so no overflow), then divided in double precision and stored as
// floats. A divisor of 0 gives (0, 0) rather than infinities.
void ModelToDxfPoint(int absolute, float* x, float* y, const CVertexNode* node, const CPieceRecord* piece,
                     int64_t xOffset, int64_t yOffset, double divisor);

// The AAMA position of a model vertex: its distance from the piece's
// bounding-box minimum, divided by `divisor` ((x - BoxMinX) / divisor,
// (y - BoxMinY) / divisor). A divisor of 0 gives (0, 0).
void ModelToAamaPoint(float* x, float* y, const CVertexNode* node, const CPieceRecord* piece, double divisor);

// The text with 128 subtracted from every byte above 127; the other bytes
// and the length unchanged.
CString StripHighBit(CString text);

// A text as the value of one DXF line. With `strip` every byte above 127
// first loses its high bit (StripHighBit), for readers that take 7-bit text
// only. Then CR, LF and zero bytes are dropped, those the stripping made
// included: GBK bytes 0x8A, 0x8D and 0x80 become LF, CR and NUL without their
// high bit (the trail bytes of characters such as 鐘 E7 8A), and would
// otherwise split the line and derail every line after it.
CString OneDxfLine(const CString& text, bool strip);
