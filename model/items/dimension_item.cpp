#include "model/items/dimension_item.h"

void CPieceItem28::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem28::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}
