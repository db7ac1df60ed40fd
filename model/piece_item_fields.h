// What the native readers (the flat layouts and the stored pieces of the
// archive layout) share of reading a piece: the points of its header, the
// fields that some item types store after their vertices, and the scaling of
// what is read from a file of another scale.
#pragma once

#include <cstdint>

#include "platform/byte_cursor.h"
#include "platform/geometry_types.h"

class CPieceItem3;
class CPieceItem26;
class CPieceItem28;
class CVertexNode;

// Whether `factor` scales at all: within 0.01 of 1 every value is kept as
// stored.
bool ScalesCoordinates(double factor);
// A coordinate read from a file of another scale: multiplied and rounded.
int32_t ScaledCoordinate(int32_t value, double factor);
// A vertex read from a file of another scale: its position multiplied; a
// corner parameter node's two widths (the halves of x) multiplied each, and
// for the corner codes that carry a length the length in the high half of y.
void ScaleNode(CVertexNode* node, double factor);

// The head of a stored vertex record: the flags word, x, y and, where the
// layout stores one, the attribute word (0 otherwise).
struct StoredVertexRecord {
  uint32_t flags = 0;
  int32_t x = 0;
  int32_t y = 0;
  uint32_t attributes = 0;
};
bool ReadStoredVertex(ByteCursor& in, bool withAttributeWord, StoredVertexRecord& vertex);

// A point of the piece header: its x, then its y.
bool ReadStoredPoint(ByteCursor& in, CPoint& point);

// The fields the marked line (type 26) stores after its vertices: one triple
// per size (checked against the bytes left first), a flag and the extra node
// it announces, the mark shape.
bool ReadMarkedLineTail(ByteCursor& in, CPieceItem26* line, int32_t sizeCount);
// The seven fields of a slot (type 3), in their stored order; `factor`
// scales the lengths, not the shape.
bool ReadSlotFields(ByteCursor& in, CPieceItem3* slot, double factor);
// The fields of a dimension (type 28): its kind, the types of the two items
// it measures between, and its text.
bool ReadDimensionTail(ByteCursor& in, CPieceItem28* dimension);
