// Filling the cut-line tables: the positions collected from the outline in
// every size, the widths spread along it, each size offset corner by corner,
// repeats merged and the result made into the cut-line item.
#include "model/cut_line_tables.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>

#include "model/cut_line_corners.h"
#include "model/items/cut_line_item.h"
#include "model/items/curve_item.h"
#include "model/style.h"

namespace cut_line {
namespace {

// A corner whose edges turn by 165 to 195 degrees is straight.
constexpr double kStraightLow = 165.0;
constexpr double kStraightHigh = 195.0;
// Some corner points are left out at corners sharper than a right angle.
constexpr double kDropAngle = 90.0;
// The corner codes up to this one keep the code the outline gives them.
constexpr uint32_t kHighestFixedCode = 5;

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
  // The walk's k-th point, the start's again once the walk is round.
  CPoint PointOrStart(size_t k) const { return k >= count_ ? in_[start_].p : PointAt(k).p; }
  size_t Count() const { return count_; }
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

// The first size settles the corner code of the walk's j-th position (C,
// after `prev`): a straight stretch where the width changes steps square; a
// reflex corner takes the plain mitre.
uint32_t SettledCode(const OffsetWalk& walk, size_t j, uint32_t code, CPoint prev) {
  const CPoint c = walk.PointAt(j).p;
  const Position& position = walk.PositionAt(j);
  CPoint next = c;
  for (size_t e = j + 1; e <= walk.Count(); ++e) {
    next = walk.PointOrStart(e);
    if (!SamePoint(next, c)) break;
  }
  const double angle = CornerAngle(c, prev, next);
  if (angle >= kStraightLow && angle <= kStraightHigh && position.incoming != position.outgoing) {
    return kSquareStepCode;
  }
  if (angle > 180.0) return kMitreCode;
  return code;
}

// The outgoing cut line from C at `width`: the line beside the first usable
// segment from C to the walk's point *e or a later one (up to the start
// again). True with the line, *e moved to that point and *next its place;
// false when no segment up to the start is usable.
bool OutgoingLine(const OffsetWalk& walk, CPoint c, int32_t width, size_t* e, Line* lineB, CPoint* next) {
  for (;;) {
    *next = walk.PointOrStart(*e);
    if (OffsetLine(c, *next, width, lineB)) return true;
    if (*e >= walk.Count()) return false;
    ++*e;
  }
}

// Writes the cut-line rows of the walk's j-th position, made at `row`, and
// copies over the positions it skips up to `e`. A corner (a vertex with a
// code other than the mitre) gets its construction and the positions it
// needs beyond its own, shared by every size; elsewhere the point goes where
// the incoming and outgoing cut lines meet, and a spike of the outline (a
// mitre of opposite lines) needs one more position.
void PlaceStep(OffsetWalk* walk, size_t j, size_t e, size_t row, size_t have, uint32_t code, const Corner& k) {
  const bool corner = walk->PointAt(j).kind != kSplineKind && code != kMitreCode;
  CPoint x;
  const int meet = corner ? 1 : SolveLinear2(k.a.a, k.a.b, k.a.c, k.b.a, k.b.b, k.b.c, &x.x, &x.y);
  const size_t needed = corner ? CornerPositions(code) - 1 : (meet == 0 ? 1 : 0);
  const size_t added = needed > have ? needed - have : 0;
  for (size_t n = 0; n < added; ++n) walk->EmitInserted(row);
  for (size_t m = j + 1; m < e; ++m) walk->Emit(m);

  if (corner) {
    Point& own = walk->RowPoint(row);
    if (own.kind == kVertexKindCurve) own.kind = kVertexKindCurveCorner;
    if (own.kind == kVertexKindKeySmooth) own.kind = kVertexKindKeyCorner;
    for (size_t n = 1; n <= needed && row + n < walk->Rows(); ++n) walk->RowPoint(row + n).kind = own.kind;
    WriteCorner(walk, row, code, k);
  } else if (meet == 1) {
    walk->Fill(row, x);
  } else if (meet == 2) {
    walk->Fill(row, Foot(k.c, k.a));
  } else {
    // The outline turns back on itself: a square step from one line to
    // the other.
    walk->Fill(row, Foot(k.c, k.b));
    walk->RowPoint(row).p = Foot(k.c, k.a);
  }
}

}  // namespace

CutLineTables::CutLineTables(CPieceCurveItem* outline) : outline_(outline), sizes_(g_Style.SizeCount) {}

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

size_t CutLineTables::WalkStart(int s, Line* lineA, CPoint* before) const {
  const std::vector<Point>& points = points_[static_cast<size_t>(s)];
  const size_t count = Count();
  for (size_t k = 0; k < count; ++k) {
    const size_t from = k == 0 ? count - 1 : k - 1;
    if (OffsetLine(points[from].p, points[k].p, positions_[0].incoming, lineA)) {
      *before = points[from].p;
      return k;
    }
  }
  return count;
}

bool CutLineTables::OffsetSize(int s) {
  const size_t count = Count();
  Line lineA;
  CPoint before;
  const size_t start = WalkStart(s, &lineA, &before);
  if (start == count) return false;

  OffsetWalk walk(positions_, points_, static_cast<size_t>(s), start);
  CPoint prev = before;
  size_t j = 0;  // walk order
  while (j < count) {
    const CPoint c = walk.PointAt(j).p;
    const Position& position = walk.PositionAt(j);
    uint32_t code = position.code;
    if (code > kHighestCornerCode) code = kMitreCode;
    if (s == 0 && code > kHighestFixedCode) code = SettledCode(walk, j, code, prev);

    const size_t have = walk.InsertedAfter(j);
    size_t e = j + 1 + have;
    Line lineB;
    CPoint next;
    const bool haveB = OutgoingLine(walk, c, position.outgoing, &e, &lineB, &next);

    const size_t row = walk.Rows();
    walk.Emit(j);
    if (s == 0) walk.RowPosition(row).code = code;
    if (!haveB) {
      // Nothing usable up to the start: the rest keeps to the incoming line.
      for (size_t k = j + 1; k < count; ++k) walk.Emit(k);
      walk.Fill(row, Foot(c, lineA));
      break;
    }
    Corner corner;
    corner.c = c;
    corner.prev = prev;
    corner.next = next;
    corner.a = lineA;
    corner.b = lineB;
    corner.incoming = position.incoming;
    corner.outgoing = position.outgoing;
    corner.further = position.further;
    PlaceStep(&walk, j, e, row, have, code, corner);
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
    } else if (gone == kVertexKindKeyCorner) {
      keep = kVertexKindKeyCorner;
    } else if (gone == kVertexKindCurveCorner) {
      if (keep == kVertexKindCurve) keep = kVertexKindCurveCorner;
      if (keep == kVertexKindKeySmooth) keep = kVertexKindKeyCorner;
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

std::unique_ptr<CPieceItem12> CutLineTables::MakeCutLine() const {
  if (Count() < 3) return nullptr;
  auto cut = std::make_unique<CPieceItem12>(nullptr, nullptr);
  for (size_t i = 0; i < Count(); ++i) {
    const Point& first = points_[0][i];
    if (first.kind >= static_cast<uint32_t>(kVertexKindCopy)) continue;
    cut->AddTailVertex(first.p.x, first.p.y, first.kind);
    for (size_t s = 1; s < points_.size(); ++s) cut->AddTailVertex(points_[s][i].p.x, points_[s][i].p.y, kVertexKindCopy);
  }
  if (cut->CountMainVertices() < 3) return nullptr;
  return cut;
}

}  // namespace cut_line
