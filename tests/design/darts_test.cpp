// The darts (design elements of type 32, subtypes 1 to 512): their records
// loaded through the whole design, the bytes each reads, where each stored
// field lands, the flag word, the mark parameters, the references they report
// and keep in use, references of the wrong kind, per-size records and designs
// cut short.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "design/construct/construct_element.h"
#include "design/construct/darts.h"
#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/dart_records.h"

namespace {

using namespace design_fixture;
using design_test::Finish;

constexpr int32_t kVersion = 162;

// Bytes each subtype's record takes with formulas of no term.
struct ExpectedBytes {
  int32_t subtype;
  size_t bytes;
};
constexpr ExpectedBytes kBytes[] = {{1, 80},  {2, 72},  {4, 80},   {8, 72},    {16, 56},
                                    {32, 48}, {64, 80}, {128, 76}, {256, 128}, {512, 120}};

const DartLayout& Layout(int32_t subtype) {
  const DartLayout* layout = FindDartLayout(subtype);
  EXPECT_NE(layout, nullptr) << subtype;
  return *layout;
}

// A reference of the dart as the container's object.
const CGradedObject* Ref(const CConstructElement& dart, int index) { return dart.GetReference(index); }

// The length of every per-size record array the element keeps.
std::vector<int32_t> RecordCounts(const CConstructElement& dart) {
  if (const auto* two = dynamic_cast<const CConstructElementTwoRec*>(&dart)) {
    return {two->GetOutlineRecords().Count(), two->GetSeamRecords().Count()};
  }
  if (const auto* one = dynamic_cast<const CConstructElementOneRec*>(&dart)) return {one->GetRecords().Count()};
  if (const auto* d128 = dynamic_cast<const CConstructElement128*>(&dart)) return {d128->GetRecords().Count()};
  if (const auto* d256 = dynamic_cast<const CConstructElement256*>(&dart)) {
    return {d256->GetOutlineRecords().Count(), d256->GetSeamRecords().Count()};
  }
  if (const auto* d512 = dynamic_cast<const CConstructElement512*>(&dart)) return {d512->GetRecords().Count()};
  return {};
}

class DartsTest : public ::testing::Test {
 protected:
  // Two sizes; four free points, two lines, two curves and a text at
  // positions 0 to 8.
  static DesignArchiveWriter Design(SampleRefs& refs, int32_t version = kVersion) {
    return design_test::DesignToReferTo(version, refs);
  }
  static std::string WithDart(DesignArchiveWriter& w, const ElementFields& element) {
    PatternRecordFields piece;
    piece.name = "P";
    piece.elements.push_back(element);
    w.AddRecord(piece);
    return Finish(w);
  }
  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, tables_.Tables());
  }
  // The first element of the first piece as a dart.
  static CConstructElement* FirstDart(const CPatternData& data) {
    const CPatternRecord* piece = data.GetPieceAt(0);
    if (!piece) return nullptr;
    CPatternRecord::POSITION at = piece->GetFirstElementPosition();
    return dynamic_cast<CConstructElement*>(piece->GetNextElement(at));
  }
  // A design holding one dart of `subtype` with `fields`, loaded whole.
  std::unique_ptr<CPatternData> LoadDart(int32_t subtype, const DartFields& fields, CConstructElement** dart,
                                         int32_t version = kVersion) const {
    SampleRefs refs;
    DesignArchiveWriter w = Design(refs, version);
    auto data = LoadWhole(WithDart(w, ElementFields{kDartElementType, subtype, fields.Body()}));
    *dart = FirstDart(*data);
    return data;
  }

  design_test::StandInTables tables_;
};

// ---- Every subtype ----------------------------------------------------------------

class EverySubtype : public DartsTest, public ::testing::WithParamInterface<std::tuple<ExpectedBytes, int32_t>> {};

TEST_P(EverySubtype, ReadsItsRecordToTheLastByteIntoTheFieldsInStoredOrder) {
  const auto [expected, version] = GetParam();
  const DartLayout& layout = Layout(expected.subtype);
  SampleRefs refs;
  DesignArchiveWriter w = Design(refs, version);
  const ElementFields element = SampleDartElement(w, expected.subtype, refs);
  const auto data = LoadWhole(WithDart(w, element));
  const CConstructElement* dart = FirstDart(*data);
  ASSERT_NE(dart, nullptr);
  EXPECT_EQ(dart->GetType(), kElementTypeConstruct);
  EXPECT_EQ(dart->GetSubtype(), static_cast<uint32_t>(expected.subtype));

  ASSERT_EQ(dart->GetReferenceCount(), layout.references);
  for (int i = 0; i < layout.references; ++i) EXPECT_EQ(Ref(*dart, i), data->GetElementAt(refs.points[i]));
  ASSERT_EQ(dart->GetFormulaCount(), layout.formulas);
  for (int i = 0; i < layout.formulas; ++i) {
    EXPECT_EQ(dart->GetFormula(i)->GetConstant(), 100 * (i + 1));
    EXPECT_EQ(dart->GetFormula(i)->GetOwner(), data.get());
  }
  EXPECT_EQ(dart->GetFormula(layout.formulas), nullptr);
  // The sample stores words 1, 2, 3, ... with the flag word as 2.
  std::vector<int32_t> words;
  for (int i = 0; i < layout.words; ++i) words.push_back(i == layout.flag_word ? 1 : i + 1);
  EXPECT_EQ(dart->GetWords(), words);
  EXPECT_EQ(dart->GetFlagWordIndex(), layout.flag_word);
  EXPECT_EQ(dart->GetWord(layout.words), 0);
  EXPECT_EQ(dart->GetWord(-1), 0);

  // Every size has its records from construction.
  for (int32_t count : RecordCounts(*dart)) EXPECT_EQ(count, data->GetSizeCount());
  EXPECT_FALSE(RecordCounts(*dart).empty());
  EXPECT_EQ(dart->GetDirtyCount(), data->GetSizeCount());
}

TEST_P(EverySubtype, LoadConsumesExactlyTheRecordsBytes) {
  const auto [expected, version] = GetParam();
  SampleRefs refs;
  DesignArchiveWriter w = Design(refs, version);
  const auto data = LoadWhole(Finish(w));
  CPatternRecord* piece = data->GetPieceAt(0);
  ASSERT_NE(piece, nullptr);

  const std::string body = SampleDartElement(w, expected.subtype, refs).body + "\x7F";  // one byte beyond
  std::unique_ptr<CDesignElement> dart =
      GetElementFactory().Create(ElementCode{kElementTypeConstruct, expected.subtype}, piece);
  ASSERT_NE(dart, nullptr);
  ArchiveReader archive{std::string_view(body)};
  ASSERT_TRUE(dart->Load(archive));
  EXPECT_EQ(archive.Position(), expected.bytes);
  EXPECT_EQ(archive.Remaining(), 1u);
}

TEST_P(EverySubtype, RefersToExactlyItsStoredReferencesAndReportsEachAsUsed) {
  const auto [expected, version] = GetParam();
  const DartLayout& layout = Layout(expected.subtype);
  // The last point, the first point again and the third: a reference may
  // repeat.
  SampleRefs refs;
  refs.points[0] = 3;
  refs.points[1] = 0;
  refs.points[2] = 3;
  SampleRefs design;
  DesignArchiveWriter w = Design(design, version);
  const auto data = LoadWhole(WithDart(w, SampleDartElement(w, expected.subtype, refs)));
  const CConstructElement* dart = FirstDart(*data);
  ASSERT_NE(dart, nullptr);

  std::vector<CGradedObject*> used;
  dart->GetUsedObjects(used);
  std::vector<CGradedObject*> wanted;
  for (int i = 0; i < layout.references; ++i) wanted.push_back(data->GetElementAt(refs.points[i]));
  EXPECT_EQ(used, wanted);
  for (int32_t i = 0; i < data->GetElementCount(); ++i) {
    const bool listed = i == 0 || i == 3;
    EXPECT_EQ(dart->RefersTo(data->GetElementAt(i)), listed ? TRUE : FALSE) << "object " << i;
  }
  EXPECT_FALSE(dart->RefersTo(nullptr));
}

TEST_P(EverySubtype, ReferencesToAnythingButAPointResolveToNone) {
  const auto [expected, version] = GetParam();
  const DartLayout& layout = Layout(expected.subtype);
  DartFields fields = SampleDartFields(layout, SampleRefs{});
  // A line, a curve and the text; then -1 and a position past the list.
  const int32_t wrong[] = {4, 6, 8, -1, 1000};
  for (int32_t position : wrong) {
    SCOPED_TRACE(position);
    for (int32_t& reference : fields.references) reference = position;
    CConstructElement* dart = nullptr;
    const auto data = LoadDart(expected.subtype, fields, &dart, version);
    ASSERT_NE(dart, nullptr);
    for (int i = 0; i < layout.references; ++i) EXPECT_EQ(dart->GetReference(i), nullptr) << "reference " << i;
    EXPECT_FALSE(dart->RefersTo(data->GetElementAt(position)));
    std::vector<CGradedObject*> used;
    dart->GetUsedObjects(used);
    EXPECT_EQ(used, std::vector<CGradedObject*>(static_cast<size_t>(layout.references), nullptr));
  }
}

TEST_P(EverySubtype, OnlyTheFlagWordReadsAStored2As1) {
  const auto [expected, version] = GetParam();
  const DartLayout& layout = Layout(expected.subtype);
  struct Case {
    int32_t stored;
    int32_t kept;
  };
  for (const Case c : {Case{2, 1}, Case{0, 0}, Case{1, 1}, Case{3, 3}, Case{-2, -2}}) {
    SCOPED_TRACE(c.stored);
    DartFields fields = SampleDartFields(layout, SampleRefs{});
    for (int32_t& word : fields.words) word = 2;  // every other word keeps its 2
    fields.words[static_cast<size_t>(layout.flag_word)] = c.stored;
    CConstructElement* dart = nullptr;
    const auto data = LoadDart(expected.subtype, fields, &dart, version);
    ASSERT_NE(dart, nullptr);
    for (int i = 0; i < layout.words; ++i) {
      EXPECT_EQ(dart->GetWord(i), i == layout.flag_word ? c.kept : 2) << "word " << i;
    }
  }
}

TEST_P(EverySubtype, EveryPrefixFailsWithoutALeak) {
  const auto [expected, version] = GetParam();
  SampleRefs refs;
  DesignArchiveWriter w = Design(refs, version);
  const std::string whole = WithDart(w, SampleDartElement(w, expected.subtype, refs));
  LoadWhole(whole);
  design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
}

// The record is the same at every version; 150 adds the element envelope's
// two words.
INSTANTIATE_TEST_SUITE_P(SubtypesAndVersions, EverySubtype,
                         ::testing::Combine(::testing::ValuesIn(kBytes), ::testing::Values(110, 149, 150, 162)));

// ---- Keeping hidden points --------------------------------------------------------

TEST_F(DartsTest, AHiddenPointUsedOnlyByADartSurvivesTheCleanUpAndUnusedItGoes) {
  for (const DartLayout& layout : kDartLayouts) {
    for (int slot = 0; slot < layout.references; ++slot) {
      SCOPED_TRACE(testing::Message() << "subtype " << layout.subtype << " reference " << slot);
      for (const bool used : {true, false}) {
        SampleRefs refs;
        DesignArchiveWriter w = Design(refs);
        FreePointFields hidden;
        hidden.state = 0;
        hidden.x = 7;
        const int at = w.AddFreePoint(hidden);
        DartFields fields = SampleDartFields(layout, refs);
        for (int32_t& reference : fields.references) reference = -1;
        if (used) fields.references[static_cast<size_t>(slot)] = at;
        const auto data = LoadWhole(WithDart(w, ElementFields{kDartElementType, layout.subtype, fields.Body()}));
        const CConstructElement* dart = FirstDart(*data);
        ASSERT_NE(dart, nullptr);
        if (used) {
          ASSERT_EQ(data->GetElementCount(), at + 1);
          EXPECT_EQ(data->GetElementAt(at)->GetState(), 0);
          EXPECT_EQ(Ref(*dart, slot), data->GetElementAt(at));
        } else {
          EXPECT_EQ(data->GetElementCount(), at);
        }
      }
    }
  }
}

// ---- Mark parameters --------------------------------------------------------------

TEST_F(DartsTest, TheFirstNineWordsAreTheMarkParameters) {
  DartFields fields = SampleDartFields(Layout(128), SampleRefs{});
  for (int i = 0; i < 9; ++i) fields.words[static_cast<size_t>(i)] = 11 + i;
  CConstructElement* dart = nullptr;
  const auto data = LoadDart(128, fields, &dart);
  ASSERT_NE(dart, nullptr);
  EXPECT_EQ(dart->GetMarkParams(), (CConstructElement::MarkParams{11, 12, 13, 14, 15, 16, 17, 18, 19}));
  CConstructElement::ExtraMarkParams extra;
  extra.fill(0);
  EXPECT_FALSE(dart->GetExtraMarkParams(extra));
  for (const auto& n : extra) EXPECT_FALSE(n.has_value());
}

TEST_F(DartsTest, Subtype256GivesN1ToN6FromWords10To15AndNoN7OrN8) {
  DartFields fields = SampleDartFields(Layout(256), SampleRefs{});
  for (int i = 0; i < 15; ++i) fields.words[static_cast<size_t>(i)] = i + 1;
  CConstructElement* dart = nullptr;
  const auto data = LoadDart(256, fields, &dart);
  ASSERT_NE(dart, nullptr);
  // Word 2 is the flag: its stored 2 reads 1.
  EXPECT_EQ(dart->GetMarkParams(), (CConstructElement::MarkParams{1, 1, 3, 4, 5, 6, 7, 8, 9}));
  CConstructElement::ExtraMarkParams extra;
  ASSERT_TRUE(dart->GetExtraMarkParams(extra));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(extra[static_cast<size_t>(i)], std::optional<int32_t>(10 + i)) << "N" << i + 1;
  EXPECT_FALSE(extra[6].has_value());
  EXPECT_FALSE(extra[7].has_value());
}

TEST_F(DartsTest, NoSubtypeBut256HasExtraMarkParameters) {
  for (const DartLayout& layout : kDartLayouts) {
    SCOPED_TRACE(layout.subtype);
    CConstructElement* dart = nullptr;
    const auto data = LoadDart(layout.subtype, SampleDartFields(layout, SampleRefs{}), &dart);
    ASSERT_NE(dart, nullptr);
    CConstructElement::ExtraMarkParams extra;
    EXPECT_EQ(dart->GetExtraMarkParams(extra) != 0, layout.subtype == 256);
  }
}

// ---- Sizes and malformed records --------------------------------------------------------

TEST_F(DartsTest, PerSizeRecordsFollowTheSizesAndRefuseAnIndexOutside) {
  for (const DartLayout& layout : kDartLayouts) {
    SCOPED_TRACE(layout.subtype);
    CConstructElement* dart = nullptr;
    const auto data = LoadDart(layout.subtype, SampleDartFields(layout, SampleRefs{}), &dart);
    ASSERT_NE(dart, nullptr);
    dart->InsertSize(2);
    for (int32_t count : RecordCounts(*dart)) EXPECT_EQ(count, 3);
    dart->InsertSize(7);
    dart->RemoveSize(-1);
    dart->RemoveSize(3);
    for (int32_t count : RecordCounts(*dart)) EXPECT_EQ(count, 3);
    EXPECT_EQ(dart->GetDirtyCount(), 3);
    dart->RemoveSize(0);
    for (int32_t count : RecordCounts(*dart)) EXPECT_EQ(count, 2);
  }
  CPerSizeRecords<CShapeRecord8> records(2);
  CShapeRecord8 record;
  record.points[0] = CPoint(5, 6);
  EXPECT_FALSE(records.Get(2, record));
  EXPECT_FALSE(records.Get(-1, record));
  EXPECT_EQ(record.points[0], CPoint(5, 6));
  EXPECT_FALSE(records.Set(2, record));
  ASSERT_TRUE(records.Set(1, record));
  CShapeRecord8 back;
  ASSERT_TRUE(records.Get(1, back));
  EXPECT_EQ(back.points[0], CPoint(5, 6));
}

TEST_F(DartsTest, AFormulaTermCountBeyondTheBytesLeftFailsAtOnce) {
  DartFields fields = SampleDartFields(Layout(256), SampleRefs{});
  // The second width's term count.
  fields.formulas.clear();
  const std::string first = FormulaFields::Constant(1).Bytes();
  std::string body = ArchiveBytes().I32(0).I32(1).I32(2).Raw(first).I32(0x7FFFFFFF).Bytes();
  body += std::string(400, '\0');
  SampleRefs refs;
  DesignArchiveWriter w = Design(refs);
  const std::string bytes = WithDart(w, ElementFields{kDartElementType, 256, body});
  const design_test::LoadedDesign loaded = design_test::LoadDesign(bytes, tables_.Tables());
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.data->GetLoadFailure().fault, DesignLoadFault::kMalformed);
}

TEST_F(DartsTest, ASubtypeWithoutAClassEndsTheLoadAndTheBaseReadsNothing) {
  for (const int32_t subtype : {0, 3, 1024}) {
    SCOPED_TRACE(subtype);
    SampleRefs refs;
    DesignArchiveWriter w = Design(refs);
    EXPECT_EQ(SampleDartElement(w, subtype, refs).type, 0);
    const std::string bytes = WithDart(w, ElementFields{kDartElementType, subtype, std::string(80, '\0')});
    const design_test::LoadedDesign loaded = design_test::LoadDesign(bytes, tables_.Tables());
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.data->GetLoadFailure().fault, DesignLoadFault::kUnknownCode);
  }
  CConstructElement base(nullptr, 3);
  const std::string body(80, '\0');
  ArchiveReader archive{std::string_view(body)};
  EXPECT_FALSE(base.Load(archive));
  EXPECT_EQ(archive.Position(), 0u);
  EXPECT_EQ(base.GetSubtype(), 3u);
}

TEST_F(DartsTest, ARecordCutShortLeavesTheDartAsItWas) {
  SampleRefs refs;
  DesignArchiveWriter w = Design(refs);
  const auto data = LoadWhole(Finish(w));
  CPatternRecord* piece = data->GetPieceAt(0);
  CConstructElement1 dart(piece);
  std::string body = SampleDartFields(Layout(1), refs).Body();
  body.pop_back();
  ArchiveReader archive{std::string_view(body)};
  EXPECT_FALSE(dart.Load(archive));
  EXPECT_EQ(dart.GetCentre(), nullptr);
  EXPECT_EQ(dart.GetApex(), nullptr);
  EXPECT_EQ(dart.GetWords(), std::vector<int32_t>(11, 0));
  EXPECT_EQ(RecordCounts(dart), (std::vector<int32_t>{2, 2}));
}

}  // namespace
