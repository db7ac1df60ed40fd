#include "model/items/cross_marker_item.h"

void CPieceItem27::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem27::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}
