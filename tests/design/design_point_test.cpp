// The point base (kind code, compute-all flag, per-size positions, the part
// every point record starts with) and the free points (kinds 1 and 20): their
// records across the data versions and modes, short records, per-size
// positions of mode-2 designs, and their place in the point-kind table.
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/points/free_point.h"
#include "design/points/graded_point.h"
#include "design/points/point_kinds.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::DesignArchiveWriter;
using design_fixture::FreePointFields;
using design_fixture::SizeFields;

constexpr int kSizeCount = 3;
constexpr int kBaseSize = 1;

// A design of `version` and `mode` with `sizes` sizes and base size 1 (or 0
// with one size).
void SetUpDesign(CPatternData& data, int32_t version, int32_t mode, int sizes = kSizeCount) {
  data.SetVersion(version);
  data.SetMode(mode);
  for (int i = 0; i < sizes; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
  data.SetBaseSize(sizes > kBaseSize ? kBaseSize : 0);
}

// The record of one free point as the test-side writer lays it out in a file
// of the writer's version and mode: the file with the point, less the file
// without it, less the words in front of the record (the two leading words
// from version 150 on, the object kind and the point kind).
std::string FreePointRecord(int32_t version, int32_t mode, int sizes, const FreePointFields& given) {
  auto makeWriter = [&](bool withPoint) {
    DesignArchiveWriter writer(version);
    writer.header().mode = mode;
    for (int i = 0; i < sizes; ++i) writer.AddSize(SizeFields{"S" + std::to_string(i)});
    if (withPoint) writer.AddFreePoint(given);
    return writer.Bytes();
  };
  const std::string without = makeWriter(false);
  const std::string with = makeWriter(true);
  // The first byte that differs is the object count's low byte (0 against 1).
  size_t countAt = 0;
  while (countAt < without.size() && without[countAt] == with[countAt]) ++countAt;
  const size_t recordLength = with.size() - without.size();
  std::string record = with.substr(countAt + 4, recordLength);
  const size_t lead = (version >= design_fixture::kStoredPieces ? 8 : 0) + 8;
  return record.substr(lead);
}

std::vector<int> DirtyFlags(const CGradedObject& object) {
  std::vector<int> flags;
  for (int i = 0; i < object.GetDirtyCount(); ++i) flags.push_back(object.IsDirty(i));
  return flags;
}

std::vector<CPoint> SizePoints(const CGradedPoint& point) {
  std::vector<CPoint> points;
  for (int i = 0; i < point.GetSizePointCount(); ++i) {
    CPoint p;
    EXPECT_TRUE(point.GetSizePoint(i, &p));
    points.push_back(p);
  }
  return points;
}

// A point kind with one point reference, to reach the kind-checked lookup.
class ReferencePoint : public CGradedPoint {
 public:
  explicit ReferencePoint(CPatternData* owner) : CGradedPoint(2, owner, 0) {}
  CGradedPoint* Resolve(int32_t position) const { return ResolvePointRef(position); }
};

TEST(GradedPoint, NewPointIsHiddenComputesEverySizeAndHoldsOnePositionPerSize) {
  CPatternData data;
  SetUpDesign(data, 162, 0);
  CFreePoint point(&data, 9, 40, -7);
  EXPECT_EQ(point.GetKind(), kObjectKindPoint);
  EXPECT_EQ(point.GetSubtype(), kPointKindFree);
  EXPECT_EQ(point.GetState(), 0);
  EXPECT_EQ(point.GetStatus(), 9);
  EXPECT_EQ(point.GetComputeAll(), 1);
  EXPECT_EQ(point.GetStoredPoint(), CPoint(40, -7));
  EXPECT_EQ(DirtyFlags(point), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(SizePoints(point), std::vector<CPoint>(3, CPoint()));
  EXPECT_TRUE(point.IsRealPoint());

  CFreeVertexPoint vertex(&data, 0, CPoint(1, 2));
  EXPECT_EQ(vertex.GetSubtype(), kPointKindFreeVertex);
  EXPECT_EQ(vertex.GetStoredPoint(), CPoint(1, 2));
  EXPECT_FALSE(vertex.IsRealPoint());

  CFreePoint ownerless(nullptr, 0);
  EXPECT_EQ(ownerless.GetSizePointCount(), 0);
  ArchiveReader archive(std::string_view("\1\0\0\0\0\0\0\0\0\0\0\0\0\0", 14));
  EXPECT_FALSE(ownerless.Load(archive));  // no owner, no data version to read by
}

TEST(GradedPoint, SizePointsAndComputeAllChangeNoDirtyFlag) {
  CPatternData data;
  SetUpDesign(data, 162, 0);
  CFreePoint point(&data, 0, 5, 5);
  point.ClearDirty(0);
  point.SetComputeAll(0);
  EXPECT_EQ(point.GetComputeAll(), 0);
  point.SetSizePoint(0, 11, 12);
  point.SetSizePoint(2, -3, 4);
  point.SetSizePoint(3, 99, 99);   // outside the sizes: ignored
  point.SetSizePoint(-1, 99, 99);
  EXPECT_EQ(SizePoints(point), (std::vector<CPoint>{{11, 12}, {0, 0}, {-3, 4}}));
  EXPECT_EQ(DirtyFlags(point), (std::vector<int>{0, 1, 1}));
  CPoint untouched(7, 7);
  EXPECT_FALSE(point.GetSizePoint(3, &untouched));
  EXPECT_EQ(untouched, CPoint(7, 7));

  // A new coordinate makes every size dirty.
  point.ClearDirty(1);
  point.SetPoint(8, 9);
  EXPECT_EQ(point.GetStoredPoint(), CPoint(8, 9));
  EXPECT_EQ(DirtyFlags(point), (std::vector<int>{1, 1, 1}));
}

TEST(GradedPoint, InsertedSizeCarriesStoredGradingOnOrStartsAtOrigin) {
  struct Case {
    int computeAll;
    int index;
    CPoint added;
  };
  const Case kCases[] = {
      {0, 0, {80, 6}},     // below the first size: extrapolated
      {0, 2, {140, 18}},   // above the last size: extrapolated
      {0, 1, {120, 14}},   // in between: a copy of the size at the index
      {1, 0, {0, 0}},      // every size computed: nothing to carry on
      {1, 2, {0, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "compute-all " << c.computeAll << " index " << c.index);
    CPatternData data;
    SetUpDesign(data, 162, 2, 2);
    CFreePoint point(&data, 0);
    point.SetComputeAll(c.computeAll);
    point.SetSizePoint(0, 100, 10);
    point.SetSizePoint(1, 120, 14);
    point.ClearDirty(0);
    point.ClearDirty(1);
    point.InsertSize(c.index);
    std::vector<CPoint> expected{{100, 10}, {120, 14}};
    expected.insert(expected.begin() + c.index, c.added);
    EXPECT_EQ(SizePoints(point), expected);
    std::vector<int> flags{0, 0};
    flags.insert(flags.begin() + c.index, 1);
    EXPECT_EQ(DirtyFlags(point), flags);
  }
}

TEST(GradedPoint, ExtrapolationSaturatesAndOnePositionExtrapolatesToItself) {
  CPatternData data;
  SetUpDesign(data, 162, 2, 2);
  CFreePoint point(&data, 0);
  point.SetComputeAll(0);
  point.SetSizePoint(0, INT_MIN + 5, INT_MAX - 5);
  point.SetSizePoint(1, 100, -100);
  point.InsertSize(0);
  CPoint first;
  ASSERT_TRUE(point.GetSizePoint(0, &first));
  EXPECT_EQ(first, CPoint(INT_MIN, INT_MAX));

  CPatternData single;
  SetUpDesign(single, 162, 2, 1);
  CFreePoint lone(&single, 0);
  lone.SetComputeAll(0);
  lone.SetSizePoint(0, 30, 40);
  lone.InsertSize(1);
  EXPECT_EQ(SizePoints(lone), (std::vector<CPoint>{{30, 40}, {30, 40}}));
}

TEST(GradedPoint, RemovedSizeTakesItsPositionAndFlagAlong) {
  CPatternData data;
  SetUpDesign(data, 162, 2);
  CFreePoint point(&data, 0);
  for (int i = 0; i < kSizeCount; ++i) point.SetSizePoint(i, i, 10 * i);
  point.ClearDirty(0);
  point.RemoveSize(0);
  EXPECT_EQ(SizePoints(point), (std::vector<CPoint>{{1, 10}, {2, 20}}));
  EXPECT_EQ(DirtyFlags(point), (std::vector<int>{1, 1}));
  point.RemoveSize(2);
  point.RemoveSize(-1);
  EXPECT_EQ(point.GetSizePointCount(), 2);
  EXPECT_EQ(point.GetDirtyCount(), 2);
  point.InsertSize(5);  // outside the table: neither a flag nor a position
  EXPECT_EQ(point.GetSizePointCount(), 2);
  EXPECT_EQ(point.GetDirtyCount(), 2);
}

TEST(GradedPoint, BaseLoadReadsNothingAndFails) {
  CPatternData data;
  SetUpDesign(data, 162, 0);
  ReferencePoint point(&data);
  const std::string bytes(16, '\1');
  ArchiveReader archive{std::string_view(bytes)};
  EXPECT_FALSE(point.Load(archive));
  EXPECT_EQ(archive.Position(), 0u);
}

TEST(GradedPoint, PointReferenceResolvesOnlyToPoints) {
  CPatternData data;
  SetUpDesign(data, 162, 0);
  data.AddElement(std::make_unique<CFreePoint>(&data, 0, 1, 1));
  data.AddElement(std::make_unique<CGradedObject>(kObjectKindLine, &data, 0));
  ReferencePoint point(&data);
  EXPECT_EQ(point.Resolve(0), data.GetElementAt(0));
  EXPECT_EQ(point.Resolve(1), nullptr);   // a two-point line where a point belongs
  EXPECT_EQ(point.Resolve(2), nullptr);   // past the list
  EXPECT_EQ(point.Resolve(-1), nullptr);
  EXPECT_EQ(point.Resolve(INT_MIN), nullptr);
}

// The record of a free point across the version gates of the status word and
// the per-size block, and the design's mode.
TEST(FreePointLoad, ReadsTheFieldsEachVersionAndModeStores) {
  struct Case {
    int32_t version;
    int32_t mode;
    uint32_t computeAll;
    bool statusStored;
    bool perSizeStored;
  };
  const Case kCases[] = {
      {103, 0, 1, false, false},  // before the status word
      {103, 2, 0, false, false},
      {104, 0, 1, true, false},
      {109, 2, 0, true, false},   // mode 2, but before the per-size block
      {110, 0, 0, true, false},   // the per-size block needs mode 2
      {110, 1, 0, true, false},
      {110, 2, 1, true, false},   // flag stored, every size computed
      {110, 2, 0, true, true},
      {149, 2, 0, true, true},
      {162, 2, 0, true, true},
      {162, 2, 1, true, false},
      {163, 2, 0, true, true},
  };
  const std::vector<CPoint> stored{{10, 20}, {-30, 40}, {50, -60}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << " mode " << c.mode << " compute-all "
                                    << c.computeAll);
    FreePointFields given;
    given.x = 1234;
    given.y = -5678;
    given.state = 1;
    given.status = 13;
    given.compute_all = c.computeAll;
    for (const CPoint& p : stored) given.per_size.emplace_back(p.x, p.y);
    const std::string record = FreePointRecord(c.version, c.mode, kSizeCount, given);

    // The writer and the record layout agree on the length.
    size_t length = 4 + (c.statusStored ? 2 : 0) + 8;
    if (c.version >= 110 && c.mode == 2) length += 4 + (c.computeAll == 0 ? 8 * kSizeCount : 0);
    ASSERT_EQ(record.size(), length);

    CPatternData data;
    SetUpDesign(data, c.version, c.mode);
    CFreePoint point(&data, 0);
    ArchiveReader archive{std::string_view(record)};
    ASSERT_TRUE(point.Load(archive));
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_EQ(point.GetState(), 1);
    EXPECT_EQ(point.GetStatus(), c.statusStored ? 13 : 0);
    EXPECT_EQ(point.GetStoredPoint(), CPoint(1234, -5678));
    if (c.perSizeStored) {
      EXPECT_EQ(point.GetComputeAll(), 0);
      EXPECT_EQ(SizePoints(point), stored);
      // Every stored size is clean, the base size too: its stored position
      // stands until it is invalidated.
      EXPECT_EQ(DirtyFlags(point), (std::vector<int>{0, 0, 0}));
    } else {
      EXPECT_EQ(point.GetComputeAll(), 1);
      EXPECT_EQ(SizePoints(point), std::vector<CPoint>(kSizeCount, CPoint()));
      EXPECT_EQ(DirtyFlags(point), (std::vector<int>{1, 1, 1}));
    }
  }
}

TEST(FreePointLoad, VertexPointHasTheSameRecord) {
  FreePointFields given;
  given.x = 7;
  given.y = 8;
  given.point_kind = kPointKindFreeVertex;
  given.compute_all = 0;
  given.per_size = {{1, 2}, {3, 4}, {5, 6}};
  const std::string record = FreePointRecord(120, 2, kSizeCount, given);
  CPatternData data;
  SetUpDesign(data, 120, 2);
  CFreeVertexPoint point(&data, 0);
  ArchiveReader archive{std::string_view(record)};
  ASSERT_TRUE(point.Load(archive));
  EXPECT_EQ(archive.Remaining(), 0u);
  EXPECT_EQ(point.GetStoredPoint(), CPoint(7, 8));
  EXPECT_EQ(SizePoints(point), (std::vector<CPoint>{{1, 2}, {3, 4}, {5, 6}}));
}

TEST(FreePointLoad, NonZeroComputeAllIsKeptAsStoredAndReadsNoPositions) {
  // Any value other than 0 computes every size; the point keeps the value.
  FreePointFields given;
  given.compute_all = 5;
  const std::string record = FreePointRecord(130, 2, kSizeCount, given);
  CPatternData data;
  SetUpDesign(data, 130, 2);
  CFreePoint point(&data, 0);
  ArchiveReader archive{std::string_view(record)};
  ASSERT_TRUE(point.Load(archive));
  EXPECT_EQ(archive.Remaining(), 0u);
  EXPECT_EQ(point.GetComputeAll(), 5);
  EXPECT_EQ(DirtyFlags(point), (std::vector<int>{1, 1, 1}));
}

// Every cut of a record fails and leaves the point as it was built.
TEST(FreePointLoad, EveryShortRecordFailsAndLeavesThePointUntouched) {
  struct Case {
    int32_t version;
    int32_t mode;
    uint32_t computeAll;
  };
  const Case kCases[] = {{103, 0, 1}, {109, 2, 0}, {110, 2, 1}, {110, 2, 0}, {162, 2, 0}};
  for (const Case& c : kCases) {
    FreePointFields given;
    given.x = 1;
    given.y = 2;
    given.status = 4;
    given.compute_all = c.computeAll;
    given.per_size = {{9, 9}, {8, 8}, {7, 7}};
    const std::string record = FreePointRecord(c.version, c.mode, kSizeCount, given);
    for (size_t cut = 0; cut < record.size(); ++cut) {
      SCOPED_TRACE(testing::Message() << "version " << c.version << " compute-all " << c.computeAll
                                      << " cut at " << cut);
      CPatternData data;
      SetUpDesign(data, c.version, c.mode);
      CFreePoint point(&data, 3, 50, 60);
      ArchiveReader archive{std::string_view(record.data(), cut)};
      EXPECT_FALSE(point.Load(archive));
      EXPECT_EQ(point.GetState(), 0);
      EXPECT_EQ(point.GetStatus(), 3);
      EXPECT_EQ(point.GetStoredPoint(), CPoint(50, 60));
      EXPECT_EQ(point.GetComputeAll(), 1);
      EXPECT_EQ(SizePoints(point), std::vector<CPoint>(kSizeCount, CPoint()));
      EXPECT_EQ(DirtyFlags(point), (std::vector<int>{1, 1, 1}));
    }
  }
}

TEST(FreePointLoad, PerSizeBlockLargerThanTheBytesLeftIsRefusedBeforeReading) {
  // A design of 1000 sizes whose point record carries only two positions.
  ArchiveBytes record;
  record.U32(1).U16(0).Point(0, 0).U32(0).Point(1, 1).Point(2, 2);
  CPatternData data;
  SetUpDesign(data, 162, 2, 1000);
  CFreePoint point(&data, 0);
  ArchiveReader archive{std::string_view(record.Bytes())};
  EXPECT_FALSE(point.Load(archive));
  EXPECT_EQ(point.GetComputeAll(), 1);
  EXPECT_EQ(point.GetSizePointCount(), 1000);
}

TEST(FreePointLoad, PerSizeBlockOfADesignWithoutSizesIsEmpty) {
  ArchiveBytes record;
  record.U32(1).U16(0).Point(3, 4).U32(0);
  CPatternData data;
  SetUpDesign(data, 162, 2, 0);
  CFreePoint point(&data, 0);
  ArchiveReader archive{std::string_view(record.Bytes())};
  ASSERT_TRUE(point.Load(archive));
  EXPECT_EQ(point.GetComputeAll(), 0);
  EXPECT_EQ(point.GetSizePointCount(), 0);
}

TEST(FreePoint, RefersToNothingAndResolvesNothing) {
  CPatternData data;
  SetUpDesign(data, 162, 0);
  CGradedObject* other = data.AddElement(std::make_unique<CFreePoint>(&data, 0, 1, 1));
  CFreePoint point(&data, 0, 2, 2);
  EXPECT_FALSE(point.RefersTo(other));
  EXPECT_FALSE(point.RefersTo(&point));
  EXPECT_FALSE(point.RefersTo(nullptr));
  CGradedObjectList references{other};
  EXPECT_FALSE(point.GetReferences(references));
  EXPECT_EQ(references.size(), 1u);
  point.ResolveIds();
  EXPECT_EQ(point.GetStoredPoint(), CPoint(2, 2));
  EXPECT_FALSE(point.DependsOn(other));
}

TEST(PointKindFactory, MakesFreePointsByPointKindAndNothingForUnknownKinds) {
  RegisterPointKinds();
  RegisterPointKinds();  // a second call changes nothing
  CPatternData data;
  SetUpDesign(data, 162, 0);
  struct Case {
    int32_t kind;
    bool real;
  };
  for (const Case& c : {Case{kPointKindFree, true}, Case{kPointKindFreeVertex, false}}) {
    SCOPED_TRACE(c.kind);
    std::unique_ptr<CGradedObject> made = GetPointKindFactory().Create(c.kind, &data);
    ASSERT_NE(made, nullptr);
    auto* point = dynamic_cast<CFreePointBase*>(made.get());
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetSubtype(), c.kind);
    EXPECT_EQ(point->GetKind(), kObjectKindPoint);
    EXPECT_EQ(point->GetOwner(), &data);
    EXPECT_EQ(point->GetStatus(), 0);
    EXPECT_EQ(point->GetState(), 0);
    EXPECT_EQ(point->GetSizePointCount(), kSizeCount);
    EXPECT_EQ(point->IsRealPoint(), c.real);
  }
  EXPECT_NE(dynamic_cast<CFreePoint*>(GetPointKindFactory().Create(kPointKindFree, &data).get()), nullptr);
  EXPECT_NE(dynamic_cast<CFreeVertexPoint*>(GetPointKindFactory().Create(kPointKindFreeVertex, &data).get()),
            nullptr);
  for (int32_t unknown : {48, 0, -1, INT_MAX}) {
    SCOPED_TRACE(unknown);
    EXPECT_EQ(GetPointKindFactory().Create(unknown, &data), nullptr);
  }
}

}  // namespace
