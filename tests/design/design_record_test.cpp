// The pattern record (one design piece): its archive record at each data
// version, cut short at every byte, with an element type that has no class,
// with a hostile element count; the reference point; the element list; and
// the operations that reach every element.
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/design_element.h"
#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "platform/archive.h"
#include "tests/design_writer/archive_writer.h"

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::DesignArchiveWriter;
using design_fixture::ElementFields;
using design_fixture::PatternRecordFields;

int g_LiveElements = 0;

// An element that reads one int32 (its marker) as its record, and keeps a
// log of what the record asked of it.
class TestElement : public CDesignElement {
 public:
  TestElement(CPatternRecord* owner, int32_t type) : CDesignElement(owner, type) { ++g_LiveElements; }
  ~TestElement() override { --g_LiveElements; }

  BOOL Load(ArchiveReader& archive) override { return archive.ReadI32(marker) ? TRUE : FALSE; }
  BOOL RefersTo(const CGradedObject* object) const override {
    ++refersToCalls;
    return object != nullptr && object == ref;
  }
  BOOL Calculate(int32_t size) override {
    calculated.push_back(size);
    ClearDirty(size);
    return TRUE;
  }

  int32_t marker = 0;
  const CGradedObject* ref = nullptr;
  mutable int refersToCalls = 0;
  std::vector<int32_t> calculated;
};

template <int32_t Type>
std::unique_ptr<CDesignElement> Make(CPatternRecord* owner) {
  return std::make_unique<TestElement>(owner, Type);
}

// A table of test elements, apart from the process-wide one: codes 1, 2, 128
// and 256 without a subtype, (32, 4), (64, 2) and (1024, 8) with one.
ElementFactory& TestFactory() {
  static ElementFactory table = [] {
    ElementFactory t;
    t.Register({1, 0}, &Make<1>);
    t.Register({2, 0}, &Make<2>);
    t.Register({128, 0}, &Make<128>);
    t.Register({256, 0}, &Make<256>);
    t.Register({32, 4}, &Make<32>);
    t.Register({64, 2}, &Make<64>);
    t.Register({1024, 8}, &Make<1024>);
    return t;
  }();
  return table;
}

ElementFields Element(int32_t type, int32_t subtype, int32_t marker) {
  ElementFields e;
  e.type = type;
  e.subtype = subtype;
  e.body = ArchiveBytes().I32(marker).Bytes();
  // Non-zero, so that a reader that takes them for the type code shows.
  e.lead_word = 0xDEADBEEF;
  e.lead_int = 77;
  return e;
}

// The bytes of one pattern record as the writer lays it out at `version`:
// the file with the record, less the same file without it. Below version
// 150 the file ends with the records; from 150 on the (empty) stored pieces
// follow them: a scale, five empty names and two zero counts.
std::string RecordBytes(int32_t version, const PatternRecordFields& record) {
  DesignArchiveWriter without(version);
  DesignArchiveWriter with(version);
  with.AddRecord(record);
  const std::string a = with.Bytes();
  const std::string b = without.Bytes();
  const size_t trailer = version >= 150 ? 4 + 5 + 8 : 0;
  return a.substr(b.size() - trailer, a.size() - b.size());
}

// A design with three sizes and, at positions 0, 1 and 2, a point, a line
// and a point.
struct Design {
  Design() {
    data.InsertSize(0, "S", 0, 0);
    data.InsertSize(1, "M", 0, 0);
    data.InsertSize(2, "L", 0, 0);
    point0 = data.AddElement(std::make_unique<CGradedObject>(kObjectKindPoint, &data, 0));
    line1 = data.AddElement(std::make_unique<CGradedObject>(kObjectKindLine, &data, 0));
    point2 = data.AddElement(std::make_unique<CGradedObject>(kObjectKindPoint, &data, 0));
  }
  CPatternData data;
  CGradedObject* point0;
  CGradedObject* line1;
  CGradedObject* point2;
};

BOOL LoadRecord(CPatternRecord& record, const std::string& bytes) {
  ArchiveReader archive{std::string_view(bytes)};
  return record.Load(archive, TestFactory());
}

std::vector<TestElement*> ElementsOf(const CPatternRecord& record) {
  std::vector<TestElement*> out;
  CPatternRecord::POSITION pos = record.GetFirstElementPosition();
  while (pos) out.push_back(static_cast<TestElement*>(record.GetNextElement(pos)));
  return out;
}

PatternRecordFields FullRecord() {
  PatternRecordFields r;
  r.name = "Front";
  r.annotation = "Cut 2";
  r.text3 = "third";
  r.quantity = 4;
  r.category = "Body";
  r.p1x = -5;
  r.p1y = 6;
  r.p2x = 70;
  r.p2y = -80;
  r.option1 = 11;
  r.option2 = 12;
  r.flag = 13;
  r.option3 = 14;
  r.double_value = 2.5;
  r.option4 = 15;
  r.ref_point = 2;
  r.elements = {Element(1, 0, 101), Element(32, 4, 102), Element(64, 2, 103), Element(1024, 8, 104),
                Element(128, 0, 105)};
  return r;
}

TEST(PatternRecord, DefaultsOfAnEmptyPiece) {
  CPatternData data;
  CPatternRecord record(&data);
  EXPECT_EQ(record.GetPatternData(), &data);
  EXPECT_EQ(record.GetQuantity(), 1);
  EXPECT_EQ(record.GetOption2(), 2);
  EXPECT_EQ(record.GetOption1() | record.GetFlag() | record.GetOption3() | record.GetOption4(), 0);
  EXPECT_EQ(record.GetRefPoint(), nullptr);
  EXPECT_EQ(record.GetElementCount(), 0);
  EXPECT_FALSE(record.GetFirstElementPosition());
  EXPECT_TRUE(record.GetPieceName().IsEmpty());
}

TEST(PatternRecord, LoadsEveryFieldAtEachVersion) {
  // 149 has no leading words and no pair in front of each element; 150 adds
  // both; 152, 153, 159 and 161 add leading words; 162 stores the quantity
  // as text; 163 reads as 162. The versions just before each gate are in
  // the list too, so that a gate moved by one shows.
  for (int32_t version : {149, 150, 151, 152, 153, 158, 159, 160, 161, 162, 163}) {
    SCOPED_TRACE(version);
    Design design;
    design.data.SetVersion(version);
    CPatternRecord record(&design.data);
    ASSERT_TRUE(LoadRecord(record, RecordBytes(version, FullRecord())));
    EXPECT_EQ(record.GetPieceName().str(), "Front");
    EXPECT_EQ(record.GetAnnotation().str(), "Cut 2");
    EXPECT_EQ(record.GetText3().str(), "third");
    EXPECT_EQ(record.GetQuantity(), 4);
    EXPECT_EQ(record.GetCategory().str(), "Body");
    CPoint p1, p2;
    record.GetPoints(p1, p2);
    EXPECT_EQ(p1, CPoint(-5, 6));
    EXPECT_EQ(p2, CPoint(70, -80));
    EXPECT_EQ(record.GetOption1(), 11);
    EXPECT_EQ(record.GetOption2(), 12);
    EXPECT_EQ(record.GetFlag(), 13);
    EXPECT_EQ(record.GetOption3(), 14);
    EXPECT_EQ(record.GetDoubleValue(), 2.5);
    EXPECT_EQ(record.GetOption4(), 15);
    EXPECT_EQ(record.GetRefPoint(), design.point2);

    const std::vector<TestElement*> elements = ElementsOf(record);
    ASSERT_EQ(elements.size(), 5u);
    const int32_t kTypes[] = {1, 32, 64, 1024, 128};
    for (size_t i = 0; i < elements.size(); ++i) {
      EXPECT_EQ(elements[i]->GetType(), kTypes[i]);
      EXPECT_EQ(elements[i]->marker, 101 + static_cast<int32_t>(i));
      EXPECT_EQ(elements[i]->GetOwner(), &record);
      EXPECT_EQ(elements[i]->GetDirtyCount(), 3);
    }
  }
}

TEST(PatternRecord, QuantityStoredAsText) {
  struct Case {
    const char* text;
    int32_t quantity;
  };
  const Case kCases[] = {{"3", 3},          {"", 0},       {" 12 pieces", 12},
                         {"-2", -2},        {"x7", 0},     {"99999999999", INT32_MAX},
                         {"-99999999999", INT32_MIN}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    PatternRecordFields given;
    given.quantity_text = c.text;
    CPatternData data;
    data.SetVersion(162);
    CPatternRecord record(&data);
    ASSERT_TRUE(LoadRecord(record, RecordBytes(162, given)));
    EXPECT_EQ(record.GetQuantity(), c.quantity);
  }
}

TEST(PatternRecord, HandWrittenVersion162RecordMatchesTheWriter) {
  // The record as laid out by hand, field by field, so that a mistake the
  // loader and the writer shared would show.
  ArchiveBytes bytes;
  bytes.U32(0);                          // leading word (150)
  bytes.U32(0).U32(0);                   // two words (152)
  bytes.Double(0).Double(0).U32(0);      // two doubles and a word (153)
  bytes.I32(0);                          // a word (159)
  bytes.I32(0);                          // a word (161)
  bytes.CStr("P").CStr("").CStr("t3").CStr("3").CStr("cat");
  bytes.Point(1, 2).Point(3, 4);
  bytes.I32(5).I32(6).I32(7).I32(8).Double(0.5).I32(9).I32(0).I32(0);
  bytes.I32(1);                                   // one element
  bytes.U32(0xDEADBEEF).I32(77).I32(32).I32(4);   // pair, type, subtype
  bytes.I32(55);                                  // its body

  PatternRecordFields given;
  given.name = "P";
  given.text3 = "t3";
  given.quantity = 3;
  given.category = "cat";
  given.p1x = 1;
  given.p1y = 2;
  given.p2x = 3;
  given.p2y = 4;
  given.option1 = 5;
  given.option2 = 6;
  given.flag = 7;
  given.option3 = 8;
  given.double_value = 0.5;
  given.option4 = 9;
  given.ref_point = 0;
  given.elements = {Element(32, 4, 55)};
  EXPECT_EQ(RecordBytes(162, given), bytes.Bytes());

  Design design;
  design.data.SetVersion(162);
  CPatternRecord record(&design.data);
  ASSERT_TRUE(LoadRecord(record, bytes.Bytes()));
  EXPECT_EQ(record.GetQuantity(), 3);
  EXPECT_EQ(record.GetRefPoint(), design.point0);
  ASSERT_EQ(record.GetElementCount(), 1);
  EXPECT_EQ(ElementsOf(record)[0]->marker, 55);
}

TEST(PatternRecord, ReferencePointMustBeAConstructionPoint) {
  struct Case {
    int32_t index;
    bool resolves;
  };
  // 1 names a line; 3 and INT32_MAX lie outside the list.
  const Case kCases[] = {{0, true}, {2, true}, {1, false}, {-1, false}, {3, false}, {INT32_MAX, false},
                         {INT32_MIN, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.index);
    Design design;
    design.data.SetVersion(150);
    PatternRecordFields given;
    given.ref_point = c.index;
    CPatternRecord record(&design.data);
    ASSERT_TRUE(LoadRecord(record, RecordBytes(150, given)));
    EXPECT_EQ(record.GetRefPoint(), c.resolves ? design.data.GetElementAt(c.index) : nullptr);
  }
}

TEST(PatternRecord, EveryCutOfTheRecordFailsWithoutLeaking) {
  for (int32_t version : {149, 150, 153, 161, 162}) {
    SCOPED_TRACE(version);
    const std::string bytes = RecordBytes(version, FullRecord());
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      SCOPED_TRACE(cut);
      Design design;
      design.data.SetVersion(version);
      {
        CPatternRecord record(&design.data);
        EXPECT_FALSE(LoadRecord(record, bytes.substr(0, cut)));
        EXPECT_LE(record.GetElementCount(), 4);
      }
      EXPECT_EQ(g_LiveElements, 0);
    }
  }
}

TEST(PatternRecord, ElementWithoutClassFailsTheLoadAndKeepsTheNamedPiece) {
  struct Case {
    int32_t type;
    int32_t subtype;
  };
  // Type 3 is no element type; 32, 64 and 1024 carry a subtype that has no
  // class here; 4 has no class in the test table.
  const Case kCases[] = {{3, 0}, {4, 0}, {0, 0}, {-1, 0}, {32, 1024}, {64, 4}, {1024, 3}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.type << "/" << c.subtype);
    PatternRecordFields given;
    given.name = "Sleeve";
    given.elements = {Element(1, 0, 1), Element(c.type, c.subtype, 2), Element(2, 0, 3)};
    CPatternData data;
    data.SetVersion(150);
    {
      CPatternRecord record(&data);
      EXPECT_FALSE(LoadRecord(record, RecordBytes(150, given)));
      // The piece can still be named in the failure's message; the elements
      // read whole before the unknown one stay with it.
      EXPECT_EQ(record.GetPieceName().str(), "Sleeve");
      ASSERT_EQ(record.GetElementCount(), 1);
      EXPECT_EQ(ElementsOf(record)[0]->marker, 1);
    }
    EXPECT_EQ(g_LiveElements, 0);
  }
}

TEST(PatternRecord, ProcessTableIsTheDefault) {
  // Without a table the record asks the process-wide one, which knows no
  // type 3.
  PatternRecordFields given;
  given.elements = {Element(3, 0, 1)};
  CPatternData data;
  data.SetVersion(150);
  CPatternRecord record(&data);
  const std::string bytes = RecordBytes(150, given);
  ArchiveReader archive{std::string_view(bytes)};
  EXPECT_FALSE(record.Load(archive));
  EXPECT_EQ(record.GetElementCount(), 0);
}

TEST(PatternRecord, ElementCountBeyondTheBytesLeftIsRefusedBeforeAnythingIsMade) {
  for (int32_t version : {149, 150}) {
    SCOPED_TRACE(version);
    PatternRecordFields given;
    given.elements = {Element(1, 0, 1), Element(1, 0, 2)};
    std::string bytes = RecordBytes(version, given);
    // Two elements of 8 (16 from version 150) bytes each follow the count.
    const size_t elementBytes = version >= 150 ? 16 : 8;
    const size_t countAt = bytes.size() - 2 * elementBytes - 4;
    for (int32_t count : {3, 1000, INT32_MAX}) {
      SCOPED_TRACE(count);
      std::string patched = bytes;
      for (int i = 0; i < 4; ++i) patched[countAt + i] = static_cast<char>(static_cast<uint32_t>(count) >> (8 * i));
      CPatternData data;
      data.SetVersion(version);
      CPatternRecord record(&data);
      EXPECT_FALSE(LoadRecord(record, patched));
      // 3 elements could fit in 8-byte envelopes below 150; the third one's
      // body is then missing.
      EXPECT_LE(record.GetElementCount(), 2);
    }
    // A count of 0 or less reads no element.
    for (int32_t count : {0, -1, INT32_MIN}) {
      SCOPED_TRACE(count);
      std::string patched = bytes.substr(0, countAt + 4);
      for (int i = 0; i < 4; ++i) patched[countAt + i] = static_cast<char>(static_cast<uint32_t>(count) >> (8 * i));
      CPatternData data;
      data.SetVersion(version);
      CPatternRecord record(&data);
      EXPECT_TRUE(LoadRecord(record, patched));
      EXPECT_EQ(record.GetElementCount(), 0);
    }
  }
}

// A record whose elements were made by hand, for the operations on them.
struct Piece {
  explicit Piece(CPatternData* data) : record(data) {
    for (int32_t type : {1, 128, 128, 256}) {
      elements.push_back(static_cast<TestElement*>(record.AddElement(std::make_unique<TestElement>(&record, type))));
    }
  }
  CPatternRecord record;
  std::vector<TestElement*> elements;
};

TEST(PatternRecord, RefersToStopsAtTheFirstElementThatRefers) {
  Design design;
  Piece piece(&design.data);
  piece.elements[1]->ref = design.point0;
  piece.elements[2]->ref = design.point0;
  piece.elements[3]->ref = design.point2;

  EXPECT_TRUE(piece.record.RefersTo(design.point0));
  EXPECT_EQ(piece.elements[0]->refersToCalls, 1);
  EXPECT_EQ(piece.elements[1]->refersToCalls, 1);
  EXPECT_EQ(piece.elements[2]->refersToCalls, 0);
  EXPECT_EQ(piece.elements[3]->refersToCalls, 0);

  EXPECT_TRUE(piece.record.RefersTo(design.point2));
  EXPECT_FALSE(piece.record.RefersTo(design.line1));
  EXPECT_FALSE(piece.record.RefersTo(nullptr));
  EXPECT_EQ(piece.elements[3]->refersToCalls, 3);
}

TEST(PatternRecord, UsesRefPointOnlyForItsReferencePoint) {
  Design design;
  CPatternRecord record(&design.data);
  EXPECT_FALSE(record.UsesRefPoint(nullptr));
  EXPECT_FALSE(record.UsesRefPoint(design.point0));
  record.SetRefPoint(design.point0);
  EXPECT_TRUE(record.UsesRefPoint(design.point0));
  EXPECT_FALSE(record.UsesRefPoint(design.point2));
  EXPECT_FALSE(record.UsesRefPoint(nullptr));
  // A reference point is not an element's reference.
  EXPECT_FALSE(record.RefersTo(design.point0));
}

TEST(PatternRecord, SizeOperationsReachEveryElement) {
  Design design;
  Piece piece(&design.data);
  for (TestElement* e : piece.elements) {
    for (int32_t s = 0; s < 3; ++s) e->ClearDirty(s);
  }
  piece.record.Invalidate(1);
  for (TestElement* e : piece.elements) {
    EXPECT_FALSE(e->IsDirty(0));
    EXPECT_TRUE(e->IsDirty(1));
  }
  piece.record.Recalc(1);
  for (TestElement* e : piece.elements) {
    EXPECT_EQ(e->calculated, std::vector<int32_t>({1}));
    EXPECT_FALSE(e->IsDirty(-1));
  }
  piece.record.Recalc(-1);
  for (TestElement* e : piece.elements) EXPECT_EQ(e->calculated, std::vector<int32_t>({1, 0, 1, 2}));

  piece.record.InsertSize(0);
  for (TestElement* e : piece.elements) {
    EXPECT_EQ(e->GetDirtyCount(), 4);
    EXPECT_TRUE(e->IsDirty(0));
    EXPECT_FALSE(e->IsDirty(1));
  }
  piece.record.RemoveSize(0);
  for (TestElement* e : piece.elements) {
    EXPECT_EQ(e->GetDirtyCount(), 3);
    EXPECT_FALSE(e->IsDirty(-1));
  }
  piece.record.Invalidate(-1);
  for (TestElement* e : piece.elements) EXPECT_TRUE(e->IsDirty(2));

  for (TestElement* e : piece.elements) {
    for (int32_t s = 0; s < 3; ++s) e->ClearDirty(s);
  }
  // Turning the piece changes every element at every size.
  piece.record.SetDouble2(0.5);
  EXPECT_EQ(piece.record.GetDouble2(), 0.5);
  for (TestElement* e : piece.elements) {
    for (int32_t s = 0; s < 3; ++s) EXPECT_TRUE(e->IsDirty(s));
  }
}

TEST(PatternRecord, ElementListWalksBothWaysAndHandsRemovedElementsBack) {
  CPatternData data;
  Piece piece(&data);
  CDesignElement* head = piece.record.AddElementAtHead(std::make_unique<TestElement>(&piece.record, 2));
  EXPECT_EQ(piece.record.AddElement(nullptr), nullptr);
  EXPECT_EQ(piece.record.GetElementCount(), 5);

  // Forward from the head, then back from the tail.
  std::vector<CDesignElement*> forward;
  CPatternRecord::POSITION pos = piece.record.GetFirstElementPosition();
  CPatternRecord::POSITION last;
  while (pos) {
    last = pos;
    forward.push_back(piece.record.GetNextElement(pos));
  }
  EXPECT_EQ(piece.record.GetNextElement(pos), nullptr);
  ASSERT_EQ(forward.size(), 5u);
  EXPECT_EQ(forward[0], head);
  std::vector<CDesignElement*> backward;
  while (last) backward.push_back(piece.record.GetPrevElement(last));
  EXPECT_EQ(backward, std::vector<CDesignElement*>(forward.rbegin(), forward.rend()));

  CDesignElement* found = nullptr;
  EXPECT_TRUE(piece.record.FindElementOfType(128, &found));
  EXPECT_EQ(found, piece.elements[1]);
  EXPECT_TRUE(piece.record.FindNextElementOfType(128, &found));
  EXPECT_EQ(found, piece.elements[2]);
  EXPECT_FALSE(piece.record.FindNextElementOfType(128, &found));
  EXPECT_EQ(found, piece.elements[2]);
  EXPECT_FALSE(piece.record.FindElementOfType(512, &found));
  EXPECT_EQ(found, piece.elements[2]);

  std::unique_ptr<CDesignElement> removed = piece.record.RemoveElement(piece.elements[1]);
  EXPECT_EQ(removed.get(), piece.elements[1]);
  EXPECT_FALSE(piece.record.HasElement(piece.elements[1]));
  EXPECT_TRUE(piece.record.HasElement(piece.elements[2]));
  EXPECT_EQ(piece.record.RemoveElement(piece.elements[1]), nullptr);
  EXPECT_EQ(piece.record.GetElementCount(), 4);
}

}  // namespace
