// The native reader fuzzers' one input: the whole input is the file, read
// into a style of its own as the open command reads it before it replaces
// the loaded style. Every stop must name where and why; a refusal leaves the
// style as it was, a failure leaves it empty; the loaded style is never the
// one read into.
#pragma once

#include <cstddef>
#include <string_view>

#include "formats/ptn_reader.h"
#include "fuzz/fuzz_support.h"
#include "model/style.h"

inline void CheckPtnRead(std::string_view bytes) {
  NoPrompts noPrompts;
  ClearStyle();
  {
    CStyle style;
    style.StyleName = "untouched";
    const PtnReadReport report = ReadPtnBytes(bytes, style);
    if (report.offset > bytes.size()) __builtin_trap();
    if (report.outcome != PtnReadResult::kSuccess && report.reason.empty()) __builtin_trap();
    if (report.outcome == PtnReadResult::kRefused && style.StyleName != "untouched") __builtin_trap();
    if (report.outcome == PtnReadResult::kFailed && (style.PieceCount != 0 || style.SizeCount != 0)) {
      __builtin_trap();
    }
    if (report.outcome == PtnReadResult::kSuccess && style.DataVersion != g_DefaultDataVersion) __builtin_trap();
    if (g_Style.PieceCount != 0 || g_Style.SizeCount != 0) __builtin_trap();
  }
  ClearStyle();
}
