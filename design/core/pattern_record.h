// One design piece of a parametric design. The container keeps its records
// in its piece list; the elements of a piece reach the container's sizes and
// objects through the record.
//
// This is the part of the record that the container and the design elements
// need today (the owner link); the texts, options, reference point and the
// element list join with the record's loader.
#pragma once

class CPatternData;

class CPatternRecord {
 public:
  explicit CPatternRecord(CPatternData* owner) : m_Owner(owner) {}
  virtual ~CPatternRecord() = default;
  CPatternRecord(const CPatternRecord&) = delete;
  CPatternRecord& operator=(const CPatternRecord&) = delete;

  // The design container that holds the record; not owned.
  CPatternData* GetPatternData() const { return m_Owner; }

 private:
  CPatternData* m_Owner;
};
