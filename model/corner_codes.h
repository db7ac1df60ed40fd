// Corner codes between the in-memory numbering and the numbering of the
// native flat files, and the line attribute of internal lines between the
// item and its head vertex, as the native readers and writers need them.
//
// A corner parameter node (kind 128 after a main outline vertex) holds its
// corner code in the low 16 bits of its y word. In memory the codes run 0 to
// 21 (the treatments the cut-line rebuild knows); the flat files number them
// 1 to 15. For some codes the high 16 bits of the y word carry a further
// value (a length) that travels with the code; for the others the file word
// is the bare code.
//
// The piece operations that tidy lines around loading (duplicates, joining
// open lines, snapping to the outline, spikes, repeated parameter nodes) are
// members of CPieceRecord and CPieceItem; see model/piece_record.h.
#pragma once

#include <cstdint>
#include <optional>

// The y word a corner parameter node is written with, from its in-memory y
// word. Codes 0 and 10 -> 5; 1, 4, 6, 12 and every code above 21 -> 1;
// 2, 8 -> 3; 3, 9 -> 4; 5, 7 -> 2; 11 -> 6; 15 -> 7: the bare file code.
// 13 -> 10, 14 -> 11, 16 -> 8, 17 -> 9, 18 .. 21 -> 12 .. 15 keep the high
// 16 bits.
uint32_t EncodeCornerCode(uint32_t yWord);

// A corner code of the old numbering (1 .. 15), as flat files and old
// archives store it, in the current numbering: 1 .. 9 -> 6, 7, 8, 9, 10, 11,
// 15, 16, 17; 10, 11 -> 13, 14 and 12 .. 15 -> 18 .. 21, which take a further
// value into the high 16 bits (`further` set). None for 0 and codes above 15.
std::optional<uint32_t> CurrentCornerCode(uint32_t fileCode, bool* further);

// The in-memory y word from a file's y word. File codes 1 .. 9 -> 6, 7, 8, 9,
// 10, 11, 15, 16, 17 and 0 or any code above 15 -> 6, all as the bare code;
// 10 -> 13, 11 -> 14 and 12 .. 15 -> 18 .. 21 keep the high 16 bits.
// Encoding and then decoding is not the identity (0 comes back as 10, 1 as
// 6): so a writer encodes a copy (CPieceRecord::EncodeCornerCodes) and never
// the pieces in memory.
uint32_t DecodeCornerCode(uint32_t yWord);

// Before a native file is written: for every piece of the style's two rings
// (all pieces and the work area), each type-8 and type-9 item's line
// attribute (the low 4 bits of its Tag) goes into bits 16-19 of its head
// vertex's attribute word; the low 16 bits of that word stay, the rest is
// cleared. Items without vertices are passed over.
void PackLineAttributes();
// After a native file was read: for every piece of the ring of all pieces,
// each type-8 and type-9 item's line attribute is taken from bits 16-19 of
// its head vertex's attribute word; the Tag's other bits stay.
void UnpackLineAttributes();
