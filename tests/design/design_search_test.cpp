// The container's searches by position and point dragging: which object a
// click finds when several are near, and where dragging a copied point moves
// the point it is copied from.
#include <array>
#include <cmath>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/core/piece_measure.h"
#include "design/core/text_element.h"
#include "design/curves/graded_line.h"
#include "design/curves/polyline_curves.h"
#include "design/points/free_point.h"
#include "design/points/mirror_points.h"
#include "design/points/offset_point.h"
#include "design/points/polar_points.h"
#include "platform/archive.h"
#include "tests/design_writer/curves_records.h"

namespace {

using design_fixture::DesignArchiveWriter;
using design_fixture::PointListCurveFields;

constexpr int32_t kVersion = 162;
constexpr int32_t kSizes = 3;
constexpr int32_t kBase = 1;

// An object of a kind the test chooses whose pick answers a scripted
// distance, so that the order of the searches shows without any kind's
// geometry.
class ScriptedPick : public CGradedObject {
 public:
  ScriptedPick(CPatternData* owner, int32_t kind, double distance)
      : CGradedObject(kind, owner, 0), distance_(distance) {}
  BOOL PickIfValid(int32_t, int32_t, double tolerance, int32_t, CGradedObject** object, double* distance) override {
    if (GetState() == 0 || !(distance_ < tolerance)) return FALSE;
    *object = part ? part : this;
    *distance = distance_;
    return TRUE;
  }
  // What the pick names; the object itself when null.
  CGradedObject* part = nullptr;
  BOOL Pick(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
            double* distance) override {
    return PickIfValid(x, y, tolerance, size, object, distance);
  }

 private:
  double distance_;
};

class DesignSearch : public ::testing::Test {
 protected:
  DesignSearch() : writer_(kVersion) {
    for (int32_t i = 0; i < kSizes; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBase);
  }

  CFreePoint* Point(CPoint p) {
    auto* point = static_cast<CFreePoint*>(data_.AddElement(std::make_unique<CFreePoint>(&data_, 0, p)));
    point->SetState(1);
    return point;
  }
  CGradedLine* Line(CPoint a, CPoint b) {
    return static_cast<CGradedLine*>(
        data_.AddElement(std::make_unique<CGradedLine>(&data_, 0, 0, 1, Point(a), Point(b))));
  }
  // An open polyline curve through new points at `points`.
  CPolylineCurve* Polyline(const std::vector<CPoint>& points) {
    PointListCurveFields f;
    for (CPoint p : points) f.points.push_back(data_.GetElementIndex(Point(p)));
    f.start = f.points.front();
    f.end = f.points.back();
    const std::string body = f.Body(writer_, design_fixture::kPolylineCurveKind);
    ArchiveReader reader{std::string_view(body)};
    auto curve = std::make_unique<CPolylineCurve>(&data_, 0, 0, 1);
    EXPECT_TRUE(curve->Load(reader));
    auto* added = static_cast<CPolylineCurve*>(data_.AddElement(std::move(curve)));
    added->ResolveIds();
    return added;
  }
  CPoint At(CGradedPoint* point) {
    CPoint p;
    point->GetPoint(kBase, &p);
    return p;
  }

  CPatternData data_;
  DesignArchiveWriter writer_;
};

TEST_F(DesignSearch, PickNearestPrefersAPointAtEqualDistanceAndOtherwiseTheNearest) {
  // The line-like object comes first in the list and is as near as the
  // point: the point still wins. A nearer line wins over the point.
  auto* line = data_.AddElement(std::make_unique<ScriptedPick>(&data_, kObjectKindLine, 5.0));
  CFreePoint* point = Point({5, 0});
  CGradedObject* object = nullptr;
  CGradedObject* part = nullptr;
  double distance = 0.0;
  ASSERT_TRUE(data_.PickNearest(0, 0, 10.0, &object, &part, &distance));
  EXPECT_EQ(object, point);
  EXPECT_EQ(part, point);
  EXPECT_DOUBLE_EQ(distance, 5.0);

  auto* nearer = data_.AddElement(std::make_unique<ScriptedPick>(&data_, kObjectKindLine, 4.0));
  ASSERT_TRUE(data_.PickNearest(0, 0, 10.0, &object, &part, &distance));
  EXPECT_EQ(object, nearer);

  // Hidden objects are not picked; nothing below the tolerance is a miss.
  nearer->SetState(0);
  point->SetState(0);
  ASSERT_TRUE(data_.PickNearest(0, 0, 10.0, &object, &part, &distance));
  EXPECT_EQ(object, line);
  object = nullptr;
  EXPECT_FALSE(data_.PickNearest(0, 0, 5.0, &object, &part, &distance));
  EXPECT_EQ(object, nullptr);
}

TEST_F(DesignSearch, LinesWhoseDistancesRoundAlikeAreToldApartByLength) {
  // Seen from (0, 0): a long line at 9.81 and a short one at 10.21 (both 10
  // when rounded), and the other way round.
  struct Case {
    const char* name;
    CPoint firstA, firstB;    // at 9.8
    CPoint secondA, secondB;  // at 10.2
    bool secondWins;
  };
  const Case kCases[] = {
      {"later shorter line wins", {-29, 5}, {30, 15}, {0, 11}, {5, 9}, true},
      {"later longer line does not", {0, 10}, {5, 9}, {-29, 5}, {30, 16}, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData fresh;
    for (int32_t i = 0; i < kSizes; ++i) fresh.InsertSize(i, "S", 0, 1);
    fresh.SetBaseSize(kBase);
    auto line = [&](CPoint a, CPoint b) {
      auto* p = static_cast<CGradedPoint*>(fresh.AddElement(std::make_unique<CFreePoint>(&fresh, 0, a)));
      auto* q = static_cast<CGradedPoint*>(fresh.AddElement(std::make_unique<CFreePoint>(&fresh, 0, b)));
      return fresh.AddElement(std::make_unique<CGradedLine>(&fresh, 0, 0, 1, p, q));
    };
    CGradedObject* first = line(c.firstA, c.firstB);
    CGradedObject* second = line(c.secondA, c.secondB);
    CGradedObject* found = nullptr;
    CPoint hit;
    double distance = 0.0;
    ASSERT_TRUE(fresh.HitTestLinesAndCurves(0, 0, 12.0, -1, &found, &hit, &distance));
    EXPECT_EQ(found, c.secondWins ? second : first);
    EXPECT_NEAR(distance, c.secondWins ? 10.2 : 9.8, 0.05);
  }
}

TEST_F(DesignSearch, TheKindMaskChoosesBetweenLinesAndCurves) {
  CGradedLine* line = Line({-50, 1}, {50, 1});
  CPolylineCurve* curve = Polyline({{-50, 5}, {0, 5}, {50, 5}});
  struct Case {
    int32_t mask;
    CGradedObject* expected;
    double distance;
  };
  const Case kCases[] = {{-1, line, 1.0}, {kObjectKindLine, line, 1.0}, {kObjectKindCurve, curve, 5.0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mask);
    CGradedObject* found = nullptr;
    CPoint hit;
    double distance = 0.0;
    ASSERT_TRUE(data_.HitTestLinesAndCurves(0, 0, 12.0, c.mask, &found, &hit, &distance));
    EXPECT_EQ(found, c.expected);
    EXPECT_NEAR(distance, c.distance, 1e-9);
  }
  CGradedObject* found = nullptr;
  CPoint hit;
  double distance = 0.0;
  EXPECT_FALSE(data_.HitTestLinesAndCurves(0, 0, 12.0, kObjectKindText, &found, &hit, &distance));
}

TEST_F(DesignSearch, ACurveKeepsItsPlaceWhenALaterLineTiesWithIt) {
  // The curve at 9.8 has no length for the tie rule; the shorter line at
  // 10.2 that follows it does not take its place.
  CPolylineCurve* curve = Polyline({{-29, 5}, {30, 15}});
  Line({0, 11}, {5, 9});
  CGradedObject* found = nullptr;
  CPoint hit;
  double distance = 0.0;
  ASSERT_TRUE(data_.HitTestLinesAndCurves(0, 0, 12.0, -1, &found, &hit, &distance));
  EXPECT_EQ(found, curve);
}

TEST_F(DesignSearch, DraggingAPointMirrorMovesItsSourceToTheMirroredTarget) {
  CFreePoint* source = Point({60, 0});
  CFreePoint* centre = Point({100, 0});
  auto* mirror = static_cast<CPointMirrorPoint*>(
      data_.AddElement(std::make_unique<CPointMirrorPoint>(&data_, 0, source, centre)));
  mirror->SetState(1);
  ASSERT_EQ(At(mirror), CPoint(140, 0));

  data_.MovePointTo(mirror, 150, 0);
  EXPECT_EQ(source->GetStoredPoint(), CPoint(50, 0));
  EXPECT_EQ(At(mirror), CPoint(150, 0));
  EXPECT_EQ(centre->GetStoredPoint(), CPoint(100, 0));
}

TEST_F(DesignSearch, DraggedCopiesLandOnTheirTarget) {
  // Each copy is dragged; recomputing it from its moved source must give the
  // target within a unit.
  struct Case {
    const char* name;
    CPoint target;
  };
  const Case kCases[] = {{"near", {137, -41}}, {"far", {-260, 455}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    for (int32_t i = 0; i < kSizes; ++i) data.InsertSize(i, "S", 0, 1);
    data.SetBaseSize(kBase);
    auto point = [&](CPoint p) {
      auto* added = static_cast<CFreePoint*>(data.AddElement(std::make_unique<CFreePoint>(&data, 0, p)));
      added->SetState(1);
      return added;
    };
    std::vector<std::pair<std::string, CGradedPoint*>> copies;
    auto add = [&](const char* name, std::unique_ptr<CGradedPoint> copy) {
      copies.emplace_back(name, static_cast<CGradedPoint*>(data.AddElement(std::move(copy))));
    };
    add("axis mirror, both axes",
                        (std::make_unique<CAxisMirrorPoint>(&data, 0, point({40, 30}), point({10, 5}),
                                                                           point({0, 0}), point({25, -12}),
                                                                           kAxisMirrorBoth)));
    add("axis mirror, vertical",
                        (std::make_unique<CAxisMirrorPoint>(&data, 0, point({40, 30}), point({10, 5}),
                                                                           point({3, 3}), point({-7, 20}),
                                                                           kAxisMirrorVertical)));
    add("direction rotated",
                        (std::make_unique<CDirectionRotatedPoint>(
                            &data, 0, point({80, 20}), point({10, 10}), point({100, 10}), point({40, 90}))));
    add("transferred",
                        (std::make_unique<CTransferredPoint>(&data, 0, point({50, 60}), point({0, 0}),
                                                                            point({100, 0}), point({300, 200}),
                                                                            point({300, 400}))));
    for (auto& [name, copy] : copies) {
      SCOPED_TRACE(name);
      copy->SetState(1);
      data.MovePointTo(copy, c.target.x, c.target.y);
      CPoint landed;
      ASSERT_TRUE(copy->GetPoint(kBase, &landed));
      EXPECT_LE(std::abs(landed.x - c.target.x), 1);
      EXPECT_LE(std::abs(landed.y - c.target.y), 1);
    }
  }
}

TEST_F(DesignSearch, DraggingAnOffsetPointChangesItsOffsets) {
  // The move goes into the offset when the formula passes it unscaled, else
  // into the constant; dy is subtracted, so it takes the vertical move
  // negated.
  struct Case {
    const char* name;
    int32_t offset;
    double divisor;
    int32_t dxOffset, dxConstant;
  };
  const Case kCases[] = {{"unscaled offset", 30, 1.0, 40, 0}, {"halved offset", 30, 2.0, 30, 10}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    for (int32_t i = 0; i < kSizes; ++i) data.InsertSize(i, "S", 0, 1);
    data.SetBaseSize(kBase);
    auto* reference = static_cast<CFreePoint*>(data.AddElement(std::make_unique<CFreePoint>(&data, 0, 0, 0)));
    reference->SetState(1);
    const CFormula dx(&data, {}, c.offset, c.divisor, 1.0, 0);
    const CFormula dy(&data, {}, 0, 1.0, 1.0, 20);
    auto* offset = static_cast<COffsetPoint*>(
        data.AddElement(std::make_unique<COffsetPoint>(&data, 0, reference, dx, dy)));
    offset->SetState(1);
    CPoint before;
    ASSERT_TRUE(offset->GetPoint(kBase, &before));

    data.MovePointTo(offset, before.x + 10, before.y + 7);
    EXPECT_EQ(offset->GetDx().GetOffset(), c.dxOffset);
    EXPECT_EQ(offset->GetDx().GetConstant(), c.dxConstant);
    EXPECT_EQ(offset->GetDy().GetConstant(), 13);
    CPoint after;
    ASSERT_TRUE(offset->GetPoint(kBase, &after));
    EXPECT_EQ(after, CPoint(before.x + 10, before.y + 7));
    EXPECT_EQ(reference->GetStoredPoint(), CPoint(0, 0));
  }
}

TEST_F(DesignSearch, ChainsOfCopiesEndAtTheirSourceAndCyclesEnd) {
  CFreePoint* root = Point({10, 0});
  CFreePoint* centre = Point({0, 0});
  auto* first = static_cast<CPointMirrorPoint*>(
      data_.AddElement(std::make_unique<CPointMirrorPoint>(&data_, 0, root, centre)));
  auto* second = static_cast<CRotatedPoint*>(
      data_.AddElement(std::make_unique<CRotatedPoint>(&data_, 0, first, centre, 90.0)));
  EXPECT_EQ(data_.GetUltimateSource(second), root);
  EXPECT_EQ(data_.GetUltimateSource(root), root);

  // A turn about a centre whose source is its own from-direction point ends
  // the chain at itself.
  auto* turn = static_cast<CDirectionRotatedPoint*>(data_.AddElement(
      std::make_unique<CDirectionRotatedPoint>(&data_, 0, root, centre, root, Point({0, 10}))));
  EXPECT_EQ(data_.GetUltimateSource(turn), turn);

  // Two copies of each other, as only a damaged file holds: both walks end,
  // and a drag changes nothing.
  auto* a = static_cast<CPointMirrorPoint*>(data_.AddElement(std::make_unique<CPointMirrorPoint>(&data_, 0)));
  auto* b = static_cast<CPointMirrorPoint*>(
      data_.AddElement(std::make_unique<CPointMirrorPoint>(&data_, 0, a, centre)));
  a->SetParams(b, centre);
  EXPECT_NE(data_.GetUltimateSource(a), nullptr);
  data_.MovePointTo(a, 5, 5);
  EXPECT_EQ(centre->GetStoredPoint(), CPoint(0, 0));
}

TEST_F(DesignSearch, PickNearestAnyHandsAHiddenPartOnToALaterHit) {
  // The best so far names a hidden part: a later hit that is not nearer
  // takes over object and part, the best distance staying. Not when the best
  // is exactly under the cursor or its part is shown.
  struct Case {
    const char* name;
    double firstDistance;
    bool firstPartHidden;
    bool secondTakesOver;
  };
  const Case kCases[] = {
      {"hidden part", 3.0, true, true},
      {"shown part", 3.0, false, false},
      {"exactly under the cursor", 0.0, true, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CPatternData data;
    for (int32_t i = 0; i < kSizes; ++i) data.InsertSize(i, "S", 0, 1);
    data.SetBaseSize(kBase);
    auto* hiddenPart = static_cast<CFreePoint*>(data.AddElement(std::make_unique<CFreePoint>(&data, 0, 900, 900)));
    hiddenPart->SetState(c.firstPartHidden ? 0 : 1);
    auto* first = static_cast<ScriptedPick*>(
        data.AddElement(std::make_unique<ScriptedPick>(&data, kObjectKindLine, c.firstDistance)));
    first->part = hiddenPart;
    auto* second = data.AddElement(std::make_unique<ScriptedPick>(&data, kObjectKindLine, 4.0));
    CGradedObject* object = nullptr;
    CGradedObject* part = nullptr;
    double distance = -1.0;
    ASSERT_TRUE(data.PickNearestAny(0, 0, 10.0, &object, &part, &distance));
    EXPECT_EQ(object, c.secondTakesOver ? second : first);
    EXPECT_EQ(part, c.secondTakesOver ? second : hiddenPart);
    EXPECT_DOUBLE_EQ(distance, c.firstDistance);
  }
}

TEST_F(DesignSearch, TextsAreFoundByTheirBoxes) {
  LOGFONT font{};
  font.lfHeight = -40;
  auto* text = static_cast<CTextElement*>(
      data_.AddElement(std::make_unique<CTextElement>(&data_, 0, 1000, 1000, CString("AB"), font)));
  const std::array<CPoint, 4> box = text->GetTextBox();
  const CPoint inside((box[0].x + box[2].x) / 2, (box[0].y + box[2].y) / 2);

  CTextElement* found = nullptr;
  ASSERT_TRUE(data_.FindTextAt(inside.x, inside.y, &found));
  EXPECT_EQ(found, text);
  found = nullptr;
  EXPECT_FALSE(data_.FindTextAt(0, 0, &found));
  EXPECT_EQ(found, nullptr);

  std::vector<CTextElement*> texts{nullptr};
  EXPECT_TRUE(data_.FindTextsInRect(CRect(inside.x - 1, inside.y - 1, inside.x + 1, inside.y + 1), texts));
  EXPECT_EQ(texts, std::vector<CTextElement*>{text});
  EXPECT_FALSE(data_.FindTextsInRect(CRect(0, 0, 10, 10), texts));
  EXPECT_TRUE(texts.empty());
}

TEST_F(DesignSearch, TheExtentHoldsTheShownObjectsOnly) {
  Point({-20, 0});
  Point({100, 50});
  CFreePoint* hidden = Point({5000, 5000});
  hidden->SetState(0);
  const CRect extent = data_.GetExtent(kBase);
  EXPECT_TRUE(extent.PtInRect(CPoint(-20, 0)));
  EXPECT_TRUE(extent.PtInRect(CPoint(100, 50)));
  EXPECT_FALSE(extent.PtInRect(CPoint(4999, 4999)));
}

TEST_F(DesignSearch, TheNearestLabelDimensionIsPicked) {
  // Two offset points 100 to the right of their references: their dx labels
  // stand on the horizontal legs y = 0 and y = 10. From (50, 7) the second
  // leg is nearer, though it comes later and both are within reach.
  auto offsetPoint = [&](CPoint from) {
    CFreePoint* reference = Point(from);
    auto* point = static_cast<COffsetPoint*>(data_.AddElement(std::make_unique<COffsetPoint>(
        &data_, 0, reference, CFormula(&data_, {}, 0, 1.0, 1.0, 100), CFormula(&data_, {}, 0, 1.0, 1.0, 0))));
    point->SetState(1);
    point->SetLabelVisible(TRUE);
    return point;
  };
  offsetPoint({0, 0});
  COffsetPoint* second = offsetPoint({0, 10});

  CGradedPoint* point = nullptr;
  CDimLabel* label = nullptr;
  double distance = 0.0;
  ASSERT_TRUE(data_.PickLabelNearest(50, 7, 10.0, &point, &label, &distance));
  EXPECT_EQ(point, second);
  EXPECT_NEAR(distance, 3.0, 1e-9);
  point = nullptr;
  EXPECT_FALSE(data_.PickLabelNearest(50, 40, 5.0, &point, &label, &distance));
  EXPECT_EQ(point, nullptr);
}

TEST_F(DesignSearch, DraggingReachesPointsThatUseAMeasureOfTheMovedPoint) {
  // The polar point hangs on `anchor` but its distance is the measured
  // distance between `moved` and `anchor`: dragging `moved` must change it,
  // and the measure must be laid out again.
  CFreePoint* moved = Point({0, 0});
  CFreePoint* anchor = Point({300, 0});
  CPieceMeasure* measure =
      data_.AddMeasure(std::make_unique<CPieceMeasure>(&data_, kMeasureKindDistance, moved, anchor, nullptr, "m"));
  const CFormula distance(&data_, {CFormulaTerm::OnMeasure(1, measure, 1, 1.0, 1.0)}, 0, 1.0, 1.0, 0);
  auto* polar = static_cast<CPolarPoint15*>(
      data_.AddElement(std::make_unique<CPolarPoint15>(&data_, 0, anchor, distance, 0.0)));
  polar->SetState(1);
  ASSERT_EQ(At(polar), CPoint(600, 0));
  measure->UpdateLayout();

  data_.MovePointTo(moved, 100, 0);
  EXPECT_TRUE(measure->IsLayoutDirty());
  EXPECT_EQ(At(polar), CPoint(500, 0));
}

TEST_F(DesignSearch, TheDrawnTwinComparesTheDrawnSegments) {
  // The later line at 10.2 is longer through its points but drawn only
  // over one unit: only the drawn search takes it on the tie.
  Line({0, 10}, {5, 9});
  CFreePoint* end1 = Point({400, 400});
  CFreePoint* end2 = Point({401, 400});
  auto* drawnShort = static_cast<CGradedLine*>(data_.AddElement(std::make_unique<CGradedLine>(
      &data_, 0, 0, 1, Point({-29, 5}), Point({30, 16}), nullptr, end1, end2)));
  CGradedObject* found = nullptr;
  CPoint hit;
  double distance = 0.0;
  ASSERT_TRUE(data_.HitTestLinesAndCurvesDrawn(0, 0, 12.0, -1, &found, &hit, &distance));
  EXPECT_EQ(found, drawnShort);
  ASSERT_TRUE(data_.HitTestLinesAndCurves(0, 0, 12.0, -1, &found, &hit, &distance));
  EXPECT_NE(found, drawnShort);
}

}  // namespace
