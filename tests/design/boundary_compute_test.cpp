// The piece boundary at work: the stretches its outline entries give, the
// outline ring chained from them per size and turned to run
// counter-clockwise, the corner and edge hit tests, the boxes, and the
// piece outline item it exports with its vertex flags, thinned curves and
// seam vertices.
//
// The designs are built in code: points whose position per size the test
// gives, two-point lines, and polyline and spline curves read from their
// records; the boundary reads its entries from a record too, or is given
// them.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/construct/construct_element.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/curves/graded_line.h"
#include "design/curves/polyline_curves.h"
#include "design/curves/spline_curves.h"
#include "design/elements/boundary.h"
#include "design/geometry/polyline.h"
#include "design/geometry/vertex.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "tests/design_writer/boundary_records.h"
#include "tests/design_writer/curves_records.h"

namespace {

using design_fixture::BoundaryEntryFields;
using design_fixture::BoundaryFields;
using design_fixture::DesignArchiveWriter;
using design_fixture::PointListCurveFields;
using design_fixture::SeamEntryFields;

constexpr int32_t kVersion = 162;
constexpr int32_t kSizes = 3;
constexpr int32_t kBase = 1;
constexpr int32_t kScale = 40;

// A construction point at a position the test gives, the same at every size
// unless the test moves it at one.
class FixedPoint : public CGradedPoint {
 public:
  FixedPoint(CPatternData* owner, CPoint p) : CGradedPoint(kPointKindFree, owner, 0), at(kSizes, p) { SetState(1); }
  std::vector<CPoint> at;

 protected:
  BOOL ComputePoint(int32_t size, int32_t* x, int32_t* y) override {
    if (size < 0 || size >= kSizes) return FALSE;
    *x = at[static_cast<size_t>(size)].x;
    *y = at[static_cast<size_t>(size)].y;
    return TRUE;
  }
};

// A dart that cuts a fixed bump into the outline it is given.
class BumpDart : public CConstructElement {
 public:
  explicit BumpDart(CPatternRecord* owner) : CConstructElement(owner, 1) {}
  void MergeIntoOutline(int32_t, PointList& outline) override {
    ReplaceRingSection(outline, {CPoint(400, 0), CPoint(500, 100), CPoint(600, 0)});
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

class BoundaryCompute : public ::testing::Test {
 protected:
  BoundaryCompute() : writer_(kVersion) {
    data_.SetVersion(kVersion);
    data_.SetScale(kScale);
    for (int32_t i = 0; i < kSizes; ++i) data_.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
    data_.SetBaseSize(kBase);
    piece_ = data_.AddPiece(std::make_unique<CPatternRecord>(&data_));
    a_ = Point({0, 0});
    b_ = Point({1000, 0});
    c_ = Point({1000, 1000});
    d_ = Point({0, 1000});
    ab_ = Line(a_, b_);
    bc_ = Line(b_, c_);
    cd_ = Line(c_, d_);
    da_ = Line(d_, a_);
  }

  FixedPoint* Point(CPoint p) {
    return static_cast<FixedPoint*>(data_.AddElement(std::make_unique<FixedPoint>(&data_, p)));
  }
  CGradedLine* Line(CGradedPoint* p, CGradedPoint* q) {
    return static_cast<CGradedLine*>(data_.AddElement(std::make_unique<CGradedLine>(&data_, 0, 0, 1, p, q)));
  }
  int32_t At(const CGradedObject* object) const { return object ? data_.GetElementIndex(object) : -1; }

  // A list curve of `kind` through `points`, from its first to its last
  // point (a closed one from its first round to it).
  template <class Curve>
  Curve* ListCurve(int32_t kind, const std::vector<CGradedPoint*>& points) {
    PointListCurveFields f;
    for (CGradedPoint* p : points) f.points.push_back(At(p));
    f.start = f.points.front();
    f.end = kind % 2 == 0 ? f.points.front() : f.points.back();
    const std::string body = f.Body(writer_, kind);
    ArchiveReader reader{std::string_view(body)};
    auto curve = std::make_unique<Curve>(&data_, 0, 0, 1);
    EXPECT_TRUE(curve->Load(reader));
    auto* added = static_cast<Curve*>(data_.AddElement(std::move(curve)));
    added->ResolveIds();
    return added;
  }
  CSplineCurve* Spline(const std::vector<CGradedPoint*>& points) {
    return ListCurve<CSplineCurve>(design_fixture::kSplineCurveKind, points);
  }
  CPolylineCurve* Polyline(const std::vector<CGradedPoint*>& points) {
    return ListCurve<CPolylineCurve>(design_fixture::kPolylineCurveKind, points);
  }
  CClosedPolylineCurve* ClosedPolyline(const std::vector<CGradedPoint*>& points) {
    return ListCurve<CClosedPolylineCurve>(design_fixture::kClosedPolylineCurveKind, points);
  }

  static CBoundaryEntry Entry(CGradedObject* line, CGradedPoint* start, CGradedPoint* end) {
    CBoundaryEntry entry;
    entry.line = line;
    entry.startPoint = start;
    entry.endPoint = end;
    return entry;
  }

  // A boundary of the piece given `entries`.
  CPieceBoundary* Boundary(std::vector<CBoundaryEntry> entries) {
    auto* boundary =
        static_cast<CPieceBoundary*>(piece_->AddElement(std::make_unique<CPieceBoundary>(piece_)));
    boundary->SetEntries(std::move(entries));
    return boundary;
  }
  // A boundary of the piece read from a record.
  CPieceBoundary* LoadBoundary(const BoundaryFields& fields) {
    auto* boundary =
        static_cast<CPieceBoundary*>(piece_->AddElement(std::make_unique<CPieceBoundary>(piece_)));
    const std::string body = fields.Body(writer_);
    ArchiveReader reader{std::string_view(body)};
    EXPECT_TRUE(boundary->Load(reader));
    return boundary;
  }
  BoundaryEntryFields Stored(const CGradedObject* line, const CGradedObject* start, const CGradedObject* end) const {
    return BoundaryEntryFields{At(line), At(start), At(end)};
  }
  // The square given the way round the tests take it: a -> b, then b -> c
  // stored as c -> b, c -> d, d -> a.
  std::vector<BoundaryEntryFields> SquareFields() const {
    return {Stored(ab_, a_, b_), Stored(bc_, c_, b_), Stored(cd_, c_, d_), Stored(da_, d_, a_)};
  }

  static std::string Outline(CPieceBoundary* boundary, int32_t size) {
    PointList list;
    EXPECT_TRUE(boundary->GetOutline(size, list));
    return Text(list);
  }
  static std::string Export(CPieceBoundary* boundary, double factor = 4.0) {
    int32_t type = -1;
    std::vector<CVertex> vertices;
    EXPECT_TRUE(boundary->ExportItem(factor, &type, &vertices));
    EXPECT_EQ(type, 0);
    return Text(vertices);
  }

  CPatternData data_;
  DesignArchiveWriter writer_;
  CPatternRecord* piece_ = nullptr;
  FixedPoint *a_, *b_, *c_, *d_;
  CGradedLine *ab_, *bc_, *cd_, *da_;
};

constexpr const char* kSquare = "(0,0) (1000,0) (1000,1000) (0,1000)";

// ---- The outline ------------------------------------------------------------------------

TEST_F(BoundaryCompute, AnOutlineIsChainedFromItsEntriesAndStoredCounterClockwise) {
  struct Case {
    const char* name;
    std::vector<CBoundaryEntry> entries;
    std::string outline;
    int32_t reversed;
  };
  const Case cases[] = {
      // The second entry is given from its far end: it is joined backwards.
      {"one entry reversed",
       {Entry(ab_, a_, b_), Entry(bc_, c_, b_), Entry(cd_, c_, d_), Entry(da_, d_, a_)},
       kSquare,
       0},
      // Walked clockwise, the ring is turned round, its first point kept.
      {"clockwise",
       {Entry(da_, a_, d_), Entry(cd_, d_, c_), Entry(bc_, c_, b_), Entry(ab_, b_, a_)},
       kSquare,
       1},
      // The second entry meets the first at its start: the ring grows at its
      // head from then on, each stretch put in front of it.
      {"growing at the head",
       {Entry(ab_, a_, b_), Entry(da_, d_, a_), Entry(cd_, c_, d_), Entry(bc_, b_, c_)},
       "(1000,0) (1000,1000) (0,1000) (0,0)",
       0},
      // Later stretches that meet the growing end nowhere are joined at
      // their nearer end.
      {"joined at the nearer end",
       {Entry(ab_, a_, b_), Entry(bc_, b_, c_), Entry(Line(Point({990, 1010}), d_), Point({990, 1010}), d_),
        Entry(da_, a_, d_)},
       "(0,0) (1000,0) (1000,1000) (990,1010) (0,1000)",
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CPieceBoundary* boundary = Boundary(c.entries);
    EXPECT_EQ(Outline(boundary, kBase), c.outline);
    EXPECT_EQ(boundary->GetReversed(), c.reversed);
    piece_->RemoveElement(boundary);
  }
}

TEST_F(BoundaryCompute, EachSizeIsChainedFromThePositionsOfThatSize) {
  b_->at[2] = CPoint(1200, 0);
  CPieceBoundary* boundary = LoadBoundary(BoundaryFields{SquareFields(), {}, {}, {}});
  EXPECT_EQ(Outline(boundary, 2), "(0,0) (1200,0) (1000,1000) (0,1000)");
  EXPECT_EQ(Outline(boundary, kBase), kSquare);
  EXPECT_TRUE(boundary->PtInside(500, 500, kBase));
  EXPECT_FALSE(boundary->PtInside(1100, 10, kBase));
  EXPECT_TRUE(boundary->PtInside(1100, 10, 2));
}

TEST_F(BoundaryCompute, EntriesWithoutAStretchAddNothing) {
  FixedPoint* text = Point({5, 5});  // stands for an object that is no line
  struct Case {
    const char* name;
    std::vector<CBoundaryEntry> entries;
  };
  const Case cases[] = {
      // None of these starts the chain: the next entry is the first.
      {"leading entries without a stretch",
       {Entry(nullptr, c_, d_), Entry(ab_, nullptr, b_), Entry(text, a_, b_), Entry(ab_, a_, b_),
        Entry(bc_, c_, b_), Entry(cd_, c_, d_), Entry(da_, d_, a_)}},
      // The second entry has no line: it keeps its place in the chain and
      // the outline of the other three closes over the gap.
      {"second without a line",
       {Entry(ab_, a_, b_), Entry(nullptr, c_, b_), Entry(cd_, c_, d_), Entry(da_, d_, a_)}},
      {"second with an object that is no line",
       {Entry(ab_, a_, b_), Entry(text, c_, b_), Entry(cd_, c_, d_), Entry(da_, d_, a_)}},
      {"later entry without points",
       {Entry(ab_, a_, b_), Entry(bc_, c_, b_), Entry(cd_, nullptr, nullptr), Entry(cd_, c_, d_),
        Entry(da_, d_, a_)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CPieceBoundary* boundary = Boundary(c.entries);
    EXPECT_EQ(Outline(boundary, kBase), kSquare);
    piece_->RemoveElement(boundary);
  }
  // No entry with a stretch: an empty outline, nothing exported.
  CPieceBoundary* boundary = Boundary({Entry(nullptr, a_, b_)});
  PointList list;
  EXPECT_TRUE(boundary->GetOutline(kBase, list));
  EXPECT_TRUE(list.empty());
  std::vector<CVertex> vertices = {CVertex{1, 1, 1}};
  EXPECT_FALSE(boundary->ExportItem(4.0, nullptr, &vertices));
  EXPECT_TRUE(vertices.empty());
}

TEST_F(BoundaryCompute, ASizeOutsideTheListsGivesNothing) {
  CPieceBoundary* boundary = LoadBoundary(BoundaryFields{SquareFields(), {}, {}, {}});
  for (int32_t size : {-1, kSizes, INT32_MAX, INT32_MIN}) {
    SCOPED_TRACE(size);
    PointList list = {CPoint(7, 7)};
    EXPECT_FALSE(boundary->GetOutline(size, list));
    EXPECT_TRUE(list.empty());
    list = {CPoint(7, 7)};
    EXPECT_FALSE(boundary->GetSeamLine(size, list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(boundary->Calculate(size));
    EXPECT_TRUE(boundary->GetBoundRect(size).IsRectEmpty());
    list = {CPoint(7, 7)};
    EXPECT_FALSE(boundary->GetEntries()[0].GetSection(size, list));
    EXPECT_TRUE(list.empty());
  }
}

// ---- Sections -----------------------------------------------------------------------------

TEST_F(BoundaryCompute, AnEntryGivesThePartOfItsLineOrCurveBetweenItsPoints) {
  FixedPoint* top = Point({500, 300});
  CSplineCurve* spline = Spline({a_, top, b_});
  FixedPoint* nearEnd = Point({1001, 1});  // off the spline's end, within reach
  FixedPoint* e = Point({100, 0});
  FixedPoint* f = Point({100, 100});
  FixedPoint* g = Point({0, 100});
  CClosedPolylineCurve* ring = ClosedPolyline({a_, e, f, g});
  // An open curve that ends where it begins.
  CPolylineCurve* loop = Polyline({a_, e, f, a_});

  PointList whole;
  ASSERT_TRUE(spline->GetFullPoints(kBase, whole));
  ASSERT_GT(whole.size(), 3u);

  struct Case {
    const char* name;
    CBoundaryEntry entry;
    std::string section;  // empty: checked below
  };
  const Case cases[] = {
      {"two-point line", Entry(bc_, c_, b_), "(1000,1000) (1000,0)"},
      {"closed curve forwards", Entry(ring, e, g), "(100,0) (100,100) (0,100)"},
      {"closed curve round its start", Entry(ring, g, e), "(0,100) (0,0) (100,0)"},
      {"closed curve from a point to itself", Entry(ring, e, e), "(100,0) (100,100) (0,100) (0,0) (100,0)"},
      {"closing curve from its point to itself", Entry(loop, a_, a_), "(0,0) (100,0) (100,100) (0,0)"},
      {"closing curve from its point", Entry(loop, a_, e), "(0,0) (100,0)"},
      {"closing curve to its point", Entry(loop, e, a_), "(100,0) (100,100) (0,0)"},
      {"open curve not through a point", Entry(loop, a_, Point({5000, 5000})), "(0,0) (5000,5000)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PointList section;
    EXPECT_TRUE(c.entry.GetSection(kBase, section));
    EXPECT_EQ(Text(section), c.section);
  }

  // An open spline: the part of its list between the points, pinned to the
  // entry's points.
  PointList section;
  ASSERT_TRUE(Entry(spline, top, nearEnd).GetSection(kBase, section));
  EXPECT_EQ(section.front(), CPoint(500, 300));
  EXPECT_EQ(section.back(), CPoint(1001, 1));
  PointList expected;
  ASSERT_TRUE(GetPolylineSection(whole, 500, 300, 1000, 0, &expected));
  expected.back() = CPoint(1001, 1);
  EXPECT_EQ(Text(section), Text(expected));
  // Walked the other way.
  ASSERT_TRUE(Entry(spline, b_, top).GetSection(kBase, section));
  EXPECT_EQ(section.front(), CPoint(1000, 0));
  EXPECT_EQ(section.back(), CPoint(500, 300));
  EXPECT_EQ(section.size(), expected.size());
}

// ---- Hit tests ------------------------------------------------------------------------------

TEST_F(BoundaryCompute, AnEdgeHitNamesItsPointsInOutlineOrder) {
  struct Hit {
    CPoint at;
    const CGradedObject* first;
    const CGradedObject* second;
    CPoint foot;
    double distance;
  };
  const Hit hits[] = {
      {{500, 3}, a_, b_, {500, 0}, 3.0},
      {{997, 400}, b_, c_, {1000, 400}, 3.0},
      {{600, 1002}, c_, d_, {600, 1000}, 2.0},
      {{-2, 300}, d_, a_, {0, 300}, 2.0},
  };
  // Both windings store the ring a, b, c, d: the answers are the same. An
  // entry without a stretch does not start the chain they are followed by.
  const std::vector<CBoundaryEntry> windings[] = {
      {Entry(ab_, a_, b_), Entry(bc_, c_, b_), Entry(cd_, c_, d_), Entry(da_, d_, a_)},
      {Entry(da_, a_, d_), Entry(cd_, d_, c_), Entry(bc_, c_, b_), Entry(ab_, b_, a_)},
      {Entry(nullptr, b_, c_), Entry(da_, a_, d_), Entry(cd_, d_, c_), Entry(bc_, c_, b_), Entry(ab_, b_, a_)},
  };
  for (const auto& entries : windings) {
    CPieceBoundary* boundary = Boundary(entries);
    for (const Hit& hit : hits) {
      SCOPED_TRACE(testing::Message() << boundary->GetReversed() << " at " << hit.at.x << "," << hit.at.y);
      CGradedObject* first = nullptr;
      CGradedObject* second = nullptr;
      CPoint foot;
      double distance = -1;
      ASSERT_TRUE(boundary->HitTestEdge(hit.at.x, hit.at.y, 5.0, &first, &second, &foot, &distance));
      EXPECT_EQ(first, hit.first);
      EXPECT_EQ(second, hit.second);
      EXPECT_EQ(foot, hit.foot);
      EXPECT_DOUBLE_EQ(distance, hit.distance);
    }
    EXPECT_FALSE(boundary->HitTestEdge(500, 500, 5.0, nullptr, nullptr, nullptr, nullptr));
    piece_->RemoveElement(boundary);
  }
}

TEST_F(BoundaryCompute, ACornerHitNamesTheNearestEntryPoint) {
  CPieceBoundary* boundary = LoadBoundary(BoundaryFields{SquareFields(), {}, {}, {}});
  CGradedObject* element = nullptr;
  CPoint point;
  double distance = -1;
  ASSERT_TRUE(boundary->HitTest(1003, 4, 10.0, &element, &point, &distance));
  EXPECT_EQ(element, b_);
  EXPECT_EQ(point, CPoint(1000, 0));
  EXPECT_DOUBLE_EQ(distance, 5.0);
  EXPECT_FALSE(boundary->HitTest(500, 500, 10.0, &element, &point, &distance));
  EXPECT_FALSE(boundary->HitTest(1003, 4, 5.0, &point, &distance));
}

// ---- Boxes --------------------------------------------------------------------------------

TEST_F(BoundaryCompute, TheBoxesHoldTheOutline) {
  CPieceBoundary* boundary = LoadBoundary(BoundaryFields{SquareFields(), {}, {}, {}});
  EXPECT_EQ(boundary->GetBoundRect(kBase), CRect(0, 0, 1001, 1001));
  // A quarter turn about the origin.
  EXPECT_EQ(boundary->GetBoundRectAt(kBase, 0, 0, 1.0, 0.0), CRect(-1000, 0, 1, 1001));
  EXPECT_EQ(piece_->GetBoundRect(kBase), CRect(0, 0, 1001, 1001));
}

// ---- The outline item -----------------------------------------------------------------------

TEST_F(BoundaryCompute, TheSquareGoesOutWithCornerVerticesAndItsSeamVertices) {
  FixedPoint* inside = Point({500, 500});
  struct Case {
    const char* name;
    std::vector<SeamEntryFields> seams;
    std::string vertices;
  };
  const Case cases[] = {
      {"no seam", {}, "(0,0:0) (1000,0:0) (1000,1000:0) (0,1000:0)"},
      {"widths 100 and 200",
       {{At(a_), 100, 200, 1, 0}},
       "(0,0:0) (6553800,1:128) (1000,0:0) (1000,1000:0) (0,1000:0)"},
      {"an incoming width held to 16 bits",
       {{At(a_), 40000, 200, 1, 0}},
       "(0,0:0) (2147418312,1:128) (1000,0:0) (1000,1000:0) (0,1000:0)"},
      {"negative widths",
       {{At(c_), -100, -100, 2, 0}},
       "(0,0:0) (1000,0:0) (1000,1000:0) (" + std::to_string(static_cast<int32_t>(0xFF9CFF9Cu)) +
           ",2:128) (0,1000:0)"},
      {"a corner with a parameter",
       {{At(b_), 100, 200, 10, 30}},
       "(0,0:0) (1000,0:0) (6553800,10:128) (30,0:128) (1000,1000:0) (0,1000:0)"},
      {"a seam point that is no vertex, and none",
       {{At(inside), 100, 200, 1, 0}, {-1, 100, 200, 1, 0}},
       "(0,0:0) (1000,0:0) (1000,1000:0) (0,1000:0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CPieceBoundary* boundary = LoadBoundary(BoundaryFields{SquareFields(), c.seams, {}, {}});
    EXPECT_EQ(Export(boundary), c.vertices);
    piece_->RemoveElement(boundary);
  }
}

TEST_F(BoundaryCompute, TheSeamLineIsBuiltWithTheOutlineOfEachSize) {
  std::vector<SeamEntryFields> seams;
  for (const CGradedObject* corner : {a_, b_, c_, d_}) seams.push_back({At(corner), 100, 100, 1, 0});
  b_->at[2] = CPoint(1200, 0);
  CPieceBoundary* boundary = LoadBoundary(BoundaryFields{SquareFields(), seams, {}, {}});
  EXPECT_TRUE(piece_->HasSeamLine());
  PointList seam;
  ASSERT_TRUE(boundary->GetSeamLine(kBase, seam));
  EXPECT_EQ(Text(seam), "(-100,-100) (1100,-100) (1100,1100) (-100,1100)");
  ASSERT_TRUE(boundary->GetSeamLine(2, seam));
  ASSERT_EQ(seam.size(), 4u);
  EXPECT_EQ(seam.front(), CPoint(-100, -100));

  // Without seam entries a piece has no seam line.
  CPieceBoundary* plain = LoadBoundary(BoundaryFields{SquareFields(), {}, {}, {}});
  ASSERT_TRUE(plain->GetSeamLine(kBase, seam) || seam.empty());
  EXPECT_TRUE(seam.empty());
}

TEST_F(BoundaryCompute, CurveSamplesAreThinnedToTheirControls) {
  FixedPoint* top = Point({500, 300});
  CSplineCurve* spline = Spline({a_, top, b_});
  CPieceBoundary* boundary = Boundary({Entry(spline, a_, b_), Entry(ab_, b_, a_)});
  PointList outline;
  ASSERT_TRUE(boundary->GetOutline(kBase, outline));
  ASSERT_GT(outline.size(), 3u) << "the stored outline keeps the spline's samples";
  EXPECT_EQ(boundary->GetReversed(), 1);
  // The walk starts at the corner before the first curve vertex.
  EXPECT_EQ(Export(boundary, 40 / 10.0), "(1000,0:0) (500,300:1) (0,0:0)");
}

TEST_F(BoundaryCompute, APolylinesPointsGoOutAsPlainPoints) {
  FixedPoint* top = Point({500, 300});
  CPolylineCurve* polyline = Polyline({a_, top, b_});
  CPieceBoundary* boundary = Boundary({Entry(polyline, a_, b_), Entry(ab_, b_, a_)});
  EXPECT_EQ(Export(boundary), "(0,0:0) (1000,0:0) (500,300:2)");
}

TEST_F(BoundaryCompute, AWholeClosedCurveIsTheOutline) {
  FixedPoint* e = Point({1000, 500});
  FixedPoint* f = Point({0, 500});
  CClosedPolylineCurve* ring = ClosedPolyline({a_, b_, e, f});
  CPieceBoundary* boundary = Boundary({Entry(ring, a_, a_)});
  EXPECT_EQ(Outline(boundary, kBase), "(0,0) (1000,0) (1000,500) (0,500)");
  // A polyline's points are plain points, and the ring has no corner.
  EXPECT_EQ(Export(boundary), "(0,0:2) (1000,0:2) (1000,500:2) (0,500:2)");
  piece_->RemoveElement(boundary);

  // A closed spline has no corner either: the whole ring is thinned as one
  // closed curve, down to about its defining points.
  CClosedSplineCurve* spline =
      ListCurve<CClosedSplineCurve>(design_fixture::kClosedSplineCurveKind, {a_, b_, e, f});
  boundary = Boundary({Entry(spline, a_, a_)});
  PointList outline;
  ASSERT_TRUE(boundary->GetOutline(kBase, outline));
  int32_t type = -1;
  std::vector<CVertex> vertices;
  ASSERT_TRUE(boundary->ExportItem(4.0, &type, &vertices));
  EXPECT_LT(vertices.size(), outline.size() / 2);
  for (CPoint p : {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 500), CPoint(0, 500)}) {
    EXPECT_TRUE(std::any_of(vertices.begin(), vertices.end(),
                            [p](const CVertex& v) { return v.x == p.x && v.y == p.y && v.flag != 100; }))
        << p.x << "," << p.y << " in " << Text(vertices);
  }
  EXPECT_FALSE(vertices.front().x == vertices.back().x && vertices.front().y == vertices.back().y);
}

TEST_F(BoundaryCompute, TheCutOutlineGoesOutWhileTheStoredOneStaysAsItIs) {
  CPieceBoundary* boundary = LoadBoundary(BoundaryFields{SquareFields(), {}, {}, {}});
  piece_->AddElement(std::make_unique<BumpDart>(piece_));
  int32_t type = -1;
  std::vector<CVertex> vertices;
  ASSERT_TRUE(boundary->ExportItem(4.0, &type, &vertices));
  EXPECT_EQ(type, 0);
  // Which way round the cut ring runs is the cut's business; each vertex is
  // there once, the points the entries do not name as plain points.
  std::vector<std::string> got;
  for (const CVertex& v : vertices) got.push_back(Text(std::vector<CVertex>{v}));
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<std::string>{"(0,0:0)", "(0,1000:0)", "(1000,0:0)", "(1000,1000:0)", "(400,0:2)",
                                          "(500,100:2)", "(600,0:2)"}));
  EXPECT_EQ(Outline(boundary, kBase), kSquare);
}

}  // namespace
