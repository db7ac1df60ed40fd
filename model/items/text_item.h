// The text item (type 11): a text at an anchor point in a font of its own.
// Its vertex ring is not part of its geometry: the vertex removals and the
// main-vertex steps do nothing, and the finders never match a text.
#pragma once

#include <cstdint>

#include "model/piece_item.h"
#include "platform/geometry_types.h"
#include "platform/text.h"

class CPieceItem11 : public CPieceItem {
 public:
  // Anchor (0, 0), empty text, the font g_DefaultFont.
  CPieceItem11(CPieceItem* prev, CPieceItem* next);
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  CVertexNode* RemoveVertex(CVertexNode* node) override;
  CVertexNode* RemoveGradedVertex(CVertexNode* node) override;
  CVertexNode* NextMainVertex(CVertexNode* node) const override;
  CVertexNode* PrevMainVertex(CVertexNode* node) const override;

  void SetText(const char* text) { Text = CString(text); }

  int32_t AnchorX = 0;  // model units
  int32_t AnchorY = 0;
  // Lines separated by a line feed; GBK bytes as read.
  CString Text;
  // lfHeight is the text height in model units, lfEscapement the angle in
  // tenths of a degree.
  LOGFONT Font;
};
