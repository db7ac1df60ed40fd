#include "design/core/pattern_data.h"

// Until the stored pieces are read.
BOOL CPatternData::ReadPieces(ArchiveReader&, int32_t, uint32_t) { return TRUE; }
