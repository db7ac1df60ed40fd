// Why the load of a design stopped. Records of the archive layout carry no
// length, so a reader that meets something it cannot read stops the whole
// load; the failure says where and what, and whether the file is damaged or
// only holds a kind of record that this program does not read yet.
#pragma once

#include <cstddef>
#include <string>

enum class DesignLoadFault {
  kNone,
  // Cut short, a count beyond the bytes left or the design's bounds, or a
  // value that no sound file holds.
  kMalformed,
  // A code (object kind, point kind, curve kind, element type and subtype,
  // item code) that the layout does not define.
  kUnknownCode,
  // A code that the layout defines, of a class this program does not read
  // yet.
  kCodeNotBuilt,
};

struct DesignLoadFailure {
  DesignLoadFault fault = DesignLoadFault::kNone;
  size_t offset = 0;   // the byte of the file where reading stopped
  std::string reason;  // the record and what was wrong with it
};
