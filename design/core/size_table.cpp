#include "design/core/size_table.h"

#include "design/core/pattern_data.h"

BOOL CSizeEntry::Load(ArchiveReader& archive, int32_t version) {
  CString name;
  uint16_t colorIndex = 0;
  if (!archive.ReadString(name) || !archive.ReadU16(colorIndex)) return FALSE;
  if (version == kVersionWithSizeEntryWord && !archive.Skip(sizeof(int32_t))) return FALSE;
  m_Name = name;
  m_ColorIndex = colorIndex;
  return TRUE;
}

CSizeTableRow::CSizeTableRow(CPatternData* owner, const CString& name)
    : m_Name(name), m_Values(static_cast<size_t>(owner ? owner->GetSizeCount() : 0), 0u), m_Owner(owner) {}

void CSizeTableRow::SetValue(int32_t size, int32_t value) {
  if (size >= 0 && size < GetValueCount()) m_Values[static_cast<size_t>(size)] = value;
}

int32_t CSizeTableRow::GetValue(int32_t size) const {
  if (size < 0 || size >= GetValueCount()) return 0;
  return m_Values[static_cast<size_t>(size)];
}

void CSizeTableRow::InsertValue(int32_t index, int32_t value) {
  if (index < 0 || index > GetValueCount()) return;
  m_Values.insert(m_Values.begin() + index, value);
}

void CSizeTableRow::RemoveValue(int32_t index) {
  if (index < 0 || index >= GetValueCount()) return;
  m_Values.erase(m_Values.begin() + index);
}

BOOL CSizeTableRow::Load(ArchiveReader& archive) {
  CString name;
  if (!archive.ReadString(name)) return FALSE;
  const int32_t sizeCount = m_Owner ? m_Owner->GetSizeCount() : 0;
  if (!archive.CheckCount(sizeCount, sizeof(int32_t))) return FALSE;
  std::vector<int32_t> values(static_cast<size_t>(sizeCount), 0);
  for (int32_t& value : values) {
    if (!archive.ReadI32(value)) return FALSE;
  }
  m_Name = name;
  m_Values = std::move(values);
  return TRUE;
}
