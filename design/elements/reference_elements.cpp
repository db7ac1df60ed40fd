#include "design/elements/reference_elements.h"

#include <memory>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/points/graded_point.h"

namespace {

// A point at a stored position of the element's container; none without a
// container or for anything but a point there.
CGradedPoint* ResolvePoint(const CPatternData* data, int32_t position) {
  return data ? ResolveObject<CGradedPoint>(*data, position) : nullptr;
}

CGradedObject* ResolveCurve(const CPatternData* data, int32_t position) {
  return data ? ResolveObjectOfKind(*data, position, kObjectKindCurve) : nullptr;
}

bool IsOneOf(const CGradedObject* object, std::initializer_list<const CGradedObject*> references) {
  if (!object) return false;
  for (const CGradedObject* reference : references) {
    if (reference == object) return true;
  }
  return false;
}

}  // namespace

// ---- Point element -----------------------------------------------------------

CPiecePointElement::CPiecePointElement(CPatternRecord* owner, uint16_t attribute)
    : CDesignElement(owner, kElementTypePiecePoint), m_Attribute(attribute) {}

CPiecePointElement::CPiecePointElement(CPatternRecord* owner, uint16_t attribute, CGradedPoint* point)
    : CDesignElement(owner, kElementTypePiecePoint), m_Point(point), m_Attribute(attribute) {}

BOOL CPiecePointElement::RefersTo(const CGradedObject* object) const {
  return IsOneOf(object, {m_Point}) ? TRUE : FALSE;
}

void CPiecePointElement::GetUsedObjects(std::vector<CGradedObject*>& used) const { used.push_back(m_Point); }

BOOL CPiecePointElement::Load(ArchiveReader& archive) {
  uint16_t attribute = 0;
  int32_t point = -1;
  if (!archive.ReadU16(attribute) || !archive.ReadI32(point)) return FALSE;
  m_Attribute = attribute;
  m_Point = ResolvePoint(GetPatternData(), point);
  return TRUE;
}

// ---- Line element ------------------------------------------------------------

CPieceLineElement::CPieceLineElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType)
    : CDesignElement(owner, kElementTypePieceLine), m_Attribute(attribute), m_LineType(lineType) {}

CPieceLineElement::CPieceLineElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType,
                                     CGradedPoint* first, CGradedPoint* second)
    : CDesignElement(owner, kElementTypePieceLine),
      m_First(first),
      m_Second(second),
      m_Attribute(attribute),
      m_LineType(lineType) {}

void CPieceLineElement::GetRefs(CGradedPoint** first, CGradedPoint** second) const {
  if (first) *first = m_First;
  if (second) *second = m_Second;
}

void CPieceLineElement::SetRefs(CGradedPoint* first, CGradedPoint* second) {
  m_First = first;
  m_Second = second;
}

BOOL CPieceLineElement::RefersTo(const CGradedObject* object) const {
  return IsOneOf(object, {m_First, m_Second}) ? TRUE : FALSE;
}

void CPieceLineElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  used.insert(used.end(), {m_First, m_Second});
}

BOOL CPieceLineElement::Load(ArchiveReader& archive) {
  uint16_t attribute = 0;
  int32_t lineType = 0;
  int32_t first = -1;
  int32_t second = -1;
  if (!archive.ReadU16(attribute) || !archive.ReadI32(lineType) || !archive.ReadI32(first) ||
      !archive.ReadI32(second)) {
    return FALSE;
  }
  m_Attribute = attribute;
  m_LineType = lineType;
  const CPatternData* data = GetPatternData();
  m_First = ResolvePoint(data, first);
  m_Second = ResolvePoint(data, second);
  return TRUE;
}

// ---- Curve element -----------------------------------------------------------

CPieceCurveElement::CPieceCurveElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType)
    : CDesignElement(owner, kElementTypePieceCurve), m_Attribute(attribute), m_LineType(lineType) {
  ResetSections();
}

CPieceCurveElement::CPieceCurveElement(CPatternRecord* owner, uint16_t attribute, int32_t lineType,
                                       CGradedObject* curve, CGradedPoint* first, CGradedPoint* second)
    : CPieceCurveElement(owner, attribute, lineType) {
  SetRefs(curve, first, second);
}

void CPieceCurveElement::GetRefs(CGradedObject** curve, CGradedPoint** first, CGradedPoint** second) const {
  if (curve) *curve = m_Curve;
  if (first) *first = m_First;
  if (second) *second = m_Second;
}

void CPieceCurveElement::SetRefs(CGradedObject* curve, CGradedPoint* first, CGradedPoint* second) {
  m_Curve = curve;
  m_First = first;
  m_Second = second;
  Invalidate(-1);
  ResetSections();
}

void CPieceCurveElement::ResetSections() {
  const CPatternData* data = GetPatternData();
  m_Sections.assign(data ? static_cast<size_t>(data->GetSizeCount()) : 0, {});
}

BOOL CPieceCurveElement::RefersTo(const CGradedObject* object) const {
  return IsOneOf(object, {m_First, m_Second, m_Curve}) ? TRUE : FALSE;
}

void CPieceCurveElement::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  used.insert(used.end(), {m_First, m_Second, m_Curve});
}

void CPieceCurveElement::InsertSize(int32_t index) {
  CDesignElement::InsertSize(index);
  ResetSections();
  Invalidate(-1);
}

void CPieceCurveElement::RemoveSize(int32_t index) {
  CDesignElement::RemoveSize(index);
  ResetSections();
  Invalidate(-1);
}

BOOL CPieceCurveElement::Load(ArchiveReader& archive) {
  uint16_t attribute = 0;
  int32_t lineType = 0;
  int32_t curve = -1;
  int32_t first = -1;
  int32_t second = -1;
  if (!archive.ReadU16(attribute) || !archive.ReadI32(lineType) || !archive.ReadI32(curve) ||
      !archive.ReadI32(first) || !archive.ReadI32(second)) {
    return FALSE;
  }
  m_Attribute = attribute;
  m_LineType = lineType;
  const CPatternData* data = GetPatternData();
  m_Curve = ResolveCurve(data, curve);
  m_First = ResolvePoint(data, first);
  m_Second = ResolvePoint(data, second);
  return TRUE;
}

// ---- Registration ------------------------------------------------------------

void RegisterReferenceElements() {
  ElementFactory& elements = GetElementFactory();
  elements.Register({kElementTypePiecePoint, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CPiecePointElement>(owner, 0);
  });
  elements.Register({kElementTypePieceLine, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CPieceLineElement>(owner, 0, 0);
  });
  elements.Register({kElementTypePieceCurve, 0}, [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> {
    return std::make_unique<CPieceCurveElement>(owner, 0, 0);
  });
}
