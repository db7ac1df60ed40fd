#include "app/marking.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/piece_drawing.h"
#include "model/geometry.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "model/vertex_node.h"
#include "platform/dc.h"

namespace {

// A ring is circular; this bounds the walk of one whose links were damaged.
constexpr int kMaxRingNodes = 1 << 22;
constexpr int kMinDrillRadius = 3;

CPoint ToDevice(const CVertexNode* node, double scale, int originX, int originY) {
  CPoint p;
  ModelToScreen(node->X, node->Y, &p.x, &p.y, scale, originX, originY);
  return p;
}

std::vector<CPoint> RingPoints(const CVertexNode* node, double scale, int originX, int originY) {
  std::vector<CPoint> points;
  const CVertexNode* n = node;
  for (int i = 0; i < kMaxRingNodes && n != nullptr; ++i) {
    points.push_back(ToDevice(n, scale, originX, originY));
    n = n->Next;
    if (n == node) break;
  }
  return points;
}

// Device coordinates are worked out in 64 bits and brought back into the
// device's range, so that a far-off point or a huge radius cannot overflow.
int Px(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

int RadiusOfNext(const CVertexNode* node, double scale) {
  const CVertexNode* next = node->Next ? node->Next : node;
  return RoundToNearest(next->X / scale);
}

}  // namespace

FittedTransform FitPieceToRect(const CPieceRecord& piece, int left, int top, int right, int bottom) {
  const int64_t w = int64_t{right} - left + 1;
  const int64_t h = int64_t{bottom} - top + 1;
  const int64_t box_w = int64_t{piece.BoxMaxX} - piece.BoxMinX + 1;
  const int64_t box_h = int64_t{piece.BoxMaxY} - piece.BoxMinY + 1;
  FittedTransform t;
  if (w <= 0 || h <= 0) return t;
  t.scale = std::max(static_cast<double>(box_w) / w, static_cast<double>(box_h) / h);
  if (!(t.scale > 0)) t.scale = 1.0;
  t.originX = RoundToInt(static_cast<double>(box_w / 2 + piece.BoxMinX) - static_cast<double>(w / 2 + left) * t.scale);
  t.originY = RoundToInt(static_cast<double>(box_h / 2 + piece.BoxMinY) - static_cast<double>(h / 2 + top) * t.scale);
  return t;
}

void DrawPieceOutlineFitted(CDC* dc, int left, int top, int right, int bottom, CPieceRecord* piece,
                            CBrush* brush) {
  if (!dc || !piece) return;
  CPieceItem* outline = nullptr;
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; i < piece->ItemCount && item != nullptr; ++i, item = item->Next) {
    if (item->Type == kItemTypeOutline) {
      outline = item;
      break;
    }
  }
  if (!outline || !outline->VertexHead) return;
  const FittedTransform t = FitPieceToRect(*piece, left, top, right, bottom);

  // From the first main vertex round the ring: the corners and curve points
  // (kinds below 4) and the graded points between them.
  CVertexNode* start = outline->VertexHead;
  for (int i = 0; i < outline->VertexCount && start != nullptr && !start->IsMain(); ++i) start = start->Next;
  if (!start || !start->IsMain()) return;
  std::vector<CPoint> points;
  points.push_back(ToDevice(start, t.scale, t.originX, t.originY));
  CVertexNode* n = start->Next;
  for (int i = 0; i < outline->VertexCount && n != nullptr && n != start; ++i, n = n->Next) {
    if (n->Kind() < 4 || n->Kind() == kVertexKindGraded) points.push_back(ToDevice(n, t.scale, t.originX, t.originY));
  }
  points.push_back(points.front());

  if (brush) {
    CPen no_pen(PS_NULL, 1, 0);
    CPen* old_pen = dc->SelectObject(&no_pen);
    CBrush* old_brush = dc->SelectObject(brush);
    dc->Polygon(points.data(), static_cast<int>(points.size()));
    dc->SelectObject(old_brush);
    dc->SelectObject(old_pen);
  }
  dc->Polyline(points.data(), static_cast<int>(points.size()));
}

void DrawPieceFittedForSize(CDC* dc, int left, int top, int right, int bottom, CPieceRecord* piece,
                            CSizeRecord* size) {
  if (!dc || !piece) return;
  const FittedTransform t = FitPieceToRect(*piece, left, top, right, bottom);
  std::vector<int32_t> visible;
  CSizeRecord* s = g_Style.SizeRing;
  for (int i = 0; i < g_Style.SizeCount && s != nullptr; ++i, s = s->Next) {
    visible.push_back(s->Visible);
    s->Visible = s == size ? 1 : 0;
  }
  DrawPieceItems(dc, piece, t.scale, t.originX, t.originY);
  s = g_Style.SizeRing;
  for (size_t i = 0; i < visible.size() && s != nullptr; ++i, s = s->Next) s->Visible = visible[i];
}

void DrawRingClosed(CDC* dc, double scale, int originX, int originY, CVertexNode* node) {
  if (!dc || !node) return;
  std::vector<CPoint> points = RingPoints(node, scale, originX, originY);
  points.push_back(points.front());
  dc->Polyline(points.data(), static_cast<int>(points.size()));
}

void DrawRingOpen(CDC* dc, double scale, int originX, int originY, CVertexNode* node) {
  if (!dc || !node) return;
  const std::vector<CPoint> points = RingPoints(node, scale, originX, originY);
  dc->Polyline(points.data(), static_cast<int>(points.size()));
}

void DrawPlusMarker(CDC* dc, double scale, int originX, int originY, CVertexNode* node) {
  if (!dc || !node) return;
  const CPoint c = ToDevice(node, scale, originX, originY);
  const int64_t x = c.x, y = c.y;
  dc->MoveTo(Px(x - 5), Px(y));
  dc->LineTo(Px(x + 6), Px(y));
  dc->MoveTo(Px(x), Px(y - 5));
  dc->LineTo(Px(x), Px(y));
  dc->MoveTo(Px(x), Px(y + 5));
  dc->LineTo(Px(x), Px(y));
}

void DrawRingCircle(CDC* dc, double scale, int originX, int originY, CVertexNode* node) {
  if (!dc || !node) return;
  const CPoint c = ToDevice(node, scale, originX, originY);
  const int64_t x = c.x, y = c.y, r = RadiusOfNext(node, scale);
  CGdiObject* old_brush = dc->SelectStockObject(NULL_BRUSH);
  dc->Arc(Px(x - r), Px(y - r), Px(x + r), Px(y + r), Px(x - r), Px(y - r), Px(x - r), Px(y - r));
  if (old_brush) dc->SelectObject(old_brush);
}

void DrawDrillHole(CDC* dc, double scale, int originX, int originY, CVertexNode* node) {
  if (!dc || !node) return;
  const CPoint c = ToDevice(node, scale, originX, originY);
  const int64_t x = c.x, y = c.y, r = std::max(RadiusOfNext(node, scale), kMinDrillRadius);
  CGdiObject* old_brush = dc->SelectStockObject(NULL_BRUSH);
  dc->Ellipse(Px(x - r), Px(y - r), Px(x + r + 1), Px(y + r + 1));
  if (old_brush) dc->SelectObject(old_brush);
  dc->MoveTo(Px(x - r), Px(y));
  dc->LineTo(Px(x - r), Px(y + 1));
  dc->MoveTo(Px(x - r), Px(y));
  dc->LineTo(Px(x + r + 1), Px(y));
  dc->MoveTo(Px(x), Px(y - r));
  dc->LineTo(Px(x), Px(y + r + 1));
}
