// What the points that carry dimension labels tell their labels: when the
// labels may show, which graded value each label edits, and the text and the
// base-size points each label is laid out from. The labels' own layout is not
// looked at here; what is seen is what the point hands over.
//
// The points built on are a placed double of the test's own whose base-size
// position differs from its other sizes, so that a label given the wrong
// size shows; curves are the scripted double.
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/curves/graded_line.h"
#include "design/points/angle_line_points.h"
#include "design/points/direction_line_points.h"
#include "design/points/distance_points.h"
#include "design/points/graded_point.h"
#include "design/points/intersection_points.h"
#include "design/points/offset_point.h"
#include "design/points/polar_points.h"
#include "design/points/ratio_points.h"
#include "design/points/rotated_points.h"
#include "design/points/span_points.h"
#include "design/points/tangent_points.h"
#include "tests/design/support/scripted_curve.h"

namespace {

using design_test::AddScriptedCurve;
using design_test::ScriptedCurve;

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;

// At `at` for size 0, moved by `grade` for each size above.
class PlacedPoint : public CGradedPoint {
 public:
  explicit PlacedPoint(CPatternData* owner) : CGradedPoint(kPointKindFree, owner, 0) { SetState(1); }

  CPoint at;
  CPoint grade;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    *x = at.x + grade.x * size;
    *y = at.y + grade.y * size;
    return TRUE;
  }
};

CFormula Constant(CPatternData& data, int32_t value) { return CFormula(&data, {}, 0, 1.0, 1.0, value); }

CPoint AtBase(CGradedPoint* point) {
  CPoint p;
  point->GetPoint(kBaseSize, &p);
  return p;
}

// A design with four placed points, a two-point line through a and b drawn
// between b and c (so that a is not one of its ends and counts in use only
// through its own state), a line through b and c, and an open scripted curve
// along the x axis.
struct Scene {
  Scene() {
    for (int i = 0; i < kSizeCount; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data.SetBaseSize(kBaseSize);
    a = Add(CPoint(1000, 2000), CPoint(10, 0));
    b = Add(CPoint(5000, 2000), CPoint(0, 10));
    c = Add(CPoint(5000, 6000), CPoint(20, 20));
    d = Add(CPoint(9000, 6000), CPoint(0, 0));
    lineAB = static_cast<CGradedLine*>(
        data.AddElement(std::make_unique<CGradedLine>(&data, 0, 0, 1, a, b, nullptr, b, c)));
    lineBC = static_cast<CGradedLine*>(data.AddElement(std::make_unique<CGradedLine>(&data, 0, 0, 1, b, c)));
    curve = AddScriptedCurve(data, {CPoint(-10000, 0), CPoint(10000, 0)});
  }

  PlacedPoint* Add(CPoint at, CPoint grade) {
    auto point = std::make_unique<PlacedPoint>(&data);
    point->at = at;
    point->grade = grade;
    return static_cast<PlacedPoint*>(data.AddElement(std::move(point)));
  }

  template <class T, class... Args>
  T* Make(Args&&... args) {
    auto point = std::make_unique<T>(&data, 0, std::forward<Args>(args)...);
    point->SetState(1);
    return static_cast<T*>(data.AddElement(std::move(point)));
  }

  CPatternData data;
  PlacedPoint* a = nullptr;
  PlacedPoint* b = nullptr;
  PlacedPoint* c = nullptr;
  PlacedPoint* d = nullptr;
  CGradedLine* lineAB = nullptr;
  CGradedLine* lineBC = nullptr;
  ScriptedCurve* curve = nullptr;
};

// A labelled point of one kind and the point whose being in use its labels
// also need.
struct Built {
  CGradedPoint* point = nullptr;
  CGradedPoint* reference = nullptr;
  // The point's first label, and its second for the kinds that carry two.
  CDimLabel* first = nullptr;
  CDimLabel* second = nullptr;
};

// The labels are handed out read-only; the slots take them as the editor
// does, as pointers to the point's own labels.
CDimLabel* Own(const CDimLabel& label) { return const_cast<CDimLabel*>(&label); }

// A kind with one label, handed out by GetLabel.
template <class T>
Built One(T* point, CGradedPoint* reference) {
  return Built{point, reference, Own(point->GetLabel())};
}

// What a kind's first label edits in the label editor.
enum class Edits { kFormula, kAngle, kNothing };

struct KindCase {
  int kind;
  Edits edits;
  std::function<Built(Scene&)> build;
  // Whether the second label shows along with the first.
  bool secondShows = false;
};

const std::vector<KindCase>& LabelledKinds() {
  static const std::vector<KindCase> kCases = {
      {2, Edits::kFormula,
       [](Scene& s) {
         auto* p = s.Make<COffsetPoint>(s.a, Constant(s.data, 300), Constant(s.data, 500));
         return Built{p, s.a, Own(p->GetLabel1()), Own(p->GetLabel2())};
       },
       true},
      {3, Edits::kNothing, [](Scene& s) { return One(s.Make<CSegmentRatioPoint>(s.a, s.b, 4, 1), s.a); }},
      {4, Edits::kNothing, [](Scene& s) { return One(s.Make<CLineRatioPoint>(s.lineAB, s.a, 4, 1), s.a); }},
      {6, Edits::kFormula, [](Scene& s) { return One(s.Make<CDistanceTowardsPoint>(s.a, s.b, Constant(s.data, 300)), s.a); }},
      {7, Edits::kFormula, [](Scene& s) { return One(s.Make<CLineDistancePoint>(s.lineAB, s.a, Constant(s.data, 300)), s.a); }},
      {8, Edits::kFormula,
       [](Scene& s) { return One(s.Make<CCurveDistancePoint>(s.curve, s.a, 1, Constant(s.data, 300)), s.a); }},
      {15, Edits::kFormula,
       [](Scene& s) {
         auto* p = s.Make<CPolarPoint15>(s.a, Constant(s.data, 300), 30.0);
         return Built{p, s.a, Own(p->GetDistanceLabel()), Own(p->GetAngleLabel())};
       },
       true},
      {16, Edits::kFormula,
       [](Scene& s) {
         auto* p = s.Make<CPolarPoint16>(s.a, Constant(s.data, 300), 30.0);
         return Built{p, s.a, Own(p->GetDistanceLabel()), Own(p->GetAngleLabel())};
       }},
      {17, Edits::kFormula,
       [](Scene& s) {
         auto* p = s.Make<CPolarPoint17>(s.a, Constant(s.data, 300), 30.0);
         return Built{p, s.a, Own(p->GetDistanceLabel()), Own(p->GetAngleLabel())};
       }},
      {18, Edits::kFormula,
       [](Scene& s) {
         auto* p = s.Make<CDirectionDistancePoint>(s.a, Constant(s.data, 300), s.b, s.c, 30.0);
         return Built{p, s.a, Own(p->GetDistanceLabel()), Own(p->GetAngleLabel())};
       },
       true},
      {21, Edits::kFormula,
       [](Scene& s) {
         auto* p = s.Make<CLineCircleIntersectPoint>(s.a, s.lineBC, Constant(s.data, 4500), 1);
         return Built{p, s.a, Own(p->GetRadiusLabel())};
       }},
      {29, Edits::kAngle,
       [](Scene& s) {
         auto* p = s.Make<CAngleLinePoint>(s.a, 30.0, s.lineBC);
         return Built{p, s.a, Own(p->GetAngleLabel())};
       }},
      {32, Edits::kAngle, [](Scene& s) { return One(s.Make<CRelativeAngleLinePoint>(s.a, s.b, s.c, 30.0, s.lineBC), s.a); }},
      {36, Edits::kFormula,
       [](Scene& s) {
         return One(s.Make<CCurveSpanDistancePoint>(s.curve, s.a, s.b, 1, Constant(s.data, 300)), s.a);
       }},
      {37, Edits::kFormula,
       [](Scene& s) {
         return One(s.Make<CCurveTangentDistancePoint>(s.curve, s.a, 1, Constant(s.data, 300)), s.a);
       }},
      {40, Edits::kAngle, [](Scene& s) { return One(s.Make<CAngleCurvePoint>(s.a, 30.0, s.curve, 1), s.a); }},
      {43, Edits::kAngle, [](Scene& s) { return One(s.Make<CRelativeAngleCurvePoint>(s.a, s.b, s.c, 30.0, s.curve, 1), s.a); }},
      // The arc-length point measures from its start point, not its centre.
      {46, Edits::kFormula, [](Scene& s) { return One(s.Make<CArcLengthPoint>(s.d, s.a, 1, Constant(s.data, 300)), s.a); }},
  };
  return kCases;
}

TEST(LabelSlots, LabelsShowOnlyWhileThePointAndItsReferenceAreInUse) {
  for (const KindCase& kind : LabelledKinds()) {
    SCOPED_TRACE(kind.kind);
    Scene scene;
    const Built built = kind.build(scene);
    CGradedPoint* point = built.point;
    ASSERT_EQ(point->GetSubtype(), kind.kind);
    auto secondShown = [&] { return built.second && built.second->IsVisible() != 0; };
    ASSERT_TRUE(built.first);

    point->SetLabelVisible(TRUE);
    EXPECT_TRUE(point->IsLabelVisible());
    EXPECT_EQ(secondShown(), kind.secondShows);

    point->SetLabelVisible(FALSE);
    EXPECT_FALSE(point->IsLabelVisible());
    EXPECT_FALSE(secondShown());

    // The reference out of use: asked to show, the labels stay hidden.
    built.reference->SetState(0);
    point->SetLabelVisible(TRUE);
    EXPECT_FALSE(point->IsLabelVisible());
    EXPECT_FALSE(secondShown());

    // The point itself out of use.
    built.reference->SetState(1);
    point->SetState(0);
    point->SetLabelVisible(TRUE);
    EXPECT_FALSE(point->IsLabelVisible());
    EXPECT_FALSE(secondShown());
  }
}

TEST(LabelSlots, HidingAShownPointHidesItsLabels) {
  Scene scene;
  auto* point = scene.Make<CPolarPoint15>(scene.a, Constant(scene.data, 300), 30.0);
  point->SetLabelVisible(TRUE);
  ASSERT_TRUE(point->IsLabelVisible());
  point->SetState(0);
  EXPECT_FALSE(point->IsLabelVisible());
  EXPECT_EQ(point->GetAngleLabel().IsVisible(), 0);
}

TEST(LabelSlots, AFixedRatioShowsNoDivision) {
  Scene scene;
  auto* segment = scene.Make<CSegmentRatioPoint>(scene.a, scene.b, 0.25);
  auto* line = scene.Make<CLineRatioPoint>(scene.lineAB, scene.a, 0.25);
  for (CGradedPoint* point : std::vector<CGradedPoint*>{segment, line}) {
    SCOPED_TRACE(point->GetSubtype());
    point->SetLabelVisible(TRUE);
    EXPECT_FALSE(point->IsLabelVisible());
  }
  // A fraction shows it; going back to a fixed ratio hides it again.
  segment->SetFraction(4, 1);
  line->SetFraction(4, 1);
  segment->SetLabelVisible(TRUE);
  line->SetLabelVisible(TRUE);
  EXPECT_TRUE(segment->IsLabelVisible());
  EXPECT_TRUE(line->IsLabelVisible());
  segment->SetRatio(0.5);
  line->SetRatio(0.5);
  EXPECT_FALSE(segment->IsLabelVisible());
  EXPECT_FALSE(line->IsLabelVisible());
}

TEST(LabelSlots, APathAlongACurveNeedsTheCurveShown) {
  Scene scene;
  auto* distance = scene.Make<CCurveDistancePoint>(scene.curve, scene.a, 1, Constant(scene.data, 300));
  auto* span = scene.Make<CCurveSpanDistancePoint>(scene.curve, scene.a, scene.b, 1, Constant(scene.data, 300));
  scene.curve->SetState(0);
  for (CGradedPoint* point : std::vector<CGradedPoint*>{distance, span}) {
    SCOPED_TRACE(point->GetSubtype());
    point->SetLabelVisible(TRUE);
    EXPECT_FALSE(point->IsLabelVisible());
  }
  // Without a curve at all the label stays hidden too.
  auto* curveless = scene.Make<CCurveDistancePoint>(nullptr, scene.a, 1, Constant(scene.data, 300));
  curveless->SetLabelVisible(TRUE);
  EXPECT_FALSE(curveless->IsLabelVisible());
}

// ---- Which value a label edits -------------------------------------------------

TEST(LabelSlots, EachLabelEditsOnlyItsOwnValue) {
  Scene scene;
  auto* polar = scene.Make<CPolarPoint15>(scene.a, Constant(scene.data, 300), 30.0);
  const CPoint before = AtBase(polar);
  auto* distanceLabel = const_cast<CDimLabel*>(&polar->GetDistanceLabel());
  auto* angleLabel = const_cast<CDimLabel*>(&polar->GetAngleLabel());

  // The angle label takes no formula, the distance label no value.
  polar->SetFormula(angleLabel, Constant(scene.data, 900));
  polar->SetLabelValue(distanceLabel, 45.0);
  EXPECT_EQ(polar->GetDistance(), Constant(scene.data, 300));
  EXPECT_EQ(polar->GetAngle(), 30.0);

  polar->SetFormula(distanceLabel, Constant(scene.data, 900));
  polar->SetLabelValue(angleLabel, 45.0);
  EXPECT_EQ(polar->GetDistance(), Constant(scene.data, 900));
  EXPECT_EQ(polar->GetAngle(), 45.0);
  // Whichever label asks, the distance and the angle are handed out.
  EXPECT_EQ(polar->GetFormula(angleLabel), Constant(scene.data, 900));
  EXPECT_EQ(polar->GetLabelValue(distanceLabel), 45.0);
  // The editor's change computes nothing by itself.
  EXPECT_EQ(AtBase(polar), before);
}

TEST(LabelSlots, TheOffsetLabelsEditDxAndDy) {
  Scene scene;
  auto* point = scene.Make<COffsetPoint>(scene.a, Constant(scene.data, 300), Constant(scene.data, 500));
  auto* label1 = const_cast<CDimLabel*>(&point->GetLabel1());
  auto* label2 = const_cast<CDimLabel*>(&point->GetLabel2());
  point->SetFormula(label2, Constant(scene.data, 700));
  EXPECT_EQ(point->GetDx(), Constant(scene.data, 300));
  EXPECT_EQ(point->GetDy(), Constant(scene.data, 700));
  point->SetFormula(label1, Constant(scene.data, 100));
  EXPECT_EQ(point->GetDx(), Constant(scene.data, 100));
  EXPECT_EQ(point->GetFormula(label1), Constant(scene.data, 100));
  EXPECT_EQ(point->GetFormula(label2), Constant(scene.data, 700));
  // A label of another point edits nothing.
  CDimLabel stranger;
  point->SetFormula(&stranger, Constant(scene.data, 1));
  EXPECT_EQ(point->GetDx(), Constant(scene.data, 100));
  EXPECT_EQ(point->GetDy(), Constant(scene.data, 700));
}

TEST(LabelSlots, TheFirstLabelEditsTheValueItShows) {
  for (const KindCase& kind : LabelledKinds()) {
    SCOPED_TRACE(kind.kind);
    Scene scene;
    const Built built = kind.build(scene);
    CGradedPoint* point = built.point;
    const CFormula before = point->GetFormula(built.first);
    const double angleBefore = point->GetLabelValue(built.first);
    // A label of another point edits nothing.
    CDimLabel stranger;
    point->SetFormula(&stranger, Constant(scene.data, 777));
    point->SetLabelValue(&stranger, 45.0);
    EXPECT_EQ(point->GetFormula(built.first), before);
    EXPECT_EQ(point->GetLabelValue(built.first), angleBefore);

    point->SetFormula(built.first, Constant(scene.data, 777));
    point->SetLabelValue(built.first, 45.0);
    switch (kind.edits) {
      case Edits::kFormula:
        EXPECT_EQ(point->GetFormula(built.first), Constant(scene.data, 777));
        EXPECT_EQ(point->GetLabelValue(built.first), angleBefore);
        break;
      case Edits::kAngle:
        EXPECT_EQ(point->GetFormula(built.first), CFormula());
        EXPECT_EQ(point->GetLabelValue(built.first), 45.0);
        break;
      case Edits::kNothing:
        EXPECT_EQ(point->GetFormula(built.first), CFormula());
        EXPECT_EQ(point->GetLabelValue(built.first), 0.0);
        break;
    }
  }
}

TEST(LabelSlots, DistancePointsGiveAnyOtherLabelAnEmptyFormula) {
  Scene scene;
  CDimLabel stranger;
  const std::vector<CGradedPoint*> points = {
      scene.Make<CDistanceTowardsPoint>(scene.a, scene.b, Constant(scene.data, 300)),
      scene.Make<CLineDistancePoint>(scene.lineAB, scene.a, Constant(scene.data, 300)),
      scene.Make<CCurveDistancePoint>(scene.curve, scene.a, 1, Constant(scene.data, 300)),
      scene.Make<CCurveSpanDistancePoint>(scene.curve, scene.a, scene.b, 1, Constant(scene.data, 300))};
  for (CGradedPoint* point : points) {
    SCOPED_TRACE(point->GetSubtype());
    const CFormula formula = point->GetFormula(&stranger);
    EXPECT_EQ(formula, CFormula());
    EXPECT_EQ(formula.GetOwner(), nullptr);
  }
}

// ---- What the labels are laid out from -------------------------------------------

TEST(LabelSlots, ADimensionRunsFromTheReferenceToThePointAtTheBaseSize) {
  const std::set<int> kLinear = {6, 7, 15, 16, 17, 18, 21, 37, 46};
  for (const KindCase& kind : LabelledKinds()) {
    if (!kLinear.count(kind.kind)) continue;
    SCOPED_TRACE(kind.kind);
    Scene scene;
    const Built built = kind.build(scene);
    CString text;
    CPoint from, to;
    built.point->GetLabelText(built.first, text, &from, &to);
    EXPECT_EQ(from, AtBase(built.reference));
    EXPECT_EQ(to, AtBase(built.point));
    // The distances are 3 mm, the radius of kind 21 45 mm.
    EXPECT_EQ(text.str(), kind.kind == 21 ? "45" : "3");
  }
}

TEST(LabelSlots, TheOffsetLabelsStandOnTheHorizontalAndVerticalLegs) {
  Scene scene;
  auto* point = scene.Make<COffsetPoint>(scene.a, Constant(scene.data, 300), Constant(scene.data, 500));
  const CPoint reference = AtBase(scene.a);
  const CPoint self = AtBase(point);
  ASSERT_EQ(self, CPoint(reference.x + 300, reference.y - 500));

  CString text;
  CPoint from, to;
  point->GetLabelText(Own(point->GetLabel1()), text, &from, &to);
  EXPECT_EQ(from, CPoint(reference.x, self.y));
  EXPECT_EQ(to, self);
  EXPECT_EQ(text.str(), "3");
  point->GetLabelText(Own(point->GetLabel2()), text, &from, &to);
  EXPECT_EQ(from, CPoint(self.x, reference.y));
  EXPECT_EQ(to, self);
  EXPECT_EQ(text.str(), "5");

  // Another label is given nothing.
  CDimLabel stranger;
  text = "unchanged";
  from = CPoint(-1, -1);
  to = CPoint(-2, -2);
  point->GetLabelText(&stranger, text, &from, &to);
  EXPECT_EQ(text.str(), "unchanged");
  EXPECT_EQ(from, CPoint(-1, -1));
  EXPECT_EQ(to, CPoint(-2, -2));
}

TEST(LabelSlots, AnAngleReadsNegatedWithItsSign) {
  struct Case {
    double angle;
    const char* text;
    BOOL positive;
  };
  const Case kCases[] = {{30.0, "-30", TRUE}, {-30.0, "30", FALSE}, {0.0, "0", FALSE}, {12.5, "-12.5", TRUE}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.angle);
    Scene scene;
    auto* point = scene.Make<CPolarPoint15>(scene.a, Constant(scene.data, 300), c.angle);
    CString text;
    CPoint vertex, arm1, arm2;
    BOOL positive = 7;
    point->GetAngleLabelText(Own(point->GetAngleLabel()), text, &vertex, &arm1, &arm2, &positive);
    EXPECT_EQ(text.str(), c.text);
    EXPECT_EQ(positive, c.positive);
  }
}

TEST(LabelSlots, AnAngleArcStandsOnTheVertexBetweenItsArms) {
  // The arc of kinds 15 to 17 starts on the x axis, as far out as the
  // distance; kinds 29 and 40 as far out as the point; the turned kinds on
  // the direction they turn, from direction start b to direction end c.
  const std::set<int> kAngle = {15, 16, 17, 18, 29, 32, 40, 43};
  for (const KindCase& kind : LabelledKinds()) {
    if (!kAngle.count(kind.kind)) continue;
    SCOPED_TRACE(kind.kind);
    Scene scene;
    const Built built = kind.build(scene);
    const CPoint a = AtBase(scene.a);
    const CPoint b = AtBase(scene.b);
    const CPoint c = AtBase(scene.c);
    CDimLabel* angleLabel = built.second ? built.second : built.first;
    CString text;
    CPoint vertex, arm1, arm2;
    BOOL positive = FALSE;
    CPoint self;
    ASSERT_TRUE(built.point->GetPoint(kBaseSize, &self));
    ASSERT_NE(self, a);
    built.point->GetAngleLabelText(angleLabel, text, &vertex, &arm1, &arm2, &positive);
    EXPECT_EQ(text.str(), "-30");
    EXPECT_TRUE(positive);
    EXPECT_EQ(vertex, a);
    EXPECT_EQ(arm2, self);
    switch (kind.kind) {
      case 15:
      case 16:
      case 17:
        EXPECT_EQ(arm1, CPoint(a.x + 300, a.y));
        break;
      case 29:
      case 40: {
        const double dx = self.x - a.x;
        const double dy = self.y - a.y;
        EXPECT_EQ(arm1, CPoint(a.x + static_cast<int32_t>(std::lround(std::sqrt(dx * dx + dy * dy))), a.y));
        break;
      }
      default:  // 18, 32, 43
        EXPECT_EQ(arm1, CPoint(a.x + c.x - b.x, a.y + c.y - b.y));
        break;
    }
  }
}

TEST(LabelSlots, AnArmFromHugeFileValuesStopsAtTheEndOfTheRange) {
  Scene scene;
  auto* point =
      scene.Make<CPolarPoint15>(scene.a, Constant(scene.data, std::numeric_limits<int32_t>::max()), 30.0);
  CString text;
  CPoint vertex, arm1, arm2;
  BOOL positive = FALSE;
  point->GetAngleLabelText(Own(point->GetAngleLabel()), text, &vertex, &arm1, &arm2, &positive);
  EXPECT_EQ(arm1, CPoint(std::numeric_limits<int32_t>::max(), AtBase(scene.a).y));
}

TEST(LabelSlots, ADivisionSpansItsSegmentFromTheStart) {
  Scene scene;
  auto* segment = scene.Make<CSegmentRatioPoint>(scene.a, scene.b, 4, 1);
  double parts = 0.0;
  CPoint from, to;
  segment->GetRatioSpan(Own(segment->GetLabel()), &parts, &from, &to);
  EXPECT_EQ(parts, 4.0);
  EXPECT_EQ(from, AtBase(scene.a));
  EXPECT_EQ(to, AtBase(scene.b));
  // The stored part count is given in the fixed form too.
  segment->SetFraction(5, 2);
  segment->SetRatio(0.5);
  segment->GetRatioSpan(Own(segment->GetLabel()), &parts, &from, &to);
  EXPECT_EQ(parts, 5.0);

  // Along a line the division starts at the start point, whichever through
  // point that is.
  auto* line = scene.Make<CLineRatioPoint>(scene.lineAB, scene.b, 3, 1);
  line->GetRatioSpan(Own(line->GetLabel()), &parts, &from, &to);
  EXPECT_EQ(parts, 3.0);
  EXPECT_EQ(from, AtBase(scene.b));
  EXPECT_EQ(to, AtBase(scene.a));
}

TEST(LabelSlots, APathAlongACurveRunsFromTheStartToThePoint) {
  Scene scene;
  // The base size's polyline differs from the other sizes'.
  scene.curve->polylineAt[kBaseSize] = {CPoint(0, 0), CPoint(4000, 0), CPoint(8000, 0)};
  scene.curve->polylineAt[0] = {CPoint(0, 100), CPoint(8000, 100)};
  scene.curve->lengthAnswer = {TRUE, CPoint(6000, 0)};
  PlacedPoint* early = scene.Add(CPoint(1000, 0), CPoint());
  PlacedPoint* late = scene.Add(CPoint(7000, 0), CPoint());

  auto* forwards = scene.Make<CCurveDistancePoint>(scene.curve, early, 1, Constant(scene.data, 300));
  CString text;
  std::vector<CPoint> path = {CPoint(-1, -1)};
  forwards->GetCurveLabelText(Own(forwards->GetLabel()), text, path);
  EXPECT_EQ(path, (std::vector<CPoint>{CPoint(1000, 0), CPoint(4000, 0), CPoint(6000, 0)}));
  EXPECT_EQ(text.str(), "3");

  // The point before its start: the path is walked back.
  auto* backwards =
      scene.Make<CCurveSpanDistancePoint>(scene.curve, late, early, 0, Constant(scene.data, 300));
  backwards->GetCurveLabelText(Own(backwards->GetLabel()), text, path);
  EXPECT_EQ(path, (std::vector<CPoint>{CPoint(7000, 0), CPoint(6000, 0)}));

  // A start off the curve gives no path.
  auto* off = scene.Make<CCurveDistancePoint>(scene.curve, scene.a, 1, Constant(scene.data, 300));
  path = {CPoint(-1, -1)};
  off->GetCurveLabelText(Own(off->GetLabel()), text, path);
  EXPECT_TRUE(path.empty());
}

// ---- Boxes and hits ----------------------------------------------------------------

TEST(LabelSlots, APointWithLabelsIsHitWhereItStandsAtTheBaseSize) {
  Scene scene;
  auto* labelled = scene.Make<CPolarPoint15>(scene.a, Constant(scene.data, 300), 0.0);
  const CPoint base = AtBase(labelled);
  CPoint other;
  labelled->GetPoint(0, &other);
  ASSERT_NE(base, other);
  double distance = -1.0;
  EXPECT_TRUE(labelled->HitTestAtBaseSize(base.x + 3, base.y + 4, 10.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 5.0);
  EXPECT_FALSE(labelled->HitTestAtBaseSize(other.x, other.y, 5.0, &distance));

  // A kind without labels is not asked there.
  auto* plain = scene.Make<CVerticalLinePoint>(scene.a, scene.lineBC);
  const CPoint plainBase = AtBase(plain);
  EXPECT_FALSE(plain->HitTestAtBaseSize(plainBase.x, plainBase.y, 10.0, &distance));
}

TEST(LabelSlots, HiddenLabelsAddNoBoxAndAreNeverHit) {
  for (const KindCase& kind : LabelledKinds()) {
    SCOPED_TRACE(kind.kind);
    Scene scene;
    const Built built = kind.build(scene);
    built.point->SetLabelVisible(FALSE);
    EXPECT_TRUE(built.point->GetLabelRect().IsRectEmpty());
    CDimLabel* hit = nullptr;
    const CPoint self = AtBase(built.point);
    EXPECT_FALSE(built.point->HitLabel(self.x, self.y, &hit));
    EXPECT_FALSE(built.point->PickLabel(self.x, self.y, 1000.0, kBaseSize, &hit));
    EXPECT_EQ(hit, nullptr);
  }
}

}  // namespace

namespace {

// With the labels' own layout: a shown label of every labelled kind has a
// box, and the slots find the label whose text or dimension is clicked.
TEST(LabelSlots, ShownLabelsAreLaidOutAndHitWhereTheyStand) {
  size_t shown = 0;
  for (const KindCase& kind : LabelledKinds()) {
    SCOPED_TRACE(kind.kind);
    Scene scene;
    const Built built = kind.build(scene);
    built.point->SetLabelVisible(TRUE);
    if (!built.point->IsLabelVisible()) continue;  // kinds whose labels need more than their points
    ++shown;
    const CRect box = built.point->GetLabelRect();
    ASSERT_FALSE(box.IsRectEmpty());
    CRect both;
    both.UnionRect(box, built.first->GetRect());
    EXPECT_EQ(both, box) << "the point's label box holds its first label's";
    CDimLabel* hit = nullptr;
    if (built.first->GetMode() != 3) {
      const CRect text = built.first->GetTextRect();
      ASSERT_TRUE(built.point->HitLabel(text.CenterPoint().x, text.CenterPoint().y, &hit));
      EXPECT_TRUE(hit == built.first || hit == built.second);
    }
  }
  EXPECT_EQ(shown, LabelledKinds().size());
}

}  // namespace
