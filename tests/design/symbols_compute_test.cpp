// The symbols as they are computed: the shape each kind lays out at its
// anchor and turns by its angle, the fallbacks where a tangent or edge point
// has no real value, the hit tests and boxes of the shapes, and what a symbol
// without an anchor (or whose anchor cannot be had) gives.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/elements/symbol_elements.h"
#include "design/points/graded_point.h"

namespace {

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;

// A point at a given position per size, computing nothing; a size beyond
// the positions cannot be had.
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

class SymbolCompute : public ::testing::Test {
 protected:
  SymbolCompute() {
    for (int i = 0; i < kSizeCount; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBaseSize);
    origin_ = AddPoint({CPoint(0, 0), CPoint(0, 0), CPoint(0, 0)});
    graded_ = AddPoint({CPoint(1000, 2000), CPoint(-50, 70), CPoint(0, 0)});
    // Had at sizes 0 and 1 only.
    partial_ = AddPoint({CPoint(5, 5), CPoint(5, 5)});
  }

  PlacedPoint* AddPoint(std::vector<CPoint> perSize) {
    auto* point = static_cast<PlacedPoint*>(
        data_.AddElement(std::make_unique<PlacedPoint>(&data_, std::move(perSize))));
    point->SetState(1);
    return point;
  }

  template <class Symbol, class Params>
  std::unique_ptr<Symbol> Make(const Params& params) {
    auto symbol = std::make_unique<Symbol>(&record_);
    symbol->SetParams(params);
    return symbol;
  }

  static CSymbolShape Shape(CSymbolElem& symbol, int32_t size = kBaseSize) {
    CSymbolShape shape;
    EXPECT_TRUE(symbol.GetShape(size, &shape));
    return shape;
  }

  CPatternData data_;
  CPatternRecord record_{&data_};
  PlacedPoint* origin_ = nullptr;
  PlacedPoint* graded_ = nullptr;
  PlacedPoint* partial_ = nullptr;
};

// ---- Layouts -----------------------------------------------------------------------

// Sub-code 1: length 100, width 20 (or 21), offset 10.
TEST_F(SymbolCompute, BarsLieAlongTheAxisAndTurnByMinusTheAngle) {
  struct Case {
    const char* name;
    int32_t width;
    double angle;
    CSymbolShape shape;
  };
  const Case kCases[] = {
      {"angle 0", 20, 0.0, {{-10, 0}, {90, 0}, {-10, -10}, {-10, 10}, {90, -10}, {90, 10}}},
      // (x, y) -> (y, -x): the sine is taken of minus the angle.
      {"angle 90", 20, 90.0, {{0, 10}, {0, -90}, {-10, 10}, {10, 10}, {-10, -90}, {10, -90}}},
      // An odd width: each half truncated, the bar one unit short.
      {"width 21", 21, 0.0, {{-10, 0}, {90, 0}, {-10, -10}, {-10, 10}, {90, -10}, {90, 10}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto symbol = Make<CSymbolElem1>(CSymbolParams1{origin_, 100, c.width, 10, c.angle});
    EXPECT_EQ(Shape(*symbol), c.shape);
  }
  // The same bars about an anchor elsewhere, per size.
  auto symbol = Make<CSymbolElem1>(CSymbolParams1{graded_, 100, 20, 10, 90.0});
  EXPECT_EQ(Shape(*symbol, 0), (CSymbolShape{{1000, 2010}, {1000, 1910}, {990, 2010}, {1010, 2010}, {990, 1910},
                                             {1010, 1910}}));
  EXPECT_EQ(Shape(*symbol, 1)[0], CPoint(-50, 80));
}

TEST_F(SymbolCompute, EachKindLaysOutItsRecord) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<CSymbolElem>()> make;
    CSymbolShape shape;
  };
  const Case kCases[] = {
      {"2: tangents at 60 degrees", [&] { return Make<CSymbolElem2>(CSymbolParams2{origin_, 40, 10, 30, 0.0}); },
       {{0, 0}, {5, 9}, {5, -9}, {20, 0}, {40, 0}}},
      // d = 30, w = 5: the box is 3 either side, the tangents aim at 2.5.
      {"4: box half width rounded",
       [&] { return Make<CSymbolElem4>(CSymbolParams4{origin_, 200, 10, 60, 20, 5, 0.0}); },
       {{0, 0}, {3, 10}, {3, -10}, {30, 0}, {30, 3}, {30, -3}, {50, 3}, {50, -3}, {200, 0}}},
      // The tip on the circle: alpha 0, both tangent points at the tip.
      {"8: tip on the circle", [&] { return Make<CSymbolElem8>(CSymbolParams8{origin_, 0, 10, 20, 6, 4, 0.0}); },
       {{0, 0}, {10, 0}, {10, 0}, {10, 0}, {0, 0}, {6, -3}, {6, 3}}},
      {"16: stem as wide as the circle",
       [&] { return Make<CSymbolElem16>(CSymbolParams16{origin_, 5, 10, 100, 20, 30, 0.0}); },
       {{0, 0}, {5, 0}, {0, 10}, {0, -10}, {90, -15}, {90, 0}, {90, 15}, {90, -15}, {90, 15}}},
      {"16: stem one unit narrower",
       [&] { return Make<CSymbolElem16>(CSymbolParams16{origin_, 5, 10, 100, 19, 30, 0.0}); },
       {{0, 0}, {5, 0}, {3, 10}, {3, -10}, {90, -9}, {90, 0}, {90, 9}, {90, -15}, {90, 15}}},
      {"32: bar as wide as the circles",
       [&] { return Make<CSymbolElem32>(CSymbolParams32{origin_, 5, 10, 100, 20, 0.0}); },
       {{0, 0}, {80, 0}, {5, 0}, {0, 10}, {0, -10}, {75, 0}, {80, 10}, {80, -10}}},
      {"32: bar one unit narrower",
       [&] { return Make<CSymbolElem32>(CSymbolParams32{origin_, 5, 10, 100, 19, 0.0}); },
       {{0, 0}, {80, 0}, {5, 0}, {3, 10}, {3, -10}, {75, 0}, {77, 10}, {77, -10}}},
      {"64", [&] { return Make<CSymbolElem64>(CSymbolParams64{origin_, 100, 10, 0.0}); }, {{-10, 0}, {90, 0}}},
      {"128", [&] { return Make<CSymbolElem128>(CSymbolParams128{origin_, 100, 20, 10, 0.0}); },
       {{-10, 0}, {90, 0}, {-10, -10}, {-10, 10}, {90, -10}, {90, 10}}},
      {"256", [&] { return Make<CSymbolElem256>(CSymbolParams256{origin_, 5, -9, 0.0}); }, {{0, 0}, {5, 0}, {-9, 0}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto symbol = c.make();
    EXPECT_EQ(Shape(*symbol), c.shape);
  }
}

// Where a tangent or edge point has no real value it falls on the axis at
// the circle's near side; every point stays finite and the shape can be hit
// and boxed.
TEST_F(SymbolCompute, OutOfDomainShapesFallBackToTheCirclesNearSide) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<CSymbolElem>()> make;
    CSymbolShape shape;
  };
  const Case kCases[] = {
      {"2 with c = r", [&] { return Make<CSymbolElem2>(CSymbolParams2{origin_, 40, 10, 10, 0.0}); },
       {{0, 0}, {10, 0}, {10, 0}, {0, 0}, {40, 0}}},
      {"2 with c - r below r", [&] { return Make<CSymbolElem2>(CSymbolParams2{origin_, 40, 10, 15, 0.0}); },
       {{0, 0}, {10, 0}, {10, 0}, {5, 0}, {40, 0}}},
      // d = 3, w = 4: the corner is 3.6 from the centre, inside the circle.
      {"4 with the corner inside", [&] { return Make<CSymbolElem4>(CSymbolParams4{origin_, 0, 10, 18, 5, 4, 0.0}); },
       {{0, 0}, {10, 0}, {10, 0}, {3, 0}, {3, 2}, {3, -2}, {8, 2}, {8, -2}, {0, 0}}},
      {"4 with the corner on the centre",
       [&] { return Make<CSymbolElem4>(CSymbolParams4{origin_, 0, 10, 15, 5, 0, 0.0}); },
       {{0, 0}, {10, 0}, {10, 0}, {0, 0}, {0, 0}, {0, 0}, {5, 0}, {5, 0}, {0, 0}}},
      {"8 with L = r", [&] { return Make<CSymbolElem8>(CSymbolParams8{origin_, 0, 10, 10, 6, 4, 0.0}); },
       {{0, 0}, {10, 0}, {10, 0}, {0, 0}, {0, 0}, {-4, -3}, {-4, 3}}},
      {"8 with the tip inside", [&] { return Make<CSymbolElem8>(CSymbolParams8{origin_, 0, 10, 15, 6, 4, 0.0}); },
       {{0, 0}, {10, 0}, {10, 0}, {5, 0}, {0, 0}, {1, -3}, {1, 3}}},
      {"16 with r = 0", [&] { return Make<CSymbolElem16>(CSymbolParams16{origin_, 0, 0, 100, -4, 30, 0.0}); },
       {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {100, 2}, {100, 0}, {100, -2}, {100, -15}, {100, 15}}},
      {"16 with s below -2r", [&] { return Make<CSymbolElem16>(CSymbolParams16{origin_, 0, 10, 100, -30, 30, 0.0}); },
       {{0, 0}, {0, 0}, {10, 0}, {10, 0}, {90, 15}, {90, 0}, {90, -15}, {90, -15}, {90, 15}}},
      {"32 with r = 0", [&] { return Make<CSymbolElem32>(CSymbolParams32{origin_, 0, 0, 100, -4, 0.0}); },
       {{0, 0}, {100, 0}, {0, 0}, {0, 0}, {0, 0}, {100, 0}, {100, 0}, {100, 0}}},
      {"32 with s below -2r", [&] { return Make<CSymbolElem32>(CSymbolParams32{origin_, 0, 10, 100, -30, 0.0}); },
       {{0, 0}, {80, 0}, {0, 0}, {10, 0}, {10, 0}, {80, 0}, {70, 0}, {70, 0}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto symbol = c.make();
    EXPECT_EQ(Shape(*symbol), c.shape);
    double distance = 0.0;
    symbol->HitTestPoint(3, 4, 2.0, &distance);
    symbol->HitTestPoint(1000, 1000, 2.0, &distance);
    EXPECT_FALSE(symbol->GetBoundRect(kBaseSize).IsRectEmpty());
    symbol->GetBoundRectAt(kBaseSize, 1, 2, 0.6, 0.8);
  }
}

// Parameters and angles from a hostile file: every kind computes, hits and
// boxes without overflow or a NaN reaching a coordinate.
TEST_F(SymbolCompute, ExtremeParametersComputeWithoutUndefinedBehaviour) {
  const int32_t kValues[] = {INT32_MIN, -1, 0, 1, INT32_MAX};
  const double kAngles[] = {0.0, 45.0, std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(), -1e300};
  const std::function<std::unique_ptr<CSymbolElem>(int32_t, int32_t, double)> kMakers[] = {
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem1>(CSymbolParams1{graded_, u, v, u, a}); },
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem2>(CSymbolParams2{graded_, u, v, u, a}); },
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem4>(CSymbolParams4{graded_, u, v, u, v, u, a}); },
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem8>(CSymbolParams8{graded_, u, v, u, v, u, a}); },
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem16>(CSymbolParams16{graded_, u, v, u, v, u, a}); },
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem32>(CSymbolParams32{graded_, u, v, u, v, a}); },
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem64>(CSymbolParams64{graded_, u, v, a}); },
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem128>(CSymbolParams128{graded_, u, v, v, a}); },
      [&](int32_t u, int32_t v, double a) { return Make<CSymbolElem256>(CSymbolParams256{graded_, u, v, a}); },
  };
  for (const auto& make : kMakers) {
    for (int32_t u : kValues) {
      for (int32_t v : kValues) {
        for (double angle : kAngles) {
          auto symbol = make(u, v, angle);
          symbol->Recalc(-1);
          double distance = 0.0;
          symbol->HitTestPoint(0, 0, 5.0, &distance);
          symbol->HitTestPoint(INT32_MAX, INT32_MIN, 1e9, &distance);
          symbol->GetBoundRect(0);
          symbol->GetBoundRectAt(kBaseSize, INT32_MIN, INT32_MAX, 0.6, -0.8);
        }
      }
    }
  }
}

// ---- Hit tests -------------------------------------------------------------------

TEST_F(SymbolCompute, HitTestsTakeCircleInsideThenSegments) {
  // Sub-code 4 at the origin: circle r 10, tangents to the box from (30, -3)
  // to (50, 3), R far out at (200, 0).
  auto box = Make<CSymbolElem4>(CSymbolParams4{origin_, 200, 10, 60, 20, 5, 0.0});
  struct Case {
    const char* name;
    CPoint at;
    double tolerance;
    bool hit;
    double distance;
  };
  const Case kCases[] = {
      {"inside the circle", CPoint(2, 3), 0.5, true, 0.0},
      {"beside the rim", CPoint(-13, 0), 5.0, true, 3.0},
      {"the rim distance must be below the tolerance", CPoint(-13, 0), 3.0, false, 0.0},
      {"inside the box", CPoint(40, 0), 0.5, true, 0.0},
      {"inside between the tangents", CPoint(20, 0), 0.5, true, 0.0},
      {"beside the box's far edge", CPoint(52, 0), 3.0, true, 2.0},
      {"on R alone", CPoint(200, 0), 5.0, false, 0.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    double distance = -1.0;
    EXPECT_EQ(box->HitTestPoint(c.at.x, c.at.y, c.tolerance, &distance), c.hit ? TRUE : FALSE);
    if (c.hit) {
      EXPECT_DOUBLE_EQ(distance, c.distance);
    }
  }
}

TEST_F(SymbolCompute, EveryKindIsHitOnItsOwnShape) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<CSymbolElem>()> make;
    CPoint hitAt;
    double distance;  // with tolerance 3
    CPoint missAt;
  };
  const Case kCases[] = {
      {"1 along the bar", [&] { return Make<CSymbolElem1>(CSymbolParams1{origin_, 100, 20, 10, 0.0}); }, CPoint(40, 2),
       2.0, CPoint(40, 6)},
      {"1 beside a cross bar", [&] { return Make<CSymbolElem1>(CSymbolParams1{origin_, 100, 20, 10, 0.0}); },
       CPoint(-12, 5), 2.0, CPoint(-14, 5)},
      {"2 on the slit", [&] { return Make<CSymbolElem2>(CSymbolParams2{origin_, 40, 10, 30, 0.0}); }, CPoint(30, 1),
       1.0, CPoint(30, 5)},
      {"8 inside the circle", [&] { return Make<CSymbolElem8>(CSymbolParams8{origin_, 300, 10, 40, 6, 4, 0.0}); },
       CPoint(0, 9), 0.0, CPoint(300, 0)},
      {"16 inside the circle", [&] { return Make<CSymbolElem16>(CSymbolParams16{origin_, 300, 10, 100, 8, 30, 0.0}); },
       CPoint(-9, 0), 0.0, CPoint(300, 0)},
      {"16 inside the stem", [&] { return Make<CSymbolElem16>(CSymbolParams16{origin_, 300, 10, 100, 8, 30, 0.0}); },
       CPoint(50, 0), 0.0, CPoint(50, 10)},
      {"32 inside the second circle",
       [&] { return Make<CSymbolElem32>(CSymbolParams32{origin_, 300, 10, 100, 8, 0.0}); }, CPoint(85, 5), 0.0,
       CPoint(300, 0)},
      {"64 on the bar", [&] { return Make<CSymbolElem64>(CSymbolParams64{origin_, 100, 10, 0.0}); }, CPoint(50, 1), 1.0,
       CPoint(50, 5)},
      {"128 inside the box", [&] { return Make<CSymbolElem128>(CSymbolParams128{origin_, 100, 20, 10, 0.0}); },
       CPoint(40, 5), 0.0, CPoint(40, 14)},
      {"128 beside the box", [&] { return Make<CSymbolElem128>(CSymbolParams128{origin_, 100, 20, 10, 0.0}); },
       CPoint(40, 12), 2.0, CPoint(93, 14)},
      {"256 beside the outer circle", [&] { return Make<CSymbolElem256>(CSymbolParams256{origin_, 5, 9, 0.0}); },
       CPoint(0, 11), 2.0, CPoint(0, 12)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto symbol = c.make();
    double distance = -1.0;
    EXPECT_TRUE(symbol->HitTestPoint(c.hitAt.x, c.hitAt.y, 3.0, &distance));
    EXPECT_DOUBLE_EQ(distance, c.distance);
    EXPECT_FALSE(symbol->HitTestPoint(c.missAt.x, c.missAt.y, 3.0, &distance));
  }
}

TEST_F(SymbolCompute, HitTestAsksTheAnchorAtTheBaseSize) {
  auto symbol = Make<CSymbolElem64>(CSymbolParams64{graded_, 100, 10, 0.0});
  CPoint point;
  double distance = -1.0;
  EXPECT_TRUE(symbol->HitTest(-50, 73, 4.0, &point, &distance));
  EXPECT_EQ(point, CPoint(-50, 70));
  EXPECT_EQ(distance, 3.0);
  EXPECT_FALSE(symbol->HitTest(1000, 2000, 4.0, &point, &distance));
}

// ---- Boxes -------------------------------------------------------------------------

TEST_F(SymbolCompute, BoxesHoldTheDrawnPointsAndTheCircles) {
  auto box = Make<CSymbolElem4>(CSymbolParams4{origin_, 200, 10, 60, 20, 5, 0.0});
  // The circle's half side is |T2 - Q| = 10.44, rounded; R takes no part.
  EXPECT_EQ(box->GetBoundRect(kBaseSize), CRect(-10, -10, 51, 11));
  // Turned a quarter about Q: (x, y) -> (-y, x), the circle's square kept.
  EXPECT_EQ(box->GetBoundRectAt(kBaseSize, 0, 0, 1.0, 0.0), CRect(-10, -10, 11, 51));

  auto pair = Make<CSymbolElem32>(CSymbolParams32{origin_, 300, 10, 100, 20, 0.0});
  EXPECT_EQ(pair->GetBoundRect(kBaseSize), CRect(-10, -10, 91, 11));

  auto bars = Make<CSymbolElem1>(CSymbolParams1{origin_, 100, 20, 10, 0.0});
  EXPECT_EQ(bars->GetBoundRect(kBaseSize), CRect(-10, -10, 91, 11));
  EXPECT_EQ(bars->GetBoundRect(kSizeCount), CRect());
}

// ---- Shapes per size ---------------------------------------------------------------

TEST_F(SymbolCompute, ShapesAreComputedWhenDueAndOnlyForSizesThatExist) {
  auto symbol = Make<CSymbolElem64>(CSymbolParams64{graded_, 100, 10, 0.0});
  CSymbolShape shape;
  EXPECT_FALSE(symbol->GetShape(kSizeCount, &shape));
  EXPECT_FALSE(symbol->GetShape(-1, &shape));
  EXPECT_TRUE(symbol->IsDirty(0));
  EXPECT_EQ(Shape(*symbol, 0), (CSymbolShape{{990, 2000}, {1090, 2000}}));
  EXPECT_FALSE(symbol->IsDirty(0));

  symbol->SetAngle(90.0);
  EXPECT_TRUE(symbol->IsDirty(-1));
  EXPECT_EQ(Shape(*symbol, 0), (CSymbolShape{{1000, 2010}, {1000, 1910}}));

  symbol->SetParams(CSymbolParams64{graded_, 50, 0, 180.0});
  EXPECT_EQ(symbol->GetShapeCount(), kSizeCount);
  EXPECT_EQ(Shape(*symbol, 0), (CSymbolShape{{1000, 2000}, {950, 2000}}));
}

TEST_F(SymbolCompute, WithoutAnAnchorASizeFailsAndNothingIsHit) {
  auto none = Make<CSymbolElem4>(CSymbolParams4{nullptr, 0, 10, 60, 20, 5, 0.0});
  EXPECT_FALSE(none->Calculate(kBaseSize));
  EXPECT_FALSE(none->IsDirty(kBaseSize));
  EXPECT_EQ(Shape(*none), CSymbolShape(9));
  CPoint point;
  double distance = -1.0;
  EXPECT_FALSE(none->HitTest(0, 0, 100.0, &point, &distance));
  // The zero shape's circle would take in the origin.
  EXPECT_FALSE(none->HitTestPoint(0, 0, 100.0, &distance));
  EXPECT_EQ(none->GetBoundRect(kBaseSize), CRect());
  EXPECT_EQ(none->GetBoundRectAt(kBaseSize, 0, 0, 0.0, 1.0), CRect());

  // An anchor that cannot be had at one size fails that size only.
  auto partial = Make<CSymbolElem4>(CSymbolParams4{partial_, 0, 10, 60, 20, 5, 0.0});
  EXPECT_TRUE(partial->Calculate(0));
  EXPECT_EQ(Shape(*partial, 0)[0], CPoint(5, 5));
  EXPECT_FALSE(partial->Calculate(2));
  EXPECT_EQ(Shape(*partial, 2), CSymbolShape(9));
  EXPECT_EQ(partial->GetBoundRect(2), CRect());
  EXPECT_TRUE(partial->HitTestPoint(5, 5, 1.0, &distance));
}

}  // namespace
