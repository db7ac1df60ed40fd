#include "design/geometry/arcs.h"

#include <cmath>
#include <iterator>

#include "design/geometry/circles.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"

namespace {

// One degree, the narrowest step between samples, and the cosine of half of
// it: a radius whose half-unit sagitta angle is narrower than one degree is
// sampled every degree.
constexpr double kOneDegree = 0.017453292519944444;
constexpr double kHalfDegree = 0.008726646259972222;
// The greatest distance, in model units, a chord may stray from the circle.
constexpr double kSagitta = 0.5;
// The least normal double: angles closer than this are the same angle.
constexpr double kAngleEpsilon = 2.2250738585072014e-308;
// Beyond this many turns a sweep is reduced by fmod before the whole turns
// are taken off one by one, so a huge sweep cannot stall the reduction.
constexpr double kMaxTurnsStepped = 1024.0;

// The point at angle t on the circle of radius r about (cx, cy).
CPoint Sample(int cx, int cy, double r, double t) {
  return CPoint(RoundToNearest(cx + r * std::cos(t)), RoundToNearest(cy + r * std::sin(t)));
}

// The number of equal parts, none wider than `step`, of an angle.
int PartCount(double angle, double step) { return RoundToNearest(std::fabs(angle / step)) + 1; }

// A sweep of more than a full turn less whole turns: a non-negative sweep
// comes down to at most 2 pi, a negative one up to at least -2 pi.
double ReduceSweep(double sweep) {
  if (std::fabs(sweep) > kMaxTurnsStepped * kTwoPi) sweep = std::fmod(sweep, kTwoPi);
  if (sweep >= 0) {
    while (sweep > kTwoPi) sweep -= kTwoPi;
  } else {
    while (sweep < -kTwoPi) sweep += kTwoPi;
  }
  return sweep;
}

// The samples strictly between the angles `from` and `to` (from > to), in
// equal parts no wider than `step`, appended from `from` downwards.
void AppendRun(PointList& out, int cx, int cy, double r, double from, double to, double step) {
  const int parts = PartCount(from - to, step);
  const double part = (from - to) / parts;
  for (int i = 1; i < parts; ++i) out.push_back(Sample(cx, cy, r, from - i * part));
}

// The circle through three points put in the order that runs towards
// decreasing angles: start, middle and end, with their direction angles from
// the centre unwrapped so that start >= middle >= end.
struct OrderedCircle {
  int cx = 0;
  int cy = 0;
  double radius = 0;
  bool reversed = false;  // the points were taken as p3, p2, p1
  CPoint s, m, e;
  double as = 0, am = 0, ae = 0;
};

bool OrderCircle(int x1, int y1, int x2, int y2, int x3, int y3, OrderedCircle* c) {
  int r = 0;
  if (!CircleThrough3Points(x1, y1, x2, y2, x3, y3, &c->cx, &c->cy, &r)) return false;
  c->reversed = r < 0;
  c->radius = std::fabs(static_cast<double>(r));
  c->s = c->reversed ? CPoint(x3, y3) : CPoint(x1, y1);
  c->m = CPoint(x2, y2);
  c->e = c->reversed ? CPoint(x1, y1) : CPoint(x3, y3);
  c->as = LineAngle(c->cx, c->cy, c->s.x, c->s.y);
  c->am = LineAngle(c->cx, c->cy, c->m.x, c->m.y);
  c->ae = LineAngle(c->cx, c->cy, c->e.x, c->e.y);
  // Direction angles lie in [0, 2 pi), so each loop turns at most once.
  while (c->as < c->am) c->as += kTwoPi;
  while (c->am < c->ae) c->ae -= kTwoPi;
  return true;
}

// s, the samples to m, m, the samples to e, e.
PointList ArcThrough(const OrderedCircle& c, double step) {
  PointList list{c.s};
  AppendRun(list, c.cx, c.cy, c.radius, c.as, c.am, step);
  list.push_back(c.m);
  AppendRun(list, c.cx, c.cy, c.radius, c.am, c.ae, step);
  list.push_back(c.e);
  return list;
}

}  // namespace

double ArcSampleStep(double radius) {
  const double ratio = std::fabs((radius - kSagitta) / radius);
  if (!(ratio <= std::cos(kHalfDegree))) return kOneDegree;
  const double step = 2 * std::acos(ratio);
  return step < kOneDegree ? kOneDegree : step;
}

BOOL ArcPolyline(int cx, int cy, int x, int y, double sweep, PointList& out) {
  out.clear();
  out.push_back(CPoint(x, y));
  if (!std::isfinite(sweep)) return TRUE;
  double radius = 0;
  PointDistanceEx(cx, cy, x, y, &radius);
  const double a0 = LineAngle(cx, cy, x, y);
  sweep = ReduceSweep(sweep);
  const int parts = PartCount(sweep, ArcSampleStep(radius));
  const double step = sweep / parts;
  for (int i = 1; i <= parts; ++i) out.push_back(Sample(cx, cy, radius, a0 - i * step));
  RemoveDuplicatePoints2(out);
  return TRUE;
}

BOOL CirclePolyline(int cx, int cy, int x, int y, PointList& out) {
  out.clear();
  double radius = 0;
  PointDistanceEx(cx, cy, x, y, &radius);
  const double a0 = LineAngle(cx, cy, x, y);
  const int parts = RoundToNearest(kTwoPi / ArcSampleStep(radius)) + 1;
  const double step = kTwoPi / parts;
  out.push_back(CPoint(x, y));
  for (int i = 1; i < parts; ++i) {
    double t = a0 + i * step;
    if (t > kTwoPi) t -= kTwoPi;
    out.push_back(Sample(cx, cy, radius, t));
  }
  RemoveDuplicatePoints(out);
  if (out.empty()) out.push_back(CPoint(x, y));
  return TRUE;
}

BOOL ArcThrough3PointsPolyline(int x1, int y1, int x2, int y2, int x3, int y3, PointList& out) {
  OrderedCircle c;
  if (!OrderCircle(x1, y1, x2, y2, x3, y3, &c)) return FALSE;
  out.clear();
  if (std::fabs(c.ae - c.as) < kAngleEpsilon) {
    out = {c.s, c.m, c.e};
  } else {
    out = ArcThrough(c, ArcSampleStep(c.radius));
  }
  RemoveDuplicatePoints2(out);
  // Sampled towards decreasing angles from s; turn it back to run from p1.
  if (c.reversed) out.reverse();
  return TRUE;
}

BOOL CircleThrough3PointsPolyline(int x1, int y1, int x2, int y2, int x3, int y3, PointList& out) {
  out.clear();
  OrderedCircle c;
  if (!OrderCircle(x1, y1, x2, y2, x3, y3, &c)) {
    out = {CPoint(x1, y1), CPoint(x2, y2), CPoint(x3, y3)};
    return FALSE;
  }
  if (std::fabs(c.ae - c.as) < kAngleEpsilon) {
    out = {c.s, c.m, c.e};
  } else {
    const double step = ArcSampleStep(c.radius);
    out = ArcThrough(c, step);
    // Round from e back to s, which closes the ring; RemoveDuplicatePoints
    // takes the closing repeat of s off again.
    AppendRun(out, c.cx, c.cy, c.radius, c.ae, c.as - kTwoPi, step);
    out.push_back(c.s);
  }
  RemoveDuplicatePoints(out);
  if (c.reversed) {
    // Reversed the ring ends at s = p3; bring it to the front so the ring
    // runs p3, ..., p1, ..., p2, ... in the order p1, p2, p3.
    out.reverse();
    out.splice(out.begin(), out, std::prev(out.end()));
  }
  if (out.empty()) out = {CPoint(x1, y1), CPoint(x2, y2), CPoint(x3, y3)};
  return TRUE;
}
