#include "model/spline.h"

#include <cmath>
#include <type_traits>
#include <vector>

#include "design/geometry/primitives.h"
#include "model/vertex_node.h"

namespace {

// Most points one span may gain: far beyond any garment curve (a span of a
// metre at 40 units per millimetre needs a few hundred), but a bound for
// coordinates from a hostile file.
constexpr int kMaxSamplesPerSpan = 1 << 16;

// A point of the sampled polyline while it is built: its position, its flags
// and its parameter within its span (0 at the span's first knot, the chord
// length at its last).
struct CSplineSample {
  double x;
  double y;
  uint32_t flags;
  double t;
};

// One coordinate of one span: v(t) = v0 + s t + a2 t^2 + a3 t^3.
struct Cubic {
  double v0;
  double s;
  double a2;
  double a3;
  double At(double t) const { return v0 + t * (s + t * (a2 + t * a3)); }
};

Cubic SpanCubic(double v0, double v1, double s0, double s1, double h) {
  return {v0, s0, 3 * (v1 - v0) / (h * h) - (2 * s0 + s1) / h,
          (s0 + s1) / (h * h) + 2 * (v0 - v1) / (h * h * h)};
}

// Storage one smoothing reuses from curve run to curve run, so that sampling
// the many short runs of a graded outline does not allocate for each of them.
struct SplineScratch {
  std::vector<CFlaggedPoint> knots;
  std::vector<double> h;
  std::vector<double> xs;
  std::vector<double> ys;
  std::vector<double> slopesX;
  std::vector<double> slopesY;
  std::vector<TridiagonalRow> rows;
  std::vector<CyclicRow> cyclicRows;
  std::vector<CSplineSample> samples;
  std::vector<CSplineSample> pending;
  std::vector<CFlaggedPoint> sampled;
  // SmoothRing's own: the points of one run and their sampled curve.
  std::vector<CFlaggedPoint> runPoints;
  std::vector<CFlaggedPoint> runSampled;

  // Gives back storage grown past `limit` elements, so that an unusually
  // long curve (or a hostile file) does not leave it held.
  void ReleaseBeyond(size_t limit) {
    const auto release = [limit](auto& v) {
      if (v.capacity() > limit) std::decay_t<decltype(v)>().swap(v);
    };
    release(knots);
    release(h);
    release(xs);
    release(ys);
    release(slopesX);
    release(slopesY);
    release(rows);
    release(cyclicRows);
    release(samples);
    release(pending);
    release(sampled);
    release(runPoints);
    release(runSampled);
  }
};

// Elements each scratch vector may keep between smoothings: room for the
// curves of any garment piece.
constexpr size_t kKeptScratchElements = 1 << 14;

// The smoothing's working storage, kept from ring to ring on each thread.
// Allocating it afresh for every ring puts large blocks among the ring's many
// small nodes as they are freed and made, and the heap then merges and sorts
// its free blocks again and again.
SplineScratch& ThreadScratch() {
  static thread_local SplineScratch scratch;
  return scratch;
}

// Releases the thread's oversized scratch storage when a smoothing ends.
struct ScratchUse {
  SplineScratch& scratch = ThreadScratch();
  ~ScratchUse() { scratch.ReleaseBeyond(kKeptScratchElements); }
};

// Slopes of one coordinate at the knots, by chord length, into `*slopes`.
// False when the system cannot be solved.
bool SolveSlopes(const std::vector<double>& v, const std::vector<double>& h, bool closed,
                 SplineScratch& scratch, std::vector<double>* slopes) {
  const int m = static_cast<int>(v.size());
  // Weights of the inner rows: mu_i on s_i-1, lambda_i = 1 - mu_i on s_i+1.
  auto mu = [&](int i, int before) { return h[i] / (h[i] + h[before]); };
  auto rhs = [&](int i, int before, int after, double mu_i) {
    const double lambda_i = 1 - mu_i;
    return 3 * (lambda_i * (v[after] - v[i]) / h[i] + mu_i * (v[i] - v[before]) / h[before]);
  };

  if (!closed) {
    std::vector<TridiagonalRow>& rows = scratch.rows;
    rows.assign(static_cast<size_t>(m), TridiagonalRow{});
    slopes->assign(static_cast<size_t>(m), 0.0);
    double* b = slopes->data();
    rows[0] = {2, 1, 0};
    b[0] = 3 * (v[1] - v[0]) / h[0];
    for (int i = 1; i <= m - 2; ++i) {
      const double mu_i = mu(i, i - 1);
      rows[i - 1].Lower = mu_i;
      rows[i] = {2, 1 - mu_i, 0};
      b[i] = rhs(i, i - 1, i + 1, mu_i);
    }
    rows[m - 2].Lower = 1;
    rows[m - 1] = {2, 0, 0};
    b[m - 1] = 3 * (v[m - 1] - v[m - 2]) / h[m - 2];
    return SolveTridiagonal(rows.data(), m, b) != 0;
  }

  // Closed: the last knot repeats the first, so the unknowns are s_0 .. s_n-1
  // with n = m - 1, and the knot before the first is knot n - 1.
  const int n = m - 1;
  std::vector<CyclicRow>& rows = scratch.cyclicRows;
  rows.assign(static_cast<size_t>(n), CyclicRow{});
  slopes->assign(static_cast<size_t>(n), 0.0);
  double* b = slopes->data();
  for (int i = 0; i < n; ++i) {
    const int before = i == 0 ? n - 1 : i - 1;
    const double mu_i = mu(i, before);
    rows[i].Diagonal = 2;
    if (i == 0) {
      rows[0].Last = mu_i;  // row 0 on s_n-1
    } else {
      rows[i - 1].Lower = mu_i;
    }
    if (i < n - 1) {
      rows[i].Next = 1 - mu_i;
    } else {
      rows[n - 2].Last = 1 - mu_i;  // row n-1 on s_0
    }
    b[i] = rhs(i, before, i + 1, mu_i);
  }
  if (!SolveCyclicTridiagonal(rows.data(), n, b)) return false;
  const double first = (*slopes)[0];
  slopes->push_back(first);
  return true;
}

// Refines one span. `samples` ends with the span's first knot; `last` is its
// last knot. Points are added between a finished point (the back of
// `samples`) and the next pending one (the top of `pending`, the span's last
// knot at the bottom) until every chord lies within the tolerance of the
// curve; finished points move to `samples`, so it ends with the last knot.
// `pending` is scratch space kept by the caller across spans, so that its
// storage is allocated once per curve rather than once per span.
void RefineSpan(std::vector<CSplineSample>& samples, std::vector<CSplineSample>& pending,
                const CSplineSample& last, const Cubic& cx, const Cubic& cy, double tolerance) {
  int added = 0;
  pending.clear();
  pending.push_back(last);
  // Pushes the curve point at t between the finished point and the pending
  // one when it lies at least the tolerance from the chord (dx, dy) through
  // the finished point.
  auto try_insert = [&](double t, double dx, double dy) {
    if (added >= kMaxSamplesPerSpan) return false;
    const CSplineSample& prev = samples.back();
    const CSplineSample& cur = pending.back();
    const double px = cx.At(t);
    const double py = cy.At(t);
    const double length = std::sqrt(dx * dx + dy * dy);
    const double distance =
        IsNegligible(length) ? 0.0 : std::fabs(dy * (px - prev.x) - dx * (py - prev.y)) / length;
    if (!(distance >= tolerance)) return false;
    if ((px == prev.x && py == prev.y) || (px == cur.x && py == cur.y)) return false;
    pending.push_back({px, py, kSplineSampleFlags, t});
    ++added;
    return true;
  };

  while (!pending.empty()) {
    const double dx = pending.back().x - samples.back().x;
    const double dy = pending.back().y - samples.back().y;
    // Where the curve's tangent is parallel to the chord, the curve is
    // farthest from it: A t^2 + B t + C = 0.
    const double a = 3 * (cx.a3 * dy - cy.a3 * dx);
    const double b = 2 * (cx.a2 * dy - cy.a2 * dx);
    const double c = cx.s * dy - cy.s * dx;
    const auto between = [&](double t) { return samples.back().t < t && t < pending.back().t; };
    bool inserted = false;
    if (IsNegligible(a) && IsNegligible(b)) {
      // Straight here.
    } else if (IsNegligible(a)) {
      const double t = -c / b;
      if (between(t)) inserted = try_insert(t, dx, dy);
    } else {
      const double d = b * b - 4 * a * c;
      if (!(d + 1.0 < 1.0)) {
        const double root = d > 0 ? std::sqrt(d) : 0.0;
        const double r1 = (-b + root) / (2 * a);
        const double r2 = (-b - root) / (2 * a);
        const double larger = r1 > r2 ? r1 : r2;
        const double smaller = r1 > r2 ? r2 : r1;
        if (between(larger)) inserted = try_insert(larger, dx, dy);
        // Tested against the new neighbour when the larger root went in, still
        // measured from the chord both roots came from.
        if (smaller != larger && between(smaller)) {
          inserted = try_insert(smaller, dx, dy) || inserted;
        }
      }
    }
    if (!inserted) {
      samples.push_back(pending.back());
      pending.pop_back();
    }
  }
}

// SampleCubicSpline into `*out`, with the working storage of `scratch`.
void SampleInto(const CFlaggedPoint* points, int count, int tolerance, int closed, SplineScratch& scratch,
                std::vector<CFlaggedPoint>* out) {
  out->clear();
  if (points == nullptr || count <= 0) {
    count = 0;
    points = nullptr;
  }
  const auto giveBackInput = [&] { out->assign(points, points + count); };

  // The knots: the input without points repeating the one before.
  std::vector<CFlaggedPoint>& knots = scratch.knots;
  knots.clear();
  for (int i = 0; i < count; ++i) {
    const CFlaggedPoint& p = points[i];
    if (knots.empty() || knots.back().X != p.X || knots.back().Y != p.Y) knots.push_back(p);
  }
  const int m = static_cast<int>(knots.size());
  if (m < 3 || (m == 3 && closed)) return giveBackInput();

  std::vector<double>& h = scratch.h;
  h.assign(static_cast<size_t>(m - 1), 0.0);
  for (int i = 0; i + 1 < m; ++i) {
    const double dx = static_cast<double>(knots[i + 1].X) - knots[i].X;
    const double dy = static_cast<double>(knots[i + 1].Y) - knots[i].Y;
    h[i] = std::sqrt(dx * dx + dy * dy);
    if (IsNegligible(h[i])) return giveBackInput();
  }
  std::vector<double>& xs = scratch.xs;
  std::vector<double>& ys = scratch.ys;
  xs.resize(static_cast<size_t>(m));
  ys.resize(static_cast<size_t>(m));
  for (int i = 0; i < m; ++i) {
    xs[i] = knots[i].X;
    ys[i] = knots[i].Y;
  }
  std::vector<double>& slopes_x = scratch.slopesX;
  std::vector<double>& slopes_y = scratch.slopesY;
  if (!SolveSlopes(ys, h, closed != 0, scratch, &slopes_y)) return giveBackInput();
  if (!SolveSlopes(xs, h, closed != 0, scratch, &slopes_x)) return giveBackInput();

  const double tol = tolerance >= 1 ? tolerance : 0.5;
  std::vector<CSplineSample>& samples = scratch.samples;
  samples.clear();
  samples.reserve(static_cast<size_t>(m) * 4);
  samples.push_back({xs[0], ys[0], knots[0].Flags, 0});
  for (int i = 0; i + 1 < m; ++i) {
    samples.back().t = 0;
    RefineSpan(samples, scratch.pending, {xs[i + 1], ys[i + 1], knots[i + 1].Flags, h[i]},
               SpanCubic(xs[i], xs[i + 1], slopes_x[i], slopes_x[i + 1], h[i]),
               SpanCubic(ys[i], ys[i + 1], slopes_y[i], slopes_y[i + 1], h[i]), tol);
  }

  // Rounded to model units; an added point that rounds onto the point before
  // it is dropped.
  std::vector<CFlaggedPoint>& sampled = scratch.sampled;
  sampled.clear();
  for (const CSplineSample& s : samples) {
    const CFlaggedPoint p{s.flags, RoundToNearest(s.x), RoundToNearest(s.y)};
    if (!sampled.empty() && s.flags == kSplineSampleFlags && p.X == sampled.back().X &&
        p.Y == sampled.back().Y) {
      continue;
    }
    sampled.push_back(p);
  }
  samples.clear();

  // Put back the repeated input points right after their knot.
  out->reserve(sampled.size() + static_cast<size_t>(count));
  const size_t inputSize = static_cast<size_t>(count);
  size_t k = 0;
  for (const CFlaggedPoint& p : sampled) {
    out->push_back(p);
    if (p.Flags == kSplineSampleFlags) continue;
    while (k + 1 < inputSize && points[k + 1].X == p.X && points[k + 1].Y == p.Y) {
      out->push_back(points[k + 1]);
      ++k;
    }
    ++k;
  }
}

}  // namespace

std::vector<CFlaggedPoint> SampleCubicSpline(const CFlaggedPoint* points, int count, int tolerance,
                                             int closed) {
  SplineScratch scratch;
  std::vector<CFlaggedPoint> out;
  SampleInto(points, count, tolerance, closed, scratch, &out);
  return out;
}

int InterpolateCubicSpline(const CFlaggedPoint* points, int count, int tolerance, int closed,
                           CVertexNode** head, int* outCount) {
  const std::vector<CFlaggedPoint> ring = SampleCubicSpline(points, count, tolerance, closed);
  CVertexNode* first = nullptr;
  int32_t nodes = 0;
  for (const CFlaggedPoint& p : ring) AddRingTail(first, nodes, NewVertexNode(p.X, p.Y, p.Flags));
  *head = first;
  *outCount = nodes;
  return 1;
}

namespace {


}  // namespace

int FindSplineRun(CVertexNode* from, CVertexNode** start, CVertexNode** end) {
  if (from == nullptr) {
    *start = *end = nullptr;
    return 0;
  }
  // The first corner from `from` on.
  CVertexNode* corner = from;
  while (!corner->IsCorner()) {
    if (corner->Next == nullptr || corner->Next == from) {
      *start = *end = from;  // a ring without corners is one run
      return 1;
    }
    corner = corner->Next;
  }
  // On to the first smooth vertex, remembering the last corner before it.
  CVertexNode* last_corner = corner;
  bool other_corner = false;
  CVertexNode* node = corner->Next;
  while (node != nullptr && node != corner && !node->IsSmooth()) {
    if (node->IsCorner()) {
      last_corner = node;
      other_corner = true;
    }
    node = node->Next;
  }
  if (node == nullptr || node == corner) {
    if (other_corner) return 0;
    *start = *end = corner;
    return 1;
  }
  // The first corner after the smooth vertex closes the run.
  CVertexNode* closing = node->Next;
  while (closing != nullptr && closing != last_corner && !closing->IsCorner()) closing = closing->Next;
  *start = last_corner;
  *end = closing != nullptr ? closing : last_corner;
  return 1;
}

void SmoothRing(CVertexRing& ring) {
  CVertexNode* start = nullptr;
  CVertexNode* end = nullptr;
  if (!FindSplineRun(ring.Head, &start, &end)) return;
  CVertexNode* const firstStart = start;
  const int32_t vertexCount = ring.Count;
  ScratchUse use;
  SplineScratch& scratch = use.scratch;
  std::vector<CFlaggedPoint>& points = scratch.runPoints;
  std::vector<CFlaggedPoint>& sampled = scratch.runSampled;
  points.reserve(static_cast<size_t>(vertexCount) + 1);
  // Each run begins at a different corner, so there are at most as many runs
  // as vertices.
  for (int32_t run = 0; run < vertexCount; ++run) {
    // The run from its start to its end; a run that ends where it starts
    // takes the whole ring and its start once more.
    points.clear();
    CVertexNode* node = start;
    points.push_back({node->Flags, node->X, node->Y});
    do {
      node = node->Next;
      points.push_back({node->Flags, node->X, node->Y});
    } while (node != end && points.size() <= static_cast<size_t>(vertexCount));
    const int closed = start == end && start->IsSmooth() ? 1 : 0;
    SampleInto(points.data(), static_cast<int>(points.size()), 0, closed, scratch, &sampled);
    // Merge: the run's own vertices are in the ring already; the spline
    // points go in between them.
    CVertexNode* cursor = start;
    for (const CFlaggedPoint& p : sampled) {
      if (IsMainVertexKind(VertexKind(p.Flags))) {
        cursor = cursor->Next;
      } else {
        ring.InsertBefore(cursor, p.X, p.Y, p.Flags);
      }
    }
    if (!FindSplineRun(end, &start, &end) || start == firstStart) return;
  }
}
