// Piece grading: filling in the per-size positions of the curve vertices of a
// curve item from the graded positions of its key vertices.
//
// A curve item stores one position per size for every main vertex (the main
// node for size 0, then its per-size copies). The AAMA reader and the Gerber
// import know only the graded key vertices (kinds 0 and 3), and the piece
// operations that move key vertices leave the curve vertices (kinds 1, 2 and
// the intermediate kind 100) behind. Grading carries the first size's shape
// of every run (a stretch from one key vertex over curve vertices to the
// next) over to each other size so that it runs from that size's start key
// vertex to its end key vertex. Size 0 is the reference and never changes.
//
// Bits 8 and 9 of a key vertex's flags (mask 0x300) choose the method: a run
// whose two key vertices have neither bit is turned and scaled about its
// fixed end; otherwise the offset is blended along the chord axis by axis,
// with the run first turned into the chord's frame unless the chord is
// within 0.01 radian of an axis or a key vertex's mode 0x100 asks to keep the
// frame.
//
// Kinds 101, 102, 103 and 128 are never moved. Intermediate positions are
// truncated toward zero, not rounded (GradingTest.IntermediateVerticesAreTruncated).
#pragma once

#include <cstdint>

#include "model/geometry.h"  // TruncateTowardZero, which graders and lookups use
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CPieceItem;
struct CVertexNode;

// Grades every run of a curve item of type 0, 8, 9, 14 or 15 in place; any
// other item is left as it is. A ring with no run: when the first main vertex
// after the head is a key vertex nothing changes, otherwise every main vertex
// (and kind 100) gets its size-0 position in every size.
void GradePiece(CPieceItem* item);

// The next run at or after `from` in its ring: TRUE with the run's start key
// vertex (the last key vertex before the run's first curve vertex) and end
// key vertex (the first after it, or the start itself when the run goes
// round the ring: a closed run). FALSE, outputs untouched, when the ring has
// no key vertex, or key vertices but no curve vertex.
BOOL FindCurveRun(CVertexNode* from, CVertexNode** start, CVertexNode** end);

// Grade the per-size rings of one run (model/graded_expansion.h,
// ExpandRunPerSize: head = start key vertex, tail = end key vertex), sizes 1
// and up, from the offsets of the start key vertex (offsets[0] its size-0
// position, offsets[i] its size-i position minus offsets[0]), or, for
// GradeRunByEndOffset, of the end key vertex. Both key vertices keep their
// own positions; a closed run is moved whole by the offset.
void GradeRunByStartOffset(CVertexNode* const* sizeRings, const CPoint* offsets);
void GradeRunByEndOffset(CVertexNode* const* sizeRings, const CPoint* offsets);

// Grades the one run from the item's head to the second main vertex after it
// by the head's offsets (GradeRunByStartOffset), whatever the kinds there.
void GradeFirstCurveRun(CPieceItem* item);

