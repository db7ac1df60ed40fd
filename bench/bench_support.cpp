#include "bench/bench_support.h"

#include <malloc.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <system_error>

#include "bench/aama_generator.h"
#include "formats/aama_reader.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"

// Heap accounting for the program: every C++ allocation goes through these
// operators, so the bytes alive at once can be followed through a run.
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

// The benchmarks run the real options dialogs, and benchmark_main is their
// start-up: the dialog templates are registered as the program loads.
[[maybe_unused]] const bool g_dialog_templates_registered = (RegisterDialogTemplates(), true);
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

long long LiveHeapBytes() { return g_live_bytes.load(); }
long long PeakHeapBytes() { return g_peak_bytes.load(); }
void ResetHeapPeak() { g_peak_bytes = g_live_bytes.load(); }

double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

StyleOnDisk::StyleOnDisk(size_t dxf_bytes) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zv_aama_bench_XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  const AamaStyleText style = GenerateAamaStyle(AamaShapeForBytes(dxf_bytes));
  bytes_ = style.dxf.size() + style.rul.size();
  path_ = folder_ + "/style.dxf";
  ok_ = !folder_.empty() && WriteAamaStyle(style, path_);
}

StyleOnDisk::~StyleOnDisk() {
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

bool OpenAamaWithDefaults(const std::string& path) {
  ScriptedPrompts prompts;
  prompts.RunOptionsDialog(DialogScript(IDD_AAMA_OPEN));
  ScopedPrompts scoped(&prompts);
  return ReadAamaFile(path.c_str(), 0, 0) == AamaReadResult::kSuccess;
}
