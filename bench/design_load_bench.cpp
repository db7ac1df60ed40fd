// Loading a parametric design of many points: half of them hidden and used
// by nothing, so that the clean-up after loading removes every other point.
// Reports the time against the number of points, which must stay linear.
// The file is written here from the layout, apart from the tests' writer.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "design/core/pattern_data.h"
#include "platform/archive.h"
#include "platform/byte_cursor.h"
#include "platform/text.h"

namespace {

// A data-version 149 design (magic 0xB5686E9D, scale 40, two sizes) of
// `points` free points, every other one hidden, and one pattern record graded
// on the second point.
std::vector<uint8_t> DesignOfPoints(int points) {
  constexpr int32_t kVersion = 149;
  ArchiveWriter out;
  out.WriteU32(0xB5686E9D);
  out.WriteI32(kVersion);
  out.WriteU32(0);                                     // reserved (versions 122 to 149)
  out.WriteI32(0);                                     // mode
  for (int i = 0; i < 1 + 17 * 2; ++i) out.WriteU16(0);  // reserved words
  out.WriteI32(0);                                     // no reserved block
  out.WriteI32(40);                                    // scale
  for (int i = 0; i < 5; ++i) out.WriteString(CString());
  for (int font = 0; font < 2; ++font) {
    for (int i = 0; i < 5; ++i) out.WriteI32(0);
    for (int i = 0; i < 8; ++i) out.WriteU8(0);
    out.WriteString(CString("Song"));
  }
  out.WriteI32(2);  // sizes
  for (const char* name : {"M", "L"}) {
    out.WriteString(CString(name));
    out.WriteU16(0);
  }
  out.WriteI32(0);  // base size
  out.WriteI32(0);  // size-table rows
  out.WriteI32(0);  // measures
  out.WriteI32(points);
  for (int i = 0; i < points; ++i) {
    out.WriteI32(1);      // a point
    out.WriteI32(1);      // a free point
    out.WriteU32(i % 2);  // state: every other one hidden
    out.WriteU16(0);      // status
    out.WriteI32(i);
    out.WriteI32(0);
  }
  out.WriteI32(1);  // one pattern record
  for (const char* text : {"A", "", ""}) out.WriteString(CString(text));
  out.WriteI32(1);  // quantity
  out.WriteString(CString());
  for (int i = 0; i < 8; ++i) out.WriteI32(i == 5 ? 2 : 0);  // points and options
  out.WriteDouble(0.0);
  out.WriteI32(0);
  out.WriteI32(0);
  out.WriteI32(1);  // graded on the second point
  out.WriteI32(0);  // no element
  return out.TakeBytes();
}

void BM_LoadDesign(benchmark::State& state) {
  const std::vector<uint8_t> bytes = DesignOfPoints(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CPatternData data;
    ArchiveReader archive{ByteView(bytes)};
    if (!data.Load(archive) || archive.Remaining() != 0) {
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
