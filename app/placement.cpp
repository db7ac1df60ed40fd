#include "app/placement.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

int64_t Span(int32_t from, int32_t to) { return static_cast<int64_t>(to) - from; }

int32_t ClampToInt32(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Toward zero, within the 32-bit range (a NaN gives 0).
int64_t TruncToInt64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 4e18) return static_cast<int64_t>(4e18);
  if (v <= -4e18) return static_cast<int64_t>(-4e18);
  return static_cast<int64_t>(v);
}

int UsableClient(int pixels) { return std::max(pixels, kMinClientPixels); }

}  // namespace

PlaceArea AreaOf(const PlaceRect& r) {
  return static_cast<PlaceArea>(Span(r.left, r.right)) * static_cast<PlaceArea>(Span(r.top, r.bottom));
}

// ---------------------------------------------------------------------------
// Free rectangle list

FreeRectangleList::FreeRectangleList(const PlaceRect& start) { Reset(start); }

void FreeRectangleList::Reset(const PlaceRect& start) {
  nodes_.clear();
  by_area_.clear();
  const int node = NewNode(start);
  nodes_[node].prev = node;
  nodes_[node].next = node;
  head_ = node;
  count_ = 1;
}

FreeRectangleList::FreeRectangleList(const std::vector<PlaceRect>& rects) {
  for (const PlaceRect& r : rects) InsertBefore(head_, NewNode(r));
}

int FreeRectangleList::NewNode(const PlaceRect& r) {
  // Slots are never reused, so a visit list taken before a cut cannot be
  // confused by a new rectangle in an evicted one's place; SortByTop compacts.
  const int id = static_cast<int>(nodes_.size());
  nodes_.push_back(Node{r, AreaOf(r), -1, -1, true});
  by_area_.emplace(nodes_.back().area, id);
  return id;
}

void FreeRectangleList::InsertBefore(int at, int node) {
  if (count_ == 0) {
    nodes_[node].prev = node;
    nodes_[node].next = node;
    head_ = node;
  } else {
    const int before = nodes_[at].prev;
    nodes_[node].prev = before;
    nodes_[node].next = at;
    nodes_[before].next = node;
    nodes_[at].prev = node;
  }
  ++count_;
}

void FreeRectangleList::Remove(int node) {
  if (count_ == 1) {
    head_ = -1;
  } else {
    const int prev = nodes_[node].prev;
    const int next = nodes_[node].next;
    nodes_[prev].next = next;
    nodes_[next].prev = prev;
    if (head_ == node) head_ = next;
  }
  nodes_[node].live = false;
  by_area_.erase({nodes_[node].area, node});
  --count_;
}

int FreeRectangleList::SmallestBelow(PlaceArea area) const {
  if (by_area_.empty()) return -1;
  const auto smallest = by_area_.begin();
  const PlaceArea least = smallest->first;
  if (!(least < area)) return -1;
  // One rectangle of the least area: it. Several: the first from the head.
  if (const auto second = std::next(smallest); second == by_area_.end() || second->first != least) {
    return smallest->second;
  }
  int node = head_;
  for (int i = 0; i < count_; ++i, node = nodes_[node].next) {
    if (nodes_[node].area == least) return node;
  }
  return -1;
}

void FreeRectangleList::InsertPart(int at, const PlaceRect& part) {
  if (count_ > kMaxFreeRectangles) {
    const int victim = SmallestBelow(AreaOf(part));
    if (victim != -1 && victim != at) Remove(victim);
  }
  InsertBefore(at, NewNode(part));
}

void FreeRectangleList::Compact() {
  std::vector<Node> kept;
  kept.reserve(static_cast<size_t>(count_));
  for (int i = 0, node = head_; i < count_; ++i, node = nodes_[node].next) {
    Node n = nodes_[node];
    n.prev = i == 0 ? count_ - 1 : i - 1;
    n.next = i + 1 == count_ ? 0 : i + 1;
    kept.push_back(n);
  }
  nodes_ = std::move(kept);
  head_ = count_ > 0 ? 0 : -1;
  by_area_.clear();
  for (int i = 0; i < count_; ++i) by_area_.emplace(nodes_[static_cast<size_t>(i)].area, i);
}

void FreeRectangleList::Cut(const PlaceRect& p) {
  if (count_ == 0) return;
  // A list cut many times keeps many dead slots: drop them now and then.
  if (nodes_.size() > 4 * static_cast<size_t>(count_) + 1024) Compact();
  // The rectangles present when the cut begins are visited once each, in
  // list order from the head, by following the links: parts made for this
  // piece go in front of the rectangle they replace, so the walk never meets
  // them until it has come round, and an evicted rectangle is unlinked, so
  // the walk passes it by. The walk ends at the first part made by this cut
  // or at a rectangle it has visited already.
  const int firstPart = static_cast<int>(nodes_.size());
  if (++cut_stamp_ == 0) {
    // The numbers came round: no visit of an earlier cut may count.
    for (Node& node : nodes_) node.visited = 0;
    cut_stamp_ = 1;
  }
  const uint32_t stamp = cut_stamp_;
  for (int f = head_; count_ > 0 && f < firstPart && nodes_[f].visited != stamp;) {
    nodes_[f].visited = stamp;
    const PlaceRect r = nodes_[f].rect;
    const bool overlaps = r.left < p.right && p.left < r.right && r.top < p.bottom && p.top < r.bottom;
    if (!overlaps) {
      f = nodes_[f].next;
      continue;
    }
    if (r.top < p.top) InsertPart(f, {r.left, r.top, r.right, p.top});
    if (r.left < p.left) InsertPart(f, {r.left, std::max(r.top, p.top), p.left, std::min(r.bottom, p.bottom)});
    if (p.right < r.right) InsertPart(f, {p.right, std::max(r.top, p.top), r.right, std::min(r.bottom, p.bottom)});
    if (p.bottom < r.bottom) InsertPart(f, {r.left, p.bottom, r.right, r.bottom});

    const bool was_head = head_ == f;
    const int before = nodes_[f].prev;
    Remove(f);
    if (was_head && count_ > 0) head_ = before;
    // A removed rectangle keeps its links: the one after it is where it was.
    f = nodes_[f].next;
  }
}

void FreeRectangleList::SortByTop() {
  std::vector<PlaceRect> rects = Rects();
  std::stable_sort(rects.begin(), rects.end(),
                   [](const PlaceRect& a, const PlaceRect& b) { return a.top < b.top; });
  nodes_.clear();
  by_area_.clear();
  head_ = -1;
  count_ = 0;
  for (const PlaceRect& r : rects) InsertBefore(head_, NewNode(r));
}

std::vector<PlaceRect> FreeRectangleList::Rects() const {
  std::vector<PlaceRect> out;
  out.reserve(static_cast<size_t>(count_));
  for (int i = 0, node = head_; i < count_; ++i, node = nodes_[node].next) out.push_back(nodes_[node].rect);
  return out;
}

// ---------------------------------------------------------------------------
// Groups

void FreeGroup::Append(const PlaceRect& r) {
  if (members.empty()) {
    minLeft = r.left;
    maxRight = r.right;
    minTop = r.top;
    maxBottom = r.bottom;
  } else {
    minLeft = std::min(minLeft, r.left);
    maxRight = std::max(maxRight, r.right);
    minTop = std::min(minTop, r.top);
    maxBottom = std::max(maxBottom, r.bottom);
  }
  members.push_back(r);
  area += AreaOf(r);
}

std::vector<FreeGroup> BuildFreeGroups(const std::vector<PlaceRect>& sortedFree) {
  std::vector<FreeGroup> groups;
  for (const PlaceRect& x : sortedFree) {
    const size_t n = groups.size();
    bool attached = false;
    for (size_t g = 0; g < n; ++g) {
      const size_t count = groups[g].members.size();
      for (size_t m = 0; m < count; ++m) {
        const PlaceRect& member = groups[g].members[m];
        if (x.top != member.bottom || !(x.left < member.right) || !(member.left < x.right)) continue;
        if (m + 1 == count) {
          groups[g].Append(x);
        } else if (groups.size() < static_cast<size_t>(kMaxBranchGroups)) {
          FreeGroup branch;
          for (size_t k = 0; k <= m; ++k) branch.Append(groups[g].members[k]);
          branch.Append(x);
          groups.push_back(std::move(branch));
        }
        attached = true;
        break;
      }
    }
    if (!attached) {
      FreeGroup single;
      single.Append(x);
      groups.push_back(std::move(single));
    }
  }
  return groups;
}

bool FindPlaceInGroups(const std::vector<FreeGroup>& groups, int64_t needWidth, int64_t needHeight,
                       int32_t* left, int32_t* top) {
  const PlaceArea need_area = static_cast<PlaceArea>(needWidth) * needHeight;
  bool found = false;
  PlaceArea best_area = 0;
  for (const FreeGroup& group : groups) {
    if (need_area > group.area || needWidth > Span(group.minLeft, group.maxRight) ||
        needHeight > Span(group.minTop, group.maxBottom)) {
      continue;
    }
    const size_t count = group.members.size();
    for (size_t m = 0; m < count; ++m) {
      int32_t l = group.members[m].left;
      int32_t t = group.members[m].top;
      int32_t r = group.members[m].right;
      int32_t b = group.members[m].bottom;
      for (size_t k = m + 1; k < count && Span(t, b) < needHeight && needWidth <= Span(l, r); ++k) {
        b = group.members[k].bottom;
        l = std::max(l, group.members[k].left);
        r = std::min(r, group.members[k].right);
      }
      if (needHeight <= Span(t, b) && needWidth <= Span(l, r)) {
        if (!found || group.area < best_area) {
          found = true;
          best_area = group.area;
          *left = l;
          *top = t;
        }
        break;
      }
    }
  }
  return found;
}

// ---------------------------------------------------------------------------
// Placement

PlaceRect InitialFreeRectangle(const PlaceRect& extent, int clientWidth, int clientHeight) {
  const double usable_w = UsableClient(clientWidth) - 20.0;
  const double usable_h = UsableClient(clientHeight) - 20.0;
  const double sx = static_cast<double>(Span(extent.left, extent.right)) / usable_w;
  const double sy = static_cast<double>(Span(extent.top, extent.bottom)) / usable_h;
  if (sx >= sy) {
    return {extent.left, extent.top, extent.right,
            ClampToInt32(extent.top + TruncToInt64(usable_h * sx))};
  }
  return {extent.left, extent.top, ClampToInt32(extent.left + TruncToInt64(usable_w * sy)), extent.bottom};
}

void PlacePieceBesideExtent(int32_t maxX, int32_t minX, int32_t maxY, int32_t minY, const PlacementInput& in,
                            int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
  if (in.placed.empty()) {
    *left = minX;
    *top = minY;
    *right = maxX;
    *bottom = maxY;
    return;
  }
  const int64_t w = Span(minX, maxX);
  const int64_t h = Span(minY, maxY);
  const int64_t g = in.gap;
  const int64_t l = in.extent.left;
  const int64_t r = in.extent.right;
  const int64_t t = in.extent.top;
  const int64_t b = in.extent.bottom;
  const double usable_w = UsableClient(in.clientWidth) - 20.0;
  const double usable_h = UsableClient(in.clientHeight) - 20.0;
  const double fit_right = std::max(static_cast<double>(r + w + g - l) / usable_w,
                                    static_cast<double>(std::max(t + h + g, b) - t) / usable_h);
  const double fit_below = std::max(static_cast<double>(std::max(l + w + g, r) - l) / usable_w,
                                    static_cast<double>(b + h + g - t) / usable_h);
  const int32_t pw = WrapSub(maxX, minX);
  const int32_t ph = WrapSub(maxY, minY);
  if (fit_right <= fit_below) {
    *left = WrapAdd(in.extent.right, in.gap);
    *top = in.extent.top;
  } else {
    *left = in.extent.left;
    *top = WrapAdd(in.extent.bottom, in.gap);
  }
  *right = WrapAdd(*left, pw);
  *bottom = WrapAdd(*top, ph);
}

void PlacementCache::Clear() {
  valid_ = false;
  cut_.clear();
  free_ = FreeRectangleList(PlaceRect{});
}

const FreeRectangleList& PlacementCache::FreeAfterCutting(const PlaceRect& start,
                                                          const std::vector<PlaceRect>& placed) {
  const bool carry = valid_ && start_ == start && cut_.size() <= placed.size() &&
                     std::equal(cut_.begin(), cut_.end(), placed.begin());
  last_from_scratch_ = !carry;
  if (!carry) {
    free_.Reset(start);
    start_ = start;
    cut_.clear();
    valid_ = true;
  }
  // Cutting an empty list changes nothing, as stopping at it would.
  for (size_t i = cut_.size(); i < placed.size(); ++i) {
    free_.Cut(placed[i]);
    cut_.push_back(placed[i]);
  }
  return free_;
}

PlaceRect PlacePieceRect(const PlacementInput& in) {
  PlacementCache cache;
  return PlacePieceRect(in, &cache);
}

PlaceRect PlacePieceRect(const PlacementInput& in, PlacementCache* cache) {
  PlaceRect out;
  auto beside = [&] {
    PlacePieceBesideExtent(in.maxX, in.minX, in.maxY, in.minY, in, &out.left, &out.top, &out.right, &out.bottom);
    return out;
  };
  if (!in.hasCurrentPiece || in.placed.empty()) return beside();

  const FreeRectangleList& free =
      cache->FreeAfterCutting(InitialFreeRectangle(in.extent, in.clientWidth, in.clientHeight), in.placed);
  if (free.empty()) return beside();
  // As SortByTop would order them, leaving the kept list as it is.
  std::vector<PlaceRect> sorted = free.Rects();
  std::stable_sort(sorted.begin(), sorted.end(), [](const PlaceRect& a, const PlaceRect& b) { return a.top < b.top; });
  const std::vector<FreeGroup> groups = BuildFreeGroups(sorted);

  const int64_t w = Span(in.minX, in.maxX);
  const int64_t h = Span(in.minY, in.maxY);
  int32_t l = 0;
  int32_t t = 0;
  if (!FindPlaceInGroups(groups, w + in.gap, h + in.gap, &l, &t)) return beside();
  // Against the extent's own top and left edges no gap is needed.
  out.left = l == in.extent.left ? l : WrapAdd(l, in.gap);
  out.top = t == in.extent.top ? t : WrapAdd(t, in.gap);
  out.right = WrapAdd(out.left, WrapSub(in.maxX, in.minX));
  out.bottom = WrapAdd(out.top, WrapSub(in.maxY, in.minY));
  return out;
}
