// The text item (type 11): a text at an anchor point in a font of its own.
// It is not graded: one anchor and one text serve every size, and it is drawn
// once. Its vertex ring is not part of its geometry: the vertex removals and
// the main-vertex steps do nothing, and the finders never match a text.
#pragma once

#include <cstdint>

#include "model/piece_item.h"
#include "platform/geometry_types.h"
#include "platform/text.h"

class CPieceItem11 : public CPieceItem {
 public:
  // Anchor (0, 0), empty text, the font g_DefaultFont.
  CPieceItem11(CPieceItem* prev, CPieceItem* next);
  // Draws the text once, in the colour of the only visible size, or of the
  // first size when none or several are visible. A text of one line is
  // written at its anchor; one of several lines line by line down the left
  // edge of its box (GetTextBox). The device context's font and background
  // mode are put back.
  void Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  void DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) override;
  // Both set (not merge) the four values to the box of the text in model
  // units, measured at one unit per pixel with the work window's device
  // context (with the fixed metrics when no work window is installed).
  void GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const override;
  void GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const override;

  CVertexNode* RemoveVertex(CVertexNode* node) override;
  CVertexNode* RemoveGradedVertex(CVertexNode* node) override;
  CVertexNode* NextMainVertex(CVertexNode* node) const override;
  CVertexNode* PrevMainVertex(CVertexNode* node) const override;

  void SetText(const char* text) { Text = CString(text); }

  // The text's box on the device, turned by the font's angle about the
  // anchor: corners[0] the top left (before turning), then clockwise, each
  // `margin` pixels outside the text. The box is as wide as the longest line
  // and as high as a line times the number of lines, measured with `dc`.
  void GetTextBox(CDC* dc, double unitsPerPixel, int originX, int originY, int margin, CPoint corners[4]) const;

  // The item's font at its height on the device: lfHeight / unitsPerPixel,
  // at least one pixel (a height of 0 too, keeping the sign otherwise) and
  // at most 32000.
  LOGFONT ScreenFont(double unitsPerPixel) const;

  int32_t AnchorX = 0;  // model units
  int32_t AnchorY = 0;
  // Lines separated by a line feed; GBK bytes as read.
  CString Text;
  // lfHeight is the text height in model units, lfEscapement the angle in
  // tenths of a degree.
  LOGFONT Font;
};

// A font height on the device from a height in pixels: rounded half away from
// zero, held to +-32000 pixels (what the device can make); NaN gives 0.
int32_t ClampFontHeight(double pixels);
