#include "model/items/notch_items.h"

void CPieceItem13::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem13::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem18::Draw(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}

void CPieceItem18::DrawSelected(CDC*, double, int, int, CPieceRecord*) {
  // drawn by the item-drawing work
}
