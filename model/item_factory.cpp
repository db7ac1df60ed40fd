#include "model/item_factory.h"

#include <memory>

#include "model/items/all_items.h"
#include "model/shell_services.h"

CPieceItem* CreatePieceItem(int type) {
  switch (type) {
    case 0: return new CPieceItem0(nullptr, nullptr);
    case 1: return new CPieceItem1(nullptr, nullptr);
    case 2: return new CPieceItem2(nullptr, nullptr);
    case 3: return new CPieceItem3(nullptr, nullptr);
    case 4: return new CPieceItem4(nullptr, nullptr);
    case 5: return new CPieceItem5(nullptr, nullptr);
    case 6: return new CPieceItem6(nullptr, nullptr);
    case 7: return new CPieceItem7(nullptr, nullptr);
    case 8: return new CPieceItem8(nullptr, nullptr);
    case 9: return new CPieceItem9(nullptr, nullptr);
    case 10: return new CPieceItem10(nullptr, nullptr);
    case 11: return new CPieceItem11(nullptr, nullptr);
    case 12: return new CPieceItem12(nullptr, nullptr);
    case 13: return new CPieceItem13(nullptr, nullptr);
    case 14: return new CPieceItem14(nullptr, nullptr);
    case 15: return new CPieceItem15(nullptr, nullptr);
    case 16: return new CPieceItem16(nullptr, nullptr);
    case 17: return new CPieceItem17(nullptr, nullptr);
    case 18: return new CPieceItem18(nullptr, nullptr);
    case 19: return new CPieceItem19(nullptr, nullptr);
    case 20: return new CPieceItem20(nullptr, nullptr);
    case 21: return new CPieceItem21(nullptr, nullptr);
    case 22: return new CPieceItem22(nullptr, nullptr);
    case 23: return new CPieceItem23(nullptr, nullptr);
    case 24: return new CPieceItem24(nullptr, nullptr);
    case 25: return new CPieceItem25(nullptr, nullptr);
    case 26: return new CPieceItem26(nullptr, nullptr);
    case 27: return new CPieceItem27(nullptr, nullptr);
    case 28: return new CPieceItem28(nullptr, nullptr);
    case 29: return new CPieceItem29(nullptr, nullptr);
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
    curve->SmoothCurves();
  } else if (auto* marked = dynamic_cast<CPieceItem26*>(&copy)) {
    marked->Smooth();
  } else if (auto* to = dynamic_cast<CPieceSegmentItem*>(&copy)) {
    if (auto* from = dynamic_cast<const CPieceSegmentItem*>(&source)) to->SegmentWord = from->SegmentWord;
  }
}
}  // namespace

CPieceItem* ClonePieceItem(const CPieceItem* source) {
  if (!source) return nullptr;
  CPieceItem* copy = CreatePieceItem(source->Type);
  if (!copy) return nullptr;
  CopyClassFields(*source, *copy);
  CopyVertexRing(*source, *copy);
  if (GetWorkWindowLoadMode() != kLoadModeRawCopy) RebuildDerivedData(*source, *copy);
  copy->Tag = source->Tag;
  return copy;
}
