// Fuzzes the plain DXF reader. The first input byte is the user's answer to
// the options dialog: bits 0-1 the unit (millimetres, centimetres, inches;
// 3 is millimetres too), bit 2 many patterns instead of one. The rest is the
// file.
#include <cstddef>
#include <cstdint>

#include "formats/dxf_reader.h"
#include "fuzz/fuzz_support.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzInput input = SplitOptions(data, size);
  const std::string path = WriteFuzzFile("drawing.dxf", input.rest);

  static constexpr int kUnits[] = {IDC_DXF_OPEN_MM, IDC_DXF_OPEN_CM, IDC_DXF_OPEN_INCH, IDC_DXF_OPEN_MM};
  DialogScript script(IDD_DXF_OPEN);
  script.ChooseRadio(kUnits[input.options & 3]);
  script.ChooseRadio((input.options & 4) ? IDC_DXF_OPEN_MANY : IDC_DXF_OPEN_ONE);
  ScriptedPrompts prompts;
  prompts.RunOptionsDialog(script);
  ScopedPrompts scoped(&prompts);

  ClearStyle();
  const DxfReadResult result = ReadDxfFile(CString(path));
  // The dialog was answered with OK: a read that reports a cancel went wrong.
  if (result == DxfReadResult::kCancelled) __builtin_trap();
  ClearStyle();
  return 0;
}
