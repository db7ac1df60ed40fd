// Piece records: the item ring, copying a piece and cloning its items.
#include <gtest/gtest.h>

#include <cstring>

#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/piece_record.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

class PieceRecordTest : public ModelTest {};

// The first item of a type code.
CPieceItem* CPieceItemAt(const CPieceRecord* piece, int type) {
  CPieceItem* item = piece->ItemRing;
  for (int i = 0; i < piece->ItemCount; ++i, item = item->Next) {
    if (item->Type == type) return item;
  }
  return nullptr;
}

TEST_F(PieceRecordTest, ItemRingHeadMovesOnAndEmpties) {
  CPieceRecord piece;
  auto* only = new CPieceItem1(nullptr, nullptr);
  piece.AddHeadItem(only);
  EXPECT_EQ(piece.ItemRing, only);
  EXPECT_EQ(only->Next, only);
  EXPECT_EQ(only->Prev, only);
  auto* second = new CPieceItem2(nullptr, nullptr);
  auto* third = new CPieceItem4(nullptr, nullptr);
  piece.AddItem(second);
  piece.AddItem(third);
  piece.AddItem(nullptr);
  EXPECT_EQ(piece.ItemCount, 3);
  piece.RemoveItem(only);
  EXPECT_EQ(piece.ItemRing, second);
  EXPECT_EQ(third->Next, second);
  auto* before = new CPieceItem5(nullptr, nullptr);
  EXPECT_EQ(piece.InsertItemBefore(second, before), 3);
  EXPECT_EQ(piece.ItemRing, second);
  EXPECT_EQ(third->Next, before);
  auto* after = new CPieceItem6(nullptr, nullptr);
  EXPECT_EQ(piece.InsertItemAfter(second, after), 4);
  EXPECT_EQ(second->Next, after);
  for (CPieceItem* item : std::initializer_list<CPieceItem*>{before, second, after}) piece.RemoveItem(item);
  piece.RemoveItem(third);
  EXPECT_EQ(piece.ItemRing, nullptr);
  EXPECT_EQ(piece.ItemCount, 0);
}

TEST_F(PieceRecordTest, NewPieceHasAnEmptyBox) {
  CPieceRecord piece;
  EXPECT_EQ(piece.BoxMinX, 0x7FFFFFFF);
  EXPECT_EQ(piece.BoxMaxX, static_cast<int32_t>(0x80000001u));
  EXPECT_EQ(piece.PlacedRight, static_cast<int32_t>(0x80000001u));
  EXPECT_EQ(piece.Quantity, 1);
  EXPECT_EQ(piece.Option2, 2);
}

// One item of every type code, each with its own nodes, flags, attributes
// and values, so that any field lost or mixed up in a copy shows.
CPieceRecord* PieceWithEveryItemType() {
  auto* piece = new CPieceRecord;
  for (int type = 0; type < kItemTypeCount; ++type) {
    std::unique_ptr<CPieceItem> ownedItem = CreatePieceItem(type);
    CPieceItem* item = ownedItem.get();
    EXPECT_NE(item, nullptr) << type;
    if (!item) continue;
    EXPECT_EQ(item->Type, type);
    item->Tag = 1000 + type;
    for (int k = 0; k < 3; ++k) {
      // Distinct, non-coincident vertices: smoothing keeps them as they are.
      CVertexNode* main = item->AddTailVertex(type * 100 + k * 7, k * 13, static_cast<uint32_t>(k) | 0x40100);
      main->Attributes = 0x30000u + static_cast<uint32_t>(type);
      main->Value = type * 10 + k;
      CVertexNode* copy = item->AddTailVertex(type * 100 + k * 7 + 1, k * 13 + 1, 64);
      copy->Value = -k;
    }
    item->AddTailVertex(0x00050003, 7, 128);  // a corner parameter node
    switch (type) {
      case 3: {
        auto* slot = static_cast<CPieceItem3*>(item);
        slot->Style = 16;
        slot->Param0 = 1;
        slot->BarLength = 2;
        slot->SlotEndOffset = 3;
        slot->SlotWidth = 4;
        slot->EyeRadius = 5;
        slot->EyeOuterRadius = 6;
        break;
      }
      case 7: case 20: case 25:
        static_cast<CPieceSegmentItem*>(item)->SegmentWord = 40 + type;
        break;
      case 11: {
        auto* text = static_cast<CPieceItem11*>(item);
        text->AnchorX = -5;
        text->AnchorY = 9;
        text->SetText("\xC7\xB0\xC6\xAC\nline");
        text->Font.lfHeight = 300;
        text->Font.lfEscapement = 900;
        std::strcpy(text->Font.lfFaceName, "Song");
        break;
      }
      case 26: {
        auto* marked = static_cast<CPieceItem26*>(item);
        marked->PenSelector = 0;
        marked->SizeArrayA = {1, 2};
        marked->SizeArrayB = {3, 4};
        marked->SizeArrayC = {5, 6};
        marked->MarkShape = 0x0102;  // square mark, and a cross marker belongs to it
        marked->MarkedNode = std::make_unique<CVertexNode>();
        marked->MarkedNode->X = 11;
        marked->MarkedNode->Y = 12;
        marked->MarkedNode->Flags = 0xA02;
        break;
      }
      case 28: {
        auto* dimension = static_cast<CPieceItem28*>(item);
        dimension->Kind = 0x103;
        dimension->FirstItemType = 0;
        dimension->SecondItemType = 9;
        dimension->Text = "12.5";
        break;
      }
      default:
        break;
    }
    piece->AddItem(ownedItem.release());
  }
  piece->PieceName = "\xC7\xB0\xC6\xAC";
  piece->Annotation = "note";
  piece->Text3 = "t3";
  piece->Category = "cat";
  piece->Quantity = 2;
  piece->PointA = CPoint(1, 2);
  piece->PointB = CPoint(3, 4);
  piece->Option1 = 5;
  piece->Option2 = 3;
  piece->Flag = 6;
  piece->Option3 = 7;
  piece->DoubleValue = 1.25;
  piece->Option4 = 8;
  piece->BoxMinX = -10;
  piece->BoxMaxX = 10;
  piece->BoxMinY = -20;
  piece->BoxMaxY = 20;
  piece->PlacedLeft = 100;
  piece->PlacedTop = 200;
  piece->PlacedRight = 300;
  piece->PlacedBottom = 400;
  piece->AuxX = 11;
  piece->AuxY = 12;
  piece->OriginX = 13;
  piece->OriginY = 14;
  piece->AllowEdit = 1;
  return piece;
}

void ExpectSameNodes(const CPieceItem& a, const CPieceItem& b) {
  ASSERT_EQ(a.VertexCount, b.VertexCount);
  const CVertexNode* x = a.VertexHead;
  const CVertexNode* y = b.VertexHead;
  for (int i = 0; i < a.VertexCount; ++i, x = x->Next, y = y->Next) {
    SCOPED_TRACE(i);
    EXPECT_NE(x, y);
    EXPECT_EQ(x->Flags, y->Flags);
    EXPECT_EQ(x->X, y->X);
    EXPECT_EQ(x->Y, y->Y);
    EXPECT_EQ(x->Value, y->Value);
    EXPECT_EQ(x->Attributes, y->Attributes);
    EXPECT_EQ(y->Next->Prev, y);
  }
  EXPECT_EQ(y, b.VertexHead);
}

TEST_F(PieceRecordTest, DuplicateKeepsTextsBoxesItemsAndNodes) {
  AddSizes(2);
  std::unique_ptr<CPieceRecord> source(PieceWithEveryItemType());
  std::unique_ptr<CPieceRecord> copy(DuplicatePiece(source.get()));
  ASSERT_NE(copy, nullptr);

  EXPECT_EQ(copy->PieceName, source->PieceName);
  EXPECT_EQ(copy->Annotation, "note");
  EXPECT_EQ(copy->Text3, "t3");
  EXPECT_EQ(copy->Category, "cat");
  EXPECT_EQ(copy->Quantity, 2);
  EXPECT_EQ(copy->PointA, CPoint(1, 2));
  EXPECT_EQ(copy->PointB, CPoint(3, 4));
  EXPECT_EQ(copy->Option1, 5);
  EXPECT_EQ(copy->Option2, 3);
  EXPECT_EQ(copy->Flag, 6);
  EXPECT_EQ(copy->Option3, 7);
  EXPECT_EQ(copy->DoubleValue, 1.25);
  EXPECT_EQ(copy->Option4, 8);
  EXPECT_EQ(CRect(copy->BoxMinX, copy->BoxMinY, copy->BoxMaxX, copy->BoxMaxY), CRect(-10, -20, 10, 20));
  EXPECT_EQ(CRect(copy->PlacedLeft, copy->PlacedTop, copy->PlacedRight, copy->PlacedBottom),
            CRect(100, 200, 300, 400));
  EXPECT_EQ(CPoint(copy->AuxX, copy->AuxY), CPoint(11, 12));
  EXPECT_EQ(CPoint(copy->OriginX, copy->OriginY), CPoint(13, 14));
  EXPECT_EQ(copy->Prev, nullptr);
  EXPECT_EQ(copy->Next, nullptr);
  EXPECT_EQ(copy->AllowEdit, 0);
  EXPECT_EQ(copy->Linked, 0);
  EXPECT_EQ(copy->Link, nullptr);

  ASSERT_EQ(copy->ItemCount, kItemTypeCount) << "every type copies, the quadrilateral frame (29) too";
  const CPieceItem* a = source->ItemRing;
  const CPieceItem* b = copy->ItemRing;
  for (int i = 0; i < kItemTypeCount; ++i, a = a->Next, b = b->Next) {
    SCOPED_TRACE(testing::Message() << "type " << a->Type);
    EXPECT_NE(a, b);
    EXPECT_EQ(b->Type, a->Type);
    EXPECT_EQ(typeid(*b), typeid(*a));
    EXPECT_EQ(b->Tag, a->Tag);
    ExpectSameNodes(*a, *b);
  }

  auto* slot = static_cast<CPieceItem3*>(CPieceItemAt(copy.get(), 3));
  EXPECT_EQ(slot->Style, 16);
  EXPECT_EQ(slot->Param0 + slot->BarLength + slot->SlotEndOffset + slot->SlotWidth, 10);
  EXPECT_EQ(slot->EyeRadius * 10 + slot->EyeOuterRadius, 56);
  for (int type : {7, 20, 25}) {
    EXPECT_EQ(static_cast<CPieceSegmentItem*>(CPieceItemAt(copy.get(), type))->SegmentWord, 40 + type);
  }
  auto* text = static_cast<CPieceItem11*>(CPieceItemAt(copy.get(), 11));
  auto* sourceText = static_cast<CPieceItem11*>(CPieceItemAt(source.get(), 11));
  EXPECT_EQ(text->Text, "\xC7\xB0\xC6\xAC\nline");
  EXPECT_EQ(CPoint(text->AnchorX, text->AnchorY), CPoint(-5, 9));
  EXPECT_EQ(text->Font.ToBytes(), sourceText->Font.ToBytes());
  auto* marked = static_cast<CPieceItem26*>(CPieceItemAt(copy.get(), 26));
  EXPECT_EQ(marked->PenSelector, 1) << "not among the copied words";
  EXPECT_EQ(marked->SizeArrayA, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(marked->SizeArrayC, (std::vector<int32_t>{5, 6}));
  EXPECT_EQ(marked->MarkShape, 0x0102);
  ASSERT_NE(marked->MarkedNode, nullptr);
  EXPECT_NE(marked->MarkedNode.get(), static_cast<CPieceItem26*>(CPieceItemAt(source.get(), 26))->MarkedNode.get());
  EXPECT_EQ(CPoint(marked->MarkedNode->X, marked->MarkedNode->Y), CPoint(11, 12));
  EXPECT_EQ(marked->MarkedNode->Flags, 0xA02u);
  auto* dimension = static_cast<CPieceItem28*>(CPieceItemAt(copy.get(), 28));
  EXPECT_EQ(dimension->Kind, 0x103);
  EXPECT_EQ(dimension->SecondItemType, 9);
  EXPECT_EQ(dimension->Text, "12.5");
  // The copy's cross marker is tied to the copy's marked line.
  auto* marker = static_cast<CPieceItem27*>(CPieceItemAt(copy.get(), 27));
  EXPECT_EQ(marker->MarkLink, marked);
  EXPECT_NE(marker->Dot, 0);
}

TEST_F(PieceRecordTest, MarkedLineWithoutMarkerLosesTheFlagInTheCopyOnly) {
  AddSizes(1);
  CPieceRecord source;
  auto* marked = new CPieceItem26(nullptr, nullptr);
  marked->MarkShape = 0x0301;
  source.AddItem(marked);
  std::unique_ptr<CPieceRecord> copy(DuplicatePiece(&source));
  EXPECT_EQ(static_cast<CPieceItem26*>(copy->ItemRing)->MarkShape, 0x0001);
  EXPECT_EQ(marked->MarkShape, 0x0301);
  EXPECT_EQ(static_cast<CPieceItem26*>(copy->ItemRing)->MarkedNode, nullptr);
}

TEST_F(PieceRecordTest, CloneRefusesWhatItCannotMake) {
  EXPECT_EQ(ClonePieceItem(nullptr), nullptr);
  CPieceItem unknown(30, nullptr, nullptr);
  EXPECT_EQ(ClonePieceItem(&unknown), nullptr);
  CPieceItem negative(-1, nullptr, nullptr);
  EXPECT_EQ(ClonePieceItem(&negative), nullptr);
}

TEST_F(PieceRecordTest, RawCopyLoadModeSkipsTheSegmentWord) {
  FakeShell shell;
  CPieceItem7 source(nullptr, nullptr);
  source.SegmentWord = 1;
  source.Tag = 3;
  shell.LoadMode = kLoadModeRawCopy;
  std::unique_ptr<CPieceItem> raw(ClonePieceItem(&source));
  EXPECT_EQ(static_cast<CPieceItem7*>(raw.get())->SegmentWord, 0);
  EXPECT_EQ(raw->Tag, 3);
  shell.LoadMode = 0;
  std::unique_ptr<CPieceItem> full(ClonePieceItem(&source));
  EXPECT_EQ(static_cast<CPieceItem7*>(full.get())->SegmentWord, 1);
}

TEST_F(PieceRecordTest, CurveRingsFollowTheSizes) {
  auto sizes = AddSizes(2);
  CPieceItem0 outline(nullptr, nullptr);
  AddGraded(&outline, 0, 0, 0);
  outline.AddTailVertex(0x00010002, 5, 128);
  AddGraded(&outline, 50, 0, 1);
  outline.BuildCurveRings();
  EXPECT_EQ(outline.GetCurveCount(sizes[0]), 2);
  EXPECT_EQ(outline.GetCurvePoints(sizes[1]), (std::vector<CPoint>{{10, 100}, {60, 100}}));
  EXPECT_EQ(outline.GetCurveHead(sizes[1])->Next->Flags, 1u);
  EXPECT_EQ(outline.FindCurveVertex(sizes[1], 60, 100), outline.GetCurveHead(sizes[1])->Next);
  // A size added later is not among the rings: nothing is read beyond them.
  auto* later = new CSizeRecord("late", 9, 0, 0, 1);
  g_Style.AddSize(later);
  EXPECT_EQ(outline.GetCurveCount(later), 0);
  EXPECT_TRUE(outline.GetCurvePoints(later).empty());
}

}  // namespace
