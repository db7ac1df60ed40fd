#include "formats/staged_read.h"

#include <vector>

#include "model/shell_services.h"

// Stands in for the list pane while the read runs: keeps every call, in
// order, for the real pane. The readers do not use the index AddPiece gives;
// it is the one the entry gets here.
class StagedStyleRead::HeldListPane : public IPatternListBox {
 public:
  int AddPiece(CPieceRecord* piece) override {
    calls_.push_back({Call::kAdd, piece});
    return count_++;
  }
  void RemovePiece(CPieceRecord* piece) override {
    calls_.push_back({Call::kRemove, piece});
    if (count_ > 0) --count_;
  }
  void ResetContent() override {
    calls_.push_back({Call::kReset, nullptr});
    count_ = 0;
  }
  void SelectPiece(CPieceRecord* piece) override { calls_.push_back({Call::kSelect, piece}); }

  // Makes the calls on `pane`, in the order they came.
  void HandTo(IPatternListBox& pane) const {
    for (const Held& call : calls_) {
      switch (call.kind) {
        case Call::kAdd: pane.AddPiece(call.piece); break;
        case Call::kRemove: pane.RemovePiece(call.piece); break;
        case Call::kReset: pane.ResetContent(); break;
        case Call::kSelect: pane.SelectPiece(call.piece); break;
      }
    }
  }

 private:
  enum class Call { kAdd, kRemove, kReset, kSelect };
  struct Held {
    Call kind;
    CPieceRecord* piece;
  };
  std::vector<Held> calls_;
  int count_ = 0;
};

StagedStyleRead::StagedStyleRead() : selection_(g_Selection) {
  // Making a style sets the default data version; a cleared style takes the
  // one in force, so it is kept.
  const int32_t defaultVersion = g_DefaultDataVersion;
  style_ = std::make_unique<CStyle>();
  g_DefaultDataVersion = defaultVersion;
  style_->HeaderText1 = g_Style.HeaderText1;
  style_->StyleName = g_Style.StyleName;
  style_->HeaderText3 = g_Style.HeaderText3;
  style_->HeaderText4 = g_Style.HeaderText4;
  style_->HeaderText5 = g_Style.HeaderText5;
  style_->Reserved = g_Style.Reserved;
  style_->DataVersion = g_Style.DataVersion;
  style_->Mode = g_Style.Mode;
  style_->SetScale(g_Style.GetScale());
  listPane_ = g_pListPane;
  if (listPane_) {
    held_ = std::make_unique<HeldListPane>();
    g_pListPane = held_.get();
  }
}

StagedStyleRead::~StagedStyleRead() {
  if (!ended_) Drop();
}

void StagedStyleRead::EndHolding() {
  ended_ = true;
  if (held_ && g_pListPane == held_.get()) g_pListPane = listPane_;
}

void StagedStyleRead::Commit() {
  if (ended_) return;
  EndHolding();
  g_Style.Swap(*style_);
  if (held_ && listPane_) held_->HandTo(*listPane_);
  // What was loaded goes once the list pane no longer shows it.
  style_.reset();
}

void StagedStyleRead::Drop() {
  if (ended_) return;
  EndHolding();
  style_.reset();
  const bool pieceChanged = g_Selection.CurrentPiece != selection_.CurrentPiece;
  g_Selection = selection_;
  if (pieceChanged && g_pChildFrame) {
    if (IRulerBar* top = g_pChildFrame->GetTopRuler()) top->Refresh();
    if (IRulerBar* left = g_pChildFrame->GetLeftRuler()) left->Refresh();
  }
}
