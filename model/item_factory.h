// Makes an independent copy of any piece item from its type code.
#pragma once

#include <memory>

class CPieceItem;

// A new item of the source's class (type codes 0 .. 29) with the class's own
// fields, every vertex node (flags, position, value and attributes, in ring
// order) and Tag copied; not linked into any piece; owned by the caller. The
// curve items (types 0, 8, 9, 12, 14, 15, 21) and the marked line (26) then
// rebuild their derived curve data, and the segment items (7, 20, 25) copy
// their own word, unless the work window's load mode is 99. Null for a null
// source or an unknown type code.
std::unique_ptr<CPieceItem> ClonePieceItem(const CPieceItem* source);

// A new empty item of a type code (0 .. 29) with no links; null for any other
// code. Readers that build items from stored type codes use it.
std::unique_ptr<CPieceItem> CreatePieceItem(int type);
