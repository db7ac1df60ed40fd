// The free text of a design: the turned box measured with the screen's text
// metrics, laid out only when asked for after a load, its record, and its
// place in the loader's object table.
#include "design/core/text_element.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "design/core/design_classes.h"
#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "model/style.h"
#include "platform/archive.h"
#include "platform/recording_dc.h"
#include "tests/design/support/stand_in_objects.h"
#include "tests/design_writer/archive_writer.h"
#include "tests/model/support/fake_shell.h"

namespace {

using design_fixture::ArchiveBytes;
using design_fixture::ArchiveFont;
using design_fixture::DesignArchiveWriter;
using design_test::LoadDesign;
using design_test::LoadedDesign;

// Every byte is as wide as the font height and a line twice as high, so that
// the box shows both that the text's own font was selected and that the work
// window's metrics were asked, not the fixed ones.
class TestMetrics : public ITextMetrics {
 public:
  CSize Extent(const LOGFONT& font, std::string_view text) const override {
    return CSize(static_cast<int32_t>(text.size()) * font.lfHeight, 2 * font.lfHeight);
  }
  int Ascent(const LOGFONT&) const override { return 0; }
  int Descent(const LOGFONT&) const override { return 0; }
};

// A work window whose device context measures with TestMetrics and counts how
// often it is taken and given back.
class MeasuringShell : public FakeShell {
 public:
  CDC* GetDC() override {
    ++taken;
    return &screen;
  }
  void ReleaseDC(CDC*) override { ++released; }

  TestMetrics metrics;
  RecordingDC screen{&metrics};
  int taken = 0;
  int released = 0;
};

LOGFONT FontOf(int32_t height, int32_t escapement = 0) {
  LOGFONT font;
  font.lfHeight = height;
  font.lfEscapement = escapement;
  return font;
}

std::array<CPoint, 4> Box(CPoint position, CPoint a, CPoint c, CPoint b) { return {position, a, c, b}; }

// "abc" in a font 10 high at (100, 200) measures 30 by 20 with TestMetrics.
TEST(TextElement, BoxIsTurnedAboutThePositionByMinusTheEscapement) {
  MeasuringShell shell;
  struct Case {
    int32_t escapement;
    std::array<CPoint, 4> box;  // position, A, C, B
    CRect bound;
  };
  const Case kCases[] = {
      {0, Box({100, 200}, {130, 200}, {130, 220}, {100, 220}), {100, 200, 130, 220}},
      {900, Box({100, 200}, {100, 170}, {120, 170}, {120, 200}), {100, 170, 120, 200}},
      {1800, Box({100, 200}, {70, 200}, {70, 180}, {100, 180}), {70, 180, 100, 200}},
      {-900, Box({100, 200}, {100, 230}, {80, 230}, {80, 200}), {80, 200, 100, 230}},
      // 45 degrees: (30, 0) -> (21.2, -21.2), (0, 20) -> (14.1, 14.1).
      {450, Box({100, 200}, {121, 179}, {135, 193}, {114, 214}), {100, 179, 135, 214}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.escapement);
    CPatternData data;
    const CTextElement text(&data, 3, 100, 200, CString("abc"), FontOf(10, c.escapement));
    EXPECT_FALSE(text.IsTextBoxMarked());  // laid out at once
    EXPECT_EQ(text.GetTextBox(), c.box);
    EXPECT_EQ(text.GetBoundRect(0), c.bound);
    EXPECT_EQ(text.GetBoundRect(5), c.bound);  // the same at every size
  }
  EXPECT_EQ(shell.taken, 5);
  EXPECT_EQ(shell.released, 5);
}

TEST(TextElement, EmptyTextHasAZeroWidthBoxAtItsPosition) {
  MeasuringShell shell;
  for (int32_t escapement : {0, 900, 450}) {
    SCOPED_TRACE(escapement);
    const CTextElement text(nullptr, 0, -40, 70, CString(), FontOf(10, escapement));
    for (const CPoint& corner : text.GetTextBox()) EXPECT_EQ(corner, CPoint(-40, 70));
    const CRect bound = text.GetBoundRect(0);
    EXPECT_EQ(bound.TopLeft(), CPoint(-40, 70));
    EXPECT_EQ(bound.Width(), 0);
    EXPECT_EQ(bound.Height(), 0);
  }
}

TEST(TextElement, MeasuringLeavesTheScreenAsFoundAndWorksWithoutAWindow) {
  {
    MeasuringShell shell;
    LOGFONT selected = FontOf(33);
    CFont font;
    font.CreateFontIndirect(&selected);
    shell.screen.SelectObject(&font);
    const CTextElement text(nullptr, 0, 0, 0, CString("ab\r\ncd"), FontOf(4));
    EXPECT_EQ(text.GetTextBox()[2], CPoint(8, 16));  // two lines of 8 by 8
    EXPECT_EQ(shell.screen.state().font.logfont().lfHeight, 33);
    EXPECT_EQ(shell.screen.SaveDC(), 1);  // no save left behind
  }
  // Without a work window the fixed metrics measure: 6 per byte, 12 high.
  const CTextElement text(nullptr, 0, 10, 10, CString("abc"), FontOf(-12));
  EXPECT_EQ(text.GetTextBox()[2], CPoint(28, 22));
}

TEST(TextElement, IsShownRefersToNothingAndKeepsWhatItWasGiven) {
  CPatternData data;
  CGradedObject* other = data.AddElement(std::make_unique<CTextElement>(&data, 0));
  LOGFONT font = FontOf(-14, 300);
  std::strcpy(font.lfFaceName, "Song");
  const CTextElement text(&data, 6, 1, 2, CString("\xd6\xd0 x"), font);
  EXPECT_EQ(text.GetKind(), kObjectKindText);
  EXPECT_EQ(text.GetState(), 1);
  EXPECT_EQ(text.GetStatus(), 6);
  EXPECT_EQ(text.GetOwner(), &data);
  CPoint position;
  CString stored;
  LOGFONT storedFont;
  text.GetText(position, stored, storedFont);
  EXPECT_EQ(position, CPoint(1, 2));
  EXPECT_EQ(stored, CString("\xd6\xd0 x"));
  EXPECT_EQ(storedFont.lfEscapement, 300);
  EXPECT_STREQ(storedFont.lfFaceName, "Song");

  CGradedObjectList references{other, nullptr};
  EXPECT_TRUE(text.GetReferences(references));
  EXPECT_TRUE(references.empty());
  EXPECT_FALSE(text.DependsOn(other));
  EXPECT_FALSE(text.RefersTo(other));
}

// ---- The record -------------------------------------------------------------

std::string TextRecord(uint32_t state, uint16_t status, int32_t x, int32_t y, std::string_view text,
                       const ArchiveFont& font) {
  ArchiveBytes out;
  out.U32(state).U16(status).Point(x, y).CStr(text);
  font.WriteTo(out);
  return out.Bytes();
}

ArchiveFont StoredFont(int32_t height, int32_t escapement, std::string face) {
  ArchiveFont font;
  font.height = height;
  font.width = 5;
  font.escapement = escapement;
  font.orientation = 6;
  font.weight = 700;
  font.italic = 1;
  font.underline = 2;
  font.strike_out = 3;
  font.char_set = 134;
  font.out_precision = 4;
  font.clip_precision = 5;
  font.quality = 6;
  font.pitch_and_family = 7;
  font.face = std::move(face);
  return font;
}

TEST(TextElementLoad, ReadsEveryFieldAndMeasuresOnlyWhenTheBoxIsAskedFor) {
  MeasuringShell shell;
  const std::string record = TextRecord(0, 9, -5, 8, "\xd6\xd0\r\nab", StoredFont(10, 900, "Song"));
  CTextElement text(nullptr, 0);
  ArchiveReader archive{std::string_view(record)};
  ASSERT_TRUE(text.Load(archive));
  EXPECT_EQ(archive.Remaining(), 0u);
  EXPECT_EQ(text.GetState(), 0);
  EXPECT_EQ(text.GetStatus(), 9);
  CPoint position;
  CString stored;
  LOGFONT font;
  text.GetText(position, stored, font);
  EXPECT_EQ(position, CPoint(-5, 8));
  EXPECT_EQ(stored, CString("\xd6\xd0\r\nab"));
  EXPECT_EQ(font.lfHeight, 10);
  EXPECT_EQ(font.lfWidth, 5);
  EXPECT_EQ(font.lfEscapement, 900);
  EXPECT_EQ(font.lfOrientation, 6);
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_EQ(font.lfItalic, 1);
  EXPECT_EQ(font.lfCharSet, 134);
  EXPECT_EQ(font.lfPitchAndFamily, 7);
  EXPECT_STREQ(font.lfFaceName, "Song");

  EXPECT_TRUE(text.IsTextBoxMarked());
  EXPECT_EQ(shell.taken, 0);  // loading measured nothing
  // Two lines, the widest 20 wide, 40 high, turned a quarter.
  EXPECT_EQ(text.GetTextBox(), Box({-5, 8}, {-5, -12}, {35, -12}, {35, 8}));
  EXPECT_FALSE(text.IsTextBoxMarked());
  EXPECT_EQ(shell.taken, 1);
  text.GetBoundRect(0);
  EXPECT_EQ(shell.taken, 1);  // laid out once
  text.Invalidate(-1);
  EXPECT_TRUE(text.IsTextBoxMarked());
}

TEST(TextElementLoad, FaceNameTooLongIsCutOnACharacterBoundary) {
  const std::string a29(29, 'A');
  struct Case {
    std::string stored;
    std::string kept;
  };
  const Case kCases[] = {
      {a29 + "AB", a29 + "AB"},                          // 31 bytes fit
      {a29 + "ABC", a29 + "AB"},                         // 32 do not
      {a29 + "A\xcb\xce", a29 + "A"},                    // a character across the 31st byte goes whole
      {a29 + "\xcb\xce", a29 + "\xcb\xce"},              // one that ends at it stays
      {a29 + "\xcb\xce\xcb\xce" + std::string(300, 'Z'), a29 + "\xcb\xce"},  // far too long
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.stored.size());
    const std::string record = TextRecord(1, 0, 0, 0, "x", StoredFont(10, 0, c.stored));
    CTextElement text(nullptr, 0);
    ArchiveReader archive{std::string_view(record)};
    ASSERT_TRUE(text.Load(archive));
    EXPECT_EQ(archive.Remaining(), 0u);
    CPoint position;
    CString stored;
    LOGFONT font;
    text.GetText(position, stored, font);
    EXPECT_EQ(std::string(font.lfFaceName), c.kept);
  }
}

TEST(TextElementLoad, EveryShortRecordFailsAndLeavesTheTextUntouched) {
  const std::string record = TextRecord(0, 9, -5, 8, "text", StoredFont(10, 900, "Song"));
  for (size_t cut = 0; cut < record.size(); ++cut) {
    SCOPED_TRACE(cut);
    CTextElement text(nullptr, 4, 1, 2, CString("old"), FontOf(3));
    ArchiveReader archive{std::string_view(record.data(), cut)};
    EXPECT_FALSE(text.Load(archive));
    EXPECT_EQ(text.GetState(), 1);
    EXPECT_EQ(text.GetStatus(), 4);
    CPoint position;
    CString stored;
    LOGFONT font;
    text.GetText(position, stored, font);
    EXPECT_EQ(position, CPoint(1, 2));
    EXPECT_EQ(stored, CString("old"));
    EXPECT_EQ(font.lfHeight, 3);
    EXPECT_FALSE(text.IsTextBoxMarked());
  }
}

// ---- Whole designs ------------------------------------------------------------

class TextDesignLoad : public ::testing::Test {
 protected:
  void TearDown() override { ClearStyle(); }

  // A design of `version` with one size, a free point, the text and the
  // closing record "END".
  static std::string DesignWithText(int32_t version, int32_t kind, uint16_t status) {
    DesignArchiveWriter w(version);
    w.header().scale = 40;
    w.AddSize({"M", 0, 0});
    w.SetBaseSize(0);
    w.AddFreePoint(1, 1);
    w.AddText(-5, 8, "\xd6\xd0x", StoredFont(10, 0, "Song"), 0, status, kind);
    return design_test::Finish(w);
  }
};

TEST_F(TextDesignLoad, KindEightAlwaysAndKindFiveUpToVersion118LoadAsTexts) {
  MeasuringShell shell;
  struct Case {
    int32_t version;
    int32_t kind;
  };
  // Version 101 is older than the status word of the points: the text
  // carries its own at every version.
  const Case kCases[] = {{101, 5}, {101, 8}, {118, 5}, {118, 8}, {119, 8}, {150, 8}, {162, 8}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << " kind " << c.kind);
    const LoadedDesign loaded = LoadDesign(DesignWithText(c.version, c.kind, 7));
    ASSERT_TRUE(loaded.ok) << loaded.data->GetLoadFailure().reason;
    EXPECT_EQ(loaded.remaining, 0u);
    const CPatternData& data = *loaded.data;
    ASSERT_EQ(data.GetElementCount(), 2);
    const auto* text = dynamic_cast<const CTextElement*>(data.GetElementAt(1));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetKind(), kObjectKindText);
    EXPECT_EQ(text->GetOwner(), &data);
    EXPECT_EQ(text->GetStatus(), 7);
    EXPECT_EQ(text->GetState(), 0);  // a hidden text is kept: only points are removed
    EXPECT_EQ(text->GetPosition(), CPoint(-5, 8));
    EXPECT_TRUE(text->IsTextBoxMarked());
    EXPECT_EQ(text->GetBoundRect(0), CRect(-5, 8, 25, 28));
    ClearStyle();
  }
  EXPECT_EQ(shell.taken, 7);  // once per text, none while loading
}

TEST_F(TextDesignLoad, KindFiveAfterVersion118IsRefused) {
  const LoadedDesign loaded = LoadDesign(DesignWithText(119, 5, 0));
  EXPECT_FALSE(loaded.ok);
  const DesignLoadFailure& failure = loaded.data->GetLoadFailure();
  EXPECT_EQ(failure.fault, DesignLoadFault::kUnknownCode);
  EXPECT_NE(failure.reason.find("graded object 1: kind 5"), std::string::npos);
}

TEST_F(TextDesignLoad, EveryPrefixOfADesignWithATextFailsWithoutALeak) {
  for (int32_t version : {118, 162}) {
    SCOPED_TRACE(version);
    design_test::ExpectEveryPrefixFails(DesignWithText(version, 8, 0));
  }
}

TEST(TextElementRegistration, KindEightMakesAnEmptyTextWithStatusZero) {
  RegisterDesignClasses();
  CPatternData data;
  std::unique_ptr<CGradedObject> made = GetObjectKindFactory().Create(kObjectKindText, &data);
  auto* text = dynamic_cast<CTextElement*>(made.get());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->GetOwner(), &data);
  EXPECT_EQ(text->GetStatus(), 0);
  EXPECT_EQ(text->GetState(), 1);
  EXPECT_EQ(text->GetPosition(), CPoint());
}

}  // namespace
