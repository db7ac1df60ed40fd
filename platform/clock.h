// Time: the current time, the dates and times written into files (always in
// UTC, with English month and day names whatever the user's locale), and the
// local calendar time that zip archives store their entries' times in.
#pragma once

#include <ctime>

#include "platform/text.h"

// The current time. Tests may fix it (SetFixedCurrentTime) so that files that
// carry their creation time come out the same on every run.
time_t CurrentTime();
void SetFixedCurrentTime(time_t fixed);
void ClearFixedCurrentTime();

// `when` broken down in UTC and formatted with strftime conversions in the
// "C" locale: FormatUtcTime(t, "%m-%d-%Y") gives "03-07-2024". An empty text
// when `when` cannot be broken down.
CString FormatUtcTime(time_t when, const char* format);

// The time of a local calendar date and time, leaving it to the system to
// know whether daylight saving applied (as zip archives need: their times are
// local and carry no zone). Fields out of range are carried over (a 13th month
// is January of the next year). False when the result cannot be represented;
// the one second before 1970 in UTC is refused too, which no archive holds.
bool MakeLocalTime(int year, int month, int day, int hour, int minute, int second, time_t& when);
