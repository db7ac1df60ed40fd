// The plain DXF writer: the pieces of the process-wide style drawn into one
// ENTITIES section, size by size, as POLYLINE/VERTEX/SEQEND, LINE, CIRCLE,
// POINT and TEXT entities, each piece with five label texts (name,
// annotation, category, quantity, size).
//
// DXF's y axis points up and the model's down: every piece is written from a
// mirrored copy, so the style itself is never changed. Lengths are written in
// inches when the display unit is an inch unit, else in millimetres. Layers:
// 11 the drawing, 2 corner points, 3 curve points, 1 the texts.
#pragma once

#include "platform/text.h"

class DxfOutput;

// The choices of the save dialog (CDxfSaveDlg holds the same four).
struct DxfSaveOptions {
  // 0 the work-area pieces at their places there; 1 every piece, side by
  // side from the origin.
  int pieceSet = 1;
  // 0 the sizes of a piece side by side, each with its labels; 1 overlaid.
  int sizeLayout = 1;
  // 1: notches become outward bumps of the outline, the cut line and the
  // contour, and the notch marks themselves are left out.
  int notchBump = 0;
  // 1: outlines and internal lines are written with every point of their
  // smoothed curve instead of their main vertices.
  int addControlPoints = 0;
};

// Asks the options (CDxfSaveDlg) and writes `path`.
//
// 1 when the file was written, and when the user cancelled (nothing
// written). 0, after message 40001, when the chosen set holds no piece
// (nothing written) or when the file could not be created or written
// completely: the file goes to a temporary file beside the target that
// replaces it only when everything was written, so on 0 the target is as it
// was.
int SaveDxfFile(const CString& path);

// The same without asking: writes `path` with these options.
int SaveDxfFileWithOptions(const CString& path, const DxfSaveOptions& options);

// The whole file's lines, from "SECTION" to "EOF", for the chosen pieces of
// g_Style. False, with nothing written, when the chosen set holds no piece.
bool WriteDxfStyle(DxfOutput& out, const DxfSaveOptions& options);
