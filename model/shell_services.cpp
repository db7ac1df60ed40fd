#include "model/shell_services.h"

IWorkWindow* g_pWorkWindow = nullptr;
IPatternListBox* g_pListPane = nullptr;
IChildFrame* g_pChildFrame = nullptr;

namespace {
// The load-mode word of a read that runs without a work window.
int32_t g_HeadlessLoadMode = 0;

int32_t& LoadModeWord(IWorkWindow* window) { return window ? window->LoadMode : g_HeadlessLoadMode; }

// The view scale of a read that runs without a work window.
double g_HeadlessViewScale = 1.0;
}  // namespace

double GetWorkWindowScale() { return g_pWorkWindow ? g_pWorkWindow->GetScale() : g_HeadlessViewScale; }

ScopedViewScale::ScopedViewScale(double during, std::optional<double> after)
    : window_(g_pWorkWindow), kept_(GetWorkWindowScale()), after_(after) {
  if (window_) {
    window_->SetScale(during);
  } else {
    g_HeadlessViewScale = during;
  }
}

ScopedViewScale::~ScopedViewScale() {
  const double scale = after_.value_or(kept_);
  if (window_) {
    window_->SetScale(scale);
  } else {
    g_HeadlessViewScale = scale;
  }
}

int32_t GetWorkWindowLoadMode() { return LoadModeWord(g_pWorkWindow); }

ScopedLoadMode::ScopedLoadMode(int32_t mode) : window_(g_pWorkWindow), previous_(LoadModeWord(g_pWorkWindow)) {
  LoadModeWord(window_) = mode;
}

ScopedLoadMode::~ScopedLoadMode() { LoadModeWord(window_) = previous_; }
