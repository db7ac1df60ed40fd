// The notch mark items: type 13 (solid, always shown) and type 18 (dotted,
// shown with the derived items), their point numbers and their marks per size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/items/all_items.h"
#include "platform/recording_dc.h"
#include "support/fake_shell.h"
#include "support/model_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class NotchItemsTest : public ModelTest {
 protected:
  void SetUp() override {
    ModelTest::SetUp();
    sizes_ = AddSizes(2);
  }

  // Appends one notch in the layout the readers give: the point group (kind
  // 0, point number in bits 18 and up), the inner-end group carrying the mark
  // shape, and the width node. Size s lies 100 s lower than size 0.
  static void AddNotch(CPieceItem* item, CPoint point, CPoint inner, uint32_t shape, int width, int number,
                       int pointKind = 0) {
    item->AddTailVertex(point.x, point.y, static_cast<uint32_t>(number << 18) | static_cast<uint32_t>(pointKind));
    item->AddTailVertex(point.x, point.y + 100, kVertexKindCopy);
    item->AddTailVertex(inner.x, inner.y, shape | 1);
    item->AddTailVertex(inner.x, inner.y + 100, kVertexKindCopy);
    item->AddTailVertex(width, 0, kVertexKindFixedSingle);
  }

  std::vector<CSizeRecord*> sizes_;
};

// A slit from (10, 50) to (10, 0): size 1 drawn first, 100 lower.
const Lines kSlitBothSizes = {
    "MoveTo (10,150)",
    "LineTo (10,150)-(10,100) pen=%s/1/0x000020",
    "LineTo (10,100)-(10,101) pen=%s/1/0x000020",
    "MoveTo (10,50)",
    "LineTo (10,50)-(10,0) pen=%s/1/0x000010",
    "LineTo (10,0)-(10,1) pen=%s/1/0x000010",
};

Lines WithPen(const Lines& lines, const std::string& pen) {
  Lines out;
  for (std::string line : lines) {
    const size_t at = line.find("%s");
    if (at != std::string::npos) line.replace(at, 2, pen);
    out.push_back(line);
  }
  return out;
}

TEST_F(NotchItemsTest, EachTypeDrawsItsMarksInEveryVisibleSizeWithItsPen) {
  g_DrawFlagPointNumbers = 0;
  CPieceItem13 solid(nullptr, nullptr);
  CPieceItem18 dotted(nullptr, nullptr);
  AddNotch(&solid, {10, 50}, {10, 0}, kNotchShapeSlit, 20, 0);
  AddNotch(&dotted, {10, 50}, {10, 0}, kNotchShapeSlit, 20, 0);
  struct Case {
    CPieceItem* item;
    const char* pen;
  };
  for (const Case& c : {Case{&solid, "solid"}, Case{&dotted, "dot"}}) {
    SCOPED_TRACE(c.item->Type);
    RecordingDC dc;
    c.item->Draw(&dc, 1.0, 0, 0, nullptr);
    EXPECT_EQ(dc.Lines(), WithPen(kSlitBothSizes, c.pen));
    RecordingDC selected;
    c.item->DrawSelected(&selected, 1.0, 0, 0, nullptr);
    EXPECT_EQ(selected.Lines(), dc.Lines()) << "a selected notch item looks the same";
  }
}

TEST_F(NotchItemsTest, DerivedNotchesHideWithTheDerivedItemsNumbersIncluded) {
  g_DrawFlagPointNumbers = 1;
  CPieceItem13 solid(nullptr, nullptr);
  CPieceItem18 dotted(nullptr, nullptr);
  AddNotch(&solid, {10, 50}, {10, 0}, kNotchShapeSlit, 20, 7);
  AddNotch(&dotted, {10, 50}, {10, 0}, kNotchShapeSlit, 20, 7);

  g_DrawFlagDerivedItems = 0;
  RecordingDC dc;
  dotted.Draw(&dc, 1.0, 0, 0, nullptr);
  dotted.DrawSelected(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());
  solid.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.calls().size(), 7u) << "type 13 ignores the derived items switch";

  g_DrawFlagDerivedItems = 1;
  dc.Clear();
  dotted.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_EQ(dc.calls().size(), 7u);
}

TEST_F(NotchItemsTest, PointNumbersInRedAtTheFirstSizeBeforeTheMarks) {
  CPieceItem13 item(nullptr, nullptr);
  AddNotch(&item, {10, 50}, {10, 0}, kNotchShapeSlit, 20, 7);
  // A main vertex that is no notch point (kind 3) is numbered but gets no
  // mark; a number of 0 shows nothing.
  AddNotch(&item, {300, 50}, {300, 0}, kNotchShapeSlit, 20, 8, 3);
  AddNotch(&item, {500, 50}, {500, 0}, kNotchShapeSlit, 20, 0);
  sizes_[1]->Visible = 0;

  g_DrawFlagPointNumbers = 1;
  RecordingDC dc;
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  const Lines lines = dc.Lines();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0].rfind("TextOut (10,50) \"7\"", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("color=0x0000FF"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1].rfind("TextOut (300,50) \"8\"", 0), 0u) << lines[1];
  EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), (Lines{
                                                       "MoveTo (10,50)",
                                                       "LineTo (10,50)-(10,0) pen=solid/1/0x000010",
                                                       "LineTo (10,0)-(10,1) pen=solid/1/0x000010",
                                                       "MoveTo (500,50)",
                                                       "LineTo (500,50)-(500,0) pen=solid/1/0x000010",
                                                       "LineTo (500,0)-(500,1) pen=solid/1/0x000010",
                                                   }));

  g_DrawFlagPointNumbers = 0;
  dc.Clear();
  item.Draw(&dc, 1.0, 0, 0, nullptr);
  for (const DrawCall& call : dc.calls()) EXPECT_NE(call.op, DrawCall::Op::kTextOut);
}

TEST_F(NotchItemsTest, EachMarkShapeDrawsAndAnUnknownShapeDrawsNothing) {
  g_DrawFlagPointNumbers = 0;
  sizes_[1]->Visible = 0;
  struct Case {
    uint32_t shape;
    size_t calls;
  };
  // T: two figures; V: three points; U (deep): two sides and an arc; slit;
  // box: four points; anything else nothing.
  const Case kCases[] = {{kNotchShapeT, 6}, {kNotchShapeV, 4}, {kNotchShapeU, 7},
                         {kNotchShapeSlit, 3}, {kNotchShapeBox, 5}, {0x600, 0}, {0, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.shape);
    CPieceItem13 item(nullptr, nullptr);
    AddNotch(&item, {0, 100}, {0, 0}, c.shape, 40, 0);
    RecordingDC dc;
    item.Draw(&dc, 1.0, 0, 0, nullptr);
    EXPECT_EQ(dc.calls().size(), c.calls);
  }
}

TEST_F(NotchItemsTest, AnEmptyOrTruncatedItemDrawsSafely) {
  g_DrawFlagPointNumbers = 1;
  g_DrawFlagDerivedItems = 1;
  CPieceItem13 empty(nullptr, nullptr);
  RecordingDC dc;
  empty.Draw(&dc, 1.0, 0, 0, nullptr);
  EXPECT_TRUE(dc.calls().empty());

  // Every prefix of a two-notch ring, as a damaged file may leave it: no
  // read past the ring (the sanitizers watch), and a notch cut short before
  // its width node draws nothing unless the ring's wrap-around supplies one.
  CPieceItem18 full(nullptr, nullptr);
  AddNotch(&full, {10, 50}, {10, 0}, kNotchShapeBox, 20, 1);
  AddNotch(&full, {90, 50}, {90, 0}, kNotchShapeBox, 20, 2);
  for (int32_t n = 1; n <= full.VertexCount; ++n) {
    SCOPED_TRACE(n);
    CPieceItem18 cut(nullptr, nullptr);
    CVertexNode* node = full.VertexHead;
    for (int32_t i = 0; i < n; ++i, node = node->Next) cut.AddTailVertex(node->X, node->Y, node->Flags);
    RecordingDC out;
    cut.Draw(&out, 1.0, 0, 0, nullptr);
    size_t lineTos = 0;
    for (const DrawCall& call : out.calls()) lineTos += call.op == DrawCall::Op::kLineTo ? 1 : 0;
    // A box mark is three sides and the end pixel, in each of two sizes.
    if (n < 5) {
      EXPECT_EQ(lineTos, 0u);
    } else if (n == 5) {
      EXPECT_EQ(lineTos, 8u);
    } else if (n == full.VertexCount) {
      EXPECT_EQ(lineTos, 16u);
    }
  }
}

}  // namespace
