// The tables that make an object from a stored code.
#include <cstdint>
#include <memory>

#include <gtest/gtest.h>

#include "design/core/design_element.h"
#include "design/core/factories.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"
#include "model/piece_item.h"

namespace {

std::unique_ptr<CGradedObject> MakeLine(CPatternData* owner) {
  return std::make_unique<CGradedObject>(kObjectKindLine, owner, 0);
}
std::unique_ptr<CGradedObject> MakeText(CPatternData* owner) {
  return std::make_unique<CGradedObject>(kObjectKindText, owner, 0);
}
std::unique_ptr<CDesignElement> MakeSymbol4(CPatternRecord* owner) {
  return std::make_unique<CDesignElement>(owner, kElementTypeSymbol);
}

TEST(FactoryRegistry, MakesTheRegisteredClassAndNullForOtherCodes) {
  ObjectKindFactory table;
  EXPECT_EQ(table.Create(2, nullptr), nullptr);
  EXPECT_TRUE(table.Register(2, &MakeLine));
  CPatternData data;
  data.InsertSize(0, "S", 0, 1);
  std::unique_ptr<CGradedObject> made = table.Create(2, &data);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetKind(), kObjectKindLine);
  EXPECT_EQ(made->GetOwner(), &data);
  EXPECT_TRUE(made->IsAllDirty());
  for (int32_t code : {0, 1, 3, 8, -1, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(table.Create(code, &data), nullptr);
    EXPECT_FALSE(table.IsRegistered(code));
  }
  // One class per code: the first registration stays.
  EXPECT_FALSE(table.Register(2, &MakeText));
  EXPECT_FALSE(table.Register(8, nullptr));
  EXPECT_EQ(table.Create(2, &data)->GetKind(), kObjectKindLine);
}

TEST(FactoryRegistry, ElementsGoByTypeAndSubtype) {
  ElementFactory table;
  EXPECT_TRUE(table.Register({kElementTypeSymbol, 4}, &MakeSymbol4));
  CPatternData data;
  CPatternRecord piece(&data);
  std::unique_ptr<CDesignElement> made = table.Create({kElementTypeSymbol, 4}, &piece);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetOwner(), &piece);
  EXPECT_EQ(table.Create({kElementTypeSymbol, 8}, &piece), nullptr);
  EXPECT_EQ(table.Create({kElementTypeSymbol, 0}, &piece), nullptr);
  EXPECT_EQ(table.Create({4, kElementTypeSymbol}, &piece), nullptr);
}

TEST(FactoryRegistry, ProcessTablesGiveNullForCodesWithoutClass) {
  // Codes that no class has: the loader gets null and fails the load.
  CPatternData data;
  CPatternRecord piece(&data);
  for (int32_t code : {-1, 0, 3, 6, 9, 16, INT32_MIN}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(GetObjectKindFactory().Create(code, &data), nullptr);
  }
  for (int32_t code : {-1, 0, 48, INT32_MAX}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(GetPointKindFactory().Create(code, &data), nullptr);
  }
  for (int32_t code : {-1, 0, 9}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(GetCurveKindFactory().Create(code, &data), nullptr);
  }
  const ElementCode kNoElement[] = {{0, 0}, {3, 0}, {2048, 0}, {kElementTypeSymbol, 3}, {kElementTypeConstruct, 1024}};
  for (const ElementCode& code : kNoElement) {
    SCOPED_TRACE(testing::Message() << code.type << "/" << code.subtype);
    EXPECT_EQ(GetElementFactory().Create(code, &piece), nullptr);
  }
  for (int32_t code : {-1, 30, 1000}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(GetItemCodeFactory().Create(code), nullptr);
  }
  // Each key space is its own table.
  EXPECT_NE(&GetPointKindFactory(), &GetCurveKindFactory());
  EXPECT_NE(&GetObjectKindFactory(), &GetPointKindFactory());
}

}  // namespace
