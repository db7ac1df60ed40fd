#include "platform/numbers.h"

#include <locale.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The "C" locale, made once and never freed: formatting switches to it for the
// calling thread only, so a decimal-comma locale elsewhere never leaks in.
locale_t CLocale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

class ScopedCLocale {
 public:
  ScopedCLocale() : previous_(uselocale(CLocale())) {}
  ~ScopedCLocale() { uselocale(previous_); }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  locale_t previous_;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::string FormatNumberText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = FormatNumberTextV(format, args);
  va_end(args);
  return out;
}

std::string FormatNumberTextV(const char* format, va_list args) {
  ScopedCLocale c_locale;
  va_list probe;
  va_copy(probe, args);
  char small[256];
  const int needed = std::vsnprintf(small, sizeof small, format, probe);
  va_end(probe);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof small) return std::string(small, static_cast<size_t>(needed));
  std::vector<char> big(static_cast<size_t>(needed) + 1);
  std::vsnprintf(big.data(), big.size(), format, args);
  return std::string(big.data(), static_cast<size_t>(needed));
}

double ParseDouble(std::string_view text) {
  // strtod_l needs a terminated buffer: copy the characters a number can use
  // after the leading white space, all of them, since leading zeros can make
  // a short number long.
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  size_t end = i;
  while (end < text.size()) {
    const char c = text[end];
    if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E') {
      ++end;
    } else {
      break;
    }
  }
  const std::string number(text.substr(i, end - i));
  return strtod_l(number.c_str(), nullptr, CLocale());
}

std::optional<double> ParseWholeNumber(std::string_view text) {
  size_t i = 0;
  auto blank = [&](size_t at) { return text[at] == ' ' || text[at] == '\t'; };
  auto digits = [&]() {
    const size_t from = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - from;
  };
  while (i < text.size() && blank(i)) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return std::nullopt;
  }
  while (i < text.size() && blank(i)) ++i;
  if (i != text.size()) return std::nullopt;
  return ParseDouble(text);
}

int ParseInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}
