#include "design/construct/darts.h"

#include <cstddef>
#include <memory>

#include "design/core/factories.h"

namespace {

// Which word is the flag: the second on the outline-bound subtypes, which
// keep a fold side or cap mode first; the first on the others.
constexpr int32_t kFlagFirst = 0;
constexpr int32_t kFlagSecond = 1;

constexpr int32_t kTwoWords = CConstructElementTwoRec::kWordCount;
constexpr int32_t kOneWords = CConstructElementOneRec::kWordCount;

// references, formulas, words, flag word
constexpr ConstructLayout kLayout1{2, 1, kTwoWords, kFlagSecond};
constexpr ConstructLayout kLayout2{2, 1, kOneWords, kFlagFirst};
constexpr ConstructLayout kLayout4{2, 1, kTwoWords, kFlagSecond};
constexpr ConstructLayout kLayout8{2, 1, kOneWords, kFlagFirst};
constexpr ConstructLayout kLayout16{3, 0, kTwoWords, kFlagSecond};
constexpr ConstructLayout kLayout32{3, 0, kOneWords, kFlagFirst};
constexpr ConstructLayout kLayout64{2, 1, kTwoWords, kFlagSecond};
constexpr ConstructLayout kLayout128{3, 1, CConstructElement128::kWordCount, kFlagFirst};
constexpr ConstructLayout kLayout256{3, 2, CConstructElement256::kWordCount, kFlagSecond};
constexpr ConstructLayout kLayout512{3, 2, CConstructElement512::kWordCount, kFlagFirst};

template <class Dart>
std::unique_ptr<CDesignElement> MakeDart(CPatternRecord* owner) {
  return std::make_unique<Dart>(owner);
}

}  // namespace

CConstructElement1::CConstructElement1(CPatternRecord* owner)
    : CConstructElementTwoRec(owner, kConstructSubtype1, kLayout1) {}
CConstructElement2::CConstructElement2(CPatternRecord* owner)
    : CConstructElementOneRec(owner, kConstructSubtype2, kLayout2) {}
CConstructElement4::CConstructElement4(CPatternRecord* owner)
    : CConstructElementTwoRec(owner, kConstructSubtype4, kLayout4) {}
CConstructElement8::CConstructElement8(CPatternRecord* owner)
    : CConstructElementOneRec(owner, kConstructSubtype8, kLayout8) {}
CConstructElement16::CConstructElement16(CPatternRecord* owner)
    : CConstructElementTwoRec(owner, kConstructSubtype16, kLayout16) {}
CConstructElement32::CConstructElement32(CPatternRecord* owner)
    : CConstructElementOneRec(owner, kConstructSubtype32, kLayout32) {}
CConstructElement64::CConstructElement64(CPatternRecord* owner)
    : CConstructElementTwoRec(owner, kConstructSubtype64, kLayout64) {}

// ---- CConstructElement128 --------------------------------------------------------

CConstructElement128::CConstructElement128(CPatternRecord* owner)
    : CConstructElement(owner, kConstructSubtype128, kLayout128), m_Records(OwnerSizeCount(*this)) {}

void CConstructElement128::InsertSize(int32_t index) {
  m_Records.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElement128::RemoveSize(int32_t index) {
  m_Records.Remove(index);
  CConstructElement::RemoveSize(index);
}

// ---- CConstructElement256 --------------------------------------------------------

CConstructElement256::CConstructElement256(CPatternRecord* owner)
    : CConstructElement(owner, kConstructSubtype256, kLayout256),
      m_OutlineRecords(OwnerSizeCount(*this)),
      m_SeamRecords(OwnerSizeCount(*this)) {}

BOOL CConstructElement256::GetExtraMarkParams(ExtraMarkParams& extra) const {
  extra.fill(std::nullopt);
  for (int32_t i = 0; i < kStoredExtraMarkParams; ++i) {
    extra[static_cast<size_t>(i)] = GetWord(kFirstExtraMarkWord + i);
  }
  return TRUE;
}

void CConstructElement256::InsertSize(int32_t index) {
  m_OutlineRecords.Insert(index);
  m_SeamRecords.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElement256::RemoveSize(int32_t index) {
  m_OutlineRecords.Remove(index);
  m_SeamRecords.Remove(index);
  CConstructElement::RemoveSize(index);
}

// ---- CConstructElement512 --------------------------------------------------------

CConstructElement512::CConstructElement512(CPatternRecord* owner)
    : CConstructElement(owner, kConstructSubtype512, kLayout512), m_Records(OwnerSizeCount(*this)) {}

void CConstructElement512::InsertSize(int32_t index) {
  m_Records.Insert(index);
  CConstructElement::InsertSize(index);
}

void CConstructElement512::RemoveSize(int32_t index) {
  m_Records.Remove(index);
  CConstructElement::RemoveSize(index);
}

// ---- Registration ----------------------------------------------------------------

void RegisterDarts() {
  ElementFactory& elements = GetElementFactory();
  auto join = [&elements](uint32_t subtype, ElementFactory::CreateFunction create) {
    elements.Register(ElementCode{kElementTypeConstruct, static_cast<int32_t>(subtype)}, create);
  };
  join(kConstructSubtype1, &MakeDart<CConstructElement1>);
  join(kConstructSubtype2, &MakeDart<CConstructElement2>);
  join(kConstructSubtype4, &MakeDart<CConstructElement4>);
  join(kConstructSubtype8, &MakeDart<CConstructElement8>);
  join(kConstructSubtype16, &MakeDart<CConstructElement16>);
  join(kConstructSubtype32, &MakeDart<CConstructElement32>);
  join(kConstructSubtype64, &MakeDart<CConstructElement64>);
  join(kConstructSubtype128, &MakeDart<CConstructElement128>);
  join(kConstructSubtype256, &MakeDart<CConstructElement256>);
  join(kConstructSubtype512, &MakeDart<CConstructElement512>);
}
