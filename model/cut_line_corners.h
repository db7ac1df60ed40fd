// The cut line at one corner of the outline: which points it runs through
// for each corner code, and how many table positions a code fills.
//
// A corner code is the low half of the Y word of the parameter node after an
// outline vertex. Codes 0 to 5 step the cut line square at the vertex or
// mirror one edge about the other; 6 is the plain mitre; 7 to 10 mirror or
// square a short step; 11 steps square where the width changes on a straight
// stretch; 12 and 16 to 18 square the corner off; 13, 14, 20 and 21 make a
// step of the further value's length; 15 squares both edges; 19 steps the cut
// line in around the corner. Internal to the cut-line rebuild.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/cut_line_geometry.h"

namespace cut_line {

// What a corner construction needs: the outline corner C with the points
// before and after it, the incoming and outgoing cut lines A and B, the
// widths and the further value of the corner's parameter node.
struct Corner {
  CPoint c;
  CPoint prev;
  CPoint next;
  Line a;
  Line b;
  int32_t incoming = 0;
  int32_t outgoing = 0;
  uint32_t further = 0;
};

// One point of a corner construction; `dropSharp` leaves it out at a corner
// sharper than a right angle.
struct CornerPoint {
  CPoint p;
  bool dropSharp = false;
};

// Number of cut-line positions a corner code fills.
size_t CornerPositions(uint32_t code);

// The points a corner code writes, in order along the cut line; never empty.
// An unknown code gives C alone.
std::vector<CornerPoint> CornerPoints(uint32_t code, const Corner& k);

}  // namespace cut_line
