#include "design/elements/mark_element.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/geometry/point_line.h"
#include "design/geometry/polyline.h"
#include "design/geometry/primitives.h"
#include "design/points/graded_point.h"
#include "model/style.h"
#include "platform/numbers.h"

namespace {

// The data versions at which the mark's record grows.
constexpr int32_t kFirstVersionWithExtent = 111;  // width and height
constexpr int32_t kFirstVersionWithAngle = 112;   // the angle

// Width and height of a mark whose record does not store them, in mm.
constexpr int32_t kDefaultExtentMillimetres = 5;

// The shape kinds.
constexpr int32_t kLastSquareKind = 2;
constexpr int32_t kLargeSquareKind = 3;
constexpr int32_t kRectangleKind = 4;

// The piece item of a mark and the flag of its two parameter vertices.
constexpr int32_t kMarkItemType = 2;
constexpr uint32_t kMarkParamFlag = 103;

// The value of pi the stored designs were laid out with.
constexpr double kPi = 3.14159265359;

int32_t Saturated(int64_t v) { return SaturateToInt32(v); }

// The box of half sides halfX and halfY about p, right and bottom one past.
CRect BoxAround(CPoint p, int64_t halfX, int64_t halfY) {
  return CRect(Saturated(p.x - halfX), Saturated(p.y - halfY), Saturated(p.x + halfX + 1),
               Saturated(p.y + halfY + 1));
}

// The flag word of the anchor vertex. Shifts are done unsigned, so that a
// negative code from a file packs its low bits like any other.
uint32_t MarkFlag(const MarkParams& m) {
  uint32_t flag = (static_cast<uint32_t>(m.shapeKind) << 8) & 0xF00u;
  flag |= (static_cast<uint32_t>(m.code2) << 12) & 0xF000u;
  if (m.switchA != 0) flag |= 0x10000u;
  if (m.switchB != 0) flag |= 0x20000u;
  flag |= (static_cast<uint32_t>(m.code3) << 18) & 0xFC000u;
  return flag;
}

}  // namespace

CMarkElement::CMarkElement(CPatternRecord* owner) : CDesignElement(owner, kElementTypeMark) {
  // The default size follows the program's style, not the design's own
  // scale.
  const int32_t scale = g_Style.GetScale();
  // Wraps like any other model coordinate for a hostile scale.
  const int32_t extent = static_cast<int32_t>(static_cast<uint32_t>(scale) * kDefaultExtentMillimetres);
  m_Params.width = extent;
  m_Params.height = extent;
}

CMarkElement::CMarkElement(CPatternRecord* owner, CGradedPoint* anchor, const MarkParams& params)
    : CDesignElement(owner, kElementTypeMark), m_Anchor(anchor), m_Params(params) {}

BOOL CMarkElement::GetAnchorPoint(int32_t size, CPoint* point) const {
  if (!m_Anchor) return FALSE;
  CPoint p;
  const BOOL placed = m_Anchor->GetPoint(size, &p);
  if (point) *point = p;
  return placed;
}

BOOL CMarkElement::HitTest(int32_t x, int32_t y, double tolerance, CPoint* point, double* distance) {
  const CPatternData* data = GetPatternData();
  if (!m_Anchor || !data) return FALSE;
  return m_Anchor->HitTest(x, y, tolerance, data->GetBaseSize(), point, distance);
}

BOOL CMarkElement::HitTestPoint(int32_t x, int32_t y, double tolerance, double* distance) {
  const CPatternData* data = GetPatternData();
  if (!m_Anchor || !data) return FALSE;
  CPoint p;
  GetAnchorPoint(data->GetBaseSize(), &p);
  const double d = PointDistance(x, y, p.x, p.y);
  if (!(d <= tolerance)) return FALSE;
  if (distance) *distance = d;
  return TRUE;
}

CRect CMarkElement::GetBoundRect(int32_t size) const {
  CPoint p;
  if (!m_Anchor) return CRect();
  GetAnchorPoint(size, &p);
  const int64_t side = m_Params.size;
  const int32_t kind = m_Params.shapeKind;
  if (kind >= 0 && kind <= kLastSquareKind) return BoxAround(p, side, side);
  if (kind == kLargeSquareKind) {
    const int64_t d = side + (side + 1) / 2;
    return BoxAround(p, d, d);
  }
  if (kind != kRectangleKind) return CRect(0, 0, 1, 1);

  const int64_t halfW = (static_cast<int64_t>(m_Params.width) + 1) / 2;
  const int64_t halfH = (static_cast<int64_t>(m_Params.height) + 1) / 2;
  const PointList corners = {
      CPoint(Saturated(p.x - halfW), Saturated(p.y - halfH)), CPoint(Saturated(p.x - halfW), Saturated(p.y + halfH)),
      CPoint(Saturated(p.x + halfW), Saturated(p.y - halfH)), CPoint(Saturated(p.x + halfW), Saturated(p.y + halfH))};
  const double angle = m_Params.angle * kPi / 180.0;
  PointList turned;
  RotatePointList(corners, p.x, p.y, std::sin(angle), std::cos(angle), &turned);
  CRect rect;
  GetPointListRect(&rect, turned);
  return rect;
}

CRect CMarkElement::GetBoundRectAt(int32_t size, int32_t cx, int32_t cy, double sinA, double cosA) const {
  if (!m_Anchor) return CRect();
  const CRect box = GetBoundRect(size);
  CPoint topLeft = box.TopLeft();
  CPoint bottomRight = box.BottomRight();
  RotatePointInPlace(&topLeft, cx, cy, sinA, cosA);
  RotatePointInPlace(&bottomRight, cx, cy, sinA, cosA);
  return CRect(std::min(topLeft.x, bottomRight.x), std::min(topLeft.y, bottomRight.y),
               std::max(topLeft.x, bottomRight.x), std::max(topLeft.y, bottomRight.y));
}

BOOL CMarkElement::ExportItem(double, int32_t* itemType, std::vector<CVertex>* vertices) {
  if (vertices) vertices->clear();
  const CPatternData* data = GetPatternData();
  if (!m_Anchor || !data) return FALSE;
  CPoint p;
  GetAnchorPoint(data->GetBaseSize(), &p);
  if (itemType) *itemType = kMarkItemType;
  if (vertices) {
    vertices->push_back(CVertex{p.x, p.y, MarkFlag(m_Params)});
    vertices->push_back(CVertex{m_Params.size, RoundToNearest(m_Params.angle * 10.0), kMarkParamFlag});
    vertices->push_back(CVertex{m_Params.width, m_Params.height, kMarkParamFlag});
  }
  return TRUE;
}

BOOL CMarkElement::RefersTo(const CGradedObject* object) const {
  return object && object == m_Anchor ? TRUE : FALSE;
}

void CMarkElement::GetUsedObjects(std::vector<CGradedObject*>& used) const { used.push_back(m_Anchor); }

BOOL CMarkElement::Load(ArchiveReader& archive) {
  const CPatternData* data = GetPatternData();
  const int32_t version = data ? data->GetVersion() : kNewestDataVersion;
  int32_t anchor = -1;
  MarkParams params = m_Params;
  if (!archive.ReadI32(anchor)) return FALSE;
  for (int32_t* word : {&params.shapeKind, &params.code2, &params.code3, &params.switchA, &params.switchB,
                        &params.size}) {
    if (!archive.ReadI32(*word)) return FALSE;
  }
  if (version >= kFirstVersionWithExtent && (!archive.ReadI32(params.width) || !archive.ReadI32(params.height))) {
    return FALSE;
  }
  if (version >= kFirstVersionWithAngle && !archive.ReadDouble(params.angle)) return FALSE;
  m_Params = params;
  m_Anchor = data ? ResolveObject<CGradedPoint>(*data, anchor) : nullptr;
  return TRUE;
}

void RegisterMarkElements() {
  GetElementFactory().Register({kElementTypeMark, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CMarkElement>(owner);
  });
}
