// Dates and times written into files are UTC with English names, whatever the
// user's time zone; zip entry times are local calendar times.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>

#include "platform/clock.h"

namespace {

// Sets the time zone for the life of the object. POSIX zone strings need no
// zone database on the machine.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = ::getenv("TZ")) {
      old_ = old;
      had_ = true;
    }
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (had_) {
      ::setenv("TZ", old_.c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

 private:
  std::string old_;
  bool had_ = false;
};

constexpr time_t kFeb3rd2001 = 981173106;  // 2001-02-03 04:05:06 UTC, a Saturday

struct FormatCase {
  time_t when;
  const char* format;
  const char* text;
};

TEST(Clock, FormatUtcTimeIgnoresZoneAndLocale) {
  const FormatCase kCases[] = {
      {0, "%Y-%m-%d %H:%M:%S", "1970-01-01 00:00:00"},
      {kFeb3rd2001, "%m-%d-%Y", "02-03-2001"},
      {kFeb3rd2001, "%H:%M:%S", "04:05:06"},
      {kFeb3rd2001, "%a %A %b %B", "Sat Saturday Feb February"},
      {kFeb3rd2001, "%p", "AM"},
      {kFeb3rd2001 + 12 * 3600, "%I %p", "04 PM"},
  };
  // Eight hours east of UTC: the local date would already be the 3rd at noon.
  ScopedTimeZone zone("CST-8");
  for (const FormatCase& c : kCases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(FormatUtcTime(c.when, c.format), c.text);
  }
}

TEST(Clock, FormatUtcTimeEdgeCases) {
  EXPECT_TRUE(FormatUtcTime(kFeb3rd2001, "").IsEmpty());
  EXPECT_TRUE(FormatUtcTime(kFeb3rd2001, nullptr).IsEmpty());
  // A long expansion is not cut at a fixed buffer.
  std::string format;
  for (int i = 0; i < 40; ++i) format += "%Y-%m-%d ";
  EXPECT_EQ(FormatUtcTime(kFeb3rd2001, format.c_str()).GetLength(), 40 * 11);
}

TEST(Clock, CurrentTimeCanBeFixedForRepeatableFiles) {
  const time_t before = time(nullptr);
  const time_t now = CurrentTime();
  EXPECT_GE(now, before);
  EXPECT_LE(now, time(nullptr));
  SetFixedCurrentTime(kFeb3rd2001);
  EXPECT_EQ(CurrentTime(), kFeb3rd2001);
  ClearFixedCurrentTime();
  EXPECT_GE(CurrentTime(), before);
}

TEST(Clock, MakeLocalTimeUsesTheLocalZone) {
  time_t when = 0;
  {
    ScopedTimeZone zone("UTC0");
    ASSERT_TRUE(MakeLocalTime(2001, 2, 3, 4, 5, 6, when));
    EXPECT_EQ(when, kFeb3rd2001);
    // Out-of-range fields carry over: month 13 is January of the next year.
    ASSERT_TRUE(MakeLocalTime(2000, 14, 3, 4, 5, 6, when));
    EXPECT_EQ(when, kFeb3rd2001);
    EXPECT_FALSE(MakeLocalTime(2000000000, 1, 1, 0, 0, 0, when));
    EXPECT_FALSE(MakeLocalTime(2001, -2000000000, 1, 0, 0, 0, when));
  }
  {
    ScopedTimeZone zone("CST-8");
    ASSERT_TRUE(MakeLocalTime(2001, 2, 3, 12, 5, 6, when));
    EXPECT_EQ(when, kFeb3rd2001);
  }
}

}  // namespace
