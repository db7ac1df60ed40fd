// The two-point line (object kind 2) and the point, line, curve and mark
// elements of a pattern record: the bytes each record takes at the version
// gates, where the stored fields land, what each refers to (the line's link
// never counts, yet keeps a hidden point alive), references of the wrong
// kind, and designs cut short.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/design_element.h"
#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/curves/graded_line.h"
#include "design/elements/mark_element.h"
#include "design/elements/reference_elements.h"
#include "design/points/graded_point.h"
#include "model/style.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/line_records.h"

namespace {

using namespace design_fixture;
using design_test::Finish;
using design_test::StandInCurve;

// Not the style's default scale, so that a mark's default extent shows
// which scale it took.
constexpr int32_t kScale = 25;
// Positions of the design that Design() writes.
constexpr int kLine0 = 4;
constexpr int kLine1 = 5;
constexpr int kCurve0 = 6;
constexpr int kText = 8;

// The registered classes (the real line among them) with the stand-in curve
// for the curve kinds, which have no class here.
class LineTables {
 public:
  LineTables() {
    DesignTables::Registered();
    m_Objects.Register(kObjectKindLine,
                       [](CPatternData* owner) { return GetObjectKindFactory().Create(kObjectKindLine, owner); });
    m_Objects.Register(kObjectKindText,
                       [](CPatternData* owner) { return GetObjectKindFactory().Create(kObjectKindText, owner); });
    for (int32_t kind = design_test::kFirstCurveKind; kind <= design_test::kLastCurveKind; ++kind) {
      m_Curves.Register(kind, [](CPatternData* owner) -> std::unique_ptr<CGradedObject> {
        return std::make_unique<StandInCurve>(owner);
      });
    }
  }
  DesignTables Tables() const { return DesignTables{m_Objects, GetPointKindFactory(), m_Curves, GetElementFactory()}; }

 private:
  ObjectKindFactory m_Objects;
  CurveKindFactory m_Curves;
};

class LineGroupTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearStyle(); }

  // Two sizes; four free points, two lines through points 0-1 and 2-3, two
  // curves on the same pairs and a text, in that order: the positions Refs()
  // names.
  static DesignArchiveWriter Design(int32_t version) {
    DesignArchiveWriter w(version);
    w.header().scale = kScale;
    w.AddSize({"M", 0, 0});
    w.AddSize({"L", 0, 0});
    w.SetBaseSize(0);
    for (int i = 0; i < 4; ++i) w.AddFreePoint(100 * i, 10 * i);
    for (int first : {0, 2}) {
      LineFields line;
      line.through1 = line.end1 = first;
      line.through2 = line.end2 = first + 1;
      w.AddObject(kLineObjectKind, 0, line.Body(w));
    }
    design_test::AddStandInCurve(w, {0, 1});
    design_test::AddStandInCurve(w, {2, 3});
    ArchiveFont font;
    font.face = "Song";
    w.AddText(5, 5, "T", font);
    return w;
  }
  static SampleRefs Refs() {
    SampleRefs refs;
    for (int i = 0; i < 4; ++i) refs.points[i] = i;
    refs.lines[0] = kLine0;
    refs.lines[1] = kLine1;
    refs.curves[0] = kCurve0;
    refs.curves[1] = kCurve0 + 1;
    refs.text = kText;
    return refs;
  }
  std::unique_ptr<CPatternData> LoadWhole(const std::string& bytes) const {
    return design_test::LoadWhole(bytes, tables_.Tables());
  }
  // The design with one record holding `elements` before the closing one.
  std::unique_ptr<CPatternData> LoadWithElements(DesignArchiveWriter& w, std::vector<ElementFields> elements) const {
    PatternRecordFields piece;
    piece.name = "P";
    piece.elements = std::move(elements);
    w.AddRecord(piece);
    return LoadWhole(Finish(w));
  }
  static const CDesignElement* FirstElement(const CPatternData& data) {
    CPatternRecord::POSITION at = data.GetPieceAt(0)->GetFirstElementPosition();
    return data.GetPieceAt(0)->GetNextElement(at);
  }

  LineTables tables_;
};

// RefersTo of the element answers TRUE for exactly the objects at
// `positions`, and GetUsedObjects lists exactly those (nulls aside).
void ExpectElementRefersExactlyTo(const CPatternData& data, const CDesignElement& element,
                                  const std::vector<int>& positions) {
  std::vector<CGradedObject*> used;
  element.GetUsedObjects(used);
  std::vector<int> usedPositions;
  for (const CGradedObject* object : used) {
    if (object) usedPositions.push_back(data.GetElementIndex(object));
  }
  std::vector<int> wanted;
  for (int p : positions) {
    if (p >= 0) wanted.push_back(p);
  }
  EXPECT_EQ(usedPositions, wanted);
  for (int32_t i = 0; i < data.GetElementCount(); ++i) {
    const bool listed = std::find(wanted.begin(), wanted.end(), i) != wanted.end();
    EXPECT_EQ(element.RefersTo(data.GetElementAt(i)), listed ? TRUE : FALSE) << "object " << i;
  }
  EXPECT_FALSE(element.RefersTo(nullptr));
}

// ---- Bytes each record takes ------------------------------------------------------

struct LineBytesCase {
  int32_t version;
  size_t bytes;
};

class LineBytes : public LineGroupTest, public ::testing::WithParamInterface<LineBytesCase> {};

TEST_P(LineBytes, LoadTakesTheWholeRecordAndNoMore) {
  const LineBytesCase c = GetParam();
  DesignArchiveWriter w(c.version);
  const std::string body = LineFields{}.Body(w) + "tail";
  CPatternData data;
  data.SetVersion(c.version);
  CGradedLine line(&data, 0, 0, 1);
  ArchiveReader archive{std::string_view(body)};
  ASSERT_TRUE(line.Load(archive));
  EXPECT_EQ(archive.Position(), c.bytes);

  // Cut one byte short, the record fails.
  CGradedLine cut(&data, 0, 0, 1);
  ArchiveReader shorter{std::string_view(body).substr(0, c.bytes - 1)};
  EXPECT_FALSE(cut.Load(shorter));
}

INSTANTIATE_TEST_SUITE_P(Versions, LineBytes,
                         ::testing::Values(LineBytesCase{102, 16}, LineBytesCase{103, 24}, LineBytesCase{105, 26},
                                           LineBytesCase{109, 30}, LineBytesCase{114, 34}));

struct ElementBytesCase {
  int32_t type;
  int32_t version;
  size_t bytes;
};

class ElementBytes : public LineGroupTest, public ::testing::WithParamInterface<ElementBytesCase> {};

TEST_P(ElementBytes, LoadTakesTheWholeRecordAndNoMore) {
  const ElementBytesCase c = GetParam();
  DesignArchiveWriter w(c.version);
  const std::string body = SampleLineGroupElement(w, c.type, Refs()).body + "tail";
  CPatternData data;
  data.SetVersion(c.version);
  CPatternRecord record(&data);
  for (size_t cut : {c.bytes - 1, body.size()}) {
    std::unique_ptr<CDesignElement> element = GetElementFactory().Create({c.type, 0}, &record);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->GetType(), c.type);
    ArchiveReader archive{std::string_view(body).substr(0, cut)};
    const bool whole = cut >= c.bytes;
    EXPECT_EQ(element->Load(archive) != 0, whole) << cut << " bytes";
    if (whole) {
      EXPECT_EQ(archive.Position(), c.bytes);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(TypesAndVersions, ElementBytes,
                         ::testing::Values(ElementBytesCase{kCurveElementType, 110, 18},
                                           ElementBytesCase{kLineElementType, 110, 14},
                                           ElementBytesCase{kPointElementType, 110, 6},
                                           ElementBytesCase{kMarkElementType, 110, 28},
                                           ElementBytesCase{kMarkElementType, 111, 36},
                                           ElementBytesCase{kMarkElementType, 112, 44},
                                           ElementBytesCase{kMarkElementType, 162, 44}));

// ---- The line's fields -------------------------------------------------------------

struct LineFieldsCase {
  int32_t version;
  uint16_t status;      // as read
  int32_t attribute1;   // as read
  int32_t attribute2;   // as read
  bool storedEnds;      // the stored ends are kept (else the through points)
};

class LineLoads : public LineGroupTest, public ::testing::WithParamInterface<LineFieldsCase> {};

TEST_P(LineLoads, FieldsLandWhereTheVersionStoresThem) {
  const LineFieldsCase c = GetParam();
  DesignArchiveWriter w = Design(c.version);
  ExpectedReferences expected;
  const int at = AddSampleLine(w, Refs(), expected);
  const auto data = LoadWhole(Finish(w));
  const auto* line = dynamic_cast<const CGradedLine*>(data->GetElementAt(at));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->GetKind(), kObjectKindLine);
  EXPECT_EQ(line->GetState(), 1);
  EXPECT_EQ(line->GetStatus(), c.status);
  EXPECT_EQ(line->GetAttribute1(), c.attribute1);
  EXPECT_EQ(line->GetAttribute2(), c.attribute2);

  CGradedPoint* a = nullptr;
  CGradedPoint* b = nullptr;
  line->GetThroughRefs(&a, &b);
  EXPECT_EQ(a, data->GetElementAt(0));
  EXPECT_EQ(b, data->GetElementAt(1));
  line->GetStoredEnds(&a, &b);
  EXPECT_EQ(a, data->GetElementAt(c.storedEnds ? 2 : 0));
  EXPECT_EQ(b, data->GetElementAt(c.storedEnds ? 3 : 1));
  // A loaded line stays full: it is drawn between its through points.
  EXPECT_TRUE(line->IsFull());
  line->GetEndRefs(&a, &b);
  EXPECT_EQ(a, data->GetElementAt(0));
  EXPECT_EQ(b, data->GetElementAt(1));

  // The link is the text, kept in the root's slot where the container looks.
  EXPECT_TRUE(line->HasLink());
  EXPECT_EQ(line->GetLink(), data->GetElementAt(kText));
  EXPECT_TRUE(line->IsLinkedTo(data->GetElementAt(kText)));
  EXPECT_FALSE(line->IsLinkedTo(nullptr));
  EXPECT_TRUE(data->IsLinkTarget(data->GetElementAt(kText)));
  EXPECT_EQ(line->GetStoredId(4), kText);

  // GetReferences: the through points; RefersTo and the users: the ends
  // too, never the link.
  CGradedObjectList references;
  ASSERT_TRUE(line->GetReferences(references));
  EXPECT_EQ(design_test::Positions(*data, references), expected);
  const std::vector<int> refersTo = c.storedEnds ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{0, 1};
  design_test::ExpectRefersExactlyTo(*data, *line, refersTo);
  CGradedObjectList used;
  line->GetUsedObjects(used);
  const std::vector<int> usedPositions = c.storedEnds ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{0, 1, 0, 1};
  EXPECT_EQ(design_test::Positions(*data, used), usedPositions);
}

// 102: no ends; 103 and 105: stored ends ignored; 104: status; 109:
// attribute 1 and the ends; 114: attribute 2; 150: the leading words.
INSTANTIATE_TEST_SUITE_P(Versions, LineLoads,
                         ::testing::Values(LineFieldsCase{102, 0, 0, 1, false}, LineFieldsCase{103, 0, 0, 1, false},
                                           LineFieldsCase{105, 3, 0, 1, false}, LineFieldsCase{109, 3, 7, 1, true},
                                           LineFieldsCase{113, 3, 7, 1, true}, LineFieldsCase{114, 3, 7, 2, true},
                                           LineFieldsCase{150, 3, 7, 2, true}));

TEST_F(LineGroupTest, LineReferencesOfTheWrongKindResolveToNoneButTheLinkTakesAnyObject) {
  DesignArchiveWriter w = Design(114);
  LineFields f;
  f.through1 = kLine1;   // a line where a point belongs
  f.through2 = kCurve0;  // a curve
  f.end1 = kText;        // a text
  f.end2 = 999;          // past the list
  f.link = kCurve0;
  const int at = w.AddObject(kLineObjectKind, 0, f.Body(w));
  LineFields outside;
  outside.link = 999;
  const int unlinked = w.AddObject(kLineObjectKind, 0, outside.Body(w));
  const auto data = LoadWhole(Finish(w));

  const auto* line = dynamic_cast<const CGradedLine*>(data->GetElementAt(at));
  ASSERT_NE(line, nullptr);
  design_test::ExpectRefersExactlyTo(*data, *line, {});
  EXPECT_EQ(line->GetLink(), data->GetElementAt(kCurve0));
  EXPECT_FALSE(line->IsThrough(nullptr, nullptr));

  const auto* none = dynamic_cast<const CGradedLine*>(data->GetElementAt(unlinked));
  ASSERT_NE(none, nullptr);
  EXPECT_FALSE(none->HasLink());
}

// ---- The clean-up after loading ------------------------------------------------------

struct KeptCase {
  const char* name;
  int32_t version;
  LineFields line;  // names the hidden point 0 in some role, or not at all
  bool kept;        // point 0 survives
};

class LineGroupHiddenPointUse : public LineGroupTest, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(LineGroupHiddenPointUse, DecidesWhetherTheCleanUpKeepsIt) {
  const KeptCase c = GetParam();
  // Point 0 hidden, point 1 shown; the line is the only other object.
  DesignArchiveWriter w(c.version);
  w.AddSize({"M", 0, 0});
  w.SetBaseSize(0);
  FreePointFields hidden;
  hidden.state = 0;
  w.AddFreePoint(hidden);
  w.AddFreePoint(FreePointFields{});
  w.AddObject(kLineObjectKind, 0, c.line.Body(w));
  const auto data = LoadWhole(Finish(w));
  ASSERT_EQ(data->GetElementCount(), c.kept ? 3 : 2);
  const CGradedObject* first = data->GetElementAt(0);
  EXPECT_EQ(first->GetState(), c.kept ? 0 : 1);
}

// A line through point 1 twice, with point 0 in the roles given (else 1).
LineFields Named(int32_t through1, int32_t end1, int32_t link) {
  LineFields f;
  f.through1 = through1;
  f.through2 = 1;
  f.end1 = end1;
  f.end2 = 1;
  f.link = link;
  return f;
}

std::string CaseName(const ::testing::TestParamInfo<KeptCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Roles, LineGroupHiddenPointUse,
                         ::testing::Values(KeptCase{"Unused", 114, Named(1, 1, -1), false},
                                           KeptCase{"ThroughPoint", 114, Named(0, 1, -1), true},
                                           KeptCase{"EndOnly", 114, Named(1, 0, -1), true},
                                           KeptCase{"StoredEndIgnoredBelow109", 108, Named(1, 0, -1), false},
                                           KeptCase{"LinkOnly", 114, Named(1, 1, 0), true},
                                           KeptCase{"LinkOnlyAt102", 102, Named(1, 1, 0), true}),
                         CaseName);

// ---- Elements --------------------------------------------------------------------------

struct ElementRefsCase {
  int32_t type;
  std::vector<int> refers;  // positions, in GetUsedObjects order
};

class ElementRefs : public LineGroupTest, public ::testing::WithParamInterface<ElementRefsCase> {};

TEST_P(ElementRefs, EveryStoredReferenceCounts) {
  const ElementRefsCase c = GetParam();
  DesignArchiveWriter w = Design(112);
  const auto data = LoadWithElements(w, {SampleLineGroupElement(w, c.type, Refs())});
  const CDesignElement* element = FirstElement(*data);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->GetType(), c.type);
  ExpectElementRefersExactlyTo(*data, *element, c.refers);
}

INSTANTIATE_TEST_SUITE_P(Types, ElementRefs,
                         ::testing::Values(ElementRefsCase{kMarkElementType, {0}},
                                           ElementRefsCase{kPointElementType, {1}},
                                           ElementRefsCase{kLineElementType, {0, 2}},
                                           ElementRefsCase{kCurveElementType, {0, 1, kCurve0}}));

TEST_F(LineGroupTest, ElementFieldsLandWhereStored) {
  DesignArchiveWriter w = Design(150);
  const SampleRefs refs = Refs();
  const auto data = LoadWithElements(w, {SampleLineGroupElement(w, kMarkElementType, refs),
                                         SampleLineGroupElement(w, kPointElementType, refs),
                                         SampleLineGroupElement(w, kLineElementType, refs),
                                         SampleLineGroupElement(w, kCurveElementType, refs)});
  const CPatternRecord& record = *data->GetPieceAt(0);
  ASSERT_EQ(record.GetElementCount(), 4);
  CPatternRecord::POSITION at = record.GetFirstElementPosition();
  const auto* mark = dynamic_cast<const CMarkElement*>(record.GetNextElement(at));
  const auto* point = dynamic_cast<const CPiecePointElement*>(record.GetNextElement(at));
  const auto* line = dynamic_cast<const CPieceLineElement*>(record.GetNextElement(at));
  const auto* curve = dynamic_cast<const CPieceCurveElement*>(record.GetNextElement(at));
  ASSERT_TRUE(mark && point && line && curve);

  EXPECT_EQ(mark->GetAnchor(), data->GetElementAt(0));
  const MarkParams& m = mark->GetParams();
  EXPECT_EQ(m.shapeKind, 4);
  EXPECT_EQ(m.code2, 1);
  EXPECT_EQ(m.size, 20);
  EXPECT_EQ(m.width, 80);
  EXPECT_EQ(m.height, 40);
  EXPECT_DOUBLE_EQ(m.angle, 30.0);

  EXPECT_EQ(point->GetAttribute(), 1);
  EXPECT_EQ(point->GetRef(), data->GetElementAt(1));

  CGradedPoint* first = nullptr;
  CGradedPoint* second = nullptr;
  EXPECT_EQ(line->GetLineType(), 2);
  line->GetRefs(&first, &second);
  EXPECT_EQ(first, data->GetElementAt(0));
  EXPECT_EQ(second, data->GetElementAt(2));

  CGradedObject* curveRef = nullptr;
  EXPECT_EQ(curve->GetLineType(), 1);
  curve->GetRefs(&curveRef, &first, &second);
  EXPECT_EQ(curveRef, data->GetElementAt(kCurve0));
  EXPECT_EQ(first, data->GetElementAt(0));
  EXPECT_EQ(second, data->GetElementAt(1));
  EXPECT_EQ(curve->GetSectionCount(), data->GetSizeCount());
}

TEST_F(LineGroupTest, AV110MarkIsFiveMillimetresWideAndHighAndUnturned) {
  DesignArchiveWriter w = Design(110);
  MarkFields f;
  f.anchor = 0;
  f.width = 1;  // not stored at 110
  f.angle = 45.0;
  const auto data = LoadWithElements(w, {ElementFields{kMarkElementType, 0, f.Body(w)}});
  const auto* mark = dynamic_cast<const CMarkElement*>(FirstElement(*data));
  ASSERT_NE(mark, nullptr);
  // The default size comes from the program's style, whatever the
  // design's scale.
  EXPECT_EQ(mark->GetParams().width, 5 * g_Style.GetScale());
  EXPECT_EQ(mark->GetParams().height, 5 * g_Style.GetScale());
  EXPECT_EQ(mark->GetParams().angle, 0.0);
}

TEST_F(LineGroupTest, ElementReferencesOfTheWrongKindResolveToNone) {
  DesignArchiveWriter w = Design(114);
  MarkFields mark;
  mark.anchor = kLine0;
  PointElementFields point;
  point.point = kCurve0;
  LineElementFields line;
  line.first = kText;
  line.second = 999;
  CurveElementFields curve;
  curve.curve = 0;  // a point where the curve belongs
  curve.first = kCurve0;
  curve.second = -1;
  const auto data = LoadWithElements(w, {ElementFields{kMarkElementType, 0, mark.Body(w)},
                                         ElementFields{kPointElementType, 0, point.Body()},
                                         ElementFields{kLineElementType, 0, line.Body()},
                                         ElementFields{kCurveElementType, 0, curve.Body()}});
  const CPatternRecord& record = *data->GetPieceAt(0);
  CPatternRecord::POSITION at = record.GetFirstElementPosition();
  while (const CDesignElement* element = record.GetNextElement(at)) {
    ExpectElementRefersExactlyTo(*data, *element, {});
  }
}

TEST_F(LineGroupTest, AHiddenPointThatOnlyAnElementNamesSurvivesTheCleanUp) {
  for (int32_t type : {kMarkElementType, kPointElementType, kLineElementType, kCurveElementType}) {
    // Two hidden points after a shown one; only the element names the first
    // of them (position 1).
    DesignArchiveWriter w(114);
    w.header().scale = kScale;
    w.AddSize({"M", 0, 0});
    w.SetBaseSize(0);
    FreePointFields shown;
    FreePointFields hidden;
    hidden.state = 0;
    SampleRefs refs;
    refs.points[0] = refs.points[1] = w.AddFreePoint(shown);
    refs.points[2] = w.AddFreePoint(hidden);
    w.AddFreePoint(hidden);
    refs.curves[0] = design_test::AddStandInCurve(w, {refs.points[0]});
    if (type == kMarkElementType) refs.points[0] = refs.points[2];
    if (type == kPointElementType) refs.points[1] = refs.points[2];
    if (type == kCurveElementType) refs.points[1] = refs.points[2];
    const auto data = LoadWithElements(w, {SampleLineGroupElement(w, type, refs)});
    // The unused hidden point went; the one the element names stayed.
    EXPECT_EQ(data->GetElementCount(), 3) << "type " << type;
    EXPECT_TRUE(FirstElement(*data)->RefersTo(data->GetElementAt(1))) << "type " << type;
  }
}

TEST_F(LineGroupTest, SampleOfAnotherTypeIsTypeZero) {
  DesignArchiveWriter w(114);
  EXPECT_EQ(SampleLineGroupElement(w, 8, Refs()).type, 0);
}

TEST_F(LineGroupTest, EveryPrefixFails) {
  for (int32_t version : {102, 110, 114, 150}) {
    DesignArchiveWriter w = Design(version);
    ExpectedReferences expected;
    AddSampleLine(w, Refs(), expected);
    PatternRecordFields piece;
    piece.name = "P";
    for (int32_t type : {kMarkElementType, kPointElementType, kLineElementType, kCurveElementType}) {
      piece.elements.push_back(SampleLineGroupElement(w, type, Refs()));
    }
    w.AddRecord(piece);
    const std::string whole = Finish(w);
    LoadWhole(whole);
    design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
  }
}

}  // namespace
