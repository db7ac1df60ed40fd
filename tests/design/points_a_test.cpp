// The offset point (kind 2), the intersection and foot points (kinds 9, 10,
// 11, 12, 19, 21, 22) and the unplaced reference points (kinds 23 to 25):
// their records loaded through the whole design across the version gates,
// where each stored field lands, the references they report, references of
// the wrong kind, designs cut short, and what their empty points hold.
#include <climits>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/points/graded_point.h"
#include "design/points/intersection_points.h"
#include "design/points/offset_point.h"
#include "design/points/point_kinds.h"
#include "design/points/reference_points.h"
#include "model/style.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/points_a_records.h"

namespace {

using namespace design_fixture;
using design_test::Finish;
using design_test::StandInCurve;
using design_test::StandInLine;

constexpr int32_t kScale = 40;

const int32_t kKinds[] = {2, 9, 10, 11, 12, 19, 21, 22, 23, 24, 25};

class PointsATest : public ::testing::Test {
 protected:
  void TearDown() override { ClearStyle(); }

  // A design of two sizes with four free points, two lines, two curves and a
  // text to refer to, in that order: the positions Refs() names.
  static DesignArchiveWriter Design(int32_t version) {
    SampleRefs refs;
    return design_test::DesignToReferTo(version, refs);
  }
  static SampleRefs Refs() { return design_test::RefsOfDesignToReferTo(); }
  // Loads a design that must load whole, to its last byte.
  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, tables_.Tables());
  }

  // The design of `version` with one point of `kind` and the record `body`
  // after the objects to refer to, loaded whole; `point` is that point.
  template <class Point>
  std::unique_ptr<CPatternData> LoadOne(int32_t version, int32_t kind, const std::string& body,
                                        const Point** point) const {
    DesignArchiveWriter w = Design(version);
    const int at = w.AddObject(kObjectKindPoint, kind, body);
    auto data = LoadWhole(Finish(w));
    *point = dynamic_cast<const Point*>(data->GetElementAt(at));
    return data;
  }

  design_test::StandInTables tables_;
};

// ---- Samples of every kind -------------------------------------------------------

class SampleLoads : public PointsATest, public ::testing::WithParamInterface<std::tuple<int32_t, int32_t>> {};

TEST_P(SampleLoads, ReadsTheWholeRecordAndReportsItsReferencesInFieldOrder) {
  const auto [kind, version] = GetParam();
  DesignArchiveWriter w = Design(version);
  ExpectedReferences expected;
  const int at = AddSampleAPoint(w, kind, Refs(), expected);
  ASSERT_GE(at, 0);
  const auto data = LoadWhole(Finish(w));

  const auto* point = dynamic_cast<const CGradedPoint*>(data->GetElementAt(at));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetSubtype(), kind);
  EXPECT_EQ(point->GetState(), 1);
  EXPECT_EQ(point->IsRealPoint() != 0, kind < kPointKindElem23);

  CGradedObjectList references;
  ASSERT_TRUE(point->GetReferences(references));
  CGradedObjectList wanted;
  for (int position : expected) wanted.push_back(data->GetElementAt(position));
  EXPECT_EQ(references, wanted);
  design_test::ExpectRefersExactlyTo(*data, *point, expected);
}

// 100 and 101 straddle the offset point's integer layout, 103 and 104 the
// status word.
INSTANTIATE_TEST_SUITE_P(KindsAndVersions, SampleLoads,
                         ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::Values(100, 101, 103, 104, 162)));

TEST_F(PointsATest, ReferencesOfTheWrongKindResolveToNoneExceptWhereAnyKindIsTaken) {
  // Points named where lines and curves belong, and lines, curves and the
  // text where points belong.
  SampleRefs wrong;
  wrong.points[0] = 4;
  wrong.points[1] = 6;
  wrong.points[2] = 8;
  wrong.points[3] = 5;
  wrong.lines[0] = 0;
  wrong.lines[1] = 1;
  wrong.curves[0] = 2;
  wrong.curves[1] = 4;
  wrong.text = 3;
  for (int32_t kind : kKinds) {
    SCOPED_TRACE(kind);
    DesignArchiveWriter w = Design(162);
    ExpectedReferences expected;
    const int at = AddSampleAPoint(w, kind, wrong, expected);
    const auto data = LoadWhole(Finish(w));
    const auto* point = dynamic_cast<const CGradedPoint*>(data->GetElementAt(at));
    ASSERT_NE(point, nullptr);
    CGradedObjectList references;
    ASSERT_TRUE(point->GetReferences(references));
    ASSERT_EQ(references.size(), expected.size());
    const bool anyKind = kind >= kPointKindElem23;
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(references[i], anyKind ? data->GetElementAt(expected[i]) : nullptr) << "field " << i;
    }
  }
}

TEST_F(PointsATest, ALineIntersectionWhoseLineIndexNamesAFreePointHasNoLine) {
  LineIntersectFields f;
  f.line1 = 5;
  f.line2 = 2;  // a free point
  const CLineIntersectPoint* point = nullptr;
  const auto data = LoadOne(162, kLineIntersectKind, f.Body(DesignArchiveWriter(162)), &point);
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetLine1(), data->GetElementAt(5));
  EXPECT_EQ(point->GetLine2(), nullptr);
  EXPECT_FALSE(point->RefersTo(data->GetElementAt(2)));
}

TEST_F(PointsATest, EveryPrefixOfASampleDesignFailsWithoutALeak) {
  for (int32_t kind : kKinds) {
    for (int32_t version : {100, 162}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " version " << version);
      DesignArchiveWriter w = Design(version);
      ExpectedReferences expected;
      AddSampleAPoint(w, kind, Refs(), expected);
      const std::string whole = Finish(w);
      LoadWhole(whole);
      design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
    }
  }
}

// ---- Where each stored field lands ----------------------------------------------

TEST_F(PointsATest, OffsetPointReadsFormulasAndLabelsAndTheStatusFrom104) {
  for (int32_t version : {101, 103, 104, 162}) {
    SCOPED_TRACE(version);
    OffsetPointFields f;
    f.status = 7;
    f.reference = 3;
    f.dx = FormulaFields::Constant(30);
    f.dx.offset = 4;
    f.dx.terms.push_back(FormulaTermFields{});
    f.dy = FormulaFields::Constant(50);
    f.label1.offset = 123;
    f.label1.visible = 1;
    f.label2.offset = -77;
    f.label2.orientation = 2;
    const COffsetPoint* point = nullptr;
    const auto data = LoadOne(version, kOffsetPointKind, f.Body(DesignArchiveWriter(version)), &point);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetStatus(), version >= 104 ? 7 : 0);
    EXPECT_EQ(point->GetReference(), data->GetElementAt(3));
    EXPECT_EQ(point->GetDx().GetConstant(), 30);
    EXPECT_EQ(point->GetDx().GetOffset(), 4);
    EXPECT_EQ(point->GetDx().GetTerms().size(), 1u);
    EXPECT_EQ(point->GetDx().GetOwner(), data.get());
    EXPECT_EQ(point->GetDy().GetConstant(), 50);
    EXPECT_TRUE(point->GetDy().GetTerms().empty());
    EXPECT_EQ(point->GetLabel1().GetOffsetDistance(), 123);
    EXPECT_EQ(point->GetLabel1().IsVisible(), 1);
    EXPECT_EQ(point->GetLabel2().GetOffsetDistance(), -77);
    EXPECT_EQ(point->GetLabel2().GetOrientation(), 2);
    EXPECT_EQ(point->GetLabel2().IsVisible(), 0);
    // The labels stay bound to the point they were made for.
    EXPECT_EQ(point->GetLabel1().GetLabelledObject(), point);
    EXPECT_EQ(point->GetLabel2().GetOwner(), data.get());
  }
}

TEST_F(PointsATest, Version100OffsetPointStoresIntegerOffsetsTheSecondNegated) {
  struct Case {
    int32_t dx;
    int32_t dy;
    int32_t formulaDx;
    int32_t formulaDy;
  };
  const Case kCases[] = {
      {30, 50, 30, -50},
      {-8, -9, -8, 9},
      {INT_MIN, INT_MIN, INT_MIN, INT_MAX},  // the lowest value has no negation: it stays in range
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.dy);
    OffsetPointFields f;
    f.reference = 0;
    f.old_dx = c.dx;
    f.old_dy = c.dy;
    const COffsetPoint* point = nullptr;
    const auto data = LoadOne(100, kOffsetPointKind, f.Body(DesignArchiveWriter(100)), &point);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetReference(), data->GetElementAt(0));
    EXPECT_EQ(point->GetStatus(), 0);
    const std::pair<const CFormula*, int32_t> formulas[] = {{&point->GetDx(), c.formulaDx},
                                                              {&point->GetDy(), c.formulaDy}};
    for (const auto& [formula, value] : formulas) {
      EXPECT_TRUE(formula->GetTerms().empty());
      EXPECT_EQ(formula->GetOffset(), value);
      EXPECT_EQ(formula->GetDivisor(), 1.0);
      EXPECT_EQ(formula->GetFactor(), 1.0);
      EXPECT_EQ(formula->GetConstant(), 0);
      EXPECT_EQ(formula->GetOwner(), data.get());
    }
    // No labels stored: both keep what the point was made with.
    for (const CDimLabel* label : {&point->GetLabel1(), &point->GetLabel2()}) {
      EXPECT_EQ(label->GetMode(), kLabelModeLinear);
      EXPECT_EQ(label->GetOffsetDistance(), 0);
      EXPECT_EQ(label->IsVisible(), 0);
      EXPECT_EQ(label->GetLabelledObject(), point);
    }
  }
}

TEST_F(PointsATest, CircleIntersectionReadsEachPointBeforeItsDistance) {
  CircleIntersectFields f;
  f.status = 2;
  f.point1 = 2;
  f.distance1 = FormulaFields::Constant(400);
  f.point2 = 0;
  f.distance2 = FormulaFields::Constant(-300);
  f.distance2.factor = 2.5;
  f.side = 1;
  const CCircleIntersectPoint* point = nullptr;
  const auto data = LoadOne(104, kCircleIntersectKind, f.Body(DesignArchiveWriter(104)), &point);
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetStatus(), 2);
  EXPECT_EQ(point->GetPoint1(), data->GetElementAt(2));
  EXPECT_EQ(point->GetRadius1().GetConstant(), 400);
  EXPECT_EQ(point->GetPoint2(), data->GetElementAt(0));
  EXPECT_EQ(point->GetRadius2().GetConstant(), -300);
  EXPECT_EQ(point->GetRadius2().GetFactor(), 2.5);
  EXPECT_EQ(point->GetSide(), 1);
}

TEST_F(PointsATest, CrossingPointsKeepTheirReferencesAndCrossingNumber) {
  CrossingPointFields f;
  f.first = 5;
  f.second = 7;
  f.crossing = 3;
  const CLineCurveIntersectPoint* lineCurve = nullptr;
  auto data = LoadOne(103, kLineCurveIntersectKind, f.Body(DesignArchiveWriter(103)), &lineCurve);
  ASSERT_NE(lineCurve, nullptr);
  EXPECT_EQ(lineCurve->GetLine(), data->GetElementAt(5));
  EXPECT_EQ(lineCurve->GetCurve(), data->GetElementAt(7));
  EXPECT_EQ(lineCurve->GetCrossing(), 3);

  f.first = 7;
  f.second = 6;
  f.crossing = 0;
  const CCurveIntersectPoint* curves = nullptr;
  data = LoadOne(162, kCurveIntersectKind, f.Body(DesignArchiveWriter(162)), &curves);
  ASSERT_NE(curves, nullptr);
  EXPECT_EQ(curves->GetCurve1(), data->GetElementAt(7));
  EXPECT_EQ(curves->GetCurve2(), data->GetElementAt(6));
  EXPECT_EQ(curves->GetCrossing(), 0);
}

TEST_F(PointsATest, FootPointKeepsThePointThenTheTwoLinePoints) {
  FootPointFields f;
  f.point = 3;
  f.line_point1 = 1;
  f.line_point2 = -1;
  const CPerpendicularFootPoint* point = nullptr;
  const auto data = LoadOne(162, kPerpendicularFootKind, f.Body(DesignArchiveWriter(162)), &point);
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetPoint(), data->GetElementAt(3));
  EXPECT_EQ(point->GetLinePoint1(), data->GetElementAt(1));
  EXPECT_EQ(point->GetLinePoint2(), nullptr);
  CGradedObjectList references;
  ASSERT_TRUE(point->GetReferences(references));
  EXPECT_EQ(references, (CGradedObjectList{data->GetElementAt(3), data->GetElementAt(1), nullptr}));
}

TEST_F(PointsATest, LineCircleIntersectionReadsRadiusChoiceAndLabel) {
  LineCircleIntersectFields f;
  f.centre = 1;
  f.line = 4;
  f.radius = FormulaFields::Constant(250);
  f.choice = 2;
  f.label.offset = 99;
  f.label.visible = 1;
  f.label.text_x = 5;
  const CLineCircleIntersectPoint* point = nullptr;
  const auto data = LoadOne(162, kLineCircleIntersectKind, f.Body(DesignArchiveWriter(162)), &point);
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetCentre(), data->GetElementAt(1));
  EXPECT_EQ(point->GetLine(), data->GetElementAt(4));
  EXPECT_EQ(point->GetRadius().GetConstant(), 250);
  EXPECT_EQ(point->GetChoice(), 2);
  EXPECT_EQ(point->GetRadiusLabel().GetOffsetDistance(), 99);
  EXPECT_EQ(point->GetRadiusLabel().IsVisible(), 1);
  EXPECT_EQ(point->GetRadiusLabel().GetTextOffset(), CPoint(5, 0));
  EXPECT_EQ(point->GetRadiusLabel().GetLabelledObject(), point);
}

TEST_F(PointsATest, AxisLinesIntersectionReadsEachPointBeforeItsFlag) {
  AxisLinesIntersectFields f;
  f.point1 = 2;
  f.flag1 = 0;
  f.point2 = 3;
  f.flag2 = 5;
  const CAxisLinesIntersectPoint* point = nullptr;
  const auto data = LoadOne(162, kAxisLinesIntersectKind, f.Body(DesignArchiveWriter(162)), &point);
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetPoint1(), data->GetElementAt(2));
  EXPECT_EQ(point->GetFlag1(), 0);
  EXPECT_EQ(point->GetPoint2(), data->GetElementAt(3));
  EXPECT_EQ(point->GetFlag2(), 5);
  CGradedObjectList references;
  ASSERT_TRUE(point->GetReferences(references));
  EXPECT_EQ(references.size(), 2u);  // the flags are no references
}

TEST_F(PointsATest, UnplacedPointsKeepObjectsOfAnyKindAndTheirValue) {
  struct Case {
    int32_t kind;
    int32_t reference1;
    int32_t reference2;
  };
  // A text, a line, a curve and a point; -1 and a position past the list
  // resolve to none.
  const Case kCases[] = {{23, 8, 0}, {24, 3, 5}, {25, 6, -1}, {23, 99, 8}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " refs " << c.reference1 << ", " << c.reference2);
    UnplacedPointFields f;
    f.status = 9;
    f.reference1 = c.reference1;
    f.reference2 = c.reference2;
    f.value = -42;
    const CPointElemBase* point = nullptr;
    const auto data = LoadOne(104, c.kind, f.Body(DesignArchiveWriter(104)), &point);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetSubtype(), c.kind);
    EXPECT_EQ(point->GetStatus(), 9);
    EXPECT_EQ(point->GetReference1(), data->GetElementAt(c.reference1));
    EXPECT_EQ(point->GetReference2(), data->GetElementAt(c.reference2));
    EXPECT_EQ(point->GetValue(), -42);
    EXPECT_FALSE(point->IsRealPoint());
  }
  // The text is kept as it is, not as a point.
  UnplacedPointFields f;
  f.reference1 = 8;
  const CPointElemBase* point = nullptr;
  const auto data = LoadOne(162, kUnplacedKind23, f.Body(DesignArchiveWriter(162)), &point);
  ASSERT_NE(point, nullptr);
  ASSERT_NE(point->GetReference1(), nullptr);
  EXPECT_EQ(point->GetReference1()->GetKind(), kObjectKindText);
  EXPECT_TRUE(point->RefersTo(data->GetElementAt(8)));
}

// ---- Points as the loader makes them ---------------------------------------------

TEST_F(PointsATest, TheTableMakesEachKindEmptyHiddenAndWithItsLabelsBound) {
  RegisterPointKinds();  // a second registration changes nothing
  CPatternData data;
  data.SetScale(kScale);
  data.InsertSize(0, CString("M"), 0, 1);
  data.InsertSize(1, CString("L"), 0, 1);
  const size_t kReferenceCounts[] = {1, 2, 2, 2, 2, 3, 2, 2, 2, 2, 2};
  for (size_t i = 0; i < std::size(kKinds); ++i) {
    const int32_t kind = kKinds[i];
    SCOPED_TRACE(kind);
    std::unique_ptr<CGradedObject> made = GetPointKindFactory().Create(kind, &data);
    const auto* point = dynamic_cast<const CGradedPoint*>(made.get());
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetSubtype(), kind);
    EXPECT_EQ(point->GetState(), 0);
    EXPECT_EQ(point->GetStatus(), 0);
    EXPECT_EQ(point->GetSizePointCount(), 2);
    CGradedObjectList references;
    ASSERT_TRUE(point->GetReferences(references));
    EXPECT_EQ(references, CGradedObjectList(kReferenceCounts[i], nullptr));
  }

  std::unique_ptr<CGradedObject> made = GetPointKindFactory().Create(kPointKindOffset, &data);
  const auto* offset = dynamic_cast<const COffsetPoint*>(made.get());
  ASSERT_NE(offset, nullptr);
  EXPECT_EQ(offset->GetDx().GetOwner(), &data);
  EXPECT_EQ(offset->GetDy().GetOwner(), &data);
  for (const CDimLabel* label : {&offset->GetLabel1(), &offset->GetLabel2()}) {
    EXPECT_EQ(label->GetMode(), kLabelModeLinear);
    EXPECT_EQ(label->GetOffsetDistance(), 0);  // on the legs themselves
    EXPECT_EQ(label->GetOwner(), &data);
    EXPECT_EQ(label->GetLabelledObject(), offset);
    EXPECT_EQ(label->IsVisible(), 0);
  }

  made = GetPointKindFactory().Create(kPointKindLineCircleIntersect, &data);
  const auto* lineCircle = dynamic_cast<const CLineCircleIntersectPoint*>(made.get());
  ASSERT_NE(lineCircle, nullptr);
  EXPECT_EQ(lineCircle->GetRadius().GetOwner(), &data);
  EXPECT_EQ(lineCircle->GetRadiusLabel().GetMode(), kLabelModeLinear);
  EXPECT_EQ(lineCircle->GetRadiusLabel().GetOffsetDistance(), 10 * kScale);
  EXPECT_EQ(lineCircle->GetRadiusLabel().GetLabelledObject(), lineCircle);

  made = GetPointKindFactory().Create(kPointKindCircleIntersect, &data);
  const auto* circles = dynamic_cast<const CCircleIntersectPoint*>(made.get());
  ASSERT_NE(circles, nullptr);
  EXPECT_EQ(circles->GetRadius1().GetOwner(), &data);
  EXPECT_EQ(circles->GetRadius2().GetOwner(), &data);
}

// The record of a point of `kind` (9, 11, 12, 22 or 24) with two references.
std::string Body(const DesignArchiveWriter& w, int32_t kind, uint32_t state, int32_t first, int32_t second) {
  switch (kind) {
    case kLineIntersectKind: {
      LineIntersectFields f;
      f.state = state;
      f.line1 = first;
      f.line2 = second;
      return f.Body(w);
    }
    case kLineCurveIntersectKind:
    case kCurveIntersectKind: {
      CrossingPointFields f;
      f.state = state;
      f.first = first;
      f.second = second;
      return f.Body(w);
    }
    case kAxisLinesIntersectKind: {
      AxisLinesIntersectFields f;
      f.state = state;
      f.point1 = first;
      f.point2 = second;
      return f.Body(w);
    }
    default: {
      UnplacedPointFields f;
      f.state = state;
      f.reference1 = first;
      f.reference2 = second;
      return f.Body(w);
    }
  }
}

// A hidden intersection of two lines or curves is in use while both of them
// are shown; the other kinds answer their state.
TEST_F(PointsATest, HiddenIntersectionIsDefinedWhileBothOfItsObjectsAreShown) {
  struct Case {
    int32_t kind;
    uint32_t state;
    int32_t first;
    int32_t second;
    int firstState;
    int secondState;
    bool defined;
  };
  // Positions in the container below: 0 and 1 lines, 2 and 3 curves, 4 and
  // 5 free points.
  const Case kCases[] = {
      {9, 0, 0, 1, 1, 1, true},   {9, 0, 0, 1, 1, 0, false}, {9, 0, 0, -1, 1, 1, false},
      {9, 1, 0, 1, 0, 0, true},   {11, 0, 0, 2, 1, 1, true}, {11, 0, 0, 2, 0, 1, false},
      {12, 0, 2, 3, 1, 1, true},  {12, 0, 2, 3, 1, 0, false}, {12, 1, -1, -1, 1, 1, true},
      {22, 0, 4, 5, 1, 1, false}, {24, 0, 0, 1, 1, 1, false},
  };
  const DesignArchiveWriter w(162);
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " state " << c.state << " refs " << c.first << ", "
                                    << c.second);
    CPatternData data;
    data.InsertSize(0, CString("M"), 0, 1);
    data.AddElement(std::make_unique<StandInLine>(&data));
    data.AddElement(std::make_unique<StandInLine>(&data));
    data.AddElement(std::make_unique<StandInCurve>(&data));
    data.AddElement(std::make_unique<StandInCurve>(&data));
    data.AddElement(GetPointKindFactory().Create(1, &data));
    data.AddElement(GetPointKindFactory().Create(1, &data));
    if (c.first >= 0) data.GetElementAt(c.first)->SetState(c.firstState);
    if (c.second >= 0) data.GetElementAt(c.second)->SetState(c.secondState);
    const std::string body = Body(w, c.kind, c.state, c.first, c.second);
    std::unique_ptr<CGradedObject> made = GetPointKindFactory().Create(c.kind, &data);
    auto* point = dynamic_cast<CGradedPoint*>(made.get());
    ASSERT_NE(point, nullptr);
    ArchiveReader archive{std::string_view(body)};
    ASSERT_TRUE(point->Load(archive));
    EXPECT_EQ(archive.Remaining(), 0u);
    point->ResolveIds();
    EXPECT_EQ(point->IsDefined() != 0, c.defined);
  }
}

}  // namespace
