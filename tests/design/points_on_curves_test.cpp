// Points, curves and measures computed together, every object a real kind of
// the design: points placed along a polyline follow it from size to size, a
// measure along it grows with it, and a curve whose own definition runs
// through a point placed on that curve fails the size instead of recursing.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/core/piece_measure.h"
#include "design/curves/polyline_curves.h"
#include "design/curves/spline_curves.h"
#include "design/geometry/polyline.h"
#include "design/points/distance_points.h"
#include "design/points/free_point.h"
#include "design/points/ratio_points.h"
#include "platform/archive.h"
#include "tests/design_writer/curves_records.h"
#include "tests/support/finishes_in_time.h"

namespace {

constexpr int32_t kVersion = 162;
constexpr int32_t kSizes = 3;
constexpr int32_t kBase = 1;

class PointsOnCurves : public ::testing::Test {
 protected:
  PointsOnCurves() : writer_(kVersion) {
    data_.SetVersion(kVersion);
    data_.SetScale(40);
    for (int32_t i = 0; i < kSizes; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBase);
  }

  // A free point at `at` for every size.
  CGradedPoint* Fixed(CPoint at) {
    auto point = std::make_unique<CFreePoint>(&data_, 0, at);
    point->SetState(1);
    return static_cast<CGradedPoint*>(data_.AddElement(std::move(point)));
  }
  // A free point that computes only the base size and keeps a graded
  // position for each of the others, as a file of mode 2 stores it.
  CGradedPoint* Graded(const std::vector<CPoint>& perSize) {
    auto point = std::make_unique<CFreePoint>(&data_, 0, perSize[kBase]);
    point->SetState(1);
    point->SetComputeAll(0);
    for (int32_t size = 0; size < kSizes; ++size) {
      point->SetSizePoint(size, perSize[static_cast<size_t>(size)].x, perSize[static_cast<size_t>(size)].y);
    }
    return static_cast<CGradedPoint*>(data_.AddElement(std::move(point)));
  }

  // A list curve of `kind` through `points`, read from its record as a file
  // holds it, from its first to its last point.
  template <class Curve>
  Curve* ListCurve(int32_t kind, const std::vector<CGradedPoint*>& points) {
    design_fixture::PointListCurveFields fields;
    for (CGradedPoint* p : points) fields.points.push_back(data_.GetElementIndex(p));
    fields.start = fields.points.front();
    fields.end = fields.points.back();
    const std::string body = fields.Body(writer_, kind);
    ArchiveReader reader{std::string_view(body)};
    auto curve = std::make_unique<Curve>(&data_, 0, 0, 1);
    EXPECT_TRUE(curve->Load(reader));
    auto* added = static_cast<Curve*>(data_.AddElement(std::move(curve)));
    added->ResolveIds();
    return added;
  }

  template <class Point, class... Args>
  Point* Add(Args&&... args) {
    auto point = std::make_unique<Point>(&data_, 0, std::forward<Args>(args)...);
    point->SetState(1);
    return static_cast<Point*>(data_.AddElement(std::move(point)));
  }

  static CPoint At(CGradedPoint* point, int32_t size, BOOL expected = TRUE) {
    CPoint p;
    EXPECT_EQ(point->GetPoint(size, &p), expected) << "size " << size;
    return p;
  }

  CPatternData data_;
  design_fixture::DesignArchiveWriter writer_;
};

TEST_F(PointsOnCurves, PointsAlongAPolylineFollowItsGrading) {
  // (0,0) - (100,0) - (100,100) at the base size; the last point is at
  // (100,300) in size 2 and (100,50) in size 0.
  CGradedPoint* a = Fixed({0, 0});
  CGradedPoint* b = Fixed({100, 0});
  CGradedPoint* c = Graded({{100, 50}, {100, 100}, {100, 300}});
  auto* curve = ListCurve<CPolylineCurve>(design_fixture::kPolylineCurveKind, {a, b, c});

  auto* half = Add<CCurveRatioPoint>(curve, a, 1, 2, 1);
  CFormula distance;
  distance.Set(&data_, {}, 0, 1.0, 1.0, 150);
  auto* along = Add<CCurveDistancePoint>(curve, a, 1, distance);

  EXPECT_EQ(At(half, kBase), CPoint(100, 0));
  EXPECT_EQ(At(half, 2), CPoint(100, 100));
  EXPECT_EQ(At(half, 0), CPoint(75, 0));
  EXPECT_EQ(At(along, kBase), CPoint(100, 50));
  EXPECT_EQ(At(along, 0), CPoint(100, 50));
  EXPECT_EQ(At(along, 2), CPoint(100, 50));

  // The points answer from their caches until the curve's point moves and
  // everything that depends on it is asked again.
  c->SetSizePoint(2, 100, 500);
  c->Invalidate(2);
  curve->Invalidate(2);
  half->Invalidate(2);
  EXPECT_EQ(At(half, 2), CPoint(100, 200));
}

TEST_F(PointsOnCurves, AMeasureAlongAPolylineGrowsWithIt) {
  CGradedPoint* a = Fixed({0, 0});
  CGradedPoint* b = Fixed({100, 0});
  CGradedPoint* c = Graded({{100, 50}, {100, 100}, {100, 300}});
  auto* curve = ListCurve<CPolylineCurve>(design_fixture::kPolylineCurveKind, {a, b, c});
  CPieceMeasure* measure = data_.AddMeasure(std::make_unique<CPieceMeasure>(&data_, 2, a, c, curve, "back"));
  EXPECT_EQ(measure->GetLength(0), 150);
  EXPECT_EQ(measure->GetLength(kBase), 200);
  EXPECT_EQ(measure->GetLength(2), 400);
  CPieceMeasure* straight = data_.AddMeasure(std::make_unique<CPieceMeasure>(&data_, 1, a, c, nullptr, "diag"));
  EXPECT_EQ(straight->GetLength(2), 316);
}

TEST_F(PointsOnCurves, ACurveThroughAPointPlacedOnItselfFailsTheSize) {
  CGradedPoint* a = Fixed({0, 0});
  CGradedPoint* b = Fixed({100, 80});
  CGradedPoint* d = Fixed({300, 0});
  // The ratio point is made first, without its curve, so that the curve can
  // name it among its defining points; then it is put on that curve.
  auto* onItself = Add<CCurveRatioPoint>(nullptr, a, 1, 0.5);
  auto* curve = ListCurve<CSplineCurve>(design_fixture::kSplineCurveKind, {a, b, onItself, d});
  EXPECT_TRUE(FinishesInTime([&] {
    onItself->SetParamsRatio(curve, a, 1, 0.5);
    for (int32_t size = 0; size < kSizes; ++size) {
      curve->Invalidate(size);
      onItself->Invalidate(size);
      PointList list;
      // Whichever is asked first, the cycle ends with one failure there.
      if (size % 2 == 0) {
        EXPECT_FALSE(curve->GetFullPoints(size, list)) << size;
        EXPECT_TRUE(list.empty());
      } else {
        CPoint p;
        EXPECT_FALSE(onItself->GetPoint(size, &p)) << size;
      }
    }
  }));
}

}  // namespace
