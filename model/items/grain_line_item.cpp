#include "model/items/grain_line_item.h"

void CPieceItem1::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem1::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem1::GetDrawExtent(CSizeRecord*, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}

void CPieceItem1::GetExtent(int, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}
