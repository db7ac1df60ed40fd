// The native pattern file reader on the older flat layouts and item records:
// one hand-built file per layout, checked for what its conversion did.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/ptn_layout.h"
#include "formats/ptn_reader.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "tests/formats/ptn_reader_fixture.h"
#include "tests/model/support/fake_shell.h"
#include "tests/model/support/model_fixture.h"

namespace {

using namespace ptn_fixture;

class PtnLayoutTest : public ModelTest {
 protected:
  // Reads `file` into g_Style; the test stops when it is not read.
  CPieceRecord* Read(const FlatFile& file) {
    const PtnReadReport report = ReadPtnBytes(file.Bytes(), g_Style);
    EXPECT_EQ(report.outcome, PtnReadResult::kSuccess) << report.reason;
    return g_Style.PieceRing;
  }
};

FlatFile OneItemFile(uint32_t magic, int32_t version, std::vector<ItemRec> items) {
  FlatFile file;
  file.magic = magic;
  file.version = version;
  PieceRec piece;
  piece.items = std::move(items);
  file.pieces.push_back(piece);
  return file;
}

// A square outline whose every corner is followed by a corner parameter node
// with these x words (the two widths) and corner code 5 in y.
ItemRec OutlineWithParams(const std::vector<int32_t>& widths, bool reversed = false) {
  std::vector<std::pair<int32_t, int32_t>> corners = {{0, 0}, {0, 4000}, {4000, 4000}, {4000, 0}};
  if (reversed) std::swap(corners[1], corners[3]);
  ItemRec outline{0};
  for (size_t i = 0; i < corners.size(); ++i) {
    outline.vertices.push_back({0, corners[i].first, corners[i].second});
    outline.vertices.push_back({128, widths[i], 5});
  }
  return outline;
}

// The corner order the orientation pass keeps (the other one it reverses).
constexpr bool kStaysAsStored = true;

std::vector<CVertexNode*> NodesOfKind(const CPieceItem* item, int kind) {
  std::vector<CVertexNode*> nodes;
  CVertexNode* node = item->VertexHead;
  for (int i = 0; node && i < item->VertexCount; ++i, node = node->Next) {
    if (node->Kind() == kind) nodes.push_back(node);
  }
  return nodes;
}

TEST_F(PtnLayoutTest, OldFlatFileKeepsItsDisplayTextsOnlyWhenAsked) {
  for (int32_t option : {0, 1}) {
    SCOPED_TRACE(option);
    g_OpenOptPtn = option;
    g_PtnText1 = "before";
    g_PtnText2 = "before";
    g_PtnDisplayFlag = 1;
    FlatFile file = OneItemFile(kPtnMagicOldFlat, 110, {SquareOutline(0, 0, 4000)});
    Read(file);
    EXPECT_EQ(g_PtnText1, option == 0 ? "D1" : "before");
    EXPECT_EQ(g_PtnText2, option == 0 ? "D2" : "before");
    EXPECT_EQ(g_PtnDisplayFlag, option == 0 ? 7 : 1);
    EXPECT_EQ(g_Style.HeaderText5, "") << "four style texts before version 116";
  }
}

TEST_F(PtnLayoutTest, OldFlatFileGivesVerticesTheirSizeCopiesAndDropsShortItems) {
  FlatFile file = OneItemFile(kPtnMagicOldFlat, 115,
                              {SquareOutline(0, 0, 4000),
                               ItemRec{9, {{0, 100, 100}}, 2},
                               ItemRec{5, {}},
                               ItemRec{9, {{0, 500, 500}, {0, 1500, 800}}, 2},
                               ItemRec{8, {{1, 1000, 1000}, {1, 2000, 1000}, {1, 1500, 2000}}, 0}});
  file.sizes = {"S", "M", "L"};
  CPieceRecord* piece = Read(file);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(CountItems(piece, kItemTypeTwoPointLine), 0) << "an item without vertices goes";
  ASSERT_EQ(CountItems(piece, kItemTypeOpenLine), 1) << "an open line of one vertex goes";
  CPieceItem* outline = Item(piece, kItemTypeOutline);
  ASSERT_NE(outline, nullptr);
  // Every main vertex of the outline is followed by one copy per further size.
  CVertexNode* node = outline->VertexHead;
  int mains = 0;
  for (int i = 0; i < outline->VertexCount; ++i, node = node->Next) {
    if (!node->IsMain()) continue;
    ++mains;
    EXPECT_EQ(node->Next->Kind(), kVertexKindCopy);
    EXPECT_EQ(node->Next->Next->Kind(), kVertexKindCopy);
  }
  EXPECT_EQ(mains, 4);
  // The stored line attribute plus 1.
  EXPECT_EQ(Item(piece, kItemTypeOpenLine)->Tag & 0xF, 3);
  EXPECT_EQ(Item(piece, kItemTypeClosedLine)->Tag & 0xF, 1);
}

// The orientation pass turns an old flat file's corner parameters the flat
// way while the load-mode word holds the file's magic; a read with no work
// window must turn them exactly as one with a window.
TEST_F(PtnLayoutTest, HeadlessOldFlatReadTurnsCornersAsWithAWindow) {
  for (bool reversed : {false, true}) {
    SCOPED_TRACE(reversed);
    const FlatFile file = OneItemFile(
        kPtnMagicOldFlat, 110, {OutlineWithParams({0x00010002, 0x00030004, 0x00050006, 0x00070008}, reversed)});
    std::vector<NodeState> windowed;
    {
      FakeShell shell;
      CStyle style;
      ASSERT_EQ(ReadPtnBytes(file.Bytes(), style).outcome, PtnReadResult::kSuccess);
      windowed = Nodes(Item(style.PieceRing, kItemTypeOutline));
      EXPECT_EQ(shell.LoadMode, 0);
    }
    ASSERT_EQ(g_pWorkWindow, nullptr);
    CStyle style;
    ASSERT_EQ(ReadPtnBytes(file.Bytes(), style).outcome, PtnReadResult::kSuccess);
    EXPECT_EQ(Nodes(Item(style.PieceRing, kItemTypeOutline)), windowed);
    EXPECT_EQ(GetWorkWindowLoadMode(), 0);
  }
}

TEST_F(PtnLayoutTest, Version105CarriesEachOutgoingWidthIntoTheNextCorner) {
  const std::vector<int32_t> widths = {0x00000011, 0x00000022, 0x00000033, 0x00000044};
  FlatFile file = OneItemFile(kPtnMagicFlat, 105, {OutlineWithParams(widths, kStaysAsStored)});
  ASSERT_FALSE(file.LongVertices()) << "12-byte vertex records";
  CPieceRecord* piece = Read(file);
  ASSERT_NE(piece, nullptr);
  const std::vector<CVertexNode*> mains = Mains(Item(piece, kItemTypeOutline));
  ASSERT_EQ(mains.size(), 4u);
  ASSERT_EQ(mains[1]->X, 4000) << "the outline kept its order";
  const std::vector<CVertexNode*> params = NodesOfKind(Item(piece, kItemTypeOutline), kVertexKindParameter);
  ASSERT_EQ(params.size(), 4u);
  for (size_t i = 0; i < params.size(); ++i) {
    SCOPED_TRACE(i);
    const uint32_t x = static_cast<uint32_t>(params[i]->X);
    const uint32_t before = static_cast<uint32_t>(params[(i + 3) % 4]->X);
    EXPECT_EQ(x >> 16, before & 0xFFFF) << "the incoming width is the outgoing one of the corner before";
  }
  // Version 106 carries nothing.
  file.version = 106;
  piece = Read(file);
  for (CVertexNode* param : NodesOfKind(Item(piece, kItemTypeOutline), kVertexKindParameter)) {
    EXPECT_EQ(static_cast<uint32_t>(param->X) >> 16, 0u);
  }
}

TEST_F(PtnLayoutTest, Version111DropsFlag103NodesAndAddsMarkerWidthNodes) {
  const ItemRec markers{2, {{0, 100, 100}, {64, 110, 200}, {103, 9, 9}, {0, 300, 300}, {64, 310, 400}}};
  FlatFile file = OneItemFile(kPtnMagicFlat, 111, {SquareOutline(0, 0, 4000), markers});
  file.sizes = {"S", "M"};
  file.scale = 40;
  CPieceRecord* piece = Read(file);
  ASSERT_NE(piece, nullptr);
  const std::vector<NodeState> expected = {{100, 100, 0},  {110, 200, 64}, {200, 0, 103}, {200, 200, 103},
                                           {300, 300, 0},  {310, 400, 64}, {200, 0, 103}, {200, 200, 103}};
  EXPECT_EQ(Nodes(Item(piece, kItemTypeFilledMarkers)), expected);

  // From version 112 on the nodes stay as stored.
  file.version = 112;
  piece = Read(file);
  const std::vector<NodeState> stored = {
      {100, 100, 0}, {110, 200, 64}, {9, 9, 103}, {300, 300, 0}, {310, 400, 64}};
  EXPECT_EQ(Nodes(Item(piece, kItemTypeFilledMarkers)), stored);
}

TEST_F(PtnLayoutTest, MarkerWidthNodesFromAHugeScaleStayInRange) {
  const ItemRec markers{4, {{0, 100, 100}}};
  FlatFile file = OneItemFile(kPtnMagicFlat, 110, {SquareOutline(0, 0, 4000), markers});
  file.scale = 0x7FFFFFFF;
  CPieceRecord* piece = Read(file);
  ASSERT_NE(piece, nullptr);
  const std::vector<NodeState> nodes = Nodes(Item(piece, kItemTypeHollowMarkers));
  ASSERT_EQ(nodes.size(), 3u);
  EXPECT_EQ(nodes[1], (NodeState{INT32_MAX, 0, 103}));
}

TEST_F(PtnLayoutTest, CornerCodesAreDecodedFrom118And117WithItsSubVersion) {
  struct Case {
    int32_t version;
    uint16_t subVersion;
    bool decoded;
  };
  const Case kCases[] = {{116, 0, false}, {117, 0, false}, {117, 1175, true}, {118, 0, true}, {121, 0, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.version << "/" << c.subVersion);
    ItemRec outline = OutlineWithParams({0, 0, 0, 0}, kStaysAsStored);
    for (Vertex& v : outline.vertices) {
      if (v.flags == 128) v.y = 1;
    }
    FlatFile file = OneItemFile(kPtnMagicFlat, c.version, {outline});
    file.subVersion = c.subVersion;
    CPieceRecord* piece = Read(file);
    ASSERT_NE(piece, nullptr);
    const std::vector<CVertexNode*> params = NodesOfKind(Item(piece, kItemTypeOutline), kVertexKindParameter);
    ASSERT_FALSE(params.empty());
    // File code 1 is the in-memory code 6.
    EXPECT_EQ(params[0]->Y & 0xFFFF, c.decoded ? 6 : 1);
    EXPECT_EQ(g_Style.HeaderText5, c.version >= 116 ? "T5" : "");
  }
}

TEST_F(PtnLayoutTest, GrainLinesBelow121GetTheirSizeCopies) {
  const ItemRec grain{1, {{0, 2000, 500}, {0, 2000, 3500}}};
  FlatFile file = OneItemFile(kPtnMagicFlat, 120, {SquareOutline(0, 0, 4000), grain});
  file.sizes = {"S", "M", "L"};
  CPieceRecord* piece = Read(file);
  ASSERT_NE(piece, nullptr);
  const std::vector<NodeState> expected = {{2000, 500, 0},  {2000, 500, 64},  {2000, 500, 64},
                                           {2000, 3500, 0}, {2000, 3500, 64}, {2000, 3500, 64}};
  EXPECT_EQ(Nodes(Item(piece, kItemTypeGrainLine)), expected);
  file.version = 121;
  piece = Read(file);
  EXPECT_EQ(Item(piece, kItemTypeGrainLine)->VertexCount, 2);
}

TEST_F(PtnLayoutTest, AliasMagicReadsExactlyAsTheFlatOne) {
  for (int32_t version : {105, 111, 118, 121}) {
    SCOPED_TRACE(version);
    FlatFile file = OneItemFile(kPtnMagicFlat, version,
                                {OutlineWithParams({0x00100020, 0x00300040, 0x00500060, 0x00700080}),
                                 ItemRec{2, {{0, 100, 100}, {103, 1, 1}}},
                                 ItemRec{9, {{0, 500, 500, 0x20000}, {0, 1500, 800}}}});
    file.sizes = {"S", "M"};
    const std::vector<NodeState> flat = Nodes(Item(Read(file), kItemTypeOutline));
    const int32_t tag = Item(g_Style.PieceRing, kItemTypeOpenLine)->Tag;
    file.magic = kPtnMagicFlatAlias;
    CPieceRecord* piece = Read(file);
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(Nodes(Item(piece, kItemTypeOutline)), flat);
    EXPECT_EQ(Item(piece, kItemTypeOpenLine)->Tag, tag);
  }
}

// The line attribute of an internal line travels in its head vertex's
// attribute word and is unpacked once the pieces are in.
TEST_F(PtnLayoutTest, LineAttributeComesFromTheHeadVertex) {
  CPieceRecord* piece = Read(OneItemFile(
      kPtnMagicFlat, 121, {SquareOutline(0, 0, 4000), ItemRec{9, {{0, 500, 500, 0x30000}, {0, 1500, 800}}}}));
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(Item(piece, kItemTypeOpenLine)->Tag & 0xF, 3);
}

TEST_F(PtnLayoutTest, Version122HoldsOneMoreHeaderWord) {
  FlatFile file = OneItemFile(kPtnMagicFlat, 122, {SquareOutline(0, 0, 4000)});
  file.scale = 50;
  CPieceRecord* piece = Read(file);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(g_Style.GetScale(), 50);
  EXPECT_EQ(g_Style.StyleName, "STYLE");
  EXPECT_EQ(g_Style.DataVersion, 121);
}

TEST_F(PtnLayoutTest, OutlineWithoutVerticesCountsAsNone) {
  FlatFile file = OneItemFile(kPtnMagicFlat, 121,
                              {ItemRec{0, {}}, ItemRec{2, {}}, ItemRec{13, {}}, ItemRec{6, {}}, ItemRec{9, {}}});
  file.sizes = {"S", "M"};
  CPieceRecord* piece = Read(file);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(piece->AuxX, kBoxEmptyMax) << "no reference point";
  EXPECT_EQ(piece->AuxY, kBoxEmptyMax);
  EXPECT_EQ(CountItems(piece, kItemTypeFilledMarkers), 1) << "items without vertices are kept";
  // The same with a real outline and an empty marker item.
  file = OneItemFile(kPtnMagicFlat, 121, {SquareOutline(100, 200, 4000), ItemRec{4, {}}, ItemRec{13, {}}});
  piece = Read(file);
  EXPECT_EQ(piece->AuxX, 100);
  EXPECT_EQ(piece->AuxY, 200);
}

TEST_F(PtnLayoutTest, TextWithoutTextIsDroppedAndItsFontComesBackByteForByte) {
  std::string font;
  LeBytes fontBytes;
  fontBytes.I32(-120).I32(0).I32(900).I32(900).I32(700).U8(1).U8(0).U8(1).U8(134).U8(3).U8(2).U8(1).U8(49);
  font = fontBytes.Bytes() + std::string(32, 'A');  // a face name of 32 bytes, no terminator
  ASSERT_EQ(font.size(), 60u);
  ItemRec kept{11};
  kept.body = TextBody(10, 20, "AB\xD6\xD0", font, 4);
  ItemRec empty{11};
  empty.body = TextBody(10, 20, "", font, 0);
  ItemRec negative{11};
  negative.body = TextBody(10, 20, "", font, -3);
  CPieceRecord* piece = Read(OneItemFile(kPtnMagicFlat, 121, {SquareOutline(0, 0, 4000), empty, kept, negative}));
  ASSERT_NE(piece, nullptr);
  ASSERT_EQ(CountItems(piece, kItemTypeText), 1);
  auto* text = static_cast<CPieceItem11*>(Item(piece, kItemTypeText));
  EXPECT_EQ(text->Text, "AB\xD6\xD0");
  EXPECT_EQ(text->AnchorX, 10);
  EXPECT_EQ(text->AnchorY, 20);
  const auto back = text->Font.ToBytes();
  EXPECT_EQ(std::string(back.begin(), back.end()), font);
}

TEST_F(PtnLayoutTest, MarkedLineDimensionAndSlotFields) {
  ItemRec marked{26, {{0, 0, 0}, {0, 1000, 1000}}};
  marked.tail = LeBytes().I32(1).I32(2).I32(3).I32(4).I32(5).I32(6).I32(1).U32(0xA02).I32(7).I32(8).I32(0x0103).Bytes();
  ItemRec dimension{28, {{0, 0, 0}, {0, 4000, 0}, {0, 0, -500}, {0, 4000, -500}}};
  dimension.tail = LeBytes().I32(3).I32(0).I32(0).Str("12.5").Bytes();
  ItemRec slot{3, {{0, 100, 100}, {0, 900, 100}}};
  slot.tail = LeBytes().I32(1).I32(2).I32(3).I32(4).I32(5).I32(6).I32(7).Bytes();
  FlatFile file = OneItemFile(kPtnMagicFlat, 121, {SquareOutline(0, 0, 4000), marked, dimension, slot});
  file.sizes = {"S", "M"};
  CPieceRecord* piece = Read(file);
  ASSERT_NE(piece, nullptr);

  auto* line = static_cast<CPieceItem26*>(Item(piece, kItemTypeMarkedLine));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->SizeArrayA, (std::vector<int32_t>{1, 4}));
  EXPECT_EQ(line->SizeArrayB, (std::vector<int32_t>{2, 5}));
  EXPECT_EQ(line->SizeArrayC, (std::vector<int32_t>{3, 6}));
  ASSERT_NE(line->MarkedNode, nullptr);
  EXPECT_EQ(line->MarkedNode->Flags, 0xA02u);
  EXPECT_EQ(line->MarkedNode->X, 7);
  EXPECT_EQ(line->MarkedNode->Y, 8);
  EXPECT_EQ(line->MarkShape, 0x0103);

  auto* dim = static_cast<CPieceItem28*>(Item(piece, kItemTypeDimension));
  ASSERT_NE(dim, nullptr);
  EXPECT_EQ(dim->Kind, 3);
  EXPECT_EQ(dim->FirstItemType, 0);
  EXPECT_EQ(dim->SecondItemType, 0);
  EXPECT_EQ(dim->Text, "12.5");

  auto* shape = static_cast<CPieceItem3*>(Item(piece, kItemTypeSlot));
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->Style, 1);
  EXPECT_EQ(shape->SlotEndOffset, 2);
  EXPECT_EQ(shape->SlotWidth, 3);
  EXPECT_EQ(shape->Param0, 4);
  EXPECT_EQ(shape->EyeOuterRadius, 5);
  EXPECT_EQ(shape->EyeRadius, 6);
  EXPECT_EQ(shape->BarLength, 7);

  // Below version 118 a slot stores no fields: the same file without them reads.
  slot.tail.clear();
  file = OneItemFile(kPtnMagicFlat, 117, {SquareOutline(0, 0, 4000), slot});
  piece = Read(file);
  ASSERT_NE(Item(piece, kItemTypeSlot), nullptr);
  EXPECT_EQ(static_cast<CPieceItem3*>(Item(piece, kItemTypeSlot))->BarLength, 0);
}

// One piece record read on its own, as the archive readers will: a factor
// away from 1 scales the coordinates, each half of a corner's widths, the
// length some corner codes carry and the slot's lengths.
TEST_F(PtnLayoutTest, ReadPtnElementsScalesByItsFactor) {
  FlatFile file;
  PieceRec record;
  ItemRec outline = SquareOutline(3, -3, 4000);
  const int32_t widths = static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(-3)) << 16) | 5u);
  outline.vertices.insert(outline.vertices.begin() + 1, Vertex{128, widths, (10 << 16) | 13});
  outline.vertices.insert(outline.vertices.begin() + 3, Vertex{128, 0, (10 << 16) | 5});
  record.items.push_back(outline);
  ItemRec slot{3, {{0, 100, 100}}};
  slot.tail = LeBytes().I32(3).I32(2).I32(3).I32(4).I32(5).I32(6).I32(-7).Bytes();
  record.items.push_back(slot);
  ItemRec text{11};
  text.body = TextBody(3, -3, "T", std::string(60, '\0'), 1);
  record.items.push_back(text);
  LeBytes bytes;
  file.WritePiece(bytes, record);

  ByteCursor in(bytes.Bytes());
  CPieceRecord piece;
  ASSERT_EQ(ReadPtnElements(in, 1.5, &piece, kPtnMagicFlat, 121, PtnStyleFacts{1, 40}), 1);
  EXPECT_EQ(in.Remaining(), 0u);
  const std::vector<NodeState> expected = {
      {5, -5, 0},
      {static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(-4)) << 16) | 7u), (15 << 16) | 13, 128},
      {6005, -5, 0},
      {0, (10 << 16) | 5, 128},
      {6005, 5996, 0},
      {5, 5996, 0}};
  EXPECT_EQ(Nodes(Item(&piece, kItemTypeOutline)), expected);
  EXPECT_EQ(piece.AuxX, 5) << "the reference point is the outline's head";
  EXPECT_EQ(piece.AuxY, -5);
  auto* shape = static_cast<CPieceItem3*>(Item(&piece, kItemTypeSlot));
  EXPECT_EQ(shape->Style, 3) << "the shape is no length";
  EXPECT_EQ(shape->SlotEndOffset, 3);
  EXPECT_EQ(shape->BarLength, -11);
  auto* label = static_cast<CPieceItem11*>(Item(&piece, kItemTypeText));
  EXPECT_EQ(label->AnchorX, 5);
  EXPECT_EQ(label->AnchorY, -5);
}

TEST_F(PtnLayoutTest, QuantityIsATextFrom162) {
  FlatFile file;
  file.version = 162;
  PieceRec record;
  record.quantity = 12;
  LeBytes bytes;
  file.WritePiece(bytes, record);
  ByteCursor in(bytes.Bytes());
  CPieceRecord piece;
  ASSERT_EQ(ReadPtnElements(in, 1.0, &piece, kPtnMagicFlat, 162, PtnStyleFacts{1, 40}), 1);
  EXPECT_EQ(piece.Quantity, 12);
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST_F(PtnLayoutTest, ACutRecordFailsAndLeavesWhatWasReadToTheCaller) {
  FlatFile file;
  PieceRec record;
  record.items.push_back(SquareOutline(0, 0, 4000));
  record.items.push_back(ItemRec{9, {{0, 1, 1}, {0, 2, 2}}});
  LeBytes bytes;
  file.WritePiece(bytes, record);
  const std::string all = bytes.Bytes();
  for (size_t n = 0; n < all.size(); ++n) {
    ByteCursor in(std::string_view(all).substr(0, n));
    CPieceRecord piece;
    EXPECT_EQ(ReadPtnElements(in, 1.0, &piece, kPtnMagicFlat, 121, PtnStyleFacts{1, 40}), 0) << n;
  }
}

}  // namespace
