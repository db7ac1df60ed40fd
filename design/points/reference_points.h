// Points that are never placed (kinds 23, 24 and 25): each holds two
// references to graded objects of any kind and one integer that nothing
// interprets. They compute no position and are not points of the design in
// their own right, but they are read, kept and re-linked with the rest of a
// design, so that the object positions of a file stay in step and deleting
// or replacing an object they refer to reaches them. The three kinds differ
// only in their kind code.
#pragma once

#include <cstdint>

#include "design/points/graded_point.h"

inline constexpr int32_t kPointKindElem23 = 23;
inline constexpr int32_t kPointKindElem24 = 24;
inline constexpr int32_t kPointKindElem25 = 25;

class CPointElemBase : public CGradedPoint {
 public:
  CGradedObject* GetReference1() const { return m_Reference1.object; }
  CGradedObject* GetReference2() const { return m_Reference2.object; }
  int32_t GetValue() const { return m_Value; }

  // Stores the two references and the value, then runs every size through
  // the computation (which places nothing).
  void SetParams(CGradedObject* reference1, CGradedObject* reference2, int32_t value);
  // The fields in the same order; a null out pointer is skipped.
  void GetParams(CGradedObject** reference1, CGradedObject** reference2, int32_t* value) const;

  // Never placed: 0.
  BOOL IsRealPoint() const override;
  // The base part, the two object positions and the value. 0 when cut short.
  BOOL Load(ArchiveReader& archive) override;

  // No position, at any size and whatever the compute-all flag: 0, with the
  // position the size holds; no size is ever marked clean, so every request
  // comes here again.
  BOOL CalcPoint(int32_t size, int32_t* x, int32_t* y) override;
  // Never hit, so never picked: 0, nothing stored.
  BOOL HitTest(int32_t x, int32_t y, double tolerance, int32_t size, CPoint* point, double* distance) override;
  BOOL Pick(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
            double* distance) override;
  BOOL PickPoint(int32_t x, int32_t y, double tolerance, int32_t size, CGradedObject** object,
                 CPoint* point) override;

 protected:
  // Copies the kind's own values (Clone, CopyFrom).
  void CopyValues(const CGradedPoint& source, bool intoOtherOwner) override;

  // Both references unset, value 0.
  CPointElemBase(int32_t kind, CPatternData* owner, uint16_t status);

 private:
  Reference m_Reference1{0};
  Reference m_Reference2{0};
  int32_t m_Value = 0;
};

class CPointElem23 : public CPointElemBase {
 public:
  CPointElem23(CPatternData* owner, uint16_t status) : CPointElemBase(kPointKindElem23, owner, status) {}
  // Every field, through SetParams.
  CPointElem23(CPatternData* owner, uint16_t status, CGradedObject* reference1, CGradedObject* reference2,
               int32_t value)
      : CPointElemBase(kPointKindElem23, owner, status) {
    SetParams(reference1, reference2, value);
  }
};

class CPointElem24 : public CPointElemBase {
 public:
  CPointElem24(CPatternData* owner, uint16_t status) : CPointElemBase(kPointKindElem24, owner, status) {}
  // Every field, through SetParams.
  CPointElem24(CPatternData* owner, uint16_t status, CGradedObject* reference1, CGradedObject* reference2,
               int32_t value)
      : CPointElemBase(kPointKindElem24, owner, status) {
    SetParams(reference1, reference2, value);
  }
};

class CPointElem25 : public CPointElemBase {
 public:
  CPointElem25(CPatternData* owner, uint16_t status) : CPointElemBase(kPointKindElem25, owner, status) {}
  // Every field, through SetParams.
  CPointElem25(CPatternData* owner, uint16_t status, CGradedObject* reference1, CGradedObject* reference2,
               int32_t value)
      : CPointElemBase(kPointKindElem25, owner, status) {
    SetParams(reference1, reference2, value);
  }
};

// Joins kinds 23, 24 and 25 to the point-kind table; the loader makes them
// with status 0.
void RegisterReferencePoints();
