// The derived items of a piece rebuilt from its outline: the cut line, from
// the outline and the corner parameters on the outline's vertices for every
// size, and with it the corner items built on the new cut line.
//
// The cut line itself is worked out in tables of positions
// (model/cut_line_tables.h), with the corner constructions in
// model/cut_line_corners.h.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "model/cut_line_tables.h"
#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/items/cut_line_item.h"
#include "model/items/curve_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"

namespace {

// Outline vertices nearer than this (model units, in x and in y) are one.
constexpr int64_t kNearDuplicate = 20;

// Outline vertices nearer than 20 units to the one before them are one: the
// first stays, made a corner.
void MergeNearVertices(CPieceItem* outline) {
  CVertexNode* v = outline->VertexHead;
  if (v && !v->IsMain()) v = outline->NextMainVertex(v);
  if (!v || !v->IsMain()) return;
  for (int32_t guard = 2 * outline->VertexCount + 2; guard > 0 && outline->VertexHead; --guard) {
    CVertexNode* w = outline->NextMainVertex(v);
    if (w == v) return;
    if (std::llabs(static_cast<int64_t>(v->X) - w->X) < kNearDuplicate &&
        std::llabs(static_cast<int64_t>(v->Y) - w->Y) < kNearDuplicate) {
      v->Flags = WithCornerKind(v->Flags);
      outline->RemoveGradedVertex(w);
      continue;
    }
    v = w;
    if (v == outline->VertexHead) return;
  }
}

}  // namespace

int CPieceRecord::RebuildDerivedItems(BOOL withCornerItems) {
  auto removeAll = [this](int32_t type) {
    CPieceItem* item = nullptr;
    while (FindItem(type, &item)) RemoveItem(item);
  };
  // The cut line and the marks built on it are removed and built anew on
  // every rebuild; the items of the outline's corners only when the corner
  // items are rebuilt too. Types go in ascending order.
  for (int32_t type = 0; type < kItemTypeCount; ++type) {
    if (IsRebuiltType(type)) removeAll(type);
  }
  if (withCornerItems) {
    for (int32_t type = 0; type < kItemTypeCount; ++type) {
      if (IsCornerDerivedType(type)) removeAll(type);
    }
  }

  CPieceItem* outline = nullptr;
  if (!FindItem(kItemTypeOutline, &outline)) return 0;
  // The first parameter node with a width decides on which side the cut
  // line runs.
  int params = 0;
  const CVertexNode* deciding = nullptr;
  CVertexNode* node = outline->VertexHead;
  for (int32_t i = 0; node && i < outline->VertexCount; ++i, node = node->Next) {
    if (node->Kind() != kVertexKindParameter) continue;
    ++params;
    if (!deciding && node->X != 0) deciding = node;
  }
  if (!deciding) {
    // No width anywhere: no cut line, and the parameter nodes go.
    node = outline->VertexHead;
    for (int32_t i = 0, count = outline->VertexCount; params > 0 && node && i < count; ++i) {
      if (node->Kind() == kVertexKindParameter) {
        node = outline->RemoveVertex(node);
        --params;
      } else {
        node = node->Next;
      }
    }
    return 1;
  }
  const int widthSign = cut_line::LowHalf(deciding->X) >= 0 && cut_line::HighHalf(deciding->X) >= 0 ? 1 : 0;

  std::unique_ptr<CPieceItem> clone(ClonePieceItem(outline));
  auto* working = dynamic_cast<CPieceCurveItem*>(clone.get());
  if (!working) return 0;
  MergeNearVertices(working);
  working->SmoothCurves();
  RemoveRepeatedParamNodes();

  cut_line::CutLineTables tables(working);
  if (!tables.CollectPositions()) return 0;
  tables.SpreadWidths();
  // A size whose segments are all shorter than a tenth of a millimetre keeps
  // its outline points; the other sizes are offset all the same.
  for (int s = 0; s < g_Style.SizeCount; ++s) tables.OffsetSize(s);
  tables.MergeRepeats();
  tables.Compact();
  if (widthSign == 0) tables.RemoveNearOutline();
  for (int s = 0; s < g_Style.SizeCount; ++s) tables.CutLoops(s);
  tables.MergeRepeats();
  tables.Compact();

  std::unique_ptr<CPieceItem12> made = tables.MakeCutLine();
  if (!made) return 0;
  CPieceItem12* cut = made.get();
  AddItem(made.release());
  cut->RemoveSpikes(widthSign);
  cut->SmoothCurves();
  if (withCornerItems) {
    BuildVShapeExtensions(widthSign);
    BuildType5Extensions(widthSign);
    BuildSegmentExtensions(widthSign);
    BuildCutLineNotches(widthSign);
  }
  return 1;
}
