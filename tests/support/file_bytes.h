// Whole files as bytes: what a test wrote before the code under test reads
// it, and what the code wrote, to compare byte for byte.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Every byte of the file at `path`, as a std::string by default or as another
// container of bytes (std::vector<char>, std::vector<uint8_t>); empty when the
// file is missing or cannot be read.
template <typename Bytes = std::string>
Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes `bytes` as the whole of the file at `path`, replacing what was there.
inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
template <typename Byte>
void WriteFile(const std::string& path, const std::vector<Byte>& bytes) {
  static_assert(sizeof(Byte) == 1, "bytes only");
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
