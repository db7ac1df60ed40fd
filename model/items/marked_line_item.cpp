#include "model/items/marked_line_item.h"

#include "model/style.h"

namespace {
size_t SizeSlots() { return g_Style.SizeCount > 0 ? static_cast<size_t>(g_Style.SizeCount) : 0; }
}  // namespace

CPieceItem26::CPieceItem26(CPieceItem* prev, CPieceItem* next)
    : CPieceItem(26, prev, next),
      SizeArrayA(SizeSlots(), 0),
      SizeArrayB(SizeSlots(), 0),
      SizeArrayC(SizeSlots(), 0) {}

void CPieceItem26::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem26::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem26::GetDrawExtent(CSizeRecord*, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}

void CPieceItem26::GetExtent(int, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}

void CPieceItem26::RebuildRing() {
  DerivedRing.reset();
  if (g_Style.SizeCount < 1) return;
  DerivedRing = std::make_unique<CVertexRing>();
  if (!VertexHead) return;
  CVertexNode* main = VertexHead;
  for (int32_t i = 0; i < VertexCount && !main->IsMain(); ++i) main = main->Next;
  if (!main->IsMain()) return;
  CVertexNode* const first = main;
  do {
    DerivedRing->AddTail(main->X, main->Y, main->Flags);
    main = NextMainVertex(main);
  } while (main && main != first);
}

void CPieceItem26::Smooth() {
  // smoothed by the curve work
}
