// How the free-rectangle placement scales with the number of pieces already
// in the work area: every placement cuts all placed pieces out of the free
// list, so its cost grows with the work area; the cap on free rectangles and
// on branch chains keeps each cut bounded.
//
// BM_PlaceAllThroughTheList times what the driver's place-all does: every
// listed piece picked in list order through the list pane's pick handler,
// into a work window of 1024 x 768 pixels; headless, the windows never shown.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include <QApplication>

#include "app/pattern_list.h"
#include "app/placement.h"
#include "app/work_window.h"
#include "model/items/outline_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/settings.h"
#include "model/style.h"

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

// A listed piece: a rounded w x h outline at the origin.
CPieceRecord* ListPiece(int w, int h) {
  auto* piece = new CPieceRecord;
  piece->PieceName = "P";
  auto* outline = new CPieceItem0(nullptr, nullptr);
  outline->AddTailVertex(0, 0, 0);
  outline->AddTailVertex(w, 0, 0);
  outline->AddTailVertex(w, h, 3);
  outline->AddTailVertex(w / 2, h + h / 5, 1);
  outline->AddTailVertex(0, h, 3);
  outline->SmoothCurves();
  piece->AddItem(outline);
  piece->BoxMinX = 0;
  piece->BoxMinY = 0;
  piece->BoxMaxX = w;
  piece->BoxMaxY = h + h / 5;
  g_Style.AddPiece(piece);
  return piece;
}

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "bench_placement";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QApplication> app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return std::make_unique<QApplication>(argc, argv);
  }();
}

void BM_PlaceAllThroughTheList(benchmark::State& state) {
  EnsureApplication();
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    ClearStyle();
    g_Selection.Reset();
    RestoreDefaultSettings();
    g_Style.AddSize(new CSizeRecord("M", 0, 0, 0x000000, 1));
    auto view = std::make_unique<CWorkWindow>();
    view->setFixedSize(1024, 768);
    auto list = std::make_unique<CPatternListBox>();
    list->resize(1024, 80);
    for (int i = 0; i < count; ++i) list->AddPiece(ListPiece(4000 + (i * 3701) % 16000, 3000 + (i * 5303) % 12000));
    state.ResumeTiming();
    for (int i = 0; i < list->GetCount(); ++i) {
      list->SetCurSel(i);
      list->OnSelchange();
    }
    benchmark::DoNotOptimize(g_Style.WorkPieceCount);
    state.PauseTiming();
    list.reset();
    view.reset();
    ClearStyle();
    g_Selection.Reset();
    state.ResumeTiming();
  }
  state.SetComplexityN(count);
}
BENCHMARK(BM_PlaceAllThroughTheList)->Arg(100)->Arg(400)->Arg(1700)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
