// The two-point element and the label as they are computed: the end points
// of each size (from the construction points, or the element's own), the
// ways of setting them, boxes, hit tests and exported items; the label's
// text box from fixed text metrics, its inside test and its empty item.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/elements/two_point_elements.h"
#include "design/geometry/vertex.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "tests/support/le_bytes.h"

namespace {

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;

// A point at a given position per size, computing nothing.
class PlacedPoint : public CGradedPoint {
 public:
  PlacedPoint(CPatternData* owner, std::vector<CPoint> perSize)
      : CGradedPoint(kPointKindFree, owner, 0), m_PerSize(std::move(perSize)) {}
  void MoveTo(int32_t size, CPoint at) {
    m_PerSize[static_cast<size_t>(size)] = at;
    Invalidate(-1);
  }

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

struct Ends {
  CPoint a;
  CPoint b;
  friend bool operator==(const Ends&, const Ends&) = default;
  friend void PrintTo(const Ends& e, std::ostream* os) {
    *os << "(" << e.a.x << "," << e.a.y << ")-(" << e.b.x << "," << e.b.y << ")";
  }
};

Ends At(CTwoPointElement& element, int32_t size) {
  Ends ends{CPoint(-1, -1), CPoint(-1, -1)};
  EXPECT_TRUE(element.GetEndPointsAt(size, &ends.a, &ends.b)) << "size " << size;
  return ends;
}

class TwoPointCompute : public ::testing::Test {
 protected:
  TwoPointCompute() {
    for (int i = 0; i < kSizeCount; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBaseSize);
    first_ = AddPoint({CPoint(1, 2), CPoint(10, 20), CPoint(100, 200)});
    second_ = AddPoint({CPoint(-1, -2), CPoint(-10, -20), CPoint(-100, -200)});
  }

  PlacedPoint* AddPoint(std::vector<CPoint> perSize) {
    auto* point = static_cast<PlacedPoint*>(
        data_.AddElement(std::make_unique<PlacedPoint>(&data_, std::move(perSize))));
    point->SetState(1);
    return point;
  }

  CPatternData data_;
  CPatternRecord record_{&data_};
  PlacedPoint* first_ = nullptr;
  PlacedPoint* second_ = nullptr;
};

// ---- End points per size ----------------------------------------------------------

TEST_F(TwoPointCompute, AFreeElementHasItsFixedPointsInEverySize) {
  CTwoPointElement element(&record_, CPoint(10, 20), CPoint(4, 30));
  for (int32_t size = 0; size < kSizeCount; ++size) {
    EXPECT_EQ(At(element, size), (Ends{CPoint(10, 20), CPoint(4, 30)}));
  }
  CPoint a, b;
  element.GetEndPoints(&a, &b);
  EXPECT_EQ((Ends{a, b}), (Ends{CPoint(10, 20), CPoint(4, 30)}));
  EXPECT_FALSE(element.GetEndPointsAt(kSizeCount, &a, &b));
  EXPECT_FALSE(element.GetEndPointsAt(-1, &a, &b));
}

TEST_F(TwoPointCompute, ATiedElementTakesBothPointsInEachSize) {
  CTwoPointElement element(&record_, CPoint(7, 7), CPoint(8, 8), first_, second_);
  for (int32_t size = 0; size < kSizeCount; ++size) {
    CPoint a, b;
    first_->GetPoint(size, &a);
    second_->GetPoint(size, &b);
    EXPECT_EQ(At(element, size), (Ends{a, b}));
  }
  CPoint a, b;
  element.GetEndPoints(&a, &b);
  EXPECT_EQ((Ends{a, b}), (Ends{CPoint(10, 20), CPoint(-10, -20)}));

  // A moved point reaches the element once its sizes are due again.
  first_->MoveTo(2, CPoint(111, 222));
  element.Invalidate(-1);
  EXPECT_EQ(At(element, 2), (Ends{CPoint(111, 222), CPoint(-100, -200)}));

  // Freed by SetPoints: the new points in every size.
  element.SetPoints(CPoint(3, 4), CPoint(5, 6));
  EXPECT_EQ(element.GetRefA(), nullptr);
  for (int32_t size = 0; size < kSizeCount; ++size) EXPECT_EQ(At(element, size), (Ends{CPoint(3, 4), CPoint(5, 6)}));

  // Tied again by SetRefs.
  element.SetRefs(first_, second_);
  EXPECT_EQ(At(element, 0), (Ends{CPoint(1, 2), CPoint(-1, -2)}));
  // Half a pair ties to nothing.
  element.SetRefs(first_, nullptr);
  EXPECT_EQ(element.GetRefA(), nullptr);
}

// Setting one size's points frees a tied element where it stands: every
// size keeps what it computed, and the base size's ends become the fixed
// points.
TEST_F(TwoPointCompute, SettingOneSizeFreesATiedElementWhereItStands) {
  CTwoPointElement element(&record_, CPoint(7, 7), CPoint(8, 8), first_, second_);
  element.SetSizePoints(2, CPoint(50, 60), CPoint(70, 80));
  EXPECT_EQ(element.GetRefA(), nullptr);
  EXPECT_EQ(element.GetRefB(), nullptr);
  EXPECT_EQ(element.GetPointA(), CPoint(10, 20));
  EXPECT_EQ(element.GetPointB(), CPoint(-10, -20));
  EXPECT_EQ(At(element, 0), (Ends{CPoint(1, 2), CPoint(-1, -2)}));
  EXPECT_EQ(At(element, 1), (Ends{CPoint(10, 20), CPoint(-10, -20)}));
  EXPECT_EQ(At(element, 2), (Ends{CPoint(50, 60), CPoint(70, 80)}));

  // At the base size the new ends are the fixed points too.
  element.SetSizePoints(kBaseSize, CPoint(-5, -6), CPoint(-7, -8));
  EXPECT_EQ(element.GetPointA(), CPoint(-5, -6));
  EXPECT_EQ(element.GetPointB(), CPoint(-7, -8));
  EXPECT_EQ(At(element, kBaseSize), (Ends{CPoint(-5, -6), CPoint(-7, -8)}));
  EXPECT_EQ(At(element, 2), (Ends{CPoint(50, 60), CPoint(70, 80)}));
  element.Recalc(-1);
  EXPECT_EQ(At(element, 2), (Ends{CPoint(50, 60), CPoint(70, 80)}));
}

// A file of version 121 stores each size's own end points: they survive
// the first use of each size, a recalculation of all, and the export.
TEST_F(TwoPointCompute, OwnEndPointsFromAFileSurviveCalculation) {
  data_.SetVersion(121);
  LeBytes bytes;
  bytes.I32(10).I32(20).I32(30).I32(40);  // fixed A and B
  const Ends kOwn[kSizeCount] = {{CPoint(0, 100), CPoint(200, 300)},
                                 {CPoint(1, 101), CPoint(201, 301)},
                                 {CPoint(2, 102), CPoint(202, 302)}};
  for (const Ends& ends : kOwn) bytes.I32(ends.a.x).I32(ends.a.y).I32(ends.b.x).I32(ends.b.y);
  CTwoPointElement element(&record_);
  ArchiveReader archive{std::string_view(bytes.Bytes())};
  ASSERT_TRUE(element.Load(archive));
  ASSERT_TRUE(element.IsDirty(-1));

  for (int32_t size = 0; size < kSizeCount; ++size) EXPECT_EQ(At(element, size), kOwn[size]);
  element.Invalidate(-1);
  element.Recalc(-1);
  for (int32_t size = 0; size < kSizeCount; ++size) EXPECT_EQ(At(element, size), kOwn[size]);

  int32_t itemType = -1;
  std::vector<CVertex> vertices;
  ASSERT_TRUE(element.ExportItem(1.0, &itemType, &vertices));
  EXPECT_EQ(itemType, 1);
  ASSERT_EQ(vertices.size(), 2u);
  EXPECT_EQ(CPoint(vertices[0].x, vertices[0].y), CPoint(1, 101));
  EXPECT_EQ(CPoint(vertices[1].x, vertices[1].y), CPoint(201, 301));

  element.SetPoints(CPoint(-3, -4), CPoint(-5, -6));
  for (int32_t size = 0; size < kSizeCount; ++size) {
    EXPECT_EQ(At(element, size), (Ends{CPoint(-3, -4), CPoint(-5, -6)}));
  }
}

// ---- Boxes, hit test, export -----------------------------------------------------

TEST_F(TwoPointCompute, TheBoxRunsOnePastTheGreaterEnd) {
  CTwoPointElement element(&record_, CPoint(10, 20), CPoint(4, 30));
  EXPECT_EQ(element.GetBoundRect(0), CRect(4, 20, 11, 31));
  // A quarter turn about the origin: (10, 20) -> (-20, 10), (4, 30) -> (-30, 4).
  EXPECT_EQ(element.GetBoundRectAt(0, 0, 0, 1.0, 0.0), CRect(-30, 4, -19, 11));
  EXPECT_EQ(element.GetBoundRect(kSizeCount), CRect());

  CTwoPointElement tied(&record_, CPoint(), CPoint(), first_, second_);
  EXPECT_EQ(tied.GetBoundRect(2), CRect(-100, -200, 101, 201));

  CTwoPointElement far(&record_, CPoint(INT32_MAX, INT32_MAX), CPoint(INT32_MIN, INT32_MIN));
  EXPECT_EQ(far.GetBoundRect(0).left, INT32_MIN);
  far.GetBoundRectAt(0, INT32_MIN, INT32_MAX, 0.6, 0.8);
}

TEST_F(TwoPointCompute, HitTestsTheSegmentOfTheBaseSize) {
  CTwoPointElement element(&record_, CPoint(), CPoint(), first_, second_);
  // Base size: (10, 20) to (-10, -20). (2, 4) lies on it; (10, 23) is 3
  // beyond its end (10, 20).
  double distance = -1.0;
  EXPECT_TRUE(element.HitTestPoint(2, 4, 0.5, &distance));
  EXPECT_EQ(distance, 0.0);
  EXPECT_TRUE(element.HitTestPoint(10, 23, 3.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 3.0);
  EXPECT_FALSE(element.HitTestPoint(10, 23, 2.9, &distance));
  // Size 2's segment reaches (100, 200); the base size's does not.
  EXPECT_FALSE(element.HitTestPoint(100, 200, 5.0, &distance));
}

TEST_F(TwoPointCompute, ExportsTheBaseSizeEndsWithFlagZero) {
  CTwoPointElement element(&record_, CPoint(), CPoint(), first_, second_);
  int32_t itemType = -1;
  std::vector<CVertex> vertices = {CVertex{1, 1, 1}};
  ASSERT_TRUE(element.ExportItem(1.0, &itemType, &vertices));
  EXPECT_EQ(itemType, 1);
  ASSERT_EQ(vertices.size(), 2u);
  EXPECT_EQ(vertices[0].x, 10);
  EXPECT_EQ(vertices[0].y, 20);
  EXPECT_EQ(vertices[0].flag, 0u);
  EXPECT_EQ(vertices[1].x, -10);
  EXPECT_EQ(vertices[1].y, -20);
  EXPECT_EQ(vertices[1].flag, 0u);
}

// Without a base size with a pair there is nothing to hand over.
TEST(TwoPointComputeNoSizes, ExportsNothingWithoutSizes) {
  CPatternData data;
  CPatternRecord record(&data);
  CTwoPointElement element(&record, CPoint(1, 2), CPoint(3, 4));
  int32_t itemType = -1;
  std::vector<CVertex> vertices = {CVertex{1, 1, 1}};
  EXPECT_FALSE(element.ExportItem(1.0, &itemType, &vertices));
  EXPECT_TRUE(vertices.empty());
  EXPECT_EQ(itemType, -1);
  EXPECT_EQ(element.GetBoundRect(0), CRect());
  double distance = 0.0;
  EXPECT_FALSE(element.HitTestPoint(1, 2, 10.0, &distance));
}

// ---- Label -------------------------------------------------------------------------

// A label font 20 high: the fixed metrics make each byte 10 wide and a line
// 20 high.
LOGFONT FontAt(int32_t escapement) {
  LOGFONT font{};
  font.lfHeight = 20;
  font.lfEscapement = escapement;
  return font;
}

TEST(LabelCompute, TheBoxTurnsWithTheEscapement) {
  CPatternData data;
  CPatternRecord record(&data);
  struct Case {
    int32_t escapement;
    CPoint a, b, c;
    CRect box;
  };
  const Case kCases[] = {
      {0, CPoint(120, 200), CPoint(100, 220), CPoint(120, 220), CRect(100, 200, 120, 220)},
      {900, CPoint(100, 180), CPoint(120, 200), CPoint(120, 180), CRect(100, 180, 120, 200)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.escapement);
    CLabelElement label(&record, 100, 200, CString("AB"), FontAt(c.escapement));
    const std::array<CPoint, 4> box = {CPoint(100, 200), c.a, c.c, c.b};
    EXPECT_EQ(label.GetTextBox(), box);
    EXPECT_EQ(label.GetBoundRect(0), c.box);
    EXPECT_EQ(label.GetBoundRect(7), c.box);
    EXPECT_EQ(label.GetBoundRectAt(0, 0, 0, 0.0, 1.0), c.box);
  }
  // A quarter turn of the unturned box about its position.
  CLabelElement label(&record, 100, 200, CString("AB"), FontAt(0));
  EXPECT_EQ(label.GetBoundRectAt(0, 100, 200, 1.0, 0.0), CRect(80, 200, 100, 220));
}

TEST(LabelCompute, OnlyTheInsideOfTheBoxIsHit) {
  CPatternData data;
  CPatternRecord record(&data);
  struct Case {
    int32_t escapement;
    CPoint at;
    bool hit;
  };
  const Case kCases[] = {
      {0, CPoint(110, 210), true},     {0, CPoint(100, 200), true},  {0, CPoint(121, 210), false},
      {0, CPoint(110, 199), false},    {0, CPoint(110, 190), false}, {900, CPoint(110, 190), true},
      {900, CPoint(110, 210), false},  {900, CPoint(99, 190), false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.escapement << " at " << c.at.x << "," << c.at.y);
    CLabelElement label(&record, 100, 200, CString("AB"), FontAt(c.escapement));
    for (double tolerance : {0.0, 5.0, 1e9}) {
      double distance = -1.0;
      EXPECT_EQ(label.HitTestPoint(c.at.x, c.at.y, tolerance, &distance), c.hit ? TRUE : FALSE);
      EXPECT_EQ(distance, c.hit ? 0.0 : -1.0);
    }
  }
}

TEST(LabelCompute, ExportsItem11WithNoVertices) {
  CPatternData data;
  CPatternRecord record(&data);
  CLabelElement label(&record, 100, 200, CString("AB"), FontAt(0));
  int32_t itemType = -1;
  std::vector<CVertex> vertices = {CVertex{1, 2, 3}};
  ASSERT_TRUE(label.ExportItem(1.0, &itemType, &vertices));
  EXPECT_EQ(itemType, 11);
  EXPECT_TRUE(vertices.empty());
}

}  // namespace
