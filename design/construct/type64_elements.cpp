#include "design/construct/type64_elements.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/geometry/circles.h"
#include "design/geometry/device_mapping.h"
#include "design/geometry/measure.h"
#include "design/geometry/point_line.h"
#include "design/geometry/primitives.h"
#include "design/points/graded_point.h"
#include "model/item_types.h"
#include "platform/numbers.h"

namespace {

// The container's size count, or none without an owner or container.
size_t SizeCountOf(const CDesignElement& element) {
  const CPatternData* data = element.GetPatternData();
  const int32_t count = data ? data->GetSizeCount() : 0;
  return count > 0 ? static_cast<size_t>(count) : 0;
}

// Inserts a default entry at `index` (0 to the count); false when outside.
template <class T>
bool InsertAt(std::vector<T>& list, int32_t index) {
  if (index < 0 || index > static_cast<int32_t>(list.size())) return false;
  list.insert(list.begin() + index, T{});
  return true;
}

template <class T>
bool RemoveAt(std::vector<T>& list, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(list.size())) return false;
  list.erase(list.begin() + index);
  return true;
}

constexpr double kTwoPi = 6.28318530718;
constexpr double kHalfPi = 1.5707963267949;
constexpr double kSixtyDegrees = 1.0471975511966667;
constexpr double kLeastTurn = 0.17453292519944444;
constexpr double kMostTurn = 6.108652381980556;
// How far from the ring a band end may lie and still be put on it.
constexpr double kOnRing = 5.0;

// Brings an angle into [-2 pi, 2 pi] the way the bands always have, by whole
// turns; an angle that is not finite becomes 0.
double Normalise(double t) {
  if (!std::isfinite(t)) return 0.0;
  if (std::fabs(t) > 64.0 * kTwoPi) t = std::fmod(t, kTwoPi);
  while (t > kTwoPi) t -= kTwoPi;
  while (t < -kTwoPi) t += kTwoPi;
  return t;
}

double Angle(CPoint from, CPoint to) { return LineAngle(from.x, from.y, to.x, to.y); }

CPoint Mid(CPoint a, CPoint b) {
  return CPoint(RoundToNearest((static_cast<double>(a.x) + b.x) / 2.0),
                RoundToNearest((static_cast<double>(a.y) + b.y) / 2.0));
}

// `p` moved by (dx, dy), each rounded, saturating at the int32 range.
CPoint Moved(CPoint p, double dx, double dy) {
  return CPoint(SaturateToInt32(static_cast<int64_t>(p.x) + RoundToNearest(dx)),
                SaturateToInt32(static_cast<int64_t>(p.y) + RoundToNearest(dy)));
}

// `p` moved `length` in the direction `t`.
CPoint Along(CPoint p, double t, double length) { return Moved(p, std::cos(t) * length, std::sin(t) * length); }

void CloseRing(PointList& ring) {
  if (!ring.empty()) ring.push_back(ring.front());
}

// Moves `end` along the line from `from` through it to the crossing with
// the ring nearest to it among those lying ahead of it (NearestPointAhead).
// A line that misses the ring, or has no direction, keeps its end; crossings
// that all lie behind the end fail the size. Nothing is searched once `ok`
// is false.
void Carry(bool& ok, const PointList& ring, CPoint from, CPoint* end) {
  if (!ok || from == *end) return;
  PointList crossings;
  if (IntersectLine2PPolyline(from.x, from.y, end->x, end->y, ring, &crossings) == 0) return;
  CPoint q;
  if (NearestPointAhead(from.x, from.y, end->x, end->y, crossings, &q)) {
    *end = q;
  } else {
    ok = false;
  }
}

// Both ends of a line onto the ring: the first end's crossing is sought seen
// from the second, then the second's seen from the first end's old place;
// the first end moves last, and only when its crossing was found.
void CarryBoth(bool& ok, const PointList& ring, CPoint* first, CPoint* second) {
  if (*first == *second) return;
  PointList crossings;
  if (IntersectLine2PPolyline(second->x, second->y, first->x, first->y, ring, &crossings) == 0) return;
  CPoint newFirst;
  bool found = false;
  if (ok) {
    found = NearestPointAhead(second->x, second->y, first->x, first->y, crossings, &newFirst) != FALSE;
    ok = found;
  }
  if (ok) {
    CPoint q;
    if (NearestPointAhead(first->x, first->y, second->x, second->y, crossings, &q)) {
      *second = q;
    } else {
      ok = false;
    }
  }
  if (found) *first = newFirst;
}

// Makes `q` a vertex of the ring when it lies on it (within 5 units) and is
// none yet; a point off the ring changes nothing.
void PutOnRing(PointList& ring, CPoint q) {
  if (std::find(ring.begin(), ring.end(), q) != ring.end()) return;
  CPoint nearest;
  double distance = 0;
  PointPos prev, at, next;
  if (!HitTestClosedPolyline(ring, kOnRing, q.x, q.y, &nearest, &distance, &prev, &at, &next)) return;
  if (at != ring.cend()) return;
  // Between two neighbours, or on the closing segment (taken at the tail).
  if (std::next(prev) == next) {
    ring.insert(next, q);
  } else {
    ring.insert(ring.end(), q);
  }
}

// Whether the ring section from `a` to `b` is strictly longer than the one
// back from `b` to `a`; false when either cannot be had.
bool LongerWayRound(const PointList& ring, CPoint a, CPoint b) {
  PointList there, back;
  if (!GetRingSection(ring, a.x, a.y, b.x, b.y, &there) || !GetRingSection(ring, b.x, b.y, a.x, a.y, &back)) {
    return false;
  }
  return PolylineLength(there) > PolylineLength(back);
}

// The turn at `corner` from the ring's direction `step` along it to the
// edge towards `other`; false when the corner gives nothing to walk from (a
// ring of no length, a corner off the ring) or the turn fails the corner
// test.
bool CornerTurn(const PointList& ring, CPoint corner, CPoint other, double step, double* turn) {
  CPoint q;
  if (!PointAlongClosedPolyline(ring, corner.x, corner.y, step, &q)) return false;
  *turn = Normalise(Angle(corner, other) - Angle(corner, q));
  return PassesBandCornerTest(*turn);
}

// Where the outline beyond `corner`, folded over along the edge to `other`,
// meets the line a-b: `other` turned about the corner by the turn gives the
// folded direction. True with the point only when the lines meet in one
// point.
bool FoldedMeeting(CPoint corner, CPoint other, double turn, CPoint a, CPoint b, CPoint* out) {
  CPoint t = other;
  RotatePointInPlace(&t, corner.x, corner.y, std::sin(turn), std::cos(turn));
  CPoint q;
  if (IntersectLines2PPt(a.x, a.y, b.x, b.y, t.x, t.y, corner.x, corner.y, &q) != 1) return false;
  *out = q;
  return true;
}

// What a band reads of its element for one size.
struct BandInputs {
  CPatternRecord* piece = nullptr;
  int32_t size = 0;
  CGradedObject* first = nullptr;
  CGradedObject* second = nullptr;
  int32_t w1 = 0;
  int32_t w2 = 0;
  int32_t param1 = 0;
  // One millimetre in model units: the step along the ring at a corner.
  double s = 0.0;
};

template <class Record>
BandInputs InputsOf(const CType64Band<Record>& band, int32_t size) {
  BandInputs in;
  in.piece = band.GetOwner();
  in.size = size;
  in.first = band.GetFirstRef();
  in.second = band.GetSecondRef();
  in.w1 = band.GetFirstValue().Evaluate(size);
  in.w2 = band.GetSecondValue().Evaluate(size);
  in.param1 = band.GetParams()[0];
  const CPatternData* data = band.GetPatternData();
  in.s = data ? static_cast<double>(data->GetScale()) : 0.0;
  return in;
}

// The two reference points at the size; the second is asked only when the
// first was had. Points never had stay at (0, 0).
bool FetchPoints(const BandInputs& in, CPoint* p1, CPoint* p2) {
  *p1 = CPoint(0, 0);
  *p2 = CPoint(0, 0);
  auto* first = dynamic_cast<CGradedPoint*>(in.first);
  if (!first || !first->GetPoint(in.size, p1)) return false;
  auto* second = dynamic_cast<CGradedPoint*>(in.second);
  return second && second->GetPoint(in.size, p2);
}

bool HasSeam(const BandInputs& in) { return in.piece && in.piece->HasSeamLine(); }

PointList OutlineOf(const BandInputs& in) {
  PointList ring;
  if (in.piece) in.piece->GetOutline(in.size, ring);
  return ring;
}

PointList SeamLineOf(const BandInputs& in) {
  PointList ring;
  in.piece->GetSeamLine(in.size, ring);
  return ring;
}

}  // namespace

bool PassesBandCornerTest(double turn) {
  const double magnitude = std::fabs(turn);
  return magnitude >= kLeastTurn && magnitude <= kMostTurn;
}

// ---- Shape records -------------------------------------------------------------

namespace {

// No shape asks for more fill lines than this: a count read from a file
// cannot make a record grow without bound.
constexpr int32_t kMostFillLines = 100000;

// Fills the polygon with lines at `angle`, `step` apart along the base
// segment from `from` to `to`, the first `offset` from `from`; at most
// `count` and none beyond the base segment's end. Each line that crosses
// the polygon at least twice gives its outermost crossings (by x, or by y
// for steep lines) to `starts` and `ends`. Returns the step used (0 when
// nothing could be filled); `step` 0 asks for the step of `spacing`.
double FillPolygon(const PointList& polygon, double angle, CPoint from, CPoint to, int32_t count, int32_t spacing,
                   double offset, double step, std::vector<CPoint>& starts, std::vector<CPoint>& ends) {
  CRect rect;
  GetPointListRect(&rect, polygon);
  if (rect.IsRectEmpty() || spacing <= 0 || count <= 0 || !std::isfinite(angle) || !std::isfinite(offset)) {
    return 0.0;
  }
  angle = std::fmod(angle, kTwoPi);
  if (angle < 0) angle += kTwoPi;
  double folded = angle;
  if (folded >= 3.14159265359) folded -= 3.14159265359;
  const bool byY = folded >= 0.7853981633975 && folded <= 2.3561944901925003;
  const double bx = static_cast<double>(to.x) - from.x;
  const double by = static_cast<double>(to.y) - from.y;
  const double baseLength = std::hypot(bx, by);
  if (!(baseLength > 0)) return 0.0;
  const double ux = bx / baseLength, uy = by / baseLength;
  const double dx = std::cos(angle), dy = std::sin(angle);
  PointList ring = polygon;
  CloseRing(ring);
  auto crossings = [&](CPoint at, PointList* out) {
    const CPoint ahead = Moved(at, dx * 1000.0, dy * 1000.0);
    return IntersectLine2PPolyline(at.x, at.y, ahead.x, ahead.y, ring, out);
  };
  if (!(step > 0)) {
    // Lines `spacing` apart across them stand spacing / sin apart along a
    // base segment they cross at that angle.
    const double sine = std::fabs(ux * dy - uy * dx);
    step = sine > 1e-9 ? spacing / sine : 0.0;
    PointList atFarCorner;
    if (!(step > 0) || crossings(to, &atFarCorner) < 2) step = baseLength / (static_cast<double>(count) + 1.0);
  }
  const int32_t lines = std::min(count, kMostFillLines);
  for (int32_t k = 0; k < lines; ++k) {
    const double at = offset + k * step;
    if (at > baseLength) break;
    if (at < 0) continue;
    PointList found;
    if (crossings(Moved(from, ux * at, uy * at), &found) < 2) continue;
    CPoint first = found.front(), last = *std::next(found.begin());
    if (found.size() > 2) {
      auto key = [byY](const CPoint& p) { return byY ? p.y : p.x; };
      auto [least, greatest] =
          std::minmax_element(found.begin(), found.end(), [&](const CPoint& a, const CPoint& b) { return key(a) < key(b); });
      first = *least;
      last = *greatest;
    }
    starts.push_back(first);
    ends.push_back(last);
  }
  return step;
}

// Where the first two consecutive lines that each cross the segment a-b
// exactly once have the second one cross it.
bool MiddleMeeting(const std::vector<CPoint>& starts, const std::vector<CPoint>& ends, CPoint a, CPoint b,
                   CPoint* out) {
  const PointList middle = {a, b};
  bool previousOnce = false;
  for (size_t i = 0; i < starts.size() && i < ends.size(); ++i) {
    PointList found;
    const bool once = IntersectSegmentPolyline(starts[i].x, starts[i].y, ends[i].x, ends[i].y, middle, &found) == 1;
    if (once && previousOnce) {
      *out = found.front();
      return true;
    }
    previousOnce = once;
  }
  return false;
}

}  // namespace

template <size_t N, size_t ListPairs>
CRect CShapeRecord<N, ListPairs>::GetBoundRect() const {
  int32_t minX = m_Points[0].x, minY = m_Points[0].y, maxX = minX, maxY = minY;
  for (const CPoint& p : m_Points) ExtendBounds(p.x, p.y, &minX, &minY, &maxX, &maxY);
  return CRect(minX, minY, SaturateToInt32(static_cast<int64_t>(maxX) + 1), SaturateToInt32(static_cast<int64_t>(maxY) + 1));
}

template <size_t N, size_t ListPairs>
CRect CShapeRecord<N, ListPairs>::GetBoundRectAt(int32_t cx, int32_t cy, double sinA, double cosA) const {
  std::array<CPoint, N> turned = m_Points;
  for (CPoint& p : turned) RotatePointInPlace(&p, cx, cy, sinA, cosA);
  int32_t minX = turned[0].x, minY = turned[0].y, maxX = minX, maxY = minY;
  for (const CPoint& p : turned) ExtendBounds(p.x, p.y, &minX, &minY, &maxX, &maxY);
  if (minX > maxX || minY > maxY) return CRect();
  return CRect(minX, minY, maxX, maxY);
}

template <size_t N, size_t ListPairs>
void CShapeRecord<N, ListPairs>::GetFillLines(int32_t count, int32_t spacing, int32_t offset, int32_t side,
                                              std::array<std::vector<CPoint>, 2 * ListPairs>* out) {
  for (auto& list : *out) list.clear();
  if (spacing == 0) {
    for (auto& list : m_FillLines) list.clear();
    lineCount = count;
    lineSpacing = spacing;
    lineOffset = offset;
    return;
  }
  if (count == lineCount && spacing == lineSpacing && recompute == 0) {
    *out = m_FillLines;
    return;
  }
  lineCount = count;
  lineSpacing = spacing;
  lineOffset = offset;
  sideFlag = side;
  for (auto& list : m_FillLines) list.clear();
  const auto& p = m_Points;
  const double angle = Angle(p[0], p[1]) + (side != 0 ? kSixtyDegrees : -kSixtyDegrees);
  if constexpr (N == 8) {
    const PointList polygon = {p[2], p[6], p[4], p[5], p[7], p[3]};
    const CPoint from = side != 0 ? p[4] : p[2];
    const CPoint to = side != 0 ? p[5] : p[3];
    FillPolygon(polygon, angle, from, to, count, spacing, offset, 0.0, m_FillLines[0], m_FillLines[1]);
  } else {
    const PointList first = {p[2], p[6], p[0], p[1], p[7], p[3]};
    const double step = FillPolygon(first, angle, side != 0 ? p[2] : p[0], side != 0 ? p[3] : p[1], count, spacing,
                                    offset, 0.0, m_FillLines[0], m_FillLines[1]);
    // The second half's lines start where the first half's meet the middle
    // line, so that the two halves join there.
    const CPoint from = side != 0 ? p[4] : p[0];
    const CPoint to = side != 0 ? p[5] : p[1];
    double secondOffset = offset;
    CPoint meeting;
    if (step > 0 && MiddleMeeting(m_FillLines[0], m_FillLines[1], p[0], p[1], &meeting)) {
      const double bx = static_cast<double>(to.x) - from.x, by = static_cast<double>(to.y) - from.y;
      const double length = std::hypot(bx, by);
      if (length > 0) {
        const double along = ((meeting.x - static_cast<double>(from.x)) * bx + (meeting.y - static_cast<double>(from.y)) * by) / length;
        secondOffset = std::fmod(along, step);
        if (secondOffset < 0) secondOffset += step;
      }
    }
    const PointList second = {p[0], p[8], p[4], p[5], p[9], p[1]};
    FillPolygon(second, angle, from, to, count, spacing, secondOffset, step, m_FillLines[2], m_FillLines[3]);
  }
  recompute = 0;
  *out = m_FillLines;
}

template class CShapeRecord<8, 1>;
template class CShapeRecord<10, 2>;

// ---- CType64Element ------------------------------------------------------------

CType64Element::CType64Element(CPatternRecord* owner, int32_t subtype)
    : CDesignElement(owner, kElementTypeShape), m_Subtype(subtype) {}

CType64Element::~CType64Element() = default;

void CType64Element::ApplyToOutline(int32_t, PointList&) {}

void CType64Element::ApplyToSeamLine(int32_t, PointList&) {}

void CType64Element::DrawShape(CDC* dc, double scale, int32_t originX, int32_t originY, int32_t x1, int32_t y1,
                               int32_t x2, int32_t y2, int32_t style, int32_t width) {
  if (!dc || !(scale > 0) || !std::isfinite(scale)) return;
  // Coinciding ends give the slot no direction: nothing to draw.
  if (x1 == x2 && y1 == y2) return;
  auto device = [&](CPoint p) { return ModelToDevicePoint(p.x, p.y, scale, originX, originY); };
  const CPoint first = device(CPoint(x1, y1));
  const CPoint second = device(CPoint(x2, y2));
  const double ddx = static_cast<double>(second.x) - first.x;
  const double ddy = static_cast<double>(second.y) - first.y;
  if (ddx * ddx + ddy * ddy < 16.0) {
    // Too short to show its shape: a stroke of 4 device units from the
    // first end towards the second.
    const double length = std::hypot(ddx, ddy);
    if (!(length > 0)) return;
    dc->MoveTo(first);
    dc->LineTo(Moved(first, 4.0 * ddx / length, 4.0 * ddy / length));
    return;
  }
  const double dx = static_cast<double>(x1) - x2;
  const double dy = static_cast<double>(y1) - y2;
  const double length = std::hypot(dx, dy);
  const double h = width / 2.0;
  const double ox = dy * h / length;
  const double oy = dx * h / length;
  const CPoint c8m(RoundToNearest(x2 - ox), RoundToNearest(y2 + oy));
  const CPoint c9m(RoundToNearest(x2 + ox), RoundToNearest(y2 - oy));
  const CPoint c8 = device(c8m);
  const CPoint c9 = device(c9m);
  const CPoint c7 = device(Moved(c8m, dx, dy));
  const CPoint c6 = device(Moved(c9m, dx, dy));
  auto line = [dc](CPoint a, CPoint b) {
    dc->MoveTo(a);
    dc->LineTo(b);
  };
  auto vee = [&] {
    dc->MoveTo(c7);
    dc->LineTo(second);
    dc->LineTo(c6);
    // A line leaves its last pixel unpainted: the V's end is set by hand.
    dc->SetPixel(c6.x, c6.y, dc->state().pen.color());
  };
  switch (style) {
    case 1:
      line(first, second);
      line(c8, c9);
      break;
    case 2:
      vee();
      break;
    case 3: {
      const int32_t hw = RoundToNearest(h / scale);
      const int32_t dl = RoundToNearest(length / scale);
      if (hw < 2) {
        line(first, second);
      } else if (dl < hw) {
        int cx = 0, cy = 0, r = 0;
        if (CircleThrough3Points(c7.x, c7.y, second.x, second.y, c6.x, c6.y, &cx, &cy, &r)) {
          const int64_t radius = r < 0 ? -static_cast<int64_t>(r) : r;
          dc->Arc(SaturateToInt32(cx - radius), SaturateToInt32(cy - radius), SaturateToInt32(cx + radius),
                  SaturateToInt32(cy + radius), c7.x, c7.y, c6.x, c6.y);
        } else {
          vee();
        }
      } else {
        // The long sides stop a half width short of the second end, where a
        // half circle about the middle of that end rounds it off.
        const double ux = ddx / std::hypot(ddx, ddy);
        const double uy = ddy / std::hypot(ddx, ddy);
        const CPoint s8 = Moved(c8, -ux * hw, -uy * hw);
        const CPoint s9 = Moved(c9, -ux * hw, -uy * hw);
        line(c7, s8);
        line(c6, s9);
        const CPoint centre = Mid(s8, s9);
        const CPoint topLeft = Moved(centre, -hw, -hw);
        const CPoint bottomRight = Moved(centre, hw, hw);
        dc->Arc(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, s9.x, s9.y, s8.x, s8.y);
      }
      break;
    }
    case 4:
      line(first, second);
      break;
    case 5:
      dc->MoveTo(c7);
      dc->LineTo(c8);
      dc->LineTo(c9);
      dc->LineTo(c6);
      break;
    default:
      break;
  }
}

// ---- CType64Band -----------------------------------------------------------------

template <class Record>
CType64Band<Record>::CType64Band(CPatternRecord* owner, int32_t subtype) : CType64Element(owner, subtype) {
  CPatternData* data = GetPatternData();
  m_FirstValue.Reset(data);
  m_SecondValue.Reset(data);
  ResizeRecords();
  Invalidate(-1);
}

template <class Record>
void CType64Band<Record>::ResizeRecords() {
  const size_t sizes = SizeCountOf(*this);
  m_OutlineRecords.resize(sizes);
  m_SeamRecords.resize(sizes);
  m_HadPoints.resize(sizes, 0);
}

template <class Record>
void CType64Band<Record>::SetParameters(CGradedObject* firstRef, CGradedObject* secondRef, const CFormula& firstValue,
                                        const CFormula& secondValue, const Parameters& params) {
  m_FirstRef = firstRef;
  m_SecondRef = secondRef;
  m_FirstValue = firstValue;
  m_SecondValue = secondValue;
  m_Params = params;
  ResizeRecords();
  Invalidate(-1);
}

template <class Record>
void CType64Band<Record>::GetParameters(CGradedObject** firstRef, CGradedObject** secondRef, CFormula* firstValue,
                                        CFormula* secondValue, Parameters* params) const {
  if (firstRef) *firstRef = m_FirstRef;
  if (secondRef) *secondRef = m_SecondRef;
  GetValues(firstValue, secondValue, params);
}

template <class Record>
void CType64Band<Record>::SetValues(const CFormula& firstValue, const CFormula& secondValue, const Parameters& params) {
  m_FirstValue = firstValue;
  m_SecondValue = secondValue;
  m_Params = params;
  Invalidate(-1);
}

template <class Record>
void CType64Band<Record>::GetValues(CFormula* firstValue, CFormula* secondValue, Parameters* params) const {
  if (firstValue) *firstValue = m_FirstValue;
  if (secondValue) *secondValue = m_SecondValue;
  if (params) *params = m_Params;
}

template <class Record>
BOOL CType64Band<Record>::HasPointsAt(int32_t size) const {
  return size >= 0 && size < static_cast<int32_t>(m_HadPoints.size()) && m_HadPoints[static_cast<size_t>(size)] != 0
             ? TRUE
             : FALSE;
}

template <class Record>
BOOL CType64Band<Record>::GetOutlineRecord(int32_t size, Record* out) {
  if (!RecordAt(m_OutlineRecords, size)) return FALSE;
  if (IsDirty(size)) Calculate(size);
  // Calculate may not change the arrays, but a size outside them after all
  // (a subclass that failed to keep them) is refused.
  const Record* record = RecordAt(m_OutlineRecords, size);
  if (!record || !HasPointsAt(size)) return FALSE;
  if (out) out->CopyFrom(*record);
  return TRUE;
}

template <class Record>
BOOL CType64Band<Record>::GetSeamRecord(int32_t size, Record* out) {
  CPatternRecord* piece = GetOwner();
  if (!piece || !piece->HasSeamLine() || !RecordAt(m_SeamRecords, size)) return FALSE;
  if (IsDirty(size)) Calculate(size);
  const Record* record = RecordAt(m_SeamRecords, size);
  if (!record || !HasPointsAt(size)) return FALSE;
  if (out) out->CopyFrom(*record);
  return TRUE;
}

template <class Record>
BOOL CType64Band<Record>::Finish(int32_t size, const SizeShape& shape) {
  if (size < 0 || size >= static_cast<int32_t>(m_OutlineRecords.size())) return FALSE;
  const auto at = static_cast<size_t>(size);
  m_OutlineRecords[at].CopyFrom(shape.outline);
  if (shape.seamBuilt) m_SeamRecords[at].CopyFrom(shape.seam);
  m_HadPoints[at] = shape.hadPoints ? 1 : 0;
  CDesignElement::Calculate(size);
  return shape.ok ? TRUE : FALSE;
}

template <class Record>
bool CType64Band<Record>::SplicesBothEnds() const {
  return GetSubtype() != CType64Element2::kSubtype && GetSubtype() != CType64Element32::kSubtype;
}

namespace {

// The end lists of a shape, across it at its first end and at its second.
PointList FirstEndList(const CShapeRecordA& r) { return {r.GetP2(), r.GetP6(), r.GetP4()}; }
PointList SecondEndList(const CShapeRecordA& r) { return {r.GetP5(), r.GetP7(), r.GetP3()}; }
PointList FirstEndList(const CShapeRecordB& r) {
  return {r.GetP2(), r.GetP6(), r.GetP0(), r.GetPoint(8), r.GetP4()};
}
PointList SecondEndList(const CShapeRecordB& r) {
  return {r.GetP5(), r.GetPoint(9), r.GetP1(), r.GetP7(), r.GetP3()};
}
// The closed outline of a shape, for the inside test.
PointList ShapeRing(const CShapeRecordA& r) { return {r.GetP2(), r.GetP6(), r.GetP4(), r.GetP5(), r.GetP7(), r.GetP3()}; }
PointList ShapeRing(const CShapeRecordB& r) {
  return {r.GetP2(), r.GetP6(), r.GetP0(), r.GetPoint(8), r.GetP4(),
          r.GetP5(), r.GetPoint(9), r.GetP1(), r.GetP7(), r.GetP3()};
}
// The order in which the hit test visits the points.
constexpr std::array<size_t, 8> kHitOrderA = {2, 3, 4, 5, 6, 7, 0, 1};
constexpr std::array<size_t, 10> kHitOrderB = {2, 3, 4, 5, 6, 7, 8, 9, 0, 1};
const auto& HitOrder(const CShapeRecordA&) { return kHitOrderA; }
const auto& HitOrder(const CShapeRecordB&) { return kHitOrderB; }
// The long pairs as exported: first point and its flag, in order.
constexpr std::array<std::pair<size_t, size_t>, 3> kPairsA = {{{2, 3}, {6, 7}, {4, 5}}};
constexpr std::array<std::pair<size_t, size_t>, 5> kPairsB = {{{2, 3}, {6, 7}, {0, 1}, {8, 9}, {4, 5}}};
const auto& ExportPairs(const CShapeRecordA&) { return kPairsA; }
const auto& ExportPairs(const CShapeRecordB&) { return kPairsB; }

}  // namespace

template <class Record>
void CType64Band<Record>::ApplyToOutline(int32_t size, PointList& outline) {
  Record record;
  if (!GetOutlineRecord(size, &record)) return;
  ReplaceRingSection(outline, FirstEndList(record));
  if (SplicesBothEnds()) ReplaceRingSection(outline, SecondEndList(record));
}

template <class Record>
void CType64Band<Record>::ApplyToSeamLine(int32_t size, PointList& seamLine) {
  Record record;
  if (!GetSeamRecord(size, &record)) return;
  ReplaceRingSection(seamLine, FirstEndList(record));
  if (SplicesBothEnds()) ReplaceRingSection(seamLine, SecondEndList(record));
}

template <class Record>
BOOL CType64Band<Record>::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  const CPatternData* data = GetPatternData();
  Record record;
  if (!data || !GetOutlineRecord(data->GetBaseSize(), &record)) return FALSE;
  bool any = false;
  int32_t least = 0;
  for (size_t index : HitOrder(record)) {
    const CPoint p = record.GetPoint(index);
    const int32_t d = PointDistance(x, y, p.x, p.y);
    if (!any || d < least) least = d;
    any = true;
  }
  if (least <= tolerance) {
    if (distance) *distance = least;
    return TRUE;
  }
  if (IsPointInPointList(x, y, ShapeRing(record))) {
    if (distance) *distance = tolerance;
    return TRUE;
  }
  return FALSE;
}

template <class Record>
CRect CType64Band<Record>::GetBoundRect(int32_t size) const {
  // The records are a cache computed on demand: asking a box of a dirty size
  // computes it.
  auto* self = const_cast<CType64Band*>(this);
  CRect rect;
  Record record;
  if (!self->GetOutlineRecord(size, &record)) return rect;
  rect = record.GetBoundRect();
  if (self->GetSeamRecord(size, &record)) {
    CRect joined;
    joined.UnionRect(rect, record.GetBoundRect());
    rect = joined;
  }
  return rect;
}

template <class Record>
CRect CType64Band<Record>::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  auto* self = const_cast<CType64Band*>(this);
  CRect rect;
  Record record;
  if (!self->GetOutlineRecord(size, &record)) return rect;
  rect = record.GetBoundRectAt(cx, cy, sinA, cosA);
  if (self->GetSeamRecord(size, &record)) {
    CRect joined;
    joined.UnionRect(rect, record.GetBoundRectAt(cx, cy, sinA, cosA));
    rect = joined;
  }
  return rect;
}

template <class Record>
BOOL CType64Band<Record>::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  const CPatternData* data = GetPatternData();
  if (!itemType || !vertices) return FALSE;
  vertices->clear();
  Record record;
  if (!data || !GetOutlineRecord(data->GetBaseSize(), &record)) return FALSE;
  *itemType = kItemTypeSegmentPairs;
  const auto& pairs = ExportPairs(record);
  for (size_t i = 0; i < pairs.size(); ++i) {
    const uint32_t flag = i == 0 ? 0u : i + 1 == pairs.size() ? 3u : 1u;
    const CPoint a = record.GetPoint(pairs[i].first);
    const CPoint b = record.GetPoint(pairs[i].second);
    vertices->push_back(CVertex{a.x, a.y, flag});
    vertices->push_back(CVertex{b.x, b.y, 4u});
  }
  return TRUE;
}

template <class Record>
CType64Band<Record>::~CType64Band() {
  // The hidden points kept only for this band go with it.
  if (CPatternData* data = GetPatternData()) {
    for (CGradedObject* reference : {m_FirstRef, m_SecondRef}) data->DeleteIfHidden(reference);
  }
}

template <class Record>
BOOL CType64Band<Record>::RefersTo(const CGradedObject* object) const {
  return object && (object == m_FirstRef || object == m_SecondRef) ? TRUE : FALSE;
}

template <class Record>
void CType64Band<Record>::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  used.push_back(m_FirstRef);
  used.push_back(m_SecondRef);
}

template <class Record>
void CType64Band<Record>::ReplaceReference(CGradedObject* oldObject, CGradedObject* newObject) {
  bool replaced = false;
  for (CGradedObject** ref : {&m_FirstRef, &m_SecondRef}) {
    if (*ref == oldObject) {
      *ref = newObject;
      replaced = true;
    }
  }
  if (replaced) Invalidate(-1);
}

template <class Record>
BOOL CType64Band<Record>::FreezeIfUsesSizeRow(CSizeTableRow* row) {
  BOOL frozen = FALSE;
  for (CFormula* value : Values()) {
    if (value->UsesSizeRow(row)) {
      value->Freeze();
      frozen = TRUE;
    }
  }
  return frozen;
}

template <class Record>
BOOL CType64Band<Record>::InvalidateIfUsesSizeRow(CSizeTableRow* row) {
  if (!m_FirstValue.UsesSizeRow(row) && !m_SecondValue.UsesSizeRow(row)) return FALSE;
  Invalidate(-1);
  return TRUE;
}

template <class Record>
BOOL CType64Band<Record>::FreezeIfUsesMeasure(CPieceMeasure* measure) {
  BOOL frozen = FALSE;
  for (CFormula* value : Values()) {
    if (value->UsesMeasure(measure)) {
      value->Freeze();
      frozen = TRUE;
    }
  }
  return frozen;
}

template <class Record>
BOOL CType64Band<Record>::InvalidateIfUsesMeasure(CPieceMeasure* measure) {
  if (!m_FirstValue.UsesMeasure(measure) && !m_SecondValue.UsesMeasure(measure)) return FALSE;
  Invalidate(-1);
  return TRUE;
}

template <class Record>
void CType64Band<Record>::InsertSize(int32_t index) {
  if (!InsertAt(m_OutlineRecords, index)) return;
  InsertAt(m_SeamRecords, index);
  InsertAt(m_HadPoints, index);
  CDesignElement::InsertSize(index);
}

template <class Record>
void CType64Band<Record>::RemoveSize(int32_t index) {
  if (!RemoveAt(m_OutlineRecords, index)) return;
  RemoveAt(m_SeamRecords, index);
  RemoveAt(m_HadPoints, index);
  CDesignElement::RemoveSize(index);
}

template <class Record>
BOOL CType64Band<Record>::Load(ArchiveReader& archive) {
  CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  int32_t first = -1;
  int32_t second = -1;
  CFormula firstValue(data);
  CFormula secondValue(data);
  Parameters params{};
  if (!archive.ReadI32(first) || !archive.ReadI32(second) || !firstValue.Load(archive) ||
      !secondValue.Load(archive)) {
    return FALSE;
  }
  for (int32_t& param : params) {
    if (!archive.ReadI32(param)) return FALSE;
  }
  m_FirstRef = ResolveObjectOfKind(*data, first, kObjectKindPoint);
  m_SecondRef = ResolveObjectOfKind(*data, second, kObjectKindPoint);
  m_FirstValue = firstValue;
  m_SecondValue = secondValue;
  m_Params = params;
  Invalidate(-1);
  return TRUE;
}

template class CType64Band<CShapeRecordA>;
template class CType64Band<CShapeRecordB>;

// ---- Bands of two halves (subtypes 16 and 32) -----------------------------------

namespace {

using ShapeA = CType64Band<CShapeRecordA>::SizeShape;
using ShapeB = CType64Band<CShapeRecordB>::SizeShape;

// The band of two halves under construction: its middle line P1-P2, its
// sides A-B and C-E, and the two midpoint lines between them.
struct HalvesBand {
  CPoint p1, p2, a, b, c, e, m1a, m1b, m2a, m2b;

  CShapeRecordB Record() const {
    CShapeRecordB record;
    record.Set({p1, p2, a, b, c, e, m1a, m1b, m2a, m2b});
    return record;
  }
  // Every first-end point on P1, every second-end point on P2.
  void Collapse() {
    a = m1a = m2a = c = p1;
    b = m1b = m2b = e = p2;
  }
};

// The midpoint-line ends at the corners, on `ring`: each end meets the
// outline folded over along its side, or falls to the midpoint of its side's
// end and the middle line's. Corners are taken A, B, C, E (A and C alone
// when only the first end reaches the ring).
void PlaceMidpointEnds(const PointList& ring, double s, bool bothEnds, HalvesBand& band) {
  double turn = 0.0;
  CPoint q;
  if (!CornerTurn(ring, band.a, band.b, -s, &turn)) {
    band.m1a = Mid(band.a, band.p1);
  } else if (FoldedMeeting(band.a, band.b, turn, band.m1a, band.m1b, &q)) {
    band.m1a = q;
  }
  if (bothEnds) {
    if (!CornerTurn(ring, band.b, band.a, s, &turn)) {
      band.m1b = Mid(band.b, band.p2);
    } else if (FoldedMeeting(band.b, band.a, turn, band.m1a, band.m1b, &q)) {
      band.m1b = q;
    }
  }
  if (!CornerTurn(ring, band.c, band.e, s, &turn)) {
    band.m2a = Mid(band.c, band.p1);
  } else if (FoldedMeeting(band.c, band.e, turn, band.m2a, band.m2b, &q)) {
    band.m2a = q;
  }
  if (bothEnds) {
    if (!CornerTurn(ring, band.e, band.c, -s, &turn)) {
      band.m2b = Mid(band.e, band.p2);
    } else if (FoldedMeeting(band.e, band.c, turn, band.m2a, band.m2b, &q)) {
      band.m2b = q;
    }
  }
}

// The band between two points whose sides are tangent to circles of half
// the widths about them, with a midpoint line inside each half; `bothEnds`
// carries it to the outline at both ends, otherwise at the first alone.
ShapeB BuildHalvesBand(const BandInputs& in, bool bothEnds) {
  ShapeB shape;
  HalvesBand band{};
  PointList ring = OutlineOf(in);
  shape.hadPoints = FetchPoints(in, &band.p1, &band.p2);
  bool ok = shape.hadPoints;
  const double d = Distance(band.p1, band.p2);
  const double w1 = in.w1, w2 = in.w2;
  const double ratio = std::fabs(w1 - w2) / 4.0 / d;
  // Coinciding points, or widths too far apart for the distance, leave no
  // side tangent to both circles.
  if (ok && !(d > 0 && ratio <= 1.0)) ok = false;
  if (!ok) {
    band.Collapse();
    shape.outline = band.Record();
    shape.seamBuilt = HasSeam(in);
    shape.seam = shape.outline;
    return shape;
  }
  const double bend = std::acos(ratio);
  const double forward = Angle(band.p1, band.p2), backward = Angle(band.p2, band.p1);
  const double t = Normalise(std::fabs(w1) < std::fabs(w2) ? backward - bend : forward + bend);
  band.a = Along(band.p1, t, w1 / 2.0);
  band.b = Along(band.p2, t, w2 / 2.0);
  const double t2 = Normalise(w1 < w2 ? backward + bend : forward - bend);
  band.c = Along(band.p1, t2, w1 / 2.0);
  band.e = Along(band.p2, t2, w2 / 2.0);
  band.m1a = Mid(band.a, band.p1);
  band.m1b = Mid(band.b, band.p2);
  band.m2a = Mid(band.c, band.p1);
  band.m2b = Mid(band.e, band.p2);

  CloseRing(ring);
  if (bothEnds) {
    for (auto [first, second] : {std::pair{&band.a, &band.b}, std::pair{&band.c, &band.e},
                                 std::pair{&band.m1a, &band.m1b}, std::pair{&band.m2a, &band.m2b}}) {
      Carry(ok, ring, *second, first);
      Carry(ok, ring, *first, second);
    }
  } else {
    Carry(ok, ring, band.b, &band.a);
    Carry(ok, ring, band.e, &band.c);
    Carry(ok, ring, band.m1b, &band.m1a);
    Carry(ok, ring, band.m2b, &band.m2a);
  }
  if (ok) {
    if (!ring.empty()) ring.pop_back();  // the closing point again
    PutOnRing(ring, band.a);
    PutOnRing(ring, band.c);
    if (LongerWayRound(ring, band.a, band.c)) {
      std::swap(band.a, band.c);
      std::swap(band.b, band.e);
      std::swap(band.m1a, band.m2a);
      std::swap(band.m1b, band.m2b);
    }
    PlaceMidpointEnds(ring, in.s, bothEnds, band);
  } else {
    band.Collapse();
  }
  shape.ok = ok;
  shape.outline = band.Record();
  if (!HasSeam(in)) return shape;

  shape.seamBuilt = true;
  if (!ok) {
    shape.seam = shape.outline;
    return shape;
  }
  PointList seam = SeamLineOf(in);
  CloseRing(seam);
  if (bothEnds) {
    for (auto [first, second] : {std::pair{&band.a, &band.b}, std::pair{&band.m1a, &band.m1b},
                                 std::pair{&band.p1, &band.p2}, std::pair{&band.m2a, &band.m2b},
                                 std::pair{&band.c, &band.e}}) {
      CarryBoth(ok, seam, first, second);
    }
  } else {
    Carry(ok, seam, band.b, &band.a);
    Carry(ok, seam, band.m1b, &band.m1a);
    Carry(ok, seam, band.p2, &band.p1);
    Carry(ok, seam, band.m2b, &band.m2a);
    Carry(ok, seam, band.e, &band.c);
  }
  PlaceMidpointEnds(seam, in.s, bothEnds, band);
  shape.seam = band.Record();
  shape.ok = ok;
  return shape;
}

}  // namespace

BOOL CType64Element16::Calculate(int32_t size) {
  if (size < 0 || size >= GetRecordCount()) return FALSE;
  return Finish(size, BuildHalvesBand(InputsOf(*this, size), true));
}

BOOL CType64Element32::Calculate(int32_t size) {
  if (size < 0 || size >= GetRecordCount()) return FALSE;
  return Finish(size, BuildHalvesBand(InputsOf(*this, size), false));
}

// ---- Bands with mirrored ends (subtypes 1 and 2) -------------------------------------------

namespace {

// The straight band under construction: its middle line P1-P2, its edges
// F1-F2 and S1-S2 and the middle points M1 and M2 of its ends.
struct MirroredBand {
  CPoint p1, p2, f1, f2, s1, s2, m1, m2;

  CShapeRecordA Record(bool bothEnds) const {
    CShapeRecordA record;
    record.Set({p1, p2, f1, f2, s1, s2, m1, bothEnds ? m2 : p2});
    return record;
  }
  void Collapse() {
    f1 = m1 = s1 = p1;
    s2 = m2 = f2 = p2;
  }
};

// The middle points on `ring`: where the outline beyond the corners of the
// chosen edge (the second for parameter 1 not 0, else the first), folded
// over along that edge, meets the middle line; the middle line's ends when
// the folded line runs parallel to it; the midpoints of the ends when a
// corner fails its test. With one end, the second middle point is P2.
void PlaceMiddlePoints(const PointList& ring, double s, int32_t param1, bool bothEnds, MirroredBand& band) {
  const bool secondEdge = param1 != 0;
  const CPoint near1 = secondEdge ? band.s1 : band.f1;
  const CPoint far1 = secondEdge ? band.s2 : band.f2;
  double turn1 = 0.0, turn2 = 0.0;
  bool pass = CornerTurn(ring, near1, far1, secondEdge ? s : -s, &turn1);
  if (pass && bothEnds) pass = CornerTurn(ring, far1, near1, secondEdge ? -s : s, &turn2);
  if (!pass) {
    band.m1 = Mid(band.f1, band.s1);
    band.m2 = bothEnds ? Mid(band.f2, band.s2) : band.p2;
    return;
  }
  if (!FoldedMeeting(near1, far1, turn1, band.p1, band.p2, &band.m1)) band.m1 = band.p1;
  if (!bothEnds) {
    band.m2 = band.p2;
  } else if (!FoldedMeeting(far1, near1, turn2, band.p1, band.p2, &band.m2)) {
    band.m2 = band.p2;
  }
}

// The ends of one line of a band: where it starts (at the first reference
// point) and where it ends (at the second).
struct BandLine {
  CPoint* first;
  CPoint* second;
};

// Carries a band onto the outline (`ring`) and, where the piece has one, onto
// the seam line, and records both shapes in `shape`. `side1` and `side2` are its two
// sides, `middle` its middle line; `place` puts its middle points on a line.
// The outline carries the sides at their first ends (and their second with
// `bothEnds`); the side met first going round the ring becomes side 1. A
// failure, before or here, stores the collapsed band.
template <class Band>
ShapeA CarryOntoLines(ShapeA shape, const BandInputs& in, bool bothEnds, bool ok, PointList& ring, Band& band,
                      BandLine side1, BandLine side2, BandLine middle,
                      void (*place)(const PointList&, double, int32_t, bool, Band&)) {
  CloseRing(ring);
  Carry(ok, ring, *side1.second, side1.first);
  Carry(ok, ring, *side2.second, side2.first);
  if (bothEnds) {
    Carry(ok, ring, *side1.first, side1.second);
    Carry(ok, ring, *side2.first, side2.second);
  }
  if (ok) {
    if (!ring.empty()) ring.pop_back();  // the closing point again
    PutOnRing(ring, *side1.first);
    PutOnRing(ring, *side2.first);
    if (LongerWayRound(ring, *side1.first, *side2.first)) {
      std::swap(*side1.first, *side2.first);
      std::swap(*side1.second, *side2.second);
    }
    place(ring, in.s, in.param1, bothEnds, band);
  } else {
    band.Collapse();
  }
  shape.ok = ok;
  shape.outline = band.Record(bothEnds);
  if (!HasSeam(in)) return shape;

  shape.seamBuilt = true;
  if (!ok) {
    shape.seam = shape.outline;
    return shape;
  }
  PointList seam = SeamLineOf(in);
  CloseRing(seam);
  if (bothEnds) {
    CarryBoth(ok, seam, side1.first, side1.second);
    CarryBoth(ok, seam, middle.first, middle.second);
    CarryBoth(ok, seam, side2.first, side2.second);
  } else {
    Carry(ok, seam, *side1.second, side1.first);
    Carry(ok, seam, *middle.second, middle.first);
    Carry(ok, seam, *side2.second, side2.first);
  }
  place(seam, in.s, in.param1, bothEnds, band);
  shape.seam = band.Record(bothEnds);
  shape.ok = ok;
  return shape;
}

// The band of widths w1 and w2 about the line between the two points, its
// edges offset square to that line; `bothEnds` carries it to the outline at
// both ends, otherwise at the first alone.
ShapeA BuildMirroredBand(const BandInputs& in, bool bothEnds) {
  ShapeA shape;
  MirroredBand band{};
  PointList ring = OutlineOf(in);
  shape.hadPoints = FetchPoints(in, &band.p1, &band.p2);
  bool ok = shape.hadPoints;
  const double dx = static_cast<double>(band.p2.x) - band.p1.x;
  const double dy = static_cast<double>(band.p2.y) - band.p1.y;
  const double length = std::hypot(dx, dy);
  // Coinciding points give the band no direction to offset its edges from.
  if (ok && !(length > 0)) ok = false;
  if (!ok) {
    band.Collapse();
    shape.outline = band.Record(bothEnds);
    shape.seamBuilt = HasSeam(in);
    shape.seam = shape.outline;
    return shape;
  }
  const double w1 = in.w1, w2 = in.w2;
  band.f1 = Moved(band.p1, -w1 * dy / 2 / length, w1 * dx / 2 / length);
  band.s1 = Moved(band.p1, w1 * dy / 2 / length, -w1 * dx / 2 / length);
  band.s2 = Moved(band.p2, w2 * dy / 2 / length, -w2 * dx / 2 / length);
  band.f2 = Moved(band.p2, -w2 * dy / 2 / length, w2 * dx / 2 / length);

  return CarryOntoLines(shape, in, bothEnds, ok, ring, band, {&band.f1, &band.f2}, {&band.s1, &band.s2},
                        {&band.p1, &band.p2}, PlaceMiddlePoints);
}

}  // namespace

BOOL CType64Element1::Calculate(int32_t size) {
  if (size < 0 || size >= GetRecordCount()) return FALSE;
  return Finish(size, BuildMirroredBand(InputsOf(*this, size), true));
}

BOOL CType64Element2::Calculate(int32_t size) {
  if (size < 0 || size >= GetRecordCount()) return FALSE;
  return Finish(size, BuildMirroredBand(InputsOf(*this, size), false));
}
// ---- Folded bands (subtypes 4 and 8) ----------------------------------------------------

namespace {

// The one-sided band under construction: its sides A-B and C-E (one of them
// the line between the reference points), its middle line M1-M2 and the
// fold points F1 and F2 on it.
struct FoldedBand {
  CPoint a, b, c, e, m1, m2, f1, f2;

  CShapeRecordA Record(bool bothEnds) const {
    CShapeRecordA record;
    record.Set({m1, m2, a, b, c, e, f1, bothEnds ? f2 : m2});
    return record;
  }
  void Collapse() {
    a = f1 = c = m1;
    b = f2 = e = m2;
  }
};

// The fold points on `ring`: at the ends of the first side (parameter 1 of
// 0) or of the second, where the outline folded over along that side meets
// the middle line; the middle line's own ends where the folded line runs
// parallel to it; the midpoints of the side ends when a corner fails its
// test (either corner, when both ends fold).
void PlaceFolds(const PointList& ring, double s, int32_t param1, bool bothEnds, FoldedBand& band) {
  const bool firstSide = param1 == 0;
  const CPoint near1 = firstSide ? band.a : band.c;
  const CPoint far1 = firstSide ? band.b : band.e;
  double turn1 = 0.0, turn2 = 0.0;
  bool pass = CornerTurn(ring, near1, far1, firstSide ? -s : s, &turn1);
  if (pass && bothEnds) pass = CornerTurn(ring, far1, near1, firstSide ? s : -s, &turn2);
  if (!pass) {
    band.f1 = Mid(band.a, band.c);
    band.f2 = Mid(band.b, band.e);
    return;
  }
  if (!FoldedMeeting(near1, far1, turn1, band.m1, band.m2, &band.f1)) band.f1 = band.m1;
  if (bothEnds && !FoldedMeeting(far1, near1, turn2, band.m1, band.m2, &band.f2)) band.f2 = band.m2;
}

// The band on one side of the line between the two points, whole widths
// wide, folded along its middle line; `bothEnds` carries it to the outline
// at both ends, otherwise at the first alone.
ShapeA BuildFoldedBand(const BandInputs& in, bool bothEnds) {
  ShapeA shape;
  FoldedBand band{};
  CPoint p1, p2;
  PointList ring = OutlineOf(in);
  shape.hadPoints = FetchPoints(in, &p1, &p2);
  bool ok = shape.hadPoints;
  const double d = Distance(p1, p2);
  const double w1 = in.w1, w2 = in.w2;
  const double ratio = std::fabs((w1 - w2) / 2.0) / d;
  if (ok && !(d > 0 && ratio <= 1.0)) ok = false;
  if (!ok) {
    // Without an angle there is no middle line: its ends are the points.
    band.m1 = p1;
    band.m2 = p2;
    band.Collapse();
    shape.outline = band.Record(bothEnds);
    shape.seamBuilt = HasSeam(in);
    shape.seam = shape.outline;
    return shape;
  }
  const double bend = std::acos(ratio);
  const double forward = Angle(p1, p2), backward = Angle(p2, p1);
  if (w1 > 0 || (w1 == 0 && w2 > 0)) {
    // On the second side; signed widths, so a negative w2 crosses over.
    const double t = Normalise(w1 < w2 ? backward + bend : forward - bend);
    band.c = Along(p1, t, w1);
    band.e = Along(p2, t, w2);
    band.a = p1;
    band.b = p2;
  } else {
    const double t = Normalise(std::fabs(w1) < std::fabs(w2) ? backward - bend : forward + bend);
    band.a = Along(p1, t, std::fabs(w1));
    band.b = Along(p2, t, std::fabs(w2));
    band.c = p1;
    band.e = p2;
  }
  band.m1 = Mid(band.a, band.c);
  band.m2 = Mid(band.b, band.e);

  return CarryOntoLines(shape, in, bothEnds, ok, ring, band, {&band.a, &band.b}, {&band.c, &band.e},
                        {&band.m1, &band.m2}, PlaceFolds);
}

}  // namespace

BOOL CType64Element4::Calculate(int32_t size) {
  if (size < 0 || size >= GetRecordCount()) return FALSE;
  return Finish(size, BuildFoldedBand(InputsOf(*this, size), true));
}

BOOL CType64Element8::Calculate(int32_t size) {
  if (size < 0 || size >= GetRecordCount()) return FALSE;
  return Finish(size, BuildFoldedBand(InputsOf(*this, size), false));
}

// ---- Registration ------------------------------------------------------------------

namespace {

template <class Element>
void RegisterSubtype(ElementFactory& factory) {
  factory.Register(ElementCode{kElementTypeShape, Element::kSubtype},
                   [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
                     return std::make_unique<Element>(owner);
                   });
}

}  // namespace

void RegisterType64Elements() {
  ElementFactory& factory = GetElementFactory();
  RegisterSubtype<CType64Element1>(factory);
  RegisterSubtype<CType64Element2>(factory);
  RegisterSubtype<CType64Element4>(factory);
  RegisterSubtype<CType64Element8>(factory);
  RegisterSubtype<CType64Element16>(factory);
  RegisterSubtype<CType64Element32>(factory);
}
