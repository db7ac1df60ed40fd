// What a piece holds, listed for comparison: its items by type, the main
// vertices of an item, and the pieces of the style's ring. Tests of the
// readers and of the model look at a piece through these.
#pragma once

#include <vector>

#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"

// The piece's first item of `type`; null when it has none or there is no piece.
inline CPieceItem* Item(const CPieceRecord* piece, int type) {
  CPieceItem* item = nullptr;
  return piece && piece->FindItem(type, &item) ? item : nullptr;
}

// How many of the piece's items are of `type`.
inline int CountItems(const CPieceRecord* piece, int type) {
  int n = 0;
  CPieceItem* item = piece->ItemRing;
  for (int i = 0; item && i < piece->ItemCount; ++i, item = item->Next) n += item->Type == type;
  return n;
}

// The type codes of the piece's items in ring order.
inline std::vector<int> ItemTypes(const CPieceRecord& piece) {
  std::vector<int> types;
  CPieceItem* item = piece.ItemRing;
  for (int i = 0; i < piece.ItemCount; ++i, item = item->Next) types.push_back(item->Type);
  return types;
}

// The item's main vertices (no size copies) from the head.
inline std::vector<CVertexNode*> Mains(const CPieceItem* item) {
  std::vector<CVertexNode*> v;
  CVertexNode* node = item->VertexHead;
  for (int i = 0; node && i < item->VertexCount; ++i, node = node->Next) {
    if (node->IsMain()) v.push_back(node);
  }
  return v;
}

// The pieces of the style's ring, from its head.
inline std::vector<CPieceRecord*> StylePieces() {
  std::vector<CPieceRecord*> pieces;
  CPieceRecord* p = g_Style.PieceRing;
  for (int i = 0; p && i < g_Style.PieceCount; ++i, p = p->Next) pieces.push_back(p);
  return pieces;
}
