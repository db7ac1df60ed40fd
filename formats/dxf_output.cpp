#include "formats/dxf_output.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "formats/fixed_decimal.h"
#include "model/piece_record.h"
#include "model/vertex_node.h"
#include "platform/binary_file.h"
#include "platform/numbers.h"

namespace {

// Lines are handed to a sink in blocks of about this size.
constexpr size_t kFlushThreshold = 64 * 1024;

constexpr std::string_view kLineEnd = "\r\n";

// The quotient of an integer sum by the divisor as a float; 0 for a divisor
// of 0 or a quotient that is not finite.
float Scaled(int64_t sum, double divisor) {
  if (divisor == 0.0) return 0.0f;
  double value = static_cast<double>(sum) / divisor;
  if (!std::isfinite(value)) return 0.0f;
  return static_cast<float>(value);
}

}  // namespace

DxfOutput::DxfOutput(Sink sink) : sink_(std::move(sink)) {}

DxfOutput::DxfOutput(AtomicFileWriter& file)
    : sink_([&file](const char* data, size_t count) { return file.Write(data, count); }) {}

void DxfOutput::Line(std::string_view text) {
  if (failed_) return;
  buffer_.append(text);
  buffer_.append(kLineEnd);
  MaybeFlush();
}

void DxfOutput::Append(std::string_view text) {
  if (failed_) return;
  buffer_.append(text);
  MaybeFlush();
}

void DxfOutput::Number(float value) {
  if (!std::isfinite(value)) value = 0.0f;
  char text[kFixedDecimalBufferSize];
  Line(std::string_view(text, FormatFixedDecimal(static_cast<double>(value), 4, text)));
}

void DxfOutput::Integer(int value) {
  char text[16];
  const auto result = std::to_chars(text, text + sizeof text, value);
  Line(std::string_view(text, static_cast<size_t>(result.ptr - text)));
}

void DxfOutput::MaybeFlush() {
  if (sink_ && buffer_.size() >= kFlushThreshold) Flush();
}

bool DxfOutput::Flush() {
  if (!sink_) return !failed_;
  if (!failed_ && !buffer_.empty()) {
    if (!sink_(buffer_.data(), buffer_.size())) failed_ = true;
  }
  buffer_.clear();
  return !failed_;
}

std::string FormatDxfNumber(float value) {
  if (!std::isfinite(value)) value = 0.0f;
  char text[kFixedDecimalBufferSize];
  return std::string(text, FormatFixedDecimal(static_cast<double>(value), 4, text));
}

void WriteDxfTextEntity(DxfOutput& out, const int* number, int8_t layer, float x, float y, float height) {
  out.Line(" 0");
  out.Line("TEXT");
  out.Line(" 8");
  out.Integer(layer);
  out.Line("  10");
  out.Number(x);
  out.Line("  20");
  out.Number(y);
  out.Line("  40");
  out.Number(height);
  out.Line("  1");
  char label[16] = "# ";
  const auto result = std::to_chars(label + 2, label + sizeof label, number != nullptr ? *number : 0);
  out.Line(std::string_view(label, static_cast<size_t>(result.ptr - label)));
  out.Line("  7");
  out.Line("STANDARD");
}

void WriteDxfPoint(DxfOutput& out, int8_t layer, float x, float y) {
  out.Line("  0");
  out.Line("POINT");
  out.Line("  8");
  out.Integer(layer);
  out.Line(" 10");
  out.Number(x);
  out.Line(" 20");
  out.Number(y);
}

CString OneDxfLine(const CString& text, bool strip) {
  const CString source = strip ? StripHighBit(text) : text;
  std::string bytes;
  bytes.reserve(source.view().size());
  for (char ch : source.view()) {
    if (ch != '\r' && ch != '\n' && ch != '\0') bytes.push_back(ch);
  }
  return CString(std::move(bytes));
}

void WriteDxfText(DxfOutput& out, int /*layer*/, float x, float y, float height, CString text, int strip) {
  text = OneDxfLine(text, strip == 1);

  out.Line("  0");
  out.Line("TEXT");
  out.Line("  8");
  out.Line("1");
  out.Line(" 10");
  out.Number(x);
  out.Line(" 20");
  out.Number(y);
  out.Line(" 40");
  out.Number(height);
  out.Line(" 50");
  out.Line("0.0000");
  out.Line("  1");
  out.Line(text.view());
  out.Line("  7");
  out.Line("STANDARD");
}

void WriteDxfVertex(DxfOutput& out, int8_t layer, float x, float y) {
  out.Line("  0");
  out.Line("VERTEX");
  out.Line("  8");
  out.Integer(layer);
  out.Line(" 10");
  out.Number(x);
  out.Line(" 20");
  out.Number(y);
}

void WriteDxfLine(DxfOutput& out, int8_t layer, float x1, float y1, float x2, float y2) {
  out.Line("  0");
  out.Line("LINE");
  out.Line("  8");
  out.Integer(layer);
  out.Line(" 10");
  out.Number(x1);
  out.Line(" 20");
  out.Number(y1);
  out.Line(" 11");
  out.Number(x2);
  out.Line(" 21");
  out.Number(y2);
}

void ModelToDxfPoint(int absolute, float* x, float* y, const CVertexNode* node, const CPieceRecord* piece,
                     int64_t xOffset, int64_t yOffset, double divisor) {
  int64_t sx = static_cast<int64_t>(node->X) + xOffset;
  int64_t sy = static_cast<int64_t>(node->Y) + yOffset;
  if (absolute == 0) {
    sx -= piece->OriginX;
    sy -= piece->OriginY;
  }
  *x = Scaled(sx, divisor);
  *y = Scaled(sy, divisor);
}

void ModelToAamaPoint(float* x, float* y, const CVertexNode* node, const CPieceRecord* piece, double divisor) {
  *x = Scaled(static_cast<int64_t>(node->X) - piece->BoxMinX, divisor);
  *y = Scaled(static_cast<int64_t>(node->Y) - piece->BoxMinY, divisor);
}

CString StripHighBit(CString text) {
  std::string bytes = text.str();
  for (char& ch : bytes) {
    unsigned char byte = static_cast<unsigned char>(ch);
    if (byte > 127) ch = static_cast<char>(byte - 128);
  }
  return CString(std::move(bytes));
}
