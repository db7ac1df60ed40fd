// Auxiliary drawings of a piece and of vertex rings: a piece fitted into a
// device rectangle (its outline alone, or the whole piece for one size), and
// small shapes drawn from a vertex ring (closed and open paths, a plus mark,
// a circle and a drill hole).
//
// The frame that marks the current piece in the work window and the point
// numbers beside vertices are drawn by the model's shell drawing
// (DrawPieceSelectionFrame and DrawPointNumber in model/shell_services.h).
//
// The ring shapes take an explicit transform: `scale` model units per device
// pixel with the model point (originX, originY) on device pixel (0, 0).
#pragma once

#include "platform/win_types.h"

class CBrush;
class CDC;
class CPieceRecord;
class CSizeRecord;
struct CVertexNode;

// The transform that puts a piece's model box, centred, into the device
// rectangle (left, top, right, bottom, all edges included): the larger of the
// two ratios of box to rectangle, and the origin that puts the box's centre
// on the rectangle's centre.
struct FittedTransform {
  double scale = 1.0;
  int originX = 0;
  int originY = 0;
};
FittedTransform FitPieceToRect(const CPieceRecord& piece, int left, int top, int right, int bottom);

// The piece's outline (its first type-0 item) fitted into the rectangle, as
// one closed path through its main vertices (kinds below 4) and graded
// vertices (kind 100), filled with `brush` first when it is not null, then
// stroked with the current pen. Nothing without an outline.
void DrawPieceOutlineFitted(CDC* dc, int left, int top, int right, int bottom, CPieceRecord* piece,
                            CBrush* brush);

// The whole piece fitted into the rectangle, drawn for `size` alone (every
// other size hidden while it draws; the visible flags are put back after).
void DrawPieceFittedForSize(CDC* dc, int left, int top, int right, int bottom, CPieceRecord* piece,
                            CSizeRecord* size);

// Every node of the ring from `node` on as one closed (open) path.
void DrawRingClosed(CDC* dc, double scale, int originX, int originY, CVertexNode* node);
void DrawRingOpen(CDC* dc, double scale, int originX, int originY, CVertexNode* node);
// A plus sign at the node.
void DrawPlusMarker(CDC* dc, double scale, int originX, int originY, CVertexNode* node);
// A circle about the node whose radius is the next node's x (model units).
void DrawRingCircle(CDC* dc, double scale, int originX, int originY, CVertexNode* node);
// A drill hole: the same circle, at least 3 pixels in radius, with a cross.
void DrawDrillHole(CDC* dc, double scale, int originX, int originY, CVertexNode* node);
