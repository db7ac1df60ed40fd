// The native writer and reader together: a style saved, opened and saved
// again gives the same file, and what the file can hold comes back as it was
// (sizes, header texts, scale, piece texts and fields, main vertices, the
// text items' fonts byte for byte, the slot, marked-line and dimension
// fields). Corner codes the file cannot hold come back in its numbering.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/ptn_reader.h"
#include "formats/ptn_writer.h"
#include "model/item_factory.h"
#include "model/item_types.h"
#include "model/items/dimension_item.h"
#include "model/items/marked_line_item.h"
#include "model/items/marker_items.h"
#include "model/items/text_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/prompts.h"
#include "platform/scripted_prompts.h"
#include "tests/support/clean_style.h"
#include "tests/support/piece_items.h"

namespace {

using Points = std::vector<std::pair<int32_t, int32_t>>;

constexpr int kSizes = 3;
constexpr int32_t kStep = 40;  // how far each size lies from the one before

// A main vertex and its per-size copies, each size kStep further out.
void AddGraded(CPieceItem* item, int32_t x, int32_t y, uint32_t flags = 0) {
  item->AddTailVertex(x, y, flags);
  for (int s = 1; s < kSizes; ++s) item->AddTailVertex(x + kStep * s, y + kStep * s, kVertexKindCopy);
}

CPieceItem* AddItem(CPieceRecord* piece, int type) {
  CPieceItem* item = CreatePieceItem(type).release();
  piece->AddItem(item);
  return item;
}

// A 100 mm square outline (scale 40) with a corner parameter node of `code`
// after its first vertex.
CPieceItem* AddOutline(CPieceRecord* piece, uint32_t code, int32_t dx) {
  CPieceItem* outline = AddItem(piece, kItemTypeOutline);
  AddGraded(outline, dx, 0);
  outline->AddTailVertex(0x00280028, static_cast<int32_t>(code), kVertexKindParameter);
  AddGraded(outline, dx + 4000, 0);
  AddGraded(outline, dx + 4000, 4000);
  AddGraded(outline, dx, 4000);
  return outline;
}

// A style of two pieces with GBK texts and the items whose fields the file
// stores in records of their own.
void BuildStyle() {
  g_Style.SetScale(40);
  g_Style.HeaderText1 = "\xBF\xEE\xCA\xBD";  // 款式
  g_Style.StyleName = "SHIRT-01";
  g_Style.HeaderText3 = "";
  g_Style.HeaderText4 = "\xC3\xE8\xCA\xF6 description";
  g_Style.HeaderText5 = "five";
  const char* names[kSizes] = {"S", "M", "\xB4\xF3"};  // 大
  for (int s = 0; s < kSizes; ++s) {
    g_Style.AddSize(new CSizeRecord(names[s], 10.0 * s + 0.25, -s, 0x0000FF << (8 * s), 1));
  }
  g_Style.SortSizes();

  auto* front = new CPieceRecord;
  front->PieceName = "\xC7\xB0\xC6\xAC";  // 前片
  front->Annotation = "front";
  front->Text3 = "t3";
  front->Quantity = 2;
  front->Category = "body";
  front->Option1 = 7;
  front->Option3 = -3;
  front->DoubleValue = 1.5;
  front->Option4 = 9;
  g_Style.AddPiece(front);
  AddOutline(front, 0, 0);

  CPieceItem* line = AddItem(front, kItemTypeClosedLine);
  AddGraded(line, 1000, 1000);
  AddGraded(line, 3000, 1000);
  AddGraded(line, 2000, 3000);
  line->Tag = 2;

  auto* slot = static_cast<CPieceItem3*>(AddItem(front, kItemTypeSlot));
  AddGraded(slot, 1000, 2000);
  AddGraded(slot, 1600, 2000);
  slot->Style = 16;
  slot->Param0 = 1;
  slot->BarLength = 80;
  slot->SlotEndOffset = 120;
  slot->SlotWidth = 60;
  slot->EyeRadius = 40;
  slot->EyeOuterRadius = 70;

  auto* text = static_cast<CPieceItem11*>(AddItem(front, kItemTypeText));
  text->AnchorX = 1200;
  text->AnchorY = 1800;
  text->Text = "\xB3\xDF\xC2\xEB M";  // 尺码
  text->Font.lfHeight = -320;
  text->Font.lfWeight = 700;
  // A face name that fills its 32 bytes: no terminator in the record.
  std::memcpy(text->Font.lfFaceName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 32);

  auto* marked = static_cast<CPieceItem26*>(AddItem(front, kItemTypeMarkedLine));
  AddGraded(marked, 500, 500);
  AddGraded(marked, 900, 700);
  marked->SizeArrayA = {1, 2, 3};
  marked->SizeArrayB = {4, 5, 6};
  marked->SizeArrayC = {7, 8, 9};
  marked->MarkShape = 2;
  marked->MarkedNode = std::make_unique<CVertexNode>();
  marked->MarkedNode->Flags = 103;
  marked->MarkedNode->X = 700;
  marked->MarkedNode->Y = 600;

  auto* dimension = static_cast<CPieceItem28*>(AddItem(front, kItemTypeDimension));
  // Measured points on the outline, then the dimension line's ends: stored
  // once, not per size.
  dimension->AddTailVertex(0, 0, 0);
  dimension->AddTailVertex(4000, 0, 0);
  dimension->AddTailVertex(0, -400, 0);
  dimension->AddTailVertex(4000, -400, 0);
  dimension->Kind = 1;
  dimension->Text = "W";

  auto* back = new CPieceRecord;
  back->PieceName = "BACK";
  g_Style.AddPiece(back);
  AddOutline(back, 6, 6000);
}

// Saves g_Style to bytes, reads them into a new style and puts that in its
// place; the bytes saved.
std::string SaveAndReopen() {
  const std::vector<uint8_t> saved = BuildPtnFileBytes();
  std::string bytes(saved.begin(), saved.end());
  CStyle read;
  const PtnReadReport report = ReadPtnBytes(bytes, read);
  EXPECT_EQ(report.outcome, PtnReadResult::kSuccess) << report.reason << " at " << report.offset;
  EXPECT_EQ(report.messageId, 0u);
  g_Style.Swap(read);
  return bytes;
}

struct SizeSeen {
  std::string name;
  double key1;
  double key2;
  COLORREF color;
  bool operator==(const SizeSeen&) const = default;
};

std::vector<SizeSeen> Sizes() {
  std::vector<SizeSeen> sizes;
  const CSizeRecord* size = g_Style.SizeRing;
  for (int i = 0; size && i < g_Style.SizeCount; ++i, size = size->Next) {
    sizes.push_back({size->Name.str(), size->SortKey1, size->SortKey2, size->Color});
  }
  return sizes;
}

// Every size's position of each main vertex of the item, size by size.
std::vector<Points> Graded(const CPieceItem* item) {
  std::vector<Points> sizes;
  for (int s = 0; s < kSizes; ++s) {
    Points points;
    for (const CPoint& p : item->MainVertexPositions(s)) points.push_back({p.x, p.y});
    sizes.push_back(points);
  }
  return sizes;
}

// The y words of the outline's corner parameter nodes.
std::vector<uint32_t> CornerCodes(const CPieceRecord* piece) {
  std::vector<uint32_t> codes;
  const CPieceItem* outline = Item(piece, kItemTypeOutline);
  const CVertexNode* node = outline->VertexHead;
  for (int i = 0; i < outline->VertexCount; ++i, node = node->Next) {
    if (node->Kind() == kVertexKindParameter) codes.push_back(static_cast<uint32_t>(node->Y) & 0xFFFF);
  }
  return codes;
}

class PtnRoundTripTest : public CleanStyleTest {
 protected:
  ScriptedPrompts prompts_;
  ScopedPrompts installed_{&prompts_};
};

TEST_F(PtnRoundTripTest, OpenedSavedReopenedAndSavedAgainGivesTheSameFile) {
  BuildStyle();
  const std::string first = SaveAndReopen();
  const std::string once = SaveAndReopen();
  EXPECT_EQ(first, once);
  const std::string twice = SaveAndReopen();
  EXPECT_EQ(once, twice);
  EXPECT_TRUE(prompts_.records().empty());
}

// In a style of one piece the outline is written last; read back, it ends
// the item ring, and the next save writes the items in the same order.
TEST_F(PtnRoundTripTest, AOnePieceStyleKeepsItsItemsInTheOrderWritten) {
  BuildStyle();
  g_Style.RemovePiece(StylePieces()[1]);
  SaveAndReopen();
  const std::vector<int> types = ItemTypes(*StylePieces()[0]);
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(types.back(), kItemTypeOutline);
  const std::string once = SaveAndReopen();
  EXPECT_EQ(ItemTypes(*StylePieces()[0]), types);
  EXPECT_EQ(SaveAndReopen(), once);
}

TEST_F(PtnRoundTripTest, WhatTheFileHoldsComesBack) {
  BuildStyle();
  const std::vector<SizeSeen> sizes = Sizes();
  const CPieceRecord* front = StylePieces()[0];
  const std::vector<Points> outline = Graded(Item(front, kItemTypeOutline));
  const std::vector<Points> line = Graded(Item(front, kItemTypeClosedLine));
  const auto font = static_cast<CPieceItem11*>(Item(front, kItemTypeText))->Font.ToBytes();

  SaveAndReopen();

  EXPECT_EQ(Sizes(), sizes);
  EXPECT_EQ(g_Style.GetScale(), 40);
  EXPECT_EQ(g_Style.DataVersion, 121);
  EXPECT_EQ(g_Style.HeaderText1, "\xBF\xEE\xCA\xBD");
  EXPECT_EQ(g_Style.StyleName, "SHIRT-01");
  EXPECT_EQ(g_Style.HeaderText3, "");
  EXPECT_EQ(g_Style.HeaderText4, "\xC3\xE8\xCA\xF6 description");
  EXPECT_EQ(g_Style.HeaderText5, "five");

  const std::vector<CPieceRecord*> pieces = StylePieces();
  ASSERT_EQ(pieces.size(), 2u);
  const CPieceRecord* p = pieces[0];
  EXPECT_EQ(p->PieceName, "\xC7\xB0\xC6\xAC");
  EXPECT_EQ(p->Annotation, "front");
  EXPECT_EQ(p->Text3, "t3");
  EXPECT_EQ(p->Quantity, 2);
  EXPECT_EQ(p->Category, "body");
  EXPECT_EQ(p->Option1, 7);
  EXPECT_EQ(p->Option3, -3);
  EXPECT_EQ(p->DoubleValue, 1.5);
  EXPECT_EQ(p->Option4, 9);
  EXPECT_EQ(pieces[1]->PieceName, "BACK");

  EXPECT_EQ(Graded(Item(p, kItemTypeOutline)), outline);
  EXPECT_EQ(Graded(Item(p, kItemTypeClosedLine)), line);
  EXPECT_EQ(Item(p, kItemTypeClosedLine)->Tag & 0xF, 2);

  const auto* text = static_cast<CPieceItem11*>(Item(p, kItemTypeText));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text, "\xB3\xDF\xC2\xEB M");
  EXPECT_EQ(std::make_pair(text->AnchorX, text->AnchorY), std::make_pair(1200, 1800));
  EXPECT_EQ(text->Font.ToBytes(), font);

  const auto* slot = static_cast<CPieceItem3*>(Item(p, kItemTypeSlot));
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ((std::vector<int32_t>{slot->Style, slot->Param0, slot->BarLength, slot->SlotEndOffset, slot->SlotWidth,
                                  slot->EyeRadius, slot->EyeOuterRadius}),
            (std::vector<int32_t>{16, 1, 80, 120, 60, 40, 70}));

  const auto* marked = static_cast<CPieceItem26*>(Item(p, kItemTypeMarkedLine));
  ASSERT_NE(marked, nullptr);
  EXPECT_EQ(marked->SizeArrayA, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(marked->SizeArrayB, (std::vector<int32_t>{4, 5, 6}));
  EXPECT_EQ(marked->SizeArrayC, (std::vector<int32_t>{7, 8, 9}));
  EXPECT_EQ(marked->MarkShape, 2);
  ASSERT_NE(marked->MarkedNode, nullptr);
  EXPECT_EQ(std::make_pair(marked->MarkedNode->X, marked->MarkedNode->Y), std::make_pair(700, 600));

  const auto* dimension = static_cast<CPieceItem28*>(Item(p, kItemTypeDimension));
  ASSERT_NE(dimension, nullptr);
  EXPECT_EQ(dimension->Kind, 1);
  EXPECT_EQ(dimension->Text, "W");
}

// The file numbers corner codes its own way and cannot hold every code:
// a code is written from a copy, so the style saved keeps its own, and the
// file's numbering is what comes back.
TEST_F(PtnRoundTripTest, CornerCodesComeBackInTheFilesNumbering) {
  BuildStyle();
  const std::vector<CPieceRecord*> before = StylePieces();
  SaveAndReopen();
  // The saved style was swapped out and is gone; what was read is in place.
  const std::vector<CPieceRecord*> after = StylePieces();
  EXPECT_EQ(CornerCodes(after[0]), std::vector<uint32_t>{10});  // 0 was written as 5
  EXPECT_EQ(CornerCodes(after[1]), std::vector<uint32_t>{6});   // 6 stays
}

TEST_F(PtnRoundTripTest, SavingLeavesTheCornerCodesInMemory) {
  BuildStyle();
  const std::vector<uint8_t> saved = BuildPtnFileBytes();
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(CornerCodes(StylePieces()[0]), std::vector<uint32_t>{0});
}

}  // namespace
