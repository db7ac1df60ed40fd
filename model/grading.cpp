#include "model/grading.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "design/geometry/measure.h"
#include "model/geometry.h"
#include "model/graded_expansion.h"
#include "model/item_types.h"
#include "model/piece_item.h"
#include "model/style.h"
#include "model/vertex_node.h"

namespace {

// Bits 8 and 9 of a key vertex: how the runs that meet there are graded.
constexpr uint32_t kGradeModeMask = 0x300;
// The mode that keeps a run out of its chord's frame.
constexpr uint32_t kGradeModeKeepFrame = 0x100;
// A chord shorter than this on an axis (model units) is measured along the
// other axis.
constexpr double kShortChordExtent = 41.0;
// A chord this close to an axis direction (radians) is blended unturned.
constexpr double kAxisAngleTolerance = 0.01;

// The vertices a run passes over: the reader's curve vertices and the
// intermediate vertices of earlier grading.
bool IsCurveKind(int kind) {
  return kind == kVertexKindCurve || kind == kVertexKindCurveCorner || kind == kVertexKindGraded;
}

// Skip runs, fixed single nodes and parameter nodes keep their place.
bool IsMovedKind(int kind) {
  return kind != kVertexKindSkipRun && kind != kVertexKindFixedSingle && kind != kVertexKindFixedSingle2 &&
         kind != kVertexKindParameter;
}

uint32_t GradeMode(const CVertexNode* node) { return node->Flags & kGradeModeMask; }

CPoint PositionOf(const CVertexNode* node) { return CPoint(node->X, node->Y); }

void Place(CVertexNode* node, CPoint p) {
  node->X = p.x;
  node->Y = p.y;
}

// Coordinate sums and differences wrap in 32 bits, as the stored files were
// computed.
CPoint Plus(CPoint a, CPoint b) { return CPoint(WrapAdd(a.x, b.x), WrapAdd(a.y, b.y)); }
CPoint Minus(CPoint a, CPoint b) { return CPoint(WrapSub(a.x, b.x), WrapSub(a.y, b.y)); }

double Angle(CPoint from, CPoint to) { return VectorAngle(from.x, from.y, to.x, to.y); }

void TurnAbout(CVertexNode* node, CPoint pivot, double angle) {
  RotatePoint(node->X, node->Y, pivot.x, pivot.y, std::sin(angle), std::cos(angle), &node->X, &node->Y);
}

// |num / den|, and 0 where the chord has no extent to measure along.
double AxisRatio(double num, double den) { return den == 0 ? 0.0 : std::fabs(num / den); }

// The per-size rings of one run by position: nodes[k][j] is node j of size
// k's ring. Every ring is cut to the shortest, which for rings made by the
// expansion is every ring's length.
using RunNodes = std::vector<std::vector<CVertexNode*>>;

RunNodes CollectRunNodes(CVertexNode* const* sizeRings, int sizeCount) {
  RunNodes nodes(static_cast<size_t>(sizeCount));
  size_t common = 0;
  for (int k = 0; k < sizeCount; ++k) {
    std::vector<CVertexNode*>& ring = nodes[static_cast<size_t>(k)];
    if (CVertexNode* const head = sizeRings[k]) {
      CVertexNode* node = head;
      do {
        ring.push_back(node);
        node = node->Next;
      } while (node != head);
    }
    common = k == 0 ? ring.size() : std::min(common, ring.size());
  }
  for (std::vector<CVertexNode*>& ring : nodes) ring.resize(common);
  return nodes;
}

// The grading of one run's sizes 1 and up from the offsets of its anchor key
// vertex: the start (the rings' heads) or the end (their tails). The other
// key vertex is the run's fixed end in the turning, and its own offset is the
// blend's far value. Size 0 is read, and moved only for the time of the
// axis blend.
class RunGrader {
 public:
  RunGrader(const RunNodes& rings, const CPoint* offsets, int sizeCount, bool anchorAtEnd)
      : rings_(rings), base_(rings[0]), offsets_(offsets), sizeCount_(sizeCount), n_(base_.size()),
        anchor_(anchorAtEnd ? n_ - 1 : 0), other_(anchorAtEnd ? 0 : n_ - 1),
        closed_(PositionOf(base_.front()) == PositionOf(base_.back())) {}

  // A run whose two key vertices carry no grade mode turns and scales;
  // any other blends axis by axis.
  void Grade() {
    if (GradeMode(base_.front()) == 0 && GradeMode(base_.back()) == 0) {
      TurnAndScale();
    } else {
      AxisBlend();
    }
  }

 private:
  bool Moved(size_t j) const { return IsMovedKind(base_[j]->Kind()); }
  const std::vector<CVertexNode*>& Ring(int i) const { return rings_[static_cast<size_t>(i)]; }

  // Every moved node of size i at its size-0 place plus `by`.
  void Translate(int i, CPoint by) const {
    for (size_t j = 0; j < n_; ++j) {
      if (Moved(j)) Place(Ring(i)[j], Plus(PositionOf(base_[j]), by));
    }
  }

  // Turn and scale about the fixed end so that the anchor lands on its
  // graded place; a closed run moves whole.
  void TurnAndScale() const {
    for (int i = 1; i < sizeCount_; ++i) {
      const std::vector<CVertexNode*>& ring = Ring(i);
      if (closed_) {
        Translate(i, offsets_[i]);
        continue;
      }
      Translate(i, Minus(PositionOf(ring[other_]), PositionOf(base_[other_])));
      const CPoint fixed = PositionOf(ring[other_]);
      const CPoint target = Plus(PositionOf(base_[anchor_]), offsets_[i]);
      const double turn = Angle(fixed, target) - Angle(fixed, PositionOf(ring[anchor_]));
      const double from = Distance(fixed, PositionOf(ring[anchor_]));
      const double scale = from > 0 ? Distance(fixed, target) / from : 1.0;
      const double c = std::cos(turn);
      const double s = std::sin(turn);
      Place(ring[anchor_], target);
      for (size_t j = 1; j + 1 < n_; ++j) {
        if (!Moved(j)) continue;
        const double rx = static_cast<double>(ring[j]->X) - fixed.x;
        const double ry = static_cast<double>(ring[j]->Y) - fixed.y;
        Place(ring[j], Plus(fixed, CPoint(TruncateTowardZero((rx * c - ry * s) * scale),
                                          TruncateTowardZero((rx * s + ry * c) * scale))));
      }
    }
  }

  // Axis blend: the offset runs linearly from the anchor's to the other key
  // vertex's along the chord, measured in the chord's frame.
  void AxisBlend() {
    pivot_ = PositionOf(base_[anchor_]);
    angle_ = Angle(pivot_, PositionOf(base_[other_]));
    const uint32_t startMode = GradeMode(base_.front());
    const uint32_t endMode = GradeMode(base_.back());
    if (startMode == kGradeModeKeepFrame || (startMode == 0 && endMode == kGradeModeKeepFrame)) angle_ = 0;
    const double kAxisAngles[] = {0.0, kPi, kPi / 2, 3 * kPi / 2, 2 * kPi};
    turned_ = std::all_of(std::begin(kAxisAngles), std::end(kAxisAngles),
                          [this](double a) { return std::fabs(angle_ - a) > kAxisAngleTolerance; });
    if (turned_) IntoChordFrame();
    for (int i = 1; i < sizeCount_; ++i) BlendSize(i);
    if (turned_) OutOfChordFrame();
  }

  // Keeps every place, then turns size 0 (but the pivot) and the other key
  // vertex of every size into the chord's frame.
  void IntoChordFrame() {
    for (const std::vector<CVertexNode*>& ring : rings_) {
      std::vector<CPoint>& copy = kept_.emplace_back();
      for (const CVertexNode* node : ring) copy.push_back(PositionOf(node));
    }
    for (size_t j = 0; j < n_; ++j) {
      if (j != anchor_) TurnAbout(base_[j], pivot_, -angle_);
    }
    for (int i = 1; i < sizeCount_; ++i) TurnAbout(Ring(i)[other_], pivot_, -angle_);
  }

  // Size i's run: moved with its other key vertex, the anchor on its offset,
  // and the nodes between blended along the chord. A short chord on one axis
  // is measured along the other.
  void BlendSize(int i) const {
    const std::vector<CVertexNode*>& ring = Ring(i);
    const CPoint far = PositionOf(base_[other_]);
    const double extentX = static_cast<double>(far.x) - pivot_.x;
    const double extentY = static_cast<double>(far.y) - pivot_.y;
    double dx = offsets_[i].x;
    double dy = offsets_[i].y;
    if (turned_) {
      CPoint t;
      const CPoint shifted = Plus(pivot_, offsets_[i]);
      RotatePoint(shifted.x, shifted.y, pivot_.x, pivot_.y, std::sin(-angle_), std::cos(-angle_), &t.x, &t.y);
      dx = WrapSub(t.x, pivot_.x);
      dy = WrapSub(t.y, pivot_.y);
    }
    if (closed_) {
      Translate(i, offsets_[i]);
      return;
    }
    const CPoint e = Minus(PositionOf(ring[other_]), PositionOf(base_[other_]));
    Translate(i, e);
    Place(ring[anchor_], Plus(pivot_, CPoint(RoundToInt(dx), RoundToInt(dy))));
    for (size_t j = 1; j + 1 < n_; ++j) {
      if (!Moved(j)) continue;
      const double bx = static_cast<double>(base_[j]->X) - pivot_.x;
      const double by = static_cast<double>(base_[j]->Y) - pivot_.y;
      const double ratioX = std::fabs(extentX) < kShortChordExtent ? AxisRatio(by, extentY) : AxisRatio(bx, extentX);
      const double ratioY = std::fabs(extentY) < kShortChordExtent ? AxisRatio(bx, extentX) : AxisRatio(by, extentY);
      ring[j]->X = TruncateTowardZero(ratioX * (e.x - dx) + base_[j]->X + dx);
      ring[j]->Y = TruncateTowardZero(ratioY * (e.y - dy) + base_[j]->Y + dy);
    }
  }

  // Back out of the chord's frame. Only the nodes computed in the frame turn
  // back: a skip run's copies were never turned and keep their places.
  void OutOfChordFrame() const {
    for (int i = 1; i < sizeCount_; ++i) {
      for (size_t j = 0; j < n_; ++j) {
        if (j != anchor_ && Moved(j)) TurnAbout(Ring(i)[j], pivot_, angle_);
      }
    }
    for (size_t j = 0; j < n_; ++j) Place(base_[j], kept_[0][j]);
    for (int i = 1; i < sizeCount_; ++i) {
      Place(Ring(i)[anchor_], Plus(pivot_, offsets_[i]));
      Place(Ring(i)[other_], kept_[static_cast<size_t>(i)][other_]);
    }
  }

  const RunNodes& rings_;
  const std::vector<CVertexNode*>& base_;
  const CPoint* offsets_;
  int sizeCount_;
  size_t n_;
  size_t anchor_;
  size_t other_;
  bool closed_;
  // The axis blend's chord frame: turned about the pivot (the anchor's
  // size-0 place) by -angle_, when turned_; the places kept meanwhile.
  CPoint pivot_;
  double angle_ = 0;
  bool turned_ = false;
  std::vector<std::vector<CPoint>> kept_;
};

// Grades the sizes 1 and up of one run from the offsets of its anchor key
// vertex (RunGrader).
void GradeRun(CVertexNode* const* sizeRings, const CPoint* offsets, bool anchorAtEnd) {
  const int sizeCount = g_Style.SizeCount;
  if (!sizeRings || !offsets || sizeCount <= 0) return;
  const RunNodes rings = CollectRunNodes(sizeRings, sizeCount);
  if (rings[0].size() <= 1) return;
  RunGrader(rings, offsets, sizeCount, anchorAtEnd).Grade();
}

// Offsets of the rings' heads (or tails): entry 0 the size-0 position, entry
// i size i's position minus entry 0.
void TakeOffsets(const CPerSizeRings& rings, std::vector<CPoint>* offsets, bool atTail) {
  auto at = [&rings, atTail](int k) {
    const CVertexNode* head = rings.Head(k);
    return PositionOf(atTail ? head->Prev : head);
  };
  const int sizeCount = std::min(rings.SizeCount(), static_cast<int>(offsets->size()));
  if (sizeCount <= 0 || !rings.Head(0)) return;
  (*offsets)[0] = at(0);
  for (int k = 1; k < sizeCount; ++k) (*offsets)[static_cast<size_t>(k)] = Minus(at(k), (*offsets)[0]);
}

// One pass over a run: expand, grade from one key vertex, write back.
void GradeRunPass(CPieceItem* item, CVertexNode* start, CVertexNode* end, bool fromEnd) {
  CPerSizeRings rings;
  if (ExpandRunPerSize(rings.Heads(), item, start, end) == 0) return;
  std::vector<CPoint> offsets(static_cast<size_t>(rings.SizeCount()));
  TakeOffsets(rings, &offsets, fromEnd);
  GradeRun(rings.Heads(), offsets.data(), fromEnd);
  WriteBackRunPerSize(rings.Heads(), item, start);
}

// Every size takes the first size's shape: each main vertex (and
// intermediate vertex) is copied into the nodes of its group.
void CopyFirstSizeToAll(CPieceItem* item) {
  const int sizeCount = g_Style.SizeCount;
  CVertexNode* node = item->NextMainVertex(item->VertexHead);
  for (int32_t i = 0; i < item->VertexCount; ++i, node = node->Next) {
    if (!node->IsMain() && node->Kind() != kVertexKindGraded) continue;
    CVertexNode* copy = node->Next;
    for (int k = 1; k < sizeCount; ++k, copy = copy->Next) Place(copy, PositionOf(node));
  }
}

}  // namespace

BOOL FindCurveRun(CVertexNode* from, CVertexNode** start, CVertexNode** end) {
  if (!from) return FALSE;
  CVertexNode* key = from;
  while (!IsKeyVertexKind(key->Kind()) && key->Next != from) key = key->Next;
  if (!IsKeyVertexKind(key->Kind())) return FALSE;
  CVertexNode* runStart = key;
  CVertexNode* curve = key->Next;
  for (; curve != key; curve = curve->Next) {
    if (IsKeyVertexKind(curve->Kind())) {
      runStart = curve;
    } else if (IsCurveKind(curve->Kind())) {
      break;
    }
  }
  if (curve == key) return FALSE;
  CVertexNode* runEnd = curve->Next;
  while (runEnd != runStart && !IsKeyVertexKind(runEnd->Kind())) runEnd = runEnd->Next;
  if (start) *start = runStart;
  if (end) *end = runEnd;
  return TRUE;
}

void GradeRunByStartOffset(CVertexNode* const* sizeRings, const CPoint* offsets) {
  GradeRun(sizeRings, offsets, false);
}

void GradeRunByEndOffset(CVertexNode* const* sizeRings, const CPoint* offsets) {
  GradeRun(sizeRings, offsets, true);
}

void GradePiece(CPieceItem* item) {
  if (!item || !IsGradedType(item->Type) || !item->VertexHead || item->VertexCount <= 0) return;
  if (g_Style.SizeCount <= 0) return;
  CVertexNode* start = nullptr;
  CVertexNode* end = nullptr;
  if (!FindCurveRun(item->VertexHead, &start, &end)) {
    if (!IsKeyVertexKind(item->NextMainVertex(item->VertexHead)->Kind())) CopyFirstSizeToAll(item);
    return;
  }
  CVertexNode* const firstStart = start;
  // Every run starts at a different key vertex, so the ring's node count
  // bounds the number of runs.
  for (int32_t runs = 0; runs < item->VertexCount; ++runs) {
    GradeRunPass(item, start, end, false);
    if (GradeMode(end) != 0) GradeRunPass(item, start, end, true);
    if (!FindCurveRun(end, &start, &end) || start == firstStart) break;
  }
}

void GradeFirstCurveRun(CPieceItem* item) {
  if (!item || !item->VertexHead || item->VertexCount <= 0) return;
  CVertexNode* const start = item->VertexHead;
  CVertexNode* const end = item->NextMainVertex(item->NextMainVertex(start));
  GradeRunPass(item, start, end, false);
}
