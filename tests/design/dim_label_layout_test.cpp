// The layout of a dimension label: the dimension stood off the points its
// point gives, the text box measured in the design's label font and placed
// on the dimension, the angle mark and its shrinking, the row of equal arcs,
// the path along a curve, and the hit tests. The labelled point is a stand-in
// that answers the label queries with what each test scripts, so that what is
// seen is the label's layout and no point kind's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/points/dim_label.h"
#include "platform/byte_writer.h"
#include "platform/recording_dc.h"
#include "tests/model/support/fake_shell.h"

namespace {

// Each measured piece is 7 units plus 3 per byte wide, so that a two-byte
// character (13) tells from two single bytes (20); a piece is as high as the
// font. Every piece measured is noted.
class PieceMetrics : public ITextMetrics {
 public:
  CSize Extent(const LOGFONT& font, std::string_view text) const override {
    pieces.emplace_back(text);
    return CSize(7 + 3 * static_cast<int32_t>(text.size()), font.lfHeight);
  }
  int Ascent(const LOGFONT&) const override { return 0; }
  int Descent(const LOGFONT&) const override { return 0; }
  mutable std::vector<std::string> pieces;
};

class MeasuringShell : public FakeShell {
 public:
  CDC* GetDC() override {
    ++taken;
    return &screen;
  }
  void ReleaseDC(CDC*) override { ++released; }

  PieceMetrics metrics;
  RecordingDC screen{&metrics};
  int taken = 0;
  int released = 0;
};

// A point that answers the label queries it is told to answer; the others
// stay the root's, which leave their arguments untouched.
class LabelledPoint : public CGradedObject {
 public:
  explicit LabelledPoint(CPatternData* owner) : CGradedObject(kObjectKindPoint, owner, 0) {}

  bool answersLinear = false;
  bool answersAngle = false;
  bool answersRatio = false;
  bool answersCurve = false;
  CString text;
  CPoint p1, p2, p3;
  BOOL side = 0;
  double parts = 0.0;
  std::vector<CPoint> path;

  void GetLabelText(CDimLabel*, CString& out, CPoint* from, CPoint* to) const override {
    if (!answersLinear) return;
    out = text;
    *from = p1;
    *to = p2;
  }
  void GetAngleLabelText(CDimLabel*, CString& out, CPoint* vertex, CPoint* arm1, CPoint* arm2,
                         BOOL* positive) const override {
    if (!answersAngle) return;
    out = text;
    *vertex = p1;
    *arm1 = p2;
    *arm2 = p3;
    *positive = side;
  }
  void GetRatioSpan(CDimLabel*, double* value, CPoint* from, CPoint* to) const override {
    if (!answersRatio) return;
    *value = parts;
    *from = p1;
    *to = p2;
  }
  void GetCurveLabelText(CDimLabel*, CString& out, std::vector<CPoint>& polyline) const override {
    if (!answersCurve) return;
    out = text;
    polyline = path;
  }
};

constexpr int32_t kFontHeight = 10;

LOGFONT FontOf(int32_t height) {
  LOGFONT font;
  font.lfHeight = height;
  return font;
}

// A design at `scale` units per millimetre with the test's label font.
void SetUpDesign(CPatternData& data, int32_t scale, int32_t fontHeight = kFontHeight) {
  data.SetScale(scale);
  data.SetLabelFont(FontOf(fontHeight));
}

// The point answers the linear query with `text` over p1-p2.
void AnswerLinear(LabelledPoint& point, CPoint p1, CPoint p2, const char* text = "12") {
  point.answersLinear = true;
  point.text = CString(text);
  point.p1 = p1;
  point.p2 = p2;
}

// A label record as a file stores it.
struct LabelRecord {
  uint32_t mode = 0;
  uint32_t orientation = 4;
  int32_t offset = 0;
  CPoint textOffset{};
  uint32_t parts = 0;
  uint32_t visible = 1;
};

void LoadRecord(CDimLabel& label, const LabelRecord& record) {
  ByteWriter out;
  out.WriteU32(record.mode);
  out.WriteU32(record.orientation);
  out.WriteI32(record.offset);
  out.WriteI32(record.textOffset.x);
  out.WriteI32(record.textOffset.y);
  out.WriteU32(record.parts);
  for (int i = 0; i < 4; ++i) out.WriteDouble(0.0);
  out.WriteU32(record.visible);
  ArchiveReader archive(out.TakeBytes());
  ASSERT_TRUE(label.Load(archive));
}

CPoint Centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// ---- Linear labels ---------------------------------------------------------

// "12" measures 20 by 10: two one-byte pieces of 10.
TEST(DimLabelLayout, LinearLabelStandsOffByTheOffsetDistanceOnTheSideItsSignChooses) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  struct Case {
    CPoint p1, p2;
    int32_t offset;
    CPoint start, end;
  };
  const Case kCases[] = {
      {{0, 0}, {1000, 0}, 400, {0, -400}, {1000, -400}},
      {{0, 0}, {1000, 0}, -400, {0, 400}, {1000, 400}},
      {{0, 0}, {1000, 0}, 0, {0, 0}, {1000, 0}},
      // Turned a quarter with the segment: a rising one stands off to +x.
      {{0, 0}, {0, 1000}, 400, {400, 0}, {400, 1000}},
      // 3-4-5: the shift is 400 along (4, -3) / 5.
      {{0, 0}, {300, 400}, 500, {400, -300}, {700, 100}},
      // No direction: the dimension lies on the points.
      {{70, 80}, {70, 80}, 400, {70, 80}, {70, 80}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.p2.x << "," << c.p2.y << " offset " << c.offset);
    LabelledPoint point(&data);
    AnswerLinear(point, c.p1, c.p2);
    CDimLabel label;
    label.SetLinear(&data, &point);
    label.SetOffsetDistance(c.offset);
    label.SetVisible(1);
    label.Layout();
    EXPECT_EQ(label.GetStart(), c.start);
    EXPECT_EQ(label.GetEnd(), c.end);
    EXPECT_EQ(label.GetText(), CString("12"));
    const CPoint middle((c.start.x + c.end.x) / 2, (c.start.y + c.end.y) / 2);
    EXPECT_EQ(label.GetTextRect(), CRect(middle.x - 10, middle.y - 5, middle.x + 10, middle.y + 5));
  }
}

TEST(DimLabelLayout, LinearLabelBoxHoldsTheDimensionAndTheText) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  LabelledPoint point(&data);
  AnswerLinear(point, {0, 0}, {1000, 0});
  CDimLabel label;
  label.SetLinear(&data, &point);
  EXPECT_EQ(label.GetOffsetDistance(), 400);  // 10 mm at 40 units per mm
  label.SetVisible(1);
  EXPECT_EQ(label.GetRect(), CRect(0, -405, 1001, -395));
  EXPECT_EQ(label.GetLabelRect(), CRect(0, -405, 1001, -395));
  EXPECT_TRUE(label.HitText(500, -400));
  EXPECT_TRUE(label.HitText(490, -405));  // edges included
  EXPECT_FALSE(label.HitText(489, -400));
  double distance = -1;
  EXPECT_TRUE(label.Pick(300, -390, 12.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 10.0);
  EXPECT_FALSE(label.Pick(300, -370, 12.0, &distance));
}

TEST(DimLabelLayout, MarkedLabelLaysOutAgainWhenNextAsked) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  LabelledPoint point(&data);
  AnswerLinear(point, {0, 0}, {1000, 0});
  CDimLabel label;
  label.SetLinear(&data, &point);
  label.SetVisible(1);
  EXPECT_TRUE(label.NeedsLayout());
  EXPECT_TRUE(label.HitText(500, -400));
  EXPECT_FALSE(label.NeedsLayout());
  point.p1 = CPoint(0, 1000);
  point.p2 = CPoint(1000, 1000);
  EXPECT_TRUE(label.HitText(500, -400));  // not marked: the old layout stands
  label.Invalidate();
  EXPECT_FALSE(label.HitText(500, -400));
  EXPECT_TRUE(label.HitText(500, 600));
}

TEST(DimLabelLayout, AutomaticOrientationIsDecidedOnceFromTheDimension) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  struct Case {
    CPoint p2;
    int32_t orientation;
    CRect text;  // about the middle of the dimension
  };
  const Case kCases[] = {
      {{0, 1000}, 3, CRect(395, 490, 405, 510)},  // vertical: turned text, 10 by 20
      {{1000, 0}, 0, CRect(490, -405, 510, -395)},
      {{1000, 1}, 0, CRect(490, -404, 510, -394)},  // ends at y -400 and -399
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.orientation);
    LabelledPoint point(&data);
    AnswerLinear(point, {0, 0}, c.p2);
    CDimLabel label;
    label.SetLinear(&data, &point);
    LoadRecord(label, LabelRecord{.mode = 0, .orientation = 4, .offset = 400});
    EXPECT_EQ(label.GetOrientation(), kLabelOrientationAuto);
    label.Layout();
    EXPECT_EQ(label.GetOrientation(), c.orientation);
    EXPECT_EQ(label.GetTextRect(), c.text);
    // The decision stays when the dimension turns.
    point.p2 = c.orientation == 3 ? CPoint(1000, 0) : CPoint(0, 1000);
    label.Invalidate();
    label.Layout();
    EXPECT_EQ(label.GetOrientation(), c.orientation);
  }
}

// The leader's default lines through the ends, at 45 and 60 degrees:
// x - y - 400 = 0 through (0, -400) and sin 60 x - cos 60 y + c = 0 through
// (1000, -400), crossing at (2366.03, 1966.03).
TEST(DimLabelLayout, LeaderTextStandsWhereTheTwoLinesCross) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  LabelledPoint point(&data);
  AnswerLinear(point, {0, 0}, {1000, 0});
  CDimLabel label;
  label.SetLinearLeader(&data, &point);
  label.SetVisible(1);
  label.Layout();
  EXPECT_EQ(label.GetTextAnchor(), CPoint(2366, 1966));
  EXPECT_EQ(label.GetTextRect(), CRect(2356, 1961, 2376, 1971));
  EXPECT_EQ(label.GetRect(), CRect(0, -400, 2376, 1971));
  double distance = -1;
  // Each leader segment is picked; the dimension line itself is not.
  EXPECT_TRUE(label.Pick(1683, 783, 5.0, &distance));
  EXPECT_LT(distance, 1.0);
  EXPECT_TRUE(label.Pick(1000, 604, 5.0, &distance));
  EXPECT_LT(distance, 4.0);
  EXPECT_FALSE(label.Pick(1200, 200, 5.0, &distance));
  EXPECT_FALSE(label.Pick(500, -400, 5.0, &distance));
}

// ---- Angle labels ------------------------------------------------------------

TEST(DimLabelLayout, AngleMarkShrinksToFitTheShorterArm) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  struct Case {
    int32_t arm;
    int32_t offset;  // 0: the setter's default
    int32_t radius;
  };
  const Case kCases[] = {
      {300, 0, 151},      // 20 mm (800) does not fit: half the arm plus 1
      {1000, 1200, 800},  // 20 mm fits
      {1000, 0, 400},     // the mark fits as it is
      {300, 300, 300},    // an arm as long as the mark is long enough
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.arm << " " << c.offset);
    LabelledPoint point(&data);
    point.answersAngle = true;
    point.p1 = CPoint(0, 0);
    point.p2 = CPoint(c.arm, 0);
    point.p3 = CPoint(0, c.arm + 500);  // the longer arm does not decide
    CDimLabel label;
    label.SetAngle(&data, &point);
    EXPECT_EQ(label.GetOffsetDistance(), 400);
    if (c.offset) label.SetOffsetDistance(c.offset);
    label.Layout();
    EXPECT_EQ(label.GetOffsetDistance(), c.radius);
    EXPECT_EQ(label.GetOrientation(), 0);
  }
}

// The arms run along +x and +y from (0, 0); the mark has radius 800. Side 1
// marks the quarter between the arms, side 0 the other three quarters.
TEST(DimLabelLayout, AngleSideChoosesTheBisectorTheMarkAndTheBox) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  struct Case {
    BOOL side;
    CPoint text;
    CPoint inside, outside;  // on the mark's circle
    CRect box;
  };
  const Case kCases[] = {
      {1, {566, 566}, {693, 400}, {-693, -400}, CRect(0, 0, 800, 800)},
      {0, {-566, -566}, {-693, -400}, {693, 400}, CRect(-800, -800, 800, 800)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.side);
    LabelledPoint point(&data);
    point.answersAngle = true;
    point.text = CString("30");
    point.p2 = CPoint(1000, 0);
    point.p3 = CPoint(0, 1000);
    point.side = c.side;
    CDimLabel label;
    label.SetAngle(&data, &point);
    label.SetOffsetDistance(1200);
    label.SetVisible(1);
    label.Layout();
    EXPECT_EQ(label.GetText(), CString("30"));
    EXPECT_EQ(Centre(label.GetTextRect()), c.text);
    double distance = -1;
    EXPECT_TRUE(label.Pick(c.inside.x, c.inside.y, 3.0, &distance));
    EXPECT_LT(distance, 1.0);
    EXPECT_FALSE(label.Pick(c.outside.x, c.outside.y, 3.0, &distance));
    // On the arm, just off the circle, and off it by the tolerance.
    EXPECT_TRUE(label.Pick(802, 0, 3.0, &distance));
    EXPECT_DOUBLE_EQ(distance, 2.0);
    EXPECT_FALSE(label.Pick(803, 0, 3.0, &distance));
    CRect expected;
    expected.UnionRect(c.box, label.GetTextRect());
    EXPECT_EQ(label.GetRect(), expected);
  }
}

// ---- Division labels ---------------------------------------------------------

// Two parts of 500: arcs of radius 250 / sin 50 degrees = 326, centred 40
// degrees off each part, their tops 116 beyond the dimension.
TEST(DimLabelLayout, DivisionDrawsAnArcOverEachPartAwayFromTheSegment) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  struct Case {
    int32_t offset;
    CRect box;
    CPoint top1, top2;  // the middles of the two arcs
  };
  const Case kCases[] = {
      {400, CRect(0, -516, 1000, -400), {250, -516}, {750, -516}},
      // The ends are exchanged: the arcs bulge the other way.
      {-400, CRect(0, 400, 1000, 516), {250, 516}, {750, 516}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.offset);
    LabelledPoint point(&data);
    point.answersRatio = true;
    point.parts = 2;
    point.p2 = CPoint(1000, 0);
    CDimLabel label;
    label.SetDivision(&data, &point);
    label.SetOffsetDistance(c.offset);
    label.SetVisible(1);
    EXPECT_EQ(label.GetRect(), c.box);
    EXPECT_EQ(label.GetPartCount(), 2);
    EXPECT_TRUE(label.GetTextRect().IsRectEmpty());
    double distance = -1;
    for (CPoint top : {c.top1, c.top2}) {
      EXPECT_TRUE(label.Pick(top.x, top.y, 2.0, &distance));
      EXPECT_LT(distance, 1.0);
    }
    // The arc spans 100 degrees about its centre (250, -190) or (750, 190):
    // 45 degrees off its middle lies on it, 55 degrees off does not.
    const double sign = c.offset < 0 ? 1.0 : -1.0;
    const CPoint centre(250, static_cast<int32_t>(sign * 190));
    for (double turn : {45.0, 55.0}) {
      const double a = turn * 3.14159265358979 / 180;
      const CPoint on(centre.x + static_cast<int32_t>(std::lround(326 * std::sin(a))),
                      centre.y + static_cast<int32_t>(std::lround(sign * 326 * std::cos(a))));
      SCOPED_TRACE(turn);
      EXPECT_EQ(label.Pick(on.x, on.y, 2.0, &distance), turn < 50 ? TRUE : FALSE);
    }
    // No text box: never hit, not even at the middle of the row.
    EXPECT_FALSE(label.HitText(500, static_cast<int32_t>(sign * 400)));
    EXPECT_FALSE(label.HitText(0, 0));
  }
}

// The part count comes from the file: none draws no arc, and a huge count
// draws no more than the bound.
TEST(DimLabelLayout, DivisionPartCountFromTheFileIsBounded) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  struct Case {
    double parts;
    bool arcs;
  };
  const Case kCases[] = {{0, false}, {-3, false}, {std::nan(""), false}, {2'000'000'000, true}, {1e300, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.parts);
    LabelledPoint point(&data);
    point.answersRatio = true;
    point.parts = c.parts;
    point.p2 = CPoint(100'000, 0);
    CDimLabel label;
    label.SetDivision(&data, &point);
    label.SetVisible(1);
    const CRect box = label.GetRect();
    double distance = -1;
    if (!c.arcs) {
      EXPECT_TRUE(box.IsRectEmpty());
      EXPECT_FALSE(label.Pick(500, -400, 5.0, &distance));
      continue;
    }
    // A thousand arcs over parts of 100, each of radius 65 about a centre
    // 42 below the row's line.
    EXPECT_EQ(box, CRect(0, -423, 100'000, -400));
    EXPECT_TRUE(label.Pick(99'950, -423, 2.0, &distance));
  }
}

// ---- Labels along a curve ---------------------------------------------------

TEST(DimLabelLayout, PathLabelFollowsTheCurveStoodOffByTheChordsTurn) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  LabelledPoint point(&data);
  point.answersCurve = true;
  point.text = CString("12");
  point.path = {{0, 0}, {1000, 0}, {1000, 1000}};
  CDimLabel label;
  label.SetAlongCurve(&data, &point);
  label.SetVisible(1);
  label.Layout();
  // The chord (0, 0)-(1000, 1000) turned: a shift of 400 along (1, -1).
  EXPECT_EQ(label.GetStart(), CPoint(283, -283));
  EXPECT_EQ(label.GetEnd(), CPoint(1283, 717));
  EXPECT_EQ(label.GetOrientation(), 0);
  // Halfway along the path is its corner.
  EXPECT_EQ(Centre(label.GetTextRect()), CPoint(1283, -283));
  EXPECT_EQ(label.GetRect(), CRect(283, -288, 1293, 717));
  double distance = -1;
  EXPECT_TRUE(label.Pick(1285, 300, 3.0, &distance));
  EXPECT_DOUBLE_EQ(distance, 2.0);
  EXPECT_FALSE(label.Pick(1000, 300, 3.0, &distance));
}

// ---- Hidden labels, text measuring ------------------------------------------

TEST(DimLabelLayout, HiddenLabelHasNoBoxAndIsNeverHit) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  LabelledPoint point(&data);
  AnswerLinear(point, {0, 0}, {1000, 0});
  CDimLabel label;
  label.SetLinear(&data, &point);
  EXPECT_FALSE(label.IsVisible());
  EXPECT_TRUE(label.GetRect().IsRectEmpty());
  EXPECT_FALSE(label.HitText(500, -400));
  double distance = -1;
  EXPECT_FALSE(label.Pick(500, -400, 10.0, &distance));
  EXPECT_EQ(distance, -1);
  label.SetVisible(1);
  EXPECT_TRUE(label.HitText(500, -400));
  EXPECT_TRUE(label.Pick(500, -400, 10.0, &distance));
}

// Pieces: a byte of 0xA0 or more takes the byte after it; a last byte stands
// alone. A piece is 7 + 3 per byte wide.
TEST(DimLabelLayout, TextIsMeasuredCharacterByCharacterInTheLabelFont) {
  MeasuringShell shell;
  struct Case {
    std::string text;
    int32_t width;
    std::vector<std::string> pieces;
  };
  const Case kCases[] = {
      {"12", 20, {"1", "2"}},
      {"\xB0\xA1"
       "a",
       23,
       {"\xB0\xA1", "a"}},
      {"\xA0"
       "A",
       13,
       {"\xA0"
        "A"}},
      {"\x9F"
       "A",
       20,
       {"\x9F", "A"}},
      {"\x80"
       "A",
       20,
       {"\x80", "A"}},  // 0x80 to 0x9F are single bytes here
      {"a\xB0", 20, {"a", "\xB0"}},
      {"", 0, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    CPatternData data;
    SetUpDesign(data, 40, 12);
    LabelledPoint point(&data);
    AnswerLinear(point, {0, 0}, {1000, 0}, c.text.c_str());
    CDimLabel label;
    label.SetLinear(&data, &point);
    label.Layout();
    shell.metrics.pieces.clear();
    const int taken = shell.taken;
    EXPECT_EQ(label.GetTextExtent(), CSize(c.width, c.text.empty() ? 0 : 12));
    EXPECT_EQ(shell.metrics.pieces, c.pieces);
    EXPECT_EQ(shell.taken, taken + 1);
    EXPECT_EQ(shell.released, shell.taken);
  }
}

TEST(DimLabelLayout, FontOfHeightZeroIsMeasuredWithHeightOne) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40, 0);
  LabelledPoint point(&data);
  AnswerLinear(point, {0, 0}, {1000, 0}, "1");
  CDimLabel label;
  label.SetLinear(&data, &point);
  label.Layout();
  EXPECT_EQ(label.GetTextExtent(), CSize(10, 1));
  // The design keeps the font it was given.
  EXPECT_EQ(data.GetLabelFont().lfHeight, 0);
}

TEST(DimLabelLayout, ScreenIsLeftAsFoundAndWindowlessMeasuringUsesFixedMetrics) {
  {
    MeasuringShell shell;
    LOGFONT selected = FontOf(33);
    CFont font;
    font.CreateFontIndirect(&selected);
    shell.screen.SelectObject(&font);
    EXPECT_EQ(MeasureLabelText(CString("ab"), FontOf(10)), CSize(20, 10));
    EXPECT_EQ(shell.screen.state().font.logfont().lfHeight, 33);
  }
  // Fixed metrics: half the height per byte.
  EXPECT_EQ(MeasureLabelText(CString("ab"), FontOf(10)), CSize(10, 10));
}

// ---- Values from the file ----------------------------------------------------

TEST(DimLabelLayout, FarTextOffsetStopsAtTheEndOfTheRange) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  LabelledPoint point(&data);
  AnswerLinear(point, {0, 0}, {1000, 0});
  CDimLabel label;
  label.SetLinear(&data, &point);
  LoadRecord(label, LabelRecord{.mode = 0, .orientation = 0, .offset = 400, .textOffset = {INT32_MAX, 0}});
  label.Layout();
  EXPECT_EQ(label.GetTextRect(), CRect(INT32_MAX - 10, -405, INT32_MAX, -395));
  EXPECT_TRUE(label.HitText(INT32_MAX - 5, -400));
  EXPECT_EQ(label.GetRect(), CRect(0, -405, INT32_MAX, -395));
}

// A label whose stored mode asks its point a query the point does not answer
// lays out from an empty text, points at the origin and no parts.
TEST(DimLabelLayout, UnansweredQueryLaysOutFromEmptyAnswers) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, 40);
  for (uint32_t mode : {1u, 2u, 3u, 4u, 7u}) {
    SCOPED_TRACE(mode);
    LabelledPoint point(&data);  // answers nothing
    CDimLabel label;
    label.SetLinear(&data, &point);
    LoadRecord(label, LabelRecord{.mode = mode, .orientation = 0, .offset = 400, .parts = 7});
    label.Layout();
    EXPECT_EQ(label.GetText(), CString());
    EXPECT_EQ(label.GetStart(), CPoint());
    EXPECT_EQ(label.GetEnd(), CPoint());
    if (mode == 2) {
      EXPECT_EQ(label.GetOffsetDistance(), 1);  // arms of 0: half plus 1
    }
    if (mode == 3) {
      EXPECT_EQ(label.GetPartCount(), 0);
    }
    double distance = 0;
    label.Pick(0, 0, 5.0, &distance);
    label.HitText(0, 0);
  }
  // The same for a label without a point at all.
  CDimLabel unbound;
  unbound.SetVisible(1);
  EXPECT_EQ(unbound.GetRect(), CRect(0, 0, 1, 1));
}

TEST(DimLabelLayout, FarPointsAndOffsetsStayInRange) {
  MeasuringShell shell;
  CPatternData data;
  SetUpDesign(data, INT32_MAX);
  LabelledPoint point(&data);
  point.answersLinear = point.answersAngle = point.answersRatio = true;
  point.text = CString("1");
  point.p1 = CPoint(INT32_MIN, INT32_MIN);
  point.p2 = CPoint(INT32_MAX, INT32_MAX);
  point.p3 = CPoint(INT32_MAX, INT32_MIN);
  point.parts = 1000;
  for (uint32_t mode : {0u, 1u, 2u, 3u}) {
    SCOPED_TRACE(mode);
    CDimLabel label;
    label.SetLinear(&data, &point);
    EXPECT_EQ(label.GetOffsetDistance(), INT32_MAX);  // 10 mm at the largest scale
    for (int32_t offset : {INT32_MAX, INT32_MIN}) {
      LoadRecord(
          label,
          LabelRecord{
              .mode = mode, .orientation = 4, .offset = offset, .textOffset = {INT32_MIN, INT32_MAX}, .parts = 1000});
      label.Invalidate();
      label.GetRect();
      double distance = 0;
      label.Pick(0, 0, 1e300, &distance);
      label.HitText(INT32_MAX, INT32_MIN);
    }
  }
}

// ---- The design's label operations -----------------------------------------

class CountingObject : public CGradedObject {
 public:
  explicit CountingObject(CPatternData* owner) : CGradedObject(kObjectKindPoint, owner, 0) {}
  void UpdateLabel() override { ++updates; }
  void SetLabelVisible(BOOL visible) override { shown.push_back(visible); }
  int updates = 0;
  std::vector<BOOL> shown;
};

TEST(DimLabelLayout, DesignLabelFontAndVisibilityReachEveryObject) {
  CPatternData data;
  auto* first = static_cast<CountingObject*>(data.AddElement(std::make_unique<CountingObject>(&data)));
  auto* second = static_cast<CountingObject*>(data.AddElement(std::make_unique<CountingObject>(&data)));
  first->updates = second->updates = 0;
  data.SetLabelFont(FontOf(14));
  EXPECT_EQ(data.GetLabelFont().lfHeight, 14);
  EXPECT_EQ(first->updates, 1);
  EXPECT_EQ(second->updates, 1);
  data.UpdateAllLabels();
  EXPECT_EQ(second->updates, 2);
  data.ShowAllLabels(TRUE);
  data.ShowAllLabels(FALSE);
  EXPECT_EQ(first->shown, (std::vector<BOOL>{TRUE, FALSE}));
  EXPECT_EQ(second->shown, (std::vector<BOOL>{TRUE, FALSE}));
}

}  // namespace
