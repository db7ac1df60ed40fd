#include "design/elements/notch_element.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/points/graded_point.h"

namespace {

// Below this data version the angle is stored in radians.
constexpr int32_t kFirstVersionWithDegrees = 106;
// From this data version on the record ends with a word that is not kept.
constexpr int32_t kFirstVersionWithTrailingWord = 155;
// The value of pi the stored designs were made with.
constexpr double kPi = 3.14159265359;
constexpr double kDegreesPerRadian = 180.0 / kPi;

template <class T>
BOOL CopyAt(const std::vector<T>& list, int32_t index, T& out) {
  if (index < 0 || index >= static_cast<int32_t>(list.size())) return FALSE;
  out = list[static_cast<size_t>(index)];
  return TRUE;
}

template <class T>
void InsertAt(std::vector<T>& list, int32_t index) {
  if (index >= 0 && index <= static_cast<int32_t>(list.size())) list.insert(list.begin() + index, T{});
}

template <class T>
void RemoveAt(std::vector<T>& list, int32_t index) {
  if (index >= 0 && index < static_cast<int32_t>(list.size())) list.erase(list.begin() + index);
}

}  // namespace

CNotchElement::CNotchElement(CPatternRecord* owner) : CDesignElement(owner, kElementTypeNotch) {
  const CPatternData* data = GetPatternData();
  const size_t sizes = data && data->GetSizeCount() > 0 ? static_cast<size_t>(data->GetSizeCount()) : 0;
  m_OutlineShapes.resize(sizes);
  m_SeamShapes.resize(sizes);
}

CNotchElement::~CNotchElement() = default;

int32_t CNotchElement::GetFlag(int32_t index) const {
  if (index < 0 || index >= kFlagCount) return 0;
  return m_Flags[static_cast<size_t>(index)];
}

BOOL CNotchElement::GetOutlineShape(int32_t size, CShapeRecord6& out) const {
  return CopyAt(m_OutlineShapes, size, out);
}

BOOL CNotchElement::GetSeamShape(int32_t size, CShapeRecord6& out) const { return CopyAt(m_SeamShapes, size, out); }

BOOL CNotchElement::RefersTo(const CGradedObject* object) const {
  if (!object) return FALSE;
  return object == m_pPointA || object == m_pPointB ? TRUE : FALSE;
}

void CNotchElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  if (m_pPointA) used.push_back(m_pPointA);
  if (m_pPointB) used.push_back(m_pPointB);
}

void CNotchElement::InsertSize(int32_t index) {
  CDesignElement::InsertSize(index);
  InsertAt(m_OutlineShapes, index);
  InsertAt(m_SeamShapes, index);
}

void CNotchElement::RemoveSize(int32_t index) {
  CDesignElement::RemoveSize(index);
  RemoveAt(m_OutlineShapes, index);
  RemoveAt(m_SeamShapes, index);
}

BOOL CNotchElement::Load(ArchiveReader& archive) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  const int32_t version = data->GetVersion();
  int32_t pointA = -1;
  int32_t pointB = -1;
  double ratio = 0.0;
  int32_t offset = 0;
  int32_t mode = 0;
  int32_t shapeKind = 0;
  int32_t length = 0;
  int32_t width = 0;
  double angle = 0.0;
  std::array<int32_t, kFlagCount> flags{};
  if (!archive.ReadI32(pointA) || !archive.ReadI32(pointB) || !archive.ReadDouble(ratio) ||
      !archive.ReadI32(offset) || !archive.ReadI32(mode) || !archive.ReadI32(shapeKind) ||
      !archive.ReadI32(length) || !archive.ReadI32(width) || !archive.ReadDouble(angle)) {
    return FALSE;
  }
  for (int32_t& flag : flags) {
    if (!archive.ReadI32(flag)) return FALSE;
  }
  uint32_t trailing = 0;
  if (version >= kFirstVersionWithTrailingWord && !archive.ReadU32(trailing)) return FALSE;

  m_pPointA = ResolveObject<CGradedPoint>(*data, pointA);
  m_pPointB = ResolveObject<CGradedPoint>(*data, pointB);
  m_Ratio = ratio;
  m_Offset = offset;
  m_Mode = mode;
  m_ShapeKind = shapeKind;
  m_Length = length;
  m_Width = width;
  m_Angle = version < kFirstVersionWithDegrees ? angle * kDegreesPerRadian : angle;
  m_Flags = flags;
  return TRUE;
}

void RegisterNotchElements() {
  GetElementFactory().Register(ElementCode{kElementTypeNotch, 0},
                               [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
                                 return std::make_unique<CNotchElement>(owner);
                               });
}
