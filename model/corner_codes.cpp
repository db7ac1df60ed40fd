// Corner codes between memory and the flat files, line attributes in and out
// of the head vertex, the sign of the corner widths, and the tidying of
// internal lines around loading: duplicates, open lines that meet, lines
// near the outline, spikes and repeated parameter nodes.
#include "model/corner_codes.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "model/item_types.h"
#include "model/items/curve_item.h"
#include "model/items/internal_line_items.h"
#include "model/items/segment_items.h"
#include "model/lookup.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "design/geometry/measure.h"

namespace {

constexpr int kOffOutlineVertexKind = 4;  // a segment point that may lie off the outline
constexpr uint32_t kLineAttributeMask = 15;
constexpr int kLineAttributeShift = 16;
// Two internal lines within this many model units of each other, node by
// node, are one line drawn twice.
constexpr int64_t kDuplicateLineSlack = 2;
// How near (millimetres) a line's vertex must come to the outline to be
// snapped onto it.
constexpr double kSnapTolerance = 2.0;

uint32_t LowCode(uint32_t yWord) { return yWord & 0xFFFFu; }
uint32_t WithHighBits(uint32_t yWord, uint32_t code) { return (yWord & 0xFFFF0000u) | code; }

bool IsInternalLine(const CPieceItem* item) {
  return item->Type == kItemTypeClosedLine || item->Type == kItemTypeOpenLine;
}

bool SamePlace(const CVertexNode* a, const CVertexNode* b) { return a->X == b->X && a->Y == b->Y; }

// The main vertex a walk over an item starts from: the head, or the first
// main vertex after it when the head is none; null without one.
CVertexNode* FirstMain(const CPieceItem& item) {
  CVertexNode* head = item.VertexHead;
  if (!head) return nullptr;
  if (head->IsMain()) return head;
  CVertexNode* next = item.NextMainVertex(head);
  return next && next->IsMain() ? next : nullptr;
}

// A main vertex and the per-size copies that follow it, within the ring.
std::vector<CVertexNode*> RunOf(const CPieceItem& item, CVertexNode* main) {
  std::vector<CVertexNode*> run{main};
  for (CVertexNode* node = main->Next; node != main && static_cast<int32_t>(run.size()) < item.VertexCount &&
                                       node->Kind() == kVertexKindCopy;
       node = node->Next) {
    run.push_back(node);
  }
  return run;
}

// Every node of an item's ring after its head's run, in ring order.
std::vector<CVertexNode*> NodesAfterHeadRun(const CPieceItem& item) {
  std::vector<CVertexNode*> nodes;
  CVertexNode* head = item.VertexHead;
  if (!head) return nodes;
  const size_t headRun = RunOf(item, head).size();
  CVertexNode* node = head;
  for (int32_t i = 0; i < item.VertexCount; ++i, node = node->Next) {
    if (static_cast<size_t>(i) >= headRun) nodes.push_back(node);
  }
  return nodes;
}

void CopyNodeFields(CVertexNode* to, const CVertexNode* from) {
  to->Value = from->Value;
  to->Attributes = from->Attributes;
}

CVertexNode* AppendCopy(CPieceItem* item, const CVertexNode* source) {
  CVertexNode* node = item->AddTailVertex(source->X, source->Y, source->Flags);
  CopyNodeFields(node, source);
  return node;
}

CVertexNode* InsertCopyBefore(CPieceItem* item, CVertexNode* at, const CVertexNode* source) {
  CVertexNode* node = item->InsertVertexBefore(at, source->X, source->Y, source->Flags);
  if (node) CopyNodeFields(node, source);
  return node;
}

// The last main vertex of an open line (the one before its head).
CVertexNode* LastMain(const CPieceItem& item) { return item.PrevMainVertex(item.VertexHead); }

// An open line of more than 3 main vertices whose last main vertex lies on
// its head is a closed line drawn open.
bool ClosesOnItself(const CPieceItem& line) {
  if (line.Type != kItemTypeOpenLine || !line.VertexHead) return false;
  CVertexNode* last = LastMain(line);
  return last && last != line.VertexHead && SamePlace(last, line.VertexHead) && line.CountMainVertices() > 3;
}

// The closed line (type 8) made of an open line without its repeated last
// vertex: every node before the last main vertex, with its flags and
// attribute words; the line keeps its line attribute. Its curves are built.
std::unique_ptr<CPieceItem> MakeClosedLine(const CPieceItem& open) {
  auto closed = std::make_unique<CPieceItem8>(nullptr, nullptr);
  closed->Tag = open.Tag;
  CVertexNode* const last = LastMain(open);
  CVertexNode* node = open.VertexHead;
  for (int32_t i = 0; i < open.VertexCount && node != last; ++i, node = node->Next) AppendCopy(closed.get(), node);
  closed->SmoothCurves();
  return closed;
}

double TurnAngle(const CVertexNode* x, const CVertexNode* y, const CVertexNode* z) {
  double angle = std::atan2(static_cast<double>(z->Y) - y->Y, static_cast<double>(z->X) - y->X) -
                 std::atan2(static_cast<double>(x->Y) - y->Y, static_cast<double>(x->X) - y->X);
  if (angle < 0) angle += kTwoPi;
  return angle;
}

// The corner-width sign of the first parameter node of `item` that decides.
int ParamSign(const CPieceItem* item) {
  if (!item) return 0;
  CVertexNode* node = item->VertexHead;
  for (int32_t i = 0; node && i < item->VertexCount; ++i, node = node->Next) {
    if (node->Flags != static_cast<uint32_t>(kVertexKindParameter)) continue;
    const int32_t incoming = static_cast<int16_t>(static_cast<uint32_t>(node->X) >> 16);
    const int32_t outgoing = static_cast<int16_t>(static_cast<uint32_t>(node->X) & 0xFFFFu);
    if (incoming < 0 || outgoing < 0) return 1;
    if (incoming > 0 || outgoing > 0) return 0;
  }
  return 0;
}

// Calls `apply` on every type-8 and type-9 item of the pieces of a ring.
template <typename Apply>
void ForEachInternalLine(CPieceRecord* ring, int32_t count, Apply apply) {
  CPieceRecord* piece = ring;
  for (int32_t p = 0; piece && p < count; ++p, piece = piece->Next) {
    CPieceItem* item = piece->ItemRing;
    for (int32_t i = 0; item && i < piece->ItemCount; ++i, item = item->Next) {
      if (IsInternalLine(item) && item->VertexHead) apply(item);
    }
  }
}

}  // namespace

uint32_t EncodeCornerCode(uint32_t yWord) {
  switch (LowCode(yWord)) {
    case 0: case 10: return 5;
    case 2: case 8: return 3;
    case 3: case 9: return 4;
    case 5: case 7: return 2;
    case 11: return 6;
    case 13: return WithHighBits(yWord, 10);
    case 14: return WithHighBits(yWord, 11);
    case 15: return 7;
    case 16: return WithHighBits(yWord, 8);
    case 17: return WithHighBits(yWord, 9);
    case 18: return WithHighBits(yWord, 12);
    case 19: return WithHighBits(yWord, 13);
    case 20: return WithHighBits(yWord, 14);
    case 21: return WithHighBits(yWord, 15);
    default: return 1;  // 1, 4, 6, 12 and every unknown code: the plain mitre
  }
}

std::optional<uint32_t> CurrentCornerCode(uint32_t fileCode, bool* further) {
  *further = false;
  switch (fileCode) {
    case 1: return 6;
    case 2: return 7;
    case 3: return 8;
    case 4: return 9;
    case 5: return 10;
    case 6: return 11;
    case 7: return 15;
    case 8: return 16;
    case 9: return 17;
    case 10: case 11: *further = true; return fileCode + 3;
    case 12: case 13: case 14: case 15: *further = true; return fileCode + 6;
    default: return std::nullopt;
  }
}

uint32_t DecodeCornerCode(uint32_t yWord) {
  bool further = false;
  const std::optional<uint32_t> code = CurrentCornerCode(LowCode(yWord), &further);
  if (!code) return 6;  // 0 and every unknown code: the plain mitre
  return further ? WithHighBits(yWord, *code) : *code;
}

namespace {
void RenumberOutlineCodes(CPieceRecord* piece, uint32_t (*renumber)(uint32_t)) {
  CPieceItem* outline = nullptr;
  if (!piece->FindItem(kItemTypeOutline, &outline)) return;
  CVertexNode* node = outline->VertexHead;
  for (int32_t i = 0; node && i < outline->VertexCount; ++i, node = node->Next) {
    if (node->Kind() == kVertexKindParameter) node->Y = static_cast<int32_t>(renumber(static_cast<uint32_t>(node->Y)));
  }
}
}  // namespace

std::unique_ptr<CPieceRecord> CPieceRecord::EncodeCornerCodes() const {
  std::unique_ptr<CPieceRecord> copy(DuplicatePiece(this));
  RenumberOutlineCodes(copy.get(), EncodeCornerCode);
  return copy;
}

void CPieceRecord::DecodeCornerCodes() { RenumberOutlineCodes(this, DecodeCornerCode); }

void PackLineAttributes() {
  auto pack = [](CPieceItem* item) {
    CVertexNode* head = item->VertexHead;
    head->Attributes = (head->Attributes & 0xFFFFu) |
                       ((static_cast<uint32_t>(item->Tag) & kLineAttributeMask) << kLineAttributeShift);
  };
  ForEachInternalLine(g_Style.PieceRing, g_Style.PieceCount, pack);
  ForEachInternalLine(g_Style.WorkPieceRing, g_Style.WorkPieceCount, pack);
}

void UnpackLineAttributes() {
  ForEachInternalLine(g_Style.PieceRing, g_Style.PieceCount, [](CPieceItem* item) {
    const uint32_t attribute = (item->VertexHead->Attributes >> kLineAttributeShift) & kLineAttributeMask;
    item->Tag = static_cast<int32_t>((static_cast<uint32_t>(item->Tag) & ~kLineAttributeMask) | attribute);
  });
}

int CPieceRecord::IsOutlineParamNegative() const {
  CPieceItem* outline = nullptr;
  return FindItem(kItemTypeOutline, &outline) ? ParamSign(outline) : 0;
}

int CPieceRecord::IsItem21ParamNegative() const {
  CPieceItem* contour = nullptr;
  return FindItem(kItemTypeContour, &contour) ? ParamSign(contour) : 0;
}

void CStyle::MarkItems7OffOutline() {
  CPieceRecord* piece = PieceRing;
  for (int32_t p = 0; piece && p < PieceCount; ++p, piece = piece->Next) {
    CPieceItem* outline = nullptr;
    if (!piece->FindItem(kItemTypeOutline, &outline)) continue;
    CPieceItem* item = piece->ItemRing;
    for (int32_t i = 0; item && i < piece->ItemCount; ++i, item = item->Next) {
      if (item->Type != kItemTypeSegmentPairs) continue;
      auto* segments = dynamic_cast<CPieceSegmentItem*>(item);
      if (!segments) continue;
      segments->SegmentWord = 0;
      for (CVertexNode* vertex : WalkMainVertices(*item)) {
        if (vertex->Kind() == kOffOutlineVertexKind && !outline->FindVertex(vertex->X, vertex->Y)) {
          segments->SegmentWord = 1;
          break;
        }
      }
    }
  }
}

int CPieceRecord::RemoveDuplicateLines() {
  if (!ItemRing) return 0;
  auto sameLine = [](const CPieceItem* a, const CPieceItem* b) {
    const CVertexNode* p = a->VertexHead;
    const CVertexNode* q = b->VertexHead;
    for (int32_t i = 0; i < a->VertexCount; ++i, p = p->Next, q = q->Next) {
      if (std::llabs(static_cast<int64_t>(p->X) - q->X) > kDuplicateLineSlack ||
          std::llabs(static_cast<int64_t>(p->Y) - q->Y) > kDuplicateLineSlack) {
        return false;
      }
    }
    return true;
  };
  int removed = 0;
  // A removed line is always another than the one compared against, and a
  // line that repeats the ring's head is gone when the head was compared, so
  // the walk ends when it comes back to the head.
  CPieceItem* a = ItemRing;
  for (int32_t guard = ItemCount; a && guard > 0; --guard) {
    if (IsInternalLine(a) && a->VertexHead) {
      CPieceItem* b = a->Next;
      while (b != a) {
        CPieceItem* next = b->Next;
        if (b->Type == a->Type && b->VertexCount == a->VertexCount && b->VertexHead && sameLine(a, b)) {
          RemoveItem(b);
          ++removed;
        }
        b = next;
      }
    }
    a = a->Next;
    if (a == ItemRing) break;
  }
  return removed;
}

void CPieceRecord::JoinOpenLines() {
  if (g_SwitchJoinLines == 0 || !ItemRing) return;
  // Replaces an open line that closes on itself by its closed line; returns
  // the item the walk goes on after.
  auto closeIfRing = [this](CPieceItem* line, CPieceItem* resume) {
    if (!ClosesOnItself(*line)) return resume;
    AddItem(MakeClosedLine(*line).release());
    if (resume == line) resume = line->Prev;
    RemoveItem(line);
    return resume;
  };
  auto isOpen = [](const CPieceItem* item) { return item->Type == kItemTypeOpenLine && item->VertexHead; };
  // The first open line after `a` round the ring whose head or last main
  // vertex lies on `end`.
  auto findPartner = [&](CPieceItem* a, const CVertexNode* end, bool* byHead) -> CPieceItem* {
    for (CPieceItem* b = a->Next; b != a; b = b->Next) {
      if (!isOpen(b)) continue;
      if (SamePlace(b->VertexHead, end)) {
        *byHead = true;
        return b;
      }
      if (SamePlace(LastMain(*b), end)) {
        *byHead = false;
        return b;
      }
    }
    return nullptr;
  };

  const int32_t steps = 2 * ItemCount;
  CPieceItem* a = ItemRing;
  for (int32_t step = 0; step < steps && a; ++step) {
    CPieceItem* resume = a;
    if (isOpen(a)) {
      CPieceItem* joined = nullptr;
      bool byHead = false;
      if (CPieceItem* b = findPartner(a, a->VertexHead, &byHead)) {
        if (byHead) {
          // B runs the other way from A's head: B's vertices after its head,
          // last first, go in front of A.
          CVertexNode* const oldHead = a->VertexHead;
          CVertexNode* newHead = nullptr;
          const std::vector<CVertexNode*> mains = WalkMainVertices(*b);
          for (size_t m = mains.size(); m-- > 1;) {
            for (CVertexNode* node : RunOf(*b, mains[m])) {
              CVertexNode* inserted = InsertCopyBefore(a, oldHead, node);
              if (!newHead) newHead = inserted;
            }
          }
          if (newHead) a->VertexHead = newHead;
          RemoveItem(b);
          joined = a;
        } else {
          // B ends where A starts: A's vertices after its head go on B.
          for (CVertexNode* node : NodesAfterHeadRun(*a)) AppendCopy(b, node);
          resume = a->Prev;
          RemoveItem(a);
          joined = b;
        }
      } else if (CPieceItem* b = findPartner(a, LastMain(*a), &byHead)) {
        if (byHead) {
          for (CVertexNode* node : NodesAfterHeadRun(*b)) AppendCopy(a, node);
        } else {
          // Both end at the same place: B's vertices before its last, last
          // first, go on A.
          const std::vector<CVertexNode*> mains = WalkMainVertices(*b);
          for (size_t m = mains.size() > 0 ? mains.size() - 1 : 0; m-- > 0;) {
            for (CVertexNode* node : RunOf(*b, mains[m])) AppendCopy(a, node);
          }
        }
        RemoveItem(b);
        joined = a;
      }
      if (joined) resume = closeIfRing(joined, resume);
    }
    a = resume ? resume->Next : nullptr;
  }

  CPieceItem* item = ItemRing;
  for (int32_t i = 0, count = ItemCount; i < count && item; ++i) {
    item = closeIfRing(item, item)->Next;
  }
}

void CPieceRecord::SnapLinesToOutline() {
  CPieceItem* outlineItem = nullptr;
  if (!FindItem(kItemTypeOutline, &outlineItem)) return;
  auto* outline = dynamic_cast<CPieceCurveItem*>(outlineItem);
  const int sizes = g_Style.SizeCount > 0 ? g_Style.SizeCount : 1;
  CPieceItem* item = ItemRing;
  for (int32_t i = 0; item && i < ItemCount; ++i, item = item->Next) {
    if (!IsInternalLine(item)) continue;
    for (CVertexNode* vertex : WalkMainVertices(*item)) {
      const std::vector<CVertexNode*> run = RunOf(*item, vertex);
      CPieceItem* hitItem = nullptr;
      CVertexNode* hit = nullptr;
      if (HitTestVertex(vertex->X, vertex->Y, kItemTypeOutline, kSnapTolerance, &hitItem, &hit)) {
        const std::vector<CVertexNode*> target = RunOf(*hitItem, hit);
        for (size_t k = 0; k < run.size() && k < target.size() && k < static_cast<size_t>(sizes); ++k) {
          run[k]->X = target[k]->X;
          run[k]->Y = target[k]->Y;
        }
        continue;
      }
      CVertexNode* segment = nullptr;
      int footX = 0;
      int footY = 0;
      if (outline && outline->HitTestMainVertex(vertex->X, vertex->Y, kSnapTolerance, &segment, &footX, &footY)) {
        const int32_t dx = WrapSub(footX, vertex->X);
        const int32_t dy = WrapSub(footY, vertex->Y);
        for (size_t k = 0; k < run.size() && k < static_cast<size_t>(sizes); ++k) {
          run[k]->X = WrapAdd(run[k]->X, dx);
          run[k]->Y = WrapAdd(run[k]->Y, dy);
        }
      }
    }
  }
}

void CPieceRecord::RemoveRepeatedParamNodes() {
  CPieceItem* outline = nullptr;
  if (!FindItem(kItemTypeOutline, &outline)) return;
  CVertexNode* node = outline->VertexHead;
  for (int32_t i = 0, steps = outline->VertexCount; node && i < steps && outline->VertexCount > 1; ++i) {
    CVertexNode* next = node->Next;
    if (node->Kind() == kVertexKindParameter && next->Kind() == kVertexKindParameter) {
      outline->RemoveVertex(node);
    }
    node = next;
  }
}

void CPieceItem::RemoveSpikes(int fine) {
  // Turn bounds in radians: a turn below `sharp` (or above its mirror) is a
  // spike; a turn within [`bent`, `bentMirror`] is a true corner.
  const double sharp = fine ? 0.08726646259972222 : 0.26179938779916667;
  const double bent = fine ? 0.17453292519944444 : 0.3490658503988889;
  const double sharpMirror = fine ? 6.195918844580278 : 6.021385919380834;
  const double bentMirror = fine ? 6.108652381980556 : 5.934119456781111;
  const double scale = g_Style.GetScale();
  const double shortest2 = scale * scale;

  CVertexNode* a = FirstMain(*this);
  if (!a) return;
  int32_t mains = CountMainVertices();
  for (int32_t step = 0, steps = mains; step < steps && mains >= 4; ++step) {
    CVertexNode* p = PrevMainVertex(a);
    CVertexNode* b = NextMainVertex(a);
    CVertexNode* c = NextMainVertex(b);
    if (SamePlace(a, b)) {
      a = b;
      continue;
    }
    const double dx = static_cast<double>(b->X) - a->X;
    const double dy = static_cast<double>(b->Y) - a->Y;
    bool remove = dx * dx + dy * dy < shortest2;
    if (!remove && !SamePlace(b, c)) {
      const double turnA = TurnAngle(p, a, b);
      const double turnB = TurnAngle(a, b, c);
      const bool cornerA = turnA >= bent && turnA <= bentMirror;
      const bool cornerB = turnB >= bent && turnB <= bentMirror;
      remove = turnB < sharp || turnB > sharpMirror || (!cornerA && !cornerB);
    }
    if (!remove) {
      a = b;
      continue;
    }
    // A smooth vertex that takes a corner's place becomes that corner.
    if ((a->Flags & 1u) != 0 && (b->Flags & 1u) == 0) a->Flags = (a->Flags & ~0xFFu) | (b->Flags & 0xFFu);
    RemoveGradedVertex(b);
    --mains;
  }
}
