// Opening a large AAMA style, in the two ways AAMA files come: size blocks
// with texts and a grade-rule table (as this program writes them), and named
// blocks without texts after the layout blocks (as other CAD systems write
// them), each of about 1, 5 and 10 MB of DXF text, read as the open command
// reads them. Reports the reading speed over the files, how many times a bare
// pass over the same bytes the open takes, the peak heap the read holds, the
// process's peak resident size during the reads, and per layout the fit of
// time against file size (the cost must grow linearly with the file).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "formats/dxf_pairs.h"
#include "model/style.h"

namespace {

using Clock = std::chrono::steady_clock;

// Walks every group code/value pair of the DXF file and every line of its
// rule table, as the reader meets them, building nothing: the least an open
// of these bytes can cost. False when a file cannot be read.
bool ScanPairs(const StyleOnDisk& style, size_t& pairs) {
  DxfPairReader dxf;
  if (!dxf.Open(CString(style.path()))) return false;
  while (dxf.Next() == DxfPairReader::Status::kPair) ++pairs;
  if (dxf.LastStatus() != DxfPairReader::Status::kEof) return false;
  if (style.rules_path().empty()) return true;
  std::vector<uint8_t> bytes;
  if (!ReadPatternFile(CString(style.rules_path()), bytes)) return false;
  ByteLineReader rules(BytesOf(bytes));
  CString line;
  while (rules.ReadLine(line)) ++pairs;
  return true;
}

// Seconds one bare pass over the style takes: the mean of a few passes after
// one that warms the caches. Zero when the files cannot be read.
double PairScanSeconds(const StyleOnDisk& style) {
  constexpr int kPasses = 3;
  size_t pairs = 0;
  if (!ScanPairs(style, pairs)) return 0.0;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < kPasses; ++i) ScanPairs(style, pairs);
  benchmark::DoNotOptimize(pairs);
  return std::chrono::duration<double>(Clock::now() - start).count() / kPasses;
}

void ReportFile(benchmark::State& state, const StyleOnDisk& style) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * style.bytes()));
  state.SetComplexityN(static_cast<int64_t>(style.bytes()));
  state.counters["file_MB"] = static_cast<double>(style.bytes()) / (1024.0 * 1024.0);
}

// Opens the style with the open dialog's defaults. Those keep the named
// blocks apart: only blocks that carry a size text are merged as sizes of
// one piece, and the named blocks have none. The count of pieces read proves
// it.
void BM_ReadAamaStyle(benchmark::State& state, AamaBlockLayout layout) {
  const size_t dxf_bytes = static_cast<size_t>(state.range(0)) * 1024;
  StyleOnDisk style(dxf_bytes, layout);
  if (!style.ok()) {
    state.SkipWithError("cannot write the generated style");
    return;
  }
  ClearStyle();
  const double scan_seconds = PairScanSeconds(style);
  if (scan_seconds <= 0.0) {
    state.SkipWithError("the generated style cannot be scanned");
    return;
  }
  ResetPeakRss();
  long long peak_held = 0;
  double open_seconds = 0.0;
  int pieces = 0;
  for (auto _ : state) {
    const long long before = LiveHeapBytes();
    ResetHeapPeak();
    const Clock::time_point start = Clock::now();
    const bool read = OpenAamaWithDefaults(style.path());
    open_seconds += std::chrono::duration<double>(Clock::now() - start).count();
    if (!read) {
      state.SkipWithError("the generated style did not read");
      break;
    }
    peak_held = std::max(peak_held, PeakHeapBytes() - before);
    state.PauseTiming();
    pieces = g_Style.PieceCount;
    ClearStyle();
    state.ResumeTiming();
  }
  if (layout == AamaBlockLayout::kNamedBlocksLayoutFirst && pieces != style.pieces()) {
    state.SkipWithError("the named blocks did not open as a piece each");
  }
  ReportFile(state, style);
  state.counters["pieces"] = pieces;
  state.counters["ratio_to_pair_scan"] =
      state.iterations() > 0 ? open_seconds / static_cast<double>(state.iterations()) / scan_seconds : 0.0;
  state.counters["peak_heap_MB"] = static_cast<double>(peak_held) / (1024.0 * 1024.0);
  state.counters["peak_rss_MB"] = PeakRssMb();
}
// DXF text of about 1, 5 and 10 MB (in KiB), per layout, each layout its own
// fit of time against size.
BENCHMARK_CAPTURE(BM_ReadAamaStyle, size_blocks, AamaBlockLayout::kSizeBlocksWithTexts)
    ->Arg(1024)
    ->Arg(5120)
    ->Arg(10240)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_ReadAamaStyle, named_blocks, AamaBlockLayout::kNamedBlocksLayoutFirst)
    ->Arg(1024)
    ->Arg(5120)
    ->Arg(10240)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The bare pass over the same files alone: its reading speed is the ceiling
// the open is compared with.
void BM_ScanAamaPairs(benchmark::State& state, AamaBlockLayout layout) {
  StyleOnDisk style(static_cast<size_t>(state.range(0)) * 1024, layout);
  if (!style.ok()) {
    state.SkipWithError("cannot write the generated style");
    return;
  }
  for (auto _ : state) {
    size_t pairs = 0;
    if (!ScanPairs(style, pairs)) {
      state.SkipWithError("the generated style cannot be scanned");
      break;
    }
    benchmark::DoNotOptimize(pairs);
  }
  ReportFile(state, style);
}
BENCHMARK_CAPTURE(BM_ScanAamaPairs, size_blocks, AamaBlockLayout::kSizeBlocksWithTexts)
    ->Arg(10240)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanAamaPairs, named_blocks, AamaBlockLayout::kNamedBlocksLayoutFirst)
    ->Arg(10240)
    ->Unit(benchmark::kMillisecond);

}  // namespace
