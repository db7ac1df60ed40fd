#include "imports/gerber_catalogue.h"

#include "platform/binary_file.h"
#include "platform/file_system.h"

namespace {

// A catalogue is never near this size; a larger file is refused unread.
constexpr size_t kMaxCatalogueBytes = size_t{64} << 20;

bool HoldsCatalogueFiles(const CString& folder) {
  return !FindFileNoCase(folder, "model.ctl").IsEmpty() && !FindFileNoCase(folder, "piece.ctl").IsEmpty() &&
         !ListFolder(folder, "model???.mod").empty();
}

}  // namespace

CString GgtFieldText(std::string_view field) { return CString(field.substr(0, field.find('\0'))); }

CatalogueRecord ParseCatalogueRecord(std::string_view record) {
  CatalogueRecord parsed;
  parsed.name = GgtFieldText(record.substr(0, kCatalogueNameBytes));
  parsed.code = CString(record.substr(kCatalogueCodeOffset, 3));
  parsed.blockIndex = static_cast<int8_t>(record[kCatalogueBlockOffset]);
  parsed.deleted = (static_cast<uint8_t>(record[kCatalogueFlagsOffset]) & kCatalogueDeleted) != 0;
  return parsed;
}

int64_t DataBlockOffset(int blockIndex) {
  if (blockIndex < 0) return -1;
  return int64_t{blockIndex} * 64 + 16;
}

bool IsStorageFolder(const CString& path, int* direct) {
  if (HoldsCatalogueFiles(path)) {
    if (direct) *direct = 1;
    return true;
  }
  CString data = FindFileNoCase(path, "data");
  if (!data.IsEmpty() && IsFolder(data) && HoldsCatalogueFiles(data)) {
    if (direct) *direct = 0;
    return true;
  }
  return false;
}

int CheckModelCtl(const CString& folder) {
  CString path = FindFileNoCase(folder, "model.ctl");
  CFile file;
  if (path.IsEmpty() || !file.Open(path, CFile::Mode::kRead)) return 1;
  int64_t length = file.GetLength();
  if (length < 0) return 1;
  if (length % kCatalogueRecordBytes != 0) return 2;
  if (length == kCatalogueRecordBytes) return 3;
  return 0;
}

std::vector<CDataBase> ReadModelCatalogue(const CString& folder) {
  std::vector<CDataBase> entries;
  if (CheckModelCtl(folder) != 0) return entries;
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(FindFileNoCase(folder, "model.ctl"), kMaxCatalogueBytes, bytes) != FileReadStatus::kOk) {
    return entries;
  }
  // The last record of the file closes the catalogue and is no model.
  size_t records = bytes.size() / kCatalogueRecordBytes;
  std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (size_t i = 0; i + 1 < records; ++i) {
    CatalogueRecord record = ParseCatalogueRecord(all.substr(i * kCatalogueRecordBytes, kCatalogueRecordBytes));
    if (record.deleted) continue;
    entries.push_back(CDataBase{record.name, record.code, record.blockIndex});
  }
  return entries;
}
