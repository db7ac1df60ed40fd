#include "model/style.h"

#include <utility>

#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/shell_services.h"

int32_t g_DefaultDataVersion = kDefaultDataVersion;

CStyle g_Style;

namespace {
// Appends at the tail of a ring of pieces; returns the new count.
int32_t AppendPiece(CPieceRecord*& head, int32_t& count, CPieceRecord* piece) {
  if (!piece) return count;
  if (!head) {
    piece->Prev = piece;
    piece->Next = piece;
    head = piece;
  } else {
    piece->Prev = head->Prev;
    piece->Next = head;
    head->Prev->Next = piece;
    head->Prev = piece;
  }
  return ++count;
}

// Takes a piece out of its ring (the head moves on when it was the head).
void UnlinkPiece(CPieceRecord*& head, int32_t& count, CPieceRecord* piece) {
  if (count != 1) {
    if (piece == head) head = piece->Next;
    piece->Prev->Next = piece->Next;
    piece->Next->Prev = piece->Prev;
    --count;
  } else {
    head = nullptr;
    count = 0;
  }
  piece->Prev = nullptr;
  piece->Next = nullptr;
}

void DeleteItems(CPieceRecord* piece) {
  for (int32_t n = piece->ItemCount; n > 0 && piece->ItemRing; --n) piece->RemoveItem(piece->ItemRing);
}
}  // namespace

CStyle::CStyle() { g_DefaultDataVersion = kDefaultDataVersion; }

CStyle::~CStyle() {
  while (PieceRing) RemovePiece(PieceRing);
  while (WorkPieceRing) RemoveWorkPiece(WorkPieceRing);
  SizeArray.clear();
  while (SizeRing) RemoveSize(SizeRing);
}

void CStyle::Swap(CStyle& other) {
  using std::swap;
  swap(HeaderText1, other.HeaderText1);
  swap(StyleName, other.StyleName);
  swap(HeaderText3, other.HeaderText3);
  swap(HeaderText4, other.HeaderText4);
  swap(HeaderText5, other.HeaderText5);
  swap(Reserved, other.Reserved);
  swap(DataVersion, other.DataVersion);
  swap(Mode, other.Mode);
  swap(Scale, other.Scale);
  swap(PieceRing, other.PieceRing);
  swap(PieceCount, other.PieceCount);
  swap(WorkPieceRing, other.WorkPieceRing);
  swap(WorkPieceCount, other.WorkPieceCount);
  swap(SizeRing, other.SizeRing);
  swap(SizeCount, other.SizeCount);
  swap(SizeArray, other.SizeArray);
}

int32_t CStyle::AddPiece(CPieceRecord* piece) { return AppendPiece(PieceRing, PieceCount, piece); }

int32_t CStyle::InsertPieceBefore(CPieceRecord* at, CPieceRecord* piece) {
  if (!piece) return PieceCount;
  if (!at || !PieceRing) return AddPiece(piece);
  piece->Prev = at->Prev;
  piece->Next = at;
  at->Prev->Next = piece;
  at->Prev = piece;
  return ++PieceCount;
}

void CStyle::RemovePiece(CPieceRecord* piece) {
  if (!piece || !PieceRing) return;
  if (piece->Linked && piece->Link) RemoveWorkPiece(piece->Link);
  DeleteItems(piece);
  UnlinkPiece(PieceRing, PieceCount, piece);
  delete piece;
}

int32_t CStyle::AddWorkPiece(CPieceRecord* piece) { return AppendPiece(WorkPieceRing, WorkPieceCount, piece); }

void CStyle::RemoveWorkPiece(CPieceRecord* piece) {
  if (!piece || !WorkPieceRing) return;
  if (CPieceRecord* source = piece->Link) {
    source->Linked = 0;
    source->Link = nullptr;
  }
  DeleteItems(piece);
  UnlinkPiece(WorkPieceRing, WorkPieceCount, piece);
  delete piece;
}

void CStyle::RemoveWorkPieceItem(CPieceItem*& item, CPieceRecord*& piece) {
  if (!piece || !piece->AllowEdit) return;
  piece->RemoveItem(item);
  item = nullptr;
  if (piece->ItemCount == 0) {
    RemoveWorkPiece(piece);
    piece = nullptr;
  }
}

namespace {
// Removes up to `count` nodes from `node` on; returns the node reached.
CVertexNode* RemoveNodes(CPieceItem* item, CVertexNode* node, int32_t count) {
  for (int32_t i = 0; i < count && node; ++i) node = item->RemoveVertex(node);
  return node;
}

bool IsKindIn(const CVertexNode* node, int lastMainKind) {
  const int kind = node->Kind();
  return (kind >= 0 && kind <= lastMainKind) || kind == kVertexKindGraded;
}
}  // namespace

void CStyle::RemoveItemVertex(CVertexNode*& node, CPieceItem*& item, CPieceRecord*& piece) {
  if (!piece || !piece->AllowEdit || !item || !node) return;
  const int32_t n = SizeCount;
  bool removed = true;
  switch (item->Type) {
    case kItemTypeOutline:
      if (IsKindIn(node, 5)) {
        CVertexNode* reached = RemoveNodes(item, node, n);
        if (reached && reached->Kind() == kVertexKindParameter) item->RemoveVertex(reached);
      } else {
        removed = false;
      }
      break;
    case kItemTypeGrainLine:
    case kItemTypeCutLine:
      item->RemoveGradedVertex(node);
      break;
    case kItemTypeFilledMarkers:
    case kItemTypeHollowMarkers:
      RemoveNodes(item, node, n + 2);
      break;
    case kItemTypeSlot:
      RemoveNodes(item, node, 2 * n);
      if (CVertexNode* head = item->VertexHead) {
        // The remaining symbols start over at the head: clear the flags of
        // the vertices around it.
        CVertexNode* after = item->NextMainVertex(head);
        CVertexNode* before = item->PrevMainVertex(head);
        CVertexNode* beforeThat = item->PrevMainVertex(before);
        head->Flags = 0;
        after->Flags = 0;
        before->Flags = 0;
        beforeThat->Flags = 0;
      }
      break;
    case kItemTypeTwoPointLine:
      RemoveNodes(item, node, item->VertexCount);
      break;
    case kItemTypeVShape:
      piece->RemoveVShape(&item);
      break;
    case kItemTypeSegmentPairs:
      piece->RemoveSegmentChain(&item, node);
      break;
    case kItemTypeCircles:
    case kItemTypeDerivedCircles:
      RemoveNodes(item, node, 2 * n);
      break;
    case kItemTypeText:
      removed = false;
      break;
    case kItemTypeNotches:
      RemoveNodes(item, node, 2 * n + 2);
      break;
    default:  // 8, 9, 14, 15 and every type above 16
      if (IsKindIn(node, 6)) {
        RemoveNodes(item, node, n);
      } else {
        removed = false;
      }
      break;
  }
  if (removed) node = nullptr;
  if (item && item->VertexCount == 0) {
    RemoveWorkPieceItem(item, piece);
    item = nullptr;
  }
}

int32_t CStyle::AddSize(CSizeRecord* size) {
  if (!size) return SizeCount;
  if (!SizeRing) {
    size->Prev = size;
    size->Next = size;
    SizeRing = size;
  } else {
    size->Prev = SizeRing->Prev;
    size->Next = SizeRing;
    SizeRing->Prev->Next = size;
    SizeRing->Prev = size;
  }
  return ++SizeCount;
}

void CStyle::RemoveSize(CSizeRecord* size) {
  if (!size || !SizeRing) return;
  if (SizeCount != 1) {
    if (size == SizeRing) SizeRing = size->Next;
    size->Prev->Next = size->Next;
    size->Next->Prev = size->Prev;
    --SizeCount;
  } else {
    SizeRing = nullptr;
    SizeCount = 0;
  }
  // The sorted array never keeps a freed record.
  for (CSizeRecord*& entry : SizeArray) {
    if (entry == size) entry = nullptr;
  }
  delete size;
}

void CStyle::SortSizes() {
  if (SizeCount < 1) return;
  SizeArray.assign(static_cast<size_t>(SizeCount), nullptr);
  CSizeRecord* size = SizeRing;
  for (int32_t i = 0; i < SizeCount && size; ++i, size = size->Next) SizeArray[static_cast<size_t>(i)] = size;
  // The exchange sort the stored size orders come from; it is not stable.
  const size_t count = SizeArray.size();
  for (size_t i = 0; i < count; ++i) {
    for (size_t j = i + 1; j < count; ++j) {
      CSizeRecord*& a = SizeArray[i];
      CSizeRecord*& b = SizeArray[j];
      if (!a || !b) continue;
      if (a->SortKey1 > b->SortKey1 || (a->SortKey1 == b->SortKey1 && a->SortKey2 > b->SortKey2)) {
        CSizeRecord* t = a;
        a = b;
        b = t;
      }
    }
  }
}

void CStyle::UpdateAllCurveItems() {
  CPieceRecord* piece = WorkPieceRing;
  for (int32_t i = 0; i < WorkPieceCount && piece; ++i, piece = piece->Next) piece->UpdateCurveItems();
  piece = PieceRing;
  for (int32_t i = 0; i < PieceCount && piece; ++i, piece = piece->Next) piece->UpdateCurveItems();
}

int CStyle::IndexOfSize(const CSizeRecord* size) const {
  if (!size) return -1;
  const CSizeRecord* current = SizeRing;
  for (int i = 0; i < SizeCount && current; ++i, current = current->Next) {
    if (current == size) return i;
  }
  return -1;
}

CSizeRecord* CStyle::SizeAt(int index) const {
  if (index < 0 || index >= SizeCount) return nullptr;
  CSizeRecord* current = SizeRing;
  for (int i = 0; i < index && current; ++i) current = current->Next;
  return current;
}

void ClearStyle() {
  g_Selection.SelectMode = 0;
  g_Selection.SelectEnabled = 1;
  g_Selection.SetCurrent(nullptr, nullptr, nullptr, nullptr);

  for (int32_t n = g_Style.PieceCount; n > 0 && g_Style.PieceRing; --n) g_Style.RemovePiece(g_Style.PieceRing);
  // Every work-area piece went with its listed source; one that had none
  // would otherwise outlive the style's contents.
  while (g_Style.WorkPieceRing) g_Style.RemoveWorkPiece(g_Style.WorkPieceRing);

  g_Style.SizeArray.clear();
  for (int32_t n = g_Style.SizeCount; n > 0 && g_Style.SizeRing; --n) g_Style.RemoveSize(g_Style.SizeRing);

  g_Style.HeaderText1 = "";
  g_Style.StyleName = "";
  g_Style.HeaderText3 = "";
  g_Style.HeaderText4 = "";
  g_Style.HeaderText5 = "";
  g_Style.Reserved = 0;
  g_Style.DataVersion = g_DefaultDataVersion;
  g_Style.Mode = 0;
  g_Style.SetScale(kDefaultScale);

  if (g_pListPane) g_pListPane->ResetContent();
}
