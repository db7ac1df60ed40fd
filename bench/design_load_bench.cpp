// Loading parametric designs and computing their points, with a fit of the time against the number of
// points, which must stay linear:
// - BM_LoadDesign: free points, half of them hidden and used by nothing, so
//   that the clean-up after loading removes every other point; the file is
//   written here from the layout;
// - BM_LoadDesignOfEveryKind: points of every kind, a third of them hidden
//   and unused, and 200 pattern records, written by the tests' writer of
//   design files;
// - BM_ComputeDesignOfEveryKind: that design at eight sizes, every point
//   computed for every size.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/points/graded_point.h"
#include "model/style.h"
#include "platform/archive.h"
#include "platform/byte_cursor.h"
#include "platform/text.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/sample_points.h"

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

// ---- A design of points of every kind ----------------------------------------

using design_fixture::DesignArchiveWriter;
using design_fixture::ExpectedReferences;
using design_fixture::SampleRefs;

// `points` points in runs of three: a shown free point, a shown point of the
// next kind (2 to 47, the free vertex point 20 left out) referring to the
// free points before it, and a hidden free point that nothing uses.
std::string DesignOfEveryKind(int points, int sizes = 2) {
  DesignArchiveWriter w(162);
  for (int s = 0; s < sizes; ++s) w.AddSize({"S" + std::to_string(s), 0, 0});
  w.SetBaseSize(0);
  int32_t kind = 2;
  int lastFree = -1;
  int previousFree = -1;
  for (int i = 0; i + 3 <= points; i += 3) {
    previousFree = lastFree;
    lastFree = w.AddFreePoint(i, i);
    SampleRefs refs;
    refs.points[0] = lastFree;
    refs.points[1] = previousFree >= 0 ? previousFree : lastFree;
    refs.points[2] = lastFree;
    refs.points[3] = refs.points[1];
    refs.text = lastFree;
    ExpectedReferences expected;
    design_fixture::AddSamplePoint(w, kind, refs, expected);
    kind = kind == 47 ? 2 : (kind == 19 ? 21 : kind + 1);
    design_fixture::FreePointFields hidden;
    hidden.state = 0;
    w.AddFreePoint(hidden);
  }
  for (int r = 0; r < 200; ++r) {
    design_fixture::PatternRecordFields record;
    record.name = "P" + std::to_string(r);
    record.ref_point = lastFree;
    w.AddRecord(record);
  }
  return w.Bytes();
}

void BM_LoadDesignOfEveryKind(benchmark::State& state) {
  const std::string bytes = DesignOfEveryKind(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CPatternData data;
    ArchiveReader archive{std::string_view(bytes)};
    if (!data.Load(archive) || archive.Remaining() != 0) {
      state.SkipWithError(data.GetLoadFailure().reason.c_str());
      return;
    }
    benchmark::DoNotOptimize(data.GetElementCount());
  }
  ClearStyle();
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.counters["file_KB"] = static_cast<double>(bytes.size()) / 1024.0;
}

BENCHMARK(BM_LoadDesignOfEveryKind)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Complexity(benchmark::oN);

// ---- Computing every point for every size --------------------------------------

// The design of every kind at eight sizes, loaded once; each iteration marks
// every point dirty and asks each for every size, as building pieces from
// the pattern records does. Free points are the roots; every other point
// computes from them.
void BM_ComputeDesignOfEveryKind(benchmark::State& state) {
  constexpr int kSizes = 8;
  const std::string bytes = DesignOfEveryKind(static_cast<int>(state.range(0)), kSizes);
  CPatternData data;
  ArchiveReader archive{std::string_view(bytes)};
  if (!data.Load(archive)) {
    state.SkipWithError(data.GetLoadFailure().reason.c_str());
    return;
  }
  std::vector<CGradedPoint*> points;
  for (int32_t i = 0; i < data.GetElementCount(); ++i) {
    if (auto* point = dynamic_cast<CGradedPoint*>(data.GetElementAt(i))) points.push_back(point);
  }
  for (auto _ : state) {
    for (CGradedPoint* point : points) point->Invalidate(-1);
    int64_t defined = 0;
    CPoint p;
    for (CGradedPoint* point : points) {
      for (int32_t size = 0; size < kSizes; ++size) defined += point->GetPoint(size, &p);
    }
    benchmark::DoNotOptimize(defined);
  }
  ClearStyle();
  state.SetComplexityN(state.range(0));
  state.counters["points"] = static_cast<double>(points.size());
}

BENCHMARK(BM_ComputeDesignOfEveryKind)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Complexity(benchmark::oN);


}  // namespace
