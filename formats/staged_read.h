// An open that replaces what is loaded only when its read succeeds. The read
// goes into a style of its own while g_Style keeps the loaded one; the list
// pane calls the read makes are held back meanwhile, and the selection the
// read resets is kept aside. Commit puts the read style in place of g_Style
// and hands the held-back calls to the list pane, so that the pane ends as a
// read straight into g_Style leaves it; Drop leaves g_Style, the list pane
// and the selection as they were.
#pragma once

#include <memory>

#include "model/selection.h"
#include "model/style.h"

class IPatternListBox;

class StagedStyleRead {
 public:
  // Begins the staging: the new style starts from g_Style's header texts,
  // data version, mode and scale with no piece and no size (a read that
  // looks at the scale before it empties the style sees the loaded one), and
  // the list pane calls are held back from now on.
  StagedStyleRead();
  // Drops the read unless it was committed.
  ~StagedStyleRead();
  StagedStyleRead(const StagedStyleRead&) = delete;
  StagedStyleRead& operator=(const StagedStyleRead&) = delete;

  // The style to read into.
  CStyle& Style() { return *style_; }

  // The read succeeded: its style becomes g_Style (the one it replaces is
  // freed) and the list pane gets the calls held back, in their order.
  void Commit();
  // The read failed: its style is freed, the list pane has seen none of its
  // calls and the selection is put back (the rulers refreshed when that
  // changes the current piece).
  void Drop();

 private:
  class HeldListPane;

  void EndHolding();

  std::unique_ptr<CStyle> style_;
  std::unique_ptr<HeldListPane> held_;
  IPatternListBox* listPane_ = nullptr;
  CSelectionState selection_;
  bool ended_ = false;
};
