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
#include <functional>
#include <array>
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
  // A missing point stays missing: nothing is kept of the failed size.
  SizeOutcome OutcomeOf(BOOL result) const override {
    return missing ? SizeOutcome::kNothing : CGradedPoint::OutcomeOf(result);
  }
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
// The square with the band between (500,100) and (500,900), 100 wide, cut in
// at both ends.
constexpr const char* kMirroredCut =
    "(550,1000) (1000,1000) (1000,0) (550,0) (500,0) (450,0) (0,0) (0,1000) (450,1000) (500,1000)";

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

// ---- Subtypes 1 and 2 -----------------------------------------------------------------------

TEST_F(BandsCompute, MirroredBandMeetsTheOutlineAtBothEndsWithItsMiddlePointsOnTheMiddleLine) {
  Boundary();
  // Either edge's corners give the same middle points on a square.
  for (int32_t param1 : {0, 1}) {
    SCOPED_TRACE(param1);
    auto* band = AddBand<CType64Element1>(100, 100, param1);
    EXPECT_EQ(band->Calculate(kBase), TRUE);
    // P1, P2, F1, F2, S1, S2, M1, M2.
    EXPECT_EQ(OutlineRecord(band), "(500,100) (500,900) (450,0) (450,1000) (550,0) (550,1000) (500,0) (500,1000)");
    EXPECT_EQ(Export(band), "(450,0:0) (450,1000:4) (500,0:1) (500,1000:4) (550,0:3) (550,1000:4)");
    // Both ends cut in (the ring comes back the other way round).
    EXPECT_EQ(CutOutline(), kMirroredCut);
    piece_->RemoveElement(band);
  }
}

TEST_F(BandsCompute, MirroredBandFromTheOutlineEndsInsideAtItsSecondPoint) {
  Boundary();
  auto* band = AddBand<CType64Element2>();
  EXPECT_EQ(OutlineRecord(band), "(500,100) (500,900) (450,0) (450,900) (550,0) (550,900) (500,0) (500,900)");
  EXPECT_EQ(Export(band), "(450,0:0) (450,900:4) (500,0:1) (500,900:4) (550,0:3) (550,900:4)");
  EXPECT_EQ(CutOutline(), "(450,0) (0,0) (0,1000) (1000,1000) (1000,0) (550,0) (500,0)");
}

TEST_F(BandsCompute, MirroredBandIsCarriedOntoTheSeamLineMiddleLineIncluded) {
  Boundary(100);
  auto* band = AddBand<CType64Element1>();
  EXPECT_EQ(band->Calculate(kBase), TRUE);
  EXPECT_EQ(OutlineRecord(band), "(500,100) (500,900) (450,0) (450,1000) (550,0) (550,1000) (500,0) (500,1000)");
  EXPECT_EQ(SeamRecord(band),
            "(500,-100) (500,1100) (450,-100) (450,1100) (550,-100) (550,1100) (500,-100) (500,1100)");
  EXPECT_EQ(CutSeamLine(),
            "(550,1100) (1100,1100) (1100,-100) (550,-100) (500,-100) (450,-100) (-100,-100) (-100,1100) "
            "(450,1100) (500,1100)");
  // The box takes in both shapes.
  EXPECT_EQ(band->GetBoundRect(kBase), CRect(450, -100, 551, 1101));
}

// ---- Subtypes 4 and 8 -----------------------------------------------------------------------

TEST_F(BandsCompute, FoldedBandLiesOnTheSideOfItsSecondEdgeAndFoldsOnTheMiddleLine) {
  Boundary();
  // Equal widths: t = LineAngle(P1, P2) - pi/2, so C and E lie a whole
  // width to the right of P1 and P2, and the first side is P1-P2 itself.
  auto* band = AddBand<CType64Element4>();
  EXPECT_EQ(band->Calculate(kBase), TRUE);
  // M1, M2, A, B, C, E, F1, F2.
  EXPECT_EQ(OutlineRecord(band), "(550,100) (550,900) (500,0) (500,1000) (600,0) (600,1000) (550,0) (550,1000)");
  EXPECT_EQ(CutOutline(), "(600,1000) (1000,1000) (1000,0) (600,0) (550,0) (500,0) (0,0) (0,1000) (500,1000) (550,1000)");

  // Open at its second end: B and E stay at the offset places, p7 is M2.
  auto* open = AddBand<CType64Element8>();
  EXPECT_EQ(OutlineRecord(open), "(550,100) (550,900) (500,0) (500,900) (600,0) (600,900) (550,0) (550,900)");
}

TEST_F(BandsCompute, FoldedBandTakesTheFirstSideForNegativeWidths) {
  Boundary();
  auto* band = AddBand<CType64Element4>(-100, -100);
  // A and B a whole width to the left, C-E the line between the points.
  EXPECT_EQ(OutlineRecord(band), "(450,100) (450,900) (400,0) (400,1000) (500,0) (500,1000) (450,0) (450,1000)");
}

// ---- The corner test ---------------------------------------------------------------------

TEST(BandCornerTest, TurnsFromTenToThreeHundredFiftyDegreesPass) {
  struct Case {
    double turn;
    bool passes;
  };
  const double degree = 3.14159265358979 / 180.0;
  const Case kCases[] = {
      {3.14159265358979 / 18.0, false},  // exactly 10 degrees lies below the bound
      {0.17453292519944444, true},
      {-0.17453292519944444, true},
      {6.108652381980556, true},
      {-6.108652381980556, true},
      {9.9 * degree, false},
      {350.1 * degree, false},
      {0.0, false},
      {std::nan(""), false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.turn);
    EXPECT_EQ(PassesBandCornerTest(c.turn), c.passes);
  }
}

// The square with its corner (1000, 0) cut off by a steep edge from
// (900, 0) to (1000, 800), about 83 degrees from the top edge: a band
// running down the piece at x = 950 meets it at a corner turning by about
// 7 degrees on its right-hand edge and by about 173 degrees on its
// left-hand one.
TEST_F(BandsCompute, ACornerTurningUnderTenDegreesGivesTheMidpointsAtBothEnds) {
  corners_[1]->at.assign(kSizes, CPoint(900, 0));
  FixedPoint* cut = Point({1000, 800});
  CGradedObject* steep = data_.AddElement(std::make_unique<CGradedLine>(&data_, 0, 0, 1, corners_[1], cut));
  CGradedObject* down = data_.AddElement(std::make_unique<CGradedLine>(&data_, 0, 0, 1, cut, corners_[2]));
  square_[1] = BoundaryEntryFields{At(steep), At(corners_[1]), At(cut)};
  square_.insert(square_.begin() + 2, BoundaryEntryFields{At(down), At(cut), At(corners_[2])});
  Boundary();
  FixedPoint* p1 = Point({950, 300});
  FixedPoint* p2 = Point({950, 900});
  struct Case {
    const char* name;
    std::function<CType64Element*()> make;
    std::string record;
  };
  const Case kCases[] = {
      // The right-hand edge's corners: 7 degrees at the top, so both
      // middle points are the midpoints of the ends.
      {"1, second edge", [&] { return AddBand<CType64Element1>(20, 20, 1, p1, p2); },
       "(950,300) (950,900) (940,320) (940,1000) (960,480) (960,1000) (950,400) (950,1000)"},
      // The left-hand edge's corners both pass: the middle points lie where
      // the outline folded over along that edge meets the middle line (the
      // steep edge mirrored about x = 940 reaches x = 950 at y = 240).
      {"1, first edge", [&] { return AddBand<CType64Element1>(20, 20, 0, p1, p2); },
       "(950,300) (950,900) (940,320) (940,1000) (960,480) (960,1000) (950,240) (950,1000)"},
      // The folded band on the right of the points, folding at its second
      // side: the same steep corner gives both fold points as midpoints.
      {"4, second side", [&] { return AddBand<CType64Element4>(20, 20, 1, p1, p2); },
       "(960,300) (960,900) (950,400) (950,1000) (970,560) (970,1000) (960,480) (960,1000)"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CType64Element* band = c.make();
    EXPECT_EQ(band->Calculate(kBase), TRUE);
    if (auto* a = dynamic_cast<CType64Band<CShapeRecordA>*>(band)) {
      EXPECT_EQ(OutlineRecord(a), c.record);
    }
    piece_->RemoveElement(band);
  }
}

// ---- Failures ------------------------------------------------------------------------------

TEST_F(BandsCompute, ASizeWithoutItsPointsIsNeitherSplicedNorExported) {
  Boundary(100);
  PointList seamBefore;
  ASSERT_TRUE(piece_->GetSeamLine(kBase, seamBefore));
  struct Case {
    const char* name;
    std::function<CType64Element*()> make;
  };
  FixedPoint* missing = Point({500, 100});
  missing->missing = true;
  const Case kCases[] = {
      {"1, no first point", [&] { return AddBand<CType64Element1>(100, 100, 0, missing); }},
      {"2, no second point", [&] { return AddBand<CType64Element2>(100, 100, 0, p1_, missing); }},
      {"4, no first point", [&] { return AddBand<CType64Element4>(100, 100, 0, missing); }},
      {"8, no second point", [&] { return AddBand<CType64Element8>(100, 100, 0, p1_, missing); }},
      {"16, no first point", [&] { return AddBand<CType64Element16>(100, 100, 0, missing); }},
      {"32, no second point", [&] { return AddBand<CType64Element32>(100, 100, 0, p1_, missing); }},
      // A reference that did not resolve.
      {"1, null reference", [&] {
         auto* band = AddBand<CType64Element1>();
         band->ReplaceReference(p2_, nullptr);
         return band;
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CType64Element* band = c.make();
    EXPECT_EQ(band->Calculate(kBase), FALSE);
    EXPECT_EQ(Export(band), "none");
    EXPECT_EQ(CutOutline(), kSquare);
    PointList seam;
    ASSERT_TRUE(piece_->GetCutSeamLine(kBase, seam));
    EXPECT_EQ(seam, seamBefore);
    double distance = -1;
    EXPECT_FALSE(band->HitTestPoint(500, 500, 5.0, &distance));
    EXPECT_TRUE(band->GetBoundRect(kBase).IsRectEmpty());
    piece_->RemoveElement(band);
  }
}

TEST_F(BandsCompute, ShapesWithoutAnAngleFailWithTheRecordAtTheirPoints) {
  Boundary();
  FixedPoint* near = Point({500, 110});
  struct Case {
    const char* name;
    std::function<CType64Element*()> make;
    std::string item;
  };
  const Case kCases[] = {
      // Coinciding points: no direction to offset the edges from.
      {"1, P1 = P2", [&] { return AddBand<CType64Element1>(100, 100, 0, p1_, p1_); },
       "(500,100:0) (500,100:4) (500,100:1) (500,100:4) (500,100:3) (500,100:4)"},
      // |w1 - w2| / 2 larger than the distance: no tangent side.
      {"4, widths apart", [&] { return AddBand<CType64Element4>(100, 0, 0, p1_, near); },
       "(500,100:0) (500,110:4) (500,100:1) (500,110:4) (500,100:3) (500,110:4)"},
      {"16, P1 = P2", [&] { return AddBand<CType64Element16>(100, 100, 0, p1_, p1_); },
       "(500,100:0) (500,100:4) (500,100:1) (500,100:4) (500,100:1) (500,100:4) (500,100:1) (500,100:4) "
       "(500,100:3) (500,100:4)"},
      {"32, widths apart", [&] { return AddBand<CType64Element32>(100, 0, 0, p1_, near); },
       "(500,100:0) (500,110:4) (500,100:1) (500,110:4) (500,100:1) (500,110:4) (500,100:1) (500,110:4) "
       "(500,100:3) (500,110:4)"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CType64Element* band = c.make();
    EXPECT_EQ(band->Calculate(kBase), FALSE);
    EXPECT_EQ(Export(band), c.item);
    EXPECT_EQ(CutOutline(), kSquare);
    piece_->RemoveElement(band);
  }
}

TEST_F(BandsCompute, AnEdgeThatMeetsTheOutlineOnlyBehindItsEndFailsTheSize) {
  Boundary();
  // Both points above the square: the edges meet it only behind the first
  // end, seen from the second.
  auto* band = AddBand<CType64Element1>(100, 100, 0, Point({500, -100}), Point({500, -300}));
  EXPECT_EQ(band->Calculate(kBase), FALSE);
  EXPECT_EQ(OutlineRecord(band), "(500,-100) (500,-300) (500,-100) (500,-300) (500,-100) (500,-300) (500,-100) (500,-300)");
  EXPECT_EQ(CutOutline(), kSquare);
}

TEST_F(BandsCompute, AFailureOnTheSeamLineAloneKeepsTheOutlineShape) {
  TestBoundary* boundary = Boundary(100);
  // A seam line that the edges meet only beyond their second ends.
  boundary->seamLine = PointList{CPoint(400, 1100), CPoint(600, 1100), CPoint(600, 1200), CPoint(400, 1200)};
  auto* band = AddBand<CType64Element1>();
  EXPECT_EQ(band->Calculate(kBase), FALSE);
  EXPECT_EQ(OutlineRecord(band), "(500,100) (500,900) (450,0) (450,1000) (550,0) (550,1000) (500,0) (500,1000)");
  EXPECT_EQ(Export(band), "(450,0:0) (450,1000:4) (500,0:1) (500,1000:4) (550,0:3) (550,1000:4)");
  EXPECT_EQ(CutOutline(), kMirroredCut);
}

TEST_F(BandsCompute, WithoutAnOutlineTheEndsStayAndTheCornersTakeTheMidpoints) {
  // No boundary: nothing to meet and no ring to walk along from a corner.
  auto* band = AddBand<CType64Element1>(100, 100, 1);
  EXPECT_EQ(band->Calculate(kBase), TRUE);
  EXPECT_EQ(OutlineRecord(band), "(500,100) (500,900) (450,100) (450,900) (550,100) (550,900) (500,100) (500,900)");
  auto* folded = AddBand<CType64Element8>(100, 100, 0);
  EXPECT_EQ(folded->Calculate(kBase), TRUE);
  EXPECT_EQ(OutlineRecord(folded), "(550,100) (550,900) (500,100) (500,900) (600,100) (600,900) (550,100) (550,900)");
}

TEST_F(BandsCompute, ExtremeWidthsAndPlacesComputeWithoutOverflow) {
  Boundary(100);
  FixedPoint* far = Point({2000000000, -2000000000});
  const int32_t kExtremes[] = {2147483647, -2147483647 - 1, 0};
  for (int32_t w1 : kExtremes) {
    for (int32_t w2 : kExtremes) {
      SCOPED_TRACE(std::to_string(w1) + " " + std::to_string(w2));
      std::vector<CType64Element*> bands = {
          AddBand<CType64Element1>(w1, w2, 0, p1_, far), AddBand<CType64Element2>(w1, w2, 1),
          AddBand<CType64Element4>(w1, w2, 0, far, p2_), AddBand<CType64Element8>(w1, w2, 1),
          AddBand<CType64Element16>(w1, w2, 0, p1_, far), AddBand<CType64Element32>(w1, w2, 1)};
      for (CType64Element* band : bands) {
        band->Calculate(kBase);
        int32_t type = 0;
        std::vector<CVertex> vertices;
        band->ExportItem(1.0, &type, &vertices);
        band->GetBoundRect(kBase);
        double distance = 0;
        band->HitTestPoint(0, 0, 5.0, &distance);
      }
      PointList cut;
      piece_->GetCutOutline(kBase, cut);
      piece_->GetCutSeamLine(kBase, cut);
      for (CType64Element* band : bands) piece_->RemoveElement(band);
    }
  }
}

// ---- Records, sizes, hit test, export ---------------------------------------------------------

TEST_F(BandsCompute, ExportedPairsRunFirstMiddleLastWithTheirEndsFlaggedFour) {
  Boundary();
  auto* a = AddBand<CType64Element8>();
  auto* b = AddBand<CType64Element32>();
  for (CType64Element* band : std::vector<CType64Element*>{a, b}) {
    int32_t type = -1;
    std::vector<CVertex> vertices;
    ASSERT_TRUE(band->ExportItem(1.0, &type, &vertices));
    EXPECT_EQ(type, 7);
    std::vector<uint32_t> flags;
    for (const CVertex& v : vertices) flags.push_back(v.flag);
    EXPECT_EQ(flags, band == a ? std::vector<uint32_t>({0, 4, 1, 4, 3, 4})
                               : std::vector<uint32_t>({0, 4, 1, 4, 1, 4, 1, 4, 3, 4}));
  }
}

TEST_F(BandsCompute, AnInsertedSizeStartsAtTheOriginAndIsComputedOnUse) {
  Boundary();
  auto* band = AddBand<CType64Element1>();
  ASSERT_EQ(band->Calculate(1), TRUE);
  band->InsertSize(1);
  EXPECT_EQ(band->GetRecordCount(), kSizes + 1);
  EXPECT_EQ(Text(*band->GetOutlineRecordAt(1)), "(0,0) (0,0) (0,0) (0,0) (0,0) (0,0) (0,0) (0,0)");
  EXPECT_EQ(Text(*band->GetSeamRecordAt(1)), "(0,0) (0,0) (0,0) (0,0) (0,0) (0,0) (0,0) (0,0)");
  EXPECT_TRUE(band->IsDirty(1));
  EXPECT_EQ(OutlineRecord(band, 1), "(500,100) (500,900) (450,0) (450,1000) (550,0) (550,1000) (500,0) (500,1000)");
  EXPECT_FALSE(band->IsDirty(1));
  band->RemoveSize(1);
  EXPECT_EQ(band->GetRecordCount(), kSizes);
}

TEST_F(BandsCompute, HitTestTakesTheNearestPointThenTheInsideOfTheShape) {
  Boundary();
  auto* band = AddBand<CType64Element1>();
  double distance = -1;
  // Exactly at the tolerance from F1.
  EXPECT_TRUE(band->HitTestPoint(450, 10, 10.0, &distance));
  EXPECT_EQ(distance, 10.0);
  // Inside the band, far from every point.
  EXPECT_TRUE(band->HitTestPoint(520, 500, 5.0, &distance));
  EXPECT_EQ(distance, 5.0);
  distance = -1;
  EXPECT_FALSE(band->HitTestPoint(100, 500, 5.0, &distance));
  EXPECT_EQ(distance, -1);
  EXPECT_EQ(band->GetBoundRect(kBase), CRect(450, 0, 551, 1001));
  // A half turn about the origin: the box of the turned points, no +1.
  EXPECT_EQ(band->GetBoundRectAt(kBase, 0, 0, 0.0, -1.0), CRect(-550, -1000, -450, 0));
}

TEST_F(BandsCompute, ParametersAndValuesRoundTripAndMarkEverySizeDirty) {
  Boundary();
  auto* band = AddBand<CType64Element4>(100, 100, 5);
  band->Calculate(0);
  band->Calculate(1);
  band->SetValues(Width(30), Width(40), {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(band->GetDirtyCount(), kSizes);
  CGradedObject *first = nullptr, *second = nullptr;
  CFormula w1(&data_), w2(&data_);
  CType64Element4::Parameters params{};
  band->GetParameters(&first, &second, &w1, &w2, &params);
  EXPECT_EQ(first, p1_);
  EXPECT_EQ(second, p2_);
  EXPECT_EQ(w1.Evaluate(0), 30);
  EXPECT_EQ(w2.Evaluate(0), 40);
  EXPECT_EQ(params, (CType64Element4::Parameters{1, 2, 3, 4, 5, 6}));
}

// ---- Fill lines -----------------------------------------------------------------------------

TEST(BandFillLines, SpacingZeroGivesNoLinesAndUnchangedSettingsKeepTheStoredOnes) {
  CShapeRecordA record;
  record.Set({CPoint(500, 100), CPoint(500, 900), CPoint(450, 0), CPoint(450, 1000), CPoint(550, 0),
              CPoint(550, 1000), CPoint(500, 0), CPoint(500, 1000)});
  std::array<std::vector<CPoint>, 2> lines;
  record.GetFillLines(5, 0, 10, 0, &lines);
  EXPECT_TRUE(lines[0].empty());
  EXPECT_TRUE(lines[1].empty());
  EXPECT_EQ(record.lineOffset, 10);

  record.GetFillLines(5, 100, 10, 0, &lines);
  ASSERT_FALSE(lines[0].empty());
  EXPECT_EQ(lines[0].size(), lines[1].size());
  EXPECT_EQ(record.recompute, 0);
  for (size_t i = 0; i < lines[0].size(); ++i) {
    for (CPoint p : {lines[0][i], lines[1][i]}) {
      EXPECT_GE(p.x, 450);
      EXPECT_LE(p.x, 550);
    }
  }
  // A new offset or side alone does not compute them again.
  std::array<std::vector<CPoint>, 2> again;
  record.GetFillLines(5, 100, 60, 1, &again);
  EXPECT_EQ(again, lines);
  // Set asks for them afresh.
  record.Set(record.GetPoints());
  record.GetFillLines(5, 100, 60, 0, &again);
  EXPECT_NE(again, lines);
}

TEST(BandFillLines, TheSecondHalfOfATwoHalvesShapeIsFilledToo) {
  CShapeRecordB record;
  record.Set({CPoint(500, 100), CPoint(500, 900), CPoint(450, 0), CPoint(450, 1000), CPoint(550, 0),
              CPoint(550, 1000), CPoint(475, 0), CPoint(475, 1000), CPoint(525, 0), CPoint(525, 1000)});
  std::array<std::vector<CPoint>, 4> lines;
  record.GetFillLines(8, 40, 0, 0, &lines);
  EXPECT_FALSE(lines[0].empty());
  EXPECT_FALSE(lines[2].empty());
  EXPECT_EQ(lines[2].size(), lines[3].size());
  // A hostile count stays bounded by the base segment.
  record.GetFillLines(2147483647, 1, 0, 1, &lines);
  EXPECT_LE(lines[0].size(), 1001u);
}

// ---- Drawing --------------------------------------------------------------------------------

TEST(BandDrawShape, ShortAndCoincidingSlotsAndTheOpenV) {
  RecordingDC dc;
  CType64Element::DrawShape(&dc, 1.0, 0, 0, 10, 10, 10, 10, 2, 20);
  EXPECT_TRUE(dc.calls().empty());

  // 3 device units apart: the 4-unit stroke alone, whatever the style.
  CType64Element::DrawShape(&dc, 1.0, 0, 0, 0, 0, 3, 0, 2, 20);
  EXPECT_EQ(dc.Text(), "MoveTo (0,0)\nLineTo (0,0)-(4,0) pen=solid/1/0x000000\n");
  dc.Clear();

  // c7, the second point, c6, and the pixel the last line leaves out.
  CType64Element::DrawShape(&dc, 1.0, 0, 0, 0, 0, 100, 0, 2, 20);
  EXPECT_EQ(dc.Text(),
            "MoveTo (0,-10)\n"
            "LineTo (0,-10)-(100,0) pen=solid/1/0x000000\n"
            "LineTo (100,0)-(0,10) pen=solid/1/0x000000\n"
            "SetPixel (0,10) 0x000000\n");
}

TEST(BandDrawShape, EachStyleDrawsItsOwnLines) {
  struct Case {
    int32_t style;
    const char* calls;
  };
  // From (0,0) to (100,0), 20 wide: c8 (100,-10), c9 (100,10), c7 (0,-10),
  // c6 (0,10).
  const Case kCases[] = {
      {1, "MoveTo (0,0)\nLineTo (0,0)-(100,0) pen=solid/1/0x000000\nMoveTo (100,-10)\n"
          "LineTo (100,-10)-(100,10) pen=solid/1/0x000000\n"},
      {4, "MoveTo (0,0)\nLineTo (0,0)-(100,0) pen=solid/1/0x000000\n"},
      {5, "MoveTo (0,-10)\nLineTo (0,-10)-(100,-10) pen=solid/1/0x000000\n"
          "LineTo (100,-10)-(100,10) pen=solid/1/0x000000\nLineTo (100,10)-(0,10) pen=solid/1/0x000000\n"},
      {9, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.style);
    RecordingDC dc;
    CType64Element::DrawShape(&dc, 1.0, 0, 0, 0, 0, 100, 0, c.style, 20);
    EXPECT_EQ(dc.Text(), c.calls);
  }
  // A rounded end too narrow on the device to show: the plain line.
  RecordingDC dc;
  CType64Element::DrawShape(&dc, 10.0, 0, 0, 0, 0, 1000, 0, 3, 20);
  EXPECT_EQ(dc.Text(), "MoveTo (0,0)\nLineTo (0,0)-(100,0) pen=solid/1/0x000000\n");
}

}  // namespace
