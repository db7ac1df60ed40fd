// The piece boundary with its seam entries (element type 1) and the notch
// (type 16): the bytes their records take at each version gate, where the
// stored fields land (the older seam widths and cut-off corners, the notch
// angle in radians), the references they resolve and report, hostile counts,
// designs cut short, and the loader's clean-up of hidden points they use.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/design_element.h"
#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/elements/boundary.h"
#include "design/elements/notch_element.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/boundary_records.h"

namespace {

using namespace design_fixture;
using design_test::Finish;

// The positions DesignToReferTo gives its objects.
SampleRefs Refs() {
  SampleRefs refs;
  for (int i = 0; i < 4; ++i) refs.points[i] = i;
  refs.lines[0] = 4;
  refs.lines[1] = 5;
  refs.curves[0] = 6;
  refs.curves[1] = 7;
  refs.text = 8;
  return refs;
}

class BoundaryAndNotchTest : public ::testing::Test {
 protected:
  static DesignArchiveWriter Design(int32_t version) {
    SampleRefs refs;
    return design_test::DesignToReferTo(version, refs);
  }

  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, tables_.Tables());
  }

  // `w` with one piece holding `element`, then the closing record.
  static std::string WithElement(DesignArchiveWriter& w, const ElementFields& element) {
    PatternRecordFields piece;
    piece.name = "P";
    piece.elements.push_back(element);
    w.AddRecord(piece);
    return Finish(w);
  }

  // The design of `version` with one piece holding the element, loaded
  // whole; `element` is the element read.
  template <class Element>
  std::unique_ptr<CPatternData> LoadOne(int32_t version, int32_t type, const std::string& body,
                                        const Element** element) const {
    DesignArchiveWriter w = Design(version);
    auto data = LoadWhole(WithElement(w, ElementFields{type, 0, body}));
    const CPatternRecord* piece = data->GetPieceAt(0);
    *element = nullptr;
    if (piece && piece->GetElementCount() == 1) {
      CPatternRecord::POSITION at = piece->GetFirstElementPosition();
      *element = dynamic_cast<const Element*>(piece->GetNextElement(at));
    }
    return data;
  }

  // Reads `body` as the element of `type` of a piece of the design of
  // `version`; `consumed` gets the bytes Load took.
  BOOL LoadBody(int32_t version, int32_t type, const std::string& body, size_t* consumed) const {
    DesignArchiveWriter w = Design(version);
    const auto data = LoadWhole(Finish(w));
    CPatternRecord piece(data.get());
    std::unique_ptr<CDesignElement> element = GetElementFactory().Create(ElementCode{type, 0}, &piece);
    if (!element) {
      ADD_FAILURE() << "no class for type " << type;
      return FALSE;
    }
    ArchiveReader archive{std::string_view(body)};
    const BOOL ok = element->Load(archive);
    *consumed = archive.Position();
    return ok;
  }

  design_test::StandInTables tables_;
};

// A point field seen as the graded object it names.
const CGradedObject* Obj(const CGradedPoint* point) { return point; }

// RefersTo of `element` answers TRUE for exactly the design's objects at
// `positions`, and GetUsedObjects lists exactly those.
void ExpectElementRefersExactlyTo(const CPatternData& data, const CDesignElement& element,
                                  const std::vector<int>& positions) {
  for (int32_t i = 0; i < data.GetElementCount(); ++i) {
    const bool listed = std::find(positions.begin(), positions.end(), i) != positions.end();
    EXPECT_EQ(element.RefersTo(data.GetElementAt(i)), listed ? TRUE : FALSE) << "object " << i;
  }
  EXPECT_FALSE(element.RefersTo(nullptr));
  std::vector<CGradedObject*> used;
  element.GetUsedObjects(used);
  std::vector<int> usedPositions = design_test::Positions(data, used);
  std::vector<int> wanted = positions;
  std::sort(usedPositions.begin(), usedPositions.end());
  usedPositions.erase(std::unique(usedPositions.begin(), usedPositions.end()), usedPositions.end());
  std::sort(wanted.begin(), wanted.end());
  EXPECT_EQ(usedPositions, wanted);
}

// ---- Bytes each record takes ------------------------------------------------------

struct SizeCase {
  const char* name;
  int32_t type;
  int32_t version;
  int32_t cornerKind;  // the boundary's seam entry
  size_t bytes;
};

// Four outline entries and one seam entry; the seam entry grows by the
// incoming width at 106 and by the corner parameter at 117, or before 117 for
// kind 10. The notch grows by its trailing word at 155.
const SizeCase kSizeCases[] = {
    {"boundary_v105", 1, 105, 1, 68},         {"boundary_v116", 1, 116, 1, 72},
    {"boundary_v116_kind10", 1, 116, 10, 76}, {"boundary_v117", 1, 117, 1, 76},
    {"notch_v105", 16, 105, 0, 64},           {"notch_v154", 16, 154, 0, 64},
    {"notch_v155", 16, 155, 0, 68},
};

class RecordSize : public BoundaryAndNotchTest, public ::testing::WithParamInterface<SizeCase> {
 protected:
  static std::string Body(const SizeCase& c) {
    const DesignArchiveWriter w(c.version);
    if (c.type == kNotchElementType) return SampleNotch(Refs()).Body(w);
    BoundaryFields b = SampleBoundary(Refs());
    b.seams[0].corner_kind = c.cornerKind;
    return b.Body(w);
  }
};

TEST_P(RecordSize, LoadTakesExactlyTheRecord) {
  const SizeCase& c = GetParam();
  const std::string body = Body(c);
  ASSERT_EQ(body.size(), c.bytes);
  size_t consumed = 0;
  EXPECT_TRUE(LoadBody(c.version, c.type, body, &consumed));
  EXPECT_EQ(consumed, c.bytes);
}

TEST_P(RecordSize, TheDesignHoldingItLoadsWholeAndEveryPrefixFails) {
  const SizeCase& c = GetParam();
  DesignArchiveWriter w = Design(c.version);
  const std::string whole = WithElement(w, ElementFields{c.type, 0, Body(c)});
  const auto data = LoadWhole(whole);
  ASSERT_EQ(data->GetPieceCount(), 2);
  EXPECT_EQ(data->GetPieceAt(0)->GetElementCount(), 1);
  design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
}

INSTANTIATE_TEST_SUITE_P(Records, RecordSize, ::testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoundaryAndNotchTest, TheSampleElementsOfTheGroupLoadWholeAndOtherTypesGiveNone) {
  for (int32_t version : {105, 150, 162}) {
    SCOPED_TRACE(version);
    DesignArchiveWriter w = Design(version);
    EXPECT_EQ(SampleBoundaryGroupElement(w, 2, Refs()).type, 0);
    PatternRecordFields piece;
    piece.name = "P";
    piece.elements = {SampleBoundaryGroupElement(w, 1, Refs()), SampleBoundaryGroupElement(w, 16, Refs())};
    w.AddRecord(piece);
    const auto data = LoadWhole(Finish(w));
    EXPECT_EQ(data->GetPieceAt(0)->GetElementCount(), 2);
  }
}

// ---- Where the fields land ------------------------------------------------------

TEST_F(BoundaryAndNotchTest, BoundaryEntriesResolveLinesCurvesAndPointsInFileOrder) {
  const CPieceBoundary* boundary = nullptr;
  const auto data = LoadOne(162, 1, SampleBoundary(Refs()).Body(DesignArchiveWriter(162)), &boundary);
  ASSERT_NE(boundary, nullptr);
  const std::vector<CBoundaryEntry>& entries = boundary->GetEntries();
  ASSERT_EQ(entries.size(), 4u);
  const int wanted[4][3] = {{4, 0, 1}, {6, 1, 2}, {5, 2, 3}, {7, 3, 0}};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].owner, boundary);
    EXPECT_EQ(entries[i].line, data->GetElementAt(wanted[i][0]));
    EXPECT_EQ(Obj(entries[i].startPoint), data->GetElementAt(wanted[i][1]));
    EXPECT_EQ(Obj(entries[i].endPoint), data->GetElementAt(wanted[i][2]));
  }
  ASSERT_EQ(boundary->GetSeamEntries().size(), 1u);
  const CSeamEntry& seam = boundary->GetSeamEntries()[0];
  EXPECT_EQ(seam.owner, boundary);
  EXPECT_EQ(Obj(seam.point), data->GetElementAt(0));
  EXPECT_EQ(seam.widthIn, 40);
  EXPECT_EQ(seam.widthOut, 60);
  EXPECT_EQ(seam.cornerKind, 10);
  EXPECT_EQ(seam.cornerParam, 25);
  EXPECT_TRUE(boundary->HasSeamAllowance());
  EXPECT_FALSE(boundary->HasNegativeSeamWidth());
  EXPECT_EQ(boundary->GetReversed(), 0);
}

struct SeamCase {
  const char* name;
  int32_t version;
  std::vector<SeamEntryFields> stored;
  std::vector<SeamEntryFields> held;  // point unused: widths, kind, parameter
};

// Kinds 8 and 9 are held as 12 with the incoming or outgoing width as the
// parameter, after the older files have taken each incoming width from the
// entry before (the first from the last).
const SeamCase kSeamCases[] = {
    {"v117_cut_corners_take_their_width", 117,
     {{0, 10, 20, 8, 99}, {1, 30, 40, 9, 99}, {2, 50, 60, 3, 7}},
     {{0, 10, 20, 12, 10}, {1, 30, 40, 12, 40}, {2, 50, 60, 3, 7}}},
    {"v116_param_only_for_kinds_10_and_11", 116,
     {{0, 10, 20, 10, 5}, {1, 30, 40, 11, 6}, {2, 50, 60, 2, 99}},
     {{0, 10, 20, 10, 5}, {1, 30, 40, 11, 6}, {2, 50, 60, 2, 0}}},
    {"v105_incoming_width_from_the_entry_before", 105,
     {{0, 0, 20, 1, 0}, {1, 0, 40, 8, 0}, {2, 0, 60, 9, 0}},
     {{0, 60, 20, 1, 0}, {1, 20, 40, 12, 20}, {2, 40, 60, 12, 60}}},
    {"v105_single_entry_takes_its_own_width", 105, {{0, 0, 30, 8, 0}}, {{0, 30, 30, 12, 30}}},
    {"v105_kind_11_keeps_its_param", 105, {{0, 0, 30, 11, 9}}, {{0, 30, 30, 11, 9}}},
};

class SeamEntries : public BoundaryAndNotchTest, public ::testing::WithParamInterface<SeamCase> {};

TEST_P(SeamEntries, HoldTheWidthsAndCornersTheFileMeans) {
  const SeamCase& c = GetParam();
  BoundaryFields b;
  b.seams = c.stored;
  const CPieceBoundary* boundary = nullptr;
  const auto data = LoadOne(c.version, 1, b.Body(DesignArchiveWriter(c.version)), &boundary);
  ASSERT_NE(boundary, nullptr);
  const std::vector<CSeamEntry>& seams = boundary->GetSeamEntries();
  ASSERT_EQ(seams.size(), c.held.size());
  for (size_t i = 0; i < seams.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Obj(seams[i].point), data->GetElementAt(c.stored[i].point));
    EXPECT_EQ(seams[i].widthIn, c.held[i].width_in);
    EXPECT_EQ(seams[i].widthOut, c.held[i].width_out);
    EXPECT_EQ(seams[i].cornerKind, c.held[i].corner_kind);
    EXPECT_EQ(seams[i].cornerParam, c.held[i].corner_param);
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, SeamEntries, ::testing::ValuesIn(kSeamCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoundaryAndNotchTest, TheFirstSeamEntryWithAWidthDecidesWhetherWidthsAreNegative) {
  struct Case {
    std::vector<SeamEntryFields> seams;
    bool negative;
  };
  const Case kCases[] = {
      {{}, false},
      {{{0, 0, 0, 1, 0}, {1, 0, -5, 1, 0}}, true},
      {{{0, 0, 0, 1, 0}, {1, 5, -5, 1, 0}}, true},
      {{{0, 5, 5, 1, 0}, {1, -5, -5, 1, 0}}, false},
      {{{0, 0, 0, 1, 0}}, false},
  };
  for (const Case& c : kCases) {
    BoundaryFields b;
    b.seams = c.seams;
    const CPieceBoundary* boundary = nullptr;
    const auto data = LoadOne(162, 1, b.Body(DesignArchiveWriter(162)), &boundary);
    ASSERT_NE(boundary, nullptr);
    EXPECT_EQ(boundary->HasNegativeSeamWidth() != 0, c.negative) << c.seams.size() << " entries";
    EXPECT_EQ(boundary->HasSeamAllowance() != 0, !c.seams.empty());
  }
}

TEST_F(BoundaryAndNotchTest, NotchFieldsLandAndTheOlderAngleInRadiansReadsInDegrees) {
  struct Case {
    int32_t version;
    double stored;
    double held;
  };
  const Case kCases[] = {{105, std::numbers::pi / 2, 90.0}, {105, -std::numbers::pi, -180.0}, {106, 90.0, 90.0},
                         {162, 12.5, 12.5}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    NotchFields n = SampleNotch(Refs());
    n.angle = c.stored;
    const CNotchElement* notch = nullptr;
    const auto data = LoadOne(c.version, 16, n.Body(DesignArchiveWriter(c.version)), &notch);
    ASSERT_NE(notch, nullptr);
    EXPECT_NEAR(notch->GetAngle(), c.held, 1e-9);
    EXPECT_EQ(Obj(notch->GetPointA()), data->GetElementAt(0));
    EXPECT_EQ(Obj(notch->GetPointB()), data->GetElementAt(1));
    EXPECT_EQ(notch->GetRatio(), 0.25);
    EXPECT_EQ(notch->GetOffset(), 30);
    EXPECT_EQ(notch->GetMode(), 1);
    EXPECT_EQ(notch->GetShapeKind(), 2);
    EXPECT_EQ(notch->GetLength(), 200);
    EXPECT_EQ(notch->GetWidth(), 40);
    for (int32_t i = 0; i < CNotchElement::kFlagCount; ++i) EXPECT_EQ(notch->GetFlag(i), i + 1);
    EXPECT_EQ(notch->GetFlag(-1), 0);
    EXPECT_EQ(notch->GetFlag(CNotchElement::kFlagCount), 0);
  }
}

TEST_F(BoundaryAndNotchTest, PerSizeListsHaveOneEntryPerSizeAndRefuseOthers) {
  const CPieceBoundary* boundary = nullptr;
  const auto d1 = LoadOne(162, 1, SampleBoundary(Refs()).Body(DesignArchiveWriter(162)), &boundary);
  const CNotchElement* notch = nullptr;
  const auto d2 = LoadOne(162, 16, SampleNotch(Refs()).Body(DesignArchiveWriter(162)), &notch);
  ASSERT_NE(boundary, nullptr);
  ASSERT_NE(notch, nullptr);
  ASSERT_EQ(d1->GetSizeCount(), 2);
  EXPECT_EQ(boundary->GetSizeListCount(), 2);
  EXPECT_EQ(notch->GetShapeCount(), 2);
  std::vector<CPoint> points = {CPoint(7, 7)};
  CShapeRecord6 shape;
  shape.points[0] = CPoint(7, 7);
  for (int32_t size : {-1, 2, INT32_MAX}) {
    EXPECT_FALSE(boundary->GetStoredOutline(size, points));
    EXPECT_FALSE(boundary->GetStoredSeamLine(size, points));
    EXPECT_FALSE(notch->GetOutlineShape(size, shape));
    EXPECT_FALSE(notch->GetSeamShape(size, shape));
  }
  EXPECT_EQ(points.size(), 1u);
  EXPECT_EQ(shape.points[0], CPoint(7, 7));
  EXPECT_TRUE(boundary->GetStoredOutline(1, points));
  EXPECT_TRUE(points.empty());
  EXPECT_TRUE(notch->GetSeamShape(1, shape));
  EXPECT_EQ(shape.points[0], CPoint(0, 0));
}

// ---- References -----------------------------------------------------------------

TEST_F(BoundaryAndNotchTest, EveryStoredReferenceCountsAndNothingElse) {
  const CPieceBoundary* boundary = nullptr;
  BoundaryFields b;
  b.entries = {{4, 0, 1}, {7, 1, -1}};
  b.seams = {{2, 1, 1, 1, 0}};
  const auto d1 = LoadOne(162, 1, b.Body(DesignArchiveWriter(162)), &boundary);
  ASSERT_NE(boundary, nullptr);
  ExpectElementRefersExactlyTo(*d1, *boundary, {4, 0, 1, 7, 2});

  const CNotchElement* notch = nullptr;
  NotchFields n;
  n.point_a = 3;
  n.point_b = 1;
  const auto d2 = LoadOne(162, 16, n.Body(DesignArchiveWriter(162)), &notch);
  ASSERT_NE(notch, nullptr);
  ExpectElementRefersExactlyTo(*d2, *notch, {3, 1});
}

TEST_F(BoundaryAndNotchTest, ReferencesOfTheWrongKindResolveToNone) {
  // An entry's line may be a line or a curve but not a point or the text; a
  // point field takes neither a line, a curve nor the text.
  BoundaryFields b;
  b.entries = {{0, 4, 6}, {8, 8, 5}, {6, 2, 3}, {99, -7, 9}};
  b.seams = {{4, 1, 1, 1, 0}, {6, 1, 1, 1, 0}, {8, 1, 1, 1, 0}};
  const CPieceBoundary* boundary = nullptr;
  const auto d1 = LoadOne(162, 1, b.Body(DesignArchiveWriter(162)), &boundary);
  ASSERT_NE(boundary, nullptr);
  const std::vector<CBoundaryEntry>& entries = boundary->GetEntries();
  ASSERT_EQ(entries.size(), 4u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(entries[i].line, nullptr) << i;
    EXPECT_EQ(entries[i].startPoint, nullptr) << i;
    EXPECT_EQ(entries[i].endPoint, nullptr) << i;
  }
  EXPECT_EQ(entries[2].line, d1->GetElementAt(6));
  EXPECT_EQ(entries[3].line, nullptr);
  for (const CSeamEntry& seam : boundary->GetSeamEntries()) EXPECT_EQ(seam.point, nullptr);
  ExpectElementRefersExactlyTo(*d1, *boundary, {6, 2, 3});

  NotchFields n;
  n.point_a = 5;
  n.point_b = 8;
  const CNotchElement* notch = nullptr;
  const auto d2 = LoadOne(162, 16, n.Body(DesignArchiveWriter(162)), &notch);
  ASSERT_NE(notch, nullptr);
  EXPECT_EQ(notch->GetPointA(), nullptr);
  EXPECT_EQ(notch->GetPointB(), nullptr);
  ExpectElementRefersExactlyTo(*d2, *notch, {});
}

struct CleanUpCase {
  const char* name;
  int32_t type;
};

class BoundaryHiddenPointUse : public BoundaryAndNotchTest, public ::testing::WithParamInterface<CleanUpCase> {
 protected:
  // The element of the case with the hidden point at `hidden` as its only
  // use of it (-1: the element does not use it).
  static ElementFields Element(int32_t type, int32_t hidden, const DesignArchiveWriter& w) {
    if (type == kNotchElementType) {
      NotchFields n;
      n.point_a = 0;
      n.point_b = hidden;
      return ElementFields{type, 0, n.Body(w)};
    }
    BoundaryFields b;
    if (std::string(GetParam().name) == "seam_point") {
      b.seams = {{hidden, 1, 1, 1, 0}};
    } else {
      b.entries = {{4, 0, hidden}};
    }
    return ElementFields{type, 0, b.Body(w)};
  }
};

TEST_P(BoundaryHiddenPointUse, KeepsAHiddenPointThatOnlyTheElementUses) {
  for (const bool used : {true, false}) {
    SCOPED_TRACE(used);
    DesignArchiveWriter w = Design(162);
    FreePointFields hidden;
    hidden.state = 0;
    hidden.x = 77;
    const int at = w.AddFreePoint(hidden);
    const auto data = LoadWhole(WithElement(w, Element(GetParam().type, used ? at : -1, w)));
    ASSERT_EQ(data->GetElementCount(), used ? at + 1 : at);
    if (!used) continue;
    const CGradedObject* point = data->GetElementAt(at);
    EXPECT_EQ(point->GetState(), 0);
    CPatternRecord::POSITION pos = data->GetPieceAt(0)->GetFirstElementPosition();
    EXPECT_TRUE(data->GetPieceAt(0)->GetNextElement(pos)->RefersTo(point));
  }
}

INSTANTIATE_TEST_SUITE_P(Uses, BoundaryHiddenPointUse,
                         ::testing::Values(CleanUpCase{"notch_point_b", 16}, CleanUpCase{"entry_end", 1},
                                           CleanUpCase{"seam_point", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Hostile counts -------------------------------------------------------------

TEST_F(BoundaryAndNotchTest, CountsTheBytesLeftCannotHoldFailAtOnce) {
  struct Case {
    const char* name;
    bool entries;  // else the seam count
    int32_t count;
    int32_t version;
  };
  // After the entry count, 72 bytes are left at v162: six entries of twelve
  // bytes could be there, seven cannot. After the seam count, one seam entry
  // of 12 (v105), 16 (v116) or 20 bytes (v117).
  const Case kCases[] = {
      {"entries_max", true, INT32_MAX, 162}, {"entries_beyond_the_bytes_left", true, 7, 162},
      {"seams_max", false, INT32_MAX, 162},  {"seams_one_too_many_v105", false, 2, 105},
      {"seams_one_too_many_v116", false, 2, 116}, {"seams_one_too_many_v117", false, 2, 117},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const DesignArchiveWriter w(c.version);
    BoundaryFields b = SampleBoundary(Refs());
    (c.entries ? b.entry_count : b.seam_count) = c.count;
    const std::string body = b.Body(w);
    size_t consumed = 0;
    EXPECT_FALSE(LoadBody(c.version, 1, body, &consumed));
    // Stopped at the count, before any entry was read.
    EXPECT_EQ(consumed, c.entries ? 4u : 4u + 4u * 12u + 4u);
  }
}

TEST_F(BoundaryAndNotchTest, CountsOfZeroOrLessReadNothing) {
  for (const int32_t count : {0, -1, INT32_MIN}) {
    SCOPED_TRACE(count);
    BoundaryFields b;
    b.entry_count = count;
    b.seam_count = count;
    const CPieceBoundary* boundary = nullptr;
    const auto data = LoadOne(162, 1, b.Body(DesignArchiveWriter(162)), &boundary);
    ASSERT_NE(boundary, nullptr);
    EXPECT_TRUE(boundary->GetEntries().empty());
    EXPECT_TRUE(boundary->GetSeamEntries().empty());
    EXPECT_FALSE(boundary->HasSeamAllowance());
  }
}

}  // namespace
