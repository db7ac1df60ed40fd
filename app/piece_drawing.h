// Drawing a whole piece on a device context: every item through its own
// drawing, the outline last so that it lies over the internal items, and the
// piece's two label texts along its grain line (style name, piece name,
// quantity and so on, from the label templates).
//
// The transform is the caller's: `unitsPerPixel` model units per device
// pixel, the model point (originX, originY) on device pixel (0, 0), model y
// downwards like device y. For a work-area piece the origin is the piece's
// own origin in the work area.
//
// No widget appears here: the work window, the list pane's thumbnails and the
// tests all draw through a CDC.
#pragma once

#include <cstdint>

#include "model/settings.h"
#include "platform/geometry_types.h"
#include "platform/text.h"

class CDC;
class CPieceRecord;
class CSizeRecord;

// The label settings (g_PtnDisplayFlag, g_PtnText1, g_PtnText2,
// g_DefaultFontInitial) are part of the settings block in model/settings.h.

// The piece as the views show it: every item's selected drawing (the plain
// drawing plus the vertex marks the display switches ask for), then the
// label texts while g_PtnDisplayFlag is set. A piece without items draws
// nothing at all.
void DrawPiece(CDC* dc, CPieceRecord* piece, double unitsPerPixel, int originX, int originY);

// The same with every item's plain drawing.
void DrawPieceItems(CDC* dc, CPieceRecord* piece, double unitsPerPixel, int originX, int originY);

// The two label texts of the first visible size: the first template's lines
// stand above the grain line, ending 1 mm and a pixel above it, the second's
// below it; both turned with the line (read from its left end, so never
// upside down) and centred on it, shrunk when wider than the line less a
// margin at each end (a sixth of the line below 120 mm, else 20 mm). No
// visible size or no grain line (type 1): nothing. When printing no text is
// smaller than 3 mm or 30 device pixels; on the screen none below 0.5 mm or
// one pixel. The device context's pen, font and background mode are left as
// they were.
void DrawPieceLabelTexts(CDC* dc, CPieceRecord* piece, double unitsPerPixel, int originX, int originY);

// A label template with its codes replaced for this piece and size. Codes are
// '&' and one letter, either case: P piece name, C annotation, M category,
// N " X " quantity " ", S the size's name (empty without a size), T the style
// name, O the style's first header text, U its fourth. An '&' before any
// other character is kept with that character; a trailing '&' is kept. Text
// bytes are copied unchanged.
CString ExpandLabelTemplate(const CPieceRecord& piece, const CString& labelTemplate, const CSizeRecord* size);
