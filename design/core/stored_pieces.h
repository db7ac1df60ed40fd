// The stored pieces of a design file (data version 150 and later): the
// computed pieces of the style, ready to draw, that follow the design. They
// are read by CPatternData::ReadPieces and CPatternData::ReadItems
// (design/core/pattern_data.h); this header offers what the loader's setup
// calls for them.
#pragma once

// Joins the piece item classes to the item-code table (design/core/
// factories.h) under the codes the stored pieces use: codes 0 to 13 and 17
// to 29 make the item of that type; 14, 15 and 16 make items of types 8, 9
// and 10. Calling it again changes nothing.
void RegisterPieceItemCodes();
