// The one process-wide record of what is selected: the current piece (a
// work-area piece or none) with the current item and two vertex nodes of it.
// The three values hold pointers: the item and nodes they name belong to the
// current piece, and whoever deletes them while current resets the selection.
#pragma once

#include <cstdint>

class CPieceItem;
class CPieceRecord;
struct CVertexNode;

class CSelectionState {
 public:
  CSelectionState() = default;

  CPieceRecord* GetCurrentPiece() const { return CurrentPiece; }
  CPieceItem* GetValue1() const { return Value1; }
  CVertexNode* GetValue2() const { return Value2; }
  CVertexNode* GetValue3() const { return Value3; }

  // Forgets the current piece and the three values, telling nobody.
  void Reset();
  // Makes `piece` current with item `a` and nodes `b` and `c` (c null stores
  // b in its place). Nothing happens when all four are what is stored.
  // Otherwise the list pane selects the piece's listed source (none for no
  // piece), and, when the piece changed, both rulers are refreshed, the top
  // one first.
  void SetCurrent(CPieceRecord* piece, CPieceItem* a, CVertexNode* b, CVertexNode* c);

  int32_t SelectMode = 0;
  int32_t SelectIndex = -1;
  int32_t SelectEnabled = 1;
  CPieceRecord* CurrentPiece = nullptr;
  CPieceItem* Value1 = nullptr;
  CVertexNode* Value2 = nullptr;
  CVertexNode* Value3 = nullptr;
};

extern CSelectionState g_Selection;
