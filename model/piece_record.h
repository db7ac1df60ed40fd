// A pattern piece of the style: its texts and options, its bounding box in
// model units, its place in the work area, its links in one of the style's two
// piece rings (model/style.h) and the ring of drawable items that make it up.
// The same record serves for a listed piece and for its work-area copy; the
// Linked flag and the Link pointer tie the two together.
//
// Ownership: the piece owns its items (freed by RemoveItem and by the
// destructor). The style's rings own their pieces (freed by
// CStyle::RemovePiece, CStyle::RemoveWorkPiece and ClearStyle). Link never
// owns.
#pragma once

#include <cstdint>

#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CPieceItem;
struct CVertexNode;

// Empty-box markers: every minimum starts at kBoxEmptyMin, every maximum of a
// piece at kBoxEmptyMax (0x80000001, one above the smallest integer).
inline constexpr int32_t kBoxEmptyMin = 0x7FFFFFFF;
inline constexpr int32_t kBoxEmptyMax = static_cast<int32_t>(0x80000001u);
// The maximum marker of the item extents (the smallest integer).
inline constexpr int32_t kExtentEmptyMax = static_cast<int32_t>(0x80000000u);

class CPieceRecord {
 public:
  CPieceRecord() = default;
  // Deletes every item.
  ~CPieceRecord();
  CPieceRecord(const CPieceRecord&) = delete;
  CPieceRecord& operator=(const CPieceRecord&) = delete;

  // Appends the item at the tail of the ring (a first item becomes the head,
  // linked to itself). The piece takes it over. Null is ignored.
  void AddItem(CPieceItem* item);
  // Links the item in front of the head and makes it the head. Null ignored.
  void AddHeadItem(CPieceItem* item);
  // Links `item` in front of (after) `at`, an item of this piece; the head
  // does not change. Returns the new ItemCount.
  int32_t InsertItemBefore(CPieceItem* at, CPieceItem* item);
  int32_t InsertItemAfter(CPieceItem* at, CPieceItem* item);
  // Unlinks an item of this piece (the head moves on when it was the head)
  // and deletes it. Null is ignored.
  void RemoveItem(CPieceItem* item);

  // Rebuilds the derived curve data of every curve item (types 0, 8, 9, 12,
  // 14, 15 and 21 re-smooth; type 26 re-smooths its marked line).
  void UpdateCurveItems();

  // Removes a V-shape item (type 6) and clears the mark (bit 11) that its leg
  // ends leave on the outline vertices no other V shape still uses. `*item`
  // becomes null.
  void RemoveVShape(CPieceItem** item);
  // Removes from a segment item (type 7) the chain of segment pairs that
  // holds `node`, clearing the mark (bit 12) on outline vertices no segment
  // item still uses; removes the item when it becomes empty and then sets
  // `*item` to null.
  void RemoveSegmentChain(CPieceItem** item, CVertexNode* node);

  // Lookups and hit tests (model/lookup.cpp). Positions compare exactly;
  // tolerances are millimetres, times the style's scale. Item walks count
  // ItemCount items; an out-pointer is written only on success.
  //
  // The first item of a type code in ring order: TRUE and `*out`, else FALSE.
  BOOL FindItem(int32_t type, CPieceItem** out) const;
  // The same from the item after `start` on, trying at most ItemCount items
  // (so `start` itself comes last). FALSE for a null `start`.
  BOOL FindItemAfter(int32_t type, CPieceItem* start, CPieceItem** out) const;
  // The first main vertex (kind below 64) at (x, y) among the items of that
  // type, with its item; null when none.
  CVertexNode* FindVertex(int32_t x, int32_t y, int32_t type, CPieceItem** item) const;
  // The same for any node whose kind (low byte of the flags) is `kind`.
  CVertexNode* FindVertexOfKind(int32_t x, int32_t y, int kind, int32_t type, CPieceItem** item) const;
  // The first main vertex at (x, y) of any item but texts (11), the cut line
  // (12) and the derived items 17 to 20, with its item; null when none.
  CVertexNode* FindVertexAnyItem(int32_t x, int32_t y, CPieceItem** item) const;
  // The main vertex nearest to (x, y) within Scale x `tol` among the items of
  // that type, or with type -1 of every item but texts (11), the cut line (12)
  // and the derived items 17 to 25. The walk starts at the outline, and an
  // outline vertex in reach is taken at once even when another item holds a
  // nearer one. A dimension's two anchor nodes are never hit. FALSE for a
  // piece without an outline.
  BOOL HitTestVertex(int32_t x, int32_t y, int32_t type, double tol, CPieceItem** item, CVertexNode** node) const;
  // The first item from `start` up to the end of the ring (the item before
  // ItemRing) whose nearest main vertex lies within Scale x `tol`; with type
  // -1 texts, the cut line and the items 17 to 20 are passed over.
  BOOL HitTestVertexFrom(int32_t x, int32_t y, int32_t type, double tol, CPieceItem* start, CPieceItem** item,
                         CVertexNode** node) const;
  // The nearest point on the curves of the outline and the internal lines
  // (types 0, 8, 9, 14, 15) closer than `tol` millimetres: the item, the
  // segment's node and the foot point.
  BOOL HitTestCurve(int32_t x, int32_t y, double tol, CPieceItem** item, CVertexNode** segment, int* fx,
                    int* fy) const;
  // Union of the items' GetDrawExtent for a size index, the minima started at
  // 0x7FFFFFFF and the maxima at 0x80000000.
  void GetDrawExtent(int size, int* minX, int* maxX, int* minY, int* maxY) const;

  CString PieceName;
  CString Annotation;
  CString Text3;
  int32_t Quantity = 1;
  CString Category;
  CPoint PointA;  // reference points from the design record
  CPoint PointB;
  int32_t Option1 = 0;
  int32_t Option2 = 2;  // arrow style of the piece's grain lines, 0..3
  int32_t Flag = 0;
  int32_t Option3 = 0;
  double DoubleValue = 0.0;
  int32_t Option4 = 0;
  // Bounding box of all items in model units (min x, max x, min y, max y).
  int32_t BoxMinX = kBoxEmptyMin;
  int32_t BoxMaxX = kBoxEmptyMax;
  int32_t BoxMinY = kBoxEmptyMin;
  int32_t BoxMaxY = kBoxEmptyMax;
  // Rectangle the piece occupies in the work area (left, top, right, bottom).
  int32_t PlacedLeft = kBoxEmptyMin;
  int32_t PlacedTop = kBoxEmptyMin;
  int32_t PlacedRight = kBoxEmptyMax;
  int32_t PlacedBottom = kBoxEmptyMax;
  int32_t AuxX = kBoxEmptyMax;
  int32_t AuxY = kBoxEmptyMax;
  // Offset between model coordinates and work-area coordinates.
  int32_t OriginX = kBoxEmptyMax;
  int32_t OriginY = kBoxEmptyMax;
  CPieceRecord* Prev = nullptr;
  CPieceRecord* Next = nullptr;
  CPieceItem* ItemRing = nullptr;
  int32_t ItemCount = 0;
  // Vertex and item removal through the style act only when non-zero.
  int32_t AllowEdit = 0;
  // On a listed piece: 1 while a work-area copy exists, Link is the copy.
  // On a work-area copy: Link is the listed piece it was made from.
  int32_t Linked = 0;
  CPieceRecord* Link = nullptr;
};

// A new piece with copies of every field and every item, in the same order;
// it belongs to no ring, has no work-area link and AllowEdit 0. The caller
// owns it. A cross marker (type 27) is tied again to its marked line (type 26)
// by LinkDuplicatedMarkItems.
CPieceRecord* DuplicatePiece(const CPieceRecord* source);

// At the first marked line (type 26) whose mark-shape word flags a companion
// (second byte non-zero): ties the piece's first cross marker (type 27) to it,
// or, when the piece holds none, clears that byte and goes on.
void LinkDuplicatedMarkItems(CPieceRecord* piece);
