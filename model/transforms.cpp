// Whole-piece transforms: move, turn and mirror every item of a piece, keep
// its closed rings counter-clockwise, and measure its signed area.
//
// How an item's points are stored decides how it is transformed:
//   vertex ring       0, 2-10, 12-25: graded runs, skip runs and single nodes
//   plain ring        1 (grain line), 28 (dimension): every node
//   text              11: the anchor and the angle
//   ring + extra      26 (marked line): every node, then its marked node
//   single point      27 (cross marker): the head node
// Item 29 (the quadrilateral frame) is not moved by any of them.
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "model/geometry.h"
#include "model/item_factory.h"
#include "model/items/curve_item.h"
#include "model/items/marked_line_item.h"
#include "model/items/text_item.h"
#include "model/item_types.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "design/geometry/measure.h"

namespace {

constexpr int32_t kTenthsPerTurn = 3600;

enum class Treatment { kVertexRing, kPlainRing, kText, kRingAndExtra, kSinglePoint, kNone };

Treatment TreatmentOf(int32_t type) {
  if (IsKindWalkedType(type)) return Treatment::kVertexRing;
  switch (type) {
    case kItemTypeGrainLine:
    case kItemTypeDimension:
      return Treatment::kPlainRing;
    case kItemTypeText:
      return Treatment::kText;
    case kItemTypeMarkedLine:
      return Treatment::kRingAndExtra;
    case kItemTypeCrossMarker:
      return Treatment::kSinglePoint;
    default:
      return Treatment::kNone;
  }
}

// A point transform: changes (x, y) in place.
using PointFn = std::function<void(int32_t& x, int32_t& y)>;

// Notch directions 1/2 and 4/5 (flags byte 1) change places; 3 and any other
// value stay.
void SwapNotchDirection(CVertexNode* node) {
  const uint32_t direction = (node->Flags >> 8) & 0xFF;
  uint32_t swapped = direction;
  switch (direction) {
    case 1: swapped = 2; break;
    case 2: swapped = 1; break;
    case 4: swapped = 5; break;
    case 5: swapped = 4; break;
    default: break;
  }
  node->Flags = (node->Flags & ~0xFF00u) | (swapped << 8);
}

bool MovesSingles(int size) { return size == -1 || size == 0; }

// Walks a vertex ring by its kinds: kinds 0-5 and 100 open a graded run of
// NUMBER OF SIZES nodes (node i is size i), 101 a skip run of as many nodes
// that stays, 104 is a single node; every other node is passed over. The walk
// never takes more nodes than the ring holds.
void TransformVertexRing(CPieceItem* item, int size, const PointFn& move, bool swapNotches) {
  const int32_t runLength = g_Style.SizeCount > 0 ? g_Style.SizeCount : 1;
  CVertexNode* node = item->VertexHead;
  int32_t remaining = item->VertexCount;
  while (node && remaining > 0) {
    const int kind = node->Kind();
    if (kind <= 5 || kind == kVertexKindGraded || kind == kVertexKindSkipRun) {
      const bool moved = kind != kVertexKindSkipRun;
      for (int32_t i = 0; i < runLength && remaining > 0; ++i, --remaining, node = node->Next) {
        if (moved && (size == -1 || size == i)) move(node->X, node->Y);
      }
      continue;
    }
    if (kind == kVertexKindMovedSingle && MovesSingles(size)) {
      move(node->X, node->Y);
      if (swapNotches) SwapNotchDirection(node);
    }
    node = node->Next;
    --remaining;
  }
}

void TransformPlainRing(CPieceItem* item, const PointFn& move) {
  CVertexNode* node = item->VertexHead;
  for (int32_t i = 0; node && i < item->VertexCount; ++i, node = node->Next) move(node->X, node->Y);
}

// Keeps a text angle in 0 .. 3600 tenths of a degree: a negative angle gets
// 3600 added until it is not negative, one above 3600 loses 3600 until it is
// not above it (so 3600 itself stays).
int32_t NormalizeTextAngle(int64_t angle) {
  if (angle < 0) {
    angle %= kTenthsPerTurn;
    if (angle < 0) angle += kTenthsPerTurn;
  } else if (angle > kTenthsPerTurn) {
    angle -= kTenthsPerTurn * ((angle - 1) / kTenthsPerTurn);
  }
  return static_cast<int32_t>(angle);
}

// Both angle words of a text always change together.
void SetTextAngle(CPieceItem11* text, int64_t angle) {
  const int32_t normalized = NormalizeTextAngle(angle);
  text->Font.lfEscapement = normalized;
  text->Font.lfOrientation = normalized;
}

// Which items a transform reaches, beyond the size rule.
struct Reach {
  bool vertexRings = true;
  bool derivedRings = true;  // the corner-derived types (21-25) of the vertex-ring treatment
  bool plainRings = true;
  bool text = true;
};

// Applies `move` to every point of the piece that `reach` and the size rule
// select; `textAngle` (may be empty) gives a text its new angle from its old.
void TransformPiece(CPieceRecord* piece, int size, const Reach& reach, const PointFn& move, bool swapNotches,
                    const std::function<int64_t(int32_t)>& textAngle) {
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; item && i < piece->ItemCount; ++i, item = item->Next) {
    switch (TreatmentOf(item->Type)) {
      case Treatment::kVertexRing:
        if (!reach.vertexRings) break;
        if (IsCornerDerivedType(item->Type) && !reach.derivedRings) break;
        TransformVertexRing(item, size, move, swapNotches);
        break;
      case Treatment::kPlainRing:
        if (reach.plainRings && MovesSingles(size)) TransformPlainRing(item, move);
        break;
      case Treatment::kText:
        if (reach.text && MovesSingles(size)) {
          if (auto* text = dynamic_cast<CPieceItem11*>(item)) {
            move(text->AnchorX, text->AnchorY);
            if (textAngle) SetTextAngle(text, textAngle(text->Font.lfEscapement));
          }
        }
        break;
      case Treatment::kRingAndExtra:
        if (MovesSingles(size)) {
          TransformPlainRing(item, move);
          if (auto* marked = dynamic_cast<CPieceItem26*>(item)) {
            if (marked->MarkedNode) move(marked->MarkedNode->X, marked->MarkedNode->Y);
          }
        }
        break;
      case Treatment::kSinglePoint:
        if (MovesSingles(size) && item->VertexHead) move(item->VertexHead->X, item->VertexHead->Y);
        break;
      case Treatment::kNone:
        break;
    }
  }
}

// Whether a closed ring runs clockwise, judged at its lowest vertex V (the
// first main vertex with the smallest y): the ring is turned round when the
// direction to the vertex before V is nearer to +x than the direction to the
// vertex after it. Neighbours on V's own position are passed over.
bool RunsClockwise(const CPieceItem* item) {
  CVertexNode* lowest = nullptr;
  CVertexNode* node = item->VertexHead;
  for (int32_t i = 0; node && i < item->VertexCount; ++i, node = node->Next) {
    if (node->IsMain() && (!lowest || node->Y < lowest->Y)) lowest = node;
  }
  if (!lowest) return false;
  auto distinctNeighbour = [&](bool forward) {
    CVertexNode* n = forward ? item->NextMainVertex(lowest) : item->PrevMainVertex(lowest);
    for (int32_t i = 0; i < item->VertexCount && n != lowest && n->X == lowest->X && n->Y == lowest->Y; ++i) {
      n = forward ? item->NextMainVertex(n) : item->PrevMainVertex(n);
    }
    return n;
  };
  const CVertexNode* prev = distinctNeighbour(false);
  const CVertexNode* next = distinctNeighbour(true);
  const double aPrev = std::fabs(std::atan2(static_cast<double>(prev->Y) - lowest->Y,
                                            static_cast<double>(prev->X) - lowest->X));
  const double aNext = std::fabs(std::atan2(static_cast<double>(next->Y) - lowest->Y,
                                            static_cast<double>(next->X) - lowest->X));
  return aPrev < aNext;
}

// Reverses the order of the vertex runs of a ring (a main vertex with the
// copies, graded points and parameter node that follow it), keeping the
// head's run first. Nodes before the first main vertex of a damaged ring stay
// with the head's run.
void ReverseRuns(CPieceItem* item) {
  if (!item->VertexHead || item->VertexCount < 2) return;
  std::vector<std::vector<CVertexNode*>> runs;
  CVertexNode* node = item->VertexHead;
  for (int32_t i = 0; i < item->VertexCount; ++i, node = node->Next) {
    if (runs.empty() || (node->IsMain() && i > 0)) runs.emplace_back();
    runs.back().push_back(node);
  }
  if (runs.size() < 3) return;  // head and one other run: already as reversed
  std::vector<CVertexNode*> order(runs.front());
  for (size_t r = runs.size() - 1; r >= 1; --r) order.insert(order.end(), runs[r].begin(), runs[r].end());
  const size_t n = order.size();
  for (size_t i = 0; i < n; ++i) {
    order[i]->Next = order[(i + 1) % n];
    order[(i + 1) % n]->Prev = order[i];
  }
  item->VertexHead = order.front();
}

// A corner code after the ring it stands in was reversed: the codes that
// describe one side of the corner take their mirror-side counterpart.
uint32_t ReversedCornerCode(uint32_t code) {
  switch (code) {
    case 0: case 1: case 2: return code + 3;
    case 3: case 4: case 5: return code - 3;
    case 7: return 8;
    case 8: return 7;
    case 9: return 10;
    case 10: return 9;
    case 13: case 16: case 20: return code + 1;
    case 14: case 17: case 21: return code - 1;
    default: return code;
  }
}

// Turns the corner parameters of a reversed outline or contour round: new
// corner codes, and the two widths exchanged (the leaving edge is now the
// arriving one). A flat native file stores each width pair with the vertex
// before, so while one is read each parameter node takes the whole x word of
// the parameter node after it in the new order instead.
void TurnCornerParams(CPieceItem* item) {
  std::vector<CVertexNode*> params;
  CVertexNode* node = item->VertexHead;
  for (int32_t i = 0; node && i < item->VertexCount; ++i, node = node->Next) {
    if (node->Kind() == kVertexKindParameter) params.push_back(node);
  }
  if (params.empty()) return;
  for (CVertexNode* param : params) {
    const uint32_t y = static_cast<uint32_t>(param->Y);
    const uint32_t code = ReversedCornerCode(y & 0xFFFF) & 0xFFFF;
    param->Y = static_cast<int32_t>((y & 0xFFFF0000u) | code);
  }
  if (GetWorkWindowLoadMode() == kLoadModeFlatNative) {
    std::vector<int32_t> words;
    for (CVertexNode* param : params) words.push_back(param->X);
    for (size_t i = 0; i < params.size(); ++i) params[i]->X = words[(i + 1) % params.size()];
  } else {
    for (CVertexNode* param : params) {
      const uint32_t x = static_cast<uint32_t>(param->X);
      param->X = static_cast<int32_t>((x << 16) | (x >> 16));
    }
  }
}

}  // namespace

void CPieceRecord::Move(int dx, int dy, int size) {
  Reach reach;
  reach.derivedRings = false;
  TransformPiece(this, size, reach,
                 [dx, dy](int32_t& x, int32_t& y) {
                   x = WrapAdd(x, dx);
                   y = WrapAdd(y, dy);
                 },
                 false, nullptr);
  if (GetWorkWindowLoadMode() == kLoadModeRawCopy) return;
  UpdateCurveItems();
  Recalc(-1);
}

void CPieceRecord::Rotate(int cx, int cy, double angle, int mode, int size) {
  const double s = std::sin(angle);
  const double c = std::cos(angle);
  Reach reach;
  reach.vertexRings = mode == 0 || mode == 1;
  reach.text = mode == 0 || mode == 1;
  reach.plainRings = mode == 0 || mode == 2;
  const int64_t turn = RoundToNearest(angle / kPi * 1800);
  TransformPiece(this, size, reach,
                 [=](int32_t& x, int32_t& y) { RotatePoint(x, y, cx, cy, s, c, &x, &y); },
                 false, [turn](int32_t old) { return static_cast<int64_t>(old) - turn; });
  UpdateCurveItems();
  Recalc(-1);
}

void CPieceRecord::MirrorHorizontal(int y0) {
  TransformPiece(this, -1, Reach{},
                 [y0](int32_t&, int32_t& y) { y = WrapSub(WrapAdd(y0, y0), y); },
                 true, [](int32_t old) { return -static_cast<int64_t>(old); });
  NormalizeOrientation(0);
  UpdateCurveItems();
  Recalc(-1);
}

void CPieceRecord::MirrorLine(int x1, int y1, int x2, int y2) {
  if (x1 == x2 && y1 == y2) return;
  const double a = static_cast<double>(y2) - y1;
  const double b = static_cast<double>(x1) - x2;
  const double k = x1 * a + y1 * b;
  TransformPiece(this, -1, Reach{},
                 [=](int32_t& x, int32_t& y) {
                   int fx = x;
                   int fy = y;
                   PerpendicularFoot(x, y, a, b, k, &fx, &fy);
                   x = WrapSub(WrapAdd(fx, fx), x);
                   y = WrapSub(WrapAdd(fy, fy), y);
                 },
                 true, [](int32_t old) { return -static_cast<int64_t>(old); });
  NormalizeOrientation(0);
  UpdateCurveItems();
  Recalc(-1);
}

void CPieceRecord::NormalizeOrientation(int check) {
  // The rings are collected first: a reversed outline may remove the notch
  // item, which is never one of them.
  std::vector<CPieceItem*> rings;
  CPieceItem* item = ItemRing;
  for (int32_t i = 0; item && i < ItemCount; ++i, item = item->Next) {
    if (IsClosedRingType(item->Type)) rings.push_back(item);
  }
  for (CPieceItem* ring : rings) {
    if (check != 0 && !RunsClockwise(ring)) continue;
    const bool outline = ring->Type == kItemTypeOutline;
    if (outline) SwapSimpleItemEnds();
    ReverseRuns(ring);
    if (g_Selection.GetValue1() == ring) {
      g_Selection.SetCurrent(this, ring, g_Selection.GetValue3(), g_Selection.GetValue2());
    }
    if (ring->Type == kItemTypeOutline || ring->Type == kItemTypeContour) TurnCornerParams(ring);
    CPieceItem* notches = nullptr;
    if (!outline || GetWorkWindowLoadMode() == kLoadModeSkipNotchRefit) continue;
    if (!FindItem(kItemTypeNotches, &notches)) continue;
    if (auto* curve = dynamic_cast<CPieceCurveItem*>(ring)) curve->SmoothCurves();
    const std::unique_ptr<CPieceItem> before = ClonePieceItem(ring);
    notches->UpdateNotchesFromOutline(before.get(), ring, 1);
    if (notches->VertexCount == 0) RemoveItem(notches);
  }
}

double CPieceRecord::CalcArea(CSizeRecord* size, int which) const {
  CPieceItem* item = nullptr;
  if (!FindItem(which == 0 ? 21 : 12, &item) && !FindItem(kItemTypeOutline, &item)) return 0.0;
  const auto* curve = dynamic_cast<const CPieceCurveItem*>(item);
  if (!curve) return 0.0;
  const int32_t count = curve->GetCurveCount(size);
  const CVertexNode* p = curve->GetCurveHead(size);
  // The integral of y dx along the ring, segment by segment; a vertical
  // segment adds nothing. Counter-clockwise rings give a negative integral.
  double sum = 0.0;
  for (int32_t i = 0; p && i < count; ++i, p = p->Next) {
    const CVertexNode* q = p->Next;
    if (p->X == q->X) continue;
    const double px = p->X, py = p->Y, qx = q->X, qy = q->Y;
    const double m = (qy - py) / (qx - px);
    sum += (m * qx / 2 + py - m * px) * qx - (m * px / 2 + py - m * px) * px;
  }
  return -sum;
}
