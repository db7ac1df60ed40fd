// Tidying the offset cut line: inside the outline, the points a corner
// folded back much nearer to the outline than the width there go; in every
// size, where the cut line crosses itself the smaller loop is cut off.
//
// Both searches look at the segments near each point only, through a grid of
// the segments of one size's table, so that a cut line of many thousand
// spline points is tidied in time. The loop search also stops after a bounded
// number of steps, for the rings only a damaged file makes (CutLoops).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "model/cut_line_tables.h"
#include "model/items/curve_item.h"
#include "model/load_repairs.h"
#include "model/style.h"

namespace cut_line {
namespace {

// The segments of one size's closed point table, filed by the cells of a
// grid that they pass, so that the loop search looks only at the segments
// near each one. A segment is filed in every cell it comes within
// kGridSlack units of; a segment that changes is filed again (its old
// entries stay, and every candidate is tested on the points as they are).
class SegmentGrid {
 public:
  explicit SegmentGrid(const std::vector<Point>& points) : points_(points) {
    const size_t count = points.size();
    int64_t maxX = points[0].p.x;
    int64_t maxY = points[0].p.y;
    minX_ = maxX;
    minY_ = maxY;
    for (const Point& point : points) {
      minX_ = std::min<int64_t>(minX_, point.p.x);
      minY_ = std::min<int64_t>(minY_, point.p.y);
      maxX = std::max<int64_t>(maxX, point.p.x);
      maxY = std::max<int64_t>(maxY, point.p.y);
    }
    // About one cell per segment, at most 1024 a side.
    const int64_t side = std::clamp<int64_t>(static_cast<int64_t>(std::sqrt(static_cast<double>(count))) + 1, 1, 1024);
    const int64_t extent = std::max<int64_t>(maxX - minX_, maxY - minY_) + 1;
    cell_ = std::max<int64_t>(1, (extent + side - 1) / side);
    columns_ = static_cast<int64_t>((maxX - minX_) / cell_ + 1);
    rows_ = static_cast<int64_t>((maxY - minY_) / cell_ + 1);
    cells_.resize(static_cast<size_t>(columns_ * rows_));
    for (size_t m = 0; m < count; ++m) File(m);
  }

  // Files segment m (from point m to the next) by its points as they are;
  // returns the number of cells it went into.
  size_t File(size_t m) {
    const size_t count = points_.size();
    size_t filed = 0;
    ForEachCell(points_[m].p, points_[(m + 1) % count].p, [&](size_t cell) {
      cells_[cell].push_back(static_cast<uint32_t>(m));
      ++filed;
    });
    return filed;
  }

  // Calls `visit` with every segment filed in a cell that meets the box
  // (a segment may come more than once).
  template <typename Visit>
  void ForEachInBox(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Visit visit) const {
    const int64_t c0 = Clamp((x0 - minX_) / cell_, columns_);
    const int64_t c1 = Clamp((x1 - minX_) / cell_, columns_);
    const int64_t r0 = Clamp((y0 - minY_) / cell_, rows_);
    const int64_t r1 = Clamp((y1 - minY_) / cell_, rows_);
    for (int64_t row = r0; row <= r1; ++row) {
      for (int64_t column = c0; column <= c1; ++column) {
        for (uint32_t m : cells_[static_cast<size_t>(row * columns_ + column)]) visit(static_cast<size_t>(m));
      }
    }
  }
  int64_t CellSize() const { return cell_; }

  // Calls `visit` with every segment filed in a cell that a-b comes near
  // (a segment may come more than once).
  template <typename Visit>
  void ForEachNear(CPoint a, CPoint b, Visit visit) const {
    ForEachCell(a, b, [&](size_t cell) {
      for (uint32_t m : cells_[cell]) visit(static_cast<size_t>(m));
    });
  }

 private:
  static constexpr int64_t kGridSlack = 2;

  int64_t Clamp(int64_t v, int64_t hi) const { return std::clamp<int64_t>(v, 0, hi - 1); }

  // The cells the segment a-b, widened by the slack, passes: column by
  // column, the rows its y runs through within the column.
  template <typename Cell>
  void ForEachCell(CPoint a, CPoint b, Cell cell) const {
    const int64_t x0 = std::min<int64_t>(a.x, b.x) - kGridSlack;
    const int64_t x1 = std::max<int64_t>(a.x, b.x) + kGridSlack;
    const int64_t c0 = Clamp((x0 - minX_) / cell_, columns_);
    const int64_t c1 = Clamp((x1 - minX_) / cell_, columns_);
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    for (int64_t column = c0; column <= c1; ++column) {
      double ya = std::min(a.y, b.y);
      double yb = std::max(a.y, b.y);
      if (dx != 0) {
        // The segment's y where it enters and leaves the column.
        const double left = std::max<double>(static_cast<double>(minX_ + column * cell_), static_cast<double>(x0));
        const double right = std::min<double>(static_cast<double>(minX_ + (column + 1) * cell_), static_cast<double>(x1));
        const double t0 = std::clamp((left - a.x) / dx, 0.0, 1.0);
        const double t1 = std::clamp((right - a.x) / dx, 0.0, 1.0);
        ya = std::min(a.y + t0 * dy, a.y + t1 * dy);
        yb = std::max(a.y + t0 * dy, a.y + t1 * dy);
      }
      const int64_t r0 = Clamp(static_cast<int64_t>(std::floor((ya - kGridSlack - 1 - minY_) / cell_)), rows_);
      const int64_t r1 = Clamp(static_cast<int64_t>(std::floor((yb + kGridSlack + 1 - minY_) / cell_)), rows_);
      for (int64_t row = r0; row <= r1; ++row) cell(static_cast<size_t>(row * columns_ + column));
    }
  }

  const std::vector<Point>& points_;
  int64_t minX_ = 0;
  int64_t minY_ = 0;
  int64_t cell_ = 1;
  int64_t columns_ = 1;
  int64_t rows_ = 1;
  std::vector<std::vector<uint32_t>> cells_;
};

// The area of a loop that a crossing X cuts off a point table, from X over
// the points `from` .. `to` (round the ring) back to X, summed triangle by
// triangle of the fan from X as PolygonAreaHeron sums it, so that two loops
// can be compared without summing the larger one to its end.
class FanArea {
 public:
  FanArea(const std::vector<Point>& points, CPoint x, size_t from, size_t to) : points_(points), x_(x), next_(from) {
    const size_t count = points.size();
    const size_t inner = (to + count - from % count) % count + 1;
    terms_ = inner >= 2 ? inner - 1 : 0;
  }
  bool Done() const { return terms_ == 0; }
  double Sum() const { return sum_; }
  void Step() {
    const size_t count = points_.size();
    const CPoint triangle[4] = {x_, points_[next_ % count].p, points_[(next_ + 1) % count].p, x_};
    sum_ += PolygonAreaHeron(triangle, 4);
    next_ = (next_ + 1) % count;
    --terms_;
  }

 private:
  const std::vector<Point>& points_;
  CPoint x_;
  size_t next_;
  size_t terms_ = 0;
  double sum_ = 0;
};

// Whether the loop over `from1` .. `to1` is strictly smaller than the one
// over `from2` .. `to2`. Each triangle adds a non-negative area, so a loop
// whose part sum already passes the other's whole area is the larger.
// `steps` counts the triangles summed.
bool IsFirstLoopSmaller(const std::vector<Point>& points, CPoint x, size_t from1, size_t to1, size_t from2,
                        size_t to2, size_t* steps) {
  FanArea first(points, x, from1, to1);
  FanArea second(points, x, from2, to2);
  for (;; ++*steps) {
    if (first.Done() && second.Done()) return first.Sum() < second.Sum();
    if (first.Done()) {
      if (second.Sum() > first.Sum()) return true;
      second.Step();
    } else if (second.Done()) {
      if (first.Sum() >= second.Sum()) return false;
      first.Step();
    } else {
      first.Step();
      second.Step();
    }
  }
}

// One size's curve of the outline as a point table, with its grid, for the
// nearest-segment search of the inward clean-up.
struct OutlineCurve {
  std::vector<Point> points;
  std::vector<CVertexNode*> nodes;
  std::unique_ptr<SegmentGrid> grid;
};

// The segment of `curve` nearest to (x, y) as CPieceItem::FindNearestSegment
// finds it (the earlier segment on a tie), when its distance is below
// `reach`: true with the distance and the segment's index. The search grows
// from the point: once a segment nearer than the box searched is found, no
// segment outside the box can be as near.
bool NearestSegmentWithin(const OutlineCurve& curve, int32_t x, int32_t y, double reach, double* distance,
                          size_t* segment) {
  const size_t count = curve.points.size();
  std::vector<size_t> candidates;
  for (double radius = static_cast<double>(curve.grid->CellSize());; radius *= 2) {
    const int64_t r = static_cast<int64_t>(std::min(radius, reach)) + 2;
    candidates.clear();
    curve.grid->ForEachInBox(x - r, y - r, x + r, y + r, [&](size_t m) { candidates.push_back(m); });
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    double best = 2147483647.0;
    size_t found = count;
    for (size_t m : candidates) {
      const double d = NearestSegmentDistance(x, y, curve.points[m].p, curve.points[(m + 1) % count].p);
      if (d < best) {
        best = d;
        found = m;
      }
    }
    if (found < count && best < static_cast<double>(r - 2)) {
      *distance = best;
      *segment = found;
      return true;
    }
    if (radius >= reach) return false;
  }
}

// The steps the loop search of one size's cut line may take: this many for
// every point, and this many more. Sixteen folded corners round a small
// circle, all crossing each other, take under 200,000 steps; an ordinary
// cut line about a dozen per point.
constexpr size_t kLoopStepsPerPoint = 1024;
constexpr size_t kLoopStepsFloor = size_t{1} << 21;

}  // namespace

int32_t CutLineTables::LocalWidth(CVertexNode* node, CPoint firstPoint) const {
  const int32_t count = outline_->VertexCount;
  CVertexNode* before = node->Prev;
  for (int32_t i = 0; i < count && before->Kind() != kVertexKindParameter; ++i) before = before->Prev;
  CVertexNode* after = node->Next;
  for (int32_t i = 0; i < count && after->Kind() != kVertexKindParameter; ++i) after = after->Next;
  if (before->Kind() != kVertexKindParameter || after->Kind() != kVertexKindParameter) return 0;
  const int32_t from = std::abs(static_cast<int32_t>(LowHalf(before->X)));
  const int32_t to = std::abs(static_cast<int32_t>(HighHalf(after->X)));
  // Lengths along the main vertices from the vertex that leaves at `from`.
  CVertexNode* const first = outline_->PrevMainVertex(before);
  CVertexNode* const last = outline_->PrevMainVertex(after);
  double toNode = -1;
  double total = -1;
  double length = 0;
  CVertexNode* v = first;
  for (int32_t i = 0; i <= count && (toNode < 0 || total < 0); ++i) {
    CVertexNode* w = outline_->NextMainVertex(v);
    length += Distance(CPoint(v->X, v->Y), CPoint(w->X, w->Y));
    v = w;
    if (toNode < 0 && v == node) toNode = length;
    if (total < 0 && v == last) total = length;
  }
  if (toNode < 0 || total <= 0) return from;
  const double along = toNode - Distance(firstPoint, CPoint(node->X, node->Y));
  return TruncateTowardZero(from + (to - from) * along / total);
}

void CutLineTables::DemoteNeighbour(size_t i) {
  std::vector<Point>& first = points_[0];
  const size_t count = Count();
  auto usable = [&](size_t k) { return first[k].kind != kDeletedKind && first[k].kind != kSplineKind; };
  size_t before = count;
  size_t after = count;
  for (size_t n = 1; n < count; ++n) {
    const size_t k = (i + count - n) % count;
    if (usable(k)) {
      before = k;
      break;
    }
  }
  for (size_t n = 1; n < count; ++n) {
    const size_t k = (i + n) % count;
    if (usable(k)) {
      after = k;
      break;
    }
  }
  auto squared = [&](size_t k) {
    const double dx = static_cast<double>(first[k].p.x) - first[i].p.x;
    const double dy = static_cast<double>(first[k].p.y) - first[i].p.y;
    return dx * dx + dy * dy;
  };
  size_t nearer = after;
  if (before != count && (after == count || squared(before) < squared(after))) nearer = before;
  if (nearer == count) return;
  if (first[nearer].kind == kVertexKindKeySmooth) first[nearer].kind = kVertexKindKeyCorner;
  if (first[nearer].kind == kVertexKindCurve) first[nearer].kind = kVertexKindCurveCorner;
}

void CutLineTables::RemoveNearOutline() {
  const int32_t scale = g_Style.GetScale();
  // A point is never nearer than this to be taken away: two thirds of the
  // widest local width there can be.
  constexpr double kReach = 2.0 * 32768 / 3 + 1;
  std::vector<OutlineCurve> curves(static_cast<size_t>(sizes_));
  for (int s = 0; s < sizes_; ++s) {
    const CVertexRing* ring = outline_->CurveRingAt(s);
    if (!ring || ring->Count == 0) continue;
    OutlineCurve& curve = curves[static_cast<size_t>(s)];
    CVertexNode* node = ring->Head;
    for (int32_t i = 0; i < ring->Count; ++i, node = node->Next) {
      curve.points.push_back({static_cast<uint32_t>(node->Kind()), CPoint(node->X, node->Y)});
      curve.nodes.push_back(node);
    }
    curve.grid = std::make_unique<SegmentGrid>(curve.points);
  }
  for (size_t i = 0; i < Count(); ++i) {
    for (int s = 0; s < sizes_; ++s) {
      const Point& point = points_[static_cast<size_t>(s)][i];
      if (point.kind == kDeletedKind || point.kind == kSplineKind) break;
      const OutlineCurve& curve = curves[static_cast<size_t>(s)];
      double nearest = 0;
      size_t segment = 0;
      if (!curve.grid || !NearestSegmentWithin(curve, point.p.x, point.p.y, kReach, &nearest, &segment)) continue;
      // The main vertex that ends the outline span holding that segment.
      CVertexNode* spanStart = outline_->PrevKeyVertexOnCurve(
          g_Style.SizeAt(s), curve.nodes[(segment + 1) % curve.nodes.size()]);
      CVertexNode* node = spanStart ? outline_->NextMainVertex(spanStart) : nullptr;
      if (!node) continue;
      const int d = TruncateTowardZero(nearest);
      const int32_t width = LocalWidth(node, points_[0][i].p);
      // A point much nearer to the outline than the width there lies where
      // a corner folded the cut line back over the piece.
      if (static_cast<int64_t>(width) > 3 * static_cast<int64_t>(scale) && d < (2 * static_cast<int64_t>(width)) / 3) {
        const uint32_t kind = points_[0][i].kind;
        points_[0][i].kind = kDeletedKind;
        if (IsCornerVertexKind(static_cast<int>(kind))) DemoteNeighbour(i);
        break;
      }
    }
  }
  Compact();
}

void CutLineTables::CutLoops(int s) {
  std::vector<Point>& points = points_[static_cast<size_t>(s)];
  const size_t count = points.size();
  if (count < 4) return;
  SegmentGrid grid(points);
  // A cut line crosses itself only where a corner or a tight curve folds it,
  // and each such loop is small: cutting them off takes a few steps per
  // point. A damaged file can make a ring where every segment crosses every
  // other, and each crossing then moves a loop of most of the ring, so the
  // work grows with the cube of the points. Once the steps (segments tried,
  // points moved, grid cells filed, triangles summed) pass this budget, far
  // beyond any real cut line, the loops not yet cut are left as they are:
  // such a cut line is damaged anyway. The budget is checked between two
  // crossings, and one crossing takes steps in proportion to the points.
  // PtnHostileTest.FileWhoseCutLineCrossesItselfEverywhereIsReadInTime and
  // CutLoopsTest.AStarWhoseEverySegmentCrossesEveryOtherIsTidiedInTime pin it.
  const size_t budget = kLoopStepsFloor + kLoopStepsPerPoint * count;
  size_t steps = 0;
  // Moves the points `from` .. `to` (round the ring) to x and refiles the
  // segments that changed.
  auto collapse = [&](size_t from, size_t to, CPoint x) {
    for (size_t m = from % count, n = 0; n < count; m = (m + 1) % count, ++n, ++steps) {
      if (!SamePoint(points[m].p, x)) {
        points[m].p = x;
        steps += grid.File((m + count - 1) % count);
        steps += grid.File(m);
      }
      if (m == to) break;
    }
  };
  std::vector<size_t> seen(count, 0);  // the segment i a candidate was last taken for, plus one
  std::vector<size_t> candidates;
  for (size_t i = 0; i + 1 < count && steps <= budget; ++i) {
    const CPoint a = points[i].p;
    CPoint b = points[i + 1].p;
    // Segment i is tried against the later segments k = i + 2, i + 3, ...
    // round the ring, up to the one before segment i - 1 or before segment
    // 1, in that order.
    const size_t first = (i + 2) % count;
    auto order = [&](size_t k) { return (k + count - first) % count; };
    const size_t limit = std::min(order(1 % count), order((i + count - 1) % count));
    candidates.clear();
    grid.ForEachNear(a, b, [&](size_t m) {
      ++steps;
      const size_t o = order(m);
      if (o >= limit || seen[m] == i + 1) return;
      seen[m] = i + 1;
      candidates.push_back(o);
    });
    std::sort(candidates.begin(), candidates.end());
    for (size_t o : candidates) {
      if (++steps > budget) return;
      const size_t k = (first + o) % count;
      const CPoint c = points[k].p;
      const CPoint d = points[(k + 1) % count].p;
      CPoint x;
      const int meet = IntersectSegments(a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y, &x.x, &x.y);
      if (meet != 1 && meet != 3) continue;
      // The crossing cuts the ring into two loops; the smaller one (the one
      // after segment i on a tie) shrinks to the crossing, and segment i
      // now ends there.
      b = x;
      if (!IsFirstLoopSmaller(points, x, (k + 1) % count, i, i + 1, k, &steps)) {
        collapse(i + 1, k, x);
        continue;
      }
      collapse(k + 1, i, x);
      // Every later segment for segment i now lies in the collapsed loop: a
      // point at the crossing, which meets segment i there. Its loop behind
      // has no area; the loop ahead, from segment i to it, collapses while
      // it has none either, and once it has some it keeps it.
      FanArea ahead(points, x, i + 1, k);
      for (; !ahead.Done(); ++steps) ahead.Step();
      double area = ahead.Sum();
      size_t last = k;
      // Once one of these collapses has run, the points from i + 1 to the
      // one before `next` are at x already.
      bool collapsing = false;
      for (size_t later = o + 1; later < limit && !(area > 0); ++later, ++steps) {
        const size_t next = (first + later) % count;
        const CPoint triangle[4] = {x, points[last].p, points[next].p, x};
        area += PolygonAreaHeron(triangle, 4);
        last = next;
        if (!(area > 0)) {
          collapse(collapsing ? next : i + 1, next, x);
          collapsing = true;
        }
      }
      break;
    }
  }
}

}  // namespace cut_line
