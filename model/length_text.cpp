#include "model/length_text.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "model/geometry.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/numbers.h"

namespace {

constexpr double kMillimetresPerInch = 25.4;

// The printf format of a decimal precision, or null for an unknown one.
const char* DecimalFormat(int precision) {
  switch (precision) {
    case 1: return "%-.0f";
    case 10: return "%-.1f";
    case 100: return "%-.2f";
    case 1000: return "%-.3f";
    case 10000: return "%-.4f";
    default: return nullptr;
  }
}

// A value in its unit with the precision's decimals, trailing zeros and a
// trailing point removed.
CString FormatDecimal(double value, int precision) {
  const char* format = DecimalFormat(precision);
  if (format == nullptr || !std::isfinite(value)) return CString();
  std::string text = FormatNumberText(format, value);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return CString(std::move(text));
}

// Inches as a whole number and a reduced fraction of `denominator`, e.g.
// 1"1/4. `negative` is the sign of the length, which a bare fraction carries.
CString FormatFraction(double inches, int denominator, bool negative) {
  if (denominator < 1 || !std::isfinite(inches)) return CString();
  double whole = inches >= 0 ? std::floor(inches) : std::ceil(inches);
  const double rest = std::fabs(inches - whole);
  const double numerator = std::floor(denominator * rest + 0.5);
  int num = 0;
  int den = 1;
  if (numerator >= denominator) {
    // Rounds up to the next whole inch, away from zero.
    whole += inches < 0 ? -1 : 1;
  } else {
    num = static_cast<int>(numerator);
    const int divisor = Gcd(num, denominator);
    den = denominator / divisor;
    num /= divisor;
  }
  const int w = RoundToNearest(whole);  // already whole; clamps when huge
  if (w == 0 && num == 0) return CString("0");
  std::string text;
  if (w == 0) {
    if (negative) text = "-";
  } else {
    text = FormatNumberText("%i", w);
    if (num != 0) text += '"';
  }
  if (num != 0) text += FormatNumberText("%d/%d", num, den);
  return CString(std::move(text));
}

int Scale() { return g_Style.GetScale(); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsInchSeparator(char c) { return c == '"' || c == '\'' || c == '.'; }

// Reads a run of digits at `pos` as a number; false when there is none.
bool ReadDigits(const std::string& s, size_t& pos, double* value) {
  const size_t start = pos;
  double v = 0;
  while (pos < s.size() && IsDigit(s[pos])) v = v * 10 + (s[pos++] - '0');
  *value = v;
  return pos > start;
}

// Reads "digits/digits" at `pos` to the end of the text; false otherwise.
bool ReadFractionToEnd(const std::string& s, size_t pos, double* quotient) {
  double numerator = 0;
  double denominator = 0;
  if (!ReadDigits(s, pos, &numerator)) return false;
  if (pos >= s.size() || s[pos] != '/') return false;
  ++pos;
  if (!ReadDigits(s, pos, &denominator) || pos != s.size()) return false;
  *quotient = denominator == 0 ? 0 : numerator / denominator;
  return true;
}

}  // namespace

int Gcd(int a, int b) {
  if (a == 0 || b == 0) return 1;
  int64_t x = a < 0 ? -static_cast<int64_t>(a) : a;
  int64_t y = b < 0 ? -static_cast<int64_t>(b) : b;
  while (y != 0) {
    const int64_t r = x % y;
    x = y;
    y = r;
  }
  return x > INT32_MAX ? INT32_MAX : static_cast<int>(x);
}

CString GetUnitSuffixText(int mode) {
  switch (mode) {
    case 0:
    case 1: return "in.";
    case 2: return "cm";
    case 3: return "mm";
    case 4: return "cun";
    default: return CString();
  }
}

CString GetUnitSuffix() { return GetUnitSuffixText(g_UnitMode); }

CString FormatInchText(int value, int divisor, int precision, int mode) {
  if (divisor == 0) return CString();
  const double inches = static_cast<double>(value) / divisor / kMillimetresPerInch;
  if (mode == 0) return FormatFraction(inches, precision, value < 0);
  return FormatDecimal(inches, precision);
}

CString FormatCmText(int value, int divisor, int precision) {
  if (divisor == 0) return CString();
  return FormatDecimal(static_cast<double>(value) / divisor / 10.0, precision);
}

CString FormatMmText(int value, int divisor, int precision) {
  if (divisor == 0) return CString();
  return FormatDecimal(static_cast<double>(value) / divisor, precision);
}

CString FormatCunText(int value, int divisor, int precision) {
  if (divisor == 0) return CString();
  return FormatDecimal(static_cast<double>(value) / divisor / 1000.0 * 30.0, precision);
}

CString FormatLength(int value, int divisor, int mode, int precision) {
  switch (mode) {
    case 0:
    case 1: return FormatInchText(value, divisor, precision, mode);
    case 2: return FormatCmText(value, divisor, precision);
    case 3: return FormatMmText(value, divisor, precision);
    case 4: return FormatCunText(value, divisor, precision);
    default: return CString();
  }
}

CString FormatInchLength(int length) {
  const int mode = g_UnitMode == 0 ? 0 : 1;
  return FormatInchText(length, Scale(), g_UnitPrecision, mode);
}

CString FormatCmLength(int length) { return FormatCmText(length, Scale(), g_UnitPrecision); }

CString FormatMmLength(int length) { return FormatMmText(length, Scale(), g_UnitPrecision); }

CString FormatCunLength(int length) {
  // The rulers compute cun as tenths of a metre times three; the same length
  // as FormatCunText, reached through other roundings.
  const int scale = Scale();
  if (scale == 0) return CString();
  return FormatDecimal(static_cast<double>(length) / scale / 100.0 * 3.0, g_UnitPrecision);
}

CString FormatDisplayLength(int length) {
  switch (g_UnitMode) {
    case 0:
    case 1: return FormatInchLength(length);
    case 2: return FormatCmLength(length);
    case 3: return FormatMmLength(length);
    case 4: return FormatCunLength(length);
    default: return CString();
  }
}

double ParseInchFraction(const CString& text) {
  std::string s;
  for (char c : text.view()) {
    if (!IsBlank(c)) s += c;
  }
  if (s.empty()) return 0;
  size_t pos = 0;
  bool negative = false;
  if (s[0] == '-' || s[0] == '+') {
    negative = s[0] == '-';
    ++pos;
  }
  const double sign = negative ? -1.0 : 1.0;
  double quotient = 0;
  if (ReadFractionToEnd(s, pos, &quotient)) return sign * quotient;

  double whole = 0;
  if (!ReadDigits(s, pos, &whole)) return 0;
  if (pos == s.size()) return sign * whole;
  if (!IsInchSeparator(s[pos])) return 0;
  ++pos;
  if (pos == s.size()) return sign * whole;
  if (ReadFractionToEnd(s, pos, &quotient)) return sign * (whole + quotient);
  // Digits after the separator are decimals of the whole inch.
  double decimals = 0;
  double place = 0.1;
  while (pos < s.size() && IsDigit(s[pos])) {
    decimals += (s[pos++] - '0') * place;
    place /= 10;
  }
  if (pos != s.size()) return 0;
  return sign * (whole + decimals);
}

double ParseFractionText(const CString& text) {
  const std::string s(text.view());
  size_t pos = 0;
  double sign = 1.0;
  if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) sign = s[pos++] == '-' ? -1.0 : 1.0;
  double quotient = 0;
  if (ReadFractionToEnd(s, pos, &quotient)) return sign * quotient;
  bool any_digit = false;
  for (size_t i = pos; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      any_digit = true;
    } else if (s[i] != '.') {
      return 0;
    }
  }
  if (!any_digit) return 0;
  return sign * ParseDouble(std::string_view(s).substr(pos));
}

int ParseLength(const CString& text, int divisor, int mode) {
  const double inches = mode == 1 ? ParseDouble(text.view()) : ParseInchFraction(text);
  return RoundToNearest(inches * 2.54 * 10.0 * divisor);
}

int ParseDisplayLength(const CString& text, int divisor, int mode) {
  switch (mode) {
    case 0:
    case 1: return ParseLength(text, divisor, mode);
    case 2: return RoundToNearest(ParseDouble(text.view()) * 10.0 * divisor);
    case 3: return RoundToNearest(ParseDouble(text.view()) * divisor);
    case 4: return RoundToNearest(ParseDouble(text.view()) / 30.0 * 1000.0 * divisor);
    default: return 0;
  }
}
