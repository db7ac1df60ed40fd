// The ratio, distance and curve-span points (kinds 3 to 8, 35 and 36): their
// records across the version gates, their references, and the direction flag
// that files below version 109 leave to be derived from the curve's defining
// points. Lines and curves are the stand-ins of the test support: a line of
// two point positions and a curve whose record is its defining points.
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/points/distance_points.h"
#include "design/points/graded_point.h"
#include "design/points/ratio_points.h"
#include "design/points/span_points.h"
#include "model/style.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/points_d_records.h"

namespace {

using design_fixture::AddSampleDPoint;
using design_fixture::DesignArchiveWriter;
using design_fixture::ExpectedReferences;
using design_fixture::SampleRefs;
using design_test::AddStandInCurve;
using design_test::DesignToReferTo;
using design_test::Finish;
using design_test::Positions;
namespace records = design_fixture::points_d;

constexpr int32_t kScale = design_test::kDesignScale;

// ---- Kinds ----------------------------------------------------------------------

// A point kind of this group and the object kinds of its reference fields, in
// field order: 'P' a point, 'L' a two-point line, 'C' a curve.
struct KindCase {
  int32_t kind;
  const char* fields;
};

const KindCase kKinds[] = {{3, "PP"}, {4, "LP"}, {5, "CP"}, {6, "PP"}, {7, "LP"}, {8, "CP"}, {35, "CPP"}, {36, "CPP"}};

void PrintTo(const KindCase& c, std::ostream* os) { *os << "kind " << c.kind; }

class PointsDTest : public ::testing::Test {
 protected:
  // The loads of version 150 and later read their stored pieces into the
  // style.
  void TearDown() override { ClearStyle(); }

  // Loads a fixture that must load whole, to its last byte.
  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, tables_.Tables());
  }

  design_test::StandInTables tables_;
};

// ---- What each kind reads ---------------------------------------------------------

// The stored values of the record fixture below.
constexpr uint16_t kStatus = 7;
constexpr int32_t kParts = 5;
constexpr int32_t kPart = 2;
constexpr double kRatio = 0.375;
constexpr int32_t kDistance = 250;
constexpr int32_t kLabelOffset = 321;
constexpr uint32_t kStoredDirection = 0;

// The direction flag that a file below 109 gets for a point from curve 0
// (points 0, 1) with start point 0 and end point 1.
int32_t DerivedDirection(int32_t kind) { return kind == kPointKindCurveSpanRatio ? 0 : 1; }

template <class T>
void ExpectStoredFields(const T& point, int32_t version) {
  if constexpr (requires { point.GetRatio(); }) {
    int32_t parts = 0, part = 0;
    point.GetFraction(&parts, &part);
    EXPECT_EQ(parts, kParts);
    EXPECT_EQ(part, kPart);
    EXPECT_EQ(point.GetRatio(), kRatio);
    EXPECT_EQ(point.IsFraction(), 1);
  }
  if constexpr (requires { point.GetDistance(); }) {
    EXPECT_EQ(point.GetDistance().GetConstant(), kDistance);
    EXPECT_EQ(point.GetDistance().GetOwner(), point.GetOwner());
  }
  if constexpr (requires { point.GetLabel(); }) {
    // Kinds 8 and 36 store no label before 102: it stays as bound.
    const bool stored = version >= 102 || (point.GetSubtype() != 8 && point.GetSubtype() != 36);
    const CDimLabel label = point.GetLabel();
    EXPECT_EQ(label.GetOffsetDistance(), stored ? kLabelOffset : 10 * kScale);
    EXPECT_EQ(label.IsVisible(), stored ? 1 : 0);
    EXPECT_EQ(label.GetMode(), static_cast<int32_t>(records::LabelMode(point.GetSubtype())));
    EXPECT_EQ(label.GetLabelledObject(), &point);
    EXPECT_EQ(label.GetOwner(), point.GetOwner());
  }
  if constexpr (requires { point.GetDirection(); }) {
    if (version >= 109) {
      EXPECT_EQ(point.GetDirection(), static_cast<int32_t>(kStoredDirection));
    } else {
      EXPECT_EQ(point.GetDirection(), DerivedDirection(point.GetSubtype()));
    }
  }
}

template <class T>
void ExpectKind(const CGradedObject* object, int32_t version) {
  const auto* point = dynamic_cast<const T*>(object);
  ASSERT_NE(point, nullptr);
  ExpectStoredFields(*point, version);
}

void ExpectStoredFieldsOfKind(int32_t kind, const CGradedObject* object, int32_t version) {
  switch (kind) {
    case kPointKindSegmentRatio: return ExpectKind<CSegmentRatioPoint>(object, version);
    case kPointKindLineRatio: return ExpectKind<CLineRatioPoint>(object, version);
    case kPointKindCurveRatio: return ExpectKind<CCurveRatioPoint>(object, version);
    case kPointKindDistanceTowards: return ExpectKind<CDistanceTowardsPoint>(object, version);
    case kPointKindLineDistance: return ExpectKind<CLineDistancePoint>(object, version);
    case kPointKindCurveDistance: return ExpectKind<CCurveDistancePoint>(object, version);
    case kPointKindCurveSpanRatio: return ExpectKind<CCurveSpanRatioPoint>(object, version);
    case kPointKindCurveSpanDistance: return ExpectKind<CCurveSpanDistancePoint>(object, version);
    default: FAIL() << "not a kind of this group: " << kind;
  }
}

// The positions of the fixture's objects that fill `fields` in order: the
// first line, the first curve, points 0, 1, ... in turn.
std::vector<int32_t> FieldPositions(const SampleRefs& refs, const char* fields) {
  std::vector<int32_t> positions;
  int nextPoint = 0;
  for (const char* f = fields; *f; ++f) {
    if (*f == 'P') positions.push_back(refs.points[nextPoint++]);
    if (*f == 'L') positions.push_back(refs.lines[0]);
    if (*f == 'C') positions.push_back(refs.curves[0]);
  }
  return positions;
}

class PointsDKinds : public PointsDTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(PointsDKinds, RecordLoadsWholeAtEachVersionGate) {
  const KindCase& c = GetParam();
  // 103/104: the status word; 101/102: the label of kinds 8 and 36;
  // 108/109: the direction flag of kinds 5, 8, 35 and 36.
  for (int32_t version : {101, 102, 103, 104, 108, 109, 150, 162}) {
    SCOPED_TRACE(version);
    SampleRefs refs;
    DesignArchiveWriter w = DesignToReferTo(version, refs);
    records::Fields f;
    f.status = kStatus;
    f.direction = kStoredDirection;
    const std::vector<int32_t> positions = FieldPositions(refs, c.fields);
    for (size_t i = 0; i < positions.size(); ++i) f.refs[i] = positions[i];
    f.parts = kParts;
    f.part = kPart;
    f.ratio = kRatio;
    f.distance = design_fixture::FormulaFields::Constant(kDistance);
    f.label.mode = records::LabelMode(c.kind);
    f.label.offset = kLabelOffset;
    f.label.visible = 1;
    const int at = w.AddObject(1, c.kind, records::Body(w, c.kind, f));
    const auto data = LoadWhole(Finish(w));
    if (version < 109) UpdatePointDirections(*data);

    const auto* point = dynamic_cast<const CGradedPoint*>(data->GetElementAt(at));
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetSubtype(), c.kind);
    EXPECT_EQ(point->GetState(), 1);
    EXPECT_EQ(point->GetStatus(), version >= 104 ? kStatus : 0);
    CGradedObjectList references;
    ASSERT_TRUE(point->GetReferences(references));
    EXPECT_EQ(Positions(*data, references), std::vector<int>(positions.begin(), positions.end()));
    ExpectStoredFieldsOfKind(c.kind, point, version);
  }
}

TEST_P(PointsDKinds, SamplePointRefersExactlyToTheObjectsItLists) {
  const KindCase& c = GetParam();
  for (int32_t version : {103, 162}) {
    SCOPED_TRACE(version);
    SampleRefs refs;
    DesignArchiveWriter w = DesignToReferTo(version, refs);
    ExpectedReferences expected;
    const int at = AddSampleDPoint(w, c.kind, refs, expected);
    ASSERT_GE(at, 0);
    ASSERT_EQ(expected.size(), std::string(c.fields).size());
    const auto data = LoadWhole(Finish(w));
    const CGradedObject* point = data->GetElementAt(at);
    CGradedObjectList references{data->GetElementAt(0)};  // emptied first
    ASSERT_TRUE(point->GetReferences(references));
    EXPECT_EQ(Positions(*data, references), expected);
    design_test::ExpectRefersExactlyTo(*data, *point, expected);
  }
}

TEST_P(PointsDKinds, AReferenceToAnObjectOfAnotherKindOrNoneResolvesToNone) {
  const KindCase& c = GetParam();
  SampleRefs refs;
  DesignArchiveWriter w = DesignToReferTo(162, refs);
  // Each field names an object of another kind: a line for a point, a point
  // for a line, a line for a curve; then positions of no object at all.
  records::Fields wrong;
  records::Fields missing;
  const size_t n = std::string(c.fields).size();
  for (size_t i = 0; i < n; ++i) {
    wrong.refs[i] = c.fields[i] == 'P' ? refs.lines[1] : c.fields[i] == 'L' ? refs.points[2] : refs.lines[0];
    missing.refs[i] = i == 0 ? -1 : 1000;
  }
  const int wrongAt = w.AddObject(1, c.kind, records::Body(w, c.kind, wrong));
  const int missingAt = w.AddObject(1, c.kind, records::Body(w, c.kind, missing));
  const auto data = LoadWhole(Finish(w));
  for (int at : {wrongAt, missingAt}) {
    CGradedObjectList references;
    ASSERT_TRUE(data->GetElementAt(at)->GetReferences(references));
    EXPECT_EQ(references, CGradedObjectList(n, nullptr)) << "point " << at;
  }
}

TEST_P(PointsDKinds, TheTableMakesAnUnplacedHiddenPointWithItsLabelBound) {
  const KindCase& c = GetParam();
  CPatternData data;
  data.SetVersion(162);
  data.SetScale(kScale);
  data.InsertSize(0, CString("M"), 0, 1);
  std::unique_ptr<CGradedObject> made = GetPointKindFactory().Create(c.kind, &data);
  const auto* point = dynamic_cast<const CGradedPoint*>(made.get());
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetSubtype(), c.kind);
  EXPECT_EQ(point->GetState(), 0);
  EXPECT_EQ(point->GetStatus(), 0);
  EXPECT_EQ(point->GetSizePointCount(), 1);
  EXPECT_TRUE(point->IsRealPoint());
  CGradedObjectList references;
  ASSERT_TRUE(point->GetReferences(references));
  EXPECT_EQ(references, CGradedObjectList(std::string(c.fields).size(), nullptr));

  auto expectBound = [&](const auto* typed) {
    ASSERT_NE(typed, nullptr);
    if constexpr (requires { typed->GetLabel(); }) {
      const CDimLabel label = typed->GetLabel();
      EXPECT_EQ(label.GetMode(), static_cast<int32_t>(records::LabelMode(c.kind)));
      EXPECT_EQ(label.GetLabelledObject(), point);
      EXPECT_EQ(label.GetOwner(), &data);
      EXPECT_FALSE(label.IsVisible());
      EXPECT_EQ(label.GetOffsetDistance(), 10 * kScale);
    }
    if constexpr (requires { typed->GetDistance(); }) {
      EXPECT_EQ(typed->GetDistance().GetOwner(), &data);
      EXPECT_TRUE(typed->GetDistance().GetTerms().empty());
    }
    if constexpr (requires { typed->GetDirection(); }) {
      EXPECT_EQ(typed->GetDirection(), 1);
    }
  };
  switch (c.kind) {
    case 3: expectBound(dynamic_cast<const CSegmentRatioPoint*>(point)); break;
    case 4: expectBound(dynamic_cast<const CLineRatioPoint*>(point)); break;
    case 5: expectBound(dynamic_cast<const CCurveRatioPoint*>(point)); break;
    case 6: expectBound(dynamic_cast<const CDistanceTowardsPoint*>(point)); break;
    case 7: expectBound(dynamic_cast<const CLineDistancePoint*>(point)); break;
    case 8: expectBound(dynamic_cast<const CCurveDistancePoint*>(point)); break;
    case 35: expectBound(dynamic_cast<const CCurveSpanRatioPoint*>(point)); break;
    case 36: expectBound(dynamic_cast<const CCurveSpanDistancePoint*>(point)); break;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PointsDKinds, ::testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<KindCase>& info) {
                           return "Kind" + std::to_string(info.param.kind);
                         });

// ---- Short files --------------------------------------------------------------

TEST_F(PointsDTest, EveryPrefixOfADesignOfEveryKindFailsWithoutALeak) {
  for (int32_t version : {101, 108, 109, 162}) {
    SCOPED_TRACE(version);
    SampleRefs refs;
    DesignArchiveWriter w = DesignToReferTo(version, refs);
    for (const KindCase& c : kKinds) {
      ExpectedReferences expected;
      AddSampleDPoint(w, c.kind, refs, expected);
    }
    const std::string whole = Finish(w);
    LoadWhole(whole);
    design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
  }
}

// ---- Direction flags of files below version 109 ----------------------------------

TEST_F(PointsDTest, DirectionFollowsTheOrderOfTheCurvesDefiningPoints) {
  // Positions in the fixture: S the start point, E the end point, X and Y
  // two other points.
  enum : int32_t { S = 0, E = 1, X = 2, Y = 3 };
  struct Case {
    const char* name;
    std::vector<int32_t> definition;
    bool noCurve;       // the points name no curve
    bool sameEnds;      // the end point is the start point
    int32_t expected[4];  // kinds 5, 8, 35, 36
  };
  const Case kCases[] = {
      {"start, end", {S, E}, false, false, {1, 1, 0, 1}},
      {"end, start", {E, S}, false, false, {0, 0, 1, 0}},
      {"start met first, not first", {X, S, Y, E}, false, false, {0, 0, 0, 1}},
      {"end met first, not first", {X, E, S}, false, false, {0, 0, 1, 0}},
      {"neither", {X, Y}, false, false, {0, 0, 1, 1}},
      {"start only", {S, X}, false, false, {1, 1, 0, 1}},
      {"end only", {X, E}, false, false, {0, 0, 1, 0}},
      {"start is the end", {X, S}, false, true, {0, 0, 1, 1}},
      {"empty definition", {}, false, false, {1, 1, 1, 1}},
      {"no curve", {S, E}, true, false, {1, 1, 1, 1}},
  };
  const int32_t kKindsWithDirection[] = {5, 8, 35, 36};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SampleRefs refs;
    DesignArchiveWriter w = DesignToReferTo(108, refs);
    std::vector<int32_t> definition;
    for (int32_t p : c.definition) definition.push_back(refs.points[p]);
    const int curve = c.noCurve ? -1 : AddStandInCurve(w, definition);
    int at[4];
    for (int k = 0; k < 4; ++k) {
      records::Fields f;
      f.refs[0] = curve;
      f.refs[1] = refs.points[S];
      f.refs[2] = refs.points[c.sameEnds ? S : E];
      at[k] = w.AddObject(1, kKindsWithDirection[k], records::Body(w, kKindsWithDirection[k], f));
    }
    const auto data = LoadWhole(Finish(w));
    UpdatePointDirections(*data);
    const auto* ratio = dynamic_cast<const CCurveRatioPoint*>(data->GetElementAt(at[0]));
    const auto* distance = dynamic_cast<const CCurveDistancePoint*>(data->GetElementAt(at[1]));
    const auto* spanRatio = dynamic_cast<const CCurveSpanRatioPoint*>(data->GetElementAt(at[2]));
    const auto* spanDistance = dynamic_cast<const CCurveSpanDistancePoint*>(data->GetElementAt(at[3]));
    ASSERT_TRUE(ratio && distance && spanRatio && spanDistance);
    EXPECT_EQ(ratio->GetDirection(), c.expected[0]);
    EXPECT_EQ(distance->GetDirection(), c.expected[1]);
    EXPECT_EQ(spanRatio->GetDirection(), c.expected[2]);
    EXPECT_EQ(spanDistance->GetDirection(), c.expected[3]);
  }
}

TEST_F(PointsDTest, AStoredDirectionIsKeptFromVersion109On) {
  // The definition lists the end point first, which would derive 0 for
  // kind 36; the stored 1 stands.
  SampleRefs refs;
  DesignArchiveWriter w = DesignToReferTo(109, refs);
  const int curve = AddStandInCurve(w, {refs.points[1], refs.points[0]});
  records::Fields f;
  f.direction = 1;
  f.refs[0] = curve;
  f.refs[1] = refs.points[0];
  f.refs[2] = refs.points[1];
  const int at = w.AddObject(1, 36, records::Body(w, 36, f));
  const auto data = LoadWhole(Finish(w));
  const auto* point = dynamic_cast<const CCurveSpanDistancePoint*>(data->GetElementAt(at));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetDirection(), 1);
}

}  // namespace
