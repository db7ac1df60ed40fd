#include "platform/geometry_types.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(LogFontTest, StoredLayoutIsSixtyLittleEndianBytes) {
  LOGFONT f;
  f.lfHeight = -40;
  f.lfWidth = 0x01020304;
  f.lfEscapement = 900;
  f.lfOrientation = -1;
  f.lfWeight = 700;
  f.lfItalic = 1;
  f.lfUnderline = 2;
  f.lfStrikeOut = 3;
  f.lfCharSet = 134;
  f.lfOutPrecision = 5;
  f.lfClipPrecision = 6;
  f.lfQuality = 2;
  f.lfPitchAndFamily = 8;
  std::memcpy(f.lfFaceName, "\xCB\xCE\xCC\xE5", 5);  // 宋体 in GBK

  const auto bytes = f.ToBytes();
  const uint8_t expected_head[28] = {
      0xD8, 0xFF, 0xFF, 0xFF,  // height -40
      0x04, 0x03, 0x02, 0x01,  // width
      0x84, 0x03, 0x00, 0x00,  // escapement 900
      0xFF, 0xFF, 0xFF, 0xFF,  // orientation -1
      0xBC, 0x02, 0x00, 0x00,  // weight 700
      1, 2, 3, 134, 5, 6, 2, 8};
  ASSERT_EQ(bytes.size(), 60u);
  EXPECT_EQ(0, std::memcmp(bytes.data(), expected_head, sizeof expected_head));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 28, "\xCB\xCE\xCC\xE5\0", 5));
  for (size_t i = 33; i < 60; ++i) EXPECT_EQ(bytes[i], 0) << i;

  const LOGFONT back = LOGFONT::FromBytes(bytes.data());
  EXPECT_EQ(back.ToBytes(), bytes);
}

TEST(LogFontTest, AFaceNameFillingAllBytesIsTerminatedOnRead) {
  uint8_t bytes[60] = {};
  std::memset(bytes + 28, 'A', 32);
  const LOGFONT f = LOGFONT::FromBytes(bytes);
  EXPECT_EQ(std::strlen(f.lfFaceName), 31u);
}

TEST(RectTest, UnionAndIntersectionLeaveEmptyBoxesOut) {
  CRect u;
  EXPECT_TRUE(u.UnionRect(CRect(0, 0, 10, 10), CRect(5, -5, 20, 3)));
  EXPECT_EQ(u, CRect(0, -5, 20, 10));
  EXPECT_TRUE(u.UnionRect(CRect(), CRect(1, 2, 3, 4)));
  EXPECT_EQ(u, CRect(1, 2, 3, 4));

  CRect i;
  EXPECT_TRUE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 20, 20)));
  EXPECT_EQ(i, CRect(5, 5, 10, 10));
  EXPECT_FALSE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
  EXPECT_TRUE(i.IsRectEmpty());
}

TEST(RectTest, PointsOnTheRightAndBottomEdgesAreOutside) {
  const CRect r(0, 0, 10, 10);
  EXPECT_TRUE(r.PtInRect({0, 0}));
  EXPECT_TRUE(r.PtInRect({9, 9}));
  EXPECT_FALSE(r.PtInRect({10, 5}));
  EXPECT_FALSE(r.PtInRect({5, 10}));
}

TEST(WrapTest, EmptyBoxMarkersWrapInThirtyTwoBits) {
  EXPECT_EQ(WrapAdd(0x7FFFFFFF, 1), static_cast<int32_t>(0x80000000));
  EXPECT_EQ(WrapSub(static_cast<int32_t>(0x80000001), 2), 0x7FFFFFFF);
}

}  // namespace
