#include "design/elements/mark_element.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/points/graded_point.h"
#include "model/style.h"

namespace {

// The data versions at which the mark's record grows.
constexpr int32_t kFirstVersionWithExtent = 111;  // width and height
constexpr int32_t kFirstVersionWithAngle = 112;   // the angle

// Width and height of a mark whose record does not store them, in mm.
constexpr int32_t kDefaultExtentMillimetres = 5;

}  // namespace

CMarkElement::CMarkElement(CPatternRecord* owner) : CDesignElement(owner, kElementTypeMark) {
  const CPatternData* data = GetPatternData();
  const int32_t scale = data ? data->GetScale() : g_Style.GetScale();
  // Wraps like any other model coordinate for a hostile scale.
  const int32_t extent = static_cast<int32_t>(static_cast<uint32_t>(scale) * kDefaultExtentMillimetres);
  m_Params.width = extent;
  m_Params.height = extent;
}

CMarkElement::CMarkElement(CPatternRecord* owner, CGradedPoint* anchor, const MarkParams& params)
    : CDesignElement(owner, kElementTypeMark), m_Anchor(anchor), m_Params(params) {}

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
