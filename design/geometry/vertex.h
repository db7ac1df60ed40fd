// The flat vertex record of the graded lines and curves of a design: the
// buffer a design element exports its piece item into is a list of these, in
// vertex order, and curve thinning reads and writes them.
#pragma once

#include <cstdint>
#include <list>

struct CVertex {
  int32_t x = 0;
  int32_t y = 0;
  uint32_t flag = 0;
};

using VertexList = std::list<CVertex>;
