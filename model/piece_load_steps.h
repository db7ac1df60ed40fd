// What the native readers do with a piece once its record is read, and with
// the style once every piece is in: the conversions of the older layouts,
// the tidying of vertex kinds and lines, the orientation, the curves and the
// box, the notch and marker checks against the outline, and the closing pass
// that lists the pieces, repairs them and unpacks the line attributes.
//
// The flat reader (formats/ptn_reader.h) and the stored pieces of the
// archive layout (design/core/stored_pieces.cpp) run nearly the same steps;
// where they differ, the difference is a field of the options below, so that
// every reader calls these functions rather than a copy of them. All of them
// work on g_Style (a reader that reads into a style of its own lends it to
// g_Style first).
#pragma once

#include <cstdint>
#include <optional>

class CPieceItem;
class CPieceRecord;

// Which corner-code pass a piece just read gets first.
enum class PtnCornerPass {
  kNone,
  kConvertOldVertexLayout,  // one position per vertex and the old corner codes (0x55555555 files)
  kDecodeCornerCodes,       // the flat file's corner codes to the in-memory ones
};

// The steps for one piece just read.
struct PtnPieceSteps {
  PtnCornerPass cornerPass = PtnCornerPass::kNone;
  // The load-mode word set around the orientation pass (the file's magic
  // word; the piece operations test it), put back afterwards.
  int32_t loadMagic = 0;
  // Whether the notch item is trimmed against the outline, the first marker
  // item (type 2, else type 4) is dropped when its head vertex is no main
  // vertex of the kinds 0 to 5, and the V shapes are tied to the outline.
  bool outlineChecks = false;
};

// Runs on `piece`, in this order: the corner pass; NormalizeVertexKinds and
// JoinOpenLines; NormalizeOrientation(1) under the load-mode word;
// UpdateCurveItems, Recalc(0) and UpgradeCornerParams (which acts only for a
// style data version below 106); then, when asked, the outline checks. The
// piece is not added to the style: the caller does that. A piece without an
// outline, or whose outline has no vertex, skips the notch trim; a marker
// item without vertices is left as it is.
void RunPtnPieceSteps(CPieceRecord* piece, const PtnPieceSteps& steps);

// The piece's outline when it has one with at least one vertex, else null:
// an outline without vertices counts as none.
CPieceItem* PtnOutlineOf(const CPieceRecord* piece);

// The end of one piece record: the repeated internal lines are removed and
// the piece's reference point (AuxX, AuxY) is set from its outline's head
// vertex; a piece without an outline (PtnOutlineOf) keeps its own.
void FinishPtnPieceRecord(CPieceRecord* piece);

// The closing pass once every piece is in the style.
struct PtnClosingPass {
  // The work window's scale is set to 3.0 around CStyle::RepairLoadedPieces,
  // then every piece gets NormalizeVertexKinds and RebuildDerivedItems(1).
  bool repair = false;
  // The scale the work window gets after the repair pass; none: the one it
  // had before.
  std::optional<double> viewScaleAfterRepair;
  // The line attributes of the internal lines are taken from their head
  // vertices' attribute words (UnpackLineAttributes).
  bool unpackLineAttributes = false;
};

// Adds every piece of the style, in ring order, to the list pane; runs the
// repair pass when asked; marks the segment items off the outline
// (MarkItems7OffOutline); sets the style's data version to
// g_DefaultDataVersion; unpacks the line attributes when asked. False when
// the repair pass left no piece or no size (the read then fails); the work
// window's scale is put back on every path.
bool RunPtnClosingPass(const PtnClosingPass& pass);
