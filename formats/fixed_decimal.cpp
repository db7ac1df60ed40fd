#include "formats/fixed_decimal.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/numbers.h"

namespace {

constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000};

// The C library's text, for the values the fast path leaves out.
size_t FormatSlowly(double value, int decimals, char* out) {
  const std::string text = FormatNumberText("%.*f", decimals, value);
  const size_t n = text.size() < kFixedDecimalBufferSize ? text.size() : kFixedDecimalBufferSize;
  std::memcpy(out, text.data(), n);
  return n;
}

}  // namespace

size_t FormatFixedDecimal(double value, int decimals, char* out) {
  if (decimals < 0 || decimals > 4) return FormatSlowly(value, decimals, out);
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0x7FF) return FormatSlowly(value, decimals, out);
  int exponent = 0;  // value = mantissa * 2^exponent
  if (biased == 0) {
    exponent = -1074;
  } else {
    mantissa |= uint64_t{1} << 52;
    exponent = biased - 1075;
  }
  // Values of 2^64 units and more never occur in a pattern file; the library
  // prints them.
  if (exponent > 60) return FormatSlowly(value, decimals, out);

  // The value times 10^decimals, exactly (below 2^67), then rounded to an
  // integer half to even.
  const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kPowersOfTen[decimals];
  uint64_t units = 0;
  if (exponent >= 0) {
    const unsigned __int128 whole = scaled << exponent;
    if (whole >> 64 != 0) return FormatSlowly(value, decimals, out);
    units = static_cast<uint64_t>(whole);
  } else if (-exponent >= 127) {
    units = 0;  // below 2^-60: far less than half a unit
  } else {
    const int shift = -exponent;
    const unsigned __int128 quotient = scaled >> shift;
    const unsigned __int128 rest = scaled - (quotient << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    unsigned __int128 rounded = quotient;
    if (rest > half || (rest == half && (quotient & 1) != 0)) ++rounded;
    if (rounded >> 64 != 0) return FormatSlowly(value, decimals, out);
    units = static_cast<uint64_t>(rounded);
  }

  // Digits from the last: the decimals, the point, then the integer part.
  char digits[32];
  size_t n = 0;
  for (int i = 0; i < decimals; ++i) {
    digits[n++] = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  if (decimals > 0) digits[n++] = '.';
  do {
    digits[n++] = static_cast<char>('0' + units % 10);
    units /= 10;
  } while (units != 0);
  size_t length = 0;
  if (negative) out[length++] = '-';
  while (n > 0) out[length++] = digits[--n];
  return length;
}
