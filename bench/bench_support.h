// What the AAMA benchmarks share: the program's heap followed through its own
// allocation operators, the process's peak resident size, and a generated
// style written to a private folder.
#pragma once

#include <cstddef>
#include <string>

// Bytes of C++ heap alive now, and the most alive at once since the last
// ResetHeapPeak (counted only in programs that link bench_support.cpp).
long long LiveHeapBytes();
long long PeakHeapBytes();
void ResetHeapPeak();

// The process's peak resident size so far, in MB.
double PeakRssMb();

// A generated graded AAMA style of about `dxf_bytes` of DXF text, with its
// rule table, in a folder of its own that goes with the object.
class StyleOnDisk {
 public:
  explicit StyleOnDisk(size_t dxf_bytes);
  ~StyleOnDisk();
  StyleOnDisk(const StyleOnDisk&) = delete;
  StyleOnDisk& operator=(const StyleOnDisk&) = delete;

  bool ok() const { return ok_; }
  const std::string& folder() const { return folder_; }
  const std::string& path() const { return path_; }
  // Both files together.
  size_t bytes() const { return bytes_; }

 private:
  std::string folder_;
  std::string path_;
  size_t bytes_ = 0;
  bool ok_ = false;
};

// Opens an AAMA file as the open command does, pressing OK in its options
// dialog; true when it was read.
bool OpenAamaWithDefaults(const std::string& path);
