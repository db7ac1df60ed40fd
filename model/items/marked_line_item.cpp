#include "model/items/marked_line_item.h"

#include <algorithm>
#include <cmath>

#include "design/geometry/point_line.h"
#include "model/items/marker_items.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/spline.h"
#include "model/style.h"
#include "model/work_area.h"
#include "platform/dc.h"

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kLinePen = 0xFF4000;
constexpr COLORREF kMarkFill = 0xFFFF00;
constexpr int kLabelFontHeight = 16;
// Room the extent keeps for the labels, which sit left of and above a mark.
constexpr int32_t kLabelRoomX = 900;
constexpr int32_t kLabelRoomY = 300;

size_t SizeSlots() { return g_Style.SizeCount > 0 ? static_cast<size_t>(g_Style.SizeCount) : 0; }

uint32_t Code(const CVertexNode& node) { return node.Flags & kMarkedLineCodeMask; }

// The shaped mark of `shape` (low byte of the mark-shape word) at device
// point p, with the selected pen and brush.
void DrawShapedMark(CDC* dc, int32_t shape, CPoint p) {
  const auto at = [p](int dx, int dy) { return CPoint(OffsetPixel(p.x, dx), OffsetPixel(p.y, dy)); };
  switch (shape & 0xFF) {
    case 1: {
      const CPoint diamond[] = {at(0, -3), at(9, 0), at(0, 3), at(-9, 0)};
      dc->Polygon(diamond, 4);
      break;
    }
    case 2: {
      const CPoint diamond[] = {at(3, 0), at(0, 9), at(-3, 0), at(0, -9)};
      dc->Polygon(diamond, 4);
      break;
    }
    case 3:
      dc->Rectangle(OffsetPixel(p.x, -4), OffsetPixel(p.y, -4), OffsetPixel(p.x, 5), OffsetPixel(p.y, 5));
      break;
    default:
      break;
  }
}

}  // namespace

CPieceItem26::CPieceItem26(CPieceItem* prev, CPieceItem* next)
    : CPieceItem(kItemTypeMarkedLine, prev, next),
      SizeArrayA(SizeSlots(), 0),
      SizeArrayB(SizeSlots(), 0),
      SizeArrayC(SizeSlots(), 0) {}

void CPieceItem26::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc) return;
  const int saved = dc->SaveDC();
  dc->SetBkColor(kWhite);
  LOGFONT logfont;
  CGdiObject* stock = CDC::GetStockObject(DEFAULT_GUI_FONT);
  if (!stock || stock->GetKind() != CGdiObject::Kind::kFont) stock = CDC::GetStockObject(ANSI_VAR_FONT);
  if (stock && stock->GetKind() == CGdiObject::Kind::kFont) static_cast<CFont*>(stock)->GetLogFont(&logfont);
  logfont.lfHeight = kLabelFontHeight;
  logfont.lfWidth = 0;
  CFont font;
  font.CreateFontIndirect(&logfont);
  CFont* oldFont = dc->SelectObject(&font);
  dc->SetTextColor(kRed);
  dc->SetTextAlign(TA_RIGHT);

  if (g_DrawFlagType26 && DerivedRing && DerivedRing->Count > 0) {
    std::vector<CPoint> points;
    points.reserve(static_cast<size_t>(DerivedRing->Count));
    CVertexNode* node = DerivedRing->Head;
    for (int32_t i = 0; i < DerivedRing->Count; ++i, node = node->Next) {
      points.push_back(ScreenPoint(node->X, node->Y, unitsPerPixel, originX, originY));
    }
    CPen pen(PS_SOLID, 1, PenSelector == 0 ? kGreen : kLinePen);
    CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
    CPen* oldPen = dc->SelectObject(&pen);
    dc->Polyline(points.data(), static_cast<int>(points.size()));

    CBrush fill(kMarkFill);
    dc->SelectObject(&fill);
    node = DerivedRing->Head;
    for (int32_t i = 0; i < DerivedRing->Count; ++i, node = node->Next) {
      const CPoint& p = points[static_cast<size_t>(i)];
      const uint32_t code = Code(*node);
      if (code == kMarkedLineCodeOne || code == kMarkedLineCodeThree) {
        DrawShapedMark(dc, MarkShape, p);
      } else if (code == 1 || code == 2) {
        DrawEllipseIfVisible(dc, p.x, p.y, OffsetPixel(p.x, -2), OffsetPixel(p.y, -2), OffsetPixel(p.x, 2),
                             OffsetPixel(p.y, 2));
      }
      if (code == kMarkedLineCodeOne || code == kMarkedLineCodeThree) {
        dc->TextOut(OffsetPixel(p.x, -10), OffsetPixel(p.y, -10), code == kMarkedLineCodeOne ? "1" : "3");
      }
    }
    if (MarkedNode) {
      DrawShapedMark(dc, MarkShape, ScreenPoint(MarkedNode->X, MarkedNode->Y, unitsPerPixel, originX, originY));
    }
    if (oldBrush) dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
  }

  dc->SelectObject(oldFont);
  dc->RestoreDC(saved);
}

void CPieceItem26::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem26::GetDrawExtent(CSizeRecord*, int* minX, int* maxX, int* minY, int* maxY) const {
  GetExtent(0, minX, maxX, minY, maxY);
}

void CPieceItem26::GetExtent(int, int* minX, int* maxX, int* minY, int* maxY) const {
  if (!DerivedRing) return;
  *minX = *minY = kBoxEmptyMin;
  *maxX = *maxY = kExtentEmptyMax;
  if (!g_Style.SizeRing || g_Style.SizeRing->Visible == 0) return;
  const CVertexNode* node = DerivedRing->Head;
  for (int32_t i = 0; i < DerivedRing->Count; ++i, node = node->Next) {
    *minX = std::min(*minX, node->X);
    *maxX = std::max(*maxX, node->X);
    *minY = std::min(*minY, node->Y);
    *maxY = std::max(*maxY, node->Y);
  }
  *minX = WrapSub(*minX, kLabelRoomX);
  *minY = WrapSub(*minY, kLabelRoomY);
}

void CPieceItem26::RebuildRing() {
  DerivedRing.reset();
  if (g_Style.SizeCount < 1) return;
  DerivedRing = std::make_unique<CVertexRing>();
  if (!VertexHead) return;
  CVertexNode* main = VertexHead;
  for (int32_t i = 0; i < VertexCount && !main->IsMain(); ++i) main = main->Next;
  if (!main->IsMain()) return;
  CVertexNode* const first = main;
  do {
    DerivedRing->AddTail(main->X, main->Y, main->Flags);
    main = NextMainVertex(main);
  } while (main && main != first);
}

void CPieceItem26::Smooth() {
  RebuildRing();
  if (DerivedRing && DerivedRing->Count > 2) SmoothRing(*DerivedRing);
}

std::vector<CPoint> CPieceItem26::GetRingPoints() const {
  std::vector<CPoint> points;
  if (!DerivedRing) return points;
  points.reserve(static_cast<size_t>(DerivedRing->Count));
  const CVertexNode* node = DerivedRing->Head;
  for (int32_t i = 0; i < DerivedRing->Count; ++i, node = node->Next) points.emplace_back(node->X, node->Y);
  return points;
}

CVertexNode* CPieceItem26::HitTestRing(int32_t x, int32_t y, double tolerance) const {
  if (!DerivedRing || DerivedRing->Count < 2) return nullptr;
  double best = (tolerance + 1.0) * g_Style.GetScale();
  CVertexNode* found = nullptr;
  CVertexNode* node = DerivedRing->Head;
  for (int32_t i = 0; i + 1 < DerivedRing->Count; ++i, node = node->Next) {
    const double d = PointSegmentDistance(CPoint(x, y), node->X, node->Y, node->Next->X, node->Next->Y);
    if (d < best) {
      best = d;
      found = node;
    }
  }
  return found;
}

CVertexNode* CPieceItem26::MapRingNodeToMainVertex(const CVertexNode* ringNode) const {
  if (!ringNode || !DerivedRing || !VertexHead) return nullptr;
  CVertexNode* const first = VertexHead->IsMain() ? VertexHead : NextMainVertex(VertexHead);
  if (!first || !first->IsMain()) return nullptr;
  // Step along the main vertices and the ring's own vertices together.
  CVertexNode* main = first;
  const CVertexNode* node = DerivedRing->Head;
  for (int32_t i = 0; i < DerivedRing->Count; ++i, node = node->Next) {
    if (node->Kind() == kVertexKindGraded) continue;
    if (node == ringNode) {
      if (main->X == node->X && main->Y == node->Y) return main;
      break;
    }
    main = NextMainVertex(main);
  }
  // Else the first main vertex at the node's place, of its kind.
  main = first;
  do {
    if (main->X == ringNode->X && main->Y == ringNode->Y && main->Kind() == ringNode->Kind()) return main;
    main = NextMainVertex(main);
  } while (main && main != first);
  return nullptr;
}
