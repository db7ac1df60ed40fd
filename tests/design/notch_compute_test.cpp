// The notch placed on a piece: its anchor in each position mode, its tip
// along the outline's normal turned by its angle, its rectangle, its copy on
// the seam line, the item it exports, its hit test, and its drawings on the
// recording device context; and the notches that cannot be placed.
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/elements/boundary.h"
#include "design/elements/notch_element.h"
#include "design/points/graded_point.h"
#include "platform/archive.h"
#include "platform/recording_dc.h"
#include "tests/support/le_bytes.h"

namespace {

constexpr int32_t kScale = 40;

class FixedPoint : public CGradedPoint {
 public:
  FixedPoint(CPatternData* owner, CPoint at) : CGradedPoint(kPointKindFree, owner, 0), m_At(at) {}

 protected:
  BOOL ComputePoint(int32_t, int32_t* x, int32_t* y) override {
    *x = m_At.x;
    *y = m_At.y;
    return TRUE;
  }

 private:
  CPoint m_At;
};

// A boundary whose outline and seam line the test gives; whether the piece
// has a seam allowance (and on which side) comes from a seam entry it reads.
class ScriptedBoundary : public CPieceBoundary {
 public:
  explicit ScriptedBoundary(CPatternRecord* owner) : CPieceBoundary(owner) {}
  BOOL GetOutline(int32_t, PointList& out) override {
    out = outline;
    return TRUE;
  }
  BOOL GetSeamLine(int32_t, PointList& out) override {
    out = seamLine;
    return TRUE;
  }
  void GiveSeamEntry(int32_t width) {
    LeBytes record;
    record.I32(0).I32(1).I32(-1).I32(width).I32(width).I32(1).I32(0);
    ArchiveReader archive{std::string_view(record.Bytes())};
    ASSERT_TRUE(Load(archive));
  }
  PointList outline;
  PointList seamLine;
};

const PointList kSquare = {CPoint(0, 0), CPoint(1000, 0), CPoint(1000, 1000), CPoint(0, 1000)};
const PointList kSquareSeam = {CPoint(-100, -100), CPoint(1100, -100), CPoint(1100, 1100), CPoint(-100, 1100)};

CNotchShape Shape(int32_t kind, int32_t length, int32_t width, double angle) {
  CNotchShape shape;
  shape.shapeKind = kind;
  shape.length = length;
  shape.width = width;
  shape.angle = angle;
  return shape;
}

using Six = std::vector<CPoint>;
Six Points(const CShapeRecord6& record) { return Six(record.points.begin(), record.points.end()); }

class NotchComputeTest : public ::testing::Test {
 protected:
  NotchComputeTest() {
    data_.InsertSize(0, CString("S"), 0, 1);
    data_.SetBaseSize(0);
    data_.SetScale(kScale);
    piece_ = data_.AddPiece(std::make_unique<CPatternRecord>(&data_));
    boundary_ = static_cast<ScriptedBoundary*>(piece_->AddElement(std::make_unique<ScriptedBoundary>(piece_)));
    boundary_->outline = kSquare;
  }

  CGradedPoint* Point(CPoint at) {
    return static_cast<CGradedPoint*>(data_.AddElement(std::make_unique<FixedPoint>(&data_, at)));
  }

  CNotchElement* AddNotch(std::unique_ptr<CNotchElement> notch) {
    return static_cast<CNotchElement*>(piece_->AddElement(std::move(notch)));
  }

  // Mode 0 at (500, 0), offset 0, length 100, width 20.
  CNotchElement* NotchOnBottom(double angle, int32_t kind = 2) {
    return AddNotch(std::make_unique<CNotchElement>(piece_, Point(CPoint(500, 0)), 0, Shape(kind, 100, 20, angle)));
  }

  CShapeRecord6 Outline(CNotchElement* notch) {
    CShapeRecord6 shape;
    EXPECT_TRUE(notch->GetOutlineShape(0, shape));
    return shape;
  }

  CPatternData data_;
  CPatternRecord* piece_ = nullptr;
  ScriptedBoundary* boundary_ = nullptr;
};

TEST_F(NotchComputeTest, PointsIntoThePieceAlongTheNormalTurnedByItsAngle) {
  CNotchElement* straight = NotchOnBottom(0);
  ASSERT_TRUE(straight->Calculate(0));
  // Anchor, tip, anchor end right, anchor end left, tip end left, tip end right.
  EXPECT_EQ(Points(Outline(straight)), Six({CPoint(500, 0), CPoint(500, 100), CPoint(510, 0), CPoint(490, 0),
                                            CPoint(490, 100), CPoint(510, 100)}));
  CNotchElement* turned = NotchOnBottom(45);
  ASSERT_TRUE(turned->Calculate(0));
  EXPECT_EQ(Points(Outline(turned)), Six({CPoint(500, 0), CPoint(429, 71), CPoint(507, 7), CPoint(493, -7),
                                          CPoint(422, 64), CPoint(436, 78)}));
  // Without a seam allowance only the outline shape is placed.
  EXPECT_TRUE(straight->HasOutlineShape(0));
  EXPECT_FALSE(straight->HasSeamShape(0));
  EXPECT_EQ(straight->GetBoundRect(0), CRect(490, 0, 511, 101));
}

TEST_F(NotchComputeTest, TheSeamShapeIsTheOutlineShapeMovedAlongTheNotchOntoTheSeamLine) {
  boundary_->GiveSeamEntry(100);
  boundary_->seamLine = kSquareSeam;
  struct Case {
    double angle;
    CPoint move;
  };
  for (const Case& c : {Case{0, CPoint(0, -100)}, Case{45, CPoint(100, -100)}}) {
    SCOPED_TRACE(c.angle);
    CNotchElement* notch = NotchOnBottom(c.angle);
    ASSERT_TRUE(notch->Calculate(0));
    ASSERT_TRUE(notch->HasSeamShape(0));
    CShapeRecord6 seam;
    ASSERT_TRUE(notch->GetSeamShape(0, seam));
    const CShapeRecord6 outline = Outline(notch);
    for (size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(seam.points[i], CPoint(outline.points[i].x + c.move.x, outline.points[i].y + c.move.y)) << i;
    }
  }
  // An allowance on the inside: the cut beyond the anchor along the notch.
  boundary_->GiveSeamEntry(-100);
  boundary_->seamLine = {CPoint(100, 100), CPoint(900, 100), CPoint(900, 900), CPoint(100, 900)};
  CNotchElement* inside = NotchOnBottom(0);
  ASSERT_TRUE(inside->Calculate(0));
  CShapeRecord6 seam;
  ASSERT_TRUE(inside->GetSeamShape(0, seam));
  EXPECT_EQ(seam.points[CShapeRecord6::kAnchor], CPoint(500, 100));
  // The box takes both shapes.
  EXPECT_EQ(inside->GetBoundRect(0), CRect(490, 0, 511, 201));
}

TEST_F(NotchComputeTest, AnchorOfEachPositionMode) {
  CGradedPoint* a = Point(CPoint(0, 0));
  CGradedPoint* b = Point(CPoint(1000, 0));
  CGradedPoint* mid = Point(CPoint(500, 0));
  const CNotchShape shape = Shape(4, 100, 20, 0);
  struct Case {
    const char* what;
    std::unique_ptr<CNotchElement> notch;
    CPoint anchor;
  };
  Case cases[] = {
      {"mode 0 back along the outline", std::make_unique<CNotchElement>(piece_, mid, -100, shape), CPoint(400, 0)},
      {"mode 1 a quarter from A", std::make_unique<CNotchElement>(piece_, a, b, 0.25, 1, shape), CPoint(250, 0)},
      {"mode 2 a quarter back from B", std::make_unique<CNotchElement>(piece_, a, b, 0.25, 2, shape), CPoint(750, 0)},
      {"mode 3 the offset from A", std::make_unique<CNotchElement>(piece_, a, b, int32_t{200}, 3, shape),
       CPoint(200, 0)},
      {"mode 4 the offset back from B", std::make_unique<CNotchElement>(piece_, a, b, int32_t{200}, 4, shape),
       CPoint(800, 0)},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    CNotchElement* notch = AddNotch(std::move(c.notch));
    ASSERT_TRUE(notch->Calculate(0));
    const CShapeRecord6 record = Outline(notch);
    EXPECT_EQ(record.points[CShapeRecord6::kAnchor], c.anchor);
    EXPECT_EQ(record.points[CShapeRecord6::kTip], CPoint(c.anchor.x, 100));
  }
}

TEST_F(NotchComputeTest, AFirstGuessOutOfThePieceIsFlippedBeforeTheAngleTurnsIt) {
  // An L: the corner at (500, 500) is reflex, the one at (1000, 0) convex.
  boundary_->outline = {CPoint(0, 0),     CPoint(1000, 0),  CPoint(1000, 500),
                        CPoint(500, 500), CPoint(500, 1000), CPoint(0, 1000)};
  struct Case {
    CPoint at;
    double angle;
    CPoint tip;
  };
  const Case kCases[] = {
      {CPoint(500, 500), 0, CPoint(429, 429)},   // the bisector points out: flipped
      {CPoint(1000, 0), 0, CPoint(929, 71)},     // the bisector points in
      {CPoint(500, 500), 45, CPoint(500, 400)},  // flipped first, then turned
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.at.x) + " angle " + std::to_string(c.angle));
    CNotchElement* notch = AddNotch(std::make_unique<CNotchElement>(piece_, Point(c.at), 0, Shape(4, 100, 20, c.angle)));
    ASSERT_TRUE(notch->Calculate(0));
    EXPECT_EQ(Outline(notch).points[CShapeRecord6::kTip], c.tip);
  }
}

TEST_F(NotchComputeTest, ExportsTheBaseSizeAsItemThirteen) {
  CNotchShape shape = Shape(2, 100, 20, 45);
  shape.flags = {3, 1, 0, 1, 0};
  CNotchElement* notch = AddNotch(std::make_unique<CNotchElement>(piece_, Point(CPoint(500, 0)), 0, shape));
  int32_t type = 0;
  std::vector<CVertex> vertices;
  ASSERT_TRUE(notch->ExportItem(0.1, &type, &vertices));
  EXPECT_EQ(type, 13);
  ASSERT_EQ(vertices.size(), 4u);
  const CVertex expected[] = {{500, 0, 0x11300}, {429, 71, 0x201}, {20, 450, 0x66}, {500, 0, 0x68}};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(vertices[i].x, expected[i].x);
    EXPECT_EQ(vertices[i].y, expected[i].y);
    EXPECT_EQ(vertices[i].flag, expected[i].flag);
  }
  // The third code lends bits 1 to 5 to bits 19 to 23; the others their low
  // four bits.
  shape.flags = {0x1F, 0x1F, 0xFF, 0, 7};
  notch->SetPosition(notch->GetPointA(), 0, shape);
  ASSERT_TRUE(notch->ExportItem(0.1, &type, &vertices));
  EXPECT_EQ(vertices[0].flag, 0xF00u | 0xF000u | 0x20000u | (0x3Eu << 18));
}

TEST_F(NotchComputeTest, AnAngleStoredInRadiansExportsInTenthsOfADegree) {
  data_.SetVersion(105);
  Point(CPoint(500, 0));  // object 0
  LeBytes record;
  record.I32(0).I32(-1).Double(0.0).I32(0).I32(0).I32(2).I32(100).I32(20).Double(std::numbers::pi / 2);
  for (int i = 0; i < 5; ++i) record.I32(0);
  auto notch = std::make_unique<CNotchElement>(piece_);
  ArchiveReader archive{std::string_view(record.Bytes())};
  ASSERT_TRUE(notch->Load(archive));
  CNotchElement* loaded = AddNotch(std::move(notch));
  EXPECT_NEAR(loaded->GetAngle(), 90.0, 1e-9);
  int32_t type = 0;
  std::vector<CVertex> vertices;
  ASSERT_TRUE(loaded->ExportItem(0.1, &type, &vertices));
  EXPECT_EQ(vertices[2].y, 900);
}

TEST_F(NotchComputeTest, ALengthOfNothingPutsEverythingOnTheAnchor) {
  CNotchElement* notch = AddNotch(std::make_unique<CNotchElement>(piece_, Point(CPoint(500, 0)), 0, Shape(2, 0, 20, 30)));
  ASSERT_TRUE(notch->Calculate(0));
  EXPECT_EQ(Points(Outline(notch)), Six(6, CPoint(500, 0)));
}

TEST_F(NotchComputeTest, NotchesThatCannotBePlacedHaveNoShapeAndExportNothing) {
  CGradedPoint* onOutline = Point(CPoint(500, 0));
  CGradedPoint* off = Point(CPoint(500, 500));
  const CNotchShape shape = Shape(2, 100, 20, 0);
  struct Case {
    const char* what;
    PointList outline;
    std::unique_ptr<CNotchElement> notch;
  };
  Case cases[] = {
      {"a ring of no length", {CPoint(500, 0), CPoint(500, 0), CPoint(500, 0)},
       std::make_unique<CNotchElement>(piece_, onOutline, 100, shape)},
      {"no outline", {}, std::make_unique<CNotchElement>(piece_, onOutline, 0, shape)},
      {"mode 7", kSquare, std::make_unique<CNotchElement>(piece_, onOutline, onOutline, int32_t{0}, 7, shape)},
      {"no point A", kSquare, std::make_unique<CNotchElement>(piece_, nullptr, 0, shape)},
      {"no point B in mode 4", kSquare,
       std::make_unique<CNotchElement>(piece_, onOutline, nullptr, int32_t{0}, 4, shape)},
      {"A off the outline", kSquare, std::make_unique<CNotchElement>(piece_, off, 0, shape)},
      {"a ratio of no number", kSquare,
       std::make_unique<CNotchElement>(piece_, onOutline, onOutline, std::nan(""), 1, shape)},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    boundary_->outline = c.outline;
    CNotchElement* notch = AddNotch(std::move(c.notch));
    EXPECT_FALSE(notch->Calculate(0));
    EXPECT_FALSE(notch->IsDirty(0));
    EXPECT_FALSE(notch->HasOutlineShape(0));
    EXPECT_TRUE(notch->GetBoundRect(0).IsRectEmpty());
    int32_t type = 0;
    std::vector<CVertex> vertices;
    notch->Invalidate(0);
    EXPECT_FALSE(notch->ExportItem(0.1, &type, &vertices));
    EXPECT_TRUE(vertices.empty());
    double distance = 0;
    EXPECT_FALSE(notch->HitTestPoint(500, 0, 10.0, &distance));
  }
}

TEST_F(NotchComputeTest, HostileNumbersStayDefined) {
  const CNotchShape kShapes[] = {Shape(7, INT32_MIN, INT32_MAX, std::nan("")),
                                 Shape(-1, INT32_MAX, INT32_MIN, 1e300), Shape(3, 100, 20, -1e18)};
  for (const CNotchShape& shape : kShapes) {
    for (int32_t offset : {INT32_MIN, INT32_MAX}) {
      CNotchElement* notch = AddNotch(std::make_unique<CNotchElement>(piece_, Point(CPoint(500, 0)), offset, shape));
      notch->Calculate(0);
      int32_t type = 0;
      std::vector<CVertex> vertices;
      notch->ExportItem(0.1, &type, &vertices);
      RecordingDC dc;
      CShapeRecord6 record;
      notch->GetOutlineShape(0, record);
      notch->Draw(&dc, 1.0, 0, 0, record);
      notch->Draw(&dc, 0.0, 0, 0, record);
    }
  }
}

TEST_F(NotchComputeTest, HitInsideTheRectangleOrNearACorner) {
  CNotchElement* notch = NotchOnBottom(0);
  struct Case {
    CPoint at;
    BOOL hit;
    double distance;
  };
  const Case kCases[] = {
      {CPoint(500, 50), TRUE, 51},    // inside, far from every corner
      {CPoint(513, 104), TRUE, 5},    // outside, within the tolerance of (510, 100)
      {CPoint(530, 50), FALSE, 54},   // outside and away
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.at.x) + "," + std::to_string(c.at.y));
    double distance = -1;
    EXPECT_EQ(notch->HitTestPoint(c.at.x, c.at.y, 6.0, &distance), c.hit);
    EXPECT_EQ(distance, c.distance);
  }
}

TEST_F(NotchComputeTest, SizesComeAndGoWithTheirShapes) {
  CNotchElement* notch = NotchOnBottom(0);
  ASSERT_TRUE(notch->Calculate(0));
  notch->InsertSize(0);
  EXPECT_EQ(notch->GetShapeCount(), 2);
  EXPECT_FALSE(notch->HasOutlineShape(0));
  EXPECT_TRUE(notch->HasOutlineShape(1));
  notch->RemoveSize(0);
  EXPECT_TRUE(notch->HasOutlineShape(0));
  EXPECT_FALSE(notch->Calculate(5));
}

// The drawing calls as "M x,y", "L x,y" and "A l,t,r,b x,y x,y".
std::vector<std::string> Figure(const RecordingDC& dc) {
  std::vector<std::string> out;
  const auto pt = [](CPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
  for (const DrawCall& call : dc.calls()) {
    switch (call.op) {
      case DrawCall::Op::kMoveTo:
        out.push_back("M " + pt(call.points[0]));
        break;
      case DrawCall::Op::kLineTo:
        out.push_back("L " + pt(call.points[1]));
        break;
      case DrawCall::Op::kArc:
        out.push_back("A " + std::to_string(call.rect.left) + "," + std::to_string(call.rect.top) + "," +
                      std::to_string(call.rect.right) + "," + std::to_string(call.rect.bottom) + " " +
                      pt(call.points[0]) + " " + pt(call.points[1]));
        break;
      default:
        out.push_back("?");
    }
  }
  return out;
}

CShapeRecord6 Record(CPoint anchor, CPoint tip, CPoint aer, CPoint ael, CPoint tel, CPoint ter) {
  CShapeRecord6 record;
  record.Set(anchor, tip, aer, ael, tel, ter);
  return record;
}

TEST_F(NotchComputeTest, DrawsEachShape) {
  const CShapeRecord6 upright =
      Record(CPoint(500, 0), CPoint(500, 100), CPoint(510, 0), CPoint(490, 0), CPoint(490, 100), CPoint(510, 100));
  const CShapeRecord6 wide =
      Record(CPoint(500, 0), CPoint(500, 50), CPoint(600, 0), CPoint(400, 0), CPoint(400, 50), CPoint(600, 50));
  struct Case {
    const char* what;
    int32_t kind;
    double scale;
    CShapeRecord6 record;
    std::vector<std::string> calls;
  };
  const Case kCases[] = {
      {"T", 1, 1, upright, {"M 500,0", "L 500,100", "M 490,100", "L 500,100", "L 510,100", "L 510,101"}},
      {"V", 2, 1, upright, {"M 490,0", "L 500,100", "L 510,0", "L 510,1"}},
      {"rounded", 3, 1, upright,
       {"M 510,0", "L 510,90", "A 490,80,511,101 510,90 490,90", "M 490,90", "L 490,0", "L 490,1"}},
      {"rounded, narrower than 2 pixels: a line", 3, 10, upright, {"M 50,0", "L 50,10", "L 50,11"}},
      // The circle through (400, 0), (500, 50), (600, 0): centre (500, -75), radius 125.
      {"rounded, shorter than wide: an arc", 3, 1, wide, {"A 375,-200,626,51 400,0 600,0"}},
      {"slit", 4, 1, upright, {"M 500,0", "L 500,100"}},
      {"box", 5, 1, upright, {"M 490,0", "L 490,100", "L 510,100", "L 510,0"}},
      {"unknown", 6, 1, upright, {}},
      {"within 4 pixels: the stroke only", 2, 1,
       Record(CPoint(500, 0), CPoint(500, 3), CPoint(510, 0), CPoint(490, 0), CPoint(490, 3), CPoint(510, 3)),
       {"M 500,0", "L 500,4"}},
      {"anchor on the tip: nothing", 2, 1, Record(CPoint(5, 5), CPoint(5, 5), CPoint(5, 5), CPoint(5, 5),
                                                   CPoint(5, 5), CPoint(5, 5)),
       {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    CNotchElement* notch = NotchOnBottom(0, c.kind);
    RecordingDC dc;
    notch->Draw(&dc, c.scale, 0, 0, c.record);
    EXPECT_EQ(Figure(dc), c.calls);
    // The turned drawing of an unturned piece takes the kind it is given.
    RecordingDC turned;
    NotchOnBottom(0, 99)->DrawTurned(&turned, c.scale, 0, 0, c.record, c.kind);
    EXPECT_EQ(Figure(turned), c.calls);
  }
}

TEST_F(NotchComputeTest, TheTurnedDrawingTurnsAboutTheCentreOfThePiece) {
  CNotchElement* notch = NotchOnBottom(0, 4);
  piece_->SetDouble2(std::numbers::pi);
  ASSERT_TRUE(notch->Calculate(0));
  CShapeRecord6 record = Outline(notch);
  // The piece's box is its outline's, (0, 0) to (1001, 1001): centre
  // (500, 500), so the half turn takes the notch to the top edge.
  RecordingDC dc;
  notch->DrawTurned(&dc, 1.0, 0, 0, record, 4);
  EXPECT_EQ(Figure(dc), std::vector<std::string>({"M 500,1000", "L 500,900"}));
}

}  // namespace
