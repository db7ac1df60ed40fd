// The piece measure: its defaults, its archive record before and after the
// display fields joined it, cut short at every byte, and the resolution of
// its stored references by kind.
#include <climits>
#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/piece_measure.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::DesignArchiveWriter;
using design_fixture::MeasureFields;

// The bytes of one measure as the writer lays it out at `version`: the file
// with the measure, less the same file without it. After the measures come
// the object count, the record count and, from version 150 on, the empty
// stored pieces (a scale, five empty names, two zero counts).
std::string MeasureBytes(int32_t version, const MeasureFields& measure) {
  DesignArchiveWriter without(version);
  DesignArchiveWriter with(version);
  with.AddMeasure(measure);
  const std::string a = with.Bytes();
  const std::string b = without.Bytes();
  const size_t after = 4 + 4 + (version >= 150 ? 4 + 5 + 8 : 0);
  return a.substr(b.size() - after, a.size() - b.size());
}

// A design of scale 20 whose objects are, by position: a point, a line, a
// curve and a point.
struct Design {
  explicit Design(int32_t version) {
    data.SetVersion(version);
    data.SetScale(20);
    point0 = data.AddElement(std::make_unique<CGradedObject>(kObjectKindPoint, &data, 0));
    line1 = data.AddElement(std::make_unique<CGradedObject>(kObjectKindLine, &data, 0));
    curve2 = data.AddElement(std::make_unique<CGradedObject>(kObjectKindCurve, &data, 0));
    point3 = data.AddElement(std::make_unique<CGradedObject>(kObjectKindPoint, &data, 0));
  }
  CPatternData data;
  CGradedObject* point0;
  CGradedObject* line1;
  CGradedObject* curve2;
  CGradedObject* point3;
};

BOOL LoadMeasure(CPieceMeasure& measure, const std::string& bytes) {
  ArchiveReader archive{std::string_view(bytes)};
  return measure.Load(archive);
}

struct Refs {
  CGradedObject* r[3] = {};
};
Refs RefsOf(const CPieceMeasure& m) {
  Refs refs;
  m.GetRefs(&refs.r[0], &refs.r[1], &refs.r[2]);
  return refs;
}

TEST(PieceMeasure, DefaultsFollowTheOwnersScale) {
  Design design(162);
  CPieceMeasure measure(&design.data);
  int32_t mode = 0, offset = 0;
  CPoint label(1, 1);
  measure.GetDisplay(&mode, &offset, &label);
  EXPECT_EQ(mode, 4);
  EXPECT_EQ(offset, 200);  // 10 mm at 20 units per millimetre
  EXPECT_EQ(label, CPoint(0, 0));
  EXPECT_EQ(measure.IsValid(), 1);
  EXPECT_TRUE(measure.IsLayoutDirty());
  EXPECT_EQ(measure.GetOwner(), &design.data);
  EXPECT_EQ(RefsOf(measure).r[0], nullptr);

  CPieceMeasure full(&design.data, 2, design.point0, design.point3, design.curve2, "Armhole");
  EXPECT_EQ(full.GetKind(), 2);
  EXPECT_EQ(full.GetName().str(), "Armhole");
  EXPECT_EQ(RefsOf(full).r[2], design.curve2);
  EXPECT_EQ(full.GetTextMode(), 4);

  // A scale from a hostile file does not overflow the default offset.
  design.data.SetScale(INT32_MAX);
  EXPECT_EQ(CPieceMeasure(&design.data).GetTextMode(), 4);
  int32_t big = 0;
  CPieceMeasure(&design.data).GetDisplay(nullptr, &big, nullptr);
  EXPECT_EQ(big, INT32_MAX);
  design.data.SetScale(INT32_MIN);
  CPieceMeasure(&design.data).GetDisplay(nullptr, &big, nullptr);
  EXPECT_EQ(big, INT32_MIN);
}

TEST(PieceMeasure, LoadsItsRecordAtEachVersion) {
  MeasureFields given;
  given.name = "Waist";
  given.kind = 2;
  given.refs[0] = 0;
  given.refs[1] = 3;
  given.refs[2] = 2;
  given.valid = 0;
  given.text_mode = 3;
  given.offset = -350;
  given.label_x = 12;
  given.label_y = -34;
  for (int32_t version : {101, 102, 149, 150, 162, 163}) {
    SCOPED_TRACE(version);
    Design design(version);
    CPieceMeasure measure(&design.data);
    ASSERT_TRUE(LoadMeasure(measure, MeasureBytes(version, given)));
    EXPECT_EQ(measure.GetName().str(), "Waist");
    EXPECT_EQ(measure.GetKind(), 2);
    // The references wait for ResolveIds.
    EXPECT_EQ(RefsOf(measure).r[0], nullptr);
    measure.ResolveIds();
    const Refs refs = RefsOf(measure);
    EXPECT_EQ(refs.r[0], design.point0);
    EXPECT_EQ(refs.r[1], design.point3);
    EXPECT_EQ(refs.r[2], design.curve2);

    int32_t mode = 0, offset = 0;
    CPoint label;
    measure.GetDisplay(&mode, &offset, &label);
    if (version < 102) {
      // No display fields: the constructor's defaults stay.
      EXPECT_EQ(measure.IsValid(), 1);
      EXPECT_EQ(mode, 4);
      EXPECT_EQ(offset, 200);
      EXPECT_EQ(label, CPoint(0, 0));
    } else {
      EXPECT_EQ(measure.IsValid(), 0);
      EXPECT_EQ(mode, 3);
      EXPECT_EQ(offset, -350);
      EXPECT_EQ(label, CPoint(12, -34));
    }
  }
}

TEST(PieceMeasure, HandWrittenRecordMatchesTheWriter) {
  ArchiveBytes bytes;
  bytes.CStr("M1").I32(1).I32(0).I32(3).I32(-1);
  bytes.I32(1).I32(0).I32(150).Point(5, 6);
  MeasureFields given;
  given.name = "M1";
  given.kind = 1;
  given.refs[0] = 0;
  given.refs[1] = 3;
  given.text_mode = 0;
  given.offset = 150;
  given.label_x = 5;
  given.label_y = 6;
  EXPECT_EQ(MeasureBytes(102, given), bytes.Bytes());
}

TEST(PieceMeasure, EveryCutOfTheRecordFailsAndLeavesTheMeasureAsItWas) {
  MeasureFields given;
  given.name = "Hip";
  given.kind = 1;
  given.refs[0] = 0;
  given.refs[1] = 3;
  given.valid = 0;
  given.text_mode = 2;
  given.offset = 7;
  for (int32_t version : {101, 102, 162}) {
    SCOPED_TRACE(version);
    const std::string bytes = MeasureBytes(version, given);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      SCOPED_TRACE(cut);
      Design design(version);
      CPieceMeasure measure(&design.data);
      EXPECT_FALSE(LoadMeasure(measure, bytes.substr(0, cut)));
      EXPECT_TRUE(measure.GetName().IsEmpty());
      EXPECT_EQ(measure.GetKind(), 0);
      EXPECT_EQ(measure.IsValid(), 1);
      EXPECT_EQ(measure.GetTextMode(), 4);
      measure.ResolveIds();
      EXPECT_EQ(RefsOf(measure).r[0], nullptr);
    }
  }
}

TEST(PieceMeasure, ReferencesResolveOnlyToObjectsOfTheirKind) {
  // Positions: 0 point, 1 line, 2 curve, 3 point. The first two references
  // are points and the third a curve; anything else gives no reference.
  struct Case {
    int32_t refs[3];
    bool set[3];
  };
  const Case kCases[] = {
      {{0, 3, 2}, {true, true, true}},
      {{0, 3, 0}, {true, true, false}},       // the curve position names a point
      {{0, 3, 1}, {true, true, false}},       // ... a line
      {{2, 1, -1}, {false, false, false}},    // points that name a curve and a line
      {{4, INT32_MAX, INT32_MIN}, {false, false, false}},
      {{-1, -1, 3}, {false, false, false}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.refs[0] << "," << c.refs[1] << "," << c.refs[2]);
    MeasureFields given;
    given.kind = 2;
    for (int i = 0; i < 3; ++i) given.refs[i] = c.refs[i];
    Design design(150);
    CPieceMeasure measure(&design.data);
    ASSERT_TRUE(LoadMeasure(measure, MeasureBytes(150, given)));
    measure.ResolveIds();
    const Refs refs = RefsOf(measure);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(refs.r[i], c.set[i] ? design.data.GetElementAt(c.refs[i]) : nullptr);
    }
  }
}

TEST(PieceMeasure, RefersToOnlyItsSetReferences) {
  Design design(162);
  CPieceMeasure measure(&design.data, 1, design.point0, nullptr, nullptr, "D");
  EXPECT_TRUE(measure.RefersTo(design.point0));
  EXPECT_FALSE(measure.RefersTo(design.point3));
  // An unset reference does not match a null object.
  EXPECT_FALSE(measure.RefersTo(nullptr));
  measure.SetRefs(nullptr, design.point3, design.curve2);
  EXPECT_FALSE(measure.RefersTo(design.point0));
  EXPECT_TRUE(measure.RefersTo(design.point3));
  EXPECT_TRUE(measure.RefersTo(design.curve2));
}

}  // namespace
