// The two small records with which a design describes its sizes: a size
// entry (one size of the style: its name, a colour index and one further
// integer) and a size-table row (a named body or garment measurement with one
// value per size, from which formulas take their values).
//
// Both are owned by the design container. The order of the container's size
// entries is the size index of every per-size array of the design.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/archive.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CPatternData;

// Files of this data version carry one more int32 after each size entry; the
// word means nothing to the design and is skipped. Later versions are read
// with the layout of 162, which has no such word.
inline constexpr int32_t kVersionWithSizeEntryWord = 163;

class CSizeEntry {
 public:
  CSizeEntry(const CString& name, uint16_t colorIndex, int32_t value)
      : m_Name(name), m_ColorIndex(colorIndex), m_Value(value) {}
  virtual ~CSizeEntry() = default;

  void SetName(const CString& name) { m_Name = name; }
  CString GetName() const { return m_Name; }
  // The colour of the size; the native reader maps it to the size's pen.
  void SetColorIndex(uint16_t colorIndex) { m_ColorIndex = colorIndex; }
  uint16_t GetColorIndex() const { return m_ColorIndex; }
  // Kept with the size and copied; the design does not interpret it.
  void SetValue(int32_t value) { m_Value = value; }
  int32_t GetValue() const { return m_Value; }

  // Reads one stored size: its name (counted string) and its colour index
  // (uint16), then, in a file of version 163, one further int32 that is
  // skipped. The further integer of the entry is not stored and keeps its
  // value. Returns 0 when the record is cut short; the entry is then left as
  // it was.
  BOOL Load(ArchiveReader& archive, int32_t version);

 private:
  CString m_Name;
  uint16_t m_ColorIndex;
  int32_t m_Value;
};

class CSizeTableRow {
 public:
  // A row with one value 0 per size of the owner (none for a null owner).
  CSizeTableRow(CPatternData* owner, const CString& name);
  virtual ~CSizeTableRow() = default;

  void SetOwner(CPatternData* owner) { m_Owner = owner; }
  CPatternData* GetOwner() const { return m_Owner; }
  CString GetName() const { return m_Name; }
  int32_t GetValueCount() const { return static_cast<int32_t>(m_Values.size()); }
  // The value of one size. Outside the value array nothing is set and 0 is
  // read.
  void SetValue(int32_t size, int32_t value);
  int32_t GetValue(int32_t size) const;
  // Keeps the values aligned with the container's sizes when a size is
  // inserted or removed. An index outside the array changes nothing.
  void InsertValue(int32_t index, int32_t value);
  void RemoveValue(int32_t index);

  // Reads one stored row: its name (counted string), then one int32 per size
  // of the owner. The count is
  // checked against the bytes left before anything is allocated. Returns 0
  // when the record is cut short; the row is then left as it was.
  BOOL Load(ArchiveReader& archive);

 private:
  CString m_Name;
  std::vector<int32_t> m_Values;
  CPatternData* m_Owner;
};
