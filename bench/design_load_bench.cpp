// Loading a parametric design of many points: half of them hidden and used
// by nothing, so that the clean-up after loading removes every other point.
// Reports the time against the number of points, which must stay linear.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "design/core/pattern_data.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"

namespace {

std::string DesignOfPoints(int points) {
  design_fixture::DesignArchiveWriter w(149);
  w.AddSize({"M", 0, 0});
  w.AddSize({"L", 0, 0});
  w.SetBaseSize(0);
  for (int i = 0; i < points; ++i) {
    design_fixture::FreePointFields p;
    p.x = i;
    p.state = i % 2;
    w.AddFreePoint(p);
  }
  design_fixture::PatternRecordFields record;
  record.name = "A";
  record.ref_point = 1;
  w.AddRecord(record);
  return w.Bytes();
}

void BM_LoadDesign(benchmark::State& state) {
  const std::string bytes = DesignOfPoints(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CPatternData data;
    ArchiveReader archive{std::string_view(bytes)};
    if (!data.Load(archive)) {
      state.SkipWithError("the design did not load");
      return;
    }
    benchmark::DoNotOptimize(data.GetElementCount());
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK(BM_LoadDesign)->RangeMultiplier(4)->Range(1 << 10, 1 << 18)->Complexity(benchmark::oN);

}  // namespace
