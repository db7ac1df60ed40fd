// Saving a large graded style: the generated style of the read benchmark
// (1 to 10 MB of AAMA text) is opened once, then written again and again as
// AAMA with its rule table and as plain DXF, as the save commands write them
// with their dialogs' defaults. Reports the writing speed over the files
// written, the peak heap a save holds, the process's peak resident size, and
// the fit of time against the size of what was written.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "bench/bench_support.h"
#include "formats/aama_writer.h"
#include "formats/dxf_writer.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"

namespace {

enum class Format { kAama, kDxf };

// Saves the style to `path` pressing OK in the writer's dialog; true when the
// writer reports success.
bool Save(Format format, const std::string& path) {
  ScriptedPrompts prompts;
  prompts.RunOptionsDialog(DialogScript(format == Format::kAama ? IDD_AAMA_SAVE : IDD_DXF_SAVE));
  ScopedPrompts scoped(&prompts);
  const int result = format == Format::kAama ? SaveAamaFile(path.c_str()) : SaveDxfFile(CString(path.c_str()));
  return result != 0 && prompts.records().size() == 1;
}

// The bytes of the files a save left in the folder under the name "out".
size_t WrittenBytes(const std::string& folder) {
  size_t bytes = 0;
  for (const char* name : {"out.dxf", "out.rul"}) {
    std::error_code error;
    const auto size = std::filesystem::file_size(folder + "/" + name, error);
    if (!error) bytes += size;
  }
  return bytes;
}

void BM_Save(benchmark::State& state, Format format) {
  StyleOnDisk style(static_cast<size_t>(state.range(0)) * 1024);
  ClearStyle();
  if (!style.ok() || !OpenAamaWithDefaults(style.path())) {
    state.SkipWithError("the generated style could not be written or read");
    return;
  }
  const std::string out = style.folder() + "/out.dxf";
  long long peak_held = 0;
  for (auto _ : state) {
    const long long before = LiveHeapBytes();
    ResetHeapPeak();
    if (!Save(format, out)) {
      state.SkipWithError("the save failed");
      break;
    }
    peak_held = std::max(peak_held, PeakHeapBytes() - before);
  }
  const size_t written = WrittenBytes(style.folder());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
  state.SetComplexityN(static_cast<int64_t>(written));
  state.counters["written_MB"] = static_cast<double>(written) / (1024.0 * 1024.0);
  state.counters["pieces"] = g_Style.PieceCount;
  state.counters["peak_heap_MB"] = static_cast<double>(peak_held) / (1024.0 * 1024.0);
  state.counters["peak_rss_MB"] = PeakRssMb();
  ClearStyle();
}

void BM_SaveAama(benchmark::State& state) { BM_Save(state, Format::kAama); }
void BM_SaveDxf(benchmark::State& state) { BM_Save(state, Format::kDxf); }

// The style read from AAMA text of about 1, 2.5, 5 and 10 MB (in KiB).
BENCHMARK(BM_SaveAama)->Arg(1024)->Arg(2560)->Arg(5120)->Arg(10240)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_SaveDxf)->Arg(1024)->Arg(2560)->Arg(5120)->Arg(10240)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
