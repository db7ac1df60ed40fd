// The archive layout of native pattern files: little-endian values, counted
// strings with their three prefix widths, and reads that never go past the
// end of a damaged or hostile file.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/archive.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(Archive, ValuesAreLittleEndian) {
  ArchiveWriter writer;
  writer.WriteU8(0xAB);
  writer.WriteU16(0x1234);
  writer.WriteU32(0xB5686E9D);
  writer.WriteI32(-2);
  writer.WriteDouble(1.5);
  const Bytes expected = {0xAB, 0x34, 0x12, 0x9D, 0x6E, 0x68, 0xB5, 0xFE, 0xFF, 0xFF, 0xFF,
                          0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
  EXPECT_EQ(writer.Bytes(), expected);

  ArchiveReader reader(expected);
  uint8_t u8 = 0;
  uint16_t u16 = 0;
  uint32_t u32 = 0;
  int32_t i32 = 0;
  double d = 0;
  ASSERT_TRUE(reader.ReadU8(u8) && reader.ReadU16(u16) && reader.ReadU32(u32) && reader.ReadI32(i32) &&
              reader.ReadDouble(d));
  EXPECT_EQ(u8, 0xAB);
  EXPECT_EQ(u16, 0x1234);
  EXPECT_EQ(u32, 0xB5686E9Du);
  EXPECT_EQ(i32, -2);
  EXPECT_EQ(d, 1.5);
  EXPECT_EQ(reader.Remaining(), 0u);
  EXPECT_FALSE(reader.Failed());
}

struct PrefixCase {
  size_t length;
  Bytes prefix;
};

TEST(Archive, StringPrefixesAtEveryWidthBoundary) {
  const PrefixCase kCases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {65534, {0xFF, 0xFE, 0xFF}},
      {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const PrefixCase& c : kCases) {
    SCOPED_TRACE(c.length);
    // GBK text whose trail bytes include 0xFF-like high bytes and '\'.
    std::string text;
    for (size_t i = 0; i < c.length; ++i) text += static_cast<char>("\xC7\xB0\x95\x5C"[i % 4]);
    Bytes stored = c.prefix;
    stored.insert(stored.end(), text.begin(), text.end());
    stored.push_back(0x42);  // the next field

    ArchiveWriter writer;
    writer.WriteString(CString(text));
    writer.WriteU8(0x42);
    EXPECT_EQ(writer.Bytes(), stored);

    ArchiveReader reader(stored);
    CString read;
    ASSERT_TRUE(reader.ReadString(read));
    EXPECT_EQ(read.str(), text);
    uint8_t next = 0;
    ASSERT_TRUE(reader.ReadU8(next));
    EXPECT_EQ(next, 0x42);
  }
}

TEST(Archive, LongerPrefixThanNeededStillReads) {
  // Other writers may spend the wider prefix on a short text.
  ArchiveReader reader(Bytes{0xFF, 0x03, 0x00, 'a', 'b', 'c', 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 'z'});
  CString text;
  ASSERT_TRUE(reader.ReadString(text));
  EXPECT_EQ(text, "abc");
  ASSERT_TRUE(reader.ReadString(text));
  EXPECT_EQ(text, "z");
}

TEST(Archive, TruncationFailsCleanlyAtEveryCut) {
  ArchiveWriter writer;
  std::vector<size_t> field_ends;
  writer.WriteU32(0xAAAAAAAA);
  field_ends.push_back(writer.Bytes().size());
  writer.WriteString("front");
  field_ends.push_back(writer.Bytes().size());
  writer.WriteDouble(-0.25);
  field_ends.push_back(writer.Bytes().size());
  writer.WriteI32(150);
  field_ends.push_back(writer.Bytes().size());
  writer.WriteU16(7);
  field_ends.push_back(writer.Bytes().size());
  writer.WriteString(CString(std::string(300, 'p')));
  field_ends.push_back(writer.Bytes().size());
  writer.WriteBytes("LOGFONT!", 8);
  field_ends.push_back(writer.Bytes().size());
  const Bytes whole = writer.Bytes();

  for (size_t cut = 0; cut <= whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    ArchiveReader reader(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
    uint32_t magic = 1;
    CString front = "x";
    double d = 1;
    int32_t version = 1;
    uint16_t w = 1;
    CString long_text = "x";
    char face[8] = {'x'};
    const bool ok[] = {reader.ReadU32(magic),   reader.ReadString(front), reader.ReadDouble(d),
                       reader.ReadI32(version), reader.ReadU16(w),        reader.ReadString(long_text),
                       reader.ReadBytes(face, sizeof face)};
    bool failed_before = false;
    for (size_t k = 0; k < field_ends.size(); ++k) {
      // A field reads when it lies wholly before the cut and nothing before
      // it failed; the failure is sticky.
      const bool expected = !failed_before && field_ends[k] <= cut;
      EXPECT_EQ(ok[k], expected) << "field " << k;
      failed_before = failed_before || !expected;
    }
    EXPECT_EQ(reader.Failed(), cut < whole.size());
    // Failed reads leave nothing half-read behind.
    if (!ok[0]) {
      EXPECT_EQ(magic, 0u);
    }
    if (!ok[1]) {
      EXPECT_TRUE(front.IsEmpty());
    }
    if (!ok[6]) {
      EXPECT_EQ(face[0], 0);
    }
    EXPECT_EQ(long_text.GetLength(), ok[5] ? 300 : 0);
  }
}

TEST(Archive, HostileLengthsFailWithoutReadingOrAllocating) {
  const Bytes kHostile[] = {
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'},  // 4 GiB - 1
      {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80},            // 2 GiB
      {0xFF, 0xFE, 0xFF, 'a'},                               // 65534
      {0x10, 'a', 'b'},                                      // 16
      {0xFF, 0xFF},                                          // prefix itself cut
  };
  for (const Bytes& stored : kHostile) {
    ArchiveReader reader(stored);
    CString text = "before";
    EXPECT_FALSE(reader.ReadString(text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(reader.Failed());
    // Sticky: nothing more comes out of a failed reader.
    uint8_t b = 0;
    EXPECT_FALSE(reader.ReadU8(b));
    EXPECT_FALSE(reader.Skip(0));
  }
}

TEST(Archive, CheckCountGuardsPerEntryAllocation) {
  // 12 bytes left after the count.
  const Bytes stored = Concat({0x03, 0, 0, 0}, Bytes(12, 0));
  {
    ArchiveReader reader(stored);
    int32_t count = 0;
    ASSERT_TRUE(reader.ReadI32(count));
    EXPECT_TRUE(reader.CheckCount(count, 4));   // 3 x 4 = 12 fits exactly
    EXPECT_FALSE(reader.Failed());
    EXPECT_TRUE(reader.CheckCount(0, 100));     // no entries
    EXPECT_TRUE(reader.CheckCount(-7, 100));    // a count below 1 means none
    EXPECT_TRUE(reader.CheckCount(12, 0));      // records of unknown size count as one byte
    EXPECT_FALSE(reader.CheckCount(count, 5));  // 15 > 12
    EXPECT_TRUE(reader.Failed());
    EXPECT_FALSE(reader.CheckCount(0, 1));      // sticky
  }
  {
    ArchiveReader reader(stored);
    // A count and record size whose product overflows 64 bits still fails.
    EXPECT_FALSE(reader.CheckCount(INT64_MAX, SIZE_MAX / 2));
    ArchiveReader other(stored);
    EXPECT_FALSE(other.CheckCount(0x7FFFFFFF, 1));
  }
}

TEST(Archive, EmptyBufferAndZeroLengthReads) {
  ArchiveReader reader(Bytes{});
  EXPECT_TRUE(reader.Skip(0));
  EXPECT_TRUE(reader.ReadBytes(nullptr, 0));
  uint16_t w = 5;
  EXPECT_FALSE(reader.ReadU16(w));
  EXPECT_EQ(w, 0);

  ArchiveReader empty_text(Bytes{0x00});
  CString text = "x";
  EXPECT_TRUE(empty_text.ReadString(text));
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_FALSE(empty_text.Failed());
}

}  // namespace
