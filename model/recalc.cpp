// Bringing a piece's derived state up to date after it was loaded or
// changed: its clean-ups, one node per size for every outline vertex, and
// its bounding box, with the placed rectangle in the work area moved along.
#include <algorithm>
#include <memory>
#include <vector>

#include "model/grading.h"
#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/items/curve_item.h"
#include "model/items/dimension_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"

namespace {

// Gives every main vertex of the outline exactly `sizes` - 1 copies: extra
// copies at the end of its group go, missing ones are added at the place of
// the group's last node.
void FitOutlineGroups(CPieceItem* outline, int32_t sizes) {
  std::vector<CVertexNode*> mains;
  CVertexNode* node = outline->VertexHead;
  for (int32_t i = 0; node && i < outline->VertexCount; ++i, node = node->Next) {
    if (node->IsMain()) mains.push_back(node);
  }
  for (CVertexNode* main : mains) {
    int32_t copies = 0;
    CVertexNode* after = main->Next;
    while (after != main && after->Kind() == kVertexKindCopy && copies < outline->VertexCount) {
      ++copies;
      after = after->Next;
    }
    for (; copies > sizes - 1; --copies) outline->RemoveVertex(after->Prev);
    if (copies < sizes - 1) {
      const CVertexNode* last = after->Prev;
      const int32_t x = last->X;
      const int32_t y = last->Y;
      for (; copies < sizes - 1; ++copies) outline->InsertVertexBefore(after, x, y, kVertexKindCopy);
    }
  }
}

}  // namespace

void CPieceRecord::RemoveUnanchoredLinkItems() {
  CPieceItem* item = ItemRing;
  for (int32_t i = 0, count = ItemCount; item && i < count; ++i) {
    CPieceItem* next = item->Next;
    auto* dimension = dynamic_cast<CPieceItem28*>(item);
    if (item->Type == kItemTypeDimension && dimension) {
      CVertexNode* first = dimension->VertexHead;
      const bool anchored = first &&
                            FindVertex(first->X, first->Y, dimension->FirstItemType, nullptr) &&
                            FindVertex(first->Next->X, first->Next->Y, dimension->SecondItemType, nullptr);
      if (!anchored) {
        const bool last = ItemCount == 1;
        RemoveItem(item);
        if (last) return;
      }
    }
    item = next;
  }
}

void CPieceRecord::Recalc(int all) {
  CarryGradedKeyVertices();
  ShareGradedKeyVertices();
  RemoveUnanchoredLinkItems();

  CPieceItem* notches = nullptr;
  if (FindItem(kItemTypeNotches, &notches) && (!notches->VertexHead || notches->VertexCount < 1)) RemoveItem(notches);

  CPieceItem* outline = nullptr;
  if (FindItem(kItemTypeOutline, &outline) && g_Style.SizeCount > 0) FitOutlineGroups(outline, g_Style.SizeCount);

  const int32_t oldMinX = BoxMinX;
  const int32_t oldMaxX = BoxMaxX;
  const int32_t oldMinY = BoxMinY;
  const int32_t oldMaxY = BoxMaxY;
  BoxMinX = kBoxEmptyMin;
  BoxMaxX = kExtentEmptyMax;
  BoxMinY = kBoxEmptyMin;
  BoxMaxY = kExtentEmptyMax;
  CPieceItem* item = ItemRing;
  for (int32_t i = 0; item && i < ItemCount; ++i, item = item->Next) {
    if (item->Type == kItemTypeMarkedLine && g_DrawFlagType26 == 0) continue;
    // Each item reports into a box of its own: some start their box afresh.
    int minX = kBoxEmptyMin;
    int maxX = kExtentEmptyMax;
    int minY = kBoxEmptyMin;
    int maxY = kExtentEmptyMax;
    item->GetExtent(all, &minX, &maxX, &minY, &maxY);
    BoxMinX = std::min(BoxMinX, minX);
    BoxMaxX = std::max(BoxMaxX, maxX);
    BoxMinY = std::min(BoxMinY, minY);
    BoxMaxY = std::max(BoxMaxY, maxY);
  }
  // The placed rectangle keeps its place relative to the box. Against the
  // empty-box markers the differences wrap in 32 bits, as they always did.
  PlacedLeft = WrapAdd(PlacedLeft, WrapSub(BoxMinX, oldMinX));
  PlacedRight = WrapAdd(PlacedRight, WrapSub(BoxMaxX, oldMaxX));
  PlacedTop = WrapAdd(PlacedTop, WrapSub(BoxMinY, oldMinY));
  PlacedBottom = WrapAdd(PlacedBottom, WrapSub(BoxMaxY, oldMaxY));
}

void CPieceRecord::SetOutlineVertexKind(CVertexNode* node, uint32_t flags) {
  CPieceItem* outline = nullptr;
  if (!node || !FindItem(kItemTypeOutline, &outline)) return;
  const std::unique_ptr<CPieceItem> before(ClonePieceItem(outline));
  CPieceItem* notches = nullptr;
  FindItem(kItemTypeNotches, &notches);

  node->Flags = flags;
  // The spline points the old kind made around the vertex go; grading and
  // smoothing make the new ones.
  outline->RemoveGradedVerticesAround(node);
  GradePiece(outline);
  if (auto* curve = dynamic_cast<CPieceCurveItem*>(outline)) curve->SmoothCurves();

  if (notches) {
    notches->UpdateNotchesFromOutline(before.get(), outline, 0);
    if (notches->VertexCount == 0) RemoveItem(notches);
  }
  RebuildDerivedItems(TRUE);
  Recalc(1);
}
