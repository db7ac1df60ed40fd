#include "design/geometry/spline_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "design/geometry/point_line.h"
#include "design/geometry/tridiagonal.h"
#include "platform/numbers.h"

namespace {

// Sampling never follows a chord closer than this to the curve.
constexpr double kMinSampleTolerance = 0.5;
// A span adds at most this many samples, so that hostile coordinates (where
// rounding keeps every chord "far" from the curve) cannot exhaust memory.
constexpr size_t kMaxSamplesPerSpan = 65536;
// The probe direction of FindMaxDeviation looks to neighbours at least this
// far away (squared: 10 units).
constexpr double kProbeReachSquared = 100.0;

struct Vec2 {
  double x = 0;
  double y = 0;
};

double SquaredDistance(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return dx * dx + dy * dy;
}

double SquaredDistance(const CPoint& a, const CPoint& b) {
  return SquaredDistance(a.x, a.y, b.x, b.y);
}

double Distance(const CPoint& a, const CPoint& b) { return std::sqrt(SquaredDistance(a, b)); }

// base + offset without wrapping round the int range.
CPoint AddClamped(const CPoint& base, int64_t dx, int64_t dy) {
  return {SaturateToInt32(base.x + dx), SaturateToInt32(base.y + dy)};
}

// ---- The spline ----

// One coordinate of a span: c(t) = A3 t^3 + A2 t^2 + A1 t + A0, 0 <= t <= h.
struct Cubic {
  double A0 = 0, A1 = 0, A2 = 0, A3 = 0;
  double At(double t) const { return ((A3 * t + A2) * t + A1) * t + A0; }
};

struct Span {
  Cubic X, Y;
  double H = 0;
};

// The chord weights of knot i: lambda multiplies the slope before it, mu the
// slope after it.
struct Weights {
  double Lambda = 0;
  double Mu = 0;
};

Weights KnotWeights(double hBefore, double hAfter) {
  const double lambda = hAfter / (hAfter + hBefore);
  return {lambda, 1.0 - lambda};
}

double InnerRhs(const Weights& w, double before, double at, double after, double hBefore,
                double hAfter) {
  return 3.0 * (w.Lambda * (at - before) / hBefore + w.Mu * (after - at) / hAfter);
}

// Slopes (derivatives by chord length) of one coordinate at the n knots of
// an open curve, natural ends. False when the system cannot be solved.
bool OpenSlopes(const std::vector<double>& c, const std::vector<double>& h,
                std::vector<double>* m) {
  const int n = static_cast<int>(c.size());
  std::vector<TridiagonalRow> rows(n);
  m->assign(n, 0.0);
  rows[0] = {2.0, 1.0, 0.0};
  (*m)[0] = 3.0 * (c[1] - c[0]) / h[0];
  for (int i = 1; i + 1 < n; ++i) {
    const Weights w = KnotWeights(h[i - 1], h[i]);
    rows[i - 1].Lower = w.Lambda;
    rows[i].Diagonal = 2.0;
    rows[i].Next = w.Mu;
    (*m)[i] = InnerRhs(w, c[i - 1], c[i], c[i + 1], h[i - 1], h[i]);
  }
  rows[n - 2].Lower = 1.0;
  rows[n - 1].Diagonal = 2.0;
  (*m)[n - 1] = 3.0 * (c[n - 1] - c[n - 2]) / h[n - 2];
  return SolveTridiagonal(rows.data(), n, m->data()) != 0;
}

// The same for a closed curve: c holds the n knots with the last repeating
// the first; the slopes of the n - 1 distinct knots are periodic, and the
// repeat gets the first slope.
bool ClosedSlopes(const std::vector<double>& c, const std::vector<double>& h,
                  std::vector<double>* m) {
  const int n = static_cast<int>(c.size()) - 1;  // distinct knots
  std::vector<CyclicRow> rows(n);
  m->assign(n + 1, 0.0);
  for (int i = 0; i < n; ++i) {
    const int before = (i + n - 1) % n;
    const Weights w = KnotWeights(h[before], h[i]);
    const double prev = i == 0 ? c[n - 1] : c[i - 1];
    (*m)[i] = InnerRhs(w, prev, c[i], c[i + 1], h[before], h[i]);
    rows[i].Diagonal = 2.0;
    if (i == 0) rows[0].Last = w.Lambda;  // slope n - 1 in row 0
    else rows[i - 1].Lower = w.Lambda;
    if (i + 1 < n) rows[i].Next = w.Mu;
    else rows[n - 2].Last = w.Mu;  // slope 0 in row n - 1
  }
  if (!SolveCyclicTridiagonal(rows.data(), n, m->data())) return false;
  (*m)[n] = (*m)[0];
  return true;
}

Cubic SpanCubic(double c0, double c1, double m0, double m1, double h) {
  Cubic k;
  k.A0 = c0;
  k.A1 = m0;
  k.A2 = 3.0 * (c1 - c0) / (h * h) - (2.0 * m0 + m1) / h;
  k.A3 = 2.0 * (c0 - c1) / (h * h * h) + (m0 + m1) / (h * h);
  return k;
}

// Distance of (px, py) from the line through a and b (from a when they
// coincide).
double ChordDistance(double px, double py, const Vec2& a, const Vec2& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double len = std::sqrt(dx * dx + dy * dy);
  if (IsNegligible(len)) return std::sqrt(SquaredDistance(px, py, a.x, a.y));
  return std::fabs(dy * (px - a.x) - dx * (py - a.y)) / len;
}

// Between the samples ta < tb of the span, the parameter where the curve's
// tangent runs parallel to the chord and lies farthest from it, with that
// distance; false when there is none strictly between them.
bool FarthestTangentPoint(const Span& s, double ta, double tb, double* t, double* dist) {
  const Vec2 a{s.X.At(ta), s.Y.At(ta)};
  const Vec2 b{s.X.At(tb), s.Y.At(tb)};
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double qa = 3.0 * (s.X.A3 * dy - s.Y.A3 * dx);
  const double qb = 2.0 * (s.X.A2 * dy - s.Y.A2 * dx);
  const double qc = s.X.A1 * dy - s.Y.A1 * dx;
  if (IsNegligible(qa) && IsNegligible(qb) && IsNegligible(qc)) return false;  // straight
  double roots[2];
  int count = 0;
  if (IsNegligible(qa)) {
    if (IsNegligible(qb)) return false;
    roots[count++] = -qc / qb;
  } else {
    const double disc = qb * qb - 4.0 * qa * qc;
    if (disc < 0) return false;
    const double sq = std::sqrt(disc);
    roots[count++] = (-qb + sq) / (2.0 * qa);
    roots[count++] = (-qb - sq) / (2.0 * qa);
  }
  bool found = false;
  for (int i = 0; i < count; ++i) {
    const double r = roots[i];
    if (!(r > ta && r < tb)) continue;  // also drops NaN
    const double d = ChordDistance(s.X.At(r), s.Y.At(r), a, b);
    if (!found || d > *dist) {
      found = true;
      *t = r;
      *dist = d;
    }
  }
  return found;
}

// The parameters of the samples of one span, 0 and h included.
std::list<double> SampleSpan(const Span& s, double tolerance) {
  std::list<double> ts{0.0, s.H};
  auto a = ts.begin();
  while (std::next(a) != ts.end()) {
    const auto b = std::next(a);
    double t = 0, dist = 0;
    if (ts.size() < kMaxSamplesPerSpan && FarthestTangentPoint(s, *a, *b, &t, &dist) &&
        dist >= tolerance) {
      ts.insert(b, t);  // examine (a, t) next
    } else {
      a = b;
    }
  }
  return ts;
}

// The controls without consecutive repeats.
std::vector<CPoint> DistinctControls(const PointList& controls) {
  std::vector<CPoint> pts;
  for (const CPoint& p : controls) {
    if (pts.empty() || !(pts.back() == p)) pts.push_back(p);
  }
  return pts;
}

// ---- Thinning ----

// The index of the first point equal to p at or after `from`, or -1.
int FindFrom(const std::vector<CPoint>& pts, const CPoint& p, int from) {
  for (int i = std::max(from, 0); i < static_cast<int>(pts.size()); ++i) {
    if (pts[i] == p) return i;
  }
  return -1;
}

PointList Run(const std::vector<CPoint>& pts, int from, int to) {
  return PointList(pts.begin() + from, pts.begin() + to + 1);
}

// The curve that the controls stand for: their spline, or the controls
// themselves as a polyline when there is no spline through them (too few, or
// a closed list of three). A closed curve is returned with its closing point.
std::vector<CPoint> FittedCurve(const PointList& controls, BOOL closed) {
  PointList fitted;
  if (!FitCubicSpline(controls, closed, kMinSampleTolerance, &fitted)) {
    return DistinctControls(controls);
  }
  if (closed && !fitted.empty()) fitted.push_back(fitted.front());
  return {fitted.begin(), fitted.end()};
}

double DeviationOf(const PointList& dense, const PointList& controls, BOOL closed) {
  const std::vector<CPoint> fitted = FittedCurve(controls, closed);
  double dev = 0;
  FindMaxDeviation(dense, PointList(fitted.begin(), fitted.end()), &dev);
  return dev;
}

// One pass over the spans of the controls: where the spline strays from the
// dense run by more than the tolerance, the worst dense point becomes a
// control unless it lies within the tolerance of a span end. Whether any
// control was inserted.
bool RefineOnce(const std::vector<CPoint>& dense, double tolerance, BOOL closed,
                PointList& controls) {
  const std::vector<CPoint> fitted = FittedCurve(controls, closed);
  bool inserted = false;
  int denseAt = FindFrom(dense, controls.front(), 0);
  int fittedAt = FindFrom(fitted, controls.front(), 0);
  for (auto c = controls.begin(); std::next(c) != controls.end(); ++c) {
    const auto next = std::next(c);
    const int denseNext = FindFrom(dense, *next, denseAt < 0 ? 0 : denseAt + (*next == *c ? 0 : 1));
    const int fittedNext =
        FindFrom(fitted, *next, fittedAt < 0 ? 0 : fittedAt + (*next == *c ? 0 : 1));
    if (denseAt >= 0 && denseNext > denseAt && fittedAt >= 0 && fittedNext > fittedAt) {
      double dev = 0;
      const CPoint worst =
          FindMaxDeviation(Run(dense, denseAt, denseNext), Run(fitted, fittedAt, fittedNext), &dev);
      if (dev > tolerance && PointDistance(worst.x, worst.y, c->x, c->y) > tolerance &&
          PointDistance(worst.x, worst.y, next->x, next->y) > tolerance) {
        controls.insert(next, worst);
        inserted = true;
        ++c;  // the new control starts no span in this pass
      }
    }
    if (denseNext >= 0) denseAt = denseNext;
    if (fittedNext >= 0) fittedAt = fittedNext;
  }
  return inserted;
}

void RefinePasses(const PointList& denseList, double tolerance, BOOL closed, PointList& controls,
                  double deviation) {
  const std::vector<CPoint> dense(denseList.begin(), denseList.end());
  // Every insertion adds a dense point as a control, so a pass that inserts
  // nothing would repeat itself; and the dense points bound the passes.
  for (size_t pass = 0; deviation > tolerance && pass < dense.size(); ++pass) {
    if (!RefineOnce(dense, tolerance, closed, controls)) break;
  }
}

void EnsureEnds(PointList& controls, const CPoint& head, const CPoint& tail) {
  if (controls.empty() || !(controls.front() == head)) controls.push_front(head);
  if (controls.size() < 2 || !(controls.back() == tail)) controls.push_back(tail);
}

// Inserts as vertices flagged kControlVertexFlag the controls that are not
// yet output vertices, walking both in step. With `ring`, a last control
// repeating the head is left out.
void MergeControls(const PointList& controls, bool ring, VertexList* out) {
  auto v = out->begin();
  for (auto c = controls.begin(); c != controls.end(); ++c) {
    if (v != out->end() && v->x == c->x && v->y == c->y) {
      ++v;
      continue;
    }
    const bool closingRepeat = ring && std::next(c) == controls.end() && !out->empty() &&
                               out->front().x == c->x && out->front().y == c->y;
    if (closingRepeat) continue;
    out->insert(v, CVertex{c->x, c->y, kControlVertexFlag});
  }
}

void FlagEnds(VertexList* out) {
  if (out->empty()) return;
  out->front().flag = kPlainVertexFlag;
  out->back().flag = kPlainVertexFlag;
}

BOOL FitVertices(const VertexList& in, double tolerance, bool ring, VertexList* out) {
  out->clear();
  if (in.size() <= 2) {
    *out = in;
    FlagEnds(out);
    return TRUE;
  }
  out->push_back(in.front());
  for (auto v = std::next(in.begin()); v != std::prev(in.end()); ++v) {
    if (v->flag == kControlVertexFlag || v->flag == kControlVertexFlag2) out->push_back(*v);
  }
  out->push_back(in.back());
  PointList controls;
  for (const CVertex& v : *out) controls.emplace_back(v.x, v.y);
  PointList dense;
  for (const CVertex& v : in) dense.emplace_back(v.x, v.y);
  RemoveDuplicatePoints2(dense);
  const BOOL fitted = ring ? FitSplineControlPoints2(dense, tolerance, controls)
                           : FitSplineControlPoints(dense, tolerance, controls);
  if (fitted) MergeControls(controls, ring, out);
  FlagEnds(out);
  return TRUE;
}

// ---- Probe directions of FindMaxDeviation ----

// From dense[i] to the nearest point before it (step -1) or after it (step
// +1) at least kProbeReach away, else to the end of the list; false at the
// end itself.
bool ReachVector(const std::vector<CPoint>& d, int i, int step, Vec2* v) {
  const int last = static_cast<int>(d.size()) - 1;
  if ((step < 0 && i == 0) || (step > 0 && i == last)) return false;
  int j = i + step;
  while (j > 0 && j < last && SquaredDistance(d[i], d[j]) < kProbeReachSquared) j += step;
  *v = {static_cast<double>(d[j].x) - d[i].x, static_cast<double>(d[j].y) - d[i].y};
  return true;
}

Vec2 ProbeDirection(const std::vector<CPoint>& d, int i) {
  Vec2 b, f;
  const bool hasBack = ReachVector(d, i, -1, &b);
  const bool hasForward = ReachVector(d, i, +1, &f);
  if (!hasBack && !hasForward) return {};
  if (!hasBack) return {-f.y, f.x};
  if (!hasForward) return {-b.y, b.x};
  const double lb = std::hypot(b.x, b.y);
  const double lf = std::hypot(f.x, f.y);
  if (lb < lf && lb > 0) b = {b.x * lf / lb, b.y * lf / lb};
  if (lf < lb && lf > 0) f = {f.x * lb / lf, f.y * lb / lf};
  const Vec2 bisector{(b.x + f.x) / 2, (b.y + f.y) / 2};
  if (RoundToNearest(bisector.x) != 0 || RoundToNearest(bisector.y) != 0) return bisector;
  // Straight through the point: the bisector vanishes, the chord's normal
  // crosses the curve instead.
  return {-(f.y - b.y), f.x - b.x};
}

// Squared distance from p to the segment ab.
double SquaredSegmentDistance(const CPoint& p, const CPoint& a, const CPoint& b) {
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return SquaredDistance(p.x, p.y, a.x + t * dx, a.y + t * dy);
}

// The squared deviation of p from the fitted polyline along the probe line
// through p in direction `dir`.
double SquaredDeviation(const CPoint& p, const Vec2& dir, const std::vector<CPoint>& fitted) {
  double best = SquaredDistance(p, fitted.front());
  if (best == 0) return 0;
  const CPoint toward{SaturateToInt32(static_cast<int64_t>(p.x) + RoundToNearest(dir.x)),
                      SaturateToInt32(static_cast<int64_t>(p.y) + RoundToNearest(dir.y))};
  const bool hasProbe = !(toward == p);
  double a = 0, b = 0, c = 0;
  if (hasProbe) LineFromPoints(p.x, p.y, toward.x, toward.y, &a, &b, &c);
  for (size_t k = 1; k < fitted.size() && best > 0; ++k) {
    const CPoint& s0 = fitted[k - 1];
    const CPoint& s1 = fitted[k];
    best = std::min(best, SquaredDistance(p, s1));
    if (!hasProbe) continue;
    CPoint cross;
    const int code = IntersectLineSegmentPt(a, b, c, s0.x, s0.y, s1.x, s1.y, &cross);
    if (code == 1) best = std::min(best, SquaredDistance(p, cross));
    if (code == 3) best = std::min(best, SquaredSegmentDistance(p, s0, s1));
  }
  return best;
}

}  // namespace

BOOL FitCubicSpline(const PointList& controls, BOOL closed, double tolerance, PointList* out) {
  out->clear();
  std::vector<CPoint> pts = DistinctControls(controls);
  if (closed && pts.size() >= 2 && !(pts.back() == pts.front())) pts.push_back(pts.front());
  const size_t n = pts.size();
  if (n < (closed ? 4u : 3u)) return FALSE;
  std::vector<double> h(n - 1), xs(n), ys(n);
  for (size_t i = 0; i < n; ++i) {
    xs[i] = pts[i].x;
    ys[i] = pts[i].y;
  }
  for (size_t i = 0; i + 1 < n; ++i) {
    h[i] = Distance(pts[i], pts[i + 1]);
    if (IsNegligible(h[i])) return FALSE;
  }
  std::vector<double> mx, my;
  const bool solved = closed ? ClosedSlopes(xs, h, &mx) && ClosedSlopes(ys, h, &my)
                             : OpenSlopes(xs, h, &mx) && OpenSlopes(ys, h, &my);
  if (!solved) return FALSE;
  const double tol = std::max(tolerance, kMinSampleTolerance);
  for (size_t i = 0; i + 1 < n; ++i) {
    Span s;
    s.H = h[i];
    s.X = SpanCubic(xs[i], xs[i + 1], mx[i], mx[i + 1], h[i]);
    s.Y = SpanCubic(ys[i], ys[i + 1], my[i], my[i + 1], h[i]);
    const std::list<double> ts = SampleSpan(s, tol);
    // The knots go out as given; only the samples between them are rounded.
    out->push_back(pts[i]);
    for (auto t = std::next(ts.begin()); t != std::prev(ts.end()); ++t) {
      out->emplace_back(RoundToNearest(s.X.At(*t)), RoundToNearest(s.Y.At(*t)));
    }
  }
  out->push_back(pts[n - 1]);
  RemoveDuplicatePoints2(*out);
  if (closed && out->size() > 1 && out->back() == out->front()) out->pop_back();
  return TRUE;
}

CPoint FindMaxDeviation(const PointList& denseList, const PointList& fittedList, double* maxDist) {
  *maxDist = 0;
  if (denseList.empty() || fittedList.empty()) return {};
  const std::vector<CPoint> dense(denseList.begin(), denseList.end());
  const std::vector<CPoint> fitted(fittedList.begin(), fittedList.end());
  CPoint worst = dense.front();
  double worstSq = -1;
  for (int i = 0; i < static_cast<int>(dense.size()); ++i) {
    const double sq = SquaredDeviation(dense[i], ProbeDirection(dense, i), fitted);
    if (sq > worstSq) {
      worstSq = sq;
      worst = dense[i];
    }
  }
  *maxDist = std::sqrt(worstSq);
  return worst;
}

BOOL FitSplineControlPoints(const PointList& dense, double tolerance, PointList& controls) {
  if (dense.size() < 3) return FALSE;
  EnsureEnds(controls, dense.front(), dense.back());
  const double deviation =
      controls.size() >= 3 ? DeviationOf(dense, controls, FALSE) : tolerance + 1;
  RefinePasses(dense, tolerance, FALSE, controls, deviation);
  return TRUE;
}

BOOL FitSplineControlPoints2(const PointList& denseIn, double tolerance, PointList& controls) {
  if (denseIn.size() < 3) return FALSE;
  PointList dense = denseIn;
  if (!(dense.back() == dense.front())) dense.push_back(dense.front());
  const CPoint head = dense.front();
  EnsureEnds(controls, head, head);
  if (controls.size() < 3) {
    double farthest = 0;
    const CPoint worst = FindMaxDeviation(dense, PointList{head}, &farthest);
    controls = {head, worst, head};
  }
  const double deviation = DeviationOf(dense, controls, TRUE);
  RefinePasses(dense, tolerance, TRUE, controls, deviation);
  return TRUE;
}

BOOL FitCurveVertices(const VertexList& in, double tolerance, VertexList* out) {
  return FitVertices(in, tolerance, false, out);
}

BOOL FitCurveVertices2(const VertexList& in, double tolerance, VertexList* out) {
  return FitVertices(in, tolerance, true, out);
}

void FollowMovedAnchors(const std::vector<CPoint>& orig, const std::vector<UINT>& flags,
                        std::vector<CPoint>& moved) {
  const size_t n = orig.size();
  if (n < 2 || flags.size() != n || moved.size() != n) return;
  std::vector<size_t> anchors;
  for (size_t i = 0; i < n; ++i) {
    if (flags[i] == kAnchorFlag) anchors.push_back(i);
  }
  if (anchors.empty()) return;
  const auto translate = [&](size_t k, size_t from, size_t to) {
    const int64_t dx = static_cast<int64_t>(moved[k].x) - orig[k].x;
    const int64_t dy = static_cast<int64_t>(moved[k].y) - orig[k].y;
    for (size_t i = from; i <= to; ++i) {
      if (i != k) moved[i] = AddClamped(orig[i], dx, dy);
    }
  };
  if (anchors.size() == 1) {
    translate(anchors[0], 0, n - 1);
    return;
  }
  for (size_t p = 0; p + 1 < anchors.size(); ++p) {
    const size_t a = anchors[p];
    const size_t b = anchors[p + 1];
    if (b - a < 2) continue;
    const size_t from = p == 0 ? 0 : a;
    const size_t to = p + 2 == anchors.size() ? n - 1 : b;
    const double before = Distance(orig[a], orig[b]);
    if (before == 0) {
      // No direction or scale to follow: the span goes with a.
      for (size_t i = from; i <= to; ++i) {
        if (i != b) translate(a, i, i);
      }
      continue;
    }
    const double theta = LineAngle(moved[a].x, moved[a].y, moved[b].x, moved[b].y) -
                         LineAngle(orig[a].x, orig[a].y, orig[b].x, orig[b].y);
    const double s = Distance(moved[a], moved[b]) / before;
    const double cs = s * std::cos(theta);
    const double sn = s * std::sin(theta);
    for (size_t i = from; i <= to; ++i) {
      if (i == a || i == b) continue;
      const double dx = static_cast<double>(orig[i].x) - orig[a].x;
      const double dy = static_cast<double>(orig[i].y) - orig[a].y;
      moved[i] = AddClamped(moved[a], RoundToNearest(dx * cs - dy * sn),
                            RoundToNearest(dx * sn + dy * cs));
    }
  }
}
