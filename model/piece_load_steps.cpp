#include "model/piece_load_steps.h"

#include "model/corner_codes.h"
#include "model/item_types.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "model/work_area.h"

namespace {

// The work window's scale while the loaded pieces are repaired: the pick
// tolerances of the rebuild are measured in pixels of this scale.
constexpr double kRepairViewScale = 3.0;

// The highest kind a marker item's head vertex may have for the item to stay:
// the main vertex kinds a reader makes.
constexpr int kHighestMarkerHeadKind = 5;

CPieceItem* FirstItemOf(const CPieceRecord* piece, int32_t type) {
  CPieceItem* item = nullptr;
  return piece->FindItem(type, &item) ? item : nullptr;
}

// The notch item is trimmed against the outline and goes when no notch is
// left; the first marker item goes when its head vertex is no main vertex of
// a reader's kinds (a file that stored something else there); the V shapes
// are tied to the outline.
void RunOutlineChecks(CPieceRecord* piece) {
  if (CPieceItem* notches = FirstItemOf(piece, kItemTypeNotches)) {
    if (CPieceItem* outline = PtnOutlineOf(piece)) {
      notches->TrimAgainstOutline(outline);
      if (notches->VertexCount == 0) piece->RemoveItem(notches);
    }
  }
  CPieceItem* markers = FirstItemOf(piece, kItemTypeFilledMarkers);
  if (!markers) markers = FirstItemOf(piece, kItemTypeHollowMarkers);
  if (markers && markers->VertexHead && markers->VertexHead->Kind() > kHighestMarkerHeadKind) {
    piece->RemoveItem(markers);
  }
  AttachType6ItemsToOutline(piece);
}

}  // namespace

CPieceItem* PtnOutlineOf(const CPieceRecord* piece) {
  CPieceItem* outline = FirstItemOf(piece, kItemTypeOutline);
  return outline && outline->VertexHead && outline->VertexCount > 0 ? outline : nullptr;
}

void FinishPtnPieceRecord(CPieceRecord* piece) {
  piece->RemoveDuplicateLines();
  if (CPieceItem* outline = PtnOutlineOf(piece)) {
    piece->AuxX = outline->VertexHead->X;
    piece->AuxY = outline->VertexHead->Y;
  }
}

void RunPtnPieceSteps(CPieceRecord* piece, const PtnPieceSteps& steps) {
  switch (steps.cornerPass) {
    case PtnCornerPass::kConvertOldVertexLayout: piece->ConvertOldVertexLayout(); break;
    case PtnCornerPass::kDecodeCornerCodes: piece->DecodeCornerCodes(); break;
    case PtnCornerPass::kNone: break;
  }
  piece->NormalizeVertexKinds();
  piece->JoinOpenLines();
  {
    ScopedLoadMode mode(steps.loadMagic);
    piece->NormalizeOrientation(1);
  }
  piece->UpdateCurveItems();
  piece->Recalc(0);
  piece->UpgradeCornerParams();
  if (steps.outlineChecks) RunOutlineChecks(piece);
}

bool RunPtnClosingPass(const PtnClosingPass& pass) {
  CPieceRecord* piece = g_Style.PieceRing;
  for (int32_t i = 0; piece && i < g_Style.PieceCount; ++i, piece = piece->Next) {
    if (g_pListPane) g_pListPane->AddPiece(piece);
  }
  if (pass.repair) {
    ScopedViewScale scale(kRepairViewScale, pass.viewScaleAfterRepair);
    if (g_Style.RepairLoadedPieces() == 0) return false;
    piece = g_Style.PieceRing;
    for (int32_t i = 0; piece && i < g_Style.PieceCount; ++i, piece = piece->Next) {
      piece->NormalizeVertexKinds();
      piece->RebuildDerivedItems(1);
    }
  }
  g_Style.MarkItems7OffOutline();
  g_Style.DataVersion = g_DefaultDataVersion;
  if (pass.unpackLineAttributes) UnpackLineAttributes();
  return true;
}
