#include "model/items/grain_line_item.h"

#include <cmath>

#include "model/geometry.h"
#include "model/items/marker_items.h"
#include "model/piece_record.h"
#include "model/style.h"
#include "platform/dc.h"

namespace {

// Half the opening of an arrow head: 30 degrees to nine decimals, just under
// 30 degrees, so that arms of a whole number of units truncate one unit short
// (400 units give the arm (346, 199)).
constexpr double kArrowAngle = 0.523598775;
// Arrow heads sit 20 mm from the ends of lines of 120 mm and more; shorter
// lines get a sixth of their length.
constexpr double kArrowOffsetMm = 20.0;
constexpr double kShortLineMm = 120.0;

struct Vec {
  double x = 0.0;
  double y = 0.0;
};

Vec Between(CPoint from, CPoint to) {
  return {static_cast<double>(to.x) - from.x, static_cast<double>(to.y) - from.y};
}

// `v` turned by +theta (sign 1) or -theta (sign -1).
Vec Turn(Vec v, int sign, double s, double c) {
  if (sign > 0) return {v.x * c - v.y * s, v.x * s + v.y * c};
  return {v.x * c + v.y * s, -v.x * s + v.y * c};
}

// The point `p` moved by `o` rounded, forward (sign 1) or back (-1), with the
// 32-bit wrap of the stored coordinates.
CPoint MoveBy(CPoint p, Vec o, int sign) {
  const int32_t dx = RoundToInt(o.x);
  const int32_t dy = RoundToInt(o.y);
  if (sign > 0) return {WrapAdd(p.x, dx), WrapAdd(p.y, dy)};
  return {WrapSub(p.x, dx), WrapSub(p.y, dy)};
}

// The arrow-head points of one size: C and D, the heads' inner points.
struct ArrowPoints {
  CPoint c;
  CPoint d;
};

// Offset of the heads from the ends: 20 mm along the line, or a sixth of the
// line when `shortRule` is set and the line is shorter than 120 mm. A line
// of no length has no direction and no offset.
ArrowPoints ArrowOffsets(CPoint a, CPoint b, bool shortRule) {
  const Vec d = Between(a, b);
  const double length = std::sqrt(d.x * d.x + d.y * d.y);
  const double scale = g_Style.GetScale();
  Vec o;
  if (shortRule && length < kShortLineMm * scale) {
    o = {d.x * kArrowOffsetMm / kShortLineMm, d.y * kArrowOffsetMm / kShortLineMm};
  } else if (length > 0.0) {
    o = {d.x * kArrowOffsetMm * scale / length, d.y * kArrowOffsetMm * scale / length};
  }
  return {MoveBy(a, o, 1), MoveBy(b, o, -1)};
}

class ArmPainter {
 public:
  ArmPainter(CDC* dc, double unitsPerPixel, int originX, int originY)
      : dc_(dc), upp_(unitsPerPixel), ox_(originX), oy_(originY),
        s_(std::sin(kArrowAngle)), c_(std::cos(kArrowAngle)) {}

  void Line(CPoint from, CPoint to) {
    dc_->MoveTo(ScreenPoint(from.x, from.y, upp_, ox_, oy_));
    dc_->LineTo(ScreenPoint(to.x, to.y, upp_, ox_, oy_));
  }
  // The arm vector along `v` turned by sign x theta, truncated.
  CPoint Arm(Vec v, int sign) const {
    const Vec t = Turn(v, sign, s_, c_);
    return {TruncateTowardZero(t.x), TruncateTowardZero(t.y)};
  }
  void ArmFrom(CPoint p, CPoint arm) { Line(p, {WrapAdd(p.x, arm.x), WrapAdd(p.y, arm.y)}); }
  // The head with its tip at `p`, opening towards `q`: +theta arm, then -theta.
  void Head(CPoint p, CPoint q) {
    const Vec v = Between(p, q);
    ArmFrom(p, Arm(v, 1));
    ArmFrom(p, Arm(v, -1));
  }
  // The head at `p` towards `q` repeated with its tip at `q`, arm by arm.
  void DoubleHead(CPoint p, CPoint q) {
    const Vec v = Between(p, q);
    for (int sign : {1, -1}) {
      const CPoint arm = Arm(v, sign);
      ArmFrom(p, arm);
      ArmFrom(q, arm);
    }
  }

 private:
  CDC* dc_;
  double upp_;
  int ox_;
  int oy_;
  double s_;
  double c_;
};

void Widen(CPoint p, int* minX, int* maxX, int* minY, int* maxY) {
  if (p.x > *maxX) *maxX = p.x;
  if (p.x < *minX) *minX = p.x;
  if (p.y > *maxY) *maxY = p.y;
  if (p.y < *minY) *minY = p.y;
}

CPoint At(const CVertexNode* node) { return {node->X, node->Y}; }

}  // namespace

void CPieceItem1::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  if (!dc || VertexCount == 0 || !VertexHead || !g_Style.SizeRing) return;
  const int sizes = g_Style.SizeCount;
  CVertexNode* const head = VertexHead;
  CVertexNode* const end = NextMainVertex(head);

  // A line whose two ends do not move between sizes is drawn only once.
  bool same = true;
  for (CVertexNode* v : {head, end}) {
    const CVertexNode* node = v->Next;
    for (int i = 1; i < sizes && same; ++i, node = node->Next) {
      if (node->X != v->X || node->Y != v->Y) same = false;
    }
  }

  CVertexNode* a = nullptr;
  CVertexNode* b = nullptr;
  CSizeRecord* size = nullptr;
  if (same && g_Style.SizeRing->Visible != 0) {
    a = head;
    b = end;
    size = g_Style.SizeRing;
  } else {
    a = end->Prev;
    b = head->Prev;
    size = g_Style.SizeRing->Prev;
  }

  const int style = piece ? piece->Option2 : 2;
  ArmPainter painter(dc, unitsPerPixel, originX, originY);
  for (int i = 0; i < sizes && size; ++i) {
    if (size->Visible != 0) {
      CPen pen(PS_SOLID, 1, size->Color);
      CPen* oldPen = dc->SelectObject(&pen);
      const CPoint pa = At(a);
      const CPoint pb = At(b);
      painter.Line(pa, pb);
      const ArrowPoints arrows = ArrowOffsets(pa, pb, true);
      switch (style) {
        case 0:
          painter.Head(arrows.c, pa);
          painter.Head(arrows.d, pb);
          break;
        case 1:
          painter.Head(pb, arrows.d);
          break;
        case 2:
          painter.Head(pa, arrows.c);
          painter.Head(pb, arrows.d);
          break;
        case 3:
          painter.DoubleHead(pa, arrows.c);
          painter.DoubleHead(pb, arrows.d);
          break;
        default:
          break;
      }
      dc->SelectObject(oldPen);
      if (same) break;
    }
    a = a->Prev;
    b = b->Prev;
    size = size->Prev;
  }
}

void CPieceItem1::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  Draw(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem1::GetDrawExtent(CSizeRecord*, int* minX, int* maxX, int* minY, int* maxY) const {
  GetExtent(0, minX, maxX, minY, maxY);
}

// The first size only, with the arrow heads of style 0 at 20 mm from the ends
// whatever the line's length and the piece's style, so the box may be wider
// than what is drawn. A line of no length adds its point alone.
void CPieceItem1::GetExtent(int, int* minX, int* maxX, int* minY, int* maxY) const {
  *maxX = kExtentEmptyMax;
  *minX = kBoxEmptyMin;
  *maxY = kExtentEmptyMax;
  *minY = kBoxEmptyMin;
  if (!VertexHead) return;
  const CPoint a = At(VertexHead);
  const CPoint b = At(NextMainVertex(VertexHead));
  Widen(a, minX, maxX, minY, maxY);
  Widen(b, minX, maxX, minY, maxY);
  const ArrowPoints arrows = ArrowOffsets(a, b, false);
  const double s = std::sin(kArrowAngle);
  const double c = std::cos(kArrowAngle);
  for (const auto& [tip, inner] : {std::pair{a, arrows.c}, std::pair{b, arrows.d}}) {
    const Vec v = Between(inner, tip);
    for (int sign : {1, -1}) Widen(MoveBy(inner, Turn(v, sign, s, c), 1), minX, maxX, minY, maxY);
  }
}
