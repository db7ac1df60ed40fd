// The flat vertex record of the graded lines and curves of a design: the
// buffer a design element exports its piece item into is a list of these, in
// vertex order.
#pragma once

#include <cstdint>

struct CVertex {
  int32_t x = 0;
  int32_t y = 0;
  uint32_t flag = 0;
};
