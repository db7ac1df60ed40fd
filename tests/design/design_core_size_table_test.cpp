// Reading the stored size entries and size-table rows: the extra word of
// version 163, the one value per size of a row, and records cut short at
// every byte.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/core/size_table.h"
#include "platform/archive.h"

namespace {

std::vector<uint8_t> SizeEntryRecord(const char* name, uint16_t colorIndex, bool extraWord) {
  ArchiveWriter out;
  out.WriteString(name);
  out.WriteU16(colorIndex);
  if (extraWord) out.WriteI32(0x5A5A5A5A);
  out.WriteU8(0xEE);  // the next record's first byte
  return out.TakeBytes();
}

TEST(SizeEntryLoad, ExtraWordOnlyInVersion163) {
  struct Case { int32_t version; bool extraWord; };
  const Case kCases[] = {{100, false}, {150, false}, {162, false}, {163, true}, {164, false}, {200, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    ArchiveReader in(SizeEntryRecord("\xB4\xF3", 9, c.extraWord));  // GBK bytes kept as they are
    CSizeEntry entry("", 0, 1);
    ASSERT_TRUE(entry.Load(in, c.version));
    EXPECT_EQ(entry.GetName(), "\xB4\xF3");
    EXPECT_EQ(entry.GetColorIndex(), 9);
    EXPECT_EQ(entry.GetValue(), 1);  // not stored: kept
    uint8_t next = 0;
    EXPECT_TRUE(in.ReadU8(next));
    EXPECT_EQ(next, 0xEE);
  }
}

TEST(SizeEntryLoad, EveryShortRecordFailsAndLeavesTheEntry) {
  for (int32_t version : {162, 163}) {
    std::vector<uint8_t> bytes = SizeEntryRecord("XL", 3, version == 163);
    bytes.pop_back();  // the marker byte
    for (size_t length = 0; length < bytes.size(); ++length) {
      SCOPED_TRACE(testing::Message() << "version " << version << ", " << length << " bytes");
      ArchiveReader in(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)));
      CSizeEntry entry("old", 7, 4);
      EXPECT_FALSE(entry.Load(in, version));
      EXPECT_EQ(entry.GetName(), "old");
      EXPECT_EQ(entry.GetColorIndex(), 7);
      EXPECT_EQ(entry.GetValue(), 4);
    }
    ArchiveReader whole(bytes);
    CSizeEntry entry("", 0, 1);
    EXPECT_TRUE(entry.Load(whole, version));
    EXPECT_EQ(whole.Remaining(), 0u);
  }
}

// A design with `count` sizes, as the loader has it when it reads the rows.
void AddSizes(CPatternData& data, int count) {
  for (int i = 0; i < count; ++i) data.InsertSize(i, "S", 0, 1);
}

std::vector<uint8_t> RowRecord(const char* name, const std::vector<int32_t>& values) {
  ArchiveWriter out;
  out.WriteString(name);
  for (int32_t v : values) out.WriteI32(v);
  return out.TakeBytes();
}

TEST(SizeTableRowLoad, OneValuePerSizeOfTheOwner) {
  CPatternData data;
  AddSizes(data, 3);
  ArchiveWriter out;
  out.WriteString("waist");
  out.WriteI32(640);
  out.WriteI32(-1);  // kept as the same bits
  out.WriteI32(720);
  out.WriteI32(12345);  // the next row's bytes: not read
  ArchiveReader in(out.TakeBytes());
  CSizeTableRow row(&data, "");
  ASSERT_TRUE(row.Load(in));
  EXPECT_EQ(row.GetName(), "waist");
  ASSERT_EQ(row.GetValueCount(), 3);
  EXPECT_EQ(row.GetValue(0), 640);
  EXPECT_EQ(row.GetValue(1), -1);
  EXPECT_EQ(row.GetValue(2), 720u);
  EXPECT_EQ(in.Remaining(), 4u);

  // A design without sizes stores only the name.
  CPatternData empty;
  ArchiveReader nameOnly(RowRecord("hip", {}));
  CSizeTableRow bare(&empty, "");
  ASSERT_TRUE(bare.Load(nameOnly));
  EXPECT_EQ(bare.GetName(), "hip");
  EXPECT_EQ(bare.GetValueCount(), 0);
}

TEST(SizeTableRowLoad, EveryShortRecordFailsAndLeavesTheRow) {
  CPatternData data;
  AddSizes(data, 4);
  const std::vector<uint8_t> bytes = RowRecord("chest", {880, 920, 960, 1000});
  for (size_t length = 0; length < bytes.size(); ++length) {
    SCOPED_TRACE(length);
    ArchiveReader in(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)));
    CSizeTableRow row(&data, "before");
    row.SetValue(2, 5);
    EXPECT_FALSE(row.Load(in));
    EXPECT_EQ(row.GetName(), "before");
    ASSERT_EQ(row.GetValueCount(), 4);
    EXPECT_EQ(row.GetValue(2), 5u);
  }
}

TEST(SizeTableRowLoad, SizeCountBeyondTheBytesLeftAllocatesNothing) {
  // Many sizes and a short record: the count is refused against the bytes
  // left before the values are made.
  CPatternData data;
  AddSizes(data, 5000);
  ArchiveReader in(RowRecord("x", {1, 2, 3}));
  CSizeTableRow row(&data, "kept");
  EXPECT_FALSE(row.Load(in));
  EXPECT_TRUE(in.Failed());
  EXPECT_EQ(in.Position(), 2u);  // stopped after the name, before any value
  EXPECT_EQ(row.GetName(), "kept");
  EXPECT_EQ(row.GetValueCount(), 5000);
}

TEST(SizeTableRowValues, InsertAndRemoveKeepTheSizesAligned) {
  CPatternData data;
  AddSizes(data, 5);
  CSizeTableRow row(&data, "r");
  EXPECT_EQ(row.GetValueCount(), 5);
  for (int i = 0; i < 5; ++i) row.SetValue(i, static_cast<uint32_t>(10 * i));
  row.InsertValue(0, 99);
  EXPECT_EQ(row.GetValue(0), 99u);
  EXPECT_EQ(row.GetValue(1), 0u);
  EXPECT_EQ(row.GetValue(5), 40u);
  row.RemoveValue(0);
  EXPECT_EQ(row.GetValue(4), 40u);
  // Indices outside the values change nothing and read 0.
  row.InsertValue(7, 1);
  row.RemoveValue(5);
  row.SetValue(-1, 3);
  EXPECT_EQ(row.GetValueCount(), 5);
  EXPECT_EQ(row.GetValue(-1), 0u);
  EXPECT_EQ(row.GetValue(5), 0u);
}

}  // namespace
