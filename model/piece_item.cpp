#include "model/piece_item.h"

#include "model/lookup.h"
#include "model/style.h"
#include "platform/dc.h"

namespace {
// Steps a walk may take before it has surely gone round the ring once.
int32_t TurnLength(int32_t count) { return count > 0 ? count : 1; }
}  // namespace

CPieceItem::CPieceItem(int32_t type, CPieceItem* prev, CPieceItem* next) : Type(type), Prev(prev), Next(next) {}

CPieceItem::~CPieceItem() { DeleteItemVertices(this); }

void CPieceItem::Draw(CDC*, double, int, int, CPieceRecord*) {}

void CPieceItem::DrawSelected(CDC*, double, int, int, CPieceRecord*) {}

CVertexNode* CPieceItem::AddHeadVertex(int32_t x, int32_t y, uint32_t flags) {
  CVertexNode* node = NewVertexNode(x, y, flags);
  AddHead(node);
  return node;
}

void CPieceItem::AddHead(CVertexNode* node) { AddRingHead(VertexHead, VertexCount, node); }

CVertexNode* CPieceItem::AddTailVertex(int32_t x, int32_t y, uint32_t flags) {
  CVertexNode* node = NewVertexNode(x, y, flags);
  AddTail(node);
  return node;
}

void CPieceItem::AddTail(CVertexNode* node) { AddRingTail(VertexHead, VertexCount, node); }

CVertexNode* CPieceItem::InsertVertexBefore(CVertexNode* at, int32_t x, int32_t y, uint32_t flags) {
  if (VertexHead && !at) return nullptr;
  CVertexNode* node = NewVertexNode(x, y, flags);
  InsertBefore(at, node);
  return node;
}

void CPieceItem::InsertBefore(CVertexNode* at, CVertexNode* node) {
  InsertRingBefore(VertexHead, VertexCount, at, node);  // unlinked, the node stays the caller's
}

CVertexNode* CPieceItem::InsertVertexAfter(CVertexNode* at, int32_t x, int32_t y, uint32_t flags) {
  if (VertexHead && !at) return nullptr;
  CVertexNode* node = NewVertexNode(x, y, flags);
  InsertAfter(at, node);
  return node;
}

void CPieceItem::InsertAfter(CVertexNode* at, CVertexNode* node) {
  InsertRingAfter(VertexHead, VertexCount, at, node);  // unlinked, the node stays the caller's
}

CVertexNode* CPieceItem::RemoveVertex(CVertexNode* node) { return RemoveRingNode(VertexHead, VertexCount, node); }

CVertexNode* CPieceItem::RemoveGradedVertex(CVertexNode* node) {
  if (!VertexHead || !node) return nullptr;
  CVertexNode* const before = node->Prev;
  bool headGone = false;
  if (node == VertexHead) {
    CVertexNode* nextMain = NextMainVertex(node);
    VertexHead = nextMain == node ? node->Prev : nextMain;
  }
  // Free the node and the copies after it, in ring order. The count tells
  // when the walk has taken the whole ring, so no freed node is touched.
  CVertexNode* current = node;
  CVertexNode* next = nullptr;
  for (;;) {
    next = current->Next;
    if (current == VertexHead) headGone = true;
    delete current;
    if (--VertexCount <= 0) {
      VertexHead = nullptr;
      VertexCount = 0;
      return nullptr;
    }
    if (next->Kind() != kVertexKindCopy) break;
    current = next;
  }
  before->Next = next;
  next->Prev = before;
  if (headGone) VertexHead = next;
  return next;
}

void CPieceItem::RemoveGradedVerticesAround(CVertexNode* node) {
  if (!VertexHead || !node) return;
  // Forward from the main vertex before the node.
  CVertexNode* current = PrevMainVertex(node);
  for (int32_t guard = TurnLength(VertexCount); current && current != node && guard > 0; --guard) {
    if (current->Kind() == kVertexKindGraded) {
      current = RemoveGradedVertex(current);
      if (current && (current->Kind() == kVertexKindCopy || current->Kind() == kVertexKindParameter)) {
        current = NextVertexSkipCopies(current);
      }
    } else {
      current = NextVertexSkipCopies(current);
    }
  }
  if (!VertexHead) return;
  // Backward from the main vertex after the node.
  current = NextMainVertex(node);
  for (int32_t guard = TurnLength(VertexCount); current && current != node && guard > 0; --guard) {
    CVertexNode* before = PrevVertexSkipCopies(current);
    if (current->Kind() == kVertexKindGraded) {
      if (before == current) before = nullptr;
      RemoveGradedVertex(current);
      if (!VertexHead) return;
    }
    current = before;
  }
}

CVertexNode* CPieceItem::NextMainVertex(CVertexNode* node) const {
  if (!node) return nullptr;
  CVertexNode* current = node->Next;
  for (int32_t i = 0; i < TurnLength(VertexCount) && current != node; ++i, current = current->Next) {
    if (current->IsMain()) return current;
  }
  return node;
}

CVertexNode* CPieceItem::PrevMainVertex(CVertexNode* node) const {
  if (!node) return nullptr;
  CVertexNode* current = node->Prev;
  for (int32_t i = 0; i < TurnLength(VertexCount) && current != node; ++i, current = current->Prev) {
    if (current->IsMain()) return current;
  }
  return node;
}

namespace {
bool IsSkippedByCopyWalk(const CVertexNode* node) {
  return node->Kind() == kVertexKindCopy || node->Kind() == kVertexKindParameter;
}
}  // namespace

CVertexNode* CPieceItem::NextVertexSkipCopies(CVertexNode* node) const {
  if (!node) return nullptr;
  CVertexNode* current = node->Next;
  for (int32_t i = 0; i < TurnLength(VertexCount); ++i, current = current->Next) {
    if (!IsSkippedByCopyWalk(current)) return current;
  }
  return nullptr;
}

CVertexNode* CPieceItem::PrevVertexSkipCopies(CVertexNode* node) const {
  if (!node) return nullptr;
  CVertexNode* current = node->Prev;
  for (int32_t i = 0; i < TurnLength(VertexCount); ++i, current = current->Prev) {
    if (!IsSkippedByCopyWalk(current)) return current;
  }
  return nullptr;
}

void CPieceItem::GetDrawExtent(CSizeRecord*, int*, int*, int*, int*) const {}

void CPieceItem::GetExtent(int, int*, int*, int*, int*) const {}

CVertexNode* CPieceItem::FindVertex(int32_t x, int32_t y) const {
  if (Type == kItemTypeText) return nullptr;
  CVertexNode* node = VertexHead;
  for (int32_t i = 0; i < VertexCount && node; ++i, node = node->Next) {
    if (node->IsMain() && node->X == x && node->Y == y) return node;
  }
  return nullptr;
}

CVertexNode* CPieceItem::FindVertexWithFlags(int32_t x, int32_t y, uint32_t flags) const {
  if (Type == kItemTypeText) return nullptr;
  CVertexNode* node = VertexHead;
  for (int32_t i = 0; i < VertexCount && node; ++i, node = node->Next) {
    if (node->IsMain() && node->X == x && node->Y == y && node->Flags == flags) return node;
  }
  return nullptr;
}

namespace {
// Walks the main vertices from `start` until the one after `stop` (or one
// turn), returning the first that `match` accepts.
template <typename Match>
CVertexNode* WalkMainFrom(const CPieceItem& item, CVertexNode* start, CVertexNode* stop, Match match) {
  if (!start) return nullptr;
  CVertexNode* const end = item.NextMainVertex(stop);
  CVertexNode* node = start;
  for (int32_t i = 0; i < TurnLength(item.VertexCount); ++i) {
    if (match(*node)) return node;
    node = item.NextMainVertex(node);
    if (!node || node == end || node == start) break;
  }
  return nullptr;
}

// Follows Next from the main vertex after `start` over every node for one
// turn, returning the first that `match` accepts.
template <typename Match>
CVertexNode* WalkAllFrom(const CPieceItem& item, CVertexNode* start, Match match) {
  CVertexNode* node = item.NextMainVertex(start);
  for (int32_t i = 0; node && i < item.VertexCount; ++i, node = node->Next) {
    if (match(*node)) return node;
  }
  return nullptr;
}
}  // namespace

CVertexNode* CPieceItem::FindVertexFrom(int32_t x, int32_t y, CVertexNode* start, CVertexNode* stop) const {
  if (Type == kItemTypeText) return nullptr;
  return WalkMainFrom(*this, start, stop, [x, y](const CVertexNode& n) { return n.X == x && n.Y == y; });
}

CVertexNode* CPieceItem::FindVertexWithFlagsFrom(int32_t x, int32_t y, uint32_t flags, CVertexNode* start,
                                                 CVertexNode* stop) const {
  if (Type == kItemTypeText) return nullptr;
  return WalkMainFrom(*this, start, stop,
                      [x, y, flags](const CVertexNode& n) { return n.X == x && n.Y == y && n.Flags == flags; });
}

CVertexNode* CPieceItem::FindVertexOfKind(int32_t x, int32_t y, int kind, CVertexNode* start) const {
  return WalkAllFrom(*this, start,
                     [x, y, kind](const CVertexNode& n) { return n.X == x && n.Y == y && n.Kind() == kind; });
}

CVertexNode* CPieceItem::FindMainVertexFrom(int32_t x, int32_t y, CVertexNode* start) const {
  return WalkAllFrom(*this, start, [x, y](const CVertexNode& n) { return n.X == x && n.Y == y && n.IsMain(); });
}

int32_t CPieceItem::CountMainVertices() const {
  if (!VertexHead || VertexCount == 0) return 0;
  CVertexNode* const start = PrevMainVertex(VertexHead);
  int32_t count = 1;
  for (CVertexNode* node = NextMainVertex(start); node && node != start && count < VertexCount;
       node = NextMainVertex(node)) {
    ++count;
  }
  return count;
}

namespace {
double SquaredDistance(const CVertexNode& node, int32_t x, int32_t y) {
  const double dx = static_cast<double>(node.X) - x;
  const double dy = static_cast<double>(node.Y) - y;
  return dx * dx + dy * dy;
}

bool IsHitCandidate(const CVertexNode& node, BOOL withCopies) {
  return node.IsMain() || (withCopies && node.Kind() == kVertexKindCopy);
}

// The hit candidate nearest to (x, y) among at most `limit` nodes from
// `first`, stopping before `stop`, strictly nearer than `*best` (a squared
// distance, lowered to the one found); null when none is.
CVertexNode* NearestCandidate(CVertexNode* first, const CVertexNode* stop, int32_t limit, int32_t x, int32_t y,
                              BOOL withCopies, double* best) {
  CVertexNode* found = nullptr;
  CVertexNode* current = first;
  for (int32_t i = 0; i < limit && current && current != stop; ++i, current = current->Next) {
    if (!IsHitCandidate(*current, withCopies)) continue;
    const double d = SquaredDistance(*current, x, y);
    if (d < *best) {
      *best = d;
      found = current;
    }
  }
  return found;
}

// The squared search reach of the hit tests: Scale x (tolerance + 1 mm).
double SquaredSearchReach(double tolerance) {
  const double reach = g_Style.GetScale() * (tolerance + 1.0);
  return reach * reach;
}
}  // namespace

BOOL FindNearestVertexWithin(CVertexNode* first, int32_t count, int32_t x, int32_t y, double tolerance,
                             BOOL withCopies, CVertexNode** node) {
  double best = SquaredSearchReach(tolerance);
  CVertexNode* found = NearestCandidate(first, nullptr, count, x, y, withCopies, &best);
  // Found only within the tolerance itself, not the wider search reach.
  const double scale = g_Style.GetScale();
  if (!found || !(scale * tolerance * tolerance * scale >= best)) return FALSE;
  if (node) *node = found;
  return TRUE;
}

BOOL CPieceItem::HitTestVertex(int32_t x, int32_t y, double tolerance, CVertexNode** node, BOOL withCopies) const {
  return FindNearestVertexWithin(VertexHead, VertexCount, x, y, tolerance, withCopies, node);
}

BOOL CPieceItem::HitTestVertexRange(int32_t x, int32_t y, double tolerance, CVertexNode* from, CVertexNode* to,
                                    CVertexNode** node, BOOL withCopies) const {
  if (!from || !to) return FALSE;
  double best = SquaredSearchReach(tolerance);
  CVertexNode* found = NearestCandidate(from, to, TurnLength(VertexCount), x, y, withCopies, &best);
  // The range's last node counts only as a main vertex.
  if (to->IsMain() && SquaredDistance(*to, x, y) < best) found = to;
  if (!found) return FALSE;
  if (node) *node = found;
  return TRUE;
}

void CPieceItem::DrawEachSize(CDC* dc, int penStyle, bool withBrush, const SizeDrawer& drawSize) {
  if (!dc || !g_Style.SizeRing || g_Style.SizeCount <= 0) return;
  CSizeRecord* size = g_Style.SizeRing->Prev;
  for (int index = g_Style.SizeCount - 1; index >= 0 && size; --index, size = size->Prev) {
    if (size->Visible == 0) continue;
    CPen pen(penStyle, 1, size->Color);
    CPen* oldPen = dc->SelectObject(&pen);
    CBrush brush(size->Color);
    CBrush* oldBrush = withBrush ? dc->SelectObject(&brush) : nullptr;
    drawSize(dc, *size, index);
    if (oldBrush) dc->SelectObject(oldBrush);
    if (oldPen) dc->SelectObject(oldPen);
  }
}

std::vector<CPoint> CPieceItem::MainVertexPositions(int sizeIndex) const {
  std::vector<CPoint> points;
  if (!VertexHead || sizeIndex < 0) return points;
  CVertexNode* start = VertexHead;
  if (!start->IsMain()) start = NextMainVertex(start);
  if (!start->IsMain()) return points;
  CVertexNode* main = start;
  do {
    CVertexNode* sizeNode = main;
    for (int s = 0; s < sizeIndex; ++s) sizeNode = sizeNode->Next;
    points.emplace_back(sizeNode->X, sizeNode->Y);
    main = NextMainVertex(main);
  } while (main && main != start);
  return points;
}
