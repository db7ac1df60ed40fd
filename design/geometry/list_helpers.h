// Helpers over lists of points and rectangles that the library offers to its
// callers beside the curve and polyline operations. Point lists are
// std::list<CPoint>, as everywhere in the geometry library.
#pragma once

#include <list>

#include "platform/geometry_types.h"

// Replaces `out` with every point of `in` moved by the similarity about p0
// that takes p1 to p2: turned by the direction p0->p2 less the direction
// p0->p1 (LineAngle) and scaled by |p2 - p0| / |p1 - p0|, each coordinate
// rounded. With p1 on p0 no similarity is defined and the points are copied
// unchanged. `in` and `out` may be the same list.
void MapPointListByPivot(int x0, int y0, int x1, int y1, int x2, int y2, const std::list<CPoint>& in,
                         std::list<CPoint>& out);

// Moves every rectangle of `in` to the end of `out`, in bands: each step takes
// the rectangle with the least right edge, where right edges less than
// `tolerance` apart count as equal and the bottom edges then decide the same
// way; of rectangles equal on both the earliest goes first. `in` is left
// empty.
void SortRectsByBand(std::list<CRect>& in, int tolerance, std::list<CRect>& out);

// The constant 2.0 that callers of the library have always asked for by name.
double ConstantTwo();
