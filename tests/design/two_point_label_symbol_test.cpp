// The two-point element, the label and the nine symbol kinds: the bytes each
// record takes across the version gates, where each stored field lands, the
// point references they keep (a two-point element only as a pair), references
// of the wrong kind, the loader's clean-up of hidden points, and designs cut
// short.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "design/core/design_element.h"
#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/elements/symbol_elements.h"
#include "design/elements/two_point_elements.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/symbol_records.h"

namespace {

using namespace design_fixture;
using design_test::Finish;

// The positions DesignToReferTo gives its objects: points 0 to 3, lines 4
// and 5, curves 6 and 7, the text 8.
constexpr int kLine = 4;
constexpr int kCurve = 6;
constexpr int kText = 8;

class TwoPointLabelSymbolTest : public ::testing::Test {
 protected:
  static DesignArchiveWriter Design(int32_t version) {
    SampleRefs refs;
    return design_test::DesignToReferTo(version, refs);
  }
  static SampleRefs Refs() { return design_test::RefsOfDesignToReferTo(); }

  // Loads `w` with one record (before the closing one) holding `elements`;
  // the whole file must be read.
  std::unique_ptr<CPatternData> LoadWith(DesignArchiveWriter& w, std::vector<ElementFields> elements) const {
    PatternRecordFields record;
    record.name = "P";
    record.elements = std::move(elements);
    w.AddRecord(record);
    return design_test::LoadWhole(Finish(w), tables_.Tables());
  }

  // The element at `index` of the first record.
  template <class Element>
  static Element* ElementAt(const CPatternData& data, int index) {
    const CPatternRecord* record = data.GetPieceAt(0);
    if (!record) return nullptr;
    CPatternRecord::POSITION position = record->GetFirstElementPosition();
    CDesignElement* element = nullptr;
    for (int i = 0; i <= index; ++i) element = record->GetNextElement(position);
    return dynamic_cast<Element*>(element);
  }

  design_test::StandInTables tables_;
};

// ---- Bytes each record takes ------------------------------------------------------

struct BytesCase {
  const char* name;
  int32_t version;
  int32_t type;
  int32_t subtype;
  size_t bytes;
};

const BytesCase kBytesCases[] = {
    {"two_point_v120", 120, 2, 0, 16}, {"two_point_v121", 121, 2, 0, 64}, {"two_point_v122", 122, 2, 0, 72},
    {"label", 122, 8, 0, 45},          {"symbol1", 122, 1024, 1, 24},     {"symbol2", 122, 1024, 2, 24},
    {"symbol4", 122, 1024, 4, 32},     {"symbol8", 122, 1024, 8, 32},     {"symbol16", 122, 1024, 16, 32},
    {"symbol32", 122, 1024, 32, 28},   {"symbol64", 122, 1024, 64, 20},   {"symbol128", 122, 1024, 128, 24},
    {"symbol256", 122, 1024, 256, 20},
};

class BytesConsumed : public TwoPointLabelSymbolTest, public ::testing::WithParamInterface<BytesCase> {};

// With three sizes: the sample loads whole inside a design, and its own Load
// takes exactly the listed bytes of its record.
TEST_P(BytesConsumed, LoadTakesExactlyTheRecord) {
  const BytesCase& c = GetParam();
  DesignArchiveWriter w = Design(c.version);
  w.AddSize({"XL", 0, 0});
  const ElementFields sample = SampleSymbolGroupElement(w, c.type, c.subtype, Refs());
  ASSERT_EQ(sample.type, c.type);
  const auto data = LoadWith(w, {sample});
  ASSERT_EQ(data->GetSizeCount(), 3);
  CPatternRecord* record = data->GetPieceAt(0);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(record->GetElementCount(), 1);

  const auto element = GetElementFactory().Create(ElementCode{c.type, c.subtype}, record);
  ASSERT_NE(element, nullptr);
  ArchiveReader archive{std::string_view(sample.body)};
  ASSERT_TRUE(element->Load(archive));
  EXPECT_EQ(archive.Position(), c.bytes);
  EXPECT_EQ(archive.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Records, BytesConsumed, ::testing::ValuesIn(kBytesCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TwoPointLabelSymbolTest, EveryCodeOfTheGroupHasItsClassAndNoOther) {
  DesignTables::Registered();
  const ElementFactory& factory = GetElementFactory();
  EXPECT_TRUE(factory.IsRegistered(ElementCode{2, 0}));
  EXPECT_TRUE(factory.IsRegistered(ElementCode{8, 0}));
  for (const SymbolKind& kind : kSymbolKinds) {
    const auto symbol = factory.Create(ElementCode{1024, kind.subtype}, nullptr);
    const auto* typed = dynamic_cast<const CSymbolElem*>(symbol.get());
    ASSERT_NE(typed, nullptr) << kind.subtype;
    EXPECT_EQ(typed->GetType(), 1024);
    EXPECT_EQ(typed->GetSubCode(), static_cast<uint32_t>(kind.subtype));
    EXPECT_EQ(typed->GetIntParams().size(), static_cast<size_t>(kind.words));
  }
  EXPECT_FALSE(factory.IsRegistered(ElementCode{1024, 3}));
  EXPECT_FALSE(factory.IsRegistered(ElementCode{1024, 512}));
}

// ---- Two-point element -------------------------------------------------------------

TEST_F(TwoPointLabelSymbolTest, TwoPointSizePairsAndReferencesFollowTheVersion) {
  struct Case {
    int32_t version;
    bool perSize;
    bool references;
  };
  const Case kCases[] = {{120, false, false}, {121, true, false}, {122, true, true}, {162, true, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.version);
    DesignArchiveWriter w = Design(c.version);
    const auto data = LoadWith(w, {SampleSymbolGroupElement(w, 2, 0, Refs())});
    const auto* element = ElementAt<CTwoPointElement>(*data, 0);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->GetPointA(), CPoint(10, 20));
    EXPECT_EQ(element->GetPointB(), CPoint(30, 40));
    EXPECT_EQ(static_cast<CGradedObject*>(element->GetRefA()), c.references ? data->GetElementAt(0) : nullptr);
    EXPECT_EQ(static_cast<CGradedObject*>(element->GetRefB()), c.references ? data->GetElementAt(1) : nullptr);
    ASSERT_EQ(element->GetSizePointCount(), 2);
    for (int32_t size = 0; size < 2; ++size) {
      CPoint start, end;
      ASSERT_TRUE(element->GetSizePoints(size, &start, &end));
      EXPECT_EQ(start, c.perSize ? CPoint(size, 100 + size) : CPoint(10, 20));
      EXPECT_EQ(end, c.perSize ? CPoint(200 + size, 300 + size) : CPoint(30, 40));
    }
    CPoint untouched(-7, -7);
    EXPECT_FALSE(element->GetSizePoints(2, &untouched, nullptr));
    EXPECT_FALSE(element->GetSizePoints(-1, &untouched, nullptr));
    EXPECT_EQ(untouched, CPoint(-7, -7));
  }
}

// Only a pair of construction points ties the element; one alone, or a pair
// with an object of another kind, loads as a free element.
TEST_F(TwoPointLabelSymbolTest, TwoPointKeepsReferencesOnlyAsAPairOfPoints) {
  struct Case {
    const char* name;
    int32_t refA;
    int32_t refB;
    std::vector<int> expected;
  };
  const Case kCases[] = {
      {"both points", 2, 3, {2, 3}},    {"A only", 2, -1, {}},        {"B only", -1, 3, {}},
      {"A a line", kLine, 3, {}},       {"B a curve", 2, kCurve, {}}, {"A the text", kText, 3, {}},
      {"B beyond the list", 2, 99, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DesignArchiveWriter w = Design(122);
    TwoPointElementFields f;
    f.ref_a = c.refA;
    f.ref_b = c.refB;
    const auto data = LoadWith(w, {ElementFields{2, 0, f.Body(w)}});
    const auto* element = ElementAt<CTwoPointElement>(*data, 0);
    ASSERT_NE(element, nullptr);

    CGradedObjectList references;
    ASSERT_TRUE(element->GetReferences(references));
    EXPECT_EQ(design_test::Positions(*data, references), c.expected);
    std::vector<CGradedObject*> used;
    element->GetUsedObjects(used);
    EXPECT_EQ(used, references);
    for (int32_t i = 0; i < data->GetElementCount(); ++i) {
      const bool listed = std::find(c.expected.begin(), c.expected.end(), i) != c.expected.end();
      EXPECT_EQ(element->RefersTo(data->GetElementAt(i)), listed ? TRUE : FALSE) << "object " << i;
    }
    EXPECT_FALSE(element->RefersTo(nullptr));
  }
}

// An inserted size copies the base size's pair (size 0 here); a removed one
// takes its pair with it; an index outside the pairs changes nothing.
TEST_F(TwoPointLabelSymbolTest, TwoPointSizePairsFollowInsertedAndRemovedSizes) {
  DesignArchiveWriter w = Design(122);
  const auto data = LoadWith(w, {SampleSymbolGroupElement(w, 2, 0, Refs())});
  auto* element = ElementAt<CTwoPointElement>(*data, 0);
  ASSERT_NE(element, nullptr);
  element->InsertSize(2);
  element->InsertSize(4);
  element->InsertSize(-1);
  ASSERT_EQ(element->GetSizePointCount(), 3);
  EXPECT_EQ(element->GetDirtyCount(), 3);
  CPoint start, end;
  ASSERT_TRUE(element->GetSizePoints(2, &start, &end));
  EXPECT_EQ(start, CPoint(0, 100));
  EXPECT_EQ(end, CPoint(200, 300));
  element->RemoveSize(0);
  element->RemoveSize(3);
  ASSERT_EQ(element->GetSizePointCount(), 2);
  ASSERT_TRUE(element->GetSizePoints(0, &start, &end));
  EXPECT_EQ(start, CPoint(1, 101));
}

TEST_F(TwoPointLabelSymbolTest, ASizeInsertedWithoutSizesGetsAStrokeFromTheOrigin) {
  CPatternData data;
  CPatternRecord record(&data);
  CTwoPointElement element(&record, CPoint(5, 6), CPoint(7, 8));
  ASSERT_EQ(element.GetSizePointCount(), 0);
  element.InsertSize(0);
  CPoint start, end;
  ASSERT_TRUE(element.GetSizePoints(0, &start, &end));
  EXPECT_EQ(start, CPoint(0, 0));
  EXPECT_EQ(end, CPoint(0, 1000));
}

// ---- Label ---------------------------------------------------------------------

TEST_F(TwoPointLabelSymbolTest, LabelKeepsTheStoredBytesAndMeasuresItsBox) {
  DesignArchiveWriter w = Design(122);
  LabelElementFields gbk;
  gbk.x = -5, gbk.y = 7;
  gbk.text = "\xD6\xD0\xCE\xC4\r\nA";  // two GBK characters over one ASCII line
  gbk.font.height = 10;
  gbk.font.escapement = 900;
  gbk.font.weight = 700;
  gbk.font.char_set = 134;
  gbk.font.face = std::string(40, 'F');
  const auto data = LoadWith(w, {SampleSymbolGroupElement(w, 8, 0, Refs()), ElementFields{8, 0, gbk.Body()}});

  // "AB" 20 high at (50, 60): the fixed metrics give 10 per byte, 20 a line.
  const auto* sample = ElementAt<CLabelElement>(*data, 0);
  ASSERT_NE(sample, nullptr);
  CPoint position;
  CString text;
  LOGFONT font;
  sample->GetText(position, text, font);
  EXPECT_EQ(position, CPoint(50, 60));
  EXPECT_EQ(text, CString("AB"));
  EXPECT_EQ(font.lfHeight, 20);
  EXPECT_STREQ(font.lfFaceName, "Arial");
  const std::array<CPoint, 4> box = {CPoint(50, 60), CPoint(70, 60), CPoint(70, 80), CPoint(50, 80)};
  EXPECT_EQ(sample->GetTextBox(), box);
  EXPECT_FALSE(sample->RefersTo(data->GetElementAt(0)));

  // Two characters of 10 (two bytes of 5 each) over two lines 10 high: 20 by
  // 20, turned a quarter, so that the width runs up (minus y) and the height
  // along plus x.
  const auto* turned = ElementAt<CLabelElement>(*data, 1);
  ASSERT_NE(turned, nullptr);
  turned->GetText(position, text, font);
  EXPECT_EQ(std::string(text.view()), gbk.text);
  EXPECT_EQ(font.lfEscapement, 900);
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_EQ(font.lfCharSet, 134);
  EXPECT_EQ(std::string(font.lfFaceName), std::string(31, 'F'));
  const std::array<CPoint, 4> turnedBox = {CPoint(-5, 7), CPoint(-5, -13), CPoint(15, -13), CPoint(15, 7)};
  EXPECT_EQ(turned->GetTextBox(), turnedBox);
}

// ---- Symbols -------------------------------------------------------------------

// Each kind's named parameters in the order the record stores them.
struct SymbolNamesCase {
  int32_t subtype;
  std::function<std::vector<int32_t>(const CDesignElement&)> named;
};

template <class Symbol>
const Symbol& As(const CDesignElement& element) {
  return dynamic_cast<const Symbol&>(element);
}

const SymbolNamesCase kSymbolNames[] = {
    {1,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem1>(e).GetParams();
       return std::vector{p.length, p.width, p.offset};
     }},
    {2,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem2>(e).GetParams();
       return std::vector{p.a, p.radius, p.c};
     }},
    {4,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem4>(e).GetParams();
       return std::vector{p.offset, p.radius, p.length, p.boxLength, p.boxWidth};
     }},
    {8,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem8>(e).GetParams();
       return std::vector{p.offset, p.radius, p.length, p.barWidth, p.barDistance};
     }},
    {16,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem16>(e).GetParams();
       return std::vector{p.offset, p.radius, p.length, p.stemWidth, p.barWidth};
     }},
    {32,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem32>(e).GetParams();
       return std::vector{p.offset, p.radius, p.length, p.barWidth};
     }},
    {64,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem64>(e).GetParams();
       return std::vector{p.length, p.offset};
     }},
    {128,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem128>(e).GetParams();
       return std::vector{p.length, p.width, p.offset};
     }},
    {256,
     [](const CDesignElement& e) {
       auto p = As<CSymbolElem256>(e).GetParams();
       return std::vector{p.a, p.b};
     }},
};

TEST_F(TwoPointLabelSymbolTest, SymbolsNameTheirWordsInStoredOrder) {
  for (const SymbolNamesCase& c : kSymbolNames) {
    SCOPED_TRACE(c.subtype);
    DesignArchiveWriter w = Design(122);
    SymbolElementFields f;
    f.anchor = 3;
    f.words = SampleSymbolWords(c.subtype);
    f.angle = -45.25;
    const auto data = LoadWith(w, {ElementFields{1024, c.subtype, f.Body()}});
    auto* symbol = ElementAt<CSymbolElem>(*data, 0);
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol->GetSubCode(), static_cast<uint32_t>(c.subtype));
    EXPECT_EQ(static_cast<CGradedObject*>(symbol->GetAnchor()), data->GetElementAt(3));
    EXPECT_EQ(symbol->GetAngle(), -45.25);
    EXPECT_EQ(c.named(*symbol), f.words);
    for (int32_t i = 0; i < data->GetElementCount(); ++i) {
      EXPECT_EQ(symbol->RefersTo(data->GetElementAt(i)), i == 3 ? TRUE : FALSE) << "object " << i;
    }
    std::vector<CGradedObject*> used;
    symbol->GetUsedObjects(used);
    EXPECT_EQ(used, std::vector<CGradedObject*>{data->GetElementAt(3)});

    ASSERT_EQ(symbol->GetShapeCount(), 2);
    CSymbolShape shape;
    EXPECT_TRUE(symbol->GetStoredShape(1, &shape));
    EXPECT_FALSE(symbol->GetStoredShape(2, &shape));
    EXPECT_FALSE(symbol->GetStoredShape(-1, &shape));
    symbol->InsertSize(0);
    symbol->InsertSize(9);
    EXPECT_EQ(symbol->GetShapeCount(), 3);
    EXPECT_EQ(symbol->GetDirtyCount(), 3);
    ASSERT_TRUE(symbol->GetStoredShape(2, &shape));
    EXPECT_EQ(shape, CSymbolShape(shape.size()));
    symbol->RemoveSize(1);
    EXPECT_EQ(symbol->GetShapeCount(), 2);
  }
}

TEST_F(TwoPointLabelSymbolTest, ASymbolAnchorOfAnotherKindResolvesToNone) {
  for (int anchor : {-1, kLine, kCurve, kText, 99}) {
    SCOPED_TRACE(anchor);
    DesignArchiveWriter w = Design(122);
    SymbolElementFields f;
    f.anchor = anchor;
    f.words = SampleSymbolWords(1);
    const auto data = LoadWith(w, {ElementFields{1024, 1, f.Body()}});
    const auto* symbol = ElementAt<CSymbolElem1>(*data, 0);
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol->GetAnchor(), nullptr);
    std::vector<CGradedObject*> used;
    symbol->GetUsedObjects(used);
    EXPECT_TRUE(used.empty());
  }
}

// ---- The loader's clean-up ----------------------------------------------------------

// A hidden point survives the clean-up while an element of the group uses it;
// one that a two-point element names without its partner goes.
TEST_F(TwoPointLabelSymbolTest, AHiddenPointStaysOnlyWhileAnElementUsesIt) {
  struct Case {
    const char* name;
    bool kept;
    std::function<ElementFields(const DesignArchiveWriter&, int hidden)> element;
  };
  const Case kCases[] = {
      {"two-point A", true,
       [](const DesignArchiveWriter& w, int hidden) {
         TwoPointElementFields f;
         f.ref_a = hidden;
         f.ref_b = 1;
         return ElementFields{2, 0, f.Body(w)};
       }},
      {"two-point B", true,
       [](const DesignArchiveWriter& w, int hidden) {
         TwoPointElementFields f;
         f.ref_a = 0;
         f.ref_b = hidden;
         return ElementFields{2, 0, f.Body(w)};
       }},
      {"two-point A alone", false,
       [](const DesignArchiveWriter& w, int hidden) {
         TwoPointElementFields f;
         f.ref_a = hidden;
         return ElementFields{2, 0, f.Body(w)};
       }},
      {"symbol anchor", true,
       [](const DesignArchiveWriter&, int hidden) {
         SymbolElementFields f;
         f.anchor = hidden;
         f.words = SampleSymbolWords(256);
         return ElementFields{1024, 256, f.Body()};
       }},
      {"label", false,
       [](const DesignArchiveWriter&, int) {
         return ElementFields{8, 0, LabelElementFields{}.Body()};
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DesignArchiveWriter w = Design(122);
    FreePointFields hiddenPoint;
    hiddenPoint.x = 777;
    hiddenPoint.state = 0;
    const int hidden = w.AddFreePoint(hiddenPoint);
    const int objects = hidden + 1;
    const auto data = LoadWith(w, {c.element(w, hidden)});
    EXPECT_EQ(data->GetElementCount(), c.kept ? objects : objects - 1);
    const CDesignElement* element = ElementAt<CDesignElement>(*data, 0);
    ASSERT_NE(element, nullptr);
    if (c.kept) {
      EXPECT_TRUE(element->RefersTo(data->GetElementAt(hidden)));
    }
    if (const auto* twoPoint = dynamic_cast<const CTwoPointElement*>(element); twoPoint && !c.kept) {
      EXPECT_EQ(twoPoint->GetRefA(), nullptr);
      EXPECT_EQ(twoPoint->GetRefB(), nullptr);
    }
  }
}

// ---- Designs cut short -----------------------------------------------------------------

TEST_F(TwoPointLabelSymbolTest, EveryPrefixOfTheGroupFailsWithoutALeak) {
  for (int32_t version : {120, 122}) {
    SCOPED_TRACE(version);
    DesignArchiveWriter w = Design(version);
    std::vector<ElementFields> elements = {SampleSymbolGroupElement(w, 2, 0, Refs()),
                                           SampleSymbolGroupElement(w, 8, 0, Refs())};
    for (const SymbolKind& kind : kSymbolKinds)
      elements.push_back(SampleSymbolGroupElement(w, 1024, kind.subtype, Refs()));
    PatternRecordFields record;
    record.name = "P";
    record.elements = elements;
    w.AddRecord(record);
    const std::string whole = Finish(w);
    const auto data = design_test::LoadWhole(whole, tables_.Tables());
    ASSERT_EQ(data->GetPieceAt(0)->GetElementCount(), static_cast<int32_t>(elements.size()));
    design_test::ExpectEveryPrefixFails(whole, tables_.Tables());
  }
}

// A symbol whose record stops inside its words or angle fails the load and
// is not kept.
TEST_F(TwoPointLabelSymbolTest, ASymbolCutShortFailsTheLoad) {
  DesignArchiveWriter w = Design(122);
  SymbolElementFields f;
  f.anchor = 0;
  f.words = {1, 2};  // kind 4 stores five words
  PatternRecordFields record;
  record.name = "P";
  record.elements = {ElementFields{1024, 4, f.Body()}};
  w.AddRecord(record);
  const design_test::LoadedDesign loaded = design_test::LoadDesign(w.Bytes(), tables_.Tables());
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.data->GetLoadFailure().fault, DesignLoadFault::kMalformed);
  const CPatternRecord* piece = loaded.data->GetPieceAt(0);
  if (piece) {
    EXPECT_EQ(piece->GetElementCount(), 0);
  }
}

}  // namespace
