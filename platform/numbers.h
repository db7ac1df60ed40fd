// Numbers in files are written and read the same way whatever the user's
// locale: a decimal point, never a comma.
#pragma once

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// printf-style formatting in the "C" locale.
std::string FormatNumberText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatNumberTextV(const char* format, va_list args);

// atof: skips leading white space, reads the longest number prefix
// (sign, digits, point, exponent), and gives 0.0 when there is none.
double ParseDouble(std::string_view text);

// The number a whole text holds: blanks around an optionally signed decimal
// number with an optional exponent ("12", "-3.5", ".5", "1e3"), read as
// ParseDouble reads it. None when the text is no such number ("abc", "nan",
// "inf", "1.2.3", "12mm", an empty text).
std::optional<double> ParseWholeNumber(std::string_view text);

// atoi: skips leading white space, reads an optional sign and digits, stops at
// the first other character, gives 0 when there are none; values beyond the
// int32 range are clamped to it.
int ParseInt(std::string_view text);

// `value` kept inside the int32 range: sums and products of values read from
// files stop at the range's ends instead of wrapping.
inline int32_t SaturateToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}
