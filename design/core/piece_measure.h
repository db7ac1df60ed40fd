// A named measurement of a parametric design (a distance between two
// construction points, or a length along a curve), kept in the container's
// measure list; formulas use it as a term.
//
// This is the part of the measure that the container needs today (its owner
// and name); the references, the length and the layout join with the
// measure's loader.
#pragma once

#include "platform/text.h"

class CPatternData;

class CPieceMeasure {
 public:
  explicit CPieceMeasure(CPatternData* owner) : m_Owner(owner) {}
  virtual ~CPieceMeasure() = default;
  CPieceMeasure(const CPieceMeasure&) = delete;
  CPieceMeasure& operator=(const CPieceMeasure&) = delete;

  CString GetName() const { return m_Name; }
  CPatternData* GetOwner() const { return m_Owner; }

 private:
  CString m_Name;
  CPatternData* m_Owner;
};
