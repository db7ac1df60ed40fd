// The plain DXF reader: a drawing of lines, polylines, arcs, circles, texts
// and points becomes pattern pieces of the process-wide style.
//
// The user is asked first for the file's unit and whether the drawing holds
// one pattern or many; only then is the style cleared. Every entity becomes an
// item of one piece; the piece gets an outline (its first closed polyline, its
// first circle, or a default square), is mirrored from DXF's upward y to the
// model's downward y and, for many patterns, split into one piece per closed
// polyline of at least the area of a 20 mm square.
#pragma once

#include "platform/text.h"

enum class DxfReadResult {
  kSuccess,    // the style holds the pieces read; the list pane shows them
  kRefused,    // not an ASCII DXF file: message 40005, the style untouched
  kFailed,     // cannot be opened (40002, style untouched), or the file ends
               // inside an entity or is damaged there (40004, style empty)
  kCancelled,  // the user cancelled the options: nothing changed
};

// Reads `path` into g_Style. Failures are shown to the user through the
// prompt seam; the caller sets the window title and redraws on success.
DxfReadResult ReadDxfFile(const CString& path);

// The open command's view of a result: 1 when the file was read or the user
// cancelled, 0 when it could not be read.
int DxfReadResultCode(DxfReadResult result);
