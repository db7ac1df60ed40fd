// The base of every drawable part of a piece: outline, internal lines, seam
// and cut lines, marks, notches, holes and texts. One class per type code
// (CPieceItem0 .. CPieceItem29, declared in model/items/) derives from it.
//
// The base holds the type code, the ring of vertex nodes (model/vertex_node.h)
// and the links of the piece's item ring (model/piece_record.h). It owns its
// nodes: the destructor frees VertexCount nodes from VertexHead. Items are
// owned by their piece and always destroyed through the virtual destructor.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "model/item_types.h"
#include "model/vertex_node.h"
#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CDC;
class CPieceRecord;
class CSizeRecord;

class CPieceItem {
 public:
  CPieceItem(int32_t type, CPieceItem* prev, CPieceItem* next);
  virtual ~CPieceItem();
  CPieceItem(const CPieceItem&) = delete;
  CPieceItem& operator=(const CPieceItem&) = delete;

  // Draws the item once for every visible size (see DrawEachSize) at
  // `unitsPerPixel` model units per device pixel, model point (originX,
  // originY) on device pixel (0, 0). `piece` is the piece that owns the item.
  // The base draws nothing.
  virtual void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece);
  // The same for an item shown as selected. The base draws nothing.
  virtual void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece);

  // Ring operations. A first node becomes the head, linked to itself. The
  // item takes over nodes given to it.
  virtual CVertexNode* AddHeadVertex(int32_t x, int32_t y, uint32_t flags);
  virtual void AddHead(CVertexNode* node);
  virtual CVertexNode* AddTailVertex(int32_t x, int32_t y, uint32_t flags);
  virtual void AddTail(CVertexNode* node);
  // New node (or `node`) in front of / after `at`, a node of this ring; the
  // head does not change. On an empty ring the node becomes the only one.
  virtual CVertexNode* InsertVertexBefore(CVertexNode* at, int32_t x, int32_t y, uint32_t flags);
  virtual void InsertBefore(CVertexNode* at, CVertexNode* node);
  virtual CVertexNode* InsertVertexAfter(CVertexNode* at, int32_t x, int32_t y, uint32_t flags);
  virtual void InsertAfter(CVertexNode* at, CVertexNode* node);
  // Unlinks and frees a node of this ring (the head moves on when it was the
  // head); returns its successor, null when the ring is or became empty.
  virtual CVertexNode* RemoveVertex(CVertexNode* node);
  // Frees a main vertex and the per-size copies (kind 64) that follow it;
  // returns the node after them, null when the ring is or became empty.
  virtual CVertexNode* RemoveGradedVertex(CVertexNode* node);
  // Removes the intermediate vertices (kind 100, with their copies) between
  // the node and the main vertices before and after it.
  virtual void RemoveGradedVerticesAround(CVertexNode* node);

  // Next (previous) main vertex after `node`, or `node` itself when the ring
  // holds no other; null for a null node.
  virtual CVertexNode* NextMainVertex(CVertexNode* node) const;
  virtual CVertexNode* PrevMainVertex(CVertexNode* node) const;
  // Next (previous) node that is neither a per-size copy (64) nor a parameter
  // node (128); null for a null node, and null when one turn of the ring
  // finds none (a ring of copies only, as a damaged file can give).
  virtual CVertexNode* NextVertexSkipCopies(CVertexNode* node) const;
  virtual CVertexNode* PrevVertexSkipCopies(CVertexNode* node) const;

  // Extents in model units, merged into the four values (which the caller
  // starts at the empty-box markers). GetDrawExtent takes every size except
  // `size` (the curve items: that one size); GetExtent the first size only,
  // visible or not, when `all` is 0, else every visible size. The base adds
  // nothing.
  virtual void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const;
  virtual void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const;

  // First main vertex at exactly (x, y) from the head; null for a text item
  // (type 11) or when none is there.
  CVertexNode* FindVertex(int32_t x, int32_t y) const;
  // The same with the whole flags word equal.
  CVertexNode* FindVertexWithFlags(int32_t x, int32_t y, uint32_t flags) const;
  // From `start` along the main vertices, the first at (x, y); null when the
  // walk reaches `stop` first, after one turn, or for a text item.
  CVertexNode* FindVertexFrom(int32_t x, int32_t y, CVertexNode* start, CVertexNode* stop) const;
  CVertexNode* FindVertexWithFlagsFrom(int32_t x, int32_t y, uint32_t flags, CVertexNode* start,
                                       CVertexNode* stop) const;
  // From the main vertex after `start`, following Next over every node, the
  // first at (x, y) of that kind; null after a full turn.
  CVertexNode* FindVertexOfKind(int32_t x, int32_t y, int kind, CVertexNode* start) const;
  // The same for any main vertex kind.
  CVertexNode* FindMainVertexFrom(int32_t x, int32_t y, CVertexNode* start) const;
  // Number of main vertices (0 for an empty ring).
  int32_t CountMainVertices() const;

  // Notch upkeep, called on a notch item (types 13, 18, 23; model/items/
  // segment_items.h has the notch layout). TrimAgainstOutline removes every
  // notch whose outline vertex is no main vertex of `outline` or whose point
  // lies farther than 0.2 mm from it, redrawing the work window once per
  // notch removed; returns how many were removed (0 without an outline).
  // UpdateNotchesFromOutline re-places the notches after the outline changed
  // from `oldOutline` to `newOutline` (the same item when nothing changed):
  // each notch keeps, in every size, its place along the outline as measured
  // on the old outline from its outline vertex, and is put there on the new
  // one, its inner end recomputed at the same length and angle. The outline
  // vertex is found on the new outline by its position (`lookup` 0) or by its
  // place among the main vertices (any other value). Notches not on the old
  // outline are removed first, those not on the new one at the end; the item
  // may be left empty, and the caller then removes it.
  void UpdateNotchesFromOutline(CPieceItem* oldOutline, CPieceItem* newOutline, int lookup);
  int32_t TrimAgainstOutline(CPieceItem* outline);

  // Nearest main vertex (and per-size copy when `withCopies`) within
  // Scale x `tolerance` model units of (x, y), `tolerance` in millimetres.
  // On success writes it to `node` and returns TRUE; else `node` is untouched.
  BOOL HitTestVertex(int32_t x, int32_t y, double tolerance, CVertexNode** node, BOOL withCopies) const;
  // The same over the nodes from `from` to `to`, with the looser bound
  // Scale x (tolerance + 1) and no second test.
  BOOL HitTestVertexRange(int32_t x, int32_t y, double tolerance, CVertexNode* from, CVertexNode* to,
                          CVertexNode** node, BOOL withCopies) const;
  // The shorter length along the first size's curve from a main vertex to
  // the nearest key vertex (kind 0 or 3), or to a curve vertex whose vertex
  // carries a positive length in its Value word, truncated; 0 for an item
  // that is no curve or a vertex that is not on its curve (model/lookup.cpp).
  int DistanceToKeyVertex(CVertexNode* vertex) const;
  // Removes the main vertices (with their copies) where the line folds back
  // or doubles on itself, and those less than 1 mm after the one before:
  // walking A over the main vertices, its successor B goes when A-B is
  // shorter than a millimetre, when the turn at B is sharper than 5 degrees
  // (15 with `fine` 0) either way, or when neither A's nor B's turn lies
  // within 10 .. 350 degrees (20 .. 340). Two coincident vertices stay. A
  // smooth A takes the kind of a removed corner B. Stops at 3 main vertices
  // (model/corner_codes.cpp).
  void RemoveSpikes(int fine);
  // The segment of a curve item's curve of size `sizeIndex` nearest to
  // (x, y): the distance to the foot of the perpendicular when the foot lies
  // within the segment's x and y ranges, else to the nearer end; the earlier
  // segment wins a tie. Returns that distance truncated, and in `node` the
  // main vertex that ends the span holding the segment (model/
  // load_repairs.cpp). For an item that is no curve, or a size without a
  // curve: 2147483647 and null.
  int FindNearestSegment(int32_t x, int32_t y, int sizeIndex, CVertexNode** node) const;
  // The next main vertex after `vertex`, going forward once round, at the
  // same place (for an open line (type 9) not the ring's head): 1 with it in
  // `*duplicate`, else 0 with null (model/load_repairs.cpp).
  int FindLaterDuplicate(CVertexNode* vertex, CVertexNode** duplicate) const;

  // The per-size drawing frame every item class follows: sizes from the last
  // record of the style's size ring back to the first (so size 0 ends on top),
  // sizes whose Visible flag is 0 skipped; for each drawn size a pen of
  // `penStyle`, width 1, in the size's colour is selected (and a solid brush
  // of that colour when `withBrush`), `drawSize` runs with the size record and
  // its index in the size ring, and the previous pen and brush are selected
  // back.
  using SizeDrawer = std::function<void(CDC* dc, const CSizeRecord& size, int sizeIndex)>;
  static void DrawEachSize(CDC* dc, int penStyle, bool withBrush, const SizeDrawer& drawSize);
  // The positions in size `sizeIndex` of the main vertices, in ring order:
  // the node `sizeIndex` steps after each main vertex.
  std::vector<CPoint> MainVertexPositions(int sizeIndex) const;

  int32_t Type;
  int32_t Tag = 0;
  int32_t VertexCount = 0;
  CVertexNode* VertexHead = nullptr;
  CPieceItem* Prev;
  CPieceItem* Next;
};


