#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// One character of a name: an ASCII or single byte, or a GBK lead byte with
// its trail byte.
struct NameChar {
  std::string_view bytes;
};

std::vector<NameChar> SplitChars(std::string_view text) {
  std::vector<NameChar> chars;
  chars.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t n = (IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    chars.push_back({text.substr(i, n)});
    i += n;
  }
  return chars;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameChar(const NameChar& a, const NameChar& b) {
  if (a.bytes.size() != b.bytes.size()) return false;
  if (a.bytes.size() == 1) return AsciiLower(a.bytes[0]) == AsciiLower(b.bytes[0]);
  return a.bytes == b.bytes;
}

bool IsWild(const NameChar& c, char wild) { return c.bytes.size() == 1 && c.bytes[0] == wild; }

// Glob matching with backtracking to the last '*': linear in practice, and
// at worst the product of the two lengths, never exponential.
bool MatchChars(const std::vector<NameChar>& name, const std::vector<NameChar>& pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t star = std::string::npos;
  size_t star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && IsWild(pattern[p], '*')) {
      star = p++;
      star_name = n;
    } else if (p < pattern.size() && (IsWild(pattern[p], '?') || SameChar(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && IsWild(pattern[p], '*')) ++p;
  return p == pattern.size();
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

CString WithClosingSlash(CString folder) {
  if (folder.IsEmpty() || folder.str().back() != '/') folder += '/';
  return folder;
}

bool StatPath(const CString& path, struct stat& info) { return ::stat(path.c_str(), &info) == 0; }

CString ExecutableFolder() {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", target.data(), target.size());
    if (n < 0) return CString("./");
    if (static_cast<size_t>(n) < target.size()) {
      target.resize(static_cast<size_t>(n));
      break;
    }
    if (target.size() > (size_t{1} << 20)) return CString("./");
    target.resize(target.size() * 2);
  }
  const size_t slash = target.rfind('/');
  if (slash == std::string::npos) return CString("./");
  return CString(target.substr(0, slash + 1));
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  const std::vector<NameChar> name_chars = SplitChars(name);
  if (MatchChars(name_chars, SplitChars(pattern))) return true;
  // Windows lets a closing ".*" match nothing at all: "*.*" and "abc.*" also
  // match "abc".
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
    return MatchChars(name_chars, SplitChars(pattern.substr(0, pattern.size() - 2)));
  }
  return false;
}

PathParts SplitPath(const CString& path) {
  // Neither '/' nor '.' can be the trail byte of a GBK character, so plain
  // byte searches are safe here.
  const std::string& bytes = path.str();
  const size_t slash = bytes.rfind('/');
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = bytes.rfind('.');
  const size_t ext_start = (dot == std::string::npos || dot < name_start) ? bytes.size() : dot;
  PathParts parts;
  parts.folder = CString(bytes.substr(0, name_start));
  parts.name = CString(bytes.substr(name_start, ext_start - name_start));
  parts.extension = CString(bytes.substr(ext_start));
  return parts;
}

CString JoinPath(const CString& folder, const CString& name) {
  if (folder.IsEmpty()) return name;
  std::string_view rest = name.view();
  while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  return WithClosingSlash(folder) + CString(rest);
}

std::vector<CString> ListFolder(const CString& folder, std::string_view pattern, ListKind kind) {
  std::vector<CString> names;
  DIR* dir = ::opendir(folder.IsEmpty() ? "." : folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!MatchesWildcard(name, pattern)) continue;
    if (kind != ListKind::kAll) {
      struct stat info;
      // Links are followed, as the folder enumeration of Windows shows the
      // target's kind; a broken link is neither a file nor a folder.
      if (!StatPath(JoinPath(folder, CString(name)), info)) continue;
      const bool is_folder = S_ISDIR(info.st_mode);
      if (kind == ListKind::kFolders ? !is_folder : (is_folder || !S_ISREG(info.st_mode))) continue;
    }
    names.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) {
    const int c = CompareNoCase(a.view(), b.view());
    return c != 0 ? c < 0 : a < b;
  });
  return names;
}

CString FindFileNoCase(const CString& folder, const CString& name) {
  if (name.IsEmpty()) return CString();
  const CString exact = JoinPath(folder, name);
  struct stat info;
  if (::lstat(exact.c_str(), &info) == 0) return exact;
  for (const CString& candidate : ListFolder(folder, "*", ListKind::kAll)) {
    if (CompareNoCase(candidate.view(), name.view()) == 0) return JoinPath(folder, candidate);
  }
  return CString();
}

bool GetFileStatus(const CString& path, FileStatus& status) {
  struct stat info;
  if (!StatPath(path, info)) return false;
  status.size = static_cast<uint64_t>(info.st_size);
  status.modified = info.st_mtime;
  status.is_folder = S_ISDIR(info.st_mode);
  status.read_only = (info.st_mode & 0222) == 0;
  return true;
}

bool PathExists(const CString& path) {
  struct stat info;
  return StatPath(path, info);
}

bool IsFile(const CString& path) {
  struct stat info;
  return StatPath(path, info) && S_ISREG(info.st_mode);
}

bool IsFolder(const CString& path) {
  struct stat info;
  return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool RemoveFile(const CString& path) { return ::unlink(path.c_str()) == 0; }

bool RenameFile(const CString& from, const CString& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: check first.
  struct stat info;
  if (::lstat(to.c_str(), &info) == 0) return false;
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool MakeFolder(const CString& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  return errno == EEXIST && IsFolder(path);
}

bool SetFileModificationTime(const CString& path, time_t modified) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_NOW;
  times[1].tv_sec = modified;
  times[1].tv_nsec = 0;
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

bool SetReadOnly(const CString& path, bool read_only) {
  struct stat info;
  if (!StatPath(path, info)) return false;
  const mode_t mode = read_only ? (info.st_mode & ~mode_t{0222}) : (info.st_mode | mode_t{0200});
  return ::chmod(path.c_str(), mode & 07777) == 0;
}

CString ProgramFolder() {
  const char* home = std::getenv("ZVAAMA_HOME");
  if (home != nullptr && home[0] != '\0') return WithClosingSlash(CString(home));
  static const CString executable_folder = ExecutableFolder();
  return executable_folder;
}

CString ProgramPath(const char* windows_relative) {
  const std::string_view relative = windows_relative ? windows_relative : "";
  CString path = ProgramFolder();
  bool closing_separator = false;
  size_t i = 0;
  while (i < relative.size()) {
    // One component, up to the next separator that is not a GBK trail byte.
    size_t end = i;
    while (end < relative.size() && !IsSeparator(relative[end])) {
      end += (IsGbkLeadByte(static_cast<unsigned char>(relative[end])) && end + 1 < relative.size()) ? 2 : 1;
    }
    const std::string_view component = relative.substr(i, end - i);
    closing_separator = end < relative.size();
    i = end < relative.size() ? end + 1 : end;
    if (component.empty() || component == ".") continue;
    const CString found = FindFileNoCase(path, CString(component));
    path = found.IsEmpty() ? JoinPath(path, CString(component)) : found;
  }
  if (closing_separator) path = WithClosingSlash(path);
  return path;
}
