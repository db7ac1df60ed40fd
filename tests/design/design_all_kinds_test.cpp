// One design that holds a point of every kind, two-point lines, curves and a
// text, written at the data versions where point records change: each loads
// to its last byte, every point lists its references in field order, and
// RefersTo agrees with that list (the loader's clean-up counts users from
// it). Then the clean-up with the real kinds.
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
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/sample_points.h"

namespace {

using design_fixture::ArchiveFont;
using design_fixture::DesignArchiveWriter;
using design_fixture::ExpectedReferences;
using design_fixture::FreePointFields;
using design_fixture::SampleRefs;
using design_test::AddStandInCurve;
using design_test::AddStandInLine;
using design_test::Finish;
using design_test::LoadedDesign;

// Two-point lines and curves have no classes yet: the stand-ins of the test
// support read their through and defining points.
class AllKindsTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearStyle(); }

  LoadedDesign Load(const std::string& bytes) const { return design_test::LoadDesign(bytes, tables_.Tables()); }

  design_test::StandInTables tables_;
};

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
  refs.lines[0] = AddStandInLine(w, refs.points[0], refs.points[1]);
  refs.lines[1] = AddStandInLine(w, refs.points[2], refs.points[3]);
  refs.curves[0] = AddStandInCurve(w, {refs.points[0], refs.points[1], refs.points[2]});
  refs.curves[1] = AddStandInCurve(w, {refs.points[2], refs.points[3]});
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
    fixture.positionOfKind[kind] = design_fixture::AddSamplePoint(w, kind, refs, fixture.expected[kind]);
  }
  fixture.bytes = Finish(w);
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
  LoadedDesign loaded = Load(fixture.bytes);
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
    const std::vector<int> positions = design_test::Positions(data, references);
    // The free vertex point and the linked point (whose link is no
    // reference) keep no reference fields: they list nothing.
    const ExpectedReferences& expected = fixture.expected.at(kind);
    EXPECT_EQ(listed, !expected.empty());
    if (listed) {
      EXPECT_EQ(positions, expected);
    }
    // RefersTo answers exactly for the non-null objects listed.
    design_test::ExpectRefersExactlyTo(data, *point, positions);
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
    design_test::ExpectEveryPrefixFails(EveryKind(version).bytes, tables_.Tables());
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
  LoadedDesign loaded = Load(Finish(w));
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
    refs.curves[0] = AddStandInCurve(w, {first, second});
    ExpectedReferences expected;
    const int ratio = design_fixture::AddSampleDPoint(w, 5, refs, expected);
    LoadedDesign loaded = Load(Finish(w));
    ASSERT_TRUE(loaded.ok) << loaded.data->GetLoadFailure().reason;
    const auto* point = dynamic_cast<const CCurveRatioPoint*>(loaded.data->GetElementAt(ratio));
    ASSERT_NE(point, nullptr);
    // From 109 on the sample's stored direction, 0, is kept.
    EXPECT_EQ(point->GetDirection(), c.direction);
  }
}

}  // namespace
