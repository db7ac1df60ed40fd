#include "model/graded_expansion.h"

#include "model/piece_item.h"
#include "model/style.h"
#include "model/vertex_node.h"

namespace {

// What a source node gives each size.
enum class Expansion { Group, Single, Nothing };

Expansion ExpansionOf(int kind) {
  if (kind <= 6 || kind == kVertexKindGraded || kind == kVertexKindSkipRun) return Expansion::Group;
  if (kind >= kVertexKindFixedSingle && kind <= kVertexKindMovedSingle2) return Expansion::Single;
  return Expansion::Nothing;
}

bool HasNoGradedVertices(const CPieceItem* item) {
  return !item || item->Type == kItemTypeText || !item->VertexHead || item->VertexCount <= 0;
}

// Appends a new node at the tail of the ring whose head is `*head`. The
// expansion counts its nodes itself, so the ring's own count is not kept.
void AppendToRing(CVertexNode** head, int32_t x, int32_t y, uint32_t flags) {
  int32_t uncounted = 0;
  AddRingTail(*head, uncounted, NewVertexNode(x, y, flags));
}

// Expands one source node into the rings. Every call consumes at least one
// node of the walk's budget, so a walk bounded by the budget ends.
class Expander {
 public:
  Expander(CVertexNode** heads, int sizeCount, bool mainFlags)
      : heads_(heads), sizeCount_(sizeCount), mainFlags_(mainFlags) {}

  // Expands the node at `node`; returns the node after what it took.
  CVertexNode* Take(CVertexNode* node, int32_t* budget) {
    switch (ExpansionOf(node->Kind())) {
      case Expansion::Group: {
        const uint32_t mainFlags = node->Flags;
        CVertexNode* current = node;
        for (int k = 0; k < sizeCount_; ++k, current = current->Next, --*budget) {
          AppendToRing(&heads_[k], current->X, current->Y, mainFlags_ ? mainFlags : current->Flags);
        }
        ++count_;
        return current;
      }
      case Expansion::Single:
        for (int k = 0; k < sizeCount_; ++k) AppendToRing(&heads_[k], node->X, node->Y, node->Flags);
        ++count_;
        break;
      case Expansion::Nothing:
        break;
    }
    --*budget;
    return node->Next;
  }

  int Count() const { return count_; }

 private:
  CVertexNode** heads_;
  int sizeCount_;
  bool mainFlags_;
  int count_ = 0;
};

void ClearHeads(CVertexNode** sizeRings, int sizeCount) {
  for (int k = 0; k < sizeCount; ++k) sizeRings[k] = nullptr;
}

}  // namespace

int ExpandGradedPoints(CVertexNode** sizeRings, const CPieceItem* item) {
  const int sizeCount = g_Style.SizeCount;
  if (!sizeRings || sizeCount <= 0) return 0;
  ClearHeads(sizeRings, sizeCount);
  if (HasNoGradedVertices(item)) return 0;
  Expander expander(sizeRings, sizeCount, true);
  int32_t budget = item->VertexCount;
  CVertexNode* node = item->VertexHead;
  while (budget > 0) node = expander.Take(node, &budget);
  return expander.Count();
}

int ExpandRunPerSize(CVertexNode** sizeRings, const CPieceItem* item, CVertexNode* start, CVertexNode* end) {
  const int sizeCount = g_Style.SizeCount;
  if (!sizeRings || sizeCount <= 0) return 0;
  ClearHeads(sizeRings, sizeCount);
  if (HasNoGradedVertices(item) || !start || !end) return 0;
  Expander expander(sizeRings, sizeCount, false);
  // One turn of the ring at most: an `end` that a damaged group swallowed is
  // not met on a group boundary, and the walk then stops after the turn.
  int32_t budget = item->VertexCount;
  CVertexNode* node = start;
  bool first = true;
  while (budget > 0 && (first || node != end)) {
    first = false;
    node = expander.Take(node, &budget);
  }
  int32_t endBudget = item->VertexCount;
  expander.Take(end, &endBudget);
  return expander.Count();
}

void WriteBackRunPerSize(CVertexNode* const* sizeRings, CPieceItem* item, CVertexNode* start) {
  const int sizeCount = g_Style.SizeCount;
  if (!sizeRings || sizeCount <= 0 || HasNoGradedVertices(item) || !start) return;
  std::vector<CVertexNode*> cursors(sizeRings, sizeRings + sizeCount);
  for (const CVertexNode* head : cursors) {
    if (!head) return;
  }
  auto advanceCursors = [&cursors] {
    for (CVertexNode*& cursor : cursors) cursor = cursor->Next;
  };
  // A closed run visits its start group twice: one turn plus one group.
  int32_t budget = item->VertexCount + sizeCount;
  CVertexNode* node = start;
  while (budget > 0) {
    switch (ExpansionOf(node->Kind())) {
      case Expansion::Group:
        for (int k = 0; k < sizeCount && budget > 0; ++k, node = node->Next, --budget) {
          node->X = cursors[k]->X;
          node->Y = cursors[k]->Y;
        }
        advanceCursors();
        break;
      case Expansion::Single:
        node->X = cursors[0]->X;
        node->Y = cursors[0]->Y;
        node = node->Next;
        --budget;
        advanceCursors();
        break;
      case Expansion::Nothing:
        node = node->Next;
        --budget;
        continue;
    }
    if (cursors[0] == sizeRings[0]) break;
  }
}

void FreeSizeRings(CVertexNode** sizeRings, int sizeCount) {
  if (!sizeRings) return;
  for (int k = 0; k < sizeCount; ++k) {
    CVertexNode* const head = sizeRings[k];
    if (!head) continue;
    CVertexNode* node = head->Next;
    while (node != head) {
      CVertexNode* next = node->Next;
      delete node;
      node = next;
    }
    delete head;
    sizeRings[k] = nullptr;
  }
}

CPerSizeRings::CPerSizeRings()
    : heads_(static_cast<size_t>(g_Style.SizeCount > 0 ? g_Style.SizeCount : 0), nullptr) {}

CPerSizeRings::~CPerSizeRings() { Free(); }

CVertexNode* CPerSizeRings::Head(int index) const {
  if (index < 0 || index >= SizeCount()) return nullptr;
  return heads_[static_cast<size_t>(index)];
}

void CPerSizeRings::Free() { FreeSizeRings(heads_.data(), SizeCount()); }

std::vector<std::vector<CFlaggedPoint>> ExpandGradedFlaggedPoints(const CPieceItem& item) {
  CPerSizeRings rings;
  const int count = ExpandGradedPoints(rings.Heads(), &item);
  std::vector<std::vector<CFlaggedPoint>> sizes(static_cast<size_t>(rings.SizeCount()));
  for (int k = 0; k < rings.SizeCount(); ++k) {
    std::vector<CFlaggedPoint>& points = sizes[static_cast<size_t>(k)];
    points.reserve(static_cast<size_t>(count));
    CVertexNode* node = rings.Head(k);
    for (int i = 0; i < count && node; ++i, node = node->Next) points.push_back({node->Flags, node->X, node->Y});
  }
  return sizes;
}

std::vector<std::vector<CPoint>> ExpandGradedPointLists(const CPieceItem& item) {
  std::vector<std::vector<CPoint>> sizes;
  for (const std::vector<CFlaggedPoint>& flagged : ExpandGradedFlaggedPoints(item)) {
    std::vector<CPoint>& points = sizes.emplace_back();
    points.reserve(flagged.size());
    for (const CFlaggedPoint& p : flagged) points.emplace_back(p.X, p.Y);
  }
  return sizes;
}
