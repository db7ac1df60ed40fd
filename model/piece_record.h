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
#include <memory>

#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CPieceItem;
class CSizeRecord;
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
  // Removes the outline's main vertices from `from` to `to` (forward, both
  // included, with their copies, parameter nodes and graded points) and
  // repairs what hangs on the outline around them (model/dependent_items.cpp):
  // notches near the span are removed when they lie on the removed stretch
  // and moved to the nearest kept vertex otherwise; two-point lines, V shapes
  // and segment chains marked on the removed vertices are removed. An outline
  // left with more than 2 main vertices is then re-graded and re-smoothed and
  // its notches refitted. Notch and item removals act only while the piece
  // allows editing.
  void RemoveOutlineSpan(CPieceItem* outline, CVertexNode* from, CVertexNode* to);
  // The repairs of RemoveOutlineSpan for the span from `from` to `to`, the
  // outline itself left as it is (a fold line about to be joined).
  void DetachOutlineSpan(CPieceItem* outline, CVertexNode* from, CVertexNode* to);
  // The repairs of RemoveOutlineSpan, exactly as it runs them before the
  // vertices go; nothing is removed from the outline.
  void PrepareSpanRemoval(CPieceItem* outline, CVertexNode* from, CVertexNode* to);

  // Whole-piece transforms (model/transforms.cpp). A size argument is a size
  // index or -1 for every size: in a graded run only that size's node moves,
  // and points stored once (single nodes of kind 104, the plain rings of the
  // grain line and the dimension, the text anchor, the marked line and the
  // cross marker) move only for -1 and 0. Each transform ends by re-smoothing
  // the curve items and recalculating the piece (Recalc(-1)).
  //
  // Adds (dx, dy); the derived items 21 to 25 stay. Under load mode 99 the
  // curves and the box are left for the reader to bring up to date.
  void Move(int dx, int dy, int size);
  // Turns about (cx, cy) by `angle` radians, counter-clockwise with y up.
  // Mode 0 turns every item, 1 all but the grain line and the dimension, 2
  // only those two; the marked line and the cross marker turn in every mode.
  // A text's angle (tenths of a degree) goes the other way, kept in 0..3600.
  void Rotate(int cx, int cy, double angle, int mode, int size);
  // Mirrors every size about y = y0, or about the line through two points
  // (nothing for two equal points). Notch directions 1/2 and 4/5 of single
  // nodes change places, a text's angle changes sign, and the closed rings
  // are reversed so that they stay counter-clockwise.
  void MirrorHorizontal(int y0);
  void MirrorLine(int x1, int y1, int x2, int y2);
  // Brings the closed rings (types 0, 8, 12, 14, 21) to counter-clockwise
  // order, keeping each ring's head first; `check` 0 reverses them without
  // looking (after a mirror). A reversed outline or contour has its corner
  // parameters turned round, and a reversed outline has its notches refitted.
  void NormalizeOrientation(int check);
  // Signed area, square model units, of the size's curve of the contour
  // (type 21; `which` 0) or the cut line (12; any other value), or of the
  // outline when the piece has no such item: positive for a counter-clockwise
  // ring. 0 for a piece with none of them.
  double CalcArea(CSizeRecord* size, int which) const;

  // Operations of the recalculation, load repairs and derived-item rebuild
  // that the transforms, span removal and unfolding call.
  //
  // Brings the piece's derived state up to date after a change: clean-ups,
  // one copy per size after every outline vertex, the bounding box (merging
  // each item's GetExtent(all)) with the placed rectangle moved along.
  void Recalc(int all);
  // Sets an outline vertex's flags word and rebuilds the piece around it.
  void SetOutlineVertexKind(CVertexNode* node, uint32_t flags);
  // Exchanges the two leg ends of every two-leg item (types 6, 19, 24).
  void SwapSimpleItemEnds();
  // Rebuilds the cut line and the derived items from the outline; 1 on
  // success or when the outline carries no width.
  int RebuildDerivedItems(BOOL withCornerItems);

  // Corner codes and line tidying (model/corner_codes.cpp).
  //
  // A copy of the piece (DuplicatePiece) whose outline's corner parameter
  // nodes carry the flat file's corner codes (EncodeCornerCode); the piece
  // itself is left as it is, so that its codes survive a save. The caller
  // owns the copy.
  std::unique_ptr<CPieceRecord> EncodeCornerCodes() const;
  // Renumbers the outline's corner parameter nodes from the flat file's
  // codes to the in-memory ones (DecodeCornerCode), after a flat file was
  // read. Nothing for a piece without an outline.
  void DecodeCornerCodes();
  // 1 when the outline's (the type-21 contour's) corner widths lie inside:
  // the first parameter node (flags exactly 128) from the head with a width
  // not 0 decides, 1 for a negative half, 0 for a positive one. 0 without
  // such an item or such a node.
  int IsOutlineParamNegative() const;
  int IsItem21ParamNegative() const;
  // Removes every internal line (type 8 or 9) that repeats another of the
  // same type and vertex count to within 2 model units in x and y, node by
  // node from the heads; returns how many went.
  int RemoveDuplicateLines();
  // While g_SwitchJoinLines is set: joins open lines (type 9) whose ends
  // meet exactly into one, and turns every open line of more than 3 main
  // vertices that ends where it starts into a closed line (type 8) without
  // its repeated last vertex.
  void JoinOpenLines();
  // Moves each main vertex of the internal lines (types 8, 9) onto an
  // outline vertex within 2 mm (every size taking that vertex's per-size
  // position), or else by its offset to the nearest outline point within
  // 2 mm.
  void SnapLinesToOutline();
  // Of consecutive parameter nodes in the outline only the last stays.
  void RemoveRepeatedParamNodes();

  // Corner item builders (model/corner_builders.cpp), run after the cut line
  // (type 12) was rebuilt: they carry the marks that touch the outline out to
  // the cut line. `widthSign` is 1 when the cut line lies outside the
  // outline, 0 when inside. Each needs the outline and the cut line; a mark
  // that does not meet the cut line in every size within three corner widths
  // of the outline gets no derived item, while the cut-line vertices added
  // for mark ends handled before stay.
  //
  // Each V shape (type 6) gives a type-19 item: its legs carried on from the
  // apex to the cut line, which gets a vertex (flags 0x802) where each leg
  // meets it.
  void BuildVShapeExtensions(int widthSign);
  // Each type-5 line gives a type-17 line from where its first segment meets
  // the cut line to its second point; the cut line gets a vertex (0x2002).
  void BuildType5Extensions(int widthSign);
  // Each segment item (type 7) gives a type-20 item with the crossings of
  // both ends of each segment pair; the cut line gets a vertex (0x1002) at
  // each.
  void BuildSegmentExtensions(int widthSign);
  // The notches of the type-13 item, moved along their own line onto the cut
  // line, make one type-18 item; the cut line is not changed.
  void BuildCutLineNotches(int widthSign);

  // Load repairs and conversions (model/load_repairs.cpp).
  //
  // Gives every main vertex of the items of types 0-10, 13-16 and 21-25 its
  // per-size copies (the layout of files that stored one position per
  // vertex) and renumbers the old corner codes of the parameter nodes,
  // folding a following parameter node into the further value.
  void ConvertOldVertexLayout();
  // For files of data version below 106: each outline parameter node takes
  // as its incoming width the outgoing width of the parameter node before it.
  void UpgradeCornerParams();
  // Tidies the curve items after loading: drops a cut line of fewer than 3
  // vertices, and in the outline, the internal lines and the contour cuts
  // the loops that a repeated vertex closes (while g_OptCornerRebuild is
  // set), removes vertices out of range, and of two vertices less than 1 mm
  // apart keeps the one that says more. Never takes an item below 3 main
  // vertices by these rules (2 for an open line), except that a cut loop
  // always loses its repeated vertex.
  void NormalizeVertexKinds();
  // While g_OptGradedCheck is set and the style has two sizes or more: the
  // key vertices of the internal lines take the per-size positions of the
  // outline vertex they lie on, or of the outline segment they lie on within
  // 1 mm (unless g_OptNoKeyVertexSnap); a changed line is graded, smoothed
  // and passes its key vertices on (PropagateKeyVertex).
  void CarryGradedKeyVertices();
  // The same condition: an ungraded key vertex of an internal line takes the
  // per-size positions of the first graded vertex of another internal line
  // at its place.
  void ShareGradedKeyVertices();
  // While g_OptGradedCheck is set: every key vertex of the other internal
  // lines at `vertex`'s place takes its per-size positions; the lines that
  // changed are graded and smoothed.
  void PropagateKeyVertex(CPieceItem* item, CVertexNode* vertex);
  // Removes the dimensions (type 28) whose measured points are no longer
  // vertices of the items they name (model/recalc.cpp).
  void RemoveUnanchoredLinkItems();

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
std::unique_ptr<CPieceRecord> DuplicatePiece(const CPieceRecord* source);

// At the first marked line (type 26) whose mark-shape word flags a companion
// (second byte non-zero): ties the piece's first cross marker (type 27) to it,
// or, when the piece holds none, clears that byte and goes on.
void LinkDuplicatedMarkItems(CPieceRecord* piece);
