// Opening a large graded AAMA style: a made-up style of 1 to 10 MB of DXF
// text with its grade-rule table, read as the open command reads it. Reports
// the reading speed over both files, the peak heap the read holds, the
// process's peak resident size, and the fit of time against file size (the
// cost must grow linearly with the file).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>

#include "bench/aama_generator.h"
#include "formats/aama_reader.h"
#include "formats/dxf_pairs.h"
#include "model/style.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"

// Heap accounting for this program: every C++ allocation goes through these
// operators, so the bytes alive at once can be followed through a read.
namespace {
std::atomic<long long> g_live_bytes{0};
std::atomic<long long> g_peak_bytes{0};

void* Allocate(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  const long long now = g_live_bytes += static_cast<long long>(malloc_usable_size(p));
  long long peak = g_peak_bytes.load(std::memory_order_relaxed);
  while (now > peak && !g_peak_bytes.compare_exchange_weak(peak, now)) {
  }
  return p;
}

void Release(void* p) noexcept {
  if (!p) return;
  g_live_bytes -= static_cast<long long>(malloc_usable_size(p));
  std::free(p);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace {

// One generated style on disk for the whole run of one size.
class StyleOnDisk {
 public:
  explicit StyleOnDisk(size_t dxf_bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zv_aama_bench_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    const AamaStyleText style = GenerateAamaStyle(AamaShapeForBytes(dxf_bytes));
    bytes_ = style.dxf.size() + style.rul.size();
    path_ = folder_ + "/style.dxf";
    ok_ = !folder_.empty() && WriteAamaStyle(style, path_);
  }
  ~StyleOnDisk() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  bool ok() const { return ok_; }
  const std::string& path() const { return path_; }
  size_t bytes() const { return bytes_; }

 private:
  std::string folder_;
  std::string path_;
  size_t bytes_ = 0;
  bool ok_ = false;
};

AamaReadResult ReadWithDefaultOptions(const std::string& path) {
  ScriptedPrompts prompts;
  prompts.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN));
  ScopedPrompts scoped(&prompts);
  return ReadAamaFile(path.c_str(), 0, 0);
}

double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

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
    const long long before = g_live_bytes.load();
    g_peak_bytes = before;
    if (ReadWithDefaultOptions(style.path()) != AamaReadResult::kSuccess) {
      state.SkipWithError("the generated style did not read");
      break;
    }
    peak_held = std::max(peak_held, g_peak_bytes.load() - before);
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
