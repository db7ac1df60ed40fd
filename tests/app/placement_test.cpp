// Free-rectangle placement of pieces entering the work area: the cutting of
// the free list, its cap, the vertical chains, the choice among them and the
// fallback beside the extent.
#include "app/placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <utility>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string Str(const PlaceRect& r) {
  return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "}";
}

std::string Str(const std::vector<PlaceRect>& rects) {
  std::string s;
  for (const PlaceRect& r : rects) s += Str(r);
  return s;
}

TEST(FreeRectangleCut, TableOfCuts) {
  struct Case {
    const char* name;
    std::vector<PlaceRect> start;
    PlaceRect piece;
    std::vector<PlaceRect> expected;  // in list order from the head
  };
  const PlaceRect a{0, 0, 100, 50};
  const PlaceRect b{0, 50, 100, 100};
  const PlaceRect c{0, 100, 100, 150};
  const Case cases[] = {
      // The parts go in the replaced head's place, and the head moves to the
      // last of them: below first, then above, left and right.
      {"piece inside", {{0, 0, 100, 100}}, {40, 40, 60, 60},
       {{0, 60, 100, 100}, {0, 0, 100, 40}, {0, 40, 40, 60}, {60, 40, 100, 60}}},
      {"top-left corner", {{0, 0, 100, 100}}, {0, 0, 50, 50}, {{0, 50, 100, 100}, {50, 0, 100, 50}}},
      {"bottom-right corner", {{0, 0, 100, 100}}, {50, 50, 100, 100}, {{0, 50, 50, 100}, {0, 0, 100, 50}}},
      {"left strip", {{0, 0, 100, 100}}, {-10, -10, 30, 200}, {{30, 0, 100, 100}}},
      {"covers everything", {{0, 0, 100, 100}}, {-10, -10, 200, 200}, {}},
      // Touching edges do not overlap.
      {"touching right", {{0, 0, 100, 100}}, {100, 0, 150, 50}, {{0, 0, 100, 100}}},
      {"touching below", {{0, 0, 100, 100}}, {0, 100, 50, 150}, {{0, 0, 100, 100}}},
      // A rectangle that is not the head is replaced in place.
      {"second of two", {a, b}, {20, 60, 40, 80},
       {a, {0, 50, 100, 60}, {0, 60, 20, 80}, {40, 60, 100, 80}, {0, 80, 100, 100}}},
      {"head of two", {a, b}, {20, 10, 40, 30},
       {{0, 30, 100, 50}, b, {0, 0, 100, 10}, {0, 10, 20, 30}, {40, 10, 100, 30}}},
      // A wholly covered rectangle disappears wherever it stands; a covered
      // head hands the head to the rectangle before it.
      {"covered head", {a, b, c}, {0, 0, 100, 50}, {c, b}},
      {"covered middle", {a, b, c}, {-5, 50, 105, 100}, {a, c}},
      {"covered tail", {a, b, c}, {0, 100, 100, 150}, {a, b}},
      // One piece across two rectangles cuts both; parts made for it are not
      // cut again.
      {"across two", {a, b}, {40, 40, 60, 60},
       {{60, 40, 100, 50}, {0, 50, 40, 60}, {60, 50, 100, 60}, {0, 60, 100, 100}, {0, 0, 100, 40}, {0, 40, 40, 50}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreeRectangleList list(c.start);
    list.Cut(c.piece);
    EXPECT_EQ(Str(list.Rects()), Str(c.expected));
    EXPECT_EQ(list.size(), static_cast<int>(c.expected.size()));
    EXPECT_EQ(list.empty(), c.expected.empty());
  }
}

TEST(FreeRectangleCut, SortByTopKeepsOrderOfEqualTops) {
  FreeRectangleList list(std::vector<PlaceRect>{{5, 30, 6, 40}, {1, 10, 2, 20}, {3, 30, 4, 40}, {7, 0, 8, 5}});
  list.SortByTop();
  EXPECT_EQ(Str(list.Rects()), Str({{7, 0, 8, 5}, {1, 10, 2, 20}, {5, 30, 6, 40}, {3, 30, 4, 40}}));
}

// 300 rectangles of 10 x 10 in a row, with `extra` put in at `at`.
std::vector<PlaceRect> CrowdedList(std::vector<std::pair<int, PlaceRect>> extras) {
  std::vector<PlaceRect> rects;
  for (int i = 0; i < 300; ++i) rects.push_back({i * 20, 0, i * 20 + 10, 10});
  for (const auto& [at, rect] : extras) rects.insert(rects.begin() + at, rect);
  return rects;
}

TEST(FreeRectangleCut, PastThreeHundredTheSmallestSmallerRectangleIsEvicted) {
  const PlaceRect tiny{0, 1000, 1, 1001};   // area 1
  const PlaceRect tiny2{5, 1000, 6, 1001};  // area 1, later in the list
  const PlaceRect mid{0, 2000, 6, 2010};    // area 60
  // The cut halves the first 10 x 10 rectangle: one part of area 50.
  const PlaceRect piece{0, 0, 5, 10};
  const PlaceRect part{5, 0, 10, 10};
  {
    SCOPED_TRACE("301 rectangles: the tiny one goes");
    FreeRectangleList list(CrowdedList({{150, tiny}}));
    ASSERT_EQ(list.size(), 301);
    list.Cut(piece);
    const std::vector<PlaceRect> rects = list.Rects();
    EXPECT_EQ(list.size(), 300);
    EXPECT_EQ(std::count(rects.begin(), rects.end(), tiny), 0);
    EXPECT_EQ(std::count(rects.begin(), rects.end(), part), 1);
  }
  {
    SCOPED_TRACE("equal areas: the first from the head goes");
    FreeRectangleList list(CrowdedList({{100, tiny}, {200, tiny2}}));
    list.Cut(piece);
    const std::vector<PlaceRect> rects = list.Rects();
    EXPECT_EQ(std::count(rects.begin(), rects.end(), tiny), 0);
    EXPECT_EQ(std::count(rects.begin(), rects.end(), tiny2), 1);
  }
  {
    SCOPED_TRACE("nothing smaller than the newcomer: the list grows");
    FreeRectangleList list(CrowdedList({{150, mid}}));
    list.Cut(piece);
    EXPECT_EQ(list.size(), 301);
    const std::vector<PlaceRect> rects = list.Rects();
    EXPECT_EQ(std::count(rects.begin(), rects.end(), mid), 1);
  }
  {
    SCOPED_TRACE("exactly 300 rectangles: no eviction");
    std::vector<PlaceRect> rects = CrowdedList({{150, tiny}});
    rects.pop_back();
    FreeRectangleList list(rects);
    list.Cut(piece);
    EXPECT_EQ(list.size(), 300);
    const std::vector<PlaceRect> after = list.Rects();
    EXPECT_EQ(std::count(after.begin(), after.end(), tiny), 1);
  }
}

TEST(FreeRectangleCut, AnEvictedRectangleIsNotVisited) {
  // The tiny rectangle reaches under the piece too, but the first part evicts
  // it before its turn comes: nothing is cut out of it.
  const PlaceRect tiny{4, 2, 6, 3};
  FreeRectangleList list(CrowdedList({{1, tiny}}));
  list.Cut({0, 0, 5, 10});
  const std::vector<PlaceRect> rects = list.Rects();
  EXPECT_EQ(std::count(rects.begin(), rects.end(), tiny), 0);
  EXPECT_EQ(std::count(rects.begin(), rects.end(), PlaceRect{5, 2, 6, 3}), 0);
  EXPECT_EQ(list.size(), 300);
}

// The cut as its contract reads, on a vector kept in list order from the
// head: every rectangle present when the cut begins is visited in list
// order, unless evicted by then; an overlapped one is replaced in place by its
// parts above, left, right and below; before each part goes into a list of
// more than kMaxFreeRectangles, the smallest rectangle smaller than the part
// (the first from the head on equal areas) is evicted unless it is the one
// replaced; a replaced head passes the head to the rectangle before it.
std::vector<PlaceRect> ReferenceCut(const std::vector<PlaceRect>& start, const PlaceRect& p) {
  std::vector<std::pair<int, PlaceRect>> ring;  // (id, rectangle) from the head
  for (const PlaceRect& r : start) ring.emplace_back(static_cast<int>(ring.size()), r);
  int nextId = static_cast<int>(ring.size());
  const auto indexOf = [&ring](int id) {
    for (size_t i = 0; i < ring.size(); ++i) {
      if (ring[i].first == id) return static_cast<std::ptrdiff_t>(i);
    }
    return std::ptrdiff_t{-1};
  };
  std::vector<int> visits;
  for (const auto& entry : ring) visits.push_back(entry.first);
  for (int id : visits) {
    if (indexOf(id) < 0) continue;
    const PlaceRect r = ring[static_cast<size_t>(indexOf(id))].second;
    if (!(r.left < p.right && p.left < r.right && r.top < p.bottom && p.top < r.bottom)) continue;
    std::vector<PlaceRect> parts;
    if (r.top < p.top) parts.push_back({r.left, r.top, r.right, p.top});
    if (r.left < p.left) parts.push_back({r.left, std::max(r.top, p.top), p.left, std::min(r.bottom, p.bottom)});
    if (p.right < r.right) parts.push_back({p.right, std::max(r.top, p.top), r.right, std::min(r.bottom, p.bottom)});
    if (p.bottom < r.bottom) parts.push_back({r.left, p.bottom, r.right, r.bottom});
    for (const PlaceRect& part : parts) {
      if (ring.size() > static_cast<size_t>(kMaxFreeRectangles)) {
        std::ptrdiff_t victim = -1;
        for (size_t i = 0; i < ring.size(); ++i) {
          const PlaceArea area = AreaOf(ring[i].second);
          if (area < AreaOf(part) && (victim < 0 || area < AreaOf(ring[static_cast<size_t>(victim)].second))) {
            victim = static_cast<std::ptrdiff_t>(i);
          }
        }
        if (victim >= 0 && ring[static_cast<size_t>(victim)].first != id) ring.erase(ring.begin() + victim);
      }
      // In front of the replaced rectangle: before the head means at the end.
      const std::ptrdiff_t at = indexOf(id);
      ring.insert(at == 0 ? ring.end() : ring.begin() + at, {nextId++, part});
    }
    const std::ptrdiff_t at = indexOf(id);
    ring.erase(ring.begin() + at);
    if (at == 0 && !ring.empty()) std::rotate(ring.begin(), ring.end() - 1, ring.end());
  }
  std::vector<PlaceRect> out;
  for (const auto& entry : ring) out.push_back(entry.second);
  return out;
}

// Cuts of overlapping pieces through lists below, at and far past the cap,
// with rectangles of equal areas: the list follows the contract exactly.
TEST(FreeRectangleCut, CutsFollowTheContractThroughEvictionsAndHeadMoves) {
  uint32_t seed = 12345;
  const auto random = [&seed](int32_t below) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(below));
  };
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    std::vector<PlaceRect> rects;
    const int count = 1 + random(kMaxFreeRectangles + 40);
    for (int i = 0; i < count; ++i) {
      const int32_t l = random(2000);
      const int32_t t = random(2000);
      // Sizes from a few values, so that equal areas are common.
      rects.push_back({l, t, l + 10 * (1 + random(8)), t + 10 * (1 + random(8))});
    }
    FreeRectangleList list(rects);
    std::vector<PlaceRect> expected = rects;
    for (int cut = 0; cut < 30; ++cut) {
      const int32_t l = random(2000);
      const int32_t t = random(2000);
      const PlaceRect piece{l, t, l + 20 + random(400), t + 20 + random(400)};
      list.Cut(piece);
      expected = ReferenceCut(expected, piece);
      ASSERT_EQ(Str(list.Rects()), Str(expected)) << "cut " << cut;
    }
  }
}

TEST(FreeGroups, ChainsBranchesAndSingles) {
  const PlaceRect r1{0, 0, 100, 50};
  const PlaceRect r2{0, 50, 40, 80};
  const PlaceRect r3{60, 50, 100, 90};
  const PlaceRect r4{200, 0, 300, 50};
  const PlaceRect r5{0, 80, 40, 120};
  const std::vector<FreeGroup> groups = BuildFreeGroups({r1, r4, r2, r3, r5});
  ASSERT_EQ(groups.size(), 3u);
  // r2 extends r1's chain; r3 starts at r1's bottom too and branches; r5
  // extends the first chain again.
  EXPECT_EQ(Str(groups[0].members), Str({r1, r2, r5}));
  EXPECT_EQ(Str(groups[1].members), Str({r4}));
  EXPECT_EQ(Str(groups[2].members), Str({r1, r3}));
  EXPECT_EQ(static_cast<long long>(groups[0].area), 5000 + 1200 + 1600);
  EXPECT_EQ(groups[0].maxBottom, 120);
  EXPECT_EQ(groups[2].minLeft, 0);
  EXPECT_EQ(groups[2].maxRight, 100);
}

TEST(FreeGroups, BranchingStopsAtThreeHundredGroups) {
  // A base rectangle with 400 narrow rectangles below it that all start at
  // its bottom: the first extends the chain, every further one would branch.
  std::vector<PlaceRect> rects{{0, 0, 4000, 10}, {0, 10, 5, 20}};
  for (int i = 1; i < 400; ++i) rects.push_back({i * 10, 10, i * 10 + 5, 20});
  const std::vector<FreeGroup> groups = BuildFreeGroups(rects);
  EXPECT_EQ(groups.size(), static_cast<size_t>(kMaxBranchGroups));
}

FreeGroup Group(std::vector<PlaceRect> members) {
  FreeGroup g;
  for (const PlaceRect& m : members) g.Append(m);
  return g;
}

TEST(FreeGroups, SmallestQualifyingGroupWinsAndTiesKeepTheFirst) {
  const FreeGroup big = Group({{0, 0, 100, 100}});
  const FreeGroup small = Group({{500, 0, 560, 60}});
  const FreeGroup small_too = Group({{800, 0, 860, 60}});
  int32_t l = 0, t = 0;
  ASSERT_TRUE(FindPlaceInGroups({big, small, small_too}, 50, 50, &l, &t));
  EXPECT_EQ(l, 500);
  EXPECT_EQ(t, 0);
  ASSERT_TRUE(FindPlaceInGroups({big, small, small_too}, 80, 50, &l, &t));
  EXPECT_EQ(l, 0);
  EXPECT_FALSE(FindPlaceInGroups({big, small}, 120, 10, &l, &t));
}

TEST(FreeGroups, ThePlaceGoesDownTheChainWhileItIsWideEnough) {
  // Two stacked 100-wide rectangles narrowing to 40: a 30-wide, 70-high piece
  // fits from the top; a 50-wide one cannot pass the narrowing and tries the
  // second member alone.
  const FreeGroup chain = Group({{0, 0, 100, 50}, {0, 50, 40, 200}});
  int32_t l = -1, t = -1;
  ASSERT_TRUE(FindPlaceInGroups({chain}, 30, 70, &l, &t));
  EXPECT_EQ(t, 0);
  EXPECT_FALSE(FindPlaceInGroups({chain}, 50, 70, &l, &t));
  ASSERT_TRUE(FindPlaceInGroups({chain}, 35, 120, &l, &t));
  EXPECT_EQ(t, 0);
  EXPECT_FALSE(FindPlaceInGroups({chain}, 35, 250, &l, &t));
}

TEST(Placement, InitialFreeRectangleTakesTheWindowsShape) {
  // A 400 x 200 usable client area (20 pixels spare).
  EXPECT_EQ(InitialFreeRectangle({0, 0, 1000, 1000}, 420, 220), (PlaceRect{0, 0, 2000, 1000}));
  EXPECT_EQ(InitialFreeRectangle({0, 0, 1000, 100}, 420, 220), (PlaceRect{0, 0, 1000, 500}));
  // A minimised window counts as 21 pixels: the rectangle stays finite.
  EXPECT_EQ(InitialFreeRectangle({0, 0, 1000, 500}, 0, -5), (PlaceRect{0, 0, 1000, 1000}));
}

PlacementInput Input(int32_t w, int32_t h, std::vector<PlaceRect> placed, PlaceRect extent, bool current,
                     int cw, int ch, int32_t gap) {
  PlacementInput in;
  in.minX = 7;
  in.minY = 9;
  in.maxX = 7 + w;
  in.maxY = 9 + h;
  in.placed = std::move(placed);
  in.extent = extent;
  in.hasCurrentPiece = current;
  in.clientWidth = cw;
  in.clientHeight = ch;
  in.gap = gap;
  return in;
}

TEST(Placement, FirstPieceKeepsItsBox) {
  const PlacementInput in = Input(300, 200, {}, {}, false, 400, 300, 2400);
  EXPECT_EQ(PlacePieceRect(in), (PlaceRect{7, 9, 307, 209}));
}

TEST(Placement, CasesWithPiecesPlaced) {
  struct Case {
    const char* name;
    PlacementInput in;
    PlaceRect expected;
  };
  const Case cases[] = {
      // The free corner starts at the extent's top-left: no gap there.
      {"free top-left corner", Input(200, 200, {{0, 500, 1000, 1000}, {500, 0, 1000, 500}}, {0, 0, 1000, 1000}, true,
                                     220, 220, 100),
       {0, 0, 200, 200}},
      // Right of the first piece: a gap to the left, none at the top.
      {"beside the first piece", Input(300, 200, {{0, 0, 1000, 1000}}, {0, 0, 1000, 1000}, true, 420, 220, 100),
       {1100, 0, 1400, 200}},
      // No current piece: beside the extent, here to the right.
      {"no current piece", Input(300, 200, {{0, 0, 1000, 1000}}, {0, 0, 1000, 1000}, false, 420, 220, 100),
       {1100, 0, 1400, 200}},
      // Too big for the free area; both sides fit alike: ties go right.
      {"tie goes right", Input(2000, 2000, {{0, 0, 1000, 1000}}, {0, 0, 1000, 1000}, true, 220, 220, 100),
       {1100, 0, 3100, 2000}},
      // A wide, low piece beside a tall window goes below.
      {"below in a tall window", Input(1000, 100, {{0, 0, 1000, 1000}}, {0, 0, 1000, 1000}, true, 220, 420, 100),
       {0, 1100, 1000, 1200}},
      // A minimised window still places the piece, clear of the others.
      {"minimised window", Input(300, 200, {{0, 0, 1000, 1000}}, {0, 0, 1000, 1000}, true, 0, 0, 100),
       {0, 1100, 300, 1300}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Str(PlacePieceRect(c.in)), Str(c.expected));
  }
}

TEST(Placement, ManyPiecesNeverOverlap) {
  // Pieces of varied sizes placed one after another keep the gap to every
  // piece placed before them.
  std::vector<PlaceRect> placed{{0, 0, 500, 300}};
  PlaceRect extent = placed[0];
  const int32_t gap = 40;
  for (int i = 0; i < 60; ++i) {
    const int32_t w = 100 + (i * 37) % 400;
    const int32_t h = 80 + (i * 53) % 300;
    const PlaceRect r = PlacePieceRect(Input(w, h, placed, extent, true, 800, 600, gap));
    ASSERT_EQ(r.right - r.left, w);
    ASSERT_EQ(r.bottom - r.top, h);
    for (const PlaceRect& p : placed) {
      SCOPED_TRACE(Str(r) + " against " + Str(p));
      const bool apart = r.left >= p.right || p.left >= r.right || r.top >= p.bottom || p.top >= r.bottom;
      ASSERT_TRUE(apart);
    }
    placed.push_back(r);
    extent = {std::min(extent.left, r.left), std::min(extent.top, r.top), std::max(extent.right, r.right),
              std::max(extent.bottom, r.bottom)};
  }
}

TEST(Placement, AreasOfExtremeRectanglesDoNotOverflow) {
  const PlaceRect all{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  const PlaceArea side = static_cast<PlaceArea>(UINT32_MAX);
  EXPECT_TRUE(AreaOf(all) == side * side);
  // Placing beside an extent at the edge of the range wraps as the stored
  // coordinates always did, without undefined arithmetic.
  const PlaceRect r = PlacePieceRect(Input(300, 200, {{INT32_MAX - 10, 0, INT32_MAX, 10}},
                                           {INT32_MAX - 10, 0, INT32_MAX, 10}, false, 400, 300, 100));
  EXPECT_EQ(static_cast<int64_t>(r.right) - r.left, 300);

  // A piece whose box is still empty (minima above maxima, as a piece without
  // items has) goes somewhere without undefined arithmetic.
  PlacementInput empty = Input(0, 0, {{0, 0, 1000, 1000}}, {0, 0, 1000, 1000}, true, 400, 300, 100);
  empty.minX = empty.minY = 0x7FFFFFFF;
  empty.maxX = empty.maxY = static_cast<int32_t>(0x80000001u);
  const PlaceRect e = PlacePieceRect(empty);
  EXPECT_EQ(WrapSub(e.right, e.left), WrapSub(empty.maxX, empty.minX));
}

// The kept free list gives every placement the rectangle a placement from
// scratch gives, through runs in an unchanged view (carried over), a view
// that grows or changes shape, and a work area that loses a piece (from
// scratch); long enough that the list stays crowded past its cap.
TEST(PlacementCache, EveryPlacementMatchesOneFromScratch) {
  struct Case {
    const char* name;
    int clientWidth;
    int clientHeight;
    int resizeAt;     // the window becomes 900 x 900 before this pick (-1: never)
    int removeAt;     // the third placed piece leaves before this pick (-1: never)
  };
  const Case cases[] = {
      {"steady window", 1200, 700, -1, -1},
      {"tall window, resized", 300, 900, 90, -1},
      {"piece removed", 1200, 700, -1, 110},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacementCache cache;
    std::vector<PlaceRect> placed{{0, 0, 20000, 12000}};
    int client_w = c.clientWidth;
    int client_h = c.clientHeight;
    int carried = 0;
    int scratch = 0;
    for (int i = 0; i < 200; ++i) {
      if (i == c.resizeAt) client_w = client_h = 900;
      if (i == c.removeAt) placed.erase(placed.begin() + 2);
      PlacementInput in;
      in.maxX = 4000 + (i * 3701) % 16000;
      in.maxY = 3000 + (i * 5303) % 12000;
      in.placed = placed;
      in.extent = placed[0];
      for (const PlaceRect& r : placed) {
        in.extent = {std::min(in.extent.left, r.left), std::min(in.extent.top, r.top),
                     std::max(in.extent.right, r.right), std::max(in.extent.bottom, r.bottom)};
      }
      in.hasCurrentPiece = true;
      in.clientWidth = client_w;
      in.clientHeight = client_h;
      in.gap = 2400;
      const PlaceRect kept = PlacePieceRect(in, &cache);
      ASSERT_EQ(Str(kept), Str(PlacePieceRect(in))) << "pick " << i;
      (cache.LastStartedFromScratch() ? scratch : carried) += 1;
      placed.push_back(kept);
    }
    // Both ways were taken.
    EXPECT_GT(carried, 40);
    EXPECT_GT(scratch, 10);
  }
}

// A list cut many times drops its dead slots now and then; what it holds and
// its order stay those of a list that never did (here: the same cuts made on
// a copy taken before the dead slots piled up).
TEST(PlacementCache, ManyCutsKeepTheListOrder) {
  std::vector<PlaceRect> start;
  for (int i = 0; i < kMaxFreeRectangles + 1; ++i) start.push_back({i * 20, 0, i * 20 + 15, 4000 + i % 7});
  FreeRectangleList list(start);
  std::vector<PlaceRect> expected = start;
  for (int k = 0; k < 2000; ++k) {
    const PlaceRect piece{(k * 37) % 6000, (k * 53) % 3900, (k * 37) % 6000 + 30, (k * 53) % 3900 + 9};
    list.Cut(piece);
    FreeRectangleList fresh(expected);
    fresh.Cut(piece);
    expected = fresh.Rects();
    ASSERT_EQ(Str(list.Rects()), Str(expected)) << "cut " << k;
  }
}

}  // namespace
