// The Lectra import: the IBA files picked in the IBA dialog are listed in
// "ACTCONFIG/AAMA.LST", the converter "convert" of the program's folder
// turns them into AAMA files with their *.RUL tables in "DXF/", and those are
// read into one style.
#pragma once

#include "platform/text.h"

// How long the converter may run before it counts as failed and is ended.
// Tests lower it.
extern int g_IbaConverterTimeoutMs;
inline constexpr int kIbaConverterTimeoutMs = 10 * 60 * 1000;

// Whether the *.RUL files of `folder` say one style: their lines 7, 8 and 9
// (trimmed, compared without regard to case) agree. A file that does not
// open is passed over; a missing line counts as empty text.
bool IbaRuleFilesAgree(const CString& folder);

// The whole command, its dialog included. Cancel changes nothing. Before the
// converter runs and after the files are read, the *.DXF and *.RUL files of
// "DXF/" (and nothing else) are deleted; when the files are not of one style
// (40012) they stay. A converter that cannot start or runs past the time
// allowed shows 40014 and nothing is read.
void IbaImportCommand();
