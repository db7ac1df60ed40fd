// Native files of a large graded style: the generated style of the AAMA
// benchmarks (1 to 10 MB of AAMA text) is opened once and saved natively;
// then the native file is built again and again in memory (the save without
// its disk write), and read again and again into a style of its own. Reports
// the speed over the native file's bytes, the peak heap each holds and the
// fit of time against the file's size.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_support.h"
#include "formats/ptn_reader.h"
#include "formats/ptn_writer.h"
#include "model/style.h"

namespace {

// Opens the generated style of `kib` KiB of AAMA text; false when it could
// not be made or read.
bool OpenGeneratedStyle(StyleOnDisk& style) {
  ClearStyle();
  return style.ok() && OpenAamaWithDefaults(style.path());
}

void Report(benchmark::State& state, size_t bytes, long long peakHeld) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.SetComplexityN(static_cast<int64_t>(bytes));
  state.counters["ptn_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
  state.counters["peak_heap_MB"] = static_cast<double>(peakHeld) / (1024.0 * 1024.0);
  state.counters["peak_rss_MB"] = PeakRssMb();
}

void BM_BuildPtnFile(benchmark::State& state) {
  StyleOnDisk style(static_cast<size_t>(state.range(0)) * 1024);
  if (!OpenGeneratedStyle(style)) {
    state.SkipWithError("the generated style could not be written or read");
    return;
  }
  size_t bytes = 0;
  long long peakHeld = 0;
  for (auto _ : state) {
    const long long before = LiveHeapBytes();
    ResetHeapPeak();
    const std::vector<uint8_t> file = BuildPtnFileBytes();
    peakHeld = std::max(peakHeld, PeakHeapBytes() - before);
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  Report(state, bytes, peakHeld);
  ClearStyle();
}

void BM_ReadPtnFile(benchmark::State& state) {
  StyleOnDisk style(static_cast<size_t>(state.range(0)) * 1024);
  if (!OpenGeneratedStyle(style)) {
    state.SkipWithError("the generated style could not be written or read");
    return;
  }
  const std::vector<uint8_t> saved = BuildPtnFileBytes();
  ClearStyle();
  const std::string_view file(reinterpret_cast<const char*>(saved.data()), saved.size());
  long long peakHeld = 0;
  for (auto _ : state) {
    const long long before = LiveHeapBytes();
    ResetHeapPeak();
    CStyle read;
    if (ReadPtnBytes(file, read).outcome != PtnReadResult::kSuccess) {
      state.SkipWithError("the native file could not be read");
      break;
    }
    peakHeld = std::max(peakHeld, PeakHeapBytes() - before);
  }
  Report(state, file.size(), peakHeld);
}

// The style read from AAMA text of about 1, 2.5, 5 and 10 MB (in KiB).
BENCHMARK(BM_BuildPtnFile)->Arg(1024)->Arg(2560)->Arg(5120)->Arg(10240)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_ReadPtnFile)->Arg(1024)->Arg(2560)->Arg(5120)->Arg(10240)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
