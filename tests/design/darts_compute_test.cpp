// The darts at work: each subtype's shape per size from its points and
// graded values, carried onto a square outline (and a seam line around it),
// spliced into the cut outline, hit-tested, boxed and exported; the band
// corners; and what a size that cannot be built keeps and shows.
//
// The piece's outline and seam line are fixed rings the test gives (a
// boundary whose lists do not depend on entries), so the darts are tested
// without the outline's own computation.
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/construct/construct_element.h"
#include "design/construct/darts.h"
#include "design/core/factories.h"
#include "design/core/formula.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/core/size_table.h"
#include "design/elements/boundary.h"
#include "design/geometry/polyline.h"
#include "design/geometry/vertex.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/design_writer/boundary_records.h"
#include "tests/design_writer/dart_records.h"

namespace {

using namespace design_fixture;

constexpr int32_t kVersion = 162;
constexpr int32_t kSizes = 2;
constexpr int32_t kBase = 0;
constexpr int32_t kScale = 40;

// A construction point at a position the test gives, the same at every
// size; one that `fails` cannot be had at any size.
class FixedPoint : public CGradedPoint {
 public:
  FixedPoint(CPatternData* owner, CPoint p) : CGradedPoint(kPointKindFree, owner, 0), at(p) { SetState(1); }
  CPoint at;
  bool fails = false;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (fails || size < 0 || size >= kSizes) return FALSE;
    *x = at.x;
    *y = at.y;
    return TRUE;
  }
};

// A boundary whose outline and seam line are the rings the test gives.
class FixedBoundary : public CPieceBoundary {
 public:
  explicit FixedBoundary(CPatternRecord* owner) : CPieceBoundary(owner) {}
  PointList outline;
  PointList seam;
  BOOL GetOutline(int32_t, PointList& out) override {
    out = outline;
    return TRUE;
  }
  BOOL GetSeamLine(int32_t, PointList& out) override {
    out = seam;
    return TRUE;
  }
};

const PointList kSquare = {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}};
const PointList kSeamSquare = {{-100, -100}, {1100, -100}, {1100, 1100}, {-100, 1100}};

std::string Text(const PointList& list) {
  std::ostringstream out;
  for (const CPoint& p : list) out << (out.tellp() > 0 ? " " : "") << "(" << p.x << "," << p.y << ")";
  return out.str();
}

std::string Text(CPoint p) { return Text(PointList{p}); }

template <class Record>
std::string Text(const Record& record) {
  return Text(PointList(record.points.begin(), record.points.end()));
}

std::string Text(const std::vector<CVertex>& list) {
  std::ostringstream out;
  for (const CVertex& v : list) {
    out << (out.tellp() > 0 ? " " : "") << "(" << v.x << "," << v.y << ")0x" << std::hex << v.flag << std::dec;
  }
  return out.str();
}

std::string Text(const CRect& r) {
  std::ostringstream out;
  out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  return out.str();
}

// Whether `part` runs through `ring` as consecutive points, either way
// round and across its closing segment.
bool HoldsRun(const PointList& ring, const PointList& part) {
  PointList twice = ring;
  twice.insert(twice.end(), ring.begin(), ring.end());
  const std::string whole = " " + Text(twice) + " ";
  PointList reversed(part.rbegin(), part.rend());
  return whole.find(" " + Text(part) + " ") != std::string::npos ||
         whole.find(" " + Text(reversed) + " ") != std::string::npos;
}

class DartsCompute : public ::testing::Test {
 protected:
  DartsCompute() {
    data_.SetVersion(kVersion);
    data_.SetScale(kScale);
    for (int32_t i = 0; i < kSizes; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBase);
    piece_ = data_.AddPiece(std::make_unique<CPatternRecord>(&data_));
    boundary_ = static_cast<FixedBoundary*>(piece_->AddElement(std::make_unique<FixedBoundary>(piece_)));
    boundary_->outline = kSquare;
  }

  // The piece gets a seam line: one seam entry read from a record.
  void GiveSeamLine(const PointList& seam) {
    DesignArchiveWriter w(kVersion);
    const std::string body = BoundaryFields{{}, {SeamEntryFields{}}, {}, {}}.Body(w);
    ArchiveReader reader{std::string_view(body)};
    ASSERT_TRUE(boundary_->Load(reader));
    boundary_->seam = seam;
    ASSERT_TRUE(piece_->HasSeamLine());
  }

  FixedPoint* Point(CPoint p) {
    return static_cast<FixedPoint*>(data_.AddElement(std::make_unique<FixedPoint>(&data_, p)));
  }

  // A dart of the piece with its references, graded values (constants) and
  // words.
  template <class Dart>
  Dart* Add(const std::vector<CGradedPoint*>& refs, const std::vector<int32_t>& values,
            const std::vector<int32_t>& words = {}) {
    auto* dart = static_cast<Dart*>(piece_->AddElement(std::make_unique<Dart>(piece_)));
    std::vector<CFormula> formulas;
    for (int32_t v : values) formulas.emplace_back(&data_, std::list<CFormulaTerm>{}, 0, 1.0, 1.0, v);
    dart->SetAll(refs, formulas, words);
    return dart;
  }
  template <class Dart>
  Dart* Add(const std::vector<CPoint>& points, const std::vector<int32_t>& values,
            const std::vector<int32_t>& words = {}) {
    std::vector<CGradedPoint*> refs;
    for (const CPoint& p : points) refs.push_back(Point(p));
    return Add<Dart>(refs, values, words);
  }

  std::string CutOutline() const {
    PointList out;
    piece_->GetCutOutline(kBase, out);
    return Text(out);
  }
  std::string CutSeamLine() const {
    PointList out;
    piece_->GetCutSeamLine(kBase, out);
    return Text(out);
  }

  static std::string Export(CDesignElement* dart, int32_t* itemType = nullptr, BOOL* result = nullptr) {
    int32_t type = -1;
    std::vector<CVertex> vertices;
    const BOOL ok = dart->ExportItem(1.0, &type, &vertices);
    if (itemType) *itemType = type;
    if (result) *result = ok;
    return Text(vertices);
  }

  template <class Dart>
  static std::string Record(Dart* dart, int32_t size = kBase) {
    CFivePointRec record;
    dart->GetRecord(size, record);
    return Text(record);
  }

  CPatternData data_;
  CPatternRecord* piece_ = nullptr;
  FixedBoundary* boundary_ = nullptr;
};

// ---- Records and band ----------------------------------------------------------------

TEST(DartBand, CornersLieHalfTheWidthEitherSideOfTheEnds) {
  CPoint c1, c2, c3, c4;
  EXPECT_TRUE(CConstructElement::MakeBand({100, 0}, {0, 0}, 20, &c1, &c2, &c3, &c4));
  EXPECT_EQ(Text(PointList{c1, c2, c3, c4}), "(100,-10) (100,10) (0,10) (0,-10)");
  // Ends that coincide have no direction: no division by a zero length.
  EXPECT_FALSE(CConstructElement::MakeBand({7, 8}, {7, 8}, 20, &c1, &c2, &c3, &c4));
  EXPECT_EQ(Text(PointList{c1, c2, c3, c4}), "(7,8) (7,8) (7,8) (7,8)");
}

TEST(DartRecord, BoxesOfARecordAtTheOrigin) {
  const CFivePointRec record;
  EXPECT_EQ(Text(record.GetBoundRect()), "0,0,1,1");
  EXPECT_EQ(Text(record.GetBoundRectAt(0, 0, 0.0, 1.0)), "0,0,0,0");
  CShapeRecord8 eight;
  eight.points[3] = {-5, 20};
  EXPECT_EQ(Text(eight.GetBoundRect()), "-5,0,1,21");
}

// ---- Subtype 1 -----------------------------------------------------------------------

TEST_F(DartsCompute, Subtype1CarriesItsLegsToTheOutlineAndClosesItAtTheCentre) {
  GiveSeamLine(kSeamSquare);
  auto* dart = Add<CConstructElement1>({{500, 0}, {500, 300}}, {100}, {0, 0, 0, 0, 7, 0, 0, 0, 0, 3, 2});
  EXPECT_TRUE(dart->Calculate(kBase));
  EXPECT_EQ(Record(dart), "(500,0) (500,300) (450,0) (500,0) (550,0)");
  CFivePointRec seam;
  ASSERT_TRUE(dart->GetSecondRecord(kBase, seam));
  EXPECT_EQ(Text(seam), "(500,-100) (500,300) (433,-100) (500,-100) (567,-100)");

  PointList cut;
  piece_->GetCutOutline(kBase, cut);
  EXPECT_TRUE(HoldsRun(cut, {{450, 0}, {500, 0}, {550, 0}})) << Text(cut);
  PointList cutSeam;
  piece_->GetCutSeamLine(kBase, cutSeam);
  EXPECT_TRUE(HoldsRun(cutSeam, {{433, -100}, {500, -100}, {567, -100}})) << Text(cutSeam);
  PointList outline;
  piece_->GetOutline(kBase, outline);
  EXPECT_EQ(Text(outline), Text(kSquare));

  PointList shape;
  dart->GetShapePoints(kBase, shape);
  EXPECT_EQ(Text(shape), "(450,0) (500,0) (550,0) (500,300)");

  int32_t type = 0;
  EXPECT_EQ(Export(dart, &type), "(450,0)0x102 (500,300)0x5 (550,0)0x2 (7,131075)0x69");
  EXPECT_EQ(type, 6);
  dart->SetTrailingWords({1, 0, 0, 7, 0, 0, 0, 0, 3, 2});
  EXPECT_EQ(Export(dart), "(450,0)0x2 (500,300)0x5 (550,0)0x2 (7,131075)0x69");
  for (const auto& [side, flag] : {std::pair{1, "0x169"}, std::pair{2, "0x269"}}) {
    dart->SetWords({side, 0, 0, 0, 7, 0, 0, 0, 0, 3, 2});
    EXPECT_NE(Export(dart).find(std::string("(7,131075)") + flag), std::string::npos) << side;
  }
}

TEST_F(DartsCompute, Subtype1FoldsAlongTheOutlineBeyondALegEnd) {
  // Folding along the outline beyond the second leg (side 1) or before the
  // first (side 2): the edge beyond the leg end, mirrored about the leg,
  // meets the centre line just outside the piece, the same on both sides.
  for (int32_t side : {1, 2}) {
    SCOPED_TRACE(side);
    auto* dart = Add<CConstructElement1>({{500, 0}, {500, 300}}, {100}, {side});
    EXPECT_TRUE(dart->Calculate(kBase));
    EXPECT_EQ(Record(dart), "(500,0) (500,300) (450,0) (500,-17) (550,0)");
    piece_->RemoveElement(dart);
  }
}

// ---- Subtypes 4 and 8 ----------------------------------------------------------------

TEST_F(DartsCompute, Subtype4TakesTheShorterRunAndADepthAcrossIt) {
  struct Case {
    CPoint first, second;
    int32_t depth;
    const char* record;
  };
  const Case kCases[] = {
      {{400, 0}, {600, 0}, 200, "(500,0) (500,200) (400,0) (500,0) (600,0)"},
      {{600, 0}, {400, 0}, 200, "(500,0) (500,200) (400,0) (500,0) (600,0)"},
      {{400, 0}, {600, 0}, 0, "(500,0) (500,0) (400,0) (500,0) (600,0)"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.first.x << " " << c.depth);
    auto* dart = Add<CConstructElement4>({c.first, c.second}, {c.depth});
    EXPECT_TRUE(dart->Calculate(kBase));
    EXPECT_EQ(Record(dart), c.record);
    piece_->RemoveElement(dart);
  }
  auto* dart = Add<CConstructElement4>({{400, 0}, {600, 0}}, {200}, {0, 0, 0, 0, 7, 0, 0, 0, 0, 3, 2});
  PointList cut;
  piece_->GetCutOutline(kBase, cut);
  EXPECT_TRUE(HoldsRun(cut, {{400, 0}, {500, 0}, {600, 0}})) << Text(cut);
  EXPECT_EQ(Export(dart), "(400,0)0x102 (500,200)0x5 (600,0)0x2 (7,131075)0x69");
  for (const auto& [mode, flag] : {std::pair{1, "0x169"}, std::pair{2, "0x269"}}) {
    dart->SetWords({mode, 0, 0, 0, 7, 0, 0, 0, 0, 3, 2});
    EXPECT_NE(Export(dart).find(std::string("(7,131075)") + flag), std::string::npos) << mode;
  }
}

TEST_F(DartsCompute, Subtype8BuildsTheSameDartFromItsPointsAlone) {
  auto* dart = Add<CConstructElement8>({{400, 0}, {600, 0}}, {200});
  int32_t type = 0;
  EXPECT_EQ(Export(dart, &type), "(400,0)0x0 (500,200)0x0 (600,0)0x0");
  EXPECT_EQ(type, 9);
  EXPECT_EQ(Record(dart), "(500,0) (500,200) (400,0) (500,0) (600,0)");
  auto* swapped = Add<CConstructElement8>({{600, 0}, {400, 0}}, {200});
  EXPECT_EQ(Export(swapped), "(600,0)0x0 (500,-200)0x0 (400,0)0x0");
}

// ---- Subtypes 16 and 32 --------------------------------------------------------------

TEST_F(DartsCompute, AGivenApexSplitsItsDartOnTheBisector) {
  auto* free = Add<CConstructElement32>({{400, 0}, {600, 0}, {500, 300}}, {});
  EXPECT_TRUE(free->Calculate(kBase));
  EXPECT_EQ(Record(free), "(500,0) (500,300) (400,0) (500,0) (600,0)");
  // A bisector along the chord never crosses it: P falls back to B.
  auto* parallel = Add<CConstructElement32>({{100, 0}, {200, 0}, {0, 0}}, {});
  EXPECT_TRUE(parallel->Calculate(kBase));
  EXPECT_EQ(Record(parallel), "(200,0) (0,0) (100,0) (200,0) (200,0)");

  auto* onOutline = Add<CConstructElement16>({{600, 0}, {400, 0}, {500, 300}}, {});
  EXPECT_TRUE(onOutline->Calculate(kBase));
  EXPECT_EQ(Record(onOutline), "(500,0) (500,300) (400,0) (500,0) (600,0)");
  // An apex on a leg end: P at the first end, the base point between them.
  auto* onLeg = Add<CConstructElement16>({{400, 0}, {601, 0}, {400, 0}}, {});
  EXPECT_TRUE(onLeg->Calculate(kBase));
  EXPECT_EQ(Record(onLeg), "(501,0) (400,0) (400,0) (400,0) (601,0)");
}

TEST_F(DartsCompute, TheCapFoldsTheOutlineBeyondALegOntoTheCentreLine) {
  // Modes 1 and 2 fold the edge beyond the second (first) leg end about
  // that leg; on this straight edge both give the same cap below it. Any
  // other mode keeps the plain chord.
  struct Case {
    int32_t mode;
    const char* cap;
  };
  const Case kCases[] = {{0, "(500,0)"}, {1, "(500,-134)"}, {2, "(500,-134)"}, {5, "(500,0)"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.mode);
    auto* depth = Add<CConstructElement4>({{400, 0}, {600, 0}}, {200}, {c.mode});
    auto* apex = Add<CConstructElement16>({{400, 0}, {600, 0}, {500, 200}}, {}, {c.mode});
    for (CConstructElementTwoRec* dart : {static_cast<CConstructElementTwoRec*>(depth),
                                          static_cast<CConstructElementTwoRec*>(apex)}) {
      EXPECT_TRUE(dart->Calculate(kBase));
      CFivePointRec record;
      dart->GetRecord(kBase, record);
      EXPECT_EQ(Text(record.points[3]), c.cap);
      piece_->RemoveElement(dart);
    }
  }
}

TEST_F(DartsCompute, DartsOnTheOutlineAreCarriedOntoTheSeamLine) {
  GiveSeamLine(kSeamSquare);
  auto* depth = Add<CConstructElement4>({{400, 0}, {600, 0}}, {200}, {1});
  EXPECT_TRUE(depth->Calculate(kBase));
  CFivePointRec record;
  ASSERT_TRUE(depth->GetSecondRecord(kBase, record));
  EXPECT_EQ(Text(record), "(500,-100) (500,200) (350,-100) (500,-300) (650,-100)");
  PointList cut;
  piece_->GetCutSeamLine(kBase, cut);
  EXPECT_TRUE(HoldsRun(cut, {{350, -100}, {500, -300}, {650, -100}})) << Text(cut);
  piece_->RemoveElement(depth);

  auto* walked = Add<CConstructElement64>({{500, 0}, {600, 300}}, {200});
  EXPECT_TRUE(walked->Calculate(kBase));
  ASSERT_TRUE(walked->GetSecondRecord(kBase, record));
  EXPECT_EQ(Text(record), "(600,-100) (600,300) (467,-100) (600,-100) (733,-100)");
  piece_->RemoveElement(walked);

  auto* contoured = Add<CConstructElement256>({{500, 0}, {500, 150}, {500, 300}}, {100, 50}, {1});
  EXPECT_TRUE(contoured->Calculate(kBase));
  CShapeRecord8 eight;
  ASSERT_TRUE(contoured->GetRecord(kBase, eight));
  EXPECT_EQ(Text(eight), "(500,0) (500,150) (500,300) (450,0) (475,150) (550,0) (525,150) (500,-17)");
  ASSERT_TRUE(contoured->GetSecondRecord(kBase, eight));
  EXPECT_EQ(Text(eight), "(500,-100) (500,150) (500,300) (433,-100) (475,150) (567,-100) (525,150) (500,-123)");
  PointList shape;
  contoured->GetShapePoints(kBase, shape);
  EXPECT_EQ(Text(shape), "(450,0) (500,-17) (550,0) (525,150) (500,300) (475,150)");
}

// ---- Subtype 64 ----------------------------------------------------------------------

TEST_F(DartsCompute, Subtype64WalksItsSignedLengthAlongTheOutline) {
  struct Case {
    int32_t width;
    const char* record;
  };
  const Case kCases[] = {
      {200, "(600,0) (600,300) (500,0) (600,0) (700,0)"},
      // The apex is not above the middle: the bisector meets the chord
      // off its midpoint.
      {-200, "(415,0) (600,300) (300,0) (415,0) (500,0)"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.width);
    auto* dart = Add<CConstructElement64>({{500, 0}, {600, 300}}, {c.width});
    EXPECT_TRUE(dart->Calculate(kBase));
    EXPECT_EQ(Record(dart), c.record);
    piece_->RemoveElement(dart);
  }
  // Sides 1 and 2 fold the edge beyond a leg end about its leg; any other
  // side meets the chord.
  for (const auto& [side, fold] : {std::pair{1, "(600,-75)"}, std::pair{2, "(600,-75)"}, std::pair{5, "(600,0)"}}) {
    SCOPED_TRACE(side);
    auto* dart = Add<CConstructElement64>({{500, 0}, {600, 300}}, {200}, {side});
    EXPECT_TRUE(dart->Calculate(kBase));
    CFivePointRec record;
    dart->GetRecord(kBase, record);
    EXPECT_EQ(Text(record.points[3]), fold);
    EXPECT_EQ(Text(record.points[0]), "(600,0)");
    piece_->RemoveElement(dart);
  }
  auto* closed = Add<CConstructElement64>({{500, 0}, {600, 300}}, {0});
  closed->Calculate(kBase);
  CFivePointRec record;
  closed->GetRecord(kBase, record);
  EXPECT_EQ(Text(record.points[2]), Text(CPoint(500, 0)));
  EXPECT_EQ(Text(record.points[4]), Text(CPoint(500, 0)));
}

// ---- Subtype 2 -------------------------------------------------------------------------

TEST_F(DartsCompute, Subtype2OpensAcrossItsCentre) {
  struct Case {
    CPoint apex;
    int32_t width;
    const char* item;
  };
  const Case kCases[] = {
      {{0, 100}, 40, "(-20,0)0x0 (0,100)0x0 (20,0)0x0"},
      {{0, 100}, -40, "(20,0)0x0 (0,100)0x0 (-20,0)0x0"},
      {{0, 0}, 40, "(0,0)0x0 (0,0)0x0 (0,0)0x0"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.width);
    auto* dart = Add<CConstructElement2>({{0, 0}, c.apex}, {c.width});
    EXPECT_TRUE(dart->Calculate(kBase));
    int32_t type = 0;
    EXPECT_EQ(Export(dart, &type), c.item);
    EXPECT_EQ(type, 9);
  }
  auto* shut = Add<CConstructElement2>({{3, 4}, {3, 4}}, {40});
  EXPECT_EQ(Record(shut), "(3,4) (3,4) (3,4) (3,4) (3,4)");
}

// ---- Subtype 128 -------------------------------------------------------------------------

TEST_F(DartsCompute, Subtype128IsWidestWhereTheBisectorAtItsSideMeetsItsEnds) {
  struct Case {
    CPoint m;
    const char* record;
  };
  const Case kCases[] = {
      {{100, 100}, "(0,0) (100,100) (200,0) (100,20) (100,-20)"},
      // M on N: the widest place is N itself, where the cross has no
      // direction.
      {{200, 0}, "(0,0) (200,0) (200,0) (200,0) (200,0)"},
  };
  for (const Case& c : kCases) {
    auto* dart = Add<CConstructElement128>({{0, 0}, c.m, {200, 0}}, {40});
    EXPECT_TRUE(dart->Calculate(kBase));
    CShapeRecord5 record;
    ASSERT_TRUE(dart->GetRecord(kBase, record));
    EXPECT_EQ(Text(record), c.record);
    piece_->RemoveElement(dart);
  }
  auto* dart = Add<CConstructElement128>({{0, 0}, {100, 100}, {200, 0}}, {40});
  int32_t type = 0;
  EXPECT_EQ(Export(dart, &type), "(0,0)0x0 (100,20)0x0 (200,0)0x0 (100,-20)0x0");
  EXPECT_EQ(type, 8);
  auto* allOne = Add<CConstructElement128>({{5, 5}, {5, 5}, {5, 5}}, {40});
  CShapeRecord5 record;
  ASSERT_TRUE(allOne->GetRecord(kBase, record));
  EXPECT_EQ(Text(record), "(5,5) (5,5) (5,5) (5,5) (5,5)");
}

// ---- Subtypes 256 and 512 ------------------------------------------------------------

TEST_F(DartsCompute, TheContouredDartBendsItsLegsAndFoldsOnTheOutline) {
  // Given in either order, the leg ends come out first along the shorter
  // run, each with its own bend point.
  for (const int32_t width : {100, -100}) {
    SCOPED_TRACE(width);
    auto* dart = Add<CConstructElement256>({{500, 0}, {500, 150}, {500, 300}}, {width, width / 2});
    EXPECT_TRUE(dart->Calculate(kBase));
    CShapeRecord8 record;
    ASSERT_TRUE(dart->GetRecord(kBase, record));
    EXPECT_EQ(Text(record), "(500,0) (500,150) (500,300) (450,0) (475,150) (550,0) (525,150) (500,0)");
    EXPECT_EQ(Export(dart), "(450,0)0x0 (475,150)0x0 (500,300)0x0 (525,150)0x0 (550,0)0x0");
    PointList cut;
    piece_->GetCutOutline(kBase, cut);
    EXPECT_TRUE(HoldsRun(cut, {{450, 0}, {500, 0}, {550, 0}})) << Text(cut);
    piece_->RemoveElement(dart);
  }
}

TEST_F(DartsCompute, TheFreeContouredDartEdgeCases) {
  struct Case {
    CPoint bend;
    int32_t opening, bendWidth;
    const char* record;
  };
  const Case kCases[] = {
      {{0, 50}, 40, 20, "(0,0) (0,50) (0,100) (-20,0) (-10,50) (20,0) (10,50) (0,0)"},
      // The bend on the apex: both bend points there.
      {{0, 100}, 40, 20, "(0,0) (0,100) (0,100) (-20,0) (0,100) (20,0) (0,100) (0,0)"},
      {{0, 50}, 0, 0, "(0,0) (0,50) (0,100) (0,0) (0,50) (0,0) (0,50) (0,0)"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.record);
    auto* dart = Add<CConstructElement512>({{0, 0}, c.bend, {0, 100}}, {c.opening, c.bendWidth});
    EXPECT_TRUE(dart->Calculate(kBase));
    CShapeRecord8 record;
    ASSERT_TRUE(dart->GetRecord(kBase, record));
    EXPECT_EQ(Text(record), c.record);
  }
  auto* dart = Add<CConstructElement512>({{0, 0}, {0, 50}, {0, 100}}, {40, 20});
  int32_t type = 0;
  EXPECT_EQ(Export(dart, &type), "(-20,0)0x0 (-10,50)0x0 (0,100)0x0 (10,50)0x0 (20,0)0x0");
  EXPECT_EQ(type, 9);
}

// ---- Hit tests, boxes, sizes ---------------------------------------------------------

TEST_F(DartsCompute, AHitIsWithinTheToleranceOfAPointOrInsideTheShape) {
  auto* dart = Add<CConstructElement2>({{0, 0}, {0, 100}}, {40});
  double distance = -1.0;
  EXPECT_TRUE(dart->HitTestPoint(0, -10, 10.0, &distance));
  EXPECT_EQ(distance, 10.0);
  distance = -1.0;
  EXPECT_TRUE(dart->HitTestPoint(0, 50, 5.0, &distance));
  EXPECT_EQ(distance, 5.0);
  distance = -1.0;
  EXPECT_FALSE(dart->HitTestPoint(100, 100, 5.0, &distance));
  EXPECT_EQ(distance, -1.0);

  auto* diamond = Add<CConstructElement128>({{0, 0}, {100, 100}, {200, 0}}, {40});
  EXPECT_TRUE(diamond->HitTestPoint(100, 5, 3.0, &distance));
  EXPECT_EQ(distance, 3.0);
  EXPECT_FALSE(diamond->HitTestPoint(100, 50, 3.0, &distance));
}

TEST_F(DartsCompute, TheBoxJoinsTheOutlineAndSeamRecords) {
  GiveSeamLine(kSeamSquare);
  auto* dart = Add<CConstructElement1>({{500, 0}, {500, 300}}, {100});
  EXPECT_EQ(Text(dart->GetBoundRect(kBase)), "433,-100,568,301");
  auto* free = Add<CConstructElement2>({{0, 0}, {0, 100}}, {40});
  EXPECT_EQ(Text(free->GetBoundRect(kBase)), "-20,0,21,101");
  EXPECT_EQ(Text(free->GetBoundRectAt(kBase, 0, 0, 0.0, 1.0)), "-20,0,20,100");
}

TEST_F(DartsCompute, AnInsertedSizeIsComputedWhenItIsFirstRead) {
  auto* dart = Add<CConstructElement2>({{0, 0}, {0, 100}}, {40});
  dart->Recalc(-1);
  dart->InsertSize(1);
  EXPECT_TRUE(dart->IsDirty(1));
  EXPECT_EQ(dart->GetRecords().Count(), kSizes + 1);
  CFivePointRec record;
  dart->GetRecords().Get(1, record);
  EXPECT_EQ(Text(record), "(0,0) (0,0) (0,0) (0,0) (0,0)");
  dart->RemoveSize(1);
  EXPECT_EQ(dart->GetRecords().Count(), kSizes);
}

TEST_F(DartsCompute, AChangedReferenceOrValueMarksEverySizeDirty) {
  auto* dart = Add<CConstructElement2>({{0, 0}, {0, 100}}, {40});
  dart->Recalc(-1);
  FixedPoint* other = Point({0, 200});
  dart->ReplaceReference(dart->GetApex(), other);
  EXPECT_TRUE(dart->IsDirty(0) && dart->IsDirty(1));
  EXPECT_EQ(Record(dart), "(0,0) (0,200) (-20,0) (0,0) (20,0)");
  dart->ReplaceReference(Point({9, 9}), nullptr);
  EXPECT_FALSE(dart->IsDirty(0));

  CSizeTableRow* row = data_.AddSizeRow(CString("R"));
  EXPECT_FALSE(dart->InvalidateIfUsesSizeRow(row));
  EXPECT_FALSE(dart->FreezeIfUsesSizeRow(row));
  EXPECT_FALSE(dart->IsDirty(0));
}

TEST_F(DartsCompute, AWidthOnASizeRowGradesTheDartAndIsFrozenAtTheBaseSize) {
  CSizeTableRow* row = data_.AddSizeRow(CString("W"));
  row->SetValue(0, 40);
  row->SetValue(1, 60);
  CFormula width(&data_, {CFormulaTerm::OnRow(1, row, 1, 1.0, 1.0)}, 0, 1.0, 1.0, 0);
  ASSERT_EQ(width.Evaluate(1), 60);
  auto* dart = Add<CConstructElement2>({{0, 0}, {0, 100}}, {});
  dart->SetFormula(0, width);
  EXPECT_EQ(Record(dart, 1), "(0,0) (0,100) (-30,0) (0,0) (30,0)");
  EXPECT_TRUE(dart->InvalidateIfUsesSizeRow(row));
  EXPECT_TRUE(dart->IsDirty(0) && dart->IsDirty(1));
  EXPECT_TRUE(dart->FreezeIfUsesSizeRow(row));
  EXPECT_FALSE(dart->GetFormula(0)->UsesSizeRow(row));
  EXPECT_EQ(Record(dart, 1), "(0,0) (0,100) (-20,0) (0,0) (20,0)");
}

TEST_F(DartsCompute, ACopyTakesTheWordsValuesAndReferencesAndComputesAgain) {
  auto* source = Add<CConstructElement1>({{500, 0}, {500, 300}}, {100}, {0, 1, 0, 0, 7, 0, 0, 0, 0, 3, 2});
  auto* copy = static_cast<CConstructElement1*>(piece_->AddElement(std::make_unique<CConstructElement1>(piece_)));
  copy->CopyFrom(*source);
  EXPECT_EQ(copy->GetCentre(), source->GetCentre());
  EXPECT_EQ(copy->GetApex(), source->GetApex());
  EXPECT_EQ(copy->GetWords(), source->GetWords());
  EXPECT_EQ(copy->GetWidth().GetConstant(), 100);
  EXPECT_EQ(Record(copy), "(500,0) (500,300) (450,0) (500,0) (550,0)");
  // Another subtype is not copied from.
  auto* other = Add<CConstructElement2>({{0, 0}, {0, 100}}, {40});
  copy->CopyFrom(*other);
  EXPECT_EQ(copy->GetCentre(), source->GetCentre());
}

// ---- Sizes that cannot be built -------------------------------------------------------

TEST_F(DartsCompute, ASizeWithoutItsPointsShowsNothing) {
  GiveSeamLine(kSeamSquare);
  const std::string outline = CutOutline();
  const std::string seam = CutSeamLine();
  const std::vector<std::pair<uint32_t, std::vector<int32_t>>> kSubtypes = {
      {1, {100}}, {2, {40}}, {4, {200}}, {8, {200}}, {16, {}}, {32, {}}, {64, {200}}, {128, {40}}, {256, {100, 50}},
      {512, {40, 20}}};
  for (const auto& [subtype, values] : kSubtypes) {
    const int32_t refCount = FindDartLayout(static_cast<int32_t>(subtype))->references;
    // The last reference is missing, then null, in turn.
    for (const bool null : {false, true}) {
      SCOPED_TRACE(testing::Message() << "subtype " << subtype << (null ? " null" : " failing"));
      std::vector<CGradedPoint*> refs;
      const CPoint at[] = {{500, 0}, {500, 150}, {500, 300}};
      for (int32_t i = 0; i < refCount; ++i) refs.push_back(Point(at[i]));
      if (null) {
        refs.back() = nullptr;
      } else {
        static_cast<FixedPoint*>(refs.back())->fails = true;
      }
      DesignTables::Registered();
      auto created = GetElementFactory().Create(ElementCode{kElementTypeConstruct, static_cast<int32_t>(subtype)},
                                                piece_);
      ASSERT_NE(created, nullptr);
      auto* dart = static_cast<CConstructElement*>(piece_->AddElement(std::move(created)));
      std::vector<CFormula> formulas;
      for (int32_t v : values) formulas.emplace_back(&data_, std::list<CFormulaTerm>{}, 0, 1.0, 1.0, v);
      dart->SetAll(refs, formulas, {});
      EXPECT_FALSE(dart->Calculate(kBase));
      EXPECT_FALSE(dart->HadPoints(kBase));
      BOOL exported = TRUE;
      EXPECT_EQ(Export(dart, nullptr, &exported), "");
      EXPECT_FALSE(exported);
      EXPECT_EQ(CutOutline(), outline);
      EXPECT_EQ(CutSeamLine(), seam);
      double distance = 0.0;
      EXPECT_FALSE(dart->HitTestPoint(500, 0, 1000.0, &distance));
      EXPECT_EQ(Text(dart->GetBoundRect(kBase)), "0,0,0,0");
      piece_->RemoveElement(dart);
    }
  }
}

TEST_F(DartsCompute, AFailedConstructionKeepsItsFallbackShape) {
  const std::string outline = CutOutline();
  struct Case {
    const char* name;
    CPoint centre, apex;
    const char* record;
    const char* item;
  };
  const Case kCases[] = {
      {"apex on the centre", {500, 0}, {500, 0}, "(500,0) (500,0) (500,0) (500,0) (500,0)",
       "(500,0)0x102 (500,0)0x5 (500,0)0x2 (0,0)0x69"},
      // The apex lies above the piece and the legs open away from it: every
      // crossing lies behind the apex.
      {"crossings behind", {500, 1200}, {500, 1100}, "(500,1200) (500,1100) (500,1200) (500,1200) (500,1200)",
       "(500,1200)0x102 (500,1100)0x5 (500,1200)0x2 (0,0)0x69"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto* dart = Add<CConstructElement1>({c.centre, c.apex}, {100});
    EXPECT_FALSE(dart->Calculate(kBase));
    EXPECT_EQ(Record(dart), c.record);
    EXPECT_EQ(Export(dart), c.item);
    EXPECT_EQ(CutOutline(), outline);
    piece_->RemoveElement(dart);
  }

  // An outline of no length cannot be walked: every point at the start.
  boundary_->outline = {{500, 0}, {500, 0}, {500, 0}};
  auto* walked = Add<CConstructElement64>({{500, 0}, {600, 300}}, {200});
  EXPECT_FALSE(walked->Calculate(kBase));
  EXPECT_EQ(Record(walked), "(500,0) (500,0) (500,0) (500,0) (500,0)");
}

TEST_F(DartsCompute, ASeamPassThatFailsStillMergesTheOutlineDart) {
  // A seam line that lies wholly beyond the apex: the legs cross it only
  // behind.
  GiveSeamLine({{0, 400}, {1000, 400}, {1000, 1000}, {0, 1000}});
  auto* one = Add<CConstructElement1>({{500, 0}, {500, 300}}, {100});
  EXPECT_FALSE(one->Calculate(kBase));
  EXPECT_EQ(Record(one), "(500,0) (500,300) (450,0) (500,0) (550,0)");
  PointList cut;
  piece_->GetCutOutline(kBase, cut);
  EXPECT_TRUE(HoldsRun(cut, {{450, 0}, {500, 0}, {550, 0}})) << Text(cut);
  EXPECT_EQ(Export(one), "(450,0)0x102 (500,300)0x5 (550,0)0x2 (0,0)0x69");
  piece_->RemoveElement(one);

  auto* sixteen = Add<CConstructElement16>({{400, 0}, {600, 0}, {500, 300}}, {});
  EXPECT_FALSE(sixteen->Calculate(kBase));
  EXPECT_EQ(Record(sixteen), "(500,0) (500,300) (400,0) (500,0) (600,0)");
  piece_->GetCutOutline(kBase, cut);
  EXPECT_TRUE(HoldsRun(cut, {{400, 0}, {500, 0}, {600, 0}})) << Text(cut);
  EXPECT_EQ(Export(sixteen), "(400,0)0x102 (500,300)0x5 (600,0)0x2 (0,0)0x69");
}

TEST_F(DartsCompute, ExtremePositionsAndWidthsStayWithinTheModel) {
  GiveSeamLine(kSeamSquare);
  constexpr int32_t kMax = 2147483647;
  constexpr int32_t kMin = -2147483647 - 1;
  const std::vector<CPoint> kPoints[] = {
      {{kMax, kMax}, {kMin, kMin}, {kMax, kMin}},
      {{500, 0}, {kMax, 0}, {kMin, 300}},
      {{0, 0}, {0, 0}, {0, 0}},
  };
  for (const auto& points : kPoints) {
    for (const int32_t value : {kMax, kMin, 0}) {
      for (const DartLayout& layout : kDartLayouts) {
        SCOPED_TRACE(testing::Message() << "subtype " << layout.subtype << " value " << value);
        DesignTables::Registered();
        auto* dart = static_cast<CConstructElement*>(piece_->AddElement(
            GetElementFactory().Create(ElementCode{kElementTypeConstruct, layout.subtype}, piece_)));
        ASSERT_NE(dart, nullptr);
        std::vector<CGradedPoint*> refs;
        for (int i = 0; i < layout.references; ++i) refs.push_back(Point(points[static_cast<size_t>(i)]));
        std::vector<CFormula> formulas;
        for (int i = 0; i < layout.formulas; ++i) {
          formulas.emplace_back(&data_, std::list<CFormulaTerm>{}, 0, 1.0, 1.0, value);
        }
        dart->SetAll(refs, formulas, {1, 1, 1, 1, kMax, 1, 1, 1, 1, kMin, kMax});
        dart->Recalc(-1);
        Export(dart);
        CutOutline();
        CutSeamLine();
        dart->GetBoundRect(kBase);
        double distance = 0.0;
        dart->HitTestPoint(0, 0, 5.0, &distance);
        piece_->RemoveElement(dart);
      }
    }
  }
}

// ---- Hidden points --------------------------------------------------------------------

TEST(DartsHiddenPoints, ADesignWhoseDartsReferToHiddenPointsIsComputedAndFreed) {
  design_test::StandInTables tables;
  SampleRefs refs;
  DesignArchiveWriter w = design_test::DesignToReferTo(kVersion, refs);
  FreePointFields hidden;
  hidden.state = 0;
  hidden.x = 7;
  const int32_t first = w.AddFreePoint(hidden);
  hidden.x = 9;
  const int32_t second = w.AddFreePoint(hidden);
  PatternRecordFields piece;
  piece.name = "P";
  for (const DartLayout& layout : kDartLayouts) {
    DartFields fields = SampleDartFields(layout, refs);
    fields.references[0] = first;
    fields.references[static_cast<size_t>(layout.references - 1)] = second;
    piece.elements.push_back(ElementFields{kDartElementType, layout.subtype, fields.Body()});
  }
  w.AddRecord(piece);
  auto data = design_test::LoadWhole(design_test::Finish(w), tables.Tables());
  CPatternRecord* loaded = data->GetPieceAt(0);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetElementCount(), 10);
  loaded->Recalc(-1);
  CPatternRecord::POSITION at = loaded->GetFirstElementPosition();
  while (CDesignElement* element = loaded->GetNextElement(at)) {
    int32_t type = 0;
    std::vector<CVertex> vertices;
    element->ExportItem(1.0, &type, &vertices);
  }
  data.reset();
}

}  // namespace
