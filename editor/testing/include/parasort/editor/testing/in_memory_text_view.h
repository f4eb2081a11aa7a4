// A text view kept entirely in memory: the TextView contract with nothing
// drawn, for testing code written against the contract. It follows the same
// rules as the Qt adapter and records every approved edit for undo. A
// paragraph break may be any of the four terminators; nothing is rewritten.
#pragma once

#include "parasort/editor/testing/in_memory_document.h"
#include "parasort/editor/text_storage.h"
#include "parasort/editor/text_view.h"
#include "parasort/editor/undo_step_grouping.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace parasort::editor::testing {

class InMemoryTextView final : public TextView {
 public:
  // Asked after the view's own rules allow an edit; false refuses it.
  using ApprovalDelegate =
      std::function<bool(Range range, std::optional<std::u16string_view> replacementString)>;

  InMemoryTextView();
  InMemoryTextView(const InMemoryTextView&) = delete;
  InMemoryTextView& operator=(const InMemoryTextView&) = delete;
  ~InMemoryTextView() override;

  [[nodiscard]] Range selectedRange() const override { return selection_; }
  void setSelectedRange(Range range) override;
  [[nodiscard]] Range rangeForUserTextChange() const override;
  [[nodiscard]] Range rangeForUserCharacterAttributeChange() const override;
  [[nodiscard]] Range rangeForUserParagraphAttributeChange() const override;
  [[nodiscard]] bool shouldChangeTextInRange(
      Range range, std::optional<std::u16string_view> replacementString) override;
  void didChangeText() override;
  [[nodiscard]] TextStorage& textStorage() override;
  [[nodiscard]] const TextStorage& textStorage() const override;
  [[nodiscard]] std::u16string string() const override { return document_.text(); }
  [[nodiscard]] AttributeDictionary typingAttributes() const override;
  void setTypingAttributes(const AttributeDictionary& attributes) override;

  // A view that is not editable refuses every edit and reports NotFound
  // user-change ranges.
  void setEditable(bool editable) { editable_ = editable; }
  [[nodiscard]] bool isEditable() const noexcept { return editable_; }
  void setApprovalDelegate(ApprovalDelegate delegate) { approvalDelegate_ = std::move(delegate); }

  // Undo and redo of approved edits; false when there is nothing to undo or
  // redo. Text and attributes come back exactly.
  bool undo();
  bool redo();

 private:
  class Storage;

  // Every change of the text goes through here, so that the typing
  // attributes set for the old text are forgotten.
  InMemoryDocument& documentForChange();
  void restore(const InMemoryDocument& document);

  InMemoryDocument document_;
  Range selection_;
  // Character attributes set for typing at an insertion point in a
  // non-empty paragraph; forgotten when the selection or the text changes.
  std::optional<AttributeDictionary> typingCharacterOverride_;
  bool editable_ = true;
  ApprovalDelegate approvalDelegate_;

  std::optional<InMemoryDocument> stepStart_;
  std::vector<InMemoryDocument> undoStack_;
  std::vector<InMemoryDocument> redoStack_;
  UndoStepGrouping grouping_;
  std::unique_ptr<Storage> storage_;
};

}  // namespace parasort::editor::testing
