// The checked-in input and golden files of the tests (tests/formats/data),
// found through ZV_TEST_DATA_DIR rather than the working folder.
#pragma once

#include <string>

inline std::string TestDataPath(const std::string& name) { return std::string(ZV_TEST_DATA_DIR) + "/" + name; }
