// The type-64 bands at work: the shape each subtype builds for a size on a
// square piece, how it is cut into the outline and the seam line, exported
// as a segment-pair item, hit and boxed; the sizes whose points cannot be had
// and the other failures; the fill lines of the shape records and the slot
// drawing of the family.
//
// The piece is a square (0,0)-(1000,0)-(1000,1000)-(0,1000) whose boundary
// is read from a record; the band runs between two points of fixed places.
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "design/construct/type64_elements.h"
#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/curves/graded_line.h"
#include "design/elements/boundary.h"
#include "design/geometry/vertex.h"
#include "design/points/graded_point.h"
#include "model/item_types.h"
#include "platform/archive.h"
#include "platform/recording_dc.h"
#include "tests/design_writer/boundary_records.h"

namespace {

using design_fixture::BoundaryEntryFields;
using design_fixture::BoundaryFields;
using design_fixture::DesignArchiveWriter;
using design_fixture::SeamEntryFields;

constexpr int32_t kVersion = 162;
constexpr int32_t kSizes = 3;
constexpr int32_t kBase = 1;
constexpr int32_t kScale = 40;

// A construction point at a place the test gives, the same at every size
// unless the test moves it; `missing` makes it unavailable at every size.
class FixedPoint : public CGradedPoint {
 public:
  FixedPoint(CPatternData* owner, CPoint p) : CGradedPoint(kPointKindFree, owner, 0), at(kSizes, p) { SetState(1); }
  std::vector<CPoint> at;
  bool missing = false;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (missing || size < 0 || size >= kSizes) return FALSE;
    *x = at[static_cast<size_t>(size)].x;
    *y = at[static_cast<size_t>(size)].y;
    return TRUE;
  }
};

// A boundary whose seam line the test may give outright.
class TestBoundary : public CPieceBoundary {
 public:
  using CPieceBoundary::CPieceBoundary;
  std::optional<PointList> seamLine;
  BOOL GetSeamLine(int32_t size, PointList& out) override {
    if (!seamLine) return CPieceBoundary::GetSeamLine(size, out);
    out = *seamLine;
    return TRUE;
  }
};

std::string Text(const PointList& list) {
  std::ostringstream out;
  for (const CPoint& p : list) out << (out.tellp() > 0 ? " " : "") << "(" << p.x << "," << p.y << ")";
  return out.str();
}

std::string Text(const std::vector<CVertex>& list) {
  std::ostringstream out;
  for (const CVertex& v : list) out << (out.tellp() > 0 ? " " : "") << "(" << v.x << "," << v.y << ":" << v.flag << ")";
  return out.str();
}

template <class Record>
std::string Text(const Record& record) {
  PointList points(record.GetPoints().begin(), record.GetPoints().end());
  return Text(points);
}

class BandsCompute : public ::testing::Test {
 protected:
  BandsCompute() : writer_(kVersion) {
    data_.SetVersion(kVersion);
    data_.SetScale(kScale);
    for (int32_t i = 0; i < kSizes; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBase);
    piece_ = data_.AddPiece(std::make_unique<CPatternRecord>(&data_));
    corners_ = {Point({0, 0}), Point({1000, 0}), Point({1000, 1000}), Point({0, 1000})};
    for (size_t i = 0; i < 4; ++i) {
      CGradedPoint* from = corners_[i];
      CGradedPoint* to = corners_[(i + 1) % 4];
      CGradedObject* line = data_.AddElement(std::make_unique<CGradedLine>(&data_, 0, 0, 1, from, to));
      square_.push_back(BoundaryEntryFields{At(line), At(from), At(to)});
    }
    p1_ = Point({500, 100});
    p2_ = Point({500, 900});
  }

  FixedPoint* Point(CPoint p) {
    return static_cast<FixedPoint*>(data_.AddElement(std::make_unique<FixedPoint>(&data_, p)));
  }
  int32_t At(const CGradedObject* object) const { return object ? data_.GetElementIndex(object) : -1; }

  // The square boundary; with `seamWidth` a seam allowance of that width at
  // every corner.
  TestBoundary* Boundary(std::optional<int32_t> seamWidth = std::nullopt) {
    BoundaryFields fields{square_, {}, {}, {}};
    if (seamWidth) {
      for (CGradedPoint* corner : corners_) fields.seams.push_back(SeamEntryFields{At(corner), *seamWidth, *seamWidth});
    }
    auto* boundary = static_cast<TestBoundary*>(piece_->AddElement(std::make_unique<TestBoundary>(piece_)));
    const std::string body = fields.Body(writer_);
    ArchiveReader reader{std::string_view(body)};
    EXPECT_TRUE(boundary->Load(reader));
    return boundary;
  }

  CFormula Width(int32_t value) {
    CFormula formula(&data_);
    formula.Set(&data_, {}, 0, 1.0, 1.0, value);
    return formula;
  }

  template <class Band>
  Band* AddBand(int32_t w1 = 100, int32_t w2 = 100, int32_t param1 = 0, CGradedObject* first = nullptr,
                CGradedObject* second = nullptr) {
    auto* band = static_cast<Band*>(piece_->AddElement(std::make_unique<Band>(piece_)));
    band->SetParameters(first ? first : p1_, second ? second : p2_, Width(w1), Width(w2), {param1, 0, 0, 0, 0, 0});
    return band;
  }

  static std::string Export(CDesignElement* element) {
    int32_t type = -1;
    std::vector<CVertex> vertices;
    if (!element->ExportItem(1.0, &type, &vertices)) return "none";
    EXPECT_EQ(type, kItemTypeSegmentPairs);
    return Text(vertices);
  }
  std::string CutOutline(int32_t size = kBase) const {
    PointList list;
    EXPECT_TRUE(piece_->GetCutOutline(size, list));
    return Text(list);
  }
  std::string CutSeamLine(int32_t size = kBase) const {
    PointList list;
    EXPECT_TRUE(piece_->GetCutSeamLine(size, list));
    return Text(list);
  }
  template <class Band>
  static std::string OutlineRecord(Band* band, int32_t size = kBase) {
    std::remove_cvref_t<decltype(*band->GetOutlineRecordAt(0))> record;
    if (!band->GetOutlineRecord(size, &record)) return "none";
    return Text(record);
  }
  template <class Band>
  static std::string SeamRecord(Band* band, int32_t size = kBase) {
    std::remove_cvref_t<decltype(*band->GetSeamRecordAt(0))> record;
    if (!band->GetSeamRecord(size, &record)) return "none";
    return Text(record);
  }

  CPatternData data_;
  DesignArchiveWriter writer_;
  CPatternRecord* piece_ = nullptr;
  std::vector<FixedPoint*> corners_;
  std::vector<BoundaryEntryFields> square_;
  FixedPoint* p1_ = nullptr;
  FixedPoint* p2_ = nullptr;
};

constexpr const char* kSquare = "(0,0) (1000,0) (1000,1000) (0,1000)";

// ---- Subtypes 16 and 32 -------------------------------------------------------------------

TEST_F(BandsCompute, TwoHalvesBandReachesTheOutlineAtBothEndsAndFoldsItsMidpointLines) {
  Boundary();
  auto* band = AddBand<CType64Element16>();
  // Equal widths: sides parallel to the middle line, half a width away; the
  // midpoint lines meet the outline folded over along the sides, which on a
  // square is the outline itself.
  EXPECT_EQ(OutlineRecord(band),
            "(500,100) (500,900) (450,0) (450,1000) (550,0) (550,1000) (475,0) (475,1000) (525,0) (525,1000)");
  EXPECT_EQ(Export(band),
            "(450,0:0) (450,1000:4) (475,0:1) (475,1000:4) (500,100:1) (500,900:4) (525,0:1) (525,1000:4) "
            "(550,0:3) (550,1000:4)");
  EXPECT_EQ(CutOutline(),
            "(550,1000) (1000,1000) (1000,0) (550,0) (525,0) (500,100) (475,0) (450,0) (0,0) (0,1000) (450,1000) "
            "(475,1000) (500,900) (525,1000)");
}

TEST_F(BandsCompute, TwoHalvesBandOpenAtOneEndReachesTheOutlineAtItsFirstEndOnly) {
  Boundary();
  auto* band = AddBand<CType64Element32>();
  EXPECT_EQ(OutlineRecord(band),
            "(500,100) (500,900) (450,0) (450,900) (550,0) (550,900) (475,0) (475,900) (525,0) (525,900)");
  EXPECT_EQ(CutOutline(), "(450,0) (0,0) (0,1000) (1000,1000) (1000,0) (550,0) (525,0) (500,100) (475,0)");
}

}  // namespace
