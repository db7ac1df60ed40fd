#include "model/items/marker_items.h"

#include <algorithm>
#include <cmath>

#include "design/geometry/measure.h"
#include "model/geometry.h"
#include "model/graded_expansion.h"
#include "model/items/segment_items.h"
#include "model/settings.h"
#include "model/shell_services.h"
#include "model/style.h"
#include "platform/dc.h"

// ---- Drawing pieces the symbol items share ----------------------------------

ItemSizePoints::ItemSizePoints(const CPieceItem& item) : sizes_(ExpandGradedFlaggedPoints(item)) {
  // Every size holds the same number of points.
  count_ = sizes_.empty() ? 0 : static_cast<int>(sizes_.front().size());
}

const std::vector<CFlaggedPoint>& ItemSizePoints::Points(int index) const {
  static const std::vector<CFlaggedPoint> kNone;
  if (index < 0 || index >= static_cast<int>(sizes_.size())) return kNone;
  return sizes_[static_cast<size_t>(index)];
}

int OffsetPixel(int v, int64_t offset) {
  const int64_t sum = int64_t{v} + std::clamp<int64_t>(offset, INT32_MIN, INT32_MAX);
  return static_cast<int>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

CPoint ScreenPoint(int32_t x, int32_t y, double unitsPerPixel, int originX, int originY) {
  CPoint p;
  ModelToScreen(x, y, &p.x, &p.y, unitsPerPixel, originX, originY);
  return p;
}

CPoint ScreenPoint(const CFlaggedPoint& p, double unitsPerPixel, int originX, int originY) {
  return ScreenPoint(p.X, p.Y, unitsPerPixel, originX, originY);
}

CRect CircleBox(CPoint centre, int r) {
  return CRect(OffsetPixel(centre.x, -int64_t{r}), OffsetPixel(centre.y, -int64_t{r}),
               OffsetPixel(centre.x, int64_t{r} + 1), OffsetPixel(centre.y, int64_t{r} + 1));
}

NullBrushScope::NullBrushScope(CDC* dc) : dc_(dc), old_(dc->SelectStockObject(NULL_BRUSH)) {}

NullBrushScope::~NullBrushScope() {
  if (old_) dc_->SelectObject(old_);
}

void DrawVertexPointNumbers(CDC* dc, const CPieceItem& item, double unitsPerPixel, int originX, int originY) {
  if (!dc || !item.VertexHead || item.VertexCount <= 0 || !g_DrawFlagPointNumbers) return;
  CVertexNode* const start = item.VertexHead->IsMain() ? item.VertexHead : item.NextMainVertex(item.VertexHead);
  if (!start || !start->IsMain()) return;
  constexpr COLORREF kRed = 0x0000FF;
  CVertexNode* node = start;
  for (int32_t i = 0; i < item.VertexCount; ++i) {
    const CPoint p = ScreenPoint(node->X, node->Y, unitsPerPixel, originX, originY);
    // The number sits in bits 18 and up of the flags word, signed.
    DrawPointNumber(dc, p.x, p.y, kRed, static_cast<int32_t>(node->Flags) >> 18);
    node = item.NextMainVertex(node);
    if (!node || node == start) break;
  }
}

ExtentSizeFilter SizesOfExtent(int all) {
  return [all](int index, const CSizeRecord& size) { return all == 0 ? index == 0 : size.Visible != 0; };
}

ExtentSizeFilter SizesBesides(const CSizeRecord* skip) {
  return [skip](int, const CSizeRecord& size) { return &size != skip; };
}

namespace {
void Widen(int64_t v, int* lo, int* hi) {
  const int c = static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  if (c < *lo) *lo = c;
  if (c > *hi) *hi = c;
}
}  // namespace

void CentreRadiusExtent(const CPieceItem& item, CVertexNode* (*radiusOf)(const CPieceItem&, CVertexNode* centre),
                        const ExtentSizeFilter& counts, int* minX, int* maxX, int* minY, int* maxY) {
  *minX = *minY = INT32_MAX;
  *maxX = *maxY = INT32_MIN;
  if (!item.VertexHead || item.VertexCount <= 0 || !g_Style.SizeRing) return;
  CVertexNode* const start = item.NextMainVertex(item.VertexHead);
  if (!start || !start->IsMain()) return;
  CVertexNode* centre = start;
  for (int32_t guard = 0; guard < item.VertexCount; ++guard) {
    CVertexNode* radius = radiusOf(item, centre);
    if (!radius) break;
    CVertexNode* node = centre;
    CSizeRecord* size = g_Style.SizeRing;
    for (int k = 0; k < g_Style.SizeCount && size; ++k, size = size->Next) {
      if (k > 0) {
        if (node->Next->Kind() != kVertexKindCopy) break;
        node = node->Next;
        if (radius->Next->Kind() == kVertexKindCopy) radius = radius->Next;
      }
      if (!counts(k, *size)) continue;
      const int64_t r = radius->X;
      Widen(int64_t{node->X} - r, minX, maxX);
      Widen(int64_t{node->X} + r, minX, maxX);
      Widen(int64_t{node->Y} - r, minY, maxY);
      Widen(int64_t{node->Y} + r, minY, maxY);
    }
    centre = item.NextMainVertex(centre);
    if (!centre || centre == start) break;
  }
}

// ---- Marker symbols (types 2 and 4) ------------------------------------------

namespace {

constexpr int kMinMarkerRadius = 3;  // pixels: a marker never shrinks below this

// One marker at `a` (centre and shape), `b` (radius in its x) and `c` (the
// rectangle's full width and height).
void DrawMarker(CDC* dc, const CFlaggedPoint& a, const CFlaggedPoint& b, const CFlaggedPoint& c,
                double unitsPerPixel, int originX, int originY) {
  const int r = std::max(kMinMarkerRadius, RoundToNearest(b.X / unitsPerPixel));
  const int64_t w = TruncateTowardZero(c.X / 2.0 / unitsPerPixel);
  const int64_t h = TruncateTowardZero(c.Y / 2.0 / unitsPerPixel);
  const CPoint p = ScreenPoint(a, unitsPerPixel, originX, originY);
  auto cross = [&](int64_t from, int64_t to) {
    dc->MoveTo(OffsetPixel(p.x, -from), p.y);
    dc->LineTo(OffsetPixel(p.x, to), p.y);
    dc->MoveTo(p.x, OffsetPixel(p.y, -from));
    dc->LineTo(p.x, OffsetPixel(p.y, to));
  };
  switch (a.Flags & kMarkerShapeMask) {
    case kMarkerCircle:
      dc->Ellipse(CircleBox(p, r));
      break;
    case kMarkerCross:
      cross(r, int64_t{r} + 1);
      break;
    case kMarkerCircleCross:
      dc->Ellipse(CircleBox(p, r));
      cross(r, int64_t{r} + 1);
      break;
    case kMarkerCircleLongCross: {
      dc->Ellipse(CircleBox(p, r));
      // The cross reaches 2 mm beyond the circle at any zoom.
      const int64_t e = TruncateTowardZero(2.0 * g_Style.GetScale() / unitsPerPixel);
      cross(r + e, r + e);
      break;
    }
    case kMarkerRectangle:
      dc->MoveTo(OffsetPixel(p.x, -w), OffsetPixel(p.y, -h));
      dc->LineTo(OffsetPixel(p.x, w), OffsetPixel(p.y, -h));
      dc->LineTo(OffsetPixel(p.x, w), OffsetPixel(p.y, h));
      dc->LineTo(OffsetPixel(p.x, -w), OffsetPixel(p.y, h));
      dc->LineTo(OffsetPixel(p.x, -w), OffsetPixel(p.y, -h));
      break;
    default:
      break;  // unknown shapes draw nothing
  }
}

void DrawMarkers(const CPieceItem& item, CDC* dc, double unitsPerPixel, int originX, int originY) {
  const ItemSizePoints sizes(item);
  const int n = sizes.Count();
  if (n < 3) return;
  CPieceItem::DrawEachSize(dc, PS_SOLID, false, [&](CDC* d, const CSizeRecord&, int index) {
    const std::vector<CFlaggedPoint>& points = sizes.Points(index);
    for (int k = 0; k + 2 < n; k += 3) {
      DrawMarker(d, points[static_cast<size_t>(k)], points[static_cast<size_t>(k) + 1],
                 points[static_cast<size_t>(k) + 2], unitsPerPixel, originX, originY);
    }
  });
}

// The radius node of a marker: two places before the next symbol's centre
// (the last symbol's: before the first symbol's centre).
CVertexNode* MarkerRadius(const CPieceItem& item, CVertexNode* centre) {
  return item.NextMainVertex(centre)->Prev->Prev;
}

}  // namespace

void CPieceItem2::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc) return;
  DrawVertexPointNumbers(dc, *this, unitsPerPixel, originX, originY);
  DrawMarkers(*this, dc, unitsPerPixel, originX, originY);
}

void CPieceItem2::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem2::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemDrawExtent(*this, size, minX, maxX, minY, maxY);
}

void CPieceItem2::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemExtent(*this, all, minX, maxX, minY, maxY);
}

void CPieceItem4::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc) return;
  DrawVertexPointNumbers(dc, *this, unitsPerPixel, originX, originY);
  const NullBrushScope hollow(dc);
  DrawMarkers(*this, dc, unitsPerPixel, originX, originY);
}

void CPieceItem4::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem4::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  CentreRadiusExtent(*this, MarkerRadius, SizesBesides(size), minX, maxX, minY, maxY);
}

void CPieceItem4::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  CentreRadiusExtent(*this, MarkerRadius, SizesOfExtent(all), minX, maxX, minY, maxY);
}

// ---- Slot symbols (type 3) ---------------------------------------------------

namespace {

// The strokes of one slot symbol in device pixels, collected before anything
// is drawn, so that a symbol whose construction fails in a size can be drawn
// as its bare line instead.
class SlotSketch {
 public:
  SlotSketch(CPoint a, CPoint b) : a_(a), b_(b) {}

  CPoint a() const { return a_; }
  CPoint b() const { return b_; }
  // Length of the symbol on the device.
  double Length() const { return Distance(a_, b_); }
  // Marks the symbol as one that cannot be constructed in this size.
  void Fail() { ok_ = false; }

  void MoveTo(CPoint p) { strokes_.push_back({Stroke::kMove, p, {}, {}, {}}); }
  void LineTo(CPoint p) { strokes_.push_back({Stroke::kLine, p, {}, {}, {}}); }
  // A line to `p` that also paints its end pixel.
  void LineToWithEnd(CPoint p) {
    LineTo(p);
    LineTo(CPoint(p.x, OffsetPixel(p.y, 1)));
  }
  // A full circle of radius r about p: an arc whose start and end radials
  // are the same point of the box.
  void Circle(CPoint p, int r) {
    const CRect box = ArcBox(p, r);
    strokes_.push_back({Stroke::kArc, {}, box, box.TopLeft(), box.TopLeft()});
  }
  // The arc of radius r about p from the radial through `start` to the one
  // through `end`, the device's arc direction.
  void EyeArc(CPoint p, int r, CPoint start, CPoint end) {
    strokes_.push_back({Stroke::kArc, {}, ArcBox(p, r), start, end});
  }

  // The two points `t` pixels to either side of p across the direction p -> q:
  // u = rounded (q - p) t / |pq|; plus = (p.x - u.y, p.y + u.x), minus the
  // other side. Fails the sketch when p and q coincide.
  void CrossPair(CPoint p, CPoint q, double t, CPoint* plus, CPoint* minus) {
    const double length = Distance(p, q);
    if (length == 0.0) {
      Fail();
      *plus = *minus = p;
      return;
    }
    const int64_t ux = RoundToNearest((static_cast<double>(q.x) - p.x) * t / length);
    const int64_t uy = RoundToNearest((static_cast<double>(q.y) - p.y) * t / length);
    *plus = CPoint(OffsetPixel(p.x, -uy), OffsetPixel(p.y, ux));
    *minus = CPoint(OffsetPixel(p.x, uy), OffsetPixel(p.y, -ux));
  }
  // The point `t` pixels from p toward q, each coordinate truncated. Fails the
  // sketch when p and q coincide.
  CPoint Toward(CPoint p, CPoint q, double t) {
    const double length = Distance(p, q);
    if (length == 0.0) {
      Fail();
      return p;
    }
    return CPoint(TruncateTowardZero(p.x + (static_cast<double>(q.x) - p.x) * t / length),
                  TruncateTowardZero(p.y + (static_cast<double>(q.y) - p.y) * t / length));
  }

  // Draws the strokes, or the bare line from A to B when the sketch failed.
  void Draw(CDC* dc) const {
    if (!ok_) {
      dc->MoveTo(a_);
      dc->LineTo(b_);
      dc->LineTo(b_.x, OffsetPixel(b_.y, 1));
      return;
    }
    for (const Stroke& s : strokes_) {
      switch (s.kind) {
        case Stroke::kMove: dc->MoveTo(s.point); break;
        case Stroke::kLine: dc->LineTo(s.point); break;
        case Stroke::kArc:
          dc->Arc(s.box.left, s.box.top, s.box.right, s.box.bottom, s.start.x, s.start.y, s.end.x, s.end.y);
          break;
      }
    }
  }

 private:
  struct Stroke {
    enum Kind { kMove, kLine, kArc } kind;
    CPoint point;
    CRect box;
    CPoint start;
    CPoint end;
  };

  static CRect ArcBox(CPoint p, int r) {
    return CRect(OffsetPixel(p.x, -int64_t{r}), OffsetPixel(p.y, -int64_t{r}), OffsetPixel(p.x, r),
                 OffsetPixel(p.y, r));
  }

  CPoint a_;
  CPoint b_;
  bool ok_ = true;
  std::vector<Stroke> strokes_;
};

constexpr double kPlainBarHalf = 5.0;  // pixels: style 0's bars keep their size at any zoom

// Where the outer eye arc of a keyhole at A opens toward the slot: the cross
// pair at A of the outer eye's radius.
struct Eye {
  CPoint plus, minus;
};

// The sizes of a slot item in pixels at one zoom.
struct SlotPixels {
  double eyeRadius;  // distance of the centre line's start from an eye centre
  int rIn;           // inner eye circle, truncated
  int rOut;          // outer eye arc, truncated
  double halfWidth;  // half the slot width
  double outerEye;   // the outer eye radius, for the cross pair at A
  double endOffset;  // from B to the slot's closed end or cross bar
  double bar;        // BarLength
};

// How far the slot's sides reach into the outer eye: the distance from the
// eye centre at which a side of half-width w meets the circle of radius rOut.
// Fails the sketch when the slot is wider than the eye.
double SideMeetsEye(SlotSketch& s, const SlotPixels& px) {
  const double square = static_cast<double>(px.rOut) * px.rOut - px.halfWidth * px.halfWidth;
  if (!(square >= 0.0)) {
    s.Fail();
    return 0.0;
  }
  return TruncateTowardZero(std::sqrt(square));
}

void SketchKeyhole(SlotSketch& s, const SlotPixels& px) {
  const CPoint a = s.a(), b = s.b();
  const CPoint start = s.Toward(a, b, px.eyeRadius);
  s.MoveTo(start);
  s.LineToWithEnd(b);
  Eye eye;
  s.CrossPair(a, b, px.outerEye, &eye.plus, &eye.minus);
  s.Circle(a, px.rIn);
  s.EyeArc(a, px.rOut, eye.minus, eye.plus);
  s.MoveTo(CPoint(eye.plus.x, OffsetPixel(eye.plus.y, -1)));
  s.LineTo(b);
  s.LineTo(eye.minus);
}

// Style 0: the line from A to B with a short bar across each end, of a
// fixed size in pixels; a slot shorter than the bar shows the line alone.
void SketchPlainBars(SlotSketch& s) {
  const CPoint a = s.a(), b = s.b();
  s.MoveTo(a);
  s.LineToWithEnd(b);
  if (s.Length() < kPlainBarHalf) return;
  CPoint plus, minus;
  s.CrossPair(a, b, kPlainBarHalf, &plus, &minus);
  s.MoveTo(plus);
  s.LineTo(minus);
  s.LineTo(CPoint(minus.x, OffsetPixel(minus.y, 1)));
  s.CrossPair(b, a, kPlainBarHalf, &plus, &minus);
  s.MoveTo(plus);
  s.LineTo(minus);
  s.LineTo(CPoint(minus.x, OffsetPixel(minus.y, 1)));
}

// The line from A to B with a bar of the item's bar length across each end.
void SketchEndBars(SlotSketch& s, const SlotPixels& px) {
  const CPoint a = s.a(), b = s.b();
  s.MoveTo(a);
  s.LineToWithEnd(b);
  CPoint plus, minus;
  s.CrossPair(a, b, px.bar / 2.0, &plus, &minus);
  s.MoveTo(plus);
  s.LineTo(minus);
  s.CrossPair(b, a, px.bar / 2.0, &plus, &minus);
  s.MoveTo(plus);
  s.LineTo(minus);
}

// A keyhole whose slot is a closed box from B back to the slot's end, its
// sides run on to the outer eye.
void SketchClosedKeyhole(SlotSketch& s, const SlotPixels& px) {
  const CPoint a = s.a(), b = s.b();
  CPoint qPlus, qMinus, cPlus, cMinus;
  s.CrossPair(b, a, px.halfWidth, &qPlus, &qMinus);
  const CPoint c = s.Toward(b, a, px.endOffset);
  s.CrossPair(c, a, px.halfWidth, &cPlus, &cMinus);
  s.MoveTo(qPlus);
  s.LineTo(qMinus);
  s.LineTo(cMinus);
  s.LineTo(cPlus);
  s.LineTo(qPlus);
  s.MoveTo(s.Toward(a, b, px.eyeRadius));
  s.LineTo(c);
  Eye eye;
  s.CrossPair(a, b, px.outerEye, &eye.plus, &eye.minus);
  s.Circle(a, px.rIn);
  s.EyeArc(a, px.rOut, eye.minus, eye.plus);
  s.MoveTo(cMinus);
  s.LineTo(CPoint(eye.plus.x, OffsetPixel(eye.plus.y, -1)));
  s.MoveTo(cPlus);
  s.LineTo(eye.minus);
}

// A keyhole with a cross bar at the slot's end.
void SketchKeyholeCrossBar(SlotSketch& s, const SlotPixels& px) {
  const CPoint a = s.a(), b = s.b();
  SketchKeyhole(s, px);
  const CPoint c = s.Toward(b, a, px.endOffset);
  CPoint plus, minus;
  s.CrossPair(c, a, px.halfWidth, &plus, &minus);
  s.MoveTo(plus);
  s.LineTo(minus);
}

// A keyhole whose slot sides open into the outer eye, with a bar across B.
void SketchOpenKeyhole(SlotSketch& s, const SlotPixels& px) {
  const CPoint a = s.a(), b = s.b();
  s.MoveTo(s.Toward(a, b, px.eyeRadius));
  s.LineTo(b);
  const double h = SideMeetsEye(s, px);
  const CPoint m = s.Toward(a, b, h);
  CPoint mPlus, mMinus, plus, minus;
  s.CrossPair(m, a, px.halfWidth, &mPlus, &mMinus);
  s.CrossPair(b, a, px.bar / 2.0, &plus, &minus);
  s.MoveTo(plus);
  s.LineTo(minus);
  s.CrossPair(b, a, px.halfWidth, &plus, &minus);
  s.MoveTo(plus);
  s.LineTo(mPlus);
  s.MoveTo(minus);
  s.LineTo(mMinus);
  s.Circle(a, px.rIn);
  s.EyeArc(a, px.rOut, mPlus, mMinus);
}

// An eye at both ends, the slot's sides running from one outer eye to the
// other.
void SketchDoubleKeyhole(SlotSketch& s, const SlotPixels& px) {
  const CPoint a = s.a(), b = s.b();
  s.MoveTo(s.Toward(a, b, px.eyeRadius));
  s.LineTo(s.Toward(b, a, px.eyeRadius));
  const double h = SideMeetsEye(s, px);
  const CPoint m = s.Toward(a, b, h);
  const CPoint n = s.Toward(b, a, h);
  CPoint mPlus, mMinus, nPlus, nMinus;
  s.CrossPair(m, a, px.halfWidth, &mPlus, &mMinus);
  s.CrossPair(n, b, px.halfWidth, &nPlus, &nMinus);
  s.MoveTo(nPlus);
  s.LineTo(CPoint(OffsetPixel(mMinus.x, -1), mMinus.y));
  s.MoveTo(nMinus);
  s.LineTo(CPoint(OffsetPixel(mPlus.x, -1), mPlus.y));
  s.Circle(a, px.rIn);
  s.EyeArc(a, px.rOut, mPlus, mMinus);
  s.Circle(b, px.rIn);
  s.EyeArc(b, px.rOut, nPlus, nMinus);
}

// The line from A to B inside a box of the bar length to either side.
void SketchRectangle(SlotSketch& s, const SlotPixels& px) {
  const CPoint a = s.a(), b = s.b();
  s.MoveTo(a);
  s.LineToWithEnd(b);
  CPoint aPlus, aMinus, bPlus, bMinus;
  s.CrossPair(a, b, px.bar, &aPlus, &aMinus);
  s.CrossPair(b, a, px.bar, &bPlus, &bMinus);
  s.MoveTo(aPlus);
  s.LineTo(aMinus);
  s.LineTo(bPlus);
  s.LineTo(bMinus);
  s.LineTo(aPlus);
}

void SketchSlot(SlotSketch& s, int32_t style, const SlotPixels& px) {
  switch (style) {
    case kSlotPlainBars: SketchPlainBars(s); break;
    case kSlotEndBars: SketchEndBars(s, px); break;
    case kSlotKeyhole: SketchKeyhole(s, px); break;
    case kSlotClosedKeyhole: SketchClosedKeyhole(s, px); break;
    case kSlotKeyholeCrossBar: SketchKeyholeCrossBar(s, px); break;
    case kSlotOpenKeyhole: SketchOpenKeyhole(s, px); break;
    case kSlotDoubleKeyhole: SketchDoubleKeyhole(s, px); break;
    case kSlotLine:
      s.MoveTo(s.a());
      s.LineToWithEnd(s.b());
      break;
    case kSlotRectangle: SketchRectangle(s, px); break;
    case kSlotEyelet:
      // Two circles about A: the eyelet and its rim.
      s.Circle(s.a(), px.rIn);
      s.Circle(s.a(), px.rOut);
      break;
    default:
      break;
  }
}

bool IsSlotStyle(int32_t style) {
  switch (style) {
    case kSlotPlainBars:
    case kSlotEndBars:
    case kSlotKeyhole:
    case kSlotClosedKeyhole:
    case kSlotKeyholeCrossBar:
    case kSlotOpenKeyhole:
    case kSlotDoubleKeyhole:
    case kSlotLine:
    case kSlotRectangle:
    case kSlotEyelet:
      return true;
    default:
      return false;
  }
}

}  // namespace

void CPieceItem3::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord*) {
  if (!dc) return;
  DrawVertexPointNumbers(dc, *this, unitsPerPixel, originX, originY);
  const ItemSizePoints sizes(*this);
  const int n = sizes.Count();
  if (n < 2 || !IsSlotStyle(Style)) return;
  SlotPixels px;
  px.eyeRadius = EyeRadius / unitsPerPixel;
  px.rIn = TruncateTowardZero(EyeRadius / unitsPerPixel);
  px.rOut = TruncateTowardZero(EyeOuterRadius / unitsPerPixel);
  px.halfWidth = SlotWidth / 2.0 / unitsPerPixel;
  px.outerEye = EyeOuterRadius / unitsPerPixel;
  px.endOffset = SlotEndOffset / unitsPerPixel;
  px.bar = BarLength / unitsPerPixel;
  DrawEachSize(dc, PS_SOLID, false, [&](CDC* d, const CSizeRecord&, int index) {
    const std::vector<CFlaggedPoint>& points = sizes.Points(index);
    for (int k = 0; k + 1 < n; k += 2) {
      SlotSketch sketch(ScreenPoint(points[static_cast<size_t>(k)], unitsPerPixel, originX, originY),
                        ScreenPoint(points[static_cast<size_t>(k) + 1], unitsPerPixel, originX, originY));
      SketchSlot(sketch, Style, px);
      sketch.Draw(d);
    }
  });
}

void CPieceItem3::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem3::GetDrawExtent(CSizeRecord* size, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemDrawExtent(*this, size, minX, maxX, minY, maxY);
}

void CPieceItem3::GetExtent(int all, int* minX, int* maxX, int* minY, int* maxY) const {
  GradedItemExtent(*this, all, minX, maxX, minY, maxY);
}
