// Loading the points that copy a source point (mirror, rotation, transfer:
// kinds 13, 14, 26, 27, 33, 34), the polar and direction-distance points
// (15 to 18) and the angle-line points (28 to 31): their records across the
// status-word gate and the later layouts, the order in which they list their
// references against the order in which they store them, references of the
// wrong kind, records cut short, and what each kind keeps of its record.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/points/angle_line_points.h"
#include "design/points/graded_point.h"
#include "design/points/mirror_points.h"
#include "design/points/polar_points.h"
#include "model/style.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/points_b_records.h"

namespace {

using design_fixture::AddSampleBPoint;
using design_fixture::ArchiveBytes;
using design_fixture::DesignArchiveWriter;
using design_fixture::ExpectedReferences;
using design_fixture::FreePointFields;
using design_fixture::SampleBPointBody;
using design_fixture::SampleRefs;
using design_fixture::SizeFields;
using design_test::AddStandInLine;
using design_test::Finish;
using design_test::Positions;

constexpr int32_t kKinds[] = {13, 14, 26, 27, 33, 34, 15, 16, 17, 18, 28, 29, 30, 31};
constexpr int32_t kCopyKinds[] = {13, 14, 26, 27, 33, 34};
// Either side of the status word, the first layout with stored pieces (two
// words in front of every object) and the latest.
constexpr int32_t kVersions[] = {101, 103, 104, 149, 150, 162};
constexpr int32_t kScale = 40;
constexpr uint16_t kStatus = 9;

// The class each kind is made of.
template <class T>
bool IsA(const CGradedObject* object) {
  return dynamic_cast<const T*>(object) != nullptr;
}

bool IsOfKindClass(int32_t kind, const CGradedObject* object) {
  switch (kind) {
    case 13: return IsA<CLineMirrorPoint>(object);
    case 14: return IsA<CPointMirrorPoint>(object);
    case 26: return IsA<CRotatedPoint>(object);
    case 27: return IsA<CAxisMirrorPoint>(object);
    case 33: return IsA<CDirectionRotatedPoint>(object);
    case 34: return IsA<CTransferredPoint>(object);
    case 15: return IsA<CPolarPoint15>(object);
    case 16: return IsA<CPolarPoint16>(object);
    case 17: return IsA<CPolarPoint17>(object);
    case 18: return IsA<CDirectionDistancePoint>(object);
    case 28: return IsA<CPerpendicularLinePoint>(object);
    case 29: return IsA<CAngleLinePoint>(object);
    case 30: return IsA<CVerticalLinePoint>(object);
    case 31: return IsA<CHorizontalLinePoint>(object);
    default: return false;
  }
}

class PointsBTest : public ::testing::Test {
 protected:
  // The loads of version 150 and later read their stored pieces into the
  // style.
  void TearDown() override { ClearStyle(); }

  // A design of `version` with two sizes, four free points (the first a
  // curve's vertex point when `vertexFirst`) and two two-point lines, which
  // a test's points refer to through the returned positions.
  static DesignArchiveWriter Design(int32_t version, SampleRefs& refs, bool vertexFirst = false) {
    DesignArchiveWriter w(version);
    w.header().scale = kScale;
    w.AddSize(SizeFields{"M"});
    w.AddSize(SizeFields{"L"});
    w.SetBaseSize(0);
    for (int i = 0; i < 4; ++i) {
      FreePointFields p;
      p.x = 100 * i;
      p.y = -50 * i;
      p.point_kind = vertexFirst && i == 0 ? 20 : 1;
      refs.points[i] = w.AddFreePoint(p);
    }
    for (int i = 0; i < 2; ++i) refs.lines[i] = AddStandInLine(w, refs.points[i], refs.points[3]);
    return w;
  }

  // Loads a fixture that must load to its last byte.
  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, tables_.Tables());
  }

  // A design of `version` with one sample point of `kind`, shown and of
  // status kStatus, loaded whole; its position in `sample`.
  std::unique_ptr<CPatternData> LoadSample(int32_t version, int32_t kind, ExpectedReferences& expected, int& sample) {
    SampleRefs refs;
    DesignArchiveWriter w = Design(version, refs);
    sample = w.AddObject(1, kind, SampleBPointBody(w.PointBase(1, kStatus), kind, refs, expected));
    return LoadWhole(Finish(w));
  }

  design_test::StandInTables tables_;
};

// ---- Every kind: record, references, wrong kinds, cuts --------------------------

TEST_F(PointsBTest, EveryKindReadsItsWholeRecordAndListsItsReferencesInFieldOrder) {
  for (int32_t version : kVersions) {
    for (int32_t kind : kKinds) {
      SCOPED_TRACE(testing::Message() << "version " << version << " kind " << kind);
      ExpectedReferences expected;
      int sample = -1;
      const auto data = LoadSample(version, kind, expected, sample);
      const auto* point = dynamic_cast<const CGradedPoint*>(data->GetElementAt(sample));
      ASSERT_NE(point, nullptr);
      EXPECT_TRUE(IsOfKindClass(kind, point));
      EXPECT_EQ(point->GetSubtype(), kind);
      EXPECT_EQ(point->GetState(), 1);
      EXPECT_EQ(point->GetStatus(), version >= 104 ? kStatus : 0);

      CGradedObjectList references{nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
      ASSERT_TRUE(point->GetReferences(references));
      EXPECT_EQ(Positions(*data, references), expected);

      // RefersTo answers for exactly the objects listed.
      design_test::ExpectRefersExactlyTo(*data, *point, expected);
    }
  }
}

TEST_F(PointsBTest, AReferenceOfTheWrongKindResolvesToNone) {
  for (int32_t kind : kKinds) {
    SCOPED_TRACE(kind);
    SampleRefs objects;
    DesignArchiveWriter w = Design(162, objects);
    // Every point field names a two-point line, every line field a point.
    SampleRefs swapped;
    for (int& p : swapped.points) p = objects.lines[1];
    for (int& l : swapped.lines) l = objects.points[2];
    ExpectedReferences stored;
    const int sample = AddSampleBPoint(w, kind, swapped, stored);
    const auto data = LoadWhole(Finish(w));
    const CGradedObject* point = data->GetElementAt(sample);
    CGradedObjectList references;
    ASSERT_TRUE(point->GetReferences(references));
    EXPECT_EQ(Positions(*data, references), std::vector<int>(stored.size(), -1));
    design_test::ExpectRefersExactlyTo(*data, *point, {});
  }
}

TEST_F(PointsBTest, AReferenceOutsideTheObjectListResolvesToNone) {
  for (int32_t kind : kKinds) {
    SCOPED_TRACE(kind);
    SampleRefs objects;
    DesignArchiveWriter w = Design(162, objects);
    SampleRefs outside;
    for (int& p : outside.points) p = 1000;
    for (int& l : outside.lines) l = -7;
    ExpectedReferences stored;
    const int sample = AddSampleBPoint(w, kind, outside, stored);
    const auto data = LoadWhole(Finish(w));
    CGradedObjectList references;
    ASSERT_TRUE(data->GetElementAt(sample)->GetReferences(references));
    EXPECT_EQ(Positions(*data, references), std::vector<int>(stored.size(), -1));
  }
}

TEST_F(PointsBTest, EveryCutOfARecordFailsAndLeavesThePointHidden) {
  for (int32_t version : {103, 162}) {
    CPatternData data;
    data.SetVersion(version);
    data.InsertSize(0, CString("M"), 0, 1);
    const SampleRefs refs{{0, 1, 2, 3}, {4, 5}, {-1, -1}, -1};
    for (int32_t kind : kKinds) {
      ExpectedReferences expected;
      const std::string body =
          SampleBPointBody(DesignArchiveWriter(version).PointBase(1, kStatus), kind, refs, expected);
      for (size_t cut = 0; cut <= body.size(); ++cut) {
        SCOPED_TRACE(testing::Message() << "version " << version << " kind " << kind << " cut at " << cut);
        std::unique_ptr<CGradedObject> point = GetPointKindFactory().Create(kind, &data);
        ASSERT_NE(point, nullptr);
        ArchiveReader archive{std::string_view(body.data(), cut)};
        const bool whole = cut == body.size();
        EXPECT_EQ(point->Load(archive), whole ? TRUE : FALSE);
        EXPECT_EQ(point->GetState(), whole ? 1 : 0);
        if (whole) {
          EXPECT_EQ(archive.Remaining(), 0u);
        }
      }
    }
  }
}

TEST_F(PointsBTest, EveryPrefixOfADesignOfEveryKindFailsWithoutALeak) {
  for (int32_t version : {103, 162}) {
    SCOPED_TRACE(version);
    SampleRefs refs;
    DesignArchiveWriter w = Design(version, refs);
    for (int32_t kind : kKinds) {
      ExpectedReferences expected;
      AddSampleBPoint(w, kind, refs, expected);
    }
    const std::string whole = Finish(w);
    LoadWhole(whole);
    design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
  }
}

// ---- What each kind keeps of its record ------------------------------------------

// The typed getters name the objects that GetReferences lists, in its order:
// each getter reads the field the record stores at its own place.
TEST_F(PointsBTest, TypedGettersNameTheReferencesInFieldOrder) {
  using Getters = std::function<CGradedObjectList(const CGradedObject*)>;
  struct Case {
    int32_t kind;
    Getters getters;
  };
  const Case kCases[] = {
      {13, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CLineMirrorPoint*>(o);
         CGradedPoint* refs[3] = {};
         p->GetRefs(&refs[0], &refs[1], &refs[2]);
         EXPECT_EQ((CGradedObjectList{refs[0], refs[1], refs[2]}),
                   (CGradedObjectList{p->GetSourcePoint(), p->GetMirrorLinePoint1(), p->GetMirrorLinePoint2()}));
         return {refs[0], refs[1], refs[2]};
       }},
      {14, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CPointMirrorPoint*>(o);
         CGradedPoint* refs[2] = {};
         p->GetRefs(&refs[0], &refs[1]);
         EXPECT_EQ((CGradedObjectList{refs[0], refs[1]}), (CGradedObjectList{p->GetSourcePoint(), p->GetCentre()}));
         return {refs[0], refs[1]};
       }},
      {26, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CRotatedPoint*>(o);
         CGradedPoint* refs[2] = {};
         double angle = 0.0;
         p->GetParams(&refs[0], &refs[1], &angle);
         EXPECT_EQ(angle, 30.0);
         EXPECT_EQ(p->GetAngle(), 30.0);
         EXPECT_EQ((CGradedObjectList{refs[0], refs[1]}), (CGradedObjectList{p->GetSourcePoint(), p->GetCentre()}));
         return {refs[0], refs[1]};
       }},
      {27, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CAxisMirrorPoint*>(o);
         CGradedPoint* refs[4] = {};
         int32_t mode = 0;
         p->GetRefs(&refs[0], &refs[1], &refs[2], &refs[3], &mode);
         EXPECT_EQ(mode, kAxisMirrorBoth);
         EXPECT_EQ(p->GetMode(), kAxisMirrorBoth);
         EXPECT_EQ((CGradedObjectList{refs[0], refs[1], refs[2], refs[3]}),
                   (CGradedObjectList{p->GetSourcePoint(), p->GetAxisPoint(), p->GetShiftStart(), p->GetShiftEnd()}));
         return {refs[0], refs[1], refs[2], refs[3]};
       }},
      {33, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CDirectionRotatedPoint*>(o);
         CGradedPoint* refs[4] = {};
         p->GetRefs(&refs[0], &refs[1], &refs[2], &refs[3]);
         EXPECT_EQ((CGradedObjectList{refs[0], refs[1], refs[2], refs[3]}),
                   (CGradedObjectList{p->GetSourcePoint(), p->GetCentre(), p->GetFromDirectionPoint(),
                                      p->GetToDirectionPoint()}));
         return {refs[0], refs[1], refs[2], refs[3]};
       }},
      {34, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CTransferredPoint*>(o);
         CGradedPoint* refs[5] = {};
         p->GetRefs(&refs[0], &refs[1], &refs[2], &refs[3], &refs[4]);
         EXPECT_EQ((CGradedObjectList{refs[0], refs[1], refs[2], refs[3], refs[4]}),
                   (CGradedObjectList{p->GetSourcePoint(), p->GetSegmentStart(), p->GetSegmentEnd(),
                                      p->GetTargetStart(), p->GetTargetDirectionPoint()}));
         return {refs[0], refs[1], refs[2], refs[3], refs[4]};
       }},
      {15, [](const CGradedObject* o) -> CGradedObjectList {
         return {dynamic_cast<const CPolarPoint*>(o)->GetReferencePoint()};
       }},
      {18, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CDirectionDistancePoint*>(o);
         return {p->GetBasePoint(), p->GetDirectionStart(), p->GetDirectionEnd()};
       }},
      {28, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CPerpendicularLinePoint*>(o);
         return {p->GetThroughPoint(), p->GetDirectionStart(), p->GetDirectionEnd(), p->GetLine()};
       }},
      {29, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CAngleLineBase*>(o);
         return {p->GetThroughPoint(), p->GetLine()};
       }},
      {31, [](const CGradedObject* o) -> CGradedObjectList {
         const auto* p = dynamic_cast<const CAngleLineBase*>(o);
         return {p->GetThroughPoint(), p->GetLine()};
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    ExpectedReferences expected;
    int sample = -1;
    const auto data = LoadSample(162, c.kind, expected, sample);
    const CGradedObject* point = data->GetElementAt(sample);
    EXPECT_EQ(Positions(*data, c.getters(point)), expected);
  }
}

// Kinds 26 and 33 store the centre before the source.
TEST_F(PointsBTest, TheFirstStoredPositionOfKinds26And33IsTheCentre) {
  for (int32_t kind : {26, 33}) {
    SCOPED_TRACE(kind);
    SampleRefs refs;
    DesignArchiveWriter w = Design(162, refs);
    const std::string base = w.PointBase(1, 0);
    // Centre points[3], source points[2]; kind 33 without direction points.
    ArchiveBytes body;
    body.Raw(base);
    if (kind == 26) body.Double(-90.0);
    body.I32(refs.points[3]).I32(refs.points[2]);
    if (kind == 33) body.I32(-1).I32(-1);
    const int sample = w.AddObject(1, kind, body.Bytes());
    const auto data = LoadWhole(Finish(w));
    const CGradedObject* centre = data->GetElementAt(refs.points[3]);
    const CGradedObject* source = data->GetElementAt(refs.points[2]);
    if (kind == 26) {
      const auto* point = dynamic_cast<const CRotatedPoint*>(data->GetElementAt(sample));
      EXPECT_EQ(point->GetCentre(), centre);
      EXPECT_EQ(point->GetSourcePoint(), source);
      EXPECT_EQ(point->GetAngle(), -90.0);
      EXPECT_TRUE(point->IsCentre(centre));
      EXPECT_FALSE(point->IsCentre(source));
      EXPECT_FALSE(point->IsCentre(nullptr));
    } else {
      const auto* point = dynamic_cast<const CDirectionRotatedPoint*>(data->GetElementAt(sample));
      EXPECT_EQ(point->GetCentre(), centre);
      EXPECT_EQ(point->GetSourcePoint(), source);
      EXPECT_EQ(point->GetFromDirectionPoint(), nullptr);
    }
  }
}

TEST_F(PointsBTest, MirrorLineAxisAndLineMembershipAnswerForTheirOwnFieldsOnly) {
  struct Case {
    int32_t kind;
    std::function<BOOL(const CGradedObject*, const CGradedObject*)> ask;
  };
  // The sample points name points[0] and points[1] as mirror line (kind 13),
  // points[0] as axis point (27) and lines[0] as their line (28 to 31).
  const Case kCases[] = {
      {13, [](const CGradedObject* p, const CGradedObject* o) {
         return dynamic_cast<const CLineMirrorPoint*>(p)->IsMirrorLinePoint(o);
       }},
      {27, [](const CGradedObject* p, const CGradedObject* o) {
         return dynamic_cast<const CAxisMirrorPoint*>(p)->IsAxisPoint(o);
       }},
      {28, [](const CGradedObject* p, const CGradedObject* o) {
         return dynamic_cast<const CPerpendicularLinePoint*>(p)->UsesLine(o);
       }},
      {29, [](const CGradedObject* p, const CGradedObject* o) {
         return dynamic_cast<const CAngleLineBase*>(p)->UsesLine(o);
       }},
      {30, [](const CGradedObject* p, const CGradedObject* o) {
         return dynamic_cast<const CAngleLineBase*>(p)->UsesLine(o);
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    SampleRefs refs;
    DesignArchiveWriter w = Design(162, refs);
    ExpectedReferences expected;
    const int sample = AddSampleBPoint(w, c.kind, refs, expected);
    const auto data = LoadWhole(Finish(w));
    std::vector<int> yes;
    if (c.kind == 13) yes = {refs.points[0], refs.points[1]};
    if (c.kind == 27) yes = {refs.points[0]};
    if (c.kind >= 28) yes = {refs.lines[0]};
    const CGradedObject* point = data->GetElementAt(sample);
    for (int32_t i = 0; i < data->GetElementCount(); ++i) {
      const bool listed = std::find(yes.begin(), yes.end(), i) != yes.end();
      EXPECT_EQ(c.ask(point, data->GetElementAt(i)), listed ? TRUE : FALSE) << "object " << i;
    }
    EXPECT_FALSE(c.ask(point, nullptr));
  }
}

// A copy is a point of the design in its own right when its source is: the
// copy of a curve's vertex point is not, nor a copy of that copy.
TEST_F(PointsBTest, ACopyIsARealPointExactlyWhenItsSourceIs) {
  for (int32_t kind : kCopyKinds) {
    SCOPED_TRACE(kind);
    SampleRefs refs;
    DesignArchiveWriter w = Design(162, refs, /*vertexFirst=*/true);
    // A sample copy of `kind` with its source field set to `source`.
    auto copyOf = [&](int source) {
      ExpectedReferences expected;
      SampleBPointBody(std::string(), kind, refs, expected);  // expected[0]: the source the sample names
      SampleRefs r = refs;
      for (int& p : r.points) {
        if (p == expected[0]) p = source;
      }
      return AddSampleBPoint(w, kind, r, expected);
    };
    const int ofVertex = copyOf(refs.points[0]);
    const int ofFree = copyOf(refs.points[1]);
    const int ofCopyOfVertex = copyOf(ofVertex);
    const int ofNothing = copyOf(-1);
    const auto data = LoadWhole(Finish(w));
    auto real = [&](int position) {
      return dynamic_cast<const CGradedPoint*>(data->GetElementAt(position))->IsRealPoint();
    };
    EXPECT_FALSE(real(ofVertex));
    EXPECT_TRUE(real(ofFree));
    EXPECT_FALSE(real(ofCopyOfVertex));
    EXPECT_TRUE(real(ofNothing));
  }
}

TEST_F(PointsBTest, CopiesThatAreEachOthersSourceEndTheirAnswer) {
  // Only a damaged file makes such a cycle; the answer must still come.
  SampleRefs refs;
  DesignArchiveWriter w = Design(162, refs);
  // The two copies come right after the fixture's objects.
  const int firstAt = refs.lines[1] + 1;
  const int secondAt = firstAt + 1;
  const int first = w.AddObject(1, 14, w.PointBase(1, 0) + ArchiveBytes().I32(secondAt).I32(refs.points[0]).Bytes());
  const int second =
      w.AddObject(1, 26, w.PointBase(1, 0) + ArchiveBytes().Double(0.0).I32(refs.points[0]).I32(first).Bytes());
  ASSERT_EQ(first, firstAt);
  ASSERT_EQ(second, secondAt);
  const auto data = LoadWhole(Finish(w));
  ASSERT_EQ(dynamic_cast<const CPointMirrorPoint*>(data->GetElementAt(first))->GetSourcePoint(),
            data->GetElementAt(second));
  for (int position : {first, second}) {
    EXPECT_TRUE(dynamic_cast<const CGradedPoint*>(data->GetElementAt(position))->IsRealPoint());
  }
}

TEST_F(PointsBTest, DistancePointsKeepTheirFormulaAngleAndLabels) {
  for (int32_t kind : {15, 16, 17, 18}) {
    SCOPED_TRACE(kind);
    ExpectedReferences expected;
    int sample = -1;
    const auto data = LoadSample(104, kind, expected, sample);
    const CGradedObject* object = data->GetElementAt(sample);
    const CFormula* distance = nullptr;
    const CDimLabel* distanceLabel = nullptr;
    const CDimLabel* angleLabel = nullptr;
    double angle = 0.0;
    if (const auto* polar = dynamic_cast<const CPolarPoint*>(object)) {
      distance = &polar->GetDistance();
      angle = polar->GetAngle();
      distanceLabel = &polar->GetDistanceLabel();
      angleLabel = &polar->GetAngleLabel();
    } else {
      const auto* point = dynamic_cast<const CDirectionDistancePoint*>(object);
      ASSERT_NE(point, nullptr);
      distance = &point->GetDistance();
      angle = point->GetAngle();
      distanceLabel = &point->GetDistanceLabel();
      angleLabel = &point->GetAngleLabel();
    }
    EXPECT_EQ(distance->GetConstant(), kind == 18 ? -120 : 250);
    EXPECT_EQ(distance->GetOwner(), data.get());
    EXPECT_EQ(angle, kind == 18 ? 45.0 : 30.0);
    EXPECT_EQ(distanceLabel->GetMode(), kLabelModeLinear);
    EXPECT_EQ(distanceLabel->GetOffsetDistance(), -250);
    EXPECT_EQ(distanceLabel->IsVisible(), 1);
    EXPECT_EQ(angleLabel->GetMode(), kLabelModeAngle);
    EXPECT_EQ(angleLabel->GetOffsetDistance(), 300);
    EXPECT_EQ(angleLabel->IsVisible(), 0);
    for (const CDimLabel* label : {distanceLabel, angleLabel}) {
      EXPECT_EQ(label->GetLabelledObject(), object);
      EXPECT_EQ(label->GetOwner(), data.get());
    }
  }
}

TEST_F(PointsBTest, AngleLinePointsKeepTheirAngleAndFixedAxesOverrideAnyHeldAngle) {
  ExpectedReferences expected;
  int sample = -1;
  const auto data = LoadSample(103, 29, expected, sample);
  const auto* angled = dynamic_cast<const CAngleLinePoint*>(data->GetElementAt(sample));
  ASSERT_NE(angled, nullptr);
  EXPECT_EQ(angled->GetAngle(), 60.0);
  EXPECT_EQ(angled->GetAngleLabel().GetMode(), kLabelModeAngle);
  EXPECT_EQ(angled->GetAngleLabel().GetOffsetDistance(), 300);
  EXPECT_EQ(angled->GetAngleLabel().GetLabelledObject(), angled);

  struct Case {
    int32_t kind;
    double angle;
  };
  for (const Case& c : {Case{30, 90.0}, Case{31, 0.0}}) {
    SCOPED_TRACE(c.kind);
    CPatternData owner;
    owner.SetVersion(162);
    std::unique_ptr<CGradedObject> made = GetPointKindFactory().Create(c.kind, &owner);
    auto* point = dynamic_cast<CAngleLineBase*>(made.get());
    ASSERT_NE(point, nullptr);
    point->SetAngle(12.5);
    const std::string body = design_fixture::AxisLinePointBody(DesignArchiveWriter(162).PointBase(1, 0), 0, 1);
    ArchiveReader archive{std::string_view(body)};
    ASSERT_TRUE(point->Load(archive));
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_EQ(point->GetAngle(), c.angle);
  }
}

// ---- Made for the loader ---------------------------------------------------------

TEST_F(PointsBTest, LoaderConstructorsBindLabelsAndFormulasAndSetNoReference) {
  CPatternData owner;
  owner.SetVersion(162);
  owner.SetScale(kScale);
  owner.InsertSize(0, CString("M"), 0, 1);
  struct Case {
    int32_t kind;
    size_t references;
  };
  const Case kCases[] = {{13, 3}, {14, 2}, {26, 2}, {27, 4}, {33, 4}, {34, 5}, {15, 1},
                         {16, 1}, {17, 1}, {18, 3}, {28, 4}, {29, 2}, {30, 2}, {31, 2}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kind);
    std::unique_ptr<CGradedObject> made = GetPointKindFactory().Create(c.kind, &owner);
    auto* point = dynamic_cast<CGradedPoint*>(made.get());
    ASSERT_NE(point, nullptr);
    EXPECT_TRUE(IsOfKindClass(c.kind, point));
    EXPECT_EQ(point->GetSubtype(), c.kind);
    EXPECT_EQ(point->GetState(), 0);
    EXPECT_EQ(point->GetStatus(), 0);
    EXPECT_TRUE(point->IsRealPoint());
    CGradedObjectList references;
    ASSERT_TRUE(point->GetReferences(references));
    EXPECT_EQ(references, CGradedObjectList(c.references, nullptr));
  }

  std::vector<std::pair<const CDimLabel*, int32_t>> labels;
  CPolarPoint16 polar(&owner, 0);
  CDirectionDistancePoint direction(&owner, 0);
  CAngleLinePoint angled(&owner, 0);
  labels.emplace_back(&polar.GetDistanceLabel(), kLabelModeLinear);
  labels.emplace_back(&polar.GetAngleLabel(), kLabelModeAngle);
  labels.emplace_back(&direction.GetDistanceLabel(), kLabelModeLinear);
  labels.emplace_back(&direction.GetAngleLabel(), kLabelModeAngle);
  labels.emplace_back(&angled.GetAngleLabel(), kLabelModeAngle);
  const CGradedObject* labelled[] = {&polar, &polar, &direction, &direction, &angled};
  for (size_t i = 0; i < labels.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(labels[i].first->GetMode(), labels[i].second);
    EXPECT_EQ(labels[i].first->GetLabelledObject(), labelled[i]);
    EXPECT_EQ(labels[i].first->GetOffsetDistance(), 10 * kScale);
    EXPECT_EQ(labels[i].first->IsVisible(), 0);
  }
  EXPECT_EQ(polar.GetDistance().GetOwner(), &owner);
  EXPECT_EQ(direction.GetDistance().GetOwner(), &owner);

  // A moved point's labels and formula follow it to the new owner.
  CPatternData other;
  polar.SetOwner(&other);
  EXPECT_EQ(polar.GetDistance().GetOwner(), &other);
  EXPECT_EQ(polar.GetDistanceLabel().GetOwner(), &other);
  EXPECT_EQ(polar.GetAngleLabel().GetOwner(), &other);
}

TEST_F(PointsBTest, NewAnglesMakeEverySizeDirty) {
  CPatternData owner;
  owner.SetVersion(162);
  owner.InsertSize(0, CString("M"), 0, 1);
  owner.InsertSize(1, CString("L"), 0, 1);
  CRotatedPoint rotated(&owner, 0);
  CVerticalLinePoint vertical(&owner, 0);
  for (CGradedPoint* point : std::initializer_list<CGradedPoint*>{&rotated, &vertical}) {
    point->ClearDirty(0);
    point->ClearDirty(1);
  }
  rotated.SetAngle(45.0);
  vertical.SetAngle(-30.0);
  EXPECT_EQ(rotated.GetAngle(), 45.0);
  EXPECT_EQ(vertical.GetAngle(), -30.0);
  for (const CGradedPoint* point : std::initializer_list<const CGradedPoint*>{&rotated, &vertical}) {
    EXPECT_TRUE(point->IsDirty(0));
    EXPECT_TRUE(point->IsDirty(1));
  }
}

}  // namespace
