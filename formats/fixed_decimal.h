// Fixed-point number text for the writers' hot loops: the text printf's
// "%.<decimals>f" gives in the "C" locale, written into a caller's buffer
// without a locale switch, a format parse or a heap allocation.
//
// The digits are those of the exact binary value rounded to the nearest
// multiple of 10^-decimals, a value exactly halfway going to the even last
// digit, as the C library rounds; a negative value that rounds to zero keeps
// its sign ("-0.0000"), as does -0.0. Values whose exact expansion would not
// fit the fast path (very large magnitudes) go through the C library itself,
// so every finite value gets printf's text.
#pragma once

#include <cstddef>

// Room for any result of FormatFixedDecimal: a finite double with up to four
// decimals is at most 309 integer digits, a sign, a point and the decimals.
constexpr size_t kFixedDecimalBufferSize = 320;

// Writes "%.<decimals>f" of the finite `value` into `out` (not terminated)
// and returns its length. `decimals` is 0 to 4; `out` holds at least
// kFixedDecimalBufferSize bytes.
size_t FormatFixedDecimal(double value, int decimals, char* out);
