#include "model/items/text_item.h"

#include "model/settings.h"

CPieceItem11::CPieceItem11(CPieceItem* prev, CPieceItem* next)
    : CPieceItem(kItemTypeText, prev, next), Font(g_DefaultFont) {}

void CPieceItem11::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem11::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem11::GetDrawExtent(CSizeRecord*, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}

void CPieceItem11::GetExtent(int, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}

// A text has no vertices to remove or step over.
CVertexNode* CPieceItem11::RemoveVertex(CVertexNode*) { return nullptr; }
CVertexNode* CPieceItem11::RemoveGradedVertex(CVertexNode*) { return nullptr; }
CVertexNode* CPieceItem11::NextMainVertex(CVertexNode*) const { return nullptr; }
CVertexNode* CPieceItem11::PrevMainVertex(CVertexNode*) const { return nullptr; }
