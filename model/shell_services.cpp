#include "model/shell_services.h"

IWorkWindow* g_pWorkWindow = nullptr;
IPatternListBox* g_pListPane = nullptr;
IChildFrame* g_pChildFrame = nullptr;

namespace {
// The load-mode word of a read that runs without a work window.
int32_t g_HeadlessLoadMode = 0;

int32_t& LoadModeWord(IWorkWindow* window) { return window ? window->LoadMode : g_HeadlessLoadMode; }
}  // namespace

int32_t GetWorkWindowLoadMode() { return LoadModeWord(g_pWorkWindow); }

ScopedLoadMode::ScopedLoadMode(int32_t mode) : window_(g_pWorkWindow), previous_(LoadModeWord(g_pWorkWindow)) {
  LoadModeWord(window_) = mode;
}

ScopedLoadMode::~ScopedLoadMode() { LoadModeWord(window_) = previous_; }
