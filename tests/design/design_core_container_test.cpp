// The design container: its header after construction and clearing, the
// order in which it frees what it owns, the size insertion that keeps the
// size table aligned, the position lookups of stored references and the
// resolution of a reference into a field of a known kind.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/graded_object.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/core/piece_measure.h"
#include "model/style.h"

namespace {

using Log = std::vector<std::string>;

class LoggedObject : public CGradedObject {
 public:
  LoggedObject(CPatternData* owner, int32_t kind, Log* log, std::string name)
      : CGradedObject(kind, owner, 0), log_(log), name_(std::move(name)) {}
  ~LoggedObject() override {
    if (log_) log_->push_back(name_);
  }

 private:
  Log* log_;
  std::string name_;
};

class LoggedRecord : public CPatternRecord {
 public:
  LoggedRecord(CPatternData* owner, Log* log, std::string name)
      : CPatternRecord(owner), log_(log), name_(std::move(name)) {}
  ~LoggedRecord() override { log_->push_back(name_); }

 private:
  Log* log_;
  std::string name_;
};

class LoggedMeasure : public CPieceMeasure {
 public:
  LoggedMeasure(CPatternData* owner, Log* log, std::string name)
      : CPieceMeasure(owner), log_(log), name_(std::move(name)) {}
  ~LoggedMeasure() override { log_->push_back(name_); }

 private:
  Log* log_;
  std::string name_;
};

// Stand-ins for the classes of the three kinds that reference fields hold.
struct PointField : CGradedObject {
  static constexpr int32_t kObjectKind = kObjectKindPoint;
  explicit PointField(CPatternData* owner) : CGradedObject(kObjectKind, owner, 0) {}
};
struct LineField : CGradedObject {
  static constexpr int32_t kObjectKind = kObjectKindLine;
  explicit LineField(CPatternData* owner) : CGradedObject(kObjectKind, owner, 0) {}
};
struct CurveField : CGradedObject {
  static constexpr int32_t kObjectKind = kObjectKindCurve;
  explicit CurveField(CPatternData* owner) : CGradedObject(kObjectKind, owner, 0) {}
};

TEST(PatternDataHeader, DefaultAndFullConstruction) {
  CPatternData data;
  EXPECT_EQ(data.GetVersion(), kNewestDataVersion);
  EXPECT_EQ(data.GetScale(), kClearedScale);
  EXPECT_EQ(data.GetSizeCount(), 0);
  EXPECT_EQ(data.GetElementCount(), 0);
  EXPECT_TRUE(data.GetName5().IsEmpty());

  LOGFONT font;
  font.lfHeight = -24;
  std::memcpy(font.lfFaceName, "SimSun", 7);
  CPatternData full("a", "b", "c", "d", "e", font, 140, 2, 40);
  EXPECT_EQ(full.GetName1(), "a");
  EXPECT_EQ(full.GetName2(), "b");
  EXPECT_EQ(full.GetName3(), "c");
  EXPECT_EQ(full.GetName4(), "e");
  EXPECT_EQ(full.GetName5(), "d");
  EXPECT_EQ(full.GetVersion(), 140);
  EXPECT_EQ(full.GetMode(), 2);
  EXPECT_EQ(full.GetScale(), 40);
  EXPECT_EQ(full.GetLabelFont().lfHeight, -24);
  EXPECT_STREQ(full.GetFont2().lfFaceName, "SimSun");
}

TEST(PatternDataClear, ResetsHeaderAndKeepsFifthNameFontsAndBaseSize) {
  const int32_t savedMode = g_Style.Mode;
  g_Style.Mode = 5;
  LOGFONT font;
  font.lfWeight = 700;
  CPatternData data("1", "2", "3", "4", "5", font, 150, 2, 40);
  data.InsertSize(0, "S", 0, 1);
  data.InsertSize(1, "M", 0, 1);
  data.SetBaseSize(1);
  data.AddSizeRow("waist");
  data.Clear();
  g_Style.Mode = savedMode;

  EXPECT_EQ(data.GetVersion(), 162);
  EXPECT_EQ(data.GetMode(), 5);  // the style's mode word
  EXPECT_EQ(data.GetScale(), 100);
  EXPECT_TRUE(data.GetName1().IsEmpty());
  EXPECT_TRUE(data.GetName4().IsEmpty());
  EXPECT_EQ(data.GetName5(), "4");
  EXPECT_EQ(data.GetLabelFont().lfWeight, 700);
  EXPECT_EQ(data.GetBaseSize(), 1);
  EXPECT_EQ(data.GetSizeCount(), 0);
  EXPECT_EQ(data.GetSizeRowCount(), 0);
}

TEST(PatternDataClear, FreesRecordsThenObjectsThenMeasuresHeadFirst) {
  Log log;
  {
    CPatternData data;
    data.InsertSize(0, "S", 0, 1);
    data.AddMeasure(std::make_unique<LoggedMeasure>(&data, &log, "measure0"));
    data.AddElement(std::make_unique<LoggedObject>(&data, kObjectKindPoint, &log, "object0"));
    data.AddMeasure(std::make_unique<LoggedMeasure>(&data, &log, "measure1"));
    data.AddElement(std::make_unique<LoggedObject>(&data, kObjectKindLine, &log, "object1"));
    CPatternRecord* first = data.AddPiece(std::make_unique<LoggedRecord>(&data, &log, "record0"));
    CPatternRecord* second = data.AddPiece(std::make_unique<LoggedRecord>(&data, &log, "record1"));
    // The second list names records; it frees none of them twice.
    EXPECT_TRUE(data.AddSecondPiece(second));
    EXPECT_TRUE(data.AddSecondPiece(first));
    CPatternRecord stranger(&data);
    EXPECT_FALSE(data.AddSecondPiece(&stranger));
    EXPECT_FALSE(data.AddSecondPiece(nullptr));
    EXPECT_EQ(data.GetSecondPieceCount(), 2);
    EXPECT_EQ(data.GetSecondPieceAt(0), second);
    EXPECT_EQ(data.GetSecondPieceAt(2), nullptr);
  }
  EXPECT_EQ(log, (Log{"record0", "record1", "object0", "object1", "measure0", "measure1"}));
}

TEST(PatternDataSizes, InsertedSizeCopiesANeighbourIntoEveryRow) {
  CPatternData data;
  CSizeTableRow* early = data.AddSizeRow("chest");  // made before any size
  EXPECT_EQ(early->GetValueCount(), 0);
  data.InsertSize(0, "M", 3, 1);
  EXPECT_EQ(early->GetValue(0), 0);  // no size before: 0
  early->SetValue(0, 900);
  data.InsertSize(0, "S", 2, 1);  // at the head: copies size 0
  data.InsertSize(2, "L", 4, 1);  // at the tail: copies the size before
  data.InsertSize(1, "S+", 5, 1);
  EXPECT_EQ(data.GetSizeCount(), 4);
  EXPECT_EQ(data.GetSizeAt(0)->GetName(), "S");
  EXPECT_EQ(data.GetSizeAt(1)->GetName(), "S+");
  EXPECT_EQ(data.GetSizeAt(2)->GetName(), "M");
  EXPECT_EQ(data.GetSizeAt(3)->GetColorIndex(), 4);
  EXPECT_EQ(data.GetSizeAt(4), nullptr);
  EXPECT_EQ(data.GetSizeAt(-1), nullptr);
  ASSERT_EQ(early->GetValueCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(early->GetValue(i), 900) << i;

  // A row made later has one zero per size.
  CSizeTableRow* late = data.AddSizeRow("hip");
  EXPECT_EQ(late->GetValueCount(), 4);
  late->SetValue(1, 7);
  data.InsertSize(99, "XL", 0, 1);  // past the tail: taken as the tail
  EXPECT_EQ(data.GetSizeAt(4)->GetName(), "XL");
  EXPECT_EQ(late->GetValueCount(), 5);
  EXPECT_EQ(late->GetValue(4), 0);
  EXPECT_EQ(late->GetValue(1), 7);
}

TEST(PatternDataLookups, PositionsOfEveryList) {
  CPatternData data;
  CGradedObject* head = data.AddElement(std::make_unique<PointField>(&data));
  CGradedObject* tail = data.AddElement(std::make_unique<LineField>(&data));
  EXPECT_EQ(data.AddElement(nullptr), nullptr);
  EXPECT_EQ(data.GetElementCount(), 2);
  EXPECT_EQ(data.GetElementAt(0), head);
  EXPECT_EQ(data.GetElementAt(1), tail);
  for (int32_t index : {-1, -2, 2, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(data.GetElementAt(index), nullptr);
  }
  EXPECT_EQ(data.GetElementIndex(tail), 1);
  EXPECT_EQ(data.GetElementIndex(nullptr), -1);
  PointField outside(&data);
  EXPECT_EQ(data.GetElementIndex(&outside), -1);

  CSizeTableRow* row0 = data.AddSizeRow("a");
  CSizeTableRow* row1 = data.AddSizeRow("b");
  EXPECT_EQ(data.GetSizeRowAt(1), row1);
  EXPECT_EQ(data.GetSizeRowAt(2), nullptr);
  EXPECT_EQ(data.GetSizeRowAt(-1), nullptr);
  EXPECT_EQ(data.GetSizeRowIndex(row0), 0);

  CPieceMeasure* measure = data.AddMeasure(std::make_unique<CPieceMeasure>(&data));
  EXPECT_EQ(data.GetMeasureAt(0), measure);
  EXPECT_EQ(data.GetMeasureAt(1), nullptr);
  EXPECT_EQ(data.GetMeasureIndex(measure), 0);
  EXPECT_EQ(data.GetMeasureIndex(nullptr), -1);

  CPatternRecord* piece = data.AddPiece(std::make_unique<CPatternRecord>(&data));
  EXPECT_EQ(piece->GetPatternData(), &data);
  EXPECT_EQ(data.GetPieceAt(0), piece);
  EXPECT_EQ(data.GetPieceAt(-1), nullptr);
  EXPECT_EQ(data.GetPieceIndex(piece), 0);
}

TEST(ResolveObject, TakesOnlyTheFieldsKindInsideTheList) {
  CPatternData data;
  data.AddElement(std::make_unique<PointField>(&data));                        // 0
  data.AddElement(std::make_unique<LineField>(&data));                         // 1
  data.AddElement(std::make_unique<CurveField>(&data));                        // 2
  data.AddElement(std::make_unique<CGradedObject>(kObjectKindText, &data, 0));  // 3

  struct Case { int32_t position; bool point, line, curve; };
  const Case kCases[] = {
      {0, true, false, false},  {1, false, true, false},  {2, false, false, true},
      {3, false, false, false},  // a text fits no reference field
      {-1, false, false, false}, {4, false, false, false}, {-7, false, false, false},
      {INT32_MAX, false, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.position);
    CGradedObject* at = data.GetElementAt(c.position);
    EXPECT_EQ(ResolveObject<PointField>(data, c.position), c.point ? at : nullptr);
    EXPECT_EQ(ResolveObject<LineField>(data, c.position), c.line ? at : nullptr);
    EXPECT_EQ(ResolveObject<CurveField>(data, c.position), c.curve ? at : nullptr);
  }
  EXPECT_EQ(ResolveObjectOfKind(data, 3, kObjectKindText), data.GetElementAt(3));
}

}  // namespace
