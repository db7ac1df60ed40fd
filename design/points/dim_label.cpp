#include "design/points/dim_label.h"

#include <cmath>

#include "design/core/pattern_data.h"
#include "platform/numbers.h"

namespace {

// The default distance of a label from what it measures.
constexpr int64_t kDefaultOffsetMillimetres = 10;
// The leader mode's second line direction: 60 degrees.
constexpr double kLeaderAngle = 1.0471975511966667;

}  // namespace

void CDimLabel::CopyFrom(const CDimLabel& other) {
  CPatternData* owner = m_Owner;
  CGradedObject* object = m_Object;
  *this = other;
  m_Owner = owner;
  m_Object = object;
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

// The layout is not built yet: a label has no extent and is never hit.
void CDimLabel::Layout() { m_NeedsLayout = FALSE; }
CRect CDimLabel::GetRect() { return CRect(); }
BOOL CDimLabel::HitText(int32_t, int32_t) { return FALSE; }
BOOL CDimLabel::Pick(int32_t, int32_t, double, double*) { return FALSE; }
CSize CDimLabel::GetTextExtent() { return CSize(); }
void CDimLabel::PlaceText(int32_t, int32_t) {}
