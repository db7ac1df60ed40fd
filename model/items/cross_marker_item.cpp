#include "model/items/cross_marker_item.h"

#include "model/items/marker_items.h"
#include "model/work_area.h"
#include "platform/dc.h"

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kDiscFill = 0xFFFF00;   // red 0, green 255, blue 255
constexpr COLORREF kCrossPen = 0xFF4000;   // red 0, green 64, blue 255
constexpr COLORREF kCentreDot = 0x0000FF;  // red
constexpr int kArm = 12;                   // pixels from the centre to an arrow tip
constexpr int kHead = 4;                   // pixels an arrow head's stroke spans each way
constexpr int kDisc = 7;                   // radius of the disc under the cross
constexpr int kDot = 4;                    // radius of the centre dot

// Pixel offsets (dx1, dy1) -> (dx2, dy2) from the centre: the two bars, then
// the heads of the four arrows.
struct Stroke {
  int dx1, dy1, dx2, dy2;
};
constexpr Stroke kStrokes[] = {
    {-kArm, 0, kArm + 1, 0},
    {0, -kArm, 0, kArm + 1},
    {-kArm, 0, -kArm + kHead, kHead},
    {-kArm, 0, -kArm + kHead, -kHead},
    {kArm, 0, kArm - kHead, kHead},
    {kArm, 0, kArm - kHead, -kHead},
    {0, -kArm, kHead, -kArm + kHead},
    {0, -kArm, -kHead, -kArm + kHead},
    {0, kArm, kHead, kArm - kHead},
    {0, kArm, -kHead, kArm - kHead},
};

void DrawDisc(CDC* dc, CPoint c, int r) {
  DrawEllipseIfVisible(dc, c.x, c.y, OffsetPixel(c.x, -r), OffsetPixel(c.y, -r), OffsetPixel(c.x, r),
                       OffsetPixel(c.y, r));
}
}  // namespace

void CPieceItem27::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc) return;
  const int saved = dc->SaveDC();
  dc->SetBkColor(kWhite);
  if (VertexHead && VertexCount > 0) {
    CBrush brush(kDiscFill);
    CPen pen(PS_SOLID, 1, kCrossPen);
    CBrush* oldBrush = dc->SelectObject(&brush);
    CPen* oldPen = dc->SelectObject(&pen);
    const CPoint c = ScreenPoint(VertexHead->X, VertexHead->Y, unitsPerPixel, originX, originY);
    for (const Stroke& s : kStrokes) {
      dc->MoveTo(OffsetPixel(c.x, s.dx1), OffsetPixel(c.y, s.dy1));
      dc->LineTo(OffsetPixel(c.x, s.dx2), OffsetPixel(c.y, s.dy2));
    }
    DrawDisc(dc, c, kDisc);
    dc->SelectObject(oldBrush);
    if (Dot != 0) {
      CBrush dotBrush(kCentreDot);
      CBrush* previous = dc->SelectObject(&dotBrush);
      DrawDisc(dc, c, kDot);
      dc->SelectObject(previous);
    }
    dc->SelectObject(oldPen);
  }
  dc->RestoreDC(saved);
}

void CPieceItem27::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}
