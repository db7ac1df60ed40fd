// Loading a whole design from the archive layout: the header and record
// gates of each data version, the clean-up of hidden points nobody uses, and
// files that are cut short, hostile or hold codes without a class. Every
// fixture ends with a pattern record "END", and a load that succeeds must
// have read it to the last byte.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/core/piece_measure.h"
#include "design/core/size_table.h"
#include "design/points/free_point.h"
#include "design/points/graded_point.h"
#include "model/style.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::DesignArchiveWriter;
using design_fixture::ElementFields;
using design_fixture::FreePointFields;
using design_fixture::MeasureFields;
using design_fixture::PatternRecordFields;
using design_fixture::SizeFields;
using design_test::Finish;
using design_test::LoadDesign;
using design_test::LoadedDesign;
using design_test::LoadWhole;

// A design of `version` with one size "M" (base), to which a test adds what
// it needs before Finish.
DesignArchiveWriter Design(int32_t version, int sizes = 1) {
  DesignArchiveWriter w(version);
  w.header().scale = 40;
  for (int i = 0; i < sizes; ++i) w.AddSize({i == 0 ? "M" : "S" + std::to_string(i), 0, 0});
  w.SetBaseSize(0);
  return w;
}

std::string Face(const LOGFONT& font) { return std::string(font.lfFaceName); }

// The offset of the first byte in which two files differ: written so that
// they differ only in one count, it is that count's offset.
size_t FirstDifference(const std::string& a, const std::string& b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

std::string WithI32At(std::string bytes, size_t offset, int32_t value) {
  std::memcpy(&bytes[offset], &value, sizeof value);
  return bytes;
}

class DesignLoadTest : public ::testing::Test {
 protected:
  // The loads of version 150 and later read their stored pieces into the
  // style.
  void TearDown() override { ClearStyle(); }
};

// ---- Header gates ---------------------------------------------------------------

class HeaderGates : public DesignLoadTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(HeaderGates, EachVersionReadsItsOwnHeaderAndSizes) {
  const int32_t v = GetParam();
  DesignArchiveWriter w = Design(v, 0);
  w.header().magic = design_fixture::kMagicB5686E99;
  w.header().mode = 3;
  w.header().first_scale = 40;
  w.header().scale = 100;
  for (int i = 0; i < 5; ++i) w.header().names[i] = "N" + std::to_string(i + 1);
  w.header().reserved_block = "xyz";
  w.header().label_font.height = -12;
  w.header().label_font.face = "Label";
  w.header().second_font.height = -20;
  w.header().second_font.face = "Second";
  w.AddSize({"S", 7, 11});
  w.AddSize({"M", 8, 12});
  w.SetBaseSize(1);
  const auto data = LoadWhole(Finish(w));

  EXPECT_EQ(data->GetVersion(), v == 163 ? 162 : v);
  EXPECT_EQ(data->GetMode(), 3);
  EXPECT_EQ(data->GetScale(), 100);  // at 150 and later the second of two words
  EXPECT_EQ(data->GetName1(), CString("N1"));
  EXPECT_EQ(data->GetName4(), CString("N4"));
  EXPECT_EQ(data->GetName5(), CString(v >= 109 ? "N5" : ""));
  EXPECT_EQ(Face(data->GetLabelFont()), "Label");
  EXPECT_EQ(data->GetLabelFont().lfHeight, -12);
  // Below 105 the second font is a copy of the label font.
  EXPECT_EQ(Face(data->GetFont2()), v >= 105 ? "Second" : "Label");
  EXPECT_EQ(data->GetFont2().lfHeight, v >= 105 ? -20 : -12);
  ASSERT_EQ(data->GetSizeCount(), 2);
  EXPECT_EQ(data->GetSizeAt(0)->GetName(), CString("S"));
  EXPECT_EQ(data->GetSizeAt(1)->GetColorIndex(), 8);
  // The extra word of 163 is skipped, not kept; every size gets value 1.
  EXPECT_EQ(data->GetSizeAt(0)->GetValue(), 1);
  EXPECT_EQ(data->GetSizeAt(1)->GetValue(), 1);
  EXPECT_EQ(data->GetBaseSize(), 1);
  EXPECT_EQ(data->GetLoadFailure().fault, DesignLoadFault::kNone);
}

INSTANTIATE_TEST_SUITE_P(Versions, HeaderGates,
                         ::testing::Values(104, 105, 108, 109, 121, 122, 149, 150, 154, 155, 157, 158, 162, 163,
                                           164));

TEST_F(DesignLoadTest, AFaceNameLongerThanAFontHoldsIsCutOnACharacterBoundary) {
  DesignArchiveWriter w = Design(162);
  // 30 ASCII bytes then a two-byte character: 32 bytes would leave no room
  // for the terminator, and a cut at 31 would split the character.
  w.header().label_font.face = std::string(30, 'a') + "\xD6\xD0" + "tail";
  w.header().second_font.face = std::string(29, 'b') + "\xD6\xD0" + "tail";
  const auto data = LoadWhole(Finish(w));
  EXPECT_EQ(Face(data->GetLabelFont()), std::string(30, 'a'));
  EXPECT_EQ(Face(data->GetFont2()), std::string(29, 'b') + "\xD6\xD0");
}

// ---- Size table, measures, points, records ------------------------------------

TEST_F(DesignLoadTest, SizeTableRowsKeepOneSignedValuePerSize) {
  DesignArchiveWriter w = Design(162, 3);
  w.AddSizeRow("chest", {880, 920, 0xFFFFFFFFu});
  const auto data = LoadWhole(Finish(w));
  ASSERT_EQ(data->GetSizeRowCount(), 1);
  const CSizeTableRow* row = data->GetSizeRowAt(0);
  EXPECT_EQ(row->GetName(), CString("chest"));
  EXPECT_EQ(row->GetValue(0), 880);
  EXPECT_EQ(row->GetValue(1), 920);
  EXPECT_EQ(row->GetValue(2), -1);
}

TEST_F(DesignLoadTest, AVersion101MeasureKeepsItsDefaultDisplay) {
  DesignArchiveWriter w = Design(101);
  const int a = w.AddFreePoint(0, 0);
  const int b = w.AddFreePoint(400, 0);
  MeasureFields m;
  m.name = "W";
  m.refs[0] = a;
  m.refs[1] = b;
  w.AddMeasure(m);
  const auto data = LoadWhole(Finish(w));
  ASSERT_EQ(data->GetMeasureCount(), 1);
  const CPieceMeasure* measure = data->GetMeasureAt(0);
  EXPECT_EQ(measure->IsValid(), 1);
  EXPECT_EQ(measure->GetTextMode(), kMeasureTextModeAuto);
  int32_t offset = 0;
  measure->GetDisplay(nullptr, &offset, nullptr);
  EXPECT_EQ(offset, 400);  // 10 mm at 40 units per millimetre
  CGradedObject* refs[3] = {};
  measure->GetRefs(&refs[0], &refs[1], &refs[2]);
  EXPECT_EQ(refs[0], data->GetElementAt(a));
  EXPECT_EQ(refs[1], data->GetElementAt(b));
}

TEST_F(DesignLoadTest, AMeasureWhoseCurveIndexNamesAPointHasNoCurve) {
  DesignArchiveWriter w = Design(162);
  const int a = w.AddFreePoint(0, 0);
  const int b = w.AddFreePoint(400, 0);
  MeasureFields m;
  m.kind = 2;
  m.refs[0] = a;
  m.refs[1] = b;
  m.refs[2] = a;  // a point where the curve should be
  w.AddMeasure(m);
  const auto data = LoadWhole(Finish(w));
  CGradedObject* refs[3] = {};
  data->GetMeasureAt(0)->GetRefs(&refs[0], &refs[1], &refs[2]);
  EXPECT_EQ(refs[0], data->GetElementAt(a));
  EXPECT_EQ(refs[2], nullptr);
}

TEST_F(DesignLoadTest, AMode2FreePointThatComputesOnlyTheBaseSizeKeepsAPositionPerSize) {
  DesignArchiveWriter w = Design(110, 3);
  w.header().mode = 2;
  FreePointFields p;
  p.x = 100;
  p.y = 200;
  p.compute_all = 0;
  p.per_size = {{100, 200}, {110, 210}, {120, 230}};
  w.AddFreePoint(p);
  const auto data = LoadWhole(Finish(w));
  const auto* point = dynamic_cast<const CFreePoint*>(data->GetElementAt(0));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->GetComputeAll(), 0);
  CPoint at;
  ASSERT_TRUE(point->GetSizePoint(2, &at));
  EXPECT_EQ(at, CPoint(120, 230));
  // Every size is due for computation after a load.
  EXPECT_TRUE(point->IsAllDirty());
}

TEST_F(DesignLoadTest, PatternRecordsFollowTheirVersionGates) {
  struct Case {
    int32_t version;
    int32_t quantity;
    const char* quantityText;  // from 162 on; null: the digits of the quantity
    int32_t expected;
  };
  const Case kCases[] = {
      {149, 3, nullptr, 3}, {150, 3, nullptr, 3}, {152, 3, nullptr, 3}, {153, 3, nullptr, 3},
      {159, 3, nullptr, 3}, {161, 3, nullptr, 3}, {162, 3, "3", 3},     {162, 3, "", 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    DesignArchiveWriter w = Design(c.version);
    const int point = w.AddFreePoint(100, 200);
    PatternRecordFields r;
    r.name = "Front";
    r.annotation = "note";
    r.text3 = "t3";
    r.category = "body";
    r.quantity = c.quantity;
    if (c.quantityText) r.quantity_text = c.quantityText;
    r.p1x = 1;
    r.p1y = 2;
    r.p2x = 3;
    r.p2y = 4;
    r.option1 = 5;
    r.flag = 1;
    r.double_value = 2.5;
    r.option4 = 9;
    r.ref_point = point;
    w.AddRecord(r);
    const auto data = LoadWhole(Finish(w));
    ASSERT_EQ(data->GetPieceCount(), 2);
    const CPatternRecord* record = data->GetPieceAt(0);
    EXPECT_EQ(record->GetPieceName(), CString("Front"));
    EXPECT_EQ(record->GetAnnotation(), CString("note"));
    EXPECT_EQ(record->GetText3(), CString("t3"));
    EXPECT_EQ(record->GetCategory(), CString("body"));
    EXPECT_EQ(record->GetQuantity(), c.expected);
    CPoint p1, p2;
    record->GetPoints(p1, p2);
    EXPECT_EQ(p2, CPoint(3, 4));
    EXPECT_EQ(record->GetOption1(), 5);
    EXPECT_EQ(record->GetDoubleValue(), 2.5);
    EXPECT_EQ(record->GetOption4(), 9);
    EXPECT_EQ(record->GetRefPoint(), data->GetElementAt(point));
  }
}

TEST_F(DesignLoadTest, AReferenceOnePastTheLastObjectResolvesToNone) {
  DesignArchiveWriter w = Design(162);
  w.AddFreePoint(0, 0);
  PatternRecordFields r;
  r.name = "A";
  r.ref_point = 1;
  w.AddRecord(r);
  const auto data = LoadWhole(Finish(w));
  EXPECT_EQ(data->GetPieceAt(0)->GetRefPoint(), nullptr);
}

// ---- Hidden points that nothing uses -------------------------------------------

// Test kinds with references, from tables of the test's own: a point kind
// (2) whose record is the base part and one point position, and a two-point
// line (kind 2) whose record is a link position and a reference position.
class RefPoint : public CGradedPoint {
 public:
  explicit RefPoint(CPatternData* owner) : CGradedPoint(2, owner, 0) {}
  BOOL Load(ArchiveReader& archive) override {
    BaseRecord base;
    if (!ReadBaseRecord(archive, base) || !archive.ReadI32(m_RefId)) return FALSE;
    ApplyBaseRecord(base);
    return TRUE;
  }
  void ResolveIds() override { m_Ref = GetOwner()->GetElementAt(m_RefId); }
  BOOL GetReferences(CGradedObjectList& references) const override {
    references.assign({m_Ref});
    return TRUE;
  }
  BOOL RefersTo(const CGradedObject* object) const override { return object && object == m_Ref; }

 private:
  int32_t m_RefId = -1;
  CGradedObject* m_Ref = nullptr;
};

class LinkedLine : public CGradedObject {
 public:
  explicit LinkedLine(CPatternData* owner) : CGradedObject(kObjectKindLine, owner, 0) {}
  BOOL Load(ArchiveReader& archive) override {
    return archive.ReadI32(m_LinkId) && archive.ReadI32(m_RefId) ? TRUE : FALSE;
  }
  void ResolveIds() override {
    SetLink(GetOwner()->GetElementAt(m_LinkId));
    m_Ref = GetOwner()->GetElementAt(m_RefId);
  }
  BOOL GetReferences(CGradedObjectList& references) const override {
    references.assign({m_Ref});
    return TRUE;
  }
  BOOL RefersTo(const CGradedObject* object) const override { return object && object == m_Ref; }

 private:
  int32_t m_LinkId = -1;
  int32_t m_RefId = -1;
  CGradedObject* m_Ref = nullptr;
};

class UnusedPointsTest : public DesignLoadTest {
 protected:
  void SetUp() override {
    DesignTables::Registered();  // the free points
    objects_.Register(kObjectKindLine, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
      return std::make_unique<LinkedLine>(owner);
    });
    points_.Register(1, [](CPatternData* owner) { return GetPointKindFactory().Create(1, owner); });
    points_.Register(2, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
      return std::make_unique<RefPoint>(owner);
    });
  }

  DesignTables Tables() const { return DesignTables{objects_, points_, curves_, elements_}; }

  // Loads and names the points left by their x coordinate.
  std::vector<int32_t> PointsLeft(const std::string& bytes) {
    LoadedDesign loaded = LoadDesign(bytes, Tables());
    EXPECT_TRUE(loaded.ok) << loaded.data->GetLoadFailure().reason;
    EXPECT_EQ(loaded.remaining, 0u);
    std::vector<int32_t> left;
    for (int32_t i = 0; i < loaded.data->GetElementCount(); ++i) {
      const CGradedObject* object = loaded.data->GetElementAt(i);
      if (const auto* free = dynamic_cast<const CFreePoint*>(object)) left.push_back(free->GetStoredPoint().x);
      if (dynamic_cast<const RefPoint*>(object)) left.push_back(-1);
    }
    return left;
  }

  static int Hidden(DesignArchiveWriter& w, int32_t x) {
    FreePointFields p;
    p.x = x;
    p.state = 0;
    return w.AddFreePoint(p);
  }
  static int HiddenRefPoint(DesignArchiveWriter& w, int32_t ref) {
    return w.AddObject(1, 2, w.PointBase(0, 0) + ArchiveBytes().I32(ref).Bytes());
  }

  ObjectKindFactory objects_;
  PointKindFactory points_;
  CurveKindFactory curves_;
  ElementFactory elements_;
};

TEST_F(UnusedPointsTest, AHiddenPointGoesUnlessSomethingUsesIt) {
  DesignArchiveWriter w = Design(162);
  w.AddFreePoint(1, 0);                         // shown: stays
  Hidden(w, 2);                                 // hidden, unused: goes
  const int refPoint = Hidden(w, 3);            // a record's reference point
  const int measured = Hidden(w, 4);            // a measure's point
  const int linked = Hidden(w, 5);              // a line's link
  const int referenced = Hidden(w, 6);          // a line's reference
  w.AddObject(2, 0, ArchiveBytes().I32(linked).I32(referenced).Bytes());
  MeasureFields m;
  m.refs[0] = measured;
  w.AddMeasure(m);
  PatternRecordFields r;
  r.name = "A";
  r.ref_point = refPoint;
  w.AddRecord(r);
  EXPECT_EQ(PointsLeft(Finish(w)), (std::vector<int32_t>{1, 3, 4, 5, 6}));
}

TEST_F(UnusedPointsTest, TheWalkGoesOnceFromTheHeadAndCountsUsersAsPointsGo) {
  // A hidden point used only by a hidden point after it stays: when the walk
  // reaches it, its user is still there.
  DesignArchiveWriter before = Design(162);
  const int first = Hidden(before, 7);
  HiddenRefPoint(before, first);
  EXPECT_EQ(PointsLeft(Finish(before)), (std::vector<int32_t>{7}));

  // Used only by a hidden point before it, it goes with that point.
  DesignArchiveWriter after = Design(162);
  HiddenRefPoint(after, 1);
  Hidden(after, 8);
  EXPECT_EQ(PointsLeft(Finish(after)), (std::vector<int32_t>{}));
}

TEST_F(UnusedPointsTest, ReferencesAfterTheRemovedPointsResolveAgainstTheFileOrder) {
  // The record's reference point is resolved while loading, against the
  // stored positions; removing the points before it leaves it in place.
  DesignArchiveWriter w = Design(162);
  Hidden(w, 1);
  Hidden(w, 2);
  const int kept = w.AddFreePoint(9, 9);
  PatternRecordFields r;
  r.name = "A";
  r.ref_point = kept;
  w.AddRecord(r);
  LoadedDesign loaded = LoadDesign(Finish(w), Tables());
  ASSERT_TRUE(loaded.ok);
  ASSERT_EQ(loaded.data->GetElementCount(), 1);
  EXPECT_EQ(loaded.data->GetPieceAt(0)->GetRefPoint(), loaded.data->GetElementAt(0));
}

TEST(DesignUseTests, LinkTargetsAreAnyObjectThatAnotherLineOrCurveNames) {
  CPatternData data;
  data.InsertSize(0, CString("M"), 0, 1);
  CGradedObject* point = data.AddElement(std::make_unique<CFreePoint>(&data, 0));
  CGradedObject* line = data.AddElement(std::make_unique<CGradedObject>(kObjectKindLine, &data, 0));
  CGradedObject* curve = data.AddElement(std::make_unique<CGradedObject>(kObjectKindCurve, &data, 0));
  CGradedObject* text = data.AddElement(std::make_unique<CGradedObject>(kObjectKindText, &data, 0));
  EXPECT_FALSE(data.IsLinkTarget(point));
  line->SetLink(point);
  EXPECT_TRUE(data.IsLinkTarget(point));
  line->SetLink(nullptr);
  curve->SetLink(line);  // lines and curves can be link targets too
  EXPECT_TRUE(data.IsLinkTarget(line));
  EXPECT_FALSE(data.IsLinkTarget(point));
  text->SetLink(point);  // only lines and curves link
  EXPECT_FALSE(data.IsLinkTarget(point));
  curve->SetLink(curve);  // not another object
  EXPECT_FALSE(data.IsLinkTarget(curve));
  EXPECT_FALSE(data.IsLinkTarget(nullptr));
}

// ---- Cut short, hostile and unknown ---------------------------------------------

// A small design of every section, with a measure, free points (one stored
// per size), a size-table row and a second record.
std::string EverySection(int32_t version) {
  DesignArchiveWriter w = Design(version, 2);
  w.header().mode = 2;
  w.header().names[1] = "Style";
  w.header().label_font.face = "Song";
  w.AddSizeRow("row", {1, 2});
  const int a = w.AddFreePoint(10, 20);
  FreePointFields p;
  p.compute_all = 0;
  p.per_size = {{1, 1}, {2, 2}};
  const int b = w.AddFreePoint(p);
  MeasureFields m;
  m.refs[0] = a;
  m.refs[1] = b;
  w.AddMeasure(m);
  PatternRecordFields r;
  r.name = "A";
  r.ref_point = a;
  w.AddRecord(r);
  return Finish(w);
}

TEST_F(DesignLoadTest, EveryPrefixOfEveryFixtureFailsWithoutALeak) {
  for (int32_t version : {101, 104, 109, 110, 149, 150, 155, 161, 162, 163}) {
    SCOPED_TRACE(version);
    const std::string whole = EverySection(version);
    LoadWhole(whole);
    design_test::ExpectEveryPrefixFails(whole);
  }
}

struct HostileCase {
  const char* name;
  std::string bytes;
  DesignLoadFault fault;
  const char* reason;  // a part of the reason that names the record
  size_t maxOffset = SIZE_MAX;  // where the loader must have stopped at the latest
};

// Files that must fail at once: counts past the bytes left or the design's
// bounds, impossible sizes, and codes that no class has.
std::vector<HostileCase> HostileCases() {
  std::vector<HostileCase> cases;
  const auto countAt = [](DesignArchiveWriter base, DesignArchiveWriter more) {
    const std::string a = Finish(base);
    return WithI32At(a, FirstDifference(a, Finish(more)), INT32_MAX);
  };
  {
    DesignArchiveWriter one = Design(162);
    DesignArchiveWriter two = Design(162, 2);
    cases.push_back({"size count", countAt(one, two), DesignLoadFault::kMalformed, "size count"});
  }
  {
    DesignArchiveWriter none = Design(162);
    DesignArchiveWriter row = Design(162);
    row.AddSizeRow("r", {1});
    cases.push_back({"row count", countAt(none, row), DesignLoadFault::kMalformed, "size-table row count"});
    DesignArchiveWriter measure = Design(162);
    measure.AddMeasure({});
    cases.push_back({"measure count", countAt(none, measure), DesignLoadFault::kMalformed, "measure count"});
    DesignArchiveWriter object = Design(162);
    object.AddFreePoint(0, 0);
    cases.push_back({"object count", countAt(none, object), DesignLoadFault::kMalformed, "graded object count"});
    DesignArchiveWriter record = Design(162);
    record.AddRecord({});
    cases.push_back({"record count", countAt(none, record), DesignLoadFault::kMalformed, "pattern record count"});
    DesignArchiveWriter element = Design(162);
    PatternRecordFields withElement;
    withElement.name = "A";
    withElement.elements.push_back(ElementFields{1, 0, "", 0, 0});
    DesignArchiveWriter noElement = Design(162);
    PatternRecordFields plain;
    plain.name = "A";
    noElement.AddRecord(plain);
    element.AddRecord(withElement);
    cases.push_back({"element count", countAt(noElement, element), DesignLoadFault::kMalformed,
                     "pattern record 0 \"A\": element count"});
  }
  {
    DesignArchiveWriter w = Design(162, 1001);
    // Stopped at the count, before the first size.
    cases.push_back({"1,001 sizes", Finish(w), DesignLoadFault::kMalformed, "size count above", 200});
  }
  {
    DesignArchiveWriter w = Design(162, 1000);
    for (int i = 0; i < 70000; ++i) w.AddFreePoint(i, 0);
    // Stopped at the object count, before the first object.
    DesignArchiveWriter sizesOnly = Design(162, 1000);
    const size_t objectsAt = Finish(sizesOnly).size();
    cases.push_back(
        {"70,000 objects at 1,000 sizes", Finish(w), DesignLoadFault::kMalformed, "graded objects", objectsAt});
  }
  {
    DesignArchiveWriter w = Design(162, 3);
    w.SetBaseSize(3);
    cases.push_back({"base size = sizes", Finish(w), DesignLoadFault::kMalformed, "base size outside"});
    DesignArchiveWriter negative = Design(162, 3);
    negative.SetBaseSize(-1);
    cases.push_back({"base size -1", Finish(negative), DesignLoadFault::kMalformed, "base size outside"});
    DesignArchiveWriter none = Design(162, 0);
    cases.push_back({"no size", Finish(none), DesignLoadFault::kMalformed, "no size"});
  }
  {
    DesignArchiveWriter w = Design(162);
    w.AddFreePoint(0, 0);
    w.AddRawObject(ArchiveBytes().I32(3).Bytes());
    cases.push_back({"object kind 3", Finish(w), DesignLoadFault::kUnknownCode, "graded object 1: kind 3"});
    DesignArchiveWriter p48 = Design(162);
    p48.AddObject(1, 48, p48.PointBase(1, 0));
    cases.push_back({"point kind 48", Finish(p48), DesignLoadFault::kUnknownCode, "graded object 0: point kind 48"});
    DesignArchiveWriter c9 = Design(162);
    c9.AddObject(4, 9, "");
    cases.push_back({"curve kind 9", Finish(c9), DesignLoadFault::kUnknownCode, "graded object 0: curve kind 9"});
    DesignArchiveWriter text5 = Design(119);
    text5.AddRawObject(ArchiveBytes().I32(5).Bytes());
    cases.push_back({"kind 5 after 118", Finish(text5), DesignLoadFault::kUnknownCode, "graded object 0: kind 5"});
  }
  const auto withElement = [](ElementFields element) {
    DesignArchiveWriter w = Design(162);
    PatternRecordFields r;
    r.name = "A";
    r.elements.push_back(element);
    w.AddRecord(r);
    return Finish(w);
  };
  cases.push_back({"element type 3", withElement({3, 0, "", 0, 0}), DesignLoadFault::kUnknownCode,
                   "pattern record 0 \"A\": element 0: element type 3"});
  cases.push_back({"type-32 subtype 3", withElement({32, 3, "", 0, 0}), DesignLoadFault::kUnknownCode,
                   "element 0: element type 32 subtype 3"});
  // Codes that the layout defines but whose classes are not built yet.
  {
    DesignArchiveWriter line = Design(162);
    line.AddObject(2, 0, "");
    cases.push_back({"a two-point line", Finish(line), DesignLoadFault::kCodeNotBuilt, "graded object 0: kind 2"});
  }
  cases.push_back({"a boundary element", withElement({1, 0, "", 0, 0}), DesignLoadFault::kCodeNotBuilt,
                   "element type 1 subtype 0"});
  {
    DesignArchiveWriter w = Design(162);
    std::string bytes = Finish(w);
    bytes[0] = 0x11;
    cases.push_back({"not a design", bytes, DesignLoadFault::kMalformed, "header"});
  }
  return cases;
}

TEST_F(DesignLoadTest, HostileCountsSizesAndUnknownCodesFailAtOnceNamingTheRecord) {
  for (const HostileCase& c : HostileCases()) {
    SCOPED_TRACE(c.name);
    LoadedDesign loaded = LoadDesign(c.bytes);
    EXPECT_FALSE(loaded.ok);
    const DesignLoadFailure& failure = loaded.data->GetLoadFailure();
    EXPECT_EQ(failure.fault, c.fault);
    EXPECT_NE(failure.reason.find(c.reason), std::string::npos) << failure.reason;
    EXPECT_LE(failure.offset, std::min(c.maxOffset, c.bytes.size()));
  }
}

}  // namespace
