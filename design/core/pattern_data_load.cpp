// Loading a whole design from the archive layout of the native pattern
// files, and the use tests that the loader's clean-up asks.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "design/core/factories.h"
#include "design/core/pattern_data.h"
#include "design/points/span_points.h"

namespace {

// The four magic words of the archive layout. The last two open a design
// only from data version 150 on; below it they are the flat layout's.
constexpr uint32_t kMagicDesign = 0xB5686E9D;
constexpr uint32_t kMagicDesignOther = 0xB5686E99;
constexpr uint32_t kMagicFlat = 0xAAAAAAAA;
constexpr uint32_t kMagicFlatOther = 0x99999999;

// The data versions at which the header and the sections change. Each name
// says what a file of that version or later has.
constexpr int32_t kFirstVersionWithSecondFont = 105;
constexpr int32_t kFirstVersionWithFifthName = 109;
constexpr int32_t kFirstVersionWithCurveKind = 109;
constexpr int32_t kFirstVersionOldReservedWord = 122;  // a reserved word, up to 149
constexpr int32_t kLastVersionOldReservedWord = 149;
constexpr int32_t kFirstVersionWithStoredPieces = 150;  // and the words of the newer header
constexpr int32_t kFirstVersionWithSecondHeaderWord = 155;
constexpr int32_t kFirstVersionNewReservedWord = 158;

// The header's reserved fields that every version has: a 16-bit word and
// seventeen 32-bit words.
constexpr size_t kReservedHeaderBytes = sizeof(uint16_t) + 17 * sizeof(uint32_t);

// The least bytes each stored entry takes, against which a count is checked
// before anything is made for it: a size (empty name and its colour), a
// measure (empty name, kind and three references), an object (its kind) and
// a pattern record (four empty texts, a quantity of one byte at least, the
// two points, the options, the value, the reference point and the element
// count).
constexpr size_t kSizeEntryMinBytes = 1 + sizeof(uint16_t);
constexpr size_t kMeasureMinBytes = 1 + 4 * sizeof(int32_t);
constexpr size_t kObjectMinBytes = sizeof(int32_t);
constexpr size_t kRecordMinBytes = 4 + 1 + 4 * sizeof(int32_t) + 4 * sizeof(int32_t) + sizeof(double) +
                                   3 * sizeof(int32_t) + sizeof(int32_t);

bool IsDesignMagic(uint32_t magic, int32_t version) {
  if (magic == kMagicDesign || magic == kMagicDesignOther) return true;
  return (magic == kMagicFlat || magic == kMagicFlatOther) && version >= kFirstVersionWithStoredPieces;
}

std::string Numbered(const char* what, int32_t index) { return std::string(what) + " " + std::to_string(index); }

}  // namespace

void CPatternData::NoteLoadFailure(DesignLoadFault fault, size_t offset, std::string_view what) {
  if (m_LoadFailure.fault == DesignLoadFault::kNone) {
    m_LoadFailure = DesignLoadFailure{fault, offset, std::string(what)};
    return;
  }
  m_LoadFailure.reason = std::string(what) + ": " + m_LoadFailure.reason;
}

BOOL CPatternData::ReservePerSizeEntries(int64_t entries, size_t offset) {
  const int64_t sizes = GetSizeCount();
  if (entries <= 0 || sizes == 0) return TRUE;
  // Both factors are bounded (a count read from the file, sizes up to
  // kMaxDesignSizes), so the product cannot overflow.
  if (entries > kMaxDesignSizeEntries / sizes || m_PerSizeEntries + entries * sizes > kMaxDesignSizeEntries) {
    NoteLoadFailure(DesignLoadFault::kMalformed, offset, "more per-size entries than a design may hold");
    return FALSE;
  }
  m_PerSizeEntries += entries * sizes;
  return TRUE;
}

namespace design_load {

// One pass of the loader over an archive: reads the sections into the
// container and notes where and why it stops.
class DesignLoader {
 public:
  DesignLoader(CPatternData& data, ArchiveReader& in, const DesignTables& tables)
      : data_(data), in_(in), tables_(tables) {}

  bool ReadHeader(uint32_t& magic);
  // The header of a single-size design, after its first word: no
  // version-dependent fields. Every later section is then read as the
  // newest files lay it out.
  bool ReadBaseSizeHeader();
  // The names and fonts that end both headers; stores the header.
  bool ReadHeaderTail(int32_t mode, int32_t scale);
  bool ReadSizes();
  bool ReadSizeRows();
  bool ReadMeasures();
  bool ReadObjects();
  bool ReadRecords();

  // Notes a fault found here.
  bool Fail(DesignLoadFault fault, std::string_view what) {
    data_.NoteLoadFailure(fault, in_.Position(), what);
    return false;
  }
  // Notes the record whose own reader failed: its fault when it noted one,
  // else a record that is cut short or malformed.
  bool FailIn(std::string_view record) {
    if (data_.GetLoadFailure().fault == DesignLoadFault::kNone) {
      return Fail(DesignLoadFault::kMalformed, std::string(record) + ": cut short or malformed");
    }
    return Fail(DesignLoadFault::kMalformed, record);
  }
  // Reads a count and checks it against the bytes left at `minBytes` each.
  bool ReadCount(int32_t& count, size_t minBytes, std::string_view what) {
    if (!in_.ReadI32(count)) return Fail(DesignLoadFault::kMalformed, std::string(what) + ": cut short");
    if (!in_.CheckCount(count, minBytes)) {
      return Fail(DesignLoadFault::kMalformed, std::string(what) + " beyond the bytes left");
    }
    count = std::max(count, 0);
    return true;
  }

  int32_t version() const { return version_; }
  // The version the sections' layout follows: the file's own, or the newest
  // for a single-size design.
  int32_t layout() const { return baseSizeLayout_ ? kNewestDataVersion : version_; }

 private:
  std::unique_ptr<CGradedObject> MakeObject(int32_t index);

  CPatternData& data_;
  ArchiveReader& in_;
  const DesignTables& tables_;
  int32_t version_ = 0;
  bool baseSizeLayout_ = false;
};

bool DesignLoader::ReadHeader(uint32_t& magic) {
  int32_t mode = 0;
  int32_t scale = 0;
  int32_t blockBytes = 0;
  in_.ReadU32(magic);
  in_.ReadI32(version_);
  if (in_.Failed()) return Fail(DesignLoadFault::kMalformed, "header: cut short");
  if (!IsDesignMagic(magic, version_)) return Fail(DesignLoadFault::kMalformed, "header: not a design file");
  data_.SetVersion(version_);
  if (version_ >= kFirstVersionNewReservedWord ||
      (version_ >= kFirstVersionOldReservedWord && version_ <= kLastVersionOldReservedWord)) {
    in_.Skip(sizeof(uint32_t));
  }
  in_.ReadI32(mode);
  // The newer header stores the scale twice; the second copy is the one
  // kept.
  if (version_ >= kFirstVersionWithStoredPieces) in_.ReadI32(scale);
  in_.Skip(kReservedHeaderBytes);
  if (in_.ReadI32(blockBytes) && blockBytes > 0) in_.Skip(static_cast<size_t>(blockBytes));
  if (version_ >= kFirstVersionWithStoredPieces) {
    in_.Skip(sizeof(uint32_t));
    if (version_ >= kFirstVersionWithSecondHeaderWord) in_.Skip(sizeof(uint32_t));
    in_.Skip(2 * sizeof(int32_t));
  }
  in_.ReadI32(scale);
  return ReadHeaderTail(mode, scale);
}

bool DesignLoader::ReadBaseSizeHeader() {
  baseSizeLayout_ = true;
  int32_t mode = 0;
  int32_t scale = 0;
  int32_t blockBytes = 0;
  if (!in_.ReadI32(version_)) return Fail(DesignLoadFault::kMalformed, "header: cut short");
  // The objects follow the container's version as they read their records;
  // the caller puts the file's own back once the sections are read.
  data_.SetVersion(layout());
  in_.ReadI32(mode);
  in_.Skip(kReservedHeaderBytes);
  if (in_.ReadI32(blockBytes) && blockBytes > 0) in_.Skip(static_cast<size_t>(blockBytes));
  in_.ReadI32(scale);
  return ReadHeaderTail(mode, scale);
}

bool DesignLoader::ReadHeaderTail(int32_t mode, int32_t scale) {
  CString names[5];
  for (int i = 0; i < 4; ++i) in_.ReadString(names[i]);
  if (layout() >= kFirstVersionWithFifthName) in_.ReadString(names[4]);
  LOGFONT labelFont;
  in_.ReadFont(labelFont);
  LOGFONT font2 = labelFont;
  if (layout() >= kFirstVersionWithSecondFont) in_.ReadFont(font2);
  if (in_.Failed()) return Fail(DesignLoadFault::kMalformed, "header: cut short");

  data_.SetMode(mode);
  data_.SetScale(scale);
  data_.SetName1(names[0].c_str());
  data_.SetName2(names[1].c_str());
  data_.SetName3(names[2].c_str());
  data_.SetName4(names[3].c_str());
  data_.SetName5(names[4].c_str());
  // Stored as read: there are no objects yet whose labels would follow it.
  data_.m_LabelFont = labelFont;
  data_.SetFont2(font2);
  return true;
}

bool DesignLoader::ReadSizes() {
  int32_t count = 0;
  const size_t extra = layout() == kVersionWithSizeEntryWord ? sizeof(int32_t) : 0;
  if (!ReadCount(count, kSizeEntryMinBytes + extra, "size count")) return false;
  if (count > kMaxDesignSizes) return Fail(DesignLoadFault::kMalformed, "size count above the sizes a design may have");
  for (int32_t i = 0; i < count; ++i) {
    CSizeEntry entry(CString(), 0, 1);
    if (!entry.Load(in_, layout())) return Fail(DesignLoadFault::kMalformed, Numbered("size", i) + ": cut short");
    data_.InsertSize(i, entry.GetName(), entry.GetColorIndex(), 1);
  }
  int32_t base = 0;
  if (!in_.ReadI32(base)) return Fail(DesignLoadFault::kMalformed, "base size: cut short");
  // The base size indexes every per-size array of the design.
  if (count < 1) return Fail(DesignLoadFault::kMalformed, "no size");
  if (base < 0 || base >= count) return Fail(DesignLoadFault::kMalformed, "base size outside the sizes");
  data_.SetBaseSize(base);
  return true;
}

bool DesignLoader::ReadSizeRows() {
  int32_t count = 0;
  const size_t rowBytes = 1 + sizeof(int32_t) * static_cast<size_t>(data_.GetSizeCount());
  if (!ReadCount(count, rowBytes, "size-table row count")) return false;
  if (!data_.ReservePerSizeEntries(count, in_.Position())) return FailIn("size-table rows");
  for (int32_t i = 0; i < count; ++i) {
    if (!data_.AddSizeRow(CString())->Load(in_)) return FailIn(Numbered("size-table row", i));
  }
  return true;
}

bool DesignLoader::ReadMeasures() {
  int32_t count = 0;
  if (!ReadCount(count, kMeasureMinBytes, "measure count")) return false;
  for (int32_t i = 0; i < count; ++i) {
    auto measure = std::make_unique<CPieceMeasure>(&data_);
    if (!measure->Load(in_)) return FailIn(Numbered("measure", i));
    data_.AddMeasure(std::move(measure));
  }
  return true;
}

// The empty object of the class that the stored kind (and point or curve
// kind) names, or null with the failure noted.
std::unique_ptr<CGradedObject> DesignLoader::MakeObject(int32_t index) {
  const std::string where = Numbered("graded object", index);
  int32_t kind = 0;
  if (!in_.ReadI32(kind)) {
    Fail(DesignLoadFault::kMalformed, where + ": cut short");
    return nullptr;
  }
  int32_t subkind = 0;
  const char* table = "kind";
  bool defined = IsLayoutObjectKind(kind, layout());
  std::unique_ptr<CGradedObject> object;
  if (kind == kObjectKindPoint) {
    table = "point kind";
    if (!in_.ReadI32(subkind)) {
      Fail(DesignLoadFault::kMalformed, where + ": cut short");
      return nullptr;
    }
    defined = IsLayoutPointKind(subkind);
    object = tables_.points.Create(subkind, &data_);
  } else if (kind == kObjectKindCurve) {
    table = "curve kind";
    // Before curve kinds were stored every curve was a spline curve.
    subkind = 1;
    if (layout() >= kFirstVersionWithCurveKind && !in_.ReadI32(subkind)) {
      Fail(DesignLoadFault::kMalformed, where + ": cut short");
      return nullptr;
    }
    defined = IsLayoutCurveKind(subkind);
    object = tables_.curves.Create(subkind, &data_);
  } else if (defined) {
    subkind = kind;
    // Kind 5 of the older files is a text.
    object = tables_.objects.Create(kind == kObjectKindOldText ? kObjectKindText : kind, &data_);
  } else {
    subkind = kind;
  }
  if (!object) {
    const std::string code = std::string(table) + " " + std::to_string(subkind);
    if (defined) {
      Fail(DesignLoadFault::kCodeNotBuilt, where + ": " + code + " is not read yet");
    } else {
      Fail(DesignLoadFault::kUnknownCode, where + ": " + code + " is no kind of the layout");
    }
  }
  return object;
}

bool DesignLoader::ReadObjects() {
  int32_t count = 0;
  const size_t lead =
      !baseSizeLayout_ && version_ >= kFirstVersionWithStoredPieces ? sizeof(uint32_t) + sizeof(int32_t) : 0;
  if (!ReadCount(count, kObjectMinBytes + lead, "graded object count")) return false;
  if (!data_.ReservePerSizeEntries(count, in_.Position())) return FailIn("graded objects");
  for (int32_t i = 0; i < count; ++i) {
    if (lead != 0 && !in_.Skip(lead)) return Fail(DesignLoadFault::kMalformed, Numbered("graded object", i) + ": cut short");
    std::unique_ptr<CGradedObject> object = MakeObject(i);
    if (!object) return false;
    if (!object->Load(in_) || in_.Failed()) return FailIn(Numbered("graded object", i));
    data_.AddElement(std::move(object));
  }
  return true;
}

bool DesignLoader::ReadRecords() {
  int32_t count = 0;
  if (!ReadCount(count, kRecordMinBytes, "pattern record count")) return false;
  for (int32_t i = 0; i < count; ++i) {
    auto record = std::make_unique<CPatternRecord>(&data_);
    if (!record->Load(in_, tables_.elements)) {
      std::string where = Numbered("pattern record", i);
      const CString name = record->GetPieceName();
      if (!name.IsEmpty()) where += " \"" + std::string(name.view()) + "\"";
      return FailIn(where);
    }
    data_.AddPiece(std::move(record));
  }
  return true;
}

}  // namespace design_load

BOOL CPatternData::Load(ArchiveReader& archive, const DesignTables& tables) {
  m_LoadFailure = DesignLoadFailure{};
  m_PerSizeEntries = 0;
  design_load::DesignLoader loader(*this, archive, tables);

  // 1-2: the header, then the sizes and the tables that every object's
  // per-size arrays follow.
  uint32_t magic = 0;
  if (!loader.ReadHeader(magic) || !loader.ReadSizes() || !loader.ReadSizeRows() || !loader.ReadMeasures()) {
    return FALSE;
  }
  // 3-7: the objects; their references are positions, resolved once every
  // object is in the list. Then every size of every object is due.
  if (!loader.ReadObjects()) return FALSE;
  for (auto& object : m_Objects) object->ResolveIds();
  // 5: files that stored no direction for the points along curves take it
  // from the order of their references in the curve's definition.
  if (loader.version() < kFirstVersionWithCurveKind) UpdatePointDirections(*this);
  for (auto& measure : m_Measures) measure->ResolveIds();
  for (auto& object : m_Objects) object->Invalidate(-1);
  // 8: the records resolve their own references while they load.
  if (!loader.ReadRecords()) return FALSE;
  // 9: hidden points that nothing uses go.
  RemoveUnusedHiddenPoints();
  // 10: the computed pieces of the newer files.
  const int32_t version = loader.version();
  if (version >= kFirstVersionWithStoredPieces && !ReadPieces(archive, version, magic)) {
    NoteLoadFailure(DesignLoadFault::kMalformed, archive.Position(), "stored pieces");
    return FALSE;
  }
  // 11: every gate has read 163 as 162, which it is apart from its sizes.
  if (m_Version == kVersionWithSizeEntryWord) m_Version = kNewestDataVersion;
  return TRUE;
}

BOOL CPatternData::LoadBaseSizeDesign(ArchiveReader& archive, const DesignTables& tables) {
  m_LoadFailure = DesignLoadFailure{};
  m_PerSizeEntries = 0;
  uint32_t magic = 0;
  if (!archive.ReadU32(magic) || magic != kMagicBaseSizeDesign) {
    NoteLoadFailure(DesignLoadFault::kMalformed, archive.Position(), "header: not a single-size design file");
    return FALSE;
  }
  design_load::DesignLoader loader(*this, archive, tables);
  const bool headerRead = loader.ReadBaseSizeHeader();
  const bool read = headerRead && loader.ReadSizes() && loader.ReadSizeRows() && loader.ReadMeasures() &&
                    loader.ReadObjects() && [&] {
                      for (auto& object : m_Objects) object->ResolveIds();
                      for (auto& measure : m_Measures) measure->ResolveIds();
                      for (auto& object : m_Objects) object->Invalidate(-1);
                      return loader.ReadRecords();
                    }();
  if (headerRead) m_Version = loader.version();
  if (!read) return FALSE;
  RemoveUnusedHiddenPoints();
  // Only the base size stays: the sizes before it go from the head, then
  // every size after it.
  for (int32_t i = 0; i < m_BaseSize; ++i) RemoveSize(0);
  m_BaseSize = 0;
  while (GetSizeCount() > 1) RemoveSize(1);
  m_Sizes.front()->SetName(CString("BaseSize"));
  return TRUE;
}

// ---- Use tests and the clean-up after loading ------------------------------

BOOL CPatternData::IsReferenced(const CGradedObject* object) const { return IsReferencedExcept(nullptr, object); }

BOOL CPatternData::IsLinkTarget(const CGradedObject* object) const { return IsLinkTargetExcept(nullptr, object); }

BOOL CPatternData::IsUsedByMeasure(const CGradedObject* object) const {
  if (!object) return FALSE;
  for (const auto& measure : m_Measures) {
    if (measure->RefersTo(object)) return TRUE;
  }
  return FALSE;
}

void CPatternData::RemoveUnusedHiddenPoints() {
  // What IsReferenced, IsLinkTarget, IsUsedByMeasure and UsesRefPoint would
  // answer, counted once for every object instead of asked of every object
  // for each point. Only points go, so only the users among the objects
  // change as the walk goes; records, links and measures stay.
  std::unordered_map<const CGradedObject*, int64_t> objectUsers;
  std::unordered_map<const CGradedObject*, bool> heldElsewhere;
  objectUsers.reserve(m_Objects.size());
  CGradedObjectList used;
  // Each object counts once for every other object it uses.
  auto distinctUsed = [&used](const CGradedObject* user) {
    used.clear();
    user->GetUsedObjects(used);
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    used.erase(std::remove(used.begin(), used.end(), nullptr), used.end());
    used.erase(std::remove(used.begin(), used.end(), user), used.end());
  };
  for (const auto& object : m_Objects) {
    distinctUsed(object.get());
    for (const CGradedObject* target : used) ++objectUsers[target];
    const int32_t kind = object->GetKind();
    if ((kind == kObjectKindLine || kind == kObjectKindCurve) && object->GetLink() && object->GetLink() != object.get()) {
      heldElsewhere[object->GetLink()] = true;
    }
  }
  for (const auto& record : m_Pieces) {
    used.clear();
    record->GetUsedObjects(used);
    for (const CGradedObject* target : used) heldElsewhere[target] = true;
    if (record->GetRefPoint()) heldElsewhere[record->GetRefPoint()] = true;
  }
  for (const auto& measure : m_Measures) {
    CGradedObject* refs[3] = {};
    measure->GetRefs(&refs[0], &refs[1], &refs[2]);
    for (const CGradedObject* ref : refs) {
      if (ref) heldElsewhere[ref] = true;
    }
  }

  std::vector<std::unique_ptr<CGradedObject>> kept;
  std::vector<std::unique_ptr<CGradedObject>> removed;
  kept.reserve(m_Objects.size());
  for (auto& object : m_Objects) {
    const CGradedObject* point = object.get();
    const bool unused = point->GetKind() == kObjectKindPoint && point->GetState() == 0 &&
                        objectUsers[point] == 0 && !heldElsewhere[point];
    if (!unused) {
      kept.push_back(std::move(object));
      continue;
    }
    distinctUsed(point);
    for (const CGradedObject* target : used) --objectUsers[target];
    removed.push_back(std::move(object));
  }
  m_Objects = std::move(kept);
  // Freed once none of the kept objects can reach them: nothing uses them.
  removed.clear();
}
