#include "imports/work_files.h"

#include <vector>

#include "imports/zip_reader.h"
#include "platform/binary_file.h"
#include "platform/file_system.h"

namespace {

// The extracted files are read in pieces of this size, as the import always did.
constexpr uint32_t kUnpackBlock = 2048;

// A name that stays a file directly in the work folder on every system the
// archives come from: no folder part, no drive, no 0 byte.
bool IsPlainFileName(const CString& name) {
  if (name.IsEmpty() || name == "." || name == "..") return false;
  for (char ch : name.view()) {
    if (ch == '/' || ch == '\\' || ch == ':' || ch == '\0') return false;
  }
  return true;
}

// Unpacks into `folder`, recording every file it creates in `written`.
UnpackResult UnpackEntries(const CString& archive, const CString& folder, std::vector<CString>& written) {
  CZipReader reader;
  try {
    reader.Open(archive);
  } catch (const CFileException&) {
    return UnpackResult::kCannotOpen;
  }
  std::vector<char> block(kUnpackBlock);
  do {
    CZipEntryInfo info;
    CString name;
    reader.GetEntryInfo(&info, &name);
    if (!IsPlainFileName(name)) return UnpackResult::kBadName;
    const CString path = JoinPath(folder, name);
    // Whatever is in the way is replaced, not written through: a link left
    // in the folder must not carry the data elsewhere. An entry of the same
    // name earlier in this archive is replaced too, as the later one wins.
    RemoveFile(path);
    CFile file;
    if (!file.Open(path, CFile::Mode::kCreateNew)) return UnpackResult::kWriteFailed;
    written.push_back(path);
    reader.OpenEntry();
    uint32_t got = 0;
    do {
      got = reader.ReadEntry(block.data(), kUnpackBlock);
      if (got > 0 && !file.Write(block.data(), got)) return UnpackResult::kWriteFailed;
    } while (got == kUnpackBlock);
    // Closing the entry checks its CRC-32 now that every byte was read.
    reader.CloseEntry();
    if (!CZipReader::SetFileTime(file, info)) return UnpackResult::kWriteFailed;
  } while (reader.GoToNextEntry());
  reader.Close();
  return UnpackResult::kOk;
}

}  // namespace

void DeleteWorkFiles(const CString& folder) {
  // No folder named: never the files of the current folder.
  if (folder.IsEmpty()) return;
  // Removing an entry unlinks the entry itself: a link goes, its target
  // stays; a subfolder is refused and stays.
  for (const CString& name : ListFolder(folder, "*", ListKind::kAll)) RemoveFile(JoinPath(folder, name));
}

UnpackResult UnpackZip(const CString& archive, const CString& folder) {
  if (folder.IsEmpty()) return UnpackResult::kWriteFailed;
  std::vector<CString> written;
  UnpackResult result = UnpackResult::kBadArchive;
  try {
    result = UnpackEntries(archive, folder, written);
  } catch (const CZipException&) {
    result = UnpackResult::kBadArchive;
  } catch (const CFileException&) {
    result = UnpackResult::kCannotOpen;
  } catch (...) {
    result = UnpackResult::kBadArchive;
  }
  if (result != UnpackResult::kOk) {
    for (const CString& path : written) RemoveFile(path);
  }
  return result;
}
