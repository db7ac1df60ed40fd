#include "model/items/outline_item.h"

void CPieceItem0::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem0::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}
