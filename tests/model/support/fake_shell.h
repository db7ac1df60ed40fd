// A stand-in for the window program's panes: records what the model tells
// the list pane and the rulers, and holds a settable work-window state
// (scale, origin, load mode, client rectangle). Installs itself in the
// process-wide shell pointers for its lifetime and puts back what was there.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/shell_services.h"
#include "platform/recording_dc.h"

class FakeShell : public IPatternListBox, public IChildFrame, public IWorkWindow {
 public:
  class Ruler : public IRulerBar {
   public:
    Ruler(FakeShell* shell, const char* name) : shell_(shell), name_(name) {}
    void Refresh() override { shell_->calls.push_back("Refresh " + name_); }

   private:
    FakeShell* shell_;
    std::string name_;
  };

  FakeShell()
      : saved_work_(g_pWorkWindow), saved_list_(g_pListPane), saved_frame_(g_pChildFrame),
        top_(this, "top"), left_(this, "left") {
    g_pWorkWindow = this;
    g_pListPane = this;
    g_pChildFrame = this;
  }
  ~FakeShell() override {
    g_pWorkWindow = saved_work_;
    g_pListPane = saved_list_;
    g_pChildFrame = saved_frame_;
  }
  FakeShell(const FakeShell&) = delete;
  FakeShell& operator=(const FakeShell&) = delete;

  // IPatternListBox: entries are the pieces added.
  int AddPiece(CPieceRecord* piece) override {
    calls.push_back("AddPiece");
    entries.push_back(piece);
    return static_cast<int>(entries.size()) - 1;
  }
  void RemovePiece(CPieceRecord* piece) override {
    calls.push_back("RemovePiece");
    for (auto it = entries.begin(); it != entries.end(); ++it) {
      if (*it == piece) {
        entries.erase(it);
        break;
      }
    }
  }
  void ResetContent() override {
    calls.push_back("ResetContent");
    entries.clear();
  }
  void SelectPiece(CPieceRecord* piece) override {
    calls.push_back("SelectPiece");
    selected = piece;
  }

  // IChildFrame.
  IRulerBar* GetTopRuler() override { return &top_; }
  IRulerBar* GetLeftRuler() override { return &left_; }

  // IWorkWindow.
  int32_t GetOriginX() const override { return origin_x; }
  int32_t GetOriginY() const override { return origin_y; }
  double GetScale() const override { return scale; }
  void SetOriginX(int32_t x) override { origin_x = x; }
  void SetOriginY(int32_t y) override { origin_y = y; }
  void SetScale(double s) override { scale = s; }
  void PlacePiece(CPieceRecord*) override { calls.push_back("PlacePiece"); }
  void ZoomToFit() override { calls.push_back("ZoomToFit"); }
  void Redraw() override { calls.push_back("Redraw"); }
  void GetClientRect(CRect* rect) const override {
    if (rect) *rect = client;
  }
  CDC* GetDC() override { return &dc; }
  void ReleaseDC(CDC*) override {}

  std::vector<std::string> calls;
  std::vector<CPieceRecord*> entries;
  CPieceRecord* selected = nullptr;
  int32_t origin_x = 0;
  int32_t origin_y = 0;
  double scale = 1.0;
  CRect client{0, 0, 800, 600};
  RecordingDC dc;

 private:
  IWorkWindow* saved_work_;
  IPatternListBox* saved_list_;
  IChildFrame* saved_frame_;
  Ruler top_;
  Ruler left_;
};
