// The per-piece steps and the closing pass (model/piece_load_steps.h) as the
// flat layouts of the native files ask for them.
#pragma once

#include <cstdint>

#include "model/piece_load_steps.h"

// The steps of the flat reader for a file of `magic`, `version` and
// `subVersion`: the old flat magic converts its vertex layout, the other
// flat magic decodes its corner codes from version 118 on (117 with
// sub-version 1175) and runs the outline checks.
PtnPieceSteps FlatPtnPieceSteps(uint32_t magic, int32_t version, uint16_t subVersion);

// The closing pass of the flat reader for a file of `magic`: the old flat
// magic repairs, the other flat magic unpacks its line attributes.
PtnClosingPass FlatPtnClosingPass(uint32_t magic);
