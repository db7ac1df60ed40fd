// The smoothed marked line (type 26): an open line through the main vertices,
// smoothed into a derived ring and drawn in a fixed colour with marks at its
// vertices and at one chosen node.
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
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  // Rebuilds the derived ring from the main vertices, without spline points.
  virtual void RebuildRing();
  // Rebuilds the derived ring and inserts the spline points.
  virtual void Smooth();

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
