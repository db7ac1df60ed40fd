// Segment intersection with result codes, and the point-in-polygon test built
// on it. The pattern model uses them on piece outlines (loops, corners, hit
// tests); the design model tests points against point lists with the polygon
// test. Coordinates are int32 model units; computed points are rounded half
// away from zero. Output arguments are pointers that must not be null.
#pragma once

#include "design/geometry/primitives.h"
#include "platform/geometry_types.h"

// Where the segments P1P2 and P3P4 meet:
//   0  no common point: parallel lines apart or collinear segments without
//      overlap (P1 written), or a one-point segment off the other's line
//      (nothing written);
//   1  they meet at (ix, iy): a crossing (1 unit of slack at the ends), a
//      shared end (tested P1 = P3, P1 = P4, P2 = P3, P2 = P4), a one-point
//      segment on the other segment, or two equal one-point segments;
//   2  their lines meet at (ix, iy) more than 1 unit outside one of the
//      segments; for a one-point segment: it lies on the other's line, off
//      the segment;
//   3  collinear and overlapping; (ix, iy) is the first of P1, P2, P3, P4 that
//      lies within the other segment's x range (y range when all four x are
//      equal);
//   4  the same segment, in either direction; P1 is written.
// A one-point segment counts as on the other when the directions P3 -> P1 and
// P1 -> P4 agree within 0.005 radians (opposite: off the segment), or when it
// is one of the other's ends.
int IntersectSegments(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int* ix,
                      int* iy);

// Where the segments a = P1P2 and b = P3P4 meet, by the codes the design
// model's construction uses:
//   0  no common point (parallel apart, collinear apart, a one-point segment
//      1.5 units or more off the other's line);
//   1  they cross within 1 unit of slack at the ends, or two equal one-point
//      segments; point written;
//   2  their lines meet outside a segment (more than 1 unit); point written;
//   3  collinear and overlapping over a stretch; nothing written;
//   4  collinear and touching end to end; the shared end written;
//   5  the same segment (P1 written), or collinear from a common end: the
//      far end of the shorter one written.
int SegmentIntersection(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int* ix,
                        int* iy);
int SegmentIntersectionPt(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                          CPoint* out);

// Whether (x, y) lies inside the closed polygon of `count` points (the
// closing edge implied), or on its boundary: 1 or 0. A ray is cast toward +x
// and its crossings with the edges counted; an outline that passes through
// the ray at a vertex, or along an edge lying on the ray, counts once, one
// that touches the ray and turns back not at all; crossings within 2 units of
// the one counted before are counted once. A crossing within 2 units of the
// point, or an edge on the ray that holds the point, means on the boundary.
// 0 for no points or a point outside the points' bounding box.
int IsPointInPolygon(int x, int y, const CPoint* points, int count);
