// Fuzzes the AAMA reader together with its grade-rule table, on bytes in
// memory. The first input byte holds the options; the rest is the DXF file,
// and when it holds the line "=RUL=" the part after that line is the *.rul
// file beside it (no rule file otherwise).
//
// Options byte:
//   bit 0  keep texts               bit 1  all points are grade points
//   bit 2  sizes separate           bits 4-6  the scale text (kScales)
//   bit 7  append mode, as the Lectra import reads; with bit 3 the file is
//          appended a second time, after itself
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "formats/aama_reader.h"
#include "fuzz/fuzz_support.h"
#include "model/style.h"

namespace {

constexpr std::string_view kRuleSeparator = "\n=RUL=\n";

// Scale texts a user may pick or type; the last ones stretch coordinates far
// beyond any garment, as a mistyped factor would.
constexpr const char* kScales[] = {"1.0", "10.0", "0.1", "1/25.4", "25.4", "0.0001", "1000000", "1e300"};

void Check(const AamaReadReport& report) {
  // The reader asks nothing: it never reports a cancel, and a failure always
  // names its message and where the file went wrong.
  if (report.outcome == AamaReadResult::kCancelled) __builtin_trap();
  if (report.outcome != AamaReadResult::kSuccess && (report.messageId == 0 || report.reason.empty())) {
    __builtin_trap();
  }
  if (report.line < 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzInput input = SplitOptions(data, size);
  std::string_view dxf = input.rest;
  std::optional<std::string_view> rules;
  const size_t cut = dxf.find(kRuleSeparator);
  if (cut != std::string_view::npos) {
    rules = dxf.substr(cut + kRuleSeparator.size());
    dxf = dxf.substr(0, cut + 1);
  }

  NoPrompts noPrompts;
  ClearStyle();
  AamaReadOptions options;
  options.append = (input.options & 0x80) != 0;
  if (options.append) {
    Check(ReadAamaBytes(dxf, rules, g_Style, options));
    if (input.options & 8) Check(ReadAamaBytes(dxf, rules, g_Style, options));
  } else {
    options.textInfo = (input.options & 1) != 0;
    options.allGradePoints = (input.options & 2) != 0;
    options.sizesSeparate = (input.options & 4) != 0;
    options.scaleText = kScales[(input.options >> 4) & 7];
    Check(ReadAamaBytes(dxf, rules, g_Style, options));
  }
  ClearStyle();
  return 0;
}
