#include "platform/prompts.h"

#include "platform/dialog.h"

namespace {

// What the program gets when nothing can ask the user: a headless run, or the
// moments before the window program has installed its prompts. Message boxes
// are acknowledged, every other question is cancelled, so that no command
// goes on with an answer nobody gave.
class DefaultPrompts final : public IPrompts {
 public:
  int MessageBox(const CString&, const CString&, UINT) override { return IDOK; }
  std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override {
    return std::nullopt;
  }
  BOOL FontDialog(LOGFONT&) override { return FALSE; }
  std::optional<CString> FolderDialog(const CString&, const CString&) override {
    return std::nullopt;
  }
  int RunDialog(CDialog&) override { return IDCANCEL; }
};

DefaultPrompts g_default_prompts;
IPrompts* g_prompts = nullptr;

}  // namespace

IPrompts& Prompts() { return g_prompts ? *g_prompts : g_default_prompts; }

IPrompts* SetPrompts(IPrompts* prompts) {
  IPrompts* previous = g_prompts;
  g_prompts = prompts;
  return previous;
}

CString ShortenStatusPath(const CString& path) {
  if (path.GetLength() <= kStatusPathBytes) return path;
  return path.Left(kStatusPathBytes) + "...";
}
