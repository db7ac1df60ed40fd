// Unfolding a half piece into the whole piece.
#pragma once

// Turns the current piece, drawn as one half of a symmetric piece, into the
// whole piece. The selection's two vertices (CSelectionState values 2 and 3)
// are the ends of the fold line on the current piece's outline; the fold line
// runs forward along the outline from one to the other, and the outline
// vertices between them along it are dropped. The piece's mirror image about
// the fold line is joined on there, each size aligned on its own fold line
// when the fold line is graded, and the result is added to the style as a new
// listed piece with its work-area copy, placed, and the view fitted. The
// current piece is left as it was. Nothing happens without a current piece or
// when the selection does not hold two distinct main vertices, at different
// places, of its outline.
void UnfoldCurrentPiece();
