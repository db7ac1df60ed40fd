// How each curve kind computes its whole polyline per size: the list kinds
// (splines and polylines) morphing their own points with the anchors of a
// size, the centre arc's sweep, the arcs and circles whose points admit no
// circle, and what a size whose points cannot be had holds.
//
// The designs are built in code: points whose position per size the test
// gives, free vertex points and linked points that stand in for the point
// kinds' own computations, and curves read from their records and resolved
// against the design.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/curves/arc_curves.h"
#include "design/curves/circle_curves.h"
#include "design/curves/graded_curve.h"
#include "design/curves/polyline_curves.h"
#include "design/curves/spline_curves.h"
#include "design/geometry/polyline.h"
#include "design/points/free_point.h"
#include "design/points/rotated_points.h"
#include "platform/archive.h"
#include "tests/design/support/scripted_curve.h"
#include "tests/design_writer/curves_records.h"
#include "tests/support/finishes_in_time.h"

namespace {

using design_fixture::CenterArcFields;
using design_fixture::CenterCircleFields;
using design_fixture::DesignArchiveWriter;
using design_fixture::PointListCurveFields;
using design_fixture::ThreePointCurveFields;

constexpr int32_t kVersion = 162;
constexpr int32_t kSizes = 3;
constexpr int32_t kBase = 0;

// A point of the design with a grading of its own: the test gives its
// position per size, and the sizes at which it has none.
class GradedPoint : public CGradedPoint {
 public:
  explicit GradedPoint(CPatternData* owner) : CGradedPoint(kPointKindFree, owner, 0) { SetState(1); }

  std::vector<CPoint> at = std::vector<CPoint>(kSizes);
  std::set<int32_t> failsAt;
  // A curve the point is defined on: it asks the curve first and fails with
  // it, as a point placed along a curve does.
  CGradedCurve* onCurve = nullptr;
  const CGradedCurve* usesCurve = nullptr;

  BOOL UsesCurve(const CGradedCurve* curve) const override { return curve && curve == usesCurve; }

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (onCurve) {
      PointList list;
      if (!onCurve->GetFullPoints(size, list) || list.empty()) return FALSE;
    }
    if (failsAt.count(size) || size < 0 || size >= kSizes) return FALSE;
    *x = at[static_cast<size_t>(size)].x;
    *y = at[static_cast<size_t>(size)].y;
    return TRUE;
  }
};

// A curve's free vertex point (kind 20): its coordinate at every size, as
// the free points compute.
class VertexPoint : public CFreeVertexPoint {
 public:
  VertexPoint(CPatternData* owner, CPoint at) : CFreeVertexPoint(owner, 0, at) { SetState(1); }

 protected:
  BOOL ComputePoint(int32_t, int32_t* x, int32_t* y) override {
    *x = GetStoredPoint().x;
    *y = GetStoredPoint().y;
    return TRUE;
  }
};

// A linked point (kind 38) as the point kinds compute it: its coordinate at
// the base size; elsewhere what its curve places it at, or the coordinate.
// It asks again at every request away from the base size.
class OwnedPoint : public CLinkedPoint {
 public:
  OwnedPoint(CPatternData* owner, CPoint at) : CLinkedPoint(owner, 0, at) { SetState(1); }

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    CPoint p = GetStoredPoint();
    auto* curve = dynamic_cast<CGradedCurve*>(GetLink());
    CPoint placed;
    if (curve && size != GetOwner()->GetBaseSize() && curve->CalcLinkedPoint(size, this, placed)) p = placed;
    *x = p.x;
    *y = p.y;
    return TRUE;
  }
  SizeOutcome OutcomeOf(BOOL) const override { return SizeOutcome::kCacheOnly; }
};

std::string Text(const PointList& list) {
  std::ostringstream out;
  for (const CPoint& p : list) out << (out.tellp() > 0 ? " " : "") << "(" << p.x << "," << p.y << ")";
  return out.str();
}

class CurveKindsCompute : public ::testing::Test {
 protected:
  CurveKindsCompute() : writer_(kVersion) {
    data_.SetVersion(kVersion);
    data_.SetScale(40);
    for (int32_t i = 0; i < kSizes; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBase);
  }

  // A graded point at `base` at every size, with the positions of `others`
  // at theirs.
  GradedPoint* Point(CPoint base, const std::map<int32_t, CPoint>& others = {}) {
    auto point = std::make_unique<GradedPoint>(&data_);
    for (CPoint& p : point->at) p = base;
    for (const auto& [size, p] : others) point->at[static_cast<size_t>(size)] = p;
    return static_cast<GradedPoint*>(data_.AddElement(std::move(point)));
  }
  VertexPoint* Vertex(CPoint at) {
    return static_cast<VertexPoint*>(data_.AddElement(std::make_unique<VertexPoint>(&data_, at)));
  }
  OwnedPoint* Linked(CPoint at, CGradedObject* link) {
    auto* point = static_cast<OwnedPoint*>(data_.AddElement(std::make_unique<OwnedPoint>(&data_, at)));
    point->SetLink(link);
    return point;
  }
  int32_t At(const CGradedObject* object) const { return object ? data_.GetElementIndex(object) : -1; }

  // Reads `curve` from `body`, adds it to the design and resolves it.
  template <class Curve>
  Curve* Add(std::unique_ptr<Curve> curve, const std::string& body) {
    ArchiveReader reader{std::string_view(body)};
    EXPECT_TRUE(curve->Load(reader));
    auto* added = static_cast<Curve*>(data_.AddElement(std::move(curve)));
    added->ResolveIds();
    return added;
  }

  // A list curve of `kind` through the points at `ids`, from its first to
  // its last point.
  template <class Curve>
  Curve* ListCurve(int32_t kind, const std::vector<int32_t>& ids) {
    PointListCurveFields f;
    f.points = ids;
    f.start = ids.empty() ? -1 : ids.front();
    f.end = ids.empty() ? -1 : (kind % 2 == 0 ? ids.front() : ids.back());
    return Add(std::make_unique<Curve>(&data_, 0, 0, 1), f.Body(writer_, kind));
  }
  std::vector<int32_t> Ids(const std::vector<const CGradedObject*>& points) const {
    std::vector<int32_t> ids;
    for (const CGradedObject* p : points) ids.push_back(At(p));
    return ids;
  }
  CPolylineCurve* Polyline(const std::vector<const CGradedObject*>& points) {
    return ListCurve<CPolylineCurve>(design_fixture::kPolylineCurveKind, Ids(points));
  }
  CSplineCurve* Spline(const std::vector<const CGradedObject*>& points) {
    return ListCurve<CSplineCurve>(design_fixture::kSplineCurveKind, Ids(points));
  }
  template <class Curve>
  Curve* ThreePoint(int32_t kind, const CGradedObject* a, const CGradedObject* b, const CGradedObject* c) {
    ThreePointCurveFields f;
    f.points[0] = At(a);
    f.points[1] = At(b);
    f.points[2] = At(c);
    f.start = At(a);
    f.end = kind == design_fixture::kThreePointCircleKind ? At(a) : At(c);
    return Add(std::make_unique<Curve>(&data_, 0, 0, 1), f.Body(writer_));
  }
  CCenterArc* CenterArc(const CGradedObject* centre, const CGradedObject* from, const CGradedObject* to,
                        int32_t direction) {
    CenterArcFields f;
    f.centre = At(centre);
    f.from = At(from);
    f.to = At(to);
    f.direction = direction;
    f.start = At(from);
    f.end = At(to);
    return Add(std::make_unique<CCenterArc>(&data_, 0, 0, 1), f.Body(writer_));
  }
  CCenterCircle* CenterCircle(const CGradedObject* centre, const CGradedObject* point) {
    CenterCircleFields f;
    f.centre = At(centre);
    f.point = At(point);
    f.start = At(point);
    f.end = At(point);
    return Add(std::make_unique<CCenterCircle>(&data_, 0, 0, 1), f.Body(writer_));
  }

  static std::string Full(CGradedCurve* curve, int32_t size, BOOL* result = nullptr) {
    PointList list;
    const BOOL ok = curve->GetFullPoints(size, list);
    if (result) *result = ok;
    return Text(list);
  }

  CPatternData data_;
  DesignArchiveWriter writer_;
};

// ---- The list kinds -----------------------------------------------------------------

TEST_F(CurveKindsCompute, APolylineCarriesItsFreePointsWithTheAnchorsOfASize) {
  GradedPoint* a = Point({0, 0});
  VertexPoint* v = Vertex({50, 20});
  GradedPoint* b = Point({100, 0}, {{2, {200, 0}}});
  CPolylineCurve* curve = Polyline({a, v, b});
  EXPECT_EQ(Full(curve, kBase), "(0,0) (50,20) (100,0)");
  EXPECT_EQ(Full(curve, 2), "(0,0) (100,40) (200,0)");
  EXPECT_EQ(Full(curve, 1), "(0,0) (50,20) (100,0)");
}

TEST_F(CurveKindsCompute, ASplinePassesThroughEveryDefiningPosition) {
  GradedPoint* a = Point({0, 0});
  VertexPoint* v = Vertex({100, 80});
  GradedPoint* b = Point({200, 0}, {{2, {400, 0}}});
  GradedPoint* c = Point({300, -80}, {{2, {500, -80}}});
  CSplineCurve* curve = Spline({a, v, b, c});
  PointList list;
  ASSERT_TRUE(curve->GetFullPoints(kBase, list));
  EXPECT_GT(list.size(), 4u) << "the spline is sampled between its points";
  for (CPoint p : {CPoint(0, 0), CPoint(100, 80), CPoint(200, 0), CPoint(300, -80)}) {
    EXPECT_NE(FindPointInList(list, p.x, p.y), list.end()) << p.x << "," << p.y;
  }
  EXPECT_EQ(list.front(), CPoint(0, 0));
  EXPECT_EQ(list.back(), CPoint(300, -80));
  // At size 2 the free point follows the span (0,0)-(400,0) before the fit.
  ASSERT_TRUE(curve->GetFullPoints(2, list));
  EXPECT_NE(FindPointInList(list, 200, 160), list.end());
}

TEST_F(CurveKindsCompute, ALinkedPointOfAnotherCurveLeadsTheCurveButFollowsWhenPlaced) {
  // The linked point stands at (0, 100) at size 2, where the other curve
  // places it; at the base size at its coordinate (0, 0).
  design_test::ScriptedCurve* other = design_test::AddScriptedCurve(data_, {});
  other->linkedAnswer = {TRUE, CPoint(0, 100)};
  OwnedPoint* linked = Linked({0, 0}, other);
  VertexPoint* v = Vertex({50, 20});
  GradedPoint* b = Point({100, 0}, {{2, {200, 0}}});
  CPolylineCurve* curve = Polyline({linked, v, b});

  // In the whole curve it is an anchor: the span (0,0)-(100,0) goes to
  // (0,100)-(200,0), doubled and turned, and the free point with it.
  EXPECT_EQ(Full(curve, 2), "(0,100) (120,90) (200,0)");
  // Placing it, every linked point follows: the one anchor left moves the
  // whole shape by (100, 0).
  CPoint placed;
  ASSERT_TRUE(curve->CalcLinkedPoint(2, linked, placed));
  EXPECT_EQ(placed, CPoint(100, 0));
  ASSERT_TRUE(curve->CalcLinkedPoint(2, b, placed));
  EXPECT_EQ(placed, CPoint(200, 0));
}

TEST_F(CurveKindsCompute, ALinkedPointTheCurveOwnsFollowsItsAnchors) {
  GradedPoint* a = Point({0, 0}, {{2, {30, 40}}});
  VertexPoint* v = Vertex({50, 20});
  OwnedPoint* end = Linked({100, 0}, nullptr);
  CPolylineCurve* curve = Polyline({a, v, end});
  end->SetLink(curve);
  EXPECT_EQ(Full(curve, 2), "(30,40) (80,60) (130,40)");
  CPoint p;
  ASSERT_TRUE(end->GetPoint(2, &p));
  EXPECT_EQ(p, CPoint(130, 40)) << "the point asks its curve";
}

TEST_F(CurveKindsCompute, OnlyAnEndOfANonEmptyOpenCurveIsPlaced) {
  GradedPoint* a = Point({0, 0});
  VertexPoint* v = Vertex({50, 20});
  GradedPoint* b = Point({100, 0});
  CPolylineCurve* curve = Polyline({a, v, b});
  CPolylineCurve* empty = Polyline({});
  auto* closed = ListCurve<CClosedPolylineCurve>(design_fixture::kClosedPolylineCurveKind, Ids({a, v, b}));
  CPoint p(-7, -7);
  EXPECT_FALSE(curve->CalcLinkedPoint(2, v, p));
  EXPECT_FALSE(curve->CalcLinkedPoint(2, nullptr, p));
  EXPECT_FALSE(empty->CalcLinkedPoint(2, a, p));
  EXPECT_FALSE(closed->CalcLinkedPoint(2, a, p));
  EXPECT_FALSE(curve->CalcLinkedPoint(kSizes, a, p)) << "a size outside the lists";
  EXPECT_EQ(p, CPoint(-7, -7)) << "nothing is written";
}

TEST_F(CurveKindsCompute, ACurveStartingAndEndingAtOnePointMovesItsFreePointsWithIt) {
  GradedPoint* a = Point({0, 0}, {{2, {30, 40}}});
  VertexPoint* v1 = Vertex({50, 20});
  VertexPoint* v2 = Vertex({50, -20});
  CPolylineCurve* open = Polyline({a, v1, v2, a});
  EXPECT_EQ(Full(open, 2), "(30,40) (80,60) (80,20) (30,40)");
  auto* closed = ListCurve<CClosedPolylineCurve>(design_fixture::kClosedPolylineCurveKind, Ids({a, v1, v2}));
  EXPECT_EQ(Full(closed, 2), "(30,40) (80,60) (80,20)");
}

TEST_F(CurveKindsCompute, EditingAtTheBaseSizeMovesTheCurvesOwnPoints) {
  GradedPoint* a = Point({0, 0});
  VertexPoint* v = Vertex({50, 20});
  GradedPoint* b = Point({100, 0});
  CPolylineCurve* curve = Polyline({a, v, b});
  EXPECT_FALSE(curve->UpdateOwnedPoints()) << "no shape kept yet";

  curve->StoreBasePoints();
  b->at[kBase] = CPoint(0, 100);
  b->Invalidate(-1);
  curve->Invalidate(-1);
  // The span turns a quarter: the free point comes along.
  EXPECT_EQ(Full(curve, kBase), "(0,0) (-20,50) (0,100)");
  EXPECT_EQ(v->GetStoredPoint(), CPoint(-20, 50));
  EXPECT_FALSE(curve->UpdateOwnedPoints()) << "the shape is used once";
}

TEST_F(CurveKindsCompute, AThreePointArcMovesItsFreeMiddlePoint) {
  GradedPoint* a = Point({0, 0});
  VertexPoint* v = Vertex({50, 50});
  GradedPoint* c = Point({100, 0});
  auto* arc = ThreePoint<CThreePointArc>(design_fixture::kThreePointArcKind, a, v, c);
  EXPECT_FALSE(arc->UpdateOwnedPoints());
  arc->StoreBasePoints();
  c->at[kBase] = CPoint(200, 0);
  c->Invalidate(-1);
  EXPECT_TRUE(arc->UpdateOwnedPoints());
  EXPECT_EQ(v->GetStoredPoint(), CPoint(100, 100));
}

TEST_F(CurveKindsCompute, ACurveIsRelatedToItsPointsItsEndsAndThePointsOnIt) {
  GradedPoint* centre = Point({0, 0});
  GradedPoint* from = Point({100, 0});
  GradedPoint* to = Point({0, 100});
  GradedPoint* elsewhere = Point({5, 5});
  CCenterArc* arc = CenterArc(centre, from, to, 1);
  CPolylineCurve* polyline = Polyline({centre, from, to});
  GradedPoint* onArc = Point({70, 70});
  onArc->usesCurve = arc;
  struct Case {
    CGradedCurve* curve;
    const CGradedObject* object;
    bool related;
  };
  const Case cases[] = {
      {arc, from, true},       {arc, to, true},        {arc, onArc, true},  {arc, centre, false},
      {arc, elsewhere, false}, {arc, nullptr, false},  {polyline, centre, true},
      {polyline, onArc, false}, {polyline, polyline, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(At(c.object));
    EXPECT_EQ(c.curve->IsRelatedTo(c.object) != FALSE, c.related);
  }
}

TEST_F(CurveKindsCompute, RecalcAllRebuildsEverySize) {
  GradedPoint* a = Point({0, 0});
  GradedPoint* b = Point({100, 0}, {{1, {110, 0}}, {2, {120, 0}}});
  CPolylineCurve* curve = Polyline({a, b});
  EXPECT_EQ(Full(curve, 2), "(0,0) (120,0)");
  b->at[2] = CPoint(150, 0);
  b->Invalidate(-1);
  EXPECT_EQ(Full(curve, 2), "(0,0) (120,0)") << "nothing told the curve";
  curve->RecalcAll();
  for (int32_t size = 0; size < kSizes; ++size) EXPECT_FALSE(curve->IsDirty(size)) << size;
  EXPECT_EQ(Full(curve, 2), "(0,0) (150,0)");
}

// ---- Arcs and circles ---------------------------------------------------------------

TEST_F(CurveKindsCompute, ACentreArcRunsFromItsFromPointToTheAngleOfItsToPoint) {
  GradedPoint* centre = Point({0, 0});
  GradedPoint* from = Point({100, 0});
  GradedPoint* to = Point({0, 100});
  BOOL ok = FALSE;
  EXPECT_EQ(Full(CenterArc(centre, from, to, 0), kBase, &ok),
            "(100,0) (98,17) (94,34) (87,50) (77,64) (64,77) (50,87) (34,94) (17,98) (0,100) (0,100)");
  EXPECT_TRUE(ok);

  PointList list;
  ASSERT_TRUE(CenterArc(centre, from, to, 1)->GetFullPoints(kBase, list));
  EXPECT_EQ(list.front(), CPoint(100, 0));
  EXPECT_EQ(Text(PointList(std::prev(list.end(), 2), list.end())), "(0,100) (0,100)");
  EXPECT_TRUE(std::any_of(list.begin(), list.end(), [](CPoint p) { return p.y < -95; }));
  EXPECT_TRUE(std::any_of(list.begin(), list.end(), [](CPoint p) { return p.x < -95; }));
  for (CPoint p : PointList(std::next(list.begin()), std::prev(list.end(), 2))) {
    EXPECT_TRUE(p.x <= 0 || p.y <= 0) << "the three-quarter arc keeps off the quarter it leaves out: " << p.x
                                      << "," << p.y;
  }
}

TEST_F(CurveKindsCompute, ACentreArcWithoutASweepJoinsItsTwoPoints) {
  GradedPoint* centre = Point({0, 0});
  GradedPoint* from = Point({100, 0});
  GradedPoint* further = Point({200, 0});
  for (int32_t direction : {0, 1}) {
    SCOPED_TRACE(direction);
    EXPECT_EQ(Full(CenterArc(centre, from, further, direction), kBase), "(100,0) (200,0)");
    EXPECT_EQ(Full(CenterArc(centre, from, from, direction), kBase), "(100,0)");
  }
}

TEST_F(CurveKindsCompute, ACentreCircleThroughItsCentreIsOnePoint) {
  GradedPoint* centre = Point({10, 10});
  EXPECT_EQ(Full(CenterCircle(centre, centre), kBase), "(10,10)");
}

TEST_F(CurveKindsCompute, AtTheBaseSizeOnlyClicksNearTheBaseCircleHit) {
  GradedPoint* centre = Point({0, 0});
  GradedPoint* from = Point({100, 0});
  GradedPoint* to = Point({0, 200});
  CCenterArc* arc = CenterArc(centre, from, to, 0);
  CPoint nearest;
  double distance = 0;
  // (0, 150) lies on the straight step from the arc's end to the to-point,
  // 50 off the circle: other sizes hit it, the base size does not.
  EXPECT_FALSE(arc->HitTest(0, 150, 5.0, kBase, &nearest, &distance));
  EXPECT_FALSE(arc->HitTestIfValid(0, 150, 5.0, kBase, &nearest, &distance));
  EXPECT_TRUE(arc->HitTest(0, 150, 5.0, 1, &nearest, &distance));
  EXPECT_TRUE(arc->HitTest(71, 71, 5.0, kBase, &nearest, &distance));
  EXPECT_TRUE(arc->HitTestIfValid(71, 71, 5.0, kBase, &nearest, &distance));
}

TEST_F(CurveKindsCompute, ThreePointsOnALineGiveThemAtTheBaseSizeAndTheBaseCurveElsewhere) {
  GradedPoint* a = Point({0, 0});
  GradedPoint* b = Point({50, 0}, {{2, {100, 0}}});
  GradedPoint* c = Point({100, 0}, {{2, {200, 0}}});
  auto* arc = ThreePoint<CThreePointArc>(design_fixture::kThreePointArcKind, a, b, c);
  BOOL ok = FALSE;
  EXPECT_EQ(Full(arc, 2, &ok), "(0,0) (50,0) (100,0)");
  EXPECT_TRUE(ok) << "no circle is no failure";
  EXPECT_EQ(Full(arc, kBase), "(0,0) (50,0) (100,0)");
  auto* circle = ThreePoint<CThreePointCircle>(design_fixture::kThreePointCircleKind, a, b, c);
  EXPECT_EQ(Full(circle, 2, &ok), "(0,0) (50,0) (100,0)");
  EXPECT_TRUE(ok);

  // The base size never had a circle: nothing is hit there, not even on the
  // points themselves.
  CPoint nearest;
  double distance = 0;
  for (CGradedCurve* curve : {static_cast<CGradedCurve*>(arc), static_cast<CGradedCurve*>(circle)}) {
    for (CPoint p : {CPoint(0, 0), CPoint(50, 0), CPoint(100, 0)}) {
      EXPECT_FALSE(curve->HitTest(p.x, p.y, 5.0, kBase, &nearest, &distance));
      EXPECT_FALSE(curve->HitTestIfValid(p.x, p.y, 5.0, kBase, &nearest, &distance));
    }
  }
}

// ---- Sizes that fail ----------------------------------------------------------------

TEST_F(CurveKindsCompute, AFailedSizeReportsOnceAndHoldsItsFallbackUntilInvalidated) {
  GradedPoint* a = Point({0, 0});
  GradedPoint* c = Point({100, 0});
  GradedPoint* d = Point({150, 40});
  struct Case {
    const char* name;
    CGradedCurve* curve;
    GradedPoint* failing;  // null: the curve names a point that does not exist
    int32_t size;
    std::string holds;  // the list of the failed size
  };
  GradedPoint* splinePoint = Point({50, 30});
  GradedPoint* middle = Point({50, 30});
  GradedPoint* centre = Point({0, 0});
  GradedPoint* arcTo = Point({0, 100});
  GradedPoint* circlePoint = Point({100, 0});
  CCenterArc* arc = CenterArc(a, c, arcTo, 0);
  const std::string arcAtBase = Full(arc, kBase);
  const Case cases[] = {
      {"spline point at size 1", Spline({a, splinePoint, c, d}), splinePoint, 1, ""},
      {"closed polyline with index -1",
       ListCurve<CClosedPolylineCurve>(design_fixture::kClosedPolylineCurveKind, {At(a), -1, At(c)}), nullptr, 1,
       ""},
      {"three-point arc's middle point at the base size",
       ThreePoint<CThreePointArc>(design_fixture::kThreePointArcKind, a, middle, c), middle, kBase, ""},
      {"centre circle's centre at the base size", CenterCircle(centre, circlePoint), centre, kBase, ""},
      {"centre arc's to-point away from the base size", arc, arcTo, 2, arcAtBase},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.failing) c.failing->failsAt.insert(c.size);
    if (c.failing) c.failing->Invalidate(-1);
    c.curve->Invalidate(-1);
    BOOL ok = TRUE;
    EXPECT_EQ(Full(c.curve, c.size, &ok), c.holds);
    EXPECT_FALSE(ok) << "the first caller sees the failure";
    EXPECT_EQ(Full(c.curve, c.size, &ok), c.holds);
    EXPECT_TRUE(ok) << "later callers get the size as it was left";
    // A change invalidates the point and the curve on it.
    if (c.failing) c.failing->Invalidate(c.size);
    c.curve->Invalidate(c.size);
    EXPECT_EQ(Full(c.curve, c.size, &ok), c.holds);
    EXPECT_FALSE(ok) << "invalidated, the size is computed again";
    if (c.failing) {
      c.failing->failsAt.clear();
      c.failing->Invalidate(-1);
      c.curve->Invalidate(-1);
      const std::string mended = Full(c.curve, c.size, &ok);
      EXPECT_TRUE(ok);
      EXPECT_NE(mended, "") << "mended, the size has its curve";
    }
  }
}

TEST_F(CurveKindsCompute, ACurveWhosePointLiesOnItFailsInsteadOfLooping) {
  GradedPoint* a = Point({0, 0});
  GradedPoint* onItself = Point({50, 30});
  GradedPoint* c = Point({100, 0});
  CSplineCurve* curve = Spline({a, onItself, c});
  onItself->onCurve = curve;
  BOOL ok = TRUE;
  std::string list = "unset";
  EXPECT_TRUE(FinishesInTime([&] { list = Full(curve, 1, &ok); }));
  EXPECT_FALSE(ok);
  EXPECT_EQ(list, "");
}

}  // namespace
