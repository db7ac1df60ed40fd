#include "model/piece_record.h"

#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/items/cross_marker_item.h"
#include "model/items/curve_item.h"
#include "model/items/marked_line_item.h"
#include "model/piece_item.h"

CPieceRecord::~CPieceRecord() {
  CPieceItem* item = ItemRing;
  for (int32_t i = 0; i < ItemCount && item; ++i) {
    CPieceItem* next = item->Next;
    delete item;
    item = next;
  }
  ItemRing = nullptr;
  ItemCount = 0;
}

void CPieceRecord::AddItem(CPieceItem* item) {
  if (!item) return;
  if (!ItemRing) {
    item->Prev = item;
    item->Next = item;
    ItemRing = item;
    ItemCount = 1;
    return;
  }
  InsertItemBefore(ItemRing, item);
}

void CPieceRecord::AddHeadItem(CPieceItem* item) {
  if (!item) return;
  AddItem(item);
  ItemRing = item;
}

int32_t CPieceRecord::InsertItemBefore(CPieceItem* at, CPieceItem* item) {
  if (!item || !at) return ItemCount;
  item->Prev = at->Prev;
  item->Next = at;
  at->Prev->Next = item;
  at->Prev = item;
  return ++ItemCount;
}

int32_t CPieceRecord::InsertItemAfter(CPieceItem* at, CPieceItem* item) {
  if (!item || !at) return ItemCount;
  item->Next = at->Next;
  item->Prev = at;
  at->Next->Prev = item;
  at->Next = item;
  return ++ItemCount;
}

void CPieceRecord::RemoveItem(CPieceItem* item) {
  if (!item) return;
  if (ItemCount != 1) {
    if (item == ItemRing) ItemRing = item->Next;
    item->Prev->Next = item->Next;
    item->Next->Prev = item->Prev;
    --ItemCount;
  } else {
    ItemRing = nullptr;
    ItemCount = 0;
  }
  delete item;
}

void CPieceRecord::UpdateCurveItems() {
  CPieceItem* item = ItemRing;
  for (int32_t i = 0; i < ItemCount && item; ++i, item = item->Next) {
    switch (item->Type) {
      case kItemTypeOutline: case kItemTypeClosedLine: case kItemTypeOpenLine: case kItemTypeCutLine:
      case kItemTypeSolidClosedLine: case kItemTypeSolidOpenLine: case kItemTypeContour:
        if (auto* curve = dynamic_cast<CPieceCurveItem*>(item)) curve->SmoothCurves();
        break;
      case kItemTypeMarkedLine:
        if (auto* marked = dynamic_cast<CPieceItem26*>(item)) marked->Smooth();
        break;
      default:
        break;
    }
  }
}

std::unique_ptr<CPieceRecord> DuplicatePiece(const CPieceRecord* source) {
  if (!source) return nullptr;
  auto copy = std::make_unique<CPieceRecord>();
  copy->PieceName = source->PieceName;
  copy->Annotation = source->Annotation;
  copy->Text3 = source->Text3;
  copy->Quantity = source->Quantity;
  copy->Category = source->Category;
  copy->PointA = source->PointA;
  copy->PointB = source->PointB;
  copy->Option1 = source->Option1;
  copy->Option2 = source->Option2;
  copy->Flag = source->Flag;
  copy->Option3 = source->Option3;
  copy->DoubleValue = source->DoubleValue;
  copy->Option4 = source->Option4;
  copy->BoxMinX = source->BoxMinX;
  copy->BoxMaxX = source->BoxMaxX;
  copy->BoxMinY = source->BoxMinY;
  copy->BoxMaxY = source->BoxMaxY;
  copy->PlacedLeft = source->PlacedLeft;
  copy->PlacedTop = source->PlacedTop;
  copy->PlacedRight = source->PlacedRight;
  copy->PlacedBottom = source->PlacedBottom;
  copy->AuxX = source->AuxX;
  copy->AuxY = source->AuxY;
  copy->OriginX = source->OriginX;
  copy->OriginY = source->OriginY;
  // The copy belongs to no ring and has no work-area link yet.

  const CPieceItem* item = source->ItemRing;
  for (int32_t i = 0; i < source->ItemCount && item; ++i, item = item->Next) {
    copy->AddItem(ClonePieceItem(item).release());
  }
  LinkDuplicatedMarkItems(copy.get());
  return copy;
}

namespace {
CPieceItem* FirstItemOfType(const CPieceRecord& piece, int32_t type) {
  CPieceItem* item = piece.ItemRing;
  for (int32_t i = 0; i < piece.ItemCount && item; ++i, item = item->Next) {
    if (item->Type == type) return item;
  }
  return nullptr;
}

constexpr int32_t kCompanionByte = 0xFF00;  // mark-shape byte: a cross marker belongs to the line
}  // namespace

void LinkDuplicatedMarkItems(CPieceRecord* piece) {
  if (!piece) return;
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; i < piece->ItemCount && item; ++i, item = item->Next) {
    if (item->Type != kItemTypeMarkedLine) continue;
    auto* marked = dynamic_cast<CPieceItem26*>(item);
    if (!marked || (marked->MarkShape & kCompanionByte) == 0) continue;
    auto* marker = dynamic_cast<CPieceItem27*>(FirstItemOfType(*piece, kItemTypeCrossMarker));
    if (marker) {
      // The tie shows as the marker's centre dot.
      marker->MarkLink = marked;
      marker->Dot = 1;
      return;
    }
    marked->MarkShape &= ~kCompanionByte;
  }
}
