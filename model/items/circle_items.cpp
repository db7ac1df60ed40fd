#include "model/items/circle_items.h"

#include "model/geometry.h"
#include "model/items/marker_items.h"
#include "model/style.h"
#include "platform/dc.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

// Hollow circles on a white background: the null brush and the background
// colour are set for the drawing and put back afterwards.
class HollowCircleState {
 public:
  explicit HollowCircleState(CDC* dc) : dc_(dc), oldBk_(dc->SetBkColor(kWhite)), hollow_(dc) {}
  ~HollowCircleState() { dc_->SetBkColor(oldBk_); }
  HollowCircleState(const HollowCircleState&) = delete;
  HollowCircleState& operator=(const HollowCircleState&) = delete;

 private:
  CDC* dc_;
  COLORREF oldBk_;
  NullBrushScope hollow_;
};

void DrawCircleAt(CDC* dc, CPoint centre, int32_t radius, double unitsPerPixel) {
  dc->Ellipse(CircleBox(centre, RoundToNearest(radius / unitsPerPixel)));
}

// Every circle of the item (centre and radius point by point) in every
// visible size, with a pen of `penStyle`.
void DrawCircles(const CPieceItem& item, CDC* dc, double unitsPerPixel, int originX, int originY, int penStyle) {
  if (!dc) return;
  const HollowCircleState state(dc);
  const ItemSizePoints sizes(item);
  const int n = sizes.Count();
  if (n <= 0) return;
  CPieceItem::DrawEachSize(dc, penStyle, false, [&](CDC* d, const CSizeRecord&, int index) {
    const std::vector<CFlaggedPoint>& points = sizes.Points(index);
    // A last centre without its radius point is left out.
    for (int k = 0; k + 1 < n; k += 2) {
      const CFlaggedPoint& centre = points[static_cast<size_t>(k)];
      DrawCircleAt(d, ScreenPoint(centre, unitsPerPixel, originX, originY), points[static_cast<size_t>(k) + 1].X,
                 unitsPerPixel);
    }
  });
}

// The radius group follows the centre group.
CVertexNode* CircleRadius(const CPieceItem& item, CVertexNode* centre) { return item.NextVertexSkipCopies(centre); }

}  // namespace

void CPieceCircleItem::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  DrawCircles(*this, dc, unitsPerPixel, originX, originY, penStyle_);
}

void CPieceCircleItem::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceCircleItem::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  CentreRadiusExtent(*this, CircleRadius, SizesBesides(size), minX, maxX, minY, maxY);
}

void CPieceCircleItem::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  CentreRadiusExtent(*this, CircleRadius, SizesOfExtent(all), minX, maxX, minY, maxY);
}

CPieceItem10::CPieceItem10(CPieceItem* prev, CPieceItem* next)
    : CPieceCircleItem(kItemTypeCircles, PS_DOT, prev, next) {}

CPieceItem16::CPieceItem16(CPieceItem* prev, CPieceItem* next)
    : CPieceCircleItem(kItemTypeDerivedCircles, PS_SOLID, prev, next) {}

void CPieceItem16::DrawCircle(CDC* dc, double unitsPerPixel, int originX, int originY, CVertexNode* centre) {
  if (!dc || !centre || g_Style.SizeCount <= 0) return;
  const HollowCircleState state(dc);
  // The radius group ends just before the next centre; its last node is the
  // radius of the last size, and size s lies s places after the centre and
  // (last - s) places before that node.
  CVertexNode* const lastRadius = NextMainVertex(centre)->Prev;
  const int last = g_Style.SizeCount - 1;
  DrawEachSize(dc, PS_SOLID, false, [&](CDC* d, const CSizeRecord&, int index) {
    CVertexNode* node = centre;
    for (int s = 0; s < index; ++s) node = node->Next;
    CVertexNode* radius = lastRadius;
    for (int s = index; s < last; ++s) radius = radius->Prev;
    DrawCircleAt(d, ScreenPoint(node->X, node->Y, unitsPerPixel, originX, originY), radius->X, unitsPerPixel);
  });
}
