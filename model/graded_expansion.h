// Graded vertex expansion: from an item's interleaved ring to one plain ring
// per size, and back.
//
// An item's vertex ring keeps every size of the style in one ring: a graded
// vertex is a group of NUMBER OF SIZES consecutive nodes, the main vertex for
// size 0 followed by its per-size copies (model/vertex_node.h). Drawing wants
// one ring per size; grading expands one run of the ring, changes the sizes
// from 1 up and writes them back. How a source node maps to the sizes goes by
// its kind:
//   0-6, 100, 101  a group: node k of the group goes to size k's ring;
//   102-105        a single node: the same node goes to every size's ring;
//   128 and others nothing (parameter nodes and marks stay out).
// Text items (type 11) have no graded vertices: nothing is expanded for them.
//
// Per-size rings are arrays of NUMBER OF SIZES (g_Style.SizeCount) ring
// heads. Their nodes are new CVertexNode records linked circularly, owned by
// the caller until FreeSizeRings (or CPerSizeRings) frees them. Every ring of
// one expansion holds the same number of nodes: the count the expansion
// returns.
#pragma once

#include <cstdint>
#include <vector>

#include "model/spline.h"
#include "platform/geometry_types.h"

class CPieceItem;
struct CVertexNode;

// Expands the item's whole ring, from its head once round, into
// `sizeRings[0 .. SizeCount-1]` (each entry is overwritten; free earlier rings
// first). Every size's node of a group takes the flags word of the group's
// main vertex, so every size's ring shows the main vertex's kind. Returns the
// number of nodes in each ring (0 for a text item, an empty ring or a style
// without sizes; the entries are then null).
//
// A group is read as NUMBER OF SIZES consecutive nodes whatever their kinds,
// as the files store it; a group cut short by a damaged ring simply reads on
// round the ring, so no walk leaves the ring or runs forever.
int ExpandGradedPoints(CVertexNode** sizeRings, const CPieceItem* item);

// Expands the stretch of the item's ring from `start` to `end`, both
// included: nodes from `start` on until the walk reaches `end`, then `end`
// itself by the same table. With `start` == `end` the stretch is the whole
// ring and `start` appears at both ends of every size ring (a closed run).
// Per-size nodes keep the flags word of the node they copy (the copies of a
// group keep kind 64). Returns the nodes per ring, as ExpandGradedPoints.
int ExpandRunPerSize(CVertexNode** sizeRings, const CPieceItem* item, CVertexNode* start, CVertexNode* end);

// Writes per-size rings made by ExpandRunPerSize (or ExpandGradedPoints) back
// into the item's ring from `start`: node k of each group takes size k's
// position, a single node (102-105) takes size 0's position, other nodes are
// passed over; the walk ends when size 0's ring has been used up. Only
// positions are written, never flags.
void WriteBackRunPerSize(CVertexNode* const* sizeRings, CPieceItem* item, CVertexNode* start);

// Frees every node of the first `sizeCount` rings and sets their heads null.
void FreeSizeRings(CVertexNode** sizeRings, int sizeCount);

// An array of per-size ring heads, one for every size the style has when it
// is made, all null at first; frees its rings when it goes. The style must
// not change its number of sizes while it is in use.
class CPerSizeRings {
 public:
  CPerSizeRings();
  ~CPerSizeRings();
  CPerSizeRings(const CPerSizeRings&) = delete;
  CPerSizeRings& operator=(const CPerSizeRings&) = delete;

  CVertexNode** Heads() { return heads_.data(); }
  CVertexNode* const* Heads() const { return heads_.data(); }
  // Head of size `index`'s ring; null when empty or out of range.
  CVertexNode* Head(int index) const;
  int SizeCount() const { return static_cast<int>(heads_.size()); }
  // Frees every ring; the heads become null.
  void Free();

 private:
  std::vector<CVertexNode*> heads_;
};

// The item's whole ring expanded as ExpandGradedPoints does, as one list of
// flagged points per size (index = size index). Every list holds the same
// number of points; there is one list per size of the style.
std::vector<std::vector<CFlaggedPoint>> ExpandGradedFlaggedPoints(const CPieceItem& item);
// The same without the flags.
std::vector<std::vector<CPoint>> ExpandGradedPointLists(const CPieceItem& item);
