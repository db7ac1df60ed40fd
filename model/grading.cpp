#include "model/grading.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "model/geometry.h"
#include "model/graded_expansion.h"
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
constexpr double kPi = 3.14159265359;

bool IsKeyKind(int kind) { return kind == 0 || kind == 3; }
bool IsCurveKind(int kind) { return kind == 1 || kind == 2 || kind == kVertexKindGraded; }

// Skip runs, fixed single nodes and parameter nodes keep their place.
bool IsMovedKind(int kind) {
  return kind != kVertexKindSkipRun && kind != kVertexKindFixedSingle && kind != kVertexKindFixedSingle2 &&
         kind != kVertexKindParameter;
}

bool IsGradedItemType(int32_t type) { return type == 0 || type == 8 || type == 9 || type == 14 || type == 15; }

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

double Distance(CPoint a, CPoint b) {
  return std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
}

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

// Grades the sizes 1 and up of one run from the offsets of its anchor key
// vertex: the start (the rings' heads) or the end (their tails). The other
// key vertex is the run's fixed end in the turning, and its own offset is the
// blend's far value.
void GradeRun(CVertexNode* const* sizeRings, const CPoint* offsets, bool anchorAtEnd) {
  const int sizeCount = g_Style.SizeCount;
  if (!sizeRings || !offsets || sizeCount <= 0) return;
  const RunNodes rings = CollectRunNodes(sizeRings, sizeCount);
  const std::vector<CVertexNode*>& base = rings[0];
  const size_t n = base.size();
  if (n <= 1) return;
  const size_t anchor = anchorAtEnd ? n - 1 : 0;
  const size_t other = anchorAtEnd ? 0 : n - 1;
  CVertexNode* const s0 = base.front();
  CVertexNode* const e0 = base.back();
  const bool closed = PositionOf(s0) == PositionOf(e0);
  auto moved = [&base](size_t j) { return IsMovedKind(base[j]->Kind()); };
  // Every moved node of size i at its size-0 place plus `by`.
  auto translate = [&](size_t i, CPoint by) {
    for (size_t j = 0; j < n; ++j) {
      if (moved(j)) Place(rings[i][j], Plus(PositionOf(base[j]), by));
    }
  };

  if (GradeMode(s0) == 0 && GradeMode(e0) == 0) {
    // Turn and scale about the fixed end so that the anchor lands on its
    // graded place.
    for (int i = 1; i < sizeCount; ++i) {
      const std::vector<CVertexNode*>& ring = rings[static_cast<size_t>(i)];
      if (closed) {
        translate(static_cast<size_t>(i), offsets[i]);
        continue;
      }
      translate(static_cast<size_t>(i), Minus(PositionOf(ring[other]), PositionOf(base[other])));
      const CPoint fixed = PositionOf(ring[other]);
      const CPoint target = Plus(PositionOf(base[anchor]), offsets[i]);
      const double turn = Angle(fixed, target) - Angle(fixed, PositionOf(ring[anchor]));
      const double from = Distance(fixed, PositionOf(ring[anchor]));
      const double scale = from > 0 ? Distance(fixed, target) / from : 1.0;
      const double c = std::cos(turn);
      const double s = std::sin(turn);
      Place(ring[anchor], target);
      for (size_t j = 1; j + 1 < n; ++j) {
        if (!moved(j)) continue;
        const double rx = static_cast<double>(ring[j]->X) - fixed.x;
        const double ry = static_cast<double>(ring[j]->Y) - fixed.y;
        Place(ring[j], Plus(fixed, CPoint(TruncateTowardZero((rx * c - ry * s) * scale),
                                          TruncateTowardZero((rx * s + ry * c) * scale))));
      }
    }
    return;
  }

  // Axis blend: the offset runs linearly from the anchor's to the other key
  // vertex's along the chord, measured in the chord's frame.
  const CPoint pivot = PositionOf(base[anchor]);
  double angle = Angle(pivot, PositionOf(base[other]));
  if (GradeMode(s0) == kGradeModeKeepFrame || (GradeMode(s0) == 0 && GradeMode(e0) == kGradeModeKeepFrame)) {
    angle = 0;
  }
  const double kAxisAngles[] = {0.0, kPi, kPi / 2, 3 * kPi / 2, 2 * kPi};
  const bool turned = std::all_of(std::begin(kAxisAngles), std::end(kAxisAngles),
                                  [angle](double a) { return std::fabs(angle - a) > kAxisAngleTolerance; });
  std::vector<std::vector<CPoint>> kept;
  if (turned) {
    for (const std::vector<CVertexNode*>& ring : rings) {
      std::vector<CPoint>& copy = kept.emplace_back();
      for (const CVertexNode* node : ring) copy.push_back(PositionOf(node));
    }
    for (size_t j = 0; j < n; ++j) {
      if (j != anchor) TurnAbout(base[j], pivot, -angle);
    }
    for (int i = 1; i < sizeCount; ++i) TurnAbout(rings[static_cast<size_t>(i)][other], pivot, -angle);
  }
  const CPoint far = PositionOf(base[other]);
  const double extentX = static_cast<double>(far.x) - pivot.x;
  const double extentY = static_cast<double>(far.y) - pivot.y;
  for (int i = 1; i < sizeCount; ++i) {
    const std::vector<CVertexNode*>& ring = rings[static_cast<size_t>(i)];
    double dx = offsets[i].x;
    double dy = offsets[i].y;
    if (turned) {
      CPoint t;
      const CPoint shifted = Plus(pivot, offsets[i]);
      RotatePoint(shifted.x, shifted.y, pivot.x, pivot.y, std::sin(-angle), std::cos(-angle), &t.x, &t.y);
      dx = WrapSub(t.x, pivot.x);
      dy = WrapSub(t.y, pivot.y);
    }
    if (closed) {
      translate(static_cast<size_t>(i), offsets[i]);
      continue;
    }
    const CPoint e = Minus(PositionOf(ring[other]), PositionOf(base[other]));
    translate(static_cast<size_t>(i), e);
    Place(ring[anchor], Plus(pivot, CPoint(RoundToInt(dx), RoundToInt(dy))));
    for (size_t j = 1; j + 1 < n; ++j) {
      if (!moved(j)) continue;
      const double bx = static_cast<double>(base[j]->X) - pivot.x;
      const double by = static_cast<double>(base[j]->Y) - pivot.y;
      const double ratioX = std::fabs(extentX) < kShortChordExtent ? AxisRatio(by, extentY) : AxisRatio(bx, extentX);
      const double ratioY = std::fabs(extentY) < kShortChordExtent ? AxisRatio(bx, extentX) : AxisRatio(by, extentY);
      ring[j]->X = TruncateTowardZero(ratioX * (e.x - dx) + base[j]->X + dx);
      ring[j]->Y = TruncateTowardZero(ratioY * (e.y - dy) + base[j]->Y + dy);
    }
  }
  if (!turned) return;
  // Back out of the chord's frame. Only the nodes computed in the frame turn
  // back: a skip run's copies were never turned and keep their places.
  for (int i = 1; i < sizeCount; ++i) {
    const std::vector<CVertexNode*>& ring = rings[static_cast<size_t>(i)];
    for (size_t j = 0; j < n; ++j) {
      if (j != anchor && moved(j)) TurnAbout(ring[j], pivot, angle);
    }
  }
  for (size_t j = 0; j < n; ++j) Place(base[j], kept[0][j]);
  for (int i = 1; i < sizeCount; ++i) {
    const std::vector<CVertexNode*>& ring = rings[static_cast<size_t>(i)];
    Place(ring[anchor], Plus(pivot, offsets[i]));
    Place(ring[other], kept[static_cast<size_t>(i)][other]);
  }
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
  while (!IsKeyKind(key->Kind()) && key->Next != from) key = key->Next;
  if (!IsKeyKind(key->Kind())) return FALSE;
  CVertexNode* runStart = key;
  CVertexNode* curve = key->Next;
  for (; curve != key; curve = curve->Next) {
    if (IsKeyKind(curve->Kind())) {
      runStart = curve;
    } else if (IsCurveKind(curve->Kind())) {
      break;
    }
  }
  if (curve == key) return FALSE;
  CVertexNode* runEnd = curve->Next;
  while (runEnd != runStart && !IsKeyKind(runEnd->Kind())) runEnd = runEnd->Next;
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
  if (!item || !IsGradedItemType(item->Type) || !item->VertexHead || item->VertexCount <= 0) return;
  if (g_Style.SizeCount <= 0) return;
  CVertexNode* start = nullptr;
  CVertexNode* end = nullptr;
  if (!FindCurveRun(item->VertexHead, &start, &end)) {
    if (!IsKeyKind(item->NextMainVertex(item->VertexHead)->Kind())) CopyFirstSizeToAll(item);
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
