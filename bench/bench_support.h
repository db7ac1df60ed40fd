// What the AAMA benchmarks share: the program's heap followed through its own
// allocation operators, the process's peak resident size, and a generated
// style written to a private folder.
#pragma once

#include <cstddef>
#include <string>

#include "bench/aama_generator.h"

// Bytes of C++ heap alive now, and the most alive at once since the last
// ResetHeapPeak (counted only in programs that link bench_support.cpp).
long long LiveHeapBytes();
long long PeakHeapBytes();
void ResetHeapPeak();

// The process's peak resident size in MB: the most it held since the last
// ResetPeakRss, or since it started when the system cannot reset the mark.
double PeakRssMb();
// Starts the peak resident size again from what the process holds now, the
// heap freed so far given back to the system first; false when the system
// does not allow it.
bool ResetPeakRss();

// A generated AAMA style of about `dxf_bytes` of DXF text laid out as
// `layout` asks (the size blocks with their rule table, or the named blocks
// of NamedBlocksShape without one), in a folder of its own that goes with
// the object.
class StyleOnDisk {
 public:
  explicit StyleOnDisk(size_t dxf_bytes, AamaBlockLayout layout = AamaBlockLayout::kSizeBlocksWithTexts);
  ~StyleOnDisk();
  StyleOnDisk(const StyleOnDisk&) = delete;
  StyleOnDisk& operator=(const StyleOnDisk&) = delete;

  bool ok() const { return ok_; }
  const std::string& folder() const { return folder_; }
  const std::string& path() const { return path_; }
  // The rule table beside the DXF file; empty when the style has none.
  const std::string& rules_path() const { return rules_path_; }
  // Both files together.
  size_t bytes() const { return bytes_; }
  // The blocks written, one per piece.
  int pieces() const { return pieces_; }

 private:
  std::string folder_;
  std::string path_;
  std::string rules_path_;
  size_t bytes_ = 0;
  int pieces_ = 0;
  bool ok_ = false;
};

// Opens an AAMA file as the open command does, pressing OK in its options
// dialog; true when it was read.
bool OpenAamaWithDefaults(const std::string& path);
