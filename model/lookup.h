// The queries that the rest of the system asks of one piece and its items:
// items by type, vertices at a position, the vertex or curve point nearest to
// a picked point, the piece's drawing extent, the corner parameters at an
// outline vertex, and the length along the outline to the nearest key vertex.
// The piece-level operations are members of CPieceRecord (model/
// piece_record.h) and the item-level ones of CPieceItem (model/piece_item.h);
// this header holds the free functions they share with the piece operations.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win_types.h"

class CPieceItem;
class CPieceRecord;
struct CVertexNode;

// The nearest-vertex search of an item over `count` nodes from `first`:
// candidates are main vertices, and per-size copies (kind 64) when
// `withCopies`; the nearest strictly within Scale x (tolerance + 1) is kept,
// and it is the answer when it lies within Scale x tolerance (tolerance in
// millimetres). TRUE and `*node` then; else FALSE and `*node` untouched.
BOOL FindNearestVertexWithin(CVertexNode* first, int32_t count, int32_t x, int32_t y, double tolerance,
                             BOOL withCopies, CVertexNode** node);

// The corner parameter node (kind 128) that belongs to a main vertex of the
// outline: the node just before the next node that is neither a per-size copy
// nor a parameter node, when that node is a parameter node; else null.
CVertexNode* FindCornerParamNode(const CPieceItem* outline, CVertexNode* vertex);

// The corner code and the two corner widths that hold at an outline vertex.
// A vertex with its own parameter node gives that node's code (the low 16
// bits of its y word; the whole word for codes 13, 14 and 18 to 21), p1 the
// signed high half and p2 the signed low half of its x word. Any other vertex
// gets code 6 and, for both widths, the width interpolated along the outline
// between the leaving width of the parameter node behind it and the arriving
// width of the one ahead of it, truncated; where that stretch has no length
// the leaving width behind holds. A null vertex gives code 6 and widths 0.
void GetVertexCornerParams(CPieceItem* outline, CVertexNode* node, int* code, int* p1, int* p2);

// Snapshots for walks that change the rings they walk: the items of a piece,
// the nodes of an item's ring and its main vertices (kind below 64), each in
// ring order and never more than the ring's count.
std::vector<CPieceItem*> ItemsOf(const CPieceRecord* piece);
std::vector<CVertexNode*> NodesOf(const CPieceItem* item);
std::vector<CVertexNode*> MainVerticesOf(const CPieceItem* item);
// The main vertices as NextMainVertex walks them, from the first main vertex
// (the head, or the main vertex after it) once round the ring.
std::vector<CVertexNode*> WalkMainVertices(const CPieceItem& item);

// The first item of `type` in the piece's ring, or null.
CPieceItem* FindFirstItem(CPieceRecord* piece, int type);
