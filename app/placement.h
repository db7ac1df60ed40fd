// Where a piece that enters the work area goes: the free-rectangle placement.
//
// The work area is a plane of work-area units (model units shifted per
// piece). Placing a piece means choosing its placed rectangle so that it
// overlaps no piece already there, keeps a gap of 60 mm to them, and keeps
// the whole arrangement compact in the shape of the window that shows it:
//
// 1. Start from the area the window would show when fitted to the current
//    extent, and cut the placed pieces out of it, leaving free rectangles
//    (FreeRectangleList). The list is capped near kMaxFreeRectangles by
//    evicting the smallest rectangle that is smaller than a newcomer, so the
//    cutting stays bounded however many pieces are placed.
// 2. Sort the free rectangles by top and chain them into vertical groups:
//    each member starts exactly at the bottom of the one before it and
//    overlaps it horizontally (BuildFreeGroups, at most kMaxBranchGroups
//    groups made by branching).
// 3. Take the group with the smallest total area that can hold the piece
//    plus its gap, and the first of its members where it fits going down the
//    chain (FindPlaceInGroups).
// 4. When nothing fits, put the piece beside the extent: to its right or
//    below it, whichever leaves the fitted view larger; ties go right
//    (PlacePieceBesideExtent).
//
// This file is pure logic on integers, free of widgets; the work window
// (app/work_window.h) gathers its inputs from the style and the view.
#pragma once

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "platform/win_types.h"

// A rectangle of the work area: left, top, right, bottom; right and bottom
// lie on its far edges (the width is right - left).
struct PlaceRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const PlaceRect&, const PlaceRect&) = default;
};

// Areas are products of 32-bit differences and their sums; 128 bits hold
// them without overflow whatever the coordinates.
using PlaceArea = __int128;
PlaceArea AreaOf(const PlaceRect& r);

inline constexpr int kMaxFreeRectangles = 300;
inline constexpr int kMaxBranchGroups = 300;
// The gap between placed pieces in millimetres (times the style's scale).
inline constexpr int kPlacementGapMm = 60;
// Below this many client pixels the fit ratios of a tiny or minimised window
// would divide by zero or a negative width; such a window counts as this big.
inline constexpr int kMinClientPixels = 21;

// The free rectangles left between placed pieces, in list order from the
// head. The order matters: it decides which rectangle is evicted and which
// chain a piece lands in.
class FreeRectangleList {
 public:
  // A list holding one rectangle.
  explicit FreeRectangleList(const PlaceRect& start);
  // A list holding these rectangles in this order, the first the head.
  explicit FreeRectangleList(const std::vector<PlaceRect>& rects);
  // Makes the list hold `start` alone again, keeping the storage it has
  // grown (a placement from scratch cuts thousands of rectangles).
  void Reset(const PlaceRect& start);

  // Cuts one placed piece out of the list. Every rectangle that is in the
  // list when the cut begins is visited once, in list order from the head;
  // one that overlaps the piece (strictly) is replaced, in place, by the
  // parts of it above, left of, right of and below the piece, in that order.
  // When the replaced rectangle was the head, the head moves to the last part
  // put in its place (or to the rectangle before it). Before each part is
  // inserted into a list of more than kMaxFreeRectangles rectangles, the
  // smallest rectangle smaller than the part (the first from the head on
  // equal areas) is evicted, unless it is the one being replaced.
  void Cut(const PlaceRect& piece);
  // Sorts by top, ascending; rectangles with equal tops keep their order.
  void SortByTop();

  bool empty() const { return count_ == 0; }
  int size() const { return count_; }
  // The rectangles in list order from the head.
  std::vector<PlaceRect> Rects() const;

 private:
  struct Node {
    PlaceRect rect;
    PlaceArea area = 0;  // AreaOf(rect), kept for the eviction's search
    int prev = -1;
    int next = -1;
    bool live = false;
    uint32_t visited = 0;  // the number of the last cut that visited it
  };

  int NewNode(const PlaceRect& r);
  void InsertBefore(int at, int node);
  void Remove(int node);
  // The smallest live rectangle whose area is below `area`, first from the
  // head on ties; -1 when none is.
  int SmallestBelow(PlaceArea area) const;
  void InsertPart(int at, const PlaceRect& part);
  // Drops the slots of removed rectangles, keeping the list order and head.
  void Compact();

  std::vector<Node> nodes_;
  int head_ = -1;
  int count_ = 0;
  // The live rectangles by area (then slot), so that the eviction finds the
  // smallest without walking the list.
  std::set<std::pair<PlaceArea, int>> by_area_;
  uint32_t cut_stamp_ = 0;  // cuts made, numbering their visits
};

// A vertical chain of free rectangles, each starting at the bottom of the one
// before and overlapping it horizontally; with its bounds and total area.
struct FreeGroup {
  std::vector<PlaceRect> members;  // chain order, top-most first
  int32_t minLeft = 0;
  int32_t maxRight = 0;
  int32_t minTop = 0;
  int32_t maxBottom = 0;
  PlaceArea area = 0;

  void Append(const PlaceRect& r);
};

// Chains free rectangles (sorted by top) into groups, in creation order. A
// rectangle that starts at the bottom of a group's last member, overlapping
// it, extends that group; one that starts at the bottom of an earlier member
// branches: a new group gets copies of the members up to that one and the
// rectangle (only while fewer than kMaxBranchGroups groups exist). A
// rectangle that joins no group starts its own.
std::vector<FreeGroup> BuildFreeGroups(const std::vector<PlaceRect>& sortedFree);

// The top-left corner where a box of needWidth x needHeight fits: in the
// qualifying group with the smallest total area (the first on ties), the
// first member from which the chain, going down, is tall and wide enough.
// False when no group holds it.
bool FindPlaceInGroups(const std::vector<FreeGroup>& groups, int64_t needWidth, int64_t needHeight,
                       int32_t* left, int32_t* top);

// What the placement needs to know about the work area and the view.
struct PlacementInput {
  // The piece's model bounding box; width and height are max - min.
  int32_t minX = 0;
  int32_t maxX = 0;
  int32_t minY = 0;
  int32_t maxY = 0;
  // The placed rectangles of the pieces already in the work area, in ring
  // order from its head. Empty: the work area holds no piece.
  std::vector<PlaceRect> placed;
  // The union of `placed` (left, top, right, bottom).
  PlaceRect extent;
  // Whether a piece is current; without one the piece goes beside the extent.
  bool hasCurrentPiece = false;
  // The work window's client size in pixels.
  int clientWidth = 0;
  int clientHeight = 0;
  // The gap between pieces in work-area units (60 mm).
  int32_t gap = 0;
};

// What PlacePieceRect keeps from one placement to the next: the free list
// after cutting the pieces placed so far out of the start rectangle. Cutting
// is a fixed sequence of steps on the list, so when the start rectangle is the
// same and the pieces cut before are the first ones placed now, in the same
// order, the list cut further by the newer pieces is the one a placement from
// scratch makes. Anything else (a new extent or window size, a piece removed
// or moved) starts from scratch. Picking a run of pieces into an unchanged
// view so costs one cut per pick instead of one per placed piece.
class PlacementCache {
 public:
  PlacementCache() = default;
  // Forgets what was kept; the next placement starts from scratch.
  void Clear();
  // The free list for cutting `placed` out of `start`, made from what was
  // kept when possible; kept for the next call.
  const FreeRectangleList& FreeAfterCutting(const PlaceRect& start, const std::vector<PlaceRect>& placed);
  // Whether the last FreeAfterCutting started from scratch (for tests).
  bool LastStartedFromScratch() const { return last_from_scratch_; }

 private:
  bool valid_ = false;
  bool last_from_scratch_ = true;
  PlaceRect start_;
  std::vector<PlaceRect> cut_;
  FreeRectangleList free_{PlaceRect{}};
};

// The placed rectangle for the piece. With a cache, the free list is carried
// over from the previous placement where that gives the same list.
PlaceRect PlacePieceRect(const PlacementInput& in);
PlaceRect PlacePieceRect(const PlacementInput& in, PlacementCache* cache);

// The placement beside everything placed: with an empty work area the piece
// keeps its own box; else right of the extent or below it, each a gap away,
// whichever leaves the fitted view at least as large (ties go right).
void PlacePieceBesideExtent(int32_t maxX, int32_t minX, int32_t maxY, int32_t minY, const PlacementInput& in,
                            int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);

// The free rectangle the cutting starts from: the extent, lengthened down or
// to the right to the shape of the client area it would be fitted to.
PlaceRect InitialFreeRectangle(const PlaceRect& extent, int clientWidth, int clientHeight);
