#include "bench/bench_support.h"

#include <malloc.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
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

// The kernel's high-water mark of the resident size (VmHWM, in kB), which
// ResetPeakRss can lower; getrusage's figure never goes down.
double PeakRssMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

bool ResetPeakRss() {
  // Freed heap the allocator still holds would count as resident: it goes
  // back to the system first.
  malloc_trim(0);
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";  // resets the high-water mark to the present resident size
  clear.close();
  return static_cast<bool>(clear);
}

StyleOnDisk::StyleOnDisk(size_t dxf_bytes, AamaBlockLayout layout) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zv_aama_bench_XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  AamaStyleShape base;
  if (layout == AamaBlockLayout::kNamedBlocksLayoutFirst) base = NamedBlocksShape();
  const AamaStyleShape shape = AamaShapeForBytes(dxf_bytes, base);
  const AamaStyleText style = GenerateAamaStyle(shape);
  bytes_ = style.dxf.size() + style.rul.size();
  pieces_ = shape.pieces;
  path_ = folder_ + "/style.dxf";
  if (!style.rul.empty()) rules_path_ = folder_ + "/style.rul";
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
