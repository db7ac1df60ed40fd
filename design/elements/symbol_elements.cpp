#include "design/elements/symbol_elements.h"

#include <memory>
#include <utility>
#include <vector>

#include "design/core/factories.h"
#include "design/core/object_refs.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "design/points/graded_point.h"

namespace {

int32_t SizeCountOf(const CPatternRecord* owner) {
  const CPatternData* data = owner ? owner->GetPatternData() : nullptr;
  return data ? data->GetSizeCount() : 0;
}

// Each kind: its parameter count and the points of its shape.
struct SymbolLayout {
  size_t params;
  size_t points;
};
constexpr SymbolLayout kLayout1{3, 6};
constexpr SymbolLayout kLayout2{3, 5};
constexpr SymbolLayout kLayout4{5, 9};
constexpr SymbolLayout kLayout8{5, 7};
constexpr SymbolLayout kLayout16{5, 9};
constexpr SymbolLayout kLayout32{4, 8};
constexpr SymbolLayout kLayout64{2, 2};
constexpr SymbolLayout kLayout128{3, 6};
constexpr SymbolLayout kLayout256{2, 3};

template <class Symbol>
void RegisterSymbol(ElementFactory& factory, uint32_t subCode) {
  factory.Register(
      ElementCode{kElementTypeSymbol, static_cast<int32_t>(subCode)},
      [](CPatternRecord* owner) -> std::unique_ptr<CDesignElement> { return std::make_unique<Symbol>(owner); });
}

}  // namespace

// ---- Common base ---------------------------------------------------------------

CSymbolElem::CSymbolElem(CPatternRecord* owner, uint32_t subCode, size_t paramCount, size_t shapePoints)
    : CDesignElement(owner, kElementTypeSymbol),
      m_SubCode(subCode),
      m_ShapePoints(shapePoints),
      m_Params(paramCount, 0),
      m_Shapes(static_cast<size_t>(SizeCountOf(owner)), CSymbolShape(shapePoints)) {}

BOOL CSymbolElem::GetStoredShape(int32_t size, CSymbolShape* shape) const {
  if (size < 0 || size >= GetShapeCount()) return FALSE;
  if (shape) *shape = m_Shapes[static_cast<size_t>(size)];
  return TRUE;
}

BOOL CSymbolElem::RefersTo(const CGradedObject* object) const { return object && object == m_Anchor ? TRUE : FALSE; }

void CSymbolElem::GetUsedObjects(std::vector<CGradedObject*>& used) const {
  if (m_Anchor) used.push_back(m_Anchor);
}

void CSymbolElem::InsertSize(int32_t index) {
  if (index < 0 || index > GetShapeCount()) return;
  m_Shapes.insert(m_Shapes.begin() + index, CSymbolShape(m_ShapePoints));
  CDesignElement::InsertSize(index);
}

void CSymbolElem::RemoveSize(int32_t index) {
  if (index >= 0 && index < GetShapeCount()) m_Shapes.erase(m_Shapes.begin() + index);
  CDesignElement::RemoveSize(index);
}

BOOL CSymbolElem::Load(ArchiveReader& archive) {
  const CPatternData* data = GetPatternData();
  if (!data) return FALSE;
  int32_t anchor = -1;
  std::vector<int32_t> params(m_Params.size(), 0);
  double angle = 0.0;
  if (!archive.ReadI32(anchor)) return FALSE;
  for (int32_t& param : params) {
    if (!archive.ReadI32(param)) return FALSE;
  }
  if (!archive.ReadDouble(angle)) return FALSE;
  m_Anchor = ResolveObject<CGradedPoint>(*data, anchor);
  m_Params = std::move(params);
  m_Angle = angle;
  return TRUE;
}

// ---- The kinds -----------------------------------------------------------------

CSymbolElem1::CSymbolElem1(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode1, kLayout1.params, kLayout1.points) {}

CSymbolParams1 CSymbolElem1::GetParams() const { return {GetAnchor(), Param(0), Param(1), Param(2), GetAngle()}; }

CSymbolElem2::CSymbolElem2(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode2, kLayout2.params, kLayout2.points) {}

CSymbolParams2 CSymbolElem2::GetParams() const { return {GetAnchor(), Param(0), Param(1), Param(2), GetAngle()}; }

CSymbolElem4::CSymbolElem4(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode4, kLayout4.params, kLayout4.points) {}

CSymbolParams4 CSymbolElem4::GetParams() const {
  return {GetAnchor(), Param(0), Param(1), Param(2), Param(3), Param(4), GetAngle()};
}

CSymbolElem8::CSymbolElem8(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode8, kLayout8.params, kLayout8.points) {}

CSymbolParams8 CSymbolElem8::GetParams() const {
  return {GetAnchor(), Param(0), Param(1), Param(2), Param(3), Param(4), GetAngle()};
}

CSymbolElem16::CSymbolElem16(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode16, kLayout16.params, kLayout16.points) {}

CSymbolParams16 CSymbolElem16::GetParams() const {
  return {GetAnchor(), Param(0), Param(1), Param(2), Param(3), Param(4), GetAngle()};
}

CSymbolElem32::CSymbolElem32(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode32, kLayout32.params, kLayout32.points) {}

CSymbolParams32 CSymbolElem32::GetParams() const {
  return {GetAnchor(), Param(0), Param(1), Param(2), Param(3), GetAngle()};
}

CSymbolElem64::CSymbolElem64(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode64, kLayout64.params, kLayout64.points) {}

CSymbolParams64 CSymbolElem64::GetParams() const { return {GetAnchor(), Param(0), Param(1), GetAngle()}; }

CSymbolElem128::CSymbolElem128(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode128, kLayout128.params, kLayout128.points) {}

CSymbolParams128 CSymbolElem128::GetParams() const { return {GetAnchor(), Param(0), Param(1), Param(2), GetAngle()}; }

CSymbolElem256::CSymbolElem256(CPatternRecord* owner)
    : CSymbolElem(owner, kSymbolSubCode256, kLayout256.params, kLayout256.points) {}

CSymbolParams256 CSymbolElem256::GetParams() const { return {GetAnchor(), Param(0), Param(1), GetAngle()}; }

// ---- Registration --------------------------------------------------------------

void RegisterSymbolElements() {
  ElementFactory& factory = GetElementFactory();
  RegisterSymbol<CSymbolElem1>(factory, kSymbolSubCode1);
  RegisterSymbol<CSymbolElem2>(factory, kSymbolSubCode2);
  RegisterSymbol<CSymbolElem4>(factory, kSymbolSubCode4);
  RegisterSymbol<CSymbolElem8>(factory, kSymbolSubCode8);
  RegisterSymbol<CSymbolElem16>(factory, kSymbolSubCode16);
  RegisterSymbol<CSymbolElem32>(factory, kSymbolSubCode32);
  RegisterSymbol<CSymbolElem64>(factory, kSymbolSubCode64);
  RegisterSymbol<CSymbolElem128>(factory, kSymbolSubCode128);
  RegisterSymbol<CSymbolElem256>(factory, kSymbolSubCode256);
}
