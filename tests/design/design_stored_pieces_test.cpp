// The stored pieces of a design file (data version 150 and later): what each
// version and magic word stores, the item classes and tails, the per-piece
// steps and closing pass they get, and the damaged sections they refuse.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/core/stored_pieces.h"
#include "model/item_types.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/model/support/fake_shell.h"
#include "tests/support/clean_style.h"
#include "tests/support/piece_items.h"

namespace {

using namespace design_fixture;

// A writer with no design contents and empty header names: its file ends
// with the stored-pieces section, which for no size and no piece takes 17
// bytes (the scale, five empty names, the two counts).
constexpr size_t kEmptySectionBytes = 4 + 5 * 1 + 4 + 4;

DesignArchiveWriter Writer(int32_t version, uint32_t magic = kMagicB5686E9D) {
  DesignArchiveWriter writer(version);
  writer.header().magic = magic;
  return writer;
}

// The stored-pieces section of the writer's file: what follows the design
// part, which is the same as that of a writer with no stored pieces.
std::string SectionOf(DesignArchiveWriter& writer) {
  const DesignArchiveWriter bare = Writer(writer.version(), writer.header().magic);
  const size_t prefix = bare.Bytes().size() - kEmptySectionBytes;
  return writer.Bytes().substr(prefix);
}

StoredVertex V(int32_t x, int32_t y, int32_t flags = 0, int32_t attributes = 0) {
  StoredVertex v;
  v.flags = flags;
  v.x = x;
  v.y = y;
  v.attributes = attributes;
  return v;
}

StoredItemFields ItemOf(int32_t code, std::vector<StoredVertex> vertices = {}) {
  StoredItemFields item;
  item.code = code;
  item.vertices = std::move(vertices);
  return item;
}

// A square outline, counter-clockwise as the model keeps closed rings.
StoredItemFields Outline(int32_t x0 = 100, int32_t y0 = 200) {
  return ItemOf(0, {V(x0, y0), V(x0 + 1000, y0), V(x0 + 1000, y0 + 1000), V(x0, y0 + 1000)});
}

StoredPieceFields PieceOf(std::vector<StoredItemFields> items, std::string name = "P") {
  StoredPieceFields piece;
  piece.strings[0] = std::move(name);
  piece.items = std::move(items);
  return piece;
}

// An 8-byte header word that holds the point (x, y).
double PointWord(int32_t x, int32_t y) {
  const uint64_t bits = static_cast<uint64_t>(static_cast<uint32_t>(x)) |
                        (static_cast<uint64_t>(static_cast<uint32_t>(y)) << 32);
  return std::bit_cast<double>(bits);
}

std::string WithU32At(std::string bytes, size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(v >> (8 * i));
  return bytes;
}

class StoredPiecesTest : public CleanStyleTest {
 protected:
  void SetUp() override {
    CleanStyleTest::SetUp();
    RegisterPieceItemCodes();
  }

  // Reads a section as ReadPieces gets it from the design loader.
  BOOL ReadSection(std::string section, int32_t version, uint32_t magic) {
    section_ = std::move(section);
    archive_ = std::make_unique<ArchiveReader>(std::string_view(section_));
    data_ = std::make_unique<CPatternData>();
    return data_->ReadPieces(*archive_, version, magic);
  }
  BOOL Read(DesignArchiveWriter& writer) {
    return ReadSection(SectionOf(writer), writer.version(), writer.header().magic);
  }
  const DesignLoadFailure& Failure() const { return data_->GetLoadFailure(); }

  // The first listed piece's first item of `type`.
  static CPieceItem* FirstItem(int type) { return Item(g_Style.PieceRing, type); }

  FakeShell shell_;
  std::string section_;
  std::unique_ptr<ArchiveReader> archive_;
  std::unique_ptr<CPatternData> data_;
};

TEST_F(StoredPiecesTest, ReadsTheStyleHeaderSizesAndPiecesIntoTheStyleAndListPane) {
  DesignArchiveWriter writer = Writer(162);
  writer.stored_scale() = 25;
  const char* names[5] = {"H1", "STYLE", "H3", "H4", "H5"};
  for (int i = 0; i < 5; ++i) writer.stored_name(i) = names[i];
  writer.AddStoredSize({"L", 3.0, 0.0, 0x0000FF});
  writer.AddStoredSize({"S", 1.0, 0.0, 0x00FF00});
  StoredPieceFields first = PieceOf({Outline()}, "FRONT");
  first.strings[1] = "annotation";
  first.strings[2] = "third";
  first.fourth = "category";
  first.d1 = PointWord(3, -4);
  first.d2 = PointWord(5, 6);
  first.i1 = 11;
  first.corner_mode = 1;
  first.i3 = 12;
  first.i4 = 13;
  first.d3 = 9.5;
  first.u1 = 0xFFFFFFFEu;
  writer.AddStoredPiece(first);
  writer.AddStoredPiece(PieceOf({Outline(5000, 0)}, "BACK"));

  ASSERT_EQ(Read(writer), 1) << Failure().reason;
  EXPECT_EQ(archive_->Remaining(), 0u);
  EXPECT_EQ(g_Style.GetScale(), 25);
  EXPECT_EQ(g_Style.HeaderText1, "H1");
  EXPECT_EQ(g_Style.StyleName, "STYLE");
  EXPECT_EQ(g_Style.HeaderText3, "H3");
  EXPECT_EQ(g_Style.HeaderText4, "H4");
  EXPECT_EQ(g_Style.HeaderText5, "H5");
  // The size ring keeps the file order; the size array is sorted.
  ASSERT_EQ(g_Style.SizeCount, 2);
  EXPECT_EQ(g_Style.SizeRing->Name, "L");
  ASSERT_EQ(g_Style.SizeArray.size(), 2u);
  EXPECT_EQ(g_Style.SizeArray[0]->Name, "S");
  EXPECT_EQ(g_Style.SizeArray[0]->Color, 0x00FF00u);
  EXPECT_EQ(g_Style.SizeArray[0]->Visible, 1);
  EXPECT_EQ(g_Style.DataVersion, 121);
  EXPECT_EQ(g_Style.Mode, 0);

  ASSERT_EQ(g_Style.PieceCount, 2);
  CPieceRecord* piece = g_Style.PieceRing;
  EXPECT_EQ(piece->PieceName, "FRONT");
  EXPECT_EQ(piece->Annotation, "annotation");
  EXPECT_EQ(piece->Text3, "third");
  EXPECT_EQ(piece->Quantity, 1);
  EXPECT_EQ(piece->Category, "category");
  EXPECT_EQ(piece->PointA, CPoint(3, -4));
  EXPECT_EQ(piece->PointB, CPoint(5, 6));
  EXPECT_EQ(piece->Option1, 11);
  EXPECT_EQ(piece->Option2, 1);
  EXPECT_EQ(piece->Flag, 12);
  EXPECT_EQ(piece->Option3, 13);
  EXPECT_EQ(piece->DoubleValue, 9.5);
  EXPECT_EQ(piece->Option4, -2);
  EXPECT_EQ(piece->AuxX, 100);
  EXPECT_EQ(piece->AuxY, 200);
  EXPECT_EQ(piece->Next->PieceName, "BACK");
  // Listed in ring order, and the load-mode word put back.
  EXPECT_EQ(shell_.entries, (std::vector<CPieceRecord*>{piece, piece->Next}));
  EXPECT_EQ(shell_.LoadMode, 0);
}

// What each version stores of an open line's attribute, and what each magic
// word stores per vertex: the head vertex's attribute word gives the line
// attribute only at version 150; from 151 on the item record does.
TEST_F(StoredPiecesTest, VersionsAndMagicWordsTable) {
  constexpr int32_t kItemAttribute = 3;
  constexpr int32_t kVertexAttribute = 5 << 16;
  struct Case {
    int32_t version;
    uint32_t magic;
    int32_t tag;
  };
  const Case kCases[] = {
      {150, kMagicAAAAAAAA, 5}, {150, kMagic99999999, 5}, {150, kMagicB5686E9D, 0}, {151, kMagicAAAAAAAA, 3},
      {154, kMagicB5686E99, 3}, {159, kMagicAAAAAAAA, 3}, {160, kMagicB5686E9D, 3}, {161, kMagicAAAAAAAA, 3},
      {162, kMagicB5686E9D, 3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.version << " 0x" << std::hex << c.magic);
    DesignArchiveWriter writer = Writer(c.version, c.magic);
    writer.AddStoredSize({"M", 1.0, 0.0, 0});
    StoredItemFields line = ItemOf(kItemTypeOpenLine, {V(300, 300, 0, kVertexAttribute), V(600, 400)});
    line.attributes = kItemAttribute;
    StoredPieceFields piece = PieceOf({Outline(), line});
    piece.piece_integer = 7;
    writer.AddStoredPiece(piece);
    ASSERT_EQ(Read(writer), 1) << Failure().reason;
    EXPECT_EQ(archive_->Remaining(), 0u);
    ASSERT_NE(FirstItem(kItemTypeOpenLine), nullptr);
    EXPECT_EQ(FirstItem(kItemTypeOpenLine)->Tag, c.tag);
    EXPECT_EQ(g_Style.PieceRing->Quantity, 7);
    EXPECT_EQ(g_Style.DataVersion, 121);
  }
}

// Under 0xAAAAAAAA every vertex record is one word longer than under
// 0xB5686E9D; both read whole, to the same vertices.
TEST_F(StoredPiecesTest, AttributeWordPerVertexOnlyUnderItsMagicWords) {
  std::vector<size_t> lengths;
  for (uint32_t magic : {kMagicB5686E9D, kMagicAAAAAAAA}) {
    DesignArchiveWriter writer = Writer(151, magic);
    writer.AddStoredPiece(PieceOf({Outline()}));
    lengths.push_back(SectionOf(writer).size());
    ASSERT_EQ(Read(writer), 1) << Failure().reason;
    EXPECT_EQ(archive_->Remaining(), 0u);
    ASSERT_NE(FirstItem(kItemTypeOutline), nullptr);
    EXPECT_EQ(FirstItem(kItemTypeOutline)->VertexCount, 4);
  }
  EXPECT_EQ(lengths[1], lengths[0] + 4 * 4);
}

TEST_F(StoredPiecesTest, PieceIntegerAndArrowStyleTable) {
  struct Case {
    int32_t version;
    const char* text;  // stored from 162 on
    int32_t stored;    // stored below 162
    int32_t arrow;
    int32_t quantity;
    int32_t option2;
  };
  const Case kCases[] = {
      {162, "2", 0, 3, 2, 3},   {162, "", 0, 7, 1, 2},  {162, " 12x", 0, 0, 12, 0},
      {162, "x", 0, -1, 0, 2},  {161, nullptr, 5, 4, 5, 2}, {150, nullptr, -3, 2, -3, 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.version << " " << (c.text ? c.text : "-") << " " << c.arrow);
    DesignArchiveWriter writer = Writer(c.version);
    StoredPieceFields piece = PieceOf({Outline()});
    if (c.text) piece.piece_integer_text = c.text;
    piece.piece_integer = c.stored;
    piece.corner_mode = c.arrow;
    writer.AddStoredPiece(piece);
    ASSERT_EQ(Read(writer), 1) << Failure().reason;
    EXPECT_EQ(g_Style.PieceRing->Quantity, c.quantity);
    EXPECT_EQ(g_Style.PieceRing->Option2, c.option2);
  }
}

TEST_F(StoredPiecesTest, TextItemsKeepTheirTextAnchorAndFontAndAnEmptyOneGoes) {
  DesignArchiveWriter writer = Writer(160);
  StoredItemFields empty = ItemOf(kItemTypeText);
  empty.text_x = 1;
  empty.font.face = "Arial";
  StoredItemFields label = ItemOf(kItemTypeText);
  label.text_x = 400;
  label.text_y = -500;
  label.text = "\xC7\xB0\xC6\xAC";  // GBK bytes, kept as stored
  label.font.height = 350;
  label.font.escapement = 900;
  label.font.face = "SimSun";
  writer.AddStoredPiece(PieceOf({Outline(), empty, label}));
  ASSERT_EQ(Read(writer), 1) << Failure().reason;
  EXPECT_EQ(archive_->Remaining(), 0u);
  ASSERT_EQ(CountItems(g_Style.PieceRing, kItemTypeText), 1);
  auto* text = dynamic_cast<CPieceItem11*>(FirstItem(kItemTypeText));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Text, "\xC7\xB0\xC6\xAC");
  EXPECT_EQ(text->AnchorX, 400);
  EXPECT_EQ(text->AnchorY, -500);
  EXPECT_EQ(text->Font.lfHeight, 350);
  EXPECT_EQ(text->Font.lfEscapement, 900);
  EXPECT_STREQ(text->Font.lfFaceName, "SimSun");
}

// Codes 14, 15 and 16 make the classes of types 8, 9 and 10; the attribute
// and reserved words of codes 8 and 9 are not stored for them.
TEST_F(StoredPiecesTest, CodesOfSolidLinesAndDerivedCirclesReadAsTheirPlainTypes) {
  DesignArchiveWriter writer = Writer(162);
  writer.AddStoredPiece(PieceOf({Outline(), ItemOf(14, {V(300, 300), V(600, 300), V(600, 600)}),
                                 ItemOf(15, {V(300, 700), V(700, 800)}), ItemOf(16, {V(500, 500), V(550, 500)})}));
  ASSERT_EQ(Read(writer), 1) << Failure().reason;
  EXPECT_EQ(archive_->Remaining(), 0u);
  EXPECT_EQ(ItemTypes(*g_Style.PieceRing),
            (std::vector<int>{kItemTypeOutline, kItemTypeClosedLine, kItemTypeOpenLine, kItemTypeCircles}));
}

TEST_F(StoredPiecesTest, SlotTailFillsItsFieldsInStoredOrder) {
  DesignArchiveWriter writer = Writer(155);
  StoredItemFields slot = ItemOf(kItemTypeSlot, {V(300, 300), V(300, 600)});
  const int32_t stored[7] = {10, 20, 30, 40, 50, 60, 70};
  std::memcpy(slot.tail3, stored, sizeof stored);
  writer.AddStoredPiece(PieceOf({Outline(), slot}));
  ASSERT_EQ(Read(writer), 1) << Failure().reason;
  auto* read = dynamic_cast<CPieceItem3*>(FirstItem(kItemTypeSlot));
  ASSERT_NE(read, nullptr);
  const std::vector<int32_t> fields = {read->Style,    read->Param0,    read->BarLength,     read->SlotEndOffset,
                                       read->SlotWidth, read->EyeRadius, read->EyeOuterRadius};
  EXPECT_EQ(fields, (std::vector<int32_t>{10, 40, 70, 20, 30, 60, 50}));
}

TEST_F(StoredPiecesTest, MarkedLineTailWithAndWithoutItsExtraNode) {
  for (int32_t flag : {0, 1}) {
    SCOPED_TRACE(flag);
    DesignArchiveWriter writer = Writer(161, kMagicAAAAAAAA);
    writer.AddStoredSize({"S", 1.0, 0.0, 0});
    writer.AddStoredSize({"M", 2.0, 0.0, 0});
    StoredItemFields line = ItemOf(kItemTypeMarkedLine, {V(300, 300, 2), V(600, 300, 2)});
    line.per_size26 = {{1, 2, 3}, {4, 5, 0xFFFFFFFFu}};
    line.flag26 = flag;
    line.extra26 = V(450, 310, 2);
    line.last26 = 0x102;
    writer.AddStoredPiece(PieceOf({line}));
    ASSERT_EQ(Read(writer), 1) << Failure().reason;
    EXPECT_EQ(archive_->Remaining(), 0u);
    auto* read = dynamic_cast<CPieceItem26*>(FirstItem(kItemTypeMarkedLine));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->SizeArrayA, (std::vector<int32_t>{1, 4}));
    EXPECT_EQ(read->SizeArrayB, (std::vector<int32_t>{2, 5}));
    EXPECT_EQ(read->SizeArrayC, (std::vector<int32_t>{3, -1}));
    EXPECT_EQ(read->MarkShape, 0x102);
    if (flag == 0) {
      EXPECT_EQ(read->MarkedNode, nullptr);
    } else {
      ASSERT_NE(read->MarkedNode, nullptr);
      EXPECT_EQ(read->MarkedNode->X, 450);
      EXPECT_EQ(read->MarkedNode->Y, 310);
      EXPECT_EQ(read->MarkedNode->Flags, 2u);
    }
  }
}

TEST_F(StoredPiecesTest, DimensionTailFillsItsFieldsAndText) {
  DesignArchiveWriter writer = Writer(150);
  StoredItemFields dimension = ItemOf(kItemTypeDimension, {V(100, 200), V(1100, 200)});
  dimension.ints28[0] = 2;
  dimension.ints28[1] = kItemTypeOutline;
  dimension.ints28[2] = kItemTypeOutline;
  dimension.text28 = "W";
  writer.AddStoredPiece(PieceOf({Outline(), dimension}));
  ASSERT_EQ(Read(writer), 1) << Failure().reason;
  EXPECT_EQ(archive_->Remaining(), 0u);
  auto* read = dynamic_cast<CPieceItem28*>(FirstItem(kItemTypeDimension));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Kind, 2);
  EXPECT_EQ(read->FirstItemType, kItemTypeOutline);
  EXPECT_EQ(read->Text, "W");
}

// The stored pieces carry the in-memory corner codes: a corner parameter
// node's code comes back as stored (the flat files' decoding would turn code
// 2 into 7). The notch item still gets the outline check: of a notch on an
// outline vertex and one far off it, only the first stays.
TEST_F(StoredPiecesTest, CornerCodesStayAndNotchesOffTheOutlineGo) {
  constexpr int32_t kParameterFlags = kVertexKindParameter;
  constexpr int32_t kStoredCornerCode = 2;
  DesignArchiveWriter writer = Writer(162, kMagicB5686E9D);
  writer.AddStoredSize({"M", 1.0, 0.0, 0});
  StoredItemFields outline = Outline();
  outline.vertices.insert(outline.vertices.begin() + 1, V(0, kStoredCornerCode, kParameterFlags));
  StoredItemFields notches = ItemOf(kItemTypeNotches, {V(1100, 200), V(1100, 300, 101), V(0, 0, 102),
                                                       V(1100, 200, 104), V(5000, 5000), V(5100, 5000, 101),
                                                       V(0, 0, 102), V(5000, 5000, 104)});
  writer.AddStoredPiece(PieceOf({outline, notches}));
  ASSERT_EQ(Read(writer), 1) << Failure().reason;
  CPieceItem* kept = FirstItem(kItemTypeNotches);
  ASSERT_NE(kept, nullptr);
  ASSERT_EQ(kept->VertexCount, 4);
  EXPECT_EQ(CPoint(kept->VertexHead->X, kept->VertexHead->Y), CPoint(1100, 200));
  CPieceItem* read = FirstItem(kItemTypeOutline);
  ASSERT_NE(read, nullptr);
  CVertexNode* parameter = read->VertexHead;
  for (int32_t i = 0; i < read->VertexCount && parameter->Kind() != kVertexKindParameter; ++i) {
    parameter = parameter->Next;
  }
  ASSERT_EQ(parameter->Kind(), kVertexKindParameter);
  EXPECT_EQ(parameter->Y, kStoredCornerCode);
}

TEST_F(StoredPiecesTest, ReferencePointIsTheOutlineHeadOrTheOrigin) {
  struct Case {
    const char* name;
    std::vector<StoredItemFields> items;
    CPoint aux;
  };
  const Case kCases[] = {
      {"outline", {ItemOf(kItemTypeOpenLine, {V(9, 9), V(99, 9)}), Outline(30, 40)}, CPoint(30, 40)},
      {"no outline", {ItemOf(kItemTypeOpenLine, {V(9, 9), V(99, 9)})}, CPoint(0, 0)},
      {"empty outline", {ItemOf(kItemTypeOutline)}, CPoint(0, 0)},
      {"no item", {}, CPoint(0, 0)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DesignArchiveWriter writer = Writer(152);
    writer.AddStoredPiece(PieceOf(c.items));
    ASSERT_EQ(Read(writer), 1) << Failure().reason;
    ASSERT_EQ(g_Style.PieceCount, 1);
    EXPECT_EQ(CPoint(g_Style.PieceRing->AuxX, g_Style.PieceRing->AuxY), c.aux);
  }
}

TEST_F(StoredPiecesTest, ScaleOfZeroOrLessFails) {
  for (int32_t scale : {0, -10}) {
    SCOPED_TRACE(scale);
    DesignArchiveWriter writer = Writer(150);
    writer.stored_scale() = scale;
    writer.AddStoredPiece(PieceOf({Outline()}));
    EXPECT_EQ(Read(writer), 0);
    EXPECT_EQ(Failure().fault, DesignLoadFault::kMalformed);
    EXPECT_EQ(Failure().offset, 4u);
    EXPECT_EQ(Failure().reason, "stored pieces: scale of 0 or less");
    EXPECT_EQ(g_Style.PieceCount, 0);
  }
}

TEST_F(StoredPiecesTest, ItemCodeWithoutClassFailsNamingPieceAndItem) {
  for (int32_t code : {30, -1}) {
    SCOPED_TRACE(code);
    DesignArchiveWriter writer = Writer(162);
    writer.AddStoredPiece(PieceOf({Outline()}));
    writer.AddStoredPiece(PieceOf({Outline(), ItemOf(kItemTypeOpenLine, {V(1, 1), V(2, 2)}), ItemOf(code)}));
    EXPECT_EQ(Read(writer), 0);
    EXPECT_EQ(Failure().fault, DesignLoadFault::kUnknownCode);
    EXPECT_EQ(Failure().reason, "stored piece 1: item 2: item code " + std::to_string(code) + " has no class");
    // The pieces before it are in the style; the one being read is not.
    EXPECT_EQ(g_Style.PieceCount, 1);
  }
}

// Counts of 0x7FFFFFFF for the pieces, the sizes, the items and the
// vertices fail before anything is made from them.
TEST_F(StoredPiecesTest, HugeCountsFailAtOnce) {
  DesignArchiveWriter writer = Writer(162, kMagicAAAAAAAA);
  writer.AddStoredPiece(PieceOf({Outline()}));
  const std::string whole = SectionOf(writer);
  DesignArchiveWriter noItem = Writer(162, kMagicAAAAAAAA);
  noItem.AddStoredPiece(PieceOf({}));
  const size_t itemCountAt = SectionOf(noItem).size() - 4;
  struct Case {
    const char* name;
    size_t offset;
    size_t stop;  // both counts of the section are read before either is checked
  };
  const Case kCases[] = {
      {"pieces", 9, 17}, {"sizes", 13, 17}, {"items", itemCountAt, itemCountAt + 4},
      {"vertices", itemCountAt + 12, itemCountAt + 16},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadSection(WithU32At(whole, c.offset, 0x7FFFFFFF), 162, kMagicAAAAAAAA), 0);
    EXPECT_EQ(Failure().fault, DesignLoadFault::kMalformed);
    EXPECT_EQ(Failure().offset, c.stop);
    EXPECT_EQ(g_Style.PieceCount, 0);
  }
}

// Outline vertices get one copy per size once read: a small section of many
// sizes and many outline vertices that would make the style grow far beyond
// itself fails before the copies are made.
TEST_F(StoredPiecesTest, ManySizesTimesManyOutlineVerticesFail) {
  constexpr int kSizes = 5000;
  constexpr int kVertices = 4000;  // 4000 x 4999 copies pass the bound
  DesignArchiveWriter writer = Writer(162);
  for (int i = 0; i < kSizes; ++i) writer.AddStoredSize({"", static_cast<double>(i), 0.0, 0});
  StoredItemFields outline = ItemOf(kItemTypeOutline);
  for (int i = 0; i < kVertices; ++i) outline.vertices.push_back(V(i, (i % 2) * 10));
  writer.AddStoredPiece(PieceOf({outline}));
  EXPECT_EQ(Read(writer), 0);
  EXPECT_EQ(Failure().fault, DesignLoadFault::kMalformed);
  EXPECT_EQ(Failure().reason, "stored piece 0: more vertices than the sizes allow");
  EXPECT_EQ(g_Style.PieceCount, 0);
}

// A section with a record of every kind of tail, the text item and sizes.
DesignArchiveWriter FullSection(int32_t version, uint32_t magic) {
  DesignArchiveWriter writer = Writer(version, magic);
  writer.stored_name(1) = "STYLE";
  writer.AddStoredSize({"M", 2.0, 0.0, 0xFF});
  writer.AddStoredSize({"S", 1.0, 0.0, 0xFF00});
  StoredItemFields text = ItemOf(kItemTypeText);
  text.text = "T";
  text.font.face = "Arial";
  StoredItemFields slot = ItemOf(kItemTypeSlot, {V(300, 300), V(300, 600)});
  slot.tail3[0] = 1;
  StoredItemFields marked = ItemOf(kItemTypeMarkedLine, {V(300, 300, 2), V(600, 300, 2)});
  marked.per_size26 = {{1, 2, 3}, {4, 5, 6}};
  marked.flag26 = 1;
  marked.extra26 = V(450, 300, 2);
  StoredItemFields dimension = ItemOf(kItemTypeDimension, {V(100, 200), V(1100, 200)});
  dimension.text28 = "D";
  StoredItemFields line = ItemOf(kItemTypeOpenLine, {V(200, 900, 0, 1 << 16), V(900, 900)});
  line.attributes = 2;
  StoredPieceFields piece = PieceOf({Outline(), text, slot, marked, dimension, line, ItemOf(14, {V(1, 1)})});
  piece.piece_integer_text = "3";
  piece.fourth = "C";
  writer.AddStoredPiece(piece);
  writer.AddStoredPiece(PieceOf({Outline(3000, 0)}, "Q"));
  return writer;
}

// Every read of the section is checked: each prefix of a whole section fails
// as damaged (and frees what it made), the whole reads to its last byte.
TEST_F(StoredPiecesTest, EveryPrefixOfAWholeSectionFails) {
  struct Case {
    int32_t version;
    uint32_t magic;
  };
  for (const Case& c : {Case{162, kMagicB5686E9D}, Case{150, kMagicAAAAAAAA}}) {
    SCOPED_TRACE(c.version);
    DesignArchiveWriter writer = FullSection(c.version, c.magic);
    const std::string whole = SectionOf(writer);
    for (size_t length = 0; length < whole.size(); ++length) {
      SCOPED_TRACE(length);
      ASSERT_EQ(ReadSection(whole.substr(0, length), c.version, c.magic), 0);
      ASSERT_EQ(Failure().fault, DesignLoadFault::kMalformed);
    }
    ASSERT_EQ(ReadSection(whole, c.version, c.magic), 1) << Failure().reason;
    EXPECT_EQ(archive_->Remaining(), 0u);
    EXPECT_EQ(g_Style.PieceCount, 2);
    EXPECT_EQ(ItemTypes(*g_Style.PieceRing).size(), 7u);
  }
}

TEST_F(StoredPiecesTest, RegisteringTwiceKeepsTheTable) {
  RegisterPieceItemCodes();
  for (int32_t code = 0; code <= 29; ++code) {
    SCOPED_TRACE(code);
    std::unique_ptr<CPieceItem> item = GetItemCodeFactory().Create(code);
    ASSERT_NE(item, nullptr);
    const int32_t expected = code >= 14 && code <= 16 ? code - 6 : code;
    EXPECT_EQ(item->Type, expected);
  }
  EXPECT_EQ(GetItemCodeFactory().Create(30), nullptr);
}

}  // namespace
