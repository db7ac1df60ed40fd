#include "model/items/frame_item.h"

void CPieceItem29::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem29::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem29::GetDrawExtent(CSizeRecord*, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}

void CPieceItem29::GetExtent(int, int*, int*, int*, int*) const {
  // drawn by the item-drawing work
}
