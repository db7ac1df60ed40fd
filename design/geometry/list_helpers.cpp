#include "design/geometry/list_helpers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"

namespace {

constexpr double kTwo = 2.0;

// Whether `a` and `b` differ by less than `tolerance`.
bool WithinTolerance(int32_t a, int32_t b, int tolerance) {
  return std::llabs(static_cast<int64_t>(a) - b) < tolerance;
}

// Whether `candidate` goes before `best` in the band order.
bool GoesBefore(const CRect& candidate, const CRect& best, int tolerance) {
  if (!WithinTolerance(candidate.right, best.right, tolerance)) return candidate.right < best.right;
  if (!WithinTolerance(candidate.bottom, best.bottom, tolerance)) return candidate.bottom < best.bottom;
  return false;
}

}  // namespace

void MapPointListByPivot(int x0, int y0, int x1, int y1, int x2, int y2, const std::list<CPoint>& in,
                         std::list<CPoint>& out) {
  const double from = Distance(CPoint(x0, y0), CPoint(x1, y1));
  if (from == 0) {
    if (&in != &out) out = in;
    return;
  }
  const double turn = LineAngle(x0, y0, x2, y2) - LineAngle(x0, y0, x1, y1);
  const double scale = Distance(CPoint(x0, y0), CPoint(x2, y2)) / from;
  const double cosTurn = scale * std::cos(turn);
  const double sinTurn = scale * std::sin(turn);
  std::list<CPoint> mapped;
  for (const CPoint& p : in) {
    const double dx = static_cast<double>(p.x) - x0;
    const double dy = static_cast<double>(p.y) - y0;
    mapped.emplace_back(RoundToNearest(x0 + dx * cosTurn - dy * sinTurn),
                        RoundToNearest(y0 + dx * sinTurn + dy * cosTurn));
  }
  out = std::move(mapped);
}

void SortRectsByBand(std::list<CRect>& in, int tolerance, std::list<CRect>& out) {
  while (!in.empty()) {
    auto best = in.begin();
    for (auto it = std::next(best); it != in.end(); ++it) {
      if (GoesBefore(*it, *best, tolerance)) best = it;
    }
    out.splice(out.end(), in, best);
  }
}

double ConstantTwo() { return kTwo; }
