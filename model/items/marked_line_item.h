// The smoothed marked line (type 26): an open line through the main vertices,
// smoothed into a derived ring and drawn in a fixed colour (not per size) with
// marks at its vertices and at one chosen node. It shows only while
// g_DrawFlagType26 is set.
//
// Vertex codes of the derived ring (flags AND 0xFFFF): 0xA02 and 0xB02 are
// corners (kind 2) labelled "1" and "3", which get the item's shaped mark;
// other vertices of kinds 1 and 2 get a small dot; kind 100 nodes are spline
// points.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/piece_item.h"
#include "model/vertex_node.h"

class CPieceItem26 : public CPieceItem {
 public:
  // The three per-size arrays get one zero per size of the style.
  CPieceItem26(CPieceItem* prev, CPieceItem* next);
  // Draws the derived ring as one open polyline (green while PenSelector is
  // 0, else 0xFF4000), the marks of its vertices and of MarkedNode, and the
  // labels in red. Nothing is drawn while g_DrawFlagType26 is clear or before
  // the ring is built; the device context is left as it was.
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Both set (not merge) the four values: the box of the derived ring, with
  // room for the labels (900 units left, 300 above). Untouched before the
  // ring is built; the empty box while the first size is hidden.
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  // Rebuilds the derived ring from the main vertices, without spline points.
  virtual void RebuildRing();
  // Rebuilds the derived ring and inserts the spline points between the
  // vertices of every smooth run (kinds 1 and 3 between corners).
  virtual void Smooth();

  // Picking on the derived ring. Its points in ring order (empty before it
  // is built).
  std::vector<CPoint> GetRingPoints() const;
  // The start node of the ring segment nearest to (x, y) (the line is open:
  // no segment joins the last node to the first) when it lies within
  // `tolerance` millimetres plus one of it; null otherwise.
  CVertexNode* HitTestRing(int32_t x, int32_t y, double tolerance) const;
  // The main vertex of the item's own ring that a node of the derived ring
  // stands for: found by walking both in step (spline points skipped), else
  // the first main vertex with the node's position and kind; null for none.
  CVertexNode* MapRingNodeToMainVertex(const CVertexNode* ringNode) const;

  // 0: the line is drawn green, anything else 0xFF4000.
  int32_t PenSelector = 1;
  // Per-size words the readers and writers keep; one entry per size at
  // construction, copied whole with the item.
  std::vector<int32_t> SizeArrayA;
  std::vector<int32_t> SizeArrayB;
  std::vector<int32_t> SizeArrayC;
  // Low byte: the vertex mark (1 horizontal diamond, 2 vertical diamond,
  // 3 square). A non-zero second byte says a cross marker (type 27) belongs
  // to this line.
  int32_t MarkShape = 0;
  // A single node whose point gets the shaped mark too; owned, may be null.
  std::unique_ptr<CVertexNode> MarkedNode;
  // The smoothed points; owned, null until built.
  std::unique_ptr<CVertexRing> DerivedRing;
};

// Vertex codes (flags AND 0xFFFF) of the two labelled corners.
inline constexpr uint32_t kMarkedLineCodeMask = 0xFFFF;
inline constexpr uint32_t kMarkedLineCodeOne = 0xA02;
inline constexpr uint32_t kMarkedLineCodeThree = 0xB02;
