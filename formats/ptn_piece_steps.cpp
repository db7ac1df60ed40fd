#include "formats/ptn_piece_steps.h"

#include "formats/ptn_layout.h"

PtnPieceSteps FlatPtnPieceSteps(uint32_t magic, int32_t version, uint16_t subVersion) {
  PtnPieceSteps steps;
  steps.loadMagic = static_cast<int32_t>(magic);
  if (magic == kPtnMagicOldFlat) {
    steps.cornerPass = PtnCornerPass::kConvertOldVertexLayout;
    return steps;
  }
  if (version >= kPtnFirstVersionWithEncodedCorners ||
      (version == kPtnVersionWithSubVersionCheck && subVersion == kPtnSubVersionEncodedCorners)) {
    steps.cornerPass = PtnCornerPass::kDecodeCornerCodes;
  }
  steps.outlineChecks = true;
  return steps;
}

PtnClosingPass FlatPtnClosingPass(uint32_t magic) {
  PtnClosingPass pass;
  pass.repair = magic == kPtnMagicOldFlat;
  pass.unpackLineAttributes = magic != kPtnMagicOldFlat;
  return pass;
}
