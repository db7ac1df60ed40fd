// Writing the style as a native pattern file (*.ptn) in the flat layout
// (formats/ptn_layout.h), magic word kPtnMagicFlat, data version
// kPtnWrittenVersion.
//
// The file holds the pieces twice: first in the compatibility block, in the
// older element representation that other programs of the family read
// (curves without their graded runs and corner data, marker and notch groups
// as records of their own, slot symbols spelt out point by point), and then
// in the piece block, which this program's reader reads back. The header
// records where the piece block starts.
//
// Every piece of the style's ring of all pieces is written, in ring order;
// a piece that has a work-area copy is written as that copy (its placed
// coordinates). The whole file is built in memory and put in place through
// AtomicFileWriter, so a failed save leaves the old file as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/byte_writer.h"
#include "platform/text.h"

class CPieceItem3;
struct CVertexNode;

// Writes the current style to `path`. Returns 1 when the whole file was
// written and put in place; 0 after showing message 40001, the failure text
// followed by "(open)" when the file could not be created beside the target
// or `path` is a folder (the style is then not touched at all). On 0 the old file at `path` is
// unchanged and no temporary file is left.
//
// Changes to the style that remain, saved or not: internal lines (types 8
// and 14) with fewer than 3 main vertices, open lines (9 and 15) with fewer
// than 2 and every other item but grain lines and texts without a main
// vertex are removed from the pieces written; a grain line (type 1) that
// points right to left, or mostly downwards, by more than 2 mm is turned
// round (not on pieces whose second integer field is 1); and the line
// attribute of every internal line is packed into its head vertex's
// attribute word (PackLineAttributes). The corner codes of the outlines are
// written in the file's numbering from a copy: the pieces keep their own.
int SavePtnFile(const CString& path);

// The bytes SavePtnFile writes for the current style, with the same changes
// to the style; empty for a style too large for the file's 32-bit piece-block
// offset. The progress bar runs over 0 .. 2P - 1 while it works. One
// style always gives the same bytes: the header's filler comes from a
// generator seeded alike at every call.
std::vector<uint8_t> BuildPtnFileBytes();

// Points per size of a slot symbol of shape `shape` in the compatibility
// block; 0 for a shape this program does not know.
int PtnType3PointsPerSize(int32_t shape);
// The shape word a slot record carries: the item's shape, except that 0 and
// every unknown shape are written as the plain line 64 (two points per
// size, the two points as stored).
int32_t PtnType3ShapeWord(int32_t shape);

// Writes one group of a slot item (type 3) into the compatibility block:
// the int32 point count k x S and then the symbol's points, each once per
// size (S 12-byte vertex records in size order), the first and second
// points as stored and the others computed from them and the item's seven
// fields. The group starts at `node`: S nodes of the first point (one per
// size), then S nodes of the second. Returns 1 and moves `node` to the node
// after the group and `index` on by 2S; returns 0, writing nothing and
// moving nothing, when the ring does not hold a whole group from `node` or
// the style has no size.
//
// A length that would divide by zero (the two points of the first size at
// one place) gives an offset of 0; a negative square-root argument counts
// as 0; every computed coordinate is truncated towards zero and held to the
// int32 range.
int WriteType3Record(CVertexNode*& node, const CPieceItem3& item, ByteWriter& out, int& index);
