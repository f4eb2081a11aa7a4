// Where one undoable edit begins and ends, worked out from the calls that
// the editing operations make on a text view. For implementers of TextView.
#pragma once

#include <functional>

namespace parasort::editor {

// An approval opens a step. The step closes with a didChangeText() made
// outside every storage editing bracket, or, when didChangeText() came
// inside one, with the close of the outermost bracket: so a whole paragraph
// loop (one bracket, one approval and announcement per paragraph) is one
// step, and so is a replacement (approval, bracket, announcement).
class UndoStepGrouping {
 public:
  UndoStepGrouping(std::function<void()> openStep, std::function<void()> closeStep)
      : openStep_(std::move(openStep)), closeStep_(std::move(closeStep)) {}

  void approvalGranted() {
    if (stepOpen_) return;
    stepOpen_ = true;
    announcedInStep_ = false;
    openStep_();
  }

  void changeAnnounced() {
    if (!stepOpen_) return;
    announcedInStep_ = true;
    if (bracketDepth_ == 0) close();
  }

  void bracketOpened() { ++bracketDepth_; }

  void bracketClosed() {
    // An unmatched close is ignored rather than allowed to underflow.
    if (bracketDepth_ == 0) return;
    --bracketDepth_;
    if (bracketDepth_ == 0 && stepOpen_ && announcedInStep_) close();
  }

  [[nodiscard]] bool stepOpen() const noexcept { return stepOpen_; }
  [[nodiscard]] int bracketDepth() const noexcept { return bracketDepth_; }

 private:
  void close() {
    stepOpen_ = false;
    announcedInStep_ = false;
    closeStep_();
  }

  std::function<void()> openStep_;
  std::function<void()> closeStep_;
  int bracketDepth_ = 0;
  bool stepOpen_ = false;
  bool announcedInStep_ = false;
};

}  // namespace parasort::editor
