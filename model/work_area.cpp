#include "model/work_area.h"

#include <cmath>

#include "design/geometry/segments.h"
#include "model/items/curve_item.h"
#include "model/piece_item.h"
#include "model/piece_record.h"
#include "model/selection.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "platform/dc.h"

namespace {

// How far from the view a piece may reach and still be drawn, in pixels.
constexpr double kMaxZoomMin = 30000.0;
constexpr double kMaxZoomMax = 25000.0;
// The mark a V shape's leg end leaves on its outline vertex.
constexpr uint32_t kFlagVShapeEnd = 0x800;
// Tolerance of the leg-end match, in millimetres.
constexpr double kLegEndTolerance = 2.0;

int ViewOriginX() { return g_pWorkWindow ? g_pWorkWindow->GetOriginX() : 0; }
int ViewOriginY() { return g_pWorkWindow ? g_pWorkWindow->GetOriginY() : 0; }
double ViewScale() { return GetWorkWindowScale(); }

// Calls `visit` for every work-area piece, counted from the ring's head.
template <typename Visit>
void ForEachWorkPiece(Visit visit) {
  CPieceRecord* piece = g_Style.WorkPieceRing;
  for (int32_t i = 0; i < g_Style.WorkPieceCount && piece != nullptr; ++i, piece = piece->Next) {
    visit(piece);
  }
}

struct Box {
  int left = kBoxEmptyMin;
  int right = kBoxEmptyMax;
  int top = kBoxEmptyMin;
  int bottom = kBoxEmptyMax;
};

Box UnionOfPlacedRectangles() {
  Box box;
  ForEachWorkPiece([&](CPieceRecord* piece) {
    if (piece->PlacedLeft < box.left) box.left = piece->PlacedLeft;
    if (piece->PlacedRight > box.right) box.right = piece->PlacedRight;
    if (piece->PlacedTop < box.top) box.top = piece->PlacedTop;
    if (piece->PlacedBottom > box.bottom) box.bottom = piece->PlacedBottom;
  });
  return box;
}

}  // namespace

void SyncWorkPieceOrigins() {
  const int ox = ViewOriginX();
  const int oy = ViewOriginY();
  ForEachWorkPiece([&](CPieceRecord* piece) {
    piece->OriginX = WrapSub(piece->BoxMinX, WrapSub(piece->PlacedLeft, ox));
    piece->OriginY = WrapSub(piece->BoxMinY, WrapSub(piece->PlacedTop, oy));
  });
}

void CalcWorkAreaExtent(int* left, int* right, int* top, int* bottom) {
  if (g_Style.WorkPieceCount == 0 || g_Style.WorkPieceRing == nullptr) {
    *left = *right = *top = *bottom = 0;
    if (g_pWorkWindow) {
      g_pWorkWindow->SetScale(0);
      g_pWorkWindow->SetOriginX(0);
      g_pWorkWindow->SetOriginY(0);
    }
    return;
  }
  const int ox = ViewOriginX();
  const int oy = ViewOriginY();
  ForEachWorkPiece([&](CPieceRecord* piece) {
    piece->PlacedLeft = WrapAdd(WrapSub(piece->BoxMinX, piece->OriginX), ox);
    piece->PlacedRight = WrapAdd(WrapSub(piece->BoxMaxX, piece->OriginX), ox);
    piece->PlacedTop = WrapAdd(WrapSub(piece->BoxMinY, piece->OriginY), oy);
    piece->PlacedBottom = WrapAdd(WrapSub(piece->BoxMaxY, piece->OriginY), oy);
  });
  const Box box = UnionOfPlacedRectangles();
  *left = box.left;
  *right = box.right;
  *top = box.top;
  *bottom = box.bottom;
}

BOOL UpdateWorkAreaExtent() {
  if (g_Style.WorkPieceCount == 0 || g_Style.WorkPieceRing == nullptr || !g_pWorkWindow) return FALSE;
  const Box box = UnionOfPlacedRectangles();
  const CRect extent(box.left, box.top, box.right, box.bottom);
  if (g_pWorkWindow->Extent == extent) return FALSE;
  g_pWorkWindow->Extent = extent;
  return TRUE;
}

BOOL CanZoomIn() {
  const double scale = ViewScale();
  BOOL ok = TRUE;
  ForEachWorkPiece([&](CPieceRecord* piece) {
    const double min_x = (static_cast<double>(piece->BoxMinX) - piece->OriginX) / scale;
    const double min_y = (static_cast<double>(piece->BoxMinY) - piece->OriginY) / scale;
    const double max_x = (static_cast<double>(piece->BoxMaxX) - piece->OriginX) / scale;
    const double max_y = (static_cast<double>(piece->BoxMaxY) - piece->OriginY) / scale;
    if (std::fabs(min_x) > kMaxZoomMin || std::fabs(min_y) > kMaxZoomMin ||
        std::fabs(max_x) > kMaxZoomMax || std::fabs(max_y) > kMaxZoomMax) {
      ok = FALSE;
    }
  });
  return ok;
}

void SelectCurrentPiece(CPieceRecord* piece) {
  CPieceRecord* old = g_Selection.GetCurrentPiece();
  if (piece == old) return;
  CDC* dc = g_pWorkWindow ? g_pWorkWindow->GetDC() : nullptr;
  if (dc) DrawPieceSelectionFrame(dc, old);
  g_Selection.SetCurrent(piece, nullptr, nullptr, nullptr);
  if (dc) {
    DrawPieceSelectionFrame(dc, piece);
    g_pWorkWindow->ReleaseDC(dc);
  }
}

void DrawEllipseIfVisible(CDC* dc, int x, int y, int left, int top, int right, int bottom) {
  if (dc == nullptr) return;
  if (!dc->IsPrinting() && g_pWorkWindow) {
    CRect client;
    g_pWorkWindow->GetClientRect(&client);
    if (x < client.left || x > client.right || y < client.top || y > client.bottom) return;
  }
  dc->Ellipse(left, top, right, bottom);
}

namespace {

bool WithinSegment(int x, int y, const CVertexNode* s, const CVertexNode* e) {
  const int lo_x = s->X < e->X ? s->X : e->X;
  const int hi_x = s->X < e->X ? e->X : s->X;
  const int lo_y = s->Y < e->Y ? s->Y : e->Y;
  const int hi_y = s->Y < e->Y ? e->Y : s->Y;
  return static_cast<double>(x) >= lo_x - 1.0 && static_cast<double>(x) <= hi_x + 1.0 &&
         static_cast<double>(y) >= lo_y - 1.0 && static_cast<double>(y) <= hi_y + 1.0;
}

// Whether (x, y) lies on the ray from a through b, at a or beyond it.
bool OnRay(int x, int y, const CVertexNode* a, const CVertexNode* b) {
  const double dot = (static_cast<double>(x) - a->X) * (static_cast<double>(b->X) - a->X) +
                     (static_cast<double>(y) - a->Y) * (static_cast<double>(b->Y) - a->Y);
  return dot >= 0;
}

}  // namespace

CVertexNode* ExtendLineToOutline(CPieceCurveItem* curve, CVertexNode* a, CVertexNode* b) {
  if (curve == nullptr || a == nullptr || b == nullptr) return nullptr;
  CSizeRecord* first_size = g_Style.SizeRing;
  CVertexNode* head = curve->GetCurveHead(first_size);
  const int count = curve->GetCurveCount(first_size);
  CVertexNode* seg = head;
  for (int i = 0; i < count && seg != nullptr && seg->Next != nullptr; ++i, seg = seg->Next) {
    int ix = 0;
    int iy = 0;
    const int code =
        IntersectSegments(a->X, a->Y, b->X, b->Y, seg->X, seg->Y, seg->Next->X, seg->Next->Y, &ix, &iy);
    if (code != 1 && code != 2) continue;
    if (!OnRay(ix, iy, a, b) || !WithinSegment(ix, iy, seg, seg->Next)) continue;
    // The main vertex that ends the segment's span on the curve, then its node
    // in the item's own ring.
    CVertexNode* end = seg->Next;
    for (int k = 0; k < count && end != nullptr && !end->IsMain(); ++k) end = end->Next;
    if (end == nullptr || !end->IsMain()) return nullptr;
    CVertexNode* main = curve->MapToMainVertex(first_size, end);
    if (main == nullptr) return nullptr;
    CVertexNode* corner = curve->InsertVertexBefore(main, ix, iy, 2);
    for (int s = 1; s < g_Style.SizeCount; ++s) curve->InsertVertexBefore(main, ix, iy, kVertexKindCopy);
    return corner;
  }
  return nullptr;
}

namespace {

CPieceItem* FirstItemOfType(CPieceRecord* piece, int32_t type) {
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; i < piece->ItemCount && item != nullptr; ++i, item = item->Next) {
    if (item->Type == type) return item;
  }
  return nullptr;
}

// The outline vertex a leg end sits on: the main vertex at its position, or
// else the nearest within the tolerance. Null when there is none.
CVertexNode* MatchOutlineVertex(const CPieceItem* outline, const CVertexNode* end) {
  if (end == nullptr) return nullptr;
  CVertexNode* exact = outline->FindVertex(end->X, end->Y);
  if (exact != nullptr) return exact;
  CVertexNode* near = nullptr;
  if (outline->HitTestVertex(end->X, end->Y, kLegEndTolerance, &near, FALSE)) return near;
  return nullptr;
}

// Moves a leg end (and its per-size copies, where the outline vertex has them
// too) onto the outline vertex, and marks that vertex.
void SnapEnd(CVertexNode* end, CVertexNode* vertex) {
  vertex->Flags |= kFlagVShapeEnd;
  end->X = vertex->X;
  end->Y = vertex->Y;
  CVertexNode* e = end;
  CVertexNode* o = vertex;
  for (int s = 1; s < g_Style.SizeCount; ++s) {
    e = e->Next;
    o = o->Next;
    if (e == nullptr || o == nullptr) return;
    if (e->Kind() == kVertexKindCopy && o->Kind() == kVertexKindCopy) {
      e->X = o->X;
      e->Y = o->Y;
    }
  }
}

}  // namespace

void AttachType6ItemsToOutline(CPieceRecord* piece) {
  if (piece == nullptr) return;
  CPieceItem* outline = FirstItemOfType(piece, kItemTypeOutline);
  if (outline == nullptr) return;
  CPieceItem* item = piece->ItemRing;
  const int32_t items = piece->ItemCount;
  for (int32_t i = 0; i < items && item != nullptr; ++i) {
    CPieceItem* next = item->Next;
    if (item->Type == kItemTypeVShape) {
      CVertexNode* end1 = item->VertexHead;
      CVertexNode* end2 = item->NextMainVertex(item->NextMainVertex(end1));
      CVertexNode* at1 = MatchOutlineVertex(outline, end1);
      CVertexNode* at2 = at1 != nullptr ? MatchOutlineVertex(outline, end2) : nullptr;
      if (at1 == nullptr || at2 == nullptr) {
        piece->RemoveItem(item);
      } else {
        SnapEnd(end1, at1);
        SnapEnd(end2, at2);
      }
    }
    item = next;
  }
}
