// The plain DXF reader: a drawing of lines, polylines, arcs, circles, texts
// and points becomes pattern pieces of a style.
//
// The user is asked first for the file's unit and whether the drawing holds
// one pattern or many; only then is the style cleared. Every entity becomes an
// item of one piece; the piece gets an outline (its first closed polyline, its
// first circle, or a default square), is mirrored from DXF's upward y to the
// model's downward y and, for many patterns, split into one piece per closed
// polyline of at least the area of a 20 mm square.
#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"
#include "platform/win_types.h"

class CStyle;

enum class DxfReadResult {
  kSuccess,    // the style holds the pieces read; the list pane shows them
               // (a drawing cut short before its EOF: with the warning 40015)
  kRefused,    // not an ASCII DXF file: message 40005, the style untouched
  kFailed,     // no regular file or cannot be opened (40002, style untouched),
               // or the file ends inside an entity, is damaged there or holds
               // a coordinate that is no number or beyond what the model
               // holds (40004, style empty)
  kCancelled,  // the user cancelled the options: nothing changed
};

// The answers of the options dialog.
struct DxfReadOptions {
  int dataUnit = 0;           // 0 millimetres, 1 centimetres, 2 inches (others: clamped)
  bool manyPatterns = false;  // split the drawing at its closed polylines
};

// How a read ended and, when it did not succeed, where and why.
struct DxfReadReport {
  DxfReadResult outcome = DxfReadResult::kSuccess;
  UINT messageId = 0;  // the message for the user (a warning on success); 0 for none
  int line = 0;        // 1-based line of the file where reading stopped; 0 when none applies
  std::string reason;  // a few words on what was wrong ("ends inside POLYLINE"); empty on success
};

// Reads the DXF file held in `bytes` into `style` with the options given; no
// dialog and no message (the report names the message a caller shows).
// `style` may be g_Style or any other style: another one is swapped into
// g_Style while the read runs (the model works on g_Style) and swapped back
// before the call returns, so g_Style then holds what it held before. The
// list pane is kept up to date as for a read into g_Style.
//
// Refused (not an ASCII DXF file): `style` untouched. Otherwise `style` is
// cleared first; after a data error it is left empty.
DxfReadReport ReadDxfBytes(std::string_view bytes, CStyle& style, const DxfReadOptions& options);

// Reads `path` in place of g_Style: opens the file, checks it is an ASCII DXF
// file, asks the options, reads it with ReadDxfBytes into a style of its own
// (StagedStyleRead) that replaces g_Style only when the read succeeds, and
// shows a failure to the user through the prompt seam. On any failure
// g_Style, the list pane and the selection stay as they were, and the message
// shows with them in place. The caller sets the window title and redraws on
// success.
DxfReadResult ReadDxfFile(const CString& path);

// The report of the last ReadDxfFile call (kSuccess with no reason before
// any), for tools that tell where a refused file went wrong. It is stored
// before any failure message is shown.
const DxfReadReport& LastDxfReadReport();

// The open command's view of a result: 1 when the file was read or the user
// cancelled, 0 when it could not be read.
int DxfReadResultCode(DxfReadResult result);
