#include "model/items/dimension_item.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "design/geometry/measure.h"
#include "model/geometry.h"
#include "model/items/curve_item.h"
#include "model/items/marker_items.h"
#include "model/items/text_item.h"
#include "model/piece_record.h"
#include "model/settings.h"
#include "model/style.h"
#include "platform/dc.h"

namespace {
constexpr double kMmPerInch = 25.4;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kExtensionScreen = 0xC0C0FF;
constexpr COLORREF kLineScreen = 0xC0C0C0;
constexpr COLORREF kTextScreen = 0x8080FF;
// The dimension line stops this many pixels short of its extension lines'
// ends; its arrow strokes are this long.
constexpr double kPullBack = 8.0;
constexpr double kArrowStroke = 9.0;
// A text must leave this many pixels of the dimension line free to be
// written along it.
constexpr double kTextClearance = 20.0;
// The arrow heads of a dimension along a line open 30 degrees each way.
constexpr double kArrowSin = 0.5;
const double kArrowCos = std::sqrt(3.0) / 2.0;

struct Vec {
  double x = 0.0;
  double y = 0.0;
};

// The unit vector from `from` to `to`; none for two equal points.
Vec Unit(CPoint from, CPoint to) {
  const double dx = static_cast<double>(to.x) - from.x;
  const double dy = static_cast<double>(to.y) - from.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0.0) return {};
  return {dx / length, dy / length};
}

// `p` moved by `distance` along `u`, the move truncated.
CPoint Along(CPoint p, Vec u, double distance) {
  return {WrapAdd(p.x, TruncateTowardZero(u.x * distance)), WrapAdd(p.y, TruncateTowardZero(u.y * distance))};
}

// An angle in tenths of a degree, truncated, as a font's escapement.
int32_t Tenths(double radians) { return TruncateTowardZero(radians * 1800.0 / kPi); }

int32_t BaseKind(int32_t kind) { return kind >= 0x101 && kind <= 0x104 ? kind - 0x100 : kind; }

CPoint At(const CVertexNode* node) { return {node->X, node->Y}; }

CVertexNode* NodeAfter(CVertexNode* node, int steps) {
  for (int i = 0; i < steps; ++i) node = node->Next;
  return node;
}

// The point at `p` in size `sizeIndex` of the piece's first item of `type`:
// `p` itself when the piece holds no main vertex there.
CPoint MeasuredPoint(CPieceRecord* piece, int32_t type, CPoint p, int sizeIndex) {
  CPieceItem* item = nullptr;
  if (!piece || !piece->FindItem(type, &item)) return p;
  CVertexNode* node = item->FindVertex(p.x, p.y);
  return node ? At(NodeAfter(node, sizeIndex)) : p;
}

// The first curve item of `type` that holds main vertices at both points.
CPieceCurveItem* CurveHoldingBoth(CPieceRecord* piece, int32_t type, CPoint a, CPoint b) {
  if (!piece) return nullptr;
  CPieceItem* item = piece->ItemRing;
  for (int32_t i = 0; item && i < piece->ItemCount; ++i, item = item->Next) {
    if (item->Type != type || !item->FindVertex(a.x, a.y) || !item->FindVertex(b.x, b.y)) continue;
    return dynamic_cast<CPieceCurveItem*>(item);
  }
  return nullptr;
}

// The length along a curve ring from one node forward to another; 0 when
// the walk does not meet it within one turn.
double LengthAlong(CVertexNode* from, const CVertexNode* to, int32_t count) {
  double length = 0.0;
  CVertexNode* node = from;
  for (int32_t i = 0; i < count && node != to; ++i, node = node->Next) length += SqrtDistance(At(node), At(node->Next));
  return node == to ? length : 0.0;
}

class Strokes {
 public:
  explicit Strokes(CDC* dc) : dc_(dc) {}
  void Line(CPoint a, CPoint b) {
    dc_->MoveTo(a);
    dc_->LineTo(b);
  }
  // A stroke of the arrow's length from `tip` towards `target`.
  void Towards(CPoint tip, CPoint target) { Line(tip, Along(tip, Unit(tip, target), kArrowStroke)); }
  // Two strokes from `tip`: the arrow's length towards `toward`, turned by
  // +30 and -30 degrees about the tip.
  void TurnedPair(CPoint tip, CPoint toward) {
    const CPoint p = Along(tip, Unit(tip, toward), kArrowStroke);
    for (double s : {kArrowSin, -kArrowSin}) {
      CPoint r;
      RotatePoint(p.x, p.y, tip.x, tip.y, s, kArrowCos, &r.x, &r.y);
      Line(tip, r);
    }
  }

 private:
  CDC* dc_;
};

// One drawing of a dimension: its four points in model units and on the
// device, and the ends of the dimension line.
struct DimensionView {
  DimensionView(const CVertexNode* head, double unitsPerPixel, int originX, int originY)
      : unitsPerPixel(unitsPerPixel), originX(originX), originY(originY), a(At(head)), b(At(head->Next)),
        c(At(head->Next->Next)), d(At(head->Next->Next->Next)), sa(Screen(a)), sb(Screen(b)), sc(Screen(c)),
        sd(Screen(d)),
        // An extension line of no length gives no direction: its end stays
        // put.
        c1(Along(sc, Unit(sc, sa), kPullBack)), d1(Along(sd, Unit(sd, sb), kPullBack)) {}

  CPoint Screen(CPoint p) const { return ScreenPoint(p.x, p.y, unitsPerPixel, originX, originY); }

  double unitsPerPixel;
  int originX;
  int originY;
  CPoint a, b, c, d;      // A, B, C and D in model units
  CPoint sa, sb, sc, sd;  // and on the device
  CPoint c1, d1;          // the dimension line's ends, pulled back from C and D
};

// The line a dimension along a line follows: the piece's outline, or the
// first curve item of `type` that holds both points.
CPieceCurveItem* LineFollowed(CPieceRecord* piece, int32_t type, CPoint a, CPoint b) {
  if (type != kItemTypeOutline) return CurveHoldingBoth(piece, type, a, b);
  CPieceItem* outline = nullptr;
  if (piece && piece->FindItem(kItemTypeOutline, &outline)) return dynamic_cast<CPieceCurveItem*>(outline);
  return nullptr;
}

// The first size's curve from A to B, carried over to the dimension line's
// place, with an open arrow head at each end; nothing when the curve holds
// no curve point at A or at B.
void DrawLineAlongCurve(CDC* dc, Strokes* strokes, const DimensionView& view, CPieceCurveItem* curve) {
  CSizeRecord* first = g_Style.SizeRing;
  CVertexNode* from = curve ? curve->FindCurveVertex(first, view.a.x, view.a.y) : nullptr;
  CVertexNode* to = curve ? curve->FindCurveVertex(first, view.b.x, view.b.y) : nullptr;
  if (!from || !to) return;
  const CPoint shift = view.c1 - view.sa;
  std::vector<CPoint> line;
  const int32_t count = curve->GetCurveCount(first);
  CVertexNode* node = from;
  for (int32_t i = 0; i < count; ++i, node = node->Next) {
    const CPoint p = view.Screen(At(node));
    line.emplace_back(WrapAdd(p.x, shift.x), WrapAdd(p.y, shift.y));
    if (node == to) break;
  }
  dc->Polyline(line.data(), static_cast<int>(line.size()));
  if (line.size() >= 2) {
    strokes->TurnedPair(view.c1, line[1]);
    strokes->TurnedPair(view.d1, line[line.size() - 2]);
  }
}

// The straight dimension line between its ends, with two arrow strokes at
// each end towards points beside the other end.
void DrawStraightLine(Strokes* strokes, const DimensionView& view) {
  strokes->Line(view.c1, view.d1);
  const Vec acrossD = Unit(view.d1, view.sb);
  const Vec acrossC = Unit(view.c1, view.sa);
  strokes->Towards(view.c1, Along(view.d1, acrossD, kArrowStroke));
  strokes->Towards(view.c1, Along(view.d1, acrossD, -kArrowStroke));
  strokes->Towards(view.d1, Along(view.c1, acrossC, kArrowStroke));
  strokes->Towards(view.d1, Along(view.c1, acrossC, -kArrowStroke));
}

// The text, in the default font at its height on this device, centred along
// the dimension line on the side away from the measured points, or turned
// along the extension line from A to C when the line is too short for it.
// The two fonts are the caller's, as they stay selected until the caller
// restores the device context: `font` along the line, `turned` along the
// extension line.
void DrawDimensionText(CDC* dc, const DimensionView& view, const CString& text, bool printing, CFont* font,
                       CFont* turned) {
  const double unitsPerPixel = view.unitsPerPixel;
  const CPoint a = view.a, b = view.b, c = view.c, d = view.d;
  LOGFONT logfont = g_DefaultFont;
  const double pixels = printing ? dc->GetDeviceCaps(LOGPIXELSY) * static_cast<double>(g_DefaultFont.lfHeight) /
                                       g_Style.GetScale() / kMmPerInch
                                 : g_DefaultFont.lfHeight / unitsPerPixel;
  logfont.lfHeight = ClampFontHeight(pixels);
  logfont.lfEscapement = logfont.lfOrientation =
      Tenths(std::atan2(static_cast<double>(c.y) - d.y, static_cast<double>(d.x) - c.x));
  font->CreateFontIndirect(&logfont);
  dc->SelectObject(font);
  dc->SetBkMode(OPAQUE);
  dc->SetBkColor(kWhite);
  dc->SetTextColor(printing ? kBlack : kTextScreen);

  const CSize extent = dc->GetTextExtent(text);
  const int32_t w = TruncateTowardZero(extent.cx * unitsPerPixel);
  const int32_t h = TruncateTowardZero(extent.cy * unitsPerPixel);
  CPoint anchor;
  ScreenToModel(static_cast<int>((int64_t{view.c1.x} + view.d1.x) / 2),
                static_cast<int>((int64_t{view.c1.y} + view.d1.y) / 2), &anchor.x, &anchor.y, unitsPerPixel,
                view.originX, view.originY);
  // Which side of the measured points the dimension stands on: B's
  // direction from A turned at least half a turn past C's.
  const auto angleFromA = [&](CPoint p) {
    return std::atan2(static_cast<double>(a.y) - p.y, static_cast<double>(p.x) - a.x);
  };
  double turn = angleFromA(b) - angleFromA(c);
  if (turn < 0) turn += kTwoPi;
  const bool farSide = turn >= kPi;

  if (w / unitsPerPixel < SqrtDistance(view.c1, view.d1) - kTextClearance) {
    anchor = Along(anchor, Unit(d, c), w / 2.0);
    anchor = Along(anchor, farSide ? Unit(a, c) : Unit(c, a), h / 2.0);
  } else {
    logfont.lfEscapement = logfont.lfOrientation =
        Tenths(std::atan2(static_cast<double>(a.y) - c.y, static_cast<double>(c.x) - a.x));
    turned->CreateFontIndirect(&logfont);
    dc->SelectObject(turned);
    anchor = Along(anchor, farSide ? Unit(d, c) : Unit(c, d), h / 2.0);
    anchor = Along(anchor, Unit(c, a), w / 2.0);
  }
  const CPoint at = view.Screen(anchor);
  dc->TextOut(at.x, at.y, text);
}
}  // namespace

int32_t CPieceItem28::Measure(int sizeIndex, CPieceRecord* piece) const {
  if (!VertexHead) return 0;
  if (sizeIndex < 0 || sizeIndex >= g_Style.SizeCount) sizeIndex = 0;
  const CPoint a = At(VertexHead);
  const CPoint b = At(VertexHead->Next);
  const CPoint p1 = MeasuredPoint(piece, FirstItemType, a, sizeIndex);
  const CPoint p2 = MeasuredPoint(piece, SecondItemType, b, sizeIndex);
  switch (BaseKind(Kind)) {
    case kDimensionAcross:
      return TruncateTowardZero(std::fabs(static_cast<double>(p1.x) - p2.x));
    case kDimensionDown:
      return TruncateTowardZero(std::fabs(static_cast<double>(p1.y) - p2.y));
    case kDimensionStraight:
      return TruncateTowardZero(SqrtDistance(p1, p2));
    case kDimensionAlongLine: {
      CPieceCurveItem* curve = CurveHoldingBoth(piece, FirstItemType, a, b);
      if (!curve) return 0;
      CSizeRecord* size = g_Style.SizeAt(sizeIndex);
      CVertexNode* from = curve->MapToCurveVertex(size, NodeAfter(curve->FindVertex(a.x, a.y), sizeIndex));
      CVertexNode* to = curve->MapToCurveVertex(size, NodeAfter(curve->FindVertex(b.x, b.y), sizeIndex));
      if (!from || !to) return 0;
      return TruncateTowardZero(LengthAlong(from, to, curve->GetCurveCount(size)));
    }
    default:
      return 0;
  }
}

void CPieceItem28::Draw(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  DrawSelected(dc, unitsPerPixel, originX, originY, piece);
}

void CPieceItem28::DrawSelected(CDC* dc, double unitsPerPixel, int originX, int originY, CPieceRecord* piece) {
  if (!dc || VertexCount == 0 || !VertexHead || !g_DrawFlagType28) return;
  const bool printing = dc->IsPrinting() != FALSE;
  const DimensionView view(VertexHead, unitsPerPixel, originX, originY);

  const int saved = dc->SaveDC();
  Strokes strokes(dc);
  CPen extensionPen(PS_SOLID, 1, printing ? kLineScreen : kExtensionScreen);
  dc->SelectObject(&extensionPen);
  strokes.Line(view.sa, view.sc);
  strokes.Line(view.sb, view.sd);

  CPen linePen(PS_SOLID, 1, printing ? kBlack : kLineScreen);
  dc->SelectObject(&linePen);
  if (BaseKind(Kind) == kDimensionAlongLine) {
    DrawLineAlongCurve(dc, &strokes, view, LineFollowed(piece, FirstItemType, view.a, view.b));
  } else {
    DrawStraightLine(&strokes, view);
  }
  CFont font;
  CFont turned;
  DrawDimensionText(dc, view, Text, printing, &font, &turned);
  dc->RestoreDC(saved);
}
