// What the archives of tests/imports/data hold, as make_fixtures.py wrote
// them: the path of an archive, the text of its stored and of its deflated
// entry, and the modification time every entry carries.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>

inline std::string Fixture(const std::string& name) { return std::string(ZV_IMPORTS_DATA_DIR) + "/" + name; }

inline std::string StoredText() {
  std::string text;
  for (int i = 0; i < 3; ++i) text += "Gerber piece export, stored.\r\n";
  return text;
}

inline std::string DeflatedText() {
  std::string text;
  char line[64];
  for (int i = 0; i < 1500; ++i) {
    std::snprintf(line, sizeof line, "PIECE %05d 12.50 -3.25\r\n", i);
    text += line;
  }
  return text;
}

// 2021-03-04 05:06:08 local time.
inline time_t FixtureTime() {
  std::tm tm{};
  tm.tm_year = 2021 - 1900;
  tm.tm_mon = 2;
  tm.tm_mday = 4;
  tm.tm_hour = 5;
  tm.tm_min = 6;
  tm.tm_sec = 8;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}
