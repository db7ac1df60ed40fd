// The catalogues of a Gerber storage folder: recognising such a folder and
// listing the models (styles) of its "model.ctl".
//
// A storage folder keeps three catalogue files of 64-byte records ("model.ctl",
// "piece.ctl", "rutab.ctl") and data files that their records point into
// ("model???.mod", "piece???.pce", "rutab???.rtb"), either in the folder itself
// or in its subfolder "data/". File names match in any case ("MODEL.CTL");
// names inside records compare exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/text.h"

// The layout of one catalogue record, shared by all three catalogues.
inline constexpr int kCatalogueRecordBytes = 64;
inline constexpr int kCatalogueNameBytes = 20;   // name at 0
inline constexpr int kCatalogueCodeOffset = 20;  // three characters completing the data file's name
inline constexpr int kCatalogueBlockOffset = 23; // signed 8-bit block index
inline constexpr int kCatalogueFlagsOffset = 25; // bit 1: deleted record
inline constexpr uint8_t kCatalogueDeleted = 2;

// The text of a fixed-width field of a Gerber file: its bytes up to the
// first 0 byte, or all of them.
CString GgtFieldText(std::string_view field);
inline CString GgtFieldText(const uint8_t* field, size_t width) {
  return GgtFieldText(std::string_view(reinterpret_cast<const char*>(field), width));
}

// One catalogue record taken apart.
struct CatalogueRecord {
  CString name;       // up to the first 0 byte of the 20-byte field
  CString code;       // three characters
  int blockIndex = 0; // signed: bytes from 128 up are negative
  bool deleted = false;
};
// `record` must hold kCatalogueRecordBytes bytes.
CatalogueRecord ParseCatalogueRecord(std::string_view record);

// Where an item starts in its data file: a 16-byte file head, then 64-byte
// blocks. A negative block index would point before the start of the file;
// -1 is returned for it and the item is refused.
int64_t DataBlockOffset(int blockIndex);

// One model of "model.ctl": the catalogue entry the user picks.
struct CDataBase {
  CString name;
  CString code;
  int blockIndex = 0;
};

// Whether `path` (a folder) holds "model.ctl", "piece.ctl" and at least one
// "model???.mod" (each '?' exactly one character), itself (`direct` = 1) or
// in its "data/" subfolder (`direct` = 0). On false `direct` keeps its value.
bool IsStorageFolder(const CString& path, int* direct);

// Checks "model.ctl" of `folder`: 1 when it cannot be opened, 2 when its
// length is not a multiple of 64, 3 when it holds exactly one record (it then
// holds no models), else 0.
int CheckModelCtl(const CString& folder);

// The models of "model.ctl" in file order. The last record of the file is not
// a model; deleted records are left out. Empty when CheckModelCtl is not 0.
std::vector<CDataBase> ReadModelCatalogue(const CString& folder);
