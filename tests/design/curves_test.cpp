// The curves (curve kinds 1 to 8): their records across the version gates,
// the bytes each reads, where the stored fields land (ends, full flag,
// attributes, the fixes of missing positions), the references they report
// and the uses the loader's clean-up counts from them, references of the
// wrong kind, hostile counts and designs cut short.
#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/curves/arc_curves.h"
#include "design/curves/circle_curves.h"
#include "design/curves/graded_curve.h"
#include "design/curves/polyline_curves.h"
#include "design/curves/spline_curves.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/curves_records.h"

namespace {

using namespace design_fixture;
using design_test::Finish;

const int32_t kAllKinds[] = {1, 2, 3, 4, 5, 6, 7, 8};

// Positions of the objects that Design() writes.
constexpr int kLine0 = 4;
constexpr int kLine1 = 5;
constexpr int kFirstFree = 6;  // the first position after them

class CurvesTest : public ::testing::Test {
 protected:
  CurvesTest() {
    DesignTables::Registered();
    objects_.Register(kObjectKindLine, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
      return std::make_unique<design_test::StandInLine>(owner);
    });
  }

  // The registered points and curves, with the stand-in line.
  DesignTables Tables() const {
    return DesignTables{objects_, GetPointKindFactory(), GetCurveKindFactory(), GetElementFactory()};
  }

  // A design of two sizes with four free points (0 to 3) and two lines (4,
  // 5) to refer to.
  static DesignArchiveWriter Design(int32_t version, int32_t mode = 0) {
    DesignArchiveWriter w(version);
    w.header().mode = mode;
    w.header().scale = design_test::kDesignScale;
    w.AddSize({"M", 0, 0});
    w.AddSize({"L", 0, 0});
    w.SetBaseSize(0);
    for (int i = 0; i < 4; ++i) w.AddFreePoint(100 * i, 10 * i);
    design_test::AddStandInLine(w, 0, 1);
    design_test::AddStandInLine(w, 2, 3);
    return w;
  }
  static SampleRefs Refs() {
    SampleRefs refs;
    for (int i = 0; i < 4; ++i) refs.points[i] = i;
    refs.lines[0] = kLine0;
    refs.lines[1] = kLine1;
    return refs;
  }

  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, Tables());
  }
  // Loads `w` whole; `curve` is the curve at `at`.
  std::unique_ptr<CPatternData> LoadCurve(DesignArchiveWriter& w, int at, const CGradedCurve** curve) const {
    auto data = LoadWhole(Finish(w));
    *curve = dynamic_cast<const CGradedCurve*>(data->GetElementAt(at));
    EXPECT_NE(*curve, nullptr);
    return data;
  }

  ObjectKindFactory objects_;
};

CGradedObjectList At(const CPatternData& data, const std::vector<int>& positions) {
  CGradedObjectList objects;
  for (int p : positions) objects.push_back(data.GetElementAt(p));
  return objects;
}

// ---- Bytes each record reads ------------------------------------------------------

struct RecordBytesCase {
  int32_t kind;
  int32_t version;
  size_t bytes;
};

// A sample body of `kind` as `version` stores it, with three defining points.
std::string ThreePointBody(int32_t kind, int32_t version) {
  const DesignArchiveWriter w(version);
  switch (kind) {
    case kThreePointArcKind:
    case kThreePointCircleKind:
      return ThreePointCurveFields{{}, {0, 1, 2}, -1, 0, 2}.Body(w);
    case kCenterArcKind:
      return CenterArcFields{{}, 0, 1, 2, 1, -1, 1, 2}.Body(w);
    case kCenterCircleKind:
      return CenterCircleFields{{}, 0, 1, -1, 1, 1}.Body(w);
    default: {
      PointListCurveFields f;
      f.points = {0, 1, 2};
      f.start = 0;
      f.end = 2;
      return f.Body(w, kind);
    }
  }
}

TEST_F(CurvesTest, EachRecordReadsExactlyItsBytesAtEachVersion) {
  const RecordBytesCase kCases[] = {
      {1, 103, 32}, {1, 104, 34}, {1, 108, 34}, {1, 109, 38}, {1, 113, 38}, {1, 114, 42},
      {5, 113, 38}, {6, 113, 38}, {3, 113, 34}, {3, 114, 38}, {4, 113, 34}, {4, 114, 38},
      {7, 113, 38}, {8, 113, 30},
  };
  for (const RecordBytesCase& c : kCases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " version " << c.version);
    const std::string body = ThreePointBody(c.kind, c.version);
    EXPECT_EQ(body.size(), c.bytes);
    CPatternData data;
    data.SetVersion(c.version);
    std::unique_ptr<CGradedObject> curve = GetCurveKindFactory().Create(c.kind, &data);
    ASSERT_NE(curve, nullptr);
    ArchiveReader archive{std::string_view(body)};
    ASSERT_TRUE(curve->Load(archive));
    EXPECT_EQ(archive.Position(), c.bytes);
    // One byte less is a record cut short.
    for (size_t n = 0; n < body.size(); ++n) {
      std::unique_ptr<CGradedObject> cut = GetCurveKindFactory().Create(c.kind, &data);
      ArchiveReader shorter{std::string_view(body).substr(0, n)};
      EXPECT_FALSE(cut->Load(shorter)) << n << " bytes";
    }
  }
}

// ---- Samples of every kind ---------------------------------------------------------

class SampleCurves : public CurvesTest, public ::testing::WithParamInterface<std::tuple<int32_t, int32_t>> {};

TEST_P(SampleCurves, LoadWholeAndReportTheirPointsButNeverTheLink) {
  const auto [kind, version] = GetParam();
  DesignArchiveWriter w = Design(version);
  ExpectedReferences expected;
  const int at = AddSampleCurve(w, kind, Refs(), expected);
  ASSERT_GE(at, 0);
  const CGradedCurve* curve = nullptr;
  const auto data = LoadCurve(w, at, &curve);
  ASSERT_NE(curve, nullptr);

  EXPECT_EQ(curve->GetKind(), kObjectKindCurve);
  EXPECT_EQ(curve->GetSubtype(), kind);
  EXPECT_EQ(curve->IsClosed() != 0, kind % 2 == 0);
  EXPECT_EQ(curve->GetState(), 1);
  EXPECT_TRUE(curve->IsFull());
  EXPECT_EQ(curve->GetSizeListCount(), 2);

  CGradedObjectList references;
  ASSERT_TRUE(curve->GetReferences(references));
  EXPECT_EQ(references, At(*data, expected));
  // The ends are among the defining points: RefersTo answers for exactly
  // the listed points, and the clean-up counts the same.
  design_test::ExpectRefersExactlyTo(*data, *curve, expected);
  CGradedObjectList used;
  curve->GetUsedObjects(used);
  for (const CGradedObject* object : used) EXPECT_TRUE(curve->RefersTo(object));

  const CGradedObject* line = data->GetElementAt(kLine0);
  EXPECT_TRUE(curve->HasLink());
  EXPECT_EQ(curve->GetLink(), line);
  EXPECT_TRUE(curve->IsLinkedTo(line));
  EXPECT_FALSE(curve->IsLinkedTo(data->GetElementAt(kLine1)));
  EXPECT_FALSE(curve->RefersTo(line));
  EXPECT_TRUE(data->IsLinkTarget(line));
}

INSTANTIATE_TEST_SUITE_P(KindsAndVersions, SampleCurves,
                         ::testing::Combine(::testing::ValuesIn(kAllKinds), ::testing::Values(109, 113, 114, 162)));
INSTANTIATE_TEST_SUITE_P(OldSplines, SampleCurves,
                         ::testing::Combine(::testing::Values(1), ::testing::Values(102, 103, 104, 108)));

TEST_F(CurvesTest, DefiningPointsEndsAndDirectionOfEachKind) {
  DesignArchiveWriter w = Design(114);
  const int spline = AddCurve(w, 1, PointListCurveFields{{}, {3, 1, 2}, false, 0, -1, 3, 2}.Body(w, 1));
  const int arc = AddCurve(w, 3, ThreePointCurveFields{{}, {0, 1, 2}, -1, 0, 2}.Body(w));
  const int centreArc = AddCurve(w, 7, CenterArcFields{{}, 0, 1, 2, 0, -1, 1, 2}.Body(w));
  const int circle = AddCurve(w, 8, CenterCircleFields{{}, 0, 1, -1, 1, 1}.Body(w));
  const auto data = LoadWhole(Finish(w));

  const auto* s = dynamic_cast<const CSplineCurve*>(data->GetElementAt(spline));
  ASSERT_NE(s, nullptr);
  CGradedObjectList refs;
  s->GetDefiningRefs(refs);
  EXPECT_EQ(refs, At(*data, {3, 1, 2}));
  CGradedPoint* first = nullptr;
  CGradedPoint* last = nullptr;
  s->GetFirstLastRefs(first, last);
  EXPECT_EQ(first, data->GetElementAt(3));
  EXPECT_EQ(last, data->GetElementAt(2));

  const auto* a = dynamic_cast<const CThreePointArc*>(data->GetElementAt(arc));
  ASSERT_NE(a, nullptr);
  CGradedPoint *p1 = nullptr, *p2 = nullptr, *p3 = nullptr, *start = nullptr, *end = nullptr;
  a->GetRefs(p1, p2, p3, start, end);
  EXPECT_EQ(CGradedObjectList({p1, p2, p3, start, end}), At(*data, {0, 1, 2, 0, 2}));

  const auto* c = dynamic_cast<const CCenterArc*>(data->GetElementAt(centreArc));
  ASSERT_NE(c, nullptr);
  int32_t direction = -1;
  c->GetRefs(p1, p2, p3, direction, start, end);
  EXPECT_EQ(CGradedObjectList({p1, p2, p3, start, end}), At(*data, {0, 1, 2, 1, 2}));
  EXPECT_EQ(direction, 0);
  c->GetDefiningRefs(refs);
  EXPECT_EQ(refs, At(*data, {1, 2}));  // not the centre

  const auto* k = dynamic_cast<const CCenterCircle*>(data->GetElementAt(circle));
  ASSERT_NE(k, nullptr);
  k->GetDefiningRefs(refs);
  EXPECT_EQ(refs, At(*data, {1}));
  EXPECT_EQ(k->GetCentre(), data->GetElementAt(0));
  k->GetFirstLastRefs(first, last);
  EXPECT_EQ(first, data->GetElementAt(1));
  EXPECT_EQ(last, data->GetElementAt(1));
}

// ---- Where the stored fields land -----------------------------------------------------

struct FieldsCase {
  const char* name;
  int32_t version;
  int32_t mode;
  int32_t kind;
  std::vector<int32_t> points;
  int32_t start;
  int32_t end;
  // What the curve holds.
  std::vector<int32_t> storedRefs;
  int32_t storedStart;
  int32_t storedEnd;
  bool full;
  int32_t attribute1;
  int32_t attribute2;
};

TEST_F(CurvesTest, StoredFieldsLandByTheRulesOfEachKind) {
  const FieldsCase kCases[] = {
      {"v108 spline: first and last as ends", 108, 0, 1, {0, 1, 2}, 2, 1, {0, 1, 2}, 0, 2, true, 0, 1},
      {"v113 spline: stored ends kept", 113, 0, 1, {0, 1, 2}, 1, 2, {0, 1, 2}, 1, 2, false, 7, 1},
      {"v114 spline: reversed ends are full", 114, 0, 1, {0, 1, 2}, 2, 0, {0, 1, 2}, 2, 0, true, 7, 9},
      {"mode 2 spline ignores stored ends", 114, 2, 1, {0, 1, 2}, 1, 2, {0, 1, 2}, 0, 2, true, 7, 9},
      {"mode 2 closed spline starts at its first", 114, 2, 2, {0, 1, 2}, 1, 2, {0, 1, 2}, 0, 0, true, 7, 9},
      {"closed spline is full only at its first", 114, 0, 2, {0, 1, 2}, 0, 2, {0, 1, 2}, 0, 2, false, 7, 9},
      {"kind 5 fills missing positions and ends", 113, 0, 5, {-1, 2, -1, 3}, -1, -1, {0, 2, 2, 3}, 0, 3, true, 7, 1},
      {"kind 5 with no points ends at 0", 113, 0, 5, {}, -1, -5, {}, 0, 0, true, 7, 1},
      {"kind 5 mode 2 ignores stored ends", 114, 2, 5, {1, 2, 3}, 2, 2, {1, 2, 3}, 1, 3, true, 7, 9},
      {"kind 6 keeps what it reads", 113, 0, 6, {-1, 2, -1}, -1, -1, {-1, 2, -1}, -1, -1, true, 7, 1},
      {"kind 6 mode 2 starts at its first", 114, 2, 6, {1, 2, 3}, 3, 2, {1, 2, 3}, 1, 1, true, 7, 9},
  };
  for (const FieldsCase& c : kCases) {
    SCOPED_TRACE(c.name);
    DesignArchiveWriter w = Design(c.version, c.mode);
    PointListCurveFields f;
    f.head.attribute1 = 7;
    f.head.attribute2 = 9;
    f.points = c.points;
    f.start = c.start;
    f.end = c.end;
    const int at = AddCurve(w, c.kind, f.Body(w, c.kind));
    const CGradedCurve* curve = nullptr;
    const auto data = LoadCurve(w, at, &curve);
    ASSERT_NE(curve, nullptr);
    const auto* list = dynamic_cast<const CPointListCurve<CGradedOpenCurve>*>(curve);
    const auto* closedList = dynamic_cast<const CPointListCurve<CGradedClosedCurve>*>(curve);
    ASSERT_TRUE(list || closedList);
    EXPECT_EQ(list ? list->GetStoredRefs() : closedList->GetStoredRefs(), c.storedRefs);
    EXPECT_EQ(curve->GetStoredStartIndex(), c.storedStart);
    EXPECT_EQ(curve->GetStoredEndIndex(), c.storedEnd);
    EXPECT_EQ(curve->IsFull() != 0, c.full);
    EXPECT_EQ(curve->GetAttribute1(), c.attribute1);
    EXPECT_EQ(curve->GetAttribute2(), c.attribute2);
    EXPECT_EQ(curve->GetStart(), data->GetElementAt(c.storedStart));
    EXPECT_EQ(curve->GetEnd(), data->GetElementAt(c.storedEnd));
    // Missing positions resolve to no point.
    CGradedObjectList references;
    curve->GetReferences(references);
    ASSERT_EQ(references.size(), c.storedRefs.size());
    for (size_t i = 0; i < references.size(); ++i) {
      EXPECT_EQ(references[i], data->GetElementAt(c.storedRefs[i])) << "point " << i;
    }
  }
}

TEST_F(CurvesTest, ArcsAndCirclesAreFullByTheirOwnEnds) {
  struct Case {
    int32_t kind;
    int32_t start;
    int32_t end;
    bool full;
  };
  // Three-point kinds on 0, 1, 2; the centre arc from 1 to 2; the centre
  // circle through 1.
  const Case kCases[] = {
      {3, 0, 2, true},  {3, 2, 0, true},  {3, 0, 1, false}, {4, 0, 0, true},  {4, 0, 2, false},
      {4, 2, 0, false}, {7, 1, 2, true},  {7, 2, 1, true},  {7, 0, 2, false}, {8, 1, 1, true},
      {8, 0, 1, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " ends " << c.start << ", " << c.end);
    DesignArchiveWriter w = Design(113);
    std::string body;
    if (c.kind == 7) {
      body = CenterArcFields{{}, 0, 1, 2, 1, -1, c.start, c.end}.Body(w);
    } else if (c.kind == 8) {
      body = CenterCircleFields{{}, 0, 1, -1, c.start, c.end}.Body(w);
    } else {
      body = ThreePointCurveFields{{}, {0, 1, 2}, -1, c.start, c.end}.Body(w);
    }
    const int at = AddCurve(w, c.kind, body);
    const CGradedCurve* curve = nullptr;
    const auto data = LoadCurve(w, at, &curve);
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->IsFull() != 0, c.full);
    EXPECT_EQ(curve->GetAttribute2(), 1);  // not stored before 114
  }
}

// ---- The order of the stored definition ------------------------------------------

TEST_F(CurvesTest, StoredOrderQueriesAreSafeOnAnEmptyDefinition) {
  CPatternData data;
  const std::unique_ptr<CGradedObject> kinds[] = {std::make_unique<CSplineCurve>(&data, 0, 0, 1),
                                                  std::make_unique<CClosedPolylineCurve>(&data, 0, 0, 1),
                                                  std::make_unique<CThreePointArc>(&data, 0, 0, 1)};
  for (const auto& object : kinds) {
    const auto& curve = dynamic_cast<const CGradedCurve&>(*object);
    EXPECT_FALSE(curve.IsFirstStoredRef(0));
    EXPECT_FALSE(curve.IsFirstStoredRef(-1));
    EXPECT_TRUE(curve.IsStoredRefBefore(0, 1));
    EXPECT_TRUE(curve.IsStoredRefBefore(1, 0));
    CGradedPoint* first = nullptr;
    CGradedPoint* last = nullptr;
    curve.GetFirstLastRefs(first, last);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(last, nullptr);
  }
  // A curve whose record is cut short keeps an empty definition.
  data.SetVersion(114);
  CSplineCurve cut(&data, 0, 0, 1);
  const std::string body = ArchiveBytes().U32(1).U16(0).I32(0).I32(0).I32(2).I32(5).Bytes();
  ArchiveReader archive{std::string_view(body)};
  EXPECT_FALSE(cut.Load(archive));
  EXPECT_TRUE(cut.GetStoredRefs().empty());
  EXPECT_FALSE(cut.IsFirstStoredRef(5));
}

TEST_F(CurvesTest, StoredOrderQueriesWalkTheStoredPositions) {
  DesignArchiveWriter w = Design(114);
  const int at = AddCurve(w, 5, PointListCurveFields{{}, {3, 1, 2}, false, 0, -1, 3, 2}.Body(w, 5));
  const CGradedCurve* curve = nullptr;
  const auto data = LoadCurve(w, at, &curve);
  ASSERT_NE(curve, nullptr);
  EXPECT_TRUE(curve->IsFirstStoredRef(3));
  EXPECT_FALSE(curve->IsFirstStoredRef(1));
  EXPECT_TRUE(curve->IsStoredRefBefore(1, 2));
  EXPECT_FALSE(curve->IsStoredRefBefore(2, 1));
  EXPECT_TRUE(curve->IsStoredRefBefore(1, 7));
  EXPECT_FALSE(curve->IsStoredRefBefore(7, 1));
  EXPECT_TRUE(curve->IsStoredRefBefore(7, 8));
}

// ---- References and the clean-up -----------------------------------------------------

TEST_F(CurvesTest, HiddenPointsThatOnlyAnEndOrTheLinkNamesSurviveTheCleanUp) {
  for (int32_t kind : kAllKinds) {
    SCOPED_TRACE(kind);
    DesignArchiveWriter w = Design(114);
    FreePointFields hidden;
    hidden.state = 0;
    const int endOnly = w.AddFreePoint(hidden);    // 6
    const int unused = w.AddFreePoint(hidden);     // 7
    const int linkOnly = w.AddFreePoint(hidden);   // 8
    ASSERT_EQ(endOnly, kFirstFree);
    std::string body;
    switch (kind) {
      case 3:
      case 4:
        body = ThreePointCurveFields{{}, {0, 1, 2}, linkOnly, endOnly, 2}.Body(w);
        break;
      case 7:
        body = CenterArcFields{{}, 0, 1, 2, 1, linkOnly, endOnly, 2}.Body(w);
        break;
      case 8:
        body = CenterCircleFields{{}, 0, 1, linkOnly, endOnly, 1}.Body(w);
        break;
      default:
        body = PointListCurveFields{{}, {0, 1, 2}, false, 0, linkOnly, endOnly, 2}.Body(w, kind);
    }
    AddCurve(w, kind, body);
    const auto data = LoadWhole(Finish(w));
    // The unused hidden point went; the curve moved down one place.
    ASSERT_EQ(data->GetElementCount(), 9);
    const CGradedObject* endPoint = data->GetElementAt(endOnly);
    const CGradedObject* linkPoint = data->GetElementAt(unused);  // now at 7
    const auto* curve = dynamic_cast<const CGradedCurve*>(data->GetElementAt(8));
    ASSERT_NE(curve, nullptr);
    ASSERT_NE(endPoint, nullptr);
    EXPECT_EQ(endPoint->GetState(), 0);
    EXPECT_EQ(curve->GetStart(), endPoint);
    EXPECT_TRUE(curve->RefersTo(endPoint));
    EXPECT_EQ(curve->GetLink(), linkPoint);
    EXPECT_EQ(linkPoint->GetState(), 0);
    EXPECT_FALSE(curve->RefersTo(linkPoint));
    // GetReferences lists neither.
    CGradedObjectList references;
    curve->GetReferences(references);
    EXPECT_EQ(std::count(references.begin(), references.end(), endPoint), 0);
    EXPECT_EQ(std::count(references.begin(), references.end(), linkPoint), 0);
  }
}

TEST_F(CurvesTest, PointFieldsNamingOtherKindsResolveToNoneWhileTheLinkTakesAny) {
  DesignArchiveWriter w = Design(114);
  // A first curve for the second to name in its point fields.
  const int firstCurve = AddCurve(w, 1, PointListCurveFields{{}, {0, 1}, false, 0, -1, 0, 1}.Body(w, 1));
  const int spline =
      AddCurve(w, 1, PointListCurveFields{{}, {0, kLine0, firstCurve, 99}, false, 0, firstCurve, kLine1, 0}.Body(w, 1));
  const int arc = AddCurve(w, 7, CenterArcFields{{}, firstCurve, kLine0, 1, 1, kLine0, 1, kLine1}.Body(w));
  const auto data = LoadWhole(Finish(w));
  const CGradedObject* other = data->GetElementAt(firstCurve);

  const auto* s = dynamic_cast<const CSplineCurve*>(data->GetElementAt(spline));
  ASSERT_NE(s, nullptr);
  CGradedObjectList references;
  s->GetReferences(references);
  EXPECT_EQ(references, CGradedObjectList({data->GetElementAt(0), nullptr, nullptr, nullptr}));
  EXPECT_EQ(s->GetStart(), nullptr);
  EXPECT_EQ(s->GetLink(), other);
  EXPECT_FALSE(s->RefersTo(other));
  EXPECT_FALSE(s->RefersTo(data->GetElementAt(kLine0)));

  const auto* c = dynamic_cast<const CCenterArc*>(data->GetElementAt(arc));
  ASSERT_NE(c, nullptr);
  c->GetReferences(references);
  EXPECT_EQ(references, CGradedObjectList({nullptr, nullptr, data->GetElementAt(1)}));
  EXPECT_EQ(c->GetEnd(), nullptr);
  EXPECT_EQ(c->GetLink(), data->GetElementAt(kLine0));
  design_test::ExpectRefersExactlyTo(*data, *c, {1});
}

// ---- Hostile and short input ---------------------------------------------------------

TEST_F(CurvesTest, PointCountsBeyondTheBytesLeftFailAtOnceAndNegativeOnesReadNothing) {
  for (int32_t kind : {1, 2, 5, 6}) {
    SCOPED_TRACE(kind);
    DesignArchiveWriter hostile = Design(114);
    PointListCurveFields f;
    f.use_count = true;
    f.count = INT32_MAX;
    AddCurve(hostile, kind, f.Body(hostile, kind));
    const std::string bytes = Finish(hostile);
    const design_test::LoadedDesign loaded = design_test::LoadDesign(bytes, Tables());
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.data->GetLoadFailure().fault, DesignLoadFault::kMalformed);
    EXPECT_NE(loaded.data->GetLoadFailure().reason.find("graded object 6"), std::string::npos);

    DesignArchiveWriter negative = Design(114);
    f.count = -3;
    const int at = AddCurve(negative, kind, f.Body(negative, kind));
    const CGradedCurve* curve = nullptr;
    const auto data = LoadCurve(negative, at, &curve);
    ASSERT_NE(curve, nullptr);
    CGradedObjectList references;
    curve->GetReferences(references);
    EXPECT_TRUE(references.empty());
  }
}

TEST_F(CurvesTest, EveryPrefixOfADesignWithEveryKindFailsWithoutALeak) {
  for (int32_t version : {103, 114}) {
    SCOPED_TRACE(version);
    DesignArchiveWriter w = Design(version);
    ExpectedReferences expected;
    for (int32_t kind : kAllKinds) {
      if (version < kSplineAttribute1Version && kind != 1) continue;  // no curve kind stored
      AddSampleCurve(w, kind, Refs(), expected);
    }
    const std::string whole = Finish(w);
    LoadWhole(whole);
    design_test::ExpectEveryPrefixFails(whole, Tables());
  }
}

// ---- Sizes ------------------------------------------------------------------------------

TEST_F(CurvesTest, PerSizeListsFollowTheSizeTable) {
  DesignArchiveWriter w = Design(114);
  ExpectedReferences expected;
  const int at = AddSampleCurve(w, 1, Refs(), expected);
  const auto data = LoadWhole(Finish(w));
  auto* curve = dynamic_cast<CGradedCurve*>(data->GetElementAt(at));
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetSizeListCount(), 2);
  EXPECT_FALSE(curve->IsPartDirty(0));
  curve->RemoveSize(-1);
  curve->RemoveSize(2);
  EXPECT_EQ(curve->GetSizeListCount(), 2);
  curve->InsertSize(0);
  EXPECT_EQ(curve->GetSizeListCount(), 3);
  EXPECT_TRUE(curve->IsPartDirty(0));
  EXPECT_FALSE(curve->IsPartDirty(1));
  EXPECT_FALSE(curve->IsPartDirty(3));
  curve->InsertSize(4);
  EXPECT_EQ(curve->GetSizeListCount(), 3);
  curve->RemoveSize(0);
  EXPECT_EQ(curve->GetSizeListCount(), 2);
}

}  // namespace
