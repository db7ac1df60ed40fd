#include "model/length_text.h"

#include <gtest/gtest.h>

#include "model/settings.h"
#include "model/style.h"

namespace {

// Sets the display unit and restores the start-up settings and scale after.
class DisplayLengthTest : public testing::Test {
 protected:
  void SetUp() override { saved_scale_ = g_Style.GetScale(); }
  void TearDown() override {
    RestoreDefaultSettings();
    g_Style.SetScale(saved_scale_);
  }
  void Use(int mode, int precision, int scale) {
    g_UnitMode = mode;
    g_UnitPrecision = precision;
    g_Style.SetScale(scale);
  }

 private:
  int saved_scale_ = 40;
};

struct LengthCase {
  int value;
  int mode;
  int precision;
  const char* text;
};

// At 40 units per millimetre.
const LengthCase kRoundTrips[] = {
    {400, 3, 100, "10"},
    {410, 3, 100, "10.25"},
    {0, 3, 100, "0"},
    {-410, 3, 100, "-10.25"},
    {404, 3, 10, "10.1"},
    {1016, 0, 100, "1"},
    {1270, 0, 100, "1\"1/4"},
    {-254, 0, 100, "-1/4"},
    {-1270, 0, 100, "-1\"1/4"},
    {0, 0, 100, "0"},
    {1016, 1, 100, "1"},
    {1270, 1, 100, "1.25"},
    {400, 2, 100, "1"},
    {600, 2, 100, "1.5"},
    {40000, 4, 100, "30"},
    {20000, 4, 100, "15"},
};

}  // namespace

TEST(FormatLength, TableAtScale40AndParsedBack) {
  for (const LengthCase& c : kRoundTrips) {
    SCOPED_TRACE(testing::Message() << c.value << " in mode " << c.mode << " precision " << c.precision);
    EXPECT_EQ(FormatLength(c.value, 40, c.mode, c.precision).str(), c.text);
    EXPECT_EQ(ParseDisplayLength(c.text, 40, c.mode), c.value);
  }
}

TEST(FormatLength, FractionsRoundToTheDenominator) {
  struct Case { int value; int precision; const char* text; };
  const Case kCases[] = {
      {1015, 100, "1"},       // just below one inch rounds up to it
      {-1015, 100, "-1"},
      {1, 100, "0"},          // below half a hundredth of an inch
      {1524, 1, "2"},         // 1.5 in: precision 1 never shows a fraction
      {1397, 1, "1"},         // 1.375 in
      {1397, 8, "1\"3/8"},
      {2032 + 508, 100, "2\"1/2"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(FormatLength(c.value, 40, 0, c.precision).str(), c.text);
  }
}

TEST(FormatLength, UnknownModesPrecisionsAndDivisorsGiveNoText) {
  for (int mode = 1; mode <= 4; ++mode) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(FormatLength(400, 40, mode, 5).str(), "");
    EXPECT_EQ(FormatLength(400, 40, mode, 0).str(), "");
  }
  EXPECT_EQ(FormatLength(400, 40, 5, 100).str(), "");
  EXPECT_EQ(FormatLength(400, 40, -1, 100).str(), "");
  EXPECT_EQ(FormatLength(400, 40, 0, 0).str(), "");
  for (int mode = 0; mode <= 4; ++mode) EXPECT_EQ(FormatLength(400, 0, mode, 100).str(), "");
  EXPECT_EQ(ParseDisplayLength("10", 40, 7), 0);
  EXPECT_EQ(GetUnitSuffixText(7).str(), "");
}

TEST_F(DisplayLengthTest, FollowsTheProcessWideUnitAndTheStyleScale) {
  Use(3, 100, 40);
  EXPECT_EQ(FormatDisplayLength(410).str(), "10.25");
  EXPECT_EQ(GetUnitSuffix().str(), "mm");
  Use(3, 100, 10);
  EXPECT_EQ(FormatDisplayLength(410).str(), "41");
  Use(0, 100, 40);
  EXPECT_EQ(FormatDisplayLength(1270).str(), "1\"1/4");
  EXPECT_EQ(GetUnitSuffix().str(), "in.");
  Use(1, 1000, 40);
  EXPECT_EQ(FormatDisplayLength(1270).str(), "1.25");
  Use(2, 10, 40);
  EXPECT_EQ(FormatDisplayLength(600).str(), "1.5");
  EXPECT_EQ(GetUnitSuffix().str(), "cm");
  Use(4, 100, 40);
  EXPECT_EQ(FormatDisplayLength(40000).str(), "30");
  EXPECT_EQ(GetUnitSuffix().str(), "cun");
  Use(9, 100, 40);
  EXPECT_EQ(FormatDisplayLength(400).str(), "");
  EXPECT_EQ(GetUnitSuffix().str(), "");
  Use(3, 100, 0);  // a style without a scale shows nothing rather than "inf"
  EXPECT_EQ(FormatDisplayLength(400).str(), "");
}

TEST(ParseInchFraction, Forms) {
  struct Case { const char* text; double inches; };
  const Case kCases[] = {
      {"7", 7.0},         {"3/8", 0.375},     {"1\"3/8", 1.375},  {"1'3/8", 1.375},
      {"1.3/8", 1.375},   {"1\"5", 1.5},      {"2.25", 2.25},     {"1\"", 1.0},
      {"-1\"1/4", -1.25}, {"-1/4", -0.25},    {"+3", 3.0},        {" 1 \" 1 / 2 ", 1.5},
      {"3/0", 0.0},       {"1\"3/0", 1.0},    {"", 0.0},          {"abc", 0.0},
      {"1x", 0.0},        {"1/", 0.0},        {"/4", 0.0},        {"1\"3/8/2", 0.0},
      {"-", 0.0},         {"\"5", 0.0},       {"1\"2\"", 0.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(ParseInchFraction(c.text), c.inches);
  }
}

TEST(ParseFractionText, NumbersAndFractions) {
  struct Case { const char* text; double value; };
  const Case kCases[] = {
      {"2.5", 2.5}, {"-2.5", -2.5}, {"5/2", 2.5}, {"-5/2", -2.5}, {"5/0", 0.0},
      {"", 0.0},    {"x", 0.0},     {"1/2x", 0.0}, {".", 0.0},    {"+4", 4.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(ParseFractionText(c.text), c.value);
  }
}

TEST(ParseLength, InchesByMode) {
  EXPECT_EQ(ParseLength("1.5", 40, 1), 1524);
  EXPECT_EQ(ParseLength("1\"1/2", 40, 0), 1524);
  EXPECT_EQ(ParseLength("1\"1/2", 40, 3), 1524);  // any mode but 1 reads a fraction
  EXPECT_EQ(ParseLength("1.5", 40, 2), 1524);     // "1.5" is also whole and decimals
}

TEST(Gcd, EuclidWithZeroGivingOne) {
  struct Case { int a, b, gcd; };
  const Case kCases[] = {{25, 100, 25}, {100, 25, 25}, {7, 13, 1}, {0, 5, 1}, {5, 0, 1},
                         {-12, 18, 6},  {INT32_MIN, 2, 2}, {INT32_MIN, -1, 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.a << "," << c.b);
    EXPECT_EQ(Gcd(c.a, c.b), c.gcd);
  }
}
