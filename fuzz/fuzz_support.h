// What the reader fuzzers share: the first input byte read as the user's
// choices in the options dialogs, the rest handed to the readers as the
// file's bytes. Nothing here touches the file system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/prompts.h"

// Splits an input into its first byte (the options; 0 for an empty input)
// and the rest.
struct FuzzInput {
  uint8_t options = 0;
  std::string_view rest;
};
FuzzInput SplitOptions(const uint8_t* data, size_t size);

// Installed while a reader core runs: the cores ask nothing and show nothing,
// so any question or message is a fault and stops the fuzzer.
class NoPrompts : public IPrompts {
 public:
  NoPrompts() : previous_(SetPrompts(this)) {}
  ~NoPrompts() override { SetPrompts(previous_); }
  NoPrompts(const NoPrompts&) = delete;
  NoPrompts& operator=(const NoPrompts&) = delete;

  int MessageBox(const CString&, const CString&, UINT) override { __builtin_trap(); }
  std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override { __builtin_trap(); }
  BOOL FontDialog(LOGFONT&) override { __builtin_trap(); }
  std::optional<CString> FolderDialog(const CString&, const CString&) override { __builtin_trap(); }
  int RunDialog(CDialog&) override { __builtin_trap(); }

 private:
  IPrompts* previous_;
};
