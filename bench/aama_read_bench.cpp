// Opening a large graded AAMA style: a made-up style of 1 to 10 MB of DXF
// text with its grade-rule table, read as the open command reads it. Reports
// the reading speed over both files, the peak heap the read holds, the
// process's peak resident size, and the fit of time against file size (the
// cost must grow linearly with the file).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "formats/dxf_pairs.h"
#include "model/style.h"

namespace {

void BM_ReadAamaStyle(benchmark::State& state) {
  const size_t dxf_bytes = static_cast<size_t>(state.range(0)) * 1024;
  StyleOnDisk style(dxf_bytes);
  if (!style.ok()) {
    state.SkipWithError("cannot write the generated style");
    return;
  }
  ClearStyle();
  long long peak_held = 0;
  for (auto _ : state) {
    const long long before = LiveHeapBytes();
    ResetHeapPeak();
    if (!OpenAamaWithDefaults(style.path())) {
      state.SkipWithError("the generated style did not read");
      break;
    }
    peak_held = std::max(peak_held, PeakHeapBytes() - before);
    state.PauseTiming();
    benchmark::DoNotOptimize(g_Style.PieceCount);
    ClearStyle();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * style.bytes()));
  state.SetComplexityN(static_cast<int64_t>(style.bytes()));
  state.counters["file_MB"] = static_cast<double>(style.bytes()) / (1024.0 * 1024.0);
  state.counters["peak_heap_MB"] = static_cast<double>(peak_held) / (1024.0 * 1024.0);
  state.counters["peak_rss_MB"] = PeakRssMb();
}
// DXF text of about 1, 2.5, 5 and 10 MB (in KiB), in growing order so that
// the process's peak resident size belongs to the size just run.
BENCHMARK(BM_ReadAamaStyle)
    ->Arg(1024)
    ->Arg(2560)
    ->Arg(5120)
    ->Arg(10240)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The same files read line by line as the AAMA reader reads them, with
// nothing built from the lines.
void BM_ReadAamaLines(benchmark::State& state) {
  StyleOnDisk style(static_cast<size_t>(state.range(0)) * 1024);
  if (!style.ok()) {
    state.SkipWithError("cannot write the generated style");
    return;
  }
  const std::string rul = std::filesystem::path(style.path()).replace_extension(".rul").string();
  for (auto _ : state) {
    size_t lines = 0;
    for (const std::string& path : {style.path(), rul}) {
      TextFileReader in;
      if (!in.Open(CString(path))) {
        state.SkipWithError("cannot open the generated style");
        return;
      }
      CString line;
      while (ReadTextLine(in, line)) ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * style.bytes()));
}
BENCHMARK(BM_ReadAamaLines)->Arg(10240)->Unit(benchmark::kMillisecond);

}  // namespace
