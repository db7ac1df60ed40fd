#include "design/elements/seam_allowance.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"
#include "design/geometry/segments.h"
#include "design/points/graded_point.h"

namespace {

constexpr double kPi = 3.14159265359;
constexpr double kTwoPi = 6.28318530718;
constexpr double kHalfPi = 1.570796326795;

// Work-record kinds besides the stored corner kinds.
constexpr int32_t kUnkeyed = -1;
constexpr int32_t kDropped = -2;

// One outline point with the allowance it carries.
struct SeamRecord {
  CPoint point;
  int64_t widthIn = 0;
  int64_t widthOut = 0;
  int32_t cornerKind = kUnkeyed;
  int32_t cornerParam = 0;
};

int32_t ClampWidth(int64_t width) {
  return static_cast<int32_t>(std::clamp<int64_t>(width, INT32_MIN, INT32_MAX));
}

double Distance(CPoint a, CPoint b) {
  return std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
}

double SquaredDistance(CPoint a, CPoint b) {
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  return dx * dx + dy * dy;
}

// `from` + round(unit(toward - from) * length); `from` when the two meet.
CPoint Along(CPoint from, CPoint toward, double length) {
  const double dx = static_cast<double>(toward.x) - from.x;
  const double dy = static_cast<double>(toward.y) - from.y;
  const double len = std::hypot(dx, dy);
  if (!(len > 0)) return from;
  return CPoint(RoundToNearest(from.x + static_cast<double>(RoundToNearest(dx / len * length))),
                RoundToNearest(from.y + static_cast<double>(RoundToNearest(dy / len * length))));
}

// The offset of `length` from `from` towards `toward`, turned by a quarter
// about `from`: to the right of the direction (y up) or to its left.
CPoint AlongTurned(CPoint from, CPoint toward, double length, bool right) {
  CPoint point = Along(from, toward, length);
  RotatePointInPlace(&point, from.x, from.y, right ? -1.0 : 1.0, 0.0);
  return point;
}

struct Line {
  double a = 0;
  double b = 0;
  double c = 0;
};

Line Through(CPoint p, CPoint q) {
  Line line;
  LineCoefficients(p.x, p.y, q.x, q.y, &line.a, &line.b, &line.c);
  return line;
}

// The line through `p` running along (dx, dy).
Line ThroughAlong(CPoint p, double dx, double dy) {
  Line line;
  line.a = dy;
  line.b = -dx;
  line.c = -(line.a * p.x + line.b * p.y);
  return line;
}

// The line through `p` perpendicular to the direction from `from` to `to`.
Line Perpendicular(CPoint p, CPoint from, CPoint to) {
  return ThroughAlong(p, -(static_cast<double>(to.y) - from.y), static_cast<double>(to.x) - from.x);
}

bool Meet(const Line& l1, const Line& l2, CPoint* out) {
  int x = 0;
  int y = 0;
  if (IntersectLinesInt(l1.a, l1.b, l1.c, l2.a, l2.b, l2.c, &x, &y) != 1) return false;
  *out = CPoint(x, y);
  return true;
}

CPoint Foot(CPoint p, const Line& line) {
  CPoint foot = p;
  ProjectPointOntoLinePt(p.x, p.y, line.a, line.b, line.c, &foot);
  return foot;
}

// The meeting points of the ray from `from` through `through` with the
// offset line; the one nearest `near`, when there is one.
bool RayMeetsOffsetLine(CPoint from, CPoint through, const PointList& offsetLine, CPoint near, CPoint* out) {
  PointList cuts;
  if (IntersectRayPolyline(from.x, from.y, through.x, through.y, offsetLine, &cuts) <= 0) return false;
  int distance = 0;
  *out = NearestListPoint(near.x, near.y, cuts, &distance);
  return true;
}

// What every corner shape at p starts from: the incoming edge e1 (prev to p)
// and the outgoing edge e2 (p to next), each shifted to its side and tapered
// from one width to the other (L1, L2), the feet of p on them and their
// meeting point.
struct CornerFrame {
  CPoint prev, p, next;
  Line l1, l2, e1, e2;
  CPoint f1, f2;
  bool hasMitre = false;
  CPoint mitre;
  double turn = 0;  // negative for a left turn, y up
};

CornerFrame MakeFrame(CPoint prev, int64_t w0, CPoint p, int64_t w1, int64_t w2, CPoint next, int64_t w3) {
  CornerFrame f;
  f.prev = prev;
  f.p = p;
  f.next = next;
  const CPoint a = AlongTurned(prev, p, static_cast<double>(w0), true);
  const CPoint b = AlongTurned(p, prev, static_cast<double>(w1), false);
  const CPoint c = AlongTurned(p, next, static_cast<double>(w2), true);
  const CPoint d = AlongTurned(next, p, static_cast<double>(w3), false);
  f.l1 = Through(a, b);
  f.l2 = Through(c, d);
  f.e1 = Through(prev, p);
  f.e2 = Through(p, next);
  f.f1 = Foot(p, f.l1);
  f.f2 = Foot(p, f.l2);
  f.hasMitre = Meet(f.l1, f.l2, &f.mitre);
  f.turn = (static_cast<double>(p.y) - prev.y) * next.x + (static_cast<double>(prev.y) - next.y) * p.x +
           (static_cast<double>(next.y) - p.y) * prev.x;
  return f;
}

void AppendFeet(const CornerFrame& f, PointList& out) {
  out.push_back(f.f1);
  out.push_back(f.f2);
}

void AppendOffsetCorner(const CornerFrame& f, int64_t w0, int64_t w1, int64_t w2, int64_t w3, PointList& out) {
  const bool allEqual = w0 == w1 && w1 == w2 && w2 == w3;
  if (w1 < 0 || w2 < 0) {
    if (f.turn + 1.0 <= 1.0 && allEqual) return AppendFeet(f, out);
    if (f.hasMitre) return out.push_back(f.mitre);
    return AppendFeet(f, out);
  }
  if (f.turn + 1.0 >= 1.0 && allEqual) return AppendFeet(f, out);
  if (!f.hasMitre) return AppendFeet(f, out);
  if (w1 == w2) return out.push_back(f.mitre);
  const double limit = static_cast<double>(w1 + w2) * 5.0;
  if (static_cast<double>(PointDistance(f.mitre.x, f.mitre.y, f.p.x, f.p.y)) > limit) return AppendFeet(f, out);
  out.push_back(f.mitre);
}

// The corner folded along one edge: the part of the allowance beyond the
// edge's extension is mirrored back across it. `incoming` folds along e1
// (kind 2); otherwise the same with the sides exchanged, along e2 (kind 3).
void AppendFoldedCorner(const CornerFrame& f, bool incoming, const PointList& offsetLine, PointList& out) {
  const CPoint from = incoming ? f.prev : f.next;      // the fold edge runs from here to p
  const CPoint other = incoming ? f.next : f.prev;     // the far end of the other edge
  const Line& foldEdge = incoming ? f.e1 : f.e2;
  const Line& ownSide = incoming ? f.l1 : f.l2;        // offset line of the fold edge
  const Line& otherSide = incoming ? f.l2 : f.l1;      // offset line of the other edge
  const CPoint p = f.p;

  CPoint x2;
  if (!Meet(otherSide, foldEdge, &x2)) return AppendFeet(f, out);
  CPoint onRay;
  if (RayMeetsOffsetLine(from, p, offsetLine, x2, &onRay)) x2 = onRay;
  // The other edge's direction mirrored across the fold edge.
  const double theta = VectorAngleHorz(p.x, p.y, from.x, from.y) - VectorAngleHorz(p.x, p.y, other.x, other.y);
  const double dx = static_cast<double>(from.x) - p.x;
  const double dy = static_cast<double>(from.y) - p.y;
  const double qx = dx * std::cos(theta) - dy * std::sin(theta);
  const double qy = dx * std::sin(theta) + dy * std::cos(theta);
  const Line g = ThroughAlong(x2, qx, qy);
  CPoint y;
  if (!Meet(ownSide, g, &y)) return AppendFeet(f, out);
  const auto appendFallBack = [&] {
    if (incoming) {
      out.push_back(y);
      out.push_back(x2);
    } else {
      out.push_back(x2);
      out.push_back(y);
    }
  };
  CPoint m = y;
  MirrorPointAcrossLine2PPt(y.x, y.y, from.x, from.y, p.x, p.y, &m);
  // h: through M, along the fold edge's offset line.
  const Line h = ThroughAlong(m, -ownSide.b, ownSide.a);
  PointList cuts;
  if (IntersectLinePolyline(h.a, h.b, h.c, offsetLine, &cuts) <= 0) return appendFallBack();
  int distance = 0;
  const CPoint z = NearestListPoint(m.x, m.y, cuts, &distance);
  PointList section;
  // The section runs from the mirrored far end to X2: backwards along the
  // offset line from Z when folding along the incoming edge, backwards from
  // X2 when folding along the outgoing one (the mirror image of the same
  // walk), so that the appended points follow the direction of travel.
  const BOOL found = incoming ? GetRingSectionBackward(offsetLine, z.x, z.y, x2.x, x2.y, &section)
                              : GetRingSectionBackward(offsetLine, x2.x, x2.y, z.x, z.y, &section);
  if (PointDistance(z.x, z.y, x2.x, x2.y) > 2 && found && !section.empty()) {
    MirrorPointList(section, from.x, from.y, p.x, p.y, &section);
    out.insert(out.end(), section.begin(), section.end());
    return;
  }
  appendFallBack();
}

void AppendCutOffCorner(const CornerFrame& f, double width, double scale, PointList& out) {
  const CPoint p = f.p;
  const double lenPrev = Distance(p, f.prev);
  const double lenNext = Distance(p, f.next);
  const double reach = scale * 10.0;
  const double ux = p.x + (static_cast<double>(f.prev.x) - p.x) / lenPrev * reach;
  const double uy = p.y + (static_cast<double>(f.prev.y) - p.y) / lenPrev * reach;
  const double vx = p.x + (static_cast<double>(f.next.x) - p.x) / lenNext * reach;
  const double vy = p.y + (static_cast<double>(f.next.y) - p.y) / lenNext * reach;
  const double mx = (ux + vx) / 2 - p.x;
  const double my = (uy + vy) / 2 - p.y;
  const double dm = std::hypot(mx, my);
  if (!(dm >= 5.0 * std::sqrt(2.0))) return AppendFeet(f, out);
  const CPoint e(RoundToNearest(p.x - mx * width / dm), RoundToNearest(p.y - my * width / dm));
  const double phi =
      VectorAngleHorz(RoundToNearest(ux), RoundToNearest(uy), RoundToNearest(vx), RoundToNearest(vy));
  Line k;
  k.a = std::sin(phi);
  k.b = -std::cos(phi);
  k.c = -(k.a * e.x + k.b * e.y);
  CPoint x;
  CPoint y;
  if (!Meet(f.l1, k, &x) || !Meet(f.l2, k, &y)) return AppendFeet(f, out);
  out.push_back(x);
  out.push_back(y);
}

void AppendRoundedOffCorner(const CornerFrame& f, int32_t param, PointList& out) {
  if (!f.hasMitre) return AppendFeet(f, out);
  const CPoint p = f.p;
  const CPoint x = f.mitre;
  const CPoint opposite(RoundToNearest(2.0 * p.x - x.x), RoundToNearest(2.0 * p.y - x.y));
  CPoint m1 = opposite;
  CPoint m2 = opposite;
  MirrorPointAcrossLine2PPt(opposite.x, opposite.y, f.prev.x, f.prev.y, p.x, p.y, &m1);
  MirrorPointAcrossLine2PPt(opposite.x, opposite.y, p.x, p.y, f.next.x, f.next.y, &m2);
  // A mirror point on p has no direction towards p: the plain mitre.
  if (m1 == p || m2 == p) return out.push_back(x);
  const double d1 = PointLine2PDistance(x.x, x.y, m1.x, m1.y, p.x, p.y);
  const double d2 = PointLine2PDistance(x.x, x.y, m2.x, m2.y, p.x, p.y);
  if (!(RoundToNearest(d1) > param && RoundToNearest(d2) > param)) return out.push_back(x);
  const CPoint g1 = AlongTurned(m1, p, param, true);
  const CPoint g2 = AlongTurned(m2, p, param, false);
  const Line h1 = ThroughAlong(g1, static_cast<double>(p.x) - m1.x, static_cast<double>(p.y) - m1.y);
  const Line h2 = ThroughAlong(g2, static_cast<double>(p.x) - m2.x, static_cast<double>(p.y) - m2.y);
  CPoint y1;
  CPoint y2;
  if (!Meet(f.l1, h1, &y1) || !Meet(f.l2, h2, &y2)) return out.push_back(x);
  out.push_back(y1);
  CPoint between;
  if (Meet(h1, h2, &between)) out.push_back(between);
  out.push_back(y2);
}

// The counter-clockwise angle at p from the outgoing edge to the incoming one.
double InnerAngle(const CornerFrame& f) {
  return AngleBetween(f.p.x, f.p.y, f.next.x, f.next.y, f.p.x, f.p.y, f.prev.x, f.prev.y);
}

std::vector<CPoint> ToVector(const PointList& list) { return std::vector<CPoint>(list.begin(), list.end()); }

void RotateToLeastX(PointList& list) {
  if (list.empty()) return;
  auto least = list.begin();
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->x < least->x) least = it;
  }
  PointList rotated(least, list.end());
  rotated.insert(rotated.end(), list.begin(), least);
  list = std::move(rotated);
}

// The shared clean-up of the offset line and the seam line.
void CleanUp(PointList& list, double scale) {
  RemoveDuplicatePoints(list);
  RotateToLeastX(list);
  RemoveLoops(list);
  RemoveDuplicatePoints(list);
  RemoveSpikes(list, scale);
  RemoveDuplicatePoints(list);
}

// Width interpolation between keyed records: every unkeyed record takes the
// width that changes evenly with the length along the outline from the
// outgoing width of the keyed record before it to the incoming width of the
// keyed record after it. Returns the record at which the walk ended: the
// keyed record that closed the last stretch with records between, or -1
// when no stretch had any.
ptrdiff_t InterpolateWidths(std::vector<SeamRecord>& records, size_t firstKeyed) {
  const size_t n = records.size();
  ptrdiff_t ended = -1;
  size_t a = firstKeyed;
  do {
    size_t b = (a + 1) % n;
    while (records[b].cornerKind == kUnkeyed) b = (b + 1) % n;
    // The records strictly between a and b; a single keyed record closes
    // a whole turn on itself.
    const size_t steps = b == a ? n : (b + n - a) % n;
    if (steps >= 2) {
      double total = 0;
      for (size_t k = 0; k < steps; ++k) {
        total += Distance(records[(a + k) % n].point, records[(a + k + 1) % n].point);
      }
      const double delta = static_cast<double>(records[b].widthIn) - static_cast<double>(records[a].widthOut);
      double walked = 0;
      for (size_t k = 1; k < steps; ++k) {
        const size_t i = (a + k) % n;
        walked += Distance(records[(i + n - 1) % n].point, records[i].point);
        const int64_t step = total > 0 ? RoundToNearest(delta * walked / total) : 0;
        const int64_t width = ClampWidth(records[a].widthOut + step);
        records[i].widthIn = width;
        records[i].widthOut = width;
      }
      ended = static_cast<ptrdiff_t>(b);
    }
    a = b;
  } while (a != firstKeyed);
  return ended;
}

// Drops the unkeyed records that lie within half a millimetre of the record
// before them (or, for the last, of the start record).
void Thin(std::vector<SeamRecord>& records, size_t start, double scale) {
  const size_t n = records.size();
  const double threshold = (scale * 0.5) * (scale * 0.5);
  size_t k = start;
  for (size_t step = 1; step < n; ++step) {
    const size_t r = (start + step) % n;
    if (SquaredDistance(records[r].point, records[k].point) >= threshold) {
      k = r;
    } else if (records[r].cornerKind == kUnkeyed) {
      records[r].cornerKind = kDropped;
    } else if (records[k].cornerKind == kUnkeyed) {
      records[k].cornerKind = kDropped;
      k = r;
    } else {
      k = r;
    }
  }
  if (k != start && records[k].cornerKind == kUnkeyed &&
      SquaredDistance(records[k].point, records[start].point) < threshold) {
    records[k].cornerKind = kDropped;
  }
}

size_t Neighbour(const std::vector<SeamRecord>& records, size_t i, bool forward) {
  const size_t n = records.size();
  size_t j = i;
  for (size_t step = 0; step < n; ++step) {
    j = forward ? (j + 1) % n : (j + n - 1) % n;
    if (records[j].cornerKind != kDropped) return j;
  }
  return i;
}

}  // namespace

void BuildOffsetCorner(CPoint prev, int32_t prevWidthOut, CPoint p, int32_t widthIn, int32_t widthOut,
                       CPoint next, int32_t nextWidthIn, PointList& out) {
  if (p == prev || p == next) return out.push_back(p);
  const CornerFrame f = MakeFrame(prev, prevWidthOut, p, widthIn, widthOut, next, nextWidthIn);
  AppendOffsetCorner(f, prevWidthOut, widthIn, widthOut, nextWidthIn, out);
}

void BuildCorner(CPoint prev, int32_t prevWidthOut, CPoint p, int32_t widthIn, int32_t widthOut,
                 int32_t cornerKind, int32_t cornerParam, CPoint next, int32_t nextWidthIn,
                 const PointList& offsetLine, double scale, PointList& out) {
  if (p == prev || p == next) return out.push_back(p);
  const CornerFrame f = MakeFrame(prev, prevWidthOut, p, widthIn, widthOut, next, nextWidthIn);
  CPoint cut;
  switch (cornerKind) {
    case 1:
      return AppendOffsetCorner(f, prevWidthOut, widthIn, widthOut, nextWidthIn, out);
    case 2:
      return AppendFoldedCorner(f, true, offsetLine, out);
    case 3:
      return AppendFoldedCorner(f, false, offsetLine, out);
    case 4:
      if (!RayMeetsOffsetLine(prev, p, offsetLine, p, &cut)) return AppendFeet(f, out);
      out.push_back(Foot(cut, f.l1));
      out.push_back(cut);
      return;
    case 5:
      if (!RayMeetsOffsetLine(next, p, offsetLine, p, &cut)) return AppendFeet(f, out);
      out.push_back(cut);
      out.push_back(Foot(cut, f.l2));
      return;
    case 6: {
      // Square ends: each edge's allowance ends square to the edge at p.
      CPoint x = p;
      CPoint y = p;
      if (!Meet(f.l1, Perpendicular(p, prev, p), &x)) x = p;
      if (!Meet(f.l2, Perpendicular(p, p, next), &y)) y = p;
      out.push_back(x);
      out.push_back(y);
      return;
    }
    case 7: {
      CPoint x;
      CPoint y;
      if (!Meet(f.l1, f.e2, &x) || !Meet(f.l2, f.e1, &y)) return AppendFeet(f, out);
      out.push_back(x);
      out.push_back(y);
      return;
    }
    case 8:
      return AppendCutOffCorner(f, widthIn, scale, out);
    case 9:
      return AppendCutOffCorner(f, widthOut, scale, out);
    case 12:
      return AppendCutOffCorner(f, cornerParam, scale, out);
    case 10: {
      const CPoint e = Along(p, prev, -static_cast<double>(cornerParam));
      out.push_back(Foot(e, f.l1));
      out.push_back(e);
      if (RayMeetsOffsetLine(prev, p, offsetLine, p, &cut)) out.push_back(cut);
      return;
    }
    case 11: {
      if (RayMeetsOffsetLine(next, p, offsetLine, p, &cut)) out.push_back(cut);
      const CPoint e = Along(p, next, -static_cast<double>(cornerParam));
      out.push_back(e);
      out.push_back(Foot(e, f.l2));
      return;
    }
    case 13:
      return AppendRoundedOffCorner(f, cornerParam, out);
    case 14: {
      const CPoint e = Along(p, prev, -static_cast<double>(cornerParam));
      out.push_back(Foot(e, f.l1));
      out.push_back(e);
      if (InnerAngle(f) <= kHalfPi) {
        out.push_back(f.f2);
      } else if (RayMeetsOffsetLine(prev, p, offsetLine, p, &cut)) {
        out.push_back(cut);
      }
      return;
    }
    case 15: {
      if (InnerAngle(f) <= kHalfPi) {
        out.push_back(f.f1);
      } else if (RayMeetsOffsetLine(next, p, offsetLine, p, &cut)) {
        out.push_back(cut);
      }
      const CPoint e = Along(p, next, -static_cast<double>(cornerParam));
      out.push_back(e);
      out.push_back(Foot(e, f.l2));
      return;
    }
    default:
      return;
  }
}

void RemoveLoops(PointList& ring) {
  std::vector<CPoint> pts = ToVector(ring);
  size_t i = 0;
  while (pts.size() >= 4 && i < pts.size()) {
    const size_t n = pts.size();
    const CPoint s = pts[i];
    const CPoint s1 = pts[(i + 1) % n];
    bool cutMade = false;
    // Every segment but the two neighbours, which always share an end with
    // this one (a meeting there, or a run back along it, is no loop).
    for (size_t step = 2; step + 1 < n; ++step) {
      const size_t j = (i + step) % n;
      const CPoint t = pts[j];
      const CPoint t1 = pts[(j + 1) % n];
      if (t == t1) continue;
      CPoint meet;
      const int code = SegmentIntersectionPt(s.x, s.y, s1.x, s1.y, t.x, t.y, t1.x, t1.y, &meet);
      if (code != 1 && code != 4 && code != 5) continue;
      if (code != 1) meet = t1;
      // The loop: the meeting point, then the points after s up to t.
      std::vector<CPoint> loop;
      loop.push_back(meet);
      for (size_t k = (i + 1) % n;; k = (k + 1) % n) {
        loop.push_back(pts[k]);
        if (k == j) break;
      }
      // The rest of the ring in its own order, the meeting point in the
      // loop's place unless it is s or t' already.
      const bool insertMeet = meet != s && meet != t1;
      std::vector<CPoint> rest;
      size_t newS = 0;
      if (j > i) {
        rest.assign(pts.begin(), pts.begin() + static_cast<ptrdiff_t>(i) + 1);
        newS = i;
        if (insertMeet) rest.push_back(meet);
        rest.insert(rest.end(), pts.begin() + static_cast<ptrdiff_t>(j) + 1, pts.end());
      } else {
        rest.assign(pts.begin() + static_cast<ptrdiff_t>(j) + 1, pts.begin() + static_cast<ptrdiff_t>(i) + 1);
        newS = i - (j + 1);
        if (insertMeet) rest.push_back(meet);
      }
      PointList loopList(loop.begin(), loop.end());
      const PointList restList(rest.begin(), rest.end());
      if (PolygonArea(loopList) > PolygonArea(restList)) {
        RemoveDuplicatePoints(loopList);
        pts = ToVector(loopList);
        i = 0;
      } else {
        pts = std::move(rest);
        i = newS >= 2 ? newS - 2 : 0;
      }
      cutMade = true;
      break;
    }
    if (!cutMade) ++i;
  }
  ring.assign(pts.begin(), pts.end());
}

void RemoveSpikes(PointList& ring, double scale) {
  std::vector<CPoint> pts = ToVector(ring);
  const double threshold = scale * scale;
  const auto folded = [](double angle) { return angle > kPi ? kTwoPi - angle : angle; };
  size_t i = 0;
  while (pts.size() >= 4 && i < pts.size()) {
    const size_t n = pts.size();
    const CPoint b = pts[(i + n - 1) % n];
    const CPoint c = pts[i];
    const size_t di = (i + 1) % n;
    const CPoint d = pts[di];
    const CPoint e = pts[(i + 2) % n];
    if (SquaredDistance(c, d) < threshold) {
      const double alpha = folded(AngleBetween(c.x, c.y, b.x, b.y, c.x, c.y, d.x, d.y));
      const double beta = folded(AngleBetween(d.x, d.y, c.x, c.y, d.x, d.y, e.x, e.y));
      if (alpha < kHalfPi && beta < kHalfPi) {
        pts.erase(pts.begin() + static_cast<ptrdiff_t>(di));
        if (di < i) --i;  // the head went; c moved one place up
        continue;          // c again, with the same predecessor
      }
    }
    ++i;
  }
  ring.assign(pts.begin(), pts.end());
}

BOOL BuildSeamAllowance(const PointList& outline, const std::vector<CSeamEntry>& entries, int32_t size,
                        double scale, PointList& seamLine) {
  if (entries.empty() || outline.size() < 3) return FALSE;

  std::vector<SeamRecord> records;
  records.reserve(outline.size());
  for (const CPoint& point : outline) {
    SeamRecord record;
    record.point = point;
    records.push_back(record);
  }

  // Keying: an entry whose point cannot be had at this size, or is no
  // outline point, keys nothing.
  ptrdiff_t lastEntryRecord = -1;
  for (const CSeamEntry& entry : entries) {
    lastEntryRecord = -1;
    CPoint at;
    if (!entry.point || !entry.point->GetPoint(size, &at)) continue;
    for (size_t i = 0; i < records.size(); ++i) {
      if (records[i].point != at) continue;
      records[i].widthIn = entry.widthIn;
      records[i].widthOut = entry.widthOut;
      records[i].cornerKind = entry.cornerKind;
      records[i].cornerParam = entry.cornerParam;
      // A keyed record never reads as unkeyed or dropped, whatever its kind.
      if (records[i].cornerKind == kUnkeyed || records[i].cornerKind == kDropped) records[i].cornerKind = 0;
      lastEntryRecord = static_cast<ptrdiff_t>(i);
      break;
    }
  }

  seamLine.clear();
  size_t firstKeyed = records.size();
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].cornerKind != kUnkeyed) {
      firstKeyed = i;
      break;
    }
  }
  if (firstKeyed == records.size()) return TRUE;  // no point keyed: no seam line

  ptrdiff_t start = InterpolateWidths(records, firstKeyed);
  if (start < 0) start = lastEntryRecord;
  if (start < 0) return TRUE;  // the thinning has no start: no seam line
  Thin(records, static_cast<size_t>(start), scale);

  PointList offsetLine;
  for (size_t i = 0; i < records.size(); ++i) {
    const SeamRecord& prev = records[Neighbour(records, i, false)];
    const SeamRecord& next = records[Neighbour(records, i, true)];
    const SeamRecord& r = records[i];
    BuildOffsetCorner(prev.point, ClampWidth(prev.widthOut), r.point, ClampWidth(r.widthIn), ClampWidth(r.widthOut),
                      next.point, ClampWidth(next.widthIn), offsetLine);
  }
  CleanUp(offsetLine, scale);
  if (!offsetLine.empty()) offsetLine.push_back(offsetLine.front());

  PointList line;
  for (size_t i = 0; i < records.size(); ++i) {
    const SeamRecord& r = records[i];
    if (r.cornerKind == kDropped) continue;
    const SeamRecord& prev = records[Neighbour(records, i, false)];
    const SeamRecord& next = records[Neighbour(records, i, true)];
    const int32_t kind = r.cornerKind == kUnkeyed ? 1 : r.cornerKind;
    BuildCorner(prev.point, ClampWidth(prev.widthOut), r.point, ClampWidth(r.widthIn), ClampWidth(r.widthOut), kind,
                r.cornerParam, next.point, ClampWidth(next.widthIn), offsetLine, scale, line);
  }
  CleanUp(line, scale);
  seamLine = std::move(line);
  return TRUE;
}
