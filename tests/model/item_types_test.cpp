// The type table against the sets of types that the lookups, load repairs,
// transforms, notch walks and writers chose by hand, type by type.
#include "model/item_types.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using TypeSet = std::set<int32_t>;

TypeSet Span(int32_t first, int32_t last) {
  TypeSet out;
  for (int32_t t = first; t <= last; ++t) out.insert(t);
  return out;
}

TypeSet Join(std::initializer_list<TypeSet> parts) {
  TypeSet out;
  for (const TypeSet& part : parts) out.insert(part.begin(), part.end());
  return out;
}

TEST(ItemTypesTest, EveryPredicateHoldsForExactlyItsSet) {
  struct Case {
    const char* name;
    bool (*predicate)(int32_t);
    TypeSet types;
  };
  const Case kCases[] = {
      {"closed ring", IsClosedRingType, {0, 8, 12, 14, 21}},
      {"curve", IsCurveType, {0, 8, 9, 12, 14, 15, 21}},
      {"graded (and the curve-item pick)", IsGradedType, {0, 8, 9, 14, 15}},
      {"derived", IsDerivedType, Join({{12}, Span(17, 25)})},
      {"corner derived", IsCornerDerivedType, Span(21, 25)},
      {"rebuilt", IsRebuiltType, {12, 17, 18, 19, 20}},
      {"old layout", IsOldLayoutType, Join({Span(0, 10), Span(13, 16), Span(21, 25)})},
      {"tidied curve", IsTidiedCurveType, {0, 8, 9, 14, 15, 21}},
      {"notch curve", IsNotchCurveType, {0, 12, 21}},
      {"kind walked", IsKindWalkedType, Join({{0}, Span(2, 10), Span(12, 25)})},
      {"V shape", IsVShapeType, {6, 19, 24}},
      {"passed over by lookups", IsPassedOverByLookups, Join({{11, 12}, Span(17, 20)})},
      {"passed over by hit test", IsPassedOverByHitTest, Join({{11, 12}, Span(17, 20), Span(21, 25)})},
      {"notch", IsNotchType, {13, 18, 23}},
      {"DXF polyline", IsDxfPolylineType, {0, 5, 6, 7, 8, 9, 12, 17, 19, 20, 21, 22, 24, 25}},
      {"DXF closed polyline", IsDxfClosedPolylineType, {0, 8, 12, 21}},
      {"DXF sampled curve", HasDxfSampledCurve, {0, 8, 9, 12, 21}},
      {"DXF lines", [](int32_t t) { return DxfShapeOf(t) == kDxfLines; }, {1, 13, 18, 23}},
      {"DXF points", [](int32_t t) { return DxfShapeOf(t) == kDxfPoints; }, {2, 3}},
      {"DXF circles", [](int32_t t) { return DxfShapeOf(t) == kDxfCircles; }, {4, 10}},
      {"DXF text", [](int32_t t) { return DxfShapeOf(t) == kDxfText; }, {11}},
      {"AAMA rule curve", [](int32_t t) { return TraitsOf(t).aamaRule == AamaRuleItemClass::kCurve; },
       {0, 8, 9, 12, 21}},
      {"AAMA rule points", [](int32_t t) { return TraitsOf(t).aamaRule == AamaRuleItemClass::kPoints; },
       Join({Span(1, 7), {10, 17, 19, 20, 22, 24, 25}})},
      {"AAMA rule notches", [](int32_t t) { return TraitsOf(t).aamaRule == AamaRuleItemClass::kNotches; },
       {13, 18, 23}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    // Codes beyond the table have no trait.
    for (int32_t type = -1; type <= kItemTypeCount; ++type) {
      SCOPED_TRACE(type);
      EXPECT_EQ(c.predicate(type), c.types.count(type) == 1);
    }
  }
}

}  // namespace
