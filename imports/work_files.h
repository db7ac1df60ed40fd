// The work folder of the Gerber zip import: emptied before an archive is
// unpacked into it, then filled with the archive's export files.
#pragma once

#include "platform/text.h"

// Removes every file directly in `folder`. A link is removed itself, never
// what it points to; subfolders and what is in them are left alone, and
// files that cannot be removed are passed over. An empty `folder` names
// none: nothing is removed.
void DeleteWorkFiles(const CString& folder);

enum class UnpackResult {
  kOk,
  kCannotOpen,   // the archive file does not open
  kBadArchive,   // the reader failed: a damaged archive, bad data or a CRC mismatch
  kBadName,      // an entry's name is not a plain file name
  kWriteFailed,  // a file of the folder could not be written
};

// Writes every entry of the zip archive `archive` into `folder` under its
// stored name, in 2048-byte reads, each with the entry's modification time
// and ordinary permissions, checking every entry's CRC-32. Only plain file
// names are written (no '/', '\\', ':' or 0 byte, not "", "." or ".."), so
// nothing is ever created outside the folder. On any failure the files this
// unpack wrote are removed again and the result names the failure; nothing
// is thrown. An empty `folder` is a write failure.
UnpackResult UnpackZip(const CString& archive, const CString& folder);
