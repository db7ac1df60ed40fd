#include "formats/fixed_decimal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/numbers.h"

namespace {

std::string Fixed(double value, int decimals) {
  char text[kFixedDecimalBufferSize];
  return std::string(text, FormatFixedDecimal(value, decimals, text));
}

// The bytes the writers have always printed these numbers with.
std::string Printed(double value, int decimals) { return FormatNumberText("%.*f", decimals, value); }

// The rounding and sign cases a hand-made formatter gets wrong first: exact
// halves go to the even digit, a negative value that rounds to zero keeps
// its sign, the float promoted to double is printed with its binary error.
TEST(FixedDecimalTest, PinnedTexts) {
  struct Case {
    double value;
    int decimals;
    std::string text;
  };
  const Case kCases[] = {
      {0.0, 4, "0.0000"},
      {-0.0, 4, "-0.0000"},
      {-0.00001, 4, "-0.0000"},
      {0.00005, 4, "0.0001"},  // a little above the half in binary
      {0.125, 2, "0.12"},
      {0.375, 2, "0.38"},
      {2.5, 0, "2"},
      {3.5, 0, "4"},
      {0.025, 2, "0.03"},
      {-1.005, 2, "-1.00"},  // a little below the half in binary
      {static_cast<double>(0.1f), 4, "0.1000"},
      {static_cast<double>(1234.5678f), 4, "1234.5677"},
      {static_cast<double>(-3.0f), 4, "-3.0000"},
      {1e15, 4, "1000000000000000.0000"},
      {1e300, 2, Printed(1e300, 2)},
      {-1e20, 4, "-100000000000000000000.0000"},
      {std::numeric_limits<double>::denorm_min(), 4, "0.0000"},
      {-std::numeric_limits<double>::denorm_min(), 2, "-0.00"},
      {std::numeric_limits<double>::max(), 4, Printed(std::numeric_limits<double>::max(), 4)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.value << " with " << c.decimals);
    EXPECT_EQ(Fixed(c.value, c.decimals), c.text);
  }
}

// Every value the writers print, as printf prints it: floats of every
// exponent (the DXF coordinates), quotients of model lengths by a scale (the
// rule table's deltas), from a fixed sequence of bit patterns.
TEST(FixedDecimalTest, SameTextAsPrintf) {
  uint64_t state = 0x9E3779B97F4A7C15u;
  auto next = [&state]() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  for (int i = 0; i < 100000; ++i) {
    const uint64_t bits = next();
    const float f = std::bit_cast<float>(static_cast<uint32_t>(bits));
    const double d = std::bit_cast<double>(bits);
    const double delta = static_cast<double>(static_cast<int32_t>(bits >> 32)) / static_cast<double>(1 + bits % 1000);
    const double small = static_cast<double>(static_cast<int32_t>(bits % 2000001) - 1000000) / 40.0 / 25.4;
    for (const double value : {static_cast<double>(f), d, delta, small}) {
      if (!std::isfinite(value)) continue;
      for (const int decimals : {2, 4}) {
        ASSERT_EQ(Fixed(value, decimals), Printed(value, decimals)) << std::hexfloat << value << " " << decimals;
      }
    }
  }
}

}  // namespace
