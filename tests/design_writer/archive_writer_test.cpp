// The archive-layout writer of the design tests, pinned against bytes written
// out by hand: it is the oracle of the design loader's tests, so a mistake of
// its own must show here and not in a round trip.
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/pinned_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::ArchiveFont;
using design_fixture::DesignArchiveWriter;
using design_fixture::ElementFields;
using design_fixture::FreePointFields;
using design_fixture::MeasureFields;
using design_fixture::PatternRecordFields;
using design_fixture::SizeFields;
using design_fixture::StoredItemFields;
using design_fixture::StoredPieceFields;
using design_fixture::StoredSizeFields;
using design_fixture::StoredVertex;

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
    out += ' ';
  }
  return out;
}


StoredItemFields Triangle() {
  StoredItemFields outline;
  outline.code = 0;
  outline.vertices = {{1, 0, 0, 0, 0}, {1, 1000, 0, 0, 0}, {1, 0, 1000, 0, 0}};
  return outline;
}

TEST(ArchiveWriterTest, WritesThePinnedVersion150FileByteForByte) {
  DesignArchiveWriter w(150);
  w.header().magic = design_fixture::kMagicB5686E9D;
  w.header().scale = 10;
  w.header().names[1] = "ST";
  w.header().label_font.height = -12;
  w.header().label_font.weight = 400;
  w.header().label_font.char_set = 134;
  w.header().label_font.face = "Song";
  w.header().second_font.height = -10;
  EXPECT_EQ(w.AddSize({"M", 3, 0}), 0);
  w.SetBaseSize(0);
  const int point = w.AddFreePoint(100, 200);
  EXPECT_EQ(point, 0);
  PatternRecordFields record;
  record.name = "A";
  record.double_value = 1.5;
  record.ref_point = point;
  EXPECT_EQ(w.AddRecord(record), 0);
  w.AddStoredSize({"M", -1.0, 0.0, 0x0000FF});
  StoredPieceFields piece;
  piece.strings[0] = "A";
  piece.items.push_back(Triangle());
  w.AddStoredPiece(piece);

  const std::string expected(reinterpret_cast<const char*>(design_fixture::kPinnedFile), sizeof design_fixture::kPinnedFile);
  EXPECT_EQ(Hex(w.Bytes()), Hex(expected));
}

// The framework's string takes the shortest of its three length prefixes.
TEST(ArchiveWriterTest, FrameworkStringsTakeTheShortestLengthPrefix) {
  struct Case {
    size_t length;
    std::string prefix;
  };
  const Case kCases[] = {
      {0, std::string("\x00", 1)},
      {1, "\x01"},
      {0xFE, "\xFE"},
      {0xFF, std::string("\xFF\xFF\x00", 3)},
      {0x1234, "\xFF\x34\x12"},
      {0xFFFE, "\xFF\xFE\xFF"},
      {0xFFFF, std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00", 7)},
      {0x10000, std::string("\xFF\xFF\xFF\x00\x00\x01\x00", 7)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.length);
    const std::string text(c.length, 'x');
    ArchiveBytes out;
    out.CStr(text);
    ASSERT_EQ(out.Size(), c.prefix.size() + c.length);
    EXPECT_EQ(Hex(out.Bytes().substr(0, c.prefix.size())), Hex(c.prefix));
    EXPECT_EQ(out.Bytes().substr(c.prefix.size()), text);
  }
}

TEST(ArchiveWriterTest, CountedStringsAndFontRecords) {
  ArchiveBytes counted;
  counted.Counted("ab").Counted("");
  EXPECT_EQ(Hex(counted.Bytes()), Hex(std::string("\x02\x00\x00\x00" "ab" "\x00\x00\x00\x00", 10)));

  LOGFONT f;
  f.lfHeight = 1;
  f.lfWeight = 700;
  f.lfItalic = 1;
  f.lfPitchAndFamily = 0x22;
  std::memcpy(f.lfFaceName, "Arial", 6);
  ArchiveBytes font;
  ArchiveFont::From(f).WriteTo(font);
  const std::string expected =
      std::string("\x01\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00"
                  "\xBC\x02\x00\x00", 20) +
      std::string("\x01\x00\x00\x00\x00\x00\x00\x22", 8) + "\x05" "Arial";
  EXPECT_EQ(Hex(font.Bytes()), Hex(expected));

  // A face name that fills all 32 bytes of a LOGFONT is written whole.
  std::memset(f.lfFaceName, 'F', sizeof f.lfFaceName);
  ArchiveBytes full;
  ArchiveFont::From(f).WriteTo(full);
  EXPECT_EQ(full.Bytes().substr(28), "\x20" + std::string(32, 'F'));
}

// Length of the file of an empty design at each version: the header alone
// changes, plus the empty stored-piece section from 150 on. Counted by hand:
// 94 bytes of fields every version has (empty names), 29 per font with an
// empty face name, 24 for the six empty section counts.
TEST(ArchiveWriterTest, HeaderFollowsTheVersionGates) {
  struct Case {
    int32_t version;
    size_t length;
  };
  const Case kCases[] = {
      {100, 94 + 29 + 24},                         // one font, four names
      {104, 94 + 29 + 24},
      {105, 94 + 58 + 24},                         // second font
      {108, 94 + 58 + 24},
      {109, 94 + 1 + 58 + 24},                     // fifth name
      {121, 94 + 1 + 58 + 24},
      {122, 94 + 4 + 1 + 58 + 24},                 // reserved word 122..149
      {149, 94 + 4 + 1 + 58 + 24},
      {150, 94 + 4 + 12 + 1 + 58 + 24 + 17},       // first scale, field 9, pieces
      {154, 94 + 4 + 12 + 1 + 58 + 24 + 17},
      {155, 94 + 4 + 16 + 1 + 58 + 24 + 17},       // field 9's second word
      {157, 94 + 4 + 16 + 1 + 58 + 24 + 17},
      {158, 94 + 4 + 4 + 16 + 1 + 58 + 24 + 17},   // reserved word again
      {163, 94 + 4 + 4 + 16 + 1 + 58 + 24 + 17},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    DesignArchiveWriter w(c.version);
    const std::string bytes = w.Bytes();
    EXPECT_EQ(bytes.size(), c.length);
    // Every file starts with the magic word and the version.
    EXPECT_EQ(Hex(bytes.substr(0, 4)), "9D 6E 68 B5 ");
    EXPECT_EQ(static_cast<uint8_t>(bytes[4]), static_cast<uint8_t>(c.version));
  }
}

TEST(ArchiveWriterTest, TwoScaleWordsFromVersion150) {
  DesignArchiveWriter w(150);
  w.header().first_scale = 7;
  w.header().scale = 40;
  const std::string bytes = w.Bytes();
  EXPECT_EQ(Hex(bytes.substr(12, 4)), "07 00 00 00 ");  // after magic, version, mode
  EXPECT_EQ(Hex(bytes.substr(102, 4)), "28 00 00 00 ");  // after field 9
}

// Bytes that one addition adds to the file, at a version.
template <typename Add>
size_t Growth(int32_t version, Add add, uint32_t magic = design_fixture::kMagicB5686E9D,
              int32_t mode = 0) {
  DesignArchiveWriter before(version);
  DesignArchiveWriter after(version);
  for (DesignArchiveWriter* w : {&before, &after}) {
    w->header().magic = magic;
    w->header().mode = mode;
    w->AddSize({"M", 0, 0});
    w->AddSize({"L", 0, 0});
    w->AddStoredSize({"M", 0, 0, 0});
  }
  add(after);
  return after.Bytes().size() - before.Bytes().size();
}

TEST(ArchiveWriterTest, SizeEntriesCarryAnExtraWordOnlyAtVersion163) {
  const auto add = [](DesignArchiveWriter& w) { w.AddSize({"S", 1, 0}); };
  EXPECT_EQ(Growth(162, add), 4u);  // name 2, colour 2
  EXPECT_EQ(Growth(163, add), 8u);
  EXPECT_EQ(Growth(164, add), 4u);  // above 163: the layout of 162
}

TEST(ArchiveWriterTest, PatternRecordsFollowTheVersionGates) {
  // Name "A", empty texts, quantity 1 (as text "1" from 162), no elements.
  const auto add = [](DesignArchiveWriter& w) {
    PatternRecordFields r;
    r.name = "A";
    w.AddRecord(r);
  };
  const size_t kBody = 2 + 1 + 1 + 4 + 1 + 16 + 16 + 8 + 4 + 4 + 4 + 4;
  struct Case {
    int32_t version;
    size_t length;
  };
  const Case kCases[] = {
      {149, kBody},
      {150, kBody + 4},
      {151, kBody + 4},
      {152, kBody + 12},
      {153, kBody + 32},
      {159, kBody + 36},
      {161, kBody + 40},
      {162, kBody + 40 - 4 + 2},  // quantity as the text "1"
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(Growth(c.version, add), c.length);
  }

  DesignArchiveWriter w(162);
  PatternRecordFields r;
  r.quantity_text = "3";
  w.AddRecord(r);
  EXPECT_NE(w.Bytes().find(std::string("\x00\x00\x01" "3" "\x00", 5)), std::string::npos);
}

TEST(ArchiveWriterTest, DesignElementsAreWrappedInTheirEnvelope) {
  DesignArchiveWriter w(150);
  PatternRecordFields r;
  r.elements.push_back(ElementFields{1, 0, "BODY", 0x11, 0x22});
  r.elements.push_back(ElementFields{1024, 8, "", 0, 0});
  w.AddRecord(r);
  const std::string expected = std::string(
      "\x02\x00\x00\x00"                                        // element count
      "\x11\x00\x00\x00" "\x22\x00\x00\x00" "\x01\x00\x00\x00"  // words, type 1
      "BODY"
      "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x04\x00\x00"  // words, type 1024
      "\x08\x00\x00\x00", 36);                                  // its subtype
  EXPECT_NE(w.Bytes().find(expected), std::string::npos);

  // Below 150 the envelope is the type alone.
  EXPECT_EQ(Growth(149, [](DesignArchiveWriter& d) {
              PatternRecordFields p;
              p.elements.push_back(ElementFields{32, 4, "xy", 0, 0});
              d.AddRecord(p);
            }) - Growth(149, [](DesignArchiveWriter& d) { d.AddRecord({}); }),
            4u + 4u + 2u);
}

TEST(ArchiveWriterTest, AppendingReturnsTheStoredPosition) {
  DesignArchiveWriter w(162);
  EXPECT_EQ(w.AddFreePoint(1, 2), 0);
  EXPECT_EQ(w.AddText(0, 0, "T", ArchiveFont{}), 1);
  EXPECT_EQ(w.AddObject(2, 0, std::string(12, '\0')), 2);
  EXPECT_EQ(w.AddFreePoint(3, 4), 3);
  EXPECT_EQ(w.AddMeasure(MeasureFields{}), 0);
  EXPECT_EQ(w.AddMeasure(MeasureFields{}), 1);
  EXPECT_EQ(w.AddSizeRow("waist", {}), 0);
  EXPECT_EQ(w.AddRecord({}), 0);
  EXPECT_EQ(w.AddRecord({}), 1);
}

TEST(ArchiveWriterTest, GradedObjectsFollowTheVersionGates) {
  struct Case {
    int32_t version;
    int32_t mode;
    FreePointFields point;
    size_t length;
  };
  FreePointFields plain;
  FreePointFields per_size;
  per_size.compute_all = 0;
  per_size.per_size = {{5, 6}, {7, 8}};
  const Case kCases[] = {
      {103, 2, plain, 4 + 4 + 4 + 8},            // kind, point kind, state, point
      {104, 2, plain, 4 + 4 + 4 + 2 + 8},        // status word
      {109, 2, plain, 4 + 4 + 4 + 2 + 8},
      {110, 0, plain, 4 + 4 + 4 + 2 + 8},        // mode 0: no compute-all flag
      {110, 2, plain, 4 + 4 + 4 + 2 + 8 + 4},    // compute-all 1
      {110, 2, per_size, 4 + 4 + 4 + 2 + 8 + 4 + 16},  // and two sizes
      {150, 2, per_size, 8 + 4 + 4 + 4 + 2 + 8 + 4 + 16},  // leading words
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(Growth(c.version, [&](DesignArchiveWriter& w) { w.AddFreePoint(c.point); },
                     design_fixture::kMagicB5686E9D, c.mode),
              c.length);
  }

  // Curves store their curve kind from 109 on; a line never has a subkind.
  const auto curve = [](DesignArchiveWriter& w) { w.AddObject(4, 3, "c"); };
  EXPECT_EQ(Growth(108, curve), 4u + 1u);
  EXPECT_EQ(Growth(109, curve), 4u + 4u + 1u);
  EXPECT_EQ(Growth(109, [](DesignArchiveWriter& w) { w.AddObject(2, 7, "l"); }), 4u + 1u);
}

TEST(ArchiveWriterTest, MeasuresStoreTheirDisplayFromVersion102) {
  const auto add = [](DesignArchiveWriter& w) { w.AddMeasure({"m"}); };
  EXPECT_EQ(Growth(101, add), 2u + 4u + 12u);
  EXPECT_EQ(Growth(102, add), 2u + 4u + 12u + 20u);
}

TEST(ArchiveWriterTest, StoredItemsFollowTheVersionGatesAndTheMagicWord) {
  struct Case {
    int32_t version;
    uint32_t magic;
    int32_t code;
    size_t length;
  };
  // One piece with one item of two vertices; 16 bytes per vertex without the
  // attribute word.
  const size_t kPiece150 = 28 + 4 + 4 + 4 + 4 + 4 + 16 + 4 + 4 + 4 + 4 + 8 + 4 + 4;
  const Case kCases[] = {
      {150, design_fixture::kMagicB5686E9D, 0, kPiece150 + 4 + 4 + 4 + 32},
      {150, design_fixture::kMagicAAAAAAAA, 0, kPiece150 + 4 + 4 + 4 + 40},
      {150, design_fixture::kMagic99999999, 0, kPiece150 + 4 + 4 + 4 + 40},
      {150, design_fixture::kMagicB5686E99, 0, kPiece150 + 4 + 4 + 4 + 32},
      {150, design_fixture::kMagicB5686E9D, 8, kPiece150 + 4 + 4 + 4 + 32},
      {151, design_fixture::kMagicB5686E9D, 8, kPiece150 + 4 + 4 + 4 + 4 + 32},
      {151, design_fixture::kMagicB5686E9D, 14, kPiece150 + 4 + 4 + 4 + 32},
      {158, design_fixture::kMagicB5686E9D, 9, kPiece150 + 8 + 4 + 4 + 4 + 4 + 32},
      {159, design_fixture::kMagicB5686E9D, 9, kPiece150 + 8 + 4 + 4 + 4 + 4 + 4 + 32},
      {159, design_fixture::kMagicB5686E9D, 8, kPiece150 + 8 + 4 + 4 + 4 + 4 + 32},
      {160, design_fixture::kMagicB5686E9D, 0, kPiece150 + 16 + 4 + 4 + 4 + 32},
      {162, design_fixture::kMagicB5686E9D, 0, kPiece150 + 16 + 1 + 4 + 4 + 4 + 32},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.version << " code " << c.code);
    const auto add = [&](DesignArchiveWriter& w) {
      StoredItemFields item;
      item.code = c.code;
      item.vertices = {StoredVertex{}, StoredVertex{}};
      StoredPieceFields piece;
      piece.items.push_back(item);
      w.AddStoredPiece(piece);
    };
    EXPECT_EQ(Growth(c.version, add, c.magic), c.length);
  }
}

TEST(ArchiveWriterTest, StoredItemBodiesAndTails) {
  DesignArchiveWriter w(150);
  w.AddStoredSize({"M", 0, 0, 0});
  w.AddStoredSize({"L", 0, 0, 0});
  StoredPieceFields piece;
  StoredItemFields text;
  text.code = 11;
  text.text_x = 5;
  text.text_y = 6;
  text.text = "hi";
  piece.items.push_back(text);
  StoredItemFields tail3;
  tail3.code = 3;
  for (int i = 0; i < 7; ++i) tail3.tail3[i] = 0x30 + i;
  piece.items.push_back(tail3);
  StoredItemFields tail26;
  tail26.code = 26;
  tail26.per_size26 = {{1, 2, 3}, {4, 5, 6}};
  tail26.flag26 = 1;
  tail26.extra26 = StoredVertex{9, 10, 11, 99, 99};
  tail26.last26 = 12;
  piece.items.push_back(tail26);
  StoredItemFields tail28;
  tail28.code = 28;
  tail28.ints28[0] = 13;
  tail28.text28 = "z";
  piece.items.push_back(tail28);
  w.AddStoredPiece(piece);

  ArchiveBytes items;
  items.I32(4);                                   // item count
  items.I32(11).I32(0).I32(5).I32(6).Counted("hi");  // text: code, reserved, position, text
  ArchiveFont{}.WriteTo(items);
  items.I32(3).I32(0).I32(0);                     // code 3, reserved, no vertices
  for (int i = 0; i < 7; ++i) items.I32(0x30 + i);
  items.I32(26).I32(0).I32(0);                    // code 26, reserved, no vertices
  items.U32(1).U32(2).U32(3).U32(4).U32(5).U32(6);  // two sizes
  items.I32(1).I32(9).I32(10).I32(11).I32(12);    // flag, extra vertex, last field
  items.I32(28).I32(0).I32(0).I32(13).I32(0).I32(0).Counted("z");
  const std::string bytes = w.Bytes();
  ASSERT_GE(bytes.size(), items.Size());
  EXPECT_EQ(Hex(bytes.substr(bytes.size() - items.Size())), Hex(items.Bytes()));
}

}  // namespace
