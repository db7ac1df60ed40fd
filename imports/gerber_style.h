// Turning a Gerber model (imports/gerber_model.h) into the converter's own
// style: the size table, and one piece record per Gerber piece with its
// outline, notches, marks and lines graded for every size, added to g_Style
// and to the list pane.
//
// Gerber points are in file units of 1/250 inch; a model position is the file
// value divided by 250 / 25.4 and truncated toward zero. A graded point of a
// piece takes, for a size of the piece, the offset its grade rule gives that
// size from the base size.
//
// Sizes: the piece with the most sizes (the first of equal ones) gives the
// style its size table. Pieces with fewer sizes are aligned on their base
// size: their vertices carry copies of the base position for the sizes they
// lack, so that every main vertex has exactly one copy for each style size
// but the first (the base size, at the head of the size ring).
#pragma once

#include <cstdint>

#include "imports/gerber_model.h"
#include "platform/geometry_types.h"

// Gerber file units per model unit (250 / 25.4).
inline constexpr double kGgtUnitsPerModelUnit = 9.84251968503937;

// Above this many vertex nodes (style sizes times the model's points), or
// this much per-size work (the square of the style's sizes times one more
// than the notch points), a model is refused rather than converted; real
// styles stay far below.
inline constexpr uint64_t kGgtMaxVertexNodes = uint64_t{1} << 24;

// The model position of the Gerber point (x, y) with grade rule `ruleId` in
// size `sizeIndex` of `piece` (counted from 0 in the piece's size table). The
// point moves by the rule's offset for that size only when the size is one of
// the piece's (below its body's size count), the rule number is positive,
// the piece's rules hold that number (the first such rule counts) and the
// rule has an offset for that size; otherwise the base position is given.
// Each coordinate is divided by kGgtUnitsPerModelUnit and truncated toward
// zero; the sums are taken in doubles, so no value overflows.
CPoint GgtPointToModel(const CPiece& piece, int32_t x, int32_t y, int ruleId, int sizeIndex);

// Converts every piece of `model` into g_Style, which the caller has cleared,
// and into the list pane (when one is installed), with a progress bar in the
// status bar. A piece without outline points gives no piece record. Returns
// false, having added nothing, when the model would need more than
// kGgtMaxVertexNodes vertex nodes or per-size steps (a hostile size count);
// true otherwise.
bool ConvertGgtModel(const CModel& model);
// Whether ConvertGgtModel would take `model`: false for a model it refuses.
bool GgtModelFitsStyle(const CModel& model);

// The main vertex kind of an outline point, and of the points of the second
// group of internal lines, from its point type and grade-rule number: a
// graded point (rule 0 or more) is a key vertex, a corner (0) for point
// type 2 and smooth (3) otherwise; an ungraded point a curve vertex, a corner
// (2) for point type 2 and smooth (1) otherwise.
int GgtOutlineVertexKind(int pointType, int ruleNumber);
// The same for the points of the first group of internal lines: graded, 0 for
// point type 2 and 3 otherwise; ungraded, 1 for point type 3 and 2 otherwise.
int GgtLineVertexKind(int pointType, int ruleNumber);
