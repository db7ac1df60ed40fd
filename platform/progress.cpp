#include "platform/progress.h"

#include <algorithm>
#include <utility>

namespace {
IProgressHost* g_progressHost = nullptr;
}  // namespace

IProgressHost* SetProgressHost(IProgressHost* host) { return std::exchange(g_progressHost, host); }

CStatusProgress::CStatusProgress(int lower, int upper, int position) : upper_(upper), position_(position) {
  if (g_progressHost) bar_ = g_progressHost->CreateStatusProgress();
  if (!bar_) return;
  bar_->SetRange(lower, upper);
  bar_->SetPos(position);
}

CStatusProgress::~CStatusProgress() = default;

void CStatusProgress::SetPos(int position) {
  position = std::min(position, upper_);
  if (position <= position_) return;
  position_ = position;
  if (bar_) bar_->SetPos(position);
}
