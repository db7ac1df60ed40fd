// What the reader fuzzers share: a private folder for the files each input
// becomes (the readers read from a path), and the first input byte read as
// the user's choices in the options dialogs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The folder this process writes its inputs to: made once under the system's
// temporary folder, removed with its files when the process exits normally.
const std::string& FuzzFolder();

// Writes `bytes` to `name` inside FuzzFolder() and returns its path; aborts
// when the file cannot be written, since every later result would be noise.
std::string WriteFuzzFile(const std::string& name, std::string_view bytes);

// Removes `name` from FuzzFolder() when it is there.
void RemoveFuzzFile(const std::string& name);

// Splits an input into its first byte (the options; 0 for an empty input)
// and the rest.
struct FuzzInput {
  uint8_t options = 0;
  std::string_view rest;
};
FuzzInput SplitOptions(const uint8_t* data, size_t size);
