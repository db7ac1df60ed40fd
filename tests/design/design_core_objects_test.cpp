// The per-size flags of graded objects and design elements, the label update
// that a base-size change brings, and the dependency walk over references.
#include <vector>

#include <gtest/gtest.h>

#include "design/core/design_element.h"
#include "design/core/graded_object.h"
#include "design/core/pattern_data.h"
#include "design/core/pattern_record.h"

namespace {

// A design with `count` sizes and the given base size.
void AddSizes(CPatternData& data, int count, int baseSize) {
  for (int i = 0; i < count; ++i) data.InsertSize(i, CString("S") + CString(std::to_string(i)), 0, 1);
  data.SetBaseSize(baseSize);
}

std::vector<int> Flags(const CGradedObject& object) {
  std::vector<int> flags;
  for (int i = 0; i < object.GetDirtyCount(); ++i) flags.push_back(object.IsDirty(i));
  return flags;
}

// A graded object that counts its label updates and refers to the objects it
// is given, as a point refers to its construction points.
class CountingObject : public CGradedObject {
 public:
  explicit CountingObject(CPatternData* owner) : CGradedObject(kObjectKindPoint, owner, 0) {}
  void UpdateLabel() override { ++labelUpdates; }
  BOOL RefersTo(const CGradedObject* object) const override {
    for (const CGradedObject* r : refs)
      if (r == object) return TRUE;
    return FALSE;
  }
  BOOL GetReferences(CGradedObjectList& references) const override {
    references = refs;
    return TRUE;
  }
  int labelUpdates = 0;
  CGradedObjectList refs;
};

TEST(GradedObjectFlags, NewObjectIsDirtyInEverySizeAndCleansSizeBySize) {
  CPatternData data;
  AddSizes(data, 3, 1);
  CountingObject object(&data);
  EXPECT_EQ(Flags(object), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(object.GetState(), 1);
  EXPECT_EQ(object.GetLink(), nullptr);

  object.ClearDirty(0);
  object.ClearDirty(2);
  EXPECT_EQ(Flags(object), (std::vector<int>{0, 1, 0}));
  EXPECT_TRUE(object.IsDirty(-1));
  EXPECT_FALSE(object.IsAllDirty());
  object.ClearDirty(1);
  EXPECT_FALSE(object.IsDirty(-1));

  // One size, then every size.
  object.Invalidate(2);
  EXPECT_EQ(Flags(object), (std::vector<int>{0, 0, 1}));
  object.Invalidate(-1);
  EXPECT_EQ(Flags(object), (std::vector<int>{1, 1, 1}));
  EXPECT_TRUE(object.IsAllDirty());

  // Sizes outside the table are refused, not written.
  object.ClearDirty(0);
  object.Invalidate(3);
  object.Invalidate(-2);
  object.ClearDirty(7);
  EXPECT_EQ(Flags(object), (std::vector<int>{0, 1, 1}));
  EXPECT_FALSE(object.IsDirty(3));
}

TEST(GradedObjectFlags, OnlyBaseSizeOrEverySizeUpdatesTheLabel) {
  CPatternData data;
  AddSizes(data, 3, 1);
  CountingObject object(&data);
  object.labelUpdates = 0;
  object.Invalidate(0);
  object.Invalidate(2);
  EXPECT_EQ(object.labelUpdates, 0);
  object.Invalidate(1);
  EXPECT_EQ(object.labelUpdates, 1);
  object.Invalidate(-1);
  EXPECT_EQ(object.labelUpdates, 2);
  // Moving the base size lays out every object's labels.
  data.AddElement(std::make_unique<CountingObject>(&data));
  auto* listed = static_cast<CountingObject*>(data.GetElementAt(0));
  listed->labelUpdates = 0;
  data.SetBaseSize(2);
  EXPECT_EQ(listed->labelUpdates, 1);
}

TEST(GradedObjectFlags, EmptySizeTable) {
  CPatternData data;
  CountingObject object(&data);
  EXPECT_EQ(object.GetDirtyCount(), 0);
  EXPECT_FALSE(object.IsDirty(-1));
  EXPECT_TRUE(object.IsAllDirty());
  CountingObject orphan(nullptr);
  orphan.Invalidate(-1);
  EXPECT_EQ(orphan.GetDirtyCount(), 0);
}

TEST(GradedObjectFlags, InsertedSizeIsDirtyAndRemovalCloses) {
  CPatternData data;
  AddSizes(data, 2, 0);
  CountingObject object(&data);
  object.ClearDirty(0);
  object.ClearDirty(1);
  object.InsertSize(0);
  EXPECT_EQ(Flags(object), (std::vector<int>{1, 0, 0}));
  object.InsertSize(3);  // at the tail
  EXPECT_EQ(Flags(object), (std::vector<int>{1, 0, 0, 1}));
  object.InsertSize(5);  // past the tail: refused
  object.RemoveSize(4);
  object.RemoveSize(-1);
  EXPECT_EQ(Flags(object), (std::vector<int>{1, 0, 0, 1}));
  object.RemoveSize(0);
  EXPECT_EQ(Flags(object), (std::vector<int>{0, 0, 1}));
}

TEST(GradedObjectState, HidingReappliesTheLabelRule) {
  class LabelledObject : public CGradedObject {
   public:
    LabelledObject() : CGradedObject(kObjectKindPoint, nullptr, 7) {}
    void SetLabelVisible(BOOL visible) override { asked.push_back(visible); }
    BOOL IsLabelVisible() const override { return TRUE; }
    std::vector<BOOL> asked;
  };
  LabelledObject object;
  EXPECT_EQ(object.GetStatus(), 7);
  object.SetState(1);
  EXPECT_TRUE(object.asked.empty());
  object.SetState(0);
  EXPECT_EQ(object.asked, (std::vector<BOOL>{TRUE}));
  EXPECT_EQ(object.GetState(), 0);
}

TEST(GradedObjectDependsOn, FollowsChainsAndEndsOnCycles) {
  CPatternData data;
  CountingObject a(&data), b(&data), c(&data), d(&data), unrelated(&data);
  // c -> b -> a, and d -> c.
  b.refs = {&a};
  c.refs = {&b};
  d.refs = {&c};
  EXPECT_TRUE(d.DependsOn(&a));
  EXPECT_TRUE(c.DependsOn(&b));
  EXPECT_FALSE(a.DependsOn(&d));
  EXPECT_FALSE(d.DependsOn(&unrelated));
  EXPECT_FALSE(a.DependsOn(&a));  // no self reference

  // A damaged file can tie references into a ring: a -> c -> b -> a. The
  // walk answers for what is reachable and ends.
  a.refs = {&c};
  EXPECT_TRUE(a.DependsOn(&a));  // through b
  EXPECT_FALSE(a.DependsOn(&unrelated));
  EXPECT_FALSE(b.DependsOn(&d));
  // A self loop and a null reference.
  unrelated.refs = {nullptr, &unrelated};
  EXPECT_TRUE(unrelated.DependsOn(&unrelated));
  EXPECT_FALSE(unrelated.DependsOn(&a));
}

TEST(GradedObjectDependsOn, LongChainNeedsNoDeepRecursion) {
  CPatternData data;
  std::vector<std::unique_ptr<CountingObject>> chain;
  for (int i = 0; i < 200000; ++i) {
    chain.push_back(std::make_unique<CountingObject>(&data));
    if (i > 0) chain[i]->refs = {chain[i - 1].get()};
  }
  EXPECT_TRUE(chain.back()->DependsOn(chain.front().get()));
  CountingObject outside(&data);
  EXPECT_FALSE(chain.back()->DependsOn(&outside));
}

TEST(GradedObjectDefaults, NeutralAnswers) {
  CPatternData data;
  AddSizes(data, 2, 0);
  CGradedObject object(kObjectKindText, &data, 0);
  CGradedObjectList list{&object};
  EXPECT_FALSE(object.GetReferences(list));
  EXPECT_EQ(list.size(), 1u);  // untouched
  EXPECT_EQ(object.GetBoundRect(0), CRect());
  EXPECT_FALSE(object.RefersTo(&object));
  EXPECT_EQ(object.Clone(), nullptr);
  CPoint point;
  double distance = 0;
  EXPECT_FALSE(object.HitTest(0, 0, 5.0, 0, &point, &distance));
  EXPECT_EQ(object.GetLabelValue(nullptr), 0.0);
  ArchiveReader empty(std::string_view{});
  EXPECT_TRUE(object.Load(empty));
  EXPECT_EQ(empty.Position(), 0u);
}

// ---------------------------------------------------------------------------

// An element that records which sizes it was asked to compute.
class RecordingElement : public CDesignElement {
 public:
  explicit RecordingElement(CPatternRecord* owner) : CDesignElement(owner, kElementTypeBoundary) {}
  BOOL Calculate(int32_t size) override {
    computed.push_back(size);
    return CDesignElement::Calculate(size);
  }
  std::vector<int32_t> computed;
};

TEST(DesignElementFlags, DirtyPerSizeAndRecalcDriver) {
  CPatternData data;
  AddSizes(data, 3, 0);
  CPatternRecord piece(&data);
  RecordingElement element(&piece);
  EXPECT_EQ(element.GetType(), kElementTypeBoundary);
  EXPECT_EQ(element.GetPatternData(), &data);
  EXPECT_TRUE(element.IsDirty(-1));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(element.IsDirty(i));

  element.Recalc(1);
  EXPECT_EQ(element.computed, (std::vector<int32_t>{1}));
  EXPECT_TRUE(element.IsDirty(0));
  EXPECT_FALSE(element.IsDirty(1));
  EXPECT_TRUE(element.IsDirty(2));

  // Every size in ascending order, whatever the flags say.
  element.computed.clear();
  element.Recalc(-1);
  EXPECT_EQ(element.computed, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_FALSE(element.IsDirty(-1));

  element.Invalidate(2);
  EXPECT_TRUE(element.IsDirty(-1));
  EXPECT_FALSE(element.IsDirty(1));
  element.Invalidate(-1);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(element.IsDirty(i));

  element.ClearDirty(0);
  element.InsertSize(0);
  EXPECT_TRUE(element.IsDirty(0));
  EXPECT_FALSE(element.IsDirty(1));
  EXPECT_EQ(element.GetDirtyCount(), 4);
  element.RemoveSize(0);
  EXPECT_FALSE(element.IsDirty(0));
  EXPECT_EQ(element.GetDirtyCount(), 3);
}

TEST(DesignElementFlags, NoSizesAndNoOwner) {
  CPatternData data;
  CPatternRecord piece(&data);
  RecordingElement element(&piece);
  element.Recalc(-1);
  EXPECT_TRUE(element.computed.empty());
  EXPECT_FALSE(element.IsDirty(-1));
  RecordingElement orphan(nullptr);
  EXPECT_EQ(orphan.GetPatternData(), nullptr);
  orphan.Recalc(-1);
  EXPECT_TRUE(orphan.computed.empty());
}

TEST(DesignElementDefaults, NeutralAnswers) {
  CPatternData data;
  AddSizes(data, 1, 0);
  CPatternRecord piece(&data);
  CDesignElement element(&piece, 8);
  EXPECT_EQ(element.GetBoundRect(0), CRect(0, 0, 1, 1));
  EXPECT_EQ(element.GetBoundRectAt(0, 5, 5, 0.0, 1.0), CRect(0, 0, 1, 1));
  ArchiveReader bytes(std::string_view("\x01\x02", 2));
  EXPECT_FALSE(element.Load(bytes));
  EXPECT_EQ(bytes.Position(), 0u);
  int32_t type = -5;
  std::vector<CVertex> vertices;
  EXPECT_FALSE(element.ExportItem(1.0, &type, &vertices));
  EXPECT_TRUE(vertices.empty());
  EXPECT_EQ(type, -5);
  EXPECT_TRUE(element.Calculate(0));
  EXPECT_FALSE(element.IsDirty(0));
}

}  // namespace
