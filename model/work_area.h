// The geometry helpers that need more than numbers: the bookkeeping of the
// pieces placed in the work area (their placed rectangles, origins and the
// extent the work window shows), the selection frame, vertex marks clipped to
// the work window, and two routines that tie items to the piece outline after
// loading. They read the style (g_Style), the selection (g_Selection) and the
// work window (g_pWorkWindow, model/shell_services.h); without a work window
// its view origin counts as (0, 0) and its scale as 1.
//
// A work-area piece maps model units to work-area units by
//   placed = box - piece origin + view origin,
// kept in its Placed and Origin fields. Sums over the empty-box markers wrap
// in 32 bits, as the stored values always did.
#pragma once

#include "platform/win_types.h"

class CDC;
class CPieceCurveItem;
class CPieceRecord;
struct CVertexNode;

// Recomputes every work-area piece's origin from its placed rectangle and the
// view origin: Origin = BoxMin - (PlacedLeft/Top - view origin).
void SyncWorkPieceOrigins();

// Gives every work-area piece its placed rectangle from its box, origin and
// the view origin, and returns the union of these rectangles (from the
// empty-box markers 0x7FFFFFFF / 0x80000001 on). With no piece in the work
// area: all four 0, and the work window's scale and view origin set to 0.
void CalcWorkAreaExtent(int* left, int* right, int* top, int* bottom);

// Stores the union of the work-area pieces' placed rectangles as the work
// window's Extent. TRUE when that changed it; FALSE, with nothing changed,
// when the work area is empty or there is no work window.
BOOL UpdateWorkAreaExtent();

// Whether the view may zoom in to the work window's current scale: TRUE for
// an empty work area; FALSE when for some piece its box, taken relative to its
// origin and divided by the scale, has a minimum beyond 30000 or a maximum
// beyond 25000 pixels (absolute, in x or y), as the device could not draw it.
BOOL CanZoomIn();

// Makes `piece` (a work-area piece or null) the current piece: erases the
// old current piece's selection frame on the work window, sets the selection
// (CSelectionState::SetCurrent with no item or nodes) and draws the new
// frame. Nothing when the piece is already current.
void SelectCurrentPiece(CPieceRecord* piece);

// Draws the ellipse in the box (left, top, right, bottom) as a vertex mark at
// device point (x, y): always when printing; on the screen only when (x, y)
// lies within the work window's client rectangle, edges included, so that
// marks far outside the window are not sent to the device. Without a work
// window the ellipse is drawn.
void DrawEllipseIfVisible(CDC* dc, int x, int y, int left, int top, int right, int bottom);

// Carries the line from `a` through `b` on to the curve item's first-size
// curve: at the first curve segment (from the curve's head) that the line's
// ray from a through b meets within the segment, inserts a corner (main vertex
// of kind 2) at the crossing into the item's ring, with a per-size copy (kind
// 64) for every further size at the same place, in front of the main vertex
// that ends the segment's span. Returns the new main vertex, or null when no
// segment is met (or the curve is not built).
CVertexNode* ExtendLineToOutline(CPieceCurveItem* curve, CVertexNode* a, CVertexNode* b);

// Ties the two leg ends of every V shape (type 6) of a piece to vertices of
// the piece's outline (type 0), as a native pattern is opened: each end is
// matched to the outline's main vertex at its position, or else to the
// nearest within 2 mm. A matched outline vertex is marked (flag 0x800) and
// the end takes its position in every size where both have a per-size copy.
// A V shape with an end that matches nothing is removed from the piece, and
// then no outline vertex is marked for it. A piece without an outline is
// left as it is.
void AttachType6ItemsToOutline(CPieceRecord* piece);
