// The native pattern file writer: the header's bytes, what the compatibility
// block and the piece block hold for each kind of item, the changes a save
// leaves in the style (and those it must not), and the failures that leave
// the old file alone.
#include "formats/ptn_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/ptn_layout.h"
#include "model/item_factory.h"
#include "model/items/all_items.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/progress.h"
#include "platform/scripted_prompts.h"
#include "res/resource_ids.h"
#include "res/resources.h"
#include "tests/support/clean_style.h"
#include "tests/support/file_bytes.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/message_texts.h"
#include "tests/support/piece_items.h"
#include "tests/support/temp_folder.h"

namespace {

// ---------------------------------------------------------------------------
// A small parser of the written file, kept apart from the program's reader
// so that a mistake the two share cannot hide.

struct Vertex {
  uint32_t flags = 0;
  int32_t x = 0;
  int32_t y = 0;
  uint32_t attributes = 0;
};

struct CompatRecord {
  int32_t code = 0;
  int32_t attribute = -1;  // curve records written as internal lines
  int32_t shape = -1;      // slot records
  std::vector<Vertex> nodes;
  std::string text;
};

struct ItemRecord {
  int32_t type = 0;
  std::vector<Vertex> nodes;
  std::vector<int32_t> fields;  // slot fields, marked-line words, dimension words, text anchor
  std::string text;
  std::string font;
  bool hasMarkedNode = false;
  Vertex markedNode;
};

struct PieceHead {
  std::string name;
  int32_t quantity = 0;
};

struct ParsedPiece {
  PieceHead head;
  std::vector<CompatRecord> compat;
  std::vector<ItemRecord> items;
};

struct ParsedFile {
  uint32_t magic = 0;
  int32_t version = 0;
  int32_t scale = 0;
  uint32_t pieceBlockOffset = 0;
  std::vector<std::string> styleTexts;
  std::vector<std::string> sizeNames;
  std::vector<ParsedPiece> pieces;
};

class Cursor {
 public:
  explicit Cursor(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }

  uint64_t Unsigned(int width) {
    if (!Need(static_cast<size_t>(width))) return 0;
    uint64_t v = 0;
    for (int i = 0; i < width; ++i) v |= static_cast<uint64_t>(bytes_[pos_ + i]) << (8 * i);
    pos_ += static_cast<size_t>(width);
    return v;
  }
  uint32_t U32() { return static_cast<uint32_t>(Unsigned(4)); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  double Double() {
    const uint64_t bits = Unsigned(8);
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  std::string Bytes(size_t count) {
    if (!Need(count)) return {};
    std::string s(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
                  bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + count));
    pos_ += count;
    return s;
  }
  std::string Str() {
    const int32_t n = I32();
    return n > 0 ? Bytes(static_cast<size_t>(n)) : std::string();
  }
  Vertex V12() {
    Vertex v;
    v.flags = U32();
    v.x = I32();
    v.y = I32();
    return v;
  }
  Vertex V16() {
    Vertex v = V12();
    v.attributes = U32();
    return v;
  }
  // A count that must fit the bytes left at `each` bytes apiece.
  int32_t Count(size_t each) {
    const int32_t n = I32();
    if (n < 0 || static_cast<size_t>(n) * each > bytes_.size() - std::min(pos_, bytes_.size())) ok_ = false;
    return ok_ ? n : 0;
  }

 private:
  bool Need(size_t n) {
    if (!ok_ || bytes_.size() - pos_ < n || pos_ > bytes_.size()) ok_ = false;
    return ok_;
  }
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

void ParseStyleHead(Cursor& in, ParsedFile& file, int32_t* pieces) {
  file.styleTexts.clear();
  file.sizeNames.clear();
  for (int i = 0; i < 5; ++i) file.styleTexts.push_back(in.Str());
  *pieces = in.Count(1);
  const int32_t sizes = in.Count(1);
  for (int32_t s = 0; s < sizes && in.ok(); ++s) {
    file.sizeNames.push_back(in.Str());
    in.Double();
    in.Double();
    in.I32();
  }
}

PieceHead ParsePieceHead(Cursor& in) {
  PieceHead head;
  head.name = in.Str();
  in.Str();
  in.Str();
  head.quantity = in.I32();
  in.Str();
  for (int i = 0; i < 8; ++i) in.I32();  // two points, four integer fields
  in.Double();
  in.I32();
  return head;
}

CompatRecord ParseCompatRecord(Cursor& in) {
  CompatRecord r;
  r.code = in.I32();
  switch (r.code) {
    case 11:
      r.nodes.push_back({0, in.I32(), in.I32(), 0});
      r.text = in.Str();
      in.Bytes(60);
      return r;
    case 8:
    case 9: r.attribute = in.I32(); break;
    case 3: r.shape = in.I32(); break;
    case 0: case 1: case 2: case 4: case 5: case 6: case 7: case 10: case 13: case 14: case 15: case 16: break;
    default: ADD_FAILURE() << "compatibility record code " << r.code; break;
  }
  const int32_t n = in.Count(12);
  for (int32_t i = 0; i < n && in.ok(); ++i) r.nodes.push_back(in.V12());
  return r;
}

ItemRecord ParseItemRecord(Cursor& in, int32_t sizes) {
  ItemRecord r;
  r.type = in.I32();
  if (r.type == 11) {
    r.fields = {in.I32(), in.I32()};
    r.text = in.Str();
    r.font = in.Bytes(60);
    return r;
  }
  const int32_t n = in.Count(16);
  for (int32_t i = 0; i < n && in.ok(); ++i) r.nodes.push_back(in.V16());
  if (r.type == 26) {
    for (int32_t i = 0; i < 3 * sizes; ++i) r.fields.push_back(in.I32());
    r.hasMarkedNode = in.I32() != 0;
    if (r.hasMarkedNode) r.markedNode = in.V12();
    r.fields.push_back(in.I32());
  } else if (r.type == 28) {
    for (int i = 0; i < 3; ++i) r.fields.push_back(in.I32());
    r.text = in.Str();
  } else if (r.type == 3) {
    for (int i = 0; i < 7; ++i) r.fields.push_back(in.I32());
  }
  return r;
}

// Parses the whole file; every count must match what follows it, the
// compatibility block must end exactly where the header says the piece
// block starts, and the piece block at the end of the file.
ParsedFile Parse(const std::vector<uint8_t>& bytes) {
  ParsedFile file;
  Cursor in(bytes);
  file.magic = in.U32();
  file.version = in.I32();
  EXPECT_EQ(in.U32(), 0u) << "reserved word";
  file.scale = in.I32();
  in.Unsigned(2);
  in.Bytes(kPtnFillerBytes);
  file.pieceBlockOffset = in.U32();
  EXPECT_EQ(in.pos(), kPtnHeaderBytes);

  int32_t pieces = 0;
  ParseStyleHead(in, file, &pieces);
  const auto sizes = static_cast<int32_t>(file.sizeNames.size());
  for (int32_t p = 0; p < pieces && in.ok(); ++p) {
    ParsedPiece piece;
    piece.head = ParsePieceHead(in);
    const int32_t count = in.Count(4);
    for (int32_t i = 0; i < count && in.ok(); ++i) piece.compat.push_back(ParseCompatRecord(in));
    file.pieces.push_back(piece);
  }
  EXPECT_TRUE(in.ok());
  EXPECT_EQ(in.pos(), file.pieceBlockOffset) << "the compatibility block ends where the piece block starts";

  int32_t piecesAgain = 0;
  ParseStyleHead(in, file, &piecesAgain);
  EXPECT_EQ(piecesAgain, pieces);
  for (int32_t p = 0; p < piecesAgain && in.ok() && static_cast<size_t>(p) < file.pieces.size(); ++p) {
    ParsedPiece& piece = file.pieces[static_cast<size_t>(p)];
    const PieceHead head = ParsePieceHead(in);
    EXPECT_EQ(head.name, piece.head.name);
    const int32_t count = in.Count(4);
    for (int32_t i = 0; i < count && in.ok(); ++i) piece.items.push_back(ParseItemRecord(in, sizes));
  }
  EXPECT_TRUE(in.ok());
  EXPECT_EQ(in.pos(), bytes.size()) << "nothing after the piece block";
  return file;
}

std::vector<int32_t> CompatCodes(const ParsedPiece& piece) {
  std::vector<int32_t> codes;
  for (const CompatRecord& r : piece.compat) codes.push_back(r.code);
  return codes;
}

std::vector<int32_t> ItemTypesWritten(const ParsedPiece& piece) {
  std::vector<int32_t> types;
  for (const ItemRecord& r : piece.items) types.push_back(r.type);
  return types;
}

std::vector<std::pair<int32_t, int32_t>> Points(const std::vector<Vertex>& nodes) {
  std::vector<std::pair<int32_t, int32_t>> points;
  for (const Vertex& v : nodes) points.emplace_back(v.x, v.y);
  return points;
}

// ---------------------------------------------------------------------------
// Building styles.

void AddSizes(int count) {
  for (int i = 0; i < count; ++i) {
    g_Style.AddSize(new CSizeRecord(CString(("S" + std::to_string(i)).c_str()), i, 0, 0, 1));
  }
  g_Style.SortSizes();
}

// A main vertex of kind `flags` at (x, y) with its per-size copies, each
// size 10 units further right.
void AddGraded(CPieceItem* item, int32_t x, int32_t y, uint32_t flags = 0) {
  item->AddTailVertex(x, y, flags);
  for (int s = 1; s < g_Style.SizeCount; ++s) item->AddTailVertex(x + 10 * s, y, kVertexKindCopy);
}

CPieceItem* AddItem(CPieceRecord* piece, int type) {
  CPieceItem* item = CreatePieceItem(type).release();
  piece->AddItem(item);
  return item;
}

// A square outline from (dx, dy) with a corner parameter node of code
// `code` (and the corner widths `widths`) after its first vertex.
CPieceItem* AddOutline(CPieceRecord* piece, uint32_t code = 1, uint32_t widths = 0x00050005u, int32_t dx = 0,
                       int32_t dy = 0) {
  CPieceItem* outline = AddItem(piece, kItemTypeOutline);
  AddGraded(outline, dx, dy);
  outline->AddTailVertex(static_cast<int32_t>(widths), static_cast<int32_t>(code), kVertexKindParameter);
  AddGraded(outline, dx + 4000, dy);
  AddGraded(outline, dx + 4000, dy + 4000);
  AddGraded(outline, dx, dy + 4000);
  return outline;
}

CPieceRecord* AddPiece(const char* name) {
  auto* piece = new CPieceRecord;
  piece->PieceName = name;
  g_Style.AddPiece(piece);
  return piece;
}

class PtnWriterTest : public CleanStyleTest {
 protected:
  ScriptedPrompts prompts_;
  ScopedPrompts installed_{&prompts_};
};

// ---------------------------------------------------------------------------
// The header.

TEST_F(PtnWriterTest, HeaderIsWrittenAtVersion121WhateverTheStyleSays) {
  const uint8_t expected[] = {0xAA, 0xAA, 0xAA, 0xAA, 0x79, 0, 0, 0, 0, 0, 0, 0, 0x28, 0, 0, 0, 0, 0};
  for (const int32_t version : {121, 140}) {
    SCOPED_TRACE(version);
    ResetStyleAndSettings();
    AddSizes(1);
    AddOutline(AddPiece("FRONT"));
    g_Style.DataVersion = version;
    const std::vector<uint8_t> bytes = BuildPtnFileBytes();
    ASSERT_GT(bytes.size(), kPtnHeaderBytes);
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), bytes.begin()));
    // The filler is the C runtime's rand() from its start-up seed: 41, 18467, 6334 ...
    const uint8_t filler[] = {41, 0, 0, 0, 0x23, 0x48, 0, 0, 0xBE, 0x18, 0, 0};
    EXPECT_TRUE(std::equal(std::begin(filler), std::end(filler), bytes.begin() + 18));
    const ParsedFile file = Parse(bytes);
    EXPECT_EQ(file.styleTexts.size(), 5u);
    EXPECT_EQ(file.pieces.size(), 1u);
  }
}

TEST_F(PtnWriterTest, SavingTwiceGivesTheSameBytes) {
  AddSizes(2);
  g_Style.StyleName = "COAT";
  AddOutline(AddPiece("FRONT"));
  CPieceItem* grain = AddItem(AddPiece("BACK"), kItemTypeGrainLine);
  AddGraded(grain, 0, 0);
  AddGraded(grain, 0, 2000);
  TempFolder folder("zv_ptn_twice");
  ASSERT_EQ(SavePtnFile(CString((folder / "a.ptn").c_str())), 1);
  ASSERT_EQ(SavePtnFile(CString((folder / "b.ptn").c_str())), 1);
  const std::string a = ReadFile(folder / "a.ptn");
  EXPECT_FALSE(a.empty());
  EXPECT_EQ(a, ReadFile(folder / "b.ptn"));
  EXPECT_TRUE(MessageTexts(prompts_).empty());
}

// ---------------------------------------------------------------------------
// Which pieces and items are written.

TEST_F(PtnWriterTest, AWorkAreaCopyIsWrittenInPlaceOfItsPiece) {
  AddSizes(1);
  CPieceRecord* listed = AddPiece("FRONT");
  AddOutline(listed);
  auto* placed = new CPieceRecord;
  placed->PieceName = "FRONT";
  AddOutline(placed, 1, 0x00050005u, 10000, 500);
  g_Style.AddWorkPiece(placed);
  listed->Linked = 1;
  listed->Link = placed;
  placed->Link = listed;
  AddOutline(AddPiece("BACK"));

  const ParsedFile file = Parse(BuildPtnFileBytes());
  ASSERT_EQ(file.pieces.size(), 2u);
  auto firstOutlinePoint = [](const std::vector<Vertex>& nodes) { return std::make_pair(nodes[0].x, nodes[0].y); };
  ASSERT_FALSE(file.pieces[0].items.empty());
  ASSERT_FALSE(file.pieces[0].compat.empty());
  EXPECT_EQ(firstOutlinePoint(file.pieces[0].items[0].nodes), std::make_pair(10000, 500));
  EXPECT_EQ(firstOutlinePoint(file.pieces[0].compat[0].nodes), std::make_pair(10000, 500));
  EXPECT_EQ(firstOutlinePoint(file.pieces[1].items[0].nodes), std::make_pair(0, 0));
}

TEST_F(PtnWriterTest, AOnePieceStyleEndsWithItsOutline) {
  AddSizes(1);
  CPieceRecord* piece = AddPiece("FRONT");
  CPieceItem* grain = AddItem(piece, kItemTypeGrainLine);
  AddGraded(grain, 100, 0);
  AddGraded(grain, 100, 2000);
  AddOutline(piece);
  CPieceItem* line = AddItem(piece, kItemTypeOpenLine);
  AddGraded(line, 10, 10);
  AddGraded(line, 20, 20);

  const ParsedFile file = Parse(BuildPtnFileBytes());
  ASSERT_EQ(file.pieces.size(), 1u);
  EXPECT_EQ(ItemTypesWritten(file.pieces[0]), (std::vector<int32_t>{9, 1, 0}));
  EXPECT_EQ(CompatCodes(file.pieces[0]), (std::vector<int32_t>{9, 1, 0}));
  // The piece in memory keeps its order.
  EXPECT_EQ(ItemTypes(*piece), (std::vector<int>{1, 0, 9}));
}

TEST_F(PtnWriterTest, PiecesWithoutAnOutlineOrWithAOneVertexGrainLineAreWritten) {
  AddSizes(2);
  CPieceRecord* piece = AddPiece("LABEL");
  CPieceItem* grain = AddItem(piece, kItemTypeGrainLine);
  AddGraded(grain, 500, 500);
  auto* text = static_cast<CPieceItem11*>(AddItem(piece, kItemTypeText));
  text->Text = "ABC";
  TempFolder folder("zv_ptn_bare");
  ASSERT_EQ(SavePtnFile(CString((folder / "label.ptn").c_str())), 1);
  const ParsedFile file = Parse(ReadFile<std::vector<uint8_t>>(folder / "label.ptn"));
  ASSERT_EQ(file.pieces.size(), 1u);
  EXPECT_EQ(ItemTypesWritten(file.pieces[0]), (std::vector<int32_t>{1, 11}));
  EXPECT_EQ(Points(file.pieces[0].items[0].nodes), (std::vector<std::pair<int32_t, int32_t>>{{500, 500}, {510, 500}}));
  // A style of one piece without an outline: the walk starts at the head.
  EXPECT_EQ(CompatCodes(file.pieces[0]), (std::vector<int32_t>{1, 11}));
}

TEST_F(PtnWriterTest, GrainLinesRunningBackwardsAreTurnedRoundAndShortItemsRemoved) {
  AddSizes(2);
  struct Case {
    const char* what;
    int32_t x1, y1, x2, y2;
    int32_t option2;
    bool turned;
  };
  // 2 mm at scale 40 is 80 units.
  const Case kCases[] = {
      {"right to left", 1000, 0, 0, 0, 2, true},
      {"left to right", 0, 0, 1000, 0, 2, false},
      {"downwards", 0, 0, 50, 1000, 2, true},
      {"upwards", 0, 1000, 50, 0, 2, false},
      {"2 mm to the left and downwards", 80, 0, 0, 1000, 2, true},
      {"right to left, the piece keeps its lines", 1000, 0, 0, 0, 1, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ResetStyleAndSettings();
    AddSizes(2);
    CPieceRecord* piece = AddPiece("FRONT");
    piece->Option2 = c.option2;
    CPieceItem* grain = AddItem(piece, kItemTypeGrainLine);
    AddGraded(grain, c.x1, c.y1);
    AddGraded(grain, c.x2, c.y2);
    const ParsedFile file = Parse(BuildPtnFileBytes());
    const auto first = std::make_pair(c.turned ? c.x2 : c.x1, c.turned ? c.y2 : c.y1);
    const auto second = std::make_pair(c.turned ? c.x1 : c.x2, c.turned ? c.y1 : c.y2);
    ASSERT_EQ(file.pieces.size(), 1u);
    ASSERT_EQ(file.pieces[0].items.size(), 1u);
    EXPECT_EQ(Points(file.pieces[0].items[0].nodes),
              (std::vector<std::pair<int32_t, int32_t>>{
                  first, {first.first + 10, first.second}, second, {second.first + 10, second.second}}));
    // The turn stays in memory; the copies travel with their vertex.
    ASSERT_EQ(grain->VertexCount, 4);
    EXPECT_EQ(std::make_pair(grain->VertexHead->X, grain->VertexHead->Y), first);
    EXPECT_EQ(grain->VertexHead->Next->Kind(), kVertexKindCopy);
  }

  // Lines too short to draw go, from the style too.
  ResetStyleAndSettings();
  AddSizes(1);
  CPieceRecord* piece = AddPiece("FRONT");
  AddOutline(piece);
  CPieceItem* closed = AddItem(piece, kItemTypeClosedLine);
  AddGraded(closed, 0, 0);
  AddGraded(closed, 10, 0);
  CPieceItem* open = AddItem(piece, kItemTypeOpenLine);
  AddGraded(open, 0, 0);
  AddItem(piece, kItemTypeNotches);  // no vertex at all
  AddItem(AddPiece("BACK"), kItemTypeText);
  const ParsedFile file = Parse(BuildPtnFileBytes());
  EXPECT_EQ(ItemTypesWritten(file.pieces[0]), std::vector<int32_t>{0});
  EXPECT_EQ(ItemTypes(*piece), std::vector<int>{0});
  EXPECT_EQ(ItemTypesWritten(file.pieces[1]), std::vector<int32_t>{11});
}

// The compatibility block's variants: which items go in under which code.
// The piece holds one item of each type 0 to 25 but 12 and 21, then the cut
// line (variant C) or the contour (variant B) or neither (variant A). In
// variant B `n` is the contour's corner-width sign, in variant C the
// outline's.
TEST_F(PtnWriterTest, CompatibilityBlockVariants) {
  struct Case {
    const char* what;
    int32_t chooser;  // -1 none, 21 or 12
    bool n;
    int32_t opt0, opt13;
    std::vector<int32_t> codes;
  };
  const std::vector<int32_t> kAllStored = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16};
  const Case kCases[] = {
      {"A", -1, false, 1, 0, kAllStored},
      {"A, widths inside", -1, true, 1, 0, kAllStored},
      {"B", 21, false, 1, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 8}},
      {"B, widths inside", 21, true, 1, 0, {8, 1, 2, 3, 4, 8, 9, 10, 11, 14, 15, 16, 5, 13, 6, 7, 0}},
      {"B without opt0", 21, false, 0, 0, kAllStored},
      {"B, widths inside, without opt0", 21, true, 0, 0, {1, 2, 3, 4, 8, 9, 10, 11, 14, 15, 16, 5, 13, 6, 7, 0}},
      {"B, widths inside, with opt13", 21, true, 1, 1,
       {8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 5, 13, 6, 7, 0}},
      {"C", 12, false, 1, 0, {8, 1, 2, 3, 4, 8, 9, 10, 11, 14, 15, 16, 5, 13, 6, 7, 0}},
      {"C, widths inside", 12, true, 1, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 8}},
      {"C without opt0", 12, false, 0, 0, {1, 2, 3, 4, 8, 9, 10, 11, 14, 15, 16, 5, 13, 6, 7, 0}},
      {"C with opt13", 12, false, 1, 1, {8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16, 5, 13, 6, 7, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    ResetStyleAndSettings();
    g_SaveOptType0 = c.opt0;
    g_SaveOptType13 = c.opt13;
    AddSizes(2);
    const uint32_t widths = c.n ? 0xFFFF0000u : 0x00050005u;
    CPieceRecord* piece = AddPiece("FRONT");
    for (int type = 0; type <= 25; ++type) {
      if (type == 12 || type == 21) continue;
      if (type == kItemTypeOutline) {
        // The outline's widths decide in variant C only.
        AddOutline(piece, 1, c.chooser == 21 ? 0x00050005u : widths);
        continue;
      }
      CPieceItem* item = AddItem(piece, type);
      if (type == kItemTypeText) continue;
      // One whole group for the grouped types, three main vertices else.
      AddGraded(item, 100, 100);
      if (type == 2 || type == 4) {
        item->AddTailVertex(5, 0, kVertexKindFixedSingle2);
        item->AddTailVertex(5, 5, kVertexKindFixedSingle2);
      } else if (type == 3) {
        AddGraded(item, 300, 100);
      } else if (IsNotchType(type)) {
        AddGraded(item, 200, 100);
        item->AddTailVertex(40, 0, kVertexKindFixedSingle);
        item->AddTailVertex(100, 100, kVertexKindMovedSingle);
      } else {
        AddGraded(item, 300, 100);
        AddGraded(item, 300, 300);
      }
    }
    if (c.chooser >= 0) {
      CPieceItem* chooser = AddItem(piece, c.chooser);
      AddGraded(chooser, -100, -100);
      chooser->AddTailVertex(static_cast<int32_t>(widths), 1, kVertexKindParameter);
      AddGraded(chooser, 4100, -100);
      AddGraded(chooser, 4100, 4100);
    }
    AddOutline(AddPiece("BACK"));
    const ParsedFile file = Parse(BuildPtnFileBytes());
    ASSERT_EQ(file.pieces.size(), 2u);
    EXPECT_EQ(CompatCodes(file.pieces[0]), c.codes);
    // The groups of two sizes: markers S + 2 nodes, a slot's plain line 2S
    // points, a notch its two point groups and its width node.
    for (const CompatRecord& r : file.pieces[0].compat) {
      SCOPED_TRACE(r.code);
      if (r.code == 2 || r.code == 4 || r.code == 3) {
        EXPECT_EQ(r.nodes.size(), 4u);
      }
      if (r.code == 3) {
        EXPECT_EQ(r.shape, 64);
      }
      if (r.code == 13) {
        EXPECT_EQ(r.nodes.size(), 5u);
      }
    }
    // Every item goes into the piece block, as stored.
    EXPECT_EQ(file.pieces[0].items.size(), static_cast<size_t>(piece->ItemCount));
  }
}

TEST_F(PtnWriterTest, InternalLinesCarryTheirLineAttributeInTheCompatibilityBlock) {
  struct Case {
    int32_t tag;
    int32_t curveMode;
    int32_t written;
  };
  const Case kCases[] = {{0, 1, 3}, {0, 0, 1}, {2, 1, 2}, {0x12, 1, 2}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "tag " << c.tag << ", curve mode " << c.curveMode);
    ResetStyleAndSettings();
    g_OptCurveMode = c.curveMode;
    AddSizes(1);
    CPieceRecord* piece = AddPiece("FRONT");
    AddOutline(piece);
    CPieceItem* line = AddItem(piece, kItemTypeClosedLine);
    line->Tag = c.tag;
    AddGraded(line, 0, 0);
    AddGraded(line, 100, 0);
    AddGraded(line, 100, 100);
    AddOutline(AddPiece("BACK"));
    const ParsedFile file = Parse(BuildPtnFileBytes());
    ASSERT_EQ(file.pieces[0].compat.size(), 2u);
    EXPECT_EQ(file.pieces[0].compat[1].code, 8);
    EXPECT_EQ(file.pieces[0].compat[1].attribute, c.written);
    // The piece block carries the attribute in the head vertex's word.
    ASSERT_EQ(file.pieces[0].items.size(), 2u);
    EXPECT_EQ((file.pieces[0].items[1].nodes[0].attributes >> 16) & 15u, static_cast<uint32_t>(c.tag & 15));
  }
}

// ---------------------------------------------------------------------------
// Vertices, corner codes and the item bodies of the piece block.

TEST_F(PtnWriterTest, CornerCodeZeroIsFiveInTheFileAndStaysZeroInMemory) {
  AddSizes(1);
  CPieceRecord* piece = AddPiece("FRONT");
  CPieceItem* outline = AddOutline(piece, 0);
  AddOutline(AddPiece("BACK"), 0);
  const CVertexNode* parameter = outline->VertexHead->Next;
  ASSERT_EQ(parameter->Kind(), kVertexKindParameter);

  const ParsedFile file = Parse(BuildPtnFileBytes());
  ASSERT_EQ(file.pieces[0].items.size(), 1u);
  const std::vector<Vertex>& nodes = file.pieces[0].items[0].nodes;
  ASSERT_EQ(nodes.size(), 5u);
  EXPECT_EQ(nodes[1].flags, static_cast<uint32_t>(kVertexKindParameter));
  EXPECT_EQ(nodes[1].y, 5);
  EXPECT_EQ(nodes[1].x, 0x00050005);
  EXPECT_EQ(parameter->Y, 0);
  // The compatibility block leaves corner data out.
  EXPECT_EQ(file.pieces[0].compat[0].nodes.size(), 4u);
}

TEST_F(PtnWriterTest, CurveItemsLeaveOutTheirGradedRuns) {
  AddSizes(3);
  CPieceRecord* piece = AddPiece("FRONT");
  CPieceItem* line = AddItem(piece, kItemTypeOpenLine);
  AddGraded(line, 0, 0);
  // A smoothing point run of three nodes (one per size).
  for (int s = 0; s < 3; ++s) line->AddTailVertex(50 + s, 5, kVertexKindGraded);
  AddGraded(line, 100, 0);
  CPieceItem* markers = AddItem(piece, kItemTypeFilledMarkers);
  AddGraded(markers, 500, 500);
  markers->AddTailVertex(5, 0, kVertexKindFixedSingle2);
  markers->AddTailVertex(5, 5, kVertexKindFixedSingle2);
  markers->AddTailVertex(7, 7, kVertexKindFixedSingle2);  // a group cut short: not in the compatibility block
  AddOutline(AddPiece("BACK"));

  const ParsedFile file = Parse(BuildPtnFileBytes());
  const ParsedPiece& p = file.pieces[0];
  ASSERT_EQ(p.items.size(), 2u);
  EXPECT_EQ(Points(p.items[0].nodes), (std::vector<std::pair<int32_t, int32_t>>{
                                          {0, 0}, {10, 0}, {20, 0}, {100, 0}, {110, 0}, {120, 0}}));
  EXPECT_EQ(p.items[1].nodes.size(), 6u);  // every node of a marker item
  ASSERT_EQ(p.compat.size(), 2u);
  EXPECT_EQ(p.compat[0].nodes.size(), 6u);
  EXPECT_EQ(p.compat[1].code, 2);
  EXPECT_EQ(p.compat[1].nodes.size(), 5u);  // one group of S + 2
}

TEST_F(PtnWriterTest, ItemBodiesOfThePieceBlock) {
  AddSizes(2);
  CPieceRecord* piece = AddPiece("FRONT");
  auto* slot = static_cast<CPieceItem3*>(AddItem(piece, kItemTypeSlot));
  AddGraded(slot, 0, 0);
  AddGraded(slot, 100, 0);
  slot->Style = 1;
  slot->Param0 = 2;
  slot->BarLength = 3;
  slot->SlotEndOffset = 4;
  slot->SlotWidth = 5;
  slot->EyeRadius = 6;
  slot->EyeOuterRadius = 7;

  auto* text = static_cast<CPieceItem11*>(AddItem(piece, kItemTypeText));
  text->AnchorX = -12;
  text->AnchorY = 34;
  text->Text = "\xC7\xB0\xC6\xAC";  // GBK bytes
  text->Font.lfHeight = -400;
  text->Font.lfEscapement = 900;
  std::strcpy(text->Font.lfFaceName, "Arial");

  auto* marked = static_cast<CPieceItem26*>(AddItem(piece, kItemTypeMarkedLine));
  AddGraded(marked, 0, 0);
  AddGraded(marked, 50, 50);
  marked->SizeArrayA = {1, 2};
  marked->SizeArrayB = {3};  // shorter than the sizes: 0 in its place
  marked->SizeArrayC = {5, 6, 99};  // longer: only one entry per size
  marked->MarkedNode = std::make_unique<CVertexNode>();
  marked->MarkedNode->Flags = 0x102;
  marked->MarkedNode->X = 7;
  marked->MarkedNode->Y = 8;
  marked->MarkShape = 0x103;

  auto* dimension = static_cast<CPieceItem28*>(AddItem(piece, kItemTypeDimension));
  AddGraded(dimension, 0, 0);
  dimension->Kind = 3;
  dimension->FirstItemType = 0;
  dimension->SecondItemType = 9;
  dimension->Text = "L";
  AddOutline(AddPiece("BACK"));

  const ParsedFile file = Parse(BuildPtnFileBytes());
  const ParsedPiece& p = file.pieces[0];
  ASSERT_EQ(ItemTypesWritten(p), (std::vector<int32_t>{3, 11, 26, 28}));
  EXPECT_EQ(p.items[0].fields, (std::vector<int32_t>{1, 4, 5, 2, 7, 6, 3}));
  EXPECT_EQ(p.items[1].fields, (std::vector<int32_t>{-12, 34}));
  EXPECT_EQ(p.items[1].text, "\xC7\xB0\xC6\xAC");
  const auto font = text->Font.ToBytes();
  EXPECT_EQ(p.items[1].font, std::string(font.begin(), font.end()));
  EXPECT_EQ(p.items[2].fields, (std::vector<int32_t>{1, 3, 5, 2, 0, 6, 0x103}));
  ASSERT_TRUE(p.items[2].hasMarkedNode);
  EXPECT_EQ(p.items[2].markedNode.flags, 0x102u);
  EXPECT_EQ(std::make_pair(p.items[2].markedNode.x, p.items[2].markedNode.y), std::make_pair(7, 8));
  EXPECT_EQ(p.items[3].fields, (std::vector<int32_t>{3, 0, 9}));
  EXPECT_EQ(p.items[3].text, "L");

  // The text and the slot in the compatibility block.
  ASSERT_EQ(CompatCodes(p), (std::vector<int32_t>{3, 11}));
  EXPECT_EQ(p.compat[0].shape, 1);
  EXPECT_EQ(p.compat[0].nodes.size(), 12u);
  EXPECT_EQ(p.compat[1].text, "\xC7\xB0\xC6\xAC");
  EXPECT_EQ(Points(p.compat[1].nodes), (std::vector<std::pair<int32_t, int32_t>>{{-12, 34}}));

  // A marked line without its node writes the flag 0 and no node.
  marked->MarkedNode.reset();
  const ParsedFile again = Parse(BuildPtnFileBytes());
  EXPECT_FALSE(again.pieces[0].items[2].hasMarkedNode);
  EXPECT_EQ(again.pieces[0].items[2].fields.back(), 0x103);
}

// ---------------------------------------------------------------------------
// Slot symbols in the compatibility block.

struct SlotCase {
  const char* what;
  int32_t shape;
  std::vector<std::pair<int32_t, int32_t>> points;  // one size
  std::vector<uint32_t> flags;                      // 1 first point, 2 second point
};

constexpr uint32_t kFirstFlags = 0x10;
constexpr uint32_t kSecondFlags = 0x20;

// A slot item of one group from the given per-size first and second points.
std::unique_ptr<CPieceItem3> Slot(int32_t shape, const std::vector<std::pair<int32_t, int32_t>>& first,
                                  const std::vector<std::pair<int32_t, int32_t>>& second) {
  auto item = std::make_unique<CPieceItem3>(nullptr, nullptr);
  item->Style = shape;
  for (const auto& [x, y] : first) item->AddTailVertex(x, y, kFirstFlags);
  for (const auto& [x, y] : second) item->AddTailVertex(x, y, kSecondFlags);
  item->BarLength = 40;       // f3, half 20
  item->SlotEndOffset = 30;   // f4
  item->SlotWidth = 20;       // f5, half 10
  item->EyeRadius = 10;       // f6
  item->EyeOuterRadius = 50;  // f7
  return item;
}

// The records after the shape word: the count and the points with flags.
struct SlotRecord {
  int32_t count = 0;
  std::vector<std::pair<int32_t, int32_t>> points;
  std::vector<uint32_t> flags;
};

SlotRecord WriteSlot(const CPieceItem3& item, int* result = nullptr) {
  ByteWriter out;
  CVertexNode* node = item.VertexHead;
  int index = 0;
  const int r = WriteType3Record(node, item, out, index);
  if (result) *result = r;
  SlotRecord record;
  Cursor in(out.Bytes());
  record.count = in.I32();
  while (in.ok() && in.pos() < out.Size()) {
    const Vertex v = in.V12();
    record.points.emplace_back(v.x, v.y);
    record.flags.push_back(v.flags);
  }
  EXPECT_TRUE(in.ok());
  return record;
}

class PtnSlotTest : public CleanStyleTest {};

TEST_F(PtnSlotTest, EndBarsStandAcrossTheSlotAtBothEnds) {
  AddSizes(1);
  auto item = Slot(1, {{0, 0}}, {{100, 0}});
  item->BarLength = 40;
  int result = 0;
  const SlotRecord r = WriteSlot(*item, &result);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(r.count, 6);
  // m = (trunc(u.y h / d), -trunc(u.x h / d)) = (0, -20) for u = (100, 0), h = 20.
  EXPECT_EQ(r.points, (std::vector<std::pair<int32_t, int32_t>>{
                          {0, 0}, {100, 0}, {0, -20}, {0, 20}, {100, -20}, {100, 20}}));
}

TEST_F(PtnSlotTest, EveryShapeOnASimpleSlot) {
  AddSizes(1);
  const uint32_t F = kFirstFlags, G = kSecondFlags;
  // First point (0, 0), second (100, 0): u = (100, 0), d = 100, N(u) = (0, 100).
  const SlotCase kCases[] = {
      {"plain bars", 0, {{0, 0}, {100, 0}}, {F, G}},
      {"line", 64, {{0, 0}, {100, 0}}, {F, G}},
      {"rectangle", 128, {{0, 0}, {100, 0}, {0, -20}, {0, 20}, {100, -20}, {100, 20}}, {F, G, F, F, G, G}},
      {"keyhole", 2, {{0, 0}, {0, 50}, {0, -50}, {100, 0}, {10, 0}}, {F, F, F, G, G}},
      {"closed keyhole", 4,
       {{0, 0}, {0, 50}, {0, -50}, {70, 0}, {70, 3}, {70, -3}, {100, 10}, {100, -10}, {10, 0}},
       {F, F, F, G, G, G, G, G, G}},
      {"keyhole with cross bar", 8, {{0, 0}, {0, 50}, {0, -50}, {100, 0}, {10, 0}, {70, -3}, {70, 3}},
       {F, F, F, G, F, G, G}},
      // t = trunc(sqrt(50^2 - 10^2)) = 48, g = (48, 0), v = (-10, 0); m = (-10, 0), n = (-20, 0).
      {"open keyhole", 16,
       {{0, 0}, {10, 0}, {48, 10}, {48, -10}, {100, -10}, {100, 0}, {100, 10}, {100, -20}, {100, 20}},
       {F, F, F, F, G, G, G, G, G}},
      // g = (48, 0), g' = (52, 0), v = v' = (-10, 0).
      {"double keyhole", 32, {{0, 0}, {100, 0}, {10, 0}, {48, 10}, {48, -10}, {90, 0}, {52, 10}, {52, -10}},
       {F, G, F, F, F, F, G, G}},
      {"eyelet", 256, {{0, 0}, {10, 0}, {150, 0}}, {F, F, G}},
  };
  for (const SlotCase& c : kCases) {
    SCOPED_TRACE(c.what);
    auto item = Slot(c.shape, {{0, 0}}, {{100, 0}});
    const SlotRecord r = WriteSlot(*item);
    EXPECT_EQ(r.count, static_cast<int32_t>(c.points.size()));
    EXPECT_EQ(r.points, c.points);
    EXPECT_EQ(r.flags, c.flags);
    EXPECT_EQ(PtnType3PointsPerSize(c.shape), static_cast<int>(c.points.size()));
  }
}

TEST_F(PtnSlotTest, EachPointIsWrittenForEverySizeInTurn) {
  AddSizes(2);
  // The second size lies (10, 5) from the first; points computed from the
  // first size move along with it.
  auto item = Slot(2, {{0, 0}, {10, 5}}, {{100, 0}, {110, 5}});
  int index = 0;
  ByteWriter out;
  CVertexNode* node = item->VertexHead;
  ASSERT_EQ(WriteType3Record(node, *item, out, index), 1);
  EXPECT_EQ(node, item->VertexHead);  // one group: round to the head again
  EXPECT_EQ(index, 4);
  const SlotRecord r = WriteSlot(*item);
  EXPECT_EQ(r.count, 10);
  EXPECT_EQ(r.points, (std::vector<std::pair<int32_t, int32_t>>{
                          {0, 0}, {10, 5}, {0, 50}, {10, 55}, {0, -50}, {10, -45}, {100, 0}, {110, 5}, {10, 0},
                          {20, 5}}));
}

TEST_F(PtnSlotTest, CoincidentPointsAndImpossibleSizesGiveNoOffset) {
  AddSizes(1);
  for (const int32_t shape : {0, 1, 2, 4, 8, 16, 32, 64, 128}) {
    SCOPED_TRACE(shape);
    auto item = Slot(shape, {{5, 5}}, {{5, 5}});
    const SlotRecord r = WriteSlot(*item);
    EXPECT_EQ(r.count, PtnType3PointsPerSize(shape));
    for (const auto& point : r.points) EXPECT_EQ(point, std::make_pair(5, 5));
  }
  // An outer eye smaller than the slot's half width: no square root of a
  // negative number, the eye sits on the first point.
  for (const int32_t shape : {16, 32}) {
    SCOPED_TRACE(shape);
    auto item = Slot(shape, {{0, 0}}, {{100, 0}});
    item->EyeOuterRadius = 5;
    const SlotRecord r = WriteSlot(*item);
    const size_t eye = shape == 16 ? 2 : 3;
    EXPECT_EQ(r.points[eye], std::make_pair(0, 0));
    EXPECT_EQ(r.points[eye + 1], std::make_pair(0, 0));
  }
  // Offsets beyond the coordinate range are held to it.
  auto far = Slot(2, {{0, 2000000000}}, {{100, 2000000000}});
  far->EyeOuterRadius = 2147483647;
  const SlotRecord r = WriteSlot(*far);
  EXPECT_EQ(r.points[1], std::make_pair(0, 2147483647));
  EXPECT_EQ(r.points[2], std::make_pair(0, -147483647));
}

TEST_F(PtnSlotTest, AnUnknownShapeIsWrittenAsAPlainLine) {
  AddSizes(2);
  EXPECT_EQ(PtnType3ShapeWord(0), 64);
  EXPECT_EQ(PtnType3ShapeWord(5), 64);
  EXPECT_EQ(PtnType3ShapeWord(-1), 64);
  EXPECT_EQ(PtnType3ShapeWord(16), 16);
  auto item = Slot(5, {{0, 0}, {1, 1}}, {{100, 0}, {101, 1}});
  const SlotRecord r = WriteSlot(*item);
  EXPECT_EQ(r.count, 4);
  EXPECT_EQ(r.points, (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 1}, {100, 0}, {101, 1}}));
}

TEST_F(PtnSlotTest, AGroupCutShortIsNotWritten) {
  AddSizes(2);
  auto item = Slot(1, {{0, 0}, {1, 1}}, {{100, 0}});
  ByteWriter out;
  CVertexNode* node = item->VertexHead;
  int index = 0;
  EXPECT_EQ(WriteType3Record(node, *item, out, index), 0);
  EXPECT_EQ(out.Size(), 0u);
  EXPECT_EQ(node, item->VertexHead);
  EXPECT_EQ(index, 0);
}

TEST_F(PtnWriterTest, SlotItemsGiveOneRecordPerWholeGroup) {
  AddSizes(2);
  CPieceRecord* piece = AddPiece("FRONT");
  auto* slot = static_cast<CPieceItem3*>(AddItem(piece, kItemTypeSlot));
  AddGraded(slot, 0, 0);
  AddGraded(slot, 100, 0);
  AddGraded(slot, 0, 500);
  AddGraded(slot, 100, 500);
  AddGraded(slot, 0, 900);  // half a group
  AddOutline(AddPiece("BACK"));
  const ParsedFile file = Parse(BuildPtnFileBytes());
  ASSERT_EQ(CompatCodes(file.pieces[0]), (std::vector<int32_t>{3, 3}));
  EXPECT_EQ(file.pieces[0].compat[0].shape, 64);
  EXPECT_EQ(Points(file.pieces[0].compat[1].nodes), (std::vector<std::pair<int32_t, int32_t>>{
                                                        {0, 500}, {10, 500}, {100, 500}, {110, 500}}));
  EXPECT_EQ(file.pieces[0].items[0].nodes.size(), 10u);
}

TEST_F(PtnWriterTest, AStyleWithoutSizesWritesNoGroups) {
  CPieceRecord* piece = AddPiece("FRONT");
  CPieceItem* slot = AddItem(piece, kItemTypeSlot);
  slot->AddTailVertex(0, 0, 0);
  slot->AddTailVertex(10, 0, 0);
  CPieceItem* notches = AddItem(piece, kItemTypeNotches);
  notches->AddTailVertex(0, 0, 0);
  notches->AddTailVertex(10, 0, 0);
  AddItem(AddPiece("BACK"), kItemTypeText);
  const ParsedFile file = Parse(BuildPtnFileBytes());
  ASSERT_EQ(file.pieces.size(), 2u);
  EXPECT_TRUE(file.pieces[0].compat.empty());
  EXPECT_EQ(ItemTypesWritten(file.pieces[0]), (std::vector<int32_t>{3, 13}));
}

// ---------------------------------------------------------------------------
// Progress and failures.

class RecordingHost : public IProgressHost {
 public:
  std::unique_ptr<IProgressBar> CreateStatusProgress() override { return std::make_unique<Bar>(this); }
  std::vector<std::pair<int, int>> ranges;
  std::vector<int> positions;

 private:
  class Bar : public IProgressBar {
   public:
    explicit Bar(RecordingHost* host) : host_(host) {}
    void SetRange(int lower, int upper) override { host_->ranges.emplace_back(lower, upper); }
    void SetPos(int position) override { host_->positions.push_back(position); }

   private:
    RecordingHost* host_;
  };
};

TEST_F(PtnWriterTest, TheProgressBarRunsOverBothBlocks) {
  AddSizes(1);
  for (const char* name : {"A", "B", "C"}) AddOutline(AddPiece(name));
  RecordingHost host;
  IProgressHost* previous = SetProgressHost(&host);
  BuildPtnFileBytes();
  SetProgressHost(previous);
  EXPECT_EQ(host.ranges, (std::vector<std::pair<int, int>>{{0, 5}}));
  ASSERT_FALSE(host.positions.empty());
  EXPECT_EQ(host.positions.back(), 5);
}

TEST_F(PtnWriterTest, AFullDiskLeavesTheOldFile) {
  AddSizes(3);
  for (const char* name : {"FRONT", "BACK", "SLEEVE"}) AddOutline(AddPiece(name));
  const size_t size = BuildPtnFileBytes().size();
  ASSERT_GT(size, 200u);
  const std::string old = "the old pattern file";
  for (const size_t limit : {size_t{0}, size_t{100}, size - 1}) {
    SCOPED_TRACE(limit);
    TempFolder folder("zv_ptn_full");
    folder.AddFile("coat.ptn", old);
    const size_t before = MessageTexts(prompts_).size();
    int result = -1;
    {
      FileSizeLimit full(static_cast<rlim_t>(limit));
      result = SavePtnFile(CString((folder / "coat.ptn").c_str()));
    }
    EXPECT_EQ(result, 0);
    const std::vector<CString> messages = MessageTexts(prompts_);
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back(), LoadString(IDS_SAVE_PTN_FAILED));
    EXPECT_EQ(ReadFile(folder / "coat.ptn"), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"coat.ptn"});
  }
}

TEST_F(PtnWriterTest, AFileThatCannotBeCreatedSaysOpen) {
  AddSizes(1);
  CPieceRecord* piece = AddPiece("FRONT");
  AddOutline(piece);
  CPieceItem* closed = AddItem(piece, kItemTypeClosedLine);
  AddGraded(closed, 0, 0);  // too short: a save would remove it
  TempFolder folder("zv_ptn_open");
  std::filesystem::create_directory(folder / "coat.ptn");
  for (const std::string& target : {folder / "missing/coat.ptn", folder / "coat.ptn"}) {
    SCOPED_TRACE(target);
    const size_t before = MessageTexts(prompts_).size();
    EXPECT_EQ(SavePtnFile(CString(target.c_str())), 0);
    const std::vector<CString> messages = MessageTexts(prompts_);
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back(), LoadString(IDS_SAVE_PTN_FAILED) + "(open)");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"coat.ptn"});
    EXPECT_TRUE(std::filesystem::is_directory(folder / "coat.ptn"));
    // Nothing was tidied: the save never began.
    EXPECT_EQ(piece->ItemCount, 2);
  }
}

}  // namespace
