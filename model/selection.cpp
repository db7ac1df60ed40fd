#include "model/selection.h"

#include "model/piece_record.h"
#include "model/shell_services.h"

CSelectionState g_Selection;

void CSelectionState::Reset() {
  CurrentPiece = nullptr;
  Value1 = nullptr;
  Value2 = nullptr;
  Value3 = nullptr;
}

void CSelectionState::SetCurrent(CPieceRecord* piece, CPieceItem* a, CVertexNode* b, CVertexNode* c) {
  if (piece == CurrentPiece && a == Value1 && b == Value2 && c == Value3) return;
  const bool pieceChanged = piece != CurrentPiece;
  CurrentPiece = piece;
  Value1 = a;
  Value2 = b;
  Value3 = c ? c : b;
  if (g_pListPane) g_pListPane->SelectPiece(CurrentPiece ? CurrentPiece->Link : nullptr);
  if (pieceChanged && g_pChildFrame) {
    if (IRulerBar* top = g_pChildFrame->GetTopRuler()) top->Refresh();
    if (IRulerBar* left = g_pChildFrame->GetLeftRuler()) left->Refresh();
  }
}
