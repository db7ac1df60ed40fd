// Number formatting and parsing run once per coordinate of every file read or
// written, so their cost scales with the largest styles.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/numbers.h"
#include "platform/text.h"

static void BM_FormatCoordinate(benchmark::State& state) {
  double v = 1234.5678;
  for (auto _ : state) {
    std::string s = FormatNumberText("%.4f", v);
    benchmark::DoNotOptimize(s);
    v += 0.25;
  }
}
BENCHMARK(BM_FormatCoordinate);

static void BM_ParseCoordinate(benchmark::State& state) {
  const std::string line = "  -1234.5678";
  for (auto _ : state) benchmark::DoNotOptimize(ParseDouble(line));
}
BENCHMARK(BM_ParseCoordinate);

static void BM_FindInGbkText(benchmark::State& state) {
  CString text(std::string(4096, '\xC7'));
  text += "\\end";
  for (auto _ : state) benchmark::DoNotOptimize(text.Find('\\'));
}
BENCHMARK(BM_FindInGbkText);
