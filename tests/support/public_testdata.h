// The outside DXF files written by other programs live beside the project,
// not in it. A checkout without them skips the tests that read them, and says
// so, rather than failing on a missing file.
#pragma once

#include <filesystem>
#include <string>

inline std::string PublicTestDataDir() { return ZV_PUBLIC_TESTDATA_DIR; }

inline bool HasPublicTestData() { return std::filesystem::is_directory(PublicTestDataDir()); }

#define ZV_SKIP_WITHOUT_PUBLIC_TESTDATA()                                               \
  do {                                                                                  \
    if (!HasPublicTestData()) GTEST_SKIP() << "no outside test files at " << PublicTestDataDir(); \
  } while (0)
