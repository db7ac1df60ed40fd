// Folders, file names and file status.
//
// Paths are CString byte strings: GBK where the user typed or picked them,
// handed to the operating system unchanged (on Linux a file name is bytes).
// The folder separator is '/'. Windows matched file names without regard to
// case, and the files the program exchanges with other systems ("MODEL.CTL",
// "AAMA.LST", "*.DXF") come in either case, so every name lookup and pattern
// match here ignores ASCII case.
#pragma once

#include <cstdint>
#include <ctime>
#include <string_view>
#include <vector>

#include "platform/text.h"

// --- Names and patterns ----------------------------------------------------

// Matches a file name against a pattern with '*' (any run of characters) and
// '?' (one character), ignoring ASCII case; a GBK double-byte character counts
// as one character. As on Windows, a pattern ending in ".*" also matches a
// name without any dot, so "*.*" matches every name.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// A path taken apart: "/a/b/style.ptn" gives folder "/a/b/" (with its closing
// '/'), name "style" and extension ".ptn" (with its dot; empty when the name
// has none). The extension starts at the last dot of the file name, so
// ".profile" is all extension. folder + name + extension is the path again.
struct PathParts {
  CString folder;
  CString name;
  CString extension;
};
PathParts SplitPath(const CString& path);

// `folder` and `name` with exactly one '/' between them; `folder` may or may
// not end in '/'; an empty folder gives `name`.
CString JoinPath(const CString& folder, const CString& name);

// --- Folders ---------------------------------------------------------------

enum class ListKind { kFiles, kFolders, kAll };

// The names (not paths) of the entries of `folder` that match `pattern`, in
// an order that does not depend on the file system: by name without regard
// to case, then by bytes. "." and ".." are never listed. An unreadable or
// missing folder gives an empty list.
std::vector<CString> ListFolder(const CString& folder, std::string_view pattern, ListKind kind = ListKind::kFiles);

// The full path of the entry of `folder` whose name equals `name` without
// regard to ASCII case (an exact match is preferred), or an empty text when
// there is none: "model.ctl" finds "MODEL.CTL".
CString FindFileNoCase(const CString& folder, const CString& name);

// --- Status and changes ----------------------------------------------------

struct FileStatus {
  uint64_t size = 0;
  time_t modified = 0;
  bool is_folder = false;
  bool read_only = false;  // no write permission for anyone
};
// False when `path` does not exist (a broken link does not exist).
bool GetFileStatus(const CString& path, FileStatus& status);

bool PathExists(const CString& path);
bool IsFile(const CString& path);
bool IsFolder(const CString& path);

// Removes a file; folders are refused.
bool RemoveFile(const CString& path);
// Renames or moves a file or folder. Refuses to replace an existing entry, so
// that no file is lost by a rename.
bool RenameFile(const CString& from, const CString& to);
// Creates one folder; true when it was made or already is a folder.
bool MakeFolder(const CString& path);

// Sets the modification time (the access time becomes now).
bool SetFileModificationTime(const CString& path, time_t modified);
// The stand-in for the read-only attribute: on, every write permission is
// taken away; off, the owner may write again.
bool SetReadOnly(const CString& path, bool read_only);

// --- The program's folder ----------------------------------------------------

// The folder the program keeps its work folders and settings in, ending in
// '/': the environment variable ZVAAMA_HOME when it is set and not empty,
// otherwise the folder of the running executable.
CString ProgramFolder();

// Maps a Windows path relative to the program's folder, as the program names
// its own files (".\\ACTCONFIG\\AAMA.LST", "TMP\\", "DXF\\", "kov.dat"), to a
// path under ProgramFolder(). Each component is looked up without regard to
// case and takes the spelling found on disk; a component that does not exist
// keeps the given spelling. A trailing '\\' gives a trailing '/'.
CString ProgramPath(const char* windows_relative);
