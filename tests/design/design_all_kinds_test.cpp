// One design that holds a point of every kind, two-point lines, curves and a
// text, written at the data versions where point records change: each loads
// to its last byte, every point lists its references in field order, and
// RefersTo agrees with that list (the loader's clean-up counts users from
// it). Then the clean-up with the real kinds.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/points/graded_point.h"
#include "design/points/ratio_points.h"
#include "model/style.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/points_a_records.h"
#include "tests/design_writer/points_b_records.h"
#include "tests/design_writer/points_c_records.h"
#include "tests/design_writer/points_d_records.h"

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::ArchiveFont;
using design_fixture::DesignArchiveWriter;
using design_fixture::ExpectedReferences;
using design_fixture::FreePointFields;
using design_fixture::PatternRecordFields;
using design_fixture::SampleRefs;

// Two-point lines and curves have no classes yet: these stand in for them,
// a line reading its two end positions and a curve its defining points.
class EndsLine : public CGradedObject {
 public:
  explicit EndsLine(CPatternData* owner) : CGradedObject(kObjectKindLine, owner, 0) {}
  BOOL Load(ArchiveReader& archive) override { return archive.ReadI32(m_Ids[0]) && archive.ReadI32(m_Ids[1]); }
  void ResolveIds() override {
    for (int i = 0; i < 2; ++i) m_Ends[i] = GetOwner()->GetElementAt(m_Ids[i]);
  }
  BOOL GetReferences(CGradedObjectList& references) const override {
    references.assign({m_Ends[0], m_Ends[1]});
    return TRUE;
  }
  BOOL RefersTo(const CGradedObject* object) const override {
    return object && (object == m_Ends[0] || object == m_Ends[1]);
  }

 private:
  int32_t m_Ids[2] = {-1, -1};
  CGradedObject* m_Ends[2] = {};
};

class DefinedCurve : public CGradedObject {
 public:
  explicit DefinedCurve(CPatternData* owner) : CGradedObject(kObjectKindCurve, owner, 0) {}
  BOOL Load(ArchiveReader& archive) override {
    int32_t count = 0;
    if (!archive.ReadI32(count) || !archive.CheckCount(count, 4)) return FALSE;
    m_Ids.assign(static_cast<size_t>(std::max(count, 0)), -1);
    for (int32_t& id : m_Ids) archive.ReadI32(id);
    return !archive.Failed();
  }
  void ResolveIds() override {
    m_Points.clear();
    for (int32_t id : m_Ids) m_Points.push_back(GetOwner()->GetElementAt(id));
  }
  BOOL GetReferences(CGradedObjectList& references) const override {
    references = m_Points;
    return TRUE;
  }
  BOOL RefersTo(const CGradedObject* object) const override {
    return object && std::find(m_Points.begin(), m_Points.end(), object) != m_Points.end();
  }

 private:
  std::vector<int32_t> m_Ids;
  CGradedObjectList m_Points;
};

class AllKindsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DesignTables::Registered();
    objects_.Register(kObjectKindLine, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
      return std::make_unique<EndsLine>(owner);
    });
    objects_.Register(kObjectKindText, [](CPatternData* owner) {
      return GetObjectKindFactory().Create(kObjectKindText, owner);
    });
    curves_.Register(1, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
      return std::make_unique<DefinedCurve>(owner);
    });
  }
  void TearDown() override { ClearStyle(); }

  DesignTables Tables() const {
    return DesignTables{objects_, GetPointKindFactory(), curves_, GetElementFactory()};
  }

  struct Loaded {
    std::unique_ptr<CPatternData> data = std::make_unique<CPatternData>();
    bool ok = false;
    size_t remaining = 0;
  };
  Loaded Load(const std::string& bytes) const {
    Loaded loaded;
    ArchiveReader archive{std::string_view(bytes)};
    loaded.ok = loaded.data->Load(archive, Tables()) != 0;
    loaded.remaining = archive.Remaining();
    return loaded;
  }

  ObjectKindFactory objects_;
  CurveKindFactory curves_;
};

// Appends a sample point of `kind` from the group that writes it.
int AddSample(DesignArchiveWriter& w, int32_t kind, const SampleRefs& refs, ExpectedReferences& expected) {
  switch (kind) {
    case 2: case 9: case 10: case 11: case 12: case 19: case 21: case 22: case 23: case 24: case 25:
      return design_fixture::AddSampleAPoint(w, kind, refs, expected);
    case 13: case 14: case 15: case 16: case 17: case 18: case 26: case 27: case 28: case 29: case 30:
    case 31: case 33: case 34:
      return design_fixture::AddSampleBPoint(w, kind, refs, expected);
    case 32: case 37: case 38: case 39: case 40: case 41: case 42: case 43: case 44: case 45: case 46:
    case 47:
      return design_fixture::AddSampleCPoint(w, kind, refs, expected);
    default:
      return design_fixture::AddSampleDPoint(w, kind, refs, expected);
  }
}

struct Fixture {
  std::string bytes;
  std::map<int32_t, int> positionOfKind;  // the sample of each point kind
  std::map<int32_t, ExpectedReferences> expected;
};

// Free points, two lines, two curves and a text, then a sample of every
// point kind 2 to 47 (20 is the free vertex point), and the record "END".
Fixture EveryKind(int32_t version, int32_t mode = 0, uint32_t computeAll = 1) {
  DesignArchiveWriter w(version);
  w.header().mode = mode;
  w.header().scale = 40;
  w.AddSize({"M", 0, 0});
  w.AddSize({"L", 0, 0});
  w.SetBaseSize(0);
  SampleRefs refs;
  for (int i = 0; i < 4; ++i) {
    FreePointFields p;
    p.x = 100 * i;
    p.y = 10 * i;
    p.compute_all = computeAll;
    p.per_size = {{100 * i, 10 * i}, {110 * i, 11 * i}};
    refs.points[i] = w.AddFreePoint(p);
  }
  refs.lines[0] = w.AddObject(2, 0, ArchiveBytes().I32(refs.points[0]).I32(refs.points[1]).Bytes());
  refs.lines[1] = w.AddObject(2, 0, ArchiveBytes().I32(refs.points[2]).I32(refs.points[3]).Bytes());
  refs.curves[0] =
      w.AddObject(4, 1, ArchiveBytes().I32(3).I32(refs.points[0]).I32(refs.points[1]).I32(refs.points[2]).Bytes());
  refs.curves[1] = w.AddObject(4, 1, ArchiveBytes().I32(2).I32(refs.points[2]).I32(refs.points[3]).Bytes());
  ArchiveFont font;
  font.face = "Song";
  refs.text = w.AddText(5, 5, "T", font);

  Fixture fixture;
  for (int32_t kind = 2; kind <= 47; ++kind) {
    if (kind == 20) {
      FreePointFields p;
      p.point_kind = 20;
      p.compute_all = computeAll;
      fixture.positionOfKind[kind] = w.AddFreePoint(p);
      fixture.expected[kind] = {};
      continue;
    }
    fixture.positionOfKind[kind] = AddSample(w, kind, refs, fixture.expected[kind]);
  }
  PatternRecordFields end;
  end.name = "END";
  w.AddRecord(end);
  fixture.bytes = w.Bytes();
  return fixture;
}

struct VersionCase {
  int32_t version;
  int32_t mode;
  uint32_t computeAll;
};

class EveryKindAtVersion : public AllKindsTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(EveryKindAtVersion, LoadsWholeAndListsReferencesInFieldOrder) {
  const VersionCase c = GetParam();
  const Fixture fixture = EveryKind(c.version, c.mode, c.computeAll);
  Loaded loaded = Load(fixture.bytes);
  ASSERT_TRUE(loaded.ok) << loaded.data->GetLoadFailure().reason;
  EXPECT_EQ(loaded.remaining, 0u);
  const CPatternData& data = *loaded.data;
  ASSERT_EQ(data.GetPieceCount(), 1);
  EXPECT_EQ(data.GetPieceAt(0)->GetPieceName(), CString("END"));

  for (const auto& [kind, position] : fixture.positionOfKind) {
    SCOPED_TRACE(kind);
    const auto* point = dynamic_cast<const CGradedPoint*>(data.GetElementAt(position));
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetSubtype(), kind);
    CGradedObjectList references;
    const bool listed = point->GetReferences(references) != 0;
    std::vector<int> positions;
    for (const CGradedObject* reference : references) positions.push_back(data.GetElementIndex(reference));
    // The free vertex point and the linked point (whose link is no
    // reference) keep no reference fields: they list nothing.
    const ExpectedReferences& expected = fixture.expected.at(kind);
    EXPECT_EQ(listed, !expected.empty());
    if (listed) EXPECT_EQ(positions, expected);
    // RefersTo answers exactly for the non-null objects listed.
    for (int32_t i = 0; i < data.GetElementCount(); ++i) {
      const CGradedObject* other = data.GetElementAt(i);
      const bool inList = std::find(references.begin(), references.end(), other) != references.end();
      EXPECT_EQ(point->RefersTo(other) != 0, inList) << "object " << i;
    }
    EXPECT_FALSE(point->RefersTo(nullptr));
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, EveryKindAtVersion,
                         ::testing::Values(VersionCase{100, 0, 1}, VersionCase{101, 0, 1}, VersionCase{103, 0, 1},
                                           VersionCase{104, 0, 1}, VersionCase{108, 0, 1}, VersionCase{109, 0, 1},
                                           VersionCase{110, 2, 0}, VersionCase{110, 2, 1}, VersionCase{118, 0, 1},
                                           VersionCase{150, 0, 1}, VersionCase{162, 0, 1}));

TEST_F(AllKindsTest, EveryPrefixOfTheDesignOfEveryKindFailsWithoutALeak) {
  for (int32_t version : {103, 104, 162}) {
    SCOPED_TRACE(version);
    const std::string whole = EveryKind(version).bytes;
    for (size_t n = 0; n < whole.size(); ++n) {
      Loaded loaded = Load(whole.substr(0, n));
      ASSERT_FALSE(loaded.ok) << n;
    }
  }
}

// The clean-up after loading with the real kinds: a hidden point that a shown
// unplaced reference point (kind 23) uses stays; one used only by a hidden
// point removed before it goes.
TEST_F(AllKindsTest, UnusedHiddenPointsGoAndUsedOnesStay) {
  DesignArchiveWriter w(162);
  w.AddSize({"M", 0, 0});
  w.SetBaseSize(0);
  FreePointFields hidden;
  hidden.state = 0;
  hidden.x = 1;
  const int usedByShown = w.AddFreePoint(hidden);
  SampleRefs byShown;
  for (int& p : byShown.points) p = usedByShown;
  byShown.text = usedByShown;
  ExpectedReferences ignored;
  const int shown23 = design_fixture::AddSampleAPoint(w, 23, byShown, ignored);

  // A hidden mirror point (kind 14) of a hidden point after it: the walk
  // removes the mirror point first, then its source has no user left.
  SampleRefs bySource;
  bySource.state = 0;
  for (int& p : bySource.points) p = shown23 + 2;  // the source, added next
  design_fixture::AddSampleBPoint(w, 14, bySource, ignored);
  hidden.x = 2;
  EXPECT_EQ(w.AddFreePoint(hidden), shown23 + 2);
  PatternRecordFields end;
  end.name = "END";
  w.AddRecord(end);
  Loaded loaded = Load(w.Bytes());
  ASSERT_TRUE(loaded.ok) << loaded.data->GetLoadFailure().reason;
  std::vector<int32_t> kinds;
  for (int32_t i = 0; i < loaded.data->GetElementCount(); ++i) {
    kinds.push_back(static_cast<const CGradedPoint*>(loaded.data->GetElementAt(i))->GetSubtype());
  }
  EXPECT_EQ(kinds, (std::vector<int32_t>{1, 23}));
}

// Files below version 109 store no direction for the points along curves:
// the loader takes it from the order of the curve's defining points.
TEST_F(AllKindsTest, BelowVersion109TheLoaderTakesTheDirectionFromTheCurve) {
  struct Case {
    int32_t version;
    bool reversed;  // the curve defined from the second point to the first
    int32_t direction;
  };
  for (const Case& c : {Case{108, false, 1}, Case{108, true, 0}, Case{109, true, 0}, Case{109, false, 0}}) {
    SCOPED_TRACE(testing::Message() << c.version << (c.reversed ? " reversed" : ""));
    DesignArchiveWriter w(c.version);
    w.AddSize({"M", 0, 0});
    w.SetBaseSize(0);
    SampleRefs refs;
    refs.points[0] = w.AddFreePoint(0, 0);
    refs.points[1] = w.AddFreePoint(100, 0);
    const int first = c.reversed ? refs.points[1] : refs.points[0];
    const int second = c.reversed ? refs.points[0] : refs.points[1];
    refs.curves[0] = w.AddObject(4, 1, ArchiveBytes().I32(2).I32(first).I32(second).Bytes());
    ExpectedReferences expected;
    const int ratio = design_fixture::AddSampleDPoint(w, 5, refs, expected);
    PatternRecordFields end;
    end.name = "END";
    w.AddRecord(end);
    Loaded loaded = Load(w.Bytes());
    ASSERT_TRUE(loaded.ok) << loaded.data->GetLoadFailure().reason;
    const auto* point = dynamic_cast<const CCurveRatioPoint*>(loaded.data->GetElementAt(ratio));
    ASSERT_NE(point, nullptr);
    // From 109 on the sample's stored direction, 0, is kept.
    EXPECT_EQ(point->GetDirection(), c.direction);
  }
}

}  // namespace
