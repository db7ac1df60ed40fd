// The direction-line points (kinds 32, 39 to 43), the curve tangent points
// (37, 44, 45), and the rotated, arc-length and linked points (47, 46, 38):
// their records across the data versions, the references they report and
// resolve, and what their loaders make of short files. The lines and curves
// they refer to are the stand-ins of the test support.
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/points/direction_line_points.h"
#include "design/points/graded_point.h"
#include "design/points/rotated_points.h"
#include "design/points/tangent_points.h"
#include "model/style.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/points_c_records.h"

namespace {

using design_fixture::AddSampleCPoint;
using design_fixture::ArchiveBytes;
using design_fixture::DesignArchiveWriter;
using design_fixture::ExpectedReferences;
using design_fixture::SampleRefs;
using design_fixture::kSampleCKinds;
using design_test::DesignToReferTo;
using design_test::Finish;

// The kinds whose records carry the status word at every version.
bool StatusAtEveryVersion(int32_t kind) { return kind == 39 || (kind >= 44 && kind <= 47); }

class PointsCTest : public ::testing::Test {
 protected:
  // The loads of version 150 and later read their stored pieces into the
  // style.
  void TearDown() override { ClearStyle(); }

  // Every field given an object of another kind: points get a line, lines a
  // curve, curves a point.
  static SampleRefs WrongKinds(const SampleRefs& refs) {
    SampleRefs wrong = refs;
    for (int& point : wrong.points) point = refs.lines[0];
    for (int& line : wrong.lines) line = refs.curves[0];
    for (int& curve : wrong.curves) curve = refs.points[0];
    return wrong;
  }

  // Loads a design that must load whole, to its closing record.
  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, tables_.Tables());
  }

  design_test::StandInTables tables_;
};

// The positions of the objects that a point's GetReferences lists (-1 for
// null).
std::vector<int> ReferencePositions(const CPatternData& data, const CGradedPoint& point) {
  CGradedObjectList list{nullptr};  // a stale entry, which a listing kind must clear
  if (!point.GetReferences(list)) return {};
  return design_test::Positions(data, list);
}

// The values AddSampleCPoint stores, read back from the kind's fields.
void ExpectSampleValues(const CPatternData& data, const CGradedPoint& point, int curvePosition) {
  using namespace design_fixture;
  auto expectLabel = [](const CDimLabel& label, int32_t mode) {
    EXPECT_EQ(label.GetMode(), mode);
    EXPECT_EQ(label.GetOffsetDistance(), kSampleLabelOffset);
    EXPECT_EQ(label.GetTextOffset(), CPoint(5, -6));
    EXPECT_EQ(label.GetPartCount(), 4);
    EXPECT_EQ(label.IsVisible(), 1);
  };
  if (const auto* p = dynamic_cast<const CRelativeAngleLinePoint*>(&point)) {
    EXPECT_EQ(p->GetAngle(), kSampleAngle);
    expectLabel(p->GetLabel(), kLabelModeAngle);
  } else if (const auto* p = dynamic_cast<const CRelativeAngleCurvePoint*>(&point)) {
    EXPECT_EQ(p->GetAngle(), kSampleAngle);
    EXPECT_EQ(p->GetCrossing(), kSampleCrossing);
    expectLabel(p->GetLabel(), kLabelModeAngle);
  } else if (const auto* p = dynamic_cast<const CTwoPointCurveIntersectPoint*>(&point)) {
    EXPECT_EQ(p->GetCrossing(), kSampleCrossing);
  } else if (const auto* p = dynamic_cast<const CAngleCurveBase*>(&point)) {
    EXPECT_EQ(p->GetCrossing(), kSampleCrossing);
    const double angles[] = {kSampleAngle, kVerticalAngleDegrees, kHorizontalAngleDegrees};
    EXPECT_EQ(p->GetAngle(), angles[point.GetSubtype() - kPointKindAngleCurve]);
    if (const auto* withLabel = dynamic_cast<const CAngleCurvePoint*>(&point)) {
      expectLabel(withLabel->GetLabel(), kLabelModeAngle);
    }
  } else if (const auto* p = dynamic_cast<const CCurveTangentCurvePoint*>(&point)) {
    EXPECT_EQ(p->GetCrossing(), kSampleCrossing);
  } else if (const auto* p = dynamic_cast<const CCurveTangentDistancePoint*>(&point)) {
    EXPECT_EQ(p->GetDirection(), kSampleFlag);
    EXPECT_EQ(p->GetDistance().GetConstant(), kSampleFormulaConstant);
    EXPECT_EQ(p->GetDistance().GetOwner(), &data);
    expectLabel(p->GetLabel(), kLabelModeLinear);
  } else if (const auto* p = dynamic_cast<const CArcLengthPoint*>(&point)) {
    EXPECT_EQ(p->GetDirection(), kSampleFlag);
    EXPECT_EQ(p->GetArcLength().GetConstant(), kSampleFormulaConstant);
    EXPECT_EQ(p->GetArcLength().GetOwner(), &data);
    expectLabel(p->GetLabel(), kLabelModeLinear);
  } else if (const auto* p = dynamic_cast<const CRotateToDirectionPoint*>(&point)) {
    EXPECT_EQ(p->GetTurnFlag(), kSampleFlag);
  } else if (const auto* p = dynamic_cast<const CLinkedPoint*>(&point)) {
    EXPECT_EQ(p->GetStoredPoint(), CPoint(kSampleX, kSampleY));
    EXPECT_EQ(p->GetLink(), data.GetElementAt(curvePosition));
  } else if (!dynamic_cast<const CCurveTangentLinePoint*>(&point)) {
    ADD_FAILURE() << "no class of this group for kind " << point.GetSubtype();
  }
}

// ---- Records across the versions ------------------------------------------

class SampleRecords : public PointsCTest, public ::testing::WithParamInterface<std::tuple<int32_t, int32_t>> {};

TEST_P(SampleRecords, LoadToTheLastByteAndReportTheirReferencesInFieldOrder) {
  const auto [kind, version] = GetParam();
  SampleRefs refs;
  DesignArchiveWriter w = DesignToReferTo(version, refs);
  ExpectedReferences expected;
  const int position = AddSampleCPoint(w, kind, refs, expected);
  ASSERT_GE(position, 0);
  const std::unique_ptr<CPatternData> data = LoadWhole(Finish(w));
  ASSERT_EQ(data->GetElementCount(), position + 1);
  const auto* point = dynamic_cast<const CGradedPoint*>(data->GetElementAt(position));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetSubtype(), kind);
  EXPECT_EQ(point->GetState(), 1);
  const bool statusStored = StatusAtEveryVersion(kind) || version >= 104;
  EXPECT_EQ(point->GetStatus(), statusStored ? design_fixture::kSampleStatus : 0);

  EXPECT_EQ(ReferencePositions(*data, *point), expected);
  design_test::ExpectRefersExactlyTo(*data, *point, expected);
  ExpectSampleValues(*data, *point, refs.curves[0]);
}

// 103 and 104 straddle the status word; 108 and 109 the stored curve kind
// of the curves referred to; 150 adds the stored pieces; 162 is the last.
INSTANTIATE_TEST_SUITE_P(KindsAndVersions, SampleRecords,
                         ::testing::Combine(::testing::ValuesIn(kSampleCKinds),
                                            ::testing::Values(103, 104, 108, 109, 150, 162)));

TEST_F(PointsCTest, ReferencesToObjectsOfAnotherKindResolveToNone) {
  for (int32_t kind : kSampleCKinds) {
    SCOPED_TRACE(kind);
    SampleRefs refs;
    DesignArchiveWriter w = DesignToReferTo(162, refs);
    ExpectedReferences expected;
    const int position = AddSampleCPoint(w, kind, WrongKinds(refs), expected);
    const std::unique_ptr<CPatternData> data = LoadWhole(Finish(w));
    const auto* point = dynamic_cast<const CGradedPoint*>(data->GetElementAt(position));
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(ReferencePositions(*data, *point), std::vector<int>(expected.size(), -1));
    design_test::ExpectRefersExactlyTo(*data, *point, {});
    EXPECT_EQ(point->GetLink(), nullptr);  // kind 38's link named a point
  }
}

TEST_F(PointsCTest, PositionsOutsideTheListResolveToNone) {
  SampleRefs refs;
  DesignArchiveWriter w = DesignToReferTo(162, refs);
  SampleRefs outside;
  for (int& point : outside.points) point = 1000;
  for (int& line : outside.lines) line = -7;
  for (int& curve : outside.curves) curve = 0x7FFFFFFF;
  std::vector<int> positions;
  for (int32_t kind : kSampleCKinds) {
    ExpectedReferences ignored;
    positions.push_back(AddSampleCPoint(w, kind, outside, ignored));
  }
  const std::unique_ptr<CPatternData> data = LoadWhole(Finish(w));
  for (int position : positions) {
    const auto* point = dynamic_cast<const CGradedPoint*>(data->GetElementAt(position));
    ASSERT_NE(point, nullptr);
    SCOPED_TRACE(point->GetSubtype());
    for (int at : ReferencePositions(*data, *point)) EXPECT_EQ(at, -1);
    EXPECT_EQ(point->GetLink(), nullptr);
  }
}

TEST_F(PointsCTest, EveryPrefixOfADesignWithEveryKindFailsWithoutALeak) {
  for (int32_t version : {103, 162}) {
    SCOPED_TRACE(version);
    SampleRefs refs;
    DesignArchiveWriter w = DesignToReferTo(version, refs);
    for (int32_t kind : kSampleCKinds) {
      ExpectedReferences expected;
      AddSampleCPoint(w, kind, refs, expected);
    }
    const std::string whole = Finish(w);
    LoadWhole(whole);
    design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
  }
}

// ---- Hand-written records ---------------------------------------------------

// Records laid out byte by byte, to pin the orders that stand out: kind 39
// stores its crossing number before its references and its status even in a
// file older than the status word; kinds 41 and 42 store no angle.
TEST(PointsCRecords, UnusualFieldOrdersReadAsStored) {
  DesignTables::Registered();
  CPatternData data;
  data.SetVersion(103);
  data.InsertSize(0, CString("M"), 0, 1);
  const std::string record39 = ArchiveBytes().U32(1).U16(9).I32(-2).I32(11).I32(12).I32(13).I32(14).Bytes();
  CTwoPointCurveIntersectPoint crossing(&data, 0);
  ArchiveReader archive39{std::string_view(record39)};
  ASSERT_TRUE(crossing.Load(archive39));
  EXPECT_EQ(archive39.Remaining(), 0u);
  EXPECT_EQ(crossing.GetStatus(), 9);
  EXPECT_EQ(crossing.GetCrossing(), -2);  // kept as stored; the first crossing is taken

  const std::string record41 = ArchiveBytes().U32(1).I32(21).I32(22).I32(5).Bytes();
  for (int32_t kind : {kPointKindVerticalCurve, kPointKindHorizontalCurve}) {
    SCOPED_TRACE(kind);
    std::unique_ptr<CGradedObject> object = GetPointKindFactory().Create(kind, &data);
    auto* axis = dynamic_cast<CAngleCurveBase*>(object.get());
    ASSERT_NE(axis, nullptr);
    ArchiveReader archive{std::string_view(record41)};
    ASSERT_TRUE(axis->Load(archive));
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_EQ(axis->GetCrossing(), 5);
    EXPECT_EQ(axis->GetAngle(), kind == kPointKindVerticalCurve ? 90.0 : 0.0);
  }
}

// ---- Construction -----------------------------------------------------------

TEST_F(PointsCTest, NewPointsAreHiddenWithNoReferencesAndTheirLabelsBoundInTheirMode) {
  struct Case {
    int32_t kind;
    size_t references;
    int labelMode;  // -1: no label
  };
  const Case kCases[] = {
      {32, 4, kLabelModeAngle}, {37, 2, kLabelModeLinear}, {38, 0, -1},
      {39, 4, -1},              {40, 2, kLabelModeAngle},  {41, 2, -1},
      {42, 2, -1},              {43, 4, kLabelModeAngle},  {44, 3, -1},
      {45, 3, -1},              {46, 2, kLabelModeLinear}, {47, 3, -1},
  };
  CPatternData data;
  data.SetScale(10);
  data.InsertSize(0, CString("M"), 0, 1);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    std::unique_ptr<CGradedObject> object = GetPointKindFactory().Create(c.kind, &data);
    auto* point = dynamic_cast<CGradedPoint*>(object.get());
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetSubtype(), c.kind);
    EXPECT_EQ(point->GetState(), 0);
    CGradedObjectList list;
    EXPECT_EQ(point->GetReferences(list), c.references ? TRUE : FALSE);
    EXPECT_EQ(list, CGradedObjectList(c.references, nullptr));

    CDimLabel label;
    if (auto* p = dynamic_cast<CRelativeAngleLinePoint*>(point)) label = p->GetLabel();
    if (auto* p = dynamic_cast<CAngleCurvePoint*>(point)) label = p->GetLabel();
    if (auto* p = dynamic_cast<CRelativeAngleCurvePoint*>(point)) label = p->GetLabel();
    if (auto* p = dynamic_cast<CCurveTangentDistancePoint*>(point)) {
      label = p->GetLabel();
      EXPECT_EQ(p->GetDirection(), kTangentAhead);
      EXPECT_EQ(p->GetDistance().GetOwner(), &data);
    }
    if (auto* p = dynamic_cast<CArcLengthPoint*>(point)) {
      label = p->GetLabel();
      EXPECT_EQ(p->GetDirection(), kTurnClockwise);
      EXPECT_EQ(p->GetArcLength().GetOwner(), &data);
    }
    if (auto* p = dynamic_cast<CRotateToDirectionPoint*>(point)) {
      EXPECT_EQ(p->GetTurnFlag(), kTurnClockwise);
    }
    if (c.labelMode < 0) continue;
    EXPECT_EQ(label.GetMode(), c.labelMode);
    EXPECT_EQ(label.GetLabelledObject(), point);
    EXPECT_EQ(label.GetOwner(), &data);
    EXPECT_EQ(label.GetOffsetDistance(), 100);  // 10 mm at scale 10
    EXPECT_EQ(label.IsVisible(), 0);
  }
}

TEST(LinkedPoint, StoresItsCoordinateAndInvalidatesEverySizeWhenMoved) {
  CPatternData data;
  data.InsertSize(0, CString("M"), 0, 1);
  data.InsertSize(1, CString("L"), 0, 1);
  CLinkedPoint point(&data, 0, CPoint(3, 4));
  EXPECT_EQ(point.GetStoredPoint(), CPoint(3, 4));
  EXPECT_EQ(point.GetLink(), nullptr);
  point.ClearDirty(0);
  point.ClearDirty(1);
  point.SetPoint(-8, 9);
  EXPECT_EQ(point.GetStoredPoint(), CPoint(-8, 9));
  EXPECT_TRUE(point.IsDirty(0));
  EXPECT_TRUE(point.IsDirty(1));

  // The link is no reference: nothing is listed and nothing referred to.
  CGradedObject curve(kObjectKindCurve, &data, 0);
  point.SetLink(&curve);
  CGradedObjectList list;
  EXPECT_FALSE(point.GetReferences(list));
  EXPECT_FALSE(point.RefersTo(&curve));
  EXPECT_EQ(CLinkedPoint(&data, 0, 5, 6).GetStoredPoint(), CPoint(5, 6));
}

}  // namespace
