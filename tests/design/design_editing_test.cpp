// Editing a design through its container: sizes and size-table rows,
// measures going away, deleting objects with what they alone kept in use, and
// carrying a change to everything that depends on it. The objects are test
// doubles whose references, formulas and labels the test sets, so that what
// is seen is the container's doing.
#include <algorithm>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/construct/darts.h"
#include "design/construct/type64_elements.h"
#include "design/core/design_element.h"
#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/curves/graded_line.h"
#include "design/elements/notch_element.h"
#include "design/points/free_point.h"
#include "design/points/graded_point.h"
#include "design/points/offset_point.h"
#include "design/points/rotated_points.h"
#include "platform/byte_cursor.h"
#include "tests/design/support/scripted_curve.h"

namespace {

constexpr int kSizes = 3;
constexpr int kBase = 1;

void SetUpSizes(CPatternData& data) {
  for (int i = 0; i < kSizes; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
  data.SetBaseSize(kBase);
}

// A point on the points it names, at the first one's position plus its
// formula's value in x. It answers the row and measure questions from its
// formula, as the kinds with formulas do, and keeps its label visibility as a
// plain flag.
class TestPoint : public CGradedPoint {
 public:
  explicit TestPoint(CPatternData* owner) : CGradedPoint(kPointKindFree, owner, 0), formula(owner) { SetState(1); }

  std::vector<CGradedObject*> refs;
  CFormula formula;
  bool label = true;
  int labelUpdates = 0;
  int labelSets = 0;

  BOOL GetReferences(CGradedObjectList& references) const override {
    if (refs.empty()) return FALSE;
    references.assign(refs.begin(), refs.end());
    return TRUE;
  }
  void GetUsedObjects(CGradedObjectList& used) const override { used.insert(used.end(), refs.begin(), refs.end()); }
  BOOL RefersTo(const CGradedObject* object) const override {
    return object && std::find(refs.begin(), refs.end(), object) != refs.end();
  }
  BOOL UsesSizeRow(CSizeTableRow* row, BOOL) override { return formula.UsesSizeRow(row); }
  BOOL ReleaseSizeRow(CSizeTableRow* row, BOOL) override {
    if (!formula.UsesSizeRow(row)) return FALSE;
    formula.Freeze();
    return TRUE;
  }
  BOOL UsesMeasure(CPieceMeasure* measure, BOOL) override { return formula.UsesMeasure(measure); }
  BOOL ReleaseMeasure(CPieceMeasure* measure, BOOL) override {
    if (!formula.UsesMeasure(measure)) return FALSE;
    formula.Freeze();
    return TRUE;
  }
  void SetLabelVisible(BOOL visible) override {
    label = visible != 0;
    ++labelSets;
  }
  BOOL IsLabelVisible() const override { return label ? TRUE : FALSE; }
  void UpdateLabel() override { ++labelUpdates; }

  // Marks every size computed without computing, as a long chain needs.
  void MarkClean() {
    for (int32_t i = 0; i < GetDirtyCount(); ++i) ClearDirty(i);
  }

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    CPoint from;
    if (!refs.empty()) {
      auto* point = dynamic_cast<CGradedPoint*>(refs.front());
      if (point) point->GetPoint(size, &from);
    }
    *x = from.x + formula.Evaluate(size);
    *y = from.y;
    return TRUE;
  }
};

TestPoint* AddPoint(CPatternData& data, std::vector<CGradedObject*> refs = {}) {
  auto point = std::make_unique<TestPoint>(&data);
  point->refs = std::move(refs);
  point->MarkClean();
  return static_cast<TestPoint*>(data.AddElement(std::move(point)));
}

CFormula OnRow(CPatternData& data, CSizeTableRow* row) {
  return CFormula(&data, {CFormulaTerm::OnRow(1, row, 1, 1.0, 1.0)}, 0, 1.0, 1.0, 0);
}

CFormula OnMeasure(CPatternData& data, CPieceMeasure* measure) {
  return CFormula(&data, {CFormulaTerm::OnMeasure(1, measure, 1, 1.0, 1.0)}, 0, 1.0, 1.0, 0);
}

// An element that counts its computations and freezes or invalidates on a
// scripted row or measure.
class CountingElement : public CDesignElement {
 public:
  explicit CountingElement(CPatternRecord* owner) : CDesignElement(owner, 1) {}
  int calculations = 0;
  int frozen = 0;
  int invalidated = 0;
  CSizeTableRow* row = nullptr;
  CPieceMeasure* measure = nullptr;

  BOOL Calculate(int32_t size) override {
    ++calculations;
    return CDesignElement::Calculate(size);
  }
  BOOL FreezeIfUsesSizeRow(CSizeTableRow* r) override { return Count(r == row, frozen); }
  BOOL InvalidateIfUsesSizeRow(CSizeTableRow* r) override { return Count(r == row, invalidated); }
  BOOL FreezeIfUsesMeasure(CPieceMeasure* m) override { return Count(m == measure, frozen); }
  BOOL InvalidateIfUsesMeasure(CPieceMeasure* m) override { return Count(m == measure, invalidated); }

 private:
  static BOOL Count(bool uses, int& counter) {
    if (!uses) return FALSE;
    ++counter;
    return TRUE;
  }
};

CountingElement* AddCountingPiece(CPatternData& data) {
  auto piece = std::make_unique<CPatternRecord>(&data);
  auto* element = static_cast<CountingElement*>(piece->AddElement(std::make_unique<CountingElement>(piece.get())));
  data.AddPiece(std::move(piece));
  return element;
}

TEST(DesignEditing, InsertSizeCopiesANeighbourIntoEveryRow) {
  struct Case {
    const char* what;
    int sizesBefore;
    int index;
    int32_t expected;
  };
  // Row values are 10, 20, 30 for sizes 0, 1, 2.
  const Case kCases[] = {
      {"at the head: the old size 0", 3, 0, 10},
      {"in the middle: the size before", 3, 2, 20},
      {"at the end: the last size", 3, 3, 30},
      {"into no sizes: 0", 0, 0, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPatternData data;
    CSizeTableRow* row = data.AddSizeRow(CString("r"));
    for (int i = 0; i < c.sizesBefore; ++i) {
      data.InsertSize(i, CString("s"), 0, 1);
      row->SetValue(i, 10 * (i + 1));
    }
    data.InsertSize(c.index, CString("new"), 0, 1);
    ASSERT_EQ(row->GetValueCount(), c.sizesBefore + 1);
    EXPECT_EQ(row->GetValue(c.index), c.expected);
  }
}

TEST(DesignEditing, RemoveSizeTakesTheSizeOutOfRowsAndObjects) {
  CPatternData data;
  SetUpSizes(data);
  CSizeTableRow* row = data.AddSizeRow(CString("r"));
  for (int i = 0; i < kSizes; ++i) row->SetValue(i, i);
  TestPoint* point = AddPoint(data);
  data.RemoveSize(0);
  EXPECT_EQ(data.GetSizeCount(), 2);
  EXPECT_EQ(row->GetValueCount(), 2);
  EXPECT_EQ(row->GetValue(0), 1);
  EXPECT_EQ(point->GetDirtyCount(), 2);
  data.RemoveSize(7);  // no such size
  EXPECT_EQ(data.GetSizeCount(), 2);
}

TEST(DesignEditing, MoveSizeRowToTheLastIndexPutsItAtTheEnd) {
  CPatternData data;
  CSizeTableRow* a = data.AddSizeRow(CString("a"));
  CSizeTableRow* b = data.AddSizeRow(CString("b"));
  CSizeTableRow* c = data.AddSizeRow(CString("c"));
  data.MoveSizeRow(2, 0);
  EXPECT_EQ(data.GetSizeRowAt(0), b);
  EXPECT_EQ(data.GetSizeRowAt(1), c);
  EXPECT_EQ(data.GetSizeRowAt(2), a);
  data.MoveSizeRow(1, 5);  // no source: nothing
  EXPECT_EQ(data.GetSizeRowAt(2), a);
}

TEST(DesignEditing, InvalidateDependentsReachesEachObjectOnce) {
  CPatternData data;
  SetUpSizes(data);
  TestPoint* a = AddPoint(data);
  TestPoint* b = AddPoint(data, {a});
  TestPoint* c = AddPoint(data, {a, b});
  TestPoint* unrelated = AddPoint(data);
  data.InvalidateDependents(a, FALSE);
  for (TestPoint* point : {a, b, c}) EXPECT_TRUE(point->IsAllDirty());
  EXPECT_FALSE(unrelated->IsDirty(-1));
  // Each invalidation of the base size lays the labels out once.
  EXPECT_EQ(a->labelUpdates, 1);
  EXPECT_EQ(b->labelUpdates, 1);
  EXPECT_EQ(c->labelUpdates, 1);
}

TEST(DesignEditing, InvalidateDependentsWalksALongChainWithoutDeepRecursion) {
  CPatternData data;
  SetUpSizes(data);
  constexpr int kChain = 100'000;
  TestPoint* head = AddPoint(data);
  TestPoint* last = head;
  for (int i = 1; i < kChain; ++i) last = AddPoint(data, {last});
  data.InvalidateDependents(head, FALSE);
  EXPECT_TRUE(last->IsAllDirty());
}

TEST(DesignEditing, ACycleThroughAMeasureEnds) {
  // p's distance uses a measure between p and q: invalidating q reaches p
  // through the measure, and p's change reaches the measure again.
  CPatternData data;
  SetUpSizes(data);
  TestPoint* q = AddPoint(data);
  TestPoint* p = AddPoint(data);
  CPieceMeasure* measure = data.AddMeasure(std::make_unique<CPieceMeasure>(&data, 1, p, q, nullptr, "m"));
  p->formula = OnMeasure(data, measure);
  TestPoint* after = AddPoint(data, {p});
  data.InvalidateDependents(q, FALSE);
  EXPECT_TRUE(p->IsAllDirty());
  EXPECT_TRUE(after->IsAllDirty());
  EXPECT_EQ(p->labelUpdates, 1);
}

TEST(DesignEditing, SizeRowChangedInvalidatesOnlyTheUsersAndRecalculatesOnRequest) {
  CPatternData data;
  SetUpSizes(data);
  CSizeTableRow* row = data.AddSizeRow(CString("r"));
  CSizeTableRow* offsetRow = data.AddSizeRow(CString("u"));
  TestPoint* user = AddPoint(data);
  user->formula = OnRow(data, row);
  TestPoint* dependent = AddPoint(data, {user});
  TestPoint* other = AddPoint(data);
  // An offset point does not report the rows its offsets read, so a change
  // of a row only it uses notes no change: the pieces are not recalculated.
  auto* offset = static_cast<COffsetPoint*>(data.AddElement(
      std::make_unique<COffsetPoint>(&data, 0, other, OnRow(data, offsetRow), CFormula(&data))));
  CountingElement* element = AddCountingPiece(data);
  data.SizeRowChanged(offsetRow, TRUE);
  EXPECT_EQ(element->calculations, 0);
  EXPECT_FALSE(user->IsDirty(-1));
  EXPECT_NE(offset, nullptr);

  data.SizeRowChanged(row, FALSE);
  EXPECT_TRUE(user->IsAllDirty());
  EXPECT_TRUE(dependent->IsAllDirty());
  EXPECT_FALSE(other->IsDirty(-1));
  EXPECT_EQ(element->calculations, 0);

  data.SizeRowChanged(row, TRUE);
  EXPECT_EQ(element->calculations, kSizes);
}

TEST(DesignEditing, RemoveSizeRowFreezesEveryUserAtItsBaseValue) {
  CPatternData data;
  SetUpSizes(data);
  CSizeTableRow* row = data.AddSizeRow(CString("r"));
  for (int i = 0; i < kSizes; ++i) row->SetValue(i, 100 + i);
  TestPoint* first = AddPoint(data);
  first->formula = OnRow(data, row);
  TestPoint* second = AddPoint(data);
  second->formula = OnRow(data, row);
  CountingElement* element = AddCountingPiece(data);
  element->row = row;
  CountingElement* secondElement = AddCountingPiece(data);
  secondElement->row = row;

  data.RemoveSizeRow(CString("r"), TRUE);
  EXPECT_EQ(data.GetSizeRowCount(), 0);
  // The row is freed: the formulas hold its base-size value as a constant,
  // at every size (under ASan a formula still reading the row would fail).
  for (TestPoint* point : {first, second}) {
    EXPECT_TRUE(point->formula.GetTerms().empty());
    for (int i = 0; i < kSizes; ++i) EXPECT_EQ(point->formula.Evaluate(i), 100 + kBase);
    EXPECT_TRUE(point->IsAllDirty());
  }
  EXPECT_EQ(element->frozen, 1);
  EXPECT_EQ(secondElement->frozen, 1);
  EXPECT_EQ(element->calculations, kSizes);

  data.RemoveSizeRow(CString("r"), TRUE);  // no such row: nothing
}

TEST(DesignEditing, AnOffsetPointsOffsetsAreFrozenWhenTheirRowGoes) {
  CPatternData data;
  SetUpSizes(data);
  CSizeTableRow* row = data.AddSizeRow(CString("r"));
  for (int i = 0; i < kSizes; ++i) row->SetValue(i, 100 + 10 * i);
  auto root = std::make_unique<CFreePoint>(&data, 0, CPoint(0, 0));
  root->SetState(1);
  CGradedPoint* origin = static_cast<CGradedPoint*>(data.AddElement(std::move(root)));
  auto offset = std::make_unique<COffsetPoint>(&data, 0, origin, OnRow(data, row), CFormula(&data, {}, 0, 1.0, 1.0, 0));
  offset->SetState(1);
  auto* point = static_cast<COffsetPoint*>(data.AddElement(std::move(offset)));
  CPoint p;
  ASSERT_TRUE(point->GetPoint(0, &p));
  EXPECT_EQ(p, CPoint(100, 0));

  data.RemoveSizeRow(CString("r"), TRUE);
  // The row is freed; dx holds the base size's value at every size (under
  // ASan a formula still reading the row would fail here).
  EXPECT_TRUE(point->GetDx().GetTerms().empty());
  for (int i = 0; i < kSizes; ++i) {
    ASSERT_TRUE(point->GetPoint(i, &p));
    EXPECT_EQ(p, CPoint(100 + 10 * kBase, 0)) << i;
  }
}

TEST(DesignEditing, DeleteMeasureFreezesEveryUser) {
  CPatternData data;
  SetUpSizes(data);
  TestPoint* a = AddPoint(data);
  TestPoint* b = AddPoint(data);
  CPieceMeasure* measure = data.AddMeasure(std::make_unique<CPieceMeasure>(&data, 1, a, b, nullptr, "m"));
  TestPoint* first = AddPoint(data);
  first->formula = OnMeasure(data, measure);
  TestPoint* second = AddPoint(data);
  second->formula = OnMeasure(data, measure);
  CountingElement* element = AddCountingPiece(data);
  element->measure = measure;
  CountingElement* secondElement = AddCountingPiece(data);
  secondElement->measure = measure;

  data.DeleteMeasure(measure, FALSE);
  EXPECT_EQ(data.GetMeasureCount(), 0);
  for (TestPoint* point : {first, second}) {
    EXPECT_FALSE(point->formula.UsesMeasure(measure));
    EXPECT_TRUE(point->IsAllDirty());
  }
  EXPECT_EQ(element->frozen, 1);
  EXPECT_EQ(secondElement->frozen, 1);
}

TEST(DesignEditing, DeleteElementHidesWhatIsStillInUse) {
  struct Case {
    const char* what;
    bool usedByLine;
    bool labelKept;
  };
  const Case kCases[] = {
      {"a point a line uses keeps its label", true, true},
      {"a point only another point uses loses its label", false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPatternData data;
    SetUpSizes(data);
    TestPoint* point = AddPoint(data);
    TestPoint* other = AddPoint(data);
    if (c.usedByLine) {
      data.AddElement(std::make_unique<CGradedLine>(&data, 0, 0, 0, point, other));
    } else {
      AddPoint(data, {point});
    }
    data.DeleteElement(point);
    EXPECT_EQ(data.GetElementIndex(point), 0);
    EXPECT_EQ(point->GetState(), 0);
    EXPECT_EQ(point->label, c.labelKept);
  }
}

TEST(DesignEditing, DeleteElementOfAnUnusedLineTakesItsUnusedHiddenPoints) {
  CPatternData data;
  SetUpSizes(data);
  TestPoint* hidden = AddPoint(data);
  hidden->SetState(0);
  TestPoint* hiddenButUsed = AddPoint(data);
  hiddenButUsed->SetState(0);
  TestPoint* user = AddPoint(data, {hiddenButUsed});
  TestPoint* shown = AddPoint(data);
  CGradedObject* line = data.AddElement(std::make_unique<CGradedLine>(&data, 0, 0, 0, hidden, shown));
  CGradedObject* second = data.AddElement(std::make_unique<CGradedLine>(&data, 0, 0, 0, hiddenButUsed, shown));

  data.DeleteElement(line);
  EXPECT_EQ(data.GetElementIndex(line), -1);
  EXPECT_EQ(data.GetElementIndex(hidden), -1);
  EXPECT_GE(data.GetElementIndex(shown), 0);
  EXPECT_EQ(shown->GetState(), 1);

  // The hidden through point that survives has its state, and with it its
  // label rule, applied again.
  const int labelSets = hiddenButUsed->labelSets;
  data.DeleteElement(second);
  EXPECT_EQ(data.GetElementIndex(second), -1);
  EXPECT_EQ(hiddenButUsed->labelSets, labelSets + 1);
  EXPECT_GE(data.GetElementIndex(hiddenButUsed), 0);
  EXPECT_GE(data.GetElementIndex(user), 0);
  EXPECT_EQ(data.GetElementCount(), 3);
}

TEST(DesignEditing, DeletingACurveClearsTheLinkOfItsLinkedPoints) {
  struct Case {
    const char* what;
    bool throughUnusedReferences;
  };
  const Case kCases[] = {{"DeleteElement", false}, {"DeleteUnusedReferences", true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPatternData data;
    SetUpSizes(data);
    design_test::ScriptedCurve* curve = design_test::AddScriptedCurve(data, {{0, 0}, {100, 0}});
    auto* linked = static_cast<CLinkedPoint*>(data.AddElement(std::make_unique<CLinkedPoint>(&data, 0, 50, 0)));
    linked->SetLink(curve);
    if (c.throughUnusedReferences) {
      curve->SetState(0);
      CGradedObjectList list = {curve};
      data.DeleteUnusedReferences(list);
      EXPECT_TRUE(list.empty());
    } else {
      data.DeleteElement(curve);
    }
    EXPECT_EQ(data.GetElementIndex(curve), -1);
    EXPECT_EQ(linked->GetLink(), nullptr);
    CPoint at;
    linked->GetPoint(0, &at);  // asks no freed curve
  }
}

TEST(DesignEditing, DeleteUnusedReferencesRemovesOneLevel) {
  CPatternData data;
  SetUpSizes(data);
  TestPoint* bottom = AddPoint(data);
  bottom->SetState(0);
  TestPoint* middle = AddPoint(data, {bottom});
  middle->SetState(0);
  TestPoint* shown = AddPoint(data);
  CGradedObjectList list = {bottom, middle, shown};
  data.DeleteUnusedReferences(list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(data.GetElementIndex(middle), -1);
  // Only the deleted middle point used it: it stays until the next call.
  EXPECT_GE(data.GetElementIndex(bottom), 0);
  EXPECT_GE(data.GetElementIndex(shown), 0);
}

TEST(DesignEditing, PiecesAndTheSecondListStayConsistent) {
  CPatternData data;
  SetUpSizes(data);
  CPatternRecord* a = data.AddPiece(std::make_unique<CPatternRecord>(&data));
  CPatternRecord* b = data.AddPiece(std::make_unique<CPatternRecord>(&data));
  CPatternRecord* c = data.AddPiece(std::make_unique<CPatternRecord>(&data));
  data.AddSecondPiece(b);
  data.MovePiece(0, 2);
  EXPECT_EQ(data.GetPieceAt(2), a);
  data.MovePiece(2, 0);
  EXPECT_EQ(data.GetPieceAt(0), a);
  data.DeletePiece(b);
  EXPECT_EQ(data.GetPieceCount(), 2);
  EXPECT_EQ(data.GetSecondPieceCount(), 0);
  EXPECT_EQ(data.GetPieceAt(1), c);
}

TEST(DesignEditing, ElementsDeleteTheirHiddenPointsWhenTheyGo) {
  // A dart and a notch each on a hidden point only they use and on a hidden
  // point another point still uses, and a shown point.
  enum class Kind { kDart, kNotch, kBand };
  struct Case {
    const char* what;
    Kind kind;
  };
  const Case kCases[] = {{"dart", Kind::kDart}, {"notch", Kind::kNotch}, {"band", Kind::kBand}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CPatternData data;
    SetUpSizes(data);
    TestPoint* alone = AddPoint(data);
    alone->SetState(0);
    TestPoint* shared = AddPoint(data);
    shared->SetState(0);
    TestPoint* user = AddPoint(data, {shared});
    CPatternRecord* piece = data.AddPiece(std::make_unique<CPatternRecord>(&data));
    std::unique_ptr<CDesignElement> element;
    if (c.kind == Kind::kNotch) {
      element = std::make_unique<CNotchElement>(piece, alone, shared, 10, 3, CNotchShape{});
    } else if (c.kind == Kind::kDart) {
      auto dart = std::make_unique<CConstructElement1>(piece);
      dart->SetReferences({alone, shared});
      element = std::move(dart);
    } else {
      auto band = std::make_unique<CType64Element16>(piece);
      CFormula width;
      width.Reset(&data);
      band->SetParameters(alone, shared, width, width, {});
      element = std::move(band);
    }
    CDesignElement* kept = piece->AddElement(std::move(element));
    std::unique_ptr<CDesignElement> removed = piece->RemoveElement(kept);
    ASSERT_TRUE(removed);
    removed.reset();
    EXPECT_EQ(data.GetElementIndex(alone), -1);
    EXPECT_GE(data.GetElementIndex(shared), 0);
    EXPECT_GE(data.GetElementIndex(user), 0);
  }
}

TEST(DesignEditing, ContainersWithElementsOnHiddenPointsTearDownCleanly) {
  // Freed whole, by DeletePiece and by Clear: no element asks a container
  // whose lists are half freed (ASan watches).
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    auto data = std::make_unique<CPatternData>();
    SetUpSizes(*data);
    TestPoint* a = AddPoint(*data);
    a->SetState(0);
    TestPoint* b = AddPoint(*data);
    b->SetState(0);
    CPatternRecord* piece = data->AddPiece(std::make_unique<CPatternRecord>(data.get()));
    data->AddSecondPiece(piece);
    piece->AddElement(std::make_unique<CNotchElement>(piece, a, b, 10, 3, CNotchShape{}));
    auto dart = std::make_unique<CConstructElement1>(piece);
    dart->SetReferences({a, b});
    piece->AddElement(std::move(dart));
    if (way == 0) {
      data.reset();
      continue;
    }
    if (way == 1) {
      data->DeletePiece(piece);
      EXPECT_EQ(data->GetElementCount(), 0);
    } else {
      data->Clear();
      EXPECT_EQ(data->GetElementCount(), 0);
    }
    EXPECT_EQ(data->GetPieceCount(), 0);
  }
}

// ---- Single-size designs ----

// Little-endian bytes of a single-size design: header, three sizes, one
// size-table row, no measures, objects or records.
class Bytes {
 public:
  Bytes& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Bytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  Bytes& U16(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  Bytes& Str(const std::string& s) {
    bytes.push_back(static_cast<uint8_t>(s.size()));
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Font() {
    for (int i = 0; i < 5; ++i) I32(0);
    for (int i = 0; i < 8; ++i) bytes.push_back(0);
    return Str("Arial");
  }
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> BaseSizeDesign(uint32_t magic, int32_t base) {
  Bytes b;
  b.U32(magic).I32(140).I32(0).U16(0);
  for (int i = 0; i < 17; ++i) b.U32(0);
  b.I32(0);    // reserved block
  b.I32(10);   // scale
  for (const char* name : {"n1", "n2", "n3", "n4", "n5"}) b.Str(name);
  b.Font().Font();
  b.I32(3);
  for (const char* size : {"S", "M", "L"}) b.Str(size).U16(0);
  b.I32(base);
  b.I32(1).Str("row").I32(11).I32(22).I32(33);
  b.I32(0);  // measures
  b.I32(0);  // objects
  b.I32(0);  // records
  return b.bytes;
}

TEST(DesignEditing, LoadBaseSizeDesignKeepsTheBaseSizeOnly) {
  CPatternData data;
  const std::vector<uint8_t> file = BaseSizeDesign(kMagicBaseSizeDesign, 1);
  ArchiveReader archive(file);
  ASSERT_TRUE(data.LoadBaseSizeDesign(archive)) << data.GetLoadFailure().reason;
  EXPECT_EQ(data.GetVersion(), 140);
  EXPECT_EQ(data.GetScale(), 10);
  ASSERT_EQ(data.GetSizeCount(), 1);
  EXPECT_EQ(data.GetBaseSize(), 0);
  EXPECT_EQ(data.GetSizeAt(0)->GetName(), CString("BaseSize"));
  ASSERT_EQ(data.GetSizeRowCount(), 1);
  EXPECT_EQ(data.GetSizeRowAt(0)->GetValueCount(), 1);
  EXPECT_EQ(data.GetSizeRowAt(0)->GetValue(0), 22);
}

TEST(DesignEditing, LoadBaseSizeDesignRefusesOtherFilesAndChecksEveryRead) {
  {
    CPatternData data;
    const std::vector<uint8_t> file = BaseSizeDesign(0xB5686E9D, 1);
    ArchiveReader archive(file);
    EXPECT_FALSE(data.LoadBaseSizeDesign(archive));
    EXPECT_EQ(archive.Position(), 4u);
  }
  {
    CPatternData data;
    const std::vector<uint8_t> file = BaseSizeDesign(kMagicBaseSizeDesign, 3);  // base outside the sizes
    ArchiveReader archive(file);
    EXPECT_FALSE(data.LoadBaseSizeDesign(archive));
  }
  const std::vector<uint8_t> file = BaseSizeDesign(kMagicBaseSizeDesign, 2);
  for (size_t cut = 0; cut < file.size(); ++cut) {
    SCOPED_TRACE(cut);
    CPatternData data;
    ArchiveReader archive(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)));
    EXPECT_FALSE(data.LoadBaseSizeDesign(archive));
  }
}

}  // namespace
