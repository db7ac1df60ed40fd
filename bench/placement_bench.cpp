// How the free-rectangle placement scales with the number of pieces already
// in the work area: every placement cuts all placed pieces out of the free
// list, so its cost grows with the work area; the cap on free rectangles and
// on branch chains keeps each cut bounded.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "app/placement.h"

namespace {

// Places `count` pieces of varied sizes one after another, as a user picking
// every piece of a large style would.
std::vector<PlaceRect> PlaceAll(int count) {
  std::vector<PlaceRect> placed{{0, 0, 20000, 12000}};
  PlaceRect extent = placed[0];
  for (int i = 0; i < count; ++i) {
    PlacementInput in;
    in.minX = 0;
    in.minY = 0;
    in.maxX = 4000 + (i * 3701) % 16000;
    in.maxY = 3000 + (i * 5303) % 12000;
    in.placed = placed;
    in.extent = extent;
    in.hasCurrentPiece = true;
    in.clientWidth = 1200;
    in.clientHeight = 700;
    in.gap = 60 * 40;
    const PlaceRect r = PlacePieceRect(in);
    placed.push_back(r);
    extent = {std::min(extent.left, r.left), std::min(extent.top, r.top), std::max(extent.right, r.right),
              std::max(extent.bottom, r.bottom)};
  }
  return placed;
}

void BM_PlacePieces(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    std::vector<PlaceRect> placed = PlaceAll(count);
    benchmark::DoNotOptimize(placed.data());
  }
  state.SetComplexityN(count);
}
BENCHMARK(BM_PlacePieces)->Arg(10)->Arg(40)->Arg(160)->Arg(640)->Unit(benchmark::kMillisecond)->Complexity();

// One cut through a list held at its cap: every part evicts a smaller
// rectangle.
void BM_CutCrowdedList(benchmark::State& state) {
  std::vector<PlaceRect> rects;
  for (int i = 0; i < kMaxFreeRectangles + 1; ++i) rects.push_back({i * 20, 0, i * 20 + 10, 10 + i % 7});
  for (auto _ : state) {
    FreeRectangleList list(rects);
    list.Cut({0, 2, 6010, 5});
    benchmark::DoNotOptimize(list.size());
  }
}
BENCHMARK(BM_CutCrowdedList);

}  // namespace
