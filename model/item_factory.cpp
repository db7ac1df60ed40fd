#include "model/item_factory.h"

#include <memory>

#include "model/item_types.h"
#include "model/items/all_items.h"
#include "model/shell_services.h"

std::unique_ptr<CPieceItem> CreatePieceItem(int type) {
  switch (type) {
    case kItemTypeOutline: return std::make_unique<CPieceItem0>(nullptr, nullptr);
    case kItemTypeGrainLine: return std::make_unique<CPieceItem1>(nullptr, nullptr);
    case kItemTypeFilledMarkers: return std::make_unique<CPieceItem2>(nullptr, nullptr);
    case kItemTypeSlot: return std::make_unique<CPieceItem3>(nullptr, nullptr);
    case kItemTypeHollowMarkers: return std::make_unique<CPieceItem4>(nullptr, nullptr);
    case kItemTypeTwoPointLine: return std::make_unique<CPieceItem5>(nullptr, nullptr);
    case kItemTypeVShape: return std::make_unique<CPieceItem6>(nullptr, nullptr);
    case kItemTypeSegmentPairs: return std::make_unique<CPieceItem7>(nullptr, nullptr);
    case kItemTypeClosedLine: return std::make_unique<CPieceItem8>(nullptr, nullptr);
    case kItemTypeOpenLine: return std::make_unique<CPieceItem9>(nullptr, nullptr);
    case kItemTypeCircles: return std::make_unique<CPieceItem10>(nullptr, nullptr);
    case kItemTypeText: return std::make_unique<CPieceItem11>(nullptr, nullptr);
    case kItemTypeCutLine: return std::make_unique<CPieceItem12>(nullptr, nullptr);
    case kItemTypeNotches: return std::make_unique<CPieceItem13>(nullptr, nullptr);
    case kItemTypeSolidClosedLine: return std::make_unique<CPieceItem14>(nullptr, nullptr);
    case kItemTypeSolidOpenLine: return std::make_unique<CPieceItem15>(nullptr, nullptr);
    case kItemTypeDerivedCircles: return std::make_unique<CPieceItem16>(nullptr, nullptr);
    case kItemTypeDerivedLine: return std::make_unique<CPieceItem17>(nullptr, nullptr);
    case kItemTypeDerivedNotches: return std::make_unique<CPieceItem18>(nullptr, nullptr);
    case kItemTypeDerivedCornerMark: return std::make_unique<CPieceItem19>(nullptr, nullptr);
    case kItemTypeDerivedSegments: return std::make_unique<CPieceItem20>(nullptr, nullptr);
    case kItemTypeContour: return std::make_unique<CPieceItem21>(nullptr, nullptr);
    case kItemTypeDottedLine: return std::make_unique<CPieceItem22>(nullptr, nullptr);
    case kItemTypeDottedNotches: return std::make_unique<CPieceItem23>(nullptr, nullptr);
    case kItemTypeCornerMarks: return std::make_unique<CPieceItem24>(nullptr, nullptr);
    case kItemTypeEndTicks: return std::make_unique<CPieceItem25>(nullptr, nullptr);
    case kItemTypeMarkedLine: return std::make_unique<CPieceItem26>(nullptr, nullptr);
    case kItemTypeCrossMarker: return std::make_unique<CPieceItem27>(nullptr, nullptr);
    case kItemTypeDimension: return std::make_unique<CPieceItem28>(nullptr, nullptr);
    case kItemTypeFrame: return std::make_unique<CPieceItem29>(nullptr, nullptr);
    default: return nullptr;
  }
}

namespace {
// The fields each class adds to the item base. Classes are matched by their
// dynamic type, so an item whose type code and class disagree copies only
// what both have.
void CopyClassFields(const CPieceItem& source, CPieceItem& copy) {
  if (auto* from = dynamic_cast<const CPieceItem3*>(&source)) {
    if (auto* to = dynamic_cast<CPieceItem3*>(&copy)) {
      to->Style = from->Style;
      to->Param0 = from->Param0;
      to->BarLength = from->BarLength;
      to->SlotEndOffset = from->SlotEndOffset;
      to->SlotWidth = from->SlotWidth;
      to->EyeRadius = from->EyeRadius;
      to->EyeOuterRadius = from->EyeOuterRadius;
    }
  } else if (auto* from = dynamic_cast<const CPieceItem11*>(&source)) {
    if (auto* to = dynamic_cast<CPieceItem11*>(&copy)) {
      to->AnchorX = from->AnchorX;
      to->AnchorY = from->AnchorY;
      to->Font = from->Font;
      to->Text = from->Text;
    }
  } else if (auto* from = dynamic_cast<const CPieceItem26*>(&source)) {
    if (auto* to = dynamic_cast<CPieceItem26*>(&copy)) {
      to->SizeArrayA = from->SizeArrayA;
      to->SizeArrayB = from->SizeArrayB;
      to->SizeArrayC = from->SizeArrayC;
      to->MarkShape = from->MarkShape;
      if (from->MarkedNode) {
        auto node = std::make_unique<CVertexNode>();
        node->X = from->MarkedNode->X;
        node->Y = from->MarkedNode->Y;
        node->Flags = from->MarkedNode->Flags;
        to->MarkedNode = std::move(node);
      }
    }
  } else if (auto* from = dynamic_cast<const CPieceItem28*>(&source)) {
    if (auto* to = dynamic_cast<CPieceItem28*>(&copy)) {
      to->Kind = from->Kind;
      to->FirstItemType = from->FirstItemType;
      to->SecondItemType = from->SecondItemType;
      to->Text = from->Text;
    }
  }
}

void CopyVertexRing(const CPieceItem& source, CPieceItem& copy) {
  const CVertexNode* node = source.VertexHead;
  for (int32_t i = 0; i < source.VertexCount && node; ++i, node = node->Next) {
    CVertexNode* twin = new CVertexNode;
    twin->X = node->X;
    twin->Y = node->Y;
    twin->Flags = node->Flags;
    twin->Attributes = node->Attributes;
    twin->Value = node->Value;
    copy.AddTail(twin);
  }
}

// Rebuilds what the copy derives from its vertices, and copies the segment
// items' own word, which belongs to the same step.
void RebuildDerivedData(const CPieceItem& source, CPieceItem& copy) {
  if (auto* curve = dynamic_cast<CPieceCurveItem*>(&copy)) {
    // The copy's vertex ring is the source's: its curves are the source's
    // when those are current, which SmoothCurves then checks.
    if (auto* from = dynamic_cast<const CPieceCurveItem*>(&source)) curve->CopyCurvesFrom(*from);
    curve->SmoothCurves();
  } else if (auto* marked = dynamic_cast<CPieceItem26*>(&copy)) {
    marked->Smooth();
  } else if (auto* to = dynamic_cast<CPieceSegmentItem*>(&copy)) {
    if (auto* from = dynamic_cast<const CPieceSegmentItem*>(&source)) to->SegmentWord = from->SegmentWord;
  }
}
}  // namespace

std::unique_ptr<CPieceItem> ClonePieceItem(const CPieceItem* source) {
  if (!source) return nullptr;
  std::unique_ptr<CPieceItem> copy = CreatePieceItem(source->Type);
  if (!copy) return nullptr;
  CopyClassFields(*source, *copy);
  CopyVertexRing(*source, *copy);
  if (GetWorkWindowLoadMode() != kLoadModeRawCopy) RebuildDerivedData(*source, *copy);
  copy->Tag = source->Tag;
  return copy;
}
