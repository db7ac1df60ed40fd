// The reference elements at work: the part of a construction curve that a
// curve element takes, the items the point, line and curve elements export
// (open and closed, straight and thinned), their hit tests and boxes, and
// elements that miss a reference.
//
// The designs are built in code: points whose position the test gives, and
// polyline and spline curves read from their records.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/curves/polyline_curves.h"
#include "design/curves/spline_curves.h"
#include "design/elements/reference_elements.h"
#include "design/geometry/polyline.h"
#include "design/geometry/vertex.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "tests/design_writer/curves_records.h"

namespace {

using design_fixture::DesignArchiveWriter;
using design_fixture::PointListCurveFields;

constexpr int32_t kVersion = 162;
constexpr int32_t kSizes = 3;
constexpr int32_t kBase = 1;

// A construction point at a position the test gives, at every size.
class FixedPoint : public CGradedPoint {
 public:
  FixedPoint(CPatternData* owner, CPoint p) : CGradedPoint(kPointKindFree, owner, 0), at(p) { SetState(1); }
  CPoint at;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (size < 0 || size >= kSizes) return FALSE;
    *x = at.x;
    *y = at.y;
    return TRUE;
  }
};

std::string Text(const std::vector<CVertex>& list) {
  std::ostringstream out;
  for (const CVertex& v : list) out << (out.tellp() > 0 ? " " : "") << "(" << v.x << "," << v.y << ":" << v.flag << ")";
  return out.str();
}

class ReferenceElementsCompute : public ::testing::Test {
 protected:
  ReferenceElementsCompute() : writer_(kVersion) {
    data_.SetVersion(kVersion);
    data_.SetScale(40);
    for (int32_t i = 0; i < kSizes; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBase);
    piece_ = data_.AddPiece(std::make_unique<CPatternRecord>(&data_));
  }

  FixedPoint* Point(CPoint p) {
    return static_cast<FixedPoint*>(data_.AddElement(std::make_unique<FixedPoint>(&data_, p)));
  }
  std::vector<CGradedPoint*> Points(const std::vector<CPoint>& at) {
    std::vector<CGradedPoint*> points;
    for (CPoint p : at) points.push_back(Point(p));
    return points;
  }

  // A list curve of `kind` through `points`, from its first to its last
  // point (a closed one from its first round to it).
  template <class Curve>
  Curve* ListCurve(int32_t kind, const std::vector<CGradedPoint*>& points) {
    PointListCurveFields f;
    for (CGradedPoint* p : points) f.points.push_back(data_.GetElementIndex(p));
    f.start = f.points.front();
    f.end = kind % 2 == 0 ? f.points.front() : f.points.back();
    const std::string body = f.Body(writer_, kind);
    ArchiveReader reader{std::string_view(body)};
    auto curve = std::make_unique<Curve>(&data_, 0, 0, 1);
    EXPECT_TRUE(curve->Load(reader));
    auto* added = static_cast<Curve*>(data_.AddElement(std::move(curve)));
    added->ResolveIds();
    return added;
  }

  CPieceCurveElement* CurveElement(CGradedObject* curve, CGradedPoint* first, CGradedPoint* second) {
    return static_cast<CPieceCurveElement*>(
        piece_->AddElement(std::make_unique<CPieceCurveElement>(piece_, 0, 0, curve, first, second)));
  }

  // The element's export as text; `type` gets the item type.
  static std::string Export(CDesignElement* element, int32_t* type) {
    std::vector<CVertex> vertices;
    *type = -1;
    EXPECT_TRUE(element->ExportItem(4.0, type, &vertices));
    return Text(vertices);
  }

  CPatternData data_;
  DesignArchiveWriter writer_;
  CPatternRecord* piece_ = nullptr;
};

// ---- The curve element --------------------------------------------------------------------

TEST_F(ReferenceElementsCompute, APolylinePartGoesOutAsItIs) {
  std::vector<CGradedPoint*> open = Points({{0, 0}, {100, 0}, {100, 100}});
  std::vector<CGradedPoint*> square = Points({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  std::vector<CGradedPoint*> pair = Points({{0, 0}, {100, 0}});
  auto* polyline = ListCurve<CPolylineCurve>(design_fixture::kPolylineCurveKind, open);
  auto* closed = ListCurve<CClosedPolylineCurve>(design_fixture::kClosedPolylineCurveKind, square);
  auto* twoPointRing = ListCurve<CClosedPolylineCurve>(design_fixture::kClosedPolylineCurveKind, pair);

  struct Case {
    const char* name;
    CPieceCurveElement* element;
    int32_t type;
    std::string vertices;
  };
  const Case cases[] = {
      {"open, first to last", CurveElement(polyline, open[0], open[2]), 9, "(0,0:0) (100,0:2) (100,100:0)"},
      {"open, walked back", CurveElement(polyline, open[1], open[0]), 9, "(100,0:0) (0,0:0)"},
      {"open, one point doubled", CurveElement(polyline, open[1], open[1]), 9, "(100,0:0) (100,0:0)"},
      // Both points one object: the whole ring, without its closing copy.
      {"the whole ring", CurveElement(closed, square[0], square[0]), 8,
       "(0,0:0) (100,0:2) (100,100:2) (0,100:0)"},
      {"the whole ring from another point", CurveElement(closed, square[2], square[2]), 8,
       "(100,100:0) (0,100:2) (0,0:2) (100,0:0)"},
      {"a ring part", CurveElement(closed, square[1], square[3]), 9, "(100,0:0) (100,100:2) (0,100:0)"},
      // A ring of two points is no outline of its own.
      {"a ring of two points", CurveElement(twoPointRing, pair[0], pair[0]), 9, "(0,0:0) (100,0:2) (0,0:0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int32_t type = -1;
    EXPECT_EQ(Export(c.element, &type), c.vertices);
    EXPECT_EQ(type, c.type);
  }
}

TEST_F(ReferenceElementsCompute, ASplinePartIsThinnedToItsControls) {
  std::vector<CGradedPoint*> points = Points({{0, 0}, {500, 300}, {1000, 0}});
  auto* spline = ListCurve<CSplineCurve>(design_fixture::kSplineCurveKind, points);
  PointList whole;
  ASSERT_TRUE(spline->GetFullPoints(kBase, whole));
  ASSERT_GT(whole.size(), 3u);

  int32_t type = -1;
  // Thinned within a tenth of a millimetre (scale 40: 4 units), the
  // defining point kept as a control.
  EXPECT_EQ(Export(CurveElement(spline, points[0], points[2]), &type), "(0,0:0) (500,300:1) (1000,0:0)");
  EXPECT_EQ(type, 9);
  // A part that collapses to one point goes out as the element's two points.
  EXPECT_EQ(Export(CurveElement(spline, points[1], points[1]), &type), "(500,300:0) (500,300:0)");
  EXPECT_EQ(type, 9);
}

TEST_F(ReferenceElementsCompute, TheSectionIsKeptPerSizeAndNoneOutsideTheSizes) {
  std::vector<CGradedPoint*> points = Points({{0, 0}, {100, 0}, {100, 100}});
  auto* polyline = ListCurve<CPolylineCurve>(design_fixture::kPolylineCurveKind, points);
  CPieceCurveElement* element = CurveElement(polyline, points[0], points[1]);
  PointList section;
  for (int32_t size = 0; size < kSizes; ++size) {
    EXPECT_TRUE(element->GetSectionPoints(size, section));
    EXPECT_EQ(section, (PointList{CPoint(0, 0), CPoint(100, 0)}));
  }
  for (int32_t size : {-1, kSizes, INT32_MAX}) {
    SCOPED_TRACE(size);
    section = {CPoint(7, 7)};
    EXPECT_FALSE(element->GetSectionPoints(size, section));
    EXPECT_TRUE(section.empty());
    EXPECT_TRUE(element->GetBoundRect(size).IsRectEmpty());
  }
}

TEST_F(ReferenceElementsCompute, TheCurveElementIsHitOnTheWholeCurveAndBoxedOnItsPart) {
  std::vector<CGradedPoint*> points = Points({{0, 0}, {100, 0}, {100, 100}});
  auto* polyline = ListCurve<CPolylineCurve>(design_fixture::kPolylineCurveKind, points);
  CPieceCurveElement* element = CurveElement(polyline, points[0], points[1]);
  double distance = -1;
  EXPECT_TRUE(element->HitTestPoint(103, 50, 5.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 3.0);
  EXPECT_FALSE(element->HitTestPoint(50, 50, 5.0, &distance));
  EXPECT_EQ(element->GetBoundRect(kBase), CRect(0, 0, 100, 0));
  // A quarter turn about (0, 0).
  EXPECT_EQ(element->GetBoundRectAt(kBase, 0, 0, 1.0, 0.0), CRect(0, 0, 0, 100));

  // The box of a whole ring is the ring's.
  std::vector<CGradedPoint*> square = Points({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  auto* closed = ListCurve<CClosedPolylineCurve>(design_fixture::kClosedPolylineCurveKind, square);
  EXPECT_EQ(CurveElement(closed, square[1], square[1])->GetBoundRect(kBase), CRect(0, 0, 100, 100));
}

// ---- The point and line elements ------------------------------------------------------------

TEST_F(ReferenceElementsCompute, APointGoesOutTwiceAndIsBoxedInOneUnit) {
  FixedPoint* p = Point({10, 20});
  auto* element = static_cast<CPiecePointElement*>(
      piece_->AddElement(std::make_unique<CPiecePointElement>(piece_, 0, p)));
  int32_t type = -1;
  EXPECT_EQ(Export(element, &type), "(10,20:0) (10,20:0)");
  EXPECT_EQ(type, 9);
  EXPECT_EQ(element->GetBoundRect(kBase), CRect(10, 20, 11, 21));
  EXPECT_EQ(element->GetBoundRectAt(kBase, 0, 0, 1.0, 0.0), CRect(-20, 10, -19, 11));
  double distance = -1;
  // Five units away: the tolerance itself still hits.
  EXPECT_TRUE(element->HitTestPoint(13, 24, 5.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 5.0);
  EXPECT_FALSE(element->HitTestPoint(13, 24, 4.9, &distance));
}

TEST_F(ReferenceElementsCompute, ALineGoesOutAsItsTwoPoints) {
  FixedPoint* p = Point({100, 0});
  FixedPoint* q = Point({0, 50});
  auto* element = static_cast<CPieceLineElement*>(
      piece_->AddElement(std::make_unique<CPieceLineElement>(piece_, 0, 3, p, q)));
  int32_t type = -1;
  EXPECT_EQ(Export(element, &type), "(100,0:0) (0,50:0)");
  EXPECT_EQ(type, 9);
  EXPECT_EQ(element->GetBoundRect(kBase), CRect(0, 0, 100, 50));
  double distance = -1;
  EXPECT_TRUE(element->HitTestPoint(0, 53, 5.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 3.0);
  EXPECT_FALSE(element->HitTestPoint(0, 0, 5.0, &distance));
}

// ---- Missing references ----------------------------------------------------------------------

TEST_F(ReferenceElementsCompute, AnElementMissingAReferenceExportsNothingAndIsNeverHit) {
  std::vector<CGradedPoint*> points = Points({{0, 0}, {100, 0}});
  auto* polyline = ListCurve<CPolylineCurve>(design_fixture::kPolylineCurveKind, points);
  CGradedPoint* p = points[0];
  CGradedPoint* q = points[1];
  const std::vector<CDesignElement*> elements = {
      piece_->AddElement(std::make_unique<CPieceLineElement>(piece_, 0, 0, p, nullptr)),
      piece_->AddElement(std::make_unique<CPieceLineElement>(piece_, 0, 0, nullptr, q)),
      piece_->AddElement(std::make_unique<CPiecePointElement>(piece_, 0)),
      CurveElement(nullptr, p, q),
      CurveElement(polyline, nullptr, q),
      CurveElement(polyline, p, nullptr),
      // A curve field that names a point is no curve.
      CurveElement(p, p, q),
  };
  for (size_t i = 0; i < elements.size(); ++i) {
    SCOPED_TRACE(i);
    CDesignElement* element = elements[i];
    int32_t type = -1;
    std::vector<CVertex> vertices = {CVertex{1, 1, 1}};
    EXPECT_FALSE(element->ExportItem(4.0, &type, &vertices));
    EXPECT_TRUE(vertices.empty());
    EXPECT_TRUE(element->GetBoundRect(kBase).IsRectEmpty());
    EXPECT_TRUE(element->GetBoundRectAt(kBase, 0, 0, 0.0, 1.0).IsRectEmpty());
    double distance = -1;
    EXPECT_FALSE(element->HitTestPoint(0, 0, 1000.0, &distance));
  }
}

}  // namespace
