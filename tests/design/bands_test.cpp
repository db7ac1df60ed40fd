// The band elements (type 64, subtypes 1 to 32): their record loaded through
// the whole design at several versions, the bytes it takes, where each field
// lands, the points it refers to, references of the wrong kind, records cut
// short, the clean-up of hidden points they hold, and the per-size records
// kept in step with the sizes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "design/construct/type64_elements.h"
#include "design/core/design_element.h"
#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/band_records.h"

namespace {

using namespace design_fixture;
using design_test::Finish;

// The record of every subtype: two positions, two formulas of no term (28
// bytes each) and six integers.
constexpr size_t kBandRecordBytes = 88;
// Positions of the objects DesignToReferTo lays out.
constexpr int kPoint0 = 0;
constexpr int kPoint1 = 1;
constexpr int kLine0 = 4;
constexpr int kCurve0 = 6;
constexpr int kText = 8;
constexpr int kObjectCount = 9;

SampleRefs Refs() {
  SampleRefs refs;
  for (int i = 0; i < 4; ++i) refs.points[i] = i;
  refs.lines[0] = kLine0;
  refs.lines[1] = kLine0 + 1;
  refs.curves[0] = kCurve0;
  refs.curves[1] = kCurve0 + 1;
  refs.text = kText;
  return refs;
}

// Whether the element is of the class its subtype names.
bool IsClassOfSubtype(const CDesignElement* e, int32_t subtype) {
  switch (subtype) {
    case 1: return dynamic_cast<const CType64Element1*>(e) != nullptr;
    case 2: return dynamic_cast<const CType64Element2*>(e) != nullptr;
    case 4: return dynamic_cast<const CType64Element4*>(e) != nullptr;
    case 8: return dynamic_cast<const CType64Element8*>(e) != nullptr;
    case 16: return dynamic_cast<const CType64Element16*>(e) != nullptr;
    case 32: return dynamic_cast<const CType64Element32*>(e) != nullptr;
    default: return false;
  }
}

// What every subtype shares, through the record type it keeps.
struct BandView {
  CGradedObject* first = nullptr;
  CGradedObject* second = nullptr;
  int32_t firstConstant = 0;
  int32_t secondConstant = 0;
  std::array<int32_t, 6> params{};
  int32_t records = 0;
  bool outsideRefused = false;
};

template <class Record>
bool ViewAs(const CDesignElement* e, BandView& view) {
  const auto* band = dynamic_cast<const CType64Band<Record>*>(e);
  if (!band) return false;
  view.first = band->GetFirstRef();
  view.second = band->GetSecondRef();
  view.firstConstant = band->GetFirstValue().GetConstant();
  view.secondConstant = band->GetSecondValue().GetConstant();
  view.params = band->GetParams();
  view.records = band->GetRecordCount();
  const int32_t past = band->GetRecordCount();
  view.outsideRefused = !band->GetOutlineRecordAt(-1) && !band->GetOutlineRecordAt(past) &&
                        !band->GetSeamRecordAt(-1) && !band->GetSeamRecordAt(past);
  return true;
}

BandView View(const CDesignElement* e) {
  BandView view;
  EXPECT_TRUE(ViewAs<CShapeRecordA>(e, view) || ViewAs<CShapeRecordB>(e, view));
  return view;
}

std::vector<const CDesignElement*> ElementsOf(const CPatternRecord& record) {
  std::vector<const CDesignElement*> elements;
  for (auto at = record.GetFirstElementPosition(); at;) elements.push_back(record.GetNextElement(at));
  return elements;
}

class BandsTest : public ::testing::Test {
 protected:
  static DesignArchiveWriter Design(int32_t version) {
    SampleRefs refs;
    return design_test::DesignToReferTo(version, refs);
  }
  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, tables_.Tables());
  }
  // The design of `version` with one record holding `elements`, loaded whole.
  std::unique_ptr<CPatternData> LoadRecord(int32_t version, std::vector<ElementFields> elements) const {
    DesignArchiveWriter w = Design(version);
    PatternRecordFields record;
    record.name = "Band";
    record.elements = std::move(elements);
    w.AddRecord(record);
    return LoadWhole(Finish(w));
  }
  static const CDesignElement* FirstElement(const CPatternData& data) {
    const CPatternRecord* record = data.GetPieceAt(0);
    if (!record || record->GetElementCount() == 0) return nullptr;
    return ElementsOf(*record).front();
  }

  design_test::StandInTables tables_;
};

// ---- Samples of every subtype ------------------------------------------------------

class BandSamples : public BandsTest, public ::testing::WithParamInterface<std::tuple<int32_t, int32_t>> {};

TEST_P(BandSamples, LoadsEveryFieldAndRefersToItsTwoPoints) {
  const auto [subtype, version] = GetParam();
  DesignArchiveWriter probe(version);
  const auto data = LoadRecord(version, {SampleBandElement(probe, subtype, Refs())});
  const CDesignElement* element = FirstElement(*data);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->GetType(), 64);
  EXPECT_TRUE(IsClassOfSubtype(element, subtype));
  const auto* base = dynamic_cast<const CType64Element*>(element);
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->GetSubtype(), subtype);

  const BandView view = View(element);
  EXPECT_EQ(view.first, data->GetElementAt(kPoint0));
  EXPECT_EQ(view.second, data->GetElementAt(kPoint1));
  EXPECT_EQ(view.firstConstant, 40);
  EXPECT_EQ(view.secondConstant, 60);
  const std::array<int32_t, 6> params = {subtype + 1, subtype + 2, subtype + 3,
                                         subtype + 4, subtype + 5, subtype + 6};
  EXPECT_EQ(view.params, params);
  // One record per size of the design (two), none outside; nothing computed.
  EXPECT_EQ(view.records, data->GetSizeCount());
  EXPECT_TRUE(view.outsideRefused);
  EXPECT_TRUE(element->IsDirty(0) && element->IsDirty(1));

  std::vector<CGradedObject*> used;
  element->GetUsedObjects(used);
  EXPECT_EQ(used, (std::vector<CGradedObject*>{data->GetElementAt(kPoint0), data->GetElementAt(kPoint1)}));
  for (int32_t i = 0; i < data->GetElementCount(); ++i) {
    EXPECT_EQ(element->RefersTo(data->GetElementAt(i)), i == kPoint0 || i == kPoint1 ? TRUE : FALSE) << i;
  }
  EXPECT_FALSE(element->RefersTo(nullptr));
}

TEST_P(BandSamples, LoadTakesExactlyItsRecord) {
  const auto [subtype, version] = GetParam();
  DesignArchiveWriter w = Design(version);
  const auto data = LoadWhole(Finish(w));
  CPatternRecord owner(data.get());
  auto element = GetElementFactory().Create(ElementCode{64, subtype}, &owner);
  ASSERT_NE(element, nullptr);
  const std::string body = SampleBandFields(subtype, Refs()).Body() + "tail";
  ArchiveReader archive{std::string_view(body)};
  ASSERT_TRUE(element->Load(archive));
  EXPECT_EQ(archive.Position(), kBandRecordBytes);
}

// The record has no version gate: the oldest layouts, the first with stored
// pieces and the newest read it alike.
INSTANTIATE_TEST_SUITE_P(SubtypesAndVersions, BandSamples,
                         ::testing::Combine(::testing::ValuesIn(kBandSubtypes), ::testing::Values(103, 150, 162)));

// ---- References ----------------------------------------------------------------------

TEST_F(BandsTest, ReferencesThatAreNoPointResolveToNone) {
  struct Case {
    const char* what;
    int32_t position;
  };
  const Case kCases[] = {{"a line", kLine0},          {"a curve", kCurve0},       {"a text", kText},
                         {"none", -1},                {"past the list", kObjectCount},
                         {"negative", -7},            {"far out", 0x7FFFFFFF}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    BandFields band = SampleBandFields(16, Refs());
    band.first = c.position;
    band.second = c.position;
    const auto data = LoadRecord(150, {band.Element(16)});
    const BandView view = View(FirstElement(*data));
    EXPECT_EQ(view.first, nullptr);
    EXPECT_EQ(view.second, nullptr);
    EXPECT_EQ(view.params[0], 17);  // read on past the references
  }
}

TEST_F(BandsTest, HiddenPointSurvivesTheCleanUpOnlyWhileABandHoldsIt) {
  struct Case {
    const char* what;
    bool asFirst;
    bool asSecond;
  };
  const Case kCases[] = {{"second point", false, true}, {"first point", true, false}, {"unused", false, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    DesignArchiveWriter w = Design(150);
    FreePointFields hidden;
    hidden.x = 7;
    hidden.y = 8;
    hidden.state = 0;
    const int at = w.AddFreePoint(hidden);
    BandFields band = SampleBandFields(2, Refs());
    if (c.asFirst) band.first = at;
    if (c.asSecond) band.second = at;
    PatternRecordFields record;
    record.elements = {band.Element(2)};
    w.AddRecord(record);
    const auto data = LoadWhole(Finish(w));

    const bool held = c.asFirst || c.asSecond;
    ASSERT_EQ(data->GetElementCount(), held ? kObjectCount + 1 : kObjectCount);
    const BandView view = View(FirstElement(*data));
    CGradedObject* kept = c.asFirst ? view.first : view.second;
    if (held) {
      ASSERT_NE(kept, nullptr);
      EXPECT_EQ(kept->GetState(), 0);
      EXPECT_EQ(data->GetElementIndex(kept), at);
    }
  }
}

TEST_F(BandsTest, ReplacingAReferenceMarksEverySizeDirty) {
  const auto data = LoadRecord(150, {SampleBandFields(8, Refs()).Element(8)});
  auto at = data->GetPieceAt(0)->GetFirstElementPosition();
  CDesignElement* element = data->GetPieceAt(0)->GetNextElement(at);
  ASSERT_NE(element, nullptr);
  element->ClearDirty(0);
  element->ClearDirty(1);
  element->ReplaceReference(data->GetElementAt(kText), data->GetElementAt(3));
  EXPECT_FALSE(element->IsDirty(-1));  // not a reference: nothing changes

  element->ReplaceReference(data->GetElementAt(kPoint1), data->GetElementAt(3));
  EXPECT_TRUE(element->IsDirty(0) && element->IsDirty(1));
  EXPECT_EQ(View(element).second, data->GetElementAt(3));
  EXPECT_FALSE(element->RefersTo(data->GetElementAt(kPoint1)));
}

// ---- Damaged records -------------------------------------------------------------------

TEST_F(BandsTest, AFormulaCountBeyondTheBytesLeftFailsAtOnce) {
  DesignArchiveWriter w = Design(150);
  ArchiveBytes body;
  body.I32(kPoint0).I32(kPoint1).I32(0x7FFFFFFF);
  PatternRecordFields record;
  record.elements = {ElementFields{64, 4, body.Bytes() + std::string(200, '\0')}};
  w.AddRecord(record);
  const auto loaded = design_test::LoadDesign(Finish(w), tables_.Tables());
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.data->GetLoadFailure().fault, DesignLoadFault::kMalformed);
}

TEST_F(BandsTest, EveryPrefixOfARecordOfAllSubtypesFails) {
  DesignArchiveWriter w = Design(150);
  PatternRecordFields record;
  for (int32_t subtype : kBandSubtypes) record.elements.push_back(SampleBandElement(w, subtype, Refs()));
  w.AddRecord(record);
  const std::string whole = Finish(w);
  const auto data = LoadWhole(whole);
  ASSERT_EQ(data->GetPieceAt(0)->GetElementCount(), 6);
  design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
}

TEST(BandRecords, SampleOfAnotherSubtypeIsNoBand) {
  const DesignArchiveWriter w(150);
  for (int32_t subtype : {0, 3, 64, -1}) {
    EXPECT_EQ(SampleBandElement(w, subtype, Refs()).type, 0) << subtype;
  }
  EXPECT_EQ(SampleBandElement(w, 32, Refs()).body.size(), kBandRecordBytes);
}

// ---- Sizes --------------------------------------------------------------------------------

TEST_F(BandsTest, PerSizeRecordsFollowTheSizesAndRefuseAnIndexOutside) {
  const auto data = LoadRecord(150, {SampleBandFields(32, Refs()).Element(32)});
  auto at = data->GetPieceAt(0)->GetFirstElementPosition();
  CDesignElement* element = data->GetPieceAt(0)->GetNextElement(at);
  ASSERT_NE(element, nullptr);
  struct Step {
    bool insert;
    int32_t index;
    int32_t count;  // records afterwards
  };
  const Step kSteps[] = {{true, 3, 2}, {true, -1, 2}, {true, 2, 3}, {false, 3, 3},
                         {false, -1, 3}, {false, 0, 2}, {false, 1, 1}, {false, 0, 0}, {false, 0, 0}};
  for (const Step& s : kSteps) {
    SCOPED_TRACE(testing::Message() << (s.insert ? "insert " : "remove ") << s.index);
    s.insert ? element->InsertSize(s.index) : element->RemoveSize(s.index);
    EXPECT_EQ(View(element).records, s.count);
    EXPECT_EQ(element->GetDirtyCount(), s.count);
  }
}

}  // namespace
