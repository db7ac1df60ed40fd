#include "platform/clock.h"

#include <locale.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

std::atomic<bool> g_time_fixed{false};
std::atomic<time_t> g_fixed_time{0};

locale_t CLocale() {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

}  // namespace

time_t CurrentTime() { return g_time_fixed.load() ? g_fixed_time.load() : std::time(nullptr); }

void SetFixedCurrentTime(time_t fixed) {
  g_fixed_time.store(fixed);
  g_time_fixed.store(true);
}

void ClearFixedCurrentTime() { g_time_fixed.store(false); }

CString FormatUtcTime(time_t when, const char* format) {
  struct tm parts;
  if (format == nullptr || format[0] == '\0' || gmtime_r(&when, &parts) == nullptr) return CString();
  // strftime gives 0 both for "no room" and for an empty result; grow the
  // buffer a few times and give up on formats that expand without end.
  for (size_t size = 64; size <= 64 * 1024; size *= 4) {
    std::vector<char> buffer(size);
    const size_t n = strftime_l(buffer.data(), buffer.size(), format, &parts, CLocale());
    if (n > 0) return CString(std::string(buffer.data(), n));
  }
  return CString();
}

bool MakeLocalTime(int year, int month, int day, int hour, int minute, int second, time_t& when) {
  // Wild fields (a damaged archive) are refused before any arithmetic on them.
  constexpr int kLimit = 1000000;
  for (const int field : {year, month, day, hour, minute, second}) {
    if (field < -kLimit || field > kLimit) return false;
  }
  struct tm parts = {};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  parts.tm_isdst = -1;
  const time_t result = std::mktime(&parts);
  if (result == static_cast<time_t>(-1)) return false;
  when = result;
  return true;
}
