// The mark of a design piece as it is computed: its box about the anchor for
// each shape kind, the box turned by a view, its hit tests at the base size,
// and the piece item it hands over with its packed flag word. A mark without
// an anchor gives nothing.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/elements/mark_element.h"
#include "design/geometry/vertex.h"
#include "design/points/graded_point.h"

// Vertices compare field by field here; found by argument lookup, so they
// live beside CVertex, private to this file.
static bool operator==(const CVertex& a, const CVertex& b) {
  return a.x == b.x && a.y == b.y && a.flag == b.flag;
}
static void PrintTo(const CVertex& v, std::ostream* os) {
  *os << "{" << v.x << ", " << v.y << ", 0x" << std::hex << v.flag << std::dec << "}";
}

namespace {

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;

// A point at a given position per size, computing nothing.
class PlacedPoint : public CGradedPoint {
 public:
  PlacedPoint(CPatternData* owner, std::vector<CPoint> perSize)
      : CGradedPoint(kPointKindFree, owner, 0), m_PerSize(std::move(perSize)) {}

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (size < 0 || static_cast<size_t>(size) >= m_PerSize.size()) return FALSE;
    *x = m_PerSize[static_cast<size_t>(size)].x;
    *y = m_PerSize[static_cast<size_t>(size)].y;
    return TRUE;
  }

 private:
  std::vector<CPoint> m_PerSize;
};

class MarkCompute : public ::testing::Test {
 protected:
  MarkCompute() {
    for (int i = 0; i < kSizeCount; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBaseSize);
    // The anchor stands elsewhere in every size, so that each test shows
    // which size it was asked at.
    anchor_ = static_cast<PlacedPoint*>(data_.AddElement(std::make_unique<PlacedPoint>(
        &data_, std::vector<CPoint>{CPoint(-40, 7), CPoint(100, 200), CPoint(5000, -300)})));
    anchor_->SetState(1);
  }

  CMarkElement Mark(const MarkParams& params, CGradedPoint* anchor) { return CMarkElement(&record_, anchor, params); }

  CPatternData data_;
  CPatternRecord record_{&data_};
  PlacedPoint* anchor_ = nullptr;
};

MarkParams Kind(int32_t kind, int32_t size, int32_t width = 0, int32_t height = 0, double angle = 0.0) {
  MarkParams params;
  params.shapeKind = kind;
  params.size = size;
  params.width = width;
  params.height = height;
  params.angle = angle;
  return params;
}

// ---- Boxes -----------------------------------------------------------------------

TEST_F(MarkCompute, TheBoxOfEachKindStandsAboutTheAnchorOfTheSize) {
  struct Case {
    const char* name;
    MarkParams params;
    int32_t left, top, right, bottom;  // about P, except for an unknown kind
    bool aboutAnchor;
  };
  const Case kCases[] = {
      {"square 0", Kind(0, 5), -5, -5, 6, 6, true},
      {"square 1", Kind(1, 5), -5, -5, 6, 6, true},
      {"square 2", Kind(2, 5), -5, -5, 6, 6, true},
      {"large square", Kind(3, 5), -8, -8, 9, 9, true},
      {"rectangle unturned", Kind(4, 0, 10, 4), -5, -2, 6, 3, true},
      // Half sides 5 and 2 (truncated from 5.5 and 2.5), then a quarter turn.
      {"rectangle at 90", Kind(4, 0, 10, 4, 90.0), -2, -5, 3, 6, true},
      {"unknown kind", Kind(7, 5), 0, 0, 1, 1, false},
      {"negative kind", Kind(-1, 5), 0, 0, 1, 1, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CMarkElement mark = Mark(c.params, anchor_);
    for (int32_t size = 0; size < kSizeCount; ++size) {
      CPoint p;
      ASSERT_TRUE(mark.GetAnchorPoint(size, &p));
      const CPoint at = c.aboutAnchor ? p : CPoint(0, 0);
      EXPECT_EQ(mark.GetBoundRect(size), CRect(at.x + c.left, at.y + c.top, at.x + c.right, at.y + c.bottom))
          << "size " << size;
    }
  }
}

// Only the top-left and bottom-right corners are turned: with an eighth of a
// turn the diagonal between them stands upright and the box has no width.
TEST_F(MarkCompute, TurnedBoxSpansOnlyTwoCorners) {
  CMarkElement mark = Mark(Kind(0, 5), anchor_);
  const CRect box = mark.GetBoundRect(kBaseSize);
  ASSERT_EQ(box, CRect(95, 195, 106, 206));
  EXPECT_EQ(mark.GetBoundRectAt(kBaseSize, 7, -9, 0.0, 1.0), box);
  // Quarter turn about (0, 0): (95, 195) -> (-195, 95), (106, 206) -> (-206, 106).
  EXPECT_EQ(mark.GetBoundRectAt(kBaseSize, 0, 0, 1.0, 0.0), CRect(-206, 95, -195, 106));
  // Eighth turn about the top-left corner: the far corner goes straight down
  // by the diagonal, 11 * sqrt(2) = 15.56.
  const double s = std::sqrt(0.5);
  EXPECT_EQ(mark.GetBoundRectAt(kBaseSize, 95, 195, s, s), CRect(95, 195, 95, 211));
}

// ---- Hit tests --------------------------------------------------------------------

TEST_F(MarkCompute, HitTestsLookAtTheAnchorOfTheBaseSize) {
  CMarkElement mark = Mark(Kind(0, 5), anchor_);
  // (103, 204) is 5 from the anchor's base-size position (100, 200).
  double distance = -1.0;
  EXPECT_TRUE(mark.HitTestPoint(103, 204, 5.0, &distance));
  EXPECT_EQ(distance, 5.0);
  EXPECT_FALSE(mark.HitTestPoint(103, 204, 4.9, &distance));
  // Nowhere near the base size's anchor, though on the other sizes' ones.
  EXPECT_FALSE(mark.HitTestPoint(-40, 7, 5.0, &distance));
  EXPECT_FALSE(mark.HitTestPoint(5000, -300, 5.0, &distance));

  // The anchor's own test wants the distance below the tolerance.
  CPoint point;
  distance = -1.0;
  EXPECT_FALSE(mark.HitTest(103, 204, 5.0, &point, &distance));
  EXPECT_TRUE(mark.HitTest(103, 204, 6.0, &point, &distance));
  EXPECT_EQ(point, CPoint(100, 200));
  EXPECT_EQ(distance, 5.0);
  EXPECT_FALSE(mark.HitTest(-40, 7, 6.0, &point, &distance));
}

// ---- Export -----------------------------------------------------------------------

TEST_F(MarkCompute, ExportsTheAnchorWithThePackedFlagThenItsSizes) {
  MarkParams params = Kind(4, 7, 10, 4, 12.35);
  params.code2 = 3;
  params.switchA = 1;
  params.code3 = 2;
  CMarkElement mark = Mark(params, anchor_);
  int32_t itemType = -1;
  std::vector<CVertex> vertices = {CVertex{9, 9, 9}};
  ASSERT_TRUE(mark.ExportItem(1.0, &itemType, &vertices));
  EXPECT_EQ(itemType, 2);
  // 12.35 degrees are 123.5 tenths, rounded half away from zero.
  const std::vector<CVertex> expected = {{100, 200, 0x93400}, {7, 124, 103}, {10, 4, 103}};
  EXPECT_EQ(vertices, expected);
}

TEST_F(MarkCompute, EachFieldPacksIntoItsOwnBitsOfTheFlag) {
  struct Case {
    const char* name;
    int32_t kind, code2, code3, switchA, switchB;
    uint32_t flag;
  };
  const Case kCases[] = {
      {"nothing", 0, 0, 0, 0, 0, 0},
      {"code 3 of 1 is bit 18", 0, 0, 1, 0, 0, 0x40000},
      {"code 3 of 3 fills bits 18 and 19", 0, 0, 3, 0, 0, 0xC0000},
      {"code 3 of 16 falls outside", 0, 0, 16, 0, 0, 0},
      {"switch B", 0, 0, 0, 0, -5, 0x20000},
      {"kind keeps four bits", 0x13, 0, 0, 0, 0, 0x300},
      {"code 2 keeps four bits", 0, 0x1F, 0, 0, 0, 0xF000},
      {"negative codes keep their low bits", -1, -1, -1, 0, 0, 0xCFF00},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    MarkParams params;
    params.shapeKind = c.kind;
    params.code2 = c.code2;
    params.code3 = c.code3;
    params.switchA = c.switchA;
    params.switchB = c.switchB;
    CMarkElement mark = Mark(params, anchor_);
    int32_t itemType = 0;
    std::vector<CVertex> vertices;
    ASSERT_TRUE(mark.ExportItem(1.0, &itemType, &vertices));
    ASSERT_EQ(vertices.size(), 3u);
    EXPECT_EQ(vertices[0].flag, c.flag);
    EXPECT_EQ(vertices[0].flag & 0xFFu, 0u);
  }
}

// ---- Without an anchor --------------------------------------------------------------

TEST_F(MarkCompute, WithoutAnAnchorThereIsNoBoxNoItemAndNoHit) {
  CMarkElement mark = Mark(Kind(4, 5, 10, 4, 30.0), nullptr);
  EXPECT_EQ(mark.GetBoundRect(kBaseSize), CRect());
  EXPECT_EQ(mark.GetBoundRectAt(kBaseSize, 3, 4, 1.0, 0.0), CRect());
  int32_t itemType = -1;
  std::vector<CVertex> vertices = {CVertex{1, 2, 3}};
  EXPECT_FALSE(mark.ExportItem(1.0, &itemType, &vertices));
  EXPECT_TRUE(vertices.empty());
  EXPECT_EQ(itemType, -1);
  CPoint point;
  double distance = 0.0;
  EXPECT_FALSE(mark.HitTest(0, 0, 1e9, &point, &distance));
  EXPECT_FALSE(mark.HitTestPoint(0, 0, 1e9, &distance));
  EXPECT_FALSE(mark.GetAnchorPoint(kBaseSize, &point));
}

// Sizes and extents from a file reach the box without overflowing.
TEST_F(MarkCompute, ExtremeSizesStopAtTheCoordinateRange) {
  const MarkParams kParams[] = {Kind(0, INT32_MAX), Kind(3, INT32_MAX), Kind(3, INT32_MIN),
                                Kind(4, 0, INT32_MAX, INT32_MIN, 1e300), Kind(4, 0, INT32_MAX, INT32_MAX, 45.0)};
  for (const MarkParams& params : kParams) {
    CMarkElement mark = Mark(params, anchor_);
    mark.GetBoundRect(kBaseSize);
    mark.GetBoundRectAt(kBaseSize, INT32_MAX, INT32_MIN, 0.5, 0.5);
  }
  EXPECT_EQ(Mark(Kind(3, INT32_MAX), anchor_).GetBoundRect(kBaseSize),
            CRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX));
  MarkParams angled = Kind(0, 0);
  angled.angle = 1e300;
  CMarkElement mark = Mark(angled, anchor_);
  std::vector<CVertex> vertices;
  int32_t itemType = 0;
  ASSERT_TRUE(mark.ExportItem(1.0, &itemType, &vertices));
  EXPECT_EQ(vertices[1].y, INT32_MAX);
}

}  // namespace
