// The texts of the message boxes a test's scripted prompts were asked to
// show, in order: what a reader or writer told the user.
#pragma once

#include <vector>

#include "platform/scripted_prompts.h"

inline std::vector<CString> MessageTexts(const ScriptedPrompts& prompts) {
  std::vector<CString> texts;
  for (const PromptRecord& r : prompts.records()) {
    if (r.kind == PromptKind::kMessageBox) texts.push_back(r.text);
  }
  return texts;
}
