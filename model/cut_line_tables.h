// The working tables of one rebuild of a piece's cut line, and the steps
// that fill and tidy them (CPieceRecord::RebuildDerivedItems runs them in
// order).
//
// The cut line runs at the corner widths beside the outline: outside for
// positive widths, inside for negative ones. Between two vertices that carry
// widths the width blends along the outline. At each outline vertex its
// corner code says how the cut line turns (model/cut_line_corners.h).
//
// The work goes through tables of positions: one position per vertex and per
// spline point of the outline's curves, the sizes in step, so that position
// i is the same place of the outline in every size. Corners that need more
// than one cut-line point get extra positions; points that are not wanted
// are marked deleted and compacted away. The tables grow as needed.
// Internal to the rebuild.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/cut_line_geometry.h"

class CPieceCurveItem;
class CPieceItem12;
struct CVertexNode;

namespace cut_line {

class CutLineTables {
 public:
  // `outline` is the working copy of the piece's outline, smoothed; it must
  // outlive the tables. The sizes are the style's.
  explicit CutLineTables(CPieceCurveItem* outline);

  // One position per outline vertex and spline point, every size in step,
  // with the widths and corner code of each vertex's parameter node. False
  // when the outline has no curve in some size, or no main vertex.
  bool CollectPositions();
  // Gives every position without widths the width blended along the
  // outline between the vertices that carry widths (0 when none does).
  void SpreadWidths();
  // Moves size `s`'s points out to the cut line, corner by corner; size 0
  // also settles the corner codes and adds the positions a corner needs.
  // False, with the size's points left on the outline, when the size has no
  // segment long enough to give a line.
  bool OffsetSize(int s);
  // Marks deleted a position at the place of the one before it in every
  // size, the kept one taking over what it says about the vertex.
  void MergeRepeats();
  // Drops the deleted positions.
  void Compact();
  // Inside the outline: deletes the points that a corner folded back much
  // nearer to the outline than the width there, then compacts.
  void RemoveNearOutline();
  // Cuts off the loops where size `s`'s cut line crosses itself: the smaller
  // loop shrinks to the crossing.
  void CutLoops(int s);
  // The cut line made of the positions whose first-size point is a vertex;
  // null when fewer than three vertices are left. The caller owns it.
  std::unique_ptr<CPieceItem12> MakeCutLine() const;

  size_t Count() const { return positions_.size(); }

 private:
  // The width blended along the outline at `node`, from the parameter nodes
  // before and after it; `firstPoint` is the first size's point there.
  int32_t LocalWidth(CVertexNode* node, CPoint firstPoint) const;
  // Makes the kept vertex nearest to position i a corner.
  void DemoteNeighbour(size_t i);
  // Where size `s`'s walk starts: the first usable segment ending at position
  // 0 or after it, giving the first incoming line and the point before it.
  size_t WalkStart(int s, Line* lineA, CPoint* before) const;

  CPieceCurveItem* outline_;
  int sizes_;
  std::vector<Position> positions_;
  std::vector<std::vector<Point>> points_;  // per size, per position
};

}  // namespace cut_line
