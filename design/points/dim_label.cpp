#include "design/points/dim_label.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/geometry/device_mapping.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"
#include "design/geometry/primitives.h"
#include "model/shell_services.h"
#include "platform/dc.h"
#include "platform/numbers.h"
#include "platform/recording_dc.h"

namespace {

// The default distance of a label from what it measures.
constexpr int64_t kDefaultOffsetMillimetres = 10;
// The leader mode's second line direction: 60 degrees.
constexpr double kLeaderAngle = 1.0471975511966667;
// An angle mark too long for its arms shrinks to this many millimetres when
// the shorter arm allows it.
constexpr int64_t kShortAngleMillimetres = 20;
// The angles of a division arc: half its 100-degree span, and the turn from
// the part to the centre (the base angles of the triangle part end, part
// end, centre).
constexpr double kHalfDivisionSpan = 0.8726646259972223;
constexpr double kDivisionCentreTurn = 0.6981317007977778;
constexpr double kPi = 3.14159265359;
constexpr double kTwoPi = 6.28318530718;
// A byte from which on a label text byte starts a two-byte character.
constexpr unsigned char kFirstDoubleByteLead = 0xA0;

CPoint AddSaturated(CPoint p, CPoint d) {
  return CPoint(SaturateToInt32(int64_t{p.x} + d.x), SaturateToInt32(int64_t{p.y} + d.y));
}

// The middle of two points, each coordinate truncated towards zero.
CPoint Midpoint(CPoint a, CPoint b) {
  return CPoint(static_cast<int32_t>((int64_t{a.x} + b.x) / 2), static_cast<int32_t>((int64_t{a.y} + b.y) / 2));
}

// The box of a circle about `centre`, kept inside the int range.
CRect CircleBox(CPoint centre, int64_t radius) {
  return CRect(SaturateToInt32(centre.x - radius), SaturateToInt32(centre.y - radius),
               SaturateToInt32(centre.x + radius), SaturateToInt32(centre.y + radius));
}

// An angle brought into [0, 2 pi).
double WrapAngle(double a) {
  if (!std::isfinite(a)) return 0.0;
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}

// Whether the direction `angle` lies on the sweep from `from` through
// increasing angles, both bounds included.
bool WithinSweep(double angle, double from, double sweep) {
  constexpr double kSlack = 1e-9;
  const double along = WrapAngle(angle - from);
  return along <= sweep + kSlack || along >= kTwoPi - kSlack;
}

// The part count of a division as the labelled point gives it; a value that
// is not a number counts as none.
int32_t PartCountOf(double value) {
  if (!(value > 0)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(value);
}


}  // namespace

void CDimLabel::CopyFrom(const CDimLabel& other) {
  CPatternData* owner = m_Owner;
  CGradedObject* object = m_Object;
  const double textScale = m_TextScale;
  *this = other;
  m_Owner = owner;
  m_Object = object;
  // The scale belongs to the view that shows this label, not to its values.
  m_TextScale = textScale;
}

void CDimLabel::Bind(CPatternData* owner, CGradedObject* object, int32_t mode, bool horizontalText) {
  m_Owner = owner;
  m_Object = object;
  m_Mode = mode;
  if (horizontalText) m_Orientation = 0;
  // The scale comes from the file: the product is kept in the int range.
  m_OffsetDistance = owner ? SaturateToInt32(kDefaultOffsetMillimetres * owner->GetScale()) : 0;
}

void CDimLabel::SetLinear(CPatternData* owner, CGradedObject* object) { Bind(owner, object, kLabelModeLinear, true); }

void CDimLabel::SetLinearLeader(CPatternData* owner, CGradedObject* object) {
  Bind(owner, object, kLabelModeLinearLeader, true);
  m_LineA1 = 1.0;
  m_LineB1 = -1.0;
  m_LineA2 = std::sin(kLeaderAngle);
  m_LineB2 = -std::cos(kLeaderAngle);
}

void CDimLabel::SetAngle(CPatternData* owner, CGradedObject* object) { Bind(owner, object, kLabelModeAngle, true); }

void CDimLabel::SetDivision(CPatternData* owner, CGradedObject* object) {
  Bind(owner, object, kLabelModeDivision, false);
}

void CDimLabel::SetAlongCurve(CPatternData* owner, CGradedObject* object) {
  Bind(owner, object, kLabelModeAlongCurve, true);
}

BOOL CDimLabel::Load(ArchiveReader& archive) {
  uint32_t mode = 0;
  uint32_t orientation = 0;
  uint32_t offsetDistance = 0;
  CPoint textOffset;
  uint32_t partCount = 0;
  double lines[4] = {};
  uint32_t visible = 0;
  archive.ReadU32(mode);
  archive.ReadU32(orientation);
  archive.ReadU32(offsetDistance);
  archive.ReadI32(textOffset.x);
  archive.ReadI32(textOffset.y);
  archive.ReadU32(partCount);
  for (double& line : lines) archive.ReadDouble(line);
  if (!archive.ReadU32(visible)) return FALSE;
  m_Mode = static_cast<int32_t>(mode);
  m_Orientation = static_cast<int32_t>(orientation);
  m_OffsetDistance = static_cast<int32_t>(offsetDistance);
  m_TextOffset = textOffset;
  m_PartCount = static_cast<int32_t>(partCount);
  m_LineA1 = lines[0];
  m_LineB1 = lines[1];
  m_LineA2 = lines[2];
  m_LineB2 = lines[3];
  m_Visible = static_cast<int32_t>(visible);
  return TRUE;
}


CPoint DimensionOffset(CPoint from, CPoint to, int32_t distance) {
  // The segment turned a quarter about its start: by -90 degrees for a
  // distance of 0 or more, by +90 degrees for a negative one. Formed in
  // doubles, so that a turn of far-out points keeps its direction.
  const double dx = static_cast<double>(to.x) - from.x;
  const double dy = static_cast<double>(to.y) - from.y;
  const double vx = distance >= 0 ? dy : -dy;
  const double vy = distance >= 0 ? -dx : dx;
  const double length = std::sqrt(vx * vx + vy * vy);
  if (length < 1.0) return CPoint();
  const double magnitude = std::fabs(static_cast<double>(distance));
  return CPoint(RoundToNearest(magnitude * vx / length), RoundToNearest(magnitude * vy / length));
}

CSize MeasureLabelText(const CString& text, LOGFONT font) {
  if (font.lfHeight == 0) font.lfHeight = 1;
  IWorkWindow* window = g_pWorkWindow;
  CDC* screen = window ? window->GetDC() : nullptr;
  std::optional<RecordingDC> headless;
  if (!screen) headless.emplace();
  CDC& dc = screen ? *screen : *headless;
  CFont labelFont;
  labelFont.CreateFontIndirect(&font);
  const int saved = dc.SaveDC();
  dc.SelectObject(&labelFont);
  // The device context adds no spacing between characters, so the widths
  // of the characters are summed as they are.
  const std::string_view bytes = text.view();
  int64_t width = 0;
  int64_t height = 0;
  size_t at = 0;
  while (at < bytes.size()) {
    const bool doubleByte =
        static_cast<unsigned char>(bytes[at]) >= kFirstDoubleByteLead && at + 1 < bytes.size();
    const int count = doubleByte ? 2 : 1;
    const CSize piece = dc.GetTextExtent(bytes.data() + at, count);
    width += piece.cx;
    height = std::max<int64_t>(height, piece.cy);
    at += static_cast<size_t>(count);
  }
  dc.RestoreDC(saved);
  if (screen) window->ReleaseDC(screen);
  return CSize(SaturateToInt32(width), SaturateToInt32(height));
}

void CDimLabel::Layout() {
  switch (m_Mode) {
    case kLabelModeLinear:
    case kLabelModeLinearLeader:
      LayoutLinear();
      break;
    case kLabelModeAngle:
      LayoutAngle();
      break;
    case kLabelModeDivision:
      LayoutDivision();
      break;
    case kLabelModeAlongCurve:
      LayoutAlongCurve();
      break;
    default:
      break;
  }
  m_NeedsLayout = FALSE;
  m_LabelRect = GetRect();
}

void CDimLabel::ResolveOrientation() {
  if (m_Orientation == kLabelOrientationAuto) m_Orientation = m_Start.x == m_End.x ? 3 : 0;
}

void CDimLabel::LayoutLinear() {
  // A point that does not answer leaves the text empty and both ends at the
  // origin, and the label lays out from those.
  CString text;
  CPoint p1, p2;
  if (m_Object) m_Object->GetLabelText(this, text, &p1, &p2);
  m_Text = text;
  const CPoint offset = DimensionOffset(p1, p2, m_OffsetDistance);
  m_Start = AddSaturated(p1, offset);
  m_End = AddSaturated(p2, offset);
  ResolveOrientation();
  if (m_Mode == kLabelModeLinear) {
    PlaceText(Midpoint(m_Start, m_End).x, Midpoint(m_Start, m_End).y);
    return;
  }
  // The leader: the text stands where the two lines of fixed direction
  // through the ends cross.
  const double c1 = -(m_LineA1 * m_Start.x + m_LineB1 * m_Start.y);
  const double c2 = -(m_LineA2 * m_End.x + m_LineB2 * m_End.y);
  int x = 0;
  int y = 0;
  if (IntersectLinesInt(m_LineA1, m_LineB1, c1, m_LineA2, m_LineB2, c2, &x, &y) == 1) {
    m_TextAnchor = CPoint(x, y);
  } else {
    m_TextAnchor = Midpoint(m_Start, m_End);
  }
  PlaceText(m_TextAnchor.x, m_TextAnchor.y);
}

void CDimLabel::LayoutAngle() {
  CString text;
  CPoint vertex, arm1, arm2;
  BOOL side = 0;
  if (m_Object) m_Object->GetAngleLabelText(this, text, &vertex, &arm1, &arm2, &side);
  m_Text = text;
  m_Start = vertex;
  m_ArmPoint1 = arm1;
  m_ArmPoint2 = arm2;
  m_AngleSide = side ? 1 : 0;
  m_Orientation = 0;
  // A mark longer than the shorter arm shrinks to 20 mm, or to just over
  // half the arm when 20 mm would not fit either.
  const int32_t shorter = std::min(PointDistance(vertex.x, vertex.y, arm1.x, arm1.y),
                                   PointDistance(vertex.x, vertex.y, arm2.x, arm2.y));
  if (shorter < m_OffsetDistance) {
    const int64_t scale = m_Owner ? m_Owner->GetScale() : 0;
    const int64_t shortMark = kShortAngleMillimetres * scale;
    m_OffsetDistance = shortMark < shorter ? SaturateToInt32(shortMark) : shorter / 2 + 1;
  }
  const double alpha = LineAngle(vertex.x, vertex.y, arm1.x, arm1.y);
  const double beta = LineAngle(vertex.x, vertex.y, arm2.x, arm2.y);
  double bisector = (alpha + beta) / 2;
  if (m_AngleSide == 0 ? alpha < beta : beta < alpha) bisector += kPi;
  while (bisector > kTwoPi) bisector -= kTwoPi;
  const CPoint along(RoundToNearest(std::cos(bisector) * m_OffsetDistance),
                     RoundToNearest(std::sin(bisector) * m_OffsetDistance));
  const CPoint at = AddSaturated(vertex, along);
  PlaceText(at.x, at.y);
}

void CDimLabel::LayoutDivision() {
  // The count is passed in set, so that a point that does not answer leaves
  // no parts.
  double parts = 0.0;
  CPoint p1, p2;
  if (m_Object) m_Object->GetRatioSpan(this, &parts, &p1, &p2);
  m_PartCount = PartCountOf(parts);
  const CPoint offset = DimensionOffset(p1, p2, m_OffsetDistance);
  m_Start = AddSaturated(p1, offset);
  m_End = AddSaturated(p2, offset);
}

std::list<CPoint> CDimLabel::MovedPath(CString* text) {
  CString pathText;
  std::vector<CPoint> path;
  if (m_Object) m_Object->GetCurveLabelText(this, pathText, path);
  if (text) *text = pathText;
  std::list<CPoint> moved;
  if (path.empty()) return moved;
  const CPoint offset = DimensionOffset(path.front(), path.back(), m_OffsetDistance);
  for (const CPoint& p : path) moved.push_back(AddSaturated(p, offset));
  return moved;
}

void CDimLabel::LayoutAlongCurve() {
  CString text;
  const std::list<CPoint> path = MovedPath(&text);
  m_Text = text;
  if (!path.empty()) {
    m_Start = path.front();
    m_End = path.back();
  }
  ResolveOrientation();
  CPoint middle = m_Start;
  if (!path.empty()) {
    PointAlongPolyline(path, path.front().x, path.front().y, PolylineLength(path) / 2.0, &middle);
  }
  PlaceText(middle.x, middle.y);
}

void CDimLabel::AngleSweep(double* from, double* sweep) const {
  const double alpha = LineAngle(m_Start.x, m_Start.y, m_ArmPoint1.x, m_ArmPoint1.y);
  const double beta = LineAngle(m_Start.x, m_Start.y, m_ArmPoint2.x, m_ArmPoint2.y);
  // Side 0 marks the angle from the second arm round to the first, side 1
  // the one from the first round to the second; the bisector of the layout
  // falls inside it.
  *from = m_AngleSide == 0 ? beta : alpha;
  const double to = m_AngleSide == 0 ? alpha : beta;
  *sweep = WrapAngle(to - *from);
}

std::vector<CDimLabel::DivisionArc> CDimLabel::DivisionArcs() const {
  std::vector<DivisionArc> arcs;
  const int32_t count = std::min(m_PartCount, kMaxDivisionParts);
  if (count <= 0) return arcs;
  // With a negative offset the row runs the other way round, so that the
  // arcs bulge away from the measured segment on either side.
  const CPoint first = m_OffsetDistance < 0 ? m_End : m_Start;
  const CPoint last = m_OffsetDistance < 0 ? m_Start : m_End;
  const double dx = (static_cast<double>(last.x) - first.x) / count;
  const double dy = (static_cast<double>(last.y) - first.y) / count;
  const double chord = std::sqrt(dx * dx + dy * dy);
  const int32_t radius = RoundToNearest(chord / 2 / std::sin(kHalfDivisionSpan));
  const double scale = chord > 0 ? radius / chord : 0.0;
  const double turnSin = std::sin(kDivisionCentreTurn);
  const double turnCos = std::cos(kDivisionCentreTurn);
  arcs.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    DivisionArc arc;
    arc.from = CPoint(RoundToNearest(first.x + dx * i), RoundToNearest(first.y + dy * i));
    arc.to = i + 1 == count ? last
                            : CPoint(RoundToNearest(first.x + dx * (i + 1)), RoundToNearest(first.y + dy * (i + 1)));
    const double cx = (dx * turnCos - dy * turnSin) * scale;
    const double cy = (dx * turnSin + dy * turnCos) * scale;
    arc.centre = CPoint(RoundToNearest(arc.from.x + cx), RoundToNearest(arc.from.y + cy));
    arc.radius = radius;
    arcs.push_back(arc);
  }
  return arcs;
}

CRect CDimLabel::GetRect() {
  if (!m_Visible) return CRect();
  if (m_NeedsLayout) Layout();
  CRect rect;
  if (!m_TextRect.IsRectEmpty()) rect = m_TextRect;
  CRect part;
  switch (m_Mode) {
    case kLabelModeLinear:
      GetSegmentRect(&part, m_Start.x, m_Start.y, m_End.x, m_End.y);
      rect.UnionRect(rect, part);
      break;
    case kLabelModeLinearLeader:
      GetSegmentRect(&part, m_Start.x, m_Start.y, m_End.x, m_End.y);
      rect.UnionRect(rect, part);
      GetSegmentRect(&part, m_Start.x, m_Start.y, m_TextAnchor.x, m_TextAnchor.y);
      rect.UnionRect(rect, part);
      break;
    case kLabelModeAngle: {
      // The arc box runs its arc counter-clockwise on the screen, against
      // the growing angles here, so the arc is given from the end of the
      // sweep to its start. Its ends are taken on the circle, not at the
      // arm points.
      double from = 0.0;
      double sweep = 0.0;
      AngleSweep(&from, &sweep);
      const double radius = m_OffsetDistance;
      const CPoint first(RoundToNearest(m_Start.x + radius * std::cos(from + sweep)),
                         RoundToNearest(m_Start.y + radius * std::sin(from + sweep)));
      const CPoint second(RoundToNearest(m_Start.x + radius * std::cos(from)),
                          RoundToNearest(m_Start.y + radius * std::sin(from)));
      const CRect box = CircleBox(m_Start, m_OffsetDistance);
      GetArcRect(&part, box.left, box.top, box.right, box.bottom, first.x, first.y, second.x, second.y);
      rect.UnionRect(rect, part);
      break;
    }
    case kLabelModeDivision:
      for (const DivisionArc& arc : DivisionArcs()) {
        const CRect box = CircleBox(arc.centre, arc.radius);
        GetArcRect(&part, box.left, box.top, box.right, box.bottom, arc.to.x, arc.to.y, arc.from.x, arc.from.y);
        rect.UnionRect(rect, part);
      }
      break;
    case kLabelModeAlongCurve:
      GetPointListExtent(&part, MovedPath(nullptr));
      rect.UnionRect(rect, part);
      break;
    default:
      break;
  }
  return rect;
}

BOOL CDimLabel::HitText(int32_t x, int32_t y) {
  if (!m_Visible || m_Mode == kLabelModeDivision) return FALSE;
  if (m_NeedsLayout) Layout();
  const int64_t cx = (int64_t{m_TextRect.left} + m_TextRect.right) / 2;
  const int64_t cy = (int64_t{m_TextRect.top} + m_TextRect.bottom) / 2;
  const double width = static_cast<double>(m_TextRect.right) - m_TextRect.left;
  const double height = static_cast<double>(m_TextRect.bottom) - m_TextRect.top;
  const int64_t hw = RoundToNearest(width * m_TextScale / 2);
  const int64_t hh = RoundToNearest(height * m_TextScale / 2);
  return cx - hw <= x && x <= cx + hw && cy - hh <= y && y <= cy + hh ? TRUE : FALSE;
}

BOOL CDimLabel::Pick(int32_t x, int32_t y, double tolerance, double* distance) {
  if (!m_Visible) return FALSE;
  if (m_NeedsLayout) Layout();
  double found = 0.0;
  BOOL hit = FALSE;
  CPoint foot;
  switch (m_Mode) {
    case kLabelModeLinear:
      hit = NearestPointOnSegment(m_Start.x, m_Start.y, m_End.x, m_End.y, tolerance, x, y, &foot, &found);
      break;
    case kLabelModeLinearLeader: {
      double toStart = 0.0;
      double toEnd = 0.0;
      const BOOL first =
          NearestPointOnSegment(m_Start.x, m_Start.y, m_TextAnchor.x, m_TextAnchor.y, tolerance, x, y, &foot, &toStart);
      const BOOL second =
          NearestPointOnSegment(m_TextAnchor.x, m_TextAnchor.y, m_End.x, m_End.y, tolerance, x, y, &foot, &toEnd);
      hit = first || second;
      if (first && second) {
        found = std::min(toStart, toEnd);
      } else {
        found = first ? toStart : toEnd;
      }
      break;
    }
    case kLabelModeAngle: {
      const double dx = static_cast<double>(x) - m_Start.x;
      const double dy = static_cast<double>(y) - m_Start.y;
      const double off = std::fabs(std::sqrt(dx * dx + dy * dy) - m_OffsetDistance);
      double from = 0.0;
      double sweep = 0.0;
      AngleSweep(&from, &sweep);
      if (off < tolerance && WithinSweep(LineAngle(m_Start.x, m_Start.y, x, y), from, sweep)) {
        hit = TRUE;
        found = off;
      }
      break;
    }
    case kLabelModeDivision:
      for (const DivisionArc& arc : DivisionArcs()) {
        const double dx = static_cast<double>(x) - arc.centre.x;
        const double dy = static_cast<double>(y) - arc.centre.y;
        const double off = std::fabs(std::sqrt(dx * dx + dy * dy) - arc.radius);
        if (off >= tolerance) continue;
        const double from = LineAngle(arc.centre.x, arc.centre.y, arc.from.x, arc.from.y);
        const double to = LineAngle(arc.centre.x, arc.centre.y, arc.to.x, arc.to.y);
        if (WithinSweep(LineAngle(arc.centre.x, arc.centre.y, x, y), from, WrapAngle(to - from))) {
          hit = TRUE;
          found = off;
          break;
        }
      }
      break;
    case kLabelModeAlongCurve: {
      const std::list<CPoint> path = MovedPath(nullptr);
      PointPos prev, at, next;
      hit = HitTestPolyline(path, tolerance, x, y, &foot, &found, &prev, &at, &next);
      break;
    }
    default:
      break;
  }
  if (hit && distance) *distance = found;
  return hit;
}

CSize CDimLabel::GetTextExtent() {
  const LOGFONT font = m_Owner ? m_Owner->GetLabelFont() : LOGFONT();
  return MeasureLabelText(m_Text, font);
}

void CDimLabel::PlaceText(int32_t x, int32_t y) {
  CSize extent = GetTextExtent();
  if (m_Orientation == 2 || m_Orientation == 3) {
    std::swap(extent.cx, extent.cy);
  } else if (m_Orientation != 0 && m_Orientation != 1) {
    return;
  }
  // The text offset comes from the file: the sums stop at the int range.
  const CPoint centre = AddSaturated(CPoint(x, y), m_TextOffset);
  const int64_t left = int64_t{centre.x} - extent.cx / 2;
  const int64_t top = int64_t{centre.y} - extent.cy / 2;
  m_TextRect = CRect(SaturateToInt32(left), SaturateToInt32(top), SaturateToInt32(left + extent.cx),
                     SaturateToInt32(top + extent.cy));
}
