// One needs-recalculation flag per size, as graded objects and design
// elements keep them: 1 means the size must be computed again. A size index
// of -1 stands for every size; an index outside the table changes nothing
// and reads as clean.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CSizeFlags {
 public:
  // `count` sizes, every one dirty.
  explicit CSizeFlags(int32_t count = 0) { flags_.assign(static_cast<size_t>(count > 0 ? count : 0), 1); }

  int32_t Count() const { return static_cast<int32_t>(flags_.size()); }
  // One size's flag; with -1, whether any size is dirty.
  bool IsDirty(int32_t size) const {
    if (size == -1) {
      for (int32_t flag : flags_) {
        if (flag) return true;
      }
      return false;
    }
    return InRange(size) && flags_[static_cast<size_t>(size)] != 0;
  }
  bool IsAllDirty() const {
    for (int32_t flag : flags_) {
      if (!flag) return false;
    }
    return true;
  }
  void Mark(int32_t size) {
    if (size == -1) {
      for (int32_t& flag : flags_) flag = 1;
    } else if (InRange(size)) {
      flags_[static_cast<size_t>(size)] = 1;
    }
  }
  void Clear(int32_t size) {
    if (InRange(size)) flags_[static_cast<size_t>(size)] = 0;
  }
  // A size inserted at `index` (0 to Count()) starts dirty.
  void Insert(int32_t index) {
    if (index >= 0 && index <= Count()) flags_.insert(flags_.begin() + index, 1);
  }
  void Remove(int32_t index) {
    if (InRange(index)) flags_.erase(flags_.begin() + index);
  }

 private:
  bool InRange(int32_t size) const { return size >= 0 && size < Count(); }

  std::vector<int32_t> flags_;
};
