// The one seam through which the program asks the user anything modal:
// message boxes, file, font and folder dialogs, and the options dialogs.
// The window program installs the Qt implementation; tests install
// ScriptedPrompts (platform/scripted_prompts.h), which answers from a script,
// records what was asked, and cancels whatever the script did not foresee.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/geometry_types.h"
#include "platform/text.h"
#include "platform/win_types.h"

class CDialog;
class CFileDialogPane;

// Message box buttons and icons (combined with |), and the answers.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = 0x40;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A file dialog as the program asks for it. Texts are GBK bytes.
struct FileDialogRequest {
  bool open = true;            // false: a save dialog
  bool multi_select = false;   // open only
  CString default_extension;   // without the dot; may be empty
  CString initial_name;        // initial file name or path
  CString filter;              // "Name (*.a)|*.a|All Files (*.*)|*.*|"
  CString title;               // empty: the toolkit's own
  // Controls of the program's own shown beside the file list (the native
  // open dialog's preview and description), told of every file and folder
  // the user selects; not owned, may be null.
  CFileDialogPane* pane = nullptr;
};

// The answer: the chosen paths (several only for a multiple selection) and
// the filter the user had chosen, counted from 1.
struct FileDialogResult {
  std::vector<CString> paths;
  int filter_index = 1;
};

class IPrompts {
 public:
  virtual ~IPrompts() = default;

  // Returns IDOK, IDCANCEL, IDYES or IDNO.
  virtual int MessageBox(const CString& text, const CString& caption, UINT type) = 0;
  // Empty on Cancel.
  virtual std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) = 0;
  // `font` holds the initial font and receives the chosen one; FALSE on Cancel,
  // with `font` untouched.
  virtual BOOL FontDialog(LOGFONT& font) = 0;
  // A folder chosen under `initial`; empty on Cancel.
  virtual std::optional<CString> FolderDialog(const CString& title, const CString& initial) = 0;
  // Runs an options dialog modally; returns IDOK or IDCANCEL. The dialog's own
  // initialisation, data exchange and validation run as they would on screen.
  virtual int RunDialog(CDialog& dialog) = 0;

  // A folder dialog whose OK is offered only while `acceptable` holds for
  // the selected folder, given as FolderDialog returns it, without a
  // trailing separator (the Gerber storage folders). Prompts that cannot
  // follow the selection ask FolderDialog and refuse an unacceptable answer.
  virtual std::optional<CString> FolderDialogAccepting(
      const CString& title, const CString& initial,
      const std::function<bool(const CString&)>& acceptable) {
    std::optional<CString> folder = FolderDialog(title, initial);
    if (folder && acceptable && !acceptable(*folder)) return std::nullopt;
    return folder;
  }
};

// The status line of a folder dialog shows the selected folder in at most
// this many bytes: a longer path shows as its first kStatusPathBytes bytes
// followed by "...", a shorter one as it is.
inline constexpr int kStatusPathBytes = 35;
CString ShortenStatusPath(const CString& path);

// The prompts in use. Until one is installed, every question is answered as
// if the user cancelled it (and message boxes with IDOK).
IPrompts& Prompts();
// Installs `prompts` (not owned; null restores the default) and returns the
// one it replaces.
IPrompts* SetPrompts(IPrompts* prompts);

