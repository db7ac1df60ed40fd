// The entry for native files of the archive layout: the parametric design
// (design/core/pattern_data.h) is loaded whole, a design newer than the
// program or without any piece is reported, and from data version 150 on
// the computed pieces that the loader has read into the style are kept.
// Designs of older versions, whose pieces would have to be built from the
// pattern records, are not converted yet.
#pragma once

#include "formats/ptn_reader.h"
#include "platform/archive.h"

// Reads the archive at its first byte into g_Style (a reader that reads into
// a style of its own lends it to g_Style first); `mode` 1 takes over the
// design's header, scale and sizes, the only mode the program uses. No
// message is shown: `report` names what the caller shows.
//
// 1 with the pieces in g_Style and the list pane (the report's message is
// the version warning 40006 for a design newer than the program). 0 when:
// the design holds a kind of record not read yet (refused with 40006, the
// style untouched); the design is damaged or cut short (40003), holds no
// pattern record (40008), or its pieces would have to be built from the
// pattern records (below version 150: refused with 40006); the style is then
// empty except where it was refused.
int ReadPtnArchive(ArchiveReader& archive, int mode, PtnReadReport& report);
