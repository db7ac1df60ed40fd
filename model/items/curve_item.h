// The curve items: the piece outline and the other closed and open lines of a
// piece. Besides the item's own ring of graded vertices they keep one derived
// ring per size, the curve of that size: the size's vertices with the points
// of a cubic spline inserted wherever the vertices are smooth. Drawing,
// extents, hit tests and notch placement read the curve rings only, so a
// change of the vertex ring shows there after SmoothCurves has run again.
//
// A curve ring of size s holds one node per main vertex, in ring order, at the
// vertex's position in size s and with the main vertex's whole flags word
// (its kind and notch bits, for every size); after smoothing, spline points of
// kind 100 lie between them. Vertex kinds 0 and 3 are key vertices (the ends
// of the spans notch positions are measured on), 1 and 3 are smooth (the
// spline passes through them), 0 and 2 corners where spline runs begin and end.
//
// Family: CPiecePolylineItem (closed curves) is the base of types 0, 8, 12, 14
// and 21; CPieceOpenLineItem (open curves) of types 9 and 15. The two differ
// only in their nearest-point and hit tests: an open line never considers the
// segment from its last node back to its head.
//
// Ownership: the item owns its curve rings and every node in them; they are
// rebuilt from scratch, never shared.
//
// A size record handed to these operations is looked up in the style's size
// ring; a record that is not there (or lies beyond the rings built) finds no
// ring, and the operation then finds nothing and writes nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/piece_item.h"
#include "model/spline.h"
#include "model/vertex_node.h"

class CPieceCurveItem : public CPieceItem {
 public:
  CPieceCurveItem(int32_t type, CPieceItem* prev, CPieceItem* next);
  ~CPieceCurveItem() override;

  CVertexNode* NextVertexSkipCopies(CVertexNode* node) const override;
  CVertexNode* PrevVertexSkipCopies(CVertexNode* node) const override;
  // Extent of that size's curve ring. Starts the four values at the
  // empty-box markers (minima 0x7FFFFFFF, maxima 0x80000000) and widens them
  // by every node; leaves them untouched when the rings are not built or the
  // size is not one of them.
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  // The same over the first size's curve (all = 0, visible or not) or over
  // every visible size's curve (all non-zero; no visible size leaves the
  // markers). Untouched when the rings are not built.
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  // First node of that size's curve ring at (x, y) (and of that kind, the low
  // byte of its flags); null when none is.
  virtual CVertexNode* FindCurveVertexWithKind(CSizeRecord* size, int32_t x, int32_t y, int kind) const;
  virtual CVertexNode* FindCurveVertex(CSizeRecord* size, int32_t x, int32_t y) const;
  // The curve node of `node`, the node of that size of a main vertex (the
  // main vertex itself for the first size, its copy for the others): found by
  // walking the main vertices in step with the curve's vertex nodes, else by
  // position. Null when nothing matches.
  virtual CVertexNode* MapToCurveVertex(CSizeRecord* size, CVertexNode* node) const;
  // The reverse: the node of that size of the main vertex a curve node stands
  // for (not a spline point); by the same walk, else the first main vertex
  // whose node of that size has the curve node's position and kind; null when
  // none has.
  virtual CVertexNode* MapToMainVertex(CSizeRecord* size, CVertexNode* curveNode) const;
  // The vertex after (before) a curve node, spline points passed over, as a
  // main vertex; null when it maps to none.
  virtual CVertexNode* NextKeyVertexOnCurve(CSizeRecord* size, CVertexNode* curveNode) const;
  virtual CVertexNode* PrevKeyVertexOnCurve(CSizeRecord* size, CVertexNode* curveNode) const;
  // Makes one curve ring per size of the style from the main vertices (the
  // node of size s of each, with the main vertex's flags word), without
  // spline points. No rings when the style has no size.
  virtual void BuildCurveRings();
  // Prepares the vertex ring and rebuilds the curve rings with their spline
  // points. Two neighbouring main vertices at one place would make the spline
  // turn on the spot: on a cut line (type 12) the second goes when every size
  // coincides; elsewhere both become corners (kind 1 -> 2, 3 -> 0). Then every
  // run of smooth vertices of every size's curve with more than 2 nodes is
  // replaced by the sampled spline through it.
  virtual void SmoothCurves();
  // Gives this item a copy of `source`'s curve rings and of what they were
  // smoothed from, so that SmoothCurves on an identical vertex ring (a clone's)
  // finds them current instead of fitting the spline again.
  void CopyCurvesFrom(const CPieceCurveItem& source);
  // Fits the spline of a smoothing not read yet into plain storage of the
  // item's own, for the rings to be made from when first read. Touches
  // nothing outside the item, so the items of a style may be prepared on
  // several threads at once (each item on one).
  void PrepareCurves() const;
  // Whether the item was smoothed and its rings are not made yet.
  bool HasPendingCurves() const { return pending_; }
  // Node count and head of that size's curve ring; 0 and null when the rings
  // are not built or the size is not one of them.
  virtual int32_t GetCurveCount(CSizeRecord* size) const;
  virtual CVertexNode* GetCurveHead(CSizeRecord* size) const;

  // The curve node nearest to (x, y) on that size's curve: the start of the
  // nearest segment (a later segment wins a tie), or its end when the point is
  // exactly there. `*node` is null when the curve is empty or not built.
  virtual void NearestCurvePoint(CSizeRecord* size, int32_t x, int32_t y, CVertexNode** node) const = 0;
  // Whether (x, y) lies within `tolerance` millimetres (the style's scale) of
  // that size's curve. On a hit, the nearest segment's start (or end, when
  // the point is exactly on it) goes to `node` and the foot of the
  // perpendicular on that segment's line to (footX, footY); on a miss nothing
  // is written.
  virtual BOOL HitTest(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode** node,
                       int* footX, int* footY) const = 0;
  // HitTest on the first size; on a hit the found node is moved back over
  // spline points and mapped to its main vertex (MapToMainVertex), which goes
  // to `node` (null when it maps to none). Returns what HitTest returned.
  virtual BOOL HitTestMainVertex(int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
                                 int* footY) const;

  // HitTest restricted to the stretch of the curve from `from` to `to`
  // (curve nodes of that size): FALSE when either is null or the curve is
  // missed. On a hit the foot is written whatever follows; the result is TRUE
  // when the walk from `from` meets the found node before `to`, or the found
  // node is `to` and the point lies exactly on it.
  BOOL HitTestInSpan(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode* from,
                     CVertexNode* to, int* footX, int* footY) const;
  // Whether (x, y) lies inside (or on) the first size's curve taken as a
  // polygon.
  BOOL ContainsPoint(int32_t x, int32_t y) const;

  // Draws every visible size's curve, from the last size to the first, as one
  // polygon (`closed`) or polyline on the hollow brush with a pen of
  // `penStyle`, width 1, in the size's colour; sizes with an empty curve are
  // skipped. With `keyMarks` or `curveMarks`, each drawn size then gets its
  // vertex marks with a solid pen and brush of its colour: key vertices
  // (kinds 0, 3) a 5-pixel square when `keyMarks`, curve vertices (kinds 1, 2)
  // a small circle within the work window when `curveMarks`. The device
  // context's state is saved and restored around it, with a white background.
  void DrawCurveRings(CDC* dc, double unitsPerPixel, int originX, int originY, int penStyle, BOOL closed,
                      BOOL keyMarks, BOOL curveMarks) const;
  // The device points of a size's curve, in ring order from its head.
  std::vector<CPoint> ScreenCurvePoints(int sizeIndex, double unitsPerPixel, int originX, int originY) const;

  // The (x, y) of that size's curve ring from its head, in ring order; empty
  // when the rings are not built or the size is not one of them.
  std::vector<CPoint> GetCurvePoints(CSizeRecord* size) const;
  // The curve ring of a size index, or null when not built or out of range.
  CVertexRing* CurveRingAt(int sizeIndex) const;
  // Frees the curve rings.
  void DeleteCurveRings();
  // The curve ring of a size record, or null.
  CVertexRing* CurveRingOf(const CSizeRecord* size) const;
  // The node of size `sizeIndex` of a main vertex: `sizeIndex` next links on
  // (the main vertex itself for size 0).
  static CVertexNode* NodeOfSize(CVertexNode* main, int sizeIndex);

  // One ring per size in size-ring order, CurveRingCount of them; null until
  // built. The count is the number allocated, which stays right even when the
  // style's number of sizes changes later. SmoothCurves makes them when they
  // are first read, so read them through CurveRingAt, CurveRingOf and the
  // other getters.
  mutable std::unique_ptr<CVertexRing[]> CurveRings;
  mutable int32_t CurveRingCount = 0;

 protected:
  // The nearest point of a curve ring over its first `segments` segments
  // (node to next, from the head): the segment's start (or end, when the
  // point is exactly there) to `node` and the nearest point of the segment to
  // `near`, when its squared distance is not above `*best`, which is lowered
  // to it. A degenerate segment counts as its start point.
  static void NearestOnSegments(const CVertexRing& ring, int32_t segments, int32_t x, int32_t y,
                                double* best, CVertexNode** node, CPoint* near);

 private:
  // The first main vertex of the vertex ring (the head unless the ring is
  // damaged), or null for a ring without one.
  CVertexNode* FirstMainVertex() const;
  // Walks the main vertices from the first one and the nodes of a curve ring
  // that are no spline points in step, at most one turn, and returns the curve
  // node of the first step where `stop(main, curve)` holds, its main vertex in
  // `*main`; null when no step does. `stop` is called as stop(main, curve);
  // a template so that the test is inlined into the walk.
  template <typename Stop>
  CVertexNode* FindPairedStep(const CVertexRing& ring, const Stop& stop, CVertexNode** main) const;
  // The key vertex of the first curve node after (`forward`) or before
  // `curveNode` that is no spline point; a copy gives the main vertex before it.
  CVertexNode* KeyVertexBeside(CSizeRecord* size, CVertexNode* curveNode, bool forward) const;
  // Gives neighbouring main vertices at one place their treatment before the
  // spline is fitted.
  void SeparateCoincidentVertices();

  // What the curve rings are built from: for each main vertex in ring order,
  // its node of every size in size order, with the main vertex's flags word.
  struct CurveInput {
    int32_t x;
    int32_t y;
    uint32_t flags;
    bool operator==(const CurveInput&) const = default;
  };
  std::vector<CurveInput> GatherCurveInput(int32_t sizes) const;
  // A checksum of every curve ring as it stands: counts, links and every
  // field of every node.
  uint64_t CurveRingsChecksum() const;

  // Makes the rings of a smoothing that has not been read yet.
  void MakePendingCurves() const;
  // Records the rings just made as the last smoothing's.
  void FinishSmoothing() const;
  // Whether the rings hold exactly that input: each size's nodes that are no
  // spline points are its input nodes, in order.
  bool RingsHoldInput(const std::vector<CurveInput>& input) const;
  // Builds one size's ring of the pending smoothing into an empty ring and
  // fits its spline.
  void FitRing(size_t size, CVertexRing& ring) const;
  // The nodes of one size's ring of the pending smoothing, fitted on the
  // calling thread.
  void PrepareRing(size_t size, std::vector<CFlaggedPoint>* out) const;

  // The last smoothing: its input (until its rings are made, which then
  // hold it) and number of sizes, and the checksum of the rings it left. A piece being built is smoothed again after every
  // step, and most steps read no curve: SmoothCurves keeps only its input
  // (`pending_`) and the rings are made from it when first read, the same
  // rings as made at once. When neither the input nor the rings have changed
  // since the last smoothing (`smoothed_`), the rings are already what
  // smoothing would make again.
  mutable std::vector<CurveInput> smoothed_from_;
  mutable int32_t smoothed_sizes_ = 0;
  mutable uint64_t smoothed_checksum_ = 0;
  mutable bool smoothed_ = false;
  mutable bool pending_ = false;
  // The nodes of each size's ring as PrepareCurves fitted them (position and
  // flags; every other field of a ring node is 0); empty when not prepared.
  mutable std::vector<std::vector<CFlaggedPoint>> prepared_;
};

// Closed curves: types 0, 8, 12, 14 and 21. Every segment counts, the one from
// the last node back to the head included.
class CPiecePolylineItem : public CPieceCurveItem {
 public:
  CPiecePolylineItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceCurveItem(type, prev, next) {}

  void NearestCurvePoint(CSizeRecord* size, int32_t x, int32_t y, CVertexNode** node) const override;
  // The bound starts at the tolerance plus 1 mm; a segment becomes the best
  // only when strictly nearer (the earlier segment wins a tie).
  BOOL HitTest(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
               int* footY) const override;
};

// Open curves: types 9 and 15. The walks over segments stop at the last node;
// a curve of one node is that one point.
class CPieceOpenLineItem : public CPieceCurveItem {
 public:
  CPieceOpenLineItem(int32_t type, CPieceItem* prev, CPieceItem* next) : CPieceCurveItem(type, prev, next) {}

  void NearestCurvePoint(CSizeRecord* size, int32_t x, int32_t y, CVertexNode** node) const override;
  // The nearest point of the open curve within the tolerance plus 1 mm, a
  // later segment winning a tie; the foot is that nearest point.
  BOOL HitTest(CSizeRecord* size, int32_t x, int32_t y, double tolerance, CVertexNode** node, int* footX,
               int* footY) const override;
};
