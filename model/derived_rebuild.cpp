// The cut line of a piece, rebuilt from its outline and the corner
// parameters on the outline's vertices, for every size.
//
// The cut line runs at the corner widths beside the outline: outside for
// positive widths, inside for negative ones. Between two vertices that carry
// widths the width blends along the outline. At each outline vertex its
// corner code says how the cut line turns: a plain mitre, a square step where
// the width changes, a corner mirrored about one edge, a clipped or squared
// corner, or a corner with a step of its own length.
//
// The work goes through tables of positions: one position per vertex and per
// spline point of the outline's curves, the sizes in step, so that position
// i is the same place of the outline in every size. Corners that need more
// than one cut-line point get extra positions; points that are not wanted
// are marked deleted and compacted away. The tables grow as needed.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "model/geometry.h"
#include "model/grading.h"
#include "model/item_factory.h"
#include "model/load_repairs.h"
#include "model/items/cut_line_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"

namespace {

// A width value that means no width was given at this position.
constexpr int32_t kNoWidth = 8888;
// Kind of a point that is to go, and corner code of a position made for a
// corner that needs more than one cut-line point.
constexpr uint32_t kDeletedKind = 0xFFFFFFFFu;
constexpr uint32_t kInsertedCode = 0xFFFFFFFFu;
constexpr uint32_t kSplineKind = kVertexKindGraded;
constexpr uint32_t kMitreCode = 6;
constexpr uint32_t kSquareStepCode = 11;
constexpr uint32_t kHighestCornerCode = 21;
// Outline vertices nearer than this (model units, in x and in y) are one.
constexpr int64_t kNearDuplicate = 20;
// A corner whose edges turn by 165 to 195 degrees is straight.
constexpr double kStraightLow = 165.0;
constexpr double kStraightHigh = 195.0;
// Some corner points are left out at corners sharper than a right angle.
constexpr double kDropAngle = 90.0;
constexpr double kPi = 3.14159265359;
constexpr double kTwoPi = 6.28318530718;
constexpr double kHalfPi = 1.570796326795;

constexpr int32_t kRebuiltTypes[] = {12, 17, 18, 19, 20};
constexpr int32_t kCornerDerivedTypes[] = {21, 22, 23, 24, 25};

struct Position {
  int32_t outgoing = kNoWidth;  // width on the edge that leaves the vertex
  int32_t incoming = kNoWidth;  // width on the edge that arrives
  uint32_t code = kMitreCode;
  uint32_t further = 0;  // the high half of the parameter node's y word
};

struct Point {
  uint32_t kind = 0;
  CPoint p;
};

// A line a x + b y = c.
struct Line {
  double a = 0;
  double b = 0;
  double c = 0;
};

bool SamePoint(CPoint a, CPoint b) { return a.x == b.x && a.y == b.y; }

double Distance(CPoint a, CPoint b) {
  return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

int16_t LowHalf(int32_t word) { return static_cast<int16_t>(static_cast<uint32_t>(word) & 0xFFFFu); }
int16_t HighHalf(int32_t word) { return static_cast<int16_t>(static_cast<uint32_t>(word) >> 16); }

// The line beside from -> to at `width` to the right of the way from the
// first point to the second; false for a segment shorter than 0.1 mm.
bool OffsetLine(CPoint from, CPoint to, int32_t width, Line* line) {
  return ParallelLineAtDistance(from.x, from.y, to.x, to.y, width, &line->a, &line->b, &line->c) != FALSE;
}

bool Meet(const Line& l1, const Line& l2, CPoint* x) {
  return SolveLinear2(l1.a, l1.b, l1.c, l2.a, l2.b, l2.c, &x->x, &x->y) == 1;
}

CPoint Foot(CPoint p, const Line& line) {
  CPoint foot;
  PerpendicularFoot(p.x, p.y, line.a, line.b, line.c, &foot.x, &foot.y);
  return foot;
}

// The line through two points (no line for two equal points).
Line Through(CPoint p, CPoint q) {
  Line line;
  line.a = static_cast<double>(q.y) - p.y;
  line.b = static_cast<double>(p.x) - q.x;
  line.c = line.a * p.x + line.b * p.y;
  return line;
}

// The line through `p` square to the direction (dx, dy).
Line SquareTo(CPoint p, double dx, double dy) {
  Line line;
  line.a = dx;
  line.b = dy;
  line.c = dx * p.x + dy * p.y;
  return line;
}

// The vector `v` turned counter-clockwise by `phi` radians, each component
// rounded.
CPoint Turned(CPoint v, double phi) {
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  return CPoint(RoundToInt(v.x * c - v.y * s), RoundToInt(v.x * s + v.y * c));
}

CPoint Plus(CPoint a, CPoint b) { return CPoint(WrapAdd(a.x, b.x), WrapAdd(a.y, b.y)); }
CPoint Minus(CPoint a, CPoint b) { return CPoint(WrapSub(a.x, b.x), WrapSub(a.y, b.y)); }

// `from` moved by `length` in the direction (dx, dy), each coordinate
// truncated; `from` itself for a direction of no length.
CPoint MovedAlong(CPoint from, double dx, double dy, double length) {
  const double norm = std::hypot(dx, dy);
  if (norm == 0) return from;
  return CPoint(TruncateTowardZero(from.x + length * dx / norm), TruncateTowardZero(from.y + length * dy / norm));
}

// Angle between the edges at C, from the way to the next point round to the
// way to the previous one, in degrees 0 .. 360.
double CornerAngle(CPoint c, CPoint prev, CPoint next) {
  double angle = (VectorAngle(c.x, c.y, prev.x, prev.y) - VectorAngle(c.x, c.y, next.x, next.y)) * 180.0 / kPi;
  if (angle < 0) angle += 360.0;
  return angle;
}

// Number of cut-line positions a corner code fills.
size_t CornerPositions(uint32_t code) {
  switch (code) {
    case 0: case 3: case 11: return 2;
    case 1: case 2: case 4: case 5: case 19: return 3;
    case 13: case 14: return 5;
    case 7: case 8: case 9: case 10: case 12: case 15: case 16: case 17: case 18: case 20: case 21: return 4;
    default: return 1;
  }
}

// What a corner construction needs: the outline corner C with the points
// before and after it, the incoming and outgoing cut lines A and B, the
// widths and the further value of the corner's parameter node.
struct Corner {
  CPoint c;
  CPoint prev;
  CPoint next;
  Line a;
  Line b;
  int32_t incoming = 0;
  int32_t outgoing = 0;
  uint32_t further = 0;
};

// One point of a corner construction; `dropSharp` leaves it out at a corner
// sharper than a right angle.
struct CornerPoint {
  CPoint p;
  bool dropSharp = false;
};

// The turn test of the corners with a step: negative when the outline turns
// one way at C (the step is made), positive the other.
double TurnSign(const Corner& k) {
  return (static_cast<double>(k.c.y) - k.prev.y) * k.next.x + (static_cast<double>(k.prev.y) - k.next.y) * k.c.x +
         (static_cast<double>(k.next.y) - k.c.y) * k.prev.x;
}

// The corners of codes 16, 17 and 18: squared off at the distance `w` out
// from C on the corner's bisector.
std::vector<CornerPoint> BisectorSquareCorner(const Corner& k, CPoint footA, CPoint footB, int32_t w) {
  // M: halfway between the previous point and the point of the outgoing
  // edge as far from C as the previous point.
  const CPoint along = MovedAlong(k.c, static_cast<double>(k.next.x) - k.c.x, static_cast<double>(k.next.y) - k.c.y,
                                  Distance(k.c, k.prev));
  const CPoint m(static_cast<int32_t>((static_cast<int64_t>(k.prev.x) + along.x) / 2),
                 static_cast<int32_t>((static_cast<int64_t>(k.prev.y) + along.y) / 2));
  const CPoint t = MovedAlong(k.c, static_cast<double>(k.c.x) - m.x, static_cast<double>(k.c.y) - m.y, w);
  CPoint y1 = footA;
  CPoint y2 = footB;
  if (!SamePoint(t, k.c)) {
    const Line square = SquareTo(t, static_cast<double>(t.x) - k.c.x, static_cast<double>(t.y) - k.c.y);
    if (!Meet(square, k.a, &y1)) y1 = footA;
    if (!Meet(square, k.b, &y2)) y2 = footB;
  }
  return {{footA, true}, {y1}, {y2}, {footB, true}};
}

// The points a corner code writes, in order along the cut line.
std::vector<CornerPoint> CornerPoints(uint32_t code, const Corner& k) {
  const CPoint footA = Foot(k.c, k.a);
  const CPoint footB = Foot(k.c, k.b);
  const double theta = VectorAngle(k.c.x, k.c.y, k.prev.x, k.prev.y) - VectorAngle(k.c.x, k.c.y, k.next.x, k.next.y);
  const Line incomingEdge = Through(k.prev, k.c);
  const Line outgoingEdge = Through(k.c, k.next);
  CPoint x;
  switch (code) {
    case 0:
      return {{k.c}, {footB}};
    case 3:
      return {{footA}, {k.c}};
    case 1:
      if (Meet(k.a, k.b, &x)) return {{k.c}, {x}, {footB}};
      return {{k.c}, {footB}, {footB}};
    case 4:
      if (Meet(k.a, k.b, &x)) return {{footA}, {x}, {k.c}};
      return {{footA}, {footA}, {k.c}};
    case 2: {
      // The incoming edge mirrored about the outgoing one.
      const CPoint r = Turned(Minus(k.next, k.c), -theta);
      if (Meet(k.b, Through(k.c, Plus(k.c, r)), &x)) return {{k.c}, {x}, {footB}};
      return {{k.c}, {footB}, {footB}};
    }
    case 5: {
      // The outgoing edge mirrored about the incoming one.
      const CPoint r = Turned(Minus(k.prev, k.c), theta);
      if (Meet(k.a, Through(k.c, Plus(k.c, r)), &x)) return {{x}, {footB}, {k.c}};
      return {{footA}, {footA}, {k.c}};
    }
    case kSquareStepCode:
      return {{footA}, {footB}};
    case 7: {
      CPoint x1;
      if (!Meet(k.b, incomingEdge, &x1)) return {{footA}, {footA}, {footA}, {footB, true}};
      const CPoint r = Turned(Minus(k.prev, k.c), theta);
      CPoint x2;
      if (!Meet(k.a, Through(x1, Plus(x1, r)), &x2)) x2 = Foot(x1, k.a);
      return {{footA}, {x2}, {x1}, {footB, true}};
    }
    case 8: {
      CPoint x1;
      if (!Meet(k.a, outgoingEdge, &x1)) return {{footA, true}, {footB}, {footB}, {footB}};
      const CPoint r = Turned(Minus(k.next, k.c), -theta);
      CPoint x2;
      if (!Meet(k.b, Through(x1, Plus(x1, r)), &x2)) x2 = Foot(x1, k.b);
      return {{footA, true}, {x1}, {x2}, {footB}};
    }
    case 9:
      if (Meet(k.b, incomingEdge, &x)) return {{footA}, {Foot(x, k.a)}, {x}, {footB, true}};
      return {{footA}, {footA}, {footA}, {footB, true}};
    case 10:
      if (Meet(k.a, outgoingEdge, &x)) return {{footA, true}, {x}, {Foot(x, k.b)}, {footB}};
      return {{footA, true}, {footB}, {footB}, {footB}};
    case 12: {
      // Squared off square to the mitre, as far out as the wider edge.
      const int32_t w = std::max(std::abs(k.incoming), std::abs(k.outgoing));
      if (!Meet(k.a, k.b, &x) || Distance(x, k.c) <= 1.0) return {{footA}, {footA}, {footA}, {footB, true}};
      const double dx = static_cast<double>(x.x) - k.c.x;
      const double dy = static_cast<double>(x.y) - k.c.y;
      const double len = std::hypot(dx, dy);
      const CPoint t(RoundToInt(k.c.x + w * dx / len), RoundToInt(k.c.y + w * dy / len));
      const Line square = SquareTo(t, dx, dy);
      CPoint y1;
      CPoint y2;
      if (!Meet(square, k.a, &y1)) {
        y1 = Foot(t, k.a);
        y2 = Foot(t, k.b);
      } else if (!Meet(square, k.b, &y2)) {
        y2 = Foot(y1, k.b);
      }
      return {{footA}, {y1}, {y2}, {footB, true}};
    }
    case 13:
    case 14: {
      // A step of the further value's length beyond C along one edge.
      const bool mirrored = code == 14;
      const double t = TurnSign(k);
      if (mirrored ? !(t > 0) : !(t < 0)) {
        return mirrored ? std::vector<CornerPoint>{{footA}, {footA}, {footA}, {footA}, {footB}}
                        : std::vector<CornerPoint>{{footA}, {footB}, {footB}, {footB}, {footB}};
      }
      const CPoint from = mirrored ? k.next : k.prev;
      const CPoint e = MovedAlong(k.c, static_cast<double>(k.c.x) - from.x, static_cast<double>(k.c.y) - from.y,
                                  static_cast<double>(k.further));
      if (mirrored) {
        if (!Meet(k.a, outgoingEdge, &x)) x = footA;
        return {{footA}, {x}, {e}, {Foot(e, k.b)}, {footB}};
      }
      if (!Meet(k.b, incomingEdge, &x)) x = footB;
      return {{footA}, {Foot(e, k.a)}, {e}, {x}, {footB}};
    }
    case 15: {
      CPoint x1;
      CPoint x2;
      if (!Meet(k.a, outgoingEdge, &x1)) x1 = footA;
      if (!Meet(k.b, incomingEdge, &x2)) x2 = footB;
      return {{footA, true}, {x1}, {x2}, {footB, true}};
    }
    case 16:
      return BisectorSquareCorner(k, footA, footB, k.incoming);
    case 17:
      return BisectorSquareCorner(k, footA, footB, k.outgoing);
    case 18:
      return BisectorSquareCorner(k, footA, footB, static_cast<int16_t>(k.further & 0xFFFFu));
    case 19: {
      // The cut line stepped in by the further value around the point where
      // the edges, moved to the other side, meet.
      Line otherA;
      Line otherB;
      CPoint kp = k.c;
      const bool haveA = OffsetLine(k.prev, k.c, -k.incoming, &otherA);
      const bool haveB = OffsetLine(k.c, k.next, -k.outgoing, &otherB);
      if (!(haveA && haveB && Meet(otherA, otherB, &kp))) {
        if (k.incoming == 0 && k.outgoing == 0) {
          kp = k.c;
        } else if (k.incoming == 0) {
          kp = haveB ? Foot(k.c, otherB) : k.c;
        } else {
          kp = haveA ? Foot(k.c, otherA) : k.c;
        }
      }
      const CPoint fa = Foot(kp, k.a);
      const CPoint fb = Foot(kp, k.b);
      const int32_t h = static_cast<int16_t>(k.further & 0xFFFFu);
      Line l1;
      Line l2;
      const bool have1 = OffsetLine(fa, k.c, h, &l1);
      const bool have2 = OffsetLine(k.c, fb, h, &l2);
      CPoint z = k.c;
      if (!(have1 && have2 && Meet(l1, l2, &z))) z = (h == 0 || !have1) ? k.c : Foot(k.c, l1);
      CPoint y1 = footA;
      CPoint y2 = footB;
      if (!(have1 && Meet(l1, k.a, &y1))) y1 = footA;
      if (!(have2 && Meet(l2, k.b, &y2))) y2 = footB;
      return {{y1}, {z}, {y2}};
    }
    case 20:
    case 21: {
      const bool mirrored = code == 21;
      const double t = TurnSign(k);
      if (mirrored ? !(t > 0) : !(t < 0)) {
        return mirrored ? std::vector<CornerPoint>{{footA}, {footA}, {footA}, {footB}}
                        : std::vector<CornerPoint>{{footA}, {footB}, {footB}, {footB}};
      }
      double angle = mirrored ? -theta : theta;
      if (angle < 0) angle += kTwoPi;
      const CPoint from = mirrored ? k.next : k.prev;
      const CPoint e = MovedAlong(k.c, static_cast<double>(k.c.x) - from.x, static_cast<double>(k.c.y) - from.y,
                                  static_cast<double>(k.further));
      if (mirrored) {
        CPoint first = footA;
        if (angle > kHalfPi && !Meet(k.a, outgoingEdge, &first)) first = footA;
        return {{first}, {e}, {Foot(e, k.b)}, {footB}};
      }
      CPoint last = footB;
      if (angle > kHalfPi && !Meet(k.b, incomingEdge, &last)) last = footB;
      return {{footA}, {Foot(e, k.a)}, {e}, {last}};
    }
    default:
      return {{k.c}};
  }
}

// The working tables of one rebuild and the steps that fill and tidy them.
class CutLineTables {
 public:
  explicit CutLineTables(CPieceCurveItem* outline) : outline_(outline), sizes_(g_Style.SizeCount) {}

  bool CollectPositions();
  void SpreadWidths();
  bool OffsetSize(int s);
  void MergeRepeats();
  void Compact();
  void RemoveNearOutline();
  void CutLoops(int s);
  // The cut line made of the positions whose first-size point is a vertex;
  // null when fewer than three vertices are left.
  CPieceItem12* MakeCutLine() const;

  size_t Count() const { return positions_.size(); }

 private:
  int32_t LocalWidth(CVertexNode* node, CPoint firstPoint) const;
  void DemoteNeighbour(size_t i);

  CPieceCurveItem* outline_;
  int sizes_;
  std::vector<Position> positions_;
  std::vector<std::vector<Point>> points_;  // per size, per position
};

bool CutLineTables::CollectPositions() {
  if (sizes_ <= 0) return false;
  points_.assign(static_cast<size_t>(sizes_), {});
  std::vector<CVertexNode*> heads;
  int64_t bound = 1;
  CSizeRecord* size = g_Style.SizeRing;
  for (int s = 0; s < sizes_ && size; ++s, size = size->Next) {
    CVertexNode* head = outline_->GetCurveHead(size);
    if (!head) return false;
    heads.push_back(head);
    bound += outline_->GetCurveCount(size);
  }
  if (static_cast<int>(heads.size()) != sizes_) return false;
  CVertexNode* vertex = outline_->VertexHead;
  if (vertex && !vertex->IsMain()) vertex = outline_->NextMainVertex(vertex);
  if (!vertex || !vertex->IsMain()) return false;

  // The sizes walk their curves in step: where some size is at a spline
  // point, those sizes move on and the others repeat their last point, so
  // that every vertex falls on the same position in every size.
  std::vector<CVertexNode*> cursors = heads;
  std::vector<Point> last(heads.size());
  for (size_t s = 0; s < heads.size(); ++s) last[s] = {static_cast<uint32_t>(heads[s]->Kind()), CPoint(heads[s]->X, heads[s]->Y)};
  for (int64_t step = 0; step < bound; ++step) {
    bool atSpline = false;
    for (CVertexNode* cursor : cursors) atSpline = atSpline || cursor->Kind() == kVertexKindGraded;
    for (size_t s = 0; s < cursors.size(); ++s) {
      if (!atSpline || cursors[s]->Kind() == kVertexKindGraded) {
        last[s] = {static_cast<uint32_t>(cursors[s]->Kind()), CPoint(cursors[s]->X, cursors[s]->Y)};
        cursors[s] = cursors[s]->Next;
      }
      points_[s].push_back(last[s]);
    }
    Position position;
    if (!atSpline) {
      CVertexNode* param = outline_->NextMainVertex(vertex)->Prev;
      if (param->Kind() == kVertexKindParameter) {
        position.outgoing = LowHalf(param->X);
        position.incoming = HighHalf(param->X);
        position.code = static_cast<uint32_t>(param->Y) & 0xFFFFu;
        position.further = static_cast<uint32_t>(param->Y) >> 16;
      }
      vertex = outline_->NextMainVertex(vertex);
    }
    positions_.push_back(position);
    if (cursors == heads) break;
  }
  return !positions_.empty();
}

void CutLineTables::SpreadWidths() {
  const size_t count = Count();
  const std::vector<Point>& first = points_[0];
  auto given = [&](size_t i) {
    return first[i].kind < static_cast<uint32_t>(kVertexKindCopy) && positions_[i].outgoing != kNoWidth &&
           positions_[i].incoming != kNoWidth;
  };
  size_t start = 0;
  while (start < count && !given(start)) ++start;
  if (start == count) {
    // No vertex carries widths: there is nothing to blend between.
    for (Position& position : positions_) {
      if (position.outgoing == kNoWidth) position.outgoing = 0;
      if (position.incoming == kNoWidth) position.incoming = 0;
    }
    return;
  }
  int32_t from = 0;
  int32_t to = 0;
  double span = 0;
  double along = 0;
  size_t prev = start;
  for (size_t k = 0; k < count; ++k) {
    const size_t i = (start + k) % count;
    if (given(i)) {
      from = positions_[i].outgoing;
      span = 0;
      size_t j = i;
      for (size_t n = 0; n < count; ++n) {
        const size_t next = (j + 1) % count;
        span += Distance(first[j].p, first[next].p);
        j = next;
        if (given(j)) break;
      }
      to = positions_[j].incoming;
      along = 0;
    } else {
      along += Distance(first[prev].p, first[i].p);
      // A stretch of no length keeps the width it starts with.
      const int32_t width = span > 0 ? TruncateTowardZero(from + (to - from) * along / span) : from;
      positions_[i].outgoing = width;
      positions_[i].incoming = width;
    }
    prev = i;
  }
}

// One size's walk round the positions. It reads the tables as they are and
// writes them anew in walk order, so that the positions a corner adds go in
// as the walk passes, whatever their number; at the end the first position
// is put back in front.
class OffsetWalk {
 public:
  OffsetWalk(const std::vector<Position>& positions, const std::vector<std::vector<Point>>& points, size_t sizeIndex,
             size_t start)
      : positions_(positions), points_(points), in_(points[sizeIndex]), s_(sizeIndex), start_(start),
        count_(positions.size()) {
    outPositions_.reserve(count_ + count_ / 2);
    outPoints_.resize(points.size());
    for (std::vector<Point>& out : outPoints_) out.reserve(count_ + count_ / 2);
  }

  // The old index of the k-th position in walk order.
  size_t Old(size_t k) const { return (start_ + k) % count_; }
  const Position& PositionAt(size_t k) const { return positions_[Old(k)]; }
  const Point& PointAt(size_t k) const { return in_[Old(k)]; }
  // Positions right after the k-th that an earlier size made for its corner.
  size_t InsertedAfter(size_t k) const {
    size_t n = 0;
    while (k + 1 + n < count_ && PositionAt(k + 1 + n).code == kInsertedCode) ++n;
    return n;
  }

  // Copies the k-th position (every size) to the new tables.
  void Emit(size_t k) {
    const size_t old = Old(k);
    if (old == 0) head_ = outPositions_.size();
    outPositions_.push_back(positions_[old]);
    for (size_t t = 0; t < points_.size(); ++t) outPoints_[t].push_back(points_[t][old]);
  }
  // A new position after the new table's row `row`: its copy, in every size.
  void EmitInserted(size_t row) {
    Position inserted = outPositions_[row];
    inserted.code = kInsertedCode;
    outPositions_.push_back(inserted);
    for (std::vector<Point>& out : outPoints_) {
      const Point copy = out[row];
      out.push_back(copy);
    }
  }
  size_t Rows() const { return outPositions_.size(); }
  Position& RowPosition(size_t row) { return outPositions_[row]; }
  Point& RowPoint(size_t row) { return outPoints_[s_][row]; }
  void Fill(size_t from, CPoint p) {
    for (size_t row = from; row < Rows(); ++row) outPoints_[s_][row].p = p;
  }

  // Hands the new tables over, the first position in front again.
  void Finish(std::vector<Position>* positions, std::vector<std::vector<Point>>* points) {
    *positions = std::move(outPositions_);
    *points = std::move(outPoints_);
    if (head_ == 0 || head_ >= positions->size()) return;
    std::rotate(positions->begin(), positions->begin() + static_cast<std::ptrdiff_t>(head_), positions->end());
    for (std::vector<Point>& out : *points) {
      std::rotate(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(head_), out.end());
    }
  }

 private:
  const std::vector<Position>& positions_;
  const std::vector<std::vector<Point>>& points_;
  const std::vector<Point>& in_;
  size_t s_;
  size_t start_;
  size_t count_;
  size_t head_ = 0;
  std::vector<Position> outPositions_;
  std::vector<std::vector<Point>> outPoints_;
};

// Writes a corner's construction to the rows from `first` on: a corner
// stretched over a skipped short segment repeats its last point. Points the
// construction leaves out at sharp corners are marked deleted.
void WriteCorner(OffsetWalk* walk, size_t first, uint32_t code, const Corner& corner) {
  const std::vector<CornerPoint> made = CornerPoints(code, corner);
  const bool sharp = CornerAngle(corner.c, corner.prev, corner.next) > kDropAngle;
  const size_t span = walk->Rows() - first;
  for (size_t k = 0; k < span; ++k) {
    const size_t r = k + 1 == span ? made.size() - 1 : std::min(k, made.size() - 1);
    Point& point = walk->RowPoint(first + k);
    point.p = made[r].p;
    if (made[r].dropSharp && sharp) point.kind = kDeletedKind;
  }
}

bool CutLineTables::OffsetSize(int s) {
  const std::vector<Point>& points = points_[static_cast<size_t>(s)];
  const size_t count = Count();
  // The first usable segment ending at position 0 or after it gives the
  // first incoming line and the start of the walk.
  Line lineA;
  size_t start = count;
  CPoint before;
  for (size_t k = 0; k < count; ++k) {
    const size_t from = k == 0 ? count - 1 : k - 1;
    if (OffsetLine(points[from].p, points[k].p, positions_[0].incoming, &lineA)) {
      start = k;
      before = points[from].p;
      break;
    }
  }
  if (start == count) return false;

  OffsetWalk walk(positions_, points_, static_cast<size_t>(s), start);
  const CPoint startPoint = points[start].p;
  auto pointAt = [&](size_t k) { return k >= count ? startPoint : walk.PointAt(k).p; };
  CPoint prev = before;
  size_t j = 0;  // walk order
  while (j < count) {
    const CPoint c = walk.PointAt(j).p;
    const Position& position = walk.PositionAt(j);
    uint32_t code = position.code;
    if (code > kHighestCornerCode) code = kMitreCode;
    if (s == 0 && code > 5) {
      CPoint next = c;
      for (size_t e = j + 1; e <= count; ++e) {
        next = pointAt(e);
        if (!SamePoint(next, c)) break;
      }
      // A straight stretch where the width changes steps square; a reflex
      // corner takes the plain mitre.
      const double angle = CornerAngle(c, prev, next);
      if (angle >= kStraightLow && angle <= kStraightHigh && position.incoming != position.outgoing) {
        code = kSquareStepCode;
      } else if (angle > 180.0) {
        code = kMitreCode;
      }
    }

    const size_t have = walk.InsertedAfter(j);
    size_t e = j + 1 + have;
    Line lineB;
    bool haveB = false;
    CPoint next;
    for (;;) {
      next = pointAt(e);
      if (OffsetLine(c, next, position.outgoing, &lineB)) {
        haveB = true;
        break;
      }
      if (e >= count) break;
      ++e;
    }

    const size_t row = walk.Rows();
    walk.Emit(j);
    if (s == 0) walk.RowPosition(row).code = code;
    if (!haveB) {
      // Nothing usable up to the start: the rest keeps to the incoming line.
      for (size_t k = j + 1; k < count; ++k) walk.Emit(k);
      walk.Fill(row, Foot(c, lineA));
      break;
    }
    const bool corner = walk.PointAt(j).kind != kSplineKind && code != kMitreCode;
    CPoint x;
    const int meet = corner ? 1 : SolveLinear2(lineA.a, lineA.b, lineA.c, lineB.a, lineB.b, lineB.c, &x.x, &x.y);
    // The positions a corner needs beyond its own, shared by every size; a
    // spike of the outline (a mitre of opposite lines) needs one.
    const size_t needed = corner ? CornerPositions(code) - 1 : (meet == 0 ? 1 : 0);
    const size_t added = needed > have ? needed - have : 0;
    for (size_t n = 0; n < added; ++n) walk.EmitInserted(row);
    for (size_t k = j + 1; k < e; ++k) walk.Emit(k);

    if (corner) {
      Point& own = walk.RowPoint(row);
      if (own.kind == 1) own.kind = 2;
      if (own.kind == 3) own.kind = 0;
      for (size_t n = 1; n <= needed && row + n < walk.Rows(); ++n) walk.RowPoint(row + n).kind = own.kind;
      Corner k;
      k.c = c;
      k.prev = prev;
      k.next = next;
      k.a = lineA;
      k.b = lineB;
      k.incoming = position.incoming;
      k.outgoing = position.outgoing;
      k.further = position.further;
      WriteCorner(&walk, row, code, k);
    } else if (meet == 1) {
      walk.Fill(row, x);
    } else if (meet == 2) {
      walk.Fill(row, Foot(c, lineA));
    } else {
      // The outline turns back on itself: a square step from one line to
      // the other.
      walk.Fill(row, Foot(c, lineB));
      walk.RowPoint(row).p = Foot(c, lineA);
    }
    prev = c;
    j = e;
    if (j >= count) break;
    OffsetLine(prev, walk.PointAt(j).p, walk.PositionAt(j).incoming, &lineA);
  }
  walk.Finish(&positions_, &points_);
  return true;
}

void CutLineTables::MergeRepeats() {
  std::vector<Point>& first = points_[0];
  size_t kept = 0;
  while (kept < Count() && first[kept].kind == kDeletedKind) ++kept;
  for (size_t i = kept + 1; i < Count(); ++i) {
    if (first[i].kind == kDeletedKind) continue;
    bool same = true;
    for (const std::vector<Point>& points : points_) same = same && SamePoint(points[i].p, points[kept].p);
    if (!same) {
      kept = i;
      continue;
    }
    // The kept point takes over what the repeat said about the vertex.
    const uint32_t gone = first[i].kind;
    uint32_t& keep = first[kept].kind;
    if (keep == kSplineKind && gone != kSplineKind) {
      keep = gone;
    } else if (gone == 0) {
      keep = 0;
    } else if (gone == 2) {
      if (keep == 1) keep = 2;
      if (keep == 3) keep = 0;
    }
    first[i].kind = kDeletedKind;
  }
}

void CutLineTables::Compact() {
  size_t out = 0;
  for (size_t i = 0; i < Count(); ++i) {
    if (points_[0][i].kind == kDeletedKind) continue;
    positions_[out] = positions_[i];
    for (std::vector<Point>& points : points_) points[out] = points[i];
    ++out;
  }
  positions_.resize(out);
  for (std::vector<Point>& points : points_) points.resize(out);
}

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
  if (first[nearer].kind == 3) first[nearer].kind = 0;
  if (first[nearer].kind == 1) first[nearer].kind = 2;
}

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

  // Files segment m (from point m to the next) by its points as they are.
  void File(size_t m) {
    const size_t count = points_.size();
    ForEachCell(points_[m].p, points_[(m + 1) % count].p,
                [&](size_t cell) { cells_[cell].push_back(static_cast<uint32_t>(m)); });
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
bool IsFirstLoopSmaller(const std::vector<Point>& points, CPoint x, size_t from1, size_t to1, size_t from2,
                        size_t to2) {
  FanArea first(points, x, from1, to1);
  FanArea second(points, x, from2, to2);
  for (;;) {
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
        if (kind == 0 || kind == 2) DemoteNeighbour(i);
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
  // Moves the points `from` .. `to` (round the ring) to x and refiles the
  // segments that changed.
  auto collapse = [&](size_t from, size_t to, CPoint x) {
    for (size_t m = from % count, n = 0; n < count; m = (m + 1) % count, ++n) {
      if (!SamePoint(points[m].p, x)) {
        points[m].p = x;
        grid.File((m + count - 1) % count);
        grid.File(m);
      }
      if (m == to) break;
    }
  };
  std::vector<size_t> seen(count, 0);  // the segment i a candidate was last taken for, plus one
  std::vector<size_t> candidates;
  for (size_t i = 0; i + 1 < count; ++i) {
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
      const size_t o = order(m);
      if (o >= limit || seen[m] == i + 1) return;
      seen[m] = i + 1;
      candidates.push_back(o);
    });
    std::sort(candidates.begin(), candidates.end());
    for (size_t o : candidates) {
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
      if (!IsFirstLoopSmaller(points, x, (k + 1) % count, i, i + 1, k)) {
        collapse(i + 1, k, x);
        continue;
      }
      collapse(k + 1, i, x);
      // Every later segment for segment i now lies in the collapsed loop: a
      // point at the crossing, which meets segment i there. Its loop behind
      // has no area; the loop ahead, from segment i to it, collapses while
      // it has none either, and once it has some it keeps it.
      FanArea ahead(points, x, i + 1, k);
      while (!ahead.Done()) ahead.Step();
      double area = ahead.Sum();
      size_t last = k;
      for (size_t later = o + 1; later < limit && !(area > 0); ++later) {
        const size_t next = (first + later) % count;
        const CPoint triangle[4] = {x, points[last].p, points[next].p, x};
        area += PolygonAreaHeron(triangle, 4);
        last = next;
        if (!(area > 0)) collapse(i + 1, next, x);
      }
      break;
    }
  }
}

CPieceItem12* CutLineTables::MakeCutLine() const {
  if (Count() < 3) return nullptr;
  auto* cut = new CPieceItem12(nullptr, nullptr);
  for (size_t i = 0; i < Count(); ++i) {
    const Point& first = points_[0][i];
    if (first.kind >= static_cast<uint32_t>(kVertexKindCopy)) continue;
    cut->AddTailVertex(first.p.x, first.p.y, first.kind);
    for (size_t s = 1; s < points_.size(); ++s) cut->AddTailVertex(points_[s][i].p.x, points_[s][i].p.y, kVertexKindCopy);
  }
  if (cut->CountMainVertices() < 3) {
    delete cut;
    return nullptr;
  }
  return cut;
}

// Outline vertices nearer than 20 units to the one before them are one: the
// first stays, made a corner.
void MergeNearVertices(CPieceItem* outline) {
  CVertexNode* v = outline->VertexHead;
  if (v && !v->IsMain()) v = outline->NextMainVertex(v);
  if (!v || !v->IsMain()) return;
  for (int32_t guard = 2 * outline->VertexCount + 2; guard > 0 && outline->VertexHead; --guard) {
    CVertexNode* w = outline->NextMainVertex(v);
    if (w == v) return;
    if (std::llabs(static_cast<int64_t>(v->X) - w->X) < kNearDuplicate &&
        std::llabs(static_cast<int64_t>(v->Y) - w->Y) < kNearDuplicate) {
      const int kind = v->Kind();
      if (kind == 1) v->Flags = (v->Flags & ~0xFFu) | 2u;
      if (kind == 3) v->Flags = v->Flags & ~0xFFu;
      outline->RemoveGradedVertex(w);
      continue;
    }
    v = w;
    if (v == outline->VertexHead) return;
  }
}

}  // namespace

int CPieceRecord::RebuildDerivedItems(BOOL withCornerItems) {
  auto removeAll = [this](int32_t type) {
    CPieceItem* item = nullptr;
    while (FindItem(type, &item)) RemoveItem(item);
  };
  for (int32_t type : kRebuiltTypes) removeAll(type);
  if (withCornerItems) {
    for (int32_t type : kCornerDerivedTypes) removeAll(type);
  }

  CPieceItem* outline = nullptr;
  if (!FindItem(kItemTypeOutline, &outline)) return 0;
  // The first parameter node with a width decides on which side the cut
  // line runs.
  int params = 0;
  const CVertexNode* deciding = nullptr;
  CVertexNode* node = outline->VertexHead;
  for (int32_t i = 0; node && i < outline->VertexCount; ++i, node = node->Next) {
    if (node->Kind() != kVertexKindParameter) continue;
    ++params;
    if (!deciding && node->X != 0) deciding = node;
  }
  if (!deciding) {
    // No width anywhere: no cut line, and the parameter nodes go.
    node = outline->VertexHead;
    for (int32_t i = 0, count = outline->VertexCount; params > 0 && node && i < count; ++i) {
      if (node->Kind() == kVertexKindParameter) {
        node = outline->RemoveVertex(node);
        --params;
      } else {
        node = node->Next;
      }
    }
    return 1;
  }
  const int widthSign = LowHalf(deciding->X) >= 0 && HighHalf(deciding->X) >= 0 ? 1 : 0;

  std::unique_ptr<CPieceItem> clone(ClonePieceItem(outline));
  auto* working = dynamic_cast<CPieceCurveItem*>(clone.get());
  if (!working) return 0;
  MergeNearVertices(working);
  working->SmoothCurves();
  RemoveRepeatedParamNodes();

  CutLineTables tables(working);
  if (!tables.CollectPositions()) return 0;
  tables.SpreadWidths();
  // A size whose segments are all shorter than a tenth of a millimetre keeps
  // its outline points; the other sizes are offset all the same.
  for (int s = 0; s < g_Style.SizeCount; ++s) tables.OffsetSize(s);
  tables.MergeRepeats();
  tables.Compact();
  if (widthSign == 0) tables.RemoveNearOutline();
  for (int s = 0; s < g_Style.SizeCount; ++s) tables.CutLoops(s);
  tables.MergeRepeats();
  tables.Compact();

  CPieceItem12* cut = tables.MakeCutLine();
  if (!cut) return 0;
  AddItem(cut);
  cut->RemoveSpikes(widthSign);
  cut->SmoothCurves();
  if (withCornerItems) {
    BuildVShapeExtensions(widthSign);
    BuildType5Extensions(widthSign);
    BuildSegmentExtensions(widthSign);
    BuildCutLineNotches(widthSign);
  }
  return 1;
}
