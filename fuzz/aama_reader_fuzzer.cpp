// Fuzzes the AAMA reader together with its grade-rule table. The first input
// byte holds the options; the rest is the DXF file, and when it holds the
// line "=RUL=" the part after that line is the *.rul file beside it (no rule
// file otherwise).
//
// Options byte:
//   bit 0  keep texts               bit 1  all points are grade points
//   bit 2  sizes separate           bits 4-6  the scale text (kScales)
//   bit 7  append mode, as the Lectra import reads (no dialog); with bit 3
//          the file is appended a second time, after itself
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/aama_reader.h"
#include "fuzz/fuzz_support.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"

namespace {

constexpr std::string_view kRuleSeparator = "\n=RUL=\n";

// Scale texts a user may pick or type; the last ones stretch coordinates far
// beyond any garment, as a mistyped factor would.
constexpr const char* kScales[] = {"1.0", "10.0", "0.1", "1/25.4", "25.4", "0.0001", "1000000", "1e300"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzInput input = SplitOptions(data, size);
  std::string_view dxf = input.rest;
  const size_t cut = dxf.find(kRuleSeparator);
  if (cut != std::string_view::npos) {
    WriteFuzzFile("style.rul", dxf.substr(cut + kRuleSeparator.size()));
    dxf = dxf.substr(0, cut + 1);
  } else {
    RemoveFuzzFile("style.rul");
  }
  const std::string path = WriteFuzzFile("style.dxf", dxf);

  ScriptedPrompts prompts;
  ScopedPrompts scoped(&prompts);
  ClearStyle();
  const bool append = (input.options & 0x80) != 0;
  if (append) {
    ReadAamaFile(path.c_str(), 1, 1);
    if (input.options & 8) ReadAamaFile(path.c_str(), 1, 1);
  } else {
    DialogScript script(IDD_AAMA_OPEN);
    if (input.options & 1) script.SetCheck(IDC_AAMA_OPEN_TEXT_INFO);
    if (input.options & 2) script.SetCheck(IDC_AAMA_OPEN_ALL_GRADE);
    if (input.options & 4) script.SetCheck(IDC_AAMA_OPEN_SIZES_APART);
    script.SetText(IDC_AAMA_OPEN_SCALE, kScales[(input.options >> 4) & 7]);
    prompts.RunOptionsDialog(script);
    // The dialog was answered with OK: a read that reports a cancel went wrong.
    if (ReadAamaFile(path.c_str(), 0, 0) == AamaReadResult::kCancelled) __builtin_trap();
  }
  ClearStyle();
  return 0;
}
